// Memory that runs out while data is fetched from the clipboard or a drop is reported as what it
// is, never as a clipboard that had nothing to give.
#include <gtest/gtest.h>

#include <new>

#include "hexeditor/transfer/TransferFormats.h"
#include "platform/Exception.h"
#include "platform/UserInterface.h"
#include "platform/ole/Clipboard.h"
#include "platform/ole/DragDrop.h"
#include "platform/ole/StaticDataObject.h"
#include "support/Fakes.h"
#include "tests/hexeditor/EditorFixture.h"

namespace kestrave::hex::test {
namespace {

namespace ole = platform::ole;

using kestrave::test::RecordingErrors;

// Data in the private format whose block cannot be made: the object answers as it does when
// memory runs out (E_OUTOFMEMORY), or raises std::bad_alloc itself.
ole::ComPtr<ole::IDataObject> DataWithoutMemory(bool raises) {
  auto* data = new ole::TStaticDataObject;
  ole::ComPtr<ole::IDataObject> held(data);
  ole::FORMATETC format;
  format.cfFormat = TransferFormats().Private;
  data->AddRenderer(format, [raises](ole::STGMEDIUM&) -> ole::HResult {
    if (raises) throw std::bad_alloc();
    return ole::E_OUTOFMEMORY;
  });
  return held;
}

class TransferOutOfMemory : public EditorTest {
 protected:
  TransferOutOfMemory() {
    platform::SetCurrentErrorDisplay(&errors);
    ole::ProcessClipboard().EmptyClipboard();
    LoadText("0123456789");
  }
  ~TransferOutOfMemory() override {
    ole::ProcessClipboard().EmptyClipboard();
    platform::SetCurrentErrorDisplay(nullptr);
  }

  RecordingErrors errors;
};

TEST_F(TransferOutOfMemory, APasteWithoutMemoryRaisesOutOfMemoryAndChangesNothing) {
  for (const bool raises : {false, true}) {
    SCOPED_TRACE(raises ? "the object raises" : "the object answers E_OUTOFMEMORY");
    const ole::ComPtr<ole::IDataObject> data = DataWithoutMemory(raises);
    ole::ProcessClipboard().SetClipboard(data.Get());
    const EditorState before = StateOf(editor);
    try {
      editor.PasteFromClipboard();
      ADD_FAILURE() << "the paste reported no error";
    } catch (...) {
      EXPECT_EQ(platform::CurrentErrorText(), "Out of memory");
    }
    EXPECT_EQ(StateOf(editor), before);
  }
}

TEST_F(TransferOutOfMemory, ADropWithoutMemoryShowsOutOfMemoryAndChangesNothing) {
  editor.SetOleDragDrop(true);
  const ole::ComPtr<ole::IDropTarget> target = ole::RegisteredDropTarget(editor.WindowHandle());
  ASSERT_TRUE(target);
  for (const bool raises : {false, true}) {
    SCOPED_TRACE(raises ? "the object raises" : "the object answers E_OUTOFMEMORY");
    errors.shown.clear();
    const ole::ComPtr<ole::IDataObject> data = DataWithoutMemory(raises);
    const EditorState before = StateOf(editor);
    std::int32_t effect = ole::DROPEFFECT_COPY;
    EXPECT_EQ(target->Drop(data.Get(), 0, {0, 0}, effect), ole::E_FAIL);
    EXPECT_EQ(effect, ole::DROPEFFECT_NONE);
    EXPECT_EQ(errors.shown, std::vector<std::string>{"Out of memory"});
    EXPECT_EQ(StateOf(editor), before);
  }
  editor.SetOleDragDrop(false);
}

}  // namespace
}  // namespace kestrave::hex::test
