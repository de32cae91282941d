#pragma once

#include <QFont>

#include "hexeditor/view/HexColors.h"
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

// The desktop palette as the system colours.
class QtSystemColors : public hex::ISystemColors {
 public:
  hex::TColor Resolve(std::uint32_t index) const override;
};

}  // namespace kestrave::view
