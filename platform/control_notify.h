// What controls tell their parent: WM_COMMAND notify codes, WM_NOTIFY
// headers, owner-draw requests and the colour questions, with readers for
// their parameters so that handlers never cast an lParam themselves.
#pragma once

#include <cstdint>

#include "platform/gdi.h"
#include "platform/windef.h"
#include "platform/window_message.h"

namespace platform {

// A control's font: wParam the HFONT (0: the system font), LOWORD(lParam)
// whether to redraw; WM_GETFONT answers it.
inline constexpr UINT WM_SETFONT = 0x0030;
inline constexpr UINT WM_GETFONT = 0x0031;
inline constexpr UINT WM_DRAWITEM = 0x002B;
inline constexpr UINT WM_MEASUREITEM = 0x002C;
inline constexpr UINT WM_DELETEITEM = 0x002D;
inline constexpr UINT WM_NOTIFY = 0x004E;
// A dialog asks a control which keys it keeps for itself (wParam the key,
// lParam the MSG or 0); the answer is DLGC_* bits.
inline constexpr UINT WM_GETDLGCODE = 0x0087;
inline constexpr UINT WM_COMMAND = 0x0111;
inline constexpr UINT WM_CTLCOLORMSGBOX = 0x0132;
inline constexpr UINT WM_CTLCOLOREDIT = 0x0133;
inline constexpr UINT WM_CTLCOLORLISTBOX = 0x0134;
inline constexpr UINT WM_CTLCOLORBTN = 0x0135;
inline constexpr UINT WM_CTLCOLORDLG = 0x0136;
inline constexpr UINT WM_CTLCOLORSCROLLBAR = 0x0137;
inline constexpr UINT WM_CTLCOLORSTATIC = 0x0138;

// Which colour question a WM_CTLCOLOR* message asks, counted from
// WM_CTLCOLORMSGBOX.
inline constexpr UINT CTLCOLOR_MSGBOX = 0;
inline constexpr UINT CTLCOLOR_EDIT = 1;
inline constexpr UINT CTLCOLOR_LISTBOX = 2;
inline constexpr UINT CTLCOLOR_BTN = 3;
inline constexpr UINT CTLCOLOR_DLG = 4;
inline constexpr UINT CTLCOLOR_SCROLLBAR = 5;
inline constexpr UINT CTLCOLOR_STATIC = 6;

inline constexpr LRESULT DLGC_WANTARROWS = 0x0001;
inline constexpr LRESULT DLGC_WANTTAB = 0x0002;
inline constexpr LRESULT DLGC_WANTALLKEYS = 0x0004;
inline constexpr LRESULT DLGC_WANTMESSAGE = 0x0004;
inline constexpr LRESULT DLGC_HASSETSEL = 0x0008;
inline constexpr LRESULT DLGC_DEFPUSHBUTTON = 0x0010;
inline constexpr LRESULT DLGC_UNDEFPUSHBUTTON = 0x0020;
inline constexpr LRESULT DLGC_RADIOBUTTON = 0x0040;
inline constexpr LRESULT DLGC_WANTCHARS = 0x0080;
inline constexpr LRESULT DLGC_STATIC = 0x0100;
inline constexpr LRESULT DLGC_BUTTON = 0x2000;

inline bool IsCtlColorMessage(UINT message) {
  return message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC;
}

// Owner-draw control kinds; a menu item has no window of its own.
inline constexpr UINT ODT_MENU = 1;
inline constexpr UINT ODT_LISTBOX = 2;
inline constexpr UINT ODT_COMBOBOX = 3;
inline constexpr UINT ODT_BUTTON = 4;
inline constexpr UINT ODT_STATIC = 5;

struct NMHDR {
  HWND hwndFrom = kNoWindow;
  UINT_PTR idFrom = 0;
  UINT code = 0;
};

struct DRAWITEMSTRUCT {
  UINT CtlType = 0;
  UINT CtlID = 0;
  UINT itemID = 0;
  UINT itemAction = 0;
  UINT itemState = 0;
  HWND hwndItem = kNoWindow;
  HDC hDC = nullptr;
  RECT rcItem;
  uintptr_t itemData = 0;
};

// Names its control by id only: the parent finds the window.
struct MEASUREITEMSTRUCT {
  UINT CtlType = 0;
  UINT CtlID = 0;
  UINT itemID = 0;
  UINT itemWidth = 0;
  UINT itemHeight = 0;
  uintptr_t itemData = 0;
};

struct DELETEITEMSTRUCT {
  UINT CtlType = 0;
  UINT CtlID = 0;
  UINT itemID = 0;
  HWND hwndItem = kNoWindow;
  uintptr_t itemData = 0;
};

// WM_COMMAND: the command or control id in the low word of wParam, the
// notify code in the high word (0 for a menu item, 1 for an accelerator),
// the control's window in lParam (0 for a menu or an accelerator).
inline WPARAM MakeWParam(UINT low, UINT high) {
  return static_cast<WPARAM>((low & 0xFFFF) | ((high & 0xFFFF) << 16));
}
inline UINT CommandIdOf(WPARAM wParam) { return static_cast<UINT>(wParam & 0xFFFF); }
inline UINT NotifyCodeOf(WPARAM wParam) { return static_cast<UINT>((wParam >> 16) & 0xFFFF); }
inline HWND ControlOf(LPARAM lParam) { return static_cast<HWND>(lParam); }

inline NMHDR* NotifyHeaderOf(LPARAM lParam) { return reinterpret_cast<NMHDR*>(lParam); }
inline DRAWITEMSTRUCT* DrawItemOf(LPARAM lParam) {
  return reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
}
inline MEASUREITEMSTRUCT* MeasureItemOf(LPARAM lParam) {
  return reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
}
inline DELETEITEMSTRUCT* DeleteItemOf(LPARAM lParam) {
  return reinterpret_cast<DELETEITEMSTRUCT*>(lParam);
}
// WM_CTLCOLOR*: the control's DC in wParam, its window in lParam; the
// answer is the brush to paint its background with.
inline HDC ColourDCOf(WPARAM wParam) { return reinterpret_cast<HDC>(wParam); }
inline LRESULT BrushAnswer(HBRUSH brush) { return reinterpret_cast<LRESULT>(brush); }
inline HBRUSH BrushOf(LRESULT answer) { return reinterpret_cast<HBRUSH>(answer); }

}  // namespace platform
