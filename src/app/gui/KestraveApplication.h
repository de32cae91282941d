#pragma once

#include <QApplication>
#include <functional>

#include "app/core/UserDialogs.h"

namespace kestrave::app {

// Runs a user action under the default error display: an error that ends the action shows its
// message, and the program goes on.
void RunGuarded(IUserDialogs& dialogs, const std::function<void()>& action);

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
