#pragma once

#include <array>

#include <QFont>
#include <QPalette>

#include "hexeditor/paint/DesktopColors.h"
#include "hexeditor/paint/HexColors.h"
#include "platform/UserInterface.h"

namespace kestrave::view {

// The component's font as Qt draws it: monospaced, sized in pixels, with its styles.
QFont ToQFont(const platform::FontDescription& font);

// Text measured with Qt's metrics of the named font.
class QtTextMetrics : public platform::ITextMetrics {
 public:
  int TextWidth(const platform::FontDescription& font, std::string_view text) const override;
  int TextHeight(const platform::FontDescription& font, std::string_view text) const override;
};

// The keyboard and mouse as Qt sees them at the moment of asking.
class QtInputState : public platform::IInputState {
 public:
  bool ShiftDown() const override;
  bool LeftButtonDown() const override;
};

// The desktop palette as the system colours; the view's colours the user has not chosen are
// made from it, so a dark desktop gets a dark grid.
class QtSystemColors : public hex::ISystemColors {
 public:
  hex::TColor Resolve(std::uint32_t index) const override;
  hex::TColor ViewDefault(int index, hex::TColor stored) const override;

 private:
  // The view's colours made from the palette they were last made from: a paint asks for them
  // for every cell, and making one weighs contrasts.
  mutable qint64 paletteKey_ = -1;
  mutable std::array<hex::TColor, hex::THexColors::kCount> viewColors_{};
};

// The colours of a Qt palette the view's colours are made from.
hex::TDesktopPalette DesktopPaletteOf(const QPalette& palette);
// The tints of matches and records for the application's palette now.
hex::TDesktopTints DesktopTints();

}  // namespace kestrave::view
