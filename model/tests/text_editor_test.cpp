#include <gtest/gtest.h>

#include "text_fixture.h"

namespace text_test {
namespace {

using Lines = std::vector<std::string>;

// Shift-JIS spellings used below.
constexpr char kA[] = "\x82\xA0";     // あ
constexpr char kMaru[] = "\x81\x42";  // 。
constexpr char kKagi[] = "\x81\x75";  // 「
constexpr char kZenSpace[] = "\x81\x40";

std::string Repeat(std::string_view s, int n) {
  std::string out;
  for (int i = 0; i < n; ++i) out += s;
  return out;
}

TEST(TextEditorTest, NewDocumentIsOneEmptyParagraph) {
  TextFixture t;
  EXPECT_EQ(t.Lines(), (Lines{"{ET}"}));
  EXPECT_EQ(t.editor.IsEmptyDocument(), 1);
  const LineInfo line = t.LineRecord(t.Caret());
  EXPECT_EQ(line.height, kLineHeight);
  EXPECT_EQ(line.baseline, kBaseline);
}

TEST(TextEditorTest, TypingBreaksLinesByWidth) {
  TextFixture t(4);
  ASSERT_TRUE(t.Type(Repeat(kA, 6)));
  EXPECT_EQ(t.Lines(), (Lines{Repeat(kA, 4), Repeat(kA, 2) + "{ET}"}));
  EXPECT_EQ(t.editor.IsEmptyDocument(), 0);
}

TEST(TextEditorTest, CarriageReturnLineFeedIsOneBreak) {
  TextFixture t;
  CharCell cellTemplate;
  t.formats.MakeCellTemplate(nullptr, nullptr, nullptr, &cellTemplate);
  EditResult result;
  const CVedTextPos caret = t.Caret();
  ASSERT_EQ(t.editor.InsertText(&caret, "ab\r\ncd", cellTemplate, &result), 1);
  EXPECT_EQ(result.changed, 5);
  EXPECT_EQ(t.Lines(), (Lines{"ab{CR}", "cd{ET}"}));
  EXPECT_EQ(t.editor.Count(kLevelParagraph), 2);
  EXPECT_EQ(result.heightDelta, kLineHeight + kLineGap);
}

struct TabCase {
  const char* name;
  std::string before;
  int32_t tabInterval;
  int wideCharsPerLine;
  int expectedBlanks;
};

class TabTest : public ::testing::TestWithParam<TabCase> {};

TEST_P(TabTest, RunsToTheNextStop) {
  const TabCase& c = GetParam();
  TextFixture t(c.wideCharsPerLine);
  t.page.tabInterval = c.tabInterval;
  if (!c.before.empty()) {
    ASSERT_TRUE(t.Type(c.before));
  }
  const int32_t before = t.editor.Count(kLevelCell);
  CharCell cellTemplate;
  t.formats.MakeCellTemplate(nullptr, nullptr, nullptr, &cellTemplate);
  EditResult result;
  const CVedTextPos caret = t.Caret();
  t.editor.InsertText(&caret, "\t", cellTemplate, &result);
  EXPECT_EQ(t.editor.Count(kLevelCell) - before, c.expectedBlanks);
}

INSTANTIATE_TEST_SUITE_P(
    Stops, TabTest,
    ::testing::Values(TabCase{"AtLineStart", "", 4 * kPitch, 10, 4},
                      TabCase{"AfterOneChar", "a", 4 * kPitch, 10, 3},
                      TabCase{"LessThanAPitchBeforeAStop", "abc", 4 * kPitch - 5, 10, 4},
                      TabCase{"NearTheRightEdge", "abcdefghijklmnopq", 4 * kPitch, 9, 1},
                      TabCase{"NoInterval", "a", 0, 10, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TextEditorTest, DeletingAtTheEndOfTextChangesNothing) {
  TextFixture t;
  EditResult result;
  const CVedTextPos caret = t.Caret();
  ASSERT_EQ(t.editor.DeleteChar(&caret, &result), 1);
  EXPECT_EQ(result.changed, 0);
  EXPECT_EQ(t.Lines(), (Lines{"{ET}"}));
}

TEST(TextEditorTest, DeletingABreakJoinsParagraphsKeepingTheFirstFormat) {
  TextFixture t;
  ASSERT_TRUE(t.Type("ab\rcd"));
  ParaFormat centred{kMaskAlignment, kAlignRight};
  EditResult result;
  const CVedTextPos first = t.CellAt(0);
  ASSERT_EQ(t.editor.ApplyParaFormat(&first, &first, centred, &result), 1);
  const CVedTextPos br = t.CellAt(2);
  ASSERT_EQ(t.editor.DeleteChar(&br, &result), 1);
  EXPECT_EQ(t.Lines(), (Lines{"abcd{ET}"}));
  EXPECT_EQ(StoreProblems(t.editor), "");
  ParaFormat format;
  TextNodes nodes;
  t.navigator.MapPosition(&result.newCursor, &nodes);
  t.navigator.GetRangeParaFormat(nodes, nodes, &format);
  EXPECT_EQ(format.alignment, kAlignRight);
  EXPECT_EQ(result.heightDelta, -(kLineHeight + kLineGap));
}

TEST(TextEditorTest, RangeEndingOnTheEndOfTextKeepsIt) {
  TextFixture t;
  ASSERT_TRUE(t.Type("ab\rcd"));
  CVedTextPos start = t.CellAt(1);
  CVedTextPos end;
  t.navigator.GetEndPosition(&end);
  EditResult result;
  ASSERT_EQ(t.editor.DeleteRange(&start, &end, &result), 1);
  EXPECT_EQ(t.Lines(), (Lines{"a{ET}"}));
  EXPECT_EQ(StoreProblems(t.editor), "");
  EXPECT_EQ(result.changed, 4);
  EXPECT_EQ(t.editor.Count(kLevelParagraph), 1);

  CVedTextPos onlyEnd;
  t.navigator.GetEndPosition(&onlyEnd);
  ASSERT_EQ(t.editor.DeleteRange(&onlyEnd, &onlyEnd, &result), 1);
  EXPECT_EQ(result.changed, 0);
  EXPECT_EQ(t.Lines(), (Lines{"a{ET}"}));
}

TEST(TextEditorTest, RangeAcrossParagraphsJoinsThem) {
  TextFixture t;
  ASSERT_TRUE(t.Type("ab\rcd\ref"));
  const CVedTextPos from = t.CellAt(1);
  const CVedTextPos to = t.CellAt(5);  // the second break
  EditResult result;
  ASSERT_EQ(t.editor.DeleteRange(&from, &to, &result), 1);
  EXPECT_EQ(t.Lines(), (Lines{"aef{ET}"}));
  EXPECT_EQ(StoreProblems(t.editor), "");
  EXPECT_EQ(t.CellRecord(result.newCursor).code, 'e');
}

TEST(TextEditorTest, CentringDropsLeadingAndTrailingSpaces) {
  TextFixture t;
  ASSERT_TRUE(t.Type(std::string(kZenSpace) + kZenSpace + "ab " + "\r"));
  ParaFormat centred{kMaskAlignment, kAlignCenter};
  EditResult result;
  const CVedTextPos first = t.CellAt(0);
  ASSERT_EQ(t.editor.ApplyParaFormat(&first, &first, centred, &result), 1);
  const Lines lines = t.Lines();
  EXPECT_EQ(lines.front(), "ab{CR}");
  EXPECT_EQ(StoreProblems(t.editor), "");
  const LineInfo line = t.LineRecord(t.CellAt(0));
  // free = width - used + the last cell's spacing before the mark.
  EXPECT_EQ(line.xOffset, (t.page.textWidth - 2 * kPitch + kGap) / 2);
}

TEST(TextEditorTest, BoldOnlyOverControlCellsVisitsButChangesNothing) {
  TextFixture t;
  ASSERT_TRUE(t.Type("\r"));
  CharFormat bold;
  bold.mask = kMaskBold;
  bold.bold = 1;
  const CVedTextPos from = t.CellAt(0);
  CVedTextPos to;
  t.navigator.GetEndPosition(&to);
  const int32_t fontBefore = t.CellRecord(from).fontId;
  EditResult result;
  EXPECT_EQ(t.editor.ApplyCharFont(bold, &from, &to, &result), 1);
  EXPECT_EQ(result.changed, 2);
  EXPECT_EQ(t.CellRecord(from).fontId, fontBefore);
}

TEST(TextEditorTest, SizeChangeResizesCellsAndReflows) {
  TextFixture t(4);
  ASSERT_TRUE(t.Type(Repeat(kA, 4)));
  CharFormat big;
  big.mask = kMaskSize;
  big.size = 240;
  const CVedTextPos from = t.CellAt(0);
  const CVedTextPos to = t.CellAt(3);
  EditResult result;
  ASSERT_EQ(t.editor.ApplyCharFont(big, &from, &to, &result), 1);
  EXPECT_EQ(t.CellRecord(t.CellAt(0)).glyphWidth, 2 * kEm);
  EXPECT_EQ(t.Lines(), (Lines{Repeat(kA, 2), Repeat(kA, 2) + "{ET}"}));
  EXPECT_EQ(StoreProblems(t.editor), "");
}

TEST(TextEditorTest, InvalidDecorationChangesNothing) {
  TextFixture t;
  ASSERT_TRUE(t.Type("ab"));
  CharDecoration bad{kMaskUnderline, 1};
  const CVedTextPos from = t.CellAt(0);
  const CVedTextPos to = t.CellAt(1);
  EditResult result;
  EXPECT_EQ(t.editor.ApplyDecoration(bad, &from, &to, &result), 0);
  CharDecoration good{kMaskUnderline, 17};
  EXPECT_EQ(t.editor.ApplyDecoration(good, &from, &to, &result), 1);
  EXPECT_EQ(t.CellRecord(t.CellAt(1)).decoration.underline, 17);
  EXPECT_EQ(result.changed, 2);
}

TEST(TextEditorTest, OverwriteRewritesInPlaceAndInsertsBeforeTheBreak) {
  TextFixture t;
  ASSERT_TRUE(t.Type("abc\rz"));
  CharCell cellTemplate;
  t.formats.MakeCellTemplate(nullptr, nullptr, nullptr, &cellTemplate);
  EditResult result;
  const CVedTextPos at = t.CellAt(1);
  ASSERT_EQ(t.editor.OverwriteText(&at, "XYZW", cellTemplate, &result), 1);
  EXPECT_EQ(t.Lines(), (Lines{"aXYZW{CR}", "z{ET}"}));
  EXPECT_EQ(StoreProblems(t.editor), "");
  EXPECT_EQ(result.changed, 4);
}

}  // namespace
}  // namespace text_test

namespace text_test {
namespace {

// A fixed script of random edits; the store must stay whole after each.
TEST(TextEditorScriptTest, RandomEditsKeepTheStoreWhole) {
  TextFixture t(5);
  uint32_t seed = 12345;
  auto next = [&seed](uint32_t bound) {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 16) % bound;
  };
  const char* pieces[] = {"a",        "\x82\xA0", "\r", "\x81\x42",
                          "\x81\x75", "bc",       "\t", "\x82\xA0\x82\xA2\x82\xA4",
                          "\f",       "  "};
  CharCell cellTemplate;
  t.formats.MakeCellTemplate(nullptr, nullptr, nullptr, &cellTemplate);
  for (int step = 0; step < 300; ++step) {
    const int32_t cells = t.editor.Count(kLevelCell);
    const CVedTextPos at = t.CellAt(static_cast<int>(next(cells)));
    const CVedTextPos other = t.CellAt(static_cast<int>(next(cells)));
    EditResult result;
    switch (next(5)) {
      case 0:
      case 1:
        t.editor.InsertText(&at, pieces[next(10)], cellTemplate, &result);
        break;
      case 2:
        t.editor.DeleteChar(&at, &result);
        break;
      case 3: {
        TextNodes a;
        TextNodes b;
        t.navigator.MapPosition(&at, &a);
        t.navigator.MapPosition(&other, &b);
        const bool first = t.navigator.Earlier(kLevelCell, a.cell, b.cell) == a.cell;
        t.editor.DeleteRange(first ? &at : &other, first ? &other : &at, &result);
        break;
      }
      default: {
        ParaFormat format{kMaskAlignment | kMaskLeftIndent,
                          static_cast<uint8_t>(1 + next(3)),
                          0,
                          0,
                          0,
                          static_cast<int32_t>(next(3)) * kPitch,
                          0};
        t.editor.ApplyParaFormat(&at, &at, format, &result);
        break;
      }
    }
    ASSERT_EQ(StoreProblems(t.editor), "") << "after step " << step;
  }
}

}  // namespace
}  // namespace text_test

namespace text_test {
namespace {

// What composing left in the store: every line record and every cell's
// composed width and squeeze.
struct Layout {
  std::vector<LineInfo> lines;
  std::vector<std::pair<int32_t, int32_t>> cells;
  std::vector<int32_t> lineCounts;
};

Layout LayoutOf(const CTextStore& store) {
  Layout layout;
  for (NodeHandle l = store.Navigate(kLevelLine, kNavFirst, kNoNode); l != kNoNode;
       l = store.Navigate(kLevelLine, kNavNext, l)) {
    LineInfo line;
    store.GetInfo(l, line);
    layout.lines.push_back(line);
  }
  for (NodeHandle c = store.Navigate(kLevelCell, kNavFirst, kNoNode); c != kNoNode;
       c = store.Navigate(kLevelCell, kNavNext, c)) {
    CharCell cell;
    store.GetInfo(c, cell);
    layout.cells.emplace_back(cell.cellWidth, cell.adjustment);
  }
  for (NodeHandle p = store.Navigate(kLevelParagraph, kNavFirst, kNoNode); p != kNoNode;
       p = store.Navigate(kLevelParagraph, kNavNext, p)) {
    ParagraphInfo paragraph;
    store.GetInfo(p, paragraph);
    layout.lineCounts.push_back(paragraph.lineCount);
  }
  return layout;
}

bool SameLayout(const Layout& a, const Layout& b) {
  auto sameLine = [](const LineInfo& x, const LineInfo& y) {
    return x.xOffset == y.xOffset && x.usedWidth == y.usedWidth && x.height == y.height &&
           x.baseline == y.baseline && x.composerFlag == y.composerFlag &&
           x.cellCount == y.cellCount && x.firstCell == y.firstCell && x.lastCell == y.lastCell;
  };
  return a.cells == b.cells && a.lineCounts == b.lineCounts &&
         std::equal(a.lines.begin(), a.lines.end(), b.lines.begin(), b.lines.end(), sameLine);
}

int32_t TextHeight(const CTextNavigator& navigator) {
  int32_t total = 0;
  for (NodeHandle p = navigator.Navigate(kLevelParagraph, kNavFirst, kNoNode); p != kNoNode;
       p = navigator.Navigate(kLevelParagraph, kNavNext, p)) {
    int32_t widest = 0;
    int32_t height = 0;
    navigator.MeasureParagraph(true, p, &widest, &height);
    total += height;
  }
  return total;
}

// Edits inside a long paragraph of dense punctuation, where a reflow may
// stop at the first line past the edit that begins where an old one did:
// the lines must be those a reflow of the whole paragraph makes, and the
// reported height change the measured one.
TEST(LongParagraphEditTest, AReflowThatEndsEarlyLeavesTheLinesOfAWholeReflow) {
  TextFixture t(5);
  const char* pieces[] = {kA, kMaru, kKagi, "\x81\x41", "\x81\x76", "ab", kZenSpace};
  uint32_t seed = 4242;
  auto next = [&seed](uint32_t bound) {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 16) % bound;
  };
  std::string text;
  for (int i = 0; i < 600; ++i) text += pieces[next(3) == 0 ? next(7) : 0];
  ASSERT_TRUE(t.Type(text + "\r" + Repeat(kA, 12)));
  CharCell cellTemplate;
  t.formats.MakeCellTemplate(nullptr, nullptr, nullptr, &cellTemplate);
  const NodeHandle paragraph = t.navigator.Navigate(kLevelParagraph, kNavFirst, kNoNode);
  for (int step = 0; step < 200; ++step) {
    const CVedTextPos at = t.CellAt(static_cast<int>(10 + next(560)));
    const int32_t heightBefore = TextHeight(t.navigator);
    EditResult result;
    switch (next(3)) {
      case 0:
        ASSERT_EQ(t.editor.InsertText(&at, pieces[next(7)], cellTemplate, &result), 1);
        break;
      case 1:
        ASSERT_EQ(t.editor.DeleteChar(&at, &result), 1);
        break;
      default:
        ASSERT_EQ(t.editor.OverwriteText(&at, pieces[next(7)], cellTemplate, &result), 1);
        break;
    }
    ASSERT_EQ(StoreProblems(t.editor), "") << "after step " << step;
    EXPECT_EQ(result.heightDelta, TextHeight(t.navigator) - heightBefore) << "after step " << step;
    const Layout edited = LayoutOf(t.editor);
    int32_t again = 0;
    ASSERT_EQ(t.editor.ReflowParagraph(paragraph, kNoNode, &again), 1);
    EXPECT_EQ(again, 0) << "after step " << step;
    ASSERT_TRUE(SameLayout(edited, LayoutOf(t.editor))) << "after step " << step;
    TextNodes cursor;
    ASSERT_EQ(t.navigator.MapPosition(&result.newCursor, &cursor), 1);
    CVedTextPos found;
    ASSERT_EQ(t.navigator.PositionOfCell(kNavNext, kNoNode, kNoNode, cursor.cell, &found), 1);
    EXPECT_TRUE(found == result.newCursor) << "after step " << step;
  }
}

}  // namespace
}  // namespace text_test
