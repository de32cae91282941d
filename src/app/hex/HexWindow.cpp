#include "app/hex/HexWindow.h"

#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QMouseEvent>
#include <QScreen>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <algorithm>

#include "app/hex/ByteValuesDock.h"
#include "app/hex/EditorTexts.h"
#include "app/hex/FindBar.h"
#include "app/hex/FocusCycle.h"
#include "app/hex/GoToOffset.h"
#include "app/hex/HexPrint.h"
#include "app/hex/HexTab.h"
#include "app/hex/KeysPage.h"
#include "app/hex/OffsetFormats.h"
#include "app/hex/QtHexDialogs.h"
#include "app/hex/RecentFilesMenu.h"
#include "app/hex/RecordsDock.h"
#include "app/hex/SelectionCommands.h"
#include "app/hex/ViewSettingsStore.h"
#include "app/hex/WindowSize.h"
#include "platform/FileSystem.h"
#include "platform/Guard.h"
#include "platform/UserInterface.h"
#include "view/HexView.h"
#include "view/LocalFiles.h"
#include "view/QtResponsiveness.h"
#include "view/StatusLog.h"

namespace kestrave::app {

namespace {

constexpr int kBytesPerRowChoices[] = {8, 16, 24, 32, 48, 64};

QString Title() {
  return QStringLiteral("kestrave-hex");
}

// The component's messages come in English; EditorTexts is to give them in the user's language
// (TranslatedErrorText), and this is the one place that will call it.
std::string ShownError(const std::string& message) {
  return message;
}

// The folder of a file, where the dialogs start; the working folder for none.
std::string FolderOf(const std::string& path) {
  if (path.empty()) return {};
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return {};
  return slash == 0 ? std::string("/") : path.substr(0, slash);
}

// Gives the focus to the first widget of Part that takes it from the keyboard; false for none.
bool FocusFirstIn(QWidget& part) {
  if (part.focusProxy() || (part.focusPolicy() & Qt::TabFocus)) {
    part.setFocus(Qt::TabFocusReason);
    return true;
  }
  for (QWidget* child : part.findChildren<QWidget*>())
    if ((child->focusPolicy() & Qt::TabFocus) && child->isVisibleTo(&part) && child->isEnabled()) {
      child->setFocus(Qt::TabFocusReason);
      return true;
    }
  return false;
}

}  // namespace

HexWindow::HexWindow() : HexWindow(static_cast<IHexDialogs*>(nullptr)) {}

HexWindow::HexWindow(IHexDialogs& dialogs) : HexWindow(&dialogs) {}

HexWindow::HexWindow(IHexDialogs* dialogs)
    : ownDialogs_(dialogs ? nullptr : std::make_unique<QtHexDialogs>(this)),
      dialogs_(dialogs ? *dialogs : *ownDialogs_),
      tabs_(new QTabWidget(this)) {
  tabs_->setObjectName(QStringLiteral("tabs"));
  tabs_->setDocumentMode(true);
  tabs_->setTabsClosable(true);
  tabs_->setMovable(true);
  // One file shows as it always has, without a row of tabs.
  tabs_->setTabBarAutoHide(true);
  // The tabs' keys are the window's (Ctrl+Tab, Ctrl+W): the bar itself takes no focus.
  tabs_->tabBar()->setFocusPolicy(Qt::NoFocus);
  tabs_->tabBar()->installEventFilter(this);
  setCentralWidget(tabs_);
  position_ = new QLabel(this);
  selection_ = new QLabel(this);
  mode_ = new QLabel(this);
  findNotice_ = new QLabel(this);
  statusBar()->addWidget(position_, 1);
  statusBar()->addWidget(selection_, 1);
  statusBar()->addPermanentWidget(findNotice_);
  statusBar()->addPermanentWidget(mode_);
  BuildMenus();
  HexTab* first = AddTab();
  if (const std::optional<std::string> damaged = LoadViewSettings(first->Editor()))
    platform::CurrentErrorDisplay().ShowError(TranslatedSettingsMessage(*damaged).toStdString());
  first->View().FontChanged();
  connect(tabs_, &QTabWidget::currentChanged, this, [this] { CurrentChanged(); });
  connect(tabs_, &QTabWidget::tabCloseRequested, this, [this](int index) { CloseTab(index); });
  // Where the screen has less room (a small screen, a large scale factor), less.
  const QRect room = screen() ? screen()->availableGeometry() : QRect();
  const WindowSize size = FittedWindowSize({kWidth, kHeight}, {room.width(), room.height()});
  resize(size.Width, size.Height);
  RefreshTitleAndStatus();
  setAcceptDrops(true);
  first->View().setFocus();
}

HexWindow::~HexWindow() {
  disconnect(tabs_, nullptr, this, nullptr);
  // The tabs' editors outlive nothing that talks to them.
  while (tabs_->count() > 0) {
    QWidget* tab = tabs_->widget(0);
    tabs_->removeTab(0);
    delete tab;
  }
}

HexTab* HexWindow::AddTab() {
  HexTab::Services services{dialogs_, busy_, *recent_,
                            [this](const std::function<void()>& action) { Run(action); },
                            [this] { return WorkRuns(); }};
  auto* tab = new HexTab(services, tabs_);
  tab->SetOffsetMenu(offsetMenu_);
  // A new tab takes the view settings of the one in front: the user's way of looking at data.
  if (tabs_->count() > 0) {
    hex::THexEditorEx& current = CurrentTab().Editor();
    Run([&] { tab->Editor().SetSettingsText(current.GetSettingsText()); });
    tab->View().FontChanged();
  }
  tab->OnStateChanged = [this, tab] { TabStateChanged(tab); };
  const int index = tabs_->addTab(tab, QString());
  RefreshTabLabel(index);
  return tab;
}

void HexWindow::OpenNewWindow() {
  auto* window = new HexWindow;
  window->setAttribute(Qt::WA_DeleteOnClose);
  window->show();
}

void HexWindow::Run(const std::function<void()>& action) {
  ++runDepth_;
  platform::RunGuarded(action, [this](const std::string& message) {
    dialogs_.EndProgress();
    dialogs_.ShowError(ShownError(message));
  });
  --runDepth_;
  RefreshTitleAndStatus();
}

bool HexWindow::WorkRuns() const {
  return runDepth_ > 0 || view::WorkRuns() || QApplication::activeModalWidget();
}

// --- Tabs -------------------------------------------------------------------------------------

HexTab& HexWindow::CurrentTab() {
  return *static_cast<HexTab*>(tabs_->currentWidget());
}
hex::THexEditorEx& HexWindow::Editor() {
  return CurrentTab().Editor();
}
view::HexView& HexWindow::View() {
  return CurrentTab().View();
}
ByteValuesDock& HexWindow::ByteValuesPanel() {
  return CurrentTab().ByteValues();
}
RecordsDock& HexWindow::RecordsPanel() {
  return CurrentTab().Records();
}
FindBar& HexWindow::FindResults() {
  return CurrentTab().Bar();
}
const MatchRanges& HexWindow::HighlightedMatches() {
  return CurrentTab().Search().Highlighted();
}
int HexWindow::TabCount() const {
  return tabs_->count();
}
HexTab& HexWindow::Tab(int index) {
  return *static_cast<HexTab*>(tabs_->widget(index));
}
int HexWindow::CurrentIndex() const {
  return tabs_->currentIndex();
}
void HexWindow::SetCurrentIndex(int index) {
  tabs_->setCurrentIndex(index);
}

void HexWindow::CurrentChanged() {
  if (tabs_->count() == 0) return;
  RefreshTitleAndStatus();
  if (isActiveWindow()) CurrentTab().View().setFocus();
  // A change on disk met while another tab was in front is told now.
  CurrentTab().Disk().CheckSoon();
}

void HexWindow::TabStateChanged(HexTab* tab) {
  const int index = tabs_->indexOf(tab);
  if (index < 0) return;
  RefreshTabLabel(index);
  if (tab != tabs_->currentWidget()) return;
  RefreshMenus();
  // Once after a run of changes (Replace All makes thousands).
  refreshLater_.Request();
}

void HexWindow::RefreshTabLabel(int index) {
  HexTab& tab = Tab(index);
  QString label = tab.ShownName().replace(QLatin1Char('&'), QStringLiteral("&&"));
  if (tab.Editor().Modified()) label += QStringLiteral(" *");
  if (tabs_->tabText(index) != label) tabs_->setTabText(index, label);
  tabs_->setTabToolTip(index, QString::fromStdString(tab.Path()));
}

bool HexWindow::OpenFile(const std::string& path) {
  return CurrentTab().Open(path);
}

bool HexWindow::OpenInTab(const std::string& path) {
  const std::string normal = NormalPath(path);
  for (int index = 0; index < tabs_->count(); ++index)
    if (!Tab(index).Path().empty() && NormalPath(Tab(index).Path()) == normal) {
      tabs_->setCurrentIndex(index);
      return true;
    }
  if (CurrentTab().Blank()) return OpenFile(path);
  const int previous = tabs_->currentIndex();
  HexTab* tab = AddTab();
  tabs_->setCurrentWidget(tab);
  if (tab->Open(path)) return true;
  tabs_->removeTab(tabs_->indexOf(tab));
  delete tab;
  tabs_->setCurrentIndex(previous);
  return false;
}

bool HexWindow::CloseTab(int index) {
  if (index < 0 || index >= tabs_->count()) return false;
  HexTab* tab = &Tab(index);
  if (tab->Editor().Modified()) {
    tabs_->setCurrentIndex(index);  // the user sees the file asked about
    if (!tab->Files().ConfirmDiscard(tab->ShownName().toStdString())) return false;
  }
  tab->RememberPosition();
  if (tabs_->count() == 1) {
    if (tab->Blank()) return true;
    AddTab();
  }
  tabs_->removeTab(tabs_->indexOf(tab));
  delete tab;
  return true;
}

bool HexWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == tabs_->tabBar() && event->type() == QEvent::MouseButtonRelease) {
    auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->button() == Qt::MiddleButton) {
      const int index = tabs_->tabBar()->tabAt(mouse->position().toPoint());
      if (index >= 0) {
        CloseTab(index);
        return true;
      }
    }
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
  help->addAction(tr("&Keys"), this, [this] {
    dialogs_.ShowHelp(tr("Keys").toStdString(),
                      KeysPageText(*menuBar(), CurrentTab().Bar()).toStdString());
  });
  BuildOffsetMenu();
  BuildFocusKeys();
}

