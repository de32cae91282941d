#pragma once

#include "hexeditor/input/Keys.h"
#include "hexeditor/layout/GridGeometry.h"

namespace kestrave::hex {

class THexEditorEx;

// The mouse on the grid: pressing, dragging, releasing and double clicks, with what it keeps
// between them (a press inside the selection, a selecting drag and its last point).
class MouseController {
 public:
  void Down(THexEditorEx& editor, TMouseButton button, TShiftState shift, int x, int y);
  void Move(THexEditorEx& editor, TShiftState shift, int x, int y);
  void Up(THexEditorEx& editor, int x, int y);
  void DoubleClick(THexEditorEx& editor, int x, int y);

  // A press on the grid is selecting while the button is down.
  bool Selecting() const { return dragging_; }
  // The last point of a selecting move.
  int LastX() const { return x_; }
  int LastY() const { return y_; }

 private:
  bool clickInSelection_ = false;
  GridCell clickCell_{-1, -1};
  bool doubleClicked_ = false;
  bool dragging_ = false;
  int x_ = 0;
  int y_ = 0;
};

}  // namespace kestrave::hex
