#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "doc_root_fixture.h"
#include "engine/doc_root.h"
#include "engine/texts.h"
#include "platform/sjis.h"
#include "speech/reader_bridge.h"
#include "speech/tests/speech_test_support.h"

// Paths print as their (tag:value) pairs in failure messages.
[[maybe_unused]] static void PrintTo(const CVedTextPos& path, std::ostream* os) {
  *os << "[";
  for (int32_t i = 0; i < path.depth && i < static_cast<int32_t>(path.pairs.size()); ++i) {
    *os << (i == 0 ? "" : " ") << std::hex << path.pairs[static_cast<size_t>(i)].tag << std::dec
        << ":" << path.pairs[static_cast<size_t>(i)].value;
  }
  *os << "]";
}

namespace doc_root_test {
namespace {

constexpr platform::UINT kCaretMoved = WM_WPC_CARETMOVED;
constexpr platform::UINT kSelStarted = WM_WPC_SELSTARTED;
constexpr platform::UINT kSelCleared = WM_WPC_SELCLEARED;
constexpr platform::UINT kMarkStart = WM_WPC_MARKSTART;
constexpr platform::UINT kMarkEnd = WM_WPC_MARKEND;

constexpr int kNone = -1;       // no position: an empty path
constexpr int kElsewhere = -2;  // a path that is no character position

// Fifteen double-byte characters: a line of ten and a line of five.
constexpr char kFifteen[] =
    "\x82\xA0\x82\xA2\x82\xA4\x82\xA6\x82\xA8\x82\xA9\x82\xAB\x82\xAD\x82\xAF\x82\xB1"
    "\x82\xB3\x82\xB5\x82\xB7\x82\xB9\x82\xBB";  // あいうえおかきくけこさしすせそ

// The document of these tests, as character positions counted from its
// start (position n stands before the (n+1)-th character):
//   child 0: 0-9 the first line, 10-14 the second, 15 its end mark;
//   child 1: "ABC" 16-18, 19 its end mark;
//   child 2: "xyz" 20-22, 23 its end mark (the document's end).
constexpr int kLastPosition = 23;

class CaretBase : public DocRootTest {
 protected:
  CVedTextPos At(int index) {
    return index == kNone ? CVedTextPos{} : PathFromStart(kMoveNextChar, index);
  }

  // The character position of a path; kNone for an empty one, kElsewhere
  // for a path that is not a character position of the document.
  int Index(const CVedTextPos& path) {
    if (path.IsEmpty()) return kNone;
    for (int i = 0; i <= kLastPosition; ++i) {
      if (At(i) == path) return i;
    }
    return kElsewhere;
  }

  // Puts caret and cursor at a position, as a finished move would; what
  // was sent so far is dropped.
  void PlaceCaret(int index) {
    const CVedTextPos path = At(index);
    ASSERT_EQ(root.CDocObjContainer::SetCursor(&path), 1);
    if (root.HasSelection()) root.ResetSelection(0);
    root.RememberCaretState();
    root.UpdateAfterChange({.caret = &path});
    window.Clear();
  }

  std::pair<int32_t, int32_t> LineColumn(const CVedTextPos& path) {
    int32_t out[2] = {0, 0};
    root.GetLineColumn(out, 1, &path, nullptr);
    return {out[0], out[1]};
  }

  CVedTextPos Cursor() {
    CVedTextPos cursor;
    root.GetCursor(&cursor);
    return cursor;
  }

  // The move codes of the caret-moved messages, in order.
  std::vector<int> CaretMoves() const {
    std::vector<int> codes;
    for (const ReceivedMessage& m : window.messages()) {
      if (m.message == kCaretMoved) codes.push_back(static_cast<int>(m.wParam));
    }
    return codes;
  }

  // The selection messages only (started, cleared), in order; a message
  // that repeats the one before it counts once (the after-move update may
  // clear a selection that the move itself already cleared).
  std::vector<platform::UINT> SelectionMessages() const {
    std::vector<platform::UINT> sequence;
    for (platform::UINT m : window.Notifications()) {
      if ((m == kSelStarted || m == kSelCleared) && (sequence.empty() || sequence.back() != m)) {
        sequence.push_back(m);
      }
    }
    return sequence;
  }

  void Run(const std::vector<std::pair<int, int>>& moves) {
    for (const auto& [mode, code] : moves) root.Move(mode, code);
  }

