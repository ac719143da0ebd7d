#include "model/font_table.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/sjis.h"
#include "platform/synthetic_fonts.h"
#include "platform/texts.h"

namespace {

using platform::kSyntheticFixedFace;
using platform::kSyntheticLatinFace;
using platform::kSyntheticProportionalFace;

uint32_t Key(int32_t size, uint8_t heightScale = 0, uint8_t widthScale = 0, bool bold = false,
             bool italic = false) {
  return MakeFontKey(heightScale, widthScale, MakeSizeWord(size, bold, italic));
}

std::string Sjis(const char* utf8) { return platform::Utf8ToSjis(utf8).value(); }

std::string FaceOf(platform::HFONT font) {
  platform::HDC dc = platform::GetDesktopDC();
  platform::SelectObject(dc, font);
  char face[32] = {};
  platform::GetTextFaceA(dc, sizeof face, face);
  return face;
}

platform::TEXTMETRICA MetricsOf(platform::HFONT font) {
  platform::HDC dc = platform::GetDesktopDC();
  platform::SelectObject(dc, font);
  platform::TEXTMETRICA tm;
  platform::GetTextMetricsA(dc, &tm);
  return tm;
}

TEST(FontKeyTest, PacksScalesAndSizeWordAndClampsOversizedSizes) {
  EXPECT_EQ(Key(105), 0x00696464u);
  EXPECT_EQ(Key(105, 100, 100), Key(105));
  EXPECT_EQ(MakeSizeWord(105, true, true), 0x8000 | 0x4000 | 105);
  // 16384 would otherwise read as italic with size 0.
  EXPECT_EQ(MakeSizeWord(16384, false, false), 0x3FFF);
  EXPECT_EQ(MakeSizeWord(-5, false, false), 0);
  CharFormat format;
  format.size = 120;
  format.heightScale = 50;
  format.bold = 1;
  EXPECT_EQ(FontKeyOf(format), MakeFontKey(50, 100, 0x8000 | 120));
}

// Exact metrics from the synthetic faces. At 1440 dpi a pixel is a twip.
class SyntheticFontTableTest : public ::testing::Test {
 protected:
  SyntheticFontTableTest() : scope_(synthetic_) {}

  int32_t Realize(const char* face, uint32_t key, int32_t dpi = 1440) {
    int32_t id = -1;
    EXPECT_NE(table_.GetFontEntry(dpi, dpi, face, key, &id, 0), nullptr) << face;
    return id;
  }

  std::vector<int32_t> Widths(int32_t id, const std::string& bytes) {
    std::vector<int32_t> widths(bytes.size(), -1);
    table_.GetCharWidths(id, bytes.data(), static_cast<int32_t>(bytes.size()), widths.data());
    return widths;
  }

