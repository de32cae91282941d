#include "hexeditor/transfer/FetchedBytes.h"

#include "platform/ole/GlobalMemory.h"
#include "platform/ole/Medium.h"

namespace kestrave::hex {

namespace ole = platform::ole;

void FetchedBytes::Hold(const ole::STGMEDIUM& medium) {
  Release();
  medium_ = medium;
  held_ = true;
  if (medium.tymed == ole::TYMED_HGLOBAL || medium.tymed == ole::TYMED_MFPICT) {
    block_ = ole::GlobalLock(medium.handle);
    blockSize_ = block_ ? ole::GlobalSize(medium.handle) : 0;
  }
}

void FetchedBytes::Own(std::vector<std::uint8_t> bytes) {
  own_ = std::move(bytes);
  bytes_ = own_;
  Release();
}

void FetchedBytes::Release() {
  if (!held_) return;
  if (block_) ole::GlobalUnlock(medium_.handle);
  ole::ReleaseStgMedium(medium_);
  held_ = false;
  block_ = nullptr;
  blockSize_ = 0;
}

}  // namespace kestrave::hex
