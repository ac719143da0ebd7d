#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "table_fixture.h"

namespace table_test {
namespace {

constexpr int32_t kRuleW = kPitch;               // one vertical rule
constexpr int32_t kRuleH = kLinePitch / 2;       // one horizontal rule
constexpr int32_t kTextWidth = 20 * 2 * kPitch;  // the fixture's 40 characters

TableLayout Layout(int32_t w = kRuleW, int32_t h = kRuleH) {
  TableLayout layout;
  layout.verticalRuleWidth = w;
  layout.horizontalRuleHeight = h;
  return layout;
}

// A table position's five pairs, written out.
CVedTextPos Pos(int32_t mode, int32_t row, int32_t column, int32_t x, int32_t y) {
  CVedTextPos path;
  path.PrependPair(0x204, column);
  path.PrependPair(0x203, row);
  path.PrependPair(0x204, y);
  path.PrependPair(0x203, x);
  path.PrependPair(0x201, mode);
  return path;
}

// A temporary's address, alive to the end of the full expression.
const CVedTextPos* Ref(const CVedTextPos& path) { return &path; }

CVedTextPos Head(const CVedTextPos& path) {
  CVedTextPos head;
  for (int i = kTablePairCount - 1; i >= 0; --i) {
    head.PrependPair(path.pairs[static_cast<size_t>(i)].tag,
                     path.pairs[static_cast<size_t>(i)].value);
  }
  return head;
}

LineStyleChange Thickness(int32_t value) {
  LineStyleChange change;
  change.mask = kChangeThickness;
  change.thickness = value;
  return change;
}

// Every array of the table, each element made recognisable: cells by their
// text, segments by a thickness given each one before the edit.
struct Arrays {
  std::vector<int32_t> widths;  // characters
  std::vector<int32_t> heights;
  std::vector<int32_t> rowRecords;
  std::vector<int32_t> objects;  // record -> object index
  std::vector<int32_t> bands;
  std::vector<std::string> cells;  // in object order
  std::vector<int32_t> across;     // horizontal segments
  std::vector<int32_t> down;       // vertical segments
  bool operator==(const Arrays&) const = default;
};

void PrintTo(const Arrays& a, std::ostream* os) {
  auto list = [os](const char* name, const auto& v) {
    *os << name << ":";
    for (const auto& e : v) *os << " " << e;
    *os << "\n";
  };
  list("widths", a.widths);
  list("heights", a.heights);
  list("rowRecords", a.rowRecords);
  list("objects", a.objects);
  list("bands", a.bands);
  list("cells", a.cells);
  list("across", a.across);
  list("down", a.down);
}

// The 2x3 table, three characters a column, in a 40-character text: cells
// "a".."f" row by row, horizontal segments 100..108, vertical 200..207.
class TableOperationsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    EditResult built;
    ASSERT_TRUE(t.table.Create(2, 3, 13 * kPitch, Layout(), &built));
    for (int32_t i = 0; i < 6; ++i) {
      EditResult typed;
      t.table.CellAt(i)->InsertText(std::string(1, static_cast<char>('a' + i)), &typed);
    }
    for (int32_t i = 0; i < t.table.HorizontalRuleCount(); ++i) {
      t.table.HorizontalRule(i)->ApplyChange(Thickness(100 + i));
    }
    for (int32_t i = 0; i < t.table.VerticalRuleCount(); ++i) {
      t.table.VerticalRule(i)->ApplyChange(Thickness(200 + i));
    }
  }

  std::string TextOf(CTableCellObj* cell) {
    platform::CMemFile file;
    {
      platform::CArchive archive(&file, platform::CArchive::kStore);
      cell->GetFirstChild()->SerializeRange(archive, kFormatPlainText, 0, nullptr, nullptr,
                                            nullptr);
      archive.Close();
    }
    return std::string(reinterpret_cast<const char*>(file.Data()), file.GetLength());
  }

  static int32_t ThicknessOf(const CLineStyle* style) {
    LineStyleAttributes attributes;
    style->GetAttributes(&attributes);
    return attributes.thickness;
  }

  Arrays Snapshot() {
    Arrays a;
    const CTableObject& x = t.table;
    for (int32_t w : x.ColumnWidths()) a.widths.push_back(w / kPitch);
    a.heights = x.RowHeights();
    for (const TableRowRecord& r : x.RowRecords()) a.rowRecords.push_back(r.height);
    for (const TableCellRecord& r : x.Records()) {
      a.objects.push_back(r.objectIndex);
      a.bands.push_back(r.rowBand);
    }
    for (int32_t i = 0; i < x.CellCount(); ++i) a.cells.push_back(TextOf(x.CellAt(i)));
    for (int32_t i = 0; i < x.HorizontalRuleCount(); ++i) {
      a.across.push_back(ThicknessOf(x.HorizontalRule(i)));
    }
    for (int32_t i = 0; i < x.VerticalRuleCount(); ++i) {
      a.down.push_back(ThicknessOf(x.VerticalRule(i)));
    }
    return a;
  }

