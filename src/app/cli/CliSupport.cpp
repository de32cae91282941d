#include "app/cli/CliSupport.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "app/core/ConverterWorkflow.h"
#include "platform/FileSystem.h"

namespace kestrave::app {
namespace {

void AppendShown(std::string& out, char c) {
  static constexpr struct {
    char Byte;
    char Letter;
  } kLetters[] = {{'\\', '\\'}, {'\a', 'a'}, {'\b', 'b'}, {'\f', 'f'},
                  {'\n', 'n'},  {'\r', 'r'}, {'\t', 't'}, {'\v', 'v'}};
  for (const auto& letter : kLetters) {
    if (c != letter.Byte) continue;
    out += '\\';
    out += letter.Letter;
    return;
  }
  const auto byte = static_cast<unsigned char>(c);
  if (byte < 0x20 || byte == 0x7F) {
    out += '\\';
    out += static_cast<char>('0' + (byte >> 6));
    out += static_cast<char>('0' + ((byte >> 3) & 7));
    out += static_cast<char>('0' + (byte & 7));
    return;
  }
  out += c;
}

}  // namespace

std::string ShownName(std::string_view name) {
  std::string shown;
  shown.reserve(name.size());
  for (const char c : name)
    AppendShown(shown, c);
  return shown;
}

// The names are found in the message as it is, before anything else changes it, so a name that
// holds "\r\n" is not taken for a line break.
std::string ShownMessage(std::string_view message, const std::vector<std::string_view>& names) {
  std::vector<bool> inName(message.size(), false);
  for (const std::string_view name : names) {
    if (name.empty()) continue;
    for (std::size_t at = message.find(name); at != std::string_view::npos;
         at = message.find(name, at + 1))
      std::fill_n(inName.begin() + static_cast<std::ptrdiff_t>(at), name.size(), true);
  }
  std::string shown;
  shown.reserve(message.size());
  for (std::size_t i = 0; i < message.size(); ++i) {
    const char c = message[i];
    if (inName[i]) {
      AppendShown(shown, c);
    } else if (c == '\r' && i + 1 < message.size() && message[i + 1] == '\n' && !inName[i + 1]) {
      continue;  // messages carry Windows line breaks; a terminal wants plain ones
    } else if (c == '\n' || c == '\\') {
      shown += c;
    } else {
      AppendShown(shown, c);
    }
  }
  return shown;
}

StatusLine::StatusLine(std::ostream& err, bool terminal)
    : target_(err.rdbuf()), stream_(this), terminal_(terminal) {}

StatusLine::~StatusLine() {
  Clear();
}

void StatusLine::Draw(const std::string& text) {
  if (!terminal_) return;
  target_->sputn("\r\033[K", 4);
  target_->sputn(text.data(), static_cast<std::streamsize>(text.size()));
  target_->pubsync();
  drawn_ = true;
}

void StatusLine::Clear() {
  if (!drawn_) return;
  target_->sputn("\r\033[K", 4);
  target_->pubsync();
  drawn_ = false;
}

int StatusLine::overflow(int c) {
  Clear();
  return c == traits_type::eof() ? traits_type::not_eof(c) : target_->sputc(static_cast<char>(c));
}

std::streamsize StatusLine::xsputn(const char* text, std::streamsize count) {
  Clear();
  return target_->sputn(text, count);
}

int StatusLine::sync() {
  return target_->pubsync();
}

void Results::Put(const std::string& text) {
  if (line_) line_->Clear();
  errno = 0;
  out_ << text << std::flush;
  if (!out_ && error_ == 0) error_ = errno != 0 ? errno : EIO;
}

void ReportError(std::ostream& err, const std::string& prefix, const std::string& message,
                 const std::vector<std::string_view>& names) {
  err << "kestrave-cli: " << prefix << ShownMessage(message, names) << '\n';
}

// Every path this program passes on is absolute, so a message that names a file shows it by a
// slash.
void ReportFileError(std::ostream& err, const std::string& prefix, const std::string& message,
                     const std::string& file, const char* outcome,
                     std::vector<std::string_view> names) {
  names.push_back(file);
  ReportError(err, prefix, message, names);
  if (message.find('/') == std::string::npos)
    err << "kestrave-cli: " << ShownName(file) << ": " << outcome << '\n';
}

std::string Absolute(const std::string& path) {
  std::error_code ignored;
  const auto absolute = std::filesystem::absolute(path, ignored);
  return absolute.empty() ? path : absolute.string();
}

audio::Recovery RecoveryOf(const CommandWords& words) {
  return words.Has("--no-recovery") ? audio::Recovery::StopAtDamage
                                    : audio::Recovery::Resynchronise;
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
        error = "option '" + ShownName(arg) + "' needs a folder";
        return false;
      }
      if (words.OutputFolder.empty()) {
        error = "option '" + ShownName(arg) + "' needs a folder";
        return false;
      }
      words.HasOutputFolder = true;
      continue;
    }
    if (allowed.count(arg) == 0) {
      error = "unknown option '" + ShownName(arg) + "'";
      return false;
    }
    words.Flags.insert(arg);
  }
  return true;
}

namespace {

std::chrono::steady_clock::duration ProgressDelay() {
  int milliseconds = 500;
  if (const char* text = std::getenv("KESTRAVE_PROGRESS_AFTER_MS")) {
    int value = 0;
    const char* end = text + std::strlen(text);
    const auto [ptr, error] = std::from_chars(text, end, value);
    if (error == std::errc() && ptr == end && value >= 0) milliseconds = value;
  }
  return std::chrono::milliseconds(milliseconds);
}

StatusLine* TerminalLineOf(std::ostream& err) {
  auto* line = dynamic_cast<StatusLine*>(err.rdbuf());
  return line && line->Terminal() ? line : nullptr;
}

}  // namespace

ProgressLine::ProgressLine(std::ostream& err)
    : line_(TerminalLineOf(err)), delay_(line_ ? ProgressDelay() : std::chrono::seconds(0)) {}

ProgressLine::~ProgressLine() {
  if (visible_) line_->Clear();
}

void ProgressLine::Records(int records, std::int64_t bytes) {
  if (!line_) return;
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
  char line[96];
  std::snprintf(line, sizeof line, "%d record%s, %.1f MB, %.1f s", records, records == 1 ? "" : "s",
                static_cast<double>(bytes) / 1e6, seconds);
  Text(line);
}

// Work that is over quickly shows no line at all: one that flashed up would only be noise.
void ProgressLine::Text(const std::string& text) {
  if (!line_) return;
  if (!visible_ && std::chrono::steady_clock::now() - start_ < delay_) return;
  visible_ = true;
  line_->Draw(text);
}

namespace {

std::string LoadingText(const std::string& file, int percent) {
  return "Loading " + ShownName(platform::BaseNameOf(file)) + ": " + std::to_string(percent) + '%';
}

}  // namespace

// Only on a terminal: a progress handler costs time.
std::function<void(std::int64_t done, std::int64_t size)> LoadProgress(ProgressLine& progress,
                                                                       const std::string& file) {
  if (!progress.Shown()) return {};
  return [&progress, file](std::int64_t done, std::int64_t size) {
    progress.Text(LoadingText(file, static_cast<int>(size > 0 ? done * 100 / size : 100)));
  };
}

}  // namespace kestrave::app
