#include <gtest/gtest.h>

#include <filesystem>

#include "hexeditor/transfer/FormatChoice.h"
#include "hexeditor/transfer/TransferFormats.h"
#include "platform/SystemCalls.h"
#include "platform/ole/Clipboard.h"
#include "platform/ole/GlobalMemory.h"
#include "platform/ole/Medium.h"
#include "platform/ole/StaticDataObject.h"
#include "support/HostileFiles.h"
#include "tests/hexeditor/EditorFixture.h"

namespace kestrave::hex::test {
namespace {

namespace ole = platform::ole;
using Bytes = std::vector<std::uint8_t>;

Bytes Of(std::string_view text) {
  return {text.begin(), text.end()};
}

// Records what the user was offered and answers as scripted.
class ScriptedChooser : public IFormatChooser {
 public:
  bool Choose(const std::vector<TClipFormat>& formats, TClipFormat& chosen,
              bool& hexText) override {
    offered = formats;
    if (!answer) return false;
    chosen = *answer;
    if (chosen == ole::CF_TEXT || chosen == ole::CF_OEMTEXT) hexText = box;
    return true;
  }
  std::vector<TClipFormat> offered;
  std::optional<TClipFormat> answer;
  bool box = false;
};

class Clipboard : public EditorTest {
 protected:
  Clipboard() {
    ole::ProcessClipboard().EmptyClipboard();
    other.SetMessageQueue(queue);
    other.Loaded();
    other.SetFormatChooser(&chooser);
    editor.SetFormatChooser(&chooser);
  }
  ~Clipboard() override { ole::ProcessClipboard().EmptyClipboard(); }

  // Another program's clipboard content: the given formats, as global blocks.
  void Offer(std::initializer_list<std::pair<TClipFormat, Bytes>> formats) {
    auto* data = new ole::TStaticDataObject;
    ole::ComPtr<ole::IDataObject> held(data);
    for (const auto& [format, bytes] : formats)
      data->AddBytes(format, bytes);
    ole::ProcessClipboard().SetClipboard(held.Get());
  }
  std::string OtherText() const {
    std::string text(static_cast<std::size_t>(other.DataSize()), '\0');
    other.ReadBlock(text.data(), 0, other.DataSize());
    return text;
  }