  // Invariants every structural edit keeps.
  void ExpectConsistent() {
    const CTableObject& x = t.table;
    const auto rows = static_cast<size_t>(x.Rows());
    const auto columns = static_cast<size_t>(x.Columns());
    EXPECT_EQ(x.ColumnWidths().size(), columns);
    EXPECT_EQ(x.RowHeights().size(), rows);
    EXPECT_EQ(x.RowRecords().size(), rows);
    EXPECT_EQ(x.Records().size(), rows * columns);
    EXPECT_EQ(static_cast<size_t>(x.HorizontalRuleCount()), (rows + 1) * columns);
    EXPECT_EQ(static_cast<size_t>(x.VerticalRuleCount()), rows * (columns + 1));
    int32_t width = (x.Columns() + 1) * x.RuleWidth();
    for (int32_t w : x.ColumnWidths()) width += w;
    EXPECT_EQ(x.TableWidth(), width);
    for (const TableCellRecord& r : x.Records()) {
      EXPECT_GE(r.objectIndex, 0);
      EXPECT_LT(r.objectIndex, x.CellCount());
    }
  }

  void ExpectCaretAt(const EditResult& result, const TableCaret& caret) {
    EXPECT_EQ(t.table.Caret(), caret);
    ASSERT_GE(result.newCursor.depth, kTablePairCount);
    EXPECT_EQ(Head(result.newCursor), Pos(caret.mode, caret.row, caret.column, caret.x, caret.y));
    if (caret.mode == kCaretInCell) {
      EXPECT_GT(result.newCursor.depth, kTablePairCount);
    }
  }

  TableFixture t;
};

TEST_F(TableOperationsTest, CreateBuildsEveryArrayAndReportsTheWholeTable) {
  TableFixture fresh;
  EditResult built;
  ASSERT_TRUE(fresh.table.Create(2, 3, 13 * kPitch, Layout(), &built));
  EXPECT_EQ(built.changed, 1);
  EXPECT_EQ(built.rangeStart, Pos(2, 0, 0, 0, 0));
  EXPECT_EQ(built.startAux, Pos(2, 0, 0, 0, 0));
  // 13 characters of table in 40: 26 free, less the right rule position.
  EXPECT_EQ(built.rangeEnd, Pos(2, 1, 3, 26, 2));
  EXPECT_EQ(built.endAux, Pos(2, 1, 3, 26, 2));
  EXPECT_EQ(built.heightDelta, kRuleH + 2 * (kLinePitch + kRuleH));
  EXPECT_EQ(fresh.table.CaretTop(), kRuleH);
  EXPECT_EQ(fresh.table.TableWidth(), 13 * kPitch);
  EXPECT_EQ(fresh.table.CellCount(), 6);
  for (const TableRowRecord& r : fresh.table.RowRecords()) {
    EXPECT_EQ(r.anchor, nullptr);
    EXPECT_EQ(r.created, 1);
    EXPECT_EQ(r.fourth, 0);
  }
  PageFormat cell;
  fresh.table.CellAt(4)->GetPageFormat(&cell);
  EXPECT_EQ(cell.textWidth, 3 * kPitch);
  EXPECT_EQ(cell.textHeight, kLinePitch);
  EXPECT_EQ(Snapshot(), (Arrays{{3, 3, 3},
                                {kLinePitch, kLinePitch},
                                {kLinePitch, kLinePitch},
                                {0, 1, 2, 3, 4, 5},
                                {0, 0, 0, 1, 1, 1},
                                {"a", "b", "c", "d", "e", "f"},
                                {100, 101, 102, 103, 104, 105, 106, 107, 108},
                                {200, 201, 202, 203, 204, 205, 206, 207}}));
}

struct CreateCase {
  int32_t columns;
  int32_t widthChars;  // including the rules of one pitch each
  std::vector<int32_t> expected;
};

class CreateWidthsTest : public ::testing::TestWithParam<CreateCase> {};

TEST_P(CreateWidthsTest, FirstColumnsTakeTheRoundedUpSharesTheLastTheRest) {
  const CreateCase& c = GetParam();
  TableFixture t;
  EditResult built;
  ASSERT_TRUE(t.table.Create(1, c.columns, c.widthChars * kPitch + 7, Layout(), &built));
  std::vector<int32_t> widths;
  for (int32_t w : t.table.ColumnWidths()) widths.push_back(w / kPitch);
  EXPECT_EQ(widths, c.expected);
  int32_t sum = (t.table.Columns() + 1) * kRuleW;
  for (int32_t w : t.table.ColumnWidths()) sum += w;
  EXPECT_EQ(t.table.TableWidth(), sum);
  EXPECT_EQ(t.table.TableWidth(), c.widthChars * kPitch);  // the odd 7 twips are dropped
}

INSTANTIATE_TEST_SUITE_P(
    Shares, CreateWidthsTest,
    ::testing::Values(CreateCase{4, 44, {10, 10, 10, 9}}, CreateCase{3, 13, {3, 3, 3}},
                      CreateCase{3, 14, {4, 3, 3}}, CreateCase{1, 5, {3}},
                      // More columns than fit: as many as fit, one character each.
                      CreateCase{9, 9, {1, 1, 1, 1}}));

