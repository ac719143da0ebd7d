// The editing surface's window, its records and its painting: the page
// frame from the page bitmap, the text where the engine draws it, the
// inverted selection, in page view and continuous view at zoom 1 and 2,
// and the repaint of a region that paints nothing outside it.
#include <gtest/gtest.h>

#include <cstring>
#include <utility>
#include <vector>

#include "ed_view_fixture.h"
#include "engine/texts.h"
#include "platform/clipboard.h"
#include "platform/cursor.h"
#include "platform/display_backend.h"
#include "platform/input.h"

namespace views_test {
namespace {

using framework::CView;
using platform::POINT;

std::vector<uint8_t> Bytes(const void* record, size_t size) {
  const auto* bytes = static_cast<const uint8_t*>(record);
  return std::vector<uint8_t>(bytes, bytes + size);
}

TEST(EditSurfaceRecords, TheDisplayRecordIsSevenIntsInOrder) {
  const EditSurfaceDisplayRecord record{0,          2,          0x00112233, 0x00445566,
                                        0x00778899, 0x00AABBCC, 0x00DDEEFF};
  EXPECT_EQ(Bytes(&record, sizeof record),
            (std::vector<uint8_t>{0x00, 0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00, 0x33, 0x22,
                                  0x11, 0x00, 0x66, 0x55, 0x44, 0x00, 0x99, 0x88, 0x77, 0x00,
                                  0xCC, 0xBB, 0xAA, 0x00, 0xFF, 0xEE, 0xDD, 0x00}));
}

TEST(EditSurfaceRecords, TheStyleBlockHoldsTheClauseStylesAndTheEnterOption) {
  EditSurfaceStyleBlock block;
  block.closeImeAfterComposition = 1;
  block.enterOption = 1;
  EXPECT_EQ(Bytes(&block, sizeof block),
            (std::vector<uint8_t>{
                0x01, 0x00, 0x00, 0x00,                                                  // close
                0x00, 0x00, 0xFF, 0x00, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x00, 0x00,  // input
                0x00, 0x00, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x00, 0x00,  // target
                0x00, 0x00, 0xFF, 0x00, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x00, 0x00,  // conv.
                0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0xFF, 0x00, 0x00, 0x00, 0x00, 0x00,  // t. not
                0x01, 0x00, 0x00, 0x00}));
}

TEST_F(EdViewTest, TheWindowClassAndTheSurfaceWindow) {
  CVedEdView& view = Surface(1, 1, 300, 200);
  platform::WNDCLASS windowClass;
  ASSERT_TRUE(platform::GetClassInfo(kEditSurfaceClass, &windowClass));
  EXPECT_EQ(windowClass.style, platform::CS_VREDRAW | platform::CS_HREDRAW | platform::CS_DBLCLKS |
                                   platform::CS_OWNDC);
  EXPECT_EQ(windowClass.hbrBackground, nullptr);
  EXPECT_EQ(windowClass.hCursor, platform::IDC_ARROW);
  const uint32_t style =
      static_cast<uint32_t>(platform::GetWindowLong(view.m_hWnd, platform::GWL_STYLE));
  const uint32_t wanted = platform::WS_CHILD | platform::WS_VISIBLE | platform::WS_CLIPSIBLINGS |
                          platform::WS_CLIPCHILDREN;
  EXPECT_EQ(style & wanted, wanted);
  EXPECT_TRUE(view.IsKindOf(RUNTIME_CLASS(CVedEdView)));
  EXPECT_TRUE(view.IsKindOf(RUNTIME_CLASS(CView)));
  EXPECT_NE(view.ClipboardFormat(), 0);
  EXPECT_EQ(view.ClipboardFormat(), platform::RegisterClipboardFormatA(kClipboardFormatName));
}

TEST_F(EdViewTest, TheSurfaceIsMadeByItsRuntimeClass) {
  framework::CObject* made = RUNTIME_CLASS(CVedEdView)->CreateObject();
  ASSERT_NE(made, nullptr);
  EXPECT_TRUE(made->IsKindOf(RUNTIME_CLASS(CVedEdView)));
  delete made;
}

TEST_F(EdViewTest, TheMarginCursorIsTheArrowPointingUpRight) {
  CVedEdView& view = Surface(1, 1, 300, 200);
  const std::optional<platform::CursorShape> shape = platform::GetCursorShape(view.MarginCursor());
  ASSERT_TRUE(shape.has_value());
  EXPECT_EQ(shape->hotSpot, (POINT{31, 0}));
  EXPECT_EQ(shape->width, 32);
  EXPECT_EQ(shape->height, 32);
  ASSERT_EQ(shape->andMask.size(), kMarginCursorMaskBytes);
  ASSERT_EQ(shape->xorMask.size(), kMarginCursorMaskBytes);
  struct Row {
    int row;
    std::vector<uint8_t> andBytes, xorBytes;
  };
  for (const Row& r : {
           Row{0, {0xFF, 0xFF, 0xFF, 0xFE}, {0x00, 0x00, 0x00, 0x00}},   // the tip
           Row{2, {0xFF, 0xFF, 0xFF, 0xF8}, {0x00, 0x00, 0x00, 0x02}},   // black, white, black
           Row{10, {0xFF, 0xFF, 0xF8, 0x00}, {0x00, 0x00, 0x00, 0x3E}},  // the arrow's base
           Row{18, {0xFF, 0xFF, 0xFE, 0x7F}, {0x00, 0x00, 0x00, 0x00}},  // the tail's end
           Row{31, {0xFF, 0xFF, 0xFF, 0xFF}, {0x00, 0x00, 0x00, 0x00}},  // transparent
       }) {
    const auto at = static_cast<std::ptrdiff_t>(r.row * 4);
    EXPECT_EQ(std::vector<uint8_t>(shape->andMask.begin() + at, shape->andMask.begin() + at + 4),
              r.andBytes)
        << r.row;
    EXPECT_EQ(std::vector<uint8_t>(shape->xorMask.begin() + at, shape->xorMask.begin() + at + 4),
              r.xorBytes)
        << r.row;
  }
}

TEST_F(EdViewTest, PageViewAtZoomOneShowsBothPagesFramed) {
  // 850 wide: the page is centred, 28 pixels from the left; 19 from the top.
  Surface(1, 1, 850, 1300);
  constexpr int32_t x0 = 28;
  constexpr int32_t y0 = kGap;
  constexpr int32_t page2 = y0 + kPaperHeight + kGap;
  struct Sample {
    const char* what;
    POINT at;
    COLORREF colour;
  };
  for (const Sample& s : {
           Sample{"desk left of the page", {10, 300}, kDesk},
           Sample{"desk above the page", {400, 5}, kDesk},
           Sample{"border", {x0, 300}, kBorder},
           Sample{"paper in the margin", {x0 + 20, y0 + 50}, kPaper},
           Sample{"shadow right of the page", {x0 + kPaperWidth, 300}, kShadow},
           Sample{"shadow's outer column", {x0 + kPaperWidth + kShadowSize - 1, 300}, kShadow},
           Sample{"desk past the shadow", {x0 + kPaperWidth + kShadowSize, 300}, kDesk},
           Sample{"desk at the shadow's top corner", {x0 + kPaperWidth, y0}, kDesk},
           Sample{"shadow below the page", {400, y0 + kPaperHeight}, kShadow},
           Sample{"desk in the gap", {400, y0 + kPaperHeight + 10}, kDesk},
           Sample{"mark left of the text's top-left corner",
                  {x0 + kTextLeft - 1 - 10, y0 + kTextTop - 1},
                  kMarks},
           Sample{"mark above the text's top-left corner",
                  {x0 + kTextLeft - 1, y0 + kTextTop - 1 - 10},
                  kMarks},
           Sample{"the mark's end",
                  {x0 + kTextLeft - 1 - (kMarkLength - 1), y0 + kTextTop - 1},
                  kMarks},
           Sample{"past the mark's end",
                  {x0 + kTextLeft - 1 - kMarkLength - 1, y0 + kTextTop - 1},
                  kPaper},
           Sample{"second page's border", {x0, page2 + 100}, kBorder},
           Sample{"second page's paper", {x0 + 20, page2 + 50}, kPaper},
           Sample{"second page's mark", {x0 + kTextLeft - 1 - 10, page2 + kTextTop - 1}, kMarks},
       }) {
    EXPECT_EQ(Pixel(s.at.x, s.at.y), s.colour) << s.what;
  }
}

// Where the engine paints the text of a page's first line, the surface
// shows it, moved by the page's place in the window.
void ExpectFirstLineAt(EdViewTest& test, platform::HDC reference, int32_t zoom, POINT pageAt,
                       const char* what) {
  int inked = 0;
  const int32_t left = zoom == 1 ? kTextLeft : kTextLeftZoom2;
  const int32_t top = zoom == 1 ? kTextTop : kTextTopZoom2;
  for (int32_t x = left; x < left + 80 * zoom; ++x) {
    for (int32_t y = top; y < top + 20 * zoom; y += 2) {
      const COLORREF engine = platform::GetPixel(reference, x, y);
      if (engine == kText) ++inked;
      ASSERT_EQ(test.PixelAt(pageAt.x + x, pageAt.y + y), engine) << what << " " << x << "," << y;
    }
  }
  EXPECT_GT(inked, 0) << what << ": the line has ink";
}

TEST_F(EdViewTest, TheTextShowsWhereTheEngineDrawsItInBothViewsAndZooms) {
  struct Case {
    const char* what;
    int32_t pageView, zoom, page;
    POINT pageAt;  // where the page's corner lies in the window
  };
  for (const Case& c : {
           Case{"page view, zoom 1, first page", 1, 1, 1, {28, kGap}},
           Case{"page view, zoom 1, second page", 1, 1, 2, {28, kGap + kPaperHeight + kGap}},
           Case{"continuous, zoom 1, first page", 0, 1, 1, {-57, -kTextTop}},
           Case{"continuous, zoom 1, second page", 0, 1, 2, {-57, kFullPageUsed - kTextTop}},
           Case{"page view, zoom 2, first page", 1, 2, 1, {0, 0}},
           Case{
               "continuous, zoom 2, first page", 0, 2, 1, {-(kTextLeftZoom2 - 19), -kTextTopZoom2}},
       }) {
    platform::UniqueDC reference = ReferencePage(c.page, c.zoom);
    Surface(c.pageView, c.zoom, 850, 1300);
    ExpectFirstLineAt(*this, reference.get(), c.zoom, c.pageAt, c.what);
    platform::DestroyWindow(view_->m_hWnd);
  }
}

TEST_F(EdViewTest, AtZoomTwoTheMarksAndShadowKeepTheirSizeAndTheSecondPageFollowsTheGap) {
  CVedEdView& view = Surface(1, 2, 850, 1300);
  // The bottom of the first page, its shadow, the gap and the second page.
  ASSERT_EQ(view.ScrollVert(kScrollThumbPosition, 950), 1);
  Pump();
  const DisplayLine first = view.DisplayLines().Lines().front();
  ASSERT_EQ(first.page, 1);
  constexpr int32_t paperHeight = 2245;
  const int32_t page1Top = -first.yOrigin;
  const int32_t page2Top = page1Top + paperHeight + 2 * kGap;
  EXPECT_EQ(Pixel(400, page1Top + paperHeight - 5), kPaper);
  EXPECT_EQ(Pixel(400, page1Top + paperHeight + kShadowSize - 1), kShadow);
  EXPECT_EQ(Pixel(400, page1Top + paperHeight + kShadowSize), kDesk) << "the shadow stays 2";
  EXPECT_EQ(Pixel(400, page2Top - 1), kDesk);
  EXPECT_EQ(Pixel(400, page2Top), kBorder);
  const POINT corner{kTextLeftZoom2 - 1, page2Top + kTextTopZoom2 - 1};
  EXPECT_EQ(Pixel(corner.x - (kMarkLength - 1), corner.y), kMarks);
  EXPECT_EQ(Pixel(corner.x - kMarkLength - 1, corner.y), kPaper) << "the mark stays 23";
  platform::UniqueDC reference = ReferencePage(2, 2);
  ExpectFirstLineAt(*this, reference.get(), 2, {0, page2Top}, "second page at zoom 2");
}

TEST_F(EdViewTest, ContinuousViewDrawsThePageBoundaryInTheMarkColour) {
  Surface(0, 1, 850, 1300);
  int marked = 0;
  for (int32_t x = 0; x < 40; ++x) marked += Pixel(x, kFullPageUsed - 1) == kMarks ? 1 : 0;
  EXPECT_GT(marked, 0);
  EXPECT_EQ(Pixel(5, 5), kPaper) << "no desk, no frame";
  EXPECT_EQ(Pixel(5, kFullPageUsed + 200), kPaper);
}

TEST_F(EdViewTest, TheSelectionIsInverted) {
  CVedEdView& view = Surface(1, 1, 850, 1300);
  platform::UniqueDC reference = ReferencePage(1, 1);
  engine.EditCommand(WPC_MOVE_EXTEND, kMoveLineEnd, kCharacterWise);
  const CaretPoint caret = Caret();
  view.OnCaretMoved(kMoveLineEnd, &caret);
  Pump();
  ASSERT_FALSE(view.Selection().IsEmpty());
  int inverted = 0;
  for (int32_t x = kTextLeft; x < kTextLeft + 60; ++x) {
    const COLORREF engineColour = platform::GetPixel(reference.get(), x, kTextTop + 10);
    const COLORREF shown = Pixel(28 + x, kGap + kTextTop + 10);
    EXPECT_EQ(shown, engineColour ^ 0xFFFFFF) << x;
    inverted += shown == kText ? 1 : 0;
  }
  EXPECT_GT(inverted, 0);
  EXPECT_EQ(Pixel(28 + kTextLeft + 10, kGap + kTextTop + 40), kPaper) << "the second line is not";
}

TEST_F(EdViewTest, ARegionRepaintPaintsOnlyItsRegion) {
  CVedEdView& view = Surface(1, 1, 850, 1300);
  EditSurfaceDisplayRecord changed = Display(1, 1);
  changed.deskColour = 0x123456;
  view.SetDisplayRecord(changed);
  const RECT inside{0, 0, 20, 300};
  view.RepaintRegion(platform::Region(inside));
  EXPECT_EQ(Pixel(10, 100), 0x123456u);
  EXPECT_EQ(Pixel(10, 299), 0x123456u);
  EXPECT_EQ(Pixel(10, 300), kDesk) << "below the region";
  EXPECT_EQ(Pixel(20, 100), kDesk) << "right of the region";
  RECT update;
  EXPECT_FALSE(platform::GetUpdateRect(view.m_hWnd, &update, false)) << "painted directly";
}

// Keeps what the window system asked the display to show.
class PresentingDisplay : public platform::HeadlessBackend {
 public:
  void PresentNativeWindow(platform::HWND window, const RECT& dirty) override {
    presented.push_back({window, dirty});
  }
  std::vector<std::pair<platform::HWND, RECT>> presented;
};

TEST_F(EdViewTest, ARegionRepaintedOutsideAPaintIsShownOnTheDisplay) {
  CVedEdView& view = Surface(1, 1, 850, 1300);
  PresentingDisplay display;
  const platform::ScopedDisplay scoped(display);
  const RECT inside{0, 0, 20, 300};
  view.RepaintRegion(platform::Region(inside));
  ASSERT_FALSE(display.presented.empty());
  const auto& [window, dirty] = display.presented.back();
  EXPECT_EQ(window, host_);
  EXPECT_TRUE(platform::IntersectionOf(dirty, inside) == inside) << "the whole region";
}

TEST_F(EdViewTest, BeforeAnEngineIsAttachedNothingIsPaintedOrHit) {
  view_ = new CVedEdView;
  ASSERT_EQ(view_->CreateEditSurfaceWindow(framework::CWnd::FromHandle(host_)), 1);
  platform::MoveWindow(view_->m_hWnd, 0, 0, 300, 200, false);
  const COLORREF before = Pixel(100, 100);
  PaintAll();
  EXPECT_EQ(Pixel(100, 100), before);
  CaretPoint point;
  EXPECT_EQ(view_->HitTestPoint(100, 100, &point), kHitBelowLastPage);
  EXPECT_EQ(view_->ScrollVert(kScrollLineForward, 0), 0);
  // A zoom of 0 is taken as 1: nothing divides by it.
  view_->SetDisplayRecord(Display(1, 0));
  EXPECT_EQ(view_->Geometry().zoom, 1);
}

}  // namespace
}  // namespace views_test
