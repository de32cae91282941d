// The hex window's extras against its plain view, on a 1 GiB buffer at 1920 x 1080 (offscreen):
// a full repaint of the view with the matches of a search highlighted in every row against the
// same repaint without them, and a caret step (key, status, Byte Values panel, repaint) with the
// panel shown against the same step with it hidden.
#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "BenchSupport.h"
#include "app/hex/ByteValuesDock.h"
#include "app/hex/FindBar.h"
#include "app/hex/HexWindow.h"
#include "hexeditor/document/HexMemoryStream.h"
#include "platform/MessageQueue.h"
#include "view/HexView.h"

namespace {

using kestrave::app::FindRequest;
using kestrave::app::HexWindow;

// Asks nothing: every search is for "KESTRAVE", and nothing is ever cancelled.
class SilentDialogs : public kestrave::app::IHexDialogs {
 public:
  std::optional<std::string> ChooseFileToOpen(const std::string&) override { return {}; }
  std::optional<std::string> ChooseFileToSave(const std::string&) override { return {}; }
  std::optional<FindRequest> AskWhatToFind(const FindRequest&) override {
    return FindRequest{"KESTRAVE", false, true};
  }
  std::optional<kestrave::app::ReplaceRequest> AskWhatToReplace(
      const kestrave::app::ReplaceRequest&) override {
    return {};
  }
  std::optional<std::string> AskOffset(const std::string&) override { return {}; }
  kestrave::app::SaveChangesAnswer AskSaveChanges(const std::string&) override {
    return kestrave::app::SaveChangesAnswer::Discard;
  }
  bool Confirm(const kestrave::app::Question&) override { return false; }
  bool ShowProgress(const std::string&, int) override { return false; }
  void EndProgress() override {}
  void ShowMessage(const std::string&) override {}
  void ShowHelp(const std::string&, const std::string&) override {}
  void ShowError(const std::string& text) override {
    std::fprintf(stderr, "%s\n", text.c_str());
    std::abort();
  }
};

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
  SilentDialogs dialogs;
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
  kestrave::bench::FastestRunReporter reporter;
  kestrave::bench::RunBenchmarks(argc, argv, reporter);
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
  kestrave::platform::ProcessManualQueue().Pump();
  return 0;
}