TEST(TableCreateTest, FailsWhenNoColumnFitsOrTheRulesCannotBeKept) {
  const struct {
    int32_t width;
    TableLayout layout;
  } cases[] = {
      {2 * kPitch, Layout()},                     // not one character between two rules
      {13 * kPitch, Layout(0, kRuleH)},           // no vertical rule
      {13 * kPitch, Layout(kRuleW, 0)},           // no horizontal rule
      {13 * kPitch, Layout(kPitch + 1, kRuleH)},  // wider than the pitch: not storable
      {13 * kPitch, Layout(kRuleW, kLinePitch + 1)},
  };
  for (const auto& c : cases) {
    TableFixture t;
    EditResult built;
    built.changed = 7;
    EXPECT_FALSE(t.table.Create(2, 3, c.width, c.layout, &built));
    EXPECT_EQ(built.changed, 0);
    EXPECT_EQ(t.table.IsEmpty(), 1);
  }
}

TEST_F(TableOperationsTest, InsertColumnGoesBeforeTheCaretColumnWithItsTemplates) {
  const CVedTextPos at = Pos(kCaretInCell, 1, 1, 0, 0);
  EditResult result;
  ASSERT_EQ(t.table.InsertColumn(&at, &result), 1);
  EXPECT_EQ(Snapshot(), (Arrays{{3, 3, 3, 3},
                                {kLinePitch, kLinePitch},
                                {kLinePitch, kLinePitch},
                                {0, 1, 2, 3, 4, 5, 6, 7},
                                {0, 0, 0, 0, 1, 1, 1, 1},
                                {"a", "", "b", "c", "d", "", "e", "f"},
                                {100, 104, 101, 102, 103, 104, 104, 105, 106, 104, 107, 108},
                                {200, 205, 201, 202, 203, 204, 205, 205, 206, 207}}));
  ExpectConsistent();
  EXPECT_EQ(result.changed, 1);
  EXPECT_EQ(result.heightDelta, 0);
  EXPECT_EQ(result.rangeStart, Pos(2, 0, 0, 0, 0));
  EXPECT_EQ(result.rangeEnd, Pos(2, 1, 4, 22, 2));
  EXPECT_EQ(result.startAux, Pos(2, 0, 1, 0, 0));
  EXPECT_EQ(result.endAux, Pos(2, 1, 1, 3, 2));
  ExpectCaretAt(result, {kCaretInCell, 0, 1, 0, 0});
}

TEST_F(TableOperationsTest, InsertColumnOnTheLastRightRuleAppends) {
  const CVedTextPos at = Pos(kCaretOnGrid, 0, 2, 4, 1);
  EditResult result;
  ASSERT_EQ(t.table.InsertColumn(&at, &result), 1);
  EXPECT_EQ(Snapshot(), (Arrays{{3, 3, 3, 3},
                                {kLinePitch, kLinePitch},
                                {kLinePitch, kLinePitch},
                                {0, 1, 2, 3, 4, 5, 6, 7},
                                {0, 0, 0, 0, 1, 1, 1, 1},
                                {"a", "b", "c", "", "d", "e", "f", ""},
                                {100, 101, 102, 102, 103, 104, 105, 102, 106, 107, 108, 102},
                                {200, 201, 202, 202, 203, 204, 205, 206, 202, 207}}));
  ExpectConsistent();
  EXPECT_EQ(result.startAux, Pos(2, 0, 3, 0, 0));
  EXPECT_EQ(result.endAux, Pos(2, 1, 3, 4, 2));  // the new last column takes the right rule
  ExpectCaretAt(result, {kCaretInCell, 0, 3, 0, 0});
}

TEST_F(TableOperationsTest, InsertRowGoesAboveTheCaretRowWithItsTemplates) {
  const CVedTextPos at = Pos(kCaretInCell, 1, 1, 0, 0);
  EditResult result;
  ASSERT_EQ(t.table.InsertRow(&at, &result), 1);
  EXPECT_EQ(Snapshot(), (Arrays{{3, 3, 3},
                                {kLinePitch, kLinePitch, kLinePitch},
                                {kLinePitch, kLinePitch, kLinePitch},
                                {0, 1, 2, 3, 4, 5, 6, 7, 8},
                                {0, 0, 0, 1, 1, 1, 2, 2, 2},
                                {"a", "b", "c", "", "", "", "d", "e", "f"},
                                {100, 101, 102, 104, 104, 104, 103, 104, 105, 106, 107, 108},
                                {200, 201, 202, 203, 205, 205, 205, 205, 204, 205, 206, 207}}));
  ExpectConsistent();
  EXPECT_EQ(result.heightDelta, kRuleH + kLinePitch);
  EXPECT_EQ(result.rangeStart, Pos(2, 1, 0, 0, 0));
  EXPECT_EQ(result.rangeEnd, Pos(2, 2, 3, 26, 2));
  EXPECT_EQ(result.startAux, Pos(2, 1, 0, 0, 0));
  EXPECT_EQ(result.endAux, Pos(2, 1, 2, 4, 1));
  ExpectCaretAt(result, {kCaretInCell, 1, 0, 0, 0});
}

