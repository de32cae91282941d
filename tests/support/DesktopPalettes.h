#pragma once

#include <QApplication>
#include <QColor>
#include <QPalette>

namespace kestrave::test {

// A desktop's palette, light or dark, with the roles the hex view takes its colours from.
inline QPalette DesktopPalette(bool dark) {
  QPalette palette;
  const auto set = [&palette](QPalette::ColorRole role, const char* color) {
    palette.setColor(role, QColor(QString::fromLatin1(color)));
  };
  set(QPalette::Window, dark ? "#353535" : "#efefef");
  set(QPalette::WindowText, dark ? "#ffffff" : "#000000");
  set(QPalette::Base, dark ? "#242424" : "#ffffff");
  set(QPalette::AlternateBase, dark ? "#2e2e2e" : "#f7f7f7");
  set(QPalette::Text, dark ? "#ffffff" : "#000000");
  set(QPalette::Button, dark ? "#353535" : "#efefef");
  set(QPalette::ButtonText, dark ? "#ffffff" : "#000000");
  set(QPalette::Highlight, dark ? "#3584e4" : "#308cc6");
  set(QPalette::HighlightedText, "#ffffff");
  set(QPalette::Light, dark ? "#505050" : "#ffffff");
  set(QPalette::Dark, dark ? "#1e1e1e" : "#a0a0a0");
  return palette;
}

// The application's palette for the length of a scope.
class PaletteScope {
 public:
  explicit PaletteScope(const QPalette& palette) : before_(QApplication::palette()) {
    QApplication::setPalette(palette);
  }
  ~PaletteScope() { QApplication::setPalette(before_); }
  PaletteScope(const PaletteScope&) = delete;
  PaletteScope& operator=(const PaletteScope&) = delete;

 private:
  QPalette before_;
};

}  // namespace kestrave::test
