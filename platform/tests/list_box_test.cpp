#include "platform/list_box.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/control_notify.h"
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
using ::testing::ElementsAreArray;

// What the parent was told or asked, in order.
struct Told {
  UINT message;
  UINT code;  // the notify code, the item id, or the key
  uintptr_t data = 0;
  bool operator==(const Told&) const = default;
};

std::vector<Told> told;
std::vector<DRAWITEMSTRUCT> drawn;
// The parent's answer to WM_VKEYTOITEM and the heights it measures.
LRESULT vkeyAnswer = kVKeyDefault;
constexpr UINT kMeasuredBase = 10;

LRESULT ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      told.push_back({message, NotifyCodeOf(wParam)});
      return 0;
    case WM_MEASUREITEM: {
      MEASUREITEMSTRUCT* measure = MeasureItemOf(lParam);
      told.push_back({message, measure->itemID, measure->itemData});
      measure->itemHeight = kMeasuredBase + static_cast<UINT>(measure->itemData);
      return 1;
    }
    case WM_DRAWITEM:
      drawn.push_back(*DrawItemOf(lParam));
      return 1;
    case WM_DELETEITEM:
      told.push_back({message, DeleteItemOf(lParam)->itemID, DeleteItemOf(lParam)->itemData});
      return 1;
    case WM_VKEYTOITEM:
      told.push_back({message, static_cast<UINT>(wParam & 0xFFFF),
                      static_cast<uintptr_t>((wParam >> 16) & 0xFFFF)});
      return vkeyAnswer;
    default:
      return DefWindowProc(window, message, wParam, lParam);
  }
}

constexpr char kParentClass[] = "ListParent";
constexpr POINT kParentOrigin{100, 100};
constexpr POINT kListOrigin{10, 10};
constexpr int32_t kListWidth = 120;
constexpr int32_t kListHeight = 100;
constexpr int32_t kItemHeight = 20;
constexpr int32_t kListId = 7;

class ListBoxTest : public ::testing::Test {
 protected:
  ListBoxTest() {
    ResetWindowMessages();
    told.clear();
    drawn.clear();
    vkeyAnswer = kVKeyDefault;
    RegisterTestClass(kParentClass, ParentProc);
    parent_ = CreateWindowEx(0, kParentClass, "", WS_VISIBLE, kParentOrigin.x, kParentOrigin.y, 300,
                             300, kNoWindow, 0, nullptr);
  }
  ~ListBoxTest() override { ResetWindowMessages(); }

