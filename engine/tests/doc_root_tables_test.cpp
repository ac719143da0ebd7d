#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "doc_root_fixture.h"
#include "engine/doc_root.h"
#include "model/table_object.h"
#include "platform/sjis.h"

namespace doc_root_test {
namespace {

// Undo kinds the engine turns the logged operations into.
constexpr int32_t kUndoDelete = 1;
constexpr int32_t kUndoEdit = 2;
constexpr int32_t kUndoTableLayout = 200;
constexpr int32_t kUndoColumnWidth = 201;

constexpr int kRecord = 1;
constexpr int kSpeak = 1;
constexpr int kQuiet = 0;

class TableCommands : public DocRootTest {
 protected:
  std::vector<int32_t> Types() const {
    std::vector<int32_t> types;
    const CDocChildList& list = root.Children();
    for (int32_t i = 0; i < list.GetCount(); ++i) types.push_back(list.GetTypeAt(i));
    return types;
  }

  int32_t FirstTableIndex() const {
    const CDocChildList& list = root.Children();
    for (int32_t i = 0; i < list.GetCount(); ++i) {
      if (list.GetTypeAt(i) == kObjectTable) return i;
    }
    return -1;
  }

  CTableObject* Table(int32_t index) {
    return dynamic_cast<CTableObject*>(root.Children().GetAt(index));
  }

  // Types a line of text, then makes a table of `rows` x `columns` at the
  // caret, without recording or speaking; answers the table's index.
  int32_t MakeTable(int32_t rows, int32_t columns) {
    const int32_t tables = CountTables();
    EXPECT_EQ(root.CreateTable(0, rows, columns, nullptr, kQuiet), 1);
    EXPECT_EQ(CountTables(), tables + 1);
    window.Clear();
    return root.Children().GetCursorIndex();
  }

  int32_t CountTables() const {
    int32_t count = 0;
    for (int32_t type : Types()) count += type == kObjectTable ? 1 : 0;
    return count;
  }

  // Narrows the caret's column to `chars`, unrecorded, so that a column
  // fits beside the table.
  void NarrowCaretColumn(int32_t chars) {
    ASSERT_EQ(root.EditTableLayout(0, CDocBunsObj::kTableColumnWidth, nullptr, chars, kQuiet), 1);
    window.Clear();
  }

  // A table position as a document path: the child step, then the table's.
  CVedTextPos TablePath(int32_t child, const TableCaret& pos) {
    CVedTextPos path;
    Table(child)->TablePosToPath(pos, &path);
    path.PrependChild(child);
    return path;
  }

  // Puts caret and cursor at a path, as a move would.

