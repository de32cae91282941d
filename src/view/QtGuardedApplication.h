#pragma once

#include <QApplication>
#include <string>

namespace kestrave::view {

// The application object of a program with windows, the last guard of every event: an error
// that escapes a handler (a posted message, a timer, a handler without a guard of its own) ends
// that event only, its message is shown, and the program goes on.
class QtGuardedApplication : public QApplication {
 public:
  QtGuardedApplication(int& argc, char** argv);
  bool notify(QObject* receiver, QEvent* event) override;

 protected:
  // Where the message of an error that escaped an event goes: the error display of the
  // platform (CurrentErrorDisplay) unless a program has a display of its own.
  virtual void ShowEscapedError(const std::string& message);
};

}  // namespace kestrave::view
