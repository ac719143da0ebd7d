// The combo-box control's object: a ComboBox window made as a child, its
// items with their data, its selection and its dropped-down list.
#pragma once

#include <cstdint>
#include <string>

#include "framework/wnd.h"
#include "platform/combo_box.h"

namespace framework {

class CComboBox : public CWnd {
  DECLARE_DYNAMIC(CComboBox)

 public:
  // `style` holds the CBS_* and the window styles.
  bool Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);

  // Each answers the item's index, or CB_ERR.
  int32_t AddString(const char* text);
  int32_t InsertString(int32_t index, const char* text);
  // Answers how many items are left, or CB_ERR.
  int32_t DeleteString(int32_t index);
  void ResetContent();
  int32_t GetCount() const;
  int32_t GetCurSel() const;
  int32_t SetCurSel(int32_t index);

  // The item's text; empty for a wrong index.
  std::string GetLBText(int32_t index) const;
  int32_t GetLBTextLen(int32_t index) const;
  uintptr_t GetItemData(int32_t index) const;
  int32_t SetItemData(int32_t index, uintptr_t data);
  int32_t GetItemHeight(int32_t index) const;
  int32_t SetItemHeight(int32_t index, int32_t height);

  bool GetDroppedState() const;
  void ShowDropDown(bool show = true);
  bool GetExtendedUI() const;
  int32_t SetExtendedUI(bool extended = true);

 private:
  LRESULT Ask(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
};

}  // namespace framework
