#include "app/hex/HexWindow.h"

#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QSocketNotifier>
#include <QStatusBar>
#include <QTimer>
#include <algorithm>
#include <cerrno>
#include <limits>
#include <set>
#include <span>

#include "app/hex/ByteValuesDock.h"
#include "app/hex/Checksum.h"
#include "app/hex/CopyAs.h"
#include "app/hex/EditorTexts.h"
#include "app/hex/FindBar.h"
#include "app/hex/HexPrint.h"
#include "app/hex/KeyHelpTexts.h"
#include "app/hex/OffsetInput.h"
#include "app/hex/OldRecentFiles.h"
#include "app/hex/QtHexDialogs.h"
#include "app/hex/RecentFiles.h"
#include "app/hex/RecordsDock.h"
#include "app/hex/ViewSettingsStore.h"
#include "hexeditor/HexEditorError.h"
#include "hexeditor/input/KeyHandlers.h"
#include "hexeditor/text/Conversions.h"
#include "hexeditor/view/HexCanvas.h"
#include "platform/CodePages.h"
#include "platform/FileSystem.h"
#include "platform/Guard.h"
#include "platform/SystemError.h"
#include "platform/UserInterface.h"
#include "view/HexView.h"
#include "view/LocalFiles.h"
#include "view/QtPlatform.h"
#include "view/QtResponsiveness.h"
#include "view/StatusLog.h"

namespace kestrave::app {

namespace {

constexpr int kBytesPerRowChoices[] = {8, 16, 24, 32, 48, 64};

QString Title() {
  return QStringLiteral("kestrave-hex");
}

// While other work or a dialog keeps the window from asking about its file, it looks again
// this often.
constexpr int kDiskCheckRetryMs = 250;

// A file's name as the desktop shows it: bytes that are no UTF-8 text as U+FFFD.
QString Shown(const std::string& path) {
  return QString::fromStdString(path);
}

QString ShownFileName(const std::string& path) {
  return DocumentName(path);
}

// Each problem once a run: the first window to meet it says so.
void ReportRecentFilesProblem(const std::string& path, int error) {
  static std::set<std::pair<std::string, int>> reported;
  if (!reported.emplace(path, error).second) return;
  platform::CurrentErrorDisplay().ShowError(
      HexWindow::tr("The list of recent files in %1 cannot be read (%2).")
          .arg(Shown(path), QString::fromStdString(platform::SystemErrorText(error)))
          .toStdString());
}

// Read each time, so windows of other runs see each other's files.
RecentFileList LoadRecentFiles() {
  RecentFilesRead read = ReadRecentFiles();
  if (read.Missing) {
    // Taken over once from where earlier versions kept it.
    if (std::optional<RecentFileList> old = ReadOldRecentFiles()) {
      WriteRecentFiles(*old);
      return *old;
    }
  }
  if (read.Error) ReportRecentFilesProblem(RecentFilesPath(), *read.Error);
  return std::move(read.Files);
}

// The bytes to look for: text in the Windows code page as typed, or hex digits two a byte.
std::string PatternOf(const FindRequest& request) {
  if (!request.HexDigits)
    return platform::Utf16ToCodePage(platform::AnsiCodePage(),
                                     QString::fromStdString(request.Text).toStdU16String());
  const std::vector<std::uint8_t> bytes = hex::HexTextToBytes(request.Text, false);
  return std::string(bytes.begin(), bytes.end());
}

}  // namespace

HexWindow::HexWindow() : HexWindow(static_cast<IHexDialogs*>(nullptr)) {}

HexWindow::HexWindow(IHexDialogs& dialogs) : HexWindow(&dialogs) {}

HexWindow::HexWindow(IHexDialogs* dialogs)
    : ownDialogs_(dialogs ? nullptr : std::make_unique<QtHexDialogs>(this)),
      dialogs_(dialogs ? *dialogs : *ownDialogs_),
      view_(new view::HexView(editor_, this)) {
  diskCheck_ = new QTimer(this);
  diskCheck_->setSingleShot(true);
  connect(diskCheck_, &QTimer::timeout, this, [this] { CheckFileOnDisk(); });
  if (watch_.Fd() >= 0) {
    watchNotifier_ = new QSocketNotifier(watch_.Fd(), QSocketNotifier::Read, this);
    connect(watchNotifier_, &QSocketNotifier::activated, this, [this] {
      if (watch_.Drain()) diskCheck_->start(0);
    });
  }
  editor_.Loaded();
  editor_.SetBusyIndicator(&busy_);
  setCentralWidget(view_);
  view_->installEventFilter(this);
  position_ = new QLabel(this);
  selection_ = new QLabel(this);
  mode_ = new QLabel(this);
  findNotice_ = new QLabel(this);
  statusBar()->addWidget(position_, 1);
  statusBar()->addWidget(selection_, 1);
  statusBar()->addPermanentWidget(findNotice_);
  statusBar()->addPermanentWidget(mode_);
  editor_.OnSelectionChanged = [this](hex::TCustomHexEditor&) { RefreshTitleAndStatus(); };
  editor_.OnChange = [this](hex::TCustomHexEditor&) {
    ++dataVersion_;
    if (records_) records_->DataChanged();
    RefreshMenus();
    // Once after a run of changes (Replace All makes thousands).
    if (!findBar_->isHidden() && !matchesRefreshPending_) {
      matchesRefreshPending_ = true;
      QMetaObject::invokeMethod(
          this, [this] { RefreshMatches(); }, Qt::QueuedConnection);
    }
  };
  editor_.OnDrawCell = [this](hex::TCustomHexEditor&, hex::IHexCanvas& canvas, int col, int row,
                              std::u16string& text, hex::PaintRect box, bool& defaultDraw) {
    DrawMatchCell(canvas, col, row, text, box, defaultDraw);
    if (defaultDraw) DrawRecordCell(canvas, col, row, text, box, defaultDraw);
  };
  editor_.OnProgress = [this](hex::TCustomHexEditor&, hex::THexProgressKind kind,
                              const std::string& name, std::uint8_t percent,
                              bool& cancel) { ShowProgress(kind, name, percent, cancel); };
  findBar_ = new FindBar(this);
  findBar_->OnNext = [this] { Find(true); };
  findBar_->OnPrevious = [this] { Find(true, false); };
  findBar_->OnClose = [this] { ForgetMatches(); };
  addToolBar(Qt::BottomToolBarArea, findBar_);
  findBar_->hide();
  byteValues_ = new ByteValuesDock(
      editor_, dialogs_, [this](const std::function<void()>& step) { Guarded(step); }, this);
  addDockWidget(Qt::RightDockWidgetArea, byteValues_);
  // Shown on request (View > Byte Values, Ctrl+I): a row of 16 bytes keeps its room.
  byteValues_->hide();
  records_ = new RecordsDock(
      editor_, dialogs_, [this](const std::function<void()>& step) { Guarded(step); }, this);
  records_->OnRecordsChanged = [this] { view_->InvalidateAll(); };
  addDockWidget(Qt::BottomDockWidgetArea, records_);
  // Shown by itself when a file with records opens (View > Records, Ctrl+R).
  records_->hide();
  connect(records_, &QDockWidget::visibilityChanged, this, [this] { view_->InvalidateAll(); });
  BuildMenus();
  Guarded([this] { editor_.SetOleDragDrop(true); });
  if (const std::optional<std::string> damaged = LoadViewSettings(editor_))
    platform::CurrentErrorDisplay().ShowError(TranslatedSettingsMessage(*damaged).toStdString());
  view_->FontChanged();
  resize(900, 600);
  RefreshTitleAndStatus();
  setAcceptDrops(true);
  view_->setFocus();
}

HexWindow::~HexWindow() {
  // The panel hides with the window after the view has gone: it no longer tells the window.
  QObject::disconnect(records_, &QDockWidget::visibilityChanged, nullptr, nullptr);
  records_->OnRecordsChanged = nullptr;
  // The view talks to the editor until it is gone, and Qt would delete it after the editor.
  delete view_;
  delete watchNotifier_;  // before the watch's descriptor closes
  editor_.OnSelectionChanged = nullptr;
  editor_.OnChange = nullptr;
  editor_.OnDrawCell = nullptr;
  editor_.OnProgress = nullptr;
  editor_.SetBusyIndicator(nullptr);
}

void HexWindow::OpenNewWindow() {
  auto* window = new HexWindow;
  window->setAttribute(Qt::WA_DeleteOnClose);
  window->show();
}

void HexWindow::Guarded(const std::function<void()>& action) {
  ++guardedDepth_;
  platform::RunGuarded(action, [this](const std::string& message) {
    dialogs_.EndProgress();
    dialogs_.ShowError(message);
  });
  --guardedDepth_;
  RefreshTitleAndStatus();
}

bool HexWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == view_ && event->type() == QEvent::KeyPress && !refreshPending_) {
    refreshPending_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
          refreshPending_ = false;
          RefreshTitleAndStatus();
        },
        Qt::QueuedConnection);
  }
  return QMainWindow::eventFilter(watched, event);
}

