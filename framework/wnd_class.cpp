#include "framework/wnd_class.h"

#include <cstdio>
#include <mutex>
#include <set>
#include <string>

#include "framework/wnd.h"

namespace framework {

const char* AfxRegisterWndClass(platform::UINT classStyle, platform::HCURSOR cursor,
                                platform::HBRUSH background) {
  static std::mutex mutex;
  static std::set<std::string, std::less<>> names;
  char name[64];
  std::snprintf(name, sizeof name, "Afx:%x:%zx:%zx", classStyle, static_cast<size_t>(cursor),
                reinterpret_cast<size_t>(background));
  std::lock_guard lock(mutex);
  // The set keeps the name's storage; the class itself is asked for
  // again, since a reset of the window system forgets it.
  const char* kept = names.insert(name).first->c_str();
  if (platform::GetClassInfo(kept, nullptr)) return kept;
  platform::WNDCLASS windowClass;
  windowClass.style = classStyle;
  windowClass.lpfnWndProc = FrameworkWndProc;
  windowClass.hCursor = cursor;
  windowClass.hbrBackground = background;
  windowClass.lpszClassName = kept;
  return platform::RegisterClass(windowClass) != 0 ? kept : nullptr;
}

}  // namespace framework
