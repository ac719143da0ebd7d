#include "model/text_transfer.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <tuple>

#include "model/texts.h"
#include "platform/sjis.h"
#include "text_fixture.h"

namespace text_test {
namespace {

using Bytes = std::vector<uint8_t>;
using Lines = std::vector<std::string>;

constexpr char kA[] = "\x82\xA0";  // あ

CTextTransfer Transfer(TextFixture& t) {
  return CTextTransfer(t.editor, t.navigator, t.formats, &t.renderer(), t.page, t.options);
}

CVedTextPos Start(const TextFixture& t) {
  CVedTextPos pos;
  t.navigator.GetStartPosition(&pos);
  return pos;
}

CVedTextPos End(const TextFixture& t) {
  CVedTextPos pos;
  t.navigator.GetEndPosition(&pos);
  return pos;
}

Bytes Contents(const platform::CMemFile& file) {
  return Bytes(file.Data(), file.Data() + file.GetLength());
}

// The block of a range as the archive writer stores it.
Bytes WriteRange(TextFixture& t, const CVedTextPos& from, const CVedTextPos& to,
                 int tag = kFormatOwnBlock, int* result = nullptr) {
  platform::CMemFile file;
  {
    platform::CArchive archive(&file, platform::CArchive::kStore);
    const int written = Transfer(t).WriteBlock(tag, &from, &to, archive);
    if (result != nullptr) *result = written;
    archive.Close();
  }
  return Contents(file);
}

Bytes WriteWhole(TextFixture& t) { return WriteRange(t, Start(t), End(t)); }

int ReadAt(TextFixture& t, Bytes block, const CVedTextPos& at, EditResult* result = nullptr,
           int* inserted = nullptr) {
  platform::CMemFile file(block.data(), block.size());
  platform::CArchive archive(&file, platform::CArchive::kLoad);
  EditResult local;
  int flag = -1;
  const int answer = Transfer(t).ReadBlock(archive, &at, &flag, result ? result : &local);
  if (inserted != nullptr) *inserted = flag;
  return answer;
}

std::vector<CharCell> Cells(const TextFixture& t) {
  std::vector<CharCell> out;
  for (NodeHandle c = t.navigator.Navigate(kLevelCell, kNavFirst, kNoNode); c != kNoNode;
       c = t.navigator.Navigate(kLevelCell, kNavNext, c)) {
    CharCell cell;
    t.navigator.GetInfo(c, cell);
    out.push_back(cell);
  }
  return out;
}

std::vector<ParagraphInfo> Paragraphs(const TextFixture& t) {
  std::vector<ParagraphInfo> out;
  for (NodeHandle p = t.navigator.Navigate(kLevelParagraph, kNavFirst, kNoNode); p != kNoNode;
       p = t.navigator.Navigate(kLevelParagraph, kNavNext, p)) {
    ParagraphInfo info;
    t.navigator.GetInfo(p, info);
    out.push_back(info);
  }
  return out;
}

auto CellFields(const CharCell& c) {
  return std::make_tuple(c.code, c.tag[0], c.tag[1], c.fontId, c.color, c.placement, c.breakClass,
                         c.squeeze, c.decoration.underline, c.decoration.strikeOut,
                         c.decoration.enclosure, c.decoration.shading, c.decoration.color,
                         c.design.shadow, c.design.hollow, c.design.reverse, c.glyphWidth,
                         c.cellWidth, c.adjustment);
}

auto ParagraphFields(const ParagraphInfo& p) {
  return std::make_tuple(p.textWidth, p.textHeight, p.lineGap, p.paragraphGap, p.reserved2,
                         p.firstIndent, p.leftIndent, p.rightIndent, p.vertical, p.alignment,
                         p.lineCount);
}

void ExpectSameText(const TextFixture& expected, const TextFixture& actual) {
  EXPECT_EQ(expected.Lines(), actual.Lines());
  const auto a = Cells(expected);
  const auto b = Cells(actual);
  ASSERT_EQ(a.size(), b.size());
  for (size_t i = 0; i < a.size(); ++i)
    EXPECT_EQ(CellFields(a[i]), CellFields(b[i])) << "cell " << i;
  const auto p = Paragraphs(expected);
  const auto q = Paragraphs(actual);
  ASSERT_EQ(p.size(), q.size());
  for (size_t i = 0; i < p.size(); ++i) {
    EXPECT_EQ(ParagraphFields(p[i]), ParagraphFields(q[i])) << "paragraph " << i;
  }
}

// One end mark, closing the last paragraph; every other paragraph ends
// with a break; the lines of each paragraph cover its cells.
void ExpectWellFormed(const TextFixture& t) {
  int endMarks = 0;
  for (const CharCell& cell : Cells(t)) endMarks += cell.code == kCodeEndOfText ? 1 : 0;
  EXPECT_EQ(endMarks, 1);
  const auto paragraphs = Paragraphs(t);
  for (size_t i = 0; i < paragraphs.size(); ++i) {
    LineInfo last;
    ASSERT_EQ(t.navigator.GetInfo(paragraphs[i].lastLine, last), 1);
    CharCell end;
    ASSERT_EQ(t.navigator.GetInfo(last.lastCell, end), 1);
    if (i + 1 == paragraphs.size()) {
      EXPECT_EQ(end.code, kCodeEndOfText);
    } else {
      EXPECT_TRUE(end.code == kCodeParagraphEnd || end.code == kCodePageBreak) << end.code;
    }
  }
}

void SetParagraph(TextFixture& t, int cell, int32_t mask, const ParaFormat& values) {
  ParaFormat format = values;
  format.mask = mask;
  const CVedTextPos at = t.CellAt(cell);
  EditResult result;
  ASSERT_EQ(t.editor.ApplyParaFormat(&at, &at, format, &result), 1);
}

void SetFont(TextFixture& t, int first, int last, int32_t mask, const CharFormat& values) {
  CharFormat format = values;
  format.mask = mask;
  const CVedTextPos from = t.CellAt(first);
  const CVedTextPos to = t.CellAt(last);
  EditResult result;
  ASSERT_EQ(t.editor.ApplyCharFont(format, &from, &to, &result), 1);
}

CharFormat Bold() {
  CharFormat f;
  f.bold = 1;
  return f;
}

// Hands the fonts of one document to another as a document stream does.
void CarryFonts(TextFixture& from, TextFixture& to) {
  platform::CMemFile file;
  {
    platform::CArchive out(&file, platform::CArchive::kStore);
    from.renderer().NewFontList();
    ASSERT_EQ(from.renderer().SerializeFontList(out), 1);
    out.Close();
    from.renderer().DeleteFontList();
  }
  file.Seek(0, platform::CFile::kBegin);
  platform::CArchive in(&file, platform::CArchive::kLoad);
  to.renderer().NewFontList();
  ASSERT_EQ(to.renderer().SerializeFontList(in), 1);
}

// "aあ", a paragraph end, "b": the double-byte character in bold.
void MakeGoldenText(TextFixture& t) {
  ASSERT_TRUE(t.Type(std::string("a") + kA + "\rb"));
  SetFont(t, 1, 1, kMaskBold, Bold());
}

// The block of MakeGoldenText's whole text, byte by byte.
const Bytes kGoldenBlock = {
    'T', 'e', 'x', 't', 'O', 'b', 'j', 'e', 'c', 't', ' ', 'D', 'a', 't', 'a', 0x00,  // tag
    0x53, 0x00, 0x00, 0x00,  // 83 bytes of range data
    0x02, 0x00, 0x00, 0x00,  // two paragraphs
    // First paragraph: gaps as the page's, indents 0 as the zero base;
    // only the alignment (justified) differs from the base.
    0x01, 0x10, 0x80, 0x00, 0x01,                    //
    0x02, 0x10, 0x00, 0x00, 0x03, 0x00, 0x00, 0x00,  // three cells
    0x03, 0x10,                                      //
    0x61, 0x00, 0x20, 0x00, 0x0A, 0x00, 0x00, 0x00,  // a: width 10
    0xA0, 0x82, 0x21, 0x00, 0x01, 0x00, 0x00, 0x00,  // あ: bold font 1,
    0x14, 0x00, 0x00, 0x00,                          //    width 20
    0x0D, 0x00, 0x21, 0x00, 0x00, 0x00, 0x00, 0x00,  // CR: font 0 again,
    0x00, 0x00, 0x00, 0x00,                          //    width 0
    // Second paragraph: nothing differs from the first.
    0x01, 0x10, 0x00, 0x00,                          //
    0x02, 0x10, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00,  // two cells
    0x03, 0x10,                                      //
    0x62, 0x00, 0x20, 0x00, 0x0A, 0x00, 0x00, 0x00,  // b: width 10
    0xFF, 0xFF, 0x20, 0x00, 0x00, 0x00, 0x00, 0x00,  // end of text: width 0
    0xFF, 0xFF,                                      // end of the range data
};
constexpr size_t kRangeDataOffset = 20;

Bytes GoldenRangeData() {
  return Bytes(kGoldenBlock.begin() + kRangeDataOffset, kGoldenBlock.end());
}

TEST(TextTransferTest, BlockTagIsTheStoredText) {
  EXPECT_EQ(std::string(kTextBlockTag), platform::Utf8ToSjis("TextObject Data").value());
}

TEST(TextTransferTest, WritesTheGoldenBlock) {
  TextFixture t;
  MakeGoldenText(t);
  // The fixture's font table realises the base font first and bold next.
  ASSERT_EQ(t.CellRecord(t.CellAt(0)).fontId, 0);
  ASSERT_EQ(t.CellRecord(t.CellAt(1)).fontId, 1);
  EXPECT_EQ(WriteWhole(t), kGoldenBlock);

  platform::CMemFile stream;
  const CVedTextPos from = Start(t);
  const CVedTextPos to = End(t);
  ASSERT_EQ(Transfer(t).StreamOutBlock(&from, &to, stream), 1);
  EXPECT_EQ(Contents(stream), kGoldenBlock);
}

TEST(TextTransferTest, ReadsTheGoldenBlockBackByteForByte) {
  TextFixture source;
  MakeGoldenText(source);
  TextFixture target;
  CarryFonts(source, target);
  int inserted = -1;
  EditResult result;
  ASSERT_EQ(ReadAt(target, kGoldenBlock, End(target), &result, &inserted), 1);
  EXPECT_EQ(inserted, 1);
  EXPECT_EQ(target.Lines(), (Lines{std::string("a") + kA + "{CR}", "b{ET}"}));
  ExpectSameText(source, target);
  EXPECT_EQ(WriteWhole(target), kGoldenBlock);

  EXPECT_EQ(result.changed, 1);
  EXPECT_EQ(result.rangeStart, target.CellAt(0));
  EXPECT_EQ(result.rangeEnd, target.CellAt(3));
  EXPECT_EQ(result.newCursor, End(target));
  EXPECT_EQ(result.heightDelta, kLineHeight + kLineGap);
}

TEST(TextTransferTest, RoundTripKeepsEveryAttribute) {
  TextFixture source;
  source.page.tabInterval = 4 * kPitch;
  ASSERT_TRUE(source.Type(std::string("x\ty") + kA + "\r\xB1\xB2\f" + kA + kA + "z\rlast"));
  SetFont(source, 0, 2, kMaskBold, Bold());
  CharFormat coloured;
  coloured.color = platform::RGB(200, 10, 10);
  coloured.placement = 2;
  SetFont(source, 5, 9, kMaskColor | kMaskPlacement, coloured);
  CharDecoration underline;
  underline.mask = kMaskUnderline | kMaskDecorationColor | kMaskShading;
  underline.underline = 17;
  underline.shading = 2;
  underline.color = platform::RGB(0, 0, 255);
  CharDesign design;
  design.mask = kMaskDesignAll;
  design.hollow = 1;
  design.shadow = 1;
  EditResult result;
  const CVedTextPos from = source.CellAt(6);
  const CVedTextPos to = source.CellAt(12);
  ASSERT_EQ(source.editor.ApplyDecoration(underline, &from, &to, &result), 1);
  ASSERT_EQ(source.editor.ApplyDesign(design, &from, &to, &result), 1);
  ParaFormat para;
  para.alignment = kAlignCenter;
  para.firstIndent = 2 * kPitch;
  para.leftIndent = kPitch;
  para.rightIndent = 3 * kPitch;
  para.lineGap = 100;
  SetParagraph(source, 7, kMaskParaFormatAll, para);

  TextFixture target;
  CarryFonts(source, target);
  ASSERT_EQ(ReadAt(target, WriteWhole(source), End(target)), 1);
  ExpectSameText(source, target);
  ExpectWellFormed(target);
  EXPECT_EQ(WriteWhole(target), WriteWhole(source));
}

TEST(TextTransferTest, StoredZeroIndentsAndVerticalFlagComeBackAsStored) {
  // The page's default indents and vertical flag must not replace the 0
  // values that a paragraph was given.
  TextFixture source;
  source.page.firstIndent = 2 * kPitch;
  ASSERT_TRUE(source.Type("zero\rdefault"));
  ParaFormat zero;
  SetParagraph(source, 0, kMaskFirstIndent, zero);
  ASSERT_EQ(Paragraphs(source)[1].firstIndent, 2 * kPitch);

  TextFixture target;
  target.page.firstIndent = 2 * kPitch;
  target.page.leftIndent = kPitch;
  target.page.vertical = 1;
  ASSERT_EQ(ReadAt(target, WriteWhole(source), End(target)), 1);
  const auto paragraphs = Paragraphs(target);
  ASSERT_EQ(paragraphs.size(), 2u);
  EXPECT_EQ(paragraphs[0].firstIndent, 0);
  EXPECT_EQ(paragraphs[0].leftIndent, 0);
  EXPECT_EQ(paragraphs[0].vertical, 0);
  EXPECT_EQ(paragraphs[1].firstIndent, 2 * kPitch);
  EXPECT_EQ(paragraphs[1].leftIndent, 0);
}

TEST(TextTransferTest, GapsLeftAtThePageValueFollowTheReceivingPage) {
  TextFixture source;
  ASSERT_TRUE(source.Type("page\rown"));
  ParaFormat gap;
  gap.lineGap = 100;
  SetParagraph(source, 5, kMaskLineGap, gap);

  TextFixture target;
  target.page.lineGap = 40;
  target.page.textWidth = 20 * kWide;
  ASSERT_EQ(ReadAt(target, WriteWhole(source), End(target)), 1);
  const auto paragraphs = Paragraphs(target);
  ASSERT_EQ(paragraphs.size(), 2u);
  EXPECT_EQ(paragraphs[0].lineGap, 40);
  EXPECT_EQ(paragraphs[0].paragraphGap, 40);
  EXPECT_EQ(paragraphs[0].textWidth, 20 * kWide);
  EXPECT_EQ(paragraphs[1].lineGap, 100);
  EXPECT_EQ(paragraphs[1].paragraphGap, 40);
}

// Three source paragraphs with right indents of one, two and three
// pitches; the range runs from "b" to "e".
class PlacementTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(source.Type("ab\rcd\ref"));
    for (int p = 0; p < 3; ++p) {
      ParaFormat indent;
      indent.rightIndent = (p + 1) * kPitch;
      SetParagraph(source, 3 * p, kMaskRightIndent, indent);
    }
    block = WriteRange(source, source.CellAt(1), source.CellAt(6));
    ASSERT_TRUE(target.Type("xyz"));
  }

