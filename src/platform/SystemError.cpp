#include "platform/SystemError.h"

#include <cerrno>
#include <cstring>

namespace kestrave::platform {
namespace {

constexpr std::size_t kMaxErrorText = 256;

// strerror_r comes in two shapes; both overloads let the call compile with either.
[[maybe_unused]] const char* PickText(int result, const char* buffer) {
  return result == 0 ? buffer : "Unknown error";
}
[[maybe_unused]] const char* PickText(const char* result, const char*) {
  return result;
}

}  // namespace

std::string SystemErrorText(int errorNumber) {
  if (errorNumber == kNotRegularFileError) return "Not a regular file";
  if (errorNumber == kSharedFolderLinkError)
    return "Not following another user's link in a shared folder";
  if (errorNumber == kSharedFolderFileError) return "Another user's file in a shared folder";
  char buffer[kMaxErrorText + 1] = {};
  std::string text = PickText(strerror_r(errorNumber, buffer, sizeof buffer), buffer);
  if (text.size() > kMaxErrorText) text.resize(kMaxErrorText);
  while (!text.empty()) {
    const auto last = static_cast<unsigned char>(text.back());
    if (last > ' ' && last != '.') break;
    text.pop_back();
  }
  return text;
}

std::string LastErrorText() {
  return SystemErrorText(errno);
}

}  // namespace kestrave::platform
