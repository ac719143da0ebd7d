#include "platform/input.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/input_queue.h"
#include "platform/keyboard_layout.h"
#include "platform/message_queue.h"
#include "platform/sjis.h"
#include "platform/system_info.h"
#include "platform/window.h"
#include "platform/window_tree.h"

namespace platform {

namespace {

constexpr BYTE kKeyDown = 0x80;
constexpr BYTE kKeyToggled = 0x01;
constexpr UINT kDoubleClickMs = 500;

struct InputEvent {
  bool isKey = true;
  BYTE vk = 0;
  BYTE scan = 0;
  bool up = false;
  bool extended = false;
  uint16_t unit = 0;
  UINT mouseMessage = WM_NULL;
  POINT point;
  int32_t wheel = 0;
  uint32_t time = 0;
  uint64_t sequence = 0;
};

class SystemInput {
 public:
  std::mutex& mutex() { return mutex_; }
  KeyboardState& async() { return async_; }
  POINT& cursor() { return cursor_; }
  std::atomic<KeyboardLayout> layout{KeyboardLayout::kJp106};

  void Add(InputEvent event) {
    {
      std::lock_guard lock(mutex_);
      event.sequence = nextSequence_++;
      events_.push_back(event);
    }
    WakeAllQueues();
  }
  std::vector<InputEvent> Snapshot() {
    std::lock_guard lock(mutex_);
    return std::vector<InputEvent>(events_.begin(), events_.end());
  }
  // Answers whether any of them was still waiting.
  bool Remove(const std::vector<uint64_t>& sequences) {
    std::lock_guard lock(mutex_);
    const auto taken = [&](const InputEvent& e) {
      return std::find(sequences.begin(), sequences.end(), e.sequence) != sequences.end();
    };
    return std::erase_if(events_, taken) != 0;
  }
  void Clear() {
    std::lock_guard lock(mutex_);
    events_.clear();
    async_.fill(0);
    cursor_ = POINT{};
    layout = KeyboardLayout::kJp106;
  }

