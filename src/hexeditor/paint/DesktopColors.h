#pragma once

#include "hexeditor/paint/HexColors.h"

namespace kestrave::hex {

// The colours of a desktop's palette the view's own colours are made from.
struct TDesktopPalette {
  TColor Text = Rgb(0, 0, 0);
  TColor Base = Rgb(255, 255, 255);
  TColor AlternateBase = Rgb(245, 245, 245);
  TColor Highlight = Rgb(48, 140, 198);
  TColor Button = Rgb(240, 240, 240);
  TColor ButtonText = Rgb(0, 0, 0);
  TColor Light = Rgb(255, 255, 255);
  TColor Dark = Rgb(160, 160, 160);
};

// The contrast of two colours as the accessibility guidelines measure it, from 1 (the same
// luminance) to 21 (black on white); text wants 4.5 or more.
double ContrastRatio(TColor a, TColor b);
// Text drawn on Background as close to Wanted as keeps at least Ratio of contrast: moved
// toward black or white, whichever stands out more from the background.
TColor ReadableOn(TColor wanted, TColor background, double ratio = 4.5);
// A light desktop draws dark text on light ground.
bool IsDarkPalette(const TDesktopPalette& palette);

// The view's colour at Index where the user has left it at its default: on a light desktop
// the classic colours (blue and navy digits, light yellow changes) on the palette's ground,
// on a dark one their readable counterparts on the palette's dark ground.
TColor DesktopViewColor(THexColors::Index index, const TDesktopPalette& palette);

// The tints a window lays under matches of a search and under records, with their text.
struct TDesktopTints {
  TColor MatchBackground = 0;
  TColor MatchText = 0;
  TColor RecordBackgrounds[2] = {0, 0};
  TColor RecordText = 0;
};
TDesktopTints DesktopTints(const TDesktopPalette& palette);

}  // namespace kestrave::hex
