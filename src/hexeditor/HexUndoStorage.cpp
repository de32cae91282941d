#include "hexeditor/HexUndoStorage.h"

#include <algorithm>
#include <cstring>

#include "hexeditor/CustomHexEditor.h"
#include "platform/UserInterface.h"

namespace kestrave::hex {
namespace {

std::vector<std::uint8_t> BytesAt(const TCustomHexEditor& editor, std::int64_t position,
                                  std::int64_t count) {
  std::vector<std::uint8_t> bytes =
      platform::ZeroBytesResponsively(static_cast<std::size_t>(std::max<std::int64_t>(count, 0)));
  // A large removal is read in pieces, letting the windows draw meanwhile.
  const auto piece = static_cast<std::int64_t>(platform::kResponsivePiece);
  for (std::int64_t at = 0; at < count; at += piece) {
    if (at > 0) platform::KeepResponsive();
    editor.ReadBlock(bytes.data() + at, static_cast<int>(position + at),
                     static_cast<int>(std::min(piece, count - at)));
  }
  return bytes;
}

std::uint32_t FlagIf(bool condition, std::uint32_t flag) {
  return condition ? flag : 0;
}

}  // namespace

// --- Recording ------------------------------------------------------------------------------

// The caret, modes and flags of the moment, as a record's header keeps them.
UndoHeader THexUndoStorage::CaptureState() const {
  const TCustomHexEditor& e = editor_;
  UndoHeader header;
  header.Caret = e.CaretBytePosition();
  header.Flags = FlagIf(e.modified_, undoflag::kModified) |
                 FlagIf(e.CaretOnSecondDigit(), undoflag::kSecondDigit) |
                 FlagIf(e.CaretInCharColumn(), undoflag::kInCharField) |
                 FlagIf(e.insertModeStored_, undoflag::kInsertMode) |
                 FlagIf(e.unicodeChars_, undoflag::kUnicode) |
                 FlagIf(e.unicodeBigEndian_, undoflag::kBigEndian);
  header.Translation = e.translation_;
  header.BytesPerUnit = e.bytesPerUnit_;
  return header;
}

// What a kind keeps of the data, and the marks it notes in the flags.
THexUndoStorage::SavedBytes THexUndoStorage::SavedBytesOf(int kind, int position, int countA,
                                                          int countB,
                                                          const std::string& description,
                                                          std::uint32_t& flags) const {
  const TCustomHexEditor& e = editor_;
  SavedBytes saved;
  const auto dataAt = [&](std::int64_t at, std::int64_t count) {
    if (count > 0)
      saved.Bytes = {reinterpret_cast<const std::uint8_t*>(e.data_.PointerAt(at)),
                     static_cast<std::size_t>(count)};
  };
  switch (kind) {
    case ukChangeBytes:
      dataAt(position, countA);
      flags |= FlagIf(e.IsChanged(position), undoflag::kMarkAtPosition);
      if (countA == 2) flags |= FlagIf(e.IsChanged(position + 1), undoflag::kMarkAfterPosition);
      break;
    case ukRemove:
    case ukConvert:
      dataAt(position, countA);
      break;
    case ukReplace:
      dataAt(position, countB);
      break;
    case ukInsertNibble:
    case ukDeleteNibble:
      dataAt(position, 1);
      flags |= FlagIf(e.IsChanged(position), undoflag::kMarkAtPosition);
      break;
    case ukGroup: {
      const std::size_t length = std::min<std::size_t>(description.size(), 255);
      saved.Own.assign(length + 1, static_cast<std::uint8_t>(length));
      std::memcpy(saved.Own.data() + 1, description.data(), length);
      flags |= FlagIf(e.IsChanged(position), undoflag::kMarkAtPosition);
      break;
    }
    case ukAllData:
      dataAt(0, e.DataSize());
      break;
    default:
      break;
  }
  if (saved.Bytes.empty()) {
    if (saved.Own.empty()) saved.Own.push_back(0);
    saved.Bytes = saved.Own;
  }
  return saved;
}

void THexUndoStorage::MoveBookmarksFor(int kind, int position, int countA, int countB) {
  const std::int64_t size = editor_.DataSize();
  if (kind == ukRemove)
    editor_.MoveBookmarks(std::int64_t{position} + countA, -countA, size - countA);
  if (kind == ukInsert) editor_.MoveBookmarks(position, countA, size + countA);
  if (kind == ukReplace)
    editor_.MoveBookmarks(std::int64_t{position} + countA, countA - countB, size + countA - countB);
}

void THexUndoStorage::AddRecord(int kind, int position, int countA, int countB,
                                const std::string& description) {
  if (updateCount_ >= 1) return;
  DiscardRedo();
  UndoHeader header = CaptureState();
  header.Flags |= KindFlag(kind);
  header.Position = position;
  header.CountA = kind == ukAllData ? editor_.DataSize() : countA;
  header.CountB = countB;
  const auto saved = SavedBytesOf(kind, position, header.CountA, countB, description, header.Flags);
  std::optional<UndoSelection> selection;
  if (editor_.selectionAnchor_ >= 0)
    selection =
        UndoSelection{editor_.selectionLow_, editor_.selectionHigh_, editor_.selectionAnchor_};
  // Applied before the new record: the stream may exceed the limit by that one record.
  const int limit = editor_.MaxUndo();
  while (limit > 0 && count_ > 0 && stream_.DataSize() > limit)
    DropOldest();
  // Encoded straight into the stream: a large removal is copied once, from the data.
  const std::int64_t at = stream_.DataSize();
  stream_.SetSize(at + UndoRecordLength(saved.Bytes.size(), description, selection.has_value()));
  EncodeUndoRecordInto(header, saved.Bytes, description, selection,
                       reinterpret_cast<std::uint8_t*>(stream_.PointerAt(at)));
  stream_.SetPosition(stream_.DataSize());
  ++count_;
  description_ = description.empty() ? std::string(DefaultUndoDescription(kind)) : description;
  MoveBookmarksFor(kind, position, countA, countB);
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
  std::uint32_t length = last.Header.Length;
  if (!last.Header.Has(undoflag::kHasSelection)) {
    // The block goes where the trailing length was; the length moves to the new end.
    SetStreamSize(stream_.DataSize() + 12);
    length += 12;
  }
  auto* record = reinterpret_cast<std::uint8_t*>(stream_.PointerAt(last.Offset));
  WriteLe32(record, length);
  WriteLe32(record + 4, last.Header.Flags | undoflag::kHasSelection);
  WriteLe32(record + length - 4, length);
  WriteLe32(record + 8, static_cast<std::uint32_t>(position));
  std::uint8_t* block = record + UndoSelectionOffset(length);
  WriteLe32(block, static_cast<std::uint32_t>(position));
  WriteLe32(block + 4, static_cast<std::uint32_t>(count == 0 ? -1 : position + count - 1));
  WriteLe32(block + 8, static_cast<std::uint32_t>(position));
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
void THexUndoStorage::RestoreModes(const UndoHeader& h) {
  TCustomHexEditor& e = editor_;
  e.SetInsertMode(h.Has(undoflag::kInsertMode));
  e.SetUnicodeChars(h.Has(undoflag::kUnicode));
  e.SetUnicodeBigEndian(h.Has(undoflag::kBigEndian));
  e.RestoreTranslation(static_cast<THexTranslationKind>(h.Translation));
  e.SetBytesPerUnit(h.BytesPerUnit);
}

void THexUndoStorage::RestoreState(const LastRecord& record) {
  TCustomHexEditor& e = editor_;
  const UndoHeader& h = record.Header;
  RestoreModes(h);
  e.PlaceCaretAt(h.Caret, h.Has(undoflag::kInCharField), h.Has(undoflag::kSecondDigit));
  e.modified_ = h.Has(undoflag::kModified);
  if (record.Selection) {
    if (record.Selection->High == -1) {
      e.Seek(record.Selection->Low, 0);
    } else {
      e.SetSelectionFields(record.Selection->Anchor, record.Selection->Low, record.Selection->High);
    }
  } else {
    // Nothing was selected; a selection left from the step must not outlive its bytes.
    e.ResetSelection(true);
  }
  if (e.host_) e.host_->InvalidateAll();
  e.Changed();
}

void THexUndoStorage::UndoStep(const LastRecord& record) {
  TCustomHexEditor& e = editor_;
  const UndoHeader& h = record.Header;
  const int p = h.Position;
  const int a = h.CountA;
  const int b = h.CountB;
  const std::uint8_t* saved = record.Saved;
  switch (h.Kind()) {
    case ukChangeBytes:
      e.WriteBlock(saved, p, a);
      e.SetChanged(p, h.Has(undoflag::kMarkAtPosition));
      if (a == 2) e.SetChanged(p + 1, h.Has(undoflag::kMarkAfterPosition));
      RestoreState(record);
      e.InvalidatePositions(p, p + a - 1);
      break;
    case ukRemove:
      e.InsertRaw(saved, a, p);
      RestoreState(record);
      e.MoveBookmarks(p, a, e.DataSize());
      e.CutMarksTo(p);
      break;
    case ukInsert:
      e.DeleteRaw(p, p + a, std::nullopt);
      RestoreState(record);
      e.MoveBookmarks(p, -a, e.DataSize());
      e.CutMarksTo(p);
      break;
    case ukReplace:
      e.DeleteRaw(p, p + a, std::nullopt);
      e.InsertRaw(saved, b, p);
      RestoreState(record);
      e.MoveBookmarks(std::int64_t{p} + b, b - a, e.DataSize());
      e.CutMarksTo(std::max(p - 1, 0));
      break;
    case ukAppend:
      e.cursor_.Col = GridGeometry::kFixedCols;
      e.data_.SetSize(p);
      e.AdjustMetrics();
      e.CutMarksTo(p);
      RestoreState(record);
      break;
    case ukInsertNibble:
    case ukDeleteNibble:
      if (h.Kind() == ukInsertNibble) {
        e.DeleteNibble(p, false);
      } else {
        e.InsertNibble(p, false);
      }
      e.WriteByte(p, saved[0]);
      e.SetChanged(p, h.Has(undoflag::kMarkAtPosition));
      RestoreState(record);
      e.CutMarksTo(p);
      e.data_.SetSize(e.DataSize() - 1);
      e.AdjustMetrics();
      break;
    case ukConvert:
      e.WriteBlock(saved, p, a);
      RestoreState(record);
      e.CutMarksTo(p);
      break;
    case ukCursorMovement:
      RestoreState(record);
      break;
    case ukGroup:
      DropLast();
      for (int i = 0; i < a; ++i)
        Undo();
      DiscardRedo();  // a group cannot be redone
      return;
    case ukAllData:
      e.data_.SetSize(a);
      e.data_.WriteAt(0, saved, a);
      e.AdjustMetrics();
      RestoreState(record);
      break;
    default:
      break;
  }
  if (e.host_) e.host_->InvalidateAll();
  DropLast();
}

// --- Redo -----------------------------------------------------------------------------------

void THexUndoStorage::PrepareRedo(const UndoHeader& header) {
  DiscardRedo();
  const int kind = header.Kind();
  if (kind == ukGroup) return;
  const TCustomHexEditor& e = editor_;
  RedoState redo;
  redo.Header = CaptureState();
  redo.Header.Flags |= KindFlag(kind);
  redo.Header.Position = header.Position;
  redo.Header.CountA = header.CountA;
  redo.Header.CountB = header.CountB;
  const int p = header.Position;
  switch (kind) {
    case ukChangeBytes:
      redo.Kept = BytesAt(e, p, header.CountA);
      redo.Header.Flags |= FlagIf(e.IsChanged(p), undoflag::kMarkAtPosition) |
                           FlagIf(e.IsChanged(p + 1), undoflag::kMarkAfterPosition);
      break;
    case ukInsert:
    case ukReplace:
    case ukConvert:
      redo.Kept = BytesAt(e, p, header.CountA);
      break;
    case ukAppend:
      redo.Kept = BytesAt(e, p, e.DataSize() - p);
      break;
    case ukInsertNibble:
    case ukDeleteNibble:
    case ukAllData:
      redo.Kept = BytesAt(e, 0, e.DataSize());
      redo.Header.CountA = e.DataSize();
      break;
    default:
      break;
  }
  redo.Bookmarks = e.bookmarks_;
  redo.Selection = {e.selectionLow_, e.selectionHigh_, e.selectionAnchor_};
  redo_ = std::move(redo);
}

void THexUndoStorage::Redo() {
  if (!redo_) return;
  const RedoState redo = std::move(*redo_);
  redo_.reset();
  RedoStep(redo);
  DiscardRedo();
  editor_.Changed();
}

void THexUndoStorage::RedoStep(const RedoState& redo) {
  TCustomHexEditor& e = editor_;
  const UndoHeader& h = redo.Header;
  const int p = h.Position;
  const int a = h.CountA;
  const std::uint8_t* kept = redo.Kept.data();
  switch (h.Kind()) {
    case ukChangeBytes:
      e.WriteBlock(kept, p, a);
      FinishRedo(redo, a == 2);
      return;
    case ukRemove:
      e.DeleteRaw(p, p + a, std::nullopt);
      break;
    case ukInsert:
      e.InsertRaw(kept, a, p);
      break;
    case ukReplace:
      e.DeleteRaw(p, p + h.CountB, std::nullopt);
      e.InsertRaw(kept, a, p);
      break;
    case ukAppend:
      e.AppendRaw(kept, a);
      break;
    case ukInsertNibble:
    case ukDeleteNibble:
    case ukAllData:
      e.data_.SetSize(a);
      if (a > 0) e.data_.WriteAt(0, kept, a);
      e.AdjustMetrics();
      break;
    case ukConvert:
      e.DeleteRaw(p, p + a, std::nullopt);
      e.InsertRaw(kept, a, p);
      break;
    default:
      break;
  }
  FinishRedo(redo, false);
}

void THexUndoStorage::FinishRedo(const RedoState& redo, bool secondMark) {
  TCustomHexEditor& e = editor_;
  const UndoHeader& h = redo.Header;
  e.bookmarks_ = redo.Bookmarks;
  RestoreModes(h);
  e.PlaceCaretAt(h.Caret, h.Has(undoflag::kInCharField), h.Has(undoflag::kSecondDigit));
  e.modified_ = h.Has(undoflag::kModified);
  e.SetSelectionFields(redo.Selection.Anchor, redo.Selection.Low, redo.Selection.High);
  e.SetChanged(h.Position, h.Has(undoflag::kMarkAtPosition));
  if (secondMark) e.SetChanged(h.Position + 1, h.Has(undoflag::kMarkAfterPosition));
  if (!undoneRecord_.empty()) {
    stream_.SetPosition(stream_.DataSize());
    stream_.Write(undoneRecord_.data(), static_cast<std::int64_t>(undoneRecord_.size()));
    ++count_;
    undoneRecord_.clear();
    description_ = undoneDescription_;
  }
  if (e.host_) e.host_->InvalidateAll();
  e.BookmarkChanged();
}

}  // namespace kestrave::hex
