#include "platform/scroll_bar.h"

#include <memory>
#include <mutex>
#include <unordered_map>

#include "platform/control_state.h"
#include "platform/input.h"
#include "platform/paint.h"
#include "platform/scroll_bar_layout.h"
#include "platform/scroll_bar_paint.h"
#include "platform/system_classes.h"
#include "platform/window.h"

namespace platform {

namespace {

// Holding an arrow or a page area down repeats it: first after the delay,
// then every period, while the pointer stays over the part.
constexpr UINT_PTR kRepeatTimer = 1;
constexpr UINT kFirstRepeatDelayMs = 250;
constexpr UINT kRepeatPeriodMs = 50;

constexpr int kNoCode = -1;

int CodeOfPart(ScrollPart part) {
  switch (part) {
    case ScrollPart::kFirstArrow:
      return SB_LINEUP;
    case ScrollPart::kLastArrow:
      return SB_LINEDOWN;
    case ScrollPart::kFirstPage:
      return SB_PAGEUP;
    case ScrollPart::kLastPage:
      return SB_PAGEDOWN;
    default:
      return kNoCode;
  }
}

int CodeOfKey(WPARAM vk) {
  switch (vk) {
    case VK_UP:
    case VK_LEFT:
      return SB_LINEUP;
    case VK_DOWN:
    case VK_RIGHT:
      return SB_LINEDOWN;
    case VK_PRIOR:
      return SB_PAGEUP;
    case VK_NEXT:
      return SB_PAGEDOWN;
    case VK_HOME:
      return SB_TOP;
    case VK_END:
      return SB_BOTTOM;
    default:
      return kNoCode;
  }
}

POINT PointOf(LPARAM lParam) { return POINT{LowWord(lParam), HighWord(lParam)}; }

bool ValidInfo(const SCROLLINFO* info) {
  return info != nullptr && info->cbSize == sizeof(SCROLLINFO);
}

// One scroll-bar control: its values and what the mouse is doing to it.
class ScrollBar {
 public:
  explicit ScrollBar(HWND window) : window_(window) {}

  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

 private:
  // The mouse button is down on a part; on the thumb, it drags it.
  struct Press {
    ScrollPart part = ScrollPart::kNone;
    POINT pointer;
    bool over = false;
    int32_t grab = 0;
    int32_t trackPosition = 0;
  };

  int32_t SetInfo(const SCROLLINFO& info, bool redraw);
  bool GetInfo(SCROLLINFO* info) const;
  void OnKeyDown(WPARAM vk);
  void OnKeyUp(WPARAM vk);
  void OnButtonDown(POINT point);
  void OnMouseMove(POINT point);
  void OnButtonUp();
  void OnRepeat();
  void OnCaptureChanged(HWND taker);
  void Paint();

  bool Vertical() const { return (GetWindowLongPtr(window_, GWL_STYLE) & SBS_VERT) != 0; }
  bool TakesInput() const { return IsWindowEnabled(window_) && !arrowsDisabled_; }
  bool Dragging() const { return press_.part == ScrollPart::kThumb; }
  ScrollLayout Layout() const;
  void EndPress();
  void Notify(int code, int32_t position) const;
  void Redraw() const { InvalidateRect(window_, nullptr, false); }

