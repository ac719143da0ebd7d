#include "platform/window.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/caller_assert.h"
#include "platform/input.h"
#include "window_test_support.h"

namespace {

using namespace platform;
using ::testing::ElementsAre;

struct Seen {
  HWND window;
  UINT message;
  bool operator==(const Seen&) const = default;
};

std::vector<Seen> seen;
LRESULT createAnswer = 0;

// Records what every window of the test class receives, then does as
// DefWindowProc does.
LRESULT RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  seen.push_back({window, message});
  if (message == WM_CREATE) return createAnswer;
  return DefWindowProc(window, message, wParam, lParam);
}

WNDPROC subclassed = nullptr;
int subclassCalls = 0;
LRESULT SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_USER) {
    ++subclassCalls;
    return 100 + CallWindowProc(subclassed, window, message, wParam, lParam);
  }
  return CallWindowProc(subclassed, window, message, wParam, lParam);
}

constexpr char kClass[] = "TestWindow";

class WindowTest : public ::testing::Test {
 protected:
  WindowTest() {
    ResetWindowMessages();
    seen.clear();
    createAnswer = 0;
    EXPECT_NE(RegisterTestClass(kClass, RecordingProc, CS_DBLCLKS), 0);
  }
  ~WindowTest() override { ResetWindowMessages(); }

  static HWND Top(int32_t x, int32_t y, int32_t w, int32_t h, DWORD style = WS_VISIBLE) {
    return CreateWindowEx(0, kClass, "top", style, x, y, w, h, kNoWindow, 0, nullptr);
  }
  static HWND Child(HWND parent, int32_t id, const RECT& r, DWORD style = WS_VISIBLE) {
    return CreateWindowEx(0, kClass, "", WS_CHILD | style, r.left, r.top, r.Width(), r.Height(),
                          parent, id, nullptr);
  }
  static std::vector<UINT> MessagesTo(HWND window) {
    std::vector<UINT> messages;
    for (const Seen& s : seen) {
      if (s.window == window) messages.push_back(s.message);
    }
    return messages;
  }
};

TEST_F(WindowTest, ClassesAreNamedOnceIgnoringCase) {
  WNDCLASS again;
  again.lpfnWndProc = RecordingProc;
  again.lpszClassName = "testwindow";
  EXPECT_EQ(RegisterClass(again), 0);
  WNDCLASS found;
  ASSERT_TRUE(GetClassInfo("TESTWINDOW", &found));
  EXPECT_EQ(found.style, CS_DBLCLKS);
  EXPECT_STREQ(found.lpszClassName, kClass);
  EXPECT_EQ(CreateWindowEx(0, "NoSuchClass", "", 0, 0, 0, 1, 1, kNoWindow, 0, nullptr), kNoWindow);
  EXPECT_TRUE(UnregisterClass(kClass));
  EXPECT_FALSE(GetClassInfo(kClass, &found));
}

TEST_F(WindowTest, CreationSendsItsMessagesInOrder) {
  const HWND window = Top(10, 20, 300, 200);
  ASSERT_NE(window, kNoWindow);
  EXPECT_THAT(MessagesTo(window),
              ElementsAre(WM_NCCREATE, WM_CREATE, WM_SIZE, WM_MOVE, WM_SHOWWINDOW));
  EXPECT_EQ(GetWindowText(window), "top");
  std::string name;
  ASSERT_TRUE(GetClassName(window, &name));
  EXPECT_EQ(name, kClass);
}

TEST_F(WindowTest, TheCreationHookRunsOnceBeforeTheFirstMessage) {
  std::vector<HWND> hooked;
  size_t seenWhenHooked = 0;
  EXPECT_FALSE(HookNextWindowCreation([&](HWND window) {
    hooked.push_back(window);
    seenWhenHooked = seen.size();
  }));
  const HWND first = Top(0, 0, 10, 10);
  const HWND second = Top(0, 0, 10, 10);
  EXPECT_THAT(hooked, ElementsAre(first));
  EXPECT_EQ(seenWhenHooked, 0u);
  EXPECT_NE(second, kNoWindow);
  EXPECT_FALSE(HookNextWindowCreation(nullptr)) << "taken by the first window";

  // A creation that fails before there is a window leaves the hook set.
  HookNextWindowCreation([&](HWND window) { hooked.push_back(window); });
  EXPECT_EQ(CreateWindowEx(0, "NoSuchClass", "", 0, 0, 0, 1, 1, kNoWindow, 0, nullptr), kNoWindow);
  EXPECT_TRUE(HookNextWindowCreation(nullptr));
  EXPECT_EQ(hooked.size(), 1u);
}

