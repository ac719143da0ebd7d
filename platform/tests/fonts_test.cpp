#include <gtest/gtest.h>

#include <cstring>

#include "platform/gdi.h"
#include "platform/host_fonts.h"
#include "platform/sjis.h"
#include "platform/synthetic_fonts.h"
#include "platform/texts.h"

namespace platform {
namespace {

std::string Sjis(const char* utf8) { return Utf8ToSjis(utf8).value(); }

TEST(FaceNamesTest, AreTheirCp932Spellings) {
  EXPECT_EQ(kFaceMsMincho, Sjis("ＭＳ 明朝"));
  EXPECT_EQ(kFaceMsGothic, Sjis("ＭＳ ゴシック"));
  EXPECT_EQ(kFaceMsPMincho, Sjis("ＭＳ Ｐ明朝"));
  EXPECT_EQ(kFaceMsPGothic, Sjis("ＭＳ Ｐゴシック"));
  EXPECT_EQ(kFaceZntSymbol, std::string("ZNT Symbol"));
}

struct MappedFace {
  const char* name;
  uint8_t pitch;
};

class HostFaceTest : public ::testing::TestWithParam<MappedFace> {};

// The Windows names stand for the IPA faces, with the IPA faces' metrics.
TEST_P(HostFaceTest, WindowsNameIsListedAndMeasuresLikeItsIpaFace) {
  const FaceDescription* face = FindFace(HostFontService(), GetParam().name);
  ASSERT_NE(face, nullptr);
  EXPECT_EQ(face->charSet, SHIFTJIS_CHARSET);
  EXPECT_EQ(face->pitchAndFamily & 3, GetParam().pitch);
  EXPECT_TRUE(face->trueType);
  EXPECT_NE(FindFace(HostFontService(), std::string("@") + GetParam().name), nullptr);

  LOGFONTA lf;
  lf.lfHeight = -2048;
  std::strcpy(lf.lfFaceName, GetParam().name);
  UniqueFont font = CreateFontIndirectA(lf);
  ASSERT_NE(font, nullptr);
  HDC dc = GetDesktopDC();
  SelectObject(dc, font.get());
  OUTLINETEXTMETRICA otm;
  ASSERT_TRUE(GetOutlineTextMetricsA(dc, &otm));
  EXPECT_EQ(otm.otmEMSquare, 2048u);
  EXPECT_EQ(otm.otmAscent, 1802);
  EXPECT_EQ(otm.otmDescent, 246);
  int32_t width = 0;
  ASSERT_TRUE(GetCharWidthA(dc, 0x82A0, 0x82A0, &width));  // あ
  if (GetParam().pitch == FIXED_PITCH) {
    EXPECT_EQ(width, 2048);
    ASSERT_TRUE(GetCharWidthA(dc, 'i', 'i', &width));
    EXPECT_EQ(width, 1024);
  } else {
    EXPECT_LT(width, 2048);
  }
}

INSTANTIATE_TEST_SUITE_P(Mapped, HostFaceTest,
                         ::testing::Values(MappedFace{kFaceMsMincho, FIXED_PITCH},
                                           MappedFace{kFaceMsGothic, FIXED_PITCH},
                                           MappedFace{kFaceMsPMincho, VARIABLE_PITCH},
                                           MappedFace{kFaceMsPGothic, VARIABLE_PITCH}));

TEST(HostFontsTest, IpaFacesKeepTheirOwnNamesAndTheMarkFaceIsASymbolFace) {
  EXPECT_NE(FindFace(HostFontService(), "IPAMincho"), nullptr);
  EXPECT_NE(FindFace(HostFontService(), Sjis("IPA明朝")), nullptr);
  const FaceDescription* marks = FindFace(HostFontService(), kFaceZntSymbol);
  ASSERT_NE(marks, nullptr);
  EXPECT_EQ(marks->charSet, SYMBOL_CHARSET);
  LOGFONTA lf;
  std::strcpy(lf.lfFaceName, "No Such Face");
  EXPECT_EQ(CreateFontIndirectA(lf), nullptr);
}

TEST(FontObjectTest, GetObjectAnswersTheFontAsItWasAskedFor) {
  SyntheticFontService synthetic;
  ScopedFontService scope(synthetic);
  LOGFONTA asked;
  asked.lfHeight = -24;
  asked.lfWeight = FW_NORMAL;
  asked.lfItalic = 1;
  std::strcpy(asked.lfFaceName, kSyntheticLatinFace);
  const UniqueFont font = CreateFontIndirectA(asked);
  ASSERT_NE(font, nullptr);
  LOGFONTA read;
  ASSERT_TRUE(GetObjectA(font.get(), &read));
  EXPECT_EQ(read.lfHeight, -24);
  EXPECT_EQ(read.lfItalic, 1);
  EXPECT_STREQ(read.lfFaceName, kSyntheticLatinFace);
  EXPECT_FALSE(GetObjectA(nullptr, &read));
}

TEST(EnumFontFamiliesTest, FiltersByCharacterSetAndNameAndStopsOnZero) {
  SyntheticFontService synthetic;
  ScopedFontService scope(synthetic);
  LOGFONTA filter;
  filter.lfCharSet = SHIFTJIS_CHARSET;
  std::vector<std::string> names;
  EnumFontFamiliesExA(GetDesktopDC(), filter,
                      [&](const LOGFONTA& lf, const TEXTMETRICA&, uint32_t) {
                        names.emplace_back(lf.lfFaceName);
                        return 1;
                      });
  EXPECT_EQ(names,
            (std::vector<std::string>{kSyntheticFixedFace, "@Synthetic Fixed",
                                      kSyntheticProportionalFace, "@Synthetic Proportional"}));
  filter.lfCharSet = DEFAULT_CHARSET;
  std::strcpy(filter.lfFaceName, kSyntheticLatinFace);
  int calls = 0;
  EXPECT_EQ(EnumFontFamiliesExA(GetDesktopDC(), filter,
                                [&](const LOGFONTA& lf, const TEXTMETRICA&, uint32_t type) {
                                  ++calls;
                                  EXPECT_EQ(lf.lfCharSet, ANSI_CHARSET);
                                  EXPECT_EQ(type, TRUETYPE_FONTTYPE);
                                  return 0;
                                }),
            0);
  EXPECT_EQ(calls, 1);
}

class SyntheticMetricsTest : public ::testing::Test {
 protected:
  SyntheticMetricsTest() : scope_(synthetic_) {}

