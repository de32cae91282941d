#pragma once

#include <QFont>

namespace kestrave::app {

// A font by family and character height in pixels; the style hint picks the nearest face when
// the family is not installed.
QFont FontOfHeight(const char* family, int pixelHeight, QFont::StyleHint hint);

// The converter's window font: "MS Sans Serif", 11 pixels, or the nearest sans-serif face.
QFont WindowFont();

}  // namespace kestrave::app
