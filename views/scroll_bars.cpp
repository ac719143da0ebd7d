#include "views/scroll_bars.h"

#include <algorithm>
#include <cstring>

#include "engine/wp_commands.h"
#include "engine/wp_ctrl.h"
#include "platform/muldiv.h"
#include "platform/scroll_bar_layout.h"
#include "platform/system_info.h"
#include "views/ed_view.h"

using framework::CScrollBar;

IMPLEMENT_DYNAMIC(CSurfaceScrollBar, CScrollBar)
IMPLEMENT_DYNAMIC(CHorzScrollBar, CSurfaceScrollBar)
IMPLEMENT_DYNAMIC(CVertScrollBar, CSurfaceScrollBar)

namespace {

// Every bar runs over thousandths: of the page's width, of a page slot.
constexpr int32_t kThousandths = 1000;
// Continuous view lets the last line scroll a quarter of a view (zoomed)
// above the bottom.
constexpr int32_t kContinuousTailDivisor = 4;

int32_t Thousandths(int32_t value, int32_t whole) {
  return platform::MulDiv(value, kThousandths, whole);
}

}  // namespace

int CSurfaceScrollBar::CreateBar(platform::DWORD barStyle, framework::CWnd* parent, int32_t width,
                                 int32_t height) {
  if (!Create(platform::WS_CHILD | platform::WS_VISIBLE | barStyle, platform::RECT{}, parent, 0)) {
    return 0;
  }
  anchor_.window = m_hWnd;
  anchor_.parent = parent != nullptr ? parent->m_hWnd : platform::kNoWindow;
  anchor_.width = width;
  anchor_.height = height;
  return 1;
}

const CVedEdView* CSurfaceScrollBar::ShowingSurface() const {
  if (surface_ == nullptr || surface_->DisplayLines().Lines().empty()) return nullptr;
  return surface_;
}

void CSurfaceScrollBar::SetIfChanged(int32_t max, int32_t page, int32_t position) {
  platform::SCROLLINFO current;
  if (!GetScrollInfo(&current, platform::SIF_ALL)) return;
  platform::SCROLLINFO next = current;
  next.fMask = platform::SIF_ALL;
  next.nMin = 0;
  next.nMax = max;
  next.nPage = static_cast<platform::UINT>(std::max(page, 0));
  next.nPos = position;
  // Writing the bar repaints it; what shows the same is left alone. The
  // bar cuts a page longer than its range (a short document) and a
  // position past its end, so the values are compared as it would keep
  // them, or every update would write again.
  platform::ScrollValues kept;
  kept.Apply(next);
  platform::SCROLLINFO asKept = next;
  asKept.nMax = kept.max;
  asKept.nPage = kept.page;
  asKept.nPos = kept.pos;
  if (std::memcmp(&asKept, &current, sizeof asKept) == 0) return;
  SetScrollInfo(&next, true);
}

int CHorzScrollBar::CreateScrollBar(framework::CWnd* parent) {
  return CreateBar(platform::SBS_HORZ, parent, kAnchorStretch,
                   platform::GetSystemMetrics(platform::SM_CYHSCROLL));
}

void CHorzScrollBar::UpdateHorz() {
  const CVedEdView* surface = ShowingSurface();
  if (surface == nullptr) return;
  const SurfaceGeometry& geometry = surface->Geometry();
  const SurfacePageMetrics& page = geometry.page;
  const int32_t xOrigin = surface->DisplayLines().Lines().front().xOrigin;
  const int32_t width =
      geometry.pageView != 0 ? page.paperWidth + 2 * page.gapX : page.paperWidth - page.offsetX;
  if (width <= 0) return;
  const int32_t shown = std::min(Thousandths(geometry.clientWidth, width), kThousandths);
  const int32_t position = geometry.pageView != 0
                               ? Thousandths(page.gapX, width) + Thousandths(xOrigin, width)
                               : Thousandths(xOrigin - page.offsetX, width);
  SetIfChanged(kThousandths, shown, std::max(position, 0));
}

int CVertScrollBar::CreateScrollBar(framework::CWnd* parent) {
  return CreateBar(platform::SBS_VERT, parent, platform::GetSystemMetrics(platform::SM_CXVSCROLL),
                   kAnchorStretch);
}

void CVertScrollBar::UpdateVert() {
  const CVedEdView* surface = ShowingSurface();
  if (surface == nullptr) return;
  const SurfaceGeometry& geometry = surface->Geometry();
  if (geometry.pageView != 0) {
    const int32_t slot = geometry.page.paperHeight + geometry.page.gapY;
    if (slot <= 0) return;
    const DisplayLine& first = surface->DisplayLines().Lines().front();
    const int32_t gap = Thousandths(geometry.page.gapY, slot);
    const int32_t pages = surface->Engine()->EditCommand(WPC_GET_PAGE_COUNT, 0, 0);
    const int32_t position =
        gap + kThousandths * (first.page - 1) + Thousandths(first.yOrigin, slot);
    SetIfChanged(gap + kThousandths * pages, Thousandths(geometry.clientHeight, slot),
                 std::max(position, 0));
    return;
  }
  const int32_t zoom = std::max<int32_t>(geometry.zoom, 1);
  const int32_t height = geometry.clientHeight;
  SetIfChanged(surface->GetDocumentHeight() + zoom * height / kContinuousTailDivisor,
               std::max(height / zoom, 1), std::max(surface->GetScrollTop(), 0));
}
