// LoadFromFile of a 1 GiB file, page cache warm, against the plainest fast load: an anonymous
// mapping with MAP_POPULATE filled by read() in 1 MiB pieces. Prints the ratio and the peak
// memory a load needs beyond the file itself.
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

#include "BenchSupport.h"
#include "hexeditor/HexEditorEx.h"
#include "platform/MessageQueue.h"

namespace {

using kestrave::bench::FastestRunReporter;

constexpr long long kFileSize = 1LL << 30;
std::string file;

void ReadWholeFile() {
  const int fd = ::open(file.c_str(), O_RDONLY);
  std::vector<char> sink(1 << 20);
  while (::read(fd, sink.data(), sink.size()) > 0) {
  }
  ::close(fd);
}

void BM_BaselineMmapPopulateRead(benchmark::State& state) {
  for (auto _ : state) {
    const int fd = ::open(file.c_str(), O_RDONLY);
    void* block = ::mmap(nullptr, kFileSize, PROT_READ | PROT_WRITE,
                         MAP_PRIVATE | MAP_ANONYMOUS | MAP_POPULATE, -1, 0);
    auto* at = static_cast<char*>(block);
    for (long long done = 0; done < kFileSize;) {
      const ssize_t got = ::read(fd, at + done, 1 << 20);
      if (got <= 0) break;
      done += got;
    }
    benchmark::DoNotOptimize(at[kFileSize - 1]);
    ::munmap(block, kFileSize);
    ::close(fd);
  }
}

void BM_LoadFromFile(benchmark::State& state) {
  for (auto _ : state) {
    kestrave::hex::THexEditorEx editor;
    editor.Loaded();
    editor.LoadFromFile(file);
    benchmark::DoNotOptimize(editor.ReadByte(editor.DataSize() - 1));
  }
  kestrave::platform::ProcessManualQueue().Pump();
}

void BM_LoadFromFileWithProgress(benchmark::State& state) {
  for (auto _ : state) {
    kestrave::hex::THexEditorEx editor;
    editor.Loaded();
    int reports = 0;
    editor.OnProgress = [&](kestrave::hex::TCustomHexEditor&, kestrave::hex::THexProgressKind,
                            const std::string&, std::uint8_t, bool&) { ++reports; };
    editor.LoadFromFile(file);
    benchmark::DoNotOptimize(reports);
  }
  kestrave::platform::ProcessManualQueue().Pump();
}

BENCHMARK(BM_BaselineMmapPopulateRead)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(7);
BENCHMARK(BM_LoadFromFile)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(7);
BENCHMARK(BM_LoadFromFileWithProgress)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(3);

}  // namespace

int main(int argc, char** argv) {
  file = kestrave::bench::ScratchFile("kestrave-load-bench.bin", kFileSize);
  ReadWholeFile();
  FastestRunReporter reporter;
  kestrave::bench::RunBenchmarks(argc, argv, reporter);
  const double baseline = reporter.Seconds("BM_BaselineMmapPopulateRead");
  std::printf("\n");
  kestrave::bench::PrintRatio("LoadFromFile / mmap+populate+read",
                              reporter.Seconds("BM_LoadFromFile"), baseline, 1.25);
  kestrave::bench::PrintRatio("LoadFromFile with OnProgress / baseline",
                              reporter.Seconds("BM_LoadFromFileWithProgress"), baseline, 1.25);
  // In a child of its own, so nothing earlier in this process counts.
  kestrave::hex::THexEditorEx editor;
  const long long extraMiB = kestrave::bench::ChildPeakGrowthMiB(
      [&] { editor.Loaded(); }, [&] { editor.LoadFromFile(file); }, kFileSize);
  kestrave::bench::PrintWithin("load: peak memory beyond the file size",
                               static_cast<double>(extraMiB), "MiB", 16);
  return 0;
}
