#include "engine/doc_style.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/archive.h"
#include "platform/file.h"

namespace {

using Bytes = std::vector<uint8_t>;

// "ＭＳ 明朝"
constexpr char kMincho[] = "\x82\x6C\x82\x72\x20\x96\xBE\x92\xA9";
// Line-start-forbidden "、。" and line-end-forbidden "（".
constexpr char kStartList[] = "\x81\x41\x81\x42";
constexpr char kEndList[] = "\x81\x69";

// An A4 page with 20 mm margins at 96 dpi, 40 characters by 30 lines of a
// 10.5 pt Mincho whose line is 210 twips with a 25-twip descent.
DocStyle A4Style() {
  DocStyle s;
  s.paperWidth = 2100;
  s.paperHeight = 2970;
  s.textAreaTenthMm = {200, 200, 1900, 2770};
  s.textAreaTwips = {1134, 1134, 10772, 15704};
  s.textWidth = 9638;
  s.textHeight = 14570;
  s.resolutionX = 96;
  s.resolutionY = 96;
  std::strcpy(s.face, kMincho);
  s.fontSize = 105;
  s.heightScale = 100;
  s.widthScale = 100;
  s.lineStartRule = -1;
  std::strcpy(s.lineStartChars, kStartList);
  s.lineEndRule = -1;
  std::strcpy(s.lineEndChars, kEndList);
  s.tabInterval = 4;
  s.firstIndent = 1;
  s.leftIndent = 2;
  s.rightIndent = 3;
  return s;
}

TEST(PitchRuleTest, GapsAreWholeTenthsOfAMillimetreAndTheTextWidthGrows) {
  DocStyle s = A4Style();
  ASSERT_TRUE(ApplyPitchRule(s, 40, 30, 210, 25));
  // 9638 / 40 = 240; gap 240 - 105 = 135 twips = 2.4 mm -> 136 twips.
  EXPECT_EQ(s.charGap, 136);
  EXPECT_EQ(s.charPitch, 241);
  // 241 x 40 = 9640 does not fit 9638: width and right edge grow.
  EXPECT_EQ(s.textWidth, 9640);
  EXPECT_EQ(s.textAreaTwips.right, 1134 + 9640);
  EXPECT_EQ(s.textAreaTenthMm.right, 1900);  // the paper's own area stays
  // 14570 / 30 = 485; gap 485 - 285 = 200 twips = 3.5 mm -> 198 twips.
  EXPECT_EQ(s.lineGap, 198);
  EXPECT_EQ(s.linePitch, 483);
  EXPECT_EQ(s.textHeight, 14570);  // 483 x 30 fits
  EXPECT_EQ(s.textAreaTwips.bottom, 15704);
}

TEST(PitchRuleTest, RefusesNonPositiveCounts) {
  DocStyle s = A4Style();
  EXPECT_FALSE(ApplyPitchRule(s, 0, 30, 210, 25));
  EXPECT_FALSE(ApplyPitchRule(s, 40, -1, 210, 25));
  EXPECT_EQ(s.charPitch, 0);
}

void Put(Bytes& b, size_t offset, uint32_t value, size_t size) {
  for (size_t i = 0; i < size; ++i) b[offset + i] = static_cast<uint8_t>(value >> (8 * i));
}

void PutText(Bytes& b, size_t offset, const char* text) {
  std::memcpy(b.data() + offset, text, std::strlen(text));
}

DocStyle FullStyle() {
  DocStyle s = A4Style();
  ApplyPitchRule(s, 40, 30, 210, 25);
  s.vertical = 1;
  std::strcpy(s.pageNumbers.face, "Num");
  s.pageNumbers.fontSize = 90;
  s.pageNumbers.bold = 1;
  s.pageNumbers.area = {1134, 16000, 10774, 16300};
  s.pageNumbers.shown = 1;
  s.pageNumbers.firstNumber = -3;
  s.pageNumbers.alignment = 3;
  s.pageNumbers.style = 2;
  std::strcpy(s.marker, "0001");
  s.orientation = 2;
  return s;
}

// The record as laid out field by field, offsets as documented.
Bytes HandWrittenFullStyle() {
  Bytes b(704, 0);
  Put(b, 0, 2100, 4);
  Put(b, 4, 2970, 4);
  Put(b, 8, 200, 4);
  Put(b, 12, 200, 4);
  Put(b, 16, 1900, 4);
  Put(b, 20, 2770, 4);
  Put(b, 24, 1134, 4);
  Put(b, 28, 1134, 4);
  Put(b, 32, 10774, 4);
  Put(b, 36, 15704, 4);
  Put(b, 40, 9640, 4);
  Put(b, 44, 14570, 4);
  Put(b, 48, 96, 4);
  Put(b, 52, 96, 4);
  PutText(b, 56, kMincho);
  Put(b, 88, 105, 4);
  b[92] = 100;
  b[93] = 100;
  Put(b, 96, 1, 2);
  Put(b, 98, 0xFFFF, 2);
  PutText(b, 100, kStartList);
  Put(b, 228, 0xFFFF, 2);
  PutText(b, 230, kEndList);
  Put(b, 358, 4, 2);
  Put(b, 360, 1, 2);
  Put(b, 362, 2, 2);
  Put(b, 364, 3, 2);
  Put(b, 368, 136, 4);
  Put(b, 372, 198, 4);
  Put(b, 376, 241, 4);
  Put(b, 380, 483, 4);
  PutText(b, 384, "Num");
  Put(b, 416, 90, 4);
  b[422] = 1;
  Put(b, 424, 1134, 4);
  Put(b, 428, 16000, 4);
  Put(b, 432, 10774, 4);
  Put(b, 436, 16300, 4);
  Put(b, 440, 1, 2);
  Put(b, 442, 0xFFFD, 2);
  Put(b, 444, 3, 2);
  Put(b, 446, 2, 2);
  PutText(b, 448, "0001");
  Put(b, 464, 2, 2);
  return b;
}

TEST(DocStyleTest, EncodesEveryFieldAtItsOffset) {
  const DocStyleBytes encoded = EncodeDocStyle(FullStyle());
  EXPECT_EQ(Bytes(encoded.begin(), encoded.end()), HandWrittenFullStyle());
}

TEST(DocStyleTest, DecodeReadsTheHandWrittenRecord) {
  const Bytes golden = HandWrittenFullStyle();
  DocStyleBytes bytes{};
  std::memcpy(bytes.data(), golden.data(), bytes.size());
  const DocStyle s = DecodeDocStyle(bytes);
  const DocStyle expected = FullStyle();
  EXPECT_EQ(s.textAreaTwips, expected.textAreaTwips);
  EXPECT_STREQ(s.face, kMincho);
  EXPECT_STREQ(s.lineEndChars, kEndList);
  EXPECT_EQ(s.lineStartRule, -1);
  EXPECT_EQ(s.rightIndent, 3);
  EXPECT_EQ(s.linePitch, 483);
  EXPECT_EQ(s.pageNumbers.firstNumber, -3);
  EXPECT_EQ(s.pageNumbers.area, expected.pageNumbers.area);
  EXPECT_STREQ(s.marker, "0001");
  EXPECT_EQ(s.orientation, 2);
  EXPECT_EQ(EncodeDocStyle(s), bytes);
}

TEST(DocStyleTest, UnterminatedTextFieldsComeBackTerminated) {
  DocStyleBytes bytes{};
  std::memset(bytes.data() + 56, 'A', 32);
  std::memset(bytes.data() + 100, 'B', 128);
  std::memset(bytes.data() + 384, 'C', 32);
  const DocStyle s = DecodeDocStyle(bytes);
  EXPECT_EQ(std::strlen(s.face), 31u);
  EXPECT_EQ(std::strlen(s.lineStartChars), 127u);
  EXPECT_EQ(std::strlen(s.pageNumbers.face), 31u);
}

TEST(DocStyleTest, ArchiveRoundTripAndShortRead) {
  platform::CMemFile file;
  {
    platform::CArchive archive(&file, platform::CArchive::kStore);
    WriteDocStyle(archive, FullStyle());
  }
  ASSERT_EQ(file.GetLength(), 704u);
  file.Seek(0, platform::CFile::kBegin);
  {
    platform::CArchive archive(&file, platform::CArchive::kLoad);
    DocStyle s;
    ASSERT_TRUE(ReadDocStyle(archive, s));
    EXPECT_EQ(s.charPitch, 241);
  }
  file.SetLength(703);
  file.Seek(0, platform::CFile::kBegin);
  platform::CArchive archive(&file, platform::CArchive::kLoad);
  DocStyle untouched = A4Style();
  EXPECT_FALSE(ReadDocStyle(archive, untouched));
  EXPECT_EQ(untouched.charPitch, 0);
}

TEST(DocStyleTest, OnlyPositivePitchesAreUsable) {
  EXPECT_TRUE(IsUsableDocStyle(FullStyle()));
  EXPECT_FALSE(IsUsableDocStyle(A4Style()));  // no pitches yet
  DocStyle zeroDpi = FullStyle();
  zeroDpi.resolutionY = 0;
  EXPECT_FALSE(IsUsableDocStyle(zeroDpi));
}

TEST(BuildPageFormatTest, CopiesFieldsAndTurnsCharactersIntoTwips) {
  const DocStyle s = FullStyle();
  auto* dc = reinterpret_cast<platform::HDC>(0x1234);
  PageFormat f;
  f.cellFlag = 1;
  BuildPageFormat(s, dc, f);
  EXPECT_EQ(f.referenceDC, dc);
  EXPECT_EQ(f.resolutionX, 96);
  EXPECT_EQ(f.textWidth, 9640);
  EXPECT_EQ(f.textHeight, -1);  // body text is unbounded
  EXPECT_STREQ(f.face, kMincho);
  EXPECT_EQ(f.fontSize, 105);
  EXPECT_EQ(f.vertical, 1);
  EXPECT_EQ(f.lineStartRule, -1);
  EXPECT_STREQ(f.lineStartChars, kStartList);
  EXPECT_STREQ(f.lineEndChars, kEndList);
  EXPECT_EQ(f.tabInterval, 4 * 241);
  EXPECT_EQ(f.firstIndent, 241);
  EXPECT_EQ(f.leftIndent, 2 * 241);
  EXPECT_EQ(f.rightIndent, 3 * 241);
  EXPECT_EQ(f.charGap, 136);
  EXPECT_EQ(f.lineGap, 198);
  EXPECT_EQ(f.charPitch, 241);
  EXPECT_EQ(f.linePitch, 483);
  EXPECT_EQ(f.cellFlag, 0);
}

}  // namespace
