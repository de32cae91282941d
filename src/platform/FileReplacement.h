#pragma once

#include <sys/types.h>
#include <string>

#include "platform/FileSystem.h"

namespace kestrave::platform {

// Writes the new content of a file beside it and puts it in place only when it is complete, so
// a failed or cancelled save leaves the file that was there exactly as it was.
//
// The temporary file is created exclusively in the target's folder (never through a link), gets
// the target's permission bits (or those a newly created file would get) and replaces the target
// by a rename. A link as target is followed: the file it points to is replaced.
class FileReplacement {
 public:
  explicit FileReplacement(const std::string& target);
  ~FileReplacement();
  FileReplacement(const FileReplacement&) = delete;
  FileReplacement& operator=(const FileReplacement&) = delete;

  // Whether the temporary file could be created; when not, Error() tells why.
  bool IsOpen() const { return file_.IsOpen(); }
  int Error() const { return error_; }
  int Fd() const { return file_.Fd(); }

  // Forces the written bytes to the disk: 0, or the error number of a failed write-back.
  int Flush();
  // Puts the temporary file in place of the target: 0, or the error number.
  int Install();

 private:
  bool PrepareTarget(const std::string& target);
  bool CreateTemporary();

  std::string target_;
  std::string temporary_;
  FileHandle file_;
  mode_t mode_ = 0;
  int error_ = 0;
  bool installed_ = false;
};

}  // namespace kestrave::platform
