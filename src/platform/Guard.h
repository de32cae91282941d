#pragma once

#include <functional>
#include <string>

namespace kestrave::platform {

// The last-chance error boundary every entry point goes through: the command line, the
// windows' actions and event handlers, drops, and the clipboard rendering other programs ask
// for. Runs Action; an error that escapes it, out of memory included, ends only the action: its
// message (CurrentErrorText) goes to OnError. Answers whether Action ran to its end.
// Nothing escapes the guard: when OnError fails in its turn (a message box cannot be made when
// memory is gone), the message goes to the standard error stream instead.
bool RunGuarded(const std::function<void()>& action,
                const std::function<void(const std::string& message)>& onError) noexcept;

// The same for work no caller can hear from (an event handler, a drop, a clipboard request):
// the message goes to the application's error display, CurrentErrorDisplay().
bool RunGuarded(const std::function<void()>& action) noexcept;

}  // namespace kestrave::platform
