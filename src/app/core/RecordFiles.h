#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "app/core/RecordReport.h"
#include "audio/AmrStreamWindows.h"

namespace kestrave::app {

class ConverterWorkflow;

// The forms a record is written in: as "Сохранить AMR" cuts it, byte for byte; its storage
// header (the standard one, whatever letter case the record has) and frames only; or its sound
// decoded to a WAV file.
enum class RecordForm { AsWindow, Trimmed, Wav };

// The file record Number of an export to Base goes to in this form: BASE_n.amr or BASE_n.wav.
std::string RecordFileName(const std::string& base, int number, RecordForm form);

struct RecordWriteEvents {
  // Before each record: the records done so far of all; false stops before this one.
  std::function<bool(int done, int total)> KeepGoing;
  // A record's file is about to be written.
  std::function<void(const std::string& fileName)> Starting;
  // A record's file stands complete under its name.
  std::function<void(const std::string& fileName, const RecordRow& row)> Written;
  // A record without a stream to write as trimmed AMR or WAV, and why; the others go on.
  std::function<void(const RecordRow& row, const std::string& why)> Skipped;
};

struct WrittenRecords {
  std::vector<std::string> Files;
  bool Stopped = false;
};

// Writes records Indices of the report on Data to BASE_n in Form, each complete under its name
// or not at all, all brought to the disk together at the end. Trimmed and decoded files hold the
// frames the report counts, in order; each gap becomes no-data frames for its estimated duration
// (audio::AmrStreamInfo::GapFramesFor), so the sound keeps its timeline. A record the window does
// not write is cut, as its own form, as its row shows it. A file that cannot be written stops the
// rest with an exception naming it; the files before it stay.
WrittenRecords WriteRecords(std::span<const std::uint8_t> data, const RecordReport& report,
                            const std::vector<int>& indices, const std::string& base,
                            RecordForm form, const RecordWriteEvents& events = {});

// Where an export takes a container's bytes from. NewReader makes a reader for one thread,
// answering the bytes from At, Count of them, viewed where they lie or read into a buffer that
// lasts until its next call; CopyTo, where given, copies them straight into the open file Fd
// named FileName, without passing them through here; a record's stream is walked WindowBytes at
// a time. With Threads above one, records are written that many side by side.
struct ContainerSource {
  std::function<audio::RecordWindowReader()> NewReader;
  std::function<void(std::int64_t at, std::int64_t count, int fd, const std::string& fileName)>
      CopyTo;
  std::int64_t WindowBytes = 0;
  int Threads = 1;
};
// The same for a container taken from Source.
WrittenRecords WriteRecords(const ContainerSource& source, const RecordReport& report,
                            const std::vector<int>& indices, const std::string& base,
                            RecordForm form, const RecordWriteEvents& events = {});

// A record's sound as 16-bit samples at its codec's rate, decoded as a WAV file of it is; empty
// without a storage header.
std::vector<std::int16_t> DecodeRecord(std::span<const std::uint8_t> data, const RecordRow& row,
                                       audio::Recovery recovery);

// The first of the names that stands for the file Container (by its name, a link or another
// hard link): a record written there would destroy it.
std::optional<std::string> NameOfContainer(const std::vector<std::string>& names,
                                           const std::string& container);

}  // namespace kestrave::app
