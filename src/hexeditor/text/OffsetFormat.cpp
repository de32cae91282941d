#include "hexeditor/text/OffsetFormat.h"

#include <algorithm>
#include <cctype>

#include "hexeditor/HexEditorError.h"
#include "hexeditor/Messages.h"
#include "hexeditor/text/Conversions.h"
#include "platform/Format.h"

namespace kestrave::hex {
namespace {

bool IsHexDigit(char c) {
  return std::isxdigit(static_cast<unsigned char>(c)) != 0;
}

// The run of hex digits at the start of the text.
std::string_view HexRun(std::string_view text) {
  std::size_t length = 0;
  while (length < text.size() && IsHexDigit(text[length]))
    ++length;
  return text.substr(0, length);
}

std::int32_t HexValue(std::string_view digits) {
  return ParseRadixText(digits, 16);
}

bool Follows(std::string_view text, std::size_t at, char c) {
  return at < text.size() && text[at] == c;
}

[[noreturn]] void Missing(const char* what) {
  throw EHexEditor(platform::FormatMessage(msg::kMissingOffsetChar, {std::string(what)}));
}

std::string Cased(std::string text, bool lowerCase) {
  for (char& c : text)
    c = static_cast<char>(lowerCase ? std::tolower(static_cast<unsigned char>(c))
                                    : std::toupper(static_cast<unsigned char>(c)));
  return text;
}

}  // namespace

void ParseOffsetFormat(TOffsetFormat& format, std::string_view text, const OffsetUnits& units) {
  format.Flags = 0;
  if (text.empty()) {
    format.Text.clear();
    return;
  }
  std::string_view rest = text;
  // Unit.
  const std::string head(rest.substr(0, 2));
  const std::string upper = Cased(head, false);
  if (upper == "R%") {
    format.Flags |= TOffsetFormat::kUnitRow;
    format.UnitSize = units.BytesPerRow & 0xFF;
    rest.remove_prefix(2);
  } else if (upper == "C%") {
    format.Flags |= TOffsetFormat::kUnitColumn;
    format.UnitSize = units.BytesPerColumn & 0xFF;
    rest.remove_prefix(2);
  } else {
    const std::string_view run = HexRun(rest);
    if (Follows(rest, run.size(), '%') && !run.empty()) {
      format.UnitSize = HexValue(run) & 0xFF;
      rest.remove_prefix(run.size() + 1);
    } else {
      format.Flags |= TOffsetFormat::kUnitRuler;
      format.UnitSize = units.RulerUnit;
      if (Follows(rest, run.size(), '%')) rest.remove_prefix(1);
    }
  }
  const std::int32_t unit = format.UnitSize;
  if (unit != 1 && unit != 2 && unit != 4 && unit != 8)
    throw EHexEditor(platform::FormatMessage(msg::kInvalidUnit, {std::int64_t{unit}}));
  // Width.
  if (rest.substr(0, 2) == "-!") {
    format.Flags |= TOffsetFormat::kAutoWidth;
    format.MinDigits = 1;
    rest.remove_prefix(2);
  } else {
    const std::string_view run = HexRun(rest);
    format.MinDigits = 1;
    if (Follows(rest, run.size(), '!')) {
      if (!run.empty()) format.MinDigits = HexValue(run);
      rest.remove_prefix(run.size() + 1);
    }
  }
  // Radix.
  const std::string_view run = HexRun(rest);
  if (run.empty()) Missing("number radix");
  if (!Follows(rest, run.size(), ':')) Missing(":");
  format.Radix = static_cast<std::uint8_t>(HexValue(run) & 0xFF);
  if (format.Radix < 2 || format.Radix > 16)
    throw EHexEditor(
        platform::FormatMessage(msg::kInvalidOffsetRadix, {std::int64_t{format.Radix}}));
  rest.remove_prefix(run.size() + 1);
  // Prefix and suffix.
  const auto bar = rest.find('|');
  if (bar == std::string_view::npos) Missing("|");
  format.Prefix = std::string(rest.substr(0, bar));
  format.Suffix = std::string(rest.substr(bar + 1));
  format.Text = std::string(text);
}

// A unit of 0 (a row unit following 256 bytes per row into a byte) counts single bytes.
static std::uint32_t Units(const TOffsetFormat& format, std::uint32_t offset) {
  return offset / static_cast<std::uint32_t>(std::max(format.UnitSize, 1));
}

std::string RenderOffset(const TOffsetFormat& format, std::uint32_t offset, bool lowerCase) {
  if (format.Text.empty()) return {};
  std::string number;
  if (format.MinDigits != 0 || offset != 0) {
    const auto digits = static_cast<std::uint8_t>(std::clamp(format.MinDigits, 0, 255));
    number = Cased(FormatInRadix(Units(format, offset), format.Radix, digits), lowerCase);
  }
  return format.Prefix + number + format.Suffix;
}

std::int32_t AutomaticDigits(const TOffsetFormat& format, std::uint32_t lastRowOffset) {
  return static_cast<std::int32_t>(
      FormatInRadix(Units(format, lastRowOffset), format.Radix, 0).size());
}

RulerTexts MakeRulerTexts(int bytesPerRow, int unit, int numberBase, bool unicode, bool lowerCase) {
  RulerTexts texts;
  if (unit <= 0) return texts;
  const auto base = static_cast<std::uint8_t>(numberBase);
  const std::size_t hexWidth = static_cast<std::size_t>(2 * unit);
  const std::size_t charWidth = static_cast<std::size_t>(unicode ? unit / 2 : unit);
  for (int k = 0; k < bytesPerRow / unit; ++k) {
    const auto number = static_cast<std::uint32_t>(k);
    std::string hex = FormatInRadix(number, base, static_cast<std::uint8_t>(hexWidth));
    texts.Hex += hex.substr(hex.size() - hexWidth);
    std::string chars = FormatInRadix(number, base, 0);
    if (chars.size() > charWidth) chars = chars.substr(chars.size() - charWidth);
    texts.Chars += std::string(charWidth - chars.size(), ' ') + chars;
  }
  texts.Hex = Cased(texts.Hex, lowerCase);
  texts.Chars = Cased(texts.Chars, lowerCase);
  return texts;
}

}  // namespace kestrave::hex
