#pragma once

#include <cstdint>
#include <vector>

namespace kestrave::hex {

// One bit per byte of the buffer that was changed since it was loaded or saved. The set is as
// long as the highest mark made; positions beyond it read as unchanged.
class ChangeMarks {
 public:
  std::int64_t Size() const { return size_; }
  // Cuts the set back (or lengthens it with clear bits) to Size bits.
  void SetSize(std::int64_t size);
  void Clear() { SetSize(0); }
  bool Test(std::int64_t position) const;
  // Sets or clears one bit, lengthening the set when the position lies beyond it.
  void Set(std::int64_t position, bool changed);

 private:
  std::vector<std::uint64_t> words_;
  std::int64_t size_ = 0;
};

}  // namespace kestrave::hex
