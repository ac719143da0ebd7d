// The status bar: a row of panes along its frame's bottom edge. Panes
// come from a table of indicator ids; ID_SEPARATOR gives a pane the
// program writes into (the first one stretches over what the others
// leave), any other id a pane showing that indicator's text, as wide as
// the text in the bar's font. The idle update asks for each indicator
// whether it is on; the KANA, CAPS and NUM indicators that no handler
// answers follow GetKeyState's toggles.
#pragma once

#include <vector>

#include "framework/control_bar.h"

namespace framework {

inline constexpr UINT ID_INDICATOR_KANA = 0xE70A;
inline constexpr UINT ID_INDICATOR_CAPS = 0xE701;
inline constexpr UINT ID_INDICATOR_NUM = 0xE702;

inline constexpr UINT SBPS_NORMAL = 0x0000;
inline constexpr UINT SBPS_NOBORDERS = 0x0100;
inline constexpr UINT SBPS_POPOUT = 0x0200;
inline constexpr UINT SBPS_DISABLED = 0x04000000;
inline constexpr UINT SBPS_STRETCH = 0x08000000;

class CStatusBar : public CControlBar {
  DECLARE_DYNAMIC(CStatusBar)
  DECLARE_MESSAGE_MAP()

 public:
  // Between the bar's edge and its panes, between panes, and between a
  // pane's edge and its text.
  static constexpr int32_t kBorder = 2;
  static constexpr int32_t kGap = 2;
  static constexpr int32_t kTextMargin = 2;
  // A pane's text height when the bar has no font.
  static constexpr int32_t kTextHeightWithoutFont = 12;

  bool Create(CWnd* parent, DWORD style = platform::WS_CHILD | platform::WS_VISIBLE | CBRS_BOTTOM,
              UINT id = AFX_IDW_STATUS_BAR);
  // Fails, leaving the panes as they were, when an id other than
  // ID_SEPARATOR names no indicator.
  bool SetIndicators(const UINT* ids, int count);
  int GetCount() const { return static_cast<int>(panes_.size()); }
  int CommandToIndex(UINT id) const;
  UINT GetItemID(int index) const;

  // The font panes are measured and written in; the bar does not own it.
  void SetFont(platform::HFONT font);
  void SetPaneInfo(int index, UINT id, UINT style, int32_t width);
  void GetPaneInfo(int index, UINT* id, UINT* style, int32_t* width) const;
  UINT GetPaneStyle(int index) const;
  void SetPaneStyle(int index, UINT style);
  bool SetPaneText(int index, const char* text, bool update = true);
  CString GetPaneText(int index) const;
  // The pane's rectangle in the bar's client area; empty for no pane.
  void GetItemRect(int index, RECT* rect) const;

  // Its panes only go left to right.
  bool CanBeVertical() const override { return false; }
  SIZE CalcFixedLayout(int32_t length, bool horizontal) const override;
  void OnUpdateCmdUI(CCmdTarget* target, bool disableIfNoHandler) override;

 protected:
  void OnPaint();

 private:
  struct Pane {
    UINT id = ID_SEPARATOR;
    UINT style = SBPS_NORMAL;
    int32_t width = 0;
    CString text;
  };

  int32_t TextWidth(const char* text) const;
  int32_t TextHeight() const;
  void InvalidatePane(int index);

  std::vector<Pane> panes_;
  platform::HFONT font_ = nullptr;
};

}  // namespace framework
