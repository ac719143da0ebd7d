#include "framework/status_bar.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "framework/cmd_ui.h"
#include "platform/input.h"
#include "platform/sjis.h"
#include "platform/system_info.h"

namespace framework {

namespace {

struct Indicator {
  UINT id;
  const char* text;
  // The key whose toggle turns the indicator on.
  platform::BYTE key;
};

constexpr Indicator kIndicators[] = {
    {ID_INDICATOR_KANA, "\x83\x4A\x83\x69", platform::VK_KANA},  // "カナ"
    {ID_INDICATOR_CAPS, "CAP", platform::VK_CAPITAL},
    {ID_INDICATOR_NUM, "NUM", platform::VK_NUMLOCK},
};

const Indicator* IndicatorOf(UINT id) {
  for (const Indicator& indicator : kIndicators) {
    if (indicator.id == id) return &indicator;
  }
  return nullptr;
}

constexpr platform::SHORT kToggled = 1;
// A pane's edge, on each side, when it has one.
constexpr int32_t kEdge = 1;

COLORREF SysColour(int element) { return platform::GetSysColor(element); }

void DrawEdges(CDC& dc, const RECT& r, COLORREF topLeft, COLORREF bottomRight) {
  dc.FillSolidRect(RECT{r.left, r.top, r.right, r.top + kEdge}, topLeft);
  dc.FillSolidRect(RECT{r.left, r.top, r.left + kEdge, r.bottom}, topLeft);
  dc.FillSolidRect(RECT{r.left, r.bottom - kEdge, r.right, r.bottom}, bottomRight);
  dc.FillSolidRect(RECT{r.right - kEdge, r.top, r.right, r.bottom}, bottomRight);
}

// A DC of its own with the font selected, so that measuring leaves
// every shared DC as it was.
class MeasuringDC {
 public:
  explicit MeasuringDC(platform::HFONT font) : dc_(platform::CreateCompatibleDC(nullptr)) {
    platform::SelectObject(dc_.get(), font);
  }
  HDC get() const { return dc_.get(); }

 private:
  platform::UniqueDC dc_;
};

// What an update handler says of a pane: off hides its text, checked
// raises it, a text replaces its own.
class CStatusCmdUI : public CCmdUI {
 public:
  CStatusCmdUI(CStatusBar& bar, int index)
      : CCmdUI(bar.GetItemID(index)), bar_(bar), index_(index) {}

  void Enable(bool on) override {
    CCmdUI::Enable(on);
    const UINT style = bar_.GetPaneStyle(index_) & ~SBPS_DISABLED;
    bar_.SetPaneStyle(index_, on ? style : style | SBPS_DISABLED);
  }
  void SetCheck(int check) override {
    CCmdUI::SetCheck(check);
    const UINT style = bar_.GetPaneStyle(index_) & ~SBPS_POPOUT;
    bar_.SetPaneStyle(index_, check != 0 ? style | SBPS_POPOUT : style);
  }
  void SetText(const char* text) override {
    CCmdUI::SetText(text);
    bar_.SetPaneText(index_, text);
  }

 private:
  CStatusBar& bar_;
  int index_;
};

}  // namespace

IMPLEMENT_DYNAMIC(CStatusBar, CControlBar)

BEGIN_MESSAGE_MAP(CStatusBar, CControlBar)
OnMessage<platform::WM_PAINT>(&CStatusBar::OnPaint),
    END_MESSAGE_MAP()

