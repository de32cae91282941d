#include <gtest/gtest.h>

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QDropEvent>
#include <QGuiApplication>
#include <QMimeData>
#include <QPushButton>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "app/core/ConverterWorkflow.h"
#include "app/gui/TForm1.h"
#include "platform/UserInterface.h"
#include "platform/ole/Clipboard.h"
#include "platform/ole/StaticDataObject.h"
#include "support/TempDir.h"
#include "tests/app/gui/ScriptedDialogs.h"
#include "view/QtBusyIndicator.h"
#include "view/QtResponsiveness.h"

namespace kestrave::view {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// Work posted to the event loop, and whether it has run.
class PostedWork {
 public:
  PostedWork() {
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [this] { ran_ = true; }, Qt::QueuedConnection);
  }
  ~PostedWork() { QCoreApplication::processEvents(); }
  bool Ran() const { return ran_; }

 private:
  bool ran_ = false;
};

// A window that counts the drops it takes.
class DropCounter : public QWidget {
 public:
  DropCounter() { setAcceptDrops(true); }
  int drops = 0;

 protected:
  void dragEnterEvent(QDragEnterEvent* event) override { event->acceptProposedAction(); }
  void dropEvent(QDropEvent* event) override {
    ++drops;
    event->acceptProposedAction();
  }
};

// Drags text over the widget and drops it there; answers whether the drop was taken.
bool DropText(QWidget& widget) {
  QMimeData mime;
  mime.setText(QStringLiteral("dropped"));
  QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  enter.setAccepted(false);
  QCoreApplication::sendEvent(&widget, &enter);
  QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  drop.setAccepted(false);
  QCoreApplication::sendEvent(&widget, &drop);
  return enter.isAccepted() && drop.isAccepted();
}

// What the window manager sends when the user clicks a window's close button.
void AskToClose(QWidget& window) {
  QCloseEvent close;
  QCoreApplication::sendEvent(window.windowHandle(), &close);
}

// Runs the event loop until the window is hidden, or gives up after many rounds.
bool ClosesSoon(const QWidget& window) {
  for (int round = 0; round < 100 && window.isVisible(); ++round)
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  return !window.isVisible();
}

class Responsiveness : public ::testing::Test {
 protected:
  Responsiveness() : keeper([this] { return now; }) { platform::SetCurrentResponsiveness(&keeper); }
  ~Responsiveness() override { platform::SetCurrentResponsiveness(nullptr); }

  Clock::time_point now{};
  QtResponsiveness keeper;
};

TEST_F(Responsiveness, WithoutAnImplementationLongWorkHandlesNothing) {
  platform::SetCurrentResponsiveness(nullptr);
  const PostedWork work;
  platform::KeepResponsive();
  EXPECT_FALSE(work.Ran()) << "a program without windows keeps its events for its own loop";
}

TEST_F(Responsiveness, HandlesWaitingWorkAtMostOncePerInterval) {
  {
    const PostedWork work;
    platform::KeepResponsive();
    EXPECT_TRUE(work.Ran()) << "the first call of a piece of work handles what waits";
  }
  const PostedWork work;
  now += QtResponsiveness::kInterval - 1ms;
  platform::KeepResponsive();
  EXPECT_FALSE(work.Ran()) << "too soon after the last handling";
  now += 1ms;
  platform::KeepResponsive();
  EXPECT_TRUE(work.Ran());
}

TEST_F(Responsiveness, TimersWaitUntilTheWorkIsOver) {
  bool fired = false;
  QTimer timer;
  timer.setSingleShot(true);
  timer.setInterval(0);
  QObject::connect(&timer, &QTimer::timeout, [&] { fired = true; });
  timer.start();
  platform::KeepResponsive();
  EXPECT_FALSE(fired) << "a timer could start other work inside this one";
  for (int round = 0; round < 100 && !fired; ++round)
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  EXPECT_TRUE(fired);
}

TEST_F(Responsiveness, AWindowAskedToCloseDuringTheWorkClosesAfterIt) {
  QWidget window;
  window.show();
  QMetaObject::invokeMethod(
      &window, [&] { AskToClose(window); }, Qt::QueuedConnection);
  platform::KeepResponsive();
  EXPECT_TRUE(window.isVisible()) << "not closed in the middle of the work";
  EXPECT_FALSE(WorkRuns()) << "the refusal ends with the handling";
  EXPECT_TRUE(ClosesSoon(window)) << "the close was kept for later, not lost";
}

