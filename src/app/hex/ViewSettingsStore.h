#pragma once

#include <optional>
#include <string>

#include "hexeditor/HexEditorEx.h"

namespace kestrave::app {

// Where kestrave-hex keeps its view settings between runs: the settings text of the view in
// $XDG_CONFIG_HOME/kestrave/kestrave-hex.settings (~/.config when the variable is unset or not
// an absolute path).
std::string ViewSettingsPath();

// Applies the stored settings to an editor with the default settings. A missing file changes
// nothing. A file that cannot be read or applied changes nothing either and is replaced by the
// default settings, so the damage is reported once: the message saying so is returned. Only a
// regular file is read: a character device (a link to /dev/null) counts as no file, anything
// else (a FIFO, a folder) is reported each time and never replaced.
std::optional<std::string> LoadViewSettings(hex::THexEditorEx& editor,
                                            const std::string& path = ViewSettingsPath());

// Stores the editor's settings, replacing the file only once the new one is complete; false
// when that failed (the old file then stays).
bool SaveViewSettings(hex::THexEditorEx& editor, const std::string& path = ViewSettingsPath());

}  // namespace kestrave::app
