#include "platform/scroll_bar_paint.h"

#include <algorithm>

#include "platform/system_info.h"

namespace platform {

namespace {

// The glyph's rows against the button's shorter side.
constexpr int32_t kGlyphFraction = 4;

RECT Inset(const RECT& rect) {
  return RECT{rect.left + 1, rect.top + 1, rect.right - 1, rect.bottom - 1};
}

}  // namespace

void ScrollBarPainter::Paint() const {
  PaintArrow(ScrollPart::kFirstArrow, look_.vertical ? Direction::kUp : Direction::kLeft);
  PaintArrow(ScrollPart::kLastArrow, look_.vertical ? Direction::kDown : Direction::kRight);
  PaintTrack();
}

void ScrollBarPainter::PaintTrack() const {
  Fill(layout_.RectOf(ScrollPart::kTrack), COLOR_SCROLLBAR);
  if (look_.pressed == ScrollPart::kFirstPage || look_.pressed == ScrollPart::kLastPage)
    Fill(layout_.RectOf(look_.pressed), COLOR_3DDKSHADOW);
  if (layout_.hasThumb()) PaintButton(layout_.RectOf(ScrollPart::kThumb), false);
}

void ScrollBarPainter::PaintArrow(ScrollPart part, Direction direction) const {
  const RECT rect = layout_.RectOf(part);
  if (rect.IsEmpty()) return;
  const bool pressed = look_.pressed == part;
  PaintButton(rect, pressed);
  if (look_.disabled) {
    // Etched: a highlight below and right of the shadow-coloured glyph.
    PaintGlyph(rect, direction, POINT{1, 1}, COLOR_BTNHIGHLIGHT);
    PaintGlyph(rect, direction, POINT{0, 0}, COLOR_BTNSHADOW);
    return;
  }
  const int32_t shift = pressed ? 1 : 0;
  PaintGlyph(rect, direction, POINT{shift, shift}, COLOR_BTNTEXT);
}

void ScrollBarPainter::PaintButton(const RECT& rect, bool pressed) const {
  Fill(rect, COLOR_BTNFACE);
  if (pressed) {
    PaintSides(rect, COLOR_BTNSHADOW, COLOR_BTNSHADOW);
    return;
  }
  PaintSides(rect, COLOR_3DLIGHT, COLOR_3DDKSHADOW);
  PaintSides(Inset(rect), COLOR_BTNHIGHLIGHT, COLOR_BTNSHADOW);
}

// One pixel along each side: the top and left in one colour, the bottom
// and right (which take the corners they share) in the other.
void ScrollBarPainter::PaintSides(const RECT& rect, int topLeft, int bottomRight) const {
  if (rect.IsEmpty()) return;
  Fill(RECT{rect.left, rect.top, rect.right - 1, rect.top + 1}, topLeft);
  Fill(RECT{rect.left, rect.top, rect.left + 1, rect.bottom - 1}, topLeft);
  Fill(RECT{rect.left, rect.bottom - 1, rect.right, rect.bottom}, bottomRight);
  Fill(RECT{rect.right - 1, rect.top, rect.right, rect.bottom}, bottomRight);
}

// A solid triangle pointing the direction, one pixel wider each row away
// from its tip, centred on the button.
void ScrollBarPainter::PaintGlyph(const RECT& rect, Direction direction, POINT shift,
                                  int colour) const {
  const int32_t rows = std::max(1, std::min(rect.Width(), rect.Height()) / kGlyphFraction);
  const int32_t centreX = rect.left + rect.Width() / 2 + shift.x;
  const int32_t centreY = rect.top + rect.Height() / 2 + shift.y;
  for (int32_t row = 0; row < rows; ++row) {
    switch (direction) {
      case Direction::kUp:
      case Direction::kDown: {
        const int32_t y = centreY - rows / 2 + (direction == Direction::kUp ? row : rows - 1 - row);
        Fill(RECT{centreX - row, y, centreX + row + 1, y + 1}, colour);
        break;
      }
      case Direction::kLeft:
      case Direction::kRight: {
        const int32_t x =
            centreX - rows / 2 + (direction == Direction::kLeft ? row : rows - 1 - row);
        Fill(RECT{x, centreY - row, x + 1, centreY + row + 1}, colour);
        break;
      }
    }
  }
}

void ScrollBarPainter::Fill(const RECT& rect, int colour) const {
  if (!rect.IsEmpty()) FillRect(dc_, rect, GetSysColorBrush(colour));
}

}  // namespace platform
