#pragma once

// What the converter makes of a container file, by the window's workflow (the reference: the
// component instances and the clipboard) and by the command line's streaming, so the two can be
// compared on any container. Header only; needs kestrave_app_core.

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/core/ContainerPlan.h"
#include "app/core/ContainerStream.h"
#include "app/core/ConverterWorkflow.h"
#include "app/core/SliceExport.h"
#include "hexeditor/HexEditorError.h"
#include "platform/Exception.h"

namespace kestrave::test {

struct ConverterOutcome {
  std::string ScanError;
  std::string Status;
  std::vector<std::int64_t> Magics;
  std::vector<std::int64_t> Markers;
  bool Saves = false;
  std::string ExportError;
  // The record files in the order they were written: name and content.
  std::vector<std::pair<std::string, std::string>> Files;
  bool operator==(const ConverterOutcome&) const = default;
};

inline std::string FileText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

template <typename Work>
std::string ErrorOf(Work&& work) {
  try {
    work();
  } catch (const platform::Exception& e) {
    return e.Message();
  }
  return "";
}

// Exports to Base + "_n.amr" as "Сохранить AMR" does, when the scan lets it.
inline ConverterOutcome ByWorkflow(const std::string& container, const std::string& base) {
  ConverterOutcome outcome;
  app::ConverterWorkflow workflow;
  outcome.ScanError = ErrorOf([&] { workflow.OpenContainer(container); });
  if (!outcome.ScanError.empty()) return outcome;
  outcome.Status = workflow.StatusText();
  for (int i = 0; i < workflow.ListBox1.Count(); ++i)
    outcome.Magics.push_back(std::stoll(workflow.ListBox1.Strings(i)));
  for (int i = 0; i < workflow.ListBox2.Count(); ++i)
    outcome.Markers.push_back(std::stoll(workflow.ListBox2.Strings(i)));
  outcome.Saves = workflow.SaveButtonsEnabled();
  if (!outcome.Saves) return outcome;
  outcome.ExportError = ErrorOf([&] {
    workflow.ExportRecords(base, [&](const std::string& name) {
      outcome.Files.emplace_back(std::filesystem::path(name).filename(), FileText(name));
    });
  });
  return outcome;
}

// The same by reading the container Piece bytes at a time.
inline ConverterOutcome ByStream(const std::string& container, const std::string& base,
                                 std::int64_t piece) {
  ConverterOutcome outcome;
  std::unique_ptr<app::ContainerStream> stream;
  app::RecordStarts starts;
  outcome.ScanError = ErrorOf([&] {
    stream = std::make_unique<app::ContainerStream>(container);
    starts = stream->FindStarts({}, piece);
    if (const auto error = app::ScanErrorForSize(stream->Size())) throw hex::EHexEditor(*error);
  });
  if (!outcome.ScanError.empty()) return outcome;
  outcome.Status = app::ScanStatusText(starts);
  outcome.Magics = starts.Magics;
  outcome.Markers = starts.Markers;
  outcome.Saves = app::CanSaveRecords(starts);
  if (!outcome.Saves) return outcome;
  outcome.ExportError = ErrorOf([&] {
    app::ExportSlices(
        *stream, app::PlanExport(starts, stream->Size()), base, [&](const std::string& name) {
          outcome.Files.emplace_back(std::filesystem::path(name).filename(), FileText(name));
        });
  });
  return outcome;
}

}  // namespace kestrave::test
