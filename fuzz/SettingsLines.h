#pragma once

#include <string>
#include <vector>

#include "FuzzInput.h"
#include "hexeditor/settings/EditorProperties.h"

namespace kestrave::fuzz {

// Settings text made of lines "Name=value" for the published names, so most lines reach a
// setter. A value is cut from the input, or is one of the numbers at the edges of what the
// integer types hold, which random bytes would hardly ever spell.
inline std::string SettingsLines(FuzzInput& input) {
  static const std::vector<std::string> names =
      hex::PublicPropertyNames(hex::EditorPublishedClass());
  static const char* const extremes[] = {
      "-2147483648", "-1",         "0",          "1",
      "2147483647",  "2147483646", "2147483648", "4294967295",
      "-2147483649", "$7FFFFFFF",  "$FFFFFFFF",  "9223372036854775807",
      "65535",       "65536",      "1073741824", "-9223372036854775808"};
  std::string text;
  while (input.Remaining() > 0) {
    const std::uint8_t pick = input.Byte();
    const std::uint8_t kind = input.Byte();
    std::string value;
    if (kind >= 240) {
      value = extremes[kind - 240];
    } else {
      std::size_t length = kind % 24;
      // Take shortens Length at the end of the input: read it only after the call.
      const auto* piece = reinterpret_cast<const char*>(input.Take(length));
      value.assign(piece, length);
    }
    text += names[pick % names.size()] + "=" + value + "\r\n";
  }
  return text;
}

}  // namespace kestrave::fuzz
