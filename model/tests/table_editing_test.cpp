#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>

#include "model/table_object.h"
#include "model/text_navigator.h"
#include "platform/sjis.h"
#include "table_fixture.h"

namespace table_test {
namespace {

// The 2 x 3 table of the geometry tests, cells "ab", "", "xyz" / "", "cd",
// "". Columns: left rules at 1560, 2210, 2730, right border 3510-3640;
// text of column 0 1690-2210 (grid x 1-4), column 1 2340-2730 (1-3),
// column 2 2860-3510 (1-5, 6 the right rule); 11 characters fit right of
// the table (column 3), 12 lie in the left margin. Rows: top rule 0-175,
// row 0 175-525 (grid y 1), rule 525-700, row 1 700-1050 (y 1), bottom
// rule 1050-1225 (y 2 of row 1).
enum class Rules { kGrid, kCellsOnly };
enum class Lands { kStays, kCellStart, kCellEnd, kCellAtX, kGrid };

struct MoveCase {
  const char* name;
  Rules rules;
  platform::POINT click;  // where the caret is put first
  int command;
  int32_t x;  // remembered x, twips from the table's left
  int answer;
  TableCaret caret;  // where it lands (mode 1: the cell)
  Lands lands;
  int32_t cellX = 0;  // for kCellAtX, twips inside the cell
};

std::ostream& operator<<(std::ostream& os, const MoveCase& c) { return os << c.name; }

}  // namespace
}  // namespace table_test

void PrintTo(const TableCaret& c, std::ostream* os) {
  *os << "(mode " << c.mode << ", row " << c.row << ", column " << c.column << ", x " << c.x
      << ", y " << c.y << ")";
}

