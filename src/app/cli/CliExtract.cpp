// kestrave-cli extract: the records of one container to BASE_n files, or of many into a folder.
#include <algorithm>
#include <filesystem>
#include <map>
#include <optional>
#include <set>

#include "app/cli/CliCommands.h"
#include "app/core/ContainerPlan.h"
#include "app/core/ContainerStream.h"
#include "app/core/ConverterTexts.h"
#include "app/core/ConverterWorkflow.h"
#include "app/core/RecordFiles.h"
#include "app/core/RecordReport.h"
#include "app/core/SliceExport.h"
#include "app/core/StreamedRecords.h"
#include "hexeditor/HexEditorError.h"
#include "platform/FileSystem.h"
#include "platform/Format.h"
#include "platform/Guard.h"
#include "platform/SystemError.h"

namespace kestrave::app {
namespace {

enum class Outcome { Written, NothingWritten, Failed };

// Why a container the window would not let the user save yields no record: the records start
// at the AMR magic, and there is none.
std::string WhyNothingToSave(std::size_t markers) {
  if (markers == 0) return "the container holds no AMR stream (no \"#!AMR\")";
  return "the container holds " + std::to_string(markers) +
         " record marker(s) but no AMR stream (no \"#!AMR\") where a record could start";
}

// Why a container with AMR streams yields no record: records are counted by their markers.
std::string WhyNoMarkedRecord(std::size_t magics) {
  return "the container holds " + std::to_string(magics) +
         " AMR stream(s) but no record marker (\"audio/amr\"), and records are counted by "
         "their markers";
}

// One container, in any form; the totals and the progress line run across containers.
class ContainerExtract {
 public:
  ContainerExtract(const CommandWords& words, Results& out, std::ostream& err,
                   ProgressLine& progress)
      : words_(words), out_(out), err_(err), progress_(progress) {}

  Outcome Run(const std::string& file, const std::string& base, const std::string& prefix) {
    file_ = file;
    base_ = base;
    prefix_ = prefix;
    current_ = file;
    outcome_ = "not scanned, nothing written";
    result_ = Outcome::Written;
    const bool done = platform::RunGuarded(
        [&] {
          const ContainerStream container(file);
          const bool audio = words_.Has("--trim") || words_.Has("--wav");
          // The streams are walked in the same read as the search where they are written.
          ContainerSurvey survey;
          if (audio) {
            survey = SurveyContainer(container, LoadProgress(progress_, file));
          } else {
            survey.Starts = container.FindStarts(LoadProgress(progress_, file));
          }
          const RecordStarts& starts = survey.Starts;
          if (const auto error = ScanErrorForSize(container.Size())) throw hex::EHexEditor(*error);
          out_.Line(prefix_ + ScanStatusText(starts));
          if (!CanSaveRecords(starts)) {
            NothingToSave(starts.Markers.size());
            return;
          }
          outcome_ = "not written";
          if (audio) {
            WriteAudio(container, survey, base);
          } else {
            WriteSlices(container, starts, base);
          }
        },
        [&](const std::string& message) {
          ReportFileError(err_, prefix_, message, current_, outcome_, {file_, base_});
        });
    return done ? result_ : Outcome::Failed;
  }

  int Records() const { return records_; }

 private:
  void Notice(const std::string& text) {
    err_ << "kestrave-cli: " << ShownName(file_) << ": " << text << '\n';
  }

  void Written(const std::string& fileName) {
    out_.Line(ShownName(fileName));
    ++records_;
    if (progress_.Shown()) {
      bytes_ += platform::FileSizeOf(fileName).value_or(0);
      progress_.Records(records_, bytes_);
    }
  }

  void NothingToSave(std::size_t markers) {
    Notice("no record written: " + WhyNothingToSave(markers));
    result_ = Outcome::NothingWritten;
  }

  // The window's "Сохранить AMR": byte-exact slices, counted by the markers, copied from the
  // container a piece at a time.
  void WriteSlices(const ContainerStream& container, const RecordStarts& starts,
                   const std::string& base) {
    int next = 1;
    current_ = ConverterWorkflow::RecordFileName(base, next);
    ExportSlices(container, PlanExport(starts, container.Size()), base,
                 [&](const std::string& written) {
                   Written(written);
                   current_ = ConverterWorkflow::RecordFileName(base, ++next);
                 });
    // The window's save was allowed and did what it does: not a failure, but said why.
    if (starts.Markers.empty())
      Notice("no record written: " + WhyNoMarkedRecord(starts.Magics.size()));
  }

