#include <gtest/gtest.h>

#include <filesystem>

#include "app/core/ConverterWorkflow.h"
#include "platform/Exception.h"
#include "platform/MessageQueue.h"
#include "platform/ole/Clipboard.h"
#include "platform/ole/StaticDataObject.h"
#include "support/InFolder.h"
#include "support/TempDir.h"

namespace kestrave::app {
namespace {

namespace ole = platform::ole;
using test::ReadAll;
using test::TempDir;
using test::WriteAll;
using Bytes = std::vector<std::uint8_t>;

// A clipboard that other programs use too: for the two reads of one paste (from a given read
// on) one of them has put text there; or it cannot be emptied.
class SharedClipboard : public ole::InProcessClipboard {
 public:
  ole::HResult GetClipboard(ole::ComPtr<ole::IDataObject>& data) override {
    ++reads_;
    if (intrudeFromRead > 0 && reads_ >= intrudeFromRead && reads_ <= intrudeFromRead + 1) {
      auto* foreign = new ole::TStaticDataObject;
      foreign->AddBytes(ole::CF_TEXT, {'h', 'i', 0});
      data = ole::ComPtr<ole::IDataObject>(foreign);
      return ole::S_OK;
    }
    return InProcessClipboard::GetClipboard(data);
  }
  bool EmptyClipboard() override {
    return cannotEmpty ? false : InProcessClipboard::EmptyClipboard();
  }
  int intrudeFromRead = 0;
  bool cannotEmpty = false;

 private:
  int reads_ = 0;
};

class Export : public ::testing::Test {
 protected:
  Export() { ole::SetCurrentClipboard(&clipboard); }
  ~Export() override {
    ole::SetCurrentClipboard(nullptr);
    platform::ProcessManualQueue().Pump();
  }

  // A container of 900 bytes with magics at 100 and 500 and two markers.
  void OpenTwoRecords() {
    container = test::PatternBytes(900, 3);
    for (auto& b : container)
      b = static_cast<std::uint8_t>(b & 0x7F) | 0x80;  // no patterns by chance
    Put(100, "#!AMR");
    Put(500, "#!AMR");
    Put(40,
        "\x06\x1F\x22"
        "audio/amr");
    Put(440,
        "\x06\x1F\x22"
        "audio/amr");
    WriteAll(dir.File("in.drf"), container);
    workflow.OpenContainer(dir.File("in.drf"));
    ASSERT_EQ(workflow.StatusText(), "Найдено 2 записей");
  }
  void Put(std::size_t at, std::string_view text) {
    std::copy(text.begin(), text.end(), container.begin() + static_cast<long>(at));
  }
  Bytes Slice(std::size_t from, std::size_t to) const {
    return {container.begin() + static_cast<long>(from), container.begin() + static_cast<long>(to)};
  }
  std::string ErrorOf(const std::string& base) {
    try {
      workflow.ExportRecords(base);
    } catch (const platform::Exception& e) {
      return e.Message();
    }
    return "";
  }

  SharedClipboard clipboard;
  TempDir dir;
  ConverterWorkflow workflow;
  Bytes container;
};

TEST_F(Export, EachRecordRunsFromItsMagicToTheNextOrTheEnd) {
  OpenTwoRecords();
  const auto written = workflow.ExportRecords(dir.File("a"));
  EXPECT_EQ(written, (std::vector<std::string>{dir.File("a_1.amr"), dir.File("a_2.amr")}));
  EXPECT_EQ(ReadAll(dir.File("a_1.amr")), Slice(100, 500));
  EXPECT_EQ(ReadAll(dir.File("a_2.amr")), Slice(500, 900));
  EXPECT_EQ(clipboard.Content(), nullptr) << "the clipboard is left empty";
  EXPECT_EQ(workflow.HexEditorEx1.SelectionLow(), 500);
  EXPECT_EQ(workflow.HexEditorEx1.CursorPosition(), 500);
  EXPECT_EQ(workflow.HexEditorEx2.FileName(), dir.File("a_2.amr"));
  EXPECT_EQ(workflow.StatusText(), "Найдено 2 записей") << "nothing is reported";
  const std::string again = dir.File("a.amr");
  workflow.ExportRecords(again);
  EXPECT_EQ(ReadAll(again + "_1.amr"), Slice(100, 500)) << "an .amr base keeps its extension";
}

TEST_F(Export, MoreMarkersThanMagicsStopsAtTheMissingLine) {
  OpenTwoRecords();
  workflow.ListBox2.Add("800");
  EXPECT_EQ(ErrorOf(dir.File("b")), "List index out of bounds (2)");
  EXPECT_EQ(ReadAll(dir.File("b_1.amr")), Slice(100, 500)) << "earlier records stay";
  EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"b_1.amr", "in.drf"}))
      << "the record whose end is missing is not written";
}

TEST_F(Export, FewerMarkersMakeTheLastRecordRunToTheEnd) {
  OpenTwoRecords();
  workflow.ListBox2.Clear();
  workflow.ListBox2.Add("40");
  workflow.ExportRecords(dir.File("c"));
  EXPECT_EQ(ReadAll(dir.File("c_1.amr")), Slice(100, 900));
}

