#include "app/core/AudioExport.h"

#include <algorithm>
#include <bit>

#include "app/core/ConverterTexts.h"
#include "app/core/ConverterWorkflow.h"
#include "audio/AmrDecoder.h"
#include "audio/WavHeader.h"
#include "hexeditor/HexEditorError.h"
#include "hexeditor/Messages.h"
#include "platform/Exception.h"
#include "platform/FileReplacement.h"
#include "platform/FileStream.h"
#include "platform/FileSystem.h"
#include "platform/Format.h"
#include "platform/SystemError.h"

namespace kestrave::app {
namespace {

using platform::FormatMessage;

platform::EFCreateError CreateError(const std::string& fileName, int error) {
  return platform::EFCreateError(
      FormatMessage(hex::msg::kCannotCreateFile, {fileName, platform::SystemErrorText(error)}));
}

// A file written beside its final name and put in place only when complete, as the window's
// saves are: a failure leaves no partial file under the name and keeps what was there.
class WholeFile {
 public:
  WholeFile(const std::string& fileName, std::int64_t size)
      : fileName_(fileName), target_(fileName, size, false), stream_(target_.Fd()) {
    if (!target_.IsOpen()) throw CreateError(fileName_, target_.Error());
  }

  void Write(const void* bytes, std::size_t count) {
    const auto wanted = static_cast<std::int64_t>(count);
    if (stream_.Write(bytes, wanted) != wanted) {
      throw hex::EHexEditor(hex::msg::kStreamWriteError,
                            platform::WriteFailureDetail(fileName_, stream_.LastError()));
    }
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

// The frames a file gets: a different count would leave a WAV header that lies.
void CheckFrames(std::int64_t handed, const audio::AmrStreamInfo& info) {
  if (handed != info.Frames + info.GapFrames())
    throw platform::Exception("The record's frames changed while it was written");
}

// The standard storage header, whatever letter case the record has, then the frames.
void WriteTrimmed(const std::string& fileName, const audio::AmrStreamInfo& info,
                  std::span<const std::uint8_t> stream, audio::Recovery recovery) {
  const std::string_view header = audio::StorageHeader(info.Codec);
  const std::int64_t frameBytes = info.ValidBytes - info.HeaderBytes;
  WholeFile file(fileName,
                 static_cast<std::int64_t>(header.size()) + frameBytes + info.GapFrames());
  file.Write(header.data(), header.size());
  CheckFrames(audio::ForEachTrimmedPiece(stream, info, recovery,
                                         [&](std::span<const std::uint8_t> piece) {
                                           file.Write(piece.data(), piece.size());
                                         }),
              info);
  file.Finish();
}

// Decoded a few seconds at a time, so an hour of sound needs no more memory than a minute.
void WriteWav(const std::string& fileName, const audio::AmrStreamInfo& info,
              std::span<const std::uint8_t> stream, audio::Recovery recovery) {
  const int perFrame = audio::SamplesPerFrame(info.Codec);
  const std::int64_t sampleCount = (info.Frames + info.GapFrames()) * perFrame;
  const auto header = audio::MonoPcm16WavHeader(audio::SampleRate(info.Codec), sampleCount);
  if (!header) throw CreateError(fileName, EFBIG);
  WholeFile file(fileName, static_cast<std::int64_t>(header->size()) +
                               sampleCount * static_cast<std::int64_t>(sizeof(std::int16_t)));
  file.Write(header->data(), header->size());
  audio::AmrDecoder decoder(info.Codec);
  std::vector<std::int16_t> samples;
  const auto decode = [&](std::span<const std::uint8_t> frames) {
    samples.clear();
    decoder.DecodeFrames(frames, samples);
    if constexpr (std::endian::native == std::endian::big) {
      for (auto& sample : samples)
        sample = static_cast<std::int16_t>(static_cast<std::uint16_t>(sample) >> 8 |
                                           static_cast<std::uint16_t>(sample) << 8);
    }
    file.Write(samples.data(), samples.size() * sizeof(std::int16_t));
  };
  constexpr std::size_t kPiece = 1 << 16;
  const std::int64_t handed =
      audio::ForEachTrimmedPiece(stream, info, recovery, [&](std::span<const std::uint8_t> frames) {
        // A piece ends on a frame boundary: whole frames only reach the decoder.
        std::size_t at = 0;
        while (at < frames.size()) {
          std::size_t end = at;
          while (end < frames.size() && end - at < kPiece) {
            const int bytes = audio::FrameBytes(info.Codec, (frames[end] >> 3) & 0x0F);
            if (bytes == 0) break;
            end += static_cast<std::size_t>(bytes);
          }
          if (end == at) break;
          decode(frames.subspan(at, std::min(end, frames.size()) - at));
          at = end;
        }
      });
  CheckFrames(handed, info);
  file.Finish();
}

}  // namespace

std::string AudioFileName(const std::string& base, int number, AudioForm form) {
  return base + "_" + std::to_string(number) + (form == AudioForm::Wav ? ".wav" : ".amr");
}

std::vector<std::string> ExportAudio(const ConverterWorkflow& workflow, const RecordReport& report,
                                     const std::string& base, AudioForm form,
                                     const AudioExportEvents& events) {
  if (!ConverterWorkflow::BaseHasName(base)) throw platform::Exception(text::kNoRecordBase);
  workflow.RefuseContainerAsTarget(report.Count(),
                                   [&](int number) { return AudioFileName(base, number, form); });
  std::vector<std::string> written;
  for (int i = 0; i < report.Count(); ++i) {
    const RecordRow row = report.Row(i);
    if (row.Stream.Codec == audio::AmrCodec::Unknown) {
      if (events.Skipped)
        events.Skipped(row, row.Stream.End == audio::StreamEnd::Multichannel
                                ? "multichannel AMR (\"#!AMR_MC1.0\\n\"), which is not read"
                                : "no AMR storage header (\"#!AMR\\n\" or \"#!AMR-WB\\n\")");
      continue;
    }
    const std::string fileName = AudioFileName(base, row.Number, form);
    const std::span<const std::uint8_t> stream = RecordBytes(workflow, row);
    if (events.Starting) events.Starting(fileName);
    if (form == AudioForm::Wav) {
      WriteWav(fileName, row.Stream, stream, report.Recovery());
    } else {
      WriteTrimmed(fileName, row.Stream, stream, report.Recovery());
    }
    written.push_back(fileName);
    if (events.Written) events.Written(fileName, row);
  }
  if (const auto failure = platform::SyncToDisk(written))
    throw CreateError(failure->Path, failure->Error);
  return written;
}

}  // namespace kestrave::app
