#include "model/renderer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/file.h"
#include "platform/sjis.h"
#include "platform/synthetic_fonts.h"
#include "platform/texts.h"

namespace {

using platform::COLORREF;
using platform::GetPixel;
using platform::RECT;
using platform::RGB;

constexpr COLORREF kWhite = 0xFFFFFF;
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kGreen = RGB(0, 160, 0);

int CountInk(platform::HDC dc, const RECT& box) {
  int ink = 0;
  for (int y = box.top; y < box.bottom; ++y) {
    for (int x = box.left; x < box.right; ++x) ink += GetPixel(dc, x, y) != kWhite;
  }
  return ink;
}

// The colour of the ink in a box, or white when there is none.
COLORREF InkColour(platform::HDC dc, const RECT& box) {
  for (int y = box.top; y < box.bottom; ++y) {
    for (int x = box.left; x < box.right; ++x) {
      if (GetPixel(dc, x, y) != kWhite) return GetPixel(dc, x, y);
    }
  }
  return kWhite;
}

DisplaySettings WhitePaper() {
  DisplaySettings settings;
  settings.background = kWhite;
  settings.text = 0;
  settings.minchoAsGothic = 0;
  return settings;
}

// At 144 dpi a pixel is ten twips. Fonts come from the synthetic faces.
class RendererTest : public ::testing::Test {
 protected:
  RendererTest()
      : dpi_(144, 144),
        scope_(synthetic_),
        renderer_(table_),
        dc_(platform::CreateImageDC(200, 100)) {}

  PageFormat Format(const char* face = platform::kSyntheticFixedFace, int32_t size = 100) const {
    PageFormat format;
    format.referenceDC = platform::GetDesktopDC();
    format.resolutionX = 144;
    format.resolutionY = 144;
    std::strcpy(format.face, face);
    format.fontSize = size;
    return format;
  }

  void Begin(const DisplaySettings& settings, int32_t printer = kDrawingScreen) {
    renderer_.SetDisplaySettings(settings);
    renderer_.SetPageFormat(Format());
    renderer_.BeginPage(dc_.get(), printer);
  }

  COLORREF At(int x, int y) const { return GetPixel(dc_.get(), x, y); }

  // "AA" from x 20 px on a baseline at 60 px, 10 px a character.
  TextRun Run(int32_t effect, COLORREF colour) {
    run_.x = 200;
    run_.y = 600;
    run_.clip = RECT{0, 0, 2000, 1000};
    run_.text = "AA";
    run_.count = 2;
    run_.widths = widths_;
    run_.fontId = renderer_.GetDefaultFontId();
    run_.effect = effect;
    run_.colour = colour;
    run_.secondColour = kBlue;
    return run_;
  }