  HWND MakeList(DWORD style, int32_t count = 0) {
    const HWND list =
        CreateWindowEx(0, kListBoxClass, "", WS_CHILD | WS_VISIBLE | style, kListOrigin.x,
                       kListOrigin.y, kListWidth, kListHeight, parent_, kListId, nullptr);
    if ((style & LBS_OWNERDRAWVARIABLE) == 0) SendMessage(list, LB_SETITEMHEIGHT, 0, kItemHeight);
    for (int32_t i = 0; i < count; ++i) Add(list, "item " + std::to_string(i));
    told.clear();
    return list;
  }
  static LRESULT Add(HWND list, const std::string& text) {
    return SendMessage(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
  }
  static std::string TextOf(HWND list, int32_t index) {
    std::string text(static_cast<size_t>(SendMessage(list, LB_GETTEXTLEN, index, 0)), '\0');
    SendMessage(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(text.data()));
    return text;
  }
  static std::vector<bool> Selection(HWND list) {
    std::vector<bool> selection;
    for (int32_t i = 0; i < SendMessage(list, LB_GETCOUNT, 0, 0); ++i)
      selection.push_back(SendMessage(list, LB_GETSEL, i, 0) > 0);
    return selection;
  }
  void Key(BYTE vk, bool shift = false, bool ctrl = false) {
    if (shift) keybd_event(VK_SHIFT, 0, 0, 0);
    if (ctrl) keybd_event(VK_CONTROL, 0, 0, 0);
    keybd_event(vk, 0, 0, 0);
    keybd_event(vk, 0, KEYEVENTF_KEYUP, 0);
    if (ctrl) keybd_event(VK_CONTROL, 0, KEYEVENTF_KEYUP, 0);
    if (shift) keybd_event(VK_SHIFT, 0, KEYEVENTF_KEYUP, 0);
    ASSERT_TRUE(driver_.RunUntilIdle());
  }
  void Click(POINT inList, bool twice = false) {
    mouse_event(MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE, kParentOrigin.x + kListOrigin.x + inList.x,
                kParentOrigin.y + kListOrigin.y + inList.y, 0, 0);
    for (int i = 0; i < (twice ? 2 : 1); ++i) {
      mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
      mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
    }
    ASSERT_TRUE(driver_.RunUntilIdle());
  }
  COLORREF Pixel(POINT inList) const {
    return GetPixel(GetWindowSurface(parent_), kListOrigin.x + inList.x, kListOrigin.y + inList.y);
  }
  static std::vector<UINT> Notified() {
    std::vector<UINT> codes;
    for (const Told& t : told)
      if (t.message == WM_COMMAND) codes.push_back(t.code);
    return codes;
  }

  FakeClock clock_;
  ScopedClock scoped_{clock_};
  MessageDriver driver_{clock_};
  HWND parent_ = kNoWindow;
};

TEST_F(ListBoxTest, TheClassIsTheSystems) {
  WNDCLASS found;
  EXPECT_TRUE(GetClassInfo("listbox", &found));
  EXPECT_FALSE(UnregisterClass(kListBoxClass));
}

TEST_F(ListBoxTest, ItemsAreAddedInsertedDeletedAndReset) {
  const HWND list = MakeList(0);
  EXPECT_EQ(Add(list, "b"), 0);
  EXPECT_EQ(Add(list, "d"), 1);
  EXPECT_EQ(SendMessage(list, LB_INSERTSTRING, 0, reinterpret_cast<LPARAM>("a")), 0);
  EXPECT_EQ(SendMessage(list, LB_INSERTSTRING, 2, reinterpret_cast<LPARAM>("c")), 2);
  EXPECT_EQ(
      SendMessage(list, LB_INSERTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("e")),
      4);
  EXPECT_EQ(SendMessage(list, LB_INSERTSTRING, 9, reinterpret_cast<LPARAM>("x")), LB_ERR);
  ASSERT_EQ(SendMessage(list, LB_GETCOUNT, 0, 0), 5);
  EXPECT_EQ(TextOf(list, 0) + TextOf(list, 1) + TextOf(list, 2) + TextOf(list, 3) + TextOf(list, 4),
            "abcde");
  EXPECT_EQ(SendMessage(list, LB_GETTEXTLEN, 5, 0), LB_ERR);
  EXPECT_EQ(SendMessage(list, LB_DELETESTRING, 1, 0), 4) << "answers how many are left";
  EXPECT_EQ(SendMessage(list, LB_DELETESTRING, 4, 0), LB_ERR);
  EXPECT_EQ(TextOf(list, 1), "c");
  EXPECT_EQ(SendMessage(list, LB_RESETCONTENT, 0, 0), LB_OKAY);
  EXPECT_EQ(SendMessage(list, LB_GETCOUNT, 0, 0), 0);
  EXPECT_TRUE(told.empty()) << "a plain list tells its owner of no deletion";
}

TEST_F(ListBoxTest, ItemDataFollowsItsItem) {
  const HWND list = MakeList(0, 3);
  EXPECT_EQ(SendMessage(list, LB_SETITEMDATA, 1, 0x1234), LB_OKAY);
  EXPECT_EQ(SendMessage(list, LB_SETITEMDATA, 3, 1), LB_ERR);
  SendMessage(list, LB_INSERTSTRING, 0, reinterpret_cast<LPARAM>("new"));
  EXPECT_EQ(SendMessage(list, LB_GETITEMDATA, 2, 0), 0x1234);
  EXPECT_EQ(SendMessage(list, LB_GETITEMDATA, 0, 0), 0);
  SendMessage(list, LB_DELETESTRING, 0, 0);
  EXPECT_EQ(SendMessage(list, LB_GETITEMDATA, 1, 0), 0x1234);
  EXPECT_EQ(SendMessage(list, LB_GETITEMDATA, 9, 0), LB_ERR);
}

TEST_F(ListBoxTest, DoubleByteTextsAreKeptByteForByte) {
  const HWND list = MakeList(0);
  const std::string kanji = "\x8A\xBF\x8E\x9A\x82\xC6\xB6\xC5";  // 漢字とｶﾅ
  Add(list, kanji);
  EXPECT_EQ(SendMessage(list, LB_GETTEXTLEN, 0, 0), 8) << "the length counts bytes";
  EXPECT_EQ(TextOf(list, 0), kanji);
}

TEST_F(ListBoxTest, SelectionMessagesOfASingleList) {
  const HWND list = MakeList(0, 4);
  EXPECT_EQ(SendMessage(list, LB_GETCURSEL, 0, 0), LB_ERR);
  EXPECT_EQ(SendMessage(list, LB_SETCURSEL, 2, 0), 2);
  EXPECT_EQ(SendMessage(list, LB_GETCURSEL, 0, 0), 2);
  EXPECT_EQ(SendMessage(list, LB_GETCARETINDEX, 0, 0), 2);
  EXPECT_THAT(Selection(list), ElementsAre(false, false, true, false));
  EXPECT_EQ(SendMessage(list, LB_SETSEL, 1, 1), LB_ERR) << "only for lists of many";
  EXPECT_EQ(SendMessage(list, LB_GETSELCOUNT, 0, 0), LB_ERR);
  EXPECT_EQ(SendMessage(list, LB_SETCURSEL, static_cast<WPARAM>(-1), 0), LB_ERR);
  EXPECT_EQ(SendMessage(list, LB_GETCURSEL, 0, 0), LB_ERR) << "-1 clears the selection";
  SendMessage(list, LB_SETCURSEL, 3, 0);
  SendMessage(list, LB_DELETESTRING, 0, 0);
  EXPECT_EQ(SendMessage(list, LB_GETCURSEL, 0, 0), 2) << "the selection moves with its item";
  SendMessage(list, LB_DELETESTRING, 2, 0);
  EXPECT_EQ(SendMessage(list, LB_GETCURSEL, 0, 0), LB_ERR) << "and goes with it";
  EXPECT_TRUE(Notified().empty()) << "messages tell nothing";
}

TEST_F(ListBoxTest, SelectionMessagesOfAMultipleList) {
  const HWND list = MakeList(LBS_MULTIPLESEL, 5);
  EXPECT_EQ(SendMessage(list, LB_SETCURSEL, 1, 0), LB_ERR);
  EXPECT_EQ(SendMessage(list, LB_SETSEL, 1, 1), LB_OKAY);
  EXPECT_EQ(SendMessage(list, LB_SETSEL, 1, 3), LB_OKAY);
  EXPECT_EQ(SendMessage(list, LB_SETSEL, 1, 5), LB_ERR);
  EXPECT_EQ(SendMessage(list, LB_GETSELCOUNT, 0, 0), 2);
  int32_t indexes[4] = {-1, -1, -1, -1};
  EXPECT_EQ(SendMessage(list, LB_GETSELITEMS, 4, reinterpret_cast<LPARAM>(indexes)), 2);
  EXPECT_EQ(indexes[0], 1);
  EXPECT_EQ(indexes[1], 3);
  EXPECT_EQ(SendMessage(list, LB_GETSELITEMS, 1, reinterpret_cast<LPARAM>(indexes)), 1)
      << "never more than asked";
  EXPECT_EQ(SendMessage(list, LB_SETCARETINDEX, 4, 0), LB_OKAY);
  EXPECT_EQ(SendMessage(list, LB_GETCARETINDEX, 0, 0), 4);
  EXPECT_EQ(SendMessage(list, LB_GETCURSEL, 0, 0), 4) << "a list of many answers its caret";
  EXPECT_EQ(SendMessage(list, LB_SETCARETINDEX, 5, 0), LB_ERR);
  SendMessage(list, LB_SETSEL, 1, static_cast<LPARAM>(-1));
  EXPECT_EQ(SendMessage(list, LB_GETSELCOUNT, 0, 0), 5);
  SendMessage(list, LB_SETSEL, 0, static_cast<LPARAM>(-1));
  EXPECT_EQ(SendMessage(list, LB_GETSELCOUNT, 0, 0), 0);
}

struct KeyStep {
  BYTE vk;
  bool shift = false;
  bool ctrl = false;
};

struct KeyCase {
  const char* name;
  DWORD style;
  int32_t startCaret;  // set with LB_SETCURSEL in a single list, LB_SETCARETINDEX otherwise
  std::vector<KeyStep> keys;
  std::vector<bool> selection;
  int32_t caret;
  size_t selChanges;
};

class ListKeyTest : public ListBoxTest, public ::testing::WithParamInterface<KeyCase> {};

TEST_P(ListKeyTest, KeysMoveTheCaretAndSelect) {
  const KeyCase& c = GetParam();
  const HWND list = MakeList(LBS_NOTIFY | c.style, 5);
  if ((c.style & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL)) == 0)
    SendMessage(list, LB_SETCURSEL, c.startCaret, 0);
  else
    SendMessage(list, LB_SETCARETINDEX, c.startCaret, 0);
  SetFocus(list);
  ASSERT_TRUE(driver_.RunUntilIdle());
  told.clear();
  for (const KeyStep& step : c.keys) Key(step.vk, step.shift, step.ctrl);
  EXPECT_THAT(Selection(list), ElementsAreArray(c.selection));
  EXPECT_EQ(SendMessage(list, LB_GETCARETINDEX, 0, 0), c.caret);
  EXPECT_EQ(Notified(), std::vector<UINT>(c.selChanges, LBN_SELCHANGE));
}

