// The objects of the dialog's plain controls: a Button window (push,
// default push, check box, radio button, group box) and a Static one
// (text or icon), made as children or taken over from a dialog.
#pragma once

#include "framework/wnd.h"
#include "platform/button.h"
#include "platform/static_control.h"

namespace framework {

class CButton : public CWnd {
  DECLARE_DYNAMIC(CButton)

 public:
  // `style` holds the BS_ kind and the window styles.
  bool Create(const char* text, DWORD style, const RECT& rect, CWnd* parent, UINT id);

  UINT GetCheck() const;
  void SetCheck(UINT check);
  // The BS_ kind bits.
  UINT GetButtonStyle() const;
  // Only a push button turns into a default one and back.
  void SetButtonStyle(UINT style, bool redraw = true);
  platform::HICON SetIcon(platform::HICON icon);
  platform::HICON GetIcon() const;
};

class CStatic : public CWnd {
  DECLARE_DYNAMIC(CStatic)

 public:
  // `style` holds the SS_ kind and the window styles.
  bool Create(const char* text, DWORD style, const RECT& rect, CWnd* parent, UINT id);

  // Answers the previous icon.
  platform::HICON SetIcon(platform::HICON icon);
  platform::HICON GetIcon() const;
};

}  // namespace framework
