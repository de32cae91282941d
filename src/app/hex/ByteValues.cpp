#include "app/hex/ByteValues.h"

#include "platform/Utf8.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <limits>

namespace kestrave::app {
namespace {

struct TypeInfo {
  ValueType Type;
  const char* Name;
  int Bytes;  // 0: as many as the value needs
};

constexpr TypeInfo kTypes[] = {
    {ValueType::Int8, "int8", 1},
    {ValueType::UInt8, "uint8", 1},
    {ValueType::Int16, "int16", 2},
    {ValueType::UInt16, "uint16", 2},
    {ValueType::Int32, "int32", 4},
    {ValueType::UInt32, "uint32", 4},
    {ValueType::Int64, "int64", 8},
    {ValueType::UInt64, "uint64", 8},
    {ValueType::Float32, "float32", 4},
    {ValueType::Float64, "float64", 8},
    {ValueType::UnixTime32, "Unix time (32-bit)", 4},
    {ValueType::UnixTime64, "Unix time (64-bit)", 8},
    {ValueType::DosDateTime, "DOS date/time", 4},
    {ValueType::Utf8, "UTF-8", 0},
    {ValueType::Utf16, "UTF-16", 0},
    {ValueType::Binary, "binary", 1},
};

std::uint64_t ReadUnsigned(std::span<const std::uint8_t> bytes, int count, bool bigEndian) {
  std::uint64_t value = 0;
  for (int i = 0; i < count; ++i) {
    const std::uint8_t byte = bytes[static_cast<std::size_t>(bigEndian ? i : count - 1 - i)];
    value = value << 8 | byte;
  }
  return value;
}

std::vector<std::uint8_t> WriteUnsigned(std::uint64_t value, int count, bool bigEndian) {
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    const auto byte = static_cast<std::uint8_t>(value >> (8 * i));
    bytes[static_cast<std::size_t>(bigEndian ? count - 1 - i : i)] = byte;
  }
  return bytes;
}

std::int64_t SignExtend(std::uint64_t value, int bytes) {
  if (bytes == 8) return static_cast<std::int64_t>(value);
  const int shift = 64 - 8 * bytes;
  return static_cast<std::int64_t>(value << shift) >> shift;
}

template <typename Float>
std::string FloatText(Float value) {
  if (std::isnan(value)) return "NaN";
  if (std::isinf(value)) return value < 0 ? "-Infinity" : "Infinity";
  char text[64];
  const auto result = std::to_chars(text, text + sizeof text, value);
  return std::string(text, result.ptr);
}

std::string TwoDigits(int value) {
  return std::string(1, static_cast<char>('0' + value / 10)) + static_cast<char>('0' + value % 10);
}

std::string DateTimeText(int year, int month, int day, int hour, int minute, int second) {
  return std::to_string(year) + '-' + TwoDigits(month) + '-' + TwoDigits(day) + ' ' +
         TwoDigits(hour) + ':' + TwoDigits(minute) + ':' + TwoDigits(second);
}

std::string UnixTimeText(std::int64_t seconds) {
  // Years 1 to 9999: what a date is written with.
  if (seconds < -62135596800LL || seconds > 253402300799LL) return {};
  const auto time = static_cast<std::time_t>(seconds);
  std::tm parts{};
  if (!::gmtime_r(&time, &parts)) return {};
  return DateTimeText(parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday, parts.tm_hour,
                      parts.tm_min, parts.tm_sec) +
         " UTC";
}

// The time in the low word and the date in the high one, as a FAT directory entry keeps them.
std::string DosDateTimeText(std::uint32_t value) {
  const unsigned time = value & 0xFFFF;
  const unsigned date = value >> 16;
  const int day = date & 31, month = (date >> 5) & 15, year = 1980 + static_cast<int>(date >> 9);
  const int second = static_cast<int>(time & 31) * 2, minute = (time >> 5) & 63,
            hour = static_cast<int>(time >> 11);
  if (day < 1 || month < 1 || month > 12 || hour > 23 || minute > 59 || second > 59) return {};
  return DateTimeText(year, month, day, hour, minute, second);
}

std::string CodePointName(char32_t code) {
  char hex[16];
  std::snprintf(hex, sizeof hex, "U+%04X", static_cast<unsigned>(code));
  return hex;
}

void AppendUtf8(std::string& text, char32_t code) {
  if (code < 0x80) {
    text += static_cast<char>(code);
  } else if (code < 0x800) {
    text += static_cast<char>(0xC0 | code >> 6);
    text += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    text += static_cast<char>(0xE0 | code >> 12);
    text += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    text += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    text += static_cast<char>(0xF0 | code >> 18);
    text += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    text += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    text += static_cast<char>(0x80 | (code & 0x3F));
  }
}

// A character as the panel shows it: itself when printable, and its code point.
std::string CharacterText(char32_t code) {
  std::string text;
  if (code >= 0x20 && code != 0x7F && !(code >= 0x80 && code < 0xA0)) {
    AppendUtf8(text, code);
    text += ' ';
  }
  return text + CodePointName(code);
}

// One well-formed UTF-8 character at the start, with its length; nothing otherwise.
std::optional<std::pair<char32_t, int>> DecodeUtf8(std::span<const std::uint8_t> bytes) {
  const auto character = platform::DecodeUtf8Char(bytes);
  if (!character) return std::nullopt;
  return std::pair<char32_t, int>{character->Code, character->Length};
}

// One UTF-16 character (one unit, or a surrogate pair), with its length in bytes.
std::optional<std::pair<char32_t, int>> DecodeUtf16(std::span<const std::uint8_t> bytes,
                                                    bool bigEndian) {
  if (bytes.size() < 2) return std::nullopt;
  const auto first = static_cast<char32_t>(ReadUnsigned(bytes, 2, bigEndian));
  if (first < 0xD800 || first > 0xDFFF) return std::pair<char32_t, int>{first, 2};
  if (first > 0xDBFF || bytes.size() < 4) return std::nullopt;
  const auto second = static_cast<char32_t>(ReadUnsigned(bytes.subspan(2), 2, bigEndian));
  if (second < 0xDC00 || second > 0xDFFF) return std::nullopt;
  return std::pair<char32_t, int>{0x10000 + ((first - 0xD800) << 10) + (second - 0xDC00), 4};
}

std::string Text(const TypeInfo& type, std::span<const std::uint8_t> bytes, bool bigEndian,
                 int& used) {
  used = type.Bytes;
  if (type.Bytes > 0 && bytes.size() < static_cast<std::size_t>(type.Bytes)) return {};
  const std::uint64_t raw = type.Bytes > 0 ? ReadUnsigned(bytes, type.Bytes, bigEndian) : 0;
  switch (type.Type) {
    case ValueType::Int8:
    case ValueType::Int16:
    case ValueType::Int32:
    case ValueType::Int64:
      return std::to_string(SignExtend(raw, type.Bytes));
    case ValueType::UInt8:
    case ValueType::UInt16:
    case ValueType::UInt32:
    case ValueType::UInt64:
      return std::to_string(raw);
    case ValueType::Float32: {
      float value;
      const auto bits = static_cast<std::uint32_t>(raw);
      std::memcpy(&value, &bits, sizeof value);
      return FloatText(value);
    }
    case ValueType::Float64: {
      double value;
      std::memcpy(&value, &raw, sizeof value);
      return FloatText(value);
    }
    case ValueType::UnixTime32:
      return UnixTimeText(SignExtend(raw, 4));
    case ValueType::UnixTime64:
      return UnixTimeText(static_cast<std::int64_t>(raw));
    case ValueType::DosDateTime:
      return DosDateTimeText(static_cast<std::uint32_t>(raw));
    case ValueType::Utf8: {
      const auto character = DecodeUtf8(bytes);
      used = character ? character->second : 0;
      return character ? CharacterText(character->first) : std::string();
    }
    case ValueType::Utf16: {
      const auto character = DecodeUtf16(bytes, bigEndian);
      used = character ? character->second : 0;
      return character ? CharacterText(character->first) : std::string();
    }
    case ValueType::Binary: {
      std::string bits;
      for (int bit = 7; bit >= 0; --bit)
        bits += (raw >> bit & 1) ? '1' : '0';
      return bits;
    }
  }
  return {};
}

const TypeInfo& InfoOf(ValueType type) {
  for (const TypeInfo& info : kTypes)
    if (info.Type == type) return info;
  return kTypes[0];
}

template <typename Number>
bool ParseWhole(const std::string& text, Number& value) {
  std::string_view digits = text;
  int base = 10;
  bool negative = false;
  if (!digits.empty() && digits.front() == '-') {
    negative = true;
    digits.remove_prefix(1);
  }
  if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
    base = 16;
    digits.remove_prefix(2);
  }
  if (digits.empty() || digits.front() == '-' || digits.front() == '+') return false;
  std::uint64_t magnitude = 0;
  const auto [end, error] =
      std::from_chars(digits.data(), digits.data() + digits.size(), magnitude, base);
  if (error != std::errc() || end != digits.data() + digits.size()) return false;
  if constexpr (std::is_signed_v<Number>) {
    const auto limit = static_cast<std::uint64_t>(std::numeric_limits<Number>::max());
    if (magnitude > limit + (negative ? 1 : 0)) return false;
    if (!negative) {
      value = static_cast<Number>(magnitude);
    } else if (magnitude == limit + 1) {
      value = std::numeric_limits<Number>::min();
    } else {
      value = static_cast<Number>(-static_cast<std::int64_t>(magnitude));
    }
  } else {
    if (negative || magnitude > std::numeric_limits<Number>::max()) return false;
    value = static_cast<Number>(magnitude);
  }
  return true;
}

