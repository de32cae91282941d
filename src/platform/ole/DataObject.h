#pragma once

#include "platform/ole/OleTypes.h"

namespace kestrave::platform::ole {

class IEnumFORMATETC : public IUnknown {
 public:
  virtual HResult Next(std::uint32_t count, FORMATETC* items, std::uint32_t* fetched) = 0;
  virtual HResult Skip(std::uint32_t count) = 0;
  virtual HResult Reset() = 0;
  virtual HResult Clone(IEnumFORMATETC** result) = 0;
};

class IAdviseSink;
class IEnumSTATDATA;

// Data offered in several formats, rendered when a reader asks.
class IDataObject : public IUnknown {
 public:
  virtual HResult GetData(const FORMATETC& format, STGMEDIUM& medium) = 0;
  virtual HResult GetDataHere(const FORMATETC& format, STGMEDIUM& medium) = 0;
  virtual HResult QueryGetData(const FORMATETC& format) = 0;
  virtual HResult GetCanonicalFormatEtc(const FORMATETC& in, FORMATETC& out) = 0;
  virtual HResult SetData(const FORMATETC& format, STGMEDIUM& medium, bool release) = 0;
  virtual HResult EnumFormatEtc(std::uint32_t direction, IEnumFORMATETC** result) = 0;
  virtual HResult DAdvise(const FORMATETC& format, std::uint32_t flags, IAdviseSink* sink,
                          std::uint32_t* connection) = 0;
  virtual HResult DUnadvise(std::uint32_t connection) = 0;
  virtual HResult EnumDAdvise(IEnumSTATDATA** result) = 0;
};

}  // namespace kestrave::platform::ole