TEST_F(TableOperationsTest, InsertRowOnTheBottomRuleAppends) {
  const CVedTextPos at = Pos(kCaretOnGrid, 1, 0, 1, 2);
  EditResult result;
  ASSERT_EQ(t.table.InsertRow(&at, &result), 1);
  EXPECT_EQ(Snapshot(), (Arrays{{3, 3, 3},
                                {kLinePitch, kLinePitch, kLinePitch},
                                {kLinePitch, kLinePitch, kLinePitch},
                                {0, 1, 2, 3, 4, 5, 6, 7, 8},
                                {0, 0, 0, 1, 1, 1, 2, 2, 2},
                                {"a", "b", "c", "d", "e", "f", "", "", ""},
                                {100, 101, 102, 103, 104, 105, 103, 103, 103, 106, 107, 108},
                                {200, 201, 202, 203, 204, 205, 206, 207, 204, 204, 204, 204}}));
  ExpectConsistent();
  EXPECT_EQ(result.rangeStart, Pos(2, 2, 0, 0, 0));
  EXPECT_EQ(result.endAux, Pos(2, 2, 2, 4, 2));  // the new last row takes the bottom rule
  ExpectCaretAt(result, {kCaretInCell, 2, 0, 0, 0});
}

TEST_F(TableOperationsTest, DeleteColumnTakesItsCellsWidthAndSegments) {
  const CVedTextPos at = Pos(kCaretInCell, 1, 1, 0, 0);
  EditResult result;
  ASSERT_EQ(t.table.DeleteColumn(&at, &result), 1);
  EXPECT_EQ(Snapshot(), (Arrays{{3, 3},
                                {kLinePitch, kLinePitch},
                                {kLinePitch, kLinePitch},
                                {0, 1, 2, 3},
                                {0, 0, 1, 1},
                                {"a", "c", "d", "f"},
                                {100, 102, 103, 105, 106, 108},
                                {200, 202, 203, 204, 206, 207}}));
  ExpectConsistent();
  EXPECT_EQ(result.changed, 1);
  EXPECT_EQ(result.heightDelta, 0);
  EXPECT_EQ(result.rangeStart, Pos(2, 0, 0, 0, 0));
  EXPECT_EQ(result.rangeEnd, Pos(2, 1, 2, 30, 2));
  EXPECT_TRUE(result.startAux.IsEmpty());
  ExpectCaretAt(result, {kCaretInCell, 0, 0, 0, 0});
}

TEST_F(TableOperationsTest, DeleteColumnUnderTheCaretLeavesItOnTheNewRightRule) {
  const CVedTextPos append = Pos(kCaretOnGrid, 0, 2, 4, 1);
  EditResult result;
  ASSERT_EQ(t.table.InsertColumn(&append, &result), 1);
  ASSERT_EQ(t.table.DeleteColumn(nullptr, &result), 1);  // the caret's column 3
  EXPECT_EQ(t.table.Columns(), 3);
  ExpectConsistent();
  ExpectCaretAt(result, {kCaretOnGrid, 0, 2, 4, 0});
}

TEST_F(TableOperationsTest, DeleteRowTakesItsCellsSegmentsAndDetachesItsAnchor) {
  CVedAnchor gone;
  CVedAnchor kept;
  gone.SetValue2(3);
  kept.SetValue2(4);
  t.table.RowRecords()[0].anchor = &gone;
  t.table.RowRecords()[1].anchor = &kept;
  const CVedTextPos at = Pos(kCaretInCell, 0, 1, 0, 0);
  EditResult result;
  ASSERT_EQ(t.table.DeleteRow(&at, &result), 1);
  EXPECT_EQ(Snapshot(), (Arrays{{3, 3, 3},
                                {kLinePitch},
                                {kLinePitch},
                                {0, 1, 2},
                                {0, 0, 0},
                                {"d", "e", "f"},
                                {103, 104, 105, 106, 107, 108},
                                {204, 205, 206, 207}}));
  ExpectConsistent();
  EXPECT_EQ(gone.GetValue2(), CVedTag::kUnset);
  EXPECT_EQ(kept.GetValue2(), 4);
  EXPECT_EQ(t.table.RowRecords()[0].anchor, &kept);
  EXPECT_EQ(result.heightDelta, -(kLinePitch + kRuleH));
  EXPECT_EQ(result.rangeStart, Pos(2, 0, 0, 0, 0));
  EXPECT_EQ(result.rangeEnd, Pos(2, 0, 3, 26, 2));
  ExpectCaretAt(result, {kCaretInCell, 0, 0, 0, 0});
}

