#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace kestrave::app {

// What the bytes at the caret mean read as each common type: the rows of the byte values panel.
enum class ValueType {
  Int8,
  UInt8,
  Int16,
  UInt16,
  Int32,
  UInt32,
  Int64,
  UInt64,
  Float32,
  Float64,
  UnixTime32,
  UnixTime64,
  DosDateTime,
  Utf8,
  Utf16,
  Binary
};

struct ByteValue {
  ValueType Type;
  // The type's name as the panel shows it ("int16", "float64", "DOS date/time"...).
  std::string Name;
  // The value, or empty when there are too few bytes or they are no valid value of the type.
  std::string Text;
  // How many bytes the value takes from the caret (for UTF-8: the character's length).
  int Bytes = 0;
};

// Every row for the bytes from the caret (up to eight are looked at), in one byte order.
std::vector<ByteValue> ReadByteValues(std::span<const std::uint8_t> bytes, bool bigEndian);

// The bytes a typed value stands for in a row's type and byte order: nothing when the text is
// not a value of the type or does not fit it. UTF-8 and UTF-16 take one character.
std::optional<std::vector<std::uint8_t>> EncodeValue(ValueType type, const std::string& text,
                                                     bool bigEndian);

// A shown value made to fit Width as Measure measures text: whole when it fits, else its middle
// gives way to "…". A number in exponent form keeps its exponent ("2.3257…e+35") and an integer
// its first and last digits, so no shortened value reads as another one.
std::string ElidedValue(const std::string& text, int width,
                        const std::function<int(const std::string&)>& measure);

}  // namespace kestrave::app
