#include <gtest/gtest.h>

#include <cstring>

#include "model/text_object.h"
#include "text_fixture.h"

namespace text_test {
namespace {

// A text object set up the way its container sets one up.
class TextObjectTest : public ::testing::Test {
 protected:
  explicit TextObjectTest(int wideCharsPerLine = 10) : fixture(wideCharsPerLine) {
    EXPECT_EQ(text.Initialize(&fixture.renderer(), nullptr), 1);
    text.SetReferenceDC(fixture.page.referenceDC);
    DocObjOptions options = DocObjOptions::ContainerDefaults();
    options.freeCursor = 0;
    text.SetOptions(&options);
    CharFormat format;
    fixture.formats.GetTypingFormat(&format);
    text.SetCharFormat(&format);
    EXPECT_EQ(text.SetPageFormat(&fixture.page), 1);
  }

  void FreeCursor(bool on) {
    DocObjOptions options;
    text.GetOptions(&options);
    options.freeCursor = on ? 1 : 0;
    text.SetOptions(&options);
  }

  int Type(std::string_view s) {
    EditResult result;
    return text.InsertText(s, &result);
  }

  // The cell index (0-based) and place of the caret.
  std::tuple<int, int32_t, int32_t> Caret() {
    CVedTextPos caret;
    text.GetCursor(&caret);
    EXPECT_EQ(caret.depth, 5);
    int32_t zone = 0;
    int32_t offset = 0;
    text.GetFreeCursor(&caret, &zone, &offset);
    const auto plain = CTextObject::StripFreeCursor(&caret);
    int32_t line = 0;
    int32_t column = 0;
    CTextEngine& engine = text;
    engine.CTextEngine::GetLineColumn(&line, &column, &*plain, nullptr);
    return {line * 100 + column, zone, offset};
  }

