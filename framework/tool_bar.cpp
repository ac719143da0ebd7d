#include "framework/tool_bar.h"

#include "framework/cmd_ui.h"
#include "platform/control_notify.h"
#include "platform/input.h"
#include "platform/system_info.h"

namespace framework {

namespace {

constexpr SIZE kImageSize{16, 15};
// How far a pressed or checked button's image moves down and right.
constexpr int32_t kSunkenShift = 1;

bool IsSeparator(UINT style) { return (style & TBBS_SEPARATOR) != 0; }

COLORREF SysColour(int element) { return platform::GetSysColor(element); }

// One-pixel edges: `topLeft` along the top and left, `bottomRight` along
// the bottom and right.
void DrawEdges(CDC& dc, const RECT& r, COLORREF topLeft, COLORREF bottomRight) {
  dc.FillSolidRect(RECT{r.left, r.top, r.right, r.top + 1}, topLeft);
  dc.FillSolidRect(RECT{r.left, r.top, r.left + 1, r.bottom}, topLeft);
  dc.FillSolidRect(RECT{r.left, r.bottom - 1, r.right, r.bottom}, bottomRight);
  dc.FillSolidRect(RECT{r.right - 1, r.top, r.right, r.bottom}, bottomRight);
}

// What an update handler says of a button becomes its style.
class CToolCmdUI : public CCmdUI {
 public:
  CToolCmdUI(CToolBar& bar, int index) : CCmdUI(bar.GetItemID(index)), bar_(bar), index_(index) {}

  void Enable(bool on) override {
    CCmdUI::Enable(on);
    const UINT style = bar_.GetButtonStyle(index_) & ~TBBS_DISABLED;
    bar_.SetButtonStyle(index_, on ? style : (style | TBBS_DISABLED) & ~TBBS_PRESSED);
  }
  void SetCheck(int check) override {
    CCmdUI::SetCheck(check);
    constexpr int kChecked = 1;
    constexpr int kIndeterminate = 2;
    UINT style = bar_.GetButtonStyle(index_) & ~(TBBS_CHECKED | TBBS_INDETERMINATE);
    if (check == kChecked) style |= TBBS_CHECKED;
    if (check == kIndeterminate) style |= TBBS_INDETERMINATE;
    bar_.SetButtonStyle(index_, style);
  }

 private:
  CToolBar& bar_;
  int index_;
};

}  // namespace

IMPLEMENT_DYNAMIC(CToolBar, CControlBar)

BEGIN_MESSAGE_MAP(CToolBar, CControlBar)
OnMessage<platform::WM_PAINT>(&CToolBar::OnPaint),
    OnMessage<platform::WM_LBUTTONDOWN>(&CToolBar::OnLButtonDown),
    OnMessage<platform::WM_MOUSEMOVE>(&CToolBar::OnMouseMove),
    OnMessage<platform::WM_LBUTTONUP>(&CToolBar::OnLButtonUp),
    END_MESSAGE_MAP()

        bool CToolBar::CreateEx(CWnd* parent, DWORD controlStyle, DWORD style, UINT id) {
  controlStyle_ = controlStyle;
  return CreateBar(nullptr, style, parent, id);
}

bool CToolBar::SetButtons(const UINT* ids, int count) {
  if (ids == nullptr || count < 0) return false;
  buttons_.clear();
  int image = 0;
  for (int i = 0; i < count; ++i) {
    if (ids[i] == ID_SEPARATOR) {
      buttons_.push_back(Button{ID_SEPARATOR, TBBS_SEPARATOR, kSeparatorWidth});
    } else {
      buttons_.push_back(Button{ids[i], TBBS_BUTTON, image++});
    }
  }
  Invalidate();
  return true;
}

bool CToolBar::LoadToolBar(UINT resourceId) {
  const ToolBarResource* resource = FindToolBar(resourceId);
  return resource != nullptr &&
         SetButtons(resource->buttons.data(), static_cast<int>(resource->buttons.size()));
}

int CToolBar::CommandToIndex(UINT id) const {
  for (int i = 0; i < GetCount(); ++i) {
    if (buttons_[i].id == id) return i;
  }
  return -1;
}

UINT CToolBar::GetItemID(int index) const {
  return index >= 0 && index < GetCount() ? buttons_[index].id : ID_SEPARATOR;
}

void CToolBar::SetButtonInfo(int index, UINT id, UINT style, int image) {
  if (index < 0 || index >= GetCount()) return;
  buttons_[index] = Button{id, style, image};
  Invalidate();
}

void CToolBar::GetButtonInfo(int index, UINT* id, UINT* style, int* image) const {
  if (index < 0 || index >= GetCount()) return;
  *id = buttons_[index].id;
  *style = buttons_[index].style;
  *image = buttons_[index].image;
}

UINT CToolBar::GetButtonStyle(int index) const {
  return index >= 0 && index < GetCount() ? buttons_[index].style : 0;
}

void CToolBar::SetButtonStyle(int index, UINT style) {
  if (index < 0 || index >= GetCount() || buttons_[index].style == style) return;
  buttons_[index].style = style;
  InvalidateButton(index);
}

void CToolBar::GetItemRect(int index, RECT* rect) const {
  *rect = RECT{};
  if (index < 0 || index >= GetCount()) return;
  // Along the bar: left to right at the top or bottom, top to bottom at
  // a side, where a separator's width is its height.
  const bool vertical = IsVertical();
  int32_t along = kBorder;
  for (int i = 0;; ++i) {
    const Button& b = buttons_[i];
    const int32_t length =
        IsSeparator(b.style) ? b.image : (vertical ? kButtonHeight : kButtonWidth);
    if (i == index) {
      *rect = vertical ? RECT{kBorder, along, kBorder + kButtonWidth, along + length}
                       : RECT{along, kBorder, along + length, kBorder + kButtonHeight};
      return;
    }
    along += length;
  }
}

SIZE CToolBar::CalcFixedLayout(int32_t length, bool horizontal) const {
  return horizontal ? SIZE{length, kButtonHeight + 2 * kBorder}
                    : SIZE{kButtonWidth + 2 * kBorder, length};
}

void CToolBar::OnUpdateCmdUI(CCmdTarget* target, bool disableIfNoHandler) {
  for (int i = 0; i < GetCount(); ++i) {
    if (IsSeparator(buttons_[i].style)) continue;
    CToolCmdUI state(*this, i);
    state.DoUpdate(target, disableIfNoHandler);
  }
}

LRESULT CToolBar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == platform::WM_CAPTURECHANGED && tracking_ >= 0 &&
      static_cast<HWND>(lParam) != m_hWnd) {
    SetPressed(false);
    tracking_ = -1;
  }
  return CControlBar::WindowProc(message, wParam, lParam);
}

