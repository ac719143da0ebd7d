#include "platform/scroll_bar.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <vector>

#include "platform/clock.h"
#include "platform/input.h"
#include "platform/message_driver.h"
#include "platform/paint.h"
#include "platform/system_info.h"
#include "platform/window.h"
#include "window_test_support.h"

namespace {

using namespace platform;
using ::testing::ElementsAre;

struct Scrolled {
  UINT message;
  int code;
  int position;
  HWND bar;
  bool operator==(const Scrolled&) const = default;
};

std::vector<Scrolled> scrolled;
// What the parent does when told: nothing, move a page down, or destroy the bar.
enum class Answer { kNone, kMovePageDown, kDestroy };
Answer answer = Answer::kNone;
constexpr int32_t kPage = 10;

void AnswerScroll(HWND bar, int code) {
  if (answer == Answer::kMovePageDown && code == SB_PAGEDOWN)
    SetScrollPos(bar, SB_CTL, GetScrollPos(bar, SB_CTL) + kPage, true);
  if (answer == Answer::kDestroy) DestroyWindow(bar);
}

LRESULT ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_HSCROLL || message == WM_VSCROLL) {
    scrolled.push_back({message, LowWord(static_cast<LPARAM>(wParam)),
                        HighWord(static_cast<LPARAM>(wParam)), static_cast<HWND>(lParam)});
    AnswerScroll(static_cast<HWND>(lParam), LowWord(static_cast<LPARAM>(wParam)));
    return 0;
  }
  return DefWindowProc(window, message, wParam, lParam);
}

constexpr char kParentClass[] = "ScrollParent";
// Where the bar's client area lies on the screen and on the parent's image.
constexpr POINT kParentOrigin{100, 100};
constexpr POINT kBarOrigin{10, 10};
constexpr int32_t kBarThickness = 16;
constexpr int32_t kBarLength = 200;

class ScrollBarTest : public ::testing::Test {
 protected:
  ScrollBarTest() {
    ResetWindowMessages();
    scrolled.clear();
    answer = Answer::kNone;
    RegisterTestClass(kParentClass, ParentProc);
    parent_ = CreateWindowEx(0, kParentClass, "", WS_VISIBLE, kParentOrigin.x, kParentOrigin.y, 300,
                             300, kNoWindow, 0, nullptr);
  }
  ~ScrollBarTest() override { ResetWindowMessages(); }

  HWND MakeBar(DWORD style) {
    const bool vertical = (style & SBS_VERT) != 0;
    return CreateWindowEx(0, kScrollBarClass, "", WS_CHILD | WS_VISIBLE | style, kBarOrigin.x,
                          kBarOrigin.y, vertical ? kBarThickness : kBarLength,
                          vertical ? kBarLength : kBarThickness, parent_, 1, nullptr);
  }
  static void SetAll(HWND bar, int32_t min, int32_t max, uint32_t page, int32_t pos) {
    SCROLLINFO info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    info.nMin = min;
    info.nMax = max;
    info.nPage = page;
    info.nPos = pos;
    SetScrollInfo(bar, SB_CTL, &info, true);
  }
  static void MoveTo(POINT inBar) {
    mouse_event(MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE, kParentOrigin.x + kBarOrigin.x + inBar.x,
                kParentOrigin.y + kBarOrigin.y + inBar.y, 0, 0);
  }
  static void Press(POINT inBar) {
    MoveTo(inBar);
    mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
  }
  static void Release() { mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0); }
  COLORREF Pixel(POINT inBar) const {
    return GetPixel(GetWindowSurface(parent_), kBarOrigin.x + inBar.x, kBarOrigin.y + inBar.y);
  }

  FakeClock clock_;
  ScopedClock scoped_{clock_};
  MessageDriver driver_{clock_};
  HWND parent_ = kNoWindow;
};

TEST_F(ScrollBarTest, TheClassIsTheSystemsAndOutlivesAReset) {
  WNDCLASS found;
  EXPECT_TRUE(GetClassInfo("scrollbar", &found));
  EXPECT_FALSE(UnregisterClass(kScrollBarClass));
  ResetWindowMessages();
  EXPECT_TRUE(GetClassInfo(kScrollBarClass, &found));
}

