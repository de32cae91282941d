// kestrave-cli scan: the status the window would show, and with --records what each record holds.
#include <utility>

#include "app/cli/CliCommands.h"
#include "app/cli/Json.h"
#include "app/cli/RecordTable.h"
#include "app/core/ContainerPlan.h"
#include "app/core/ContainerStream.h"
#include "app/core/RecordReport.h"
#include "app/core/StreamedRecords.h"
#include "hexeditor/HexEditorError.h"
#include "platform/Guard.h"

namespace kestrave::app {
namespace {

// Long outputs go out a piece of many lines at a time: a write for every line would cost, and
// the whole text at once would need its own memory.
constexpr std::size_t kPiece = 1 << 16;

void PutPositionsLine(const std::string& prefix, const char* label,
                      const std::vector<std::int64_t>& positions, Results& out) {
  std::string line = prefix + label + ':';
  for (const std::int64_t position : positions) {
    line += ' ';
    line += std::to_string(position);
    if (line.size() >= kPiece) {
      out.Put(line);
      line.clear();
    }
  }
  out.Line(line);
}

void WritePositionsJson(JsonWriter& json, const std::vector<std::int64_t>& positions) {
  json.BeginArray();
  for (const std::int64_t position : positions)
    json.Number(position);
  json.EndArray();
}

// The status and the positions, as the text form shows them.
void ShowStatus(const std::string& status, const RecordStarts& starts, const CommandWords& words,
                const std::string& prefix, Results& out) {
  out.Line(prefix + status);
  if (words.Has("--positions")) {
    PutPositionsLine(prefix, "magic", starts.Magics, out);
    PutPositionsLine(prefix, "marker", starts.Markers, out);
  }
}

// A container read a piece at a time, never whole: where its records start, what the window
// would show, and, when asked for, what each record's stream holds.
struct ScannedContainer {
  std::string Status;
  RecordStarts Starts;
  RecordReport Report;
};

ScannedContainer ScanContainer(const std::string& file, bool withRecords, audio::Recovery recovery,
                               ProgressLine& progress) {
  const ContainerStream container(file);
  ScannedContainer scanned;
  if (withRecords) {
    // The records' streams are walked in the same read as the search, as far as it can tell.
    ContainerSurvey survey = SurveyContainer(container, LoadProgress(progress, file));
    if (const auto error = ScanErrorForSize(container.Size())) throw hex::EHexEditor(*error);
    scanned.Report = StreamRecordReport(container, survey, recovery);
    scanned.Starts = std::move(survey.Starts);
  } else {
    scanned.Starts = container.FindStarts(LoadProgress(progress, file));
    if (const auto error = ScanErrorForSize(container.Size())) throw hex::EHexEditor(*error);
  }
  scanned.Status = ScanStatusText(scanned.Starts);
  return scanned;
}

// What the text form shows of one container, with --records its records' streams walked.
void ShowContainer(const ScannedContainer& scanned, const CommandWords& words,
                   const std::string& prefix, Results& out) {
  ShowStatus(scanned.Status, scanned.Starts, words, prefix, out);
  if (!words.Has("--records")) return;
  const RecordReport& report = scanned.Report;
  if (report.Count() > 0)
    WriteRecordTable(report, prefix, [&](const std::string& piece) { out.Put(piece); });
  if (const std::string reason = report.Reason(); !reason.empty())
    out.Line(prefix + "note: " + reason);
}

void ContainerJson(JsonWriter& json, const ScannedContainer& scanned, const CommandWords& words) {
  const RecordReport& report = scanned.Report;
  json.Key("status")
      .String(scanned.Status)
      .Key("magics")
      .Number(report.Magics)
      .Key("markers")
      .Number(report.Markers)
      .Key("windowWrites")
      .Number(report.WindowWrites())
      .Key("reason")
      .StringOrNull(report.Reason());
  if (words.Has("--positions")) {
    json.Key("positions").BeginObject().Key("magic");
    WritePositionsJson(json, scanned.Starts.Magics);
    json.Key("marker");
    WritePositionsJson(json, scanned.Starts.Markers);
    json.EndObject();
  }
  json.Key("records");
  WriteRecordsJson(json, report);
}

}  // namespace

int Scan(const CommandWords& words, Results& out, std::ostream& err) {
  const bool json = words.Has("--json");
  const std::vector<std::string>& files = words.Names;
  // One document for the whole run, handed on as it is written.
  JsonWriter document([&](const std::string& piece) { out.Put(piece); });
  if (json)
    document.BeginObject()
        .Key("program")
        .String("kestrave-cli")
        .Key("version")
        .String(KESTRAVE_VERSION)
        .Key("recovery")
        .Bool(RecoveryOf(words) == audio::Recovery::Resynchronise)
        .Key("containers")
        .BeginArray();
  int exitCode = kExitOk;
  for (const std::string& name : files) {
    const std::string file = Absolute(name);
    const std::string prefix = files.size() > 1 ? ShownName(name) + ": " : "";
    ProgressLine progress(err);
    ScannedContainer container;
    std::string error;
    // What can fail is done before any of the container's JSON is written, so a container that
    // fails still leaves one valid document.
    const bool scanned = platform::RunGuarded(
        [&] {
          container =
              ScanContainer(file, json || words.Has("--records"), RecoveryOf(words), progress);
          if (!json) ShowContainer(container, words, prefix, out);
        },
        [&](const std::string& message) {
          ReportFileError(err, prefix, message, file, "not scanned");
          error = message;
        });
    if (!scanned) exitCode = kExitFailure;
    if (!json) continue;
    document.BeginObject().Key("file").String(file);
    if (scanned) {
      ContainerJson(document, container, words);
    } else {
      document.Key("error").String(error);
    }
    document.EndObject();
  }
  if (json) {
    document.EndArray().EndObject();
    out.Line(document.Text());
  }
  return exitCode;
}

}  // namespace kestrave::app
