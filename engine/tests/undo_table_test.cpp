// Short series around a table, each cut down from a long seeded series
// that once failed: undoing all of it gives back the start document and
// redoing all of it the edited one, byte for byte.
#include <gtest/gtest.h>

#include <vector>

#include "undo_series.h"

namespace doc_root_test {
namespace {

using UndoTableTest = UndoSeriesFixture;

Action Extend(int code, uint32_t times) {
  Action action{Action::kExtend};
  action.code = code;
  action.times = times;
  return action;
}

Action Move(int code) {
  Action action{Action::kMove};
  action.code = code;
  return action;
}

Action TableCommand(int code) {
  Action action{Action::kTable};
  action.code = code;
  return action;
}

Action Typing(const char* text) { return {Action::kType, text}; }

struct TableSeriesCase {
  const char* name;
  std::vector<Action> actions;
};

TEST_F(UndoTableTest, ShortSeriesAroundATableUndoToTheStartAndRedoToTheEnd) {
  // The start document has a line, a 2 x 2 table and two lines; every
  // series starts on the first line, after its second character.
  const TableSeriesCase cases[] = {
      {"a selection from the line above the table to the text below it, cut: the text it "
       "joins takes what the undo puts back at its end",
       {Extend(kMoveLineDown, 6), {Action::kCut}}},
      {"the line's end and the first cell cut, the table's rows deleted, the cut pasted: the "
       "pasted line's paragraph goes with the paste",
       {Extend(kMoveLineDown, 3),
        {Action::kCut},
        TableCommand(WPC_DELETE_ROW),
        TableCommand(WPC_DELETE_ROW),
        {Action::kPaste}}},
      {"the same after the line's last character went: the cut text brings no character, "
       "the paste only the table",
       {{Action::kDelete},
        Extend(kMoveLineDown, 3),
        {Action::kCut},
        TableCommand(WPC_DELETE_ROW),
        TableCommand(WPC_DELETE_ROW),
        {Action::kPaste}}},
      {"the same with the columns deleted and the paste in the middle of a typed line: the "
       "paste goes in at the line's start",
       {Extend(kMoveLineDown, 2),
        {Action::kCut},
        TableCommand(WPC_DELETE_COLUMN),
        TableCommand(WPC_DELETE_COLUMN),
        Typing("\x8C\xEA\x82\xA2"),
        {Action::kPaste}}},
      {"a row put in at the top, then a selection from its first cell up into the line above "
       "it, cut: the undo puts the line back and nothing into the empty cell",
       {{Action::kOverwrite,
         "\r\x82\xA2"
         "A\x8C\xEA"},
        Extend(kMoveLineDown, 1),
        TableCommand(WPC_INSERT_ROW),
        Extend(kMoveLineUp, 2),
        {Action::kCut}}},
      {"the first cell emptied by a deletion from the line above, then a selection from it up "
       "into that line, cut",
       {Typing("\r\rA\x82\xA0"),
        Extend(kMoveLineDown, 3),
        {Action::kDelete},
        Extend(kMoveLineUp, 2),
        {Action::kCut}}},
      {"text typed into a cell till it wraps, then a selection from its last line down onto "
       "the rule below, deleted: the undo and the redo take only what the deletion took",
       {Move(kMoveLineDown),
        TableCommand(WPC_DELETE_COLUMN),
        Typing("A\x82\xA0\x82\xA0\x82\xA2"),
        Extend(kMoveLineDown, 1),
        {Action::kBackspace}}},
      {"the same in a cell of two paragraphs, the selection ending on the rule below inside "
       "the column",
       {Move(kMoveLineDown),
        TableCommand(WPC_DELETE_COLUMN),
        Typing("\rAA\x82\xA0"),
        Extend(kMoveLineDown, 1),
        {Action::kDelete}}},
      {"a line break typed at the end of a cell, then a selection from the empty line it made "
       "down onto the rule below, deleted",
       {Extend(kMoveLineDown, 2),
        TableCommand(WPC_INSERT_COLUMN),
        Typing("b\r"),
        Extend(kMoveLineDown, 1),
        {Action::kBackspace}}},
      {"a text, a table and a text cut and pasted twice: the second paste goes in at the start "
       "of the text after the pasted table, its own paragraph end splits off there, and its "
       "undo leaves that text as it was",
       {Extend(kMoveLineDown, 6), {Action::kCut}, {Action::kPaste}, {Action::kPaste}}},
      {"a line break and a line typed, the line cut from its start, the line above deleted into "
       "the table, a character typed and the cut pasted in front of it",
       {Typing("\r\x8C\xEA"),
        Move(kMoveLineDown),
        Extend(kMoveLineStart, 1),
        {Action::kCut},
        Extend(kMoveLineUp, 1),
        {Action::kDelete},
        Typing("\x82\xA2"),
        {Action::kPaste}}},
      {"a row put in at the top, two lines typed into its first cell, and a character typed "
       "in the free space below the second cell's text: the undo takes back what filled that "
       "cell and leaves the table",
       {Extend(kMoveLineDown, 1), TableCommand(WPC_INSERT_ROW),
        Typing("\r\x82\xA2\x8C\xEA\x8C\xEA"), Move(kMoveNextChar), Move(kMoveNextChar),
        Move(kMoveNextChar), Typing("\x82\xA0")}},
      {"the same typed in overwrite mode: below the cell's text there is nothing to type over",
       {Extend(kMoveLineDown, 1),
        TableCommand(WPC_INSERT_ROW),
        Typing("\r\x82\xA2\x8C\xEA\x8C\xEA"),
        Move(kMoveNextChar),
        Move(kMoveNextChar),
        Move(kMoveNextChar),
        {Action::kOverwrite, "\x82\xA0"}}},
      {"the first cell emptied, a narrow column put in before it and a character and a line "
       "break typed there: the character juts out of the cell, and the undo takes back only "
       "what was typed, not the cell beside",
       {Move(kMoveLineDown),
        {Action::kDelete},
        {Action::kDelete},
        TableCommand(WPC_INSERT_COLUMN),
        Typing("\x82\xA2\r")}},
      {"a line typed as long as the first column is wide, then a selection from its end down "
       "onto the top rule where the second column begins, deleted: only the first cell is "
       "emptied, as only it is kept for the undo",
       {Typing("\r"),
        Move(kMoveLineEnd),
        Typing("\x93\xFA\x82\xA2\x82\xA0"
               "b\x8C\xEA"),
        Extend(kMoveLineDown, 1),
        {Action::kBackspace}}},
      {"the same selection underlined",
       {Typing("\r"),
        Move(kMoveLineEnd),
        Typing("\x93\xFA\x82\xA2\x82\xA0"
               "b\x8C\xEA"),
        Extend(kMoveLineDown, 1),
        {Action::kUnderline}}},
      {"an empty row put in at the top, a character typed at the document's start and the "
       "line after it underlined down onto the table: the undo puts back the text it formatted, "
       "and its redo formats it again without a table of its own",
       {Extend(kMoveLineDown, 1),
        TableCommand(WPC_INSERT_ROW),
        Move(kMoveLineUp),
        Move(kMoveLineUp),
        Typing("\x82\xA0"),
        Extend(kMoveLineDown, 1),
        {Action::kUnderline}}},
      {"a selection overtyped with a line break, a narrow column put in beside the cell, text "
       "typed there till its lines wrap and a character typed over at the end of a wrapped "
       "line: the character overtyped on the next line is kept for the undo",
       {Move(kMovePrevChar),
        Move(kMovePrevChar),
        Extend(kMoveLineDown, 3),
        Move(kMoveLineDown),
        Extend(kMovePrevChar, 2),
        {Action::kOverwrite, "\rb\x82\xA2"},
        Extend(kMoveLineStart, 1),
        TableCommand(WPC_INSERT_COLUMN),
        Typing("b"),
        Typing("\x82\xA0\x82\xA2"
               "b"),
        {Action::kOverwrite, "\x82\xA0"}}},
      {"the table's last row and the line after it cut, a line break typed and the cut pasted "
       "on the empty line it made: the text split for the rows keeps an empty first part, and "
       "the redo splits it again rather than putting back an empty text",
       {Extend(kMoveLineDown, 6),
        Move(kMoveLineEnd),
        Extend(kMoveLineUp, 1),
        {Action::kCut},
        Typing("\r"),
        {Action::kPaste}}},
  };
  for (const TableSeriesCase& series : cases) {
    EXPECT_EQ(Check(series.actions, SeriesKind::kTable, 0), Verdict::kHolds) << series.name;
  }
}

struct CreatedTableCase {
  const char* name;
  const char* text;
  int32_t stepsBack;  // how far back from the text's end the caret stands
};

TEST_F(UndoTableTest, ATableCreatedInsideAParagraphUndoesToTheJoinedParagraph) {
  const CreatedTableCase cases[] = {
      {"inside the paragraph of a later line", "AB\rCD", 1},
      {"at the start of a later paragraph", "AB\rCD", 2},
      {"inside a paragraph whose second half is the longer", "A\rB\x82\xA0\x82\xA0\x82\xA0\x82\xA0",
       4},
      {"at the start of the line a paragraph wrapped onto", "AB\rCDEFGHIJKLMNOPQRSTUVWXYZ", 3},
  };
  for (const CreatedTableCase& series : cases) {
    engine.DocumentCommand(WPC_CLEAR_DOCUMENT, 0, nullptr);
    Type(series.text);
    for (int32_t i = 0; i < series.stepsBack; ++i) {
      engine.EditCommand(WPC_MOVE, kMovePrevChar, 1);
    }
    engine.EditCommand(WPC_INSERT_FORMATTED, 0, 0);
    const Bytes original = Content();
    const std::string text = DocumentText();
    ASSERT_NE(engine.TableCommand(WPC_CREATE_TABLE, 1, (1 << 16) | 1), 0) << series.name;
    const Bytes created = Content();
    EXPECT_EQ(ReplayAll(WPC_UNDO, WPC_CAN_UNDO), 1) << series.name;
    EXPECT_EQ(DocumentText(), text) << series.name;
    EXPECT_EQ(Content(), original) << series.name;
    EXPECT_EQ(ReplayAll(WPC_REDO, WPC_CAN_REDO), 1) << series.name;
    EXPECT_EQ(Content(), created) << series.name;
  }
}

}  // namespace
}  // namespace doc_root_test
