// The objects of the list view, up-down and status bar controls, made as
// children of a plain window.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

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

}  // namespace
}  // namespace framework
