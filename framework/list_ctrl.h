// The list view control's object: a SysListView32 window made as a child,
// its columns, items, states, sorting and image lists.
#pragma once

#include <cstdint>

#include "framework/cstring.h"
#include "framework/wnd.h"
#include "platform/list_view.h"

namespace framework {

class CListCtrl : public CWnd {
  DECLARE_DYNAMIC(CListCtrl)

 public:
  bool Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);

  // Answers the previous extended style.
  DWORD SetExtendedStyle(DWORD style);
  DWORD GetExtendedStyle() const;
  // Answers the column's index, -1 on failure.
  int InsertColumn(int column, const char* heading, int format = platform::LVCFMT_LEFT,
                   int32_t width = -1);
  // `width` may be LVSCW_AUTOSIZE or LVSCW_AUTOSIZE_USEHEADER.
  bool SetColumnWidth(int column, int32_t width);
  int32_t GetColumnWidth(int column) const;

  // Answer the item's index, -1 on failure.
  int InsertItem(const platform::LVITEMA* item);
  int InsertItem(int index, const char* text);
  bool SetItem(const platform::LVITEMA* item);
  bool GetItem(platform::LVITEMA* item) const;
  // `text` may be LPSTR_TEXTCALLBACK.
  bool SetItemText(int index, int column, const char* text);
  CString GetItemText(int index, int column) const;
  bool SetItemData(int index, LPARAM data);
  LPARAM GetItemData(int index) const;
  bool SetItemState(int index, UINT state, UINT mask);
  UINT GetItemState(int index, UINT mask) const;
  int GetNextItem(int start, UINT flags) const;
  int GetItemCount() const;
  bool DeleteItem(int index);
  bool DeleteAllItems();
  bool SortItems(platform::PFNLVCOMPARE compare, LPARAM data);
  bool EnsureVisible(int index, bool partialOk);
  bool GetItemRect(int index, RECT* rect, int32_t part) const;
  // Answers the previous list; the control never destroys one.
  platform::HIMAGELIST SetImageList(platform::HIMAGELIST list, UINT which);
  platform::HIMAGELIST GetImageList(UINT which) const;

 private:
  LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
    return platform::SendMessage(m_hWnd, message, wParam, lParam);
  }
};

}  // namespace framework