  TestableEditor other;
  ScriptedChooser chooser;
};

TEST_F(Clipboard, NothingSelectedCopiesNothing) {
  LoadText("0123456789");
  EXPECT_FALSE(editor.CopyToClipboard());
  EXPECT_EQ(ole::ProcessClipboard().Content(), nullptr);
  editor.CreateEmptyFile("");
  EXPECT_FALSE(editor.CanCopy());
}

TEST_F(Clipboard, CopyAndPasteMoveExactlyTheSelectedBytes) {
  const Bytes data = PatternBytes(40);
  LoadBytes(data);
  editor.SetSelectionStart(10);
  editor.SetSelectionEnd(19);
  for (const bool hex : {false, true}) {
    editor.SetClipboardAsHexText(hex);
    other.SetClipboardAsHexText(hex);
    other.SetSupportsOtherClipFormats(!hex);
    ASSERT_TRUE(editor.CopyToClipboard());
    other.CreateEmptyFile("");
    ASSERT_TRUE(other.CanPaste());
    ASSERT_TRUE(other.PasteFromClipboard());
    ASSERT_EQ(other.DataSize(), 10);
    Bytes pasted(10);
    other.ReadBlock(pasted.data(), 0, 10);
    EXPECT_EQ(pasted, Bytes(data.begin() + 10, data.begin() + 20));
    EXPECT_EQ(other.UndoStorage().Count(), 1);
    EXPECT_EQ(other.UndoDescription(), "Paste from Clipboard");
    EXPECT_TRUE(chooser.offered.empty()) << "the private block needs no choice";
    EXPECT_EQ(other.ChosenFormat(true), TransferFormats().Private);
  }
}

TEST_F(Clipboard, TheCopyIsASnapshotWithTheFlagsOfItsMoment) {
  LoadText("AB");
  editor.SelectAll();
  editor.SetClipboardAsHexText(true);
  editor.CopyToClipboard();
  editor.SetClipboardAsHexText(false);
  editor.SelectAll();
  editor.DeleteSelection("");
  ole::ComPtr<ole::IDataObject> content;
  ole::ProcessClipboard().GetClipboard(content);
  ole::FORMATETC text;
  text.cfFormat = ole::CF_TEXT;
  ole::STGMEDIUM medium;
  ASSERT_EQ(content->GetData(text, medium), ole::S_OK);
  EXPECT_STREQ(reinterpret_cast<const char*>(ole::GlobalLock(medium.handle)), "4142");
  ole::GlobalUnlock(medium.handle);
  ole::ReleaseStgMedium(medium);
}

TEST_F(Clipboard, HexTextIsDecodedFromDigitPairs) {
  other.SetClipboardAsHexText(true);
  Offer({{ole::CF_TEXT, Of(std::string_view("0x1F, 2a 3\0", 11))}});
  ASSERT_TRUE(other.PasteFromClipboard());
  EXPECT_EQ(OtherText(), "\x01\xF2\xA3");
  other.CreateEmptyFile("");
  Offer({{ole::CF_TEXT, Of(std::string_view("xyz\0", 4))}});
  EXPECT_FALSE(other.PasteFromClipboard()) << "no digits, nothing to paste";
  EXPECT_EQ(other.DataSize(), 0);
  other.SetClipboardAsHexText(false);
  ASSERT_TRUE(other.PasteFromClipboard());
  EXPECT_EQ(OtherText(), "xyz");
}

TEST_F(Clipboard, PastesComeInWholeUnitsAtUnitPositions) {
  LoadText("0123456789");
  editor.SetBytesPerUnit(4);
  Offer({{ole::CF_TEXT, Of(std::string_view("abcdefghij\0", 11))}});
  editor.SetSelectionStart(0);
  ASSERT_TRUE(editor.PasteFromClipboard());
  EXPECT_EQ(Text(), "abcdefgh0123456789");
  Offer({{ole::CF_TEXT, Of(std::string_view("abc\0", 4))}});
  const EditorState before = StateOf(editor);
  EXPECT_FALSE(editor.PasteFromClipboard()) << "less than one unit";
  EXPECT_EQ(StateOf(editor), before);
  LoadText("0123456789");
  editor.SetBytesPerUnit(2);
  editor.SetSelectionStart(5);
  Offer({{ole::CF_TEXT, Of(std::string_view("XY\0", 3))}});
  ASSERT_TRUE(editor.PasteFromClipboard());
  EXPECT_EQ(Text(), "0123XY456789") << "at byte 4, the start of the cursor's unit";
}

TEST_F(Clipboard, AFixedSizeOverwritesInPlace) {
  LoadText("0123456789");
  editor.SetNoSizeChange(true);
  editor.SetSelectionStart(8);
  Offer({{ole::CF_TEXT, Of(std::string_view("ABCDE\0", 6))}});
  ASSERT_TRUE(editor.PasteFromClipboard());
  EXPECT_EQ(Text(), "01234567AB");
  other.SetNoSizeChange(true);
  EXPECT_FALSE(other.CanPaste()) << "nothing to overwrite in an empty buffer";
  EXPECT_FALSE(editor.CanCut());
}

TEST_F(Clipboard, AReadOnlyViewNeitherCutsNorPastes) {
  LoadText("0123456789");
  editor.SelectAll();
  editor.SetReadOnlyView(true);
  EXPECT_TRUE(editor.CanCopy());
  EXPECT_FALSE(editor.CanCut());
  EXPECT_FALSE(editor.CutToClipboard());
  Offer({{ole::CF_TEXT, Of("x")}});
  EXPECT_FALSE(editor.CanPaste());
}

TEST_F(Clipboard, SeveralTextFormatsAreOfferedInPreferenceOrder) {
  Offer({{ole::CF_LOCALE, {0x19, 0x04, 0, 0}},
         {ole::CF_OEMTEXT, Of(std::string_view("\x80\0", 2))},
         {ole::CF_UNICODETEXT, {0x10, 0x04, 0, 0}},
         {ole::CF_TEXT, Of(std::string_view("\xC0\0", 2))}});
  chooser.answer = ole::CF_UNICODETEXT;
  ASSERT_TRUE(other.PasteFromClipboard());
  EXPECT_EQ(chooser.offered, (std::vector<TClipFormat>{ole::CF_TEXT, ole::CF_UNICODETEXT,
                                                       ole::CF_OEMTEXT, ole::CF_LOCALE}));
  EXPECT_EQ(OtherText(), std::string("\x10\x04", 2));
  other.CreateEmptyFile("");
  chooser.answer.reset();
  EXPECT_FALSE(other.PasteFromClipboard()) << "the user cancelled";
  EXPECT_EQ(other.DataSize(), 0);
  chooser.answer = ole::CF_TEXT;
  chooser.box = true;
  EXPECT_FALSE(other.PasteFromClipboard()) << "\xC0 holds no hex digits";
  EXPECT_TRUE(other.ClipboardAsHexText()) << "the box is written back for 8-bit text";
  other.SetSupportsOtherClipFormats(false);
  EXPECT_FALSE(other.CanPaste());
  EXPECT_EQ(other.GetAcceptedFormats().size(), 2u);
  other.SetSupportsOtherClipFormats(true);
  EXPECT_EQ(other.GetAcceptedFormats().size(), 17u);
}

TEST_F(Clipboard, AFileListPastesTheFirstFileOnly) {
  WriteAll(dir.File("one.bin"), "first file");
  WriteAll(dir.File("two.bin"), "second");
  auto* data = new ole::TStaticDataObject;
  ole::ComPtr<ole::IDataObject> held(data);
  const ole::HGLOBAL drop = ole::MakeDropFiles({dir.File("one.bin"), dir.File("two.bin")});
  const std::uint8_t* block = ole::GlobalLock(drop);
  data->AddBytes(ole::CF_HDROP, Bytes(block, block + ole::GlobalSize(drop)));
  ole::GlobalUnlock(drop);
  ole::GlobalFree(drop);
  ole::ProcessClipboard().SetClipboard(held.Get());
  ASSERT_TRUE(other.PasteFromClipboard());
  EXPECT_EQ(OtherText(), "first file");
  std::filesystem::remove(dir.File("one.bin"));
  other.CreateEmptyFile("");
  ExpectError<platform::EFOpenError>(
      [&] { other.PasteFromClipboard(); },
      "Cannot open file \"" + dir.File("one.bin") + "\". No such file or directory");
  EXPECT_EQ(other.DataSize(), 0);
}

class PastedFileLists : public Clipboard {
 protected:
  void OfferFiles(const std::vector<std::string>& files) {
    auto* data = new ole::TStaticDataObject;
    ole::ComPtr<ole::IDataObject> held(data);
    const ole::HGLOBAL drop = ole::MakeDropFiles(files);
    const std::uint8_t* block = ole::GlobalLock(drop);
    data->AddBytes(ole::CF_HDROP, Bytes(block, block + ole::GlobalSize(drop)));
    ole::GlobalUnlock(drop);
    ole::GlobalFree(drop);
    ole::ProcessClipboard().SetClipboard(held.Get());
  }
};

TEST_F(PastedFileLists, FifosDevicesAndFoldersAreRefusedWithoutWaitingAndNamed) {
  other.AppendBuffer("kept", 4, "", false);
  const EditorState before = StateOf(other);
  const std::string fifo = dir.File("fifo");
  kestrave::test::MakeFifo(fifo);
  const std::vector<std::pair<std::string, std::string>> refused = {
      {fifo, "Not a regular file"},
      {"/dev/null", "Not a regular file"},
      {"/dev/zero", "Not a regular file"},
      {dir.Path(), "Is a directory"}};
  for (const auto& [name, reason] : refused) {
    OfferFiles({name, dir.File("unread.bin")});
    kestrave::test::FifoGuard guard(fifo);
    ExpectError<platform::EFOpenError>([&] { other.PasteFromClipboard(); },
                                       "Cannot open file \"" + name + "\". " + reason);
    EXPECT_FALSE(guard.Fired()) << name << ": the paste waited for a writer";
    EXPECT_EQ(StateOf(other), before) << name;
  }
  EXPECT_TRUE(kestrave::test::IsFifo(fifo));
}

// Every read of the pasted file fails as a failing disk makes it fail.
class FailingReads : public platform::ISystemCalls {
 public:
  FailingReads() { platform::SetSystemCalls(this); }
  ~FailingReads() override { platform::SetSystemCalls(nullptr); }
  ssize_t Read(int, void*, std::size_t) override {
    errno = EIO;
    return -1;
  }
};

TEST_F(PastedFileLists, AReadErrorNamesTheFileAndTheCause) {
  WriteAll(dir.File("one.bin"), "first file");
  OfferFiles({dir.File("one.bin")});
  const FailingReads failing;
  ExpectError<EHexEditor>([&] { other.PasteFromClipboard(); }, "Stream read error",
                          dir.File("one.bin") + ": Input/output error");
  EXPECT_EQ(other.DataSize(), 0);
}

// A path cut at 260 bytes names another file; that one exists here and must not be read.
TEST_F(PastedFileLists, PathsLongerThan260BytesAreReadWhole) {
  const std::string longPath = kestrave::test::LongPathIn(dir.Path(), "long.bin", 320);
  ASSERT_GE(longPath.size(), 320u);
  WriteAll(longPath, "the file named");
  const std::string cut = longPath.substr(0, 260);
  if (!std::filesystem::exists(cut)) WriteAll(cut, "a file named by a cut path");
  OfferFiles({longPath});
  ASSERT_TRUE(other.PasteFromClipboard());
  EXPECT_EQ(OtherText(), "the file named");
}

TEST_F(Clipboard, CuttingCopiesThenDeletes) {
  LoadText("0123456789");
  editor.SetSelection(2, 4);
  ASSERT_TRUE(editor.CutToClipboard());
  EXPECT_EQ(Text(), "0156789");
  EXPECT_EQ(editor.UndoDescription(), "Cut to Clipboard");
  ASSERT_TRUE(other.PasteFromClipboard());
  EXPECT_EQ(OtherText(), "234");
  // Without undo the cut does the same and leaves no step (nor a copy of the bytes) behind, and
  // the steps after it are recorded again.
  editor.WithoutUndo([&] {
    editor.SetSelection(0, 1);
    ASSERT_TRUE(editor.CutToClipboard());
  });
  EXPECT_EQ(Text(), "56789");
  EXPECT_EQ(editor.UndoStorage().Count(), 1);
  ASSERT_TRUE(other.PasteFromClipboard());
  EXPECT_EQ(OtherText(), "01");
  editor.SetSelection(0, 0);
  ASSERT_TRUE(editor.CutToClipboard());
  EXPECT_EQ(editor.UndoStorage().Count(), 2);
}

TEST_F(Clipboard, AFailedCopyRaisesAndACutThenDeletesNothing) {
  LoadText("0123456789");
  editor.SetSelection(2, 4);
  ole::ProcessClipboard().SetHeldOpenElsewhere(true);
  const EditorState before = StateOf(editor);
  ExpectError<platform::EOleError>([&] { editor.CutToClipboard(); }, "OpenClipboard Failed");
  ole::ProcessClipboard().SetHeldOpenElsewhere(false);
  EXPECT_EQ(StateOf(editor), before);
}

TEST(ClipboardRelease, AGoneEditorTakesItsCopyWithItUnlessFlushed) {
  platform::ManualMessageQueue queue;
  for (const bool flush : {false, true}) {
    {
      THexEditorEx editor;
      editor.SetMessageQueue(queue);
      editor.Loaded();
      editor.AppendBuffer("abc", 3, "", false);
      editor.SelectAll();
      editor.SetFlushClipboardAtShutDown(flush);
      ASSERT_TRUE(editor.CopyToClipboard());
    }
    ole::ComPtr<ole::IDataObject> content;
    ole::ProcessClipboard().GetClipboard(content);
    ole::FORMATETC text;
    text.cfFormat = ole::CF_TEXT;
    EXPECT_EQ(content->QueryGetData(text) == ole::S_OK, flush) << "flush " << flush;
    ole::ProcessClipboard().EmptyClipboard();
  }
  queue.Pump();
}

}  // namespace
}  // namespace kestrave::hex::test
