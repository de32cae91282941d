#include "app/core/ContainerPlan.h"

#include <algorithm>

#include "app/core/ConverterTexts.h"
#include "hexeditor/Messages.h"

namespace kestrave::app {

std::optional<std::string> ScanErrorForSize(std::int64_t size) {
  // The magic scan ends by selecting bytes 0 and 1.
  if (size < 1) return std::string(hex::msg::kInvalidSelectionStart);
  if (size < 2) return std::string(hex::msg::kInvalidSelectionEnd);
  return std::nullopt;
}

std::string ScanStatusText(const RecordStarts& starts) {
  if (!CanSaveRecords(starts)) return text::kNoRecords;
  std::string status = text::kFoundPrefix;
  status += std::to_string(starts.Magics.size());
  status += text::kFoundSuffix;
  return status;
}

bool CanSaveRecords(const RecordStarts& starts) {
  return !starts.Magics.empty();
}

std::string ExportPlan::StopMessage() const {
  return MissingLine ? "List index out of bounds (" + std::to_string(*MissingLine) + ")" : "";
}

ExportPlan PlanExport(const RecordStarts& starts, std::int64_t size) {
  ExportPlan plan;
  const auto count = static_cast<std::int64_t>(starts.Markers.size());
  const auto magics = static_cast<std::int64_t>(starts.Magics.size());
  // Record i needs magic line i and, but for the last record, line i + 1.
  const std::int64_t whole = count <= magics ? count : std::max<std::int64_t>(magics - 1, 0);
  plan.NamesChecked = static_cast<int>(whole);
  plan.Slices.reserve(static_cast<std::size_t>(whole));
  for (std::int64_t i = 0; i < whole; ++i) {
    const std::int64_t start = starts.Magics[static_cast<std::size_t>(i)];
    const std::int64_t last =
        i == count - 1 ? size - 1 : starts.Magics[static_cast<std::size_t>(i + 1)] - 1;
    plan.Slices.push_back({start, last});
  }
  if (count > magics) plan.MissingLine = static_cast<int>(magics);
  return plan;
}

}  // namespace kestrave::app