TEST_F(TableOperationsTest, DeleteRowUnderTheCaretLeavesItOnTheNewBottomRule) {
  const CVedTextPos append = Pos(kCaretOnGrid, 1, 0, 1, 2);
  EditResult result;
  ASSERT_EQ(t.table.InsertRow(&append, &result), 1);
  ASSERT_EQ(t.table.DeleteRow(nullptr, &result), 1);  // the caret's row 2
  ExpectConsistent();
  ExpectCaretAt(result, {kCaretOnGrid, 1, 0, 0, 2});
  EXPECT_EQ(result.rangeStart, Pos(2, 0, 0, 0, 0));
}

TEST_F(TableOperationsTest, DeletingTheLastColumnOrRowEmptiesTheTable) {
  TableFixture one;
  EditResult result;
  ASSERT_TRUE(one.table.Create(2, 1, 5 * kPitch, Layout(), &result));
  ASSERT_EQ(one.table.DeleteColumn(nullptr, &result), 1);
  EXPECT_EQ(result.heightDelta, -(3 * kRuleH + 2 * kLinePitch));
  EXPECT_EQ(one.table.IsEmpty(), 1);
  EXPECT_EQ(one.table.CellCount(), 0);

  ASSERT_TRUE(one.table.Create(1, 3, 13 * kPitch, Layout(), &result));
  ASSERT_EQ(one.table.DeleteRow(nullptr, &result), 1);
  EXPECT_EQ(result.changed, 1);
  EXPECT_EQ(result.heightDelta, -(kRuleH + kLinePitch));
  EXPECT_EQ(one.table.IsEmpty(), 1);
  EXPECT_EQ(one.table.Rows(), 0);
  EXPECT_EQ(one.table.Columns(), 0);
}

TEST_F(TableOperationsTest, PositionsBesideTheTableChangeNothing) {
  using Op = int (CTableObject::*)(const CVedTextPos*, EditResult*);
  const Op ops[] = {&CTableObject::InsertColumn, &CTableObject::InsertRow,
                    &CTableObject::DeleteColumn, &CTableObject::DeleteRow};
  const CVedTextPos beside[] = {Pos(kCaretOnGrid, 0, 0, -1, 1), Pos(kCaretOnGrid, 1, 3, 2, 1)};
  const Arrays before = Snapshot();
  for (Op op : ops) {
    for (const CVedTextPos& at : beside) {
      EditResult result;
      result.changed = 5;
      EXPECT_EQ((t.table.*op)(&at, &result), 0);
      EXPECT_EQ(result.changed, 0);
    }
  }
  EXPECT_EQ(Snapshot(), before);
}

TEST_F(TableOperationsTest, ATableAsWideAsTheTextGainsNoColumn) {
  TableFixture wide;
  EditResult result;
  ASSERT_TRUE(wide.table.Create(2, 3, kTextWidth, Layout(), &result));
  EXPECT_EQ(wide.table.InsertColumn(nullptr, &result), 0);
  EXPECT_EQ(wide.table.Columns(), 3);
  // One character short of the text: the new column is cut to what is left.
  TableFixture near;
  ASSERT_TRUE(near.table.Create(1, 2, kTextWidth - 3 * kPitch, Layout(), &result));
  ASSERT_EQ(near.table.InsertColumn(nullptr, &result), 1);
  EXPECT_EQ(near.table.ColumnWidths()[0], 2 * kPitch);
  EXPECT_EQ(near.table.TableWidth(), kTextWidth);
}

TEST_F(TableOperationsTest, SetColumnWidthReflowsTheColumnAndKeepsItsText) {
  const CVedTextPos at = Pos(kCaretInCell, 1, 1, 0, 0);
  EditResult result;
  ASSERT_EQ(t.table.SetColumnWidth(&at, 5, &result), 1);
  EXPECT_EQ(t.table.GetColumnWidthAt(&at), 5);
  EXPECT_EQ(t.table.TableWidth(), 15 * kPitch);
  EXPECT_EQ(Snapshot().cells, (std::vector<std::string>{"a", "b", "c", "d", "e", "f"}));
  for (int32_t row = 0; row < 2; ++row) {
    PageFormat format;
    t.table.CellOf(1, row)->GetPageFormat(&format);
    EXPECT_EQ(format.textWidth, 5 * kPitch);
  }
  ExpectConsistent();
  EXPECT_EQ(result.changed, 1);
  EXPECT_EQ(result.rangeStart, Pos(2, 0, 0, 0, 0));
  EXPECT_EQ(result.rangeEnd, Pos(2, 1, 3, 24, 2));
  ExpectCaretAt(result, {kCaretInCell, 0, 0, 0, 0});
}

TEST_F(TableOperationsTest, SetColumnWidthRefusesNothingToDoAndWidthsBelowOneCharacter) {
  const CVedTextPos at = Pos(kCaretInCell, 0, 0, 0, 0);
  const Arrays before = Snapshot();
  for (int32_t width : {3, 0, -2}) {
    EditResult result;
    EXPECT_EQ(t.table.SetColumnWidth(&at, width, &result), 0) << width;
  }
  const CVedTextPos onRule = Pos(kCaretOnGrid, 0, 1, 0, 1);
  EditResult result;
  EXPECT_EQ(t.table.SetColumnWidth(&onRule, 5, &result), 0);
  const CVedTextPos onRightRule = Pos(kCaretOnGrid, 0, 2, 4, 1);
  EXPECT_EQ(t.table.SetColumnWidth(&onRightRule, 5, &result), 0);
  EXPECT_EQ(t.table.GetColumnWidthAt(Ref(Pos(kCaretOnGrid, 0, 3, 1, 1))), 0);
  EXPECT_EQ(Snapshot(), before);
}

