// kestrave-cli scan: the status the window would show, and with --records what each record holds.
#include "app/cli/CliCommands.h"
#include "app/cli/Json.h"
#include "app/cli/RecordTable.h"
#include "app/core/ConverterWorkflow.h"
#include "app/core/RecordReport.h"
#include "platform/Guard.h"

namespace kestrave::app {
namespace {

std::string PositionsLine(const std::string& prefix, const char* label, const TStringList& list) {
  std::string line = prefix + label + ':';
  for (const auto& position : list.Lines())
    line += ' ' + position;
  return line;
}

void WritePositionsJson(JsonWriter& json, const TStringList& list) {
  json.BeginArray();
  for (const auto& position : list.Lines())
    json.Number(std::stoll(position));
  json.EndArray();
}

// What the text form shows of one container.
void ShowContainer(const ConverterWorkflow& workflow, const CommandWords& words,
                   const std::string& prefix, Results& out) {
  out.Line(prefix + workflow.StatusText());
  if (words.Has("--positions")) {
    out.Line(PositionsLine(prefix, "magic", workflow.ListBox1));
    out.Line(PositionsLine(prefix, "marker", workflow.ListBox2));
  }
  if (!words.Has("--records")) return;
  const RecordReport report = BuildRecordReport(workflow);
  // The table goes out in one piece: a line at a time would be a write for every record.
  std::string table;
  if (!report.Records.empty())
    for (const std::string& line : RecordTableLines(report))
      table += prefix + line + '\n';
  out.Put(table);
  if (const std::string reason = report.Reason(); !reason.empty())
    out.Line(prefix + "note: " + reason);
}

void ContainerJson(JsonWriter& json, const ConverterWorkflow& workflow, const CommandWords& words) {
  const RecordReport report = BuildRecordReport(workflow);
  json.Key("status")
      .String(workflow.StatusText())
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
    WritePositionsJson(json, workflow.ListBox1);
    json.Key("marker");
    WritePositionsJson(json, workflow.ListBox2);
    json.EndObject();
  }
  json.Key("records");
  WriteRecordsJson(json, report);
}

}  // namespace

int Scan(const CommandWords& words, Results& out, std::ostream& err) {
  const bool json = words.Has("--json");
  const std::vector<std::string>& files = words.Names;
  JsonWriter document;
  document.BeginObject()
      .Key("program")
      .String("kestrave-cli")
      .Key("version")
      .String(KESTRAVE_VERSION)
      .Key("containers")
      .BeginArray();
  int exitCode = kExitOk;
  for (const std::string& name : files) {
    const std::string file = Absolute(name);
    const std::string prefix = files.size() > 1 ? ShownName(name) + ": " : "";
    ProgressLine progress(err);
    JsonWriter entry;
    entry.BeginObject().Key("file").String(file);
    const bool scanned = platform::RunGuarded(
        [&] {
          ConverterWorkflow workflow;
          ShowLoadProgress(workflow, progress);
          workflow.OpenContainer(file);
          if (json) {
            ContainerJson(entry, workflow, words);
          } else {
            ShowContainer(workflow, words, prefix, out);
          }
        },
        [&](const std::string& message) {
          ReportFileError(err, prefix, message, file, "not scanned");
          entry = JsonWriter();
          entry.BeginObject().Key("file").String(file).Key("error").String(message);
        });
    if (!scanned) exitCode = kExitFailure;
    entry.EndObject();
    document.Embed(entry);
  }
  document.EndArray().EndObject();
  if (json) out.Line(document.Text());
  return exitCode;
}

}  // namespace kestrave::app
