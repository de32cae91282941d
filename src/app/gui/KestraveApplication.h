#pragma once

#include <QApplication>
#include <functional>
#include <optional>
#include <string>

#include "app/core/UserDialogs.h"

namespace kestrave::app {

// Runs a user action under the default error display: an error that ends the action shows its
// message, and the program goes on.
void RunGuarded(IUserDialogs& dialogs, const std::function<void()>& action);

// The file named on the command line, "kestrave [FILE]", once Qt has taken its own options
// out: a full path, as the open dialog gives it. Only the first file counts.
std::optional<std::string> FileFromArguments(int argc, char** argv);

// The application object: its title is the caption of every message box, and an error that
// escapes an event handler (a posted message, say) is shown like a handler's.
class KestraveApplication : public QApplication {
 public:
  KestraveApplication(int& argc, char** argv);
  void SetErrorDisplay(IUserDialogs* dialogs) { dialogs_ = dialogs; }
  bool notify(QObject* receiver, QEvent* event) override;

 private:
  IUserDialogs* dialogs_ = nullptr;
};

}  // namespace kestrave::app