TEST_F(WindowTest, CreateAnsweringMinusOneFailsTheCreation) {
  createAnswer = -1;
  EXPECT_EQ(Top(0, 0, 10, 10), kNoWindow);
  ASSERT_FALSE(seen.empty());
  const HWND failed = seen.front().window;
  EXPECT_FALSE(IsWindow(failed));
  EXPECT_THAT(MessagesTo(failed), ElementsAre(WM_NCCREATE, WM_CREATE, WM_DESTROY, WM_NCDESTROY));
  EXPECT_EQ(GetTopWindow(kNoWindow), kNoWindow);
}

TEST_F(WindowTest, DestroyingGoesToOwnedWindowsAndChildrenBeforeTheWindowEnds) {
  const HWND top = Top(0, 0, 100, 100);
  const HWND child = Child(top, 1, {0, 0, 10, 10});
  const HWND grandchild = Child(child, 2, {0, 0, 5, 5});
  const HWND owned = CreateWindowEx(0, kClass, "", WS_POPUP, 0, 0, 5, 5, top, 0, nullptr);
  seen.clear();
  EXPECT_TRUE(DestroyWindow(top));
  EXPECT_THAT(seen, ElementsAre(Seen{owned, WM_DESTROY}, Seen{owned, WM_NCDESTROY},
                                Seen{top, WM_DESTROY}, Seen{child, WM_DESTROY},
                                Seen{grandchild, WM_DESTROY}, Seen{grandchild, WM_NCDESTROY},
                                Seen{child, WM_NCDESTROY}, Seen{top, WM_NCDESTROY}));
  for (const HWND w : {top, child, grandchild, owned}) EXPECT_FALSE(IsWindow(w));
  const ScopedMisuseCounter misuses;
  EXPECT_FALSE(DestroyWindow(top));
  EXPECT_EQ(misuses.Count(Misuse::kStaleWindow), 1) << "destroyed once";
}

TEST_F(WindowTest, ChildrenKeepAZOrderNewestOnTop) {
  const HWND top = Top(0, 0, 100, 100);
  const HWND a = Child(top, 1, {0, 0, 10, 10});
  const HWND b = Child(top, 2, {0, 0, 10, 10});
  const HWND c = Child(top, 3, {0, 0, 10, 10});
  EXPECT_EQ(GetWindow(top, GW_CHILD), c);
  EXPECT_EQ(GetTopWindow(top), c);
  EXPECT_EQ(GetNextWindow(c, GW_HWNDNEXT), b);
  EXPECT_EQ(GetWindow(b, GW_HWNDNEXT), a);
  EXPECT_EQ(GetWindow(a, GW_HWNDNEXT), kNoWindow);
  EXPECT_EQ(GetWindow(a, GW_HWNDPREV), b);
  EXPECT_EQ(GetWindow(b, GW_HWNDFIRST), c);
  EXPECT_EQ(GetWindow(b, GW_HWNDLAST), a);
  SetWindowPos(c, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  EXPECT_EQ(GetTopWindow(top), b);
  SetWindowPos(c, b, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  EXPECT_EQ(GetWindow(b, GW_HWNDNEXT), c);
  EXPECT_EQ(GetParent(a), top);
  EXPECT_TRUE(IsChild(top, a));
  EXPECT_EQ(GetDlgItem(top, 2), b);
  EXPECT_EQ(GetDlgCtrlID(b), 2);
}

TEST_F(WindowTest, APopupsParentIsItsOwner) {
  const HWND owner = Top(0, 0, 100, 100);
  const HWND popup = CreateWindowEx(0, kClass, "", WS_POPUP, 0, 0, 5, 5, owner, 0, nullptr);
  EXPECT_EQ(GetParent(popup), owner);
  EXPECT_EQ(GetWindow(popup, GW_OWNER), owner);
  EXPECT_FALSE(IsChild(owner, popup));
  EXPECT_EQ(GetTopWindow(kNoWindow), popup);
}

TEST_F(WindowTest, LongsTextAndPropertiesAreKept) {
  const HWND window = Top(0, 0, 10, 10, WS_VISIBLE | WS_CLIPCHILDREN);
  EXPECT_EQ(GetWindowLongPtr(window, GWL_STYLE), LONG_PTR{WS_VISIBLE | WS_CLIPCHILDREN});
  EXPECT_EQ(SetWindowLongPtr(window, GWLP_USERDATA, 77), 0);
  EXPECT_EQ(GetWindowLongPtr(window, GWLP_USERDATA), 77);
  EXPECT_EQ(SetWindowLongPtr(window, GWL_ID, 9), 0);
  EXPECT_EQ(GetDlgCtrlID(window), 9);
  EXPECT_EQ(SetWindowLong(window, GWL_STYLE, WS_VISIBLE), int32_t{WS_VISIBLE | WS_CLIPCHILDREN});
  EXPECT_EQ(GetWindowLong(window, GWL_STYLE), int32_t{WS_VISIBLE});
  EXPECT_TRUE(SetWindowText(window, "\x95\x5c"));  // a double-byte character
  EXPECT_EQ(GetWindowText(window), "\x95\x5c");
  EXPECT_EQ(GetWindowTextLength(window), 2);
  char buffer[2];
  EXPECT_EQ(SendMessage(window, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer)), 1);
  EXPECT_STREQ(buffer, "\x95") << "cut to the buffer";
  EXPECT_TRUE(SetProp(window, "Lexora.Caret", 5));
  EXPECT_EQ(GetProp(window, "Lexora.Caret"), 5u);
  EXPECT_EQ(RemoveProp(window, "Lexora.Caret"), 5u);
  EXPECT_EQ(GetProp(window, "Lexora.Caret"), 0u);
}

TEST_F(WindowTest, SubclassingChainsToThePreviousProcedure) {
  const HWND window = Top(0, 0, 10, 10);
  subclassed = reinterpret_cast<WNDPROC>(
      SetWindowLongPtr(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SubclassProc)));
  EXPECT_EQ(subclassed, RecordingProc);
  seen.clear();
  EXPECT_EQ(SendMessage(window, WM_USER, 0, 0), 100);
  EXPECT_EQ(subclassCalls, 1);
  EXPECT_THAT(MessagesTo(window), ElementsAre(WM_USER)) << "the class procedure saw it too";
}

