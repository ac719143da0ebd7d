// The display and printing commands as the page view sends them from its
// paint handler: colours, the redraw gate, the repaint state of a page,
// painting a page region into an image, the selection's rectangles and
// printing a page into a PDF printer.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "engine/wp_commands.h"
#include "engine/wp_ctrl.h"
#include "platform/gdi.h"
#include "wp_ctrl_fixture.h"

namespace doc_root_test {
namespace {

constexpr int32_t kAreaLeft = 1134;
constexpr int32_t kAreaTop = 1701;
constexpr int32_t kAreaRight = kAreaLeft + kStyleCharsPerLine * kWide;
// The test style's paper, 210 by 297 mm, in twips.
constexpr int32_t kPaperWidth = 11906;
constexpr int32_t kPaperHeight = 16838;
// The paper at 96 dpi, in pixels.
constexpr int32_t kPaperPixelsX = 794;
constexpr int32_t kPaperPixelsY = 1123;

int32_t Pixels(int32_t twips) { return twips * 96 / 1440; }

class DisplayCommandTest : public WpCtrlFixture {
 protected:
  intptr_t Display(int code, intptr_t value = 0, void* record = nullptr) {
    return engine.DisplayCommand(code, value, record);
  }
  static CaretPoint WholePage(int32_t page) {
    CaretPoint request;
    request.rect = {0, 0, kPaperWidth, kPaperHeight};
    request.page = page;
    return request;
  }
  // Pixels of the image that differ from its paper colour, in a band of
  // page twips.
  static int InkedPixels(platform::HDC dc, const platform::RECT& twips) {
    const platform::COLORREF paper = platform::GetPixel(dc, 0, 0);
    int inked = 0;
    for (int32_t y = Pixels(twips.top); y < Pixels(twips.bottom); ++y) {
      for (int32_t x = Pixels(twips.left); x < Pixels(twips.right); ++x) {
        inked += platform::GetPixel(dc, x, y) != paper ? 1 : 0;
      }
    }
    return inked;
  }
  static platform::RECT LineBand(int line) {
    return {kAreaLeft, kAreaTop + (line - 1) * kLinePitch, kAreaRight,
            kAreaTop + line * kLinePitch};
  }
};

TEST_F(DisplayCommandTest, ColoursAndScreenSuppressionAreKeptAndAnswered) {
  ColourRecord set;
  Display(WPC_GET_COLOURS, 0, &set);
  set.display.background = 0x102030;
  set.display.text = 0xA0B0C0;
  set.display.zoom = 2;
  set.screenSuppression = 1;
  EXPECT_EQ(Display(WPC_SET_COLOURS, 0, &set), 0);
  ColourRecord got;
  EXPECT_EQ(Display(WPC_GET_COLOURS, 0, &got), 0);
  EXPECT_EQ(got.display.background, 0x102030u);
  EXPECT_EQ(got.display.text, 0xA0B0C0u);
  EXPECT_EQ(got.display.zoom, 2);
  EXPECT_EQ(got.screenSuppression, 1);
}

TEST_F(DisplayCommandTest, TheRedrawGateHoldsBackPaintingAndItsQueries) {
  Type("abc");
  auto image = platform::CreateImageDC(kPaperPixelsX, kPaperPixelsY, 96, 96);
  CaretPoint page = WholePage(1);
  EXPECT_EQ(Display(WPC_ENABLE_REDRAW, 0), 1) << "the gate starts open";
  window.Clear();
  Display(WPC_PAINT_PAGE, reinterpret_cast<intptr_t>(image.get()), &page);
  EXPECT_EQ(InkedPixels(image.get(), LineBand(1)), 0);
  const platform::RECT* rects = nullptr;
  EXPECT_EQ(Display(WPC_GET_REPAINT_STATE, 1, &rects), 0);
  EXPECT_EQ(Display(WPC_GET_CARET_RECTS, 1, &rects), 0);
  EXPECT_EQ(window.Count(WM_WPC_BEFOREDRAW), 0u);

  EXPECT_EQ(Display(WPC_ENABLE_REDRAW, 1), 0);
  Display(WPC_PAINT_PAGE, reinterpret_cast<intptr_t>(image.get()), &page);
  EXPECT_GT(InkedPixels(image.get(), LineBand(1)), 0);
  EXPECT_EQ(InkedPixels(image.get(), LineBand(2)), 0);
  EXPECT_EQ(window.Count(WM_WPC_BEFOREDRAW), 1u);
  EXPECT_EQ(window.Count(WM_WPC_AFTERDRAW), 1u);
}

TEST_F(DisplayCommandTest, PaintingDrawsOnlyTheRequestedBandOfItsPage) {
  Type("abcdefghijklmnopqrstABCDEFGHIJ");  // two lines
  auto image = platform::CreateImageDC(kPaperPixelsX, kPaperPixelsY, 96, 96);
  struct Case {
    const char* name;
    platform::RECT rect;
    int32_t page;
    bool first;
    bool second;
  };
  const Case cases[] = {
      {"the whole page", {0, 0, kPaperWidth, kPaperHeight}, 1, true, true},
      {"the second line", LineBand(2), 1, false, true},
      {"left of the text", {0, 0, kAreaLeft, kPaperHeight}, 1, false, false},
      {"a page that does not exist", {0, 0, kPaperWidth, kPaperHeight}, 2, false, false},
  };
  for (const Case& c : cases) {
    auto fresh = platform::CreateImageDC(kPaperPixelsX, kPaperPixelsY, 96, 96);
    CaretPoint request{c.rect, c.page};
    Display(WPC_PAINT_PAGE, reinterpret_cast<intptr_t>(fresh.get()), &request);
    EXPECT_EQ(InkedPixels(fresh.get(), LineBand(1)) > 0, c.first) << c.name;
    EXPECT_EQ(InkedPixels(fresh.get(), LineBand(2)) > 0, c.second) << c.name;
  }
  // Nothing to paint into, or no region: nothing happens.
  CaretPoint page = WholePage(1);
  Display(WPC_PAINT_PAGE, 0, &page);
  Display(WPC_PAINT_PAGE, reinterpret_cast<intptr_t>(image.get()), nullptr);
  EXPECT_EQ(Display(WPC_IS_PAINTING), 0);
}

TEST_F(DisplayCommandTest, AWholePageLeavesTheNextPagesFirstLineToThatPage) {
  // A full first page and one line on the second, each line ending with
  // its paragraph.
  std::string text;
  for (int line = 0; line <= kStyleLinesPerPage; ++line) text += "abc\r";
  Type(text.c_str());
  ASSERT_EQ(engine.EditCommand(WPC_GET_PAGE_COUNT, 0, 0), 2);
  auto first = platform::CreateImageDC(kPaperPixelsX, kPaperPixelsY, 96, 96);
  CaretPoint page = WholePage(1);
  Display(WPC_PAINT_PAGE, reinterpret_cast<intptr_t>(first.get()), &page);
  EXPECT_GT(InkedPixels(first.get(), LineBand(kStyleLinesPerPage)), 0);
  EXPECT_EQ(InkedPixels(first.get(), LineBand(kStyleLinesPerPage + 1)), 0);
  auto second = platform::CreateImageDC(kPaperPixelsX, kPaperPixelsY, 96, 96);
  page = WholePage(2);
  Display(WPC_PAINT_PAGE, reinterpret_cast<intptr_t>(second.get()), &page);
  EXPECT_GT(InkedPixels(second.get(), LineBand(1)), 0);
}

TEST_F(DisplayCommandTest, AHandlerCalledWhilePaintingCannotPaintAgain) {
  Type("abc");
  auto image = platform::CreateImageDC(kPaperPixelsX, kPaperPixelsY, 96, 96);
  CaretPoint page = WholePage(1);
  int paintingSeen = -1;
  int nestedBefore = 0;
  window.onMessage = [&](platform::UINT message) {
    if (message != WM_WPC_BEFOREDRAW) return;
    paintingSeen = static_cast<int>(Display(WPC_IS_PAINTING));
    if (++nestedBefore == 1) {
      Display(WPC_PAINT_PAGE, reinterpret_cast<intptr_t>(image.get()), &page);
      const platform::RECT* rects = nullptr;
      EXPECT_EQ(Display(WPC_GET_REPAINT_STATE, 1, &rects), 0);
    }
  };
  window.Clear();
  Display(WPC_PAINT_PAGE, reinterpret_cast<intptr_t>(image.get()), &page);
  window.onMessage = nullptr;
  EXPECT_EQ(paintingSeen, 1);
  EXPECT_EQ(nestedBefore, 1) << "the nested paint was refused";
  EXPECT_EQ(Display(WPC_IS_PAINTING), 0);
}

TEST_F(DisplayCommandTest, TheRepaintStateFollowsEditsResetAndRepaintAll) {
  const platform::RECT* rects = nullptr;
  Display(WPC_RESET_REPAINT_STATE);
  EXPECT_EQ(Display(WPC_GET_REPAINT_STATE, 1, &rects), 0);
  Type("abc");
  EXPECT_NE(Display(WPC_GET_REPAINT_STATE, 1, &rects), 0);
  EXPECT_EQ(Display(WPC_RESET_REPAINT_STATE), 0);
  EXPECT_EQ(Display(WPC_GET_REPAINT_STATE, 1, &rects), 0);
  EXPECT_EQ(Display(WPC_GET_REPAINT_STATE, 2, &rects), 0) << "no such page";

  // Repainting everything tells the window even when its mask is closed.
  engine.NotifyCommand(WPC_SET_NOTIFY_MASK, 0);
  window.Clear();
  EXPECT_EQ(Display(WPC_REPAINT_ALL), 0);
  EXPECT_EQ(Display(WPC_GET_REPAINT_STATE, 1, &rects), 1);
  EXPECT_EQ(window.Notifications(), std::vector<platform::UINT>{WM_WPC_CONTENTCHANGED});

  // Without a window there is nobody to repaint for.
  engine.NotifyCommand(WPC_SET_NOTIFY_WINDOW, 0);
  Display(WPC_RESET_REPAINT_STATE);
  Display(WPC_REPAINT_ALL);
  EXPECT_EQ(Display(WPC_GET_REPAINT_STATE, 1, &rects), 0);
}

TEST_F(DisplayCommandTest, TheSelectionsRectanglesLieOnTheLinesOfTheirPage) {
  Type("abcdefghijklmnopqrstABCDEFGHIJ");  // two lines
  const platform::RECT* rects = nullptr;
  EXPECT_EQ(Display(WPC_GET_CARET_RECTS, 1, &rects), 0) << "no selection, no highlight";

  engine.EditCommand(WPC_MOVE, kMoveDocumentStart, 1);
  engine.EditCommand(WPC_MOVE_EXTEND, kMoveNextChar, 1);
  engine.EditCommand(WPC_MOVE_EXTEND, kMoveLineDown, 1);
  const int count = static_cast<int>(Display(WPC_GET_CARET_RECTS, 1, &rects));
  ASSERT_GE(count, 2);
  ASSERT_LE(count, 3);
  ASSERT_NE(rects, nullptr);
  for (int i = 0; i < count; ++i) {
    // A line's margins, one character either side, highlight with it.
    EXPECT_GE(rects[i].left, kAreaLeft - kWide) << i;
    EXPECT_LE(rects[i].right, kAreaRight + kWide) << i;
    EXPECT_GE(rects[i].top, kAreaTop) << i;
    EXPECT_LE(rects[i].bottom, kAreaTop + 2 * kLinePitch) << i;
    EXPECT_LT(rects[i].top, rects[i].bottom) << i;
  }
  EXPECT_EQ(rects[0].top, kAreaTop);
  EXPECT_EQ(rects[count - 1].bottom, kAreaTop + 2 * kLinePitch - text_test::kLineGap);
  for (const int page : {0, 2, -1}) {
    EXPECT_EQ(Display(WPC_GET_CARET_RECTS, page, &rects), 0) << page;
  }
}

TEST_F(DisplayCommandTest, APageIsPrintedIntoAPdfPrinterWhateverTheGate) {
  Type("abcdefghij");
  const std::string path =
      (std::filesystem::path(::testing::TempDir()) / "wp_commands_4000_print.pdf").string();
  std::filesystem::remove(path);
  platform::PrinterSetup setup;
  setup.paper = {4961, 7016};  // A4 at 600 dpi
  setup.physicalOffset = {0, 0};
  {
    auto printer = platform::CreatePdfDC(path, setup);
    ASSERT_NE(printer, nullptr);
    const auto dc = reinterpret_cast<intptr_t>(printer.get());
    EXPECT_EQ(Display(WPC_BEGIN_PRINT, dc), 1);
    Display(WPC_ENABLE_REDRAW, 0);
    window.Clear();
    CaretPoint page = WholePage(1);
    EXPECT_EQ(Display(WPC_PRINT_PAGE, dc, &page), 0);
    EXPECT_EQ(window.Count(WM_WPC_BEFOREDRAW), 1u) << "the printer is not held back by the gate";
    EXPECT_EQ(Display(WPC_END_PRINT), 0);
    Display(WPC_ENABLE_REDRAW, 1);
    EXPECT_EQ(Display(WPC_BEGIN_PRINT, 0), 0) << "no printer to attach";
    Display(WPC_END_PRINT);
  }
  EXPECT_TRUE(std::filesystem::exists(path));
  EXPECT_GT(std::filesystem::file_size(path), 0u);
  std::filesystem::remove(path);
}

}  // namespace
}  // namespace doc_root_test