  std::vector<int32_t> RightIndents() const {
    std::vector<int32_t> out;
    for (const ParagraphInfo& p : Paragraphs(target)) out.push_back(p.rightIndent);
    return out;
  }

  TextFixture source;
  TextFixture target;
  Bytes block;
};

TEST_F(PlacementTest, InsideAParagraph) {
  EditResult result;
  ASSERT_EQ(ReadAt(target, block, target.CellAt(1), &result), 1);
  EXPECT_EQ(target.Lines(), (Lines{"xb{CR}", "cd{CR}", "eyz{ET}"}));
  // The paragraph cut open keeps its record; the middle one is the source's,
  // and the last group starts the rest of the old paragraph.
  EXPECT_EQ(RightIndents(), (std::vector<int32_t>{0, 2 * kPitch, 3 * kPitch}));
  EXPECT_EQ(result.rangeStart, target.CellAt(1));
  EXPECT_EQ(result.rangeEnd, target.CellAt(6));
  EXPECT_EQ(result.newCursor, target.CellAt(7));
  EXPECT_EQ(result.heightDelta, 2 * (kLineHeight + kLineGap));
  ExpectWellFormed(target);
}

TEST_F(PlacementTest, AtAParagraphStart) {
  ASSERT_EQ(ReadAt(target, block, target.CellAt(0)), 1);
  EXPECT_EQ(target.Lines(), (Lines{"b{CR}", "cd{CR}", "exyz{ET}"}));
  EXPECT_EQ(RightIndents(), (std::vector<int32_t>{kPitch, 2 * kPitch, 3 * kPitch}));
  ExpectWellFormed(target);
}

