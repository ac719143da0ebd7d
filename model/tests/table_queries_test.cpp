#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/table_object.h"
#include "table_fixture.h"

namespace table_test {
namespace {

// The 2 x 3 table of the geometry tests: columns of 4, 3 and 5 characters
// centred in 5200 twips, W = pitch = 130, H = 175, line pitch 350.
//   Left offset 1560 (12 characters of margin); column rules at 1560,
//   2210, 2730, right border 3510-3640, right of the table from 3640.
//   Top rule 0-175, row 0 175-525, rule 525-700, row 1 700-1050, bottom
//   rule 1050-1225. Lines: rule, row 0, rule, row 1, bottom rule = 5.
constexpr int32_t kTableHeight = 1225;

TableCaret Grid(int32_t row, int32_t column, int32_t x, int32_t y) {
  return {kCaretOnGrid, row, column, x, y};
}

class TableQueries : public ::testing::Test {
 protected:
  void SetUp() override {
    TableSpec spec;
    spec.texts = {"abcd", "", "", "", "xy", ""};
    ASSERT_EQ(t.Load(t.Stream(spec)), 1);
  }

  CTableObject& table() { return t.table; }

  CVedTextPos Path(const TableCaret& pos) {
    CVedTextPos path;
    t.table.TablePosToPath(pos, &path);
    return path;
  }

  // A place in a cell's text: the cell's cursor moved to its start and
  // then `right` characters on.
  CVedTextPos InCell(int32_t row, int32_t column, int right = 0) {
    CTableCellObj* cell = t.table.CellOf(column, row);
    const MoveParams params{1, 0, 1};
    CVedTextPos path;
    cell->MoveCursor(65, &params, nullptr, &path);
    for (int i = 0; i < right; ++i) cell->MoveCursor(2, &params, nullptr, &path);
    cell->GetCursor(&path);
    t.table.TablePosToPath({kCaretInCell, row, column, 0, 0}, &path);
    return path;
  }

  platform::RECT Rect(const CVedTextPos& path, int mode, const CVedTextPos* base = nullptr) {
    platform::RECT rect{};
    t.table.GetPositionRect(&rect, mode, &path, base);
    return rect;
  }

