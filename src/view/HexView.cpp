#include "view/HexView.h"

#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>

#include "hexeditor/view/HexCanvas.h"
#include "platform/CodePages.h"

namespace kestrave::view {

namespace {

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
    const QString string = QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
    painter_.setPen(ToQColor(color));
    // One monospaced character fits its box; longer texts are clipped to theirs.
    const bool clip = text.size() > 1;
    if (clip) painter_.setClipRect(ToQRect(box));
    painter_.drawText(x, y + ascent_, string);
    if (clip) painter_.setClipping(false);
  }
  void DrawLine(int x1, int y1, int x2, int y2, hex::TColor color) override {
    painter_.setPen(ToQColor(color));
    painter_.drawLine(x1, y1, x2, y2);
  }
  void DrawFocusRect(const hex::PaintRect& rect) override {
    QPen pen(Qt::black, 1, Qt::DotLine);
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
    : QAbstractScrollArea(parent), editor_(editor), model_(editor) {
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_InputMethodEnabled, false);
  viewport()->setMouseTracking(true);
  viewport()->setCursor(Qt::IBeamCursor);
  viewport()->setAutoFillBackground(false);
  viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
  editor_.SetTextMetrics(metrics_);
  editor_.SetInputState(input_);
  editor_.SetSystemColors(systemColors_);
  editor_.SetViewHost(this);
  editor_.OnTopLeftChanged = [this](hex::TCustomHexEditor&) { SyncScrollBars(); };
  editor_.Colors().OnChange = [this](hex::THexColors::Index) { InvalidateAll(); };
  for (std::size_t k = 0; k < bookmarkImages_.size(); ++k)
    bookmarkImages_[k] = ToQImage(editor_.BookmarkImages()[k]);
  FontChanged();
}

HexView::~HexView() {
  editor_.SetViewHost(nullptr);
  editor_.OnTopLeftChanged = nullptr;
  editor_.Colors().OnChange = nullptr;
  editor_.SetTextMetrics(platform::DefaultTextMetrics());
  editor_.SetInputState(platform::NoInputHeld());
  editor_.SetSystemColors(hex::DefaultSystemColors());
}

void HexView::FontChanged() {
  font_ = QFont(QString::fromStdString(editor_.Font().Name));
  font_.setStyleHint(QFont::Monospace);
  font_.setFixedPitch(true);
  font_.setPixelSize(std::max(editor_.Font().Height, 1));
  editor_.RecalcLayout();
  SyncScrollBars();
  CaretShapeChanged();
  InvalidateAll();
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

void HexView::InvalidateCell(hex::GridCell cell) {
  const hex::PaintRect rect = editor_.CellRect(cell);
  if (!rect.Empty()) viewport()->update(ToQRect(rect));
}

void HexView::InvalidateRows(int firstRow, int lastRow) {
  const int top = std::max(firstRow, editor_.TopRow());
  const int bottom = std::min(lastRow, editor_.TopRow() + editor_.VisibleRowCount() + 1);
  if (top > bottom) return;
  const hex::PaintRect first = editor_.CellRect({0, top});
  const hex::PaintRect last = editor_.CellRect({0, bottom});
  const int y = first.Empty() ? 0 : first.Top;
  const int y2 = last.Empty() ? viewport()->height() : last.Bottom;
  viewport()->update(QRect(0, y, viewport()->width(), y2 - y));
}

void HexView::InvalidateAll() {
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

void HexView::PlaceCaret(hex::GridCell) {
  viewport()->update(caretRect_);
  caretRect_ = CaretRect();
  viewport()->update(caretRect_);
}

void HexView::CaretShapeChanged() {
  PlaceCaret({});
}

// --- Painting ---------------------------------------------------------------------------------

void HexView::paintEvent(QPaintEvent* event) {
  if (editor_.PaintLocked()) return;
  QPainter painter(viewport());
  painter.setFont(font_);
  QtCanvas canvas(painter, *this);
  const QRect clip = event->rect();
  model_.Paint(canvas, {clip.left(), clip.top(), clip.right() + 1, clip.bottom() + 1});
  PaintCaret(painter);
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
  editor_.SetClientSize(viewport()->width(), viewport()->height());
  SyncScrollBars();
}

void HexView::SyncScrollBars() {
  syncing_ = true;
  verticalScrollBar()->setRange(2, editor_.MaxTopRow());
  verticalScrollBar()->setPageStep(editor_.VisibleRowCount());
  verticalScrollBar()->setValue(editor_.TopRow());
  horizontalScrollBar()->setRange(2, editor_.MaxLeftCol());
  horizontalScrollBar()->setPageStep(editor_.VisibleColCount());
  horizontalScrollBar()->setValue(editor_.LeftCol());
  syncing_ = false;
  PlaceCaret({});
}

void HexView::scrollContentsBy(int, int) {
  if (syncing_) return;
  editor_.SetTopRow(verticalScrollBar()->value());
  editor_.SetLeftCol(horizontalScrollBar()->value());
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

int EditorKeyOf(int qtKey) {
  switch (qtKey) {
    case Qt::Key_Backspace:
      return hex::vkBack;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
      return hex::vkTab;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return hex::vkReturn;
    case Qt::Key_Shift:
      return hex::vkShift;
    case Qt::Key_Control:
      return hex::vkControl;
    case Qt::Key_Escape:
      return hex::vkEscape;
    case Qt::Key_PageUp:
      return hex::vkPrior;
    case Qt::Key_PageDown:
      return hex::vkNext;
    case Qt::Key_End:
      return hex::vkEnd;
    case Qt::Key_Home:
      return hex::vkHome;
    case Qt::Key_Left:
      return hex::vkLeft;
    case Qt::Key_Up:
      return hex::vkUp;
    case Qt::Key_Right:
      return hex::vkRight;
    case Qt::Key_Down:
      return hex::vkDown;
    case Qt::Key_Insert:
      return hex::vkInsert;
    case Qt::Key_Delete:
      return hex::vkDelete;
    default:
      break;
  }
  if ((qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) || (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z))
    return qtKey;  // Qt's codes for digits and letters are their characters
  return hex::vkNone;
}

void HexView::keyPressEvent(QKeyEvent* event) {
  const hex::TShiftState shift = ShiftStateOf(event->modifiers(), Qt::NoButton);
  const int key = EditorKeyOf(event->key());
  if (key != hex::vkNone) editor_.KeyDown(key, shift);
  // Characters come after their key, in the Windows code page, as typed text.
  if (!(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
    const std::string typed =
        platform::Utf16ToCodePage(platform::AnsiCodePage(), event->text().toStdU16String());
    for (const char c : typed)
      editor_.KeyPress(static_cast<std::uint8_t>(c));
  }
  event->accept();
}

void HexView::mousePressEvent(QMouseEvent* event) {
  setFocus(Qt::MouseFocusReason);
  const QPoint at = event->position().toPoint();
  const hex::TMouseButton button = event->button() == Qt::RightButton    ? hex::TMouseButton::Right
                                   : event->button() == Qt::MiddleButton ? hex::TMouseButton::Middle
                                                                         : hex::TMouseButton::Left;
  editor_.MouseDown(button, ShiftStateOf(event->modifiers(), event->buttons()), at.x(), at.y());
}

void HexView::mouseMoveEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  const hex::TShiftState shift = ShiftStateOf(event->modifiers(), event->buttons());
  editor_.MouseMove(shift, at.x(), at.y());
  viewport()->setCursor(editor_.ArrowCursorAt(at.x(), at.y(), shift) ? Qt::ArrowCursor
                                                                     : Qt::IBeamCursor);
}

void HexView::mouseReleaseEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  editor_.MouseUp(
      event->button() == Qt::RightButton ? hex::TMouseButton::Right : hex::TMouseButton::Left,
      ShiftStateOf(event->modifiers(), event->buttons()), at.x(), at.y());
}

void HexView::mouseDoubleClickEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  editor_.MouseDown(hex::TMouseButton::Left,
                    ShiftStateOf(event->modifiers(), event->buttons()) | hex::ssDouble, at.x(),
                    at.y());
  editor_.DoubleClick(at.x(), at.y());
}

void HexView::wheelEvent(QWheelEvent* event) {
  const int delta = event->angleDelta().y();
  if (delta == 0) return QAbstractScrollArea::wheelEvent(event);
  if (editor_.MouseWheel(delta < 0, ShiftStateOf(event->modifiers(), Qt::NoButton))) {
    if (event->modifiers() & Qt::ControlModifier) FontChanged();
    SyncScrollBars();
    event->accept();
    return;
  }
  QAbstractScrollArea::wheelEvent(event);
}

void HexView::focusInEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusInEvent(event);
  editor_.SetFocused(true);
}

void HexView::focusOutEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusOutEvent(event);
  editor_.SetFocused(false);
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

}  // namespace kestrave::view