TEST_F(PlacementTest, AtTheEndOfTheText) {
  ASSERT_EQ(ReadAt(target, block, End(target)), 1);
  EXPECT_EQ(target.Lines(), (Lines{"xyzb{CR}", "cd{CR}", "e{ET}"}));
  EXPECT_EQ(RightIndents(), (std::vector<int32_t>{0, 2 * kPitch, 3 * kPitch}));
  ExpectWellFormed(target);
}

TEST_F(PlacementTest, OneGroupAtAParagraphStartBringsItsRecord) {
  block = WriteRange(source, source.CellAt(3), source.CellAt(4));
  ASSERT_EQ(ReadAt(target, block, target.CellAt(0)), 1);
  EXPECT_EQ(target.Lines(), (Lines{"cdxyz{ET}"}));
  EXPECT_EQ(RightIndents(), (std::vector<int32_t>{2 * kPitch}));
}

TEST_F(PlacementTest, OneGroupWithItsBreakSplitsLikeTyping) {
  block = WriteRange(source, source.CellAt(3), source.CellAt(5));
  ASSERT_EQ(ReadAt(target, block, target.CellAt(1)), 1);
  EXPECT_EQ(target.Lines(), (Lines{"xcd{CR}", "yz{ET}"}));
  EXPECT_EQ(RightIndents(), (std::vector<int32_t>{0, 0}));
}

