#include "app/hex/RecordFiles.h"

#include <algorithm>
#include <bit>
#include <cerrno>

#include "app/core/AudioExport.h"
#include "app/core/ConverterWorkflow.h"
#include "audio/AmrDecoder.h"
#include "audio/WavHeader.h"
#include "hexeditor/HexEditorError.h"
#include "hexeditor/Messages.h"
#include "platform/FileReplacement.h"
#include "platform/FileStream.h"
#include "platform/FileSystem.h"
#include "platform/Format.h"
#include "platform/SystemError.h"
#include "platform/UserInterface.h"

namespace kestrave::app {
namespace {

platform::EFCreateError CreateError(const std::string& fileName, int error) {
  return platform::EFCreateError(platform::FormatMessage(
      hex::msg::kCannotCreateFile, {fileName, platform::SystemErrorText(error)}));
}

// Beside its final name and put in place when complete, as the command line writes records.
class WholeFile {
 public:
  WholeFile(const std::string& fileName, std::int64_t size)
      : fileName_(fileName), target_(fileName, size, false), stream_(target_.Fd()) {
    if (!target_.IsOpen()) throw CreateError(fileName_, target_.Error());
  }

  void Write(const void* bytes, std::size_t count) {
    const auto wanted = static_cast<std::int64_t>(count);
    if (stream_.Write(bytes, wanted) != wanted)
      throw hex::EHexEditor(hex::msg::kStreamWriteError,
                            platform::WriteFailureDetail(fileName_, stream_.LastError()));
    platform::KeepResponsive();
  }

  void Finish() {
    if (const int error = target_.Flush()) throw CreateError(fileName_, error);
    if (const int error = target_.Install()) throw CreateError(fileName_, error);
  }

