#include "platform/ole/Medium.h"

#include <algorithm>
#include <cstring>
#include <optional>

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

namespace {

// Where one name of a DROPFILES block lies: its first byte and its length in characters.
struct NameSpan {
  std::size_t At = 0;
  std::size_t Chars = 0;
};

// Visits the names of a block in order until Visit answers false. Walking costs no allocation,
// so asking for one name of a long list does not build all the others.
template <typename Visit>
void WalkDropNames(const std::uint8_t* block, std::size_t size, Visit&& visit) {
  if (!block || size < kDropFilesHeader) return;
  const std::size_t unit = Le32(block + 16) != 0 ? 2 : 1;
  std::size_t at = Le32(block);
  while (at + unit <= size) {
    std::size_t end = at;
    while (end + unit <= size && (block[end] != 0 || (unit == 2 && block[end + 1] != 0)))
      end += unit;
    // An unterminated name is no name; "" ends the list.
    if (end + unit > size || end == at) return;
    if (!visit(NameSpan{at, (end - at) / unit})) return;
    at = end + unit;
  }
}

std::string NameOf(const std::uint8_t* block, const NameSpan& span, bool wide) {
  std::string name(span.Chars, '\0');
  for (std::size_t i = 0; i < span.Chars; ++i) {
    const std::size_t at = span.At + (wide ? 2 * i : i);
    const std::uint32_t c = wide ? (block[at] | (block[at + 1] << 8)) : block[at];
    // Wide names keep Latin-1 as it is; other characters cannot be named in 8 bits.
    name[i] = static_cast<char>(c < 0x100 ? c : '?');
  }
  return name;
}

bool IsWide(const std::uint8_t* block, std::size_t size) {
  return block && size >= kDropFilesHeader && Le32(block + 16) != 0;
}

}  // namespace

std::vector<std::string> DropFileNames(const std::uint8_t* block, std::size_t size) {
  std::vector<std::string> names;
  const bool wide = IsWide(block, size);
  WalkDropNames(block, size, [&](const NameSpan& span) {
    names.push_back(NameOf(block, span, wide));
    return true;
  });
  return names;
}

std::uint32_t DragQueryFileA(HGLOBAL drop, std::uint32_t index, char* buffer, std::uint32_t size) {
  const std::uint8_t* block = GlobalLock(drop);
  const std::size_t blockSize = GlobalSize(drop);
  std::uint32_t count = 0;
  std::optional<NameSpan> found;
  WalkDropNames(block, blockSize, [&](const NameSpan& span) {
    if (count++ == index) found = span;
    return !found;
  });
  const std::string name = found ? NameOf(block, *found, IsWide(block, blockSize)) : "";
  if (block) GlobalUnlock(drop);
  if (index == 0xFFFFFFFFu) return count;
  if (!found) return 0;
  if (!buffer) return static_cast<std::uint32_t>(name.size());
  if (size == 0) return 0;
  const auto length = static_cast<std::uint32_t>(std::min<std::size_t>(name.size(), size - 1));
  std::memcpy(buffer, name.data(), length);
  buffer[length] = '\0';
  return length;
}

}  // namespace kestrave::platform::ole
