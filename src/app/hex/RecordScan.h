#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "app/core/RecordReport.h"

namespace kestrave::app {

// The records in the bytes a window shows, found as the converter finds them in a container it
// opened ("#!AMR" starts a record, the "audio/amr" marker counts one, both in any letter case)
// and each walked by the same stream reader, so the rows equal those of `scan --records`. Made
// from a view of the bytes: a gigabyte is not copied. A record is kept in 16 bytes, its row
// made when asked for.
class RecordScan {
 public:
  int Count() const { return static_cast<int>(records_.size()); }
  int Magics() const { return counts_.Magics; }
  int Markers() const { return counts_.Markers; }
  std::int64_t DataSize() const { return dataSize_; }
  // Record Index + 1.
  RecordRow Row(int index) const;
  // How many records "Сохранить AMR" writes, and why not all, as the report tells them.
  int WindowWrites() const { return counts_.WindowWrites(); }
  std::string Reason() const { return counts_.Reason(); }
  // The last byte "Сохранить AMR" writes for record Index: the window's last record runs to
  // the end of the data, over any record after it that it does not count.
  std::int64_t WindowEnd(int index) const;
  // The record whose bytes hold Position, or -1 before the first one.
  int RecordAt(std::int64_t position) const;

 private:
  friend RecordScan ScanRecords(std::span<const std::uint8_t> data, int threads);
  struct Stored {
    std::int32_t Start = 0;
    std::int32_t Frames = 0;
    std::int32_t ValidBytes = 0;
    audio::AmrCodec Codec = audio::AmrCodec::Unknown;
    audio::StreamEnd End = audio::StreamEnd::WrongMagic;
  };
  std::int64_t EndOf(std::size_t index) const;

  RecordReport counts_;  // its counts only, for the rules that follow from them
  std::vector<Stored> records_;
  std::int64_t dataSize_ = 0;
};

// The records of Data (at most 2 GiB, as a buffer holds), searched and walked on Threads
// threads. Reads Data only; the caller keeps it unchanged meanwhile.
RecordScan ScanRecords(std::span<const std::uint8_t> data, int threads);

// The same on other threads while this one keeps the windows drawn (platform::KeepResponsive),
// which lets no key or click in before the answer is there.
RecordScan ScanRecordsResponsively(std::span<const std::uint8_t> data);

}  // namespace kestrave::app
