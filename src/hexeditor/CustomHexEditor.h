#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "hexeditor/BusyCursor.h"
#include "hexeditor/EditModes.h"
#include "hexeditor/PlatformServices.h"
#include "hexeditor/caret/CaretSelection.h"
#include "hexeditor/document/HexDocument.h"
#include "hexeditor/layout/GridGeometry.h"
#include "hexeditor/layout/GridLayout.h"
#include "hexeditor/layout/GridViewport.h"
#include "hexeditor/layout/OffsetGutter.h"
#include "hexeditor/paint/BookmarkIcons.h"
#include "hexeditor/paint/HexColors.h"
#include "hexeditor/paint/HexViewHost.h"
#include "hexeditor/paint/ViewLook.h"
#include "hexeditor/search/SearchKernel.h"
#include "hexeditor/text/OffsetFormat.h"
#include "hexeditor/text/Translation.h"
#include "hexeditor/undo/HexUndoStorage.h"
#include "hexeditor/undo/UndoRecord.h"
#include "hexeditor/undo/UndoTarget.h"
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
// The text of a row's offset, written by the application; OffsetText starts empty.
using THexGetOffsetTextEvent =
    std::function<void(TCustomHexEditor& Sender, std::int64_t Number, std::string& OffsetText)>;
using THexProgressEvent =
    std::function<void(TCustomHexEditor& Sender, THexProgressKind ProgressType,
                       const std::string& aName, std::uint8_t Percent, bool& Cancel)>;

class IHexCanvas;
// Lets an application draw a cell itself: clearing DefaultDraw leaves the cell to it.
using THexDrawCellEvent =
    std::function<void(TCustomHexEditor& Sender, IHexCanvas& Canvas, int ACol, int ARow,
                       std::u16string& AWideText, PaintRect ARect, bool& ADefaultDraw)>;

// One hex-editor instance: a buffer with its file, cursor and selection, laid out on a grid.
// It is not a widget: a hidden instance is just this object; a view shows it through a host.
class TCustomHexEditor : private IUndoTarget {
 public:
  static constexpr char kUntitled[] = "Untitled";

  TCustomHexEditor();
  virtual ~TCustomHexEditor();
  TCustomHexEditor(const TCustomHexEditor&) = delete;
  TCustomHexEditor& operator=(const TCustomHexEditor&) = delete;

  // Ends construction as reading the stored properties would: the buffer becomes "Untitled".
  void Loaded();

  // --- Buffer and files -------------------------------------------------------------------
  int DataSize() const { return document_.Size(); }
  const std::string& FileName() const { return document_.FileName(); }
  bool Modified() const { return document_.Modified(); }
  bool IsFileReadOnly() const { return document_.ReadOnlyFile(); }
  int MaxUndo() const { return undo_.MaxUndo(); }
  // The byte limit of the undo history; 0 or less keeps every step.
  void SetMaxUndo(int value) { undo_.SetMaxUndo(value); }

  // Unchecked byte access; callers check the bounds first.
  std::uint8_t ReadByte(int index) const;
  void WriteByte(int index, std::uint8_t value);
  void ReadBlock(void* dest, int index, int count) const;
  // Count bytes from Index as they stand, without a copy; valid until the next change of the
  // data. Callers check the bounds first, as for ReadBlock.
  std::span<const std::uint8_t> ViewBytes(int index, int count) const;

  void LoadFromFile(const std::string& fileName);
  void LoadFromStream(platform::TStream& stream);
  void SaveToFile(const std::string& fileName, bool adoptFile);
  // Whether a save waits until the new content is on the disk before it replaces the file, and
  // until the folder holds the new name after. On by default; a caller saving many files in a
  // row turns it off and brings them to the disk together at the end (platform::SyncToDisk).
  bool SyncOnSave() const { return document_.SyncOnSave(); }
  void SetSyncOnSave(bool value) { document_.SetSyncOnSave(value); }
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
  int SelectionAnchor() const { return caret_.Range().Anchor; }
  int SelectionLow() const { return caret_.Range().Low; }
  int SelectionHigh() const { return caret_.Range().High; }
  bool IsSelected(int position) const;
  void SetSelection(int anchor, int end);
  void ResetSelection(bool repaint);
  void SelectAll();
  int Seek(int offset, int origin);
  bool InCharField() const;
  void SetInCharField(bool value);
  // While on, cursor moves extend the selection (the keyboard and mouse switch it).
  bool Extending() const { return caret_.Extending(); }
  void SetExtending(bool value) { caret_.SetExtending(value); }

