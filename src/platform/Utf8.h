#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace kestrave::platform {

// One well-formed UTF-8 character at the start of Bytes: its code point and its length in bytes.
// Nothing for a stray or cut-short byte, an overlong form, a surrogate or a code past U+10FFFF.
struct Utf8Char {
  char32_t Code = 0;
  int Length = 0;
};

inline std::optional<Utf8Char> DecodeUtf8Char(std::span<const std::uint8_t> bytes) {
  if (bytes.empty()) return std::nullopt;
  const std::uint8_t lead = bytes[0];
  if (lead < 0x80) return Utf8Char{lead, 1};
  int length = 0;
  char32_t least = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    least = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    least = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    least = 0x10000;
  } else {
    return std::nullopt;
  }
  if (bytes.size() < static_cast<std::size_t>(length)) return std::nullopt;
  char32_t code = lead & (0x7F >> length);
  for (int i = 1; i < length; ++i) {
    const std::uint8_t next = bytes[static_cast<std::size_t>(i)];
    if ((next & 0xC0) != 0x80) return std::nullopt;
    code = code << 6 | (next & 0x3F);
  }
  if (code < least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return std::nullopt;
  return Utf8Char{code, length};
}

inline std::optional<Utf8Char> DecodeUtf8Char(std::string_view text) {
  return DecodeUtf8Char(std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

}  // namespace kestrave::platform
