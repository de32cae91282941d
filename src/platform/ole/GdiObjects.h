#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/ole/OleTypes.h"

namespace kestrave::platform::ole {

// Pictures and palettes passed by handle, as clipboard images arrive. Handles are checked;
// an unknown one gives nothing.

// A bitmap of 32-bit pixels (blue, green, red, unused), rows top first.
HBITMAP CreateBitmap32(std::int32_t width, std::int32_t height,
                       const std::vector<std::uint32_t>& pixels);
// A duplicate of a bitmap, as CopyImage gives it; 0 for an unknown handle.
HBITMAP CopyImage(HBITMAP bitmap);
// The bitmap as a complete BMP file: file header, BITMAPINFOHEADER, 32-bit rows bottom first.
std::vector<std::uint8_t> BitmapFileImage(HBITMAP bitmap);

// A logical palette of 4-byte entries (red, green, blue, flags).
HPALETTE CreatePalette(const std::vector<std::uint32_t>& entries);
// The number of entries, as GetObject of a palette answers; 0 for an unknown handle.
int PaletteEntryCount(HPALETTE palette);
// Copies up to Count entries from Start; answers how many.
int GetPaletteEntries(HPALETTE palette, int start, int count, std::uint32_t* entries);

// Metafiles: their bits as they are stored.
HMETAFILE SetMetaFileBitsEx(const std::vector<std::uint8_t>& bits);
std::vector<std::uint8_t> GetMetaFileBitsEx(HMETAFILE metafile);
HENHMETAFILE SetEnhMetaFileBits(const std::vector<std::uint8_t>& bits);
HENHMETAFILE CopyEnhMetaFile(HENHMETAFILE metafile);
std::vector<std::uint8_t> GetEnhMetaFileBits(HENHMETAFILE metafile);

// Frees any of these objects; false for an unknown handle.
bool DeleteObject(std::uintptr_t handle);
std::size_t GdiObjectCount();

}  // namespace kestrave::platform::ole
