#include "platform/caret.h"

#include <gtest/gtest.h>

#include <optional>
#include <utility>
#include <vector>

#include "platform/clock.h"
#include "platform/display_backend.h"
#include "platform/gdi.h"
#include "platform/message_driver.h"
#include "platform/paint.h"
#include "window_test_support.h"

namespace {

using namespace platform;

class CaretTest : public ::testing::Test {
 protected:
  CaretTest() {
    ResetWindowMessages();
    window_ = CreateWindowHandle([](HWND, UINT, WPARAM, LPARAM) { return LRESULT{0}; });
    other_ = CreateWindowHandle([](HWND, UINT, WPARAM, LPARAM) { return LRESULT{0}; });
  }
  ~CaretTest() override { ResetWindowMessages(); }

  FakeClock clock_;
  ScopedClock scoped_{clock_};
  MessageDriver driver_{clock_};
  HWND window_ = kNoWindow;
  HWND other_ = kNoWindow;
};

TEST_F(CaretTest, ABitmapGivesTheCaretItsSize) {
  const UniqueDC memory = CreateCompatibleDC(nullptr);
  const UniqueBitmap shape = CreateCompatibleBitmap(memory.get(), 3, 18);
  ASSERT_NE(shape, nullptr);
  ASSERT_TRUE(CreateCaret(window_, shape.get(), 2, 16));
  ASSERT_TRUE(SetCaretPos(10, 20));
  EXPECT_EQ(GetCaretState().rect, (RECT{10, 20, 13, 38}));
  // A caret asked without a bitmap takes the sizes given.
  ASSERT_TRUE(CreateCaret(window_, nullptr, 2, 16));
  ASSERT_TRUE(SetCaretPos(10, 20));
  EXPECT_EQ(GetCaretState().rect, (RECT{10, 20, 12, 36}));
}

TEST_F(CaretTest, ANewCaretIsHiddenUntilShown) {
  ASSERT_TRUE(CreateCaret(window_, nullptr, 2, 16));
  EXPECT_EQ(GetCaretState().hideCount, 1u);
  EXPECT_TRUE(ShowCaret(window_));
  EXPECT_EQ(GetCaretState().hideCount, 0u);
  EXPECT_TRUE(ShowCaret(kNoWindow)) << "showing a shown caret changes nothing";
  EXPECT_EQ(GetCaretState().hideCount, 0u);
}

TEST_F(CaretTest, HidingIsCountedAndUndoneOneShowAtATime) {
  CreateCaret(window_, nullptr, 2, 16);
  ShowCaret(window_);
  EXPECT_TRUE(HideCaret(window_));
  EXPECT_TRUE(HideCaret(kNoWindow));
  EXPECT_EQ(GetCaretState().hideCount, 2u);
  ShowCaret(window_);
  EXPECT_EQ(GetCaretState().hideCount, 1u) << "still hidden";
  ShowCaret(window_);
  EXPECT_EQ(GetCaretState().hideCount, 0u);
}

TEST_F(CaretTest, OnlyTheOwnerActsOnTheCaret) {
  EXPECT_FALSE(ShowCaret(window_)) << "no caret yet";
  EXPECT_FALSE(HideCaret(window_));
  EXPECT_FALSE(SetCaretPos(1, 1));
  EXPECT_FALSE(DestroyCaret());
  CreateCaret(window_, nullptr, 2, 16);
  EXPECT_FALSE(ShowCaret(other_));
  EXPECT_FALSE(HideCaret(other_));
  EXPECT_TRUE(SetCaretPos(10, 20));
  POINT at;
  ASSERT_TRUE(GetCaretPos(&at));
  EXPECT_EQ(at, (POINT{10, 20}));
  EXPECT_EQ(GetCaretState().rect, (RECT{10, 20, 12, 36}));
}

TEST_F(CaretTest, AnotherCaretOrTheOwnersEndDestroysIt) {
  CreateCaret(window_, nullptr, 2, 16);
  CreateCaret(other_, nullptr, 1, 10);
  EXPECT_EQ(GetCaretState().owner, other_);
  EXPECT_EQ(GetCaretState().hideCount, 1u) << "the new caret starts hidden";
  DestroyWindow(other_);
  EXPECT_EQ(GetCaretState().owner, kNoWindow);
  EXPECT_FALSE(DestroyCaret());
}

TEST_F(CaretTest, TheCaretBlinksOnTheClock) {
  CreateCaret(window_, nullptr, 2, 16);
  ShowCaret(window_);
  EXPECT_TRUE(GetCaretState().blinkOn);
  ASSERT_TRUE(driver_.RunFor(kCaretBlinkMs));
  EXPECT_FALSE(GetCaretState().blinkOn);
  ASSERT_TRUE(driver_.RunFor(kCaretBlinkMs));
  EXPECT_TRUE(GetCaretState().blinkOn);
}

// Keeps what the window system asked the display to show.
class PresentingDisplay : public HeadlessBackend {
 public:
  void PresentNativeWindow(HWND window, const RECT& dirty) override {
    presented.emplace_back(window, dirty);
  }
  std::vector<std::pair<HWND, RECT>> presented;
};

LRESULT PlainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProc(window, message, wParam, lParam);
}

