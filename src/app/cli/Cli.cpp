#include "app/cli/Cli.h"

#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "app/core/ConverterWorkflow.h"
#include "platform/FileSystem.h"
#include "platform/Guard.h"
#include "platform/SystemError.h"

namespace kestrave::app {
namespace {

constexpr char kUsage[] =
    "Usage: kestrave-cli COMMAND [OPTIONS] [--] FILE...\n"
    "\n"
    "Finds the AMR voice records in .drf containers.\n"
    "\n"
    "Commands:\n"
    "  scan FILE...     print, for each container, the status text the window would show\n"
    "  extract FILE BASE\n"
    "                   write each record of the container to BASE_1.amr, BASE_2.amr, ...\n"
    "                   and print the name of every file as soon as it is written\n"
    "\n"
    "Options:\n"
    "  --positions      after the status, list where the magic and the markers were found\n"
    "  --               end of the options: every word after it is a FILE or a BASE\n"
    "  --help           show this text\n"
    "  --version        show the program version\n"
    "\n"
    "Exit codes: 0 when every file was handled; 1 when extract wrote nothing because the\n"
    "container holds no record the window would save; 2 when any file failed, the command\n"
    "was wrong or the results could not be written to standard output.\n";

// Messages carry Windows line breaks; a terminal wants plain ones.
std::string ForTerminal(std::string text) {
  for (std::size_t at; (at = text.find("\r\n")) != std::string::npos;)
    text.erase(at, 1);
  return text;
}

// An error that ended the work on a file, whatever its kind (running out of memory included).
void ReportError(std::ostream& err, const std::string& prefix, const std::string& message) {
  err << "kestrave-cli: " << prefix << ForTerminal(message) << '\n';
}

// As ReportError, for work on File. A message that names no file at all ("Cannot open
// clipboard", "Out of memory ...") gets a second line that does, with what became of it. Every
// path this program passes on is absolute, so a message that names a file shows it by a slash.
void ReportFileError(std::ostream& err, const std::string& prefix, const std::string& message,
                     const std::string& file, const char* outcome) {
  ReportError(err, prefix, message);
  if (message.find('/') == std::string::npos)
    err << "kestrave-cli: " << file << ": " << outcome << '\n';
}

// Results go to standard output as soon as each is known, so an export that fails part-way has
// shown what it wrote. An output that refuses them (a full disk) makes the run fail: the first
// refusal is kept with the system's reason, to be reported once the work is done.
class Results {
 public:
  explicit Results(std::ostream& out) : out_(out) {}

  void Put(const std::string& text) {
    errno = 0;
    out_ << text << std::flush;
    if (!out_ && error_ == 0) error_ = errno != 0 ? errno : EIO;
  }
  void Line(const std::string& line) { Put(line + '\n'); }
  int Error() const { return error_; }