TEST_F(TableOperationsTest, SetColumnWidthNeverGrowsPastTheText) {
  const CVedTextPos at = Pos(kCaretInCell, 0, 0, 0, 0);
  EditResult result;
  ASSERT_EQ(t.table.SetColumnWidth(&at, 40, &result), 1);
  EXPECT_EQ(t.table.TableWidth(), kTextWidth);
  EXPECT_EQ(t.table.GetColumnWidthAt(&at), 30);
  ExpectConsistent();
}

TEST_F(TableOperationsTest, LayoutChangesEverySegmentAndTheRuleSizes) {
  TableLayout layout;
  t.table.GetTableLayout(&layout);
  EXPECT_EQ(layout.placement, kPlaceLeft);
  EXPECT_EQ(layout.verticalRuleWidth, kRuleW);
  EXPECT_EQ(layout.horizontalRuleHeight, kRuleH);
  int32_t firstThickness = 0;
  std::memcpy(&firstThickness, layout.lineStyle + 8, 4);
  EXPECT_EQ(firstThickness, 100);

  TableLayout change = Layout(kRuleW / 2, kRuleH + 25);
  change.placement = kPlaceRight;
  const LineStyleChange thick = Thickness(30);
  std::memcpy(change.lineStyle, &thick, sizeof thick);
  EditResult result;
  ASSERT_EQ(t.table.SetTableLayout(change, &result), 1);
  EXPECT_EQ(result.heightDelta, 25 * 3);
  EXPECT_EQ(t.table.TableWidth(), 9 * kPitch + 4 * (kRuleW / 2));
  EXPECT_EQ(t.table.LeftOffset(), kTextWidth - t.table.TableWidth());
  const Arrays after = Snapshot();
  EXPECT_EQ(after.across, std::vector<int32_t>(9, 30));
  EXPECT_EQ(after.down, std::vector<int32_t>(8, 30));
  EXPECT_EQ(t.table.HorizontalRule(3)->GetLineHeight(), kRuleH + 25);
  ExpectConsistent();
  EXPECT_EQ(result.rangeStart, Pos(2, 0, 0, -(t.table.LeftOffset() / kPitch), 0));

  for (const TableLayout& bad :
       {Layout(0, kRuleH), Layout(kRuleW, 0), Layout(kPitch * 2, kRuleH)}) {
    EXPECT_EQ(t.table.SetTableLayout(bad, &result), 0);
    EXPECT_EQ(result.changed, 0);
  }
}

TEST_F(TableOperationsTest, LineOffsetsComeFromTheRuleSizeAndTheFirstSegmentsThickness) {
  t.table.HorizontalRule(0)->ApplyChange(Thickness(10));
  t.table.VerticalRule(0)->ApplyChange(Thickness(20));
  int32_t out[2] = {};
  EXPECT_EQ(t.table.GetLineOffsetAt(Ref(Pos(kCaretOnGrid, 1, 1, 2, 0)), out), 1);
  EXPECT_EQ(out[0], kRuleH / 2 - 10);
  EXPECT_EQ(out[1], kRuleH - kRuleH / 2 - 10);
  EXPECT_EQ(t.table.GetLineOffsetAt(Ref(Pos(kCaretOnGrid, 1, 1, 0, 2)), out), 1);  // bottom rule
  EXPECT_EQ(out[0], kRuleH / 2 - 10);
  EXPECT_EQ(t.table.GetLineOffsetAt(Ref(Pos(kCaretOnGrid, 0, 1, 0, 1)), out), 1);
  EXPECT_EQ(out[0], kRuleW / 2 - 20);
  EXPECT_EQ(out[1], kRuleW - kRuleW / 2 - 20);
  EXPECT_EQ(t.table.GetLineOffsetAt(Ref(Pos(kCaretInCell, 0, 1, 0, 0)), out), 0);
  EXPECT_EQ(t.table.GetLineOffsetAt(Ref(Pos(kCaretOnGrid, 0, 0, -1, 0)), out), 0);
  EXPECT_EQ(t.table.GetLineOffsetAt(Ref(Pos(kCaretOnGrid, 0, 3, 1, 0)), out), 0);
}

