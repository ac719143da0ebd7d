#include "platform/status_control.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/paint.h"
#include "platform/system_info.h"
#include "platform/window.h"
#include "window_test_support.h"

namespace {

using namespace platform;

constexpr char kParentClass[] = "StatusParent";
constexpr int32_t kParentWidth = 300;
constexpr int32_t kParentHeight = 200;

class StatusControlTest : public ::testing::Test {
 protected:
  StatusControlTest() {
    ResetWindowMessages();
    RegisterTestClass(kParentClass, DefWindowProc);
    parent_ = CreateWindowEx(0, kParentClass, "", WS_VISIBLE, 0, 0, kParentWidth, kParentHeight,
                             kNoWindow, 0, nullptr);
    bar_ = CreateWindowEx(0, kStatusBarClass, "", WS_CHILD | WS_VISIBLE, 5, 5, 10, 10, parent_,
                          kBarId, nullptr);
  }
  ~StatusControlTest() override { ResetWindowMessages(); }

  std::string TextOf(WPARAM part) const {
    const LRESULT length = SendMessage(bar_, SB_GETTEXTLENGTH, part, 0);
    std::string text(static_cast<size_t>(LowWord(length)) + 1, '?');
    const LRESULT got = SendMessage(bar_, SB_GETTEXT, part, reinterpret_cast<LPARAM>(text.data()));
    EXPECT_EQ(got, length);
    EXPECT_EQ(text.back(), '\0');
    text.pop_back();
    return text;
  }
  COLORREF Pixel(int32_t x, int32_t y) const {
    RECT bar;
    GetWindowRect(bar_, &bar);
    return GetPixel(GetWindowSurface(parent_), x, bar.top + y);
  }
  void Paint() const {
    RedrawWindow(parent_, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_ERASE);
  }

  static constexpr int32_t kBarId = 2122;
  HWND parent_ = kNoWindow;
  HWND bar_ = kNoWindow;
};

TEST_F(StatusControlTest, ItPlacesItselfAlongItsParentsBottomAndAgainOnWmSize) {
  RECT rect;
  ASSERT_TRUE(GetWindowRect(bar_, &rect));
  EXPECT_EQ(rect.left, 0);
  EXPECT_EQ(rect.right, kParentWidth);
  EXPECT_EQ(rect.bottom, kParentHeight);
  EXPECT_GT(rect.Height(), 10) << "as tall as its text";
  const int32_t height = rect.Height();
  MoveWindow(parent_, 0, 0, 400, 250, true);
  SendMessage(bar_, WM_SIZE, SIZE_RESTORED, MakeLParam(400, 250));
  ASSERT_TRUE(GetWindowRect(bar_, &rect));
  EXPECT_EQ(rect.right, 400);
  EXPECT_EQ(rect.bottom, 250);
  EXPECT_EQ(rect.Height(), height);
}

TEST_F(StatusControlTest, SimpleModeKeepsItsOwnTextBesideTheParts) {
  const std::string printer = "\x83\x76\x83\x8a\x83\x93\x83\x5e\x81\x46PDF";  // "プリンタ：PDF"
  EXPECT_EQ(SendMessage(bar_, SB_SETTEXT, 0, reinterpret_cast<LPARAM>("part")), 1);
  SendMessage(bar_, SB_SIMPLE, 1, 0);
  EXPECT_EQ(SendMessage(bar_, SB_SETTEXT, SB_SIMPLEID, reinterpret_cast<LPARAM>(printer.c_str())),
            1);
  EXPECT_EQ(TextOf(SB_SIMPLEID), printer);
  EXPECT_EQ(TextOf(0), "part");
  SendMessage(bar_, SB_SIMPLE, 0, 0);
  EXPECT_EQ(TextOf(0), "part");
  EXPECT_EQ(TextOf(SB_SIMPLEID), printer);
}

TEST_F(StatusControlTest, PartsKeepTheirEdgesAndTexts) {
  EXPECT_EQ(SendMessage(bar_, SB_GETPARTS, 0, 0), 1) << "a new bar has one part";
  const std::vector<int32_t> edges{100, 200, -1};
  EXPECT_EQ(SendMessage(bar_, SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data())),
            1);
  std::vector<int32_t> got(5, 0);
  EXPECT_EQ(SendMessage(bar_, SB_GETPARTS, got.size(), reinterpret_cast<LPARAM>(got.data())), 3);
  EXPECT_EQ(got, (std::vector<int32_t>{100, 200, -1, 0, 0}));
  for (WPARAM part = 0; part < 3; ++part)
    EXPECT_EQ(SendMessage(bar_, SB_SETTEXT, part,
                          reinterpret_cast<LPARAM>(std::to_string(part * 11).c_str())),
              1);
  EXPECT_EQ(SendMessage(bar_, SB_SETTEXT, 3, reinterpret_cast<LPARAM>("x")), 0) << "no fourth part";
  EXPECT_EQ(TextOf(1), "11");
  EXPECT_EQ(SendMessage(bar_, SB_GETTEXTLENGTH, 3, 0), 0);
  const std::vector<int32_t> fewer{150, -1};
  SendMessage(bar_, SB_SETPARTS, fewer.size(), reinterpret_cast<LPARAM>(fewer.data()));
  EXPECT_EQ(TextOf(0), "0") << "a part that stays keeps its text";
  EXPECT_EQ(TextOf(1), "11");
  SendMessage(bar_, SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
  EXPECT_EQ(TextOf(2), "") << "a part that went took its text along";
  EXPECT_EQ(SendMessage(bar_, SB_SETPARTS, 0, reinterpret_cast<LPARAM>(fewer.data())), 0);
  EXPECT_EQ(
      SendMessage(bar_, SB_SETPARTS, kMaxStatusParts + 1, reinterpret_cast<LPARAM>(fewer.data())),
      0);
}

TEST_F(StatusControlTest, PartsAreDrawnSunkenOnTheButtonFace) {
  const std::vector<int32_t> edges{100, -1};
  SendMessage(bar_, SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
  Paint();
  EXPECT_EQ(Pixel(1, 1), GetSysColor(COLOR_BTNFACE)) << "outside the parts";
  EXPECT_EQ(Pixel(50, 2), GetSysColor(COLOR_BTNSHADOW)) << "a part's top";
  EXPECT_EQ(Pixel(99, 8), GetSysColor(COLOR_BTNHIGHLIGHT)) << "its right edge";
  EXPECT_EQ(Pixel(101, 8), GetSysColor(COLOR_BTNFACE)) << "the gap between parts";
  EXPECT_EQ(Pixel(102, 8), GetSysColor(COLOR_BTNSHADOW)) << "the next part's left";
  SendMessage(bar_, SB_SIMPLE, 1, 0);
  Paint();
  EXPECT_EQ(Pixel(101, 8), GetSysColor(COLOR_BTNFACE)) << "inside the one simple part";
  EXPECT_EQ(Pixel(kParentWidth - 3, 8), GetSysColor(COLOR_BTNHIGHLIGHT));
}

}  // namespace
