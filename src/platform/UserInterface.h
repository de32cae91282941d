#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kestrave::platform {

// Mouse pointer shapes, with the values the component stores.
using TCursor = std::int16_t;
inline constexpr TCursor crDefault = 0;
inline constexpr TCursor crHourGlass = -11;

// Shows the user that a long operation runs. Calls nest: each BeginBusy has one EndBusy.
class IBusyIndicator {
 public:
  virtual ~IBusyIndicator() = default;
  virtual void BeginBusy() = 0;
  virtual void EndBusy() = 0;
};

// Holds an indicator busy for the length of a scope.
class BusyScope {
 public:
  explicit BusyScope(IBusyIndicator& indicator) : indicator_(indicator) { indicator_.BeginBusy(); }
  ~BusyScope() { indicator_.EndBusy(); }
  BusyScope(const BusyScope&) = delete;
  BusyScope& operator=(const BusyScope&) = delete;

 private:
  IBusyIndicator& indicator_;
};

// Lets a program's windows draw themselves while long work runs on the thread that owns them.
// Long work calls KeepResponsive() between its pieces, cheaply and often; the program's
// implementation decides when it is worth doing something. A program without windows installs
// none, and the calls do nothing.
class IResponsiveness {
 public:
  virtual ~IResponsiveness() = default;
  virtual void KeepResponsive() = 0;
};

void KeepResponsive();
void SetCurrentResponsiveness(IResponsiveness* responsiveness);

// Bulk byte moves of long work go in pieces this large, with KeepResponsive() between them.
inline constexpr std::size_t kResponsivePiece = std::size_t{8} << 20;

// memmove in pieces of kResponsivePiece, keeping the windows responsive between them; the
// regions may overlap.
void MoveBytesResponsively(void* dest, const void* source, std::size_t count);
// A copy of Count bytes, or Count zero bytes, made in the same pieces.
std::vector<std::uint8_t> CopyBytesResponsively(const std::uint8_t* source, std::size_t count);
std::vector<std::uint8_t> ZeroBytesResponsively(std::size_t count);

// State of the keyboard and mouse at the moment of asking.
class IInputState {
 public:
  virtual ~IInputState() = default;
  virtual bool ShiftDown() const = 0;
  virtual bool LeftButtonDown() const = 0;
  // How far, in pixels, a pressed mouse must move before a drag starts.
  virtual int DragThreshold() const { return 5; }
};

// The input state of a program without keyboard or mouse: nothing is ever held down.
const IInputState& NoInputHeld();

// Font styles, bit i for member i of the style set.
enum TFontStyle : std::uint8_t { fsBold, fsItalic, fsUnderline, fsStrikeOut };
inline constexpr std::uint8_t FontStyleBit(TFontStyle style) {
  return static_cast<std::uint8_t>(1u << style);
}
inline constexpr std::uint8_t kDefaultCharset = 1;
inline constexpr std::uint32_t kWindowTextColor = 0xFF000008;  // the system's window text

// A font as the component names it: family, character height in pixels, character set,
// colour and styles. Sizes in points are at 96 pixels per inch.
struct FontDescription {
  std::string Name;
  int Height = 15;
  std::uint8_t Charset = kDefaultCharset;
  std::uint32_t Color = kWindowTextColor;
  std::uint8_t Style = 0;

  int Size() const;
  void SetSize(int points);
  bool operator==(const FontDescription&) const = default;
};

// Measures text in pixels.
class ITextMetrics {
 public:
  virtual ~ITextMetrics() = default;
  virtual int TextWidth(const FontDescription& font, std::string_view text) const = 0;
  virtual int TextHeight(const FontDescription& font, std::string_view text) const = 0;
};

// The application's standard error display: where an error that no caller can receive (one
// raised inside a drop, say) is shown to the user.
class IErrorDisplay {
 public:
  virtual ~IErrorDisplay() = default;
  virtual void ShowError(const std::string& message) = 0;
};

// Until a program installs its own, errors go to the standard error stream.
IErrorDisplay& CurrentErrorDisplay();
void SetCurrentErrorDisplay(IErrorDisplay* display);

// Measures as a fixed-pitch font would, without a display: what hidden instances use.
const ITextMetrics& DefaultTextMetrics();

}  // namespace kestrave::platform
