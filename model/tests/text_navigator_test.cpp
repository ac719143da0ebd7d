#include "model/text_navigator.h"

#include <gtest/gtest.h>

#include "text_fixture.h"

namespace text_test {
namespace {

// Three paragraphs on four lines of four double-byte characters:
//   line 1: a b {CR}            cells 0-2
//   line 2: あ あ あ あ         cells 3-6
//   line 3: い {CR}             cells 7-8
//   line 4: c d {ET}            cells 9-11
class NavigatorTest : public ::testing::Test {
 protected:
  NavigatorTest() : t(4) { t.Type("ab\r\x82\xA0\x82\xA0\x82\xA0\x82\xA0\x82\xA2\rcd"); }

  int IndexOf(const CVedTextPos& pos) const {
    TextNodes nodes;
    t.navigator.MapPosition(&pos, &nodes);
    return t.navigator.IndexOf(kLevelCell, nodes.cell) - 1;
  }

  TextFixture t;
};

struct MoveCase {
  int from;
  int command;
  int wrap;
  int32_t x;
  int result;
  int to;
};

class MoveCaretTest : public NavigatorTest, public ::testing::WithParamInterface<MoveCase> {};

TEST_P(MoveCaretTest, LandsOrReportsTheEdge) {
  const MoveCase& c = GetParam();
  const CVedTextPos from = t.CellAt(c.from);
  CVedTextPos out;
  int result = -1;
  ASSERT_EQ(t.navigator.MoveCaret(c.command, MoveParams{0, c.x, c.wrap}, &from, &out, &result), 1);
  EXPECT_EQ(result, c.result);
  EXPECT_EQ(IndexOf(out), c.to);
}

INSTANTIATE_TEST_SUITE_P(
    Commands, MoveCaretTest,
    ::testing::Values(MoveCase{0, kMovePrevChar, 1, 0, kMoveStoppedAtLineStart, 0},
                      MoveCase{3, kMovePrevChar, 1, 0, kMoveDone, 2},
                      MoveCase{3, kMovePrevChar, 0, 0, kMoveStoppedAtLineStart, 3},
                      MoveCase{11, kMoveNextChar, 1, 0, kMoveStoppedAtLineEnd, 11},
                      MoveCase{2, kMoveNextChar, 1, 0, kMoveDone, 3},
                      MoveCase{6, kMoveNextChar, 0, 0, kMoveStoppedAtLineEnd, 6},
                      MoveCase{0, kMoveLineUp, 1, 0, kMoveBeforeStart, 0},
                      MoveCase{11, kMoveLineDown, 1, 0, kMoveAfterEnd, 11},
                      MoveCase{7, kMoveLineUp, 1, 0, kMoveDone, 3},
                      MoveCase{1, kMoveLineDown, 1, 300, kMoveDone, 4},
                      MoveCase{1, kMoveLineDown, 1, 9999, kMoveDone, 6},
                      MoveCase{5, kMoveLineStart, 1, 0, kMoveDone, 3},
                      MoveCase{3, kMoveLineEnd, 1, 0, kMoveDone, 6},
                      MoveCase{7, kMoveLineEnd, 1, 0, kMoveDone, 8},
                      MoveCase{0, kMoveNextLineStart, 1, 0, kMoveDone, 3},
                      MoveCase{11, kMoveNextLineStart, 1, 0, kMoveAfterEnd, 11},
                      MoveCase{3, kMovePrevLineStart, 1, 0, kMoveDone, 0},
                      MoveCase{0, kMovePrevLineStart, 1, 0, kMoveBeforeStart, 0},
                      MoveCase{7, kMoveParagraphStart, 1, 0, kMoveDone, 3},
                      MoveCase{3, kMoveParagraphEnd, 1, 0, kMoveDone, 8},
                      MoveCase{0, kMoveNextParagraph, 1, 0, kMoveDone, 3},
                      MoveCase{10, kMoveNextParagraph, 1, 0, kMoveAfterEnd, 10},
                      MoveCase{9, kMovePrevParagraph, 1, 0, kMoveDone, 3},
                      MoveCase{1, kMovePrevParagraph, 1, 0, kMoveBeforeStart, 1},
                      MoveCase{10, kMoveDocumentStart, 1, 0, kMoveDone, 0},
                      MoveCase{0, kMoveDocumentEnd, 1, 0, kMoveDone, 11},
                      MoveCase{10, kMoveFirstLineAtX, 1, 130, kMoveDone, 1},
                      MoveCase{0, kMoveLastLineAtX, 1, 0, kMoveDone, 9},
                      MoveCase{0, kMoveLastLineStart, 1, 0, kMoveDone, 9},
                      MoveCase{0, kMoveLastParagraphStart, 1, 0, kMoveDone, 9}));

TEST_F(NavigatorTest, CommandsATextDoesNotAnswerFail) {
  const CVedTextPos from = t.CellAt(0);
  CVedTextPos out;
  int result = -1;
  for (int command : {21, 22, 50, 999}) {
    EXPECT_EQ(t.navigator.MoveCaret(command, MoveParams{}, &from, &out, &result), 0) << command;
  }
}

TEST_F(NavigatorTest, PositionsOfOtherLevelsAreRefused) {
  CVedTextPos container;
  container.Append({kTagChildIndex, 0});
  container.Append({kTagLine, 1});
  container.Append({kTagCell, 1});
  TextNodes nodes;
  EXPECT_EQ(t.navigator.MapPosition(&container, &nodes), 0);
  CVedTextPos out;
  int result = 0;
  EXPECT_EQ(t.navigator.MoveCaret(kMoveNextChar, MoveParams{}, &container, &out, &result), 0);
  EXPECT_EQ(t.navigator.PositionFromPoint(&container, 0, 0, &out), -1);
}

TEST_F(NavigatorTest, HitTestFindsCellsOrAnswersTheHeightBelow) {
  CVedTextPos out;
  EXPECT_EQ(t.navigator.PositionFromPoint(nullptr, -50, 10, &out), kHitInLine);
  EXPECT_EQ(IndexOf(out), 0);
  EXPECT_EQ(t.navigator.PositionFromPoint(nullptr, 300, kLineHeight + kLineGap + 5, &out),
            kHitInLine);
  EXPECT_EQ(IndexOf(out), 4);
  EXPECT_EQ(t.navigator.PositionFromPoint(nullptr, 5000, 10, &out), kHitPastLine);
  EXPECT_EQ(IndexOf(out), 2);

  CVedTextPos untouched = t.CellAt(5);
  EXPECT_EQ(t.navigator.PositionFromPoint(nullptr, 0, 5000, &untouched),
            4 * (kLineHeight + kLineGap));
  EXPECT_EQ(IndexOf(untouched), 5);
}

TEST(NavigatorIndentTest, PointLeftOfAnIndentedLineGivesItsFirstCell) {
  TextFixture t(4);
  t.page.firstIndent = kWide;
  CharCell end;
  t.formats.MakeCellTemplate(nullptr, nullptr, nullptr, &end);
  t.editor.NewDocument(end);
  CVedTextPos start;
  t.navigator.GetStartPosition(&start);
  t.SetCaret(start);
  t.Type("ab");
  CVedTextPos out;
  EXPECT_EQ(t.navigator.PositionFromPoint(nullptr, 100, 10, &out), kHitLeftOfLine);
  EXPECT_EQ(t.CellRecord(out).code, 'a');
}

TEST_F(NavigatorTest, LineAndColumnBothWays) {
  CVedTextPos start;
  t.navigator.GetStartPosition(&start);
  CVedTextPos out;
  int32_t line = 2;
  int32_t column = 3;
  ASSERT_EQ(t.navigator.PositionFromLineColumn(&start, &line, &column, &out), 1);
  EXPECT_EQ(IndexOf(out), 5);

  line = 9;
  column = 1;
  ASSERT_EQ(t.navigator.PositionFromLineColumn(&start, &line, &column, &out), 1);
  EXPECT_EQ(line, 4);
  EXPECT_EQ(IndexOf(out), 9);

  line = 1;
  column = 9;
  ASSERT_EQ(t.navigator.PositionFromLineColumn(&start, &line, &column, &out), 1);
  EXPECT_EQ(column, 3);
  EXPECT_EQ(IndexOf(out), 2);

  line = 0;
  EXPECT_EQ(t.navigator.PositionFromLineColumn(&start, &line, &column, &out), 0);

  TextNodes a;
  TextNodes b;
  CVedTextPos end;
  t.navigator.GetEndPosition(&end);
  t.navigator.MapPosition(&start, &a);
  t.navigator.MapPosition(&end, &b);
  EXPECT_EQ(t.navigator.CountLinesBetween(a, b), 4);
}

TEST_F(NavigatorTest, StepLineAndHeights) {
  CVedTextPos out;
  ASSERT_EQ(t.navigator.StepLine(nullptr, kLineNext, &out), 1);  // start of the last line
  EXPECT_EQ(IndexOf(out), 9);
  const CVedTextPos at = t.CellAt(4);
  ASSERT_EQ(t.navigator.StepLine(&at, kLineThis, &out), 1);
  EXPECT_EQ(IndexOf(out), 3);
  const CVedTextPos last = t.CellAt(10);
  EXPECT_EQ(t.navigator.StepLine(&last, kLineNext, &out), 0);

  int32_t consumed = 0;
  const CVedTextPos start = t.CellAt(0);
  ASSERT_EQ(t.navigator.PositionAtHeight(&start, 2 * (kLineHeight + kLineGap) + 1, kNavFirst, &out,
                                         &consumed),
            1);
  EXPECT_EQ(IndexOf(out), 7);
  EXPECT_EQ(consumed, 2 * (kLineHeight + kLineGap));
  ASSERT_EQ(t.navigator.PositionAtHeight(&start, 10, kNavLast, &out, &consumed), 1);
  EXPECT_EQ(IndexOf(out), 2);
  EXPECT_EQ(consumed, kLineHeight + kLineGap);
}

// Paragraphs of one, several and many lines: stepping from line to line
// both ways and finding a line's first cell from the text's start name
// each line's own paragraph, and of two lines of one paragraph the later
// follows the earlier.
TEST(NavigatorLineStepTest, StepsNameEachLinesParagraphAndOrderLinesWithinOne) {
  TextFixture t(4);
  std::string text = "ab\r";
  for (int i = 0; i < 30; ++i) text += "\x82\xA0";
  text += "\r\rcd";
  ASSERT_TRUE(t.Type(text));
  // Each line with the paragraph a walk over every paragraph finds for it.
  std::vector<TextNodes> lines;
  for (NodeHandle p = t.navigator.Navigate(kLevelParagraph, kNavFirst, kNoNode); p != kNoNode;
       p = t.navigator.Navigate(kLevelParagraph, kNavNext, p)) {
    ParagraphInfo info;
    ASSERT_EQ(t.navigator.GetInfo(p, info), 1);
    for (NodeHandle l = info.firstLine;; l = t.navigator.Navigate(kLevelLine, kNavNext, l)) {
      lines.push_back({p, l, t.navigator.GetChild(kLevelCell, false, l)});
      if (l == info.lastLine) break;
    }
  }
  ASSERT_EQ(lines.size(), 11u);
  for (size_t i = 0; i < lines.size(); ++i) {
    CVedTextPos at;
    CTextNavigator::MakePosition(lines[i], &at);
    CVedTextPos out;
    TextNodes stepped;
    if (i + 1 < lines.size()) {
      ASSERT_EQ(t.navigator.StepLine(&at, kLineNext, &out), 1);
      ASSERT_EQ(t.navigator.MapPosition(&out, &stepped), 1);
      EXPECT_EQ(stepped.paragraph, lines[i + 1].paragraph) << "down from line " << i;
      EXPECT_EQ(stepped.line, lines[i + 1].line) << "down from line " << i;
    }
    CVedTextPos located;
    ASSERT_EQ(t.navigator.PositionOfCell(kNavNext, lines[0].paragraph, lines[0].line, lines[i].cell,
                                         &located),
              1);
    EXPECT_TRUE(located == at) << "line " << i << " found from the start";
    if (i > 0) {
      ASSERT_EQ(t.navigator.StepLine(&at, kLinePrevious, &out), 1);
      ASSERT_EQ(t.navigator.MapPosition(&out, &stepped), 1);
      EXPECT_EQ(stepped.paragraph, lines[i - 1].paragraph) << "up from line " << i;
      EXPECT_EQ(stepped.line, lines[i - 1].line) << "up from line " << i;
    }
  }
  ParagraphInfo many;
  ASSERT_EQ(t.navigator.GetInfo(lines[1].paragraph, many), 1);
  for (size_t a = 1; a <= 8; ++a) {
    for (size_t b = 1; b <= 8; ++b) {
      EXPECT_EQ(t.navigator.FollowsWithin(kLevelLine, lines[a].line, many.firstLine, many.lastLine,
                                          lines[b].line),
                b >= a)
          << a << " and " << b;
    }
  }
}

TEST_F(NavigatorTest, CellRectanglesFollowTheAdvances) {
  TextNodes nodes;
  const CVedTextPos pos = t.CellAt(5);
  t.navigator.MapPosition(&pos, &nodes);
  platform::RECT rect;
  ASSERT_EQ(t.navigator.GetCellRect(nodes.paragraph, nodes.line, nodes.cell, 0, &rect), 1);
  EXPECT_EQ(rect, (platform::RECT{2 * kWide, 0, 2 * kWide + kEm, kLineHeight}));
  ASSERT_EQ(t.navigator.GetCellRect(nodes.paragraph, nodes.line, nodes.cell, 3, &rect), 1);
  EXPECT_EQ(rect, (platform::RECT{2 * kWide, 0, 3 * kWide, kLineHeight + kLineGap}));
}

TEST_F(NavigatorTest, ACellWithNothingBeforeItIsMeasuredFromItsLineStart) {
  // A place that names line 2 but the document's first cell (as a place
  // kept across an edit may): the width before it is not the rest of the
  // document from line 2 on.
  TextNodes line2;
  const CVedTextPos inLine2 = t.CellAt(4);
  t.navigator.MapPosition(&inLine2, &line2);
  TextNodes first;
  const CVedTextPos start = t.CellAt(0);
  t.navigator.MapPosition(&start, &first);
  platform::RECT rect;
  ASSERT_EQ(t.navigator.GetCellRect(line2.paragraph, line2.line, first.cell, 0, &rect), 1);
  EXPECT_EQ(rect.left, 0);
}

TEST_F(NavigatorTest, DescribedLineCountsItsEndMark) {
  TextNodes nodes;
  const CVedTextPos pos = t.CellAt(9);
  t.navigator.MapPosition(&pos, &nodes);
  LineDescription line;
  ASSERT_EQ(t.navigator.DescribeLine(nodes.paragraph, nodes.line, &line), 1);
  EXPECT_EQ(line.endMarkColumns, 2);
  EXPECT_EQ(line.length, 4);  // "cd" and the end mark's two columns
  EXPECT_EQ(line.width, 2 * kPitch + 2 * kPitch);
}

TEST_F(NavigatorTest, RangeFontKeepsOnlyCommonFields) {
  CharFormat big;
  big.mask = kMaskSize;
  big.size = 180;
  const CVedTextPos from = t.CellAt(3);
  const CVedTextPos to = t.CellAt(4);
  EditResult result;
  ASSERT_EQ(t.editor.ApplyCharFont(big, &from, &to, &result), 1);

  TextNodes a;
  TextNodes b;
  const CVedTextPos rangeStart = t.CellAt(2);  // the break is passed over
  const CVedTextPos rangeEnd = t.CellAt(6);
  t.navigator.MapPosition(&rangeStart, &a);
  t.navigator.MapPosition(&rangeEnd, &b);
  CharFormat common;
  ASSERT_EQ(t.navigator.GetRangeFont(a, b, &common), 1);
  EXPECT_EQ(common.size, 180);
  EXPECT_NE(common.mask & kMaskFace, 0);
  EXPECT_EQ(common.mask & kMaskSize, 0);

  CharDecoration decoration;
  EXPECT_EQ(t.navigator.GetRangeDecoration(a, b, &decoration), 1);
  EXPECT_EQ(decoration.mask, kMaskDecorationAll);
  TextNodes end;
  const CVedTextPos etx = t.CellAt(11);
  t.navigator.MapPosition(&etx, &end);
  EXPECT_EQ(t.navigator.GetRangeDecoration(end, end, &decoration), 0);
}

TEST_F(NavigatorTest, PushedInMarkAdvancesMatchTheWrittenBackWidths) {
  TextFixture p(4);
  ASSERT_TRUE(p.Type("\x81\x41\x81\x41\x82\xA0\x82\xA0\x81\x42\x82\xA2"));
  TextNodes nodes;
  const CVedTextPos first = p.CellAt(0);
  p.navigator.MapPosition(&first, &nodes);
  int32_t x = 0;
  for (int i = 0; i < 5; ++i) {
    const CVedTextPos pos = p.CellAt(i);
    TextNodes n;
    p.navigator.MapPosition(&pos, &n);
    platform::RECT rect;
    ASSERT_EQ(p.navigator.GetCellRect(n.paragraph, n.line, n.cell, 1, &rect), 1);
    EXPECT_EQ(rect.left, x) << i;
    x = rect.right;
  }
  EXPECT_EQ(x, 4 * kWide);
}

// Lines crowded with marks that may not start or end a line: some are
// pushed in and the marks before them give up their blanks, so that a
// mark may advance less than it is drawn wide.
struct SqueezedLineCase {
  const char* text;
  int32_t wideCharsPerLine;
};

const SqueezedLineCase kSqueezedLines[] = {
    {"\x81\x76\x81\x75\x81\x75\x81\x41\x81\x76", 3},                  // 」「「、」
    {"\x82\xA0\x81\x75\x81\x76\x81\x75\x81\x76\x81\x41\x81\x75", 4},  // あ「」「」、「
};

// A point at the left of the box a cell's caret stands in hits that cell,
// so that a place kept as a point finds its cell again.
TEST(NavigatorSqueezedLineTest, APointAtACellsCaretBoxHitsThatCell) {
  for (const SqueezedLineCase& c : kSqueezedLines) {
    SCOPED_TRACE(::testing::Message() << "lines of " << c.wideCharsPerLine);
    TextFixture p(c.wideCharsPerLine);
    ASSERT_TRUE(p.Type(c.text));
    TextNodes first;
    const CVedTextPos start = p.CellAt(0);
    p.navigator.MapPosition(&start, &first);
    int i = 0;
    for (;; ++i) {
      const CVedTextPos pos = p.CellAt(i);
      TextNodes n;
      p.navigator.MapPosition(&pos, &n);
      if (n.line != first.line) break;
      platform::RECT rect;
      ASSERT_EQ(p.navigator.GetCellRect(n.paragraph, n.line, n.cell, 0, &rect), 1);
      CVedTextPos hit;
      ASSERT_EQ(p.navigator.PositionFromPoint(nullptr, rect.left, 1, &hit), kHitInLine) << i;
      TextNodes found;
      p.navigator.MapPosition(&hit, &found);
      EXPECT_EQ(found.cell, n.cell) << i;
    }
    EXPECT_GT(i, c.wideCharsPerLine);
  }
}

struct WordCase {
  int from;
  int command;
  int result;
  int to;
};

// "ab  cd。ef" {CR} "gh" {ET}: cells a0 b1 _2 _3 c4 d5 。6 e7 f8 CR9 g10 h11 ET12.
class WordMoveTest : public ::testing::TestWithParam<WordCase> {};

TEST_P(WordMoveTest, StopsAtWordStarts) {
  const WordCase& c = GetParam();
  TextFixture t;
  ASSERT_TRUE(
      t.Type("ab  cd\x81\x42"
             "ef\rgh"));
  const CVedTextPos from = t.CellAt(c.from);
  CVedTextPos out;
  int result = -1;
  ASSERT_EQ(t.navigator.MoveCaret(c.command, MoveParams{0, 0, 1}, &from, &out, &result), 1);
  EXPECT_EQ(result, c.result);
  TextNodes nodes;
  t.navigator.MapPosition(&out, &nodes);
  EXPECT_EQ(t.navigator.IndexOf(kLevelCell, nodes.cell) - 1, c.to);
}

INSTANTIATE_TEST_SUITE_P(Words, WordMoveTest,
                         ::testing::Values(WordCase{0, kMoveNextWord, kMoveDone, 4},
                                           WordCase{4, kMoveNextWord, kMoveDone, 7},
                                           WordCase{7, kMoveNextWord, kMoveDone, 10},
                                           WordCase{10, kMoveNextWord, kMoveAfterEnd, 10},
                                           WordCase{5, kMoveWordStart, kMoveDone, 4},
                                           WordCase{4, kMoveWordStart, kMoveDone, 4},
                                           WordCase{3, kMoveWordStart, kMoveDone, 0},
                                           WordCase{7, kMovePrevWord, kMoveDone, 4},
                                           WordCase{0, kMovePrevWord, kMoveBeforeStart, 0},
                                           WordCase{0, kMoveLastWordStart, kMoveDone, 10}));

}  // namespace
}  // namespace text_test
