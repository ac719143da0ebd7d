#include "platform/dialog.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/batch_run.h"
#include "platform/button.h"
#include "platform/clock.h"
#include "platform/control_notify.h"
#include "platform/dialog_template.h"
#include "platform/input.h"
#include "platform/message_box.h"
#include "platform/message_driver.h"
#include "platform/paint.h"
#include "platform/sjis.h"
#include "platform/sound.h"
#include "platform/static_control.h"
#include "platform/synthetic_fonts.h"
#include "platform/system_info.h"
#include "window_test_support.h"

namespace {

using namespace platform;

constexpr int32_t kWalkDialog = 500;
constexpr int32_t kOuterDialog = 501;
constexpr int32_t kInnerDialog = 502;
constexpr int32_t kArrowsControl = 101;
constexpr int32_t kAlpha = 201;
constexpr int32_t kBeta = 202;
constexpr int32_t kGamma = 203;
constexpr int32_t kRed = 211;
constexpr int32_t kBlue = 212;
constexpr int32_t kCheck = 301;
constexpr int32_t kPush = 401;
constexpr int32_t kNumber = 402;
constexpr char kArrowsClass[] = "TestArrows";

constexpr DWORD kTab = WS_TABSTOP;
constexpr DWORD kGroupTab = WS_GROUP | WS_TABSTOP;

std::string Sjis(const char* utf8) { return Utf8ToSjis(utf8).value(); }

void Press(BYTE vk) {
  keybd_event(vk, 0, 0, 0);
  keybd_event(vk, 0, KEYEVENTF_KEYUP, 0);
}

void PressWithShift(BYTE vk) {
  keybd_event(VK_SHIFT, 0, 0, 0);
  Press(vk);
  keybd_event(VK_SHIFT, 0, KEYEVENTF_KEYUP, 0);
}

// A control that keeps the arrow keys and the characters, as an edit does.
std::vector<WPARAM> arrowsKept;
std::vector<WPARAM> charsKept;
LRESULT ArrowsProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_GETDLGCODE) return DLGC_WANTARROWS | DLGC_WANTCHARS;
  if (message == WM_KEYDOWN) arrowsKept.push_back(wParam);
  if (message == WM_CHAR) charsKept.push_back(wParam);
  return DefWindowProc(window, message, wParam, lParam);
}

DialogTemplate WalkTemplate() {
  return DialogTemplate{
      kWalkDialog,
      "歩く",
      200,
      140,
      "",
      9,
      {
          {IDC_STATIC, kStaticClass, SS_LEFT, "&Name:", 4, 4, 40, 10},
          {kArrowsControl, kArrowsClass, kGroupTab, "", 48, 4, 60, 12},
          {IDC_STATIC, kButtonClass, BS_GROUPBOX | WS_GROUP, "Group", 4, 20, 120, 60},
          {kAlpha, kButtonClass, BS_AUTORADIOBUTTON | kGroupTab, "&Alpha", 8, 30, 60, 10},
          {kBeta, kButtonClass, BS_AUTORADIOBUTTON, "&Beta", 8, 42, 60, 10},
          {kGamma, kButtonClass, BS_AUTORADIOBUTTON, "Gamma", 8, 54, 60, 10},
          {kRed, kButtonClass, BS_AUTORADIOBUTTON | kGroupTab, "Red", 70, 30, 40, 10},
          {kBlue, kButtonClass, BS_AUTORADIOBUTTON, "Bl&ue", 70, 42, 40, 10},
          {kCheck, kButtonClass, BS_AUTOCHECKBOX | kGroupTab, "&Check", 4, 84, 60, 10},
          {kNumber, kStaticClass, SS_LEFT | WS_GROUP, "12", 70, 84, 40, 10},
          {IDOK, kButtonClass, BS_DEFPUSHBUTTON | kGroupTab, "OK", 4, 120, 40, 14},
          {IDCANCEL, kButtonClass, BS_PUSHBUTTON | kTab, "キャンセル", 50, 120, 40, 14},
          {kPush, kButtonClass, BS_PUSHBUTTON | kTab, "&Push", 96, 120, 40, 14},
      }};
}

// What the dialog procedure was told.
std::vector<std::pair<int32_t, UINT>> commands;
intptr_t initAnswer = 1;

intptr_t RecordingProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  if (message == WM_INITDIALOG) {
    if (initAnswer == 0) SetFocus(GetDlgItem(dialog, kPush));
    return initAnswer;
  }
  if (message != WM_COMMAND) return 0;
  const auto id = static_cast<int32_t>(CommandIdOf(wParam));
  commands.emplace_back(id, NotifyCodeOf(wParam));
  if (id == IDOK || id == IDCANCEL) EndDialog(dialog, id);
  return 1;
}

