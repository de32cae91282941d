#include "app/core/RecordFiles.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cerrno>

#include "app/core/ConverterTexts.h"
#include "app/core/ConverterWorkflow.h"
#include "app/core/SideBySideFiles.h"
#include "audio/AmrDecoder.h"
#include "audio/AmrStreamPieces.h"
#include "audio/AmrStreamWindows.h"
#include "audio/WavHeader.h"
#include "hexeditor/HexEditorError.h"
#include "hexeditor/Messages.h"
#include "platform/Exception.h"
#include "platform/FileReplacement.h"
#include "platform/FileStream.h"
#include "platform/FileSystem.h"
#include "platform/Format.h"
#include "platform/SystemError.h"
#include "platform/UserInterface.h"

namespace kestrave::app {
namespace {

// A record's bytes from its first, and how many of them are read at a time.
struct RecordBytesReader {
  audio::RecordWindowReader Read;
  std::int64_t WindowBytes = 0;
};

platform::EFCreateError CreateError(const std::string& fileName, int error) {
  return platform::EFCreateError(platform::FormatMessage(
      hex::msg::kCannotCreateFile, {fileName, platform::SystemErrorText(error)}));
}

// A record's file, open for writing; put in place by the batch that opened it only when
// complete, so a failure leaves no partial file under the name and keeps what was there.
class RecordFile {
 public:
  // Worker: the thread that writes it; the calling thread (0) keeps a window drawn meanwhile.
  RecordFile(int fd, const std::string& fileName, int worker)
      : fileName_(fileName), fd_(fd), stream_(fd), responsive_(worker == 0) {}

  void Write(const void* bytes, std::size_t count) {
    const auto wanted = static_cast<std::int64_t>(count);
    if (stream_.Write(bytes, wanted) != wanted)
      throw hex::EHexEditor(hex::msg::kStreamWriteError,
                            platform::WriteFailureDetail(fileName_, stream_.LastError()));
    if (responsive_) platform::KeepResponsive();
  }

  // Count bytes of the container from At, in pieces, so the windows are drawn while a long
  // record is written.
  void CopyFrom(const ContainerSource& source, const audio::RecordWindowReader& read,
                std::int64_t at, std::int64_t count) {
    if (source.CopyTo) {
      source.CopyTo(at, count, fd_, fileName_);
      return;
    }
    const auto piece = static_cast<std::int64_t>(platform::kResponsivePiece);
    for (std::int64_t done = 0; done < count; done += piece) {
      const std::span<const std::uint8_t> bytes = read(at + done, std::min(piece, count - done));
      Write(bytes.data(), bytes.size());
    }
  }

