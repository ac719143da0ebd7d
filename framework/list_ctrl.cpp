#include "framework/list_ctrl.h"

#include <string>

namespace framework {

IMPLEMENT_DYNAMIC(CListCtrl, CWnd)

namespace {

using namespace platform;

WPARAM IndexOf(int index) { return static_cast<WPARAM>(static_cast<intptr_t>(index)); }
template <typename T>
LPARAM AddressOf(T* record) {
  return reinterpret_cast<LPARAM>(record);
}

// A text asked for is first given this much room, then twice as much
// until it fits.
constexpr int32_t kFirstTextRoom = 256;

}  // namespace

bool CListCtrl::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
  return CWnd::Create(kListViewClass, "", style, rect, parent, id);
}

DWORD CListCtrl::SetExtendedStyle(DWORD style) {
  return static_cast<DWORD>(Send(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, static_cast<LPARAM>(style)));
}

DWORD CListCtrl::GetExtendedStyle() const {
  return static_cast<DWORD>(Send(LVM_GETEXTENDEDLISTVIEWSTYLE));
}

int CListCtrl::InsertColumn(int column, const char* heading, int format, int32_t width) {
  LVCOLUMNA info;
  info.mask = LVCF_TEXT | LVCF_FMT;
  info.fmt = format;
  info.pszText = const_cast<char*>(heading);
  if (width >= 0) {
    info.mask |= LVCF_WIDTH;
    info.cx = width;
  }
  return static_cast<int>(Send(LVM_INSERTCOLUMN, IndexOf(column), AddressOf(&info)));
}

bool CListCtrl::SetColumnWidth(int column, int32_t width) {
  return Send(LVM_SETCOLUMNWIDTH, IndexOf(column), MakeLParam(width, 0)) != 0;
}

int32_t CListCtrl::GetColumnWidth(int column) const {
  return static_cast<int32_t>(Send(LVM_GETCOLUMNWIDTH, IndexOf(column)));
}

int CListCtrl::InsertItem(const LVITEMA* item) {
  return static_cast<int>(Send(LVM_INSERTITEM, 0, AddressOf(item)));
}

int CListCtrl::InsertItem(int index, const char* text) {
  LVITEMA item;
  item.mask = LVIF_TEXT;
  item.iItem = index;
  item.pszText = const_cast<char*>(text);
  return InsertItem(&item);
}

bool CListCtrl::SetItem(const LVITEMA* item) { return Send(LVM_SETITEM, 0, AddressOf(item)) != 0; }

bool CListCtrl::GetItem(LVITEMA* item) const { return Send(LVM_GETITEM, 0, AddressOf(item)) != 0; }

bool CListCtrl::SetItemText(int index, int column, const char* text) {
  LVITEMA item;
  item.iSubItem = column;
  item.pszText = const_cast<char*>(text);
  return Send(LVM_SETITEMTEXT, IndexOf(index), AddressOf(&item)) != 0;
}

CString CListCtrl::GetItemText(int index, int column) const {
  for (int32_t room = kFirstTextRoom;; room *= 2) {
    std::string text(static_cast<size_t>(room), '\0');
    LVITEMA item;
    item.iSubItem = column;
    item.pszText = text.data();
    item.cchTextMax = room;
    const auto length =
        static_cast<int32_t>(Send(LVM_GETITEMTEXT, IndexOf(index), AddressOf(&item)));
    if (length < room - 1) {
      text.resize(static_cast<size_t>(length));
      return CString(std::move(text));
    }
  }
}

bool CListCtrl::SetItemData(int index, LPARAM data) {
  LVITEMA item;
  item.mask = LVIF_PARAM;
  item.iItem = index;
  item.lParam = data;
  return SetItem(&item);
}

LPARAM CListCtrl::GetItemData(int index) const {
  LVITEMA item;
  item.mask = LVIF_PARAM;
  item.iItem = index;
  return GetItem(&item) ? item.lParam : 0;
}

bool CListCtrl::SetItemState(int index, UINT state, UINT mask) {
  LVITEMA item;
  item.state = state;
  item.stateMask = mask;
  return Send(LVM_SETITEMSTATE, IndexOf(index), AddressOf(&item)) != 0;
}

UINT CListCtrl::GetItemState(int index, UINT mask) const {
  return static_cast<UINT>(Send(LVM_GETITEMSTATE, IndexOf(index), static_cast<LPARAM>(mask)));
}

int CListCtrl::GetNextItem(int start, UINT flags) const {
  return static_cast<int>(Send(LVM_GETNEXTITEM, IndexOf(start), static_cast<LPARAM>(flags)));
}

int CListCtrl::GetItemCount() const { return static_cast<int>(Send(LVM_GETITEMCOUNT)); }

bool CListCtrl::DeleteItem(int index) { return Send(LVM_DELETEITEM, IndexOf(index)) != 0; }

bool CListCtrl::DeleteAllItems() { return Send(LVM_DELETEALLITEMS) != 0; }

bool CListCtrl::SortItems(PFNLVCOMPARE compare, LPARAM data) {
  return Send(LVM_SORTITEMS, static_cast<WPARAM>(data), reinterpret_cast<LPARAM>(compare)) != 0;
}

bool CListCtrl::EnsureVisible(int index, bool partialOk) {
  return Send(LVM_ENSUREVISIBLE, IndexOf(index), partialOk ? 1 : 0) != 0;
}

bool CListCtrl::GetItemRect(int index, RECT* rect, int32_t part) const {
  if (rect == nullptr) return false;
  rect->left = part;
  return Send(LVM_GETITEMRECT, IndexOf(index), AddressOf(rect)) != 0;
}

HIMAGELIST CListCtrl::SetImageList(HIMAGELIST list, UINT which) {
  return reinterpret_cast<HIMAGELIST>(
      Send(LVM_SETIMAGELIST, which, reinterpret_cast<LPARAM>(list)));
}

HIMAGELIST CListCtrl::GetImageList(UINT which) const {
  return reinterpret_cast<HIMAGELIST>(Send(LVM_GETIMAGELIST, which));
}

}  // namespace framework