class DialogTest : public ::testing::Test {
 protected:
  DialogTest() {
    ResetWindowMessages();
    ResetInput();
    RegisterTestClass("Owner", DefWindowProc);
    RegisterTestClass(kArrowsClass, ArrowsProc);
    owner_ =
        CreateWindowEx(0, "Owner", "Owner", WS_VISIBLE, 100, 100, 600, 400, kNoWindow, 0, nullptr);
    SetActiveWindow(owner_);
    EXPECT_TRUE(RegisterDialogTemplate(WalkTemplate()));
    commands.clear();
    arrowsKept.clear();
    charsKept.clear();
    initAnswer = 1;
  }
  ~DialogTest() override {
    ResetWindowMessages();
    ResetInput();
  }

  // Runs the walk dialog, each step given when the dialog waits.
  intptr_t Walk(std::vector<std::function<void(HWND)>> steps) {
    for (auto& step : steps) driver_.AnswerDialog(kWalkDialog, std::move(step));
    const intptr_t result = DialogBox(kWalkDialog, owner_, RecordingProc);
    EXPECT_FALSE(driver_.starved());
    EXPECT_EQ(driver_.mismatch(), "");
    EXPECT_EQ(driver_.pendingAnswers(), 0u);
    return result;
  }

  static int32_t FocusId() { return GetDlgCtrlID(GetFocus()); }

  FakeClock clock_;
  ScopedClock scopedClock_{clock_};
  SyntheticFontService fonts_;
  ScopedFontService scopedFonts_{fonts_};
  RecordingAudioBackend audio_;
  ScopedAudioBackend scopedAudio_{audio_};
  MessageDriver driver_{clock_, 100};
  HWND owner_ = kNoWindow;
};

TEST_F(DialogTest, TabAndShiftTabGoRoundTheTabStopsInRowOrder) {
  std::vector<int32_t> order;
  std::vector<std::function<void(HWND)>> steps;
  steps.push_back([&](HWND) { order.push_back(FocusId()); });
  for (int i = 0; i < 6; ++i) {
    steps.push_back([&](HWND) { Press(VK_TAB); });
    steps.push_back([&](HWND) { order.push_back(FocusId()); });
  }
  steps.push_back([&](HWND) { PressWithShift(VK_TAB); });
  steps.push_back([&](HWND) {
    order.push_back(FocusId());
    Press(VK_ESCAPE);
  });
  EXPECT_EQ(Walk(std::move(steps)), IDCANCEL);
  EXPECT_EQ(order, (std::vector<int32_t>{kArrowsControl, kAlpha, kRed, kCheck, IDOK, IDCANCEL,
                                         kPush, IDCANCEL}));
}

TEST_F(DialogTest, TabAndArrowsPassOverDisabledAndHiddenControls) {
  std::vector<int32_t> focus;
  Walk({[](HWND dialog) {
          EnableWindow(GetDlgItem(dialog, kRed), false);
          EnableWindow(GetDlgItem(dialog, kBeta), false);
          ShowWindow(GetDlgItem(dialog, kCheck), SW_HIDE);
          SetFocus(GetDlgItem(dialog, kAlpha));
          Press(VK_DOWN);
        },
        [&](HWND) {
          focus.push_back(FocusId());
          Press(VK_TAB);
        },
        [&](HWND) {
          focus.push_back(FocusId());
          Press(VK_ESCAPE);
        }});
  EXPECT_EQ(focus, (std::vector<int32_t>{kGamma, IDOK}));
}

TEST_F(DialogTest, ArrowsMoveWithinTheGroupCheckingAutoRadiosAndTellingTheDialog) {
  std::vector<int32_t> focus;
  UINT alphaChecked = 9;
  UINT betaChecked = 9;
  UINT gammaChecked = 9;
  Walk({[](HWND dialog) { SetFocus(GetDlgItem(dialog, kAlpha)); },
        [](HWND) {
          Press(VK_DOWN);
          Press(VK_DOWN);
        },
        [&](HWND dialog) {
          focus.push_back(FocusId());
          gammaChecked = IsDlgButtonChecked(dialog, kGamma);
          Press(VK_DOWN);
        },
        [&](HWND dialog) {
          // The group wraps round at its end.
          focus.push_back(FocusId());
          alphaChecked = IsDlgButtonChecked(dialog, kAlpha);
          betaChecked = IsDlgButtonChecked(dialog, kBeta);
          gammaChecked = gammaChecked * 10 + IsDlgButtonChecked(dialog, kGamma);
          Press(VK_UP);
        },
        [&](HWND) {
          focus.push_back(FocusId());
          Press(VK_ESCAPE);
        }});
  EXPECT_EQ(focus, (std::vector<int32_t>{kGamma, kAlpha, kGamma}));
  EXPECT_EQ(alphaChecked, BST_CHECKED);
  EXPECT_EQ(betaChecked, BST_UNCHECKED);
  EXPECT_EQ(gammaChecked, 10u);
  const std::vector<std::pair<int32_t, UINT>> expected{{kBeta, BN_CLICKED},
                                                       {kGamma, BN_CLICKED},
                                                       {kAlpha, BN_CLICKED},
                                                       {kGamma, BN_CLICKED},
                                                       {IDCANCEL, BN_CLICKED}};
  EXPECT_EQ(commands, expected);
}

