#include "platform/menu_window.h"

#include <optional>

#include "platform/control_notify.h"
#include "platform/input.h"
#include "platform/menu_paint.h"
#include "platform/menu_session.h"
#include "platform/menu_text.h"
#include "platform/paint.h"
#include "platform/system_classes.h"
#include "platform/system_info.h"
#include "platform/window.h"

namespace platform {

namespace {

// A top-level window's menu and its bar strip, kept as its properties.
constexpr char kMenuProperty[] = "LexoraMenu";
constexpr char kMenuBarProperty[] = "LexoraMenuBarStrip";

HWND StripOf(HWND window) { return static_cast<HWND>(GetProp(window, kMenuBarProperty)); }

bool IsTopLevel(HWND window) {
  return IsWindow(window) && GetAncestor(window, GA_PARENT) == kNoWindow;
}

std::vector<MenuItem> ItemsOf(HMENU menu) {
  return MenuItemsOf(menu).value_or(std::vector<MenuItem>());
}

// Runs the bar of the window, opening the item at `open` or none.
void RunBar(HWND window, std::optional<int> open) {
  const HMENU menu = GetMenu(window);
  const HWND strip = StripOf(window);
  if (menu == kNoMenu || strip == kNoWindow || MenuSession::Active()) return;
  SendMessage(window, WM_INITMENU, menu, 0);
  UINT chosen = 0;
  {
    MenuSession session(window, false);
    session.StartOnBar(strip, menu, open);
    chosen = session.Run();
  }
  if (chosen != 0) PostMessage(window, WM_COMMAND, MakeWParam(chosen, kCommandFromMenu), 0);
}

// Alt with a character opens the bar item it is the mnemonic of; one
// that is no item's leaves the bar alone.
void EnterBar(HWND window, LPARAM character) {
  if (character == 0) {
    RunBar(window, std::nullopt);
    return;
  }
  const char key = MnemonicKey(static_cast<char>(character));
  int count = 0;
  const int index = MnemonicItem(ItemsOf(GetMenu(window)), key, kNoItem, &count);
  if (key != 0 && index != kNoItem) RunBar(window, index);
}

void PaintStrip(HWND strip) {
  PAINTSTRUCT paint;
  const HDC dc = BeginPaint(strip, &paint);
  const std::vector<MenuItem> items = ItemsOf(GetMenu(GetParent(strip)));
  {
    const MenuFontScope font(dc);
    const MenuLayout layout = MenuLayout::Bar(dc, items);
    const int highlight = static_cast<int>(GetWindowLongPtr(strip, GWLP_USERDATA));
    RECT client;
    GetClientRect(strip, &client);
    MenuPainter(dc, MenuPicture{items, layout, highlight}).PaintBar(client);
  }
  EndPaint(strip, &paint);
}

void PaintPopup(HWND window, const OpenPopup& popup) {
  PAINTSTRUCT paint;
  const HDC dc = BeginPaint(window, &paint);
  {
    const MenuFontScope font(dc);
    RECT client;
    GetClientRect(window, &client);
    MenuPainter(dc, MenuPicture{popup.items, popup.layout, popup.highlight}).PaintPopup(client);
  }
  EndPaint(window, &paint);
}

// The high bit of GetKeyState: the key is down.
constexpr SHORT kKeyStateDown = static_cast<SHORT>(0x8000);

// Alt pressed and released with no key between.
thread_local bool altAlone = false;

}  // namespace

int TrackPopupMenu(HMENU menu, UINT flags, int32_t x, int32_t y, int32_t, HWND owner, const RECT*) {
  if (!IsMenu(menu) || !IsWindow(owner) || MenuSession::Active()) return 0;
  UINT chosen = 0;
  {
    MenuSession session(owner, (flags & TPM_RIGHTBUTTON) != 0);
    if (!session.OpenTracked(menu, POINT{x, y})) return 0;
    chosen = session.Run();
  }
  if (chosen == 0) return 0;
  if ((flags & TPM_RETURNCMD) != 0) return static_cast<int>(chosen);
  PostMessage(owner, WM_COMMAND, MakeWParam(chosen, kCommandFromMenu), 0);
  return 1;
}

bool SetMenu(HWND window, HMENU menu) {
  if (!IsTopLevel(window) || (menu != kNoMenu && !IsMenu(menu))) return false;
  HWND strip = StripOf(window);
  if (menu == kNoMenu) {
    RemoveProp(window, kMenuProperty);
    RemoveProp(window, kMenuBarProperty);
    if (strip != kNoWindow) DestroyWindow(strip);
    return true;
  }
  SetProp(window, kMenuProperty, menu);
  if (strip == kNoWindow) {
    strip = CreateWindowEx(0, kMenuBarClass, "", WS_CHILD | WS_VISIBLE, 0, 0,
                           GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYMENU), window, 0,
                           nullptr);
    if (strip == kNoWindow) return false;
    SetWindowLongPtr(strip, GWLP_USERDATA, kNoItem);
    SetProp(window, kMenuBarProperty, strip);
  }
  SetWindowPos(strip, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  return DrawMenuBar(window);
}

HMENU GetMenu(HWND window) { return static_cast<HMENU>(GetProp(window, kMenuProperty)); }

bool DrawMenuBar(HWND window) {
  const HWND strip = StripOf(window);
  return strip != kNoWindow && InvalidateRect(strip, nullptr, true);
}

int32_t MenuBarHeight(HWND window) {
  RECT rect;
  const HWND strip = StripOf(window);
  return strip != kNoWindow && GetClientRect(strip, &rect) ? rect.Height() : 0;
}

LRESULT PopupMenuProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  const auto* popup = reinterpret_cast<const OpenPopup*>(GetWindowLongPtr(window, GWLP_USERDATA));
  switch (message) {
    case WM_ERASEBKGND:
      // The paint covers every pixel.
      return 1;
    case WM_PAINT:
      if (popup == nullptr) break;
      PaintPopup(window, *popup);
      return 0;
    case WM_MOUSEACTIVATE:
      return MA_NOACTIVATE;
    default:
      break;
  }
  return DefWindowProc(window, message, wParam, lParam);
}

