#include "platform/system_classes.h"

#include "platform/cursor.h"
#include "platform/scroll_bar.h"

namespace platform {

std::vector<WNDCLASS> SystemClasses() {
  WNDCLASS scrollBar;
  scrollBar.style = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
  scrollBar.lpfnWndProc = ScrollBarProc;
  scrollBar.hCursor = LoadCursor(0, IDC_ARROW);
  scrollBar.lpszClassName = kScrollBarClass;
  return {scrollBar};
}

}  // namespace platform
