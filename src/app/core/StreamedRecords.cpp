#include "app/core/StreamedRecords.h"

#include <algorithm>
#include <memory>

#include "app/core/ConverterTexts.h"
#include "app/core/ConverterWorkflow.h"
#include "app/core/SliceExport.h"
#include "audio/AmrStream.h"
#include "audio/AmrStreamPieces.h"
#include "audio/AmrStreamWindows.h"
#include "platform/Exception.h"

namespace kestrave::app {
namespace {

using Survey = ContainerSurvey;
constexpr std::int64_t kMargin = audio::WindowedStreamWalk::kMargin;
// How far past a piece's start the frames of the record under way are looked for.
constexpr std::int64_t kSearch = 4096;
// Long stretches of frames are cut into pieces this large and walked side by side.
constexpr std::size_t kStreamPiece = 64 << 10;

std::span<const std::uint8_t> ReadInto(const ContainerStream& container,
                                       std::vector<std::uint8_t>& buffer, std::int64_t at,
                                       std::int64_t count) {
  if (buffer.size() < static_cast<std::size_t>(count))
    buffer.resize(static_cast<std::size_t>(count));
  container.Read(buffer.data(), count, at);
  return {buffer.data(), static_cast<std::size_t>(count)};
}

int CodecIndex(audio::AmrCodec codec) {
  return codec == audio::AmrCodec::Wideband ? 1 : 0;
}

// One piece of the container as the survey reads it: the piece's bytes and a margin after them,
// and every place a record's stream must end (both texts' starts) up to the margin's end.
class SurveyedPiece {
 public:
  SurveyedPiece(std::span<const std::uint8_t> bytes, std::int64_t at, std::int64_t length,
                std::int64_t containerSize, const RecordStarts& near)
      : bytes_(bytes), at_(at), end_(at + length), last_(end_ == containerSize) {
    cuts_.resize(near.Magics.size() + near.Markers.size());
    std::merge(near.Magics.begin(), near.Magics.end(), near.Markers.begin(), near.Markers.end(),
               cuts_.begin());
  }

  // The first place from Position on (After: past it) where a stream must end, or -1.
  std::int64_t CutFrom(std::int64_t position, bool after) const {
    const auto cut = after ? std::upper_bound(cuts_.begin(), cuts_.end(), position)
                           : std::lower_bound(cuts_.begin(), cuts_.end(), position);
    return cut == cuts_.end() ? -1 : *cut;
  }

  // The bytes a record whose stream ends at Cut (-1: somewhere past the margin) may use, from
  // the piece's start.
  std::span<const std::uint8_t> RecordBytes(std::int64_t cut) const {
    return bytes_.first(static_cast<std::size_t>((cut >= 0 ? cut : at_ + Held()) - at_));
  }

  // The frames from From, up to the piece's end or the record's, when sooner.
  Survey::Walk Walk(audio::AmrCodec codec, std::int64_t from, std::int64_t cut) const {
    const std::span<const std::uint8_t> record = RecordBytes(cut);
    const std::int64_t limit = std::max(from, cut >= 0 ? std::min(end_, cut) : end_);
    audio::FrameWalk frames =
        limit - from >= 8 * static_cast<std::int64_t>(kStreamPiece)
            ? audio::WalkFramesInPieces(record, codec, from - at_, limit - at_, kStreamPiece)
            : audio::WalkFrames(record, audio::FrameSizesOf(codec), from - at_, limit - at_);
    frames.At += at_;
    return {from, frames, cut >= 0 ? cut <= end_ : last_};
  }

  // The frames of the record under way at the piece's start, from where they seem to begin.
  Survey::Walk Guess(audio::AmrCodec codec) const {
    const std::int64_t cut = CutFrom(at_, false);
    if (cut == at_) return {};
    const std::span<const std::uint8_t> record = RecordBytes(cut);
    const std::int64_t to =
        std::min<std::int64_t>(kSearch, (cut >= 0 ? std::min(cut, end_) : end_) - at_);
    const std::int64_t start = audio::FindFrameStart(record, codec, 0, to);
    return start < 0 ? Survey::Walk{} : Walk(codec, at_ + start, cut);
  }

