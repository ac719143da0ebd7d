#include "platform/menu_paint.h"

#include <algorithm>

#include "platform/menu_text.h"
#include "platform/sjis.h"
#include "platform/system_info.h"

namespace platform {

namespace {

// The separator's etched line sits this far in from the item's sides.
constexpr int32_t kSeparatorInset = 2;
// The tick of a check mark: rows of this many pixels, stepping down and
// then up, as wide as the check column allows.
constexpr int32_t kCheckStroke = 2;
constexpr int32_t kCheckWidth = 7;
constexpr int32_t kCheckDownSteps = 3;
// The submenu arrow's rows (a triangle pointing right).
constexpr int32_t kArrowRows = 4;

int32_t TextTop(HDC dc, const RECT& rect) {
  TEXTMETRICA metrics;
  const int32_t height = GetTextMetricsA(dc, &metrics) ? metrics.tmHeight : 0;
  return rect.top + (rect.Height() - height) / 2;
}

}  // namespace

void MenuPainter::PaintPopup(const RECT& client) const {
  Fill(client, COLOR_MENU);
  PaintBorder(client);
  for (size_t i = 0; i < picture_.items.size(); ++i) PaintPopupItem(i);
}

void MenuPainter::PaintBar(const RECT& client) const {
  Fill(client, COLOR_MENU);
  for (size_t i = 0; i < picture_.items.size(); ++i) {
    const RECT& rect = picture_.layout.items()[i];
    if (Highlighted(i)) Fill(rect, COLOR_HIGHLIGHT);
    PaintLabel(picture_.items[i], rect, rect.left + picture_.layout.labelColumn(), TextColourOf(i));
  }
}

// Raised: light on the top and left, dark on the bottom and right, two
// pixels deep.
void MenuPainter::PaintBorder(const RECT& client) const {
  const auto sides = [this](const RECT& r, int topLeft, int bottomRight) {
    Fill(RECT{r.left, r.top, r.right - 1, r.top + 1}, topLeft);
    Fill(RECT{r.left, r.top, r.left + 1, r.bottom - 1}, topLeft);
    Fill(RECT{r.left, r.bottom - 1, r.right, r.bottom}, bottomRight);
    Fill(RECT{r.right - 1, r.top, r.right, r.bottom}, bottomRight);
  };
  sides(client, COLOR_3DLIGHT, COLOR_3DDKSHADOW);
  sides(RECT{client.left + 1, client.top + 1, client.right - 1, client.bottom - 1},
        COLOR_BTNHIGHLIGHT, COLOR_BTNSHADOW);
}

void MenuPainter::PaintPopupItem(size_t index) const {
  const MenuItem& item = picture_.items[index];
  const RECT& rect = picture_.layout.items()[index];
  if (item.IsSeparator()) {
    PaintSeparator(rect);
    return;
  }
  if (Highlighted(index)) Fill(rect, COLOR_HIGHLIGHT);
  const int colour = TextColourOf(index);
  if ((item.flags & MF_CHECKED) != 0) PaintCheck(rect, colour);
  PaintLabel(item, rect, picture_.layout.labelColumn(), colour);
  const MenuText text = ParseMenuText(item.text);
  // The keys end together, before the arrow column.
  const int32_t keyRight = rect.right - MenuMetrics::kArrowColumn;
  if (!text.key.empty())
    PaintText(text.key, keyRight - TextWidth(dc_, text.key), TextTop(dc_, rect), colour);
  if (item.IsPopup()) PaintArrow(rect, colour);
}

void MenuPainter::PaintSeparator(const RECT& rect) const {
  const int32_t middle = rect.top + rect.Height() / 2;
  const int32_t left = rect.left + kSeparatorInset;
  const int32_t right = rect.right - kSeparatorInset;
  Fill(RECT{left, middle - 1, right, middle}, COLOR_BTNSHADOW);
  Fill(RECT{left, middle, right, middle + 1}, COLOR_BTNHIGHLIGHT);
}

// A tick centred in the check column: down to the right, then up.
void MenuPainter::PaintCheck(const RECT& rect, int colour) const {
  const int32_t left = rect.left + (MenuMetrics::kCheckColumn - kCheckWidth) / 2;
  const int32_t bottom = rect.top + rect.Height() / 2 + kCheckDownSteps / 2 + 1;
  for (int32_t column = 0; column < kCheckWidth; ++column) {
    const int32_t rise =
        column < kCheckDownSteps ? kCheckDownSteps - 1 - column : column - kCheckDownSteps + 1;
    const int32_t top = bottom - rise - kCheckStroke;
    Fill(RECT{left + column, top, left + column + 1, top + kCheckStroke}, colour);
  }
}

void MenuPainter::PaintArrow(const RECT& rect, int colour) const {
  const int32_t left = rect.right - MenuMetrics::kArrowColumn + kArrowRows;
  const int32_t middle = rect.top + rect.Height() / 2;
  for (int32_t column = 0; column < kArrowRows; ++column) {
    const int32_t half = kArrowRows - 1 - column;
    Fill(RECT{left + column, middle - half, left + column + 1, middle + half + 1}, colour);
  }
}

void MenuPainter::PaintLabel(const MenuItem& item, const RECT& rect, int32_t x, int colour) const {
  const MenuText text = ParseMenuText(item.text);
  const int32_t top = TextTop(dc_, rect);
  PaintText(text.label, x, top, colour);
  if (!text.mnemonicAt) return;
  TEXTMETRICA metrics;
  if (!GetTextMetricsA(dc_, &metrics)) return;
  const std::string_view label = text.label;
  const size_t at = *text.mnemonicAt;
  const int32_t start = x + TextWidth(dc_, label.substr(0, at));
  const int32_t width = TextWidth(dc_, label.substr(at, CharLengthAt(label, at)));
  const int32_t underline = top + metrics.tmAscent + 1;
  Fill(RECT{start, underline, start + width, underline + 1}, colour);
}

void MenuPainter::PaintText(std::string_view text, int32_t x, int32_t y, int colour) const {
  if (text.empty()) return;
  SetTextAlign(dc_, TA_TOP);
  SetBkMode(dc_, TRANSPARENT);
  SetTextColor(dc_, GetSysColor(colour));
  ExtTextOutA(dc_, x, y, 0, nullptr, text.data(), static_cast<int32_t>(text.size()), nullptr);
}

int MenuPainter::TextColourOf(size_t index) const {
  if (!picture_.items[index].CanChoose()) return COLOR_GRAYTEXT;
  return Highlighted(index) ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT;
}

void MenuPainter::Fill(const RECT& rect, int colour) const {
  if (!rect.IsEmpty()) FillRect(dc_, rect, GetSysColorBrush(colour));
}

}  // namespace platform
