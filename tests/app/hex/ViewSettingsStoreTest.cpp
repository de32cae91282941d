#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>
#include <filesystem>

#include "app/hex/HexWindow.h"
#include "app/hex/ViewSettingsStore.h"
#include "platform/UserInterface.h"
#include "support/Fakes.h"
#include "support/HostileFiles.h"
#include "support/TempDir.h"

namespace kestrave::app {
namespace {

std::string Read(const std::string& path) {
  const std::vector<std::uint8_t> bytes = test::ReadAll(path);
  return std::string(bytes.begin(), bytes.end());
}

void Write(const std::string& path, const std::string& text) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  test::WriteAll(path, std::vector<std::uint8_t>(text.begin(), text.end()));
}

using kestrave::test::RecordingErrors;

TEST(ViewSettingsStore, FollowsTheXdgConfigurationFolder) {
  const std::string restore = std::getenv("XDG_CONFIG_HOME") ? std::getenv("XDG_CONFIG_HOME") : "";
  const std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
  ::setenv("XDG_CONFIG_HOME", "/cfg", 1);
  EXPECT_EQ(ViewSettingsPath(), "/cfg/kestrave/kestrave-hex.settings");
  ::setenv("XDG_CONFIG_HOME", "relative/ignored", 1);
  ::setenv("HOME", "/home/someone", 1);
  EXPECT_EQ(ViewSettingsPath(), "/home/someone/.config/kestrave/kestrave-hex.settings");
  ::setenv("XDG_CONFIG_HOME", restore.c_str(), 1);
  ::setenv("HOME", home.c_str(), 1);
}

TEST(ViewSettingsStore, SettingsSurviveARunAndADamagedFileIsReportedOnce) {
  test::TempDir dir;
  const std::string path = dir.File("deep/folder/kestrave-hex.settings");
  hex::THexEditorEx missing;
  EXPECT_FALSE(LoadViewSettings(missing, path)) << "no file, nothing to say";

  hex::THexEditorEx first;
  first.SetBytesPerRow(24);
  first.SetTranslation(hex::tkDos8);
  ASSERT_TRUE(SaveViewSettings(first, path));
  hex::THexEditorEx second;
  EXPECT_FALSE(LoadViewSettings(second, path));
  EXPECT_EQ(second.BytesPerRow(), 24);
  EXPECT_EQ(second.Translation(), hex::tkDos8);

  Write(path, "HexLowerCase=True\r\nBytesPerRow=banana\r\n");
  hex::THexEditorEx third;
  const std::optional<std::string> damaged = LoadViewSettings(third, path);
  ASSERT_TRUE(damaged);
  EXPECT_NE(damaged->find("'banana' is not a valid integer value"), std::string::npos);
  EXPECT_FALSE(third.HexLowerCase()) << "nothing of a damaged file is applied";
  EXPECT_EQ(Read(path), hex::THexEditorEx().GetSettingsText()) << "replaced by the defaults";
  hex::THexEditorEx fourth;
  EXPECT_FALSE(LoadViewSettings(fourth, path)) << "reported once";

  Write(path, std::string("\xff\x00garbage", 9));
  hex::THexEditorEx fifth;
  EXPECT_FALSE(LoadViewSettings(fifth, path)) << "no setting lines in it: nothing is damaged";
}

// The program reads its settings before its window shows: a FIFO there must not keep it from
// starting, and what is no file is reported by name and left as it is, never replaced.
TEST(ViewSettingsStore, AFifoOrFolderIsReportedByNameAndLeftAlone) {
  test::TempDir dir;
  const std::string fifo = dir.File("fifo.settings");
  test::MakeFifo(fifo);
  std::filesystem::create_directory(dir.File("folder.settings"));
  const std::string defaults = hex::THexEditorEx().GetSettingsText();
  for (const auto& [path, reason] :
       {std::pair{fifo, std::string("Not a regular file")},
        std::pair{dir.File("folder.settings"), std::string("Is a directory")}}) {
    hex::THexEditorEx editor;
    std::optional<std::string> problem;
    {
      test::FifoGuard guard(fifo);
      problem = LoadViewSettings(editor, path);
      EXPECT_FALSE(guard.Fired()) << "the settings waited for a writer";
    }
    ASSERT_TRUE(problem) << path;
    EXPECT_EQ(*problem, "The saved view settings in " + path + " cannot be read (" + reason +
                            "); the default settings are used.");
    EXPECT_EQ(editor.GetSettingsText(), defaults);
  }
  EXPECT_TRUE(test::IsFifo(fifo)) << "not replaced";
  EXPECT_TRUE(std::filesystem::is_directory(dir.File("folder.settings")));
}

TEST(ViewSettingsStore, TheHexWindowStartsWithAFifoForItsSettingsAndSaysSo) {
  const std::string path = ViewSettingsPath();
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::filesystem::remove(path);
  test::MakeFifo(path);
  RecordingErrors errors;
  platform::SetCurrentErrorDisplay(&errors);
  {
    test::FifoGuard guard(path);
    HexWindow window;
    EXPECT_FALSE(guard.Fired()) << "the window waited for a writer";
  }
  ASSERT_EQ(errors.shown.size(), 1u);
  EXPECT_NE(errors.shown[0].find(path + " cannot be read (Not a regular file)"), std::string::npos)
      << errors.shown[0];
  platform::SetCurrentErrorDisplay(nullptr);
  std::filesystem::remove(path);
}

// Linking the settings file to a device is how a user keeps settings from being kept: the
// device is not read (/dev/zero would never end) and there is nothing to report.
TEST(ViewSettingsStore, ASettingsFileLinkedToADeviceIsNotReadAndNotReported) {
  test::TempDir dir;
  for (const char* device : {"/dev/null", "/dev/zero"}) {
    const std::string path = dir.File(std::string("linked") + device);
    std::filesystem::create_directories(dir.File("linked/dev"));
    std::filesystem::create_symlink(device, path);
    hex::THexEditorEx editor;
    EXPECT_EQ(LoadViewSettings(editor, path), std::nullopt) << device;
    EXPECT_EQ(editor.GetSettingsText(), hex::THexEditorEx().GetSettingsText());
    EXPECT_EQ(std::filesystem::read_symlink(path), device) << "the link stays";
  }
}

TEST(ViewSettingsStore, TheHexWindowReadsTheSettingsAndWritesThemWhenClosed) {
  const std::string path = ViewSettingsPath();
  RecordingErrors errors;
  platform::SetCurrentErrorDisplay(&errors);
  Write(path, "UnicodeChars=maybe\r\n");
  {
    HexWindow window;
    EXPECT_EQ(errors.shown.size(), 1u);
    window.Editor().SetBytesPerRow(32);
    window.show();
    window.close();
  }
  {
    HexWindow window;
    EXPECT_EQ(window.Editor().BytesPerRow(), 32);
    window.close();
  }
  EXPECT_EQ(errors.shown.size(), 1u);
  platform::SetCurrentErrorDisplay(nullptr);
}

}  // namespace
}  // namespace kestrave::app
