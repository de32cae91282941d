#include "platform/ole/Medium.h"

#include <cstring>

#include "platform/ole/GdiObjects.h"
#include "platform/ole/GlobalMemory.h"

namespace kestrave::platform::ole {
namespace {

constexpr std::uint32_t kDropFilesHeader = 20;

std::uint32_t Le32(const std::uint8_t* at) {
  return std::uint32_t{at[0]} | (std::uint32_t{at[1]} << 8) | (std::uint32_t{at[2]} << 16) |
         (std::uint32_t{at[3]} << 24);
}

}  // namespace

void ReleaseStgMedium(STGMEDIUM& medium) {
  if (medium.pUnkForRelease) {
    medium.pUnkForRelease->Release();
  } else if (medium.tymed == TYMED_HGLOBAL || medium.tymed == TYMED_MFPICT) {
    GlobalFree(medium.handle);
  } else if (medium.tymed == TYMED_GDI || medium.tymed == TYMED_ENHMF) {
    DeleteObject(medium.handle);
  }
  medium = STGMEDIUM{};
}

HGLOBAL MakeDropFiles(const std::vector<std::string>& files) {
  std::vector<std::uint8_t> block(kDropFilesHeader, 0);
  block[0] = kDropFilesHeader;  // the names start right after the header; not wide
  for (const std::string& file : files) {
    block.insert(block.end(), file.begin(), file.end());
    block.push_back(0);
  }
  block.push_back(0);
  return GlobalFromBytes(block.data(), block.size());
}

std::vector<std::string> DropFileNames(const std::uint8_t* block, std::size_t size) {
  std::vector<std::string> names;
  if (!block || size < kDropFilesHeader) return names;
  const std::uint32_t offset = Le32(block);
  const bool wide = Le32(block + 16) != 0;
  const std::size_t unit = wide ? 2 : 1;
  std::size_t at = offset;
  while (at + unit <= size) {
    std::string name;
    bool ended = false;
    for (; at + unit <= size; at += unit) {
      const std::uint32_t c = wide ? (block[at] | (block[at + 1] << 8)) : block[at];
      if (c == 0) {
        ended = true;
        at += unit;
        break;
      }
      // Wide names keep Latin-1 as it is; other characters cannot be named in 8 bits.
      name += static_cast<char>(c < 0x100 ? c : '?');
    }
    if (!ended || name.empty()) break;  // an unterminated name is no name; "" ends the list
    names.push_back(std::move(name));
  }
  return names;
}

std::uint32_t DragQueryFileA(HGLOBAL drop, std::uint32_t index, char* buffer, std::uint32_t size) {
  const std::uint8_t* block = GlobalLock(drop);
  const std::vector<std::string> names = DropFileNames(block, GlobalSize(drop));
  if (block) GlobalUnlock(drop);
  if (index == 0xFFFFFFFFu) return static_cast<std::uint32_t>(names.size());
  if (index >= names.size()) return 0;
  const std::string& name = names[index];
  if (!buffer) return static_cast<std::uint32_t>(name.size());
  if (size == 0) return 0;
  const auto length = static_cast<std::uint32_t>(std::min<std::size_t>(name.size(), size - 1));
  std::memcpy(buffer, name.data(), length);
  buffer[length] = '\0';
  return length;
}

}  // namespace kestrave::platform::ole