const bool o = false;
const bool X = true;

INSTANTIATE_TEST_SUITE_P(
    Cases, ListKeyTest,
    ::testing::Values(
        KeyCase{"SingleDown", 0, 1, {{VK_DOWN}}, {o, o, X, o, o}, 2, 1},
        KeyCase{"SingleUp", 0, 1, {{VK_UP}}, {X, o, o, o, o}, 0, 1},
        KeyCase{"SingleUpAtTop", 0, 0, {{VK_UP}}, {X, o, o, o, o}, 0, 0},
        KeyCase{"SingleDownAtEnd", 0, 4, {{VK_DOWN}}, {o, o, o, o, X}, 4, 0},
        KeyCase{"SingleHomeEnd", 0, 2, {{VK_END}, {VK_HOME}}, {X, o, o, o, o}, 0, 2},
        KeyCase{"SingleShiftDoesNotExtend", 0, 1, {{VK_DOWN, X}}, {o, o, X, o, o}, 2, 1},
        KeyCase{"SingleSpaceSelectsTheCaret", 0, 3, {{VK_SPACE}}, {o, o, o, X, o}, 3, 0},
        KeyCase{"SinglePageDown", 0, 0, {{VK_NEXT}}, {o, o, o, o, X}, 4, 1},
        KeyCase{"MultipleArrowsMoveOnlyTheCaret",
                LBS_MULTIPLESEL,
                0,
                {{VK_DOWN}, {VK_DOWN}},
                {o, o, o, o, o},
                2,
                0},
        KeyCase{"MultipleSpaceToggles",
                LBS_MULTIPLESEL,
                0,
                {{VK_SPACE}, {VK_DOWN}, {VK_DOWN}, {VK_SPACE}},
                {X, o, X, o, o},
                2,
                2},
        KeyCase{"MultipleSpaceTwiceUnselects",
                LBS_MULTIPLESEL,
                1,
                {{VK_SPACE}, {VK_SPACE}},
                {o, o, o, o, o},
                1,
                2},
        KeyCase{"ExtendedArrowSelectsOne", LBS_EXTENDEDSEL, 1, {{VK_DOWN}}, {o, o, X, o, o}, 2, 1},
        KeyCase{"ExtendedShiftExtends",
                LBS_EXTENDEDSEL,
                1,
                {{VK_DOWN}, {VK_DOWN, X}, {VK_DOWN, X}},
                {o, o, X, X, X},
                4,
                3},
        KeyCase{"ExtendedShiftBackPastTheAnchor",
                LBS_EXTENDEDSEL,
                2,
                {{VK_SPACE}, {VK_DOWN, X}, {VK_UP, X}, {VK_UP, X}},
                {o, X, X, o, o},
                1,
                4},
        KeyCase{"ExtendedShiftEndFromTheAnchor",
                LBS_EXTENDEDSEL,
                0,
                {{VK_DOWN}, {VK_END, X}},
                {o, X, X, X, X},
                4,
                2},
        KeyCase{"ExtendedCtrlMovesOnlyTheCaret",
                LBS_EXTENDEDSEL,
                0,
                {{VK_DOWN}, {VK_DOWN, o, X}, {VK_DOWN, o, X}, {VK_SPACE, o, X}},
                {o, X, o, X, o},
                3,
                2},
        KeyCase{"ExtendedPlainArrowDropsTheRange",
                LBS_EXTENDEDSEL,
                0,
                {{VK_DOWN, X}, {VK_DOWN, X}, {VK_UP}},
                {o, X, o, o, o},
                1,
                3}),
    [](const ::testing::TestParamInfo<KeyCase>& info) { return std::string(info.param.name); });

