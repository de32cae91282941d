// File > Print Preview of 1 MiB: from the request to the preview's first page shown (the preview
// lays out every page before it shows one), at the printer's high resolution (offscreen).
#include <QApplication>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "BenchSupport.h"
#include "app/hex/HexPrint.h"
#include "app/hex/HexWindow.h"
#include "hexeditor/document/HexMemoryStream.h"
#include "platform/MessageQueue.h"

namespace {

kestrave::app::HexWindow* window = nullptr;

void BM_PreviewToFirstPage(benchmark::State& state) {
  for (auto _ : state) {
    QPrinter printer(QPrinter::HighResolution);
    QPrintPreviewWidget preview(&printer);
    QObject::connect(&preview, &QPrintPreviewWidget::paintRequested, [](QPrinter* target) {
      kestrave::app::PrintDocument(window->Editor(), *target, {});
    });
    preview.resize(800, 1000);
    const auto start = std::chrono::steady_clock::now();
    preview.show();
    preview.updatePreview();
    QApplication::processEvents();
    if (preview.pageCount() < 2) std::abort();
    preview.grab();  // the first page drawn
    state.SetIterationTime(
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    state.counters["pages"] = preview.pageCount();
  }
}

}  // namespace

int main(int argc, char** argv) {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication application(argc, argv);
  kestrave::app::HexWindow hexWindow;
  window = &hexWindow;
  kestrave::hex::THexMemoryStream bytes;
  bytes.SetSize(1 << 20);
  auto* data = reinterpret_cast<std::uint8_t*>(bytes.PointerAt(0));
  for (int i = 0; i < (1 << 20); ++i)
    data[i] = static_cast<std::uint8_t>(i * 31);
  hexWindow.Editor().LoadFromStream(bytes);
  benchmark::RegisterBenchmark("BM_PreviewToFirstPage", BM_PreviewToFirstPage)
      ->UseManualTime()
      ->Unit(benchmark::kMillisecond)
      ->Iterations(1)
      ->Repetitions(3);
  kestrave::bench::FastestRunReporter reporter;
  kestrave::bench::RunBenchmarks(argc, argv, reporter);
  std::printf("\n");
  kestrave::bench::PrintWithin("print preview of 1 MiB to the first page",
                               reporter.Seconds("BM_PreviewToFirstPage") * 1000, "ms", 2000);
  kestrave::platform::ProcessManualQueue().Pump();
  return 0;
}
