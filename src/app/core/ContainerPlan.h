#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/core/RecordStarts.h"

namespace kestrave::app {

// What the converter makes of a container, worked out from its size and where its records start
// and their markers lie, without the container's bytes: what the window shows and what its
// "Сохранить AMR" writes. The command line streams containers by it; the window's workflow, which
// holds the container whole, stays the reference it is checked against.

// The error the scan of data this small stops with ("Invalid selection start" for no data,
// "Invalid selection end" for one byte), or nothing.
std::optional<std::string> ScanErrorForSize(std::int64_t size);
// "Найдено N записей" or "Звуковые записи не найдены".
std::string ScanStatusText(const RecordStarts& starts);
// Whether the window lets the user save: there is a record start.
bool CanSaveRecords(const RecordStarts& starts);

// A record file's bytes in the container: Start to Last, both included.
struct RecordSlice {
  std::int64_t Start = 0;
  std::int64_t Last = 0;
  std::int64_t Size() const { return Last - Start + 1; }
};

// "Сохранить AMR": one record per marker, each from its magic to the byte before the next magic,
// the last to the end of the data. With more markers than magics the export writes the records
// before the first missing magic line and then stops with "List index out of bounds (N)".
struct ExportPlan {
  std::vector<RecordSlice> Slices;
  // How many record names are checked against the container before anything is written.
  int NamesChecked = 0;
  // The list index whose absence stops the export after the slices, if any.
  std::optional<int> MissingLine;
  // The error the export stops with after the slices: "List index out of bounds (N)".
  std::string StopMessage() const;
};
ExportPlan PlanExport(const RecordStarts& starts, std::int64_t size);

}  // namespace kestrave::app