  TextFixture fixture;
  CTextObject text;
};

TEST_F(TextObjectTest, NewTextIsOneEmptyLine) {
  EXPECT_EQ(text.IsEmpty(), 1);
  EXPECT_EQ(text.CountChars(), 1);
  ObjectDescription kind{};
  text.GetKindAt(nullptr, &kind);
  EXPECT_EQ(kind[0], kObjectText);
  EXPECT_EQ(kind[1], kSubKindEndOfText);
  EXPECT_EQ(text.CountLines(nullptr, nullptr), 1);
}

TEST_F(TextObjectTest, PositionsCarryTheTextZoneWithoutTheFreeCursor) {
  Type("ab");
  CVedTextPos caret;
  ASSERT_EQ(text.GetCursor(&caret), 1);
  ASSERT_EQ(caret.depth, 5);
  EXPECT_EQ(caret.pairs[0], (PosPair{kTagFreeCursor, kZoneText}));
  EXPECT_EQ(caret.pairs[1], (PosPair{kTagFreeCursor, 0}));
  EXPECT_EQ(caret.pairs[2].tag, kTagParagraph);
}

TEST_F(TextObjectTest, MovesReportEdgesAndLeaveTheCaret) {
  Type("ab");
  EXPECT_EQ(text.MoveCursor(kMoveNextChar, nullptr, nullptr, nullptr), kMoveStoppedAtLineEnd);
  EXPECT_EQ(std::get<0>(Caret()), 103);
  EXPECT_EQ(text.MoveCursor(kMoveDocumentStart, nullptr, nullptr, nullptr), kMoveDone);
  EXPECT_EQ(std::get<0>(Caret()), 101);
  EXPECT_EQ(text.MoveCursor(21 + 100, nullptr, nullptr, nullptr), kMoveFailed);
}

TEST_F(TextObjectTest, BackspaceAtTheStartDeletesNothing) {
  Type("ab");
  text.MoveCursor(kMoveDocumentStart, nullptr, nullptr, nullptr);
  EditResult result;
  EXPECT_EQ(text.DeleteChar(2, &result), 0);
  EXPECT_EQ(text.CountChars(), 3);
  text.MoveCursor(kMoveDocumentEnd, nullptr, nullptr, nullptr);
  EXPECT_EQ(text.DeleteChar(2, &result), 1);
  EXPECT_EQ(text.CountChars(), 2);
}

TEST_F(TextObjectTest, OverwriteModeStillInsertsBeforeABreak) {
  Type("ab\r");
  DocObjOptions options;
  text.GetOptions(&options);
  options.insertMode = 0;
  text.SetOptions(&options);
  text.MoveCursor(kMoveDocumentStart, nullptr, nullptr, nullptr);
  EXPECT_EQ(Type("X"), 1);  // overwrites a
  EXPECT_EQ(text.CountChars(), 4);
  text.MoveCursor(kMoveLineEnd, nullptr, nullptr, nullptr);  // on the break
  EXPECT_EQ(Type("Y"), 1);
  EXPECT_EQ(text.CountChars(), 5);
}

TEST_F(TextObjectTest, LineMetricsReportWhatEndsTheLine) {
  Type("a\fb");
  CVedTextPos first;
  text.MoveCursor(kMoveDocumentStart, nullptr, nullptr, &first);
  LineMetrics metrics;
  EXPECT_EQ(text.GetLineMetrics(&metrics, &first)->endKind, kLineEndPageBreak);
  EXPECT_EQ(text.GetLineMetrics(&metrics, nullptr)->endKind, kLineEndPageBreak);
  CVedTextPos last;
  text.MoveCursor(kMoveDocumentEnd, nullptr, nullptr, &last);
  EXPECT_EQ(text.GetLineMetrics(&metrics, &last)->endKind, kLineEndText);
  EXPECT_EQ(metrics.height, kLineHeight + kLineGap);
}

TEST_F(TextObjectTest, ComparesPositionsByTextOrder) {
  Type("ab\rcd");
  CVedTextPos start;
  CVedTextPos end;
  text.MoveCursor(kMoveDocumentStart, nullptr, nullptr, &start);
  text.MoveCursor(kMoveDocumentEnd, nullptr, nullptr, &end);
  EXPECT_EQ(text.ComparePositions(&start, &end), kCompareBefore);
  EXPECT_EQ(text.ComparePositions(&end, &start), kCompareAfter);
  EXPECT_EQ(text.ComparePositions(&end, &end), kCompareEqual);
  CVedTextPos junk;
  junk.Append({kTagChildIndex, 1});
  EXPECT_EQ(text.ComparePositions(&junk, &end), kCompareIncomparable);
}

class FreeCursorTest : public TextObjectTest {
 protected:
  FreeCursorTest() : TextObjectTest(4) {}
};

TEST_F(FreeCursorTest, RightOfALineTheCaretWalksTheMarginThenWraps) {
  Type("ab\rcd");
  FreeCursor(true);
  text.MoveCursor(kMoveDocumentStart, nullptr, nullptr, nullptr);
  text.MoveCursor(kMoveLineEnd, nullptr, nullptr, nullptr);  // on the first break
  // 4 wide characters = 8 columns; "ab" and the break's two columns leave 4.
  const int32_t right = text.RightMarginColumns();
  ASSERT_EQ(right, 4);
  const MoveParams noWrap{1, 0, 0};
  EXPECT_EQ(text.MoveCursor(kMoveNextChar, &noWrap, nullptr, nullptr), kMoveDone);
  EXPECT_EQ(std::get<1>(Caret()), kZoneRightMargin);
  EXPECT_EQ(std::get<2>(Caret()), 0);
  for (int i = 1; i < right; ++i) text.MoveCursor(kMoveNextChar, &noWrap, nullptr, nullptr);
  EXPECT_EQ(std::get<2>(Caret()), right - 1);
  EXPECT_EQ(text.MoveCursor(kMoveNextChar, &noWrap, nullptr, nullptr), kMoveStoppedAtLineEnd);
  const MoveParams wrap{1, 0, 1};
  EXPECT_EQ(text.MoveCursor(kMoveNextChar, &wrap, nullptr, nullptr), kMoveDone);
  EXPECT_EQ(std::get<0>(Caret()), 201);
  EXPECT_EQ(std::get<1>(Caret()), kZoneText);
}

TEST_F(FreeCursorTest, TypingInTheRightMarginFillsBlanksFirst) {
  Type("ab\r");
  FreeCursor(true);
  text.MoveCursor(kMoveDocumentStart, nullptr, nullptr, nullptr);
  text.MoveCursor(kMoveLineEnd, nullptr, nullptr, nullptr);
  const MoveParams noWrap{1, 0, 0};
  for (int i = 0; i < 4; ++i) text.MoveCursor(kMoveNextChar, &noWrap, nullptr, nullptr);
  ASSERT_EQ(std::get<2>(Caret()), 3);
  const int32_t before = text.CountChars();
  EditResult result;
  EXPECT_EQ(text.InsertText("Z", &result), 6);
  // offset 3 plus the break's two columns: five blanks, then the text.
  EXPECT_EQ(text.CountChars(), before + 6);
  EXPECT_EQ(std::get<1>(Caret()), kZoneText);
}

TEST_F(FreeCursorTest, TypingInTheLeftMarginInsertsNothing) {
  fixture.page.firstIndent = 2 * kPitch;
  ASSERT_EQ(text.SetPageFormat(&fixture.page), 1);
  Type("ab");
  FreeCursor(true);
  text.MoveCursor(kMoveDocumentStart, nullptr, nullptr, nullptr);
  const MoveParams noWrap{1, 0, 0};
  ASSERT_EQ(text.MoveCursor(kMovePrevChar, &noWrap, nullptr, nullptr), kMoveDone);
  EXPECT_EQ(std::get<1>(Caret()), kZoneLeftMargin);
  EditResult result;
  EXPECT_EQ(text.InsertText("Z", &result), 0);
  EXPECT_EQ(text.CountChars(), 3);
}

TEST_F(FreeCursorTest, EqualTextPositionsInTheMarginCompareByColumn) {
  Type("ab\r");
  FreeCursor(true);
  text.MoveCursor(kMoveDocumentStart, nullptr, nullptr, nullptr);
  CVedTextPos near;
  CVedTextPos far;
  text.MoveCursor(kMoveLineEnd, nullptr, nullptr, nullptr);
  const MoveParams noWrap{1, 0, 0};
  text.MoveCursor(kMoveNextChar, &noWrap, nullptr, &near);
  text.MoveCursor(kMoveNextChar, &noWrap, nullptr, &far);
  EXPECT_EQ(text.ComparePositions(&near, &far), kCompareBefore);
  EXPECT_EQ(text.ComparePositions(&far, &near), kCompareAfter);
}

}  // namespace
}  // namespace text_test

