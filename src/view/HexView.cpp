#include "view/HexView.h"

#include <algorithm>

#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>

#include "hexeditor/paint/HexCanvas.h"
#include "platform/CodePages.h"
#include "platform/Guard.h"
#include "platform/UserInterface.h"
#include "view/QtClipboard.h"
#include "view/QtDragLoop.h"

namespace kestrave::view {

namespace {

// Twenty steps a second: a row every 50 ms crosses a screenful in about a second.
constexpr int kAutoScrollInterval = 50;

QColor ToQColor(hex::TColor rgb) {
  return QColor(hex::RedOf(rgb), hex::GreenOf(rgb), hex::BlueOf(rgb));
}

QRect ToQRect(const hex::PaintRect& r) {
  return QRect(r.Left, r.Top, r.Width(), r.Height());
}

QImage ToQImage(const hex::TBookmarkImage& image) {
  QImage picture(image.Picture.Width, image.Picture.Height, QImage::Format_ARGB32);
  for (int y = 0; y < image.Picture.Height; ++y) {
    for (int x = 0; x < image.Picture.Width; ++x) {
      const hex::TColor c = image.Picture.At(x, y);
      picture.setPixel(x, y,
                       c == image.Transparent
                           ? qRgba(0, 0, 0, 0)
                           : qRgb(hex::RedOf(c), hex::GreenOf(c), hex::BlueOf(c)));
    }
  }
  return picture;
}

}  // namespace

// Draws the paint model's requests with a QPainter.
class QtCanvas : public hex::IHexCanvas {
 public:
  QtCanvas(QPainter& painter, HexView& view)
      : painter_(painter), view_(view), metrics_(view.font_), ascent_(metrics_.ascent()) {}

  void FillRect(const hex::PaintRect& rect, hex::TColor color) override {
    if (!rect.Empty()) painter_.fillRect(ToQRect(rect), ToQColor(color));
  }
  void DrawText(const hex::PaintRect& box, int x, int y, std::u16string_view text,
                hex::TColor color, hex::TColor background) override {
    painter_.fillRect(ToQRect(box), ToQColor(background));
    if (text.empty()) return;
    painter_.setPen(ToQColor(color));
    // One monospaced character fits its box; longer texts are clipped to theirs.
    const bool clip = text.size() > 1;
    if (clip) painter_.setClipRect(ToQRect(box));
    if (const QStaticText* laid = view_.LaidOut(text)) {
      painter_.drawStaticText(x, y, *laid);
    } else {
      painter_.drawText(x, y + ascent_,
                        QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size())));
    }
    if (clip) painter_.setClipping(false);
  }
  void DrawLine(int x1, int y1, int x2, int y2, hex::TColor color) override {
    painter_.setPen(ToQColor(color));
    painter_.drawLine(x1, y1, x2, y2);
  }
  void DrawFocusRect(const hex::PaintRect& rect) override {
    // The desktop's text colour, so the frame shows on a dark ground as on a light one.
    QPen pen(QGuiApplication::palette().color(QPalette::Text), 1, Qt::DotLine);
    painter_.setPen(pen);
    painter_.setBrush(Qt::NoBrush);
    painter_.drawRect(rect.Left, rect.Top, rect.Width() - 1, rect.Height() - 1);
  }
  void DrawFrame(const hex::PaintRect& rect, hex::TColor color) override {
    painter_.setPen(ToQColor(color));
    painter_.setBrush(Qt::NoBrush);
    painter_.drawRect(rect.Left, rect.Top, rect.Width() - 1, rect.Height() - 1);
  }
  void DrawImage(int x, int y, const hex::TBookmarkImage& image) override {
    for (std::size_t k = 0; k < view_.bookmarkImages_.size(); ++k)
      if (&view_.editor_.BookmarkImages()[k] == &image)
        painter_.drawImage(x, y, view_.bookmarkImages_[k]);
  }
  int TextWidth(std::u16string_view text) override {
    return metrics_.horizontalAdvance(
        QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size())));
  }

 private:
  QPainter& painter_;
  HexView& view_;
  QFontMetrics metrics_;
  int ascent_;
};

