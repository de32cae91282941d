#include "app/hex/ViewSettingsStore.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>

#include "platform/Exception.h"
#include "platform/FileReplacement.h"
#include "platform/FileStream.h"
#include "platform/FileSystem.h"
#include "platform/SystemCalls.h"
#include "platform/SystemError.h"

namespace kestrave::app {
namespace {

// Settings texts are a few kilobytes; a larger file is not one of ours.
constexpr std::int64_t kLargestSettingsFile = 1 << 20;

std::string DefaultSettingsText() {
  hex::THexEditorEx defaults;
  return defaults.GetSettingsText();
}

bool WriteAll(int fd, const std::string& text) {
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t written =
        platform::SystemCalls().Write(fd, text.data() + done, text.size() - done);
    if (written <= 0) return false;
    done += static_cast<std::size_t>(written);
  }
  return true;
}

bool StoreText(const std::string& text, const std::string& path) {
  std::error_code ignored;
  std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ignored);
  platform::FileReplacement file(path, static_cast<std::int64_t>(text.size()));
  return file.IsOpen() && WriteAll(file.Fd(), text) && file.Flush() == 0 && file.Install() == 0;
}

// Reads the settings file whole, or a little more than the largest settings file when it is
// larger. Only a regular file is read, so a FIFO or device never keeps the program from starting;
// the answer is the error number when the file cannot be read.
std::optional<int> ReadSettingsFile(const std::string& path, std::string& text) {
  const platform::FileHandle file = platform::OpenForReadShared(path);
  if (!file.IsOpen()) return errno;
  platform::THandleStream stream(file.Fd());
  // In pieces, so a settings file of a few hundred bytes does not cost a megabyte.
  constexpr std::size_t kPiece = 64 * 1024;
  text.clear();
  while (static_cast<std::int64_t>(text.size()) <= kLargestSettingsFile) {
    const std::size_t had = text.size();
    text.resize(had + kPiece);
    const std::int64_t got = stream.Read(text.data() + had, static_cast<std::int64_t>(kPiece));
    text.resize(had + static_cast<std::size_t>(std::max<std::int64_t>(got, 0)));
    if (stream.LastError() != 0) return stream.LastError();
    if (got <= 0) break;
  }
  return std::nullopt;
}

bool IsCharacterDevice(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISCHR(info.st_mode);
}

std::string CannotBeRead(const std::string& path, int error) {
  return "The saved view settings in " + path + " cannot be read (" +
         platform::SystemErrorText(error) + "); the default settings are used.";
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
  std::string text;
  if (const std::optional<int> error = ReadSettingsFile(path, text)) {
    if (*error == ENOENT || *error == ENOTDIR) return std::nullopt;
    if (*error == platform::kNotRegularFileError || *error == EISDIR) {
      // Linking the settings file to a device (/dev/null) is how a user keeps settings from
      // being stored: nothing to report. Any other thing that is no file is reported, and left
      // as it is.
      if (IsCharacterDevice(path)) return std::nullopt;
      return CannotBeRead(path, *error);
    }
    StoreText(DefaultSettingsText(), path);
    return CannotBeRead(path, *error);
  }
  std::string problem;
  if (static_cast<std::int64_t>(text.size()) > kLargestSettingsFile) {
    problem = "it is too large to be a settings file";
  } else {
    // Tried on an editor of its own first, so a damaged file leaves the real one untouched
    // instead of half set.
    try {
      hex::THexEditorEx trial;
      trial.SetSettingsText(text);
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
