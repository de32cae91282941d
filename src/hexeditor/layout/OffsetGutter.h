#pragma once

#include "hexeditor/text/OffsetFormat.h"

namespace kestrave::hex {

// The offset gutter: the format of its texts, their digits' case and the gutter's width.
struct OffsetGutter {
  TOffsetFormat Format;
  bool HexLowerCase = false;
  // -1 sizes the gutter from the offset texts; any other value is its width in pixels.
  int Width = -1;
  // The characters the widest offset text takes, as last measured.
  int Chars = 0;
  // Whether the application's OnGetOffsetText runs, and whether it is asked to size the gutter.
  bool EventRunning = false;
  bool Measuring = false;
};

}  // namespace kestrave::hex
