#include "platform/menu_session.h"

#include <algorithm>

#include "platform/control_notify.h"
#include "platform/menu_text.h"
#include "platform/message_loop.h"
#include "platform/paint.h"
#include "platform/system_info.h"
#include "platform/window.h"

namespace platform {

namespace {

// The item flags WM_MENUSELECT passes on.
constexpr UINT kSelectFlags = MF_POPUP | MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_SEPARATOR;

thread_local MenuSession* activeSession = nullptr;

template <typename Build>
MenuLayout Measure(Build build) {
  const UniqueDC dc = CreateImageDC(1, 1);
  const MenuFontScope font(dc.get());
  return build(dc.get());
}

POINT PointOf(LPARAM lParam) { return POINT{LowWord(lParam), HighWord(lParam)}; }

// The item under a screen point in a window laid out as `layout`.
int ItemUnder(HWND window, const MenuLayout& layout, POINT screen) {
  RECT placed;
  if (!GetWindowRect(window, &placed) || !PtInRect(placed, screen)) return kNoItem;
  return layout.ItemAt(POINT{screen.x - placed.left, screen.y - placed.top});
}

// A letter or a digit key is the mnemonic it types, whatever the layout.
char MnemonicKeyOf(BYTE vk) {
  if ((vk >= 'A' && vk <= 'Z') || (vk >= '0' && vk <= '9')) return static_cast<char>(vk);
  return 0;
}

// A popup that would run off the screen's right or bottom edge is moved
// back onto it.
POINT OnScreen(POINT at, SIZE size) {
  const int32_t right = GetSystemMetrics(SM_CXSCREEN) - size.cx;
  const int32_t bottom = GetSystemMetrics(SM_CYSCREEN) - size.cy;
  return POINT{std::max(0, std::min(at.x, right)), std::max(0, std::min(at.y, bottom))};
}

void DestroyIfThere(HWND window) {
  if (IsWindow(window)) DestroyWindow(window);
}

}  // namespace

MenuLayout MeasurePopup(const std::vector<MenuItem>& items) {
  return Measure([&items](HDC dc) { return MenuLayout::Popup(dc, items); });
}

MenuLayout MeasureBar(const std::vector<MenuItem>& items) {
  return Measure([&items](HDC dc) { return MenuLayout::Bar(dc, items); });
}

int MnemonicItem(const std::vector<MenuItem>& items, char key, int after, int* count) {
  const int size = static_cast<int>(items.size());
  *count = 0;
  int found = kNoItem;
  for (int step = 1; step <= size; ++step) {
    const int index = ((after < 0 ? -1 : after) + step) % size;
    const MenuItem& item = items[static_cast<size_t>(index)];
    if (item.IsSeparator() || ParseMenuText(item.text).mnemonicKey != key) continue;
    if (found == kNoItem) found = index;
    ++*count;
  }
  return found;
}

MenuSession::MenuSession(HWND owner, bool rightButton) : owner_(owner), rightButton_(rightButton) {
  sink_ = CreateWindowHandle(
      [this](HWND, UINT message, WPARAM, LPARAM lParam) { return OnMessage(message, lParam); });
  activeSession = this;
  hook_ = SetWindowsHookEx(WH_KEYBOARD, KeyHook, 0, GetCurrentThreadId());
  SetCapture(sink_);
}

MenuSession::~MenuSession() {
  UnhookWindowsHookEx(hook_);
  activeSession = nullptr;
  CloseAll();
  if (bar_) HighlightBar(kNoItem);
  if (GetCapture() == sink_) ReleaseCapture();
  DestroyIfThere(sink_);
}

bool MenuSession::Active() { return activeSession != nullptr; }

LRESULT MenuSession::KeyHook(int code, WPARAM vk, LPARAM lParam) {
  if (code != HC_ACTION || activeSession == nullptr) return 0;
  return activeSession->OnHookedKey(static_cast<BYTE>(vk), lParam) ? 1 : 0;
}

// Every key goes to the menus while they are up, handled as it is taken.
// Once an item is chosen the keys typed after it are left to the
// application, in their order. A key taken while one is handled (the
// owner looked at its queue) waits its turn.
bool MenuSession::OnHookedKey(BYTE vk, LPARAM lParam) {
  if (ended_) return false;
  if ((lParam & kKeyReleased) != 0) return true;
  waitingKeys_.push_back(vk);
  if (handlingKey_) return true;
  handlingKey_ = true;
  while (!waitingKeys_.empty() && !ended_) {
    const BYTE next = waitingKeys_.front();
    waitingKeys_.pop_front();
    OnKeyDown(next);
  }
  handlingKey_ = false;
  return true;
}

bool MenuSession::OpenTracked(HMENU menu, POINT at) { return Open(menu, at, 0, false); }

void MenuSession::StartOnBar(HWND strip, HMENU menu, std::optional<int> open) {
  bar_ = Bar{strip, menu, MenuItemsOf(menu).value_or(std::vector<MenuItem>()), kNoItem};
  if (open) {
    HighlightBar(*open);
    OpenBarItem();
    return;
  }
  MoveBar(1, false);
}

UINT MenuSession::Run() {
  LoopExit exit;
  exit.done = [this] { return ended_ || !IsWindow(owner_); };
  const LoopEnd end = RunNestedLoop(exit);
  CloseAll();
  if (bar_) HighlightBar(kNoItem);
  SendMessage(owner_, WM_MENUSELECT, MakeWParam(0, kMenuClosedFlags), 0);
  return end == LoopEnd::kCondition && ended_ ? chosen_ : 0;
}

LRESULT MenuSession::OnMessage(UINT message, LPARAM lParam) {
  switch (message) {
    case WM_MOUSEACTIVATE:
      return MA_NOACTIVATE;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
      if (!ended_) OnPress(PointOf(lParam));
      return 0;
    case WM_LBUTTONUP:
      if (!ended_) OnRelease(PointOf(lParam));
      return 0;
    case WM_RBUTTONUP:
      if (!ended_ && rightButton_) OnRelease(PointOf(lParam));
      return 0;
    case WM_MOUSEMOVE:
      if (!ended_) OnMove(PointOf(lParam));
      return 0;
    case WM_CAPTURECHANGED:
      // Another window took the mouse: the menus give up.
      if (static_cast<HWND>(lParam) != sink_) End(0);
      return 0;
    default:
      return 0;
  }
}

void MenuSession::OnKeyDown(BYTE vk) {
  if (popups_.empty()) {
    OnBarKey(vk);
    return;
  }
  switch (vk) {
    case VK_UP:
      Move(-1);
      return;
    case VK_DOWN:
      Move(1);
      return;
    case VK_RIGHT: {
      const OpenPopup& top = *popups_.back();
      const bool onSubmenu =
          top.highlight != kNoItem && top.items[static_cast<size_t>(top.highlight)].IsPopup();
      if (onSubmenu) {
        Activate(top, top.highlight);
      } else if (bar_) {
        MoveBar(1, true);
      }
      return;
    }
    case VK_LEFT:
      if (popups_.size() > 1) {
        CloseTop();
      } else if (bar_) {
        MoveBar(-1, true);
      }
      return;
    case VK_RETURN:
      Activate(*popups_.back(), popups_.back()->highlight);
      return;
    case VK_ESCAPE:
      if (popups_.size() > 1 || bar_) {
        CloseTop();
      } else {
        End(0);
      }
      return;
    case VK_MENU:
    case VK_F10:
      End(0);
      return;
    default:
      if (const char key = MnemonicKeyOf(vk)) OnMnemonic(key);
      return;
  }
}

void MenuSession::OnBarKey(BYTE vk) {
  switch (vk) {
    case VK_LEFT:
      MoveBar(-1, false);
      return;
    case VK_RIGHT:
      MoveBar(1, false);
      return;
    case VK_DOWN:
    case VK_RETURN:
      OpenBarItem();
      return;
    case VK_ESCAPE:
    case VK_MENU:
    case VK_F10:
      End(0);
      return;
    default:
      if (const char key = MnemonicKeyOf(vk)) OnMnemonic(key);
      return;
  }
}

// One item with the mnemonic is chosen (or opened); of several, the next
// one is highlighted.
void MenuSession::OnMnemonic(char key) {
  int count = 0;
  if (popups_.empty()) {
    const int index = MnemonicItem(bar_->items, key, bar_->highlight, &count);
    if (index == kNoItem) return;
    HighlightBar(index);
    if (count == 1) OpenBarItem();
    return;
  }
  OpenPopup& top = *popups_.back();
  const int index = MnemonicItem(top.items, key, top.highlight, &count);
  if (index == kNoItem) return;
  Highlight(top, index);
  if (count == 1) Activate(top, index);
}

MenuSession::Hit MenuSession::HitTest(POINT screen) const {
  for (size_t i = popups_.size(); i-- > 0;) {
    const OpenPopup& popup = *popups_[i];
    RECT placed;
    if (GetWindowRect(popup.window, &placed) && PtInRect(placed, screen))
      return Hit{static_cast<int>(i), kNoItem, ItemUnder(popup.window, popup.layout, screen)};
  }
  if (bar_) {
    const int item = ItemUnder(bar_->strip, MeasureBar(bar_->items), screen);
    if (item != kNoItem) return Hit{kNoItem, item, kNoItem};
  }
  return Hit{};
}

void MenuSession::OnPress(POINT screen) {
  const Hit hit = HitTest(screen);
  if (hit.popup != kNoItem) return;
  if (hit.barItem == kNoItem) {
    End(0);
    return;
  }
  // A press on the item whose popup is open closes it; on another opens that.
  const bool wasOpen = hit.barItem == bar_->highlight && !popups_.empty();
  CloseAll();
  HighlightBar(hit.barItem);
  if (wasOpen) {
    End(0);
    return;
  }
  OpenBarItem();
}

void MenuSession::OnRelease(POINT screen) {
  const Hit hit = HitTest(screen);
  if (hit.popup == kNoItem || hit.item == kNoItem) return;
  if (popups_[static_cast<size_t>(hit.popup)]->items[static_cast<size_t>(hit.item)].IsSeparator())
    return;
  while (static_cast<int>(popups_.size()) > hit.popup + 1) CloseTop();
  OpenPopup& popup = *popups_.back();
  if (popup.highlight != hit.item) Highlight(popup, hit.item);
  Activate(popup, hit.item);
}

void MenuSession::OnMove(POINT screen) {
  const Hit hit = HitTest(screen);
  if (hit.popup == kNoItem || hit.item == kNoItem) return;
  OpenPopup& popup = *popups_[static_cast<size_t>(hit.popup)];
  if (popup.highlight == hit.item || popup.items[static_cast<size_t>(hit.item)].IsSeparator())
    return;
  while (static_cast<int>(popups_.size()) > hit.popup + 1) CloseTop();
  Highlight(popup, hit.item);
}

bool MenuSession::Open(HMENU menu, POINT at, int position, bool highlightFirst) {
  if (!IsMenu(menu)) return false;
  SendMessage(owner_, WM_INITMENUPOPUP, menu, MakeLParam(position, 0));
  auto popup = std::make_unique<OpenPopup>();
  popup->menu = menu;
  popup->items = MenuItemsOf(menu).value_or(std::vector<MenuItem>());
  popup->layout = MeasurePopup(popup->items);
  const SIZE size = popup->layout.size();
  const POINT placed = OnScreen(at, size);
  popup->window = CreateWindowEx(WS_EX_TOPMOST, kPopupMenuClass, "", WS_POPUP | WS_VISIBLE,
                                 placed.x, placed.y, size.cx, size.cy, owner_, 0, nullptr);
  if (popup->window == kNoWindow) return false;
  SetWindowLongPtr(popup->window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(popup.get()));
  popups_.push_back(std::move(popup));
  if (highlightFirst) Move(1);
  return true;
}

// Beside the highlighted item, its top level with the item's.
void MenuSession::OpenSubmenu() {
  const OpenPopup& top = *popups_.back();
  const MenuItem& item = top.items[static_cast<size_t>(top.highlight)];
  const RECT& rect = top.layout.items()[static_cast<size_t>(top.highlight)];
  RECT placed;
  GetWindowRect(top.window, &placed);
  const POINT at{placed.left + rect.right, placed.top + rect.top - MenuMetrics::kBorder};
  Open(item.popup, at, top.highlight, true);
}

// Under the highlighted bar item; an item that opens nothing is chosen.
void MenuSession::OpenBarItem() {
  if (!bar_ || bar_->highlight == kNoItem) return;
  const MenuItem& item = bar_->items[static_cast<size_t>(bar_->highlight)];
  if (!item.CanChoose()) return;
  if (!item.IsPopup()) {
    End(item.id);
    return;
  }
  const MenuLayout layout = MeasureBar(bar_->items);
  const RECT& rect = layout.items()[static_cast<size_t>(bar_->highlight)];
  POINT at{rect.left, rect.bottom};
  ClientToScreen(bar_->strip, &at);
  Open(item.popup, at, bar_->highlight, true);
}

void MenuSession::CloseTop() {
  if (popups_.empty()) return;
  DestroyIfThere(popups_.back()->window);
  popups_.pop_back();
  if (popups_.empty() && bar_ && bar_->highlight != kNoItem)
    Select(bar_->items[static_cast<size_t>(bar_->highlight)], bar_->highlight, bar_->menu);
}

void MenuSession::CloseAll() {
  while (!popups_.empty()) {
    DestroyIfThere(popups_.back()->window);
    popups_.pop_back();
  }
}

// To the next item that is not a separator, wrapping; from no highlight,
// Down starts at the first item and Up at the last.
void MenuSession::Move(int step) {
  OpenPopup& top = *popups_.back();
  const int size = static_cast<int>(top.items.size());
  int index = top.highlight;
  for (int tries = 0; tries < size; ++tries) {
    if (index == kNoItem) {
      index = step > 0 ? 0 : size - 1;
    } else {
      index = (index + step + size) % size;
    }
    if (!top.items[static_cast<size_t>(index)].IsSeparator()) {
      Highlight(top, index);
      return;
    }
  }
}

void MenuSession::Highlight(OpenPopup& popup, int index) {
  popup.highlight = index;
  InvalidateRect(popup.window, nullptr, false);
  Select(popup.items[static_cast<size_t>(index)], index, popup.menu);
}

void MenuSession::HighlightBar(int index) {
  bar_->highlight = index;
  if (IsWindow(bar_->strip)) {
    SetWindowLongPtr(bar_->strip, GWLP_USERDATA, index);
    InvalidateRect(bar_->strip, nullptr, false);
  }
  if (index != kNoItem) Select(bar_->items[static_cast<size_t>(index)], index, bar_->menu);
}

void MenuSession::MoveBar(int step, bool open) {
  const int size = static_cast<int>(bar_->items.size());
  if (size == 0) return;
  CloseAll();
  int index = bar_->highlight;
  for (int tries = 0; tries < size; ++tries) {
    index = index == kNoItem ? 0 : (index + step + size) % size;
    if (!bar_->items[static_cast<size_t>(index)].IsSeparator()) break;
  }
  HighlightBar(index);
  if (open) OpenBarItem();
}

// A greyed item is highlighted but never chosen, nor its submenu opened.
void MenuSession::Activate(const OpenPopup& popup, int index) {
  if (index == kNoItem) return;
  const MenuItem& item = popup.items[static_cast<size_t>(index)];
  if (!item.CanChoose()) return;
  if (item.IsPopup()) {
    OpenSubmenu();
  } else {
    End(item.id);
  }
}

// A popup item is named by its position, a command by its id.
void MenuSession::Select(const MenuItem& item, int position, HMENU menu) const {
  const UINT named = item.IsPopup() ? static_cast<UINT>(position) : item.id;
  SendMessage(owner_, WM_MENUSELECT, MakeWParam(named, (item.flags & kSelectFlags) | MF_HILITE),
              static_cast<LPARAM>(menu));
}

void MenuSession::End(UINT chosen) {
  ended_ = true;
  chosen_ = chosen;
}

}  // namespace platform
