#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "hexeditor/ChangeMarks.h"
#include "hexeditor/GridGeometry.h"
#include "hexeditor/HexMemoryStream.h"
#include "hexeditor/HexUndoStorage.h"
#include "hexeditor/HexViewHost.h"
#include "hexeditor/SearchKernel.h"
#include "hexeditor/Translation.h"
#include "platform/MessageQueue.h"
#include "platform/Stream.h"
#include "platform/UserInterface.h"

namespace kestrave::hex {

class TCustomHexEditor;

enum THexProgressKind : std::uint8_t { pkLoad, pkSave, pkFind };

using TNotifyEvent = std::function<void(TCustomHexEditor& Sender)>;
// A search done by the application instead of the component; Result starts at -1.
using THexFindEvent =
    std::function<void(TCustomHexEditor& Sender, const std::uint8_t* Pattern, int PatternLength,
                       int StartPos, int EndPos, bool IgnoreCase, bool Reserved, int& Result)>;
using THexProgressEvent =
    std::function<void(TCustomHexEditor& Sender, THexProgressKind ProgressType,
                       const std::string& aName, std::uint8_t Percent, bool& Cancel)>;

// One hex-editor instance: a buffer with its file, cursor and selection, laid out on a grid.
// It is not a widget: a hidden instance is just this object; a view shows it through a host.
class TCustomHexEditor {
 public:
  static constexpr char kUntitled[] = "Untitled";

  TCustomHexEditor();
  virtual ~TCustomHexEditor();
  TCustomHexEditor(const TCustomHexEditor&) = delete;
  TCustomHexEditor& operator=(const TCustomHexEditor&) = delete;

  // Ends construction as reading the stored properties would: the buffer becomes "Untitled".
  void Loaded();

  // --- Buffer and files -------------------------------------------------------------------
  int DataSize() const { return static_cast<int>(data_.DataSize()); }
  const std::string& FileName() const { return fileName_; }
  bool Modified() const { return modified_; }
  bool IsFileReadOnly() const { return readOnlyFile_; }
  int MaxUndo() const { return maxUndo_; }

  // Unchecked byte access; callers check the bounds first.
  std::uint8_t ReadByte(int index) const;
  void WriteByte(int index, std::uint8_t value);
  void ReadBlock(void* dest, int index, int count) const;

  void LoadFromFile(const std::string& fileName);
  void LoadFromStream(platform::TStream& stream);
  void SaveToFile(const std::string& fileName, bool adoptFile);
  void SaveToStream(platform::TStream& stream);
  void CreateEmptyFile(const std::string& name);

  TNotifyEvent OnChange;
  THexProgressEvent OnProgress;
  TNotifyEvent OnSelectionChanged;

  // --- Cursor and selection ---------------------------------------------------------------
  int CursorPosition() const;
  int SelectionStart() const;
  void SetSelectionStart(int position);
  int SelectionEnd() const;
  void SetSelectionEnd(int position);
  int SelectionCount() const;
  int SelectionAnchor() const { return selectionAnchor_; }
  int SelectionLow() const { return selectionLow_; }
  int SelectionHigh() const { return selectionHigh_; }
  bool IsSelected(int position) const;
  void SetSelection(int anchor, int end);
  void ResetSelection(bool repaint);
  void SelectAll();
  int Seek(int offset, int origin);
  bool InCharField() const;
  void SetInCharField(bool value);
  // While on, cursor moves extend the selection (the keyboard and mouse switch it).
  bool Extending() const { return extending_; }
  void SetExtending(bool value) { extending_ = value; }

  // --- Search ---------------------------------------------------------------------------
  // The byte pattern for a search text, folded to lower case with IgnoreCase and, with IsText,
  // brought into the data's character set; also rebuilds the comparison tables.
  std::string BuildFindPattern(const std::string& text, bool ignoreCase, bool isText);
  // The first position from StartPos at which the whole pattern lies before EndPos + 1, or -1.
  int FindBytes(const std::uint8_t* pattern, int patternLength, int startPos, int endPos,
                bool ignoreCase);
  bool FindProgress() const { return findProgress_; }
  void SetFindProgress(bool value) { findProgress_ = value; }
  THexFindEvent OnFind;

  // --- Characters -------------------------------------------------------------------------
  THexTranslationKind Translation() const { return translation_; }
  void SetTranslation(THexTranslationKind value);
  std::uint8_t MaskChar() const { return maskChar_; }
  void SetMaskChar(std::uint8_t value);
  std::uint8_t DataByteToChar(std::uint8_t byte) const;
  std::uint8_t CharToDataByte(std::uint8_t ch) const;

  // --- Grid -------------------------------------------------------------------------------
  GridCell CursorCell() const { return cursor_; }
  // The grid's own move of the cursor to a cell, with every rule of a cursor move; answers
  // whether the cell itself was accepted.
  bool MoveCursorToCell(GridCell cell);
  int ColCount() const { return colCount_; }
  int RowCount() const { return rowCount_; }
  int ColWidth(int col) const { return colWidths_.at(static_cast<std::size_t>(col)); }
  int RowHeight(int row) const {
    return row < 2 ? rowHeights_[static_cast<std::size_t>(row)] : rh_;
  }
  int CharWidth() const { return cw_; }
  int DefaultRowHeight() const { return rh_; }
  GridGeometry Geometry() const { return GridGeometry(bytesPerRow_, unicodeChars_); }
  std::int64_t CellToPosition(GridCell cell) const { return Geometry().CellToPosition(cell); }
  GridCell PositionToCell(std::int64_t position, bool inCharField) const {
    return Geometry().PositionToCell(position, inCharField);
  }
  int OtherFieldColumn(int col) const { return Geometry().OtherFieldColumn(col); }
  void AdjustMetrics();
  void RecalcLayout();