namespace table_test {
namespace {

constexpr Rules G = Rules::kGrid;
constexpr Rules N = Rules::kCellsOnly;

TableCaret Cell(int32_t row, int32_t column) { return {kCaretInCell, row, column, 0, 0}; }
TableCaret Grid(int32_t row, int32_t column, int32_t x, int32_t y) {
  return {kCaretOnGrid, row, column, x, y};
}

// Points: cell starts and ends are clicked left of the text or past it.
constexpr platform::POINT kStartOf00{1690, 300};
constexpr platform::POINT kEndOf00{2200, 300};
constexpr platform::POINT kStartOf01{2340, 300};
constexpr platform::POINT kEndOf02{3500, 300};
constexpr platform::POINT kMidOf02{3000, 300};
constexpr platform::POINT kIn10{1700, 800};
constexpr platform::POINT kIn11{2400, 800};
constexpr platform::POINT kEndOf12{3500, 800};

const MoveCase kMoves[] = {
    // With the rule-grid flag clear the caret goes from cell to cell.
    {"ClearLeftToPreviousCellEnd", N, kStartOf01, kMovePrevChar, 0, 0, Cell(0, 0), Lands::kCellEnd},
    {"ClearLeftAtFirstCell", N, kStartOf00, kMovePrevChar, 0, 1, Cell(0, 0), Lands::kStays},
    {"ClearRightToNextRow", N, kEndOf02, kMoveNextChar, 0, 0, Cell(1, 0), Lands::kCellStart},
    {"ClearRightAtLastCell", N, kEndOf12, kMoveNextChar, 0, 2, Cell(1, 2), Lands::kStays},
    {"ClearUpKeepsX", N, kEndOf12, kMoveLineUp, 3120, 0, Cell(0, 2), Lands::kCellAtX, 260},
    {"ClearUpAtTopRow", N, kStartOf01, kMoveLineUp, 2400, 1, Cell(0, 1), Lands::kStays},
    {"ClearDownKeepsX", N, kStartOf01, kMoveLineDown, 2470, 0, Cell(1, 1), Lands::kCellAtX, 130},
    {"ClearDownAtBottomRow", N, kIn10, kMoveLineDown, 1700, 2, Cell(1, 0), Lands::kStays},
    {"ClearLineStart", N, kMidOf02, kMoveLineStart, 0, 0, Cell(0, 2), Lands::kCellStart},
    {"ClearLineEnd", N, kMidOf02, kMoveLineEnd, 0, 0, Cell(0, 2), Lands::kCellEnd},
    {"ClearNextLineStart", N, kEndOf00, kMoveNextLineStart, 0, 0, Cell(0, 1), Lands::kCellStart},
    {"ClearRowStart", N, kMidOf02, 21, 0, 0, Cell(0, 0), Lands::kCellStart},
    {"ClearRowEnd", N, kIn10, 22, 0, 0, Cell(1, 2), Lands::kCellEnd},
    {"ClearParagraphStart", N, kMidOf02, kMoveParagraphStart, 0, 0, Cell(0, 2), Lands::kCellStart},
    {"ClearNextCell", N, kMidOf02, 1026, 0, 0, Cell(1, 0), Lands::kCellStart},
    {"ClearNextCellAtEnd", N, kEndOf12, 1026, 0, 2, Cell(1, 2), Lands::kStays},
    {"ClearPrevCell", N, kIn10, 1027, 0, 0, Cell(0, 2), Lands::kCellStart},
    {"ClearPrevCellAtStart", N, kEndOf00, 1027, 0, 1, Cell(0, 0), Lands::kStays},
    {"ClearTableStart", N, kIn11, kMoveDocumentStart, 0, 0, Cell(0, 0), Lands::kCellStart},
    {"ClearTableEnd", N, kIn11, kMoveDocumentEnd, 0, 0, Cell(1, 2), Lands::kCellEnd},
    {"ClearColumnTop", N, kIn10, kMoveFirstLineAtX, 2470, 0, Cell(0, 1), Lands::kCellAtX, 130},
    {"ClearColumnBottom", N, kIn10, kMoveLastLineAtX, 2470, 0, Cell(1, 1), Lands::kCellAtX, 130},
    {"ClearLastRowStart", N, kMidOf02, kMoveLastLineStart, 0, 0, Cell(1, 0), Lands::kCellStart},
    {"ClearNextParagraph", N, kIn10, kMoveNextParagraph, 0, 0, Cell(1, 1), Lands::kCellStart},
    {"ClearPrevParagraph", N, kStartOf01, kMovePrevParagraph, 0, 0, Cell(0, 0), Lands::kCellStart},
    {"ClearPrevWordAtStart", N, kStartOf00, kMovePrevWord, 0, 1, Cell(0, 0), Lands::kStays},
    {"ClearLastParagraph", N, kStartOf00, kMoveLastParagraphStart, 0, 0, Cell(1, 2),
     Lands::kCellStart},
    {"ClearEnterCell", N, kMidOf02, 1025, 0, 0, Cell(0, 2), Lands::kCellStart},
    {"RowStartCorner", N, kIn11, 1281, 0, 0, Grid(1, 0, 0, 0), Lands::kGrid},
    {"RowEndCorner", G, kStartOf01, 1282, 0, 0, Grid(1, 2, 6, 0), Lands::kGrid},
    {"LastRowEndCorner", G, kIn11, 1282, 0, 0, Grid(1, 2, 6, 2), Lands::kGrid},
    {"CellTopCorner", G, kIn11, 1313, 0, 0, Grid(1, 1, 0, 0), Lands::kGrid},
    {"CellBottomCorner", N, kIn11, 1314, 0, 0, Grid(1, 1, 3, 2), Lands::kGrid},
    {"ColumnTopCorner", G, kIn11, 1297, 0, 0, Grid(0, 1, 0, 0), Lands::kGrid},
    {"ColumnBottomCorner", G, kIn11, 1298, 0, 0, Grid(1, 1, 3, 2), Lands::kGrid},

    // Rule-grid flag set, caret in a cell that reached its edge: onto the
    // rules around the cell.
    {"EdgeLeftOntoLeftRule", G, kStartOf01, kMovePrevChar, 0, 0, Grid(0, 1, 0, 1), Lands::kGrid},
    {"EdgeRightOntoNextRule", G, kEndOf00, kMoveNextChar, 0, 0, Grid(0, 1, 0, 1), Lands::kGrid},
    {"EdgeRightOntoRightBorder", G, kEndOf12, kMoveNextChar, 0, 0, Grid(1, 2, 6, 1), Lands::kGrid},
    {"EdgeUpOntoTopRuleAtX", G, kIn11, kMoveLineUp, 2470, 0, Grid(1, 1, 2, 0), Lands::kGrid},
    {"EdgeDownOntoNextRuleAtX", G, kMidOf02, kMoveLineDown, 3120, 0, Grid(1, 2, 3, 0),
     Lands::kGrid},
    {"EdgeDownOntoBottomRule", G, kIn11, kMoveLineDown, 2470, 0, Grid(1, 1, 2, 2), Lands::kGrid},
    {"EdgeNextLineStart", G, kEndOf00, kMoveNextLineStart, 0, 0, Cell(0, 1), Lands::kCellStart},
    {"EdgeRowStart", G, kMidOf02, 21, 0, 0, Cell(0, 0), Lands::kCellStart},
    {"EdgeRowEnd", G, kIn10, 22, 0, 0, Cell(1, 2), Lands::kCellEnd},
    {"GridTableStart", G, kIn11, kMoveDocumentStart, 0, 0, Grid(0, 0, 0, 0), Lands::kGrid},
    {"GridTableEnd", G, kIn11, kMoveDocumentEnd, 0, 0, Grid(1, 3, 11, 2), Lands::kGrid},
    {"GridColumnTop", G, kIn10, kMoveFirstLineAtX, 2470, 0, Grid(0, 1, 2, 0), Lands::kGrid},
    {"GridColumnBottom", G, kIn10, kMoveLastLineAtX, 2470, 0, Grid(1, 1, 2, 2), Lands::kGrid},
    {"GridLastRowStart", G, kIn10, kMoveLastLineStart, 0, 0, Grid(1, 0, 0, 2), Lands::kGrid},

    // Caret on the grid.
    {"GridLeftAlongRule", G, {2400, 600}, kMovePrevChar, 0, 0, Grid(1, 1, 0, 0), Lands::kGrid},
    {"GridLeftIntoColumnBefore",
     G,
     {2250, 600},
     kMovePrevChar,
     0,
     0,
     Grid(1, 0, 4, 0),
     Lands::kGrid},
    {"GridLeftIntoMargin", G, {1600, 600}, kMovePrevChar, 0, 0, Grid(1, 0, -1, 0), Lands::kGrid},
    {"GridLeftToLineAbove", G, {50, 600}, kMovePrevChar, 0, 0, Grid(0, 3, 11, 1), Lands::kGrid},
    {"GridLeftAtFirstLine", G, {50, 50}, kMovePrevChar, 0, 1, Grid(0, 0, -12, 0), Lands::kStays},
    {"GridLeftIntoCellOnLeft", G, {2250, 300}, kMovePrevChar, 0, 0, Cell(0, 0), Lands::kCellEnd},
    {"GridLeftFromRightBorder", G, {3550, 300}, kMovePrevChar, 0, 0, Cell(0, 2), Lands::kCellEnd},
    {"GridLeftFromLeftRule", G, {1600, 300}, kMovePrevChar, 0, 0, Grid(0, 0, -1, 1), Lands::kGrid},
    {"GridRightIntoCell", G, {2250, 300}, kMoveNextChar, 0, 0, Cell(0, 1), Lands::kCellStart},
    {"GridRightAlongRule", G, {2400, 600}, kMoveNextChar, 0, 0, Grid(1, 1, 2, 0), Lands::kGrid},
    {"GridRightOverRule", G, {2700, 600}, kMoveNextChar, 0, 0, Grid(1, 2, 0, 0), Lands::kGrid},
    {"GridRightPastBorder", G, {3550, 600}, kMoveNextChar, 0, 0, Grid(1, 3, 0, 0), Lands::kGrid},
    {"GridRightToNextLine", G, {5100, 300}, kMoveNextChar, 0, 0, Grid(1, 0, -12, 0), Lands::kGrid},
    {"GridRightAtLastLine", G, {5100, 1100}, kMoveNextChar, 0, 2, Grid(1, 3, 11, 2), Lands::kStays},
    {"GridUpAtTopRule", G, {2400, 50}, kMoveLineUp, 2400, 1, Grid(0, 1, 1, 0), Lands::kStays},
    {"GridUpOnVerticalRule", G, {2250, 300}, kMoveLineUp, 2250, 0, Grid(0, 1, 0, 0), Lands::kGrid},
    {"GridUpIntoCellAtX", G, {2400, 600}, kMoveLineUp, 2470, 0, Cell(0, 1), Lands::kCellAtX, 130},
    {"GridUpRightOfTable", G, {4000, 300}, kMoveLineUp, 4000, 0, Grid(0, 3, 2, 0), Lands::kGrid},
    {"GridUpFromBottomRule",
     G,
     {3200, 1100},
     kMoveLineUp,
     3120,
     0,
     Cell(1, 2),
     Lands::kCellAtX,
     260},
    {"GridDownAtBottomRule",
     G,
     {3200, 1100},
     kMoveLineDown,
     3120,
     2,
     Grid(1, 2, 3, 2),
     Lands::kStays},
    {"GridDownIntoCellAtX",
     G,
     {2400, 600},
     kMoveLineDown,
     2470,
     0,
     Cell(1, 1),
     Lands::kCellAtX,
     130},
    {"GridDownOnVerticalRule",
     G,
     {2250, 300},
     kMoveLineDown,
     2250,
     0,
     Grid(1, 1, 0, 0),
     Lands::kGrid},
    {"GridDownInMargin", G, {500, 800}, kMoveLineDown, 500, 0, Grid(1, 0, -9, 2), Lands::kGrid},
    {"GridLineStart", G, {2400, 600}, kMoveLineStart, 0, 0, Grid(1, 0, 0, 0), Lands::kGrid},
    {"GridLineEnd", G, {2400, 600}, kMoveLineEnd, 0, 0, Grid(1, 2, 6, 0), Lands::kGrid},
    {"GridNextLineStart", G, {2250, 300}, kMoveNextLineStart, 0, 0, Cell(0, 1), Lands::kCellStart},
    {"GridRowStart", G, {2400, 600}, 21, 0, 0, Grid(1, 0, -12, 0), Lands::kGrid},
    {"GridRowEnd", G, {2400, 600}, 22, 0, 0, Grid(1, 3, 11, 0), Lands::kGrid},
    {"GridParagraphStart",
     G,
     {2400, 600},
     kMoveParagraphStart,
     0,
     0,
     Grid(1, 1, 1, 0),
     Lands::kStays},
    {"GridEnterCell", G, {4000, 800}, 1025, 0, 0, Cell(1, 2), Lands::kCellStart},
    {"GridNextCell", G, {2400, 50}, 1026, 0, 0, Cell(0, 0), Lands::kCellStart},
    {"GridPrevCellAtTop", G, {2400, 50}, 1027, 0, 1, Grid(0, 1, 1, 0), Lands::kStays},
    {"GridPrevLineStart", G, {2250, 300}, kMovePrevLineStart, 0, 0, Cell(0, 0), Lands::kCellStart},
};

class TableMoves : public ::testing::TestWithParam<MoveCase> {
 protected:
  void SetUp() override {
    TableSpec spec;
    spec.texts = {"ab", "", "xyz", "", "cd", ""};
    ASSERT_EQ(t.Load(t.Stream(spec)), 1);
  }

