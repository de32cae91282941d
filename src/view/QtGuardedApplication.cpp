#include "view/QtGuardedApplication.h"

#include "platform/Guard.h"
#include "platform/UserInterface.h"

namespace kestrave::view {

QtGuardedApplication::QtGuardedApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool QtGuardedApplication::notify(QObject* receiver, QEvent* event) {
  bool handled = false;
  platform::RunGuarded([&] { handled = QApplication::notify(receiver, event); },
                       [this](const std::string& message) { ShowEscapedError(message); });
  return handled;
}

void QtGuardedApplication::ShowEscapedError(const std::string& message) {
  platform::CurrentErrorDisplay().ShowError(message);
}

}  // namespace kestrave::view
