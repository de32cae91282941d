// A one-byte InsertBuffer and a one-byte DeleteSelection in the middle of a 256 MiB buffer,
// and their Undo and Redo, against a plain memmove of the tail by one byte in the same run.
// Only the operation itself is timed; the steps that put the buffer back are not.
#include <chrono>
#include <cstdio>
#include <cstring>
#include <vector>

#include "BenchSupport.h"
#include "hexeditor/HexEditorEx.h"
#include "hexeditor/document/HexMemoryStream.h"
#include "platform/MessageQueue.h"

namespace {

constexpr int kSize = 256 << 20;
constexpr int kMiddle = kSize / 2;
kestrave::hex::THexEditorEx* editor = nullptr;
std::vector<std::uint8_t>* plain = nullptr;

template <typename F>
double Seconds(F&& step) {
  const auto start = std::chrono::steady_clock::now();
  step();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void Insert() {
  const std::uint8_t byte = 0xAA;
  editor->InsertBuffer(&byte, 1, kMiddle, "", false);
}

void Delete() {
  editor->SetSelectionStart(kMiddle);
  editor->DeleteSelection("");
}

void BM_BaselineMemmoveUp(benchmark::State& state) {
  for (auto _ : state) {
    state.SetIterationTime(Seconds([] {
      std::memmove(plain->data() + kMiddle + 1, plain->data() + kMiddle, kSize - kMiddle - 1);
    }));
  }
}

void BM_BaselineMemmoveDown(benchmark::State& state) {
  for (auto _ : state) {
    state.SetIterationTime(Seconds([] {
      std::memmove(plain->data() + kMiddle, plain->data() + kMiddle + 1, kSize - kMiddle - 1);
    }));
  }
}

void BM_InsertBuffer(benchmark::State& state) {
  for (auto _ : state) {
    state.SetIterationTime(Seconds(Insert));
    editor->Undo();
  }
}

void BM_InsertUndo(benchmark::State& state) {
  for (auto _ : state) {
    Insert();
    state.SetIterationTime(Seconds([] { editor->Undo(); }));
  }
}

void BM_InsertRedo(benchmark::State& state) {
  for (auto _ : state) {
    Insert();
    editor->Undo();
    state.SetIterationTime(Seconds([] { editor->Redo(); }));
    editor->Undo();
  }
}

void BM_DeleteSelection(benchmark::State& state) {
  for (auto _ : state) {
    state.SetIterationTime(Seconds(Delete));
    editor->Undo();
  }
}

void BM_DeleteUndo(benchmark::State& state) {
  for (auto _ : state) {
    Delete();
    state.SetIterationTime(Seconds([] { editor->Undo(); }));
  }
}

void BM_DeleteRedo(benchmark::State& state) {
  for (auto _ : state) {
    Delete();
    editor->Undo();
    state.SetIterationTime(Seconds([] { editor->Redo(); }));
    editor->Undo();
  }
}

#define KESTRAVE_EDIT_BENCH(name) \
  BENCHMARK(name)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5)->Repetitions(5)

KESTRAVE_EDIT_BENCH(BM_BaselineMemmoveUp);
KESTRAVE_EDIT_BENCH(BM_BaselineMemmoveDown);
KESTRAVE_EDIT_BENCH(BM_InsertBuffer);
KESTRAVE_EDIT_BENCH(BM_InsertUndo);
KESTRAVE_EDIT_BENCH(BM_InsertRedo);
KESTRAVE_EDIT_BENCH(BM_DeleteSelection);
KESTRAVE_EDIT_BENCH(BM_DeleteUndo);
KESTRAVE_EDIT_BENCH(BM_DeleteRedo);

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::uint8_t> bytes(kSize, 0x11);
  plain = &bytes;
  kestrave::hex::THexMemoryStream source;
  source.Write(bytes.data(), kSize);
  kestrave::hex::THexEditorEx instance;
  instance.Loaded();
  instance.LoadFromStream(source);
  editor = &instance;
  kestrave::bench::FastestRunReporter reporter;
  kestrave::bench::RunBenchmarks(argc, argv, reporter);
  const double up = reporter.Seconds("BM_BaselineMemmoveUp");
  const double down = reporter.Seconds("BM_BaselineMemmoveDown");
  std::printf("\n");
  using kestrave::bench::PrintRatio;
  PrintRatio("InsertBuffer (1 byte) / memmove of the tail", reporter.Seconds("BM_InsertBuffer"), up,
             1.5);
  PrintRatio("DeleteSelection (1 byte) / memmove", reporter.Seconds("BM_DeleteSelection"), down,
             1.5);
  PrintRatio("Undo of the insert / memmove", reporter.Seconds("BM_InsertUndo"), down, 2.0);
  PrintRatio("Redo of the insert / memmove", reporter.Seconds("BM_InsertRedo"), up, 2.0);
  PrintRatio("Undo of the delete / memmove", reporter.Seconds("BM_DeleteUndo"), up, 2.0);
  PrintRatio("Redo of the delete / memmove", reporter.Seconds("BM_DeleteRedo"), down, 2.0);
  kestrave::platform::ProcessManualQueue().Pump();
  return 0;
}
