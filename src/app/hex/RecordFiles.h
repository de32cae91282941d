#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "app/hex/RecordScan.h"

namespace kestrave::app {

// The files the records panel writes, each as `kestrave-cli extract` writes it: the record as
// "Сохранить AMR" cuts it, its storage header and complete frames (--trim), or its sound (--wav).
enum class RecordForm { AsWindow, Trimmed, Wav };

// BASE_n.amr, or BASE_n.wav.
std::string RecordFileName(const std::string& base, int number, RecordForm form);

// The first of the names that stands for the container (by its name, a link or another hard
// link): a record written there would destroy it.
std::optional<std::string> NameOfContainer(const std::vector<std::string>& names,
                                           const std::string& container);

struct RecordWriteEvents {
  // Before each record: the records done so far of all; false stops before this one.
  std::function<bool(int done, int total)> KeepGoing;
  // A record with no AMR stream to write as trimmed AMR or WAV; the others go on.
  std::function<void(const RecordRow& row)> Skipped;
};

struct WrittenRecords {
  std::vector<std::string> Files;
  bool Stopped = false;
};

// Writes records Indices of Scan, whose bytes Data holds, to BASE_n in Form, each complete
// under its name or not at all, and all brought to the disk together at the end. A record the
// window does not write is cut as the panel shows it. A file that cannot be written stops the
// rest with an exception naming it; the files before it stay.
WrittenRecords WriteRecords(std::span<const std::uint8_t> data, const RecordScan& scan,
                            const std::vector<int>& indices, const std::string& base,
                            RecordForm form, const RecordWriteEvents& events = {});

// A record's sound as 16-bit samples at its codec's rate, decoded as --wav decodes it; empty
// without a storage header.
std::vector<std::int16_t> DecodeRecord(std::span<const std::uint8_t> data, const RecordRow& row);

}  // namespace kestrave::app
