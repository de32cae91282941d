#include "app/core/TStringList.h"

#include <charconv>

#include "platform/Exception.h"
#include "platform/Format.h"

namespace kestrave::app {
namespace {

// The value of a line std::to_string would write for it: digits only, no leading zero, no sign.
bool CanonicalNumber(const std::string& line, std::int32_t& value) {
  if (line.empty() || (line.size() > 1 && line.front() == '0')) return false;
  for (const char c : line)
    if (c < '0' || c > '9') return false;
  const auto [end, error] = std::from_chars(line.data(), line.data() + line.size(), value);
  return error == std::errc() && end == line.data() + line.size();
}

}  // namespace

void TStringList::Add(const std::string& line) {
  std::int32_t value = 0;
  if (CanonicalNumber(line, value)) {
    entries_.push_back(value);
    return;
  }
  others_.push_back(line);
  entries_.push_back(static_cast<std::int32_t>(-static_cast<std::int64_t>(others_.size())));
}

void TStringList::Clear() {
  entries_ = {};
  others_ = {};
}

void TStringList::Reserve(int count) {
  if (count > 0) entries_.reserve(static_cast<std::size_t>(count));
}

std::string TStringList::Strings(int index) const {
  if (index < 0 || index >= Count())
    throw platform::EListError(
        platform::FormatMessage("List index out of bounds (%d)", {std::int64_t{index}}));
  const std::int32_t entry = entries_[static_cast<std::size_t>(index)];
  if (entry >= 0) return std::to_string(entry);
  return others_[static_cast<std::size_t>(-(static_cast<std::int64_t>(entry) + 1))];
}

std::vector<std::string> TStringList::Lines() const {
  std::vector<std::string> lines;
  lines.reserve(entries_.size());
  for (int i = 0; i < Count(); ++i)
    lines.push_back(Strings(i));
  return lines;
}

}  // namespace kestrave::app
