// The status bar control's object: a msctls_statusbar32 window made as a
// child, its parts and texts, and its simple mode.
#pragma once

#include <cstdint>

#include "framework/cstring.h"
#include "framework/wnd.h"
#include "platform/status_control.h"

namespace framework {

class CStatusBarCtrl : public CWnd {
  DECLARE_DYNAMIC(CStatusBarCtrl)

 public:
  // The bar places itself along the parent's bottom whatever `rect` says.
  bool Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);

  void SetSimple(bool simple = true);
  // `part` SB_SIMPLEID sets the simple mode's text.
  bool SetText(const char* text, int part);
  CString GetText(int part) const;
  int GetTextLength(int part) const;
  bool SetParts(int count, const int32_t* rights);
  // Copies up to `count` right edges (`rights` may be null); answers the
  // number of parts.
  int GetParts(int count, int32_t* rights) const;
};

}  // namespace framework