TEST_F(WindowTest, ShowAndEnableAnswerThePreviousState) {
  const HWND top = Top(0, 0, 100, 100, 0);
  const HWND child = Child(top, 1, {0, 0, 10, 10});
  EXPECT_FALSE(IsWindowVisible(child)) << "its parent is hidden";
  seen.clear();
  EXPECT_FALSE(ShowWindow(top, SW_SHOWNA));
  EXPECT_TRUE(ShowWindow(top, SW_SHOWNA));
  EXPECT_TRUE(IsWindowVisible(child));
  EXPECT_TRUE(ShowWindow(top, SW_HIDE));
  EXPECT_FALSE(EnableWindow(child, false));
  EXPECT_TRUE(EnableWindow(child, false));
  EXPECT_FALSE(IsWindowEnabled(child));
  EXPECT_TRUE(EnableWindow(child, true));
  EXPECT_THAT(seen, ElementsAre(Seen{top, WM_SHOWWINDOW}, Seen{top, WM_SHOWWINDOW},
                                Seen{child, WM_ENABLE}, Seen{child, WM_ENABLE}));
}

TEST_F(WindowTest, ShowingActivatesUnlessToldNotToAndHidingGivesActivationUp) {
  const HWND top = Top(0, 0, 100, 100, 0);
  ShowWindow(top, SW_SHOWNOACTIVATE);
  EXPECT_EQ(GetActiveWindow(), kNoWindow);
  ShowWindow(top, SW_HIDE);
  seen.clear();
  ShowWindow(top, SW_SHOW);
  EXPECT_EQ(GetActiveWindow(), top);
  EXPECT_EQ(GetFocus(), top);
  EXPECT_THAT(MessagesTo(top),
              ElementsAre(WM_SHOWWINDOW, WM_ACTIVATEAPP, WM_ACTIVATE, WM_SETFOCUS));
  seen.clear();
  ShowWindow(top, SW_HIDE);
  EXPECT_EQ(GetActiveWindow(), kNoWindow);
  EXPECT_THAT(MessagesTo(top),
              ElementsAre(WM_SHOWWINDOW, WM_KILLFOCUS, WM_ACTIVATE, WM_ACTIVATEAPP));
}

TEST_F(WindowTest, MovingSendsPositionChangedThenMoveAndSize) {
  const HWND window = Top(0, 0, 100, 100);
  seen.clear();
  EXPECT_TRUE(MoveWindow(window, 5, 6, 100, 100, true));
  EXPECT_THAT(MessagesTo(window), ElementsAre(WM_WINDOWPOSCHANGED, WM_MOVE));
  seen.clear();
  EXPECT_TRUE(SetWindowPos(window, HWND_TOP, 0, 0, 50, 40, SWP_NOMOVE | SWP_NOZORDER));
  EXPECT_THAT(MessagesTo(window), ElementsAre(WM_WINDOWPOSCHANGED, WM_SIZE));
  RECT rect;
  ASSERT_TRUE(GetWindowRect(window, &rect));
  EXPECT_EQ(rect, (RECT{5, 6, 55, 46}));
  ASSERT_TRUE(GetClientRect(window, &rect));
  EXPECT_EQ(rect, (RECT{0, 0, 50, 40}));
}

