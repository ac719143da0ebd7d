#include "display_fixture.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>

#include "platform/input.h"
#include "platform/window.h"
#include "platform/window_message.h"

// Xlib's macros would clash with our names, so its headers come last.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace platform::x11 {
namespace {

using std::chrono::steady_clock;

constexpr auto kPatience = std::chrono::seconds(10);
constexpr int kPollMs = 20;

}  // namespace

void DisplayFixture::SetUp() {
  server_ = Xvfb::Start();
  if (server_ == nullptr) GTEST_SKIP() << "Xvfb could not be started";
  setenv("DISPLAY", server_->name().c_str(), 1);
  backend_ = X11Backend::Connect(server_->name().c_str());
  ASSERT_NE(backend_, nullptr);
  observer_ = XOpenDisplay(server_->name().c_str());
  ASSERT_NE(observer_, nullptr);
  scoped_.emplace(*backend_);
}

void DisplayFixture::TearDown() {
  scoped_.reset();
  backend_.reset();
  if (observer_ != nullptr) XCloseDisplay(observer_);
}

bool DisplayFixture::PumpUntil(const std::function<bool()>& done) {
  const auto deadline = steady_clock::now() + kPatience;
  while (!done()) {
    if (steady_clock::now() > deadline) return false;
    MSG msg;
    while (PeekMessage(&msg, kNoWindow, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessage(&msg);
    }
    if (!done()) WaitMessageFor(kPollMs);
  }
  return true;
}

bool DisplayFixture::Run(const std::string& command) { return std::system(command.c_str()) == 0; }

bool DisplayFixture::ExistsOnServer(unsigned long native) {
  Window root = 0;
  Window parent = 0;
  Window* children = nullptr;
  unsigned count = 0;
  if (XQueryTree(observer_, DefaultRootWindow(observer_), &root, &parent, &children, &count) == 0)
    return false;
  const bool found = std::find(children, children + count, native) != children + count;
  XFree(children);
  return found;
}

bool DisplayFixture::WaitUntilViewable(unsigned long native) {
  return PumpUntil([&] {
    XWindowAttributes attributes{};
    return ExistsOnServer(native) && XGetWindowAttributes(observer_, native, &attributes) != 0 &&
           attributes.map_state == IsViewable;
  });
}

std::optional<unsigned long> DisplayFixture::PixelOnServer(unsigned long native, int x, int y) {
  XImage* image = XGetImage(observer_, native, x, y, 1, 1, AllPlanes, ZPixmap);
  if (image == nullptr) return std::nullopt;
  const unsigned long pixel = XGetPixel(image, 0, 0);
  XDestroyImage(image);
  return pixel;
}

std::vector<unsigned long> DisplayFixture::PixelsOnServer(unsigned long native, int x, int y,
                                                          int width, int height) {
  XImage* image = XGetImage(observer_, native, x, y, static_cast<unsigned>(width),
                            static_cast<unsigned>(height), AllPlanes, ZPixmap);
  if (image == nullptr) return {};
  std::vector<unsigned long> pixels;
  pixels.reserve(static_cast<size_t>(width) * static_cast<size_t>(height));
  for (int row = 0; row < height; ++row) {
    for (int column = 0; column < width; ++column) pixels.push_back(XGetPixel(image, column, row));
  }
  XDestroyImage(image);
  return pixels;
}

void DisplayFixture::FocusOnServer(unsigned long native) {
  XSetInputFocus(observer_, native, RevertToParent, CurrentTime);
  XSync(observer_, False);
}

void DisplayFixture::SendDeleteWindow(unsigned long native) {
  XEvent request{};
  request.xclient.type = ClientMessage;
  request.xclient.window = native;
  request.xclient.message_type = XInternAtom(observer_, "WM_PROTOCOLS", False);
  request.xclient.format = 32;
  request.xclient.data.l[0] = static_cast<long>(XInternAtom(observer_, "WM_DELETE_WINDOW", False));
  request.xclient.data.l[1] = CurrentTime;
  XSendEvent(observer_, native, False, NoEventMask, &request);
  XSync(observer_, False);
}

}  // namespace platform::x11
