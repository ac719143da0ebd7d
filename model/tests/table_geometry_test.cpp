#include <gtest/gtest.h>

#include <string>

#include "model/table_object.h"
#include "model/texts.h"
#include "platform/sjis.h"
#include "table_fixture.h"

namespace table_test {
namespace {

// A 2 x 3 table, columns of 4, 3 and 5 characters, centred in a text width
// of 5200 twips. W = pitch = 130, H = line pitch / 2 = 175.
//   left offset 1560 (12 characters of margin), table width 4 x 130 + 1560
//   = 2080; column rules start at 1560, 2210, 2730 and the right border at
//   3510; right of the table from 3640, 11 characters (span 11).
//   Rows: top rule 0-175, row 0 text 175-525, rule 525-700, row 1 text
//   700-1050, bottom rule 1050-1225.
constexpr int32_t kLeft = 1560;
constexpr int32_t kRightOfTable = 3640;

class Table2x3 : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(t.Load(t.Stream(TableSpec{})), 1); }

  // The box character written at a grid position, "" when none.
  std::string Box(const GridPoint& g) {
    platform::CMemFile file;
    int answer = 0;
    {
      platform::CArchive archive(&file, platform::CArchive::kStore);
      const TableCaret at{kCaretOnGrid, g.row, g.column, g.x, g.y};
      answer = t.table.ExportBoundaryChar(archive, at, at);
      archive.Close();
    }
    std::string written(reinterpret_cast<const char*>(file.Data()), file.GetLength());
    EXPECT_EQ(answer, written.empty() ? 0 : 1);
    return written;
  }

  TableFixture t;
};

TEST_F(Table2x3, MeasuresFollowThePitchesAndThePlacement) {
  const CTableObject& table = t.table;
  EXPECT_EQ(table.RuleWidth(), 130);
  EXPECT_EQ(table.RuleHeight(), 175);
  EXPECT_EQ(table.TableWidth(), 2080);
  EXPECT_EQ(table.LeftOffset(), kLeft);
  EXPECT_EQ(table.TableHeight(), 1225);
  EXPECT_EQ(table.HorizontalRuleCount(), 9);
  EXPECT_EQ(table.VerticalRuleCount(), 8);
  EXPECT_EQ(table.GetCellRect(1, 1), (platform::RECT{2340, 700, 2730, 1050}));
  EXPECT_EQ(table.GetLineRect(kRuleHorizontal, 7), (platform::RECT{2210, 1050, 2860, 1225}));
  EXPECT_EQ(table.GetLineRect(kRuleVertical, 7), (platform::RECT{3510, 525, 3640, 1225}));
  EXPECT_EQ(table.ColumnSpan(0), 4);
  EXPECT_EQ(table.ColumnSpan(2), 6);  // the last column takes in its right rule
  EXPECT_EQ(table.ColumnSpan(3), 11);
  EXPECT_EQ(table.RowSpan(0), 1);
  EXPECT_EQ(table.RowSpan(1), 2);  // the last row takes in the bottom rule
  EXPECT_EQ(table.ColumnsThatFit(0), 7);
}

struct GridCase {
  int32_t x, y;
  GridPoint grid;
  const char* box;  // UTF-8, "" for none
};

class GridCases : public Table2x3, public ::testing::WithParamInterface<GridCase> {};

TEST_P(GridCases, PointGridAndBoxExportAgree) {
  const GridCase& c = GetParam();
  const GridPoint g = t.table.PointToGrid(c.x, c.y);
  EXPECT_EQ(g, c.grid);
  EXPECT_EQ(Box(g), platform::Utf8ToSjis(c.box).value());
  EXPECT_EQ(
      t.table.IsOnHorizontalLine(g.row, g.y) && t.table.IsOnVerticalLine(g.column, g.x) && g.x >= 0,
      std::string(c.box).size() == 3 && std::string(c.box) != "─" && std::string(c.box) != "│");
}