  // The path a cell would give for the place the case expects.
  CVedTextPos ExpectedCellPath(const MoveCase& c) {
    CTableCellObj* cell = t.table.CellOf(c.caret.column, c.caret.row);
    CVedTextPos path;
    const MoveParams look{0, 0, 1};
    switch (c.lands) {
      case Lands::kCellStart:
        cell->MoveCursor(kMoveDocumentStart, &look, nullptr, &path);
        break;
      case Lands::kCellEnd:
        cell->MoveCursor(kMoveDocumentEnd, &look, nullptr, &path);
        break;
      case Lands::kCellAtX:
        cell->PositionFromPoint(0, nullptr, c.cellX, 0, &path);
        break;
      default:
        break;
    }
    return path;
  }

  TableFixture t;
};

TEST_P(TableMoves, EveryCommandInEachRegime) {
  const MoveCase& c = GetParam();
  t.table.SetTableFlags(c.rules == Rules::kGrid ? 0x0101 : 0x0100);
  ASSERT_EQ(t.table.PositionFromPoint(1, nullptr, c.click.x, c.click.y, nullptr), 0);
  const TableCaret before = t.table.Caret();
  const MoveParams params{1, c.x, 1};
  CVedTextPos out;
  EXPECT_EQ(t.table.MoveCursor(c.command, &params, nullptr, &out), c.answer);
  if (c.lands == Lands::kStays) {
    EXPECT_EQ(t.table.Caret(), before);
    EXPECT_EQ(t.table.Caret(), c.caret);
    return;
  }
  EXPECT_EQ(t.table.Caret(), c.caret);
  CVedTextPos expected = ExpectedCellPath(c);
  if (c.caret.mode == kCaretInCell) {
    CVedTextPos cursor;
    t.table.CellOf(c.caret.column, c.caret.row)->GetCursor(&cursor);
    EXPECT_EQ(cursor, expected);
  }
  t.table.TablePosToPath(c.caret, &expected);
  EXPECT_EQ(out, expected);
}

INSTANTIATE_TEST_SUITE_P(AllCommands, TableMoves, ::testing::ValuesIn(kMoves),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace table_test

namespace table_test {
namespace {

class TableEditing : public ::testing::Test {
 protected:
  void SetUp() override {
    TableSpec spec;
    spec.texts = {"ab", "", "xyz", "", "cd", ""};
    ASSERT_EQ(t.Load(t.Stream(spec)), 1);
  }

  void Click(int32_t x, int32_t y) {
    ASSERT_EQ(t.table.PositionFromPoint(1, nullptr, x, y, nullptr), 0);
  }

  CVedTextPos PathOf(const TableCaret& pos) {
    CVedTextPos path;
    t.table.TablePosToPath(pos, &path);
    return path;
  }

  std::optional<TableCaret> TablePart(const CVedTextPos& path) {
    return t.table.PathToTablePos(&path);
  }

  TableFixture t;
};

TEST_F(TableEditing, AMoveThatOnlyLooksLeavesTheCaretAndTellsWhereItWouldGo) {
  Click(2250, 300);  // the left rule of cell (0, 1)
  const MoveParams look{0, 0, 1};
  CVedTextPos out;
  EXPECT_EQ(t.table.MoveCursor(kMoveLineDown, &look, nullptr, &out), kMoveDone);
  EXPECT_EQ(t.table.Caret(), Grid(0, 1, 0, 1));
  EXPECT_EQ(out, PathOf(Grid(1, 1, 0, 0)));
}

TEST_F(TableEditing, PointsBelowTheTableOrOnRulesWithoutTheGrid) {
  EXPECT_EQ(t.table.PositionFromPoint(1, nullptr, 2400, 5000, nullptr), 1225);
  t.table.SetTableFlags(0x0100);
  EXPECT_EQ(t.table.PositionFromPoint(1, nullptr, 2250, 300, nullptr), -1);
  // Measured from a base on the rule under row 0, the point lies in row 1.
  t.table.SetTableFlags(0x0101);
  const CVedTextPos base = PathOf(Grid(1, 1, 1, 0));
  CVedTextPos out;
  EXPECT_EQ(t.table.PositionFromPoint(1, &base, 2400, 200, &out), 0);
  EXPECT_EQ(t.table.Caret(), Cell(1, 1));
}

TEST_F(TableEditing, TypingOnTheGridChangesNothing) {
  Click(2400, 600);
  EditResult result;
  EXPECT_EQ(t.table.InsertText("q", &result), 0);
  EXPECT_EQ(result.changed, 0);
  EXPECT_EQ(result.rangeStart, PathOf(Grid(1, 1, 1, 0)));
  EXPECT_EQ(result.newCursor, result.rangeStart);
  EXPECT_EQ(t.table.DeleteChar(1, &result), 0);
}

TEST_F(TableEditing, TypingInACellReportsWithTheTablesPairs) {
  Click(2340, 300);
  EditResult result;
  EXPECT_NE(t.table.InsertText("q", &result), 0);
  EXPECT_EQ(t.CellText(1, 0), "q");
  EXPECT_EQ(result.heightDelta, 0);
  EXPECT_EQ(TablePart(result.rangeStart), Cell(0, 1));
  EXPECT_EQ(TablePart(result.newCursor), Cell(0, 1));
  EXPECT_NE(t.table.DeleteChar(2, &result), 0);  // BackSpace
  EXPECT_EQ(t.CellText(1, 0), "");
  EXPECT_EQ(TablePart(result.newCursor), Cell(0, 1));
  for (const CVedTextPos* aux : {&result.startAux, &result.endAux}) {
    if (!aux->IsEmpty()) {
      EXPECT_EQ(TablePart(*aux), Cell(0, 1));
    }
  }
}

TEST_F(TableEditing, ARowThatGrowsIsReportedFromTheRowAboveToTheTableEnd) {
  Click(2730 - 10, 800);  // the end of "cd" in cell (1, 1), three characters wide
  EditResult result;
  EXPECT_NE(t.table.InsertText("efg", &result), 0);
  EXPECT_EQ(result.heightDelta, kLinePitch);
  EXPECT_EQ(t.table.TableHeight(), 1225 + kLinePitch);
  EXPECT_EQ(result.rangeStart, PathOf(Grid(0, 0, 0, 0)));
  EXPECT_EQ(result.rangeEnd, PathOf(Grid(1, 2, 6, 3)));
  EXPECT_EQ(TablePart(result.newCursor), Cell(1, 1));
}

TEST_F(TableEditing, SearchFindsJoinedCellsThroughTheirRecords) {
  TableFixture joined;
  TableSpec spec;
  spec.flags = {kJoinsRight, kJoinedLeft, 0, 0, 0, 0};
  spec.texts = {"", "", "", "", "find", ""};
  ASSERT_EQ(joined.Load(joined.Stream(spec)), 1);
  joined.table.RenumberCells();  // object 4 now sits at grid position 5
  CVedTextRange found;
  EXPECT_NE(joined.table.FindText(0, kFindFromStart, "find", &found), 0);
  EXPECT_EQ(joined.table.Caret(), Cell(1, 2));
  EXPECT_EQ(joined.table.PathToTablePos(&found.start), Cell(1, 2));
  EXPECT_EQ(joined.table.PathToTablePos(&found.end), Cell(1, 2));
}

TEST_F(TableEditing, SearchGoesCellByCellAndNotFromAGridPointWithNothingAfterIt) {
  CVedTextRange found;
  EXPECT_NE(t.table.FindText(0, kFindFromStart, "cd", &found), 0);
  EXPECT_EQ(t.table.Caret(), Cell(1, 1));
  EXPECT_EQ(t.table.FindText(0, kFindNext, "xyz", &found), 0);
  EXPECT_NE(t.table.FindText(0, kFindPrevious, "xyz", &found), 0);
  EXPECT_EQ(t.table.Caret(), Cell(0, 2));
  Click(5100, 1100);  // the right end of the bottom rule
  EXPECT_EQ(t.table.FindText(0, kFindNext, "ab", &found), 0);
}

TEST_F(TableEditing, DrawingABandBelowTheTableDrawsNothing) {
  DrawResult drawn;
  EXPECT_EQ(t.table.Draw(nullptr, 0, 0, 0, 5000, &drawn), 1);
  EXPECT_EQ(drawn.painted, 1);
  EXPECT_EQ(drawn.height, 1225);
  EXPECT_EQ(t.table.Draw(nullptr, 0, 2000, 0, 5000, &drawn), 0);
  EXPECT_EQ(drawn.painted, 0);
  EXPECT_EQ(drawn.height, 1225);
}

TEST_F(TableEditing, TheWholeTableGoesOutAndComesBackThroughItsRangeStream) {
  platform::CMemFile file;
  {
    platform::CArchive archive(&file, platform::CArchive::kStore);
    EXPECT_EQ(t.table.SerializeRange(archive, kFormatOwnBlock, 0, nullptr, nullptr, nullptr), 1);
    archive.Close();
  }
  const Bytes stored(file.Data(), file.Data() + file.GetLength());
  EXPECT_EQ(stored, t.StoreTable(t.table.GridStart(), Grid(1, 2, 6, 2)));
  CTableObject copy;
  t.Prepare(copy);
  Bytes bytes = stored;
  platform::CMemFile in(bytes.data(), bytes.size());
  platform::CArchive load(&in, platform::CArchive::kLoad);
  EditResult result;
  EXPECT_EQ(copy.SerializeRange(load, kFormatOwnBlock, 0, nullptr, nullptr, &result), 1);
  EXPECT_EQ(copy.Rows(), 2);
  EXPECT_EQ(copy.Columns(), 3);
  EXPECT_EQ(result.heightDelta, 1225);
  copy.Reset();
  copy.Clear();
  // A table without cells has nothing to store.
  platform::CMemFile empty;
  platform::CArchive archive(&empty, platform::CArchive::kStore);
  EXPECT_EQ(copy.SerializeRange(archive, kFormatOwnBlock, 0, nullptr, nullptr, nullptr), -1);
}

TEST_F(TableEditing, PlainTextOfTheRowsBetweenTwoGridPoints) {
  platform::CMemFile file;
  {
    platform::CArchive archive(&file, platform::CArchive::kStore);
    // From the top rule to the rule under row 0: that rule counts as row 0.
    const CVedTextPos from = PathOf(Grid(0, 0, 0, 0));
    const CVedTextPos to = PathOf(Grid(1, 0, 0, 0));
    EXPECT_EQ(t.table.SerializeRange(archive, kFormatPlainText, 0, &from, &to, nullptr), 1);
    archive.Close();
  }
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(file.Data()), file.GetLength()),
            "ab\r\n\r\nxyz");
}

}  // namespace
}  // namespace table_test

namespace table_test {
namespace {

class TableRanges : public ::testing::Test {
 protected:
  void SetUp() override {
    TableSpec spec;
    spec.texts = {"ab", "", "xyz", "", "cd", ""};
    ASSERT_EQ(t.Load(t.Stream(spec)), 1);
  }

