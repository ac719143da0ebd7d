#include "platform/menu_window.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/caller_assert.h"
#include "platform/clock.h"
#include "platform/control_notify.h"
#include "platform/gdi.h"
#include "platform/input.h"
#include "platform/message_driver.h"
#include "platform/paint.h"
#include "platform/system_info.h"
#include "platform/window.h"
#include "window_test_support.h"

namespace {

using namespace platform;
using ::testing::Each;
using ::testing::ElementsAre;

constexpr UINT kOpen = 100;
constexpr UINT kSave = 101;
constexpr UINT kPrint = 102;
constexpr UINT kAmpersand = 103;
constexpr UINT kMore = 104;
constexpr UINT kFirst = 300;
constexpr UINT kSecond = 301;
constexpr UINT kNew = 400;
constexpr UINT kQuit = 401;
constexpr UINT kCut = 500;

// "印刷(&P)": the mnemonic follows double-byte text.
constexpr char kPrintText[] = "\x88\xF3\x8D\xFC(&P)";
// "ファイル(&F)" and "編集(&E)"; the trail byte of 集 is 'W'.
constexpr char kFileText[] = "\x83\x74\x83\x40\x83\x43\x83\x8B(&F)";
constexpr char kEditText[] = "\x95\xD2\x8F\x57(&E)";
// The popup's position in the menu the tests track.
constexpr int kRecentPosition = 3;
constexpr POINT kPopupAt{100, 100};

struct Selected {
  UINT item;
  UINT flags;
  HMENU menu;
  bool operator==(const Selected&) const = default;
};
struct Opened {
  HMENU menu;
  int position;
  bool operator==(const Opened&) const = default;
};

std::vector<Selected> selected;
std::vector<Opened> opened;
std::vector<HMENU> initMenus;
std::vector<WPARAM> commands;
std::vector<UINT> keysSeen;
// Item the owner greys when a popup opens; 0 for none.
UINT greyOnInit = 0;
// Whether the owner runs its queue when a submenu opens.
bool pumpOnInit = false;

void RunQueue() {
  MSG msg;
  while (PeekMessage(&msg, kNoWindow, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessage(&msg);
  }
}

LRESULT OwnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_MENUSELECT:
      selected.push_back({CommandIdOf(wParam), NotifyCodeOf(wParam), static_cast<HMENU>(lParam)});
      return 0;
    case WM_INITMENUPOPUP:
      opened.push_back({static_cast<HMENU>(wParam), LowWord(lParam)});
      if (greyOnInit != 0) EnableMenuItem(static_cast<HMENU>(wParam), greyOnInit, MF_GRAYED);
      if (pumpOnInit && LowWord(lParam) != 0) RunQueue();
      return 0;
    case WM_INITMENU:
      initMenus.push_back(static_cast<HMENU>(wParam));
      return 0;
    case WM_COMMAND:
      commands.push_back(wParam);
      return 0;
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CHAR:
      keysSeen.push_back(message);
      return 0;
    default:
      return DefWindowProc(window, message, wParam, lParam);
  }
}

constexpr char kOwnerClass[] = "MenuOwner";

void Tap(BYTE vk) {
  keybd_event(vk, 0, 0, 0);
  keybd_event(vk, 0, KEYEVENTF_KEYUP, 0);
}

void TapAll(const std::vector<BYTE>& keys) {
  for (const BYTE vk : keys) Tap(vk);
}

