#include "platform/message_box.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/batch_run.h"
#include "platform/control_notify.h"
#include "platform/display_backend.h"
#include "platform/input.h"
#include "platform/message_box_layout.h"
#include "platform/message_box_paint.h"
#include "platform/message_loop.h"
#include "platform/paint.h"
#include "platform/sjis.h"
#include "platform/system_classes.h"
#include "platform/system_info.h"
#include "platform/ui_font.h"
#include "platform/window.h"
#include "platform/window_reading.h"

namespace platform {

namespace {

constexpr char kDefaultCaption[] = "\x83\x47\x83\x89\x81\x5b";  // エラー
constexpr int32_t kMessageFontPoints = 9;
constexpr int kNoButton = -1;

POINT PointOf(LPARAM lParam) { return POINT{LowWord(lParam), HighWord(lParam)}; }

bool ShiftDown() { return GetKeyState(VK_SHIFT) < 0; }

// One shown box: its buttons, which one is current, and the answer once
// one is chosen.
class MessageBoxWindow {
 public:
  MessageBoxWindow(std::string_view text, UINT type)
      : text_(text),
        type_(type),
        buttons_(ButtonsOf(type)),
        font_(CreateUiFont(kMessageFontPoints)) {
    current_ = DefaultButtonOf(type, buttons_.size());
    // A DC of its own, so that no shared DC is left holding the box's font.
    const UniqueDC measuring = CreateCompatibleDC(nullptr);
    SelectObject(measuring.get(), font_.get());
    layout_ = LayOutMessageBox(measuring.get(), text, buttons_, HasIconMark(type));
  }

  SIZE size() const { return layout_.client; }
  int answer() const { return answer_; }
  MessageBoxReading Reading() const {
    return MessageBoxReading{text_, ShownButtonText(buttons_[current_].text)};
  }

  LRESULT Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
      case WM_PAINT:
        Paint(window);
        return 0;
      case WM_ERASEBKGND:
        // The paint covers every pixel.
        return 1;
      case WM_KEYDOWN:
        OnKey(window, wParam);
        return 0;
      case WM_COMMAND:
        Answer(static_cast<int>(CommandIdOf(wParam)));
        return 0;
      case WM_CLOSE:
        Answer(IDCANCEL);
        return 0;
      case WM_LBUTTONDOWN:
        OnButtonDown(window, PointOf(lParam));
        return 0;
      case WM_LBUTTONUP:
        OnButtonUp(PointOf(lParam));
        return 0;
      default:
        return DefWindowProc(window, message, wParam, lParam);
    }
  }

 private:
  void Paint(HWND window) const {
    PAINTSTRUCT paint;
    const HDC dc = BeginPaint(window, &paint);
    if (dc == nullptr) return;
    SelectObject(dc, font_.get());
    MessageBoxPainter(dc, layout_, buttons_, type_, current_).Paint();
    EndPaint(window, &paint);
  }

  // A button's id, or IDCANCEL for the set's escape answer.
  void Answer(int id) {
    if (!TakesAnswer(type_, id)) return;
    const int escape = EscapeAnswerOf(type_);
    answer_ = id == IDCANCEL && escape != 0 ? escape : id;
  }

  void OnKey(HWND window, WPARAM vk) {
    switch (vk) {
      case VK_TAB:
        MoveCurrent(window, ShiftDown() ? -1 : 1);
        return;
      case VK_RIGHT:
      case VK_DOWN:
        MoveCurrent(window, 1);
        return;
      case VK_LEFT:
      case VK_UP:
        MoveCurrent(window, -1);
        return;
      case VK_RETURN:
      case VK_SPACE:
        answer_ = buttons_[current_].id;
        return;
      case VK_ESCAPE:
        Answer(IDCANCEL);
        return;
      default:
        ChooseByMnemonic(vk);
    }
  }

  void ChooseByMnemonic(WPARAM vk) {
    for (const MessageBoxButton& button : buttons_) {
      size_t mnemonic = std::string::npos;
      const std::string shown = ShownButtonText(button.text, &mnemonic);
      if (mnemonic == std::string::npos) continue;
      const auto key = static_cast<unsigned char>(shown[mnemonic]);
      if (static_cast<WPARAM>(std::toupper(key)) == vk) answer_ = button.id;
    }
  }

  void MoveCurrent(HWND window, int step) {
    const auto count = static_cast<int>(buttons_.size());
    const int next = (static_cast<int>(current_) + step + count) % count;
    SetCurrent(window, static_cast<size_t>(next));
  }

  void SetCurrent(HWND window, size_t index) {
    if (index == current_) return;
    current_ = index;
    InvalidateRect(window, nullptr, false);
    ReportValueChanged(window);
  }

  int ButtonAt(POINT point) const {
    for (size_t index = 0; index < layout_.buttons.size(); ++index) {
      if (PtInRect(layout_.buttons[index], point)) return static_cast<int>(index);
    }
    return kNoButton;
  }

