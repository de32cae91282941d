#include "hexeditor/undo/UndoKinds.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "hexeditor/undo/UndoTarget.h"
#include "platform/UserInterface.h"

namespace kestrave::hex {
namespace {

using Restore = std::function<void()>;

// A piece of the data, read in place.
SavedBytes DataAt(const IUndoTarget& target, std::int64_t position, std::int64_t count) {
  SavedBytes saved;
  if (count > 0) saved.Bytes = {target.BytesFrom(position), static_cast<std::size_t>(count)};
  return saved;
}

// A copy of a piece of the data; a large one is copied in pieces, letting the windows draw.
std::vector<std::uint8_t> CopyOf(const IUndoTarget& target, std::int64_t position,
                                 std::int64_t count) {
  std::vector<std::uint8_t> bytes =
      platform::ZeroBytesResponsively(static_cast<std::size_t>(std::max<std::int64_t>(count, 0)));
  const auto piece = static_cast<std::int64_t>(platform::kResponsivePiece);
  for (std::int64_t at = 0; at < count; at += piece) {
    if (at > 0) platform::KeepResponsive();
    std::memcpy(bytes.data() + at, target.BytesFrom(position + at),
                static_cast<std::size_t>(std::min(piece, count - at)));
  }
  return bytes;
}

SavedBytes KeepsNothing(const IUndoTarget&, UndoHeader&, std::string_view) {
  return {};
}
void MovesNothing(IUndoTarget&, const UndoHeader&) {}
void KeepsNothingForRedo(const IUndoTarget&, RedoState&) {}
bool RedoesNothing(IUndoTarget&, const RedoState&) {
  return false;
}

// --- Change bytes: the old bytes and their marks --------------------------------------------

SavedBytes SaveChange(const IUndoTarget& target, UndoHeader& header, std::string_view) {
  const int p = header.Position;
  header.Flags |= FlagIf(target.IsMarked(p), undoflag::kMarkAtPosition);
  if (header.CountA == 2)
    header.Flags |= FlagIf(target.IsMarked(p + 1), undoflag::kMarkAfterPosition);
  return DataAt(target, p, header.CountA);
}

void UndoChange(IUndoTarget& target, const UndoHeader& h, const std::uint8_t* saved,
                const Restore& restoreState) {
  const int p = h.Position;
  target.WriteBlock(saved, p, h.CountA);
  target.SetChanged(p, h.Has(undoflag::kMarkAtPosition));
  if (h.CountA == 2) target.SetChanged(p + 1, h.Has(undoflag::kMarkAfterPosition));
  restoreState();
  target.BytesChanged(p, p + h.CountA - 1);
}

void KeepChange(const IUndoTarget& target, RedoState& redo) {
  const int p = redo.Header.Position;
  redo.Kept = CopyOf(target, p, redo.Header.CountA);
  redo.Header.Flags |= FlagIf(target.IsMarked(p), undoflag::kMarkAtPosition) |
                       FlagIf(target.IsMarked(p + 1), undoflag::kMarkAfterPosition);
}

bool RedoChange(IUndoTarget& target, const RedoState& redo) {
  target.WriteBlock(redo.Kept.data(), redo.Header.Position, redo.Header.CountA);
  return redo.Header.CountA == 2;
}

// --- Remove: the removed bytes ----------------------------------------------------------------

SavedBytes SaveRemoved(const IUndoTarget& target, UndoHeader& header, std::string_view) {
  return DataAt(target, header.Position, header.CountA);
}

void RemovedMovesBookmarks(IUndoTarget& target, const UndoHeader& h) {
  const std::int64_t size = target.ByteCount();
  target.MoveBookmarksBy(std::int64_t{h.Position} + h.CountA, -h.CountA, size - h.CountA);
}

void UndoRemove(IUndoTarget& target, const UndoHeader& h, const std::uint8_t* saved,
                const Restore& restoreState) {
  target.InsertBytes(saved, h.CountA, h.Position);
  restoreState();
  target.MoveBookmarksBy(h.Position, h.CountA, target.ByteCount());
  target.CutMarks(h.Position);
}

bool RedoRemove(IUndoTarget& target, const RedoState& redo) {
  target.RemoveBytes(redo.Header.Position, redo.Header.Position + redo.Header.CountA);
  return false;
}

// --- Insert: positions only -------------------------------------------------------------------

void InsertedMovesBookmarks(IUndoTarget& target, const UndoHeader& h) {
  const std::int64_t size = target.ByteCount();
  target.MoveBookmarksBy(h.Position, h.CountA, size + h.CountA);
}

void UndoInsert(IUndoTarget& target, const UndoHeader& h, const std::uint8_t*,
                const Restore& restoreState) {
  target.RemoveBytes(h.Position, h.Position + h.CountA);
  restoreState();
  target.MoveBookmarksBy(h.Position, -h.CountA, target.ByteCount());
  target.CutMarks(h.Position);
}

// Insert, replace and convert keep the bytes the step had put at the position.
void KeepPlaced(const IUndoTarget& target, RedoState& redo) {
  redo.Kept = CopyOf(target, redo.Header.Position, redo.Header.CountA);
}

bool RedoInsert(IUndoTarget& target, const RedoState& redo) {
  target.InsertBytes(redo.Kept.data(), redo.Header.CountA, redo.Header.Position);
  return false;
}

// --- Replace: the old bytes (second count) ----------------------------------------------------

SavedBytes SaveReplaced(const IUndoTarget& target, UndoHeader& header, std::string_view) {
  return DataAt(target, header.Position, header.CountB);
}

void ReplacedMovesBookmarks(IUndoTarget& target, const UndoHeader& h) {
  const std::int64_t size = target.ByteCount();
  target.MoveBookmarksBy(std::int64_t{h.Position} + h.CountA, h.CountA - h.CountB,
                         size + h.CountA - h.CountB);
}

void UndoReplace(IUndoTarget& target, const UndoHeader& h, const std::uint8_t* saved,
                 const Restore& restoreState) {
  const int p = h.Position;
  target.RemoveBytes(p, p + h.CountA);
  target.InsertBytes(saved, h.CountB, p);
  restoreState();
  target.MoveBookmarksBy(std::int64_t{p} + h.CountB, h.CountB - h.CountA, target.ByteCount());
  target.CutMarks(std::max(p - 1, 0));
}

bool RedoReplace(IUndoTarget& target, const RedoState& redo) {
  const int p = redo.Header.Position;
  target.RemoveBytes(p, p + redo.Header.CountB);
  target.InsertBytes(redo.Kept.data(), redo.Header.CountA, p);
  return false;
}

// --- Append: the old size ---------------------------------------------------------------------

void UndoAppend(IUndoTarget& target, const UndoHeader& h, const std::uint8_t*,
                const Restore& restoreState) {
  target.TruncateBytes(h.Position, true);
  target.CutMarks(h.Position);
  restoreState();
}

void KeepAppended(const IUndoTarget& target, RedoState& redo) {
  const int p = redo.Header.Position;
  redo.Kept = CopyOf(target, p, target.ByteCount() - p);
}

bool RedoAppend(IUndoTarget& target, const RedoState& redo) {
  target.AppendBytes(redo.Kept.data(), redo.Header.CountA);
  return false;
}

// --- Nibbles: the byte at the position and its mark -------------------------------------------

SavedBytes SaveNibbleByte(const IUndoTarget& target, UndoHeader& header, std::string_view) {
  header.Flags |= FlagIf(target.IsMarked(header.Position), undoflag::kMarkAtPosition);
  return DataAt(target, header.Position, 1);
}

void UndoNibble(IUndoTarget& target, const UndoHeader& h, const std::uint8_t* saved,
                const Restore& restoreState) {
  const int p = h.Position;
  // An inserted nibble is deleted again and the other way round, then the byte comes back.
  target.ShiftNibble(p, h.Kind() == ukDeleteNibble);
  target.WriteByte(p, saved[0]);
  target.SetChanged(p, h.Has(undoflag::kMarkAtPosition));
  restoreState();
  target.CutMarks(p);
  target.TruncateBytes(target.ByteCount() - 1, false);
}

// Nibble steps and the whole data keep all the data.
void KeepAll(const IUndoTarget& target, RedoState& redo) {
  redo.Kept = CopyOf(target, 0, target.ByteCount());
  redo.Header.CountA = static_cast<std::int32_t>(target.ByteCount());
}

bool RedoAll(IUndoTarget& target, const RedoState& redo) {
  target.ReplaceAllBytes(redo.Kept.data(), redo.Header.CountA);
  return false;
}

// --- Convert: the bytes before the conversion ------------------------------------------------

void UndoConvert(IUndoTarget& target, const UndoHeader& h, const std::uint8_t* saved,
                 const Restore& restoreState) {
  target.WriteBlock(saved, h.Position, h.CountA);
  restoreState();
  target.CutMarks(h.Position);
}

bool RedoConvert(IUndoTarget& target, const RedoState& redo) {
  const int p = redo.Header.Position;
  target.RemoveBytes(p, p + redo.Header.CountA);
  target.InsertBytes(redo.Kept.data(), redo.Header.CountA, p);
  return false;
}

// --- Cursor movement: the caret and selection only -------------------------------------------

void UndoCursorMovement(IUndoTarget&, const UndoHeader&, const std::uint8_t*,
                        const Restore& restoreState) {
  restoreState();
}

// --- Group: its description (length byte, then up to 255 characters) -------------------------

SavedBytes SaveGroupDescription(const IUndoTarget& target, UndoHeader& header,
                                std::string_view description) {
  SavedBytes saved;
  const std::size_t length = std::min<std::size_t>(description.size(), 255);
  saved.Own.assign(length + 1, static_cast<std::uint8_t>(length));
  std::memcpy(saved.Own.data() + 1, description.data(), length);
  header.Flags |= FlagIf(target.IsMarked(header.Position), undoflag::kMarkAtPosition);
  return saved;
}

// --- All data ---------------------------------------------------------------------------------

SavedBytes SaveAllData(const IUndoTarget& target, UndoHeader& header, std::string_view) {
  header.CountA = static_cast<std::int32_t>(target.ByteCount());
  return DataAt(target, 0, header.CountA);
}

void UndoAllData(IUndoTarget& target, const UndoHeader& h, const std::uint8_t* saved,
                 const Restore& restoreState) {
  target.ReplaceAllBytes(saved, h.CountA);
  restoreState();
}

const std::array<UndoKindRules, kUndoKindCount> kRules = {{
    /* ukChangeBytes */ {SaveChange, MovesNothing, UndoChange, KeepChange, RedoChange},
    /* ukRemove */
    {SaveRemoved, RemovedMovesBookmarks, UndoRemove, KeepsNothingForRedo, RedoRemove},
    /* ukInsert */ {KeepsNothing, InsertedMovesBookmarks, UndoInsert, KeepPlaced, RedoInsert},
    /* ukReplace */ {SaveReplaced, ReplacedMovesBookmarks, UndoReplace, KeepPlaced, RedoReplace},
    /* ukAppend */ {KeepsNothing, MovesNothing, UndoAppend, KeepAppended, RedoAppend},
    /* ukInsertNibble */ {SaveNibbleByte, MovesNothing, UndoNibble, KeepAll, RedoAll},
    /* ukDeleteNibble */ {SaveNibbleByte, MovesNothing, UndoNibble, KeepAll, RedoAll},
    /* ukConvert */ {SaveRemoved, MovesNothing, UndoConvert, KeepPlaced, RedoConvert},
    /* ukCursorMovement */
    {KeepsNothing, MovesNothing, UndoCursorMovement, KeepsNothingForRedo, RedoesNothing},
    /* ukGroup */ {SaveGroupDescription, MovesNothing, nullptr, KeepsNothingForRedo, RedoesNothing},
    /* ukAllData */ {SaveAllData, MovesNothing, UndoAllData, KeepAll, RedoAll},
}};

}  // namespace

const UndoKindRules& RulesOf(int kind) {
  return kRules.at(static_cast<std::size_t>(kind));
}

}  // namespace kestrave::hex
