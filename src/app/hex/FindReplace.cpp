#include "app/hex/FindReplace.h"

#include <QStringList>
#include <algorithm>
#include <limits>
#include <span>

#include "app/hex/CellTints.h"
#include "app/hex/FileLimits.h"
#include "app/hex/FindBar.h"
#include "hexeditor/text/Conversions.h"
#include "platform/CodePages.h"
#include "platform/FileSystem.h"
#include "view/QtPlatform.h"
#include "view/StatusLog.h"

namespace kestrave::app {
namespace {

// The bytes to look for: text in the Windows code page as typed, or hex digits two a byte.
std::string PatternOf(const FindRequest& request) {
  if (!request.HexDigits)
    return platform::Utf16ToCodePage(platform::AnsiCodePage(),
                                     QString::fromStdString(request.Text).toStdU16String());
  const std::vector<std::uint8_t> bytes = hex::HexTextToBytes(request.Text, false);
  return std::string(bytes.begin(), bytes.end());
}

}  // namespace

FindReplace::FindReplace(hex::THexEditorEx& editor, IHexDialogs& dialogs, FindBar& bar, Run run,
                         std::function<void()> repaint)
    : editor_(editor),
      dialogs_(dialogs),
      bar_(bar),
      run_(std::move(run)),
      repaint_(std::move(repaint)),
      refreshLater_(&bar, [this] { RefreshMatches(); }) {
  bar_.OnNext = [this] { Find(true); };
  bar_.OnPrevious = [this] { Find(true, false); };
  bar_.OnClose = [this] { ForgetMatches(); };
}

QString FindReplace::Notice() const {
  return noticeVersion_ == dataVersion_ ? notice_ : QString();
}

void FindReplace::SetNotice(const QString& text) {
  notice_ = text;
  noticeVersion_ = dataVersion_;
  if (OnNoticeChanged) OnNoticeChanged();
}

void FindReplace::DataChanged() {
  const bool hadNotice = !Notice().isEmpty();
  ++dataVersion_;
  ObserveReplaceAll();
  // Once after a run of changes (Replace All makes thousands).
  if (!bar_.isHidden()) refreshLater_.Request();
  if (hadNotice && OnNoticeChanged) OnNoticeChanged();
}

void FindReplace::ForgetFile() {
  bar_.hide();  // its matches were another file's
  ForgetMatches();
  replacedAll_.reset();
  SetNotice({});
}

// --- Find -------------------------------------------------------------------------------------

void FindReplace::Find(bool again, bool forward) {
  if ((!again || lastPattern_.empty()) && !AskForPattern()) return;
  FindNextHit(forward);
}

bool FindReplace::AskForPattern() {
  const std::optional<FindRequest> request = dialogs_.AskWhatToFind(lastFind_);
  if (!request) return false;
  const std::string pattern = PatternOf(*request);
  if (pattern.empty()) {
    dialogs_.ShowMessage(request->HexDigits ? tr("No hex digits to find.").toStdString()
                                            : tr("No text to find.").toStdString());
    return false;
  }
  if (!KeepSearchedSelection(*request)) return false;
  lastFind_ = *request;
  lastPattern_ = pattern;
  return true;
}

// Kept as asked: the hits then become the selection, and F3 searches the same bytes again.
bool FindReplace::KeepSearchedSelection(const FindRequest& request) {
  if (!request.InSelection) return true;
  if (editor_.SelectionCount() == 0) {
    dialogs_.ShowMessage(tr("Select the bytes to search in first.").toStdString());
    return false;
  }
  searchedSelection_ = {editor_.SelectionLow(), editor_.SelectionHigh()};
  return true;
}

std::pair<int, int> FindReplace::SearchedRange() const {
  const int last = editor_.DataSize() - 1;
  if (!lastFind_.InSelection) return {0, last};
  return {std::min(searchedSelection_.first, last + 1), std::min(searchedSelection_.second, last)};
}

FindReplace::SearchPattern FindReplace::LastSearchPattern() {
  const bool isText = !lastFind_.HexDigits;
  const bool ignoreCase = lastFind_.IgnoreCase && isText;
  return {editor_.BuildFindPattern(lastPattern_, ignoreCase, isText), ignoreCase};
}

// A long search shows its progress and can be stopped.
const std::vector<int>* FindReplace::Matches(const SearchPattern& search) {
  const std::string& pattern = search.Bytes;
  const bool ignoreCase = search.IgnoreCase;
  const std::pair<int, int> range = SearchedRange();
  if (matches_.Version == dataVersion_ && matches_.Pattern == pattern &&
      matches_.IgnoreCase == ignoreCase && matches_.Range == range)
    return &matches_.Hits;
  editor_.SetFindProgress(false);
  const bool showProgress = range.second - range.first + 1 >= kProgressFrom;
  const std::string what =
      tr("Searching %1")
          .arg(QString::fromStdString(platform::BaseNameOf(editor_.FileName())))
          .toStdString();
  std::vector<int> hits;
  auto found = editor_.FindAllBytesIn(
      {pattern}, ignoreCase, range.first, range.second,
      [&](int percent) { return !showProgress || !dialogs_.ShowProgress(what, percent); });
  if (showProgress) dialogs_.EndProgress();
  if (found && found->Stopped) return nullptr;
  if (found) {
    hits = std::move(found->Hits[0]);
  } else {
    // An application's OnFind answers one search at a time.
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(pattern.data());
    const auto length = static_cast<int>(pattern.size());
    for (int at = range.first; at <= range.second;) {
      const int hit = editor_.FindBytes(bytes, length, at, range.second, ignoreCase);
      if (hit < 0) break;
      hits.push_back(hit);
      at = hit + 1;
    }
  }
  matches_ = {dataVersion_, pattern, ignoreCase, range, std::move(hits)};
  return &matches_.Hits;
}

// Forwards from the byte after the start of the selection, so a search again finds the next
// match; backwards from the byte before it. Past the last match the search wraps around and
// says so.
void FindReplace::FindNextHit(bool forward) {
  run_([this, forward] {
    const SearchPattern search = LastSearchPattern();
    const std::string& pattern = search.Bytes;
    const std::vector<int>* found = Matches(search);
    if (!found) {
      SetNotice(tr("Search stopped"));
      return;
    }
    const std::vector<int>& hits = *found;
    ShowMatches(hits, static_cast<int>(pattern.size()));
    if (hits.empty()) {
      SetNotice({});
      dialogs_.ShowMessage(lastFind_.InSelection ? tr("Not found in the selection.").toStdString()
                                                 : tr("Not found.").toStdString());
      return;
    }
    const bool selected = editor_.SelectionCount() > 0;
    const int from = selected ? editor_.SelectionLow() : editor_.CursorPosition();
    bool wrapped = false;
    std::size_t index = 0;
    if (forward) {
      const auto next = std::lower_bound(hits.begin(), hits.end(), selected ? from + 1 : from);
      wrapped = next == hits.end();
      index = wrapped ? 0 : static_cast<std::size_t>(next - hits.begin());
    } else {
      const auto next = std::lower_bound(hits.begin(), hits.end(), from);
      wrapped = next == hits.begin();
      index = wrapped ? hits.size() - 1 : static_cast<std::size_t>(next - hits.begin()) - 1;
    }
    const int hit = hits[index];
    editor_.SetSelectionStart(hit + static_cast<int>(pattern.size()) - 1);
    editor_.SetSelectionEnd(hit);
    QString notice = tr("Match %1 of %2").arg(index + 1).arg(hits.size());
    if (wrapped)
      notice = forward ? tr("%1, continued from the start").arg(notice)
                       : tr("%1, continued from the end").arg(notice);
    SetNotice(notice);
  });
}

void FindReplace::ShowMatches(const std::vector<int>& hits, int length) {
  highlighted_ = MatchRanges(hits, length);
  const auto count = static_cast<int>(hits.size());
  const QString pattern =
      lastFind_.HexDigits
          ? QString::fromStdString(lastFind_.Text).toUpper()
          : QStringLiteral("\u201C%1\u201D").arg(QString::fromStdString(lastFind_.Text));
  // English says "1 match" and "%n matches"; a translation has all the forms its numbers take.
  const QString matches =
      lastFind_.InSelection
          ? (count == 1 ? tr("%1: 1 match in the selection")
                        : tr("%1: %n matches in the selection", nullptr, count))
          : (count == 1 ? tr("%1: 1 match") : tr("%1: %n matches", nullptr, count));
  bar_.SetSummary(matches.arg(pattern));
  if (hits.empty()) {
    bar_.hide();
  } else {
    bar_.show();
    view::ReportShownText("findbar", bar_.Summary());
  }
  repaint_();
}

// The bar has closed: its highlights and the notice of where the last match stood go with it.
void FindReplace::ForgetMatches() {
  view::ReportShownText("findbar", QString());
  if (!notice_.isEmpty()) SetNotice({});
  if (highlighted_.Empty()) return;
  highlighted_ = {};
  repaint_();
}

// Found again at once below the size that shows progress; a longer search waits for F3, and
// the bar says so instead of showing matches that may have moved.
void FindReplace::RefreshMatches() {
  if (bar_.isHidden() || lastPattern_.empty()) return;
  const std::pair<int, int> range = SearchedRange();
  if (range.second - range.first + 1 >= kProgressFrom) {
    highlighted_ = {};
    bar_.SetSummary(tr("The data has changed: Find Next searches again."));
    repaint_();
    return;
  }
  run_([this] {
    const SearchPattern search = LastSearchPattern();
    if (const std::vector<int>* hits = Matches(search))
      ShowMatches(*hits, static_cast<int>(search.Bytes.size()));
  });
}

void FindReplace::DrawMatchCell(hex::IHexCanvas& canvas, int col, int row,
                                const std::u16string& text, const hex::PaintRect& box,
                                bool& defaultDraw) {
  const int position = editor_.DrawnPosition();
  // The selection shows as the view draws it, also where it lies on a match.
  if (position < 0 || editor_.DrawnSelected() || !highlighted_.Covers(position)) return;
  // The gap after a cell is filled only where the match goes on into the next cell of the field.
  const std::int64_t next = editor_.CellToPosition({col + 1, row});
  const bool joined = TintJoinsNextCell(editor_, col) && next <= editor_.DataSize() &&
                      highlighted_.Covers(static_cast<int>(next));
  // Tinted as the desktop's palette allows: marked text on paper, or its dark counterpart.
  const hex::TDesktopTints tints = view::DesktopTints();
  DrawTintedCell(editor_, canvas, col, row, text, box, tints.MatchBackground, tints.MatchText,
                 joined);
  defaultDraw = false;
}

// --- Replace ----------------------------------------------------------------------------------

// Through the editor's own Replace, so every replacement is a step undo takes back; Replace All
// makes them one step. Matches that overlap an earlier one are left, as the earlier one's
// replacement takes their bytes.
void FindReplace::Replace() {
  const std::optional<ReplaceRequest> request = dialogs_.AskWhatToReplace(lastReplace_);
  if (!request) return;
  lastReplace_ = *request;
  const std::string found = PatternOf(request->Find);
  if (found.empty()) {
    dialogs_.ShowMessage(request->Find.HexDigits ? tr("No hex digits to find.").toStdString()
                                                 : tr("No text to find.").toStdString());
    return;
  }
  const std::string typed = PatternOf({request->Replacement, request->Find.HexDigits, false});
  if (typed.empty() && !request->Replacement.empty()) {
    dialogs_.ShowMessage(tr("No hex digits to replace with.").toStdString());
    return;
  }
  if (!KeepSearchedSelection(request->Find)) return;
  lastFind_ = request->Find;
  lastPattern_ = found;
  run_([&] { ReplaceWith(*request, typed); });
}

void FindReplace::ReplaceWith(const ReplaceRequest& request, const std::string& typed) {
  // The replacement in the data's character set, as typed; the pattern last, as the search
  // runs with the tables its building leaves.
  const std::string replacement =
      request.Find.HexDigits ? typed : editor_.BuildFindPattern(typed, false, true);
  const SearchPattern search = LastSearchPattern();
  const std::string& pattern = search.Bytes;
  const auto patternSize = static_cast<int>(pattern.size());
  const auto replacementSize = static_cast<int>(replacement.size());
  if (patternSize != replacementSize && editor_.NoSizeChange()) {
    dialogs_.ShowError(tr("The size of the data is fixed: the replacement must be %1 bytes "
                          "long, as what it replaces.")
                           .arg(patternSize)
                           .toStdString());
    return;
  }
  const std::vector<int>* found = Matches(search);
  if (!found) {
    SetNotice(tr("Search stopped"));
    return;
  }
  std::vector<int> hits;
  for (const int hit : *found)
    if (hits.empty() || hit >= hits.back() + patternSize) hits.push_back(hit);
  if (hits.empty()) {
    dialogs_.ShowMessage(request.Find.InSelection ? tr("Not found in the selection.").toStdString()
                                                  : tr("Not found.").toStdString());
    return;
  }
  if (request.All) {
    // Each in place costs ~10 us a match: beyond this many the one pass is quicker.
    constexpr std::size_t kMostInPlace = 10000;
    if (patternSize == replacementSize && hits.size() <= kMostInPlace)
      ReplaceEachInPlace(hits, replacement, patternSize);
    else
      ReplaceSpanOnce(hits, replacement, patternSize);
    SetNotice(tr("Replaced %1 matches").arg(hits.size()));
    return;
  }
  // The match the caret or the selection stands on, or the next one.
  const int from = editor_.SelectionCount() > 0 ? editor_.SelectionLow() : editor_.CursorPosition();
  auto next = std::lower_bound(hits.begin(), hits.end(), from);
  if (next == hits.end()) next = hits.begin();
  editor_.Replace(replacement.data(), *next, patternSize, replacementSize,
                  tr("Replace").toStdString(), false);
  if (replacementSize > 0) editor_.SetSelection(*next, *next + replacementSize - 1);
  SetNotice(tr("Replaced 1 of %1 matches").arg(hits.size()));
}

// A few replacements of the same length move nothing: each is a step of its own (undo keeps
// only the matched bytes), grouped as one. The whole group is recorded whatever the history's
// size limit, which would otherwise drop the first replacements of a long run while the last
// are recorded, and one undo would no longer take them all back. The limit applies again from
// the next step on.
void FindReplace::ReplaceEachInPlace(const std::vector<int>& hits, const std::string& replacement,
                                     int patternSize) {
  replacedAll_.reset();
  ReplacedAll done;
  done.SizeBefore = editor_.UndoStorage().Size();
  done.CountBefore = editor_.UndoStorage().Count();
  {
    struct UndoLimitScope {
      hex::THexEditorEx& editor;
      const int limit = editor.MaxUndo();
      ~UndoLimitScope() { editor.SetMaxUndo(limit); }
    } unlimited{editor_};
    editor_.SetMaxUndo(0);
    const std::string step = tr("Replace").toStdString();
    for (const int hit : hits)
      editor_.Replace(replacement.data(), hit, patternSize, patternSize, step, false);
    editor_.RecordGroup(static_cast<int>(hits.size()), tr("Replace All").toStdString());
  }
  done.SizeAfter = editor_.UndoStorage().Size();
  done.CountAfter = editor_.UndoStorage().Count();
  done.Hits = hits;
  done.Replacement = replacement;
  done.PatternSize = patternSize;
  replacedAll_ = std::move(done);
}

// Replacements of another length would each move the rest of the data: thousands of them in a
// large file took hours, and a million of the same length took a quarter of a minute. The
// bytes from the first match to the end of the last are built once and replaced in one step.
void FindReplace::ReplaceSpanOnce(const std::vector<int>& hits, const std::string& replacement,
                                  int patternSize) {
  const int first = hits.front();
  const int end = hits.back() + patternSize;
  const std::int64_t grown = static_cast<std::int64_t>(editor_.DataSize()) +
                             static_cast<std::int64_t>(hits.size()) *
                                 (static_cast<std::int64_t>(replacement.size()) - patternSize);
  if (grown > std::numeric_limits<int>::max()) {
    dialogs_.ShowError(tr("Replacing every match would make the data larger than 2 GiB; "
                          "nothing was replaced.")
                           .toStdString());
    return;
  }
  std::string span;
  span.reserve(static_cast<std::size_t>(grown - (editor_.DataSize() - (end - first))));
  int at = first;
  for (const int hit : hits) {
    if (hit > at) {
      const std::span<const std::uint8_t> kept = editor_.ViewBytes(at, hit - at);
      span.append(reinterpret_cast<const char*>(kept.data()), kept.size());
    }
    span += replacement;
    at = hit + patternSize;
  }
  editor_.Replace(span.data(), first, end - first, static_cast<int>(span.size()),
                  tr("Replace All").toStdString(), false);
}

// The group's undo takes its steps back one by one and then the history ends where it stood
// before the group: that moment, and no other, leaves a Replace All to redo. Any change after it
// (another edit, an undo further back) ends that.
// The editor tells of a change before it drops the step undone, so the history is seen at its
// end only by the next look: the menus' and the keys' (CanRedoReplaceAll).
void FindReplace::ObserveReplaceAll() {
  if (!replacedAll_) return;
  ReplacedAll& done = *replacedAll_;
  const hex::THexUndoStorage& history = editor_.UndoStorage();
  const bool atBefore = history.Size() == done.SizeBefore && history.Count() == done.CountBefore;
  if (history.Size() == done.SizeAfter && history.Count() == done.CountAfter) {
    done.Undone = false;  // the group is the newest step again (a step after it was undone)
  } else if (!done.Undone && atBefore) {
    done.Undone = true;
    done.UndoneAt = dataVersion_;
  } else if (done.Undone && atBefore && done.UndoneAt == dataVersion_) {
    // Looked at again with nothing changed since.
  } else if (done.Undone) {
    replacedAll_.reset();
  } else if (history.Size() < done.SizeBefore) {
    replacedAll_.reset();  // undone further back, or dropped by the history's limit
  }
}

bool FindReplace::CanRedoReplaceAll() {
  ObserveReplaceAll();
  return replacedAll_ && replacedAll_->Undone && replacedAll_->UndoneAt == dataVersion_ &&
         !editor_.CanRedo() && !editor_.ReadOnlyView();
}

void FindReplace::RedoReplaceAll() {
  if (!CanRedoReplaceAll()) return;
  const ReplacedAll done = *replacedAll_;
  run_([&] {
    ReplaceEachInPlace(done.Hits, done.Replacement, done.PatternSize);
    SetNotice(tr("Replaced %1 matches").arg(done.Hits.size()));
  });
}

}  // namespace kestrave::app