// Each format named, with how it writes an offset.
void HexWindow::BuildOffsetMenu() {
  offsetMenu_ = new QMenu(this);
  offsetMenu_->setObjectName(QStringLiteral("offsetMenu"));
  const struct {
    const char* format;
    QString name;
  } formats[] = {{"-!10:0x|", tr("Hexadecimal, 0x prefix")},
                 {"-!A:|", tr("Decimal")},
                 {"8!10:|", tr("Hexadecimal, eight digits")},
                 {"r%-!A:Row |", tr("Row numbers")}};
  auto* group = new QActionGroup(offsetMenu_);
  for (const auto& [format, name] : formats) {
    QAction* action = offsetMenu_->addAction(
        tr("%1: %2").arg(name, QString::fromStdString(OffsetFormatSample(format))), this,
        [this, format = std::string(format)] {
          hex::THexEditorEx& editor = Editor();
          Run([&] { editor.SetOffsetFormat(format); });
        });
    action->setCheckable(true);
    action->setData(QString::fromLatin1(format));
    group->addAction(action);
  }
  // Row numbers need rows the editor can count (8 bytes, not 16): offered only then.
  connect(offsetMenu_, &QMenu::aboutToShow, this, [this] {
    const hex::THexEditorEx& editor = Editor();
    const QString current = QString::fromStdString(editor.OffsetFormat());
    const hex::OffsetUnits units{editor.BytesPerRow(), editor.BytesPerColumn(), editor.RulerUnit()};
    for (QAction* action : offsetMenu_->actions()) {
      action->setChecked(action->data().toString() == current);
      action->setEnabled(OffsetFormatTaken(action->data().toString().toStdString(), units));
    }
  });
}

