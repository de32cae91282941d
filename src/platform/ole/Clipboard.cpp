#include "platform/ole/Clipboard.h"

#include <vector>

#include "platform/ole/GlobalMemory.h"
#include "platform/ole/Medium.h"
#include "platform/ole/StaticDataObject.h"

namespace kestrave::platform::ole {
namespace {

IClipboard* installed = nullptr;

}  // namespace

HResult InProcessClipboard::SetClipboard(IDataObject* data) {
  if (heldElsewhere_) return CLIPBRD_E_CANT_OPEN;
  content_ = data;
  return S_OK;
}

HResult InProcessClipboard::GetClipboard(ComPtr<IDataObject>& data) {
  data = content_ ? content_ : ComPtr<IDataObject>(new TStaticDataObject);
  return S_OK;
}

HResult InProcessClipboard::IsCurrentClipboard(IDataObject* data) {
  return data && content_.Get() == data ? S_OK : S_FALSE;
}

HResult InProcessClipboard::FlushClipboard() {
  if (heldElsewhere_) return CLIPBRD_E_CANT_OPEN;
  if (content_) content_ = RenderAll(*content_.Get());
  return S_OK;
}

bool InProcessClipboard::EmptyClipboard() {
  if (heldElsewhere_) return false;
  content_.Reset();
  return true;
}

ComPtr<IDataObject> RenderAll(IDataObject& source) {
  auto* rendered = new TStaticDataObject;
  ComPtr<IDataObject> result(rendered);
  IEnumFORMATETC* raw = nullptr;
  if (source.EnumFormatEtc(DATADIR_GET, &raw) != S_OK || !raw) return result;
  ComPtr<IEnumFORMATETC> formats(raw);
  raw->Release();
  FORMATETC format;
  while (formats->Next(1, &format, nullptr) == S_OK) {
    if (!(format.tymed & TYMED_HGLOBAL)) continue;
    format.tymed = TYMED_HGLOBAL;
    STGMEDIUM medium;
    if (source.GetData(format, medium) != S_OK) continue;
    const std::uint8_t* bytes = GlobalLock(medium.handle);
    const std::size_t size = GlobalSize(medium.handle);
    if (bytes) rendered->AddBytes(format.cfFormat, std::vector<std::uint8_t>(bytes, bytes + size));
    if (bytes) GlobalUnlock(medium.handle);
    ReleaseStgMedium(medium);
  }
  return result;
}

InProcessClipboard& ProcessClipboard() {
  static InProcessClipboard clipboard;
  return clipboard;
}

IClipboard& CurrentClipboard() {
  return installed ? *installed : ProcessClipboard();
}

void SetCurrentClipboard(IClipboard* clipboard) {
  installed = clipboard;
}

}  // namespace kestrave::platform::ole
