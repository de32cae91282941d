#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "hexeditor/search/SearchKernel.h"

namespace kestrave::app {

// Where records start ("#!AMR") and where their markers ("audio/amr") lie in some data, each in
// order.
struct RecordStarts {
  std::vector<std::int64_t> Magics;
  std::vector<std::int64_t> Markers;
};

// Both texts as the converter's scan finds them in a container it opened: its editor folds the
// letter case through the Windows code page. Data may come a piece at a time: a match that
// begins in one piece is found with the bytes of the next.
class RecordStartSearch {
 public:
  RecordStartSearch();
  // The longest text: a piece must reach this many bytes less one into the next.
  std::int64_t Longest() const { return longest_; }
  // Appends the starts in Data, which lies at Offset in the whole, that begin before Data[Limit].
  void Search(std::span<const std::uint8_t> data, std::int64_t offset, std::int64_t limit,
              RecordStarts& into) const;

 private:
  // Where each text's first byte has one byte only that folds to it (both texts: "#" and 0x06),
  // that byte: candidates are then found as fast as memory can be read, and the rest compared.
  int firstBytes_[2] = {-1, -1};
  hex::ByteMap map_{};
  std::string patterns_[2];
  std::vector<std::basic_string_view<std::uint8_t>> needles_;
  std::int64_t longest_ = 0;
};

// The starts in Data, each of Threads threads searching a share of it.
RecordStarts FindRecordStarts(std::span<const std::uint8_t> data, int threads);

}  // namespace kestrave::app
