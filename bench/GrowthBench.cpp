// How the cost grows with the container: load, load and scan, and export of 1000 records at
// 16 MiB, 256 MiB and 1 GiB, each timed in a fresh child process (fastest of three), with the
// peak resident memory of the process at each step.
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

std::string WriteContainer(int mebibytes) {
  // 1000 records; frames of about 21 bytes make 12 700 frames per record 256 MiB.
  const kestrave::tools::SampleShape shape{1000, 12700 * mebibytes / 256, 17, 64};
  const auto bytes = kestrave::tools::BuildSampleContainer(shape);
  const std::string path =
      kestrave::bench::ScratchFile("kestrave-growth-" + std::to_string(mebibytes) + ".drf", 0);
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
  return path;
}

void Report(const std::string& work, int mebibytes, const ChildMeasure& run) {
  using kestrave::bench::PrintWithin;
  const std::string size = std::to_string(mebibytes) + " MiB";
  PrintWithin(work + ", " + size, run.Seconds * 1000, "ms", 0);
  PrintWithin(work + ", " + size + ": peak memory", static_cast<double>(run.PeakAfter) / (1 << 20),
              "MiB", 0);
}

}  // namespace

int main() {
  for (const int mebibytes : {16, 256, 1024}) {
    const std::string container = WriteContainer(mebibytes);
    const std::string folder = container + ".records";
    std::filesystem::create_directories(folder);
    kestrave::hex::THexEditorEx editor;
    Report("load", mebibytes,
           Fastest([&] { editor.Loaded(); }, [&] { editor.LoadFromFile(container); }));
    kestrave::app::ConverterWorkflow workflow;
    Report("load and scan", mebibytes, Fastest([] {}, [&] { workflow.OpenContainer(container); }));
    Report("export of 1000 records", mebibytes,
           Fastest([&] { workflow.OpenContainer(container); },
                   [&] { workflow.ExportRecords(folder + "/r" + std::to_string(::getpid())); }));
    std::filesystem::remove_all(folder);
    std::filesystem::remove(container);
  }
  return 0;
}
