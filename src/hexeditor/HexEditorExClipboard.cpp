// Clipboard transfer: copy, cut and paste through the clipboard interface.
#include <algorithm>
#include <cstring>

#include "hexeditor/HexEditorError.h"
#include "hexeditor/HexEditorEx.h"
#include "hexeditor/Messages.h"
#include "hexeditor/text/Conversions.h"
#include "hexeditor/transfer/FormatEnum.h"
#include "hexeditor/transfer/HexDataObject.h"
#include "hexeditor/transfer/MediumToBytes.h"
#include "hexeditor/transfer/PrivateBlock.h"
#include "hexeditor/transfer/TransferFormats.h"
#include "platform/Exception.h"
#include "platform/FileStream.h"
#include "platform/FileSystem.h"
#include "platform/Format.h"
#include "platform/SystemError.h"
#include "platform/ole/Clipboard.h"
#include "platform/ole/GlobalMemory.h"
#include "platform/ole/Medium.h"
#include "platform/ole/OleError.h"

namespace kestrave::hex {

namespace ole = platform::ole;

namespace {

constexpr char kPasteDescription[] = "Paste from Clipboard";
constexpr char kCutDescription[] = "Cut to Clipboard";
constexpr std::size_t kMaxBufferName = 255;

// Releases a fetched medium on every way out.
class MediumScope {
 public:
  explicit MediumScope(ole::STGMEDIUM& medium) : medium_(medium) {}
  ~MediumScope() { ole::ReleaseStgMedium(medium_); }
  MediumScope(const MediumScope&) = delete;
  MediumScope& operator=(const MediumScope&) = delete;

