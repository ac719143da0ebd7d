// Single edits taken back and done again through the engine's commands:
// each must give back exactly the text it started from, and the edit.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "wp_ctrl_fixture.h"

namespace doc_root_test {
namespace {

class UndoReplayTest : public WpCtrlFixture {
 protected:
  void Move(int code, intptr_t count = 1) { engine.EditCommand(WPC_MOVE, code, count); }
  void Extend(int code, int times) {
    for (int i = 0; i < times; ++i) engine.EditCommand(WPC_MOVE_EXTEND, code, 1);
  }
};

struct ReplayCase {
  const char* name;
  std::function<void()> edit;
  const char* edited;
  int steps;
};

TEST_F(UndoReplayTest, EachEditIsTakenBackAndDoneAgainExactly) {
  const ReplayCase cases[] = {
      {"Backspace joining two lines",
       [this] {
         Move(kMoveLineStart);
         engine.EditCommand(WPC_BACKSPACE, 1, 0);
       },
       "ABCD", 1},
      {"Delete joining two lines",
       [this] {
         Move(kMoveLineUp);
         Move(kMoveLineEnd);
         engine.EditCommand(WPC_DELETE, 1, 0);
       },
       "ABCD", 1},
      {"typing over a forward selection",
       [this] {
         Move(kMoveDocumentStart);
         Move(kMoveNextChar);
         Extend(kMoveNextChar, 1);
         Type("X");
       },
       "AX\r\nCD", 1},
      {"typing over a backward selection",
       [this] {
         Move(kMoveDocumentStart);
         Move(kMoveNextChar, 2);
         Extend(kMovePrevChar, 1);
         Type("X");
       },
       "AX\r\nCD", 1},
      {"typing over a selection that takes the line break",
       [this] {
         Move(kMoveDocumentStart);
         Move(kMoveNextChar);
         Extend(kMoveNextChar, 2);
         Type("X");
       },
       "AXCD", 1},
      {"cut, then paste at the end",
       [this] {
         Move(kMoveDocumentStart);
         Extend(kMoveNextChar, 2);
         engine.EditCommand(WPC_CUT, 1, 0);
         Move(kMoveDocumentEnd);
         engine.EditCommand(WPC_PASTE, 1, 0);
       },
       "\r\nCDAB", 2},
      {"typing in the middle of a line keeps what follows",
       [this] {
         Move(kMoveDocumentStart);
         Move(kMoveNextChar);
         Type("\x82\xA0\r");
       },
       "A\x82\xA0\r\nB\r\nCD", 1},
      {"a typed line break selected backwards from the next line and deleted",
       [this] {
         Move(kMoveDocumentStart);
         Move(kMoveNextChar);
         Type("\r");
         Extend(kMovePrevChar, 1);
         engine.EditCommand(WPC_DELETE, 1, 0);
       },
       "AB\r\nCD", 2},
      {"typing in the margin of an empty first line",
       [this] {
         Move(kMoveDocumentStart);
         Type("\r");
         Move(kMoveNextChar, 2);
         Move(kMoveLineUp);
         Type("X");
       },
       "  X\r\nAB\r\nCD", 2},
      {"pasting in the margin of an empty first line",
       [this] {
         Move(kMoveDocumentStart);
         Extend(kMoveNextChar, 1);
         engine.EditCommand(WPC_COPY, 0, 0);
         engine.EditCommand(WPC_CLEAR_SELECTION, 0, 0);
         Move(kMoveDocumentStart);
         Type("\r");
         Move(kMoveNextChar, 2);
         Move(kMoveLineUp);
         engine.EditCommand(WPC_PASTE, 1, 0);
       },
       "  A\r\nAB\r\nCD", 2},
      {"pasting the end mark alone, cut from the margin of the last line, records nothing",
       [this] {
         Move(kMoveDocumentStart);
         Move(kMoveNextChar, 2);
         Move(kMoveLineDown);
         Extend(kMoveNextChar, 1);
         engine.EditCommand(WPC_CUT, 1, 0);
         engine.EditCommand(WPC_PASTE, 1, 0);
       },
       "AB\r\nCD", 0},
      {"pasting the end mark alone at the document's start records nothing",
       [this] {
         Move(kMoveDocumentStart);
         Move(kMoveNextChar, 2);
         Move(kMoveLineDown);
         Extend(kMoveNextChar, 1);
         engine.EditCommand(WPC_CUT, 1, 0);
         Move(kMoveDocumentStart);
         engine.EditCommand(WPC_PASTE, 1, 0);
       },
       "AB\r\nCD", 0},
      {"typing over the first of a line's characters keeps the rest",
       [this] {
         Move(kMoveDocumentStart);
         TypeOver("X");
       },
       "XB\r\nCD", 1},
      {"typing over more characters than the line has stops at its end",
       [this] {
         Move(kMoveDocumentStart);
         TypeOver("XYZ");
       },
       "XYZ\r\nCD", 1},
      {"typing over in the margin beyond a line's end replaces nothing",
       [this] {
         Move(kMoveDocumentStart);
         Move(kMoveNextChar, 3);
         TypeOver("X");
       },
       "AB  X\r\nCD", 1},
      {"pasting the end mark alone over a selection only deletes it",
       [this] {
         Move(kMoveDocumentStart);
         Move(kMoveNextChar, 2);
         Move(kMoveLineDown);
         Extend(kMoveNextChar, 1);
         engine.EditCommand(WPC_CUT, 1, 0);
         Extend(kMovePrevChar, 1);
         engine.EditCommand(WPC_PASTE, 1, 0);
       },
       "AB\r\nC", 1},
      {"pasting the end mark alone over a selection that takes a line break only deletes it",
       [this] {
         Move(kMoveDocumentEnd);
         Extend(kMoveNextChar, 1);
         engine.EditCommand(WPC_CUT, 1, 0);
         Move(kMoveLineUp);
         Extend(kMoveLineStart, 1);
         engine.EditCommand(WPC_PASTE, 1, 0);
       },
       "CD", 1},
  };
  for (const ReplayCase& c : cases) {
    SCOPED_TRACE(c.name);
    engine.DocumentCommand(WPC_CLEAR_DOCUMENT, 0, nullptr);
    Type("AB\rCD");
    engine.EditCommand(WPC_INSERT_FORMATTED, 0, 0);  // starts the history afresh
    c.edit();
    EXPECT_EQ(DocumentText(), c.edited);
    for (int i = 0; i < c.steps; ++i) engine.EditCommand(WPC_UNDO, 0, 0);
    EXPECT_EQ(DocumentText(), "AB\r\nCD");
    EXPECT_EQ(engine.EditCommand(WPC_CAN_UNDO, 0, 0), 0);
    for (int i = 0; i < c.steps; ++i) engine.EditCommand(WPC_REDO, 0, 0);
    EXPECT_EQ(DocumentText(), c.edited);
  }
}

// A line of ten double-byte characters' width: taking away a line break
// lets the line wrap, and a wrapped line spreads its characters over its
// whole width, so that none stands where it stood before.
TEST_F(UndoReplayTest, ContentGoesBackWhereTheDeletionLeftTheCaretAfterTheLineWraps) {
  // "A" and "aiueokakiku", a line break, then "kekosa".
  const char* const kText =
      "A\x82\xA0\x82\xA2\x82\xA4\x82\xA6\x82\xA8\x82\xA9\x82\xAB\x82\xAD\r"
      "\x82\xAF\x82\xB1\x82\xB3";
  const std::string start = std::string(kText).insert(std::string(kText).find('\r') + 1, "\n");
  Type(kText);
  engine.EditCommand(WPC_INSERT_FORMATTED, 0, 0);  // starts the history afresh
  Move(kMoveDocumentStart);
  Move(kMoveNextChar, 8);
  Extend(kMoveLineEnd, 1);  // "ku" and the line break
  engine.EditCommand(WPC_BACKSPACE, 1, 0);
  const std::string edited = DocumentText();
  ASSERT_EQ(edited,
            "A\x82\xA0\x82\xA2\x82\xA4\x82\xA6\x82\xA8\x82\xA9\x82\xAB\x82\xAF\x82\xB1"
            "\x82\xB3");
  engine.EditCommand(WPC_UNDO, 0, 0);
  EXPECT_EQ(DocumentText(), start);
  engine.EditCommand(WPC_REDO, 0, 0);
  EXPECT_EQ(DocumentText(), edited);
}

// A full stop may not start a line: typed at the end of a full line it
// takes the character before along to the next line, or squeezes the
// line's other punctuation so that it still fits. Either way the undo
// takes back the stop alone.
TEST_F(UndoReplayTest, AFullStopTypedAtAFullLinesEndIsTakenBackAlone) {
  const char* const kFullStop = "\x81\x42";
  const char* const kLines[] = {
      // "aiueokakikukeko"
      "\x82\xA0\x82\xA2\x82\xA4\x82\xA6\x82\xA8\x82\xA9\x82\xAB\x82\xAD\x82\xAF\x82\xB1",
      // "aiueo", an ideographic comma, "kakikuke"
      "\x82\xA0\x82\xA2\x82\xA4\x82\xA6\x82\xA8\x81\x41\x82\xA9\x82\xAB\x82\xAD\x82\xAF",
  };
  for (const char* line : kLines) {
    SCOPED_TRACE(line);
    engine.DocumentCommand(WPC_CLEAR_DOCUMENT, 0, nullptr);
    Type(line);
    engine.EditCommand(WPC_INSERT_FORMATTED, 0, 0);  // starts the history afresh
    Type(kFullStop);
    ASSERT_EQ(DocumentText(), std::string(line) + kFullStop);
    engine.EditCommand(WPC_UNDO, 0, 0);
    EXPECT_EQ(DocumentText(), line);
    EXPECT_EQ(engine.EditCommand(WPC_CAN_UNDO, 0, 0), 0);
    engine.EditCommand(WPC_REDO, 0, 0);
    EXPECT_EQ(DocumentText(), std::string(line) + kFullStop);
  }
}

// An inserted line goes in at the start of the caret's line, wherever on
// the line the caret stands; its undo takes back that line alone.
TEST_F(UndoReplayTest, ALineInsertedWithTheCaretInsideALineIsTakenBackAlone) {
  struct Case {
    const char* name;
    const char* text;
    const char* inserted;
  };
  const Case cases[] = {
      {"the caret after the last line's end", "AB\rCD", "AB\r\n\r\nCD"},
      {"the caret at the end of the only line", "XY", "\r\nXY"},
      // The wrapped line is broken off before the blank line goes in.
      {"the caret on a wrapped line", "abcdefghijklmnopqrstuvwxy",
       "abcdefghijklmnopqrst\r\n\r\nuvwxy"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    engine.DocumentCommand(WPC_CLEAR_DOCUMENT, 0, nullptr);
    Type(c.text);
    engine.EditCommand(WPC_INSERT_FORMATTED, 0, 0);  // starts the history afresh
    const std::string start = DocumentText();
    engine.EditCommand(WPC_INSERT_LINE, 1, 0);
    ASSERT_EQ(DocumentText(), c.inserted);
    engine.EditCommand(WPC_UNDO, 0, 0);
    EXPECT_EQ(DocumentText(), start);
    EXPECT_EQ(engine.EditCommand(WPC_CAN_UNDO, 0, 0), 0);
    engine.EditCommand(WPC_REDO, 0, 0);
    EXPECT_EQ(DocumentText(), c.inserted);
  }
}

}  // namespace
}  // namespace doc_root_test
