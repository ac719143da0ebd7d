#include "platform/edit_control.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/caret.h"
#include "platform/clipboard.h"
#include "platform/clock.h"
#include "platform/control_notify.h"
#include "platform/gdi.h"
#include "platform/input.h"
#include "platform/message_driver.h"
#include "platform/paint.h"
#include "platform/sjis.h"
#include "platform/sound.h"
#include "platform/synthetic_fonts.h"
#include "platform/system_info.h"
#include "platform/window.h"
#include "window_test_support.h"

namespace {

using namespace platform;
using ::testing::ElementsAre;

std::string Sjis(const char* utf8) { return Utf8ToSjis(utf8).value(); }

constexpr int32_t kEditId = 7;
std::vector<UINT> notified;
HBRUSH colourAnswer = nullptr;
bool destroyOnUpdate = false;

LRESULT ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COMMAND && CommandIdOf(wParam) == kEditId) {
    notified.push_back(NotifyCodeOf(wParam));
    if (destroyOnUpdate && NotifyCodeOf(wParam) == EN_UPDATE) DestroyWindow(ControlOf(lParam));
    return 0;
  }
  if (message == WM_CTLCOLOREDIT) return BrushAnswer(colourAnswer);
  return DefWindowProc(window, message, wParam, lParam);
}

constexpr char kParentClass[] = "EditParent";
constexpr POINT kParentOrigin{100, 100};
constexpr POINT kEditOrigin{10, 10};
// The synthetic fixed face at an em of 16 pixels: single bytes 8 wide,
// double-byte characters 16.
constexpr int32_t kEm = 16;
constexpr int32_t kHalf = kEm / 2;
// Border and margin before the text.
constexpr int32_t kTextInset = 3;

struct Key {
  BYTE vk;
  bool shift = false;
  bool control = false;
};

class EditControlTest : public ::testing::Test {
 protected:
  EditControlTest() {
    ResetWindowMessages();
    ResetInput();
    ResetClipboard();
    notified.clear();
    colourAnswer = nullptr;
    destroyOnUpdate = false;
    RegisterTestClass(kParentClass, ParentProc);
    parent_ = CreateWindowEx(0, kParentClass, "", WS_VISIBLE, kParentOrigin.x, kParentOrigin.y, 400,
                             100, kNoWindow, 0, nullptr);
    LOGFONTA logFont;
    logFont.lfHeight = -kEm;
    std::string(kSyntheticFixedFace).copy(logFont.lfFaceName, sizeof(logFont.lfFaceName) - 1);
    font_ = CreateFontIndirectA(logFont);
  }
  ~EditControlTest() override {
    ResetWindowMessages();
    ResetInput();
    ResetClipboard();
  }