INSTANTIATE_TEST_SUITE_P(
    Table, GridCases,
    ::testing::Values(
        GridCase{1600, 10, {0, 0, 0, 0}, "┌"}, GridCase{2220, 10, {0, 1, 0, 0}, "┬"},
        GridCase{3520, 10, {0, 2, 6, 0}, "┐"}, GridCase{1600, 600, {1, 0, 0, 0}, "├"},
        GridCase{2220, 600, {1, 1, 0, 0}, "┼"}, GridCase{3520, 600, {1, 2, 6, 0}, "┤"},
        GridCase{1600, 1100, {1, 0, 0, 2}, "└"}, GridCase{2800, 1100, {1, 2, 0, 2}, "┴"},
        GridCase{3520, 1100, {1, 2, 6, 2}, "┘"}, GridCase{1700, 10, {0, 0, 1, 0}, "─"},
        GridCase{1600, 300, {0, 0, 0, 1}, "│"}, GridCase{3520, 800, {1, 2, 6, 1}, "│"},
        GridCase{1700, 200, {0, 0, 1, 1}, ""}, GridCase{100, 10, {0, 0, -12, 0}, ""},
        GridCase{3700, 10, {0, 3, 0, 0}, ""}, GridCase{5000, 10, {0, 3, 10, 0}, ""},
        GridCase{9000, 10, {0, 3, 11, 0}, ""}, GridCase{1600, 5000, {1, 0, 0, 2}, "└"}));

// Walking across the text width one half pitch at a time, the global grid
// column of every point is its character cell (the rules are one pitch
// wide here), and down the table the global line never jumps.
TEST_F(Table2x3, GlobalGridColumnsAndLinesRunWithoutGaps) {
  for (int32_t x = 0; x < t.f.format.textWidth; x += kPitch / 2) {
    const GridPoint g = t.table.PointToGrid(x, 10);
    EXPECT_EQ(t.table.GridXOf(g.column, g.x), x / kPitch) << "x = " << x;
  }
  int32_t last = 0;
  for (int32_t y = 0; y < t.table.TableHeight(); y += 25) {
    const GridPoint g = t.table.PointToGrid(1600, y);
    const int32_t line = t.table.GridYOf(g.row, g.y);
    EXPECT_TRUE(line == last || line == last + 1) << "y = " << y;
    last = line;
  }
  EXPECT_EQ(last, 4);  // two lines in row 0, three in the last row
  EXPECT_EQ(t.table.GridXOf(3, 0), kRightOfTable / kPitch);
}

TEST_F(Table2x3, HitTestClassifiesRulesCellsAndMargins) {
  TableHit hit;
  EXPECT_EQ(t.table.HitTest({2400, 800}, &hit), kHitCell);
  EXPECT_EQ(hit.row, 1);
  EXPECT_EQ(hit.column, 1);
  EXPECT_EQ(hit.cell, 4);
  EXPECT_EQ(t.table.HitTest({1600, 10}, &hit), kHitHorizontalRule | kHitVerticalRule);
  EXPECT_EQ(t.table.HitTest({100, 10}, &hit), kHitLeftOfTable);
  EXPECT_EQ(hit.cell, 0);
  EXPECT_EQ(t.table.HitTest({4000, 800}, &hit), kHitRightOfTable);
  EXPECT_EQ(hit.cell, -1);  // not on a horizontal rule
  EXPECT_EQ(hit.column, 3);
  EXPECT_EQ(t.table.HitTest({2400, 1225}, &hit), 0);  // at the table's bottom
  EXPECT_EQ(t.table.HitTest({-1, 10}, &hit), 0);
  EXPECT_EQ(t.table.RowAtY(1100), 2);
  EXPECT_EQ(t.table.RowAtY(300), -1);
}

TEST_F(Table2x3, ARuleNotDrawnIsNotHit) {
  TableSpec spec;
  TableFixture u;
  Bytes stream = u.Head(spec);
  for (int32_t p = 0; p < 6; ++p) {
    Append(&stream, u.CellBlock("", spec.widths[static_cast<size_t>(p % 3)] * kPitch));
    Append(&stream, RuleRecord(p == 0 ? 0 : 1));
    Append(&stream, RuleRecord());
  }
  for (int i = 0; i < 5; ++i) Append(&stream, RuleRecord());
  ASSERT_EQ(u.Load(stream), 1);
  TableHit hit;
  EXPECT_EQ(u.table.HitTest({1700, 10}, &hit), 0);
  EXPECT_EQ(u.table.HitTest({2400, 10}, &hit), kHitHorizontalRule);
}

