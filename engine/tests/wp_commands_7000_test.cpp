// The ruled-table commands as the table menu sends them: creating a table
// at the caret, changing its rows, columns and widths as undoable edits,
// its attributes, the document-wide line setting and the questions the
// views ask about the caret's cell.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "engine/wp_commands.h"
#include "engine/wp_ctrl.h"
#include "wp_ctrl_fixture.h"

namespace doc_root_test {
namespace {

class TableCommandTest : public WpCtrlFixture {
 protected:
  intptr_t Table(int code, int arg = 0, intptr_t value = 0) {
    return engine.TableCommand(code, arg, value);
  }
  int Rows() { return static_cast<int>(Table(WPC_GET_TABLE_ROWS)); }
  int Columns() { return static_cast<int>(Table(WPC_GET_TABLE_COLUMNS)); }
  // A line of text, then a table of `rows` x `columns` with the caret in
  // its first cell.
  void MakeTable(int rows, int columns) {
    Type("ab");
    ASSERT_NE(Table(WPC_CREATE_TABLE, 1, (rows << 16) | columns), 0);
    window.Clear();
  }
};

TEST_F(TableCommandTest, ATableIsCreatedAtTheCaretAsAnEdit) {
  Type("ab");
  EXPECT_EQ(Rows(), 0);
  EXPECT_EQ(Columns(), 0);
  int32_t cell = -1;
  EXPECT_EQ(Table(WPC_GET_CELL_POSITION, 0, Pointer(&cell)), 0);
  EXPECT_EQ(cell, -1) << "outside a table nothing is written";
  window.Clear();

  EXPECT_NE(Table(WPC_CREATE_TABLE, 1, (2 << 16) | 3), 0);
  EXPECT_EQ(Rows(), 2);
  EXPECT_EQ(Columns(), 3);
  EXPECT_NE(Table(WPC_GET_CELL_POSITION, 0, Pointer(&cell)), 0);
  EXPECT_EQ(cell, (1 << 16) | 1);
  EXPECT_EQ(window.Count(WM_WPC_CONTENTCHANGED), 1u);
  EXPECT_EQ(window.Count(WM_WPC_CARETMOVED), 1u);
  EXPECT_EQ(engine.IsEditRunning(), 0);

  EXPECT_EQ(engine.EditCommand(WPC_CAN_UNDO, 0, 0), 1);
}

TEST_F(TableCommandTest, TheCaretContextAnswersOneOnlyForASelectionThatLeavesTheTable) {
  MakeTable(2, 2);
  ObjectDescription context{};
  EXPECT_EQ(engine.EditCommand(WPC_GET_CARET_CONTEXT, 0, Pointer(&context)), 0);
  EXPECT_EQ(context[0], kObjectTable);
  engine.EditCommand(WPC_MOVE, kMoveDocumentStart, 1);
  engine.EditCommand(WPC_MOVE_EXTEND, kMoveDocumentEnd, kCharacterWise);
  for (const int mode : {0, 1, 2}) {
    EXPECT_EQ(engine.EditCommand(WPC_GET_CARET_CONTEXT, mode, Pointer(&context)), 1) << mode;
  }
}

TEST_F(TableCommandTest, RowAndColumnEditsChangeTheCaretsTable) {
  MakeTable(3, 3);
  struct Case {
    int code;
    int rows;
    int columns;
  };
  const Case cases[] = {
      {WPC_DELETE_COLUMN, 3, 2},
      {WPC_DELETE_ROW, 2, 2},
      {WPC_INSERT_ROW, 3, 2},
      {WPC_INSERT_COLUMN, 3, 3},
  };
  for (const Case& c : cases) {
    window.Clear();
    EXPECT_NE(Table(c.code, 1), 0) << c.code;
    EXPECT_EQ(Rows(), c.rows) << c.code;
    EXPECT_EQ(Columns(), c.columns) << c.code;
    EXPECT_EQ(window.Count(WM_WPC_CONTENTCHANGED), 1u) << c.code;
    EXPECT_EQ(window.Count(WM_WPC_CARETMOVED), 1u) << c.code;
  }
  EXPECT_EQ(engine.IsEditRunning(), 0);
}

TEST_F(TableCommandTest, AColumnWidthIsSetAndItsUndoPutsTheOldWidthBack) {
  MakeTable(1, 2);
  const auto before = static_cast<int32_t>(Table(WPC_GET_COLUMN_WIDTH));
  ASSERT_GT(before, 2);
  EXPECT_NE(Table(WPC_SET_COLUMN_WIDTH, 1, 2), 0);
  EXPECT_EQ(Table(WPC_GET_COLUMN_WIDTH), 2);
  EXPECT_EQ(Table(WPC_SET_COLUMN_WIDTH, 1, 0), 0) << "no width, no change";
  EXPECT_EQ(Table(WPC_GET_COLUMN_WIDTH), 2);

  engine.EditCommand(WPC_UNDO, 0, 0);
  EXPECT_EQ(Table(WPC_GET_COLUMN_WIDTH), before);
  engine.EditCommand(WPC_REDO, 0, 0);
  EXPECT_EQ(Table(WPC_GET_COLUMN_WIDTH), 2);
}

TEST_F(TableCommandTest, DeletingTheTableLeavesTheTextAroundItAndIsUndone) {
  MakeTable(2, 2);
  const std::string withTable = DocumentText();
  EXPECT_NE(Table(WPC_DELETE_TABLE, 1), 0);
  EXPECT_EQ(Rows(), 0);
  EXPECT_EQ(Columns(), 0);
  EXPECT_EQ(DocumentText(), "ab");
  engine.EditCommand(WPC_UNDO, 0, 0);
  EXPECT_EQ(DocumentText(), withTable);

  // Outside a table the table edits change nothing and record nothing.
  engine.DocumentCommand(WPC_NEW_DOCUMENT, 0, nullptr);
  Type("ab");
  for (const int code : {WPC_INSERT_COLUMN, WPC_INSERT_ROW, WPC_DELETE_COLUMN, WPC_DELETE_ROW,
                         WPC_DELETE_TABLE, WPC_SET_COLUMN_WIDTH}) {
    EXPECT_EQ(Table(code, 1, 3), 0) << code;
  }
  EXPECT_EQ(DocumentText(), "ab");
  EXPECT_EQ(Table(WPC_GET_COLUMN_WIDTH), 0);
}

TEST_F(TableCommandTest, TextCopiedFromOutsideATableIsNotPastedIntoACellNorRecorded) {
  Type("ab");
  engine.EditCommand(WPC_MOVE_EXTEND, kMovePrevChar, 1);
  engine.EditCommand(WPC_COPY, 0, 0);
  engine.EditCommand(WPC_CLEAR_SELECTION, 0, 0);
  engine.EditCommand(WPC_MOVE, kMoveLineEnd, 1);
  ASSERT_NE(Table(WPC_CREATE_TABLE, 1, (2 << 16) | 2), 0);
  const std::string withTable = DocumentText();
  window.Clear();

  engine.EditCommand(WPC_PASTE, 1, 0);
  EXPECT_EQ(DocumentText(), withTable);
  EXPECT_EQ(window.Count(WM_WPC_CONTENTCHANGED), 0u);
  EXPECT_EQ(window.Cues(), std::vector<int>{kCueWarning});
  // The one step left is the table's creation.
  engine.EditCommand(WPC_UNDO, 0, 0);
  EXPECT_EQ(DocumentText(), "ab");
}

TEST_F(TableCommandTest, AttributesOfTheCaretsTableAreReadAndSet) {
  CDocBunsObj::TableAttributes outside;
  EXPECT_EQ(Table(WPC_GET_TABLE_ATTRIBUTES, 0, Pointer(&outside)), 0);
  MakeTable(1, 2);
  CDocBunsObj::TableAttributes attributes;
  ASSERT_NE(Table(WPC_GET_TABLE_ATTRIBUTES, 0, Pointer(&attributes)), 0);
  EXPECT_EQ(attributes.layout.placement, 1) << "a new table stands at the left";
  attributes.layout.placement = 2;
  window.Clear();
  EXPECT_NE(Table(WPC_SET_TABLE_ATTRIBUTES, 1, Pointer(&attributes)), 0);
  EXPECT_EQ(window.Count(WM_WPC_CONTENTCHANGED), 1u);
  EXPECT_EQ(window.Count(WM_WPC_CARETMOVED), 2u) << "once by the edit, once more after it";
  CDocBunsObj::TableAttributes read;
  Table(WPC_GET_TABLE_ATTRIBUTES, 0, Pointer(&read));
  EXPECT_EQ(read.layout.placement, 2);

  engine.EditCommand(WPC_UNDO, 0, 0);
  Table(WPC_GET_TABLE_ATTRIBUTES, 0, Pointer(&read));
  EXPECT_EQ(read.layout.placement, 1);
}

TEST_F(TableCommandTest, TheLineSettingDecidesWhetherTheCellPhraseIsGiven) {
  const uint16_t speakCells = 0x0100;
  EXPECT_EQ(Table(WPC_SET_TABLE_LINE_KIND, 0, Pointer(&speakCells)), 0);
  uint16_t setting = 0;
  EXPECT_EQ(Table(WPC_GET_TABLE_LINE_KIND, 0, Pointer(&setting)), 0);
  EXPECT_EQ(setting, speakCells);

  MakeTable(2, 2);
  // The cell the caret stands in was told when the table was made.
  std::string phrase = "> ";
  EXPECT_EQ(Table(WPC_GET_CELL_TEXT, 0, Pointer(&phrase)), 0);
  EXPECT_EQ(phrase, "> ");

  // Moving into another cell: the move itself tells the new cell.
  window.Clear();
  engine.EditCommand(WPC_MOVE, kMoveLineDown, 1);
  int32_t cell = 0;
  ASSERT_NE(Table(WPC_GET_CELL_POSITION, 0, Pointer(&cell)), 0);
  EXPECT_EQ(cell, (2 << 16) | 1);
  const std::vector<std::string> spoken = window.Spoken();
  std::string all;
  for (const std::string& text : spoken) all += text;
  EXPECT_NE(all.find("\x83\x5A\x83\x8B 2\x8D\x73 1\x97\xF1 "), std::string::npos);  // セル 2行 1列

  const uint16_t silent = 0;
  Table(WPC_SET_TABLE_LINE_KIND, 0, Pointer(&silent));
  engine.EditCommand(WPC_MOVE, kMoveLineUp, 1);
  phrase.clear();
  EXPECT_EQ(Table(WPC_GET_CELL_TEXT, 0, Pointer(&phrase)), 0);
  EXPECT_EQ(phrase, "");
}

// ---- Undo and redo of the table edits, as the document's stored bytes

// How a case sets up its document before the edit that is undone.
enum class Start {
  kText,         // two lines of text, the caret at the start of the second
  kFilledTable,  // a 2 x 2 table with a character in each cell between the
                 // two lines, the caret in its first cell
  kNarrowTable,  // the same, its first column two characters wide
  kLastCell,     // the filled table, the caret in its last cell
  kOneColumn,    // the filled table without its first column
  kTwoLineCell,  // the filled table, its first cell's text broken into two
                 // lines, the caret at the start of the second
};

struct TableUndoCase {
  const char* name;
  Start start;
  int code;
  intptr_t value;
};

// The starts and the stored bytes that the undo cases below compare.
class TableStartTest : public TableCommandTest {
 protected:
  // Undo gives back the document before the edit, redo the one after it,
  // and the redo recorded its own undo again.
  void ExpectUndoRedoUndo(const std::string& textBefore, const std::string& before,
                          const std::string& textAfter, const std::string& after) {
    engine.EditCommand(WPC_UNDO, 0, 0);
    EXPECT_EQ(DocumentText(), textBefore);
    EXPECT_EQ(ContentBytes(), before);
    engine.EditCommand(WPC_REDO, 0, 0);
    EXPECT_EQ(DocumentText(), textAfter);
    EXPECT_EQ(ContentBytes(), after);
    engine.EditCommand(WPC_UNDO, 0, 0);
    EXPECT_EQ(ContentBytes(), before);
  }

