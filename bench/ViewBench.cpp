// A full repaint of a 1920 x 1080 hex view on the offscreen platform, for a 1 KiB and a 1 GiB
// buffer, and Page Down steps on the 1 GiB buffer, scrolling and repainting included.
#include <QApplication>
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "BenchSupport.h"
#include "hexeditor/HexEditorEx.h"
#include "hexeditor/document/HexMemoryStream.h"
#include "platform/MessageQueue.h"
#include "view/HexView.h"

namespace {

kestrave::view::HexView* small = nullptr;
kestrave::view::HexView* large = nullptr;

double Seconds(const std::function<void()>& step) {
  const auto start = std::chrono::steady_clock::now();
  step();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void Repaint(benchmark::State& state, kestrave::view::HexView& view) {
  for (auto _ : state)
    state.SetIterationTime(Seconds([&] { view.viewport()->repaint(); }));
}

void BM_RepaintSmallBuffer(benchmark::State& state) {
  Repaint(state, *small);
}
void BM_RepaintLargeBuffer(benchmark::State& state) {
  Repaint(state, *large);
}

void BM_PageDownLargeBuffer(benchmark::State& state) {
  kestrave::hex::THexEditorEx& editor = large->Editor();
  editor.SetSelectionStart(editor.DataSize() / 2);
  for (auto _ : state) {
    state.SetIterationTime(Seconds([&] {
      editor.KeyDown(kestrave::hex::vkNext, 0);
      large->viewport()->repaint();
    }));
  }
}

BENCHMARK(BM_RepaintSmallBuffer)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20)
    ->Repetitions(5);
BENCHMARK(BM_RepaintLargeBuffer)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20)
    ->Repetitions(5);
BENCHMARK(BM_PageDownLargeBuffer)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20)
    ->Repetitions(5);

void Fill(kestrave::hex::THexEditorEx& editor, std::int64_t size) {
  kestrave::hex::THexMemoryStream bytes;
  bytes.SetSize(size);
  auto* data = reinterpret_cast<std::uint8_t*>(bytes.PointerAt(0));
  for (std::int64_t i = 0; i < size; i += 4096)
    data[i] = static_cast<std::uint8_t>(i >> 12);
  for (std::int64_t i = 0; i < std::min<std::int64_t>(size, 1 << 20); ++i)
    data[i] = static_cast<std::uint8_t>(i * 31);
  editor.LoadFromStream(bytes);
}

}  // namespace

int main(int argc, char** argv) {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication application(argc, argv);
  kestrave::hex::THexEditorEx smallEditor;
  kestrave::hex::THexEditorEx largeEditor;
  for (auto* editor : {&smallEditor, &largeEditor})
    editor->Loaded();
  Fill(smallEditor, 1024);
  Fill(largeEditor, std::int64_t{1} << 30);
  kestrave::view::HexView smallView(smallEditor);
  kestrave::view::HexView largeView(largeEditor);
  for (auto* view : {&smallView, &largeView}) {
    view->resize(1920, 1080);
    view->show();
    view->setFocus();
  }
  QApplication::processEvents();
  small = &smallView;
  large = &largeView;
  kestrave::bench::FastestRunReporter reporter;
  kestrave::bench::RunBenchmarks(argc, argv, reporter);
  const double smallMs = reporter.Seconds("BM_RepaintSmallBuffer") * 1000;
  const double largeMs = reporter.Seconds("BM_RepaintLargeBuffer") * 1000;
  const double pageMs = reporter.Seconds("BM_PageDownLargeBuffer") * 1000;
  std::printf("\n");
  using kestrave::bench::PrintWithin;
  PrintWithin("full repaint 1920 x 1080, 1 GiB buffer", largeMs, "ms", 8);
  PrintWithin("full repaint 1920 x 1080, 1 KiB buffer", smallMs, "ms", 0);
  kestrave::bench::PrintRatio("repaint 1 GiB / repaint 1 KiB", largeMs / 1000, smallMs / 1000,
                              1.15);
  PrintWithin("Page Down on 1 GiB, scroll and repaint", pageMs, "ms", 16);
  kestrave::platform::ProcessManualQueue().Pump();
  return 0;
}
