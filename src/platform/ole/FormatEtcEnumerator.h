#pragma once

#include <vector>

#include "platform/ole/DataObject.h"

namespace kestrave::platform::ole {

// Walks a fixed list of format descriptors.
class TFormatEtcEnumerator : public TRefCounted<IEnumFORMATETC> {
 public:
  explicit TFormatEtcEnumerator(std::vector<FORMATETC> entries, std::size_t position = 0)
      : entries_(std::move(entries)), position_(position) {}

  HResult Next(std::uint32_t count, FORMATETC* items, std::uint32_t* fetched) override;
  HResult Skip(std::uint32_t count) override;
  HResult Reset() override;
  HResult Clone(IEnumFORMATETC** result) override;

 private:
  std::vector<FORMATETC> entries_;
  std::size_t position_;
};

}  // namespace kestrave::platform::ole
