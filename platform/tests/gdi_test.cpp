#include "platform/gdi.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "platform/sjis.h"
#include "platform/synthetic_fonts.h"
#include "platform/texts.h"

namespace platform {
namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kRed = RGB(255, 0, 0);

int CountInk(HDC dc, const RECT& box) {
  int ink = 0;
  for (int y = box.top; y < box.bottom; ++y) {
    for (int x = box.left; x < box.right; ++x) ink += GetPixel(dc, x, y) != kWhite;
  }
  return ink;
}

UniqueFont MakeFont(const char* face, int32_t emPixels) {
  LOGFONTA lf;
  lf.lfHeight = -emPixels;
  std::strcpy(lf.lfFaceName, face);
  return CreateFontIndirectA(lf);
}

TEST(DeviceContextTest, ImageAndPrinterReportTheirCapabilities) {
  const UniqueDC screen = CreateImageDC(10, 10);
  EXPECT_EQ(GetDeviceCaps(screen.get(), LOGPIXELSX), kDefaultScreenDpi);
  EXPECT_EQ(GetDeviceCaps(screen.get(), PHYSICALOFFSETX), 0);
  EXPECT_EQ(GetPixel(screen.get(), 3, 3), kWhite);
  EXPECT_EQ(GetPixel(screen.get(), 10, 3), CLR_INVALID);
  {
    ScopedScreenResolution dpi(120, 144);
    EXPECT_EQ(GetDeviceCaps(GetDesktopDC(), LOGPIXELSY), 144);
    EXPECT_EQ(GetDeviceCaps(CreateImageDC(1, 1).get(), LOGPIXELSX), 120);
  }
  EXPECT_EQ(GetDeviceCaps(GetDesktopDC(), LOGPIXELSY), kDefaultScreenDpi);

  const auto path = std::filesystem::path(::testing::TempDir()) / "gdi_printer.pdf";
  {
    const UniqueDC printer =
        CreatePdfDC(path.string(), PrinterSetup{300, 300, SIZE{2480, 3508}, POINT{50, 60}});
    ASSERT_NE(printer, nullptr);
    EXPECT_EQ(GetDeviceCaps(printer.get(), LOGPIXELSX), 300);
    EXPECT_EQ(GetDeviceCaps(printer.get(), PHYSICALOFFSETX), 50);
    EXPECT_EQ(GetDeviceCaps(printer.get(), PHYSICALOFFSETY), 60);
    EXPECT_EQ(GetPixel(printer.get(), 1, 1), CLR_INVALID);
    const UniqueBrush hatch = CreateHatchBrush(HS_CROSS, kRed);
    SelectObject(printer.get(), hatch.get());
    EXPECT_TRUE(PatBlt(printer.get(), 0, 0, 100, 100, PATCOPY));
    EXPECT_FALSE(PatBlt(printer.get(), 0, 0, 100, 100, PATAND));
  }
  EXPECT_GT(std::filesystem::file_size(path), 0u);
}

TEST(TextOutTest, JapaneseRunWithTheIpaFaceInksWhereTheGlyphsAre) {
  const UniqueDC dc = CreateImageDC(200, 60);
  const UniqueFont font = MakeFont(kFaceMsMincho, 32);
  ASSERT_NE(font, nullptr);
  SelectObject(dc.get(), font.get());
  SetTextAlign(dc.get(), TA_BASELINE);
  SetBkMode(dc.get(), TRANSPARENT);
  SetTextColor(dc.get(), kBlack);
  const std::string text = Utf8ToSjis("日本語").value();
  ASSERT_TRUE(ExtTextOutA(dc.get(), 10, 40, 0, nullptr, text.data(),
                          static_cast<int32_t>(text.size()), nullptr));
  // Three full-width glyphs of 32 pixels from x 10, above the baseline at 40.
  for (int glyph = 0; glyph < 3; ++glyph) {
    EXPECT_GT(CountInk(dc.get(), RECT{10 + 32 * glyph, 12, 42 + 32 * glyph, 44}), 40) << glyph;
  }
  EXPECT_EQ(CountInk(dc.get(), RECT{0, 0, 200, 8}), 0);
  EXPECT_EQ(CountInk(dc.get(), RECT{110, 0, 200, 60}), 0);
}

TEST(TextOutTest, BoldIpaRunCarriesMoreInkThanPlain) {
  const std::string text = Utf8ToSjis("明朝").value();
  int ink[2] = {};
  for (const int32_t weight : {FW_NORMAL, FW_BOLD}) {
    const UniqueDC dc = CreateImageDC(100, 50);
    LOGFONTA lf;
    lf.lfHeight = -32;
    lf.lfWeight = weight;
    std::strcpy(lf.lfFaceName, kFaceMsMincho);
    const UniqueFont font = CreateFontIndirectA(lf);
    SelectObject(dc.get(), font.get());
    SetBkMode(dc.get(), TRANSPARENT);
    ASSERT_TRUE(ExtTextOutA(dc.get(), 5, 5, 0, nullptr, text.data(),
                            static_cast<int32_t>(text.size()), nullptr));
    ink[weight == FW_BOLD] = CountInk(dc.get(), RECT{0, 0, 100, 50});
  }
  EXPECT_GT(ink[1], ink[0] * 11 / 10);
}

class SyntheticTextTest : public ::testing::Test {
 protected:
  SyntheticTextTest() : scope_(synthetic_), dc_(CreateImageDC(100, 40)) {
    font_ = MakeFont(kSyntheticFixedFace, 16);
    SelectObject(dc_.get(), font_.get());
    SetTextAlign(dc_.get(), TA_BASELINE);
    SetBkMode(dc_.get(), TRANSPARENT);
    SetTextColor(dc_.get(), kRed);
  }

