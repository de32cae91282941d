// Drag and drop: the drop effects, the drop marker, what a drop inserts, and drags out of the
// selection.
#include <algorithm>
#include <cstdlib>

#include "hexeditor/HexEditorEx.h"
#include "hexeditor/input/AutoScroll.h"
#include "hexeditor/input/HexInput.h"
#include "hexeditor/transfer/HexDataObject.h"
#include "hexeditor/transfer/HexDropTarget.h"
#include "platform/ole/OleError.h"

namespace kestrave::hex {

namespace ole = platform::ole;

namespace {

constexpr char kDroppedDescription[] = "Data Dropped";
constexpr char kMovedDescription[] = "Data Moved";

// Lifts the size restriction for the length of a move inside one editor.
class SizeRestrictionLifted {
 public:
  explicit SizeRestrictionLifted(THexEditorEx& editor) : editor_(editor) {
    editor_.SetIgnoreNoSizeChange(true);
  }
  ~SizeRestrictionLifted() { editor_.SetIgnoreNoSizeChange(false); }
  SizeRestrictionLifted(const SizeRestrictionLifted&) = delete;
  SizeRestrictionLifted& operator=(const SizeRestrictionLifted&) = delete;

 private:
  THexEditorEx& editor_;
};

}  // namespace

// --- Registration -----------------------------------------------------------------------------

// Registered first, stored after: a registration that fails leaves the property as it was.
void THexEditorEx::SetOleDragDrop(bool value) {
  if (value == oleDragDrop_) return;
  dropTarget_->SetRegistered(value);
  oleDragDrop_ = value;
}

// A hidden editor has no window of its own; its host's address stands for one while it is
// registered.
ole::HWND THexEditorEx::WindowHandle() const {
  return Host().WindowHandle();
}

void THexEditorEx::SetViewHost(IHexViewHost* host) {
  if (ShownBy(host)) return;
  FollowAutoScroll(false);  // the timer belongs to the old window
  try {
    dropTarget_->SetRegistered(false);
  } catch (const std::exception&) {
    // The old window is gone either way; its registration no longer matters.
  }
  TCustomHexEditor::SetViewHost(host);
  if (host && oleDragDrop_) dropTarget_->SetRegistered(true);
}

void THexEditorEx::ScreenToClient(int& x, int& y) const {
  Host().ScreenToClient(x, y);
}

// --- Drop side --------------------------------------------------------------------------------

// Inside one editor moving is the default; from outside copying is, and Shift over a file list
// links (the names are inserted).
HResult THexEditorEx::ComputeDropEffect(std::uint32_t keyState, std::int32_t& effect) const {
  if (dragging_) {
    const bool copy = ReadOnlyView() || (keyState & ole::MK_CONTROL) != 0;
    effect = copy ? ole::DROPEFFECT_COPY : ole::DROPEFFECT_MOVE;
    return ole::S_OK;
  }
  const bool move = (keyState & ole::MK_SHIFT) != 0 && !ReadOnlyView();
  effect = move ? ole::DROPEFFECT_MOVE : ole::DROPEFFECT_COPY;
  if (chosenFormat_[0] == ole::CF_HDROP && effect == ole::DROPEFFECT_MOVE)
    effect = ole::DROPEFFECT_LINK;
  return ole::S_OK;
}

// The areas around the cells stand for the data next to them: the gutter for its row's start,
// the ruler for the top visible row, the space beside a row for its last byte. Below the last
// row lies the end of the data, where a drop appends; with a fixed size, the last byte, which
// a drop may still overwrite.
int THexEditorEx::DropPositionAt(int x, int y) {
  const GridCell pointed = PointedCell(*this, x, y);
  constexpr int kFirstCol = GridGeometry::kFirstDataCol;
  constexpr int kFirstRow = GridGeometry::kFirstDataRow;
  const int lastCol = std::max(ColCount() - 1, kFirstCol);
  const int row = pointed.Row < kFirstRow ? TopRow() : pointed.Row;
  const GridCell cell{std::clamp(pointed.Col, kFirstCol, lastCol),
                      std::clamp(row, kFirstRow, std::max(RowCount() - 1, kFirstRow))};
  dropInCharField_ = Geometry().IsCharColumn(cell.Col);
  std::int64_t position = std::clamp<std::int64_t>(CellToPosition(cell), 0, DataSize());
  if (BelowLastRow(*this, y)) position = NoSizeChange() ? std::max(DataSize() - 1, 0) : DataSize();
  if (IsSelected(static_cast<int>(position))) position = SelectionLow();
  return static_cast<int>(position - position % BytesPerUnit());
}

// The position is taken before the view scrolls: the marker stays where the mouse was.
void THexEditorEx::ShowDropMarker(int x, int y) {
  dropPointX_ = x;
  dropPointY_ = y;
  const int position = DropPositionAt(x, y);
  ApplyScrollStep(*this, ScrollStepToward(*this, PointedCell(*this, x, y)));
  // A drag that rests at an edge goes on scrolling while there is more to see.
  FollowAutoScroll(!ScrollStepToward(*this, PointedCell(*this, x, y)).Empty());
  const GridCell marker = PositionToCell(position, dropInCharField_);
  if (!(marker == DropMarkerCell())) SetDropMarkerCell(marker);
}

void THexEditorEx::HideDropMarker() {
  FollowAutoScroll(false);
  SetDropMarkerCell({-1, -1});
  RepaintAll();
}

int THexEditorEx::DropPosition() const {
  const GridCell marker = DropMarkerCell();
  if (marker.Col < 0) return -1;
  const auto position =
      static_cast<int>(std::clamp<std::int64_t>(CellToPosition(marker), 0, DataSize()));
  return position - position % BytesPerUnit();
}

HResult THexEditorEx::DropBytes(const std::uint8_t* bytes, int count, std::int32_t effect) {
  const int position = DropPosition();
  if (position < 0) return ole::E_FAIL;
  if (dragging_ && effect == ole::DROPEFFECT_MOVE) {
    MoveDroppedBytes(bytes, count, position);
  } else if (!NoSizeChange()) {
    if (position >= DataSize()) {
      AppendBuffer(bytes, count, kDroppedDescription, true);
    } else if (IsSelected(position)) {
      ReplaceSelection(bytes, count, kDroppedDescription, true);
    } else {
      InsertBuffer(bytes, count, position, kDroppedDescription, true);
    }
  } else {
    // The size stays: what lands on the data overwrites it, and nothing may land past its end.
    if (position >= DataSize()) return ole::E_FAIL;
    if (SelectionCount() > 0 && IsSelected(position)) {
      ReplaceSelection(bytes, count, kDroppedDescription, true);
    } else {
      // Only what fits is overwritten; the bytes past the end are left out.
      const int fit = std::min(count, DataSize() - position);
      Replace(bytes, position, fit, fit, kDroppedDescription, false);
      return ole::S_OK;
    }
  }
  MoveCaretToField(dropInCharField_);
  return ole::S_OK;
}

// The deletion and the insertion are two undo steps here; the drag's end joins them.
void THexEditorEx::MoveDroppedBytes(const std::uint8_t* bytes, int count, int position) {
  const SizeRestrictionLifted lifted(*this);
  movedInside_ = true;
  if (position > SelectionLow()) position -= SelectionCount();
  DeleteSelection("");
  if (position >= DataSize()) {
    AppendBuffer(bytes, count, kDroppedDescription, true);
  } else {
    InsertBuffer(bytes, count, position, kDroppedDescription, true);
  }
}

// --- Drag side --------------------------------------------------------------------------------

void THexEditorEx::NoteDragPress(TMouseButton button, int x, int y) {
  if (!oleDragDrop_ || button != TMouseButton::Left) return;
  if (!OverSelection(*this, x, y) || Extending()) return;
  dragPending_ = true;
  dragging_ = false;
  dragStartX_ = x;
  dragStartY_ = y;
}

bool THexEditorEx::DragThresholdReached(TShiftState shift, int x, int y) const {
  if (!oleDragDrop_ || !(shift & ssLeft) || dragging_ || !dragPending_) return false;
  if (!OverSelection(*this, x, y) || Extending()) return false;
  const int threshold = InputState().DragThreshold();
  return std::abs(std::int64_t{x} - dragStartX_) >= threshold ||
         std::abs(std::int64_t{y} - dragStartY_) >= threshold;
}

// Runs the whole drag: the platform's loop is modal and returns when the drag ends.
void THexEditorEx::StartDrag() {
  dragPending_ = false;
  dragging_ = true;
  movedInside_ = false;
  struct EndOfDrag {
    THexEditorEx& editor;
    ~EndOfDrag() {
      editor.dragging_ = false;
      editor.movedInside_ = false;
      editor.HideDropMarker();
    }
  } end{*this};

  const ole::ComPtr<THexDataObject> data(NewTransferObject());
  const std::int32_t allowed =
      ReadOnlyView() ? ole::DROPEFFECT_COPY : ole::DROPEFFECT_COPY | ole::DROPEFFECT_MOVE;
  const ole::ComPtr<ole::IDropSource> source(new THexDropSource);
  std::int32_t effect = ole::DROPEFFECT_NONE;
  const HResult result = ole::DoDragDrop(data.Get(), source.Get(), allowed, effect);
  // A target that moved the data itself reports the move here.
  if (data->EffectReported()) effect = data->ReportedEffect();
  if (result != ole::DRAGDROP_S_DROP && result != ole::DRAGDROP_S_CANCEL) ole::OleCheck(result);
  if (result != ole::DRAGDROP_S_DROP || effect != ole::DROPEFFECT_MOVE) return;
  if (movedInside_) {
    RecordGroup(2, kMovedDescription);
  } else {
    DeleteSelection("");  // the bytes now live in the target
  }
}

}  // namespace kestrave::hex
