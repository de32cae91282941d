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
#include "app/core/RecordFiles.h"
#include "app/core/RecordReport.h"
#include "app/core/SliceExport.h"
#include "app/core/StreamedRecords.h"
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
  // What the records' streams hold, a line per record, and every stream trimmed to its file.
  std::string Report;
  std::vector<std::pair<std::string, std::string>> TrimmedFiles;
  bool operator==(const ConverterOutcome&) const = default;
};

inline std::string FileText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

inline std::string ReportText(const app::RecordReport& report) {
  std::string text = std::to_string(report.Magics) + ' ' + std::to_string(report.Markers) + ' ' +
                     report.Reason() + '\n';
  for (int i = 0; i < report.Count(); ++i) {
    const app::RecordRow row = report.Row(i);
    const audio::AmrStreamInfo& s = row.Stream;
    for (const std::int64_t value :
         {row.Start, row.End, std::int64_t{row.WrittenByWindow}, row.FramesPastDamage,
          std::int64_t(s.Codec), s.Frames, s.ValidBytes, s.TrailingBytes, std::int64_t(s.End),
          s.Gaps, s.GapBytes, s.RecoveredFrames, s.FirstGapOffset, std::int64_t(s.FirstGapCause),
          std::int64_t{s.HeaderRepaired}})
      text += std::to_string(value) + ' ';
    text += '\n';
  }
  return text;
}

using NamedFiles = std::vector<std::pair<std::string, std::string>>;

inline void KeepFiles(const std::vector<std::string>& names, NamedFiles& into) {
  for (const std::string& name : names)
    into.emplace_back(std::filesystem::path(name).filename(), FileText(name));
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
  const app::RecordReport report = app::BuildRecordReport(workflow, audio::Recovery::Resynchronise);
  outcome.Report = ReportText(report);
  std::vector<int> all(static_cast<std::size_t>(report.Count()));
  for (int i = 0; i < report.Count(); ++i)
    all[static_cast<std::size_t>(i)] = i;
  KeepFiles(app::WriteRecords(app::ContainerBytes(workflow), report, all, base + "t",
                              app::RecordForm::Trimmed)
                .Files,
            outcome.TrimmedFiles);
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
  // Small pieces go with small windows, so records of a few kilobytes are walked a window at a
  // time too.
  const std::int64_t window = std::max<std::int64_t>(piece * 100, 1024);
  // The survey reads the container once more, in the same pieces, and finishes the walks.
  app::ContainerSurvey survey = app::SurveyContainer(*stream, {}, piece);
  if (survey.Starts.Magics != starts.Magics || survey.Starts.Markers != starts.Markers)
    outcome.Report = "the survey found other starts\n";
  const app::RecordReport report =
      app::StreamRecordReport(*stream, survey, audio::Recovery::Resynchronise, window);
  outcome.Report += ReportText(report);
  KeepFiles(app::StreamAudio(*stream, report, base + "t", app::RecordForm::Trimmed, {}, window),
            outcome.TrimmedFiles);
  outcome.ExportError = ErrorOf([&] {
    app::ExportSlices(
        *stream, app::PlanExport(starts, stream->Size()), base, [&](const std::string& name) {
          outcome.Files.emplace_back(std::filesystem::path(name).filename(), FileText(name));
        });
  });
  return outcome;
}

}  // namespace kestrave::test
