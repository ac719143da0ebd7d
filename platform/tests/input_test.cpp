#include "platform/input.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <vector>

#include "platform/display_backend.h"
#include "platform/paint.h"
#include "platform/window.h"
#include "window_test_support.h"

namespace {

using namespace platform;
using ::testing::ElementsAre;

struct Seen {
  HWND window;
  UINT message;
  WPARAM wParam;
  bool operator==(const Seen&) const = default;
};

std::vector<Seen> seen;
std::vector<SHORT> keyStateAtKeyDown;
LRESULT mouseActivateAnswer = MA_ACTIVATE;

bool IsInteresting(UINT message) {
  return message != WM_SETCURSOR && message != WM_NCCREATE && message != WM_CREATE &&
         message != WM_SIZE && message != WM_MOVE && message != WM_SHOWWINDOW &&
         message != WM_PAINT && message != WM_ERASEBKGND;
}

LRESULT InputProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (IsInteresting(message)) seen.push_back({window, message, wParam});
  if (message == WM_KEYDOWN) keyStateAtKeyDown.push_back(GetKeyState('A'));
  if (message == WM_MOUSEACTIVATE) return mouseActivateAnswer;
  return DefWindowProc(window, message, wParam, lParam);
}

int hookCalls = 0;
LRESULT EatingHook(int, WPARAM vk, LPARAM) {
  ++hookCalls;
  return vk == 'X' ? 1 : 0;
}

// The newer hook counts and hands each key on to the one before it.
HHOOK passingHook = 0;
int passingCalls = 0;
LRESULT PassingHook(int code, WPARAM vk, LPARAM lParam) {
  ++passingCalls;
  return CallNextHookEx(passingHook, code, vk, lParam);
}

constexpr char kClass[] = "InputWindow";

class InputTest : public ::testing::Test {
 protected:
  InputTest() {
    ResetWindowMessages();
    seen.clear();
    keyStateAtKeyDown.clear();
    mouseActivateAnswer = MA_ACTIVATE;
    hookCalls = 0;
    RegisterTestClass(kClass, InputProc, CS_DBLCLKS);
    top_ = CreateWindowEx(0, kClass, "", WS_VISIBLE, 100, 100, 200, 200, kNoWindow, 0, nullptr);
    child_ = CreateWindowEx(0, kClass, "", WS_CHILD | WS_VISIBLE, 10, 10, 50, 50, top_, 1, nullptr);
    seen.clear();
  }
  ~InputTest() override { ResetWindowMessages(); }