namespace text_test {
namespace {

class TextTransferThroughEngineTest : public TextObjectTest {};

TEST_F(TextTransferThroughEngineTest, OwnBlockRoundTripsIntoAnotherText) {
  Type(
      "ab\r\x82\xA0"
      "c");
  platform::CMemFile file;
  {
    platform::CArchive archive(&file, platform::CArchive::kStore);
    EditResult ignored;
    EXPECT_EQ(text.SerializeRange(archive, kFormatOwnBlock, 2, nullptr, nullptr, &ignored), 0);
  }
  CTextObject copy;
  ASSERT_EQ(copy.Initialize(&fixture.renderer(), nullptr), 1);
  DocObjOptions options = DocObjOptions::ContainerDefaults();
  options.freeCursor = 0;
  copy.SetOptions(&options);
  ASSERT_EQ(copy.SetPageFormat(&fixture.page), 1);
  file.Seek(0, platform::CFile::kBegin);
  platform::CArchive archive(&file, platform::CArchive::kLoad);
  EditResult result;
  EXPECT_GT(copy.SerializeRange(archive, kFormatOwnBlock, 2, nullptr, nullptr, &result), 0);
  EXPECT_EQ(copy.CountChars(), text.CountChars());
  EXPECT_EQ(copy.CountLines(nullptr, nullptr), 2);
}

TEST_F(TextTransferThroughEngineTest, PlainTextLoadsAtTheCaret) {
  std::string bytes = "xy\r\nz";
  platform::CMemFile file(reinterpret_cast<uint8_t*>(bytes.data()), bytes.size());
  platform::CArchive archive(&file, platform::CArchive::kLoad);
  EditResult result;
  EXPECT_EQ(text.SerializeRange(archive, kFormatPlainText, 0, nullptr, nullptr, &result), 1);
  EXPECT_EQ(text.CountChars(), 5);  // x y CR z ETX
}

TEST_F(TextTransferThroughEngineTest, MergingAnEmptyTextAtTheEndAddsOneEmptyParagraph) {
  Type("ab");
  CTextObject empty;
  ASSERT_EQ(empty.Initialize(&fixture.renderer(), nullptr), 1);
  ASSERT_EQ(empty.SetPageFormat(&fixture.page), 1);
  EditResult result;
  text.MergeFrom(&empty, 1, &result);
  EXPECT_EQ(text.CountChars(), 4);  // a b CR ETX
  EXPECT_EQ(text.CountLines(nullptr, nullptr), 2);
}

TEST_F(TextTransferThroughEngineTest, SplitMovesTheRestAndDropsAParagraphEndBeforeIt) {
  Type("ab\rcd");
  CTextObject rest;
  ASSERT_EQ(rest.Initialize(&fixture.renderer(), nullptr), 1);
  ASSERT_EQ(rest.SetPageFormat(&fixture.page), 1);
  CVedTextPos at;
  text.MoveCursor(kMoveDocumentEnd, nullptr, nullptr, nullptr);
  text.MoveCursor(kMoveLineStart, nullptr, nullptr, &at);  // on c
  EditResult result;
  ASSERT_NE(text.SplitInto(&at, &rest, &result), 0);
  EXPECT_EQ(text.CountChars(), 3);  // a b ETX
  EXPECT_EQ(rest.CountChars(), 3);  // c d ETX

  CTextObject nothing;
  ASSERT_EQ(nothing.Initialize(&fixture.renderer(), nullptr), 1);
  ASSERT_EQ(nothing.SetPageFormat(&fixture.page), 1);
  Type("\r");
  CVedTextPos end;
  text.MoveCursor(kMoveDocumentEnd, nullptr, nullptr, &end);
  ASSERT_NE(text.SplitInto(&end, &nothing, &result), 0);
  EXPECT_EQ(text.CountChars(), 3);  // the paragraph end went
  EXPECT_EQ(nothing.CountChars(), 1);
}

}  // namespace
}  // namespace text_test

