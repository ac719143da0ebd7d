#include "platform/menu.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace platform;

constexpr UINT kOpen = 100;
constexpr UINT kSave = 101;
constexpr UINT kCut = 200;
constexpr UINT kPaste = 201;
constexpr UINT kMissing = 999;

// "ファイル(&F)" and "表示(&V)" in CP932: the trail bytes of ソ (83 5C) and
// 表 (95 5C) are a backslash, never a separator.
constexpr char kFileText[] = "\x83\x74\x83\x40\x83\x43\x83\x8B(&F)";
constexpr char kViewText[] = "\x95\x5C\x8E\xA6(&V)";

class MenuTest : public ::testing::Test {
 protected:
  MenuTest() {
    ResetMenus();
    bar_ = CreateMenu();
    file_ = CreatePopupMenu();
    edit_ = CreatePopupMenu();
    AppendMenu(file_, MF_STRING, kOpen, "&Open\tCtrl+O");
    AppendMenu(file_, MF_SEPARATOR, 0, nullptr);
    AppendMenu(file_, MF_STRING | MF_GRAYED, kSave, "&Save");
    AppendMenu(edit_, MF_STRING | MF_CHECKED, kCut, "Cu&t");
    AppendMenu(edit_, MF_STRING, kPaste, "&Paste");
    AppendMenu(bar_, MF_POPUP, file_, kFileText);
    AppendMenu(bar_, MF_POPUP, edit_, kViewText);
  }
  ~MenuTest() override { ResetMenus(); }

  static std::string StringOf(HMENU menu, UINT item, UINT flags) {
    char buffer[64];
    const int length = GetMenuString(menu, item, buffer, sizeof buffer, flags);
    return std::string(buffer, static_cast<size_t>(length));
  }

  HMENU bar_ = kNoMenu;
  HMENU file_ = kNoMenu;
  HMENU edit_ = kNoMenu;
};

TEST_F(MenuTest, ItemsKeepTheirOrderIdsAndPopups) {
  EXPECT_EQ(GetMenuItemCount(bar_), 2);
  EXPECT_EQ(GetMenuItemCount(file_), 3);
  EXPECT_EQ(GetSubMenu(bar_, 0), file_);
  EXPECT_EQ(GetSubMenu(bar_, 1), edit_);
  EXPECT_EQ(GetSubMenu(bar_, 2), kNoMenu);
  EXPECT_EQ(GetSubMenu(file_, 0), kNoMenu);
  EXPECT_EQ(GetMenuItemID(file_, 0), kOpen);
  EXPECT_EQ(GetMenuItemID(file_, 1), 0u) << "a separator";
  EXPECT_EQ(GetMenuItemID(bar_, 0), kNoMenuItem) << "a popup item";
  EXPECT_EQ(GetMenuItemID(file_, 3), kNoMenuItem);
  EXPECT_EQ(GetMenuItemCount(kNoMenu), -1);
}

struct StringCase {
  const char* name;
  bool fromBar;
  UINT item;
  UINT flags;
  const char* expected;
};

class MenuStringTest : public MenuTest, public ::testing::WithParamInterface<StringCase> {};

