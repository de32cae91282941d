#include "hexeditor/undo/UndoKinds.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "hexeditor/document/HexDocument.h"
#include "hexeditor/undo/UndoTarget.h"
#include "platform/UserInterface.h"

namespace kestrave::hex {
namespace {

using Restore = std::function<void()>;

const std::uint8_t* BytesFrom(const HexDocument& document, std::int64_t position) {
  return reinterpret_cast<const std::uint8_t*>(document.Bytes().PointerAt(position));
}

std::int64_t SizeOf(const HexDocument& document) {
  return document.Bytes().DataSize();
}

// A byte reads as changed only while edits leave marks.
bool Marked(const HexDocument& document, const IUndoTarget& target, std::int64_t position) {
  return target.MarkingChanges() && document.Marks().Test(position);
}

void Mark(HexDocument& document, const IUndoTarget& target, std::int64_t position, bool changed) {
  document.SetMark(position, changed, target.MarkingChanges());
}

void TellBookmarks(IUndoTarget& target, const DocumentChange& change) {
  if (change.BookmarksMoved) target.BookmarkChanged();
}

// A piece of the data, read in place.
SavedBytes DataAt(const HexDocument& document, std::int64_t position, std::int64_t count) {
  SavedBytes saved;
  if (count > 0) saved.Bytes = {BytesFrom(document, position), static_cast<std::size_t>(count)};
  return saved;
}

// A copy of a piece of the data; a large one is copied in pieces, letting the windows draw.
std::vector<std::uint8_t> CopyOf(const HexDocument& document, std::int64_t position,
                                 std::int64_t count) {
  std::vector<std::uint8_t> bytes =
      platform::ZeroBytesResponsively(static_cast<std::size_t>(std::max<std::int64_t>(count, 0)));
  const auto piece = static_cast<std::int64_t>(platform::kResponsivePiece);
  for (std::int64_t at = 0; at < count; at += piece) {
    if (at > 0) platform::KeepResponsive();
    std::memcpy(bytes.data() + at, BytesFrom(document, position + at),
                static_cast<std::size_t>(std::min(piece, count - at)));
  }
  return bytes;
}

SavedBytes KeepsNothing(const HexDocument&, const IUndoTarget&, UndoHeader&, std::string_view) {
  return {};
}
void KeepsNothingForRedo(const HexDocument&, const IUndoTarget&, RedoState&) {}
bool RedoesNothing(HexDocument&, IUndoTarget&, const RedoState&) {
  return false;
}

// --- Change bytes: the old bytes and their marks --------------------------------------------

SavedBytes SaveChange(const HexDocument& document, const IUndoTarget& target, UndoHeader& header,
                      std::string_view) {
  const int p = header.Position;
  header.Flags |= FlagIf(Marked(document, target, p), undoflag::kMarkAtPosition);
  if (header.CountA == 2)
    header.Flags |= FlagIf(Marked(document, target, p + 1), undoflag::kMarkAfterPosition);
  return DataAt(document, p, header.CountA);
}

void UndoChange(HexDocument& document, IUndoTarget& target, const UndoHeader& h,
                const std::uint8_t* saved, const Restore& restoreState) {
  const int p = h.Position;
  const DocumentChange change = document.Overwrite(p, saved, h.CountA);
  Mark(document, target, p, h.Has(undoflag::kMarkAtPosition));
  if (h.CountA == 2) Mark(document, target, p + 1, h.Has(undoflag::kMarkAfterPosition));
  restoreState();
  target.BytesChanged(static_cast<int>(change.Low), static_cast<int>(change.High));
}

void KeepChange(const HexDocument& document, const IUndoTarget& target, RedoState& redo) {
  const int p = redo.Header.Position;
  redo.Kept = CopyOf(document, p, redo.Header.CountA);
  redo.Header.Flags |= FlagIf(Marked(document, target, p), undoflag::kMarkAtPosition) |
                       FlagIf(Marked(document, target, p + 1), undoflag::kMarkAfterPosition);
}

bool RedoChange(HexDocument& document, IUndoTarget&, const RedoState& redo) {
  document.Overwrite(redo.Header.Position, redo.Kept.data(), redo.Header.CountA);
  return redo.Header.CountA == 2;
}

// --- Remove: the removed bytes ----------------------------------------------------------------

SavedBytes SaveRemoved(const HexDocument& document, const IUndoTarget&, UndoHeader& header,
                       std::string_view) {
  return DataAt(document, header.Position, header.CountA);
}

void UndoRemove(HexDocument& document, IUndoTarget& target, const UndoHeader& h,
                const std::uint8_t* saved, const Restore& restoreState) {
  const DocumentChange change = document.Insert(h.Position, saved, h.CountA);
  target.SizeChanged();
  restoreState();
  TellBookmarks(target, change);
}

bool RedoRemove(HexDocument& document, IUndoTarget& target, const RedoState& redo) {
  document.Remove(redo.Header.Position, std::int64_t{redo.Header.Position} + redo.Header.CountA);
  target.BytesRemoved();
  return false;
}

// --- Insert: positions only -------------------------------------------------------------------

// The bookmarks from the position on move down with the rest, those on the inserted bytes too.
void UndoInsert(HexDocument& document, IUndoTarget& target, const UndoHeader& h,
                const std::uint8_t*, const Restore& restoreState) {
  const DocumentChange change = document.Replace(h.Position, h.CountA, nullptr, 0);
  target.BytesRemoved();
  restoreState();
  TellBookmarks(target, change);
}

// Insert, replace and convert keep the bytes the step had put at the position.
void KeepPlaced(const HexDocument& document, const IUndoTarget&, RedoState& redo) {
  redo.Kept = CopyOf(document, redo.Header.Position, redo.Header.CountA);
}

bool RedoInsert(HexDocument& document, IUndoTarget& target, const RedoState& redo) {
  document.Insert(redo.Header.Position, redo.Kept.data(), redo.Header.CountA);
  target.SizeChanged();
  return false;
}

// --- Replace: the old bytes (second count) ----------------------------------------------------

SavedBytes SaveReplaced(const HexDocument& document, const IUndoTarget&, UndoHeader& header,
                        std::string_view) {
  return DataAt(document, header.Position, header.CountB);
}

// The bytes at Position become Count others in two halves, laid out after each as an edit is.
DocumentChange ReplaceInHalves(HexDocument& document, IUndoTarget& target, int position,
                               int oldCount, const std::uint8_t* bytes, int count) {
  const DocumentChange change = document.RemoveToReplace(position, oldCount, count);
  target.BytesRemoved();
  document.FillReplacement(position, bytes, count);
  target.SizeChanged();
  return change;
}

void UndoReplace(HexDocument& document, IUndoTarget& target, const UndoHeader& h,
                 const std::uint8_t* saved, const Restore& restoreState) {
  const int p = h.Position;
  const DocumentChange change = ReplaceInHalves(document, target, p, h.CountA, saved, h.CountB);
  restoreState();
  TellBookmarks(target, change);
  document.CutMarksTo(std::max(p - 1, 0));
}

bool RedoReplace(HexDocument& document, IUndoTarget& target, const RedoState& redo) {
  ReplaceInHalves(document, target, redo.Header.Position, redo.Header.CountB, redo.Kept.data(),
                  redo.Header.CountA);
  return false;
}

// --- Append: the old size ---------------------------------------------------------------------

void UndoAppend(HexDocument& document, IUndoTarget& target, const UndoHeader& h,
                const std::uint8_t*, const Restore& restoreState) {
  target.CaretToRowStart();
  document.Truncate(h.Position);
  target.SizeChanged();
  restoreState();
}

void KeepAppended(const HexDocument& document, const IUndoTarget&, RedoState& redo) {
  const int p = redo.Header.Position;
  redo.Kept = CopyOf(document, p, SizeOf(document) - p);
}

bool RedoAppend(HexDocument& document, IUndoTarget& target, const RedoState& redo) {
  document.Append(redo.Kept.data(), redo.Header.CountA);
  target.SizeChanged();
  return false;
}

// --- Nibbles: the byte at the position and its mark -------------------------------------------

SavedBytes SaveNibbleByte(const HexDocument& document, const IUndoTarget& target,
                          UndoHeader& header, std::string_view) {
  header.Flags |= FlagIf(Marked(document, target, header.Position), undoflag::kMarkAtPosition);
  return DataAt(document, header.Position, 1);
}

void UndoNibble(HexDocument& document, IUndoTarget& target, const UndoHeader& h,
                const std::uint8_t* saved, const Restore& restoreState) {
  const int p = h.Position;
  // An inserted nibble is deleted again and the other way round, then the byte comes back.
  target.ShiftNibble(p, h.Kind() == ukDeleteNibble);
  document.Overwrite(p, saved, 1);
  Mark(document, target, p, h.Has(undoflag::kMarkAtPosition));
  restoreState();
  document.CutMarksTo(p);
  document.Truncate(SizeOf(document) - 1);
  target.SizeChanged();
}

// Nibble steps and the whole data keep all the data.
void KeepAll(const HexDocument& document, const IUndoTarget&, RedoState& redo) {
  redo.Kept = CopyOf(document, 0, SizeOf(document));
  redo.Header.CountA = static_cast<std::int32_t>(SizeOf(document));
}

bool RedoAll(HexDocument& document, IUndoTarget& target, const RedoState& redo) {
  document.ReplaceAll(redo.Kept.data(), redo.Header.CountA);
  target.SizeChanged();
  return false;
}

// --- Convert: the bytes before the conversion ------------------------------------------------

void UndoConvert(HexDocument& document, IUndoTarget&, const UndoHeader& h,
                 const std::uint8_t* saved, const Restore& restoreState) {
  document.Overwrite(h.Position, saved, h.CountA);
  restoreState();
  document.CutMarksTo(h.Position);
}

bool RedoConvert(HexDocument& document, IUndoTarget& target, const RedoState& redo) {
  ReplaceInHalves(document, target, redo.Header.Position, redo.Header.CountA, redo.Kept.data(),
                  redo.Header.CountA);
  return false;
}

// --- Cursor movement: the caret and selection only -------------------------------------------

void UndoCursorMovement(HexDocument&, IUndoTarget&, const UndoHeader&, const std::uint8_t*,
                        const Restore& restoreState) {
  restoreState();
}

// --- Group: its description (length byte, then up to 255 characters) -------------------------

SavedBytes SaveGroupDescription(const HexDocument& document, const IUndoTarget& target,
                                UndoHeader& header, std::string_view description) {
  SavedBytes saved;
  const std::size_t length = std::min<std::size_t>(description.size(), 255);
  saved.Own.assign(length + 1, static_cast<std::uint8_t>(length));
  std::memcpy(saved.Own.data() + 1, description.data(), length);
  header.Flags |= FlagIf(Marked(document, target, header.Position), undoflag::kMarkAtPosition);
  return saved;
}

// --- All data ---------------------------------------------------------------------------------

SavedBytes SaveAllData(const HexDocument& document, const IUndoTarget&, UndoHeader& header,
                       std::string_view) {
  header.CountA = static_cast<std::int32_t>(SizeOf(document));
  return DataAt(document, 0, header.CountA);
}

void UndoAllData(HexDocument& document, IUndoTarget& target, const UndoHeader& h,
                 const std::uint8_t* saved, const Restore& restoreState) {
  document.ReplaceAll(saved, h.CountA);
  target.SizeChanged();
  restoreState();
}

const std::array<UndoKindRules, kUndoKindCount> kRules = {{
    /* ukChangeBytes */ {SaveChange, UndoChange, KeepChange, RedoChange},
    /* ukRemove */ {SaveRemoved, UndoRemove, KeepsNothingForRedo, RedoRemove},
    /* ukInsert */ {KeepsNothing, UndoInsert, KeepPlaced, RedoInsert},
    /* ukReplace */ {SaveReplaced, UndoReplace, KeepPlaced, RedoReplace},
    /* ukAppend */ {KeepsNothing, UndoAppend, KeepAppended, RedoAppend},
    /* ukInsertNibble */ {SaveNibbleByte, UndoNibble, KeepAll, RedoAll},
    /* ukDeleteNibble */ {SaveNibbleByte, UndoNibble, KeepAll, RedoAll},
    /* ukConvert */ {SaveRemoved, UndoConvert, KeepPlaced, RedoConvert},
    /* ukCursorMovement */ {KeepsNothing, UndoCursorMovement, KeepsNothingForRedo, RedoesNothing},
    /* ukGroup */ {SaveGroupDescription, nullptr, KeepsNothingForRedo, RedoesNothing},
    /* ukAllData */ {SaveAllData, UndoAllData, KeepAll, RedoAll},
}};

}  // namespace

const UndoKindRules& RulesOf(int kind) {
  return kRules.at(static_cast<std::size_t>(kind));
}

}  // namespace kestrave::hex