// --- Menus ------------------------------------------------------------------------------------

// Every shortcut is the window's: it works wherever the focus is. Keys the editor acts on
// itself (Ctrl+C, Ctrl+Z, Ctrl+digit...) the view keeps while it has the focus, so they act once.
void HexWindow::BuildMenus() {
  BuildFileMenu(menuBar()->addMenu(tr("&File")));
  BuildEditMenu(menuBar()->addMenu(tr("&Edit")));
  BuildViewMenu(menuBar()->addMenu(tr("&View")));
  BuildBookmarkMenu(menuBar()->addMenu(tr("&Bookmarks")));
  QMenu* help = menuBar()->addMenu(tr("&Help"));
  help->addAction(tr("&Keys"), this, [this] { ShowKeys(); });
  auto* offsetMenu = new QMenu(this);
  for (const char* format : {"-!10:0x|", "-!A:|", "8!10:|", "r%-!A:Row |"})
    offsetMenu->addAction(QString::fromLatin1(format), this,
                          [this, format] { Guarded([&] { editor_.SetOffsetFormat(format); }); });
  view_->SetOffsetPopupMenu(offsetMenu);
}

void HexWindow::BuildFileMenu(QMenu* file) {
  file->addAction(tr("&New Window"), QKeySequence(Qt::CTRL | Qt::Key_N), this,
                  [] { OpenNewWindow(); });
  file->addAction(tr("&Open..."), QKeySequence(Qt::CTRL | Qt::Key_O), this, [this] { Open(); });
  recentMenu_ = file->addMenu(tr("Open &Recent"));
  recentMenu_->setObjectName(QStringLiteral("recentMenu"));
  RebuildRecentMenu();
  reload_ = file->addAction(tr("Re&load"), this, [this] { Reload(); });
  file->addAction(tr("&Save"), QKeySequence(Qt::CTRL | Qt::Key_S), this, [this] { Save(); });
  file->addAction(tr("Save &As..."), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S), this,
                  [this] { SaveAs(); });
  file->addSeparator();
  AddPrintActions(*file, this, [this] { return &editor_; });
  file->addSeparator();
  file->addAction(tr("&Quit"), QKeySequence(Qt::CTRL | Qt::Key_Q), this, [this] { close(); });
}

void HexWindow::BuildEditMenu(QMenu* edit) {
  undo_ = edit->addAction(tr("&Undo"), QKeySequence(Qt::CTRL | Qt::Key_Z), this,
                          [this] { Guarded([this] { editor_.Undo(); }); });
  redo_ = edit->addAction(tr("&Redo"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), this,
                          [this] { Guarded([this] { editor_.Redo(); }); });
  edit->addSeparator();
  edit->addAction(tr("Cu&t"), QKeySequence(Qt::CTRL | Qt::Key_X), this,
                  [this] { Guarded([this] { editor_.CutToClipboard(); }); });
  edit->addAction(tr("&Copy"), QKeySequence(Qt::CTRL | Qt::Key_C), this,
                  [this] { Guarded([this] { editor_.CopyToClipboard(); }); });
  edit->addAction(tr("&Paste"), QKeySequence(Qt::CTRL | Qt::Key_V), this,
                  [this] { Guarded([this] { editor_.PasteFromClipboard(); }); });
  edit->addAction(tr("Select &All"), QKeySequence(Qt::CTRL | Qt::Key_A), this,
                  [this] { editor_.SelectAll(); });
  QMenu* copyAs = edit->addMenu(tr("Copy A&s"));
  copyAs->addAction(tr("&Hex Text"), this, [this] { CopyAs(CopyForm::HexText); });
  copyAs->addAction(tr("&C Array"), this, [this] { CopyAs(CopyForm::CArray); });
  copyAs->addAction(tr("&Base64"), this, [this] { CopyAs(CopyForm::Base64); });
  copyAs->addAction(tr("&Text"), this, [this] { CopyAs(CopyForm::Text); });
  QMenu* checksums = edit->addMenu(tr("Chec&ksum of Selection"));
  for (const ChecksumKind kind :
       {ChecksumKind::Crc32, ChecksumKind::Md5, ChecksumKind::Sha1, ChecksumKind::Sha256})
    checksums->addAction(QString::fromLatin1(ChecksumName(kind)), this,
                         [this, kind] { ShowChecksum(kind); });
  edit->addSeparator();
  edit->addAction(tr("&Find..."), QKeySequence(Qt::CTRL | Qt::Key_F), this,
                  [this] { Find(false); });
  edit->addAction(tr("Find &Next"), QKeySequence(Qt::Key_F3), this, [this] { Find(true); });
  edit->addAction(tr("Find Pre&vious"), QKeySequence(Qt::SHIFT | Qt::Key_F3), this,
                  [this] { Find(true, false); });
  edit->addAction(tr("R&eplace..."), QKeySequence(Qt::CTRL | Qt::Key_H), this,
                  [this] { Replace(); });
  edit->addAction(tr("&Go to Offset..."), QKeySequence(Qt::CTRL | Qt::Key_G), this,
                  [this] { GoToOffset(); });
  edit->addSeparator();
  insertMode_ = edit->addAction(tr("&Insert Mode"), QKeySequence(Qt::Key_Insert), this, [this] {
    editor_.SetInsertMode(insertMode_->isChecked());
    RefreshTitleAndStatus();
  });
  insertMode_->setCheckable(true);
}

