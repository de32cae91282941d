#pragma once

#include <QString>
#include <memory>

#include "app/hex/HexDialogs.h"

class QProgressDialog;
class QWidget;

namespace kestrave::app {

// The desktop's dialogs and message boxes for a hex window, titled "kestrave-hex". The file
// dialogs know names only as text: a chosen name that is not UTF-8 is found again on the disk.
class QtHexDialogs : public IHexDialogs {
 public:
  explicit QtHexDialogs(QWidget* parent);
  ~QtHexDialogs() override;

  std::optional<std::string> ChooseFileToOpen(const std::string& folder) override;
  std::optional<std::string> ChooseFileToSave(const std::string& suggested) override;
  std::optional<FindRequest> AskWhatToFind(const FindRequest& previous) override;
  std::optional<std::string> AskOffset(const std::string& previous) override;
  std::optional<ReplaceRequest> AskWhatToReplace(const ReplaceRequest& previous) override;
  SaveChangesAnswer AskSaveChanges(const std::string& name) override;
  bool Confirm(const Question& question) override;
  bool ShowProgress(const std::string& text, int percent) override;
  void EndProgress() override;
  void ShowMessage(const std::string& text) override;
  void ShowHelp(const std::string& title, const std::string& text) override;
  void ShowError(const std::string& text) override;

 private:
  std::optional<std::string> OnDisk(const QString& chosen);

  QWidget* parent_;
  std::unique_ptr<QProgressDialog> progress_;
};

}  // namespace kestrave::app
