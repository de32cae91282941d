// File > Print Preview of 1 MiB and of 64 MiB: from the request to the preview's first page
// shown, at the printer's high resolution (offscreen). The preview counts the pages from the
// layout and draws only those in sight, so the time should not grow with the data.
#include <QApplication>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "BenchSupport.h"
#include "app/hex/HexPrintPreview.h"
#include "app/hex/HexWindow.h"
#include "hexeditor/document/HexMemoryStream.h"
#include "platform/MessageQueue.h"

namespace {

kestrave::app::HexWindow* window = nullptr;

void Load(int size) {
  kestrave::hex::THexMemoryStream bytes;
  bytes.SetSize(size);
  auto* data = reinterpret_cast<std::uint8_t*>(bytes.PointerAt(0));
  for (int i = 0; i < size; ++i)
    data[i] = static_cast<std::uint8_t>(i * 31);
  window->Editor().LoadFromStream(bytes);
}

void BM_PreviewToFirstPage(benchmark::State& state, int mebibytes) {
  Load(mebibytes << 20);
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    kestrave::app::HexPrintPreview preview(nullptr, window->Editor(), QStringLiteral("data.bin"));
    preview.resize(800, 1000);
    preview.show();
    QApplication::processEvents();
    if (preview.PageCount() < 2) std::abort();
    preview.grab();  // the first page drawn
    state.SetIterationTime(
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    state.counters["pages"] = preview.PageCount();
  }
}

}  // namespace

int main(int argc, char** argv) {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication application(argc, argv);
  kestrave::app::HexWindow hexWindow;
  window = &hexWindow;
  for (const int mebibytes : {1, 64})
    benchmark::RegisterBenchmark(
        ("BM_PreviewToFirstPage_" + std::to_string(mebibytes) + "MiB").c_str(),
        BM_PreviewToFirstPage, mebibytes)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond)
        ->Iterations(1)
        ->Repetitions(3);
  kestrave::bench::FastestRunReporter reporter;
  kestrave::bench::RunBenchmarks(argc, argv, reporter);
  std::printf("\n");
  for (const int mebibytes : {1, 64})
    kestrave::bench::PrintWithin(
        "print preview of " + std::to_string(mebibytes) + " MiB to the first page",
        reporter.Seconds("BM_PreviewToFirstPage_" + std::to_string(mebibytes) + "MiB") * 1000, "ms",
        2000);
  kestrave::platform::ProcessManualQueue().Pump();
  return 0;
}
