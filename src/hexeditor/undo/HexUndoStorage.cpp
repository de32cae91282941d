#include "hexeditor/undo/HexUndoStorage.h"

#include <algorithm>
#include <cstring>

#include "hexeditor/document/HexDocument.h"
#include "hexeditor/undo/UndoTarget.h"

namespace kestrave::hex {

// --- Recording ------------------------------------------------------------------------------

void THexUndoStorage::AddRecord(int kind, int position, int countA, int countB,
                                const std::string& description) {
  if (updateCount_ >= 1) return;
  DiscardRedo();
  const UndoKindRules& rules = RulesOf(kind);
  UndoHeader header = target_.CurrentState();
  header.Flags |= KindFlag(kind);
  header.Position = position;
  header.CountA = countA;
  header.CountB = countB;
  SavedBytes saved = rules.Save(document_, target_, header, description);
  if (saved.Bytes.empty()) {
    if (saved.Own.empty()) saved.Own.push_back(0);
    saved.Bytes = saved.Own;
  }
  const UndoSelection now = target_.CurrentSelection();
  std::optional<UndoSelection> selection;
  if (now.Anchor >= 0) selection = now;
  // Applied before the new record: the stream may exceed the limit by that one record.
  while (maxUndo_ > 0 && count_ > 0 && stream_.DataSize() > maxUndo_)
    DropOldest();
  // Encoded straight into the stream: a large removal is copied once, from the data.
  const std::int64_t at = stream_.DataSize();
  stream_.SetSize(at + UndoRecordLength(saved.Bytes.size(), description, selection.has_value()));
  EncodeUndoRecordInto(header, saved.Bytes, description, selection,
                       reinterpret_cast<std::uint8_t*>(stream_.PointerAt(at)));
  stream_.SetPosition(stream_.DataSize());
  ++count_;
  description_ = description.empty() ? std::string(DefaultUndoDescription(kind)) : description;
  // Taking a cursor movement back puts the caret at its position and selects its bytes.
  if (kind == ukCursorMovement) SetSelectionInfo(position, countA);
}

// --- The stream -----------------------------------------------------------------------------

void THexUndoStorage::SetStreamSize(std::int64_t size) {
  stream_.SetSize(std::max<std::int64_t>(size, 0));
  if (size < kUndoMinimumRecord) count_ = 0;
}

bool THexUndoStorage::CanUndo() const {
  return count_ > 0 && updateCount_ < 1 && stream_.DataSize() > 0;
}

int THexUndoStorage::EndUpdate() {
  if (updateCount_ > 0) --updateCount_;
  return updateCount_;
}

void THexUndoStorage::Reset(bool discardRedoToo) {
  SetStreamSize(0);
  count_ = 0;
  updateCount_ = 0;
  description_.clear();
  if (discardRedoToo) DiscardRedo();
}

void THexUndoStorage::DiscardRedo() {
  redo_.reset();
  undoneRecord_.clear();
  undoneDescription_.clear();
}

void THexUndoStorage::DropOldest() {
  const std::int64_t size = stream_.DataSize();
  const std::int64_t length = size < 4 ? 0 : ReadLe32(Bytes());
  if (length < kUndoMinimumRecord || length > size) {
    SetStreamSize(0);
    count_ = 0;
    return;
  }
  stream_.MoveData(length, 0, size - length);
  SetStreamSize(size - length);
  if (count_ > 0) --count_;
}

THexUndoStorage::LastRecord THexUndoStorage::ReadLast() const {
  LastRecord last;
  const std::int64_t size = stream_.DataSize();
  const std::uint32_t length = ReadLe32(Bytes() + size - 4);
  if (length < kUndoMinimumRecord || length > size) return last;  // kind 11: no record
  last.Offset = size - length;
  const std::uint8_t* record = Bytes() + last.Offset;
  last.Header = DecodeUndoHeader(record);
  last.Description = UndoRecordDescription(record, length);
  last.Selection = UndoRecordSelection(record, length);
  last.Saved = record + kUndoHeaderSize;
  return last;
}

void THexUndoStorage::DropLast() {
  if (stream_.DataSize() < kUndoMinimumRecord) {
    Reset(false);
    return;
  }
  const LastRecord last = ReadLast();
  const std::int64_t length = stream_.DataSize() - last.Offset;
  undoneRecord_.assign(Bytes() + last.Offset, Bytes() + stream_.DataSize());
  undoneDescription_ = description_;
  SetStreamSize(last.Offset);
  if (count_ > 0) --count_;
  if (length <= 0 || stream_.DataSize() < kUndoMinimumRecord) {
    Reset(false);
    return;
  }
  const LastRecord now = ReadLast();
  std::string description = now.Description;
  if (now.Header.Kind() == ukGroup && now.Saved) {
    const std::string grouped(reinterpret_cast<const char*>(now.Saved + 1), now.Saved[0]);
    if (!grouped.empty()) description = grouped;
  }
  description_ =
      description.empty() ? std::string(DefaultUndoDescription(now.Header.Kind())) : description;
}

void THexUndoStorage::SetSelectionInfo(int position, int count) {
  if (!CanUndo()) return;
  const LastRecord last = ReadLast();
  if (!last.Saved) return;
  if (!last.Header.Has(undoflag::kHasSelection))
    SetStreamSize(stream_.DataSize() + kUndoSelectionBlockSize);
  SetUndoRecordSelection(reinterpret_cast<std::uint8_t*>(stream_.PointerAt(last.Offset)),
                         last.Header.Length, position,
                         {position, count == 0 ? -1 : position + count - 1, position});
}

// --- Undo -----------------------------------------------------------------------------------

void THexUndoStorage::Undo() {
  if (!CanUndo()) {
    Reset(false);
    return;
  }
  if (stream_.DataSize() < kUndoMinimumRecord) {
    Reset(true);
    return;
  }
  const LastRecord last = ReadLast();
  if (!last.Saved || last.Header.Kind() >= kUndoKindCount) {
    Reset(true);  // a damaged stream is no history
    return;
  }
  PrepareRedo(last.Header);
  UndoStep(last);
}

// Modes come back first: the caret and selection they had are only valid under them.
void THexUndoStorage::RestoreState(const LastRecord& record) {
  target_.RestoreModes(record.Header);
  target_.RestoreCaret(record.Header);
  target_.RestoreSelection(record.Selection);
  target_.RepaintAll();
  target_.Changed();
}

void THexUndoStorage::UndoStep(const LastRecord& record) {
  if (record.Header.Kind() == ukGroup) {
    DropLast();
    for (int i = 0; i < record.Header.CountA; ++i)
      Undo();
    DiscardRedo();  // a group cannot be redone
    return;
  }
  RulesOf(record.Header.Kind()).Undo(document_, target_, record.Header, record.Saved, [&] {
    RestoreState(record);
  });
  target_.RepaintAll();
  DropLast();
}

// --- Redo -----------------------------------------------------------------------------------

void THexUndoStorage::PrepareRedo(const UndoHeader& header) {
  DiscardRedo();
  const int kind = header.Kind();
  if (kind == ukGroup) return;
  RedoState redo;
  redo.Header = target_.CurrentState();
  redo.Header.Flags |= KindFlag(kind);
  redo.Header.Position = header.Position;
  redo.Header.CountA = header.CountA;
  redo.Header.CountB = header.CountB;
  RulesOf(kind).KeepForRedo(document_, target_, redo);
  redo.Bookmarks = document_.Bookmarks();
  redo.Selection = target_.CurrentSelection();
  redo_ = std::move(redo);
}

void THexUndoStorage::Redo() {
  if (!redo_) return;
  const RedoState redo = std::move(*redo_);
  redo_.reset();
  const bool secondMark = RulesOf(redo.Header.Kind()).Redo(document_, target_, redo);
  FinishRedo(redo, secondMark);
  DiscardRedo();
  target_.Changed();
}

void THexUndoStorage::FinishRedo(const RedoState& redo, bool secondMark) {
  const UndoHeader& h = redo.Header;
  document_.SetBookmarks(redo.Bookmarks);
  target_.RestoreModes(h);
  target_.RestoreCaret(h);
  target_.RestoreSelectionFields(redo.Selection);
  document_.SetMark(h.Position, h.Has(undoflag::kMarkAtPosition), target_.MarkingChanges());
  if (secondMark)
    document_.SetMark(std::int64_t{h.Position} + 1, h.Has(undoflag::kMarkAfterPosition),
                      target_.MarkingChanges());
  if (!undoneRecord_.empty()) {
    stream_.SetPosition(stream_.DataSize());
    stream_.Write(undoneRecord_.data(), static_cast<std::int64_t>(undoneRecord_.size()));
    ++count_;
    undoneRecord_.clear();
    description_ = undoneDescription_;
  }
  target_.RepaintAll();
  target_.BookmarkChanged();
}

}  // namespace kestrave::hex
