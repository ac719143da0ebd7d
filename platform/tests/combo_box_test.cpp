#include "platform/combo_box.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/control_notify.h"
#include "platform/input.h"
#include "platform/list_box.h"
#include "platform/message_driver.h"
#include "platform/paint.h"
#include "platform/system_info.h"
#include "platform/window.h"
#include "window_test_support.h"

namespace {

using namespace platform;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

struct Asked {
  UINT message;
  UINT type;
  UINT id;
  UINT item;
  uintptr_t data;
  bool operator==(const Asked&) const = default;
};

std::vector<UINT> notified;
std::vector<Asked> asked;
std::vector<DRAWITEMSTRUCT> drawn;
constexpr UINT kMeasured = 18;

LRESULT ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      notified.push_back(NotifyCodeOf(wParam));
      return 0;
    case WM_MEASUREITEM: {
      MEASUREITEMSTRUCT* measure = MeasureItemOf(lParam);
      asked.push_back(
          {message, measure->CtlType, measure->CtlID, measure->itemID, measure->itemData});
      measure->itemHeight = kMeasured;
      return 1;
    }
    case WM_DELETEITEM: {
      const DELETEITEMSTRUCT* deleted = DeleteItemOf(lParam);
      asked.push_back(
          {message, deleted->CtlType, deleted->CtlID, deleted->itemID, deleted->itemData});
      return 1;
    }
    case WM_DRAWITEM:
      drawn.push_back(*DrawItemOf(lParam));
      return 1;
    default:
      return DefWindowProc(window, message, wParam, lParam);
  }
}

constexpr char kParentClass[] = "ComboParent";
constexpr POINT kParentOrigin{100, 100};
constexpr POINT kComboOrigin{10, 10};
constexpr int32_t kComboWidth = 120;
constexpr int32_t kComboHeight = 150;
constexpr int32_t kComboId = 9;
constexpr BYTE kF4 = VK_F1 + 3;

class ComboBoxTest : public ::testing::Test {
 protected:
  ComboBoxTest() {
    ResetWindowMessages();
    notified.clear();
    asked.clear();
    drawn.clear();
    RegisterTestClass(kParentClass, ParentProc);
    parent_ = CreateWindowEx(0, kParentClass, "", WS_VISIBLE, kParentOrigin.x, kParentOrigin.y, 300,
                             300, kNoWindow, 0, nullptr);
  }
  ~ComboBoxTest() override { ResetWindowMessages(); }

  HWND MakeCombo(DWORD style, int32_t count = 0) {
    const HWND combo =
        CreateWindowEx(0, kComboBoxClass, "", WS_CHILD | WS_VISIBLE | style, kComboOrigin.x,
                       kComboOrigin.y, kComboWidth, kComboHeight, parent_, kComboId, nullptr);
    for (int32_t i = 0; i < count; ++i) Add(combo, "item " + std::to_string(i));
    SetFocus(combo);
    EXPECT_TRUE(driver_.RunUntilIdle());
    notified.clear();
    return combo;
  }
  static LRESULT Add(HWND combo, const std::string& text) {
    return SendMessage(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
  }
  static std::string TextOf(HWND combo, int32_t index) {
    std::string text(static_cast<size_t>(SendMessage(combo, CB_GETLBTEXTLEN, index, 0)), '\0');
    SendMessage(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text.data()));
    return text;
  }
  static bool Dropped(HWND combo) { return SendMessage(combo, CB_GETDROPPEDSTATE, 0, 0) != 0; }
  void Key(BYTE vk, bool alt = false) {
    if (alt) keybd_event(VK_MENU, 0, 0, 0);
    keybd_event(vk, 0, 0, 0);
    keybd_event(vk, 0, KEYEVENTF_KEYUP, 0);
    if (alt) keybd_event(VK_MENU, 0, KEYEVENTF_KEYUP, 0);
    ASSERT_TRUE(driver_.RunUntilIdle());
  }
  void ClickAt(POINT onScreen) {
    mouse_event(MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE, onScreen.x, onScreen.y, 0, 0);
    mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
    mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
    ASSERT_TRUE(driver_.RunUntilIdle());
  }
  static POINT InCombo(POINT point) {
    return POINT{kParentOrigin.x + kComboOrigin.x + point.x,
                 kParentOrigin.y + kComboOrigin.y + point.y};
  }

  FakeClock clock_;
  ScopedClock scoped_{clock_};
  MessageDriver driver_{clock_};
  HWND parent_ = kNoWindow;
};