TEST_F(ScrollBarTest, ANewControlHasAnEmptyRange) {
  const HWND bar = MakeBar(SBS_VERT);
  SCROLLINFO info;
  info.fMask = SIF_ALL;
  info.nMax = 7;
  ASSERT_TRUE(GetScrollInfo(bar, SB_CTL, &info));
  EXPECT_EQ(info.nMin, 0);
  EXPECT_EQ(info.nMax, 0);
  EXPECT_EQ(info.nPage, 0u);
  EXPECT_EQ(info.nPos, 0);
  EXPECT_EQ(info.nTrackPos, 0);
}

struct ClampCase {
  UINT mask;
  int32_t min, max;
  uint32_t page;
  int32_t pos;
  int32_t wantMin, wantMax;
  uint32_t wantPage;
  int32_t wantPos;
};

class ScrollClampTest : public ScrollBarTest, public ::testing::WithParamInterface<ClampCase> {};

// Each case starts from range 0..100, page 10, position 50.
TEST_P(ScrollClampTest, SetScrollInfoClampsAndAnswersThePosition) {
  const ClampCase& c = GetParam();
  const HWND bar = MakeBar(SBS_VERT);
  SetAll(bar, 0, 100, 10, 50);
  SCROLLINFO info;
  info.fMask = c.mask;
  info.nMin = c.min;
  info.nMax = c.max;
  info.nPage = c.page;
  info.nPos = c.pos;
  EXPECT_EQ(SetScrollInfo(bar, SB_CTL, &info, true), c.wantPos);
  SCROLLINFO got;
  got.fMask = SIF_ALL;
  ASSERT_TRUE(GetScrollInfo(bar, SB_CTL, &got));
  EXPECT_EQ(got.nMin, c.wantMin);
  EXPECT_EQ(got.nMax, c.wantMax);
  EXPECT_EQ(got.nPage, c.wantPage);
  EXPECT_EQ(got.nPos, c.wantPos);
}

constexpr int32_t kIntMin = INT32_MIN;
constexpr int32_t kIntMax = INT32_MAX;

INSTANTIATE_TEST_SUITE_P(
    Cases, ScrollClampTest,
    ::testing::Values(
        ClampCase{SIF_POS, 0, 0, 0, 20, 0, 100, 10, 20},       // inside
        ClampCase{SIF_POS, 0, 0, 0, -5, 0, 100, 10, 0},        // below the minimum
        ClampCase{SIF_POS, 0, 0, 0, 95, 0, 100, 10, 91},       // the page's last unit at 100
        ClampCase{SIF_POS, 0, 0, 0, 91, 0, 100, 10, 91},       // exactly the last
        ClampCase{SIF_PAGE, 0, 0, 0, 0, 0, 100, 0, 50},        // no page
        ClampCase{SIF_PAGE, 0, 0, 60, 0, 0, 100, 60, 41},      // a longer page pulls it back
        ClampCase{SIF_PAGE, 0, 0, 500, 0, 0, 100, 101, 0},     // page at most the range
        ClampCase{SIF_PAGE, 0, 0, 1, 0, 0, 100, 1, 50},        // a page of one: up to max
        ClampCase{SIF_RANGE, 0, 30, 0, 0, 0, 30, 10, 21},      // a shorter range
        ClampCase{SIF_RANGE, 60, 200, 0, 0, 60, 200, 10, 60},  // the minimum passes it
        ClampCase{SIF_RANGE, 40, 10, 0, 0, 40, 40, 1, 40},     // maximum below minimum
        ClampCase{SIF_RANGE | SIF_PAGE | SIF_POS, -50, 50, 0, -80, -50, 50, 0, -50},
        ClampCase{SIF_RANGE | SIF_PAGE | SIF_POS, kIntMin, kIntMax, 0, kIntMax, kIntMin, kIntMax, 0,
                  kIntMax},
        ClampCase{SIF_RANGE | SIF_PAGE | SIF_POS, kIntMin, kIntMax, 0x80000000u, kIntMax, kIntMin,
                  kIntMax, 0x80000000u, 0},
        ClampCase{SIF_TRACKPOS, 0, 0, 0, 0, 0, 100, 10, 50}));  // not settable

