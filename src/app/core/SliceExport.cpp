#include "app/core/SliceExport.h"

#include <dirent.h>

#include <algorithm>
#include <optional>
#include <unordered_set>

#include "app/core/ConverterTexts.h"
#include "app/core/ConverterWorkflow.h"
#include "app/core/SideBySideFiles.h"
#include "hexeditor/HexEditorError.h"
#include "hexeditor/Messages.h"
#include "platform/Exception.h"
#include "platform/FileReplacement.h"
#include "platform/FileSystem.h"
#include "platform/Format.h"
#include "platform/SystemError.h"

namespace kestrave::app {
namespace {

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
                                      const std::function<void(const std::string&)>& written,
                                      int threads) {
  if (!ConverterWorkflow::BaseHasName(base)) throw platform::Exception(text::kNoRecordBase);
  RefuseContainerAsTarget(container, plan.NamesChecked, [&](int number) {
    return ConverterWorkflow::RecordFileName(base, number);
  });
  std::vector<std::string> files;
  files.reserve(plan.Slices.size());
  const auto fileNameOf = [&](std::size_t i) {
    return ConverterWorkflow::RecordFileName(base, static_cast<int>(i) + 1);
  };
  SideBySideFiles batches(threads, {[&](std::size_t i, int fd, const std::string& fileName, int) {
                                      container.CopySlice(plan.Slices[i], fd, fileName);
                                    },
                                    {},
                                    [&](std::size_t i) {
                                      files.push_back(fileNameOf(i));
                                      if (written) written(files.back());
                                    }});
  for (std::size_t i = 0; i < plan.Slices.size(); ++i)
    batches.Add(i, fileNameOf(i), plan.Slices[i].Size());
  batches.Write();
  if (plan.MissingLine) throw platform::EListError(plan.StopMessage());
  if (const auto failure = platform::SyncToDisk(files))
    throw platform::EFCreateError(platform::FormatMessage(
        hex::msg::kCannotCreateFile, {failure->Path, platform::SystemErrorText(failure->Error)}));
  return files;
}

}  // namespace kestrave::app