// F6 and Shift+F6 move around the parts; Shift+F10 opens the menu of the part with the focus.
void HexWindow::BuildFocusKeys() {
  auto* next = new QAction(this);
  next->setShortcut(QKeySequence(Qt::Key_F6));
  connect(next, &QAction::triggered, this, [this] { MoveFocus(true); });
  auto* previous = new QAction(this);
  previous->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F6));
  connect(previous, &QAction::triggered, this, [this] { MoveFocus(false); });
  auto* contextMenu = new QAction(this);
  contextMenu->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F10));
  connect(contextMenu, &QAction::triggered, this, [] {
    QWidget* focus = QApplication::focusWidget();
    if (!focus) return;
    const QPoint at = focus->rect().center();
    QContextMenuEvent event(QContextMenuEvent::Keyboard, at, focus->mapToGlobal(at));
    QApplication::sendEvent(focus, &event);
  });
  addActions({next, previous, contextMenu});
}

void HexWindow::MoveFocus(bool forward) {
  HexTab& tab = CurrentTab();
  std::vector<QWidget*> parts{&tab.View(), &tab.Bar(), &tab.ByteValues(), &tab.Records()};
  std::vector<bool> shown;
  int current = -1;
  QWidget* focus = QApplication::focusWidget();
  for (std::size_t k = 0; k < parts.size(); ++k) {
    shown.push_back(parts[k]->isVisible());
    if (focus && (parts[k] == focus || parts[k]->isAncestorOf(focus)))
      current = static_cast<int>(k);
  }
  // A part with nothing to take the focus is passed over.
  for (std::size_t tried = 0; tried < parts.size(); ++tried) {
    const int next = NextFocusPart(shown, current, forward);
    if (next < 0) return;
    if (FocusFirstIn(*parts[static_cast<std::size_t>(next)])) {
      static const char* const kNames[] = {"view", "findBar", "byteValues", "records"};
      view::ReportShownText("focus", QString::fromLatin1(kNames[next]));
      return;
    }
    shown[static_cast<std::size_t>(next)] = false;
  }
}

