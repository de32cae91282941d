#include "platform/ole/ClipboardFormats.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <vector>

namespace kestrave::platform::ole {
namespace {

constexpr TClipFormat kFirstRegistered = 0xC000;

std::vector<std::string>& Names() {
  static std::vector<std::string> names;
  return names;
}

bool SameIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

}  // namespace

TClipFormat RegisterClipboardFormatA(std::string_view name) {
  if (name.empty()) return 0;
  auto& names = Names();
  for (std::size_t i = 0; i < names.size(); ++i)
    if (SameIgnoringCase(names[i], name)) return static_cast<TClipFormat>(kFirstRegistered + i);
  if (names.size() >= 0x4000) return 0;
  names.emplace_back(name);
  return static_cast<TClipFormat>(kFirstRegistered + names.size() - 1);
}

std::string ClipboardFormatName(TClipFormat format) {
  const auto& names = Names();
  if (format < kFirstRegistered || format - kFirstRegistered >= static_cast<int>(names.size()))
    return {};
  return names[format - kFirstRegistered];
}

int GetClipboardFormatNameA(TClipFormat format, char* buffer, int size) {
  const std::string name = ClipboardFormatName(format);
  if (name.empty() || size <= 0) return 0;
  const int length = std::min(static_cast<int>(name.size()), size - 1);
  std::memcpy(buffer, name.data(), static_cast<std::size_t>(length));
  buffer[length] = '\0';
  return length;
}

}  // namespace kestrave::platform::ole