  // The record starting at Magic (in the piece): its whole stream when the record ends within
  // reach, else its storage header and its frames.
  Survey::Head Head(std::int64_t magic) const {
    const std::int64_t cut = CutFrom(magic, true);
    const std::span<const std::uint8_t> record =
        RecordBytes(cut).subspan(static_cast<std::size_t>(magic - at_));
    Survey::Head head;
    if (cut >= 0) {
      head.Stream =
          audio::PackedStreamInfo::Of(audio::ReadAmrStream(record, audio::Recovery::Resynchronise));
      head.Complete = true;
      return head;
    }
    const audio::StreamStart start =
        audio::ReadStreamHeader(record.first(std::min<std::size_t>(16, record.size())));
    head.Stream.Codec = start.Codec;
    head.Stream.HeaderRepaired = start.Repaired;
    head.Stream.End = start.Refused;
    if (start.Codec == audio::AmrCodec::Unknown) return head;
    const Survey::Walk frames = Walk(start.Codec, magic + start.HeaderBytes, cut);
    head.At = frames.Frames.At;
    head.Stream.Frames = static_cast<std::int32_t>(frames.Frames.Frames);
    head.Stream.End = frames.Frames.End;
    head.Stopped = frames.Frames.Stopped;
    head.Last = frames.Last;
    return head;
  }

 private:
  std::int64_t Held() const { return static_cast<std::int64_t>(bytes_.size()); }

