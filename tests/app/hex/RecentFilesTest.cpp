#include "app/hex/RecentFiles.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QSettings>
#include <QVariantMap>
#include <filesystem>

#include "app/hex/OldRecentFiles.h"
#include "platform/ShownPaths.h"
#include "platform/SystemError.h"
#include "support/ByteNames.h"
#include "support/HostileFiles.h"
#include "support/TempDir.h"

namespace kestrave::app {
namespace {

// Any byte but zero survives the file, which stays UTF-8 text (each name on a line of its own).
TEST(RecentFiles, AnyNameSurvivesTheFileWhichStaysText) {
  const RecentFileList files = {
      {"/home/u/" + test::kCp1251Name, 120},
      {"/home/u/\xD0\x9F\xD1\x80\xD0\xB8.bin", 0},  // UTF-8 stays readable
      {"/a b/100%\t\r\nname\x7F\x01", 7},
      {"/\xE2\x82"
       "A\xC0\xAF",
       3},
  };
  const std::string text = RecentFilesText(files);
  EXPECT_EQ(platform::ShownName(text), text) << "valid UTF-8";
  EXPECT_NE(text.find("120\t/home/u/%CF%F0%E8%E2%E5%F2.drf\n"), std::string::npos) << text;
  EXPECT_NE(text.find("0\t/home/u/\xD0\x9F\xD1\x80\xD0\xB8.bin\n"), std::string::npos) << text;
  EXPECT_NE(text.find("7\t/a b/100%25%09%0D%0Aname%7F%01\n"), std::string::npos) << text;
  EXPECT_EQ(ParseRecentFiles(text), files);
}

TEST(RecentFiles, LinesThatAreNoEntryAreLeftOut) {
  using namespace std::string_literals;  // one line holds a zero byte
  const std::string text =
      "# comment\n"
      "\n"
      "5\t/good\r\n"  // written on another system
      "/no-position\n"
      "-1\t/negative\n"
      "12x\t/not-a-number\n"
      "3\trelative/name\n"
      "3\t/broken%4\n"
      "3\t/bad%zz\n"
      "3\t/zero%00byte\n"
      "3\t/raw\0zero\n"
      "9\t/good\n"  // twice
      "99999999999999999999\t/too-large\n"
      "4\t/also-good"s;  // no line end
  EXPECT_EQ(ParseRecentFiles(text), (RecentFileList{{"/good", 5}, {"/also-good", 4}}));
  std::string many;
  for (int k = 0; k < 12; ++k)
    many += "0\t/f" + std::to_string(k) + "\n";
  EXPECT_EQ(ParseRecentFiles(many).size(), kMaxRecentFiles);
}

TEST(RecentFiles, EachFileOnceWhateverSpellingOpenedItWithItsPlaceKept) {
  RecentFileList files;
  PutFirst(files, "/d/a");
  PutFirst(files, "/d/b");
  SetPosition(files, "/d//x/../a", 42);
  SetPosition(files, "/d/never-opened", 9);
  PutFirst(files, "/d/./a");
  EXPECT_EQ(files, (RecentFileList{{"/d/a", 42}, {"/d/b", 0}}));
  EXPECT_EQ(PositionOf(files, "/d/a"), 42);
  EXPECT_EQ(PositionOf(files, "/d/never-opened"), 0);
  for (int k = 0; k < 12; ++k)
    PutFirst(files, "/f" + std::to_string(k));
  EXPECT_EQ(files.size(), kMaxRecentFiles);
  EXPECT_EQ(files.front().Path, "/f11");
}

// The list is read when a window starts: what is no file must not keep it from starting.
TEST(RecentFiles, OnlyARegularFileIsRead) {
  test::TempDir dir;
  const std::string fifo = dir.File("fifo");
  test::MakeFifo(fifo);
  std::filesystem::create_directory(dir.File("folder"));
  std::filesystem::create_symlink("/dev/null", dir.File("null"));
  test::FifoGuard guard(fifo);
  EXPECT_EQ(ReadRecentFiles(fifo).Error, platform::kNotRegularFileError);
  EXPECT_EQ(ReadRecentFiles(dir.File("folder")).Error, EISDIR);
  EXPECT_FALSE(guard.Fired()) << "waited for a writer";
  const RecentFilesRead null = ReadRecentFiles(dir.File("null"));
  EXPECT_FALSE(null.Error || null.Missing) << "a device keeps the list from being kept, silently";
  EXPECT_TRUE(ReadRecentFiles(dir.File("missing")).Missing);
  ASSERT_TRUE(WriteRecentFiles({{"/x", 1}}, dir.File("deep/list")));
  EXPECT_EQ(ReadRecentFiles(dir.File("deep/list")).Files, (RecentFileList{{"/x", 1}}));
}

// Earlier versions kept the list in Qt's settings; it is read without Qt touching the file.
TEST(RecentFiles, TheListEarlierVersionsKeptIsReadWithItsPlaces) {
  test::TempDir dir;
  const std::string old = dir.File("kestrave-hex.conf");
  {
    QSettings settings(QString::fromStdString(old), QSettings::IniFormat);
    settings.setValue("recent", QStringList{"/data/a.bin", "/data/\xD0\x9F.bin", "relative"});
    settings.setValue("recentPositions", QVariantMap{{"/data/\xD0\x9F.bin", 77}});
  }
  EXPECT_EQ(ReadOldRecentFiles(old),
            (RecentFileList{{"/data/a.bin", 0}, {"/data/\xD0\x9F.bin", 77}}));
  EXPECT_FALSE(ReadOldRecentFiles(dir.File("missing.conf")));
  test::MakeFifo(dir.File("fifo.conf"));
  test::FifoGuard guard(dir.File("fifo.conf"));
  EXPECT_FALSE(ReadOldRecentFiles(dir.File("fifo.conf")));
  EXPECT_FALSE(guard.Fired());
  // Where Qt kept it for the program.
  EXPECT_EQ(QSettings(QStringLiteral("Kestrave"), QStringLiteral("kestrave-hex")).fileName(),
            QString::fromStdString(OldRecentFilesPath()));
}

// The file dialogs return names as Qt shows them: every such name is found on the disk again.
TEST(ShownPathsInQt, NamesAsQtShowsThemAreFoundOnTheDisk) {
  test::TempDir dir;
  for (const std::string& name : {test::kCp1251Name, std::string("\xE2\x82"
                                                                 "A\xC0\xAF.x")}) {
    test::WriteAll(dir.File(name), "x");
    const QString shown = QFile::decodeName(QByteArray::fromStdString(dir.File(name)));
    EXPECT_EQ(platform::PathShownAs(shown.toStdString()).Path, dir.File(name));
  }
}

}  // namespace
}  // namespace kestrave::app