TEST_F(WindowTest, CoordinatesMapThroughTheParents) {
  const HWND top = Top(100, 50, 400, 300);
  const HWND child = Child(top, 1, {10, 20, 110, 120});
  const HWND inner = Child(child, 2, {5, 5, 25, 25});
  POINT point{1, 2};
  ASSERT_TRUE(ClientToScreen(inner, &point));
  EXPECT_EQ(point, (POINT{116, 77}));
  ASSERT_TRUE(ScreenToClient(child, &point));
  EXPECT_EQ(point, (POINT{6, 7}));
  RECT rect;
  ASSERT_TRUE(GetWindowRect(inner, &rect));
  EXPECT_EQ(rect, (RECT{115, 75, 135, 95}));
}

TEST_F(WindowTest, PointsFindTheDeepestReachableWindow) {
  const HWND top = Top(100, 100, 400, 300);
  const HWND lower = Child(top, 1, {0, 0, 200, 200});
  const HWND upper = Child(top, 2, {100, 0, 300, 200});
  const HWND inner = Child(lower, 3, {10, 10, 50, 50});
  EXPECT_EQ(WindowFromPoint({120, 120}), inner);
  EXPECT_EQ(WindowFromPoint({250, 150}), upper) << "the upper sibling wins where they overlap";
  EXPECT_EQ(WindowFromPoint({450, 350}), top);
  EXPECT_EQ(WindowFromPoint({50, 50}), kNoWindow);
  EnableWindow(upper, false);
  EXPECT_EQ(WindowFromPoint({250, 150}), lower);
  EXPECT_EQ(ChildWindowFromPoint(top, {150, 50}), upper) << "disabled ones count here";
  EXPECT_EQ(ChildWindowFromPointEx(top, {150, 50}, CWP_SKIPDISABLED), lower);
  EXPECT_EQ(ChildWindowFromPoint(top, {350, 250}), top);
  EXPECT_EQ(ChildWindowFromPoint(top, {500, 50}), kNoWindow);
}

TEST_F(WindowTest, AWindowRegionDecidesWhichPointsFindTheWindow) {
  const HWND top = Top(100, 100, 400, 300);
  const HWND lower = Child(top, 1, {0, 0, 200, 200});
  const HWND upper = Child(top, 2, {100, 0, 300, 200});
  // The upper child keeps only its right half (its own coordinates).
  ASSERT_TRUE(SetWindowRgn(upper, CreateRectRgn(100, 0, 200, 200), false));
  struct Case {
    POINT screen;
    HWND found;
  };
  const Case cases[] = {
      {{250, 150}, lower},  // outside the upper child's region: the one beneath
      {{350, 150}, upper},  // inside it
      {{450, 150}, top},    // past the children
  };
  for (const Case& c : cases) {
    EXPECT_EQ(WindowFromPoint(c.screen), c.found) << c.screen.x << "," << c.screen.y;
  }
  EXPECT_EQ(ChildWindowFromPoint(top, {150, 50}), lower);
  EXPECT_EQ(ChildWindowFromPoint(top, {250, 50}), upper);
  ASSERT_TRUE(SetWindowRgn(top, CreateRoundRectRgn(0, 0, 400, 300, 100, 100), false));
  EXPECT_EQ(ChildWindowFromPoint(top, {1, 1}), kNoWindow) << "a cut-off corner is outside";
  EXPECT_EQ(WindowFromPoint({101, 101}), kNoWindow);
  EXPECT_EQ(ChildWindowFromPoint(top, {150, 1}), lower);
}

TEST_F(WindowTest, TheWindowKeepsItsRegionAndHandsOutCopies) {
  const HWND top = Top(0, 0, 100, 100);
  UniqueRegion copy = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetWindowRgn(top, copy.get()), ERROR) << "no region yet";
  ASSERT_TRUE(SetWindowRgn(top, CreateRectRgn(10, 10, 20, 20), true));
  EXPECT_EQ(GetWindowRgn(top, copy.get()), SIMPLEREGION);
  OffsetRgn(copy.get(), 5, 5);
  UniqueRegion again = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetWindowRgn(top, again.get()), SIMPLEREGION);
  RECT box;
  GetRgnBox(again.get(), &box);
  EXPECT_EQ(box, (RECT{10, 10, 20, 20})) << "changing the copy leaves the window's own alone";
  ASSERT_TRUE(SetWindowRgn(top, nullptr, false));
  EXPECT_EQ(GetWindowRgn(top, again.get()), ERROR);
  EXPECT_EQ(WindowFromPoint({50, 50}), top);
  EXPECT_FALSE(SetWindowRgn(kNoWindow, CreateRectRgn(0, 0, 1, 1), false));
}

}  // namespace