  // The edit changes the document; undo, redo and undo again then give
  // back the document before it, after it and before it again.
  template <typename Edit>
  void ExpectEditUndoneExactly(Edit edit) {
    const std::string textBefore = DocumentText();
    const std::string before = ContentBytes();
    edit();
    const std::string textAfter = DocumentText();
    const std::string after = ContentBytes();
    ASSERT_NE(after, before);
    ExpectUndoRedoUndo(textBefore, before, textAfter, after);
  }

  // The document's stored bytes, sixteen to a line in hex, so that a
  // mismatch shows where the bytes part.
  std::string ContentBytes() {
    const std::vector<uint8_t> bytes = Content();
    std::string hex;
    for (size_t i = 0; i < bytes.size(); ++i) {
      char byte[4];
      std::snprintf(byte, sizeof byte, "%02X%c", bytes[i], i % 16 == 15 ? '\n' : ' ');
      hex += byte;
    }
    return hex;
  }

  void Prepare(Start start) {
    Type("ab\r\ncd");
    engine.EditCommand(WPC_MOVE, kMoveLineStart, 1);
    if (start == Start::kText) return;
    ASSERT_NE(Table(WPC_CREATE_TABLE, 1, (2 << 16) | 2), 0);
    const char* const cells[] = {"w", "x", "y", "z"};
    for (const char* cell : cells) {
      if (cell != cells[0]) engine.EditCommand(WPC_MOVE, kMoveNextCellOrLine, 1);
      Type(cell);
    }
    for (int i = 1; i < 4; ++i) engine.EditCommand(WPC_MOVE, kMovePrevCellOrLine, 1);
    int32_t cell = 0;
    ASSERT_NE(Table(WPC_GET_CELL_POSITION, 0, Pointer(&cell)), 0);
    ASSERT_EQ(cell, (1 << 16) | 1);
    if (start == Start::kNarrowTable) {
      ASSERT_NE(Table(WPC_SET_COLUMN_WIDTH, 1, 2), 0);
    }
    if (start == Start::kOneColumn) {
      ASSERT_NE(Table(WPC_DELETE_COLUMN, 1), 0);
    }
    if (start == Start::kTwoLineCell) Type("\r");
    if (start == Start::kLastCell) {
      for (int i = 1; i < 4; ++i) engine.EditCommand(WPC_MOVE, kMoveNextCellOrLine, 1);
    }
  }
};

class TableUndoTest : public TableStartTest, public ::testing::WithParamInterface<TableUndoCase> {
 protected:
  // The edit's own value: the attribute case changes the placement of the
  // caret's table.
  intptr_t ValueOf(const TableUndoCase& c) {
    if (c.code != WPC_SET_TABLE_ATTRIBUTES) return c.value;
    EXPECT_NE(Table(WPC_GET_TABLE_ATTRIBUTES, 0, Pointer(&attributes_)), 0);
    attributes_.layout.placement = 3;
    return Pointer(&attributes_);
  }