TEST_F(ScrollBarTest, PositionAndRangeCalls) {
  const HWND bar = MakeBar(SBS_HORZ);
  EXPECT_TRUE(SetScrollRange(bar, SB_CTL, 10, 40, true));
  EXPECT_EQ(SetScrollPos(bar, SB_CTL, 99, true), 10) << "answers the previous position";
  EXPECT_EQ(GetScrollPos(bar, SB_CTL), 40);
  int32_t min = 0;
  int32_t max = 0;
  EXPECT_TRUE(GetScrollRange(bar, SB_CTL, &min, &max));
  EXPECT_EQ(min, 10);
  EXPECT_EQ(max, 40);
  EXPECT_TRUE(SetScrollRange(bar, SB_CTL, 0, 20, true));
  EXPECT_EQ(GetScrollPos(bar, SB_CTL), 20) << "a new range clamps the position";
}

TEST_F(ScrollBarTest, CallsOnWhatIsNotAControlFail) {
  const HWND bar = MakeBar(SBS_VERT);
  SCROLLINFO info;
  info.fMask = SIF_ALL;
  EXPECT_FALSE(GetScrollInfo(bar, SB_VERT, &info));
  EXPECT_FALSE(GetScrollInfo(parent_, SB_CTL, &info));
  info.cbSize = sizeof(SCROLLINFO) - 4;
  EXPECT_FALSE(GetScrollInfo(bar, SB_CTL, &info));
  info.cbSize = sizeof(SCROLLINFO);
  info.fMask = 0;
  EXPECT_FALSE(GetScrollInfo(bar, SB_CTL, &info)) << "asking for nothing";
  EXPECT_EQ(SetScrollPos(parent_, SB_CTL, 5, true), 0);
  EXPECT_FALSE(SetScrollRange(parent_, SB_CTL, 0, 5, true));
  int32_t min = 3;
  int32_t max = 3;
  EXPECT_FALSE(GetScrollRange(parent_, SB_CTL, &min, &max));
  EXPECT_EQ(min, 0);
  EXPECT_EQ(max, 0);
}

struct KeyCase {
  BYTE vk;
  int code;
};

class ScrollKeyTest : public ScrollBarTest, public ::testing::WithParamInterface<KeyCase> {};

TEST_P(ScrollKeyTest, AKeyScrollsOnDownAndEndsOnUp) {
  for (const DWORD style : {SBS_VERT, SBS_HORZ}) {
    scrolled.clear();
    const HWND bar = MakeBar(style);
    SetAll(bar, 0, 100, 10, 50);
    SetFocus(bar);
    keybd_event(GetParam().vk, 0, 0, 0);
    keybd_event(GetParam().vk, 0, KEYEVENTF_KEYUP, 0);
    ASSERT_TRUE(driver_.RunUntilIdle());
    const UINT message = style == SBS_VERT ? WM_VSCROLL : WM_HSCROLL;
    EXPECT_THAT(scrolled, ElementsAre(Scrolled{message, GetParam().code, 0, bar},
                                      Scrolled{message, SB_ENDSCROLL, 0, bar}));
    EXPECT_EQ(GetScrollPos(bar, SB_CTL), 50) << "the parent moves the position, not the bar";
    DestroyWindow(bar);
  }
}

INSTANTIATE_TEST_SUITE_P(Keys, ScrollKeyTest,
                         ::testing::Values(KeyCase{VK_UP, SB_LINEUP}, KeyCase{VK_LEFT, SB_LINEUP},
                                           KeyCase{VK_DOWN, SB_LINEDOWN},
                                           KeyCase{VK_RIGHT, SB_LINEDOWN},
                                           KeyCase{VK_PRIOR, SB_PAGEUP},
                                           KeyCase{VK_NEXT, SB_PAGEDOWN}, KeyCase{VK_HOME, SB_TOP},
                                           KeyCase{VK_END, SB_BOTTOM}));

