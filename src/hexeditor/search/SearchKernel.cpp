#include "hexeditor/search/SearchKernel.h"

#include <algorithm>
#include <array>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define KESTRAVE_WIDE_SEARCH 1
#endif

namespace kestrave::hex {
namespace {

// A test with more candidate bytes than this is not worth doing sixteen at a time.
constexpr int kMaxAnchorBytes = 4;
constexpr std::int64_t kLanes = 16;

// The data bytes that map to one pattern byte.
struct Anchor {
  std::int64_t offset = 0;
  int count = 0;
  std::uint8_t bytes[256] = {};
};

Anchor AnchorAt(const std::uint8_t* pattern, std::int64_t offset, const ByteMap& map) {
  Anchor anchor;
  anchor.offset = offset;
  for (int b = 0; b < 256; ++b)
    if (map[b] == pattern[offset]) anchor.bytes[anchor.count++] = static_cast<std::uint8_t>(b);
  return anchor;
}

bool MatchesAt(const std::uint8_t* data, const std::uint8_t* pattern, std::int64_t length,
               const ByteMap& map) {
  for (std::int64_t k = 0; k < length; ++k)
    if (map[data[k]] != pattern[k]) return false;
  return true;
}

// Candidates by one anchor byte at a time, each verified in full.
std::int64_t ScanScalar(const std::uint8_t* data, std::int64_t from, std::int64_t starts,
                        const std::uint8_t* pattern, std::int64_t length, const ByteMap& map,
                        const Anchor& anchor) {
  const std::uint8_t wanted = pattern[anchor.offset];
  for (std::int64_t o = from; o < starts; ++o)
    if (map[data[o + anchor.offset]] == wanted && MatchesAt(data + o, pattern, length, map))
      return o;
  return -1;
}

#if defined(__SSE2__)
__m128i InSet(__m128i lanes, const Anchor& anchor) {
  __m128i hit = _mm_setzero_si128();
  for (int i = 0; i < anchor.count; ++i)
    hit =
        _mm_or_si128(hit, _mm_cmpeq_epi8(lanes, _mm_set1_epi8(static_cast<char>(anchor.bytes[i]))));
  return hit;
}

// Sixteen starts per step; answers the first match, or -1 with Next set to where it stopped.
std::int64_t ScanVector(const std::uint8_t* data, std::int64_t starts, const std::uint8_t* pattern,
                        std::int64_t length, const ByteMap& map, const Anchor& first,
                        const Anchor& second, std::int64_t& next) {
  std::int64_t o = 0;
  for (; o + kLanes <= starts; o += kLanes) {
    const auto* a = reinterpret_cast<const __m128i*>(data + o + first.offset);
    const auto* b = reinterpret_cast<const __m128i*>(data + o + second.offset);
    const __m128i both =
        _mm_and_si128(InSet(_mm_loadu_si128(a), first), InSet(_mm_loadu_si128(b), second));
    for (unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(both)); mask != 0;
         mask &= mask - 1) {
      const std::int64_t candidate = o + __builtin_ctz(mask);
      if (MatchesAt(data + candidate, pattern, length, map)) return candidate;
    }
  }
  next = o;
  return -1;
}
#endif

// One needle's filter for the all-needles pass: its two most selective positions.
struct NeedleFilter {
  const std::uint8_t* pattern = nullptr;
  std::int64_t length = 0;
  std::int64_t starts = 0;  // offsets where the whole needle fits
  Anchor best;
  Anchor runnerUp;
};

// The two positions with the fewest candidate bytes; false when some position has none (no byte
// maps to it, so the needle can never match).
bool ChooseAnchors(const std::uint8_t* pattern, std::int64_t length, const ByteMap& map,
                   Anchor& best, Anchor& runnerUp) {
  best = AnchorAt(pattern, length - 1, map);
  runnerUp = AnchorAt(pattern, 0, map);
  if (best.count == 0 || runnerUp.count == 0) return false;
  if (runnerUp.count < best.count) std::swap(best, runnerUp);
  for (std::int64_t k = 1; k + 1 < length; ++k) {
    const Anchor here = AnchorAt(pattern, k, map);
    if (here.count == 0) return false;
    if (here.count < best.count) {
      runnerUp = best;
      best = here;
    } else if (here.count < runnerUp.count) {
      runnerUp = here;
    }
  }
  return true;
}

#if defined(__SSE2__)
// An anchor's bytes as compare vectors.
struct VectorAnchor {
  __m128i bytes[kMaxAnchorBytes];
  int count = 0;
  std::int64_t offset = 0;
};

VectorAnchor VectorAnchorOf(const Anchor& anchor) {
  VectorAnchor vector;
  vector.count = anchor.count;
  vector.offset = anchor.offset;
  for (int i = 0; i < anchor.count && i < kMaxAnchorBytes; ++i)
    vector.bytes[i] = _mm_set1_epi8(static_cast<char>(anchor.bytes[i]));
  return vector;
}

// The lanes of sixteen starts from At whose anchor byte is one of the anchor's.
inline __m128i Passing(const std::uint8_t* at, const VectorAnchor& anchor) {
  const __m128i lanes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at + anchor.offset));
  __m128i hit = _mm_cmpeq_epi8(lanes, anchor.bytes[0]);
  for (int i = 1; i < anchor.count; ++i)
    hit = _mm_or_si128(hit, _mm_cmpeq_epi8(lanes, anchor.bytes[i]));
  return hit;
}
#endif

