// Draws a scroll bar in the system colours: raised arrow buttons with
// their glyphs, the track, the thumb as a raised button, and the part the
// mouse holds down as pressed. Internal to the scroll-bar control.
#pragma once

#include "platform/gdi.h"
#include "platform/scroll_bar_layout.h"

namespace platform {

struct ScrollLook {
  bool vertical = true;
  // Arrows drawn greyed, as the bar takes no input.
  bool disabled = false;
  // The part held down with the mouse pointer over it.
  ScrollPart pressed = ScrollPart::kNone;
};

class ScrollBarPainter {
 public:
  ScrollBarPainter(HDC dc, const ScrollLayout& layout, const ScrollLook& look)
      : dc_(dc), layout_(layout), look_(look) {}

  void Paint() const;

 private:
  enum class Direction { kUp, kDown, kLeft, kRight };

  void PaintTrack() const;
  void PaintArrow(ScrollPart part, Direction direction) const;
  void PaintButton(const RECT& rect, bool pressed) const;
  void PaintSides(const RECT& rect, int topLeft, int bottomRight) const;
  void PaintGlyph(const RECT& rect, Direction direction, POINT shift, int colour) const;
  void Fill(const RECT& rect, int colour) const;

  HDC dc_;
  const ScrollLayout& layout_;
  ScrollLook look_;
};

}  // namespace platform
