#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "app/core/UserDialogs.h"

namespace kestrave::app::test {

// Answers the dialogs from a script and remembers every message box.
class ScriptedDialogs : public IUserDialogs {
 public:
  std::optional<std::string> ChooseFileToOpen(const FileDialogOptions& options) override {
    openOptions.push_back(options);
    return Next(openAnswers);
  }
  std::optional<std::string> ChooseFileToSave(const FileDialogOptions& options) override {
    saveOptions.push_back(options);
    return Next(saveAnswers);
  }
  void ShowMessage(const std::string& text) override { messages.push_back(text); }
  void ShowError(const std::string& text) override { errors.push_back(text); }

  // Nothing scripted means the user cancelled.
  std::deque<std::optional<std::string>> openAnswers;
  std::deque<std::optional<std::string>> saveAnswers;
  std::vector<FileDialogOptions> openOptions;
  std::vector<FileDialogOptions> saveOptions;
  std::vector<std::string> messages;
  std::vector<std::string> errors;

 private:
  static std::optional<std::string> Next(std::deque<std::optional<std::string>>& answers) {
    if (answers.empty()) return std::nullopt;
    auto answer = answers.front();
    answers.pop_front();
    return answer;
  }
};

}  // namespace kestrave::app::test
