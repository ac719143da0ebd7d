// The back end on a real X server: an Xvfb of the test's own, driven with
// xdotool, its windows read back with XGetImage.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "display_fixture.h"
#include "platform/gdi.h"
#include "platform/input.h"
#include "platform/paint.h"
#include "platform/window.h"
#include "platform/window_message.h"
#include "platform/x11/x11_backend.h"
#include "window_test_support.h"

// Xlib's macros would clash with our names, so its headers come last.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace platform::x11 {
namespace {

constexpr COLORREF kFrameColour = RGB(255, 0, 0);
constexpr COLORREF kChildColour = RGB(0, 0, 255);
constexpr unsigned long kFramePixel = 0xFF0000;
constexpr unsigned long kChildPixel = 0x0000FF;
constexpr RECT kFrameRect{20, 10, 220, 160};
constexpr RECT kChildRect{100, 0, 200, 150};
constexpr char kFrameClass[] = "X11TestFrame";
constexpr char kChildClass[] = "X11TestChild";
constexpr int32_t kWheelNotch = 120;
constexpr uint16_t kKeyStateDown = 0x8000;

struct Received {
  HWND window;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};
std::vector<Received> received;

LRESULT PaintIn(HWND window, COLORREF colour) {
  PAINTSTRUCT paint;
  const HDC dc = BeginPaint(window, &paint);
  RECT client;
  GetClientRect(window, &client);
  const UniqueBrush brush = CreateSolidBrush(colour);
  FillRect(dc, client, brush.get());
  EndPaint(window, &paint);
  return 0;
}

LRESULT FrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  received.push_back(Received{window, message, wParam, lParam});
  if (message == WM_PAINT) return PaintIn(window, kFrameColour);
  // The test closes the window itself once it has seen the request.
  if (message == WM_CLOSE) return 0;
  return DefWindowProc(window, message, wParam, lParam);
}

LRESULT ChildProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PAINT) return PaintIn(window, kChildColour);
  return DefWindowProc(window, message, wParam, lParam);
}

bool HasReceived(UINT message) {
  for (const auto& each : received) {
    if (each.message == message) return true;
  }
  return false;
}

std::vector<Received> ReceivedOf(UINT message) {
  std::vector<Received> found;
  for (const auto& each : received) {
    if (each.message == message) found.push_back(each);
  }
  return found;
}

class RealDisplayTest : public DisplayFixture {
 protected:
  void SetUp() override {
    DisplayFixture::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    received.clear();
    RegisterTestClass(kFrameClass, FrameProc);
    RegisterTestClass(kChildClass, ChildProc);
  }
  void TearDown() override {
    if (frame_ != kNoWindow) DestroyWindow(frame_);
    DisplayFixture::TearDown();
  }

  void ShowFrameWithChild() {
    frame_ = CreateWindowEx(0, kFrameClass, "Lexora", WS_VISIBLE, kFrameRect.left, kFrameRect.top,
                            kFrameRect.Width(), kFrameRect.Height(), kNoWindow, 0, nullptr);
    ASSERT_NE(frame_, kNoWindow);
    child_ =
        CreateWindowEx(0, kChildClass, "", WS_CHILD | WS_VISIBLE, kChildRect.left, kChildRect.top,
                       kChildRect.Width(), kChildRect.Height(), frame_, 0, nullptr);
    ASSERT_NE(child_, kNoWindow);
    native_ = backend_->NativeWindowOf(frame_);
    ASSERT_NE(native_, 0u);
  }

  bool ShowsOnServer(int x, int y, unsigned long pixel) {
    return WaitUntilViewable() && PumpUntil([&] { return PixelOnServer(native_, x, y) == pixel; });
  }

  bool WaitUntilViewable() { return DisplayFixture::WaitUntilViewable(native_); }

  // Gives our window the keyboard; there is no window manager to do it.
  bool Focus() {
    // Only a window on the screen can take the focus.
    if (!WaitUntilViewable()) return false;
    XSetInputFocus(observer_, native_, RevertToParent, CurrentTime);
    XSync(observer_, False);
    return PumpUntil([&] { return GetFocus() == frame_; });
  }

  std::optional<bool> PlacedWithoutManager(HWND window) {
    const unsigned long native = backend_->NativeWindowOf(window);
    XWindowAttributes attributes{};
    if (!ExistsOnServer(native) || XGetWindowAttributes(observer_, native, &attributes) == 0)
      return std::nullopt;
    return attributes.override_redirect == True;
  }

