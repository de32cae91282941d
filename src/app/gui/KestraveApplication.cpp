#include "app/gui/KestraveApplication.h"

#include <exception>
#include <new>

#include "app/core/ConverterTexts.h"
#include "platform/Exception.h"

namespace kestrave::app {
namespace {

// The text of the error being handled, whatever its kind.
std::string CurrentErrorText() {
  try {
    throw;
  } catch (const platform::Exception& e) {
    return e.Message();
  } catch (const std::bad_alloc&) {
    return "Out of memory";
  } catch (const std::exception& e) {
    return e.what();
  }
}

}  // namespace

void RunGuarded(IUserDialogs& dialogs, const std::function<void()>& action) {
  try {
    action();
  } catch (const std::exception&) {
    dialogs.ShowError(CurrentErrorText());
  }
}

KestraveApplication::KestraveApplication(int& argc, char** argv) : QApplication(argc, argv) {
  setApplicationName(QString::fromUtf8(text::kTitle));
  setApplicationVersion(QString::fromUtf8(KESTRAVE_VERSION));
}

bool KestraveApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::exception&) {
    if (dialogs_) dialogs_->ShowError(CurrentErrorText());
    return false;
  }
}

}  // namespace kestrave::app
