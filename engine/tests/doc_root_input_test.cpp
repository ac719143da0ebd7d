#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "doc_root_fixture.h"
#include "engine/doc_root.h"
#include "engine/texts.h"
#include "model/table_object.h"
#include "platform/sjis.h"
#include "speech/tests/speech_test_support.h"

namespace doc_root_test {
namespace {

// Undo kinds of the logged operations.
constexpr int32_t kUndoInserted = 1;
constexpr int32_t kUndoDeleted = 2;
constexpr int32_t kUndoConverted = 3;
constexpr int32_t kUndoQuietDeleted = 4;
constexpr int32_t kUndoMoveSource = 6;

constexpr int kRecord = 1;
constexpr int kNoRecord = 0;
constexpr int kTyped = 0;
constexpr int kIme = 1;
constexpr int kForward = 1;
constexpr int kBackward = 2;

class TextInput : public DocRootTest {
 protected:
  // The children are laid out afresh after the default character format
  // the root's page format gave them.
  TextInput() { root.CDocObjContainer::SetPageFormat(&format); }

  // Puts caret and cursor at a path, as a move would.

  CVedTextPos At(int chars) { return PathFromStart(kMoveNextChar, chars); }

  // Selects from `start` to `end` with the caret at `end`.
  void Select(const CVedTextPos& start, const CVedTextPos& end) {
    PlaceCaret(end);
    root.SetSelectionRange(0, &start, &end);
    window.Clear();
  }

  void SetOption(uint8_t DocObjOptions::*field, uint8_t value) {
    DocObjOptions options = root.Options();
    options.*field = value;
    root.CDocObjContainer::SetOptions(&options);
  }

  // A free cursor, and a first-line indent of two characters on the first
  // paragraph, so that the caret can stand in the margins of its line.
  void IndentFirstParagraph() {
    SetOption(&DocObjOptions::freeCursor, 1);
    ParaFormat indent;
    indent.mask = kMaskFirstIndent;
    indent.firstIndent = 2 * kPitch;
    const CVedTextPos start = At(0);
    EditResult unused;
    ASSERT_EQ(root.CDocObjContainer::SetParaFormat(&indent, &start, &start, &unused), 1);
  }

