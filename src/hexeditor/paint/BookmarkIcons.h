#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace kestrave::hex {

// A picture of 32-bit pixels (red, green, blue from the lowest byte up), rows top first.
struct THexBitmap {
  int Width = 0;
  int Height = 0;
  std::vector<std::uint32_t> Pixels;

  std::uint32_t At(int x, int y) const { return Pixels[static_cast<std::size_t>(y) * Width + x]; }
  bool operator==(const THexBitmap&) const = default;
};

inline constexpr int kBookmarkIconSize = 10;
inline constexpr int kBookmarkIconCount = 20;

// The bookmark marks as one strip of 200 x 10 pixels: digits 0 to 9 on blue tags for bookmarks
// set in the hex field, then on green tags for those set in the character field.
THexBitmap DefaultBookmarkIcons();

// One 10 x 10 image cut from a strip; pixels of the strip's top-left colour are transparent.
struct TBookmarkImage {
  THexBitmap Picture;
  std::uint32_t Transparent = 0;
};
std::array<TBookmarkImage, kBookmarkIconCount> CutBookmarkImages(const THexBitmap& strip);

// The bookmark images an editor draws: the strip they are cut from, and whether an application
// set it (and so whether it belongs in the stored settings).
struct BookmarkIconSet {
  THexBitmap Strip = DefaultBookmarkIcons();
  bool Custom = false;
  std::array<TBookmarkImage, kBookmarkIconCount> Images = CutBookmarkImages(Strip);
};

}  // namespace kestrave::hex
