#include "platform/up_down.h"

#include <algorithm>
#include <charconv>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>

#include "platform/control_state.h"
#include "platform/input.h"
#include "platform/paint.h"
#include "platform/scroll_bar.h"
#include "platform/system_classes.h"
#include "platform/system_info.h"
#include "platform/window.h"

namespace platform {

namespace {

// A new control's range: its up arrow counts down, as on Windows.
constexpr int32_t kDefaultLower = 100;
constexpr int32_t kDefaultUpper = 0;
constexpr LRESULT kPositionError = 1;

enum class Arrow { kNone, kUp, kDown };

int32_t Clamp(int32_t value) { return std::clamp(value, kUpDownMinValue, kUpDownMaxValue); }

LRESULT TwoWords(int32_t low, int32_t high) {
  return static_cast<LRESULT>(static_cast<uint32_t>((low & 0xFFFF) | ((high & 0xFFFF) << 16)));
}

// A decimal number with an optional sign and nothing else.
std::optional<int32_t> NumberOf(const std::string& text) {
  int32_t value = 0;
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value);
  if (text.empty() || error != std::errc() || stop != end) return std::nullopt;
  return value;
}

LRESULT BuddyProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The buddies whose arrow keys a control takes, each with the procedure
// it had before. A buddy stays here until it is gone: another procedure
// may have been put in front since, so ours cannot always be taken out.
class ArrowKeyBuddies {
 public:
  struct Entry {
    HWND upDown = kNoWindow;
    WNDPROC previous = nullptr;
  };

  void Take(HWND buddy, HWND upDown) {
    std::lock_guard lock(mutex_);
    const auto it = entries_.find(buddy);
    if (it != entries_.end()) {
      it->second.upDown = upDown;
      return;
    }
    const auto previous = reinterpret_cast<WNDPROC>(
        SetWindowLongPtr(buddy, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&BuddyProc)));
    entries_[buddy] = Entry{upDown, previous};
  }
  void Release(HWND buddy, HWND upDown) {
    std::lock_guard lock(mutex_);
    const auto it = entries_.find(buddy);
    if (it != entries_.end() && it->second.upDown == upDown) it->second.upDown = kNoWindow;
  }
  std::optional<Entry> Find(HWND buddy) {
    std::lock_guard lock(mutex_);
    const auto it = entries_.find(buddy);
    if (it == entries_.end()) return std::nullopt;
    return it->second;
  }
  void Forget(HWND buddy) {
    std::lock_guard lock(mutex_);
    entries_.erase(buddy);
  }

 private:
  std::mutex mutex_;
  std::unordered_map<HWND, Entry> entries_;
};

ArrowKeyBuddies& Buddies() {
  static ArrowKeyBuddies buddies;
  return buddies;
}

class UpDown {
 public:
  explicit UpDown(HWND window) : window_(window) {}

  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
  // A key the buddy had: true when it was the control's.
  bool OnBuddyKey(UINT message, WPARAM vk);

 private:
  DWORD Style() const { return static_cast<DWORD>(GetWindowLongPtr(window_, GWL_STYLE)); }
  bool Has(DWORD style) const { return (Style() & style) != 0; }
  int32_t Low() const { return std::min(lower_, upper_); }
  int32_t High() const { return std::max(lower_, upper_); }
  int32_t InRange(int32_t value) const { return std::clamp(value, Low(), High()); }
  // The buddy while it lives: a dialog may destroy it before the control.
  HWND LiveBuddy() const { return IsWindow(buddy_) ? buddy_ : kNoWindow; }

  void TakeAutoBuddy();
  HWND SetBuddy(HWND buddy);
  void AlignWithBuddy() const;
  std::optional<int32_t> BuddyNumber() const;
  LRESULT GetPos();
  LRESULT SetPos(int32_t position);
  void WriteBuddy() const;
  void Step(Arrow arrow);
  void EndScroll() const;
  bool OnKey(UINT message, WPARAM vk);
  void OnButtonDown(POINT point);
  void OnButtonUp();
  void Paint() const;
  void PaintArrow(HDC dc, const RECT& rect, Arrow arrow) const;

  const HWND window_;
  int32_t lower_ = kDefaultLower;
  int32_t upper_ = kDefaultUpper;
  int32_t position_ = 0;
  HWND buddy_ = kNoWindow;
  Arrow pressed_ = Arrow::kNone;
};

ControlStates<UpDown>& UpDowns() {
  static ControlStates<UpDown> controls;
  return controls;
}