  HWND MakeEdit(const std::string& text, DWORD style = ES_AUTOHSCROLL, int32_t width = 300) {
    const HWND edit =
        CreateWindowEx(0, kEditClass, text.c_str(), WS_CHILD | WS_VISIBLE | WS_BORDER | style,
                       kEditOrigin.x, kEditOrigin.y, width, 24, parent_, kEditId, nullptr);
    SendMessage(edit, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), 1);
    return edit;
  }
  void Press(const Key& key) {
    if (key.shift) keybd_event(VK_SHIFT, 0, 0, 0);
    if (key.control) keybd_event(VK_CONTROL, 0, 0, 0);
    keybd_event(key.vk, 0, 0, 0);
    keybd_event(key.vk, 0, KEYEVENTF_KEYUP, 0);
    if (key.control) keybd_event(VK_CONTROL, 0, KEYEVENTF_KEYUP, 0);
    if (key.shift) keybd_event(VK_SHIFT, 0, KEYEVENTF_KEYUP, 0);
    ASSERT_TRUE(driver_.RunUntilIdle());
  }
  void TypeBytes(HWND edit, const std::string& bytes) {
    for (const char byte : bytes) PostMessage(edit, WM_CHAR, static_cast<uint8_t>(byte), 0);
    ASSERT_TRUE(driver_.RunUntilIdle());
  }
  static std::pair<DWORD, DWORD> Selection(HWND edit) {
    DWORD start = 99;
    DWORD end = 99;
    SendMessage(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return {start, end};
  }
  static void Select(HWND edit, int32_t start, int32_t end) {
    SendMessage(edit, EM_SETSEL, static_cast<WPARAM>(start), end);
  }
  static std::string ClipboardText() {
    const ScopedClipboard clipboard(kNoWindow);
    const HGLOBAL block = GetClipboardData(CF_TEXT);
    const char* bytes = static_cast<const char*>(GlobalLock(block));
    std::string text = bytes == nullptr ? "<none>" : bytes;
    GlobalUnlock(block);
    return text;
  }
  static void PutOnClipboard(const std::string& text) {
    const HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    char* bytes = static_cast<char*>(GlobalLock(block));
    text.copy(bytes, text.size());
    bytes[text.size()] = '\0';
    GlobalUnlock(block);
    const ScopedClipboard clipboard(kNoWindow);
    EmptyClipboard();
    SetClipboardData(CF_TEXT, block);
  }
  static void MouseAt(POINT inEdit) {
    mouse_event(MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE, kParentOrigin.x + kEditOrigin.x + inEdit.x,
                kParentOrigin.y + kEditOrigin.y + inEdit.y, 0, 0);
  }
  COLORREF Pixel(POINT inEdit) const {
    return GetPixel(GetWindowSurface(parent_), kEditOrigin.x + inEdit.x, kEditOrigin.y + inEdit.y);
  }
  static POINT CaretPos() {
    POINT point;
    GetCaretPos(&point);
    return point;
  }

  FakeClock clock_;
  ScopedClock scopedClock_{clock_};
  SyntheticFontService fonts_;
  ScopedFontService scopedFonts_{fonts_};
  RecordingAudioBackend audio_;
  ScopedAudioBackend scopedAudio_{audio_};
  MessageDriver driver_{clock_};
  HWND parent_ = kNoWindow;
  UniqueFont font_;
};

TEST_F(EditControlTest, TheClassIsTheSystemsAndKeepsArrowsAndCharacters) {
  WNDCLASS found;
  EXPECT_TRUE(GetClassInfo("edit", &found));
  EXPECT_FALSE(UnregisterClass(kEditClass));
  const HWND edit = MakeEdit("abc");
  EXPECT_EQ(SendMessage(edit, WM_GETDLGCODE, 0, 0),
            DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS);
  EXPECT_EQ(GetWindowText(edit), "abc");
  EXPECT_EQ(SendMessage(edit, WM_GETFONT, 0, 0), reinterpret_cast<LRESULT>(font_.get()));
  EXPECT_EQ(SendMessage(edit, EM_GETLIMITTEXT, 0, 0), LRESULT{kDefaultEditLimit});
}

struct KeyCase {
  const char* name;
  const char* text;  // UTF-8
  int32_t anchor, caret;
  std::vector<Key> keys;
  const char* wantText;
  DWORD wantStart, wantEnd;
};

class EditKeyTest : public EditControlTest, public ::testing::WithParamInterface<KeyCase> {};

// "aあbいc" stands at bytes a 0, あ 1-2, b 3, い 4-5, c 6, end 7.
TEST_P(EditKeyTest, KeysMoveAndDeleteWholeCharacters) {
  const KeyCase& c = GetParam();
  const HWND edit = MakeEdit(Sjis(c.text));
  SetFocus(edit);
  Select(edit, c.anchor, c.caret);
  for (const Key& key : c.keys) Press(key);
  EXPECT_EQ(GetWindowText(edit), Sjis(c.wantText));
  EXPECT_EQ(Selection(edit), std::make_pair(c.wantStart, c.wantEnd));
}

constexpr BYTE kLeft = VK_LEFT;
constexpr BYTE kRight = VK_RIGHT;

