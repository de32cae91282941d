// Any DROPFILES block, ANSI or wide, must be read without going past it, and DragQueryFileA must
// agree with the list of names.
#include <cstdlib>
#include <cstring>

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
  }
  ole::GlobalFree(drop);
  return 0;
}