  std::string TitleOnServer() {
    Atom type = 0;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    const Atom name = XInternAtom(observer_, "_NET_WM_NAME", False);
    const Atom utf8 = XInternAtom(observer_, "UTF8_STRING", False);
    std::string title;
    if (XGetWindowProperty(observer_, native_, name, 0, 1024, False, utf8, &type, &format, &count,
                           &after, &data) == Success &&
        data != nullptr) {
      title.assign(reinterpret_cast<const char*>(data), count);
    }
    XFree(data);
    return title;
  }

  std::string WindowId() const { return std::to_string(native_); }

  HWND frame_ = kNoWindow;
  HWND child_ = kNoWindow;
  unsigned long native_ = 0;
};

TEST_F(RealDisplayTest, TheWindowAndItsChildArePaintedOnTheServer) {
  ShowFrameWithChild();
  EXPECT_TRUE(ShowsOnServer(5, 5, kFramePixel));
  EXPECT_TRUE(ShowsOnServer(kChildRect.left + 5, 5, kChildPixel));
}

TEST_F(RealDisplayTest, TypedTextArrivesAsKeysAndCharacters) {
  ShowFrameWithChild();
  ASSERT_TRUE(Focus());
  ASSERT_TRUE(Run("xdotool type --delay 0 ab && xdotool key shift+c"));
  std::string typed;
  ASSERT_TRUE(PumpUntil([&] {
    typed.clear();
    for (const auto& each : ReceivedOf(WM_CHAR)) typed += static_cast<char>(each.wParam);
    return typed.size() >= 3;
  }));
  EXPECT_EQ(typed, "abC");
  std::vector<WPARAM> keys;
  for (const auto& each : ReceivedOf(WM_KEYDOWN)) keys.push_back(each.wParam);
  EXPECT_EQ(keys, (std::vector<WPARAM>{'A', 'B', VK_SHIFT, 'C'}));
}

TEST_F(RealDisplayTest, AModifierHeldWhileAwayIsDownWhenTheFocusComes) {
  ShowFrameWithChild();
  ASSERT_TRUE(WaitUntilViewable());
  ASSERT_TRUE(Run("xdotool keydown shift"));
  ASSERT_TRUE(Focus());
  const auto shiftDown = [] {
    return (static_cast<uint16_t>(GetAsyncKeyState(VK_SHIFT)) & kKeyStateDown) != 0;
  };
  EXPECT_TRUE(PumpUntil(shiftDown));
  ASSERT_TRUE(Run("xdotool keyup shift"));
  EXPECT_TRUE(PumpUntil([&] { return !shiftDown(); }));
}

TEST_F(RealDisplayTest, FocusMovingBetweenOurWindowsKeepsTheProgramActive) {
  ShowFrameWithChild();
  ASSERT_TRUE(Focus());
  const HWND first = frame_;
  const unsigned long firstNative = native_;
  const HWND second =
      CreateWindowEx(0, kFrameClass, "", WS_VISIBLE, 300, 10, 100, 100, kNoWindow, 0, nullptr);
  frame_ = second;
  native_ = backend_->NativeWindowOf(second);
  ASSERT_TRUE(Focus());
  EXPECT_EQ(GetActiveWindow(), second);
  for (const auto& each : ReceivedOf(WM_ACTIVATEAPP))
    EXPECT_NE(each.wParam, 0u) << "the program was never left";
  DestroyWindow(second);
  native_ = firstNative;
  frame_ = first;
}

TEST_F(RealDisplayTest, AClickGivesTheButtonAtItsClientPoint) {
  ShowFrameWithChild();
  ASSERT_TRUE(ShowsOnServer(5, 5, kFramePixel));
  const POINT client{30, 40};
  ASSERT_TRUE(Run("xdotool mousemove " + std::to_string(kFrameRect.left + client.x) + " " +
                  std::to_string(kFrameRect.top + client.y) + " click 1"));
  ASSERT_TRUE(PumpUntil([] { return HasReceived(WM_LBUTTONDOWN); }));
  const auto down = ReceivedOf(WM_LBUTTONDOWN).front();
  EXPECT_EQ(down.window, frame_);
  EXPECT_EQ(LowWord(down.lParam), client.x);
  EXPECT_EQ(HighWord(down.lParam), client.y);
}

TEST_F(RealDisplayTest, ResizingOnTheServerGivesTheNewSize) {
  ShowFrameWithChild();
  ASSERT_TRUE(ShowsOnServer(5, 5, kFramePixel));
  ASSERT_TRUE(Run("xdotool windowsize " + WindowId() + " 300 200"));
  const LPARAM resized = MakeLParam(300, 200);
  ASSERT_TRUE(PumpUntil([&] {
    const auto sizes = ReceivedOf(WM_SIZE);
    return !sizes.empty() && sizes.back().lParam == resized;
  }));
  RECT rect;
  GetWindowRect(frame_, &rect);
  EXPECT_EQ(rect.Width(), 300);
  EXPECT_EQ(rect.Height(), 200);
  // The part the window gained is painted too.
  EXPECT_TRUE(ShowsOnServer(250, 180, kFramePixel));
}

