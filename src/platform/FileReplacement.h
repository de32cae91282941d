#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/FilePlace.h"
#include "platform/FileSystem.h"
#include "platform/InterruptCleanup.h"

namespace kestrave::platform {

// Writes the new content of a file so that, at every moment, the name holds either what it held
// before (nothing, for a new file) or the whole new content: a failed, cancelled or interrupted
// save leaves it as it was.
//
// The target's path is followed link by link (FindPlace: a link another user planted in a shared
// folder is refused, as is another user's file there). The content goes to a temporary file
// created exclusively in the target's folder, which takes the target's place by a rename once it
// is complete; an interruption by SIGINT, SIGTERM or SIGHUP removes it. A link as target keeps
// being a link: the file it names is replaced. A replaced file keeps its owner, group and
// permission bits; a new one gets what the umask and the folder give any new file.
//
// Where a new file cannot stand for the old one, the target itself is written instead (cut to
// the new length at the end):
//   - a character device: a settings file linked to /dev/null keeps saving off;
//   - a file with more than one name: every name keeps seeing the same content;
//   - a file whose owner and group a new file cannot be given (another user's file, writable);
//   - a writable file in a folder that refuses new files.
// Room for the whole new content is reserved before such a file is touched, so a full disk
// fails the save while the old content is still whole; where the file system can reserve none,
// the file is not written in place at all. Folders, FIFOs, sockets and block devices are refused.
//
// With Sync, Flush waits until the content is on the disk and Install until the folder records
// the new name, so a crash right after the save finds the new file or the old one, never an
// empty one. Without it the caller flushes a batch of files at the end itself (SyncToDisk).
class FileReplacement {
 public:
  // Size: how many bytes the new content will have. Places, when given, finds the target's
  // folder once for a row of files written into it.
  FileReplacement(const std::string& target, std::int64_t size, bool sync = true,
                  PlaceFinder* places = nullptr);
  ~FileReplacement();
  FileReplacement(const FileReplacement&) = delete;
  FileReplacement& operator=(const FileReplacement&) = delete;

  // Whether the file to write could be opened; when not, Error() tells why (EISDIR for a folder,
  // kNotRegularFileError for a FIFO, socket or block device, ENOSPC when no room could be
  // reserved, kSharedFolderLinkError for a planted link...).
  bool IsOpen() const { return file_.IsOpen(); }
  int Error() const { return error_; }
  int Fd() const { return file_.Fd(); }
  // Whether the target itself is being written rather than a temporary file beside it.
  bool WritesInPlace() const { return inPlace_; }

  // Keeps what the target holds now under the name Backup. Where the target will be replaced by
  // a rename, the old file itself takes the backup's name when the new one takes the target's
  // (a failed save changes neither); otherwise, or where the backup's name lies on another file
  // system or names something else than a plain file, a whole copy with the target's owner and
  // mode is put in place now, before anything of the target is touched. 0, or the error number;
  // a target that is no regular file, or not there yet, has nothing to keep.
  int KeepBackup(const std::string& backup);

  // Ends the writing: cuts a file written in place to its new length, gives a temporary file the
  // target's mode, waits for the disk when syncing and closes; 0, or the error number of a step
  // the system could not complete.
  int Flush();
  // Puts the finished file (and a pending backup) in place of the target: 0, or the error
  // number; BackupFailed() then tells whether it was the backup that could not be put in place.
  int Install();
  bool BackupFailed() const { return backupFailed_; }

  // A temporary file takes Original's owner, group and permission bits rather than those of the
  // file it replaces; where the owner cannot be given, it is kept to its owner's eyes only.
  void TakeLookOf(const struct stat& original);

 private:
  void Start(std::int64_t size);
  void StartNewFile();
  bool StartReplacementOf(const struct stat& target);
  void StartInPlace(mode_t expectedType, std::int64_t size);
  bool CreateTemporary(mode_t mode);
  int TakeOwnerAndGroupOf(const struct stat& target);
  void DiscardTemporary();
  int PlaceBackup(const std::string& backup);
  int CopyBackup(const std::string& backup);
  int InstallWithBackup();

  FilePlace place_;
  std::optional<struct stat> target_;  // what was there, when it was a regular file
  std::string temporary_;
  TemporaryInFlight inFlight_;
  FileHandle file_;
  std::optional<mode_t> mode_;
  // Where the old file goes when the new one is installed.
  FilePlace backup_;
  bool keepsOldAsBackup_ = false;
  int error_ = 0;
  bool sync_ = true;
  bool inPlace_ = false;
  bool inPlaceRegular_ = false;
  bool backupFailed_ = false;
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
