#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kestrave::app {

// An unsorted list of text lines, as the never-shown list boxes hold them. The converter's lists
// hold a position for every hit, millions of them in a large container, so a line that is a
// number as std::to_string writes it (0 to 2147483647) is kept in four bytes; any other line is
// kept as it is.
class TStringList {
 public:
  void Add(const std::string& line);
  // Frees the lines' memory too: the next container may be much smaller.
  void Clear();
  // Room for Count lines in all, so adding them allocates once.
  void Reserve(int count);
  int Count() const { return static_cast<int>(entries_.size()); }
  // Raises EListError "List index out of bounds (%d)" outside 0 to Count - 1.
  std::string Strings(int index) const;
  // Every line, in order.
  std::vector<std::string> Lines() const;

 private:
  // A number line's value, or -1 - k for the line others_[k].
  std::vector<std::int32_t> entries_;
  std::vector<std::string> others_;
};

}  // namespace kestrave::app