  // --- Layout values ----------------------------------------------------------------------
  int BytesPerRow() const { return bytesPerRow_; }
  int BytesPerColumn() const { return bytesPerColumn_; }
  int BytesPerUnit() const { return bytesPerUnit_; }
  void SetBytesPerUnit(int value);
  int RulerBytesPerUnit() const { return rulerBytesPerUnit_; }
  int BytesPerBlock() const { return bytesPerBlock_; }
  bool ShowRuler() const { return showRuler_; }
  bool UnicodeChars() const { return unicodeChars_; }
  void SetUnicodeChars(bool value);
  bool UnicodeBigEndian() const { return unicodeBigEndian_; }
  void SetUnicodeBigEndian(bool value);
  bool InsertMode() const { return insertMode_; }
  const platform::FontSpec& Font() const { return font_; }
  void SetFont(const platform::FontSpec& font);

  // --- Platform hooks ---------------------------------------------------------------------
  void SetViewHost(IHexViewHost* host) { host_ = host; }
  void SetMessageQueue(platform::IMessageQueue& queue) { queue_ = &queue; }
  void SetBusyIndicator(platform::IBusyIndicator* indicator) { busyIndicator_ = indicator; }
  void SetInputState(const platform::IInputState& input) { input_ = &input; }
  void SetTextMetrics(const platform::ITextMetrics& metrics);
  platform::TCursor Cursor() const { return cursorShape_; }
  void PushBusyCursor();
  void PopBusyCursor();

 protected:
  // Virtual operations, in the order the extended component relies on.
  virtual void SelectionChanged();
  virtual void Changed();
  virtual void CheckFileOverwrite();
  virtual void WriteBlock(const void* source, int index, int count);

  void SetModified(bool value) { modified_ = value; }
  // The overwrite check moved the target aside under this name; a failed save moves it back.
  void NoteMovedAside(const std::string& file, const std::string& backup);

 private:
  // Brackets an operation with the busy cursor, restored on every way out.
  class BusyScope {
   public:
    explicit BusyScope(TCustomHexEditor& editor) : editor_(editor) { editor_.PushBusyCursor(); }
    ~BusyScope() { editor_.PopBusyCursor(); }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

   private:
    TCustomHexEditor& editor_;
  };

  // Buffer and files
  int ProbeReadOnly(const std::string& fileName);
  void ReportCopyProgress(platform::TStream& source, platform::TStream& dest,
                          THexProgressKind kind);
  void SaveThroughReplacement(const std::string& fileName);
  void PutBackMovedFile();
  void MoveCaretToStart();
  void ShowNewContent();

  // Cursor moves and selection
  bool FocusCell(GridCell target, bool checked);
  bool CanSelectCell(GridCell cell) const;
  bool IsValidCursorCell(std::int64_t position, GridCell cell) const;
  int LastValidPosition() const;
  void ExtendSelection(int oldPosition, int newPosition);
  int AlignDown(int position) const;
  int AlignUpToUnitEnd(int position) const;
  void InvalidateSelectionChange(int oldLow, int oldHigh, int newLow, int newHigh);
  void InvalidatePositions(int low, int high);
  void PlaceCaret();
  void DeliverSelectionChanged();

  // Layout
  void SizeGutter();

  // Search
  void RebuildFindTables();
  int FindWithProgress(const std::uint8_t* pattern, int patternLength, int startPos, int endPos,
                       const ByteMap& map);

  // Buffer state
  THexMemoryStream data_;
  bool readOnlyFile_ = true;
  std::string fileName_ = "---";
  ChangeMarks marks_;
  std::string progressName_;
  int maxUndo_ = 1048576;
  THexUndoStorage undo_;
  bool modified_ = false;
  std::optional<std::pair<std::string, std::string>> movedAside_;

  // Cursor and selection state
  GridCell cursor_{GridGeometry::kFixedCols, GridGeometry::kFixedRows};
  int selectionAnchor_ = -1;
  int selectionLow_ = -1;
  int selectionHigh_ = -1;
  int extendOrigin_ = -1;
  bool extending_ = false;
  bool mouseSelecting_ = false;
  int pendingSelectionChanges_ = 0;

  // Grid and layout
  int bytesPerRow_ = 16;
  int bytesPerColumn_ = 2;
  int bytesPerUnit_ = 1;
  int rulerBytesPerUnit_ = -1;
  int bytesPerBlock_ = -1;
  bool separateBlocksInCharField_ = true;
  bool showRuler_ = false;
  bool unicodeChars_ = false;
  bool unicodeBigEndian_ = false;
  bool insertMode_ = false;
  int colCount_ = 0;
  int rowCount_ = 0;
  std::vector<int> colWidths_;
  int rowHeights_[2] = {0, 0};
  int cw_ = 0;
  int rh_ = 0;
  platform::FontSpec font_{"Courier New", 15};

  // Search and characters
  ByteMap identityTable_{};
  ByteMap foldedTable_{};
  bool findProgress_ = false;
  THexTranslationKind translation_ = tkAsIs;
  std::uint8_t maskChar_ = kDefaultMaskChar;

  // Platform
  IHexViewHost* host_ = nullptr;
  platform::IMessageQueue* queue_;
  platform::IBusyIndicator* busyIndicator_ = nullptr;
  const platform::IInputState* input_;
  const platform::ITextMetrics* metrics_;
  platform::TCursor cursorShape_ = platform::crDefault;
  std::vector<platform::TCursor> busyCursors_;
  // Posted messages hold a weak reference, so one that arrives after the instance is gone
  // finds nothing to call.
  std::shared_ptr<TCustomHexEditor*> self_;
};

}  // namespace kestrave::hex
