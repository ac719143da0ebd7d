// The framework view's two scroll bars over its editing surface. Both
// describe the surface in thousandths: the horizontal bar the page's
// width, the vertical one in page view a thousand for every page (and the
// gap above the first), in continuous view the document's height in
// unzoomed pixels. The view calls UpdateHorz and UpdateVert whenever the
// surface scrolls, its caret or content moves, or its size or colours
// change; a bar is written only when what it shows changes.
#pragma once

#include <cstdint>

#include "framework/scroll_bar.h"
#include "platform/scroll_bar.h"
#include "views/child_anchor.h"

class CVedEdView;

// What the two bars share: the anchor, the surface and the write that
// happens only on a change.
class CSurfaceScrollBar : public framework::CScrollBar {
  DECLARE_DYNAMIC(CSurfaceScrollBar)

 public:
  ChildAnchor& Anchor() { return anchor_; }
  const ChildAnchor& Anchor() const { return anchor_; }
  // The bar describes this surface from now on; before, updates do nothing.
  void AttachSurface(CVedEdView* surface) { surface_ = surface; }
  CVedEdView* Surface() const { return surface_; }

 protected:
  // Makes the control in `parent` with an empty rectangle and gives its
  // anchor the window and the size; 0 on failure, else 1.
  int CreateBar(platform::DWORD barStyle, framework::CWnd* parent, int32_t width, int32_t height);
  // The surface when it is attached and shows lines, else null.
  const CVedEdView* ShowingSurface() const;
  // Sets range, page and position when they differ from what the bar has.
  void SetIfChanged(int32_t max, int32_t page, int32_t position);

 private:
  ChildAnchor anchor_;
  CVedEdView* surface_ = nullptr;
};

class CHorzScrollBar : public CSurfaceScrollBar {
  DECLARE_DYNAMIC(CHorzScrollBar)

 public:
  // A bar of the system's horizontal scroll-bar height that stretches.
  int CreateScrollBar(framework::CWnd* parent);
  void UpdateHorz();
};

class CVertScrollBar : public CSurfaceScrollBar {
  DECLARE_DYNAMIC(CVertScrollBar)

 public:
  // A bar of the system's vertical scroll-bar width that stretches.
  int CreateScrollBar(framework::CWnd* parent);
  void UpdateVert();
};
