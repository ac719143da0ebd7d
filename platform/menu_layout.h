// Where a menu's items lie: a popup stacks them in a column inside a
// raised border, the labels after a check-mark column and the keys in a
// column of their own; a menu bar sets them in a row. Texts are measured
// in the menu font. Internal to the menus.
#pragma once

#include <vector>

#include "platform/gdi.h"
#include "platform/menu_store.h"
#include "platform/ui_font.h"

namespace platform {

// The menu font selected into a DC for the life of the scope; the DC's
// earlier font comes back after it.
class MenuFontScope {
 public:
  explicit MenuFontScope(HDC dc);
  ~MenuFontScope();
  MenuFontScope(const MenuFontScope&) = delete;
  MenuFontScope& operator=(const MenuFontScope&) = delete;

 private:
  HDC dc_;
  UniqueFont font_;
  HFONT previous_ = nullptr;
};

struct MenuMetrics {
  static constexpr int32_t kBorder = 2;
  static constexpr int32_t kCheckColumn = 16;
  static constexpr int32_t kKeyGap = 16;
  // Room on the right for the arrow of an item that opens a popup.
  static constexpr int32_t kArrowColumn = 16;
  static constexpr int32_t kSeparatorHeight = 8;
  // Space on either side of a menu bar item's label.
  static constexpr int32_t kBarPadding = 8;
};

inline constexpr int kNoItem = -1;

class MenuLayout {
 public:
  // `measure` has the menu font selected.
  static MenuLayout Popup(HDC measure, const std::vector<MenuItem>& items);
  static MenuLayout Bar(HDC measure, const std::vector<MenuItem>& items);

  // The whole popup, or the row of the bar's items.
  SIZE size() const { return size_; }
  // Each item's rectangle in the menu's client area.
  const std::vector<RECT>& items() const { return rects_; }
  // Where the labels start in a popup, or in each bar item.
  int32_t labelColumn() const { return labelColumn_; }
  // The item under a client point; kNoItem for none.
  int ItemAt(POINT point) const;

 private:
  SIZE size_;
  std::vector<RECT> rects_;
  int32_t labelColumn_ = 0;
};

}  // namespace platform
