#include "platform/placement.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "platform/caller_assert.h"
#include "platform/display_backend.h"
#include "platform/input.h"
#include "platform/mdi_client.h"
#include "platform/system_info.h"
#include "window_test_support.h"

namespace platform {
namespace {

constexpr char kClass[] = "PlacementTestWindow";

RECT RectOf(int32_t x, int32_t y, int32_t width, int32_t height) {
  return RECT{x, y, x + width, y + height};
}

std::vector<RECT>& Sizes() {
  static std::vector<RECT> sizes;
  return sizes;
}

std::vector<WPARAM>& SizeTypes() {
  static std::vector<WPARAM> types;
  return types;
}

LRESULT RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_SIZE) {
    Sizes().push_back(RectOf(0, 0, LowWord(lParam), HighWord(lParam)));
    SizeTypes().push_back(wParam);
  }
  return DefWindowProc(window, message, wParam, lParam);
}

class PlacementTest : public ::testing::Test {
 protected:
  PlacementTest() {
    ResetWindowMessages();
    ResetInput();
    RegisterTestClass(kClass, RecordingProc);
    Sizes().clear();
    SizeTypes().clear();
  }
  ~PlacementTest() override {
    ResetInput();
    ResetWindowMessages();
  }

  static HWND Make(DWORD style, RECT rect, HWND parent = kNoWindow) {
    return CreateWindowEx(0, kClass, "", style, rect.left, rect.top, rect.Width(), rect.Height(),
                          parent, 0, nullptr);
  }
  static RECT RectOfWindow(HWND window) {
    RECT rect;
    GetWindowRect(window, &rect);
    return rect;
  }
  static WINDOWPLACEMENT PlacementOf(HWND window) {
    WINDOWPLACEMENT placement;
    EXPECT_TRUE(GetWindowPlacement(window, &placement));
    return placement;
  }

  static constexpr RECT kNormal{10, 20, 310, 220};  // 300 x 200 at (10, 20)
};

