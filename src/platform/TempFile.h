#pragma once

#include <cstdint>
#include <string>

#include "platform/FileSystem.h"

namespace kestrave::platform {

// The folder for temporary files: $TMPDIR when set, else /tmp.
std::string TemporaryFolder();

// Milliseconds since an arbitrary start, wrapping in 32 bits, as a tick count does.
std::uint32_t TickCount();

// Creates a new file only this user can read and write; fails (errno EEXIST) when anything
// exists under the name, a link included, so nobody can have prepared it.
FileHandle CreateExclusiveFile(const std::string& path);

}  // namespace kestrave::platform
