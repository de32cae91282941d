#pragma once

#include <string>

#include "platform/FileSystem.h"

namespace kestrave::hex {

// A file larger than a buffer can hold is refused before anything is read: EHexEditor "Out of
// memory while expanding memory stream".
void RefuseTooLargeToLoad(const std::string& fileName);
// 0 when the file can be read whole, otherwise the error number that says why not (a folder, a
// FIFO or device, a missing or unreadable file).
int UnreadableError(const std::string& fileName);
// Opens a file to be read whole, with the checks and errors of the editor's load: too large,
// "Cannot open %s. (%s.)" for a file that cannot be read, "Cannot open file ..." when it changed
// between the check and the open.
platform::FileHandle OpenToLoad(const std::string& fileName);

}  // namespace kestrave::hex
