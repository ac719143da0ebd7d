// The toolbar: a row of buttons and separators along its frame's edge,
// a column of them at a side edge.
// Buttons come from a table of command ids, ID_SEPARATOR marking a gap;
// a separator may be widened to hold a control window the program makes
// on it (a combo box). A click (down and up on the same enabled button)
// sends WM_COMMAND with the button's id to the frame; a disabled button
// sends nothing. The idle update enables, disables and checks buttons as
// the commands' update handlers say.
//
// Headless, a button has no bitmap: its image is a block in the glyph
// colour, grey when disabled, and its face shows whether it is pressed
// or checked.
#pragma once

#include <vector>

#include "framework/control_bar.h"

namespace framework {

// Button styles: the kind in the low byte, the state above it.
inline constexpr UINT TBBS_BUTTON = 0x0000;
inline constexpr UINT TBBS_SEPARATOR = 0x0001;
inline constexpr UINT TBBS_CHECKBOX = 0x0002;
inline constexpr UINT TBBS_CHECKED = 0x0100;
inline constexpr UINT TBBS_PRESSED = 0x0200;
inline constexpr UINT TBBS_DISABLED = 0x0400;
inline constexpr UINT TBBS_INDETERMINATE = 0x0800;

// The control style of a toolbar whose buttons show no edge until
// pressed or checked.
inline constexpr DWORD TBSTYLE_FLAT = 0x0800;

class CToolBar : public CControlBar {
  DECLARE_DYNAMIC(CToolBar)
  DECLARE_MESSAGE_MAP()

 public:
  static constexpr int32_t kButtonWidth = 23;
  static constexpr int32_t kButtonHeight = 22;
  static constexpr int32_t kSeparatorWidth = 8;
  // Between the bar's edge and its items.
  static constexpr int32_t kBorder = 2;

  bool CreateEx(CWnd* parent, DWORD controlStyle, DWORD style, UINT id = AFX_IDW_TOOLBAR);
  // One button per id, a separator for each ID_SEPARATOR; image indexes
  // count the buttons.
  bool SetButtons(const UINT* ids, int count);
  // The buttons of the toolbar resource registered under the id; false,
  // and the buttons stay, when there is none.
  bool LoadToolBar(UINT resourceId);
  int GetCount() const { return static_cast<int>(buttons_.size()); }
  int CommandToIndex(UINT id) const;
  UINT GetItemID(int index) const;

  // For a separator, `image` is its width.
  void SetButtonInfo(int index, UINT id, UINT style, int image);
  void GetButtonInfo(int index, UINT* id, UINT* style, int* image) const;
  UINT GetButtonStyle(int index) const;
  void SetButtonStyle(int index, UINT style);
  // The item's rectangle in the bar's client area; empty for no item.
  void GetItemRect(int index, RECT* rect) const;
  bool IsFlat() const { return (controlStyle_ & TBSTYLE_FLAT) != 0; }

  SIZE CalcFixedLayout(int32_t length, bool horizontal) const override;
  void OnUpdateCmdUI(CCmdTarget* target, bool disableIfNoHandler) override;
  // A button held down lets go, sending nothing, when another window
  // takes the mouse.
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 protected:
  void OnPaint();
  void OnLButtonDown(UINT flags, POINT point);
  void OnMouseMove(UINT flags, POINT point);
  void OnLButtonUp(UINT flags, POINT point);

 private:
  struct Button {
    UINT id = ID_SEPARATOR;
    UINT style = TBBS_BUTTON;
    int image = 0;
  };

  int HitTest(POINT point) const;
  void InvalidateButton(int index);
  void SetPressed(bool pressed);
  void DrawButton(CDC& dc, int index) const;
  // A groove across the bar: upright in a row, level in a column.
  void DrawSeparator(CDC& dc, const RECT& r) const;

  std::vector<Button> buttons_;
  DWORD controlStyle_ = 0;
  // The button the mouse went down on, -1 when none.
  int tracking_ = -1;
};

}  // namespace framework
