#include <gtest/gtest.h>

#include "model/table_object.h"
#include "model/text_navigator.h"
#include "table_fixture.h"

namespace table_test {
namespace {

// The 2 x 3 table of the geometry tests; after the load the caret stands
// at the start of cell (row 1, column 0). Cell (0, 2) spans 2860-3510.
class CellMoves : public ::testing::Test {
 protected:
  void SetUp() override {
    TableSpec spec;
    spec.texts = {"ab", "", "xyz", "", "cd", ""};
    ASSERT_EQ(t.Load(t.Stream(spec)), 1);
  }

  static constexpr MoveParams kLook{0, 0, 1};
  TableFixture t;
};

TEST_F(CellMoves, TheRememberedXCrossesIntoTheCellAndBack) {
  CTableObject::CellMove move;
  EXPECT_EQ(t.table.MoveToColumnTop(2, MoveParams{0, 3000, 1}, &move), kMoveDone);
  EXPECT_EQ(move.pos, (TableCaret{kCaretInCell, 0, 2, 0, 0}));
  EXPECT_EQ(move.x, 3000);
  EXPECT_FALSE(move.cellPath.IsEmpty());
  EXPECT_EQ(t.table.MoveToColumnTop(2, MoveParams{0, 100, 1}, &move), kMoveDone);
  EXPECT_EQ(move.x, 2860);  // left of the cell: its left edge
  EXPECT_EQ(t.table.MoveToColumnBottom(1, MoveParams{0, 9000, 1}, &move), kMoveDone);
  EXPECT_EQ(move.pos, (TableCaret{kCaretInCell, 1, 1, 0, 0}));
  EXPECT_EQ(move.x, 2340 + 390);  // right of the cell: its right edge
}

TEST_F(CellMoves, FirstAndLastCellsAndTheLastRow) {
  CTableObject::CellMove move;
  EXPECT_EQ(t.table.MoveToFirstCell(kLook, &move), kMoveDone);
  EXPECT_EQ(move.pos, (TableCaret{kCaretInCell, 0, 0, 0, 0}));
  EXPECT_EQ(t.table.MoveToLastCell(kLook, &move), kMoveDone);
  EXPECT_EQ(move.pos, (TableCaret{kCaretInCell, 1, 2, 0, 0}));
  EXPECT_EQ(t.table.MoveToLastRowStart(kLook, &move), kMoveDone);
  EXPECT_EQ(move.pos, (TableCaret{kCaretInCell, 1, 0, 0, 0}));
}

TEST_F(CellMoves, AtACellsEdgeTheMoveGoesOnInItsNeighbour) {
  CTableObject::CellMove move;
  // The caret cell (1, 0) is empty: a paragraph on goes into cell (1, 1).
  EXPECT_EQ(t.table.MoveOnThroughCells(kMoveNextParagraph, kLook, &move), kMoveDone);
  EXPECT_EQ(move.pos, (TableCaret{kCaretInCell, 1, 1, 0, 0}));
  // Nothing lies left of column 0.
  EXPECT_EQ(t.table.MoveBackThroughCells(kMovePrevParagraph, kLook, &move), kMoveBeforeStart);
}

}  // namespace
}  // namespace table_test
