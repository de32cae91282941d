#include "app/hex/HexWindow.h"

#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QProgressDialog>
#include <QSettings>
#include <QStatusBar>

#include "app/hex/ViewSettingsStore.h"
#include "hexeditor/Conversions.h"
#include "platform/CodePages.h"
#include "platform/Exception.h"
#include "platform/UserInterface.h"
#include "view/HexView.h"

namespace kestrave::app {

namespace {

constexpr int kMaxRecent = 8;
constexpr int kProgressFrom = 8 << 20;  // files this large show a progress dialog

QString Title() {
  return QStringLiteral("kestrave-hex");
}

}  // namespace

HexWindow::HexWindow() : view_(new view::HexView(editor_, this)) {
  editor_.Loaded();
  editor_.SetBusyIndicator(&busy_);
  setCentralWidget(view_);
  position_ = new QLabel(this);
  selection_ = new QLabel(this);
  mode_ = new QLabel(this);
  statusBar()->addWidget(position_, 1);
  statusBar()->addWidget(selection_, 1);
  statusBar()->addPermanentWidget(mode_);
  editor_.OnSelectionChanged = [this](hex::TCustomHexEditor&) { RefreshTitleAndStatus(); };
  editor_.OnChange = [this](hex::TCustomHexEditor&) { RefreshMenus(); };
  editor_.OnProgress = [this](hex::TCustomHexEditor&, hex::THexProgressKind kind,
                              const std::string& name, std::uint8_t percent,
                              bool& cancel) { ShowProgress(kind, name, percent, cancel); };
  BuildMenus();
  Guarded([this] { editor_.SetOleDragDrop(true); });
  if (const std::optional<std::string> damaged = LoadViewSettings(editor_))
    platform::CurrentErrorDisplay().ShowError(*damaged);
  view_->FontChanged();
  resize(900, 600);
  RefreshTitleAndStatus();
  view_->setFocus();
}

HexWindow::~HexWindow() {
  // The view talks to the editor until it is gone, and Qt would delete it after the editor.
  delete view_;
  editor_.OnSelectionChanged = nullptr;
  editor_.OnChange = nullptr;
  editor_.OnProgress = nullptr;
  editor_.SetBusyIndicator(nullptr);
}

void HexWindow::OpenNewWindow() {
  auto* window = new HexWindow;
  window->setAttribute(Qt::WA_DeleteOnClose);
  window->show();
}

void HexWindow::Guarded(const std::function<void()>& action) {
  try {
    action();
  } catch (const platform::Exception& e) {
    progress_.reset();
    QMessageBox::critical(this, Title(), QString::fromStdString(e.Message()));
  }
  RefreshTitleAndStatus();
}

// --- Menus ------------------------------------------------------------------------------------

void HexWindow::BuildMenus() {
  QMenu* file = menuBar()->addMenu(tr("&File"));
  file->addAction(tr("&New Window"), QKeySequence::New, this, [] { OpenNewWindow(); });
  file->addAction(tr("&Open..."), QKeySequence::Open, this, [this] { Open(); });
  recentMenu_ = file->addMenu(tr("Open &Recent"));
  RebuildRecentMenu();
  file->addAction(tr("&Save"), QKeySequence::Save, this, [this] { Save(); });
  file->addAction(tr("Save &As..."), QKeySequence::SaveAs, this, [this] { SaveAs(); });
  file->addSeparator();
  file->addAction(tr("&Quit"), QKeySequence::Quit, this, [this] { close(); });
  BuildEditMenu(menuBar()->addMenu(tr("&Edit")));
  BuildViewMenu(menuBar()->addMenu(tr("&View")));
  BuildBookmarkMenu(menuBar()->addMenu(tr("&Bookmarks")));
  auto* offsetMenu = new QMenu(this);
  for (const char* format : {"-!10:0x|", "-!A:|", "8!10:|", "r%-!A:Row |"})
    offsetMenu->addAction(QString::fromLatin1(format), this,
                          [this, format] { Guarded([&] { editor_.SetOffsetFormat(format); }); });
  view_->SetOffsetPopupMenu(offsetMenu);
}

// The editor's own keys do the work; the menu shows them and their state.
void HexWindow::BuildEditMenu(QMenu* edit) {
  undo_ = edit->addAction(tr("&Undo"), QKeySequence::Undo, this,
                          [this] { Guarded([this] { editor_.Undo(); }); });
  redo_ = edit->addAction(tr("&Redo"), QKeySequence(tr("Ctrl+Shift+Z")), this,
                          [this] { Guarded([this] { editor_.Redo(); }); });
  edit->addSeparator();
  edit->addAction(tr("Cu&t"), QKeySequence::Cut, this,
                  [this] { Guarded([this] { editor_.CutToClipboard(); }); });
  edit->addAction(tr("&Copy"), QKeySequence::Copy, this,
                  [this] { Guarded([this] { editor_.CopyToClipboard(); }); });
  edit->addAction(tr("&Paste"), QKeySequence::Paste, this,
                  [this] { Guarded([this] { editor_.PasteFromClipboard(); }); });
  edit->addAction(tr("Select &All"), QKeySequence::SelectAll, this,
                  [this] { editor_.SelectAll(); });
  edit->addSeparator();
  edit->addAction(tr("&Find..."), QKeySequence::Find, this, [this] { Find(false); });
  edit->addAction(tr("Find &Next"), QKeySequence::FindNext, this, [this] { Find(true); });
  edit->addSeparator();
  insertMode_ = edit->addAction(tr("&Insert Mode"), this, [this] {
    editor_.SetInsertMode(insertMode_->isChecked());
    RefreshTitleAndStatus();
  });
  insertMode_->setCheckable(true);
  for (QAction* action : edit->actions())
    action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
}

void HexWindow::BuildViewMenu(QMenu* viewMenu) {
  QMenu* translation = viewMenu->addMenu(tr("&Translation"));
  auto* translations = new QActionGroup(this);
  for (std::size_t kind = 0; kind < hex::kTranslationKindCount; ++kind) {
    QAction* action = translation->addAction(
        QString::fromLatin1(hex::kTranslationNames[kind].data(),
                            static_cast<qsizetype>(hex::kTranslationNames[kind].size())));
    action->setCheckable(true);
    translations->addAction(action);
    translations_.push_back(action);
    connect(action, &QAction::triggered, this, [this, kind] {
      Guarded([&] { editor_.SetTranslation(static_cast<hex::THexTranslationKind>(kind)); });
    });
  }
  QMenu* rows = viewMenu->addMenu(tr("&Bytes per Row"));
  for (const int bytes : {8, 16, 24, 32, 48, 64})
    rows->addAction(QString::number(bytes), this,
                    [this, bytes] { Guarded([&] { editor_.SetBytesPerRow(bytes); }); });
  unicode_ = viewMenu->addAction(tr("&Unicode Characters"), this, [this] {
    Guarded([this] { editor_.SetUnicodeChars(unicode_->isChecked()); });
    unicode_->setChecked(editor_.UnicodeChars());
  });
  unicode_->setCheckable(true);
  ruler_ = viewMenu->addAction(tr("&Ruler"), this, [this] {
    editor_.SetShowRuler(ruler_->isChecked());
    view_->viewport()->update();
  });
  ruler_->setCheckable(true);
  lowerCase_ = viewMenu->addAction(tr("&Lower-case Hex"), this,
                                   [this] { editor_.SetHexLowerCase(!editor_.HexLowerCase()); });
  lowerCase_->setCheckable(true);
}

void HexWindow::BuildBookmarkMenu(QMenu* menu) {
  for (int k = 0; k < 10; ++k) {
    menu->addAction(tr("Go to Bookmark %1").arg(k), QKeySequence(QStringLiteral("Ctrl+%1").arg(k)),
                    this, [this, k] { editor_.GotoBookmark(k); })
        ->setShortcutContext(Qt::WidgetShortcut);
  }
  menu->addSeparator();
  menu->addAction(tr("Set or clear with Ctrl+Shift+digit"))->setEnabled(false);
}

// --- Files ------------------------------------------------------------------------------------

bool HexWindow::ConfirmDiscard() {
  if (!editor_.Modified()) return true;
  const auto answer =
      QMessageBox::question(this, Title(), tr("The data has changed. Save it first?"),
                            QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);
  if (answer == QMessageBox::Save) return Save();
  return answer == QMessageBox::Discard;
}

void HexWindow::Open() {
  if (!ConfirmDiscard()) return;
  const QString path = QFileDialog::getOpenFileName(this, tr("Open"));
  if (!path.isEmpty()) OpenFile(path);
}

bool HexWindow::OpenFile(const QString& path) {
  bool opened = false;
  Guarded([&] {
    editor_.LoadFromFile(path.toStdString());
    opened = true;
  });
  progress_.reset();
  if (opened) RememberRecent(path);
  return opened;
}

bool HexWindow::Save() {
  if (editor_.IsFileReadOnly()) return SaveAs();
  return SaveTo(QString::fromStdString(editor_.FileName()));
}

bool HexWindow::SaveAs() {
  const QString path =
      QFileDialog::getSaveFileName(this, tr("Save As"), QString::fromStdString(editor_.FileName()));
  return !path.isEmpty() && SaveTo(path);
}

// Saving over the file's own name keeps the previous content as name.bak (CreateBackup).
bool HexWindow::SaveTo(const QString& path) {
  bool saved = false;
  Guarded([&] {
    editor_.SaveToFile(path.toStdString(), true);
    saved = true;
  });
  progress_.reset();
  if (saved) RememberRecent(path);
  return saved;
}

void HexWindow::ShowProgress(hex::THexProgressKind kind, const std::string& name, int percent,
                             bool& cancel) {
  if (editor_.DataSize() < kProgressFrom && kind != hex::pkFind) {
    const auto size = QFileInfo(QString::fromStdString(name)).size();
    if (size < kProgressFrom) return;
  }
  if (!progress_) {
    const QString what = kind == hex::pkLoad   ? tr("Loading %1")
                         : kind == hex::pkSave ? tr("Saving %1")
                                               : tr("Searching %1");
    progress_ = std::make_unique<QProgressDialog>(
        what.arg(QFileInfo(QString::fromStdString(name)).fileName()), tr("Cancel"), 0, 100, this);
    progress_->setWindowModality(Qt::WindowModal);
    progress_->setMinimumDuration(300);
  }
  progress_->setValue(percent);
  QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  cancel = progress_->wasCanceled();
  if (percent >= 100) progress_.reset();
}

void HexWindow::RememberRecent(const QString& path) {
  QSettings settings(QStringLiteral("Kestrave"), QStringLiteral("kestrave-hex"));
  QStringList recent = settings.value(QStringLiteral("recent")).toStringList();
  recent.removeAll(path);
  recent.prepend(QFileInfo(path).absoluteFilePath());
  while (recent.size() > kMaxRecent)
    recent.removeLast();
  settings.setValue(QStringLiteral("recent"), recent);
  RebuildRecentMenu();
}

void HexWindow::RebuildRecentMenu() {
  recentMenu_->clear();
  const QStringList recent = QSettings(QStringLiteral("Kestrave"), QStringLiteral("kestrave-hex"))
                                 .value(QStringLiteral("recent"))
                                 .toStringList();
  for (const QString& path : recent)
    recentMenu_->addAction(path, this, [this, path] {
      if (ConfirmDiscard()) OpenFile(path);
    });
  recentMenu_->setEnabled(!recent.isEmpty());
}

void HexWindow::closeEvent(QCloseEvent* event) {
  if (ConfirmDiscard()) {
    SaveViewSettings(editor_);  // the last window closed leaves its settings for the next run
    event->accept();
  } else {
    event->ignore();
  }
}

// --- Search -----------------------------------------------------------------------------------

void HexWindow::Find(bool again) {
  if (!again || lastPattern_.isEmpty()) {
    QDialog dialog(this);
    dialog.setWindowTitle(tr("Find"));
    auto* layout = new QFormLayout(&dialog);
    auto* text = new QLineEdit(&dialog);
    auto* hexText = new QCheckBox(tr("Hex digits"), &dialog);
    auto* ignoreCase = new QCheckBox(tr("Ignore case"), &dialog);
    ignoreCase->setChecked(lastIgnoreCase_);
    layout->addRow(tr("Find:"), text);
    layout->addRow(hexText);
    layout->addRow(ignoreCase);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    layout->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    if (dialog.exec() != QDialog::Accepted || text->text().isEmpty()) return;
    lastIsText_ = !hexText->isChecked();
    lastIgnoreCase_ = ignoreCase->isChecked() && lastIsText_;
    if (lastIsText_) {
      lastPattern_ = QByteArray::fromStdString(
          platform::Utf16ToCodePage(platform::AnsiCodePage(), text->text().toStdU16String()));
    } else {
      const auto bytes = hex::HexTextToBytes(text->text().toStdString(), false);
      lastPattern_ = QByteArray(reinterpret_cast<const char*>(bytes.data()),
                                static_cast<qsizetype>(bytes.size()));
    }
  }
  Guarded([this] {
    editor_.SetFindProgress(editor_.DataSize() >= kProgressFrom);
    const std::string pattern =
        editor_.BuildFindPattern(lastPattern_.toStdString(), lastIgnoreCase_, lastIsText_);
    const int start =
        editor_.SelectionCount() > 0 ? editor_.SelectionLow() + 1 : editor_.CursorPosition();
    const int hit = editor_.FindBytes(reinterpret_cast<const std::uint8_t*>(pattern.data()),
                                      static_cast<int>(pattern.size()), start,
                                      editor_.DataSize() - 1, lastIgnoreCase_);
    progress_.reset();
    if (hit < 0) {
      QMessageBox::information(this, Title(), tr("Not found."));
      return;
    }
    editor_.SetSelectionStart(hit + static_cast<int>(pattern.size()) - 1);
    editor_.SetSelectionEnd(hit);
  });
}

// --- State ------------------------------------------------------------------------------------

void HexWindow::RefreshMenus() {
  undo_->setEnabled(editor_.CanUndo());
  undo_->setText(editor_.CanUndo()
                     ? tr("&Undo %1").arg(QString::fromStdString(editor_.UndoDescription()))
                     : tr("&Undo"));
  redo_->setEnabled(editor_.CanRedo());
  insertMode_->setChecked(editor_.InsertMode());
  unicode_->setChecked(editor_.UnicodeChars());
  ruler_->setChecked(editor_.ShowRuler());
  lowerCase_->setChecked(editor_.HexLowerCase());
  for (std::size_t kind = 0; kind < translations_.size(); ++kind)
    translations_[kind]->setChecked(editor_.Translation() == kind);
}

void HexWindow::RefreshTitleAndStatus() {
  const QString name = QFileInfo(QString::fromStdString(editor_.FileName())).fileName();
  setWindowTitle(QStringLiteral("%1%2 - %3")
                     .arg(name, editor_.Modified() ? QStringLiteral(" *") : QString(), Title()));
  const int p = editor_.CursorPosition();
  position_->setText(tr("Offset %1 (0x%2) of %3")
                         .arg(p)
                         .arg(QString::number(p, 16).toUpper())
                         .arg(editor_.DataSize()));
  selection_->setText(editor_.SelectionCount() > 0
                          ? tr("Selected %1 bytes from 0x%2")
                                .arg(editor_.SelectionCount())
                                .arg(QString::number(editor_.SelectionLow(), 16).toUpper())
                          : QString());
  mode_->setText(editor_.ReadOnlyView() ? tr("Read only")
                 : editor_.InsertMode() ? tr("Insert")
                                        : tr("Overwrite"));
  RefreshMenus();
}

}  // namespace kestrave::app