 private:
  const std::string& fileName_;
  int fd_;
  platform::THandleStream stream_;
  bool responsive_;
};

// The samples of a record's sound, its gaps as silence.
std::int64_t WavSamples(const audio::AmrStreamInfo& info) {
  return (info.Frames + info.GapFrames()) * audio::SamplesPerFrame(info.Codec);
}

// The frames a file gets: a different count would leave a WAV header that lies.
void CheckFrames(std::int64_t handed, const audio::AmrStreamInfo& info) {
  if (handed != info.Frames + info.GapFrames())
    throw platform::Exception("The record's frames changed while it was written");
}

// The stream's frames (gaps as no-data frames) decoded a few seconds at a time, each piece ending
// on a frame boundary so that whole frames only reach the decoder; answers the frames handed.
std::int64_t ForEachDecodedPiece(
    const audio::AmrStreamInfo& info, const RecordBytesReader& stream, audio::Recovery recovery,
    const std::function<void(const std::vector<std::int16_t>&)>& piece) {
  audio::AmrDecoder decoder(info.Codec);
  std::vector<std::int16_t> samples;
  constexpr std::size_t kPiece = 1 << 16;
  return audio::ForEachTrimmedPiece(
      stream.Read, info, recovery, stream.WindowBytes, [&](std::span<const std::uint8_t> frames) {
        std::size_t at = 0;
        while (at < frames.size()) {
          std::size_t end = at;
          while (end < frames.size() && end - at < kPiece) {
            const int bytes = audio::FrameBytes(info.Codec, (frames[end] >> 3) & 0x0F);
            if (bytes == 0) break;
            end += static_cast<std::size_t>(bytes);
          }
          if (end == at) break;
          samples.clear();
          decoder.DecodeFrames(frames.subspan(at, std::min(end, frames.size()) - at), samples);
          piece(samples);
          at = end;
        }
      });
}

// The bytes of the record that starts at Start, read through a reader of the container.
RecordBytesReader RecordReader(const ContainerSource& source, const audio::RecordWindowReader& read,
                               std::int64_t start) {
  return {[&read, start](std::int64_t at, std::int64_t count) { return read(start + at, count); },
          source.WindowBytes};
}

void WriteTrimmed(RecordFile& file, const audio::AmrStreamInfo& info, const ContainerSource& source,
                  const audio::RecordWindowReader& read, std::int64_t start,
                  audio::Recovery recovery) {
  const std::string_view header = audio::StorageHeader(info.Codec);
  file.Write(header.data(), header.size());
  // Without gaps the frames lie together as the record holds them: copied as they are.
  if (info.Gaps == 0) {
    file.CopyFrom(source, read, start + info.HeaderBytes, info.ValidBytes - info.HeaderBytes);
    return;
  }
  const RecordBytesReader stream = RecordReader(source, read, start);
  CheckFrames(audio::ForEachTrimmedPiece(stream.Read, info, recovery, stream.WindowBytes,
                                         [&](std::span<const std::uint8_t> piece) {
                                           file.Write(piece.data(), piece.size());
                                         }),
              info);
}

// The WAV header of a record's sound; none when the file would be too large for one.
std::optional<std::array<std::uint8_t, audio::kWavHeaderBytes>> WavHeaderOf(
    const audio::AmrStreamInfo& info) {
  return audio::MonoPcm16WavHeader(audio::SampleRate(info.Codec), WavSamples(info));
}

// The size of record Index's file in Form; none when a WAV file would be too large for its
// header.
std::optional<std::int64_t> FileSizeOf(const RecordReport& report, int index, const RecordRow& row,
                                       RecordForm form) {
  switch (form) {
    case RecordForm::AsWindow:
      return (row.WrittenByWindow ? report.WindowEnd(index) : row.End) - row.Start + 1;
    case RecordForm::Trimmed:
      return static_cast<std::int64_t>(audio::StorageHeader(row.Stream.Codec).size()) +
             row.Stream.ValidBytes - row.Stream.HeaderBytes + row.Stream.GapFrames();
    case RecordForm::Wav:
      if (!WavHeaderOf(row.Stream)) return std::nullopt;
      return audio::kWavHeaderBytes +
             WavSamples(row.Stream) * static_cast<std::int64_t>(sizeof(std::int16_t));
  }
  return std::nullopt;
}

// Decoded a few seconds at a time, so an hour of sound needs no more memory than a minute.
void WriteWav(RecordFile& file, const audio::AmrStreamInfo& info, const RecordBytesReader& stream,
              audio::Recovery recovery) {
  const auto header = WavHeaderOf(info);
  file.Write(header->data(), header->size());
  std::vector<std::int16_t> little;
  const std::int64_t handed =
      ForEachDecodedPiece(info, stream, recovery, [&](const std::vector<std::int16_t>& samples) {
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
  CheckFrames(handed, info);
}

// Data held whole, viewed where it lies and walked in one window.
ContainerSource ViewOf(std::span<const std::uint8_t> data) {
  return {[data]() -> audio::RecordWindowReader {
            return [data](std::int64_t at, std::int64_t count) {
              return data.subspan(static_cast<std::size_t>(at), static_cast<std::size_t>(count));
            };
          },
          {},
          static_cast<std::int64_t>(data.size())};
}

std::string WhyNoStream(const RecordRow& row) {
  return row.Stream.End == audio::StreamEnd::Multichannel
             ? "multichannel AMR (\"#!AMR_MC1.0\\n\"), which is not read"
             : "no AMR storage header (\"#!AMR\\n\" or \"#!AMR-WB\\n\")";
}

}  // namespace

std::string RecordFileName(const std::string& base, int number, RecordForm form) {
  return base + "_" + std::to_string(number) + (form == RecordForm::Wav ? ".wav" : ".amr");
}

WrittenRecords WriteRecords(std::span<const std::uint8_t> data, const RecordReport& report,
                            const std::vector<int>& indices, const std::string& base,
                            RecordForm form, const RecordWriteEvents& events) {
  // Held whole, a record is walked in one window.
  return WriteRecords(ViewOf(data), report, indices, base, form, events);
}

WrittenRecords WriteRecords(const ContainerSource& source, const RecordReport& report,
                            const std::vector<int>& indices, const std::string& base,
                            RecordForm form, const RecordWriteEvents& events) {
  WrittenRecords written;
  const int threads = std::max(source.Threads, 1);
  std::vector<audio::RecordWindowReader> readers;
  for (int i = 0; i < threads; ++i)
    readers.push_back(source.NewReader());
  const auto rowOf = [&](std::size_t done) { return report.Row(indices[done]); };
  const auto writable = [form](const RecordRow& row) {
    return form == RecordForm::AsWindow || row.Stream.Codec != audio::AmrCodec::Unknown;
  };
  const auto fill = [&](std::size_t done, int fd, const std::string& fileName, int worker) {
    const RecordRow row = rowOf(done);
    RecordFile file(fd, fileName, worker);
    const audio::RecordWindowReader& read = readers[static_cast<std::size_t>(worker)];
    if (form == RecordForm::AsWindow) {
      file.CopyFrom(source, read, row.Start, *FileSizeOf(report, indices[done], row, form));
    } else if (form == RecordForm::Wav) {
      WriteWav(file, row.Stream, RecordReader(source, read, row.Start), report.Recovery());
    } else {
      WriteTrimmed(file, row.Stream, source, read, row.Start, report.Recovery());
    }
  };
  SideBySideFiles files(threads, {fill,
                                  [&](std::size_t done) {
                                    const RecordRow row = rowOf(done);
                                    if (events.Starting && writable(row))
                                      events.Starting(RecordFileName(base, row.Number, form));
                                  },
                                  [&](std::size_t done) {
                                    const RecordRow row = rowOf(done);
                                    if (!writable(row)) {
                                      if (events.Skipped) events.Skipped(row, WhyNoStream(row));
                                      return;
                                    }
                                    std::string fileName = RecordFileName(base, row.Number, form);
                                    if (events.Written) events.Written(fileName, row);
                                    written.Files.push_back(std::move(fileName));
                                  }});
  const auto total = static_cast<int>(indices.size());
  for (int done = 0; done < total; ++done) {
    if (events.KeepGoing && !events.KeepGoing(done, total)) {
      written.Stopped = true;
      break;
    }
    const auto entry = static_cast<std::size_t>(done);
    const RecordRow row = rowOf(entry);
    if (!writable(row)) {
      files.AddWithoutFile(entry);
      continue;
    }
    std::string fileName = RecordFileName(base, row.Number, form);
    const std::optional<std::int64_t> size = FileSizeOf(report, indices[entry], row, form);
    if (!size) files.AddFailure(entry, std::make_exception_ptr(CreateError(fileName, EFBIG)));
    files.Add(entry, std::move(fileName), *size);
  }
  files.Write();
  // One wait for all the records, before the export reports success.
  if (const auto failure = platform::SyncToDisk(written.Files))
    throw CreateError(failure->Path, failure->Error);
  return written;
}

std::vector<std::int16_t> DecodeRecord(std::span<const std::uint8_t> data, const RecordRow& row,
                                       audio::Recovery recovery) {
  std::vector<std::int16_t> sound;
  if (row.Stream.Codec == audio::AmrCodec::Unknown) return sound;
  sound.reserve(static_cast<std::size_t>(WavSamples(row.Stream)));
  const ContainerSource view = ViewOf(data);
  const audio::RecordWindowReader read = view.NewReader();
  ForEachDecodedPiece(row.Stream, RecordReader(view, read, row.Start), recovery,
                      [&](const std::vector<std::int16_t>& samples) {
                        sound.insert(sound.end(), samples.begin(), samples.end());
                      });
  return sound;
}

std::optional<std::string> NameOfContainer(const std::vector<std::string>& names,
                                           const std::string& container) {
  const std::optional<platform::FileIdentity> identity = platform::IdentityOf(container);
  if (!identity) return std::nullopt;
  for (const std::string& name : names)
    if (platform::IdentityOf(name) == identity) return name;
  return std::nullopt;
}

}  // namespace kestrave::app