void HexWindow::BuildViewMenu(QMenu* viewMenu) {
  QAction* panel = byteValues_->toggleViewAction();
  panel->setText(tr("Byte &Values"));
  panel->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_I));
  viewMenu->addAction(panel);
  // Ctrl+R shows the records panel and gives its table the keys, where the arrows pick rows;
  // pressed in the panel, it hides it. The panel may have shown by itself, without the keys.
  QAction* records = viewMenu->addAction(tr("Re&cords"), QKeySequence(Qt::CTRL | Qt::Key_R));
  records->setCheckable(true);
  connect(records_, &QDockWidget::visibilityChanged, records,
          [this, records] { records->setChecked(!records_->isHidden()); });
  connect(records, &QAction::triggered, this, [this, records] {
    const bool inPanel = records_->isAncestorOf(QApplication::focusWidget());
    if (records_->isHidden() || !inPanel) {
      ShowRecords();
      records_->setFocus();
    } else {
      records_->hide();
      view_->setFocus();
    }
    records->setChecked(!records_->isHidden());
  });
  viewMenu->addSeparator();
  QMenu* translation = viewMenu->addMenu(tr("&Translation"));
  auto* translations = new QActionGroup(this);
  for (std::size_t kind = 0; kind < hex::kTranslationKindCount; ++kind) {
    QAction* action =
        translation->addAction(TranslatedCharacterSetName(hex::kTranslationNames[kind]));
    action->setCheckable(true);
    translations->addAction(action);
    translations_.push_back(action);
    connect(action, &QAction::triggered, this, [this, kind] {
      Guarded([&] { editor_.SetTranslation(static_cast<hex::THexTranslationKind>(kind)); });
    });
  }
  BuildBytesPerRowMenu(viewMenu->addMenu(tr("&Bytes per Row")));
  unicode_ = viewMenu->addAction(tr("&Unicode Characters"), this, [this] {
    Guarded([this] { editor_.SetUnicodeChars(unicode_->isChecked()); });
  });
  unicode_->setCheckable(true);
  ruler_ = viewMenu->addAction(tr("&Ruler"), this,
                               [this] { editor_.SetShowRuler(ruler_->isChecked()); });
  ruler_->setCheckable(true);
  lowerCase_ = viewMenu->addAction(tr("&Lower-case Hex"), this,
                                   [this] { editor_.SetHexLowerCase(!editor_.HexLowerCase()); });
  lowerCase_->setCheckable(true);
  // The wheel changes the row length and settings files change anything: shown as they are.
  connect(viewMenu, &QMenu::aboutToShow, this, [this] { RefreshMenus(); });
}

void HexWindow::BuildBytesPerRowMenu(QMenu* rows) {
  rows->setObjectName(QStringLiteral("bytesPerRowMenu"));
  bytesPerRow_ = new QActionGroup(this);
  for (const int bytes : kBytesPerRowChoices) {
    QAction* action = rows->addAction(QString::number(bytes), this, [this, bytes] {
      Guarded([&] { editor_.SetBytesPerRow(bytes); });
    });
    action->setCheckable(true);
    action->setData(bytes);
    bytesPerRow_->addAction(action);
  }
  otherBytesPerRow_ = rows->addAction(QString());
  otherBytesPerRow_->setCheckable(true);
  otherBytesPerRow_->setEnabled(false);
  bytesPerRow_->addAction(otherBytesPerRow_);
}

void HexWindow::BuildBookmarkMenu(QMenu* menu) {
  for (int k = 0; k < 10; ++k) {
    menu->addAction(tr("Go to Bookmark %1").arg(k),
                    QKeySequence(Qt::CTRL | static_cast<Qt::Key>(Qt::Key_0 + k)), this,
                    [this, k] { editor_.GotoBookmark(k); });
  }
  menu->addSeparator();
  menu->addAction(tr("Set or clear with Ctrl+Shift+digit"))->setEnabled(false);
}

// --- Files ------------------------------------------------------------------------------------

bool HexWindow::ConfirmDiscard() {
  if (!editor_.Modified()) return true;
  switch (dialogs_.AskSaveChanges()) {
    case SaveChangesAnswer::Save:
      return Save();
    case SaveChangesAnswer::Discard:
      return true;
    case SaveChangesAnswer::Cancel:
      return false;
  }
  return false;
}

void HexWindow::Open() {
  if (!ConfirmDiscard()) return;
  if (const std::optional<std::string> path = dialogs_.ChooseFileToOpen()) OpenFile(*path);
}

bool HexWindow::OpenFile(const std::string& path) {
  RememberPosition();
  const std::optional<platform::FileStamp> before = platform::StampOf(path);
  const int sizeBefore = editor_.DataSize();
  bool opened = false;
  Guarded([&] {
    editor_.LoadFromFile(path);
    opened = true;
  });
  dialogs_.EndProgress();
  if (!opened) {
    // A load that failed part-way (cancelled, a read error) has emptied the data: the window no
    // longer shows the file it showed, and a save must not write the emptiness over that file.
    if (sizeBefore > 0 && editor_.DataSize() == 0) {
      editor_.CreateEmptyFile("");
      records_->Rescan();
      ForgetFileOnDisk();
      RefreshTitleAndStatus();
    }
    return false;
  }
  // As the disk held the file before the load: a change made while it was read is noticed.
  NoteFileOnDisk(path, before ? before : platform::StampOf(path));
  findBar_->hide();  // its matches were another file's
  records_->Rescan();
  if (records_->Records().Count() > 0) ShowRecords();
  RememberRecent(path);
  // A recent file opens where it was left, if that place is still in it.
  const std::int64_t position = PositionOf(LoadRecentFiles(), path);
  if (position > 0 && position < editor_.DataSize())
    Guarded([&] { editor_.SetSelectionStart(static_cast<int>(position)); });
  return true;
}

