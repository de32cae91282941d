#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>

namespace kestrave::app {

// The selection as text for other programs ("Copy As").

// "48 65 6C 6C 6F": two upper-case digits a byte, a space between.
std::string HexText(std::span<const std::uint8_t> bytes);

// A C array of the bytes, twelve to a line:
//   const unsigned char data[5] = {
//       0x48, 0x65, 0x6C, 0x6C, 0x6F,
//   };
std::string CArray(std::span<const std::uint8_t> bytes, const std::string& name = "data");

// The bytes as the character field shows them: each byte through Character (the current
// translation, which shows control characters as the mask character).
std::u16string TranslatedText(std::span<const std::uint8_t> bytes,
                              const std::function<char16_t(std::uint8_t)>& character);

}  // namespace kestrave::app
