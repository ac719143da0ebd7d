// A connection of a tool's own to an X server, for looking at what the
// server shows and pressing keys as the keyboard would (XTest). Xlib's
// headers stay out of here, so that its users include none.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/windef.h"

struct _XDisplay;

namespace platform::x11 {

class ServerObserver {
 public:
  enum class Key { kLetterA, kBackSpace };

  // Null when the server does not answer.
  static std::unique_ptr<ServerObserver> Open(const std::string& displayName);
  // Lets connections be used from several threads; before any is opened.
  static void UseFromThreads();
  ~ServerObserver();
  ServerObserver(const ServerObserver&) = delete;
  ServerObserver& operator=(const ServerObserver&) = delete;

  // The window's pixels in `area` as the server holds them now, the
  // window columns [maskLeft, maskRight) blanked; empty when unreadable.
  std::vector<char> Grab(unsigned long window, const RECT& area, int32_t maskLeft,
                         int32_t maskRight);
  // Asked without naming a window the server may not have yet.
  bool Viewable(unsigned long window);
  // Gives the window the keyboard, as a window manager would.
  void Focus(unsigned long window);
  void Press(Key key);
  void Release(Key key);

 private:
  explicit ServerObserver(_XDisplay* display) : display_(display) {}
  _XDisplay* display_;
};

}  // namespace platform::x11
