#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace kestrave::app {

// The folder where kestrave-hex keeps what it remembers between runs: $XDG_CONFIG_HOME/kestrave
// (~/.config/kestrave when the variable is unset or not an absolute path).
std::string ConfigFolder();
// The folder the desktop's configuration goes to: $XDG_CONFIG_HOME, or ~/.config.
std::string DesktopConfigFolder();

// Reads a small file of ours whole, or a little more than Largest bytes when it is larger. Only
// a regular file is read, so a FIFO or device never keeps the program from starting; the answer
// is the error number when the file cannot be read (kNotRegularFileError, EISDIR, ENOENT...).
std::optional<int> ReadConfigFile(const std::string& path, std::int64_t largest, std::string& text);

// Linking a file of ours to a character device (/dev/null) is how a user keeps it from being
// stored: such a file counts as none, and is not reported.
bool IsCharacterDevice(const std::string& path);

// Replaces the file with the text (making its folder) only once the new one is complete; false
// when that failed, the old file then staying.
bool StoreConfigFile(const std::string& text, const std::string& path);

}  // namespace kestrave::app