TEST_F(PlacementTest, AtTheEndTheBlocksEndMarkIsTheTextsOwn) {
  // A whole text read at the end of another adds no empty paragraph.
  block = WriteRange(source, source.CellAt(6), End(source));
  ASSERT_EQ(ReadAt(target, block, End(target)), 1);
  EXPECT_EQ(target.Lines(), (Lines{"xyzef{ET}"}));
  EXPECT_EQ(RightIndents(), (std::vector<int32_t>{3 * kPitch}));
  ExpectWellFormed(target);
}

TEST_F(PlacementTest, ElsewhereTheBlocksEndMarkEndsAParagraph) {
  block = WriteRange(source, source.CellAt(6), End(source));
  ASSERT_EQ(ReadAt(target, block, target.CellAt(1)), 1);
  EXPECT_EQ(target.Lines(), (Lines{"xef{CR}", "yz{ET}"}));
  EXPECT_EQ(RightIndents(), (std::vector<int32_t>{3 * kPitch, 0}));
  ASSERT_EQ(ReadAt(target, block, target.CellAt(0)), 1);
  EXPECT_EQ(target.Lines(), (Lines{"ef{CR}", "xef{CR}", "yz{ET}"}));
  EXPECT_EQ(RightIndents(), (std::vector<int32_t>{3 * kPitch, 3 * kPitch, 0}));
  ExpectWellFormed(target);
}

TEST_F(PlacementTest, TheEndMarkAloneInsertsNothing) {
  TextFixture empty;
  ASSERT_EQ(ReadAt(target, WriteWhole(empty), target.CellAt(1)), 1);
  EXPECT_EQ(target.Lines(), (Lines{"xyz{ET}"}));
}

TEST(TextTransferTest, TakingATextAtTheStartOrAtTheEndGivesTheSameText) {
  // How two texts are joined: the later one takes the earlier at its
  // start, or the earlier one takes the later at its end after a
  // paragraph end.
  auto make = [](TextFixture& t, const char* text, int32_t indent) {
    ASSERT_TRUE(t.Type(text));
    ParaFormat format;
    format.rightIndent = indent;
    SetParagraph(t, 0, kMaskRightIndent, format);
  };
  TextFixture earlier;
  make(earlier, "e1\re2", kPitch);
  TextFixture later;
  make(later, "l1\rl2", 2 * kPitch);
  const Bytes earlierBlock = WriteWhole(earlier);
  const Bytes laterBlock = WriteWhole(later);

  ASSERT_EQ(ReadAt(later, earlierBlock, Start(later)), 1);
  ASSERT_TRUE(earlier.Type("\r"));
  ASSERT_EQ(ReadAt(earlier, laterBlock, End(earlier)), 1);
  EXPECT_EQ(later.Lines(), (Lines{"e1{CR}", "e2{CR}", "l1{CR}", "l2{ET}"}));
  ExpectSameText(earlier, later);
}

