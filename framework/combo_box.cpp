#include "framework/combo_box.h"

namespace framework {

IMPLEMENT_DYNAMIC(CComboBox, CWnd)

using namespace platform;

bool CComboBox::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
  return CWnd::Create(kComboBoxClass, "", style, rect, parent, id);
}

LRESULT CComboBox::Ask(UINT message, WPARAM wParam, LPARAM lParam) const {
  return platform::SendMessage(m_hWnd, message, wParam, lParam);
}

int32_t CComboBox::AddString(const char* text) {
  return static_cast<int32_t>(Ask(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text)));
}

int32_t CComboBox::InsertString(int32_t index, const char* text) {
  return static_cast<int32_t>(
      Ask(CB_INSERTSTRING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text)));
}

int32_t CComboBox::DeleteString(int32_t index) {
  return static_cast<int32_t>(Ask(CB_DELETESTRING, static_cast<WPARAM>(index)));
}

void CComboBox::ResetContent() { Ask(CB_RESETCONTENT); }

int32_t CComboBox::GetCount() const { return static_cast<int32_t>(Ask(CB_GETCOUNT)); }

int32_t CComboBox::GetCurSel() const { return static_cast<int32_t>(Ask(CB_GETCURSEL)); }

int32_t CComboBox::SetCurSel(int32_t index) {
  return static_cast<int32_t>(Ask(CB_SETCURSEL, static_cast<WPARAM>(index)));
}

std::string CComboBox::GetLBText(int32_t index) const {
  const int32_t length = GetLBTextLen(index);
  if (length == CB_ERR) return std::string();
  std::string text(static_cast<size_t>(length), '\0');
  Ask(CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
  return text;
}

int32_t CComboBox::GetLBTextLen(int32_t index) const {
  return static_cast<int32_t>(Ask(CB_GETLBTEXTLEN, static_cast<WPARAM>(index)));
}

uintptr_t CComboBox::GetItemData(int32_t index) const {
  return static_cast<uintptr_t>(Ask(CB_GETITEMDATA, static_cast<WPARAM>(index)));
}

int32_t CComboBox::SetItemData(int32_t index, uintptr_t data) {
  return static_cast<int32_t>(
      Ask(CB_SETITEMDATA, static_cast<WPARAM>(index), static_cast<LPARAM>(data)));
}

int32_t CComboBox::GetItemHeight(int32_t index) const {
  return static_cast<int32_t>(Ask(CB_GETITEMHEIGHT, static_cast<WPARAM>(index)));
}

int32_t CComboBox::SetItemHeight(int32_t index, int32_t height) {
  return static_cast<int32_t>(
      Ask(CB_SETITEMHEIGHT, static_cast<WPARAM>(index), MakeLParam(height, 0)));
}

bool CComboBox::GetDroppedState() const { return Ask(CB_GETDROPPEDSTATE) != 0; }

void CComboBox::ShowDropDown(bool show) { Ask(CB_SHOWDROPDOWN, show ? 1 : 0); }

bool CComboBox::GetExtendedUI() const { return Ask(CB_GETEXTENDEDUI) != 0; }

int32_t CComboBox::SetExtendedUI(bool extended) {
  return static_cast<int32_t>(Ask(CB_SETEXTENDEDUI, extended ? 1 : 0));
}

}  // namespace framework