template <typename Number>
std::optional<std::vector<std::uint8_t>> EncodeWhole(const std::string& text, int bytes,
                                                     bool bigEndian) {
  Number value{};
  if (!ParseWhole(text, value)) return std::nullopt;
  return WriteUnsigned(static_cast<std::uint64_t>(value), bytes, bigEndian);
}

std::optional<std::int64_t> ParseDateTime(const std::string& text, int& year, int& month, int& day,
                                          int& hour, int& minute, int& second) {
  char rest[8] = {};
  const int read = std::sscanf(text.c_str(), "%d-%d-%d %d:%d:%d %7s", &year, &month, &day, &hour,
                               &minute, &second, rest);
  if (read < 6 || (read == 7 && std::string(rest) != "UTC")) return std::nullopt;
  if (month < 1 || month > 12 || day < 1 || day > 31 || hour < 0 || hour > 23 || minute < 0 ||
      minute > 59 || second < 0 || second > 59 || year < 1 || year > 9999)
    return std::nullopt;
  std::tm parts{};
  parts.tm_year = year - 1900;
  parts.tm_mon = month - 1;
  parts.tm_mday = day;
  parts.tm_hour = hour;
  parts.tm_min = minute;
  parts.tm_sec = second;
  const std::int64_t seconds = ::timegm(&parts);
  // A day the month does not have (31 April) comes back as another date: refused.
  if (parts.tm_mday != day || parts.tm_mon != month - 1) return std::nullopt;
  return seconds;
}

