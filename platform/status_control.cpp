#include "platform/status_control.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "platform/control_notify.h"
#include "platform/control_state.h"
#include "platform/paint.h"
#include "platform/system_classes.h"
#include "platform/system_info.h"
#include "platform/ui_font.h"
#include "platform/window.h"

namespace platform {

namespace {

constexpr int32_t kFontPoints = 9;
// Around the parts, and between a part's edge and its text.
constexpr int32_t kBorder = 2;
constexpr int32_t kTextMargin = 3;
constexpr int32_t kToRightEnd = -1;
constexpr WPARAM kIndexMask = 0xFF;

struct Part {
  int32_t right = kToRightEnd;
  std::string text;
};

class StatusBar {
 public:
  explicit StatusBar(HWND window) : window_(window), parts_(1) {}

  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

 private:
  std::string* TextAt(WPARAM wParam);
  LRESULT SetText(WPARAM wParam, const char* text);
  LRESULT GetText(WPARAM wParam, char* buffer);
  LRESULT SetParts(WPARAM count, const int32_t* rights);
  LRESULT GetParts(WPARAM count, int32_t* rights) const;
  void PlaceAtParentsBottom();
  int32_t Height();
  void Paint();
  void PaintPart(HDC dc, const RECT& rect, const std::string& text) const;
  HFONT Font();

  const HWND window_;
  std::vector<Part> parts_;
  std::string simpleText_;
  bool simple_ = false;
  bool placing_ = false;
  HFONT given_ = nullptr;
  UniqueFont fallback_;
};

LRESULT StatusBar::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      PlaceAtParentsBottom();
      return 0;
    case SB_SETTEXT:
      return SetText(wParam, reinterpret_cast<const char*>(lParam));
    case SB_GETTEXT:
      return GetText(wParam, reinterpret_cast<char*>(lParam));
    case SB_GETTEXTLENGTH:
      return GetText(wParam, nullptr);
    case SB_SETPARTS:
      return SetParts(wParam, reinterpret_cast<const int32_t*>(lParam));
    case SB_GETPARTS:
      return GetParts(wParam, reinterpret_cast<int32_t*>(lParam));
    case SB_SIMPLE:
      simple_ = wParam != 0;
      InvalidateRect(window_, nullptr, true);
      return 0;
    case WM_SIZE:
      // The parent hands its own WM_SIZE on; the bar answers by placing
      // itself again. Its own move below comes back here as well.
      if (!placing_) PlaceAtParentsBottom();
      return 0;
    case WM_SETFONT:
      given_ = reinterpret_cast<HFONT>(wParam);
      PlaceAtParentsBottom();
      if (LowWord(lParam) != 0) InvalidateRect(window_, nullptr, true);
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(given_);
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      Paint();
      return 0;
    default:
      return DefWindowProc(window_, message, wParam, lParam);
  }
}

std::string* StatusBar::TextAt(WPARAM wParam) {
  const WPARAM index = wParam & kIndexMask;
  if (index == SB_SIMPLEID) return &simpleText_;
  return index < parts_.size() ? &parts_[index].text : nullptr;
}

LRESULT StatusBar::SetText(WPARAM wParam, const char* text) {
  std::string* kept = TextAt(wParam);
  if (kept == nullptr) return 0;
  *kept = text == nullptr ? "" : text;
  InvalidateRect(window_, nullptr, true);
  return 1;
}

LRESULT StatusBar::GetText(WPARAM wParam, char* buffer) {
  const std::string* kept = TextAt(wParam);
  if (kept == nullptr) return 0;
  if (buffer != nullptr) std::memcpy(buffer, kept->c_str(), kept->size() + 1);
  return static_cast<LRESULT>(kept->size() & 0xFFFF);
}

