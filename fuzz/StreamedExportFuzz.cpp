// The command line's streamed scan and export against the window's workflow on any container:
// the same status, positions, errors, record files, records' streams and trimmed files, whatever
// the size of the pieces and windows read.
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "FuzzInput.h"
#include "platform/MessageQueue.h"
#include "support/ConverterOutcome.h"

namespace {

const std::string& Folder() {
  static const std::string folder = [] {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "kestrave-stream-fuzz-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) std::abort();
    return pattern;
  }();
  static const int removal = std::atexit([] { std::filesystem::remove_all(Folder()); });
  (void)removal;
  return folder;
}

void Clear(const std::string& folder) {
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    std::filesystem::remove_all(entry.path());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  kestrave::fuzz::FuzzInput input(data, size);
  // Pieces from 1 byte to a few hundred, so the texts fall across their ends.
  const std::int64_t piece = 1 + input.Byte() + (input.Byte() & 1) * 256;
  const std::string& folder = Folder();
  Clear(folder);
  const std::string container = folder + "/c.drf";
  {
    std::ofstream out(container, std::ios::binary);
    out.write(reinterpret_cast<const char*>(input.Rest()),
              static_cast<std::streamsize>(input.Remaining()));
  }
  const auto expected = kestrave::test::ByWorkflow(container, folder + "/w");
  kestrave::platform::ProcessManualQueue().Pump();
  const auto streamed = kestrave::test::ByStream(container, folder + "/w", piece);
  if (!(streamed == expected)) std::abort();
  return 0;
}