// A subclass may clear Shift in the thread's key state while a key it
// made up passes, so that the key moves the caret without extending.
TEST_F(ListBoxTest, ShiftIsReadFromTheThreadsKeyStateWhenTheKeyArrives) {
  const HWND list = MakeList(LBS_EXTENDEDSEL, 5);
  SendMessage(list, LB_SETCARETINDEX, 3, 0);
  SetFocus(list);
  Key(VK_SPACE);
  keybd_event(VK_SHIFT, 0, 0, 0);
  ASSERT_TRUE(driver_.RunUntilIdle());
  KeyboardState state;
  ASSERT_TRUE(GetKeyboardState(&state));
  ASSERT_NE(state[VK_SHIFT] & 0x80, 0);
  KeyboardState cleared = state;
  cleared[VK_SHIFT] = 0;
  SetKeyboardState(cleared);
  SendMessage(list, WM_KEYDOWN, VK_UP, 0);
  SetKeyboardState(state);
  EXPECT_THAT(Selection(list), ElementsAre(o, o, X, o, o));
  SendMessage(list, WM_KEYDOWN, VK_UP, 0);
  keybd_event(VK_SHIFT, 0, KEYEVENTF_KEYUP, 0);
  ASSERT_TRUE(driver_.RunUntilIdle());
  EXPECT_THAT(Selection(list), ElementsAre(o, X, X, o, o)) << "with Shift held it extends";
}

