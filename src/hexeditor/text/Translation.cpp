#include "hexeditor/text/Translation.h"

#include <charconv>

#include "platform/CodePages.h"

namespace kestrave::hex {
namespace {

constexpr std::array<std::uint8_t, 256> Identity() {
  std::array<std::uint8_t, 256> identity{};
  for (int b = 0; b < 256; ++b)
    identity[b] = static_cast<std::uint8_t>(b);
  return identity;
}

std::array<std::uint8_t, 256> customFromData = Identity();
std::array<std::uint8_t, 256> customToData = Identity();

// The table of a kind that translates byte by byte, or nothing for the code-page kinds.
const std::uint8_t* DisplayTable(THexTranslationKind kind) {
  switch (kind) {
    case tkMac:
      return platform::MacToAnsiTable().data();
    case tkBCD:
      return platform::EbcdicToAnsiTable().data();
    case tkCustom:
      return customFromData.data();
    default:
      return nullptr;
  }
}

const std::uint8_t* DataTable(THexTranslationKind kind) {
  switch (kind) {
    case tkMac:
      return platform::AnsiToMacTable().data();
    case tkBCD:
      return platform::AnsiToEbcdicTable().data();
    case tkCustom:
      return customToData.data();
    default:
      return nullptr;
  }
}

void Copy(const std::uint8_t* source, std::uint8_t* dest, std::size_t count) {
  if (source != dest)
    for (std::size_t i = 0; i < count; ++i)
      dest[i] = source[i];
}

void Lookup(const std::uint8_t* table, const std::uint8_t* source, std::uint8_t* dest,
            std::size_t count) {
  for (std::size_t i = 0; i < count; ++i)
    dest[i] = table[source[i]];
}

}  // namespace

const std::array<std::string_view, kTranslationKindCount> kTranslationNames = {
    "Windows", "Dos 8 Bit", "ASCII 7 Bit", "Macintosh", "EBCDIC Codepage 38", "Custom Translation"};
const std::array<std::string_view, kTranslationKindCount> kTranslationShortNames = {
    "WIN", "DOS", "ASC", "MAC", "BCD", "Cust"};

std::array<std::uint8_t, 256>& CustomTranslationFromData() {
  return customFromData;
}
std::array<std::uint8_t, 256>& CustomTranslationToData() {
  return customToData;
}

std::uint8_t DataByteToChar(THexTranslationKind kind, std::uint8_t maskChar, std::uint8_t byte) {
  std::uint8_t ch = byte;
  if (kind == tkDos8 || kind == tkASCII) {
    ch = platform::OemToAnsi(byte);
    if (kind == tkASCII && byte > 0x7F) ch = maskChar;
  } else if (const std::uint8_t* table = DisplayTable(kind)) {
    ch = table[byte];
  }
  if (maskChar != 0 && IsControlChar(ch)) ch = maskChar;
  return ch;
}

std::uint8_t CharToDataByte(THexTranslationKind kind, std::uint8_t ch) {
  std::uint8_t byte = ch;
  if (kind == tkDos8 || kind == tkASCII) {
    const bool refused = ch <= 0x1F || (kind == tkASCII && ch >= 0x80);
    byte = refused ? 0 : platform::AnsiToOem(ch);
  } else if (const std::uint8_t* table = DataTable(kind)) {
    byte = table[ch];
  }
  return IsControlChar(byte) ? 0 : byte;
}

void TranslateFromData(THexTranslationKind kind, const std::uint8_t* source, std::uint8_t* dest,
                       std::size_t count) {
  if (kind == tkDos8 || kind == tkASCII) {
    platform::OemToAnsiBuffer(source, dest, count);
  } else if (const std::uint8_t* table = DisplayTable(kind)) {
    Lookup(table, source, dest, count);
  } else {
    Copy(source, dest, count);
  }
}

void TranslateToData(THexTranslationKind kind, const std::uint8_t* source, std::uint8_t* dest,
                     std::size_t count) {
  if (kind == tkDos8 || kind == tkASCII) {
    platform::AnsiToOemBuffer(source, dest, count);
  } else if (const std::uint8_t* table = DataTable(kind)) {
    Lookup(table, source, dest, count);
  } else {
    Copy(source, dest, count);
  }
}

std::uint8_t MaskCharFromStoredInteger(std::string_view text) {
  int value = -1;
  const char* end = text.data() + text.size();
  const auto [ptr, error] = std::from_chars(text.data(), end, value);
  if (error != std::errc() || ptr != end || value < 0 || value > 255) return kDefaultMaskChar;
  return static_cast<std::uint8_t>(value);
}

std::uint8_t MaskCharFromLegacyString(std::string_view text) {
  return text.size() == 1 ? static_cast<std::uint8_t>(text[0]) : kDefaultMaskChar;
}

std::optional<std::string> MaskCharStoredInteger(std::uint8_t maskChar) {
  if (maskChar == kDefaultMaskChar) return std::nullopt;
  return std::to_string(maskChar);
}

}  // namespace kestrave::hex
