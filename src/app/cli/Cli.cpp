#include "app/cli/Cli.h"

#include <unistd.h>

#include <iostream>

#include "app/cli/CliCommands.h"
#include "app/cli/CliSupport.h"
#include "platform/Guard.h"
#include "platform/SystemError.h"

namespace kestrave::app {
namespace {

constexpr char kUsage[] =
    "Usage: kestrave-cli scan [--positions] [--records] [--json] [--no-recovery] [--] FILE...\n"
    "       kestrave-cli extract [--trim | --wav] [--no-recovery] [--] FILE BASE\n"
    "       kestrave-cli extract [--trim | --wav] [--no-recovery] -o DIR [--] FILE...\n"
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
    "  --records        list every record: where it lies, its codec, frames and duration, the\n"
    "                   bytes of its AMR stream, the gaps skipped in it and the bytes after it,\n"
    "                   and what is wrong with it\n"
    "  --json           the records as one JSON document for the whole run (with or without\n"
    "                   --records)\n"
    "  --trim           write each record's storage header and complete frames only, for\n"
    "                   every AMR stream found (without it: byte-exact slices, as the window)\n"
    "  --wav            write each record's sound as BASE_n.wav (16-bit PCM, mono)\n"
    "  --no-recovery    (with --records, --json, --trim or --wav) end each stream at its first\n"
    "                   damage, as earlier versions did; without it the stream is taken up\n"
    "                   again where 8 sound frames in a row follow, and each gap becomes\n"
    "                   no-data frames of its estimated duration\n"
    "  -o, --output DIR write the records of every FILE into DIR as NAME_n.amr, NAME being the\n"
    "                   container's name without \".drf\" (DIR is made when missing)\n"
    "  --               end of the options: every word after it is a FILE or a BASE\n"
    "  --help           show this text\n"
    "  --version        show the program version\n"
    "\n"
    "Exit codes: 0 when every file was handled; 1 when extract wrote nothing because no\n"
    "container holds a record to write; 2 when any file or record failed, the command was\n"
    "wrong or the results could not be written to standard output.\n";

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
  const auto usageError = [&](const std::string& what) {
    err << "kestrave-cli: " << what << '\n' << kUsage;
    return kExitFailure;
  };
  if (command == "scan") {
    CommandWords words;
    std::string error;
    if (!SplitCommandWords(rest, {"--positions", "--records", "--json", "--no-recovery"}, false,
                           words, error))
      return usageError(error);
    if (words.Names.empty()) return usageError("scan needs at least one FILE");
    return Scan(words, out, err);
  }
  if (command == "extract") {
    CommandWords words;
    std::string error;
    if (!SplitCommandWords(rest, {"--trim", "--wav", "--no-recovery"}, true, words, error))
      return usageError(error);
    if (words.Has("--trim") && words.Has("--wav"))
      return usageError("--trim and --wav cannot be used together");
    // The window's byte-exact slices have no stream to recover: the option would change nothing.
    if (words.Has("--no-recovery") && !words.Has("--trim") && !words.Has("--wav"))
      return usageError("--no-recovery goes with --trim or --wav");
    if (words.HasOutputFolder) {
      if (words.Names.empty()) return usageError("extract -o DIR needs at least one FILE");
      return ExtractInto(words, out, err);
    }
    if (words.Names.size() != 2) return usageError("extract needs a FILE and a BASE name");
    return Extract(words, out, err);
  }
  return usageError("unknown command '" + ShownName(command) + "'");
}

}  // namespace

// Nothing the work raises ends the program: it is an error like any other, exit code 2. Nor
// may results vanish unnoticed: an output that refused them is an error too.
int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  // Only the process's own standard error can be the terminal a progress line is drawn on.
  const bool errTerminal = err.rdbuf() == std::cerr.rdbuf() && ::isatty(STDERR_FILENO) != 0;
  const bool outTerminal = out.rdbuf() == std::cout.rdbuf() && ::isatty(STDOUT_FILENO) != 0;
  StatusLine line(err, errTerminal);
  std::ostream& messages = line.Stream();
  Results results(out, outTerminal ? &line : nullptr);
  int exitCode = kExitFailure;
  platform::RunGuarded([&] { exitCode = RunCommand(args, results, messages); },
                       [&](const std::string& message) { ReportError(messages, "", message); });
  if (const int error = results.Error()) {
    messages << "kestrave-cli: standard output: the results could not be written ("
             << platform::SystemErrorText(error) << ")\n";
    return kExitFailure;
  }
  return exitCode;
}

}  // namespace kestrave::app
