// kestrave-cli's argument handling and commands, called as a function in a folder of its own:
// any words, any container, and sometimes a standard output that refuses everything. Whatever
// happens, nothing is thrown out of RunCli, a failure says why, results that could not be shown
// make the run fail, the folder it ran in stays current, the container is never changed or
// unlinked from its other names, nothing is left behind but the records listed, and a
// successful extract writes exactly the container's records.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzInput.h"
#include "app/cli/Cli.h"

namespace fs = std::filesystem;

namespace {

// The scan finds the magic in any case, so records may start with "#!amr" too.
bool IsMagicAt(const std::string& text, std::size_t at) {
  static constexpr char kMagic[] = "#!AMR";
  if (at > text.size() || text.size() - at < 5) return false;
  for (std::size_t i = 0; i < 5; ++i)
    if (std::toupper(static_cast<unsigned char>(text[at + i])) != kMagic[i]) return false;
  return true;
}

std::size_t FindMagic(const std::string& text) {
  for (std::size_t at = 0; at + 5 <= text.size(); ++at)
    if (IsMagicAt(text, at)) return at;
  return std::string::npos;
}

// Words the fuzzer picks by number. Names refer to the fixtures below; no word reaches outside
// the sandbox except "/dev/null", which only ever gets read.
const std::vector<std::string>& Vocabulary() {
  static const std::vector<std::string> words = {
      "scan",      "extract", "--positions", "--help", "-h",      "--version", "--",
      "-",         "",        "--bogus",     "c.drf",  "./c.drf", "link.drf",  "self_1.amr",
      "sym_1.amr", "missing", "dir.drf",     "null",   "fifo",    "sub",       "sub/r",
      "nosuch/r",  "r",       "self",        "sym",    "C:\\111", "C:\\111/r", "dir.drf/r"};
  return words;
}

// The folder every run happens in, made once per process.
const std::string& Sandbox() {
  static const std::string folder = [] {
    std::string pattern = (fs::temp_directory_path() / "kestrave-cli-fuzz-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) std::abort();
    return pattern;
  }();
  // Registered once the name is made, so it runs before the name is destroyed.
  static const int removal = std::atexit([] { std::filesystem::remove_all(Sandbox()); });
  (void)removal;
  return folder;
}

// The container under several names: a symbolic link, and a hard link and a link named as
// record 1 of the bases "self" and "sym", so an extract could aim at the file it reads.
const std::set<std::string>& FixtureNames() {
  static const std::set<std::string> names = {
      "c.drf", "link.drf", "self_1.amr", "sym_1.amr", "dir.drf", "null", "fifo", "sub", "C:\\111"};
  return names;
}

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

void WriteFile(const fs::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
  if (!out) std::abort();
}

// Puts the fixtures back as they must be before a run: everything but the FIFO is made anew.
void PrepareSandbox(const std::string& container) {
  const fs::path root = Sandbox();
  const fs::path fifo = root / "fifo";
  for (const auto& entry : fs::directory_iterator(root))
    if (entry.path() != fifo || !entry.is_fifo()) fs::remove_all(entry.path());
  WriteFile(root / "c.drf", container);
  fs::create_hard_link(root / "c.drf", root / "self_1.amr");
  fs::create_symlink("c.drf", root / "link.drf");
  fs::create_symlink("c.drf", root / "sym_1.amr");
  fs::create_symlink("/dev/null", root / "null");
  for (const char* folder : {"dir.drf", "sub", "C:\\111"})
    fs::create_directory(root / folder);
  if (!fs::exists(fifo) && ::mkfifo(fifo.c_str(), 0600) != 0) std::abort();
}

// Argument words: Count of them, each either a number into the vocabulary or a literal of up to
// 15 bytes. Slashes and zero bytes in literals become '_', so they name files in the sandbox.
std::vector<std::string> Words(kestrave::fuzz::FuzzInput& input, std::size_t count) {
  std::vector<std::string> words;
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint8_t pick = input.Byte();
    if (pick < Vocabulary().size()) {
      words.push_back(Vocabulary()[pick]);
      continue;
    }
    std::size_t length = pick % 16;
    const auto* bytes = reinterpret_cast<const char*>(input.Take(length));
    std::string word(bytes, length);
    for (char& c : word)
      if (c == '/' || c == '\0') c = '_';
    words.push_back(word);
  }
  return words;
}

// Standard output on a full disk: it takes nothing and says so, and notes that it was offered
// something.
class FullOutput : public std::streambuf {
 public:
  bool Offered() const { return offered_; }

