#pragma once

#include <string>

#include "hexeditor/CustomHexEditor.h"
#include "hexeditor/input/Keys.h"
#include "hexeditor/input/MouseController.h"
#include "hexeditor/print/PrintOptions.h"
#include "hexeditor/transfer/FetchedBytes.h"
#include "hexeditor/transfer/FormatChoice.h"
#include "platform/ole/DataObject.h"
#include "platform/ole/DragDrop.h"

namespace kestrave::hex {

class THexDataObject;
class THexDropTarget;

// The extended component: a backup before the buffer's own file is overwritten, the modified
// flag set by every block write, and transfer through the clipboard.
class THexEditorEx : public TCustomHexEditor {
 public:
  THexEditorEx();
  THexEditorEx(const THexEditorEx&) = delete;
  THexEditorEx& operator=(const THexEditorEx&) = delete;
  // Frees the drop target (unregistering it first); empties the clipboard when it still holds this
  // editor's last copy (or leaves the rendered data there with FlushClipboardAtShutDown).
  ~THexEditorEx() override;

  bool CreateBackup() const { return createBackup_; }
  void SetCreateBackup(bool value) { createBackup_ = value; }
  const std::string& BackupExtension() const { return backupExtension_; }
  void SetBackupExtension(const std::string& value) { backupExtension_ = value; }

  using HResult = platform::ole::HResult;

  // --- Clipboard ---------------------------------------------------------------------------
  bool ClipboardAsHexText() const { return clipboardAsHexText_; }
  void SetClipboardAsHexText(bool value) { clipboardAsHexText_ = value; }
  bool FlushClipboardAtShutDown() const { return flushClipboardAtShutDown_; }
  void SetFlushClipboardAtShutDown(bool value) { flushClipboardAtShutDown_ = value; }
  bool SupportsOtherClipFormats() const { return supportsOtherClipFormats_; }
  void SetSupportsOtherClipFormats(bool value) { supportsOtherClipFormats_ = value; }
  // The user's choice among several offered formats; nullptr uses the process's chooser.
  void SetFormatChooser(hex::IFormatChooser* chooser) { formatChooser_ = chooser; }

  bool CanCopy() const;
  bool CanCut() const;
  bool CanPaste();
  bool CopyToClipboard();
  bool CutToClipboard();
  bool PasteFromClipboard();
  // Lets go of this editor's last copy once the clipboard no longer holds it, so its bytes are
  // freed now rather than at the next copy.
  void ReleaseClipboardCopy();

  // The formats paste and drop accept, most preferred first: 17, or 2 without other formats.
  std::vector<TClipFormat> GetAcceptedFormats() const;
  // S_OK when the object offers an accepted format, which becomes the chosen one of its kind.
  HResult CheckDataObject(platform::ole::IDataObject& data, bool fromClipboard,
                          std::int32_t& effect);
  // Reads the chosen format of the object and inserts its bytes (paste) or drops them.
  HResult InsertFromDataObject(platform::ole::IDataObject& data, bool fromClipboard,
                               std::int32_t& effect);
  TClipFormat ChosenFormat(bool forPaste) const { return chosenFormat_[forPaste ? 1 : 0]; }

  // --- Drag and drop -------------------------------------------------------------------------
  // Takes part in drags in both directions: out of the selection, and drops onto the window.
  bool OleDragDrop() const { return oleDragDrop_; }
  void SetOleDragDrop(bool value);
  // The window drops are registered for: the view's, or the editor's own while it has none.
  platform::ole::HWND WindowHandle() const;
  // A new view is a new window: the registration follows it.
  void SetViewHost(IHexViewHost* host) override;
  void ScreenToClient(int& x, int& y) const;
  const THexDropTarget& DropTarget() const { return *dropTarget_; }

  // The effect a drop would have with these keys held; always S_OK.
  HResult ComputeDropEffect(std::uint32_t keyState, std::int32_t& effect) const;
  // Marks where data dragged to this client point would land, scrolling one line toward an edge.
  void ShowDropMarker(int x, int y);
  void HideDropMarker();
  // The byte a drop would land on, or -1 while no marker is shown.
  int DropPosition() const;
  // This editor is the source of the drag that runs.
  bool Dragging() const { return dragging_; }
  bool DragPending() const { return dragPending_; }

  // --- Keyboard and mouse --------------------------------------------------------------------
  // A key pressed, with the modifiers held; the application's OnKeyDown comes first.
  void KeyDown(int key, TShiftState shift);
  // A character typed, in the Windows code page; OnKeyPress comes first.
  void KeyPress(std::uint8_t ch);
  // Whether KeyDown acts on the key with these modifiers itself; a window's shortcuts leave such
  // keys to the view that has the focus, so nothing happens twice.
  static bool HandlesKey(int key, TShiftState shift);
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
  void MouseMove(TShiftState shift, int x, int y);
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
  void DoubleClick(int x, int y);
  // One wheel step; answers whether the view handled it.
  bool MouseWheel(bool down, TShiftState shift);
  // One step of the host's auto-scroll timer: a selecting mouse at or beyond an edge scrolls the
  // view on and extends the selection to the cell then under it; a drag hovering there moves
  // the drop marker on alike. The timer stops once neither needs it.
  void AutoScrollStep();
  // Whether this editor has its host's auto-scroll timer running.
  bool AutoScrolling() const { return autoScrolling_; }

