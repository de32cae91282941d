// kestrave-cli on containers of very many small records, as whole processes: scan --records
// (and --json) against plain scan of the same file, at 100 000 and 1 000 000 records of 27
// bytes; and extract of a container of a million record markers after one magic, which must
// fail, against plain scan of it. Each figure is the fastest of three runs, page cache warm;
// peak memory is the process's own high-water mark, held to twice the file plus 64 MiB.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "support/ManyRecords.h"

namespace {

using kestrave::bench::FastestProcess;
using kestrave::bench::PrintRatio;
using kestrave::bench::PrintWithin;
using kestrave::bench::ProcessRun;

constexpr double kMiB = 1 << 20;

ProcessRun Fastest(const std::vector<std::string>& command, int expectedExit = 0) {
  return FastestProcess(KESTRAVE_PEAK_OF_PATH, command, {}, expectedExit);
}

double FileMiB(const std::string& path) {
  return static_cast<double>(std::filesystem::file_size(path)) / kMiB;
}

// Answers the time of scan --records.
double Records(int records, const std::string& name) {
  const std::string container = kestrave::bench::ScratchFile("kestrave-many-" + name + ".drf", 0);
  kestrave::test::WriteTinyRecords(container, records);
  const double limit = 2 * FileMiB(container) + 64;
  const ProcessRun scan = Fastest({KESTRAVE_CLI_PATH, "scan", container});
  const ProcessRun table = Fastest({KESTRAVE_CLI_PATH, "scan", "--records", container});
  const ProcessRun json = Fastest({KESTRAVE_CLI_PATH, "scan", "--records", "--json", container});
  const std::string where = ", " + name + " records";
  std::printf("%s records: %.1f MiB; scan %.3f s, %.1f MiB peak\n", name.c_str(),
              FileMiB(container), scan.Seconds, scan.PeakMiB);
  // The plain scan streams past the records at memory speed; the table makes and prints a line
  // for each of them, which is what costs here.
  PrintRatio("scan --records vs scan" + where, table.Seconds, scan.Seconds, 25);
  PrintRatio("scan --json vs scan" + where, json.Seconds, scan.Seconds, 25);
  PrintWithin("scan --records: peak memory" + where, table.PeakMiB, "MiB", limit);
  PrintWithin("scan --json: peak memory" + where, json.PeakMiB, "MiB", limit);
  return table.Seconds;
}

void Markers(int markers, const std::string& name) {
  const std::string container =
      kestrave::bench::ScratchFile("kestrave-markers-" + name + ".drf", 0);
  kestrave::test::WriteManyMarkers(container, markers);
  const std::string folder = container + ".records";
  std::filesystem::create_directories(folder);
  const ProcessRun scan = Fastest({KESTRAVE_CLI_PATH, "scan", container});
  // The window's export stops at the first record, whose end is missing: exit code 2.
  const ProcessRun extract = Fastest({KESTRAVE_CLI_PATH, "extract", container, folder + "/m"}, 2);
  std::filesystem::remove_all(folder);
  const std::string where = ", " + name + " markers";
  PrintRatio("extract (fails) vs scan" + where, extract.Seconds, scan.Seconds, 1.5);
  PrintWithin("extract (fails): peak memory" + where, extract.PeakMiB, "MiB",
              2 * FileMiB(container) + 64);
}

}  // namespace

int main() {
  const double small = Records(100'000, "100k");
  const double large = Records(1'000'000, "1M");
  // Ten times the records, ten times the work.
  PrintWithin("scan --records: 1M time / 100k time", large / small, "x", 12);
  Markers(1'000'000, "1M");
  return 0;
}