TEST_F(ScrollBarTest, OtherKeysAndADisabledBarSayNothing) {
  const HWND bar = MakeBar(SBS_VERT);
  SetAll(bar, 0, 100, 10, 50);
  SetFocus(bar);
  keybd_event('A', 0, 0, 0);
  keybd_event('A', 0, KEYEVENTF_KEYUP, 0);
  ASSERT_TRUE(driver_.RunUntilIdle());
  SCROLLINFO info;
  info.fMask = SIF_RANGE | SIF_DISABLENOSCROLL;
  info.nMin = 0;
  info.nMax = 5;
  SetScrollInfo(bar, SB_CTL, &info, true);  // a page of 10 covers it all
  keybd_event(VK_DOWN, 0, 0, 0);
  ASSERT_TRUE(driver_.RunUntilIdle());
  EXPECT_TRUE(scrolled.empty());
  info.nMax = 100;
  SetScrollInfo(bar, SB_CTL, &info, true);
  keybd_event(VK_DOWN, 0, 0, 0);
  ASSERT_TRUE(driver_.RunUntilIdle());
  EXPECT_THAT(scrolled, ElementsAre(Scrolled{WM_VSCROLL, SB_LINEDOWN, 0, bar}));
}

struct ClickCase {
  POINT at;  // in the bar, range 0..100, page 10, position 50
  int code;
};

class ScrollClickTest : public ScrollBarTest, public ::testing::WithParamInterface<ClickCase> {};

// The track runs from 16 to 184; the thumb (17 long) starts at
// 16 + 151 * 50 / 91 = 99.
TEST_P(ScrollClickTest, AClickScrollsAndTheReleaseEnds) {
  const HWND bar = MakeBar(SBS_VERT);
  SetAll(bar, 0, 100, 10, 50);
  Press(GetParam().at);
  ASSERT_TRUE(driver_.RunUntilIdle());
  EXPECT_EQ(GetCapture(), bar);
  Release();
  ASSERT_TRUE(driver_.RunUntilIdle());
  EXPECT_EQ(GetCapture(), kNoWindow);
  EXPECT_THAT(scrolled, ElementsAre(Scrolled{WM_VSCROLL, GetParam().code, 0, bar},
                                    Scrolled{WM_VSCROLL, SB_ENDSCROLL, 0, bar}));
}

INSTANTIATE_TEST_SUITE_P(
    Parts, ScrollClickTest,
    ::testing::Values(ClickCase{{8, 5}, SB_LINEUP}, ClickCase{{8, 195}, SB_LINEDOWN},
                      ClickCase{{8, 40}, SB_PAGEUP}, ClickCase{{8, 98}, SB_PAGEUP},
                      ClickCase{{8, 116}, SB_PAGEDOWN}, ClickCase{{8, 183}, SB_PAGEDOWN}));

TEST_F(ScrollBarTest, HoldingAnArrowRepeatsWhileThePointerStaysOnIt) {
  const HWND bar = MakeBar(SBS_VERT);
  SetAll(bar, 0, 100, 10, 50);
  Press({8, 5});
  ASSERT_TRUE(driver_.RunUntilIdle());
  ASSERT_TRUE(driver_.RunFor(249));
  EXPECT_EQ(scrolled.size(), 1u) << "not before the first delay";
  ASSERT_TRUE(driver_.RunFor(1 + 50 + 50));
  EXPECT_EQ(scrolled.size(), 4u) << "then every period";
  MoveTo({8, 60});
  ASSERT_TRUE(driver_.RunFor(200));
  EXPECT_EQ(scrolled.size(), 4u) << "not off the arrow";
  Release();
  ASSERT_TRUE(driver_.RunUntilIdle());
  for (size_t i = 0; i < 4; ++i) EXPECT_EQ(scrolled[i].code, SB_LINEUP);
  EXPECT_EQ(scrolled.back().code, SB_ENDSCROLL);
}

TEST_F(ScrollBarTest, HoldingAPageAreaRepeatsUntilTheThumbReachesThePointer) {
  const HWND bar = MakeBar(SBS_VERT);
  SetAll(bar, 0, 100, kPage, 0);
  answer = Answer::kMovePageDown;
  Press({8, 60});  // the thumb (17 long) starts at 16 + 151 * pos / 91: 49 at 20
  ASSERT_TRUE(driver_.RunUntilIdle());
  ASSERT_TRUE(driver_.RunFor(1000));
  Release();
  ASSERT_TRUE(driver_.RunUntilIdle());
  EXPECT_EQ(GetScrollPos(bar, SB_CTL), 20);
  ASSERT_EQ(scrolled.size(), 3u);
  for (size_t i = 0; i < 2; ++i) EXPECT_EQ(scrolled[i].code, SB_PAGEDOWN);
  EXPECT_EQ(scrolled.back().code, SB_ENDSCROLL);
}