// Exactly one character of UTF-8 text.
std::optional<char32_t> OneCharacter(const std::string& text) {
  const auto bytes = std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
  const auto character = DecodeUtf8(bytes);
  if (!character || static_cast<std::size_t>(character->second) != text.size()) return std::nullopt;
  return character->first;
}

}  // namespace

std::vector<ByteValue> ReadByteValues(std::span<const std::uint8_t> bytes, bool bigEndian) {
  bytes = bytes.first(std::min<std::size_t>(bytes.size(), 8));
  std::vector<ByteValue> values;
  for (const TypeInfo& type : kTypes) {
    int used = 0;
    std::string text = Text(type, bytes, bigEndian, used);
    values.push_back({type.Type, type.Name, std::move(text), used});
  }
  return values;
}

std::optional<std::vector<std::uint8_t>> EncodeValue(ValueType type, const std::string& text,
                                                     bool bigEndian) {
  const TypeInfo& info = InfoOf(type);
  switch (type) {
    case ValueType::Int8:
      return EncodeWhole<std::int8_t>(text, 1, bigEndian);
    case ValueType::UInt8:
      return EncodeWhole<std::uint8_t>(text, 1, bigEndian);
    case ValueType::Int16:
      return EncodeWhole<std::int16_t>(text, 2, bigEndian);
    case ValueType::UInt16:
      return EncodeWhole<std::uint16_t>(text, 2, bigEndian);
    case ValueType::Int32:
      return EncodeWhole<std::int32_t>(text, 4, bigEndian);
    case ValueType::UInt32:
      return EncodeWhole<std::uint32_t>(text, 4, bigEndian);
    case ValueType::Int64:
      return EncodeWhole<std::int64_t>(text, 8, bigEndian);
    case ValueType::UInt64:
      return EncodeWhole<std::uint64_t>(text, 8, bigEndian);
    case ValueType::Float32:
    case ValueType::Float64: {
      double value = 0;
      const std::string lower = text == "NaN"         ? "nan"
                                : text == "Infinity"  ? "inf"
                                : text == "-Infinity" ? "-inf"
                                                      : text;
      const auto [end, error] = std::from_chars(lower.data(), lower.data() + lower.size(), value);
      if (error != std::errc() || end != lower.data() + lower.size()) return std::nullopt;
      if (type == ValueType::Float64) {
        std::uint64_t bits;
        std::memcpy(&bits, &value, sizeof bits);
        return WriteUnsigned(bits, 8, bigEndian);
      }
      const auto narrow = static_cast<float>(value);
      if (std::isinf(narrow) && !std::isinf(value)) return std::nullopt;  // too large a float
      std::uint32_t bits;
      std::memcpy(&bits, &narrow, sizeof bits);
      return WriteUnsigned(bits, 4, bigEndian);
    }
    case ValueType::UnixTime32:
    case ValueType::UnixTime64: {
      int year, month, day, hour, minute, second;
      const auto seconds = ParseDateTime(text, year, month, day, hour, minute, second);
      if (!seconds) return std::nullopt;
      if (type == ValueType::UnixTime32 && (*seconds < std::numeric_limits<std::int32_t>::min() ||
                                            *seconds > std::numeric_limits<std::int32_t>::max()))
        return std::nullopt;
      return WriteUnsigned(static_cast<std::uint64_t>(*seconds), info.Bytes, bigEndian);
    }
    case ValueType::DosDateTime: {
      int year, month, day, hour, minute, second;
      if (!ParseDateTime(text, year, month, day, hour, minute, second) || year < 1980 ||
          year > 2107 || second % 2 != 0)
        return std::nullopt;
      const std::uint32_t date = static_cast<std::uint32_t>((year - 1980) << 9 | month << 5 | day);
      const std::uint32_t time = static_cast<std::uint32_t>(hour << 11 | minute << 5 | second / 2);
      return WriteUnsigned(date << 16 | time, 4, bigEndian);
    }
    case ValueType::Utf8: {
      if (!OneCharacter(text)) return std::nullopt;
      return std::vector<std::uint8_t>(text.begin(), text.end());
    }
    case ValueType::Utf16: {
      const auto code = OneCharacter(text);
      if (!code) return std::nullopt;
      if (*code < 0x10000) return WriteUnsigned(*code, 2, bigEndian);
      auto high = WriteUnsigned(0xD800 + ((*code - 0x10000) >> 10), 2, bigEndian);
      const auto low = WriteUnsigned(0xDC00 + ((*code - 0x10000) & 0x3FF), 2, bigEndian);
      high.insert(high.end(), low.begin(), low.end());
      return high;
    }
    case ValueType::Binary: {
      if (text.size() != 8 || text.find_first_not_of("01") != std::string::npos)
        return std::nullopt;
      return std::vector<std::uint8_t>{static_cast<std::uint8_t>(std::stoi(text, nullptr, 2))};
    }
  }
  return std::nullopt;
}