  void OnButtonDown(HWND window, POINT point) {
    pressed_ = ButtonAt(point);
    if (pressed_ == kNoButton) return;
    SetCapture(window);
    SetCurrent(window, static_cast<size_t>(pressed_));
  }

  void OnButtonUp(POINT point) {
    if (pressed_ == kNoButton) return;
    ReleaseCapture();
    if (ButtonAt(point) == pressed_) answer_ = buttons_[static_cast<size_t>(pressed_)].id;
    pressed_ = kNoButton;
  }

  std::string text_;
  UINT type_;
  std::vector<MessageBoxButton> buttons_;
  UniqueFont font_;
  MessageBoxLayout layout_;
  size_t current_ = 0;
  int pressed_ = kNoButton;
  int answer_ = 0;
};

MessageBoxWindow* StateOf(HWND window) {
  return reinterpret_cast<MessageBoxWindow*>(GetWindowLongPtr(window, GWLP_USERDATA));
}

}  // namespace

std::optional<MessageBoxReading> MessageBoxReadingOf(HWND box) {
  std::string className;
  if (!GetClassName(box, &className) || className != kMessageBoxClass) return std::nullopt;
  const MessageBoxWindow* state = StateOf(box);
  if (state == nullptr) return std::nullopt;
  return state->Reading();
}

namespace {

// Over the owner's middle, or the screen's without one, kept on the screen.
POINT PlaceOf(SIZE size, HWND owner) {
  RECT area{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  if (owner != kNoWindow) GetWindowRect(owner, &area);
  const int32_t x = (area.left + area.right - size.cx) / 2;
  const int32_t y = (area.top + area.bottom - size.cy) / 2;
  return POINT{std::clamp(x, 0, std::max(0, GetSystemMetrics(SM_CXSCREEN) - size.cx)),
               std::clamp(y, 0, std::max(0, GetSystemMetrics(SM_CYSCREEN) - size.cy))};
}

std::string ForStandardError(const char* text) {
  return SjisToUtf8(text).value_or(std::string(text));
}

// Gives the activation back to the window that had it and the focus to
// the control in it that had that.
void Reactivate(HWND window, HWND focus) {
  if (!IsWindow(window) || !IsWindowVisible(window)) return;
  SetActiveWindow(window);
  if (IsWindow(focus) && GetAncestor(focus, GA_ROOT) == window) SetFocus(focus);
}

// A batch run, or a headless process with no script to act for a user:
// a box shown then could never be answered.
bool NoOneToAnswer() {
  return IsBatchRun() || (CurrentDisplay().EventDescriptor() < 0 && !HasIdleHook());
}

}  // namespace

LRESULT MessageBoxProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    SetWindowLongPtr(window, GWLP_USERDATA,
                     reinterpret_cast<LONG_PTR>(CreateParamsOf(lParam)->lpCreateParams));
  }
  MessageBoxWindow* state = StateOf(window);
  if (state == nullptr) return DefWindowProc(window, message, wParam, lParam);
  return state->Handle(window, message, wParam, lParam);
}

int MessageBox(HWND owner, const char* text, const char* caption, UINT type) {
  const std::vector<MessageBoxButton> buttons = ButtonsOf(type);
  if (buttons.empty()) return 0;
  const char* shownText = text != nullptr ? text : "";
  const char* shownCaption = caption != nullptr ? caption : kDefaultCaption;
  if (NoOneToAnswer()) {
    std::fprintf(stderr, "%s: %s\n", ForStandardError(shownCaption).c_str(),
                 ForStandardError(shownText).c_str());
    return buttons[DefaultButtonOf(type, buttons.size())].id;
  }

  const HWND top = IsWindow(owner) ? GetAncestor(owner, GA_ROOT) : kNoWindow;
  const HWND previousActive = GetActiveWindow();
  const HWND previousFocus = GetFocus();
  MessageBoxWindow state(shownText, type);
  const SIZE size = state.size();
  const POINT place = PlaceOf(size, top);
  const HWND box = CreateWindowEx(0, kMessageBoxClass, shownCaption, WS_POPUP, place.x, place.y,
                                  size.cx, size.cy, top, 0, &state);
  if (box == kNoWindow) return 0;
  // EnableWindow answers whether the owner was disabled already; then it stays so.
  const bool disabledOwner = top != kNoWindow && !EnableWindow(top, false);
  MessageBeep(type & MB_ICONMASK);
  ShowWindow(box, SW_SHOW);

  LoopExit exit;
  exit.done = [&state, box] { return state.answer() != 0 || !IsWindow(box); };
  RunNestedLoop(exit);
  const int answer = state.answer();

  // The owner is enabled before the box goes, so that it can take the activation back.
  if (disabledOwner && IsWindow(top)) EnableWindow(top, true);
  if (IsWindow(box)) DestroyWindow(box);
  Reactivate(top != kNoWindow ? top : previousActive, previousFocus);
  return answer;
}

}  // namespace platform
