#include "model/line_composer.h"

#include <gtest/gtest.h>

#include "text_fixture.h"

namespace text_test {
namespace {

using Lines = std::vector<std::string>;

constexpr char kA[] = "\x82\xA0";     // あ
constexpr char kI[] = "\x82\xA2";     // い
constexpr char kTen[] = "\x81\x41";   // 、
constexpr char kMaru[] = "\x81\x42";  // 。
constexpr char kKagi[] = "\x81\x75";  // 「

std::string Repeat(std::string_view s, int n) {
  std::string out;
  for (int i = 0; i < n; ++i) out += s;
  return out;
}

struct KinsokuCase {
  const char* name;
  std::string text;
  bool rulesOn;
  Lines expected;
};

class KinsokuTest : public ::testing::TestWithParam<KinsokuCase> {};

// Four double-byte characters fit a line.
TEST_P(KinsokuTest, BreaksAsTheRulesSay) {
  const KinsokuCase& c = GetParam();
  TextFixture t(4);
  if (!c.rulesOn) t.page.lineStartRule = t.page.lineEndRule = 0;
  std::strcat(t.page.lineEndChars, "$");
  ASSERT_TRUE(t.Type(c.text));
  EXPECT_EQ(t.Lines(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, KinsokuTest,
    ::testing::Values(
        KinsokuCase{"WidthOnly", Repeat(kA, 6), true, {Repeat(kA, 4), Repeat(kA, 2) + "{ET}"}},
        KinsokuCase{"RulesOffBreakByWidth",
                    Repeat(kA, 4) + kMaru + kI,
                    false,
                    {Repeat(kA, 4), std::string(kMaru) + kI + "{ET}"}},
        KinsokuCase{"FullStopPushedOutWithItsCharacter",
                    Repeat(kA, 4) + kMaru + kI,
                    true,
                    {Repeat(kA, 3), std::string(kA) + kMaru + kI + "{ET}"}},
        KinsokuCase{"FullStopPushedInWhenBlanksGive",
                    std::string(kTen) + kTen + kA + kA + kMaru + kI,
                    true,
                    {std::string(kTen) + kTen + kA + kA + kMaru, std::string(kI) + "{ET}"}},
        KinsokuCase{"OpeningBracketMovesToTheNextLine",
                    Repeat(kA, 3) + kKagi + kI,
                    true,
                    {Repeat(kA, 3), std::string(kKagi) + kI + "{ET}"}},
        KinsokuCase{"LineOfOnlyLineEndForbiddenKeepsItsBreak",
                    Repeat("$", 9),
                    true,
                    {Repeat("$", 8), "${ET}"}},
        KinsokuCase{"OverflowingLineEndMarkStaysOnTheLine",
                    Repeat(kA, 4) + "\r" + kI,
                    true,
                    {Repeat(kA, 4) + "{CR}", std::string(kI) + "{ET}"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LineComposerTest, PushInWritesBackSqueezedWidthsThatAddUp) {
  TextFixture t(4);
  ASSERT_TRUE(t.Type(std::string(kTen) + kTen + kA + kA + kMaru + kI));
  // The full stop gives its own blank of 120; the missing 20 come from the
  // comma before the kana, the next comma giving the rest of its blank.
  const int32_t cellWidths[] = {2 * kGap - 20, 2 * kGap - 120, 2 * kGap, 2 * kGap, 2 * kGap - 120};
  const int32_t adjustments[] = {-20, -120, 0, 0, -120};
  int32_t total = 0;
  for (int i = 0; i < 5; ++i) {
    const CharCell cell = t.CellRecord(t.CellAt(i));
    EXPECT_EQ(cell.cellWidth, cellWidths[i]) << i;
    EXPECT_EQ(cell.adjustment, adjustments[i]) << i;
    total += cell.glyphWidth + cell.cellWidth;
  }
  EXPECT_EQ(total, 4 * kWide);
  EXPECT_EQ(t.LineRecord(t.CellAt(0)).composerFlag, 1);
}

TEST(LineComposerTest, JustifiedLineSpreadsItsFreeWidthOverTheGaps) {
  TextFixture t(4);
  ASSERT_TRUE(t.Type(Repeat("a", 7) + kA + kA));
  // 7 x 130 = 910 of 1040: 130 twips over 6 gaps, 22 for the first four.
  const int32_t widths[] = {kGap + 22, kGap + 22, kGap + 22, kGap + 22, kGap + 21, kGap + 21, kGap};
  for (int i = 0; i < 7; ++i) EXPECT_EQ(t.CellRecord(t.CellAt(i)).cellWidth, widths[i]) << i;
  EXPECT_EQ(t.LineRecord(t.CellAt(0)).usedWidth, 4 * kWide);
}

TEST(LineComposerTest, LastLineOfAParagraphIsNeverSpread) {
  TextFixture t(4);
  ASSERT_TRUE(t.Type("aaa"));
  EXPECT_EQ(t.CellRecord(t.CellAt(0)).cellWidth, kGap);
  EXPECT_EQ(t.LineRecord(t.CellAt(0)).usedWidth, 3 * kPitch);
}

TEST(LineComposerTest, ClassesComeFromTheListsWhateverTheSwitches) {
  EXPECT_EQ(CLineComposer::KinsokuClass(0x8142, kStartList, kEndList), kBreakNotAtLineStart);
  EXPECT_EQ(CLineComposer::KinsokuClass(0x8175, kStartList, kEndList), kBreakNotAtLineEnd);
  EXPECT_EQ(CLineComposer::KinsokuClass(0x82A0, kStartList, kEndList), kBreakAny);
  // A character in both lists is line-start-forbidden.
  EXPECT_EQ(CLineComposer::KinsokuClass(0x8142, kStartList, "\x81\x42"), kBreakNotAtLineStart);
  // Lead bytes up to 0xFF start a double-byte character in the lists.
  EXPECT_EQ(CLineComposer::IsInCharList(0xFD41, "\xFD\x41"), 1);
  EXPECT_EQ(CLineComposer::IsInCharList(0x41, "\xFD\x41"), 0);
}

struct FoldCase {
  uint16_t code;
  std::string folded;
};

class FoldTest : public ::testing::TestWithParam<FoldCase> {};

TEST_P(FoldTest, FoldsForMatching) {
  char out[2] = {};
  CLineComposer::FoldChar(GetParam().code, out);
  EXPECT_EQ(std::string(out, out[1] == '\0' ? 1 : 2), GetParam().folded);
}

INSTANTIATE_TEST_SUITE_P(Table, FoldTest,
                         ::testing::Values(FoldCase{0x834B, "\xB6\xDE"},  // ガ
                                           FoldCase{0x82AA, "\xB6\xDE"},  // が
                                           FoldCase{0x8260, "a"},         // Ａ
                                           FoldCase{0x8281, "a"},         // ａ
                                           FoldCase{'A', "a"}, FoldCase{'a', "a"},
                                           FoldCase{0x8394, "\xB3\xDE"},  // ヴ
                                           FoldCase{0x8393, "\xDD"},      // ン
                                           FoldCase{0x82EC, "\xDC"},      // ゎ
                                           FoldCase{0x8140, " "},         // full-width space
                                           FoldCase{0x8142, "\xA1"},      // 。
                                           FoldCase{0x8175, "("},         // 「
                                           FoldCase{0x817A, ")"},         // 】
                                           FoldCase{0x8168, "\""},        // ”
                                           FoldCase{0x815B, "-"},         // ー
                                           FoldCase{0x818F, "\\"},        // ￥
                                           FoldCase{0x8197, "@"},         // ＠
                                           FoldCase{'[', "("}, FoldCase{0xA3, ")"},
                                           FoldCase{0xB0, "-"},
                                           FoldCase{0x889F, "\x88\x9F"}));  // a kanji stays

}  // namespace
}  // namespace text_test

namespace text_test {
namespace {

TEST(LineComposerTest, LongParagraphBreaksIntoFullLines) {
  TextFixture t(4);
  std::string text;
  for (int i = 0; i < 200; ++i) text += "\x82\xA0";
  text += "\x81\x42";  // a full stop that cannot begin the last line
  ASSERT_TRUE(t.Type(text));
  const auto lines = t.Lines();
  ASSERT_EQ(lines.size(), 51u);
  EXPECT_EQ(lines[48], "\x82\xA0\x82\xA0\x82\xA0\x82\xA0");
  EXPECT_EQ(lines[49], "\x82\xA0\x82\xA0\x82\xA0");
  EXPECT_EQ(lines[50], "\x82\xA0\x81\x42{ET}");
}

}  // namespace
}  // namespace text_test