  SyntheticFontService synthetic_;
  ScopedFontService scope_;
  UniqueDC dc_;
  UniqueFont font_;
};

TEST_F(SyntheticTextTest, AdvanceArrayPlacesDoubleByteCharactersBySumOfSlots) {
  // Two characters: "A" with 8 pixels, then 亜 (88 9F) with 20 + 0.
  const char text[] = "A\x88\x9F";
  const int32_t dx[] = {8, 20, 0};
  ASSERT_TRUE(ExtTextOutA(dc_.get(), 10, 30, 0, nullptr, text, 3, dx));
  // A half-width block covers x 11..16 of its 8-pixel cell; the full-width
  // block starts at 18 + 2 and is 12 pixels wide.
  EXPECT_EQ(GetPixel(dc_.get(), 13, 25), kRed);
  EXPECT_EQ(GetPixel(dc_.get(), 19, 25), kWhite);
  EXPECT_EQ(GetPixel(dc_.get(), 25, 25), kRed);
  EXPECT_EQ(GetPixel(dc_.get(), 25, 31), kWhite);  // below the baseline
}

TEST_F(SyntheticTextTest, ClippedRunStaysInsideItsRectangle) {
  const char text[] = "\x88\x9F\x88\x9F";
  const RECT clip{0, 0, 26, 40};
  ASSERT_TRUE(ExtTextOutA(dc_.get(), 10, 30, ETO_CLIPPED, &clip, text, 4, nullptr));
  EXPECT_EQ(GetPixel(dc_.get(), 20, 25), kRed);
  EXPECT_EQ(GetPixel(dc_.get(), 30, 25), kWhite);
}

TEST_F(SyntheticTextTest, EscapementTurnsTheRunCounterClockwise) {
  const UniqueDC dc = CreateImageDC(100, 100);
  LOGFONTA lf;
  lf.lfHeight = -16;
  lf.lfEscapement = 900;
  std::strcpy(lf.lfFaceName, kSyntheticFixedFace);
  const UniqueFont font = CreateFontIndirectA(lf);
  SelectObject(dc.get(), font.get());
  SetTextAlign(dc.get(), TA_BASELINE);
  SetBkMode(dc.get(), TRANSPARENT);
  SetTextColor(dc.get(), kRed);
  ASSERT_TRUE(ExtTextOutA(dc.get(), 50, 80, 0, nullptr, "AA", 2, nullptr));
  // The run climbs from y 80, its glyphs standing to the left of x 50.
  EXPECT_EQ(GetPixel(dc.get(), 45, 76), kRed);
  EXPECT_EQ(GetPixel(dc.get(), 45, 68), kRed);
  EXPECT_EQ(GetPixel(dc.get(), 55, 76), kWhite);
  EXPECT_EQ(GetPixel(dc.get(), 45, 82), kWhite);
}

TEST(PatternBrushTest, AndThenOrPaintsZeroBitsAndKeepsOneBits) {
  const UniqueDC dc = CreateImageDC(16, 8);
  const UniqueBrush fill = CreateSolidBrush(RGB(0, 0, 255));
  FillRect(dc.get(), RECT{0, 0, 16, 8}, fill.get());
  // Row 0 is 0x0F: four pixels painted, four kept; other rows all kept.
  const UniqueBrush pattern =
      CreatePatternBrush(MonoPattern{0x0F, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF});
  SelectObject(dc.get(), pattern.get());
  SetBrushOrgEx(dc.get(), 0, 0, nullptr);
  SetTextColor(dc.get(), kBlack);
  SetBkColor(dc.get(), kWhite);
  ASSERT_TRUE(PatBlt(dc.get(), 0, 0, 16, 8, PATAND));
  SetTextColor(dc.get(), kRed);
  SetBkColor(dc.get(), kBlack);
  ASSERT_TRUE(PatBlt(dc.get(), 0, 0, 16, 8, PATOR));
  EXPECT_EQ(GetPixel(dc.get(), 0, 0), kRed);
  EXPECT_EQ(GetPixel(dc.get(), 3, 0), kRed);
  EXPECT_EQ(GetPixel(dc.get(), 4, 0), RGB(0, 0, 255));
  EXPECT_EQ(GetPixel(dc.get(), 8, 0), kRed);  // the pattern repeats
  EXPECT_EQ(GetPixel(dc.get(), 0, 1), RGB(0, 0, 255));
}

TEST(HatchBrushTest, TransparentHatchLeavesTheGapsAlone) {
  const UniqueDC dc = CreateImageDC(8, 8);
  const UniqueBrush hatch = CreateHatchBrush(HS_HORIZONTAL, kRed);
  SelectObject(dc.get(), hatch.get());
  SetBkMode(dc.get(), TRANSPARENT);
  ASSERT_TRUE(PatBlt(dc.get(), 0, 0, 8, 8, PATCOPY));
  EXPECT_EQ(GetPixel(dc.get(), 2, 7), kRed);
  EXPECT_EQ(GetPixel(dc.get(), 2, 3), kWhite);
}

TEST(PenTest, GeometricFlatPenCoversItsWidthAndDashesSkip) {
  const UniqueDC dc = CreateImageDC(40, 20);
  const uint32_t dashes[] = {4, 4};
  const UniquePen pen = ExtCreatePen(PS_GEOMETRIC | PS_USERSTYLE | PS_ENDCAP_FLAT | PS_JOIN_MITER,
                                     3, LOGBRUSH{0, kBlack, 0}, 2, dashes);
  SelectObject(dc.get(), pen.get());
  ASSERT_TRUE(BeginPath(dc.get()));
  MoveToEx(dc.get(), 0, 10, nullptr);
  LineTo(dc.get(), 40, 10);
  ASSERT_TRUE(EndPath(dc.get()));
  ASSERT_TRUE(StrokePath(dc.get()));
  for (int y : {9, 10, 11}) EXPECT_EQ(GetPixel(dc.get(), 2, y), kBlack) << y;
  EXPECT_EQ(GetPixel(dc.get(), 2, 13), kWhite);
  EXPECT_EQ(GetPixel(dc.get(), 6, 10), kWhite);  // in the first gap
  EXPECT_EQ(GetPixel(dc.get(), 10, 10), kBlack);
}

TEST(RegionTest, OverlappingRectanglesAreInvertedOnce) {
  const UniqueDC dc = CreateImageDC(20, 10);
  const UniqueRegion a = CreateRectRgn(0, 0, 10, 10);
  const UniqueRegion b = CreateRectRgn(5, 0, 15, 10);
  const UniqueRegion both = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(CombineRgn(both.get(), a.get(), b.get(), RGN_OR), COMPLEXREGION);
  EXPECT_EQ(CombineRgn(both.get(), a.get(), b.get(), 1), ERROR);
  ASSERT_TRUE(InvertRgn(dc.get(), both.get()));
  EXPECT_EQ(GetPixel(dc.get(), 2, 5), kBlack);
  EXPECT_EQ(GetPixel(dc.get(), 7, 5), kBlack);
  EXPECT_EQ(GetPixel(dc.get(), 17, 5), kWhite);
}

}  // namespace
}  // namespace platform
