#pragma once

#include <sys/types.h>
#include <string>

#include "platform/FileSystem.h"

namespace kestrave::platform {

// Writes the new content of a file beside it and puts it in place only when it is complete, so
// a failed or cancelled save leaves the file that was there exactly as it was.
//
// Replacing an existing file: a temporary file is created exclusively in the target's folder
// (never through a link), gets the target's permission bits and replaces the target by a
// rename. A link as target is followed: the file it points to is replaced. A target that does
// not exist yet is created exclusively under its own name, as there is nothing to keep; if the
// save fails it is removed again.
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

  // Ends the writing: gives the file its mode and closes it; 0, or the error number of a write
  // the system could not complete.
  int Flush();
  // Puts the finished temporary file in place of the target: 0, or the error number.
  int Install();

 private:
  bool PrepareTarget(const std::string& target);
  bool CreateTemporary();
  bool CreateTargetItself();

  std::string target_;
  std::string temporary_;
  FileHandle file_;
  mode_t mode_ = 0;
  int error_ = 0;
  bool installed_ = false;
  bool targetExisted_ = true;
};

}  // namespace kestrave::platform