TEST_F(ComboBoxTest, TheClassIsTheSystems) {
  WNDCLASS found;
  EXPECT_TRUE(GetClassInfo("combobox", &found));
  EXPECT_FALSE(UnregisterClass(kComboBoxClass));
}

TEST_F(ComboBoxTest, ItemsTheirDataAndTheSelectionShownInTheField) {
  const HWND combo = MakeCombo(CBS_DROPDOWNLIST);
  const std::string kanji = "\x95\xB6\x8E\x9A";  // 文字
  EXPECT_EQ(Add(combo, "b"), 0);
  EXPECT_EQ(SendMessage(combo, CB_INSERTSTRING, 0, reinterpret_cast<LPARAM>(kanji.c_str())), 0);
  EXPECT_EQ(SendMessage(combo, CB_INSERTSTRING, 5, reinterpret_cast<LPARAM>("x")), CB_ERR);
  EXPECT_EQ(SendMessage(combo, CB_GETCOUNT, 0, 0), 2);
  EXPECT_EQ(SendMessage(combo, CB_GETLBTEXTLEN, 0, 0), 4);
  EXPECT_EQ(TextOf(combo, 0), kanji);
  EXPECT_EQ(SendMessage(combo, CB_SETITEMDATA, 1, 160), CB_OKAY);
  EXPECT_EQ(SendMessage(combo, CB_GETITEMDATA, 1, 0), 160);
  EXPECT_EQ(SendMessage(combo, CB_GETITEMDATA, 2, 0), CB_ERR);
  EXPECT_EQ(SendMessage(combo, CB_GETCURSEL, 0, 0), CB_ERR);
  EXPECT_EQ(SendMessage(combo, CB_SETCURSEL, 0, 0), 0);
  EXPECT_EQ(GetWindowText(combo), kanji) << "the field shows the selected item";
  EXPECT_EQ(SendMessage(combo, CB_DELETESTRING, 0, 0), 1);
  EXPECT_EQ(SendMessage(combo, CB_GETCURSEL, 0, 0), CB_ERR);
  EXPECT_EQ(GetWindowText(combo), "");
  SendMessage(combo, CB_RESETCONTENT, 0, 0);
  EXPECT_EQ(SendMessage(combo, CB_GETCOUNT, 0, 0), 0);
  EXPECT_TRUE(notified.empty()) << "messages tell nothing";
}

TEST_F(ComboBoxTest, ADropDownComboIsOnlyItsFieldWhileClosed) {
  const HWND combo = MakeCombo(CBS_DROPDOWNLIST, 3);
  RECT rect;
  GetWindowRect(combo, &rect);
  EXPECT_LT(rect.Height(), kComboHeight);
  EXPECT_EQ(SendMessage(combo, WM_GETDLGCODE, 0, 0), DLGC_WANTARROWS | DLGC_WANTCHARS);
}

struct ClosedKeyCase {
  const char* name;
  int32_t start;
  BYTE vk;
  int32_t want;
  bool changes;
};

class ComboClosedKeyTest : public ComboBoxTest,
                           public ::testing::WithParamInterface<ClosedKeyCase> {};

