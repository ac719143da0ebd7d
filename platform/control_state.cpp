#include "platform/control_state.h"

#include <algorithm>

#include "platform/menu_text.h"
#include "platform/paint.h"
#include "platform/sjis.h"
#include "platform/system_info.h"
#include "platform/ui_font.h"

namespace platform {

void ControlFont::Set(HWND window, WPARAM wParam, LPARAM lParam) {
  given_ = reinterpret_cast<HFONT>(wParam);
  if (LowWord(lParam) != 0) InvalidateRect(window, nullptr, true);
}

void ControlFont::Select(HDC dc) {
  if (given_ != nullptr) {
    SelectObject(dc, given_);
    return;
  }
  if (fallback_ == nullptr) fallback_ = CreateUiFont(kDefaultPoints);
  if (fallback_ != nullptr) SelectObject(dc, fallback_.get());
}

HBRUSH AskParentColours(HWND control, HDC dc, UINT message) {
  const HWND parent = GetParent(control);
  if (parent != kNoWindow) {
    const LRESULT answer =
        SendMessage(parent, message, reinterpret_cast<WPARAM>(dc), static_cast<LPARAM>(control));
    if (answer != 0) return BrushOf(answer);
  }
  SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
  SetBkColor(dc, GetSysColor(COLOR_3DFACE));
  return GetSysColorBrush(COLOR_3DFACE);
}

ShownLabel ShownLabelOf(const std::string& text, bool noPrefix) {
  if (noPrefix) return ShownLabel{text, std::nullopt};
  const MenuText parsed = ParseMenuText(text);
  // A tab belongs to a menu item's key; a control shows all of its text.
  std::string shown = parsed.label;
  if (!parsed.key.empty()) shown += "\t" + parsed.key;
  return ShownLabel{shown, parsed.mnemonicAt};
}

void DrawLabel(HDC dc, const ShownLabel& label, const RECT& rect, uint32_t format,
               COLORREF colour) {
  SetTextColor(dc, colour);
  SIZE whole;
  if (!GetTextExtentPoint32A(dc, label.text.c_str(), static_cast<int32_t>(label.text.size()),
                             &whole)) {
    return;
  }
  const int32_t top = rect.top + std::max(0, (rect.Height() - whole.cy) / 2);
  const RECT line{rect.left, top, rect.right, rect.bottom};
  SetBkMode(dc, TRANSPARENT);
  DrawTextA(dc, label.text.c_str(), static_cast<int32_t>(label.text.size()), &line, format);
  if (!label.mnemonicAt || *label.mnemonicAt >= label.text.size()) return;
  SIZE before;
  SIZE with;
  const size_t at = *label.mnemonicAt;
  const size_t length = CharLengthAt(label.text, at);
  GetTextExtentPoint32A(dc, label.text.c_str(), static_cast<int32_t>(at), &before);
  GetTextExtentPoint32A(dc, label.text.c_str(), static_cast<int32_t>(at + length), &with);
  int32_t left = rect.left;
  if ((format & DT_CENTER) != 0) left += (rect.Width() - whole.cx) / 2;
  if ((format & DT_RIGHT) != 0) left = rect.right - whole.cx;
  const int32_t baseline = top + whole.cy - 1;
  const UniquePen pen = CreatePen(PS_SOLID, 1, colour);
  const HPEN previous = SelectObject(dc, pen.get());
  MoveToEx(dc, left + before.cx, baseline, nullptr);
  LineTo(dc, left + with.cx, baseline);
  SelectObject(dc, previous);
}

}  // namespace platform
