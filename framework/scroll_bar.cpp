#include "framework/scroll_bar.h"

namespace framework {

IMPLEMENT_DYNAMIC(CScrollBar, CWnd)

bool CScrollBar::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
  return CWnd::Create(platform::kScrollBarClass, "", style, rect, parent, id);
}

int32_t CScrollBar::SetScrollInfo(const platform::SCROLLINFO* info, bool redraw) {
  return platform::SetScrollInfo(m_hWnd, platform::SB_CTL, info, redraw);
}

bool CScrollBar::GetScrollInfo(platform::SCROLLINFO* info, UINT mask) const {
  info->cbSize = sizeof(platform::SCROLLINFO);
  info->fMask = mask;
  return platform::GetScrollInfo(m_hWnd, platform::SB_CTL, info);
}

int32_t CScrollBar::SetScrollPos(int32_t pos, bool redraw) {
  return platform::SetScrollPos(m_hWnd, platform::SB_CTL, pos, redraw);
}

int32_t CScrollBar::GetScrollPos() const {
  return platform::GetScrollPos(m_hWnd, platform::SB_CTL);
}

bool CScrollBar::SetScrollRange(int32_t min, int32_t max, bool redraw) {
  return platform::SetScrollRange(m_hWnd, platform::SB_CTL, min, max, redraw);
}

bool CScrollBar::GetScrollRange(int32_t* min, int32_t* max) const {
  return platform::GetScrollRange(m_hWnd, platform::SB_CTL, min, max);
}

}  // namespace framework