TEST_F(Responsiveness, HandlingIsNotReentered) {
  int nested = 0;
  QMetaObject::invokeMethod(
      QCoreApplication::instance(),
      [&] {
        const PostedWork inner;
        now += 1s;
        platform::KeepResponsive();
        nested += inner.Ran() ? 1 : 0;
      },
      Qt::QueuedConnection);
  platform::KeepResponsive();
  EXPECT_EQ(nested, 0) << "work reached from a handling does not handle again";
}

// --- Busy windows ----------------------------------------------------------------------------

TEST(BusyWindows, RefuseClosesAndDropsUntilTheWorkIsOver) {
  QWidget window;
  window.show();
  DropCounter target;
  target.show();
  QtBusyIndicator busy;
  busy.BeginBusy();
  busy.BeginBusy();  // nested, as the component's own scope inside the window's
  EXPECT_TRUE(WorkRuns());
  AskToClose(window);
  EXPECT_TRUE(window.isVisible());
  EXPECT_FALSE(DropText(target)) << "a drop would start an edit inside the work";
  EXPECT_EQ(target.drops, 0);
  busy.EndBusy();
  AskToClose(window);
  EXPECT_TRUE(window.isVisible()) << "still inside the outer work";
  busy.EndBusy();
  EXPECT_FALSE(WorkRuns());
  EXPECT_TRUE(DropText(target));
  EXPECT_EQ(target.drops, 1);
  EXPECT_TRUE(ClosesSoon(window)) << "the close asked for during the work";
}

// A paste's format choice is a modal dialog shown inside the work: its answer must close it.
TEST(BusyWindows, ADialogShownInsideTheWorkClosesWhenAnswered) {
  QtBusyIndicator busy;
  const platform::BusyScope scope(busy);
  QDialog dialog;
  bool forced = false;
  QTimer::singleShot(0, &dialog, [&] { dialog.accept(); });
  // Should the answer be kept back, hiding ends the dialog's loop so the test cannot hang.
  QTimer::singleShot(3000, &dialog, [&] {
    forced = true;
    dialog.hide();
  });
  EXPECT_EQ(dialog.exec(), QDialog::Accepted);
  EXPECT_FALSE(forced) << "the dialog's answer was held back until the work ends";
  QWidget other;
  other.show();
  AskToClose(other);
  EXPECT_TRUE(other.isVisible()) << "other windows still wait for the work";
}

TEST(BusyWindows, AWindowClosesAtOnceWhenNothingRuns) {
  QWidget window;
  window.show();
  AskToClose(window);
  EXPECT_FALSE(window.isVisible());
}

// --- Long work calls the hook ----------------------------------------------------------------

// Counts the calls, and how many came while a busy window showed its wait cursor.
class CountingResponsiveness : public platform::IResponsiveness {
 public:
  void KeepResponsive() override {
    ++calls;
    if (QGuiApplication::overrideCursor()) ++whileBusy;
  }
  int calls = 0;
  int whileBusy = 0;
};

constexpr std::size_t kRecordSize = std::size_t{3} * platform::kResponsivePiece;

// A container of two records, each of kRecordSize bytes, with a marker and a magic each.
std::vector<std::uint8_t> TwoLargeRecords() {
  const std::string marker =
      "\x06\x1F\x22"
      "audio/amr";
  std::vector<std::uint8_t> bytes(32, 0);
  for (int record = 0; record < 2; ++record) {
    bytes.insert(bytes.end(), marker.begin(), marker.end());
    const std::size_t magicAt = bytes.size();
    bytes.resize(magicAt + kRecordSize, 0x55);
    std::copy_n("#!AMR", 5, bytes.begin() + static_cast<std::ptrdiff_t>(magicAt));
  }
  return bytes;
}

class LongWork : public ::testing::Test {
 protected:
  LongWork() {
    test::WriteAll(dir.File("large.drf"), TwoLargeRecords());
    platform::SetCurrentResponsiveness(&counter);
  }
  ~LongWork() override { platform::SetCurrentResponsiveness(nullptr); }

  test::TempDir dir;
  CountingResponsiveness counter;
};