LRESULT StatusBar::SetParts(WPARAM count, const int32_t* rights) {
  if (count == 0 || count > kMaxStatusParts || rights == nullptr) return 0;
  parts_.resize(count);
  for (size_t i = 0; i < count; ++i) parts_[i].right = rights[i];
  InvalidateRect(window_, nullptr, true);
  return 1;
}

LRESULT StatusBar::GetParts(WPARAM count, int32_t* rights) const {
  if (rights != nullptr) {
    const size_t given = std::min<size_t>(count, parts_.size());
    for (size_t i = 0; i < given; ++i) rights[i] = parts_[i].right;
  }
  return static_cast<LRESULT>(parts_.size());
}

void StatusBar::PlaceAtParentsBottom() {
  const HWND parent = GetParent(window_);
  RECT client;
  if (parent == kNoWindow || !GetClientRect(parent, &client)) return;
  const int32_t height = Height();
  placing_ = true;
  SetWindowPos(window_, HWND_TOP, 0, client.bottom - height, client.Width(), height,
               SWP_NOZORDER | SWP_NOACTIVATE);
  placing_ = false;
}

int32_t StatusBar::Height() {
  const UniqueDC measure = CreateCompatibleDC(nullptr);
  SelectObject(measure.get(), Font());
  TEXTMETRICA metrics;
  if (!GetTextMetricsA(measure.get(), &metrics)) metrics.tmHeight = 0;
  return metrics.tmHeight + 2 * (kBorder + 1);
}

HFONT StatusBar::Font() {
  if (given_ != nullptr) return given_;
  if (fallback_ == nullptr) fallback_ = CreateUiFont(kFontPoints);
  return fallback_.get();
}

void StatusBar::Paint() {
  PAINTSTRUCT paint;
  const HDC dc = BeginPaint(window_, &paint);
  RECT client;
  GetClientRect(window_, &client);
  FillRect(dc, client, GetSysColorBrush(COLOR_BTNFACE));
  SelectObject(dc, Font());
  SetBkMode(dc, TRANSPARENT);
  SetTextAlign(dc, TA_TOP);
  SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
  const int32_t top = client.top + kBorder;
  const int32_t bottom = client.bottom - kBorder;
  if (simple_) {
    PaintPart(dc, RECT{client.left + kBorder, top, client.right - kBorder, bottom}, simpleText_);
  } else {
    int32_t left = client.left + kBorder;
    for (const Part& part : parts_) {
      const int32_t right = part.right == kToRightEnd ? client.right - kBorder : part.right;
      if (right > left) PaintPart(dc, RECT{left, top, right, bottom}, part.text);
      left = std::max(left, right + kBorder);
    }
  }
  EndPaint(window_, &paint);
}

// Sunken: shadow along the top and left, highlight along the bottom and right.
void StatusBar::PaintPart(HDC dc, const RECT& rect, const std::string& text) const {
  FillRect(dc, RECT{rect.left, rect.top, rect.right, rect.top + 1},
           GetSysColorBrush(COLOR_BTNSHADOW));
  FillRect(dc, RECT{rect.left, rect.top, rect.left + 1, rect.bottom},
           GetSysColorBrush(COLOR_BTNSHADOW));
  FillRect(dc, RECT{rect.left, rect.bottom - 1, rect.right, rect.bottom},
           GetSysColorBrush(COLOR_BTNHIGHLIGHT));
  FillRect(dc, RECT{rect.right - 1, rect.top, rect.right, rect.bottom},
           GetSysColorBrush(COLOR_BTNHIGHLIGHT));
  const RECT inner{rect.left + kTextMargin, rect.top + 1, rect.right - kTextMargin,
                   rect.bottom - 1};
  if (!inner.IsEmpty()) DrawTextA(dc, text.c_str(), -1, &inner, DT_LEFT);
}

ControlStates<StatusBar>& StatusBars() {
  static ControlStates<StatusBar> bars;
  return bars;
}

}  // namespace

LRESULT StatusBarProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return StatusBars().Dispatch(window, message, wParam, lParam);
}

}  // namespace platform
