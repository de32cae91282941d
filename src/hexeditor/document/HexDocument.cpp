#include "hexeditor/document/HexDocument.h"

#include <algorithm>
#include <cstring>

#include "platform/UserInterface.h"

namespace kestrave::hex {

void HexDocument::Insert(std::int64_t position, const void* bytes, std::int64_t count) {
  const std::int64_t oldSize = data_.DataSize();
  if (oldSize == 0) {
    data_.SetPosition(0);
    marks_.Clear();
  }
  data_.SetSize(oldSize + count);
  if (position < oldSize) data_.MoveData(position, position + count, oldSize - position);
  Overwrite(position, bytes, count);
}

void HexDocument::Remove(std::int64_t start, std::int64_t end) {
  const std::int64_t size = data_.DataSize();
  if (end <= size - 1) data_.MoveData(end, start, size - end);
  data_.SetSize(size - (end - start));
}

void HexDocument::Overwrite(std::int64_t position, const void* bytes, std::int64_t count) {
  if (count <= 0) return;
  void* at = data_.PointerAt(position);
  if (bytes) {
    platform::MoveBytesResponsively(at, bytes, static_cast<std::size_t>(count));
  } else {
    std::memset(at, 0, static_cast<std::size_t>(count));
  }
}

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
