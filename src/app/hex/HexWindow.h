#pragma once

#include <QCoreApplication>
#include <QMainWindow>
#include <QStringList>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/hex/Checksum.h"
#include "app/hex/HexDialogs.h"
#include "app/hex/MatchRanges.h"
#include "app/hex/RecentFiles.h"
#include "hexeditor/HexEditorEx.h"
#include "platform/FileStamp.h"
#include "platform/FileWatch.h"
#include "view/QtBusyIndicator.h"

class QAction;
class QActionGroup;
class QLabel;
class QMenu;
class QMimeData;
class QSocketNotifier;
class QTimer;

namespace kestrave::view {
class HexView;
}

namespace kestrave::app {

class ByteValuesDock;
class FindBar;
class RecordsDock;

// A small hex editor window around one view: files, search, editing, undo, clipboard and the
// layout settings, with a status bar for position, selection and mode.
class HexWindow : public QMainWindow {
  Q_DECLARE_TR_FUNCTIONS(kestrave::app::HexWindow)

 public:
  // Files opened or saved, most recent first, are kept between runs up to this many.
  static constexpr int kMaxRecentFiles = static_cast<int>(kestrave::app::kMaxRecentFiles);
  // Loads, saves and searches of this many bytes or more show their progress.
  static constexpr int kProgressFrom = 8 << 20;

  // With the desktop's dialogs.
  HexWindow();
  // With the caller's dialogs, which outlive the window.
  explicit HexWindow(IHexDialogs& dialogs);
  ~HexWindow() override;

  // The path is the bytes the system knows the file by, whatever their encoding.
  bool OpenFile(const std::string& path);
  hex::THexEditorEx& Editor() { return editor_; }
  view::HexView& View() { return *view_; }
  ByteValuesDock& ByteValuesPanel() { return *byteValues_; }
  RecordsDock& RecordsPanel() { return *records_; }
  // Shown while the matches of the last search are highlighted.
  FindBar& FindResults() { return *findBar_; }
  const MatchRanges& HighlightedMatches() const { return highlighted_; }
  // The recent files' paths, most recent first.
  static std::vector<std::string> RecentFiles();
  // Looks whether another program changed, replaced or removed the file shown since the window
  // read or saved it, and if so tells the user once. Runs when the file's folder reports a
  // change and when the window is activated; inside other work it waits for the work's end.
  void CheckFileOnDisk();

