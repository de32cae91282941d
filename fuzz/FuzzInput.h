#pragma once

#include <cstddef>
#include <cstdint>

namespace kestrave::fuzz {

// Takes bytes off the front of a fuzzer's input; reads past the end give 0.
class FuzzInput {
 public:
  FuzzInput(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

  std::uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }
  std::size_t Remaining() const { return size_ - at_; }
  const std::uint8_t* Rest() const { return data_ + at_; }
  // The next Count bytes (fewer at the end), taken off the input.
  const std::uint8_t* Take(std::size_t& count) {
    if (count > Remaining()) count = Remaining();
    const std::uint8_t* piece = data_ + at_;
    at_ += count;
    return piece;
  }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t at_ = 0;
};

}  // namespace kestrave::fuzz
