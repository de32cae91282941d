#include "platform/Guard.h"

#include <cstdio>

#include "platform/Exception.h"
#include "platform/UserInterface.h"

namespace kestrave::platform {
namespace {

// The message of the error being handled. Copying it may need memory that is gone; the short
// out-of-memory text needs none.
std::string MessageOfCurrentError() noexcept {
  try {
    return CurrentErrorText();
  } catch (...) {
    return kOutOfMemoryText;
  }
}

void Report(const std::function<void(const std::string&)>& onError,
            const std::string& message) noexcept {
  try {
    onError(message);
  } catch (...) {
    std::fputs(message.c_str(), stderr);
    std::fputc('\n', stderr);
  }
}

}  // namespace

bool RunGuarded(const std::function<void()>& action,
                const std::function<void(const std::string& message)>& onError) noexcept {
  try {
    action();
    return true;
  } catch (...) {
    Report(onError, MessageOfCurrentError());
    return false;
  }
}

bool RunGuarded(const std::function<void()>& action) noexcept {
  return RunGuarded(action,
                    [](const std::string& message) { CurrentErrorDisplay().ShowError(message); });
}

}  // namespace kestrave::platform
