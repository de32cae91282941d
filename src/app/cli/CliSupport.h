#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <ostream>
#include <set>
#include <streambuf>
#include <string>
#include <string_view>
#include <vector>

#include "audio/AmrStream.h"

namespace kestrave::app {

// Where a terminal's progress line stands: the last line of standard error, drawn on request and
// cleared ("\r" and an erase to the line's end) before anything else is written to standard
// error through Stream(), or to standard output on a terminal through Results, so no other
// line is ever written onto it. Where standard error is no terminal nothing is ever drawn.
class StatusLine : public std::streambuf {
 public:
  StatusLine(std::ostream& err, bool terminal);
  ~StatusLine() override;
  StatusLine(const StatusLine&) = delete;
  StatusLine& operator=(const StatusLine&) = delete;
  // Standard error, clearing the line before each write.
  std::ostream& Stream() { return stream_; }
  bool Terminal() const { return terminal_; }
  void Draw(const std::string& text);
  void Clear();

 private:
  int overflow(int c) override;
  std::streamsize xsputn(const char* text, std::streamsize count) override;
  int sync() override;

  std::streambuf* target_;
  std::ostream stream_;
  bool terminal_;
  bool drawn_ = false;
};

// Results go to standard output as soon as each is known, so an export that fails part-way has
// shown what it wrote. An output that refuses them (a full disk) makes the run fail: the first
// refusal is kept with the system's reason, to be reported once the work is done.
class Results {
 public:
  // Line, when given, is cleared before each result: standard output shares its terminal.
  explicit Results(std::ostream& out, StatusLine* line = nullptr) : out_(out), line_(line) {}
  void Put(const std::string& text);
  void Line(const std::string& line) { Put(line + '\n'); }
  int Error() const { return error_; }

 private:
  std::ostream& out_;
  StatusLine* line_;
  int error_ = 0;
};

// A file name as the plain-text output shows it: control characters escaped as `ls
// --quoting-style=escape` does ("\n", "\t", "\033" ...) and a backslash doubled, so a name is
// always one line and reads back unambiguously. Every other byte (UTF-8 or not) passes unchanged.
std::string ShownName(std::string_view name);
// A message as standard error shows it: where one of Names occurs in it, as ShownName shows it;
// its own line breaks (Windows ones) as plain ones; any other control character escaped.
std::string ShownMessage(std::string_view message, const std::vector<std::string_view>& names);

// An error that ended the work on a file, whatever its kind (running out of memory included).
// Prefix is shown as it is; the Names the message may hold are shown as ShownName shows them.
void ReportError(std::ostream& err, const std::string& prefix, const std::string& message,
                 const std::vector<std::string_view>& names = {});
// As ReportError, for work on File (and the other Names the message may hold). A message that
// names no file at all ("Cannot open clipboard", "Out of memory ...") gets a second line that
// does, with what became of it.
void ReportFileError(std::ostream& err, const std::string& prefix, const std::string& message,
                     const std::string& file, const char* outcome,
                     std::vector<std::string_view> names = {});

// Names are used and shown as full paths, as the window's dialogs give them.
std::string Absolute(const std::string& path);

// The words after the command: flags, the folder of -o/--output, and the FILE and BASE names
// ("--" ends the options; after it every word is a name).
struct CommandWords {
  std::set<std::string> Flags;
  std::string OutputFolder;
  bool HasOutputFolder = false;
  std::vector<std::string> Names;
  bool Has(const std::string& flag) const { return Flags.count(flag) != 0; }
};
// Whether the record streams go on past damage: unless --no-recovery.
audio::Recovery RecoveryOf(const CommandWords& words);
// Splits Args; a flag outside Allowed, or an option missing its value, is an error: the answer
// is then false and Error says why.
bool SplitCommandWords(const std::vector<std::string>& args, const std::set<std::string>& allowed,
                       bool takesOutputFolder, CommandWords& words, std::string& error);

// A line on a terminal's standard error that keeps being rewritten while a long job runs: it
// shows only once the job has lasted half a second (KESTRAVE_PROGRESS_AFTER_MS changes that),
// and is cleared at the end. Nothing at all unless Err is a StatusLine's stream on a terminal.
class ProgressLine {
 public:
  explicit ProgressLine(std::ostream& err);
  ~ProgressLine();
  ProgressLine(const ProgressLine&) = delete;
  ProgressLine& operator=(const ProgressLine&) = delete;
  // Whether the line may show: standard error is a terminal.
  bool Shown() const { return line_ != nullptr; }
  // Records done so far and the bytes they hold, with the time since the start.
  void Records(int records, std::int64_t bytes);
  void Text(const std::string& text);

 private:
  StatusLine* line_;
  std::chrono::steady_clock::duration delay_;
  bool visible_ = false;
  std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

// Shows on the progress line how far the read of a long container has come: told the bytes read
// of its size.
std::function<void(std::int64_t done, std::int64_t size)> LoadProgress(ProgressLine& progress,
                                                                       const std::string& file);

}  // namespace kestrave::app
