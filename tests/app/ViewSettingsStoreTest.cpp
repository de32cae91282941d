#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>
#include <filesystem>

#include "app/hex/HexWindow.h"
#include "app/hex/ViewSettingsStore.h"
#include "platform/UserInterface.h"
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

class RecordingErrors : public platform::IErrorDisplay {
 public:
  void ShowError(const std::string& message) override { shown.push_back(message); }
  std::vector<std::string> shown;
};

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
