#include "SampleContainer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string_view>

#include "support/TempDir.h"

namespace kestrave::tools {
namespace {

// Every start of the pattern, letter case ignored, by the plainest possible search.
std::vector<std::int64_t> Occurrences(const std::vector<std::uint8_t>& data,
                                      std::string_view pattern) {
  std::vector<std::int64_t> found;
  for (std::size_t at = 0; at + pattern.size() <= data.size(); ++at) {
    bool same = true;
    for (std::size_t i = 0; i < pattern.size() && same; ++i)
      same = std::tolower(data[at + i]) == std::tolower(static_cast<unsigned char>(pattern[i]));
    if (same) found.push_back(static_cast<std::int64_t>(at));
  }
  return found;
}

TEST(SampleContainer, TheBundledSampleIsWhatTheGeneratorMakes) {
  const auto bundled = test::ReadAll(KESTRAVE_SOURCE_DIR "/samples/sample.drf");
  EXPECT_EQ(bundled, BuildSampleContainer({3, 50, 1}));
}

TEST(SampleContainer, MagicAndMarkersLieExactlyWhereTheLayoutSays) {
  for (const SampleShape shape :
       {SampleShape{3, 50, 1}, SampleShape{40, 7, 9, 0}, SampleShape{0}}) {
    const auto bytes = BuildSampleContainer(shape);
    const SampleLayout layout = LayoutOfSample(shape);
    EXPECT_EQ(Occurrences(bytes, "#!AMR"), layout.MagicPositions);
    EXPECT_EQ(Occurrences(bytes,
                          "\x06\x1F\x22"
                          "audio/amr"),
              layout.MarkerPositions);
    EXPECT_EQ(layout.MagicPositions.size(), static_cast<std::size_t>(shape.Records));
  }
}

TEST(SampleContainer, FramesAreValidAmrNarrowband) {
  const SampleShape shape{2, 30, 5};
  const auto bytes = BuildSampleContainer(shape);
  const SampleLayout layout = LayoutOfSample(shape);
  const int sizes[8] = {13, 14, 16, 18, 20, 21, 27, 32};
  for (int r = 0; r < shape.Records; ++r) {
    auto at = static_cast<std::size_t>(layout.MagicPositions[static_cast<std::size_t>(r)]) + 6;
    for (int f = 0; f < shape.FramesPerRecord; ++f) {
      const std::uint8_t mode = bytes.at(at);
      ASSERT_EQ(mode & 0x83, 0x00) << "F bit clear, padding clear";
      ASSERT_EQ(mode & 0x04, 0x04) << "Q bit set";
      ASSERT_LT(mode >> 3, 8) << "a speech mode";
      at += static_cast<std::size_t>(sizes[mode >> 3]);
    }
  }
}

}  // namespace
}  // namespace kestrave::tools
