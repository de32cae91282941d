#include "hexeditor/paint/HexColors.h"

namespace kestrave::hex {
namespace {

class DesktopDefaults : public ISystemColors {
 public:
  TColor Resolve(std::uint32_t index) const override {
    switch (index) {
      case 0x05:
        return Rgb(255, 255, 255);  // window background
      case 0x08:
        return Rgb(0, 0, 0);  // window text
      case 0x0F:
        return Rgb(240, 240, 240);  // button face
      case 0x10:
        return Rgb(160, 160, 160);  // button shadow
      case 0x14:
        return Rgb(255, 255, 255);  // button highlight
      default:
        return Rgb(0, 0, 0);
    }
  }
};

}  // namespace

const ISystemColors& DefaultSystemColors() {
  static const DesktopDefaults colors;
  return colors;
}

TColor ResolveColor(TColor color, const ISystemColors& system) {
  return IsSystemColor(color) ? system.Resolve(color & 0xFFFFFF) & 0xFFFFFF : color & 0xFFFFFF;
}

TColor InvertColor(TColor rgb) {
  return Rgb(255 - RedOf(rgb), 255 - GreenOf(rgb), 255 - BlueOf(rgb));
}

TColor GrayOf(TColor rgb) {
  const std::uint32_t l = (74u * RedOf(rgb) + 146u * GreenOf(rgb) + 36u * BlueOf(rgb)) / 256u;
  return Rgb(l, l, l);
}

namespace {

constexpr std::array<TColor, THexColors::kCount> kDefaultColors{
    clWindow,    0xA8FFFF,  0x000080,       0x800000,  0x000000, 0xFF0000, 0x800000,
    clBtnShadow, clBtnFace, clBtnHighlight, clBtnFace, 0xFFFF00, clWindow};

}  // namespace

THexColors::THexColors() : colors_(kDefaultColors) {}

TColor THexColors::Default(Index index) {
  return kDefaultColors[index];
}

void THexColors::Set(Index index, TColor value) {
  if (colors_[index] == value) return;
  colors_[index] = value;
  if (ownerNotice_) ownerNotice_(index);
  if (OnChange) OnChange(index);
}

void THexColors::Assign(const THexColors& other) {
  for (int i = 0; i < kCount; ++i)
    Set(static_cast<Index>(i), other.colors_[i]);
}

}  // namespace kestrave::hex
