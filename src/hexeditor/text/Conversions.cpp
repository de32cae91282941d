#include "hexeditor/text/Conversions.h"

#include <cstring>

#include "hexeditor/HexEditorError.h"
#include "hexeditor/Messages.h"
#include "platform/Format.h"

namespace kestrave::hex {
namespace {

constexpr char kDigits[] = "0123456789ABCDEF";

// The value of a hex digit of either case, or -1.
int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::uint8_t SwapNibbles(std::uint8_t byte) {
  return static_cast<std::uint8_t>((byte << 4) | (byte >> 4));
}

}  // namespace

std::string FormatInRadix(std::uint32_t value, std::uint8_t radix, std::uint8_t minDigits) {
  std::string text;
  do {
    text.insert(text.begin(), kDigits[value % radix]);
    value /= radix;
  } while (value != 0);
  if (text.size() < minDigits) text.insert(0, minDigits - text.size(), '0');
  return text;
}

std::int32_t ParseRadixText(std::string_view text, std::uint8_t radix) {
  std::uint32_t result = 0;
  for (const char original : text) {
    const char c = original >= 'a' && original <= 'z' ? static_cast<char>(original - 32) : original;
    const char* found = c == '\0' ? nullptr : std::strchr(kDigits, c);
    const int digit = found ? static_cast<int>(found - kDigits) : -1;
    if (digit < 0 || digit >= radix)
      throw EHexEditor(platform::FormatMessage(msg::kInvalidRadixCharacter,
                                               {std::string(1, c), std::int64_t{radix}}));
    result = result * radix + static_cast<std::uint32_t>(digit);
  }
  return static_cast<std::int32_t>(result);
}

std::uint8_t* HexTextToBytes(const char* source, int sourceLength, std::uint8_t* dest,
                             int& outCount, bool swapNibbles) {
  outCount = 0;
  int pending = -1;
  for (int i = 0; i < sourceLength; ++i) {
    const int value = HexDigitValue(source[i]);
    if (value < 0) continue;
    if (pending < 0) {
      pending = value * 16;
      continue;
    }
    const auto byte = static_cast<std::uint8_t>(pending + value);
    dest[outCount++] = swapNibbles ? SwapNibbles(byte) : byte;
    pending = -1;
  }
  return dest;
}

std::vector<std::uint8_t> HexTextToBytes(std::string_view text, bool swapNibbles) {
  std::vector<std::uint8_t> bytes(text.size() / 2);
  int count = 0;
  HexTextToBytes(text.data(), static_cast<int>(text.size()), bytes.data(), count, swapNibbles);
  bytes.resize(static_cast<std::size_t>(count));
  return bytes;
}

char* BytesToHexText(const std::uint8_t* source, int count, char* dest, bool swapNibbles) {
  char* out = dest;
  for (int i = 0; i < count; ++i) {
    const std::uint8_t byte = swapNibbles ? SwapNibbles(source[i]) : source[i];
    *out++ = kDigits[byte >> 4];
    *out++ = kDigits[byte & 0x0F];
  }
  *out = '\0';
  return dest;
}

std::string BytesToHexText(const std::uint8_t* source, int count, bool swapNibbles) {
  std::string text(static_cast<std::size_t>(2 * count + 1), '\0');
  BytesToHexText(source, count, text.data(), swapNibbles);
  text.pop_back();
  return text;
}

void SwapByteOrder16(void* unit) {
  auto* bytes = static_cast<std::uint8_t*>(unit);
  const std::uint8_t first = bytes[0];
  bytes[0] = bytes[1];
  bytes[1] = first;
}

}  // namespace kestrave::hex
