#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "app/core/ContainerStream.h"
#include "app/core/RecordFiles.h"
#include "app/core/RecordReport.h"
#include "audio/AmrStream.h"

namespace kestrave::app {

// The records of a container read from its file: their report, and their streams trimmed or
// decoded, with no more of the container held than a piece or a window per thread.

// What is read at a time where the survey could not tell what a record's stream holds.
inline constexpr std::int64_t kRecordWindow = std::int64_t{4} << 20;

// What one read of a container finds: where its records start and their markers lie, and, for
// each piece read, what the records' streams hold there as far as the piece alone can tell. The
// report is then made from it with few bytes read again: where damage is, or where a piece's
// frames did not begin where they seemed to.
struct ContainerSurvey {
  RecordStarts Starts;
  // A walk over frames (positions in the container); Last: it went to its record's end.
  struct Walk {
    std::int64_t From = -1;
    audio::FrameWalk Frames;
    bool Last = false;
  };
  // What the piece where a record starts tells of its stream: the whole of it when the record
  // ends within the piece's reach (Complete), else its storage header and its frames from there
  // to the piece's end. For each piece, those of the records that start in it, in order. Kept
  // small: a container may hold millions of records.
  struct Head {
    // Complete: all of it. Otherwise its codec, header and frames so far, and why they stopped
    // (End), or why there is no stream.
    audio::PackedStreamInfo Stream;
    std::int64_t At = 0;  // where the frames got to (not Complete)
    bool Stopped = false;
    bool Last = false;
    bool Complete = false;
  };
  std::vector<std::vector<Head>> Heads;
  // For each piece, the frames of the record under way at its start, walked from where they
  // seem to begin, once as narrowband and once as wideband: taken where the record's own walk
  // arrives exactly there.
  std::int64_t Piece = 0;
  std::vector<std::array<Walk, 2>> Guesses;
};

// Reads the container once, Piece bytes at a time on Threads threads.
ContainerSurvey SurveyContainer(const ContainerStream& container,
                                const ContainerStream::Progress& progress = {},
                                std::int64_t piece = ContainerStream::kPiece,
                                int threads = ContainerStream::DefaultThreads());

// The report BuildRecordReport makes of the container held whole, finished from the survey with
// Window bytes (at least 1 KiB) read at a time where it must read again. The survey's heads are
// used up: each piece's are released once taken.
RecordReport StreamRecordReport(const ContainerStream& container, ContainerSurvey& survey,
                                audio::Recovery recovery, std::int64_t window = kRecordWindow);

// Every record of the container with an AMR stream, trimmed or as WAV (kestrave-cli extract
// --trim, --wav), Threads of them side by side; a base without a name, and names that stand for
// the container, are refused first. Answers the files written.
std::vector<std::string> StreamAudio(const ContainerStream& container, const RecordReport& report,
                                     const std::string& base, RecordForm form,
                                     const RecordWriteEvents& events = {},
                                     std::int64_t window = kRecordWindow,
                                     int threads = ContainerStream::DefaultThreads());

}  // namespace kestrave::app
