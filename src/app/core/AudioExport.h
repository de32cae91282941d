#pragma once

#include <functional>
#include <string>
#include <vector>

#include "app/core/RecordReport.h"

namespace kestrave::app {

class ConverterWorkflow;

// The forms a record can take besides the window's byte-exact slice: its storage header and
// complete frames only, or its sound decoded to a WAV file.
enum class AudioForm { Trimmed, Wav };

// The file record Number of an export to Base goes to in this form: BASE_n.amr or BASE_n.wav.
std::string AudioFileName(const std::string& base, int number, AudioForm form);

struct AudioExportEvents {
  // A record's file is about to be written.
  std::function<void(const std::string& fileName)> Starting;
  // A record's file stands complete under its name.
  std::function<void(const std::string& fileName, const RecordRow& row)> Written;
  // A record has no stream to write; the others go on.
  std::function<void(const RecordRow& row, const std::string& why)> Skipped;
};

// Writes every record of the report whose AMR stream has a storage header, numbered as the
// window numbers them, each complete under its name or not at all, and all brought to the disk
// together before it returns. Files start with the standard storage header and hold the frames
// the report counts, in order; each gap becomes no-data frames for its estimated duration
// (audio::AmrStreamInfo::GapFramesFor), so the sound keeps its timeline. Answers the files written.
// A file that cannot be written stops the export with an exception naming it; names that stand for
// the container are refused first.
std::vector<std::string> ExportAudio(const ConverterWorkflow& workflow, const RecordReport& report,
                                     const std::string& base, AudioForm form,
                                     const AudioExportEvents& events = {});

}  // namespace kestrave::app
