#include <gtest/gtest.h>

#include <random>

#include "hexeditor/document/HexMemoryStream.h"
#include "hexeditor/search/SearchKernel.h"
#include "platform/CodePages.h"
#include "tests/hexeditor/EditorFixture.h"

namespace kestrave::hex::test {
namespace {

std::vector<std::uint8_t> Bytes(std::string_view text) {
  return {text.begin(), text.end()};
}

class Search : public EditorTest {
 protected:
  int Find(const std::string& text, int start, int end, bool ignoreCase = true) {
    pattern = editor.BuildFindPattern(text, ignoreCase, false);
    return editor.FindBytes(reinterpret_cast<const std::uint8_t*>(pattern.data()),
                            static_cast<int>(pattern.size()), start, end, ignoreCase);
  }
  std::string pattern;
};

TEST_F(Search, TheMagicIsFoundInAnyLetterCase) {
  LoadBytes(Bytes("..#!aMr..#!AMR.#!amr"));
  EXPECT_EQ(editor.BuildFindPattern("#!AMR", true, false), "#!amr");
  EXPECT_EQ(Find("#!AMR", 0, 100), 2);
  EXPECT_EQ(Find("#!AMR", 3, 100), 9);
  EXPECT_EQ(Find("#!AMR", 10, 100), 15);
  EXPECT_EQ(Find("#!AMR", 0, 100, /*ignoreCase=*/false), 9) << "exact bytes only";
}

TEST_F(Search, TheWholeMatchMustLieInsideTheRange) {
  LoadBytes(Bytes("xxabcxx"));
  EXPECT_EQ(Find("abc", 0, 4), 2) << "ends exactly on EndPos";
  EXPECT_EQ(Find("abc", 0, 3), -1) << "would need one byte more";
  EXPECT_EQ(Find("abc", 3, 100), -1);
  EXPECT_EQ(Find("abc", 2, 1000), 2) << "EndPos past the data means the last byte";
  EXPECT_EQ(Find("abc", -50, 6), 2) << "a start before the data means the first byte";
}

TEST_F(Search, OverlappingMatchesAreFoundFromEachStart) {
  LoadBytes(Bytes("aaa"));
  EXPECT_EQ(Find("aa", 0, 2), 0);
  EXPECT_EQ(Find("aa", 1, 2), 1);
  EXPECT_EQ(Find("aa", 2, 2), -1);
}

TEST_F(Search, ImpossibleSearchesAnswerWithoutBusyCursorOrProgress) {
  LoadBytes(Bytes("abc"));
  editor.SetFindProgress(true);
  int reports = 0;
  editor.OnProgress = [&](TCustomHexEditor&, THexProgressKind, const std::string&, std::uint8_t,
                          bool&) { ++reports; };
  editor.BuildFindPattern("a", true, false);
  const std::uint8_t a = 'a';
  EXPECT_EQ(editor.FindBytes(&a, 0, 0, 2, true), -1);
  EXPECT_EQ(editor.FindBytes(&a, 1, 2, 1, true), -1) << "EndPos below StartPos";
  EXPECT_EQ(reports, 0);
  editor.CreateEmptyFile("");
  EXPECT_EQ(editor.FindBytes(&a, 1, 0, 0, true), -1) << "an empty buffer";
  EXPECT_EQ(reports, 0);
}

TEST_F(Search, SmallBuffersReportEveryComparisonStepAndCannotBeCancelled) {
  LoadBytes(Bytes("aaab"));
  editor.SetFindProgress(true);
  std::vector<int> percents;
  editor.OnProgress = [&](TCustomHexEditor&, THexProgressKind kind, const std::string& name,
                          std::uint8_t percent, bool& cancel) {
    EXPECT_EQ(kind, pkFind);
    EXPECT_EQ(name, dir.File("data.bin"));
    EXPECT_EQ(editor.Cursor(), platform::crHourGlass);
    percents.push_back(percent);
    cancel = true;
  };
  EXPECT_EQ(Find("ab", 0, 3), 2);
  // p = 0 (a = a), 1 (a != b, back to 1), 1, 2 (a != b, back to 2), 2, 3 (b = b): six steps.
  EXPECT_EQ(percents, (std::vector<int>{0, 25, 25, 50, 50, 75}));
  EXPECT_EQ(editor.Cursor(), platform::crDefault);
}

TEST_F(Search, LargeBuffersThinTheReportsToOneInAStep) {
  LoadBytes(std::vector<std::uint8_t>(5000, 'x'));
  editor.SetFindProgress(true);
  int reports = 0;
  editor.OnProgress = [&](TCustomHexEditor&, THexProgressKind, const std::string&, std::uint8_t,
                          bool&) { ++reports; };
  EXPECT_EQ(Find("y", 0, 4999), -1);
  EXPECT_EQ(reports, 5001 / 10) << "5001 steps, a report every 10th";
}

TEST_F(Search, AThrowingProgressHandlerEndsTheSearchAndRestoresTheCursor) {
  LoadBytes(Bytes("abcdef"));
  editor.SetFindProgress(true);
  editor.OnProgress = [](TCustomHexEditor&, THexProgressKind, const std::string&, std::uint8_t,
                         bool&) { throw EHexEditor("stop"); };
  EXPECT_THROW(Find("f", 0, 5), EHexEditor);
  EXPECT_EQ(editor.Cursor(), platform::crDefault);
}

TEST_F(Search, AnOnFindHandlerDoesTheSearchInstead) {
  LoadBytes(Bytes("abc"));
  editor.OnFind = [](TCustomHexEditor&, const std::uint8_t* p, int length, int start, int end,
                     bool ignoreCase, bool reserved, int& result) {
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(p), length), "zz");
    EXPECT_EQ(start, 1);
    EXPECT_EQ(end, 99) << "passed on unchanged";
    EXPECT_TRUE(ignoreCase);
    EXPECT_FALSE(reserved);
    EXPECT_EQ(result, -1);
    result = 77;
  };
  EXPECT_EQ(Find("zz", 1, 99), 77);
}