HexView::HexView(hex::THexEditorEx& editor, QWidget* parent)
    : QAbstractScrollArea(parent), editor_(editor), model_(editor), areas_(editor) {
  setFocusPolicy(Qt::StrongFocus);
  setAcceptDrops(true);
  viewport()->setAcceptDrops(true);
  setAttribute(Qt::WA_InputMethodEnabled, false);
  viewport()->setMouseTracking(true);
  viewport()->setCursor(Qt::IBeamCursor);
  viewport()->setAutoFillBackground(false);
  viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
  editor_.SetTextMetrics(metrics_);
  editor_.SetInputState(input_);
  editor_.SetSystemColors(systemColors_);
  autoScrollTimer_.setInterval(kAutoScrollInterval);
  connect(&autoScrollTimer_, &QTimer::timeout, this,
          [this] { Guarded([this] { editor_.AutoScrollStep(); }); });
  // Registering for drops may fail (another view of the same window); the view works without.
  Guarded([this] { editor_.SetViewHost(this); });
  for (std::size_t k = 0; k < bookmarkImages_.size(); ++k)
    bookmarkImages_[k] = ToQImage(editor_.BookmarkImages()[k]);
  editor_.RecalcLayout();  // measured with Qt's metrics from now on
  FontChanged();
}

HexView::~HexView() {
  ForgetDrag();
  Guarded([this] { editor_.SetViewHost(nullptr); });
  editor_.SetTextMetrics(platform::DefaultTextMetrics());
  editor_.SetInputState(platform::NoInputHeld());
  editor_.SetSystemColors(hex::DefaultSystemColors());
}

const QStaticText* HexView::LaidOut(std::u16string_view text) {
  // The grid shows few distinct texts (byte values, characters, offsets): each is laid out once.
  constexpr std::size_t kMostKept = 4096;
  auto kept = laidOut_.find(text);
  if (kept == laidOut_.end()) {
    if (laidOut_.size() >= kMostKept) laidOut_.clear();
    kept = laidOut_.emplace(std::u16string(text), LayOut(text)).first;
  }
  return kept->second ? &*kept->second : nullptr;
}

// A text of characters the font has, none of them a control or format character, the same kept
// as laid out; others (a soft hyphen, a direction mark, a glyph from another font, half a
// surrogate pair) are laid out each time they are drawn, as a kept layout shows or places some
// of them differently.
std::optional<QStaticText> HexView::LayOut(std::u16string_view text) const {
  const QFontMetrics metrics(font_);
  for (const char16_t unit : text) {
    const QChar c(unit);
    if (c.isSurrogate() || c.category() == QChar::Other_Control ||
        c.category() == QChar::Other_Format || !metrics.inFont(c))
      return std::nullopt;
  }
  QStaticText laid(QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size())));
  laid.setTextFormat(Qt::PlainText);
  laid.setPerformanceHint(QStaticText::AggressiveCaching);
  laid.prepare(QTransform(), font_);
  return laid;
}

void HexView::FontChanged() {
  font_ = ToQFont(editor_.Font());
  laidOut_.clear();
  SyncScrollBars();
  MoveCaretPicture();
  ViewChanged();
}

void HexView::SetOffsetPopupMenu(QMenu* menu) {
  offsetMenu_ = menu;
  editor_.SetHasOffsetPopupMenu(menu != nullptr);
  if (menu)
    connect(menu, &QObject::destroyed, this, [this] {
      offsetMenu_ = nullptr;
      editor_.SetHasOffsetPopupMenu(false);
    });
}

// --- Host -------------------------------------------------------------------------------------

void HexView::Repaint(const hex::RepaintArea& area) {
  for (const hex::GridCell cell : area.Cells) {
    const hex::PaintRect rect = editor_.CellRect(cell);
    if (!rect.Empty()) viewport()->update(ToQRect(rect));
  }
  for (const hex::RowSpan& rows : area.Rows)
    RepaintRows(rows.First, rows.Last);
}

void HexView::BytesChanged(std::int64_t first, std::int64_t last) {
  Repaint(areas_.OfBytes(first, last));
}

void HexView::SelectionChanged(const hex::SelectionRange& old, const hex::SelectionRange& now) {
  Repaint(areas_.OfSelectionChange(old, now));
}

void HexView::CaretMoved(const hex::BytePlace& old, const hex::BytePlace& now) {
  Repaint(areas_.OfCaretMove(old, now));
  MoveCaretPicture();
}

void HexView::DropMarkerMoved(const hex::BytePlace& old, const hex::BytePlace& now) {
  Repaint(areas_.OfDropMarkerMove(old, now));
}

void HexView::RepaintRows(int firstRow, int lastRow) {
  const int top = std::max(firstRow, editor_.TopRow());
  const int bottom = std::min(lastRow, editor_.TopRow() + editor_.VisibleRowCount() + 1);
  if (top > bottom) return;
  const hex::PaintRect first = editor_.CellRect({0, top});
  const hex::PaintRect last = editor_.CellRect({0, bottom});
  const int y = first.Empty() ? 0 : first.Top;
  const int y2 = last.Empty() ? viewport()->height() : last.Bottom;
  viewport()->update(QRect(0, y, viewport()->width(), y2 - y));
}

