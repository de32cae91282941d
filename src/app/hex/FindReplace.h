#pragma once

#include <QCoreApplication>
#include <QString>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/hex/HexDialogs.h"
#include "app/hex/MatchRanges.h"
#include "hexeditor/HexEditorEx.h"
#include "hexeditor/paint/HexCanvas.h"
#include "view/QueuedOnce.h"

namespace kestrave::app {

class FindBar;

// Find, Find Next and Previous, Replace and Replace All for one editor: what was asked last,
// every match of it (found in one pass, kept until the data, the pattern or the searched bytes
// change), their highlights while the find bar shows, and the status notice they leave ("Match
// 3 of 12", "Replaced 4 matches"), which goes when its state goes: when the data changes, the
// bar closes or another file opens.
class FindReplace {
  Q_DECLARE_TR_FUNCTIONS(kestrave::app::HexWindow)

 public:
  using Run = std::function<void(const std::function<void()>&)>;
  // Repaint draws the view again; the bar shows and counts the matches.
  FindReplace(hex::THexEditorEx& editor, IHexDialogs& dialogs, FindBar& bar, Run run,
              std::function<void()> repaint);

  // Asks what to find unless it searches again for the last pattern.
  void Find(bool again, bool forward = true);
  // Asks what to replace with what, and replaces the next match or all of them.
  void Replace();
  // Redo after undoing Replace All: the editor's history takes a group back but does not redo
  // it, so the replacements are made again, as one step again.
  bool CanRedoReplaceAll();
  void RedoReplaceAll();

  // Every change of the data comes here: known matches are found again, a notice goes.
  void DataChanged();
  // Another file in the editor: the matches, the bar and the notice were the last one's.
  void ForgetFile();
  const MatchRanges& Highlighted() const { return highlighted_; }
  QString Notice() const;
  // Told when the notice changes.
  std::function<void()> OnNoticeChanged;
  // Draws a byte that a highlighted match covers; other cells are left to the view.
  void DrawMatchCell(hex::IHexCanvas& canvas, int col, int row, const std::u16string& text,
                     const hex::PaintRect& box, bool& defaultDraw);

 private:
  struct SearchPattern {
    std::string Bytes;
    bool IgnoreCase = false;
  };
  bool AskForPattern();
  bool KeepSearchedSelection(const FindRequest& request);
  void FindNextHit(bool forward);
  // The last search's pattern as the data holds it (translation, letter case).
  SearchPattern LastSearchPattern();
  // Every match within the searched bytes, or nothing when the user stopped the search.
  const std::vector<int>* Matches(const SearchPattern& search);
  // The bytes the last search covers: the whole data, or the selection it was asked in.
  std::pair<int, int> SearchedRange() const;
  void ShowMatches(const std::vector<int>& hits, int length);
  void ForgetMatches();
  void RefreshMatches();
  void ReplaceWith(const ReplaceRequest& request, const std::string& typed);
  void ReplaceEachInPlace(const std::vector<int>& hits, const std::string& replacement,
                          int patternSize);
  void ReplaceSpanOnce(const std::vector<int>& hits, const std::string& replacement,
                       int patternSize);
  void SetNotice(const QString& text);
  void ObserveReplaceAll();

  hex::THexEditorEx& editor_;
  IHexDialogs& dialogs_;
  FindBar& bar_;
  Run run_;
  std::function<void()> repaint_;
  FindRequest lastFind_;
  std::string lastPattern_;  // the bytes of lastFind_
  // The selection a search "in the selection" was asked in, searched again by F3.
  std::pair<int, int> searchedSelection_{0, -1};
  // Every match of the last search, for counting and searching backwards.
  struct KnownMatches {
    std::uint64_t Version = ~std::uint64_t{0};
    std::string Pattern;
    bool IgnoreCase = false;
    std::pair<int, int> Range{0, -1};
    std::vector<int> Hits;
  } matches_;
  MatchRanges highlighted_;
  view::QueuedOnce refreshLater_;  // of the matches
  // Counts the changes of the data, so known matches are found again after one.
  std::uint64_t dataVersion_ = 0;
  ReplaceRequest lastReplace_;
  QString notice_;
  std::uint64_t noticeVersion_ = 0;
  // The last Replace All made in place, as a group of steps: the history's size and count of
  // steps before and after it tell when an undo took exactly it back.
  struct ReplacedAll {
    std::int64_t SizeBefore = 0;
    int CountBefore = 0;
    std::int64_t SizeAfter = 0;
    int CountAfter = 0;
    std::vector<int> Hits;
    std::string Replacement;
    int PatternSize = 0;
    bool Undone = false;
    std::uint64_t UndoneAt = 0;  // the data's version then: any later change ends the redo
  };
  std::optional<ReplacedAll> replacedAll_;
};

}  // namespace kestrave::app
