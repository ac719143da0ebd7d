#include "platform/window_message.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
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
  EXPECT_THAT(handled_, ElementsAre(WM_USER, WM_DESTROY, WM_NCDESTROY));
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
  EXPECT_FALSE(TranslateMessage(&msg)) << "the right button types nothing";
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

TEST_F(WindowMessageTest, QuitComesAfterWhatIsPosted) {
  const HWND window = Recorder();
  PostQuitMessage(3);
  PostMessage(window, WM_USER, 0, 0);
  MSG msg;
  ASSERT_EQ(GetMessage(&msg, kNoWindow, 0, 0), 1);
  EXPECT_EQ(msg.message, WM_USER);
  EXPECT_EQ(GetMessage(&msg, kNoWindow, 0, 0), 0);
  EXPECT_FALSE(PeekMessage(&msg, kNoWindow, 0, 0, PM_NOREMOVE)) << "the quit is taken once";
}

TEST_F(WindowMessageTest, ThreadMessagesOnlyFilterSkipsWindowMessages) {
  const HWND window = Recorder();
  PostMessage(window, WM_USER, 1, 0);
  PostThreadMessage(WM_USER, 2, 0);
  MSG msg;
  ASSERT_TRUE(PeekMessage(&msg, kThreadMessagesOnly, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 2u);
  EXPECT_EQ(msg.hwnd, kNoWindow);
}

TEST_F(WindowMessageTest, PostThreadMessageReachesAnotherThreadsQueue) {
  const DWORD self = GetCurrentThreadId();
  std::thread other([self] { EXPECT_TRUE(PostThreadMessage(self, WM_USER + 2, 9, 0)); });
  other.join();
  MSG msg;
  ASSERT_EQ(GetMessage(&msg, kNoWindow, 0, 0), 1);
  EXPECT_EQ(msg.message, WM_USER + 2);
  EXPECT_EQ(msg.wParam, 9u);
  EXPECT_FALSE(PostThreadMessage(0, WM_USER, 0, 0)) << "no such thread";
}

TEST_F(WindowMessageTest, RegisteredMessagesAreOneNumberPerName) {
  const UINT first = RegisterWindowMessage("LexoraFind");
  EXPECT_GE(first, kFirstRegisteredMessage);
  EXPECT_EQ(RegisterWindowMessage("lexorafind"), first);
  EXPECT_NE(RegisterWindowMessage("LexoraOther"), first);
  EXPECT_EQ(RegisterWindowMessage(""), 0u);
}

// A window on a thread of its own that handles what is sent to it only
// while that thread pumps.
class OtherThreadWindow {
 public:
  explicit OtherThreadWindow(WindowProc proc) {
    thread_ = std::thread([this, proc] {
      window_ = CreateWindowHandle(proc);
      created_ = true;
      MSG msg;
      while (GetMessage(&msg, kNoWindow, 0, 0) != 0) DispatchMessage(&msg);
      DestroyWindow(window_);
    });
    while (!created_) std::this_thread::yield();
  }
  ~OtherThreadWindow() {
    PostMessage(window_, WM_USER + 99, 0, 0);
    thread_.join();
  }
  HWND handle() const { return window_; }

 private:
  std::atomic<bool> created_{false};
  HWND window_ = kNoWindow;
  std::thread thread_;
};

// Quits the pumping thread when told to.
LRESULT QuitOn(UINT message, UINT quit) {
  if (message == quit) PostQuitMessage(0);
  return 0;
}

TEST_F(WindowMessageTest, CrossThreadSendWaitsForTheOwnerAndAnswersItsReply) {
  std::atomic<bool> inSend{false};
  OtherThreadWindow other([&](HWND, UINT message, WPARAM wParam, LPARAM) -> LRESULT {
    if (message == WM_USER) {
      inSend = InSendMessage();
      return static_cast<LRESULT>(wParam + 1);
    }
    return QuitOn(message, WM_USER + 99);
  });
  EXPECT_EQ(SendMessage(other.handle(), WM_USER, 41, 0), 42);
  EXPECT_TRUE(inSend);
  EXPECT_FALSE(InSendMessage());
}

TEST_F(WindowMessageTest, OwnerSendingBackToTheBlockedSenderIsAnswered) {
  const HWND mine = Recorder();
  OtherThreadWindow other([mine](HWND, UINT message, WPARAM, LPARAM) -> LRESULT {
    if (message == WM_USER) return SendMessage(mine, WM_USER + 1, 10, 0) + 1;
    return QuitOn(message, WM_USER + 99);
  });
  EXPECT_EQ(SendMessage(other.handle(), WM_USER, 0, 0), 21) << "20 from the send back, plus 1";
  EXPECT_THAT(handled_, ElementsAre(WM_USER + 1));
}

TEST_F(WindowMessageTest, ReplyMessageReleasesTheSenderEarly) {
  std::atomic<bool> released{false};
  OtherThreadWindow other([&](HWND, UINT message, WPARAM, LPARAM) -> LRESULT {
    if (message == WM_USER) {
      EXPECT_TRUE(ReplyMessage(5));
      while (!released) std::this_thread::yield();
      return 6;
    }
    return QuitOn(message, WM_USER + 99);
  });
  EXPECT_EQ(SendMessage(other.handle(), WM_USER, 0, 0), 5);
  released = true;
  EXPECT_FALSE(ReplyMessage(1)) << "nobody waits on this thread";
}

TEST_F(WindowMessageTest, DestroyedTargetReleasesTheSenderWithZero) {
  std::atomic<HWND> target{kNoWindow};
  std::atomic<bool> sending{false};
  std::thread owner([&] {
    target = CreateWindowHandle([](HWND, UINT, WPARAM, LPARAM) -> LRESULT { return 7; });
    // The owner never pumps: however far the send got, destroying the
    // window has to answer it.
    while (!sending) std::this_thread::yield();
    DestroyWindow(target);
  });
  while (target == kNoWindow) std::this_thread::yield();
  std::thread sender([&] {
    sending = true;
    EXPECT_EQ(SendMessage(target, WM_USER, 0, 0), 0);
  });
  sender.join();
  owner.join();
}

TEST_F(WindowMessageTest, ASendToAWindowWhoseThreadHasEndedAnswersZero) {
  HWND orphan = kNoWindow;
  std::thread owner([&orphan] {
    orphan = CreateWindowHandle([](HWND, UINT, WPARAM, LPARAM) -> LRESULT { return 7; });
  });
  owner.join();
  EXPECT_EQ(SendMessage(orphan, WM_USER, 0, 0), 0) << "instead of waiting for ever";
}

TEST_F(WindowMessageTest, AWaitingGetMessageWakesForAPostFromAnotherThread) {
  const HWND window = Recorder();
  std::atomic<bool> waiting{false};
  std::thread poster([&] {
    while (!waiting) std::this_thread::yield();
    PostMessage(window, WM_USER + 3, 0, 0);
  });
  waiting = true;
  MSG msg;
  ASSERT_EQ(GetMessage(&msg, kNoWindow, 0, 0), 1);
  EXPECT_EQ(msg.message, WM_USER + 3);
  poster.join();
}

}  // namespace
