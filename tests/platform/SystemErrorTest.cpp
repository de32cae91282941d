#include "platform/SystemError.h"

#include <gtest/gtest.h>

#include <cerrno>

using kestrave::platform::LastErrorText;
using kestrave::platform::SystemErrorText;

TEST(SystemErrorText, IsTheSystemTextWithoutTrailingStopsOrBlanks) {
  EXPECT_EQ(SystemErrorText(ENOENT), "No such file or directory");
  for (int error = 1; error < 140; ++error) {
    const std::string text = SystemErrorText(error);
    ASSERT_FALSE(text.empty()) << error;
    EXPECT_NE(text.back(), '.') << error;
    EXPECT_GT(static_cast<unsigned char>(text.back()), ' ') << error;
    EXPECT_LE(text.size(), 256u);
  }
}

TEST(SystemErrorText, LastErrorReadsErrno) {
  errno = EACCES;
  EXPECT_EQ(LastErrorText(), "Permission denied");
}

TEST(SystemErrorText, NamesTheRefusalOfWhatIsNoRegularFile) {
  EXPECT_EQ(SystemErrorText(kestrave::platform::kNotRegularFileError), "Not a regular file");
  for (int error = 1; error < 4096; ++error)
    ASSERT_NE(error, kestrave::platform::kNotRegularFileError) << "a system error number";
}