  const HWND window_;
  ScrollValues values_;
  bool arrowsDisabled_ = false;
  Press press_;
};

LRESULT ScrollBar::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case SBM_SETSCROLLINFO: {
      const auto* info = reinterpret_cast<const SCROLLINFO*>(lParam);
      return ValidInfo(info) ? SetInfo(*info, wParam != 0) : 0;
    }
    case SBM_GETSCROLLINFO:
      return GetInfo(reinterpret_cast<SCROLLINFO*>(lParam)) ? 1 : 0;
    case WM_KEYDOWN:
      OnKeyDown(wParam);
      return 0;
    case WM_KEYUP:
      OnKeyUp(wParam);
      return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      OnButtonDown(PointOf(lParam));
      return 0;
    case WM_MOUSEMOVE:
      OnMouseMove(PointOf(lParam));
      return 0;
    case WM_LBUTTONUP:
      OnButtonUp();
      return 0;
    case WM_TIMER:
      if (wParam == kRepeatTimer) OnRepeat();
      return 0;
    case WM_CAPTURECHANGED:
      OnCaptureChanged(static_cast<HWND>(lParam));
      return 0;
    case WM_SIZE:
    case WM_ENABLE:
      Redraw();
      return 0;
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

int32_t ScrollBar::SetInfo(const SCROLLINFO& info, bool redraw) {
  values_.Apply(info);
  if ((info.fMask & SIF_DISABLENOSCROLL) != 0) arrowsDisabled_ = !values_.CanScroll();
  press_.trackPosition = values_.Clamped(press_.trackPosition);
  if (redraw) Redraw();
  return values_.pos;
}

bool ScrollBar::GetInfo(SCROLLINFO* info) const {
  if (!ValidInfo(info) || (info->fMask & SIF_ALL) == 0) return false;
  if ((info->fMask & SIF_RANGE) != 0) {
    info->nMin = values_.min;
    info->nMax = values_.max;
  }
  if ((info->fMask & SIF_PAGE) != 0) info->nPage = values_.page;
  if ((info->fMask & SIF_POS) != 0) info->nPos = values_.pos;
  if ((info->fMask & SIF_TRACKPOS) != 0)
    info->nTrackPos = Dragging() ? press_.trackPosition : values_.pos;
  return true;
}

void ScrollBar::OnKeyDown(WPARAM vk) {
  const int code = CodeOfKey(vk);
  if (code != kNoCode && TakesInput()) Notify(code, 0);
}

void ScrollBar::OnKeyUp(WPARAM vk) {
  if (CodeOfKey(vk) != kNoCode && TakesInput()) Notify(SB_ENDSCROLL, 0);
}

void ScrollBar::OnButtonDown(POINT point) {
  if (!TakesInput() || press_.part != ScrollPart::kNone) return;
  if ((GetWindowLongPtr(window_, GWL_STYLE) & WS_TABSTOP) != 0) SetFocus(window_);
  const ScrollLayout layout = Layout();
  const ScrollPart part = layout.HitTest(point);
  if (part == ScrollPart::kNone) return;
  press_ = Press{part, point, true, layout.AlongOf(point) - layout.thumbStart(), values_.pos};
  SetCapture(window_);
  Redraw();
  if (Dragging()) return;
  SetTimer(window_, kRepeatTimer, kFirstRepeatDelayMs, nullptr);
  Notify(CodeOfPart(part), 0);
}

void ScrollBar::OnMouseMove(POINT point) {
  if (press_.part == ScrollPart::kNone) return;
  press_.pointer = point;
  const ScrollLayout layout = Layout();
  if (!Dragging()) {
    const bool over = layout.HitTest(point) == press_.part;
    if (over != press_.over) Redraw();
    press_.over = over;
    return;
  }
  const int32_t position = layout.PositionAt(layout.AlongOf(point) - press_.grab);
  if (position == press_.trackPosition) return;
  press_.trackPosition = position;
  Redraw();
  Notify(SB_THUMBTRACK, position);
}

void ScrollBar::OnButtonUp() {
  if (press_.part == ScrollPart::kNone) return;
  const bool dragged = Dragging();
  const int32_t position = press_.trackPosition;
  EndPress();
  ReleaseCapture();
  if (dragged) Notify(SB_THUMBPOSITION, position);
  Notify(SB_ENDSCROLL, 0);
}

void ScrollBar::OnRepeat() {
  if (press_.part == ScrollPart::kNone || Dragging()) return;
  SetTimer(window_, kRepeatTimer, kRepeatPeriodMs, nullptr);
  // A page area shrinks as the parent moves the thumb; the repeat stops
  // once the thumb reaches the pointer.
  const bool over = Layout().HitTest(press_.pointer) == press_.part;
  if (over != press_.over) Redraw();
  press_.over = over;
  if (over) Notify(CodeOfPart(press_.part), 0);
}

void ScrollBar::OnCaptureChanged(HWND taker) {
  if (taker == window_ || press_.part == ScrollPart::kNone) return;
  EndPress();
}

void ScrollBar::EndPress() {
  KillTimer(window_, kRepeatTimer);
  press_ = Press{};
  Redraw();
}

ScrollLayout ScrollBar::Layout() const {
  RECT client;
  GetClientRect(window_, &client);
  return ScrollLayout(client, Vertical(), values_, Dragging() ? press_.trackPosition : values_.pos);
}

void ScrollBar::Notify(int code, int32_t position) const {
  const UINT message = Vertical() ? WM_VSCROLL : WM_HSCROLL;
  SendMessage(GetParent(window_), message, static_cast<WPARAM>(MakeLParam(code, position)),
              static_cast<LPARAM>(window_));
}

void ScrollBar::Paint() {
  PAINTSTRUCT paint;
  const HDC dc = BeginPaint(window_, &paint);
  const ScrollLayout layout = Layout();
  const ScrollPart pressed = press_.over && !Dragging() ? press_.part : ScrollPart::kNone;
  ScrollBarPainter(dc, layout, ScrollLook{Vertical(), !TakesInput(), pressed}).Paint();
  EndPaint(window_, &paint);
}

ControlStates<ScrollBar>& Bars() {
  static ControlStates<ScrollBar> bars;
  return bars;
}

// Only SB_CTL is served: the other bars are a window's own, which windows
// here have not got.
bool IsControlBar(int bar) { return bar == SB_CTL; }

}  // namespace

LRESULT ScrollBarProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return Bars().Dispatch(window, message, wParam, lParam);
}