  // --- Editing ----------------------------------------------------------------------------
  // Insert mode reads true only while insertion is allowed: no size restriction, AllowInsertMode
  // on and ReadOnlyView off.
  bool InsertMode() const { return modes_.Insert(); }
  void SetInsertMode(bool value);
  bool AllowInsertMode() const { return modes_.AllowInsert; }
  void SetAllowInsertMode(bool value);
  bool NoSizeChange() const { return modes_.NoSizeChange; }
  void SetNoSizeChange(bool value);
  bool ReadOnlyView() const { return modes_.ReadOnlyView; }
  void SetReadOnlyView(bool value);
  bool Enabled() const { return modes_.Enabled; }
  void SetEnabled(bool value) { modes_.Enabled = value; }
  // While set, a size restriction is not in effect (a move of data inside one instance).
  void SetIgnoreNoSizeChange(bool value) { modes_.IgnoreNoSizeChange = value; }
  bool IsChanged(int index) const;

  void ChangeByte(std::uint8_t oldValue, std::uint8_t newValue, int index, int col, int row,
                  const std::string& description);
  void ChangeWord(std::uint16_t oldValue, std::uint16_t newValue, int index, int col, int row,
                  const std::string& description);
  void InsertBuffer(const void* buffer, int count, int position, const std::string& description,
                    bool moveCaret);
  void AppendBuffer(const void* buffer, int count, const std::string& description, bool moveCaret);
  void ReplaceSelection(const void* buffer, int count, const std::string& description,
                        bool moveCaret);
  int Replace(const void* buffer, int position, int oldCount, int newCount,
              const std::string& description, bool moveCaret);
  void DeleteSelection(const std::string& description);
  void DeleteUnit(bool backward, const std::string& description);
  void RecordGroup(int count, const std::string& description);

  // --- Undo -------------------------------------------------------------------------------
  void Undo();
  void Redo();
  bool CanUndo() const;
  bool CanRedo() const;
  const std::string& UndoDescription() const;
  const THexUndoStorage& UndoStorage() const { return undo_; }
  // Runs Work without recording its steps for undo: for edits whose history is cleared right
  // after, which then copy none of the bytes they remove into it.
  template <typename Work>
  void WithoutUndo(Work&& work) {
    BeginUndoUpdate();
    struct Resume {
      TCustomHexEditor& editor;
      ~Resume() { editor.EndUndoUpdate(); }
    } resume{*this};
    work();
  }

  // --- Bookmarks --------------------------------------------------------------------------
  const THexBookmark& Bookmark(int index) const;
  const THexBookmarks& Bookmarks() const { return document_.Bookmarks(); }
  void SetBookmark(int index, int position, bool inCharField);
  bool GotoBookmark(int index);
  TNotifyEvent OnBookmarkChanged;

  // --- Search ---------------------------------------------------------------------------
  // The byte pattern for a search text, folded to lower case with IgnoreCase and, with IsText,
  // brought into the data's character set; also rebuilds the comparison tables.
  std::string BuildFindPattern(const std::string& text, bool ignoreCase, bool isText);
  // The first position from StartPos at which the whole pattern lies before EndPos + 1, or -1.
  int FindBytes(const std::uint8_t* pattern, int patternLength, int startPos, int endPos,
                bool ignoreCase);
  // Every position at which each pattern lies in the data, ascending, found in one pass: the
  // positions FindBytes finds one call at a time. Nothing when an OnFind handler or the stepwise
  // progress of FindProgress decides the answers instead: the caller then asks FindBytes.
  std::optional<std::vector<std::vector<int>>> FindAllBytes(
      const std::vector<std::string>& patterns, bool ignoreCase);
  // The same within the bytes From..Last (a match lies wholly inside them), asking KeepGoing
  // with the share done after each block: a false answer stops the search, and the answer
  // then says so and holds what was found up to there.
  struct FoundAll {
    std::vector<std::vector<int>> Hits;
    bool Stopped = false;
  };
  std::optional<FoundAll> FindAllBytesIn(const std::vector<std::string>& patterns, bool ignoreCase,
                                         int from, int last,
                                         const std::function<bool(int percent)>& keepGoing);
  bool FindProgress() const { return findProgress_; }
  void SetFindProgress(bool value) { findProgress_ = value; }
  THexFindEvent OnFind;

