#pragma once

#include <functional>
#include <vector>

#include "platform/ole/DataObject.h"

namespace kestrave::platform::ole {

// A data object whose formats are given as renderers: what another program's clipboard content
// looks like to the component, or a flushed clipboard's rendered data.
class TStaticDataObject : public TRefCounted<IDataObject> {
 public:
  using Renderer = std::function<HResult(STGMEDIUM& medium)>;

  // A format rendered as a global block holding these bytes.
  void AddBytes(TClipFormat format, std::vector<std::uint8_t> bytes);
  // A format rendered by a function (GDI handles, metafile pictures).
  void AddRenderer(const FORMATETC& format, Renderer renderer);

  HResult GetData(const FORMATETC& format, STGMEDIUM& medium) override;
  HResult GetDataHere(const FORMATETC&, STGMEDIUM&) override { return DV_E_FORMATETC; }
  HResult QueryGetData(const FORMATETC& format) override;
  HResult GetCanonicalFormatEtc(const FORMATETC& in, FORMATETC& out) override;
  HResult SetData(const FORMATETC&, STGMEDIUM&, bool) override { return E_NOTIMPL; }
  HResult EnumFormatEtc(std::uint32_t direction, IEnumFORMATETC** result) override;
  HResult DAdvise(const FORMATETC&, std::uint32_t, IAdviseSink*, std::uint32_t*) override {
    return OLE_E_ADVISENOTSUPPORTED;
  }
  HResult DUnadvise(std::uint32_t) override { return OLE_E_ADVISENOTSUPPORTED; }
  HResult EnumDAdvise(IEnumSTATDATA** result) override;

 private:
  struct Entry {
    FORMATETC format;
    Renderer render;
  };
  const Entry* Find(const FORMATETC& format) const;

  std::vector<Entry> entries_;
};

}  // namespace kestrave::platform::ole
