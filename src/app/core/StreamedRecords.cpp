#include "app/core/StreamedRecords.h"

#include <algorithm>

#include "app/core/ConverterTexts.h"
#include "app/core/ConverterWorkflow.h"
#include "app/core/SliceExport.h"
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

std::vector<audio::AmrStreamInfo> WalkStreams(const ContainerStream& container,
                                              const std::vector<StreamRange>& ranges, int threads,
                                              std::int64_t window) {
  const std::vector<RecordGroup> groups = GroupRecords(ranges, window);
  std::vector<audio::AmrStreamInfo> infos(ranges.size());
  std::vector<std::vector<std::uint8_t>> buffers(static_cast<std::size_t>(std::max(threads, 1)));
  platform::RunTasks(
      static_cast<std::int64_t>(groups.size()), threads, [&](std::int64_t index, int worker) {
        std::vector<std::uint8_t>& buffer = buffers[static_cast<std::size_t>(worker)];
        const RecordGroup group = groups[static_cast<std::size_t>(index)];
        const StreamRange& first = ranges[group.First];
        if (first.Size > window) {
          const auto read = [&](std::int64_t at, std::int64_t count) {
            return ReadInto(container, buffer, first.Start + at, count);
          };
          infos[group.First] = audio::WindowedStreamWalk::Walk(
              first.Size, read, audio::Recovery::Resynchronise, window);
          return;
        }
        const StreamRange& last = ranges[group.End - 1];
        const std::span<const std::uint8_t> bytes =
            ReadInto(container, buffer, first.Start, last.Start + last.Size - first.Start);
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
  const ContainerReader read = [&](std::int64_t at, std::int64_t count) {
    return ReadInto(container, buffer, at, count);
  };
  std::vector<int> all(static_cast<std::size_t>(report.Count()));
  for (int i = 0; i < report.Count(); ++i)
    all[static_cast<std::size_t>(i)] = i;
  return WriteRecords(read, window, report, all, base, form, events).Files;
}

}  // namespace kestrave::app
