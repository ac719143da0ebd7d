#include "engine/page_numbers.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "engine/texts.h"
#include "model/font_table.h"
#include "platform/font_service.h"
#include "platform/gdi.h"
#include "platform/sjis.h"
#include "platform/synthetic_fonts.h"

namespace {

// At 1440 dpi a pixel is a twip: a size of 120 gives digits 120 twips wide.
constexpr int32_t kDpi = 1440;
constexpr int32_t kSize = 120;
constexpr int32_t kDigit = kSize;
constexpr platform::RECT kArea{1000, 500, 5000, 900};
constexpr platform::COLORREF kText = 0x123456;
constexpr platform::COLORREF kBack = 0x654321;

// The synthetic faces, with the fixed face installed a second time under
// the first fallback name.
class FallbackFontService final : public platform::FontService {
 public:
  explicit FallbackFontService(bool withMincho) : faces_(base_.Faces()) {
    if (withMincho) {
      faces_.push_back(
          {kPageNumberFallbackMincho, platform::SHIFTJIS_CHARSET, platform::FIXED_PITCH, true});
    }
  }
  const std::vector<platform::FaceDescription>& Faces() const override { return faces_; }
  std::shared_ptr<const platform::FontFace> Open(std::string_view name) const override {
    if (platform::FindFace(*this, name) == nullptr) return nullptr;
    return base_.Open(name == kPageNumberFallbackMincho ? platform::kSyntheticFixedFace : name);
  }

 private:
  platform::SyntheticFontService base_;
  std::vector<platform::FaceDescription> faces_;
};

struct DrawnRun {
  int32_t printer = 0;
  std::string text;
  int32_t x = 0;
  int32_t y = 0;
  platform::RECT clip;
  int32_t fontId = 0;
  platform::COLORREF colour = 0;
  platform::COLORREF secondColour = 0;
  platform::COLORREF boxColour = 0;
};

// Keeps what would be drawn.
class RecordingPageNumber : public CVedPageNumber {
 public:
  explicit RecordingPageNumber(CFontTable& table) : CVedPageNumber(table) {}
  void BeginDraw(platform::HDC, int32_t printer, CFontUseList*) override { printer_ = printer; }
  void EndDraw() override {}
  void DrawTextRun(const TextRun& run) override {
    runs.push_back({printer_, std::string(run.text, static_cast<size_t>(run.count)), run.x, run.y,
                    run.clip, run.fontId, run.colour, run.secondColour, run.boxColour});
  }
  std::vector<DrawnRun> runs;

 private:
  int32_t printer_ = kNotDrawing;
};

class PageNumberTest : public ::testing::Test {
 protected:
  explicit PageNumberTest(bool withMincho = true)
      : service_(withMincho), dc_(platform::CreateImageDC(64, 64, kDpi, kDpi)) {}

  void Setup(const char* face, int16_t vertical = 0, int16_t alignment = 0, int16_t style = 0,
             int16_t first = 1) {
    PageNumberBlock block;
    std::strcpy(block.face, face);
    block.fontSize = kSize;
    block.area = kArea;
    block.shown = 1;
    block.firstNumber = first;
    block.alignment = alignment;
    block.style = style;
    numbers.SetSettings(block);
    PageNumberDevice device;
    device.referenceDC = dc_.get();
    device.resolutionX = device.resolutionY = kDpi;
    device.vertical = vertical;
    device.textColour = kText;
    device.backgroundColour = kBack;
    numbers.SetDevice(device);
  }

  FontInfo Font() {
    FontInfo info;
    numbers.FontList().GetFontInfo(numbers.FontIndex(), &info);
    return info;
  }

  FallbackFontService service_;
  platform::ScopedFontService useService_{service_};
  CFontTable table_;
  platform::UniqueDC dc_;