  UniqueFont Select(const char* face, int32_t height, int32_t width = 0) {
    LOGFONTA lf;
    lf.lfHeight = height;
    lf.lfWidth = width;
    std::strcpy(lf.lfFaceName, face);
    UniqueFont font = CreateFontIndirectA(lf);
    SelectObject(GetDesktopDC(), font.get());
    return font;
  }

  SyntheticFontService synthetic_;
  ScopedFontService scope_;
};

TEST_F(SyntheticMetricsTest, WidthsAndMetricsAreExact) {
  const UniqueFont font = Select(kSyntheticProportionalFace, -2048);
  HDC dc = GetDesktopDC();
  int32_t widths[4] = {};
  ASSERT_TRUE(GetCharWidthA(dc, 0x40, 0x43, widths));  // @ A B C
  EXPECT_EQ(widths[0], 1024);
  EXPECT_EQ(widths[1], 1536);
  ASSERT_TRUE(GetCharWidthA(dc, 0x82A0, 0x82A0, widths));
  EXPECT_EQ(widths[0], 1792);
  EXPECT_FALSE(GetCharWidthA(dc, 0x7F, 0x7F, widths));
  TEXTMETRICA tm;
  ASSERT_TRUE(GetTextMetricsA(dc, &tm));
  EXPECT_EQ(tm.tmHeight, 2048);
  EXPECT_EQ(tm.tmAscent, 1792);
  EXPECT_EQ(tm.tmDescent, 256);
  EXPECT_EQ(tm.tmCharSet, SHIFTJIS_CHARSET);
}

TEST_F(SyntheticMetricsTest, PunctuationBlanksShowInAbcWidths) {
  const UniqueFont font = Select(kSyntheticFixedFace, -2048);
  ABC abc[3];
  ASSERT_TRUE(GetCharABCWidthsA(GetDesktopDC(), 0x8141, 0x8141, abc));
  EXPECT_EQ(abc[0].abcC, -1024);
  ASSERT_TRUE(GetCharABCWidthsA(GetDesktopDC(), 0x8169, 0x816B, abc));  // （ ） 〔
  EXPECT_EQ(abc[0].abcA, -1024);
  EXPECT_EQ(abc[1].abcC, -1024);
  EXPECT_EQ(abc[2].abcA, -1024);
}

TEST_F(SyntheticMetricsTest, WidthAndCellHeightScaleTheFont) {
  // A cell height of 16 pixels is an em of 16; a width of 4 halves the
  // natural average of 8.
  const UniqueFont font = Select(kSyntheticFixedFace, 16, 4);
  TEXTMETRICA tm;
  ASSERT_TRUE(GetTextMetricsA(GetDesktopDC(), &tm));
  EXPECT_EQ(tm.tmHeight, 16);
  EXPECT_EQ(tm.tmAveCharWidth, 4);
  int32_t width = 0;
  ASSERT_TRUE(GetCharWidthA(GetDesktopDC(), 0x889F, 0x889F, &width));
  EXPECT_EQ(width, 8);
}

}  // namespace
}  // namespace platform
