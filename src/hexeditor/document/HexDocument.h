#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>

#include "hexeditor/document/Bookmarks.h"
#include "hexeditor/document/ChangeMarks.h"
#include "hexeditor/document/HexMemoryStream.h"

namespace kestrave::hex {

// What an edit of the document did, for the caller to draw and to tell.
struct DocumentChange {
  // The bytes that show something new (High included; none when High is below Low).
  std::int64_t Low = 0;
  std::int64_t High = -1;
  // A bookmark moved or left the data.
  bool BookmarksMoved = false;
};

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
  // The edits of the bytes, each moving the change marks and bookmarks with the bytes. Callers
  // check positions and counts first; a null Bytes writes zeros, never left-over memory. Marks
  // from the edited position on go: they would stand for other bytes now.
  // Count bytes at Position, the rest moving up with its bookmarks; all marks go when the data
  // was empty.
  DocumentChange Insert(std::int64_t position, const void* bytes, std::int64_t count);
  // Count bytes after the end; the marks past the old end go, no bookmark moves.
  DocumentChange Append(const void* bytes, std::int64_t count);
  // Removes Start up to End (not included); the rest moves down with its bookmarks.
  DocumentChange Remove(std::int64_t start, std::int64_t end);
  // OldCount bytes at Position become NewCount bytes; the bookmarks from Position + NewCount on
  // move by the difference.
  DocumentChange Replace(std::int64_t position, std::int64_t oldCount, const void* bytes,
                         std::int64_t newCount);
  // Replace in two halves, for a caller that lays out the data between them: the first removes
  // the old bytes and moves the marks and bookmarks for the whole replacement, the second puts
  // the new bytes in.
  DocumentChange RemoveToReplace(std::int64_t position, std::int64_t oldCount,
                                 std::int64_t newCount);
  DocumentChange FillReplacement(std::int64_t position, const void* bytes, std::int64_t count);
  // Count bytes from Position written over; marks and bookmarks stay.
  DocumentChange Overwrite(std::int64_t position, const void* bytes, std::int64_t count);
  // The data cut to Size bytes; the marks past it go.
  DocumentChange Truncate(std::int64_t size);
  // The whole data becomes Count bytes; the marks past them go, bookmarks stay.
  DocumentChange ReplaceAll(const void* bytes, std::int64_t count);

  ChangeMarks& Marks() { return marks_; }
  const ChangeMarks& Marks() const { return marks_; }
  // Marks past a cut of the data read as unchanged again.
  void CutMarksTo(std::int64_t bits);
  // Sets or clears the mark of one byte. While Marking is off (insert mode) every other mark
  // goes first: the bytes move under them.
  void SetMark(std::int64_t position, bool changed, bool marking);

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

  // The backup the overwrite check asked for, made by the save that follows it.
  void RequestBackup(std::string name) { requestedBackup_ = std::move(name); }
  // Answers the backup name asked for, if any, and forgets it.
  std::optional<std::string> TakeRequestedBackup() {
    return std::exchange(requestedBackup_, std::nullopt);
  }

 private:
  void MoveTail(std::int64_t position, std::int64_t oldCount, std::int64_t newCount);
  void Write(std::int64_t position, const void* bytes, std::int64_t count);
  // Count bytes in at Position; the marks go when the data was empty.
  void Open(std::int64_t position, const void* bytes, std::int64_t count);
  // After a change of size at Position: the marks from it go, the bookmarks from From move by
  // Delta.
  DocumentChange Resized(std::int64_t position, std::int64_t from, std::int64_t delta);

  THexMemoryStream data_;
  ChangeMarks marks_;
  THexBookmarks bookmarks_{};
  std::string fileName_ = "---";
  std::string progressName_;
  bool readOnlyFile_ = true;
  bool modified_ = false;
  bool syncOnSave_ = true;
  std::optional<std::string> requestedBackup_;
};

}  // namespace kestrave::hex
