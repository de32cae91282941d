#include "platform/Guard.h"

#include <gtest/gtest.h>

#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/Exception.h"
#include "platform/UserInterface.h"
#include "support/Fakes.h"
#include "support/Sanitizers.h"

namespace kestrave::platform {
namespace {

using kestrave::test::kAddressSanitizer;

// What a guarded action ended with: whether it completed, and every message reported.
struct Outcome {
  bool Completed = false;
  std::vector<std::string> Messages;
};

Outcome Guard(const std::function<void()>& action) {
  Outcome outcome;
  outcome.Completed =
      RunGuarded(action, [&](const std::string& message) { outcome.Messages.push_back(message); });
  return outcome;
}

TEST(RunGuarded, AnActionThatEndsReportsNothing) {
  int runs = 0;
  const Outcome outcome = Guard([&] { ++runs; });
  EXPECT_TRUE(outcome.Completed);
  EXPECT_TRUE(outcome.Messages.empty());
  EXPECT_EQ(runs, 1);
}

TEST(RunGuarded, EveryKindOfErrorEndsTheActionWithItsMessage) {
  struct Case {
    const char* Kind;
    std::function<void()> Throw;
    std::string Message;
  };
  const std::vector<Case> cases = {
      {"an error of the component", [] { throw EFOpenError("Cannot open file \"x\". Gone"); },
       "Cannot open file \"x\". Gone"},
      {"std::bad_alloc", [] { throw std::bad_alloc(); }, "Out of memory"},
      {"a failed allocation answered by a code", [] { throw EOutOfMemory(); }, "Out of memory"},
      {"a container asked to grow past what it can hold",
       [] {
         std::vector<char> bytes;
         bytes.reserve(bytes.max_size() + 1);
       },
       "Out of memory"},
      {"another standard error", [] { throw std::runtime_error("disk on fire"); }, "disk on fire"},
      {"something that is no exception class", [] { throw 42; }, "Unknown error"},
  };
  for (const Case& c : cases) {
    bool after = false;
    const Outcome outcome = Guard([&] {
      c.Throw();
      after = true;
    });
    EXPECT_FALSE(outcome.Completed) << c.Kind;
    EXPECT_FALSE(after) << c.Kind << ": the action ends where the error is raised";
    EXPECT_EQ(outcome.Messages, std::vector<std::string>{c.Message}) << c.Kind;
  }
}

TEST(RunGuarded, MemoryThatRealRequestsCannotHaveIsOutOfMemory) {
  if (kAddressSanitizer)
    GTEST_SKIP() << "AddressSanitizer ends the program on an allocation it cannot serve";
  const Outcome outcome = Guard([] {
    // More than any address space holds, so the request fails on every machine. A call of the
    // function itself, which the compiler may not leave out as it may an unused new-expression.
    ::operator delete(::operator new (std::size_t{1} << 62));
  });
  EXPECT_FALSE(outcome.Completed);
  EXPECT_EQ(outcome.Messages, std::vector<std::string>{"Out of memory"});
}

TEST(RunGuarded, AReportThatFailsGoesToStandardErrorAndNothingEscapes) {
  testing::internal::CaptureStderr();
  bool completed = true;
  EXPECT_NO_THROW(completed = RunGuarded([] { throw EListError("List index out of bounds (3)"); },
                                         [](const std::string&) { throw std::bad_alloc(); }));
  const std::string written = testing::internal::GetCapturedStderr();
  EXPECT_FALSE(completed);
  EXPECT_EQ(written, "List index out of bounds (3)\n");
}

using kestrave::test::RecordingErrors;

TEST(RunGuarded, WithoutAReporterTheApplicationsErrorDisplayShowsTheMessage) {
  RecordingErrors display;
  SetCurrentErrorDisplay(&display);
  const bool completed = RunGuarded([] { throw std::bad_alloc(); });
  const bool second = RunGuarded([] {});
  SetCurrentErrorDisplay(nullptr);
  EXPECT_FALSE(completed);
  EXPECT_TRUE(second);
  EXPECT_EQ(display.shown, std::vector<std::string>{"Out of memory"});
}

}  // namespace
}  // namespace kestrave::platform