LRESULT UpDown::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      TakeAutoBuddy();
      return 0;
    case WM_WINDOWPOSCHANGED:
      if ((WindowPosOf(lParam)->flags & SWP_NOZORDER) == 0) TakeAutoBuddy();
      return DefWindowProc(window_, message, wParam, lParam);
    case UDM_SETRANGE:
      upper_ = Clamp(LowWord(lParam));
      lower_ = Clamp(HighWord(lParam));
      position_ = InRange(position_);
      return 0;
    case UDM_GETRANGE:
      return TwoWords(upper_, lower_);
    case UDM_SETPOS:
      return SetPos(LowWord(lParam));
    case UDM_GETPOS:
      return GetPos();
    case UDM_SETBUDDY:
      return static_cast<LRESULT>(SetBuddy(static_cast<HWND>(wParam)));
    case UDM_GETBUDDY:
      return static_cast<LRESULT>(buddy_);
    case WM_KEYDOWN:
    case WM_KEYUP:
      if (OnKey(message, wParam)) return 0;
      return DefWindowProc(window_, message, wParam, lParam);
    case WM_LBUTTONDOWN:
      OnButtonDown(POINT{LowWord(lParam), HighWord(lParam)});
      return 0;
    case WM_LBUTTONUP:
      OnButtonUp();
      return 0;
    case WM_CAPTURECHANGED:
      if (static_cast<HWND>(lParam) != window_ && pressed_ != Arrow::kNone) {
        pressed_ = Arrow::kNone;
        InvalidateRect(window_, nullptr, false);
      }
      return 0;
    case WM_DESTROY:
      SetBuddy(kNoWindow);
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      Paint();
      return 0;
    default:
      return DefWindowProc(window_, message, wParam, lParam);
  }
}

void UpDown::TakeAutoBuddy() {
  if (!Has(UDS_AUTOBUDDY) || buddy_ != kNoWindow) return;
  const HWND above = GetWindow(window_, GW_HWNDPREV);
  if (above != kNoWindow) SetBuddy(above);
}

HWND UpDown::SetBuddy(HWND buddy) {
  const HWND previous = buddy_;
  if (previous != kNoWindow) Buddies().Release(previous, window_);
  buddy_ = IsWindow(buddy) ? buddy : kNoWindow;
  if (buddy_ == kNoWindow) return previous;
  if (Has(UDS_ARROWKEYS)) Buddies().Take(buddy_, window_);
  if (Has(UDS_ALIGNRIGHT)) AlignWithBuddy();
  return previous;
}

void UpDown::AlignWithBuddy() const {
  RECT buddy;
  RECT own;
  GetWindowRect(buddy_, &buddy);
  GetWindowRect(window_, &own);
  const HWND parent = GetParent(window_);
  MapWindowPoints(kNoWindow, parent, reinterpret_cast<POINT*>(&buddy), 2);
  const int32_t width = own.Width();
  const int32_t buddyWidth = std::max(0, buddy.Width() - width);
  SetWindowPos(buddy_, HWND_TOP, buddy.left, buddy.top, buddyWidth, buddy.Height(),
               SWP_NOZORDER | SWP_NOACTIVATE);
  SetWindowPos(window_, HWND_TOP, buddy.left + buddyWidth, buddy.top, width, buddy.Height(),
               SWP_NOZORDER | SWP_NOACTIVATE);
}

std::optional<int32_t> UpDown::BuddyNumber() const {
  if (LiveBuddy() == kNoWindow || !Has(UDS_SETBUDDYINT)) return std::nullopt;
  const std::optional<int32_t> number = NumberOf(GetWindowText(buddy_));
  if (!number || *number < Low() || *number > High()) return std::nullopt;
  return number;
}

LRESULT UpDown::GetPos() {
  if (LiveBuddy() != kNoWindow && Has(UDS_SETBUDDYINT)) {
    const std::optional<int32_t> number = BuddyNumber();
    if (!number) return TwoWords(position_, kPositionError);
    position_ = *number;
  }
  return TwoWords(position_, 0);
}

LRESULT UpDown::SetPos(int32_t position) {
  const int32_t previous = position_;
  position_ = InRange(position);
  WriteBuddy();
  return previous;
}

void UpDown::WriteBuddy() const {
  if (LiveBuddy() != kNoWindow && Has(UDS_SETBUDDYINT))
    SetWindowText(buddy_, std::to_string(position_).c_str());
}

void UpDown::Step(Arrow arrow) {
  const int32_t from = BuddyNumber().value_or(position_);
  const int32_t towardsUpper = upper_ < lower_ ? -1 : 1;
  const int32_t delta = arrow == Arrow::kUp ? towardsUpper : -towardsUpper;
  NMUPDOWN change;
  change.hdr = NMHDR{window_, static_cast<UINT_PTR>(GetDlgCtrlID(window_)), UDN_DELTAPOS};
  change.iPos = from;
  change.iDelta = delta;
  const HWND parent = GetParent(window_);
  if (SendMessage(parent, WM_NOTIFY, change.hdr.idFrom, reinterpret_cast<LPARAM>(&change)) != 0)
    return;
  position_ = InRange(from + delta);
  WriteBuddy();
  SendMessage(parent, WM_VSCROLL, static_cast<WPARAM>(TwoWords(SB_THUMBPOSITION, position_)),
              static_cast<LPARAM>(window_));
}

