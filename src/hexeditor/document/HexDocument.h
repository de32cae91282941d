#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>

#include "hexeditor/document/Bookmarks.h"
#include "hexeditor/document/ChangeMarks.h"
#include "hexeditor/document/HexMemoryStream.h"

namespace kestrave::hex {

// The bytes being edited and what belongs to them: their change marks, the file they came from
// and whether they differ from it, and the ten bookmarks that follow them as they grow and
// shrink. It knows nothing of the cursor, the grid or a view.
class HexDocument {
 public:
  THexMemoryStream& Bytes() { return data_; }
  const THexMemoryStream& Bytes() const { return data_; }
  int Size() const { return static_cast<int>(data_.DataSize()); }
  // Grows the block ahead of a change, so a failed allocation leaves nothing half done.
  void ReserveFor(std::int64_t size) {
    if (size > data_.DataSize()) data_.Reserve(size);
  }
  // The edits of the bytes. Callers check positions and counts first; a null Bytes writes
  // zeros, never left-over memory.
  // Count bytes at Position, the rest moving up; marks go when the data was empty.
  void Insert(std::int64_t position, const void* bytes, std::int64_t count);
  // Removes Start up to End (not included), the rest moving down.
  void Remove(std::int64_t start, std::int64_t end);
  // Count bytes from Position written over.
  void Overwrite(std::int64_t position, const void* bytes, std::int64_t count);

  ChangeMarks& Marks() { return marks_; }
  const ChangeMarks& Marks() const { return marks_; }
  // Marks past a cut of the data read as unchanged again.
  void CutMarksTo(std::int64_t bits);

  const THexBookmarks& Bookmarks() const { return bookmarks_; }
  void SetBookmarks(const THexBookmarks& bookmarks) { bookmarks_ = bookmarks; }
  // Sets one slot; setting it to the place it already holds clears it.
  void ToggleBookmark(int index, int position, bool inCharField);
  // Every set bookmark at or after From moves by Delta; one that leaves the data (of NewSize
  // bytes, the size once the change is made) is cleared. Answers whether any slot was touched.
  bool MoveBookmarks(std::int64_t from, std::int64_t delta, std::int64_t newSize);

  const std::string& FileName() const { return fileName_; }
  void SetFileName(std::string name) { fileName_ = std::move(name); }
  // The name progress reports carry: the file being read or written, else the buffer's own.
  const std::string& ProgressName() const {
    return progressName_.empty() ? fileName_ : progressName_;
  }
  void SetProgressName(std::string name) { progressName_ = std::move(name); }
  bool ReadOnlyFile() const { return readOnlyFile_; }
  void SetReadOnlyFile(bool value) { readOnlyFile_ = value; }
  bool Modified() const { return modified_; }
  void SetModified(bool value) { modified_ = value; }
  bool SyncOnSave() const { return syncOnSave_; }
  void SetSyncOnSave(bool value) { syncOnSave_ = value; }
  int MaxUndo() const { return maxUndo_; }
  void SetMaxUndo(int value) { maxUndo_ = value; }

  // The backup the overwrite check asked for, made by the save that follows it.
  void RequestBackup(std::string name) { requestedBackup_ = std::move(name); }
  // Answers the backup name asked for, if any, and forgets it.
  std::optional<std::string> TakeRequestedBackup() {
    return std::exchange(requestedBackup_, std::nullopt);
  }

 private:
  THexMemoryStream data_;
  ChangeMarks marks_;
  THexBookmarks bookmarks_{};
  std::string fileName_ = "---";
  std::string progressName_;
  bool readOnlyFile_ = true;
  bool modified_ = false;
  bool syncOnSave_ = true;
  int maxUndo_ = 1048576;
  std::optional<std::string> requestedBackup_;
};

}  // namespace kestrave::hex
