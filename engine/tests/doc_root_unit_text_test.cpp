#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "doc_root_fixture.h"
#include "engine/doc_root.h"
#include "engine/texts.h"
#include "platform/sjis.h"
#include "speech/reader_bridge.h"

namespace doc_root_test {
namespace {

constexpr int kFound = 0;
constexpr int kNone = 1;

// Twelve double-byte characters, a paragraph end, then two more: lines
// of ten, two (ended by the paragraph) and two.
constexpr char kText[] = "あいうえおかきくけこさし\r\nすせ";

class UnitText : public DocRootTest {
 protected:
  UnitText() { Type(Sjis(kText)); }

  // The caret `steps` characters from the document start.
  void CaretAt(int steps) { PlaceCaret(PathFromStart(kMoveNextChar, steps)); }
};

TEST_F(UnitText, RangeTextWithoutSelectionIsTheCharacterAtTheCaret) {
  CaretAt(11);
  std::string text;
  EXPECT_EQ(root.GetRangeText(kFormatBareText, text, 0), kFound);
  EXPECT_EQ(text, Sjis("し"));
  EXPECT_EQ(root.GetRangeText(kFormatPlainText, text, 1), kFound);
  EXPECT_EQ(text, Sjis("し"));
}

TEST_F(UnitText, TextInRangeTakesBothEndsInEitherOrder) {
  const CVedTextPos a = PathFromStart(kMoveNextChar, 1);
  const CVedTextPos b = PathFromStart(kMoveNextChar, 3);
  std::string forward;
  std::string backward;
  EXPECT_EQ(root.GetTextInRange(kFormatBareText, &a, &b, forward), kFound);
  EXPECT_EQ(root.GetTextInRange(kFormatBareText, &b, &a, backward), kFound);
  EXPECT_EQ(forward, Sjis("いうえ"));
  EXPECT_EQ(backward, forward);
  EXPECT_EQ(root.GetTextInRange(kFormatBareText, nullptr, &a, forward), kNone);
  EXPECT_TRUE(forward.empty());
}

TEST_F(UnitText, LineTextRunsFromLineStartToLineEnd) {
  CaretAt(11);  // on the second line, "さし" and its paragraph end
  std::string text;
  EXPECT_EQ(root.GetLineText(kFormatBareText, text, 1), kFound);
  EXPECT_EQ(text, Sjis("さし\r\n"));
  CaretAt(3);
  EXPECT_EQ(root.GetLineText(kFormatBareText, text, 0), kFound);
  EXPECT_EQ(text, Sjis("あいうえおかきくけこ"));
}

TEST_F(UnitText, WordTextBeforeTheCaretIsEmptyAtTheUnitStart) {
  CaretAt(10);  // the start of the second line
  std::string text = "stale";
  EXPECT_EQ(root.GetWordText(kFormatBareText, text, 1), kFound);
  EXPECT_TRUE(text.empty());

  CaretAt(3);
  EXPECT_EQ(root.GetWordText(kFormatBareText, text, 1), kFound);
  EXPECT_EQ(text, Sjis("あいう"));
}

TEST_F(UnitText, WordTextAfterTheCaretRunsToTheUnitEnd) {
  CaretAt(7);
  std::string text;
  EXPECT_EQ(root.GetWordText(kFormatBareText, text, 2), kFound);
  EXPECT_EQ(text, Sjis("くけこ"));
}

TEST_F(UnitText, SentenceTextIsTheParagraphOfTheCaret) {
  CaretAt(4);
  std::string text;
  EXPECT_EQ(root.GetSentenceText(kFormatBareText, text), kFound);
  EXPECT_EQ(text, Sjis("あいうえおかきくけこさし\r\n"));
  CaretAt(13);
  EXPECT_EQ(root.GetSentenceText(kFormatBareText, text), kFound);
  EXPECT_EQ(text, Sjis("すせ"));
}

TEST_F(UnitText, TextBeforeTheCaretIsThePreviousCharacter) {
  CaretAt(3);
  std::string text;
  EXPECT_EQ(root.GetTextBeforeCaret(kFormatBareText, text), kFound);
  EXPECT_EQ(text, Sjis("う"));
}

TEST_F(UnitText, CharacterStepsCrossLinesAndStopAtTheDocumentEdges) {
  CVedTextPos out;
  CaretAt(10);
  const CVedTextPos caret = root.Caret();
  EXPECT_EQ(root.PreviousCharPosition(&caret, &out, 0), 1);
  EXPECT_EQ(out, PathFromStart(kMoveNextChar, 9));
  EXPECT_EQ(root.NextCharPosition(&caret, &out, 0), 1);
  EXPECT_EQ(out, PathFromStart(kMoveNextChar, 11));
}

TEST_F(UnitText, SpeakUnitTextAnswersTheLengthSpoken) {
  CaretAt(7);
  EXPECT_EQ(root.SpeakUnitText(2, 1), static_cast<int>(Sjis("あいうえおかきくけこ").size()));
  EXPECT_EQ(root.SpeakUnitText(5, 0), static_cast<int>(Sjis("くけこ").size()));
  EXPECT_EQ(root.SpeakUnitText(4, 0), static_cast<int>(Sjis("あいうえおかき").size()));
  EXPECT_EQ(window.Spoken(), (std::vector<std::string>{Sjis("あいうえおかきくけこ"), Sjis("くけこ"),
                                                       Sjis("あいうえおかき")}));
  EXPECT_EQ(window.SpokenKinds(), (std::vector<int>{kSpeechPlain, kSpeechPlain, kSpeechPlain}));

  // No selection: nothing to read; an unknown unit reads an empty text.
  window.Clear();
  EXPECT_EQ(root.SpeakUnitText(1, 1), 0);
  EXPECT_EQ(root.SpeakUnitText(9, 1), 0);
  EXPECT_TRUE(window.Spoken().empty() ||
              window.Spoken() == std::vector<std::string>{std::string()});
}

struct CaretCharCase {
  int mode;
  int kind;  // 0: nothing spoken
};

class CaretChar : public UnitText, public ::testing::WithParamInterface<CaretCharCase> {};

TEST_P(CaretChar, ReadsTheCharacterAtTheCaretInTheMode) {
  CaretAt(4);
  const int answer = root.SpeakCaretChar(GetParam().mode, 1);
  if (GetParam().kind == 0) {
    EXPECT_EQ(answer, 0);
    EXPECT_TRUE(window.Spoken().empty());
    return;
  }
  EXPECT_EQ(answer, 2);
  EXPECT_EQ(window.Spoken(), std::vector<std::string>{Sjis("お")});
  EXPECT_EQ(window.SpokenKinds(), std::vector<int>{GetParam().kind});
}

INSTANTIATE_TEST_SUITE_P(Modes, CaretChar,
                         ::testing::Values(CaretCharCase{1, kSpeechCharacter},
                                           CaretCharCase{2, kSpeechCharacterDetail},
                                           CaretCharCase{3, kSpeechCharacterCodes},
                                           CaretCharCase{4, 0}, CaretCharCase{0, 0}));

TEST_F(UnitText, CaretCharAtAParagraphEndNotOnTheLastLineSaysLineFeed) {
  // A second text child: the first one's end is a paragraph end that is
  // not on the document's last line.
  AddTextChild(Sjis("たち"));
  const MoveParams still{0, 0, 1};
  CVedTextPos end;
  root.Children().GetAt(0)->MoveCursor(kMoveDocumentEnd, &still, nullptr, &end);
  end.PrependChild(0);
  PlaceCaret(end);

  EXPECT_EQ(root.SpeakCaretChar(1, 1), 4);
  EXPECT_EQ(window.Spoken(), std::vector<std::string>{Sjis("改行")});
  EXPECT_EQ(window.SpokenKinds(), std::vector<int>{kSpeechOwnGuide});
  EXPECT_EQ(std::strlen(kPhraseLineFeed), 4u);
}

TEST_F(UnitText, CaretCharAtTheDocumentEndCuesABlank) {
  PlaceCaret(PathFromStart(kMoveDocumentEnd, 1));
  EXPECT_EQ(root.SpeakCaretChar(1, 1), -1);
  EXPECT_TRUE(window.Spoken().empty());
  EXPECT_EQ(window.Cues(), std::vector<int>{kCueBlankAtTextEnd});
}

TEST_F(UnitText, CaretCharAnswersMinusOneWhenACueReplacesTheSpeech) {
  Type(" ");
  PlaceCaret(PathFromStart(kMoveDocumentEnd, 1));
  const MoveParams still{0, 0, 1};
  CVedTextPos space;
  root.MoveCursor(kMovePrevChar, &still, nullptr, &space);
  PlaceCaret(space);
  // The feedback object plays the half-width space cue instead of words.
  EXPECT_EQ(root.SpeakCaretChar(1, 1), -1);
}

TEST_F(UnitText, SpeakStringIsAPhraseOfTheSystem) {
  root.SpeakString(kPhraseRangeCleared, 1);
  EXPECT_EQ(window.Spoken(), std::vector<std::string>{Sjis("範囲 クリア")});
  EXPECT_EQ(window.SpokenKinds(), std::vector<int>{kSpeechOwnGuide});
}

}  // namespace
}  // namespace doc_root_test
