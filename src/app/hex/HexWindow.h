#pragma once

#include <QMainWindow>
#include <memory>
#include <vector>

#include "hexeditor/HexEditorEx.h"
#include "view/QtBusyIndicator.h"

class QAction;
class QLabel;
class QMenu;
class QProgressDialog;

namespace kestrave::view {
class HexView;
}

namespace kestrave::app {

// A small hex editor window around one view: files, search, editing, undo, clipboard and the
// layout settings, with a status bar for position, selection and mode.
class HexWindow : public QMainWindow {
 public:
  HexWindow();
  ~HexWindow() override;

  bool OpenFile(const QString& path);
  hex::THexEditorEx& Editor() { return editor_; }
  view::HexView& View() { return *view_; }

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildMenus();
  void BuildEditMenu(QMenu* menu);
  void BuildViewMenu(QMenu* menu);
  void BuildBookmarkMenu(QMenu* menu);
  void Open();
  // Another window of its own, closed on its own; data can be dragged between them.
  static void OpenNewWindow();
  bool Save();
  bool SaveAs();
  bool SaveTo(const QString& path);
  void Find(bool again);
  bool ConfirmDiscard();
  void RefreshTitleAndStatus();
  void RefreshMenus();
  void RememberRecent(const QString& path);
  void RebuildRecentMenu();
  // Runs an editor action, showing an error as a message box.
  void Guarded(const std::function<void()>& action);
  void ShowProgress(hex::THexProgressKind kind, const std::string& name, int percent, bool& cancel);

  view::QtBusyIndicator busy_;
  hex::THexEditorEx editor_;
  view::HexView* view_;
  QLabel* position_;
  QLabel* selection_;
  QLabel* mode_;
  QMenu* recentMenu_ = nullptr;
  QAction* undo_ = nullptr;
  QAction* redo_ = nullptr;
  QAction* insertMode_ = nullptr;
  QAction* unicode_ = nullptr;
  QAction* ruler_ = nullptr;
  QAction* lowerCase_ = nullptr;
  std::vector<QAction*> translations_;
  std::unique_ptr<QProgressDialog> progress_;
  QByteArray lastPattern_;
  bool lastIgnoreCase_ = true;
  bool lastIsText_ = true;
};

}  // namespace kestrave::app
