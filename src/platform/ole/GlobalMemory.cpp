#include "platform/ole/GlobalMemory.h"

#include <cstring>
#include <map>
#include <memory>
#include <new>
#include <vector>

#include "platform/UserInterface.h"

namespace kestrave::platform::ole {
namespace {

// A block owns its bytes, or views bytes that Owner keeps alive and nobody changes.
struct Block {
  std::vector<std::uint8_t> bytes;
  std::shared_ptr<const void> owner;
  std::uint8_t* view = nullptr;
  std::size_t viewSize = 0;
  int locks = 0;

  std::uint8_t* Data() { return owner ? view : bytes.data(); }
  std::size_t Size() const { return owner ? viewSize : bytes.size(); }
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
  return block->Size() == 0 ? &empty : block->Data();
}

bool GlobalUnlock(HGLOBAL handle) {
  Block* block = Find(handle);
  if (!block || block->locks == 0) return false;
  return --block->locks > 0;
}

std::size_t GlobalSize(HGLOBAL handle) {
  const Block* block = Find(handle);
  return block ? block->Size() : 0;
}

HGLOBAL GlobalFree(HGLOBAL handle) {
  return Blocks().blocks.erase(handle) == 1 ? 0 : handle;
}

std::size_t GlobalBlockCount() {
  return Blocks().blocks.size();
}

HGLOBAL GlobalFromShared(std::shared_ptr<const void> owner, const std::uint8_t* bytes,
                         std::size_t size) {
  try {
    Table& table = Blocks();
    const HGLOBAL handle = table.next;
    Block block;
    block.owner = owner ? std::move(owner) : std::make_shared<int>(0);
    block.view = const_cast<std::uint8_t*>(bytes);
    block.viewSize = size;
    table.blocks.emplace(handle, std::move(block));
    table.next += 4;
    return handle;
  } catch (const std::bad_alloc&) {
    return 0;
  }
}

HGLOBAL GlobalFromBytes(const void* bytes, std::size_t size) {
  const HGLOBAL handle = GlobalAlloc(GMEM_MOVEABLE, size);
  if (handle && size > 0) MoveBytesResponsively(GlobalLock(handle), bytes, size);
  if (handle && size > 0) GlobalUnlock(handle);
  return handle;
}

}  // namespace kestrave::platform::ole