void HexWindow::RememberPosition() {
  if (editor_.DataSize() == 0 || diskFile_.empty() || !platform::FileExists(diskFile_)) return;
  RecentFileList recent = LoadRecentFiles();
  const RecentFileList before = recent;
  SetPosition(recent, diskFile_, editor_.CursorPosition());
  if (recent != before) WriteRecentFiles(recent);
}

bool HexWindow::Save() {
  if (editor_.IsFileReadOnly()) return SaveAs();
  return SaveTo(editor_.FileName());
}

bool HexWindow::SaveAs() {
  const std::optional<std::string> path = dialogs_.ChooseFileToSave(editor_.FileName());
  return path && !path->empty() && SaveTo(*path);
}

// Saving over the file's own name keeps the previous content as name.bak (CreateBackup). Where no
// backup can be made (a folder that takes no new file), the user may save without one.
bool HexWindow::SaveTo(const std::string& path) {
  if (!MayOverwrite(path)) return false;
  std::string noBackup;
  bool saved = SaveOnce(path, noBackup);
  if (!noBackup.empty() &&
      dialogs_.Confirm(
          {tr("%1\nSave without a backup?").arg(QString::fromStdString(noBackup)).toStdString(),
           tr("Save &Without Backup").toStdString(), tr("&Cancel").toStdString()})) {
    const bool backups = editor_.CreateBackup();
    editor_.SetCreateBackup(false);
    saved = SaveOnce(path, noBackup);
    editor_.SetCreateBackup(backups);
  }
  if (!saved) return false;
  NoteFileOnDisk(path, platform::StampOf(path));
  RememberRecent(path);
  RefreshMenus();
  return true;
}

// One try; a backup that could not be made is told in NoBackup rather than shown.
bool HexWindow::SaveOnce(const std::string& path, std::string& noBackup) {
  bool saved = false;
  Guarded([&] {
    try {
      editor_.SaveToFile(path, true);
      saved = true;
    } catch (const hex::EHexBackupError& e) {
      noBackup = e.Message();
    }
  });
  dialogs_.EndProgress();
  return saved;
}

bool HexWindow::MayOverwrite(const std::string& path) {
  if (diskFile_.empty() || !diskStamp_ || NormalPath(path) != NormalPath(diskFile_)) return true;
  const std::optional<platform::FileStamp> now = platform::StampOf(path);
  // A removed file is written again, as the user was told.
  if (!now || *now == *diskStamp_) return true;
  return dialogs_.Confirm(
      {tr("The file %1 has been changed by another program since this window read or saved it. "
          "Saving overwrites that change.\nOverwrite it?")
           .arg(Shown(path))
           .toStdString(),
       tr("&Overwrite").toStdString(), tr("&Cancel").toStdString()});
}

// --- Changes on disk --------------------------------------------------------------------------

void HexWindow::NoteFileOnDisk(const std::string& path, std::optional<platform::FileStamp> stamp) {
  if (path != diskFile_)
    watch_.Watch(path);
  else
    watch_.Drain();  // the window's own reading and writing
  diskFile_ = path;
  diskStamp_ = stamp;
  noticed_.reset();
}

void HexWindow::ForgetFileOnDisk() {
  watch_.Watch({});
  diskFile_.clear();
  diskStamp_.reset();
  noticed_.reset();
  RefreshMenus();
}

void HexWindow::changeEvent(QEvent* event) {
  if (event->type() == QEvent::ActivationChange && isActiveWindow() && !diskFile_.empty())
    diskCheck_->start(0);
  QMainWindow::changeEvent(event);
}

void HexWindow::CheckFileOnDisk() {
  if (diskFile_.empty() || !diskStamp_ || isHidden()) return;
  // Not inside other work or a dialog (its own question included): a reload there would take
  // the data from under them.
  if (askingAboutDisk_ || guardedDepth_ > 0 || view::WorkRuns() ||
      QApplication::activeModalWidget()) {
    diskCheck_->start(kDiskCheckRetryMs);
    return;
  }
  errno = 0;
  const std::optional<platform::FileStamp> now = platform::StampOf(diskFile_);
  if (!now && errno != ENOENT && errno != ENOTDIR) return;  // cannot be told (no permission)
  if (now == diskStamp_) {
    noticed_.reset();  // changed back: a new change is told again
    return;
  }
  const platform::FileStamp seen = now.value_or(platform::FileStamp{});
  if (noticed_ == seen) return;
  noticed_ = seen;
  askingAboutDisk_ = true;
  const QString name = Shown(diskFile_);
  if (!now) {
    dialogs_.ShowMessage(tr("The file %1 has been removed by another program. The window keeps "
                            "its data; saving writes the file again.")
                             .arg(name)
                             .toStdString());
  } else {
    QString text = tr("The file %1 has been changed by another program.").arg(name);
    if (editor_.Modified())
      text += QLatin1Char('\n') + tr("Reloading it discards the changes made in this window.");
    if (dialogs_.Confirm({text.toStdString(), tr("&Reload").toStdString(),
                          tr("&Keep This Version").toStdString()}))
      ReloadFromDisk();
  }
  askingAboutDisk_ = false;
}

void HexWindow::Reload() {
  if (diskFile_.empty()) return;
  if (editor_.Modified() &&
      !dialogs_.Confirm({tr("Discard the changes made in this window and reload %1 from the disk?")
                             .arg(Shown(diskFile_))
                             .toStdString(),
                         tr("&Reload").toStdString(), tr("&Cancel").toStdString()}))
    return;
  ReloadFromDisk();
}

// The caret stays where it was, as far as the new content reaches.
void HexWindow::ReloadFromDisk() {
  const std::string path = diskFile_;
  const int caret = editor_.CursorPosition();
  if (!OpenFile(path)) return;
  if (caret > 0 && caret < editor_.DataSize()) Guarded([&] { editor_.SetSelectionStart(caret); });
}

bool HexWindow::WorthShowingProgress(hex::THexProgressKind kind, const std::string& name) const {
  if (kind == hex::pkFind || editor_.DataSize() >= kProgressFrom) return true;
  return platform::FileSizeOf(name).value_or(0) >= kProgressFrom;
}

void HexWindow::ShowProgress(hex::THexProgressKind kind, const std::string& name, int percent,
                             bool& cancel) {
  if (!WorthShowingProgress(kind, name)) return;
  const QString what = kind == hex::pkLoad   ? tr("Loading %1")
                       : kind == hex::pkSave ? tr("Saving %1")
                                             : tr("Searching %1");
  cancel = dialogs_.ShowProgress(what.arg(ShownFileName(name)).toStdString(), percent);
  if (percent >= 100) dialogs_.EndProgress();
}

std::vector<std::string> HexWindow::RecentFiles() {
  std::vector<std::string> paths;
  for (const RecentFile& file : LoadRecentFiles())
    paths.push_back(file.Path);
  return paths;
}

