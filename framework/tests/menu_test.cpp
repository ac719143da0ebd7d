#include "framework/menu.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/resource_menus.h"
#include "framework_test_support.h"
#include "platform/clock.h"
#include "platform/input.h"
#include "platform/message_driver.h"

namespace framework {
namespace {

using namespace platform;

constexpr UINT kMenuId = 500;
enum Command : UINT { kOpen = 100, kSave, kFirst, kSecond };

class MenuTest : public WindowTest {
 protected:
  MenuTest() : clockScope_(clock_) {
    ResetInput();
    ResetMenus();
    ResetMenuResources();
  }
  ~MenuTest() override {
    CMenu::DeleteTempMap();
    ResetMenuResources();
    ResetMenus();
    ResetInput();
  }

  FakeClock clock_;
  ScopedClock clockScope_;
  MessageDriver driver_{clock_, 100};
};

void Tap(BYTE vk) {
  keybd_event(vk, 0, 0, 0);
  keybd_event(vk, 0, KEYEVENTF_KEYUP, 0);
}

TEST_F(MenuTest, AnObjectDestroysTheMenuItHoldsAndADetachedOneStays) {
  HMENU kept = kNoMenu;
  HMENU destroyed = kNoMenu;
  {
    CMenu first;
    CMenu second;
    ASSERT_TRUE(first.CreatePopupMenu());
    ASSERT_TRUE(second.CreateMenu());
    EXPECT_FALSE(second.CreatePopupMenu()) << "holds one already";
    kept = first.Detach();
    destroyed = second.m_hMenu;
  }
  EXPECT_TRUE(IsMenu(kept));
  EXPECT_FALSE(IsMenu(destroyed));
  DestroyMenu(kept);
}

TEST_F(MenuTest, AMenuHasOneObjectAndFromHandleAnswersIt) {
  const HMENU menu = CreatePopupMenu();
  CMenu owner;
  ASSERT_TRUE(owner.Attach(menu));
  CMenu other;
  EXPECT_FALSE(other.Attach(menu));
  EXPECT_FALSE(other.Attach(kNoMenu));
  EXPECT_EQ(CMenu::FromHandle(menu), &owner);
  EXPECT_EQ(CMenu::FromHandle(kNoMenu), nullptr);
}

TEST_F(MenuTest, ATemporaryObjectLeavesItsMenu) {
  const HMENU menu = CreatePopupMenu();
  CMenu* temporary = CMenu::FromHandle(menu);
  ASSERT_NE(temporary, nullptr);
  EXPECT_EQ(CMenu::FromHandle(menu), temporary) << "the same while it lasts";
  CMenu::DeleteTempMap();
  EXPECT_TRUE(IsMenu(menu));
  DestroyMenu(menu);
}

TEST_F(MenuTest, ItemsAreChangedAndReadThroughTheObject) {
  CMenu bar;
  ASSERT_TRUE(bar.CreateMenu());
  CMenu popup;
  ASSERT_TRUE(popup.CreatePopupMenu());
  ASSERT_TRUE(popup.AppendMenu(MF_STRING, kOpen, "&Open"));
  ASSERT_TRUE(popup.AppendMenu(MF_SEPARATOR));
  ASSERT_TRUE(popup.AppendMenu(MF_STRING, kSave, "&Save"));
  // The bar owns the popup from now on.
  const HMENU popupHandle = popup.Detach();
  ASSERT_TRUE(bar.AppendMenu(MF_POPUP, popupHandle, "&File"));

  EXPECT_EQ(bar.GetMenuItemCount(), 1);
  EXPECT_EQ(bar.GetMenuString(0, MF_BYPOSITION), "&File");
  CMenu* file = bar.GetSubMenu(0);
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(file->m_hMenu, popupHandle);
  EXPECT_EQ(file->GetMenuItemCount(), 3);
  EXPECT_EQ(file->GetSubMenu(0), nullptr) << "a command opens nothing";
  EXPECT_EQ(bar.GetMenuString(kSave, MF_BYCOMMAND), "&Save") << "found in the popup";
  EXPECT_EQ(bar.GetMenuString(kFirst, MF_BYCOMMAND), "");
  EXPECT_EQ(file->EnableMenuItem(kSave, MF_GRAYED), MF_ENABLED);
  EXPECT_EQ(file->CheckMenuItem(kOpen, MF_CHECKED), MF_UNCHECKED);
  EXPECT_EQ(GetMenuState(popupHandle, kSave, MF_BYCOMMAND) & MF_GRAYED, MF_GRAYED);
  EXPECT_EQ(GetMenuState(popupHandle, kOpen, MF_BYCOMMAND) & MF_CHECKED, MF_CHECKED);
}

TEST_F(MenuTest, AMenuLoadsFromItsResource) {
  ASSERT_TRUE(RegisterMenu(kMenuId, {MenuPopup("&File", {MenuCommand(kFirst, "&First"),
                                                         MenuCommand(kSecond, "&Second")})}));
  CMenu menu;
  ASSERT_TRUE(menu.LoadMenu(kMenuId));
  EXPECT_EQ(menu.GetSubMenu(0)->GetMenuItemCount(), 2);
  CMenu missing;
  EXPECT_FALSE(missing.LoadMenu(kMenuId + 1));
}

TEST_F(MenuTest, AWindowsMenuBarIsReachedThroughItsObject) {
  CWnd window;
  ASSERT_TRUE(window.CreateEx(0, nullptr, "", WS_VISIBLE, kRect, nullptr, 0));
  EXPECT_EQ(window.GetMenu(), nullptr);
  CMenu bar;
  ASSERT_TRUE(bar.CreateMenu());
  ASSERT_TRUE(bar.AppendMenu(MF_STRING, kOpen, "&Open"));
  ASSERT_TRUE(window.SetMenu(&bar));
  EXPECT_EQ(window.GetMenu(), &bar);
  EXPECT_GT(MenuBarHeight(window.m_hWnd), 0);
  bar.EnableMenuItem(kOpen, MF_GRAYED);
  EXPECT_TRUE(window.DrawMenuBar());
  ASSERT_TRUE(window.SetMenu(nullptr)) << "the bar goes back to its object";
  EXPECT_EQ(window.GetMenu(), nullptr);
  EXPECT_EQ(MenuBarHeight(window.m_hWnd), 0);
  EXPECT_TRUE(IsMenu(bar.m_hMenu));
}

struct TrackCase {
  const char* what;
  std::vector<BYTE> keys;
  int chosen;
};

class MenuTrackTest : public MenuTest, public ::testing::WithParamInterface<TrackCase> {};

TEST_P(MenuTrackTest, APopupIsTrackedFromTheKeyboard) {
  CWnd owner;
  ASSERT_TRUE(owner.CreateEx(0, nullptr, "", WS_VISIBLE, kRect, nullptr, 0));
  SetFocus(owner.m_hWnd);
  CMenu popup;
  ASSERT_TRUE(popup.CreatePopupMenu());
  popup.AppendMenu(MF_STRING, kFirst, "&First");
  popup.AppendMenu(MF_STRING, kSecond, "&Second");
  for (const BYTE key : GetParam().keys) Tap(key);
  EXPECT_EQ(popup.TrackPopupMenu(TPM_RETURNCMD, 10, 10, &owner), GetParam().chosen);
}

INSTANTIATE_TEST_SUITE_P(Keys, MenuTrackTest,
                         ::testing::Values(TrackCase{"DownAndEnter",
                                                     {VK_DOWN, VK_DOWN, VK_RETURN},
                                                     static_cast<int>(kSecond)},
                                           TrackCase{"Mnemonic", {'F'}, static_cast<int>(kFirst)},
                                           TrackCase{"Escape", {VK_ESCAPE}, 0}),
                         [](const auto& info) { return std::string(info.param.what); });

}  // namespace
}  // namespace framework