 private:
  std::mutex mutex_;
  uint64_t nextSequence_ = 0;
  std::deque<InputEvent> events_;
  KeyboardState async_{};
  POINT cursor_;
};

SystemInput& Input() {
  static SystemInput input;
  return input;
}

struct Hook {
  HHOOK handle;
  HOOKPROC proc;
};

struct LastClick {
  HWND window = kNoWindow;
  UINT message = WM_NULL;
  POINT point;
  uint32_t time = 0;
  bool valid = false;
};

struct ThreadInput {
  KeyboardState keys{};
  uint16_t packetUnit = 0;
  std::vector<Hook> hooks;
  LastClick lastClick;
};

ThreadInput& Thread() {
  thread_local ThreadInput state;
  return state;
}

bool IsDown(const KeyboardState& keys, BYTE vk) { return (keys[vk] & kKeyDown) != 0; }

void Press(KeyboardState& keys, BYTE vk, bool up) {
  if (up) {
    keys[vk] = static_cast<BYTE>(keys[vk] & ~kKeyDown);
    return;
  }
  if (!IsDown(keys, vk)) keys[vk] ^= kKeyToggled;
  keys[vk] |= kKeyDown;
}

bool OwnedHere(HWND window) {
  if (window == kNoWindow) return true;
  const std::optional<WindowTarget> target = TargetOf(window);
  return target && target->queue == CurrentQueue();
}

bool Passes(const MSG& msg, HWND window, UINT first, UINT last) {
  if (window == kThreadMessagesOnly ? msg.hwnd != kNoWindow
                                    : window != kNoWindow && msg.hwnd != window) {
    return false;
  }
  return (first == 0 && last == 0) || (msg.message >= first && msg.message <= last);
}

MSG KeyMessage(const InputEvent& event, const KeyboardState& keys) {
  HWND target = GetFocus();
  if (target == kNoWindow) target = GetActiveWindow();
  const bool alt = IsDown(keys, VK_MENU) || (event.vk == VK_MENU && !event.up);
  const bool system = (alt && !IsDown(keys, VK_CONTROL)) || event.vk == VK_F10;
  UINT message = event.up ? WM_KEYUP : WM_KEYDOWN;
  if (system) message = event.up ? WM_SYSKEYUP : WM_SYSKEYDOWN;
  LPARAM lParam = kKeyRepeatOne | (LPARAM{event.scan} << kKeyScanShift);
  if (event.extended) lParam |= kKeyExtended;
  if (alt) lParam |= kKeyAltDown;
  if (IsDown(keys, event.vk)) lParam |= kKeyWasDown;
  if (event.up) lParam |= kKeyReleased;
  return MSG{target, message, event.vk, lParam};
}

WPARAM MouseKeys(const KeyboardState& keys) {
  WPARAM flags = 0;
  if (IsDown(keys, VK_LBUTTON)) flags |= MK_LBUTTON;
  if (IsDown(keys, VK_RBUTTON)) flags |= MK_RBUTTON;
  if (IsDown(keys, VK_SHIFT)) flags |= MK_SHIFT;
  if (IsDown(keys, VK_CONTROL)) flags |= MK_CONTROL;
  return flags;
}

BYTE ButtonOf(UINT message) {
  if (message == WM_LBUTTONDOWN || message == WM_LBUTTONUP) return VK_LBUTTON;
  if (message == WM_RBUTTONDOWN || message == WM_RBUTTONUP) return VK_RBUTTON;
  return 0;
}

bool IsButtonDown(UINT message) { return message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN; }

bool IsDoubleClick(HWND window, const InputEvent& event) {
  const LastClick& last = Thread().lastClick;
  if (!last.valid || last.window != window || last.message != event.mouseMessage) return false;
  if (event.time - last.time > kDoubleClickMs) return false;
  // The second click lands in a box of the system's size centred on the first.
  if (std::abs(event.point.x - last.point.x) > GetSystemMetrics(SM_CXDOUBLECLK) / 2) return false;
  if (std::abs(event.point.y - last.point.y) > GetSystemMetrics(SM_CYDOUBLECLK) / 2) return false;
  std::lock_guard lock(Tree().mutex());
  const WindowRecord* record = Tree().Find(window);
  return record != nullptr && (record->classStyle & CS_DBLCLKS) != 0;
}

// No window under the mouse and no capture: the event goes to nobody.
std::optional<MSG> MouseMessage(const InputEvent& event, const KeyboardState& keys) {
  const HWND window = GetCapture() != kNoWindow ? GetCapture() : WindowFromPoint(event.point);
  if (window == kNoWindow) return std::nullopt;
  KeyboardState after = keys;
  if (const BYTE button = ButtonOf(event.mouseMessage)) {
    Press(after, button, !IsButtonDown(event.mouseMessage));
  }
  if (event.mouseMessage == WM_MOUSEWHEEL) {
    const HWND focus = GetFocus() != kNoWindow ? GetFocus() : window;
    const WPARAM wParam = MouseKeys(after) | (static_cast<WPARAM>(event.wheel & 0xFFFF) << 16);
    return MSG{focus, WM_MOUSEWHEEL, wParam, MakeLParam(event.point.x, event.point.y)};
  }
  POINT client = event.point;
  ScreenToClient(window, &client);
  UINT message = event.mouseMessage;
  if (IsButtonDown(message) && IsDoubleClick(window, event)) {
    message = message == WM_LBUTTONDOWN ? WM_LBUTTONDBLCLK : WM_RBUTTONDBLCLK;
  }
  return MSG{window, message, MouseKeys(after), MakeLParam(client.x, client.y)};
}

std::optional<MSG> MessageOf(const InputEvent& event) {
  const KeyboardState& keys = Thread().keys;
  if (event.isKey) return KeyMessage(event, keys);
  return MouseMessage(event, keys);
}

// True when a hook eats the key.
bool RunKeyboardHooks(const MSG& msg) {
  const std::vector<Hook> hooks = Thread().hooks;
  if (hooks.empty()) return false;
  return hooks.front().proc(HC_ACTION, msg.wParam, msg.lParam) != 0;
}

void RememberClick(const MSG& msg, const InputEvent& event) {
  LastClick& last = Thread().lastClick;
  const bool wasDouble = msg.message == WM_LBUTTONDBLCLK || msg.message == WM_RBUTTONDBLCLK;
  last = LastClick{msg.hwnd, event.mouseMessage, event.point, event.time, !wasDouble};
}

// True when the window's answer eats the click.
bool ActivateOnClick(const MSG& msg) {
  const HWND top = GetAncestor(msg.hwnd, GA_ROOT);
  if (top == GetActiveWindow()) return false;
  const LRESULT answer = SendMessage(msg.hwnd, WM_MOUSEACTIVATE, top,
                                     MakeLParam(HTCLIENT, static_cast<int32_t>(msg.message)));
  if (answer == MA_ACTIVATE || answer == MA_ACTIVATEANDEAT) SetActiveWindow(top);
  return answer == MA_ACTIVATEANDEAT || answer == MA_NOACTIVATEANDEAT;
}

// Applies a taken event; false when a hook or the activation ate it.
bool Deliver(const InputEvent& event, const MSG& msg) {
  ThreadInput& thread = Thread();
  if (event.isKey) {
    Press(thread.keys, event.vk, event.up);
    if (event.vk == VK_PACKET) thread.packetUnit = event.unit;
    return !RunKeyboardHooks(msg);
  }
  if (const BYTE button = ButtonOf(event.mouseMessage)) {
    Press(thread.keys, button, !IsButtonDown(event.mouseMessage));
  }
  if (!IsButtonDown(event.mouseMessage)) return true;
  RememberClick(msg, event);
  if (GetCapture() == kNoWindow) {
    SendMessage(msg.hwnd, WM_SETCURSOR, msg.hwnd,
                MakeLParam(HTCLIENT, static_cast<int32_t>(msg.message)));
  }
  return !ActivateOnClick(msg);
}

void AddMouseEvent(UINT message, POINT point, int32_t wheel) {
  InputEvent event;
  event.isKey = false;
  event.mouseMessage = message;
  event.point = point;
  event.wheel = wheel;
  event.time = GetTickCount();
  Input().Add(event);
}

bool PostCharacters(const MSG& msg, const std::string& bytes) {
  if (bytes.empty()) return false;
  const UINT message = msg.message == WM_SYSKEYDOWN ? WM_SYSCHAR : WM_CHAR;
  const LPARAM lParam = msg.lParam;
  std::vector<MSG> characters;
  for (const char byte : bytes) {
    characters.push_back(MSG{msg.hwnd, message, static_cast<uint8_t>(byte), lParam});
  }
  CurrentQueue()->PostFirst(characters);
  return true;
}

std::string BytesOfUnit(uint16_t unit) {
  std::string utf8;
  constexpr uint16_t kOneByteLimit = 0x80;
  constexpr uint16_t kTwoByteLimit = 0x800;
  if (unit < kOneByteLimit) {
    utf8 += static_cast<char>(unit);
  } else if (unit < kTwoByteLimit) {
    utf8 += static_cast<char>(0xC0 | (unit >> 6));
    utf8 += static_cast<char>(0x80 | (unit & 0x3F));
  } else {
    utf8 += static_cast<char>(0xE0 | (unit >> 12));
    utf8 += static_cast<char>(0x80 | ((unit >> 6) & 0x3F));
    utf8 += static_cast<char>(0x80 | (unit & 0x3F));
  }
  const std::optional<SjisString> sjis = Utf8ToSjis(utf8);
  return sjis ? std::string(sjis->begin(), sjis->end()) : std::string();
}

}  // namespace

bool TakeInput(MSG* out, HWND window, UINT first, UINT last, bool remove) {
  for (;;) {
    const std::vector<InputEvent> waiting = Input().Snapshot();
    std::optional<InputEvent> chosen;
    MSG msg;
    std::vector<uint64_t> unwanted;
    for (const InputEvent& event : waiting) {
      const std::optional<MSG> made = MessageOf(event);
      if (!made) {
        unwanted.push_back(event.sequence);
        continue;
      }
      if (!OwnedHere(made->hwnd) || !Passes(*made, window, first, last)) continue;
      chosen = event;
      msg = *made;
      break;
    }
    if (!remove) {
      if (chosen && out != nullptr) *out = msg;
      return chosen.has_value();
    }
    Input().Remove(unwanted);
    if (!chosen) return false;
    // Another thread may have taken it meanwhile.
    if (!Input().Remove({chosen->sequence})) continue;
    if (Deliver(*chosen, msg)) {
      if (out != nullptr) *out = msg;
      return true;
    }
  }
}

bool TranslateKey(const MSG& msg) {
  if (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN) return false;
  const BYTE vk = static_cast<BYTE>(msg.wParam);
  if (vk == VK_PACKET) return PostCharacters(msg, BytesOfUnit(Thread().packetUnit));
  const KeyboardState& keys = Thread().keys;
  const KeyModifiers modifiers{IsDown(keys, VK_SHIFT), IsDown(keys, VK_CONTROL),
                               (keys[VK_CAPITAL] & kKeyToggled) != 0};
  const std::optional<uint8_t> character = CharacterOfKey(Input().layout, vk, modifiers);
  if (!character) return false;
  return PostCharacters(msg, std::string(1, static_cast<char>(*character)));
}

void keybd_event(BYTE vk, BYTE scan, DWORD flags, uintptr_t) {
  InputEvent event;
  event.vk = vk;
  event.scan = scan;
  event.up = (flags & KEYEVENTF_KEYUP) != 0;
  event.extended = (flags & KEYEVENTF_EXTENDEDKEY) != 0;
  event.time = GetTickCount();
  {
    std::lock_guard lock(Input().mutex());
    Press(Input().async(), vk, event.up);
  }
  Input().Add(event);
}

void TypeCharacter(uint16_t unit) {
  for (const bool up : {false, true}) {
    InputEvent event;
    event.vk = VK_PACKET;
    event.up = up;
    event.unit = unit;
    event.time = GetTickCount();
    Input().Add(event);
  }
}

void mouse_event(DWORD flags, int32_t x, int32_t y, int32_t wheelDelta, uintptr_t) {
  POINT point;
  {
    std::lock_guard lock(Input().mutex());
    POINT& cursor = Input().cursor();
    if ((flags & MOUSEEVENTF_ABSOLUTE) != 0) {
      cursor = POINT{x, y};
    } else if ((flags & MOUSEEVENTF_MOVE) != 0) {
      cursor = POINT{cursor.x + x, cursor.y + y};
    }
    point = cursor;
  }
  if ((flags & (MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE)) != 0)
    AddMouseEvent(WM_MOUSEMOVE, point, 0);
  constexpr std::pair<DWORD, UINT> kButtons[] = {
      {MOUSEEVENTF_LEFTDOWN, WM_LBUTTONDOWN},
      {MOUSEEVENTF_LEFTUP, WM_LBUTTONUP},
      {MOUSEEVENTF_RIGHTDOWN, WM_RBUTTONDOWN},
      {MOUSEEVENTF_RIGHTUP, WM_RBUTTONUP},
  };
  for (const auto& [flag, message] : kButtons) {
    if ((flags & flag) != 0) AddMouseEvent(message, point, 0);
  }
  if ((flags & MOUSEEVENTF_WHEEL) != 0) AddMouseEvent(WM_MOUSEWHEEL, point, wheelDelta);
}

SHORT GetKeyState(int vk) {
  const BYTE value = Thread().keys[static_cast<BYTE>(vk)];
  return static_cast<SHORT>(((value & kKeyDown) != 0 ? 0x8000 : 0) | (value & kKeyToggled));
}

bool GetKeyboardState(KeyboardState* state) {
  if (state == nullptr) return false;
  *state = Thread().keys;
  return true;
}

bool SetKeyboardState(const KeyboardState& state) {
  Thread().keys = state;
  return true;
}

SHORT GetAsyncKeyState(int vk) {
  std::lock_guard lock(Input().mutex());
  return static_cast<SHORT>(IsDown(Input().async(), static_cast<BYTE>(vk)) ? 0x8000 : 0);
}

void SetKeyboardLayout(KeyboardLayout layout) { Input().layout = layout; }

HHOOK SetWindowsHookEx(int kind, HOOKPROC proc, uintptr_t, DWORD threadId) {
  if (kind != WH_KEYBOARD || proc == nullptr) return 0;
  if (threadId != 0 && threadId != GetCurrentThreadId()) return 0;
  static std::atomic<HHOOK> nextHook{1};
  const HHOOK handle = nextHook++;
  std::vector<Hook>& hooks = Thread().hooks;
  hooks.insert(hooks.begin(), Hook{handle, proc});
  return handle;
}

bool UnhookWindowsHookEx(HHOOK hook) {
  return std::erase_if(Thread().hooks, [hook](const Hook& h) { return h.handle == hook; }) != 0;
}

LRESULT CallNextHookEx(HHOOK hook, int code, WPARAM wParam, LPARAM lParam) {
  const std::vector<Hook> hooks = Thread().hooks;
  const auto at =
      std::find_if(hooks.begin(), hooks.end(), [hook](const Hook& h) { return h.handle == hook; });
  if (at == hooks.end() || at + 1 == hooks.end()) return 0;
  return (at + 1)->proc(code, wParam, lParam);
}

bool GetCursorPos(POINT* point) {
  if (point == nullptr) return false;
  std::lock_guard lock(Input().mutex());
  *point = Input().cursor();
  return true;
}

bool SetCursorPos(int32_t x, int32_t y) {
  mouse_event(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, x, y, 0, 0);
  return true;
}

UINT GetDoubleClickTime() { return kDoubleClickMs; }

void ResetInput() {
  Input().Clear();
  Thread() = ThreadInput{};
  ResetFocus();
}

}  // namespace platform
