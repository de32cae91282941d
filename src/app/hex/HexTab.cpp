#include "app/hex/HexTab.h"

#include "app/hex/EditorTexts.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QDockWidget>
#include <QKeyEvent>
#include <QMenu>

#include "app/hex/ByteValuesDock.h"
#include "app/hex/CellTints.h"
#include "app/hex/FileLimits.h"
#include "app/hex/FindBar.h"
#include "app/hex/RecentFilesMenu.h"
#include "app/hex/RecordsDock.h"
#include "platform/FileSystem.h"
#include "view/HexView.h"
#include "view/KeyMapping.h"
#include "view/QtPlatform.h"

namespace kestrave::app {
namespace {

constexpr int kRecordsHeight = 200;

bool WorthShowingProgress(const hex::THexEditorEx& editor, hex::THexProgressKind kind,
                          const std::string& name) {
  if (kind == hex::pkFind || editor.DataSize() >= kProgressFrom) return true;
  return platform::FileSizeOf(name).value_or(0) >= kProgressFrom;
}

}  // namespace

HexTab::HexTab(const Services& services, QWidget* parent)
    : QMainWindow(parent),
      dialogs_(services.Dialogs),
      recent_(services.Recent),
      run_(services.RunStep),
      view_(new view::HexView(editor_, this)),
      findBar_(new FindBar(this)),
      byteValues_(new ByteValuesDock(editor_, dialogs_, run_, this)),
      records_(new RecordsDock(editor_, dialogs_, run_, this)),
      disk_(dialogs_,
            {[this] { return editor_.Modified(); }, [this] { return isVisible(); },
             services.WorkRuns, [this] { files_.ReloadFromDisk(); }},
            *this),
      files_(editor_, dialogs_, disk_, run_),
      search_(editor_, dialogs_, *findBar_, run_, [this] { view_->ViewChanged(); }) {
  // A page inside the window's tabs, not a window of its own.
  setWindowFlags(Qt::Widget);
  editor_.Loaded();
  editor_.SetBusyIndicator(&services.Busy);
  setCentralWidget(view_);
  view_->installEventFilter(this);
  editor_.OnSelectionChanged = [this](hex::TCustomHexEditor&) { StateChanged(); };
  editor_.OnChange = [this](hex::TCustomHexEditor&) {
    records_->DataChanged();
    search_.DataChanged();
    StateChanged();
  };
  editor_.OnDrawCell = [this](hex::TCustomHexEditor&, hex::IHexCanvas& canvas, int col, int row,
                              std::u16string& text, hex::PaintRect box, bool& defaultDraw) {
    search_.DrawMatchCell(canvas, col, row, text, box, defaultDraw);
    if (defaultDraw) DrawRecordCell(canvas, col, row, text, box, defaultDraw);
  };
  editor_.OnProgress = [this](hex::TCustomHexEditor&, hex::THexProgressKind kind,
                              const std::string& name, std::uint8_t percent,
                              bool& cancel) { ShowProgress(kind, name, percent, cancel); };
  search_.OnNoticeChanged = [this] { StateChanged(); };
  files_.OnLoaded = [this](const std::string& path) { Loaded(path); };
  files_.OnSaved = [this](const std::string& path) {
    recent_.Remember(path);
    StateChanged();
  };
  files_.OnEmptied = [this] {
    search_.ForgetFile();
    records_->Rescan();
    StateChanged();
  };
  addToolBar(Qt::BottomToolBarArea, findBar_);
  findBar_->hide();
  addDockWidget(Qt::RightDockWidgetArea, byteValues_);
  // Shown on request (View > Byte Values, Ctrl+I): a row of 16 bytes keeps its room.
  byteValues_->hide();
  connect(byteValues_, &QDockWidget::visibilityChanged, this, [this] { StateChanged(); });
  records_->OnRecordsChanged = [this] { view_->ViewChanged(); };
  addDockWidget(Qt::BottomDockWidgetArea, records_);
  // Shown by itself when a file with records opens (View > Records, Ctrl+R).
  records_->hide();
  connect(records_, &QDockWidget::visibilityChanged, this, [this] {
    view_->ViewChanged();
    StateChanged();
  });
  run_([this] { editor_.SetOleDragDrop(true); });
  setFocusProxy(view_);
}

HexTab::~HexTab() {
  // The panels hide with the tab after the view has gone: they no longer tell the tab.
  QObject::disconnect(records_, &QDockWidget::visibilityChanged, this, nullptr);
  QObject::disconnect(byteValues_, &QDockWidget::visibilityChanged, this, nullptr);
  records_->OnRecordsChanged = nullptr;
  search_.OnNoticeChanged = nullptr;
  // The view talks to the editor until it is gone, and Qt would delete it after the editor.
  delete view_;
  editor_.OnSelectionChanged = nullptr;
  editor_.OnChange = nullptr;
  editor_.OnDrawCell = nullptr;
  editor_.OnProgress = nullptr;
  editor_.SetBusyIndicator(nullptr);
}

void HexTab::StateChanged() {
  if (OnStateChanged) OnStateChanged();
}

QString HexTab::ShownName() const {
  return DocumentName(editor_.FileName());
}

bool HexTab::Blank() const {
  return Path().empty() && !editor_.Modified() && editor_.DataSize() == 0;
}

bool HexTab::Open(const std::string& path) {
  RememberPosition();
  return files_.Load(path);
}

void HexTab::Loaded(const std::string& path) {
  search_.ForgetFile();
  records_->Rescan();
  if (records_->Records().Count() > 0) ShowRecords();
  recent_.Remember(path);
  // A recent file opens where it was left, if that place is still in it.
  const std::int64_t position = RecentFilesMenu::PositionOf(path);
  if (position > 0 && position < editor_.DataSize())
    run_([&] { editor_.SetSelectionStart(static_cast<int>(position)); });
  StateChanged();
}

void HexTab::RememberPosition() {
  if (editor_.DataSize() == 0) return;
  RecentFilesMenu::RememberPosition(Path(), editor_.CursorPosition());
}

void HexTab::Undo() {
  run_([this] { editor_.Undo(); });
}

void HexTab::Redo() {
  if (search_.CanRedoReplaceAll())
    search_.RedoReplaceAll();
  else
    run_([this] { editor_.Redo(); });
}

bool HexTab::CanRedo() {
  return editor_.CanRedo() || search_.CanRedoReplaceAll();
}

void HexTab::ShowRecords() {
  const bool first = !recordsShown_;
  recordsShown_ = true;
  records_->show();
  records_->raise();
  if (first) resizeDocks({records_}, {kRecordsHeight}, Qt::Vertical);
}

void HexTab::SetOffsetMenu(QMenu* menu) {
  offsetMenu_ = menu;
  view_->SetOffsetPopupMenu(menu);
}

// Over the offset of the caret's row, its current format active, so the arrows start there.
void HexTab::PopUpOffsetMenu() {
  if (!offsetMenu_) return;
  const hex::GridCell caret = editor_.CursorCell();
  const hex::PaintRect cell = editor_.CellRect({0, caret.Row});
  QPoint at(cell.Left, cell.Bottom);
  if (cell.Empty() || !view_->viewport()->rect().contains(at)) at = QPoint(0, 0);
  emit offsetMenu_->aboutToShow();
  QAction* current = nullptr;
  for (QAction* action : offsetMenu_->actions())
    if (action->isChecked()) current = action;
  offsetMenu_->popup(view_->viewport()->mapToGlobal(at), current);
  if (current) offsetMenu_->setActiveAction(current);
}

bool HexTab::IsRedoKey(const QKeyEvent& key) const {
  const std::uint32_t xKeycode =
      view::ReportsXKeycodes(QGuiApplication::platformName().toStdString()) ? key.nativeScanCode()
                                                                            : 0;
  return view::EditorKeyOf(key.key(), xKeycode) == 'Z' &&
         (key.modifiers() & (Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier |
                             Qt::MetaModifier)) == (Qt::ControlModifier | Qt::ShiftModifier);
}

bool HexTab::eventFilter(QObject* watched, QEvent* event) {
  if (watched != view_) return QMainWindow::eventFilter(watched, event);
  if (event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Menu ||
        (key->key() == Qt::Key_F10 && key->modifiers() == Qt::ShiftModifier)) {
      PopUpOffsetMenu();
      return true;
    }
    // The editor redoes one step, never a group: a Replace All undone is redone here.
    if (search_.CanRedoReplaceAll() && IsRedoKey(*key)) {
      search_.RedoReplaceAll();
      return true;
    }
    refreshLater_.Request();
  } else if (event->type() == QEvent::ContextMenu &&
             static_cast<QContextMenuEvent*>(event)->reason() != QContextMenuEvent::Mouse) {
    PopUpOffsetMenu();
    return true;
  }
  return QMainWindow::eventFilter(watched, event);
}

