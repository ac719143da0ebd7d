#include "framework/wnd_class.h"

#include <gtest/gtest.h>

#include <string>

#include "framework/wnd.h"
#include "platform/system_info.h"
#include "platform/window_message.h"

namespace framework {
namespace {

TEST(AfxRegisterWndClassTest, OneClassForEachStyleCursorAndBackground) {
  const char* plain = AfxRegisterWndClass(0);
  ASSERT_NE(plain, nullptr);
  EXPECT_EQ(AfxRegisterWndClass(0), plain);
  const platform::HBRUSH face = platform::GetSysColorBrush(platform::COLOR_BTNFACE);
  const char* filled = AfxRegisterWndClass(platform::CS_HREDRAW, 0, face);
  ASSERT_NE(filled, nullptr);
  EXPECT_NE(std::string(filled), std::string(plain));
  platform::WNDCLASS windowClass;
  ASSERT_TRUE(platform::GetClassInfo(filled, &windowClass));
  EXPECT_EQ(windowClass.style, platform::CS_HREDRAW);
  EXPECT_EQ(windowClass.hbrBackground, face);
  EXPECT_EQ(windowClass.lpfnWndProc, &FrameworkWndProc);
}

TEST(AfxRegisterWndClassTest, AClassTheWindowSystemForgotIsRegisteredAgain) {
  const char* first = AfxRegisterWndClass(platform::CS_VREDRAW);
  ASSERT_NE(first, nullptr);
  platform::ResetWindowMessages();
  EXPECT_FALSE(platform::GetClassInfo(first, nullptr));
  EXPECT_EQ(AfxRegisterWndClass(platform::CS_VREDRAW), first);
  EXPECT_TRUE(platform::GetClassInfo(first, nullptr));
}

TEST(AfxRegisterWndClassTest, AnObjectCreatedWithTheClassGetsItsMessages) {
  CWnd window;
  ASSERT_TRUE(window.CreateEx(0, AfxRegisterWndClass(0), "", platform::WS_POPUP,
                              platform::RECT{0, 0, 10, 10}, nullptr, 0));
  EXPECT_EQ(CWnd::FromHandlePermanent(window.m_hWnd), &window);
  EXPECT_TRUE(window.DestroyWindow());
}

}  // namespace
}  // namespace framework
