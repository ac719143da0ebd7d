#include "framework/button.h"

namespace framework {

IMPLEMENT_DYNAMIC(CButton, CWnd)
IMPLEMENT_DYNAMIC(CStatic, CWnd)

bool CButton::Create(const char* text, DWORD style, const RECT& rect, CWnd* parent, UINT id) {
  return CWnd::Create(platform::kButtonClass, text, style, rect, parent, id);
}

UINT CButton::GetCheck() const {
  return static_cast<UINT>(platform::SendMessage(m_hWnd, platform::BM_GETCHECK, 0, 0));
}

void CButton::SetCheck(UINT check) {
  platform::SendMessage(m_hWnd, platform::BM_SETCHECK, check, 0);
}

UINT CButton::GetButtonStyle() const { return platform::ButtonKindOf(GetStyle()); }

void CButton::SetButtonStyle(UINT style, bool redraw) {
  platform::SendMessage(m_hWnd, platform::BM_SETSTYLE, style,
                        platform::MakeLParam(redraw ? 1 : 0, 0));
}

platform::HICON CButton::SetIcon(platform::HICON icon) {
  return static_cast<platform::HICON>(
      platform::SendMessage(m_hWnd, platform::BM_SETIMAGE, 0, static_cast<LPARAM>(icon)));
}

platform::HICON CButton::GetIcon() const {
  return static_cast<platform::HICON>(platform::SendMessage(m_hWnd, platform::BM_GETIMAGE, 0, 0));
}

bool CStatic::Create(const char* text, DWORD style, const RECT& rect, CWnd* parent, UINT id) {
  return CWnd::Create(platform::kStaticClass, text, style, rect, parent, id);
}

platform::HICON CStatic::SetIcon(platform::HICON icon) {
  return static_cast<platform::HICON>(
      platform::SendMessage(m_hWnd, platform::STM_SETICON, static_cast<WPARAM>(icon), 0));
}

platform::HICON CStatic::GetIcon() const {
  return static_cast<platform::HICON>(platform::SendMessage(m_hWnd, platform::STM_GETICON, 0, 0));
}

}  // namespace framework