void HexWindow::RememberRecent(const std::string& path) {
  RecentFileList recent = LoadRecentFiles();
  PutFirst(recent, path);
  WriteRecentFiles(recent);
  RebuildRecentMenu();
}

void HexWindow::RebuildRecentMenu() {
  recentMenu_->clear();
  const std::vector<std::string> recent = RecentFiles();
  for (const std::string& path : recent)  // "&&" shows an ampersand, "&" would mark a mnemonic
    recentMenu_->addAction(Shown(path).replace(QLatin1Char('&'), QStringLiteral("&&")), this,
                           [this, path] {
                             if (ConfirmDiscard()) OpenFile(path);
                           });
  recentMenu_->setEnabled(!recent.empty());
}

// A file dropped on the window around the data (title, menus, status bar, panel) opens;
// dropped on the data itself, the view inserts its bytes as it does with any dropped data.
void HexWindow::dragEnterEvent(QDragEnterEvent* event) {
  if (DroppedFile(event->mimeData())) event->acceptProposedAction();
}

void HexWindow::dropEvent(QDropEvent* event) {
  const std::optional<std::string> file = DroppedFile(event->mimeData());
  if (!file) return;
  event->acceptProposedAction();
  if (ConfirmDiscard()) OpenFile(*file);
}

std::optional<std::string> HexWindow::DroppedFile(const QMimeData* data) {
  if (!data) return std::nullopt;
  for (std::string& file : view::LocalFilesOf(*data))
    if (platform::FileExists(file)) return std::move(file);
  return std::nullopt;
}

void HexWindow::closeEvent(QCloseEvent* event) {
  if (ConfirmDiscard()) {
    RememberPosition();
    SaveViewSettings(editor_);  // the last window closed leaves its settings for the next run
    event->accept();
  } else {
    event->ignore();
  }
}

// --- Search -----------------------------------------------------------------------------------

void HexWindow::Find(bool again, bool forward) {
  if ((!again || lastPattern_.empty()) && !AskForPattern()) return;
  FindNextHit(forward);
}

bool HexWindow::AskForPattern() {
  const std::optional<FindRequest> request = dialogs_.AskWhatToFind(lastFind_);
  if (!request) return false;
  const std::string pattern = PatternOf(*request);
  if (pattern.empty()) {
    dialogs_.ShowMessage(request->HexDigits ? tr("No hex digits to find.").toStdString()
                                            : tr("No text to find.").toStdString());
    return false;
  }
  if (!KeepSearchedSelection(*request)) return false;
  lastFind_ = *request;
  lastPattern_ = pattern;
  return true;
}

// Kept as asked: the hits then become the selection, and F3 searches the same bytes again.
bool HexWindow::KeepSearchedSelection(const FindRequest& request) {
  if (!request.InSelection) return true;
  if (editor_.SelectionCount() == 0) {
    dialogs_.ShowMessage(tr("Select the bytes to search in first.").toStdString());
    return false;
  }
  searchedSelection_ = {editor_.SelectionLow(), editor_.SelectionHigh()};
  return true;
}

std::pair<int, int> HexWindow::SearchedRange() const {
  const int last = editor_.DataSize() - 1;
  if (!lastFind_.InSelection) return {0, last};
  return {std::min(searchedSelection_.first, last + 1), std::min(searchedSelection_.second, last)};
}

// Every match of the pattern, found in one pass and kept until the data, the pattern or the
// searched bytes change. A long search shows its progress and can be stopped.
HexWindow::SearchPattern HexWindow::LastSearchPattern() {
  const bool isText = !lastFind_.HexDigits;
  const bool ignoreCase = lastFind_.IgnoreCase && isText;
  return {editor_.BuildFindPattern(lastPattern_, ignoreCase, isText), ignoreCase};
}

const std::vector<int>* HexWindow::Matches(const SearchPattern& search) {
  const std::string& pattern = search.Bytes;
  const bool ignoreCase = search.IgnoreCase;
  const std::pair<int, int> range = SearchedRange();
  if (matches_.Version == dataVersion_ && matches_.Pattern == pattern &&
      matches_.IgnoreCase == ignoreCase && matches_.Range == range)
    return &matches_.Hits;
  editor_.SetFindProgress(false);
  const bool showProgress = range.second - range.first + 1 >= kProgressFrom;
  const std::string what = tr("Searching %1").arg(ShownFileName(editor_.FileName())).toStdString();
  std::vector<int> hits;
  auto found = editor_.FindAllBytesIn(
      {pattern}, ignoreCase, range.first, range.second,
      [&](int percent) { return !showProgress || !dialogs_.ShowProgress(what, percent); });
  if (showProgress) dialogs_.EndProgress();
  if (found && found->Stopped) return nullptr;
  if (found) {
    hits = std::move(found->Hits[0]);
  } else {
    // An application's OnFind answers one search at a time.
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(pattern.data());
    const auto length = static_cast<int>(pattern.size());
    for (int at = range.first; at <= range.second;) {
      const int hit = editor_.FindBytes(bytes, length, at, range.second, ignoreCase);
      if (hit < 0) break;
      hits.push_back(hit);
      at = hit + 1;
    }
  }
  matches_ = {dataVersion_, pattern, ignoreCase, range, std::move(hits)};
  return &matches_.Hits;
}

// Forwards from the byte after the start of the selection, so a search again finds the next
// match; backwards from the byte before it. Past the last match the search wraps around and
// says so.
void HexWindow::FindNextHit(bool forward) {
  Guarded([this, forward] {
    const SearchPattern search = LastSearchPattern();
    const std::string& pattern = search.Bytes;
    const std::vector<int>* found = Matches(search);
    if (!found) {
      findNotice_->setText(tr("Search stopped"));
      return;
    }
    const std::vector<int>& hits = *found;
    ShowMatches(hits, static_cast<int>(pattern.size()));
    if (hits.empty()) {
      findNotice_->clear();
      dialogs_.ShowMessage(lastFind_.InSelection ? tr("Not found in the selection.").toStdString()
                                                 : tr("Not found.").toStdString());
      return;
    }
    const bool selected = editor_.SelectionCount() > 0;
    const int from = selected ? editor_.SelectionLow() : editor_.CursorPosition();
    bool wrapped = false;
    std::size_t index = 0;
    if (forward) {
      const auto next = std::lower_bound(hits.begin(), hits.end(), selected ? from + 1 : from);
      wrapped = next == hits.end();
      index = wrapped ? 0 : static_cast<std::size_t>(next - hits.begin());
    } else {
      const auto next = std::lower_bound(hits.begin(), hits.end(), from);
      wrapped = next == hits.begin();
      index = wrapped ? hits.size() - 1 : static_cast<std::size_t>(next - hits.begin()) - 1;
    }
    const int hit = hits[index];
    editor_.SetSelectionStart(hit + static_cast<int>(pattern.size()) - 1);
    editor_.SetSelectionEnd(hit);
    QString notice = tr("Match %1 of %2").arg(index + 1).arg(hits.size());
    if (wrapped)
      notice = forward ? tr("%1, continued from the start").arg(notice)
                       : tr("%1, continued from the end").arg(notice);
    findNotice_->setText(notice);
  });
}