TEST_P(MenuStringTest, AnswersTheTextByCommandOrPosition) {
  const StringCase& c = GetParam();
  EXPECT_EQ(StringOf(c.fromBar ? bar_ : file_, c.item, c.flags), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MenuStringTest,
    ::testing::Values(StringCase{"ByCommand", false, kOpen, MF_BYCOMMAND, "&Open\tCtrl+O"},
                      StringCase{"ByPosition", false, 2, MF_BYPOSITION, "&Save"},
                      StringCase{"ByCommandInAPopup", true, kPaste, MF_BYCOMMAND, "&Paste"},
                      StringCase{"PopupItemByPosition", true, 1, MF_BYPOSITION, kViewText},
                      StringCase{"Separator", false, 1, MF_BYPOSITION, ""},
                      StringCase{"NoSuchCommand", true, kMissing, MF_BYCOMMAND, ""},
                      StringCase{"PastTheEnd", false, 3, MF_BYPOSITION, ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(MenuTest, GetMenuStringCutsToTheBufferAndMeasuresWithoutOne) {
  char buffer[5];
  EXPECT_EQ(GetMenuString(file_, kOpen, buffer, sizeof buffer, MF_BYCOMMAND), 4);
  EXPECT_STREQ(buffer, "&Ope");
  EXPECT_EQ(GetMenuString(file_, kOpen, nullptr, 0, MF_BYCOMMAND), 12);
}

TEST_F(MenuTest, EnableAndCheckAnswerThePreviousStateAndSearchPopups) {
  EXPECT_EQ(EnableMenuItem(bar_, kSave, MF_ENABLED), MF_GRAYED);
  EXPECT_EQ(EnableMenuItem(bar_, kSave, MF_DISABLED), MF_ENABLED);
  EXPECT_EQ(EnableMenuItem(file_, 2, MF_BYPOSITION | MF_GRAYED), MF_DISABLED);
  EXPECT_EQ(GetMenuState(file_, kSave, MF_BYCOMMAND), MF_GRAYED);
  EXPECT_EQ(CheckMenuItem(bar_, kCut, MF_UNCHECKED), MF_CHECKED);
  EXPECT_EQ(CheckMenuItem(bar_, kCut, MF_CHECKED), MF_UNCHECKED);
  EXPECT_EQ(GetMenuState(edit_, 0, MF_BYPOSITION), MF_CHECKED);
  EXPECT_EQ(EnableMenuItem(bar_, kMissing, MF_GRAYED), kNoMenuItem);
  EXPECT_EQ(CheckMenuItem(bar_, kMissing, MF_CHECKED), kNoMenuItem);
  EXPECT_EQ(GetMenuState(bar_, kMissing, MF_BYCOMMAND), kNoMenuItem);
}

TEST_F(MenuTest, APopupItemsStateCountsItsItemsInTheHighByte) {
  EXPECT_EQ(GetMenuState(bar_, 0, MF_BYPOSITION), MF_POPUP | (3u << 8));
  EXPECT_EQ(GetMenuState(file_, 1, MF_BYPOSITION), MF_SEPARATOR);
  EXPECT_EQ(EnableMenuItem(bar_, 1, MF_BYPOSITION | MF_GRAYED), MF_ENABLED);
  EXPECT_EQ(GetMenuState(bar_, 1, MF_BYPOSITION), MF_POPUP | MF_GRAYED | (2u << 8));
}

TEST_F(MenuTest, InsertGoesBeforeTheNamedItem) {
  ASSERT_TRUE(InsertMenu(file_, kSave, MF_BYCOMMAND | MF_STRING, 102, "Save &As"));
  ASSERT_TRUE(InsertMenu(file_, 0, MF_BYPOSITION | MF_STRING, 103, "&New"));
  ASSERT_TRUE(InsertMenu(file_, kMenuEnd, MF_BYPOSITION | MF_STRING, 104, "E&xit"));
  EXPECT_FALSE(InsertMenu(file_, kMissing, MF_BYCOMMAND | MF_STRING, 105, "x"));
  ASSERT_EQ(GetMenuItemCount(file_), 6);
  const UINT expected[] = {103, kOpen, 0, 102, kSave, 104};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(GetMenuItemID(file_, i), expected[i]) << i;
}

TEST_F(MenuTest, ModifyReplacesTheItemInPlace) {
  ASSERT_TRUE(ModifyMenu(file_, kOpen, MF_BYCOMMAND | MF_STRING | MF_CHECKED, kOpen, "&Reopen"));
  EXPECT_EQ(StringOf(file_, 0, MF_BYPOSITION), "&Reopen");
  EXPECT_EQ(GetMenuState(file_, kOpen, MF_BYCOMMAND), MF_CHECKED);
  EXPECT_FALSE(ModifyMenu(file_, kMissing, MF_BYCOMMAND, kMissing, "x"));
}

TEST_F(MenuTest, RemoveKeepsThePopupAndDeleteDestroysIt) {
  ASSERT_TRUE(RemoveMenu(bar_, 0, MF_BYPOSITION));
  EXPECT_TRUE(IsMenu(file_));
  EXPECT_EQ(GetSubMenu(bar_, 0), edit_);
  ASSERT_TRUE(DeleteMenu(bar_, 0, MF_BYPOSITION));
  EXPECT_FALSE(IsMenu(edit_));
  EXPECT_EQ(GetMenuItemCount(bar_), 0);
  ASSERT_TRUE(DeleteMenu(file_, kOpen, MF_BYCOMMAND));
  EXPECT_EQ(GetMenuItemID(file_, 0), 0u);
  EXPECT_FALSE(RemoveMenu(file_, kMissing, MF_BYCOMMAND));
}

TEST_F(MenuTest, DestroyingAMenuDestroysItsPopups) {
  ASSERT_TRUE(DestroyMenu(bar_));
  EXPECT_FALSE(IsMenu(bar_));
  EXPECT_FALSE(IsMenu(file_));
  EXPECT_FALSE(IsMenu(edit_));
  EXPECT_FALSE(DestroyMenu(bar_));
}

TEST_F(MenuTest, APopupThatIsNoMenuIsRefused) {
  EXPECT_FALSE(AppendMenu(bar_, MF_POPUP, kMissing, "x"));
  EXPECT_FALSE(AppendMenu(kNoMenu, MF_STRING, kOpen, "x"));
  EXPECT_EQ(GetMenuItemCount(bar_), 2);
}

TEST_F(MenuTest, APopupOpeningItsOwnMenuEndsTheSearchAndTheDestruction) {
  ASSERT_TRUE(AppendMenu(file_, MF_POPUP, bar_, "loop"));
  EXPECT_EQ(GetMenuState(bar_, kMissing, MF_BYCOMMAND), kNoMenuItem);
  EXPECT_TRUE(DestroyMenu(bar_));
  EXPECT_FALSE(IsMenu(file_));
}

}  // namespace