void HexView::ViewChanged() {
  viewport()->update();
}

QRect HexView::CaretRect() const {
  if (!hasFocus()) return {};
  const hex::PaintRect rect = editor_.CaretRect();
  switch (editor_.EffectiveCaretKind()) {
    case hex::ckLeft:
      return QRect(rect.Left, rect.Top, 2, rect.Height());
    case hex::ckBottom:
      return QRect(rect.Left, rect.Bottom - 2, rect.Width(), 2);
    default:
      return ToQRect(rect);
  }
}

void HexView::MoveCaretPicture() {
  viewport()->update(caretRect_);
  caretRect_ = CaretRect();
  viewport()->update(caretRect_);
}

void HexView::CaretLookChanged() {
  MoveCaretPicture();
}

void HexView::TopLeftChanged() {
  SyncScrollBars();
}

void HexView::LayoutChanged() {
  SyncScrollBars();
  ViewChanged();
}

bool HexView::StartAutoScroll() {
  if (!autoScrollTimer_.isActive()) autoScrollTimer_.start();
  return true;
}

void HexView::StopAutoScroll() {
  autoScrollTimer_.stop();
}

void HexView::ScreenToClient(int& x, int& y) const {
  const QPoint local = viewport()->mapFromGlobal(QPoint(x, y));
  x = local.x();
  y = local.y();
}

bool HexView::Guarded(const std::function<void()>& handler) {
  return platform::RunGuarded(handler);
}

// --- Painting ---------------------------------------------------------------------------------

void HexView::paintEvent(QPaintEvent* event) {
  QPainter painter(viewport());
  if (editor_.PaintLocked()) {
    // Nothing of a change under way is shown, nor left-over pixels; the unlock draws it all.
    painter.fillRect(event->rect(), ToQColor(editor_.ViewColor(hex::THexColors::Background)));
    return;
  }
  Guarded([&] {
    painter.setFont(font_);
    QtCanvas canvas(painter, *this);
    const QRect clip = event->rect();
    model_.Paint(canvas, {clip.left(), clip.top(), clip.right() + 1, clip.bottom() + 1});
    PaintCaret(painter);
  });
}

// The caret inverts what lies under it.
void HexView::PaintCaret(QPainter& painter) {
  caretRect_ = CaretRect();
  if (caretRect_.isEmpty()) return;
  painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
  painter.fillRect(caretRect_, Qt::white);
  painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

void HexView::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  Guarded([this] {
    const int caretRow = editor_.CursorCell().Row;
    const bool caretShown =
        caretRow >= editor_.TopRow() && caretRow < editor_.TopRow() + editor_.VisibleRowCount();
    editor_.SetClientSize(viewport()->width(), viewport()->height());
    // A caret the view showed stays in view: a smaller window scrolls down to its row.
    if (caretShown) {
      const int visible = editor_.VisibleRowCount();
      if (caretRow >= editor_.TopRow() + visible) editor_.SetTopRow(caretRow - visible + 1);
      if (caretRow < editor_.TopRow()) editor_.SetTopRow(caretRow);
    }
    SyncScrollBars();
  });
}

// Setting a range may show or hide a scroll bar, which resizes the viewport and syncs again
// from inside; the outer sync stays a sync until it ends.
void HexView::SyncScrollBars() {
  const bool outer = !syncing_;
  syncing_ = true;
  verticalScrollBar()->setRange(hex::GridGeometry::kFirstDataRow, editor_.MaxTopRow());
  verticalScrollBar()->setPageStep(editor_.VisibleRowCount());
  verticalScrollBar()->setValue(editor_.TopRow());
  horizontalScrollBar()->setRange(hex::GridGeometry::kFirstDataCol, editor_.MaxLeftCol());
  horizontalScrollBar()->setPageStep(editor_.VisibleColCount());
  horizontalScrollBar()->setValue(editor_.LeftCol());
  if (outer) syncing_ = false;
  MoveCaretPicture();
}

void HexView::scrollContentsBy(int, int) {
  if (syncing_) return;
  Guarded([this] {
    editor_.SetTopRow(verticalScrollBar()->value());
    editor_.SetLeftCol(horizontalScrollBar()->value());
  });
}

// --- Input ------------------------------------------------------------------------------------

hex::TShiftState ShiftStateOf(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons) {
  hex::TShiftState shift = 0;
  if (modifiers & Qt::ShiftModifier) shift |= hex::ssShift;
  if (modifiers & Qt::ControlModifier) shift |= hex::ssCtrl;
  if (modifiers & Qt::AltModifier) shift |= hex::ssAlt;
  if (buttons & Qt::LeftButton) shift |= hex::ssLeft;
  if (buttons & Qt::RightButton) shift |= hex::ssRight;
  if (buttons & Qt::MiddleButton) shift |= hex::ssMiddle;
  return shift;
}