 private:
  std::string fileName_;
  platform::FileReplacement target_;
  platform::THandleStream stream_;
};

// The stream's frames decoded a few seconds at a time, each piece ending on a frame boundary.
void DecodePieces(const audio::AmrStreamInfo& info, std::span<const std::uint8_t> stream,
                  const std::function<void(const std::vector<std::int16_t>&)>& piece) {
  audio::AmrDecoder decoder(info.Codec);
  std::vector<std::int16_t> samples;
  constexpr std::size_t kPiece = 1 << 16;
  std::size_t at = static_cast<std::size_t>(info.HeaderBytes);
  while (at < stream.size()) {
    std::size_t end = at;
    while (end < stream.size() && end - at < kPiece) {
      const int bytes = audio::FrameBytes(info.Codec, (stream[end] >> 3) & 0x0F);
      if (bytes == 0) break;
      end += static_cast<std::size_t>(bytes);
    }
    if (end == at) break;
    samples.clear();
    decoder.DecodeFrames(stream.subspan(at, end - at), samples);
    piece(samples);
    at = end;
  }
}

// The header and complete frames only: what the stream reader accepts.
std::span<const std::uint8_t> StreamOf(std::span<const std::uint8_t> data, const RecordRow& row) {
  return data.subspan(static_cast<std::size_t>(row.Start),
                      static_cast<std::size_t>(row.Stream.ValidBytes));
}

void WriteWav(const std::string& fileName, std::span<const std::uint8_t> data,
              const RecordRow& row) {
  const audio::AmrStreamInfo& info = row.Stream;
  const std::int64_t sampleCount = info.Frames * audio::SamplesPerFrame(info.Codec);
  const auto header = audio::MonoPcm16WavHeader(audio::SampleRate(info.Codec), sampleCount);
  if (!header) throw CreateError(fileName, EFBIG);
  WholeFile file(fileName, static_cast<std::int64_t>(header->size()) +
                               sampleCount * static_cast<std::int64_t>(sizeof(std::int16_t)));
  file.Write(header->data(), header->size());
  std::vector<std::int16_t> little;
  DecodePieces(info, StreamOf(data, row), [&](const std::vector<std::int16_t>& samples) {
    if constexpr (std::endian::native == std::endian::big) {
      little = samples;
      for (auto& sample : little)
        sample = static_cast<std::int16_t>(static_cast<std::uint16_t>(sample) >> 8 |
                                           static_cast<std::uint16_t>(sample) << 8);
      file.Write(little.data(), little.size() * sizeof(std::int16_t));
    } else {
      file.Write(samples.data(), samples.size() * sizeof(std::int16_t));
    }
  });
  file.Finish();
}

void WriteBytes(const std::string& fileName, std::span<const std::uint8_t> bytes) {
  WholeFile file(fileName, static_cast<std::int64_t>(bytes.size()));
  // In pieces, so the windows are drawn while a long record is written.
  for (std::size_t at = 0; at < bytes.size(); at += platform::kResponsivePiece) {
    const std::size_t count = std::min(platform::kResponsivePiece, bytes.size() - at);
    file.Write(bytes.data() + at, count);
  }
  file.Finish();
}

}  // namespace

std::string RecordFileName(const std::string& base, int number, RecordForm form) {
  switch (form) {
    case RecordForm::AsWindow:
      return ConverterWorkflow::RecordFileName(base, number);
    case RecordForm::Trimmed:
      return AudioFileName(base, number, AudioForm::Trimmed);
    case RecordForm::Wav:
      return AudioFileName(base, number, AudioForm::Wav);
  }
  return {};
}

std::optional<std::string> NameOfContainer(const std::vector<std::string>& names,
                                           const std::string& container) {
  const std::optional<platform::FileIdentity> identity = platform::IdentityOf(container);
  if (!identity) return std::nullopt;
  for (const std::string& name : names)
    if (platform::IdentityOf(name) == identity) return name;
  return std::nullopt;
}

WrittenRecords WriteRecords(std::span<const std::uint8_t> data, const RecordScan& scan,
                            const std::vector<int>& indices, const std::string& base,
                            RecordForm form, const RecordWriteEvents& events) {
  WrittenRecords written;
  const auto total = static_cast<int>(indices.size());
  for (int done = 0; done < total; ++done) {
    if (events.KeepGoing && !events.KeepGoing(done, total)) {
      written.Stopped = true;
      break;
    }
    const int index = indices[static_cast<std::size_t>(done)];
    const RecordRow row = scan.Row(index);
    std::string fileName = RecordFileName(base, row.Number, form);
    if (form == RecordForm::AsWindow) {
      const std::int64_t end = row.WrittenByWindow ? scan.WindowEnd(index) : row.End;
      WriteBytes(fileName, data.subspan(static_cast<std::size_t>(row.Start),
                                        static_cast<std::size_t>(end - row.Start + 1)));
    } else if (row.Stream.Codec == audio::AmrCodec::Unknown) {
      if (events.Skipped) events.Skipped(row);
      continue;
    } else if (form == RecordForm::Wav) {
      WriteWav(fileName, data, row);
    } else {
      WriteBytes(fileName, StreamOf(data, row));
    }
    written.Files.push_back(std::move(fileName));
  }
  if (const auto failure = platform::SyncToDisk(written.Files))
    throw CreateError(failure->Path, failure->Error);
  return written;
}

std::vector<std::int16_t> DecodeRecord(std::span<const std::uint8_t> data, const RecordRow& row) {
  std::vector<std::int16_t> sound;
  if (row.Stream.Codec == audio::AmrCodec::Unknown) return sound;
  sound.reserve(static_cast<std::size_t>(row.Stream.Frames) *
                static_cast<std::size_t>(audio::SamplesPerFrame(row.Stream.Codec)));
  DecodePieces(row.Stream, StreamOf(data, row), [&](const std::vector<std::int16_t>& samples) {
    sound.insert(sound.end(), samples.begin(), samples.end());
  });
  return sound;
}

}  // namespace kestrave::app
