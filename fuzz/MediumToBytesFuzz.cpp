// Any block in any accepted format must convert without reading outside it, and the private and
// "RegEdit_HexData" blocks must never yield more bytes than they hold.
#include <cstdlib>
#include <vector>

#include "FuzzInput.h"
#include "hexeditor/transfer/MediumToBytes.h"
#include "hexeditor/transfer/PrivateBlock.h"
#include "hexeditor/transfer/TransferFormats.h"
#include "platform/ole/GdiObjects.h"

namespace ole = kestrave::platform::ole;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto& ids = kestrave::hex::TransferFormats();
  const ole::TClipFormat formats[] = {
      ids.Private,         ids.RegEditHexData, ids.RichText,        ids.Html,
      ole::CF_TEXT,        ole::CF_OEMTEXT,    ole::CF_UNICODETEXT, ole::CF_LOCALE,
      ole::CF_DIB,         ole::CF_BITMAP,     ole::CF_PALETTE,     ole::CF_METAFILEPICT,
      ole::CF_ENHMETAFILE, ole::CF_TIFF,       ole::CF_RIFF,        ole::CF_WAVE};
  kestrave::fuzz::FuzzInput input(data, size);
  const ole::TClipFormat format = formats[input.Byte() % std::size(formats)];
  const bool bigEndian = input.Byte() & 1;
  // An exact-size copy, so a read past the block is a read past an allocation.
  const std::vector<std::uint8_t> block(input.Rest(), input.Rest() + input.Remaining());
  const std::uint8_t* pointer = block.empty() ? nullptr : block.data();
  // Handle formats get a real object made from the block, and sometimes a handle that is none.
  std::uintptr_t handle = 0;
  if (format == ole::CF_ENHMETAFILE) handle = ole::SetEnhMetaFileBits(block);
  if (format == ole::CF_PALETTE) {
    std::vector<std::uint32_t> entries(block.size() / 4);
    handle = ole::CreatePalette(entries);
  }
  if (format == ole::CF_BITMAP && block.size() >= 4)
    handle = ole::CreateBitmap32(1, 1, {static_cast<std::uint32_t>(block[0])});
  if (block.size() % 7 == 0) handle ^= 0x5A5A;
  const auto bytes = kestrave::hex::MediumToBytes(format, pointer, handle, block.size(), bigEndian);
  if ((format == ids.Private && bytes.size() + 12 > block.size() && !bytes.empty()) ||
      (format == ids.RegEditHexData && bytes.size() + 4 > block.size() && !bytes.empty()))
    std::abort();
  if (format == ids.Private && kestrave::hex::ReadPrivateBlock(pointer, block.size()) &&
      kestrave::hex::ReadPrivateBlock(pointer, block.size())->size() != bytes.size())
    std::abort();
  ole::DeleteObject(handle);
  ole::DeleteObject(handle ^ 0x5A5A);
  return 0;
}
