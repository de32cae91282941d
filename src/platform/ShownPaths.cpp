#include "platform/ShownPaths.h"

#include <dirent.h>
#include <sys/stat.h>

#include <memory>
#include <vector>

#include "platform/Utf8.h"

namespace kestrave::platform {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD in UTF-8

bool Exists(const std::string& path) {
  struct stat info {};
  return ::lstat(path.c_str(), &info) == 0;
}

std::string Joined(const std::string& folder, std::string_view part) {
  if (folder.empty()) return std::string(part);
  return folder.back() == '/' ? folder + std::string(part) : folder + "/" + std::string(part);
}

// The folder's entries shown as Part, up to two (two already make it ambiguous).
std::vector<std::string> EntriesShownAs(const std::string& folder, std::string_view part) {
  std::vector<std::string> found;
  const std::unique_ptr<DIR, int (*)(DIR*)> listing(
      ::opendir(folder.empty() ? "." : folder.c_str()), &::closedir);
  if (!listing) return found;
  while (const dirent* entry = ::readdir(listing.get())) {
    const std::string_view name = entry->d_name;
    if (name == "." || name == "..") continue;
    if (ShownName(name) == part) {
      found.emplace_back(name);
      if (found.size() > 1) break;
    }
  }
  return found;
}

}  // namespace

std::string ShownName(std::string_view bytes) {
  std::string shown;
  shown.reserve(bytes.size());
  for (std::size_t at = 0; at < bytes.size();) {
    if (const std::optional<Utf8Char> c = DecodeUtf8Char(bytes.substr(at))) {
      shown.append(bytes.substr(at, static_cast<std::size_t>(c->Length)));
      at += static_cast<std::size_t>(c->Length);
    } else {
      shown.append(kReplacement);
      ++at;
    }
  }
  return shown;
}

ShownPathMatch PathShownAs(const std::string& shown) {
  if (shown.find(kReplacement) == std::string::npos || Exists(shown)) return {shown, {}, {}};
  std::string path = shown.starts_with('/') ? "/" : "";
  bool matching = true;  // until a part names nothing: what follows it cannot be on the disk
  for (std::size_t at = 0; at <= shown.size();) {
    std::size_t end = shown.find('/', at);
    if (end == std::string::npos) end = shown.size();
    const std::string_view part = std::string_view(shown).substr(at, end - at);
    at = end + 1;
    if (part.empty()) continue;
    const std::string direct = Joined(path, part);
    if (!matching || Exists(direct) || part.find(kReplacement) == std::string_view::npos) {
      matching = matching && Exists(direct);
      path = direct;
      continue;
    }
    const std::vector<std::string> entries = EntriesShownAs(path, part);
    if (entries.size() > 1) return {std::nullopt, path.empty() ? "." : path, std::string(part)};
    matching = entries.size() == 1;
    path = Joined(path, matching ? std::string_view(entries.front()) : part);
  }
  if (shown.ends_with('/') && !path.ends_with('/')) path += '/';
  return {path, {}, {}};
}

}  // namespace kestrave::platform
