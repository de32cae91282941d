// The records panel of kestrave-hex on a 1 GiB container (samples/speech.drf over and over:
// about 28,700 records of real speech, every frame walked), against the load of the same file as
// the baseline: how long after the load the rows are there, and the longest time the window's
// thread went without drawing meanwhile; and the rows of a million tiny records.
#include <QApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "BenchSupport.h"
#include "SilentHexDialogs.h"
#include "app/hex/HexWindow.h"
#include "app/hex/RecordsDock.h"
#include "platform/MessageQueue.h"
#include "support/ManyRecords.h"
#include "view/QtResponsiveness.h"

namespace {

using Clock = std::chrono::steady_clock;

// The window's own way of drawing during long work, timed: the longest gap between two calls.
class TimedResponsiveness : public kestrave::platform::IResponsiveness {
 public:
  void KeepResponsive() override {
    const Clock::time_point now = Clock::now();
    longest_ = std::max(longest_, now - last_);
    last_ = now;
    inner_.KeepResponsive();
  }
  void Start() {
    last_ = Clock::now();
    longest_ = {};
  }
  double LongestSeconds() {
    KeepResponsive();  // the stretch up to the end counts too
    return std::chrono::duration<double>(longest_).count();
  }

 private:
  kestrave::view::QtResponsiveness inner_;
  Clock::time_point last_ = Clock::now();
  Clock::duration longest_{};
};

double Seconds(const std::function<void()>& step) {
  const auto start = Clock::now();
  step();
  return std::chrono::duration<double>(Clock::now() - start).count();
}

std::string WriteContainer() {
  std::ifstream sample(std::string(KESTRAVE_SOURCE_DIR) + "/samples/speech.drf", std::ios::binary);
  const std::string bytes{std::istreambuf_iterator<char>(sample), {}};
  const std::string path =
      (std::filesystem::temp_directory_path() / "kestrave-records-bench.drf").string();
  std::ofstream out(path, std::ios::binary);
  for (std::int64_t written = 0; written < (std::int64_t{1} << 30);
       written += static_cast<std::int64_t>(bytes.size()))
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return path;
}

}  // namespace

int main(int argc, char** argv) {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication application(argc, argv);
  TimedResponsiveness responsiveness;
  kestrave::platform::SetCurrentResponsiveness(&responsiveness);
  const std::string path = WriteContainer();
  kestrave::bench::SilentHexDialogs dialogs;
  double load = 1e9;
  double rows = 1e9;
  double longestWait = 0;
  int count = 0;
  for (int run = 0; run < 3; ++run) {
    kestrave::app::HexWindow window(dialogs);
    window.resize(1280, 800);
    window.show();
    QApplication::processEvents();
    load = std::min(load, Seconds([&] { window.Editor().LoadFromFile(path); }));
    responsiveness.Start();
    rows = std::min(rows, Seconds([&] { window.RecordsPanel().Rescan(); }));
    longestWait = std::max(longestWait, responsiveness.LongestSeconds());
    count = window.RecordsPanel().Records().Count();
  }
  std::filesystem::remove(path);
  const std::string tiny =
      (std::filesystem::temp_directory_path() / "kestrave-records-bench-tiny.drf").string();
  kestrave::test::WriteTinyRecords(tiny, 1000000);
  double tinyRows = 1e9;
  {
    kestrave::app::HexWindow window(dialogs);
    window.Editor().LoadFromFile(tiny);
    tinyRows = Seconds([&] { window.RecordsPanel().Rescan(); });
  }
  std::filesystem::remove(tiny);
  std::printf("1 GiB container, %d records\n", count);
  using kestrave::bench::PrintWithin;
  PrintWithin("load 1 GiB container (baseline)", load * 1000, "ms", 0);
  PrintWithin("records panel rows after the load, 1 GiB", rows * 1000, "ms", 1000);
  kestrave::bench::PrintRatio("records rows / load", rows, load, 0);
  PrintWithin("records panel rows of 1,000,000 tiny records", tinyRows * 1000, "ms", 1000);
  PrintWithin("longest stretch without drawing while the rows are found", longestWait * 1000, "ms",
              100);
  kestrave::platform::SetCurrentResponsiveness(nullptr);
  kestrave::platform::ProcessManualQueue().Pump();
  return 0;
}