namespace text_test {
namespace {

TEST_F(FreeCursorTest, TypingRightOfAWrappedLineGoesAfterItsLastCharacter) {
  fixture.page.rightIndent = 2 * kPitch;  // three double-byte characters a line
  ASSERT_EQ(text.SetPageFormat(&fixture.page), 1);
  Type("\x82\xA0\x82\xA2\x82\xA4\x82\xA6");  // あいう / え
  FreeCursor(true);
  text.MoveCursor(kMoveDocumentStart, nullptr, nullptr, nullptr);
  text.MoveCursor(kMoveLineEnd, nullptr, nullptr, nullptr);  // on う
  const MoveParams noWrap{1, 0, 0};
  ASSERT_EQ(text.MoveCursor(kMoveNextChar, &noWrap, nullptr, nullptr), kMoveDone);
  ASSERT_EQ(std::get<1>(Caret()), kZoneRightMargin);
  EditResult result;
  ASSERT_EQ(text.InsertText("Z", &result), 1);
  platform::CMemFile file;
  {
    platform::CArchive archive(&file, platform::CArchive::kStore);
    text.SerializeRange(archive, kFormatPlainText, 0, nullptr, nullptr, &result);
  }
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(file.Data()), file.GetLength()),
            "\x82\xA0\x82\xA2\x82\xA4Z\x82\xA6");
}

}  // namespace
}  // namespace text_test

namespace text_test {
namespace {

TEST_F(TextTransferThroughEngineTest, AStoreThatCannotBeWrittenFails) {
  Type(std::string(3000, 'a'));
  uint8_t tiny[100] = {};
  platform::CMemFile file(tiny, sizeof tiny);
  platform::CArchive archive(&file, platform::CArchive::kStore);
  EditResult ignored;
  EXPECT_EQ(text.SerializeRange(archive, kFormatOwnBlock, 2, nullptr, nullptr, &ignored), -1);
}

}  // namespace
}  // namespace text_test

