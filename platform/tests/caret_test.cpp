#include "platform/caret.h"

#include <gtest/gtest.h>

#include "platform/clock.h"
#include "platform/gdi.h"
#include "platform/message_driver.h"

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

}  // namespace
