#include "hexeditor/paint/BookmarkIcons.h"

namespace kestrave::hex {
namespace {

// Red, green and blue with red in the lowest byte, as every colour of the view.
constexpr std::uint32_t Rgb(std::uint32_t r, std::uint32_t g, std::uint32_t b) {
  return r | (g << 8) | (b << 16);
}
constexpr std::uint32_t kBackground = Rgb(255, 0, 255);  // magenta, the transparent colour
constexpr std::uint32_t kHexTag = Rgb(0x20, 0x60, 0xC0);
constexpr std::uint32_t kCharTag = Rgb(0x20, 0x80, 0x40);
constexpr std::uint32_t kDigit = Rgb(255, 255, 255);

// Digits 0 to 9 in a 3 x 5 pixel font, one row a byte, bit 2 the left pixel.
constexpr std::uint8_t kDigitFont[10][5] = {
    {7, 5, 5, 5, 7}, {2, 6, 2, 2, 7}, {7, 1, 7, 4, 7}, {7, 1, 7, 1, 7}, {5, 5, 7, 1, 1},
    {7, 4, 7, 1, 7}, {7, 4, 7, 5, 7}, {7, 1, 2, 2, 2}, {7, 5, 7, 5, 7}, {7, 5, 7, 1, 7},
};

void DrawTag(THexBitmap& strip, int index, int digit, std::uint32_t colour) {
  const int left = index * kBookmarkIconSize;
  auto put = [&](int x, int y, std::uint32_t c) {
    strip.Pixels[static_cast<std::size_t>(y) * strip.Width + left + x] = c;
  };
  // A tag with cut corners, leaving the top-left pixel transparent.
  for (int y = 1; y < 9; ++y)
    for (int x = 1; x < 9; ++x)
      if (!((x == 1 || x == 8) && (y == 1 || y == 8))) put(x, y, colour);
  for (int row = 0; row < 5; ++row)
    for (int bit = 0; bit < 3; ++bit)
      if (kDigitFont[digit][row] & (4 >> bit)) put(3 + bit, 2 + row, kDigit);
}

}  // namespace

THexBitmap DefaultBookmarkIcons() {
  THexBitmap strip{kBookmarkIconSize * kBookmarkIconCount, kBookmarkIconSize, {}};
  strip.Pixels.assign(static_cast<std::size_t>(strip.Width) * strip.Height, kBackground);
  for (int k = 0; k < 10; ++k) {
    DrawTag(strip, k, k, kHexTag);
    DrawTag(strip, 10 + k, k, kCharTag);
  }
  return strip;
}

std::array<TBookmarkImage, kBookmarkIconCount> CutBookmarkImages(const THexBitmap& strip) {
  std::array<TBookmarkImage, kBookmarkIconCount> images;
  if (strip.Pixels.empty()) return images;
  const std::uint32_t transparent = strip.At(0, 0);
  for (int k = 0; k < kBookmarkIconCount; ++k) {
    THexBitmap& picture = images[static_cast<std::size_t>(k)].Picture;
    picture = {kBookmarkIconSize, kBookmarkIconSize, {}};
    for (int y = 0; y < kBookmarkIconSize; ++y)
      for (int x = 0; x < kBookmarkIconSize; ++x)
        picture.Pixels.push_back(strip.At(k * kBookmarkIconSize + x, y));
    images[static_cast<std::size_t>(k)].Transparent = transparent;
  }
  return images;
}

}  // namespace kestrave::hex
