#include "app/hex/ViewSettingsStore.h"

#include <cerrno>

#include "app/hex/ConfigFiles.h"
#include "platform/Exception.h"
#include "platform/SystemError.h"

namespace kestrave::app {
namespace {

// Settings texts are a few kilobytes; a larger file is not one of ours.
constexpr std::int64_t kLargestSettingsFile = 1 << 20;

std::string DefaultSettingsText() {
  hex::THexEditorEx defaults;
  return defaults.GetSettingsText();
}

std::string CannotBeRead(const std::string& path, int error) {
  return "The saved view settings in " + path + " cannot be read (" +
         platform::SystemErrorText(error) + "); the default settings are used.";
}

}  // namespace

std::string ViewSettingsPath() {
  return ConfigFolder() + "/kestrave-hex.settings";
}

std::optional<std::string> LoadViewSettings(hex::THexEditorEx& editor, const std::string& path) {
  std::string text;
  if (const std::optional<int> error = ReadConfigFile(path, kLargestSettingsFile, text)) {
    if (*error == ENOENT || *error == ENOTDIR) return std::nullopt;
    if (*error == platform::kNotRegularFileError || *error == EISDIR) {
      // Linking the settings file to a device (/dev/null) is how a user keeps settings from
      // being stored: nothing to report. Any other thing that is no file is reported, and left
      // as it is.
      if (IsCharacterDevice(path)) return std::nullopt;
      return CannotBeRead(path, *error);
    }
    StoreConfigFile(DefaultSettingsText(), path);
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
  StoreConfigFile(DefaultSettingsText(), path);
  return "The saved view settings in " + path + " were damaged (" + problem +
         "); the default settings are used.";
}

bool SaveViewSettings(hex::THexEditorEx& editor, const std::string& path) {
  return StoreConfigFile(editor.GetSettingsText(), path);
}

}  // namespace kestrave::app