 private:
  std::ostream& out_;
  int error_ = 0;
};

// The words after the command: options up to "--", FILE and BASE names from there on (and
// before it, any word that does not start with "--").
struct Words {
  std::vector<std::string> Options;
  std::vector<std::string> Names;
};

Words SplitWords(const std::vector<std::string>& args) {
  Words words;
  bool optionsEnded = false;
  for (const auto& arg : args) {
    if (!optionsEnded && arg == "--")
      optionsEnded = true;
    else if (!optionsEnded && arg.rfind("--", 0) == 0)
      words.Options.push_back(arg);
    else
      words.Names.push_back(arg);
  }
  return words;
}

int UnknownOption(std::ostream& err, const std::string& option) {
  err << "kestrave-cli: unknown option '" << option << "'\n" << kUsage;
  return kExitFailure;
}

// Names are used and shown as full paths, as the window's dialogs give them.
std::string Absolute(const std::string& path) {
  std::error_code ignored;
  const auto absolute = std::filesystem::absolute(path, ignored);
  return absolute.empty() ? path : absolute.string();
}

std::string PositionsLine(const std::string& prefix, const char* label, const TStringList& list) {
  std::string line = prefix + label + ':';
  for (const auto& position : list.Lines())
    line += ' ' + position;
  return line;
}

// Shows how far a long load has come, on one line that keeps being rewritten.
void ShowLoadProgressOnTerminal(ConverterWorkflow& workflow, std::ostream& err) {
  if (!::isatty(STDERR_FILENO)) return;
  workflow.HexEditorEx1.OnProgress = [&err](hex::TCustomHexEditor&, hex::THexProgressKind,
                                            const std::string& name, std::uint8_t percent, bool&) {
    err << "\rLoading " << platform::BaseNameOf(name) << ": " << int{percent} << '%'
        << (percent == 100 ? "\r\033[K" : "") << std::flush;
  };
}

int Scan(const std::vector<std::string>& args, Results& out, std::ostream& err) {
  const Words words = SplitWords(args);
  bool positions = false;
  for (const auto& option : words.Options) {
    if (option != "--positions") return UnknownOption(err, option);
    positions = true;
  }
  const std::vector<std::string>& files = words.Names;
  if (files.empty()) {
    err << "kestrave-cli: scan needs at least one FILE\n" << kUsage;
    return kExitFailure;
  }
  std::vector<std::string> absolute;
  for (const auto& file : files)
    absolute.push_back(Absolute(file));
  int exitCode = kExitOk;
  for (std::size_t i = 0; i < files.size(); ++i) {
    const std::string prefix = files.size() > 1 ? files[i] + ": " : "";
    const bool scanned = platform::RunGuarded(
        [&] {
          ConverterWorkflow workflow;
          ShowLoadProgressOnTerminal(workflow, err);
          workflow.OpenContainer(absolute[i]);
          out.Line(prefix + workflow.StatusText());
          if (positions) {
            out.Line(PositionsLine(prefix, "magic", workflow.ListBox1));
            out.Line(PositionsLine(prefix, "marker", workflow.ListBox2));
          }
        },
        [&](const std::string& message) {
          ReportFileError(err, prefix, message, absolute[i], "not scanned");
        });
    if (!scanned) exitCode = kExitFailure;
  }
  return exitCode;
}

// Why a container the window would not let the user save yields no record: the records start
// at the AMR magic, and there is none.
std::string WhyNothingToSave(const ConverterWorkflow& workflow) {
  const int markers = workflow.ListBox2.Count();
  if (markers == 0) return "the container holds no AMR stream (no \"#!AMR\")";
  return "the container holds " + std::to_string(markers) +
         " record marker(s) but no AMR stream (no \"#!AMR\") where a record could start";
}

// Why a container with AMR streams yields no record: records are counted by their markers.
std::string WhyNoMarkedRecord(const ConverterWorkflow& workflow) {
  return "the container holds " + std::to_string(workflow.ListBox1.Count()) +
         " AMR stream(s) but no record marker (\"audio/amr\"), and records are counted by "
         "their markers";
}

// The same steps as "Сохранить AMR" in the window, through a clipboard of this process only.
int Extract(const std::vector<std::string>& args, Results& out, std::ostream& err) {
  const Words words = SplitWords(args);
  if (!words.Options.empty()) return UnknownOption(err, words.Options.front());
  if (words.Names.size() != 2) {
    err << "kestrave-cli: extract needs a FILE and a BASE name\n" << kUsage;
    return kExitFailure;
  }
  // An empty BASE would write "_1.amr" wherever the program happens to run.
  if (platform::BaseNameOf(words.Names[1]).empty()) {
    err << "kestrave-cli: BASE '" << words.Names[1] << "' has no name to number: nothing written\n";
    return kExitFailure;
  }
  const std::string file = Absolute(words.Names[0]);
  const std::string base = Absolute(words.Names[1]);
  // The file the work is on, for errors that do not name one.
  std::string current = file;
  const char* outcome = "not scanned, nothing written";
  int exitCode = kExitOk;
  const bool extracted = platform::RunGuarded(
      [&] {
        ConverterWorkflow workflow;
        ShowLoadProgressOnTerminal(workflow, err);
        workflow.OpenContainer(file);
        out.Line(workflow.StatusText());
        if (!workflow.SaveButtonsEnabled()) {
          err << "kestrave-cli: " << file << ": no record written: " << WhyNothingToSave(workflow)
              << '\n';
          exitCode = kExitNothingWritten;
          return;
        }
        int next = 1;
        current = ConverterWorkflow::RecordFileName(base, next);
        outcome = "not written";
        workflow.ExportRecords(base, [&](const std::string& written) {
          out.Line(written);
          current = ConverterWorkflow::RecordFileName(base, ++next);
        });
        if (workflow.ListBox2.Count() == 0)
          err << "kestrave-cli: " << file << ": no record written: " << WhyNoMarkedRecord(workflow)
              << '\n';
      },
      [&](const std::string& message) { ReportFileError(err, "", message, current, outcome); });
  return extracted ? exitCode : kExitFailure;
}

int RunCommand(const std::vector<std::string>& args, Results& out, std::ostream& err) {
  if (args.empty()) {
    err << kUsage;
    return kExitFailure;
  }
  const std::string& command = args.front();
  if (command == "--help" || command == "-h") {
    out.Put(kUsage);
    return kExitOk;
  }
  if (command == "--version") {
    out.Line(std::string("kestrave-cli ") + KESTRAVE_VERSION);
    return kExitOk;
  }
  const std::vector<std::string> rest(args.begin() + 1, args.end());
  if (command == "scan") return Scan(rest, out, err);
  if (command == "extract") return Extract(rest, out, err);
  err << "kestrave-cli: unknown command '" << command << "'\n" << kUsage;
  return kExitFailure;
}

}  // namespace

// Nothing the work raises ends the program: it is an error like any other, exit code 2. Nor
// may results vanish unnoticed: an output that refused them is an error too.
int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  Results results(out);
  int exitCode = kExitFailure;
  platform::RunGuarded([&] { exitCode = RunCommand(args, results, err); },
                       [&](const std::string& message) { ReportError(err, "", message); });
  if (const int error = results.Error()) {
    err << "kestrave-cli: standard output: the results could not be written ("
        << platform::SystemErrorText(error) << ")\n";
    return kExitFailure;
  }
  return exitCode;
}

}  // namespace kestrave::app