TEST_F(LongWork, LoadingAndScanningCallTheHookPieceByPiece) {
  app::ConverterWorkflow workflow;
  workflow.HexEditorEx1.LoadFromFile(dir.File("large.drf"));
  const int size = workflow.HexEditorEx1.DataSize();
  EXPECT_GE(counter.calls, size / static_cast<int>(platform::kResponsivePiece))
      << "at least once per piece read";
  counter.calls = 0;
  workflow.Action1Execute();
  EXPECT_EQ(workflow.StatusText(), "Найдено 2 записей");
  EXPECT_GE(counter.calls, 2) << "the scans run through the data in blocks";
}

// Each step of one record's export moves the whole record: each does so in pieces.
TEST_F(LongWork, EveryStepOfALargeRecordCallsTheHookBetweenItsPieces) {
  app::ConverterWorkflow workflow;
  workflow.OpenContainer(dir.File("large.drf"));
  hex::THexEditorEx& container = workflow.HexEditorEx1;
  hex::THexEditorEx& scratch = workflow.HexEditorEx2;
  const int between = static_cast<int>(kRecordSize / platform::kResponsivePiece) - 1;
  const auto callsOf = [&](const std::function<void()>& step) {
    counter.calls = 0;
    step();
    return counter.calls;
  };
  container.SetSelectionStart(std::stoi(workflow.ListBox1.Strings(0)));
  container.SetSelectionEnd(std::stoi(workflow.ListBox1.Strings(1)) - 1);
  EXPECT_GE(callsOf([&] { container.CopyToClipboard(); }), between) << "copy";
  scratch.CreateEmptyFile("temp.amr");
  EXPECT_GE(callsOf([&] { scratch.PasteFromClipboard(); }), between) << "paste";
  ASSERT_GE(scratch.DataSize(), static_cast<int>(kRecordSize));
  EXPECT_GE(callsOf([&] { scratch.SaveToFile(dir.File("one.amr"), true); }), between) << "save";
  scratch.SelectAll();
  EXPECT_GE(callsOf([&] { scratch.CutToClipboard(); }), between) << "cut";
  EXPECT_EQ(scratch.DataSize(), 0);
  EXPECT_GE(callsOf([&] { scratch.Undo(); }), between) << "undo of the cut";
  EXPECT_GE(callsOf([&] { scratch.InsertBuffer("x", 1, 0, "", false); }), between)
      << "the bytes after an insertion move up";
}

// The windows' events are handled during the export, and another program may take the clipboard
// at any of these moments; never while a record waits there for its paste, so every record
// still arrives whole.
class ClipboardTakenWhenIdle : public platform::IResponsiveness {
 public:
  void KeepResponsive() override {
    auto* foreign = new platform::ole::TStaticDataObject;
    foreign->AddBytes(platform::ole::CF_TEXT, {'h', 'i', 0});
    const platform::ole::ComPtr<platform::ole::IDataObject> data(foreign);
    platform::ole::CurrentClipboard().SetClipboard(data.Get());
    ++calls;
  }
  int calls = 0;
};

TEST_F(LongWork, AnotherProgramTakingTheClipboardWhileEventsAreHandledLosesNoRecord) {
  ClipboardTakenWhenIdle taker;
  platform::SetCurrentResponsiveness(&taker);
  app::ConverterWorkflow workflow;
  workflow.OpenContainer(dir.File("large.drf"));
  const auto files = workflow.ExportRecords(dir.File("rec"));
  ASSERT_EQ(files.size(), 2u);
  EXPECT_GT(taker.calls, 0);
  const std::vector<std::uint8_t> container = TwoLargeRecords();
  const std::vector<std::uint8_t> second = test::ReadAll(files[1]);
  ASSERT_EQ(second.size(), kRecordSize);
  EXPECT_TRUE(std::equal(second.begin(), second.end(), container.end() - kRecordSize));
}

TEST_F(LongWork, TheConverterWindowCallsTheHookWhileItIsBusy) {
  app::test::ScriptedDialogs dialogs;
  app::TForm1 form1(dialogs);
  form1.show();
  dialogs.openAnswers.push_back(dir.File("large.drf"));
  form1.Button1->click();
  EXPECT_TRUE(dialogs.errors.empty());
  EXPECT_GT(counter.whileBusy, 0) << "the load";
  counter.whileBusy = 0;
  dialogs.saveAnswers.push_back(dir.File("rec"));
  form1.Button5->click();
  EXPECT_TRUE(dialogs.errors.empty());
  EXPECT_GT(counter.whileBusy, 0) << "the export";
  EXPECT_GT(counter.calls - counter.whileBusy, 0)
      << "and once before, so the window is drawn over the closed dialog";
}

}  // namespace
}  // namespace kestrave::view
