// The balloon tip: its size for the lines of its text, its shape and
// colours, where it shows on a screen too small for it, and that it never
// takes the focus or the activation.
#include "views/tip_balloon.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/host_fonts.h"
#include "platform/input.h"
#include "platform/message_loop.h"
#include "platform/paint.h"
#include "platform/synthetic_fonts.h"
#include "platform/system_info.h"
#include "platform/texts.h"
#include "platform/window.h"

namespace {

using platform::COLORREF;
using platform::HWND;
using platform::POINT;
using platform::RECT;

constexpr char kTipHostClass[] = "TipTestHost";
constexpr COLORREF kInk = 0xC00000;
constexpr COLORREF kBack = 0x80FFFF;
constexpr COLORREF kRim = 0x0000C0;
// At 9 points on the 96-dpi screen the synthetic fixed face has an em
// of 12 pixels: a double-byte character is 12 wide, a single byte 6, a
// line 12 high.
constexpr int32_t kTipSize = 90;
constexpr char kA[] = "\x82\xA0";  // あ

platform::LRESULT HostProc(HWND window, platform::UINT message, platform::WPARAM wParam,
                           platform::LPARAM lParam) {
  return platform::DefWindowProc(window, message, wParam, lParam);
}

class TipTest : public ::testing::Test {
 protected:
  TipTest() : fonts_(synthetic_) {
    platform::WNDCLASS host;
    host.lpfnWndProc = HostProc;
    host.lpszClassName = kTipHostClass;
    platform::RegisterClass(host);
    host_ = platform::CreateWindowEx(0, kTipHostClass, "", platform::WS_VISIBLE, 100, 100, 300, 200,
                                     platform::kNoWindow, 0, nullptr);
  }
  ~TipTest() override {
    tip_.Reset();
    platform::DestroyWindow(host_);
    framework::CWnd::DeleteTempMap();
  }

  int Create(const std::string& text) {
    return tip_.Create(framework::CWnd::FromHandle(host_), text.c_str(), kInk, kBack, kRim,
                       platform::kSyntheticFixedFace, kTipSize);
  }
  RECT WindowRect() const {
    RECT rect;
    platform::GetWindowRect(tip_.m_hWnd, &rect);
    return rect;
  }
  static void Pump() {
    platform::MSG msg;
    while (platform::PeekMessage(&msg, platform::kNoWindow, 0, 0, platform::PM_REMOVE)) {
      platform::DispatchMessage(&msg);
    }
  }

