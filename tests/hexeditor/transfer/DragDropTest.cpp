#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "hexeditor/transfer/HexDataObject.h"
#include "hexeditor/transfer/HexDropTarget.h"
#include "hexeditor/transfer/TransferFormats.h"
#include "platform/Exception.h"
#include "platform/UserInterface.h"
#include "platform/ole/GlobalMemory.h"
#include "platform/ole/InProcessDragLoop.h"
#include "platform/ole/Medium.h"
#include "platform/ole/StaticDataObject.h"
#include "support/Fakes.h"
#include "support/HostileFiles.h"
#include "support/RecordingViewHost.h"
#include "tests/hexeditor/EditorFixture.h"

namespace kestrave::hex::test {
namespace {

namespace ole = platform::ole;
using Bytes = std::vector<std::uint8_t>;

using kestrave::test::HeldKeys;
using kestrave::test::NinePixelMetrics;

using kestrave::test::RecordingErrors;

// A window of another program: accepts every drag as a copy, and on the drop may report
// through the data object that it moved the data itself.
class ForeignTarget : public ole::TRefCounted<ole::IDropTarget> {
 public:
  HResult DragEnter(ole::IDataObject*, std::uint32_t, ole::POINTL, std::int32_t& effect) override {
    allowedSeen = effect;
    effect = ole::DROPEFFECT_COPY;
    return ole::S_OK;
  }
  HResult DragOver(std::uint32_t, ole::POINTL, std::int32_t& effect) override {
    effect = ole::DROPEFFECT_COPY;
    return ole::S_OK;
  }
  HResult DragLeave() override {
    ++leaves;
    return ole::S_OK;
  }
  HResult Drop(ole::IDataObject* data, std::uint32_t, ole::POINTL, std::int32_t& effect) override {
    if (reportFormat) {
      const std::int32_t moved = ole::DROPEFFECT_MOVE;
      ole::FORMATETC format;
      format.cfFormat = reportFormat;
      ole::STGMEDIUM medium;
      medium.tymed = ole::TYMED_HGLOBAL;
      medium.handle = ole::GlobalFromBytes(&moved, sizeof moved);
      reportResult = data->SetData(format, medium, true);
    }
    effect = ole::DROPEFFECT_NONE;  // as a file window does after moving a file itself
    return ole::S_OK;
  }
  std::int32_t allowedSeen = -1;
  int leaves = 0;
  TClipFormat reportFormat = 0;
  HResult reportResult = ole::E_FAIL;
};

constexpr ole::HWND kForeignWindow = 0x5A5A0;

class DragDrop : public EditorTest {
 protected:
  DragDrop() {
    ole::SetCurrentDragLoop(&loop);
    platform::SetCurrentErrorDisplay(&errors);
    other.SetMessageQueue(queue);
    other.Loaded();
    for (TestableEditor* e : {&editor, &other}) {
      e->SetInputState(held);
      e->SetTextMetrics(metrics);
      e->SetClientSize(900, 17 * 10);
      e->SetOleDragDrop(true);
    }
  }
  ~DragDrop() override {
    ole::RevokeDragDrop(kForeignWindow);
    ole::SetCurrentDragLoop(nullptr);
    platform::SetCurrentErrorDisplay(nullptr);
  }

  // The middle of a byte's first hex digit (dx 2) or second (dx 11), in client pixels; for a
  // window-less editor these are its screen pixels as well.
  static ole::POINTL At(const THexEditorEx& e, int position, int dx = 2) {
    const PaintRect r = e.CellRect(e.PositionToCell(position, false));
    return {r.Left + dx, r.Top + r.Height() / 2};
  }
  static ole::DragStep Over(const THexEditorEx& e, int position, std::uint32_t keys = 0) {
    const ole::POINTL p = At(e, position);
    return ole::DragOverWindow(e.WindowHandle(), p.x, p.y, keys);
  }
  static ole::DragStep ReleaseOn(const THexEditorEx& e, int position, std::uint32_t keys = 0) {
    const ole::POINTL p = At(e, position);
    return ole::ReleaseOverWindow(e.WindowHandle(), p.x, p.y, keys);
  }

  // Selects low..high, presses on the first byte and moves onto the last one's second digit:
  // far enough to start the drag, which then runs the steps.
  void DragSelection(int low, int high, std::vector<ole::DragStep> steps) {
    editor.SetSelection(low, high);
    loop.Script(std::move(steps));
    const ole::POINTL press = At(editor, low);
    editor.MouseDown(TMouseButton::Left, ssLeft, press.x, press.y);
    const ole::POINTL move = At(editor, high, 11);
    editor.MouseMove(ssLeft, move.x, move.y);
  }

