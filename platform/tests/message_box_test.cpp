#include "platform/message_box.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/batch_run.h"
#include "platform/clock.h"
#include "platform/control_notify.h"
#include "platform/input.h"
#include "platform/message_box_layout.h"
#include "platform/message_driver.h"
#include "platform/paint.h"
#include "platform/sjis.h"
#include "platform/synthetic_fonts.h"
#include "platform/system_info.h"
#include "platform/window.h"
#include "window_test_support.h"

namespace {

using namespace platform;

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

using L = MessageBoxLayout;

class MessageBoxTest : public ::testing::Test {
 protected:
  MessageBoxTest() {
    ResetWindowMessages();
    ResetInput();
    RegisterTestClass("Owner", DefWindowProc);
    owner_ =
        CreateWindowEx(0, "Owner", "Owner", WS_VISIBLE, 100, 100, 400, 300, kNoWindow, 0, nullptr);
    SetActiveWindow(owner_);
  }
  ~MessageBoxTest() override {
    ResetWindowMessages();
    ResetInput();
  }

  // Shows a box captioned `caption_` and answers it with `answer` once it waits.
  int Show(UINT type, const std::function<void(HWND)>& answer, const char* text = "OK?") {
    driver_.AnswerDialog(caption_, answer);
    return MessageBox(owner_, Sjis(text).c_str(), caption_.c_str(), type);
  }