  platform::ScopedScreenResolution dpi_;
  platform::SyntheticFontService synthetic_;
  platform::ScopedFontService scope_;
  CFontTable table_;
  CDocRenderer renderer_;
  platform::UniqueDC dc_;
  int32_t widths_[2] = {100, 100};
  TextRun run_;
};

TEST_F(RendererTest, ConstructionChoosesTheMarkFaceAndDefaults) {
  EXPECT_STREQ(renderer_.GetSymbolFont().face, platform::kFaceZntSymbol);
  EXPECT_EQ(renderer_.GetSymbolFont().size, 105);
  EXPECT_EQ(renderer_.GetDisplaySettings().background, 0u);
  EXPECT_EQ(renderer_.GetDisplaySettings().text, 0xFFFFFFu);
  EXPECT_EQ(renderer_.GetDisplaySettings().third, 0x7F7F7Fu);
  EXPECT_EQ(renderer_.GetDefaultFontId(), -1);
  EXPECT_EQ(renderer_.GetSavedFontList(), nullptr);
  EXPECT_EQ(renderer_.GetPrinterFlag(), kNotDrawing);
}

struct SubstitutionCase {
  bool whitePaper;
  bool printing;
  COLORREF given;
  COLORREF shown;
};

class ColourSubstitutionTest : public RendererTest,
                               public ::testing::WithParamInterface<SubstitutionCase> {};

TEST_P(ColourSubstitutionTest, ShadingShowsTheDisplayColour) {
  const SubstitutionCase& c = GetParam();
  DisplaySettings settings = c.whitePaper ? WhitePaper() : DisplaySettings{};
  settings.text = c.whitePaper ? kRed : settings.text;
  if (c.printing) renderer_.SetPrinting();
  Begin(settings);
  renderer_.ShadeRect(100, 100, 200, 200, kShadeSolid, c.given);
  EXPECT_EQ(At(15, 15), c.shown);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ColourSubstitutionTest,
    ::testing::Values(
        // White text on black: 0 becomes white and white becomes 0.
        SubstitutionCase{false, false, 0, kWhite}, SubstitutionCase{false, false, kWhite, 0},
        SubstitutionCase{false, false, kGreen, kGreen},
        // Red text on white paper.
        SubstitutionCase{true, false, 0, kRed}, SubstitutionCase{true, false, kRed, 0},
        // A printer gets the document's colours.
        SubstitutionCase{false, true, 0, 0}, SubstitutionCase{false, true, kWhite, kWhite}));

TEST_F(RendererTest, TextRunWhiteBecomesTheBackgroundAndZeroTheTextColour) {
  DisplaySettings settings = WhitePaper();
  settings.background = kGreen;
  settings.text = kBlue;
  Begin(settings);
  renderer_.DrawTextRun(Run(kEffectPlain, kWhite));
  EXPECT_EQ(At(25, 55), kGreen);
  renderer_.SetOffset(0, -400);
  renderer_.DrawTextRun(Run(kEffectPlain, 0));
  EXPECT_EQ(At(25, 15), kBlue);
}

TEST_F(RendererTest, PlainRunDrawsEachCharacterInItsAdvance) {
  Begin(WhitePaper());
  widths_[0] = 150;  // the second character starts at 35 px
  renderer_.DrawTextRun(Run(kEffectPlain, kRed));
  EXPECT_EQ(At(25, 55), kRed);
  EXPECT_EQ(At(25, 62), kWhite);  // below the baseline
  EXPECT_EQ(At(33, 55), kWhite);
  EXPECT_EQ(At(40, 55), kRed);
}

TEST_F(RendererTest, ShadowEffectDrawsOnlyTheShadowCopy) {
  Begin(WhitePaper());
  renderer_.DrawTextRun(Run(kEffectShadow, kRed));
  // Line height 200 twips: the shadow sits 12 twips (1 px) + 1 px away.
  EXPECT_EQ(At(22, 48), kWhite);  // only the run itself would ink here
  EXPECT_EQ(At(30, 61), kRed);
  EXPECT_EQ(At(25, 55), kRed);
}

TEST_F(RendererTest, OutlineEffectDrawsNeighboursInTheColourAndTheCentreInTheSecond) {
  Begin(WhitePaper());
  renderer_.DrawTextRun(Run(kEffectOutline, kRed));
  EXPECT_EQ(At(25, 55), kBlue);
  EXPECT_EQ(At(20, 55), kRed);
  EXPECT_EQ(At(29, 55), kRed);
  EXPECT_EQ(At(25, 46), kRed);
}

TEST_F(RendererTest, UnknownEffectDrawsNothing) {
  Begin(WhitePaper());
  renderer_.DrawTextRun(Run(3, kRed));
  EXPECT_EQ(CountInk(dc_.get(), RECT{0, 0, 200, 100}), 0);
}

TEST_F(RendererTest, FullWidthSpaceGetsABoxWhenMarksAreOn) {
  Begin(WhitePaper());
  TextRun run = Run(kEffectPlain, kRed);
  run.text = "\x81\x40";
  widths_[0] = 200;
  widths_[1] = 0;
  run.boxColour = kBlue;
  renderer_.DrawTextRun(run);
  // The cell is 20..40 px; the box 22..38, from 43 (ascent 18) to 60.
  EXPECT_EQ(At(22, 50), kBlue);
  EXPECT_EQ(At(38, 50), kBlue);
  EXPECT_EQ(At(30, 43), kBlue);
  EXPECT_EQ(At(30, 60), kBlue);
  EXPECT_EQ(At(30, 50), kWhite);
  EXPECT_EQ(At(21, 50), kWhite);

  renderer_.EndDraw();
  platform::UniqueDC fresh = platform::CreateImageDC(200, 100);
  DisplaySettings noMarks = WhitePaper();
  noMarks.marks = 0;
  renderer_.SetDisplaySettings(noMarks);
  renderer_.BeginPage(fresh.get(), kDrawingScreen);
  renderer_.DrawTextRun(run);
  EXPECT_EQ(CountInk(fresh.get(), RECT{0, 0, 200, 100}), 0);
}

TEST_F(RendererTest, ScreenPatternsPaintTheirZeroBitsFromTheRectangleCorner) {
  Begin(WhitePaper());
  // Pattern 6 rows are all 0xEE: the fourth and eighth pixels are painted.
  renderer_.ShadeRect(100, 100, 160, 80, 6, kRed);
  EXPECT_EQ(At(13, 12), kRed);
  EXPECT_EQ(At(17, 12), kRed);
  EXPECT_EQ(At(10, 12), kWhite);
  EXPECT_EQ(At(14, 12), kWhite);
  EXPECT_EQ(At(21, 12), kRed);
  // Pattern 5 paints rows 0 and 4 whole.
  renderer_.ShadeRect(100, 300, 160, 80, 5, kBlue);
  EXPECT_EQ(At(11, 30), kBlue);
  EXPECT_EQ(At(11, 31), kWhite);
  EXPECT_EQ(At(11, 34), kBlue);
  // Unknown patterns draw nothing.
  renderer_.ShadeRect(100, 500, 160, 80, 7, kBlue);
  EXPECT_EQ(CountInk(dc_.get(), RECT{10, 50, 26, 58}), 0);
}

TEST_F(RendererTest, PrinterPatternsAreHatchesOnATransparentBackground) {
  renderer_.SetPrinting();
  Begin(WhitePaper(), kDrawingPrinter);
  // Pattern 5 is horizontal hatching: one line in eight rows.
  renderer_.ShadeRect(0, 0, 800, 800, 5, kRed);
  EXPECT_EQ(CountInk(dc_.get(), RECT{0, 0, 80, 80}), 80 * 10);
  EXPECT_EQ(At(5, 7), kRed);
  EXPECT_EQ(At(5, 3), kWhite);
}

struct LevelCase {
  bool whitePaper;
  int32_t level;
  COLORREF given;
  COLORREF shown;
};

class ShadeLevelTest : public RendererTest, public ::testing::WithParamInterface<LevelCase> {};

TEST_P(ShadeLevelTest, LevelsLightenOrDarkenTheColour) {
  const LevelCase& c = GetParam();
  Begin(c.whitePaper ? WhitePaper() : DisplaySettings{});
  renderer_.ShadeLevel(100, 100, 200, 200, c.level, c.given);
  EXPECT_EQ(At(15, 15), c.shown);
}

INSTANTIATE_TEST_SUITE_P(Cases, ShadeLevelTest,
                         ::testing::Values(LevelCase{true, -50, 0, RGB(192, 192, 192)},
                                           LevelCase{true, -25, 0, RGB(96, 96, 96)},
                                           LevelCase{true, -75, 0, RGB(223, 223, 223)},
                                           LevelCase{true, -75, kRed, RGB(255, 127, 127)},
                                           LevelCase{true, 0, kBlue, 0},
                                           // On black the level is mirrored: -25 becomes -85.
                                           LevelCase{false, -25, 0, RGB(236, 236, 236)}));

TEST_F(RendererTest, LineKindsAreSingleDoubleDashedAndWavy) {
  Begin(WhitePaper());
  // Width 15 tenths of a point: a pen of 30 twips, 3 px, rows 49-51.
  renderer_.DrawLine(100, 500, 1000, 500, kLineSingle, 15, kRed);
  EXPECT_EQ(At(50, 49), kRed);
  EXPECT_EQ(At(50, 51), kRed);
  EXPECT_EQ(At(50, 48), kWhite);
  EXPECT_EQ(At(50, 52), kWhite);
  EXPECT_EQ(At(100, 50), kRed);  // the end reaches one pixel further
  EXPECT_EQ(At(102, 50), kWhite);

  renderer_.DrawLine(100, 200, 1000, 200, kLineDouble, 15, kBlue);
  EXPECT_EQ(At(50, 20), kBlue);
  EXPECT_EQ(At(50, 26), kBlue);  // two pen widths below
  EXPECT_EQ(At(50, 23), kWhite);

  renderer_.DrawLine(100, 800, 1000, 800, kLineDashed, 15, kRed);
  EXPECT_EQ(At(14, 80), kRed);
  EXPECT_EQ(At(20, 80), kWhite);
  EXPECT_EQ(At(25, 80), kRed);

  const int32_t dotted = 1;  // any kind not named above
  renderer_.DrawLine(1200, 100, 1200, 900, dotted, 15, kGreen);
  EXPECT_EQ(At(120, 11), kGreen);
  EXPECT_EQ(At(120, 13), kWhite);
  EXPECT_EQ(At(121, 11), kGreen);  // 3 px wide across the line
}

TEST_F(RendererTest, WavyLineSwingsAroundItsAxis) {
  Begin(WhitePaper());
  renderer_.DrawLine(100, 500, 1500, 500, kLineWavy, 5, kRed);
  EXPECT_GT(CountInk(dc_.get(), RECT{10, 44, 150, 50}), 0);  // above
  EXPECT_GT(CountInk(dc_.get(), RECT{10, 51, 150, 57}), 0);  // below
  EXPECT_EQ(CountInk(dc_.get(), RECT{0, 0, 200, 42}), 0);
  EXPECT_EQ(CountInk(dc_.get(), RECT{0, 59, 200, 100}), 0);
}

TEST_F(RendererTest, FramesAreSingleOrDoubleRectangles) {
  Begin(WhitePaper());
  renderer_.DrawFrame(100, 100, 1000, 800, kLineDouble, 15, kRed);
  EXPECT_EQ(At(50, 10), kRed);
  EXPECT_EQ(At(10, 40), kRed);
  EXPECT_EQ(At(100, 40), kRed);
  EXPECT_EQ(At(50, 80), kRed);
  EXPECT_EQ(At(50, 16), kRed);  // inner rectangle, two pen widths in
  EXPECT_EQ(At(50, 40), kWhite);
  renderer_.DrawFrame(1100, 100, 1900, 800, kLineDashed, 15, kBlue);
  EXPECT_EQ(At(114, 10), kBlue);
  EXPECT_EQ(At(150, 40), kWhite);
}

TEST_F(RendererTest, InvertRegionsInvertsTheUnionOnceAtTheOffset) {
  Begin(WhitePaper());
  EXPECT_EQ(renderer_.SetOffset(100, 0), (platform::POINT{0, 0}));
  const RECT rects[] = {RECT{0, 0, 200, 200}, RECT{100, 0, 300, 200}};
  renderer_.InvertRegions(rects, 2);
  EXPECT_EQ(At(15, 5), 0u);
  EXPECT_EQ(At(25, 5), 0u);
  EXPECT_EQ(At(35, 5), 0u);
  EXPECT_EQ(At(45, 5), kWhite);
  EXPECT_EQ(At(5, 5), kWhite);
  renderer_.InvertRegions(rects, 0);
  EXPECT_EQ(At(15, 5), 0u);
}

TEST_F(RendererTest, OffsetsAccumulateAndMoveEveryCoordinate) {
  Begin(WhitePaper());
  renderer_.SetOffset(100, 100);
  EXPECT_EQ(renderer_.AdvanceOffset(50, 150), (platform::POINT{100, 100}));
  EXPECT_EQ(renderer_.GetOffset(), (platform::POINT{150, 250}));
  renderer_.ShadeRect(0, 0, 100, 100, kShadeSolid, kRed);
  EXPECT_EQ(At(16, 26), kRed);
  EXPECT_EQ(At(14, 26), kWhite);
  renderer_.EndDraw();
  EXPECT_EQ(renderer_.GetOffset(), (platform::POINT{0, 0}));
}

TEST_F(RendererTest, DisplayZoomScalesCoordinatesAndMarks) {
  DisplaySettings settings = WhitePaper();
  settings.zoom = 2;
  Begin(settings);
  EXPECT_EQ(renderer_.GetZoom(), 2);
  renderer_.ShadeRect(100, 100, 100, 100, kShadeSolid, kRed);
  EXPECT_EQ(At(21, 21), kRed);
  EXPECT_EQ(At(39, 39), kRed);
  EXPECT_EQ(At(41, 39), kWhite);
  // A mark drawn before and after a zoom change has the zoom's size.
  renderer_.DrawMark(400, 400, kMarkEndOfText, kBlue);
  const int zoomedInk = CountInk(dc_.get(), RECT{70, 40, 110, 82});
  renderer_.EndDraw();
  settings.zoom = 1;
  renderer_.SetDisplaySettings(settings);
  const platform::UniqueDC fresh = platform::CreateImageDC(200, 100);
  renderer_.BeginPage(fresh.get(), kDrawingScreen);
  renderer_.DrawMark(400, 400, kMarkEndOfText, kBlue);
  const int plainInk = CountInk(fresh.get(), RECT{30, 20, 70, 62});
  EXPECT_GT(zoomedInk, 2 * plainInk);
  EXPECT_GT(plainInk, 0);
}

TEST_F(RendererTest, ZoomOfZeroDrawsAtZoomOne) {
  DisplaySettings settings = WhitePaper();
  settings.zoom = 0;
  Begin(settings);
  EXPECT_EQ(renderer_.GetZoom(), 1);
  renderer_.ShadeRect(100, 100, 100, 100, kShadeSolid, kRed);
  EXPECT_EQ(At(15, 15), kRed);
}

TEST_F(RendererTest, FarCoordinatesAtAHighZoomStayOffTheImage) {
  DisplaySettings settings = WhitePaper();
  settings.zoom = 200;
  Begin(settings);
  renderer_.ShadeRect(20000000, 20000000, 1000, 1000, kShadeSolid, kRed);
  renderer_.DrawLine(20000000, 100, 20001000, 100, kLineSingle, 10, kRed);
  EXPECT_EQ(CountInk(dc_.get(), RECT{0, 0, 200, 100}), 0);
}

TEST_F(RendererTest, BoldOrItalicRunMayReachPastItsClipByTheOverhang) {
  Begin(WhitePaper());
  // Twice as wide as high: the widest glyph overhangs the em by 20 px.
  CharFormat wide;
  std::strcpy(wide.face, platform::kSyntheticFixedFace);
  wide.size = 100;
  wide.widthScale = 200;
  int32_t plainId = -1;
  renderer_.FontUseList().SelectFormatFont(platform::GetDesktopDC(), wide, &plainId, 0);
  wide.bold = 1;
  int32_t boldId = -1;
  renderer_.FontUseList().SelectFormatFont(platform::GetDesktopDC(), wide, &boldId, 0);
  TextRun run = Run(kEffectPlain, kRed);
  run.text = "\x88\x9F";
  widths_[0] = 400;
  widths_[1] = 0;
  run.clip = RECT{0, 0, 300, 1000};  // ends at 30 px, inside the glyph
  run.fontId = plainId;
  renderer_.DrawTextRun(run);
  EXPECT_EQ(At(33, 55), kWhite);
  run.fontId = boldId;
  renderer_.DrawTextRun(run);
  EXPECT_EQ(At(33, 55), kRed);
}

TEST_F(RendererTest, TinySymbolFontDrawsNoPointer) {
  Begin(DisplaySettings{});
  renderer_.SetPageFormat(Format(platform::kSyntheticFixedFace, 25));  // 5 px at 144 dpi
  renderer_.DrawPointer(400, 500, kPointerRight);
  EXPECT_EQ(CountInk(dc_.get(), RECT{0, 0, 200, 100}), 0);
}

TEST(DrawLineSegmentTest, DrawsInDeviceUnitsOnTheGivenDc) {
  const platform::UniqueDC dc = platform::CreateImageDC(60, 40);
  CDrawDevice::DrawLineSegment(dc.get(), 5, 10, 50, 10, kLineSingle, 3, kRed);
  EXPECT_EQ(GetPixel(dc.get(), 20, 9), kRed);
  EXPECT_EQ(GetPixel(dc.get(), 20, 11), kRed);
  EXPECT_EQ(GetPixel(dc.get(), 20, 12), kWhite);
  EXPECT_EQ(GetPixel(dc.get(), 50, 10), kRed);  // one pixel further
  // The wavy kind is one pixel wide whatever width is asked.
  CDrawDevice::DrawLineSegment(dc.get(), 5, 30, 50, 30, kLineWavy, 9, kBlue);
  EXPECT_GT(CountInk(dc.get(), RECT{5, 26, 51, 35}), 0);
  EXPECT_EQ(CountInk(dc.get(), RECT{0, 20, 60, 25}), 0);
}

TEST_F(RendererTest, PrinterPageDrawsWithDeviceFontsAndThePhysicalOffset) {
  const auto path = ::testing::TempDir() + "renderer_page.pdf";
  {
    const platform::UniqueDC printer = platform::CreatePdfDC(
        path,
        platform::PrinterSetup{300, 300, platform::SIZE{2480, 3508}, platform::POINT{50, 50},
                               platform::SIZE{}});
    ASSERT_NE(printer, nullptr);
    renderer_.SetDisplaySettings(WhitePaper());
    renderer_.SetPageFormat(Format());
    renderer_.SetPrinting();
    renderer_.FontUseList().RealizeFonts(printer.get());
    renderer_.BeginPage(printer.get(), kDrawingPrinter);
    EXPECT_EQ(renderer_.GetZoom(), 1);
    renderer_.DrawTextRun(Run(kEffectShadow, 0));
    renderer_.ShadeRect(0, 0, 1440, 1440, 3, kRed);
    renderer_.DrawLine(0, 2000, 1440, 2000, kLineWavy, 10, 0);
    renderer_.EndDraw();
    renderer_.FontUseList().ReleaseFonts();
    renderer_.ClearPrinting();
  }
  EXPECT_GT(std::filesystem::file_size(path), 1000u);
  std::filesystem::remove(path);
}

TEST_F(RendererTest, WrapSwitchesCountOnlyWhenBothAreOne) {
  EXPECT_FALSE(renderer_.WrapSwitchesBothOn());
  renderer_.SetWrapSwitches(1, 0);
  EXPECT_FALSE(renderer_.WrapSwitchesBothOn());
  renderer_.SetWrapSwitches(2, 1);
  EXPECT_FALSE(renderer_.WrapSwitchesBothOn());
  renderer_.SetWrapSwitches(1, 1);
  EXPECT_TRUE(renderer_.WrapSwitchesBothOn());
  renderer_.AnnounceChild(2, 3);
  EXPECT_EQ(renderer_.GetAnnouncedChild().kind, 2);
  EXPECT_EQ(renderer_.GetAnnouncedChild().placeMark, 3);
}

// Which mark face shape was drawn with its origin at (x, y) pixels.
enum class Shape { kNone, kReturn, kDownArrow, kBox };

Shape ShapeAt(platform::HDC dc, int x, int y) {
  if (CountInk(dc, RECT{x - 2, y - 20, x + 14, y + 4}) == 0) return Shape::kNone;
  if (GetPixel(dc, x + 8, y - 10) != kWhite) return Shape::kReturn;
  if (GetPixel(dc, x + 5, y - 12) != kWhite) return Shape::kDownArrow;
  if (GetPixel(dc, x + 5, y - 6) != kWhite) return Shape::kBox;
  return Shape::kNone;
}

struct MarkCase {
  uint8_t code;
  int32_t paragraphEndKind;
  int32_t endOfTextKind;
  Shape shape;
};

class MarkTableTest : public RendererTest, public ::testing::WithParamInterface<MarkCase> {};

TEST_P(MarkTableTest, ControlCodesDrawTheirMarks) {
  Begin(WhitePaper());
  renderer_.SetEndMarkKinds(GetParam().paragraphEndKind, GetParam().endOfTextKind);
  renderer_.DrawMark(400, 500, GetParam().code, kRed);
  EXPECT_EQ(ShapeAt(dc_.get(), 40, 50), GetParam().shape);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MarkTableTest,
    ::testing::Values(MarkCase{0x0D, 1, 1, Shape::kReturn}, MarkCase{0x0D, 2, 1, Shape::kDownArrow},
                      MarkCase{0x0D, 3, 1, Shape::kNone}, MarkCase{0xFF, 1, 1, Shape::kReturn},
                      MarkCase{0xFF, 1, 2, Shape::kBox}, MarkCase{0xFF, 1, 3, Shape::kNone},
                      MarkCase{0x41, 2, 2, Shape::kReturn}, MarkCase{0x09, 2, 2, Shape::kReturn}));

TEST_F(RendererTest, PageBreakMarkAndMarkColours) {
  Begin(DisplaySettings{});
  renderer_.DrawMark(400, 500, kMarkPageBreak, kRed);
  // On black the marks are light grey whatever was asked.
  EXPECT_EQ(InkColour(dc_.get(), RECT{38, 30, 54, 54}), 0xE0E0E0u);
  renderer_.DrawMarkGrey(1400, 500, kMarkParagraphEnd);
  EXPECT_EQ(InkColour(dc_.get(), RECT{138, 30, 154, 54}), 0x808080u);
}

TEST_F(RendererTest, MarksOffSilencesTabsOnly) {
  DisplaySettings settings = WhitePaper();
  settings.marks = 0;
  Begin(settings);
  renderer_.DrawMark(400, 500, kMarkTab, kRed);
  EXPECT_EQ(ShapeAt(dc_.get(), 40, 50), Shape::kNone);
  renderer_.DrawMark(400, 500, kMarkParagraphEnd, kRed);
  EXPECT_EQ(ShapeAt(dc_.get(), 40, 50), Shape::kReturn);
}

TEST_F(RendererTest, OtherSymbolFaceUsesItsOwnCodes) {
  Begin(WhitePaper());
  FontRecord symbol = renderer_.GetSymbolFont();
  std::strcpy(symbol.face, "symbol");
  renderer_.SetSymbolFont(symbol, 1);
  // The end of text has no code in another face; nothing is installed
  // under that name anyway, so nothing is drawn.
  renderer_.DrawMark(400, 500, kMarkEndOfText, kRed);
  renderer_.DrawMark(400, 500, kMarkParagraphEnd, kRed);
  EXPECT_EQ(CountInk(dc_.get(), RECT{0, 0, 200, 100}), 0);
}

TEST_F(RendererTest, PointersAreTrianglesOnTheScreenOnly) {
  Begin(DisplaySettings{});
  // Symbol 10 pt at 144 dpi: 20 px high, so the triangle is 8 px deep.
  renderer_.DrawPointer(400, 500, kPointerRight);
  EXPECT_EQ(At(47, 50), 0xA0A0A0u);
  EXPECT_EQ(At(35, 50), kWhite);
  renderer_.DrawPointer(1400, 500, kPointerLeft);
  EXPECT_EQ(At(136, 50), 0xA0A0A0u);
  EXPECT_EQ(At(146, 50), kWhite);
  renderer_.DrawPointer(400, 200, kPointerCursor);
  EXPECT_EQ(At(36, 20), 0x0000A0u);
  renderer_.DrawPointer(400, 800, 4);
  EXPECT_EQ(CountInk(dc_.get(), RECT{30, 70, 60, 90}), 0);

  renderer_.SetPrinting();
  renderer_.DrawPointer(1400, 200, kPointerCursor);
  EXPECT_EQ(CountInk(dc_.get(), RECT{125, 10, 145, 30}), 0);
  EXPECT_TRUE(renderer_.IsPrinting());
  renderer_.ClearPrinting();
  EXPECT_FALSE(renderer_.IsPrinting());
}

TEST_F(RendererTest, DefaultFontFallsBackToTheFirstJapaneseFace) {
  renderer_.SetPageFormat(Format("Not Installed"));
  FontInfo info;
  ASSERT_NE(renderer_.FontUseList().GetFontInfo(renderer_.GetDefaultFontId(), &info), nullptr);
  EXPECT_STREQ(info.face, platform::kSyntheticFixedFace);
  EXPECT_EQ(info.size, 100);
}

TEST_F(RendererTest, RefreshKeepsTheOldDefaultAsThePreviousOne) {
  renderer_.SetPageFormat(Format());
  const int32_t first = renderer_.GetDefaultFontId();
  renderer_.RefreshDefaultFont(Format());
  EXPECT_EQ(renderer_.GetDefaultFontId(), first);
  EXPECT_EQ(renderer_.GetPreviousDefaultFontId(), -1);
  renderer_.RefreshDefaultFont(Format(platform::kSyntheticProportionalFace, 120));
  EXPECT_NE(renderer_.GetDefaultFontId(), first);
  EXPECT_EQ(renderer_.GetPreviousDefaultFontId(), first);
  EXPECT_EQ(renderer_.GetSymbolFont().size, 120);
}

TEST_F(RendererTest, VerticalFormatSelectsVerticalFaces) {
  PageFormat format = Format();
  format.vertical = 1;
  renderer_.SetPageFormat(format);
  FontInfo info;
  renderer_.FontUseList().GetFontInfo(renderer_.GetDefaultFontId(), &info);
  EXPECT_STREQ(info.face, "@Synthetic Fixed");
}

// The block as written out by hand: count, two 48-byte records, the
// default id, 128 reserved bytes.
std::vector<uint8_t> GoldenBlock(int32_t defaultId) {
  std::vector<uint8_t> bytes = {0x02, 0x00};
  const auto record = [&bytes](const char* face, std::vector<uint8_t> tail) {
    std::vector<uint8_t> name(32, 0);
    std::memcpy(name.data(), face, std::strlen(face));
    bytes.insert(bytes.end(), name.begin(), name.end());
    bytes.insert(bytes.end(), tail.begin(), tail.end());
  };
  record("Synthetic Fixed",
         {0x64, 0x00, 0x00, 0x00, 100, 100, 0, 0, 0x80, 0x31, 0, 0, 0x00, 0x00, 0x00, 0x00});
  record("Synthetic Proportional",
         {0x78, 0x00, 0x00, 0x00, 50, 100, 1, 0, 0x80, 0x12, 0, 0, 0x01, 0x00, 0x00, 0x00});
  for (int shift = 0; shift < 32; shift += 8) {
    bytes.push_back(static_cast<uint8_t>(defaultId >> shift));
  }
  bytes.insert(bytes.end(), 128, 0);
  return bytes;
}

std::vector<uint8_t> Store(CDocRenderer& renderer) {
  platform::CMemFile file;
  {
    platform::CArchive archive(&file, platform::CArchive::kStore);
    EXPECT_EQ(renderer.SerializeFontList(archive), 1);
    archive.Close();
  }
  return std::vector<uint8_t>(file.Data(), file.Data() + file.GetLength());
}

int Load(CDocRenderer& renderer, std::vector<uint8_t> bytes) {
  platform::CMemFile file(bytes.data(), bytes.size());
  platform::CArchive archive(&file, platform::CArchive::kLoad);
  return renderer.SerializeFontList(archive);
}

TEST_F(RendererTest, FontListIsStoredAsCountRecordsDefaultAndReservedBytes) {
  PageFormat format = Format();
  format.vertical = 1;  // stored faces lose their at sign
  renderer_.SetPageFormat(format);
  CharFormat second;
  std::strcpy(second.face, platform::kSyntheticProportionalFace);
  second.size = 120;
  second.heightScale = 50;
  second.bold = 1;
  int32_t id = -1;
  ASSERT_NE(renderer_.FontUseList().SelectFormatFont(platform::GetDesktopDC(), second, &id, 0),
            nullptr);
  ASSERT_EQ(id, 1);
  {
    platform::CMemFile file;
    platform::CArchive archive(&file, platform::CArchive::kStore);
    EXPECT_EQ(renderer_.SerializeFontList(archive), 0);  // no list yet
  }
  renderer_.NewFontList();
  EXPECT_EQ(Store(renderer_), GoldenBlock(0));
}

TEST_F(RendererTest, LoadedDefaultIdMapsToTheCurrentDefault) {
  renderer_.SetPageFormat(Format(platform::kSyntheticProportionalFace, 150));
  renderer_.NewFontList();
  ASSERT_EQ(Load(renderer_, GoldenBlock(3)), 1);
  EXPECT_EQ(renderer_.GetStoredDefaultFontId(), 3);
  ASSERT_EQ(renderer_.GetSavedFontList()->size(), 2u);

  int32_t id = 3;
  renderer_.MapSavedFont(nullptr, &id);
  EXPECT_EQ(id, renderer_.GetDefaultFontId());

  // Stored id 1 is the proportional face at 12 pt, 50% high, bold.
  id = 1;
  renderer_.MapSavedFont(nullptr, &id);
  FontInfo info;
  ASSERT_NE(renderer_.FontUseList().GetFontInfo(id, &info), nullptr);
  EXPECT_STREQ(info.face, platform::kSyntheticProportionalFace);
  EXPECT_EQ(info.size, 120);
  EXPECT_EQ(info.heightScale, 50);
  EXPECT_EQ(info.bold, 1);

  id = 7;  // not in the list
  renderer_.MapSavedFont(nullptr, &id);
  EXPECT_EQ(id, 7);

  renderer_.DeleteFontList();
  EXPECT_EQ(renderer_.GetStoredDefaultFontId(), -1);
  id = 1;
  renderer_.MapSavedFont(nullptr, &id);
  EXPECT_EQ(id, 1);
}

TEST_F(RendererTest, VerticalDocumentRestoresVerticalFaces) {
  PageFormat format = Format();
  format.vertical = 1;
  renderer_.SetPageFormat(format);
  renderer_.NewFontList();
  ASSERT_EQ(Load(renderer_, GoldenBlock(0)), 1);
  int32_t id = 1;
  renderer_.MapSavedFont(nullptr, &id);
  FontInfo info;
  ASSERT_NE(renderer_.FontUseList().GetFontInfo(id, &info), nullptr);
  EXPECT_STREQ(info.face, "@Synthetic Proportional");
}

TEST_F(RendererTest, MissingStoredFaceIsReplacedByOneOfItsSetAndPitch) {
  renderer_.SetPageFormat(Format());
  std::vector<uint8_t> block = GoldenBlock(5);
  std::memcpy(block.data() + 2 + 48, "Gone Face\0\0\0", 12);  // the second record's face
  renderer_.NewFontList();
  ASSERT_EQ(Load(renderer_, block), 1);
  int32_t id = 1;
  renderer_.MapSavedFont(platform::GetDesktopDC(), &id);
  FontInfo info;
  ASSERT_NE(renderer_.FontUseList().GetFontInfo(id, &info), nullptr);
  EXPECT_STREQ(info.face, platform::kSyntheticProportionalFace);  // variable pitch, roman
}

TEST_F(RendererTest, PreviousDefaultIdAlsoMapsToTheCurrentDefault) {
  renderer_.SetPageFormat(Format());
  const int32_t old = renderer_.GetDefaultFontId();
  renderer_.RefreshDefaultFont(Format(platform::kSyntheticProportionalFace, 120));
  renderer_.NewFontList();
  int32_t id = old;
  renderer_.MapSavedFont(nullptr, &id);
  EXPECT_EQ(id, renderer_.GetDefaultFontId());
}

TEST_F(RendererTest, DamagedBlocksAreRefused) {
  renderer_.NewFontList();
  std::vector<uint8_t> block = GoldenBlock(0);
  block.pop_back();  // one reserved byte short
  EXPECT_EQ(Load(renderer_, block), 0);
  block = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F};  // a count far beyond the bytes
  EXPECT_EQ(Load(renderer_, block), 0);
  EXPECT_TRUE(renderer_.GetSavedFontList()->empty());
}