TEST_F(Search, EmptyTextLeavesTheTablesAsTheyWere) {
  LoadBytes(Bytes("\x01\x02\x03"));
  EXPECT_EQ(editor.BuildFindPattern("", true, true), "");
  // A fresh instance's tables map every byte to 0, so a zero byte matches anywhere.
  const std::uint8_t zero = 0;
  EXPECT_EQ(editor.FindBytes(&zero, 1, 1, 2, true), 1);
  editor.BuildFindPattern("x", true, false);
  EXPECT_EQ(editor.FindBytes(&zero, 1, 1, 2, true), -1);
}

TEST_F(Search, TextPatternsFollowTranslationAndUnicodeLayout) {
  editor.SetTranslation(tkBCD);
  EXPECT_EQ(editor.BuildFindPattern("Ab", false, true), "\xC1\x82");
  EXPECT_EQ(editor.BuildFindPattern("Ab", false, false), "Ab") << "raw bytes are not translated";
  LoadBytes(Bytes("\xC1\x82\x81"));
  EXPECT_EQ(Find("AB", 0, 2), -1) << "folding a raw pattern does not translate it";
  pattern = editor.BuildFindPattern("AB", true, true);
  EXPECT_EQ(pattern, "\x81\x82") << "folded, then translated: a b";
  EXPECT_EQ(editor.FindBytes(reinterpret_cast<const std::uint8_t*>(pattern.data()), 2, 0, 2, true),
            0)
      << "the data's capital A folds to small a through the translation";
  editor.SetTranslation(tkAsIs);
  LoadSize(8);
  editor.SetUnicodeChars(true);
  EXPECT_EQ(editor.BuildFindPattern("A\xC0", false, true), std::string("A\0\x10\x04", 4));
  editor.SetUnicodeBigEndian(true);
  EXPECT_EQ(editor.BuildFindPattern("A\xC0", false, true), std::string("\0A\x04\x10", 4));
}

