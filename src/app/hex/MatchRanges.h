#pragma once

#include <vector>

namespace kestrave::app {

// The bytes the matches of one search cover, for drawing them: every match has the pattern's
// length, and the starts are ascending (matches may overlap).
class MatchRanges {
 public:
  MatchRanges() = default;
  MatchRanges(std::vector<int> starts, int length);

  bool Empty() const { return starts_.empty() || length_ <= 0; }
  int Count() const { return static_cast<int>(starts_.size()); }
  int Length() const { return length_; }
  const std::vector<int>& Starts() const { return starts_; }
  // Whether a match covers the byte at this position.
  bool Covers(int position) const;

 private:
  std::vector<int> starts_;
  int length_ = 0;
};

}  // namespace kestrave::app
