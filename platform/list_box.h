// The list-box control: windows of the system class "ListBox", a column of
// items (CP932 texts or owner-drawn entries, each with a word of item
// data) of which one, several or a range can be selected, with a caret on
// one of them. It tells its parent what the user did through WM_COMMAND
// (LBN_*), asks it to measure, draw and forget owner-drawn items, and with
// LBS_WANTKEYBOARDINPUT lets it answer keys first through WM_VKEYTOITEM.
// A vertical scroll bar appears when the items do not fit.
#pragma once

#include <cstdint>

#include "platform/windef.h"
#include "platform/window_message.h"

namespace platform {

inline constexpr char kListBoxClass[] = "ListBox";

inline constexpr DWORD LBS_NOTIFY = 0x0001;
inline constexpr DWORD LBS_MULTIPLESEL = 0x0008;
inline constexpr DWORD LBS_OWNERDRAWFIXED = 0x0010;
inline constexpr DWORD LBS_OWNERDRAWVARIABLE = 0x0020;
inline constexpr DWORD LBS_HASSTRINGS = 0x0040;
inline constexpr DWORD LBS_WANTKEYBOARDINPUT = 0x0400;
inline constexpr DWORD LBS_EXTENDEDSEL = 0x0800;

inline constexpr UINT LB_ADDSTRING = 0x0180;
inline constexpr UINT LB_INSERTSTRING = 0x0181;
inline constexpr UINT LB_DELETESTRING = 0x0182;
inline constexpr UINT LB_RESETCONTENT = 0x0184;
inline constexpr UINT LB_SETSEL = 0x0185;
inline constexpr UINT LB_SETCURSEL = 0x0186;
inline constexpr UINT LB_GETSEL = 0x0187;
inline constexpr UINT LB_GETCURSEL = 0x0188;
inline constexpr UINT LB_GETTEXT = 0x0189;
inline constexpr UINT LB_GETTEXTLEN = 0x018A;
inline constexpr UINT LB_GETCOUNT = 0x018B;
inline constexpr UINT LB_GETTOPINDEX = 0x018E;
inline constexpr UINT LB_GETSELCOUNT = 0x0190;
inline constexpr UINT LB_GETSELITEMS = 0x0191;
inline constexpr UINT LB_SETTOPINDEX = 0x0197;
inline constexpr UINT LB_GETITEMRECT = 0x0198;
inline constexpr UINT LB_GETITEMDATA = 0x0199;
inline constexpr UINT LB_SETITEMDATA = 0x019A;
inline constexpr UINT LB_SETCARETINDEX = 0x019E;
inline constexpr UINT LB_GETCARETINDEX = 0x019F;
inline constexpr UINT LB_SETITEMHEIGHT = 0x01A0;
inline constexpr UINT LB_GETITEMHEIGHT = 0x01A1;

inline constexpr LRESULT LB_OKAY = 0;
inline constexpr LRESULT LB_ERR = -1;
inline constexpr LRESULT LB_ERRSPACE = -2;

// Notify codes in HIWORD of WM_COMMAND's wParam. SELCHANGE and DBLCLK come
// only with LBS_NOTIFY, and only for what the user did; the focus codes
// always come.
inline constexpr UINT LBN_SELCHANGE = 1;
inline constexpr UINT LBN_DBLCLK = 2;
inline constexpr UINT LBN_SETFOCUS = 4;
inline constexpr UINT LBN_KILLFOCUS = 5;

// With LBS_WANTKEYBOARDINPUT, a key pressed in the list: wParam the key in
// its low word and the caret index in the high word, lParam the list.
// The parent's answer: kVKeyHandled (it did everything), kVKeyDefault
// (the list acts on the key), or an index the key then acts from.
inline constexpr UINT WM_VKEYTOITEM = 0x002E;
inline constexpr LRESULT kVKeyHandled = -2;
inline constexpr LRESULT kVKeyDefault = -1;

// What an owner-drawn item is drawn for, and in which state.
inline constexpr UINT ODA_DRAWENTIRE = 0x0001;
inline constexpr UINT ODS_SELECTED = 0x0001;
inline constexpr UINT ODS_DISABLED = 0x0004;
inline constexpr UINT ODS_FOCUS = 0x0010;
inline constexpr UINT ODS_COMBOBOXEDIT = 0x1000;

// The most an item's height may be.
inline constexpr int32_t kMaxListItemHeight = 255;

}  // namespace platform