  TableFixture t;
};

struct KindCase {
  TableCaret pos;
  int32_t kind;
  int32_t detail;
};

class KindCases : public TableQueries, public ::testing::WithParamInterface<KindCase> {};

TEST_P(KindCases, GridPositionsNameTheirRuleOrSide) {
  const KindCase& c = GetParam();
  ObjectDescription kind{};
  const CVedTextPos path = Path(c.pos);
  EXPECT_EQ(table().GetKindAt(&path, &kind), 1);
  EXPECT_EQ(kind[0], kObjectTable);
  EXPECT_EQ(kind[1], c.kind);
  EXPECT_EQ(kind[2], c.detail);
}

INSTANTIATE_TEST_SUITE_P(
    Table, KindCases,
    ::testing::Values(KindCase{Grid(0, 0, -1, 1), 0x203, 0x2004},   // in the left margin
                      KindCase{Grid(0, 3, 0, 1), 0x203, 0x2005},    // right of the table
                      KindCase{Grid(0, 0, 0, 0), 0x202, 0x2003},    // top-left crossing
                      KindCase{Grid(0, 0, 2, 0), 0x202, 0x2001},    // top rule
                      KindCase{Grid(1, 1, 2, 2), 0x202, 0x2001},    // bottom rule
                      KindCase{Grid(0, 1, 0, 1), 0x202, 0x2002},    // rule between columns
                      KindCase{Grid(0, 2, 6, 1), 0x202, 0x2002},    // right border
                      KindCase{Grid(1, 2, 6, 2), 0x202, 0x2003}));  // bottom-right corner

TEST_F(TableQueries, KindInACellIsTheCellsOwnRecordBehindTheTablesPair) {
  ObjectDescription inCell{};
  const CVedTextPos path = InCell(0, 0, 1);
  ASSERT_EQ(table().GetKindAt(&path, &inCell), 1);
  ObjectDescription own{};
  CVedTextPos cellPath = table().StripTablePairs(path);
  table().CellOf(0, 0)->GetKindAt(&cellPath, &own);
  EXPECT_EQ(inCell[0], kObjectTable);
  EXPECT_EQ(inCell[1], kSubKindCellText);
  EXPECT_EQ(std::vector<int32_t>(inCell.begin() + 2, inCell.end()),
            std::vector<int32_t>(own.begin(), own.begin() + 5));
  EXPECT_EQ(inCell[2], kObjectText);
}

struct RectCase {
  TableCaret pos;
  int mode;
  platform::RECT rect;
};

class RectCases : public TableQueries, public ::testing::WithParamInterface<RectCase> {};

TEST_P(RectCases, GridRectanglesFollowRulesAndBands) {
  const RectCase& c = GetParam();
  EXPECT_EQ(Rect(Path(c.pos), c.mode), c.rect);
}

// H = 175 is at least 100, so modes 0 and 1 centre a 100-twip band on a
// horizontal rule; W = 130 is below 150, so vertical rules keep their width.
INSTANTIATE_TEST_SUITE_P(
    Table, RectCases,
    ::testing::Values(RectCase{Grid(0, 0, 0, 0), 3, {1560, 0, 1690, 175}},
                      RectCase{Grid(0, 0, 0, 0), 0, {1560, 37, 1690, 137}},
                      RectCase{Grid(0, 0, 0, 0), 1, {1560, 37, 1690, 137}},
                      RectCase{Grid(0, 0, 0, 0), 2, {1560, 0, 1690, 175}},
                      RectCase{Grid(1, 1, 2, 1), 3, {2470, 700, 2600, 875}},
                      RectCase{Grid(1, 0, 0, 2), 3, {1560, 1050, 1690, 1225}},  // bottom rule
                      RectCase{Grid(0, 2, 6, 1), 3, {3510, 175, 3640, 350}},    // right border
                      RectCase{Grid(0, 3, 2, 1), 3, {3900, 175, 4030, 525}},    // right of table
                      RectCase{Grid(0, 0, -2, 1), 3, {1300, 175, 1430, 525}},   // in the margin
                      RectCase{
                          Grid(1, 3, 0, 0), 0, {3640, 562, 3760, 662}}));  // a space (120) wide

TEST_F(TableQueries, RectanglesInCellsSitAtTheCellsOriginAndBasesMoveThemUp) {
  const platform::RECT start = Rect(InCell(1, 1), 3);
  EXPECT_EQ(start.left, 2340);
  EXPECT_EQ(start.top, 700);
  const platform::RECT third = Rect(InCell(0, 0, 2), 3);
  EXPECT_EQ(third.left, 1690 + 2 * 130);
  const CVedTextPos base = Path(Grid(0, 0, 0, 1));
  EXPECT_EQ(Rect(Path(Grid(1, 0, 0, 1)), 3, &base).top, 700 - 175);
  // From a rule below the top one, shown as its 100-twip band (mode 0).
  const CVedTextPos ruleBase = Path(Grid(1, 0, 0, 0));
  EXPECT_EQ(Rect(InCell(1, 1), 0, &ruleBase).top, 700 - (525 + 87 - 50));
  CTableObject empty;
  t.Prepare(empty);
  platform::RECT rect{1, 1, 1, 1};
  empty.GetPositionRect(&rect, 3, nullptr, nullptr);
  EXPECT_EQ(rect, platform::RECT{});
}

TEST(TableQueriesThinRules, ARuleBelow100TwipsGivesItsOwnHeight) {
  TableFixture t;
  TableSpec spec;
  spec.heightRatio = 5;  // H = 70
  ASSERT_EQ(t.Load(t.Stream(spec)), 1);
  CVedTextPos top;
  t.table.TablePosToPath(Grid(0, 0, 2, 0), &top);
  platform::RECT rect{};
  t.table.GetPositionRect(&rect, 0, &top, nullptr);
  EXPECT_EQ(rect.top, 0);
  EXPECT_EQ(rect.bottom, 70);
}

TEST_F(TableQueries, FrameIsTheCellsBandAtItsOriginAndNoneOnTheGrid) {
  platform::RECT frame{};
  const CVedTextPos inCell = InCell(1, 1);
  table().GetFrameRect(&frame, &inCell);
  EXPECT_EQ(frame, (platform::RECT{2340, 700, 2730, 1050}));
  const CVedTextPos onGrid = Path(Grid(0, 0, 0, 0));
  table().GetFrameRect(&frame, &onGrid);
  EXPECT_EQ(frame, (platform::RECT{-1, -1, -1, -1}));
}

TEST_F(TableQueries, LinesAndColumnsCountRulesMarginAndCells) {
  EXPECT_EQ(table().CountLines(nullptr, nullptr), 5);
  const CVedTextPos row1 = Path(Grid(1, 0, 0, 0));
  EXPECT_EQ(table().CountLines(&row1, nullptr), 3);
  int32_t line = 0;
  int32_t column = 0;
  const CVedTextPos inRow1 = Path(Grid(1, 1, 2, 1));
  ASSERT_EQ(table().GetLineColumn(&line, &column, &inRow1, nullptr), 1);
  EXPECT_EQ(line, 4);
  EXPECT_EQ(column, 12 + 5 + 2 + 1);  // margin, column 0 and its rule, x
  const CVedTextPos base = Path(Grid(0, 1, 0, 1));
  table().GetLineColumn(&line, &column, &inRow1, &base);
  EXPECT_EQ(line, 3);
  EXPECT_EQ(column, 3);
  const CVedTextPos toEnd;
  table().GetLineColumn(&line, &column, &toEnd, nullptr);
  EXPECT_EQ(line, 5);
  // The third character of cell (0, 0) stands right of the left rule and
  // two characters.
  const CVedTextPos third = InCell(0, 0, 2);
  table().GetLineColumn(&line, &column, &third, nullptr);
  EXPECT_EQ(line, 2);
  EXPECT_EQ(column, 12 + 1 + 2 + 1);
}

TEST_F(TableQueries, LineAndColumnLeadBackToTheSamePlace) {
  const std::vector<CVedTextPos> places = {Path(Grid(0, 0, 0, 0)),  Path(Grid(0, 1, 2, 0)),
                                           Path(Grid(1, 0, 0, 1)),  Path(Grid(1, 2, 6, 2)),
                                           Path(Grid(0, 0, -3, 1)), Path(Grid(1, 3, 4, 1)),
                                           InCell(0, 0, 3),         InCell(1, 1, 1)};
  for (const CVedTextPos& place : places) {
    int32_t line = 0;
    int32_t column = 0;
    ASSERT_EQ(table().GetLineColumn(&line, &column, &place, nullptr), 1);
    CVedTextPos back;
    EXPECT_EQ(table().PositionFromLineColumn(line, column, nullptr, &back), line);
    EXPECT_EQ(table().ComparePositions(&back, &place), kCompareEqual) << line << "," << column;
  }
  CVedTextPos past;
  EXPECT_EQ(table().PositionFromLineColumn(9, 1, nullptr, &past), 5);
  EXPECT_EQ(past, Path(table().LastRowEnd()));
}

TEST_F(TableQueries, HeightsRunFromTopsOfLineBoxes) {
  EXPECT_EQ(table().GetHeight(nullptr, nullptr), kTableHeight);
  EXPECT_EQ(table().GetTotalHeight(), kTableHeight);
  // A rule below the top one counts from its middle less the line's
  // thickness word (10).
  const CVedTextPos rule = Path(Grid(1, 0, 0, 0));
  EXPECT_EQ(table().GetHeight(&rule, nullptr), kTableHeight - (525 + 87 - 10));
  const CVedTextPos top = Path(Grid(0, 0, 0, 0));
  EXPECT_EQ(table().GetHeight(&top, nullptr), kTableHeight);
  const CVedTextPos inRow0 = Path(Grid(0, 0, 0, 1));
  EXPECT_EQ(table().GetHeight(nullptr, &inRow0), 350);
}

TEST_F(TableQueries, PageLinesAreRowBandsThatAddUpToTheTable) {
  LineMetrics grid;
  const CVedTextPos rule = Path(Grid(0, 1, 0, 0));
  table().GetLineMetrics(&grid, &rule);
  EXPECT_EQ(grid.height, 175);
  EXPECT_EQ(grid.endKind, 11);
  LineMetrics first;
  LineMetrics last;
  const CVedTextPos row0 = Path(Grid(0, 0, 0, 1));
  const CVedTextPos row1 = Path(Grid(1, 0, 0, 1));
  table().GetPageLineMetrics(&first, &row0);
  table().GetPageLineMetrics(&last, &row1);
  EXPECT_EQ(first.height, 350 + 175 + 87 - 10);
  EXPECT_EQ(last.height, 350 + 350 + 10 - 87);
  EXPECT_EQ(first.height + last.height, kTableHeight);
  EXPECT_EQ(first.endKind, 11);

  TableFixture one;
  TableSpec spec;
  spec.rows = 1;
  ASSERT_EQ(one.Load(one.Stream(spec)), 1);
  LineMetrics only;
  one.table.GetPageLineMetrics(&only, nullptr);
  EXPECT_EQ(only.height, one.table.TableHeight());
}

TEST_F(TableQueries, PageLineStepsGoFromRowToRow) {
  struct Step {
    const CVedTextPos* from;
    int direction;
    int answer;
    int32_t row;
  };
  const CVedTextPos row0 = Path(Grid(0, 2, 1, 1));
  const CVedTextPos row1 = Path(Grid(1, 2, 1, 1));
  const Step steps[] = {{&row1, 0, 1, 1}, {&row0, 1, 1, 1},   {&row1, 1, 0, 0},  {&row1, 2, 1, 0},
                        {&row0, 2, 0, 0}, {nullptr, 1, 1, 1}, {nullptr, 2, 1, 0}};
  for (const Step& s : steps) {
    CVedTextPos out;
    EXPECT_EQ(table().StepPageLine(s.from, s.direction, &out), s.answer);
    if (s.answer == 1) {
      EXPECT_EQ(out, Path(Grid(s.row, 0, 0, 0)));
    }
  }
  CVedTextPos out;
  EXPECT_EQ(table().StepLine(&row0, 1, &out), 0);
}

TEST_F(TableQueries, FirstAndLastLinesFollowTheRuleGridFlag) {
  const CVedTextPos topRule = Path(Grid(0, 1, 2, 0));
  const CVedTextPos bottomRule = Path(Grid(1, 1, 2, 2));
  const CVedTextPos row0Text = InCell(0, 1);
  const CVedTextPos row1Text = InCell(1, 1);
  EXPECT_EQ(table().IsFirstLine(&topRule), 1);
  EXPECT_EQ(table().IsFirstLine(&row0Text), 0);
  EXPECT_EQ(table().IsLastLine(&bottomRule), 1);
  EXPECT_EQ(table().IsLastLine(&row1Text), 0);
  table().SetTableFlags(0x0100);
  EXPECT_EQ(table().IsFirstLine(&row0Text), 1);
  EXPECT_EQ(table().IsFirstLine(&row1Text), 0);
  EXPECT_EQ(table().IsLastLine(&row1Text), 1);
  EXPECT_EQ(table().IsLastLine(&row0Text), 0);
}

TEST_F(TableQueries, TheCaretIsSetAndReadAsAPath) {
  const CVedTextPos inCell = InCell(1, 1);
  ASSERT_EQ(table().SetCursor(&inCell), 1);
  CVedTextPos read;
  ASSERT_EQ(table().GetCursor(&read), 1);
  EXPECT_EQ(read, inCell);
  EXPECT_EQ(table().CaretTop(), 700);
  EXPECT_EQ(table().IsCaretOnCellLastLine(), 1);
  int32_t row = -1;
  int32_t column = -1;
  EXPECT_EQ(table().GetCellAt(nullptr, &row, &column), 1);
  EXPECT_EQ(row, 1);
  EXPECT_EQ(column, 1);

  // A cell that does not exist leaves the caret where it was.
  CVedTextPos nowhere = table().StripTablePairs(inCell);
  table().TablePosToPath({kCaretInCell, 5, 1, 0, 0}, &nowhere);
  EXPECT_EQ(table().SetCursor(&nowhere), 0);
  EXPECT_EQ(table().Caret(), (TableCaret{kCaretInCell, 1, 1, 0, 0}));

  // On the rule grid the caret stays on it; without the grid it goes into
  // the cell next to it.
  const CVedTextPos rule = Path(Grid(0, 3, 1, 0));
  ASSERT_EQ(table().SetCursor(&rule), 1);
  EXPECT_EQ(table().Caret(), Grid(0, 3, 1, 0));
  EXPECT_EQ(table().GetCellAt(nullptr, &row, &column), 0);
  EXPECT_EQ(column, 3);
  EXPECT_EQ(table().GetCellContentAt(nullptr), table().CellOf(2, 0)->GetFirstChild());
  CharFormat format;
  EXPECT_EQ(table().GetCursorFormat(0, &format), 0);
  table().SetTableFlags(0x0100);
  ASSERT_EQ(table().SetCursor(&rule), 1);
  EXPECT_EQ(table().Caret().mode, kCaretInCell);
  EXPECT_EQ(table().Caret().column, 2);
}

TEST_F(TableQueries, PositionsCompareByLineBoxTopThenLeft) {
  const CVedTextPos a = Path(Grid(0, 0, 0, 0));
  const CVedTextPos b = Path(Grid(0, 1, 1, 0));
  const CVedTextPos c = Path(Grid(1, 0, 0, 1));
  EXPECT_EQ(table().ComparePositions(&a, &b), kCompareBefore);
  EXPECT_EQ(table().ComparePositions(&b, &a), kCompareAfter);
  EXPECT_EQ(table().ComparePositions(&b, &c), kCompareBefore);
  EXPECT_EQ(table().ComparePositions(&a, &a), kCompareEqual);
  // Two characters on one line of a cell keep their order.
  const CVedTextPos first = InCell(0, 0, 1);
  const CVedTextPos second = InCell(0, 0, 3);
  EXPECT_EQ(table().ComparePositions(&first, &second), kCompareBefore);
  CVedTextPos foreign;
  foreign.PrependPair(kTagChildIndex, 0);
  EXPECT_EQ(table().ComparePositions(&foreign, &a), kCompareIncomparable);
}

TEST_F(TableQueries, LineAnchorsSitOnRowBands) {
  CVedAnchor anchor;
  const CVedTextPos row1 = Path(Grid(1, 0, 0, 1));
  ASSERT_EQ(table().SetAnchor(kAnchorLine, &anchor, &row1), 1);
  LineMetrics metrics;
  table().GetPageLineMetrics(&metrics, &row1);
  EXPECT_EQ(metrics.anchor, &anchor);
  EXPECT_EQ(table().FindAnchor(kAnchorLine, &row1, 1), &anchor);
  EXPECT_EQ(table().FindAnchor(kAnchorLine, &row1, 0), nullptr);
  EXPECT_EQ(table().FindAnchor(kAnchorLine, nullptr, 1), &anchor);
  const CVedTextPos row0 = Path(Grid(0, 0, 0, 1));
  EXPECT_EQ(table().FindAnchor(kAnchorLine, &row0, 1), nullptr);
  EXPECT_EQ(table().SetAnchor(kAnchorChar, &anchor, &row0), 0);
}

// Cells (0, 0) and (0, 1) joined: cell (1, 0) holds object 2, which the
// object arithmetic would place at (0, 2).
TEST(TableQueriesJoined, ACharAnchorIsNamedByItsCellRecord) {
  TableFixture t;
  TableSpec spec;
  spec.flags = {kJoinsRight, kJoinedLeft, 0, 0, 0, 0};
  ASSERT_EQ(t.Load(t.Stream(spec)), 1);
  t.table.RenumberCells();
  ASSERT_EQ(t.table.Records()[3].objectIndex, 2);
  CTableCellObj* cell = t.table.CellOf(0, 1);
  CVedTextPos at;
  cell->GetCursor(&at);
  t.table.TablePosToPath({kCaretInCell, 1, 0, 0, 0}, &at);
  CVedAnchor anchor;
  ASSERT_EQ(t.table.SetAnchor(kAnchorChar, &anchor, &at), 1);
  CVedAnchor* found = t.table.FindAnchor(kAnchorChar, nullptr, 0);
  ASSERT_EQ(found, &anchor);
  const auto& pairs = found->position.pairs;
  ASSERT_GE(pairs.size(), 5u);
  EXPECT_EQ(pairs[0].value, kCaretInCell);
  EXPECT_EQ(pairs[3].value, 1);  // row
  EXPECT_EQ(pairs[4].value, 0);  // column
}

// Cell (0, 0) reaches into row 1: both rows are one band, one page line
// as tall as the whole table, with no step inside it.
TEST(TableQueriesJoined, RowsJoinedByACellAreOnePageLine) {
  TableFixture t;
  TableSpec spec;
  spec.flags = {kJoinsBelow, 0, 0, kJoinedAbove, 0, 0};
  ASSERT_EQ(t.Load(t.Stream(spec)), 1);
  t.table.RenumberCells();
  CVedTextPos row0;
  CVedTextPos row1;
  t.table.TablePosToPath(Grid(0, 1, 1, 1), &row0);
  t.table.TablePosToPath(Grid(1, 1, 1, 1), &row1);
  LineMetrics band;
  t.table.GetPageLineMetrics(&band, &row1);
  EXPECT_EQ(band.height, t.table.TableHeight());
  CVedTextPos out;
  EXPECT_EQ(t.table.StepPageLine(&row0, 1, &out), 0);
  ASSERT_EQ(t.table.StepPageLine(&row1, 0, &out), 1);
  CVedTextPos start;
  t.table.TablePosToPath(Grid(0, 0, 0, 0), &start);
  EXPECT_EQ(out, start);
  CVedAnchor anchor;
  ASSERT_EQ(t.table.SetAnchor(kAnchorLine, &anchor, &row1), 1);
  EXPECT_EQ(t.table.RowRecords()[0].anchor, &anchor);
}

TEST_F(TableQueries, MergingSplittingAndAdjustingChangeNothing) {
  EditResult result;
  result.changed = 5;
  EXPECT_EQ(table().MergeFrom(nullptr, 0, &result), 0);
  EXPECT_EQ(result.changed, 0);
  result.changed = 5;
  EXPECT_EQ(table().SplitInto(nullptr, nullptr, &result), 0);
  EXPECT_EQ(result.changed, 0);
  CVedTextRange in;
  in.start = Path(Grid(0, 0, 0, 0));
  in.end = Path(Grid(1, 1, 1, 1));
  CVedTextRange out;
  EXPECT_EQ(table().AdjustRange(&in, &out), 1);
  EXPECT_EQ(out.start, in.start);
  EXPECT_EQ(out.end, in.end);
}

// ---- Page formats

class TablePageFormats : public TableQueries {
 protected:
  PageFormat Narrowed(int32_t textWidth) {
    PageFormat f = t.f.format;
    f.textWidth = textWidth;
    return f;
  }
};

TEST_F(TablePageFormats, FitsAsItIsOrTooNarrowForOneCharacterPerColumn) {
  PageFormat same = t.f.format;
  EXPECT_EQ(table().CheckPageFormat(&same), kFormatFits);
  const PageFormat narrow = Narrowed(7 * 130 - 1);
  EXPECT_EQ(table().CheckPageFormat(&narrow), kFormatTooWide);
}

// Columns of 4, 3 and 5 characters must give up 9 between them to fit 7
// characters (one per column and four rules). The proportional shares are
// 2, 2 and 3; two more are found one at a time.
TEST_F(TablePageFormats, ColumnShrinkFindsEveryMissingCharacter) {
  const PageFormat f = Narrowed(7 * 130);
  EXPECT_EQ(table().CheckPageFormat(&f), kFormatFits);
  ASSERT_EQ(table().ApplyPageFormat(&f), 1);
  EXPECT_EQ(table().ColumnWidths(), (std::vector<int32_t>{130, 130, 130}));
  EXPECT_EQ(table().TableWidth(), 7 * 130);
  EXPECT_EQ(table().LeftOffset(), 0);
  EXPECT_EQ(t.CellText(0, 0), "abcd");
  EXPECT_EQ(table().CellOf(0, 0)->GetHeight(nullptr, nullptr), table().RowHeights()[0]);
  EXPECT_GT(table().RowHeights()[0], 350);  // "abcd" now takes several lines
}

TEST_F(TablePageFormats, RulesKeepTheirShareOfThePitch) {
  PageFormat f = t.f.format;
  f.charPitch = 2 * 130;
  ASSERT_EQ(table().ApplyPageFormat(&f), 1);
  EXPECT_EQ(table().RuleWidth(), 260);
  EXPECT_EQ(table().RuleHeight(), 175);
  // 4, 3 and 5 characters of 130 become whole characters of 260.
  EXPECT_EQ(table().ColumnWidths(), (std::vector<int32_t>{520, 520, 780}));
  EXPECT_EQ(table().TableWidth(), 4 * 260 + 520 + 520 + 780);
}

// W = 13 at a pitch of 130 would come out as 9 x 13 / 130 = 0 at a pitch
// of 9; the next change would then divide by that rule width.
TEST(TableRuleRatios, ARuleNeverShrinksToNothingAcrossPitchChanges) {
  TableFixture t;
  TableSpec spec;
  spec.widthRatio = 10;
  ASSERT_EQ(t.Load(t.Stream(spec)), 1);
  ASSERT_EQ(t.table.RuleWidth(), 13);
  PageFormat f = t.f.format;
  f.charPitch = 9;
  ASSERT_EQ(t.table.ApplyPageFormat(&f), 1);
  EXPECT_EQ(t.table.RuleWidth(), 1);
  f.charPitch = 130;
  ASSERT_EQ(t.table.ApplyPageFormat(&f), 1);
  EXPECT_EQ(t.table.RuleWidth(), 130 * 1 / 9);
  // Widths rounded up to whole characters twice: 520, 390, 650 became
  // 522, 396, 657 and then 650, 520, 780.
  EXPECT_EQ(t.table.ColumnWidths(), (std::vector<int32_t>{650, 520, 780}));
  EXPECT_EQ(t.table.TableWidth(), 4 * 14 + 650 + 520 + 780);
}

TEST_F(TablePageFormats, ZeroPitchesAreRefused) {
  PageFormat f = t.f.format;
  f.charPitch = 0;
  EXPECT_EQ(table().CheckPageFormat(&f), kFormatTooWide);
  EXPECT_EQ(table().ApplyPageFormat(&f), 0);
  EXPECT_EQ(table().RuleWidth(), 130);
  EXPECT_EQ(table().Format().charPitch, 130);
}

TEST_F(TablePageFormats, AWiderTextRecentresTheTableAndKeepsTheCaretValid) {
  const CVedTextPos right = Path(Grid(0, 3, 10, 1));
  ASSERT_EQ(table().SetCursor(&right), 1);
  const PageFormat f = Narrowed(20 * 130);
  ASSERT_EQ(table().ApplyPageFormat(&f), 1);
  EXPECT_EQ(table().LeftOffset(), 1300 - 1040);
  const TableCaret caret = table().Caret();
  EXPECT_LE(caret.x, table().ColumnSpan(caret.column));
  EXPECT_EQ(table().CaretTop(), 175);
}

}  // namespace
}  // namespace table_test

