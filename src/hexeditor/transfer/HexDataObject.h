#pragma once

#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "hexeditor/document/HexMemoryStream.h"
#include "hexeditor/transfer/PrivateBlock.h"
#include "platform/ole/DataObject.h"
#include "platform/ole/FormatEtcEnumerator.h"

namespace kestrave::hex {

using platform::ole::FORMATETC;
using platform::ole::HResult;
using platform::ole::STGMEDIUM;

// A snapshot of a selection, offered as the private block, text (plain or hex digits), and a
// virtual file ("FileGroupDescriptor" and "FileContents"); each format is rendered only when a
// reader asks. Later edits of the buffer do not change it.
class THexDataObject : public platform::ole::TRefCounted<platform::ole::IDataObject> {
 public:
  THexDataObject(const THexMemoryStream* store, std::int64_t start, std::int64_t count,
                 const std::string& fileName, bool asHexText, bool swapNibbles);

  HResult GetData(const FORMATETC& format, STGMEDIUM& medium) override;
  HResult GetDataHere(const FORMATETC& format, STGMEDIUM& medium) override;
  HResult QueryGetData(const FORMATETC& format) override;
  HResult GetCanonicalFormatEtc(const FORMATETC& in, FORMATETC& out) override;
  HResult SetData(const FORMATETC& format, STGMEDIUM& medium, bool release) override;
  HResult EnumFormatEtc(std::uint32_t direction, platform::ole::IEnumFORMATETC** result) override;
  HResult DAdvise(const FORMATETC& format, std::uint32_t flags, platform::ole::IAdviseSink* sink,
                  std::uint32_t* connection) override;
  HResult DUnadvise(std::uint32_t connection) override;
  HResult EnumDAdvise(platform::ole::IEnumSTATDATA** result) override;

  std::span<const std::uint8_t> Data() const {
    return {snapshot_.get() + kPrivateBlockHeader, count_};
  }
  const std::string& DumpName() const { return dumpName_; }
  bool EffectReported() const { return effectReported_; }
  std::int32_t ReportedEffect() const { return reportedEffect_; }

 private:
  std::size_t BlockSize(std::uint16_t format) const;
  std::optional<std::span<const std::uint8_t>> SharedPart(std::uint16_t format) const;
  void Fill(std::uint16_t format, std::uint8_t* block) const;

  // The bytes once, laid out as the private block followed by a zero byte: [header][data][0].
  // The media handed out show parts of it instead of copies (the private block, the file
  // contents, the text up to its first zero), so rendering costs no copy.
  std::shared_ptr<std::uint8_t[]> snapshot_;
  std::size_t count_ = 0;
  std::string dumpName_;
  bool effectReported_ = false;
  std::int32_t reportedEffect_ = 0;
  bool asHexText_;
  bool swapNibbles_;
};

// "Dump of NAME.bin" for a buffer file name, without folder and extension, cut to 255.
std::string DumpNameFor(const std::string& fileName);

// The four formats the data object offers, in order: private, text, file descriptor, contents;
// each on a global block, content aspect, index -1.
class THexEnumFormatETC : public platform::ole::TFormatEtcEnumerator {
 public:
  THexEnumFormatETC();
};

}  // namespace kestrave::hex
