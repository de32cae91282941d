#include "platform/ole/GlobalMemory.h"

#include <cstring>
#include <map>
#include <new>
#include <vector>

#include "platform/UserInterface.h"

namespace kestrave::platform::ole {
namespace {

struct Block {
  std::vector<std::uint8_t> bytes;
  int locks = 0;
};

struct Table {
  std::map<HGLOBAL, Block> blocks;
  HGLOBAL next = 0x1000;
};

Table& Blocks() {
  static Table table;
  return table;
}

Block* Find(HGLOBAL handle) {
  const auto found = Blocks().blocks.find(handle);
  return found == Blocks().blocks.end() ? nullptr : &found->second;
}

}  // namespace

HGLOBAL GlobalAlloc(std::uint32_t, std::size_t size) {
  try {
    Table& table = Blocks();
    const HGLOBAL handle = table.next;
    table.next += 4;
    table.blocks[handle].bytes = ZeroBytesResponsively(size);
    return handle;
  } catch (const std::bad_alloc&) {
    return 0;
  }
}

std::uint8_t* GlobalLock(HGLOBAL handle) {
  Block* block = Find(handle);
  if (!block) return nullptr;
  ++block->locks;
  // A block of size 0 still has an address.
  static std::uint8_t empty = 0;
  return block->bytes.empty() ? &empty : block->bytes.data();
}

bool GlobalUnlock(HGLOBAL handle) {
  Block* block = Find(handle);
  if (!block || block->locks == 0) return false;
  return --block->locks > 0;
}

std::size_t GlobalSize(HGLOBAL handle) {
  const Block* block = Find(handle);
  return block ? block->bytes.size() : 0;
}

HGLOBAL GlobalFree(HGLOBAL handle) {
  return Blocks().blocks.erase(handle) == 1 ? 0 : handle;
}

std::size_t GlobalBlockCount() {
  return Blocks().blocks.size();
}

HGLOBAL GlobalFromBytes(const void* bytes, std::size_t size) {
  const HGLOBAL handle = GlobalAlloc(GMEM_MOVEABLE, size);
  if (handle && size > 0) MoveBytesResponsively(GlobalLock(handle), bytes, size);
  if (handle && size > 0) GlobalUnlock(handle);
  return handle;
}

}  // namespace kestrave::platform::ole