// The answer every method must give: the lowest start whose whole pattern lies in the range.
int Reference(const std::vector<std::uint8_t>& data, const std::string& pattern, int start, int end,
              const ByteMap& map) {
  end = std::min(end, static_cast<int>(data.size()) - 1);
  const int length = static_cast<int>(pattern.size());
  for (int s = std::max(start, 0); length > 0 && s + length - 1 <= end; ++s) {
    bool same = true;
    for (int k = 0; k < length && same; ++k)
      same = map[data[static_cast<std::size_t>(s + k)]] == static_cast<std::uint8_t>(pattern[k]);
    if (same) return s;
  }
  return -1;
}

// The fast search and the step-by-step search of a watched search must agree with each other
// and with the plain reference, for every translation and both case modes.
// Large buffers are searched block by block (of 16 MiB, counted from the start position), so the
// windows can draw in between: a match on a join between blocks is found, and still the first.
TEST_F(Search, MatchesOnTheJoinsOfALargeSearchAreFoundInOrder) {
  constexpr int kBlock = 16 << 20;
  std::vector<std::uint8_t> data(static_cast<std::size_t>(2 * kBlock + 4096), 'x');
  const auto put = [&](int at) { std::copy_n("#!AMR", 5, data.begin() + at); };
  const int match = kBlock + 1000;
  const int next = match + 6;
  const int last = static_cast<int>(data.size()) - 5;
  put(match);
  put(next);
  put(last);
  LoadBytes(data);
  const int end = editor.DataSize() - 1;
  // From these starts the first join lies 0 to 5 bytes after the match's first byte.
  for (int offset = 0; offset <= 5; ++offset)
    EXPECT_EQ(Find("#!AMR", match + offset - kBlock, end), match) << offset;
  EXPECT_EQ(Find("#!AMR", 0, end), match);
  EXPECT_EQ(Find("#!AMR", match + 1, end), next);
  EXPECT_EQ(Find("#!AMR", next + 1, end), last) << "up to the very last byte";
  EXPECT_EQ(Find("#!AMR", next + 1, end - 1), -1) << "the range still ends the match";
}

// Every match within a range, across block joins, equals what FindBytes finds one call at a
// time in that range; a search stopped after its first block says so and keeps what it found.
TEST_F(Search, AllMatchesInARangeAgreeWithFindBytesAndAStopIsReported) {
  constexpr int kBlock = 16 << 20;
  std::vector<std::uint8_t> data(static_cast<std::size_t>(2 * kBlock + 100), '.');
  for (const int at : {0, 10, kBlock - 2, kBlock + 50, 2 * kBlock + 95})
    std::copy_n("abcd", 4, data.begin() + at);
  LoadBytes(data);
  const std::string abcd = editor.BuildFindPattern("ABCD", true, false);
  const auto all = [&](int from, int last) {
    return editor.FindAllBytesIn({abcd}, true, from, last, nullptr)->Hits[0];
  };
  const auto oneByOne = [&](int from, int last) {
    std::vector<int> hits;
    for (int at = from;; ++at) {
      at = Find("ABCD", at, last);
      if (at < 0) return hits;
      hits.push_back(at);
    }
  };
  const int end = editor.DataSize() - 1;
  for (const auto& [from, last] : std::vector<std::pair<int, int>>{{0, end},
                                                                   {1, end},
                                                                   {10, 13},
                                                                   {10, 12},
                                                                   {kBlock - 2, kBlock + 1},
                                                                   {kBlock, end},
                                                                   {5, kBlock + 53},
                                                                   {2 * kBlock + 95, end},
                                                                   {-7, end + 9},
                                                                   {20, 19}})
    EXPECT_EQ(all(from, last), oneByOne(from, last)) << from << ".." << last;
  EXPECT_EQ(all(0, end).size(), 5u);

  std::vector<int> reports;
  const auto stopped = editor.FindAllBytesIn({abcd}, true, 0, end, [&](int percent) {
    reports.push_back(percent);
    return false;
  });
  ASSERT_TRUE(stopped.has_value());
  EXPECT_TRUE(stopped->Stopped);
  EXPECT_EQ(stopped->Hits[0], (std::vector<int>{0, 10, kBlock - 2})) << "the first block's";
  EXPECT_EQ(reports, std::vector<int>{49});
  const auto finished = editor.FindAllBytesIn({abcd}, true, 0, end, [](int) { return true; });
  EXPECT_FALSE(finished->Stopped);
}

