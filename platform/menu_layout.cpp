#include "platform/menu_layout.h"

#include <algorithm>

#include "platform/menu_text.h"
#include "platform/system_info.h"

namespace platform {

namespace {

constexpr int32_t kMenuFontPoints = 9;

int32_t ItemHeight() { return GetSystemMetrics(SM_CYMENU); }

}  // namespace

MenuFontScope::MenuFontScope(HDC dc) : dc_(dc), font_(CreateUiFont(kMenuFontPoints)) {
  if (font_ != nullptr) previous_ = SelectObject(dc_, font_.get());
}

MenuFontScope::~MenuFontScope() {
  if (previous_ != nullptr) SelectObject(dc_, previous_);
}

MenuLayout MenuLayout::Popup(HDC measure, const std::vector<MenuItem>& items) {
  int32_t labels = 0;
  int32_t keys = 0;
  for (const MenuItem& item : items) {
    if (item.IsSeparator()) continue;
    const MenuText text = ParseMenuText(item.text);
    labels = std::max(labels, TextWidth(measure, text.label));
    keys = std::max(keys, TextWidth(measure, text.key));
  }
  MenuLayout layout;
  const int32_t left = MenuMetrics::kBorder;
  layout.labelColumn_ = left + MenuMetrics::kCheckColumn;
  const int32_t right =
      layout.labelColumn_ + labels + MenuMetrics::kKeyGap + keys + MenuMetrics::kArrowColumn;
  int32_t top = MenuMetrics::kBorder;
  for (const MenuItem& item : items) {
    const int32_t height = item.IsSeparator() ? MenuMetrics::kSeparatorHeight : ItemHeight();
    layout.rects_.push_back(RECT{left, top, right, top + height});
    top += height;
  }
  layout.size_ = SIZE{right + MenuMetrics::kBorder, top + MenuMetrics::kBorder};
  return layout;
}

MenuLayout MenuLayout::Bar(HDC measure, const std::vector<MenuItem>& items) {
  MenuLayout layout;
  int32_t left = 0;
  for (const MenuItem& item : items) {
    const int32_t width =
        TextWidth(measure, ParseMenuText(item.text).label) + 2 * MenuMetrics::kBarPadding;
    layout.rects_.push_back(RECT{left, 0, left + width, ItemHeight()});
    left += width;
  }
  layout.labelColumn_ = MenuMetrics::kBarPadding;
  layout.size_ = SIZE{left, ItemHeight()};
  return layout;
}

int MenuLayout::ItemAt(POINT point) const {
  for (size_t i = 0; i < rects_.size(); ++i) {
    if (PtInRect(rects_[i], point)) return static_cast<int>(i);
  }
  return kNoItem;
}

}  // namespace platform