void HexWindow::BuildFileMenu(QMenu* file) {
  file->addAction(tr("&New Window"), QKeySequence(Qt::CTRL | Qt::Key_N), this,
                  [] { OpenNewWindow(); });
  file->addAction(tr("&Open..."), QKeySequence(Qt::CTRL | Qt::Key_O), this, [this] { Open(); });
  recent_ = std::make_unique<RecentFilesMenu>(*file->addMenu(tr("Open &Recent")), dialogs_);
  recent_->OnOpen = [this](const std::string& path) { OpenInTab(path); };
  reload_ = file->addAction(tr("Re&load"), this, [this] { CurrentTab().Files().Reload(); });
  file->addAction(tr("&Save"), QKeySequence(Qt::CTRL | Qt::Key_S), this,
                  [this] { CurrentTab().Files().Save(); });
  file->addAction(tr("Save &As..."), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S), this,
                  [this] { CurrentTab().Files().SaveAs(); });
  file->addSeparator();
  AddPrintActions(*file, this, [this] { return &Editor(); });
  file->addSeparator();
  file->addAction(tr("Close &Tab"), QKeySequence(Qt::CTRL | Qt::Key_W), this,
                  [this] { CloseTab(tabs_->currentIndex()); });
  file->addAction(tr("&Quit"), QKeySequence(Qt::CTRL | Qt::Key_Q), this, [this] { close(); });
}

