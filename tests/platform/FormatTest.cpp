#include "platform/Format.h"

#include <gtest/gtest.h>

using kestrave::platform::FormatMessage;

TEST(FormatMessage, FillsPlaceholdersInOrder) {
  EXPECT_EQ(FormatMessage("Cannot open file \"%s\". %s", {std::string("a.drf"), std::string("No")}),
            "Cannot open file \"a.drf\". No");
  EXPECT_EQ(FormatMessage("List index out of bounds (%d)", {std::int64_t{3}}),
            "List index out of bounds (3)");
  EXPECT_EQ(FormatMessage("radix %xh", {std::int64_t{16}}), "radix 10h");
}

TEST(FormatMessage, NegativeHexIsTheThirtyTwoBitPattern) {
  EXPECT_EQ(FormatMessage("%x", {std::int64_t{-1}}), "FFFFFFFF");
}

TEST(FormatMessage, LeavesUnfilledAndUnknownPlaceholdersAlone) {
  EXPECT_EQ(FormatMessage("%s and %s", {std::string("one")}), "one and %s");
  EXPECT_EQ(FormatMessage("100%% %q %", {}), "100% %q %");
}

TEST(FormatMessage, ArgumentTextIsNotScannedForPlaceholders) {
  EXPECT_EQ(FormatMessage("%s/%s", {std::string("%s"), std::string("x")}), "%s/x");
}