  // --- Characters -------------------------------------------------------------------------
  THexTranslationKind Translation() const { return look_.Translation; }
  void SetTranslation(THexTranslationKind value);
  std::uint8_t MaskChar() const { return look_.MaskChar; }
  void SetMaskChar(std::uint8_t value);
  std::uint8_t DataByteToChar(std::uint8_t byte) const;
  std::uint8_t CharToDataByte(std::uint8_t ch) const;

  // --- Grid -------------------------------------------------------------------------------
  GridCell CursorCell() const { return caret_.Cursor(); }
  // The grid's own move of the cursor to a cell, with every rule of a cursor move; answers
  // whether the cell itself was accepted.
  bool MoveCursorToCell(GridCell cell);
  int ColCount() const { return layout_.ColCount(); }
  int RowCount() const { return layout_.RowCount(); }
  int ColWidth(int col) const { return layout_.ColWidth(col); }
  int RowHeight(int row) const { return layout_.RowHeight(row); }
  int CharWidth() const { return layout_.CharWidth(); }
  int DefaultRowHeight() const { return layout_.LineHeight(); }
  GridGeometry Geometry() const { return layout_.Geometry(); }
  std::int64_t CellToPosition(GridCell cell) const { return Geometry().CellToPosition(cell); }
  GridCell PositionToCell(std::int64_t position, bool inCharField) const {
    return Geometry().PositionToCell(position, inCharField);
  }
  int OtherFieldColumn(int col) const { return Geometry().OtherFieldColumn(col); }
  void AdjustMetrics();
  void RecalcLayout();

  // --- Layout values ----------------------------------------------------------------------
  // Every setter checks first and leaves the layout as it was when it refuses.
  int BytesPerRow() const { return layout_.BytesPerRow(); }
  void SetBytesPerRow(int value);
  int BytesPerColumn() const { return layout_.BytesPerColumn(); }
  void SetBytesPerColumn(int value);
  int BytesPerUnit() const { return layout_.BytesPerUnit(); }
  void SetBytesPerUnit(int value);
  int RulerBytesPerUnit() const { return layout_.RulerBytesPerUnit(); }
  void SetRulerBytesPerUnit(int value);
  // The unit the ruler counts in: RulerBytesPerUnit, or BytesPerUnit while that is -1.
  int RulerUnit() const { return layout_.RulerUnit(); }
  int BytesPerBlock() const { return layout_.BytesPerBlock(); }
  void SetBytesPerBlock(int value);
  bool SeparateBlocksInCharField() const { return layout_.SeparateBlocksInCharField(); }
  void SetSeparateBlocksInCharField(bool value);
  bool ShowRuler() const { return layout_.ShowRuler(); }
  void SetShowRuler(bool value);
  std::uint8_t RulerNumberBase() const { return layout_.RulerNumberBase(); }
  void SetRulerNumberBase(std::uint8_t value);
  const std::string& HexRulerText() const { return layout_.Ruler().Hex; }
  const std::string& CharRulerText() const { return layout_.Ruler().Chars; }
  bool UnicodeChars() const { return layout_.UnicodeChars(); }
  void SetUnicodeChars(bool value);
  // The low nibble of each byte first, in the hex field and in hex text on the clipboard.
  bool SwapNibbles() const { return layout_.SwapNibbles(); }
  void SetSwapNibbles(bool value);
  bool UnicodeBigEndian() const { return layout_.UnicodeBigEndian(); }
  void SetUnicodeBigEndian(bool value);
  const platform::FontDescription& Font() const { return font_; }
  // Font heights a view can lay out, in pixels (1 to 999 points): a larger one would overflow
  // the grid's pixel arithmetic. A font outside them is refused and the font kept.
  static constexpr int kLargestFontHeight = 1332;
  static constexpr int kLargestFontPoints = 999;
  void SetFont(const platform::FontDescription& font);
  // 200 x 10 pixels: twenty 10 x 10 bookmark images. An empty bitmap brings back our own.
  const THexBitmap& BookmarkBitmap() const { return bookmarkIcons_.Strip; }
  void SetBookmarkBitmap(const THexBitmap& bitmap);
  // Whether an application's bitmap is set, and so belongs in the stored settings.
  bool HasCustomBookmarkBitmap() const { return bookmarkIcons_.Custom; }
  const std::array<TBookmarkImage, kBookmarkIconCount>& BookmarkImages() const {
    return bookmarkIcons_.Images;
  }

