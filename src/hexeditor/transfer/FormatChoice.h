#pragma once

#include <string>
#include <vector>

#include "platform/ole/OleTypes.h"

namespace kestrave::hex {

using platform::ole::TClipFormat;

// A readable name for a format: the standard names for 1 to 16, else the registered name
// (trimmed), else the number in parentheses, as "(49171)".
std::string FormatDisplayName(TClipFormat format);

// The format confirmed last, by any editor, for pastes and drops alike; -1 at start.
int LastChosenFormat();
void SetLastChosenFormat(int format);

// Lets the user pick one of several offered formats. Chosen and HexText are written only when
// the answer is true; HexText is the "Hex Text" box, which applies to the two 8-bit texts.
class IFormatChooser {
 public:
  virtual ~IFormatChooser() = default;
  virtual bool Choose(const std::vector<TClipFormat>& formats, TClipFormat& chosen,
                      bool& hexText) = 0;
};

// Without a user: takes what the dialog would have preselected (the last confirmed format
// when offered, else the first), as if OK were pressed at once, and keeps the box as it is.
class PreselectingChooser : public IFormatChooser {
 public:
  bool Choose(const std::vector<TClipFormat>& formats, TClipFormat& chosen, bool& hexText) override;
};

// The chooser editors use; the window installs its dialog, others get a PreselectingChooser.
IFormatChooser& CurrentFormatChooser();
void SetCurrentFormatChooser(IFormatChooser* chooser);

// The item a format list preselects: the last confirmed format when listed, else the first.
std::size_t PreselectedIndex(const std::vector<TClipFormat>& formats);

}  // namespace kestrave::hex
