#pragma once

#include "app/core/UserDialogs.h"

class QWidget;

namespace kestrave::app {

// The desktop's file dialogs and message boxes, titled with the application's name.
class QtUserDialogs : public IUserDialogs {
 public:
  void SetParentWindow(QWidget* parent) { parent_ = parent; }

  std::optional<std::string> ChooseFileToOpen(const FileDialogOptions& options) override;
  std::optional<std::string> ChooseFileToSave(const FileDialogOptions& options) override;
  void ShowMessage(const std::string& text) override;
  void ShowError(const std::string& text) override;

 private:
  QWidget* parent_ = nullptr;
};

// "caption|mask|caption|mask" as Qt writes a filter list: "caption (mask);;caption (mask)".
std::string QtFilterFrom(const std::string& filter);

}  // namespace kestrave::app
