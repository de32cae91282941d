// How the cost grows with the container: load, load and scan, and export of 1000 records at
// 16 MiB, 256 MiB and 1 GiB, and of containers that are nearly all one record (~300 MB and
// ~1 GB), each timed in a fresh child process (fastest of three), with the peak resident memory
// of the process at each step.
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "BenchSupport.h"
#include "SampleContainer.h"
#include "app/core/ConverterWorkflow.h"
#include "hexeditor/HexEditorEx.h"

namespace {

using kestrave::bench::ChildMeasure;
using kestrave::bench::MeasureInChild;

ChildMeasure Fastest(const std::function<void()>& prepare, const std::function<void()>& measured) {
  ChildMeasure best;
  for (int round = 0; round < 3; ++round) {
    const ChildMeasure run = MeasureInChild(prepare, measured);
    if (run.Ok && (!best.Ok || run.Seconds < best.Seconds)) best = run;
  }
  return best;
}

std::string WriteContainer(const std::string& name, const kestrave::tools::SampleShape& shape) {
  const auto bytes = kestrave::tools::BuildSampleContainer(shape);
  const std::string path = kestrave::bench::ScratchFile("kestrave-growth-" + name + ".drf", 0);
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
  return path;
}

void Report(const std::string& work, const std::string& size, const ChildMeasure& run) {
  using kestrave::bench::PrintWithin;
  PrintWithin(work + ", " + size, run.Seconds * 1000, "ms", 0);
  PrintWithin(work + ", " + size + ": peak memory", static_cast<double>(run.PeakAfter) / (1 << 20),
              "MiB", 0);
}

void Measure(const std::string& size, const std::string& records, const std::string& container) {
  const std::string folder = container + ".records";
  std::filesystem::create_directories(folder);
  kestrave::hex::THexEditorEx editor;
  Report("load", size, Fastest([&] { editor.Loaded(); }, [&] { editor.LoadFromFile(container); }));
  kestrave::app::ConverterWorkflow workflow;
  Report("load and scan", size, Fastest([] {}, [&] { workflow.OpenContainer(container); }));
  Report("export of " + records, size,
         Fastest([&] { workflow.OpenContainer(container); },
                 [&] { workflow.ExportRecords(folder + "/r" + std::to_string(::getpid())); }));
  std::filesystem::remove_all(folder);
  std::filesystem::remove(container);
}

}  // namespace

int main() {
  for (const int mebibytes : {16, 256, 1024}) {
    // 1000 records; frames of about 21 bytes make 12 700 frames per record 256 MiB.
    const std::string size = std::to_string(mebibytes) + " MiB";
    Measure(size, "1000 records",
            WriteContainer(std::to_string(mebibytes), {1000, 12700 * mebibytes / 256, 17, 64}));
  }
  for (const int megabytes : {300, 1000}) {
    // Nearly all one record; the generator's frames average about 30.3 bytes.
    const std::string size = std::to_string(megabytes) + " MB";
    Measure(size, "one record",
            WriteContainer("one-" + std::to_string(megabytes), {1, megabytes * 33'000, 5, 64}));
  }
  return 0;
}