TEST_F(DialogTest, AControlThatAsksForTheArrowsKeepsThem) {
  int32_t focus = 0;
  Walk({[](HWND) {
          Press(VK_DOWN);
          Press(VK_RIGHT);
        },
        [&](HWND) {
          focus = FocusId();
          Press(VK_ESCAPE);
        }});
  EXPECT_EQ(focus, kArrowsControl);
  EXPECT_EQ(arrowsKept, (std::vector<WPARAM>{VK_DOWN, VK_RIGHT}));
}

struct KeyCase {
  const char* name;
  // The control focused first (0: the first tab stop).
  int32_t focus;
  std::vector<BYTE> keys;
  intptr_t result;
  std::vector<std::pair<int32_t, UINT>> commands;
  // Checked at the end, BST_CHECKED or not.
  std::vector<std::pair<int32_t, UINT>> checks;
};

class DialogKeyTest : public DialogTest, public ::testing::WithParamInterface<KeyCase> {};

TEST_P(DialogKeyTest, KeysDoWhatTheyDoInADialog) {
  const KeyCase& c = GetParam();
  std::vector<std::pair<int32_t, UINT>> checks;
  std::vector<std::function<void(HWND)>> steps{[&c](HWND dialog) {
    if (c.focus != 0) SetFocus(GetDlgItem(dialog, c.focus));
    for (const BYTE key : c.keys) Press(key);
  }};
  // A case whose keys leave the dialog open looks at its buttons, then cancels.
  if (c.result == 0) {
    steps.push_back([&](HWND dialog) {
      for (const auto& check : c.checks)
        checks.emplace_back(check.first, IsDlgButtonChecked(dialog, check.first));
      Press(VK_ESCAPE);
    });
  }
  EXPECT_EQ(Walk(std::move(steps)), c.result != 0 ? c.result : IDCANCEL);
  std::vector<std::pair<int32_t, UINT>> expected = c.commands;
  if (c.result == 0) expected.emplace_back(IDCANCEL, BN_CLICKED);
  EXPECT_EQ(commands, expected);
  EXPECT_EQ(checks, c.checks);
}

using Commands = std::vector<std::pair<int32_t, UINT>>;