TEST_F(ListBoxTest, WithoutNotifyKeysAndClicksTellNothingButTheFocus) {
  const HWND list = MakeList(0, 3);
  Click(POINT{5, kItemHeight + 5});
  Key(VK_DOWN);
  EXPECT_EQ(SendMessage(list, LB_GETCURSEL, 0, 0), 2);
  EXPECT_THAT(Notified(), ElementsAre(LBN_SETFOCUS));
}

TEST_F(ListBoxTest, ClicksSelectAndTellInOrder) {
  const HWND list = MakeList(LBS_NOTIFY, 3);
  Click(POINT{5, kItemHeight + 5});
  EXPECT_EQ(GetFocus(), list);
  EXPECT_EQ(SendMessage(list, LB_GETCURSEL, 0, 0), 1);
  Click(POINT{5, 2 * kItemHeight + 5}, true);
  EXPECT_EQ(SendMessage(list, LB_GETCURSEL, 0, 0), 2);
  Click(POINT{5, 4 * kItemHeight});  // below the last item
  EXPECT_EQ(SendMessage(list, LB_GETCURSEL, 0, 0), 2);
  SetFocus(parent_);
  ASSERT_TRUE(driver_.RunUntilIdle());
  EXPECT_THAT(Notified(),
              ElementsAre(LBN_SETFOCUS, LBN_SELCHANGE, LBN_SELCHANGE, LBN_DBLCLK, LBN_KILLFOCUS));
}

TEST_F(ListBoxTest, ClicksInAnExtendedListWithShiftAndCtrl) {
  const HWND list = MakeList(LBS_EXTENDEDSEL, 5);
  Click(POINT{5, 1 * kItemHeight + 5});
  keybd_event(VK_SHIFT, 0, 0, 0);
  Click(POINT{5, 3 * kItemHeight + 5});
  keybd_event(VK_SHIFT, 0, KEYEVENTF_KEYUP, 0);
  EXPECT_THAT(Selection(list), ElementsAre(o, X, X, X, o));
  keybd_event(VK_CONTROL, 0, 0, 0);
  Click(POINT{5, 2 * kItemHeight + 5});
  keybd_event(VK_CONTROL, 0, KEYEVENTF_KEYUP, 0);
  EXPECT_THAT(Selection(list), ElementsAre(o, X, o, X, o));
  const HWND multiple = MakeList(LBS_MULTIPLESEL, 3);
  Click(POINT{5, 5});
  Click(POINT{5, 5});
  Click(POINT{5, kItemHeight + 5});
  EXPECT_THAT(Selection(multiple), ElementsAre(o, X, o)) << "a click toggles";
}