TEST_F(RealDisplayTest, TheWheelTurnsInNotches) {
  ShowFrameWithChild();
  ASSERT_TRUE(Focus());
  ASSERT_TRUE(Run("xdotool mousemove " + std::to_string(kFrameRect.left + 10) + " " +
                  std::to_string(kFrameRect.top + 10) + " click 4 click 5"));
  ASSERT_TRUE(PumpUntil([] { return ReceivedOf(WM_MOUSEWHEEL).size() >= 2; }));
  const auto turns = ReceivedOf(WM_MOUSEWHEEL);
  EXPECT_EQ(HighWord(static_cast<LPARAM>(turns[0].wParam)), kWheelNotch);
  EXPECT_EQ(HighWord(static_cast<LPARAM>(turns[1].wParam)), -kWheelNotch);
}

TEST_F(RealDisplayTest, TheCaptureHearsAClickOutsideTheWindow) {
  ShowFrameWithChild();
  ASSERT_TRUE(ShowsOnServer(5, 5, kFramePixel));
  SetCapture(frame_);
  const POINT screen{400, 300};
  ASSERT_TRUE(Run("xdotool mousemove " + std::to_string(screen.x) + " " + std::to_string(screen.y) +
                  " click 1"));
  ASSERT_TRUE(PumpUntil([] { return HasReceived(WM_LBUTTONDOWN); }));
  const auto down = ReceivedOf(WM_LBUTTONDOWN).front();
  EXPECT_EQ(down.window, frame_);
  EXPECT_EQ(LowWord(down.lParam), screen.x - kFrameRect.left);
  EXPECT_EQ(HighWord(down.lParam), screen.y - kFrameRect.top);
  ReleaseCapture();
}

TEST_F(RealDisplayTest, TheTitleIsTheWindowTextInUtf8) {
  // "文書" in CP932.
  frame_ = CreateWindowEx(0, kFrameClass, "\x95\xb6\x8f\x91", WS_VISIBLE, kFrameRect.left,
                          kFrameRect.top, kFrameRect.Width(), kFrameRect.Height(), kNoWindow, 0,
                          nullptr);
  native_ = backend_->NativeWindowOf(frame_);
  ASSERT_NE(native_, 0u);
  ASSERT_TRUE(WaitUntilViewable());
  std::string title;
  EXPECT_TRUE(PumpUntil([&] {
    title = TitleOnServer();
    return !title.empty();
  }));
  EXPECT_EQ(title, "\xe6\x96\x87\xe6\x9b\xb8");
  // A new text is the new title.
  SetWindowText(frame_, "Lexora");
  EXPECT_TRUE(PumpUntil([&] { return TitleOnServer() == "Lexora"; }));
}

TEST_F(RealDisplayTest, PopupsWithoutAFrameArePlacedWithoutTheWindowManager) {
  ShowFrameWithChild();
  const HWND popup =
      CreateWindowEx(0, kChildClass, "", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, frame_, 0, nullptr);
  const HWND framed = CreateWindowEx(0, kChildClass, "", WS_POPUP | WS_BORDER | WS_VISIBLE, 0, 0,
                                     50, 50, frame_, 0, nullptr);
  // The windows reach the server by another connection than the test's.
  ASSERT_TRUE(
      PumpUntil([&] { return PlacedWithoutManager(popup) && PlacedWithoutManager(framed); }));
  EXPECT_EQ(PlacedWithoutManager(popup), true);
  EXPECT_EQ(PlacedWithoutManager(framed), false);
  EXPECT_EQ(PlacedWithoutManager(frame_), false);
  DestroyWindow(popup);
  DestroyWindow(framed);
}

TEST_F(RealDisplayTest, TheWindowManagersCloseRequestGivesClose) {
  ShowFrameWithChild();
  ASSERT_TRUE(WaitUntilViewable());
  XEvent request{};
  request.xclient.type = ClientMessage;
  request.xclient.window = native_;
  request.xclient.message_type = XInternAtom(observer_, "WM_PROTOCOLS", False);
  request.xclient.format = 32;
  request.xclient.data.l[0] = static_cast<long>(XInternAtom(observer_, "WM_DELETE_WINDOW", False));
  request.xclient.data.l[1] = CurrentTime;
  XSendEvent(observer_, native_, False, NoEventMask, &request);
  XSync(observer_, False);
  EXPECT_TRUE(PumpUntil([] { return HasReceived(WM_CLOSE); }));
}

}  // namespace
}  // namespace platform::x11
