#include "app/gui/KestraveApplication.h"

#include <exception>
#include <filesystem>
#include <system_error>

#include "app/core/ConverterTexts.h"
#include "platform/Exception.h"

namespace kestrave::app {

void RunGuarded(IUserDialogs& dialogs, const std::function<void()>& action) {
  try {
    action();
  } catch (const std::exception&) {
    dialogs.ShowError(platform::CurrentErrorText());
  }
}

std::optional<std::string> FileFromArguments(int argc, char** argv) {
  if (argc < 2 || !argv[1] || !*argv[1]) return std::nullopt;
  std::error_code error;
  const std::filesystem::path path = std::filesystem::absolute(argv[1], error);
  return error ? std::string(argv[1]) : path.string();
}

KestraveApplication::KestraveApplication(int& argc, char** argv) : QApplication(argc, argv) {
  setApplicationName(QString::fromUtf8(text::kTitle));
  setApplicationVersion(QString::fromUtf8(KESTRAVE_VERSION));
}

bool KestraveApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::exception&) {
    if (dialogs_) dialogs_->ShowError(platform::CurrentErrorText());
    return false;
  }
}

}  // namespace kestrave::app