TEST_P(ComboClosedKeyTest, KeysOfAClosedListMoveTheSelection) {
  const ClosedKeyCase& c = GetParam();
  for (const DWORD kind : {CBS_DROPDOWNLIST, CBS_DROPDOWN, CBS_SIMPLE}) {
    const HWND combo = MakeCombo(kind, 4);
    SendMessage(combo, CB_SETCURSEL, static_cast<WPARAM>(c.start), 0);
    Key(c.vk);
    EXPECT_EQ(SendMessage(combo, CB_GETCURSEL, 0, 0), c.want) << kind;
    EXPECT_FALSE(Dropped(combo));
    std::vector<UINT> want;
    if (c.changes && kind == CBS_SIMPLE) want.push_back(CBN_SELENDOK);
    if (c.changes) want.push_back(CBN_SELCHANGE);
    EXPECT_THAT(notified, ElementsAreArray(want)) << kind;
    DestroyWindow(combo);
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, ComboClosedKeyTest,
                         ::testing::Values(ClosedKeyCase{"Down", 1, VK_DOWN, 2, true},
                                           ClosedKeyCase{"DownAtTheEnd", 3, VK_DOWN, 3, false},
                                           ClosedKeyCase{"DownWithNone", -1, VK_DOWN, 0, true},
                                           ClosedKeyCase{"Up", 2, VK_UP, 1, true},
                                           ClosedKeyCase{"UpAtTheTop", 0, VK_UP, 0, false},
                                           ClosedKeyCase{"Home", 2, VK_HOME, 0, true},
                                           ClosedKeyCase{"End", 0, VK_END, 3, true},
                                           ClosedKeyCase{"OtherKey", 1, VK_RIGHT, 1, false}),
                         [](const ::testing::TestParamInfo<ClosedKeyCase>& info) {
                           return std::string(info.param.name);
                         });

struct OpenCloseCase {
  const char* name;
  BYTE openKey;
  bool openAlt;
  std::vector<BYTE> whileOpen;
  BYTE closeKey;
  bool closeAlt;
  int32_t want;
  std::vector<UINT> told;
};

class ComboOpenCloseTest : public ComboBoxTest,
                           public ::testing::WithParamInterface<OpenCloseCase> {};

TEST_P(ComboOpenCloseTest, TheListDropsDownAndClosesWithItsChoice) {
  const OpenCloseCase& c = GetParam();
  const HWND combo = MakeCombo(CBS_DROPDOWNLIST, 4);
  SendMessage(combo, CB_SETCURSEL, 1, 0);
  Key(c.openKey, c.openAlt);
  ASSERT_TRUE(Dropped(combo));
  EXPECT_EQ(GetFocus(), combo) << "the focus stays in the combo box";
  for (const BYTE vk : c.whileOpen) Key(vk);
  Key(c.closeKey, c.closeAlt);
  EXPECT_FALSE(Dropped(combo));
  EXPECT_EQ(SendMessage(combo, CB_GETCURSEL, 0, 0), c.want);
  EXPECT_THAT(notified, ElementsAreArray(c.told));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ComboOpenCloseTest,
    ::testing::Values(
        OpenCloseCase{"F4ThenEnter",
                      kF4,
                      false,
                      {VK_DOWN},
                      VK_RETURN,
                      false,
                      2,
                      {CBN_DROPDOWN, CBN_SELCHANGE, CBN_SELENDOK, CBN_CLOSEUP}},
        OpenCloseCase{"AltDownThenEsc",
                      VK_DOWN,
                      true,
                      {VK_END},
                      VK_ESCAPE,
                      false,
                      3,
                      {CBN_DROPDOWN, CBN_SELCHANGE, CBN_SELENDCANCEL, CBN_CLOSEUP}},
        OpenCloseCase{
            "F4Twice", kF4, false, {}, kF4, false, 1, {CBN_DROPDOWN, CBN_SELENDOK, CBN_CLOSEUP}},
        OpenCloseCase{"AltDownThenAltUp",
                      VK_DOWN,
                      true,
                      {VK_UP, VK_UP},
                      VK_UP,
                      true,
                      0,
                      {CBN_DROPDOWN, CBN_SELCHANGE, CBN_SELENDOK, CBN_CLOSEUP}}),
    [](const ::testing::TestParamInfo<OpenCloseCase>& info) {
      return std::string(info.param.name);
    });

TEST_F(ComboBoxTest, TheDroppedListIsAPopupBelowTheField) {
  const HWND combo = MakeCombo(CBS_DROPDOWNLIST, 3);
  SendMessage(combo, CB_SHOWDROPDOWN, 1, 0);
  EXPECT_THAT(notified, ElementsAre(CBN_DROPDOWN));
  RECT field;
  GetWindowRect(combo, &field);
  const HWND list = WindowFromPoint(POINT{field.left + 5, field.bottom + 5});
  ASSERT_NE(list, kNoWindow);
  std::string className;
  GetClassName(list, &className);
  EXPECT_EQ(className, "ComboLBox");
  EXPECT_EQ(GetParent(list), combo) << "owned by the combo box";
  EXPECT_EQ(GetWindowLong(list, GWL_STYLE) & static_cast<int32_t>(WS_BORDER), 0)
      << "a frameless popup is placed by us, not decorated by the window manager";
  SendMessage(combo, CB_SHOWDROPDOWN, 0, 0);
  EXPECT_THAT(notified, ElementsAre(CBN_DROPDOWN, CBN_CLOSEUP)) << "no choice is told";
  EXPECT_FALSE(IsWindowVisible(list));
}

TEST_F(ComboBoxTest, ClicksOpenTheListAndPickAnItem) {
  const HWND combo = MakeCombo(CBS_DROPDOWNLIST, 3);
  SetFocus(parent_);
  ASSERT_TRUE(driver_.RunUntilIdle());
  notified.clear();
  ClickAt(InCombo(POINT{5, 5}));
  EXPECT_EQ(GetFocus(), combo);
  ASSERT_TRUE(Dropped(combo));
  RECT field;
  GetWindowRect(combo, &field);
  const int32_t itemHeight = static_cast<int32_t>(SendMessage(combo, CB_GETITEMHEIGHT, 0, 0));
  ClickAt(POINT{field.left + 5, field.bottom + 1 + itemHeight + itemHeight / 2});
  EXPECT_FALSE(Dropped(combo));
  EXPECT_EQ(SendMessage(combo, CB_GETCURSEL, 0, 0), 1);
  EXPECT_EQ(GetFocus(), combo);
  EXPECT_THAT(notified,
              ElementsAre(CBN_SETFOCUS, CBN_DROPDOWN, CBN_SELCHANGE, CBN_SELENDOK, CBN_CLOSEUP));
}

TEST_F(ComboBoxTest, APressOutsideTheOpenListCancelsItOneOnTheFieldAccepts) {
  const HWND combo = MakeCombo(CBS_DROPDOWNLIST, 3);
  SendMessage(combo, CB_SETCURSEL, 0, 0);
  Key(kF4);
  Key(VK_DOWN);
  ClickAt(POINT{kParentOrigin.x + 250, kParentOrigin.y + 250});
  EXPECT_FALSE(Dropped(combo));
  EXPECT_EQ(GetFocus(), combo);
  EXPECT_EQ(GetCapture(), kNoWindow);
  Key(kF4);
  ClickAt(InCombo(POINT{5, 5}));
  EXPECT_FALSE(Dropped(combo));
  EXPECT_THAT(notified, ElementsAre(CBN_DROPDOWN, CBN_SELCHANGE, CBN_SELENDCANCEL, CBN_CLOSEUP,
                                    CBN_DROPDOWN, CBN_SELENDOK, CBN_CLOSEUP));
}

TEST_F(ComboBoxTest, LosingTheFocusCancelsAnOpenList) {
  const HWND combo = MakeCombo(CBS_DROPDOWNLIST, 3);
  Key(kF4);
  SetFocus(parent_);
  ASSERT_TRUE(driver_.RunUntilIdle());
  EXPECT_FALSE(Dropped(combo));
  EXPECT_THAT(notified, ElementsAre(CBN_DROPDOWN, CBN_SELENDCANCEL, CBN_CLOSEUP, CBN_KILLFOCUS));
}

TEST_F(ComboBoxTest, TheExtendedInterfaceOpensOnDownAndIgnoresF4) {
  const HWND combo = MakeCombo(CBS_DROPDOWNLIST, 3);
  EXPECT_EQ(SendMessage(combo, CB_GETEXTENDEDUI, 0, 0), 0);
  SendMessage(combo, CB_SETEXTENDEDUI, 1, 0);
  EXPECT_EQ(SendMessage(combo, CB_GETEXTENDEDUI, 0, 0), 1);
  Key(kF4);
  EXPECT_FALSE(Dropped(combo));
  Key(VK_DOWN);
  EXPECT_TRUE(Dropped(combo));
  EXPECT_EQ(SendMessage(combo, CB_GETCURSEL, 0, 0), CB_ERR) << "opening selects nothing";
}

TEST_F(ComboBoxTest, ASimpleComboNeverDropsDown) {
  const HWND combo = MakeCombo(CBS_SIMPLE, 3);
  Key(kF4);
  Key(VK_DOWN, true);
  SendMessage(combo, CB_SHOWDROPDOWN, 1, 0);
  EXPECT_FALSE(Dropped(combo));
  EXPECT_TRUE(notified.empty());
}

TEST_F(ComboBoxTest, AClickInASimpleCombosListFocusesTheComboAndSelects) {
  const HWND combo = MakeCombo(CBS_SIMPLE, 3);
  SetFocus(parent_);
  ASSERT_TRUE(driver_.RunUntilIdle());
  notified.clear();
  RECT field;
  GetWindowRect(combo, &field);
  const HWND list = WindowFromPoint(POINT{field.left + 5, field.bottom - 5});
  RECT listRect;
  GetWindowRect(list, &listRect);
  const int32_t itemHeight = static_cast<int32_t>(SendMessage(combo, CB_GETITEMHEIGHT, 0, 0));
  ClickAt(POINT{listRect.left + 5, listRect.top + 1 + itemHeight / 2});
  EXPECT_EQ(GetFocus(), combo);
  EXPECT_EQ(SendMessage(combo, CB_GETCURSEL, 0, 0), 0);
  EXPECT_THAT(notified, ElementsAre(CBN_SETFOCUS, CBN_SELENDOK, CBN_SELCHANGE));
}

TEST_F(ComboBoxTest, OwnerDrawnItemsAreTheCombosOwn) {
  const HWND combo = MakeCombo(CBS_DROPDOWNLIST | CBS_OWNERDRAWVARIABLE);
  SendMessage(combo, CB_ADDSTRING, 0, 0x51);
  SendMessage(combo, CB_ADDSTRING, 0, 0x52);
  EXPECT_EQ(SendMessage(combo, CB_GETITEMHEIGHT, 1, 0), static_cast<LRESULT>(kMeasured));
  SendMessage(combo, CB_SETCURSEL, 1, 0);
  drawn.clear();
  UpdateWindow(parent_);
  ASSERT_TRUE(driver_.RunUntilIdle());
  ASSERT_FALSE(drawn.empty());
  const DRAWITEMSTRUCT& field = drawn.back();
  EXPECT_EQ(field.CtlType, ODT_COMBOBOX);
  EXPECT_EQ(field.CtlID, static_cast<UINT>(kComboId));
  EXPECT_EQ(field.hwndItem, combo);
  EXPECT_EQ(field.itemID, 1u);
  EXPECT_EQ(field.itemData, 0x52u);
  EXPECT_EQ(field.itemState, ODS_COMBOBOXEDIT | ODS_SELECTED | ODS_FOCUS);

  drawn.clear();
  Key(kF4);
  std::vector<DRAWITEMSTRUCT> inList;
  for (const DRAWITEMSTRUCT& draw : drawn)
    if ((draw.itemState & ODS_COMBOBOXEDIT) == 0) inList.push_back(draw);
  ASSERT_EQ(inList.size(), 2u) << "the dropped list draws its items through the parent";
  EXPECT_EQ(inList[0].CtlType, ODT_COMBOBOX);
  EXPECT_EQ(inList[0].hwndItem, combo);
  EXPECT_EQ(inList[1].itemState & ODS_SELECTED, ODS_SELECTED);
  Key(VK_ESCAPE);

  SendMessage(combo, CB_DELETESTRING, 0, 0);
  DestroyWindow(combo);
  const UINT id = kComboId;
  EXPECT_THAT(asked, ElementsAre(Asked{WM_MEASUREITEM, ODT_COMBOBOX, id, 0, 0x51},
                                 Asked{WM_MEASUREITEM, ODT_COMBOBOX, id, 1, 0x52},
                                 Asked{WM_DELETEITEM, ODT_COMBOBOX, id, 0, 0x51},
                                 Asked{WM_DELETEITEM, ODT_COMBOBOX, id, 0, 0x52}));
}

TEST_F(ComboBoxTest, TheFieldAndButtonAreDrawnInTheSystemColours) {
  const HWND combo = MakeCombo(CBS_DROPDOWNLIST, 2);
  SendMessage(combo, CB_SETCURSEL, 0, 0);
  SetFocus(parent_);
  UpdateWindow(parent_);
  ASSERT_TRUE(driver_.RunUntilIdle());
  RECT rect;
  GetClientRect(combo, &rect);
  const HDC surface = GetWindowSurface(parent_);
  const int32_t buttonWidth = GetSystemMetrics(SM_CXVSCROLL);
  EXPECT_EQ(GetPixel(surface, kComboOrigin.x + kComboWidth - buttonWidth + 2, kComboOrigin.y + 2),
            GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(GetPixel(surface, kComboOrigin.x + kComboWidth - buttonWidth - 2,
                     kComboOrigin.y + rect.bottom / 2),
            GetSysColor(COLOR_WINDOW));
  EXPECT_EQ(GetPixel(surface, kComboOrigin.x, kComboOrigin.y + rect.bottom / 2),
            GetSysColor(COLOR_WINDOWFRAME));
  SetFocus(combo);
  UpdateWindow(parent_);
  ASSERT_TRUE(driver_.RunUntilIdle());
  EXPECT_EQ(GetPixel(surface, kComboOrigin.x + kComboWidth - buttonWidth - 2,
                     kComboOrigin.y + rect.bottom / 2),
            GetSysColor(COLOR_HIGHLIGHT))
      << "a focused drop-down list highlights its choice";
}

}  // namespace
