#pragma once

#include <string>

namespace kestrave::platform {

// The error number of a refused read of something other than a regular file (a FIFO, a device,
// a socket); the system has none of its own for that. It lies above every system error number
// (the kernel's stay below 4096); SystemErrorText gives it the text "Not a regular file", and
// the two below texts of their own.
inline constexpr int kNotRegularFileError = 0x1000 + 1;
// A symbolic link in a world-writable sticky folder (/tmp) that belongs neither to this user nor
// to the folder's owner: another user may have planted it to make us write where it points.
inline constexpr int kSharedFolderLinkError = 0x1000 + 2;
// A file in such a folder that belongs neither to this user nor to the folder's owner: writing
// into it, or giving its owner what we write, would serve whoever put it there.
inline constexpr int kSharedFolderFileError = 0x1000 + 3;

// The operating system's text for an error number, at most 256 characters, with trailing
// control characters, blanks and full stops removed, so it can be placed inside a sentence.
std::string SystemErrorText(int errorNumber);

// SystemErrorText of the calling thread's last error (errno).
std::string LastErrorText();

}  // namespace kestrave::platform
