#pragma once

#include <benchmark/benchmark.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace kestrave::bench {

// Remembers the fastest run of each benchmark, so a program can print ratios between them.
class FastestRunReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override;
  // Fastest real time per iteration in seconds, by benchmark name (without arguments).
  double Seconds(const std::string& name) const;

 private:
  std::map<std::string, double> fastest_;
};

// Runs the registered benchmarks and answers the reporter that watched them.
void RunBenchmarks(int argc, char** argv, FastestRunReporter& reporter);

// Every Print below also adds a row to the summary table when KESTRAVE_BENCH_TABLE names a
// file: work, ours, baseline, ratio, target and result, separated by tabs.

// Prints "label: ratio (what / baseline)" and whether it meets the limit (a limit of 0: no
// target).
void PrintRatio(const std::string& label, double measured, double baseline, double limit);

// Prints "label: throughput ratio" (baseline time / measured time, higher is better) and, when
// the minimum is above 0, whether it is reached.
void PrintThroughputRatio(const std::string& label, double measuredSeconds, double baselineSeconds,
                          double minimum);

// Prints "label: value unit" and whether it stays within the limit (a limit of 0: no target).
void PrintWithin(const std::string& label, double value, const char* unit, double limit);

// The peak resident memory of this process so far, in bytes.
long long PeakResidentBytes();

// What a child process measured: the time Measured took and the peak resident memory before
// and after it.
struct ChildMeasure {
  bool Ok = false;
  double Seconds = 0;
  long long PeakBefore = 0;
  long long PeakAfter = 0;
};
ChildMeasure MeasureInChild(const std::function<void()>& prepare,
                            const std::function<void()>& measured);

// Runs Prepare and then Measured in a child process of their own and answers how many MiB the
// peak resident memory grew during Measured, less Allowance bytes (at least 0); -1 on failure.
long long ChildPeakGrowthMiB(const std::function<void()>& prepare,
                             const std::function<void()>& measured, long long allowance = 0);

// What a whole process took: its wall time and its own peak resident memory.
struct ProcessRun {
  bool Ok = false;
  double Seconds = 0;
  double PeakMiB = 0;
};
// Runs Command with its output thrown away, under PeakOf (bench/baseline/peak_of.c), which
// reports the command's own peak memory: a child spawned from the benchmark would count the
// benchmark's memory as its own. Ok when the command exits with ExpectedExit.
ProcessRun RunProcess(const std::string& peakOf, const std::vector<std::string>& command,
                      int expectedExit = 0);
// The fastest of three runs, each after Before (which clears what the last run wrote).
ProcessRun FastestProcess(const std::string& peakOf, const std::vector<std::string>& command,
                          const std::function<void()>& before = {}, int expectedExit = 0);

// Each command run Rounds times, taking turns (so a slow spell of the machine falls on all of
// them alike), each round after Before: the median time and the highest peak of each command.
// A command that fails is reported and answers Ok false.
std::vector<ProcessRun> MedianAlternating(const std::string& peakOf,
                                          const std::vector<std::vector<std::string>>& commands,
                                          const std::function<void()>& before = {}, int rounds = 5);

// A scratch file of the given size with pseudo-random content, removed at exit.
std::string ScratchFile(const std::string& name, long long size);

}  // namespace kestrave::bench