TEST_F(ScrollBarTest, AParentMayDestroyTheBarWhileItIsTold) {
  const HWND bar = MakeBar(SBS_VERT);
  SetAll(bar, 0, 100, kPage, 50);
  answer = Answer::kDestroy;
  Press({8, 5});
  ASSERT_TRUE(driver_.RunUntilIdle());
  ASSERT_TRUE(driver_.RunFor(500));
  Release();
  ASSERT_TRUE(driver_.RunUntilIdle());
  EXPECT_FALSE(IsWindow(bar));
  EXPECT_EQ(GetCapture(), kNoWindow);
  EXPECT_THAT(scrolled, ElementsAre(Scrolled{WM_VSCROLL, SB_LINEUP, 0, bar}));
}

TEST_F(ScrollBarTest, DraggingTheThumbTracksWithCaptureAndEndsWithItsPosition) {
  const HWND bar = MakeBar(SBS_VERT);
  SetAll(bar, 0, 100, 10, 0);  // the thumb spans 16..33
  Press({8, 20});
  ASSERT_TRUE(driver_.RunUntilIdle());
  EXPECT_EQ(GetCapture(), bar);
  EXPECT_TRUE(scrolled.empty()) << "grabbing alone moves nothing";
  MoveTo({30, 95});  // the thumb would start at 91: 75 * 91 / 151 = 45
  ASSERT_TRUE(driver_.RunUntilIdle());
  SCROLLINFO info;
  info.fMask = SIF_POS | SIF_TRACKPOS;
  ASSERT_TRUE(GetScrollInfo(bar, SB_CTL, &info));
  EXPECT_EQ(info.nTrackPos, 45);
  EXPECT_EQ(info.nPos, 0);
  MoveTo({8, 1000});  // far past the end: the last position
  ASSERT_TRUE(driver_.RunUntilIdle());
  Release();
  ASSERT_TRUE(driver_.RunUntilIdle());
  EXPECT_EQ(GetCapture(), kNoWindow);
  EXPECT_THAT(scrolled, ElementsAre(Scrolled{WM_VSCROLL, SB_THUMBTRACK, 45, bar},
                                    Scrolled{WM_VSCROLL, SB_THUMBTRACK, 91, bar},
                                    Scrolled{WM_VSCROLL, SB_THUMBPOSITION, 91, bar},
                                    Scrolled{WM_VSCROLL, SB_ENDSCROLL, 0, bar}));
  info.fMask = SIF_TRACKPOS;
  ASSERT_TRUE(GetScrollInfo(bar, SB_CTL, &info));
  EXPECT_EQ(info.nTrackPos, 0) << "no drag: the position";
}

TEST_F(ScrollBarTest, LosingTheCaptureEndsADragWithoutAWord) {
  const HWND bar = MakeBar(SBS_VERT);
  SetAll(bar, 0, 100, kPage, 0);
  Press({8, 20});
  MoveTo({8, 95});
  ASSERT_TRUE(driver_.RunUntilIdle());
  SetCapture(parent_);
  MoveTo({8, 150});
  Release();
  ASSERT_TRUE(driver_.RunUntilIdle());
  EXPECT_THAT(scrolled, ElementsAre(Scrolled{WM_VSCROLL, SB_THUMBTRACK, 45, bar}));
  SCROLLINFO info;
  info.fMask = SIF_TRACKPOS;
  ASSERT_TRUE(GetScrollInfo(bar, SB_CTL, &info));
  EXPECT_EQ(info.nTrackPos, 0);
}

