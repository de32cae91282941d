#pragma once

#include <string_view>

#include "hexeditor/CustomHexEditor.h"
#include "hexeditor/paint/BookmarkIcons.h"

namespace kestrave::hex {

// What the paint model draws on. Colours are red, green and blue; rectangles exclude their right
// and bottom edges; lines include both end points.
class IHexCanvas {
 public:
  virtual ~IHexCanvas() = default;
  virtual void FillRect(const PaintRect& rect, TColor color) = 0;
  // Text from (X, Y), clipped to Box, with Box filled in Background first.
  virtual void DrawText(const PaintRect& box, int x, int y, std::u16string_view text, TColor color,
                        TColor background) = 0;
  virtual void DrawLine(int x1, int y1, int x2, int y2, TColor color) = 0;
  virtual void DrawFocusRect(const PaintRect& rect) = 0;
  virtual void DrawFrame(const PaintRect& rect, TColor color) = 0;
  virtual void DrawImage(int x, int y, const TBookmarkImage& image) = 0;
  virtual int TextWidth(std::u16string_view text) = 0;
};

}  // namespace kestrave::hex