  // --- Offsets ----------------------------------------------------------------------------
  const std::string& OffsetFormat() const { return gutter_.Format.Text; }
  // Refuses a bad format with its message and keeps the previous one, field for field.
  void SetOffsetFormat(const std::string& value);
  const TOffsetFormat& OffsetFormatRecord() const { return gutter_.Format; }
  bool HexLowerCase() const { return gutter_.HexLowerCase; }
  void SetHexLowerCase(bool value);
  // "0123456789ABCDEF", or in lower case while HexLowerCase.
  const char* HexDigits() const {
    return gutter_.HexLowerCase ? "0123456789abcdef" : "0123456789ABCDEF";
  }
  // -1 sizes the gutter from the offset texts; any other value is its width in pixels.
  int GutterWidth() const { return gutter_.Width; }
  void SetGutterWidth(int value);
  // While OnGetOffsetText runs: true when the gutter is being sized, false when painting.
  bool MeasuringOffsetWidth() const { return gutter_.Measuring; }
  THexGetOffsetTextEvent OnGetOffsetText;

  // --- Viewport -----------------------------------------------------------------------------
  // The view's client area in pixels; a hidden instance has none. Each side is taken into
  // 0 .. 2^24 pixels, more than any screen has.
  void SetClientSize(int width, int height);
  int ClientWidth() const { return viewport_.ClientWidth(); }
  int ClientHeight() const { return viewport_.ClientHeight(); }
  // The first data row and the first scrolling column shown (fixed rows and columns always are).
  int TopRow() const { return viewport_.TopRow(); }
  void SetTopRow(int row);
  int LeftCol() const { return viewport_.LeftCol(); }
  void SetLeftCol(int col);
  // Data rows that fit wholly, at least one; columns likewise.
  int VisibleRowCount() const;
  int VisibleColCount() const;
  int MaxTopRow() const;
  int MaxLeftCol() const;
  // The cell under a point of the client area, or {-1, -1} outside the cells.
  GridCell CellAtPoint(int x, int y) const;
  // Where a cell lies in the client area; empty when it is scrolled out of view.
  PaintRect CellRect(GridCell cell) const;
  TNotifyEvent OnTopLeftChanged;

  // --- Focus and look --------------------------------------------------------------------------
  bool Focused() const { return moment_.Focused; }
  void SetFocused(bool focused);
  THexColors& Colors() { return colors_; }
  const THexColors& Colors() const { return colors_; }
  void SetSystemColors(const ISystemColors& colors);
  const ISystemColors& SystemColors() const { return *platform_.Colors; }
  TColor Resolved(TColor color) const { return ResolveColor(color, *platform_.Colors); }
  // The colour the view draws for Index: the user's choice, or where the colour is still at
  // its default, what the desktop makes of it (the system colours' ViewDefault).
  TColor ViewColor(THexColors::Index index) const {
    const TColor stored = Resolved(colors_.Get(index));
    return colors_.IsDefault(index) ? platform_.Colors->ViewDefault(index, stored) & 0xFFFFFF
                                    : stored;
  }
  THexCaretKind CaretKind() const { return look_.CaretKind; }
  void SetCaretKind(THexCaretKind value);
  // ckAuto as it stands now: bottom bar while read-only, left bar in insert mode, else full.
  THexCaretKind EffectiveCaretKind() const;
  // The caret's place and size: the cursor cell's top-left, cw x (rh - 2); (-50, -50) when the
  // cursor cell is out of view.
  PaintRect CaretRect() const;
  bool FocusFrame() const { return look_.FocusFrame; }
  void SetFocusFrame(bool value);
  bool DrawGridLines() const { return look_.DrawGridLines; }
  void SetDrawGridLines(bool value);
  bool DrawGutter3D() const { return look_.DrawGutter3D; }
  void SetDrawGutter3D(bool value);
  bool HideSelection() const { return look_.HideSelection; }
  void SetHideSelection(bool value);
  bool GraySelectionIfNotFocused() const { return look_.GraySelectionIfNotFocused; }
  void SetGraySelectionIfNotFocused(bool value);
  bool ShowPositionIfNotFocused() const { return look_.ShowPositionIfNotFocused; }
  void SetShowPositionIfNotFocused(bool value);
  THexDrawCellEvent OnDrawCell;
  // While a data cell is drawn: its byte position (-1 for a fixed cell) and whether it is selected.
  int DrawnPosition() const { return drawn_.Position; }
  // The pixels of the offset gutter and of the ruler rows; whether the caret is in the
  // character field.
  int FixedColumnsWidth() const { return layout_.Sizes().FixedColumnsWidth(); }
  int FixedRowsHeight() const { return layout_.Sizes().FixedRowsHeight(); }
  // The grid's sizes as the viewport reads them.
  GridSizes Sizes() const { return layout_.Sizes(); }
  bool CaretInCharColumn() const { return Geometry().IsCharColumn(CursorCell().Col); }
  bool DrawnSelected() const { return drawn_.Selected; }
  // Notes the data cell being drawn for the length of the scope, for OnDrawCell handlers.
  class DrawnCellScope {
   public:
    DrawnCellScope(TCustomHexEditor& editor, int position, bool selected);
    ~DrawnCellScope();
    DrawnCellScope(const DrawnCellScope&) = delete;
    DrawnCellScope& operator=(const DrawnCellScope&) = delete;

