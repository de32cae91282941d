#pragma once

#include <QCoreApplication>
#include <QMainWindow>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/hex/FileLimits.h"
#include "app/hex/HexDialogs.h"
#include "app/hex/MatchRanges.h"
#include "app/hex/RecentFiles.h"
#include "hexeditor/HexEditorEx.h"
#include "view/QtBusyIndicator.h"
#include "view/QueuedOnce.h"

class QAction;
class QActionGroup;
class QLabel;
class QMenu;
class QMimeData;
class QTabWidget;

namespace kestrave::view {
class HexView;
}

namespace kestrave::app {

class ByteValuesDock;
class FindBar;
class HexTab;
class RecentFilesMenu;
class RecordsDock;

// A hex editor window: files in tabs (each a HexTab with its own editor, search and panels),
// the menus that act on the tab in front, and a status bar for its position, selection, mode
// and the notice of its last search. The parts do the work; the window wires them.
class HexWindow : public QMainWindow {
  Q_DECLARE_TR_FUNCTIONS(kestrave::app::HexWindow)

 public:
  // Files opened or saved, most recent first, are kept between runs up to this many.
  static constexpr int kMaxRecentFiles = static_cast<int>(kestrave::app::kMaxRecentFiles);
  // Loads, saves and searches of this many bytes or more show their progress.
  static constexpr int kProgressFrom = kestrave::app::kProgressFrom;
  // The size a window opens at where the screen has room.
  static constexpr int kWidth = 900;
  static constexpr int kHeight = 600;

  // With the desktop's dialogs.
  HexWindow();
  // With the caller's dialogs, which outlive the window.
  explicit HexWindow(IHexDialogs& dialogs);
  ~HexWindow() override;

  // Opens the file in the tab in front, in place of the file it shows. The path is the bytes the
  // system knows the file by, whatever their encoding.
  bool OpenFile(const std::string& path);
  // Opens the file in a tab of its own, in front: the tab that shows it already, or an untitled
  // empty tab in front, or a new one (File > Open, recent files, drops, the command line).
  bool OpenInTab(const std::string& path);
  // The tab in front and its parts.
  HexTab& CurrentTab();
  hex::THexEditorEx& Editor();
  view::HexView& View();
  ByteValuesDock& ByteValuesPanel();
  RecordsDock& RecordsPanel();
  // Shown while the matches of the last search are highlighted.
  FindBar& FindResults();
  const MatchRanges& HighlightedMatches();
  int TabCount() const;
  HexTab& Tab(int index);
  int CurrentIndex() const;
  void SetCurrentIndex(int index);
  QTabWidget& Tabs() { return *tabs_; }
  // Closes a tab, asking first to save a changed file; false when the user cancelled. The last
  // tab closed leaves an untitled one.
  bool CloseTab(int index);
  // The recent files' paths, most recent first.
  static std::vector<std::string> RecentFiles();
  // Looks whether another program changed, replaced or removed the file in front since the
  // window read or saved it, and if so tells the user once.
  void CheckFileOnDisk();

 protected:
  void changeEvent(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  // A middle click on a tab closes it.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  explicit HexWindow(IHexDialogs* dialogs);

  HexTab* AddTab();
  void BuildMenus();
  void BuildFileMenu(QMenu* menu);
  void BuildEditMenu(QMenu* menu);
  void BuildViewMenu(QMenu* menu);
  void BuildBytesPerRowMenu(QMenu* menu);
  void BuildBookmarkMenu(QMenu* menu);
  void BuildOffsetMenu();
  void BuildFocusKeys();
  void Open();
  // Another window of its own, closed on its own; data can be dragged between them.
  static void OpenNewWindow();
  void CurrentChanged();
  // A tab's state changed: its label, and the title, status and menus when it is in front.
  void TabStateChanged(HexTab* tab);
  void RefreshTabLabel(int index);
  void RefreshTitleAndStatus();
  void RefreshMenus();
  void RefreshBytesPerRow();
  // F6 and Shift+F6: the focus to the next or previous part of the tab in front.
  void MoveFocus(bool forward);
  void ToggleRecords();
  // The first local file a drag carries, or nothing.
  static std::optional<std::string> DroppedFile(const QMimeData* data);
  // Runs an editor action, showing an error it raises.
  void Run(const std::function<void()>& action);
  bool WorkRuns() const;

  std::unique_ptr<IHexDialogs> ownDialogs_;
  IHexDialogs& dialogs_;
  view::QtBusyIndicator busy_;
  QTabWidget* tabs_;
  std::unique_ptr<RecentFilesMenu> recent_;
  QMenu* offsetMenu_ = nullptr;
  QLabel* position_;
  QLabel* selection_;
  QLabel* mode_;
  QLabel* findNotice_;
  QAction* reload_ = nullptr;
  QAction* undo_ = nullptr;
  QAction* redo_ = nullptr;
  QAction* byteValues_ = nullptr;
  QAction* records_ = nullptr;
  QAction* insertMode_ = nullptr;
  QAction* unicode_ = nullptr;
  QAction* ruler_ = nullptr;
  QAction* lowerCase_ = nullptr;
  std::vector<QAction*> translations_;
  QActionGroup* bytesPerRow_ = nullptr;
  // Shows a row length that none of the fixed choices has (the wheel sets any).
  QAction* otherBytesPerRow_ = nullptr;
  std::string lastOffset_;  // as the user last typed it into "Go to Offset"
  view::QueuedOnce refreshLater_{this, [this] { RefreshTitleAndStatus(); }};
  // Actions under way: no question about a file on disk comes inside them.
  int runDepth_ = 0;
};

}  // namespace kestrave::app
