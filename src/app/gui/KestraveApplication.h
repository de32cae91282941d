#pragma once

#include <functional>
#include <optional>
#include <string>

#include "app/core/UserDialogs.h"
#include "view/QtGuardedApplication.h"

namespace kestrave::app {

// Runs a user action under the default error display: an error that ends the action (running
// out of memory included) shows its message, and the program goes on.
void RunGuarded(IUserDialogs& dialogs, const std::function<void()>& action);

// The file named on the command line, "kestrave [FILE]", once Qt has taken its own options
// out: a full path, as the open dialog gives it. Only the first file counts.
std::optional<std::string> FileFromArguments(int argc, char** argv);

// The application object: its title is the caption of every message box, and an error that
// escapes an event handler (a posted message, say) is shown like a handler's.
class KestraveApplication : public view::QtGuardedApplication {
 public:
  KestraveApplication(int& argc, char** argv);
  void SetErrorDisplay(IUserDialogs* dialogs) { dialogs_ = dialogs; }

 protected:
  void ShowEscapedError(const std::string& message) override;

 private:
  IUserDialogs* dialogs_ = nullptr;
};

}  // namespace kestrave::app
