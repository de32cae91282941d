#include "app/hex/ViewSettingsStore.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/Exception.h"
#include "platform/FileReplacement.h"

namespace kestrave::app {
namespace {

// Settings texts are a few kilobytes; a larger file is not one of ours.
constexpr std::uintmax_t kLargestSettingsFile = 1 << 20;

std::string DefaultSettingsText() {
  hex::THexEditorEx defaults;
  return defaults.GetSettingsText();
}

bool WriteAll(int fd, const std::string& text) {
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t written = ::write(fd, text.data() + done, text.size() - done);
    if (written <= 0) return false;
    done += static_cast<std::size_t>(written);
  }
  return true;
}

bool StoreText(const std::string& text, const std::string& path) {
  std::error_code ignored;
  std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ignored);
  platform::FileReplacement file(path);
  return file.IsOpen() && WriteAll(file.Fd(), text) && file.Flush() == 0 && file.Install() == 0;
}

}  // namespace

std::string ViewSettingsPath() {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  std::string folder;
  if (config && config[0] == '/') {
    folder = config;
  } else {
    const char* home = std::getenv("HOME");
    folder = std::string(home && home[0] ? home : ".") + "/.config";
  }
  return folder + "/kestrave/kestrave-hex.settings";
}

std::optional<std::string> LoadViewSettings(hex::THexEditorEx& editor, const std::string& path) {
  std::error_code error;
  if (!std::filesystem::exists(path, error)) return std::nullopt;
  std::string problem;
  const std::uintmax_t size = std::filesystem::file_size(path, error);
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  if (error || size > kLargestSettingsFile || !in || !(text << in.rdbuf())) {
    problem = "it cannot be read";
  } else {
    // Tried on an editor of its own first, so a damaged file leaves the real one untouched
    // instead of half set.
    try {
      hex::THexEditorEx trial;
      trial.SetSettingsText(text.str());
      editor.SetSettingsText(trial.GetSettingsText());
      return std::nullopt;
    } catch (const platform::Exception& e) {
      problem = e.Message();
    }
  }
  StoreText(DefaultSettingsText(), path);
  return "The saved view settings in " + path + " were damaged (" + problem +
         "); the default settings are used.";
}

bool SaveViewSettings(hex::THexEditorEx& editor, const std::string& path) {
  return StoreText(editor.GetSettingsText(), path);
}

}  // namespace kestrave::app