  FakeClock clock_;
  ScopedClock scopedClock_{clock_};
  SyntheticFontService fonts_;
  ScopedFontService scopedFonts_{fonts_};
  RecordingAudioBackend audio_;
  ScopedAudioBackend scopedAudio_{audio_};
  MessageDriver driver_{clock_, 100};
  HWND owner_ = kNoWindow;
  const std::string caption_ = Sjis("確認～ｶﾀｶﾅ");
};

struct KeyCase {
  const char* name;
  UINT type;
  // Typed once the box waits; Shift+ when negative.
  std::vector<int> keys;
  int expected;
};

class MessageBoxKeyTest : public MessageBoxTest, public ::testing::WithParamInterface<KeyCase> {};

TEST_P(MessageBoxKeyTest, TheKeysChooseTheAnswer) {
  const KeyCase& c = GetParam();
  const int answer = Show(c.type, [&c](HWND) {
    for (const int key : c.keys) {
      if (key < 0) {
        PressWithShift(static_cast<BYTE>(-key));
      } else {
        Press(static_cast<BYTE>(key));
      }
    }
  });
  EXPECT_EQ(answer, c.expected);
  EXPECT_FALSE(driver_.starved());
  EXPECT_EQ(driver_.mismatch(), "");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MessageBoxKeyTest,
    ::testing::Values(
        KeyCase{"OkEnter", MB_OK, {VK_RETURN}, IDOK}, KeyCase{"OkEscape", MB_OK, {VK_ESCAPE}, IDOK},
        KeyCase{"OkCancelEnter", MB_OKCANCEL, {VK_RETURN}, IDOK},
        KeyCase{"OkCancelEscape", MB_OKCANCEL, {VK_ESCAPE}, IDCANCEL},
        KeyCase{"OkCancelTabEnter", MB_OKCANCEL, {VK_TAB, VK_RETURN}, IDCANCEL},
        KeyCase{"OkCancelRightSpace", MB_OKCANCEL, {VK_RIGHT, VK_SPACE}, IDCANCEL},
        KeyCase{"OkCancelDefault2", MB_OKCANCEL | MB_DEFBUTTON2, {VK_RETURN}, IDCANCEL},
        KeyCase{"YesNoEnter", MB_YESNO, {VK_RETURN}, IDYES},
        KeyCase{"YesNoEscapeDoesNothing", MB_YESNO, {VK_ESCAPE, VK_RETURN}, IDYES},
        KeyCase{"YesNoMnemonicN", MB_YESNO, {'N'}, IDNO},
        KeyCase{"YesNoDefault2", MB_YESNO | MB_DEFBUTTON2, {VK_RETURN}, IDNO},
        KeyCase{"YesNoDefault3IsTheFirst", MB_YESNO | MB_DEFBUTTON3, {VK_RETURN}, IDYES},
        KeyCase{"YesNoLeftWraps", MB_YESNO, {VK_LEFT, VK_RETURN}, IDNO},
        KeyCase{"YesNoCancelEnter", MB_YESNOCANCEL, {VK_RETURN}, IDYES},
        KeyCase{"YesNoCancelEscape", MB_YESNOCANCEL, {VK_ESCAPE}, IDCANCEL},
        KeyCase{"YesNoCancelDefault2", MB_YESNOCANCEL | MB_DEFBUTTON2, {VK_RETURN}, IDNO},
        KeyCase{"YesNoCancelDefault3", MB_YESNOCANCEL | MB_DEFBUTTON3, {VK_RETURN}, IDCANCEL},
        KeyCase{"YesNoCancelMnemonicY", MB_YESNOCANCEL | MB_DEFBUTTON3, {'Y'}, IDYES},
        KeyCase{"YesNoCancelShiftTabWraps", MB_YESNOCANCEL, {-VK_TAB, VK_RETURN}, IDCANCEL},
        KeyCase{"YesNoCancelDownDown", MB_YESNOCANCEL, {VK_DOWN, VK_DOWN, VK_SPACE}, IDCANCEL}),
    [](const auto& info) { return std::string(info.param.name); });

struct CommandCase {
  const char* name;
  UINT type;
  // Posted in turn, each when the box waits again.
  std::vector<int> commands;
  int expected;
};

class MessageBoxCommandTest : public MessageBoxTest,
                              public ::testing::WithParamInterface<CommandCase> {};

TEST_P(MessageBoxCommandTest, AScriptAnswersWithAButtonsId) {
  const CommandCase& c = GetParam();
  for (const int command : c.commands) {
    driver_.AnswerDialog(caption_, [command](HWND box) {
      PostMessage(box, WM_COMMAND, MakeWParam(static_cast<UINT>(command), 0), 0);
    });
  }
  EXPECT_EQ(MessageBox(owner_, "text", caption_.c_str(), c.type), c.expected);
  EXPECT_EQ(driver_.pendingAnswers(), 0u);
  EXPECT_EQ(driver_.mismatch(), "");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MessageBoxCommandTest,
    ::testing::Values(CommandCase{"Ok", MB_OK, {IDOK}, IDOK},
                      CommandCase{"CancelOnOkIsOk", MB_OK, {IDCANCEL}, IDOK},
                      CommandCase{"OkCancel", MB_OKCANCEL, {IDCANCEL}, IDCANCEL},
                      CommandCase{"YesNo", MB_YESNO, {IDNO}, IDNO},
                      CommandCase{"YesNoTakesNoCancel", MB_YESNO, {IDCANCEL, IDOK, IDYES}, IDYES},
                      CommandCase{"YesNoCancel", MB_YESNOCANCEL, {IDNO}, IDNO},
                      CommandCase{"YesNoCancelCancel", MB_YESNOCANCEL, {IDCANCEL}, IDCANCEL}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(MessageBoxTest, TheOwnerIsDisabledWhileTheBoxRunsAndActiveAgainAfter) {
  HWND box = kNoWindow;
  bool ownerEnabled = true;
  HWND active = kNoWindow;
  const int answer = Show(MB_OKCANCEL, [&](HWND shown) {
    box = shown;
    ownerEnabled = IsWindowEnabled(owner_);
    active = GetActiveWindow();
    EXPECT_EQ(GetWindow(shown, GW_OWNER), owner_);
    EXPECT_EQ(GetFocus(), shown);
    std::string className;
    EXPECT_TRUE(GetClassName(shown, &className));
    EXPECT_EQ(className, kMessageBoxClass);
    Press(VK_RETURN);
  });
  EXPECT_EQ(answer, IDOK);
  EXPECT_FALSE(ownerEnabled);
  EXPECT_EQ(active, box);
  EXPECT_FALSE(IsWindow(box));
  EXPECT_TRUE(IsWindowEnabled(owner_));
  EXPECT_EQ(GetActiveWindow(), owner_);
  EXPECT_EQ(GetFocus(), owner_);
}

TEST_F(MessageBoxTest, AChildOwnerStandsForItsTopLevelWindowAndGetsItsFocusBack) {
  RegisterTestClass("Child", DefWindowProc);
  const HWND child =
      CreateWindowEx(0, "Child", "", WS_CHILD | WS_VISIBLE, 0, 0, 50, 20, owner_, 1, nullptr);
  SetFocus(child);
  bool ownerEnabled = true;
  driver_.AnswerDialog(caption_, [&](HWND) {
    ownerEnabled = IsWindowEnabled(owner_);
    Press(VK_ESCAPE);
  });
  EXPECT_EQ(MessageBox(child, "text", caption_.c_str(), MB_OK), IDOK);
  EXPECT_FALSE(ownerEnabled);
  EXPECT_TRUE(IsWindowEnabled(owner_));
  EXPECT_EQ(GetFocus(), child);
}

TEST_F(MessageBoxTest, AnOwnerDisabledBeforeStaysDisabled) {
  EnableWindow(owner_, false);
  Show(MB_OK, [](HWND) { Press(VK_RETURN); });
  EXPECT_FALSE(IsWindowEnabled(owner_));
}

TEST_F(MessageBoxTest, ABoxWithoutOwnerGivesTheActivationBack) {
  driver_.AnswerDialog(Sjis("エラー"), [](HWND) { Press(VK_RETURN); });
  EXPECT_EQ(MessageBox(kNoWindow, "text", nullptr, MB_OK), IDOK) << "no caption shows エラー";
  EXPECT_EQ(driver_.mismatch(), "");
  EXPECT_EQ(GetActiveWindow(), owner_);
}

TEST_F(MessageBoxTest, AClickOnAButtonChoosesIt) {
  // The buttons of MB_YESNO with the synthetic fixed font: two of the
  // minimum width, centred under a short text.
  const int answer = Show(MB_YESNO, [](HWND box) {
    RECT rect;
    GetWindowRect(box, &rect);
    const int32_t rowWidth = 2 * L::kMinButtonWidth + L::kButtonSpacing;
    const int32_t secondLeft =
        (rect.Width() - rowWidth) / 2 + L::kMinButtonWidth + L::kButtonSpacing;
    const POINT second{rect.left + secondLeft + 10, rect.bottom - L::kMargin - 5};
    mouse_event(MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE, second.x, second.y, 0, 0);
    mouse_event(MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_LEFTDOWN, second.x, second.y, 0, 0);
    mouse_event(MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_LEFTUP, second.x, second.y, 0, 0);
  });
  EXPECT_EQ(answer, IDNO);
}

struct BatchCase {
  const char* name;
  UINT type;
  int expected;
};

class MessageBoxBatchTest : public MessageBoxTest,
                            public ::testing::WithParamInterface<BatchCase> {};

TEST_P(MessageBoxBatchTest, ABatchRunAnswersTheDefaultButtonWithoutShowing) {
  const BatchCase& c = GetParam();
  const ScopedBatchRun batch;
  ::testing::internal::CaptureStderr();
  const int answer = MessageBox(owner_, Sjis("保存しますか？").c_str(), caption_.c_str(), c.type);
  const std::string written = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(answer, c.expected);
  EXPECT_EQ(written, "確認～ｶﾀｶﾅ: 保存しますか？\n");
  EXPECT_TRUE(audio_.Streams().empty()) << "a box that does not show does not beep";
  EXPECT_EQ(GetActiveWindow(), owner_);
  EXPECT_TRUE(IsWindowEnabled(owner_));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MessageBoxBatchTest,
    ::testing::Values(BatchCase{"Ok", MB_OK | MB_ICONHAND, IDOK},
                      BatchCase{"OkCancelDefault2", MB_OKCANCEL | MB_DEFBUTTON2, IDCANCEL},
                      BatchCase{"YesNo", MB_YESNO | MB_ICONQUESTION, IDYES},
                      BatchCase{"YesNoCancelDefault2", MB_YESNOCANCEL | MB_DEFBUTTON2, IDNO},
                      BatchCase{"YesNoCancelDefault3", MB_YESNOCANCEL | MB_DEFBUTTON3, IDCANCEL}),
    [](const auto& info) { return std::string(info.param.name); });

// Neither a display nor a script: nobody could ever answer a shown box.
TEST(MessageBoxWithoutAnyoneTest, AHeadlessBoxWithoutAScriptAnswersItsDefault) {
  ResetWindowMessages();
  RecordingAudioBackend audio;
  const ScopedAudioBackend scopedAudio(audio);
  ASSERT_FALSE(HasIdleHook());
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(MessageBox(kNoWindow, "text", "caption", MB_YESNO | MB_DEFBUTTON2), IDNO);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "caption: text\n");
  EXPECT_TRUE(audio.Streams().empty());
  EXPECT_EQ(GetTopWindow(kNoWindow), kNoWindow) << "no box was made";
}

TEST_F(MessageBoxTest, TheBatchSettingComesBackAfterItsScope) {
  EXPECT_FALSE(IsBatchRun());
  {
    const ScopedBatchRun batch;
    EXPECT_TRUE(IsBatchRun());
  }
  EXPECT_FALSE(IsBatchRun());
}

TEST_F(MessageBoxTest, AnUnknownButtonSetShowsNothingAndAnswersZero) {
  constexpr UINT kAbortRetryIgnore = 0x02;
  EXPECT_EQ(MessageBox(owner_, "text", "caption", kAbortRetryIgnore), 0);
  EXPECT_TRUE(audio_.Streams().empty());
  EXPECT_EQ(GetActiveWindow(), owner_);
}

TEST_F(MessageBoxTest, QuittingEndsTheBoxWithoutAnAnswer) {
  const int answer = Show(MB_YESNO, [](HWND) { PostQuitMessage(3); });
  EXPECT_EQ(answer, 0);
  EXPECT_TRUE(IsWindowEnabled(owner_));
  MSG msg;
  ASSERT_TRUE(PeekMessage(&msg, kNoWindow, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, WM_QUIT) << "posted again for the outer loop";
}

struct BeepCase {
  const char* name;
  UINT icon;
};

class MessageBoxBeepTest : public MessageBoxTest, public ::testing::WithParamInterface<BeepCase> {};

TEST_P(MessageBoxBeepTest, TheBoxBeepsForItsIcon) {
  const BeepCase& c = GetParam();
  Show(MB_OK | c.icon, [](HWND) { Press(VK_RETURN); });
  RecordingAudioBackend reference;
  {
    const ScopedAudioBackend scoped(reference);
    MessageBeep(c.icon);
  }
  const auto streams = audio_.Streams();
  ASSERT_EQ(streams.size(), 1u);
  EXPECT_EQ(streams[0].samples, reference.Streams().at(0).samples);
}

INSTANTIATE_TEST_SUITE_P(Cases, MessageBoxBeepTest,
                         ::testing::Values(BeepCase{"None", MB_OK}, BeepCase{"Stop", MB_ICONSTOP},
                                           BeepCase{"Question", MB_ICONQUESTION},
                                           BeepCase{"Exclamation", MB_ICONEXCLAMATION},
                                           BeepCase{"Information", MB_ICONINFORMATION}),
                         [](const auto& info) { return std::string(info.param.name); });

struct PixelCase {
  const char* name;
  UINT type;
  POINT point;
  COLORREF colour;
};

class MessageBoxPixelTest : public MessageBoxTest,
                            public ::testing::WithParamInterface<PixelCase> {};

// With the synthetic fixed face at 12 pixels a double-byte glyph is a
// block over the middle of its 12-pixel advance, above the baseline.
TEST_P(MessageBoxPixelTest, TheBoxDrawsItsTextIconAndFace) {
  const PixelCase& c = GetParam();
  COLORREF seen = CLR_INVALID;
  Show(
      c.type,
      [&](HWND box) {
        seen = GetPixel(GetWindowSurface(box), c.point.x, c.point.y);
        Press(VK_RETURN);
      },
      "保存");
  EXPECT_EQ(seen, c.colour);
}

constexpr int32_t kIconCentre = L::kMargin + 16;
INSTANTIATE_TEST_SUITE_P(
    Cases, MessageBoxPixelTest,
    ::testing::Values(
        PixelCase{"TextWithoutIcon", MB_OK, {L::kMargin + 6, L::kMargin + 8}, RGB(0, 0, 0)},
        PixelCase{"SecondCharacter", MB_OK, {L::kMargin + 18, L::kMargin + 8}, RGB(0, 0, 0)},
        PixelCase{
            "BetweenCharacters", MB_OK, {L::kMargin + 12, L::kMargin + 8}, RGB(192, 192, 192)},
        PixelCase{"Face", MB_OK, {2, 2}, RGB(192, 192, 192)},
        PixelCase{"TextBesideIcon",
                  MB_OK | MB_ICONHAND,
                  {L::kMargin + 32 + L::kIconGap + 6, 22 + 8},
                  RGB(0, 0, 0)},
        PixelCase{"StopMark", MB_OK | MB_ICONSTOP, {kIconCentre, kIconCentre + 12}, RGB(255, 0, 0)},
        PixelCase{"QuestionMark",
                  MB_OK | MB_ICONQUESTION,
                  {kIconCentre, kIconCentre + 12},
                  RGB(0, 0, 255)},
        PixelCase{"ExclamationMark",
                  MB_OK | MB_ICONEXCLAMATION,
                  {kIconCentre, kIconCentre + 12},
                  RGB(255, 255, 0)},
        PixelCase{"SignOnTheMark",
                  MB_OK | MB_ICONINFORMATION,
                  {kIconCentre, kIconCentre},
                  RGB(255, 255, 255)}),
    [](const auto& info) { return std::string(info.param.name); });

class MessageBoxLayoutTest : public MessageBoxTest {
 protected:
  MessageBoxLayoutTest() {
    LOGFONTA logFont;
    logFont.lfHeight = -12;
    std::string(kSyntheticFixedFace).copy(logFont.lfFaceName, sizeof(logFont.lfFaceName) - 1);
    font_ = CreateFontIndirectA(logFont);
    dc_ = CreateImageDC(10, 10);
    SelectObject(dc_.get(), font_.get());
  }

  UniqueFont font_;
  UniqueDC dc_;
};

TEST_F(MessageBoxLayoutTest, TheButtonRowIsCentredBelowTheText) {
  const MessageBoxLayout layout =
      LayOutMessageBox(dc_.get(), "OK?", ButtonsOf(MB_YESNOCANCEL), false);
  // キャンセル is five characters of 12 pixels and its padding: one pixel over the minimum.
  const int32_t cancelWidth = 5 * 12 + 2 * L::kButtonPadding;
  const int32_t rowWidth = 2 * L::kMinButtonWidth + cancelWidth + 2 * L::kButtonSpacing;
  EXPECT_EQ(layout.client, (SIZE{rowWidth + 2 * L::kMargin, 75}));
  EXPECT_EQ(layout.text, (RECT{L::kMargin, L::kMargin, L::kMargin + 18, L::kMargin + 12}));
  ASSERT_EQ(layout.buttons.size(), 3u);
  EXPECT_EQ(layout.buttons[0], (RECT{L::kMargin, 40, L::kMargin + 75, 63}));
  EXPECT_EQ(layout.buttons[2].Width(), cancelWidth);
  EXPECT_EQ(layout.buttons[2].right, layout.client.cx - L::kMargin);
  EXPECT_TRUE(layout.icon.IsEmpty());
}

TEST_F(MessageBoxLayoutTest, AWideTextWidensTheBoxAndALongOneWraps) {
  std::string text;
  for (int i = 0; i < 40; ++i) text += Sjis("あ");
  const MessageBoxLayout layout = LayOutMessageBox(dc_.get(), text, ButtonsOf(MB_OK), true);
  ASSERT_EQ(layout.lines.size(), 2u);
  EXPECT_EQ(layout.lines[0].size(), 33u * 2) << "33 characters of 12 pixels fit in 400";
  EXPECT_EQ(layout.text.Width(), 33 * 12);
  EXPECT_EQ(layout.text.left, L::kMargin + 32 + L::kIconGap);
  EXPECT_EQ(layout.client.cx, layout.text.right + L::kMargin);
  EXPECT_EQ(layout.icon, (RECT{L::kMargin, L::kMargin, L::kMargin + 32, L::kMargin + 32}));
}

struct WrapCase {
  const char* name;
  const char* text;  // UTF-8
  int32_t width;
  std::vector<const char*> lines;
};

class WrapTextTest : public MessageBoxLayoutTest, public ::testing::WithParamInterface<WrapCase> {};

TEST_P(WrapTextTest, LinesBreakAtBreaksSpacesOrCharacters) {
  const WrapCase& c = GetParam();
  std::vector<std::string> expected;
  for (const char* line : c.lines) expected.push_back(Sjis(line));
  EXPECT_EQ(WrapText(dc_.get(), Sjis(c.text), c.width), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WrapTextTest,
    ::testing::Values(WrapCase{"Empty", "", 50, {""}},
                      WrapCase{"Fits", "aaaa bbbb", 54, {"aaaa bbbb"}},
                      WrapCase{"AtTheLastSpace", "aaaa bbbb cc", 50, {"aaaa", "bbbb cc"}},
                      WrapCase{"AtACharacter", "表示～ソｶﾀ", 29, {"表示", "～ソ", "ｶﾀ"}},
                      WrapCase{"ABreak", "一行目\r\n二行目\n", 400, {"一行目", "二行目", ""}},
                      WrapCase{"TheSpaceAtABreakGoes", "aaaa bbbb", 24, {"aaaa", "bbbb"}},
                      WrapCase{"AWideCharacterKeepsALine", "表", 5, {"表"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MessageBoxButtonTest, TheMnemonicIsShownWithoutItsMark) {
  size_t mnemonic = 0;
  EXPECT_EQ(ShownButtonText(Sjis("はい(&Y)"), &mnemonic), Sjis("はい(Y)"));
  EXPECT_EQ(mnemonic, 5u);
  EXPECT_EQ(ShownButtonText("A&&B", &mnemonic), "A&B");
  EXPECT_EQ(mnemonic, std::string::npos);
}

}  // namespace
