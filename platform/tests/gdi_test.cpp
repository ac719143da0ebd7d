#include "platform/gdi.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <vector>

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
        CreatePdfDC(path.string(), PrinterSetup{300, 300, SIZE{2480, 3508}, POINT{50, 60}, SIZE{}});
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

struct ExtentCase {
  const char* text;
  int extra;
  SIZE expected;
};

class TextExtentTest : public SyntheticTextTest,
                       public ::testing::WithParamInterface<ExtentCase> {};

// At an em of 16 pixels a double-byte character advances 16, a single
// byte 8; the extra comes once after each character.
TEST_P(TextExtentTest, SumsTheAdvancesAndTheExtraAtTheFontsHeight) {
  const ExtentCase& c = GetParam();
  SetTextCharacterExtra(dc_.get(), c.extra);
  SIZE size;
  ASSERT_TRUE(
      GetTextExtentPoint32A(dc_.get(), c.text, static_cast<int32_t>(std::strlen(c.text)), &size));
  EXPECT_EQ(size, c.expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, TextExtentTest,
                         ::testing::Values(ExtentCase{"", 0, {0, 16}},
                                           ExtentCase{"AB", 0, {16, 16}},
                                           ExtentCase{"\x88\x9F"
                                                      "A",
                                                      0,
                                                      {24, 16}},
                                           ExtentCase{"\x88\x9F"
                                                      "A",
                                                      3,
                                                      {30, 16}},
                                           ExtentCase{"\x88\x9F\x88\x9F", -2, {28, 16}}));

TEST_F(SyntheticTextTest, CharacterExtraIsKeptPerDcAndSpreadsARun) {
  EXPECT_EQ(GetTextCharacterExtra(dc_.get()), 0);
  EXPECT_EQ(SetTextCharacterExtra(dc_.get(), 4), 0);
  EXPECT_EQ(SetTextCharacterExtra(dc_.get(), 4), 4);
  ASSERT_TRUE(ExtTextOutA(dc_.get(), 10, 30, 0, nullptr, "\x88\x9F\x88\x9F", 4, nullptr));
  // The second block starts 16 + 4 pixels after the first: its cell runs
  // from 30, inked from 32 to 44, with 26..29 blank between the two.
  EXPECT_EQ(GetPixel(dc_.get(), 27, 25), kWhite);
  EXPECT_EQ(GetPixel(dc_.get(), 33, 25), kRed);
  EXPECT_EQ(GetPixel(dc_.get(), 45, 25), kWhite);
  SIZE size;
  EXPECT_FALSE(GetTextExtentPoint32A(CreateImageDC(1, 1).get(), "A", 1, &size));
}

TEST_F(SyntheticTextTest, DrawTextCentresEachLineInTheRectangleFromItsTop) {
  const UniqueDC dc = CreateImageDC(100, 60);
  SelectObject(dc.get(), font_.get());
  SetBkMode(dc.get(), TRANSPARENT);
  SetTextColor(dc.get(), kRed);
  // Lines of 32 and 16 pixels centred in 10..90: from 34 and 42.
  const char text[] = "\x88\x9F\x88\x9F\n\x88\x9F";
  const RECT rect{10, 5, 90, 60};
  EXPECT_EQ(DrawTextA(dc.get(), text, -1, &rect, DT_CENTER), 32);
  // A block inks from 1/8 into its cell to 7/8, from 3/4 of the ascent
  // above the baseline (14 below the line's top) to it.
  EXPECT_EQ(GetPixel(dc.get(), 33, 15), kWhite);
  EXPECT_EQ(GetPixel(dc.get(), 37, 15), kRed);
  EXPECT_EQ(GetPixel(dc.get(), 63, 15), kRed);
  EXPECT_EQ(GetPixel(dc.get(), 67, 15), kWhite);
  EXPECT_EQ(GetPixel(dc.get(), 41, 31), kWhite);
  EXPECT_EQ(GetPixel(dc.get(), 45, 31), kRed);
  EXPECT_EQ(GetPixel(dc.get(), 55, 31), kRed);
  EXPECT_EQ(GetPixel(dc.get(), 59, 31), kWhite);
  // Drawing takes the top alignment and gives the DC's back.
  EXPECT_EQ(SetTextAlign(dc.get(), TA_BASELINE), TA_TOP);
}

TEST_F(SyntheticTextTest, DrawTextAlignsLeftAndRightAndClipsToTheRectangle) {
  const UniqueDC dc = CreateImageDC(100, 30);
  SelectObject(dc.get(), font_.get());
  SetBkMode(dc.get(), TRANSPARENT);
  SetTextColor(dc.get(), kRed);
  const RECT left{10, 0, 50, 20};
  EXPECT_EQ(DrawTextA(dc.get(), "\x88\x9F\x88\x9F\x88\x9F", 6, &left, DT_LEFT), 16);
  EXPECT_EQ(GetPixel(dc.get(), 13, 10), kRed);
  EXPECT_EQ(GetPixel(dc.get(), 47, 10), kRed);
  EXPECT_EQ(GetPixel(dc.get(), 52, 10), kWhite);  // the third block is cut at 50
  const RECT right{50, 0, 98, 20};
  EXPECT_EQ(DrawTextA(dc.get(), "A\r\n", -1, &right, DT_RIGHT), 32);
  EXPECT_EQ(GetPixel(dc.get(), 95, 10), kRed);
  EXPECT_EQ(GetPixel(dc.get(), 89, 10), kWhite);
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
  const UniqueRegion b = CreateRectRgn(5, 2, 15, 10);
  const UniqueRegion both = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(CombineRgn(both.get(), a.get(), b.get(), RGN_OR), COMPLEXREGION);
  EXPECT_EQ(CombineRgn(both.get(), a.get(), b.get(), 0), ERROR);
  ASSERT_TRUE(InvertRgn(dc.get(), both.get()));
  EXPECT_EQ(GetPixel(dc.get(), 2, 5), kBlack);
  EXPECT_EQ(GetPixel(dc.get(), 7, 5), kBlack);
  EXPECT_EQ(GetPixel(dc.get(), 12, 1), kWhite);
  EXPECT_EQ(GetPixel(dc.get(), 17, 5), kWhite);
}

struct CombineCase {
  int mode;
  int result;
  RECT box;
  std::vector<POINT> inside;
  std::vector<POINT> outside;
};

TEST(RegionTest, CombineModesGiveTheirSetsAndShapes) {
  // Two squares overlapping in 5..10 x 5..10.
  const CombineCase cases[] = {
      {RGN_AND, SIMPLEREGION, RECT{5, 5, 10, 10}, {{5, 5}, {9, 9}}, {{4, 5}, {10, 9}}},
      {RGN_OR, COMPLEXREGION, RECT{0, 0, 15, 15}, {{0, 0}, {14, 14}, {7, 7}}, {{14, 0}, {0, 14}}},
      {RGN_XOR, COMPLEXREGION, RECT{0, 0, 15, 15}, {{0, 0}, {14, 14}}, {{7, 7}, {14, 0}}},
      {RGN_DIFF, COMPLEXREGION, RECT{0, 0, 10, 10}, {{0, 0}, {9, 4}, {4, 9}}, {{5, 5}, {9, 9}}},
      {RGN_COPY, SIMPLEREGION, RECT{0, 0, 10, 10}, {{0, 0}, {9, 9}}, {{10, 10}, {12, 12}}},
  };
  for (const CombineCase& c : cases) {
    const UniqueRegion a = CreateRectRgn(0, 0, 10, 10);
    const UniqueRegion b = CreateRectRgn(5, 5, 15, 15);
    EXPECT_EQ(CombineRgn(a.get(), a.get(), b.get(), c.mode), c.result) << c.mode;
    RECT box;
    EXPECT_EQ(GetRgnBox(a.get(), &box), c.result) << c.mode;
    EXPECT_EQ(box, c.box) << c.mode;
    for (const POINT& p : c.inside) EXPECT_TRUE(PtInRegion(a.get(), p.x, p.y)) << c.mode;
    for (const POINT& p : c.outside) EXPECT_FALSE(PtInRegion(a.get(), p.x, p.y)) << c.mode;
  }
}

TEST(RegionTest, EmptyResultsAndAdjacentRectanglesHaveTheirShapes) {
  const UniqueRegion a = CreateRectRgn(0, 0, 10, 10);
  const UniqueRegion b = CreateRectRgn(10, 0, 20, 10);  // touching, not overlapping
  const UniqueRegion out = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(CombineRgn(out.get(), a.get(), b.get(), RGN_AND), NULLREGION);
  RECT box{1, 1, 1, 1};
  EXPECT_EQ(GetRgnBox(out.get(), &box), NULLREGION);
  EXPECT_EQ(box, RECT{});
  // Side by side with the same height they make one rectangle.
  EXPECT_EQ(CombineRgn(out.get(), a.get(), b.get(), RGN_OR), SIMPLEREGION);
  EXPECT_TRUE(EqualRgn(out.get(), CreateRectRgn(0, 0, 20, 10).get()));
  EXPECT_FALSE(EqualRgn(out.get(), a.get()));
  EXPECT_EQ(CombineRgn(out.get(), a.get(), a.get(), RGN_DIFF), NULLREGION);
  EXPECT_EQ(CombineRgn(out.get(), a.get(), nullptr, RGN_OR), ERROR);
  EXPECT_EQ(CombineRgn(out.get(), a.get(), nullptr, RGN_COPY), SIMPLEREGION);
}

TEST(RegionTest, UnderAFailureGuardNoRegionIsMadeOrCombined) {
  const UniqueRegion kept = CreateRectRgn(0, 0, 4, 4);
  {
    ScopedRegionFailure failing;
    const POINT triangle[] = {{0, 0}, {4, 0}, {0, 4}};
    EXPECT_EQ(CreateRectRgn(0, 0, 2, 2), nullptr);
    EXPECT_EQ(CreateRoundRectRgn(0, 0, 8, 8, 4, 4), nullptr);
    EXPECT_EQ(CreatePolygonRgn(triangle, 3, WINDING), nullptr);
    EXPECT_EQ(CombineRgn(kept.get(), kept.get(), kept.get(), RGN_OR), ERROR);
  }
  EXPECT_NE(CreateRectRgn(0, 0, 2, 2), nullptr);
  EXPECT_EQ(CombineRgn(kept.get(), kept.get(), kept.get(), RGN_OR), SIMPLEREGION);
}

TEST(RegionTest, RectanglesAreRightAndBottomExclusiveAndOffsetMovesThem) {
  const UniqueRegion region = CreateRectRgn(10, 20, 2, 4);  // corners in any order
  EXPECT_TRUE(PtInRegion(region.get(), 2, 4));
  EXPECT_TRUE(PtInRegion(region.get(), 9, 19));
  EXPECT_FALSE(PtInRegion(region.get(), 10, 10));
  EXPECT_FALSE(PtInRegion(region.get(), 5, 20));
  EXPECT_TRUE(RectInRegion(region.get(), RECT{9, 19, 30, 30}));
  EXPECT_FALSE(RectInRegion(region.get(), RECT{10, 0, 30, 30}));
  EXPECT_EQ(OffsetRgn(region.get(), -2, 6), SIMPLEREGION);
  RECT box;
  GetRgnBox(region.get(), &box);
  EXPECT_EQ(box, (RECT{0, 10, 8, 26}));
}

TEST(RegionTest, RoundRectangleLeavesItsCornersOut) {
  const UniqueRegion region = CreateRoundRectRgn(0, 0, 40, 20, 20, 20);
  RECT box;
  EXPECT_EQ(GetRgnBox(region.get(), &box), COMPLEXREGION);
  EXPECT_EQ(box, (RECT{0, 0, 40, 20}));
  for (const POINT corner : {POINT{0, 0}, POINT{39, 0}, POINT{0, 19}, POINT{39, 19}, POINT{2, 2}}) {
    EXPECT_FALSE(PtInRegion(region.get(), corner.x, corner.y)) << corner.x << "," << corner.y;
  }
  for (const POINT edge : {POINT{20, 0}, POINT{20, 19}, POINT{0, 10}, POINT{39, 10}, POINT{4, 4}}) {
    EXPECT_TRUE(PtInRegion(region.get(), edge.x, edge.y)) << edge.x << "," << edge.y;
  }
}

TEST(RegionTest, PolygonFillModesDecideTheOverlapOfAFigureWithItself) {
  // Two squares traced the same way round in one outline, overlapping in
  // 10..20 x 10..20: winding fills the overlap, alternate leaves it out.
  const POINT outline[] = {{0, 0},   {20, 0},  {20, 20}, {10, 20}, {10, 10},
                           {30, 10}, {30, 30}, {10, 30}, {10, 20}, {0, 20}};
  const UniqueRegion alternate = CreatePolygonRgn(outline, 10, ALTERNATE);
  const UniqueRegion winding = CreatePolygonRgn(outline, 10, WINDING);
  ASSERT_NE(alternate, nullptr);
  ASSERT_NE(winding, nullptr);
  EXPECT_FALSE(PtInRegion(alternate.get(), 15, 15));
  EXPECT_TRUE(PtInRegion(winding.get(), 15, 15));
  for (HRGN region : {alternate.get(), winding.get()}) {
    EXPECT_TRUE(PtInRegion(region, 0, 0));
    EXPECT_TRUE(PtInRegion(region, 29, 29));
    EXPECT_FALSE(PtInRegion(region, 30, 29));
    EXPECT_FALSE(PtInRegion(region, 25, 5));
  }
  EXPECT_EQ(CreatePolygonRgn(outline, 1, ALTERNATE), nullptr);
  EXPECT_EQ(CreatePolygonRgn(outline, 10, 0), nullptr);
}

TEST(RegionTest, PolygonOfARectangleIsThatRectangle) {
  const POINT square[] = {{2, 3}, {12, 3}, {12, 8}, {2, 8}};
  EXPECT_TRUE(
      EqualRgn(CreatePolygonRgn(square, 4, ALTERNATE).get(), CreateRectRgn(2, 3, 12, 8).get()));
  const POINT triangle[] = {{0, 0}, {20, 0}, {0, 20}};
  const UniqueRegion region = CreatePolygonRgn(triangle, 3, WINDING);
  EXPECT_TRUE(PtInRegion(region.get(), 1, 1));
  EXPECT_TRUE(PtInRegion(region.get(), 18, 0));
  EXPECT_FALSE(PtInRegion(region.get(), 15, 15));
}

TEST(RegionDrawingTest, FillPaintAndFrameCoverTheirPixels) {
  const UniqueDC dc = CreateImageDC(40, 20);
  const UniqueBrush red = CreateSolidBrush(kRed);
  const UniqueBrush black = CreateSolidBrush(kBlack);
  const UniqueRegion left = CreateRectRgn(0, 0, 10, 10);
  ASSERT_TRUE(FillRgn(dc.get(), left.get(), red.get()));
  EXPECT_EQ(GetPixel(dc.get(), 9, 9), kRed);
  EXPECT_EQ(GetPixel(dc.get(), 10, 9), kWhite);

  SelectObject(dc.get(), black.get());
  const UniqueRegion bottom = CreateRectRgn(0, 15, 5, 20);
  ASSERT_TRUE(PaintRgn(dc.get(), bottom.get()));
  EXPECT_EQ(GetPixel(dc.get(), 4, 19), kBlack);
  EXPECT_EQ(GetPixel(dc.get(), 5, 19), kWhite);

  // A ring: the frame runs along the outer edge and around the hole.
  const UniqueRegion ring = CreateRectRgn(20, 0, 40, 20);
  const UniqueRegion hole = CreateRectRgn(26, 6, 34, 14);
  CombineRgn(ring.get(), ring.get(), hole.get(), RGN_DIFF);
  ASSERT_TRUE(FrameRgn(dc.get(), ring.get(), red.get(), 2, 1));
  EXPECT_EQ(GetPixel(dc.get(), 20, 10), kRed);
  EXPECT_EQ(GetPixel(dc.get(), 21, 10), kRed);
  EXPECT_EQ(GetPixel(dc.get(), 22, 10), kWhite);
  EXPECT_EQ(GetPixel(dc.get(), 30, 0), kRed);
  EXPECT_EQ(GetPixel(dc.get(), 30, 1), kWhite);
  EXPECT_EQ(GetPixel(dc.get(), 25, 10), kRed);  // beside the hole
  EXPECT_EQ(GetPixel(dc.get(), 24, 10), kRed);
  EXPECT_EQ(GetPixel(dc.get(), 23, 10), kWhite);
  EXPECT_EQ(GetPixel(dc.get(), 30, 5), kRed);  // above the hole
  EXPECT_EQ(GetPixel(dc.get(), 30, 4), kWhite);
  EXPECT_EQ(GetPixel(dc.get(), 30, 10), kWhite);  // the hole itself
}

}  // namespace
}  // namespace platform