   private:
    TCustomHexEditor& editor_;
  };
  // The cell of the drop-position marker, {-1, -1} when none is shown.
  GridCell DropMarkerCell() const { return moment_.DropMarker; }
  void SetDropMarkerCell(GridCell cell);
  // Painting stops while locked.
  bool PaintLocked() const { return moment_.PaintLock > 0; }

  // --- Platform hooks ---------------------------------------------------------------------
  // The window that shows this instance; none (nullptr) for a hidden one.
  virtual void SetViewHost(IHexViewHost* host) { host_.Set(host); }
  void SetMessageQueue(platform::IMessageQueue& queue) { platform_.Queue = &queue; }
  void SetBusyIndicator(platform::IBusyIndicator* indicator) { busy_.SetIndicator(indicator); }
  void SetInputState(const platform::IInputState& input) { platform_.Input = &input; }
  const platform::IInputState& InputState() const { return *platform_.Input; }
  void SetTextMetrics(const platform::ITextMetrics& metrics);
  platform::TCursor Cursor() const { return busy_.Shape(); }
  void PushBusyCursor();
  void PopBusyCursor();

 protected:
  // Virtual operations, in the order the extended component relies on.
  virtual void SelectionChanged();
  void Changed() override;
  virtual void CheckFileOverwrite();
  virtual bool CanChange(int kind, int countA, int countB);
  void BookmarkChanged() override;
  virtual void BeginUndoUpdate();
  virtual int EndUndoUpdate();

 public:
  // The text of one offset, by the application's event or by the format.
  virtual std::string GetOffsetText(std::uint32_t offset);
  // The same, or plain hex digits when the format is empty.
  virtual std::string GetOffsetTextOrHex(std::uint32_t offset);

 protected:
  virtual void WriteBlock(const void* source, int index, int count);

  void RecordUndo(int kind, int position, int countA, int countB, const std::string& description);
  struct DeleteRange {
    int Start = 0;
    int End = 0;  // exclusive
    GridCell Cell;
  };
  DeleteRange GetDeleteRange() const;
  void SetChanged(int index, bool value);
  bool InsertNibble(int position, bool highNibble);
  bool DeleteNibble(int position, bool highNibble);

  void SetModified(bool value) { document_.SetModified(value); }
  // The overwrite check asks the save that follows to keep the file's content under Backup
  // before it is replaced.
  void RequestBackup(const std::string& backup);

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

  // Painting stops between BeginUpdate and the matching EndUpdate, which draws the view again
  // once the last lock goes; each answers the locks left.
  int BeginUpdate();
  int EndUpdate();
  // Brackets a change the view must not show half done, by the same lock.
  class PaintLockScope {
   public:
    explicit PaintLockScope(TCustomHexEditor& editor) : editor_(editor) { editor_.BeginUpdate(); }
    ~PaintLockScope() { editor_.EndUpdate(); }
    PaintLockScope(const PaintLockScope&) = delete;
    PaintLockScope& operator=(const PaintLockScope&) = delete;

   private:
    TCustomHexEditor& editor_;
  };

  const THexMemoryStream& DataStore() const { return document_.Bytes(); }
  // The window the notices go to: the view's, or for a hidden instance its own that hears none.
  IHexViewHost& Host() const { return *host_; }
  // Whether Host is the one SetViewHost(Host) would set.
  bool ShownBy(const IHexViewHost* host) const { return host_.Is(host); }
  // The caret's byte, which in insert mode may be the position just past the data.
  int CaretBytePosition() const;
  // Puts the caret on the same byte in the given field, keeping the selection.
  void MoveCaretToField(bool inCharField);

