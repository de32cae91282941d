// What a user of the record report and the audio output waits for, as whole commands:
//   kestrave-cli scan --records against plain scan on the same containers (16 MiB and 1 GiB in
//   1000 records, one record of 1 GiB), page cache warm;
//   kestrave-cli extract --wav of one hour of sound (narrowband and wideband), against the
//   hour itself: the real-time factor.
#include <cstdio>
#include <fstream>

#include "BenchSupport.h"
#include "SampleContainer.h"
#include "support/AmrEncoders.h"

namespace {

std::string Cli() {
  return std::string("'") + KESTRAVE_CLI_PATH + "'";
}

void WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

// An hour of one stream: a minute from the real encoder, its frames repeated sixty times (the
// decoder's work is the same for every frame), in a container with a marker before it.
std::vector<std::uint8_t> HourContainer(bool wideband) {
  const int rate = wideband ? 16000 : 8000;
  const auto minute =
      wideband ? kestrave::test::EncodeWideband(kestrave::test::SpeechLikeSound(rate, 60), 8)
               : kestrave::test::EncodeNarrowband(kestrave::test::SpeechLikeSound(rate, 60), 7);
  const std::size_t header = wideband ? 9 : 6;
  std::string marker = std::string("\x06\x1F\x22", 3) + "audio/amr";
  std::vector<std::uint8_t> bytes(marker.begin(), marker.end());
  bytes.insert(bytes.end(), minute.begin(), minute.begin() + static_cast<std::ptrdiff_t>(header));
  for (int i = 0; i < 60; ++i)
    bytes.insert(bytes.end(), minute.begin() + static_cast<std::ptrdiff_t>(header), minute.end());
  return bytes;
}

struct Container {
  const char* label;
  std::string path;
};
std::vector<Container> containers;
std::string narrowHour;
std::string wideHour;

void Run(benchmark::State& state, const std::string& command) {
  for (auto _ : state)
    if (std::system(command.c_str()) != 0) state.SkipWithError("failed");
}

void Register(const std::string& name, const std::string& command, int repetitions) {
  benchmark::RegisterBenchmark(name.c_str(),
                               [command](benchmark::State& state) { Run(state, command); })
      ->Unit(benchmark::kMillisecond)
      ->Iterations(1)
      ->Repetitions(repetitions);
}

}  // namespace

int main(int argc, char** argv) {
  using kestrave::tools::BuildSampleContainer;
  const struct {
    const char* label;
    kestrave::tools::SampleShape shape;
  } shapes[] = {{"16 MiB, 1000 records", {1000, 790, 7, 64}},
                {"1 GiB, 1000 records", {1000, 50900, 7, 64}},
                {"1 GiB, one record", {1, 50900000, 7, 64}}};
  for (const auto& s : shapes) {
    const std::string path = kestrave::bench::ScratchFile(
        std::string("kestrave-audio-bench-") + std::to_string(containers.size()) + ".drf", 0);
    WriteFile(path, BuildSampleContainer(s.shape));
    containers.push_back({s.label, path});
  }
  narrowHour = kestrave::bench::ScratchFile("kestrave-hour-nb.drf", 0);
  WriteFile(narrowHour, HourContainer(false));
  wideHour = kestrave::bench::ScratchFile("kestrave-hour-wb.drf", 0);
  WriteFile(wideHour, HourContainer(true));

  for (std::size_t i = 0; i < containers.size(); ++i) {
    const std::string quoted = "'" + containers[i].path + "' >/dev/null";
    Register("Scan" + std::to_string(i), Cli() + " scan " + quoted, 5);
    Register("ScanRecords" + std::to_string(i), Cli() + " scan --records " + quoted, 5);
  }
  const std::string hours[] = {narrowHour, wideHour};
  for (int i = 0; i < 2; ++i)
    Register("WavHour" + std::to_string(i),
             Cli() + " extract --wav '" + hours[i] + "' '" + hours[i] + "-out' >/dev/null", 3);
  kestrave::bench::FastestRunReporter reporter;
  kestrave::bench::RunBenchmarks(argc, argv, reporter);
  std::printf("\n");
  // Both read the container a piece at a time; the records' streams are walked in a second
  // read, so the table costs at most two scans and the walk (the floors are in process_bench).
  for (std::size_t i = 0; i < containers.size(); ++i) {
    const std::string n = std::to_string(i);
    kestrave::bench::PrintRatio(std::string("scan --records / scan, ") + containers[i].label,
                                reporter.Seconds("ScanRecords" + n), reporter.Seconds("Scan" + n),
                                3.0);
  }
  const char* kinds[] = {"narrowband", "wideband"};
  for (int i = 0; i < 2; ++i) {
    const double seconds = reporter.Seconds("WavHour" + std::to_string(i));
    kestrave::bench::PrintThroughputRatio(
        std::string("extract --wav of 1 hour ") + kinds[i] + ": real-time factor", seconds, 3600.0,
        200.0);
  }
  return 0;
}