INSTANTIATE_TEST_SUITE_P(
    Keys, EditKeyTest,
    ::testing::Values(
        KeyCase{"RightStepsOverADoubleByte", "aあbいc", 1, 1, {{kRight}}, "aあbいc", 3, 3},
        KeyCase{"LeftStepsBackOverOne", "aあbいc", 6, 6, {{kLeft}, {kLeft}}, "aあbいc", 3, 3},
        KeyCase{"LeftAtTheStartStays", "aあbいc", 0, 0, {{kLeft}}, "aあbいc", 0, 0},
        KeyCase{"RightAtTheEndStays", "aあbいc", 7, 7, {{kRight}}, "aあbいc", 7, 7},
        KeyCase{"HomeAndEnd", "aあbいc", 3, 3, {{VK_END}}, "aあbいc", 7, 7},
        KeyCase{"Home", "aあbいc", 4, 4, {{VK_HOME}}, "aあbいc", 0, 0},
        KeyCase{"ShiftRightSelectsWhole",
                "aあbいc",
                0,
                0,
                {{kRight, true}, {kRight, true}},
                "aあbいc",
                0,
                3},
        KeyCase{"ShiftLeftFromTheEnd",
                "aあbいc",
                7,
                7,
                {{kLeft, true}, {kLeft, true}},
                "aあbいc",
                4,
                7},
        KeyCase{"ShiftHome", "aあbいc", 4, 4, {{VK_HOME, true}}, "aあbいc", 0, 4},
        KeyCase{"LeftDropsASelectionAtItsStart", "aあbいc", 1, 6, {{kLeft}}, "aあbいc", 1, 1},
        KeyCase{"RightDropsASelectionAtItsEnd", "aあbいc", 6, 1, {{kRight}}, "aあbいc", 6, 6},
        KeyCase{"UpAndDownDoNothing", "aあbいc", 3, 3, {{VK_UP}, {VK_DOWN}}, "aあbいc", 3, 3},
        KeyCase{"BackspaceTakesTheWholeCharacter", "aあbいc", 3, 3, {{VK_BACK}}, "abいc", 1, 1},
        KeyCase{"DeleteTakesTheWholeCharacter", "aあbいc", 4, 4, {{VK_DELETE}}, "aあbc", 4, 4},
        KeyCase{"BackspaceTakesTheSelection", "aあbいc", 1, 4, {{VK_BACK}}, "aいc", 1, 1},
        KeyCase{"DeleteAtTheEndDoesNothing", "aあbいc", 7, 7, {{VK_DELETE}}, "aあbいc", 7, 7},
        KeyCase{"CtrlRightToTheNextWord",
                "ab　cd ef",
                0,
                0,
                {{kRight, false, true}},
                "ab　cd ef",
                4,
                4},
        KeyCase{
            "CtrlLeftToTheWordStart", "ab　cd ef", 9, 9, {{kLeft, false, true}}, "ab　cd ef", 7, 7},
        KeyCase{
            "CtrlShiftRightSelectsAWord", "ab cd", 0, 0, {{kRight, true, true}}, "ab cd", 0, 3}),
    [](const auto& info) { return std::string(info.param.name); });

struct SetSelCase {
  int32_t start, end;
  DWORD wantStart, wantEnd;
  int32_t wantCaret;  // bytes before the caret
};

class EditSetSelTest : public EditControlTest, public ::testing::WithParamInterface<SetSelCase> {};

// A position between a lead and a trail byte goes to the character's start.
TEST_P(EditSetSelTest, SelectionEndsStandOnCharacters) {
  const SetSelCase& c = GetParam();
  const HWND edit = MakeEdit(Sjis("aあbいc"));
  SetFocus(edit);
  Select(edit, c.start, c.end);
  EXPECT_EQ(Selection(edit), std::make_pair(c.wantStart, c.wantEnd));
  EXPECT_EQ(CaretPos().x, kTextInset + c.wantCaret * kHalf) << "the caret at the end given";
}

INSTANTIATE_TEST_SUITE_P(Cases, EditSetSelTest,
                         ::testing::Values(SetSelCase{2, 2, 1, 1, 1}, SetSelCase{0, 5, 0, 4, 4},
                                           SetSelCase{5, 2, 1, 4, 1}, SetSelCase{0, -1, 0, 7, 7},
                                           SetSelCase{3, 100, 3, 7, 7},
                                           SetSelCase{-1, 0, 0, 0, 0}));

