#pragma once

#include <string>
#include <vector>

#include "platform/ole/OleTypes.h"

namespace kestrave::platform::ole {

// Frees what a medium holds, by its kind, and clears it.
void ReleaseStgMedium(STGMEDIUM& medium);

// A file list as a global block: a DROPFILES header (offset of the names, drop point,
// client-area flag, wide flag) followed by the zero-terminated names and one more zero.
HGLOBAL MakeDropFiles(const std::vector<std::string>& files);

// With Index 0xFFFFFFFF the number of names; otherwise copies name Index into the buffer (cut
// to fit, zero-terminated) and answers its length without the zero; with no buffer answers the
// length it needs. Reads ANSI and wide lists; a malformed block gives 0.
std::uint32_t DragQueryFileA(HGLOBAL drop, std::uint32_t index, char* buffer, std::uint32_t size);

// The names of a DROPFILES block held in memory, as DragQueryFileA would read them.
std::vector<std::string> DropFileNames(const std::uint8_t* block, std::size_t size);

}  // namespace kestrave::platform::ole