        bool CStatusBar::Create(CWnd* parent, DWORD style, UINT id) {
  return CreateBar(nullptr, style, parent, id);
}

bool CStatusBar::SetIndicators(const UINT* ids, int count) {
  if (ids == nullptr || count < 0) return false;
  std::vector<Pane> panes;
  for (int i = 0; i < count; ++i) {
    Pane pane{ids[i], SBPS_NORMAL, 0, CString()};
    if (ids[i] == ID_SEPARATOR) {
      if (i == 0) pane.style = SBPS_NOBORDERS | SBPS_STRETCH;
    } else {
      const Indicator* indicator = IndicatorOf(ids[i]);
      if (indicator == nullptr) return false;
      pane.text = indicator->text;
      pane.width = TextWidth(indicator->text);
    }
    panes.push_back(std::move(pane));
  }
  panes_ = std::move(panes);
  Invalidate();
  return true;
}

int CStatusBar::CommandToIndex(UINT id) const {
  for (int i = 0; i < GetCount(); ++i) {
    if (panes_[i].id == id) return i;
  }
  return -1;
}

UINT CStatusBar::GetItemID(int index) const {
  return index >= 0 && index < GetCount() ? panes_[index].id : ID_SEPARATOR;
}

void CStatusBar::SetFont(platform::HFONT font) {
  font_ = font;
  Invalidate();
}

void CStatusBar::SetPaneInfo(int index, UINT id, UINT style, int32_t width) {
  if (index < 0 || index >= GetCount()) return;
  Pane& pane = panes_[index];
  pane.id = id;
  pane.style = style;
  pane.width = width;
  Invalidate();
}

void CStatusBar::GetPaneInfo(int index, UINT* id, UINT* style, int32_t* width) const {
  if (index < 0 || index >= GetCount()) return;
  *id = panes_[index].id;
  *style = panes_[index].style;
  *width = panes_[index].width;
}

UINT CStatusBar::GetPaneStyle(int index) const {
  return index >= 0 && index < GetCount() ? panes_[index].style : 0;
}

void CStatusBar::SetPaneStyle(int index, UINT style) {
  if (index < 0 || index >= GetCount() || panes_[index].style == style) return;
  panes_[index].style = style;
  InvalidatePane(index);
}

bool CStatusBar::SetPaneText(int index, const char* text, bool update) {
  if (index < 0 || index >= GetCount()) return false;
  const CString wanted(text);
  if (std::strcmp(panes_[index].text, wanted) == 0) return true;
  panes_[index].text = wanted;
  if (update) InvalidatePane(index);
  return true;
}

CString CStatusBar::GetPaneText(int index) const {
  return index >= 0 && index < GetCount() ? panes_[index].text : CString();
}

void CStatusBar::GetItemRect(int index, RECT* rect) const {
  *rect = RECT{};
  if (index < 0 || index >= GetCount()) return;
  RECT client;
  GetClientRect(&client);
  const auto outerWidth = [](const Pane& pane) { return pane.width + 2 * (kTextMargin + kEdge); };
  int32_t fixed = 0;
  const Pane* stretching = nullptr;
  for (const Pane& pane : panes_) {
    if (stretching == nullptr && (pane.style & SBPS_STRETCH) != 0) {
      stretching = &pane;
    } else {
      fixed += outerWidth(pane);
    }
  }
  const int32_t gaps = kGap * (GetCount() - 1);
  const int32_t spare = std::max(0, client.Width() - 2 * kBorder - gaps - fixed);
  int32_t x = kBorder;
  for (int i = 0;; ++i) {
    const int32_t width = &panes_[i] == stretching ? spare : outerWidth(panes_[i]);
    if (i == index) {
      *rect = RECT{x, kBorder, x + width, client.bottom - kBorder};
      return;
    }
    x += width + kGap;
  }
}

SIZE CStatusBar::CalcFixedLayout(int32_t length, bool) const {
  return SIZE{length, TextHeight() + 2 * (kTextMargin + kEdge + kBorder)};
}

void CStatusBar::OnUpdateCmdUI(CCmdTarget* target, bool disableIfNoHandler) {
  for (int i = 0; i < GetCount(); ++i) {
    if (panes_[i].id == ID_SEPARATOR) continue;
    CStatusCmdUI state(*this, i);
    const bool updated = state.DoUpdate(target, disableIfNoHandler);
    const Indicator* indicator = IndicatorOf(panes_[i].id);
    if (!updated && indicator != nullptr)
      state.Enable((platform::GetKeyState(indicator->key) & kToggled) != 0);
  }
}

int32_t CStatusBar::TextWidth(const char* text) const {
  if (font_ == nullptr) return 0;
  const MeasuringDC dc(font_);
  int32_t width = 0;
  for (const char* p = text; *p != '\0';) {
    uint32_t code = static_cast<uint8_t>(*p++);
    if (platform::IsLeadByte(static_cast<uint8_t>(code)) && *p != '\0')
      code = (code << 8) | static_cast<uint8_t>(*p++);
    int32_t advance = 0;
    platform::GetCharWidthA(dc.get(), code, code, &advance);
    width += advance;
  }
  return width;
}

int32_t CStatusBar::TextHeight() const {
  if (font_ == nullptr) return kTextHeightWithoutFont;
  const MeasuringDC dc(font_);
  platform::TEXTMETRICA metrics;
  return platform::GetTextMetricsA(dc.get(), &metrics) ? metrics.tmHeight : kTextHeightWithoutFont;
}

void CStatusBar::InvalidatePane(int index) {
  RECT r;
  GetItemRect(index, &r);
  platform::InvalidateRect(m_hWnd, &r, true);
}

void CStatusBar::OnPaint() {
  CPaintDC dc(this);
  RECT client;
  GetClientRect(&client);
  dc.FillSolidRect(client, SysColour(platform::COLOR_BTNFACE));
  if (font_ != nullptr) dc.SelectObject(font_);
  dc.SetBkMode(platform::TRANSPARENT);
  dc.SetTextColor(SysColour(platform::COLOR_BTNTEXT));
  for (int i = 0; i < GetCount(); ++i) {
    const Pane& pane = panes_[i];
    RECT r;
    GetItemRect(i, &r);
    if ((pane.style & SBPS_NOBORDERS) == 0) {
      const bool raised = (pane.style & SBPS_POPOUT) != 0;
      const COLORREF light = SysColour(platform::COLOR_BTNHIGHLIGHT);
      const COLORREF dark = SysColour(platform::COLOR_BTNSHADOW);
      DrawEdges(dc, r, raised ? light : dark, raised ? dark : light);
    }
    if ((pane.style & SBPS_DISABLED) != 0 || font_ == nullptr) continue;
    const RECT inner{r.left + kEdge + kTextMargin, r.top + kEdge + kTextMargin,
                     r.right - kEdge - kTextMargin, r.bottom - kEdge - kTextMargin};
    dc.ExtTextOut(inner.left, inner.top, platform::ETO_CLIPPED, &inner, pane.text,
                  static_cast<int32_t>(std::strlen(pane.text)), nullptr);
  }
}

}  // namespace framework
