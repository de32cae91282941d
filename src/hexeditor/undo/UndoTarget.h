#pragma once

#include <cstdint>
#include <optional>

#include "hexeditor/undo/UndoRecord.h"

namespace kestrave::hex {

// What the undo history needs of the component whose history it keeps, beyond the document it
// edits itself: the caret, selection and modes, and the steps and notices that follow a change
// of the bytes.
class IUndoTarget {
 public:
  virtual ~IUndoTarget() = default;

  // The caret, modes and flags of the moment, as a record's header keeps them.
  virtual UndoHeader CurrentState() const = 0;
  // The selection of the moment (anchor -1: none).
  virtual UndoSelection CurrentSelection() const = 0;
  // Modes first: the caret and selection a step had are only valid under its modes.
  virtual void RestoreModes(const UndoHeader& header) = 0;
  // The caret and the modified flag of a header.
  virtual void RestoreCaret(const UndoHeader& header) = 0;
  // A kept selection; a high end of -1 puts only the cursor there, none selects nothing.
  virtual void RestoreSelection(const std::optional<UndoSelection>& selection) = 0;
  // A selection exactly as kept, without alignment.
  virtual void RestoreSelectionFields(const UndoSelection& selection) = 0;
  // Whether edits leave change marks now: not in insert mode.
  virtual bool MarkingChanges() const = 0;
  // Before a cut of the data: the caret goes to the start of its row.
  virtual void CaretToRowStart() = 0;
  // Inserts (or deletes) a nibble at Position without marking it, under the busy cursor.
  virtual void ShiftNibble(int position, bool insert) = 0;

  // The data's size changed: the grid is laid out again.
  virtual void SizeChanged() = 0;
  // Bytes were taken out: laid out again, nothing selected, everything drawn again.
  virtual void BytesRemoved() = 0;
  // Bytes Low to High (both included) show something new.
  virtual void BytesChanged(int low, int high) = 0;
  virtual void RepaintAll() = 0;
  virtual void Changed() = 0;
  virtual void BookmarkChanged() = 0;
};

}  // namespace kestrave::hex
