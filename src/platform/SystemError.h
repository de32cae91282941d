#pragma once

#include <string>

namespace kestrave::platform {

// The operating system's text for an error number, at most 256 characters, with trailing
// control characters, blanks and full stops removed, so it can be placed inside a sentence.
std::string SystemErrorText(int errorNumber);

// SystemErrorText of the calling thread's last error (errno).
std::string LastErrorText();

}  // namespace kestrave::platform