 protected:
  int_type overflow(int_type) override {
    offered_ = true;
    return traits_type::eof();
  }
  std::streamsize xsputn(const char*, std::streamsize count) override {
    offered_ = offered_ || count > 0;
    return 0;
  }

 private:
  bool offered_ = false;
};

[[noreturn]] void Fail(const std::string& what, const std::vector<std::string>& words,
                       const std::string& out, const std::string& err) {
  std::fprintf(stderr, "%s\nwords:", what.c_str());
  for (const auto& word : words)
    std::fprintf(stderr, " [%s]", word.c_str());
  std::fprintf(stderr, "\nout:\n%s\nerr:\n%s\n", out.c_str(), err.c_str());
  std::abort();
}

// Files under the sandbox that no fixture accounts for, in no particular order.
std::vector<fs::path> NewFiles() {
  std::vector<fs::path> files;
  for (const auto& entry : fs::recursive_directory_iterator(Sandbox())) {
    const fs::path relative = entry.path().lexically_relative(Sandbox());
    if (FixtureNames().count(relative.string())) continue;
    if (entry.is_directory()) continue;
    files.push_back(entry.path());
  }
  return files;
}

// A name as the program shows it (control characters escaped, "\\" for a backslash) back as
// it is.
std::string Unescaped(std::string_view shown) {
  static constexpr std::string_view kLetters = "abfnrtv";
  static constexpr std::string_view kBytes = "\a\b\f\n\r\t\v";
  std::string name;
  for (std::size_t i = 0; i < shown.size(); ++i) {
    if (shown[i] != '\\' || i + 1 == shown.size()) {
      name += shown[i];
      continue;
    }
    const char c = shown[++i];
    if (c >= '0' && c <= '3' && i + 2 < shown.size()) {
      name += static_cast<char>((c - '0') * 64 + (shown[i + 1] - '0') * 8 + (shown[i + 2] - '0'));
      i += 2;
    } else if (const std::size_t letter = kLetters.find(c); letter != std::string_view::npos) {
      name += kBytes[letter];
    } else {
      name += c;
    }
  }
  return name;
}

// Where Out lists File: the line that names it, by any name. Npos where it is not listed.
std::size_t ListedAt(const std::string& out, const fs::path& file) {
  std::size_t at = 0;
  for (std::size_t end; (end = out.find('\n', at)) != std::string::npos; at = end + 1) {
    std::error_code error;
    if (end > at &&
        fs::equivalent(fs::path(Sandbox()) / Unescaped(std::string_view(out).substr(at, end - at)),
                       file, error))
      return at;
  }
  return std::string::npos;
}

// The records a run listed, in the order listed; Made holds them and any other files it made.
std::vector<fs::path> ListedRecords(const std::string& out, const std::vector<fs::path>& made) {
  std::vector<std::pair<std::size_t, fs::path>> found;
  for (const auto& file : made)
    if (const std::size_t at = ListedAt(out, file); at != std::string::npos)
      found.emplace_back(at, file);
  std::sort(found.begin(), found.end());
  std::vector<fs::path> listed;
  for (const auto& [at, file] : found)
    listed.push_back(file);
  return listed;
}

// With standard output refusing the results, the records cannot be told from what was listed;
// those written must still be whole, with nothing hidden beside them, and the run must fail.
void CheckRunWithFullOutput(const std::vector<std::string>& words, int exitCode, bool offered,
                            const std::string& err) {
  if (offered && (exitCode != 2 || err.find("standard output") == std::string::npos))
    Fail("results that could not be written went unreported", words, "", err);
  for (const auto& file : NewFiles()) {
    if (file.filename().string().rfind('.', 0) == 0)
      Fail("left behind: " + file.string(), words, "", err);
    if (!IsMagicAt(ReadFile(file), 0))
      Fail("a record without magic: " + file.string(), words, "", err);
  }
}

void CheckRun(const std::vector<std::string>& words, int exitCode, const std::string& out,
              const std::string& err, const std::string& container, ino_t containerInode,
              const FullOutput* full) {
  if (exitCode != 0 && exitCode != 1 && exitCode != 2)
    Fail("exit code " + std::to_string(exitCode), words, out, err);
  if (exitCode != 0 && err.empty()) Fail("a failure without a message", words, out, err);
  // Names are shown escaped: a line is never broken nor a terminal driven by one.
  const auto control = [](char c) { return (c >= 0 && c < 0x20 && c != '\n') || c == 0x7F; };
  if (std::any_of(out.begin(), out.end(), control) || std::any_of(err.begin(), err.end(), control))
    Fail("a control character in the output", words, out, err);
  const fs::path root = Sandbox();
  if (ReadFile(root / "c.drf") != container) Fail("the container changed", words, out, err);
  struct stat self {};
  if (::stat((root / "self_1.amr").c_str(), &self) != 0 || self.st_ino != containerInode)
    Fail("the container's other name was replaced", words, out, err);
  if (!fs::is_symlink(root / "sym_1.amr"))
    Fail("a link to the container was replaced", words, out, err);
  if (full) return CheckRunWithFullOutput(words, exitCode, full->Offered(), err);
  const std::vector<fs::path> made = NewFiles();
  const std::vector<fs::path> listed = ListedRecords(out, made);
  for (const auto& file : made)
    if (std::find(listed.begin(), listed.end(), file) == listed.end())
      Fail("left behind: " + file.string(), words, out, err);
  if (listed.empty()) return;
  // Records are consecutive pieces of the container from its first magic to its end; a failed
  // run may have written only the first of them, each one whole.
  std::string joined;
  for (const auto& file : listed) {
    const std::string record = ReadFile(file);
    if (!IsMagicAt(record, 0)) Fail("a record without magic: " + file.string(), words, out, err);
    joined += record;
  }
  const std::size_t first = FindMagic(container);
  if (first == std::string::npos) Fail("records from a container without magic", words, out, err);
  const std::string expected = container.substr(first);
  if (exitCode == 0 ? joined != expected : expected.rfind(joined, 0) != 0)
    Fail("the records are not the container's", words, out, err);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  kestrave::fuzz::FuzzInput input(data, size);
  // The first byte: how many words, and whether standard output is full.
  const std::uint8_t first = input.Byte();
  const std::vector<std::string> words = Words(input, (first & 0x7F) % 6);
  const bool outputIsFull = first & 0x80;
  const std::string container(reinterpret_cast<const char*>(input.Rest()), input.Remaining());
  PrepareSandbox(container);
  struct stat containerInfo {};
  if (::stat((fs::path(Sandbox()) / "c.drf").c_str(), &containerInfo) != 0) std::abort();

  const fs::path before = fs::current_path();
  fs::current_path(Sandbox());
  std::ostringstream out;
  std::ostringstream err;
  FullOutput full;
  std::ostream fullOut(&full);
  int exitCode = -1;
  try {
    exitCode = kestrave::app::RunCli(words, outputIsFull ? fullOut : out, err);
  } catch (...) {
    fs::current_path(before);
    Fail("an exception left RunCli", words, out.str(), err.str());
  }
  const fs::path after = fs::current_path();
  fs::current_path(before);
  if (after != fs::path(Sandbox()))
    Fail("the current folder changed to " + after.string(), words, out.str(), err.str());
  CheckRun(words, exitCode, out.str(), err.str(), container, containerInfo.st_ino,
           outputIsFull ? &full : nullptr);
  return 0;
}