namespace text_test {
namespace {

TEST_F(TextObjectTest, TypingAtAParagraphsStartReportsTheChangeFromTheFirstTypedCharacter) {
  Type("XY");
  text.MoveCursor(kMoveDocumentStart, nullptr, nullptr, nullptr);
  EditResult result;
  ASSERT_EQ(text.InsertText("ab", &result), 2);
  int32_t line = 0;
  int32_t column = 0;
  ASSERT_EQ(text.GetLineColumn(&line, &column, &result.rangeStart, nullptr), 1);
  EXPECT_EQ(line, 1);
  EXPECT_EQ(column, 1) << "not the X that stood at the start before";
}

TEST(TextTypingFont, ThePagesBaseFontNamedAgainIsRealisedForTyping) {
  TextFixture fixture;
  CTextObject text;
  ASSERT_EQ(text.Initialize(&fixture.renderer(), nullptr), 1);
  text.SetReferenceDC(fixture.page.referenceDC);
  ASSERT_EQ(text.SetPageFormat(&fixture.page), 1);
  // The page names its base font; the document's default format is that
  // same font, which must still make it the typing font.
  CharFormat base;
  std::memcpy(base.face, fixture.page.face, sizeof base.face);
  base.size = fixture.page.fontSize;
  base.heightScale = fixture.page.heightScale;
  base.widthScale = fixture.page.widthScale;
  base.mask = kMaskFace | kMaskSize | kMaskHeightScale | kMaskWidthScale;
  ASSERT_EQ(text.SetCharFormat(&base), 1);
  EditResult result;
  EXPECT_EQ(text.InsertText("A", &result), 1);
}

TEST_F(TextObjectTest, AfterTypingThatWrapsTheCaretIsOnTheNewLine) {
  Type(std::string(23, 'a'));  // 20 single bytes a line
  EXPECT_EQ(text.IsFirstLine(nullptr), 0);
  EXPECT_EQ(text.IsLastLine(nullptr), 1);
  int32_t line = 0;
  int32_t column = 0;
  ASSERT_EQ(text.GetLineColumn(&line, &column, nullptr, nullptr), 1);
  EXPECT_EQ(line, 2);
  EXPECT_EQ(column, 4);
}

}  // namespace
}  // namespace text_test

namespace text_test {
namespace {

// Characters that move to another text keep the anchors they carry: an
// edit that marked a character finds it again in the text it went to.
TEST_F(TextTransferThroughEngineTest, SplitAndMergeTakeTheMovedCharactersAnchorsAlong) {
  Type("ab\rcd");
  text.MoveCursor(kMoveDocumentEnd, nullptr, nullptr, nullptr);
  CVedTextPos onC;
  text.MoveCursor(kMoveLineStart, nullptr, nullptr, &onC);
  CVedTextPos onD;
  ASSERT_EQ(text.MoveCursor(kMoveNextChar, nullptr, &onC, &onD), kMoveDone);
  CVedAnchor anchor;
  anchor.SetValue(kAnchorChar);
  ASSERT_EQ(text.SetAnchor(kAnchorChar, &anchor, &onD), 1);

  CTextObject rest;
  ASSERT_EQ(rest.Initialize(&fixture.renderer(), nullptr), 1);
  ASSERT_EQ(rest.SetPageFormat(&fixture.page), 1);
  EditResult result;
  ASSERT_NE(text.SplitInto(&onC, &rest, &result), 0);
  EXPECT_EQ(text.FindAnchor(kAnchorChar, nullptr, 0), nullptr);
  ASSERT_EQ(rest.FindAnchor(kAnchorChar, nullptr, 0), &anchor);
  CVedTextPos restStart;
  rest.MoveCursor(kMoveDocumentStart, nullptr, nullptr, &restStart);
  CVedTextPos second;
  ASSERT_EQ(rest.MoveCursor(kMoveNextChar, nullptr, &restStart, &second), kMoveDone);
  EXPECT_EQ(rest.ComparePositions(&anchor.position, &second), kCompareEqual);  // still on d

  ASSERT_NE(text.MergeFrom(&rest, 1, &result), 0);
  EXPECT_EQ(rest.FindAnchor(kAnchorChar, nullptr, 0), nullptr);
  ASSERT_EQ(text.FindAnchor(kAnchorChar, nullptr, 0), &anchor);
  CVedTextPos end;
  text.MoveCursor(kMoveDocumentEnd, nullptr, nullptr, &end);
  CVedTextPos last;
  ASSERT_EQ(text.MoveCursor(kMovePrevChar, nullptr, &end, &last), kMoveDone);
  EXPECT_EQ(text.ComparePositions(&anchor.position, &last), kCompareEqual);  // d, last again
}

TEST_F(TextObjectTest, StepsForPaginationCarryThePlaceOnce) {
  Type("ab\rcd");
  CVedTextPos line;
  ASSERT_EQ(text.StepPageLine(nullptr, kLineNext, &line), 1);
  EXPECT_EQ(line.depth, 5);
  CVedAnchor anchor;
  EXPECT_EQ(text.SetAnchor(kAnchorLine, &anchor, &line), 1);
}

}  // namespace
}  // namespace text_test
