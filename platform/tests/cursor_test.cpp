#include "platform/cursor.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "platform/display_backend.h"
#include "platform/input.h"
#include "platform/tests/window_test_support.h"

namespace {

using namespace platform;

// Keeps every cursor the display is asked to show.
class CursorRecorder : public HeadlessBackend {
 public:
  void SetNativeCursor(HCURSOR cursor) override { shown.push_back(cursor); }
  std::vector<HCURSOR> shown;
};

class CursorTest : public ::testing::Test {
 protected:
  CursorTest() { ResetWindowMessages(); }
  ~CursorTest() override { ResetWindowMessages(); }

  HWND MakeWindow(const char* className, HCURSOR classCursor, HWND parent = 0) {
    WNDCLASS windowClass;
    windowClass.lpfnWndProc = DefWindowProc;
    windowClass.lpszClassName = className;
    windowClass.hCursor = classCursor;
    RegisterClass(windowClass);
    const DWORD style = parent == 0 ? WS_VISIBLE : WS_CHILD | WS_VISIBLE;
    return CreateWindowEx(0, className, "", style, 0, 0, 100, 100, parent, 0, nullptr);
  }

  CursorRecorder display_;
  ScopedDisplay scopedDisplay_{display_};
};

TEST_F(CursorTest, StandardShapesLoadWithoutAnInstance) {
  for (const HCURSOR id : {IDC_ARROW, IDC_IBEAM, IDC_WAIT, IDC_NO, IDC_SIZEWE, IDC_SIZENS}) {
    EXPECT_EQ(LoadCursor(nullptr, id), id);
    EXPECT_FALSE(GetCursorShape(id).has_value());
  }
  EXPECT_EQ(LoadCursor(nullptr, 1), 0u) << "no cursor resources";
  EXPECT_FALSE(DestroyCursor(IDC_ARROW));
}

TEST_F(CursorTest, MadeCursorKeepsItsMasksUntilDestroyed) {
  constexpr int32_t kSide = 32;
  std::array<uint8_t, kSide * kSide / 8> andMask{};
  std::array<uint8_t, kSide * kSide / 8> xorMask{};
  andMask.fill(0xFF);
  xorMask[0] = 0x80;
  const HCURSOR cursor = CreateCursor(nullptr, 1, 2, kSide, kSide, andMask.data(), xorMask.data());
  ASSERT_NE(cursor, 0u);
  const std::optional<CursorShape> shape = GetCursorShape(cursor);
  ASSERT_TRUE(shape.has_value());
  EXPECT_EQ(shape->hotSpot.x, 1);
  EXPECT_EQ(shape->hotSpot.y, 2);
  EXPECT_EQ(shape->andMask, std::vector<uint8_t>(andMask.begin(), andMask.end()));
  EXPECT_EQ(shape->xorMask, std::vector<uint8_t>(xorMask.begin(), xorMask.end()));
  EXPECT_TRUE(DestroyCursor(cursor));
  EXPECT_FALSE(DestroyCursor(cursor));

  EXPECT_EQ(CreateCursor(nullptr, kSide, 0, kSide, kSide, andMask.data(), xorMask.data()), 0u)
      << "hot spot outside";
  EXPECT_EQ(CreateCursor(nullptr, 0, 0, 0, kSide, andMask.data(), xorMask.data()), 0u);
  EXPECT_EQ(CreateCursor(nullptr, 0, 0, kSide, kSide, nullptr, xorMask.data()), 0u);
}

TEST_F(CursorTest, SetCursorAnswersThePreviousAndTellsTheDisplayOfChanges) {
  EXPECT_EQ(SetCursor(IDC_IBEAM), 0u);
  EXPECT_EQ(SetCursor(IDC_IBEAM), IDC_IBEAM);
  EXPECT_EQ(SetCursor(IDC_WAIT), IDC_IBEAM);
  EXPECT_EQ(GetCursor(), IDC_WAIT);
  EXPECT_EQ(display_.shown, (std::vector<HCURSOR>{IDC_IBEAM, IDC_WAIT}));
}

TEST_F(CursorTest, DefaultSetCursorShowsTheClassCursorOverTheClientArea) {
  const HWND parent = MakeWindow("CursorParent", IDC_ARROW);
  const HWND child = MakeWindow("CursorChild", IDC_IBEAM, parent);
  const HWND bare = MakeWindow("CursorBare", 0, parent);

  EXPECT_EQ(SendMessage(child, WM_SETCURSOR, child, MakeLParam(HTCLIENT, WM_MOUSEMOVE)), 1);
  EXPECT_EQ(GetCursor(), IDC_IBEAM);

  SetCursor(IDC_WAIT);
  EXPECT_EQ(SendMessage(child, WM_SETCURSOR, child, MakeLParam(0, WM_MOUSEMOVE)), 0)
      << "outside the client area the class cursor is not shown";
  EXPECT_EQ(GetCursor(), IDC_WAIT);

  EXPECT_EQ(SendMessage(bare, WM_SETCURSOR, bare, MakeLParam(HTCLIENT, WM_MOUSEMOVE)), 0);
  EXPECT_EQ(GetCursor(), IDC_WAIT) << "a class without a cursor leaves it";
}

LRESULT ChoosingParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_SETCURSOR) {
    SetCursor(IDC_NO);
    return 1;
  }
  return DefWindowProc(window, message, wParam, lParam);
}

TEST_F(CursorTest, AParentThatChoosesKeepsTheChildsClassCursorOff) {
  RegisterTestClass("ChoosingParent", ChoosingParentProc);
  const HWND parent =
      CreateWindowEx(0, "ChoosingParent", "", WS_VISIBLE, 0, 0, 100, 100, 0, 0, nullptr);
  const HWND child = MakeWindow("CursorChild", IDC_IBEAM, parent);
  EXPECT_EQ(SendMessage(child, WM_SETCURSOR, child, MakeLParam(HTCLIENT, WM_MOUSEMOVE)), 1);
  EXPECT_EQ(GetCursor(), IDC_NO);
}

}  // namespace
