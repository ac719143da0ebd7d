#include "platform/system_classes.h"

#include "platform/cursor.h"
#include "platform/edit_control.h"
#include "platform/menu_window.h"
#include "platform/message_box.h"
#include "platform/scroll_bar.h"

namespace platform {

std::vector<WNDCLASS> SystemClasses() {
  WNDCLASS scrollBar;
  scrollBar.style = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
  scrollBar.lpfnWndProc = ScrollBarProc;
  scrollBar.hCursor = LoadCursor(0, IDC_ARROW);
  scrollBar.lpszClassName = kScrollBarClass;

  WNDCLASS edit;
  edit.style = CS_DBLCLKS;
  edit.lpfnWndProc = EditProc;
  edit.hCursor = LoadCursor(0, IDC_IBEAM);
  edit.lpszClassName = kEditClass;

  WNDCLASS messageBox;
  messageBox.lpfnWndProc = MessageBoxProc;
  messageBox.hCursor = LoadCursor(0, IDC_ARROW);
  messageBox.lpszClassName = kMessageBoxClass;

  WNDCLASS popupMenu;
  popupMenu.lpfnWndProc = PopupMenuProc;
  popupMenu.hCursor = LoadCursor(0, IDC_ARROW);
  popupMenu.lpszClassName = kPopupMenuClass;

  WNDCLASS menuBar;
  menuBar.lpfnWndProc = MenuBarProc;
  menuBar.hCursor = LoadCursor(0, IDC_ARROW);
  menuBar.lpszClassName = kMenuBarClass;
  return {scrollBar, edit, messageBox, popupMenu, menuBar};
}

}  // namespace platform