  CVedTextPos GridPath(const TableCaret& pos) {
    CVedTextPos path;
    t.table.TablePosToPath(pos, &path);
    return path;
  }

  // A place inside a cell's text, `x` twips from the cell's left.
  CVedTextPos InCell(int32_t row, int32_t column, int32_t x) {
    CVedTextPos path;
    t.table.CellOf(column, row)->PositionFromPoint(0, nullptr, x, 0, &path);
    t.table.TablePosToPath(Cell(row, column), &path);
    return path;
  }

  TableFixture t;
};

TEST_F(TableRanges, ARangeOverRowsEmptiesEveryCellInIt) {
  // From the top-left corner to the right end of the rule under row 0:
  // that rule closes row 0, so row 1 keeps its text.
  const CVedTextPos from = GridPath(Grid(0, 0, 0, 0));
  const CVedTextPos to = GridPath(Grid(1, 2, 6, 0));
  EditResult result;
  EXPECT_EQ(t.table.DeleteRange(&from, &to, &result), 1);
  EXPECT_EQ(t.CellText(0, 0), "");
  EXPECT_EQ(t.CellText(2, 0), "");
  EXPECT_EQ(t.CellText(1, 1), "cd");
  EXPECT_EQ(result.changed, 1);
  EXPECT_EQ(result.heightDelta, 0);
  EXPECT_EQ(t.table.PathToTablePos(&result.rangeStart), Cell(0, 0));
  EXPECT_EQ(t.table.PathToTablePos(&result.rangeEnd), Cell(0, 2));
}

TEST_F(TableRanges, ARangeOnOneRuleLineOrOnePointDoesNothing) {
  const CVedTextPos from = GridPath(Grid(1, 0, 1, 0));
  const CVedTextPos to = GridPath(Grid(1, 2, 3, 0));
  EditResult result;
  EXPECT_EQ(t.table.DeleteRange(&from, &to, &result), 0);
  EXPECT_EQ(t.table.DeleteRange(&from, &from, &result), 0);
  EXPECT_EQ(result.changed, 0);
  CharFormat format;
  EXPECT_EQ(t.table.GetCharFont(&format, &from, &to), 0);
  EXPECT_EQ(t.CellText(0, 0), "ab");
  EXPECT_EQ(t.CellText(1, 1), "cd");
}

TEST_F(TableRanges, ARangeInsideOneCellStaysInsideIt) {
  const CVedTextPos from = InCell(0, 2, 130);
  const CVedTextPos to = InCell(0, 2, 260);
  // The cell deletes as it would on its own.
  TableFixture twin;
  TableSpec spec;
  spec.texts = {"ab", "", "xyz", "", "cd", ""};
  ASSERT_EQ(twin.Load(twin.Stream(spec)), 1);
  const CVedTextPos innerFrom = t.table.StripTablePairs(from);
  const CVedTextPos innerTo = t.table.StripTablePairs(to);
  EditResult result;
  twin.table.CellOf(2, 0)->DeleteRange(&innerFrom, &innerTo, &result);
  ASSERT_NE(twin.CellText(2, 0), "xyz");
  EXPECT_EQ(t.table.DeleteRange(&from, &to, &result), 1);
  EXPECT_EQ(t.CellText(2, 0), twin.CellText(2, 0));
  EXPECT_EQ(t.CellText(0, 0), "ab");
  EXPECT_EQ(t.table.Caret(), Cell(0, 2));
  EXPECT_EQ(t.table.PathToTablePos(&result.newCursor), Cell(0, 2));
}

TEST_F(TableRanges, AttributesReadOverCellsKeepOnlyWhatTheyShare) {
  CharFormat bigger;
  t.table.GetCharFont(&bigger, nullptr, nullptr);
  bigger.size += 20;
  bigger.mask = kMaskSize;
  const CVedTextPos from = InCell(0, 0, 0);
  const CVedTextPos to = InCell(0, 0, 260);
  EditResult result;
  EXPECT_EQ(t.table.SetCharFont(&bigger, &from, &to, &result), 1);
  CharFormat read;
  read.mask = kMaskEveryField;
  const CVedTextPos rowStart = GridPath(Grid(0, 0, 0, 0));
  const CVedTextPos rowEnd = GridPath(Grid(1, 2, 6, 0));
  EXPECT_EQ(t.table.GetCharFont(&read, &rowStart, &rowEnd), 1);
  EXPECT_EQ(read.mask & kMaskSize, 0);
  EXPECT_NE(read.mask & kMaskBold, 0);
  read.mask = kMaskEveryField;
  EXPECT_EQ(t.table.GetCharFont(&read, &from, &to), 1);
  EXPECT_EQ(read.size, bigger.size);
}

}  // namespace
}  // namespace table_test

namespace table_test {
namespace {

class TablePaste : public ::testing::Test {
 protected:
  void SetUp() override {
    TableSpec spec;
    spec.texts = {"ab", "", "xyz", "", "cd", ""};
    ASSERT_EQ(t.Load(t.Stream(spec)), 1);
  }

