#include "platform/ole/StaticDataObject.h"

#include "platform/ole/FormatEtcEnumerator.h"
#include "platform/ole/GlobalMemory.h"

namespace kestrave::platform::ole {

void TStaticDataObject::AddBytes(TClipFormat format, std::vector<std::uint8_t> bytes) {
  FORMATETC descriptor;
  descriptor.cfFormat = format;
  AddRenderer(descriptor, [bytes = std::move(bytes)](STGMEDIUM& medium) {
    medium.handle = GlobalFromBytes(bytes.data(), bytes.size());
    if (!medium.handle) return E_OUTOFMEMORY;
    medium.tymed = TYMED_HGLOBAL;
    return S_OK;
  });
}

void TStaticDataObject::AddRenderer(const FORMATETC& format, Renderer renderer) {
  entries_.push_back({format, std::move(renderer)});
}

const TStaticDataObject::Entry* TStaticDataObject::Find(const FORMATETC& format) const {
  for (const Entry& entry : entries_)
    if (entry.format.cfFormat == format.cfFormat && (entry.format.tymed & format.tymed) != 0)
      return &entry;
  return nullptr;
}

HResult TStaticDataObject::QueryGetData(const FORMATETC& format) {
  if (format.dwAspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  return Find(format) ? S_OK : DV_E_FORMATETC;
}

HResult TStaticDataObject::GetData(const FORMATETC& format, STGMEDIUM& medium) {
  medium = STGMEDIUM{};
  const HResult query = QueryGetData(format);
  if (query != S_OK) return query;
  return Find(format)->render(medium);
}

HResult TStaticDataObject::GetCanonicalFormatEtc(const FORMATETC& in, FORMATETC& out) {
  out = in;
  out.ptd = nullptr;
  return DATA_S_SAMEFORMATETC;
}

HResult TStaticDataObject::EnumFormatEtc(std::uint32_t direction, IEnumFORMATETC** result) {
  if (!result) return E_INVALIDARG;
  *result = nullptr;
  if (direction != DATADIR_GET) return E_NOTIMPL;
  std::vector<FORMATETC> formats;
  for (const Entry& entry : entries_)
    formats.push_back(entry.format);
  *result = new TFormatEtcEnumerator(std::move(formats));
  (*result)->AddRef();
  return S_OK;
}

HResult TStaticDataObject::EnumDAdvise(IEnumSTATDATA** result) {
  if (result) *result = nullptr;
  return OLE_E_ADVISENOTSUPPORTED;
}

}  // namespace kestrave::platform::ole
