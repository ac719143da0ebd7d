#include "platform/up_down.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/caller_assert.h"
#include "platform/clock.h"
#include "platform/input.h"
#include "platform/message_driver.h"
#include "platform/paint.h"
#include "platform/scroll_bar.h"
#include "platform/system_info.h"
#include "platform/window.h"
#include "window_test_support.h"

namespace {

using namespace platform;
using ::testing::ElementsAre;

// What the parent heard, in order: a delta offered, or a scroll code.
struct Heard {
  UINT message;
  int32_t first;   // iPos, or the scroll code
  int32_t second;  // iDelta, or the position
  bool operator==(const Heard&) const = default;
};

std::vector<Heard> heard;
bool refuseDeltas = false;
// Keys the buddy's own procedure saw.
std::vector<WPARAM> buddyKeys;

LRESULT ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NOTIFY) {
    const auto* change = reinterpret_cast<const NMUPDOWN*>(lParam);
    EXPECT_EQ(change->hdr.code, UDN_DELTAPOS);
    heard.push_back({message, change->iPos, change->iDelta});
    return refuseDeltas ? 1 : 0;
  }
  if (message == WM_VSCROLL) {
    heard.push_back(
        {message, LowWord(static_cast<LPARAM>(wParam)), HighWord(static_cast<LPARAM>(wParam))});
    return 0;
  }
  return DefWindowProc(window, message, wParam, lParam);
}

// Stands in for an edit: it keeps its text through DefWindowProc.
LRESULT TextBoxProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_KEYDOWN) buddyKeys.push_back(wParam);
  return DefWindowProc(window, message, wParam, lParam);
}

constexpr char kParentClass[] = "UpDownParent";
constexpr char kTextBoxClass[] = "UpDownTextBox";
constexpr POINT kParentOrigin{50, 50};
constexpr RECT kBuddyRect{10, 10, 110, 34};
constexpr int32_t kUpDownWidth = 16;
constexpr int kBuddyId = 2056;
constexpr int kUpDownId = 2057;

class UpDownTest : public ::testing::Test {
 protected:
  UpDownTest() {
    ResetWindowMessages();
    heard.clear();
    buddyKeys.clear();
    refuseDeltas = false;
    RegisterTestClass(kParentClass, ParentProc);
    RegisterTestClass(kTextBoxClass, TextBoxProc);
    parent_ = CreateWindowEx(0, kParentClass, "", WS_VISIBLE, kParentOrigin.x, kParentOrigin.y, 300,
                             200, kNoWindow, 0, nullptr);
    buddy_ = AddControl(kTextBoxClass, WS_TABSTOP, kBuddyRect, kBuddyId);
  }
  ~UpDownTest() override { ResetWindowMessages(); }