void UpDown::EndScroll() const {
  SendMessage(GetParent(window_), WM_VSCROLL, static_cast<WPARAM>(TwoWords(SB_ENDSCROLL, 0)),
              static_cast<LPARAM>(window_));
}

bool UpDown::OnKey(UINT message, WPARAM vk) {
  if (!Has(UDS_ARROWKEYS) || (vk != VK_UP && vk != VK_DOWN)) return false;
  if (message == WM_KEYDOWN)
    Step(vk == VK_UP ? Arrow::kUp : Arrow::kDown);
  else
    EndScroll();
  return true;
}

bool UpDown::OnBuddyKey(UINT message, WPARAM vk) {
  return (message == WM_KEYDOWN || message == WM_KEYUP) && OnKey(message, vk);
}

void UpDown::OnButtonDown(POINT point) {
  if (!IsWindowEnabled(window_) || pressed_ != Arrow::kNone) return;
  RECT client;
  GetClientRect(window_, &client);
  pressed_ = point.y < client.Height() / 2 ? Arrow::kUp : Arrow::kDown;
  SetCapture(window_);
  InvalidateRect(window_, nullptr, false);
  Step(pressed_);
}

void UpDown::OnButtonUp() {
  if (pressed_ == Arrow::kNone) return;
  pressed_ = Arrow::kNone;
  InvalidateRect(window_, nullptr, false);
  ReleaseCapture();
  EndScroll();
}

void UpDown::Paint() const {
  PAINTSTRUCT paint;
  const HDC dc = BeginPaint(window_, &paint);
  RECT client;
  GetClientRect(window_, &client);
  const int32_t middle = client.top + client.Height() / 2;
  PaintArrow(dc, RECT{client.left, client.top, client.right, middle}, Arrow::kUp);
  PaintArrow(dc, RECT{client.left, middle, client.right, client.bottom}, Arrow::kDown);
  EndPaint(window_, &paint);
}

void FillSys(HDC dc, const RECT& rect, int colour) {
  if (!rect.IsEmpty()) FillRect(dc, rect, GetSysColorBrush(colour));
}

// A raised button (sunken while held) with a triangle pointing its way.
void UpDown::PaintArrow(HDC dc, const RECT& rect, Arrow arrow) const {
  const bool held = pressed_ == arrow;
  FillSys(dc, rect, COLOR_BTNFACE);
  const int light = held ? COLOR_BTNSHADOW : COLOR_BTNHIGHLIGHT;
  const int dark = held ? COLOR_BTNHIGHLIGHT : COLOR_BTNSHADOW;
  FillSys(dc, RECT{rect.left, rect.top, rect.right, rect.top + 1}, light);
  FillSys(dc, RECT{rect.left, rect.top, rect.left + 1, rect.bottom}, light);
  FillSys(dc, RECT{rect.left, rect.bottom - 1, rect.right, rect.bottom}, dark);
  FillSys(dc, RECT{rect.right - 1, rect.top, rect.right, rect.bottom}, dark);
  const int glyph = IsWindowEnabled(window_) ? COLOR_BTNTEXT : COLOR_GRAYTEXT;
  const int32_t rows = std::max(1, std::min(rect.Width(), rect.Height()) / 3);
  const int32_t centreX = rect.left + rect.Width() / 2;
  const int32_t top = rect.top + (rect.Height() - rows) / 2;
  for (int32_t row = 0; row < rows; ++row) {
    const int32_t y = top + (arrow == Arrow::kUp ? row : rows - 1 - row);
    FillSys(dc, RECT{centreX - row, y, centreX + row + 1, y + 1}, glyph);
  }
}

LRESULT BuddyProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  const std::optional<ArrowKeyBuddies::Entry> entry = Buddies().Find(window);
  if (!entry) return DefWindowProc(window, message, wParam, lParam);
  if (const std::shared_ptr<UpDown> upDown = UpDowns().Find(entry->upDown);
      upDown != nullptr && upDown->OnBuddyKey(message, wParam))
    return 0;
  if (message == WM_NCDESTROY) Buddies().Forget(window);
  return CallWindowProc(entry->previous, window, message, wParam, lParam);
}

}  // namespace

LRESULT UpDownProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return UpDowns().Dispatch(window, message, wParam, lParam);
}

}  // namespace platform
