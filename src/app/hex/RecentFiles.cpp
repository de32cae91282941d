#include "app/hex/RecentFiles.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <filesystem>

#include "app/hex/ConfigFiles.h"
#include "platform/Utf8.h"

namespace kestrave::app {
namespace {

// Ten names of at most a few kilobytes each: a larger file is not one of ours.
constexpr std::int64_t kLargestListFile = 1 << 20;

constexpr char kHeader[] =
    "# kestrave-hex: the files opened last, most recent first, one a line: where the caret was\n"
    "# left, a tab, the name. %XX stands for a byte that is no UTF-8 text, a control character\n"
    "# or a percent sign.\n";

void AppendEscaped(std::string& out, std::string_view name) {
  constexpr char kDigits[] = "0123456789ABCDEF";
  for (std::size_t at = 0; at < name.size();) {
    const auto byte = static_cast<unsigned char>(name[at]);
    if (byte >= 0x80) {
      if (const auto c = platform::DecodeUtf8Char(name.substr(at))) {
        out.append(name.substr(at, static_cast<std::size_t>(c->Length)));
        at += static_cast<std::size_t>(c->Length);
        continue;
      }
    } else if (byte >= 0x20 && byte != 0x7F && byte != '%') {
      out += static_cast<char>(byte);
      ++at;
      continue;
    }
    out += '%';
    out += kDigits[byte >> 4];
    out += kDigits[byte & 0xF];
    ++at;
  }
}

int HexValue(char digit) {
  if (digit >= '0' && digit <= '9') return digit - '0';
  if (digit >= 'A' && digit <= 'F') return digit - 'A' + 10;
  if (digit >= 'a' && digit <= 'f') return digit - 'a' + 10;
  return -1;
}

// Nothing for a broken escape, or a zero byte written or escaped, which no name holds.
std::optional<std::string> Unescaped(std::string_view text) {
  std::string name;
  name.reserve(text.size());
  for (std::size_t at = 0; at < text.size(); ++at) {
    if (text[at] == '\0') return std::nullopt;
    if (text[at] != '%') {
      name += text[at];
      continue;
    }
    if (at + 2 >= text.size()) return std::nullopt;
    const int high = HexValue(text[at + 1]);
    const int low = HexValue(text[at + 2]);
    if (high < 0 || low < 0 || (high | low) == 0) return std::nullopt;
    name += static_cast<char>(high << 4 | low);
    at += 2;
  }
  return name;
}

std::optional<RecentFile> ParsedLine(std::string_view line) {
  const std::size_t tab = line.find('\t');
  if (tab == std::string_view::npos || tab == 0) return std::nullopt;
  RecentFile file;
  const char* end = line.data() + tab;
  const auto [stop, error] = std::from_chars(line.data(), end, file.Position);
  if (error != std::errc() || stop != end || file.Position < 0) return std::nullopt;
  std::optional<std::string> path = Unescaped(line.substr(tab + 1));
  if (!path || !path->starts_with('/')) return std::nullopt;
  file.Path = std::move(*path);
  return file;
}

template <typename List>
auto Listed(List& files, const std::string& normal) {
  return std::find_if(files.begin(), files.end(),
                      [&](const RecentFile& file) { return file.Path == normal; });
}

}  // namespace

std::string RecentFilesPath() {
  return ConfigFolder() + "/kestrave-hex.recent";
}

std::string RecentFilesText(const RecentFileList& files) {
  std::string text = kHeader;
  for (const RecentFile& file : files) {
    text += std::to_string(file.Position);
    text += '\t';
    AppendEscaped(text, file.Path);
    text += '\n';
  }
  return text;
}

RecentFileList ParseRecentFiles(std::string_view text) {
  RecentFileList files;
  while (!text.empty() && files.size() < kMaxRecentFiles) {
    const std::size_t end = std::min(text.find('\n'), text.size());
    std::string_view line = text.substr(0, end);
    text.remove_prefix(std::min(end + 1, text.size()));
    if (line.ends_with('\r')) line.remove_suffix(1);
    if (line.empty() || line.starts_with('#')) continue;
    std::optional<RecentFile> file = ParsedLine(line);
    if (file && Listed(files, file->Path) == files.end()) files.push_back(std::move(*file));
  }
  return files;
}

std::string NormalPath(const std::string& path) {
  std::filesystem::path full(path);
  if (full.is_relative()) {
    std::error_code failed;
    const std::filesystem::path here = std::filesystem::current_path(failed);
    if (!failed) full = here / full;
  }
  std::string normal = full.lexically_normal().string();
  while (normal.size() > 1 && normal.ends_with('/'))
    normal.pop_back();
  return normal;
}

void PutFirst(RecentFileList& files, const std::string& path) {
  RecentFile file{NormalPath(path), 0};
  if (const auto known = Listed(files, file.Path); known != files.end()) {
    file.Position = known->Position;
    files.erase(known);
  }
  files.insert(files.begin(), std::move(file));
  if (files.size() > kMaxRecentFiles) files.resize(kMaxRecentFiles);
}

void SetPosition(RecentFileList& files, const std::string& path, std::int64_t position) {
  if (const auto known = Listed(files, NormalPath(path)); known != files.end())
    known->Position = position;
}

void Remove(RecentFileList& files, const std::string& path) {
  if (const auto known = Listed(files, NormalPath(path)); known != files.end()) files.erase(known);
}

std::int64_t PositionOf(const RecentFileList& files, const std::string& path) {
  const auto known = Listed(files, NormalPath(path));
  return known == files.end() ? 0 : known->Position;
}

RecentFilesRead ReadRecentFiles(const std::string& path) {
  RecentFilesRead read;
  std::string text;
  if (const std::optional<int> error = ReadConfigFile(path, kLargestListFile, text)) {
    if (*error == ENOENT || *error == ENOTDIR)
      read.Missing = true;
    else if (!IsCharacterDevice(path))
      read.Error = error;
    return read;
  }
  if (static_cast<std::int64_t>(text.size()) > kLargestListFile) {
    read.Error = EFBIG;
    return read;
  }
  read.Files = ParseRecentFiles(text);
  return read;
}

bool WriteRecentFiles(const RecentFileList& files, const std::string& path) {
  return StoreConfigFile(RecentFilesText(files), path);
}

}  // namespace kestrave::app
