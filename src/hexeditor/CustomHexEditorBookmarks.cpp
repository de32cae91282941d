// Bookmarks: ten positions that follow the data as it grows and shrinks.
#include "hexeditor/CustomHexEditor.h"
#include "hexeditor/HexEditorError.h"
#include "hexeditor/Messages.h"

namespace kestrave::hex {

const THexBookmark& TCustomHexEditor::Bookmark(int index) const {
  if (index < 0 || index >= kBookmarkCount) throw EHexEditor(msg::kInvalidBookmarkIndex);
  return bookmarks_[static_cast<std::size_t>(index)];
}

void TCustomHexEditor::SetBookmark(int index, int position, bool inCharField) {
  if (index < 0 || index >= kBookmarkCount) throw EHexEditor(msg::kInvalidBookmarkIndex);
  THexBookmark& slot = bookmarks_[static_cast<std::size_t>(index)];
  const bool same = slot.Position == position && slot.InCharField == inCharField;
  slot.Position = same ? -1 : position;
  slot.InCharField = inCharField;
  if (host_) host_->InvalidateAll();
  BookmarkChanged();
}

bool TCustomHexEditor::GotoBookmark(int index) {
  const THexBookmark slot = Bookmark(index);
  if (slot.Position < 0) return false;
  ResetSelection(true);
  const int limit = InsertMode() ? DataSize() : DataSize() - 1;
  if (slot.Position > limit) {
    SetBookmark(index, -1, false);
    return false;
  }
  FocusCell(PositionToCell(slot.Position, slot.InCharField), true);
  return true;
}

void TCustomHexEditor::BookmarkChanged() {
  if (OnBookmarkChanged) OnBookmarkChanged(*this);
}

// Every set bookmark at or after From moves by Delta; one that leaves the data (of NewSize
// bytes, the size once the change is made) is cleared.
void TCustomHexEditor::MoveBookmarks(std::int64_t from, std::int64_t delta, std::int64_t newSize) {
  bool touched = false;
  for (THexBookmark& slot : bookmarks_) {
    if (slot.Position < 0 || slot.Position < from || delta == 0) continue;
    const std::int64_t moved = slot.Position + delta;
    slot.Position = moved < 0 || moved > newSize ? -1 : static_cast<std::int32_t>(moved);
    touched = true;
  }
  if (touched) BookmarkChanged();
}

}  // namespace kestrave::hex
