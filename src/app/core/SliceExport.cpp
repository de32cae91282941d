#include "app/core/SliceExport.h"

#include <dirent.h>

#include <algorithm>
#include <optional>
#include <unordered_set>

#include "app/core/ConverterTexts.h"
#include "app/core/ConverterWorkflow.h"
#include "hexeditor/HexEditorError.h"
#include "hexeditor/Messages.h"
#include "platform/Exception.h"
#include "platform/FileReplacement.h"
#include "platform/FileStream.h"
#include "platform/FileSystem.h"
#include "platform/Format.h"
#include "platform/InterruptCleanup.h"
#include "platform/SystemError.h"

namespace kestrave::app {
namespace {

platform::EFCreateError CreateError(const std::string& fileName, int error) {
  return platform::EFCreateError(platform::FormatMessage(
      hex::msg::kCannotCreateFile, {fileName, platform::SystemErrorText(error)}));
}

// The names in Folder, or nothing when it cannot be read.
std::optional<std::unordered_set<std::string>> NamesIn(const std::string& folder) {
  DIR* listing = ::opendir(folder.empty() ? "." : folder.c_str());
  if (!listing) return std::nullopt;
  std::unordered_set<std::string> names;
  while (const dirent* entry = ::readdir(listing))
    names.insert(entry->d_name);
  ::closedir(listing);
  return names;
}

void WriteSlice(const ContainerStream& container, const RecordSlice& slice,
                const std::string& fileName, platform::PlaceFinder& places) {
  // The records reach the disk together when the export ends, not one by one.
  platform::FileReplacement target(fileName, slice.Size(), false, &places);
  if (!target.IsOpen()) throw CreateError(fileName, target.Error());
  container.CopySlice(slice, target.Fd(), fileName);
  if (const int error = target.Flush())
    throw hex::EHexEditor(hex::msg::kStreamWriteError,
                          platform::WriteFailureDetail(fileName, error));
  if (const int error = target.Install()) throw CreateError(fileName, error);
}

}  // namespace

void RefuseContainerAsTarget(const ContainerStream& container, int count,
                             const std::function<std::string(int number)>& fileNameOf) {
  std::vector<platform::FileIdentity> identities{container.Identity()};
  if (const auto now = platform::IdentityOf(container.Path())) identities.push_back(*now);
  // Only a name that is there can stand for the container: the folder is read once rather than
  // every record's name looked up in vain.
  const std::optional<std::unordered_set<std::string>> present =
      count > 0 ? NamesIn(platform::DirectoryOf(fileNameOf(1))) : std::nullopt;
  for (int number = 1; number <= count; ++number) {
    const std::string fileName = fileNameOf(number);
    if (present && present->count(platform::BaseNameOf(fileName)) == 0) continue;
    const auto target = platform::IdentityOf(fileName);
    if (target && std::find(identities.begin(), identities.end(), *target) != identities.end())
      throw platform::Exception(platform::FormatMessage(text::kRecordOverContainer, {fileName}));
  }
}

std::vector<std::string> ExportSlices(const ContainerStream& container, const ExportPlan& plan,
                                      const std::string& base,
                                      const std::function<void(const std::string&)>& written) {
  if (!ConverterWorkflow::BaseHasName(base)) throw platform::Exception(text::kNoRecordBase);
  RefuseContainerAsTarget(container, plan.NamesChecked, [&](int number) {
    return ConverterWorkflow::RecordFileName(base, number);
  });
  std::vector<std::string> files;
  files.reserve(plan.Slices.size());
  // The records' folder is followed once for all of them.
  platform::PlaceFinder places;
  // Interruptions are held around a batch of records rather than each file's steps, and let
  // through between batches, so an interruption still ends a long export within moments.
  constexpr std::size_t kHeldRecords = 64;
  constexpr std::int64_t kHeldBytes = std::int64_t{64} << 20;
  std::optional<platform::InterruptsHeld> held;
  std::int64_t heldBytes = 0;
  for (std::size_t i = 0; i < plan.Slices.size(); ++i) {
    if (i % kHeldRecords == 0 || heldBytes >= kHeldBytes) {
      held.reset();
      held.emplace();
      heldBytes = 0;
    }
    heldBytes += plan.Slices[i].Size();
    std::string fileName = ConverterWorkflow::RecordFileName(base, static_cast<int>(i) + 1);
    WriteSlice(container, plan.Slices[i], fileName, places);
    if (written) written(fileName);
    files.push_back(std::move(fileName));
  }
  held.reset();
  if (plan.MissingLine) throw platform::EListError(plan.StopMessage());
  if (const auto failure = platform::SyncToDisk(files))
    throw platform::EFCreateError(platform::FormatMessage(
        hex::msg::kCannotCreateFile, {failure->Path, platform::SystemErrorText(failure->Error)}));
  return files;
}

}  // namespace kestrave::app
