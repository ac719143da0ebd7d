#include "platform/window_message.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace {

using namespace platform;
using ::testing::ElementsAre;

class WindowMessageTest : public ::testing::Test {
 protected:
  WindowMessageTest() { ResetWindowMessages(); }
  ~WindowMessageTest() override { ResetWindowMessages(); }

  HWND Recorder() {
    return CreateWindowHandle([this](HWND, UINT message, WPARAM wParam, LPARAM) {
      handled_.push_back(message);
      return static_cast<LRESULT>(wParam * 2);
    });
  }

  std::vector<UINT> handled_;
};

TEST_F(WindowMessageTest, SendMessageAnswersTheHandlersReply) {
  const HWND window = Recorder();
  EXPECT_NE(window, kNoWindow);
  EXPECT_EQ(SendMessage(window, WM_USER, 21, 0), 42);
  EXPECT_EQ(SendMessage(window + 1, WM_USER, 21, 0), 0) << "no such window";
  EXPECT_TRUE(DestroyWindow(window));
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(SendMessage(window, WM_USER, 21, 0), 0);
  EXPECT_FALSE(PostMessage(window, WM_USER, 0, 0));
  EXPECT_THAT(handled_, ElementsAre(WM_USER));
}

TEST_F(WindowMessageTest, PeekLooksOrRemovesByFilter) {
  const HWND window = Recorder();
  PostMessage(window, WM_USER, 1, 0);
  PostMessage(window, WM_KEYDOWN, 2, 0);
  MSG msg;
  ASSERT_TRUE(PeekMessage(&msg, kNoWindow, WM_KEYDOWN, WM_KEYDOWN, PM_NOREMOVE));
  EXPECT_EQ(msg.wParam, 2u);
  ASSERT_TRUE(PeekMessage(&msg, kNoWindow, 0, 0, PM_NOREMOVE));
  EXPECT_EQ(msg.message, WM_USER) << "not removed, still first";
  EXPECT_FALSE(PeekMessage(&msg, window + 1, 0, 0, PM_NOREMOVE));
  ASSERT_TRUE(PeekMessage(&msg, window, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, WM_USER);
  EXPECT_EQ(DispatchMessage(&msg), 2);
  ASSERT_EQ(GetMessage(&msg, kNoWindow, 0, 0), 1);
  EXPECT_TRUE(TranslateMessage(&msg));
  EXPECT_EQ(DispatchMessage(&msg), 4);
  EXPECT_FALSE(PeekMessage(&msg, kNoWindow, 0, 0, PM_NOREMOVE));
  EXPECT_THAT(handled_, ElementsAre(WM_USER, WM_KEYDOWN));
}

TEST_F(WindowMessageTest, GetMessageAnswersZeroForQuit) {
  PostQuitMessage(7);
  MSG msg;
  EXPECT_EQ(GetMessage(&msg, kNoWindow, 0, 0), 0);
  EXPECT_EQ(msg.message, WM_QUIT);
  EXPECT_EQ(msg.wParam, 7u);
  EXPECT_EQ(DispatchMessage(&msg), 0) << "a thread message has no window";
}

TEST_F(WindowMessageTest, PostsGoToTheQueueOfTheWindowsThread) {
  const HWND window = Recorder();
  std::thread other([window] {
    PostMessage(window, WM_USER + 5, 0, 0);
    MSG msg;
    EXPECT_FALSE(PeekMessage(&msg, kNoWindow, 0, 0, PM_NOREMOVE)) << "not the poster's queue";
  });
  other.join();
  MSG msg;
  ASSERT_EQ(GetMessage(&msg, kNoWindow, 0, 0), 1);
  EXPECT_EQ(msg.message, WM_USER + 5);
  EXPECT_EQ(msg.hwnd, window);
}

}  // namespace
