#include "app/core/RecordStarts.h"

#include <algorithm>
#include <cstring>
#include <string_view>
#include <thread>

#include "app/core/ConverterTexts.h"
#include "platform/CodePages.h"

namespace kestrave::app {

RecordStartSearch::RecordStartSearch()
    : patterns_{platform::AnsiLowerCase(text::kAmrMagic),
                platform::AnsiLowerCase(text::kAmrMarker)} {
  for (int b = 0; b < 256; ++b)
    map_[static_cast<std::size_t>(b)] = platform::AnsiLower(static_cast<std::uint8_t>(b));
  for (std::size_t k = 0; k < 2; ++k) {
    const std::string& pattern = patterns_[k];
    needles_.emplace_back(reinterpret_cast<const std::uint8_t*>(pattern.data()), pattern.size());
    longest_ = std::max<std::int64_t>(longest_, static_cast<std::int64_t>(pattern.size()));
    int folding = 0;
    for (int b = 0; b < 256; ++b)
      if (map_[static_cast<std::size_t>(b)] == static_cast<std::uint8_t>(pattern.front())) {
        firstBytes_[k] = b;
        ++folding;
      }
    if (folding != 1) firstBytes_[k] = -1;
  }
}

namespace {

// The starts of Needle in Data before Limit whose first byte is First, found by memchr.
void FindFromFirstByte(std::span<const std::uint8_t> data, std::int64_t offset, std::int64_t limit,
                       std::basic_string_view<std::uint8_t> needle, int first,
                       const hex::ByteMap& map, std::vector<std::int64_t>& into) {
  const std::uint8_t* begin = data.data();
  const std::uint8_t* end = begin + data.size();
  const std::uint8_t* stop =
      begin + std::min<std::int64_t>(limit, static_cast<std::int64_t>(data.size()));
  for (const std::uint8_t* at = begin; at < stop;) {
    at = static_cast<const std::uint8_t*>(
        std::memchr(at, first, static_cast<std::size_t>(stop - at)));
    if (!at) break;
    if (static_cast<std::size_t>(end - at) >= needle.size()) {
      std::size_t j = 1;
      while (j < needle.size() && map[at[j]] == needle[j])
        ++j;
      if (j == needle.size()) into.push_back(offset + (at - begin));
    }
    ++at;
  }
}

}  // namespace

void RecordStartSearch::Search(std::span<const std::uint8_t> data, std::int64_t offset,
                               std::int64_t limit, RecordStarts& into) const {
  if (firstBytes_[0] >= 0 && firstBytes_[1] >= 0) {
    FindFromFirstByte(data, offset, limit, needles_[0], firstBytes_[0], map_, into.Magics);
    FindFromFirstByte(data, offset, limit, needles_[1], firstBytes_[1], map_, into.Markers);
    return;
  }
  std::vector<std::vector<std::int64_t>> found;
  hex::FindAllMapped(data.data(), static_cast<std::int64_t>(data.size()), needles_, map_, found);
  std::vector<std::int64_t>* lists[] = {&into.Magics, &into.Markers};
  for (std::size_t k = 0; k < 2; ++k)
    for (const std::int64_t at : found[k]) {
      if (at >= limit) break;
      lists[k]->push_back(offset + at);
    }
}

RecordStarts FindRecordStarts(std::span<const std::uint8_t> data, int threads) {
  const RecordStartSearch search;
  const auto size = static_cast<std::int64_t>(data.size());
  // Small data is not worth a thread.
  constexpr std::int64_t kLeastShare = 4 << 20;
  const auto shares =
      static_cast<int>(std::clamp<std::int64_t>(size / kLeastShare, 1, std::max(threads, 1)));
  std::vector<RecordStarts> found(static_cast<std::size_t>(shares));
  const auto searchShare = [&](int share) {
    const std::int64_t from = size * share / shares;
    const std::int64_t until = size * (share + 1) / shares;
    const std::int64_t reach = std::min(size, until + search.Longest() - 1);
    search.Search(
        data.subspan(static_cast<std::size_t>(from), static_cast<std::size_t>(reach - from)), from,
        until - from, found[static_cast<std::size_t>(share)]);
  };
  std::vector<std::thread> workers;
  for (int share = 1; share < shares; ++share)
    workers.emplace_back(searchShare, share);
  searchShare(0);
  for (std::thread& worker : workers)
    worker.join();
  RecordStarts all = std::move(found.front());
  for (std::size_t share = 1; share < found.size(); ++share) {
    all.Magics.insert(all.Magics.end(), found[share].Magics.begin(), found[share].Magics.end());
    all.Markers.insert(all.Markers.end(), found[share].Markers.begin(), found[share].Markers.end());
  }
  return all;
}

}  // namespace kestrave::app
