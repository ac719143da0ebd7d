#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/cstring.h"
#include "framework/resource_accelerators.h"
#include "framework/resource_menus.h"
#include "framework/resource_strings.h"
#include "framework/resource_toolbars.h"
#include "platform/control_notify.h"
#include "platform/input.h"
#include "platform/menu.h"
#include "platform/window.h"

namespace framework {
namespace {

using namespace platform;

// The CP932 bytes of the test texts, written out by hand.
constexpr char kTildeText[] = "\x95\x5C\x81\x60\xB1";                        // 表～ｱ
constexpr char kFileMenu[] = "\x83\x74\x83\x40\x83\x43\x83\x8B(&F)";         // ファイル(&F)
constexpr char kNewItem[] = "\x90\x56\x8B\x4B\x8D\xEC\x90\xAC(&N)\tCtrl+N";  // 新規作成(&N)\tCtrl+N
constexpr char kExitItem[] = "\x8F\x49\x97\xB9(&X)";                         // 終了(&X)
constexpr char kViewMenu[] = "\x95\x5C\x8E\xA6(&V)";                         // 表示(&V)
constexpr char kToolBarItem[] = "\x83\x63\x81\x5B\x83\x8B\x83\x6F\x81\x5B";  // ツールバー
constexpr char kKanaMenu[] = "\xB6\xC0\xB6\xC5\x81\x60";                     // ｶﾀｶﾅ～

constexpr UINT kTildeString = 1001;
constexpr UINT kKanaString = 1002;
constexpr UINT kEmptyString = 1003;
constexpr UINT kMissing = 4242;

constexpr UINT kMainMenu = 144;
constexpr UINT kFileNew = 57600;
constexpr UINT kAppExit = 57665;
constexpr UINT kViewToolBar = 59392;
constexpr UINT kKanaCommand = 33001;

class ResourcesTest : public ::testing::Test {
 protected:
  ResourcesTest() {
    Reset();
    const StringResource strings[] = {
        {kTildeString, "表～ｱ"}, {kKanaString, "ｶﾀｶﾅ"}, {kEmptyString, ""}};
    EXPECT_TRUE(RegisterStrings(strings));
  }
  ~ResourcesTest() override { Reset(); }