TEST_F(EditControlTest, AStartOfMinusOneDropsTheSelectionAndKeepsTheCaret) {
  const HWND edit = MakeEdit("abcdef");
  Select(edit, 1, 4);
  Select(edit, -1, 0);
  EXPECT_EQ(Selection(edit), std::make_pair(DWORD{4}, DWORD{4}));
}

TEST_F(EditControlTest, ALeadByteWaitsForItsTrail) {
  const HWND edit = MakeEdit("ab");
  SetFocus(edit);
  Select(edit, 1, 1);
  notified.clear();
  const std::string a = Sjis("あ");
  TypeBytes(edit, a.substr(0, 1));
  EXPECT_EQ(GetWindowText(edit), "ab") << "a lone lead byte is not inserted";
  EXPECT_TRUE(notified.empty());
  TypeBytes(edit, a.substr(1));
  EXPECT_EQ(GetWindowText(edit), "a" + a + "b");
  EXPECT_EQ(Selection(edit), std::make_pair(DWORD{3}, DWORD{3}));
  EXPECT_EQ(CaretPos().x, kTextInset + 3 * kHalf);
}

TEST_F(EditControlTest, ALeadByteFollowedByNoTrailIsDropped) {
  const HWND edit = MakeEdit("");
  SetFocus(edit);
  TypeBytes(edit, std::string("\x82", 1) + "\x1b" + "z");
  EXPECT_EQ(GetWindowText(edit), "z");
}

TEST_F(EditControlTest, AnImeCharacterIsInsertedWhole) {
  const HWND edit = MakeEdit("x");
  SetFocus(edit);
  Select(edit, 1, 1);
  const std::string kan = Sjis("漢");
  PostMessage(edit, WM_IME_CHAR, CharCode(kan[0], kan[1]), 0);
  PostMessage(edit, WM_IME_CHAR, 'y', 0);
  ASSERT_TRUE(driver_.RunUntilIdle());
  EXPECT_EQ(GetWindowText(edit), "x" + kan + "y");
}

TEST_F(EditControlTest, TheLimitCountsBytesAndNeverCutsATypedCharacter) {
  const HWND edit = MakeEdit("ab");
  SetFocus(edit);
  SendMessage(edit, EM_LIMITTEXT, 3, 0);
  EXPECT_EQ(SendMessage(edit, EM_GETLIMITTEXT, 0, 0), 3);
  Select(edit, 2, 2);
  notified.clear();
  TypeBytes(edit, Sjis("あ"));
  EXPECT_EQ(GetWindowText(edit), "ab") << "two bytes do not fit in one";
  EXPECT_THAT(notified, ElementsAre(EN_MAXTEXT));
  TypeBytes(edit, "c");
  EXPECT_EQ(GetWindowText(edit), "abc");
  notified.clear();
  TypeBytes(edit, "d");
  EXPECT_EQ(GetWindowText(edit), "abc");
  EXPECT_THAT(notified, ElementsAre(EN_MAXTEXT));
  // Replacing a selection makes room.
  Select(edit, 0, 2);
  TypeBytes(edit, Sjis("い"));
  EXPECT_EQ(GetWindowText(edit), Sjis("い") + "c");
}

TEST_F(EditControlTest, SetTextIsNotLimited) {
  const HWND edit = MakeEdit("");
  SendMessage(edit, EM_LIMITTEXT, 2, 0);
  SetWindowText(edit, "abcd");
  EXPECT_EQ(GetWindowText(edit), "abcd");
  SendMessage(edit, EM_LIMITTEXT, 0, 0);
  EXPECT_EQ(SendMessage(edit, EM_GETLIMITTEXT, 0, 0), LRESULT{kMaxEditLimit});
}

TEST_F(EditControlTest, APasteThatDoesNotFitWholeIsRefused) {
  const HWND edit = MakeEdit("ab");
  SetFocus(edit);
  SendMessage(edit, EM_LIMITTEXT, 5, 0);
  Select(edit, 2, 2);
  PutOnClipboard(Sjis("あい"));
  notified.clear();
  Press({'V', false, true});
  EXPECT_EQ(GetWindowText(edit), "ab");
  EXPECT_THAT(notified, ElementsAre(EN_MAXTEXT));
  SendMessage(edit, EM_LIMITTEXT, 6, 0);
  Press({VK_INSERT, true});
  EXPECT_EQ(GetWindowText(edit), "ab" + Sjis("あい"));
}