// The display draws the caret over the window's pixels: it is asked to
// show the caret's place again whenever the caret appears, moves, blinks
// or goes, in the surface of the owner's top-level window.
TEST_F(CaretTest, TheDisplayShowsTheCaretsPlaceAgainAtEachChange) {
  constexpr char kClass[] = "CaretTestWindow";
  RegisterTestClass(kClass, PlainProc);
  const HWND top =
      CreateWindowEx(0, kClass, "", WS_VISIBLE, 100, 50, 300, 200, kNoWindow, 0, nullptr);
  const HWND child =
      CreateWindowEx(0, kClass, "", WS_CHILD | WS_VISIBLE, 20, 30, 100, 100, top, 0, nullptr);
  // Painted before the display listens, so that only the caret is shown.
  UpdateWindow(top);
  UpdateWindow(child);
  PresentingDisplay display;
  const ScopedDisplay scoped(display);
  using Shown = std::pair<HWND, RECT>;
  ASSERT_TRUE(CreateCaret(child, nullptr, 2, 16));
  ASSERT_TRUE(SetCaretPos(10, 20));
  EXPECT_TRUE(display.presented.empty()) << "a new caret is hidden";
  EXPECT_EQ(CaretShownIn(top), std::nullopt);

  ASSERT_TRUE(ShowCaret(child));
  const RECT first{30, 50, 32, 66};
  EXPECT_EQ(CaretShownIn(top), first);
  EXPECT_EQ(CaretShownIn(child), std::nullopt) << "only in the top-level's surface";
  EXPECT_EQ(display.presented, (std::vector<Shown>{{top, first}}));

  display.presented.clear();
  ASSERT_TRUE(SetCaretPos(40, 20));
  const RECT second{60, 50, 62, 66};
  EXPECT_EQ(display.presented, (std::vector<Shown>{{top, first}, {top, second}}));

  display.presented.clear();
  ASSERT_TRUE(driver_.RunFor(kCaretBlinkMs));
  EXPECT_EQ(CaretShownIn(top), std::nullopt) << "blinked off";
  EXPECT_EQ(display.presented, (std::vector<Shown>{{top, second}}));
  ASSERT_TRUE(driver_.RunFor(kCaretBlinkMs));
  EXPECT_EQ(CaretShownIn(top), second);

  display.presented.clear();
  ASSERT_TRUE(HideCaret(child));
  ASSERT_TRUE(HideCaret(child));
  ASSERT_TRUE(SetCaretPos(0, 0));
  EXPECT_EQ(display.presented, (std::vector<Shown>{{top, second}})) << "once, when it went";
  EXPECT_EQ(CaretShownIn(top), std::nullopt);

  ASSERT_TRUE(ShowCaret(child));
  ASSERT_TRUE(ShowCaret(child));
  display.presented.clear();
  ASSERT_TRUE(DestroyCaret());
  EXPECT_EQ(display.presented, (std::vector<Shown>{{top, RECT{20, 30, 22, 46}}}));
  DestroyWindow(top);
}

}  // namespace
