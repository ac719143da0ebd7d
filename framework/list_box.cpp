#include "framework/list_box.h"

namespace framework {

IMPLEMENT_DYNAMIC(CListBox, CWnd)

using namespace platform;

bool CListBox::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
  return CWnd::Create(kListBoxClass, "", style, rect, parent, id);
}

LRESULT CListBox::Ask(UINT message, WPARAM wParam, LPARAM lParam) const {
  return platform::SendMessage(m_hWnd, message, wParam, lParam);
}

int32_t CListBox::AddString(const char* text) {
  return static_cast<int32_t>(Ask(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text)));
}

int32_t CListBox::InsertString(int32_t index, const char* text) {
  return static_cast<int32_t>(
      Ask(LB_INSERTSTRING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text)));
}

int32_t CListBox::DeleteString(int32_t index) {
  return static_cast<int32_t>(Ask(LB_DELETESTRING, static_cast<WPARAM>(index)));
}

void CListBox::ResetContent() { Ask(LB_RESETCONTENT); }

int32_t CListBox::GetCount() const { return static_cast<int32_t>(Ask(LB_GETCOUNT)); }

int32_t CListBox::GetCurSel() const { return static_cast<int32_t>(Ask(LB_GETCURSEL)); }

int32_t CListBox::SetCurSel(int32_t index) {
  return static_cast<int32_t>(Ask(LB_SETCURSEL, static_cast<WPARAM>(index)));
}

int32_t CListBox::GetSel(int32_t index) const {
  return static_cast<int32_t>(Ask(LB_GETSEL, static_cast<WPARAM>(index)));
}

int32_t CListBox::SetSel(int32_t index, bool select) {
  return static_cast<int32_t>(Ask(LB_SETSEL, select ? 1 : 0, index));
}

int32_t CListBox::GetSelCount() const { return static_cast<int32_t>(Ask(LB_GETSELCOUNT)); }

int32_t CListBox::GetSelItems(int32_t most, int32_t* indexes) const {
  return static_cast<int32_t>(
      Ask(LB_GETSELITEMS, static_cast<WPARAM>(most), reinterpret_cast<LPARAM>(indexes)));
}

int32_t CListBox::GetCaretIndex() const { return static_cast<int32_t>(Ask(LB_GETCARETINDEX)); }

int32_t CListBox::SetCaretIndex(int32_t index, bool scroll) {
  return static_cast<int32_t>(Ask(LB_SETCARETINDEX, static_cast<WPARAM>(index), scroll ? 1 : 0));
}

int32_t CListBox::GetTopIndex() const { return static_cast<int32_t>(Ask(LB_GETTOPINDEX)); }

int32_t CListBox::SetTopIndex(int32_t index) {
  return static_cast<int32_t>(Ask(LB_SETTOPINDEX, static_cast<WPARAM>(index)));
}

std::string CListBox::GetText(int32_t index) const {
  const int32_t length = GetTextLen(index);
  if (length == LB_ERR) return std::string();
  std::string text(static_cast<size_t>(length), '\0');
  Ask(LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
  return text;
}

int32_t CListBox::GetTextLen(int32_t index) const {
  return static_cast<int32_t>(Ask(LB_GETTEXTLEN, static_cast<WPARAM>(index)));
}

uintptr_t CListBox::GetItemData(int32_t index) const {
  return static_cast<uintptr_t>(Ask(LB_GETITEMDATA, static_cast<WPARAM>(index)));
}

int32_t CListBox::SetItemData(int32_t index, uintptr_t data) {
  return static_cast<int32_t>(
      Ask(LB_SETITEMDATA, static_cast<WPARAM>(index), static_cast<LPARAM>(data)));
}

int32_t CListBox::GetItemRect(int32_t index, RECT* rect) const {
  return static_cast<int32_t>(
      Ask(LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(rect)));
}

int32_t CListBox::GetItemHeight(int32_t index) const {
  return static_cast<int32_t>(Ask(LB_GETITEMHEIGHT, static_cast<WPARAM>(index)));
}

int32_t CListBox::SetItemHeight(int32_t index, int32_t height) {
  return static_cast<int32_t>(
      Ask(LB_SETITEMHEIGHT, static_cast<WPARAM>(index), MakeLParam(height, 0)));
}

}  // namespace framework