namespace table_test {
namespace {

// A table made by a container's factory and placed after a text child:
// the container's measures, kinds, lines and caret go through the table's
// answers, moved by the text above it.
TEST(TableInContainer, TheContainerAsksTheTableForItsPlaces) {
  container_test::ContainerFixture f(20);
  f.TypeIntoFirst("ab");
  CDocObject* child = f.container.CreateChildObject(kObjectTable);
  ASSERT_NE(child, nullptr);
  auto* table = static_cast<CTableObject*>(child);
  const TableLayout layout{kPlaceLeft, kPitch, kLinePitch / 2, {}};
  EditResult built;
  ASSERT_TRUE(table->Create(2, 3, 13 * kPitch, layout, &built));
  f.container.Children().InsertAt(
      1, ChildEntry{child, kObjectTable, table->GetHeight(nullptr, nullptr), {}});
  f.Settle();
  const int32_t textHeight = f.Heights()[0];
  const int32_t textLines = f.Child(0)->CountLines(nullptr, nullptr);
  EXPECT_EQ(f.Heights()[1], table->GetTotalHeight());
  EXPECT_EQ(f.container.GetHeight(nullptr, nullptr), textHeight + table->GetTotalHeight());
  EXPECT_EQ(f.container.CountLines(nullptr, nullptr), textLines + 5);

  CVedTextPos inCell;
  table->CellOf(1, 1)->GetCursor(&inCell);
  table->TablePosToPath({kCaretInCell, 1, 1, 0, 0}, &inCell);
  const CVedTextPos atCell = container_test::InChild(1, inCell);
  platform::RECT rect{};
  f.container.GetPositionRect(&rect, 3, &atCell, nullptr);
  EXPECT_EQ(rect.top, textHeight + table->GetCellRect(1, 1).top);
  EXPECT_EQ(rect.left, table->GetCellRect(1, 1).left);

  ObjectDescription kind{};
  f.container.GetKindAt(&atCell, &kind);
  EXPECT_EQ(kind[0], kObjectTable);
  EXPECT_EQ(kind[1], kSubKindCellText);

  int32_t line = 0;
  int32_t column = 0;
  f.container.GetLineColumn(&line, &column, &atCell, nullptr);
  EXPECT_EQ(line, textLines + 4);

  ASSERT_EQ(f.container.SetCursor(&atCell), 1);
  CVedTextPos read;
  f.container.GetCursor(&read);
  EXPECT_EQ(read, atCell);
  CVedTextPos topRule;
  table->TablePosToPath({kCaretOnGrid, 0, 0, 0, 0}, &topRule);
  const CVedTextPos atRule = container_test::InChild(1, topRule);
  EXPECT_EQ(f.container.ComparePositions(&atRule, &atCell), kCompareBefore);
  EXPECT_EQ(f.container.ComparePositions(&atCell, &atRule), kCompareAfter);
}

}  // namespace
}  // namespace table_test
