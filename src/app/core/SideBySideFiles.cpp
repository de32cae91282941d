#include "app/core/SideBySideFiles.h"

#include <optional>

#include "hexeditor/HexEditorError.h"
#include "hexeditor/Messages.h"
#include "platform/Exception.h"
#include "platform/FileReplacement.h"
#include "platform/FileStream.h"
#include "platform/Format.h"
#include "platform/InterruptCleanup.h"
#include "platform/ParallelTasks.h"
#include "platform/SystemError.h"

namespace kestrave::app {
namespace {

// A batch stays well within the list of temporaries an interruption clears (32 entries), and
// small enough that the threads finish it together.
constexpr std::size_t kBatchEntries = 16;
constexpr std::int64_t kBatchBytes = std::int64_t{64} << 20;

std::exception_ptr CreateError(const std::string& fileName, int error) {
  return std::make_exception_ptr(platform::EFCreateError(platform::FormatMessage(
      hex::msg::kCannotCreateFile, {fileName, platform::SystemErrorText(error)})));
}

std::exception_ptr WriteError(const std::string& fileName, int error) {
  return std::make_exception_ptr(
      hex::EHexEditor(hex::msg::kStreamWriteError, platform::WriteFailureDetail(fileName, error)));
}

}  // namespace

struct SideBySideFiles::Entry {
  std::size_t Index = 0;
  bool HasFile = false;
  std::string FileName;
  std::int64_t Size = 0;
  std::exception_ptr Failure;
};

SideBySideFiles::SideBySideFiles(int threads, Steps steps)
    : threads_(std::max(threads, 1)), steps_(std::move(steps)), team_(threads_) {}

SideBySideFiles::~SideBySideFiles() = default;

void SideBySideFiles::Add(std::size_t index, std::string fileName, std::int64_t size) {
  waiting_.push_back({index, true, std::move(fileName), size, nullptr});
  waitingBytes_ += size;
  if (threads_ == 1 || waiting_.size() >= kBatchEntries || waitingBytes_ >= kBatchBytes) Write();
}

void SideBySideFiles::AddWithoutFile(std::size_t index) {
  waiting_.push_back({index, false, {}, 0, nullptr});
  if (threads_ == 1 || waiting_.size() >= kBatchEntries) Write();
}

void SideBySideFiles::AddFailure(std::size_t index, std::exception_ptr failure) {
  waiting_.push_back({index, false, {}, 0, std::move(failure)});
  Write();
  // Write throws the failure in its turn; this is never reached.
  std::terminate();
}

void SideBySideFiles::Write() {
  if (!waiting_.empty()) WriteBatch();
}

void SideBySideFiles::WriteBatch() {
  std::vector<Entry> batch = std::move(waiting_);
  waiting_.clear();
  waitingBytes_ = 0;
  std::vector<std::optional<platform::FileReplacement>> targets(batch.size());
  // The entries before Reached may be done; the one at Reached, if any, failed.
  std::size_t reached = batch.size();
  std::exception_ptr failure;
  bool inPlace = false;
  {
    const platform::InterruptsHeld held;
    for (std::size_t i = 0; i < batch.size() && !failure; ++i) {
      const Entry& entry = batch[i];
      if (entry.Failure) {
        failure = entry.Failure;
      } else if (entry.HasFile) {
        platform::FileReplacement& target =
            targets[i].emplace(entry.FileName, entry.Size, false, &places_);
        if (!target.IsOpen()) failure = CreateError(entry.FileName, target.Error());
        inPlace = inPlace || target.WritesInPlace();
      }
      if (failure) reached = i;
    }
  }
  const auto fill = [&](std::int64_t i, int worker) {
    const auto at = static_cast<std::size_t>(i);
    if (targets[at]) steps_.Fill(batch[at].Index, targets[at]->Fd(), batch[at].FileName, worker);
  };
  // A file written in place is changed as it is filled, so it must not be filled before the
  // files ahead of it have been.
  const auto count = static_cast<std::int64_t>(reached);
  if (const auto failed = inPlace ? platform::TryTasks(count, 1, fill) : team_.Try(count, fill)) {
    reached = static_cast<std::size_t>(failed->Index);
    failure = failed->Error;
  }
  std::size_t done = 0;
  {
    const platform::InterruptsHeld held;
    for (; done < reached; ++done) {
      if (!targets[done]) continue;
      platform::FileReplacement& target = *targets[done];
      if (const int error = target.Flush()) {
        failure = WriteError(batch[done].FileName, error);
        break;
      }
      if (const int error = target.Install()) {
        failure = CreateError(batch[done].FileName, error);
        break;
      }
    }
    // The temporaries of the files not put in place go while interruptions are still held.
    targets.clear();
  }
  for (std::size_t i = 0; i < done; ++i) {
    if (steps_.Turn) steps_.Turn(batch[i].Index);
    if (steps_.Done) steps_.Done(batch[i].Index);
  }
  if (!failure) return;
  if (steps_.Turn) steps_.Turn(batch[done].Index);
  std::rethrow_exception(failure);
}

}  // namespace kestrave::app