void HexWindow::BuildEditMenu(QMenu* edit) {
  undo_ = edit->addAction(tr("&Undo"), QKeySequence(Qt::CTRL | Qt::Key_Z), this,
                          [this] { CurrentTab().Undo(); });
  redo_ = edit->addAction(tr("&Redo"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), this,
                          [this] { CurrentTab().Redo(); });
  edit->addSeparator();
  edit->addAction(tr("Cu&t"), QKeySequence(Qt::CTRL | Qt::Key_X), this, [this] {
    hex::THexEditorEx& editor = Editor();
    Run([&] { editor.CutToClipboard(); });
  });
  edit->addAction(tr("&Copy"), QKeySequence(Qt::CTRL | Qt::Key_C), this, [this] {
    hex::THexEditorEx& editor = Editor();
    Run([&] { editor.CopyToClipboard(); });
  });
  edit->addAction(tr("&Paste"), QKeySequence(Qt::CTRL | Qt::Key_V), this, [this] {
    hex::THexEditorEx& editor = Editor();
    Run([&] { editor.PasteFromClipboard(); });
  });
  edit->addAction(tr("Select &All"), QKeySequence(Qt::CTRL | Qt::Key_A), this,
                  [this] { Editor().SelectAll(); });
  const RunStep run = [this](const std::function<void()>& action) { Run(action); };
  QMenu* copyAs = edit->addMenu(tr("Copy A&s"));
  const std::pair<QString, CopyForm> forms[] = {{tr("&Hex Text"), CopyForm::HexText},
                                                {tr("&C Array"), CopyForm::CArray},
                                                {tr("&Base64"), CopyForm::Base64},
                                                {tr("&Text"), CopyForm::Text}};
  for (const auto& [text, form] : forms)
    copyAs->addAction(text, this,
                      [this, run, form = form] { CopySelectionAs(Editor(), dialogs_, run, form); });
  QMenu* checksums = edit->addMenu(tr("Chec&ksum of Selection"));
  for (const ChecksumKind kind :
       {ChecksumKind::Crc32, ChecksumKind::Md5, ChecksumKind::Sha1, ChecksumKind::Sha256})
    checksums->addAction(QString::fromLatin1(ChecksumName(kind)), this, [this, run, kind] {
      ShowSelectionChecksum(Editor(), dialogs_, run, kind);
    });
  edit->addSeparator();
  edit->addAction(tr("&Find..."), QKeySequence(Qt::CTRL | Qt::Key_F), this,
                  [this] { CurrentTab().Search().Find(false); });
  edit->addAction(tr("Find &Next"), QKeySequence(Qt::Key_F3), this,
                  [this] { CurrentTab().Search().Find(true); });
  edit->addAction(tr("Find Pre&vious"), QKeySequence(Qt::SHIFT | Qt::Key_F3), this,
                  [this] { CurrentTab().Search().Find(true, false); });
  edit->addAction(tr("R&eplace..."), QKeySequence(Qt::CTRL | Qt::Key_H), this,
                  [this] { CurrentTab().Search().Replace(); });
  edit->addAction(tr("&Go to Offset..."), QKeySequence(Qt::CTRL | Qt::Key_G), this,
                  [this, run] { GoToOffset(Editor(), dialogs_, lastOffset_, run); });
  edit->addSeparator();
  insertMode_ = edit->addAction(tr("&Insert Mode"), QKeySequence(Qt::Key_Insert), this, [this] {
    Editor().SetInsertMode(insertMode_->isChecked());
    RefreshTitleAndStatus();
  });
  insertMode_->setCheckable(true);
}