int CToolBar::HitTest(POINT point) const {
  for (int i = 0; i < GetCount(); ++i) {
    RECT r;
    GetItemRect(i, &r);
    if (platform::PtInRect(r, point)) return i;
  }
  return -1;
}

void CToolBar::InvalidateButton(int index) {
  RECT r;
  GetItemRect(index, &r);
  platform::InvalidateRect(m_hWnd, &r, true);
}

void CToolBar::SetPressed(bool pressed) {
  const UINT style = GetButtonStyle(tracking_) & ~TBBS_PRESSED;
  SetButtonStyle(tracking_, pressed ? style | TBBS_PRESSED : style);
}

void CToolBar::OnLButtonDown(UINT, POINT point) {
  const int index = HitTest(point);
  if (index < 0) return;
  const UINT style = buttons_[index].style;
  if (IsSeparator(style) || (style & TBBS_DISABLED) != 0) return;
  tracking_ = index;
  platform::SetCapture(m_hWnd);
  SetPressed(true);
}

void CToolBar::OnMouseMove(UINT, POINT point) {
  if (tracking_ >= 0) SetPressed(HitTest(point) == tracking_);
}

void CToolBar::OnLButtonUp(UINT, POINT point) {
  if (tracking_ < 0) return;
  const bool over = HitTest(point) == tracking_;
  SetPressed(false);
  const int index = tracking_;
  tracking_ = -1;
  platform::ReleaseCapture();
  if (!over || (buttons_[index].style & TBBS_DISABLED) != 0) return;
  if ((buttons_[index].style & TBBS_CHECKBOX) != 0)
    SetButtonStyle(index, buttons_[index].style ^ TBBS_CHECKED);
  CWnd* frame = GetParent();
  if (frame == nullptr) return;
  platform::SendMessage(frame->m_hWnd, platform::WM_COMMAND,
                        platform::MakeWParam(buttons_[index].id, CN_COMMAND),
                        static_cast<LPARAM>(m_hWnd));
}

void CToolBar::DrawButton(CDC& dc, int index) const {
  RECT r;
  GetItemRect(index, &r);
  const UINT style = buttons_[index].style;
  if (IsSeparator(style)) {
    DrawSeparator(dc, r);
    return;
  }
  const bool sunken = (style & (TBBS_PRESSED | TBBS_CHECKED)) != 0;
  const COLORREF face = (style & TBBS_CHECKED) != 0 && (style & TBBS_PRESSED) == 0
                            ? SysColour(platform::COLOR_BTNHIGHLIGHT)
                            : SysColour(platform::COLOR_BTNFACE);
  dc.FillSolidRect(r, face);
  if (sunken) {
    DrawEdges(dc, r, SysColour(platform::COLOR_BTNSHADOW), SysColour(platform::COLOR_BTNHIGHLIGHT));
  } else if (!IsFlat()) {
    DrawEdges(dc, r, SysColour(platform::COLOR_BTNHIGHLIGHT), SysColour(platform::COLOR_BTNSHADOW));
  }
  const int32_t shift = sunken ? kSunkenShift : 0;
  const int32_t left = r.left + (r.Width() - kImageSize.cx) / 2 + shift;
  const int32_t top = r.top + (r.Height() - kImageSize.cy) / 2 + shift;
  const int glyph =
      (style & TBBS_DISABLED) != 0 ? platform::COLOR_GRAYTEXT : platform::COLOR_BTNTEXT;
  dc.FillSolidRect(RECT{left, top, left + kImageSize.cx, top + kImageSize.cy}, SysColour(glyph));
}

void CToolBar::DrawSeparator(CDC& dc, const RECT& r) const {
  const COLORREF shadow = SysColour(platform::COLOR_BTNSHADOW);
  const COLORREF highlight = SysColour(platform::COLOR_BTNHIGHLIGHT);
  if (IsVertical()) {
    const int32_t middle = (r.top + r.bottom) / 2;
    dc.FillSolidRect(RECT{r.left, middle - 1, r.right, middle}, shadow);
    dc.FillSolidRect(RECT{r.left, middle, r.right, middle + 1}, highlight);
    return;
  }
  const int32_t middle = (r.left + r.right) / 2;
  dc.FillSolidRect(RECT{middle - 1, r.top, middle, r.bottom}, shadow);
  dc.FillSolidRect(RECT{middle, r.top, middle + 1, r.bottom}, highlight);
}

void CToolBar::OnPaint() {
  CPaintDC dc(this);
  RECT client;
  GetClientRect(&client);
  dc.FillSolidRect(client, SysColour(platform::COLOR_BTNFACE));
  for (int i = 0; i < GetCount(); ++i) DrawButton(dc, i);
}

}  // namespace framework