 private:
  ole::STGMEDIUM& medium_;
};

// The data of one format. Memory that ran out while the object made the block is an error of its
// own: it must not pass for a clipboard or drop that had nothing to give.
HResult FetchFormat(ole::IDataObject& data, TClipFormat format, ole::STGMEDIUM& medium) {
  const HResult result = GetDataOfFormat(data, format, medium);
  if (result == ole::E_OUTOFMEMORY) throw platform::EOutOfMemory();
  return result;
}

bool IsEightBitText(TClipFormat format) {
  return format == ole::CF_TEXT || format == ole::CF_OEMTEXT;
}

// Name Index of a file list, whole whatever its length.
std::string FileListName(ole::HGLOBAL drop, std::uint32_t index) {
  const std::uint32_t length = ole::DragQueryFileA(drop, index, nullptr, 0);
  std::string name(std::size_t{length} + 1, '\0');
  name.resize(ole::DragQueryFileA(drop, index, name.data(), length + 1));
  return name;
}

// The whole content of a named file. Only a regular file is read: a FIFO or device named in a
// list would otherwise keep the editor waiting, or reading, for ever.
std::vector<std::uint8_t> ReadWholeFile(const std::string& name) {
  const platform::FileHandle file = platform::OpenForReadShared(name);
  if (!file.IsOpen())
    throw platform::EFOpenError(
        platform::FormatMessage(msg::kCannotOpenFile, {name, platform::LastErrorText()}));
  platform::THandleStream stream(file.Fd());
  const auto readError = [&] {
    return EHexEditor(msg::kStreamReadError, platform::ReadFailureDetail(name, stream));
  };
  const std::int64_t size = stream.Size();
  if (size < 0) throw readError();
  if (size > THexMemoryStream::kMaxSize) throw EHexEditor(msg::kOutOfMemory);
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
  if (stream.Read(bytes.data(), size) != size) throw readError();
  return bytes;
}

}  // namespace

void THexEditorEx::LeaveClipboard() {
  if (!clipboardData_) return;
  ole::IClipboard& clipboard = ole::CurrentClipboard();
  if (clipboard.IsCurrentClipboard(clipboardData_.Get()) != ole::S_OK) return;
  // Nothing may escape a destructor; a flush that fails leaves the clipboard as it is.
  if (flushClipboardAtShutDown_) {
    clipboard.FlushClipboard();
  } else {
    clipboard.SetClipboard(nullptr);
  }
}

void THexEditorEx::ReleaseClipboardCopy() {
  if (clipboardData_ &&
      ole::CurrentClipboard().IsCurrentClipboard(clipboardData_.Get()) != ole::S_OK)
    clipboardData_ = nullptr;
}

bool THexEditorEx::CanCopy() const {
  return DataSize() > 0 && SelectionCount() > 0;
}

bool THexEditorEx::CanCut() const {
  return CanCopy() && !ReadOnlyView() && !NoSizeChange();
}

THexDataObject* THexEditorEx::NewTransferObject() {
  const BusyScope busy(*this);
  std::string name = platform::BaseNameOf(FileName());
  if (name.size() > kMaxBufferName) name.resize(kMaxBufferName);
  return new THexDataObject(&DataStore(), SelectionLow(), SelectionCount(), name,
                            clipboardAsHexText_, SwapNibbles());
}

bool THexEditorEx::CopyToClipboard() {
  if (!CanCopy()) return false;
  ole::ComPtr<ole::IDataObject> object(NewTransferObject());
  clipboardData_ = object;
  ole::OleCheck(ole::CurrentClipboard().SetClipboard(object.Get()));
  return true;
}

bool THexEditorEx::CutToClipboard() {
  if (!CanCut() || !CopyToClipboard()) return false;
  const BusyScope busy(*this);
  DeleteSelection(kCutDescription);
  return true;
}

std::vector<TClipFormat> THexEditorEx::GetAcceptedFormats() const {
  const TransferFormatIds& ids = TransferFormats();
  std::vector<TClipFormat> formats = {ids.Private, ole::CF_HDROP};
  if (supportsOtherClipFormats_) {
    formats.insert(
        formats.end(),
        {ole::CF_TEXT, ids.RichText, ole::CF_UNICODETEXT, ole::CF_BITMAP, ole::CF_PALETTE,
         ole::CF_METAFILEPICT, ole::CF_TIFF, ole::CF_OEMTEXT, ole::CF_DIB, ole::CF_RIFF,
         ole::CF_WAVE, ole::CF_ENHMETAFILE, ole::CF_LOCALE, ids.RegEditHexData, ids.Html});
  }
  return formats;
}

HResult THexEditorEx::CheckDataObject(ole::IDataObject& data, bool fromClipboard, std::int32_t&) {
  if (ReadOnlyView()) return ole::S_FALSE;
  const TFormatEnum offered(data);
  for (const TClipFormat format : GetAcceptedFormats()) {
    if (offered.HasFormat(format)) {
      chosenFormat_[fromClipboard ? 1 : 0] = format;
      return ole::S_OK;
    }
  }
  return ole::S_FALSE;
}

bool THexEditorEx::CanPaste() {
  if (ReadOnlyView()) return false;
  ole::ComPtr<ole::IDataObject> data;
  if (!ole::Succeeded(ole::CurrentClipboard().GetClipboard(data)) || !data) return false;
  std::int32_t effect = ole::DROPEFFECT_COPY;
  if (CheckDataObject(*data.Get(), true, effect) != ole::S_OK) return false;
  return !NoSizeChange() || DataSize() > 0;
}

bool THexEditorEx::PasteFromClipboard() {
  if (!CanPaste()) return false;
  ole::ComPtr<ole::IDataObject> data;
  if (!ole::Succeeded(ole::CurrentClipboard().GetClipboard(data)) || !data) return false;
  std::int32_t effect = ole::DROPEFFECT_COPY;
  return InsertFromDataObject(*data.Get(), true, effect) == ole::S_OK;
}

// Several offered formats and none preferred: the user decides.
bool THexEditorEx::SelectOfferedFormat(ole::IDataObject& data, TClipFormat& chosen) {
  const TFormatEnum offered(data);
  std::vector<TClipFormat> formats;
  for (const TClipFormat format : GetAcceptedFormats())
    if (offered.HasFormat(format)) formats.push_back(format);
  if (formats.empty()) return false;
  if (formats.size() == 1) {
    chosen = formats.front();
    return true;
  }
  IFormatChooser& chooser = formatChooser_ ? *formatChooser_ : CurrentFormatChooser();
  bool hexText = clipboardAsHexText_;
  if (!chooser.Choose(formats, chosen, hexText)) return false;
  clipboardAsHexText_ = hexText;
  return true;
}

// A file list: the names themselves when linking, else the whole first file.
HResult THexEditorEx::ReadFileList(ole::IDataObject& data, std::int32_t effect,
                                   FetchedBytes& bytes) {
  ole::STGMEDIUM medium;
  if (FetchFormat(data, ole::CF_HDROP, medium) != ole::S_OK) return ole::E_FAIL;
  const MediumScope release(medium);
  const std::uint32_t count = ole::DragQueryFileA(medium.handle, 0xFFFFFFFFu, nullptr, 0);
  if (count == 0) return ole::E_FAIL;
  if (effect != ole::DROPEFFECT_LINK) {
    bytes.Own(ReadWholeFile(FileListName(medium.handle, 0)));
    return ole::S_OK;
  }
  std::vector<std::uint8_t> names;
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::string name = FileListName(medium.handle, i);
    names.insert(names.end(), name.begin(), name.end());
    names.push_back(0);
  }
  bytes.Own(std::move(names));
  return ole::S_OK;
}