  static void Pump() {
    MSG msg;
    while (PeekMessage(&msg, kNoWindow, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessage(&msg);
    }
  }
  static void Key(BYTE vk, bool up = false) { keybd_event(vk, 0, up ? KEYEVENTF_KEYUP : 0, 0); }
  static std::vector<Seen> Only(UINT message) {
    std::vector<Seen> found;
    for (const Seen& s : seen) {
      if (s.message == message) found.push_back(s);
    }
    return found;
  }

  HWND top_ = kNoWindow;
  HWND child_ = kNoWindow;
};

TEST_F(InputTest, KeyStateAnswersForTheMessageBeingHandled) {
  SetFocus(child_);
  Key('A');
  Key('A', true);
  EXPECT_EQ(GetAsyncKeyState('A'), 0) << "the up is handed in already";
  EXPECT_EQ(GetKeyState('A'), 0) << "but nothing is taken yet";
  Pump();
  ASSERT_EQ(keyStateAtKeyDown.size(), 1u);
  EXPECT_LT(keyStateAtKeyDown[0], 0) << "down while its own key-down is handled";
  EXPECT_EQ(GetKeyState('A') & 0x8000, 0);
  EXPECT_EQ(GetKeyState('A') & 1, 1) << "pressed once: toggled";
}

TEST_F(InputTest, KeyMessagesCarryScanCodeAndPreviousState) {
  SetFocus(child_);
  keybd_event('A', 0x80, 0, 0);
  keybd_event('A', 0x80, 0, 0);
  keybd_event('A', 0x80, KEYEVENTF_KEYUP | KEYEVENTF_EXTENDEDKEY, 0);
  std::vector<LPARAM> params;
  MSG msg;
  while (PeekMessage(&msg, kNoWindow, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE))
    params.push_back(msg.lParam);
  const LPARAM scan = LPARAM{0x80} << kKeyScanShift;
  EXPECT_THAT(params,
              ElementsAre(kKeyRepeatOne | scan, kKeyRepeatOne | scan | kKeyWasDown,
                          kKeyRepeatOne | scan | kKeyExtended | kKeyWasDown | kKeyReleased));
}

TEST_F(InputTest, KeysHandedInDuringAMessageComeAfterIt) {
  SetFocus(child_);
  Key('A');
  MSG msg;
  ASSERT_TRUE(PeekMessage(&msg, kNoWindow, WM_KEYDOWN, WM_KEYDOWN, PM_REMOVE));
  seen.clear();
  Key('B');
  PostMessage(child_, WM_USER, 0, 0);
  Pump();
  std::vector<UINT> order;
  for (const Seen& s : seen) {
    if (s.message == WM_USER || s.message == WM_KEYDOWN) {
      order.push_back(s.message == WM_KEYDOWN ? static_cast<UINT>(s.wParam) : s.message);
    }
  }
  EXPECT_THAT(order, ElementsAre(WM_USER, 'B')) << "posted messages go before input";
}

TEST_F(InputTest, AltGivesSystemKeysAndCharacters) {
  SetFocus(child_);
  Key(VK_MENU);
  Key('F');
  MSG msg;
  ASSERT_TRUE(PeekMessage(&msg, kNoWindow, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, WM_SYSKEYDOWN);
  EXPECT_EQ(msg.wParam, VK_MENU);
  ASSERT_TRUE(PeekMessage(&msg, kNoWindow, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, WM_SYSKEYDOWN);
  EXPECT_NE(msg.lParam & kKeyAltDown, 0);
  EXPECT_TRUE(TranslateMessage(&msg));
  ASSERT_TRUE(PeekMessage(&msg, kNoWindow, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, WM_SYSCHAR);
  EXPECT_EQ(msg.wParam, WPARAM{'f'});
}

TEST_F(InputTest, ADoubleByteCharacterArrivesLeadByteFirst) {
  SetFocus(child_);
  TypeCharacter(0x3042);  // HIRAGANA LETTER A, 82 A0 in CP932
  TypeCharacter(0xFF5E);  // FULLWIDTH TILDE, only in CP932: 81 60
  Pump();
  EXPECT_THAT(Only(WM_CHAR), ElementsAre(Seen{child_, WM_CHAR, 0x82}, Seen{child_, WM_CHAR, 0xA0},
                                         Seen{child_, WM_CHAR, 0x81}, Seen{child_, WM_CHAR, 0x60}));
}

struct LayoutCase {
  KeyboardLayout layout;
  bool shift;
  BYTE vk;
  WPARAM character;
};

class LayoutTest : public InputTest, public ::testing::WithParamInterface<LayoutCase> {};

TEST_P(LayoutTest, KeysTypeTheirLayoutsCharacters) {
  const LayoutCase& c = GetParam();
  SetKeyboardLayout(c.layout);
  SetFocus(child_);
  if (c.shift) Key(VK_SHIFT);
  Key(c.vk);
  Pump();
  EXPECT_THAT(Only(WM_CHAR), ElementsAre(Seen{child_, WM_CHAR, c.character}));
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, LayoutTest,
    ::testing::Values(LayoutCase{KeyboardLayout::kJp106, false, 'A', 'a'},
                      LayoutCase{KeyboardLayout::kJp106, true, 'A', 'A'},
                      LayoutCase{KeyboardLayout::kJp106, true, '2', '"'},
                      LayoutCase{KeyboardLayout::kUs, true, '2', '@'},
                      LayoutCase{KeyboardLayout::kJp106, false, VK_OEM_3, '@'},
                      LayoutCase{KeyboardLayout::kUs, false, VK_OEM_3, '`'},
                      LayoutCase{KeyboardLayout::kJp106, true, VK_OEM_102, '_'},
                      LayoutCase{KeyboardLayout::kUs, true, VK_OEM_7, '"'},
                      LayoutCase{KeyboardLayout::kJp106, false, VK_RETURN, '\r'}));

TEST_F(InputTest, ControlLettersTypeControlCharacters) {
  SetFocus(child_);
  Key(VK_CONTROL);
  Key('C');
  Pump();
  EXPECT_THAT(Only(WM_CHAR), ElementsAre(Seen{child_, WM_CHAR, 0x03}));
}

TEST_F(InputTest, HooksSeeKeysBeforeTheWindowAndMayEatThem) {
  SetFocus(child_);
  const HHOOK hook = SetWindowsHookEx(WH_KEYBOARD, EatingHook, 0, GetCurrentThreadId());
  ASSERT_NE(hook, 0u);
  Key('X');
  Key('Y');
  Pump();
  EXPECT_EQ(hookCalls, 2);
  EXPECT_THAT(Only(WM_KEYDOWN), ElementsAre(Seen{child_, WM_KEYDOWN, 'Y'}));
  EXPECT_LT(GetKeyState('X'), 0) << "an eaten key still counts as pressed";
  EXPECT_TRUE(UnhookWindowsHookEx(hook));
  Key('X');
  Pump();
  EXPECT_EQ(hookCalls, 2);
  EXPECT_EQ(Only(WM_KEYDOWN).size(), 2u);
}

TEST_F(InputTest, TheNewestHookRunsFirstAndHandsKeysOnDownTheChain) {
  SetFocus(child_);
  passingCalls = 0;
  const HHOOK eating = SetWindowsHookEx(WH_KEYBOARD, EatingHook, 0, GetCurrentThreadId());
  passingHook = SetWindowsHookEx(WH_KEYBOARD, PassingHook, 0, GetCurrentThreadId());
  Key('X');
  Key('Y');
  Pump();
  EXPECT_EQ(passingCalls, 2);
  EXPECT_EQ(hookCalls, 2) << "reached through CallNextHookEx";
  EXPECT_THAT(Only(WM_KEYDOWN), ElementsAre(Seen{child_, WM_KEYDOWN, 'Y'}))
      << "the older hook's answer is the chain's";
  EXPECT_TRUE(UnhookWindowsHookEx(eating));
  Key('X');
  Pump();
  EXPECT_EQ(passingCalls, 3);
  EXPECT_EQ(hookCalls, 2);
  EXPECT_EQ(Only(WM_KEYDOWN).size(), 2u) << "the end of the chain answers 0";
  EXPECT_TRUE(UnhookWindowsHookEx(passingHook));
}

TEST_F(InputTest, FocusActivatesItsTopLevelWindowFirst) {
  EXPECT_EQ(SetFocus(child_), kNoWindow);
  EXPECT_THAT(seen, ElementsAre(Seen{top_, WM_ACTIVATEAPP, 1}, Seen{top_, WM_ACTIVATE, WA_ACTIVE},
                                Seen{top_, WM_SETFOCUS, kNoWindow},
                                Seen{top_, WM_KILLFOCUS, child_}, Seen{child_, WM_SETFOCUS, top_}));
  EXPECT_EQ(GetFocus(), child_);
  EXPECT_EQ(GetActiveWindow(), top_);
  seen.clear();
  DestroyWindow(child_);
  EXPECT_EQ(seen.front(), (Seen{child_, WM_KILLFOCUS, kNoWindow}));
  EXPECT_EQ(GetFocus(), kNoWindow);
}

TEST_F(InputTest, ActivationMovesBetweenTopLevelWindows) {
  const HWND other =
      CreateWindowEx(0, kClass, "", WS_VISIBLE, 400, 100, 50, 50, kNoWindow, 0, nullptr);
  SetActiveWindow(top_);
  seen.clear();
  EXPECT_EQ(SetActiveWindow(other), top_);
  EXPECT_THAT(seen,
              ElementsAre(Seen{top_, WM_ACTIVATE, WA_INACTIVE}, Seen{other, WM_ACTIVATE, WA_ACTIVE},
                          Seen{top_, WM_KILLFOCUS, other}, Seen{other, WM_SETFOCUS, top_}));
}

TEST_F(InputTest, NoActivateClicksLeaveActivationWhereItWas) {
  const HWND other =
      CreateWindowEx(0, kClass, "", WS_VISIBLE, 400, 100, 50, 50, kNoWindow, 0, nullptr);
  SetActiveWindow(top_);
  mouseActivateAnswer = MA_NOACTIVATE;
  seen.clear();
  mouse_event(MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_LEFTDOWN, 410, 120, 0, 0);
  Pump();
  EXPECT_EQ(GetActiveWindow(), top_);
  EXPECT_THAT(seen, ElementsAre(Seen{other, WM_MOUSEMOVE, 0}, Seen{other, WM_MOUSEACTIVATE, other},
                                Seen{other, WM_LBUTTONDOWN, MK_LBUTTON}));
  mouseActivateAnswer = MA_ACTIVATE;
  mouse_event(MOUSEEVENTF_LEFTUP | MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
  Pump();
  EXPECT_EQ(GetActiveWindow(), other);
}

TEST_F(InputTest, MouseMessagesAreInClientCoordinatesAndDoubleClicksByClassStyle) {
  SetActiveWindow(top_);
  mouse_event(MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_LEFTUP, 115, 125, 0, 0);
  mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
  MSG msg;
  std::vector<MSG> messages;
  while (PeekMessage(&msg, kNoWindow, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE))
    messages.push_back(msg);
  ASSERT_EQ(messages.size(), 4u);
  EXPECT_EQ(messages[1].hwnd, child_);
  EXPECT_EQ(messages[1].message, WM_LBUTTONDOWN);
  EXPECT_EQ(LowWord(messages[1].lParam), 5);
  EXPECT_EQ(HighWord(messages[1].lParam), 15);
  EXPECT_EQ(messages[3].message, WM_LBUTTONDBLCLK);
  POINT cursor;
  ASSERT_TRUE(GetCursorPos(&cursor));
  EXPECT_EQ(cursor, (POINT{115, 125}));
}

TEST_F(InputTest, TheWheelGoesToTheFocusWithItsDeltaAndTheScreenPosition) {
  SetFocus(child_);
  constexpr int32_t kNotchDown = -120;
  Key(VK_SHIFT);
  mouse_event(MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_WHEEL, 250, 260, kNotchDown, 0);
  MSG msg;
  ASSERT_TRUE(PeekMessage(&msg, kNoWindow, WM_KEYDOWN, WM_KEYDOWN, PM_REMOVE));
  ASSERT_TRUE(PeekMessage(&msg, kNoWindow, WM_MOUSEWHEEL, WM_MOUSEWHEEL, PM_REMOVE));
  EXPECT_EQ(msg.hwnd, child_) << "not the top-level window under the cursor";
  EXPECT_EQ(static_cast<int16_t>(HighWord(static_cast<LPARAM>(msg.wParam))), kNotchDown);
  EXPECT_EQ(msg.wParam & MK_SHIFT, MK_SHIFT);
  EXPECT_EQ(LowWord(msg.lParam), 250) << "screen coordinates";
  EXPECT_EQ(HighWord(msg.lParam), 260);
}

TEST_F(InputTest, TheKeyboardStateSetIsTheStateAnswered) {
  KeyboardState state{};
  state[VK_CAPITAL] = 1;
  state[VK_SHIFT] = 0x80;
  ASSERT_TRUE(SetKeyboardState(state));
  EXPECT_EQ(GetKeyState(VK_CAPITAL), 1) << "toggled, not down";
  EXPECT_LT(GetKeyState(VK_SHIFT), 0);
  KeyboardState read{};
  ASSERT_TRUE(GetKeyboardState(&read));
  EXPECT_EQ(read, state);
  EXPECT_FALSE(GetKeyboardState(nullptr));
}

TEST_F(InputTest, SetCursorPosMovesTheMouseOverTheWindowBeneath) {
  ASSERT_TRUE(SetCursorPos(130, 140));
  POINT cursor;
  ASSERT_TRUE(GetCursorPos(&cursor));
  EXPECT_EQ(cursor, (POINT{130, 140}));
  MSG msg;
  ASSERT_TRUE(PeekMessage(&msg, kNoWindow, WM_MOUSEMOVE, WM_MOUSEMOVE, PM_REMOVE));
  EXPECT_EQ(msg.hwnd, child_);
  EXPECT_EQ(LowWord(msg.lParam), 20) << "client coordinates";
  EXPECT_EQ(HighWord(msg.lParam), 30);
}

// Which windows the display is asked to bring to the front.
class ActivationRecorder : public HeadlessBackend {
 public:
  void ActivateNativeWindow(HWND window) override { fronted.push_back(window); }
  std::vector<HWND> fronted;
};

TEST_F(InputTest, ActivatingBringsTheTopLevelWindowToTheFrontOfTheDisplay) {
  ActivationRecorder display;
  const ScopedDisplay scoped(display);
  SetActiveWindow(kNoWindow);
  SetFocus(child_);
  EXPECT_EQ(display.fronted, std::vector<HWND>{top_});
  SetActiveWindow(top_);
  EXPECT_EQ(display.fronted.size(), 1u) << "active already";
  // Active already, it may still be behind another program's window.
  EXPECT_TRUE(SetForegroundWindow(child_));
  EXPECT_EQ(display.fronted, (std::vector<HWND>{top_, top_}));
}

TEST_F(InputTest, SetForegroundWindowActivatesAndRefusesAWindowThatIsGone) {
  const HWND other =
      CreateWindowEx(0, kClass, "", WS_VISIBLE, 400, 400, 50, 50, kNoWindow, 0, nullptr);
  EXPECT_TRUE(SetForegroundWindow(other));
  EXPECT_EQ(GetActiveWindow(), other);
  EXPECT_TRUE(SetForegroundWindow(top_));
  EXPECT_EQ(GetActiveWindow(), top_);
  DestroyWindow(other);
  EXPECT_FALSE(SetForegroundWindow(other));
  EXPECT_EQ(GetActiveWindow(), top_);
}

TEST_F(InputTest, CaptureTakesTheMouseAnywhereUntilReleased) {
  SetActiveWindow(top_);
  SetCapture(child_);
  mouse_event(MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE, 0, 0, 0, 0);
  MSG msg;
  ASSERT_TRUE(PeekMessage(&msg, kNoWindow, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.hwnd, child_);
  EXPECT_EQ(LowWord(msg.lParam), -110);
  EXPECT_EQ(GetCapture(), child_);
  seen.clear();
  EXPECT_TRUE(ReleaseCapture());
  EXPECT_THAT(seen, ElementsAre(Seen{child_, WM_CAPTURECHANGED, 0}));
  EXPECT_EQ(GetCapture(), kNoWindow);
}

}  // namespace