  Bytes OtherContent() const {
    Bytes bytes(static_cast<std::size_t>(other.DataSize()));
    other.ReadBlock(bytes.data(), 0, other.DataSize());
    return bytes;
  }
  void LoadOther(const Bytes& bytes) {
    WriteAll(dir.File("other.bin"), bytes);
    other.LoadFromFile(dir.File("other.bin"));
  }
  ole::ComPtr<ForeignTarget> RegisterForeignWindow() {
    ole::ComPtr<ForeignTarget> target(new ForeignTarget);
    EXPECT_EQ(ole::RegisterDragDrop(kForeignWindow, target.Get()), ole::S_OK);
    return target;
  }

  HeldKeys held;
  NinePixelMetrics metrics;
  ole::InProcessDragLoop loop;
  RecordingErrors errors;
  TestableEditor other;
};

const Bytes kSix = {0x00, 0x11, 0x22, 0x33, 0x44, 0x55};

// --- Inside one editor ------------------------------------------------------------------------

TEST_F(DragDrop, AMoveInsideOneEditorIsOneUndoStep) {
  LoadBytes(kSix);
  DragSelection(2, 3, {Over(editor, 4), ReleaseOn(editor, 5)});
  EXPECT_EQ(Content(), (Bytes{0x00, 0x11, 0x44, 0x22, 0x33, 0x55}));
  EXPECT_EQ(editor.UndoDescription(), "Data Moved");
  EXPECT_EQ(editor.SelectionLow(), 3);
  EXPECT_EQ(editor.SelectionHigh(), 4);
  EXPECT_FALSE(editor.Dragging());
  EXPECT_EQ(editor.DropPosition(), -1);
  editor.Undo();
  EXPECT_EQ(Content(), kSix);
  EXPECT_FALSE(editor.CanUndo());
  EXPECT_FALSE(editor.CanRedo());  // a joined step is not redone
}

TEST_F(DragDrop, MovesTowardTheStartAndPastTheEndLandWhereTheMarkerWas) {
  LoadBytes(kSix);
  DragSelection(3, 4, {ReleaseOn(editor, 1)});
  EXPECT_EQ(Content(), (Bytes{0x00, 0x33, 0x44, 0x11, 0x22, 0x55}));
  editor.Undo();
  DragSelection(1, 2, {ReleaseOn(editor, 6)});
  EXPECT_EQ(Content(), (Bytes{0x00, 0x33, 0x44, 0x55, 0x11, 0x22}));
  editor.Undo();
  EXPECT_EQ(Content(), kSix);
}

TEST_F(DragDrop, CtrlCopiesInsideOneEditor) {
  LoadBytes(kSix);
  DragSelection(2, 3, {ReleaseOn(editor, 5, ole::MK_CONTROL)});
  EXPECT_EQ(Content(), (Bytes{0x00, 0x11, 0x22, 0x33, 0x44, 0x22, 0x33, 0x55}));
  EXPECT_EQ(editor.UndoDescription(), "Data Dropped");
  editor.Undo();
  EXPECT_EQ(Content(), kSix);
}

TEST_F(DragDrop, DroppingASelectionOntoItselfChangesNothing) {
  LoadBytes(kSix);
  DragSelection(2, 3, {Over(editor, 3), ReleaseOn(editor, 3)});
  EXPECT_EQ(Content(), kSix);
  editor.Undo();
  EXPECT_EQ(Content(), kSix);
  EXPECT_FALSE(editor.CanUndo());
}

TEST_F(DragDrop, AMoveInsideKeepsWorkingWhenTheSizeIsFixed) {
  LoadBytes(kSix);
  editor.SetNoSizeChange(true);
  DragSelection(2, 3, {ReleaseOn(editor, 5)});
  EXPECT_EQ(Content(), (Bytes{0x00, 0x11, 0x44, 0x22, 0x33, 0x55}));
  // The restriction is back once the move is over.
  editor.SetSelection(0, 1);
  ExpectError<EHexEditor>([&] { editor.DeleteSelection(""); }, "Cannot update undo storage");
}

TEST_F(DragDrop, EscapeCancelsWithNothingChangedOnEitherSide) {
  LoadBytes(kSix);
  LoadOther({0xAA, 0xBB, 0xCC});
  const EditorState before = StateOf(other);
  bool markerShown = false;
  ole::DragStep over = Over(other, 1);
  over.Then = [&] { markerShown = other.DropPosition() == 1; };
  DragSelection(2, 3, {Over(editor, 5), over, ole::PressEscape()});
  EXPECT_TRUE(markerShown);
  EXPECT_EQ(Content(), kSix);
  EXPECT_FALSE(editor.CanUndo());
  EXPECT_EQ(StateOf(other), before);
  EXPECT_EQ(other.DropPosition(), -1);
  EXPECT_FALSE(editor.Dragging());
}

// --- Between editors and other programs -------------------------------------------------------

TEST_F(DragDrop, BetweenEditorsACopyIsTheDefaultAndShiftMoves) {
  LoadBytes(kSix);
  LoadOther({0xAA, 0xBB, 0xCC});
  DragSelection(2, 3, {Over(other, 1), ReleaseOn(other, 1)});
  EXPECT_EQ(OtherContent(), (Bytes{0xAA, 0x22, 0x33, 0xBB, 0xCC}));
  EXPECT_EQ(other.UndoDescription(), "Data Dropped");
  EXPECT_EQ(Content(), kSix);

  DragSelection(4, 5, {ReleaseOn(other, 0, ole::MK_SHIFT)});
  EXPECT_EQ(OtherContent(), (Bytes{0x44, 0x55, 0xAA, 0x22, 0x33, 0xBB, 0xCC}));
  EXPECT_EQ(Content(), (Bytes{0x00, 0x11, 0x22, 0x33}));
}

TEST_F(DragDrop, ADropPastTheLastByteAppends) {
  LoadBytes(kSix);
  LoadOther({0xAA, 0xBB});
  DragSelection(0, 1, {ReleaseOn(other, 2)});
  EXPECT_EQ(OtherContent(), (Bytes{0xAA, 0xBB, 0x00, 0x11}));
}

TEST_F(DragDrop, AFixedSizeTargetOverwritesAndRefusesToAppend) {
  LoadBytes(kSix);
  LoadOther(Bytes(10, 0xEE));
  other.SetNoSizeChange(true);
  DragSelection(1, 3, {ReleaseOn(other, 2)});
  EXPECT_EQ(OtherContent(), (Bytes{0xEE, 0xEE, 0x11, 0x22, 0x33, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE}));
  EXPECT_EQ(other.SelectionCount(), 0);

  // Near the end only what fits is overwritten.
  DragSelection(1, 3, {ReleaseOn(other, 8)});
  EXPECT_EQ(other.DataSize(), 10);
  EXPECT_EQ(OtherContent()[8], 0x11);
  EXPECT_EQ(OtherContent()[9], 0x22);

  const EditorState before = StateOf(other);
  DragSelection(1, 3, {ReleaseOn(other, 10, ole::MK_SHIFT)});
  EXPECT_EQ(StateOf(other), before);
  EXPECT_EQ(Content(), kSix);  // a refused move deletes nothing at the source
}

TEST_F(DragDrop, AFixedSizeTargetReplacesTheSelectionItIsDroppedOn) {
  LoadBytes(kSix);
  LoadOther(Bytes(10, 0xEE));
  other.SetNoSizeChange(true);
  other.SetSelection(4, 7);
  DragSelection(0, 1, {ReleaseOn(other, 6)});
  EXPECT_EQ(other.DataSize(), 10);
  EXPECT_EQ(OtherContent()[4], 0x00);
  EXPECT_EQ(OtherContent()[5], 0x11);
}

TEST_F(DragDrop, AReportedMoveMakesTheSourceDeleteItsSelection) {
  const TransferFormatIds& ids = TransferFormats();
  for (const TClipFormat format : {ids.PerformedDropEffect, ids.LogicalPerformedDropEffect}) {
    LoadBytes(kSix);
    const ole::ComPtr<ForeignTarget> target = RegisterForeignWindow();
    target->reportFormat = format;
    DragSelection(2, 3,
                  {ole::DragOverWindow(kForeignWindow, 10, 10),
                   ole::ReleaseOverWindow(kForeignWindow, 10, 10)});
    EXPECT_EQ(target->reportResult, ole::S_OK);
    EXPECT_EQ(Content(), (Bytes{0x00, 0x11, 0x44, 0x55}));
    ole::RevokeDragDrop(kForeignWindow);
  }
}

TEST_F(DragDrop, ACopyReportedToOtherProgramsLeavesTheSource) {
  LoadBytes(kSix);
  const ole::ComPtr<ForeignTarget> target = RegisterForeignWindow();
  DragSelection(2, 3,
                {ole::DragOverWindow(kForeignWindow, 10, 10),
                 ole::ReleaseOverWindow(kForeignWindow, 10, 10)});
  EXPECT_EQ(target->allowedSeen, ole::DROPEFFECT_COPY | ole::DROPEFFECT_MOVE);
  EXPECT_EQ(Content(), kSix);
}

TEST_F(DragDrop, AReadOnlyViewIsASourceOfCopiesOnlyAndRefusesDrops) {
  LoadBytes(kSix);
  LoadOther({0xAA});
  editor.SetReadOnlyView(true);
  const ole::ComPtr<ForeignTarget> target = RegisterForeignWindow();
  DragSelection(2, 3, {ole::ReleaseOverWindow(kForeignWindow, 10, 10)});
  EXPECT_EQ(target->allowedSeen, ole::DROPEFFECT_COPY);

  other.SetReadOnlyView(true);
  editor.SetReadOnlyView(false);
  bool markerFollows = false;
  ole::DragStep second = Over(other, 1);
  second.Then = [&] { markerFollows = other.DropPosition() == 1; };
  DragSelection(2, 3, {Over(other, 0), second, ReleaseOn(other, 0)});
  EXPECT_TRUE(markerFollows);
  EXPECT_EQ(loop.Feedback(),
            (std::vector<std::int32_t>{ole::DROPEFFECT_NONE, ole::DROPEFFECT_COPY}));
  EXPECT_EQ(OtherContent(), Bytes{0xAA});
}

TEST_F(DragDrop, WithoutOleDragDropNoDragStartsAndNoDropArrives) {
  LoadBytes(kSix);
  editor.SetOleDragDrop(false);
  EXPECT_FALSE(ole::RegisteredDropTarget(editor.WindowHandle()));
  DragSelection(2, 3, {ReleaseOn(other, 0)});
  EXPECT_FALSE(editor.Dragging());
  EXPECT_EQ(other.DataSize(), 0);
}

// --- Drops of other programs' data ------------------------------------------------------------

class ForeignDrops : public DragDrop {
 protected:
  // Drags an object of another program onto byte `position` of the editor.
  HResult DropOnEditor(ole::IDataObject* data, int position, std::uint32_t keys,
                       std::int32_t& effect) {
    loop.Script({Over(editor, position, keys), ReleaseOn(editor, position, keys)});
    const ole::ComPtr<ole::IDropSource> source(new THexDropSource);
    return ole::DoDragDrop(data, source.Get(),
                           ole::DROPEFFECT_COPY | ole::DROPEFFECT_MOVE | ole::DROPEFFECT_LINK,
                           effect);
  }
  ole::ComPtr<ole::IDataObject> FileList(const std::vector<std::string>& files) {
    auto* data = new ole::TStaticDataObject;
    ole::ComPtr<ole::IDataObject> held(data);
    ole::FORMATETC format;
    format.cfFormat = ole::CF_HDROP;
    data->AddRenderer(format, [files](ole::STGMEDIUM& medium) {
      medium.tymed = ole::TYMED_HGLOBAL;
      medium.handle = ole::MakeDropFiles(files);
      return ole::S_OK;
    });
    return held;
  }
  ole::ComPtr<ole::IDataObject> TextObject(const std::string& text) {
    auto* data = new ole::TStaticDataObject;
    ole::ComPtr<ole::IDataObject> held(data);
    data->AddBytes(ole::CF_TEXT, Bytes(text.begin(), text.end() + 1));
    return held;
  }
};

TEST_F(ForeignDrops, TextIsACopyWithoutShiftAndAMoveWithIt) {
  LoadText("abcd");
  std::int32_t effect = -1;
  EXPECT_EQ(DropOnEditor(TextObject("XY").Get(), 1, 0, effect), ole::DRAGDROP_S_DROP);
  EXPECT_EQ(effect, ole::DROPEFFECT_COPY);
  EXPECT_EQ(Text(), "aXYbcd");
  EXPECT_EQ(DropOnEditor(TextObject("Z").Get(), 0, ole::MK_SHIFT, effect), ole::DRAGDROP_S_DROP);
  EXPECT_EQ(effect, ole::DROPEFFECT_MOVE);
  EXPECT_EQ(Text(), "ZaXYbcd");
}

TEST_F(ForeignDrops, AFileListInsertsTheFirstFileOrWithShiftTheNames) {
  LoadText("ab");
  WriteAll(dir.File("first.txt"), Bytes{'1', '2', '3'});
  WriteAll(dir.File("second.txt"), Bytes{'4'});
  const auto files = FileList({dir.File("first.txt"), dir.File("second.txt")});
  std::int32_t effect = -1;
  DropOnEditor(files.Get(), 1, 0, effect);
  EXPECT_EQ(effect, ole::DROPEFFECT_COPY);
  EXPECT_EQ(Text(), "a123b");

  LoadText("ab");
  DropOnEditor(files.Get(), 2, ole::MK_SHIFT, effect);
  EXPECT_EQ(effect, ole::DROPEFFECT_LINK);
  const std::string names = dir.File("first.txt") + '\0' + dir.File("second.txt") + '\0';
  EXPECT_EQ(Text(), "ab" + names);
}

TEST_F(ForeignDrops, AnErrorInsideADropIsShownAndNeverReachesTheLoop) {
  LoadText("ab");
  const EditorState before = StateOf(editor);
  std::int32_t effect = -1;
  HResult result = ole::E_FAIL;
  EXPECT_NO_THROW(result = DropOnEditor(FileList({dir.File("missing.bin")}).Get(), 1, 0, effect));
  EXPECT_EQ(result, ole::DRAGDROP_S_DROP);
  EXPECT_EQ(effect, ole::DROPEFFECT_NONE);
  ASSERT_EQ(errors.shown.size(), 1u);
  EXPECT_EQ(errors.shown[0].rfind("Cannot open file \"" + dir.File("missing.bin") + "\". ", 0), 0u);
  EXPECT_EQ(StateOf(editor), before);
  EXPECT_EQ(editor.DropPosition(), -1);
}

TEST_F(ForeignDrops, FifosDevicesAndFoldersAreRefusedWithoutWaitingAndNamed) {
  LoadText("ab");
  const EditorState before = StateOf(editor);
  const std::string fifo = dir.File("fifo");
  kestrave::test::MakeFifo(fifo);
  const std::vector<std::pair<std::string, std::string>> refused = {
      {fifo, "Not a regular file"},
      {"/dev/null", "Not a regular file"},
      {"/dev/zero", "Not a regular file"},
      {dir.Path(), "Is a directory"}};
  for (const auto& [name, reason] : refused) {
    errors.shown.clear();
    kestrave::test::FifoGuard guard(fifo);
    std::int32_t effect = -1;
    EXPECT_EQ(DropOnEditor(FileList({name}).Get(), 1, 0, effect), ole::DRAGDROP_S_DROP);
    EXPECT_FALSE(guard.Fired()) << name << ": the drop waited for a writer";
    EXPECT_EQ(effect, ole::DROPEFFECT_NONE) << name;
    EXPECT_EQ(errors.shown,
              std::vector<std::string>{"Cannot open file \"" + name + "\". " + reason});
    EXPECT_EQ(StateOf(editor), before) << name;
  }
  EXPECT_TRUE(kestrave::test::IsFifo(fifo));
}

// A path cut at 260 bytes names another file; that one exists here and must not be read.
TEST_F(ForeignDrops, PathsLongerThan260BytesAreReadAndLinkedWhole) {
  const std::string longPath = kestrave::test::LongPathIn(dir.Path(), "long.bin", 320);
  ASSERT_GE(longPath.size(), 320u);
  WriteAll(longPath, Bytes{'1', '2', '3'});
  const std::string cut = longPath.substr(0, 260);
  if (!std::filesystem::exists(cut)) WriteAll(cut, Bytes{'c', 'u', 't'});
  LoadText("ab");
  std::int32_t effect = -1;
  DropOnEditor(FileList({longPath}).Get(), 1, 0, effect);
  EXPECT_EQ(effect, ole::DROPEFFECT_COPY);
  EXPECT_EQ(Text(), "a123b");
  LoadText("ab");
  DropOnEditor(FileList({longPath}).Get(), 2, ole::MK_SHIFT, effect);
  EXPECT_EQ(effect, ole::DROPEFFECT_LINK);
  EXPECT_EQ(Text(), "ab" + longPath + '\0');
}

TEST_F(ForeignDrops, LessThanOneUnitDropsNothing) {
  LoadText("abcd");
  editor.SetBytesPerUnit(2);
  const EditorState before = StateOf(editor);
  std::int32_t effect = -1;
  DropOnEditor(TextObject("").Get(), 2, 0, effect);
  EXPECT_EQ(effect, ole::DROPEFFECT_NONE);
  EXPECT_EQ(StateOf(editor), before);
}

TEST_F(ForeignDrops, AnObjectWithoutAcceptedFormatsIsRefusedAtTheDoor) {
  LoadText("ab");
  auto* data = new ole::TStaticDataObject;
  const ole::ComPtr<ole::IDataObject> held(data);
  data->AddBytes(ole::CF_SYLK, Bytes{1, 2, 3});
  ole::ComPtr<ole::IDropTarget> target = ole::RegisteredDropTarget(editor.WindowHandle());
  ASSERT_TRUE(target);
  std::int32_t effect = ole::DROPEFFECT_COPY;
  EXPECT_EQ(target->DragEnter(data, 0, At(editor, 0), effect), ole::S_FALSE);
  EXPECT_EQ(effect, ole::DROPEFFECT_NONE);
  effect = ole::DROPEFFECT_COPY;
  EXPECT_EQ(target->Drop(data, 0, At(editor, 0), effect), ole::S_FALSE);
  EXPECT_EQ(effect, ole::DROPEFFECT_NONE);
  EXPECT_EQ(Text(), "ab");
}

// --- The drop marker --------------------------------------------------------------------------

TEST_F(DragDrop, TheMarkerStandsOnWholeUnitsInsideTheDataAndOnTheSelectionStart) {
  LoadSize(64);
  const ole::POINTL gutter = At(editor, 16);
  editor.ShowDropMarker(1, gutter.y);  // the offset column: the row's first byte
  EXPECT_EQ(editor.DropPosition(), 16);
  const ole::POINTL last = At(editor, 63);
  editor.ShowDropMarker(890, last.y);  // right of the row: clamped to the data
  EXPECT_LE(editor.DropPosition(), 64);
  editor.SetSelection(20, 30);
  editor.ShowDropMarker(At(editor, 25).x, At(editor, 25).y);
  EXPECT_EQ(editor.DropPosition(), 20);
  editor.ResetSelection(false);
  editor.SetBytesPerUnit(4);
  editor.ShowDropMarker(At(editor, 7).x, At(editor, 7).y);
  EXPECT_EQ(editor.DropPosition(), 4);
  editor.HideDropMarker();
  EXPECT_EQ(editor.DropPosition(), -1);
}

TEST_F(DragDrop, TheMarkerScrollsOneLineTowardTheEdge) {
  LoadSize(16 * 100);
  editor.SetShowRuler(true);
  const int top = editor.TopRow();
  const int lastVisible = top + editor.VisibleRowCount() - 1;
  const PaintRect bottom = editor.CellRect({4, lastVisible});
  editor.ShowDropMarker(bottom.Left + 2, bottom.Top + 2);
  EXPECT_EQ(editor.TopRow(), top + 1);
  editor.ShowDropMarker(bottom.Left + 2, bottom.Top + 2);
  EXPECT_EQ(editor.TopRow(), top + 2);
  const PaintRect first = editor.CellRect({4, editor.TopRow()});
  editor.ShowDropMarker(first.Left + 2, first.Top + 2);
  EXPECT_EQ(editor.TopRow(), top + 1);
  // Over the ruler nothing scrolls.
  editor.ShowDropMarker(first.Left + 2, 1);
  EXPECT_EQ(editor.TopRow(), top + 1);
}

TEST_F(DragDrop, BelowTheLastRowTheMarkerStandsAtTheEndOrWithAFixedSizeOnTheLastByte) {
  LoadSize(40);
  const PaintRect lastRow = editor.CellRect({2, 4});
  const int below = lastRow.Bottom + 5;
  editor.ShowDropMarker(lastRow.Left + 2, below);
  EXPECT_EQ(editor.DropPosition(), 40);
  EXPECT_EQ(editor.DropMarkerCell(), editor.PositionToCell(40, false));
  const PaintRect chars = editor.CellRect({editor.Geometry().FirstCharColumn(), 4});
  editor.ShowDropMarker(chars.Left + 2, below);
  EXPECT_EQ(editor.DropMarkerCell(), editor.PositionToCell(40, true)) << "in the field under it";
  editor.ShowDropMarker(chars.Left + 2, editor.ClientHeight() - 1);
  EXPECT_EQ(editor.DropPosition(), 40) << "down to the view's bottom edge";
  editor.SetNoSizeChange(true);
  editor.ShowDropMarker(lastRow.Left + 2, below);
  EXPECT_EQ(editor.DropPosition(), 39);
  editor.SetBytesPerUnit(4);
  editor.ShowDropMarker(lastRow.Left + 2, below);
  EXPECT_EQ(editor.DropPosition(), 36);
}

TEST_F(DragDrop, BesideARowAndOverTheRulerTheMarkerStaysOnTheDataInView) {
  LoadSize(16 * 100);
  editor.SetShowRuler(true);
  editor.SetTopRow(20);
  const PaintRect row = editor.CellRect({4, 24});
  ASSERT_LT(editor.CellRect({editor.ColCount() - 1, 24}).Right, editor.ClientWidth() - 5);
  editor.ShowDropMarker(editor.ClientWidth() - 2, row.Top + 2);
  EXPECT_EQ(editor.DropPosition(), (24 - 2) * 16 + 15) << "the row's last byte";
  EXPECT_EQ(editor.DropMarkerCell().Col, editor.ColCount() - 1);
  editor.ShowDropMarker(row.Left + 2, 1);
  EXPECT_EQ(editor.DropPosition(), (20 - 2) * 16 + 1) << "the top row in view, not the first";
  EXPECT_EQ(editor.TopRow(), 20);
}

TEST_F(DragDrop, ADropBelowTheLastRowAppends) {
  LoadBytes(kSix);
  LoadOther({0xAA, 0xBB});
  const PaintRect row = other.CellRect(other.PositionToCell(0, false));
  DragSelection(0, 1,
                {ole::ReleaseOverWindow(other.WindowHandle(), row.Left + 2, row.Bottom + 20, 0)});
  EXPECT_EQ(OtherContent(), (Bytes{0xAA, 0xBB, 0x00, 0x11}));

  // A move inside one editor goes to the end as well.
  const PaintRect own = editor.CellRect(editor.PositionToCell(0, false));
  DragSelection(1, 2,
                {ole::ReleaseOverWindow(editor.WindowHandle(), own.Left + 2, own.Bottom + 20, 0)});
  EXPECT_EQ(Content(), (Bytes{0x00, 0x33, 0x44, 0x55, 0x11, 0x22}));
  EXPECT_EQ(editor.UndoDescription(), "Data Moved");
}

TEST_F(DragDrop, AFixedSizeTargetOverwritesItsLastByteFromBelowTheLastRow) {
  LoadBytes(kSix);
  LoadOther(Bytes(10, 0xEE));
  other.SetNoSizeChange(true);
  const PaintRect row = other.CellRect(other.PositionToCell(0, false));
  DragSelection(1, 3,
                {ole::ReleaseOverWindow(other.WindowHandle(), row.Left + 2, row.Bottom + 20, 0)});
  EXPECT_EQ(OtherContent(), (Bytes{0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0x11}));
  EXPECT_TRUE(errors.shown.empty()) << "what does not fit is left out, not an error";
  EXPECT_EQ(Content(), kSix);
}

TEST_F(DragDrop, ADropInTheCharacterFieldLeavesTheCaretThere) {
  LoadBytes(kSix);
  LoadOther({0xAA, 0xBB});
  const PaintRect chars = other.CellRect(other.PositionToCell(1, true));
  DragSelection(2, 3,
                {ole::ReleaseOverWindow(other.WindowHandle(), chars.Left + 2, chars.Top + 2)});
  EXPECT_EQ(OtherContent(), (Bytes{0xAA, 0x22, 0x33, 0xBB}));
  EXPECT_TRUE(other.InCharField());
  EXPECT_EQ(other.SelectionLow(), 1);
  EXPECT_EQ(other.SelectionHigh(), 2);
}

// --- Starting a drag, and the source's answers ------------------------------------------------

TEST_F(DragDrop, ADragStartsOnlyPastTheThresholdOverTheSelection) {
  LoadSize(64);
  editor.SetSelection(2, 5);
  const ole::POINTL press = At(editor, 3);
  editor.MouseDown(TMouseButton::Left, ssLeft, press.x, press.y);
  EXPECT_TRUE(editor.DragPending());
  loop.Script({ole::PressEscape()});
  editor.MouseMove(ssLeft, press.x + 4, press.y);
  EXPECT_TRUE(editor.DragPending());  // four pixels are not enough
  editor.MouseMove(0, press.x + 5, press.y);
  EXPECT_TRUE(editor.DragPending());  // nor is a move without the button
  editor.MouseMove(ssLeft, press.x + 5, press.y);
  EXPECT_FALSE(editor.DragPending());
  EXPECT_EQ(editor.SelectionCount(), 4);

  // A press outside the selection never arms a drag.
  editor.SetSelection(2, 5);
  const ole::POINTL outside = At(editor, 40);
  editor.MouseDown(TMouseButton::Left, ssLeft, outside.x, outside.y);
  EXPECT_FALSE(editor.DragPending());
}

TEST_F(DragDrop, TheSourceAnswersWithEveryResultCode) {
  THexDropSource source;
  EXPECT_EQ(source.QueryContinueDrag(true, ole::MK_LBUTTON), ole::DRAGDROP_S_CANCEL);
  EXPECT_EQ(source.QueryContinueDrag(false, ole::MK_SHIFT), ole::DRAGDROP_S_DROP);
  EXPECT_EQ(source.QueryContinueDrag(false, ole::MK_LBUTTON), ole::S_OK);
  for (const std::int32_t effect : {0, 1, 2, 8 | 2})
    EXPECT_EQ(source.GiveFeedback(effect), ole::DRAGDROP_S_USEDEFAULTCURSORS);
  for (const std::int32_t effect : {3, 4, 7})
    EXPECT_EQ(source.GiveFeedback(effect), ole::E_INVALIDARG);
}

TEST_F(DragDrop, SetDataTakesOnlyTheEffectReportsAndReleasesWhenAsked) {
  LoadBytes(kSix);
  const ole::ComPtr<THexDataObject> data(
      new THexDataObject(nullptr, 0, 0, "data.bin", false, false));
  const std::size_t blocks = ole::GlobalBlockCount();
  const std::int32_t moved = ole::DROPEFFECT_MOVE;
  ole::FORMATETC format;
  format.cfFormat = ole::CF_TEXT;
  ole::STGMEDIUM medium;
  medium.tymed = ole::TYMED_HGLOBAL;
  medium.handle = ole::GlobalFromBytes(&moved, sizeof moved);
  EXPECT_EQ(data->SetData(format, medium, false), ole::E_NOTIMPL);
  EXPECT_EQ(ole::GlobalBlockCount(), blocks + 1);  // not asked to release
  format.cfFormat = TransferFormats().PerformedDropEffect;
  EXPECT_EQ(data->SetData(format, medium, true), ole::S_OK);
  EXPECT_EQ(ole::GlobalBlockCount(), blocks);
  EXPECT_TRUE(data->EffectReported());
  EXPECT_EQ(data->ReportedEffect(), ole::DROPEFFECT_MOVE);

  // A block too short for the value is no report.
  const ole::ComPtr<THexDataObject> fresh(
      new THexDataObject(nullptr, 0, 0, "data.bin", false, false));
  medium.handle = ole::GlobalFromBytes("\x02", 1);
  medium.tymed = ole::TYMED_HGLOBAL;
  EXPECT_EQ(fresh->SetData(format, medium, true), ole::E_INVALIDARG);
  EXPECT_FALSE(fresh->EffectReported());
  EXPECT_EQ(ole::GlobalBlockCount(), blocks);
}

TEST_F(DragDrop, ADeletionRefusedAfterAMoveOutKeepsTheSourceBytes) {
  LoadBytes(kSix);
  editor.SetNoSizeChange(true);
  ExpectError<EHexEditor>([&] { DragSelection(2, 3, {ReleaseOn(other, 0, ole::MK_SHIFT)}); },
                          "Cannot update undo storage");
  EXPECT_EQ(Content(), kSix);
  EXPECT_EQ(OtherContent(), (Bytes{0x22, 0x33}));
  EXPECT_FALSE(editor.Dragging());
}

// --- Registration -----------------------------------------------------------------------------

class Registration : public EditorTest {};

TEST_F(Registration, FollowsThePropertyTheWindowAndTheEditorsLife) {
  auto hidden = std::make_unique<THexEditorEx>();
  const ole::HWND window = hidden->WindowHandle();
  EXPECT_FALSE(ole::RegisteredDropTarget(window));
  hidden->SetOleDragDrop(true);
  EXPECT_TRUE(hidden->DropTarget().Registered());
  const ole::ComPtr<ole::IDropTarget> held = ole::RegisteredDropTarget(window);
  EXPECT_TRUE(held);
  hidden->SetOleDragDrop(false);
  EXPECT_FALSE(ole::RegisteredDropTarget(window));
  hidden->SetOleDragDrop(true);

  // A view is a window of its own: the registration moves to it, and goes with it.
  kestrave::test::RecordingViewHost view;
  hidden->SetViewHost(&view);
  EXPECT_FALSE(ole::RegisteredDropTarget(window));
  EXPECT_TRUE(ole::RegisteredDropTarget(view.WindowHandle()));
  hidden->SetViewHost(nullptr);
  EXPECT_FALSE(ole::RegisteredDropTarget(view.WindowHandle()));
  EXPECT_FALSE(hidden->DropTarget().Registered());

  // The platform may hold the target longer than the editor lives; it then refuses politely.
  hidden->SetOleDragDrop(false);
  hidden->SetOleDragDrop(true);
  hidden.reset();
  EXPECT_FALSE(ole::RegisteredDropTarget(window));
  std::int32_t effect = ole::DROPEFFECT_COPY;
  EXPECT_EQ(held->DragOver(0, {0, 0}, effect), ole::E_FAIL);
  EXPECT_EQ(effect, ole::DROPEFFECT_NONE);
}

TEST_F(Registration, AFailedRegistrationRaisesAndLeavesThePropertyOff) {
  THexEditorEx hidden;
  struct Squatter : ole::TRefCounted<ole::IDropTarget> {
    HResult DragEnter(ole::IDataObject*, std::uint32_t, ole::POINTL, std::int32_t&) override {
      return ole::S_OK;
    }
    HResult DragOver(std::uint32_t, ole::POINTL, std::int32_t&) override { return ole::S_OK; }
    HResult DragLeave() override { return ole::S_OK; }
    HResult Drop(ole::IDataObject*, std::uint32_t, ole::POINTL, std::int32_t&) override {
      return ole::S_OK;
    }
  };
  const ole::ComPtr<Squatter> squatter(new Squatter);
  ASSERT_EQ(ole::RegisterDragDrop(hidden.WindowHandle(), squatter.Get()), ole::S_OK);
  ExpectError<platform::EOleError>([&] { hidden.SetOleDragDrop(true); }, "OLE error 80040101");
  EXPECT_FALSE(hidden.OleDragDrop());
  EXPECT_FALSE(hidden.DropTarget().Registered());
  ole::RevokeDragDrop(hidden.WindowHandle());
}

}  // namespace
}  // namespace kestrave::hex::test
