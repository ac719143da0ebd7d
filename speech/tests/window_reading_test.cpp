// What the screen reader hears of our own dialogs: the platform's window
// readings as the recording module receives them.
#include "platform/window_reading.h"

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/button.h"
#include "platform/combo_box.h"
#include "platform/dialog.h"
#include "platform/dialog_template.h"
#include "platform/edit_control.h"
#include "platform/input.h"
#include "platform/list_box.h"
#include "platform/message_box.h"
#include "platform/message_driver.h"
#include "platform/sjis.h"
#include "platform/static_control.h"
#include "platform/synthetic_fonts.h"
#include "platform/up_down.h"
#include "speech_test_support.h"

namespace {

using namespace platform;

constexpr int32_t kReadDialog = 600;
constexpr int32_t kName = 101;
constexpr int32_t kHorizontal = 201;
constexpr int32_t kVertical = 202;
constexpr int32_t kBold = 301;
constexpr DWORD kTab = WS_TABSTOP;
constexpr DWORD kGroupTab = WS_GROUP | WS_TABSTOP;

constexpr int kFocus = reader::kReadFocus;
constexpr int kValue = reader::kReadValue;

DialogTemplate ReadTemplate() {
  return DialogTemplate{
      kReadDialog,
      "文字の設定",
      200,
      140,
      "",
      9,
      {
          {IDC_STATIC, kStaticClass, SS_LEFT, "名前(&N):", 4, 4, 40, 10},
          {kName, kEditClass, ES_AUTOHSCROLL | WS_BORDER | kGroupTab, "山田", 48, 4, 80, 12},
          {IDC_STATIC, kButtonClass, BS_GROUPBOX | WS_GROUP, "向き", 4, 20, 120, 40},
          {kHorizontal, kButtonClass, BS_AUTORADIOBUTTON | kGroupTab, "横書き", 8, 30, 60, 10},
          {kVertical, kButtonClass, BS_AUTORADIOBUTTON, "縦書き", 8, 42, 60, 10},
          {kBold, kButtonClass, BS_AUTOCHECKBOX | kGroupTab, "太字(&B)", 4, 64, 60, 10},
          {IDOK, kButtonClass, BS_DEFPUSHBUTTON | kGroupTab, "OK", 4, 120, 40, 14},
          {IDCANCEL, kButtonClass, BS_PUSHBUTTON | kTab, "キャンセル", 50, 120, 40, 14},
      }};
}

constexpr int32_t kListDialog = 601;
constexpr int32_t kColours = 401;
constexpr int32_t kLines = 402;
constexpr int32_t kCopies = 403;
constexpr int32_t kUpDown = 404;

DialogTemplate ListTemplate() {
  return DialogTemplate{
      kListDialog,
      "色の選択",
      200,
      140,
      "",
      9,
      {
          {IDC_STATIC, kStaticClass, SS_LEFT, "色(&C):", 4, 4, 40, 10},
          {kColours, kListBoxClass, LBS_NOTIFY | WS_BORDER | kGroupTab, "", 48, 4, 80, 40},
          {IDC_STATIC, kStaticClass, SS_LEFT, "線種:", 4, 50, 40, 10},
          {kLines, kComboBoxClass, CBS_DROPDOWNLIST | kGroupTab, "", 48, 50, 80, 60},
          {IDC_STATIC, kStaticClass, SS_LEFT, "部数:", 4, 70, 40, 10},
          {kCopies, kEditClass, WS_BORDER | kGroupTab, "1", 48, 70, 30, 12},
          {kUpDown, kUpDownClass, UDS_AUTOBUDDY | UDS_ARROWKEYS | UDS_SETBUDDYINT, "", 78, 70, 10,
           12},
          {IDOK, kButtonClass, BS_DEFPUSHBUTTON | kGroupTab, "OK", 4, 120, 40, 14},
      }};
}

intptr_t ListProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  if (message == WM_INITDIALOG) {
    for (const char* item : {"赤", "緑", "青"}) {
      const std::string text = Utf8ToSjis(item).value();
      SendDlgItemMessage(dialog, kColours, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
      SendDlgItemMessage(dialog, kLines, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    SendDlgItemMessage(dialog, kUpDown, UDM_SETRANGE, 0, MakeLParam(9, 1));
    SendDlgItemMessage(dialog, kUpDown, UDM_SETPOS, 0, 1);
    return 1;
  }
  if (message == WM_COMMAND && LowWord(wParam) == IDCANCEL) EndDialog(dialog, IDCANCEL);
  return message == WM_COMMAND ? 1 : 0;
}

intptr_t ReadProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  if (message == WM_INITDIALOG) {
    CheckRadioButton(dialog, kHorizontal, kVertical, kHorizontal);
    return 1;
  }
  if (message != WM_COMMAND) return 0;
  const auto id = static_cast<int32_t>(LowWord(wParam));
  if (id == IDOK || id == IDCANCEL) EndDialog(dialog, id);
  return 1;
}

void Press(BYTE vk) {
  keybd_event(vk, 0, 0, 0);
  keybd_event(vk, 0, KEYEVENTF_KEYUP, 0);
}

// A reading as the recording module logs it, from its UTF-8 text.
std::string Reading(const char* utf8, int event) {
  return "VXTRReadWindow " + speech_test::Hex(Utf8ToSjis(utf8).value()) + " " +
         std::to_string(event);
}

class WindowReadingTest : public speech_test::SpeechTest {
 protected:
  WindowReadingTest() {
    ResetInput();
    EXPECT_TRUE(RegisterDialogTemplate(ReadTemplate()));
    EXPECT_EQ(LoadReaderModules() & kReaderModuleMissing, 0);
  }
  ~WindowReadingTest() override { ResetInput(); }

  void SetSpeechSwitch(bool on) {
    SetReaderStatus(kReaderSpeechSwitch.category, kReaderSpeechSwitch.item, on ? 1 : 0);
  }

  // Runs the dialog, each step given when it waits.
  void Walk(std::vector<std::function<void(HWND)>> steps) {
    for (auto& step : steps) driver_.AnswerDialog(kReadDialog, std::move(step));
    DialogBox(kReadDialog, kNoWindow, ReadProc);
    EXPECT_FALSE(driver_.starved());
    EXPECT_EQ(driver_.pendingAnswers(), 0u);
  }

  // What the reader was given to read of our windows, in order.
  std::vector<std::string> Readings() const {
    std::vector<std::string> readings;
    for (const std::string& line : reader_.Calls()) {
      if (line.rfind("VXTRReadWindow", 0) == 0) readings.push_back(line);
    }
    return readings;
  }

  speech_test::RecordingReader reader_;
  SyntheticFontService fonts_;
  ScopedFontService scopedFonts_{fonts_};
  MessageDriver driver_{clock_, 100};
};

TEST_F(WindowReadingTest, AKeyboardWalkReadsTheCaptionThenEachControlInTabOrder) {
  SetSpeechSwitch(true);
  Walk({[](HWND) { Press(VK_TAB); }, [](HWND) { Press(VK_DOWN); }, [](HWND) { Press(VK_TAB); },
        [](HWND) { Press(VK_TAB); }, [](HWND) { Press(VK_TAB); }, [](HWND) { Press(VK_TAB); },
        [](HWND) { Press(VK_ESCAPE); }});
  EXPECT_EQ(Readings(), (std::vector<std::string>{
                            Reading("文字の設定 ダイアログ 名前(N): エディット 山田", kFocus),
                            Reading("横書き ラジオボタン チェック", kFocus),
                            Reading("縦書き ラジオボタン チェックなし", kFocus),
                            Reading("チェック", kValue),
                            Reading("太字(B) チェックボックス チェックなし", kFocus),
                            Reading("OK ボタン 既定", kFocus),
                            Reading("キャンセル ボタン", kFocus),
                            Reading("名前(N): エディット 山田", kFocus),
                        }));
}

TEST_F(WindowReadingTest, ADisabledControlGivenTheFocusIsReadAsUnavailable) {
  SetSpeechSwitch(true);
  Walk({[](HWND dialog) {
          const HWND bold = GetDlgItem(dialog, kBold);
          EnableWindow(bold, false);
          SetFocus(bold);
        },
        [](HWND) { Press(VK_ESCAPE); }});
  EXPECT_EQ(Readings(), (std::vector<std::string>{
                            Reading("文字の設定 ダイアログ 名前(N): エディット 山田", kFocus),
                            Reading("太字(B) チェックボックス 利用不可 チェックなし", kFocus),
                        }));
}

TEST_F(WindowReadingTest, TheCaptionIsReadAgainEachTimeTheDialogOpens) {
  SetSpeechSwitch(true);
  Walk({[](HWND) { Press(VK_ESCAPE); }});
  Walk({[](HWND) { Press(VK_ESCAPE); }});
  const std::string opened = Reading("文字の設定 ダイアログ 名前(N): エディット 山田", kFocus);
  EXPECT_EQ(Readings(), (std::vector<std::string>{opened, opened}));
}

TEST_F(WindowReadingTest, ValueChangesOfTheFocusedControlAreRead) {
  SetSpeechSwitch(true);
  Walk({[](HWND) { Press(VK_END); },
        // Sent at once, so after the key above has been handled.
        [](HWND) { SendMessage(GetFocus(), WM_CHAR, 'A', 0); },
        [](HWND) {
          Press(VK_HOME);
          Press(VK_RIGHT);
        },
        [](HWND dialog) {
          // Changed while another control has the focus: not read.
          CheckDlgButton(dialog, kBold, BST_CHECKED);
          SetFocus(GetDlgItem(dialog, kBold));
          Press(VK_SPACE);
        },
        [](HWND) { Press(VK_ESCAPE); }});
  EXPECT_EQ(Readings(), (std::vector<std::string>{
                            Reading("文字の設定 ダイアログ 名前(N): エディット 山田", kFocus),
                            Reading("空白", kValue),
                            Reading("山田A", kValue),
                            Reading("山", kValue),
                            Reading("田", kValue),
                            Reading("太字(B) チェックボックス チェック", kFocus),
                            Reading("チェックなし", kValue),
                        }));
}

TEST_F(WindowReadingTest, AMessageBoxReadsItsCaptionTextAndCurrentButton) {
  SetSpeechSwitch(true);
  const std::string caption = Utf8ToSjis("確認").value();
  const std::string text = Utf8ToSjis("保存しますか").value();
  driver_.AnswerDialog(kReadDialog, [&](HWND dialog) {
    MessageBox(dialog, text.c_str(), caption.c_str(), MB_YESNO);
  });
  driver_.AnswerDialog(caption, [](HWND) { Press(VK_TAB); });
  driver_.AnswerDialog(caption, [](HWND) { Press(VK_RETURN); });
  driver_.AnswerDialog(kReadDialog, [](HWND) { Press(VK_ESCAPE); });
  DialogBox(kReadDialog, kNoWindow, ReadProc);
  EXPECT_EQ(driver_.pendingAnswers(), 0u);
  const std::string opened = Reading("文字の設定 ダイアログ 名前(N): エディット 山田", kFocus);
  EXPECT_EQ(Readings(), (std::vector<std::string>{
                            opened,
                            Reading("確認 ダイアログ 保存しますか はい(Y) ボタン", kFocus),
                            Reading("いいえ(N) ボタン", kValue),
                            opened,
                        }));
}

TEST_F(WindowReadingTest, ListsReadTheItemTheUserMovesToAndAnUpDownItsBuddysNumber) {
  SetSpeechSwitch(true);
  EXPECT_TRUE(RegisterDialogTemplate(ListTemplate()));
  for (const BYTE key : {VK_DOWN, VK_TAB, VK_DOWN, VK_DOWN, VK_TAB, VK_UP, VK_ESCAPE}) {
    driver_.AnswerDialog(kListDialog, [key](HWND) { Press(key); });
  }
  DialogBox(kListDialog, kNoWindow, ListProc);
  EXPECT_EQ(driver_.pendingAnswers(), 0u);
  EXPECT_EQ(Readings(), (std::vector<std::string>{
                            Reading("色の選択 ダイアログ 色(C): リスト 赤 1/3", kFocus),
                            Reading("緑 2/3", kValue),
                            Reading("線種: コンボボックス", kFocus),
                            Reading("赤 1/3", kValue),
                            Reading("緑 2/3", kValue),
                            Reading("部数: エディット 1", kFocus),
                            Reading("2", kValue),
                        }));
}

TEST_F(WindowReadingTest, NothingIsReadWhileTheSpeechSwitchIsOff) {
  SetSpeechSwitch(false);
  Walk({[](HWND) {
          Press(VK_TAB);
          Press(VK_DOWN);
        },
        [](HWND) { Press(VK_ESCAPE); }});
  EXPECT_EQ(Readings(), std::vector<std::string>{});
}

TEST_F(WindowReadingTest, NothingIsHandedOverOnceTheReaderIsUnloaded) {
  SetSpeechSwitch(true);
  UnloadReaderModules();
  Walk({[](HWND) { Press(VK_TAB); }, [](HWND) { Press(VK_ESCAPE); }});
  EXPECT_EQ(Readings(), std::vector<std::string>{});
}

}  // namespace