TEST(TextTransferTest, ParagraphsOfSeveralLinesGoInAndComeBack) {
  // Eight single-byte characters fill a line of four double-byte ones.
  TextFixture source(4);
  ASSERT_TRUE(source.Type("ABCDEFGHIJKLMNOPQRST\r0123456789"));
  ASSERT_EQ(source.Lines().size(), 5u);
  TextFixture target(4);
  ASSERT_TRUE(target.Type("abcdefghijkl"));
  const Bytes block = WriteRange(source, source.CellAt(4), source.CellAt(24));
  ASSERT_EQ(ReadAt(target, block, target.CellAt(9)), 1);
  EXPECT_EQ(target.Lines(), (Lines{"abcdefgh", "iEFGHIJK", "LMNOPQRS", "T{CR}", "0123jkl{ET}"}));
  ExpectWellFormed(target);

  TextFixture copy(4);
  ASSERT_EQ(ReadAt(copy, WriteWhole(target), End(copy)), 1);
  ExpectSameText(target, copy);
}

TEST(TextTransferTest, BlockOfAnEmptyTextInsertsNothing) {
  TextFixture empty;
  const Bytes block = WriteWhole(empty);
  TextFixture t;
  ASSERT_TRUE(t.Type("xy"));
  EditResult result;
  ASSERT_EQ(ReadAt(t, block, End(t), &result), 1);
  EXPECT_EQ(t.Lines(), (Lines{"xy{ET}"}));
  EXPECT_EQ(result.changed, 1);
  EXPECT_EQ(result.rangeStart, End(t));
  EXPECT_EQ(result.rangeEnd, End(t));
  EXPECT_EQ(result.heightDelta, 0);
}

TEST(TextTransferTest, FormFeedBecomesAParagraphEndWherePageBreaksAreNotAllowed) {
  TextFixture source;
  ASSERT_TRUE(source.Type("a\fb"));
  const Bytes block = WriteWhole(source);
  for (const uint8_t allowed : {uint8_t{0}, uint8_t{1}}) {
    TextFixture target;
    target.options.formFeedAllowed = allowed;
    ASSERT_EQ(ReadAt(target, block, End(target)), 1);
    EXPECT_EQ(target.Lines(), (Lines{allowed ? "a{PA}" : "a{CR}", "b{ET}"}));
  }
}

TEST(TextTransferTest, IndentsTooWideForTheReceivingPageAreNarrowed) {
  TextFixture source(20);
  ASSERT_TRUE(source.Type("abc"));
  ParaFormat wide;
  wide.rightIndent = 4000;
  SetParagraph(source, 0, kMaskRightIndent, wide);
  TextFixture target(10);
  ASSERT_EQ(ReadAt(target, WriteWhole(source), End(target)), 1);
  // 2600 twips wide: twelve pitches off 4000 leave 160 twips of line.
  EXPECT_EQ(Paragraphs(target)[0].rightIndent, 4000 - 12 * kPitch);
}

struct ClampCase {
  const char* name;
  int32_t first, left, right;
  int32_t expectedFirst, expectedLeft, expectedRight;
};

class ClampIndentsTest : public ::testing::TestWithParam<ClampCase> {};

TEST_P(ClampIndentsTest, LeavesOnePitchForEveryLine) {
  const ClampCase& c = GetParam();
  TextFixture t(10);  // 2600 twips, pitch 130
  ParagraphInfo p;
  p.textWidth = t.page.textWidth;
  p.firstIndent = c.first;
  p.leftIndent = c.left;
  p.rightIndent = c.right;
  Transfer(t).ClampIndents(&p);
  EXPECT_EQ(p.firstIndent, c.expectedFirst);
  EXPECT_EQ(p.leftIndent, c.expectedLeft);
  EXPECT_EQ(p.rightIndent, c.expectedRight);
}

