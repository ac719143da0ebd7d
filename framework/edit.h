// The edit control's object: an Edit window made as a child, its limit,
// selection and modified flag. Positions and the limit are in bytes.
#pragma once

#include "framework/wnd.h"
#include "platform/edit_control.h"

namespace framework {

class CEdit : public CWnd {
  DECLARE_DYNAMIC(CEdit)

 public:
  // `style` holds the ES_* and the window styles.
  bool Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);

  // 0: as many bytes as can be.
  void SetLimitText(UINT limit);
  UINT GetLimitText() const;
  // Selects from the anchor to the caret's end (-1: the text's end; a
  // start of -1 drops the selection) and, unless told not to, scrolls the
  // caret into view.
  void SetSel(int32_t start, int32_t end, bool noScroll = false);
  void GetSel(int32_t& start, int32_t& end) const;
  void ReplaceSel(const char* text);
  bool GetModify() const;
  void SetModify(bool modified = true);
};

}  // namespace framework
