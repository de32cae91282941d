// The hex window's extras against its plain view, on a 1 GiB buffer at 1920 x 1080 (offscreen):
// a full repaint of the view with the matches of a search highlighted in every row against the
// same repaint without them, and a caret step (key, status, Byte Values panel, repaint) with the
// panel shown against the same step with it hidden. Then tabs: a switch between the 1 GiB tab
// and another, drawn, and what a tab of a 1 GiB file costs in memory beyond its data.
#include <unistd.h>
#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#include "BenchSupport.h"
#include "SilentHexDialogs.h"
#include "app/hex/ByteValuesDock.h"
#include "app/hex/FindBar.h"
#include "app/hex/HexTab.h"
#include "app/hex/HexWindow.h"
#include "hexeditor/document/HexMemoryStream.h"
#include "platform/MessageQueue.h"
#include "view/HexView.h"

namespace {

using kestrave::app::FindRequest;
using kestrave::app::HexWindow;

HexWindow* window = nullptr;

double Seconds(const std::function<void()>& step) {
  const auto start = std::chrono::steady_clock::now();
  step();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

QAction* MenuItem(const QString& text) {
  for (QMenu* menu : window->menuBar()->findChildren<QMenu*>())
    for (QAction* action : menu->actions())
      if (action->text().remove(QLatin1Char('&')) == text) return action;
  std::abort();
}

void Repaint(benchmark::State& state) {
  for (auto _ : state)
    state.SetIterationTime(Seconds([] { window->View().viewport()->repaint(); }));
}

// Right arrow, then what the window does after a key (status, panel), then the repaint.
void CaretStep(benchmark::State& state) {
  kestrave::hex::THexEditorEx& editor = window->Editor();
  for (auto _ : state) {
    editor.SetSelectionStart(editor.DataSize() / 2);
    QApplication::processEvents();
    state.SetIterationTime(Seconds([&] {
      editor.KeyDown(kestrave::hex::vkRight, 0);
      QApplication::processEvents();
      window->repaint();
    }));
  }
}

void BM_RepaintPlain(benchmark::State& state) {
  window->FindResults().hide();
  QApplication::processEvents();
  Repaint(state);
}

void BM_RepaintWithHighlights(benchmark::State& state) {
  window->Editor().SetSelectionStart(0);
  MenuItem(QStringLiteral("Find..."))->trigger();
  QApplication::processEvents();
  if (window->HighlightedMatches().Count() < 1000) std::abort();
  Repaint(state);
}

void BM_CaretStepPanelHidden(benchmark::State& state) {
  window->ByteValuesPanel().hide();
  CaretStep(state);
}

void BM_CaretStepPanelShown(benchmark::State& state) {
  window->ByteValuesPanel().show();
  CaretStep(state);
}

// Ctrl+Tab as the user sees it: the other tab in front, its status, its view drawn.
void BM_TabSwitch(benchmark::State& state) {
  for (auto _ : state) {
    state.SetIterationTime(Seconds([] {
      window->SetCurrentIndex(1 - window->CurrentIndex());
      QApplication::processEvents();
      window->repaint();
    }));
  }
}

// The process's resident memory, in bytes.
std::int64_t ResidentBytes() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind("VmRSS:", 0) == 0) return std::stoll(line.substr(6)) * 1024;
  std::abort();
}

// A new tab opening a 1 GiB file (sparse: no disk taken), against the file's size.
double TabMemoryOverData() {
  char path[] = "/tmp/kestrave-tab-bench-XXXXXX";
  const int fd = ::mkstemp(path);
  constexpr std::int64_t kSize = std::int64_t{1} << 30;
  if (fd < 0 || ::ftruncate(fd, kSize) != 0) std::abort();
  ::close(fd);
  const std::int64_t before = ResidentBytes();
  if (!window->OpenInTab(path)) std::abort();
  QApplication::processEvents();
  window->repaint();
  const std::int64_t after = ResidentBytes();
  ::unlink(path);
  window->CloseTab(window->CurrentIndex());
  return static_cast<double>(after - before) / static_cast<double>(kSize);
}

