#pragma once

#include <cstdint>
#include <limits>
#include <string>

namespace kestrave::app {

// Loads, saves, searches and sums of this many bytes or more show their progress.
inline constexpr int kProgressFrom = 8 << 20;

// The editor counts bytes in an int: a larger file cannot be held, and loading one would only
// fail part-way with a message about memory.
inline constexpr std::int64_t kLargestOpenedFile = std::numeric_limits<int>::max();

// A file's size for a message: "2.4 GiB", "310.5 MiB", "1200 bytes". Where one decimal would read
// as 2 GiB, the limit itself, for a file above it, every byte is given ("2147483648 bytes").
std::string FileSizeText(std::int64_t bytes);

}  // namespace kestrave::app
