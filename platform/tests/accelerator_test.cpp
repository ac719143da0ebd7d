#include "platform/accelerator.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/input.h"
#include "platform/menu.h"
#include "platform/window.h"

namespace {

using namespace platform;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr uint16_t kSave = 57603;
constexpr uint16_t kSaveAs = 57604;
constexpr uint16_t kFind = 57636;
constexpr uint16_t kMenuKey = 33000;
constexpr uint16_t kHelp = 57670;
constexpr uint16_t kTyped = 33001;
constexpr uint16_t kAltTyped = 33002;
constexpr BYTE kF1 = 0x70;

const ACCEL kTable[] = {
    {FVIRTKEY | FCONTROL, 'S', kSave},
    {FVIRTKEY | FCONTROL | FSHIFT, 'S', kSaveAs},
    {FVIRTKEY | FCONTROL, 'F', kFind},
    {FVIRTKEY | FALT, 'M', kMenuKey},
    {FVIRTKEY, kF1, kHelp},
    {0, '?', kTyped},
    {FALT, 'q', kAltTyped},
};

struct Command {
  uint16_t id;
  uint16_t source;
  bool operator==(const Command&) const = default;
};

class AcceleratorTest : public ::testing::Test {
 protected:
  AcceleratorTest() {
    ResetWindowMessages();
    ResetAccelerators();
    window_ = CreateWindowHandle([this](HWND, UINT message, WPARAM wParam, LPARAM) {
      if (message == WM_COMMAND) {
        commands_.push_back({static_cast<uint16_t>(wParam & 0xFFFF),
                             static_cast<uint16_t>((wParam >> 16) & 0xFFFF)});
      }
      if (message == WM_KEYDOWN || message == WM_SYSKEYDOWN) ++keysDispatched_;
      return LRESULT{0};
    });
    SetFocus(window_);
    table_ = CreateAcceleratorTable(kTable, static_cast<int>(std::size(kTable)));
  }
  ~AcceleratorTest() override {
    ResetAccelerators();
    ResetWindowMessages();
  }

  // Holds the modifiers, presses and releases the key, lets the modifiers
  // go, and pumps the way an application's loop does.
  void Press(const std::vector<BYTE>& modifiers, BYTE vk) {
    for (const BYTE modifier : modifiers) keybd_event(modifier, 0, 0, 0);
    keybd_event(vk, 0, 0, 0);
    keybd_event(vk, 0, KEYEVENTF_KEYUP, 0);
    for (auto it = modifiers.rbegin(); it != modifiers.rend(); ++it) {
      keybd_event(*it, 0, KEYEVENTF_KEYUP, 0);
    }
    Pump();
  }
  void Pump() {
    MSG msg;
    while (PeekMessage(&msg, kNoWindow, 0, 0, PM_REMOVE)) {
      if (TranslateAccelerator(window_, table_, &msg) != 0) continue;
      TranslateMessage(&msg);
      DispatchMessage(&msg);
    }
  }

  HWND window_ = kNoWindow;
  HACCEL table_ = kNoAccelerators;
  std::vector<Command> commands_;
  int keysDispatched_ = 0;
};

struct KeyCase {
  const char* name;
  std::vector<BYTE> modifiers;
  BYTE vk;
  // 0: no command.
  uint16_t command;
};

class AcceleratorKeyTest : public AcceleratorTest, public ::testing::WithParamInterface<KeyCase> {};

TEST_P(AcceleratorKeyTest, AKeyMatchesOnlyWithExactlyItsModifiers) {
  const KeyCase& c = GetParam();
  Press(c.modifiers, c.vk);
  if (c.command == 0) {
    EXPECT_THAT(commands_, IsEmpty());
  } else {
    EXPECT_THAT(commands_, ElementsAre(Command{c.command, kCommandFromAccelerator}));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AcceleratorKeyTest,
    ::testing::Values(KeyCase{"CtrlS", {VK_CONTROL}, 'S', kSave},
                      KeyCase{"CtrlShiftS", {VK_CONTROL, VK_SHIFT}, 'S', kSaveAs},
                      KeyCase{"CtrlF", {VK_CONTROL}, 'F', kFind}, KeyCase{"PlainS", {}, 'S', 0},
                      KeyCase{"ShiftS", {VK_SHIFT}, 'S', 0},
                      KeyCase{"CtrlAltS", {VK_CONTROL, VK_MENU}, 'S', 0},
                      KeyCase{"AltM", {VK_MENU}, 'M', kMenuKey},
                      KeyCase{"CtrlM", {VK_CONTROL}, 'M', 0}, KeyCase{"F1", {}, kF1, kHelp},
                      KeyCase{"ShiftF1", {VK_SHIFT}, kF1, 0},
                      KeyCase{"CtrlG", {VK_CONTROL}, 'G', 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(AcceleratorTest, ATranslatedKeyIsNeitherDispatchedNorTyped) {
  Press({VK_CONTROL}, 'S');
  EXPECT_EQ(keysDispatched_, 1) << "only the Ctrl key-down reached the window";
  Press({}, 'A');
  EXPECT_EQ(keysDispatched_, 2);
}

TEST_F(AcceleratorTest, ACharacterEntryMatchesTheTypedCharacter) {
  const std::vector<MSG> messages = {{window_, WM_CHAR, '?', 0},
                                     {window_, WM_SYSCHAR, '?', 0},
                                     {window_, WM_CHAR, 'q', 0},
                                     {window_, WM_SYSCHAR, 'q', 0},
                                     {window_, WM_KEYUP, '?', 0}};
  std::vector<int> answers;
  for (const MSG& msg : messages) answers.push_back(TranslateAccelerator(window_, table_, &msg));
  EXPECT_THAT(answers, ElementsAre(1, 0, 0, 1, 0));
  EXPECT_THAT(commands_, ElementsAre(Command{kTyped, kCommandFromAccelerator},
                                     Command{kAltTyped, kCommandFromAccelerator}));
}

TEST_F(AcceleratorTest, TheFirstMatchingEntryWins) {
  const ACCEL twice[] = {{FVIRTKEY | FCONTROL, 'S', kSave}, {FVIRTKEY | FCONTROL, 'S', kFind}};
  table_ = CreateAcceleratorTable(twice, 2);
  Press({VK_CONTROL}, 'S');
  EXPECT_THAT(commands_, ElementsAre(Command{kSave, kCommandFromAccelerator}));
}

TEST_F(AcceleratorTest, ADestroyedOrEmptyTableTranslatesNothing) {
  EXPECT_EQ(CreateAcceleratorTable(kTable, 0), kNoAccelerators);
  EXPECT_EQ(CreateAcceleratorTable(nullptr, 1), kNoAccelerators);
  ASSERT_TRUE(DestroyAcceleratorTable(table_));
  EXPECT_FALSE(DestroyAcceleratorTable(table_));
  Press({VK_CONTROL}, 'S');
  EXPECT_THAT(commands_, IsEmpty());
}

}  // namespace
