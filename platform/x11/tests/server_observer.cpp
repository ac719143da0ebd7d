#include "server_observer.h"

#include <algorithm>

// Xlib's macros would clash with our names, so its headers come last.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace platform::x11 {
namespace {

KeySym SymbolOf(ServerObserver::Key key) {
  return key == ServerObserver::Key::kLetterA ? XK_a : XK_BackSpace;
}

}  // namespace

std::unique_ptr<ServerObserver> ServerObserver::Open(const std::string& displayName) {
  Display* display = XOpenDisplay(displayName.c_str());
  if (display == nullptr) return nullptr;
  return std::unique_ptr<ServerObserver>(new ServerObserver(display));
}

void ServerObserver::UseFromThreads() { XInitThreads(); }

ServerObserver::~ServerObserver() { XCloseDisplay(display_); }

std::vector<char> ServerObserver::Grab(unsigned long window, const RECT& area, int32_t maskLeft,
                                       int32_t maskRight) {
  XImage* image = XGetImage(display_, window, area.left, area.top, area.Width(), area.Height(),
                            AllPlanes, ZPixmap);
  if (image == nullptr) return {};
  std::vector<char> pixels(image->data, image->data + image->bytes_per_line * image->height);
  const int bytes = image->bits_per_pixel / 8;
  const int32_t from = std::max(maskLeft - area.left, 0);
  const int32_t to = std::min(maskRight - area.left, area.Width());
  for (int row = 0; row < image->height && from < to; ++row) {
    char* start = pixels.data() + row * image->bytes_per_line;
    std::fill(start + from * bytes, start + to * bytes, 0);
  }
  XDestroyImage(image);
  return pixels;
}

bool ServerObserver::Viewable(unsigned long window) {
  Window root = 0;
  Window parent = 0;
  Window* children = nullptr;
  unsigned count = 0;
  if (XQueryTree(display_, DefaultRootWindow(display_), &root, &parent, &children, &count) == 0)
    return false;
  const bool found = std::find(children, children + count, window) != children + count;
  XFree(children);
  XWindowAttributes attributes{};
  return found && XGetWindowAttributes(display_, window, &attributes) != 0 &&
         attributes.map_state == IsViewable;
}

void ServerObserver::Focus(unsigned long window) {
  XSetInputFocus(display_, window, RevertToParent, CurrentTime);
  XSync(display_, False);
}

void ServerObserver::Press(Key key) {
  XTestFakeKeyEvent(display_, XKeysymToKeycode(display_, SymbolOf(key)), True, CurrentTime);
  XFlush(display_);
}

void ServerObserver::Release(Key key) {
  XTestFakeKeyEvent(display_, XKeysymToKeycode(display_, SymbolOf(key)), False, CurrentTime);
  XSync(display_, False);
}

}  // namespace platform::x11
