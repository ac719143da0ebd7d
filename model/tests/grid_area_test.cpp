#include "model/grid_area.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "model/font_table.h"
#include "model/renderer.h"
#include "platform/file.h"
#include "platform/gdi.h"
#include "platform/synthetic_fonts.h"

namespace {

using platform::RECT;

// Ten whole columns (and 50 twips to spare) by five lines.
constexpr int32_t kCharPitch = 100;
constexpr int32_t kLinePitch = 300;
constexpr int32_t kColumns = 10;
constexpr int32_t kLines = 5;
constexpr int32_t kTextWidth = kColumns * kCharPitch + 50;
constexpr int32_t kTextHeight = kLines * kLinePitch;

struct Cell {
  int32_t row;
  int32_t column;
};

CVedTextPos At(int32_t row, int32_t column) {
  CVedTextPos path;
  path.Append({kTagFreeCursor, column});
  path.Append({kTagFreeCursor, row});
  return path;
}

PageFormat GridFormat(int32_t charPitch = kCharPitch, int32_t linePitch = kLinePitch,
                      int32_t textHeight = kTextHeight) {
  PageFormat format;
  format.textWidth = kTextWidth;
  format.textHeight = textHeight;
  format.charPitch = charPitch;
  format.linePitch = linePitch;
  format.cellFlag = 1;
  return format;
}

// A path that marks "not written": no grid area writes a step with tag 7.
CVedTextPos Untouched() {
  CVedTextPos path;
  path.Append({7, 7});
  return path;
}

class GridAreaTest : public ::testing::Test {
 protected:
  GridAreaTest() {
    EXPECT_EQ(grid_.Initialize(nullptr, nullptr), 1);
    const PageFormat format = GridFormat();
    EXPECT_EQ(grid_.SetPageFormat(&format), 1);
  }

  void PlaceCursor(int32_t row, int32_t column) {
    const CVedTextPos pos = At(row, column);
    ASSERT_EQ(grid_.SetCursor(&pos), 1);
  }

  CVedTextPos Cursor() {
    CVedTextPos pos;
    EXPECT_EQ(grid_.GetCursor(&pos), 1);
    return pos;
  }