  static void Reset() {
    ResetStrings();
    ResetMenuResources();
    ResetAcceleratorResources();
    ResetToolBarResources();
    ResetMenus();
    ResetAccelerators();
    ResetWindowMessages();
    ResetInput();
  }
};

TEST_F(ResourcesTest, StringsAreHeldAsCp932Bytes) {
  ASSERT_NE(FindString(kTildeString), nullptr);
  EXPECT_EQ(*FindString(kTildeString), kTildeText) << "～ is 81 60 and ｱ the single byte B1";
  EXPECT_EQ(*FindString(kKanaString), "\xB6\xC0\xB6\xC5");
  EXPECT_EQ(FindString(kMissing), nullptr);
}

struct LoadCase {
  const char* name;
  UINT id;
  int size;
  int answer;
  std::string buffer;  // what the buffer holds after, up to its NUL
};

class LoadStringTest : public ResourcesTest, public ::testing::WithParamInterface<LoadCase> {};

TEST_P(LoadStringTest, CopiesWholeCharactersAndANul) {
  const LoadCase& c = GetParam();
  char buffer[16];
  std::fill(std::begin(buffer), std::end(buffer), 'x');
  EXPECT_EQ(LoadString(c.id, buffer, c.size), c.answer);
  if (c.size == 0) {
    EXPECT_EQ(buffer[0], 'x') << "a buffer of no size is not written";
    return;
  }
  EXPECT_EQ(std::string(buffer), c.buffer);
  EXPECT_EQ(buffer[c.buffer.size() + 1], 'x') << "nothing is written past the NUL";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LoadStringTest,
    ::testing::Values(LoadCase{"Whole", kTildeString, 16, 5, kTildeText},
                      LoadCase{"JustFits", kTildeString, 6, 5, kTildeText},
                      LoadCase{"LastByteCut", kTildeString, 5, 4, "\x95\x5C\x81\x60"},
                      LoadCase{"HalfATildeIsNotCopied", kTildeString, 4, 2, "\x95\x5C"},
                      LoadCase{"OneCharacter", kTildeString, 3, 2, "\x95\x5C"},
                      LoadCase{"HalfTheFirstIsNothing", kTildeString, 2, 0, ""},
                      LoadCase{"OnlyTheNul", kTildeString, 1, 0, ""},
                      LoadCase{"NoSize", kTildeString, 0, 0, ""},
                      LoadCase{"KanaCutAnywhere", kKanaString, 4, 3, "\xB6\xC0\xB6"},
                      LoadCase{"Empty", kEmptyString, 16, 0, ""},
                      LoadCase{"Missing", kMissing, 16, 0, ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ResourcesTest, CStringLoadsAStringOrEmptiesItself) {
  CString text("old");
  EXPECT_TRUE(text.LoadString(kTildeString));
  EXPECT_EQ(text, kTildeText);
  EXPECT_EQ(text.Find("\x81\x60"), 2);
  EXPECT_FALSE(text.LoadString(kMissing));
  EXPECT_TRUE(text.IsEmpty());
}

TEST_F(ResourcesTest, AStringTableIsRegisteredWholeOrNotAtAll) {
  const StringResource taken[] = {{2001, "新しい"}, {kTildeString, "again"}};
  EXPECT_FALSE(RegisterStrings(taken));
  const StringResource twice[] = {{2001, "a"}, {2001, "b"}};
  EXPECT_FALSE(RegisterStrings(twice));
  const StringResource unmappable[] = {{2001, "a"}, {2002, "😀"}};
  EXPECT_FALSE(RegisterStrings(unmappable)) << "CP932 has no emoji";
  const StringResource missing[] = {{2001, nullptr}};
  EXPECT_FALSE(RegisterStrings(missing));
  EXPECT_EQ(FindString(2001), nullptr) << "nothing of a refused table is kept";
  EXPECT_EQ(*FindString(kTildeString), kTildeText);
}

std::string MenuString(HMENU menu, UINT item, UINT flags) {
  char buffer[64] = {};
  GetMenuString(menu, item, buffer, static_cast<int>(sizeof(buffer)), flags);
  return buffer;
}

std::vector<MenuResourceItem> TestMenu() {
  return {
      MenuPopup("ファイル(&F)", {MenuCommand(kFileNew, "新規作成(&N)\tCtrl+N"), MenuSeparator(),
                                 MenuCommand(kAppExit, "終了(&X)", MF_GRAYED)}),
      MenuPopup("表示(&V)", {MenuCommand(kViewToolBar, "ツールバー", MF_CHECKED),
                             MenuPopup("ｶﾀｶﾅ～", {MenuCommand(kKanaCommand, "ｱ")})}),
  };
}

TEST_F(ResourcesTest, LoadMenuBuildsTheTreeOfTheTable) {
  ASSERT_TRUE(RegisterMenu(kMainMenu, TestMenu()));
  const HMENU bar = LoadMenu(kMainMenu);
  ASSERT_TRUE(IsMenu(bar));
  ASSERT_EQ(GetMenuItemCount(bar), 2);
  EXPECT_EQ(MenuString(bar, 0, MF_BYPOSITION), kFileMenu);
  EXPECT_EQ(MenuString(bar, 1, MF_BYPOSITION), kViewMenu);

  const HMENU file = GetSubMenu(bar, 0);
  ASSERT_EQ(GetMenuItemCount(file), 3);
  EXPECT_EQ(MenuString(file, kFileNew, MF_BYCOMMAND), kNewItem);
  EXPECT_EQ(GetMenuState(file, 1, MF_BYPOSITION) & MF_SEPARATOR, MF_SEPARATOR);
  EXPECT_EQ(GetMenuState(bar, kAppExit, MF_BYCOMMAND) & MF_GRAYED, MF_GRAYED);
  EXPECT_EQ(MenuString(bar, kAppExit, MF_BYCOMMAND), kExitItem);

  const HMENU view = GetSubMenu(bar, 1);
  EXPECT_EQ(GetMenuState(view, kViewToolBar, MF_BYCOMMAND) & MF_CHECKED, MF_CHECKED);
  EXPECT_EQ(MenuString(view, kViewToolBar, MF_BYCOMMAND), kToolBarItem);
  EXPECT_EQ(MenuString(view, 1, MF_BYPOSITION), kKanaMenu);
  const HMENU kana = GetSubMenu(view, 1);
  EXPECT_EQ(GetMenuItemID(kana, 0), kKanaCommand);
  EXPECT_EQ(MenuString(kana, 0, MF_BYPOSITION), "\xB1");
  EXPECT_TRUE(DestroyMenu(bar));
  EXPECT_FALSE(IsMenu(kana)) << "the bar owns its popups";
}

TEST_F(ResourcesTest, EachLoadIsAMenuOfItsOwn) {
  ASSERT_TRUE(RegisterMenu(kMainMenu, TestMenu()));
  const HMENU first = LoadMenu(kMainMenu);
  const HMENU second = LoadMenu(kMainMenu);
  ASSERT_NE(first, second);
  EnableMenuItem(first, kAppExit, MF_ENABLED);
  RemoveMenu(first, 1, MF_BYPOSITION);
  EXPECT_EQ(GetMenuItemCount(second), 2);
  EXPECT_EQ(GetMenuState(second, kAppExit, MF_BYCOMMAND) & MF_GRAYED, MF_GRAYED);
}

TEST_F(ResourcesTest, AMenuTableThatCannotBeHeldIsRefused) {
  EXPECT_EQ(LoadMenu(kMissing), kNoMenu);
  EXPECT_FALSE(RegisterMenu(1, {MenuCommand(kFileNew, nullptr)}));
  EXPECT_FALSE(RegisterMenu(1, {MenuPopup("a", {MenuCommand(kFileNew, "😀")})}));
  EXPECT_FALSE(RegisterMenu(1, {MenuCommand(kFileNew, "a", MF_POPUP)}));
  EXPECT_EQ(LoadMenu(1), kNoMenu);
  ASSERT_TRUE(RegisterMenu(kMainMenu, TestMenu()));
  EXPECT_FALSE(RegisterMenu(kMainMenu, {MenuSeparator()}));
}

constexpr UINT kAccelerators = 144;
const std::vector<ACCEL> kTestKeys = {
    {FVIRTKEY | FCONTROL, 'N', static_cast<uint16_t>(kFileNew)},
    {FVIRTKEY | FALT, 'X', static_cast<uint16_t>(kAppExit)},
};

TEST_F(ResourcesTest, LoadAcceleratorsMakesATableThatTranslatesKeys) {
  ASSERT_TRUE(RegisterAccelerators(kAccelerators, kTestKeys));
  std::vector<UINT> commands;
  const HWND window = CreateWindowHandle([&commands](HWND, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_COMMAND) commands.push_back(CommandIdOf(wParam));
    return LRESULT{0};
  });
  SetFocus(window);
  const HACCEL table = LoadAccelerators(kAccelerators);
  ASSERT_NE(table, kNoAccelerators);
  keybd_event(VK_CONTROL, 0, 0, 0);
  keybd_event('N', 0, 0, 0);
  keybd_event('N', 0, KEYEVENTF_KEYUP, 0);
  keybd_event(VK_CONTROL, 0, KEYEVENTF_KEYUP, 0);
  MSG msg;
  int translated = 0;
  while (PeekMessage(&msg, kNoWindow, 0, 0, PM_REMOVE)) {
    translated += TranslateAccelerator(window, table, &msg);
  }
  EXPECT_EQ(translated, 1);
  EXPECT_EQ(commands, std::vector<UINT>{kFileNew});
  EXPECT_TRUE(DestroyAcceleratorTable(table));
  const HACCEL again = LoadAccelerators(kAccelerators);
  EXPECT_NE(again, kNoAccelerators) << "the entries stay registered";
  DestroyAcceleratorTable(again);
}

TEST_F(ResourcesTest, AcceleratorResourcesNeedEntriesAndAFreeId) {
  EXPECT_EQ(LoadAccelerators(kMissing), kNoAccelerators);
  EXPECT_FALSE(RegisterAccelerators(1, {}));
  ASSERT_TRUE(RegisterAccelerators(kAccelerators, kTestKeys));
  EXPECT_FALSE(RegisterAccelerators(kAccelerators, kTestKeys));
}

TEST_F(ResourcesTest, ToolBarsListTheirButtonsWithSeparators) {
  constexpr UINT kToolBar = 160;
  ASSERT_TRUE(RegisterToolBar(kToolBar, {{kFileNew, ID_SEPARATOR, kAppExit}}));
  const ToolBarResource* toolBar = FindToolBar(kToolBar);
  ASSERT_NE(toolBar, nullptr);
  EXPECT_EQ(toolBar->buttons, (std::vector<UINT>{kFileNew, ID_SEPARATOR, kAppExit}));
  EXPECT_EQ(FindToolBar(kMissing), nullptr);
  EXPECT_FALSE(RegisterToolBar(kToolBar, {{kFileNew}}));
  EXPECT_FALSE(RegisterToolBar(1, {}));
}

}  // namespace
}  // namespace framework