 public:
  RecordingPageNumber numbers{table_};
};

TEST_F(PageNumberTest, TextsAreTheProgramsOwn) {
  EXPECT_EQ(platform::Utf8ToSjis("ＭＳ 明朝"), kPageNumberFallbackMincho);
  EXPECT_EQ(platform::Utf8ToSjis("ＭＳ ゴシック"), kPageNumberFallbackGothic);
  EXPECT_EQ(platform::Utf8ToSjis("symbol"), kPageNumberFallbackSymbol);
  EXPECT_EQ(platform::Utf8ToSjis("- %d -"), kPageNumberDashed);
  EXPECT_EQ(platform::Utf8ToSjis("%d / %d"), kPageNumberOfLast);
  EXPECT_EQ(platform::Utf8ToSjis("%d"), kPageNumberPlain);
}

TEST_F(PageNumberTest, ValuesAfterConstruction) {
  EXPECT_STREQ(numbers.Settings().face, kPageNumberFallbackGothic);
  EXPECT_EQ(numbers.Settings().fontSize, 105);
  EXPECT_EQ(numbers.Settings().shown, 0);
  EXPECT_EQ(numbers.Device().textColour, 0xFFFFFFu);
  EXPECT_EQ(numbers.Device().backgroundColour, 0u);
  EXPECT_EQ(numbers.Device().zoom, 1);
  EXPECT_EQ(numbers.Device().screenSuppression, 0);
  EXPECT_EQ(numbers.FontIndex(), CVedPageNumber::kNoFont);
  numbers.Draw(dc_.get(), 1, 1, kPageNumberToScreen);
  EXPECT_TRUE(numbers.runs.empty());
}

struct PlaceCase {
  const char* name;
  int16_t vertical;
  int16_t alignment;
  int16_t style;
  int32_t page;
  int32_t count;
  std::string text;
  // Along the writing direction, from the text's width w.
  int32_t (*along)(int32_t w);
};

void PrintTo(const PlaceCase& c, std::ostream* os) { *os << c.name; }

class PageNumberPlaceTest : public PageNumberTest,
                            public ::testing::WithParamInterface<PlaceCase> {};

TEST_P(PageNumberPlaceTest, DrawsTheTextWhereTheAlignmentPutsIt) {
  const PlaceCase& c = GetParam();
  Setup(platform::kSyntheticFixedFace, c.vertical, c.alignment, c.style);
  ASSERT_NE(numbers.FontIndex(), CVedPageNumber::kNoFont);
  numbers.Draw(dc_.get(), c.page, c.count, kPageNumberToScreen);
  ASSERT_EQ(numbers.runs.size(), 1u);
  const DrawnRun& run = numbers.runs[0];
  EXPECT_EQ(run.text, c.text);
  const int32_t along = c.along(static_cast<int32_t>(c.text.size()) * kDigit);
  const FontInfo font = Font();
  ASSERT_GT(font.lineHeight, 0);
  platform::LOGFONTA logFont;
  numbers.FontList().Table().GetEntryMetrics(numbers.FontIndex(), nullptr, &logFont);
  EXPECT_EQ(logFont.lfEscapement, c.vertical != 0 ? 900 : 0);
  if (c.vertical == 0) {
    EXPECT_EQ(run.x, along);
    EXPECT_EQ(run.y, kArea.top + (kArea.Height() - font.lineHeight) / 2 + font.ascent);
  } else {
    EXPECT_EQ(run.y, along);
    EXPECT_EQ(run.x, kArea.left + (kArea.Width() - font.lineHeight) / 2 + font.ascent);
  }
  EXPECT_EQ(run.clip, kArea);
  EXPECT_EQ(run.fontId, numbers.FontIndex());
  EXPECT_EQ(run.printer, kDrawingScreen);
  EXPECT_EQ(run.colour, kText);
  EXPECT_EQ(run.secondColour, kBack);
  EXPECT_EQ(run.boxColour, 0x808080u);
}

INSTANTIATE_TEST_SUITE_P(
    Places, PageNumberPlaceTest,
    ::testing::Values(
        PlaceCase{"StartPlain", 0, 1, 0, 7, 9, "7", [](int32_t) { return kArea.left; }},
        PlaceCase{"EndDashed", 0, 3, 2, 12, 20, "- 12 -",
                  [](int32_t w) { return kArea.right - w; }},
        PlaceCase{"CentredOfLast", 0, 0, 3, 2, 5, "2 / 5",
                  [](int32_t w) { return kArea.left + (kArea.Width() - w) / 2; }},
        PlaceCase{"VerticalStart", 1, 1, 0, 3, 3, "3", [](int32_t) { return kArea.bottom; }},
        PlaceCase{"VerticalEnd", 1, 3, 0, 10, 10, "10", [](int32_t w) { return kArea.top + w; }},
        PlaceCase{"VerticalCentred", 1, 2, 2, 4, 4, "- 4 -",
                  [](int32_t w) { return kArea.bottom - (kArea.Height() - w) / 2; }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PageNumberTest, TheDevicesZoomGoesToTheFonts) {
  Setup(platform::kSyntheticFixedFace);
  PageNumberDevice device = numbers.Device();
  device.zoom = 2;
  numbers.SetDevice(device);
  EXPECT_EQ(numbers.FontList().Table().GetZoom(), 2);
  EXPECT_EQ(numbers.FontList().GetResolution().x, kDpi);
}

TEST_F(PageNumberTest, NumbersBelowOneAreNotDrawn) {
  Setup(platform::kSyntheticFixedFace, 0, 1, 3, 0);
  numbers.Draw(dc_.get(), 1, 5, kPageNumberToScreen);
  EXPECT_TRUE(numbers.runs.empty());
  numbers.Draw(dc_.get(), 2, 5, kPageNumberToScreen);
  ASSERT_EQ(numbers.runs.size(), 1u);
  EXPECT_EQ(numbers.runs[0].text, "1 / 4");
}

TEST_F(PageNumberTest, HiddenNumbersAreNotDrawn) {
  Setup(platform::kSyntheticFixedFace);
  PageNumberBlock hidden = numbers.Settings();
  hidden.shown = 0;
  numbers.SetSettings(hidden);
  numbers.Draw(dc_.get(), 1, 1, kPageNumberToScreen);
  EXPECT_TRUE(numbers.runs.empty());
}

TEST_F(PageNumberTest, APlaceLeftOfThePageIsNotDrawn) {
  Setup(platform::kSyntheticFixedFace, 0, 1);
  PageNumberBlock block = numbers.Settings();
  block.area.left = -10;
  numbers.SetSettings(block);
  numbers.Draw(dc_.get(), 1, 1, kPageNumberToScreen);
  EXPECT_TRUE(numbers.runs.empty());
}

TEST_F(PageNumberTest, AMissingFaceFallsBackToMincho) {
  Setup("No Such Face");
  ASSERT_NE(numbers.FontIndex(), CVedPageNumber::kNoFont);
  EXPECT_STREQ(Font().face, kPageNumberFallbackMincho);
}

class PageNumberWithoutFallbackTest : public PageNumberTest {
 protected:
  PageNumberWithoutFallbackTest() : PageNumberTest(false) {}
};

TEST_F(PageNumberWithoutFallbackTest, NoFaceAtAllDrawsNothing) {
  Setup("No Such Face");
  EXPECT_EQ(numbers.FontIndex(), CVedPageNumber::kNoFont);
  numbers.Draw(dc_.get(), 1, 1, kPageNumberToScreen);
  EXPECT_TRUE(numbers.runs.empty());
}

TEST_F(PageNumberTest, PrintingIsBlackAndIgnoresTheScreenSuppression) {
  Setup(platform::kSyntheticFixedFace);
  PageNumberDevice device = numbers.Device();
  device.screenSuppression = 1;
  numbers.SetDevice(device);
  numbers.Draw(dc_.get(), 1, 1, kPageNumberToScreen);
  EXPECT_TRUE(numbers.runs.empty());
  numbers.Draw(dc_.get(), 1, 1, kPageNumberToPrinter);
  ASSERT_EQ(numbers.runs.size(), 1u);
  EXPECT_EQ(numbers.runs[0].printer, kDrawingPrinter);
  EXPECT_EQ(numbers.runs[0].colour, 0u);
}

TEST_F(PageNumberTest, OtherTargetsAskTheDeviceContext) {
  Setup(platform::kSyntheticFixedFace);
  numbers.Draw(dc_.get(), 1, 1, 0);
  platform::PrinterSetup setup;
  setup.paper = {1000, 1000};
  const platform::UniqueDC printer =
      platform::CreatePdfDC(::testing::TempDir() + "page_numbers_test.pdf", setup);
  ASSERT_NE(printer, nullptr);
  numbers.Draw(printer.get(), 1, 1, 0);
  ASSERT_EQ(numbers.runs.size(), 2u);
  EXPECT_EQ(numbers.runs[0].printer, kDrawingScreen);
  EXPECT_EQ(numbers.runs[0].colour, kText);
  EXPECT_EQ(numbers.runs[1].printer, kDrawingPrinter);
  EXPECT_EQ(numbers.runs[1].colour, 0u);
}

}  // namespace