void HexTab::hideEvent(QHideEvent* event) {
  if (!event->spontaneous()) {
    for (QDockWidget* dock :
         {static_cast<QDockWidget*>(byteValues_), static_cast<QDockWidget*>(records_)})
      if (dock->isFloating() && !dock->isHidden()) {
        floatingHidden_.push_back(dock);
        dock->hide();
      }
  }
  QMainWindow::hideEvent(event);
}

void HexTab::showEvent(QShowEvent* event) {
  for (QWidget* dock : floatingHidden_)
    dock->show();
  floatingHidden_.clear();
  QMainWindow::showEvent(event);
}

void HexTab::ShowProgress(hex::THexProgressKind kind, const std::string& name, int percent,
                          bool& cancel) {
  if (!WorthShowingProgress(editor_, kind, name)) return;
  const QString what = kind == hex::pkLoad   ? tr("Loading %1")
                       : kind == hex::pkSave ? tr("Saving %1")
                                             : tr("Searching %1");
  cancel = dialogs_.ShowProgress(
      what.arg(QString::fromStdString(platform::BaseNameOf(name))).toStdString(), percent);
  if (percent >= 100) dialogs_.EndProgress();
}

void HexTab::DrawRecordCell(hex::IHexCanvas& canvas, int col, int row, const std::u16string& text,
                            const hex::PaintRect& box, bool& defaultDraw) {
  if (records_->isHidden()) return;
  const int position = editor_.DrawnPosition();
  if (position < 0 || editor_.DrawnSelected()) return;
  const RecordReport& records = records_->Records();
  const int record = records.RecordAt(position);
  if (record < 0 || position >= records.DataSize()) return;
  const std::int64_t next = editor_.CellToPosition({col + 1, row});
  const bool joined = TintJoinsNextCell(editor_, col) && next < records.DataSize() &&
                      records.RecordAt(next) == record &&
                      !search_.Highlighted().Covers(static_cast<int>(next));
  // Records alternate between two tints of the palette, apart from the matches'.
  const hex::TDesktopTints tints = view::DesktopTints();
  DrawTintedCell(editor_, canvas, col, row, text, box, tints.RecordBackgrounds[record % 2],
                 tints.RecordText, joined);
  defaultDraw = false;
}

}  // namespace kestrave::app
