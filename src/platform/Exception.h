#pragma once

#include <exception>
#include <string>

namespace kestrave::platform {

// Every error of the system is an exception with its message text, as callers compare it, and
// beside it what the message leaves out: the file and the cause ("PATH: REASON"), which the
// places that show errors add as a second line.
class Exception : public std::exception {
 public:
  explicit Exception(std::string message, std::string detail = {})
      : message_(std::move(message)), detail_(std::move(detail)) {}
  const std::string& Message() const noexcept { return message_; }
  const std::string& Detail() const noexcept { return detail_; }
  const char* what() const noexcept override { return message_.c_str(); }

 private:
  std::string message_;
  std::string detail_;
};

// A file cannot be opened, or a read-only file would be overwritten.
class EFOpenError : public Exception {
  using Exception::Exception;
};

// A file cannot be created.
class EFCreateError : public Exception {
  using Exception::Exception;
};

// A string list was indexed outside its lines.
class EListError : public Exception {
  using Exception::Exception;
};

// A clipboard or data-object call failed.
class EOleError : public Exception {
  using Exception::Exception;
};

// A value cannot be converted or assigned to what it is meant for.
class EConvertError : public Exception {
  using Exception::Exception;
};

// The message of memory that ran out where no more particular text says what was being done.
// Short enough to be kept without allocating.
inline constexpr char kOutOfMemoryText[] = "Out of memory";

// Memory ran out, found by a call that answers with a code rather than std::bad_alloc.
class EOutOfMemory : public Exception {
 public:
  EOutOfMemory() : Exception(kOutOfMemoryText) {}
};

// The text to show for the exception being handled, whatever its kind: its message, and its
// detail on a second line ("\r\n") when it has one; call it inside a catch block. Running out of
// memory (std::bad_alloc, or a size no container can hold) reads kOutOfMemoryText.
std::string CurrentErrorText();

}  // namespace kestrave::platform
