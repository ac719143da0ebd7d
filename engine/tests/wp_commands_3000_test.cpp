// The caret, query, text and format commands of the 3000s as the views
// send them: going to a place, selecting and marking ranges, the
// questions a view asks to draw and announce the caret, the text getters
// of the read-aloud commands and the character and paragraph formats.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "engine/wp_commands.h"
#include "engine/wp_ctrl.h"
#include "model/attribute_records.h"
#include "wp_ctrl_fixture.h"

namespace doc_root_test {
namespace {

// Fifty single-byte characters: three lines of twenty, twenty and ten.
constexpr char kThreeLines[] = "abcdefghijklmnopqrstABCDEFGHIJKLMNOPQRST0123456789";
// The text area of the test style, in page twips.
constexpr int32_t kAreaLeft = 1134;
constexpr int32_t kAreaTop = 1701;
constexpr int32_t kAreaRight = kAreaLeft + kStyleCharsPerLine * kWide;
constexpr int32_t kAreaBottom = kAreaTop + kStyleLinesPerPage * kLinePitch;

class EditCommandTest : public WpCtrlFixture {
 protected:
  int Edit(int code, intptr_t arg = 0, intptr_t value = 0) {
    return engine.EditCommand(code, arg, value);
  }
  // The text a getter copies out, through a roomy buffer.
  std::string Fetch(int code) {
    char buffer[256];
    std::memset(buffer, 'x', sizeof buffer);
    Edit(code, sizeof buffer, Pointer(buffer));
    return buffer;
  }
  void GoTo(PageLineColumn place, int code = WPC_GOTO, int mode = 0) {
    Edit(code, mode, Pointer(&place));
  }
};

TEST_F(EditCommandTest, GoToClampsToTheDocumentAndAnnouncesOneCaretMove) {
  Type(kThreeLines);
  struct Case {
    PageLineColumn asked;
    PageLineColumn reached;
  };
  const Case cases[] = {
      {{1, 2, 3}, {1, 2, 3}},
      {{1, 1, 1}, {1, 1, 1}},
      {{1, 3, 11}, {1, 3, 11}},
      // Past the last line and page: the last line, or the last page's
      // first line; nothing asked is the first place.
      {{1, 9, 4}, {1, 3, 4}},
      {{5, 1, 2}, {1, 1, 2}},
      {{0, 0, 0}, {1, 1, 1}},
      {{1, 2, 20}, {1, 2, 20}},
  };
  for (const Case& c : cases) {
    window.Clear();
    GoTo(c.asked);
    EXPECT_EQ(Location().caret, c.reached)
        << c.asked.page << "/" << c.asked.line << "/" << c.asked.column;
    EXPECT_EQ(window.Count(WM_WPC_CARETMOVED), 1u);
    EXPECT_EQ(window.Count(WM_WPC_CONTENTCHANGED), 0u);
  }
  EXPECT_EQ(Edit(WPC_CAN_UNDO), 1) << "only the typing made an undo step";
  Edit(WPC_GOTO, 0, 0);
  EXPECT_EQ(Location().caret, (PageLineColumn{1, 2, 20}));
}

TEST_F(EditCommandTest, SelectionsAreMadeGivenBackAndDropped) {
  Type(kThreeLines);
  GoTo({1, 1, 3});
  GoTo({1, 2, 5}, WPC_GOTO_EXTEND, 1);
  EXPECT_EQ(Edit(WPC_HAS_SELECTION), 1);
  LocationRecord ends;
  EXPECT_EQ(Edit(WPC_GET_LOCATION, 0, Pointer(&ends)), 1);
  EXPECT_EQ(ends.caret, (PageLineColumn{1, 2, 5}));
  EXPECT_EQ(ends.anchor, (PageLineColumn{1, 1, 3}));
  EXPECT_EQ(Fetch(WPC_GET_RANGE_TEXT), std::string(kThreeLines + 2, kThreeLines + 24));
  const int unit = Edit(WPC_GET_SELECTION_UNIT);
  EXPECT_GE(unit, 1);
  EXPECT_LE(unit, 4);

  CVedTextRange range;
  EXPECT_EQ(Edit(WPC_GET_SELECTION, 0, Pointer(&range)), 1);
  window.Clear();
  Edit(WPC_CLEAR_SELECTION);
  EXPECT_EQ(Edit(WPC_HAS_SELECTION), 0);
  EXPECT_EQ(window.Count(WM_WPC_CARETMOVED), 1u);
  window.Clear();
  Edit(WPC_CLEAR_SELECTION);
  EXPECT_EQ(window.Count(WM_WPC_CARETMOVED), 0u) << "nothing to drop, nothing to tell";

  // The range given back (caret first) selects the same characters
  // again, its start, the old caret, now as the anchor.
  Edit(WPC_SELECT_RANGE, 0, Pointer(&range));
  EXPECT_EQ(Edit(WPC_HAS_SELECTION), 1);
  EXPECT_EQ(Fetch(WPC_GET_RANGE_TEXT), std::string(kThreeLines + 2, kThreeLines + 24));
  EXPECT_EQ(Location().anchor, (PageLineColumn{1, 2, 5}));
  EXPECT_EQ(Location().caret, (PageLineColumn{1, 1, 3}));
}

TEST_F(EditCommandTest, RangeMarkingTellsTheWindowAndCancellingPutsTheCaretBack) {
  Type(kThreeLines);
  GoTo({1, 1, 3});
  window.Clear();
  Edit(WPC_BEGIN_MARKING);
  EXPECT_EQ(window.Count(WM_WPC_MARKSTART), 1u);
  Edit(WPC_MOVE, kMoveNextChar, 4);
  window.Clear();
  // Cancelled: the caret goes back and the window hears of it.
  Edit(WPC_END_MARKING, 0, 0);
  EXPECT_EQ(window.Count(WM_WPC_MARKEND), 1u);
  EXPECT_EQ(window.Count(WM_WPC_CARETMOVED), 1u);
  EXPECT_EQ(Location().caret, (PageLineColumn{1, 1, 3}));

  // Kept without being asked to tell: only the end of marking is heard.
  Edit(WPC_BEGIN_MARKING);
  Edit(WPC_MOVE, kMoveNextChar, 2);
  window.Clear();
  Edit(WPC_END_MARKING, 1, 0);
  EXPECT_EQ(window.Count(WM_WPC_MARKEND), 1u);
  EXPECT_EQ(window.Count(WM_WPC_CARETMOVED), 0u);
}

TEST_F(EditCommandTest, AReadOnlyDocumentRefusesEditsWithACue) {
  Type("abc");
  const uint8_t on = 1;
  Edit(WPC_SET_READONLY, 0, Pointer(&on));
  uint8_t back = 0;
  Edit(WPC_GET_READONLY, 0, Pointer(&back));
  EXPECT_EQ(back, 1);
  window.Clear();
  const struct {
    int code;
    intptr_t value;
  } edits[] = {{WPC_INSERT_TEXT, Text("x")},
               {WPC_BACKSPACE, 0},
               {WPC_INSERT_LINE, 0},
               {WPC_INSERT_PAGE_BREAK, 0}};
  for (const auto& edit : edits) Edit(edit.code, 1, edit.value);
  EXPECT_EQ(DocumentText(), "abc");
  EXPECT_EQ(window.Count(WM_WPC_CONTENTCHANGED), 0u);
  EXPECT_FALSE(window.Cues().empty());
  EXPECT_EQ(Edit(WPC_CAN_UNDO), 1) << "the refused edits recorded nothing";

  const uint8_t off = 0;
  Edit(WPC_SET_READONLY, 0, Pointer(&off));
  Type("d");
  EXPECT_EQ(DocumentText(), "abcd");
}

TEST_F(EditCommandTest, DisplayOptionsGoToTheDocumentAndTheStepToPageJumps) {
  DisplayOptionsRecord set;
  set.options[0] = 0;
  set.options[1] = 1;
  set.options[2] = 0;
  set.options[3] = 0;  // ignored: a page break may always be typed
  set.options[4] = 1;
  set.pageJumpStep = 2;
  EXPECT_EQ(Edit(WPC_SET_DISPLAY_OPTIONS, 0, Pointer(&set)), 0);
  DisplayOptionsRecord got;
  got.pageJumpStep = 0;
  EXPECT_EQ(Edit(WPC_GET_DISPLAY_OPTIONS, 0, Pointer(&got)), 0);
  EXPECT_EQ(got.options[0], 0);
  EXPECT_EQ(got.options[1], 1);
  EXPECT_EQ(got.options[2], 0);
  EXPECT_EQ(got.options[3], 1);
  EXPECT_EQ(got.pageJumpStep, 2);

  // Overwrite mode (byte 2 clear) replaces the character after the caret.
  Type("abc");
  Edit(WPC_MOVE, kMoveLineStart, 1);
  Type("X");
  EXPECT_EQ(DocumentText(), "Xbc");
}

TEST_F(EditCommandTest, QueriesAboutPagesPointsAndTheCaret) {
  Type(kThreeLines);
  Edit(WPC_MOVE, kMoveDocumentStart, 1);

  // Page heights: only pages that exist are answered.
  struct HeightCase {
    int page;
    int answer;
  };
  for (const HeightCase& c : {HeightCase{1, 1}, HeightCase{0, 0}, HeightCase{2, 0}}) {
    int32_t height = -7;
    EXPECT_EQ(Edit(WPC_GET_PAGE_HEIGHT, c.page, Pointer(&height)), c.answer) << c.page;
    EXPECT_EQ(height, c.answer != 0 ? 3 * kLinePitch : -7) << c.page;
  }
  EXPECT_EQ(Edit(WPC_GET_PAGE_COUNT), 1);

  // A point outside the text area says on which side it lies.
  struct HitCase {
    const char* name;
    int32_t x;
    int32_t y;
    int32_t second;
  };
  const HitCase hits[] = {
      {"left", kAreaLeft - 1, kAreaTop + 10, 0x10001},
      {"right", kAreaRight + 5, kAreaTop + 10, 0x10002},
      {"above", kAreaLeft + 10, kAreaTop - 1, 0x10003},
      {"below", kAreaLeft + 10, kAreaBottom + 1, 0x10004},
  };
  for (const HitCase& c : hits) {
    CaretPoint point;
    point.rect = {c.x, c.y, c.x, c.y};
    point.page = 1;
    ObjectDescription answer{};
    EXPECT_EQ(Edit(WPC_HIT_TEST, Pointer(&point), Pointer(&answer)), 0);
    EXPECT_EQ(answer[0], 0x10001) << c.name;
    EXPECT_EQ(answer[1], c.second) << c.name;
  }
  CaretPoint inside;
  inside.rect = {kAreaLeft + 10, kAreaTop + kLinePitch + 10, 0, 0};
  inside.page = 1;
  ObjectDescription text{};
  Edit(WPC_HIT_TEST, Pointer(&inside), Pointer(&text));
  EXPECT_EQ(text[0], kObjectText);

  // The caret's own rectangle stands at the text area's start.
  CaretPoint caret;
  EXPECT_EQ(Edit(WPC_GET_CARET_RECT, 0, Pointer(&caret)), 0);
  EXPECT_EQ(caret.page, 1);
  EXPECT_EQ(caret.rect.left, kAreaLeft);
  EXPECT_EQ(caret.rect.top, kAreaTop);
  EXPECT_GT(caret.rect.bottom, caret.rect.top);

  // The frame around the caret is the body text: the whole text width.
  platform::RECT frame{};
  Edit(WPC_GET_CARET_BLOCK_RECT, 0, Pointer(&frame));
  EXPECT_EQ(frame.left, kAreaLeft);
  EXPECT_EQ(frame.right, kAreaRight);
  EXPECT_EQ(Edit(WPC_GET_CARET_BLOCK_CHARS), 2 * kStyleCharsPerLine);

  ObjectDescription context{};
  Edit(WPC_GET_CARET_CONTEXT, 1, Pointer(&context));
  EXPECT_EQ(context[0], kObjectText);
  EXPECT_EQ(context[1], kSubKindText);
}

// The input method and the rulers go on only when the caret context
// answers 0, whichever description they ask for.
TEST_F(EditCommandTest, TheCaretContextAnswersZeroInBodyTextInEveryMode) {
  Type(kThreeLines);
  Edit(WPC_MOVE_EXTEND, kMovePrevChar, kCharacterWise);
  for (const int mode : {0, 1, 2}) {
    ObjectDescription context{};
    EXPECT_EQ(Edit(WPC_GET_CARET_CONTEXT, mode, Pointer(&context)), 0) << mode;
    EXPECT_EQ(context[0], kObjectText) << mode;
    EXPECT_EQ(Edit(WPC_GET_CARET_CONTEXT, mode, 0), 0) << mode;
  }
}

TEST_F(EditCommandTest, DocumentStateQueries) {
  EXPECT_EQ(Edit(WPC_HAS_CONTENT), 1) << "a new document is empty";
  EXPECT_EQ(Edit(WPC_IS_MODIFIED), 0);
  Type("abc");
  EXPECT_EQ(Edit(WPC_HAS_CONTENT), 0);
  EXPECT_EQ(Edit(WPC_IS_MODIFIED), 1);
  Edit(WPC_SET_MODIFIED, 0);
  EXPECT_EQ(Edit(WPC_IS_MODIFIED), 0);

  Edit(WPC_MOVE_EXTEND, kMovePrevChar, 1);
  Edit(WPC_COPY);
  EXPECT_NE(Edit(WPC_CAN_PASTE), 0);

  int32_t version[4] = {-1, -1, -1, -1};
  int32_t program[4] = {};
  ASSERT_EQ(CVedWpCtrl::ParseVersion(CVedWpCtrl::ProgramVersion(), program), 1);
  EXPECT_EQ(Edit(WPC_GET_FILE_VERSION, 0, Pointer(version)), 1);
  EXPECT_EQ(std::vector<int32_t>(version, version + 4), std::vector<int32_t>(program, program + 4));
  EXPECT_EQ(Edit(WPC_IS_EDIT_RUNNING), 0);
}

TEST_F(EditCommandTest, TextGettersHandOutTheCaretsLineAndTheSelection) {
  Type(kThreeLines);
  GoTo({1, 2, 3});
  const std::string middle(kThreeLines + 20, kThreeLines + 40);
  struct Case {
    int code;
    std::string text;
  };
  const Case cases[] = {
      {WPC_GET_LINE_TEXT, middle},
      {WPC_GET_LINE_TEXT_1, middle},
  };
  for (const Case& c : cases) EXPECT_EQ(Fetch(c.code), c.text) << c.code;
  EXPECT_EQ(Fetch(WPC_GET_SENTENCE_TEXT), kThreeLines);
  EXPECT_FALSE(Fetch(WPC_GET_UNIT_TEXT).empty());
  // A null buffer is left alone.
  Edit(WPC_GET_LINE_TEXT, 16, 0);
}

TEST_F(EditCommandTest, CharacterFormatsOfTheSelectionAreSetReadAndUndone) {
  Type("abcdef");
  GoTo({1, 1, 2});
  GoTo({1, 1, 5}, WPC_GOTO_EXTEND, 1);
  window.Clear();
  CharDecoration underline;
  underline.mask = kMaskUnderline;
  underline.underline = kSingleUnderline;
  EXPECT_EQ(Edit(WPC_SET_CHAR_DECORATION, 1, Pointer(&underline)), 0);
  EXPECT_EQ(window.Count(WM_WPC_CONTENTCHANGED), 1u);
  CharDecoration read;
  Edit(WPC_GET_CHAR_DECORATION, 0, Pointer(&read));
  EXPECT_NE(read.mask & kMaskUnderline, 0);
  EXPECT_EQ(read.underline, kSingleUnderline);

  CharDesign hollow;
  hollow.mask = kMaskHollow;
  hollow.hollow = 1;
  Edit(WPC_SET_CHAR_DESIGN, 1, Pointer(&hollow));
  CharDesign design;
  Edit(WPC_GET_CHAR_DESIGN, 0, Pointer(&design));
  EXPECT_EQ(design.hollow, 1);

  CharFormat bold;
  bold.mask = kMaskBold;
  bold.bold = 1;
  Edit(WPC_SET_CHAR_FONT, 1, Pointer(&bold));
  CharFormat font;
  Edit(WPC_GET_CHAR_FONT_RECORD, 0, Pointer(&font));
  EXPECT_EQ(font.bold, 1);

  // Each change is one undo step; undoing the three takes them all back.
  for (int i = 0; i < 3; ++i) Edit(WPC_UNDO);
  Edit(WPC_GET_CHAR_DECORATION, 0, Pointer(&read));
  EXPECT_EQ(read.underline, 0);
  Edit(WPC_GET_CHAR_DESIGN, 0, Pointer(&design));
  EXPECT_EQ(design.hollow, 0);
  Edit(WPC_GET_CHAR_FONT_RECORD, 0, Pointer(&font));
  EXPECT_EQ(font.bold, 0);
  EXPECT_EQ(DocumentText(), "abcdef");
}

TEST_F(EditCommandTest, ParagraphLayoutIsConvertedBetweenCharactersAndTwips) {
  Type(kThreeLines);
  ParagraphLayoutRecord set;
  set.mask = kMaskLeftIndent | kMaskFirstIndent | kMaskRightIndent;
  set.firstIndent = 2;
  set.leftIndent = 1;
  set.rightIndent = 3;
  EXPECT_EQ(Edit(WPC_SET_PARAGRAPH, 1, Pointer(&set)), 0);
  ParagraphLayoutRecord got;
  EXPECT_NE(Edit(WPC_GET_PARAGRAPH, 0, Pointer(&got)), 0);
  EXPECT_EQ(got.firstIndent, 2);
  EXPECT_EQ(got.leftIndent, 1);
  EXPECT_EQ(got.rightIndent, 3);
  EXPECT_EQ(Edit(WPC_CAN_UNDO), 1);

  // One step right, as the indent keys send it, then one back.
  Edit(WPC_STEP_INDENT, 1, 0x10001);
  Edit(WPC_GET_PARAGRAPH, 0, Pointer(&got));
  EXPECT_EQ(got.leftIndent, 2);
  Edit(WPC_STEP_INDENT, 1, 0x1FFFF);
  Edit(WPC_GET_PARAGRAPH, 0, Pointer(&got));
  EXPECT_EQ(got.leftIndent, 1);
  EXPECT_EQ(DocumentText(), kThreeLines);
}

// "インデント" with the indent after the step, or with the step itself
// over a selection.
constexpr char kSaidIndentTwo[] = "\x83\x43\x83\x93\x83\x66\x83\x93\x83\x67 2";
constexpr char kSaidIndentPlusOne[] =
    "\x83\x43\x83\x93\x83\x66\x83\x93\x83\x67 \x83\x76\x83\x89\x83\x58"
    "1";
constexpr char kSaidIndentMinusOne[] =
    "\x83\x43\x83\x93\x83\x66\x83\x93\x83\x67 \x83\x7D\x83\x43\x83\x69\x83\x58"
    "1";

TEST_F(EditCommandTest, ASteppedIndentIsSpokenAsTheIndentItLeaves) {
  Type(kThreeLines);
  ParagraphLayoutRecord set;
  set.mask = kMaskLeftIndent | kMaskFirstIndent;
  set.firstIndent = 1;
  set.leftIndent = 1;
  Edit(WPC_SET_PARAGRAPH, 1, Pointer(&set));
  // The caret is on a later line of its paragraph: the left indent is said.
  window.Clear();
  Edit(WPC_STEP_INDENT, 1, 0x10001);
  EXPECT_EQ(window.Spoken(), std::vector<std::string>{kSaidIndentTwo});

  Edit(WPC_MOVE_EXTEND, kMovePrevChar, kCharacterWise);
  window.Clear();
  Edit(WPC_STEP_INDENT, 1, 0x1FFFF);
  EXPECT_EQ(window.Spoken(), std::vector<std::string>{kSaidIndentMinusOne});
  window.Clear();
  Edit(WPC_STEP_INDENT, 1, 0x10001);
  EXPECT_EQ(window.Spoken(), std::vector<std::string>{kSaidIndentPlusOne});
}

TEST_F(EditCommandTest, TheDefaultCharacterFormatIsKeptAndAnswered) {
  CharFormat format;
  engine.EditCommand(WPC_GET_DEFAULT_CHARFORMAT, 0, Pointer(&format));
  EXPECT_STREQ(format.face, platform::kSyntheticFixedFace);
  EXPECT_EQ(format.size, 120);
  format.mask = kMaskSize;
  format.size = 200;
  Edit(WPC_SET_DEFAULT_CHARFORMAT, 0, Pointer(&format));
  CharFormat back;
  Edit(WPC_GET_DEFAULT_CHARFORMAT, 0, Pointer(&back));
  EXPECT_EQ(back.size, 200);
  CharFormat caret;
  EXPECT_NE(Edit(WPC_GET_CARET_CHARFORMAT, 0, Pointer(&caret)), 0);
}

TEST_F(EditCommandTest, ErasingAUnitTakesThePartOfTheLineItNames) {
  struct Case {
    const char* name;
    const char* text;
    PageLineColumn at;
    intptr_t unit;
    const char* left;
    size_t cues;
  };
  const Case cases[] = {
      {"to a paragraph's end", "abc\r\ndef\r\nghi", {1, 2, 2}, 1, "abc\r\nd\r\nghi", 0},
      {"to the text's end", "abc\r\ndef\r\nghi", {1, 3, 2}, 1, "abc\r\ndef\r\ng", 0},
      {"to a wrapped line's end", "abcdefghijklmnopqrstuvwxyz", {1, 1, 2}, 1, "auvwxyz", 0},
      {"at the line's end already", "abc\r\ndef", {1, 1, 4}, 1, "abc\r\ndef", 1},
      {"the whole line", "abc\r\ndef\r\nghi", {1, 2, 2}, 2, "abc\r\n\r\nghi", 0},
      {"from the line to the end", "abc\r\ndef\r\nghi", {1, 2, 2}, 3, "abc\r\n", 0},
      {"no such unit", "abc\r\ndef", {1, 2, 2}, 4, "abc\r\ndef", 0},
  };
  for (const Case& c : cases) {
    engine.DocumentCommand(WPC_NEW_DOCUMENT, 0, nullptr);
    Type(c.text);
    GoTo(c.at);
    window.Clear();
    Edit(WPC_DELETE_UNIT, 1, c.unit);
    EXPECT_EQ(DocumentText(), c.left) << c.name;
    EXPECT_EQ(window.Cues().size(), c.cues) << c.name;
  }
}

TEST_F(EditCommandTest, TransferCopiesOrMovesTheMarkedRangeToTheCaretAndSaysWhichItDid) {
  window.Clear();
  Type("abcdef");
  window.Clear();
  Edit(WPC_TRANSFER, 1, 1);
  EXPECT_EQ(window.Cues(), std::vector<int>{kCueNothingToDo}) << "nothing marked";
  EXPECT_EQ(DocumentText(), "abcdef");

  struct Case {
    intptr_t copy;
    const char* word;
    const char* text;
  };
  const Case cases[] = {
      {1, "\x95\xA1\x8E\xCA", "ababcdef"},  // 複写
      {0, "\x88\xDA\x93\xAE", "abcdef"},    // 移動: to where it already is
  };
  for (const Case& c : cases) {
    engine.DocumentCommand(WPC_NEW_DOCUMENT, 0, nullptr);
    Type("abcdef");
    Edit(WPC_MOVE, kMoveLineStart, 1);
    Edit(WPC_MOVE_EXTEND, kMoveNextChar, 1);
    Edit(WPC_MOVE_EXTEND, kMoveNextChar, 1);
    window.Clear();
    EXPECT_EQ(Edit(WPC_TRANSFER, 1, c.copy), 0);
    EXPECT_EQ(DocumentText(), c.text) << c.word;
    EXPECT_EQ(window.Spoken(), std::vector<std::string>{c.word});
    EXPECT_EQ(window.Count(WM_WPC_CONTENTCHANGED), 1u) << c.word;
    EXPECT_EQ(Edit(WPC_CAN_UNDO), 1) << c.word;
  }
}

TEST_F(EditCommandTest, FurtherEditsOfTheKeyboardAndTheInputMethod) {
  Type("ab");
  Edit(WPC_INSERT_PAGE_BREAK, 1);
  Type("c");
  EXPECT_EQ(Edit(WPC_GET_PAGE_COUNT), 2) << "what follows the break starts a page";
  EXPECT_EQ(Location().caret, (PageLineColumn{2, 1, 2}));

  window.SetReply(WM_WPC_RECONVERT, 77);
  EXPECT_EQ(Edit(WPC_REQUEST_RECONVERT, 0, Text("ab")), 77);
  ASSERT_FALSE(window.messages().empty());
  EXPECT_EQ(window.messages().back().message, WM_WPC_RECONVERT);

  // The end of a formatted series lays the document out and forgets undo.
  ASSERT_EQ(Edit(WPC_CAN_UNDO), 1);
  window.Clear();
  Edit(WPC_INSERT_FORMATTED, 0, 0);
  EXPECT_EQ(Edit(WPC_CAN_UNDO), 0);
  EXPECT_EQ(window.Notifications(), std::vector<platform::UINT>{WM_WPC_CARETMOVED});
}

// A page break that goes in at the start of a wrapped line hangs at the
// end of the line above, so the text keeps its height: the pages must
// follow all the same, and so must every edit that takes the break out.
TEST_F(EditCommandTest, APageBreakThatKeepsTheHeightStillStartsAPage) {
  // Fifteen full-width characters: a line of ten and one of five.
  std::string text;
  for (int i = 0; i < 15; ++i) text += "\x82\xa0";
  struct Step {
    const char* what;
    int code;
    intptr_t arg;
    intptr_t value;
    int32_t pages;
  };
  const Step steps[] = {
      {"the break command", WPC_INSERT_PAGE_BREAK, 1, 0, 2},
      {"Backspace over it", WPC_BACKSPACE, 1, 0, 1},
      {"undo of the Backspace", WPC_UNDO, 0, 0, 2},
      {"undo of the break", WPC_UNDO, 0, 0, 1},
      {"redo of the break", WPC_REDO, 0, 0, 2},
      {"Delete of the break", WPC_DELETE, 1, 0, 1},
      {"a typed form feed", WPC_INSERT_TEXT, 1, Text("\f"), 2},
  };
  Type(text.c_str());
  ASSERT_EQ(Edit(WPC_GET_PAGE_COUNT), 1);
  GoTo({1, 2, 1});
  for (const Step& step : steps) {
    if (step.code == WPC_DELETE) GoTo({1, 1, 11});
    Edit(step.code, step.arg, step.value);
    EXPECT_EQ(Edit(WPC_GET_PAGE_COUNT), step.pages) << step.what;
    if (step.code == WPC_INSERT_PAGE_BREAK || step.code == WPC_INSERT_TEXT) {
      EXPECT_EQ(Location().caret, (PageLineColumn{2, 1, 1})) << step.what;
    }
  }
}

}  // namespace
}  // namespace doc_root_test
