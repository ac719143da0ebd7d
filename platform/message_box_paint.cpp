#include "platform/message_box_paint.h"

#include <array>
#include <string>

#include "platform/system_info.h"

namespace platform {

namespace {

enum class IconShape { kDisc, kTriangle };

struct IconMark {
  UINT icon;
  IconShape shape;
  COLORREF fill;
  char sign;
  COLORREF signColour;
};

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr std::array kIconMarks = {
    IconMark{MB_ICONHAND, IconShape::kDisc, RGB(255, 0, 0), 'X', kWhite},
    IconMark{MB_ICONQUESTION, IconShape::kDisc, RGB(0, 0, 255), '?', kWhite},
    IconMark{MB_ICONEXCLAMATION, IconShape::kTriangle, RGB(255, 255, 0), '!', kBlack},
    IconMark{MB_ICONASTERISK, IconShape::kDisc, RGB(0, 0, 255), 'i', kWhite},
};

const IconMark* MarkOf(UINT type) {
  for (const IconMark& mark : kIconMarks) {
    if (mark.icon == (type & MB_ICONMASK)) return &mark;
  }
  return nullptr;
}

RECT Inset(const RECT& rect) {
  return RECT{rect.left + 1, rect.top + 1, rect.right - 1, rect.bottom - 1};
}

int32_t FontHeight(HDC dc) {
  TEXTMETRICA metrics;
  GetTextMetricsA(dc, &metrics);
  return metrics.tmHeight;
}

void DrawTextAt(HDC dc, int32_t x, int32_t y, const std::string& text) {
  ExtTextOutA(dc, x, y, 0, nullptr, text.data(), static_cast<int32_t>(text.size()), nullptr);
}

}  // namespace

bool HasIconMark(UINT type) { return MarkOf(type) != nullptr; }

void MessageBoxPainter::Paint() const {
  Fill(RECT{0, 0, layout_.client.cx, layout_.client.cy}, COLOR_BTNFACE);
  SetBkMode(dc_, TRANSPARENT);
  SetTextAlign(dc_, TA_TOP);
  PaintIcon();
  PaintText();
  for (size_t index = 0; index < buttons_.size() && index < layout_.buttons.size(); ++index) {
    PaintButton(index);
  }
}

void MessageBoxPainter::PaintIcon() const {
  const IconMark* mark = MarkOf(type_);
  if (mark == nullptr || layout_.icon.IsEmpty()) return;
  const RECT& box = layout_.icon;
  const UniqueBrush fill = CreateSolidBrush(mark->fill);
  if (mark->shape == IconShape::kDisc) {
    const UniqueRegion disc =
        CreateRoundRectRgn(box.left, box.top, box.right, box.bottom, box.Width(), box.Height());
    FillRgn(dc_, disc.get(), fill.get());
  } else {
    const std::array<POINT, 3> corners = {POINT{(box.left + box.right) / 2, box.top},
                                          POINT{box.right - 1, box.bottom - 1},
                                          POINT{box.left, box.bottom - 1}};
    const UniquePen outline = CreatePen(PS_SOLID, 1, kBlack);
    const HPEN oldPen = SelectObject(dc_, outline.get());
    const HBRUSH oldBrush = SelectObject(dc_, fill.get());
    Polygon(dc_, corners.data(), static_cast<int32_t>(corners.size()));
    SelectObject(dc_, oldBrush);
    SelectObject(dc_, oldPen);
  }
  const std::string sign(1, mark->sign);
  SetTextColor(dc_, mark->signColour);
  DrawTextAt(dc_, (box.left + box.right - TextWidth(dc_, sign)) / 2,
             (box.top + box.bottom - FontHeight(dc_)) / 2, sign);
}

void MessageBoxPainter::PaintText() const {
  SetTextColor(dc_, GetSysColor(COLOR_WINDOWTEXT));
  int32_t y = layout_.text.top;
  for (const std::string& line : layout_.lines) {
    DrawTextAt(dc_, layout_.text.left, y, line);
    y += layout_.lineHeight;
  }
}

void MessageBoxPainter::PaintButton(size_t index) const {
  RECT rect = layout_.buttons[index];
  if (index == current_) {
    // The default button's extra frame.
    Fill(RECT{rect.left, rect.top, rect.right, rect.top + 1}, COLOR_WINDOWFRAME);
    Fill(RECT{rect.left, rect.bottom - 1, rect.right, rect.bottom}, COLOR_WINDOWFRAME);
    Fill(RECT{rect.left, rect.top, rect.left + 1, rect.bottom}, COLOR_WINDOWFRAME);
    Fill(RECT{rect.right - 1, rect.top, rect.right, rect.bottom}, COLOR_WINDOWFRAME);
    rect = Inset(rect);
  }
  Fill(rect, COLOR_BTNFACE);
  PaintSides(rect, COLOR_BTNHIGHLIGHT, COLOR_3DDKSHADOW);
  PaintSides(Inset(rect), COLOR_3DLIGHT, COLOR_BTNSHADOW);
  PaintButtonText(rect, buttons_[index].text);
}

void MessageBoxPainter::PaintButtonText(const RECT& rect, const char* text) const {
  size_t mnemonic = std::string::npos;
  const std::string shown = ShownButtonText(text, &mnemonic);
  const int32_t height = FontHeight(dc_);
  const int32_t x = (rect.left + rect.right - TextWidth(dc_, shown)) / 2;
  const int32_t y = (rect.top + rect.bottom - height) / 2;
  SetTextColor(dc_, GetSysColor(COLOR_BTNTEXT));
  DrawTextAt(dc_, x, y, shown);
  if (mnemonic == std::string::npos) return;
  const std::string_view view = shown;
  const int32_t left = x + TextWidth(dc_, view.substr(0, mnemonic));
  const int32_t right = left + TextWidth(dc_, view.substr(mnemonic, 1));
  Fill(RECT{left, y + height - 1, right, y + height}, COLOR_BTNTEXT);
}

// One pixel along each side: the top and left in one colour, the bottom
// and right (which take the corners they share) in the other.
void MessageBoxPainter::PaintSides(const RECT& rect, int topLeft, int bottomRight) const {
  Fill(RECT{rect.left, rect.top, rect.right - 1, rect.top + 1}, topLeft);
  Fill(RECT{rect.left, rect.top, rect.left + 1, rect.bottom - 1}, topLeft);
  Fill(RECT{rect.left, rect.bottom - 1, rect.right, rect.bottom}, bottomRight);
  Fill(RECT{rect.right - 1, rect.top, rect.right, rect.bottom}, bottomRight);
}

void MessageBoxPainter::Fill(const RECT& rect, int colour) const {
  FillRect(dc_, rect, GetSysColorBrush(colour));
}

}  // namespace platform
