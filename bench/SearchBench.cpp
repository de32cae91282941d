// FindBytes with IgnoreCase for "#!amr" over 1 GiB of random bytes in memory, against glibc
// memmem (case-sensitive) for "#!AMR" over the same bytes. The plain shift-by-one loop is
// measured too, for scale. The data holds no occurrence, so every search reads all of it.
// Finding all 10,000 "KESTRAVE"s placed evenly in the same bytes (what the hex window's Find
// does, to count and highlight them) is measured against a single search over the same range
// for a pattern of the same shape that is not there.
#include <cstdio>
#include <cstring>
#include <random>

#include "BenchSupport.h"
#include "hexeditor/HexEditorEx.h"
#include "hexeditor/document/HexMemoryStream.h"
#include "hexeditor/search/SearchKernel.h"
#include "platform/CodePages.h"
#include "platform/MessageQueue.h"

namespace {

constexpr std::int64_t kSize = std::int64_t{1} << 30;
constexpr std::int64_t kSpreadMatches = 10000;
kestrave::hex::THexMemoryStream* source = nullptr;
kestrave::hex::THexEditorEx* editor = nullptr;

const std::uint8_t* SourceBytes() {
  return reinterpret_cast<const std::uint8_t*>(source->PointerAt(0));
}

// Random bytes, with every accidental "#!amr" in any letter case broken up.
void FillSource() {
  source->SetSize(kSize);
  auto* bytes = reinterpret_cast<std::uint32_t*>(source->PointerAt(0));
  std::mt19937 random(99);
  for (std::int64_t i = 0; i < kSize / 4; ++i)
    bytes[i] = random();
  auto* data = reinterpret_cast<std::uint8_t*>(source->PointerAt(0));
  for (std::int64_t i = 0; i + 5 <= kSize; ++i)
    if (data[i] == '#' && kestrave::platform::AnsiLowerCase(
                              std::string(reinterpret_cast<char*>(data + i), 5)) == "#!amr")
      data[i] = '$';
  for (std::int64_t k = 0; k < kSpreadMatches; ++k)
    std::memcpy(data + k * (kSize / kSpreadMatches) + 17, "KESTRAVE", 8);
}

void BM_BaselineMemmem(benchmark::State& state) {
  for (auto _ : state) {
    const void* found = ::memmem(SourceBytes(), kSize, "#!AMR", 5);
    if (found) std::abort();
    benchmark::DoNotOptimize(found);
  }
  state.SetBytesProcessed(state.iterations() * kSize);
}

void BM_FindBytesIgnoreCase(benchmark::State& state) {
  const std::string pattern = editor->BuildFindPattern("#!AMR", true, false);
  for (auto _ : state) {
    const int found = editor->FindBytes(reinterpret_cast<const std::uint8_t*>(pattern.data()), 5, 0,
                                        editor->DataSize() - 1, true);
    if (found != -1) std::abort();
  }
  state.SetBytesProcessed(state.iterations() * kSize);
}

// The single search that finding all is compared with: a pattern of the same letters, so its
// filter is as selective, that is nowhere in the data, so the search reads every byte.
void BM_FindOnceSameShape(benchmark::State& state) {
  const std::string pattern = editor->BuildFindPattern("kestravx", true, false);
  for (auto _ : state) {
    const int found = editor->FindBytes(reinterpret_cast<const std::uint8_t*>(pattern.data()), 8, 0,
                                        editor->DataSize() - 1, true);
    if (found != -1) std::abort();
  }
  state.SetBytesProcessed(state.iterations() * kSize);
}

void BM_FindAllTenThousandMatches(benchmark::State& state) {
  const std::string pattern = editor->BuildFindPattern("kestrave", true, false);
  for (auto _ : state) {
    const auto found = editor->FindAllBytesIn({pattern}, true, 0, editor->DataSize() - 1,
                                              [](int) { return true; });
    if (!found || found->Hits[0].size() != kSpreadMatches) std::abort();
  }
  state.SetBytesProcessed(state.iterations() * kSize);
}

void BM_ShiftByOneLoop(benchmark::State& state) {
  kestrave::hex::ByteMap folded{};
  for (int b = 0; b < 256; ++b)
    folded[b] = kestrave::platform::AnsiLower(static_cast<std::uint8_t>(b));
  const std::uint8_t pattern[] = {'#', '!', 'a', 'm', 'r'};
  for (auto _ : state) {
    const auto found =
        kestrave::hex::FindMappedShiftByOne(SourceBytes(), kSize, pattern, 5, folded);
    if (found != -1) std::abort();
  }
  state.SetBytesProcessed(state.iterations() * kSize);
}

BENCHMARK(BM_BaselineMemmem)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(7);
BENCHMARK(BM_FindBytesIgnoreCase)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(7);
BENCHMARK(BM_FindOnceSameShape)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(7);
BENCHMARK(BM_FindAllTenThousandMatches)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(7);
BENCHMARK(BM_ShiftByOneLoop)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3);

}  // namespace

int main(int argc, char** argv) {
  kestrave::hex::THexMemoryStream bytes;
  source = &bytes;
  FillSource();
  kestrave::hex::THexEditorEx instance;
  instance.Loaded();
  instance.LoadFromStream(bytes);
  editor = &instance;
  kestrave::bench::FastestRunReporter reporter;
  kestrave::bench::RunBenchmarks(argc, argv, reporter);
  const double memmem = reporter.Seconds("BM_BaselineMemmem");
  const double ours = reporter.Seconds("BM_FindBytesIgnoreCase");
  const double plain = reporter.Seconds("BM_ShiftByOneLoop");
  const double all = reporter.Seconds("BM_FindAllTenThousandMatches");
  const double once = reporter.Seconds("BM_FindOnceSameShape");
  std::printf("\n");
  std::printf("%-44s %.2f / %.2f / %.2f GB/s\n", "throughput memmem / FindBytes / plain loop",
              kSize / memmem / 1e9, kSize / ours / 1e9, kSize / plain / 1e9);
  kestrave::bench::PrintThroughputRatio("FindBytes (ignore case) / memmem", ours, memmem, 1.0);
  kestrave::bench::PrintThroughputRatio("plain shift-by-one loop / memmem", plain, memmem, 0);
  kestrave::bench::PrintRatio("find all 10,000 matches / one find, 1 GiB", all, once, 2.0);
  kestrave::platform::ProcessManualQueue().Pump();
  return 0;
}