  // At the start of cell (row, column) of the table at `child`.
  void PlaceCaretInCell(int32_t child, int32_t row, int32_t column) {
    CTableObject* table = Table(child);
    CVedTextPos inner;
    const MoveParams still{0, 0, 1};
    table->CellOf(column, row)->MoveCursor(kMoveDocumentStart, &still, nullptr, &inner);
    CVedTextPos path = TablePath(child, {kCaretInCell, row, column, 0, 0});
    for (int32_t i = 0; i < inner.depth; ++i) path.Append(inner.pairs[static_cast<size_t>(i)]);
    PlaceCaret(path);
  }
};

// ---- Creating a table ----

TEST_F(TableCommands, CreatesATableAtTheCaretWithTheDocumentLineSetting) {
  Type("ab\r\ncd");
  root.SetTableLineKind(0x0200);
  ChangeRecord change;
  change.changed = 7;

  ASSERT_EQ(root.CreateTable(kRecord, 2, 3, &change, kQuiet), 1);

  // The caret was on the text's second line: the text is split there.
  EXPECT_EQ(Types(), (std::vector<int32_t>{kObjectText, kObjectTable, kObjectText}));
  EXPECT_EQ(root.Children().GetCursorIndex(), 1);
  EXPECT_EQ(root.GetTableRowCount(), 2);
  EXPECT_EQ(root.GetTableColumnCount(), 3);
  uint16_t cell[2] = {};
  EXPECT_EQ(root.GetCellPosition(cell), 1);
  EXPECT_EQ(cell[0], 1);
  EXPECT_EQ(cell[1], 1);
  // Low byte the rule-grid flag, high byte the second line-setting byte.
  EXPECT_EQ(Table(1)->RuleGridFlag(), 0);
  EXPECT_EQ(Table(1)->SecondLineSetting(), 2);
  EXPECT_EQ(change.changed, 1);
}

TEST_F(TableCommands, ATableIsUndoneByDeletingExactlyTheTable) {
  Type("abc");
  ASSERT_EQ(root.CreateTable(kRecord, 2, 2, nullptr, kQuiet), 1);
  const int32_t index = FirstTableIndex();
  CTableObject* table = Table(index);

  // From the left end of the top rule to the right end of the bottom rule
  // (the table fills the line: nothing lies right of its last column).
  const int32_t lastRowLines = table->RowHeights()[1] / kLinePitch + 1;
  const int32_t lastColumnChars = table->ColumnWidths()[1] / kPitch + 1;
  const std::vector<const EditOpRecord*> logged = Logged();
  ASSERT_EQ(logged.size(), 1u);
  EXPECT_EQ(logged[0]->kind, kUndoDelete);
  EXPECT_EQ(logged[0]->first, TablePath(index, {kCaretOnGrid, 0, 0, 0, 0}));
  EXPECT_EQ(logged[0]->second,
            TablePath(index, {kCaretOnGrid, 1, 1, lastColumnChars, lastRowLines}));
}

TEST_F(TableCommands, ASelectionGoesFirstAndItsDeletionIsRecordedBeforeTheTable) {
  Type("abcdef");
  const CVedTextPos start = PathFromStart(kMoveNextChar, 1);
  const CVedTextPos end = PathFromStart(kMoveNextChar, 3);
  root.SetSelectionRange(0, &start, &end);

  ASSERT_EQ(root.CreateTable(kRecord, 1, 1, nullptr, kQuiet), 1);

  EXPECT_EQ(LoggedKinds(), (std::vector<int32_t>{kUndoEdit, kUndoDelete}));
  EXPECT_FALSE(root.HasSelection());
  EXPECT_EQ(PlainText().find("bc"), std::string::npos);
}

TEST_F(TableCommands, CreatingSaysSoWhenAsked) {
  Type("abc");
  ASSERT_EQ(root.CreateTable(0, 1, 1, nullptr, kSpeak), 1);
  EXPECT_EQ(window.Spoken(), (std::vector<std::string>{Sjis("作成")}));
}

TEST_F(TableCommands, CreatingInsideATableIsRefusedWithTheNoInputCue) {
  Type("abc");
  MakeTable(1, 2);
  ChangeRecord change;

  EXPECT_EQ(root.CreateTable(kRecord, 2, 2, &change, kSpeak), 0);

  EXPECT_EQ(CountTables(), 1);
  EXPECT_EQ(window.Cues(), (std::vector<int>{kCueRefused}));
  EXPECT_TRUE(window.Spoken().empty());
  EXPECT_EQ(change.changed, 0);
  EXPECT_TRUE(Logged().empty());
}

TEST_F(TableCommands, CreatingInAReadOnlyDocumentChangesNothing) {
  Type("abc");
  root.SetReadOnly(1);
  EXPECT_EQ(root.CreateTable(kRecord, 2, 2, nullptr, kSpeak), 0);
  EXPECT_EQ(CountTables(), 0);
  EXPECT_EQ(window.Cues(), (std::vector<int>{kCueRefused}));
  EXPECT_TRUE(window.Spoken().empty());
}

TEST_F(TableCommands, CreatingOverASelectionOfTwoChildrenIsRefused) {
  Type("abc");
  AddTextChild("def");
  const CVedTextPos start = PathFromStart(kMoveNextChar, 1);
  const CVedTextPos end = PathFromStart(kMoveDocumentEnd, 1);
  ASSERT_NE(start.pairs[0], end.pairs[0]);
  root.SetSelectionRange(0, &start, &end);

  EXPECT_EQ(root.CreateTable(kRecord, 2, 2, nullptr, kQuiet), 0);
  EXPECT_EQ(CountTables(), 0);
  EXPECT_EQ(window.Cues(), (std::vector<int>{kCueRefused}));
}

TEST_F(TableCommands, ATableThatCannotBeBuiltWarnsAndLeavesNoUndoStep) {
  Type("abc");
  ChangeRecord change;
  EXPECT_EQ(root.CreateTable(kRecord, 0, 3, &change, kSpeak), 0);
  EXPECT_EQ(CountTables(), 0);
  EXPECT_EQ(window.Cues(), (std::vector<int>{kCueWarning}));
  EXPECT_TRUE(window.Spoken().empty());
  EXPECT_EQ(change.changed, 0);
  EXPECT_TRUE(Logged().empty());
}

// ---- Rows, columns and widths ----

struct LayoutCase {
  const char* name;
  int operation;
  int32_t rows;     // after the operation on a 2 x 3 table
  int32_t columns;  //
  int32_t undoKind;
  const char* phrase;  // UTF-8, "%d" the count after
};

class TableLayoutOperation : public TableCommands,
                             public ::testing::WithParamInterface<LayoutCase> {};

TEST_P(TableLayoutOperation, ChangesTheTableRecordsItsUndoAndSaysTheCount) {
  Type("abc");
  const int32_t index = MakeTable(2, 3);
  NarrowCaretColumn(2);
  ChangeRecord change;

  ASSERT_EQ(root.EditTableLayout(kRecord, GetParam().operation, &change, 0, kSpeak), 1);

  EXPECT_EQ(root.GetTableRowCount(), GetParam().rows);
  EXPECT_EQ(root.GetTableColumnCount(), GetParam().columns);
  EXPECT_EQ(Table(index)->Rows(), GetParam().rows);
  EXPECT_EQ(LoggedKinds(), (std::vector<int32_t>{GetParam().undoKind}));
  EXPECT_EQ(change.changed, 1);
  const int32_t count = GetParam().operation % 2 == 0 ? GetParam().columns : GetParam().rows;
  char phrase[64];
  std::snprintf(phrase, sizeof(phrase), Sjis(GetParam().phrase).c_str(), count);
  EXPECT_EQ(window.Spoken(), (std::vector<std::string>{phrase}));
}

INSTANTIATE_TEST_SUITE_P(
    Operations, TableLayoutOperation,
    ::testing::Values(LayoutCase{"InsertColumn", 2, 2, 4, kUndoDelete, "挿入 列数 %d"},
                      LayoutCase{"InsertRow", 3, 3, 3, kUndoDelete, "挿入 行数 %d"},
                      LayoutCase{"DeleteColumn", 4, 2, 2, kUndoEdit, "削除 列数 %d"},
                      LayoutCase{"DeleteRow", 5, 1, 3, kUndoEdit, "削除 行数 %d"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(TableCommands, AnInsertedRowIsRecordedAsExactlyThatRow) {
  Type("abc");
  const int32_t index = MakeTable(2, 3);
  PlaceCaretInCell(index, 1, 1);

  ASSERT_EQ(root.EditTableLayout(kRecord, CDocBunsObj::kTableInsertRow, nullptr, 0, kQuiet), 1);

  // The row went in before the caret's row: it is row 1 now, one line high
  // between its two rules, and spans every column.
  CTableObject* table = Table(index);
  const int32_t lastColumnChars = table->ColumnWidths()[2] / kPitch + 1;
  const std::vector<const EditOpRecord*> logged = Logged();
  ASSERT_EQ(logged.size(), 1u);
  EXPECT_EQ(logged[0]->kind, kUndoDelete);
  EXPECT_EQ(logged[0]->first, TablePath(index, {kCaretOnGrid, 1, 0, 0, 0}));
  EXPECT_EQ(logged[0]->second, TablePath(index, {kCaretOnGrid, 1, 2, lastColumnChars, 1}));
}

TEST_F(TableCommands, AnInsertedColumnIsRecordedAsExactlyThatColumn) {
  Type("abc");
  const int32_t index = MakeTable(2, 2);
  NarrowCaretColumn(2);
  PlaceCaretInCell(index, 0, 1);

  ASSERT_EQ(root.EditTableLayout(kRecord, CDocBunsObj::kTableInsertColumn, nullptr, 0, kQuiet), 1);

  CTableObject* table = Table(index);
  ASSERT_EQ(table->Columns(), 3);
  const int32_t newColumnChars = table->ColumnWidths()[1] / kPitch;
  const int32_t lastRowLines = table->RowHeights()[1] / kLinePitch + 1;
  const std::vector<const EditOpRecord*> logged = Logged();
  ASSERT_EQ(logged.size(), 1u);
  EXPECT_EQ(logged[0]->kind, kUndoDelete);
  EXPECT_EQ(logged[0]->first, TablePath(index, {kCaretOnGrid, 0, 1, 0, 0}));
  EXPECT_EQ(logged[0]->second,
            TablePath(index, {kCaretOnGrid, 1, 1, newColumnChars, lastRowLines}));
}

TEST_F(TableCommands, ColumnWidthIsAValueAndItsUndoKeepsTheOldWidth) {
  Type("abc");
  MakeTable(1, 3);
  const int32_t before = root.GetColumnWidth();
  ASSERT_GT(before, 2);

  ASSERT_EQ(root.EditTableLayout(kRecord, CDocBunsObj::kTableColumnWidth, nullptr, 2, kSpeak), 1);

  EXPECT_EQ(root.GetColumnWidth(), 2);
  const std::vector<const EditOpRecord*> logged = Logged();
  ASSERT_EQ(logged.size(), 1u);
  EXPECT_EQ(logged[0]->kind, kUndoColumnWidth);
  ASSERT_NE(logged[0]->value.Get<int32_t>(), nullptr);
  EXPECT_EQ(*logged[0]->value.Get<int32_t>(), before);
  char phrase[64];
  std::snprintf(phrase, sizeof(phrase), Sjis("列幅 %d").c_str(), 2);
  EXPECT_EQ(window.Spoken(), (std::vector<std::string>{phrase}));
}

TEST_F(TableCommands, DeletingTheOnlyRowTakesTheTableAndSaysSo) {
  Type("abc");
  MakeTable(1, 2);

  ASSERT_EQ(root.EditTableLayout(kRecord, CDocBunsObj::kTableDeleteRow, nullptr, 0, kSpeak), 1);

  EXPECT_EQ(CountTables(), 0);
  EXPECT_EQ(root.GetTableRowCount(), 0);
  EXPECT_EQ(window.Spoken(), (std::vector<std::string>{Sjis("ひょー 削除")}));
}

TEST_F(TableCommands, LayoutOperationsOutsideATableDoNothing) {
  Type("abc");
  for (int operation = CDocBunsObj::kTableColumnWidth; operation <= CDocBunsObj::kTableDeleteRow;
       ++operation) {
    ChangeRecord change;
    EXPECT_EQ(root.EditTableLayout(kRecord, operation, &change, 3, kSpeak), 0) << operation;
    EXPECT_EQ(change.changed, 0);
  }
  EXPECT_EQ(PlainText(), "abc");
  EXPECT_TRUE(window.messages().empty());
}

TEST_F(TableCommands, AFailedRowOperationWarnsAndDropsTheUndoLists) {
  Type("abc");
  const int32_t index = MakeTable(2, 2);
  // Left of the table, in the margin: no row is taken from there.
  PlaceCaret(TablePath(index, {kCaretOnGrid, 0, 0, -1, 0}));

  EXPECT_EQ(root.EditTableLayout(kRecord, CDocBunsObj::kTableDeleteRow, nullptr, 0, kSpeak), 0);

  EXPECT_EQ(Table(index)->Rows(), 2);
  EXPECT_EQ(window.Cues(), (std::vector<int>{kCueWarning}));
  EXPECT_TRUE(root.GetEditOpLog().IsSuppressed());
}

TEST_F(TableCommands, AColumnThatDoesNotFitWarnsAndKeepsTheUndoLists) {
  Type("abc");
  const int32_t index = MakeTable(1, 2);  // as wide as the text

  EXPECT_EQ(root.EditTableLayout(kRecord, CDocBunsObj::kTableInsertColumn, nullptr, 0, kSpeak), 0);

  EXPECT_EQ(Table(index)->Columns(), 2);
  EXPECT_EQ(window.Cues(), (std::vector<int>{kCueWarning}));
  EXPECT_FALSE(root.GetEditOpLog().IsSuppressed());
  EXPECT_TRUE(Logged().empty());
}

// ---- Deleting a table ----

TEST_F(TableCommands, DeletingTheTableKeepsItsContentForUndoAndSaysSo) {
  Type("ab\r\ncd");
  const std::string text = PlainText();
  PlaceCaret(PathFromStart(kMoveLineDown, 1));
  MakeTable(2, 2);
  ASSERT_EQ(Types(), (std::vector<int32_t>{kObjectText, kObjectTable, kObjectText}));
  ChangeRecord change;

  ASSERT_EQ(root.DeleteTable(kRecord, &change, kSpeak), 1);

  EXPECT_EQ(Types(), (std::vector<int32_t>{kObjectText}));
  EXPECT_EQ(PlainText(), text);
  const std::vector<const EditOpRecord*> logged = Logged();
  ASSERT_EQ(logged.size(), 1u);
  EXPECT_EQ(logged[0]->kind, kUndoEdit);
  EXPECT_TRUE(logged[0]->data.HasData());
  EXPECT_EQ(change.changed, 1);
  EXPECT_EQ(window.Spoken(), (std::vector<std::string>{Sjis("削除")}));
}

TEST_F(TableCommands, DeletingATableOutsideOneDoesNothing) {
  Type("abc");
  EXPECT_EQ(root.DeleteTable(kRecord, nullptr, kSpeak), 0);
  EXPECT_EQ(PlainText(), "abc");
  EXPECT_TRUE(window.messages().empty());
}

// ---- The document-wide line setting ----

TEST_F(TableCommands, TheLineSettingReachesEveryTable) {
  Type("ab\r\ncd");
  const int32_t first = MakeTable(1, 1);
  const MoveParams toEnd{1, 0, 1};
  root.MoveCursor(kMoveDocumentEnd, &toEnd, nullptr, nullptr);
  const int32_t second = MakeTable(1, 1);
  ASSERT_NE(first, second);

  root.SetTableLineKind(0x0300);

  EXPECT_EQ(root.GetTableLineKind(), 0x0300);
  for (int32_t index : {first, second}) {
    EXPECT_EQ(Table(index)->RuleGridFlag(), 0);
    EXPECT_EQ(Table(index)->SecondLineSetting(), 3);
  }
}

TEST_F(TableCommands, TheHighByteOfTheLineSettingTurnsOnTheCellPosition) {
  Type("abc");
  root.SetTableLineKind(0x0001);
  MakeTable(2, 2);
  std::string phrase;
  EXPECT_EQ(root.GetCellPositionText(phrase, 0), 0);
  EXPECT_EQ(phrase, "");

  root.SetTableLineKind(0x0101);

  EXPECT_EQ(root.GetCellPositionText(phrase, 0), 1);
  EXPECT_EQ(phrase, Sjis("セル 1行 1列 "));
}

TEST_F(TableCommands, AnEditRemembersTheCellSoTheNextMoveDoesNotRepeatIt) {
  Type("abc");
  root.SetTableLineKind(0x0101);
  MakeTable(2, 2);
  std::string phrase;
  EXPECT_EQ(root.GetCellPositionText(phrase, 0), 0);
  EXPECT_EQ(phrase, "");
}

// ---- Attributes ----

TEST_F(TableCommands, AttributesRoundTripAndTheirUndoKeepsTheOldOnes) {
  Type("abc");
  MakeTable(2, 2);
  CDocBunsObj::TableAttributes before;
  ASSERT_EQ(root.GetTableAttributes(&before), 1);
  EXPECT_EQ(before.layout.placement, kPlaceLeft);
  EXPECT_EQ(before.layout.verticalRuleWidth, kPitch);
  EXPECT_EQ(before.layout.horizontalRuleHeight, kLinePitch / 2);

  CDocBunsObj::TableAttributes wanted = before;
  wanted.layout.placement = kPlaceCentre;
  wanted.layout.horizontalRuleHeight = kLinePitch / 4;
  wanted.lineStyles[0][0] = 0xFF;  // read by nobody but the caller
  ChangeRecord change;
  ASSERT_EQ(root.SetTableAttributes(kRecord, &wanted, &change), 1);

  CDocBunsObj::TableAttributes after;
  ASSERT_EQ(root.GetTableAttributes(&after), 1);
  EXPECT_EQ(after.layout.placement, kPlaceCentre);
  EXPECT_EQ(after.layout.verticalRuleWidth, kPitch);
  EXPECT_EQ(after.layout.horizontalRuleHeight, kLinePitch / 4);
  EXPECT_EQ(after.lineStyles[0][0], 0);
  EXPECT_EQ(change.changed, 1);
  const std::vector<const EditOpRecord*> logged = Logged();
  ASSERT_EQ(logged.size(), 1u);
  EXPECT_EQ(logged[0]->kind, kUndoTableLayout);
  const auto* saved = logged[0]->value.Get<CDocBunsObj::TableAttributes>();
  ASSERT_NE(saved, nullptr);
  EXPECT_EQ(saved->layout.placement, kPlaceLeft);
  EXPECT_EQ(saved->layout.horizontalRuleHeight, kLinePitch / 2);
}

TEST_F(TableCommands, AttributesTheTableRefusesWarnAndRecordNothing) {
  Type("abc");
  MakeTable(1, 1);
  CDocBunsObj::TableAttributes wanted;
  ASSERT_EQ(root.GetTableAttributes(&wanted), 1);
  wanted.layout.placement = 4;

  EXPECT_EQ(root.SetTableAttributes(kRecord, &wanted, nullptr), 0);

  CDocBunsObj::TableAttributes after;
  root.GetTableAttributes(&after);
  EXPECT_EQ(after.layout.placement, kPlaceLeft);
  EXPECT_EQ(window.Cues(), (std::vector<int>{kCueWarning}));
  EXPECT_TRUE(Logged().empty());
}

// ---- Queries ----

TEST_F(TableCommands, QueriesAnswerNothingOutsideATable) {
  Type("abc");
  CDocBunsObj::TableAttributes attributes;
  attributes.layout.placement = 9;
  uint16_t cell[2] = {7, 7};
  EXPECT_EQ(root.GetTableAttributes(&attributes), 0);
  EXPECT_EQ(attributes.layout.placement, 9);
  EXPECT_EQ(root.GetColumnWidth(), 0);
  EXPECT_EQ(root.GetTableColumnCount(), 0);
  EXPECT_EQ(root.GetTableRowCount(), 0);
  EXPECT_EQ(root.GetCellPosition(cell), 0);
  EXPECT_EQ(cell[0], 7);
}

TEST_F(TableCommands, TheCellPositionAndColumnWidthFollowTheCaret) {
  Type("abc");
  const int32_t index = MakeTable(2, 3);
  PlaceCaretInCell(index, 1, 2);

  uint16_t cell[2] = {};
  EXPECT_EQ(root.GetCellPosition(cell), 1);
  EXPECT_EQ(cell[0], 2);
  EXPECT_EQ(cell[1], 3);
  EXPECT_EQ(root.GetColumnWidth(), Table(index)->ColumnWidths()[2] / kPitch);
}

}  // namespace
}  // namespace doc_root_test