 protected:
  void changeEvent(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  // Any key the view takes may change the mode or the data: the status follows.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  explicit HexWindow(IHexDialogs* dialogs);

  void BuildMenus();
  void BuildFileMenu(QMenu* menu);
  void BuildEditMenu(QMenu* menu);
  void BuildViewMenu(QMenu* menu);
  void BuildBytesPerRowMenu(QMenu* menu);
  void BuildBookmarkMenu(QMenu* menu);
  void Open();
  // Another window of its own, closed on its own; data can be dragged between them.
  static void OpenNewWindow();
  bool Save();
  bool SaveAs();
  bool SaveTo(const std::string& path);
  // Before a save under the name of the file shown: a change another program made to it since
  // the window read or saved it is overwritten only when the user says so.
  bool SaveOnce(const std::string& path, std::string& noBackup);
  bool MayOverwrite(const std::string& path);
  // File > Reload: the file as the disk holds it now, asking first when the data has changed.
  void Reload();
  void ReloadFromDisk();
  // The file the window's data was read from or saved to, as the disk held it then; watched.
  void NoteFileOnDisk(const std::string& path, std::optional<platform::FileStamp> stamp);
  void ForgetFileOnDisk();
  // Asks what to find unless it searches again for the last pattern.
  void Find(bool again, bool forward = true);
  bool AskForPattern();
  // For a search only in the selection, notes the selection; refused without one.
  bool KeepSearchedSelection(const FindRequest& request);
  void FindNextHit(bool forward);
  // The last search's pattern as the data holds it (translation, letter case).
  struct SearchPattern {
    std::string Bytes;
    bool IgnoreCase = false;
  };
  SearchPattern LastSearchPattern();
  // Every match within the searched bytes, or nothing when the user stopped the search.
  const std::vector<int>* Matches(const SearchPattern& search);
  // The bytes the last search covers: the whole data, or the selection it was asked in.
  std::pair<int, int> SearchedRange() const;
  // Shows the matches of the last search in the view and their count in the find bar.
  void ShowMatches(const std::vector<int>& hits, int length);
  void ForgetMatches();
  // After a change of the data the highlights are found again, where that is quick.
  void RefreshMatches();
  // Draws a byte that a highlighted match covers; other cells are left to the view.
  void DrawMatchCell(hex::IHexCanvas& canvas, int col, int row, const std::u16string& text,
                     const hex::PaintRect& box, bool& defaultDraw);
  void ShowRecords();
  // Tints the bytes of the records while the records panel shows, one record in one colour,
  // the next in another.
  void DrawRecordCell(hex::IHexCanvas& canvas, int col, int row, const std::u16string& text,
                      const hex::PaintRect& box, bool& defaultDraw);
  // The selection to the desktop clipboard as text in one of these forms.
  enum class CopyForm { HexText, CArray, Base64, Text };
  void CopyAs(CopyForm form);
  // Sums the selection and shows the sum; a long selection shows its progress and can be stopped.
  void ShowChecksum(ChecksumKind kind);
  // Help > Keys: every key of the view and of the menus, and what the mouse does.
  void ShowKeys();
  // Asks what to replace with what, and replaces the next match or all of them.
  void Replace();
  // Replace All as one step undo takes back; the matches do not overlap.
  void ReplaceEachInPlace(const std::vector<int>& hits, const std::string& replacement,
                          int patternSize);
  void ReplaceSpanOnce(const std::vector<int>& hits, const std::string& replacement,
                       int patternSize);
  // Asks for an offset (starting with the last one typed) and puts the caret there.
  void GoToOffset();
  bool ConfirmDiscard();
  void RefreshTitleAndStatus();
  void RefreshMenus();
  void RefreshBytesPerRow();
  void RememberRecent(const std::string& path);
  // The first local file a drag carries, or nothing.
  static std::optional<std::string> DroppedFile(const QMimeData* data);
  // Notes where the caret stands in the file shown, for when it is opened again.
  void RememberPosition();
  void RebuildRecentMenu();
  // Runs an editor action, showing an error it raises.
  void Guarded(const std::function<void()>& action);
  void ShowProgress(hex::THexProgressKind kind, const std::string& name, int percent, bool& cancel);
  bool WorthShowingProgress(hex::THexProgressKind kind, const std::string& name) const;

  std::unique_ptr<IHexDialogs> ownDialogs_;
  IHexDialogs& dialogs_;
  view::QtBusyIndicator busy_;
  hex::THexEditorEx editor_;
  view::HexView* view_;
  ByteValuesDock* byteValues_ = nullptr;
  RecordsDock* records_ = nullptr;
  bool recordsShown_ = false;
  static constexpr int kRecordsHeight = 200;
  QLabel* position_;
  QLabel* selection_;
  QLabel* mode_;
  QMenu* recentMenu_ = nullptr;
  QAction* reload_ = nullptr;
  QAction* undo_ = nullptr;
  QAction* redo_ = nullptr;
  QAction* insertMode_ = nullptr;
  QAction* unicode_ = nullptr;
  QAction* ruler_ = nullptr;
  QAction* lowerCase_ = nullptr;
  std::vector<QAction*> translations_;
  QActionGroup* bytesPerRow_ = nullptr;
  // Shows a row length that none of the fixed choices has (the wheel sets any).
  QAction* otherBytesPerRow_ = nullptr;
  FindRequest lastFind_;
  std::string lastPattern_;  // the bytes of lastFind_
  // The selection a search "in the selection" was asked in, searched again by F3.
  std::pair<int, int> searchedSelection_{0, -1};
  // Every match of the last search, for counting and searching backwards.
  struct KnownMatches {
    std::uint64_t Version = ~std::uint64_t{0};
    std::string Pattern;
    bool IgnoreCase = false;
    std::pair<int, int> Range{0, -1};
    std::vector<int> Hits;
  } matches_;
  FindBar* findBar_ = nullptr;
  MatchRanges highlighted_;
  bool matchesRefreshPending_ = false;
  // Counts the changes of the data, so known matches are found again after one.
  std::uint64_t dataVersion_ = 0;
  QLabel* findNotice_;
  ReplaceRequest lastReplace_;
  std::string lastOffset_;  // as the user last typed it into "Go to Offset"
  bool refreshPending_ = false;
  // Guarded actions under way: no question about the file on disk comes inside them.
  int guardedDepth_ = 0;
  // The file shown, as the disk held it when the window read or saved it.
  std::string diskFile_;
  std::optional<platform::FileStamp> diskStamp_;
  // The change the user was last told of, so it is told once; a default stamp for a removal.
  std::optional<platform::FileStamp> noticed_;
  bool askingAboutDisk_ = false;
  platform::FileWatch watch_;
  QSocketNotifier* watchNotifier_ = nullptr;
  QTimer* diskCheck_ = nullptr;
};

}  // namespace kestrave::app
