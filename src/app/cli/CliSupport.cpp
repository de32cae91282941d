#include "app/cli/CliSupport.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>

#include "app/core/ConverterWorkflow.h"
#include "platform/FileSystem.h"

namespace kestrave::app {
namespace {

// Messages carry Windows line breaks; a terminal wants plain ones.
std::string ForTerminal(std::string text) {
  for (std::size_t at; (at = text.find("\r\n")) != std::string::npos;)
    text.erase(at, 1);
  return text;
}

}  // namespace

void Results::Put(const std::string& text) {
  errno = 0;
  out_ << text << std::flush;
  if (!out_ && error_ == 0) error_ = errno != 0 ? errno : EIO;
}

void ReportError(std::ostream& err, const std::string& prefix, const std::string& message) {
  err << "kestrave-cli: " << prefix << ForTerminal(message) << '\n';
}

// Every path this program passes on is absolute, so a message that names a file shows it by a
// slash.
void ReportFileError(std::ostream& err, const std::string& prefix, const std::string& message,
                     const std::string& file, const char* outcome) {
  ReportError(err, prefix, message);
  if (message.find('/') == std::string::npos)
    err << "kestrave-cli: " << file << ": " << outcome << '\n';
}

std::string Absolute(const std::string& path) {
  std::error_code ignored;
  const auto absolute = std::filesystem::absolute(path, ignored);
  return absolute.empty() ? path : absolute.string();
}

bool SplitCommandWords(const std::vector<std::string>& args, const std::set<std::string>& allowed,
                       bool takesOutputFolder, CommandWords& words, std::string& error) {
  bool optionsEnded = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    // Options start with "--", but for -o; any other word is a name, "-x.drf" too.
    const bool option = arg.rfind("--", 0) == 0 || (arg == "-o" && takesOutputFolder);
    if (optionsEnded || !option) {
      words.Names.push_back(arg);
      continue;
    }
    if (arg == "--") {
      optionsEnded = true;
      continue;
    }
    const bool output = arg == "-o" || arg == "--output" || arg.rfind("--output=", 0) == 0;
    if (output && takesOutputFolder) {
      if (arg.rfind("--output=", 0) == 0) {
        words.OutputFolder = arg.substr(9);
      } else if (i + 1 < args.size()) {
        words.OutputFolder = args[++i];
      } else {
        error = "option '" + arg + "' needs a folder";
        return false;
      }
      if (words.OutputFolder.empty()) {
        error = "option '" + arg + "' needs a folder";
        return false;
      }
      words.HasOutputFolder = true;
      continue;
    }
    if (allowed.count(arg) == 0) {
      error = "unknown option '" + arg + "'";
      return false;
    }
    words.Flags.insert(arg);
  }
  return true;
}

ProgressLine::ProgressLine(std::ostream& err) : err_(err), shown_(::isatty(STDERR_FILENO) != 0) {}

ProgressLine::~ProgressLine() {
  if (written_) err_ << "\r\033[K" << std::flush;
}

void ProgressLine::Records(int records, std::int64_t bytes) {
  if (!shown_) return;
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
  char line[96];
  std::snprintf(line, sizeof line, "%d record%s, %.1f MB, %.1f s", records, records == 1 ? "" : "s",
                static_cast<double>(bytes) / 1e6, seconds);
  Text(line);
}

void ProgressLine::Text(const std::string& text) {
  if (!shown_) return;
  err_ << "\r\033[K" << text << std::flush;
  written_ = true;
}

// Only on a terminal: a progress handler makes the load report as it goes, which costs time.
void ShowLoadProgress(ConverterWorkflow& workflow, ProgressLine& progress) {
  if (!progress.Shown()) return;
  workflow.HexEditorEx1.OnProgress = [&progress](hex::TCustomHexEditor&, hex::THexProgressKind,
                                                 const std::string& name, std::uint8_t percent,
                                                 bool&) {
    progress.Text("Loading " + platform::BaseNameOf(name) + ": " + std::to_string(percent) + '%');
  };
}

}  // namespace kestrave::app
