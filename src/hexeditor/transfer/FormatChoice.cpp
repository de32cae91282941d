#include "hexeditor/transfer/FormatChoice.h"

#include <array>

#include "platform/ole/ClipboardFormats.h"

namespace kestrave::hex {
namespace {

constexpr std::array<const char*, 16> kStandardNames = {
    "Text",
    "Bitmap Picture",
    "Metafile Picture",
    "Microsoft Symbolic Link (SYLK) data",
    "Software Arts' Data Interchange Format",
    "Tagged Image File Format (TIFF) Picture",
    "OEM Text",
    "Device Independent Bitmap Picture",
    "Color Palete",
    "Pen Data",
    "RIFF Audio Data",
    "Wave Audio",
    "Unicode Text",
    "Enhanced Metafile Picture",
    "File List",
    "Text Locale",
};

int lastChosen = -1;
IFormatChooser* installedChooser = nullptr;

std::string Trimmed(std::string text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  const auto last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

}  // namespace

std::string FormatDisplayName(TClipFormat format) {
  if (format >= 1 && format <= 16) return kStandardNames[format - 1];
  char buffer[512];
  const int length = platform::ole::GetClipboardFormatNameA(format, buffer, sizeof buffer);
  std::string name =
      Trimmed(std::string(buffer, static_cast<std::size_t>(length > 0 ? length : 0)));
  if (!name.empty()) return name;
  std::string number = "(";
  number += std::to_string(format);
  number += ')';
  return number;
}

int LastChosenFormat() {
  return lastChosen;
}
void SetLastChosenFormat(int format) {
  lastChosen = format;
}

std::size_t PreselectedIndex(const std::vector<TClipFormat>& formats) {
  for (std::size_t i = 0; i < formats.size(); ++i)
    if (formats[i] == lastChosen) return i;
  return 0;
}

bool PreselectingChooser::Choose(const std::vector<TClipFormat>& formats, TClipFormat& chosen,
                                 bool&) {
  if (formats.empty()) return false;
  chosen = formats[PreselectedIndex(formats)];
  SetLastChosenFormat(chosen);
  return true;
}

IFormatChooser& CurrentFormatChooser() {
  static PreselectingChooser preselecting;
  return installedChooser ? *installedChooser : preselecting;
}

void SetCurrentFormatChooser(IFormatChooser* chooser) {
  installedChooser = chooser;
}

}  // namespace kestrave::hex