  // The caret at the left end of the first line, inside its indent.
  void PlaceCaretInLeftMargin() {
    const MoveParams still{0, 0, 1};
    CVedTextPos left;
    const CVedTextPos start = At(0);
    ASSERT_EQ(root.MoveCursor(kMoveLeftEnd, &still, &start, &left), kMoveDone);
    PlaceCaret(left);
    ObjectDescription d{};
    root.GetKindAt(&root.Caret(), &d);
    ASSERT_EQ(d[1], 258);
    ASSERT_EQ(d[2], 4098);
  }
};

// ---- Refusals ----

enum class Before { kNothing, kReadOnly, kNoPageBreaks, kCaretInLeftMargin };

struct RefusalCase {
  const char* name;
  Before before;
  std::string text;
  int ime;
};

class InputRefusal : public TextInput, public ::testing::WithParamInterface<RefusalCase> {
 protected:
  void Arrange(Before before) {
    switch (before) {
      case Before::kNothing:
        return;
      case Before::kReadOnly:
        root.SetReadOnly(1);
        return;
      case Before::kNoPageBreaks:
        SetOption(&DocObjOptions::formFeedAllowed, 0);
        return;
      case Before::kCaretInLeftMargin:
        IndentFirstParagraph();
        PlaceCaretInLeftMargin();
        return;
    }
  }
};

TEST_P(InputRefusal, SoundsTheRefusalAndChangesNothing) {
  Type("ab");
  Arrange(GetParam().before);
  const std::string before = PlainText();
  ChangeRecord change;
  change.changed = 7;
  EditResult out;
  out.changed = 7;

  EXPECT_EQ(root.InsertText(GetParam().text, kRecord, &change, GetParam().ime, &out), 0);

  EXPECT_EQ(PlainText(), before);
  EXPECT_EQ(window.Cues(), std::vector<int>{kCueRefused});
  EXPECT_EQ(window.Count(WM_WPC_CONTENTCHANGED), 0u);
  EXPECT_TRUE(LoggedKinds().empty());
  EXPECT_EQ(change.changed, 0);
  EXPECT_EQ(out.changed, 0);
}

const RefusalCase kRefusals[] = {
    {"ReadOnly", Before::kReadOnly, "x", kTyped},
    {"ReadOnlyImeText", Before::kReadOnly, "x", kIme},
    {"LeadByteAlone", Before::kNothing, "\x82", kTyped},
    {"UpperLeadByteAlone", Before::kNothing, "\xE0", kIme},
    {"InvalidByte", Before::kNothing, "\xA0", kTyped},
    {"FormFeedNotAllowed", Before::kNoPageBreaks, "\f", kTyped},
    {"ControlByte", Before::kNothing, "\x01", kTyped},
    {"DeleteByte", Before::kNothing, "\x7F", kTyped},
    {"TypedIntoLeftMargin", Before::kCaretInLeftMargin, "x", kTyped},
};

INSTANTIATE_TEST_SUITE_P(Refusals, InputRefusal, ::testing::ValuesIn(kRefusals),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(TextInput, AcceptsTheBytesThatStandAlone) {
  // A half-width katakana and a tab are characters of their own; a form
  // feed is one where page breaks may be typed.
  SetOption(&DocObjOptions::formFeedAllowed, 1);
  for (const char* text : {"\xB1", "\t", "\f"}) {
    EXPECT_NE(root.InsertText(text, kNoRecord, nullptr, kTyped, nullptr), 0) << text;
  }
  const std::vector<int> cues = window.Cues();
  EXPECT_EQ(std::count(cues.begin(), cues.end(), kCueRefused), 0);
}

TEST_F(TextInput, TypingBeyondTheLineEndIsTaken) {
  Type("ab");
  SetOption(&DocObjOptions::freeCursor, 1);
  const MoveParams still{0, 0, 1};
  CVedTextPos right;
  const CVedTextPos start = At(0);
  ASSERT_EQ(root.MoveCursor(kMoveRightEnd, &still, &start, &right), kMoveDone);
  PlaceCaret(right);

  EXPECT_NE(root.InsertText("x", kRecord, nullptr, kTyped, nullptr), 0);

  EXPECT_EQ(PlainText().find("ab"), 0u);
  EXPECT_EQ(PlainText().back(), 'x');
}

// ---- The wait before a refusal is sounded ----

class RefusalWait : public TextInput {
 protected:
  RefusalWait() {
    Type("ab");
    IndentFirstParagraph();
    PlaceCaretInLeftMargin();
    LoadReaderModules();
  }
  int TypeRefused() { return root.InsertText("x", kRecord, nullptr, kTyped, nullptr); }

  speech_test::RecordingReader reader;
};

TEST_F(RefusalWait, WaitsForTheReaderThenSoundsTheRefusal) {
  reader.SetSpeaking(3);

  EXPECT_EQ(TypeRefused(), 0);

  EXPECT_EQ(environment.clock().sleeps(), 3u);
  EXPECT_EQ(environment.clock().TickCount(), 300u);
  EXPECT_EQ(window.Cues(), std::vector<int>{kCueRefused});
}

TEST_F(RefusalWait, GivesUpSilentlyAfterFiveSeconds) {
  reader.SetSpeaking(1000);

  EXPECT_EQ(TypeRefused(), 0);

  EXPECT_GT(environment.clock().TickCount(), 5000u);
  EXPECT_LE(environment.clock().TickCount(), 5100u);
  EXPECT_TRUE(window.Cues().empty());
}

TEST_F(RefusalWait, HandlesTheWindowsMessagesWhileItWaits) {
  reader.SetSpeaking(3);
  platform::PostMessage(window.handle(), platform::WM_USER, 0, 0);

  EXPECT_EQ(TypeRefused(), 0);

  EXPECT_EQ(window.Count(platform::WM_USER), 1u);
  EXPECT_EQ(window.Cues(), std::vector<int>{kCueRefused});
}

TEST_F(RefusalWait, AKeyArrivingMeanwhileEndsItWithoutTheRefusal) {
  reader.SetSpeaking(1000);
  window.onMessage = [this](platform::UINT message) {
    if (message == platform::WM_USER) {
      platform::PostMessage(window.handle(), platform::WM_KEYDOWN, 0, 0);
    }
  };
  platform::PostMessage(window.handle(), platform::WM_USER, 0, 0);

  EXPECT_EQ(TypeRefused(), 0);

  EXPECT_LT(environment.clock().TickCount(), 5000u);
  EXPECT_TRUE(window.Cues().empty());
  platform::MSG msg;
  EXPECT_TRUE(platform::PeekMessage(&msg, platform::kNoWindow, platform::WM_KEYDOWN,
                                    platform::WM_KEYDOWN, platform::PM_NOREMOVE))
      << "the key stays for the window";
}

TEST_F(RefusalWait, AKeyAlreadyWaitingEndsItAtOnce) {
  reader.SetSpeaking(1000);
  platform::PostMessage(window.handle(), platform::WM_KEYDOWN, 0, 0);

  EXPECT_EQ(TypeRefused(), 0);

  EXPECT_EQ(environment.clock().sleeps(), 0u);
  EXPECT_TRUE(window.Cues().empty());
}

// ---- Typing ----

struct TypingCase {
  const char* name;
  int undo;
  int ime;
  std::vector<int32_t> kinds;
};

class InputTyping : public TextInput, public ::testing::WithParamInterface<TypingCase> {};

TEST_P(InputTyping, InsertsAtTheCaretAndLogsItsKind) {
  Type("ab");
  PlaceCaret(At(1));
  ChangeRecord change;
  EditResult out;

  EXPECT_NE(root.InsertText("x", GetParam().undo, &change, GetParam().ime, &out), 0);

  EXPECT_EQ(PlainText(), "axb");
  EXPECT_EQ(LoggedKinds(), GetParam().kinds);
  EXPECT_NE(change.changed, 0);
  EXPECT_NE(out.changed, 0);
  const CVedTextPos third = At(2);
  EXPECT_EQ(root.ComparePositions(&root.Caret(), &third), kCompareEqual);
  EXPECT_EQ(window.Count(WM_WPC_CONTENTCHANGED), 1u);
}

INSTANTIATE_TEST_SUITE_P(UndoKinds, InputTyping,
                         ::testing::Values(TypingCase{"Typed", kRecord, kTyped, {kUndoInserted}},
                                           TypingCase{"Ime", kRecord, kIme, {kUndoConverted}},
                                           TypingCase{"Redo", -1, kTyped, {kUndoInserted}},
                                           TypingCase{"Unrecorded", kNoRecord, kTyped, {}},
                                           TypingCase{"UnrecordedIme", kNoRecord, kIme, {}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(TextInput, InsertStringIsTypedText) {
  Type("ab");
  EXPECT_NE(root.InsertString("c", kRecord, nullptr), 0);
  EXPECT_EQ(PlainText(), "abc");
  EXPECT_EQ(LoggedKinds(), std::vector<int32_t>{kUndoInserted});
}

TEST_F(TextInput, AnEmptyTextDoesNothing) {
  Type("ab");
  EXPECT_EQ(root.InsertText("", kRecord, nullptr, kTyped, nullptr), 0);
  EXPECT_EQ(PlainText(), "ab");
  EXPECT_TRUE(window.messages().empty());
}

// ---- Overwrite mode ----

struct OverwriteCase {
  const char* name;
  const char* line;  // UTF-8
  int caret;
  const char* typed;
  const char* after;
  std::vector<int32_t> kinds;
};

class InputOverwriting : public TextInput, public ::testing::WithParamInterface<OverwriteCase> {};

TEST_P(InputOverwriting, ReplacesWhatTheTextCoversUpToTheParagraphEnd) {
  Type(Sjis(GetParam().line));
  SetOption(&DocObjOptions::insertMode, 0);
  PlaceCaret(At(GetParam().caret));

  EXPECT_NE(root.InsertText(Sjis(GetParam().typed), kRecord, nullptr, kTyped, nullptr), 0);

  EXPECT_EQ(PlainText(), Sjis(GetParam().after));
  EXPECT_EQ(LoggedKinds(), GetParam().kinds);
  EXPECT_FALSE(root.HasSelection());
}

INSTANTIATE_TEST_SUITE_P(
    ParagraphEnds, InputOverwriting,
    ::testing::Values(
        OverwriteCase{
            "AtLineStart", "アイウエ", 0, "カキ", "カキウエ", {kUndoDeleted, kUndoInserted}},
        OverwriteCase{"AtLineEnd", "アイ", 2, "カ", "アイカ", {kUndoInserted}},
        OverwriteCase{"BeforeTheParagraphMark",
                      "アイ\r\nウ",
                      1,
                      "カキ",
                      "アカキ\r\nウ",
                      {kUndoDeleted, kUndoInserted}}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- Enter ----

TEST_F(TextInput, EnterInRunningTextSplitsTheLine) {
  Type("abcd");
  PlaceCaret(At(2));

  EXPECT_NE(root.InsertText("\r", kRecord, nullptr, kTyped, nullptr), 0);

  EXPECT_EQ(PlainText(), "ab\r\ncd");
  EXPECT_EQ(LoggedKinds(), std::vector<int32_t>{kUndoInserted});
}

TEST_F(TextInput, EnterBeyondTheEndOfTheLastLineBreaksTheLineAtItsEnd) {
  Type("ab");
  SetOption(&DocObjOptions::freeCursor, 1);
  const MoveParams still{0, 0, 1};
  CVedTextPos right;
  const CVedTextPos start = At(0);
  ASSERT_EQ(root.MoveCursor(kMoveRightEnd, &still, &start, &right), kMoveDone);
  PlaceCaret(right);

  EXPECT_NE(root.InsertText("\r", kRecord, nullptr, kTyped, nullptr), 0);

  // No blanks fill the margin: the break goes in where the text ends.
  EXPECT_EQ(PlainText().rfind("ab\r\n", 0), 0u);
  EXPECT_EQ(root.CountLines(nullptr, nullptr), 2);
  EXPECT_EQ(root.IsLastLine(&root.Caret()), 1);
}

TEST_F(TextInput, ARefusedEnterLeavesTheCursorAtTheCaret) {
  Type("ab");
  SetOption(&DocObjOptions::freeCursor, 1);
  const MoveParams still{0, 0, 1};
  CVedTextPos right;
  const CVedTextPos start = At(0);
  ASSERT_EQ(root.MoveCursor(kMoveRightEnd, &still, &start, &right), kMoveDone);
  PlaceCaret(right);
  root.SetReadOnly(1);

  EXPECT_EQ(root.InsertText("\r", kRecord, nullptr, kTyped, nullptr), 0);

  CVedTextPos cursor;
  root.GetCursor(&cursor);
  EXPECT_EQ(root.ComparePositions(&cursor, &root.Caret()), kCompareEqual);
  EXPECT_EQ(window.Cues(), std::vector<int>{kCueRefused});
}

TEST_F(TextInput, EnterInTheMarginInOverwriteModeInsertsNothingEvenWhenReadOnly) {
  Type("ab\r\ncd");
  IndentFirstParagraph();
  PlaceCaretInLeftMargin();
  SetOption(&DocObjOptions::insertMode, 0);
  root.SetReadOnly(1);
  const std::string before = PlainText();

  EXPECT_EQ(root.InsertText("\r", kRecord, nullptr, kTyped, nullptr), 1);

  EXPECT_EQ(PlainText(), before);
  EXPECT_TRUE(window.Cues().empty());
  EXPECT_TRUE(LoggedKinds().empty());
}

// ---- Deleting in the margins ----

TEST_F(TextInput, DeleteBeyondTheLineEndHasNothingToDelete) {
  Type("ab");
  SetOption(&DocObjOptions::freeCursor, 1);
  const MoveParams still{0, 0, 1};
  CVedTextPos right;
  const CVedTextPos start = At(0);
  ASSERT_EQ(root.MoveCursor(kMoveRightEnd, &still, &start, &right), kMoveDone);
  PlaceCaret(right);

  EXPECT_EQ(root.DeleteChar(kForward, kRecord, nullptr), 0);

  EXPECT_EQ(PlainText(), "ab");
  EXPECT_EQ(window.Cues(), std::vector<int>{kCueNothingToDo});
}

// ---- At a table's right edge ----

class TableEdge : public TextInput {
 protected:
  // A one-cell table after a line of text, its column `width` characters
  // wide, with the caret on its top rule inside the column.
  void MakeTable(int32_t width) {
    Type("ab");
    ASSERT_EQ(root.CreateTable(kNoRecord, 1, 1, nullptr, 0), 1);
    ASSERT_EQ(root.EditTableLayout(kNoRecord, CDocBunsObj::kTableColumnWidth, nullptr, width, 0),
              1);
    const int32_t child = root.Children().GetCursorIndex();
    auto* table = dynamic_cast<CTableObject*>(root.Children().GetAt(child));
    ASSERT_NE(table, nullptr);
    CVedTextPos path;
    table->TablePosToPath({kCaretOnGrid, 0, 0, 1, 0}, &path);
    path.PrependChild(child);
    PlaceCaret(path);
    ObjectDescription d{};
    root.GetKindAt(&root.Caret(), &d);
    ASSERT_EQ(d[0], kObjectTable);
    ASSERT_EQ(d[1], 514);
    ASSERT_EQ(d[2], 8193);
    ASSERT_EQ(root.GetColumnWidth(), width);
  }
};

TEST_F(TableEdge, ATypedSpaceWidensTheColumn) {
  for (const char* space : {" ", "\x81\x40"}) {
    root.Reset();
    MakeTable(3);

    EXPECT_NE(root.InsertText(space, kRecord, nullptr, kTyped, nullptr), 0);

    EXPECT_EQ(root.GetColumnWidth(), 4);
    EXPECT_EQ(LoggedKinds(), std::vector<int32_t>{201});
  }
}

TEST_F(TableEdge, AnInputMethodSpaceDoesNotWidenIt) {
  MakeTable(3);
  root.InsertText(" ", kRecord, nullptr, kIme, nullptr);
  EXPECT_EQ(root.GetColumnWidth(), 3);
}

TEST_F(TableEdge, OnlyTextInACellIsTaken) {
  MakeTable(3);
  const std::string before = PlainText();

  EXPECT_EQ(root.InsertText("x", kRecord, nullptr, kTyped, nullptr), 0);
  EXPECT_EQ(window.Cues(), std::vector<int>{kCueRefused});

  // In the cell's text anything but a page break goes in.
  CVedTextPos inCell;
  const MoveParams still{0, 0, 1};
  ASSERT_EQ(root.MoveCursor(kMoveLineDown, &still, &root.Caret(), &inCell), kMoveDone);
  PlaceCaret(inCell);
  ASSERT_TRUE(root.IsTextPosition());
  EXPECT_EQ(root.InsertText("\f", kRecord, nullptr, kTyped, nullptr), 0);
  EXPECT_EQ(window.Cues(), std::vector<int>{kCueRefused});
  EXPECT_EQ(PlainText(), before);

  EXPECT_NE(root.InsertText("x", kRecord, nullptr, kTyped, nullptr), 0);
  EXPECT_NE(PlainText(), before);
}

TEST_F(TableEdge, DeleteNarrowsTheColumnButNotBelowOneCharacter) {
  MakeTable(2);

  EXPECT_NE(root.DeleteChar(kForward, kRecord, nullptr), 0);
  EXPECT_EQ(root.GetColumnWidth(), 1);

  window.Clear();
  EXPECT_EQ(root.DeleteChar(kForward, kRecord, nullptr), 0);
  EXPECT_EQ(root.GetColumnWidth(), 1);
  EXPECT_EQ(window.Cues(), std::vector<int>{kCueNothingToDo});
}

// ---- Deleting ----

TEST_F(TextInput, DeleteRemovesTheCharacterAtTheCaretAndNamesTheDirectionOnce) {
  Type("abc");
  PlaceCaret(At(0));

  EXPECT_NE(root.DeleteChar(kForward, kRecord, nullptr), 0);
  EXPECT_NE(root.DeleteChar(kForward, kRecord, nullptr), 0);

  EXPECT_EQ(PlainText(), "c");
  EXPECT_EQ(LoggedKinds(), std::vector<int32_t>{kUndoDeleted});
  const std::vector<std::string> spoken = window.Spoken();
  ASSERT_FALSE(spoken.empty());
  EXPECT_EQ(spoken.front(), Sjis("削除"));
  EXPECT_EQ(std::count(spoken.begin(), spoken.end(), Sjis("削除")), 1);
}

TEST_F(TextInput, BackSpaceRemovesTheCharacterBeforeTheCaret) {
  Type("abc");
  PlaceCaret(At(2));

  EXPECT_NE(root.DeleteChar(kBackward, kRecord, nullptr), 0);

  EXPECT_EQ(PlainText(), "ac");
  const CVedTextPos second = At(1);
  EXPECT_EQ(root.ComparePositions(&root.Caret(), &second), kCompareEqual);
  EXPECT_EQ(LoggedKinds(), std::vector<int32_t>{kUndoDeleted});
  const std::vector<std::string> spoken = window.Spoken();
  ASSERT_GE(spoken.size(), 2u);
  EXPECT_EQ(spoken[0], Sjis("バック"));
  EXPECT_EQ(spoken[1], "b");
}

TEST_F(TextInput, ADeleteThatRemovesNothingIsRolledBackWithAWarning) {
  Type("ab");

  EXPECT_EQ(root.DeleteChar(kForward, kRecord, nullptr), 0);

  EXPECT_EQ(PlainText(), "ab");
  EXPECT_EQ(window.Cues(), std::vector<int>{kCueWarning});
  EXPECT_TRUE(root.GetEditOpLog().IsSuppressed());
  EXPECT_EQ(window.Count(WM_WPC_CONTENTCHANGED), 0u);
}

TEST_F(TextInput, ReadOnlyRefusesEveryDeletion) {
  Type("abc");
  PlaceCaret(At(1));
  root.SetReadOnly(1);
  std::vector<std::function<int()>> deletions = {
      [&] { return root.DeleteChar(kForward, kRecord, nullptr); },
      [&] { return root.DeleteChar(kBackward, kRecord, nullptr); },
      [&] { return root.DeleteCharQuiet(kForward, kRecord, nullptr); },
      [&] { return root.DeleteSelectionForMove(kForward, kRecord, nullptr); },
      [&] { return root.DeleteUnit(1, kRecord, nullptr); },
      [&] { return root.InsertLine(kRecord, nullptr); },
  };
  for (auto& deletion : deletions) {
    window.Clear();
    EXPECT_EQ(deletion(), 0);
    EXPECT_EQ(window.Cues(), std::vector<int>{kCueRefused});
  }
  EXPECT_EQ(PlainText(), "abc");
}

struct VariantCase {
  const char* name;
  std::function<int(CDocBunsObj&)> run;
  int32_t kind;
};

class InputDeleteVariants : public TextInput, public ::testing::WithParamInterface<VariantCase> {};

TEST_P(InputDeleteVariants, DeleteAtTheCaretWithTheirOwnUndoKind) {
  Type("abc");
  PlaceCaret(At(1));

  EXPECT_NE(GetParam().run(root), 0);

  EXPECT_EQ(PlainText(), "ac");
  EXPECT_EQ(LoggedKinds(), std::vector<int32_t>{GetParam().kind});
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, InputDeleteVariants,
    ::testing::Values(
        VariantCase{"Normal",
                    [](CDocBunsObj& r) { return r.DeleteChar(kForward, kRecord, nullptr); },
                    kUndoDeleted},
        VariantCase{"Quiet",
                    [](CDocBunsObj& r) { return r.DeleteCharQuiet(kForward, kRecord, nullptr); },
                    kUndoQuietDeleted},
        VariantCase{
            "MoveSource",
            [](CDocBunsObj& r) { return r.DeleteSelectionForMove(kForward, kRecord, nullptr); },
            kUndoMoveSource}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(TextInput, UnrecordedDeletionsLogNothing) {
  Type("abc");
  PlaceCaret(At(1));
  EXPECT_NE(root.DeleteChar(kForward, kNoRecord, nullptr), 0);
  EXPECT_EQ(PlainText(), "ac");
  EXPECT_TRUE(LoggedKinds().empty());
}

// ---- Unit deletion and inserted lines ----

TEST_F(TextInput, AUnitDeletionWithoutASelectionWarnsAndLeavesNoUndo) {
  Type("ab");
  EXPECT_EQ(root.DeleteUnit(2, kRecord, nullptr), 0);
  EXPECT_EQ(PlainText(), "ab");
  EXPECT_EQ(window.Cues(), std::vector<int>{kCueWarning});
  EXPECT_TRUE(root.GetEditOpLog().IsSuppressed());
}

TEST_F(TextInput, AnUnknownUnitDoesNothing) {
  Type("ab");
  Select(At(0), At(1));
  EXPECT_EQ(root.DeleteUnit(4, kRecord, nullptr), 0);
  EXPECT_EQ(PlainText(), "ab");
  EXPECT_TRUE(window.messages().empty());
}

TEST_F(TextInput, InsertLineAddsABlankLineAndSaysSo) {
  Type("ab");
  ChangeRecord change;

  EXPECT_NE(root.InsertLine(kRecord, &change), 0);

  EXPECT_EQ(root.CountLines(nullptr, nullptr), 2);
  EXPECT_NE(change.changed, 0);
  EXPECT_EQ(change.heightChanged, 1);
  EXPECT_EQ(LoggedKinds(), std::vector<int32_t>{kUndoInserted});
  EXPECT_EQ(window.Spoken(), std::vector<std::string>{Sjis("行挿入")});
}

TEST_F(TextInput, InsertLineClearsTheSelectionFirst) {
  Type("ab");
  Select(At(0), At(1));
  EXPECT_NE(root.InsertLine(kNoRecord, nullptr), 0);
  EXPECT_FALSE(root.HasSelection());
  EXPECT_NE(PlainText().find("ab"), std::string::npos);
  EXPECT_TRUE(LoggedKinds().empty());
}

// ---- Replacing the selection ----

TEST_F(TextInput, WithoutASelectionNothingIsReplaced) {
  Type("ab");
  EXPECT_EQ(root.ReplaceSelectionText("x", kRecord, nullptr), 0);
  EXPECT_EQ(PlainText(), "ab");
  EXPECT_TRUE(window.messages().empty());
}

// ---- Texts ----

TEST(InputTexts, AreTheSystemsOwnWords) {
  EXPECT_EQ(std::string(kPhraseEraseToLineEnd), Sjis("イレース"));
  EXPECT_EQ(std::string(kPhraseDeleteLine), Sjis("行削除"));
  EXPECT_EQ(std::string(kPhraseDeleteToEnd), Sjis("以降 削除"));
  EXPECT_EQ(std::string(kPhraseInsertLine), Sjis("行挿入"));
}

}  // namespace
}  // namespace doc_root_test