TEST_F(EditControlTest, ReplaceSelIsCutAfterTheLastWholeCharacter) {
  const HWND edit = MakeEdit("ab");
  SendMessage(edit, EM_LIMITTEXT, 5, 0);
  Select(edit, 2, 2);
  notified.clear();
  const std::string text = Sjis("あい");
  SendMessage(edit, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(text.c_str()));
  EXPECT_EQ(GetWindowText(edit), "ab" + Sjis("あ"));
  EXPECT_THAT(notified, ElementsAre(EN_UPDATE, EN_CHANGE, EN_MAXTEXT));
  EXPECT_EQ(Selection(edit), std::make_pair(DWORD{4}, DWORD{4}));
  EXPECT_EQ(SendMessage(edit, EM_GETMODIFY, 0, 0), 1);
}

TEST_F(EditControlTest, InsertedTextStopsAtALineBreakAndDropsALoneLead) {
  const HWND edit = MakeEdit("");
  const std::string text = "ab\r\ncd";
  SendMessage(edit, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(text.c_str()));
  EXPECT_EQ(GetWindowText(edit), "ab");
  const std::string lone = "x\x82";
  SendMessage(edit, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(lone.c_str()));
  EXPECT_EQ(GetWindowText(edit), "abx");
}

TEST_F(EditControlTest, TheClipboardKeysRoundTripCp932Text) {
  const HWND edit = MakeEdit(Sjis("漢字かな"));
  SetFocus(edit);
  Select(edit, 2, 6);
  Press({'C', false, true});
  EXPECT_EQ(ClipboardText(), Sjis("字か"));
  Press({VK_END});
  Press({'V', false, true});
  EXPECT_EQ(GetWindowText(edit), Sjis("漢字かな字か"));
  Select(edit, 0, 2);
  Press({'X', false, true});
  EXPECT_EQ(ClipboardText(), Sjis("漢"));
  EXPECT_EQ(GetWindowText(edit), Sjis("字かな字か"));
  Select(edit, 4, 6);
  Press({VK_INSERT, false, true});
  EXPECT_EQ(ClipboardText(), Sjis("な"));
  Select(edit, 0, 2);
  Press({VK_DELETE, true});
  EXPECT_EQ(ClipboardText(), Sjis("字"));
  EXPECT_EQ(GetWindowText(edit), Sjis("かな字か"));
  Press({VK_INSERT, true});
  EXPECT_EQ(GetWindowText(edit), Sjis("字かな字か"));
}

TEST_F(EditControlTest, CopyWithoutASelectionLeavesTheClipboard) {
  const HWND edit = MakeEdit("abc");
  SetFocus(edit);
  PutOnClipboard("kept");
  Press({'C', false, true});
  Press({'X', false, true});
  EXPECT_EQ(ClipboardText(), "kept");
  EXPECT_EQ(GetWindowText(edit), "abc");
}

TEST_F(EditControlTest, ANumberEditRefusesOtherCharactersWithABeep) {
  const HWND edit = MakeEdit("", ES_AUTOHSCROLL | ES_NUMBER);
  SetFocus(edit);
  TypeBytes(edit, "1a2");
  PostMessage(edit, WM_IME_CHAR, 0x8250, 0);  // a full-width digit
  ASSERT_TRUE(driver_.RunUntilIdle());
  EXPECT_EQ(GetWindowText(edit), "12");
  EXPECT_EQ(audio_.Streams().size(), 2u);
  PutOnClipboard("3x");
  Press({'V', false, true});
  EXPECT_EQ(GetWindowText(edit), "12");
  EXPECT_EQ(audio_.Streams().size(), 3u);
  PutOnClipboard("34");
  Press({'V', false, true});
  EXPECT_EQ(GetWindowText(edit), "1234");
}

