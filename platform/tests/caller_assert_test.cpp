#include "platform/caller_assert.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <thread>

#include "platform/paint.h"
#include "platform/window.h"
#include "window_test_support.h"

namespace {

using namespace platform;

constexpr char kClass[] = "AssertWindow";

HWND destroyer = kNoWindow;
HWND victim = kNoWindow;

// The destroyer takes the victim along when it is destroyed.
LRESULT TakesASiblingAlongProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY && window == destroyer) DestroyWindow(victim);
  return DefWindowProc(window, message, wParam, lParam);
}

class CallerAssertTest : public ::testing::Test {
 protected:
  CallerAssertTest() {
    ResetWindowMessages();
    destroyer = kNoWindow;
    victim = kNoWindow;
    RegisterTestClass(kClass, TakesASiblingAlongProc);
    top_ = CreateWindowEx(0, kClass, "", WS_VISIBLE, 0, 0, 100, 80, kNoWindow, 0, nullptr);
  }
  ~CallerAssertTest() override { ResetWindowMessages(); }

  HWND Child(const RECT& r) const {
    return CreateWindowEx(0, kClass, "", WS_CHILD | WS_VISIBLE, r.left, r.top, r.Width(),
                          r.Height(), top_, 0, nullptr);
  }
  HWND Gone() const {
    const HWND child = Child({0, 0, 10, 10});
    DestroyWindow(child);
    return child;
  }

  HWND top_ = kNoWindow;
  ScopedMisuseCounter misuses_;
};

struct StaleCase {
  const char* call;
  std::function<bool(HWND)> fails;
};

TEST_F(CallerAssertTest, AHandleThatNamesNoWindowFailsAndIsReportedOnce) {
  const RECT rect{0, 0, 5, 5};
  const StaleCase cases[] = {
      {"DestroyWindow", [](HWND w) { return !DestroyWindow(w); }},
      {"InvalidateRect", [&rect](HWND w) { return !InvalidateRect(w, &rect, true); }},
      {"InvalidateRgn", [](HWND w) { return !InvalidateRgn(w, nullptr, true); }},
      {"ValidateRect", [](HWND w) { return !ValidateRect(w, nullptr); }},
      {"ValidateRgn", [](HWND w) { return !ValidateRgn(w, nullptr); }},
      {"GetUpdateRect",
       [](HWND w) {
         RECT r;
         return !GetUpdateRect(w, &r, false);
       }},
      {"GetUpdateRgn",
       [](HWND w) {
         UniqueRegion r = CreateRectRgn(0, 0, 0, 0);
         return GetUpdateRgn(w, r.get(), false) == ERROR;
       }},
      {"RedrawWindow", [](HWND w) { return !RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE); }},
      {"UpdateWindow", [](HWND w) { return !UpdateWindow(w); }},
      {"BeginPaint",
       [](HWND w) {
         PAINTSTRUCT p;
         return BeginPaint(w, &p) == nullptr;
       }},
      {"GetDC", [](HWND w) { return GetDC(w) == nullptr; }},
      {"ScrollWindowEx",
       [](HWND w) {
         return ScrollWindowEx(w, 1, 0, nullptr, nullptr, nullptr, nullptr, 0) == ERROR;
       }},
      {"SetWindowRgn", [](HWND w) { return !SetWindowRgn(w, CreateRectRgn(0, 0, 1, 1), false); }},
      {"GetWindowRgn",
       [](HWND w) {
         UniqueRegion r = CreateRectRgn(0, 0, 0, 0);
         return GetWindowRgn(w, r.get()) == ERROR;
       }},
      {"SetWindowText", [](HWND w) { return !SetWindowText(w, "x"); }},
      {"GetWindowText", [](HWND w) { return GetWindowText(w).empty(); }},
      {"GetWindowLongPtr", [](HWND w) { return GetWindowLongPtr(w, GWL_STYLE) == 0; }},
      {"ShowWindow", [](HWND w) { return !ShowWindow(w, SW_SHOW); }},
      {"EnableWindow", [](HWND w) { return !EnableWindow(w, false); }},
      {"SetWindowPos", [](HWND w) { return !SetWindowPos(w, HWND_TOP, 0, 0, 5, 5, 0); }},
      {"GetWindowRect",
       [](HWND w) {
         RECT r;
         return !GetWindowRect(w, &r);
       }},
      {"GetClientRect",
       [](HWND w) {
         RECT r;
         return !GetClientRect(w, &r);
       }},
  };
  for (const StaleCase& c : cases) {
    const HWND gone = Gone();
    const int before = misuses_.Count(Misuse::kStaleWindow);
    EXPECT_TRUE(c.fails(gone)) << c.call;
    EXPECT_EQ(misuses_.Count(Misuse::kStaleWindow), before + 1) << c.call;
  }
  EXPECT_EQ(misuses_.Total(), misuses_.Count(Misuse::kStaleWindow));
}