struct VKeyCase {
  const char* name;
  LRESULT answer;
  int32_t wantCurrent;
};

class ListVKeyTest : public ListBoxTest, public ::testing::WithParamInterface<VKeyCase> {};

TEST_P(ListVKeyTest, TheParentAnswersKeysFirst) {
  const HWND list = MakeList(LBS_NOTIFY | LBS_WANTKEYBOARDINPUT, 5);
  SendMessage(list, LB_SETCURSEL, 1, 0);
  SetFocus(list);
  ASSERT_TRUE(driver_.RunUntilIdle());
  told.clear();
  vkeyAnswer = GetParam().answer;
  Key(VK_DOWN);
  ASSERT_FALSE(told.empty());
  EXPECT_EQ(told.front(), (Told{WM_VKEYTOITEM, VK_DOWN, 1})) << "the key and the caret";
  EXPECT_EQ(SendMessage(list, LB_GETCURSEL, 0, 0), GetParam().wantCurrent);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, ListVKeyTest,
    ::testing::Values(VKeyCase{"Handled", kVKeyHandled, 1}, VKeyCase{"Default", kVKeyDefault, 2},
                      VKeyCase{"FromItemThree", 3, 4}, VKeyCase{"OutOfRangeIsDefault", 9, 2}),
    [](const ::testing::TestParamInfo<VKeyCase>& info) { return std::string(info.param.name); });

TEST_F(ListBoxTest, OwnerDrawnVariableItemsAreMeasuredDrawnAndDeleted) {
  const HWND list = MakeList(LBS_OWNERDRAWVARIABLE);
  // Without LBS_HASSTRINGS the added word is the item data; the parent
  // measures 10 plus the data.
  SendMessage(list, LB_ADDSTRING, 0, 5);
  SendMessage(list, LB_ADDSTRING, 0, 20);
  SendMessage(list, LB_INSERTSTRING, 0, 0);
  EXPECT_THAT(told, ElementsAre(Told{WM_MEASUREITEM, 0, 5}, Told{WM_MEASUREITEM, 1, 20},
                                Told{WM_MEASUREITEM, 0, 0}));
  EXPECT_EQ(SendMessage(list, LB_GETITEMHEIGHT, 0, 0), 10);
  EXPECT_EQ(SendMessage(list, LB_GETITEMHEIGHT, 2, 0), 30);
  EXPECT_EQ(SendMessage(list, LB_GETITEMDATA, 1, 0), 5);
  RECT rect;
  ASSERT_EQ(SendMessage(list, LB_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&rect)), LB_OKAY);
  EXPECT_EQ(rect, (RECT{0, 25, kListWidth, 55}));

  SendMessage(list, LB_SETCURSEL, 1, 0);
  SetFocus(list);
  UpdateWindow(parent_);
  ASSERT_TRUE(driver_.RunUntilIdle());
  ASSERT_GE(drawn.size(), 3u);
  const std::vector<DRAWITEMSTRUCT> last(drawn.end() - 3, drawn.end());
  for (size_t i = 0; i < last.size(); ++i) {
    EXPECT_EQ(last[i].CtlType, ODT_LISTBOX);
    EXPECT_EQ(last[i].CtlID, static_cast<UINT>(kListId));
    EXPECT_EQ(last[i].itemID, i);
    EXPECT_EQ(last[i].hwndItem, list);
    EXPECT_EQ(last[i].itemAction, ODA_DRAWENTIRE);
  }
  EXPECT_EQ(last[1].itemState, ODS_SELECTED | ODS_FOCUS);
  EXPECT_EQ(last[0].itemState, 0u);
  EXPECT_EQ(last[1].rcItem, (RECT{0, 10, kListWidth, 25}));
  EXPECT_EQ(last[1].itemData, 5u);

  told.clear();
  SendMessage(list, LB_DELETESTRING, 1, 0);
  SendMessage(list, LB_RESETCONTENT, 0, 0);
  SendMessage(list, LB_ADDSTRING, 0, 7);
  DestroyWindow(list);
  EXPECT_THAT(told, ElementsAre(Told{WM_DELETEITEM, 1, 5}, Told{WM_DELETEITEM, 0, 0},
                                Told{WM_DELETEITEM, 1, 20}, Told{WM_MEASUREITEM, 0, 7},
                                Told{WM_COMMAND, LBN_KILLFOCUS}, Told{WM_DELETEITEM, 0, 7}));
}

