// The settings file of kestrave-hex as read from disk at start-up, with any content, as a file or
// through a link. Reading never throws; a file it accepts gives the settings a view would take
// from the same text, and stays as it was; a file it calls damaged is one a view refuses, leaves
// the editor at its defaults and is replaced by the default settings through the link, if any.
// Nothing is left beside it, and a save afterwards reads back as saved.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

#include "FuzzInput.h"
#include "SettingsLines.h"
#include "app/hex/ViewSettingsStore.h"
#include "hexeditor/HexEditorEx.h"
#include "platform/Exception.h"
#include "platform/MessageQueue.h"

namespace fs = std::filesystem;

namespace {

const fs::path& Sandbox() {
  static const fs::path folder = [] {
    std::string pattern = (fs::temp_directory_path() / "kestrave-settings-fuzz-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) std::abort();
    return fs::path(pattern);
  }();
  // Registered once the name is made, so it runs before the name is destroyed.
  static const int removal = std::atexit([] { std::filesystem::remove_all(Sandbox()); });
  (void)removal;
  return folder;
}

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

void WriteFile(const fs::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
  if (!out) std::abort();
}

[[noreturn]] void Fail(const char* what, const std::string& detail) {
  std::fprintf(stderr, "%s\n%s\n", what, detail.c_str());
  std::abort();
}

// What a view makes of the text directly: its settings text, or nothing when it refuses it.
std::optional<std::string> DirectReading(const std::string& text) {
  kestrave::hex::THexEditorEx editor;
  editor.Loaded();
  try {
    editor.SetSettingsText(text);
  } catch (const kestrave::platform::Exception&) {
    return std::nullopt;
  }
  return editor.GetSettingsText();
}

std::string DefaultText() {
  kestrave::hex::THexEditorEx editor;
  editor.Loaded();
  return editor.GetSettingsText();
}

// The settings file, where the store is pointed, and the file it ends up in: the same name, or
// the regular file a link points to.
struct Layout {
  fs::path named;
  fs::path stored;
};

Layout MakeLayout(std::uint8_t kind, const std::string& text) {
  const fs::path root = Sandbox();
  for (const auto& entry : fs::directory_iterator(root))
    fs::remove_all(entry.path());
  const fs::path file = root / "kestrave-hex.settings";
  switch (kind % 3) {
    case 1:  // a link, as users keep their settings in a folder of dot files
      WriteFile(root / "kept.settings", text);
      fs::create_symlink("kept.settings", file);
      return {file, root / "kept.settings"};
    case 2:  // a second name for the same file
      WriteFile(file, text);
      fs::create_hard_link(file, root / "other-name.settings");
      return {file, file};
    default:
      WriteFile(file, text);
      return {file, file};
  }
}

// Every name in the folder must be one the layout made.
void CheckNothingLeftBeside(std::uint8_t kind) {
  std::size_t expected = kind % 3 == 0 ? 1 : 2;
  std::size_t count = 0;
  std::string names;
  for (const auto& entry : fs::directory_iterator(Sandbox())) {
    ++count;
    names += entry.path().filename().string() + " ";
  }
  if (count != expected) Fail("files beside the settings file:", names);
}

void CheckLinksKept(std::uint8_t kind, const Layout& layout) {
  if (kind % 3 == 1 && !fs::is_symlink(layout.named)) Fail("the link was replaced", "");
  if (kind % 3 == 2 && fs::hard_link_count(layout.named) != 2)
    Fail("the second name was split off", "");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  kestrave::fuzz::FuzzInput input(data, size);
  const std::uint8_t flags = input.Byte();
  const std::string text =
      flags & 1 ? kestrave::fuzz::SettingsLines(input)
                : std::string(reinterpret_cast<const char*>(input.Rest()), input.Remaining());
  const std::uint8_t kind = flags >> 1;
  const Layout layout = MakeLayout(kind, text);
  static const std::string defaults = DefaultText();

  kestrave::hex::THexEditorEx editor;
  editor.Loaded();
  std::optional<std::string> damaged;
  try {
    damaged = kestrave::app::LoadViewSettings(editor, layout.named.string());
  } catch (...) {
    Fail("reading the settings file threw", text);
  }
  const std::optional<std::string> direct = DirectReading(text);
  if (damaged) {
    if (direct) Fail("a settings text a view takes was called damaged:", *damaged);
    if (damaged->find(layout.named.string()) == std::string::npos)
      Fail("the message does not name the file:", *damaged);
    if (editor.GetSettingsText() != defaults) Fail("a damaged file changed the editor", text);
    if (ReadFile(layout.stored) != defaults) Fail("the damaged file was not reset", text);
  } else {
    if (!direct) Fail("a settings text a view refuses was taken", text);
    if (editor.GetSettingsText() != *direct)
      Fail("the file gave other settings than its text", text);
    if (ReadFile(layout.stored) != text) Fail("a file that was taken changed", text);
  }
  CheckNothingLeftBeside(kind);
  CheckLinksKept(kind, layout);

  if (!kestrave::app::SaveViewSettings(editor, layout.named.string()))
    Fail("the settings could not be saved", text);
  CheckNothingLeftBeside(kind);
  CheckLinksKept(kind, layout);
  kestrave::hex::THexEditorEx reread;
  reread.Loaded();
  if (kestrave::app::LoadViewSettings(reread, layout.named.string()))
    Fail("saved settings read back as damaged", text);
  if (reread.GetSettingsText() != editor.GetSettingsText())
    Fail("saved settings read back differently", text);
  kestrave::platform::ProcessManualQueue().Pump();
  return 0;
}
