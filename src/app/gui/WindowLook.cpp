#include "app/gui/WindowLook.h"

namespace kestrave::app {

QFont FontOfHeight(const char* family, int pixelHeight, QFont::StyleHint hint) {
  QFont font(QString::fromUtf8(family));
  font.setStyleHint(hint);
  font.setPixelSize(pixelHeight);
  return font;
}

QFont WindowFont() {
  return FontOfHeight("MS Sans Serif", 11, QFont::SansSerif);
}

}  // namespace kestrave::app
