#include "view/QtPlatform.h"

#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPalette>

namespace kestrave::view {

QFont ToQFont(const platform::FontDescription& wanted) {
  QFont font(QString::fromStdString(wanted.Name));
  font.setStyleHint(QFont::Monospace);
  font.setFixedPitch(true);
  font.setPixelSize(std::max(wanted.Height, 1));
  font.setBold(wanted.Style & platform::FontStyleBit(platform::fsBold));
  font.setItalic(wanted.Style & platform::FontStyleBit(platform::fsItalic));
  font.setUnderline(wanted.Style & platform::FontStyleBit(platform::fsUnderline));
  font.setStrikeOut(wanted.Style & platform::FontStyleBit(platform::fsStrikeOut));
  return font;
}

namespace {

hex::TColor FromQColor(const QColor& color) {
  return hex::Rgb(static_cast<std::uint32_t>(color.red()),
                  static_cast<std::uint32_t>(color.green()),
                  static_cast<std::uint32_t>(color.blue()));
}

}  // namespace

int QtTextMetrics::TextWidth(const platform::FontDescription& font, std::string_view text) const {
  return QFontMetrics(ToQFont(font))
      .horizontalAdvance(QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())));
}

int QtTextMetrics::TextHeight(const platform::FontDescription& font, std::string_view) const {
  return QFontMetrics(ToQFont(font)).height();
}

bool QtInputState::ShiftDown() const {
  return QGuiApplication::queryKeyboardModifiers() & Qt::ShiftModifier;
}

bool QtInputState::LeftButtonDown() const {
  return QGuiApplication::mouseButtons() & Qt::LeftButton;
}

hex::TColor QtSystemColors::Resolve(std::uint32_t index) const {
  const QPalette palette = QGuiApplication::palette();
  switch (index) {
    case 0x05:
      return FromQColor(palette.color(QPalette::Base));
    case 0x08:
      return FromQColor(palette.color(QPalette::Text));
    case 0x0F:
      return FromQColor(palette.color(QPalette::Button));
    case 0x10:
      return FromQColor(palette.color(QPalette::Dark));
    case 0x14:
      return FromQColor(palette.color(QPalette::Light));
    default:
      return hex::DefaultSystemColors().Resolve(index);
  }
}

hex::TColor QtSystemColors::ViewDefault(int index, hex::TColor stored) const {
  if (index < 0 || index >= hex::THexColors::kCount) return stored;
  const QPalette palette = QGuiApplication::palette();
  if (palette.cacheKey() != paletteKey_) {
    const hex::TDesktopPalette desktop = DesktopPaletteOf(palette);
    for (int i = 0; i < hex::THexColors::kCount; ++i)
      viewColors_[static_cast<std::size_t>(i)] =
          hex::DesktopViewColor(static_cast<hex::THexColors::Index>(i), desktop);
    paletteKey_ = palette.cacheKey();
  }
  return viewColors_[static_cast<std::size_t>(index)];
}

hex::TDesktopPalette DesktopPaletteOf(const QPalette& palette) {
  hex::TDesktopPalette colors;
  colors.Text = FromQColor(palette.color(QPalette::Text));
  colors.Base = FromQColor(palette.color(QPalette::Base));
  colors.AlternateBase = FromQColor(palette.color(QPalette::AlternateBase));
  colors.Highlight = FromQColor(palette.color(QPalette::Highlight));
  colors.Button = FromQColor(palette.color(QPalette::Button));
  colors.ButtonText = FromQColor(palette.color(QPalette::ButtonText));
  colors.Light = FromQColor(palette.color(QPalette::Light));
  colors.Dark = FromQColor(palette.color(QPalette::Dark));
  return colors;
}

hex::TDesktopTints DesktopTints() {
  // Asked for by every tinted cell of a paint: made again only when the palette changes.
  thread_local qint64 paletteKey = -1;
  thread_local hex::TDesktopTints tints;
  const QPalette palette = QGuiApplication::palette();
  if (palette.cacheKey() != paletteKey) {
    tints = hex::DesktopTints(DesktopPaletteOf(palette));
    paletteKey = palette.cacheKey();
  }
  return tints;
}

}  // namespace kestrave::view