  int Paste(CTableObject& table, Bytes bytes, EditResult* result) {
    platform::CMemFile file(bytes.data(), bytes.size());
    platform::CArchive archive(&file, platform::CArchive::kLoad);
    return table.SerializeRange(archive, kFormatOwnBlock, 0, nullptr, nullptr, result);
  }

  void Click(int32_t x, int32_t y) {
    ASSERT_EQ(t.table.PositionFromPoint(1, nullptr, x, y, nullptr), 0);
  }

  TableFixture t;
};

TEST_F(TablePaste, WholeRowsGoInBeforeTheCaretsRow) {
  const Bytes row0 = t.StoreTable(Grid(0, 0, 0, 0), Grid(1, 2, 6, 0));
  Click(2400, 800);  // cell (1, 1)
  EditResult result;
  EXPECT_EQ(Paste(t.table, row0, &result), 1);
  EXPECT_EQ(t.table.Rows(), 3);
  EXPECT_EQ(t.CellText(0, 1), "ab");
  EXPECT_EQ(t.CellText(2, 1), "xyz");
  EXPECT_EQ(t.CellText(1, 2), "cd");
  EXPECT_EQ(result.changed, 1);
  EXPECT_EQ(result.heightDelta, 175 + kLinePitch);
  EXPECT_EQ(t.table.Caret(), Cell(1, 0));
  EXPECT_EQ(t.table.PathToTablePos(&result.startAux), Grid(1, 0, 0, 0));
  EXPECT_EQ(t.table.PathToTablePos(&result.endAux), Grid(2, 2, 6, 0));
}

TEST_F(TablePaste, WholeColumnsGoInBeforeTheCaretsColumnWithTheirWidths) {
  const Bytes column0 = t.StoreTable(Grid(0, 0, 0, 0), Grid(1, 1, 0, 2));
  Click(2400, 300);  // cell (0, 1)
  EditResult result;
  EXPECT_EQ(Paste(t.table, column0, &result), 1);
  EXPECT_EQ(t.table.Columns(), 4);
  EXPECT_EQ(t.table.ColumnWidths()[1], 4 * kPitch);
  EXPECT_EQ(t.CellText(1, 0), "ab");
  EXPECT_EQ(t.CellText(2, 0), "");
  EXPECT_EQ(t.table.Caret(), Cell(0, 1));
}

TEST_F(TablePaste, RowsOfAnotherWidthOrADamagedStreamPasteNothing) {
  TableFixture narrow;
  TableSpec spec;
  spec.columns = 2;
  spec.widths = {4, 3};
  ASSERT_EQ(narrow.Load(narrow.Stream(spec)), 1);
  const Bytes row0 = t.StoreTable(Grid(0, 0, 0, 0), Grid(1, 2, 6, 0));
  EditResult result;
  EXPECT_EQ(Paste(narrow.table, row0, &result), 0);
  EXPECT_EQ(result.changed, 0);
  EXPECT_EQ(narrow.table.Rows(), 2);
  Bytes broken = row0;
  broken[0] = 'X';
  EXPECT_EQ(Paste(t.table, broken, &result), 0);
  EXPECT_EQ(Paste(t.table, Bytes(row0.begin(), row0.begin() + 40), &result), 0);
  EXPECT_EQ(t.table.Rows(), 2);
}

// An older stream gives its widths in twips; one at the top of the int32
// range is rounded to characters without overflowing and refused as a
// width, so the column keeps the width it was inserted with.
TEST_F(TablePaste, AnOldStreamsWidthAtTheTopOfTheRangeIsRefused) {
  Bytes column0 = t.StoreTable(Grid(0, 0, 0, 0), Grid(1, 1, 0, 2));
  constexpr size_t kVersionField = 16;
  constexpr size_t kFirstWidth = 16 + 8 * 4 + 2;  // after two rows' flag bytes
  column0[kVersionField] = 1;
  for (size_t i = 0; i < 4; ++i) column0[kFirstWidth + i] = i < 3 ? 0xFF : 0x7F;
  Click(2400, 300);
  EditResult result;
  EXPECT_EQ(Paste(t.table, column0, &result), 1);
  EXPECT_EQ(t.table.Columns(), 4);
  EXPECT_LT(t.table.ColumnWidths()[1], 100 * kPitch);
  EXPECT_EQ(t.CellText(1, 0), "ab");
}

}  // namespace
}  // namespace table_test

namespace table_test {
namespace {

class CaretLineText : public ::testing::Test {
 protected:
  void SetUp() override {
    TableSpec spec;
    spec.texts = {"ab", "", "xyz", "", "cd", ""};
    ASSERT_EQ(t.Load(t.Stream(spec)), 1);
  }

