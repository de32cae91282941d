#include "app/hex/OffsetFormats.h"

#include "platform/Exception.h"

namespace kestrave::app {

std::string OffsetFormatSample(std::string_view text) {
  constexpr std::uint32_t kSample = 0x1F40;
  constexpr std::uint32_t kLastRow = (1u << 30) - 16;
  hex::TOffsetFormat format;
  try {
    // Units of one byte parse whatever the unit; a row is then given its 16 bytes.
    hex::ParseOffsetFormat(format, text, hex::OffsetUnits{1, 1, 1});
  } catch (const platform::Exception&) {
    return {};
  }
  if (format.Has(hex::TOffsetFormat::kUnitRow)) format.UnitSize = 16;
  if (format.Has(hex::TOffsetFormat::kAutoWidth))
    format.MinDigits = hex::AutomaticDigits(format, kLastRow);
  return hex::RenderOffset(format, kSample, false);
}

bool OffsetFormatTaken(std::string_view text, const hex::OffsetUnits& units) {
  hex::TOffsetFormat format;
  try {
    hex::ParseOffsetFormat(format, text, units);
  } catch (const platform::Exception&) {
    return false;
  }
  return true;
}

}  // namespace kestrave::app
