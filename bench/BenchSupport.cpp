#include "BenchSupport.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

extern char** environ;

namespace kestrave::bench {

void FastestRunReporter::ReportRuns(const std::vector<Run>& runs) {
  for (const Run& run : runs) {
    if (run.run_type != Run::RT_Iteration || run.iterations == 0) continue;
    const std::string name = run.run_name.function_name;
    const double seconds = run.real_accumulated_time / static_cast<double>(run.iterations);
    const auto found = fastest_.find(name);
    if (found == fastest_.end() || seconds < found->second) fastest_[name] = seconds;
  }
  ConsoleReporter::ReportRuns(runs);
}

double FastestRunReporter::Seconds(const std::string& name) const {
  const auto found = fastest_.find(name);
  return found == fastest_.end() ? 0 : found->second;
}

void RunBenchmarks(int argc, char** argv, FastestRunReporter& reporter) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
}

namespace {

std::string Formatted(const char* format, double value) {
  char text[64];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

// Times in the table are milliseconds.
std::string Milliseconds(double seconds) {
  return Formatted("%.2f ms", seconds * 1000);
}

void AddTableRow(const std::string& work, const std::string& ours, const std::string& baseline,
                 const std::string& ratio, const std::string& target, const char* result) {
  const char* table = std::getenv("KESTRAVE_BENCH_TABLE");
  if (!table) return;
  std::ofstream(table, std::ios::app) << work << '\t' << ours << '\t' << baseline << '\t' << ratio
                                      << '\t' << target << '\t' << result << '\n';
}

}  // namespace

void PrintRatio(const std::string& label, double measured, double baseline, double limit) {
  const double ratio = baseline > 0 ? measured / baseline : 0;
  if (limit <= 0) {
    std::printf("%-44s %.3fx\n", label.c_str(), ratio);
    AddTableRow(label, Milliseconds(measured), Milliseconds(baseline), Formatted("%.3fx", ratio),
                "-", "-");
    return;
  }
  const bool met = ratio <= limit;
  std::printf("%-44s %.3fx  (limit %.2fx: %s)\n", label.c_str(), ratio, limit,
              met ? "met" : "NOT MET");
  AddTableRow(label, Milliseconds(measured), Milliseconds(baseline), Formatted("%.3fx", ratio),
              Formatted("<= %.2fx", limit), met ? "pass" : "FAIL");
}

void PrintThroughputRatio(const std::string& label, double measuredSeconds, double baselineSeconds,
                          double minimum) {
  const double ratio = measuredSeconds > 0 ? baselineSeconds / measuredSeconds : 0;
  const bool met = ratio >= minimum;
  if (minimum > 0) {
    std::printf("%-44s %.3fx  (at least %.2fx: %s)\n", label.c_str(), ratio, minimum,
                met ? "met" : "NOT MET");
  } else {
    std::printf("%-44s %.3fx\n", label.c_str(), ratio);
  }
  AddTableRow(label + " (throughput)", Milliseconds(measuredSeconds), Milliseconds(baselineSeconds),
              Formatted("%.3fx", ratio), minimum > 0 ? Formatted(">= %.2fx", minimum) : "-",
              minimum > 0 ? (met ? "pass" : "FAIL") : "-");
}

void PrintWithin(const std::string& label, double value, const char* unit, double limit) {
  const bool met = value >= 0 && value <= limit;
  const std::string shown = Formatted("%.2f ", value) + unit;
  if (limit > 0) {
    std::printf("%-44s %s  (limit %s: %s)\n", label.c_str(), shown.c_str(),
                (Formatted("%g ", limit) + unit).c_str(), met ? "met" : "NOT MET");
  } else {
    std::printf("%-44s %s\n", label.c_str(), shown.c_str());
  }
  AddTableRow(label, shown, "-", "-", limit > 0 ? "<= " + Formatted("%g ", limit) + unit : "-",
              limit > 0 ? (met ? "pass" : "FAIL") : "-");
}

long long PeakResidentBytes() {
  std::ifstream status("/proc/self/status");
  std::string key;
  while (status >> key) {
    if (key == "VmHWM:") {
      long long kib = 0;
      status >> kib;
      return kib * 1024;
    }
    status.ignore(1 << 16, '\n');
  }
  return 0;
}

ChildMeasure MeasureInChild(const std::function<void()>& prepare,
                            const std::function<void()>& measured) {
  int channel[2];
  if (::pipe(channel) != 0) return {};
  const pid_t child = ::fork();
  if (child == 0) {
    ::close(channel[0]);
    prepare();
    ChildMeasure result;
    result.PeakBefore = PeakResidentBytes();
    const auto start = std::chrono::steady_clock::now();
    measured();
    result.Seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    result.PeakAfter = PeakResidentBytes();
    result.Ok = true;
    const bool sent = ::write(channel[1], &result, sizeof result) == sizeof result;
    ::_exit(sent ? 0 : 1);
  }
  ::close(channel[1]);
  ChildMeasure result;
  if (::read(channel[0], &result, sizeof result) != sizeof result) result = {};
  ::close(channel[0]);
  int status = 0;
  ::waitpid(child, &status, 0);
  return result;
}

long long ChildPeakGrowthMiB(const std::function<void()>& prepare,
                             const std::function<void()>& measured, long long allowance) {
  const ChildMeasure result = MeasureInChild(prepare, measured);
  if (!result.Ok) return -1;
  return std::max(0LL, result.PeakAfter - result.PeakBefore - allowance) >> 20;
}

ProcessRun RunProcess(const std::string& peakOf, const std::vector<std::string>& command,
                      int expectedExit) {
  static const std::string peakFile =
      (std::filesystem::temp_directory_path() / "kestrave-bench.peak").string();
  std::vector<std::string> words = {peakOf, peakFile};
  words.insert(words.end(), command.begin(), command.end());
  std::vector<char*> argv;
  for (const auto& word : words)
    argv.push_back(const_cast<char*>(word.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  const auto start = std::chrono::steady_clock::now();
  pid_t child = 0;
  const int spawned = ::posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  ProcessRun run;
  if (spawned != 0) return run;
  int status = 0;
  ::waitpid(child, &status, 0);
  run.Seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  long long peakKiB = 0;
  std::ifstream(peakFile) >> peakKiB;
  run.PeakMiB = static_cast<double>(peakKiB) / 1024;
  run.Ok = WIFEXITED(status) && WEXITSTATUS(status) == expectedExit && peakKiB > 0;
  return run;
}

ProcessRun FastestProcess(const std::string& peakOf, const std::vector<std::string>& command,
                          const std::function<void()>& before, int expectedExit) {
  ProcessRun best;
  for (int round = 0; round < 3; ++round) {
    if (before) before();
    const ProcessRun run = RunProcess(peakOf, command, expectedExit);
    if (!run.Ok) {
      std::string words;
      for (const auto& word : command)
        words += ' ' + word;
      std::printf("FAILED:%s\n", words.c_str());
      return run;
    }
    if (!best.Ok || run.Seconds < best.Seconds) best = run;
  }
  return best;
}

std::vector<ProcessRun> MedianAlternating(const std::string& peakOf,
                                          const std::vector<std::vector<std::string>>& commands,
                                          const std::function<void()>& before, int rounds) {
  std::vector<std::vector<double>> times(commands.size());
  std::vector<ProcessRun> result(commands.size());
  for (ProcessRun& run : result)
    run.Ok = true;
  for (int round = 0; round < rounds; ++round)
    for (std::size_t c = 0; c < commands.size(); ++c) {
      if (!result[c].Ok) continue;
      if (before) before();
      const ProcessRun run = RunProcess(peakOf, commands[c]);
      if (!run.Ok) {
        std::string words;
        for (const auto& word : commands[c])
          words += ' ' + word;
        std::printf("FAILED:%s\n", words.c_str());
        result[c].Ok = false;
        continue;
      }
      times[c].push_back(run.Seconds);
      result[c].PeakMiB = std::max(result[c].PeakMiB, run.PeakMiB);
    }
  for (std::size_t c = 0; c < commands.size(); ++c) {
    if (!result[c].Ok) continue;
    std::sort(times[c].begin(), times[c].end());
    result[c].Seconds = times[c][times[c].size() / 2];
  }
  return result;
}

std::string ScratchFile(const std::string& name, long long size) {
  const char* folder = std::getenv("KESTRAVE_BENCH_DIR");
  static std::vector<std::string> made;
  const std::string path = std::string(folder ? folder : "/var/tmp") + "/" + name;
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  std::vector<unsigned char> piece(1 << 20);
  unsigned state = 12345;
  for (long long written = 0; written < size;) {
    for (auto& b : piece)
      b = static_cast<unsigned char>((state = state * 1103515245u + 12345u) >> 24);
    const long long part =
        std::min<long long>(size - written, static_cast<long long>(piece.size()));
    if (::write(fd, piece.data(), static_cast<size_t>(part)) != part) std::abort();
    written += part;
  }
  ::close(fd);
  if (made.empty())
    std::atexit([] {
      for (const auto& file : made)
        ::unlink(file.c_str());
    });
  made.push_back(path);
  return path;
}

}  // namespace kestrave::bench
