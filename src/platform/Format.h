#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

namespace kestrave::platform {

// One argument of a message pattern: a number or a text.
using FormatArg = std::variant<std::int64_t, std::string>;

// Fills a message pattern: %s takes a text, %d a number in decimal, %x a number in upper-case
// hexadecimal, %% is a percent sign. A placeholder whose argument is missing stays as written.
std::string FormatMessage(std::string_view pattern, std::initializer_list<FormatArg> args);

}  // namespace kestrave::platform