TEST_F(CallerAssertTest, AskingAboutAHandleOrPassingNoWindowIsNoMisuse) {
  const HWND gone = Gone();
  EXPECT_FALSE(IsWindow(gone));
  EXPECT_FALSE(DestroyWindow(kNoWindow));
  EXPECT_EQ(GetParent(kNoWindow), kNoWindow);
  EXPECT_EQ(misuses_.Total(), 0);
}

TEST_F(CallerAssertTest, AWindowGoneWithAnEarlierOneIsNoCallersMisuse) {
  victim = Child({10, 0, 20, 10});
  destroyer = Child({0, 0, 10, 10});
  EXPECT_TRUE(DestroyWindow(top_)) << "the upper child's WM_DESTROY destroys the lower one first";
  EXPECT_FALSE(IsWindow(victim));
  EXPECT_EQ(misuses_.Total(), 0);
}

TEST_F(CallerAssertTest, OnlyTheOwningThreadDestroysOrDrawsOnAWindow) {
  bool destroyed = true;
  HDC dc = nullptr;
  HDC paintDc = nullptr;
  std::thread other([&] {
    destroyed = DestroyWindow(top_);
    dc = GetDC(top_);
    PAINTSTRUCT paint;
    paintDc = BeginPaint(top_, &paint);
  });
  other.join();
  EXPECT_FALSE(destroyed);
  EXPECT_EQ(dc, nullptr);
  EXPECT_EQ(paintDc, nullptr);
  EXPECT_TRUE(IsWindow(top_));
  EXPECT_EQ(misuses_.Count(Misuse::kOtherThread), 3);
  EXPECT_TRUE(DestroyWindow(top_)) << "its own thread may";
  EXPECT_EQ(misuses_.Total(), 3);
}

TEST_F(CallerAssertTest, EndPaintEndsOnlyAPaintThatBeganOnThatWindow) {
  const HWND child = Child({0, 0, 10, 10});
  PAINTSTRUCT notPainting;
  notPainting.hdc = GetDC(top_);
  EXPECT_FALSE(EndPaint(top_, &notPainting)) << "a DC from GetDC is not a paint";
  EXPECT_EQ(misuses_.Count(Misuse::kOutsidePaint), 1);
  EXPECT_EQ(ReleaseDC(top_, notPainting.hdc), 1) << "it is still the caller's to give back";

  PAINTSTRUCT paint;
  ASSERT_NE(BeginPaint(top_, &paint), nullptr);
  EXPECT_FALSE(EndPaint(child, &paint)) << "another window's paint";
  EXPECT_EQ(misuses_.Count(Misuse::kOutsidePaint), 2);
  EXPECT_TRUE(EndPaint(top_, &paint));
  EXPECT_FALSE(EndPaint(top_, &paint)) << "ended once";
  EXPECT_EQ(misuses_.Count(Misuse::kOutsidePaint), 3);
  EXPECT_EQ(misuses_.Total(), 3);
}

TEST_F(CallerAssertTest, ReleaseDcRefusesAPaintsDcWhichOnlyEndPaintGivesBack) {
  PAINTSTRUCT paint;
  ASSERT_NE(BeginPaint(top_, &paint), nullptr);
  EXPECT_EQ(ReleaseDC(top_, paint.hdc), 0);
  EXPECT_EQ(misuses_.Count(Misuse::kOutsidePaint), 1);
  EXPECT_TRUE(EndPaint(top_, &paint)) << "the paint is still open";
  EXPECT_EQ(ReleaseDC(top_, paint.hdc), 0) << "given back already";
  EXPECT_EQ(misuses_.Total(), 1) << "a DC that is no longer out is no breach";
}

TEST_F(CallerAssertTest, AHookInstalledIsCalledAndTheCounterPutsTheOldOneBack) {
  std::string seen;
  const AssertHook counting = SetAssertHook([&seen](Misuse misuse, const char* call) {
    if (misuse == Misuse::kStaleWindow) seen = call;
  });
  ReportMisuse(Misuse::kStaleWindow, "SomeCall");
  EXPECT_EQ(seen, "SomeCall");
  {
    const ScopedMisuseCounter inner;
    ReportMisuse(Misuse::kOutsidePaint, "EndPaint");
    EXPECT_EQ(inner.Count(Misuse::kOutsidePaint), 1);
  }
  ReportMisuse(Misuse::kStaleWindow, "Again");
  EXPECT_EQ(seen, "Again") << "the hook before the inner counter is back";
  SetAssertHook(counting);
  EXPECT_EQ(misuses_.Total(), 0);
}

}  // namespace
