// What a user waits for: kestrave-cli scan and extract as whole processes (start, read, work,
// exit), against the floors a careful C program reaches for the same work and, where installed,
// the tools users would compare with. Floors:
//   scan:    read() a MiB at a time, memchr for each text's first byte, compare the rest without
//            case (bench/baseline/piece_scan.c); peers grep -c -i, ripgrep;
//   extract: each slice copied with pread/write a MiB at a time, or with copy_file_range
//            (bench/baseline/stream_slices.c), given the offsets; peer scalpel. The trimmed
//            form (each stream's header and frames) is held to the same floor.
// Containers and records on tmpfs, page cache warm; every figure is the median of 5 runs taken
// in turns, with the process's own peak memory.
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
using kestrave::bench::ProcessRun;

constexpr double kMiB = 1 << 20;
constexpr double kPeakLimitMiB = 64;
const std::string kFolder = "/dev/shm";

std::vector<ProcessRun> Median(const std::vector<std::vector<std::string>>& commands,
                               const std::function<void()>& before = {}) {
  return kestrave::bench::MedianAlternating(KESTRAVE_PEAK_OF_PATH, commands, before);
}

bool Installed(const std::string& program) {
  for (const char* folder : {"/usr/bin/", "/bin/", "/usr/local/bin/"})
    if (fs::exists(folder + program)) return true;
  return false;
}

struct Container {
  std::string Path;
  std::string Starts;  // the record starts, one per line
  double MiB = 0;
};

// Containers of sample records, one after the other (each with its own header, as files joined
// together would be).
Container Make(const std::string& name, const std::vector<kestrave::tools::SampleShape>& shapes) {
  Container made;
  made.Path = kFolder + "/kestrave-process-" + name + ".drf";
  made.Starts = made.Path + ".starts";
  std::ofstream out(made.Path, std::ios::binary);
  std::ofstream starts(made.Starts);
  std::int64_t offset = 0;
  for (const auto& shape : shapes) {
    const auto bytes = kestrave::tools::BuildSampleContainer(shape);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    for (const std::int64_t start : kestrave::tools::LayoutOfSample(shape).MagicPositions)
      starts << offset + start << '\n';
    offset += static_cast<std::int64_t>(bytes.size());
  }
  made.MiB = static_cast<double>(offset) / kMiB;
  return made;
}

void Remove(const Container& container) {
  fs::remove(container.Path);
  fs::remove(container.Starts);
}

std::string Label(const std::string& work, const std::string& name) {
  return work + ", " + name;
}

// Answers our time.
double Scan(const std::string& name, const Container& container) {
  const std::string magic = "#!amr";
  std::vector<std::vector<std::string>> commands = {
      {KESTRAVE_CLI_PATH, "scan", container.Path},
      {KESTRAVE_PIECE_SCAN_PATH, container.Path},
      // Into a file: with its output on /dev/null grep stops at the first match.
      {"/bin/sh", "-c",
       "exec grep -c -a -i -F -e '" + magic + "' -e audio/amr '" + container.Path + "' >" +
           kFolder + "/kestrave-process-grep.out"},
      {KESTRAVE_CLI_PATH, "scan", "--records", container.Path},
      {"/bin/sh", "-c",
       std::string("exec '") + KESTRAVE_CLI_PATH + "' scan --json '" + container.Path + "' >" +
           kFolder + "/kestrave-process-json.out"}};
  const bool rg = Installed("rg");
  if (rg)
    commands.push_back({"/bin/sh", "-c",
                        "exec rg -c -a -i -F -e '" + magic + "' -e audio/amr '" + container.Path +
                            "' >" + kFolder + "/kestrave-process-grep.out"});
  const std::vector<ProcessRun> runs = Median(commands);
  PrintRatio(Label("scan vs read-in-pieces floor", name), runs[0].Seconds, runs[1].Seconds, 1.5);
  PrintRatio(Label("scan vs grep -c -i", name), runs[0].Seconds, runs[2].Seconds, 0.8);
  if (rg) PrintRatio(Label("scan vs ripgrep", name), runs[0].Seconds, runs[5].Seconds, 0);
  PrintWithin(Label("scan: peak memory", name), runs[0].PeakMiB, "MiB", kPeakLimitMiB);
  PrintRatio(Label("scan --records vs read-in-pieces floor", name), runs[3].Seconds,
             runs[1].Seconds, 1.5);
  PrintRatio(Label("scan --records vs grep -c -i", name), runs[3].Seconds, runs[2].Seconds, 0.8);
  PrintWithin(Label("scan --records: peak memory", name), runs[3].PeakMiB, "MiB", kPeakLimitMiB);
  PrintRatio(Label("scan --json vs read-in-pieces floor", name), runs[4].Seconds, runs[1].Seconds,
             1.5);
  PrintWithin(Label("scan --json: peak memory", name), runs[4].PeakMiB, "MiB", kPeakLimitMiB);
  return runs[0].Seconds;
}

