#include "framework/spin_button_ctrl.h"

namespace framework {

IMPLEMENT_DYNAMIC(CSpinButtonCtrl, CWnd)

bool CSpinButtonCtrl::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
  return CWnd::Create(platform::kUpDownClass, "", style, rect, parent, id);
}

void CSpinButtonCtrl::SetRange(int32_t lower, int32_t upper) {
  platform::SendMessage(m_hWnd, platform::UDM_SETRANGE, 0, platform::MakeLParam(upper, lower));
}

void CSpinButtonCtrl::GetRange(int32_t& lower, int32_t& upper) const {
  const LRESULT range = platform::SendMessage(m_hWnd, platform::UDM_GETRANGE, 0, 0);
  upper = platform::LowWord(range);
  lower = platform::HighWord(range);
}

int32_t CSpinButtonCtrl::SetPos(int32_t position) {
  return static_cast<int32_t>(
      platform::SendMessage(m_hWnd, platform::UDM_SETPOS, 0, platform::MakeLParam(position, 0)));
}

int32_t CSpinButtonCtrl::GetPos() const {
  return static_cast<int32_t>(platform::SendMessage(m_hWnd, platform::UDM_GETPOS, 0, 0));
}

CWnd* CSpinButtonCtrl::SetBuddy(CWnd* buddy) {
  const WPARAM handle = buddy == nullptr ? platform::kNoWindow : buddy->m_hWnd;
  return FromHandle(
      static_cast<HWND>(platform::SendMessage(m_hWnd, platform::UDM_SETBUDDY, handle, 0)));
}

CWnd* CSpinButtonCtrl::GetBuddy() const {
  return FromHandle(static_cast<HWND>(platform::SendMessage(m_hWnd, platform::UDM_GETBUDDY, 0, 0)));
}

}  // namespace framework
