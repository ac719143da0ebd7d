#include "framework/status_bar_ctrl.h"

#include <string>

namespace framework {

IMPLEMENT_DYNAMIC(CStatusBarCtrl, CWnd)

namespace {

WPARAM PartOf(int part) { return static_cast<WPARAM>(part); }

}  // namespace

bool CStatusBarCtrl::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
  return CWnd::Create(platform::kStatusBarClass, "", style, rect, parent, id);
}

void CStatusBarCtrl::SetSimple(bool simple) {
  platform::SendMessage(m_hWnd, platform::SB_SIMPLE, simple ? 1 : 0, 0);
}

bool CStatusBarCtrl::SetText(const char* text, int part) {
  return platform::SendMessage(m_hWnd, platform::SB_SETTEXT, PartOf(part),
                               reinterpret_cast<LPARAM>(text)) != 0;
}

CString CStatusBarCtrl::GetText(int part) const {
  std::string text(static_cast<size_t>(GetTextLength(part)) + 1, '\0');
  platform::SendMessage(m_hWnd, platform::SB_GETTEXT, PartOf(part),
                        reinterpret_cast<LPARAM>(text.data()));
  text.resize(text.size() - 1);
  return CString(std::move(text));
}

int CStatusBarCtrl::GetTextLength(int part) const {
  return static_cast<int>(
      platform::SendMessage(m_hWnd, platform::SB_GETTEXTLENGTH, PartOf(part), 0) & 0xFFFF);
}

bool CStatusBarCtrl::SetParts(int count, const int32_t* rights) {
  return platform::SendMessage(m_hWnd, platform::SB_SETPARTS, static_cast<WPARAM>(count),
                               reinterpret_cast<LPARAM>(rights)) != 0;
}

int CStatusBarCtrl::GetParts(int count, int32_t* rights) const {
  return static_cast<int>(platform::SendMessage(
      m_hWnd, platform::SB_GETPARTS, static_cast<WPARAM>(count), reinterpret_cast<LPARAM>(rights)));
}

}  // namespace framework
