#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "doc_root_fixture.h"
#include "engine/doc_root.h"
#include "engine/texts.h"
#include "engine/wp_ctrl.h"
#include "model/table_object.h"
#include "platform/sjis.h"
#include "speech/reader_bridge.h"
#include "speech/tests/speech_test_support.h"

namespace doc_root_test {
namespace {

// Voice-mask (word A) and beep-mask (word B) bits of the speech options.
constexpr int32_t kVoiceCharAfterInput = 0x1;
constexpr int32_t kVoiceControlInput = 0x2;
constexpr int32_t kVoiceMoves = 0x4;
constexpr int32_t kVoicePageMoves = 0x8;
constexpr int32_t kBeepReadUnit = 0x20;
constexpr int32_t kBeepReadCharMoves = 0x40;
constexpr int32_t kBeepLineChange = 0x100;
constexpr int32_t kBeepRowEnd = 0x400;
constexpr int32_t kBeepCellGrew = 0x800;

// Flags noted before a move: caret at the first or last position, cursor
// on the first or last line.
constexpr int32_t kAtTop = 0x1;
constexpr int32_t kAtLast = 0x2;
constexpr int32_t kFirstLine = 0x1;
constexpr int32_t kLastLine = 0x2;

constexpr int kCueCannotMove = 22;

// Twenty-five double-byte characters: three lines of ten, ten and five.
constexpr char kThreeLines[] =
    "\x82\xA0\x82\xA2\x82\xA4\x82\xA6\x82\xA8\x82\xA9\x82\xAB\x82\xAD\x82\xAF\x82\xB1"
    "\x82\xB3\x82\xB5\x82\xB7\x82\xB9\x82\xBB\x82\xBD\x82\xBF\x82\xC2\x82\xC4\x82\xC6"
    "\x82\xC8\x82\xC9\x82\xCA\x82\xCB\x82\xCC";  // あいうえおかきくけこさしすせそたちつてとなにぬねの

class SpokenFeedback : public DocRootTest {
 protected:
  SpokenFeedback() {
    EXPECT_EQ(LoadReaderModules(), 0);
    SetReaderStatus(0x10001, 28, 1);  // the reader's own speech switch
  }

  void SetMasks(int32_t voice, int32_t beep, uint8_t speechOn = 1) {
    SpeechOptions options;
    root.GetSpeechOptions(options);
    options.speechOn = speechOn;
    options.voiceMask = voice;
    options.beepMask = beep;
    root.SetSpeechOptions(options);
  }

  // Puts caret and cursor at a path, as a move would; what was sent so
  // far is dropped.

  // The caret on the second of three lines, `column` characters in.
  void OnMiddleLine(int column) {
    Type(kThreeLines);
    PlaceCaret(PathFromStart(kMoveNextChar, 10 + column));
  }

  // A table of `rows` x `columns` after a line of text, caret in its
  // first cell; answers the table's child index.
  int32_t MakeTable(int32_t rows, int32_t columns) {
    Type("ab");
    EXPECT_EQ(root.CreateTable(0, rows, columns, nullptr, 0), 1);
    const int32_t child = root.Children().GetCursorIndex();
    PlaceCaretInCell(child, 0, 0);
    return child;
  }

  void PlaceCaretInCell(int32_t child, int32_t row, int32_t column) {
    auto* table = dynamic_cast<CTableObject*>(root.Children().GetAt(child));
    ASSERT_NE(table, nullptr);
    CVedTextPos inner;
    const MoveParams still{0, 0, 1};
    table->CellOf(column, row)->MoveCursor(kMoveDocumentStart, &still, nullptr, &inner);
    CVedTextPos path;
    table->TablePosToPath({kCaretInCell, row, column, 0, 0}, &path);
    path.PrependChild(child);
    for (int32_t i = 0; i < inner.depth; ++i) path.Append(inner.pairs[static_cast<size_t>(i)]);
    PlaceCaret(path);
  }

  CVedTextPos Caret() const { return root.Caret(); }

