#pragma once

#include <QAbstractScrollArea>
#include <QFont>
#include <QImage>
#include <QStaticText>
#include <QTimer>
#include <array>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "hexeditor/HexEditorEx.h"
#include "hexeditor/paint/PaintModel.h"
#include "hexeditor/paint/RepaintAreas.h"
#include "platform/ole/DragDrop.h"
#include "view/KeyMapping.h"
#include "view/QtPlatform.h"

class QMenu;

namespace kestrave::view {

// The visible hex view: draws what the paint model says, double-buffered, only the visible
// cells; scrolls by rows (a 2 GiB buffer has 134 million of them); turns Qt's key, mouse, wheel,
// focus and resize events into the editor's input calls.
class HexView : public QAbstractScrollArea, public hex::IHexViewHost {
 public:
  explicit HexView(hex::THexEditorEx& editor, QWidget* parent = nullptr);
  ~HexView() override;

  hex::THexEditorEx& Editor() { return editor_; }
  // The menu shown for right clicks on the gutter and the ruler.
  void SetOffsetPopupMenu(QMenu* menu);

  // IHexViewHost: each notice becomes the rectangles to draw again, through RepaintAreas.
  void BytesChanged(std::int64_t first, std::int64_t last) override;
  void SelectionChanged(const hex::SelectionRange& old, const hex::SelectionRange& now) override;
  void CaretMoved(const hex::BytePlace& old, const hex::BytePlace& now) override;
  void CaretLookChanged() override;
  void DropMarkerMoved(const hex::BytePlace& old, const hex::BytePlace& now) override;
  void ViewChanged() override;
  // Applies the editor's font to the widget's own drawing.
  void FontChanged() override;
  // Keeps the scroll bars in step; the application keeps OnTopLeftChanged for itself.
  void TopLeftChanged() override;
  // Scroll ranges and the picture follow rows, columns and sizes at once.
  void LayoutChanged() override;
  void ScreenToClient(int& x, int& y) const override;
  // Runs the editor's auto-scroll steps while a selection or a drag rests at an edge.
  bool StartAutoScroll() override;
  void StopAutoScroll() override;

 protected:
  // Keys the editor acts on itself are taken before any window shortcut sees them.
  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dragLeaveEvent(QDragLeaveEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  bool focusNextPrevChild(bool next) override;
  void scrollContentsBy(int dx, int dy) override;

 private:
  void SyncScrollBars();
  void Repaint(const hex::RepaintArea& area);
  void RepaintRows(int firstRow, int lastRow);
  // Draws the caret where it stands now, and clears where it stood.
  void MoveCaretPicture();
  void PaintCaret(QPainter& painter);
  QRect CaretRect() const;
  // Runs an event handler through the program's one error guard; an error it raises is shown,
  // as no caller above Qt can take it. Answers whether the handler ran to its end.
  bool Guarded(const std::function<void()>& handler);
  // Passes a Qt drag over the view to the drop target registered for it, if any.
  std::int32_t DragOverTarget(QDropEvent& event, bool entering);
  void ForgetDrag();
  // The text kept laid out in the font, or none where it must be laid out as it is drawn.
  const QStaticText* LaidOut(std::u16string_view text);
  std::optional<QStaticText> LayOut(std::u16string_view text) const;

  hex::THexEditorEx& editor_;
  hex::THexPaintModel model_;
  hex::RepaintAreas areas_;
  QtTextMetrics metrics_;
  QtInputState input_;
  QtSystemColors systemColors_;
  QFont font_;
  // Texts laid out in the font, for the grid's cells.
  std::map<std::u16string, std::optional<QStaticText>, std::less<>> laidOut_;
  QRect caretRect_;
  QMenu* offsetMenu_ = nullptr;
  bool syncing_ = false;
  std::array<QImage, hex::kBookmarkIconCount> bookmarkImages_;
  platform::ole::ComPtr<platform::ole::IDropTarget> dragTarget_;  // while a drag is over us
  platform::ole::ComPtr<platform::ole::IDataObject> dragData_;
  bool dragRefused_ = false;
  QTimer autoScrollTimer_;
  friend class QtCanvas;
};

// Qt modifiers and buttons as the editor's shift state.
hex::TShiftState ShiftStateOf(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons);

}  // namespace kestrave::view