void HexWindow::ShowMatches(const std::vector<int>& hits, int length) {
  highlighted_ = MatchRanges(hits, length);
  const auto count = static_cast<int>(hits.size());
  const QString pattern =
      lastFind_.HexDigits
          ? QString::fromStdString(lastFind_.Text).toUpper()
          : QStringLiteral("\u201C%1\u201D").arg(QString::fromStdString(lastFind_.Text));
  // English says "1 match" and "%n matches"; a translation has all the forms its numbers take.
  const QString matches =
      lastFind_.InSelection
          ? (count == 1 ? tr("%1: 1 match in the selection")
                        : tr("%1: %n matches in the selection", nullptr, count))
          : (count == 1 ? tr("%1: 1 match") : tr("%1: %n matches", nullptr, count));
  findBar_->SetSummary(matches.arg(pattern));
  if (hits.empty()) {
    findBar_->hide();
  } else {
    findBar_->show();
    view::ReportShownText("findbar", findBar_->Summary());
  }
  view_->InvalidateAll();
}

void HexWindow::ForgetMatches() {
  view::ReportShownText("findbar", QString());
  if (highlighted_.Empty()) return;
  highlighted_ = {};
  view_->InvalidateAll();
}

// Found again at once below the size that shows progress; a longer search waits for F3, and
// the bar says so instead of showing matches that may have moved.
void HexWindow::RefreshMatches() {
  matchesRefreshPending_ = false;
  if (findBar_->isHidden() || lastPattern_.empty()) return;
  const std::pair<int, int> range = SearchedRange();
  if (range.second - range.first + 1 >= kProgressFrom) {
    highlighted_ = {};
    findBar_->SetSummary(tr("The data has changed: Find Next searches again."));
    view_->InvalidateAll();
    return;
  }
  Guarded([this] {
    const SearchPattern search = LastSearchPattern();
    if (const std::vector<int>* hits = Matches(search))
      ShowMatches(*hits, static_cast<int>(search.Bytes.size()));
  });
}

void HexWindow::DrawMatchCell(hex::IHexCanvas& canvas, int col, int row, const std::u16string& text,
                              const hex::PaintRect& box, bool& defaultDraw) {
  const int position = editor_.DrawnPosition();
  // The selection shows as the view draws it, also where it lies on a match.
  if (position < 0 || editor_.DrawnSelected() || !highlighted_.Covers(position)) return;
  // The gap after a cell is filled only where the match goes on into the next cell.
  const std::int64_t next = editor_.CellToPosition({col + 1, row});
  const bool joined = next <= editor_.DataSize() && highlighted_.Covers(static_cast<int>(next));
  const hex::PaintRect cell = editor_.CellRect({col, row});
  const hex::TDesktopTints tints = view::DesktopTints();
  canvas.FillRect(cell, editor_.ViewColor(hex::THexColors::Background));
  canvas.FillRect(joined ? cell : box, tints.MatchBackground);
  canvas.DrawText(box, box.Left, box.Top, text, tints.MatchText, tints.MatchBackground);
  defaultDraw = false;
}

// The first time, a few rows high: the data keeps most of the window.
void HexWindow::ShowRecords() {
  const bool first = !recordsShown_;
  recordsShown_ = true;
  records_->show();
  records_->raise();
  if (first) resizeDocks({records_}, {kRecordsHeight}, Qt::Vertical);
}

void HexWindow::DrawRecordCell(hex::IHexCanvas& canvas, int col, int row,
                               const std::u16string& text, const hex::PaintRect& box,
                               bool& defaultDraw) {
  if (records_->isHidden()) return;
  const int position = editor_.DrawnPosition();
  if (position < 0 || editor_.DrawnSelected()) return;
  const RecordReport& records = records_->Records();
  const int record = records.RecordAt(position);
  if (record < 0 || position >= records.DataSize()) return;
  const std::int64_t next = editor_.CellToPosition({col + 1, row});
  const bool joined = next < records.DataSize() && records.RecordAt(next) == record &&
                      !highlighted_.Covers(static_cast<int>(next));
  const hex::TDesktopTints tints = view::DesktopTints();
  const hex::TColor tint = tints.RecordBackgrounds[record % 2];
  const hex::PaintRect cell = editor_.CellRect({col, row});
  canvas.FillRect(cell, editor_.ViewColor(hex::THexColors::Background));
  canvas.FillRect(joined ? cell : box, tint);
  canvas.DrawText(box, box.Left, box.Top, text, tints.RecordText, tint);
  defaultDraw = false;
}

// Through the editor's own Replace, so every replacement is a step undo takes back; Replace All
// makes them one step. Matches that overlap an earlier one are left, as the earlier one's
// replacement takes their bytes.
void HexWindow::Replace() {
  const std::optional<ReplaceRequest> request = dialogs_.AskWhatToReplace(lastReplace_);
  if (!request) return;
  lastReplace_ = *request;
  const std::string found = PatternOf(request->Find);
  if (found.empty()) {
    dialogs_.ShowMessage(request->Find.HexDigits ? tr("No hex digits to find.").toStdString()
                                                 : tr("No text to find.").toStdString());
    return;
  }
  const std::string typed = PatternOf({request->Replacement, request->Find.HexDigits, false});
  if (typed.empty() && !request->Replacement.empty()) {
    dialogs_.ShowMessage(tr("No hex digits to replace with.").toStdString());
    return;
  }
  if (!KeepSearchedSelection(request->Find)) return;
  lastFind_ = request->Find;
  lastPattern_ = found;
  Guarded([&] {
    // The replacement in the data's character set, as typed; the pattern last, as the search
    // runs with the tables its building leaves.
    const std::string replacement =
        request->Find.HexDigits ? typed : editor_.BuildFindPattern(typed, false, true);
    const SearchPattern search = LastSearchPattern();
    const std::string& pattern = search.Bytes;
    const auto patternSize = static_cast<int>(pattern.size());
    const auto replacementSize = static_cast<int>(replacement.size());
    if (patternSize != replacementSize && editor_.NoSizeChange()) {
      dialogs_.ShowError(tr("The size of the data is fixed: the replacement must be %1 bytes "
                            "long, as what it replaces.")
                             .arg(patternSize)
                             .toStdString());
      return;
    }
    const std::vector<int>* found = Matches(search);
    if (!found) {
      findNotice_->setText(tr("Search stopped"));
      return;
    }
    std::vector<int> hits;
    for (const int hit : *found)
      if (hits.empty() || hit >= hits.back() + patternSize) hits.push_back(hit);
    if (hits.empty()) {
      dialogs_.ShowMessage(request->Find.InSelection
                               ? tr("Not found in the selection.").toStdString()
                               : tr("Not found.").toStdString());
      return;
    }
    const std::string step = tr("Replace").toStdString();
    if (request->All) {
      // Each in place costs ~10 us a match: beyond this many the one pass is quicker.
      constexpr std::size_t kMostInPlace = 10000;
      if (patternSize == replacementSize && hits.size() <= kMostInPlace)
        ReplaceEachInPlace(hits, replacement, patternSize);
      else
        ReplaceSpanOnce(hits, replacement, patternSize);
      findNotice_->setText(tr("Replaced %1 matches").arg(hits.size()));
      return;
    }
    // The match the caret or the selection stands on, or the next one.
    const int from =
        editor_.SelectionCount() > 0 ? editor_.SelectionLow() : editor_.CursorPosition();
    auto next = std::lower_bound(hits.begin(), hits.end(), from);
    if (next == hits.end()) next = hits.begin();
    editor_.Replace(replacement.data(), *next, patternSize, replacementSize, step, false);
    if (replacementSize > 0) editor_.SetSelection(*next, *next + replacementSize - 1);
    findNotice_->setText(tr("Replaced 1 of %1 matches").arg(hits.size()));
  });
}

