#include "platform/ShownPaths.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/ByteNames.h"
#include "support/InFolder.h"
#include "support/TempDir.h"

namespace kestrave::platform {
namespace {

using test::kCp1251Name;
using test::kCp1251NameShown;
using test::TempDir;

constexpr char kFffd[] = "\xEF\xBF\xBD";

TEST(ShownPaths, EachByteThatStartsNoUtf8CharacterShowsAsOneReplacement) {
  const std::pair<std::string, std::string> cases[] = {
      {"plain.bin", "plain.bin"},
      {"\xD0\x9F\xD1\x80.bin", "\xD0\x9F\xD1\x80.bin"},  // UTF-8 Cyrillic stays
      {kCp1251Name, kCp1251NameShown},
      {"\xE2\x82"
       "A",
       std::string(kFffd) + kFffd + "A"},                    // cut short: each byte
      {"\xC0\xAF", std::string(kFffd) + kFffd},              // overlong
      {"\xED\xA0\x80", std::string(kFffd) + kFffd + kFffd},  // a surrogate
      {"\xEF\xBF\xBD", kFffd},                               // a real U+FFFD
  };
  for (const auto& [bytes, shown] : cases)
    EXPECT_EQ(ShownName(bytes), shown) << bytes;
}

TEST(ShownPaths, AChosenPathIsFoundOnTheDiskPartByPart) {
  TempDir dir;
  const std::string folder = dir.File(kCp1251Name + ".d");  // a folder of such a name too
  std::filesystem::create_directory(folder);
  test::WriteAll(folder + "/" + kCp1251Name, "bytes");
  test::WriteAll(dir.File("\xD0\x9F.bin"), "utf-8");
  const std::string shownFolder = dir.File(kCp1251NameShown + ".d");
  const std::pair<std::string, std::string> cases[] = {
      {shownFolder + "/" + kCp1251NameShown, folder + "/" + kCp1251Name},
      {shownFolder + "/new.bin", folder + "/new.bin"},  // a new file to save in that folder
      {dir.File("\xD0\x9F.bin"), dir.File("\xD0\x9F.bin")},
      {dir.File(kCp1251NameShown), dir.File(kCp1251NameShown)},  // nothing shown so: as given
      {dir.File("missing") + "/" + kCp1251NameShown, dir.File("missing") + "/" + kCp1251NameShown},
  };
  for (const auto& [shown, real] : cases) {
    const ShownPathMatch match = PathShownAs(shown);
    EXPECT_EQ(match.Path, real) << shown;
  }
  const test::InFolder inside(folder);
  EXPECT_EQ(PathShownAs(kCp1251NameShown).Path, kCp1251Name) << "relative";
}

TEST(ShownPaths, TwoEntriesShownAlikeAreNotGuessedBetween) {
  TempDir dir;
  test::WriteAll(dir.File("\xCF.bin"), "one");
  test::WriteAll(dir.File("\xF0.bin"), "other");
  const ShownPathMatch match = PathShownAs(dir.File(std::string(kFffd) + ".bin"));
  EXPECT_FALSE(match.Path);
  EXPECT_EQ(match.AmbiguousIn, dir.Path());
  EXPECT_EQ(match.AmbiguousPart, std::string(kFffd) + ".bin");
}

}  // namespace
}  // namespace kestrave::platform
