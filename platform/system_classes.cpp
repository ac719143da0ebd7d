#include "platform/system_classes.h"

#include "platform/cursor.h"
#include "platform/message_box.h"
#include "platform/scroll_bar.h"

namespace platform {

std::vector<WNDCLASS> SystemClasses() {
  WNDCLASS scrollBar;
  scrollBar.style = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
  scrollBar.lpfnWndProc = ScrollBarProc;
  scrollBar.hCursor = LoadCursor(0, IDC_ARROW);
  scrollBar.lpszClassName = kScrollBarClass;

  WNDCLASS messageBox;
  messageBox.lpfnWndProc = MessageBoxProc;
  messageBox.hCursor = LoadCursor(0, IDC_ARROW);
  messageBox.lpszClassName = kMessageBoxClass;
  return {scrollBar, messageBox};
}

}  // namespace platform
