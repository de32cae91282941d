#pragma once

#include <vector>

#include "platform/ole/DataObject.h"

namespace kestrave::hex {

using platform::ole::FORMATETC;
using platform::ole::HResult;
using platform::ole::TClipFormat;

// What a foreign data object offers for reading, in the order it gives.
class TFormatEnum {
 public:
  explicit TFormatEnum(platform::ole::IDataObject& data);

  bool HasFormat(TClipFormat format) const;
  // The first offered descriptor of the format, or one of twenty 0xFF bytes when not offered.
  FORMATETC GetFormatEtc(TClipFormat format) const;
  const std::vector<FORMATETC>& Formats() const { return formats_; }

 private:
  std::vector<FORMATETC> formats_;
};

// Fetches a format the object offers, as it offers it; E_FAIL when it does not.
HResult GetDataOfFormat(platform::ole::IDataObject& data, TClipFormat format,
                        platform::ole::STGMEDIUM& medium);

}  // namespace kestrave::hex