int32_t SetScrollInfo(HWND window, int bar, const SCROLLINFO* info, bool redraw) {
  if (!IsControlBar(bar) || !ValidInfo(info)) return 0;
  return static_cast<int32_t>(
      SendMessage(window, SBM_SETSCROLLINFO, redraw ? 1 : 0, reinterpret_cast<LPARAM>(info)));
}

bool GetScrollInfo(HWND window, int bar, SCROLLINFO* info) {
  if (!IsControlBar(bar) || !ValidInfo(info)) return false;
  return SendMessage(window, SBM_GETSCROLLINFO, 0, reinterpret_cast<LPARAM>(info)) != 0;
}

int32_t SetScrollPos(HWND window, int bar, int32_t pos, bool redraw) {
  SCROLLINFO info;
  info.fMask = SIF_POS;
  if (!GetScrollInfo(window, bar, &info)) return 0;
  const int32_t previous = info.nPos;
  info.nPos = pos;
  SetScrollInfo(window, bar, &info, redraw);
  return previous;
}

int32_t GetScrollPos(HWND window, int bar) {
  SCROLLINFO info;
  info.fMask = SIF_POS;
  return GetScrollInfo(window, bar, &info) ? info.nPos : 0;
}

bool SetScrollRange(HWND window, int bar, int32_t min, int32_t max, bool redraw) {
  SCROLLINFO info;
  info.fMask = SIF_RANGE;
  if (!GetScrollInfo(window, bar, &info)) return false;
  info.nMin = min;
  info.nMax = max;
  SetScrollInfo(window, bar, &info, redraw);
  return true;
}

bool GetScrollRange(HWND window, int bar, int32_t* min, int32_t* max) {
  SCROLLINFO info;
  info.fMask = SIF_RANGE;
  const bool found = GetScrollInfo(window, bar, &info);
  if (min != nullptr) *min = found ? info.nMin : 0;
  if (max != nullptr) *max = found ? info.nMax : 0;
  return found;
}

}  // namespace platform
