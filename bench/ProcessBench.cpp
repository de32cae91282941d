// What a user waits for: kestrave-cli scan and extract as whole processes (start, load, work,
// exit), against small C programs doing the least the same work needs, in the same run:
//   scan:    a program that maps the file and runs glibc memmem for both patterns (and cat);
//   extract: a program that reads the file and write()s the same slices to new files (plus,
//            on the disk, the same with every file flushed at the end, as the export does).
// Containers of 1000 records at 16 MiB, 256 MiB and 1 GiB, and containers that are nearly all
// one record (~300 MB and ~1 GiB); records written to tmpfs and to the disk. Each figure is the
// fastest of three runs, page cache warm; peak memory is the process's own high-water mark.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "SampleContainer.h"

namespace {

namespace fs = std::filesystem;
using kestrave::bench::PrintRatio;
using kestrave::bench::PrintWithin;

constexpr double kMiB = 1 << 20;

using kestrave::bench::ProcessRun;

// The fastest of three runs, each after Before (which clears what the last run wrote).
ProcessRun Fastest(const std::vector<std::string>& command, const std::function<void()>& before) {
  return kestrave::bench::FastestProcess(KESTRAVE_PEAK_OF_PATH, command, before);
}

struct Container {
  std::string Path;
  std::string Starts;  // file listing the record starts, one per line
  double MiB = 0;
  double LargestRecordMiB = 0;
};

Container Make(const std::string& folder, const std::string& name,
               const kestrave::tools::SampleShape& shape) {
  Container made;
  made.Path = folder + "/kestrave-process-" + name + ".drf";
  made.Starts = made.Path + ".starts";
  const auto bytes = kestrave::tools::BuildSampleContainer(shape);
  std::ofstream(made.Path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
  const auto layout = kestrave::tools::LayoutOfSample(shape);
  std::ofstream starts(made.Starts);
  for (std::size_t i = 0; i < layout.MagicPositions.size(); ++i) {
    starts << layout.MagicPositions[i] << '\n';
    const std::int64_t end = i + 1 < layout.MagicPositions.size()
                                 ? layout.MagicPositions[i + 1]
                                 : static_cast<std::int64_t>(bytes.size());
    made.LargestRecordMiB =
        std::max(made.LargestRecordMiB, static_cast<double>(end - layout.MagicPositions[i]) / kMiB);
  }
  made.MiB = static_cast<double>(bytes.size()) / kMiB;
  return made;
}

void Remove(const Container& container) {
  fs::remove(container.Path);
  fs::remove(container.Starts);
}

std::string Label(const std::string& work, const std::string& name) {
  return work + ", " + name;
}

void Scan(const std::string& name, const Container& container) {
  const auto nothing = [] {};
  const ProcessRun ours = Fastest({KESTRAVE_CLI_PATH, "scan", container.Path}, nothing);
  const ProcessRun memmem = Fastest({KESTRAVE_MEMMEM_SCAN_PATH, container.Path}, nothing);
  const ProcessRun cat = Fastest({"/bin/cat", container.Path}, nothing);
  PrintRatio(Label("scan vs mmap+memmem", name), ours.Seconds, memmem.Seconds, 1.0);
  PrintRatio(Label("scan vs cat", name), ours.Seconds, cat.Seconds, 0);
  PrintWithin(Label("scan: memory beyond the file", name), ours.PeakMiB - container.MiB, "MiB", 8);
}

// Extract into Folder, against the slice writer; answers our time.
double Extract(const std::string& name, const Container& container, const std::string& folder,
               bool onDisk) {
  const std::string records = folder + "/kestrave-process-records";
  const auto clear = [&] {
    fs::remove_all(records);
    fs::create_directories(records);
  };
  const ProcessRun ours =
      Fastest({KESTRAVE_CLI_PATH, "extract", container.Path, records + "/rec"}, clear);
  const ProcessRun plain = Fastest(
      {KESTRAVE_SLICE_WRITER_PATH, container.Path, container.Starts, records + "/rec"}, clear);
  const std::string where = name + (onDisk ? " on disk" : " on tmpfs");
  if (onDisk) {
    // The export flushes its records before it reports success; on a disk that is most of the
    // work, so the baseline that writes the same slices flushes them too.
    const ProcessRun synced = Fastest(
        {KESTRAVE_SLICE_WRITER_PATH, container.Path, container.Starts, records + "/rec", "--sync"},
        clear);
    PrintRatio(Label("extract vs write()", where), ours.Seconds, plain.Seconds, 0);
    PrintRatio(Label("extract vs write()+fsync", where), ours.Seconds, synced.Seconds, 1.5);
  } else {
    PrintRatio(Label("extract vs write()", where), ours.Seconds, plain.Seconds, 1.5);
  }
  PrintWithin(Label("extract: peak memory", where), ours.PeakMiB, "MiB",
              container.MiB + 2 * container.LargestRecordMiB + 64);
  fs::remove_all(records);
  return ours.Seconds;
}

}  // namespace

int main() {
  const std::string tmpfs = "/dev/shm";
  const std::string disk = "/var/tmp";
  // 1000 records; frames of about 21 bytes make 12 700 frames per record 256 MiB.
  std::vector<double> tmpfsTimes;
  std::vector<double> diskTimes;
  for (const int mebibytes : {16, 256, 1024}) {
    const std::string name = std::to_string(mebibytes) + " MiB, 1000 records";
    const Container container =
        Make(disk, std::to_string(mebibytes), {1000, 12700 * mebibytes / 256, 17, 64});
    Scan(name, container);
    tmpfsTimes.push_back(Extract(name, container, tmpfs, false));
    diskTimes.push_back(Extract(name, container, disk, true));
    Remove(container);
  }
  PrintWithin("extract on tmpfs: 1 GiB time / 256 MiB time", tmpfsTimes[2] / tmpfsTimes[1], "x",
              4.5);
  PrintWithin("extract on disk: 1 GiB time / 256 MiB time", diskTimes[2] / diskTimes[1], "x", 4.5);
  // Nearly all one record; the generator's frames average about 30.3 bytes.
  for (const int megabytes : {300, 1024}) {
    const std::string name = std::to_string(megabytes) + " MB, one record";
    const Container container =
        Make(disk, "one-" + std::to_string(megabytes), {1, megabytes * 33'000, 5, 64});
    Scan(name, container);
    Extract(name, container, tmpfs, false);
    Extract(name, container, disk, true);
    Remove(container);
  }
  return 0;
}
