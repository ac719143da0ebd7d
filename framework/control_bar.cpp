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

struct EdgeStyle {
  DWORD align;
  DWORD style;
  const char* name;
};

// The four edges: their styles and their names in a profile.
constexpr EdgeStyle kEdges[] = {{CBRS_ALIGN_TOP, CBRS_TOP, "top"},
                                {CBRS_ALIGN_BOTTOM, CBRS_BOTTOM, "bottom"},
                                {CBRS_ALIGN_LEFT, CBRS_LEFT, "left"},
                                {CBRS_ALIGN_RIGHT, CBRS_RIGHT, "right"}};

const EdgeStyle* EdgeOf(DWORD align) {
  for (const EdgeStyle& edge : kEdges) {
    if (edge.align == align) return &edge;
  }
  return nullptr;
}

}  // namespace

void CControlBar::SetBarStyle(DWORD style) {
  const DWORD edge = m_dwStyle & (CBRS_ALIGN_ANY | CBRS_BORDER_ANY);
  m_dwStyle = style & CBRS_ALL;
  if ((m_dwStyle & (CBRS_ALIGN_LEFT | CBRS_ALIGN_RIGHT)) != 0 && !CanBeVertical())
    m_dwStyle = (m_dwStyle & ~(CBRS_ALIGN_ANY | CBRS_BORDER_ANY)) | edge;
}

DWORD CControlBar::GetEdge() const {
  for (const EdgeStyle& edge : kEdges) {
    if ((m_dwStyle & edge.align) != 0) return edge.align;
  }
  // A bar made without an edge sits at the top.
  return CBRS_ALIGN_TOP;
}

bool CControlBar::SetEdge(DWORD edge) {
  const EdgeStyle* style = EdgeOf(edge);
  if (style == nullptr) return false;
  if ((edge & (CBRS_ALIGN_LEFT | CBRS_ALIGN_RIGHT)) != 0 && !CanBeVertical()) return false;
  m_dwStyle = (m_dwStyle & ~(CBRS_ALIGN_ANY | CBRS_BORDER_ANY)) | style->style;
  Invalidate();
  return true;
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

// Puts the bar along its edge of `left` and takes its room off `left`.
void PlaceBar(CControlBar* bar, RECT* left) {
  RECT at = *left;
  switch (bar->GetEdge()) {
    case CBRS_ALIGN_BOTTOM:
      at.top = left->bottom - bar->CalcFixedLayout(left->Width(), true).cy;
      left->bottom = at.top;
      break;
    case CBRS_ALIGN_LEFT:
      at.right = left->left + bar->CalcFixedLayout(left->Height(), false).cx;
      left->left = at.right;
      break;
    case CBRS_ALIGN_RIGHT:
      at.left = left->right - bar->CalcFixedLayout(left->Height(), false).cx;
      left->right = at.left;
      break;
    default:
      at.bottom = left->top + bar->CalcFixedLayout(left->Width(), true).cy;
      left->top = at.bottom;
      break;
  }
  platform::MoveWindow(bar->m_hWnd, at.left, at.top, at.Width(), at.Height(), true);
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
    PlaceBar(bar, &left);
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
constexpr char kFieldSeparator = ',';

std::string EntryOf(const CControlBar& bar) { return "Bar" + std::to_string(bar.GetDlgCtrlID()); }

struct BarState {
  bool shown = false;
  DWORD edge = CBRS_ALIGN_TOP;
};

const EdgeStyle* EdgeNamed(const std::string& name) {
  for (const EdgeStyle& edge : kEdges) {
    if (name == edge.name) return &edge;
  }
  return nullptr;
}

bool ReadState(const std::string& value, BarState* state) {
  const size_t comma = value.find(kFieldSeparator);
  if (comma == std::string::npos) return false;
  const std::string shown = value.substr(0, comma);
  const std::string edge = value.substr(comma + 1);
  const EdgeStyle* named = EdgeNamed(edge);
  if ((shown != kShown && shown != kHidden) || named == nullptr) return false;
  state->shown = shown == kShown;
  state->edge = named->align;
  return true;
}

}  // namespace

bool SaveBarState(CWnd* frame, ProfileStore& profile, const char* profileName) {
  bool written = true;
  for (const CControlBar* bar : BarsOf(frame)) {
    const std::string value =
        std::string(platform::IsWindowVisible(bar->m_hWnd) ? kShown : kHidden) + kFieldSeparator +
        EdgeOf(bar->GetEdge())->name;
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
    if (!bar->SetEdge(state.edge)) continue;
    bar->ShowWindow(state.shown ? platform::SW_SHOWNA : platform::SW_HIDE);
  }
  RepositionBars(frame);
}

}  // namespace framework
