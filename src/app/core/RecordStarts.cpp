#include "app/core/RecordStarts.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <thread>

#include "app/core/ConverterTexts.h"
#include "hexeditor/search/SearchKernel.h"
#include "platform/CodePages.h"

namespace kestrave::app {

RecordStarts FindRecordStarts(std::span<const std::uint8_t> data, int threads) {
  using Starts = std::vector<std::vector<std::int64_t>>;
  hex::ByteMap map;
  for (int b = 0; b < 256; ++b)
    map[static_cast<std::size_t>(b)] = platform::AnsiLower(static_cast<std::uint8_t>(b));
  const std::string patterns[] = {platform::AnsiLowerCase(text::kAmrMagic),
                                  platform::AnsiLowerCase(text::kAmrMarker)};
  std::vector<std::basic_string_view<std::uint8_t>> needles;
  std::int64_t longest = 0;
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
  RecordStarts all;
  for (const Starts& starts : found) {
    all.Magics.insert(all.Magics.end(), starts[0].begin(), starts[0].end());
    all.Markers.insert(all.Markers.end(), starts[1].begin(), starts[1].end());
  }
  return all;
}

}  // namespace kestrave::app
