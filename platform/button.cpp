#include "platform/button.h"

#include <algorithm>
#include <string>

#include "platform/control_state.h"
#include "platform/input.h"
#include "platform/paint.h"
#include "platform/static_control.h"
#include "platform/system_classes.h"
#include "platform/system_info.h"
#include "platform/window_reading.h"

namespace platform {

namespace {

// Space between a check mark's box and its label, and inside a frame.
constexpr int32_t kLabelGap = 4;
constexpr int32_t kDefaultFrame = 2;
constexpr int32_t kFocusInset = 3;
constexpr int32_t kMarkInset = 3;

POINT PointOf(LPARAM lParam) { return POINT{LowWord(lParam), HighWord(lParam)}; }

RECT Inset(const RECT& rect, int32_t by) {
  return RECT{rect.left + by, rect.top + by, rect.right - by, rect.bottom - by};
}

void Frame(HDC dc, const RECT& rect, int32_t width, int colour) {
  for (int32_t ring = 0; ring < width; ++ring)
    FrameRect(dc, Inset(rect, ring), GetSysColorBrush(colour));
}

class Button {
 public:
  explicit Button(HWND window) : window_(window) {}

  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

 private:
  DWORD Style() const { return static_cast<DWORD>(GetWindowLongPtr(window_, GWL_STYLE)); }
  DWORD Kind() const { return ButtonKindOf(Style()); }
  LRESULT DialogCode() const;
  void SetStyle(WPARAM kind, LPARAM lParam);
  void SetCheck(WPARAM check);
  void SetPressed(bool pressed);
  void Click();
  void UncheckGroupSiblings() const;
  void OnButtonUp(POINT point);
  void Redraw() const { InvalidateRect(window_, nullptr, true); }
  void Paint();
  void PaintPush(HDC dc, const RECT& client, const ShownLabel& label) const;
  void PaintMarked(HDC dc, const RECT& client, const ShownLabel& label, HBRUSH back) const;
  void PaintGroupBox(HDC dc, const RECT& client, const ShownLabel& label, HBRUSH back) const;
  COLORREF TextColour() const {
    return GetSysColor(IsWindowEnabled(window_) ? COLOR_BTNTEXT : COLOR_GRAYTEXT);
  }

