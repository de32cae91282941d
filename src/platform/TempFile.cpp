#include "platform/TempFile.h"
#include "platform/SystemCalls.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdlib>

namespace kestrave::platform {

std::string TemporaryFolder() {
  const char* folder = std::getenv("TMPDIR");
  return folder && *folder ? folder : "/tmp";
}

std::uint32_t TickCount() {
  const auto now = std::chrono::steady_clock::now().time_since_epoch();
  return static_cast<std::uint32_t>(
      std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

FileHandle CreateExclusiveFile(const std::string& path) {
  return FileHandle(SystemCalls().Open(AT_FDCWD, path.c_str(),
                                       O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                                       S_IRUSR | S_IWUSR));
}

}  // namespace kestrave::platform