  std::span<const std::uint8_t> bytes_;
  std::int64_t at_ = 0;
  std::int64_t end_ = 0;
  bool last_ = false;
  std::vector<std::int64_t> cuts_;
};

// The record at Range, its walk begun by the survey and finished here: the survey's walks are
// taken wherever the record's own walk arrives exactly where one begins, and the rest is read
// again and walked (past damage, or where a piece's frames did not begin where they seemed to),
// so the answer is always exact.
audio::AmrStreamInfo FinishWalk(const ContainerStream& container, const Survey& survey,
                                const Survey::Head& head, const StreamRange& range,
                                std::int64_t window, std::vector<std::uint8_t>& buffer) {
  if (head.Complete) return head.Stream.Unpacked(range.Size);
  audio::StreamStart start;
  start.Codec = head.Stream.Codec;
  start.Repaired = head.Stream.HeaderRepaired;
  start.Refused = head.Stream.End;
  if (start.Codec != audio::AmrCodec::Unknown)
    start.HeaderBytes = static_cast<std::int64_t>(audio::StorageHeader(start.Codec).size());
  audio::WindowedStreamWalk walk(start, range.Size, audio::Recovery::Resynchronise);
  const auto take = [&](const Survey::Walk& frames) {
    audio::FrameWalk relative = frames.Frames;
    relative.At -= range.Start;
    walk.Adopt(relative, frames.Last);
  };
  if (!walk.Done())
    take({range.Start + start.HeaderBytes,
          {head.At, head.Stream.Frames, head.Stopped, head.Stream.End},
          head.Last});
  const auto pieces = static_cast<std::int64_t>(survey.Guesses.size());
  const int codec = CodecIndex(walk.Codec());
  while (!walk.Done()) {
    const std::int64_t at = walk.NextFrom();
    const std::int64_t position = range.Start + at;
    std::int64_t piece = std::min(position / survey.Piece, pieces - 1);
    const Survey::Walk& guess = survey.Guesses[static_cast<std::size_t>(piece)][codec];
    if (guess.From == position && walk.WalkingFrom(at)) {
      take(guess);
      continue;
    }
    // Up to the next piece's walk, where it may be taken.
    std::int64_t until = range.Size;
    for (; piece < pieces && piece * survey.Piece < position + window; ++piece) {
      const Survey::Walk& next = survey.Guesses[static_cast<std::size_t>(piece)][codec];
      if (next.From > position) {
        until = next.From - range.Start + kMargin;
        break;
      }
    }
    const std::int64_t reach =
        std::min(range.Size, std::clamp(until, at + 2 * kMargin, at + window));
    walk.Feed(ReadInto(container, buffer, position, reach - at));
  }
  return walk.Info();
}

}  // namespace

ContainerSurvey SurveyContainer(const ContainerStream& container,
                                const ContainerStream::Progress& progress, std::int64_t piece,
                                int threads) {
  const RecordStartSearch search;
  piece = std::max<std::int64_t>(piece, 1);
  const auto pieces = static_cast<std::size_t>((container.Size() + piece - 1) / piece);
  ContainerSurvey survey;
  survey.Piece = piece;
  survey.Guesses.resize(pieces);
  std::vector<RecordStarts> found(pieces);
  survey.Heads.resize(pieces);
  container.ReadPieces(
      piece, kMargin + search.Longest() - 1, threads, progress,
      [&](std::int64_t index, std::int64_t at, std::int64_t length,
          std::span<const std::uint8_t> bytes, int) {
        const auto i = static_cast<std::size_t>(index);
        // Up to the margin's end, where a stream of this piece may end; the piece's own starts
        // are those before its end.
        RecordStarts near;
        search.Search(bytes, at,
                      std::min(length + kMargin, static_cast<std::int64_t>(bytes.size())), near);
        const auto inPiece = [&](const std::vector<std::int64_t>& all) {
          return std::vector<std::int64_t>(all.begin(),
                                           std::lower_bound(all.begin(), all.end(), at + length));
        };
        found[i] = {inPiece(near.Magics), inPiece(near.Markers)};
        const SurveyedPiece surveyed(bytes, at, length, container.Size(), near);
        for (const audio::AmrCodec codec : {audio::AmrCodec::Narrowband, audio::AmrCodec::Wideband})
          survey.Guesses[i][CodecIndex(codec)] = surveyed.Guess(codec);
        // Kept at their size: a container may hold millions of records.
        survey.Heads[i].reserve(found[i].Magics.size());
        for (const std::int64_t magic : found[i].Magics)
          survey.Heads[i].push_back(surveyed.Head(magic));
      });
  survey.Starts = JoinStarts(found);
  return survey;
}

RecordReport StreamRecordReport(const ContainerStream& container, ContainerSurvey& survey,
                                audio::Recovery recovery, std::int64_t window) {
  const RecordStarts& starts = survey.Starts;
  RecordPositions positions;
  positions.Magics = static_cast<int>(starts.Magics.size());
  positions.MagicAt = [&](int index) { return starts.Magics[static_cast<std::size_t>(index)]; };
  positions.Markers = static_cast<int>(starts.Markers.size());
  positions.MarkerAt = [&](int index) { return starts.Markers[static_cast<std::size_t>(index)]; };
  window = std::max<std::int64_t>(window, 2 * kMargin);
  std::vector<std::uint8_t> buffer;
  // The heads come piece by piece in the order of the records.
  std::size_t piece = 0;
  std::size_t next = 0;
  const auto nextHead = [&]() -> const Survey::Head& {
    while (next == survey.Heads[piece].size()) {
      // A piece's heads are done with: a container of millions of records holds many.
      std::vector<Survey::Head>().swap(survey.Heads[piece]);
      ++piece;
      next = 0;
    }
    return survey.Heads[piece][next++];
  };
  const StreamWalker walker{[&](const std::vector<StreamRange>& ranges) {
    std::vector<audio::AmrStreamInfo> infos;
    infos.reserve(ranges.size());
    for (const StreamRange& range : ranges)
      infos.push_back(FinishWalk(container, survey, nextHead(), range, window, buffer));
    return infos;
  }};
  return BuildRecordReport(container.Size(), positions, recovery, walker);
}

std::vector<std::string> StreamAudio(const ContainerStream& container, const RecordReport& report,
                                     const std::string& base, RecordForm form,
                                     const RecordWriteEvents& events, std::int64_t window,
                                     int threads) {
  if (!ConverterWorkflow::BaseHasName(base)) throw platform::Exception(text::kNoRecordBase);
  RefuseContainerAsTarget(container, report.Count(),
                          [&](int number) { return RecordFileName(base, number, form); });
  const ContainerSource source{
      [&container]() -> audio::RecordWindowReader {
        return [&container, buffer = std::make_shared<std::vector<std::uint8_t>>()](
                   std::int64_t at, std::int64_t count) {
          return ReadInto(container, *buffer, at, count);
        };
      },
      [&](std::int64_t at, std::int64_t count, int fd, const std::string& fileName) {
        container.CopySlice({at, at + count - 1}, fd, fileName);
      },
      window, threads};
  std::vector<int> all(static_cast<std::size_t>(report.Count()));
  for (int i = 0; i < report.Count(); ++i)
    all[static_cast<std::size_t>(i)] = i;
  return WriteRecords(source, report, all, base, form, events).Files;
}

}  // namespace kestrave::app
