#include "app/hex/OffsetFormats.h"

#include "hexeditor/text/OffsetFormat.h"
#include "platform/Exception.h"

namespace kestrave::app {

std::string OffsetFormatSample(std::string_view text) {
  constexpr std::uint32_t kSample = 0x1F40;
  constexpr std::uint32_t kLastRow = (1u << 30) - 16;
  hex::TOffsetFormat format;
  try {
    hex::ParseOffsetFormat(format, text, hex::OffsetUnits{});
  } catch (const platform::Exception&) {
    return {};
  }
  if (format.Has(hex::TOffsetFormat::kAutoWidth))
    format.MinDigits = hex::AutomaticDigits(format, kLastRow);
  return hex::RenderOffset(format, kSample, false);
}

}  // namespace kestrave::app
