// Search: building patterns and their comparison tables, and finding them in the data.
#include <algorithm>
#include <cstring>
#include <string_view>

#include "hexeditor/CustomHexEditor.h"
#include "hexeditor/HexEditorError.h"
#include "hexeditor/Messages.h"
#include "hexeditor/document/ProgressCopy.h"
#include "platform/CodePages.h"
#include "platform/UserInterface.h"

namespace kestrave::hex {
namespace {

std::uint8_t* Bytes(std::string& text) {
  return reinterpret_cast<std::uint8_t*>(text.data());
}

// The search runs through the data in blocks of this size, so the windows can draw themselves
// between two blocks. Each block reaches the pattern's length less one byte into the next, so a
// match across the join lies wholly in the earlier block, and the first match is found first.
constexpr std::int64_t kSearchBlock = std::int64_t{16} << 20;

std::int64_t FindMappedInBlocks(const std::uint8_t* data, std::int64_t size,
                                const std::uint8_t* pattern, std::int64_t length,
                                const ByteMap& map) {
  for (std::int64_t from = 0;;) {
    const std::int64_t to = std::min(size, from + kSearchBlock + length - 1);
    const std::int64_t found = FindMapped(data + from, to - from, pattern, length, map);
    if (found >= 0) return from + found;
    if (to == size) return -1;
    from = to - (length - 1);
    platform::KeepResponsive();
  }
}

}  // namespace

std::string TCustomHexEditor::BuildFindPattern(const std::string& text, bool ignoreCase,
                                               bool isText) {
  if (text.empty()) return {};
  std::string pattern = ignoreCase ? platform::AnsiLowerCase(text) : text;
  if (isText && look_.Translation != tkAsIs)
    TranslateToData(look_.Translation, Bytes(pattern), Bytes(pattern), pattern.size());
  if (isText && layout_.UnicodeChars()) {
    std::string units;
    for (const char16_t unit : platform::AnsiToUtf16(pattern)) {
      const auto low = static_cast<char>(unit & 0xFF);
      const auto high = static_cast<char>(unit >> 8);
      units += layout_.UnicodeBigEndian() ? high : low;
      units += layout_.UnicodeBigEndian() ? low : high;
    }
    pattern = std::move(units);
  }
  RebuildFindTables();
  return pattern;
}

// Folding goes through the platform's character set, by the same rule as the pattern's.
void TCustomHexEditor::RebuildFindTables() {
  for (int b = 0; b < 256; ++b) {
    findTables_.Identity[b] = static_cast<std::uint8_t>(b);
    std::uint8_t folded = static_cast<std::uint8_t>(b);
    if (look_.Translation != tkAsIs) TranslateFromData(look_.Translation, &folded, &folded, 1);
    folded = platform::AnsiLower(folded);
    if (look_.Translation != tkAsIs) TranslateToData(look_.Translation, &folded, &folded, 1);
    findTables_.Folded[b] = folded;
  }
}

int TCustomHexEditor::FindBytes(const std::uint8_t* pattern, int patternLength, int startPos,
                                int endPos, bool ignoreCase) {
  if (OnFind) {
    int result = -1;
    OnFind(*this, pattern, patternLength, startPos, endPos, ignoreCase, false, result);
    return result;
  }
  if (endPos >= DataSize()) endPos = DataSize() - 1;
  // A start before the data would read before it; the data begins at 0.
  startPos = std::max(startPos, 0);
  if (patternLength < 1 || std::int64_t{startPos} + patternLength > std::int64_t{endPos} + 1)
    return -1;
  const ByteMap& map = findTables_.For(ignoreCase);
  const BusyScope busy(*this);
  if (findProgress_ && OnProgress)
    return FindWithProgress(pattern, patternLength, startPos, endPos, map);
  // Nobody watches the steps, so any method with the same answer will do.
  const auto* data = reinterpret_cast<const std::uint8_t*>(document_.Bytes().PointerAt(startPos));
  const std::int64_t found =
      FindMappedInBlocks(data, std::int64_t{endPos} - startPos + 1, pattern, patternLength, map);
  return found < 0 ? -1 : static_cast<int>(found + startPos);
}

std::optional<std::vector<std::vector<int>>> TCustomHexEditor::FindAllBytes(
    const std::vector<std::string>& patterns, bool ignoreCase) {
  std::optional<FoundAll> all = FindAllBytesIn(patterns, ignoreCase, 0, DataSize() - 1, nullptr);
  if (!all) return std::nullopt;
  return std::move(all->Hits);
}

std::optional<TCustomHexEditor::FoundAll> TCustomHexEditor::FindAllBytesIn(
    const std::vector<std::string>& patterns, bool ignoreCase, int from, int last,
    const std::function<bool(int percent)>& keepGoing) {
  if (OnFind || (findProgress_ && OnProgress)) return std::nullopt;
  const ByteMap& map = findTables_.For(ignoreCase);
  std::vector<std::basic_string_view<std::uint8_t>> needles;
  std::int64_t longest = 0;
  for (const std::string& pattern : patterns) {
    needles.emplace_back(reinterpret_cast<const std::uint8_t*>(pattern.data()), pattern.size());
    longest = std::max<std::int64_t>(longest, static_cast<std::int64_t>(pattern.size()));
  }
  FoundAll found;
  found.Hits.resize(patterns.size());
  const std::int64_t begin = std::max(from, 0);
  const std::int64_t end = std::min<std::int64_t>(std::int64_t{last} + 1, DataSize());
  if (begin >= end) return found;
  const BusyScope busy(*this);
  const auto* data = reinterpret_cast<const std::uint8_t*>(document_.Bytes().PointerAt(0));
  // Block by block as FindBytes goes, reaching Longest - 1 bytes into the next block but never
  // past the range; a start is taken from the block it begins in, so none is found twice.
  std::vector<std::vector<std::int64_t>> starts;
  for (std::int64_t at = begin; at < end;) {
    const std::int64_t blockEnd = std::min(end, at + kSearchBlock);
    const std::int64_t to = std::min(end, blockEnd + std::max<std::int64_t>(longest - 1, 0));
    FindAllMapped(data + at, to - at, needles, map, starts);
    for (std::size_t k = 0; k < starts.size(); ++k)
      for (const std::int64_t start : starts[k])
        if (at + start < blockEnd) found.Hits[k].push_back(static_cast<int>(at + start));
    at = blockEnd;
    if (keepGoing && !keepGoing(static_cast<int>((at - begin) * 100 / (end - begin)))) {
      found.Stopped = at < end;
      break;
    }
    if (at < end) platform::KeepResponsive();
  }
  return found;
}

// The shift-by-one method step by step, as the progress handler may count its reports.
int TCustomHexEditor::FindWithProgress(const std::uint8_t* pattern, int patternLength, int startPos,
                                       int endPos, const ByteMap& map) {
  const int step = DataSize() / 500;
  std::int64_t counter = 0;
  const auto report = [&](std::int64_t p) {
    ++counter;
    if (step != 0 && counter % step != 0) return;
    bool cancel = false;  // a search cannot be cancelled; the flag is not read back
    OnProgress(*this, pkFind, document_.FileName(), ProgressPercent(p, DataSize()), cancel);
    platform::KeepResponsive();
  };
  const auto* data = reinterpret_cast<const std::uint8_t*>(document_.Bytes().PointerAt(0));
  return static_cast<int>(
      FindMappedStepwise(data, startPos, endPos, pattern, patternLength, map, report));
}

void TCustomHexEditor::SetTranslation(THexTranslationKind value) {
  if (value == look_.Translation) return;
  if (value != tkAsIs && layout_.UnicodeChars()) throw EHexEditor(msg::kTranslationInUnicodeMode);
  look_.Translation = value;
  RepaintAll();
}

void TCustomHexEditor::RestoreTranslation(THexTranslationKind kind) {
  if (layout_.UnicodeChars()) {
    look_.Translation = kind;
  } else {
    SetTranslation(kind);
  }
}

void TCustomHexEditor::SetMaskChar(std::uint8_t value) {
  if (value == look_.MaskChar) return;
  look_.MaskChar = value;
  RepaintAll();
}

std::uint8_t TCustomHexEditor::DataByteToChar(std::uint8_t byte) const {
  return hex::DataByteToChar(look_.Translation, look_.MaskChar, byte);
}

std::uint8_t TCustomHexEditor::CharToDataByte(std::uint8_t ch) const {
  return hex::CharToDataByte(look_.Translation, ch);
}

}  // namespace kestrave::hex
