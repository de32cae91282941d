#include "platform/UserInterface.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace kestrave::platform {

int FontDescription::Size() const {
  return static_cast<int>(std::lround(Height * 72.0 / 96.0));
}

void FontDescription::SetSize(int points) {
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
  int TextWidth(const FontDescription& font, std::string_view text) const override {
    return static_cast<int>(text.size()) * ((font.Height * 3 + 4) / 5);
  }
  int TextHeight(const FontDescription& font, std::string_view) const override {
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
IResponsiveness* currentResponsiveness = nullptr;

}  // namespace

void KeepResponsive() {
  if (currentResponsiveness) currentResponsiveness->KeepResponsive();
}

void SetCurrentResponsiveness(IResponsiveness* responsiveness) {
  currentResponsiveness = responsiveness;
}

// Towards lower addresses the pieces go front to back, towards higher ones back to front, so an
// overlapping piece is read before it is overwritten.
void MoveBytesResponsively(void* dest, const void* source, std::size_t count) {
  auto* to = static_cast<unsigned char*>(dest);
  const auto* from = static_cast<const unsigned char*>(source);
  const bool backwards = to > from;
  for (std::size_t done = 0; done < count;) {
    const std::size_t piece = std::min(count - done, kResponsivePiece);
    const std::size_t at = backwards ? count - done - piece : done;
    std::memmove(to + at, from + at, piece);
    done += piece;
    if (done < count) KeepResponsive();
  }
}

namespace {

// Appends Count bytes to an empty vector piece by piece; Append(bytes, at, piece) adds one.
template <typename Append>
std::vector<std::uint8_t> BuildInPieces(std::size_t count, Append append) {
  std::vector<std::uint8_t> bytes;
  bytes.reserve(count);
  for (std::size_t done = 0; done < count;) {
    const std::size_t piece = std::min(count - done, kResponsivePiece);
    append(bytes, done, piece);
    done += piece;
    if (done < count) KeepResponsive();
  }
  return bytes;
}

}  // namespace

std::vector<std::uint8_t> CopyBytesResponsively(const std::uint8_t* source, std::size_t count) {
  return BuildInPieces(
      count, [source](std::vector<std::uint8_t>& bytes, std::size_t at, std::size_t piece) {
        bytes.insert(bytes.end(), source + at, source + at + piece);
      });
}

std::vector<std::uint8_t> ZeroBytesResponsively(std::size_t count) {
  return BuildInPieces(count, [](std::vector<std::uint8_t>& bytes, std::size_t, std::size_t piece) {
    bytes.resize(bytes.size() + piece);
  });
}

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