void HexWindow::BuildViewMenu(QMenu* viewMenu) {
  byteValues_ =
      viewMenu->addAction(tr("Byte &Values"), QKeySequence(Qt::CTRL | Qt::Key_I), this, [this] {
        ByteValuesDock& panel = ByteValuesPanel();
        panel.setVisible(panel.isHidden());
        RefreshMenus();
      });
  byteValues_->setCheckable(true);
  // Ctrl+R shows the records panel and gives its table the keys, where the arrows pick rows;
  // pressed in the panel, it hides it. The panel may have shown by itself, without the keys.
  records_ = viewMenu->addAction(tr("Re&cords"), QKeySequence(Qt::CTRL | Qt::Key_R), this,
                                 [this] { ToggleRecords(); });
  records_->setCheckable(true);
  viewMenu->addSeparator();
  viewMenu->addAction(tr("&Next Tab"), QKeySequence(Qt::CTRL | Qt::Key_Tab), this, [this] {
    tabs_->setCurrentIndex((tabs_->currentIndex() + 1) % tabs_->count());
  });
  viewMenu->addAction(
      tr("&Previous Tab"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab), this, [this] {
        tabs_->setCurrentIndex((tabs_->currentIndex() + tabs_->count() - 1) % tabs_->count());
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
      hex::THexEditorEx& editor = Editor();
      Run([&] { editor.SetTranslation(static_cast<hex::THexTranslationKind>(kind)); });
    });
  }
  BuildBytesPerRowMenu(viewMenu->addMenu(tr("&Bytes per Row")));
  unicode_ = viewMenu->addAction(tr("&Unicode Characters"), this, [this] {
    hex::THexEditorEx& editor = Editor();
    Run([&] { editor.SetUnicodeChars(unicode_->isChecked()); });
  });
  unicode_->setCheckable(true);
  ruler_ = viewMenu->addAction(tr("&Ruler"), this,
                               [this] { Editor().SetShowRuler(ruler_->isChecked()); });
  ruler_->setCheckable(true);
  lowerCase_ = viewMenu->addAction(tr("&Lower-case Hex"), this,
                                   [this] { Editor().SetHexLowerCase(!Editor().HexLowerCase()); });
  lowerCase_->setCheckable(true);
  // The wheel changes the row length and settings files change anything: shown as they are.
  connect(viewMenu, &QMenu::aboutToShow, this, [this] { RefreshMenus(); });
}

void HexWindow::ToggleRecords() {
  HexTab& tab = CurrentTab();
  RecordsDock& panel = tab.Records();
  const bool inPanel = panel.isAncestorOf(QApplication::focusWidget());
  if (panel.isHidden() || !inPanel) {
    tab.ShowRecords();
    panel.setFocus();
  } else {
    panel.hide();
    tab.View().setFocus();
  }
  RefreshMenus();
}

