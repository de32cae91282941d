#pragma once

// File names that are bytes rather than UTF-8 text, as files from Windows often have. Header only.

#include <string>

namespace kestrave::test {

// "Привет.drf" in CP1251: none of its letters is a UTF-8 character.
inline const std::string kCp1251Name = "\xCF\xF0\xE8\xE2\xE5\xF2.drf";
// The same as the desktop shows it: a U+FFFD for each of those bytes.
inline const std::string kCp1251NameShown =
    "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD.drf";

// A local file's URL as file managers put it in text/uri-list: every byte of the name outside
// the letters, digits, '/', '-', '.' and '_' percent-encoded.
inline std::string FileUrl(const std::string& path) {
  constexpr char kDigits[] = "0123456789ABCDEF";
  std::string url = "file://";
  for (const char c : path) {
    const auto byte = static_cast<unsigned char>(c);
    if ((byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') ||
        (byte >= '0' && byte <= '9') || byte == '/' || byte == '-' || byte == '.' || byte == '_') {
      url += c;
    } else {
      url += '%';
      url += kDigits[byte >> 4];
      url += kDigits[byte & 0xF];
    }
  }
  return url;
}

}  // namespace kestrave::test
