// The objects of the list view, up-down and status bar controls, made as
// children of a plain window.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "framework/spin_button_ctrl.h"
#include "framework/status_bar_ctrl.h"
#include "framework/wnd.h"
#include "framework_test_support.h"

namespace framework {
namespace {

using namespace platform;

class CommonControlTest : public WindowTest {
 protected:
  CommonControlTest() { EXPECT_TRUE(parent_.CreateEx(0, nullptr, "", 0, kRect, nullptr, 0)); }
  CWnd parent_;
};

TEST_F(CommonControlTest, TheStatusBarObjectWritesItsSimpleTextAndParts) {
  CStatusBarCtrl bar;
  ASSERT_TRUE(bar.Create(WS_CHILD | WS_VISIBLE, RECT{}, &parent_, 2122));
  std::string className;
  ASSERT_TRUE(GetClassName(bar.m_hWnd, &className));
  EXPECT_EQ(className, kStatusBarClass);
  bar.SetSimple(true);
  EXPECT_TRUE(bar.SetText("\x83\x76\x83\x8a\x83\x93\x83\x5e", SB_SIMPLEID));
  EXPECT_EQ(bar.GetText(SB_SIMPLEID), "\x83\x76\x83\x8a\x83\x93\x83\x5e");
  EXPECT_EQ(bar.GetTextLength(SB_SIMPLEID), 8);
  const std::vector<int32_t> rights{40, -1};
  EXPECT_TRUE(bar.SetParts(2, rights.data()));
  std::vector<int32_t> got(2);
  EXPECT_EQ(bar.GetParts(2, got.data()), 2);
  EXPECT_EQ(got, rights);
  EXPECT_TRUE(bar.SetText("b", 1));
  EXPECT_EQ(bar.GetText(1), "b");
  EXPECT_EQ(bar.GetText(0), "");
}

TEST_F(CommonControlTest, TheSpinButtonObjectSetsItsRangePositionAndBuddy) {
  CWnd buddy;
  ASSERT_TRUE(buddy.CreateEx(0, nullptr, "", WS_CHILD, RECT{0, 0, 50, 20}, &parent_, 2056));
  CSpinButtonCtrl spin;
  ASSERT_TRUE(spin.Create(WS_CHILD | UDS_SETBUDDYINT, RECT{50, 0, 66, 20}, &parent_, 2057));
  EXPECT_EQ(spin.SetBuddy(&buddy), nullptr);
  EXPECT_EQ(spin.GetBuddy(), &buddy);
  spin.SetRange(100, 1);
  int32_t lower = 0;
  int32_t upper = 0;
  spin.GetRange(lower, upper);
  EXPECT_EQ(lower, 100);
  EXPECT_EQ(upper, 1);
  EXPECT_EQ(spin.SetPos(30), 1);
  EXPECT_EQ(buddy.GetWindowText(), "30");
  EXPECT_EQ(spin.GetPos(), 30);
  buddy.SetWindowText("x");
  EXPECT_EQ(spin.GetPos() & 0xFFFF, 30);
  EXPECT_NE(spin.GetPos() >> 16, 0) << "the error flag";
}

}  // namespace
}  // namespace framework
