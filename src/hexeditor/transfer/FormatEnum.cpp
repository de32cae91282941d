#include "hexeditor/transfer/FormatEnum.h"

#include <cstring>

namespace kestrave::hex {

namespace ole = platform::ole;

TFormatEnum::TFormatEnum(ole::IDataObject& data) {
  ole::IEnumFORMATETC* raw = nullptr;
  if (data.EnumFormatEtc(ole::DATADIR_GET, &raw) != ole::S_OK || !raw) return;
  ole::ComPtr<ole::IEnumFORMATETC> formats(raw);
  raw->Release();
  FORMATETC format;
  while (formats->Next(1, &format, nullptr) == ole::S_OK)
    formats_.push_back(format);
}

bool TFormatEnum::HasFormat(TClipFormat format) const {
  for (const FORMATETC& offered : formats_)
    if (offered.cfFormat == format) return true;
  return false;
}

FORMATETC TFormatEnum::GetFormatEtc(TClipFormat format) const {
  for (const FORMATETC& offered : formats_)
    if (offered.cfFormat == format) return offered;
  FORMATETC none;
  none.cfFormat = 0xFFFF;
  none.ptd = reinterpret_cast<const void*>(~std::uintptr_t{0});
  none.dwAspect = 0xFFFFFFFF;
  none.lindex = -1;
  none.tymed = 0xFFFFFFFF;
  return none;
}

HResult GetDataOfFormat(ole::IDataObject& data, TClipFormat format, ole::STGMEDIUM& medium) {
  const TFormatEnum offered(data);
  if (!offered.HasFormat(format)) return ole::E_FAIL;
  return data.GetData(offered.GetFormatEtc(format), medium);
}

}  // namespace kestrave::hex
