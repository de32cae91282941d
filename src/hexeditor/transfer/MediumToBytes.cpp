#include "hexeditor/transfer/MediumToBytes.h"

#include <algorithm>

#include "hexeditor/text/Conversions.h"
#include "hexeditor/transfer/PrivateBlock.h"
#include "hexeditor/transfer/TransferFormats.h"
#include "hexeditor/undo/UndoRecord.h"
#include "platform/UserInterface.h"
#include "platform/ole/GdiObjects.h"

namespace kestrave::hex {

namespace ole = platform::ole;

namespace {

constexpr int kMaxPaletteEntries = 256;
constexpr std::size_t kMetafileHandleOffset = 12;

std::vector<std::uint8_t> TextBeforeZero(const std::uint8_t* pointer, std::size_t size) {
  if (!pointer) return {};
  const std::uint8_t* end = std::find(pointer, pointer + size, 0);
  return {pointer, end};
}

std::vector<std::uint8_t> UnicodeBeforeZero(const std::uint8_t* pointer, std::size_t size,
                                            bool bigEndian) {
  std::vector<std::uint8_t> bytes;
  if (!pointer) return bytes;
  for (std::size_t at = 0; at + 2 <= size; at += 2) {
    if (pointer[at] == 0 && pointer[at + 1] == 0) break;
    std::uint8_t unit[2] = {pointer[at], pointer[at + 1]};
    if (bigEndian) SwapByteOrder16(unit);
    bytes.insert(bytes.end(), unit, unit + 2);
  }
  return bytes;
}

std::vector<std::uint8_t> PaletteBytes(ole::HPALETTE palette) {
  const int entries = std::min(ole::PaletteEntryCount(palette), kMaxPaletteEntries);
  if (entries <= 0) return {};
  std::vector<std::uint32_t> colours(static_cast<std::size_t>(entries));
  ole::GetPaletteEntries(palette, 0, entries, colours.data());
  std::vector<std::uint8_t> bytes(4 + 4 * colours.size());
  bytes[0] = 0x00;
  bytes[1] = 0x03;  // palette version 0x0300
  bytes[2] = static_cast<std::uint8_t>(entries);
  bytes[3] = static_cast<std::uint8_t>(entries >> 8);
  for (std::size_t i = 0; i < colours.size(); ++i)
    WriteLe32(bytes.data() + 4 + 4 * i, colours[i]);
  return bytes;
}

std::vector<std::uint8_t> BitmapBytes(ole::HBITMAP bitmap) {
  const ole::HBITMAP copy = ole::CopyImage(bitmap);
  std::vector<std::uint8_t> image = ole::BitmapFileImage(copy);
  ole::DeleteObject(copy);
  return image;
}

std::vector<std::uint8_t> EnhMetaFileBytes(ole::HENHMETAFILE metafile) {
  const ole::HENHMETAFILE copy = ole::CopyEnhMetaFile(metafile);
  std::vector<std::uint8_t> bits = ole::GetEnhMetaFileBits(copy);
  ole::DeleteObject(copy);
  return bits;
}

// A metafile picture holds its metafile's handle at offset 12.
std::vector<std::uint8_t> MetaFilePictBytes(const std::uint8_t* pointer, std::size_t size) {
  if (!pointer || size < kMetafileHandleOffset + 4) return {};
  return ole::GetMetaFileBitsEx(ReadLe32(pointer + kMetafileHandleOffset));
}

}  // namespace

std::vector<std::uint8_t> MediumToBytes(TClipFormat format, const std::uint8_t* pointer,
                                        std::uintptr_t handle, std::size_t size, bool bigEndian) {
  const TransferFormatIds& ids = TransferFormats();
  if (format == ids.RichText || format == ids.Html) format = ole::CF_TEXT;
  if (format == ids.Private)
    return ReadPrivateBlock(pointer, size).value_or(std::vector<std::uint8_t>{});
  if (format == ids.RegEditHexData)
    return ReadRegEditBlock(pointer, size).value_or(std::vector<std::uint8_t>{});
  switch (format) {
    case ole::CF_TEXT:
    case ole::CF_OEMTEXT:
      return TextBeforeZero(pointer, size);
    case ole::CF_UNICODETEXT:
      return UnicodeBeforeZero(pointer, size, bigEndian);
    case ole::CF_LOCALE:
      if (!pointer || size < 2) return {};
      return {pointer, pointer + 2};
    case ole::CF_DIB: {
      if (!pointer) return {};
      std::vector<std::uint8_t> bytes(14, 0);
      bytes[0] = 'B';
      bytes[1] = 'M';
      bytes.insert(bytes.end(), pointer, pointer + size);
      return bytes;
    }
    case ole::CF_BITMAP:
      return BitmapBytes(handle);
    case ole::CF_PALETTE:
      return PaletteBytes(handle);
    case ole::CF_METAFILEPICT:
      return MetaFilePictBytes(pointer, size);
    case ole::CF_ENHMETAFILE:
      return EnhMetaFileBytes(handle);
    default:
      if (!pointer) return {};
      return platform::CopyBytesResponsively(pointer, size);
  }
}

}  // namespace kestrave::hex
