#include <gtest/gtest.h>

#include "framework/combo_box.h"
#include "framework/list_box.h"
#include "framework_test_support.h"

namespace framework {
namespace {

using namespace platform;

constexpr RECT kParentRect{0, 0, 300, 300};
constexpr RECT kControlRect{10, 10, 130, 110};

class ListControlsTest : public WindowTest {
 protected:
  ListControlsTest() { EXPECT_TRUE(parent_.CreateEx(0, nullptr, "", 0, kParentRect, nullptr, 0)); }
  ~ListControlsTest() override { parent_.DestroyWindow(); }

  CWnd parent_;
};

TEST_F(ListControlsTest, AListBoxObjectReachesItsItems) {
  CListBox list;
  ASSERT_TRUE(list.Create(WS_CHILD | LBS_EXTENDEDSEL, kControlRect, &parent_, 5));
  EXPECT_EQ(list.AddString("b"), 0);
  EXPECT_EQ(list.InsertString(0, "\x82\xA0"), 0);  // あ
  EXPECT_EQ(list.GetCount(), 2);
  EXPECT_EQ(list.GetText(0), "\x82\xA0");
  EXPECT_EQ(list.GetText(2), "") << "a wrong index has no text";
  EXPECT_EQ(list.SetItemData(1, 42), LB_OKAY);
  EXPECT_EQ(list.GetItemData(1), 42u);
  EXPECT_EQ(list.SetSel(1), LB_OKAY);
  EXPECT_EQ(list.GetSelCount(), 1);
  int32_t selected = -1;
  EXPECT_EQ(list.GetSelItems(1, &selected), 1);
  EXPECT_EQ(selected, 1);
  EXPECT_EQ(list.SetCaretIndex(1), LB_OKAY);
  EXPECT_EQ(list.GetCaretIndex(), 1);
  EXPECT_EQ(list.SetItemHeight(0, 20), LB_OKAY);
  EXPECT_EQ(list.GetItemHeight(0), 20);
  RECT rect;
  EXPECT_EQ(list.GetItemRect(1, &rect), LB_OKAY);
  EXPECT_EQ(rect.top, 20);
  EXPECT_EQ(list.GetTopIndex(), 0);
  EXPECT_EQ(list.DeleteString(0), 1);
  list.ResetContent();
  EXPECT_EQ(list.GetCount(), 0);
}

TEST_F(ListControlsTest, AComboBoxObjectReachesItsItemsAndList) {
  CComboBox combo;
  ASSERT_TRUE(combo.Create(WS_CHILD | CBS_DROPDOWNLIST, kControlRect, &parent_, 6));
  EXPECT_EQ(combo.AddString("10.5"), 0);
  EXPECT_EQ(combo.InsertString(0, "8"), 0);
  EXPECT_EQ(combo.SetItemData(1, 105), CB_OKAY);
  EXPECT_EQ(combo.GetItemData(1), 105u);
  EXPECT_EQ(combo.SetCurSel(1), 1);
  EXPECT_EQ(combo.GetCurSel(), 1);
  EXPECT_EQ(combo.GetLBText(1), "10.5");
  EXPECT_EQ(combo.GetLBTextLen(0), 1);
  EXPECT_EQ(combo.GetCount(), 2);
  EXPECT_FALSE(combo.GetExtendedUI());
  combo.SetExtendedUI();
  EXPECT_TRUE(combo.GetExtendedUI());
  combo.ShowDropDown();
  EXPECT_TRUE(combo.GetDroppedState());
  combo.ShowDropDown(false);
  EXPECT_FALSE(combo.GetDroppedState());
  EXPECT_EQ(combo.SetItemHeight(0, 18), CB_OKAY);
  EXPECT_EQ(combo.GetItemHeight(0), 18);
  EXPECT_EQ(combo.DeleteString(0), 1);
  combo.ResetContent();
  EXPECT_EQ(combo.GetCount(), 0);
}

}  // namespace
}  // namespace framework