// The X keycode of the key pressed, where the platform reports one.
static std::uint32_t XKeycodeOf(const QKeyEvent& event) {
  static const bool reported = ReportsXKeycodes(QGuiApplication::platformName().toStdString());
  return reported ? event.nativeScanCode() : 0;
}

void HexView::keyPressEvent(QKeyEvent* event) {
  Guarded([&] {
    const hex::TShiftState shift = ShiftStateOf(event->modifiers(), Qt::NoButton);
    const int key = EditorKeyOf(event->key(), XKeycodeOf(*event));
    if (key != hex::vkNone) editor_.KeyDown(key, shift);
    // Characters come after their key, in the Windows code page, as typed text.
    if (!(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
      const std::string typed =
          platform::Utf16ToCodePage(platform::AnsiCodePage(), event->text().toStdU16String());
      for (const char c : typed)
        editor_.KeyPress(static_cast<std::uint8_t>(c));
    }
    event->accept();
  });
}

// A window shortcut on a key the editor acts on would take it away from the view (or act
// twice); every other key, Ctrl+F or F3 say, goes on to the window's shortcuts.
bool HexView::event(QEvent* event) {
  // The colours the user has not chosen follow the desktop's palette.
  if (event->type() == QEvent::PaletteChange || event->type() == QEvent::ApplicationPaletteChange)
    ViewChanged();
  if (event->type() == QEvent::ShortcutOverride) {
    auto* keyEvent = static_cast<QKeyEvent*>(event);
    const hex::TShiftState shift = ShiftStateOf(keyEvent->modifiers(), Qt::NoButton);
    const int key = EditorKeyOf(keyEvent->key(), XKeycodeOf(*keyEvent));
    const bool typing = !(keyEvent->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) &&
                        !keyEvent->text().isEmpty() && keyEvent->text().front().isPrint();
    if (typing || (key != hex::vkNone && hex::THexEditorEx::HandlesKey(key, shift))) {
      event->accept();
      return true;
    }
  }
  return QAbstractScrollArea::event(event);
}

void HexView::mousePressEvent(QMouseEvent* event) {
  Guarded([&] {
    setFocus(Qt::MouseFocusReason);
    const QPoint at = event->position().toPoint();
    const hex::TMouseButton button = event->button() == Qt::RightButton ? hex::TMouseButton::Right
                                     : event->button() == Qt::MiddleButton
                                         ? hex::TMouseButton::Middle
                                         : hex::TMouseButton::Left;
    editor_.MouseDown(button, ShiftStateOf(event->modifiers(), event->buttons()), at.x(), at.y());
  });
}

void HexView::mouseMoveEvent(QMouseEvent* event) {
  Guarded([&] {
    const QPoint at = event->position().toPoint();
    const hex::TShiftState shift = ShiftStateOf(event->modifiers(), event->buttons());
    editor_.MouseMove(shift, at.x(), at.y());
    viewport()->setCursor(editor_.ArrowCursorAt(at.x(), at.y(), shift) ? Qt::ArrowCursor
                                                                       : Qt::IBeamCursor);
  });
}

void HexView::mouseReleaseEvent(QMouseEvent* event) {
  Guarded([&] {
    const QPoint at = event->position().toPoint();
    editor_.MouseUp(
        event->button() == Qt::RightButton ? hex::TMouseButton::Right : hex::TMouseButton::Left,
        ShiftStateOf(event->modifiers(), event->buttons()), at.x(), at.y());
  });
}

void HexView::mouseDoubleClickEvent(QMouseEvent* event) {
  Guarded([&] {
    const QPoint at = event->position().toPoint();
    editor_.MouseDown(hex::TMouseButton::Left,
                      ShiftStateOf(event->modifiers(), event->buttons()) | hex::ssDouble, at.x(),
                      at.y());
    editor_.DoubleClick(at.x(), at.y());
  });
}

void HexView::wheelEvent(QWheelEvent* event) {
  const int delta = event->angleDelta().y();
  if (delta == 0) return QAbstractScrollArea::wheelEvent(event);
  bool handled = false;
  const bool completed = Guarded([&] {
    handled = editor_.MouseWheel(delta < 0, ShiftStateOf(event->modifiers(), Qt::NoButton));
    if (handled) SyncScrollBars();
  });
  // A wheel turn the editor failed on is not passed on to scroll as well.
  if (handled || !completed) return event->accept();
  QAbstractScrollArea::wheelEvent(event);
}

void HexView::focusInEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusInEvent(event);
  Guarded([this] { editor_.SetFocused(true); });
}

