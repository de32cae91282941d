#include "hexeditor/document/FileLoading.h"

#include <cerrno>

#include "hexeditor/HexEditorError.h"
#include "hexeditor/Messages.h"
#include "hexeditor/document/HexMemoryStream.h"
#include "platform/Exception.h"
#include "platform/Format.h"
#include "platform/SystemError.h"

namespace kestrave::hex {

void RefuseTooLargeToLoad(const std::string& fileName) {
  // The data size is a signed 32-bit count.
  if (!platform::FileExists(fileName)) return;
  const auto size = platform::FileSizeOf(fileName);
  if (size && *size > THexMemoryStream::kMaxSize) throw EHexEditor(msg::kOutOfMemory);
}

int UnreadableError(const std::string& fileName) {
  if (!platform::FileExists(fileName)) return errno;
  if (!platform::OpenForReadShared(fileName).IsOpen()) return errno;
  return 0;
}

platform::FileHandle OpenToLoad(const std::string& fileName) {
  RefuseTooLargeToLoad(fileName);
  if (const int error = UnreadableError(fileName))
    throw platform::EFOpenError(
        platform::FormatMessage(msg::kCannotOpen, {fileName, platform::SystemErrorText(error)}));
  platform::FileHandle file = platform::OpenForReadShared(fileName);
  if (!file.IsOpen())
    throw platform::EFOpenError(
        platform::FormatMessage(msg::kCannotOpenFile, {fileName, platform::LastErrorText()}));
  return file;
}

}  // namespace kestrave::hex
