#pragma once

#include <cstdint>
#include <utility>

// The shapes of the OLE clipboard and data-transfer services, as the component calls them.
namespace kestrave::platform::ole {

using HResult = std::int32_t;
using TClipFormat = std::uint16_t;

inline constexpr HResult S_OK = 0;
inline constexpr HResult S_FALSE = 1;
inline constexpr HResult DATA_S_SAMEFORMATETC = 0x00040130;
inline constexpr HResult E_NOTIMPL = static_cast<HResult>(0x80004001);
inline constexpr HResult E_FAIL = static_cast<HResult>(0x80004005);
inline constexpr HResult E_OUTOFMEMORY = static_cast<HResult>(0x8007000E);
inline constexpr HResult E_INVALIDARG = static_cast<HResult>(0x80070057);
inline constexpr HResult OLE_E_ADVISENOTSUPPORTED = static_cast<HResult>(0x80040003);
inline constexpr HResult DV_E_FORMATETC = static_cast<HResult>(0x80040064);
inline constexpr HResult DV_E_LINDEX = static_cast<HResult>(0x80040068);
inline constexpr HResult DV_E_TYMED = static_cast<HResult>(0x80040069);
inline constexpr HResult DV_E_DVASPECT = static_cast<HResult>(0x8004006B);
inline constexpr HResult CLIPBRD_E_CANT_OPEN = static_cast<HResult>(0x800401D0);
inline constexpr HResult CLIPBRD_E_CANT_SET = static_cast<HResult>(0x800401D2);

constexpr bool Succeeded(HResult result) {
  return result >= 0;
}

inline constexpr TClipFormat CF_TEXT = 1;
inline constexpr TClipFormat CF_BITMAP = 2;
inline constexpr TClipFormat CF_METAFILEPICT = 3;
inline constexpr TClipFormat CF_SYLK = 4;
inline constexpr TClipFormat CF_DIF = 5;
inline constexpr TClipFormat CF_TIFF = 6;
inline constexpr TClipFormat CF_OEMTEXT = 7;
inline constexpr TClipFormat CF_DIB = 8;
inline constexpr TClipFormat CF_PALETTE = 9;
inline constexpr TClipFormat CF_PENDATA = 10;
inline constexpr TClipFormat CF_RIFF = 11;
inline constexpr TClipFormat CF_WAVE = 12;
inline constexpr TClipFormat CF_UNICODETEXT = 13;
inline constexpr TClipFormat CF_ENHMETAFILE = 14;
inline constexpr TClipFormat CF_HDROP = 15;
inline constexpr TClipFormat CF_LOCALE = 16;

inline constexpr std::uint32_t TYMED_HGLOBAL = 1;
inline constexpr std::uint32_t TYMED_FILE = 2;
inline constexpr std::uint32_t TYMED_ISTREAM = 4;
inline constexpr std::uint32_t TYMED_ISTORAGE = 8;
inline constexpr std::uint32_t TYMED_GDI = 16;
inline constexpr std::uint32_t TYMED_MFPICT = 32;
inline constexpr std::uint32_t TYMED_ENHMF = 64;
inline constexpr std::uint32_t TYMED_NULL = 0;

inline constexpr std::uint32_t DVASPECT_CONTENT = 1;
inline constexpr std::uint32_t DATADIR_GET = 1;
inline constexpr std::uint32_t DATADIR_SET = 2;

inline constexpr std::int32_t DROPEFFECT_NONE = 0;
inline constexpr std::int32_t DROPEFFECT_COPY = 1;
inline constexpr std::int32_t DROPEFFECT_MOVE = 2;
inline constexpr std::int32_t DROPEFFECT_LINK = 4;

// Opaque handles of the stand-in services; 0 is no handle.
using HGLOBAL = std::uintptr_t;
using HBITMAP = std::uintptr_t;
using HPALETTE = std::uintptr_t;
using HMETAFILE = std::uintptr_t;
using HENHMETAFILE = std::uintptr_t;

struct FORMATETC {
  TClipFormat cfFormat = 0;
  const void* ptd = nullptr;  // target device; never used here
  std::uint32_t dwAspect = DVASPECT_CONTENT;
  std::int32_t lindex = -1;
  std::uint32_t tymed = TYMED_HGLOBAL;
};

class IUnknown;

// A medium: its kind and the handle of that kind.
struct STGMEDIUM {
  std::uint32_t tymed = TYMED_NULL;
  std::uintptr_t handle = 0;
  IUnknown* pUnkForRelease = nullptr;
};

// Reference counting as the interfaces do it: an object lives while somebody holds it.
class IUnknown {
 public:
  virtual std::uint32_t AddRef() = 0;
  virtual std::uint32_t Release() = 0;

 protected:
  virtual ~IUnknown() = default;
};

// The usual implementation: starts with no reference, deletes itself when the last one goes.
template <typename Interface>
class TRefCounted : public Interface {
 public:
  std::uint32_t AddRef() override { return ++references_; }
  std::uint32_t Release() override {
    const std::uint32_t left = --references_;
    if (left == 0) delete this;
    return left;
  }

 private:
  std::uint32_t references_ = 0;
};

// Holds one reference.
template <typename T>
class ComPtr {
 public:
  ComPtr() = default;
  ComPtr(T* object) : object_(object) {  // NOLINT: taking a reference is the point
    if (object_) object_->AddRef();
  }
  ComPtr(const ComPtr& other) : ComPtr(other.object_) {}
  ComPtr(ComPtr&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
  ComPtr& operator=(ComPtr other) {
    std::swap(object_, other.object_);
    return *this;
  }
  ~ComPtr() {
    if (object_) object_->Release();
  }

  T* Get() const { return object_; }
  T* operator->() const { return object_; }
  explicit operator bool() const { return object_ != nullptr; }
  void Reset() { ComPtr().Swap(*this); }
  void Swap(ComPtr& other) { std::swap(object_, other.object_); }

 private:
  T* object_ = nullptr;
};

}  // namespace kestrave::platform::ole
