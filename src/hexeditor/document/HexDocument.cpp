#include "hexeditor/document/HexDocument.h"

#include <algorithm>

namespace kestrave::hex {

void HexDocument::CutMarksTo(std::int64_t bits) {
  if (marks_.Size() > bits) marks_.SetSize(std::max<std::int64_t>(bits, 0));
}

void HexDocument::ToggleBookmark(int index, int position, bool inCharField) {
  THexBookmark& slot = bookmarks_.at(static_cast<std::size_t>(index));
  const bool same = slot.Position == position && slot.InCharField == inCharField;
  slot.Position = same ? -1 : position;
  slot.InCharField = inCharField;
}

bool HexDocument::MoveBookmarks(std::int64_t from, std::int64_t delta, std::int64_t newSize) {
  bool touched = false;
  for (THexBookmark& slot : bookmarks_) {
    if (slot.Position < 0 || slot.Position < from || delta == 0) continue;
    const std::int64_t moved = slot.Position + delta;
    slot.Position = moved < 0 || moved > newSize ? -1 : static_cast<std::int32_t>(moved);
    touched = true;
  }
  return touched;
}

}  // namespace kestrave::hex
