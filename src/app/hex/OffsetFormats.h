#pragma once

#include <string>
#include <string_view>

#include "hexeditor/text/OffsetFormat.h"

namespace kestrave::app {

// How an offset format of the editor writes an offset, for naming the format in a menu: the
// offset 0x1F40 (8000) as a file of 1 GiB on rows of 16 bytes shows it ("0x00001F40" for
// "-!10:0x|", "Row 00000500" for "r%-!A:Row |"). Empty for a format the editor refuses.
std::string OffsetFormatSample(std::string_view format);

// Whether the editor takes the format with the layout it has now: a format counting rows or
// columns needs them to be 1, 2, 4 or 8 bytes long.
bool OffsetFormatTaken(std::string_view format, const hex::OffsetUnits& units);

}  // namespace kestrave::app
