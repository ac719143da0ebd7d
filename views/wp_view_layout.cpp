// The framework view's children: making them, their anchors and places,
// the two scroll bars and the context menu's point.
#include "platform/paint.h"
#include "platform/scroll_bar.h"
#include "platform/window.h"
#include "views/ed_view.h"
#include "views/wp_view.h"

namespace {

// The keyboard's context menu opens this far right of and below the
// caret's bottom-right corner.
constexpr int32_t kMenuOffsetX = 10;
constexpr int32_t kMenuOffsetY = 20;
constexpr int32_t kFromKeyboard = -1;

void ShowChild(framework::CWnd& child, bool show) {
  platform::ShowWindow(child.m_hWnd, show ? platform::SW_SHOW : platform::SW_HIDE);
}

}  // namespace

int CVedWpView::CreateChildren() {
  if (surface_->CreateEditSurfaceWindow(this) == 0) return 0;
  surfaceCreated_ = true;
  surfaceAnchor_.window = surface_->m_hWnd;
  surfaceAnchor_.parent = m_hWnd;
  surfaceAnchor_.width = kAnchorStretch;
  surfaceAnchor_.height = kAnchorStretch;
  if (vbar_->CreateScrollBar(this) == 0 || hbar_->CreateScrollBar(this) == 0) return 0;
  int32_t barWidth = 0;
  int32_t barHeight = 0;
  int32_t unused = 0;
  vbar_->Anchor().GetAnchorSize(&barWidth, &unused);
  hbar_->Anchor().GetAnchorSize(&unused, &barHeight);
  // The boxes fill the squares where a ruler's breadth meets a bar's.
  const int32_t rulerWidth = VertRulerWidth();
  const int32_t rulerHeight = HorzRulerHeight();
  const std::array<platform::SIZE, kCornerBoxCount> sizes = {{
      {rulerWidth, rulerHeight},
      {rulerWidth, barHeight},
      {barWidth, rulerHeight},
      {barWidth, barHeight},
  }};
  for (int box = 0; box < kCornerBoxCount; ++box) {
    if (boxes_[box]->CreateBoxWindow(this, sizes[box].cx, sizes[box].cy) == 0) return 0;
  }
  return 1;
}

int32_t CVedWpView::HorzRulerHeight() const { return 0; }
int32_t CVedWpView::VertRulerWidth() const { return 0; }

void CVedWpView::LayoutChildren() {
  const int32_t top = hrulerVisible_ != 0 ? HorzRulerHeight() : 0;
  const int32_t left = vrulerVisible_ != 0 ? VertRulerWidth() : 0;
  int32_t barWidth = 0;
  int32_t barHeight = 0;
  int32_t unused = 0;
  vbar_->Anchor().GetAnchorSize(&barWidth, &unused);
  hbar_->Anchor().GetAnchorSize(&unused, &barHeight);
  surfaceAnchor_.SetAnchor(kAnchorFill, {left, top, -barWidth, -barHeight});
  vbar_->Anchor().SetAnchor(kAnchorRightStrip, {0, top, 0, -barHeight});
  hbar_->Anchor().SetAnchor(kAnchorBottomStrip, {left, 0, -barWidth, 0});
  for (int box = 0; box < kCornerBoxCount; ++box) {
    boxes_[box]->Anchor().SetAnchor(kAnchorTopLeft + box, {});
  }
}

void CVedWpView::ShowCornerBoxes() {
  const bool top = hrulerVisible_ != 0 && HorzRulerHeight() != 0;
  const bool left = vrulerVisible_ != 0 && VertRulerWidth() != 0;
  ShowChild(*boxes_[kBoxTopLeft], top && left);
  ShowChild(*boxes_[kBoxTopRight], top);
  ShowChild(*boxes_[kBoxBottomLeft], left);
}

void CVedWpView::PlaceChildren(int32_t width, int32_t height) {
  surfaceAnchor_.ApplyAnchor(width, height);
  vbar_->Anchor().ApplyAnchor(width, height);
  hbar_->Anchor().ApplyAnchor(width, height);
  for (const std::unique_ptr<CBoxWnd>& box : boxes_) box->Anchor().ApplyAnchor(width, height);
}

void CVedWpView::OnSize(platform::UINT, int cx, int cy) {
  PlaceChildren(cx, cy);
  UpdateScrollBars();
}

void CVedWpView::UpdateScrollBars() {
  vbar_->UpdateVert();
  hbar_->UpdateHorz();
}

void CVedWpView::SetRulerVisibility(int h, int v) {
  if (h == hrulerVisible_ && v == vrulerVisible_) return;
  hrulerVisible_ = h;
  vrulerVisible_ = v;
  LayoutChildren();
  ShowCornerBoxes();
  platform::RECT client;
  GetClientRect(&client);
  PlaceChildren(client.Width(), client.Height());
  UpdateScrollBars();
}

// ---- Scrolling

int32_t CVedWpView::TrackPosition(const framework::CScrollBar& bar) {
  platform::SCROLLINFO info;
  info.fMask = platform::SIF_ALL;
  if (!bar.GetScrollInfo(&info, platform::SIF_ALL)) return 0;
  return info.nTrackPos;
}

// The surface sends all three zero after a wheel scroll: only the bars
// are brought up to date.
void CVedWpView::OnVScroll(platform::UINT code, platform::UINT position, framework::CWnd* bar) {
  if (code != 0 || position != 0 || bar != nullptr) {
    if (surface_->ScrollVert(static_cast<int>(code), TrackPosition(*vbar_)) == 0) return;
  }
  vbar_->UpdateVert();
  HideTip();
}

void CVedWpView::OnHScroll(platform::UINT code, platform::UINT position, framework::CWnd* bar) {
  if (code != 0 || position != 0 || bar != nullptr) {
    if (surface_->ScrollHorz(static_cast<int>(code), TrackPosition(*hbar_)) == 0) return;
  }
  hbar_->UpdateHorz();
  HideTip();
}

// ---- Context menu

// Both points are the surface's: a click must fall on it, the keyboard
// takes the caret's corner.
void CVedWpView::OnContextMenu(framework::CWnd*, platform::POINT point) {
  if (engine_ == nullptr || surface_->m_hWnd == platform::kNoWindow || reading_.IsRunning()) {
    return;
  }
  platform::POINT test{};
  platform::POINT menu{};
  if (point.x != kFromKeyboard) {
    platform::ScreenToClient(m_hWnd, &point);
    if (surfaceAnchor_.PointToChild(&point) == 0) return;
    test = menu = point;
  } else {
    platform::RECT caret;
    if (surface_->GetCaretWindowRect(&caret) != 0) {
      test = {caret.right, caret.bottom};
      menu = {caret.right + kMenuOffsetX, caret.bottom + kMenuOffsetY};
    }
  }
  ObjectDescription info{};
  const int where = surface_->GetHitInfo(test.x, test.y, &info);
  OnContextMenuAt(menu.x, menu.y, where, info);
}
