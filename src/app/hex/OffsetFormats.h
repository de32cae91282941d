#pragma once

#include <string>
#include <string_view>

namespace kestrave::app {

// How an offset format of the editor writes an offset, for naming the format in a menu: the
// offset 0x1F40 (8000) as a file of 1 GiB on rows of 16 bytes shows it ("0x00001F40" for
// "-!10:0x|", "Row 00000500" for "r%-!A:Row |"). Empty for a format the editor refuses.
std::string OffsetFormatSample(std::string_view format);

}  // namespace kestrave::app
