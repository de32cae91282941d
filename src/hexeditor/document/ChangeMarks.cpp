#include "hexeditor/document/ChangeMarks.h"

namespace kestrave::hex {
namespace {

constexpr std::int64_t kBitsPerWord = 64;

std::uint64_t BitOf(std::int64_t position) {
  return std::uint64_t{1} << static_cast<unsigned>(position % kBitsPerWord);
}

}  // namespace

void ChangeMarks::SetSize(std::int64_t size) {
  if (size < 0) size = 0;
  words_.resize(static_cast<std::size_t>((size + kBitsPerWord - 1) / kBitsPerWord));
  // Bits past the new end must read clear if the set grows again.
  if (size % kBitsPerWord != 0) words_.back() &= BitOf(size) - 1;
  size_ = size;
}

bool ChangeMarks::Test(std::int64_t position) const {
  if (position < 0 || position >= size_) return false;
  return (words_[static_cast<std::size_t>(position / kBitsPerWord)] & BitOf(position)) != 0;
}

void ChangeMarks::Set(std::int64_t position, bool changed) {
  if (position < 0) return;
  if (position >= size_) {
    if (!changed) return;
    SetSize(position + 1);
  }
  auto& word = words_[static_cast<std::size_t>(position / kBitsPerWord)];
  word = changed ? (word | BitOf(position)) : (word & ~BitOf(position));
}

}  // namespace kestrave::hex