INSTANTIATE_TEST_SUITE_P(
    Cases, DialogKeyTest,
    ::testing::Values(
        KeyCase{
            "EnterOnANonButtonPressesTheDefault", 0, {VK_RETURN}, IDOK, {{IDOK, BN_CLICKED}}, {}},
        KeyCase{"EnterPressesTheFocusedButton", kPush, {VK_RETURN}, 0, {{kPush, BN_CLICKED}}, {}},
        KeyCase{
            "EnterOnCancelCancels", IDCANCEL, {VK_RETURN}, IDCANCEL, {{IDCANCEL, BN_CLICKED}}, {}},
        KeyCase{"EscapeCancels", kCheck, {VK_ESCAPE}, IDCANCEL, {{IDCANCEL, BN_CLICKED}}, {}},
        KeyCase{"SpaceClicksAPushButton", kPush, {VK_SPACE}, 0, {{kPush, BN_CLICKED}}, {}},
        KeyCase{"SpaceTogglesACheckBox",
                kCheck,
                {VK_SPACE},
                0,
                {{kCheck, BN_CLICKED}},
                {{kCheck, BST_CHECKED}}},
        KeyCase{"SpaceTwiceTogglesBack",
                kCheck,
                {VK_SPACE, VK_SPACE},
                0,
                {{kCheck, BN_CLICKED}, {kCheck, BN_CLICKED}},
                {{kCheck, BST_UNCHECKED}}},
        KeyCase{"AMnemonicClicksARadio",
                IDCANCEL,
                {'B'},
                0,
                {{kBeta, BN_CLICKED}},
                {{kBeta, BST_CHECKED}}},
        KeyCase{"AMnemonicInsideTheWordClicks",
                IDCANCEL,
                {'U'},
                0,
                {{kBlue, BN_CLICKED}},
                {{kBlue, BST_CHECKED}, {kRed, BST_UNCHECKED}}},
        KeyCase{"AMnemonicTogglesACheckBox",
                IDCANCEL,
                {'C'},
                0,
                {{kCheck, BN_CLICKED}},
                {{kCheck, BST_CHECKED}}},
        KeyCase{"AMnemonicPressesAPushButton", IDCANCEL, {'P'}, 0, {{kPush, BN_CLICKED}}, {}},
        KeyCase{"AnUnknownLetterDoesNothing", kPush, {'Z'}, 0, {}, {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DialogTest, AControlThatAsksForCharactersKeepsThemButAltStillNamesAMnemonic) {
  UINT checked = 9;
  Walk({[](HWND) {
          Press('C');
          keybd_event(VK_MENU, 0, 0, 0);
          Press('C');
          keybd_event(VK_MENU, 0, KEYEVENTF_KEYUP, 0);
        },
        [&](HWND dialog) {
          checked = IsDlgButtonChecked(dialog, kCheck);
          Press(VK_ESCAPE);
        }});
  EXPECT_EQ(charsKept, (std::vector<WPARAM>{'c'}));
  EXPECT_EQ(checked, BST_CHECKED);
}

TEST_F(DialogTest, ArrowsPassOverTheLabelsOfAGroup) {
  ASSERT_TRUE(RegisterDialogTemplate(
      DialogTemplate{kOuterDialog,
                     "外",
                     100,
                     50,
                     "",
                     9,
                     {{kAlpha, kButtonClass, BS_AUTORADIOBUTTON | kGroupTab, "a", 4, 4, 40, 10},
                      {IDC_STATIC, kStaticClass, SS_LEFT, "label", 4, 16, 40, 10},
                      {kBeta, kButtonClass, BS_AUTORADIOBUTTON, "b", 4, 28, 40, 10},
                      {IDOK, kButtonClass, BS_DEFPUSHBUTTON | kGroupTab, "OK", 50, 30, 40, 14}}}));
  int32_t focus = 0;
  driver_.AnswerDialog(kOuterDialog, [](HWND) { Press(VK_DOWN); });
  driver_.AnswerDialog(kOuterDialog, [&](HWND) {
    focus = FocusId();
    Press(VK_RETURN);
  });
  EXPECT_EQ(DialogBox(kOuterDialog, owner_, RecordingProc), IDOK);
  EXPECT_EQ(focus, kBeta);
}

TEST_F(DialogTest, ALabelsMnemonicFocusesTheControlAfterIt) {
  int32_t focus = 0;
  Walk({[](HWND dialog) {
          SetFocus(GetDlgItem(dialog, kPush));
          Press('N');
        },
        [&](HWND) {
          focus = FocusId();
          Press(VK_ESCAPE);
        }});
  EXPECT_EQ(focus, kArrowsControl);
}

TEST_F(DialogTest, InitDialogAnsweringFalseKeepsTheFocusItChose) {
  initAnswer = 0;
  int32_t focus = 0;
  Walk({[&](HWND) {
    focus = FocusId();
    Press(VK_ESCAPE);
  }});
  EXPECT_EQ(focus, kPush);
}

TEST_F(DialogTest, TheOwnerIsDisabledWhileTheDialogRunsAndGetsTheActivationBack) {
  bool ownerEnabled = true;
  int32_t templateId = 0;
  std::string caption;
  Walk({[&](HWND dialog) {
    ownerEnabled = IsWindowEnabled(owner_);
    const MessageDriver::ActiveDialog active = MessageDriver::CurrentDialog();
    templateId = active.templateId;
    caption = active.caption;
    EXPECT_EQ(active.window, dialog);
    EXPECT_EQ(GetWindow(dialog, GW_OWNER), owner_);
    Press(VK_RETURN);
  }});
  EXPECT_FALSE(ownerEnabled);
  EXPECT_EQ(templateId, kWalkDialog);
  EXPECT_EQ(caption, Sjis("歩く"));
  EXPECT_TRUE(IsWindowEnabled(owner_));
  EXPECT_EQ(GetActiveWindow(), owner_);
}

TEST_F(DialogTest, DefIdMovesTheDefaultAndItsStyle) {
  DWORD okKind = 99;
  DWORD pushKind = 99;
  Walk({[&](HWND dialog) {
          EXPECT_EQ(LowWord(SendMessage(dialog, DM_GETDEFID, 0, 0)), IDOK);
          EXPECT_EQ(HighWord(SendMessage(dialog, DM_GETDEFID, 0, 0)), DC_HASDEFID);
          SendMessage(dialog, DM_SETDEFID, kPush, 0);
          okKind = ButtonKindOf(
              static_cast<DWORD>(GetWindowLongPtr(GetDlgItem(dialog, IDOK), GWL_STYLE)));
          pushKind = ButtonKindOf(
              static_cast<DWORD>(GetWindowLongPtr(GetDlgItem(dialog, kPush), GWL_STYLE)));
          SetFocus(GetDlgItem(dialog, kCheck));
          Press(VK_RETURN);
        },
        [](HWND) { Press(VK_ESCAPE); }});
  EXPECT_EQ(okKind, BS_PUSHBUTTON);
  EXPECT_EQ(pushKind, BS_DEFPUSHBUTTON);
  EXPECT_EQ(commands, (Commands{{kPush, BN_CLICKED}, {IDCANCEL, BN_CLICKED}}));
}

TEST_F(DialogTest, NextDialogControlSentOrPostedMovesTheFocus) {
  std::vector<int32_t> focus;
  Walk({[&](HWND dialog) {
          SendMessage(dialog, WM_NEXTDLGCTL, 0, 0);
          focus.push_back(FocusId());
          SendMessage(dialog, WM_NEXTDLGCTL, 1, 0);
          focus.push_back(FocusId());
          SendMessage(dialog, WM_NEXTDLGCTL, static_cast<WPARAM>(GetDlgItem(dialog, kPush)),
                      MakeLParam(1, 0));
          focus.push_back(FocusId());
          PostMessage(dialog, WM_NEXTDLGCTL, 0, 0);
        },
        [&](HWND) {
          focus.push_back(FocusId());
          Press(VK_ESCAPE);
        }});
  EXPECT_EQ(focus, (std::vector<int32_t>{kAlpha, kArrowsControl, kPush, kArrowsControl}));
}

TEST_F(DialogTest, CloseCancelsOnlyWhileTheSystemMenusCloseIsEnabled) {
  Walk({[](HWND dialog) {
          EnableMenuItem(GetSystemMenu(dialog, false), SC_CLOSE, MF_BYCOMMAND | MF_GRAYED);
          SendMessage(dialog, WM_CLOSE, 0, 0);
          PostMessage(dialog, WM_CLOSE, 0, 0);
        },
        [](HWND dialog) {
          EXPECT_TRUE(commands.empty());
          EnableMenuItem(GetSystemMenu(dialog, false), SC_CLOSE, MF_BYCOMMAND | MF_ENABLED);
          PostMessage(dialog, WM_CLOSE, 0, 0);
        }});
  EXPECT_EQ(commands, (Commands{{IDCANCEL, BN_CLICKED}}));
}

// A dialog whose push button opens another dialog, whose push button opens a message box.
intptr_t NestingProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COMMAND && CommandIdOf(wParam) == kPush) {
    const intptr_t inner = DialogBox(kInnerDialog, dialog, NestingProc);
    commands.emplace_back(kInnerDialog, static_cast<UINT>(inner));
    return 1;
  }
  if (message == WM_COMMAND && CommandIdOf(wParam) == kCheck) {
    const int answer = MessageBox(dialog, "Sure?", "Box", MB_YESNO);
    commands.emplace_back(kCheck, static_cast<UINT>(answer));
    return 1;
  }
  return RecordingProc(dialog, message, wParam, lParam);
}

TEST_F(DialogTest, ScriptsDriveNestedDialogsAndTheirMessageBox) {
  ASSERT_TRUE(RegisterDialogTemplate(
      DialogTemplate{kOuterDialog,
                     "外",
                     100,
                     50,
                     "",
                     9,
                     {{IDOK, kButtonClass, BS_DEFPUSHBUTTON | kGroupTab, "OK", 4, 30, 40, 14},
                      {kPush, kButtonClass, BS_PUSHBUTTON | kTab, "&Inner", 50, 30, 40, 14}}}));
  ASSERT_TRUE(RegisterDialogTemplate(
      DialogTemplate{kInnerDialog,
                     "内",
                     100,
                     50,
                     "",
                     9,
                     {{IDOK, kButtonClass, BS_DEFPUSHBUTTON | kGroupTab, "OK", 4, 30, 40, 14},
                      {kCheck, kButtonClass, BS_PUSHBUTTON | kTab, "&Box", 50, 30, 40, 14},
                      {IDCANCEL, kButtonClass, BS_PUSHBUTTON | kTab, "Cancel", 4, 10, 40, 14}}}));
  bool outerDisabled = false;
  driver_.AnswerDialog(kOuterDialog, [](HWND) { Press('I'); });
  driver_.AnswerDialog(kInnerDialog, [](HWND) { Press('B'); });
  driver_.AnswerDialog("Box", [&](HWND) {
    outerDisabled = !IsWindowEnabled(GetWindow(MessageDriver::CurrentDialog().window, GW_OWNER));
    Press('N');
  });
  driver_.AnswerDialog(kInnerDialog, [](HWND) { Press(VK_ESCAPE); });
  driver_.AnswerDialog(kOuterDialog, [](HWND) { Press(VK_RETURN); });
  EXPECT_EQ(DialogBox(kOuterDialog, owner_, NestingProc), IDOK);
  EXPECT_EQ(driver_.mismatch(), "");
  EXPECT_EQ(driver_.pendingAnswers(), 0u);
  EXPECT_TRUE(outerDisabled);
  EXPECT_EQ(
      commands,
      (Commands{
          {kCheck, IDNO}, {IDCANCEL, BN_CLICKED}, {kInnerDialog, IDCANCEL}, {IDOK, BN_CLICKED}}));
}

TEST_F(DialogTest, ADialogThatNoOneAnswersFailsTheTestInsteadOfHanging) {
  EXPECT_EQ(DialogBox(kWalkDialog, owner_, RecordingProc), 0);
  EXPECT_TRUE(driver_.starved());
}

TEST_F(DialogTest, AnAnswerForAnotherDialogIsAMismatch) {
  driver_.AnswerDialog(kOuterDialog, [](HWND) { Press(VK_RETURN); });
  EXPECT_EQ(DialogBox(kWalkDialog, owner_, RecordingProc), 0);
  EXPECT_NE(driver_.mismatch().find("dialog 500"), std::string::npos);
}

TEST_F(DialogTest, InABatchRunTheDefaultButtonAnswers) {
  const ScopedBatchRun batch;
  EXPECT_EQ(DialogBox(kWalkDialog, owner_, RecordingProc), IDOK);
  EXPECT_EQ(commands, (Commands{{IDOK, BN_CLICKED}}));
}

TEST_F(DialogTest, AnUnknownTemplateAnswersMinusOne) {
  EXPECT_EQ(DialogBox(999, owner_, RecordingProc), -1);
}

struct IntCase {
  const char* name;
  const char* text;
  bool isSigned;
  uint32_t value;
  bool translated;
};

class DialogIntTest : public DialogTest, public ::testing::WithParamInterface<IntCase> {};

TEST_P(DialogIntTest, GetDlgItemIntReadsTheNumberOrFails) {
  const IntCase& c = GetParam();
  const HWND dialog = CreateDialog(kWalkDialog, owner_, RecordingProc);
  ASSERT_NE(dialog, kNoWindow);
  SetDlgItemText(dialog, kNumber, c.text);
  bool translated = !c.translated;
  EXPECT_EQ(GetDlgItemInt(dialog, kNumber, &translated, c.isSigned), c.value);
  EXPECT_EQ(translated, c.translated);
  DestroyWindow(dialog);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DialogIntTest,
    ::testing::Values(IntCase{"Plain", "42", false, 42, true},
                      IntCase{"Blanks", "  7 ", false, 7, true},
                      IntCase{"Negative", "-15", true, static_cast<uint32_t>(-15), true},
                      IntCase{"NegativeUnsignedFails", "-15", false, 0, false},
                      IntCase{"Empty", "", true, 0, false},
                      IntCase{"Letters", "12a", true, 0, false},
                      IntCase{"Plus", "+3", true, 0, false},
                      IntCase{"LargestUnsigned", "4294967295", false, 4294967295u, true},
                      IntCase{"UnsignedOverflow", "4294967296", false, 0, false},
                      IntCase{"SignedOverflow", "2147483648", true, 0, false},
                      IntCase{"SmallestSigned", "-2147483648", true, 0x80000000u, true},
                      IntCase{"FullWidthDigits", "\x82\x50", false, 0, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DialogTest, ItemTextAndNumbersAndChecksGoThroughTheControls) {
  const HWND dialog = CreateDialog(kWalkDialog, owner_, RecordingProc);
  ASSERT_NE(dialog, kNoWindow);
  EXPECT_TRUE(SetDlgItemInt(dialog, kNumber, static_cast<uint32_t>(-3), true));
  char buffer[8];
  EXPECT_EQ(GetDlgItemText(dialog, kNumber, buffer, sizeof(buffer)), 2u);
  EXPECT_STREQ(buffer, "-3");
  SetDlgItemInt(dialog, kNumber, static_cast<uint32_t>(-3), false);
  EXPECT_EQ(GetWindowText(GetDlgItem(dialog, kNumber)), "4294967293");
  // A double-byte character that does not fit whole is left out.
  SetDlgItemText(dialog, kNumber, Sjis("aあい").c_str());
  EXPECT_EQ(GetDlgItemText(dialog, kNumber, buffer, 5), 3u);
  EXPECT_EQ(std::string(buffer), Sjis("aあ"));
  EXPECT_TRUE(CheckRadioButton(dialog, kAlpha, kGamma, kBeta));
  EXPECT_EQ(IsDlgButtonChecked(dialog, kBeta), BST_CHECKED);
  EXPECT_TRUE(CheckRadioButton(dialog, kAlpha, kGamma, kGamma));
  EXPECT_EQ(IsDlgButtonChecked(dialog, kBeta), BST_UNCHECKED);
  EXPECT_TRUE(CheckDlgButton(dialog, kCheck, BST_CHECKED));
  EXPECT_EQ(SendDlgItemMessage(dialog, kCheck, BM_GETCHECK, 0, 0),
            static_cast<LRESULT>(BST_CHECKED));
  // A push button has no check.
  CheckDlgButton(dialog, kPush, BST_CHECKED);
  EXPECT_EQ(IsDlgButtonChecked(dialog, kPush), BST_UNCHECKED);
  EXPECT_EQ(GetDlgCtrlID(GetDlgItem(dialog, kPush)), kPush);
  // Every control writes in the dialog's font.
  EXPECT_EQ(SendDlgItemMessage(dialog, kPush, WM_GETFONT, 0, 0),
            SendMessage(dialog, WM_GETFONT, 0, 0));
  EXPECT_NE(SendMessage(dialog, WM_GETFONT, 0, 0), 0);
  DestroyWindow(dialog);
}

TEST_F(DialogTest, DialogUnitsFollowTheDialogFont) {
  const HWND dialog = CreateDialog(kWalkDialog, owner_, RecordingProc);
  ASSERT_NE(dialog, kNoWindow);
  RECT units{0, 0, 4, 8};
  ASSERT_TRUE(MapDialogRect(dialog, &units));
  const UniqueDC dc = CreateCompatibleDC(nullptr);
  SelectObject(dc.get(), reinterpret_cast<HFONT>(SendMessage(dialog, WM_GETFONT, 0, 0)));
  TEXTMETRICA metrics;
  GetTextMetricsA(dc.get(), &metrics);
  EXPECT_EQ(units.bottom, metrics.tmHeight);
  EXPECT_GT(units.right, 0);
  RECT ok;
  GetWindowRect(GetDlgItem(dialog, IDOK), &ok);
  POINT corner{ok.left, ok.top};
  ScreenToClient(dialog, &corner);
  EXPECT_EQ(corner.x, units.right);
  EXPECT_EQ(corner.y, 120 * metrics.tmHeight / 8);
  DestroyWindow(dialog);
}

// A parent that paints the number label in a colour of its own, as a
// colour sample does.
const COLORREF kSampleColour = RGB(200, 30, 40);
intptr_t SampleProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  static const UniqueBrush sample = CreateSolidBrush(kSampleColour);
  if (message == WM_CTLCOLORSTATIC && ControlOf(lParam) == GetDlgItem(dialog, kNumber))
    return BrushAnswer(sample.get());
  return RecordingProc(dialog, message, wParam, lParam);
}

class ShownDialogTest : public DialogTest {
 protected:
  ShownDialogTest() : dialog_(CreateDialog(kWalkDialog, owner_, SampleProc)) {
    ShowWindow(dialog_, SW_SHOW);
    driver_.RunUntilIdle();
  }
  ~ShownDialogTest() override { DestroyWindow(dialog_); }

  // The control's rectangle in the dialog.
  RECT RectOf(int32_t id) const {
    RECT rect;
    GetWindowRect(GetDlgItem(dialog_, id), &rect);
    POINT corner{rect.left, rect.top};
    ScreenToClient(dialog_, &corner);
    return RECT{corner.x, corner.y, corner.x + rect.Width(), corner.y + rect.Height()};
  }
  COLORREF Pixel(int32_t x, int32_t y) const { return GetPixel(GetWindowSurface(dialog_), x, y); }

  const HWND dialog_;
};

TEST_F(ShownDialogTest, TheDefaultButtonHasTheHeavierFrame) {
  const RECT ok = RectOf(IDOK);
  const RECT cancel = RectOf(IDCANCEL);
  EXPECT_EQ(Pixel(ok.left, ok.top + 2), GetSysColor(COLOR_WINDOWFRAME));
  EXPECT_EQ(Pixel(ok.left + 1, ok.top + 2), GetSysColor(COLOR_WINDOWFRAME));
  EXPECT_EQ(Pixel(cancel.left, cancel.top + 2), GetSysColor(COLOR_WINDOWFRAME));
  EXPECT_EQ(Pixel(cancel.left + 1, cancel.top + 2), GetSysColor(COLOR_BTNFACE));
  // DM_SETDEFID moves the heavier frame.
  SendMessage(dialog_, DM_SETDEFID, IDCANCEL, 0);
  driver_.RunUntilIdle();
  EXPECT_EQ(Pixel(ok.left + 1, ok.top + 2), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(Pixel(cancel.left + 1, cancel.top + 2), GetSysColor(COLOR_WINDOWFRAME));
}

TEST_F(ShownDialogTest, ACheckedBoxIsFilled) {
  const RECT check = RectOf(kCheck);
  const POINT middle{check.left + check.Height() / 2, check.top + check.Height() / 2};
  EXPECT_EQ(Pixel(middle.x, middle.y), GetSysColor(COLOR_WINDOW));
  CheckDlgButton(dialog_, kCheck, BST_CHECKED);
  driver_.RunUntilIdle();
  EXPECT_EQ(Pixel(middle.x, middle.y), GetSysColor(COLOR_BTNTEXT));
  const RECT alpha = RectOf(kAlpha);
  const POINT dot{alpha.left + alpha.Height() / 2, alpha.top + alpha.Height() / 2};
  EXPECT_EQ(Pixel(dot.x, dot.y), GetSysColor(COLOR_WINDOW));
  CheckRadioButton(dialog_, kAlpha, kGamma, kAlpha);
  driver_.RunUntilIdle();
  EXPECT_EQ(Pixel(dot.x, dot.y), GetSysColor(COLOR_BTNTEXT));
}

TEST_F(ShownDialogTest, TheMouseAndBmClickClickAButton) {
  SendDlgItemMessage(dialog_, kPush, BM_CLICK, 0, 0);
  RECT push;
  GetWindowRect(GetDlgItem(dialog_, kPush), &push);
  const POINT middle{(push.left + push.right) / 2, (push.top + push.bottom) / 2};
  mouse_event(MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE, middle.x, middle.y, 0, 0);
  mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
  driver_.RunUntilIdle();
  const bool clickedOnPress = commands.size() > 1;
  mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
  driver_.RunUntilIdle();
  // Released outside the button, a press clicks nothing.
  mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
  mouse_event(MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE, push.right + 5, middle.y, 0, 0);
  mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
  driver_.RunUntilIdle();
  EXPECT_FALSE(clickedOnPress);
  EXPECT_EQ(commands, (Commands{{kPush, BN_CLICKED}, {kPush, BN_CLICKED}}));
  EXPECT_EQ(GetFocus(), GetDlgItem(dialog_, kPush));
}

TEST_F(ShownDialogTest, StaticsPaintInTheColoursTheirParentAnswers) {
  const RECT number = RectOf(kNumber);
  EXPECT_EQ(Pixel(number.right - 1, number.bottom - 1), kSampleColour);
  // Other labels keep the dialog's face.
  const RECT group = RectOf(IDC_STATIC);
  EXPECT_EQ(Pixel(group.right - 1, group.bottom - 1), GetSysColor(COLOR_3DFACE));
  EXPECT_EQ(Pixel(2, 2), GetSysColor(COLOR_3DFACE));
}

// ---- Template checks --------------------------------------------------------

struct CheckCase {
  const char* name;
  std::vector<DialogControlTemplate> controls;
  std::vector<std::string> faults;
};

class DialogTemplateCheckTest : public ::testing::TestWithParam<CheckCase> {};

TEST_P(DialogTemplateCheckTest, TheCheckNamesEachFault) {
  const CheckCase& c = GetParam();
  EXPECT_EQ(CheckDialogTemplate(DialogTemplate{1, "", 10, 10, "", 9, c.controls}), c.faults);
}

const DialogControlTemplate kOk{IDOK, kButtonClass, BS_DEFPUSHBUTTON | kGroupTab, "OK"};

INSTANTIATE_TEST_SUITE_P(
    Cases, DialogTemplateCheckTest,
    ::testing::Values(CheckCase{"Sound",
                                {{IDC_STATIC, kStaticClass, 0, "a"},
                                 {IDC_STATIC, kStaticClass, 0, "b"},
                                 {10, kEditClass, kGroupTab, ""},
                                 {11, kUpDownClass, 0, ""},
                                 {20, kButtonClass, BS_AUTORADIOBUTTON | kGroupTab, "x"},
                                 {21, kButtonClass, BS_AUTORADIOBUTTON, "y"},
                                 kOk},
                                {}},
                      CheckCase{"TwiceTheSameId",
                                {{10, kEditClass, kTab, ""}, {10, kStaticClass, 0, ""}, kOk},
                                {"id 10 is used twice"}},
                      CheckCase{"UpDownAfterAStatic",
                                {{10, kStaticClass, 0, ""}, {11, kUpDownClass, 0, ""}, kOk},
                                {"control 11 (up-down) does not follow an edit"}},
                      CheckCase{"UpDownFirst",
                                {{11, "MSCTLS_UPDOWN32", 0, ""}, kOk},
                                {"control 11 (up-down) does not follow an edit"}},
                      CheckCase{"RadioGroupNotOpened",
                                {{10, kEditClass, kGroupTab, ""},
                                 {20, kButtonClass, BS_AUTORADIOBUTTON, "x"},
                                 {21, kButtonClass, BS_AUTORADIOBUTTON, "y"},
                                 kOk},
                                {"control 20 opens a radio group without WS_GROUP"}},
                      CheckCase{"RadioGroupNotClosed",
                                {{20, kButtonClass, BS_AUTORADIOBUTTON | kGroupTab, "x"},
                                 {30, kButtonClass, BS_AUTOCHECKBOX | kTab, "c"},
                                 kOk},
                                {"control 30 closes a radio group without WS_GROUP"}},
                      CheckCase{"NoDefault",
                                {{IDOK, kButtonClass, BS_PUSHBUTTON, "OK"}},
                                {"0 default push buttons instead of one"}},
                      CheckCase{"TwoDefaults",
                                {kOk, {IDCANCEL, kButtonClass, BS_DEFPUSHBUTTON, "C"}},
                                {"2 default push buttons instead of one"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DialogTemplateTest, TheTestsOwnTemplateIsSound) {
  EXPECT_EQ(CheckDialogTemplate(WalkTemplate()), std::vector<std::string>{});
}

}  // namespace
