#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace kestrave::platform {

// An 8-bit character set: bytes 00 to 7F are ASCII, the upper half comes from a table.
class CodePage {
 public:
  explicit CodePage(const char16_t (&upperHalf)[128]);

  char16_t ToUnicode(std::uint8_t byte) const { return toUnicode_[byte]; }
  // The byte of a character (the lowest, should two bytes show the same one), or nothing when
  // the set has no such character.
  std::optional<std::uint8_t> FromUnicode(char16_t unit) const {
    if (unit < 0x80) return static_cast<std::uint8_t>(unit);
    return FromUpperHalf(unit);
  }

 private:
  std::optional<std::uint8_t> FromUpperHalf(char16_t unit) const;

  char16_t toUnicode_[256];
  // The upper half's characters in order, each with its byte: looked up by halving, as a
  // megabyte of pasted text asks for every character.
  std::array<std::pair<char16_t, std::uint8_t>, 128> upperHalfByUnit_;
};

// The Windows ("ANSI") code page of a Russian system: Windows-1251.
const CodePage& AnsiCodePage();
// The DOS ("OEM") code page of a Russian system: CP866.
const CodePage& OemCodePage();

// One byte between the two code pages. A character the target set lacks becomes its nearest
// look-alike there ("|", "-", "+" for box lines, "#" for blocks, plain letters and quotes), or
// "?" when there is none.
std::uint8_t OemToAnsi(std::uint8_t byte);
std::uint8_t AnsiToOem(std::uint8_t byte);
// The Macintosh character set and EBCDIC (code page 38), byte for byte as the Windows
// characters that show them, and back; each table is one to one.
const std::array<std::uint8_t, 256>& MacToAnsiTable();
const std::array<std::uint8_t, 256>& AnsiToMacTable();
const std::array<std::uint8_t, 256>& EbcdicToAnsiTable();
const std::array<std::uint8_t, 256>& AnsiToEbcdicTable();

// Whole buffers, byte by byte with the same result; source and destination may be the same.
void OemToAnsiBuffer(const std::uint8_t* source, std::uint8_t* dest, std::size_t count);
void AnsiToOemBuffer(const std::uint8_t* source, std::uint8_t* dest, std::size_t count);

// Lower case under the Windows-1251 rules: Latin and Cyrillic capitals become small letters,
// every other byte stays.
std::uint8_t AnsiLower(std::uint8_t byte);
std::string AnsiLowerCase(std::string_view text);

// 8-bit text of the Windows code page as UTF-16 code units.
std::u16string AnsiToUtf16(std::string_view text);
// UTF-16 text in a code page; a character the page lacks becomes its look-alike or "?".
std::string Utf16ToCodePage(const CodePage& page, std::u16string_view text);
// The same into Out, which has room for one byte per unit.
void Utf16ToCodePage(const CodePage& page, std::u16string_view text, std::uint8_t* out);

}  // namespace kestrave::platform
