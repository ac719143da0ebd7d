#include "framework/dialog.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/button.h"
#include "framework/tests/framework_test_support.h"
#include "platform/clock.h"
#include "platform/dialog_template.h"
#include "platform/input.h"
#include "platform/message_driver.h"
#include "platform/synthetic_fonts.h"

namespace framework {

namespace {

using platform::BS_AUTOCHECKBOX;
using platform::BS_DEFPUSHBUTTON;
using platform::BS_PUSHBUTTON;
using platform::IDCANCEL;
using platform::IDOK;
using platform::WS_GROUP;
using platform::WS_TABSTOP;

constexpr UINT kSettingsDialog = 600;
constexpr int32_t kOption = 10;
constexpr int32_t kApply = 11;

void Press(platform::BYTE vk) {
  platform::keybd_event(vk, 0, 0, 0);
  platform::keybd_event(vk, 0, platform::KEYEVENTF_KEYUP, 0);
}

class SettingsDialog : public CDialog {
  DECLARE_MESSAGE_MAP()

 public:
  SettingsDialog() : CDialog(kSettingsDialog) {}

  bool focusFirst = true;
  bool optionAtOk = false;

 protected:
  bool OnInitDialog() override {
    Seen().push_back("init");
    option_.SubclassWindow(GetDlgItem(kOption)->GetSafeHwnd());
    option_.SetCheck(platform::BST_CHECKED);
    if (!focusFirst) GotoDlgCtrl(GetDlgItem(kApply));
    return focusFirst;
  }
  void OnOK() override {
    optionAtOk = option_.GetCheck() == platform::BST_CHECKED;
    Seen().push_back("ok");
    CDialog::OnOK();
  }
  void OnCancel() override {
    Seen().push_back("cancel");
    CDialog::OnCancel();
  }
  void OnApply() { Seen().push_back("apply"); }

 private:
  CButton option_;
};

BEGIN_MESSAGE_MAP(SettingsDialog, CDialog)
OnCommandId(kApply, &SettingsDialog::OnApply), END_MESSAGE_MAP()

                                                   class DialogObjectTest : public WindowTest {
 protected:
  DialogObjectTest() {
    platform::ResetInput();
    platform::RegisterDialogTemplate(platform::DialogTemplate{
        static_cast<int32_t>(kSettingsDialog),
        "設定",
        120,
        60,
        "",
        9,
        {{kOption, platform::kButtonClass, BS_AUTOCHECKBOX | WS_GROUP | WS_TABSTOP, "&Option", 4, 4,
          80, 10},
         {IDOK, platform::kButtonClass, BS_DEFPUSHBUTTON | WS_GROUP | WS_TABSTOP, "OK", 4, 40, 30,
          14},
         {IDCANCEL, platform::kButtonClass, BS_PUSHBUTTON | WS_TABSTOP, "Cancel", 40, 40, 30, 14},
         {kApply, platform::kButtonClass, BS_PUSHBUTTON | WS_TABSTOP, "&Apply", 76, 40, 30, 14}}});
  }
  ~DialogObjectTest() override { platform::ResetInput(); }

  static int32_t FocusId() { return platform::GetDlgCtrlID(platform::GetFocus()); }

  platform::FakeClock clock_;
  platform::ScopedClock scopedClock_{clock_};
  platform::SyntheticFontService fonts_;
  platform::ScopedFontService scopedFonts_{fonts_};
  platform::MessageDriver driver_{clock_, 100};
};

TEST_F(DialogObjectTest, EnterRunsOnOkAfterOnInitDialogAndTheCommandsOfItsMap) {
  SettingsDialog dialog;
  int32_t focus = 0;
  driver_.AnswerDialog(static_cast<int32_t>(kSettingsDialog), [&](HWND) {
    focus = FocusId();
    Press('A');
    Press(platform::VK_SPACE);
  });
  driver_.AnswerDialog(static_cast<int32_t>(kSettingsDialog),
                       [](HWND) { Press(platform::VK_RETURN); });
  EXPECT_EQ(dialog.DoModal(), IDOK);
  EXPECT_EQ(focus, kOption);
  EXPECT_EQ(Seen(), (std::vector<std::string>{"init", "apply", "ok"}));
  // Space toggled the box OnInitDialog had checked.
  EXPECT_FALSE(dialog.optionAtOk);
  EXPECT_EQ(dialog.GetSafeHwnd(), platform::kNoWindow);
}

TEST_F(DialogObjectTest, EscapeAndCloseRunOnCancel) {
  SettingsDialog dialog;
  driver_.AnswerDialog(static_cast<int32_t>(kSettingsDialog),
                       [](HWND) { Press(platform::VK_ESCAPE); });
  EXPECT_EQ(dialog.DoModal(), IDCANCEL);
  SettingsDialog closed;
  driver_.AnswerDialog(static_cast<int32_t>(kSettingsDialog), [](HWND window) {
    platform::PostMessage(window, platform::WM_CLOSE, 0, 0);
  });
  EXPECT_EQ(closed.DoModal(), IDCANCEL);
  EXPECT_EQ(Seen(), (std::vector<std::string>{"init", "cancel", "init", "cancel"}));
}

TEST_F(DialogObjectTest, OnInitDialogAnsweringFalseKeepsItsFocusAndTheDialogMovesIt) {
  SettingsDialog dialog;
  dialog.focusFirst = false;
  std::vector<int32_t> focus;
  driver_.AnswerDialog(static_cast<int32_t>(kSettingsDialog), [&](HWND) {
    focus.push_back(FocusId());
    Press(platform::VK_TAB);
  });
  driver_.AnswerDialog(static_cast<int32_t>(kSettingsDialog), [&](HWND) {
    focus.push_back(FocusId());
    Press(platform::VK_ESCAPE);
  });
  dialog.DoModal();
  EXPECT_EQ(focus, (std::vector<int32_t>{kApply, kOption}));
}

// A control whose object keeps Tab from the dialog before IsDialogMessage sees it.
class TabEatingButton : public CButton {
 public:
  bool PreTranslateMessage(MSG* msg) override {
    if (msg->message != platform::WM_KEYDOWN || msg->wParam != platform::VK_TAB) return false;
    Seen().push_back("tab kept");
    return true;
  }
};

class TabEatingDialog : public CDialog {
 public:
  TabEatingDialog() : CDialog(kSettingsDialog) {}

 protected:
  bool OnInitDialog() override {
    option_.SubclassWindow(GetDlgItem(kOption)->GetSafeHwnd());
    return true;
  }

 private:
  TabEatingButton option_;
};

TEST_F(DialogObjectTest, TheControlsObjectsSeeTheirMessagesBeforeTheDialog) {
  TabEatingDialog dialog;
  int32_t focus = 0;
  driver_.AnswerDialog(static_cast<int32_t>(kSettingsDialog),
                       [](HWND) { Press(platform::VK_TAB); });
  driver_.AnswerDialog(static_cast<int32_t>(kSettingsDialog), [&](HWND) {
    focus = FocusId();
    Press(platform::VK_ESCAPE);
  });
  EXPECT_EQ(dialog.DoModal(), IDCANCEL);
  EXPECT_EQ(focus, kOption);
  EXPECT_EQ(Seen(), (std::vector<std::string>{"tab kept"}));
}

TEST_F(DialogObjectTest, AnUnknownTemplateIsNoDialog) {
  CDialog dialog(999);
  EXPECT_EQ(dialog.DoModal(), -1);
}

}  // namespace

}  // namespace framework