TEST(SearchDifferential, FastAndStepwiseSearchesAgreeWithTheReference) {
  std::mt19937 random(20261208);
  const std::uint8_t alphabet[] = {'a', 'A', 'b', 'B', '#', 0xC0, 0xE0, 0x81, 0xC1};
  const auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
  platform::ManualMessageQueue queue;
  THexEditorEx fast;
  THexEditorEx stepwise;
  for (THexEditorEx* editor : {&fast, &stepwise}) {
    editor->SetMessageQueue(queue);
    editor->Loaded();
  }
  stepwise.SetFindProgress(true);
  stepwise.OnProgress = [](TCustomHexEditor&, THexProgressKind, const std::string&, std::uint8_t,
                           bool&) {};
  for (int round = 0; round < 4000; ++round) {
    const int size = pick(4) == 0 ? pick(3000) : pick(80);
    std::vector<std::uint8_t> data(static_cast<std::size_t>(size));
    const int letters = 2 + pick(8);
    for (auto& b : data)
      b = alphabet[pick(letters)];
    std::string text;
    const int length = 1 + pick(6);
    if (size >= length && pick(2) == 0) {
      const int from = pick(size - length + 1);
      text.assign(data.begin() + from, data.begin() + from + length);
    } else {
      for (int k = 0; k < length; ++k)
        text += static_cast<char>(alphabet[pick(letters)]);
    }
    const auto kind = static_cast<THexTranslationKind>(pick(6));
    const bool ignoreCase = pick(2) == 0;
    const bool isText = pick(3) == 0;
    const int start = pick(size + 4) - 2;
    const int end = pick(size + 6) - 3;
    int answers[2];
    std::string pattern;
    for (int which = 0; which < 2; ++which) {
      THexEditorEx& editor = which == 0 ? fast : stepwise;
      THexMemoryStream stream;
      stream.Write(data.data(), size);
      editor.LoadFromStream(stream);
      editor.SetTranslation(kind);
      pattern = editor.BuildFindPattern(text, ignoreCase, isText);
      answers[which] = editor.FindBytes(reinterpret_cast<const std::uint8_t*>(pattern.data()),
                                        static_cast<int>(pattern.size()), start, end, ignoreCase);
    }
    ByteMap map{};
    for (int b = 0; b < 256; ++b) {
      std::uint8_t folded = static_cast<std::uint8_t>(b);
      if (ignoreCase) {
        TranslateFromData(kind, &folded, &folded, 1);
        folded = platform::AnsiLower(folded);
        TranslateToData(kind, &folded, &folded, 1);
      }
      map[b] = folded;
    }
    const int expected = Reference(data, pattern, start, end, map);
    ASSERT_EQ(answers[0], expected) << "fast, round " << round;
    ASSERT_EQ(answers[1], expected) << "stepwise, round " << round;
    queue.Pump();
  }
}

TEST(SearchKernel, AgreesWithShiftByOneForAnyMap) {
  std::mt19937 random(7);
  for (int round = 0; round < 3000; ++round) {
    ByteMap map{};
    const unsigned spread = 1 + random() % 256;  // few values: large sets of candidate bytes
    for (auto& m : map)
      m = static_cast<std::uint8_t>(random() % spread);
    std::vector<std::uint8_t> data(random() % 500);
    for (auto& b : data)
      b = static_cast<std::uint8_t>(random() % 6);
    std::vector<std::uint8_t> pattern(1 + random() % 5);
    for (auto& b : pattern)
      b = map[random() % 6];
    const auto size = static_cast<std::int64_t>(data.size());
    const auto length = static_cast<std::int64_t>(pattern.size());
    ASSERT_EQ(FindMapped(data.data(), size, pattern.data(), length, map),
              FindMappedShiftByOne(data.data(), size, pattern.data(), length, map))
        << "round " << round;
  }
}

}  // namespace
}  // namespace kestrave::hex::test
