#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kestrave::hex {

// The character sets the character field can show the data in.
enum THexTranslationKind : std::uint8_t { tkAsIs, tkDos8, tkASCII, tkMac, tkBCD, tkCustom };
inline constexpr std::size_t kTranslationKindCount = 6;

// "Windows", "Dos 8 Bit", ... and "WIN", "DOS", ..., indexed by kind.
extern const std::array<std::string_view, kTranslationKindCount> kTranslationNames;
extern const std::array<std::string_view, kTranslationKindCount> kTranslationShortNames;

// The custom kind's tables, shared by every instance of the process and identity at start:
// data byte to character drawn, and character typed to data byte. Applications write them.
std::array<std::uint8_t, 256>& CustomTranslationFromData();
std::array<std::uint8_t, 256>& CustomTranslationToData();

inline constexpr std::uint8_t kDefaultMaskChar = '.';

// Characters 0 to 31 are control characters: drawn masked, never typed.
constexpr bool IsControlChar(std::uint8_t ch) {
  return ch < 32;
}

// The character drawn for a data byte; control characters become MaskChar unless it is 0.
std::uint8_t DataByteToChar(THexTranslationKind kind, std::uint8_t maskChar, std::uint8_t byte);
// The data byte a typed character stands for; 0 when it cannot be typed.
std::uint8_t CharToDataByte(THexTranslationKind kind, std::uint8_t ch);

// Whole buffers, without masking; source and destination may be the same buffer.
void TranslateFromData(THexTranslationKind kind, const std::uint8_t* source, std::uint8_t* dest,
                       std::size_t count);
void TranslateToData(THexTranslationKind kind, const std::uint8_t* source, std::uint8_t* dest,
                     std::size_t count);

// MaskChar in the settings text: stored as the integer "MaskChar_AsInteger" only when it is not
// "."; an unreadable integer, or an old "MaskChar" string that is not one character, gives ".".
std::optional<std::string> MaskCharStoredInteger(std::uint8_t maskChar);
std::uint8_t MaskCharFromStoredInteger(std::string_view text);
std::uint8_t MaskCharFromLegacyString(std::string_view text);

}  // namespace kestrave::hex
