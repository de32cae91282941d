#pragma once

#include <optional>
#include <string>

namespace kestrave::app {

// A file dialog as the window describes it. Filter pairs a caption and a mask: "*.drf|*.drf".
struct FileDialogOptions {
  std::string Filter;
  std::string DefaultExt;
};

// Everything the converter's windows ask the user. The desktop shows real dialogs; tests script
// the answers and read what a message box would have said.
class IUserDialogs {
 public:
  virtual ~IUserDialogs() = default;
  // A full path, or nothing when the user cancelled.
  virtual std::optional<std::string> ChooseFileToOpen(const FileDialogOptions& options) = 0;
  virtual std::optional<std::string> ChooseFileToSave(const FileDialogOptions& options) = 0;
  // A message box with the text and an OK button, under the application's title.
  virtual void ShowMessage(const std::string& text) = 0;
  // The application's default display of an error that ended a user action.
  virtual void ShowError(const std::string& text) = 0;
};

}  // namespace kestrave::app
