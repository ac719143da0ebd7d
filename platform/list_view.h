// The list view control: windows of the system class "SysListView32", a
// list of items, each with a text per column (or the parent's text,
// asked for with LVN_GETDISPINFO), an image index, item data and the
// focused and selected states. In report mode a header row names the
// columns and a click on it sends LVN_COLUMNCLICK; in the other modes the
// items stand in one column. Every key is first told to the parent as
// LVN_KEYDOWN (Alt keys too); Up, Down, Home, End, Page Up and Page Down
// then move the focus, select the item alone and scroll it into view. A
// double click sends NM_DBLCLK.
#pragma once

#include <cstdint>

#include "platform/control_notify.h"
#include "platform/image_list.h"
#include "platform/windef.h"
#include "platform/window_message.h"

namespace platform {

inline constexpr char kListViewClass[] = "SysListView32";

inline constexpr DWORD LVS_ICON = 0x0000;
inline constexpr DWORD LVS_REPORT = 0x0001;
inline constexpr DWORD LVS_SMALLICON = 0x0002;
inline constexpr DWORD LVS_LIST = 0x0003;
inline constexpr DWORD LVS_TYPEMASK = 0x0003;
// Selecting an item deselects every other.
inline constexpr DWORD LVS_SINGLESEL = 0x0004;
// The selection shows (in the button face) while the control has not the focus.
inline constexpr DWORD LVS_SHOWSELALWAYS = 0x0008;

// A click anywhere on a report row selects it, and the whole row shows it.
inline constexpr DWORD LVS_EX_FULLROWSELECT = 0x00000020;

inline constexpr UINT LVM_FIRST = 0x1000;
inline constexpr UINT LVM_GETIMAGELIST = LVM_FIRST + 2;
inline constexpr UINT LVM_SETIMAGELIST = LVM_FIRST + 3;
inline constexpr UINT LVM_GETITEMCOUNT = LVM_FIRST + 4;
inline constexpr UINT LVM_GETITEM = LVM_FIRST + 5;
inline constexpr UINT LVM_SETITEM = LVM_FIRST + 6;
inline constexpr UINT LVM_INSERTITEM = LVM_FIRST + 7;
inline constexpr UINT LVM_DELETEITEM = LVM_FIRST + 8;
inline constexpr UINT LVM_DELETEALLITEMS = LVM_FIRST + 9;
inline constexpr UINT LVM_GETNEXTITEM = LVM_FIRST + 12;
inline constexpr UINT LVM_GETITEMRECT = LVM_FIRST + 14;
inline constexpr UINT LVM_ENSUREVISIBLE = LVM_FIRST + 19;
inline constexpr UINT LVM_INSERTCOLUMN = LVM_FIRST + 27;
inline constexpr UINT LVM_GETCOLUMNWIDTH = LVM_FIRST + 29;
inline constexpr UINT LVM_SETCOLUMNWIDTH = LVM_FIRST + 30;
inline constexpr UINT LVM_SETITEMSTATE = LVM_FIRST + 43;
inline constexpr UINT LVM_GETITEMSTATE = LVM_FIRST + 44;
inline constexpr UINT LVM_GETITEMTEXT = LVM_FIRST + 45;
inline constexpr UINT LVM_SETITEMTEXT = LVM_FIRST + 46;
inline constexpr UINT LVM_SORTITEMS = LVM_FIRST + 48;
inline constexpr UINT LVM_SETEXTENDEDLISTVIEWSTYLE = LVM_FIRST + 54;
inline constexpr UINT LVM_GETEXTENDEDLISTVIEWSTYLE = LVM_FIRST + 55;

inline constexpr UINT LVIF_TEXT = 0x0001;
inline constexpr UINT LVIF_IMAGE = 0x0002;
inline constexpr UINT LVIF_PARAM = 0x0004;
inline constexpr UINT LVIF_STATE = 0x0008;

inline constexpr UINT LVIS_FOCUSED = 0x0001;
inline constexpr UINT LVIS_SELECTED = 0x0002;

// The text is the parent's, asked for each time it is needed.
inline char* const LPSTR_TEXTCALLBACK = reinterpret_cast<char*>(static_cast<intptr_t>(-1));
inline constexpr int32_t I_IMAGECALLBACK = -1;

struct LVITEMA {
  UINT mask = 0;
  int32_t iItem = 0;
  int32_t iSubItem = 0;
  UINT state = 0;
  UINT stateMask = 0;
  char* pszText = nullptr;
  int32_t cchTextMax = 0;
  int32_t iImage = 0;
  LPARAM lParam = 0;
};

inline constexpr UINT LVCF_FMT = 0x0001;
inline constexpr UINT LVCF_WIDTH = 0x0002;
inline constexpr UINT LVCF_TEXT = 0x0004;
inline constexpr int32_t LVCFMT_LEFT = 0;

struct LVCOLUMNA {
  UINT mask = 0;
  int32_t fmt = LVCFMT_LEFT;
  int32_t cx = 0;
  char* pszText = nullptr;
  int32_t cchTextMax = 0;
  int32_t iSubItem = 0;
};

// LVM_SETCOLUMNWIDTH: as wide as the column's widest text, or as that and
// its header text.
inline constexpr int32_t LVSCW_AUTOSIZE = -1;
inline constexpr int32_t LVSCW_AUTOSIZE_USEHEADER = -2;

inline constexpr UINT LVSIL_NORMAL = 0;
inline constexpr UINT LVSIL_SMALL = 1;

// LVM_GETNEXTITEM: wParam the item to start after (-1: from the first),
// lParam what the item must have.
inline constexpr UINT LVNI_ALL = 0x0000;
inline constexpr UINT LVNI_FOCUSED = 0x0001;
inline constexpr UINT LVNI_SELECTED = 0x0002;

// LVM_GETITEMRECT: which part, in the rectangle's left on the way in.
inline constexpr int32_t LVIR_BOUNDS = 0;
inline constexpr int32_t LVIR_ICON = 1;
inline constexpr int32_t LVIR_LABEL = 2;
inline constexpr int32_t LVIR_SELECTBOUNDS = 3;

// LVM_SORTITEMS: lParam the comparison of two items' data, wParam its
// own argument; negative puts the first before the second.
using PFNLVCOMPARE = int (*)(LPARAM first, LPARAM second, LPARAM sort);

inline constexpr UINT NM_DBLCLK = 0u - 3u;
inline constexpr UINT LVN_FIRST = 0u - 100u;
inline constexpr UINT LVN_COLUMNCLICK = LVN_FIRST - 8;
inline constexpr UINT LVN_GETDISPINFO = LVN_FIRST - 50;
inline constexpr UINT LVN_KEYDOWN = LVN_FIRST - 55;

// LVN_GETDISPINFO: item.mask LVIF_TEXT asks for the text of item.iItem's
// column item.iSubItem (item.lParam its data): copied into item.pszText,
// at most item.cchTextMax bytes with the NUL, or item.pszText pointed at
// the parent's own text.
struct NMLVDISPINFOA {
  NMHDR hdr;
  LVITEMA item;
};

struct NMLVKEYDOWN {
  NMHDR hdr;
  uint16_t wVKey = 0;
  UINT flags = 0;
};

// LVN_COLUMNCLICK: iSubItem the column, iItem -1.
struct NMLISTVIEW {
  NMHDR hdr;
  int32_t iItem = -1;
  int32_t iSubItem = 0;
  UINT uNewState = 0;
  UINT uOldState = 0;
  UINT uChanged = 0;
  POINT ptAction;
  LPARAM lParam = 0;
};

// NM_DBLCLK: iItem the item under the pointer, -1 for none.
struct NMITEMACTIVATE {
  NMHDR hdr;
  int32_t iItem = -1;
  int32_t iSubItem = 0;
  UINT uNewState = 0;
  UINT uOldState = 0;
  UINT uChanged = 0;
  POINT ptAction;
  LPARAM lParam = 0;
  UINT uKeyFlags = 0;
};

}  // namespace platform