TEST_F(Export, ARecordTheClipboardDidNotCarryIsNotWritten) {
  OpenTwoRecords();
  clipboard.intrudeFromRead = 3;  // while the second record is on its way
  EXPECT_EQ(ErrorOf(dir.File("d")),
            "Запись 2 не перенесена: буфер обмена не вернул её байты. Файл не записан.");
  EXPECT_EQ(ReadAll(dir.File("d_1.amr")), Slice(100, 500));
  EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"d_1.amr", "in.drf"}));
}

TEST_F(Export, AClipboardThatCannotBeEmptiedStopsAfterTheCurrentFile) {
  OpenTwoRecords();
  clipboard.cannotEmpty = true;
  EXPECT_EQ(ErrorOf(dir.File("e")), "Cannot open clipboard");
  EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"e_1.amr", "in.drf"}));
}

TEST_F(Export, EachRecordIsReportedAsSoonAsItStandsComplete) {
  OpenTwoRecords();
  std::vector<std::string> reported;
  clipboard.intrudeFromRead = 3;  // the second record fails on its way
  EXPECT_THROW(workflow.ExportRecords(dir.File("g"),
                                      [&](const std::string& name) { reported.push_back(name); }),
               platform::Exception);
  EXPECT_EQ(reported, std::vector<std::string>{dir.File("g_1.amr")}) << "what was written";
  reported.clear();
  clipboard.intrudeFromRead = 0;
  workflow.ExportRecords(dir.File("f"), [&](const std::string& name) {
    EXPECT_EQ(ReadAll(name), reported.empty() ? Slice(100, 500) : Slice(500, 900)) << name;
    reported.push_back(name);
  });
  EXPECT_EQ(reported, (std::vector<std::string>{dir.File("f_1.amr"), dir.File("f_2.amr")}));
}

using test::InFolder;

TEST_F(Export, ABaseWithoutANameIsRefusedBeforeAnythingIsWritten) {
  OpenTwoRecords();
  const InFolder inDir(dir.Path());
  const std::string refusal =
      "Не задано имя файлов записей: к пустому имени нечего добавить. Файлы не записаны.";
  EXPECT_EQ(ErrorOf(""), refusal) << "it would write _1.amr wherever the process is";
  // Each of these names a folder, and "." would make hidden "._1.amr" files.
  for (const std::string& folder : {dir.Path() + "/", std::string("."), std::string(".."),
                                    dir.Path() + "/.", dir.Path() + "/.."})
    EXPECT_EQ(ErrorOf(folder), refusal) << folder;
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"in.drf"});
  EXPECT_EQ(clipboard.Content(), nullptr) << "not even the clipboard was touched";
}

// However the name leads to it, the loaded container is never replaced by a record; the export
// is refused before its first record, so no record of the set is written either.
TEST_F(Export, ARecordIsNeverWrittenOverTheContainer) {
  OpenTwoRecords();
  const std::string loaded = dir.File("in.drf");
  const auto refusal = [](const std::string& target) {
    return "Файл " + target +
           " — открытый контейнер, запись не может его заменить. Файлы не записаны.";
  };
  std::filesystem::create_symlink(loaded, dir.File("link_2.amr"));
  EXPECT_EQ(ErrorOf(dir.File("link")), refusal(dir.File("link_2.amr"))) << "through a link";
  std::filesystem::create_hard_link(loaded, dir.File("hard_1.amr"));
  EXPECT_EQ(ErrorOf(dir.File("hard")), refusal(dir.File("hard_1.amr"))) << "another hard link";
  std::filesystem::rename(loaded, dir.File("moved_2.amr"));
  EXPECT_EQ(ErrorOf(dir.File("moved")), refusal(dir.File("moved_2.amr")))
      << "the loaded file, even under another name by now";
  EXPECT_EQ(ReadAll(dir.File("moved_2.amr")), container);
  EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"hard_1.amr", "link_2.amr", "moved_2.amr"}));
}

TEST_F(Export, ARecordByTheContainersOwnNameIsRefused) {
  container = Bytes(64, '.');
  Put(20, "#!AMR");
  Put(0,
      "\x06\x1F\x22"
      "audio/amr");
  WriteAll(dir.File("self_1.amr"), container);
  workflow.OpenContainer(dir.File("self_1.amr"));
  ASSERT_EQ(workflow.StatusText(), "Найдено 1 записей");
  EXPECT_NE(ErrorOf(dir.File("self")).find("открытый контейнер"), std::string::npos);
  EXPECT_EQ(ReadAll(dir.File("self_1.amr")), container);
  EXPECT_NO_THROW(workflow.ExportRecords(dir.File("other")));
  EXPECT_EQ(ReadAll(dir.File("other_1.amr")), Slice(20, 64)) << "any other name is fine";
}

}  // namespace
}  // namespace kestrave::app