TEST_F(Table2x3, ToCellPositionNeverLeavesTheGrid) {
  t.table.SetTableFlags(0);
  const TableCaret inMargin = t.table.ToCellPosition({kCaretOnGrid, 0, 0, -3, 0});
  EXPECT_EQ(inMargin, (TableCaret{kCaretInCell, 0, 0, 0, 0}));
  const TableCaret right = t.table.ToCellPosition({kCaretOnGrid, 1, 3, 5, 1});
  EXPECT_EQ(right, (TableCaret{kCaretInCell, 1, 2, 2, 1}));
  t.table.SetTableFlags(1);
  const TableCaret kept{kCaretOnGrid, 1, 3, 5, 1};
  EXPECT_EQ(t.table.ToCellPosition(kept), kept);
}

TEST_F(Table2x3, PlacementStartsOnAWholeCharacter) {
  TableFixture u;
  TableSpec spec;
  spec.widthRatio = 2;  // W = 65; the centred offset 1625 is no multiple of it
  ASSERT_EQ(u.Load(u.Stream(spec)), 1);
  EXPECT_EQ(u.table.TableWidth(), 4 * 65 + 1560);
  EXPECT_EQ(u.table.LeftOffset(), (5200 / 2 - 1820 / 2) / kPitch * kPitch);
  EXPECT_EQ(u.table.LeftOffset() % kPitch, 0);
}

TEST_F(Table2x3, ATallerCellMakesItsWholeRowTaller) {
  TableFixture u;
  TableSpec spec;
  spec.texts = {"", "a\rb\rc"};
  ASSERT_EQ(u.Load(u.Stream(spec)), 1);
  EXPECT_EQ(u.table.RowHeights()[0], 3 * kLinePitch);
  EXPECT_EQ(u.table.RowRecords()[0].height, 3 * kLinePitch);
  EXPECT_EQ(u.table.CellOf(0, 0)->GetHeight(nullptr, nullptr), 3 * kLinePitch);
  EXPECT_EQ(u.table.RowHeights()[1], kLinePitch);
}

TEST_F(Table2x3, ReflowKeepsTheContentAtTheNewWidth) {
  TableFixture u;
  TableSpec spec;
  spec.texts = {"abcd"};
  ASSERT_EQ(u.Load(u.Stream(spec)), 1);
  EXPECT_EQ(u.table.ReflowCell(0, 2 * kPitch), 1);
  EXPECT_EQ(u.CellText(0, 0), "abcd");
  EXPECT_EQ(u.table.ColumnWidths()[0], 2 * kPitch);
  PageFormat format;
  u.table.CellAt(0)->GetPageFormat(&format);
  EXPECT_EQ(format.textWidth, 2 * kPitch);
  EXPECT_EQ(u.table.ReflowCell(0, 2 * kPitch), 1);  // nothing to do
  EXPECT_EQ(u.table.ReflowCell(99, kPitch), 0);
}

}  // namespace
}  // namespace table_test

namespace table_test {
namespace {

// A cell holding something that cannot be carried over through a stream
// (here a table child whose own stream is not offered) keeps its content
// and its width, and the re-flow answers 0.
TEST(TableReflowTest, ContentThatCannotBeCarriedOverStaysWhereItWas) {
  TableFixture u;
  TableSpec spec;
  spec.texts = {"abcd"};
  ASSERT_EQ(u.Load(u.Stream(spec)), 1);
  CTableCellObj* cell = u.table.CellAt(0);
  CDocObject* nested = cell->CreateChildObject(kObjectTable);
  ASSERT_NE(nested, nullptr);
  cell->Children().InsertAt(1, ChildEntry{nested, kObjectTable, 0, {}});
  EXPECT_EQ(u.table.ReflowCell(0, 2 * kPitch), 0);
  EXPECT_EQ(u.table.CellAt(0), cell);
  EXPECT_EQ(u.CellText(0, 0), "abcd");
  EXPECT_EQ(cell->Children().GetTypeAt(1), kObjectTable);
  EXPECT_EQ(u.table.ColumnWidths()[0], 4 * kPitch);
}

}  // namespace
}  // namespace table_test