  int Warnings() {
    int count = 0;
    for (const int cue : window.Cues()) count += cue == kCueWarning ? 1 : 0;
    return count;
  }

  CDocBunsObj::TableAttributes attributes_;
};

TEST_P(TableUndoTest, UndoGivesBackTheBytesBeforeTheEditAndRedoThoseAfterIt) {
  const TableUndoCase& c = GetParam();
  Prepare(c.start);
  const std::string textBefore = DocumentText();
  const std::string before = ContentBytes();
  ASSERT_NE(Table(c.code, 1, ValueOf(c)), 0);
  const std::string textAfter = DocumentText();
  const std::string after = ContentBytes();
  ASSERT_NE(after, before);
  window.Clear();

  ExpectUndoRedoUndo(textBefore, before, textAfter, after);
  EXPECT_EQ(Warnings(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    TableEdits, TableUndoTest,
    ::testing::Values(TableUndoCase{"CreateTable", Start::kText, WPC_CREATE_TABLE, (2 << 16) | 2},
                      TableUndoCase{"ColumnWidth", Start::kFilledTable, WPC_SET_COLUMN_WIDTH, 3},
                      TableUndoCase{"Attributes", Start::kNarrowTable, WPC_SET_TABLE_ATTRIBUTES, 0},
                      TableUndoCase{"InsertRow", Start::kFilledTable, WPC_INSERT_ROW, 0},
                      TableUndoCase{"InsertColumn", Start::kNarrowTable, WPC_INSERT_COLUMN, 0},
                      TableUndoCase{"DeleteRow", Start::kFilledTable, WPC_DELETE_ROW, 0},
                      TableUndoCase{"DeleteColumn", Start::kFilledTable, WPC_DELETE_COLUMN, 0},
                      TableUndoCase{"DeleteTable", Start::kFilledTable, WPC_DELETE_TABLE, 0},
                      TableUndoCase{"InsertRowInTheLastRow", Start::kLastCell, WPC_INSERT_ROW, 0},
                      TableUndoCase{"DeleteLastRow", Start::kLastCell, WPC_DELETE_ROW, 0},
                      TableUndoCase{"DeleteLastColumn", Start::kLastCell, WPC_DELETE_COLUMN, 0},
                      TableUndoCase{"DeleteOnlyColumn", Start::kOneColumn, WPC_DELETE_COLUMN, 0},
                      // The cell that takes the caret's place has no second line.
                      TableUndoCase{"DeleteColumnFromACellsSecondLine", Start::kTwoLineCell,
                                    WPC_DELETE_COLUMN, 0}),
    [](const ::testing::TestParamInfo<TableUndoCase>& info) { return info.param.name; });

// ---- Undo and redo of deletions that run between the text and a table

struct CrossingDeletionCase {
  const char* name;
  Start start;
  int moveFirst;  // where the selection starts, from the caret Prepare left
  int command;
};

class CrossingDeletionUndoTest : public TableStartTest,
                                 public ::testing::WithParamInterface<CrossingDeletionCase> {};

// The deletion empties the cells it reaches but keeps them; undoing it has
// to fill those cells again, not only put back the text before the table.
TEST_P(CrossingDeletionUndoTest, UndoRefillsTheEmptiedCellsAndRedoEmptiesThemAgain) {
  const CrossingDeletionCase& c = GetParam();
  Prepare(c.start);
  engine.EditCommand(WPC_MOVE, c.moveFirst, 1);
  engine.EditCommand(WPC_MOVE, kMoveNextChar, 1);
  engine.EditCommand(WPC_MOVE_EXTEND, kMoveLineDown, 1);
  ExpectEditUndoneExactly([&] { engine.EditCommand(c.command, 1, 0); });
}

INSTANTIATE_TEST_SUITE_P(
    Deletions, CrossingDeletionUndoTest,
    ::testing::Values(CrossingDeletionCase{"DeleteIntoTheFirstCell", Start::kFilledTable,
                                           kMoveDocumentStart, WPC_DELETE},
                      CrossingDeletionCase{"BackspaceIntoTheFirstCell", Start::kFilledTable,
                                           kMoveDocumentStart, WPC_BACKSPACE},
                      CrossingDeletionCase{"CutIntoTheFirstCell", Start::kFilledTable,
                                           kMoveDocumentStart, WPC_CUT}),
    [](const ::testing::TestParamInfo<CrossingDeletionCase>& info) { return info.param.name; });

// ---- Undo and redo of edits of a selection inside a table

struct CellSelectionCase {
  const char* name;
  int extendCode;  // how the selection is drawn from the start of the first cell
  int extendTimes;
  int command;        // the edit, when nothing is typed over the selection
  const char* typed;  // typed over the selection in overwrite mode
};

class CellSelectionUndoTest : public TableStartTest,
                              public ::testing::WithParamInterface<CellSelectionCase> {};

// The edit empties the selected cells and keeps them: the undo fills
// those cells again, not new rows or columns, and the redo empties the
// same cells, however many rows and columns the selection took in.
TEST_P(CellSelectionUndoTest, UndoRefillsTheSelectedCellsAndRedoEmptiesThemAgain) {
  const CellSelectionCase& c = GetParam();
  Prepare(Start::kFilledTable);
  for (int i = 0; i < c.extendTimes; ++i) {
    engine.EditCommand(WPC_MOVE_EXTEND, c.extendCode, kCharacterWise);
  }
  ExpectEditUndoneExactly([&] {
    if (c.typed != nullptr) {
      TypeOver(c.typed);
    } else {
      engine.EditCommand(c.command, 1, 0);
    }
  });
}

// One line down from the first cell reaches the rule under its row, which
// closes that row; two lines down reach the cell below.
INSTANTIATE_TEST_SUITE_P(
    CellSelections, CellSelectionUndoTest,
    ::testing::Values(
        CellSelectionCase{"DeleteToTheRuleBelow", kMoveLineDown, 1, WPC_DELETE, nullptr},
        CellSelectionCase{"BackspaceToTheRuleBelow", kMoveLineDown, 1, WPC_BACKSPACE, nullptr},
        CellSelectionCase{"DeleteIntoTheRowBelow", kMoveLineDown, 2, WPC_DELETE, nullptr},
        CellSelectionCase{"BackspaceIntoTheRowBelow", kMoveLineDown, 2, WPC_BACKSPACE, nullptr},
        CellSelectionCase{"TypeOverIntoTheRowBelow", kMoveLineDown, 2, 0, "A"},
        CellSelectionCase{"CutToTheLineEnd", kMoveLineEnd, 1, WPC_CUT, nullptr}),
    [](const ::testing::TestParamInfo<CellSelectionCase>& info) { return info.param.name; });

struct RuleBeforeCellCase {
  const char* name;
  Start start;
  int command;
};

class RuleBeforeCellUndoTest : public TableStartTest,
                               public ::testing::WithParamInterface<RuleBeforeCellCase> {};

// A selection drawn from a cell's start up onto the rule before the cell
// takes the cell's first character and leaves the rest: the undo puts that
// character back and the redo takes it alone again, not the whole cell.
TEST_P(RuleBeforeCellUndoTest, UndoAndRedoTakeOnlyTheCharacterTheDeletionTook) {
  const RuleBeforeCellCase& c = GetParam();
  Prepare(c.start);
  Type("v");
  engine.EditCommand(WPC_MOVE, kMovePrevChar, 1);
  engine.EditCommand(WPC_MOVE_EXTEND, kMoveLineUp, kCharacterWise);
  ExpectEditUndoneExactly([&] { engine.EditCommand(c.command, 1, 0); });
}

INSTANTIATE_TEST_SUITE_P(
    RuleSelections, RuleBeforeCellUndoTest,
    ::testing::Values(RuleBeforeCellCase{"Delete", Start::kFilledTable, WPC_DELETE},
                      RuleBeforeCellCase{"Backspace", Start::kFilledTable, WPC_BACKSPACE},
                      RuleBeforeCellCase{"Cut", Start::kFilledTable, WPC_CUT},
                      RuleBeforeCellCase{"DeleteInOneColumn", Start::kOneColumn, WPC_DELETE}),
    [](const ::testing::TestParamInfo<RuleBeforeCellCase>& info) { return info.param.name; });

// ---- Undo and redo of edits inside a cell's text

struct CellEditCase {
  const char* name;
  Start start;
  int steps;          // characters stepped over from the start of the cell's text
  const char* ahead;  // typed there before the edit
  bool overwrite;     // typed in overwrite mode
  const char* typed;  // null: a forward delete
};

class CellEditUndoTest : public TableStartTest, public ::testing::WithParamInterface<CellEditCase> {
 protected:
  void Edit(const CellEditCase& c) {
    if (c.typed == nullptr) {
      engine.EditCommand(WPC_DELETE, 1, 0);
    } else if (c.overwrite) {
      TypeOver(c.typed);
    } else {
      Type(c.typed);
    }
  }
};

// What a replay reads back from a cell's text belongs in that cell, not in
// a paragraph of its own beside the table.
TEST_P(CellEditUndoTest, TheCellGetsItsTextBackAndTheEditAgain) {
  const CellEditCase& c = GetParam();
  Prepare(c.start);
  for (int i = 0; i < c.steps; ++i) engine.EditCommand(WPC_MOVE, kMoveNextChar, 1);
  Type(c.ahead);
  ExpectEditUndoneExactly([&] { Edit(c); });
}

INSTANTIATE_TEST_SUITE_P(
    CellEdits, CellEditUndoTest,
    ::testing::Values(CellEditCase{"TypeAtTheStart", Start::kFilledTable, 0, "", false, "A"},
                      CellEditCase{"TypeAtTheEnd", Start::kFilledTable, 1, "", false, "A"},
                      CellEditCase{"TypePastTheEnd", Start::kFilledTable, 3, "", false, "A"},
                      CellEditCase{"TypeOver", Start::kFilledTable, 0, "", true, "A"},
                      CellEditCase{"TypeAfterAColumnWentOut", Start::kOneColumn, 0, "", false, "A"},
                      CellEditCase{"Delete", Start::kFilledTable, 0, "", false, nullptr},
                      CellEditCase{"BreakAtTheStart", Start::kFilledTable, 0, "", false, "\r"},
                      CellEditCase{"BreakWithOneColumnLeft", Start::kOneColumn, 0, "", false, "\r"},
                      CellEditCase{"TypeLineBreaks", Start::kFilledTable, 1, "", false, "\r\r"},
                      CellEditCase{"TypeAtTheStartOfTheSecondLine", Start::kFilledTable, 1, "\r",
                                   false, "b"}),
    [](const ::testing::TestParamInfo<CellEditCase>& info) { return info.param.name; });

// ---- Undo and redo of underlining a selection that reaches onto a table's rules

struct RuleSelectionCase {
  const char* name;
  int linesDown;   // from the first line's second character
  bool toLineEnd;  // then on to the end of the line reached
};

class RuleSelectionUndoTest : public TableStartTest,
                              public ::testing::WithParamInterface<RuleSelectionCase> {};

// A selection from the text that ends on the table's top rule or on the
// rule between two cells covers the cells before that rule: undoing the
// underline puts back what they held, and neither takes the table's rows
// or columns away nor touches the cells after the rule.
TEST_P(RuleSelectionUndoTest, UndoGivesBackTheCellsBeforeTheRule) {
  const RuleSelectionCase& c = GetParam();
  Prepare(Start::kFilledTable);
  engine.EditCommand(WPC_MOVE, kMoveDocumentStart, 1);
  engine.EditCommand(WPC_MOVE, kMoveNextChar, 1);
  for (int i = 0; i < c.linesDown; ++i) {
    engine.EditCommand(WPC_MOVE_EXTEND, kMoveLineDown, kCharacterWise);
  }
  if (c.toLineEnd) engine.EditCommand(WPC_MOVE_EXTEND, kMoveLineEnd, kCharacterWise);
  ExpectEditUndoneExactly([&] { Underline(); });
}

INSTANTIATE_TEST_SUITE_P(Selections, RuleSelectionUndoTest,
                         ::testing::Values(RuleSelectionCase{"ToTheTopRule", 1, false},
                                           RuleSelectionCase{"ToTheTopRulesEnd", 1, true},
                                           RuleSelectionCase{"ToTheRuleBetweenCells", 2, true}),
                         [](const ::testing::TestParamInfo<RuleSelectionCase>& info) {
                           return info.param.name;
                         });

// ---- Undo and redo of edits of a selection inside one cell's text

enum class SelectionEdit { kUnderline, kTypeOver, kDelete, kBackspace, kCut, kPaste };

struct CellSelectionEditCase {
  const char* name;
  SelectionEdit edit;
};

class CellSelectionTest : public TableStartTest,
                          public ::testing::WithParamInterface<CellSelectionEditCase> {
 protected:
  void Edit(SelectionEdit edit) {
    switch (edit) {
      case SelectionEdit::kUnderline:
        Underline();
        break;
      case SelectionEdit::kTypeOver:
        TypeOver("A");
        break;
      case SelectionEdit::kDelete:
        engine.EditCommand(WPC_DELETE, 1, 0);
        break;
      case SelectionEdit::kBackspace:
        engine.EditCommand(WPC_BACKSPACE, 1, 0);
        break;
      case SelectionEdit::kCut:
        engine.EditCommand(WPC_CUT, 1, 0);
        break;
      case SelectionEdit::kPaste:
        engine.EditCommand(WPC_PASTE, 1, 0);
        break;
    }
  }
};

using CellLineEndSelectionTest = CellSelectionTest;

// A cell's last line ends with its text, not with a line break: a
// selection extended to its end stays in the cell rather than going on to
// the next cell's start, and what is done to it comes back exactly.
TEST_P(CellLineEndSelectionTest, StaysInTheCellAndComesBackOnUndoAndRedo) {
  Prepare(Start::kFilledTable);
  engine.EditCommand(WPC_MOVE_EXTEND, kMoveLineEnd, 1);
  int32_t cell = 0;
  ASSERT_NE(Table(WPC_GET_CELL_POSITION, 0, Pointer(&cell)), 0);
  EXPECT_EQ(cell, (1 << 16) | 1);
  ExpectEditUndoneExactly([&] { Edit(GetParam().edit); });
}

INSTANTIATE_TEST_SUITE_P(
    LineEndSelections, CellLineEndSelectionTest,
    ::testing::Values(CellSelectionEditCase{"Underline", SelectionEdit::kUnderline},
                      CellSelectionEditCase{"TypeOver", SelectionEdit::kTypeOver},
                      CellSelectionEditCase{"Delete", SelectionEdit::kDelete},
                      CellSelectionEditCase{"Cut", SelectionEdit::kCut}),
    [](const ::testing::TestParamInfo<CellSelectionEditCase>& info) { return info.param.name; });

using CellTextEndSelectionTest = CellSelectionTest;

// A selection from past a cell's text back to its end holds nothing to
// take away: deleting or replacing it leaves the document as it was and
// no undo step, as it does in the running text.
TEST_P(CellTextEndSelectionTest, ChangesNothingAndRecordsNoUndoStep) {
  Prepare(Start::kFilledTable);
  for (int i = 0; i < 3; ++i) engine.EditCommand(WPC_MOVE, kMoveNextChar, 1);
  engine.EditCommand(WPC_MOVE_EXTEND, kMovePrevChar, 1);
  ASSERT_NE(engine.EditCommand(WPC_HAS_SELECTION, 0, 0), 0);
  const std::string before = ContentBytes();
  const size_t steps = engine.UndoHistory().undoList().records().size();
  Edit(GetParam().edit);

  EXPECT_EQ(ContentBytes(), before);
  EXPECT_EQ(engine.UndoHistory().undoList().records().size(), steps);
}

INSTANTIATE_TEST_SUITE_P(
    TextEndSelections, CellTextEndSelectionTest,
    ::testing::Values(CellSelectionEditCase{"Delete", SelectionEdit::kDelete},
                      CellSelectionEditCase{"Backspace", SelectionEdit::kBackspace},
                      CellSelectionEditCase{"Cut", SelectionEdit::kCut},
                      CellSelectionEditCase{"Paste", SelectionEdit::kPaste}),
    [](const ::testing::TestParamInfo<CellSelectionEditCase>& info) { return info.param.name; });

}  // namespace
}  // namespace doc_root_test
