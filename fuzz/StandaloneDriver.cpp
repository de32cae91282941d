// Runs a fuzz target without a fuzzing engine: over the files named on the command line (a folder
// stands for the files in it), then over pseudo-random inputs (KESTRAVE_FUZZ_RUNS of them, 20000
// by default). This keeps every target in the ordinary test suite; the real fuzzing runs with
// libFuzzer (make fuzz).
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

void Replay(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "cannot read %s\n", file.c_str());
    std::exit(1);
  }
  const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
  LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
}

// The files of a folder in name order, so a failure repeats the same way.
std::vector<std::filesystem::path> FilesIn(const std::filesystem::path& folder) {
  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    if (entry.is_regular_file()) files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  return files;
}

}  // namespace

int main(int argc, char** argv) {
  long replayed = 0;
  for (int i = 1; i < argc; ++i) {
    const std::filesystem::path named(argv[i]);
    if (std::filesystem::is_directory(named)) {
      for (const auto& file : FilesIn(named)) {
        Replay(file);
        ++replayed;
      }
    } else {
      Replay(named);
      ++replayed;
    }
  }
  const char* runsText = std::getenv("KESTRAVE_FUZZ_RUNS");
  const long runs = runsText ? std::atol(runsText) : 20000;
  std::mt19937 random(12345);
  std::vector<std::uint8_t> input;
  for (long run = 0; run < runs; ++run) {
    // Mostly short inputs from a few byte values, so that patterns actually occur.
    input.resize(random() % (run % 10 == 0 ? 4096 : 200));
    const unsigned values = 1 + random() % 8;
    for (auto& b : input)
      b = static_cast<std::uint8_t>(random() % values);
    LLVMFuzzerTestOneInput(input.data(), input.size());
  }
  std::printf("%ld kept inputs and %ld random inputs passed\n", replayed, runs);
  return 0;
}
