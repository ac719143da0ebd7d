// Window messages, as little of them as the system needs so far. A
// window is a 32-bit handle that maps to a handler; each thread has its
// own queue of posted messages, filled by PostMessage to the windows it
// created (or PostThreadMessage/PostQuitMessage) and emptied by
// PeekMessage and GetMessage. SendMessage calls the handler at once on
// the calling thread and hands back its reply.
#pragma once

#include <cstdint>
#include <functional>

namespace platform {

using HWND = uint32_t;
using UINT = uint32_t;
using WPARAM = uintptr_t;
using LPARAM = intptr_t;
using LRESULT = intptr_t;

inline constexpr HWND kNoWindow = 0;

inline constexpr UINT WM_NULL = 0x0000;
inline constexpr UINT WM_QUIT = 0x0012;
inline constexpr UINT WM_KEYDOWN = 0x0100;
inline constexpr UINT WM_KEYUP = 0x0101;
inline constexpr UINT WM_CHAR = 0x0102;
inline constexpr UINT WM_LBUTTONDOWN = 0x0201;
inline constexpr UINT WM_RBUTTONDOWN = 0x0204;
inline constexpr UINT WM_USER = 0x0400;

inline constexpr UINT PM_NOREMOVE = 0x0000;
inline constexpr UINT PM_REMOVE = 0x0001;

struct MSG {
  HWND hwnd = kNoWindow;
  UINT message = WM_NULL;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
};

using WindowProc = std::function<LRESULT(HWND, UINT, WPARAM, LPARAM)>;

// Registers a window owned by the calling thread; its posted messages go
// to this thread's queue.
HWND CreateWindowHandle(WindowProc proc);
bool DestroyWindow(HWND window);
bool IsWindow(HWND window);

// Calls the window's handler and answers its reply; 0 for no window.
LRESULT SendMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Queues a message for the thread that owns the window; false when the
// window does not exist.
bool PostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Queues a message without a window on the calling thread's queue.
void PostThreadMessage(UINT message, WPARAM wParam, LPARAM lParam);
void PostQuitMessage(int exitCode);

// Looks at the first queued message of the calling thread that matches the
// filter (window 0 matches all; a range of 0, 0 matches every message),
// removing it with PM_REMOVE. False when none is queued.
bool PeekMessage(MSG* msg, HWND window, UINT first, UINT last, UINT remove);
// Takes the first matching message, waiting for one; answers 0 for
// WM_QUIT and 1 otherwise.
int GetMessage(MSG* msg, HWND window, UINT first, UINT last);
// Without a keyboard layout no key produces a character message; answers
// whether the message was a key message.
bool TranslateMessage(const MSG* msg);
// Hands a message to its window's handler; 0 for a message without one.
LRESULT DispatchMessage(const MSG* msg);

// Empties the calling thread's queue and forgets every window; for tests.
void ResetWindowMessages();

}  // namespace platform