TEST(RendererIpaTest, JapaneseRunWithTheIpaFaceInksEachGlyphCell) {
  CFontTable table;
  CDocRenderer renderer(table);
  PageFormat format;
  format.referenceDC = platform::GetDesktopDC();
  format.resolutionX = 96;
  format.resolutionY = 96;
  std::strcpy(format.face, platform::kFaceMsMincho);
  format.fontSize = 240;  // 24 pt: an em of 32 px
  renderer.SetPageFormat(format);
  DisplaySettings settings = WhitePaper();
  renderer.SetDisplaySettings(settings);
  const platform::UniqueDC dc = platform::CreateImageDC(200, 60);
  renderer.BeginPage(dc.get(), kDrawingScreen);
  const std::string text = platform::Utf8ToSjis("日本語").value();
  std::vector<int32_t> widths(text.size());
  renderer.FontUseList().GetCharWidths(renderer.GetDefaultFontId(), text.data(),
                                       static_cast<int32_t>(text.size()), widths.data());
  EXPECT_EQ(widths, (std::vector<int32_t>{480, 0, 480, 0, 480, 0}));
  TextRun run;
  run.x = 150;  // 10 px
  run.y = 600;  // 40 px
  run.clip = RECT{0, 0, 3000, 900};
  run.text = text.data();
  run.count = static_cast<int32_t>(text.size());
  run.widths = widths.data();
  run.fontId = renderer.GetDefaultFontId();
  renderer.DrawTextRun(run);
  for (int glyph = 0; glyph < 3; ++glyph) {
    EXPECT_GT(CountInk(dc.get(), RECT{10 + 32 * glyph, 12, 42 + 32 * glyph, 44}), 40) << glyph;
  }
  EXPECT_EQ(CountInk(dc.get(), RECT{110, 0, 200, 60}), 0);
  EXPECT_EQ(CountInk(dc.get(), RECT{0, 0, 200, 8}), 0);
}

