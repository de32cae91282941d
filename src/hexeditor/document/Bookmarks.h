#pragma once

#include <array>
#include <cstdint>

namespace kestrave::hex {

// One bookmark slot: a byte position (-1 when unset) and the field it was set in.
struct THexBookmark {
  std::int32_t Position = -1;
  bool InCharField = false;
  bool operator==(const THexBookmark&) const = default;
};
inline constexpr int kBookmarkCount = 10;
using THexBookmarks = std::array<THexBookmark, kBookmarkCount>;

}  // namespace kestrave::hex
