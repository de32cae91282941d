// A long run of the converter's whole job: open, scan, export, and edits taken back by undo,
// over containers of changing shape. The memory of the process must stay flat (and the leak
// checker of the sanitizer build finds nothing at exit).
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "SampleContainer.h"
#include "app/core/ConverterWorkflow.h"
#include "platform/MessageQueue.h"
#include "support/TempDir.h"

namespace kestrave {
namespace {

long long ResidentBytes() {
  std::ifstream status("/proc/self/status");
  std::string key;
  while (status >> key) {
    if (key == "VmRSS:") {
      long long kib = 0;
      status >> kib;
      return kib * 1024;
    }
    status.ignore(1 << 16, '\n');
  }
  return 0;
}

TEST(Soak, AThousandRoundsOfTheWholeJobKeepMemoryFlat) {
  platform::ManualMessageQueue queue;
  platform::SetDefaultMessageQueue(&queue);
  test::TempDir dir;
  constexpr int kShapes = 8;
  for (int shape = 0; shape < kShapes; ++shape)
    test::WriteAll(dir.File("c" + std::to_string(shape) + ".drf"),
                   tools::BuildSampleContainer(
                       {2 + shape % 4, 30 + 7 * shape, static_cast<std::uint32_t>(shape), 24}));
  long long settled = 0;
  for (int round = 0; round < 1000; ++round) {
    const int shape = round % kShapes;
    app::ConverterWorkflow workflow;
    workflow.OpenContainer(dir.File("c" + std::to_string(shape) + ".drf"));
    const std::vector<std::string> files = workflow.ExportRecords(dir.File("rec"));
    ASSERT_EQ(static_cast<int>(files.size()), 2 + shape % 4) << "round " << round;
    hex::THexEditorEx& editor = workflow.HexEditorEx1;
    const int size = editor.DataSize();
    const std::uint8_t bytes[] = {1, 2, 3, 4};
    editor.InsertBuffer(bytes, 4, round % size, "", false);
    editor.SetSelection(0, 9);
    editor.DeleteSelection("");
    editor.Undo();
    editor.Undo();
    ASSERT_EQ(editor.DataSize(), size) << "round " << round;
    queue.Pump();
    if (round == 99) settled = ResidentBytes();
  }
  const long long growth = ResidentBytes() - settled;
#if defined(__SANITIZE_ADDRESS__)
  // The address sanitizer keeps freed memory in quarantine (256 MiB), so resident memory says
  // nothing there; its leak checker judges this run at exit instead.
  (void)growth;
#else
  EXPECT_LT(growth, 8LL << 20) << "resident memory grew by " << (growth >> 10) << " KiB";
#endif
  platform::SetDefaultMessageQueue(nullptr);
}

}  // namespace
}  // namespace kestrave
