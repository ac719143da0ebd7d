#include "framework/edit.h"

namespace framework {

IMPLEMENT_DYNAMIC(CEdit, CWnd)

bool CEdit::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
  return CWnd::Create(platform::kEditClass, "", style, rect, parent, id);
}

void CEdit::SetLimitText(UINT limit) {
  platform::SendMessage(m_hWnd, platform::EM_LIMITTEXT, limit, 0);
}

UINT CEdit::GetLimitText() const {
  return static_cast<UINT>(platform::SendMessage(m_hWnd, platform::EM_GETLIMITTEXT, 0, 0));
}

void CEdit::SetSel(int32_t start, int32_t end, bool noScroll) {
  platform::SendMessage(m_hWnd, platform::EM_SETSEL, static_cast<WPARAM>(start),
                        static_cast<LPARAM>(end));
  if (!noScroll) platform::SendMessage(m_hWnd, platform::EM_SCROLLCARET, 0, 0);
}

void CEdit::GetSel(int32_t& start, int32_t& end) const {
  DWORD first = 0;
  DWORD last = 0;
  platform::SendMessage(m_hWnd, platform::EM_GETSEL, reinterpret_cast<WPARAM>(&first),
                        reinterpret_cast<LPARAM>(&last));
  start = static_cast<int32_t>(first);
  end = static_cast<int32_t>(last);
}

void CEdit::ReplaceSel(const char* text) {
  platform::SendMessage(m_hWnd, platform::EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(text));
}

bool CEdit::GetModify() const {
  return platform::SendMessage(m_hWnd, platform::EM_GETMODIFY, 0, 0) != 0;
}

void CEdit::SetModify(bool modified) {
  platform::SendMessage(m_hWnd, platform::EM_SETMODIFY, modified ? 1 : 0, 0);
}

}  // namespace framework