namespace {

constexpr char kEllipsis[] = "\xE2\x80\xA6";

bool ContinuationByte(char c) {
  return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// The first Count bytes of Text, or fewer, never splitting a UTF-8 character.
std::string HeadOf(const std::string& text, std::size_t count) {
  while (count > 0 && count < text.size() && ContinuationByte(text[count]))
    --count;
  return text.substr(0, count);
}

std::string TailOf(const std::string& text, std::size_t count) {
  std::size_t from = text.size() - std::min(count, text.size());
  while (from < text.size() && ContinuationByte(text[from]))
    ++from;
  return text.substr(from);
}

}  // namespace

std::string ElidedValue(const std::string& text, int width,
                        const std::function<int(const std::string&)>& measure) {
  if (measure(text) <= width) return text;
  // A number's exponent stays whole; the digits before it give way.
  const std::size_t exponent = text.find_first_of("eE");
  const bool scientific = exponent != std::string::npos && exponent > 0 &&
                          text.find_first_not_of("+-0123456789.eE") == std::string::npos;
  const std::string body = scientific ? text.substr(0, exponent) : text;
  const std::string end = scientific ? text.substr(exponent) : std::string();
  const auto shortened = [&](std::size_t kept) {
    if (scientific) return HeadOf(body, kept) + kEllipsis + end;
    return HeadOf(body, (kept + 1) / 2) + kEllipsis + TailOf(body, kept / 2);
  };
  // The most characters kept that still fit; at least one, so something of the value shows.
  std::size_t low = 1;
  std::size_t high = body.size();
  while (low < high) {
    const std::size_t middle = (low + high + 1) / 2;
    if (measure(shortened(middle)) <= width) {
      low = middle;
    } else {
      high = middle - 1;
    }
  }
  return shortened(low);
}

}  // namespace kestrave::app
