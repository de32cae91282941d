#pragma once

#include <string>
#include <vector>

#include "hexeditor/HexEditorEx.h"

namespace kestrave::hex {

// The bytes a printout covers, [First, End).
struct TPrintRange {
  int First = 0;
  int End = 0;
  bool Empty() const { return End <= First; }
};

// One kind of text on a printed line. A line is laid out in character cells of one monospaced
// font, so each kind is drawn as one string with blanks where the others stand.
enum class TPrintInk { Offset, OddColumn, EvenColumn, Changed, Characters, Selected, kCount };

// A printed line: its text, and for every character cell the ink it is drawn in.
struct TPrintLine {
  std::u16string Text;
  std::vector<TPrintInk> Inks;
};

// What a printout of a view shows, row by row, as the view shows it: the offset, the hex field
// grouped by columns and blocks and the characters in the view's translation, a row a line.
// Bytes outside the printed range (the start and end of a selection) stay blank.
class THexPrintLayout {
 public:
  // SelectionOnly prints the selection (the whole data while none is made); the view's print
  // options decide the rest (pfCurrentViewOnly, pfSelectionBold, pfIncludeRuler).
  THexPrintLayout(THexEditorEx& editor, bool selectionOnly);

  const TPrintRange& Range() const { return range_; }
  int RowCount() const { return rowCount_; }
  // Characters in every line: gutter, hex field, gap and characters.
  int LineLength() const { return static_cast<int>(ruler_.Text.size()); }
  TPrintLine Row(int index) const;
  // The ruler over the fields, as the view's ruler reads; blank over the gutter.
  const TPrintLine& Ruler() const { return ruler_; }
  bool WithRuler() const { return withRuler_; }

  static int PageCount(int rows, int rowsPerPage);

 private:
  int HexCell(int byteInRow, int nibble) const;

  THexEditorEx& editor_;
  TPrintRange range_;
  int firstRow_ = 0;
  int rowCount_ = 0;
  int gutter_ = 0;
  std::vector<int> hexStarts_;   // cell of each byte's first digit
  std::vector<int> charStarts_;  // cell of each character
  bool boldSelection_ = false;
  bool withRuler_ = false;
  TPrintLine ruler_;
};

// A page's header or footer text with its fields filled in: &f the file's name, &p the page,
// &n the number of pages, && an ampersand.
std::string ExpandPageText(const std::string& text, const std::string& fileName, int page,
                           int pages);

}  // namespace kestrave::hex
