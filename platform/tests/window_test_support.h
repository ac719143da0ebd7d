// What the window system's tests share.
#pragma once

#include "platform/window.h"

namespace platform {

inline ATOM RegisterTestClass(const char* name, WNDPROC proc, UINT style = 0) {
  WNDCLASS windowClass;
  windowClass.style = style;
  windowClass.lpfnWndProc = proc;
  windowClass.lpszClassName = name;
  return RegisterClass(windowClass);
}

}  // namespace platform
