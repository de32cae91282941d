#pragma once

#include <QCoreApplication>
#include <QMainWindow>
#include <functional>
#include <memory>
#include <string>

#include "app/hex/FileCommands.h"
#include "app/hex/FileOnDisk.h"
#include "app/hex/FindReplace.h"
#include "app/hex/HexDialogs.h"
#include "hexeditor/HexEditorEx.h"
#include "platform/UserInterface.h"
#include "view/QueuedOnce.h"

class QKeyEvent;
class QMenu;

namespace kestrave::view {
class HexView;
}

namespace kestrave::app {

class ByteValuesDock;
class FindBar;
class RecentFilesMenu;
class RecordsDock;

// One file of a hex window, a tab of it: its own editor (data, undo history, view settings),
// view, find bar and search state, byte values and records panels, and the watch on its file.
// A main window of its own inside the window's tabs, so each file keeps its panels as it left
// them.
class HexTab : public QMainWindow {
  Q_DECLARE_TR_FUNCTIONS(kestrave::app::HexWindow)

 public:
  using Run = std::function<void(const std::function<void()>&)>;
  // What the window lends each of its files.
  struct Services {
    IHexDialogs& Dialogs;
    platform::IBusyIndicator& Busy;
    RecentFilesMenu& Recent;
    // Carries out a step: errors shown, the window's status refreshed.
    Run RunStep;
    // Whether other work or a dialog runs now.
    std::function<bool()> WorkRuns;
  };
  HexTab(const Services& services, QWidget* parent);
  ~HexTab() override;

  hex::THexEditorEx& Editor() { return editor_; }
  view::HexView& View() { return *view_; }
  FindBar& Bar() { return *findBar_; }
  ByteValuesDock& ByteValues() { return *byteValues_; }
  RecordsDock& Records() { return *records_; }
  FindReplace& Search() { return search_; }
  FileCommands& Files() { return files_; }
  FileOnDisk& Disk() { return disk_; }

  // The file shown; empty while it is untitled.
  const std::string& Path() const { return disk_.Path(); }
  // "Untitled" in the user's language, or the file's name (bytes that are no UTF-8 as U+FFFD).
  QString ShownName() const;
  // Untitled, unchanged and empty: a file opened from the window may take its place.
  bool Blank() const;
  // Opens the file in this tab, noting where the caret stood in the file shown before.
  bool Open(const std::string& path);
  // Notes where the caret stands, for when the file is opened again.
  void RememberPosition();
  // Undo and redo, a Replace All taken back included.
  void Undo();
  void Redo();
  bool CanRedo();
  // Shows the records panel; the first time, a few rows high.
  void ShowRecords();
  // The offsets' menu (right click, the menu key, Shift+F10 on the view).
  void SetOffsetMenu(QMenu* menu);

  // The data, the caret, the mode or a notice changed: the window's title and status follow.
  std::function<void()> OnStateChanged;

 protected:
  // Keys the view takes may change the mode or the data; the menu key and Shift+F10 show the
  // offsets' menu; Ctrl+Shift+Z redoes a Replace All.
  bool eventFilter(QObject* watched, QEvent* event) override;
  // Panels floated off this tab go and come with it.
  void hideEvent(QHideEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void StateChanged();
  void Loaded(const std::string& path);
  void ShowProgress(hex::THexProgressKind kind, const std::string& name, int percent, bool& cancel);
  void DrawRecordCell(hex::IHexCanvas& canvas, int col, int row, const std::u16string& text,
                      const hex::PaintRect& box, bool& defaultDraw);
  void PopUpOffsetMenu();
  bool IsRedoKey(const QKeyEvent& key) const;

  IHexDialogs& dialogs_;
  RecentFilesMenu& recent_;
  Run run_;
  hex::THexEditorEx editor_;
  view::HexView* view_;
  FindBar* findBar_;
  ByteValuesDock* byteValues_;
  RecordsDock* records_;
  FileOnDisk disk_;
  FileCommands files_;
  FindReplace search_;
  QMenu* offsetMenu_ = nullptr;
  bool recordsShown_ = false;
  view::QueuedOnce refreshLater_{this, [this] { StateChanged(); }};
  std::vector<QWidget*> floatingHidden_;
};

}  // namespace kestrave::app