namespace table_test {
namespace {

TEST(TableStepTest, NeighboursSkipPositionsOfTheSameObject) {
  TableFixture u;
  TableSpec spec;
  spec.flags = {kJoinsRight, kJoinedLeft, 0, 0, 0, 0};
  ASSERT_EQ(u.Load(u.Stream(spec)), 1);
  u.table.RenumberCells();
  int32_t column = 0;
  int32_t row = 0;
  EXPECT_EQ(u.table.FindNeighbourCell(4, &column, &row), 2);
  EXPECT_EQ(column, 2);
  EXPECT_EQ(u.table.FindNeighbourCell(4, &column, &row), -1);
  EXPECT_EQ(column, 2);
  EXPECT_EQ(u.table.FindNeighbourCell(2, &column, &row), 5);
  EXPECT_EQ(row, 1);
  column = 1;
  row = 0;
  EXPECT_EQ(u.table.FindNeighbourCell(3, &column, &row), -1);
  EXPECT_EQ(u.table.FindCellEdge(3, &column, &row), 0);
  EXPECT_EQ(column, 0);
  EXPECT_EQ(u.table.FindCellEdge(6, &column, &row), 1);  // object of position 2
  EXPECT_EQ(column, 2);
}

struct StepCase {
  int32_t column, row, x, y;
  int32_t next, previous;
};

class StepCases : public ::testing::TestWithParam<StepCase> {};

TEST_P(StepCases, CellsFollowInReadingOrder) {
  TableFixture u;
  ASSERT_EQ(u.Load(u.Stream(TableSpec{})), 1);
  const StepCase& c = GetParam();
  EXPECT_EQ(u.table.NextCellPosition(c.column, c.row, c.x, c.y), c.next);
  EXPECT_EQ(u.table.PreviousCellPosition(c.column, c.row, c.x, c.y), c.previous);
}

// Row 0 holds positions 0-2, row 1 positions 3-5; row 0 has one text line
// (y 1), the last row two, its bottom rule at y 2.
INSTANTIATE_TEST_SUITE_P(Table, StepCases,
                         ::testing::Values(StepCase{0, 0, 0, 0, 0, -1},    // top-left corner
                                           StepCase{1, 0, 0, 1, 1, 0},     // left rule of cell 1
                                           StepCase{2, 0, 6, 1, 3, 2},     // right border, row 0
                                           StepCase{0, 0, -3, 1, 0, -1},   // left margin
                                           StepCase{3, 0, 4, 1, 3, 2},     // right of the table
                                           StepCase{1, 1, 0, 0, 3, 2},     // rule above row 1
                                           StepCase{1, 1, 2, 1, 5, 4},     // inside cell 4
                                           StepCase{2, 1, 6, 2, -1, 5}));  // bottom-right corner

}  // namespace
}  // namespace table_test

namespace table_test {
namespace {

TEST(TableRowTest, ARowShrinksBackToItsTallestCell) {
  TableFixture u;
  TableSpec spec;
  spec.texts = {"a\rb", "a\rb\rc\rd"};
  ASSERT_EQ(u.Load(u.Stream(spec)), 1);
  ASSERT_EQ(u.table.RowHeights()[0], 4 * kLinePitch);
  EditResult deleted;
  ASSERT_NE(u.table.CellAt(1)->DeleteRange(nullptr, nullptr, &deleted), 0);
  EXPECT_EQ(u.table.RecalcRowHeight(-1, 0), 2 * kLinePitch);
  EXPECT_EQ(u.table.RowRecords()[0].height, 2 * kLinePitch);
  for (int32_t c = 0; c < 3; ++c) {
    EXPECT_EQ(u.table.CellOf(c, 0)->GetHeight(nullptr, nullptr), 2 * kLinePitch);
  }
}

}  // namespace
}  // namespace table_test
