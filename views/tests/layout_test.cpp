// The framework view's children placed by their anchors: the rulers, the
// scroll bars and the corner boxes around the editing surface.
#include <gtest/gtest.h>

#include <memory>

#include "framework/wnd.h"
#include "platform/paint.h"
#include "platform/system_info.h"
#include "platform/window.h"
#include "views/box_wnd.h"
#include "views/child_anchor.h"
#include "views/scroll_bars.h"

namespace {

using platform::HWND;
using platform::POINT;
using platform::RECT;

constexpr char kLayoutHostClass[] = "LayoutTestHost";
constexpr int32_t kRuler = 24;

platform::LRESULT HostProc(HWND window, platform::UINT message, platform::WPARAM wParam,
                           platform::LPARAM lParam) {
  return platform::DefWindowProc(window, message, wParam, lParam);
}

HWND MakeHost(int32_t width, int32_t height) {
  platform::WNDCLASS host;
  host.lpfnWndProc = HostProc;
  host.lpszClassName = kLayoutHostClass;
  platform::RegisterClass(host);
  return platform::CreateWindowEx(0, kLayoutHostClass, "",
                                  platform::WS_VISIBLE | platform::WS_CLIPCHILDREN, 0, 0, width,
                                  height, platform::kNoWindow, 0, nullptr);
}

HWND MakeChild(HWND parent) {
  return platform::CreateWindowEx(0, kLayoutHostClass, "",
                                  platform::WS_CHILD | platform::WS_VISIBLE, 0, 0, 0, 0, parent, 0,
                                  nullptr);
}

RECT WindowPlace(HWND window) {
  RECT rect;
  platform::GetWindowRect(window, &rect);
  POINT corner{rect.left, rect.top};
  platform::ScreenToClient(platform::GetParent(window), &corner);
  return rect.Offset(corner.x - rect.left, corner.y - rect.top);
}

// ---- One anchor at a time --------------------------------------------------

class AnchorTest : public ::testing::Test {
 protected:
  AnchorTest() : host_(MakeHost(400, 300)), child_(MakeChild(host_)) {
    anchor_.window = child_;
    anchor_.parent = host_;
  }
  ~AnchorTest() override { platform::DestroyWindow(host_); }