TEST_F(EditControlTest, NotificationsComeInOrder) {
  const HWND other = MakeEdit("");
  const HWND edit = MakeEdit("");
  SetWindowLongPtr(other, GWL_ID, kEditId + 1);
  notified.clear();
  SetFocus(edit);
  TypeBytes(edit, "a");
  SetWindowText(edit, "xyz");
  Select(edit, 0, 3);
  Press({VK_BACK});
  Press({VK_BACK});  // nothing left to delete: no change
  SetFocus(other);
  EXPECT_THAT(notified, ElementsAre(EN_SETFOCUS, EN_UPDATE, EN_CHANGE, EN_UPDATE, EN_CHANGE,
                                    EN_UPDATE, EN_CHANGE, EN_KILLFOCUS));
}

TEST_F(EditControlTest, TheModifiedFlag) {
  const HWND edit = MakeEdit("ab");
  SetFocus(edit);
  EXPECT_EQ(SendMessage(edit, EM_GETMODIFY, 0, 0), 0);
  TypeBytes(edit, "c");
  EXPECT_EQ(SendMessage(edit, EM_GETMODIFY, 0, 0), 1);
  SetWindowText(edit, "new");
  EXPECT_EQ(SendMessage(edit, EM_GETMODIFY, 0, 0), 0) << "setting the text clears it";
  Press({VK_LEFT});
  EXPECT_EQ(SendMessage(edit, EM_GETMODIFY, 0, 0), 0) << "moving changes nothing";
  SendMessage(edit, EM_SETMODIFY, 1, 0);
  EXPECT_EQ(SendMessage(edit, EM_GETMODIFY, 0, 0), 1);
  SendMessage(edit, EM_SETMODIFY, 0, 0);
  Press({VK_END});
  Press({VK_DELETE});
  EXPECT_EQ(SendMessage(edit, EM_GETMODIFY, 0, 0), 0) << "a delete at the end changes nothing";
}

TEST_F(EditControlTest, GetTextNeverCopiesHalfACharacter) {
  const HWND edit = MakeEdit(Sjis("aあb"));
  char buffer[8] = {};
  EXPECT_EQ(SendMessage(edit, WM_GETTEXT, 3, reinterpret_cast<LPARAM>(buffer)), 1);
  EXPECT_STREQ(buffer, "a");
  EXPECT_EQ(SendMessage(edit, WM_GETTEXT, 4, reinterpret_cast<LPARAM>(buffer)), 3);
  EXPECT_EQ(std::string(buffer), Sjis("aあ"));
  EXPECT_EQ(SendMessage(edit, WM_GETTEXTLENGTH, 0, 0), 4);
}

TEST_F(EditControlTest, AClickPutsTheCaretAtTheNearestBoundaryAndADragSelects) {
  const HWND edit = MakeEdit(Sjis("aあbいc"));
  // Just left of the middle of あ (x 11..27 in the edit): before it.
  MouseAt({kTextInset + kHalf + kHalf - 1, 8});
  mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
  ASSERT_TRUE(driver_.RunUntilIdle());
  EXPECT_EQ(GetFocus(), edit);
  EXPECT_EQ(Selection(edit), std::make_pair(DWORD{1}, DWORD{1}));
  MouseAt({kTextInset + 5 * kHalf + 1, 8});  // just past the middle of い
  ASSERT_TRUE(driver_.RunUntilIdle());
  mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
  ASSERT_TRUE(driver_.RunUntilIdle());
  EXPECT_EQ(Selection(edit), std::make_pair(DWORD{1}, DWORD{6}));
  EXPECT_EQ(GetCapture(), kNoWindow);
  // Shift and a click extend from the anchor.
  keybd_event(VK_SHIFT, 0, 0, 0);
  MouseAt({1, 8});
  mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
  mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
  keybd_event(VK_SHIFT, 0, KEYEVENTF_KEYUP, 0);
  ASSERT_TRUE(driver_.RunUntilIdle());
  EXPECT_EQ(Selection(edit), std::make_pair(DWORD{0}, DWORD{1}));
}