TEST_F(PlacementTest, AMaximisedWindowFillsTheScreenAndRestoresToItsRectangle) {
  const HWND window = Make(WS_VISIBLE, kNormal);
  const RECT screen = RectOf(0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
  Sizes().clear();
  ShowWindow(window, SW_SHOWMAXIMIZED);
  EXPECT_TRUE(IsZoomed(window));
  EXPECT_FALSE(IsIconic(window));
  EXPECT_EQ(RectOfWindow(window), screen);
  ASSERT_EQ(Sizes().size(), 1u) << "one WM_SIZE for the new size";
  EXPECT_EQ(Sizes().back(), RectOf(0, 0, screen.Width(), screen.Height()));
  WINDOWPLACEMENT placement = PlacementOf(window);
  EXPECT_EQ(placement.showCmd, static_cast<UINT>(SW_SHOWMAXIMIZED));
  EXPECT_EQ(placement.rcNormalPosition, kNormal);

  ShowWindow(window, SW_RESTORE);
  EXPECT_FALSE(IsZoomed(window));
  EXPECT_EQ(RectOfWindow(window), kNormal);
  placement = PlacementOf(window);
  EXPECT_EQ(placement.showCmd, static_cast<UINT>(SW_SHOWNORMAL));
  EXPECT_EQ(placement.rcNormalPosition, kNormal);
}

TEST_F(PlacementTest, AMaximisedChildFillsItsParentsClientArea) {
  const HWND parent = Make(WS_VISIBLE, RectOf(0, 0, 400, 300));
  const HWND child = Make(WS_CHILD | WS_VISIBLE, RectOf(5, 5, 50, 40), parent);
  ShowWindow(child, SW_SHOWMAXIMIZED);
  RECT placed;
  GetClientRect(child, &placed);
  EXPECT_EQ(placed, RectOf(0, 0, 400, 300));
  ShowWindow(child, SW_SHOWNORMAL);
  EXPECT_EQ(PlacementOf(child).rcNormalPosition, RectOf(5, 5, 50, 40));
  EXPECT_FALSE(IsZoomed(child));
}

TEST_F(PlacementTest, MinimisingKeepsTheNormalRectangleThroughAMaximise) {
  const HWND window = Make(WS_VISIBLE, kNormal);
  ShowWindow(window, SW_MINIMIZE);
  EXPECT_TRUE(IsIconic(window));
  EXPECT_EQ(PlacementOf(window).showCmd, static_cast<UINT>(SW_SHOWMINIMIZED));
  ShowWindow(window, SW_SHOWMAXIMIZED);
  EXPECT_FALSE(IsIconic(window));
  ShowWindow(window, SW_RESTORE);
  EXPECT_EQ(RectOfWindow(window), kNormal) << "the rectangle from before the first change";
}

// What the display is told of minimising and restoring.
class MinimizeRecorder : public HeadlessBackend {
 public:
  void MinimizeNativeWindow(HWND window, bool minimized) override {
    calls.push_back({window, minimized});
  }
  std::vector<std::pair<HWND, bool>> calls;
};

TEST_F(PlacementTest, MinimisingAndRestoringSayTheKindOfSizeAndTellTheDisplay) {
  MinimizeRecorder display;
  const ScopedDisplay scoped(display);
  const HWND window = Make(WS_VISIBLE, kNormal);
  const HWND child = Make(WS_CHILD | WS_VISIBLE, RectOf(0, 0, 10, 10), window);
  SizeTypes().clear();
  Sizes().clear();
  ShowWindow(window, SW_MINIMIZE);
  EXPECT_EQ(SizeTypes(), std::vector<WPARAM>{SIZE_MINIMIZED});
  EXPECT_EQ(Sizes(), std::vector<RECT>{RECT{}});
  ShowWindow(window, SW_MINIMIZE);
  EXPECT_EQ(SizeTypes().size(), 1u) << "once, on the change";

  // Restored to the rectangle it kept: the size is its own again.
  ShowWindow(window, SW_RESTORE);
  EXPECT_EQ(SizeTypes().back(), SIZE_RESTORED);
  EXPECT_EQ(Sizes().back(), RectOf(0, 0, kNormal.Width(), kNormal.Height()));
  ShowWindow(window, SW_SHOWMAXIMIZED);
  EXPECT_EQ(SizeTypes().back(), SIZE_MAXIMIZED);
  ShowWindow(window, SW_MINIMIZE);
  ShowWindow(window, SW_SHOWMAXIMIZED);
  EXPECT_EQ(SizeTypes().back(), SIZE_MAXIMIZED) << "restored to its maximised size";

  // A child is minimised in its parent; the display does not hear of it.
  ShowWindow(child, SW_MINIMIZE);
  EXPECT_EQ(display.calls, (std::vector<std::pair<HWND, bool>>{
                               {window, true}, {window, false}, {window, true}, {window, false}}));
}

TEST_F(PlacementTest, SetWindowPlacementTakesTheRectangleAndTheShowCommand) {
  const HWND window = Make(0, RectOf(0, 0, 100, 100));
  WINDOWPLACEMENT placement;
  placement.showCmd = SW_SHOWNORMAL;
  placement.rcNormalPosition = kNormal;
  ASSERT_TRUE(SetWindowPlacement(window, &placement));
  EXPECT_EQ(RectOfWindow(window), kNormal);
  EXPECT_TRUE(IsWindowVisible(window));

  placement.showCmd = SW_SHOWMAXIMIZED;
  placement.rcNormalPosition = RectOf(30, 40, 130, 140);
  ASSERT_TRUE(SetWindowPlacement(window, &placement));
  EXPECT_TRUE(IsZoomed(window));
  EXPECT_EQ(PlacementOf(window).rcNormalPosition, RectOf(30, 40, 130, 140));

  // While maximised the new rectangle waits for the restore.
  placement.rcNormalPosition = RectOf(1, 2, 3, 4);
  ASSERT_TRUE(SetWindowPlacement(window, &placement));
  EXPECT_TRUE(IsZoomed(window));
  ShowWindow(window, SW_RESTORE);
  EXPECT_EQ(RectOfWindow(window), RectOf(1, 2, 3, 4));
}

TEST_F(PlacementTest, AHandleThatNamesNoWindowIsReportedOnce) {
  const HWND window = Make(0, kNormal);
  DestroyWindow(window);
  ScopedMisuseCounter counter;
  WINDOWPLACEMENT placement;
  EXPECT_FALSE(GetWindowPlacement(window, &placement));
  EXPECT_FALSE(SetWindowPlacement(window, &placement));
  EXPECT_FALSE(ShowWindow(window, SW_SHOWMAXIMIZED));
  EXPECT_FALSE(IsZoomed(window));
  EXPECT_EQ(counter.Count(Misuse::kStaleWindow), 4);
  EXPECT_FALSE(GetWindowPlacement(Make(0, kNormal), nullptr));
}

TEST_F(PlacementTest, TheMdiClientKeepsAMaximisedChildFilled) {
  const HWND frame = Make(WS_VISIBLE, RectOf(0, 0, 400, 300));
  const HWND client = CreateWindowEx(0, MdiClientClass(), "", WS_CHILD | WS_VISIBLE, 0, 0, 400, 300,
                                     frame, 0, nullptr);
  const HWND child = Make(WS_CHILD | WS_VISIBLE, RectOf(0, 0, 100, 100), client);
  ShowWindow(child, SW_SHOWMAXIMIZED);
  MoveWindow(client, 0, 0, 250, 150, true);
  RECT area;
  GetClientRect(child, &area);
  EXPECT_EQ(area, RectOf(0, 0, 250, 150));
}

}  // namespace
}  // namespace platform
