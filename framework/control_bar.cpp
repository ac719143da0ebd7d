#include "framework/control_bar.h"

#include <string>
#include <vector>

#include "platform/menu_window.h"

namespace framework {

IMPLEMENT_DYNAMIC(CControlBar, CWnd)

bool CControlBar::CreateBar(const char* windowName, DWORD style, CWnd* parent, UINT id) {
  SetBarStyle(style);
  const RECT none{};
  return CreateEx(0, nullptr, windowName,
                  (style & ~CBRS_ALL) | platform::WS_CHILD | platform::WS_CLIPCHILDREN, none,
                  parent, id);
}

LRESULT CControlBar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != WM_IDLEUPDATECMDUI) return CWnd::WindowProc(message, wParam, lParam);
  if (platform::IsWindowVisible(m_hWnd)) {
    if (CWnd* target = GetParent()) OnUpdateCmdUI(target, wParam != 0);
  }
  return 0;
}

namespace {

// The bars among the window's children, oldest first.
std::vector<CControlBar*> BarsOf(CWnd* parent) {
  std::vector<CControlBar*> bars;
  for (HWND child = platform::GetWindow(parent->m_hWnd, platform::GW_CHILD);
       child != platform::kNoWindow; child = platform::GetWindow(child, platform::GW_HWNDNEXT)) {
    CWnd* object = CWnd::FromHandlePermanent(child);
    if (object != nullptr && object->IsKindOf(RUNTIME_CLASS(CControlBar)))
      bars.insert(bars.begin(), static_cast<CControlBar*>(object));
  }
  return bars;
}

}  // namespace

RECT RepositionBars(CWnd* parent, UINT leftOverId) {
  RECT left;
  parent->GetClientRect(&left);
  // The menu bar is a strip at the top of the client area.
  left.top += platform::MenuBarHeight(parent->m_hWnd);
  for (CControlBar* bar : BarsOf(parent)) {
    // The bar's own style: a frame lays out its bars before it is shown.
    if ((bar->GetStyle() & platform::WS_VISIBLE) == 0) continue;
    const int32_t height = bar->CalcFixedLayout(left.Width()).cy;
    const int32_t top = bar->IsAtBottom() ? left.bottom - height : left.top;
    platform::MoveWindow(bar->m_hWnd, left.left, top, left.Width(), height, true);
    if (bar->IsAtBottom()) {
      left.bottom -= height;
    } else {
      left.top += height;
    }
  }
  const HWND pane = platform::GetDlgItem(parent->m_hWnd, static_cast<int32_t>(leftOverId));
  if (pane != platform::kNoWindow)
    platform::MoveWindow(pane, left.left, left.top, left.Width(), left.Height(), true);
  return left;
}

void ShowControlBar(CControlBar* bar, bool show) {
  bar->ShowWindow(show ? platform::SW_SHOWNA : platform::SW_HIDE);
  if (CWnd* frame = bar->GetParent()) RepositionBars(frame);
}

void UpdateBarsWhenIdle(CWnd* frame, bool disableIfNoHandler) {
  for (CControlBar* bar : BarsOf(frame))
    bar->SendMessage(WM_IDLEUPDATECMDUI, disableIfNoHandler ? 1 : 0);
}

namespace {

constexpr char kShown[] = "shown";
constexpr char kHidden[] = "hidden";
constexpr char kTop[] = "top";
constexpr char kBottom[] = "bottom";
constexpr char kFieldSeparator = ',';

std::string EntryOf(const CControlBar& bar) { return "Bar" + std::to_string(bar.GetDlgCtrlID()); }

struct BarState {
  bool shown = false;
  bool atBottom = false;
};

bool ReadState(const std::string& value, BarState* state) {
  const size_t comma = value.find(kFieldSeparator);
  if (comma == std::string::npos) return false;
  const std::string shown = value.substr(0, comma);
  const std::string edge = value.substr(comma + 1);
  if ((shown != kShown && shown != kHidden) || (edge != kTop && edge != kBottom)) return false;
  state->shown = shown == kShown;
  state->atBottom = edge == kBottom;
  return true;
}

}  // namespace

bool SaveBarState(CWnd* frame, ProfileStore& profile, const char* profileName) {
  bool written = true;
  for (const CControlBar* bar : BarsOf(frame)) {
    const std::string value =
        std::string(platform::IsWindowVisible(bar->m_hWnd) ? kShown : kHidden) + kFieldSeparator +
        (bar->IsAtBottom() ? kBottom : kTop);
    written =
        profile.WriteProfileString(profileName, EntryOf(*bar).c_str(), value.c_str()) && written;
  }
  return written;
}

void LoadBarState(CWnd* frame, ProfileStore& profile, const char* profileName) {
  for (CControlBar* bar : BarsOf(frame)) {
    BarState state;
    if (!ReadState(profile.GetProfileString(profileName, EntryOf(*bar).c_str(), "").GetString(),
                   &state))
      continue;
    const DWORD edge = state.atBottom ? CBRS_BOTTOM : CBRS_TOP;
    bar->SetBarStyle((bar->GetBarStyle() & ~(CBRS_TOP | CBRS_BOTTOM)) | edge);
    bar->ShowWindow(state.shown ? platform::SW_SHOWNA : platform::SW_HIDE);
  }
  RepositionBars(frame);
}

}  // namespace framework
