#pragma once

#include <benchmark/benchmark.h>

#include <functional>
#include <map>
#include <string>

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

// Prints "label: ratio (what / baseline)" and whether it meets the limit.
void PrintRatio(const std::string& label, double measured, double baseline, double limit);

// Prints "label: throughput ratio" (baseline time / measured time, higher is better) and, when
// the minimum is above 0, whether it is reached.
void PrintThroughputRatio(const std::string& label, double measuredSeconds, double baselineSeconds,
                          double minimum);

// The peak resident memory of this process so far, in bytes.
long long PeakResidentBytes();

// Runs Prepare and then Measured in a child process of their own and answers how many MiB the
// peak resident memory grew during Measured, less Allowance bytes (at least 0); -1 on failure.
long long ChildPeakGrowthMiB(const std::function<void()>& prepare,
                             const std::function<void()>& measured, long long allowance = 0);

// A scratch file of the given size with pseudo-random content, removed at exit.
std::string ScratchFile(const std::string& name, long long size);

}  // namespace kestrave::bench
