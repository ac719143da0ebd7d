#include <gtest/gtest.h>

#include "text_fixture.h"

namespace text_test {
namespace {

// ＡＢＣ かたかな ｶﾀｶﾅ 「【［ abc
constexpr char kText[] =
    "\x82\x60\x82\x61\x82\x62 "
    "\x82\xA9\x82\xBD\x82\xA9\x82\xC8 "
    "\xB6\xC0\xB6\xC5 "
    "\x81\x75\x81\x79\x81\x6D abc";

class SearchTest : public ::testing::Test {
 protected:
  SearchTest() : t(40) { t.Type(kText); }

  // The 0-based cell indexes of the match's first and last cells, or
  // (-1, -1) when nothing is found.
  std::pair<int, int> Find(int exact, int direction, std::string_view text) {
    CVedTextPos start;
    CVedTextPos end;
    if (t.navigator.SearchText(exact, direction, text, &start, &end) == 0) return {-1, -1};
    return {Index(start), Index(end)};
  }

  int Index(const CVedTextPos& pos) const {
    TextNodes nodes;
    t.navigator.MapPosition(&pos, &nodes);
    return t.navigator.IndexOf(kLevelCell, nodes.cell) - 1;
  }

  void CaretAt(int cell) {
    t.SetCaret(t.CellAt(cell));
    t.navigator.SetCurrentNode(kLevelCell, t.editor.CurrentNode(kLevelCell));
  }

  TextFixture t;
};

TEST_F(SearchTest, FoldedFindsOtherWidthsCasesAndKanaExactDoesNot) {
  CaretAt(0);
  EXPECT_EQ(Find(0, kFindFromStart, "abc"), std::make_pair(0, 2));
  EXPECT_EQ(Find(1, kFindFromStart, "abc"), std::make_pair(18, 20));
  // カタカナ
  const char* katakana = "\x83\x4A\x83\x5E\x83\x4A\x83\x69";
  EXPECT_EQ(Find(0, kFindFromStart, katakana), std::make_pair(4, 7));
  EXPECT_EQ(Find(0, kFindFromEnd, katakana), std::make_pair(9, 12));
  EXPECT_EQ(Find(1, kFindFromStart, katakana), std::make_pair(-1, -1));
}

TEST_F(SearchTest, OpeningParenthesisFindsEveryOpeningBracket) {
  CaretAt(0);
  EXPECT_EQ(Find(0, kFindFromStart, "("), std::make_pair(14, 14));
  CaretAt(14);
  EXPECT_EQ(Find(0, kFindNext, "("), std::make_pair(15, 15));
  CaretAt(15);
  EXPECT_EQ(Find(0, kFindNext, "("), std::make_pair(16, 16));
}

TEST_F(SearchTest, VoicedKanaMatchesTwoHalfWidthCells) {
  TextFixture g(10);
  g.Type("\xB6\xDE\x82\xAA");  // ｶﾞ が
  CVedTextPos start;
  CVedTextPos end;
  // が matches the two cells ｶ and ﾞ first.
  ASSERT_EQ(g.navigator.SearchText(0, kFindFromStart, "\x82\xAA", &start, &end), 1);
  EXPECT_EQ(g.CellRecord(start).code, 0xB6);
  EXPECT_EQ(g.CellRecord(end).code, 0xDE);
}

TEST_F(SearchTest, BackwardFindsTheNearestMatchBeforeOrAtTheCaret) {
  CaretAt(20);  // the last 'c'
  EXPECT_EQ(Find(1, kFindPrevious, "bc"), std::make_pair(-1, -1));
  EXPECT_EQ(Find(1, kFindBackFromCaret, "bc"), std::make_pair(19, 20));
  EXPECT_EQ(Find(0, kFindPrevious, "bc"), std::make_pair(1, 2));
}

TEST_F(SearchTest, NothingToFindOrNowhereToStart) {
  CVedTextPos end;
  t.navigator.GetEndPosition(&end);
  t.SetCaret(end);
  t.navigator.SetCurrentNode(kLevelCell, t.editor.CurrentNode(kLevelCell));
  EXPECT_EQ(Find(0, kFindNext, "a"), std::make_pair(-1, -1));
  EXPECT_EQ(Find(0, kFindFromStart, ""), std::make_pair(-1, -1));
  EXPECT_EQ(Find(0, 5, "a"), std::make_pair(-1, -1));
}

}  // namespace
}  // namespace text_test

namespace text_test {
namespace {

TEST(SearchTrailByteTest, BackwardSearchMatchesWholeCharactersOnly) {
  TextFixture t(20);
  // 表 is 0x95 0x5C: its trail byte is a backslash; the real one follows.
  ASSERT_TRUE(
      t.Type("\\\x95\x5C"
             "a"));
  CVedTextPos start;
  CVedTextPos end;
  for (int exact : {0, 1}) {
    ASSERT_EQ(t.navigator.SearchText(exact, kFindFromEnd, "\\", &start, &end), 1) << exact;
    EXPECT_EQ(t.CellRecord(start).code, '\\') << exact;
    EXPECT_EQ(t.navigator.IndexOf(kLevelCell, t.LineRecord(start).firstCell), 1);
    ASSERT_EQ(t.navigator.SearchText(exact, kFindFromEnd,
                                     "\x5C"
                                     "a",
                                     &start, &end),
              0)
        << exact;
  }
}

}  // namespace
}  // namespace text_test
