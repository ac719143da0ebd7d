// A desktop input method on a real X server: uim's XIM server with Anthy,
// started after the program (which takes it up when the server announces
// it), switched on, given a reading and made to commit it, and switched
// off again, all with xdotool.
#include <gtest/gtest.h>

#include <chrono>
#include <clocale>
#include <memory>
#include <string>
#include <vector>

#include "display_fixture.h"
#include "platform/input.h"
#include "platform/window.h"
#include "platform/window_message.h"
#include "uim_server.h"
#include "window_test_support.h"

// Xlib's macros would clash with our names, so its headers come last.
#include <X11/Xlib.h>

namespace platform::x11 {
namespace {

constexpr char kClass[] = "X11InputMethodTest";
constexpr RECT kFrameRect{20, 10, 220, 160};
constexpr auto kPatience = std::chrono::seconds(10);

std::vector<WPARAM> characters;

LRESULT CharacterProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CHAR) characters.push_back(wParam);
  return DefWindowProc(window, message, wParam, lParam);
}

class InputMethodDisplayTest : public DisplayFixture {
 protected:
  void SetUp() override {
    if (const std::string missing = UimMissing(); !missing.empty()) GTEST_SKIP() << missing;
    setenv("XMODIFIERS", kUimModifiers, 1);
    DisplayFixture::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    characters.clear();
    RegisterTestClass(kClass, CharacterProc);
  }
  void TearDown() override {
    if (frame_ != kNoWindow) DestroyWindow(frame_);
    // The program goes before its input method, as it would at the end of
    // a session.
    DisplayFixture::TearDown();
    StopInputMethod();
    unsetenv("XMODIFIERS");
  }

  void StopInputMethod() { uim_.reset(); }

  // Returns once the input method answers a connection of the test's own.
  void StartInputMethod() {
    uim_ = std::make_unique<UimServer>(testing::TempDir() + "uim-home", server_->name());
    ASSERT_TRUE(PumpUntil([&] { return Answers(); }));
  }

  // Asked of the server alone, so that the program's loop does not run.
  bool ServerDroppedInputMethod() {
    const Atom server = XInternAtom(observer_, "@server=uim", False);
    const auto deadline = std::chrono::steady_clock::now() + kPatience;
    while (XGetSelectionOwner(observer_, server) != None) {
      if (std::chrono::steady_clock::now() > deadline) return false;
    }
    return true;
  }

  bool Answers() {
    const std::string previous = std::setlocale(LC_CTYPE, nullptr);
    std::setlocale(LC_CTYPE, kInputMethodLocale);
    XSetLocaleModifiers("");
    const XIM method = XOpenIM(observer_, nullptr, nullptr, nullptr);
    if (method != nullptr) XCloseIM(method);
    std::setlocale(LC_CTYPE, previous.c_str());
    return method != nullptr;
  }

  void ShowFocusedFrame() {
    frame_ = CreateWindowEx(0, kClass, "", WS_VISIBLE, kFrameRect.left, kFrameRect.top,
                            kFrameRect.Width(), kFrameRect.Height(), kNoWindow, 0, nullptr);
    ASSERT_NE(frame_, kNoWindow);
    const unsigned long native = backend_->NativeWindowOf(frame_);
    ASSERT_TRUE(WaitUntilViewable(native));
    // There is no window manager to give it the keyboard.
    XSetInputFocus(observer_, native, RevertToParent, CurrentTime);
    XSync(observer_, False);
    ASSERT_TRUE(PumpUntil([&] { return GetFocus() == frame_; }));
  }

  HWND frame_ = kNoWindow;
  std::unique_ptr<UimServer> uim_;
};

TEST_F(InputMethodDisplayTest, CommittedTextArrivesAsCp932Characters) {
  EXPECT_FALSE(backend_->InputMethodOpen());
  StartInputMethod();
  ShowFocusedFrame();
  ASSERT_TRUE(PumpUntil([&] { return backend_->InputMethodOpen(); }));
  // On, the reading "a" (あ, 82 A0 in CP932), Enter commits it; then off,
  // and "b" is the keyboard's own again.
  ASSERT_TRUE(Run("xdotool key shift+space type a && xdotool key Return shift+space type b"));
  ASSERT_TRUE(PumpUntil([] { return characters.size() >= 3; }));
  EXPECT_EQ(characters, (std::vector<WPARAM>{0x82, 0xA0, 'b'}));
}

TEST_F(InputMethodDisplayTest, KeysAreTheKeyboardsOwnOnceTheInputMethodIsGone) {
  StartInputMethod();
  ShowFocusedFrame();
  ASSERT_TRUE(PumpUntil([&] { return backend_->InputMethodOpen(); }));
  StopInputMethod();
  EXPECT_TRUE(PumpUntil([&] { return !backend_->InputMethodOpen(); }));
  ASSERT_TRUE(Run("xdotool type c"));
  ASSERT_TRUE(PumpUntil([] { return !characters.empty(); }));
  EXPECT_EQ(characters, std::vector<WPARAM>{'c'});
}

TEST_F(InputMethodDisplayTest, AWindowClosedRightAfterTheInputMethodWentIsNoWait) {
  StartInputMethod();
  ShowFocusedFrame();
  ASSERT_TRUE(PumpUntil([&] { return backend_->InputMethodOpen(); }));
  // The server has dropped it; the program has not yet heard.
  StopInputMethod();
  ASSERT_TRUE(ServerDroppedInputMethod());
  DestroyWindow(frame_);
  frame_ = kNoWindow;
  EXPECT_FALSE(backend_->InputMethodOpen());
}

}  // namespace
}  // namespace platform::x11