// A few replacements of the same length move nothing: each is a step of its own (undo keeps
// only the matched bytes), grouped as one. The
// whole group is recorded whatever the history's size limit, which would otherwise drop the
// first replacements of a long run while the last are recorded, and one undo would no longer
// take them all back. The limit applies again from the next step on.
void HexWindow::ReplaceEachInPlace(const std::vector<int>& hits, const std::string& replacement,
                                   int patternSize) {
  struct UndoLimitScope {
    hex::THexEditorEx& editor;
    const int limit = editor.MaxUndo();
    ~UndoLimitScope() { editor.SetMaxUndo(limit); }
  } unlimited{editor_};
  editor_.SetMaxUndo(0);
  const std::string step = tr("Replace").toStdString();
  for (const int hit : hits)
    editor_.Replace(replacement.data(), hit, patternSize, patternSize, step, false);
  editor_.RecordGroup(static_cast<int>(hits.size()), tr("Replace All").toStdString());
}

// Replacements of another length would each move the rest of the data: thousands of them in a
// large file took hours, and a million of the same length took a quarter of a minute. The
// bytes from the first match to the end of the last are built once and replaced in one step.
void HexWindow::ReplaceSpanOnce(const std::vector<int>& hits, const std::string& replacement,
                                int patternSize) {
  const int first = hits.front();
  const int end = hits.back() + patternSize;
  const std::int64_t grown = static_cast<std::int64_t>(editor_.DataSize()) +
                             static_cast<std::int64_t>(hits.size()) *
                                 (static_cast<std::int64_t>(replacement.size()) - patternSize);
  if (grown > std::numeric_limits<int>::max()) {
    dialogs_.ShowError(tr("Replacing every match would make the data larger than 2 GiB; "
                          "nothing was replaced.")
                           .toStdString());
    return;
  }
  std::string span;
  span.reserve(static_cast<std::size_t>(grown - (editor_.DataSize() - (end - first))));
  int at = first;
  for (const int hit : hits) {
    if (hit > at) {
      const std::span<const std::uint8_t> kept = editor_.ViewBytes(at, hit - at);
      span.append(reinterpret_cast<const char*>(kept.data()), kept.size());
    }
    span += replacement;
    at = hit + patternSize;
  }
  editor_.Replace(span.data(), first, end - first, static_cast<int>(span.size()),
                  tr("Replace All").toStdString(), false);
}

// --- Copy as ----------------------------------------------------------------------------------

void HexWindow::CopyAs(CopyForm form) {
  const int count = editor_.SelectionCount();
  if (count == 0) {
    dialogs_.ShowMessage(tr("Select the bytes to copy first.").toStdString());
    return;
  }
  // As text a selection takes two to four times its bytes: beyond this, use the plain copy.
  constexpr int kLargest = 64 << 20;
  if (count > kLargest) {
    dialogs_.ShowError(tr("Copy As takes up to %1 MiB; the selection holds %2 bytes.")
                           .arg(kLargest >> 20)
                           .arg(count)
                           .toStdString());
    return;
  }
  Guarded([&] {
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(count));
    editor_.ReadBlock(bytes.data(), editor_.SelectionLow(), count);
    QString text;
    switch (form) {
      case CopyForm::HexText:
        text = QString::fromStdString(HexText(bytes));
        break;
      case CopyForm::CArray:
        text = QString::fromStdString(CArray(bytes));
        break;
      case CopyForm::Base64:
        text = QString::fromLatin1(
            QByteArray(reinterpret_cast<const char*>(bytes.data()), count).toBase64());
        break;
      case CopyForm::Text:
        text = QString::fromStdU16String(TranslatedText(bytes, [this](std::uint8_t byte) {
          return platform::AnsiCodePage().ToUnicode(editor_.DataByteToChar(byte));
        }));
        break;
    }
    QGuiApplication::clipboard()->setText(text);
  });
}

// --- Checksums --------------------------------------------------------------------------------

void HexWindow::ShowChecksum(ChecksumKind kind) {
  const int count = editor_.SelectionCount();
  if (count == 0) {
    dialogs_.ShowMessage(tr("Select the bytes to sum first.").toStdString());
    return;
  }
  const QString name = QString::fromLatin1(ChecksumName(kind));
  Guarded([&] {
    Checksum sum(kind);
    const int low = editor_.SelectionLow();
    const bool showProgress = count >= kProgressFrom;
    constexpr int kPiece = 4 << 20;
    for (int done = 0; done < count;) {
      const int piece = std::min(kPiece, count - done);
      sum.Add(editor_.ViewBytes(low + done, piece));
      done += piece;
      const int percent = static_cast<int>(std::int64_t{done} * 100 / count);
      if (showProgress &&
          dialogs_.ShowProgress(tr("%1 of the selection").arg(name).toStdString(), percent)) {
        dialogs_.EndProgress();
        return;
      }
    }
    dialogs_.EndProgress();
    dialogs_.ShowMessage(tr("%1 of %2 bytes from 0x%3:\n%4")
                             .arg(name)
                             .arg(count)
                             .arg(QString::number(low, 16).toUpper())
                             .arg(QString::fromStdString(sum.HexDigits()))
                             .toStdString());
  });
}

// --- Help -------------------------------------------------------------------------------------

