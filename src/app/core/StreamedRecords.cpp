#include "app/core/StreamedRecords.h"

#include <algorithm>

#include "app/core/ConverterTexts.h"
#include "app/core/ConverterWorkflow.h"
#include "app/core/SliceExport.h"
#include "audio/AmrStream.h"
#include "audio/AmrStreamPieces.h"
#include "audio/AmrStreamWindows.h"
#include "platform/Exception.h"
#include "platform/ParallelTasks.h"

namespace kestrave::app {
namespace {

// Neighbouring records read with one call, Ranges[First] up to Ranges[End].
struct RecordGroup {
  std::size_t First = 0;
  std::size_t End = 0;
};

// Records that fit a window together make a group; a larger record is a group of its own.
std::vector<RecordGroup> GroupRecords(const std::vector<StreamRange>& ranges, std::int64_t window) {
  std::vector<RecordGroup> groups;
  for (std::size_t first = 0; first < ranges.size();) {
    std::size_t end = first + 1;
    while (end < ranges.size() &&
           ranges[end].Start + ranges[end].Size - ranges[first].Start <= window)
      ++end;
    groups.push_back({first, end});
    first = end;
  }
  return groups;
}

// A group's streams are cut into pieces this large and walked side by side: a group of a few
// records has enough of them to keep every lane of the walk busy.
constexpr std::size_t kStreamPiece = 64 << 10;

// The bytes at At, read into Buffer.
std::span<const std::uint8_t> ReadInto(const ContainerStream& container,
                                       std::vector<std::uint8_t>& buffer, std::int64_t at,
                                       std::int64_t count) {
  if (buffer.size() < static_cast<std::size_t>(count))
    buffer.resize(static_cast<std::size_t>(count));
  container.Read(buffer.data(), count, at);
  return {buffer.data(), static_cast<std::size_t>(count)};
}

// A record longer than a window, its windows walked side by side on Threads threads, each from
// where its frames most likely begin; then one walk joins them in order, taking each window's
// result where the stream really reaches that window's start and walking the rest itself (past
// damage, or where a window's start was not on the stream), so the answer is always exact.
audio::AmrStreamInfo WalkLongRecord(const ContainerStream& container, const StreamRange& range,
                                    int threads, std::int64_t window) {
  using audio::WindowedStreamWalk;
  constexpr std::int64_t kMargin = WindowedStreamWalk::kMargin;
  // How far past a window's start its frames are looked for.
  constexpr std::int64_t kSearch = 4096;
  std::vector<std::uint8_t> buffer;
  WindowedStreamWalk walk(
      ReadInto(container, buffer, range.Start, std::min<std::int64_t>(range.Size, 16)), range.Size,
      audio::Recovery::Resynchronise);
  if (walk.Done()) return walk.Info();
  const std::int64_t first = walk.NextFrom();
  struct Guess {
    std::int64_t Start = -1;
    audio::FrameWalk Walk;
    bool Last = false;
  };
  std::vector<Guess> guesses(static_cast<std::size_t>((range.Size - first + window - 1) / window));
  std::vector<std::vector<std::uint8_t>> buffers(static_cast<std::size_t>(std::max(threads, 1)));
  platform::RunTasks(
      static_cast<std::int64_t>(guesses.size()), threads, [&](std::int64_t index, int worker) {
        const std::int64_t begin = first + index * window;
        const std::int64_t end = std::min(begin + window, range.Size);
        const std::span<const std::uint8_t> bytes =
            ReadInto(container, buffers[static_cast<std::size_t>(worker)], range.Start + begin,
                     std::min(end + kMargin, range.Size) - begin);
        const std::int64_t start =
            index == 0
                ? 0
                : audio::FindFrameStart(bytes, walk.Codec(), 0, std::min(kSearch, end - begin));
        if (start < 0) return;
        audio::FrameWalk frames =
            audio::WalkFramesInPieces(bytes, walk.Codec(), start, end - begin, kStreamPiece);
        frames.At += begin;
        guesses[static_cast<std::size_t>(index)] = {begin + start, frames, end == range.Size};
      });
  // Windows where no frames seemed to begin have nothing to take; the others start in order.
  std::erase_if(guesses, [](const Guess& guess) { return guess.Start < 0; });
  while (!walk.Done()) {
    const std::int64_t at = walk.NextFrom();
    auto next = std::upper_bound(
        guesses.begin(), guesses.end(), at,
        [](std::int64_t position, const Guess& guess) { return position < guess.Start; });
    // The window whose walk starts where the stream is now.
    if (next != guesses.begin() && std::prev(next)->Start == at && walk.WalkingFrom(at)) {
      walk.Adopt(std::prev(next)->Walk, std::prev(next)->Last);
      continue;
    }
    // Up to the next window's start, where its walk may be taken.
    const std::int64_t until = next != guesses.end() ? next->Start + kMargin : range.Size;
    const std::int64_t reach =
        std::min(range.Size, std::clamp(until, at + 2 * kMargin, at + window));
    walk.Feed(ReadInto(container, buffer, range.Start + at, reach - at));
  }
  return walk.Info();
}

std::vector<audio::AmrStreamInfo> WalkStreams(const ContainerStream& container,
                                              const std::vector<StreamRange>& ranges, int threads,
                                              std::int64_t window) {
  const std::vector<RecordGroup> groups = GroupRecords(ranges, window);
  std::vector<audio::AmrStreamInfo> infos(ranges.size());
  std::vector<std::vector<std::uint8_t>> buffers(static_cast<std::size_t>(std::max(threads, 1)));
  // The groups of records that fit a window go to the threads together; a longer record has the
  // threads to itself afterwards.
  platform::RunTasks(
      static_cast<std::int64_t>(groups.size()), threads, [&](std::int64_t index, int worker) {
        const RecordGroup group = groups[static_cast<std::size_t>(index)];
        const StreamRange& first = ranges[group.First];
        if (first.Size > window) return;
        const StreamRange& last = ranges[group.End - 1];
        const std::span<const std::uint8_t> bytes =
            ReadInto(container, buffers[static_cast<std::size_t>(worker)], first.Start,
                     last.Start + last.Size - first.Start);
        std::vector<std::span<const std::uint8_t>> spans;
        for (std::size_t i = group.First; i < group.End; ++i)
          spans.push_back(bytes.subspan(static_cast<std::size_t>(ranges[i].Start - first.Start),
                                        static_cast<std::size_t>(ranges[i].Size)));
        // One thread per group: the groups are what the threads share.
        const std::vector<audio::AmrStreamInfo> walked =
            audio::ReadAmrStreams(spans, 1, kStreamPiece, audio::Recovery::Resynchronise);
        std::copy(walked.begin(), walked.end(),
                  infos.begin() + static_cast<std::ptrdiff_t>(group.First));
      });
  buffers.clear();
  for (const RecordGroup& group : groups)
    if (ranges[group.First].Size > window)
      infos[group.First] = WalkLongRecord(container, ranges[group.First], threads, window);
  return infos;
}

}  // namespace

RecordReport StreamRecordReport(const ContainerStream& container, const RecordStarts& starts,
                                audio::Recovery recovery, int threads, std::int64_t window) {
  RecordPositions positions;
  positions.Magics = static_cast<int>(starts.Magics.size());
  positions.MagicAt = [&](int index) { return starts.Magics[static_cast<std::size_t>(index)]; };
  positions.Markers = static_cast<int>(starts.Markers.size());
  positions.MarkerAt = [&](int index) { return starts.Markers[static_cast<std::size_t>(index)]; };
  const StreamWalker walker{[&](const std::vector<StreamRange>& ranges) {
    return WalkStreams(container, ranges, threads, window);
  }};
  return BuildRecordReport(container.Size(), positions, recovery, walker);
}

std::vector<std::string> StreamAudio(const ContainerStream& container, const RecordReport& report,
                                     const std::string& base, RecordForm form,
                                     const RecordWriteEvents& events, std::int64_t window) {
  if (!ConverterWorkflow::BaseHasName(base)) throw platform::Exception(text::kNoRecordBase);
  RefuseContainerAsTarget(container, report.Count(),
                          [&](int number) { return RecordFileName(base, number, form); });
  std::vector<std::uint8_t> buffer;
  const ContainerSource source{
      [&](std::int64_t at, std::int64_t count) { return ReadInto(container, buffer, at, count); },
      [&](std::int64_t at, std::int64_t count, int fd, const std::string& fileName) {
        container.CopySlice({at, at + count - 1}, fd, fileName);
      },
      window};
  std::vector<int> all(static_cast<std::size_t>(report.Count()));
  for (int i = 0; i < report.Count(); ++i)
    all[static_cast<std::size_t>(i)] = i;
  return WriteRecords(source, report, all, base, form, events).Files;
}

}  // namespace kestrave::app