void CheckScalar(const std::uint8_t* data, std::int64_t o, const NeedleFilter& needle,
                 const ByteMap& map, std::vector<std::int64_t>& starts) {
  if (o < needle.starts &&
      map[data[o + needle.best.offset]] == needle.pattern[needle.best.offset] &&
      MatchesAt(data + o, needle.pattern, needle.length, map))
    starts.push_back(o);
}

// Every lane a needle's anchors passed, compared in full, needle by needle in offset order.
inline void ConfirmCandidates(const std::uint8_t* data, std::int64_t at, const unsigned* masks,
                              std::size_t count, const NeedleFilter* filters,
                              const std::size_t* owners, const ByteMap& map,
                              std::vector<std::vector<std::int64_t>>& starts) {
  for (std::size_t f = 0; f < count; ++f)
    for (unsigned mask = masks[f]; mask != 0; mask &= mask - 1) {
      const std::int64_t candidate = at + __builtin_ctz(mask);
      if (MatchesAt(data + candidate, filters[f].pattern, filters[f].length, map))
        starts[owners[f]].push_back(candidate);
    }
}

#if defined(KESTRAVE_WIDE_SEARCH)
// The scan's two needles with one byte per anchor, thirty-two offsets a step, where the
// processor has AVX2 (the build itself assumes SSE2 only). Answers where it stopped.
__attribute__((target("avx2"))) std::int64_t TwoNeedlesWide(
    const std::uint8_t* data, std::int64_t from, std::int64_t end, const NeedleFilter* filters,
    const std::size_t* owners, const ByteMap& map, std::vector<std::vector<std::int64_t>>& starts) {
  constexpr std::int64_t kWideLanes = 32;
  const Anchor* anchors[4] = {&filters[0].best, &filters[0].runnerUp, &filters[1].best,
                              &filters[1].runnerUp};
  __m256i bytes[4];
  for (int i = 0; i < 4; ++i)
    bytes[i] = _mm256_set1_epi8(static_cast<char>(anchors[i]->bytes[0]));
  for (; from + kWideLanes <= end; from += kWideLanes) {
    __m256i hits[4];
    for (int i = 0; i < 4; ++i)
      hits[i] = _mm256_cmpeq_epi8(
          _mm256_loadu_si256(reinterpret_cast<const __m256i*>(data + from + anchors[i]->offset)),
          bytes[i]);
    const __m256i first = _mm256_and_si256(hits[0], hits[1]);
    const __m256i second = _mm256_and_si256(hits[2], hits[3]);
    const __m256i either = _mm256_or_si256(first, second);
    if (_mm256_testz_si256(either, either)) continue;
    const unsigned masks[2] = {static_cast<unsigned>(_mm256_movemask_epi8(first)),
                               static_cast<unsigned>(_mm256_movemask_epi8(second))};
    ConfirmCandidates(data, from, masks, 2, filters, owners, map, starts);
  }
  return from;
}

bool HasWideSearch() {
  static const bool has = __builtin_cpu_supports("avx2");
  return has;
}
#endif

// FindMapped with the anchors chosen.
std::int64_t FindAnchored(const std::uint8_t* data, std::int64_t size, const std::uint8_t* pattern,
                          std::int64_t length, const ByteMap& map, const Anchor& best,
                          const Anchor& runnerUp) {
  if (length > size) return -1;
  const std::int64_t starts = size - length + 1;
  std::int64_t from = 0;
#if defined(__SSE2__)
  if (best.count <= kMaxAnchorBytes && runnerUp.count <= kMaxAnchorBytes) {
    const std::int64_t found = ScanVector(data, starts, pattern, length, map, best, runnerUp, from);
    if (found >= 0) return found;
  }
#endif
  return ScanScalar(data, from, starts, pattern, length, map, best);
}

}  // namespace

