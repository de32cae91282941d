#pragma once

#include <cstdint>
#include <optional>

#include "hexeditor/undo/UndoRecord.h"

namespace kestrave::hex {

// What the undo history needs of the buffer whose history it keeps, and nothing more: its
// bytes, change marks and the moves of its bookmarks, its caret, selection and modes, and the
// notices a step raises. The component answers it; besides it the history reaches only the
// document, for its size limit and the bookmarks a redo puts back.
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

  virtual std::int64_t ByteCount() const = 0;
  // The data from Position on, in place.
  virtual const std::uint8_t* BytesFrom(std::int64_t position) const = 0;
  virtual void WriteBlock(const void* bytes, int position, int count) = 0;
  virtual void InsertBytes(const void* bytes, int count, int position) = 0;
  // Removes the bytes from Start up to End (not included).
  virtual void RemoveBytes(int start, int end) = 0;
  virtual void AppendBytes(const void* bytes, int count) = 0;
  // Cuts the data to Size; the caret may first be sent to the start of its row.
  virtual void TruncateBytes(std::int64_t size, bool caretToRowStart) = 0;
  virtual void ReplaceAllBytes(const std::uint8_t* bytes, std::int64_t count) = 0;
  // Inserts (or deletes) a nibble at Position without marking it.
  virtual void ShiftNibble(int position, bool insert) = 0;
  virtual void WriteByte(int position, std::uint8_t value) = 0;

  virtual bool IsMarked(std::int64_t position) const = 0;
  virtual void SetChanged(int position, bool changed) = 0;
  // Change marks beyond this many bytes go.
  virtual void CutMarks(std::int64_t count) = 0;
  virtual void MoveBookmarksBy(std::int64_t from, std::int64_t delta, std::int64_t newSize) = 0;

  // Bytes Low to High (both included) show something new.
  virtual void BytesChanged(int low, int high) = 0;
  virtual void RepaintAll() = 0;
  virtual void Changed() = 0;
  virtual void BookmarkChanged() = 0;
};

}  // namespace kestrave::hex