  // Every AMR stream, trimmed or decoded; a record without a stream is reported and skipped.
  void WriteAudio(const ContainerStream& container, ContainerSurvey& survey,
                  const std::string& base) {
    const RecordReport report = StreamRecordReport(container, survey, RecoveryOf(words_));
    if (const std::string reason = report.Reason(); !reason.empty())
      Notice("note: " + reason + "; this writes every AMR stream");
    const RecordForm form = words_.Has("--wav") ? RecordForm::Wav : RecordForm::Trimmed;
    bool skipped = false;
    RecordWriteEvents events;
    events.Starting = [&](const std::string& fileName) { current_ = fileName; };
    events.Written = [&](const std::string& fileName, const RecordRow&) { Written(fileName); };
    events.Skipped = [&](const RecordRow& row, const std::string& why) {
      Notice("record " + std::to_string(row.Number) + " not written: " + why);
      skipped = true;
    };
    const std::vector<std::string> written = StreamAudio(container, report, base, form, events);
    if (skipped) {
      result_ = Outcome::Failed;
    } else if (written.empty()) {
      result_ = Outcome::NothingWritten;
    }
  }

  const CommandWords& words_;
  Results& out_;
  std::ostream& err_;
  ProgressLine& progress_;
  std::string file_;
  std::string base_;
  std::string prefix_;
  // The file the work is on, for errors that do not name one, and what became of it.
  std::string current_;
  const char* outcome_ = "";
  Outcome result_ = Outcome::Written;
  int records_ = 0;
  std::int64_t bytes_ = 0;
};

// The container's name without ".drf" (in any case); the whole name when nothing else is left.
std::string Stem(const std::string& file) {
  std::string name = platform::BaseNameOf(file);
  constexpr std::string_view kExtension = ".drf";
  if (name.size() > kExtension.size()) {
    std::string tail = name.substr(name.size() - kExtension.size());
    for (char& c : tail)
      c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (tail == kExtension) name.erase(name.size() - kExtension.size());
  }
  // "..drf" would leave ".", whose records would be hidden files: such a name stays whole.
  return name == "." || name == ".." ? platform::BaseNameOf(file) : name;
}

// One stem per container, distinct: a stem met again gets "-2", "-3"... beyond every stem of
// the run, so it cannot take another container's name either.
std::vector<std::string> DistinctStems(const std::vector<std::string>& files) {
  std::vector<std::string> stems;
  std::map<std::string, int> uses;
  for (const auto& file : files)
    ++uses[Stem(file)];
  std::map<std::string, bool> taken;
  for (const auto& file : files) {
    std::string stem = Stem(file);
    if (taken[stem]) {
      for (int n = 2;; ++n) {
        const std::string candidate = stem + '-' + std::to_string(n);
        if (uses.count(candidate) == 0 && !taken[candidate]) {
          stem = candidate;
          break;
        }
      }
    }
    taken[stem] = true;
    stems.push_back(stem);
  }
  return stems;
}

// Whether Name is STEM_n.EXT for one of the Stems and a record number n, as RecordFileName and
// RecordFileName make them.
bool IsRecordName(std::string_view name, const std::set<std::string>& stems,
                  std::string_view extension) {
  if (name.size() <= extension.size() + 1 || !name.ends_with(extension) ||
      name[name.size() - extension.size() - 1] != '.')
    return false;
  name.remove_suffix(extension.size() + 1);
  const std::size_t underscore = name.rfind('_');
  if (underscore == std::string_view::npos) return false;
  const std::string_view number = name.substr(underscore + 1);
  if (number.empty() || number.front() == '0' ||
      !std::all_of(number.begin(), number.end(), [](char c) { return c >= '0' && c <= '9'; }))
    return false;
  return stems.count(std::string(name.substr(0, underscore))) != 0;
}

// A record file that would replace one of the run's own inputs (by its name, a link or another
// hard link) destroys it, and with -o a later container may be the target of an earlier one's
// records. How many records each container holds is known only once it is read, so the folder
// is listed once, before anything is read, and every name there a record of the run could take
// is compared with the inputs: the run is refused when any is one of them. Answers the first
// such name.
std::optional<std::string> InputAmongTargets(const std::string& folder,
                                             const std::set<std::string>& stems,
                                             std::string_view extension,
                                             const std::vector<std::string>& inputs) {
  std::vector<platform::FileIdentity> identities;
  for (const std::string& input : inputs)
    if (const auto identity = platform::IdentityOf(Absolute(input)))
      identities.push_back(*identity);
  std::vector<std::string> found;
  std::error_code error;
  for (std::filesystem::directory_iterator entry(folder, error), end; !error && entry != end;
       entry.increment(error)) {
    const std::string name = entry->path().filename().string();
    if (!IsRecordName(name, stems, extension)) continue;
    const std::string path = folder + '/' + name;
    const auto identity = platform::IdentityOf(path);
    if (identity && std::find(identities.begin(), identities.end(), *identity) != identities.end())
      found.push_back(path);
  }
  if (found.empty()) return std::nullopt;
  return *std::min_element(found.begin(), found.end());
}

// Refuses the run, before anything is read or written, when a record could replace an input.
bool RefuseInputsAsTargets(const CommandWords& words, const std::string& folder,
                           const std::set<std::string>& stems,
                           const std::vector<std::string>& inputs, std::ostream& err) {
  const auto target = InputAmongTargets(folder, stems, words.Has("--wav") ? "wav" : "amr", inputs);
  if (!target) return false;
  ReportError(err, "", platform::FormatMessage(text::kRecordOverInput, {*target}), {*target});
  return true;
}

int ExitCode(bool anyFailed, bool anyWritten) {
  if (anyFailed) return kExitFailure;
  return anyWritten ? kExitOk : kExitNothingWritten;
}

}  // namespace

int Extract(const CommandWords& words, Results& out, std::ostream& err) {
  // An empty BASE would write "_1.amr" wherever the program happens to run, "." hidden files.
  if (!ConverterWorkflow::BaseHasName(words.Names[1])) {
    err << "kestrave-cli: BASE '" << ShownName(words.Names[1])
        << "' has no name to number: nothing written\n";
    return kExitFailure;
  }
  const std::string base = Absolute(words.Names[1]);
  if (RefuseInputsAsTargets(words, platform::DirectoryOf(base), {platform::BaseNameOf(base)},
                            {words.Names[0]}, err))
    return kExitFailure;
  ProgressLine progress(err);
  ContainerExtract extract(words, out, err, progress);
  const Outcome outcome = extract.Run(Absolute(words.Names[0]), base, "");
  return ExitCode(outcome == Outcome::Failed, outcome == Outcome::Written);
}

int ExtractInto(const CommandWords& words, Results& out, std::ostream& err) {
  std::string folder = Absolute(words.OutputFolder);
  while (folder.size() > 1 && folder.back() == '/')  // "out/" names the folder "out"
    folder.pop_back();
  const std::vector<std::string> stems = DistinctStems(words.Names);
  if (RefuseInputsAsTargets(words, folder, {stems.begin(), stems.end()}, words.Names, err))
    return kExitFailure;
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (error || !std::filesystem::is_directory(folder)) {
    err << "kestrave-cli: " << ShownName(folder) << ": the folder cannot be made ("
        << (error ? error.message() : "Not a directory") << "): nothing written\n";
    return kExitFailure;
  }
  ProgressLine progress(err);
  ContainerExtract extract(words, out, err, progress);
  bool anyFailed = false;
  bool anyWritten = false;
  for (std::size_t i = 0; i < words.Names.size(); ++i) {
    const std::string& name = words.Names[i];
    const Outcome outcome =
        extract.Run(Absolute(name), folder + '/' + stems[i], ShownName(name) + ": ");
    anyFailed = anyFailed || outcome == Outcome::Failed;
    anyWritten = anyWritten || outcome == Outcome::Written;
  }
  return ExitCode(anyFailed, anyWritten);
}

}  // namespace kestrave::app