HResult THexEditorEx::ReadFormat(ole::IDataObject& data, TClipFormat format, bool fromClipboard,
                                 FetchedBytes& bytes) {
  ole::STGMEDIUM medium;
  if (FetchFormat(data, format, medium) != ole::S_OK) return ole::E_FAIL;
  bytes.Hold(medium);
  if (format == TransferFormats().Private) {
    // Our own block: its bytes are inserted from where they lie.
    const auto part = PrivateBlockBytes(bytes.BlockBytes(), bytes.BlockSize());
    if (!part || part->empty()) return ole::E_FAIL;
    bytes.Show(*part);
    return ole::S_OK;
  }
  std::vector<std::uint8_t> converted = MediumToBytes(format, bytes.BlockBytes(), medium.handle,
                                                      bytes.BlockSize(), UnicodeBigEndian());
  if (converted.empty()) return ole::E_FAIL;
  if (IsEightBitText(format) && fromClipboard && clipboardAsHexText_) {
    converted = HexTextToBytes(
        std::string_view(reinterpret_cast<const char*>(converted.data()), converted.size()),
        SwapNibbles());
  }
  bytes.Own(std::move(converted));
  return ole::S_OK;
}

HResult THexEditorEx::InsertFromDataObject(ole::IDataObject& data, bool fromClipboard,
                                           std::int32_t& effect) {
  HResult result = ole::E_FAIL;
  {
    const BusyScope busy(*this);
    FetchedBytes fetched;
    TClipFormat& chosen = chosenFormat_[fromClipboard ? 1 : 0];
    const TransferFormatIds& ids = TransferFormats();
    bool choiceMade = true;
    if (chosen != ids.Private && chosen != ole::CF_HDROP)
      choiceMade = SelectOfferedFormat(data, chosen);
    if (choiceMade) {
      result = chosen == ole::CF_HDROP ? ReadFileList(data, effect, fetched)
                                       : ReadFormat(data, chosen, fromClipboard, fetched);
    }
    const std::span<const std::uint8_t> bytes = fetched.Bytes();
    const int unit = BytesPerUnit();
    const auto length = static_cast<int>(std::min<std::size_t>(bytes.size(), 0x7FFFFFFF));
    const int whole = length - length % unit;
    if (result != ole::S_OK || whole <= 0) {
      result = ole::E_FAIL;
    } else if (fromClipboard) {
      PasteBytes(bytes.data(), whole, kPasteDescription);
    } else {
      result = DropBytes(bytes.data(), whole, effect);
    }
  }
  if (result != ole::S_OK) effect = ole::DROPEFFECT_NONE;
  return result;
}

void THexEditorEx::PasteBytes(const std::uint8_t* bytes, int count,
                              const std::string& description) {
  if (SelectionCount() == 0) {
    const int unit = BytesPerUnit();
    const int position = std::min(CaretBytePosition(), DataSize());
    const int aligned = position - position % unit;
    if (aligned != position) MoveCursorToCell(PositionToCell(aligned, InCharField()));
    if (NoSizeChange() && DataSize() > 0) {
      SetSelectionStart(std::min(aligned, DataSize() - 1));
      SetSelectionEnd(std::min(DataSize() - 1, aligned + count - 1));
    }
  }
  ReplaceSelection(bytes, count, description, true);
}

}  // namespace kestrave::hex
