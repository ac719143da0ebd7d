#include "platform/x11/committed_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/input.h"
#include "platform/window.h"
#include "platform/window_message.h"
#include "window_test_support.h"

namespace platform::x11 {
namespace {

constexpr char kClass[] = "CommittedTextWindow";

std::vector<WPARAM> characters;

LRESULT CharacterProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CHAR) characters.push_back(wParam);
  return DefWindowProc(window, message, wParam, lParam);
}

struct CommitCase {
  const char* name;
  std::string utf8;
  std::vector<WPARAM> typed;
};

class CommittedTextTest : public testing::TestWithParam<CommitCase> {
 protected:
  CommittedTextTest() {
    ResetWindowMessages();
    ResetInput();
    RegisterTestClass(kClass, CharacterProc);
    window_ = CreateWindowEx(0, kClass, "", WS_VISIBLE, 0, 0, 100, 100, kNoWindow, 0, nullptr);
    SetFocus(window_);
    characters.clear();
  }
  ~CommittedTextTest() override {
    DestroyWindow(window_);
    ResetWindowMessages();
    ResetInput();
  }

  static void Pump() {
    MSG msg;
    while (PeekMessage(&msg, kNoWindow, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessage(&msg);
    }
  }

  HWND window_ = kNoWindow;
};

TEST_P(CommittedTextTest, TheTextArrivesAsCp932Characters) {
  TypeCommittedText(GetParam().utf8);
  Pump();
  EXPECT_EQ(characters, GetParam().typed);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, CommittedTextTest,
    testing::Values(CommitCase{"Latin", "ab", {'a', 'b'}},
                    // あ 82 A0, 表 95 5C (a backslash for its trail byte), ～ 81 60.
                    CommitCase{"DoubleByteLeadThenTrail",
                               "\xE3\x81\x82\xE8\xA1\xA8\xEF\xBD\x9E",
                               {0x82, 0xA0, 0x95, 0x5C, 0x81, 0x60}},
                    CommitCase{"HalfWidthKatakanaIsOneByte", "\xEF\xBD\xB1", {0xB1}},
                    // é has no CP932 code; an emoji lies beyond one UTF-16 unit.
                    CommitCase{"CharactersCp932LacksTypeNothing",
                               "a\xC3\xA9"
                               "b\xF0\x9F\x98\x80"
                               "c",
                               {'a', 'b', 'c'}},
                    CommitCase{"BytesThatAreNotUtf8AreLeftOut",
                               "a\xFF"
                               "b\x81"
                               "c\xC0\xAF"
                               "d\xE3\x81",
                               {'a', 'b', 'c', 'd'}}),
    [](const testing::TestParamInfo<CommitCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace platform::x11
