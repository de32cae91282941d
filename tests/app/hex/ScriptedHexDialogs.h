#pragma once

#include <QCoreApplication>
#include <deque>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/hex/HexDialogs.h"

namespace kestrave::app::test {

// Answers a hex window's dialogs from a script and remembers everything it was asked and shown.
// Nothing scripted means the user cancelled.
class ScriptedHexDialogs : public IHexDialogs {
 public:
  std::optional<std::string> ChooseFileToOpen(const std::string& folder) override {
    openFolders.push_back(folder);
    return Next(openAnswers);
  }
  std::optional<std::string> ChooseFileToSave(const std::string& suggested) override {
    saveSuggestions.push_back(suggested);
    return Next(saveAnswers);
  }
  std::optional<FindRequest> AskWhatToFind(const FindRequest& previous) override {
    findShownWith.push_back(previous);
    return Next(findAnswers);
  }
  std::optional<ReplaceRequest> AskWhatToReplace(const ReplaceRequest& previous) override {
    replaceShownWith.push_back(previous);
    return Next(replaceAnswers);
  }
  std::optional<std::string> AskOffset(const std::string& previous) override {
    offsetShownWith.push_back(previous);
    return Next(offsetAnswers);
  }
  SaveChangesAnswer AskSaveChanges(const std::string& name) override {
    saveChangesAskedFor.push_back(name);
    if (saveChangesAnswers.empty()) return SaveChangesAnswer::Cancel;
    const SaveChangesAnswer answer = saveChangesAnswers.front();
    saveChangesAnswers.pop_front();
    return answer;
  }
  // Nothing scripted means No, the default answer.
  bool Confirm(const Question& question) override {
    questions.push_back(question);
    if (confirmAnswers.empty()) return false;
    const bool answer = confirmAnswers.front();
    confirmAnswers.pop_front();
    return answer;
  }
  // Like the desktop's progress, lets the windows draw themselves while the work runs.
  bool ShowProgress(const std::string& text, int percent) override {
    progress.emplace_back(text, percent);
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    return cancelFrom && percent >= *cancelFrom;
  }
  void EndProgress() override { ++progressEnded; }
  void ShowMessage(const std::string& text) override { messages.push_back(text); }
  void ShowHelp(const std::string& title, const std::string& text) override {
    helpShown.emplace_back(title, text);
  }
  void ShowError(const std::string& text) override { errors.push_back(text); }

  std::deque<std::optional<std::string>> openAnswers;
  std::deque<std::optional<std::string>> saveAnswers;
  std::deque<std::optional<FindRequest>> findAnswers;
  std::deque<std::optional<std::string>> offsetAnswers;
  std::deque<std::optional<ReplaceRequest>> replaceAnswers;
  std::deque<SaveChangesAnswer> saveChangesAnswers;
  std::deque<bool> confirmAnswers;
  std::optional<int> cancelFrom;  // the percent at which the user presses Cancel

  std::vector<std::string> openFolders;          // where each open dialog started
  std::vector<std::string> saveChangesAskedFor;  // the files each "save first?" named
  int progressEnded = 0;
  std::vector<std::string> saveSuggestions;
  std::vector<Question> questions;
  std::vector<FindRequest> findShownWith;
  std::vector<std::string> offsetShownWith;
  std::vector<ReplaceRequest> replaceShownWith;
  std::vector<std::pair<std::string, int>> progress;
  std::vector<std::string> messages;
  std::vector<std::pair<std::string, std::string>> helpShown;
  std::vector<std::string> errors;

 private:
  template <typename T>
  static std::optional<T> Next(std::deque<std::optional<T>>& answers) {
    if (answers.empty()) return std::nullopt;
    std::optional<T> answer = std::move(answers.front());
    answers.pop_front();
    return answer;
  }
};

}  // namespace kestrave::app::test
