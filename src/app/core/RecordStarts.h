#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace kestrave::app {

// Where records start ("#!AMR") and where their markers ("audio/amr") lie in some data, each in
// order.
struct RecordStarts {
  std::vector<std::int64_t> Magics;
  std::vector<std::int64_t> Markers;
};

// Both texts found as the converter's scan finds them in a container it opened: its editor folds
// the letter case through the Windows code page. Each of Threads threads searches a share of the
// data, reaching into the next share for a match that begins in its own.
RecordStarts FindRecordStarts(std::span<const std::uint8_t> data, int threads);

}  // namespace kestrave::app