  // The start of the first text child.
  CVedTextPos TextOutsideTable() {
    const CDocChildList& list = root.Children();
    for (int32_t i = 0; i < list.GetCount(); ++i) {
      if (list.GetTypeAt(i) != kObjectText) continue;
      const MoveParams still{0, 0, 1};
      CVedTextPos start;
      list.GetAt(i)->MoveCursor(kMoveDocumentStart, &still, nullptr, &start);
      start.PrependChild(i);
      return start;
    }
    ADD_FAILURE() << "no text child";
    return {};
  }

  speech_test::RecordingReader reader_;
};

// ---- Caret moves ----

struct MoveCase {
  int code;
  int32_t caretFlags;
  int32_t lineFlags;
  const char* phrase;  // UTF-8; empty: nothing said
  int cue;             // 0: none
};

class MovePhrases : public SpokenFeedback, public ::testing::WithParamInterface<MoveCase> {};

TEST_P(MovePhrases, SayWhereTheCaretWentAndCueAMoveThatCouldNotBeMade) {
  const MoveCase& c = GetParam();
  OnMiddleLine(4);
  SetMasks(kVoiceMoves, 0);

  root.SpeakMove(c.code, c.caretFlags, c.lineFlags, nullptr);

  const std::vector<int> cues = c.cue != 0 ? std::vector<int>{c.cue} : std::vector<int>{};
  EXPECT_EQ(window.Cues(), cues);
  const std::vector<std::string> said =
      *c.phrase != '\0' ? std::vector<std::string>{Sjis(c.phrase)} : std::vector<std::string>{};
  EXPECT_EQ(window.Spoken(), said);
  if (!said.empty()) {
    EXPECT_EQ(window.SpokenKinds(), std::vector<int>{kSpeechOwnGuide});
  }
}

INSTANTIATE_TEST_SUITE_P(
    Codes, MovePhrases,
    ::testing::Values(MoveCase{kMoveLineStart, 0, 0, "行頭 ", 0},
                      MoveCase{kMoveLineEnd, 0, 0, "行末 ", 0},
                      MoveCase{kMoveLeftEnd, 0, 0, "ヒダリハシ ", 0},
                      MoveCase{kMoveRightEnd, 0, 0, "ミギハシ ", 0},
                      MoveCase{kMoveNextParagraph, 0, 0, "ネクスト段落 ", 0},
                      MoveCase{kMovePrevParagraph, 0, 0, "バック段落  ", 0},
                      MoveCase{kMoveNextWord, 0, 0, "ネクスト文節 ", 0},
                      MoveCase{kMovePrevWord, 0, 0, "バック文節  ", 0},
                      MoveCase{kMoveDocumentStart, 0, 0, "トップポジション ", 0},
                      MoveCase{kMoveDocumentEnd, 0, 0, "ラストポジション ", 0},
                      MoveCase{kMovePrevCellOrLine, 0, 0, "バックライン ", 0},
                      MoveCase{kMoveNextCellOrLine, 0, 0, "ネクストライン ", 0},
                      // A character step inside a line says nothing.
                      MoveCase{kMovePrevChar, 0, 0, "", 0}, MoveCase{kMoveNextChar, 0, 0, "", 0},
                      // Already at the place the move goes to: cue 22.
                      MoveCase{kMovePrevChar, kAtTop, 0, "", kCueCannotMove},
                      MoveCase{kMoveNextChar, kAtLast, 0, "", kCueCannotMove},
                      MoveCase{kMoveLineStart, kAtTop, 0, "行頭 ", kCueCannotMove},
                      MoveCase{kMoveRightEnd, kAtLast, 0, "ミギハシ ", kCueCannotMove},
                      MoveCase{kMovePrevParagraph, kAtTop, 0, "バック段落  ", kCueCannotMove},
                      MoveCase{kMoveNextWord, kAtLast, 0, "ネクスト文節 ", kCueCannotMove},
                      MoveCase{kMoveDocumentStart, kAtTop, 0, "トップポジション ", kCueCannotMove},
                      MoveCase{kMoveDocumentEnd, kAtLast, 0, "ラストポジション ", kCueCannotMove},
                      // The other word's bit does not count for a move.
                      MoveCase{kMoveDocumentStart, kAtLast, kFirstLine, "トップポジション ", 0},
                      MoveCase{kMoveLineUp, 0, kFirstLine, "", kCueCannotMove},
                      MoveCase{kMoveLineDown, 0, kLastLine, "", kCueCannotMove},
                      MoveCase{kMoveLineUp, kAtTop, kLastLine, "", 0},
                      // A step to another line that could not be made adds
                      // no words.
                      MoveCase{kMovePrevCellOrLine, 0, kFirstLine, "", kCueCannotMove},
                      MoveCase{kMoveNextCellOrLine, 0, kLastLine, "", kCueCannotMove}));

TEST_F(SpokenFeedback, TwoBlankPhrasesEndInTwoBlanks) {
  EXPECT_EQ(std::string(kPhrasePrevParagraph), Sjis("バック段落  "));
  EXPECT_EQ(std::string(kPhrasePrevPhrase), Sjis("バック文節  "));
  EXPECT_EQ(std::string(kPhrasePrevParagraph).substr(std::string(kPhrasePrevParagraph).size() - 2),
            "  ");
}

TEST_F(SpokenFeedback, CueComesBeforeThePhrase) {
  OnMiddleLine(4);
  SetMasks(kVoiceMoves, 0);
  root.SpeakMove(kMoveDocumentEnd, kAtLast, 0, nullptr);
  EXPECT_EQ(window.Sequence(), (std::vector<platform::UINT>{WM_FEEDBACK_CUE, WM_FEEDBACK_SPEAK}));
}

TEST_F(SpokenFeedback, WithoutMovePhrasesOnlyTheCharacterIsReadWhenReadingApplies) {
  OnMiddleLine(4);
  SetMasks(0, kBeepReadUnit | kBeepReadCharMoves);
  root.SpeakMove(kMoveDocumentEnd, kAtLast, 0, nullptr);
  root.SpeakMove(kMoveNextChar, 0, 0, nullptr);
  // The caret stands before the fifth character of the line: "そ".
  EXPECT_EQ(window.Spoken(), (std::vector<std::string>{Sjis("そ"), Sjis("そ")}));
  EXPECT_EQ(window.SpokenKinds(), (std::vector<int>{kSpeechCharacter, kSpeechCharacter}));
  EXPECT_TRUE(window.Cues().empty());

  window.Clear();
  SetMasks(0, kBeepReadUnit);  // character moves are not read without 0x40
  root.SpeakMove(kMoveNextChar, 0, 0, nullptr);
  EXPECT_TRUE(window.messages().empty());
}

TEST_F(SpokenFeedback, PhraseFirstMovesReadTheCharacterAfterThePhrase) {
  OnMiddleLine(4);
  SetMasks(kVoiceMoves, kBeepReadUnit);
  root.SpeakMove(kMoveNextParagraph, 0, 0, nullptr);
  EXPECT_EQ(window.Spoken(), (std::vector<std::string>{Sjis("ネクスト段落 "), Sjis("そ")}));
  EXPECT_EQ(environment.clock().sleeps(), 0u);
}

TEST_F(SpokenFeedback, CharacterFirstMovesPauseBetweenTheCharacterAndThePhrase) {
  const int32_t child = MakeTable(1, 3);
  std::string ignored;
  root.GetCellPositionText(ignored, 0);
  PlaceCaretInCell(child, 0, 1);
  SetMasks(kVoiceMoves, kBeepReadUnit | kBeepReadCharMoves);
  const uint32_t before = environment.clock().TickCount();

  root.SpeakMove(kMoveNextChar, 0, 0, nullptr);

  // The empty cell's end is cued in place of a character, then the cell
  // is named after the pause.
  EXPECT_EQ(window.Sequence(), (std::vector<platform::UINT>{WM_FEEDBACK_CUE, WM_FEEDBACK_SPEAK}));
  EXPECT_EQ(window.Cues(), std::vector<int>{kCueBlankAtTextEnd});
  EXPECT_EQ(window.Spoken(), std::vector<std::string>{Sjis("セル 1行 2列 ")});
  EXPECT_EQ(environment.clock().TickCount() - before, 80u);
  // The reader was handed a lone blank before the character.
  const std::vector<std::string> calls = reader_.Calls();
  EXPECT_NE(std::find(calls.begin(), calls.end(), "VXTRPRead " + speech_test::Hex(" ") + " 3 1"),
            calls.end());
}

TEST_F(SpokenFeedback, PhraseFirstMovesDoNotPause) {
  OnMiddleLine(4);
  SetMasks(kVoiceMoves, kBeepReadUnit);
  const uint32_t before = environment.clock().TickCount();
  root.SpeakMove(kMoveDocumentEnd, kAtLast, 0, nullptr);
  EXPECT_EQ(environment.clock().TickCount(), before);
  EXPECT_EQ(window.Sequence(),
            (std::vector<platform::UINT>{WM_FEEDBACK_CUE, WM_FEEDBACK_SPEAK, WM_FEEDBACK_SPEAK}));
}

TEST_F(SpokenFeedback, LineChangeCueLetsThePhraseFollowOn) {
  OnMiddleLine(0);  // the caret at the start of the middle line
  SetMasks(kVoiceMoves, kBeepLineChange);
  // The caret came from the end of the first line's last character.
  const CVedTextPos before = PathFromStart(kMoveNextChar, 9);
  root.SpeakMove(kMoveNextChar, 0, 0, &before);
  ASSERT_FALSE(window.Cues().empty());
  EXPECT_EQ(window.Cues().front(), kCueLineChange);

  window.Clear();
  const CVedTextPos sameLine = PathFromStart(kMoveNextChar, 11);
  root.SpeakMove(kMovePrevChar, 0, 0, &sameLine);
  EXPECT_TRUE(window.Cues().empty());
}

TEST_F(SpokenFeedback, SpeechByteZeroSaysNothingAndCuesNothing) {
  OnMiddleLine(4);
  SetMasks(-1, -1, 0);
  const CVedTextPos before = PathFromStart(kMoveNextChar, 9);
  root.SpeakMove(kMoveNextChar, kAtLast, kLastLine, &before);
  root.SpeakMove(kMoveDocumentEnd, kAtLast, 0, nullptr);
  root.SpeakPageMove(kMoveNextPage, 2, 3);
  root.SpeakTypedText("\r", nullptr);
  root.SpeakTypedText("\t", nullptr);
  root.SpeakDeletion(1, "", nullptr);
  root.SpeakDeletion(2, Sjis("あ").c_str(), nullptr);
  root.SpeakRangeCleared();
  root.SpeakParagraphChange(3, 0);
  root.SpeakTableChange(-1, nullptr);
  root.SpeakPhrase(kPhraseCreated, nullptr);
  EXPECT_TRUE(window.messages().empty());
  for (const std::string& call : reader_.Calls()) {
    EXPECT_NE(call.rfind("VXTRSetStatus", 0), std::string::npos) << call;
  }
}

struct LineReadingCase {
  const char* text;  // UTF-8
  int lineDown;      // the caret's line, counted from the first
  const char* said;
  int kind;
};

class LineReading : public SpokenFeedback, public ::testing::WithParamInterface<LineReadingCase> {};

TEST_P(LineReading, ReadsTheRestOfTheLineOrNamesAnEmptyOne) {
  const LineReadingCase& c = GetParam();
  Type(Sjis(c.text));
  PlaceCaret(PathFromStart(kMoveLineDown, c.lineDown));
  const auto [category, item] = kLineMoveStatus;
  SetReaderStatus(category, item, 1);
  SetMasks(kVoiceMoves | 0x10, kBeepReadUnit | 0x80);

  root.SpeakMove(kMoveLineDown, 0, 0, nullptr);

  EXPECT_EQ(window.Spoken(), std::vector<std::string>{Sjis(c.said)});
  EXPECT_EQ(window.SpokenKinds(), std::vector<int>{c.kind});
}

INSTANTIATE_TEST_SUITE_P(
    Lines, LineReading,
    ::testing::Values(LineReadingCase{"ab\r\n\r\ncd", 1, "空行", kSpeechOwnGuide},
                      LineReadingCase{"ab\r\n\fcd", 1, "空行 改ページ", kSpeechOwnGuide},
                      LineReadingCase{"ab\r\ncd", 1, "cd", kSpeechPlain},
                      LineReadingCase{"ab\fcd", 0, "ab 改ページ", kSpeechPlain}));

TEST_F(SpokenFeedback, LineMovesWithoutTheReadersLineFlagSayTheirPhrase) {
  OnMiddleLine(4);
  SetMasks(kVoiceMoves | 0x10, 0);
  root.SpeakMove(kMoveLineDown, 0, kLastLine, nullptr);
  EXPECT_EQ(window.Cues(), std::vector<int>{kCueCannotMove});
  EXPECT_TRUE(window.Spoken().empty());
}

// ---- Page moves ----

struct PageMoveCase {
  int code;
  const char* phrase;
};

class PageMoves : public SpokenFeedback, public ::testing::WithParamInterface<PageMoveCase> {};

TEST_P(PageMoves, SayTheDirectionAndThePlaceThenTheCharacter) {
  OnMiddleLine(4);
  SetMasks(kVoicePageMoves, 0);
  root.SpeakPageMove(GetParam().code, 2, 5);
  EXPECT_EQ(window.Spoken(), (std::vector<std::string>{Sjis(GetParam().phrase), Sjis("そ")}));
  EXPECT_EQ(window.SpokenKinds(), (std::vector<int>{kSpeechOwnGuide, kSpeechCharacter}));
}

INSTANTIATE_TEST_SUITE_P(Codes, PageMoves,
                         ::testing::Values(PageMoveCase{kMoveNextPage, "ネクスト 2の5"},
                                           PageMoveCase{kMoveJumpForward, "ネクスト 2の5"},
                                           PageMoveCase{kMovePrevPage, "バック 2の5"},
                                           PageMoveCase{kMoveJumpBack, "バック 2の5"},
                                           PageMoveCase{0, " 2の5"}));

TEST_F(SpokenFeedback, PageMovesWithoutTheirBitReadOnlyTheCharacter) {
  OnMiddleLine(4);
  SetMasks(kVoiceMoves, 0);
  root.SpeakPageMove(kMoveNextPage, 1, 1);
  EXPECT_EQ(window.Spoken(), std::vector<std::string>{Sjis("そ")});
}

// ---- Typed input ----

struct TypedCase {
  const char* text;
  bool atDocumentEnd;
  int32_t voice;
  std::vector<const char*> phrases;
};

class TypedInput : public SpokenFeedback, public ::testing::WithParamInterface<TypedCase> {};

TEST_P(TypedInput, AnnouncesControlCharacters) {
  const TypedCase& c = GetParam();
  Type(kThreeLines);
  PlaceCaret(c.atDocumentEnd ? PathFromStart(kMoveDocumentEnd, 1)
                             : PathFromStart(kMoveNextChar, 3));
  SetMasks(c.voice, 0);

  root.SpeakTypedText(c.text, nullptr);

  std::vector<std::string> expected;
  for (const char* phrase : c.phrases) expected.push_back(Sjis(phrase));
  EXPECT_EQ(window.Spoken(), expected);
  EXPECT_TRUE(window.Cues().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Texts, TypedInput,
    ::testing::Values(TypedCase{"\r", true, kVoiceControlInput, {"改行"}},
                      TypedCase{"\r", false, kVoiceControlInput, {"ブンカツ 改行"}},
                      TypedCase{"\f", false, kVoiceControlInput, {"改ページ"}},
                      TypedCase{"\t", false, kVoiceControlInput, {"タブ"}},
                      TypedCase{"a", false, kVoiceControlInput, {}}, TypedCase{"\r", false, 0, {}},
                      TypedCase{"\t", false, 0, {}},
                      // Word A bit 0x1 reads the character at the caret last.
                      TypedCase{
                          "\t", false, kVoiceControlInput | kVoiceCharAfterInput, {"タブ", "え"}},
                      TypedCase{"a", false, kVoiceCharAfterInput, {"え"}}));

TEST_F(SpokenFeedback, ControlCharactersAreSilentWhileTheReadersOwnSpeechIsOff) {
  Type(kThreeLines);
  PlaceCaret(PathFromStart(kMoveNextChar, 3));
  SetMasks(kVoiceControlInput, 0);
  SetReaderStatus(0x10001, 28, 0);
  root.SpeakTypedText("\r", nullptr);
  root.SpeakTypedText("\f", nullptr);
  root.SpeakTypedText("\t", nullptr);
  EXPECT_TRUE(window.Spoken().empty());
}

TEST_F(SpokenFeedback, TypingIntoTheNextLineCuesTheLineChange) {
  Type(kThreeLines);
  PlaceCaret(PathFromStart(kMoveNextChar, 11));
  SetMasks(0, kBeepLineChange);
  EditResult result;
  result.rangeStart = PathFromStart(kMoveNextChar, 9);
  result.rangeEnd = PathFromStart(kMoveNextChar, 10);
  root.SpeakTypedText(Sjis("あ"), &result);
  EXPECT_EQ(window.Cues(), std::vector<int>{kCueLineChange});

  window.Clear();
  result.rangeStart = PathFromStart(kMoveNextChar, 10);
  result.rangeEnd = PathFromStart(kMoveNextChar, 11);
  root.SpeakTypedText(Sjis("あ"), &result);
  EXPECT_TRUE(window.Cues().empty());
}

TEST_F(SpokenFeedback, TypingNearTheRightEdgeCuesIt) {
  Type(kThreeLines);
  SetMasks(0, kBeepRowEnd);
  PlaceCaret(PathFromStart(kMoveNextChar, 19));  // the last column of the middle line
  root.SpeakTypedText("a", nullptr);
  EXPECT_EQ(window.Cues(), std::vector<int>{kCueRowEnd});

  window.Clear();
  PlaceCaret(PathFromStart(kMoveNextChar, 16));  // the seventh column
  root.SpeakTypedText("a", nullptr);
  EXPECT_TRUE(window.Cues().empty());
}

// ---- Deletions ----

TEST_F(SpokenFeedback, DeletionNamesItsDirectionOncePerSeries) {
  OnMiddleLine(4);
  SetMasks(0, 0);
  const std::string a = Sjis("あ");
  root.SpeakDeletion(1, "", nullptr);
  root.SpeakDeletion(1, "", nullptr);
  root.SpeakDeletion(2, a.c_str(), nullptr);
  root.SpeakDeletion(2, a.c_str(), nullptr);
  root.SpeakDeletion(1, "", nullptr);

  EXPECT_EQ(window.Spoken(),
            (std::vector<std::string>{Sjis("削除"), Sjis("そ"), Sjis("そ"), Sjis("バック"), a, a,
                                      Sjis("削除"), Sjis("そ")}));
  EXPECT_EQ(window.SpokenKinds(),
            (std::vector<int>{kSpeechOwnGuide, kSpeechCharacter, kSpeechCharacter, kSpeechOwnGuide,
                              kSpeechDeletedCharacter, kSpeechDeletedCharacter, kSpeechOwnGuide,
                              kSpeechCharacter}));
}

TEST_F(SpokenFeedback, DeletionDuringAnUndoSpeaksTheTextMarkedAsStored) {
  OnMiddleLine(4);
  root.SetUndoReplay(1);
  const std::string text = Sjis("かき");
  root.SpeakDeletion(2, text.c_str(), nullptr);
  root.SetUndoReplay(0);

  EXPECT_EQ(window.Spoken(), std::vector<std::string>{text});
  EXPECT_EQ(window.SpokenKinds(), std::vector<int>{kSpeechPlain});
  std::vector<std::string> statuses;
  for (const std::string& call : reader_.Calls()) {
    if (call.rfind("VXTRSetStatus 65537 9 ", 0) == 0) statuses.push_back(call);
  }
  EXPECT_EQ(statuses,
            (std::vector<std::string>{"VXTRSetStatus 65537 9 2", "VXTRSetStatus 65537 9 0"}));
}

TEST_F(SpokenFeedback, RangeClearedIsAnnounced) {
  root.SpeakRangeCleared();
  EXPECT_EQ(window.Spoken(), std::vector<std::string>{Sjis("範囲 クリア")});
}

// ---- Paragraph changes ----

struct IndentCase {
  int which;
  int32_t first;  // twips of the paragraph's indents
  int32_t left;
  int32_t right;
  const char* phrase;
};

class ParagraphChanges : public SpokenFeedback, public ::testing::WithParamInterface<IndentCase> {};

TEST_P(ParagraphChanges, SayTheIndentAtTheCaretInCharacters) {
  const IndentCase& c = GetParam();
  Type(kThreeLines);
  ParaFormat para;
  para.mask = 0x700;
  para.firstIndent = c.first;
  para.leftIndent = c.left;
  para.rightIndent = c.right;
  root.CDocObjContainer::SetParaFormat(&para, nullptr, nullptr, nullptr);
  PlaceCaret(PathFromStart(kMoveDocumentStart, 0));

  root.SpeakParagraphChange(c.which, 0);

  EXPECT_EQ(window.Spoken(), std::vector<std::string>{Sjis(c.phrase)});
}

INSTANTIATE_TEST_SUITE_P(Indents, ParagraphChanges,
                         ::testing::Values(IndentCase{1, 2 * kPitch, 0, 0, "インデント 2"},
                                           // Part of a character counts as a whole one.
                                           IndentCase{1, 2 * kPitch + 1, 0, 0, "インデント 3"},
                                           IndentCase{1, 0, 3 * kPitch, 0, "インデント ナシ"},
                                           IndentCase{2, 0, 0, 4 * kPitch, "行末インデント 4"},
                                           IndentCase{2, 2 * kPitch, 0, 0, "行末インデント ナシ"},
                                           IndentCase{3, 2 * kPitch, 0, 0, "段落書式変更"},
                                           IndentCase{0, 0, 0, 0, "段落書式変更"}));

TEST_F(SpokenFeedback, ContinuedLinesSayTheLeftIndent) {
  Type(kThreeLines);
  ParaFormat para;
  para.mask = 0x700;
  para.firstIndent = kPitch;
  para.leftIndent = 2 * kPitch;
  root.CDocObjContainer::SetParaFormat(&para, nullptr, nullptr, nullptr);
  PlaceCaret(PathFromStart(kMoveLineDown, 1));
  root.SpeakParagraphChange(1, 0);
  EXPECT_EQ(window.Spoken(), std::vector<std::string>{Sjis("インデント 2")});
}

// ---- Tables ----

struct TableCase {
  int operation;
  const char* phrase;
};

class TableChanges : public SpokenFeedback, public ::testing::WithParamInterface<TableCase> {};

TEST_P(TableChanges, SayWhatChangedWithTheCountsOfTheCaretsTable) {
  MakeTable(2, 3);
  root.SpeakTableChange(GetParam().operation, nullptr);
  EXPECT_EQ(window.Spoken(), std::vector<std::string>{Sjis(GetParam().phrase)});
}

INSTANTIATE_TEST_SUITE_P(
    Operations, TableChanges,
    ::testing::Values(TableCase{CDocBunsObj::kTableInsertColumn, "挿入 列数 3"},
                      TableCase{CDocBunsObj::kTableInsertRow, "挿入 行数 2"},
                      TableCase{CDocBunsObj::kTableDeleteColumn, "削除 列数 3"},
                      TableCase{CDocBunsObj::kTableDeleteRow, "削除 行数 2"}, TableCase{-2, "削除"},
                      TableCase{-1, "作成"}));

TEST_F(SpokenFeedback, ColumnWidthIsSaidInCharacters) {
  MakeTable(1, 1);
  const int32_t width = root.GetColumnWidth();
  root.SpeakTableChange(CDocBunsObj::kTableColumnWidth, nullptr);
  EXPECT_EQ(window.Spoken(), std::vector<std::string>{Sjis("列幅 " + std::to_string(width))});
}

TEST_F(SpokenFeedback, DeletingLinesOutsideATableSaysTheTableWentAway) {
  Type("ab");
  root.SpeakTableChange(CDocBunsObj::kTableDeleteRow, nullptr);
  root.SpeakTableChange(CDocBunsObj::kTableDeleteColumn, nullptr);
  EXPECT_EQ(window.Spoken(), (std::vector<std::string>{Sjis("ひょー 削除"), Sjis("ひょー 削除")}));
}

TEST_F(SpokenFeedback, PhraseInATableIsFollowedByTheCellEdgeCue) {
  MakeTable(2, 2);
  SetMasks(0, kBeepCellGrew);
  EditResult result;
  result.rangeStart = Caret();
  result.rangeEnd = Caret();
  result.heightDelta = 350;
  root.SpeakPhrase(kPhraseCreated, &result);
  EXPECT_EQ(window.Sequence(), (std::vector<platform::UINT>{WM_FEEDBACK_SPEAK, WM_FEEDBACK_CUE}));
  EXPECT_EQ(window.Cues(), std::vector<int>{kCueCellGrew});

  // Shrinking is cued only with its own bit.
  window.Clear();
  result.heightDelta = -350;
  root.SpeakPhrase(kPhraseCreated, &result);
  EXPECT_TRUE(window.Cues().empty());

  // Positions in two different cells of the table still count as one
  // table; positions outside it do not.
  window.Clear();
  result.heightDelta = 350;
  result.rangeEnd = TextOutsideTable();
  root.SpeakPhrase(kPhraseCreated, &result);
  EXPECT_TRUE(window.Cues().empty());
}

TEST_F(SpokenFeedback, CellPositionIsAppendedOncePerCell) {
  const int32_t child = MakeTable(2, 3);
  std::string phrase;
  // Making the table remembered the cell it put the caret in.
  EXPECT_EQ(root.GetCellPositionText(phrase, 0), 0);
  EXPECT_TRUE(phrase.empty());

  PlaceCaretInCell(child, 1, 2);
  EXPECT_EQ(root.GetCellPositionText(phrase, 0), 1);
  EXPECT_EQ(phrase, Sjis("セル 2行 3列 "));
  EXPECT_EQ(root.GetCellPositionText(phrase, 0), 0);
  EXPECT_EQ(phrase, Sjis("セル 2行 3列 "));

  // Leaving the table forgets it: coming back names the cell again.
  PlaceCaret(TextOutsideTable());
  phrase.clear();
  EXPECT_EQ(root.GetCellPositionText(phrase, 0), 0);
  PlaceCaretInCell(child, 1, 2);
  EXPECT_EQ(root.GetCellPositionText(phrase, 0), 1);
  EXPECT_EQ(phrase, Sjis("セル 2行 3列 "));

  // The table line setting's high byte switches it off.
  root.SetTableLineKind(0x0001);
  PlaceCaretInCell(child, 0, 0);
  phrase.clear();
  EXPECT_EQ(root.GetCellPositionText(phrase, 0), 0);
  EXPECT_TRUE(phrase.empty());
}

TEST_F(SpokenFeedback, MoveIntoAnotherCellSaysTheCell) {
  const int32_t child = MakeTable(2, 3);
  std::string ignored;
  root.GetCellPositionText(ignored, 0);
  SetMasks(kVoiceMoves, 0);
  PlaceCaretInCell(child, 0, 1);
  root.SpeakMove(kMoveNextCellOrLine, 0, 0, nullptr);
  EXPECT_EQ(window.Spoken(), std::vector<std::string>{Sjis("セル 1行 2列 ネクスト セル ")});
}

}  // namespace
}  // namespace doc_root_test
