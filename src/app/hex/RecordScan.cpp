#include "app/hex/RecordScan.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>

#include "app/core/ConverterTexts.h"
#include "audio/AmrStreamPieces.h"
#include "hexeditor/search/SearchKernel.h"
#include "platform/CodePages.h"
#include "platform/UserInterface.h"

namespace kestrave::app {
namespace {

using Starts = std::vector<std::vector<std::int64_t>>;

// The starts of every needle, as the converter's scan lists them: its editor folds the letter
// case through the Windows code page and shows the bytes as they are. Each thread searches a
// share of the data, reaching into the next share for matches that begin in its own.
Starts FindStarts(std::span<const std::uint8_t> data, const std::vector<std::string>& texts,
                  int threads) {
  hex::ByteMap map;
  for (int b = 0; b < 256; ++b)
    map[static_cast<std::size_t>(b)] = platform::AnsiLower(static_cast<std::uint8_t>(b));
  std::vector<std::string> patterns;
  std::vector<std::basic_string_view<std::uint8_t>> needles;
  std::int64_t longest = 0;
  for (const std::string& text : texts)
    patterns.push_back(platform::AnsiLowerCase(text));
  for (const std::string& pattern : patterns) {
    needles.emplace_back(reinterpret_cast<const std::uint8_t*>(pattern.data()), pattern.size());
    longest = std::max<std::int64_t>(longest, static_cast<std::int64_t>(pattern.size()));
  }
  const auto size = static_cast<std::int64_t>(data.size());
  // Small data is not worth a thread.
  constexpr std::int64_t kLeastShare = 4 << 20;
  const auto shares =
      static_cast<int>(std::clamp<std::int64_t>(size / kLeastShare, 1, std::max(threads, 1)));
  std::vector<Starts> found(static_cast<std::size_t>(shares));
  const auto search = [&](int share) {
    const std::int64_t from = size * share / shares;
    const std::int64_t until = size * (share + 1) / shares;
    const std::int64_t reach = std::min(size, until + longest - 1);
    Starts& starts = found[static_cast<std::size_t>(share)];
    hex::FindAllMapped(data.data() + from, reach - from, needles, map, starts);
    for (std::vector<std::int64_t>& list : starts) {
      list.erase(std::find_if(list.begin(), list.end(),
                              [&](std::int64_t at) { return from + at >= until; }),
                 list.end());
      for (std::int64_t& at : list)
        at += from;
    }
  };
  std::vector<std::thread> workers;
  for (int share = 1; share < shares; ++share)
    workers.emplace_back(search, share);
  search(0);
  for (std::thread& worker : workers)
    worker.join();
  Starts all(texts.size());
  for (const Starts& starts : found)
    for (std::size_t k = 0; k < all.size(); ++k)
      all[k].insert(all[k].end(), starts[k].begin(), starts[k].end());
  return all;
}

}  // namespace

std::int64_t RecordScan::EndOf(std::size_t index) const {
  return index + 1 < records_.size() ? records_[index + 1].Start - 1 : dataSize_ - 1;
}

// As the converter's report makes its rows.
RecordRow RecordScan::Row(int index) const {
  const auto at = static_cast<std::size_t>(index);
  const Stored& stored = records_[at];
  RecordRow row;
  row.Number = index + 1;
  row.Start = stored.Start;
  row.End = EndOf(at);
  row.WrittenByWindow = row.Number <= WindowWrites();
  audio::StreamStart start;
  if (stored.Codec == audio::AmrCodec::Narrowband) {
    start = {stored.Codec, static_cast<std::int64_t>(audio::kNarrowbandHeader.size())};
  } else if (stored.Codec == audio::AmrCodec::Wideband) {
    start = {stored.Codec, static_cast<std::int64_t>(audio::kWidebandHeader.size())};
  }
  row.Stream =
      audio::FinishStreamInfo(start, row.Size(), stored.Frames, stored.ValidBytes, stored.End);
  return row;
}

std::int64_t RecordScan::WindowEnd(int index) const {
  return index + 1 == Markers() ? dataSize_ - 1 : EndOf(static_cast<std::size_t>(index));
}

int RecordScan::RecordAt(std::int64_t position) const {
  const auto after =
      std::upper_bound(records_.begin(), records_.end(), position,
                       [](std::int64_t at, const Stored& record) { return at < record.Start; });
  return static_cast<int>(after - records_.begin()) - 1;
}

RecordScan ScanRecords(std::span<const std::uint8_t> data, int threads) {
  RecordScan scan;
  scan.dataSize_ = static_cast<std::int64_t>(data.size());
  const Starts starts = FindStarts(data, {text::kAmrMagic, text::kAmrMarker}, threads);
  const int count = static_cast<int>(starts[0].size());
  scan.counts_.Magics = count;
  scan.counts_.Markers = static_cast<int>(starts[1].size());
  scan.records_.resize(static_cast<std::size_t>(count));
  for (std::size_t i = 0; i < scan.records_.size(); ++i)
    scan.records_[i].Start = static_cast<std::int32_t>(starts[0][i]);
  // A batch of records at a time, as the report reads them, so the reader's memory stays small.
  constexpr int kBatch = 1 << 16;
  std::vector<std::span<const std::uint8_t>> bytes;
  for (int first = 0; first < count; first += kBatch) {
    const int last = std::min(count, first + kBatch);
    bytes.clear();
    for (int i = first; i < last; ++i) {
      const auto index = static_cast<std::size_t>(i);
      const std::int64_t start = scan.records_[index].Start;
      bytes.push_back(data.subspan(static_cast<std::size_t>(start),
                                   static_cast<std::size_t>(scan.EndOf(index) - start + 1)));
    }
    const std::vector<audio::AmrStreamInfo> streams =
        audio::ReadAmrStreams(bytes, std::max(threads, 1));
    for (int i = first; i < last; ++i) {
      const audio::AmrStreamInfo& stream = streams[static_cast<std::size_t>(i - first)];
      RecordScan::Stored& stored = scan.records_[static_cast<std::size_t>(i)];
      stored.Frames = static_cast<std::int32_t>(stream.Frames);
      stored.ValidBytes = static_cast<std::int32_t>(stream.ValidBytes);
      stored.Codec = stream.Codec;
      stored.End = stream.End;
    }
  }
  return scan;
}

RecordScan ScanRecordsResponsively(std::span<const std::uint8_t> data) {
  std::mutex mutex;
  std::condition_variable doneSignal;
  bool done = false;
  RecordScan scan;
  std::exception_ptr failure;
  std::thread worker([&] {
    try {
      scan = ScanRecords(data, static_cast<int>(std::max(1u, std::thread::hardware_concurrency())));
    } catch (...) {
      failure = std::current_exception();
    }
    const std::lock_guard lock(mutex);
    done = true;
    doneSignal.notify_one();
  });
  for (;;) {
    {
      std::unique_lock lock(mutex);
      if (doneSignal.wait_for(lock, std::chrono::milliseconds(10), [&] { return done; })) break;
    }
    platform::KeepResponsive();
  }
  worker.join();
  if (failure) std::rethrow_exception(failure);
  return scan;
}

}  // namespace kestrave::app