namespace platform {
namespace {

// A DC starts with objects of its own selected, so that what SelectObject
// hands back can be put back before the caller's object is deleted.
TEST(StockObjectTest, WhatANewDcHoldsCanBeSelectedBack) {
  const UniqueDC dc = CreateCompatibleDC(nullptr);
  HPEN firstPen = nullptr;
  HBRUSH firstBrush = nullptr;
  HFONT firstFont = nullptr;
  {
    const UniquePen pen = CreatePen(PS_SOLID, 3, RGB(255, 0, 0));
    const UniqueBrush brush = CreateSolidBrush(RGB(0, 255, 0));
    LOGFONTA face{};
    face.lfHeight = -12;
    std::strcpy(face.lfFaceName, kFaceMsGothic);
    const UniqueFont font = CreateFontIndirectA(face);
    ASSERT_NE(font, nullptr);
    firstPen = SelectObject(dc.get(), pen.get());
    firstBrush = SelectObject(dc.get(), brush.get());
    firstFont = SelectObject(dc.get(), font.get());
    ASSERT_NE(firstPen, nullptr);
    ASSERT_NE(firstBrush, nullptr);
    ASSERT_NE(firstFont, nullptr);
    EXPECT_EQ(SelectObject(dc.get(), firstPen), pen.get());
    EXPECT_EQ(SelectObject(dc.get(), firstBrush), brush.get());
    EXPECT_EQ(SelectObject(dc.get(), firstFont), font.get());
  }
  // The caller's objects are gone; what is selected now is the DC's own.
  const UniquePen other = CreatePen(PS_SOLID, 1, RGB(0, 0, 255));
  EXPECT_EQ(SelectObject(dc.get(), other.get()), firstPen);
  EXPECT_EQ(SelectObject(dc.get(), firstPen), other.get());
}

}  // namespace
}  // namespace platform
