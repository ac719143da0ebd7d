// The scroll-bar control's object: a ScrollBar window made as a child and
// its range, page and position.
#pragma once

#include "framework/wnd.h"
#include "platform/scroll_bar.h"

namespace framework {

class CScrollBar : public CWnd {
  DECLARE_DYNAMIC(CScrollBar)

 public:
  // `style` holds SBS_HORZ or SBS_VERT and the window styles.
  bool Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);

  // Answers the new position.
  int32_t SetScrollInfo(const platform::SCROLLINFO* info, bool redraw = true);
  bool GetScrollInfo(platform::SCROLLINFO* info, UINT mask = platform::SIF_ALL) const;
  // Answers the previous position.
  int32_t SetScrollPos(int32_t pos, bool redraw = true);
  int32_t GetScrollPos() const;
  bool SetScrollRange(int32_t min, int32_t max, bool redraw = true);
  bool GetScrollRange(int32_t* min, int32_t* max) const;
};

}  // namespace framework
