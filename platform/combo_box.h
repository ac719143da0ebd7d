// The combo-box control: windows of the system class "ComboBox", a field
// showing the selected item of a list that is shown below it (CBS_SIMPLE)
// or dropped down in a popup window (CBS_DROPDOWN, CBS_DROPDOWNLIST). The
// items, their data and owner drawing are those of the list box, asked
// and told as the combo box's (ODT_COMBOBOX); what the user does reaches
// the parent as WM_COMMAND with CBN_* codes.
#pragma once

#include <cstdint>

#include "platform/windef.h"
#include "platform/window_message.h"

namespace platform {

inline constexpr char kComboBoxClass[] = "ComboBox";

// The kind, in the low two bits.
inline constexpr DWORD CBS_SIMPLE = 0x0001;
inline constexpr DWORD CBS_DROPDOWN = 0x0002;
inline constexpr DWORD CBS_DROPDOWNLIST = 0x0003;
inline constexpr DWORD kComboKindMask = 0x0003;
inline constexpr DWORD CBS_OWNERDRAWFIXED = 0x0010;
inline constexpr DWORD CBS_OWNERDRAWVARIABLE = 0x0020;
inline constexpr DWORD CBS_HASSTRINGS = 0x0200;

inline constexpr UINT CB_ADDSTRING = 0x0143;
inline constexpr UINT CB_DELETESTRING = 0x0144;
inline constexpr UINT CB_GETCOUNT = 0x0146;
inline constexpr UINT CB_GETCURSEL = 0x0147;
inline constexpr UINT CB_GETLBTEXT = 0x0148;
inline constexpr UINT CB_GETLBTEXTLEN = 0x0149;
inline constexpr UINT CB_INSERTSTRING = 0x014A;
inline constexpr UINT CB_RESETCONTENT = 0x014B;
inline constexpr UINT CB_SETCURSEL = 0x014E;
// wParam: open (nonzero) or close the list, telling CBN_DROPDOWN or
// CBN_CLOSEUP but no choice.
inline constexpr UINT CB_SHOWDROPDOWN = 0x014F;
inline constexpr UINT CB_GETITEMDATA = 0x0150;
inline constexpr UINT CB_SETITEMDATA = 0x0151;
inline constexpr UINT CB_SETITEMHEIGHT = 0x0153;
inline constexpr UINT CB_GETITEMHEIGHT = 0x0154;
// With the extended user interface Down opens a closed list and F4 does
// nothing.
inline constexpr UINT CB_SETEXTENDEDUI = 0x0155;
inline constexpr UINT CB_GETEXTENDEDUI = 0x0156;
inline constexpr UINT CB_GETDROPPEDSTATE = 0x0157;

inline constexpr LRESULT CB_OKAY = 0;
inline constexpr LRESULT CB_ERR = -1;
inline constexpr LRESULT CB_ERRSPACE = -2;

// Notify codes in HIWORD of WM_COMMAND's wParam. A list closed by Enter,
// F4, Alt+Up/Down or a pick tells SELENDOK, one closed by Esc or the
// focus leaving SELENDCANCEL, each followed by CLOSEUP; a simple combo box
// tells SELENDOK before each SELCHANGE.
inline constexpr UINT CBN_SELCHANGE = 1;
inline constexpr UINT CBN_SETFOCUS = 3;
inline constexpr UINT CBN_KILLFOCUS = 4;
inline constexpr UINT CBN_DROPDOWN = 7;
inline constexpr UINT CBN_CLOSEUP = 8;
inline constexpr UINT CBN_SELENDOK = 9;
inline constexpr UINT CBN_SELENDCANCEL = 10;

}  // namespace platform
