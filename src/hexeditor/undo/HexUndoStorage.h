#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "hexeditor/document/HexMemoryStream.h"
#include "hexeditor/undo/UndoKinds.h"
#include "hexeditor/undo/UndoRecord.h"

namespace kestrave::hex {

class HexDocument;
class IUndoTarget;

// The undo history of one document: a record of every modification, made before the bytes
// change, kept back to back in one stream (oldest first) within a byte limit; and the state
// needed to redo the step undone last. It reads and edits the bytes, marks and bookmarks in the
// document, and reaches the caret, selection, modes and notices through the target.
class THexUndoStorage {
 public:
  THexUndoStorage(HexDocument& document, IUndoTarget& target)
      : document_(document), target_(target) {}
  THexUndoStorage(const THexUndoStorage&) = delete;
  THexUndoStorage& operator=(const THexUndoStorage&) = delete;

  // Records a change about to be made (nothing while suspended).
  void AddRecord(int kind, int position, int countA, int countB, const std::string& description);
  void Undo();
  void Redo();
  bool CanUndo() const;
  bool CanRedo() const { return redo_.has_value(); }
  void BeginUpdate() { ++updateCount_; }
  int EndUpdate();
  int UpdateCount() const { return updateCount_; }
  void Reset(bool discardRedoToo);
  void DiscardRedo();
  // Makes the newest record restore the caret at Position and select Count bytes from there.
  void SetSelectionInfo(int position, int count);

  // The byte limit of the stream, applied as a record is added; 0 or less keeps every step.
  int MaxUndo() const { return maxUndo_; }
  void SetMaxUndo(int value) { maxUndo_ = value; }

  // The step the next Undo takes back.
  const std::string& Description() const { return description_; }
  int Count() const { return count_; }
  std::int64_t Size() const { return stream_.DataSize(); }
  const std::uint8_t* Bytes() const {
    return reinterpret_cast<const std::uint8_t*>(stream_.PointerAt(0));
  }

 private:
  // The newest record, found from the end of the stream.
  struct LastRecord {
    std::int64_t Offset = 0;
    UndoHeader Header;
    std::string Description;
    std::optional<UndoSelection> Selection;
    const std::uint8_t* Saved = nullptr;
  };
  void SetStreamSize(std::int64_t size);
  void DropOldest();
  LastRecord ReadLast() const;
  void DropLast();
  void RestoreState(const LastRecord& record);
  void PrepareRedo(const UndoHeader& header);
  void UndoStep(const LastRecord& record);
  void FinishRedo(const RedoState& redo, bool secondMark);

  HexDocument& document_;
  IUndoTarget& target_;
  THexMemoryStream stream_;
  int count_ = 0;
  int maxUndo_ = 1048576;
  int updateCount_ = 0;
  std::string description_;
  std::optional<RedoState> redo_;
  std::vector<std::uint8_t> undoneRecord_;
  std::string undoneDescription_;
};

}  // namespace kestrave::hex