LRESULT MenuBarProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      PaintStrip(window);
      return 0;
    case WM_DESTROY: {
      // Going with its window: the window's menu goes too. SetMenu takes
      // the menu away before it destroys the strip.
      const HMENU menu = GetMenu(GetParent(window));
      if (menu != kNoMenu) DestroyMenu(menu);
      return 0;
    }
    case WM_LBUTTONDOWN: {
      const MenuLayout layout = MeasureBar(ItemsOf(GetMenu(GetParent(window))));
      const int item = layout.ItemAt(POINT{LowWord(lParam), HighWord(lParam)});
      if (item != kNoItem) RunBar(GetParent(window), item);
      return 0;
    }
    default:
      return DefWindowProc(window, message, wParam, lParam);
  }
}

LRESULT DefaultMenuKeys(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  const HWND top = GetAncestor(window, GA_ROOT);
  switch (message) {
    case WM_SYSKEYDOWN:
      if (wParam == VK_MENU) {
        if ((lParam & kKeyWasDown) == 0) altAlone = true;
        return 0;
      }
      altAlone = false;
      // Shift+F10 is the context menu's key, not the bar's.
      if (wParam == VK_F10 && (GetKeyState(VK_SHIFT) & kKeyStateDown) == 0)
        SendMessage(top, WM_SYSCOMMAND, SC_KEYMENU, 0);
      return 0;
    case WM_SYSKEYUP:
      if (wParam == VK_MENU && altAlone) {
        altAlone = false;
        SendMessage(top, WM_SYSCOMMAND, SC_KEYMENU, 0);
      }
      return 0;
    case WM_SYSCHAR:
      SendMessage(top, WM_SYSCOMMAND, SC_KEYMENU, static_cast<LPARAM>(wParam));
      return 0;
    case WM_SYSCOMMAND:
      if ((wParam & kSysCommandMask) != SC_KEYMENU) return 0;
      if (window != top) return SendMessage(top, message, wParam, lParam);
      EnterBar(window, lParam);
      return 0;
    default:
      return 0;
  }
}

}  // namespace platform