TEST(RendererIpaTest, MissingPageFaceFallsBackToMincho) {
  CFontTable table;
  CDocRenderer renderer(table);
  PageFormat format;
  format.referenceDC = platform::GetDesktopDC();
  format.resolutionX = 96;
  format.resolutionY = 96;
  std::strcpy(format.face, "Not Installed");
  format.fontSize = 105;
  renderer.SetPageFormat(format);
  FontInfo info;
  ASSERT_NE(renderer.FontUseList().GetFontInfo(renderer.GetDefaultFontId(), &info), nullptr);
  EXPECT_STREQ(info.face, platform::kFaceMsMincho);
}

}  // namespace

namespace {

// A damaged stored line style may carry any width: the pen is capped, the
// arithmetic never overflows, and a negative width draws the thinnest line.
TEST_F(RendererTest, AbsurdLineWidthsAreCapped) {
  Begin(WhitePaper());
  renderer_.DrawLine(100, 500, 1000, 500, kLineSingle, 0x7FFFFFFF, kRed);
  EXPECT_EQ(At(50, 50), kRed);
  renderer_.DrawFrame(100, 100, 1000, 900, kLineDouble, 0x7FFFFFFF, kBlue);
  renderer_.DrawLine(100, 950, 1000, 950, kLineSingle, -0x7FFFFFFF, kGreen);
  EXPECT_EQ(At(50, 95), kGreen);
}

}  // namespace
