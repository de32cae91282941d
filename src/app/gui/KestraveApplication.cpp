#include "app/gui/KestraveApplication.h"

#include <filesystem>
#include <system_error>

#include "app/core/ConverterTexts.h"
#include "platform/Guard.h"

namespace kestrave::app {

void RunGuarded(IUserDialogs& dialogs, const std::function<void()>& action) {
  platform::RunGuarded(action,
                       [&dialogs](const std::string& message) { dialogs.ShowError(message); });
}

std::optional<std::string> FileFromArguments(int argc, char** argv) {
  if (argc < 2 || !argv[1] || !*argv[1]) return std::nullopt;
  std::error_code error;
  const std::filesystem::path path = std::filesystem::absolute(argv[1], error);
  return error ? std::string(argv[1]) : path.string();
}

KestraveApplication::KestraveApplication(int& argc, char** argv)
    : QtGuardedApplication(argc, argv) {
  setApplicationName(QString::fromUtf8(text::kTitle));
  setApplicationVersion(QString::fromUtf8(KESTRAVE_VERSION));
}

void KestraveApplication::ShowEscapedError(const std::string& message) {
  if (dialogs_) {
    dialogs_->ShowError(message);
  } else {
    QtGuardedApplication::ShowEscapedError(message);
  }
}

}  // namespace kestrave::app
