#include "platform/system_classes.h"

#include "platform/button.h"
#include "platform/combo_box.h"
#include "platform/combo_list.h"
#include "platform/cursor.h"
#include "platform/dialog.h"
#include "platform/edit_control.h"
#include "platform/list_box.h"
#include "platform/list_view.h"
#include "platform/menu_window.h"
#include "platform/message_box.h"
#include "platform/scroll_bar.h"
#include "platform/static_control.h"
#include "platform/status_control.h"
#include "platform/up_down.h"

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

  WNDCLASS button;
  button.style = CS_DBLCLKS;
  button.lpfnWndProc = ButtonProc;
  button.hCursor = LoadCursor(0, IDC_ARROW);
  button.lpszClassName = kButtonClass;

  WNDCLASS label;
  label.lpfnWndProc = StaticProc;
  label.hCursor = LoadCursor(0, IDC_ARROW);
  label.lpszClassName = kStaticClass;

  WNDCLASS dialog;
  dialog.lpfnWndProc = DialogProc;
  dialog.hCursor = LoadCursor(0, IDC_ARROW);
  dialog.lpszClassName = kDialogClass;

  WNDCLASS listBox;
  listBox.style = CS_DBLCLKS;
  listBox.lpfnWndProc = ListBoxProc;
  listBox.hCursor = LoadCursor(0, IDC_ARROW);
  listBox.lpszClassName = kListBoxClass;

  WNDCLASS comboList = listBox;
  comboList.lpfnWndProc = ComboListProc;
  comboList.lpszClassName = kComboListClass;

  WNDCLASS comboBox = listBox;
  comboBox.lpfnWndProc = ComboBoxProc;
  comboBox.lpszClassName = kComboBoxClass;

  WNDCLASS statusBar;
  statusBar.style = CS_HREDRAW | CS_VREDRAW;
  statusBar.lpfnWndProc = StatusBarProc;
  statusBar.hCursor = LoadCursor(0, IDC_ARROW);
  statusBar.lpszClassName = kStatusBarClass;

  WNDCLASS upDown;
  upDown.lpfnWndProc = UpDownProc;
  upDown.hCursor = LoadCursor(0, IDC_ARROW);
  upDown.lpszClassName = kUpDownClass;

  WNDCLASS listView;
  listView.style = CS_DBLCLKS;
  listView.lpfnWndProc = ListViewProc;
  listView.hCursor = LoadCursor(0, IDC_ARROW);
  listView.lpszClassName = kListViewClass;
  return {scrollBar, edit,    messageBox, popupMenu, menuBar,   button, label,
          dialog,    listBox, comboList,  comboBox,  statusBar, upDown, listView};
}

}  // namespace platform
