// Random editing, undo and redo against a model of the bytes, with the choices taken from the
// fuzzer's input; any disagreement aborts.
#include <cstdio>
#include <cstdlib>

#include "FuzzInput.h"
#include "support/EditSequence.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  kestrave::fuzz::FuzzInput input(data, size);
  const auto next = [&input](std::uint32_t n) {
    const std::uint32_t value = input.Byte() | (std::uint32_t{input.Byte()} << 8);
    return value % n;
  };
  const std::string problem = kestrave::test::PlayEditSequence(next, 30);
  if (!problem.empty()) {
    std::fprintf(stderr, "%s\n", problem.c_str());
    std::abort();
  }
  return 0;
}