TEST_F(EditControlTest, TheCaretFollowsTheTextAndComesIntoView) {
  // Room for 10 single bytes beside the caret.
  const HWND edit = MakeEdit(std::string(30, 'x'), ES_AUTOHSCROLL, 2 * kTextInset + 10 * kHalf + 2);
  SetFocus(edit);
  EXPECT_EQ(CaretPos(), (POINT{kTextInset, kTextInset}));
  EXPECT_EQ(GetCaretState().owner, edit);
  Press({VK_END});
  EXPECT_EQ(CaretPos().x, kTextInset + 10 * kHalf) << "scrolled so the caret shows at the right";
  Press({VK_HOME});
  EXPECT_EQ(CaretPos().x, kTextInset);
  Select(edit, 20, 20);
  EXPECT_EQ(CaretPos().x, kTextInset + 20 * kHalf) << "EM_SETSEL does not scroll";
  SendMessage(edit, EM_SCROLLCARET, 0, 0);
  EXPECT_EQ(CaretPos().x, kTextInset + 10 * kHalf);
  SetFocus(parent_);
  EXPECT_EQ(GetCaretState().owner, kNoWindow) << "the caret goes with the focus";
}

TEST_F(EditControlTest, WithoutAutoScrollWhatPassesTheWidthIsRefused) {
  const HWND edit = MakeEdit("", ES_LEFT, 2 * kTextInset + 4 * kHalf + 2);
  SetFocus(edit);
  notified.clear();
  TypeBytes(edit, "abcde");
  EXPECT_EQ(GetWindowText(edit), "abcd");
  EXPECT_EQ(notified.back(), EN_MAXTEXT);
}

TEST_F(EditControlTest, PixelsShowTheTextBorderAndSelection) {
  const HWND edit = MakeEdit("ABCD");
  ASSERT_TRUE(driver_.RunUntilIdle());
  const COLORREF text = GetSysColor(COLOR_WINDOWTEXT);
  const COLORREF window = GetSysColor(COLOR_WINDOW);
  // A glyph's block fills the middle of its advance above the baseline.
  const int32_t glyphY = kTextInset + kEm * 7 / 8 - 3;
  EXPECT_EQ(Pixel({kTextInset + kHalf / 2, glyphY}), text);
  EXPECT_EQ(Pixel({kTextInset + 6 * kHalf, glyphY}), window) << "after the text";
  EXPECT_EQ(Pixel({0, 0}), GetSysColor(COLOR_WINDOWFRAME));
  SetFocus(edit);
  Select(edit, 1, 2);
  ASSERT_TRUE(driver_.RunUntilIdle());
  EXPECT_EQ(Pixel({kTextInset + kHalf + kHalf / 2, glyphY}), GetSysColor(COLOR_HIGHLIGHTTEXT));
  EXPECT_EQ(Pixel({kTextInset + kHalf, kTextInset}), GetSysColor(COLOR_HIGHLIGHT));
  EXPECT_EQ(Pixel({kTextInset + kHalf / 2, glyphY}), text) << "outside the selection";
}

TEST_F(EditControlTest, TheParentGivesTheBackground) {
  const UniqueBrush red = CreateSolidBrush(RGB(255, 0, 0));
  colourAnswer = red.get();
  MakeEdit("A");
  ASSERT_TRUE(driver_.RunUntilIdle());
  EXPECT_EQ(Pixel({kTextInset + 4 * kHalf, kTextInset + 2}), RGB(255, 0, 0));
}

TEST_F(EditControlTest, ADisabledEditIsGreyAndNotAskedForEditColours) {
  const UniqueBrush red = CreateSolidBrush(RGB(255, 0, 0));
  colourAnswer = red.get();
  const HWND edit = MakeEdit("A");
  EnableWindow(edit, false);
  ASSERT_TRUE(driver_.RunUntilIdle());
  EXPECT_EQ(Pixel({kTextInset + 4 * kHalf, kTextInset + 2}), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(Pixel({kTextInset + kHalf / 2, kTextInset + kEm * 7 / 8 - 3}),
            GetSysColor(COLOR_GRAYTEXT));
}

TEST_F(EditControlTest, AParentMayDestroyTheEditWhileItIsTold) {
  const HWND edit = MakeEdit("");
  destroyOnUpdate = true;
  notified.clear();
  SendMessage(edit, WM_CHAR, 'a', 0);
  EXPECT_FALSE(IsWindow(edit));
  EXPECT_THAT(notified, ElementsAre(EN_UPDATE));
}

}  // namespace