  platform::SyntheticFontService synthetic_;
  platform::ScopedFontService scope_;
  CFontTable table_;
};

TEST_F(SyntheticFontTableTest, RealisedFontsAreReusedOnlyForTheSameKeyAndResolution) {
  const int32_t id = Realize(kSyntheticFixedFace, Key(105), 96);
  EXPECT_EQ(id, 0);
  EXPECT_EQ(Realize(kSyntheticFixedFace, Key(105, 100, 100), 96), id);
  EXPECT_EQ(Realize(kSyntheticFixedFace, Key(105), 120), 1);
  int32_t other = -1;
  EXPECT_NE(table_.GetFontEntry(96, 120, kSyntheticFixedFace, Key(105), &other, 0), nullptr);
  EXPECT_EQ(other, 2);
  EXPECT_EQ(Realize(kSyntheticFixedFace, Key(105, 0, 0, true), 96), 3);
  EXPECT_EQ(table_.RealizedCount(), 4);

  int32_t missing = 77;
  EXPECT_EQ(table_.GetFontEntry(96, 96, "No Such Face", Key(105), &missing, 0), nullptr);
  EXPECT_EQ(missing, 77);
  EXPECT_EQ(table_.RealizedCount(), 4);
  EXPECT_EQ(table_.GetEntryMetrics(4, nullptr, nullptr), nullptr);
  EXPECT_EQ(table_.GetEntryMetrics(-1, nullptr, nullptr), nullptr);
}

TEST_F(SyntheticFontTableTest, MetricsFollowTheEmSquareAtScreenResolution) {
  // 10.5 pt at 96 dpi: an em of 14 pixels, 12 above the baseline.
  const int32_t id = Realize(kSyntheticFixedFace, Key(105, 0, 0, true, true), 96);
  FontInfo info;
  platform::LOGFONTA logFont;
  ASSERT_NE(table_.GetEntryMetrics(id, &info, &logFont), nullptr);
  EXPECT_STREQ(info.face, kSyntheticFixedFace);
  EXPECT_EQ(info.size, 105);
  EXPECT_EQ(info.heightScale, 100);
  EXPECT_EQ(info.widthScale, 100);
  EXPECT_EQ(info.bold, 1);
  EXPECT_EQ(info.italic, 1);
  EXPECT_EQ(info.lineHeight, 210);
  EXPECT_EQ(info.ascent, 180);
  EXPECT_EQ(info.descent, 30);
  EXPECT_EQ(info.charSet, platform::SHIFTJIS_CHARSET);
  EXPECT_STREQ(logFont.lfFaceName, kSyntheticFixedFace);
  EXPECT_EQ(table_.GetCharWidth(id, 0x889F), 210);
  EXPECT_EQ(table_.GetCharWidth(id, 'A'), 105);
  EXPECT_EQ(table_.GetDeviceEntryMetrics(id, &info, nullptr), nullptr);  // no printer yet
}

TEST_F(SyntheticFontTableTest, HeightAndWidthScalesChangeAscentAndEmWidth) {
  const int32_t tall = Realize(kSyntheticFixedFace, Key(100, 200, 0));
  FontInfo info;
  table_.GetEntryMetrics(tall, &info, nullptr);
  EXPECT_EQ(info.lineHeight, 200);  // the line height stays the em's
  EXPECT_EQ(info.ascent, 350);
  EXPECT_EQ(info.descent, 50);

  const int32_t narrow = Realize(kSyntheticFixedFace, Key(100, 0, 50));
  EXPECT_EQ(Widths(narrow,
                   "\x88\x9F"
                   "A"),
            (std::vector<int32_t>{100, 0, 50}));
  // The screen font is made twice, the second time at half the width.
  const platform::TEXTMETRICA tm = MetricsOf(table_.GetEntryMetrics(narrow, nullptr, nullptr));
  EXPECT_EQ(tm.tmHeight, 13);
  EXPECT_EQ(tm.tmAveCharWidth, 3);
}

TEST_F(SyntheticFontTableTest, FixedPitchWidthsAreFullForDoubleBytesAndHalfForSingles) {
  const int32_t id = Realize(kSyntheticFixedFace, Key(100));
  EXPECT_EQ(Widths(id,
                   "A\x82\xA0"
                   "B"),
            (std::vector<int32_t>{100, 200, 0, 100}));
  // 0xFD leads here although CP932 stops at 0xFC.
  EXPECT_EQ(Widths(id, "\xFD\x40"), (std::vector<int32_t>{200, 0}));
  // A lead byte at the end has no trail byte to take.
  EXPECT_EQ(Widths(id, "A\x82"), (std::vector<int32_t>{100, 100}));

  const int32_t latin = Realize(kSyntheticLatinFace, Key(100));
  EXPECT_EQ(Widths(latin,
                   "\x82\xA0"
                   "A"),
            (std::vector<int32_t>{100, 100, 100}));
}

TEST_F(SyntheticFontTableTest, ProportionalWidthsAreMeasuredExceptForKanji) {
  const int32_t id = Realize(kSyntheticProportionalFace, Key(100));
  // A 3/4, space 1/4, あ 7/8, 亜 (kanji) full, 0x80 unmeasurable: half.
  EXPECT_EQ(Widths(id, "A \x82\xA0\x88\x9F\x80"),
            (std::vector<int32_t>{150, 50, 175, 0, 200, 0, 100}));
  EXPECT_EQ(table_.GetCharWidth(id, 0x82A0), 175);
  // A narrowed face measures as narrow as it is drawn.
  const int32_t narrow = Realize(kSyntheticProportionalFace, Key(100, 0, 50));
  EXPECT_EQ(Widths(narrow, "A"), (std::vector<int32_t>{75}));
}

TEST_F(SyntheticFontTableTest, PunctuationBlanksComeFromAbcWidths) {
  const int32_t id = Realize(kSyntheticFixedFace, Key(100));
  struct Case {
    uint16_t code;
    int result;
    int32_t blank;
  };
  for (const Case c :
       {Case{0x8141, 1, 100}, Case{0x8144, 1, 100}, Case{0x8165, 1, -100}, Case{0x8166, 1, 100},
        Case{0x817A, 1, 100}, Case{0x8179, 1, -100}, Case{0x8145, 0, 0}, Case{0x82A0, 0, 0}}) {
    int32_t blank = 0;
    EXPECT_EQ(table_.GetPunctuationSpace(id, c.code, &blank), c.result) << std::hex << c.code;
    EXPECT_EQ(blank, c.blank) << std::hex << c.code;
  }
  EXPECT_EQ(CFontTable::PunctuationIndex(0x8141), 1);
  EXPECT_EQ(CFontTable::PunctuationIndex(0x8165), 5);
  EXPECT_EQ(CFontTable::PunctuationIndex(0x817A), 26);
  int32_t blank = 0;
  const int32_t proportional = Realize(kSyntheticProportionalFace, Key(100));
  EXPECT_EQ(table_.GetPunctuationSpace(proportional, 0x8141, &blank), 0);
}

TEST_F(SyntheticFontTableTest, ZoomRebuildsScreenFontsAndDeviceFontsUseNoZoom) {
  const int32_t id = Realize(kSyntheticFixedFace, Key(105), 96);
  EXPECT_EQ(MetricsOf(table_.GetEntryMetrics(id, nullptr, nullptr)).tmHeight, 14);
  table_.SetZoom(2);
  EXPECT_EQ(MetricsOf(table_.GetEntryMetrics(id, nullptr, nullptr)).tmHeight, 28);

  const platform::UniqueDC printer = platform::CreateImageDC(1, 1, 600, 600);
  table_.RealizeForDevice(printer.get());
  EXPECT_EQ(MetricsOf(table_.GetDeviceEntryMetrics(id, nullptr, nullptr)).tmHeight, 88);
  table_.ReleaseDeviceFonts();
  EXPECT_EQ(table_.GetDeviceEntryMetrics(id, nullptr, nullptr), nullptr);

  table_.ReleaseFonts();
  EXPECT_EQ(table_.GetEntryMetrics(id, nullptr, nullptr), nullptr);
  int32_t again = -1;
  EXPECT_NE(table_.GetFontEntry(96, 96, kSyntheticFixedFace, Key(105), &again, 0), nullptr);
  EXPECT_EQ(again, id);
}

TEST_F(SyntheticFontTableTest, VerticalFaceIsDrawnWithTheUprightFaceAndItsEscapement) {
  int32_t id = -1;
  platform::HFONT font = table_.GetFontEntry(96, 96, "@Synthetic Fixed", Key(105), &id, 2700);
  ASSERT_NE(font, nullptr);
  EXPECT_EQ(FaceOf(font), kSyntheticFixedFace);
  platform::LOGFONTA logFont;
  table_.GetEntryMetrics(id, nullptr, &logFont);
  EXPECT_STREQ(logFont.lfFaceName, "@Synthetic Fixed");
  EXPECT_EQ(logFont.lfEscapement, 2700);
  // Another escapement is another entry and another realised font.
  int32_t upright = -1;
  table_.GetFontEntry(96, 96, "@Synthetic Fixed", Key(105), &upright, 0);
  EXPECT_NE(upright, id);
}

TEST_F(SyntheticFontTableTest, CreatesFontsForFacesAndFormatsOnTheGivenDevice) {
  const platform::UniqueDC dc = platform::CreateImageDC(1, 1, 192, 192);
  EXPECT_EQ(table_.CreateFontForFace(dc.get(), "No Such Face", 105, 0, true), nullptr);
  // Only the size bits count: bold is dropped.
  const platform::UniqueFont font =
      table_.CreateFontForFace(dc.get(), kSyntheticFixedFace, 0x8000 | 105, 0, false);
  ASSERT_NE(font, nullptr);
  EXPECT_EQ(MetricsOf(font.get()).tmHeight, 28);
  EXPECT_EQ(MetricsOf(font.get()).tmWeight, platform::FW_NORMAL);
  table_.SetZoom(2);
  EXPECT_EQ(MetricsOf(table_.CreateFontForFace(dc.get(), kSyntheticFixedFace, 105, 0, true).get())
                .tmHeight,
            56);
  CharFormat format;
  std::strcpy(format.face, kSyntheticFixedFace);
  format.size = 105;
  format.bold = 1;
  const platform::UniqueFont bold = table_.CreateFontFromFormat(dc.get(), format, false);
  ASSERT_NE(bold, nullptr);
  EXPECT_EQ(MetricsOf(bold.get()).tmWeight, platform::FW_BOLD);
}

TEST(FontTablesTest, ResetGivesFreshTables) {
  platform::SyntheticFontService synthetic;
  platform::ScopedFontService scope(synthetic);
  ResetFontTables();
  int32_t id = -1;
  RendererFontTable().GetFontEntry(96, 96, kSyntheticFixedFace, Key(105), &id, 0);
  EXPECT_EQ(RendererFontTable().RealizedCount(), 1);
  EXPECT_EQ(ViewFontTable().RealizedCount(), 0);
  ResetFontTables();
  EXPECT_EQ(RendererFontTable().RealizedCount(), 0);
}

// The same rules over the real IPA faces behind the Windows names.
class HostFontTableTest : public ::testing::Test {
 protected:
  CFontTable table_;
};

TEST_F(HostFontTableTest, MinchoMeasuresLikeAFixedPitchFaceOfOneEmLineHeight) {
  int32_t id = -1;
  ASSERT_NE(table_.GetFontEntry(96, 96, platform::kFaceMsMincho, Key(105), &id, 0), nullptr);
  FontInfo info;
  table_.GetEntryMetrics(id, &info, nullptr);
  EXPECT_EQ(info.lineHeight, 210);
  EXPECT_EQ(info.charSet, platform::SHIFTJIS_CHARSET);
  EXPECT_EQ(table_.GetCharWidth(id, 'A'), 105);
  EXPECT_EQ(table_.GetCharWidth(id, 0x82A0), 210);
  // The IPA punctuation has ink inside its cell: no negative A or C.
  int32_t blank = -1;
  EXPECT_EQ(table_.GetPunctuationSpace(id, 0x8141, &blank), 1);
  EXPECT_EQ(blank, 0);
}

TEST_F(HostFontTableTest, ProportionalMinchoMeasuresEachCharacter) {
  int32_t id = -1;
  ASSERT_NE(table_.GetFontEntry(96, 96, platform::kFaceMsPMincho, Key(105), &id, 0), nullptr);
  // Design widths 1483 and 1843 of 2048 at an em of 14 pixels.
  EXPECT_EQ(table_.GetCharWidth(id, 'A'), 150);
  EXPECT_EQ(table_.GetCharWidth(id, 0x82A0), 195);
  EXPECT_EQ(table_.GetCharWidth(id, 0x889F), 210);
}

TEST_F(HostFontTableTest, MinchoAsGothicRebuildsTheScreenFontsWithTheGothicFace) {
  int32_t id = -1;
  table_.GetFontEntry(96, 96, platform::kFaceMsMincho, Key(105), &id, 0);
  EXPECT_EQ(FaceOf(table_.GetEntryMetrics(id, nullptr, nullptr)), platform::kFaceMsMincho);
  table_.SetMinchoAsGothic(1);
  EXPECT_EQ(FaceOf(table_.GetEntryMetrics(id, nullptr, nullptr)), platform::kFaceMsGothic);
  FontInfo info;
  table_.GetEntryMetrics(id, &info, nullptr);
  EXPECT_STREQ(info.face, platform::kFaceMsMincho);  // the document's face stays
  // Paper gets the document's face.
  const platform::UniqueDC printer = platform::CreateImageDC(1, 1, 600, 600);
  table_.RealizeForDevice(printer.get());
  EXPECT_EQ(FaceOf(table_.GetDeviceEntryMetrics(id, nullptr, nullptr)), platform::kFaceMsMincho);
}

struct ResolveCase {
  const char* utf8Face;
  uint8_t charSet;
  uint8_t pitchAndFamily;
  int result;
  const char* utf8Expected;
};

class ResolveFontFaceTest : public ::testing::TestWithParam<ResolveCase> {};

TEST_P(ResolveFontFaceTest, FindsAnInstalledFaceOfTheSameClassAndDirection) {
  const ResolveCase& c = GetParam();
  char face[32] = {};
  std::strcpy(face, Sjis(c.utf8Face).c_str());
  EXPECT_EQ(
      CFontTable::ResolveFontFace(platform::GetDesktopDC(), face, c.charSet, c.pitchAndFamily),
      c.result);
  EXPECT_EQ(std::string(face), Sjis(c.utf8Expected));
}

constexpr uint8_t kFixedModern = platform::FIXED_PITCH | platform::FF_MODERN;

INSTANTIATE_TEST_SUITE_P(
    Cases, ResolveFontFaceTest,
    ::testing::Values(ResolveCase{"ＭＳ ゴシック", 128, 0, 1, "ＭＳ ゴシック"},
                      ResolveCase{"HG明朝E", 128, kFixedModern, 1, "ＭＳ 明朝"},
                      ResolveCase{"HGゴシックE", 128, kFixedModern, 1, "ＭＳ ゴシック"},
                      ResolveCase{"HGｺﾞｼｯｸM", 128, kFixedModern, 1, "ＭＳ ゴシック"},
                      ResolveCase{"@HG明朝E", 128, kFixedModern, 1, "@ＭＳ 明朝"},
                      ResolveCase{"HGPゴシックE", 128,
                                  platform::VARIABLE_PITCH | platform::FF_SWISS, 1,
                                  "ＭＳ Ｐゴシック"},
                      ResolveCase{"HGPｺﾞｼｯｸE", 128, kFixedModern, 1, "ＭＳ ゴシック"},
                      // No pop face is installed: the first face of the set and pitch.
                      ResolveCase{"ﾎﾟｯﾌﾟ体", 128, kFixedModern, 1, "ＭＳ 明朝"},
                      // Nothing of that pitch in the symbol set: any pitch will do.
                      ResolveCase{"Wingdings", 2, kFixedModern, 1, "ZNT Symbol"},
                      ResolveCase{"Nothing", 77, 0, 0, "Nothing"}));

TEST(FaceExistsTest, LooksForTheVerticalForm) {
  char face[32] = {};
  std::strcpy(face, platform::kFaceMsMincho);
  EXPECT_TRUE(CFontTable::FaceExists(platform::GetDesktopDC(), face, false));
  EXPECT_STREQ(face, platform::kFaceMsMincho);
  EXPECT_TRUE(CFontTable::FaceExists(platform::GetDesktopDC(), face, true));
  EXPECT_EQ(std::string(face), std::string("@") + platform::kFaceMsMincho);
  EXPECT_TRUE(CFontTable::FaceExists(platform::GetDesktopDC(), face, true));  // already vertical
  std::strcpy(face, "ZNT Symbol");
  EXPECT_FALSE(CFontTable::FaceExists(platform::GetDesktopDC(), face, true));
  EXPECT_STREQ(face, "ZNT Symbol");
}

}  // namespace
