#include "platform/Format.h"

#include <cstdio>
#include <vector>

namespace kestrave::platform {
namespace {

std::string ArgAsText(const FormatArg& arg) {
  if (const auto* text = std::get_if<std::string>(&arg)) return *text;
  return std::to_string(std::get<std::int64_t>(arg));
}

std::string ArgAsHex(const FormatArg& arg) {
  if (const auto* text = std::get_if<std::string>(&arg)) return *text;
  char digits[24];
  // Negative values print as their 32-bit pattern, the width the messages deal in.
  const auto value = static_cast<std::uint32_t>(std::get<std::int64_t>(arg));
  std::snprintf(digits, sizeof digits, "%X", value);
  return digits;
}

}  // namespace

std::string FormatMessage(std::string_view pattern, std::initializer_list<FormatArg> args) {
  const std::vector<FormatArg> list(args);
  std::string out;
  out.reserve(pattern.size() + 32);
  std::size_t next = 0;
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    const char c = pattern[i];
    if (c != '%' || i + 1 >= pattern.size()) {
      out += c;
      continue;
    }
    const char kind = pattern[i + 1];
    if (kind == '%') {
      out += '%';
      ++i;
    } else if ((kind == 's' || kind == 'd' || kind == 'x') && next < list.size()) {
      out += kind == 'x' ? ArgAsHex(list[next]) : ArgAsText(list[next]);
      ++next;
      ++i;
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace kestrave::platform