TEST_F(TableOperationsTest, RangeDeleteTakesColumnsWhenSomeStayElseRows) {
  EditResult result;
  const CVedTextPos from = Pos(kCaretInCell, 0, 1, 0, 0);
  const CVedTextPos to = Pos(kCaretInCell, 1, 1, 0, 0);
  EXPECT_EQ(t.table.DeleteRowsOrColumns(&from, &to, &result), 0);
  EXPECT_EQ(Snapshot().cells, (std::vector<std::string>{"a", "c", "d", "f"}));
  EXPECT_EQ(result.rangeStart, Pos(2, 0, 0, 0, 0));
  EXPECT_TRUE(result.startAux.IsEmpty());
  EXPECT_TRUE(result.endAux.IsEmpty());

  const CVedTextPos rowFrom = Pos(kCaretInCell, 1, 0, 0, 0);
  const CVedTextPos rowTo = Pos(kCaretInCell, 1, 1, 0, 0);
  EXPECT_EQ(t.table.DeleteRowsOrColumns(&rowFrom, &rowTo, &result), -(kLinePitch + kRuleH));
  EXPECT_EQ(Snapshot().cells, (std::vector<std::string>{"a", "c"}));
  EXPECT_EQ(result.heightDelta, -(kLinePitch + kRuleH));
  ExpectConsistent();

  // Null ends: the whole table, row by row.
  EXPECT_EQ(t.table.DeleteRowsOrColumns(nullptr, nullptr, &result), -(kLinePitch + kRuleH));
  EXPECT_EQ(t.table.IsEmpty(), 1);
  EXPECT_EQ(result.changed, 1);
}

TEST(TableInContainerTest, TheContainerBuildsAndReshapesATableThroughItsOperations) {
  container_test::ContainerFixture f(20);
  EditResult result;
  ASSERT_EQ(f.container.InsertTable(2, 3, &result), 1);
  auto* table = dynamic_cast<CTableObject*>(f.container.Children().GetCurrent());
  ASSERT_NE(table, nullptr);
  EXPECT_EQ(table->Rows(), 2);
  EXPECT_EQ(table->Columns(), 3);
  EXPECT_EQ(table->RuleWidth(), kPitch);
  EXPECT_EQ(table->RuleHeight(), kLinePitch / 2);
  EXPECT_EQ(table->TableWidth(), kTextWidth);  // 12 characters a column
  EXPECT_EQ(table->ColumnWidths(), (std::vector<int32_t>{12 * kPitch, 12 * kPitch, 12 * kPitch}));

  EXPECT_EQ(f.container.EditTableRowsColumns(1, &result, 8), 1);
  EXPECT_EQ(table->ColumnWidths()[0], 8 * kPitch);
  EXPECT_EQ(f.container.EditTableRowsColumns(2, &result, 0), 1);
  EXPECT_EQ(table->Columns(), 4);
  EXPECT_EQ(f.container.EditTableRowsColumns(3, &result, 0), 1);
  EXPECT_EQ(table->Rows(), 3);
  EXPECT_EQ(f.container.EditTableRowsColumns(5, &result, 0), 1);
  EXPECT_EQ(table->Rows(), 2);
  EXPECT_EQ(f.container.EditTableRowsColumns(4, &result, 0), 1);
  EXPECT_EQ(table->Columns(), 3);
  int32_t offsets[2] = {};
  EXPECT_EQ(f.container.GetTableLineOffsetAt(nullptr, offsets), 0);  // the caret is in a cell
}

// Typed text stays in its cell while rows and columns come and go around
// it through the container.
TEST(TableInContainerTest, TypedCellsKeepTheirTextThroughInsertsAndDeletes) {
  container_test::ContainerFixture f(20);
  EditResult result;
  ASSERT_EQ(f.container.InsertTable(2, 2, &result), 1);
  auto* table = dynamic_cast<CTableObject*>(f.container.Children().GetCurrent());
  ASSERT_NE(table, nullptr);
  ASSERT_GT(f.container.InsertText("ab", &result), 0);
  EXPECT_EQ(f.container.EditTableRowsColumns(1, &result, 10), 1);  // room for one more
  EXPECT_EQ(f.container.EditTableRowsColumns(2, &result, 0), 1);   // before column 0
  EXPECT_EQ(f.container.EditTableRowsColumns(3, &result, 0), 1);   // above row 0
  ASSERT_EQ(table->Rows(), 3);
  ASSERT_EQ(table->Columns(), 3);
  CTableCellObj* typed = table->CellOf(1, 1);
  ASSERT_NE(typed, nullptr);
  const int32_t empty = table->CellOf(0, 0)->CountChars();
  EXPECT_EQ(typed->CountChars(), empty + 2);
  EXPECT_EQ(f.container.EditTableRowsColumns(5, &result, 0), 1);  // the new row 0
  EXPECT_EQ(f.container.EditTableRowsColumns(4, &result, 0), 1);  // the caret's column 0
  ASSERT_EQ(table->Rows(), 2);
  ASSERT_EQ(table->Columns(), 2);
  EXPECT_EQ(table->CellOf(0, 0), typed);
  EXPECT_EQ(table->CountChars(), 4 * empty + 2);
}

