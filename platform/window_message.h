// Window messages. A window is a 32-bit handle owned by the thread that
// made it; each thread has one queue. SendMessage to a window of the
// calling thread calls its procedure at once; to a window of another
// thread it waits until that thread has handled it, answering meanwhile
// what is sent to its own windows. PostMessage queues for the window's
// thread. PeekMessage and GetMessage deliver waiting sent messages first,
// then posted ones; GetMessage waits in one poll() over the queue's
// eventfd and the display back end's descriptor.
#pragma once

#include <cstdint>
#include <functional>

namespace platform {

using HWND = uint32_t;
using UINT = uint32_t;
using DWORD = uint32_t;
using WPARAM = uintptr_t;
using LPARAM = intptr_t;
using LRESULT = intptr_t;
using LONG_PTR = intptr_t;
using UINT_PTR = uintptr_t;

inline constexpr HWND kNoWindow = 0;
// As a message filter: only the messages posted without a window.
inline constexpr HWND kThreadMessagesOnly = 0xFFFFFFFFu;

inline constexpr UINT WM_NULL = 0x0000;
inline constexpr UINT WM_CREATE = 0x0001;
inline constexpr UINT WM_DESTROY = 0x0002;
inline constexpr UINT WM_MOVE = 0x0003;
inline constexpr UINT WM_SIZE = 0x0005;
inline constexpr UINT WM_ENABLE = 0x000A;
inline constexpr UINT WM_SETTEXT = 0x000C;
inline constexpr UINT WM_GETTEXT = 0x000D;
inline constexpr UINT WM_GETTEXTLENGTH = 0x000E;
inline constexpr UINT WM_CLOSE = 0x0010;
inline constexpr UINT WM_QUIT = 0x0012;
inline constexpr UINT WM_SHOWWINDOW = 0x0018;
inline constexpr UINT WM_WINDOWPOSCHANGING = 0x0046;
inline constexpr UINT WM_WINDOWPOSCHANGED = 0x0047;
inline constexpr UINT WM_NCCREATE = 0x0081;
inline constexpr UINT WM_NCDESTROY = 0x0082;
inline constexpr UINT WM_KEYDOWN = 0x0100;
inline constexpr UINT WM_KEYUP = 0x0101;
inline constexpr UINT WM_CHAR = 0x0102;
inline constexpr UINT WM_TIMER = 0x0113;
inline constexpr UINT WM_LBUTTONDOWN = 0x0201;
inline constexpr UINT WM_RBUTTONDOWN = 0x0204;
inline constexpr UINT WM_USER = 0x0400;
// RegisterWindowMessage hands out numbers from this range.
inline constexpr UINT kFirstRegisteredMessage = 0xC000;
inline constexpr UINT kLastRegisteredMessage = 0xFFFF;

inline constexpr UINT PM_NOREMOVE = 0x0000;
inline constexpr UINT PM_REMOVE = 0x0001;

struct MSG {
  HWND hwnd = kNoWindow;
  UINT message = WM_NULL;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
};

// A window procedure as classes and subclasses name it.
using WNDPROC = LRESULT (*)(HWND, UINT, WPARAM, LPARAM);
// Called by DispatchMessage for a WM_TIMER of a timer that has one.
using TIMERPROC = void (*)(HWND, UINT, UINT_PTR, DWORD);
// A handler for a window made by CreateWindowHandle.
using WindowProc = std::function<LRESULT(HWND, UINT, WPARAM, LPARAM)>;

// Registers a window owned by the calling thread that hands every message
// to the handler: no class of the caller's, no creation messages; its
// destruction still sends WM_DESTROY and WM_NCDESTROY.
HWND CreateWindowHandle(WindowProc proc);
// Destroys the window's owned windows, then sends it WM_DESTROY, destroys
// its children, sends WM_NCDESTROY and forgets it. Senders still waiting on
// it are released with 0. False for no window or another thread's window,
// each reported as a misuse (platform/caller_assert.h).
bool DestroyWindow(HWND window);
bool IsWindow(HWND window);

// The procedure's reply; 0 for no window.
LRESULT SendMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Whether the message being handled was sent by another thread.
bool InSendMessage();
// Answers the other thread's send now, so that it goes on while the
// handler still runs; false when no other thread is waiting on it.
bool ReplyMessage(LRESULT result);

// Queues a message for the thread that owns the window (for no window,
// the calling thread); false when the window does not exist.
bool PostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Queues a message without a window on the calling thread's queue.
void PostThreadMessage(UINT message, WPARAM wParam, LPARAM lParam);
// The same for another thread's queue; false when it has none.
bool PostThreadMessage(DWORD threadId, UINT message, WPARAM wParam, LPARAM lParam);
// WM_QUIT comes once nothing else is posted.
void PostQuitMessage(int exitCode);
DWORD GetCurrentThreadId();
DWORD GetWindowThreadProcessId(HWND window, DWORD* processId);

// The same number for the same name (ignoring case) for the life of the
// process; 0 for an empty name or when the range is used up.
UINT RegisterWindowMessage(const char* name);

// A timer of the calling thread, due every `elapse` milliseconds of the
// process clock; WM_TIMER comes only when nothing else is queued, the
// earliest due first. Setting a window's timer again restarts it. Without
// a window the answer is a fresh id. 0 for another thread's window.
UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT elapse, TIMERPROC proc);
bool KillTimer(HWND window, UINT_PTR id);

// Looks at the first queued message of the calling thread that matches the
// filter (window 0 matches all, kThreadMessagesOnly those without one; a
// range of 0, 0 matches every message), removing it with PM_REMOVE. Sent
// messages waiting are handled first. False when none is queued.
bool PeekMessage(MSG* msg, HWND window, UINT first, UINT last, UINT remove);
// Takes the first matching message, waiting for one (timers wait on the
// process clock); answers 0 for WM_QUIT and 1 otherwise.
int GetMessage(MSG* msg, HWND window, UINT first, UINT last);
// Waits until something arrives for the calling thread or a timer is due.
bool WaitMessage();
// The same, waiting no longer than the milliseconds on the process clock.
void WaitMessageFor(uint32_t milliseconds);
// Posts the WM_CHAR (WM_SYSCHAR after WM_SYSKEYDOWN) a key-down types
// through the keyboard layout, to be taken next: a double-byte CP932
// character as two, lead byte first. Answers whether it made any.
bool TranslateMessage(const MSG* msg);
// Hands a message to its window's procedure; 0 for a message without one.
LRESULT DispatchMessage(const MSG* msg);

// Empties the calling thread's queue and the input queue and forgets
// every window and every class registered by the program (the system's
// own classes stay); for tests.
void ResetWindowMessages();

}  // namespace platform
