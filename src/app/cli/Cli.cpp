#include "app/cli/Cli.h"

#include <unistd.h>

#include <filesystem>

#include "app/core/ConverterWorkflow.h"
#include "platform/Exception.h"
#include "platform/FileSystem.h"

namespace kestrave::app {
namespace {

constexpr char kUsage[] =
    "Usage: kestrave-cli COMMAND [OPTIONS] FILE...\n"
    "\n"
    "Finds the AMR voice records in .drf containers.\n"
    "\n"
    "Commands:\n"
    "  scan FILE...     print, for each container, the status text the window would show\n"
    "  extract FILE BASE\n"
    "                   write each record of the container to BASE_1.amr, BASE_2.amr, ...\n"
    "                   and print the name of every file written\n"
    "\n"
    "Options:\n"
    "  --positions      after the status, list where the magic and the markers were found\n"
    "  --help           show this text\n"
    "  --version        show the program version\n"
    "\n"
    "Exit codes: 0 when every file was handled, 2 when any failed or the command was wrong.\n";

// Messages carry Windows line breaks; a terminal wants plain ones.
std::string ForTerminal(std::string text) {
  for (std::size_t at; (at = text.find("\r\n")) != std::string::npos;)
    text.erase(at, 1);
  return text;
}

// The current folder may change during a scan; relative names are fixed before it can.
std::string Absolute(const std::string& path) {
  std::error_code ignored;
  const auto absolute = std::filesystem::absolute(path, ignored);
  return absolute.empty() ? path : absolute.string();
}

void PrintPositions(std::ostream& out, const std::string& prefix, const char* label,
                    const TStringList& list) {
  out << prefix << label << ':';
  for (const auto& line : list.Lines())
    out << ' ' << line;
  out << '\n';
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

int Scan(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  bool positions = false;
  std::vector<std::string> files;
  for (const auto& arg : args) {
    if (arg == "--positions") {
      positions = true;
    } else if (arg.rfind("--", 0) == 0) {
      err << "kestrave-cli: unknown option '" << arg << "'\n" << kUsage;
      return kExitFailure;
    } else {
      files.push_back(arg);
    }
  }
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
    try {
      ConverterWorkflow workflow;
      ShowLoadProgressOnTerminal(workflow, err);
      workflow.OpenContainer(absolute[i]);
      out << prefix << workflow.StatusText() << '\n';
      if (positions) {
        PrintPositions(out, prefix, "magic", workflow.ListBox1);
        PrintPositions(out, prefix, "marker", workflow.ListBox2);
      }
    } catch (const platform::Exception& e) {
      err << "kestrave-cli: " << prefix << ForTerminal(e.Message()) << '\n';
      exitCode = kExitFailure;
    }
  }
  return exitCode;
}

// The same steps as "Сохранить AMR" in the window, through a clipboard of this process only.
int Extract(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.size() != 2 || args[0].rfind("--", 0) == 0 || args[1].rfind("--", 0) == 0) {
    err << "kestrave-cli: extract needs a FILE and a BASE name\n" << kUsage;
    return kExitFailure;
  }
  const std::string file = Absolute(args[0]);
  const std::string base = Absolute(args[1]);
  try {
    ConverterWorkflow workflow;
    ShowLoadProgressOnTerminal(workflow, err);
    workflow.OpenContainer(file);
    out << workflow.StatusText() << '\n';
    for (const std::string& written : workflow.ExportRecords(base))
      out << written << '\n';
  } catch (const platform::Exception& e) {
    err << "kestrave-cli: " << ForTerminal(e.Message()) << '\n';
    return kExitFailure;
  }
  return kExitOk;
}

}  // namespace

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.empty()) {
    err << kUsage;
    return kExitFailure;
  }
  const std::string& command = args.front();
  if (command == "--help" || command == "-h") {
    out << kUsage;
    return kExitOk;
  }
  if (command == "--version") {
    out << "kestrave-cli " << KESTRAVE_VERSION << '\n';
    return kExitOk;
  }
  const std::vector<std::string> rest(args.begin() + 1, args.end());
  if (command == "scan") return Scan(rest, out, err);
  if (command == "extract") return Extract(rest, out, err);
  err << "kestrave-cli: unknown command '" << command << "'\n" << kUsage;
  return kExitFailure;
}

}  // namespace kestrave::app
