#include "platform/message_loop.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/input.h"
#include "platform/message_driver.h"
#include "platform/window.h"

namespace {

using namespace platform;
using ::testing::ElementsAre;

std::vector<UINT_PTR> fired;
void RecordTimer(HWND, UINT, UINT_PTR id, DWORD) { fired.push_back(id); }

class MessageLoopTest : public ::testing::Test {
 protected:
  MessageLoopTest() {
    ResetWindowMessages();
    fired.clear();
    window_ = CreateWindowHandle([this](HWND, UINT message, WPARAM wParam, LPARAM) {
      handled_.push_back({message, wParam});
      return LRESULT{0};
    });
  }
  ~MessageLoopTest() override { ResetWindowMessages(); }

  FakeClock clock_;
  ScopedClock scoped_{clock_};
  MessageDriver driver_{clock_, 100};
  HWND window_ = kNoWindow;
  std::vector<std::pair<UINT, WPARAM>> handled_;
};

TEST_F(MessageLoopTest, TimersFireOnlyWhenTheQueueIsIdle) {
  SetTimer(window_, 1, 50, nullptr);
  clock_.Advance(50);
  PostMessage(window_, WM_USER, 0, 0);
  MSG msg;
  ASSERT_TRUE(PeekMessage(&msg, kNoWindow, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, WM_USER) << "a posted message goes before a due timer";
  ASSERT_TRUE(PeekMessage(&msg, kNoWindow, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, WM_TIMER);
  EXPECT_EQ(msg.wParam, 1u);
  EXPECT_FALSE(PeekMessage(&msg, kNoWindow, 0, 0, PM_NOREMOVE)) << "due again 50 ms later";
}

TEST_F(MessageLoopTest, TimersFireInOrderOfDueTime) {
  SetTimer(window_, 1, 30, nullptr);
  SetTimer(window_, 2, 20, nullptr);
  const UINT_PTR free = SetTimer(kNoWindow, 0, 25, RecordTimer);
  ASSERT_TRUE(driver_.RunFor(60));
  std::vector<WPARAM> order;
  for (const auto& [message, wParam] : handled_) {
    if (message == WM_TIMER) order.push_back(wParam);
  }
  EXPECT_THAT(order, ElementsAre(2, 1, 2, 1, 2))
      << "at 60 both are due; the older timer goes first";
  EXPECT_THAT(fired, ElementsAre(free, free));
  EXPECT_TRUE(KillTimer(window_, 2));
  EXPECT_FALSE(KillTimer(window_, 2));
}

TEST_F(MessageLoopTest, DestroyingAWindowKillsItsTimers) {
  SetTimer(window_, 1, 10, nullptr);
  DestroyWindow(window_);
  clock_.Advance(10);
  EXPECT_FALSE(PeekMessage(nullptr, kNoWindow, 0, 0, PM_NOREMOVE));
}

TEST_F(MessageLoopTest, NestedLoopEndsOnItsConditionAfterHandlingMessages) {
  PostMessage(window_, WM_USER, 0, 0);
  PostMessage(window_, WM_USER + 1, 0, 0);
  LoopExit exit;
  exit.done = [this] { return handled_.size() == 2; };
  EXPECT_EQ(RunNestedLoop(exit), LoopEnd::kCondition);
  EXPECT_EQ(handled_.size(), 2u);
}

TEST_F(MessageLoopTest, NestedLoopEndsOnAQueuedKeyDownAndLeavesIt) {
  PostMessage(window_, WM_USER, 0, 0);
  PostMessage(window_, WM_KEYDOWN, 'A', 0);
  LoopExit exit;
  exit.onKeyDown = true;
  EXPECT_EQ(RunNestedLoop(exit), LoopEnd::kKeyDown);
  EXPECT_TRUE(handled_.empty()) << "the key was queued from the start";
  MSG msg;
  ASSERT_TRUE(PeekMessage(&msg, kNoWindow, WM_KEYDOWN, WM_KEYDOWN, PM_NOREMOVE));
}

TEST_F(MessageLoopTest, NestedLoopEndsAtItsTimeOnTheClock) {
  SetTimer(window_, 7, 100, nullptr);
  LoopExit exit;
  exit.deadline = GetTickCount() + 250;
  EXPECT_EQ(RunNestedLoop(exit), LoopEnd::kTimeUp);
  EXPECT_EQ(GetTickCount(), 250u);
  EXPECT_EQ(handled_.size(), 2u) << "the timer fired at 100 and 200 meanwhile";
}

TEST_F(MessageLoopTest, NestedLoopPassesTheQuitOn) {
  PostQuitMessage(4);
  EXPECT_EQ(RunNestedLoop(LoopExit{}), LoopEnd::kQuit);
  MSG msg;
  EXPECT_EQ(GetMessage(&msg, kNoWindow, 0, 0), 0);
  EXPECT_EQ(msg.wParam, 4u);
}

TEST_F(MessageLoopTest, TheScriptAnswersANestedLoop) {
  bool answered = false;
  driver_.SetScript([&] {
    if (answered) return false;
    answered = true;
    PostMessage(window_, WM_USER + 2, 0, 0);
    return true;
  });
  LoopExit exit;
  exit.done = [this] { return !handled_.empty(); };
  EXPECT_EQ(RunNestedLoop(exit), LoopEnd::kCondition);
  EXPECT_FALSE(driver_.starved());
}

TEST_F(MessageLoopTest, ALoopThatNeverEndsStarvesInsteadOfHanging) {
  LoopExit exit;
  exit.done = [] { return false; };
  EXPECT_EQ(RunNestedLoop(exit), LoopEnd::kAbandoned);
  EXPECT_TRUE(driver_.starved());
}

struct DialogAnswerCase {
  const char* name;
  const char* expected;  // caption the answer names
  const char* active;    // caption of the active window, nullptr for none
  LoopEnd end;
  const char* mismatch;
};

class DialogAnswerTest : public MessageLoopTest,
                         public ::testing::WithParamInterface<DialogAnswerCase> {};

TEST_P(DialogAnswerTest, AnAnswerGoesOnlyToTheDialogItNames) {
  const DialogAnswerCase& c = GetParam();
  WNDCLASS dialogClass;
  dialogClass.lpfnWndProc = DefWindowProc;
  dialogClass.lpszClassName = "ScriptedDialog";
  RegisterClass(dialogClass);
  if (c.active != nullptr) {
    const HWND dialog = CreateWindowEx(0, "ScriptedDialog", c.active, WS_VISIBLE, 0, 0, 100, 50,
                                       kNoWindow, 0, nullptr);
    SetActiveWindow(dialog);
  }
  HWND answered = kNoWindow;
  driver_.AnswerDialog(c.expected, [&answered](HWND dialog) { answered = dialog; });
  LoopExit exit;
  exit.done = [&answered] { return answered != kNoWindow; };
  EXPECT_EQ(RunNestedLoop(exit), c.end);
  EXPECT_EQ(answered != kNoWindow, c.end == LoopEnd::kCondition);
  EXPECT_EQ(driver_.mismatch(), c.mismatch);
  EXPECT_EQ(driver_.pendingAnswers(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DialogAnswerTest,
    ::testing::Values(DialogAnswerCase{"Named", "Confirm", "Confirm", LoopEnd::kCondition, ""},
                      DialogAnswerCase{"OtherDialog", "Confirm", "Replace", LoopEnd::kAbandoned,
                                       "an answer for \"Confirm\" came to \"Replace\""},
                      DialogAnswerCase{"NoDialog", "Confirm", nullptr, LoopEnd::kAbandoned,
                                       "an answer for \"Confirm\" came to no active window"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(MessageLoopTest, AMismatchAbandonsEveryLaterLoopToo) {
  driver_.AnswerDialog("Confirm", [](HWND) {});
  driver_.AnswerDialog("Confirm", [](HWND) {});
  LoopExit exit;
  exit.done = [] { return false; };
  EXPECT_EQ(RunNestedLoop(exit), LoopEnd::kAbandoned);
  EXPECT_EQ(RunNestedLoop(exit), LoopEnd::kAbandoned);
  EXPECT_EQ(driver_.pendingAnswers(), 1u) << "the second answer is not given out";
}

LRESULT PostsToItself(HWND window, UINT message, WPARAM, LPARAM) {
  PostMessage(window, message, 0, 0);
  return 0;
}

TEST_F(MessageLoopTest, AQueueThatNeverEmptiesStarvesRunUntilIdle) {
  const HWND busy = CreateWindowHandle(PostsToItself);
  PostMessage(busy, WM_USER, 0, 0);
  EXPECT_FALSE(driver_.RunUntilIdle());
  EXPECT_TRUE(driver_.starved());
}

}  // namespace
