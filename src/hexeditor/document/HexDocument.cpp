#include "hexeditor/document/HexDocument.h"

#include <algorithm>
#include <cstring>

#include "platform/UserInterface.h"

namespace kestrave::hex {

// The bytes after OldCount bytes at Position move to follow NewCount bytes there; the block
// grows before anything moves and shrinks after.
void HexDocument::MoveTail(std::int64_t position, std::int64_t oldCount, std::int64_t newCount) {
  const std::int64_t size = data_.DataSize();
  const std::int64_t tail = size - position - oldCount;
  if (newCount > oldCount) {
    data_.SetSize(size + newCount - oldCount);
    if (tail > 0) data_.MoveData(position + oldCount, position + newCount, tail);
  } else if (newCount < oldCount) {
    if (tail > 0) data_.MoveData(position + oldCount, position + newCount, tail);
    data_.SetSize(size - (oldCount - newCount));
  }
}

void HexDocument::Write(std::int64_t position, const void* bytes, std::int64_t count) {
  if (count <= 0) return;
  void* at = data_.PointerAt(position);
  if (bytes) {
    platform::MoveBytesResponsively(at, bytes, static_cast<std::size_t>(count));
  } else {
    std::memset(at, 0, static_cast<std::size_t>(count));
  }
}

DocumentChange HexDocument::Resized(std::int64_t position, std::int64_t from, std::int64_t delta) {
  CutMarksTo(position);
  const std::int64_t size = data_.DataSize();
  return {position, size - 1, MoveBookmarks(from, delta, size)};
}

void HexDocument::Open(std::int64_t position, const void* bytes, std::int64_t count) {
  if (data_.DataSize() == 0) {
    data_.SetPosition(0);
    marks_.Clear();
  }
  MoveTail(position, 0, count);
  Write(position, bytes, count);
}

DocumentChange HexDocument::Insert(std::int64_t position, const void* bytes, std::int64_t count) {
  Open(position, bytes, count);
  return Resized(position, position, count);
}

DocumentChange HexDocument::Append(const void* bytes, std::int64_t count) {
  const std::int64_t end = data_.DataSize();
  Open(end, bytes, count);
  CutMarksTo(end);
  return {end, data_.DataSize() - 1, false};
}

DocumentChange HexDocument::Remove(std::int64_t start, std::int64_t end) {
  MoveTail(start, end - start, 0);
  return Resized(start, end, start - end);
}

DocumentChange HexDocument::Replace(std::int64_t position, std::int64_t oldCount, const void* bytes,
                                    std::int64_t newCount) {
  if (newCount > oldCount && data_.DataSize() == 0) data_.SetPosition(0);
  MoveTail(position, oldCount, newCount);
  Write(position, bytes, newCount);
  return Resized(position, position + newCount, newCount - oldCount);
}

DocumentChange HexDocument::RemoveToReplace(std::int64_t position, std::int64_t oldCount,
                                            std::int64_t newCount) {
  MoveTail(position, oldCount, 0);
  CutMarksTo(position);
  const std::int64_t size = data_.DataSize() + newCount;
  return {position, size - 1, MoveBookmarks(position + newCount, newCount - oldCount, size)};
}

DocumentChange HexDocument::FillReplacement(std::int64_t position, const void* bytes,
                                            std::int64_t count) {
  Open(position, bytes, count);
  return {position, data_.DataSize() - 1, false};
}

DocumentChange HexDocument::Overwrite(std::int64_t position, const void* bytes,
                                      std::int64_t count) {
  Write(position, bytes, count);
  return {position, position + count - 1, false};
}

DocumentChange HexDocument::Truncate(std::int64_t size) {
  data_.SetSize(size);
  CutMarksTo(size);
  return {size, size - 1, false};
}

DocumentChange HexDocument::ReplaceAll(const void* bytes, std::int64_t count) {
  data_.SetSize(count);
  if (count > 0) data_.WriteAt(0, bytes, count);
  CutMarksTo(count);
  return {0, count - 1, false};
}

void HexDocument::CutMarksTo(std::int64_t bits) {
  if (marks_.Size() > bits) marks_.SetSize(std::max<std::int64_t>(bits, 0));
}

void HexDocument::SetMark(std::int64_t position, bool changed, bool marking) {
  if (!marking) marks_.Clear();
  if (changed || position < marks_.Size()) marks_.Set(position, changed);
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
