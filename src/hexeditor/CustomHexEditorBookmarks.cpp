// Bookmarks: ten positions that follow the data as it grows and shrinks.
#include "hexeditor/CustomHexEditor.h"
#include "hexeditor/HexEditorError.h"
#include "hexeditor/Messages.h"

namespace kestrave::hex {

const THexBookmark& TCustomHexEditor::Bookmark(int index) const {
  if (index < 0 || index >= kBookmarkCount) throw EHexEditor(msg::kInvalidBookmarkIndex);
  return document_.Bookmarks()[static_cast<std::size_t>(index)];
}

void TCustomHexEditor::SetBookmark(int index, int position, bool inCharField) {
  if (index < 0 || index >= kBookmarkCount) throw EHexEditor(msg::kInvalidBookmarkIndex);
  document_.ToggleBookmark(index, position, inCharField);
  RepaintAll();
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

}  // namespace kestrave::hex
