// The list of recent files of kestrave-hex as read at start-up, with any content: the reading
// never fails, keeps at most ten entries, each an absolute name without a zero byte at a
// position not below zero, none twice; what it kept is written as UTF-8 text and reads back the
// same. Any list of names written reads back as written.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "FuzzInput.h"
#include "app/hex/RecentFiles.h"
#include "platform/ShownPaths.h"

namespace {

using kestrave::app::RecentFile;
using kestrave::app::RecentFileList;

[[noreturn]] void Fail(const char* what, const std::string& detail) {
  std::fprintf(stderr, "%s\n%s\n", what, detail.c_str());
  std::abort();
}

void CheckWrittenAndReadBack(const RecentFileList& files, const std::string& source) {
  const std::string text = kestrave::app::RecentFilesText(files);
  if (kestrave::platform::ShownName(text) != text) Fail("the list is not UTF-8 text", text);
  if (kestrave::app::ParseRecentFiles(text) != files) Fail("the list reads back otherwise", source);
}

// Names made of the input's bytes, split at zero bytes (which no name holds).
RecentFileList NamesOf(kestrave::fuzz::FuzzInput& input) {
  RecentFileList files;
  std::string name = "/";
  const auto add = [&] {
    for (const RecentFile& known : files)
      if (known.Path == name) return;
    if (files.size() < kestrave::app::kMaxRecentFiles)
      files.push_back({name, static_cast<std::int64_t>(name.size()) * 1000});
  };
  while (input.Remaining() > 0) {
    const char byte = static_cast<char>(input.Byte());
    if (byte == '\0') {
      add();
      name.resize(1);  // the slash
    } else {
      name.push_back(byte);
    }
  }
  add();
  return files;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  kestrave::fuzz::FuzzInput input(data, size);
  if (input.Byte() & 1) {
    const RecentFileList files = NamesOf(input);
    CheckWrittenAndReadBack(files, kestrave::app::RecentFilesText(files));
    return 0;
  }
  const std::string text(reinterpret_cast<const char*>(input.Rest()), input.Remaining());
  const RecentFileList files = kestrave::app::ParseRecentFiles(text);
  if (files.size() > kestrave::app::kMaxRecentFiles) Fail("more than ten files", text);
  for (std::size_t k = 0; k < files.size(); ++k) {
    const RecentFile& file = files[k];
    if (!file.Path.starts_with('/') || file.Path.find('\0') != std::string::npos ||
        file.Position < 0)
      Fail("an entry that is none was kept", text);
    for (std::size_t other = 0; other < k; ++other)
      if (files[other].Path == file.Path) Fail("a file was kept twice", text);
  }
  CheckWrittenAndReadBack(files, text);
  return 0;
}