  HWND host_;
  HWND child_;
  ChildAnchor anchor_;
};

struct AnchorCase {
  int type;
  int32_t width;
  int32_t height;
  RECT expected;
};

class AnchorTypeTest : public AnchorTest, public ::testing::WithParamInterface<AnchorCase> {};

// A view of 300 x 200 with insets 10 and 20 from the left and top, 30 and
// 40 from the right and bottom.
TEST_P(AnchorTypeTest, PlacesTheChildByItsTypeAndSize) {
  const AnchorCase& c = GetParam();
  anchor_.width = c.width;
  anchor_.height = c.height;
  anchor_.SetAnchor(c.type, RECT{10, 20, -30, -40});
  anchor_.ApplyAnchor(300, 200);
  EXPECT_EQ(anchor_.placed, c.expected);
  EXPECT_EQ(WindowPlace(child_), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Types, AnchorTypeTest,
    ::testing::Values(AnchorCase{kAnchorFill, 0, 0, {10, 20, 270, 160}},
                      AnchorCase{kAnchorFill, 50, 60, {10, 20, 60, 80}},
                      AnchorCase{kAnchorLeftStrip, 24, 0, {0, 20, 24, 160}},
                      AnchorCase{kAnchorRightStrip, 16, 0, {284, 20, 300, 160}},
                      // Stretched, a right strip starts at the left edge.
                      AnchorCase{kAnchorRightStrip, 0, 0, {0, 20, 270, 160}},
                      AnchorCase{kAnchorTopStrip, 0, 24, {10, 0, 270, 24}},
                      AnchorCase{kAnchorBottomStrip, 0, 16, {10, 184, 270, 200}},
                      AnchorCase{kAnchorBottomStrip, 0, 0, {10, 0, 270, 160}},
                      AnchorCase{kAnchorTopLeft, 24, 24, {0, 0, 24, 24}},
                      AnchorCase{kAnchorBottomLeft, 24, 16, {0, 184, 24, 200}},
                      // Without a height the bottom-left corner is the top-left one.
                      AnchorCase{kAnchorBottomLeft, 24, 0, {0, 0, 24, 160}},
                      AnchorCase{kAnchorTopRight, 16, 24, {284, 0, 300, 24}},
                      AnchorCase{kAnchorBottomRight, 16, 16, {284, 184, 300, 200}}));

TEST_F(AnchorTest, AViewSmallerThanAFixedCornerKeepsItsOriginOnTheView) {
  anchor_.width = 16;
  anchor_.height = 16;
  anchor_.SetAnchor(kAnchorBottomRight, RECT{});
  anchor_.ApplyAnchor(10, 12);
  EXPECT_EQ(anchor_.placed, (RECT{0, 0, 16, 16}));
}

TEST_F(AnchorTest, AStretchNarrowerThanItsInsetsIsEmptyNotNegative) {
  anchor_.width = kAnchorStretch;
  anchor_.height = kAnchorStretch;
  anchor_.SetAnchor(kAnchorFill, RECT{24, 24, -16, -16});
  anchor_.ApplyAnchor(30, 35);
  EXPECT_EQ(anchor_.placed, (RECT{24, 24, 24, 24}));
  EXPECT_EQ(WindowPlace(child_), (RECT{24, 24, 24, 24}));
}

TEST_F(AnchorTest, PlacesNothingWithoutWindowParentOrViewSize) {
  anchor_.width = kAnchorStretch;
  anchor_.height = kAnchorStretch;
  platform::MoveWindow(child_, 5, 6, 7, 8, false);
  const RECT before{5, 6, 12, 14};
  anchor_.ApplyAnchor(0, 200);
  anchor_.ApplyAnchor(300, 0);
  ChildAnchor noParent = anchor_;
  noParent.parent = platform::kNoWindow;
  noParent.ApplyAnchor(300, 200);
  ChildAnchor noWindow = anchor_;
  noWindow.window = platform::kNoWindow;
  noWindow.ApplyAnchor(300, 200);
  EXPECT_EQ(WindowPlace(child_), before);
  EXPECT_EQ(anchor_.placed, RECT{});
  EXPECT_EQ(noParent.placed, RECT{});
  EXPECT_EQ(noWindow.placed, RECT{});
}

TEST_F(AnchorTest, ANewRecordIsUnsizedAndGivesItsSize) {
  const ChildAnchor fresh;
  int32_t width = 0;
  int32_t height = 0;
  fresh.GetAnchorSize(&width, &height);
  EXPECT_EQ(width, kAnchorSizeUnset);
  EXPECT_EQ(height, kAnchorSizeUnset);
  anchor_.width = 16;
  anchor_.height = 0;
  anchor_.GetAnchorSize(&width, &height);
  EXPECT_EQ(width, 16);
  EXPECT_EQ(height, 0);
}

struct PointCase {
  POINT view;
  int inside;
  POINT after;
};

class AnchorPointTest : public ::testing::TestWithParam<PointCase> {};

TEST_P(AnchorPointTest, TurnsAViewPointInsideIntoChildCoordinates) {
  ChildAnchor anchor;
  anchor.placed = RECT{24, 24, 284, 184};
  POINT point = GetParam().view;
  EXPECT_EQ(anchor.PointToChild(&point), GetParam().inside);
  EXPECT_EQ(point, GetParam().after);
}

INSTANTIATE_TEST_SUITE_P(
    Points, AnchorPointTest,
    ::testing::Values(PointCase{{24, 24}, 1, {0, 0}}, PointCase{{30, 40}, 1, {6, 16}},
                      PointCase{{283, 183}, 1, {259, 159}}, PointCase{{284, 40}, 0, {284, 40}},
                      PointCase{{30, 184}, 0, {30, 184}}, PointCase{{23, 40}, 0, {23, 40}}));

// ---- The nine children of a view ---------------------------------------------

// The view's children as the framework view makes them: plain windows
// stand for the surface and the rulers.
class ViewLayoutTest : public ::testing::Test {
 protected:
  ViewLayoutTest() : host_(MakeHost(300, 200)) {
    framework::CWnd* view = framework::CWnd::FromHandle(host_);
    surface_ = Plain(kAnchorStretch, kAnchorStretch);
    vertRuler_ = Plain(kRuler, kAnchorStretch);
    horzRuler_ = Plain(kAnchorStretch, kRuler);
    EXPECT_EQ(vertBar_.CreateScrollBar(view), 1);
    EXPECT_EQ(horzBar_.CreateScrollBar(view), 1);
    const ChildAnchor* columns[] = {&vertRuler_, &vertRuler_, &vertBar_.Anchor(),
                                    &vertBar_.Anchor()};
    const ChildAnchor* rows[] = {&horzRuler_, &horzBar_.Anchor(), &horzRuler_, &horzBar_.Anchor()};
    const int corners[] = {kAnchorTopLeft, kAnchorBottomLeft, kAnchorTopRight, kAnchorBottomRight};
    for (int i = 0; i < kBoxes; ++i) {
      int32_t width = 0;
      int32_t height = 0;
      int32_t ignored = 0;
      columns[i]->GetAnchorSize(&width, &ignored);
      rows[i]->GetAnchorSize(&ignored, &height);
      boxes_[i] = std::make_unique<CBoxWnd>();
      EXPECT_EQ(boxes_[i]->CreateBoxWindow(view, width, height), 1);
      boxes_[i]->Anchor().SetAnchor(corners[i], RECT{});
    }
    surface_.type = kAnchorFill;
    vertRuler_.type = kAnchorLeftStrip;
    horzRuler_.type = kAnchorTopStrip;
    vertBar_.Anchor().type = kAnchorRightStrip;
    horzBar_.Anchor().type = kAnchorBottomStrip;
  }
  ~ViewLayoutTest() override {
    platform::DestroyWindow(host_);
    framework::CWnd::DeleteTempMap();
  }

  ChildAnchor Plain(int32_t width, int32_t height) {
    ChildAnchor anchor;
    anchor.window = MakeChild(host_);
    anchor.parent = host_;
    anchor.width = width;
    anchor.height = height;
    return anchor;
  }

  // The insets the view gives its children for the rulers it shows.
  void SetInsets(bool horzRulerShown, bool vertRulerShown) {
    const int32_t r = horzRulerShown ? horzRuler_.height : 0;
    const int32_t l = vertRulerShown ? vertRuler_.width : 0;
    const int32_t v = vertBar_.Anchor().width;
    const int32_t h = horzBar_.Anchor().height;
    surface_.inset = RECT{l, r, -v, -h};
    horzRuler_.inset = RECT{l, 0, -v, 0};
    vertRuler_.inset = RECT{0, r, 0, -h};
    vertBar_.Anchor().inset = RECT{0, r, 0, -h};
    horzBar_.Anchor().inset = RECT{l, 0, -v, 0};
  }

  void ApplyAll(int32_t width, int32_t height) {
    for (ChildAnchor* anchor :
         {&surface_, &vertRuler_, &horzRuler_, &vertBar_.Anchor(), &horzBar_.Anchor()}) {
      anchor->ApplyAnchor(width, height);
    }
    for (auto& box : boxes_) box->Anchor().ApplyAnchor(width, height);
  }

  static constexpr int kBoxes = 4;
  HWND host_;
  ChildAnchor surface_;
  ChildAnchor vertRuler_;
  ChildAnchor horzRuler_;
  CVertScrollBar vertBar_;
  CHorzScrollBar horzBar_;
  std::unique_ptr<CBoxWnd> boxes_[kBoxes];
};

TEST_F(ViewLayoutTest, BarsTakeTheSystemSizesAndBoxesTheirNeighbours) {
  const int32_t bar = platform::GetSystemMetrics(platform::SM_CXVSCROLL);
  ASSERT_EQ(bar, 16);
  EXPECT_EQ(vertBar_.Anchor().width, bar);
  EXPECT_EQ(vertBar_.Anchor().height, kAnchorStretch);
  EXPECT_EQ(horzBar_.Anchor().width, kAnchorStretch);
  EXPECT_EQ(horzBar_.Anchor().height, platform::GetSystemMetrics(platform::SM_CYHSCROLL));
  const std::pair<int32_t, int32_t> sizes[] = {{24, 24}, {24, 16}, {16, 24}, {16, 16}};
  for (int i = 0; i < kBoxes; ++i) {
    EXPECT_EQ(boxes_[i]->Anchor().width, sizes[i].first) << i;
    EXPECT_EQ(boxes_[i]->Anchor().height, sizes[i].second) << i;
  }
}

TEST_F(ViewLayoutTest, AViewOf300By200WithBothRulersPlacesEveryChild) {
  SetInsets(true, true);
  ApplyAll(300, 200);
  EXPECT_EQ(WindowPlace(surface_.window), (RECT{24, 24, 284, 184}));
  EXPECT_EQ(WindowPlace(vertBar_.m_hWnd), (RECT{284, 24, 300, 184}));
  EXPECT_EQ(WindowPlace(horzBar_.m_hWnd), (RECT{24, 184, 284, 200}));
  EXPECT_EQ(WindowPlace(vertRuler_.window), (RECT{0, 24, 24, 184}));
  EXPECT_EQ(WindowPlace(horzRuler_.window), (RECT{24, 0, 284, 24}));
  EXPECT_EQ(WindowPlace(boxes_[0]->m_hWnd), (RECT{0, 0, 24, 24}));
  EXPECT_EQ(WindowPlace(boxes_[1]->m_hWnd), (RECT{0, 184, 24, 200}));
  EXPECT_EQ(WindowPlace(boxes_[2]->m_hWnd), (RECT{284, 0, 300, 24}));
  EXPECT_EQ(WindowPlace(boxes_[3]->m_hWnd), (RECT{284, 184, 300, 200}));
  EXPECT_EQ(boxes_[3]->Anchor().placed, (RECT{284, 184, 300, 200}));
}

TEST_F(ViewLayoutTest, HidingTheHorizontalRulerMovesTheSurfaceAndVerticalBarsUp) {
  SetInsets(false, true);
  ApplyAll(300, 200);
  EXPECT_EQ(WindowPlace(surface_.window), (RECT{24, 0, 284, 184}));
  EXPECT_EQ(WindowPlace(vertBar_.m_hWnd), (RECT{284, 0, 300, 184}));
  EXPECT_EQ(WindowPlace(vertRuler_.window), (RECT{0, 0, 24, 184}));
}

TEST_F(ViewLayoutTest, AViewNarrowerThanItsFixedPartsStretchesNothingBelowZero) {
  SetInsets(true, true);
  ApplyAll(30, 200);
  EXPECT_EQ(WindowPlace(surface_.window), (RECT{24, 24, 24, 184}));
  EXPECT_EQ(WindowPlace(horzBar_.m_hWnd), (RECT{24, 184, 24, 200}));
  EXPECT_EQ(WindowPlace(horzRuler_.window), (RECT{24, 0, 24, 24}));
  EXPECT_EQ(WindowPlace(vertBar_.m_hWnd), (RECT{14, 24, 30, 184}));
}

// ---- The box's face ------------------------------------------------------------

class BoxPaintTest : public ::testing::Test {
 protected:
  BoxPaintTest() : host_(MakeHost(100, 100)) {
    EXPECT_EQ(box_.CreateBoxWindow(framework::CWnd::FromHandle(host_), 16, 16), 1);
    box_.Anchor().SetAnchor(kAnchorTopLeft, RECT{});
    box_.Anchor().ApplyAnchor(100, 100);
  }
  ~BoxPaintTest() override {
    platform::DestroyWindow(host_);
    framework::CWnd::DeleteTempMap();
  }

  platform::COLORREF Pixel(int32_t x, int32_t y) const {
    return platform::GetPixel(platform::GetWindowSurface(host_), x, y);
  }
  void Paint() {
    platform::InvalidateRect(box_.m_hWnd, nullptr, true);
    platform::UpdateWindow(box_.m_hWnd);
  }

  HWND host_;
  CBoxWnd box_;
};

TEST_F(BoxPaintTest, ABoxIsADisabledChildOfItsClass) {
  std::string className;
  ASSERT_TRUE(platform::GetClassName(box_.m_hWnd, &className));
  EXPECT_EQ(className, kBoxWindowClass);
  EXPECT_FALSE(platform::IsWindowEnabled(box_.m_hWnd));
  platform::WNDCLASS windowClass;
  ASSERT_TRUE(platform::GetClassInfo(kBoxWindowClass, &windowClass));
  EXPECT_EQ(windowClass.style, platform::CS_VREDRAW | platform::CS_HREDRAW);
  EXPECT_EQ(windowClass.hCursor, 0u);
}

TEST_F(BoxPaintTest, APlainBoxIsButtonFace) {
  Paint();
  const platform::COLORREF face = platform::GetSysColor(platform::COLOR_BTNFACE);
  for (const POINT p : {POINT{0, 0}, POINT{8, 8}, POINT{15, 15}, POINT{2, 2}, POINT{3, 8}}) {
    EXPECT_EQ(Pixel(p.x, p.y), face) << p.x << "," << p.y;
  }
}

TEST_F(BoxPaintTest, ABevelledBoxHasAShadowFrameWithHighlightsInside) {
  box_.SetBevelInset(2);
  Paint();
  const platform::COLORREF face = platform::GetSysColor(platform::COLOR_BTNFACE);
  const platform::COLORREF shadow = platform::GetSysColor(platform::COLOR_BTNSHADOW);
  const platform::COLORREF highlight = platform::GetSysColor(platform::COLOR_BTNHIGHLIGHT);
  struct Sample {
    POINT point;
    platform::COLORREF colour;
  };
  // The frame runs round (2, 2)-(13, 13); the highlight inside its top
  // and left edges, and below its bottom edge.
  const Sample samples[] = {
      {{0, 0}, face},       {{1, 8}, face},       {{2, 2}, shadow},     {{13, 8}, shadow},
      {{8, 13}, shadow},    {{2, 8}, shadow},     {{3, 8}, highlight},  {{8, 3}, highlight},
      {{3, 12}, highlight}, {{12, 3}, highlight}, {{8, 14}, highlight}, {{2, 14}, highlight},
      {{8, 8}, face},       {{4, 4}, face},       {{15, 15}, face},     {{14, 8}, face},
  };
  for (const Sample& s : samples) {
    EXPECT_EQ(Pixel(s.point.x, s.point.y), s.colour) << s.point.x << "," << s.point.y;
  }
}

}  // namespace
