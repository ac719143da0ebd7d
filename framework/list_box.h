// The list-box control's object: a ListBox window made as a child, its
// items with their data, its selection and caret.
#pragma once

#include <cstdint>
#include <string>

#include "framework/wnd.h"
#include "platform/list_box.h"

namespace framework {

class CListBox : public CWnd {
  DECLARE_DYNAMIC(CListBox)

 public:
  // `style` holds the LBS_* and the window styles.
  bool Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);

  // Each answers the item's index, or LB_ERR.
  int32_t AddString(const char* text);
  int32_t InsertString(int32_t index, const char* text);
  // Answers how many items are left, or LB_ERR.
  int32_t DeleteString(int32_t index);
  void ResetContent();
  int32_t GetCount() const;

  int32_t GetCurSel() const;
  int32_t SetCurSel(int32_t index);
  int32_t GetSel(int32_t index) const;
  // -1 stands for every item.
  int32_t SetSel(int32_t index, bool select = true);
  int32_t GetSelCount() const;
  int32_t GetSelItems(int32_t most, int32_t* indexes) const;
  int32_t GetCaretIndex() const;
  int32_t SetCaretIndex(int32_t index, bool scroll = true);
  int32_t GetTopIndex() const;
  int32_t SetTopIndex(int32_t index);

  // The item's text; empty for a wrong index.
  std::string GetText(int32_t index) const;
  int32_t GetTextLen(int32_t index) const;
  uintptr_t GetItemData(int32_t index) const;
  int32_t SetItemData(int32_t index, uintptr_t data);
  int32_t GetItemRect(int32_t index, RECT* rect) const;
  int32_t GetItemHeight(int32_t index) const;
  int32_t SetItemHeight(int32_t index, int32_t height);

 private:
  LRESULT Ask(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
};

}  // namespace framework