void HexView::focusOutEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusOutEvent(event);
  Guarded([this] { editor_.SetFocused(false); });
}

void HexView::contextMenuEvent(QContextMenuEvent* event) {
  if (event->reason() == QContextMenuEvent::Mouse && offsetMenu_ &&
      editor_.ShowsOffsetPopupAt(event->pos().x(), event->pos().y())) {
    offsetMenu_->popup(event->globalPos());
    return;
  }
  QAbstractScrollArea::contextMenuEvent(event);
}

// Tab reaches the view while it wants tabs.
bool HexView::focusNextPrevChild(bool next) {
  if (editor_.WantTabs()) return false;
  return QAbstractScrollArea::focusNextPrevChild(next);
}

// --- Drops ------------------------------------------------------------------------------------

// Qt's drag events become the calls of the drop target registered for this view, so a drag
// from another view, another window or another program meets the same rules as one of ours.
std::int32_t HexView::DragOverTarget(QDropEvent& event, bool entering) {
  std::int32_t effect = EffectsOf(event.possibleActions());
  if (!dragTarget_) return platform::ole::DROPEFFECT_NONE;
  const QPoint screen = viewport()->mapToGlobal(event.position().toPoint());
  const platform::ole::POINTL point{screen.x(), screen.y()};
  const std::uint32_t keys = KeyStateOf(event.modifiers(), event.buttons());
  const platform::ole::HResult result =
      entering ? dragTarget_->DragEnter(dragData_.Get(), keys, point, effect)
               : dragTarget_->DragOver(keys, point, effect);
  // A target that refused the data at the door still follows the mouse, but takes nothing.
  if (entering) dragRefused_ = result != platform::ole::S_OK;
  return dragRefused_ || !platform::ole::Succeeded(result) ? platform::ole::DROPEFFECT_NONE
                                                           : effect;
}

// An effect the source does not offer cannot be performed; the drag then shows "no drop".
static void AnswerDrag(QDropEvent& event, std::int32_t effect) {
  const Qt::DropAction action = QtActionOf(effect);
  if (action != Qt::IgnoreAction && (event.possibleActions() & action)) {
    event.setDropAction(action);
    event.accept();
  } else {
    event.ignore();
  }
}

void HexView::dragEnterEvent(QDragEnterEvent* event) {
  Guarded([&] {
    ForgetDrag();
    dragTarget_ = platform::ole::RegisteredDropTarget(editor_.WindowHandle());
    if (!dragTarget_) return event->ignore();
    const auto* ours = dynamic_cast<const HexMimeData*>(event->mimeData());
    dragData_ = ours ? platform::ole::ComPtr<platform::ole::IDataObject>(ours->DataObject())
                     : ForeignDataObject(*event->mimeData());
    AnswerDrag(*event, DragOverTarget(*event, true));
    // Qt sends no moves to a widget that refused the enter, and the effect may change with
    // the position or the keys.
    event->accept();
  });
}

void HexView::dragMoveEvent(QDragMoveEvent* event) {
  Guarded([&] { AnswerDrag(*event, DragOverTarget(*event, false)); });
}

void HexView::dragLeaveEvent(QDragLeaveEvent* event) {
  Guarded([&] {
    if (dragTarget_) dragTarget_->DragLeave();
    ForgetDrag();
    event->accept();
  });
}

void HexView::dropEvent(QDropEvent* event) {
  Guarded([&] {
    if (!dragTarget_) return event->ignore();
    // The target picks its effect without asking what the source allows; a drop the source
    // could not take part in (a copy from a source that only moves) must not change the data.
    if (!(event->possibleActions() & QtActionOf(DragOverTarget(*event, false)))) {
      dragTarget_->DragLeave();
      ForgetDrag();
      return event->ignore();
    }
    std::int32_t effect = EffectsOf(event->possibleActions());
    const QPoint screen = viewport()->mapToGlobal(event->position().toPoint());
    const platform::ole::HResult result =
        dragTarget_->Drop(dragData_.Get(), KeyStateOf(event->modifiers(), event->buttons()),
                          {screen.x(), screen.y()}, effect);
    ForgetDrag();
    AnswerDrag(*event, !platform::ole::Succeeded(result) ? platform::ole::DROPEFFECT_NONE : effect);
  });
}

void HexView::ForgetDrag() {
  dragRefused_ = false;
  dragTarget_ = {};
  dragData_ = {};
}

}  // namespace kestrave::view
