#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/UserInterface.h"

namespace kestrave::test {

// Text 9 pixels a character and 15 high, whatever the font: grid sizes become easy to work out.
class NinePixelMetrics : public platform::ITextMetrics {
 public:
  int TextWidth(const platform::FontDescription&, std::string_view text) const override {
    return 9 * static_cast<int>(text.size());
  }
  int TextHeight(const platform::FontDescription&, std::string_view) const override { return 15; }
};

// Keys and buttons a test holds down by setting them.
class HeldKeys : public platform::IInputState {
 public:
  bool ShiftDown() const override { return shift; }
  bool LeftButtonDown() const override { return left; }
  bool shift = false;
  bool left = false;
};

// Error messages shown to the user, in order.
class RecordingErrors : public platform::IErrorDisplay {
 public:
  void ShowError(const std::string& message) override { shown.push_back(message); }
  std::vector<std::string> shown;
};

}  // namespace kestrave::test
