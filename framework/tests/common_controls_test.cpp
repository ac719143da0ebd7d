// The objects of the list view, up-down and status bar controls, made as
// children of a plain window.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "framework/list_ctrl.h"
#include "framework/spin_button_ctrl.h"
#include "framework/status_bar_ctrl.h"
#include "framework/wnd.h"
#include "framework_test_support.h"

namespace framework {
namespace {

using namespace platform;

class CommonControlTest : public WindowTest {
 protected:
  CommonControlTest() { EXPECT_TRUE(parent_.CreateEx(0, nullptr, "", 0, kRect, nullptr, 0)); }
  CWnd parent_;
};

TEST_F(CommonControlTest, TheStatusBarObjectWritesItsSimpleTextAndParts) {
  CStatusBarCtrl bar;
  ASSERT_TRUE(bar.Create(WS_CHILD | WS_VISIBLE, RECT{}, &parent_, 2122));
  std::string className;
  ASSERT_TRUE(GetClassName(bar.m_hWnd, &className));
  EXPECT_EQ(className, kStatusBarClass);
  bar.SetSimple(true);
  EXPECT_TRUE(bar.SetText("\x83\x76\x83\x8a\x83\x93\x83\x5e", SB_SIMPLEID));
  EXPECT_EQ(bar.GetText(SB_SIMPLEID), "\x83\x76\x83\x8a\x83\x93\x83\x5e");
  EXPECT_EQ(bar.GetTextLength(SB_SIMPLEID), 8);
  const std::vector<int32_t> rights{40, -1};
  EXPECT_TRUE(bar.SetParts(2, rights.data()));
  std::vector<int32_t> got(2);
  EXPECT_EQ(bar.GetParts(2, got.data()), 2);
  EXPECT_EQ(got, rights);
  EXPECT_TRUE(bar.SetText("b", 1));
  EXPECT_EQ(bar.GetText(1), "b");
  EXPECT_EQ(bar.GetText(0), "");
}

TEST_F(CommonControlTest, TheSpinButtonObjectSetsItsRangePositionAndBuddy) {
  CWnd buddy;
  ASSERT_TRUE(buddy.CreateEx(0, nullptr, "", WS_CHILD, RECT{0, 0, 50, 20}, &parent_, 2056));
  CSpinButtonCtrl spin;
  ASSERT_TRUE(spin.Create(WS_CHILD | UDS_SETBUDDYINT, RECT{50, 0, 66, 20}, &parent_, 2057));
  EXPECT_EQ(spin.SetBuddy(&buddy), nullptr);
  EXPECT_EQ(spin.GetBuddy(), &buddy);
  spin.SetRange(100, 1);
  int32_t lower = 0;
  int32_t upper = 0;
  spin.GetRange(lower, upper);
  EXPECT_EQ(lower, 100);
  EXPECT_EQ(upper, 1);
  EXPECT_EQ(spin.SetPos(30), 1);
  EXPECT_EQ(buddy.GetWindowText(), "30");
  EXPECT_EQ(spin.GetPos(), 30);
  buddy.SetWindowText("x");
  EXPECT_EQ(spin.GetPos() & 0xFFFF, 30);
  EXPECT_NE(spin.GetPos() >> 16, 0) << "the error flag";
}

int ByText(LPARAM first, LPARAM second, LPARAM descending) {
  const int order = std::string(reinterpret_cast<const char*>(first))
                        .compare(reinterpret_cast<const char*>(second));
  return descending != 0 ? -order : order;
}

TEST_F(CommonControlTest, TheListObjectFillsSortsAndReadsItsItems) {
  CListCtrl list;
  ASSERT_TRUE(
      list.Create(WS_CHILD | WS_VISIBLE | LVS_REPORT, RECT{0, 0, 200, 100}, &parent_, 2000));
  EXPECT_EQ(list.SetExtendedStyle(LVS_EX_FULLROWSELECT), 0u);
  EXPECT_EQ(list.GetExtendedStyle(), LVS_EX_FULLROWSELECT);
  EXPECT_EQ(list.InsertColumn(0, "name", LVCFMT_LEFT, 70), 0);
  EXPECT_EQ(list.InsertColumn(1, "place"), 1);
  EXPECT_EQ(list.GetColumnWidth(0), 70);
  EXPECT_TRUE(list.SetColumnWidth(1, 130));
  EXPECT_EQ(list.GetColumnWidth(1), 130);
  static const char* const kNames[] = {"pear", "apple", "fig"};
  for (const char* name : kNames) {
    const int index = list.InsertItem(list.GetItemCount(), name);
    EXPECT_TRUE(list.SetItemData(index, reinterpret_cast<LPARAM>(name)));
    EXPECT_TRUE(list.SetItemText(index, 1, "here"));
  }
  EXPECT_TRUE(list.SetItemState(0, LVIS_FOCUSED | LVIS_SELECTED, LVIS_FOCUSED | LVIS_SELECTED));
  EXPECT_TRUE(list.SortItems(&ByText, 0));
  EXPECT_EQ(list.GetItemText(0, 0), "apple");
  EXPECT_EQ(list.GetItemText(2, 0), "pear");
  EXPECT_EQ(list.GetItemText(2, 1), "here");
  EXPECT_EQ(list.GetNextItem(-1, LVNI_FOCUSED), 2);
  EXPECT_EQ(list.GetItemState(2, LVIS_SELECTED), LVIS_SELECTED);
  EXPECT_EQ(list.GetItemData(1), reinterpret_cast<LPARAM>(kNames[2]));
  EXPECT_TRUE(list.EnsureVisible(2, false));
  RECT rect;
  EXPECT_TRUE(list.GetItemRect(1, &rect, LVIR_BOUNDS));
  EXPECT_EQ(rect.right, 200);
  const std::string longText(600, 'x');
  list.SetItemText(0, 0, longText.c_str());
  EXPECT_EQ(list.GetItemText(0, 0), longText.c_str());
  const HIMAGELIST images = ImageList_Create(16, 16, 0, 1, 1);
  EXPECT_EQ(list.SetImageList(images, LVSIL_SMALL), nullptr);
  EXPECT_EQ(list.GetImageList(LVSIL_SMALL), images);
  list.SetImageList(nullptr, LVSIL_SMALL);
  ImageList_Destroy(images);
  EXPECT_TRUE(list.DeleteItem(0));
  EXPECT_TRUE(list.DeleteAllItems());
  EXPECT_EQ(list.GetItemCount(), 0);
}

}  // namespace
}  // namespace framework
