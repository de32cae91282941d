#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <utility>

namespace kestrave::hex {

// A colour: red, green and blue in the three low bytes (red lowest), or a system colour index
// with the top byte FF.
using TColor = std::uint32_t;

inline constexpr TColor clWindow = 0xFF000005;
inline constexpr TColor clWindowText = 0xFF000008;
inline constexpr TColor clBtnFace = 0xFF00000F;
inline constexpr TColor clBtnShadow = 0xFF000010;
inline constexpr TColor clBtnHighlight = 0xFF000014;

constexpr bool IsSystemColor(TColor color) {
  return (color >> 24) == 0xFF;
}
constexpr std::uint8_t RedOf(TColor c) {
  return static_cast<std::uint8_t>(c);
}
constexpr std::uint8_t GreenOf(TColor c) {
  return static_cast<std::uint8_t>(c >> 8);
}
constexpr std::uint8_t BlueOf(TColor c) {
  return static_cast<std::uint8_t>(c >> 16);
}
constexpr TColor Rgb(std::uint32_t r, std::uint32_t g, std::uint32_t b) {
  return (r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16);
}

// What the platform's system colours are; the desktop may supply its palette.
class ISystemColors {
 public:
  virtual ~ISystemColors() = default;
  virtual TColor Resolve(std::uint32_t index) const = 0;
  // The colour a view shows for its colour Index (a THexColors::Index) while the user has left
  // it at its default: Stored, resolved, unless the desktop has a colour of its own for it.
  virtual TColor ViewDefault(int index, TColor stored) const {
    (void)index;
    return stored;
  }
};
// White windows, light grey buttons with darker shadows, black text.
const ISystemColors& DefaultSystemColors();

// A colour as red, green and blue: system colours resolved.
TColor ResolveColor(TColor color, const ISystemColors& system);
// Red, green and blue each replaced by 255 minus the value.
TColor InvertColor(TColor rgb);
// The grey of the same luminance: L = (74 red + 146 green + 36 blue) / 256.
TColor GrayOf(TColor rgb);

// The thirteen colours of a hex view. Every change tells the view that owns the set, which
// repaints, and then the application's OnChange.
class THexColors {
 public:
  enum Index {
    Background,
    ChangedBackground,
    ChangedText,
    CursorFrame,
    Offset,
    OddColumn,
    EvenColumn,
    CurrentOffsetBackground,
    OffsetBackGround,
    CurrentOffset,
    Grid,
    NonFocusCursorFrame,
    ActiveFieldBackground,
    kCount
  };

  THexColors();
  // A set belongs to one view: copies go through Assign, which leaves the handlers alone.
  THexColors(const THexColors&) = delete;
  THexColors& operator=(const THexColors&) = delete;
  TColor Get(Index index) const { return colors_[index]; }
  // The colour a new set starts with; a colour still at it is the desktop's to choose.
  static TColor Default(Index index);
  bool IsDefault(Index index) const { return colors_[index] == Default(index); }
  void Set(Index index, TColor value);
  // Copies all thirteen colours through the setters.
  void Assign(const THexColors& other);
  // Told after every change, with the index that changed; the application's own.
  std::function<void(Index)> OnChange;
  // The owning view's notice of a change, told before OnChange, so that an application handler
  // never takes the view's repaints away.
  void SetOwnerNotice(std::function<void(Index)> notice) { ownerNotice_ = std::move(notice); }

 private:
  std::array<TColor, kCount> colors_;
  std::function<void(Index)> ownerNotice_;
};

}  // namespace kestrave::hex