  std::function<void(TCustomHexEditor& Sender, int& Key, TShiftState Shift)> OnKeyDown;
  std::function<void(TCustomHexEditor& Sender, std::uint8_t& Key)> OnKeyPress;
  TNotifyEvent OnInvalidKey;
  std::function<void(TCustomHexEditor& Sender, TMouseButton Button, TShiftState Shift, int X,
                     int Y)>
      OnMouseDown;
  TNotifyEvent OnDblClick;

  bool WantTabs() const { return wantTabs_; }
  void SetWantTabs(bool value) { wantTabs_ = value; }
  bool ZoomOnWheel() const { return zoomOnWheel_; }
  void SetZoomOnWheel(bool value) { zoomOnWheel_ = value; }
  // Whether a menu for the gutter and ruler is attached, and where a right click shows it.
  bool HasOffsetPopupMenu() const { return hasOffsetPopupMenu_; }
  void SetHasOffsetPopupMenu(bool value) { hasOffsetPopupMenu_ = value; }
  bool ShowsOffsetPopupAt(int x, int y) const;
  // The mouse pointer over a point: an arrow over the selection and the fixed area while no
  // button is held, else a text cursor.
  bool ArrowCursorAt(int x, int y, TShiftState buttons) const;

  // Painting stops between BeginUpdate and the matching EndUpdate.
  using TCustomHexEditor::BeginUpdate;
  using TCustomHexEditor::EndUpdate;

  // --- Print settings ------------------------------------------------------------------------
  const THexPrintOptions& PrintOptions() const { return printOptions_; }
  THexPrintOptions& PrintOptions() { return printOptions_; }
  // Copies the given options into the editor's own (which it keeps).
  void SetPrintOptions(const THexPrintOptions& options) { printOptions_.Assign(&options); }
  // A copy of the view font made at creation.
  const platform::FontDescription& PrintFont() const { return printFont_; }
  // Takes the font for printing, so the view font is no longer used for it.
  void SetPrintFont(const platform::FontDescription& font);
  // The print font changed in place, as its own properties are: the choice of font stays.
  platform::FontDescription& EditPrintFont() { return printFont_; }
  bool UseEditorFontForPrinting() const { return useEditorFontForPrinting_; }
  void SetUseEditorFontForPrinting(bool value) { useEditorFontForPrinting_ = value; }

  // --- Settings text -------------------------------------------------------------------------
  // One "Name=value" line per public property, each ended by CR LF.
  virtual std::string GetSettingsText();
  // Applies "Name=value" lines through the properties' setters, painting locked meanwhile.
  // The first value refused stops the reading with its error; earlier lines stay applied.
  virtual void SetSettingsText(const std::string& text);
  // Whether a property, by its dotted name in any letter case, is written to and read from
  // the settings text; OnQueryPublicProperty may take names out.
  virtual bool IsPublicProperty(const std::string& name);
  using THexQueryPublicPropertyEvent =
      std::function<void(TCustomHexEditor& Sender, std::string PropertyName, bool& IsPublic)>;
  THexQueryPublicPropertyEvent OnQueryPublicProperty;

 protected:
  void CheckFileOverwrite() override;
  void WriteBlock(const void* source, int index, int count) override;

 private:
  // Empties the clipboard when it still holds this editor's last copy, or flushes it.
  void LeaveClipboard();
  // A snapshot of the selection as a copy and a drag hand it out.
  THexDataObject* NewTransferObject();
  bool SelectOfferedFormat(platform::ole::IDataObject& data, TClipFormat& chosen);
  HResult ReadFileList(platform::ole::IDataObject& data, std::int32_t effect, FetchedBytes& bytes);
  HResult ReadFormat(platform::ole::IDataObject& data, TClipFormat format, bool fromClipboard,
                     FetchedBytes& bytes);
  void PasteBytes(const std::uint8_t* bytes, int count, const std::string& description);
  // The byte a drop at a client point lands on; notes the field under the point.
  int DropPositionAt(int x, int y);
  // Starts or stops the host's auto-scroll timer.
  void FollowAutoScroll(bool wanted);
  // The end of a drop: the converted bytes inserted at the drop position.
  HResult DropBytes(const std::uint8_t* bytes, int count, std::int32_t effect);
  void MoveDroppedBytes(const std::uint8_t* bytes, int count, int position);
  // The mouse handlers' part in drags.
  void NoteDragPress(TMouseButton button, int x, int y);
  bool DragThresholdReached(TShiftState shift, int x, int y) const;
  void StartDrag();

  bool createBackup_ = true;
  std::string backupExtension_ = ".bak";
  bool clipboardAsHexText_ = false;
  bool flushClipboardAtShutDown_ = false;
  bool supportsOtherClipFormats_ = true;
  platform::ole::ComPtr<platform::ole::IDataObject> clipboardData_;
  TClipFormat chosenFormat_[2] = {0, 0};  // drops, pastes
  hex::IFormatChooser* formatChooser_ = nullptr;
  bool wantTabs_ = true;
  bool zoomOnWheel_ = true;
  bool hasOffsetPopupMenu_ = false;
  MouseController mouse_;
  bool oleDragDrop_ = false;
  THexDropTarget* dropTarget_;
  bool dragPending_ = false;
  int dragStartX_ = 0;
  int dragStartY_ = 0;
  bool dragging_ = false;
  bool movedInside_ = false;
  bool dropInCharField_ = false;
  int dropPointX_ = 0;  // where the drop marker was last asked for
  int dropPointY_ = 0;
  bool autoScrolling_ = false;
  THexPrintOptions printOptions_;
  platform::FontDescription printFont_ = Font();
  bool useEditorFontForPrinting_ = true;
};

}  // namespace kestrave::hex
