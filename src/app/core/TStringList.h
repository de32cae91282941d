#pragma once

#include <string>
#include <vector>

namespace kestrave::app {

// An unsorted list of text lines, as the never-shown list boxes hold them.
class TStringList {
 public:
  void Add(std::string line) { lines_.push_back(std::move(line)); }
  void Clear() { lines_.clear(); }
  int Count() const { return static_cast<int>(lines_.size()); }
  // Raises EListError "List index out of bounds (%d)" outside 0 to Count - 1.
  const std::string& Strings(int index) const;
  const std::vector<std::string>& Lines() const { return lines_; }

 private:
  std::vector<std::string> lines_;
};

}  // namespace kestrave::app