  const HWND window_;
  ControlFont font_;
  WPARAM check_ = BST_UNCHECKED;
  HICON image_ = 0;
  bool pressed_ = false;
  bool focused_ = false;
  bool mouseDown_ = false;
};

LRESULT Button::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_GETDLGCODE:
      return DialogCode();
    case WM_SETFONT:
      font_.Set(window_, wParam, lParam);
      return 0;
    case WM_GETFONT:
      return font_.Get();
    case BM_GETCHECK:
      return static_cast<LRESULT>(check_);
    case BM_SETCHECK:
      SetCheck(wParam);
      return 0;
    case BM_GETSTATE:
      return static_cast<LRESULT>(check_) | (pressed_ ? BST_PUSHED : 0) |
             (focused_ ? BST_FOCUS : 0);
    case BM_SETSTYLE:
      SetStyle(wParam, lParam);
      return 0;
    case BM_CLICK:
      Click();
      return 0;
    case BM_SETIMAGE: {
      const HICON previous = image_;
      image_ = static_cast<HICON>(lParam);
      Redraw();
      return static_cast<LRESULT>(previous);
    }
    case BM_GETIMAGE:
      return static_cast<LRESULT>(image_);
    case WM_KEYDOWN:
      if (wParam == VK_SPACE && Kind() != BS_GROUPBOX) SetPressed(true);
      return 0;
    case WM_KEYUP:
      if (wParam == VK_SPACE && pressed_) {
        SetPressed(false);
        Click();
      }
      return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (Kind() == BS_GROUPBOX) return 0;
      SetFocus(window_);
      SetCapture(window_);
      mouseDown_ = true;
      SetPressed(true);
      return 0;
    case WM_LBUTTONUP:
      OnButtonUp(PointOf(lParam));
      return 0;
    case WM_SETFOCUS:
      focused_ = true;
      Redraw();
      return 0;
    case WM_KILLFOCUS:
      focused_ = false;
      SetPressed(false);
      Redraw();
      return 0;
    case WM_ENABLE:
      Redraw();
      return 0;
    case WM_SETTEXT: {
      const LRESULT result = DefWindowProc(window_, message, wParam, lParam);
      Redraw();
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

LRESULT Button::DialogCode() const {
  switch (Kind()) {
    case BS_DEFPUSHBUTTON:
      return DLGC_BUTTON | DLGC_DEFPUSHBUTTON;
    case BS_PUSHBUTTON:
      return DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
    case BS_AUTORADIOBUTTON:
      return DLGC_BUTTON | DLGC_RADIOBUTTON;
    case BS_GROUPBOX:
      return DLGC_STATIC;
    default:
      return DLGC_BUTTON;
  }
}

// Only a push button turns into a default one and back.
void Button::SetStyle(WPARAM kind, LPARAM lParam) {
  if (!IsPushKind(Kind()) || !IsPushKind(static_cast<DWORD>(kind))) return;
  SetWindowLongPtr(window_, GWL_STYLE,
                   static_cast<LONG_PTR>((Style() & ~BS_TYPEMASK) | static_cast<DWORD>(kind)));
  if (LowWord(lParam) != 0) Redraw();
}

void Button::SetCheck(WPARAM check) {
  const DWORD kind = Kind();
  if (kind != BS_AUTOCHECKBOX && kind != BS_AUTORADIOBUTTON) return;
  const WPARAM next = check == BST_CHECKED ? BST_CHECKED : BST_UNCHECKED;
  if (next == check_) return;
  check_ = next;
  Redraw();
  ReportValueChanged(window_);
}

void Button::SetPressed(bool pressed) {
  if (pressed == pressed_) return;
  pressed_ = pressed;
  Redraw();
}

void Button::Click() {
  const DWORD kind = Kind();
  if (kind == BS_GROUPBOX) return;
  if (kind == BS_AUTOCHECKBOX) SetCheck(check_ == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED);
  if (kind == BS_AUTORADIOBUTTON) {
    SetCheck(BST_CHECKED);
    UncheckGroupSiblings();
  }
  const HWND parent = GetParent(window_);
  if (parent == kNoWindow) return;
  SendMessage(parent, WM_COMMAND, MakeWParam(static_cast<UINT>(GetDlgCtrlID(window_)), BN_CLICKED),
              static_cast<LPARAM>(window_));
}

// The group runs from the nearest WS_GROUP sibling at or before this
// button to the next one after it.
void Button::UncheckGroupSiblings() const {
  HWND first = window_;
  while ((GetWindowLongPtr(first, GWL_STYLE) & WS_GROUP) == 0) {
    const HWND previous = GetWindow(first, GW_HWNDPREV);
    if (previous == kNoWindow) break;
    first = previous;
  }
  for (HWND sibling = first; sibling != kNoWindow; sibling = GetWindow(sibling, GW_HWNDNEXT)) {
    const auto style = static_cast<DWORD>(GetWindowLongPtr(sibling, GWL_STYLE));
    if (sibling != first && (style & WS_GROUP) != 0) break;
    std::string className;
    if (sibling != window_ && ButtonKindOf(style) == BS_AUTORADIOBUTTON &&
        GetClassName(sibling, &className) && className == kButtonClass) {
      SendMessage(sibling, BM_SETCHECK, BST_UNCHECKED, 0);
    }
  }
}

void Button::OnButtonUp(POINT point) {
  if (!mouseDown_) return;
  mouseDown_ = false;
  ReleaseCapture();
  SetPressed(false);
  RECT client;
  GetClientRect(window_, &client);
  if (PtInRect(client, point)) Click();
}

void Button::Paint() {
  PAINTSTRUCT paint;
  const HDC dc = BeginPaint(window_, &paint);
  if (dc == nullptr) return;
  font_.Select(dc);
  RECT client;
  GetClientRect(window_, &client);
  const ShownLabel label = ShownLabelOf(GetWindowText(window_), false);
  const DWORD kind = Kind();
  if (IsPushKind(kind)) {
    PaintPush(dc, client, label);
  } else {
    const HBRUSH back = AskParentColours(window_, dc, WM_CTLCOLORSTATIC);
    if (kind == BS_GROUPBOX) {
      PaintGroupBox(dc, client, label, back);
    } else {
      PaintMarked(dc, client, label, back);
    }
  }
  EndPaint(window_, &paint);
}

// Face, a text-coloured frame (two pixels for the default one), the face
// darkened while held, and the focus as an inner frame.
void Button::PaintPush(HDC dc, const RECT& client, const ShownLabel& label) const {
  FillRect(dc, client, GetSysColorBrush(pressed_ ? COLOR_3DSHADOW : COLOR_BTNFACE));
  Frame(dc, client, Kind() == BS_DEFPUSHBUTTON ? kDefaultFrame : 1, COLOR_WINDOWFRAME);
  if (focused_) FrameRect(dc, Inset(client, kFocusInset), GetSysColorBrush(COLOR_HIGHLIGHT));
  DrawLabel(dc, label, client, DT_CENTER, TextColour());
}

// A box as high as the text at the left: a square for a check box, a
// diamond for a radio button, filled while checked.
void Button::PaintMarked(HDC dc, const RECT& client, const ShownLabel& label, HBRUSH back) const {
  FillRect(dc, client, back);
  TEXTMETRICA metrics;
  GetTextMetricsA(dc, &metrics);
  const int32_t side = std::min(metrics.tmHeight, client.Height());
  const int32_t top = client.top + (client.Height() - side) / 2;
  const RECT box{client.left, top, client.left + side, top + side};
  const HBRUSH text = GetSysColorBrush(IsWindowEnabled(window_) ? COLOR_BTNTEXT : COLOR_GRAYTEXT);
  if (Kind() == BS_AUTORADIOBUTTON) {
    const int32_t midX = (box.left + box.right) / 2;
    const int32_t midY = (box.top + box.bottom) / 2;
    const POINT outer[] = {
        {midX, box.top}, {box.right - 1, midY}, {midX, box.bottom - 1}, {box.left, midY}};
    const UniquePen pen = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNTEXT));
    const HPEN previousPen = SelectObject(dc, pen.get());
    const HBRUSH previousBrush =
        SelectObject(dc, check_ == BST_CHECKED ? text : GetSysColorBrush(COLOR_WINDOW));
    Polygon(dc, outer, 4);
    SelectObject(dc, previousBrush);
    SelectObject(dc, previousPen);
  } else {
    FillRect(dc, box, GetSysColorBrush(COLOR_WINDOW));
    FrameRect(dc, box, text);
    if (check_ == BST_CHECKED) FillRect(dc, Inset(box, kMarkInset), text);
  }
  RECT labelRect{box.right + kLabelGap, client.top, client.right, client.bottom};
  DrawLabel(dc, label, labelRect, DT_LEFT, TextColour());
  if (focused_) FrameRect(dc, client, GetSysColorBrush(COLOR_HIGHLIGHT));
}

// A frame round the group with the caption over its top line.
void Button::PaintGroupBox(HDC dc, const RECT& client, const ShownLabel& label, HBRUSH back) const {
  FillRect(dc, client, back);
  SIZE text{};
  GetTextExtentPoint32A(dc, label.text.c_str(), static_cast<int32_t>(label.text.size()), &text);
  const RECT frame{client.left, client.top + text.cy / 2, client.right, client.bottom};
  FrameRect(dc, frame, GetSysColorBrush(COLOR_WINDOWFRAME));
  if (label.text.empty()) return;
  const RECT caption{client.left + kLabelGap, client.top,
                     std::min(client.right, client.left + kLabelGap * 2 + text.cx),
                     client.top + text.cy};
  FillRect(dc, caption, back);
  DrawLabel(dc, label,
            RECT{caption.left + kLabelGap / 2, caption.top, caption.right, caption.bottom}, DT_LEFT,
            TextColour());
}

ControlStates<Button>& Buttons() {
  static ControlStates<Button> buttons;
  return buttons;
}

}  // namespace

LRESULT ButtonProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return Buttons().Dispatch(window, message, wParam, lParam);
}

}  // namespace platform
