// Nibble shifts: the data from a position moves by half a byte, through a temporary file.
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "hexeditor/CustomHexEditor.h"
#include "hexeditor/HexEditorError.h"
#include "hexeditor/Messages.h"
#include "platform/Exception.h"
#include "platform/FileStream.h"
#include "platform/Format.h"
#include "platform/InterruptCleanup.h"
#include "platform/Pieces.h"
#include "platform/SystemCalls.h"
#include "platform/SystemError.h"
#include "platform/TempFile.h"

namespace kestrave::hex {
namespace {

constexpr int kShiftPiece = 512;
// A new tick value is taken until a name is free; this long and no longer.
constexpr std::uint32_t kNameSearchMilliseconds = 2000;

// The shifted copy's file, named by the tick count, created so that nobody else can have
// prepared it, and gone on every way out.
class ShiftFile {
 public:
  ShiftFile() {
    const std::uint32_t start = platform::TickCount();
    std::uint32_t tick = start;
    int error = 0;
    for (;;) {
      char name[16];
      std::snprintf(name, sizeof name, "%08X.HXED", tick);
      path_ = platform::TemporaryFolder() + "/" + name;
      {
        // Created and listed for removal on an interruption as one step.
        const platform::InterruptsHeld held;
        file_ = platform::CreateExclusiveFile(path_);
        error = errno;
        if (file_.IsOpen()) inFlight_ = platform::TemporaryInFlight(AT_FDCWD, path_);
      }
      if (file_.IsOpen() || error != EEXIST) break;
      const std::uint32_t now = platform::TickCount();
      if (now - start > kNameSearchMilliseconds) break;
      tick = now != tick ? now : tick + 1;
    }
    if (!file_.IsOpen())
      throw platform::EFCreateError(platform::FormatMessage(
          msg::kCannotCreateFile, {path_, platform::SystemErrorText(error)}));
  }
  ~ShiftFile() {
    const platform::InterruptsHeld held;
    file_.Close();
    platform::SystemCalls().Unlink(AT_FDCWD, path_.c_str());
    inFlight_.Forget();
  }
  ShiftFile(const ShiftFile&) = delete;
  ShiftFile& operator=(const ShiftFile&) = delete;

  int Fd() const { return file_.Fd(); }

 private:
  std::string path_;
  platform::FileHandle file_;
  platform::TemporaryInFlight inFlight_;
};

}  // namespace

// Writes the bytes from Position on, each shifted right by a nibble (the previous byte's low
// nibble entering from the left), to a temporary file, then reads the shifted bytes back over
// the data from Position, leaving out the first when Skip is set.
bool TCustomHexEditor::ShiftNibbles(int position, bool insert, bool highNibble) {
  if (DataSize() == 0 || position < 0 || position >= DataSize()) return false;
  if (insert)
    document_.Bytes().Reserve(std::int64_t{DataSize()} + 1);  // the last step must not fail
  const BusyScope busy(*this);
  const ShiftFile file;
  platform::THandleStream stream(file.Fd());
  const std::uint8_t first = ReadByte(position);
  const std::uint8_t last = ReadByte(DataSize() - 1);
  std::uint8_t piece[kShiftPiece];
  std::uint8_t previous = 0;
  // The pieces are counted in 64 bits: a buffer may end at the last position an int holds.
  platform::ForEachPiece(position, DataSize(), kShiftPiece, [&](std::int64_t at, std::int64_t n) {
    const auto count = static_cast<int>(n);
    ReadBlock(piece, static_cast<int>(at), count);
    for (int i = 0; i < count; ++i) {
      const std::uint8_t in = piece[i];
      piece[i] = static_cast<std::uint8_t>((in >> 4) | ((previous & 0x0F) << 4));
      previous = in;
    }
    if (stream.Write(piece, count) != count) throw EHexEditor(msg::kStreamWriteError);
    return true;
  });
  stream.SetPosition(insert ? 0 : 1);
  const int shiftedEnd = insert ? DataSize() : DataSize() - 1;
  platform::ForEachPiece(position, shiftedEnd, kShiftPiece, [&](std::int64_t at, std::int64_t n) {
    const auto count = static_cast<int>(n);
    if (stream.Read(piece, count) != count) throw EHexEditor(msg::kStreamReadError);
    WriteBlock(piece, static_cast<int>(at), count);
    return true;
  });
  if (insert) {
    const auto kept = static_cast<std::uint8_t>(highNibble ? first >> 4 : first & 0xF0);
    WriteByte(position, kept);
    document_.Bytes().SetSize(std::int64_t{DataSize()} + 1);
    WriteByte(DataSize() - 1, static_cast<std::uint8_t>(last << 4));
  } else {
    WriteByte(DataSize() - 1, static_cast<std::uint8_t>(ReadByte(DataSize() - 1) << 4));
    if (!highNibble)
      WriteByte(position, static_cast<std::uint8_t>((first & 0xF0) | (ReadByte(position) & 0x0F)));
  }
  return true;
}

bool TCustomHexEditor::InsertNibble(int position, bool highNibble) {
  return ShiftNibbles(position, true, highNibble);
}

bool TCustomHexEditor::DeleteNibble(int position, bool highNibble) {
  return ShiftNibbles(position, false, highNibble);
}

}  // namespace kestrave::hex
