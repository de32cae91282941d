#include "app/hex/ConfigFiles.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>

#include "platform/FileReplacement.h"
#include "platform/FileStream.h"
#include "platform/FileSystem.h"
#include "platform/SystemCalls.h"

namespace kestrave::app {
namespace {

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

}  // namespace

std::string DesktopConfigFolder() {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  if (config && config[0] == '/') return config;
  const char* home = std::getenv("HOME");
  return std::string(home && home[0] ? home : ".") + "/.config";
}

std::string ConfigFolder() {
  return DesktopConfigFolder() + "/kestrave";
}

std::optional<int> ReadConfigFile(const std::string& path, std::int64_t largest,
                                  std::string& text) {
  const platform::FileHandle file = platform::OpenForReadShared(path);
  if (!file.IsOpen()) return errno;
  platform::THandleStream stream(file.Fd());
  // In pieces, so a file of a few hundred bytes does not cost a megabyte.
  constexpr std::size_t kPiece = 64 * 1024;
  text.clear();
  while (static_cast<std::int64_t>(text.size()) <= largest) {
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

bool StoreConfigFile(const std::string& text, const std::string& path) {
  std::error_code ignored;
  std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ignored);
  platform::FileReplacement file(path, static_cast<std::int64_t>(text.size()));
  return file.IsOpen() && WriteAll(file.Fd(), text) && file.Flush() == 0 && file.Install() == 0;
}

}  // namespace kestrave::app
