#include "platform/list_view.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/input.h"
#include "platform/message_driver.h"
#include "platform/paint.h"
#include "platform/system_info.h"
#include "platform/window.h"
#include "window_test_support.h"

namespace {

using namespace platform;
using ::testing::ElementsAre;

// What the parent heard: the code, then the item (or column) and a key.
struct Heard {
  UINT code;
  int32_t item;
  int32_t extra;  // the key, the column, or the focused item at a key
  bool operator==(const Heard&) const = default;
};

std::vector<Heard> heard;
int dispInfoAsked = 0;

// Item data n has the texts "name<n>" and "place<n>".
LRESULT ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != WM_NOTIFY) return DefWindowProc(window, message, wParam, lParam);
  const NMHDR* header = NotifyHeaderOf(lParam);
  switch (header->code) {
    case LVN_GETDISPINFO: {
      auto* info = reinterpret_cast<NMLVDISPINFOA*>(lParam);
      ++dispInfoAsked;
      const std::string text =
          (info->item.iSubItem == 0 ? "name" : "place") + std::to_string(info->item.lParam);
      std::strncpy(info->item.pszText, text.c_str(), info->item.cchTextMax - 1);
      return 0;
    }
    case LVN_KEYDOWN: {
      const auto* key = reinterpret_cast<const NMLVKEYDOWN*>(lParam);
      const auto focused = static_cast<int32_t>(
          SendMessage(header->hwndFrom, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
      heard.push_back({LVN_KEYDOWN, focused, key->wVKey});
      return 0;
    }
    case LVN_COLUMNCLICK: {
      const auto* click = reinterpret_cast<const NMLISTVIEW*>(lParam);
      heard.push_back({LVN_COLUMNCLICK, click->iItem, click->iSubItem});
      return 0;
    }
    case NM_DBLCLK: {
      const auto* activate = reinterpret_cast<const NMITEMACTIVATE*>(lParam);
      heard.push_back({NM_DBLCLK, activate->iItem, activate->iSubItem});
      return 0;
    }
    default:
      return 0;
  }
}

constexpr char kParentClass[] = "ListViewParent";
constexpr POINT kParentOrigin{50, 50};
constexpr POINT kListOrigin{10, 10};
constexpr int32_t kListWidth = 200;
constexpr int kListId = 2000;
constexpr int32_t kNameWidth = 80;
constexpr int32_t kPlaceWidth = 100;

class ListViewTest : public ::testing::Test {
 protected:
  ListViewTest() {
    ResetWindowMessages();
    heard.clear();
    dispInfoAsked = 0;
    RegisterTestClass(kParentClass, ParentProc);
    parent_ = CreateWindowEx(0, kParentClass, "", WS_VISIBLE, kParentOrigin.x, kParentOrigin.y, 300,
                             300, kNoWindow, 0, nullptr);
  }
  ~ListViewTest() override { ResetWindowMessages(); }

  // A report list with two columns and `rows` full rows under the header.
  HWND MakeReport(int32_t rows, DWORD style = 0) {
    list_ =
        CreateWindowEx(0, kListViewClass, "", WS_CHILD | WS_VISIBLE | LVS_REPORT | style,
                       kListOrigin.x, kListOrigin.y, kListWidth, 100, parent_, kListId, nullptr);
    AddColumn(0, "name", kNameWidth);
    AddColumn(1, "place", kPlaceWidth);
    const RECT header = Bounds(AddItem("probe", 0));
    SendMessage(list_, LVM_DELETEALLITEMS, 0, 0);
    MoveWindow(list_, kListOrigin.x, kListOrigin.y, kListWidth, header.top + rows * header.Height(),
               true);
    return list_;
  }
  void AddColumn(int index, const char* text, int32_t width) const {
    LVCOLUMNA column;
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = const_cast<char*>(text);
    column.cx = width;
    EXPECT_EQ(SendMessage(list_, LVM_INSERTCOLUMN, index, reinterpret_cast<LPARAM>(&column)),
              index);
  }
  int32_t AddItem(const char* text, LPARAM data) const {
    LVITEMA item;
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = Count();
    item.pszText = const_cast<char*>(text);
    item.lParam = data;
    return static_cast<int32_t>(
        SendMessage(list_, LVM_INSERTITEM, 0, reinterpret_cast<LPARAM>(&item)));
  }
  void AddCallbackItems(int count) const {
    for (int i = 0; i < count; ++i) AddItem(LPSTR_TEXTCALLBACK, i);
  }
  int32_t Count() const { return static_cast<int32_t>(SendMessage(list_, LVM_GETITEMCOUNT, 0, 0)); }
  std::string Text(int32_t index, int32_t column) const {
    char buffer[64] = {};
    LVITEMA item;
    item.iSubItem = column;
    item.pszText = buffer;
    item.cchTextMax = sizeof buffer;
    SendMessage(list_, LVM_GETITEMTEXT, index, reinterpret_cast<LPARAM>(&item));
    return buffer;
  }
  LPARAM Data(int32_t index) const {
    LVITEMA item;
    item.mask = LVIF_PARAM;
    item.iItem = index;
    EXPECT_EQ(SendMessage(list_, LVM_GETITEM, 0, reinterpret_cast<LPARAM>(&item)), 1);
    return item.lParam;
  }
  void SetState(int32_t index, UINT state, UINT mask) const {
    LVITEMA item;
    item.state = state;
    item.stateMask = mask;
    SendMessage(list_, LVM_SETITEMSTATE, static_cast<WPARAM>(index),
                reinterpret_cast<LPARAM>(&item));
  }
  UINT State(int32_t index) const {
    return static_cast<UINT>(
        SendMessage(list_, LVM_GETITEMSTATE, index, LVIS_FOCUSED | LVIS_SELECTED));
  }
  int32_t Next(int32_t start, UINT flags) const {
    return static_cast<int32_t>(
        SendMessage(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(start), flags));
  }
  RECT Bounds(int32_t index, int32_t part = LVIR_BOUNDS) const {
    RECT rect{part, 0, 0, 0};
    EXPECT_EQ(SendMessage(list_, LVM_GETITEMRECT, index, reinterpret_cast<LPARAM>(&rect)), 1);
    return rect;
  }
  bool Shows(int32_t index) const {
    RECT client;
    GetClientRect(list_, &client);
    const RECT row = Bounds(index);
    return row.top >= Bounds(index).Height() && row.bottom <= client.bottom;
  }
  void Press(BYTE vk) {
    keybd_event(vk, 0, 0, 0);
    keybd_event(vk, 0, KEYEVENTF_KEYUP, 0);
    ASSERT_TRUE(driver_.RunUntilIdle());
  }
  void Click(POINT inList, int times = 1) {
    mouse_event(MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE, kParentOrigin.x + kListOrigin.x + inList.x,
                kParentOrigin.y + kListOrigin.y + inList.y, 0, 0);
    for (int i = 0; i < times; ++i) {
      mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
      mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
    }
    ASSERT_TRUE(driver_.RunUntilIdle());
  }

  FakeClock clock_;
  ScopedClock scoped_{clock_};
  MessageDriver driver_{clock_};
  HWND parent_ = kNoWindow;
  HWND list_ = kNoWindow;
};

TEST_F(ListViewTest, CallbackTextIsAskedOfTheParentForEveryColumn) {
  MakeReport(5);
  AddCallbackItems(2);
  AddItem("own", 7);
  EXPECT_EQ(Text(1, 0), "name1");
  EXPECT_EQ(Text(1, 1), "place1") << "a column never set follows the item's text";
  EXPECT_EQ(Text(2, 0), "own");
  EXPECT_EQ(Text(2, 1), "") << "an item's own text leaves its other columns empty";
  LVITEMA item;
  item.iSubItem = 1;
  item.pszText = const_cast<char*>("there");
  SendMessage(list_, LVM_SETITEMTEXT, 2, reinterpret_cast<LPARAM>(&item));
  EXPECT_EQ(Text(2, 1), "there");
  const int asked = dispInfoAsked;
  Text(2, 0);
  EXPECT_EQ(dispInfoAsked, asked) << "own texts are not asked for";
  char small[4] = {};
  item.iSubItem = 0;
  item.pszText = small;
  item.cchTextMax = sizeof small;
  EXPECT_EQ(SendMessage(list_, LVM_GETITEMTEXT, 0, reinterpret_cast<LPARAM>(&item)), 3);
  EXPECT_STREQ(small, "nam");
}

TEST_F(ListViewTest, ItemsKeepTheirDataImageAndPlace) {
  MakeReport(5);
  AddItem("a", 10);
  AddItem("c", 30);
  LVITEMA item;
  item.mask = LVIF_TEXT | LVIF_PARAM | LVIF_IMAGE;
  item.iItem = 1;
  item.pszText = const_cast<char*>("b");
  item.lParam = 20;
  item.iImage = I_IMAGECALLBACK;
  EXPECT_EQ(SendMessage(list_, LVM_INSERTITEM, 0, reinterpret_cast<LPARAM>(&item)), 1);
  EXPECT_EQ(Data(1), 20);
  EXPECT_EQ(Data(2), 30);
  LVITEMA got;
  got.mask = LVIF_IMAGE;
  got.iItem = 1;
  SendMessage(list_, LVM_GETITEM, 0, reinterpret_cast<LPARAM>(&got));
  EXPECT_EQ(got.iImage, I_IMAGECALLBACK);
  EXPECT_EQ(SendMessage(list_, LVM_DELETEITEM, 0, 0), 1);
  EXPECT_EQ(Count(), 2);
  EXPECT_EQ(Text(0, 0), "b");
  EXPECT_EQ(SendMessage(list_, LVM_DELETEITEM, 5, 0), 0);
  SendMessage(list_, LVM_DELETEALLITEMS, 0, 0);
  EXPECT_EQ(Count(), 0);
}

int CompareData(LPARAM first, LPARAM second, LPARAM sort) {
  const int order = first < second ? -1 : (first > second ? 1 : 0);
  return sort == 0 ? order : -order;
}

// Equal names compare equal: the sort keeps their order.
int CompareTens(LPARAM first, LPARAM second, LPARAM) {
  return static_cast<int>(first / 10 - second / 10);
}

TEST_F(ListViewTest, SortingOrdersItemsByTheCallbackOverTheirData) {
  MakeReport(5);
  for (const LPARAM data : {3, 1, 4, 15, 9, 2}) AddItem(LPSTR_TEXTCALLBACK, data);
  SetState(2, LVIS_FOCUSED | LVIS_SELECTED, LVIS_FOCUSED | LVIS_SELECTED);
  EXPECT_EQ(SendMessage(list_, LVM_SORTITEMS, 0, reinterpret_cast<LPARAM>(&CompareData)), 1);
  std::vector<LPARAM> order;
  for (int32_t i = 0; i < Count(); ++i) order.push_back(Data(i));
  EXPECT_THAT(order, ElementsAre(1, 2, 3, 4, 9, 15));
  EXPECT_EQ(Next(-1, LVNI_FOCUSED), 3) << "the state goes with its item";
  EXPECT_EQ(Text(0, 1), "place1");
  SendMessage(list_, LVM_SORTITEMS, 1, reinterpret_cast<LPARAM>(&CompareData));
  order.clear();
  for (int32_t i = 0; i < Count(); ++i) order.push_back(Data(i));
  EXPECT_THAT(order, ElementsAre(15, 9, 4, 3, 2, 1));
  SendMessage(list_, LVM_SORTITEMS, 0, reinterpret_cast<LPARAM>(&CompareTens));
  order.clear();
  for (int32_t i = 0; i < Count(); ++i) order.push_back(Data(i));
  EXPECT_THAT(order, ElementsAre(9, 4, 3, 2, 1, 15));
  EXPECT_EQ(SendMessage(list_, LVM_SORTITEMS, 0, 0), 0) << "no callback";
}

// Says "less" whichever way it is asked.
int AlwaysLess(LPARAM, LPARAM, LPARAM) { return -1; }

TEST_F(ListViewTest, AComparisonThatContradictsItselfLosesNoItem) {
  MakeReport(5);
  for (LPARAM data = 0; data < 40; ++data) AddItem(LPSTR_TEXTCALLBACK, data);
  EXPECT_EQ(SendMessage(list_, LVM_SORTITEMS, 0, reinterpret_cast<LPARAM>(&AlwaysLess)), 1);
  std::vector<LPARAM> order;
  for (int32_t i = 0; i < Count(); ++i) order.push_back(Data(i));
  std::sort(order.begin(), order.end());
  for (LPARAM data = 0; data < 40; ++data) EXPECT_EQ(order[data], data);
}

TEST_F(ListViewTest, GetNextItemFindsFocusAndSelection) {
  MakeReport(5);
  AddCallbackItems(6);
  SetState(1, LVIS_SELECTED, LVIS_SELECTED);
  SetState(4, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  EXPECT_EQ(Next(-1, LVNI_SELECTED), 1);
  EXPECT_EQ(Next(1, LVNI_SELECTED), 4);
  EXPECT_EQ(Next(4, LVNI_SELECTED), -1);
  EXPECT_EQ(Next(-1, LVNI_FOCUSED), 4);
  EXPECT_EQ(Next(-1, LVNI_FOCUSED | LVNI_SELECTED), 4);
  EXPECT_EQ(Next(2, LVNI_ALL), 3);
  SetState(0, LVIS_FOCUSED, LVIS_FOCUSED);
  EXPECT_EQ(State(4), LVIS_SELECTED) << "one item has the focus";
  EXPECT_EQ(Next(-1, LVNI_FOCUSED), 0);
  SetState(-1, 0, LVIS_SELECTED);
  EXPECT_EQ(Next(-1, LVNI_SELECTED), -1) << "-1 reaches every item";
}

TEST_F(ListViewTest, SingleSelectionKeepsOneItemSelected) {
  MakeReport(5, LVS_SINGLESEL);
  AddCallbackItems(3);
  SetState(0, LVIS_SELECTED, LVIS_SELECTED);
  SetState(2, LVIS_SELECTED, LVIS_SELECTED);
  EXPECT_EQ(State(0), 0u);
  EXPECT_EQ(State(2), LVIS_SELECTED);
}

struct KeyCase {
  BYTE vk;
  int32_t from;
  int32_t to;
};

class ListViewKeyTest : public ListViewTest, public ::testing::WithParamInterface<KeyCase> {};

// Twenty items, five rows showing, the first row at the top.
TEST_P(ListViewKeyTest, AKeyIsToldFirstThenMovesFocusAndSelection) {
  MakeReport(5);
  AddCallbackItems(20);
  SetState(GetParam().from, LVIS_FOCUSED | LVIS_SELECTED, LVIS_FOCUSED | LVIS_SELECTED);
  SetState(7, LVIS_SELECTED, LVIS_SELECTED);
  SetFocus(list_);
  Press(GetParam().vk);
  EXPECT_THAT(heard, ElementsAre(Heard{LVN_KEYDOWN, GetParam().from, GetParam().vk}));
  EXPECT_EQ(Next(-1, LVNI_FOCUSED), GetParam().to);
  EXPECT_EQ(Next(-1, LVNI_SELECTED), GetParam().to);
  EXPECT_EQ(Next(GetParam().to, LVNI_SELECTED), -1) << "selected alone";
  EXPECT_TRUE(Shows(GetParam().to));
}

INSTANTIATE_TEST_SUITE_P(Keys, ListViewKeyTest,
                         ::testing::Values(KeyCase{VK_DOWN, 2, 3}, KeyCase{VK_UP, 2, 1},
                                           KeyCase{VK_UP, 0, 0}, KeyCase{VK_DOWN, 19, 19},
                                           KeyCase{VK_HOME, 12, 0}, KeyCase{VK_END, 2, 19},
                                           KeyCase{VK_NEXT, 1, 4},   // to the page's bottom
                                           KeyCase{VK_NEXT, 4, 8},   // then a page on
                                           KeyCase{VK_PRIOR, 3, 0},  // to the page's top
                                           KeyCase{VK_PRIOR, 0, 0}));

TEST_F(ListViewTest, OtherKeysAndAltKeysAreOnlyTold) {
  MakeReport(5);
  AddCallbackItems(3);
  SetState(1, LVIS_FOCUSED | LVIS_SELECTED, LVIS_FOCUSED | LVIS_SELECTED);
  SetFocus(list_);
  Press(VK_APPS);
  keybd_event(VK_MENU, 0, 0, 0);
  Press(VK_F1);
  keybd_event(VK_MENU, 0, KEYEVENTF_KEYUP, 0);
  ASSERT_TRUE(driver_.RunUntilIdle());
  EXPECT_THAT(heard, ElementsAre(Heard{LVN_KEYDOWN, 1, VK_APPS}, Heard{LVN_KEYDOWN, 1, VK_MENU},
                                 Heard{LVN_KEYDOWN, 1, VK_F1}));
  EXPECT_EQ(Next(-1, LVNI_FOCUSED), 1);
}

TEST_F(ListViewTest, EnsureVisibleScrollsAnItemIntoFullView) {
  MakeReport(5);
  AddCallbackItems(20);
  const int32_t rowHeight = Bounds(0).Height();
  const int32_t headerHeight = Bounds(0).top;
  EXPECT_TRUE(Shows(4));
  EXPECT_FALSE(Shows(5));
  EXPECT_EQ(SendMessage(list_, LVM_ENSUREVISIBLE, 12, 0), 1);
  EXPECT_TRUE(Shows(12));
  EXPECT_EQ(Bounds(12).top, headerHeight + 4 * rowHeight) << "at the bottom row";
  EXPECT_TRUE(Shows(8));
  EXPECT_FALSE(Shows(7));
  SendMessage(list_, LVM_ENSUREVISIBLE, 10, 0);
  EXPECT_EQ(Bounds(12).top, headerHeight + 4 * rowHeight) << "already in view: no scroll";
  SendMessage(list_, LVM_ENSUREVISIBLE, 2, 0);
  EXPECT_EQ(Bounds(2).top, headerHeight) << "at the top row";
  EXPECT_EQ(SendMessage(list_, LVM_ENSUREVISIBLE, 20, 0), 0);
  // A row half in view is enough when a part is accepted.
  MoveWindow(list_, kListOrigin.x, kListOrigin.y, kListWidth,
             headerHeight + 5 * rowHeight + rowHeight / 2, true);
  SendMessage(list_, LVM_ENSUREVISIBLE, 7, 1);
  EXPECT_EQ(Bounds(2).top, headerHeight);
  SendMessage(list_, LVM_ENSUREVISIBLE, 7, 0);
  EXPECT_EQ(Bounds(3).top, headerHeight);
}

TEST_F(ListViewTest, ItemRectanglesFollowTheColumnsAndTheImageList) {
  MakeReport(5);
  AddCallbackItems(2);
  const RECT row = Bounds(1);
  EXPECT_EQ(row.left, 0);
  EXPECT_EQ(row.right, kNameWidth + kPlaceWidth);
  EXPECT_EQ(Bounds(1, LVIR_LABEL).right, kNameWidth);
  EXPECT_EQ(Bounds(1, LVIR_SELECTBOUNDS).right, kNameWidth);
  SendMessage(list_, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
  EXPECT_EQ(SendMessage(list_, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0), LVS_EX_FULLROWSELECT);
  EXPECT_EQ(Bounds(1, LVIR_SELECTBOUNDS).right, kNameWidth + kPlaceWidth);
  const HIMAGELIST images = ImageList_Create(16, 40, 0, 1, 1);
  EXPECT_EQ(SendMessage(list_, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(images)), 0);
  EXPECT_EQ(SendMessage(list_, LVM_GETIMAGELIST, LVSIL_SMALL, 0),
            reinterpret_cast<LRESULT>(images));
  EXPECT_EQ(Bounds(1).Height(), 40 + 2) << "rows as tall as the images";
  EXPECT_EQ(Bounds(1, LVIR_ICON).Width(), 16);
  EXPECT_EQ(Bounds(1, LVIR_LABEL).left, 16);
  SendMessage(list_, LVM_SETIMAGELIST, LVSIL_SMALL, 0);
  ImageList_Destroy(images);
}

TEST_F(ListViewTest, ColumnWidthsAreSetOrFittedToTheirTexts) {
  MakeReport(5);
  AddItem("a", 0);
  AddItem("a much longer name", 0);
  EXPECT_EQ(SendMessage(list_, LVM_GETCOLUMNWIDTH, 1, 0), kPlaceWidth);
  EXPECT_EQ(SendMessage(list_, LVM_SETCOLUMNWIDTH, 0, MakeLParam(LVSCW_AUTOSIZE, 0)), 1);
  const auto fitted = static_cast<int32_t>(SendMessage(list_, LVM_GETCOLUMNWIDTH, 0, 0));
  EXPECT_GT(fitted, 60);
  SendMessage(list_, LVM_DELETEALLITEMS, 0, 0);
  AddItem("a", 0);
  SendMessage(list_, LVM_SETCOLUMNWIDTH, 0, MakeLParam(LVSCW_AUTOSIZE, 0));
  const auto narrow = static_cast<int32_t>(SendMessage(list_, LVM_GETCOLUMNWIDTH, 0, 0));
  EXPECT_LT(narrow, fitted);
  SendMessage(list_, LVM_SETCOLUMNWIDTH, 0, MakeLParam(LVSCW_AUTOSIZE_USEHEADER, 0));
  EXPECT_GT(SendMessage(list_, LVM_GETCOLUMNWIDTH, 0, 0), narrow) << "\"name\" is wider than \"a\"";
  SendMessage(list_, LVM_SETCOLUMNWIDTH, 1, MakeLParam(33, 0));
  EXPECT_EQ(SendMessage(list_, LVM_GETCOLUMNWIDTH, 1, 0), 33);
  EXPECT_EQ(SendMessage(list_, LVM_SETCOLUMNWIDTH, 2, MakeLParam(33, 0)), 0);
}

TEST_F(ListViewTest, AClickOnTheHeaderTellsTheColumn) {
  MakeReport(5);
  AddCallbackItems(3);
  Click({kNameWidth + 10, 3});
  Click({5, 3});
  Click({kNameWidth + kPlaceWidth + 5, 3});  // past the columns
  EXPECT_THAT(heard, ElementsAre(Heard{LVN_COLUMNCLICK, -1, 1}, Heard{LVN_COLUMNCLICK, -1, 0}));
  EXPECT_EQ(GetFocus(), list_);
}

TEST_F(ListViewTest, AClickSelectsAndADoubleClickIsTold) {
  MakeReport(5);
  AddCallbackItems(3);
  SendMessage(list_, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
  const RECT row = Bounds(2);
  Click({kNameWidth + 5, row.top + 2});
  EXPECT_EQ(Next(-1, LVNI_FOCUSED | LVNI_SELECTED), 2);
  EXPECT_TRUE(heard.empty());
  Click({5, Bounds(1).top + 2}, 2);
  EXPECT_THAT(heard, ElementsAre(Heard{NM_DBLCLK, 1, 0}));
  EXPECT_EQ(Next(-1, LVNI_SELECTED), 1);
  heard.clear();
  Click({5, Bounds(2).bottom + 20}, 2);
  EXPECT_THAT(heard, ElementsAre(Heard{NM_DBLCLK, -1, 0})) << "below the items";
}

TEST_F(ListViewTest, WithoutFullRowSelectOnlyTheFirstColumnSelects) {
  MakeReport(5);
  AddCallbackItems(3);
  Click({kNameWidth + 5, Bounds(2).top + 2});
  EXPECT_EQ(Next(-1, LVNI_SELECTED), -1);
}

TEST_F(ListViewTest, TheHeaderAndTheFocusedSelectionAreDrawnInSystemColours) {
  MakeReport(5);
  AddItem("", 0);
  AddItem("", 1);
  SendMessage(list_, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
  SetState(1, LVIS_FOCUSED | LVIS_SELECTED, LVIS_FOCUSED | LVIS_SELECTED);
  SetFocus(list_);
  RedrawWindow(parent_, nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  const HDC surface = GetWindowSurface(parent_);
  const auto at = [&](int32_t x, int32_t y) {
    return GetPixel(surface, kListOrigin.x + x, kListOrigin.y + y);
  };
  const RECT selected = Bounds(1);
  EXPECT_EQ(at(40, 0), GetSysColor(COLOR_BTNHIGHLIGHT)) << "the header's raised top";
  EXPECT_EQ(at(kNameWidth - 1, 3), GetSysColor(COLOR_BTNSHADOW)) << "a header cell's right";
  EXPECT_EQ(at(kNameWidth + kPlaceWidth + 5, 3), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(at(40, Bounds(0).top + 3), GetSysColor(COLOR_WINDOW));
  EXPECT_EQ(at(kNameWidth + 20, selected.top + 3), GetSysColor(COLOR_HIGHLIGHT));
  EXPECT_EQ(at(0, selected.top + 3), GetSysColor(COLOR_WINDOWTEXT)) << "the focus frame";
  SetFocus(parent_);
  RedrawWindow(parent_, nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  EXPECT_EQ(at(kNameWidth + 20, selected.top + 3), GetSysColor(COLOR_WINDOW))
      << "hidden without the focus";
}

}  // namespace
