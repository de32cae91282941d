#include "platform/ole/FormatEtcEnumerator.h"

namespace kestrave::platform::ole {

HResult TFormatEtcEnumerator::Next(std::uint32_t count, FORMATETC* items, std::uint32_t* fetched) {
  std::uint32_t copied = 0;
  while (copied < count && position_ < entries_.size())
    items[copied++] = entries_[position_++];
  if (fetched) *fetched = copied;
  return copied == count ? S_OK : S_FALSE;
}

HResult TFormatEtcEnumerator::Skip(std::uint32_t count) {
  if (entries_.size() - position_ < count) return S_FALSE;
  position_ += count;
  return S_OK;
}

HResult TFormatEtcEnumerator::Reset() {
  position_ = 0;
  return S_OK;
}

HResult TFormatEtcEnumerator::Clone(IEnumFORMATETC** result) {
  if (!result) return E_INVALIDARG;
  *result = new TFormatEtcEnumerator(entries_, position_);
  (*result)->AddRef();
  return S_OK;
}

}  // namespace kestrave::platform::ole