  std::string Line(int part, int* answer) {
    platform::CMemFile file;
    {
      platform::CArchive archive(&file, platform::CArchive::kStore);
      *answer = t.table.WriteCaretLineText(archive, part);
      archive.Close();
    }
    return std::string(reinterpret_cast<const char*>(file.Data()), file.GetLength());
  }

  // Readable text with "|" standing for a cell separator.
  static std::string Sjis(const std::string& readable) {
    std::string out;
    for (char c : readable) {
      if (c == '|') {
        out += '\xFE';
        out += *platform::Utf8ToSjis("│");
      } else {
        out += c;
      }
    }
    return out;
  }

  TableFixture t;
};

TEST_F(CaretLineText, UpToTheWholeAndFromTheCaretInACell) {
  ASSERT_EQ(t.table.PositionFromPoint(1, nullptr, 2860 + 260, 300, nullptr), 0);
  int answer = 0;
  EXPECT_EQ(Line(CTableObject::kLineUpToCaret, &answer), Sjis("|ab||xy"));
  EXPECT_EQ(answer, 1);
  EXPECT_EQ(Line(CTableObject::kLineWhole, &answer), Sjis("|ab||xyz"));
  EXPECT_EQ(Line(3, &answer), "z");
  EXPECT_EQ(answer, 1);
}

TEST_F(CaretLineText, OnARuleTheRuledLineUpToTheCaret) {
  ASSERT_EQ(t.table.PositionFromPoint(1, nullptr, 2470, 600, nullptr), 0);  // (1, 1), x 2
  int answer = 0;
  EXPECT_EQ(Line(CTableObject::kLineUpToCaret, &answer), *platform::Utf8ToSjis("├────┼─"));
  EXPECT_EQ(answer, 1);
  platform::CMemFile file;
  platform::CArchive load(&file, platform::CArchive::kLoad);
  EXPECT_EQ(t.table.WriteCaretLineText(load, CTableObject::kLineWhole), 0);
}

}  // namespace
}  // namespace table_test

namespace table_test {
namespace {

// Cells wrap a move from one of their lines to the next only when the
// renderer's two wrap switches are both on (or the rules are no lines of
// their own); otherwise the move leaves the cell onto its rules.
TEST(TableWrap, TheRenderersSwitchesDecideWhetherCellsWrap) {
  for (const bool wrap : {false, true}) {
    TableFixture t;
    TableSpec spec;
    spec.texts = {"abcdef", "", "", "", "", ""};  // two lines in cell (0, 0)
    ASSERT_EQ(t.Load(t.Stream(spec)), 1);
    t.f.renderer().SetWrapSwitches(wrap ? 1 : 0, 1);
    ASSERT_EQ(t.table.PositionFromPoint(1, nullptr, 1690, 175 + kLinePitch + 10, nullptr), 0);
    const MoveParams params{1, 1690, 1};
    EXPECT_EQ(t.table.MoveCursor(kMovePrevChar, &params, nullptr, nullptr), kMoveDone);
    EXPECT_EQ(t.table.Caret(), wrap ? Cell(0, 0) : Grid(0, 0, 0, 2)) << "wrap " << wrap;
    if (wrap) {
      // Left and right keep the caret top for the next move up or down;
      // a move up takes the new line's.
      EXPECT_EQ(t.table.CaretTop(), 175 + kLinePitch);
      EXPECT_EQ(t.table.MoveCursor(kMoveLineEnd, &params, nullptr, nullptr), kMoveDone);
      EXPECT_EQ(t.table.CaretTop(), 175 + kLinePitch);
      EXPECT_EQ(t.table.MoveCursor(kMoveLineDown, &params, nullptr, nullptr), kMoveDone);
      EXPECT_EQ(t.table.CaretTop(), 175 + kLinePitch);
    }
  }
}

}  // namespace
}  // namespace table_test

namespace table_test {
namespace {

TEST(TableMoveFrom, AMoveFromAGivenPositionStartsThere) {
  TableFixture t;
  TableSpec spec;
  spec.texts = {"ab", "", "xyz", "", "cd", ""};
  ASSERT_EQ(t.Load(t.Stream(spec)), 1);
  CVedTextPos from;
  t.table.TablePosToPath(Grid(0, 1, 0, 1), &from);  // the left rule of cell (0, 1)
  CVedTextPos out;
  EXPECT_EQ(t.table.MoveCursor(kMoveNextChar, nullptr, &from, &out), kMoveDone);
  EXPECT_EQ(t.table.Caret(), Cell(0, 1));
  EXPECT_EQ(t.table.PathToTablePos(&out), Cell(0, 1));
  // A table start ignores it.
  EXPECT_EQ(t.table.MoveCursor(kMoveDocumentStart, nullptr, &from, &out), kMoveDone);
  EXPECT_EQ(t.table.Caret(), Grid(0, 0, 0, 0));
}

}  // namespace
}  // namespace table_test
