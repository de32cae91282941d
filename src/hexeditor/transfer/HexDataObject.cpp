#include "hexeditor/transfer/HexDataObject.h"

#include <algorithm>
#include <chrono>
#include <cstring>

#include "hexeditor/text/Conversions.h"
#include "hexeditor/transfer/PrivateBlock.h"
#include "hexeditor/transfer/TransferFormats.h"
#include "hexeditor/undo/UndoRecord.h"
#include "platform/UserInterface.h"
#include "platform/ole/GlobalMemory.h"
#include "platform/ole/Medium.h"

namespace kestrave::hex {

namespace ole = platform::ole;

namespace {

constexpr std::size_t kDescriptorSize = 336;
constexpr std::size_t kMaxDumpName = 255;

FORMATETC Offered(TClipFormat format) {
  FORMATETC descriptor;
  descriptor.cfFormat = format;
  return descriptor;
}

// Now, as a file time: 100-nanosecond steps since 1601-01-01 UTC.
std::uint64_t FileTimeNow() {
  constexpr std::uint64_t kEpochDifference = 11644473600ULL;
  const auto now = std::chrono::system_clock::now().time_since_epoch();
  const auto steps = std::chrono::duration_cast<std::chrono::nanoseconds>(now).count() / 100;
  return static_cast<std::uint64_t>(steps) + kEpochDifference * 10000000ULL;
}

}  // namespace

std::string DumpNameFor(const std::string& fileName) {
  std::string stem = fileName;
  const auto slash = stem.find_last_of("/\\");
  if (slash != std::string::npos) stem.erase(0, slash + 1);
  const auto dot = stem.rfind('.');
  if (dot != std::string::npos) stem.erase(dot);
  std::string name = "Dump of " + stem + ".bin";
  if (name.size() > kMaxDumpName) name.resize(kMaxDumpName);
  return name;
}

THexEnumFormatETC::THexEnumFormatETC()
    : TFormatEtcEnumerator({Offered(TransferFormats().Private), Offered(ole::CF_TEXT),
                            Offered(TransferFormats().FileGroupDescriptor),
                            Offered(TransferFormats().FileContents)}) {}

THexDataObject::THexDataObject(const THexMemoryStream* store, std::int64_t start,
                               std::int64_t count, const std::string& fileName, bool asHexText,
                               bool swapNibbles)
    : asHexText_(asHexText), swapNibbles_(swapNibbles) {
  const bool some = store && count > 0;
  count_ = some ? static_cast<std::size_t>(count) : 0;
  // Not zeroed first: every byte is written below.
  snapshot_ = std::make_shared_for_overwrite<std::uint8_t[]>(kPrivateBlockHeader + count_ + 1);
  const auto* bytes =
      some ? reinterpret_cast<const std::uint8_t*>(store->PointerAt(start)) : nullptr;
  WritePrivateBlock(snapshot_.get(), bytes, static_cast<std::int32_t>(count_));
  snapshot_[kPrivateBlockHeader + count_] = 0;
  if (some) dumpName_ = DumpNameFor(fileName);
}

// The part of the snapshot a format shows, when it shows one as it is.
std::optional<std::span<const std::uint8_t>> THexDataObject::SharedPart(
    std::uint16_t format) const {
  const TransferFormatIds& ids = TransferFormats();
  const std::span<const std::uint8_t> whole(snapshot_.get(), kPrivateBlockHeader + count_ + 1);
  if (format == ids.Private) return whole.first(kPrivateBlockHeader + count_);
  if (format == ids.FileContents) return whole.subspan(kPrivateBlockHeader, count_);
  if (format == ids.FileGroupDescriptor || asHexText_) return std::nullopt;
  return whole.subspan(kPrivateBlockHeader, BlockSize(format));
}

HResult THexDataObject::QueryGetData(const FORMATETC& format) {
  if (format.dwAspect != ole::DVASPECT_CONTENT) return ole::DV_E_DVASPECT;
  if (!(format.tymed & ole::TYMED_HGLOBAL)) return ole::DV_E_TYMED;
  const TransferFormatIds& ids = TransferFormats();
  if (format.lindex != -1 && format.lindex != 0 && format.cfFormat != ids.FileContents)
    return ole::DV_E_LINDEX;
  const TClipFormat f = format.cfFormat;
  if (f == ids.Private || f == ole::CF_TEXT || f == ids.FileGroupDescriptor ||
      f == ids.FileContents)
    return ole::S_OK;
  return ole::DV_E_FORMATETC;
}

std::size_t THexDataObject::BlockSize(std::uint16_t format) const {
  const TransferFormatIds& ids = TransferFormats();
  const std::span<const std::uint8_t> data = Data();
  if (format == ids.Private) return data.size() + kPrivateBlockHeader;
  if (format == ids.FileGroupDescriptor) return kDescriptorSize;
  if (format == ids.FileContents) return data.size();
  if (asHexText_) return 2 * data.size() + 1;
  const auto zero = std::find(data.begin(), data.end(), 0);
  return static_cast<std::size_t>(zero - data.begin()) + 1;
}

// Only the formats that are not a part of the snapshot are filled in.
void THexDataObject::Fill(std::uint16_t format, std::uint8_t* block) const {
  const TransferFormatIds& ids = TransferFormats();
  const auto size = static_cast<std::int32_t>(count_);
  if (format == ids.FileGroupDescriptor) {
    WriteLe32(block, 1);
    WriteLe32(block + 4, 0x60);  // the write time and the size are given
    const std::uint64_t written = FileTimeNow();
    WriteLe32(block + 60, static_cast<std::uint32_t>(written));
    WriteLe32(block + 64, static_cast<std::uint32_t>(written >> 32));
    WriteLe32(block + 72, static_cast<std::uint32_t>(size));
    std::memcpy(block + 76, dumpName_.data(), std::min<std::size_t>(dumpName_.size(), 259));
  } else {
    BytesToHexText(Data().data(), size, reinterpret_cast<char*>(block), swapNibbles_);
  }
}

HResult THexDataObject::GetData(const FORMATETC& format, STGMEDIUM& medium) {
  medium = STGMEDIUM{};
  const HResult query = QueryGetData(format);
  if (query != ole::S_OK) return query;
  if (const auto part = SharedPart(format.cfFormat)) {
    // The medium holds the snapshot alive while it lives; readers see the bytes in place.
    const ole::HGLOBAL view = ole::GlobalFromShared(snapshot_, part->data(), part->size());
    if (!view) return ole::E_OUTOFMEMORY;
    medium.handle = view;
    medium.tymed = ole::TYMED_HGLOBAL;
    return ole::S_OK;
  }
  const std::size_t size = BlockSize(format.cfFormat);
  const ole::HGLOBAL block =
      ole::GlobalAlloc(ole::GMEM_MOVEABLE | ole::GMEM_ZEROINIT | ole::GMEM_DDESHARE, size);
  if (!block) return ole::E_OUTOFMEMORY;
  medium.handle = block;
  medium.tymed = ole::TYMED_HGLOBAL;
  try {
    Fill(format.cfFormat, ole::GlobalLock(block));
  } catch (...) {
    ole::GlobalUnlock(block);
    ole::GlobalFree(block);
    medium = STGMEDIUM{};
    return ole::E_OUTOFMEMORY;
  }
  ole::GlobalUnlock(block);
  return ole::S_OK;
}

HResult THexDataObject::GetDataHere(const FORMATETC&, STGMEDIUM&) {
  return ole::DV_E_FORMATETC;
}

HResult THexDataObject::GetCanonicalFormatEtc(const FORMATETC& in, FORMATETC& out) {
  out = in;
  out.ptd = nullptr;
  return ole::DATA_S_SAMEFORMATETC;
}

// A target that performed the drop itself (moving a virtual file, say) reports its effect here.
HResult THexDataObject::SetData(const FORMATETC& format, STGMEDIUM& medium, bool release) {
  const TransferFormatIds& ids = TransferFormats();
  HResult result = ole::E_NOTIMPL;
  const bool effectFormat = format.cfFormat == ids.PerformedDropEffect ||
                            format.cfFormat == ids.LogicalPerformedDropEffect;
  if (effectFormat && medium.tymed == ole::TYMED_HGLOBAL) {
    const std::uint8_t* block = ole::GlobalLock(medium.handle);
    // A block too small for the value carries no report.
    if (block && ole::GlobalSize(medium.handle) >= sizeof(std::int32_t)) {
      std::memcpy(&reportedEffect_, block, sizeof reportedEffect_);
      effectReported_ = true;
      result = ole::S_OK;
    } else {
      result = ole::E_INVALIDARG;
    }
    if (block) ole::GlobalUnlock(medium.handle);
  }
  if (release) ole::ReleaseStgMedium(medium);
  return result;
}

HResult THexDataObject::EnumFormatEtc(std::uint32_t direction, ole::IEnumFORMATETC** result) {
  if (!result) return ole::E_INVALIDARG;
  *result = nullptr;
  if (direction != ole::DATADIR_GET) return ole::E_NOTIMPL;
  *result = new THexEnumFormatETC;
  (*result)->AddRef();
  return ole::S_OK;
}

HResult THexDataObject::DAdvise(const FORMATETC&, std::uint32_t, ole::IAdviseSink*,
                                std::uint32_t*) {
  return ole::OLE_E_ADVISENOTSUPPORTED;
}

HResult THexDataObject::DUnadvise(std::uint32_t) {
  return ole::OLE_E_ADVISENOTSUPPORTED;
}

HResult THexDataObject::EnumDAdvise(ole::IEnumSTATDATA** result) {
  if (result) *result = nullptr;
  return ole::OLE_E_ADVISENOTSUPPORTED;
}

}  // namespace kestrave::hex
