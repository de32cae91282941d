#include "BenchSupport.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <vector>

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

void PrintRatio(const std::string& label, double measured, double baseline, double limit) {
  const double ratio = baseline > 0 ? measured / baseline : 0;
  std::printf("%-44s %.3fx  (limit %.2fx: %s)\n", label.c_str(), ratio, limit,
              ratio <= limit ? "met" : "NOT MET");
}

void PrintThroughputRatio(const std::string& label, double measuredSeconds, double baselineSeconds,
                          double minimum) {
  const double ratio = measuredSeconds > 0 ? baselineSeconds / measuredSeconds : 0;
  if (minimum > 0) {
    std::printf("%-44s %.3fx  (at least %.2fx: %s)\n", label.c_str(), ratio, minimum,
                ratio >= minimum ? "met" : "NOT MET");
  } else {
    std::printf("%-44s %.3fx\n", label.c_str(), ratio);
  }
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

long long ChildPeakGrowthMiB(const std::function<void()>& prepare,
                             const std::function<void()>& measured, long long allowance) {
  const pid_t child = ::fork();
  if (child == 0) {
    prepare();
    const long long before = PeakResidentBytes();
    measured();
    const long long growth = PeakResidentBytes() - before - allowance;
    ::_exit(static_cast<int>(std::max(0LL, growth) >> 20));
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
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