// Joined cells through a loaded table: 3x3, (0,0) joined with (1,0) below
// and (2,1) with (2,2) on its right.
class JoinedTableTest : public TableOperationsTest {
 protected:
  void SetUp() override {
    TableSpec spec;
    spec.rows = 3;
    spec.widths = {4, 3, 5};
    spec.placement = kPlaceLeft;
    spec.texts = {"A", "b", "c", "", "e", "f", "g", "H", ""};
    spec.flags = {kJoinsBelow, 0, 0, kJoinedAbove, 0, 0, 0, kJoinsRight, kJoinedLeft};
    ASSERT_EQ(t.Load(t.Stream(spec)), 1);
  }
};

TEST_F(JoinedTableTest, ASpanGrowsOverJoinsAndKeepsTheSharedCell) {
  EditResult result;
  // Column 1 goes with column 2, joined to it in the last row.
  ASSERT_EQ(t.table.DeleteColumn(Ref(Pos(kCaretInCell, 1, 1, 0, 0)), &result), 1);
  EXPECT_EQ(t.table.Columns(), 1);
  EXPECT_EQ(t.table.TableWidth(), 2 * kRuleW + 4 * kPitch);
  ExpectConsistent();
  EXPECT_EQ(t.table.CellOf(0, 0), t.table.CellOf(0, 1));
  EXPECT_EQ(TextOf(t.table.CellOf(0, 1)), "A");
  EXPECT_EQ(TextOf(t.table.CellOf(0, 2)), "g");
}

TEST_F(JoinedTableTest, DeletingPartOfAJoinTakesTheWholeJoin) {
  EditResult result;
  ASSERT_EQ(t.table.DeleteRow(Ref(Pos(kCaretInCell, 1, 2, 0, 0)), &result), 1);
  EXPECT_EQ(t.table.Rows(), 1);
  EXPECT_EQ(result.heightDelta, -2 * (kLinePitch + kRuleH));
  ExpectConsistent();
  EXPECT_EQ(TextOf(t.table.CellOf(0, 0)), "g");

  ASSERT_EQ(t.table.DeleteColumn(Ref(Pos(kCaretInCell, 0, 2, 0, 0)), &result), 1);
  EXPECT_EQ(t.table.Columns(), 1);
  ExpectConsistent();
  EXPECT_EQ(t.table.CellCount(), 1);
  EXPECT_EQ(TextOf(t.table.CellOf(0, 0)), "g");
}

TEST_F(JoinedTableTest, NoRowOrColumnGoesInsideAJoin) {
  EditResult result;
  EXPECT_EQ(t.table.InsertRow(Ref(Pos(kCaretInCell, 1, 2, 0, 0)), &result), 0);
  EXPECT_EQ(t.table.InsertColumn(Ref(Pos(kCaretInCell, 2, 2, 0, 0)), &result), 0);
  EXPECT_EQ(t.table.SetColumnWidth(Ref(Pos(kCaretInCell, 0, 1, 0, 0)), 6, &result), 0);
  ASSERT_EQ(t.table.InsertRow(Ref(Pos(kCaretInCell, 2, 0, 0, 0)), &result), 1);
  ExpectConsistent();
  EXPECT_EQ(t.table.CellOf(1, 3), t.table.CellOf(2, 3));
  EXPECT_EQ(TextOf(t.table.CellOf(1, 3)), "H");
}

TEST_F(JoinedTableTest, AColumnJoinedDownIsReflowedOnceAndKeepsItsText) {
  EditResult result;
  ASSERT_EQ(t.table.InsertRow(Ref(Pos(kCaretInCell, 2, 0, 0, 0)), &result), 1);
  ASSERT_EQ(t.table.SetColumnWidth(Ref(Pos(kCaretInCell, 0, 0, 0, 0)), 6, &result), 1);
  EXPECT_EQ(t.table.ColumnWidths(), (std::vector<int32_t>{6 * kPitch, 3 * kPitch, 5 * kPitch}));
  EXPECT_EQ(TextOf(t.table.CellOf(0, 1)), "A");
  PageFormat format;
  t.table.CellOf(0, 1)->GetPageFormat(&format);
  EXPECT_EQ(format.textWidth, 6 * kPitch);
  ExpectConsistent();
}

// A join early in the first row moves every later cell's object index off
// its grid index; a column of such cells keeps its width rather than have
// another column's taken.
TEST_F(TableOperationsTest, ColumnsOfCellsOffTheirGridIndexKeepTheirWidth) {
  TableFixture joined;
  TableSpec spec;
  spec.placement = kPlaceLeft;
  spec.flags = {kJoinsRight, kJoinedLeft, 0, 0, 0, 0};
  ASSERT_EQ(joined.Load(joined.Stream(spec)), 1);
  EditResult result;
  ASSERT_EQ(joined.table.InsertRow(Ref(Pos(kCaretInCell, 1, 0, 0, 0)), &result), 1);
  const std::vector<int32_t> widths = joined.table.ColumnWidths();
  EXPECT_EQ(joined.table.SetColumnWidth(Ref(Pos(kCaretInCell, 1, 2, 0, 0)), 7, &result), 0);
  EXPECT_EQ(joined.table.ColumnWidths(), widths);
}

}  // namespace
}  // namespace table_test