INSTANTIATE_TEST_SUITE_P(Cases, ClampIndentsTest,
                         ::testing::Values(ClampCase{"RoomEnough", 260, 130, 390, 260, 130, 390},
                                           ClampCase{"RightIndentFirst", 0, 0, 2600, 0, 0, 2470},
                                           ClampCase{"FirstLineIndent", 2600, 0, 0, 2470, 0, 0},
                                           ClampCase{"FirstLineTakesLeftAlong", 2600, 2600, 0, 2470,
                                                     2470, 0},
                                           ClampCase{"RightThenLeft", 0, 2590, 130, 0, 2460, 0},
                                           // Whole pitches off 0x7FFFFFFF leave 2467.
                                           ClampCase{"LargestIndents", 0x7FFFFFFF, 0x7FFFFFFF,
                                                     0x7FFFFFFF, 2467, 2467, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

struct BreakCase {
  const char* name;
  uint8_t followNeighbours;
  bool giveRecord;
  int32_t expectedRightIndent;
};

class ParagraphBreakTest : public ::testing::TestWithParam<BreakCase> {};

TEST_P(ParagraphBreakTest, NewParagraphRecord) {
  const BreakCase& c = GetParam();
  TextFixture t;
  t.options.followNeighbours = c.followNeighbours;
  ASSERT_TRUE(t.Type("abcd"));
  ParaFormat indent;
  indent.rightIndent = 2 * kPitch;
  SetParagraph(t, 0, kMaskRightIndent, indent);
  ParagraphInfo given = t.editor.MakeDefaultParagraph();
  given.rightIndent = 5 * kPitch;
  CharCell breakCell;
  ASSERT_EQ(t.editor.MakeSpecialCell(kCodeParagraphEnd, &breakCell), 1);
  TextNodes at;
  const CVedTextPos c2 = t.CellAt(2);
  ASSERT_EQ(t.navigator.MapPosition(&c2, &at), 1);
  int32_t delta = 0;
  NodeHandle added = kNoNode;
  ASSERT_EQ(Transfer(t).InsertParagraphBreak(&at, breakCell, c.giveRecord ? &given : nullptr,
                                             &delta, &added),
            1);
  EXPECT_EQ(t.Lines(), (Lines{"ab{CR}", "cd{ET}"}));
  const auto paragraphs = Paragraphs(t);
  EXPECT_EQ(paragraphs[0].rightIndent, 2 * kPitch);
  EXPECT_EQ(paragraphs[1].rightIndent, c.expectedRightIndent);
  EXPECT_EQ(delta, kLineHeight + kLineGap);
}

INSTANTIATE_TEST_SUITE_P(Cases, ParagraphBreakTest,
                         ::testing::Values(BreakCase{"Given", 0, true, 5 * kPitch},
                                           BreakCase{"CopyOfTheSplitParagraph", 1, false,
                                                     2 * kPitch},
                                           BreakCase{"DefaultParagraph", 0, false, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(TextTransferTest, ParagraphBreakAcceptsOnlyBreakCodes) {
  TextFixture t;
  ASSERT_TRUE(t.Type("ab"));
  CharCell cell = t.CellRecord(t.CellAt(0));
  TextNodes at;
  const CVedTextPos pos = t.CellAt(1);
  ASSERT_EQ(t.navigator.MapPosition(&pos, &at), 1);
  int32_t delta = 0;
  NodeHandle added = kNoNode;
  EXPECT_EQ(Transfer(t).InsertParagraphBreak(&at, cell, nullptr, &delta, &added), 0);
  EXPECT_EQ(t.Lines(), (Lines{"ab{ET}"}));
}

TEST(TextTransferTest, FontIdsGoThroughTheSavedFontList) {
  TextFixture source;
  MakeGoldenText(source);
  TextFixture target;
  // Italic takes the target's next font id, so bold gets another one there.
  ASSERT_TRUE(target.Type("q"));
  CharFormat italic;
  italic.italic = 1;
  SetFont(target, 0, 0, kMaskItalic, italic);
  const int32_t italicId = target.CellRecord(target.CellAt(0)).fontId;
  ASSERT_EQ(italicId, 1);
  CarryFonts(source, target);
  ASSERT_EQ(ReadAt(target, kGoldenBlock, End(target)), 1);
  const CharCell bold = target.CellRecord(target.CellAt(2));
  EXPECT_NE(bold.fontId, italicId);
  CharFontState state;
  ASSERT_EQ(target.formats.GetFontState(bold.fontId, &state), 1);
  EXPECT_EQ(state.bold, 1);
  EXPECT_EQ(state.italic, 0);
  EXPECT_EQ(bold.glyphWidth, kEm);
}

TEST(TextTransferTest, UnknownFontIdFallsBackToTheBaseFont) {
  Bytes data = GoldenRangeData();
  data[31] = 77;  // あ's font id
  TextFixture t;
  EditResult result;
  const CVedTextPos at = Start(t);
  ASSERT_EQ(Transfer(t).InsertRangeData(&at, data, &result), 1);
  const CharCell cell = t.CellRecord(t.CellAt(1));
  EXPECT_EQ(cell.fontId, 0);
  EXPECT_EQ(cell.glyphWidth, kEm);
}

TEST(TextTransferTest, FailedWriteLeavesNoBlock) {
  TextFixture t;
  ASSERT_TRUE(t.Type("abc"));
  int result = -1;
  // A range whose end lies before its start cannot be written.
  EXPECT_TRUE(WriteRange(t, t.CellAt(2), t.CellAt(0), kFormatOwnBlock, &result).empty());
  EXPECT_EQ(result, 0);
  platform::CMemFile stream;
  const CVedTextPos from = t.CellAt(2);
  const CVedTextPos to = t.CellAt(0);
  EXPECT_EQ(Transfer(t).StreamOutBlock(&from, &to, stream), 0);
  EXPECT_EQ(stream.GetLength(), 0u);
}

TEST(TextTransferTest, StreamThatCannotTakeTheBlockReportsFailure) {
  TextFixture t;
  ASSERT_TRUE(t.Type("abc"));
  const CVedTextPos from = Start(t);
  const CVedTextPos to = End(t);
  std::array<uint8_t, 24> room{};
  platform::CMemFile full(room.data(), room.size());
  EXPECT_EQ(Transfer(t).StreamOutBlock(&from, &to, full), 0);
  platform::CMemFile alsoFull(room.data(), room.size());
  platform::CArchive archive(&alsoFull, platform::CArchive::kStore, 1);
  EXPECT_EQ(Transfer(t).WriteBlock(kFormatOwnBlock, &from, &to, archive), 0);
}

struct BlockCase {
  const char* name;
  Bytes block;
  int expected;
  int expectedInserted;
};

Bytes WithLength(int32_t length, size_t dataBytes) {
  Bytes block(kGoldenBlock.begin(), kGoldenBlock.begin() + 16);
  for (int i = 0; i < 4; ++i)
    block.push_back(static_cast<uint8_t>(static_cast<uint32_t>(length) >> (8 * i)));
  block.insert(block.end(), kGoldenBlock.begin() + kRangeDataOffset,
               kGoldenBlock.begin() + kRangeDataOffset + static_cast<long>(dataBytes));
  return block;
}

Bytes WithByte(Bytes block, size_t offset, uint8_t value) {
  block[offset] = value;
  return block;
}

class ReadBlockTest : public ::testing::TestWithParam<BlockCase> {};

TEST_P(ReadBlockTest, ChecksTagAndLength) {
  const BlockCase& c = GetParam();
  TextFixture t;
  ASSERT_TRUE(t.Type("xy"));
  int inserted = -1;
  EXPECT_EQ(ReadAt(t, c.block, t.CellAt(1), nullptr, &inserted), c.expected);
  EXPECT_EQ(inserted, c.expectedInserted);
  if (c.expectedInserted == 0) {
    EXPECT_EQ(t.Lines(), (Lines{"xy{ET}"}));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReadBlockTest,
    ::testing::Values(
        BlockCase{"Whole", kGoldenBlock, 1, 1},
        BlockCase{"LengthZeroInsertsNothing", WithLength(0, 0), 1, 0},
        BlockCase{"NegativeLengthInsertsNothing", WithLength(-1, 0), 1, 0},
        BlockCase{"MostNegativeLengthInsertsNothing", WithLength(INT32_MIN, 0), 1, 0},
        BlockCase{"LengthBeyondTheArchive", WithLength(84, 83), 0, 0},
        BlockCase{"HugeLength", WithLength(0x7FFFFFFF, 83), 0, 0},
        BlockCase{"SignatureEndInsteadOfNul", WithByte(kGoldenBlock, 15, 0x1A), 0, 0},
        BlockCase{"OtherTag", WithByte(kGoldenBlock, 0, 't'), 0, 0},
        BlockCase{"ShortTag", Bytes(kGoldenBlock.begin(), kGoldenBlock.begin() + 10), 0, 0},
        BlockCase{"NoLength", Bytes(kGoldenBlock.begin(), kGoldenBlock.begin() + 18), 0, 0}),
    [](const auto& info) { return std::string(info.param.name); });

struct DamageCase {
  const char* name;
  size_t offset;  // in the range data
  Bytes bytes;
};

class DamagedRangeDataTest : public ::testing::TestWithParam<DamageCase> {};

TEST_P(DamagedRangeDataTest, InsertsNothingAndFails) {
  const DamageCase& c = GetParam();
  Bytes data = GoldenRangeData();
  std::copy(c.bytes.begin(), c.bytes.end(), data.begin() + static_cast<long>(c.offset));
  TextFixture t;
  ASSERT_TRUE(t.Type("xy"));
  EditResult result;
  const CVedTextPos at = t.CellAt(1);
  EXPECT_EQ(Transfer(t).InsertRangeData(&at, data, &result), 0);
  EXPECT_EQ(t.Lines(), (Lines{"xy{ET}"}));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DamagedRangeDataTest,
    ::testing::Values(
        DamageCase{"ZeroParagraphs", 0, {0, 0, 0, 0}},
        DamageCase{"NegativeParagraphCount", 0, {0xFF, 0xFF, 0xFF, 0xFF}},
        DamageCase{"MoreParagraphsThanGroups", 0, {3, 0, 0, 0}},
        DamageCase{"NoParagraphHeader", 4, {0x02, 0x10}}, DamageCase{"AlignmentOutOfRange", 8, {5}},
        DamageCase{"NoCellCountHeader", 9, {0x01, 0x10}}, DamageCase{"ZeroCells", 13, {0, 0, 0, 0}},
        DamageCase{"NegativeCells", 13, {0xFF, 0xFF, 0xFF, 0xFF}},
        DamageCase{"MoreCellsThanBytes", 13, {0xFF, 0xFF, 0xFF, 0x7F}},
        DamageCase{"NoCellsMarker", 17, {0x04, 0x10}}, DamageCase{"ZeroCode", 19, {0, 0}},
        DamageCase{"BreakInsideAGroup", 19, {0x0D, 0x00}},
        DamageCase{"BadTrailByte", 27, {0x20, 0x82}},
        DamageCase{"FirstGroupWithoutBreak", 39, {0x63, 0x00}},
        DamageCase{"EndMarkBeforeTheLastGroup", 39, {0xFF, 0xFF}},
        DamageCase{"OtherControlCode", 65, {0x05, 0x00}},
        DamageCase{"PlacementOutOfRange", 67, {0x24, 0x00}},
        DamageCase{"UnderlineOutOfRange", 67, {0x28, 0x00}},
        DamageCase{"NoEndOfData", 81, {0x00, 0x00}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TextTransferTest, PositionWhoseCellIsNotInItsLineInsertsNothing) {
  TextFixture t;
  ASSERT_TRUE(t.Type("ab\rcd"));
  TextNodes first;
  TextNodes other;
  const CVedTextPos a = t.CellAt(0);
  const CVedTextPos c = t.CellAt(3);
  ASSERT_EQ(t.navigator.MapPosition(&a, &first), 1);
  ASSERT_EQ(t.navigator.MapPosition(&c, &other), 1);
  CVedTextPos mixed;
  CTextNavigator::MakePosition({first.paragraph, first.line, other.cell}, &mixed);
  EditResult result;
  EXPECT_EQ(Transfer(t).InsertRangeData(&mixed, GoldenRangeData(), &result), 0);
  EXPECT_EQ(t.Lines(), (Lines{"ab{CR}", "cd{ET}"}));
}

TEST(TextTransferTest, EveryTruncatedRangeDataFailsCleanly) {
  const Bytes data = GoldenRangeData();
  TextFixture t;
  ASSERT_TRUE(t.Type("xy"));
  for (size_t n = 0; n < data.size(); ++n) {
    EditResult result;
    const CVedTextPos at = t.CellAt(1);
    EXPECT_EQ(Transfer(t).InsertRangeData(&at, std::span(data).first(n), &result), 0) << n;
  }
  EXPECT_EQ(t.Lines(), (Lines{"xy{ET}"}));
}

TEST(TextTransferTest, DamagedBytesNeverBreakTheText) {
  const Bytes golden = GoldenRangeData();
  TextFixture t;
  CharCell end;
  ASSERT_EQ(t.formats.MakeCellTemplate(nullptr, nullptr, nullptr, &end), 1);
  for (size_t offset = 0; offset < golden.size(); ++offset) {
    for (const int value : {0x00, 0x01, 0x0C, 0x80, 0xFF}) {
      Bytes data = golden;
      data[offset] = static_cast<uint8_t>(value);
      ASSERT_EQ(t.editor.NewDocument(end), 1);
      ASSERT_TRUE(t.Type("xy"));
      EditResult result;
      const CVedTextPos at = t.CellAt(1);
      if (Transfer(t).InsertRangeData(&at, data, &result) == 0) {
        EXPECT_EQ(t.Lines(), (Lines{"xy{ET}"})) << offset << " " << value;
      }
      ExpectWellFormed(t);
    }
  }
}

TEST(TextTransferTest, PlainTextOfARange) {
  TextFixture t;
  ASSERT_TRUE(t.Type(std::string("a") + kA + "\fb"));
  const Bytes expected = {'a', 0x82, 0xA0, '\r', '\n', 'b'};
  for (const int tag : {kFormatPlainText, kFormatBareText}) {
    int result = -1;
    EXPECT_EQ(WriteRange(t, Start(t), End(t), tag, &result), expected);
    EXPECT_EQ(result, 1);
  }
  int result = -1;
  EXPECT_TRUE(WriteRange(t, End(t), End(t), kFormatPlainText, &result).empty());
  EXPECT_EQ(result, 1);
  // A range of the page break alone gives its line end.
  EXPECT_EQ(WriteRange(t, t.CellAt(2), t.CellAt(2), kFormatPlainText, &result),
            (Bytes{'\r', '\n'}));
}

struct PlainCase {
  const char* name;
  std::string text;
  int expected;
  std::string cleaned;
};

class CheckPlainTextTest : public ::testing::TestWithParam<PlainCase> {};

TEST_P(CheckPlainTextTest, CleansAndChecks) {
  const PlainCase& c = GetParam();
  std::string text = c.text;
  EXPECT_EQ(CTextTransfer::CheckPlainText(&text), c.expected);
  if (c.expected == 1) {
    EXPECT_EQ(text, c.cleaned);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CheckPlainTextTest,
    ::testing::Values(PlainCase{"ControlBytes",
                                "a\x01"
                                "b\x0B"
                                "c",
                                1,
                                "a\xA5"
                                "b\xA5"
                                "c"},
                      PlainCase{"KeptControls", "\t\n\f\r", 1, "\t\n\f\r"},
                      PlainCase{"DoubleByte", "\x82\xA0\x81\x40\x83\x5C", 1,
                                "\x82\xA0\x81\x40\x83\x5C"},
                      PlainCase{"HalfWidthKana", "\xB1\xA5", 1, "\xB1\xA5"},
                      PlainCase{"StopsAtNul", std::string("ab\0\x01", 4), 1, "ab"},
                      PlainCase{"LoneLeadByteAtTheEnd", "ab\x82", 0, ""},
                      PlainCase{"LeadByteBeforeControl", "\x82\x0A", 0, ""},
                      PlainCase{"LeadByteBeforeNul", std::string("\xE0\0", 2), 0, ""}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace text_test
