// One time the menus are up on a thread: the open popups (each a window
// of the popup-menu class), the menu bar when the session started there,
// the highlight in each, and the nested loop that runs until an item is
// chosen or everything closes. Internal to the menus.
#pragma once

#include <deque>
#include <memory>
#include <optional>
#include <vector>

#include "platform/input.h"
#include "platform/menu_layout.h"
#include "platform/menu_store.h"
#include "platform/menu_window.h"

namespace platform {

// The items of a popup on the screen, as the popup's window paints them.
struct OpenPopup {
  HMENU menu = kNoMenu;
  HWND window = kNoWindow;
  std::vector<MenuItem> items;
  MenuLayout layout;
  int highlight = kNoItem;
};

MenuLayout MeasurePopup(const std::vector<MenuItem>& items);
MenuLayout MeasureBar(const std::vector<MenuItem>& items);

// The index of the item a mnemonic key (an upper-case letter or a digit)
// names after `after`, wrapping; kNoItem for none. `count` answers how
// many items have it.
int MnemonicItem(const std::vector<MenuItem>& items, char key, int after, int* count);

class MenuSession {
 public:
  // With `rightButton` the right button chooses as well as the left.
  MenuSession(HWND owner, bool rightButton);
  ~MenuSession();
  MenuSession(const MenuSession&) = delete;
  MenuSession& operator=(const MenuSession&) = delete;

  // Whether a session is running on the calling thread.
  static bool Active();

  // Opens the first popup at the screen point; false for no menu.
  bool OpenTracked(HMENU menu, POINT at);
  // Starts on the window's bar strip: with the item at `open` opened, or
  // with the first item highlighted.
  void StartOnBar(HWND strip, HMENU menu, std::optional<int> open);
  // Runs the nested loop; the chosen command, or 0 when nothing was.
  UINT Run();

 private:
  struct Bar {
    HWND strip = kNoWindow;
    HMENU menu = kNoMenu;
    std::vector<MenuItem> items;
    int highlight = kNoItem;
  };
  // Where a screen point falls: a popup's item, a bar item, or nothing.
  struct Hit {
    int popup = kNoItem;
    int barItem = kNoItem;
    int item = kNoItem;
  };

  static LRESULT KeyHook(int code, WPARAM vk, LPARAM lParam);
  // Whether the key is the menus'.
  bool OnHookedKey(BYTE vk, LPARAM lParam);
  LRESULT OnMessage(UINT message, LPARAM lParam);
  void OnKeyDown(BYTE vk);
  void OnBarKey(BYTE vk);
  void OnMnemonic(char key);
  void OnPress(POINT screen);
  void OnRelease(POINT screen);
  void OnMove(POINT screen);
  Hit HitTest(POINT screen) const;

  bool Open(HMENU menu, POINT at, int position, bool highlightFirst);
  void OpenSubmenu();
  void OpenBarItem();
  void CloseTop();
  void CloseAll();
  void Move(int step);
  void Highlight(OpenPopup& popup, int index);
  void HighlightBar(int index);
  void MoveBar(int step, bool open);
  void Activate(const OpenPopup& popup, int index);
  void Select(const MenuItem& item, int position, HMENU menu) const;
  void End(UINT chosen);

  const HWND owner_;
  const bool rightButton_;
  HWND sink_ = kNoWindow;
  HHOOK hook_ = 0;
  std::deque<BYTE> waitingKeys_;
  bool handlingKey_ = false;
  std::vector<std::unique_ptr<OpenPopup>> popups_;
  std::optional<Bar> bar_;
  bool ended_ = false;
  UINT chosen_ = 0;
};

// What DefWindowProc does with WM_SYSKEYDOWN, WM_SYSKEYUP, WM_SYSCHAR and
// WM_SYSCOMMAND: Alt alone, F10 and Alt with a character become
// SC_KEYMENU for the top-level window, which enters its menu bar.
LRESULT DefaultMenuKeys(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace platform