  // Caret at `anchor`, then a character-wise selection to `caret`.
  void Select(int anchor, int caret) {
    PlaceCaret(anchor);
    const int code = caret > anchor ? kMoveNextChar : kMovePrevChar;
    for (int i = anchor; i != caret; i += caret > anchor ? 1 : -1) root.Move(1, code);
    ASSERT_EQ(Index(root.Caret()), caret);
    ASSERT_EQ(Index(root.Anchor()), anchor);
    window.Clear();
  }
};

class CaretTest : public CaretBase {
 protected:
  CaretTest() {
    Type(kFifteen);
    AddTextChild("ABC");
    AddTextChild("xyz");
  }
};

// ---- Moves with mode 0

struct MoveCase {
  int from;
  int code;
  int to;
  std::pair<int32_t, int32_t> lineColumn;  // of `to`, from the document start
};

class Moves : public CaretTest, public ::testing::WithParamInterface<MoveCase> {};

TEST_P(Moves, PutTheCaretAndCursorWhereTheCodeGoesAndSayTheCode) {
  const MoveCase& c = GetParam();
  PlaceCaret(c.from);

  const int moved = root.Move(0, c.code);

  EXPECT_EQ(Index(root.Caret()), c.to);
  EXPECT_EQ(LineColumn(root.Caret()), c.lineColumn);
  EXPECT_EQ(Cursor(), root.Caret());
  EXPECT_FALSE(root.HasSelection());
  EXPECT_EQ(window.Count(kSelStarted), 0u);
  if (c.to == c.from) {
    // A move that cannot be made changes nothing and says nothing.
    EXPECT_EQ(moved, 0);
    EXPECT_TRUE(window.Notifications().empty());
  } else {
    EXPECT_EQ(moved, 1);
    EXPECT_EQ(CaretMoves(), std::vector<int>{c.code});
    EXPECT_EQ(window.Notifications().back(), kCaretMoved);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Codes, Moves,
    ::testing::Values(
        // Character steps, over a wrapped line and from one child into the
        // next and back.
        MoveCase{5, kMovePrevChar, 4, {1, 5}}, MoveCase{5, kMoveNextChar, 6, {1, 7}},
        MoveCase{10, kMovePrevChar, 9, {1, 10}}, MoveCase{9, kMoveNextChar, 10, {2, 1}},
        MoveCase{15, kMoveNextChar, 16, {3, 1}}, MoveCase{16, kMovePrevChar, 15, {2, 6}},
        // Lines: the goal column is the middle of the caret's character; a
        // shorter line below ends the move at its end.
        MoveCase{12, kMoveLineUp, 2, {1, 3}}, MoveCase{12, kMoveLineDown, 19, {3, 4}},
        MoveCase{16, kMoveLineDown, 20, {4, 1}}, MoveCase{21, kMoveLineUp, 17, {3, 2}},
        MoveCase{12, kMoveLineStart, 10, {2, 1}}, MoveCase{12, kMoveLineEnd, 15, {2, 6}},
        MoveCase{18, kMoveLineStart, 16, {3, 1}}, MoveCase{18, kMoveLineEnd, 19, {3, 4}},
        MoveCase{12, kMoveDocumentStart, 0, {1, 1}}, MoveCase{18, kMoveDocumentStart, 0, {1, 1}},
        MoveCase{12, kMoveDocumentEnd, kLastPosition, {4, 4}},
        // Paragraphs and words.
        MoveCase{12, kMoveNextParagraph, 16, {3, 1}}, MoveCase{21, kMovePrevParagraph, 16, {3, 1}},
        MoveCase{16, kMoveNextWord, 20, {4, 1}}, MoveCase{21, kMovePrevWord, 16, {3, 1}},
        // At the document's edges the caret stays.
        MoveCase{0, kMovePrevChar, 0, {1, 1}}, MoveCase{0, kMoveLineUp, 0, {1, 1}},
        MoveCase{0, kMoveDocumentStart, 0, {1, 1}},
        MoveCase{kLastPosition, kMoveNextChar, kLastPosition, {4, 4}},
        MoveCase{kLastPosition, kMoveLineDown, kLastPosition, {4, 4}},
        MoveCase{kLastPosition, kMoveDocumentEnd, kLastPosition, {4, 4}},
        // No paragraph before the first one: the caret stays.
        MoveCase{12, kMovePrevParagraph, 12, {2, 3}}),
    [](const ::testing::TestParamInfo<MoveCase>& info) {
      return "From" + std::to_string(info.param.from) + "Code" + std::to_string(info.param.code);
    });

TEST_F(CaretTest, VerticalMovesKeepTheGoalColumnAndOtherMovesRenewIt) {
  PlaceCaret(12);  // the third character of the second line
  root.Move(0, kMoveLineDown);
  ASSERT_EQ(Index(root.Caret()), 19);  // the end of "ABC", left of the goal
  root.Move(0, kMoveLineUp);
  EXPECT_EQ(Index(root.Caret()), 12);

  // A character step takes the new caret's middle as the goal column.
  root.Move(0, kMoveLineDown);
  root.Move(0, kMovePrevChar);
  ASSERT_EQ(Index(root.Caret()), 18);
  root.Move(0, kMoveLineUp);
  EXPECT_EQ(Index(root.Caret()), 11);
}

// ---- Selections made by moves

struct ExtendCase {
  const char* name;
  int from;
  std::vector<std::pair<int, int>> moves;  // (mode, code)
  int caret;
  int anchor;  // kNone: no selection
  int32_t order;
  std::vector<int> caretMoves;  // the codes of the caret-moved messages
  std::vector<platform::UINT> selectionMessages;
};

class ExtendingMoves : public CaretTest, public ::testing::WithParamInterface<ExtendCase> {};

TEST_P(ExtendingMoves, StartFollowAndEndTheSelection) {
  const ExtendCase& c = GetParam();
  PlaceCaret(c.from);

  Run(c.moves);

  EXPECT_EQ(Index(root.Caret()), c.caret);
  EXPECT_EQ(Cursor(), root.Caret());
  EXPECT_EQ(Index(root.Anchor()), c.anchor);
  EXPECT_EQ(root.HasSelection(), c.anchor != kNone);
  EXPECT_EQ(CaretMoves(), c.caretMoves);
  EXPECT_EQ(SelectionMessages(), c.selectionMessages);
  if (c.anchor == kNone) return;
  EXPECT_TRUE(root.HasPlainSelection());
  EXPECT_EQ(root.GetSelectionOrder(), c.order);
  CVedTextRange ends;
  root.GetSelectionEnds(ends);
  EXPECT_EQ(Index(ends.start), c.caret);
  EXPECT_EQ(Index(ends.end), c.anchor);
  CVedTextRange selection;
  root.GetSelection(selection);
  EXPECT_EQ(Index(selection.start), c.caret);
  EXPECT_EQ(Index(selection.end), c.anchor);
}

constexpr platform::UINT S = kSelStarted;
constexpr platform::UINT C = kSelCleared;
constexpr int kLeft = kMovePrevChar;
constexpr int kRight = kMoveNextChar;

INSTANTIATE_TEST_SUITE_P(
    Sequences, ExtendingMoves,
    ::testing::Values(
        ExtendCase{"Forward", 5, {{1, kRight}, {1, kRight}}, 7, 5, 1, {kRight, kRight}, {S}},
        ExtendCase{"Backward", 5, {{1, kLeft}, {1, kLeft}}, 3, 5, -1, {kLeft, kLeft}, {S}},
        ExtendCase{"AcrossChildren", 12, {{1, kMoveLineDown}}, 19, 12, 1, {kMoveLineDown}, {S}},
        // One character back onto the anchor collapses the selection.
        ExtendCase{"ForwardBackToTheAnchor",
                   5,
                   {{1, kRight}, {1, kRight}, {1, kLeft}, {1, kLeft}},
                   5,
                   kNone,
                   0,
                   {kRight, kRight, kLeft, kLeft},
                   {S, C}},
        ExtendCase{"BackwardBackToTheAnchor",
                   5,
                   {{1, kLeft}, {1, kRight}},
                   5,
                   kNone,
                   0,
                   {kLeft, kRight},
                   {S, C}},
        // Mode 0 ends the selection: a left step moves on from the caret,
        // a right step over a forward selection leaves the caret at its end.
        ExtendCase{"PlainLeftStep",
                   5,
                   {{1, kRight}, {1, kRight}, {0, kLeft}},
                   6,
                   kNone,
                   0,
                   {kRight, kRight, kLeft},
                   {S, C}},
        ExtendCase{"PlainRightStep",
                   5,
                   {{1, kRight}, {1, kRight}, {0, kRight}},
                   7,
                   kNone,
                   0,
                   {kRight, kRight, kMoveWholeUnit},
                   {S, C}},
        // End after a forward selection that ends at a line's left end
        // goes to the end of the last selected line.
        ExtendCase{"PlainLineEndAfterWholeLines",
                   0,
                   {{1, kMoveLineDown}, {0, kMoveLineEnd}},
                   9,
                   kNone,
                   0,
                   {kMoveLineDown, kMoveLineEnd},
                   {S, C}},
        // Down there only ends the selection.
        ExtendCase{"PlainLineDownAfterWholeLines",
                   0,
                   {{1, kMoveLineDown}, {0, kMoveLineDown}},
                   10,
                   kNone,
                   0,
                   {kMoveLineDown, kMoveWholeUnit},
                   {S, C}},
        ExtendCase{"PlainLineDownInsideALine",
                   2,
                   {{1, kMoveLineDown}, {0, kMoveLineDown}},
                   19,
                   kNone,
                   0,
                   {kMoveLineDown, kMoveLineDown},
                   {S, C}},
        // An extending step that cannot be made leaves no selection.
        ExtendCase{"AtTheStart", 0, {{1, kLeft}}, 0, kNone, 0, {kLeft}, {S, C}},
        ExtendCase{
            "AtTheEnd", kLastPosition, {{1, kRight}}, kLastPosition, kNone, 0, {kRight}, {S, C}},
        // Line end on a line that is not its text's last selects up to the
        // next line's start.
        ExtendCase{"LineEndTakesTheLineBreak",
                   5,
                   {{1, kMoveLineEnd}},
                   10,
                   5,
                   1,
                   {kMoveNextLineStart},
                   {S}},
        ExtendCase{"LineEndOfASelection",
                   0,
                   {{1, kRight}, {1, kRight}, {1, kMoveLineEnd}},
                   10,
                   0,
                   1,
                   {kRight, kRight, kMoveNextLineStart},
                   {S}},
        // Line end at a line start that a forward selection reached is
        // refused.
        ExtendCase{"LineEndAtTheReachedLineStart",
                   0,
                   {{1, kMoveLineDown}, {1, kMoveLineEnd}},
                   10,
                   0,
                   1,
                   {kMoveLineDown},
                   {S}},
        // Line start there goes on to the line above.
        ExtendCase{"LineStartAtTheReachedLineStart",
                   2,
                   {{1, kMoveLineDown}, {1, kMoveLineStart}, {1, kMoveLineStart}},
                   0,
                   2,
                   -1,
                   {kMoveLineDown, kMoveLineStart, kMovePrevLineStart},
                   {S}}),
    [](const ::testing::TestParamInfo<ExtendCase>& info) { return info.param.name; });

TEST_F(CaretTest, AnExtendingMoveRecordsItsModeAsTheSelectionUnit) {
  EXPECT_EQ(root.GetSelectionUnit(1, 1), 0);
  PlaceCaret(5);
  root.Move(1, kMoveNextChar);
  for (int caretSide : {0, 1}) {
    for (int live : {0, 1}) {
      EXPECT_EQ(root.GetSelectionUnit(caretSide, live), 1) << caretSide << live;
    }
  }
  root.Move(0, kMoveNextChar);
  EXPECT_EQ(root.GetSelectionUnit(1, 1), 0);
}

TEST_F(CaretTest, AWholeUnitMoveTellsAnUnchangedSelectionAgain) {
  PlaceCaret(12);
  const CVedTextPos first = At(8);
  const CVedTextPos second = At(3);
  root.SelectRange(&first, &second, 1);
  window.Clear();

  EXPECT_EQ(root.Move(1, kMoveWholeUnit), 0);
  EXPECT_EQ(CaretMoves(), std::vector<int>{kMoveWholeUnit});
  EXPECT_EQ(Index(root.Caret()), 8);
  EXPECT_EQ(Index(root.Anchor()), 3);
  EXPECT_FALSE(root.HasPlainSelection());
  EXPECT_TRUE(root.HasSelection());

  // Without a selection there is nothing to tell.
  PlaceCaret(12);
  root.Move(0, kMoveWholeUnit);
  EXPECT_TRUE(window.Notifications().empty());
}

// ---- Selecting a range and clearing it

struct SelectRangeCase {
  const char* name;
  int before;  // a selection from position 0 to this one first; kNone: none
  int first;
  int second;  // kNone: no second end
  int whole;
  int caret;
  int anchor;
  bool plain;
};

class SelectRanges : public CaretTest, public ::testing::WithParamInterface<SelectRangeCase> {};

TEST_P(SelectRanges, MakeTheFirstEndTheCaretAndTheSecondTheAnchor) {
  const SelectRangeCase& c = GetParam();
  if (c.before != kNone) {
    Select(0, c.before);
  } else {
    PlaceCaret(12);
  }
  const CVedTextPos first = At(c.first);
  const CVedTextPos second = At(c.second);

  root.SelectRange(&first, c.second == kNone ? nullptr : &second, c.whole);

  EXPECT_EQ(Index(root.Caret()), c.caret);
  EXPECT_EQ(Cursor(), root.Caret());
  EXPECT_EQ(Index(root.Anchor()), c.anchor);
  EXPECT_EQ(root.HasSelection(), c.anchor != kNone);
  EXPECT_EQ(root.HasPlainSelection(), c.plain);
  EXPECT_EQ(CaretMoves(), std::vector<int>{0});
  if (c.anchor != kNone) {
    EXPECT_EQ(window.Count(kSelStarted), 1u);
    CVedTextRange ends;
    root.GetSelectionEnds(ends);
    EXPECT_EQ(Index(ends.start), c.caret);
    EXPECT_EQ(Index(ends.end), c.anchor);
  } else {
    EXPECT_GE(window.Count(kSelCleared), 1u);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Ranges, SelectRanges,
    ::testing::Values(SelectRangeCase{"Plain", kNone, 3, 18, 0, 3, 18, true},
                      SelectRangeCase{"WholeUnit", kNone, 18, 3, 1, 18, 3, false},
                      SelectRangeCase{"ReplacesASelection", 4, 8, 2, 0, 8, 2, true},
                      // Equal ends: a plain selection of nothing is none, a
                      // whole-unit one stays.
                      SelectRangeCase{"EmptyPlain", kNone, 4, 4, 0, 4, kNone, false},
                      SelectRangeCase{"EmptyWholeUnit", kNone, 4, 4, 1, 4, 4, false},
                      SelectRangeCase{"CaretOnly", 4, 6, kNone, 0, 6, kNone, false}),
    [](const ::testing::TestParamInfo<SelectRangeCase>& info) { return info.param.name; });

TEST_F(CaretTest, ClearSelectionStartsOneAtTheCaretOrClearsIt) {
  PlaceCaret(7);
  root.ClearSelection(1);
  EXPECT_TRUE(root.HasSelection());
  EXPECT_EQ(Index(root.Anchor()), 7);
  EXPECT_EQ(Index(root.Caret()), 7);
  EXPECT_EQ(SelectionMessages(), std::vector<platform::UINT>{kSelStarted});

  root.Move(1, kMoveNextChar);
  window.Clear();
  root.ClearSelection(0);
  EXPECT_FALSE(root.HasSelection());
  EXPECT_EQ(Index(root.Caret()), 8);
  EXPECT_EQ(SelectionMessages(), std::vector<platform::UINT>{kSelCleared});
  EXPECT_EQ(CaretMoves(), std::vector<int>{0});
}

// ---- Escape

struct CancelCase {
  const char* name;
  int anchor;
  int caret;
  int whole;  // 1: made a whole-unit selection
  int after;
};

class CancelSelections : public CaretTest, public ::testing::WithParamInterface<CancelCase> {};

TEST_P(CancelSelections, LeaveTheCaretOnTheLastSelectedCharacterOfAForwardSelection) {
  const CancelCase& c = GetParam();
  if (c.whole != 0) {
    PlaceCaret(0);
    const CVedTextPos first = At(c.caret);
    const CVedTextPos second = At(c.anchor);
    root.SelectRange(&first, &second, 1);
    window.Clear();
  } else {
    Select(c.anchor, c.caret);
  }

  EXPECT_EQ(root.CancelSelection(), 1);

  EXPECT_FALSE(root.HasSelection());
  EXPECT_EQ(Index(root.Caret()), c.after);
  EXPECT_EQ(Cursor(), root.Caret());
  EXPECT_EQ(SelectionMessages(), std::vector<platform::UINT>{kSelCleared});
  EXPECT_EQ(CaretMoves(), std::vector<int>{0});
}

INSTANTIATE_TEST_SUITE_P(Selections, CancelSelections,
                         ::testing::Values(CancelCase{"Forward", 5, 8, 0, 7},
                                           CancelCase{"Backward", 8, 5, 0, 5},
                                           CancelCase{"ForwardIntoTheNextChild", 13, 17, 0, 16},
                                           // A whole-unit selection keeps its caret.
                                           CancelCase{"WholeUnit", 5, 8, 1, 8}),
                         [](const ::testing::TestParamInfo<CancelCase>& info) {
                           return info.param.name;
                         });

TEST_F(CaretTest, EscapeWithoutASelectionDoesNothing) {
  PlaceCaret(5);
  EXPECT_EQ(root.CancelSelection(), 0);
  EXPECT_EQ(Index(root.Caret()), 5);
  EXPECT_TRUE(window.messages().empty());
}

// ---- Range marking

TEST_F(CaretTest, RangeMarkingBegunTwiceKeepsTheFirstSavedCaret) {
  PlaceCaret(5);
  window.SetReply(kMarkStart, 7);
  EXPECT_EQ(root.BeginRangeMarking(), 7);  // the window's reply
  EXPECT_EQ(root.IsRangeMarking(), 1);
  root.Move(0, kMoveNextChar);
  root.Move(0, kMoveNextChar);
  window.Clear();

  EXPECT_EQ(root.BeginRangeMarking(), 1);
  EXPECT_EQ(window.Count(kMarkStart), 0u);

  root.EndRangeMarking(0);
  EXPECT_EQ(Index(root.Caret()), 5);
  EXPECT_EQ(Cursor(), root.Caret());
  EXPECT_EQ(root.IsRangeMarking(), 0);
  EXPECT_EQ(window.Notifications(), std::vector<platform::UINT>{kMarkEnd});
}

TEST_F(CaretTest, RangeMarkingEndedWithoutKeepingPutsCaretAndAnchorBack) {
  Select(3, 8);
  root.BeginRangeMarking();
  EXPECT_EQ(window.Notifications(), std::vector<platform::UINT>{kMarkStart});

  // Moves without extending keep the marked selection while the caret goes.
  root.Move(0, kMoveLineDown);
  root.Move(0, kMoveNextChar);
  EXPECT_EQ(Index(root.Caret()), 16);
  EXPECT_EQ(Index(root.Anchor()), 3);
  EXPECT_TRUE(root.HasSelection());
  CVedTextRange marked;
  root.GetSelection(marked);  // while marking: caret and anchor
  EXPECT_EQ(Index(marked.start), 16);
  EXPECT_EQ(Index(marked.end), 3);
  // A range from outside does not replace the marked one.
  const CVedTextPos a = At(1);
  const CVedTextPos b = At(2);
  root.SelectRange(&a, &b, 0);
  EXPECT_EQ(Index(root.Caret()), 16);
  EXPECT_EQ(Index(root.Anchor()), 3);
  window.Clear();

  root.EndRangeMarking(0);

  EXPECT_EQ(Index(root.Caret()), 8);
  EXPECT_EQ(Index(root.Anchor()), 3);
  EXPECT_EQ(Cursor(), root.Caret());
  EXPECT_EQ(window.Notifications(), std::vector<platform::UINT>{kMarkEnd});
  CVedTextRange selection;
  root.GetSelection(selection);
  EXPECT_EQ(Index(selection.start), 8);
  EXPECT_EQ(Index(selection.end), 3);

  // Ending again does nothing.
  window.Clear();
  root.EndRangeMarking(0);
  EXPECT_TRUE(window.messages().empty());
}

TEST_F(CaretTest, AfterRangeMarkingEndsVerticalMovesGoFromTheRestoredCaret) {
  PlaceCaret(12);  // the third character of the second line
  root.BeginRangeMarking();
  root.Move(0, kMoveLineDown);
  root.Move(0, kMoveLineStart);
  root.EndRangeMarking(0);
  ASSERT_EQ(Index(root.Caret()), 12);

  root.Move(0, kMoveLineUp);
  EXPECT_EQ(Index(root.Caret()), 2);
}

TEST_F(CaretTest, RangeMarkingEndedKeepingLeavesTheCaretWhereItWent) {
  PlaceCaret(5);
  root.BeginRangeMarking();
  root.Move(0, kMoveLineDown);
  root.EndRangeMarking(1);
  EXPECT_EQ(Index(root.Caret()), 15);
  EXPECT_EQ(Cursor(), root.Caret());
  EXPECT_EQ(root.IsRangeMarking(), 0);
}

// ---- Queries

struct ColumnCase {
  int at;
  int base;  // kNone: the document start
  int32_t line;
  int32_t column;
};

class ColumnsFromTheCaretBox : public CaretTest,
                               public ::testing::WithParamInterface<ColumnCase> {};

TEST_P(ColumnsFromTheCaretBox, CountCharacterPitchesFromTheLeftEdge) {
  const ColumnCase& c = GetParam();
  const CVedTextPos at = At(c.at);
  const CVedTextPos base = At(c.base);
  int32_t out[2] = {0, 0};
  root.GetLineColumn(out, 0, &at, c.base == kNone ? nullptr : &base);
  EXPECT_EQ(out[0], c.line);
  EXPECT_EQ(out[1], c.column);
}

// A double-byte character is two pitches wide and counts from its middle;
// a single byte is narrower than a pitch and counts from its left edge.
INSTANTIATE_TEST_SUITE_P(Positions, ColumnsFromTheCaretBox,
                         ::testing::Values(ColumnCase{0, kNone, 1, 1}, ColumnCase{1, kNone, 1, 3},
                                           ColumnCase{9, kNone, 1, 19}, ColumnCase{10, kNone, 2, 1},
                                           ColumnCase{12, kNone, 2, 5}, ColumnCase{16, kNone, 3, 1},
                                           ColumnCase{17, kNone, 3, 2}, ColumnCase{19, kNone, 3, 4},
                                           ColumnCase{12, 10, 1, 5}, ColumnCase{21, 16, 2, 2}),
                         [](const ::testing::TestParamInfo<ColumnCase>& info) {
                           const ColumnCase& c = info.param;
                           return "At" + std::to_string(c.at) +
                                  (c.base == kNone ? "" : "From" + std::to_string(c.base));
                         });

TEST_F(CaretTest, WithoutACharacterPitchEveryColumnIsTheFirst) {
  PageFormat unpitched = format;
  unpitched.charPitch = 0;
  ASSERT_EQ(root.SetPageFormat(unpitched), 1);
  for (int at : {0, 1, 5, 12}) {
    const CVedTextPos path = At(at);
    int32_t out[2] = {0, 0};
    root.GetLineColumn(out, 0, &path, nullptr);
    EXPECT_EQ(out[1], 1) << at;
  }
}

struct FlagsCase {
  int at;
  int unitWise;
  int32_t flags;
};

class CaretFlags : public CaretTest, public ::testing::WithParamInterface<FlagsCase> {};

TEST_P(CaretFlags, TellTheFirstAndLastLineAndPosition) {
  const FlagsCase& c = GetParam();
  PlaceCaret(c.at);
  const CVedTextPos caret = root.Caret();
  EXPECT_EQ(root.GetCaretFlags(&caret, c.unitWise), c.flags);
  EXPECT_EQ(root.GetCaretFlags(nullptr, c.unitWise), c.flags);
}

INSTANTIATE_TEST_SUITE_P(Positions, CaretFlags,
                         ::testing::Values(FlagsCase{0, 1, 0x5}, FlagsCase{0, 0, 0x5},
                                           FlagsCase{5, 1, 0x4}, FlagsCase{10, 1, 0},
                                           FlagsCase{16, 0, 0}, FlagsCase{20, 1, 0x8},
                                           FlagsCase{21, 0, 0x8}, FlagsCase{kLastPosition, 1, 0xA},
                                           FlagsCase{kLastPosition, 0, 0xA}),
                         [](const ::testing::TestParamInfo<FlagsCase>& info) {
                           return "At" + std::to_string(info.param.at) +
                                  (info.param.unitWise != 0 ? "UnitWise" : "");
                         });

class SingleLine : public CaretBase {
 protected:
  SingleLine() { Type("ab"); }
};

TEST_F(SingleLine, CaretFlagsTellBothLinesAtOnce) {
  PlaceCaret(0);
  EXPECT_EQ(root.GetCaretFlags(nullptr, 1), 0x1 | 0x4 | 0x8);
  PlaceCaret(2);
  EXPECT_EQ(root.GetCaretFlags(nullptr, 1), 0x2 | 0x4 | 0x8);
  EXPECT_EQ(root.GetCaretFlags(nullptr, 0), 0x2 | 0x4 | 0x8);
}

struct BoundaryCase {
  int at;
  int kind;
  int answer;
};

class Boundaries : public CaretTest, public ::testing::WithParamInterface<BoundaryCase> {};

TEST_P(Boundaries, AnswerWhetherTheKindsMoveStaysPut) {
  const BoundaryCase& c = GetParam();
  const CVedTextPos at = At(c.at);
  EXPECT_EQ(root.IsAtBoundary(c.kind, &at), c.answer);
  PlaceCaret(c.at);
  EXPECT_EQ(root.IsAtBoundary(c.kind, nullptr), c.answer);
}

// Kinds: 1 line end, 2 line start, 3 right end, 4 left end.
INSTANTIATE_TEST_SUITE_P(
    Kinds, Boundaries,
    ::testing::Values(BoundaryCase{15, 1, 1}, BoundaryCase{12, 1, 0}, BoundaryCase{9, 1, 1},
                      BoundaryCase{10, 2, 1}, BoundaryCase{0, 2, 1}, BoundaryCase{12, 2, 0},
                      BoundaryCase{19, 3, 1}, BoundaryCase{17, 3, 0}, BoundaryCase{16, 4, 1},
                      BoundaryCase{17, 4, 0}, BoundaryCase{kLastPosition, 1, 1}),
    [](const ::testing::TestParamInfo<BoundaryCase>& info) {
      return "At" + std::to_string(info.param.at) + "Kind" + std::to_string(info.param.kind);
    });

struct EndsCase {
  const char* name;
  int anchor;  // kNone: no selection
  int caret;
  int which;
  int described;      // the position whose description is expected
  int32_t topOffset;  // for which 0-2
  int spans;
};

class SelectionEnds : public CaretTest, public ::testing::WithParamInterface<EndsCase> {};

TEST_P(SelectionEnds, AreDescribedAndLocatedByWhich) {
  const EndsCase& c = GetParam();
  if (c.anchor == kNone) {
    PlaceCaret(c.caret);
  } else {
    Select(c.anchor, c.caret);
  }
  ObjectDescription expected{};
  const CVedTextPos described = At(c.described);
  root.GetKindAt(&described, &expected);

  ObjectDescription out{};
  EXPECT_EQ(root.DescribeObjectAt(&out, c.which, nullptr), c.spans);
  EXPECT_EQ(out, expected);
  if (c.which <= 2) {
    EXPECT_EQ(root.GetTopOffset(c.which), c.topOffset);
  }
}

// Text positions are told apart by their part: 257 a character, 259 the
// end mark of a text.
INSTANTIATE_TEST_SUITE_P(Which, SelectionEnds,
                         ::testing::Values(EndsCase{"NoSelection", kNone, 19, 0, 19, 1, 0},
                                           EndsCase{"NoSelectionEarlier", kNone, 19, 1, 19, 1, 0},
                                           EndsCase{"ForwardCaret", 12, 15, 0, 15, 0, 0},
                                           EndsCase{"ForwardEarlier", 12, 15, 1, 12, 0, 0},
                                           EndsCase{"ForwardLater", 12, 15, 2, 15, 0, 0},
                                           // The moving position of a forward character-wise
                                           // selection is its last character.
                                           EndsCase{"ForwardMoving", 12, 15, 3, 14, 0, 0},
                                           EndsCase{"BackwardEarlier", 21, 19, 1, 19, 1, 1},
                                           EndsCase{"BackwardLater", 21, 19, 2, 21, 2, 1},
                                           EndsCase{"BackwardMoving", 21, 19, 3, 19, 1, 1},
                                           EndsCase{"AcrossChildrenCaret", 14, 17, 0, 17, 1, 1},
                                           EndsCase{"AcrossChildrenEarlier", 14, 17, 1, 14, 0, 1}),
                         [](const ::testing::TestParamInfo<EndsCase>& info) {
                           return info.param.name;
                         });

TEST_F(CaretTest, DescribeObjectAtAGivenPosition) {
  Select(12, 14);
  const CVedTextPos end = At(15);
  ObjectDescription expected{};
  root.GetKindAt(&end, &expected);
  ObjectDescription out{};
  EXPECT_EQ(root.DescribeObjectAt(&out, 0, &end), 0);
  EXPECT_EQ(out, expected);
  EXPECT_EQ(expected[1], kSubKindEndOfText);
}

// ---- Find

struct FindCase {
  const char* name;
  int from;
  int flags;
  int forward;
  const char* text;
  int found;
  int caret;
  int anchor;
};

class Finds : public CaretTest, public ::testing::WithParamInterface<FindCase> {};

TEST_P(Finds, PutTheCaretOnTheMatchOrLeaveItWhereItWas) {
  const FindCase& c = GetParam();
  Select(c.from + 1, c.from);  // a search ends any selection

  EXPECT_EQ(root.Find(c.flags, c.forward, c.text), c.found);

  EXPECT_EQ(Index(root.Caret()), c.caret);
  EXPECT_EQ(Cursor(), root.Caret());
  EXPECT_EQ(Index(root.Anchor()), c.anchor);
  if (c.anchor != kNone) {
    // A found match is selected as a whole unit.
    EXPECT_FALSE(root.HasPlainSelection());
    EXPECT_EQ(window.Count(kSelStarted), 1u);
  }
  if (c.found != 0) {
    EXPECT_EQ(CaretMoves(), std::vector<int>{0});
  }
}

// A match's end is its last character.
INSTANTIATE_TEST_SUITE_P(
    Searches, Finds,
    ::testing::Values(FindCase{"Folded", 0, 0, 1, "bc", 1, 18, kNone},
                      FindCase{"CaseMissed", 0, 0x1, 1, "bc", 0, 0, kNone},
                      FindCase{"CaseMatched", 0, 0x1, 1, "BC", 1, 18, kNone},
                      FindCase{"Selected", 0, 0x2, 1, "BC", 1, 18, 17},
                      FindCase{"Backward", 21, 0, 0, "a", 1, 16, kNone},
                      FindCase{"ForwardIntoTheLastChild", 2, 0, 1, "y", 1, 21, kNone},
                      FindCase{"DoubleByte", 1, 0x2, 1, "\x82\xA9\x82\xAB", 1, 6, 5},
                      FindCase{"NotFound", 12, 0, 1, "q", 0, 12, kNone},
                      FindCase{"NotBackward", 12, 0, 0, "x", 0, 12, kNone},
                      // Without 0x4 the search starts after the caret's
                      // character, with it at that character.
                      FindCase{"NextSkipsTheCaretsCharacter", 17, 0, 1, "b", 0, 17, kNone},
                      FindCase{"FromTheCaretsCharacter", 17, 0x4, 1, "b", 1, 17, kNone}),
    [](const ::testing::TestParamInfo<FindCase>& info) { return info.param.name; });

TEST_F(CaretTest, FindingAnEmptyTextAnswersZeroAndChangesNothing) {
  Select(3, 6);
  EXPECT_EQ(root.Find(0, 1, ""), 0);
  EXPECT_EQ(Index(root.Caret()), 6);
  EXPECT_EQ(Index(root.Anchor()), 3);
  EXPECT_TRUE(window.messages().empty());
}

// ---- Points

struct PointCase {
  const char* name;
  int32_t x;
  int32_t y;
  int at;
};

class Points : public CaretTest, public ::testing::WithParamInterface<PointCase> {};

TEST_P(Points, HitTheNearestPosition) {
  const PointCase& c = GetParam();
  PlaceCaret(5);

  CVedTextPos hit;
  EXPECT_EQ(root.PositionFromPoint(nullptr, c.x, c.y, &hit), 0);
  EXPECT_EQ(Index(hit), c.at);
  EXPECT_EQ(Index(root.Caret()), 5);
  EXPECT_EQ(Index(Cursor()), 5);
  platform::RECT box{};
  platform::RECT expected{};
  root.GetPointRect(&box, 0, nullptr, c.x, c.y);
  root.GetPositionRect(&expected, 0, &hit, nullptr);
  EXPECT_EQ(box, expected);
  EXPECT_TRUE(window.messages().empty());

  EXPECT_EQ(root.MoveToPoint(0, nullptr, c.x, c.y), 1);
  EXPECT_EQ(Index(root.Caret()), c.at);
  EXPECT_EQ(Cursor(), root.Caret());
  if (c.at != 5) {
    EXPECT_EQ(CaretMoves(), std::vector<int>{kMoveToPoint});
  }
}

INSTANTIATE_TEST_SUITE_P(Places, Points,
                         ::testing::Values(PointCase{"Start", 0, 0, 0},
                                           PointCase{"InACharacter", 300, 360, 11},
                                           PointCase{"RightOfALine", 5000, 360, 15},
                                           PointCase{"LeftOfTheText", -50, 10, 0},
                                           PointCase{"SecondChild", 140, 720, 17},
                                           // Below the content: the last line, at the point's x.
                                           PointCase{"BelowTheContent", 140, 5000, 21},
                                           PointCase{"BelowAndRight", 5000, 5000, kLastPosition}),
                         [](const ::testing::TestParamInfo<PointCase>& info) {
                           return info.param.name;
                         });

TEST_F(CaretTest, AnExtendingPointMoveSelectsFromTheCaret) {
  PlaceCaret(5);
  root.MoveToPoint(1, nullptr, 140, 720);
  EXPECT_EQ(Index(root.Caret()), 17);
  EXPECT_EQ(Index(root.Anchor()), 5);
  EXPECT_TRUE(root.HasPlainSelection());
  EXPECT_EQ(SelectionMessages(), std::vector<platform::UINT>{kSelStarted});

  root.MoveToPoint(0, nullptr, 0, 0);
  EXPECT_EQ(Index(root.Caret()), 0);
  EXPECT_FALSE(root.HasSelection());
}

TEST_F(CaretTest, ADragRightOfALineEndFromTheCaretsLineTakesTheLineBreak) {
  // The caret stands at the end of the first child's text; dragging to the
  // right of that line starts the selection at the start of the line below.
  PlaceCaret(15);
  root.MoveToPoint(1, nullptr, 5000, 360);
  EXPECT_EQ(Index(root.Caret()), 15);
  EXPECT_EQ(Index(root.Anchor()), 16);
  EXPECT_EQ(root.GetSelectionOrder(), -1);
  EXPECT_EQ(Cursor(), root.Caret());
}

TEST_F(CaretTest, ADragBackRightOfTheAnchorsLineEndKeepsItsLineBreakSelected) {
  Select(12, 18);
  root.MoveToPoint(1, nullptr, 5000, 360);
  EXPECT_EQ(Index(root.Caret()), 16);
  EXPECT_EQ(Index(root.Anchor()), 12);
  EXPECT_EQ(root.GetSelectionOrder(), 1);
}

TEST_F(CaretTest, ADragOnTheLastLineIsNotAdjusted) {
  Select(20, 21);
  root.MoveToPoint(1, nullptr, 5000, 1100);
  EXPECT_EQ(Index(root.Caret()), kLastPosition);
  EXPECT_EQ(Index(root.Anchor()), 20);
}

// ---- Lines and columns

struct LineColumnCase {
  int32_t line;
  int32_t column;
  int moved;
  int at;
};

class GoToLineColumns : public CaretTest, public ::testing::WithParamInterface<LineColumnCase> {};

TEST_P(GoToLineColumns, MoveOnlyWhenTheLineExists) {
  const LineColumnCase& c = GetParam();
  PlaceCaret(5);
  const int32_t lineColumn[2] = {c.line, c.column};
  constexpr int kLocationCode = 7;

  EXPECT_EQ(root.GoToLineColumn(0, nullptr, lineColumn, kLocationCode), c.moved);

  EXPECT_EQ(Index(root.Caret()), c.at);
  EXPECT_EQ(Cursor(), root.Caret());
  EXPECT_EQ(CaretMoves(),
            c.moved != 0 && c.at != 5 ? std::vector<int>{kLocationCode} : std::vector<int>{});
}

// Columns count characters here; a column beyond a line's end stops at
// the line's end.
INSTANTIATE_TEST_SUITE_P(Places, GoToLineColumns,
                         ::testing::Values(LineColumnCase{1, 1, 1, 0}, LineColumnCase{1, 3, 1, 2},
                                           LineColumnCase{2, 3, 1, 12}, LineColumnCase{3, 2, 1, 17},
                                           LineColumnCase{4, 4, 1, kLastPosition},
                                           LineColumnCase{2, 9, 1, 15},
                                           LineColumnCase{4, 9, 1, kLastPosition},
                                           LineColumnCase{5, 1, 0, 5}, LineColumnCase{9, 1, 0, 5}),
                         [](const ::testing::TestParamInfo<LineColumnCase>& info) {
                           return "Line" + std::to_string(info.param.line) + "Column" +
                                  std::to_string(info.param.column);
                         });

TEST_F(CaretTest, AnExtendingGoToSelectsFromTheCaret) {
  PlaceCaret(5);
  const int32_t lineColumn[2] = {3, 2};
  EXPECT_EQ(root.GoToLineColumn(1, nullptr, lineColumn, 0), 1);
  EXPECT_EQ(Index(root.Caret()), 17);
  EXPECT_EQ(Index(root.Anchor()), 5);
}

TEST_F(CaretTest, ARangeEndBeyondALinesEndPutsTheCaretWhereTheCursorWent) {
  CVedTextPos beyond;
  ASSERT_EQ(root.PositionFromLineColumn(4, 9, nullptr, &beyond), 4);
  ASSERT_EQ(Index(beyond), kElsewhere);
  PlaceCaret(5);

  root.SelectRange(&beyond, nullptr, 0);
  EXPECT_EQ(Index(root.Caret()), kLastPosition);
  EXPECT_EQ(Cursor(), root.Caret());

  const CVedTextPos start = At(20);
  root.SelectRange(&start, &beyond, 0);
  EXPECT_EQ(Index(root.Caret()), 20);
  EXPECT_EQ(Index(root.Anchor()), kLastPosition);
}

TEST_F(CaretTest, LineAndColumnWithoutAPositionAreTheCarets) {
  PlaceCaret(12);
  for (int mode : {0, 1}) {
    int32_t fromCaret[2] = {0, 0};
    int32_t fromPath[2] = {0, 0};
    const CVedTextPos caret = root.Caret();
    root.GetLineColumn(fromCaret, mode, nullptr, nullptr);
    root.GetLineColumn(fromPath, mode, &caret, nullptr);
    EXPECT_EQ(fromCaret[0], 2) << mode;
    EXPECT_EQ(fromCaret[0], fromPath[0]) << mode;
    EXPECT_EQ(fromCaret[1], fromPath[1]) << mode;
  }
}

// ---- Display options and redraw

TEST_F(CaretTest, DisplayOptionsKeepTheCaretValid) {
  PlaceCaret(12);
  DocObjOptions options = DocObjOptions::ContainerDefaults();
  options.freeCursor = 1;
  root.SetDisplayOptions(options);
  EXPECT_EQ(Index(root.Caret()), 12);
  EXPECT_EQ(Cursor(), root.Caret());

  // With a free cursor the caret may stand beyond the end of a line;
  // without one it goes back onto the line.
  root.MoveToPoint(0, nullptr, 2000, 360);
  const CVedTextPos free = root.Caret();
  options.freeCursor = 0;
  root.SetDisplayOptions(options);
  EXPECT_EQ(Index(free), kElsewhere);  // beyond the end of the second line
  EXPECT_EQ(Cursor(), root.Caret());
  EXPECT_EQ(Index(root.Caret()), 15);
  DocObjOptions now{};
  root.GetOptions(&now);
  EXPECT_EQ(now.freeCursor, 0);
}

TEST_F(CaretTest, RedrawOffStopsTheCaretMessages) {
  PlaceCaret(5);
  EXPECT_EQ(root.EnableRedraw(0), 1);
  root.Move(0, kMoveNextChar);
  root.Move(1, kMoveNextChar);
  EXPECT_EQ(window.Count(kCaretMoved), 0u);
  EXPECT_EQ(window.Count(kSelStarted), 1u);  // the selection messages still go
  EXPECT_EQ(Index(root.Caret()), 7);

  EXPECT_EQ(root.EnableRedraw(1), 0);
  window.Clear();
  root.Move(0, kMoveLineDown);
  EXPECT_EQ(CaretMoves(), std::vector<int>{kMoveLineDown});
}

// ---- What a move says

class SpokenMoves : public CaretTest {
 protected:
  SpokenMoves() {
    EXPECT_EQ(LoadReaderModules(), 0);
    SetReaderStatus(0x10001, 28, 1);  // the reader's own speech switch
    SpeechOptions options;
    root.GetSpeechOptions(options);
    options.speechOn = 1;
    options.voiceMask = 0x4;  // move phrases, nothing read after them
    options.beepMask = 0;
    root.SetSpeechOptions(options);
  }

  static std::string Sjis(std::string_view utf8) {
    return platform::Utf8ToSjis(utf8).value_or("?");
  }

  speech_test::RecordingReader reader_;
};

TEST_F(SpokenMoves, DocumentMovesSayWhereTheCaretWent) {
  PlaceCaret(12);
  root.Move(0, kMoveDocumentEnd);
  EXPECT_EQ(window.Spoken(), std::vector<std::string>{Sjis("ラストポジション ")});
  EXPECT_TRUE(window.Cues().empty());

  window.Clear();
  root.Move(0, kMoveDocumentStart);
  EXPECT_EQ(window.Spoken(), std::vector<std::string>{Sjis("トップポジション ")});
}

TEST_F(SpokenMoves, AStepThatCannotBeMadeIsCued) {
  PlaceCaret(0);
  root.Move(0, kMovePrevChar);
  EXPECT_EQ(window.Cues(), std::vector<int>{22});
  window.Clear();
  root.Move(0, kMoveLineUp);
  EXPECT_EQ(window.Cues(), std::vector<int>{22});
  window.Clear();
  PlaceCaret(kLastPosition);
  root.Move(0, kMoveDocumentEnd);
  EXPECT_EQ(window.Cues(), std::vector<int>{22});
  EXPECT_EQ(window.Spoken(), std::vector<std::string>{Sjis("ラストポジション ")});
}

TEST_F(SpokenMoves, EscapeSaysTheRangeIsCleared) {
  Select(5, 8);
  root.CancelSelection();
  EXPECT_EQ(window.Spoken(), std::vector<std::string>{Sjis("範囲 クリア")});
  EXPECT_EQ(window.SpokenKinds(), std::vector<int>{kSpeechOwnGuide});

  SpeechOptions options;
  root.GetSpeechOptions(options);
  options.speechOn = 0;
  root.SetSpeechOptions(options);
  Select(5, 8);
  root.CancelSelection();
  EXPECT_TRUE(window.Spoken().empty());
}

}  // namespace
}  // namespace doc_root_test
