#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kestrave::hex {

// Digit text of an unsigned value in a radix from 2 to 16, upper-case digits, padded with "0"
// in front to MinDigits. Zero is "0".
std::string FormatInRadix(std::uint32_t value, std::uint8_t radix, std::uint8_t minDigits);

// The value of digit text in a radix from 2 to 16, letters in either case, wrapping around in 32
// bits. Raises "Invalid character %s, cannot convert using radix %xh" on a character that is not
// a digit of the radix. Empty text is 0.
std::int32_t ParseRadixText(std::string_view text, std::uint8_t radix);

// Pairs of hex digits (either case) to bytes; other characters are skipped without breaking a
// pair, and a final unpaired digit is dropped. Dest needs SourceLength / 2 bytes; OutCount
// receives the number of bytes written. Answers Dest.
std::uint8_t* HexTextToBytes(const char* source, int sourceLength, std::uint8_t* dest,
                             int& outCount, bool swapNibbles);
std::vector<std::uint8_t> HexTextToBytes(std::string_view text, bool swapNibbles);

// Two upper-case digits per byte, high nibble first unless swapped, then a terminating zero
// character. Dest needs 2 x Count + 1 characters. Answers Dest.
char* BytesToHexText(const std::uint8_t* source, int count, char* dest, bool swapNibbles);
std::string BytesToHexText(const std::uint8_t* source, int count, bool swapNibbles);

// Exchanges the two bytes of a 16-bit unit in place.
void SwapByteOrder16(void* unit);

}  // namespace kestrave::hex