void HexWindow::BuildBytesPerRowMenu(QMenu* rows) {
  rows->setObjectName(QStringLiteral("bytesPerRowMenu"));
  bytesPerRow_ = new QActionGroup(this);
  for (const int bytes : kBytesPerRowChoices) {
    QAction* action = rows->addAction(QString::number(bytes), this, [this, bytes] {
      hex::THexEditorEx& editor = Editor();
      Run([&] { editor.SetBytesPerRow(bytes); });
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
                    [this, k] { Editor().GotoBookmark(k); });
  }
  menu->addSeparator();
  menu->addAction(tr("Set or clear with Ctrl+Shift+digit"))->setEnabled(false);
}

// --- Files ------------------------------------------------------------------------------------

void HexWindow::Open() {
  const std::string folder = FolderOf(CurrentTab().Path());
  if (const std::optional<std::string> path = dialogs_.ChooseFileToOpen(folder)) OpenInTab(*path);
}

std::vector<std::string> HexWindow::RecentFiles() {
  return RecentFilesMenu::Paths();
}

void HexWindow::CheckFileOnDisk() {
  CurrentTab().Disk().Check();
}

void HexWindow::changeEvent(QEvent* event) {
  if (event->type() == QEvent::ActivationChange && isActiveWindow() && tabs_->count() > 0)
    CurrentTab().Disk().CheckSoon();
  QMainWindow::changeEvent(event);
}

// A file dropped on the window around the data (title, tabs, menus, status bar, panels) opens
// in a tab; dropped on the data itself, the view inserts its bytes as it does with any data.
void HexWindow::dragEnterEvent(QDragEnterEvent* event) {
  if (DroppedFile(event->mimeData())) event->acceptProposedAction();
}

void HexWindow::dropEvent(QDropEvent* event) {
  const std::optional<std::string> file = DroppedFile(event->mimeData());
  if (!file) return;
  event->acceptProposedAction();
  OpenInTab(*file);
}

std::optional<std::string> HexWindow::DroppedFile(const QMimeData* data) {
  if (!data) return std::nullopt;
  for (std::string& file : view::LocalFilesOf(*data))
    if (platform::FileExists(file)) return std::move(file);
  return std::nullopt;
}

// Each changed file is asked about, its tab in front; Cancel keeps the window and every tab.
void HexWindow::closeEvent(QCloseEvent* event) {
  for (int index = 0; index < tabs_->count(); ++index) {
    HexTab& tab = Tab(index);
    if (!tab.Editor().Modified()) continue;
    tabs_->setCurrentIndex(index);
    if (!tab.Files().ConfirmDiscard(tab.ShownName().toStdString())) {
      event->ignore();
      return;
    }
  }
  for (int index = 0; index < tabs_->count(); ++index)
    Tab(index).RememberPosition();
  SaveViewSettings(Editor());  // the last window closed leaves its settings for the next run
  event->accept();
}

// --- State ------------------------------------------------------------------------------------

void HexWindow::RefreshMenus() {
  if (tabs_->count() == 0) return;
  HexTab& tab = CurrentTab();
  const hex::THexEditorEx& editor = tab.Editor();
  undo_->setEnabled(editor.CanUndo());
  undo_->setText(editor.CanUndo() ? tr("&Undo %1").arg(TranslatedUndoStep(editor.UndoDescription()))
                                  : tr("&Undo"));
  redo_->setEnabled(tab.CanRedo());
  reload_->setEnabled(!tab.Path().empty());
  byteValues_->setChecked(!tab.ByteValues().isHidden());
  records_->setChecked(!tab.Records().isHidden());
  insertMode_->setChecked(editor.InsertMode());
  unicode_->setChecked(editor.UnicodeChars());
  ruler_->setChecked(editor.ShowRuler());
  lowerCase_->setChecked(editor.HexLowerCase());
  for (std::size_t kind = 0; kind < translations_.size(); ++kind)
    translations_[kind]->setChecked(editor.Translation() == kind);
  RefreshBytesPerRow();
}

void HexWindow::RefreshBytesPerRow() {
  const int bytes = Editor().BytesPerRow();
  const bool fixedChoice = std::find(std::begin(kBytesPerRowChoices), std::end(kBytesPerRowChoices),
                                     bytes) != std::end(kBytesPerRowChoices);
  otherBytesPerRow_->setText(QString::number(bytes));
  otherBytesPerRow_->setVisible(!fixedChoice);
  for (QAction* action : bytesPerRow_->actions())
    action->setChecked(action == otherBytesPerRow_ ? !fixedChoice : action->data() == bytes);
}

void HexWindow::RefreshTitleAndStatus() {
  if (tabs_->count() == 0) return;
  HexTab& tab = CurrentTab();
  const hex::THexEditorEx& editor = tab.Editor();
  RefreshTabLabel(tabs_->currentIndex());
  setWindowTitle(
      QStringLiteral("%1%2 - %3")
          .arg(tab.ShownName(), editor.Modified() ? QStringLiteral(" *") : QString(), Title()));
  const int p = editor.CursorPosition();
  position_->setText(tr("Offset %1 (0x%2) of %3")
                         .arg(p)
                         .arg(QString::number(p, 16).toUpper())
                         .arg(editor.DataSize()));
  const int low = editor.SelectionLow();
  const int high = editor.SelectionHigh();
  selection_->setText(editor.SelectionCount() > 0
                          ? tr("Selected %1 bytes from 0x%2 to 0x%3 (%4 to %5)")
                                .arg(editor.SelectionCount())
                                .arg(QString::number(low, 16).toUpper())
                                .arg(QString::number(high, 16).toUpper())
                                .arg(low)
                                .arg(high)
                          : QString());
  mode_->setText(editor.ReadOnlyView() ? tr("Read only")
                 : editor.InsertMode() ? tr("Insert")
                                       : tr("Overwrite"));
  findNotice_->setText(tab.Search().Notice());
  if (tab.ByteValues().isVisible()) tab.ByteValues().Refresh();
  view::ReportShownText("title", windowTitle());
  view::ReportShownText(
      "status",
      QStringList{position_->text(), selection_->text(), mode_->text(), findNotice_->text()}.join(
          QLatin1Char('\t')));
  RefreshMenus();
}

}  // namespace kestrave::app
