#pragma once

#include <optional>
#include <string>

namespace kestrave::app {

// What the user asked the hex window to find: text (UTF-8, as typed) or hex digits.
struct FindRequest {
  std::string Text;
  bool HexDigits = false;
  bool IgnoreCase = true;  // for text only
  // Only within the bytes selected when the search was asked for.
  bool InSelection = false;
};

// What to replace, with what, and whether every match or the next one.
struct ReplaceRequest {
  FindRequest Find;
  std::string Replacement;  // as Find.Text: text, or hex digits with Find.HexDigits
  bool All = false;
};

// The answer to "the data has changed: save it first?".
enum class SaveChangesAnswer { Save, Discard, Cancel };

// A question with two answers, each a button; No is the default (Enter, Escape, closing the
// box), so a key pressed in haste does nothing that cannot be undone.
struct Question {
  std::string Text;
  std::string Yes;
  std::string No;
};

// Everything the hex window asks the user or shows them. The desktop shows real dialogs; tests
// script the answers and read what would have been shown.
class IHexDialogs {
 public:
  virtual ~IHexDialogs() = default;
  // A full path, or nothing when the user cancelled; starts in the folder (the working folder for
  // none).
  virtual std::optional<std::string> ChooseFileToOpen(const std::string& folder) = 0;
  // Starts at the suggested path; nothing when the user cancelled.
  virtual std::optional<std::string> ChooseFileToSave(const std::string& suggested) = 0;
  // Starts with the previous request filled in; nothing when the user cancelled.
  virtual std::optional<FindRequest> AskWhatToFind(const FindRequest& previous) = 0;
  // Starts with the previous request filled in; nothing when the user cancelled.
  virtual std::optional<ReplaceRequest> AskWhatToReplace(const ReplaceRequest& previous) = 0;
  // What offset to go to, as typed; starts with the previous text; nothing when cancelled.
  virtual std::optional<std::string> AskOffset(const std::string& previous) = 0;
  // About the file of that name, which has changed.
  virtual SaveChangesAnswer AskSaveChanges(const std::string& name) = 0;
  // True when the user chose the Yes answer.
  virtual bool Confirm(const Question& question) = 0;
  // Long work under way: the text and how far it got; answers whether the user asked to stop.
  // EndProgress takes the display away (also when it never appeared).
  virtual bool ShowProgress(const std::string& text, int percent) = 0;
  virtual void EndProgress() = 0;
  virtual void ShowMessage(const std::string& text) = 0;
  // A page of help: a title and lines of text.
  virtual void ShowHelp(const std::string& title, const std::string& text) = 0;
  virtual void ShowError(const std::string& text) = 0;
};

}  // namespace kestrave::app
