// kestrave-cli scan of a 1 GiB container with 1000 records, against
// grep -c -a -F -i '#!amr' on the same file, both as whole commands, page cache warm.
#include <cstdio>
#include <fstream>

#include "BenchSupport.h"
#include "SampleContainer.h"

namespace {

std::string container;

std::string Output(const std::string& command) {
  std::string text;
  if (FILE* pipe = ::popen(command.c_str(), "r")) {
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, pipe))
      text += buffer;
    ::pclose(pipe);
  }
  return text;
}

// Not to /dev/null: grep notices that and stops at the first match.
void RunQuietly(benchmark::State& state, const std::string& command) {
  const std::string sink = container + ".out";
  for (auto _ : state)
    if (std::system((command + " >'" + sink + "'").c_str()) != 0) state.SkipWithError("failed");
  std::remove(sink.c_str());
}

void BM_BaselineGrep(benchmark::State& state) {
  RunQuietly(state, "grep -c -a -F -i '#!amr' '" + container + "'");
}

void BM_KestraveCliScan(benchmark::State& state) {
  RunQuietly(state, std::string("'") + KESTRAVE_CLI_PATH + "' scan '" + container + "'");
}

BENCHMARK(BM_BaselineGrep)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(7);
BENCHMARK(BM_KestraveCliScan)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(7);

}  // namespace

int main(int argc, char** argv) {
  {
    const auto bytes = kestrave::tools::BuildSampleContainer({1000, 50900, 7, 64});
    container = kestrave::bench::ScratchFile("kestrave-scan-bench.drf", 0);
    std::ofstream out(container, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    std::printf("container: %zu bytes, 1000 records\n", bytes.size());
  }
  std::printf("grep -c says:        %s",
              Output("grep -c -a -F -i '#!amr' '" + container + "'").c_str());
  std::printf("kestrave-cli says:   %s",
              Output(std::string("'") + KESTRAVE_CLI_PATH + "' scan '" + container + "'").c_str());
  kestrave::bench::FastestRunReporter reporter;
  kestrave::bench::RunBenchmarks(argc, argv, reporter);
  std::printf("\n");
  kestrave::bench::PrintRatio("kestrave-cli scan / grep -c -a -F -i",
                              reporter.Seconds("BM_KestraveCliScan"),
                              reporter.Seconds("BM_BaselineGrep"), 1.0);
  return 0;
}
