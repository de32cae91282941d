// Any DROPFILES block, ANSI or wide, must be read without going past it, and DragQueryFileA must
// agree with the list of names: whole when asked with room for the whole name, cut to the room
// of a fixed buffer otherwise.
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/ole/GlobalMemory.h"
#include "platform/ole/Medium.h"

namespace ole = kestrave::platform::ole;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto names = ole::DropFileNames(size ? data : nullptr, size);
  const ole::HGLOBAL drop = ole::GlobalFromBytes(data, size);
  const std::uint32_t count = ole::DragQueryFileA(drop, 0xFFFFFFFFu, nullptr, 0);
  if (count != names.size()) std::abort();
  for (std::uint32_t i = 0; i < count; ++i) {
    char name[261];
    const std::uint32_t length = ole::DragQueryFileA(drop, i, name, sizeof name);
    if (length != std::min<std::size_t>(names[i].size(), 260) || std::strlen(name) != length)
      std::abort();
    const std::uint32_t whole = ole::DragQueryFileA(drop, i, nullptr, 0);
    if (whole != names[i].size()) std::abort();
    std::vector<char> room(whole + 1);
    if (ole::DragQueryFileA(drop, i, room.data(), whole + 1) != whole ||
        std::string(room.data(), whole) != names[i] || room[whole] != '\0')
      std::abort();
  }
  ole::GlobalFree(drop);
  return 0;
}
