// The up-down control's object: a msctls_updown32 window made as a
// child, its range, position and buddy.
#pragma once

#include <cstdint>

#include "framework/wnd.h"
#include "platform/up_down.h"

namespace framework {

class CSpinButtonCtrl : public CWnd {
  DECLARE_DYNAMIC(CSpinButtonCtrl)

 public:
  bool Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);

  // The up arrow moves towards `upper`, which may lie below `lower`.
  void SetRange(int32_t lower, int32_t upper);
  void GetRange(int32_t& lower, int32_t& upper) const;
  // Answers the previous position.
  int32_t SetPos(int32_t position);
  // The position in the low word; a nonzero high word when the buddy's
  // text is no number in the range.
  int32_t GetPos() const;
  // Answers the previous buddy's object (temporary unless it has one).
  CWnd* SetBuddy(CWnd* buddy);
  CWnd* GetBuddy() const;
};

}  // namespace framework
