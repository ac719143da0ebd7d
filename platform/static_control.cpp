#include "platform/static_control.h"

#include "platform/control_state.h"
#include "platform/paint.h"
#include "platform/system_classes.h"
#include "platform/system_info.h"

namespace platform {

namespace {

class Static {
 public:
  explicit Static(HWND window) : window_(window) {}

  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
      case WM_GETDLGCODE:
        return DLGC_STATIC;
      case WM_SETFONT:
        font_.Set(window_, wParam, lParam);
        return 0;
      case WM_GETFONT:
        return font_.Get();
      case STM_SETICON: {
        const HICON previous = icon_;
        icon_ = static_cast<HICON>(wParam);
        InvalidateRect(window_, nullptr, true);
        return static_cast<LRESULT>(previous);
      }
      case STM_GETICON:
        return static_cast<LRESULT>(icon_);
      case WM_SETTEXT:
      case WM_ENABLE: {
        const LRESULT result = DefWindowProc(window_, message, wParam, lParam);
        InvalidateRect(window_, nullptr, true);
        return result;
      }
      case WM_ERASEBKGND:
        // The paint covers every pixel.
        return 1;
      case WM_PAINT:
        Paint();
        return 0;
      default:
        return DefWindowProc(window_, message, wParam, lParam);
    }
  }

 private:
  DWORD Style() const { return static_cast<DWORD>(GetWindowLongPtr(window_, GWL_STYLE)); }

  uint32_t Format() const {
    switch (Style() & SS_TYPEMASK) {
      case SS_CENTER:
        return DT_CENTER;
      case SS_RIGHT:
        return DT_RIGHT;
      default:
        return DT_LEFT;
    }
  }

  // The colours and brush are the parent's: a sample static is painted
  // in the colour its dialog chooses.
  void Paint() {
    PAINTSTRUCT paint;
    const HDC dc = BeginPaint(window_, &paint);
    if (dc == nullptr) return;
    font_.Select(dc);
    RECT client;
    GetClientRect(window_, &client);
    const HBRUSH back = AskParentColours(window_, dc, WM_CTLCOLORSTATIC);
    FillRect(dc, client, back);
    if ((Style() & SS_TYPEMASK) != SS_ICON) {
      const bool enabled = IsWindowEnabled(window_);
      const ShownLabel label = ShownLabelOf(GetWindowText(window_), (Style() & SS_NOPREFIX) != 0);
      SetBkMode(dc, TRANSPARENT);
      if (!enabled) SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
      RECT top = client;
      DrawTextA(dc, label.text.c_str(), static_cast<int32_t>(label.text.size()), &top, Format());
    }
    EndPaint(window_, &paint);
  }

  const HWND window_;
  ControlFont font_;
  HICON icon_ = 0;
};

ControlStates<Static>& Statics() {
  static ControlStates<Static> statics;
  return statics;
}

}  // namespace

LRESULT StaticProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return Statics().Dispatch(window, message, wParam, lParam);
}

}  // namespace platform