void FindAllMapped(const std::uint8_t* data, std::int64_t size,
                   const std::vector<std::basic_string_view<std::uint8_t>>& needles,
                   const ByteMap& map, std::vector<std::vector<std::int64_t>>& starts) {
  starts.assign(needles.size(), {});
  // One needle: the single search, started again after each match, scans fastest.
  if (needles.size() == 1) {
    const std::basic_string_view<std::uint8_t> needle = needles.front();
    const auto length = static_cast<std::int64_t>(needle.size());
    Anchor best;
    Anchor runnerUp;
    if (length < 1 || !ChooseAnchors(needle.data(), length, map, best, runnerUp)) return;
    for (std::int64_t from = 0; from < size;) {
      const std::int64_t found =
          FindAnchored(data + from, size - from, needle.data(), length, map, best, runnerUp);
      if (found < 0) break;
      starts.front().push_back(from + found);
      from += found + 1;
    }
    return;
  }
  std::vector<NeedleFilter> filters;
  std::vector<std::size_t> owners;  // which needle each filter serves
  for (std::size_t k = 0; k < needles.size(); ++k) {
    NeedleFilter filter;
    filter.pattern = needles[k].data();
    filter.length = static_cast<std::int64_t>(needles[k].size());
    if (filter.length < 1 || filter.length > size) continue;
    if (!ChooseAnchors(filter.pattern, filter.length, map, filter.best, filter.runnerUp)) continue;
    filter.starts = size - filter.length + 1;
    filters.push_back(filter);
    owners.push_back(k);
  }
  if (filters.empty()) return;
  std::int64_t vectorEnd = 0;
#if defined(__SSE2__)
  constexpr std::size_t kMostFilters = 8;
  bool selective = filters.size() <= kMostFilters;
  std::int64_t fewestStarts = filters.front().starts;
  for (const NeedleFilter& filter : filters) {
    selective = selective && filter.best.count <= kMaxAnchorBytes &&
                filter.runnerUp.count <= kMaxAnchorBytes;
    fewestStarts = std::min(fewestStarts, filter.starts);
  }
  if (selective) {
    // The anchors as compare vectors, built once and kept in this frame, where the compiler
    // can keep them in registers.
    const std::size_t count = filters.size();
    std::array<VectorAnchor, kMostFilters> firsts{};
    std::array<VectorAnchor, kMostFilters> seconds{};
    for (std::size_t f = 0; f < count; ++f) {
      firsts[f] = VectorAnchorOf(filters[f].best);
      seconds[f] = VectorAnchorOf(filters[f].runnerUp);
    }
    // The scan's own case, two needles with one byte per anchor, without the loops.
    const auto single = [](const VectorAnchor& anchor) { return anchor.count == 1; };
    if (count == 2 && single(firsts[0]) && single(seconds[0]) && single(firsts[1]) &&
        single(seconds[1])) {
#if defined(KESTRAVE_WIDE_SEARCH)
      if (HasWideSearch())
        vectorEnd = TwoNeedlesWide(data, vectorEnd, fewestStarts, filters.data(), owners.data(),
                                   map, starts);
#endif
      const VectorAnchor a = firsts[0], b = seconds[0], c = firsts[1], d = seconds[1];
      const auto at = [&](const VectorAnchor& anchor) {
        return _mm_cmpeq_epi8(
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + vectorEnd + anchor.offset)),
            anchor.bytes[0]);
      };
      for (; vectorEnd + kLanes <= fewestStarts; vectorEnd += kLanes) {
        const __m128i first = _mm_and_si128(at(a), at(b));
        const __m128i second = _mm_and_si128(at(c), at(d));
        if (_mm_movemask_epi8(_mm_or_si128(first, second)) == 0) continue;
        const unsigned masks[2] = {static_cast<unsigned>(_mm_movemask_epi8(first)),
                                   static_cast<unsigned>(_mm_movemask_epi8(second))};
        ConfirmCandidates(data, vectorEnd, masks, 2, filters.data(), owners.data(), map, starts);
      }
    }
    // Sixteen offsets a step for every needle at once; a lane passes when both anchors of some
    // needle pass, and only those lanes are compared in full, needle by needle in offset order.
    for (; vectorEnd + kLanes <= fewestStarts; vectorEnd += kLanes) {
      unsigned masks[kMostFilters];
      unsigned any = 0;
      for (std::size_t f = 0; f < count; ++f) {
        masks[f] = static_cast<unsigned>(_mm_movemask_epi8(_mm_and_si128(
            Passing(data + vectorEnd, firsts[f]), Passing(data + vectorEnd, seconds[f]))));
        any |= masks[f];
      }
      if (any == 0) continue;
      ConfirmCandidates(data, vectorEnd, masks, count, filters.data(), owners.data(), map, starts);
    }
  }
#endif
  std::int64_t mostStarts = 0;
  for (const NeedleFilter& filter : filters)
    mostStarts = std::max(mostStarts, filter.starts);
  for (std::size_t f = 0; f < filters.size(); ++f)
    for (std::int64_t o = vectorEnd; o < mostStarts; ++o)
      CheckScalar(data, o, filters[f], map, starts[owners[f]]);
}

std::int64_t FindMapped(const std::uint8_t* data, std::int64_t size, const std::uint8_t* pattern,
                        std::int64_t length, const ByteMap& map) {
  if (length < 1 || length > size) return -1;
  // The two positions with the fewest candidate bytes filter best.
  Anchor best;
  Anchor runnerUp;
  if (!ChooseAnchors(pattern, length, map, best, runnerUp)) return -1;
  return FindAnchored(data, size, pattern, length, map, best, runnerUp);
}

std::int64_t FindMappedShiftByOne(const std::uint8_t* data, std::int64_t size,
                                  const std::uint8_t* pattern, std::int64_t length,
                                  const ByteMap& map) {
  if (length < 1 || length > size) return -1;
  return FindMappedStepwise(data, 0, size - 1, pattern, length, map, [](std::int64_t) {});
}

}  // namespace kestrave::hex