  CGridAreaObject grid_;
};

// --- Moves ----------------------------------------------------------------

struct MoveCase {
  const char* name;
  int command;
  Cell start;
  int32_t x;
  int32_t wrap;
  int answer;
  Cell end;  // where the cursor stands afterwards
};

class GridMoveTest : public GridAreaTest, public ::testing::WithParamInterface<MoveCase> {};

TEST_P(GridMoveTest, AnswersAndLandsAsTheCommandSays) {
  const MoveCase& c = GetParam();
  PlaceCursor(c.start.row, c.start.column);
  const MoveParams params{1, c.x, c.wrap};
  CVedTextPos out = Untouched();

  EXPECT_EQ(grid_.MoveCursor(c.command, &params, nullptr, &out), c.answer);

  EXPECT_EQ(Cursor(), At(c.end.row, c.end.column));
  EXPECT_EQ(out, c.answer == kMoveDone ? At(c.end.row, c.end.column) : Untouched());
}

// x = 420 twips falls in column 4.
const MoveCase kMoveCases[] = {
    {"LeftMoves", 1, {2, 3}, 0, 0, kMoveDone, {2, 2}},
    {"LeftAtLineStartStops", 1, {2, 0}, 0, 0, kMoveStoppedAtLineStart, {2, 0}},
    {"LeftAtLineStartWraps", 1, {2, 0}, 0, 1, kMoveDone, {1, 9}},
    {"LeftAtAreaStartLeavesBefore", 1, {0, 0}, 0, 1, kMoveBeforeStart, {0, 0}},
    {"RightMoves", 2, {2, 3}, 0, 0, kMoveDone, {2, 4}},
    {"RightAtLineEndStops", 2, {2, 9}, 0, 0, kMoveStoppedAtLineEnd, {2, 9}},
    {"RightAtLineEndWraps", 2, {2, 9}, 0, 1, kMoveDone, {3, 0}},
    {"RightAtAreaEndLeavesAfter", 2, {4, 9}, 0, 1, kMoveAfterEnd, {4, 9}},
    {"UpTakesColumnFromX", 3, {2, 3}, 420, 0, kMoveDone, {1, 4}},
    {"UpOnFirstLineLeavesBefore", 3, {0, 3}, 420, 0, kMoveBeforeStart, {0, 3}},
    {"DownTakesColumnFromX", 4, {2, 3}, 420, 0, kMoveDone, {3, 4}},
    {"DownOnLastLineLeavesAfter", 4, {4, 3}, 420, 0, kMoveAfterEnd, {4, 3}},
    {"LineStart", 17, {2, 3}, 0, 0, kMoveDone, {2, 0}},
    {"LineStartAlike", 21, {2, 3}, 0, 0, kMoveDone, {2, 0}},
    {"LineEnd", 18, {2, 3}, 0, 0, kMoveDone, {2, 9}},
    {"LineEndAlike", 22, {2, 3}, 0, 0, kMoveDone, {2, 9}},
    {"NextLineStart", 19, {2, 3}, 0, 0, kMoveDone, {3, 0}},
    {"NextLineStartOnLastLine", 19, {4, 3}, 0, 1, kMoveAfterEnd, {4, 3}},
    {"PrevLineStart", 20, {2, 3}, 0, 0, kMoveDone, {1, 0}},
    {"PrevLineStartOnFirstLine", 20, {0, 3}, 0, 1, kMoveBeforeStart, {0, 3}},
    {"ParagraphStartStays", 33, {2, 3}, 0, 0, kMoveDone, {2, 3}},
    {"ParagraphEndStays", 34, {2, 3}, 0, 0, kMoveDone, {2, 3}},
    {"WordStartStays", 49, {2, 3}, 0, 0, kMoveDone, {2, 3}},
    {"Command50Stays", 50, {2, 3}, 0, 0, kMoveDone, {2, 3}},
    {"UnknownCommandStays", 1000, {2, 3}, 0, 0, kMoveDone, {2, 3}},
    {"NextParagraphLeavesAfter", 35, {2, 3}, 0, 1, kMoveAfterEnd, {2, 3}},
    {"NextWordLeavesAfter", 51, {2, 3}, 0, 1, kMoveAfterEnd, {2, 3}},
    {"PrevParagraphLeavesBefore", 36, {2, 3}, 0, 1, kMoveBeforeStart, {2, 3}},
    {"PrevWordLeavesBefore", 52, {2, 3}, 0, 1, kMoveBeforeStart, {2, 3}},
    {"LastLineStartLeavesBefore", 659, {2, 3}, 0, 1, kMoveBeforeStart, {2, 3}},
    {"LastParagraphLeavesBefore", 660, {2, 3}, 0, 1, kMoveBeforeStart, {2, 3}},
    {"LastWordLeavesBefore", 661, {2, 3}, 0, 1, kMoveBeforeStart, {2, 3}},
    {"AreaStart", 65, {2, 3}, 0, 0, kMoveDone, {0, 0}},
    {"AreaEnd", 66, {2, 3}, 0, 0, kMoveDone, {4, 9}},
    {"FirstLineAtX", 657, {2, 3}, 420, 0, kMoveDone, {0, 4}},
    {"LastLineAtX", 658, {2, 3}, 420, 0, kMoveDone, {4, 4}},
    {"XPastTheWidthHeldOnLastColumn", 657, {2, 3}, 5000, 0, kMoveDone, {0, 9}},
    {"XLeftOfTheAreaHeldOnFirstColumn", 658, {2, 3}, -500, 0, kMoveDone, {4, 0}},
};

INSTANTIATE_TEST_SUITE_P(Commands, GridMoveTest, ::testing::ValuesIn(kMoveCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(GridAreaTest, MoveWithoutParametersSetsTheCursorAndDoesNotWrap) {
  PlaceCursor(2, 8);
  EXPECT_EQ(grid_.MoveCursor(2, nullptr, nullptr, nullptr), kMoveDone);
  EXPECT_EQ(Cursor(), At(2, 9));
  EXPECT_EQ(grid_.MoveCursor(2, nullptr, nullptr, nullptr), kMoveStoppedAtLineEnd);
  EXPECT_EQ(Cursor(), At(2, 9));
}

TEST_F(GridAreaTest, MoveWithoutSetCursorOnlyWritesTheOutPath) {
  PlaceCursor(2, 3);
  const MoveParams params{0, 0, 0};
  CVedTextPos out;
  EXPECT_EQ(grid_.MoveCursor(19, &params, nullptr, &out), kMoveDone);
  EXPECT_EQ(out, At(3, 0));
  EXPECT_EQ(Cursor(), At(2, 3));
}

TEST_F(GridAreaTest, MoveStartsFromTheGivenPositionExceptForAbsoluteMoves) {
  PlaceCursor(2, 3);
  const CVedTextPos from = At(1, 1);
  CVedTextPos out;
  EXPECT_EQ(grid_.MoveCursor(2, nullptr, &from, &out), kMoveDone);
  EXPECT_EQ(out, At(1, 2));

  // 65 ignores the from position, even one that names no cell.
  const CVedTextPos bad = At(99, 0);
  EXPECT_EQ(grid_.MoveCursor(66, nullptr, &bad, &out), kMoveDone);
  EXPECT_EQ(out, At(4, 9));
  // Other commands refuse it and leave everything as it was.
  out = Untouched();
  EXPECT_EQ(grid_.MoveCursor(2, nullptr, &bad, &out), kMoveFailed);
  EXPECT_EQ(out, Untouched());
  EXPECT_EQ(Cursor(), At(4, 9));
}

// --- Positions that do not map ---------------------------------------------

struct BadPath {
  const char* name;
  std::vector<PosPair> pairs;
  int32_t depth;
};

class GridBadPathTest : public GridAreaTest, public ::testing::WithParamInterface<BadPath> {
 protected:
  CVedTextPos Bad() const {
    CVedTextPos path;
    path.pairs = GetParam().pairs;
    path.depth = GetParam().depth;
    return path;
  }
};

TEST_P(GridBadPathTest, EveryOperationRefusesIt) {
  PlaceCursor(2, 3);
  const CVedTextPos bad = Bad();
  const CVedTextPos good = At(1, 1);

  EXPECT_EQ(grid_.SetCursor(&bad), 0);
  EXPECT_EQ(grid_.ComparePositions(&bad, &good), kCompareIncomparable);
  EXPECT_EQ(grid_.ComparePositions(&good, &bad), kCompareIncomparable);
  int32_t line = 9;
  int32_t column = 9;
  EXPECT_EQ(grid_.GetLineColumn(&line, &column, &bad, nullptr), 0);
  EXPECT_EQ(line, 0);
  EXPECT_EQ(column, 0);
  EXPECT_EQ(grid_.GetLineColumn(&line, &column, &good, &bad), 0);
  EXPECT_EQ(grid_.IsFirstLine(&bad), 0);
  EXPECT_EQ(grid_.IsLastLine(&bad), 0);
  EXPECT_EQ(grid_.CountLines(&bad, nullptr), 0);
  EXPECT_EQ(grid_.GetHeight(&bad, nullptr), 0);
  EXPECT_EQ(grid_.GetHeight(&good, &bad), 0);
  ObjectDescription kind{};
  EXPECT_EQ(grid_.GetKindAt(&bad, &kind), 0);
  EXPECT_EQ(kind[0], 0);
  LineMetrics metrics{1, 1, 1, nullptr};
  grid_.GetLineMetrics(&metrics, &bad);
  EXPECT_EQ(metrics.height, 0);
  EXPECT_EQ(metrics.endKind, 0);
  RECT rect{1, 1, 1, 1};
  EXPECT_EQ(*grid_.GetPositionRect(&rect, 3, &bad, nullptr), RECT{});
  EXPECT_EQ(*grid_.GetPositionRect(&rect, 3, &good, &bad), RECT{});

  CVedTextPos out = Untouched();
  EXPECT_EQ(grid_.StepLine(&bad, kLineThis, &out), 0);
  EXPECT_EQ(grid_.MoveCursor(1, nullptr, &bad, &out), kMoveFailed);
  EXPECT_EQ(grid_.PositionFromPoint(1, &bad, 0, 0, &out), CGridAreaObject::kNoPosition);
  EXPECT_EQ(grid_.PositionFromLineColumn(1, 1, &bad, &out), CGridAreaObject::kNoPosition);
  EXPECT_EQ(out, Untouched());

  CVedAnchor anchor;
  EXPECT_EQ(grid_.SetAnchor(kAnchorChar, &anchor, &bad), 0);
  EXPECT_EQ(grid_.SetAnchor(kAnchorChar, &anchor, &good), 1);
  EXPECT_EQ(grid_.FindAnchor(kAnchorChar, &bad, 0), nullptr);

  EXPECT_EQ(Cursor(), At(2, 3));
}

const BadPath kBadPaths[] = {
    {"OneStep", {{kTagFreeCursor, 1}}, 1},
    {"DepthShorterThanPairs", {{kTagFreeCursor, 1}, {kTagFreeCursor, 1}}, 1},
    // A text object's free-cursor path begins with the same two tags.
    {"TextObjectPath",
     {{kTagFreeCursor, 1}, {kTagFreeCursor, 1}, {0x101, 1}, {0x102, 1}, {0x103, 1}},
     5},
    {"ChildIndexTag", {{kTagChildIndex, 1}, {kTagFreeCursor, 1}}, 2},
    {"NegativeColumn", {{kTagFreeCursor, -1}, {kTagFreeCursor, 1}}, 2},
    {"NegativeRow", {{kTagFreeCursor, 1}, {kTagFreeCursor, -1}}, 2},
    {"ColumnPastTheLine", {{kTagFreeCursor, kColumns}, {kTagFreeCursor, 1}}, 2},
    {"RowPastTheArea", {{kTagFreeCursor, 1}, {kTagFreeCursor, kLines}}, 2},
};

INSTANTIATE_TEST_SUITE_P(Paths, GridBadPathTest, ::testing::ValuesIn(kBadPaths),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(GridAreaTest, AnEmptyPathStandsForTheCursorOrTheStart) {
  PlaceCursor(2, 3);
  const CVedTextPos empty;
  EXPECT_EQ(grid_.SetCursor(&empty), 0);
  EXPECT_EQ(grid_.SetCursor(nullptr), 0);
  EXPECT_EQ(grid_.ComparePositions(&empty, &empty), kCompareIncomparable);
  EXPECT_EQ(grid_.GetHeight(&empty, &empty), kTextHeight);
  RECT rect;
  EXPECT_EQ(*grid_.GetPositionRect(&rect, 3, &empty, &empty), (RECT{300, 600, 400, 900}));
}

// --- Areas without cells ----------------------------------------------------

struct DegenerateCase {
  const char* name;
  int32_t charPitch;
  int32_t linePitch;
  int32_t textHeight;
};

constexpr int kMoveCommands[] = {1,  2,  3,  4,  17, 18, 19, 20,  21,  22,  33,  34, 35,
                                 36, 49, 50, 51, 52, 65, 66, 657, 658, 659, 660, 661};

class GridWithoutCellsTest : public ::testing::TestWithParam<DegenerateCase> {};

TEST_P(GridWithoutCellsTest, NothingDividesByZeroAndNoCellIsReached) {
  const DegenerateCase& c = GetParam();
  CGridAreaObject grid;
  const PageFormat format = GridFormat(c.charPitch, c.linePitch, c.textHeight);
  ASSERT_EQ(grid.SetPageFormat(&format), 1);
  const MoveParams wrap{1, 420, 1};
  CVedTextPos out = Untouched();

  // With wrapping allowed every move leaves the area before or after it.
  for (const int command : kMoveCommands) {
    const int answer = grid.MoveCursor(command, &wrap, nullptr, &out);
    EXPECT_TRUE(answer == kMoveBeforeStart || answer == kMoveAfterEnd)
        << "command " << command << " answered " << answer;
  }
  EXPECT_EQ(grid.StepLine(nullptr, kLineNext, &out), 0);
  EXPECT_EQ(grid.StepLine(nullptr, kLinePrevious, &out), 0);
  EXPECT_EQ(grid.PositionFromCell(1, 1, &out), 0);
  EXPECT_EQ(grid.PositionFromLineColumn(1, 1, nullptr, &out), 0);
  EXPECT_EQ(grid.PositionFromPoint(1, nullptr, 0, 0, &out), c.textHeight);
  EXPECT_EQ(out, Untouched());
  EXPECT_EQ(grid.CountLines(nullptr, nullptr), 0);
  EXPECT_EQ(grid.GetHeight(nullptr, nullptr), c.textHeight);
}

const DegenerateCase kDegenerateCases[] = {
    {"NoCharPitch", 0, kLinePitch, kTextHeight},
    {"NoLinePitch", kCharPitch, 0, kTextHeight},
    {"NoPitchAtAll", 0, 0, kTextHeight},
    {"LowerThanOneLine", kCharPitch, kLinePitch, kLinePitch - 1},
};

INSTANTIATE_TEST_SUITE_P(Formats, GridWithoutCellsTest, ::testing::ValuesIn(kDegenerateCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(GridAreaFormatTest, AnAreaOfNoHeightHasNothingToHit) {
  CGridAreaObject grid;
  PageFormat format = GridFormat(kCharPitch, kLinePitch, 0);
  ASSERT_EQ(grid.SetPageFormat(&format), 1);
  CVedTextPos out = Untouched();
  EXPECT_EQ(grid.PositionFromPoint(1, nullptr, 0, 0, &out), CGridAreaObject::kNoPosition);
  EXPECT_EQ(out, Untouched());

  // An unbounded text height gives no height rather than a negative one.
  format.textHeight = kUnboundedTextHeight;
  ASSERT_EQ(grid.ApplyPageFormat(&format), 1);
  EXPECT_EQ(grid.GetHeight(nullptr, nullptr), 0);
}

// --- Geometry the container reads ----------------------------------------------

TEST_F(GridAreaTest, HeightRunsFromTheFirstLineBoxTopToTheLastLineBoxBottom) {
  const CVedTextPos row1 = At(1, 7);
  const CVedTextPos row2 = At(2, 0);
  const CVedTextPos row3 = At(3, 2);
  EXPECT_EQ(grid_.GetHeight(nullptr, nullptr), kTextHeight);
  EXPECT_EQ(grid_.GetHeight(&row2, nullptr), kTextHeight - 2 * kLinePitch);
  EXPECT_EQ(grid_.GetHeight(nullptr, &row1), 2 * kLinePitch);
  EXPECT_EQ(grid_.GetHeight(&row1, &row3), 3 * kLinePitch);
  EXPECT_EQ(grid_.GetHeight(&row3, &row1), 3 * kLinePitch);
  EXPECT_EQ(grid_.GetHeight(&row2, &row2), kLinePitch);
}

TEST_F(GridAreaTest, LinesAreCountedByRowDifference) {
  const CVedTextPos row1 = At(1, 7);
  const CVedTextPos row3 = At(3, 2);
  EXPECT_EQ(grid_.CountLines(nullptr, nullptr), kLines);
  EXPECT_EQ(grid_.CountLines(&row3, nullptr), kLines - 3);
  EXPECT_EQ(grid_.CountLines(&row1, &row3), 2);
  EXPECT_EQ(grid_.CountLines(&row3, &row1), 2);
  EXPECT_EQ(grid_.CountLines(nullptr, &row3), 3);
}

TEST_F(GridAreaTest, CellRectanglesAreMeasuredFromTheBaseRow) {
  PlaceCursor(2, 3);
  const CVedTextPos pos = At(3, 4);
  const CVedTextPos base = At(1, 8);
  const CVedTextPos later = At(4, 0);
  RECT rect;
  EXPECT_EQ(*grid_.GetPositionRect(&rect, 1, nullptr, nullptr), (RECT{300, 600, 400, 900}));
  EXPECT_EQ(*grid_.GetPositionRect(&rect, 3, &pos, nullptr), (RECT{400, 900, 500, 1200}));
  EXPECT_EQ(*grid_.GetPositionRect(&rect, 3, &pos, &base), (RECT{400, 600, 500, 900}));
  // A base on a later row gives an empty rectangle at 0.
  EXPECT_EQ(*grid_.GetPositionRect(&rect, 1, &pos, &later), RECT{});
  EXPECT_EQ(grid_.GetPositionRect(nullptr, 1, &pos, nullptr), nullptr);
}

TEST_F(GridAreaTest, TheCaretIsAsHighAsTheLineAboveAndHasNoWidthWithoutARenderer) {
  const CVedTextPos pos = At(1, 2);
  RECT rect;
  // Until the container says otherwise, the line above is one line pitch.
  EXPECT_EQ(*grid_.GetPositionRect(&rect, 0, &pos, nullptr), (RECT{200, 300, 200, 600}));
  grid_.SetPreviousRect(0, 100, 900, 430);
  EXPECT_EQ(*grid_.GetPositionRect(&rect, 2, &pos, nullptr), (RECT{200, 300, 200, 630}));
}

TEST_F(GridAreaTest, ThereIsNoFrame) {
  const CVedTextPos pos = At(1, 2);
  RECT rect;
  EXPECT_EQ(*grid_.GetFrameRect(&rect, &pos), (RECT{-1, -1, -1, -1}));
  EXPECT_EQ(*grid_.GetFrameRect(&rect, nullptr), (RECT{-1, -1, -1, -1}));
}

TEST_F(GridAreaTest, APointInsideFindsItsCell) {
  PlaceCursor(0, 0);
  CVedTextPos out;
  EXPECT_EQ(grid_.PositionFromPoint(0, nullptr, 250, 650, &out), 0);
  EXPECT_EQ(out, At(2, 2));
  EXPECT_EQ(Cursor(), At(0, 0));

  EXPECT_EQ(grid_.PositionFromPoint(1, nullptr, 250, 650, &out), 0);
  EXPECT_EQ(Cursor(), At(2, 2));

  // Relative to a base the y counts from the base's line-box top.
  const CVedTextPos base = At(1, 9);
  EXPECT_EQ(grid_.PositionFromPoint(0, &base, 250, 650, &out), 0);
  EXPECT_EQ(out, At(3, 2));
  // A point above the base is taken at the top.
  EXPECT_EQ(grid_.PositionFromPoint(0, &base, 250, -1000, &out), 0);
  EXPECT_EQ(out, At(0, 2));
}

TEST_F(GridAreaTest, APointBesideTheColumnsFallsOnACell) {
  CVedTextPos out;
  // Past the text width x counts as 0.
  EXPECT_EQ(grid_.PositionFromPoint(0, nullptr, kTextWidth + 1, 10, &out), 0);
  EXPECT_EQ(out, At(0, 0));
  // In the spare width right of the last whole column: the last column.
  EXPECT_EQ(grid_.PositionFromPoint(0, nullptr, kTextWidth, 10, &out), 0);
  EXPECT_EQ(out, At(0, kColumns - 1));
  EXPECT_EQ(grid_.PositionFromPoint(0, nullptr, -5, 10, &out), 0);
  EXPECT_EQ(out, At(0, 0));
}

TEST_F(GridAreaTest, APointBelowAnswersTheHeightPassedOverAndChangesNothing) {
  PlaceCursor(2, 3);
  CVedTextPos out = Untouched();
  EXPECT_EQ(grid_.PositionFromPoint(1, nullptr, 250, kTextHeight + 700, &out), kTextHeight);
  // The bottom edge itself lies below the last row.
  EXPECT_EQ(grid_.PositionFromPoint(1, nullptr, 250, kTextHeight, &out), kTextHeight);
  const CVedTextPos base = At(1, 0);
  EXPECT_EQ(grid_.PositionFromPoint(1, &base, 250, kTextHeight, &out), kTextHeight - kLinePitch);
  EXPECT_EQ(out, Untouched());
  EXPECT_EQ(Cursor(), At(2, 3));
}

// --- Lines and columns ------------------------------------------------------------

TEST_F(GridAreaTest, LineAndColumnCountFromTheBaseRow) {
  PlaceCursor(3, 4);
  int32_t line = 0;
  int32_t column = 0;
  EXPECT_EQ(grid_.GetLineColumn(&line, &column, nullptr, nullptr), 1);
  EXPECT_EQ(line, 4);
  EXPECT_EQ(column, 5);

  const CVedTextPos base = At(1, 0);
  EXPECT_EQ(grid_.GetLineColumn(&line, &column, nullptr, &base), 1);
  EXPECT_EQ(line, 3);
  EXPECT_EQ(column, 5);
  CVedTextPos back;
  EXPECT_EQ(grid_.PositionFromLineColumn(line, column, &base, &back), 3);
  EXPECT_EQ(back, At(3, 4));

  const CVedTextPos later = At(4, 0);
  EXPECT_EQ(grid_.GetLineColumn(&line, &column, nullptr, &later), 0);
}

TEST_F(GridAreaTest, LineAndColumnPastTheAreaAnswerTheLinesLeft) {
  const CVedTextPos base = At(1, 2);
  CVedTextPos out = Untouched();
  EXPECT_EQ(grid_.PositionFromLineColumn(kLines, 1, &base, &out), kLines - 1);
  EXPECT_EQ(out, Untouched());
  EXPECT_EQ(grid_.PositionFromLineColumn(0, 1, &base, &out), CGridAreaObject::kNoPosition);
  EXPECT_EQ(grid_.PositionFromLineColumn(1, 0, &base, &out), CGridAreaObject::kNoPosition);
  EXPECT_EQ(out, Untouched());

  // The base column is added; a column past the line stops on its last cell.
  EXPECT_EQ(grid_.PositionFromLineColumn(2, 3, &base, &out), 2);
  EXPECT_EQ(out, At(2, 4));
  EXPECT_EQ(grid_.PositionFromLineColumn(kLines - 1, 50, &base, &out), kLines - 1);
  EXPECT_EQ(out, At(kLines - 1, kColumns - 1));
}

TEST_F(GridAreaTest, PositionFromCellAcceptsOnlyCellsOfTheArea) {
  CVedTextPos out = Untouched();
  EXPECT_EQ(grid_.PositionFromCell(kLines, kColumns, &out), 1);
  EXPECT_EQ(out, At(kLines - 1, kColumns - 1));
  out = Untouched();
  EXPECT_EQ(grid_.PositionFromCell(kLines + 1, 1, &out), 0);
  EXPECT_EQ(grid_.PositionFromCell(1, kColumns + 1, &out), 0);
  EXPECT_EQ(grid_.PositionFromCell(0, 1, &out), 0);
  EXPECT_EQ(grid_.PositionFromCell(1, 0, &out), 0);
  EXPECT_EQ(out, Untouched());
}

struct StepCase {
  const char* name;
  bool withPosition;
  Cell pos;
  int direction;
  int answer;
  int32_t row;
};

class GridStepLineTest : public GridAreaTest, public ::testing::WithParamInterface<StepCase> {};

TEST_P(GridStepLineTest, StepsToALineStart) {
  const StepCase& c = GetParam();
  PlaceCursor(2, 3);
  const CVedTextPos pos = At(c.pos.row, c.pos.column);
  const CVedTextPos* given = c.withPosition ? &pos : nullptr;
  for (const bool page : {false, true}) {
    CVedTextPos out = Untouched();
    const int answer = page ? grid_.StepPageLine(given, c.direction, &out)
                            : grid_.StepLine(given, c.direction, &out);
    EXPECT_EQ(answer, c.answer);
    EXPECT_EQ(out, c.answer == 1 ? At(c.row, 0) : Untouched());
  }
}

const StepCase kStepCases[] = {
    {"ThisLine", true, {1, 5}, kLineThis, 1, 1},
    {"ThisLineOfTheCursor", false, {}, kLineThis, 1, 2},
    {"NextLine", true, {1, 5}, kLineNext, 1, 2},
    {"NoLineAfterTheLast", true, {4, 5}, kLineNext, 0, 0},
    {"NextWithoutPositionIsTheLastLine", false, {}, kLineNext, 1, 4},
    {"PreviousLine", true, {1, 5}, kLinePrevious, 1, 0},
    {"NoLineBeforeTheFirst", true, {0, 5}, kLinePrevious, 0, 0},
    {"PreviousWithoutPositionIsTheFirstLine", false, {}, kLinePrevious, 1, 0},
    {"UnknownDirection", true, {1, 5}, 7, 0, 0},
};

INSTANTIATE_TEST_SUITE_P(Directions, GridStepLineTest, ::testing::ValuesIn(kStepCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(GridAreaTest, FirstAndLastLine) {
  const CVedTextPos first = At(0, 9);
  const CVedTextPos middle = At(2, 0);
  const CVedTextPos last = At(kLines - 1, 0);
  EXPECT_EQ(grid_.IsFirstLine(&first), 1);
  EXPECT_EQ(grid_.IsFirstLine(&middle), 0);
  EXPECT_EQ(grid_.IsLastLine(&middle), 0);
  EXPECT_EQ(grid_.IsLastLine(&last), 1);
  EXPECT_EQ(grid_.IsFirstLine(nullptr), 1);  // the cursor starts at (0, 0)
}

TEST_F(GridAreaTest, PositionsCompareByRowThenColumn) {
  const CVedTextPos a = At(1, 9);
  const CVedTextPos b = At(2, 0);
  const CVedTextPos c = At(2, 1);
  EXPECT_EQ(grid_.ComparePositions(&a, &b), kCompareBefore);
  EXPECT_EQ(grid_.ComparePositions(&c, &b), kCompareAfter);
  EXPECT_EQ(grid_.ComparePositions(&b, &b), kCompareEqual);
  EXPECT_EQ(grid_.ComparePositions(nullptr, &b), kCompareIncomparable);
}

// --- Anchors ---------------------------------------------------------------------

TEST_F(GridAreaTest, TheCharacterAnchorIsFoundFromPositionsAtOrBeforeIt) {
  CVedAnchor anchor;
  const CVedTextPos at = At(2, 3);
  EXPECT_EQ(grid_.SetAnchor(kAnchorLine, &anchor, &at), 0);
  EXPECT_EQ(grid_.FindAnchor(kAnchorChar, nullptr, 0), nullptr);
  EXPECT_EQ(grid_.SetAnchor(kAnchorChar, &anchor, &at), 1);

  EXPECT_EQ(grid_.FindAnchor(kAnchorLine, nullptr, 0), nullptr);
  ASSERT_EQ(grid_.FindAnchor(kAnchorChar, nullptr, 0), &anchor);
  EXPECT_EQ(anchor.position, at);

  anchor.position = CVedTextPos();
  const CVedTextPos earlierRowLaterColumn = At(1, 5);
  EXPECT_EQ(grid_.FindAnchor(kAnchorChar, &earlierRowLaterColumn, 0), &anchor);
  EXPECT_EQ(anchor.position, at);
  EXPECT_EQ(grid_.FindAnchor(kAnchorChar, &at, 0), &anchor);
  const CVedTextPos after = At(2, 4);
  const CVedTextPos laterRowEarlierColumn = At(3, 0);
  EXPECT_EQ(grid_.FindAnchor(kAnchorChar, &after, 0), nullptr);
  EXPECT_EQ(grid_.FindAnchor(kAnchorChar, &laterRowEarlierColumn, 0), nullptr);
}

// A walk over the anchors searches on from each one found for the next:
// from the anchor's own place, or past it, the area has none left to give.
TEST_F(GridAreaTest, TheNextCharacterAnchorLiesStrictlyAfterTheSearchsStart) {
  CVedAnchor anchor;
  const CVedTextPos at = At(2, 3);
  ASSERT_EQ(grid_.SetAnchor(kAnchorChar, &anchor, &at), 1);
  struct Case {
    int32_t row;
    int32_t column;
    bool found;
  };
  const Case cases[] = {{2, 2, true}, {1, 5, true}, {2, 3, false}, {2, 4, false}, {3, 0, false}};
  for (const Case& c : cases) {
    const CVedTextPos from = At(c.row, c.column);
    EXPECT_EQ(grid_.FindAnchor(kAnchorChar, &from, 1), c.found ? &anchor : nullptr)
        << c.row << "," << c.column;
  }
}

// --- The rest of the interface ---------------------------------------------------

TEST_F(GridAreaTest, AFormatRestartsTheCursorAndIsKept) {
  PlaceCursor(2, 3);
  PageFormat format = GridFormat();
  format.textHeight = 2 * kLinePitch;
  format.referenceDC = nullptr;
  EXPECT_EQ(grid_.CheckPageFormat(&format), kFormatFits);
  EXPECT_EQ(grid_.ApplyPageFormat(&format), 1);
  EXPECT_EQ(Cursor(), At(0, 0));
  EXPECT_EQ(grid_.CountLines(nullptr, nullptr), 2);
  EXPECT_EQ(grid_.ApplyPageFormat(nullptr), 0);

  const platform::UniqueDC dc = platform::CreateImageDC(8, 8);
  EXPECT_EQ(grid_.SetReferenceDC(dc.get()), 1);
  PageFormat copy;
  EXPECT_EQ(grid_.GetPageFormat(&copy), 1);
  EXPECT_EQ(copy.referenceDC, dc.get());
  EXPECT_EQ(copy.textHeight, 2 * kLinePitch);

  PlaceCursor(1, 1);
  EXPECT_EQ(grid_.Clear(), 1);
  EXPECT_EQ(Cursor(), At(0, 0));
}

TEST_F(GridAreaTest, ItHoldsNoContent) {
  EXPECT_EQ(grid_.IsEmpty(), 1);
  EXPECT_EQ(grid_.CountChars(), 0);
  EXPECT_EQ(grid_.CountAux(), 0);
  EXPECT_EQ(grid_.Reset(), 1);

  ObjectDescription kind{};
  EXPECT_EQ(grid_.GetKindAt(nullptr, &kind), 1);
  EXPECT_EQ(kind[0], kObjectGridArea);
  LineMetrics metrics;
  grid_.GetPageLineMetrics(&metrics, nullptr);
  EXPECT_EQ(metrics.height, kLinePitch);
  EXPECT_EQ(metrics.gap, 0);
  EXPECT_EQ(metrics.endKind, 1);
  EXPECT_EQ(metrics.anchor, nullptr);

  EditResult result;
  EXPECT_EQ(grid_.InsertText("a", &result), 0);
  EXPECT_EQ(grid_.DeleteChar(1, &result), 0);
  EXPECT_EQ(grid_.DeleteRange(nullptr, nullptr, &result), 0);
  EXPECT_EQ(grid_.MergeFrom(nullptr, 0, &result), 0);
  EXPECT_EQ(grid_.SplitInto(nullptr, nullptr, &result), 0);
  EXPECT_EQ(result.changed, 0);
  CVedTextRange found;
  EXPECT_EQ(grid_.FindText(0, 17, "a", &found), 0);
  DrawResult drawn{1, 99};
  EXPECT_EQ(grid_.Draw(nullptr, 0, 0, 0, 1000, &drawn), 0);
  EXPECT_EQ(drawn.painted, 0);
  EXPECT_EQ(drawn.height, 0);

  CVedTextRange in;
  in.start = At(1, 1);
  in.end = At(2, 2);
  CVedTextRange out;
  EXPECT_EQ(grid_.AdjustRange(&in, &out), 1);
  EXPECT_EQ(out.start, in.start);
  EXPECT_EQ(out.end, in.end);
}

TEST_F(GridAreaTest, FormatsAreNeitherKeptNorApplied) {
  CharFormat font;
  CharDecoration decoration;
  CharDesign design;
  ParaFormat para;
  EditResult result;
  EXPECT_EQ(grid_.SetCharFormat(&font), 1);
  EXPECT_EQ(grid_.GetCharFormat(&font), 0);
  EXPECT_EQ(grid_.GetCursorFormat(0, &font), 0);
  EXPECT_EQ(grid_.ApplyFontValue(1, nullptr, nullptr), 0);
  EXPECT_EQ(grid_.SetCharFont(&font, nullptr, nullptr, &result), 0);
  EXPECT_EQ(grid_.GetCharFont(&font, nullptr, nullptr), 0);
  EXPECT_EQ(grid_.SetCharDecoration(&decoration, nullptr, nullptr, &result), 0);
  EXPECT_EQ(grid_.GetCharDecoration(&decoration, nullptr, nullptr), 0);
  EXPECT_EQ(grid_.SetCharDesign(&design, nullptr, nullptr, &result), 0);
  EXPECT_EQ(grid_.GetCharDesign(&design, nullptr, nullptr), 0);
  EXPECT_EQ(grid_.SetParaFormat(&para, nullptr, nullptr, &result), 0);
  EXPECT_EQ(grid_.GetParaFormat(&para, nullptr, nullptr), 0);
  EXPECT_EQ(result.changed, 0);

  const DocObjOptions options = DocObjOptions::ContainerDefaults();
  EXPECT_EQ(grid_.SetOptions(&options), 1);
  DocObjOptions out;
  EXPECT_EQ(grid_.GetOptions(&out), &out);
}

TEST_F(GridAreaTest, StoringWritesNothingAndLoadingReadsNothing) {
  platform::CMemFile file;
  EditResult result;
  result.changed = 5;
  {
    platform::CArchive store(&file, platform::CArchive::kStore);
    EXPECT_EQ(grid_.SerializeRange(store, kFormatOwnBlock, 2, nullptr, nullptr, &result), 0);
    EXPECT_EQ(result.changed, 0);
    store.Close();
  }
  EXPECT_EQ(file.GetLength(), 0u);

  const uint8_t bytes[] = {1, 2, 3, 4};
  platform::CMemFile source(const_cast<uint8_t*>(bytes), sizeof bytes);
  platform::CArchive load(&source, platform::CArchive::kLoad);
  EXPECT_EQ(grid_.SerializeRange(load, kFormatOwnBlock, 2, nullptr, nullptr, &result), 1);
  EXPECT_EQ(result.changed, 1);
  uint32_t next = 0;
  load >> next;
  EXPECT_EQ(next, 0x04030201u);
}

// --- With a renderer --------------------------------------------------------------

// The caret is one blank of the document's default font wide: with the
// synthetic fixed face at 12 points that is half an em, 120 twips.
TEST(GridAreaCaretTest, TheCaretIsOneBlankOfTheDefaultFontWide) {
  platform::SyntheticFontService service;
  platform::ScopedFontService useService(service);
  CFontTable table;
  CDocRenderer renderer(table);
  const platform::UniqueDC dc = platform::CreateImageDC(64, 64, 96, 96);
  PageFormat format = GridFormat();
  format.referenceDC = dc.get();
  format.resolutionX = format.resolutionY = 96;
  std::strcpy(format.face, platform::kSyntheticFixedFace);
  format.fontSize = 120;
  format.heightScale = format.widthScale = 100;
  renderer.SetPageFormat(format);

  CGridAreaObject grid;
  ASSERT_EQ(grid.Initialize(&renderer, nullptr), 1);
  ASSERT_EQ(grid.SetPageFormat(&format), 1);
  const CVedTextPos pos = At(1, 2);
  RECT rect;
  EXPECT_EQ(*grid.GetPositionRect(&rect, 0, &pos, nullptr), (RECT{200, 300, 320, 600}));
  // The cell box does not depend on the font.
  EXPECT_EQ(*grid.GetPositionRect(&rect, 3, &pos, nullptr), (RECT{200, 300, 300, 600}));
}

}  // namespace
