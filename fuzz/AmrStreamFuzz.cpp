// Any bytes as a record: the stream reader never reads or reports past the record, the header
// and the frames it counts make up exactly its valid bytes, it agrees with a plain walk, and the
// walk in pieces answers exactly what the walk in one go does. Going on past damage as well: the
// runs of frames and the gaps it tells of lie in order inside the record and add up to what it
// counts, a walk that stops at damage answers its undamaged part, and a trimmed stream holds
// whole frames only, as many as the record's frames and its gaps' no-data frames.
#include <cstdlib>
#include <vector>

#include "audio/AmrStream.h"
#include "audio/AmrStreamPieces.h"
#include "audio/AmrStreamWindows.h"
#include "support/AmrReference.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace kestrave;
  std::vector<std::uint8_t> record(data, data + size);
  // A quarter of the inputs get a storage header in place of their first byte, so the walk over
  // frames is reached often; an input that starts like a header is taken as it is.
  if (size > 0 && data[0] < 0x40 && data[0] != '#') {
    static const char* const kHeaders[] = {"#!AMR\n", "#!AMR-WB\n", "#!amr\n", "#!Amr-Wb\n"};
    const char* header = kHeaders[data[0] & 3];
    record.erase(record.begin());
    record.insert(record.begin(), header, header + std::char_traits<char>::length(header));
  }
  const audio::AmrStreamInfo info = audio::ReadAmrStream(record);
  const auto total = static_cast<std::int64_t>(record.size());
  if (info.ValidBytes < 0 || info.ValidBytes > total) std::abort();
  if (info.ValidBytes + info.TrailingBytes != total) std::abort();
  std::int64_t counted = info.HeaderBytes;
  for (std::int64_t at = info.HeaderBytes, frame = 0; frame < info.Frames; ++frame) {
    const int bytes =
        audio::FrameBytes(info.Codec, (record[static_cast<std::size_t>(at)] >> 3) & 15);
    if (bytes <= 0) std::abort();
    at += bytes;
    counted += bytes;
  }
  if (counted != info.ValidBytes) std::abort();
  const test::ReferenceWalk walk = test::WalkAmrFrames(record);
  if (walk.Codec != static_cast<int>(info.Codec) || walk.Frames != info.Frames ||
      (walk.Codec != 0 && walk.ValidBytes != info.ValidBytes))
    std::abort();
  if (info.End == audio::StreamEnd::EndOfRecord && info.TrailingBytes != 0) std::abort();
  // Walked in pieces of any size, joined: the same answer, field for field.
  const auto same = [](const audio::AmrStreamInfo& a, const audio::AmrStreamInfo& b) {
    return a.Codec == b.Codec && a.Frames == b.Frames && a.ValidBytes == b.ValidBytes &&
           a.TrailingBytes == b.TrailingBytes && a.End == b.End && a.HeaderBytes == b.HeaderBytes &&
           a.HeaderRepaired == b.HeaderRepaired && a.Gaps == b.Gaps && a.GapBytes == b.GapBytes &&
           a.RecoveredFrames == b.RecoveredFrames && a.FirstGapOffset == b.FirstGapOffset &&
           a.FirstGapCause == b.FirstGapCause;
  };
  const std::size_t pieceBytes = 1 + (size > 0 ? data[size - 1] % 97 : 0);
  for (const audio::AmrStreamInfo& other : audio::ReadAmrStreams({record, record}, 1, pieceBytes))
    if (!same(other, info)) std::abort();
  // Read a window at a time, as from a file: the same answer too.
  const audio::RecordWindowReader view = [&](std::int64_t at, std::int64_t count) {
    if (at < 0 || count < 0 || at + count > total) std::abort();
    return std::span<const std::uint8_t>(record).subspan(static_cast<std::size_t>(at),
                                                         static_cast<std::size_t>(count));
  };
  const std::int64_t windowBytes = 1024 + static_cast<std::int64_t>(pieceBytes) * 7;
  for (const audio::Recovery recovery :
       {audio::Recovery::StopAtDamage, audio::Recovery::Resynchronise})
    if (!same(audio::WindowedStreamWalk::Walk(total, view, recovery, windowBytes),
              recovery == audio::Recovery::StopAtDamage ? info
                                                        : audio::ReadAmrStream(record, recovery)))
      std::abort();

  // Going on past damage.
  std::vector<audio::StreamStretch> stretches;
  const audio::AmrStreamInfo full = audio::ReadAmrStream(
      record, audio::Recovery::Resynchronise,
      [&](const audio::StreamStretch& stretch) { stretches.push_back(stretch); });
  if (full.ValidBytes < 0 || full.GapBytes < 0 || full.TrailingBytes < 0 ||
      full.ValidBytes + full.GapBytes + full.TrailingBytes != total)
    std::abort();
  const test::ReferenceWalk resynchronised = test::WalkAmrFrames(record, true);
  if (resynchronised.Codec != static_cast<int>(full.Codec) ||
      resynchronised.Frames != full.Frames || resynchronised.Gaps != full.Gaps ||
      resynchronised.GapBytes != full.GapBytes ||
      resynchronised.RecoveredFrames != full.RecoveredFrames ||
      (full.Codec != audio::AmrCodec::Unknown && (resynchronised.ValidBytes != full.ValidBytes ||
                                                  resynchronised.Repaired != full.HeaderRepaired)))
    std::abort();
  std::int64_t at = full.HeaderBytes;
  std::int64_t frames = 0;
  std::int64_t gaps = 0;
  for (const audio::StreamStretch& stretch : stretches) {
    if (stretch.Offset != at || stretch.Bytes <= 0 || (stretch.Gap != (stretch.Frames == 0)))
      std::abort();
    at += stretch.Bytes;
    frames += stretch.Frames;
    gaps += stretch.Gap ? 1 : 0;
  }
  if ((!stretches.empty() && at != full.StreamBytes()) || frames != full.Frames ||
      gaps != full.Gaps || at > total)
    std::abort();
  if (!same(audio::UndamagedPart(full), info)) std::abort();
  for (const audio::AmrStreamInfo& other :
       audio::ReadAmrStreams({record, record}, 1, pieceBytes, audio::Recovery::Resynchronise))
    if (!same(other, full)) std::abort();
  if (full.Codec != audio::AmrCodec::Unknown) {
    std::int64_t trimmedFrames = 0;
    const std::int64_t handed = audio::ForEachTrimmedPiece(
        record, full, audio::Recovery::Resynchronise, [&](std::span<const std::uint8_t> piece) {
          for (std::size_t i = 0; i < piece.size(); ++trimmedFrames) {
            const int bytes = audio::FrameBytes(full.Codec, (piece[i] >> 3) & 15);
            if (bytes <= 0 || piece.size() - i < static_cast<std::size_t>(bytes)) std::abort();
            i += static_cast<std::size_t>(bytes);
          }
        });
    if (handed != trimmedFrames || handed != full.Frames + full.GapFrames()) std::abort();
    std::vector<std::uint8_t> whole;
    std::vector<std::uint8_t> windowed;
    audio::ForEachTrimmedPiece(record, full, audio::Recovery::Resynchronise, [&](auto piece) {
      whole.insert(whole.end(), piece.begin(), piece.end());
    });
    audio::ForEachTrimmedPiece(
        view, full, audio::Recovery::Resynchronise, windowBytes,
        [&](auto piece) { windowed.insert(windowed.end(), piece.begin(), piece.end()); });
    if (whole != windowed) std::abort();
  }
  return 0;
}
