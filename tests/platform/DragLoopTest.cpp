#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/ole/InProcessDragLoop.h"
#include "platform/ole/StaticDataObject.h"

namespace kestrave::platform::ole::test {
namespace {

// Writes down every call, and answers with the effect it is told to.
class JournalTarget : public TRefCounted<IDropTarget> {
 public:
  JournalTarget(std::vector<std::string>& journal, std::string name, std::int32_t answer)
      : journal_(journal), name_(std::move(name)), answer_(answer) {}
  HResult DragEnter(IDataObject*, std::uint32_t, POINTL point, std::int32_t& effect) override {
    Note("enter", point);
    effect = answer_;
    return S_OK;
  }
  HResult DragOver(std::uint32_t, POINTL point, std::int32_t& effect) override {
    Note("over", point);
    effect = answer_;
    return S_OK;
  }
  HResult DragLeave() override {
    journal_.push_back(name_ + " leave");
    return S_OK;
  }
  HResult Drop(IDataObject*, std::uint32_t keys, POINTL point, std::int32_t& effect) override {
    Note(keys & MK_SHIFT ? "drop+shift" : "drop", point);
    effect = answer_;
    return S_OK;
  }

 private:
  void Note(const char* what, POINTL p) {
    journal_.push_back(name_ + ' ' + what + ' ' + std::to_string(p.x) + ',' + std::to_string(p.y));
  }
  std::vector<std::string>& journal_;
  std::string name_;
  std::int32_t answer_;
};

// Goes on while the left button is held, drops when it comes up, cancels on Escape.
class PlainSource : public TRefCounted<IDropSource> {
 public:
  HResult QueryContinueDrag(bool escape, std::uint32_t keys) override {
    if (escape) return DRAGDROP_S_CANCEL;
    return keys & MK_LBUTTON ? S_OK : DRAGDROP_S_DROP;
  }
  HResult GiveFeedback(std::int32_t) override { return DRAGDROP_S_USEDEFAULTCURSORS; }
};

constexpr HWND kLeft = 0x100;
constexpr HWND kRight = 0x200;
constexpr HWND kBare = 0x300;  // a window nobody registered

class DragLoop : public ::testing::Test {
 protected:
  DragLoop()
      : left(new JournalTarget(journal, "left", DROPEFFECT_COPY)),
        right(new JournalTarget(journal, "right", DROPEFFECT_MOVE)),
        data(new TStaticDataObject),
        source(new PlainSource) {
    RegisterDragDrop(kLeft, left.Get());
    RegisterDragDrop(kRight, right.Get());
  }
  ~DragLoop() override {
    RevokeDragDrop(kLeft);
    RevokeDragDrop(kRight);
  }
  HResult Run(std::vector<DragStep> steps, std::int32_t allowed, std::int32_t& effect) {
    loop.Script(std::move(steps));
    return loop.DoDragDrop(data.Get(), source.Get(), allowed, effect);
  }

  std::vector<std::string> journal;
  ComPtr<JournalTarget> left;
  ComPtr<JournalTarget> right;
  ComPtr<IDataObject> data;
  ComPtr<IDropSource> source;
  InProcessDragLoop loop;
};

TEST_F(DragLoop, TargetsAreEnteredLeftAndDroppedOnInOrder) {
  std::int32_t effect = -1;
  const HResult result =
      Run({DragOverWindow(kLeft, 1, 2), DragOverWindow(kLeft, 3, 4), DragOverWindow(kBare, 5, 6),
           DragOverWindow(kRight, 7, 8), ReleaseOverWindow(kRight, 9, 9, MK_SHIFT)},
          DROPEFFECT_COPY | DROPEFFECT_MOVE, effect);
  EXPECT_EQ(result, DRAGDROP_S_DROP);
  EXPECT_EQ(effect, DROPEFFECT_MOVE);
  EXPECT_EQ(journal, (std::vector<std::string>{"left enter 1,2", "left over 3,4", "left leave",
                                               "right enter 7,8", "right over 9,9",
                                               "right drop+shift 9,9"}));
  EXPECT_EQ(loop.Feedback(), (std::vector<std::int32_t>{DROPEFFECT_COPY, DROPEFFECT_COPY,
                                                        DROPEFFECT_NONE, DROPEFFECT_MOVE}));
}

TEST_F(DragLoop, EscapeAndReleasesOverNothingCancel) {
  std::int32_t effect = -1;
  EXPECT_EQ(Run({DragOverWindow(kLeft, 1, 1), PressEscape()}, DROPEFFECT_COPY, effect),
            DRAGDROP_S_CANCEL);
  EXPECT_EQ(effect, DROPEFFECT_NONE);
  EXPECT_EQ(journal.back(), "left leave");
  EXPECT_EQ(Run({ReleaseOverWindow(kBare, 1, 1)}, DROPEFFECT_COPY, effect), DRAGDROP_S_CANCEL);
  // A script that runs out is a release over no window.
  journal.clear();
  EXPECT_EQ(Run({DragOverWindow(kLeft, 1, 1)}, DROPEFFECT_COPY, effect), DRAGDROP_S_CANCEL);
  EXPECT_EQ(journal, (std::vector<std::string>{"left enter 1,1", "left leave"}));
}

TEST_F(DragLoop, ATargetCannotTakeAnEffectTheSourceDoesNotAllow) {
  std::int32_t effect = -1;
  // The right window wants to move; a copy-only source leaves it nothing to drop.
  EXPECT_EQ(Run({ReleaseOverWindow(kRight, 1, 1)}, DROPEFFECT_COPY, effect), DRAGDROP_S_CANCEL);
  EXPECT_EQ(effect, DROPEFFECT_NONE);
  EXPECT_EQ(journal.back(), "right leave");
}

TEST_F(DragLoop, TheRegistryRefusesWhatItCannotKeep) {
  EXPECT_EQ(RegisterDragDrop(kLeft, right.Get()), DRAGDROP_E_ALREADYREGISTERED);
  EXPECT_EQ(RegisterDragDrop(0, right.Get()), DRAGDROP_E_INVALIDHWND);
  EXPECT_EQ(RegisterDragDrop(kBare, nullptr), E_INVALIDARG);
  EXPECT_EQ(RevokeDragDrop(kBare), DRAGDROP_E_NOTREGISTERED);
  EXPECT_EQ(RegisteredDropTarget(kLeft).Get(), left.Get());
  std::int32_t effect = -1;
  EXPECT_EQ(loop.DoDragDrop(nullptr, source.Get(), DROPEFFECT_COPY, effect), E_INVALIDARG);
  EXPECT_EQ(CurrentDragLoop().DoDragDrop(data.Get(), source.Get(), DROPEFFECT_COPY, effect),
            DRAGDROP_S_CANCEL);  // no mouse, no drag
}

TEST_F(DragLoop, AnUnbalancedExternalUnlockCannotFreeAnObject) {
  // Only this test's pointer holds the target now; a stray unlock must not take that reference.
  EXPECT_EQ(CoLockObjectExternal(left.Get(), false, true), S_OK);
  EXPECT_EQ(CoLockObjectExternal(left.Get(), true, false), S_OK);
  EXPECT_EQ(CoLockObjectExternal(left.Get(), false, true), S_OK);
  EXPECT_EQ(CoLockObjectExternal(left.Get(), false, true), S_OK);
  std::int32_t effect = -1;
  EXPECT_EQ(left->DragOver(0, {0, 0}, effect), S_OK);  // still alive (the sanitizers would see)
}

}  // namespace
}  // namespace kestrave::platform::ole::test