TEST_F(ListBoxTest, AFixedOwnerDrawnListIsMeasuredOnceAndKeepsItsStrings) {
  const HWND list = CreateWindowEx(0, kListBoxClass, "",
                                   WS_CHILD | WS_VISIBLE | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS, 0,
                                   0, kListWidth, kListHeight, parent_, kListId, nullptr);
  EXPECT_THAT(told, ElementsAre(Told{WM_MEASUREITEM, 0, 0}));
  Add(list, "text");
  EXPECT_EQ(TextOf(list, 0), "text");
  EXPECT_EQ(SendMessage(list, LB_GETITEMHEIGHT, 0, 0), static_cast<LRESULT>(kMeasuredBase));
  EXPECT_EQ(told.size(), 1u);
}

TEST_F(ListBoxTest, AScrollBarAppearsWhenTheItemsOverflow) {
  // 100 pixels hold five items of 20.
  const HWND list = MakeList(LBS_NOTIFY, 5);
  const HWND bar = GetWindow(list, GW_CHILD);
  ASSERT_NE(bar, kNoWindow);
  EXPECT_FALSE(IsWindowVisible(bar));
  Add(list, "sixth");
  Add(list, "seventh");
  EXPECT_TRUE(IsWindowVisible(bar));
  RECT rect;
  SendMessage(list, LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&rect));
  EXPECT_EQ(rect.right, kListWidth - GetSystemMetrics(SM_CXVSCROLL)) << "items leave room for it";
  SCROLLINFO info;
  info.fMask = SIF_ALL;
  ASSERT_TRUE(GetScrollInfo(bar, SB_CTL, &info));
  EXPECT_EQ(info.nMax, 6);
  EXPECT_EQ(info.nPage, 5u);

  SetFocus(list);
  Key(VK_END);
  EXPECT_EQ(SendMessage(list, LB_GETTOPINDEX, 0, 0), 2) << "the caret is scrolled into view";
  EXPECT_EQ(GetScrollPos(bar, SB_CTL), 2);
  Key(VK_HOME);
  EXPECT_EQ(SendMessage(list, LB_GETTOPINDEX, 0, 0), 0);
  EXPECT_EQ(SendMessage(list, LB_SETTOPINDEX, 6, 0), LB_OKAY);
  EXPECT_EQ(SendMessage(list, LB_GETTOPINDEX, 0, 0), 2) << "never past the last page";
  SendMessage(list, WM_VSCROLL, SB_LINEUP, static_cast<LPARAM>(bar));
  EXPECT_EQ(SendMessage(list, LB_GETTOPINDEX, 0, 0), 1);
  SendMessage(list, LB_RESETCONTENT, 0, 0);
  EXPECT_FALSE(IsWindowVisible(bar));
}

TEST_F(ListBoxTest, ItWantsArrowsAndCharactersAndKeepsItsFont) {
  const HWND list = MakeList(0);
  EXPECT_EQ(SendMessage(list, WM_GETDLGCODE, 0, 0), DLGC_WANTARROWS | DLGC_WANTCHARS);
  EXPECT_EQ(SendMessage(list, WM_GETFONT, 0, 0), 0);
  EXPECT_EQ(SendMessage(list, LB_SETITEMHEIGHT, 0, kMaxListItemHeight + 1), LB_ERR);
}

TEST_F(ListBoxTest, ItemsAreDrawnInTheSystemColours) {
  const HWND list = MakeList(0, 3);
  SendMessage(list, LB_SETCURSEL, 1, 0);
  UpdateWindow(parent_);
  ASSERT_TRUE(driver_.RunUntilIdle());
  const POINT inSelected{kListWidth - 4, kItemHeight + kItemHeight / 2};
  const POINT inPlain{kListWidth - 4, kItemHeight / 2};
  const POINT belowItems{kListWidth / 2, kListHeight - 4};
  EXPECT_EQ(Pixel(inSelected), GetSysColor(COLOR_HIGHLIGHT));
  EXPECT_EQ(Pixel(inPlain), GetSysColor(COLOR_WINDOW));
  EXPECT_EQ(Pixel(belowItems), GetSysColor(COLOR_WINDOW));
}

}  // namespace
