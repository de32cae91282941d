#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string_view>
#include <vector>

#include "hexeditor/document/Bookmarks.h"
#include "hexeditor/undo/UndoRecord.h"

namespace kestrave::hex {

class HexDocument;
class IUndoTarget;

// What a record keeps: the data's own bytes where it keeps a piece of the data (read in place,
// not copied), or bytes of its own.
struct SavedBytes {
  std::span<const std::uint8_t> Bytes;
  std::vector<std::uint8_t> Own;
};

// What a redo needs: the state before the undo and the bytes the step had put in place.
struct RedoState {
  UndoHeader Header;
  std::vector<std::uint8_t> Kept;
  THexBookmarks Bookmarks{};
  UndoSelection Selection;
};

// Everything one kind of step does, in one place: what its record keeps when the step is about
// to be made, how undo takes it back, what undo keeps for a redo, and how the redo puts it back
// in place. The bytes, their marks and the bookmarks are the document's; the rest is the
// target's.
struct UndoKindRules {
  // The bytes the record keeps; the marks it notes go into Header's flags.
  SavedBytes (*Save)(const HexDocument& document, const IUndoTarget& target, UndoHeader& header,
                     std::string_view description);
  // Takes the step back; RestoreState puts back the record's caret, modes and selection at the
  // point the kind needs it. Not used for a group, which the history takes back itself.
  void (*Undo)(HexDocument& document, IUndoTarget& target, const UndoHeader& header,
               const std::uint8_t* saved, const std::function<void()>& restoreState);
  // Keeps in Redo what the step had put in place, before the undo takes it away.
  void (*KeepForRedo)(const HexDocument& document, const IUndoTarget& target, RedoState& redo);
  // Puts the step back; answers whether the mark after the position comes back too. The
  // history puts the bookmarks back as they were.
  bool (*Redo)(HexDocument& document, IUndoTarget& target, const RedoState& redo);
};

// The rules of a kind from 0 to kUndoKindCount - 1.
const UndoKindRules& RulesOf(int kind);

}  // namespace kestrave::hex
