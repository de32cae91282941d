#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

// The text forms of property values in the settings text, both ways. Reading accepts what
// writing gives, in any letter case for identifiers; a text that is no value of the type
// raises EConvertError with the reason.
namespace kestrave::hex {

// Names and identifiers compare without regard to the case of ASCII letters.
bool SameNameIgnoringCase(std::string_view a, std::string_view b);

// "True" and "False".
std::string BooleanText(bool value);
bool ParseBoolean(std::string_view text);

// Decimal; reading also takes "$" followed by hex digits, and blanks around the number.
std::string IntegerText(std::int64_t value);
std::int64_t ParseInteger(std::string_view text, std::int64_t min, std::int64_t max);

// An enumeration value by its identifier.
std::string IdentifierText(std::size_t ordinal, std::span<const std::string_view> identifiers);
std::size_t ParseIdentifier(std::string_view text, std::span<const std::string_view> identifiers);

// A set, bit i for member i, as its members' identifiers in brackets:
// "[pfSelectionBold,pfMonochrome]".
std::string SetText(std::uint32_t bits, std::span<const std::string_view> identifiers);
std::uint32_t ParseSet(std::string_view text, std::span<const std::string_view> identifiers);

// A character: visible ASCII stands for itself, any other byte (and "#") as "#" and its code.
std::string CharText(std::uint8_t value);
std::uint8_t ParseChar(std::string_view text);

// A string stands as it is unless a line break or another control character, a leading quote
// or a leading "#" would change how it reads back: then it is quoted, 'it''s'#13#10'two'.
std::string StringText(std::string_view value);
std::string ParseString(std::string_view text);

}  // namespace kestrave::hex
