#include "hexeditor/paint/DesktopColors.h"

#include <cmath>

namespace kestrave::hex {
namespace {

double Linear(std::uint8_t channel) {
  const double c = channel / 255.0;
  return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double Luminance(TColor c) {
  return 0.2126 * Linear(RedOf(c)) + 0.7152 * Linear(GreenOf(c)) + 0.0722 * Linear(BlueOf(c));
}

// A + (B - A) * Amount, channel by channel.
TColor Mix(TColor a, TColor b, double amount) {
  const auto mix = [amount](std::uint8_t x, std::uint8_t y) {
    return static_cast<std::uint32_t>(std::lround(x + (y - x) * amount));
  };
  return Rgb(mix(RedOf(a), RedOf(b)), mix(GreenOf(a), GreenOf(b)), mix(BlueOf(a), BlueOf(b)));
}

// The classic colours of the view, and the tints of matches and records, as on a white window.
constexpr TColor kBlue = Rgb(0, 0, 255);
constexpr TColor kNavy = Rgb(0, 0, 128);
constexpr TColor kMaroon = Rgb(128, 0, 0);
constexpr TColor kLightYellow = Rgb(255, 255, 168);
constexpr TColor kMatchYellow = Rgb(255, 240, 128);
constexpr TColor kRecordBlue = Rgb(210, 230, 255);
constexpr TColor kRecordGreen = Rgb(215, 245, 210);
constexpr TColor kAqua = Rgb(0, 255, 255);

// A tint of the ground: the classic light tint on a light desktop, a touch of its hue on a
// dark one.
TColor Tint(TColor classic, const TDesktopPalette& palette) {
  return IsDarkPalette(palette) ? Mix(palette.Base, classic, 0.28) : classic;
}

}  // namespace

double ContrastRatio(TColor a, TColor b) {
  const double la = Luminance(a);
  const double lb = Luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

TColor ReadableOn(TColor wanted, TColor background, double ratio) {
  if (ContrastRatio(wanted, background) >= ratio) return wanted;
  const TColor pole =
      ContrastRatio(Rgb(255, 255, 255), background) > ContrastRatio(Rgb(0, 0, 0), background)
          ? Rgb(255, 255, 255)
          : Rgb(0, 0, 0);
  for (int step = 1; step <= 20; ++step) {
    const TColor moved = Mix(wanted, pole, step / 20.0);
    if (ContrastRatio(moved, background) >= ratio) return moved;
  }
  return pole;
}

bool IsDarkPalette(const TDesktopPalette& palette) {
  return Luminance(palette.Base) < Luminance(palette.Text);
}

TColor DesktopViewColor(THexColors::Index index, const TDesktopPalette& p) {
  const bool dark = IsDarkPalette(p);
  switch (index) {
    case THexColors::Background:
    case THexColors::ActiveFieldBackground:
      return p.Base;
    case THexColors::ChangedBackground:
      return Tint(kLightYellow, p);
    case THexColors::ChangedText:
      return ReadableOn(kMaroon, Tint(kLightYellow, p));
    case THexColors::CursorFrame:
      return dark ? ReadableOn(p.Highlight, p.Base, 3.0) : kNavy;
    case THexColors::Offset:
      return ReadableOn(p.ButtonText, p.Button);
    // The two column colours differ in lightness as well as hue.
    case THexColors::OddColumn:
      return ReadableOn(kBlue, p.Base);
    case THexColors::EvenColumn:
      return ReadableOn(kNavy, p.Base, 7.0);
    case THexColors::CurrentOffsetBackground:
      return p.Dark;
    case THexColors::OffsetBackGround:
    case THexColors::Grid:
      return p.Button;
    case THexColors::CurrentOffset:
      return ReadableOn(p.Light, p.Dark);
    case THexColors::NonFocusCursorFrame:
      return dark ? Mix(p.Base, kAqua, 0.6) : kAqua;
    case THexColors::kCount:
      break;
  }
  return p.Base;
}

TDesktopTints DesktopTints(const TDesktopPalette& p) {
  TDesktopTints tints;
  tints.MatchBackground = Tint(kMatchYellow, p);
  tints.MatchText = ReadableOn(p.Text, tints.MatchBackground);
  tints.RecordBackgrounds[0] = Tint(kRecordBlue, p);
  tints.RecordBackgrounds[1] = Tint(kRecordGreen, p);
  tints.RecordText = ReadableOn(p.Text, tints.RecordBackgrounds[0]);
  if (ContrastRatio(tints.RecordText, tints.RecordBackgrounds[1]) < 4.5)
    tints.RecordText = ReadableOn(tints.RecordText, tints.RecordBackgrounds[1]);
  return tints;
}

}  // namespace kestrave::hex