void Click(POINT at) {
  mouse_event(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, at.x, at.y, 0, 0);
  mouse_event(MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
}

// The topmost top-level window of the class; 0 for none.
HWND TopWindowOfClass(const char* name) {
  for (HWND w = GetTopWindow(kNoWindow); w != kNoWindow; w = GetWindow(w, GW_HWNDNEXT)) {
    std::string className;
    if (GetClassName(w, &className) && className == name) return w;
  }
  return kNoWindow;
}

class MenuWindowTest : public ::testing::Test {
 protected:
  MenuWindowTest() {
    ResetWindowMessages();
    ResetInput();
    ResetMenus();
    selected.clear();
    opened.clear();
    initMenus.clear();
    commands.clear();
    keysSeen.clear();
    greyOnInit = 0;
    pumpOnInit = false;
    RegisterTestClass(kOwnerClass, OwnerProc);
    owner_ = CreateWindowEx(0, kOwnerClass, "", WS_VISIBLE, 0, 0, 400, 300, kNoWindow, 0, nullptr);
    SetFocus(owner_);
    popup_ = CreatePopupMenu();
    recent_ = CreatePopupMenu();
    AppendMenu(recent_, MF_STRING, kFirst, "&First");
    AppendMenu(recent_, MF_STRING, kSecond, "&Second");
    AppendMenu(popup_, MF_STRING, kOpen, "&Open\tCtrl+O");
    AppendMenu(popup_, MF_SEPARATOR, 0, nullptr);
    AppendMenu(popup_, MF_STRING | MF_GRAYED, kSave, "&Save");
    AppendMenu(popup_, MF_POPUP, recent_, "&Recent");
    AppendMenu(popup_, MF_STRING | MF_CHECKED, kPrint, kPrintText);
    AppendMenu(popup_, MF_STRING, kAmpersand, "&&Tab");
    const HMENU more = CreatePopupMenu();
    AppendMenu(more, MF_STRING, kMore, "&Any");
    AppendMenu(popup_, MF_POPUP | MF_GRAYED, more, "&More");
  }
  ~MenuWindowTest() override {
    ResetWindowMessages();
    ResetInput();
    ResetMenus();
  }

  int Track(const std::vector<BYTE>& keys, UINT flags = TPM_RETURNCMD) {
    TapAll(keys);
    return TrackPopupMenu(popup_, flags, kPopupAt.x, kPopupAt.y, 0, owner_, nullptr);
  }

  FakeClock clock_;
  ScopedClock scoped_{clock_};
  MessageDriver driver_{clock_, 100};
  HWND owner_ = kNoWindow;
  HMENU popup_ = kNoMenu;
  HMENU recent_ = kNoMenu;
};

struct KeyCase {
  const char* what;
  std::vector<BYTE> keys;
  int chosen;
};

TEST_F(MenuWindowTest, KeyboardTrackingAnswersTheChosenCommand) {
  const KeyCase cases[] = {
      {"Down from no highlight starts at the first item", {VK_DOWN, VK_RETURN}, kOpen},
      {"Up from no highlight starts at the last item", {VK_UP, VK_UP, VK_RETURN}, kAmpersand},
      {"Down wraps from the last item", {VK_UP, VK_DOWN, VK_RETURN}, kOpen},
      {"Up skips the separator", {VK_DOWN, VK_DOWN, VK_UP, VK_RETURN}, kOpen},
      {"Esc on the popup itself", {VK_DOWN, VK_ESCAPE}, 0},
      {"a greyed item is landed on, never chosen", {VK_DOWN, VK_DOWN, VK_RETURN, VK_ESCAPE}, 0},
      {"a greyed submenu does not open", {VK_UP, VK_RIGHT, VK_RETURN, 'A', VK_ESCAPE}, 0},
      {"Right opens the submenu at its first item",
       {VK_DOWN, VK_DOWN, VK_DOWN, VK_RIGHT, VK_DOWN, VK_RETURN},
       kSecond},
      {"Enter opens the submenu", {VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN, VK_RETURN}, kFirst},
      {"Left closes the submenu",
       {VK_DOWN, VK_DOWN, VK_DOWN, VK_RIGHT, VK_LEFT, VK_DOWN, VK_RETURN},
       kPrint},
      {"Esc closes the submenu only",
       {VK_DOWN, VK_DOWN, VK_DOWN, VK_RIGHT, VK_ESCAPE, VK_DOWN, VK_RETURN},
       kPrint},
      {"a mnemonic chooses", {'O'}, kOpen},
      {"a mnemonic after double-byte text chooses", {'P'}, kPrint},
      {"a greyed item's mnemonic does not choose", {'S', VK_ESCAPE}, 0},
      {"\"&&\" is a literal ampersand, no mnemonic", {'T', VK_ESCAPE}, 0},
      {"a mnemonic opens a submenu, another chooses in it", {'R', 'S'}, kSecond},
  };
  for (const KeyCase& c : cases) {
    EXPECT_EQ(Track(c.keys), c.chosen) << c.what;
    EXPECT_FALSE(driver_.starved()) << c.what;
    EXPECT_EQ(TopWindowOfClass(kPopupMenuClass), kNoWindow) << c.what << ": popups stay up";
  }
}

TEST_F(MenuWindowTest, AMnemonicSharedBySeveralItemsMovesAmongThem) {
  constexpr UINT kAlpha = 600;
  constexpr UINT kApple = 601;
  const HMENU shared = CreatePopupMenu();
  AppendMenu(shared, MF_STRING, kAlpha, "&Alpha");
  AppendMenu(shared, MF_SEPARATOR, 0, nullptr);
  AppendMenu(shared, MF_STRING, kApple, "&Apple");
  AppendMenu(shared, MF_STRING, kOpen, "&Bravo");
  const struct {
    std::vector<BYTE> keys;
    int chosen;
  } cases[] = {
      {{'A', VK_RETURN}, kAlpha},
      {{'A', 'A', VK_RETURN}, kApple},
      {{'A', 'A', 'A', VK_RETURN}, kAlpha},
      {{VK_UP, 'A', VK_RETURN}, kAlpha},
  };
  for (const auto& c : cases) {
    TapAll(c.keys);
    EXPECT_EQ(TrackPopupMenu(shared, TPM_RETURNCMD, 0, 0, 0, owner_, nullptr), c.chosen);
  }
  EXPECT_FALSE(driver_.starved());
}

TEST_F(MenuWindowTest, KeysReachTheMenuAndNotTheApplication) {
  EXPECT_EQ(Track({VK_DOWN, 'X', VK_RETURN}), static_cast<int>(kOpen));
  driver_.RunUntilIdle();
  EXPECT_THAT(keysSeen, ElementsAre(WM_KEYUP)) << "only the choosing key's release";
}

TEST_F(MenuWindowTest, KeysTypedAfterTheChoiceReachTheApplicationInOrder) {
  EXPECT_EQ(Track({VK_DOWN, VK_RETURN, 'A', VK_DOWN}), static_cast<int>(kOpen));
  driver_.RunUntilIdle();
  EXPECT_THAT(keysSeen, ElementsAre(WM_KEYUP, WM_KEYDOWN, WM_CHAR, WM_KEYUP, WM_KEYDOWN, WM_KEYUP));
}

TEST_F(MenuWindowTest, AKeyTakenWhileTheOwnerRunsItsQueueWaitsItsTurn) {
  pumpOnInit = true;
  EXPECT_EQ(Track({VK_DOWN, VK_DOWN, VK_DOWN, VK_RIGHT, VK_DOWN, VK_RETURN}),
            static_cast<int>(kSecond));
  EXPECT_TRUE(keysSeen.empty());
}

TEST_F(MenuWindowTest, WithoutReturnCmdTheCommandIsPostedToTheOwner) {
  EXPECT_EQ(Track({VK_DOWN, VK_RETURN}, TPM_LEFTALIGN), 1);
  EXPECT_TRUE(commands.empty()) << "posted, not sent";
  driver_.RunUntilIdle();
  EXPECT_THAT(commands, ElementsAre(MakeWParam(kOpen, kCommandFromMenu)));
  commands.clear();
  EXPECT_EQ(Track({VK_ESCAPE}, TPM_LEFTALIGN), 0);
  driver_.RunUntilIdle();
  EXPECT_TRUE(commands.empty());
}

TEST_F(MenuWindowTest, TheOwnerPreparesEachPopupBeforeItShows) {
  EXPECT_EQ(Track({VK_DOWN, VK_DOWN, VK_DOWN, VK_RIGHT, VK_ESCAPE, VK_ESCAPE}), 0);
  EXPECT_THAT(opened, ElementsAre(Opened{popup_, 0}, Opened{recent_, kRecentPosition}));
  // An item the owner greys on WM_INITMENUPOPUP is shown greyed and
  // cannot be chosen.
  greyOnInit = kOpen;
  EXPECT_EQ(Track({VK_DOWN, VK_RETURN, VK_ESCAPE}), 0);
  EXPECT_EQ(Track({'O', VK_ESCAPE}), 0);
}

TEST_F(MenuWindowTest, EachHighlightIsToldAndSoIsTheClose) {
  EXPECT_EQ(Track({VK_DOWN, VK_DOWN, VK_DOWN, VK_RIGHT, VK_ESCAPE, VK_ESCAPE}), 0);
  EXPECT_THAT(selected, ElementsAre(Selected{kOpen, MF_HILITE, popup_},
                                    Selected{kSave, MF_GRAYED | MF_HILITE, popup_},
                                    Selected{kRecentPosition, MF_POPUP | MF_HILITE, popup_},
                                    Selected{kFirst, MF_HILITE, recent_},
                                    Selected{0, kMenuClosedFlags, kNoMenu}));
  selected.clear();
  EXPECT_EQ(Track({'P'}), static_cast<int>(kPrint));
  EXPECT_THAT(selected, ElementsAre(Selected{kPrint, MF_CHECKED | MF_HILITE, popup_},
                                    Selected{0, kMenuClosedFlags, kNoMenu}));
}

TEST_F(MenuWindowTest, AClickChoosesAnItemAndAClickOutsideCloses) {
  const int32_t itemHeight = GetSystemMetrics(SM_CYMENU);
  // The middle of the first item, then of the greyed one.
  const POINT onOpen{kPopupAt.x + 20, kPopupAt.y + 2 + itemHeight / 2};
  Click(onOpen);
  EXPECT_EQ(TrackPopupMenu(popup_, TPM_RETURNCMD, kPopupAt.x, kPopupAt.y, 0, owner_, nullptr),
            static_cast<int>(kOpen));
  const POINT onSave{onOpen.x, onOpen.y + itemHeight + 8};
  Click(onSave);
  // The separator between them.
  Click(POINT{onOpen.x, onOpen.y + itemHeight / 2 + 4});
  Click(POINT{10, 10});
  selected.clear();
  EXPECT_EQ(TrackPopupMenu(popup_, TPM_RETURNCMD, kPopupAt.x, kPopupAt.y, 0, owner_, nullptr), 0);
  EXPECT_THAT(selected, ElementsAre(Selected{kSave, MF_GRAYED | MF_HILITE, popup_},
                                    Selected{0, kMenuClosedFlags, kNoMenu}))
      << "the pointer over the separator highlights nothing";
  EXPECT_FALSE(driver_.starved());
}

TEST_F(MenuWindowTest, TheRightButtonChoosesOnlyWhenAskedTo) {
  const POINT onOpen{kPopupAt.x + 20, kPopupAt.y + 2 + GetSystemMetrics(SM_CYMENU) / 2};
  const auto rightClick = [onOpen] {
    mouse_event(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, onOpen.x, onOpen.y, 0, 0);
    mouse_event(MOUSEEVENTF_RIGHTDOWN | MOUSEEVENTF_RIGHTUP, 0, 0, 0, 0);
  };
  rightClick();
  EXPECT_EQ(TrackPopupMenu(popup_, TPM_RETURNCMD | TPM_RIGHTBUTTON, kPopupAt.x, kPopupAt.y, 0,
                           owner_, nullptr),
            static_cast<int>(kOpen));
  rightClick();
  Tap(VK_ESCAPE);
  EXPECT_EQ(TrackPopupMenu(popup_, TPM_RETURNCMD, kPopupAt.x, kPopupAt.y, 0, owner_, nullptr), 0);
  EXPECT_FALSE(driver_.starved());
}

TEST_F(MenuWindowTest, APopupAtTheScreensCornerIsMovedOntoIt) {
  const int32_t screenWidth = GetSystemMetrics(SM_CXSCREEN);
  const int32_t screenHeight = GetSystemMetrics(SM_CYSCREEN);
  RECT placed;
  driver_.SetScript([&] {
    GetWindowRect(TopWindowOfClass(kPopupMenuClass), &placed);
    Tap(VK_ESCAPE);
    return true;
  });
  EXPECT_EQ(
      TrackPopupMenu(popup_, TPM_RETURNCMD, screenWidth - 5, screenHeight - 5, 0, owner_, nullptr),
      0);
  EXPECT_EQ(placed.right, screenWidth);
  EXPECT_EQ(placed.bottom, screenHeight);
  EXPECT_GT(placed.Width(), 5);
}

TEST_F(MenuWindowTest, AnOwnerDestroyedWhileTrackingEndsItQuietly) {
  const ScopedMisuseCounter misuses;
  driver_.SetScript([this] {
    DestroyWindow(owner_);
    return true;
  });
  EXPECT_EQ(Track({VK_DOWN, VK_DOWN, VK_DOWN, VK_RIGHT}), 0);
  EXPECT_EQ(TopWindowOfClass(kPopupMenuClass), kNoWindow);
  EXPECT_EQ(misuses.Total(), 0);
  // The thread may track again.
  owner_ = CreateWindowEx(0, kOwnerClass, "", WS_VISIBLE, 0, 0, 400, 300, kNoWindow, 0, nullptr);
  driver_.SetScript(nullptr);
  EXPECT_EQ(Track({VK_DOWN, VK_RETURN}), static_cast<int>(kOpen));
}

TEST_F(MenuWindowTest, APopupIsDrawnWithItsHighlightSeparatorCheckAndArrow) {
  const int32_t itemHeight = GetSystemMetrics(SM_CYMENU);
  constexpr int32_t kBorder = 2;
  constexpr int32_t kSeparatorHeight = 8;
  constexpr int32_t kArrowColumn = 16;
  // The arrow's point column starts four pixels into its column; the
  // tick's first column is centred in the 16-pixel check column, its
  // stroke two pixels above the tick's foot.
  constexpr int32_t kArrowInset = 4;
  constexpr int32_t kTickLeft = kBorder + 4;
  constexpr int32_t kTickFirstRow = 7;
  const int32_t separatorMiddle = kBorder + itemHeight + kSeparatorHeight / 2;
  const int32_t recentTop = kBorder + itemHeight * 2 + kSeparatorHeight;
  const int32_t printTop = recentTop + itemHeight;
  std::vector<COLORREF> samples;
  driver_.SetScript([&] {
    const HWND popup = TopWindowOfClass(kPopupMenuClass);
    if (popup == kNoWindow) return false;
    RECT placed;
    GetWindowRect(popup, &placed);
    const int32_t arrowLeft = placed.Width() - kBorder - kArrowColumn + kArrowInset;
    const HDC image = GetWindowSurface(popup);
    samples = {GetPixel(image, kBorder + 1, kBorder + 1),
               GetPixel(image, kBorder + 4, separatorMiddle - 1),
               GetPixel(image, kBorder + 4, separatorMiddle),
               GetPixel(image, kBorder + 1, recentTop + 1),
               GetPixel(image, arrowLeft, recentTop + itemHeight / 2),
               GetPixel(image, kTickLeft, printTop + kTickFirstRow),
               GetPixel(image, placed.Width() - 1, placed.Height() - 1)};
    Tap(VK_ESCAPE);
    return true;
  });
  EXPECT_EQ(Track({VK_DOWN}), 0);
  EXPECT_THAT(samples, ElementsAre(GetSysColor(COLOR_HIGHLIGHT), GetSysColor(COLOR_BTNSHADOW),
                                   GetSysColor(COLOR_BTNHIGHLIGHT), GetSysColor(COLOR_MENU),
                                   GetSysColor(COLOR_MENUTEXT), GetSysColor(COLOR_MENUTEXT),
                                   GetSysColor(COLOR_3DDKSHADOW)));
}

class MenuBarTest : public MenuWindowTest {
 protected:
  MenuBarTest() {
    bar_ = CreateMenu();
    file_ = CreatePopupMenu();
    edit_ = CreatePopupMenu();
    AppendMenu(file_, MF_STRING, kNew, "&New");
    AppendMenu(file_, MF_STRING, kQuit, "&Quit");
    AppendMenu(edit_, MF_STRING, kCut, "Cu&t");
    AppendMenu(bar_, MF_POPUP, file_, kFileText);
    AppendMenu(bar_, MF_POPUP, edit_, kEditText);
    SetMenu(owner_, bar_);
  }

  HMENU bar_ = kNoMenu;
  HMENU file_ = kNoMenu;
  HMENU edit_ = kNoMenu;
};

TEST_F(MenuBarTest, TheBarIsAStripAtTheTop) {
  EXPECT_EQ(GetMenu(owner_), bar_);
  EXPECT_EQ(MenuBarHeight(owner_), GetSystemMetrics(SM_CYMENU));
  EXPECT_TRUE(DrawMenuBar(owner_));
  EXPECT_TRUE(SetMenu(owner_, kNoMenu));
  EXPECT_EQ(GetMenu(owner_), kNoMenu);
  EXPECT_EQ(MenuBarHeight(owner_), 0);
  EXPECT_FALSE(DrawMenuBar(owner_));
  EXPECT_TRUE(IsMenu(bar_)) << "the menu stays the caller's";
}

struct BarCase {
  const char* what;
  std::vector<BYTE> keys;
  UINT chosen;
};

TEST_F(MenuBarTest, TheMenuGoesWithItsWindowButNotWhenTakenAway) {
  const HMENU other = CreateMenu();
  EXPECT_TRUE(SetMenu(owner_, other));
  EXPECT_TRUE(IsMenu(bar_));
  EXPECT_TRUE(DestroyWindow(owner_));
  EXPECT_FALSE(IsMenu(other));
  EXPECT_TRUE(IsMenu(bar_));
}

TEST_F(MenuBarTest, AClickOnTheBarOpensItsItem) {
  const int32_t itemHeight = GetSystemMetrics(SM_CYMENU);
  Click(POINT{2, itemHeight / 2});
  // The popup opens under the item: its first item is New.
  Click(POINT{20, itemHeight + 2 + itemHeight / 2});
  driver_.RunUntilIdle();
  EXPECT_THAT(commands, ElementsAre(MakeWParam(kNew, kCommandFromMenu)));
  EXPECT_THAT(initMenus, ElementsAre(bar_));
  EXPECT_THAT(opened, ElementsAre(Opened{file_, 0}));
  EXPECT_FALSE(driver_.starved());
}

TEST_F(MenuBarTest, F10EntersTheBar) {
  const BarCase cases[] = {
      {"Down opens the first item's popup", {VK_F10, VK_DOWN, VK_DOWN, VK_RETURN}, kQuit},
      {"Enter opens it too", {VK_F10, VK_RETURN, VK_RETURN}, kNew},
      {"Right moves along the bar", {VK_F10, VK_RIGHT, VK_DOWN, VK_RETURN}, kCut},
      {"Left wraps", {VK_F10, VK_LEFT, VK_DOWN, VK_RETURN}, kCut},
      {"Right from an open popup opens the next", {VK_F10, VK_DOWN, VK_RIGHT, VK_RETURN}, kCut},
      {"Left from an open popup opens the one before",
       {VK_F10, VK_RIGHT, VK_DOWN, VK_LEFT, VK_RETURN},
       kNew},
      {"a mnemonic in the bar opens its popup", {VK_F10, 'E', 'T'}, kCut},
      {"Esc closes the popup, a second one leaves", {VK_F10, VK_DOWN, VK_ESCAPE, VK_ESCAPE}, 0},
      {"Alt leaves the bar", {VK_F10, VK_MENU}, 0},
      {"Alt leaves an open popup", {VK_F10, VK_DOWN, VK_MENU}, 0},
  };
  for (const BarCase& c : cases) {
    commands.clear();
    initMenus.clear();
    TapAll(c.keys);
    driver_.RunUntilIdle();
    EXPECT_THAT(initMenus, ElementsAre(bar_)) << c.what;
    if (c.chosen == 0) {
      EXPECT_TRUE(commands.empty()) << c.what;
    } else {
      EXPECT_THAT(commands, ElementsAre(MakeWParam(c.chosen, kCommandFromMenu))) << c.what;
    }
    EXPECT_FALSE(driver_.starved()) << c.what;
    EXPECT_THAT(keysSeen, Each(WM_KEYUP)) << c.what << ": only the last key's release";
    keysSeen.clear();
  }
}

TEST_F(MenuBarTest, AltAndAMnemonicOpenTheItemAtOnce) {
  keybd_event(VK_MENU, 0, 0, 0);
  Tap('E');
  keybd_event(VK_MENU, 0, KEYEVENTF_KEYUP, 0);
  Tap(VK_RETURN);
  driver_.RunUntilIdle();
  EXPECT_THAT(opened, ElementsAre(Opened{edit_, 1}));
  EXPECT_THAT(commands, ElementsAre(MakeWParam(kCut, kCommandFromMenu)));
  EXPECT_EQ(selected.front(), (Selected{1, MF_POPUP | MF_HILITE, bar_}));
  EXPECT_EQ(selected.back(), (Selected{0, kMenuClosedFlags, kNoMenu}));
}

TEST_F(MenuBarTest, AltAloneEntersTheBarAndAltWithAnotherKeyDoesNot) {
  Tap(VK_MENU);
  TapAll({VK_RETURN, VK_RETURN});
  driver_.RunUntilIdle();
  EXPECT_THAT(commands, ElementsAre(MakeWParam(kNew, kCommandFromMenu)));
  commands.clear();
  initMenus.clear();
  // Alt with a key that is no item's mnemonic leaves the bar alone.
  keybd_event(VK_MENU, 0, 0, 0);
  Tap('Z');
  keybd_event(VK_MENU, 0, KEYEVENTF_KEYUP, 0);
  driver_.RunUntilIdle();
  EXPECT_TRUE(initMenus.empty());
}

TEST_F(MenuBarTest, ShiftF10IsNotTheBarsKey) {
  keybd_event(VK_SHIFT, 0, 0, 0);
  Tap(VK_F10);
  keybd_event(VK_SHIFT, 0, KEYEVENTF_KEYUP, 0);
  driver_.RunUntilIdle();
  EXPECT_TRUE(initMenus.empty());
  EXPECT_FALSE(driver_.starved());
}

TEST_F(MenuBarTest, TheBarIsDrawnWithTheHighlightedItem) {
  std::vector<COLORREF> samples;
  driver_.SetScript([&] {
    const HDC image = GetWindowSurface(owner_);
    samples = {GetPixel(image, 1, 1), GetPixel(image, 390, 1)};
    Tap(VK_ESCAPE);
    return true;
  });
  Tap(VK_F10);
  driver_.RunUntilIdle();
  EXPECT_THAT(samples, ElementsAre(GetSysColor(COLOR_HIGHLIGHT), GetSysColor(COLOR_MENU)));
}

}  // namespace