// Answers our time.
double Extract(const std::string& name, const Container& container) {
  const std::string records = kFolder + "/kestrave-process-records";
  const auto clear = [&] {
    fs::remove_all(records);
    fs::create_directories(records);
  };
  std::vector<std::vector<std::string>> commands = {
      {KESTRAVE_CLI_PATH, "extract", container.Path, records + "/rec"},
      {KESTRAVE_STREAM_SLICES_PATH, container.Path, container.Starts, records + "/rec"},
      {KESTRAVE_STREAM_SLICES_PATH, container.Path, container.Starts, records + "/rec",
       "--copy-range"},
      {KESTRAVE_CLI_PATH, "extract", "--trim", container.Path, records + "/trim"}};
  const bool scalpel = Installed("scalpel");
  if (scalpel) commands.push_back({"scalpel", "-o", records + "/scalpel", container.Path});
  const std::vector<ProcessRun> runs = Median(commands, clear);
  PrintRatio(Label("extract vs pread/write floor", name), runs[0].Seconds, runs[1].Seconds, 1.3);
  PrintRatio(Label("extract vs copy_file_range floor", name), runs[0].Seconds, runs[2].Seconds, 0);
  if (scalpel) PrintRatio(Label("extract vs scalpel", name), runs[0].Seconds, runs[4].Seconds, 0);
  PrintWithin(Label("extract: peak memory", name), runs[0].PeakMiB, "MiB", kPeakLimitMiB);
  PrintRatio(Label("extract --trim vs pread/write floor", name), runs[3].Seconds, runs[1].Seconds,
             1.3);
  PrintWithin(Label("extract --trim: peak memory", name), runs[3].PeakMiB, "MiB", kPeakLimitMiB);
  fs::remove_all(records);
  return runs[0].Seconds;
}

// Frames of the sample generator average about 21 bytes at seed 17.
kestrave::tools::SampleShape Records(int count, double mebibytes) {
  return {count, static_cast<int>(mebibytes * kMiB / count / 21), 17, 64};
}

}  // namespace

int main() {
  const kestrave::tools::SampleShape small{1, 10, 3, 64};
  struct Work {
    std::string Name;
    std::vector<kestrave::tools::SampleShape> Shapes;
  };
  const std::vector<Work> works = {
      {"241 MiB, 1000 records", {Records(1000, 241)}},
      {"1 GiB, 1024 records", {Records(1024, 1024)}},
      {"a 300 MiB record and a small one", {Records(1, 300), small}},
      {"a 1 GiB record and a small one", {Records(1, 1023), small}},
  };
  for (const Work& work : works) {
    const Container container = Make("work", work.Shapes);
    Scan(work.Name, container);
    Extract(work.Name, container);
    Remove(container);
  }
  // Decoding sets the pace of a WAV file, not the reading: an hour of sound (about 3.5 MiB) shows
  // its memory stays as small as the other forms'.
  {
    const Container hour = Make("hour", {Records(1, 3.5)});
    const std::string out = kFolder + "/kestrave-process-hour";
    const ProcessRun wav = Median({{KESTRAVE_CLI_PATH, "extract", "--wav", hour.Path, out}},
                                  [&] { fs::remove(out + "_1.wav"); })[0];
    std::printf("extract --wav, an hour of sound: %.2f s\n", wav.Seconds);
    PrintWithin("extract --wav: peak memory, an hour of sound", wav.PeakMiB, "MiB", kPeakLimitMiB);
    fs::remove(out + "_1.wav");
    Remove(hour);
  }
  // The time per GiB must not grow with the size.
  double perGiB[2][2] = {};
  const double sizes[] = {256, 1946};
  for (int i = 0; i < 2; ++i) {
    const Container container = Make("growth", {Records(1024, sizes[i])});
    const std::string name = std::to_string(static_cast<int>(sizes[i])) + " MiB, 1024 records";
    perGiB[0][i] = Scan(name, container) / (container.MiB / 1024);
    perGiB[1][i] = Extract(name, container) / (container.MiB / 1024);
    Remove(container);
  }
  PrintWithin("scan: time per GiB at 1.9 GiB / at 256 MiB", perGiB[0][1] / perGiB[0][0], "x", 1.1);
  PrintWithin("extract: time per GiB at 1.9 GiB / at 256 MiB", perGiB[1][1] / perGiB[1][0], "x",
              1.1);
  return 0;
}
