#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/InterruptCleanup.h"

namespace kestrave::platform {

// Writes the new content of a file so that, at every moment, the name holds either what it held
// before (nothing, for a new file) or the whole new content: a failed, cancelled or interrupted
// save leaves it as it was.
//
// The content goes to a temporary file created exclusively beside the target (never through a
// link), which takes the target's place by a rename once it is complete; an interruption by
// SIGINT, SIGTERM or SIGHUP removes it (RemoveTemporariesOnInterrupt). A link as target is
// followed: the file it points to is replaced. A replaced file keeps its owner, group and
// permission bits; a new one gets what the umask and the folder give any new file.
//
// Where a new file cannot stand for the old one, the target itself is written instead (cut to
// the new length at the end), as a plain save does, and a failure can leave it half written:
//   - a character device: a settings file linked to /dev/null keeps saving off;
//   - a file with more than one name: every name keeps seeing the same content;
//   - a file whose owner and group a new file cannot be given (another user's file, writable);
//   - a writable file in a folder that refuses new files.
// Folders, FIFOs, sockets and block devices are refused.
//
// With Sync, Flush waits until the content is on the disk and Install until the folder records
// the new name, so a crash right after the save finds the new file or the old one, never an
// empty one. Without it the caller flushes a batch of files at the end itself (SyncToDisk).
class FileReplacement {
 public:
  explicit FileReplacement(const std::string& target, bool sync = true);
  ~FileReplacement();
  FileReplacement(const FileReplacement&) = delete;
  FileReplacement& operator=(const FileReplacement&) = delete;

  // Whether the file to write could be opened; when not, Error() tells why (EISDIR for a folder,
  // kNotRegularFileError for a FIFO, socket or block device).
  bool IsOpen() const { return file_.IsOpen(); }
  int Error() const { return error_; }
  int Fd() const { return file_.Fd(); }
  // Whether the target itself is being written rather than a temporary file beside it.
  bool WritesInPlace() const { return inPlace_; }

  // Ends the writing: cuts a file written in place to its new length, gives a temporary file the
  // target's mode, waits for the disk when syncing and closes; 0, or the error number of a step
  // the system could not complete.
  int Flush();
  // Puts the finished file in place of the target: 0, or the error number.
  int Install();

 private:
  void StartNewFile();
  bool StartReplacementOf(const struct stat& target);
  void StartInPlace(mode_t expectedType);
  bool CreateTemporary(mode_t mode);
  int TakeOwnerAndGroupOf(const struct stat& target);
  void DiscardTemporary();

  std::string target_;
  std::string temporary_;
  TemporaryInFlight inFlight_;
  FileHandle file_;
  std::optional<mode_t> mode_;
  int error_ = 0;
  bool sync_ = true;
  bool inPlace_ = false;
  bool inPlaceRegular_ = false;
};

// What could not be brought to the disk, and why.
struct SyncFailure {
  std::string Path;
  int Error = 0;
};

// Waits until the files, and the folders that hold their names, are on the disk: the end of a
// batch of replacements made without Sync, one wait for all instead of one per file. Files that
// are not regular (a record linked to /dev/null) have nothing to wait for.
std::optional<SyncFailure> SyncToDisk(const std::vector<std::string>& paths);

}  // namespace kestrave::platform