template <typename Benchmark>
void Configure(Benchmark* run) {
  run->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20)->Repetitions(5);
}

// Bytes that change along each row, with "KESTRAVE" every 24 bytes of the first MiB: every row
// shown holds matches in both fields.
void Fill(kestrave::hex::THexEditorEx& editor) {
  constexpr std::int64_t kSize = std::int64_t{1} << 30;
  kestrave::hex::THexMemoryStream bytes;
  bytes.SetSize(kSize);
  auto* data = reinterpret_cast<std::uint8_t*>(bytes.PointerAt(0));
  for (std::int64_t i = 0; i < kSize; i += 4096)
    data[i] = static_cast<std::uint8_t>(i >> 12);
  for (std::int64_t i = 0; i < (1 << 20); ++i)
    data[i] = static_cast<std::uint8_t>(i * 31);
  for (std::int64_t i = 0; i + 8 <= (1 << 20); i += 24)
    std::memcpy(data + i, "KESTRAVE", 8);
  editor.LoadFromStream(bytes);
}

}  // namespace

int main(int argc, char** argv) {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication application(argc, argv);
  kestrave::bench::SilentHexDialogs dialogs(FindRequest{"KESTRAVE", false, true});
  HexWindow hexWindow(dialogs);
  window = &hexWindow;
  Fill(hexWindow.Editor());
  hexWindow.resize(1920, 1080);
  hexWindow.show();
  hexWindow.View().setFocus();
  QApplication::processEvents();
  Configure(benchmark::RegisterBenchmark("BM_RepaintPlain", BM_RepaintPlain));
  Configure(benchmark::RegisterBenchmark("BM_RepaintWithHighlights", BM_RepaintWithHighlights));
  Configure(benchmark::RegisterBenchmark("BM_CaretStepPanelHidden", BM_CaretStepPanelHidden));
  Configure(benchmark::RegisterBenchmark("BM_CaretStepPanelShown", BM_CaretStepPanelShown));
  Configure(benchmark::RegisterBenchmark("BM_TabSwitch", BM_TabSwitch));
  kestrave::bench::FastestRunReporter reporter;
  // The tabs' measures start with a second, small tab beside the 1 GiB one.
  {
    char small[] = "/tmp/kestrave-tab-bench-XXXXXX";
    const int fd = ::mkstemp(small);
    if (fd < 0 || ::write(fd, "small", 5) != 5) std::abort();
    ::close(fd);
    if (!hexWindow.OpenInTab(small)) std::abort();
    ::unlink(small);
    hexWindow.SetCurrentIndex(0);
  }
  kestrave::bench::RunBenchmarks(argc, argv, reporter);
  const double tabMemory = TabMemoryOverData();
  const double plain = reporter.Seconds("BM_RepaintPlain");
  const double highlighted = reporter.Seconds("BM_RepaintWithHighlights");
  const double hidden = reporter.Seconds("BM_CaretStepPanelHidden");
  const double shown = reporter.Seconds("BM_CaretStepPanelShown");
  std::printf("\n");
  using kestrave::bench::PrintWithin;
  PrintWithin("window view repaint 1 GiB, matches highlighted", highlighted * 1000, "ms", 8);
  kestrave::bench::PrintRatio("repaint highlighted / plain", highlighted, plain, 1.15);
  PrintWithin("caret step with Byte Values shown, 1 GiB", shown * 1000, "ms", 16);
  kestrave::bench::PrintRatio("caret step panel shown / hidden", shown, hidden, 1.15);
  PrintWithin("tab switch, 1 GiB and small tab", reporter.Seconds("BM_TabSwitch") * 1000, "ms", 50);
  PrintWithin("tab of a 1 GiB file, memory / data", tabMemory, "x", 1.10);
  kestrave::platform::ProcessManualQueue().Pump();
  return 0;
}