 private:
  // What the undo history reaches of the buffer (CustomHexEditorUndo.cpp).
  UndoHeader CurrentState() const override;
  UndoSelection CurrentSelection() const override;
  void RestoreModes(const UndoHeader& header) override;
  void RestoreCaret(const UndoHeader& header) override;
  void RestoreSelection(const std::optional<UndoSelection>& selection) override;
  void RestoreSelectionFields(const UndoSelection& selection) override;
  bool MarkingChanges() const override { return !InsertMode(); }
  void CaretToRowStart() override;
  void ShiftNibble(int position, bool insert) override;
  void SizeChanged() override { AdjustMetrics(); }
  void BytesRemoved() override { AfterRemoval(std::nullopt); }
  void BytesChanged(int low, int high) override;
  // The steps after the document took bytes out, shared by the operations and by undo and redo:
  // the caret placed as a deletion places it when a cell is given, the grid laid out again,
  // nothing selected, everything drawn again.
  void AfterRemoval(std::optional<GridCell> caret);
  // A bookmark that moved with an edit is told of.
  void NoteBookmarks(const DocumentChange& change);

  // Buffer and files
  int ProbeReadOnly(const std::string& fileName);
  void ReportCopyProgress(platform::TStream& source, platform::TStream& dest,
                          THexProgressKind kind);
  void SaveThroughReplacement(const std::string& fileName,
                              const std::optional<std::string>& backup);
  void MoveCaretToStart();
  void ShowNewContent();

  // Cursor moves and selection
  bool FocusCell(GridCell target, bool checked);
  bool CanSelectCell(GridCell cell) const;
  bool IsValidCursorCell(std::int64_t position, GridCell cell) const;
  int LastValidPosition() const;
  void ExtendSelection(int oldPosition, int newPosition);
  // A cell of the grid in byte terms; nowhere for {-1, -1}.
  BytePlace PlaceOfCell(GridCell cell) const;
  void PlaceCaret();
  void DeliverSelectionChanged();

  // Viewport
  void ClampInView(GridCell cell);
  void TopLeftChanged();
  // After rows, columns or their sizes changed: the top-left cell comes back into its range and
  // the host hears of it, so scroll bars and the picture follow at once.
  void LayoutChanged();

  // Layout
  void SizeGutter();
  void RebuildRulerTexts();
  OffsetUnits CurrentOffsetUnits() const;
  void FollowRulerUnitInOffsets();
  bool CallOffsetEvent(std::int64_t number, bool measuring, std::string& text);

 protected:
  void RepaintAll() override;

 private:
  // Editing
  bool SizeRestricted() const { return modes_.SizeRestricted(); }
  bool InsertAllowed() const { return modes_.InsertAllowed(); }
  void SelectRange(int anchor, int low, int high);
  bool CaretOnSecondDigit() const;
  void PlaceCaretAt(int position, bool inCharField, bool secondDigit);
  // Puts back a selection as it was kept: fields as given, no alignment.
  void SetSelectionFields(int anchor, int low, int high);
  // A translation as it was kept; in unicode mode it is stored without the setter's check.
  void RestoreTranslation(THexTranslationKind kind);
  bool ShiftNibbles(int position, bool insert, bool highNibble);

  // Search
  void RebuildFindTables();
  int FindWithProgress(const std::uint8_t* pattern, int patternLength, int startPos, int endPos,
                       const ByteMap& map);

  // The bytes, their marks, file and bookmarks; the history of their changes.
  HexDocument document_;
  THexUndoStorage undo_{document_, *this};

  // Cursor and selection
  CaretSelection caret_;
  int pendingSelectionChanges_ = 0;

  // Grid and layout
  GridLayout layout_;

  EditModes modes_;

  // Font, offsets and bookmark images
  platform::FontDescription font_{"Courier New", 15};
  OffsetGutter gutter_;
  BookmarkIconSet bookmarkIcons_;

  // Search
  FindTables findTables_;
  bool findProgress_ = false;

  // Viewport, focus and look
  GridViewport viewport_;
  ViewMoment moment_;
  THexColors colors_;
  ViewLook look_;
  DrawnCell drawn_;

  // The view's host (a hidden instance's own, which ignores every notice) and the desktop
  ViewHostSlot host_;
  PlatformServices platform_;
  BusyCursor busy_;
  // Posted messages hold a weak reference, so one that arrives after the instance is gone
  // finds nothing to call.
  std::shared_ptr<TCustomHexEditor*> self_;
};

}  // namespace kestrave::hex