  // As a dialog makes its controls: each goes below the ones before.
  HWND AddControl(const char* className, DWORD style, const RECT& rect, int id) {
    const HWND control =
        CreateWindowEx(0, className, "", WS_CHILD | WS_VISIBLE | style, rect.left, rect.top,
                       rect.Width(), rect.Height(), parent_, id, nullptr);
    SetWindowPos(control, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return control;
  }
  HWND AddUpDown(DWORD style) {
    return AddControl(
        kUpDownClass, style,
        RECT{kBuddyRect.right, kBuddyRect.top, kBuddyRect.right + kUpDownWidth, kBuddyRect.bottom},
        kUpDownId);
  }
  HWND AddSpinner() {
    const HWND upDown = AddUpDown(UDS_AUTOBUDDY | UDS_ARROWKEYS | UDS_SETBUDDYINT);
    SendMessage(upDown, UDM_SETRANGE, 0, MakeLParam(10, 0));
    SendMessage(upDown, UDM_SETPOS, 0, MakeLParam(5, 0));
    heard.clear();
    return upDown;
  }
  static void SetRange(HWND upDown, int32_t lower, int32_t upper) {
    SendMessage(upDown, UDM_SETRANGE, 0, MakeLParam(upper, lower));
  }
  static LRESULT GetPos(HWND upDown) { return SendMessage(upDown, UDM_GETPOS, 0, 0); }
  void Press(BYTE vk) {
    keybd_event(vk, 0, 0, 0);
    keybd_event(vk, 0, KEYEVENTF_KEYUP, 0);
    ASSERT_TRUE(driver_.RunUntilIdle());
  }
  void Click(HWND upDown, int32_t y) {
    RECT rect;
    GetWindowRect(upDown, &rect);
    mouse_event(MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE, rect.left + rect.Width() / 2, rect.top + y,
                0, 0);
    mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
    ASSERT_TRUE(driver_.RunUntilIdle());
    mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
    ASSERT_TRUE(driver_.RunUntilIdle());
  }

  FakeClock clock_;
  ScopedClock scoped_{clock_};
  MessageDriver driver_{clock_};
  HWND parent_ = kNoWindow;
  HWND buddy_ = kNoWindow;
};

struct RangeCase {
  int32_t lower, upper;          // as sent, each cut to 16 bits
  int32_t keptLower, keptUpper;  // as answered
};

class UpDownRangeTest : public UpDownTest, public ::testing::WithParamInterface<RangeCase> {};

TEST_P(UpDownRangeTest, TheRangeIsKeptAsGivenWithinTheLimits) {
  const HWND upDown = AddUpDown(0);
  SetRange(upDown, GetParam().lower, GetParam().upper);
  const LRESULT range = SendMessage(upDown, UDM_GETRANGE, 0, 0);
  EXPECT_EQ(LowWord(range), GetParam().keptUpper);
  EXPECT_EQ(HighWord(range), GetParam().keptLower);
}

INSTANTIATE_TEST_SUITE_P(Cases, UpDownRangeTest,
                         ::testing::Values(RangeCase{1, 999, 1, 999},
                                           RangeCase{100, 1, 100, 1},  // reversed
                                           RangeCase{1, 0x7FFF, 1, 0x7FFF},
                                           RangeCase{0x7FFF, 1, 0x7FFF, 1},
                                           RangeCase{1, 0x8000, 1, -0x7FFF},  // -32768 cut
                                           RangeCase{-5, 5, -5, 5}));

TEST_F(UpDownTest, ANewControlCountsDownFromItsUpArrow) {
  const HWND upDown = AddUpDown(0);
  const LRESULT range = SendMessage(upDown, UDM_GETRANGE, 0, 0);
  EXPECT_EQ(LowWord(range), 0);
  EXPECT_EQ(HighWord(range), 100);
}

TEST_F(UpDownTest, SetPosKeepsThePositionInTheRangeAndWritesTheBuddysNumber) {
  const HWND upDown = AddUpDown(UDS_AUTOBUDDY | UDS_SETBUDDYINT);
  SetRange(upDown, 100, 1);  // reversed
  EXPECT_EQ(SendMessage(upDown, UDM_SETPOS, 0, MakeLParam(42, 0)), 1) << "the previous one";
  EXPECT_EQ(GetWindowText(buddy_), "42");
  EXPECT_EQ(SendMessage(upDown, UDM_SETPOS, 0, MakeLParam(500, 0)), 42);
  EXPECT_EQ(GetWindowText(buddy_), "100");
  SendMessage(upDown, UDM_SETPOS, 0, MakeLParam(-3, 0));
  EXPECT_EQ(GetWindowText(buddy_), "1");
  EXPECT_EQ(GetPos(upDown), 1);
}

TEST_F(UpDownTest, WithoutSetBuddyIntTheBuddysTextIsLeftAlone) {
  const HWND upDown = AddUpDown(UDS_AUTOBUDDY);
  SetWindowText(buddy_, "abc");
  SetRange(upDown, 0, 10);
  SendMessage(upDown, UDM_SETPOS, 0, MakeLParam(7, 0));
  EXPECT_EQ(GetWindowText(buddy_), "abc");
  EXPECT_EQ(GetPos(upDown), 7) << "no error: the buddy's text is not read";
}

struct TextCase {
  const char* text;
  int32_t position;
  bool error;
};

class UpDownReadTest : public UpDownTest, public ::testing::WithParamInterface<TextCase> {};

// Range 1..50 with the position at 20.
TEST_P(UpDownReadTest, GetPosReadsTheBuddyAndFlagsWhatIsNoNumberInRange) {
  const HWND upDown = AddUpDown(UDS_AUTOBUDDY | UDS_SETBUDDYINT);
  SetRange(upDown, 1, 50);
  SendMessage(upDown, UDM_SETPOS, 0, MakeLParam(20, 0));
  SetWindowText(buddy_, GetParam().text);
  const LRESULT answer = GetPos(upDown);
  EXPECT_EQ(LowWord(answer), GetParam().position);
  EXPECT_EQ(HighWord(answer) != 0, GetParam().error);
}

INSTANTIATE_TEST_SUITE_P(Texts, UpDownReadTest,
                         ::testing::Values(TextCase{"33", 33, false}, TextCase{"1", 1, false},
                                           TextCase{"", 20, true}, TextCase{"abc", 20, true},
                                           TextCase{"12a", 20, true}, TextCase{"51", 20, true},
                                           TextCase{"0", 20, true},
                                           TextCase{"99999999999", 20, true}));

TEST_F(UpDownTest, TheAutoBuddyIsTheControlRightAboveInZOrder) {
  const HWND upDown = AddUpDown(UDS_AUTOBUDDY);
  EXPECT_EQ(static_cast<HWND>(SendMessage(upDown, UDM_GETBUDDY, 0, 0)), buddy_);
  const HWND second = AddControl(kTextBoxClass, 0, RECT{10, 50, 110, 74}, 3);
  const HWND plain = AddUpDown(0);
  EXPECT_EQ(static_cast<HWND>(SendMessage(plain, UDM_GETBUDDY, 0, 0)), kNoWindow)
      << "no buddy without the style";
  EXPECT_EQ(static_cast<HWND>(SendMessage(plain, UDM_SETBUDDY, static_cast<WPARAM>(second), 0)),
            kNoWindow);
  EXPECT_EQ(static_cast<HWND>(SendMessage(plain, UDM_GETBUDDY, 0, 0)), second);
  SetWindowPos(upDown, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  EXPECT_EQ(static_cast<HWND>(SendMessage(upDown, UDM_GETBUDDY, 0, 0)), buddy_)
      << "a buddy once taken stays when the control moves";
}

TEST_F(UpDownTest, AlignRightTakesTheBuddysRightEnd) {
  const HWND upDown = AddUpDown(UDS_AUTOBUDDY | UDS_ALIGNRIGHT);
  RECT buddy;
  RECT own;
  GetWindowRect(buddy_, &buddy);
  GetWindowRect(upDown, &own);
  EXPECT_EQ(buddy.Width(), kBuddyRect.Width() - kUpDownWidth);
  EXPECT_EQ(own.left, buddy.right);
  EXPECT_EQ(own.Width(), kUpDownWidth);
  EXPECT_EQ(own.top, buddy.top);
  EXPECT_EQ(own.Height(), buddy.Height());
}

TEST_F(UpDownTest, UpAndDownInTheBuddyStepItWithOrWithoutCtrl) {
  const HWND upDown = AddSpinner();
  SetFocus(buddy_);
  Press(VK_UP);
  EXPECT_EQ(GetWindowText(buddy_), "6");
  EXPECT_THAT(heard, ElementsAre(Heard{WM_NOTIFY, 5, 1}, Heard{WM_VSCROLL, SB_THUMBPOSITION, 6},
                                 Heard{WM_VSCROLL, SB_ENDSCROLL, 0}));
  keybd_event(VK_CONTROL, 0, 0, 0);
  Press(VK_DOWN);
  Press(VK_DOWN);
  keybd_event(VK_CONTROL, 0, KEYEVENTF_KEYUP, 0);
  ASSERT_TRUE(driver_.RunUntilIdle());
  EXPECT_EQ(GetWindowText(buddy_), "4");
  EXPECT_EQ(LowWord(GetPos(upDown)), 4);
  EXPECT_THAT(buddyKeys, ElementsAre(VK_CONTROL)) << "the arrows never reached the buddy";
}

TEST_F(UpDownTest, AStepStartsFromWhatWasTypedAndStopsAtTheEnds) {
  AddSpinner();
  SetFocus(buddy_);
  SetWindowText(buddy_, "9");
  Press(VK_UP);
  EXPECT_EQ(GetWindowText(buddy_), "10");
  heard.clear();
  Press(VK_UP);
  EXPECT_EQ(GetWindowText(buddy_), "10");
  EXPECT_THAT(heard, ElementsAre(Heard{WM_NOTIFY, 10, 1}, Heard{WM_VSCROLL, SB_THUMBPOSITION, 10},
                                 Heard{WM_VSCROLL, SB_ENDSCROLL, 0}));
}

TEST_F(UpDownTest, InAReversedRangeTheUpArrowCountsDown) {
  const HWND upDown = AddSpinner();
  SetRange(upDown, 100, 1);
  SendMessage(upDown, UDM_SETPOS, 0, MakeLParam(50, 0));
  heard.clear();
  SetFocus(buddy_);
  Press(VK_UP);
  EXPECT_EQ(GetWindowText(buddy_), "49");
  EXPECT_EQ(heard.front(), (Heard{WM_NOTIFY, 50, -1}));
}

TEST_F(UpDownTest, AParentMayRefuseAStep) {
  AddSpinner();
  refuseDeltas = true;
  SetFocus(buddy_);
  Press(VK_UP);
  EXPECT_EQ(GetWindowText(buddy_), "5");
  EXPECT_THAT(heard, ElementsAre(Heard{WM_NOTIFY, 5, 1}, Heard{WM_VSCROLL, SB_ENDSCROLL, 0}));
}

TEST_F(UpDownTest, WithoutArrowKeysOrOnceTheControlIsGoneTheBuddyKeepsItsKeys) {
  const HWND upDown = AddUpDown(UDS_AUTOBUDDY | UDS_SETBUDDYINT);
  SetFocus(buddy_);
  Press(VK_UP);
  const HWND keyed = AddUpDown(UDS_AUTOBUDDY | UDS_ARROWKEYS);
  SendMessage(keyed, UDM_SETBUDDY, static_cast<WPARAM>(buddy_), 0);
  DestroyWindow(keyed);
  Press(VK_DOWN);
  EXPECT_THAT(buddyKeys, ElementsAre(VK_UP, VK_DOWN));
  EXPECT_TRUE(heard.empty());
  EXPECT_TRUE(IsWindow(upDown));
}

TEST_F(UpDownTest, ABuddyDestroyedFirstIsLeftAlone) {
  const HWND upDown = AddSpinner();
  DestroyWindow(buddy_);
  ScopedMisuseCounter misuse;
  EXPECT_EQ(SendMessage(upDown, UDM_SETPOS, 0, MakeLParam(7, 0)), 5);
  EXPECT_EQ(GetPos(upDown), 7);
  EXPECT_EQ(misuse.Total(), 0);
}

TEST_F(UpDownTest, TheArrowsAreClickable) {
  const HWND upDown = AddSpinner();
  Click(upDown, 2);
  EXPECT_EQ(GetWindowText(buddy_), "6");
  Click(upDown, kBuddyRect.Height() - 2);
  Click(upDown, kBuddyRect.Height() - 2);
  EXPECT_EQ(GetWindowText(buddy_), "4");
  EXPECT_EQ(heard.back(), (Heard{WM_VSCROLL, SB_ENDSCROLL, 0}));
  EXPECT_EQ(heard.size(), 9u);
  EXPECT_EQ(GetCapture(), kNoWindow);
}

TEST_F(UpDownTest, TheArrowsAreDrawnAsButtonsWithTheirGlyphs) {
  const HWND upDown = AddUpDown(0);
  RedrawWindow(parent_, nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  RECT rect;
  GetWindowRect(upDown, &rect);
  const HDC surface = GetWindowSurface(parent_);
  const int32_t x = rect.left - kParentOrigin.x;
  const int32_t y = rect.top - kParentOrigin.y;
  const int32_t half = rect.Height() / 2;
  EXPECT_EQ(GetPixel(surface, x, y), GetSysColor(COLOR_BTNHIGHLIGHT)) << "the up arrow's corner";
  EXPECT_EQ(GetPixel(surface, x + rect.Width() - 1, y + half - 1), GetSysColor(COLOR_BTNSHADOW));
  EXPECT_EQ(GetPixel(surface, x + 2, y + 2), GetSysColor(COLOR_BTNFACE));
  // The glyph's widest row lies across the middle of each button.
  const int32_t rows = std::min(rect.Width(), half) / 3;
  const int32_t top = (half - rows) / 2;
  EXPECT_EQ(GetPixel(surface, x + rect.Width() / 2, y + top + rows - 1),
            GetSysColor(COLOR_BTNTEXT));
  EXPECT_EQ(GetPixel(surface, x + rect.Width() / 2, y + half + top), GetSysColor(COLOR_BTNTEXT));
}

}  // namespace
