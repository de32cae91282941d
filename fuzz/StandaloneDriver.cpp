// Runs a fuzz target without a fuzzing engine: over the files named on the command line, then
// over pseudo-random inputs (KESTRAVE_FUZZ_RUNS of them, 20000 by default). This keeps every
// target in the ordinary test suite; the real fuzzing runs with libFuzzer (make fuzz).
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    std::ifstream in(argv[i], std::ios::binary);
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
    LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
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
  std::printf("%ld inputs passed\n", runs);
  return 0;
}