// Made from the tables the program acts on: the view's key handlers and the menus' shortcuts,
// so the page lists what the keys do now.
void HexWindow::ShowKeys() {
  QStringList lines;
  const auto addLine = [&lines](const QString& keys, const QString& effect) {
    lines << QStringLiteral("  %1  %2").arg(keys, -24).arg(effect);
  };
  lines << tr("In the data (the view has the focus):");
  for (const hex::KeyHelpLine& line : hex::KeyHelp())
    addLine(QString::fromStdString(line.Keys), TranslatedKeyEffect(line.Effect));
  lines << QString() << tr("Menus (anywhere in the window):");
  for (QMenu* menu : menuBar()->findChildren<QMenu*>()) {
    for (QAction* action : menu->actions()) {
      if (action->shortcut().isEmpty()) continue;
      const QString where = menu->title().remove(QLatin1Char('&'));
      addLine(action->shortcut().toString(QKeySequence::NativeText),
              where + QStringLiteral(" > ") + action->text().remove(QLatin1Char('&')));
    }
  }
  // The find bar's keys work while it is shown.
  for (QAction* action : findBar_->actions())
    if (!action->shortcut().isEmpty())
      addLine(action->shortcut().toString(QKeySequence::NativeText),
              findBar_->windowTitle() + QStringLiteral(" > ") + action->text());
  lines << QString() << tr("Mouse:");
  addLine(tr("Click"), tr("puts the caret on a nibble or a character"));
  addLine(tr("Shift+Click"), tr("selects from the caret to the click"));
  addLine(tr("Drag"), tr("selects; held beyond the view it scrolls on"));
  addLine(tr("Double click"), tr("selects the unit under the pointer"));
  addLine(tr("Drag the selection"), tr("moves it (Ctrl: copies it), also to another window"));
  addLine(tr("Wheel"), tr("scrolls a page"));
  addLine(tr("Ctrl+Wheel"), tr("changes the bytes per row"));
  addLine(tr("Ctrl+Shift+Wheel"), tr("changes the font size"));
  addLine(tr("Right click on the offsets"), tr("offers other offset formats"));
  addLine(tr("Drop a file around the data"), tr("opens it"));
  dialogs_.ShowHelp(tr("Keys").toStdString(), lines.join(QLatin1Char('\n')).toStdString());
}

// --- Go to offset -----------------------------------------------------------------------------

namespace {

QString OffsetProblemText(OffsetProblem problem, const std::string& typed, int size) {
  const QString text = QString::fromStdString(typed).trimmed();
  switch (problem) {
    case OffsetProblem::NoData:
      return HexWindow::tr("There is no data to go to.");
    case OffsetProblem::Empty:
      return HexWindow::tr("Type an offset: 1234, 0x4D2, +16, -0x10 or 50%.");
    case OffsetProblem::NotAPercentage:
      return HexWindow::tr("\"%1\" is not a share from 0% to 100%.").arg(text);
    case OffsetProblem::NotAnOffset:
      return HexWindow::tr("\"%1\" is not an offset: type 1234, 0x4D2, +16, -0x10 or 50%.")
          .arg(text);
    case OffsetProblem::OutsideTheData:
      return HexWindow::tr("Offset %1 lies outside the data, which runs from 0 to %2 (0x%3).")
          .arg(text)
          .arg(size - 1)
          .arg(QString::number(size - 1, 16).toUpper());
    case OffsetProblem::None:
      break;
  }
  return {};
}

}  // namespace

void HexWindow::GoToOffset() {
  const std::optional<std::string> typed = dialogs_.AskOffset(lastOffset_);
  if (!typed) return;
  lastOffset_ = *typed;
  const OffsetTarget target =
      ParseOffsetTarget(*typed, editor_.CursorPosition(), editor_.DataSize());
  if (!target.Valid()) {
    dialogs_.ShowError(OffsetProblemText(target.Problem, *typed, editor_.DataSize()).toStdString());
    return;
  }
  Guarded([&] { editor_.SetSelectionStart(static_cast<int>(target.Offset)); });
}

// --- State ------------------------------------------------------------------------------------

void HexWindow::RefreshMenus() {
  undo_->setEnabled(editor_.CanUndo());
  undo_->setText(editor_.CanUndo()
                     ? tr("&Undo %1").arg(TranslatedUndoStep(editor_.UndoDescription()))
                     : tr("&Undo"));
  redo_->setEnabled(editor_.CanRedo());
  reload_->setEnabled(!diskFile_.empty());
  insertMode_->setChecked(editor_.InsertMode());
  unicode_->setChecked(editor_.UnicodeChars());
  ruler_->setChecked(editor_.ShowRuler());
  lowerCase_->setChecked(editor_.HexLowerCase());
  for (std::size_t kind = 0; kind < translations_.size(); ++kind)
    translations_[kind]->setChecked(editor_.Translation() == kind);
  RefreshBytesPerRow();
}

void HexWindow::RefreshBytesPerRow() {
  const int bytes = editor_.BytesPerRow();
  const bool fixedChoice = std::find(std::begin(kBytesPerRowChoices), std::end(kBytesPerRowChoices),
                                     bytes) != std::end(kBytesPerRowChoices);
  otherBytesPerRow_->setText(QString::number(bytes));
  otherBytesPerRow_->setVisible(!fixedChoice);
  for (QAction* action : bytesPerRow_->actions())
    action->setChecked(action == otherBytesPerRow_ ? !fixedChoice : action->data() == bytes);
}

void HexWindow::RefreshTitleAndStatus() {
  const QString name = ShownFileName(editor_.FileName());
  setWindowTitle(QStringLiteral("%1%2 - %3")
                     .arg(name, editor_.Modified() ? QStringLiteral(" *") : QString(), Title()));
  const int p = editor_.CursorPosition();
  position_->setText(tr("Offset %1 (0x%2) of %3")
                         .arg(p)
                         .arg(QString::number(p, 16).toUpper())
                         .arg(editor_.DataSize()));
  const int low = editor_.SelectionLow();
  const int high = editor_.SelectionHigh();
  selection_->setText(editor_.SelectionCount() > 0
                          ? tr("Selected %1 bytes from 0x%2 to 0x%3 (%4 to %5)")
                                .arg(editor_.SelectionCount())
                                .arg(QString::number(low, 16).toUpper())
                                .arg(QString::number(high, 16).toUpper())
                                .arg(low)
                                .arg(high)
                          : QString());
  mode_->setText(editor_.ReadOnlyView() ? tr("Read only")
                 : editor_.InsertMode() ? tr("Insert")
                                        : tr("Overwrite"));
  if (byteValues_ && byteValues_->isVisible()) byteValues_->Refresh();
  view::ReportShownText("title", windowTitle());
  view::ReportShownText(
      "status",
      QStringList{position_->text(), selection_->text(), mode_->text(), findNotice_->text()}.join(
          QLatin1Char('\t')));
  RefreshMenus();
}

}  // namespace kestrave::app
