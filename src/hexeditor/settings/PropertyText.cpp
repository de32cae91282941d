#include "hexeditor/settings/PropertyText.h"

#include <charconv>
#include <optional>

#include "platform/Exception.h"
#include "platform/Format.h"

namespace kestrave::hex {
namespace {

std::string_view Trimmed(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  while (!text.empty() && blank(text.front()))
    text.remove_prefix(1);
  while (!text.empty() && blank(text.back()))
    text.remove_suffix(1);
  return text;
}

[[noreturn]] void InvalidElement(std::string_view text) {
  throw platform::EConvertError(
      platform::FormatMessage("Invalid property element: %s", {std::string(text)}));
}

[[noreturn]] void InvalidValue() {
  throw platform::EConvertError("Invalid property value");
}

// A quoted string, 'text' pieces and #code characters one after another; nothing when the
// text is not entirely of that form.
std::optional<std::string> Unquoted(std::string_view text) {
  std::string result;
  std::size_t i = 0;
  while (i < text.size()) {
    if (text[i] == '\'') {
      ++i;
      for (;;) {
        if (i >= text.size()) return std::nullopt;
        if (text[i] == '\'') {
          if (i + 1 < text.size() && text[i + 1] == '\'') {
            result += '\'';
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        result += text[i++];
      }
    } else if (text[i] == '#') {
      std::size_t end = i + 1;
      while (end < text.size() && text[end] >= '0' && text[end] <= '9')
        ++end;
      unsigned code = 0;
      const auto parsed = std::from_chars(text.data() + i + 1, text.data() + end, code);
      if (end == i + 1 || parsed.ec != std::errc() || code > 255) return std::nullopt;
      result += static_cast<char>(code);
      i = end;
    } else {
      return std::nullopt;
    }
  }
  return result;
}

}  // namespace

bool SameNameIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
  for (std::size_t i = 0; i < a.size(); ++i)
    if (lower(a[i]) != lower(b[i])) return false;
  return true;
}

std::string BooleanText(bool value) {
  return value ? "True" : "False";
}

bool ParseBoolean(std::string_view text) {
  static constexpr std::string_view kNames[] = {"False", "True"};
  return ParseIdentifier(text, kNames) == 1;
}

std::string IntegerText(std::int64_t value) {
  return std::to_string(value);
}

std::int64_t ParseInteger(std::string_view text, std::int64_t min, std::int64_t max) {
  const std::string_view number = Trimmed(text);
  std::int64_t value = 0;
  std::from_chars_result parsed{};
  if (number.size() > 1 && number.front() == '$') {
    parsed = std::from_chars(number.data() + 1, number.data() + number.size(), value, 16);
  } else {
    const bool plus = !number.empty() && number.front() == '+';
    parsed = std::from_chars(number.data() + plus, number.data() + number.size(), value);
  }
  if (number.empty() || parsed.ec != std::errc() || parsed.ptr != number.data() + number.size())
    throw platform::EConvertError(
        platform::FormatMessage("'%s' is not a valid integer value", {std::string(text)}));
  if (value < min || value > max) InvalidValue();
  return value;
}

std::string IdentifierText(std::size_t ordinal, std::span<const std::string_view> identifiers) {
  return ordinal < identifiers.size() ? std::string(identifiers[ordinal]) : std::to_string(ordinal);
}

std::size_t ParseIdentifier(std::string_view text, std::span<const std::string_view> identifiers) {
  const std::string_view name = Trimmed(text);
  for (std::size_t i = 0; i < identifiers.size(); ++i)
    if (SameNameIgnoringCase(name, identifiers[i])) return i;
  InvalidElement(name);
}

std::string SetText(std::uint32_t bits, std::span<const std::string_view> identifiers) {
  std::string text = "[";
  for (std::size_t i = 0; i < identifiers.size(); ++i) {
    if (!(bits & (1u << i))) continue;
    if (text.size() > 1) text += ',';
    text += identifiers[i];
  }
  return text + "]";
}

std::uint32_t ParseSet(std::string_view text, std::span<const std::string_view> identifiers) {
  std::string_view members = Trimmed(text);
  if (members.size() >= 2 && members.front() == '[' && members.back() == ']')
    members = Trimmed(members.substr(1, members.size() - 2));
  std::uint32_t bits = 0;
  while (!members.empty()) {
    const std::size_t comma = members.find(',');
    const std::string_view member = members.substr(0, comma);
    bits |= 1u << ParseIdentifier(member, identifiers);
    if (comma == std::string_view::npos) break;
    members.remove_prefix(comma + 1);
    if (Trimmed(members).empty()) InvalidElement(members);
  }
  return bits;
}

std::string CharText(std::uint8_t value) {
  if (value > 0x20 && value < 0x7F && value != '#') return std::string(1, static_cast<char>(value));
  std::string text = "#";
  text += std::to_string(value);
  return text;
}

std::uint8_t ParseChar(std::string_view text) {
  if (text.size() == 1) return static_cast<std::uint8_t>(text[0]);
  if (text.size() > 1 && text[0] == '#') {
    unsigned code = 0;
    const auto parsed = std::from_chars(text.data() + 1, text.data() + text.size(), code);
    if (parsed.ec == std::errc() && parsed.ptr == text.data() + text.size() && code <= 255)
      return static_cast<std::uint8_t>(code);
  }
  InvalidValue();
}

std::string StringText(std::string_view value) {
  bool quote = !value.empty() && (value.front() == '\'' || value.front() == '#');
  for (const char c : value)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) quote = true;
  if (!quote) return std::string(value);
  std::string text;
  bool inQuotes = false;
  for (const char c : value) {
    const auto code = static_cast<unsigned char>(c);
    if (code < 0x20 || code == 0x7F) {
      if (inQuotes) text += '\'';
      inQuotes = false;
      text += '#';
      text += std::to_string(code);
      continue;
    }
    if (!inQuotes) text += '\'';
    inQuotes = true;
    text += c;
    if (c == '\'') text += '\'';
  }
  if (inQuotes) text += '\'';
  return text;
}

std::string ParseString(std::string_view text) {
  if (!text.empty() && (text.front() == '\'' || text.front() == '#'))
    if (std::optional<std::string> unquoted = Unquoted(text)) return *unquoted;
  return std::string(text);
}

}  // namespace kestrave::hex