TEST_F(ScrollBarTest, AClickFocusesATabStopBarOnly) {
  const HWND plain = MakeBar(SBS_VERT);
  SetAll(plain, 0, 100, kPage, 50);
  Press({8, 5});
  Release();
  ASSERT_TRUE(driver_.RunUntilIdle());
  EXPECT_NE(GetFocus(), plain);
  DestroyWindow(plain);
  const HWND stop = MakeBar(SBS_VERT | WS_TABSTOP);
  SetAll(stop, 0, 100, kPage, 50);
  Press({8, 5});
  Release();
  ASSERT_TRUE(driver_.RunUntilIdle());
  EXPECT_EQ(GetFocus(), stop);
}

TEST_F(ScrollBarTest, AHorizontalBarDragsAlongItsWidth) {
  const HWND bar = MakeBar(SBS_HORZ);
  SetAll(bar, 0, 100, 10, 0);
  Press({20, 8});
  MoveTo({95, 8});
  Release();
  ASSERT_TRUE(driver_.RunUntilIdle());
  EXPECT_THAT(scrolled, ElementsAre(Scrolled{WM_HSCROLL, SB_THUMBTRACK, 45, bar},
                                    Scrolled{WM_HSCROLL, SB_THUMBPOSITION, 45, bar},
                                    Scrolled{WM_HSCROLL, SB_ENDSCROLL, 0, bar}));
}

TEST_F(ScrollBarTest, TheThumbIsPaintedWhereThePositionIs) {
  const HWND bar = MakeBar(SBS_VERT);
  SetAll(bar, 0, 100, 10, 0);
  ASSERT_TRUE(driver_.RunUntilIdle());
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  const COLORREF track = GetSysColor(COLOR_SCROLLBAR);
  ASSERT_NE(face, track);
  EXPECT_EQ(Pixel({8, 24}), face) << "the thumb at the top";
  EXPECT_EQ(Pixel({8, 150}), track);
  EXPECT_EQ(Pixel({0, 16}), GetSysColor(COLOR_3DLIGHT)) << "its raised edge";
  EXPECT_EQ(Pixel({15, 24}), GetSysColor(COLOR_3DDKSHADOW));
  EXPECT_EQ(Pixel({8, 6}), GetSysColor(COLOR_BTNTEXT)) << "the up arrow's glyph";
  SetScrollPos(bar, SB_CTL, 80, true);  // starts at 16 + 151 * 80 / 91 = 149
  ASSERT_TRUE(driver_.RunUntilIdle());
  EXPECT_EQ(Pixel({8, 24}), track);
  EXPECT_EQ(Pixel({8, 155}), face);
  EXPECT_EQ(Pixel({8, 150}), GetSysColor(COLOR_BTNHIGHLIGHT)) << "the inner edge";
  EXPECT_EQ(Pixel({8, 148}), track);
}

TEST_F(ScrollBarTest, AHeldArrowIsPaintedPressedWhileThePointerIsOnIt) {
  const HWND bar = MakeBar(SBS_VERT);
  SetAll(bar, 0, 100, kPage, 50);
  Press({8, 5});
  ASSERT_TRUE(driver_.RunUntilIdle());
  EXPECT_EQ(Pixel({0, 0}), GetSysColor(COLOR_BTNSHADOW)) << "a flat shadow frame";
  EXPECT_EQ(Pixel({9, 7}), GetSysColor(COLOR_BTNTEXT)) << "the glyph one pixel down and right";
  MoveTo({8, 60});
  ASSERT_TRUE(driver_.RunUntilIdle());
  EXPECT_EQ(Pixel({0, 0}), GetSysColor(COLOR_3DLIGHT)) << "raised again off the arrow";
  Release();
  ASSERT_TRUE(driver_.RunUntilIdle());
  EXPECT_EQ(Pixel({0, 0}), GetSysColor(COLOR_3DLIGHT));
}

TEST_F(ScrollBarTest, ABarWithNothingToScrollShowsNoThumb) {
  const HWND bar = MakeBar(SBS_VERT);
  ASSERT_TRUE(driver_.RunUntilIdle());
  for (const int32_t y : {17, 100, 182}) EXPECT_EQ(Pixel({8, y}), GetSysColor(COLOR_SCROLLBAR));
  Press({8, 100});
  Release();
  ASSERT_TRUE(driver_.RunUntilIdle());
  EXPECT_TRUE(scrolled.empty());
  EXPECT_TRUE(IsWindow(bar));
}

}  // namespace
