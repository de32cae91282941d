#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kestrave::hex {

// How row offsets are written: "[unit] [width] radix:prefix|suffix".
//   unit   "R%" one row, "C%" one column, "<hex>%" that many bytes, "%" or nothing the ruler unit
//   width  "-!" automatic (the digits of the last row), "<hex>!" that many digits, "!" one
//   radix  hex digits (base 16: "10" is 16), then ":"
struct TOffsetFormat {
  static constexpr std::uint8_t kAutoWidth = 1;
  static constexpr std::uint8_t kUnitRow = 2;
  static constexpr std::uint8_t kUnitColumn = 4;
  static constexpr std::uint8_t kUnitRuler = 8;

  std::string Text;  // as last accepted; empty writes no offsets
  std::string Prefix;
  std::string Suffix;
  std::int32_t MinDigits = 1;
  std::uint8_t Flags = 0;
  std::uint8_t Radix = 16;
  // Bytes per counted unit. Wider than a byte so that a row unit can follow 256 bytes per row.
  std::int32_t UnitSize = 1;

  bool Has(std::uint8_t flag) const { return (Flags & flag) != 0; }
  bool operator==(const TOffsetFormat&) const = default;
};

// The layout values a unit may be taken from at parse time.
struct OffsetUnits {
  int BytesPerRow = 16;
  int BytesPerColumn = 2;
  int RulerUnit = 1;
};

// Parses Text into the record. Raises EHexEditor with "Invalid bytes per unit value %d, allowed:
// 1,2,4,8", "Missing char in offset format: %s" (number radix, ":" or "|") or "Invalid radix in
// offset format (%xh), allowed: 02h..10h"; the fields set before the failure stay as they are,
// for the caller to restore.
void ParseOffsetFormat(TOffsetFormat& format, std::string_view text, const OffsetUnits& units);

// The text of one offset by the format (no event): prefix, digits, suffix.
std::string RenderOffset(const TOffsetFormat& format, std::uint32_t offset, bool lowerCase);

// The digits an automatic width takes: those of the last row's unit number.
std::int32_t AutomaticDigits(const TOffsetFormat& format, std::uint32_t lastRowOffset);

// The texts above the hex field (2 x unit digits per unit) and the character field (one
// character per character column) for a row of Bytes bytes in units of Unit.
struct RulerTexts {
  std::string Hex;
  std::string Chars;
};
RulerTexts MakeRulerTexts(int bytesPerRow, int unit, int numberBase, bool unicode, bool lowerCase);

}  // namespace kestrave::hex