  platform::SyntheticFontService synthetic_;
  platform::ScopedFontService fonts_;
  HWND host_;
  CTipBalloonWnd tip_;
};

struct SizeCase {
  std::string text;
  platform::SIZE window;
};

class TipSizeTest : public TipTest, public ::testing::WithParamInterface<SizeCase> {};

// The widest line plus 40 across, the sum of the lines plus 10 down.
TEST_P(TipSizeTest, FitsTheWidestLineAndEveryLinesHeight) {
  ASSERT_EQ(Create(GetParam().text), 1);
  const RECT rect = WindowRect();
  EXPECT_EQ(rect, (RECT{0, 0, GetParam().window.cx, GetParam().window.cy}));
  EXPECT_FALSE(platform::IsWindowVisible(tip_.m_hWnd));
}

INSTANTIATE_TEST_SUITE_P(
    Texts, TipSizeTest,
    ::testing::Values(SizeCase{kA, {52, 22}}, SizeCase{std::string(kA) + kA + "\n" + kA, {64, 34}},
                      SizeCase{std::string("A\n") + kA + kA + kA + "\nAB", {76, 46}},
                      // An empty line still takes a line's height.
                      SizeCase{std::string(kA) + "\n", {52, 34}}));

TEST_F(TipTest, IsAPopupOwnedByItsParentsWindowAndKeepsItsStyle) {
  ASSERT_EQ(Create(kA), 1);
  EXPECT_EQ(tip_.GetStyle() & platform::WS_POPUP, platform::WS_POPUP);
  EXPECT_EQ(platform::GetWindow(tip_.m_hWnd, platform::GW_OWNER), host_);
  EXPECT_EQ(tip_.Style().textColour, kInk);
  EXPECT_EQ(tip_.Style().backColour, kBack);
  EXPECT_EQ(tip_.Style().borderColour, kRim);
  EXPECT_STREQ(tip_.Style().face.data(), platform::kSyntheticFixedFace);
  EXPECT_EQ(tip_.Text(), kA);
}

TEST_F(TipTest, AnEmptyTextMakesNoWindowAndResetsTheStyle) {
  EXPECT_EQ(Create(""), 0);
  EXPECT_EQ(tip_.m_hWnd, platform::kNoWindow);
  const TipStyle defaults;
  EXPECT_EQ(tip_.Style().backColour, 0x80FFFFu);
  EXPECT_EQ(tip_.Style().textColour, 0u);
  EXPECT_EQ(tip_.Style().borderColour, 0u);
  EXPECT_STREQ(tip_.Style().face.data(), platform::kFaceMsGothic);
  EXPECT_EQ(tip_.Style().pointTenths, defaults.pointTenths);
  EXPECT_EQ(defaults.pointTenths, 90);
}

TEST_F(TipTest, AFaceThatIsNotInstalledMeasuresNothingAndMakesNoWindow) {
  EXPECT_EQ(tip_.Create(framework::CWnd::FromHandle(host_), kA, kInk, kBack, kRim, "No Such Face",
                        kTipSize),
            0);
  EXPECT_EQ(tip_.m_hWnd, platform::kNoWindow);
  EXPECT_EQ(tip_.Style().backColour, 0x80FFFFu);
}

TEST_F(TipTest, TheCreationFailsWhenItsShapeCannotBeMade) {
  {
    platform::ScopedRegionFailure failing;
    EXPECT_EQ(Create(kA), 0);
  }
  EXPECT_EQ(tip_.m_hWnd, platform::kNoWindow);
  EXPECT_EQ(tip_.Style().borderColour, 0u);
  EXPECT_EQ(Create(kA), 1);
}

TEST(TipFaceTest, ANameTooLongIsCutToLeaveItsEnd) {
  const TipFace face = TipFaceOf("0123456789012345678901234567890123456789");
  EXPECT_EQ(std::string(face.data()), "0123456789012345678901234567890");
  EXPECT_EQ(TipFaceOf(nullptr)[0], '\0');
}

TEST_F(TipTest, ResetDestroysTheWindowAndRestoresTheDefaults) {
  ASSERT_EQ(Create(kA), 1);
  const HWND window = tip_.m_hWnd;
  tip_.Reset();
  EXPECT_EQ(tip_.m_hWnd, platform::kNoWindow);
  EXPECT_FALSE(platform::IsWindow(window));
  EXPECT_EQ(tip_.Style().textColour, 0u);
  EXPECT_STREQ(tip_.Style().face.data(), platform::kFaceMsGothic);
}

TEST_F(TipTest, CreatingAgainReplacesTheTip) {
  ASSERT_EQ(Create(kA), 1);
  const HWND first = tip_.m_hWnd;
  ASSERT_EQ(Create(std::string(kA) + kA), 1);
  EXPECT_FALSE(platform::IsWindow(first));
  EXPECT_EQ(WindowRect(), (RECT{0, 0, 64, 22}));
}

TEST_F(TipTest, TheDefaultFaceIsInstalledUnderItsWindowsName) {
  platform::ScopedFontService host(platform::HostFontService());
  ASSERT_EQ(tip_.Create(framework::CWnd::FromHandle(host_), kA, 0, 0x80FFFF, 0,
                        platform::kFaceMsGothic, kTipSize),
            1);
  const RECT rect = WindowRect();
  EXPECT_EQ(rect.Width(), 12 + 40);
  EXPECT_GE(rect.Height(), 12 + 10);
}

struct ShowCase {
  POINT at;
  POINT shown;
};

class TipShowTest : public TipTest, public ::testing::WithParamInterface<ShowCase> {};

// A screen of 200 x 100 and a tip of 64 x 34.
TEST_P(TipShowTest, StaysWhollyOnTheScreen) {
  platform::ScopedScreenSize screen(200, 100);
  ASSERT_EQ(Create(std::string(kA) + kA + "\n" + kA), 1);
  tip_.ShowAt(GetParam().at.x, GetParam().at.y);
  const RECT rect = WindowRect();
  EXPECT_EQ(rect, (RECT{GetParam().shown.x, GetParam().shown.y, GetParam().shown.x + 64,
                        GetParam().shown.y + 34}));
  EXPECT_TRUE(platform::IsWindowVisible(tip_.m_hWnd));
}

INSTANTIATE_TEST_SUITE_P(Points, TipShowTest,
                         ::testing::Values(ShowCase{{20, 30}, {20, 30}},
                                           ShowCase{{136, 66}, {136, 66}},
                                           // The bottom-right corner: up and left.
                                           ShowCase{{199, 99}, {136, 66}},
                                           ShowCase{{150, 10}, {136, 10}},
                                           ShowCase{{-5, -8}, {0, 0}}));

TEST_F(TipTest, OnAScreenSmallerThanTheTipItStandsAtTheCorner) {
  platform::ScopedScreenSize screen(50, 20);
  ASSERT_EQ(Create(std::string(kA) + kA + "\n" + kA), 1);
  tip_.ShowAt(30, 10);
  EXPECT_EQ(WindowRect(), (RECT{0, 0, 64, 34}));
}

TEST_F(TipTest, ShowingHidingAndClickingNeverTakeTheFocusOrTheActivation) {
  platform::SetActiveWindow(host_);
  platform::SetFocus(host_);
  ASSERT_EQ(Create(std::string(kA) + kA + "\n" + kA), 1);
  tip_.ShowAt(400, 300);
  Pump();
  EXPECT_EQ(platform::GetActiveWindow(), host_);
  EXPECT_EQ(platform::GetFocus(), host_);
  // A click in the middle of the body.
  platform::mouse_event(platform::MOUSEEVENTF_ABSOLUTE | platform::MOUSEEVENTF_LEFTDOWN |
                            platform::MOUSEEVENTF_LEFTUP,
                        430, 317, 0, 0);
  Pump();
  EXPECT_EQ(platform::WindowFromPoint(POINT{430, 317}), tip_.m_hWnd);
  EXPECT_EQ(platform::GetActiveWindow(), host_);
  EXPECT_EQ(platform::GetFocus(), host_);
  tip_.Hide();
  EXPECT_FALSE(platform::IsWindowVisible(tip_.m_hWnd));
  tip_.ShowAt(400, 300);
  EXPECT_EQ(platform::GetActiveWindow(), host_);
  EXPECT_EQ(platform::GetFocus(), host_);
}

TEST_F(TipTest, TheWindowIsShapedAsTheBodyAndTheLeftPointer) {
  ASSERT_EQ(Create(std::string(kA) + kA + "\n" + kA), 1);
  platform::UniqueRegion shape = platform::CreateRectRgn(0, 0, 0, 0);
  ASSERT_NE(platform::GetWindowRgn(tip_.m_hWnd, shape.get()), platform::ERROR);
  // The body runs from x 10 with rounded corners; the pointer's tip is at
  // the left edge, 10 above the middle (17).
  EXPECT_TRUE(platform::PtInRegion(shape.get(), 30, 17));
  EXPECT_TRUE(platform::PtInRegion(shape.get(), 10, 30));
  EXPECT_TRUE(platform::PtInRegion(shape.get(), 7, 12));
  EXPECT_TRUE(platform::PtInRegion(shape.get(), 1, 8));
  EXPECT_FALSE(platform::PtInRegion(shape.get(), 0, 0));
  EXPECT_FALSE(platform::PtInRegion(shape.get(), 5, 30));
  EXPECT_FALSE(platform::PtInRegion(shape.get(), 63, 0));
  EXPECT_FALSE(platform::PtInRegion(shape.get(), 11, 0));
}

TEST_F(TipTest, PaintsTheBalloonFilledAndFramedWithTheTextCentred) {
  ASSERT_EQ(Create(std::string(kA) + kA + "\n" + kA), 1);
  tip_.ShowAt(0, 0);
  platform::UpdateWindow(tip_.m_hWnd);
  const platform::HDC surface = platform::GetWindowSurface(tip_.m_hWnd);
  struct Sample {
    POINT point;
    COLORREF colour;
  };
  // Lines of 24 and 12 pixels centred across 10..64 from y 5: the first
  // from x 25, the second from 31; each block inked in the middle of its
  // cell above the baseline.
  const Sample samples[] = {
      {{40, 0}, kRim},   {{40, 33}, kRim},  {{63, 17}, kRim},  {{10, 28}, kRim}, {{10, 5}, kRim},
      {{20, 30}, kBack}, {{55, 28}, kBack}, {{7, 12}, kBack},  {{30, 12}, kInk}, {{42, 12}, kInk},
      {{36, 24}, kInk},  {{26, 24}, kBack}, {{46, 24}, kBack}, {{30, 3}, kBack},
  };
  for (const Sample& s : samples) {
    EXPECT_EQ(platform::GetPixel(surface, s.point.x, s.point.y), s.colour)
        << s.point.x << "," << s.point.y;
  }
}

}  // namespace
