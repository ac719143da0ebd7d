// Draws menus in the system colours: a popup's raised border, its items'
// labels with the mnemonic underlined, the keys right-aligned in their
// column, check marks, submenu arrows, etched separators and greyed
// items; and a menu bar's row of labels. The highlighted item is filled
// in the highlight colour. The DC has the menu font selected. Internal to
// the menus.
#pragma once

#include <string_view>
#include <vector>

#include "platform/gdi.h"
#include "platform/menu_layout.h"
#include "platform/menu_store.h"

namespace platform {

struct MenuPicture {
  const std::vector<MenuItem>& items;
  const MenuLayout& layout;
  int highlight = kNoItem;
};

class MenuPainter {
 public:
  MenuPainter(HDC dc, const MenuPicture& picture) : dc_(dc), picture_(picture) {}

  void PaintPopup(const RECT& client) const;
  void PaintBar(const RECT& client) const;

 private:
  void PaintBorder(const RECT& client) const;
  void PaintPopupItem(size_t index) const;
  void PaintSeparator(const RECT& rect) const;
  void PaintCheck(const RECT& rect, int colour) const;
  void PaintArrow(const RECT& rect, int colour) const;
  // The label at `x`, centred in the item's height, its mnemonic underlined.
  void PaintLabel(const MenuItem& item, const RECT& rect, int32_t x, int colour) const;
  void PaintText(std::string_view text, int32_t x, int32_t y, int colour) const;
  int TextColourOf(size_t index) const;
  bool Highlighted(size_t index) const { return static_cast<int>(index) == picture_.highlight; }
  void Fill(const RECT& rect, int colour) const;

  HDC dc_;
  const MenuPicture& picture_;
};

}  // namespace platform
