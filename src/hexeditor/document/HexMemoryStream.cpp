#include "hexeditor/document/HexMemoryStream.h"

#include <algorithm>
#include <cstring>

#include "hexeditor/HexEditorError.h"
#include "hexeditor/Messages.h"
#include "platform/UserInterface.h"

namespace kestrave::hex {
namespace {

constexpr std::int64_t kCapacityStep = 8192;

std::int64_t RoundedCapacity(std::int64_t size) {
  return (size + kCapacityStep - 1) / kCapacityStep * kCapacityStep;
}

}  // namespace

void THexMemoryStream::SetSize(std::int64_t size) {
  if (size < 0 || size > kMaxSize) throw EHexEditor(msg::kOutOfMemory);
  if (!block_.Resize(static_cast<std::size_t>(RoundedCapacity(size))))
    throw EHexEditor(msg::kOutOfMemory);
  size_ = size;
  position_ = std::min(position_, size_);
}

void THexMemoryStream::Reserve(std::int64_t size) {
  if (size < 0 || size > kMaxSize) throw EHexEditor(msg::kOutOfMemory);
  const std::int64_t capacity = RoundedCapacity(size);
  if (capacity > Capacity() && !block_.Resize(static_cast<std::size_t>(capacity)))
    throw EHexEditor(msg::kOutOfMemory);
}

std::int64_t THexMemoryStream::Read(void* buffer, std::int64_t count) {
  const std::int64_t available = std::clamp<std::int64_t>(size_ - position_, 0, count);
  if (available <= 0) return 0;
  std::memcpy(buffer, PointerAt(position_), static_cast<std::size_t>(available));
  position_ += available;
  return available;
}

std::int64_t THexMemoryStream::Write(const void* buffer, std::int64_t count) {
  if (count <= 0 || position_ < 0) return 0;
  const std::int64_t end = position_ + count;
  if (end > size_) SetSize(end);
  platform::MoveBytesResponsively(PointerAt(position_), buffer, static_cast<std::size_t>(count));
  position_ = end;
  return count;
}

std::int64_t THexMemoryStream::Seek(std::int64_t offset, platform::TSeekOrigin origin) {
  switch (origin) {
    case platform::TSeekOrigin::soBeginning:
      position_ = offset;
      break;
    case platform::TSeekOrigin::soCurrent:
      position_ += offset;
      break;
    case platform::TSeekOrigin::soEnd:
      position_ = size_ + offset;
      break;
  }
  return position_;
}

void THexMemoryStream::CheckBounds(std::int64_t end) const {
  if (end > size_) throw EHexEditor(msg::kOutOfBounds);
}

void THexMemoryStream::MoveData(std::int64_t from, std::int64_t to, std::int64_t count) {
  platform::MoveBytesResponsively(PointerAt(to), PointerAt(from), static_cast<std::size_t>(count));
}

void THexMemoryStream::WriteAt(std::int64_t position, const void* buffer, std::int64_t count) {
  CheckBounds(position + count);
  const std::int64_t saved = position_;
  position_ = position;
  try {
    Write(buffer, count);
  } catch (...) {
    position_ = saved;
    throw;
  }
  position_ = saved;
}

}  // namespace kestrave::hex
