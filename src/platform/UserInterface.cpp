#include "platform/UserInterface.h"

#include <cmath>
#include <cstdio>

namespace kestrave::platform {

int FontSpec::Size() const {
  return static_cast<int>(std::lround(Height * 72.0 / 96.0));
}

void FontSpec::SetSize(int points) {
  Height = static_cast<int>(std::lround(points * 96.0 / 72.0));
}
namespace {

class NothingHeld : public IInputState {
 public:
  bool ShiftDown() const override { return false; }
  bool LeftButtonDown() const override { return false; }
};

// A typical fixed-pitch face: advance 3/5 of the character height, line 8/7 of it.
class FixedPitchMetrics : public ITextMetrics {
 public:
  int TextWidth(const FontSpec& font, std::string_view text) const override {
    return static_cast<int>(text.size()) * ((font.Height * 3 + 4) / 5);
  }
  int TextHeight(const FontSpec& font, std::string_view) const override {
    return (font.Height * 8 + 6) / 7;
  }
};

class StandardErrorDisplay : public IErrorDisplay {
 public:
  void ShowError(const std::string& message) override {
    std::fprintf(stderr, "%s\n", message.c_str());
  }
};

IErrorDisplay* currentErrorDisplay = nullptr;

}  // namespace

IErrorDisplay& CurrentErrorDisplay() {
  static StandardErrorDisplay standard;
  return currentErrorDisplay ? *currentErrorDisplay : standard;
}

void SetCurrentErrorDisplay(IErrorDisplay* display) {
  currentErrorDisplay = display;
}

const IInputState& NoInputHeld() {
  static const NothingHeld state;
  return state;
}

const ITextMetrics& DefaultTextMetrics() {
  static const FixedPitchMetrics metrics;
  return metrics;
}

}  // namespace kestrave::platform
