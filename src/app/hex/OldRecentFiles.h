#pragma once

#include <optional>
#include <string>

#include "app/hex/RecentFiles.h"

namespace kestrave::app {

// Where earlier versions kept the recent files: Qt's settings of Kestrave/kestrave-hex,
// $XDG_CONFIG_HOME/Kestrave/kestrave-hex.conf.
std::string OldRecentFilesPath();

// The recent files such a settings file lists, with their places, for taking the list over
// once. Only a regular file is read (never through Qt's settings, which would wait for ever on
// a FIFO); nothing when there is none or it cannot be read.
std::optional<RecentFileList> ReadOldRecentFiles(const std::string& path = OldRecentFilesPath());

}  // namespace kestrave::app
