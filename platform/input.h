// Keyboard and mouse input. The back end (or a test) hands input in with
// keybd_event and mouse_event; it waits in the system input queue behind
// what came before, and becomes a message only when a thread takes it.
// Taking a key message updates that thread's key state, so GetKeyState
// answers for the message being handled, and runs the thread's keyboard
// hooks first, which may eat it. Focus, activation and capture belong to
// the process's one input queue.
#pragma once

#include <array>
#include <cstdint>

#include "platform/windef.h"
#include "platform/window_message.h"

namespace platform {

using BYTE = uint8_t;
using SHORT = int16_t;
using HHOOK = uintptr_t;
using HOOKPROC = LRESULT (*)(int, WPARAM, LPARAM);
using KeyboardState = std::array<BYTE, 256>;

inline constexpr UINT WM_SETFOCUS = 0x0007;
inline constexpr UINT WM_KILLFOCUS = 0x0008;
inline constexpr UINT WM_ACTIVATE = 0x0006;
inline constexpr UINT WM_ACTIVATEAPP = 0x001C;
inline constexpr UINT WM_SETCURSOR = 0x0020;
inline constexpr UINT WM_MOUSEACTIVATE = 0x0021;
inline constexpr UINT WM_SYSKEYDOWN = 0x0104;
inline constexpr UINT WM_SYSKEYUP = 0x0105;
inline constexpr UINT WM_SYSCHAR = 0x0106;
// lParam is the screen point, or (-1, -1) when asked from the keyboard.
inline constexpr UINT WM_CONTEXTMENU = 0x007B;
// A character from the input method: a double-byte one lead byte high.
inline constexpr UINT WM_IME_CHAR = 0x0286;
inline constexpr UINT WM_MOUSEMOVE = 0x0200;
inline constexpr UINT WM_LBUTTONUP = 0x0202;
inline constexpr UINT WM_LBUTTONDBLCLK = 0x0203;
inline constexpr UINT WM_RBUTTONUP = 0x0205;
inline constexpr UINT WM_RBUTTONDBLCLK = 0x0206;
inline constexpr UINT WM_MOUSEWHEEL = 0x020A;
inline constexpr UINT WM_CAPTURECHANGED = 0x0215;
inline constexpr UINT WM_KEYFIRST = WM_KEYDOWN;
inline constexpr UINT WM_KEYLAST = 0x0109;
inline constexpr UINT WM_MOUSEFIRST = WM_MOUSEMOVE;
inline constexpr UINT WM_MOUSELAST = 0x020D;

inline constexpr WPARAM WA_INACTIVE = 0;
inline constexpr WPARAM WA_ACTIVE = 1;
inline constexpr WPARAM WA_CLICKACTIVE = 2;

inline constexpr LRESULT MA_ACTIVATE = 1;
inline constexpr LRESULT MA_ACTIVATEANDEAT = 2;
inline constexpr LRESULT MA_NOACTIVATE = 3;
inline constexpr LRESULT MA_NOACTIVATEANDEAT = 4;
inline constexpr int HTCLIENT = 1;

inline constexpr WPARAM MK_LBUTTON = 0x0001;
inline constexpr WPARAM MK_RBUTTON = 0x0002;
inline constexpr WPARAM MK_SHIFT = 0x0004;
inline constexpr WPARAM MK_CONTROL = 0x0008;

inline constexpr BYTE VK_LBUTTON = 0x01;
inline constexpr BYTE VK_RBUTTON = 0x02;
inline constexpr BYTE VK_BACK = 0x08;
inline constexpr BYTE VK_TAB = 0x09;
inline constexpr BYTE VK_CLEAR = 0x0C;
inline constexpr BYTE VK_RETURN = 0x0D;
inline constexpr BYTE VK_SHIFT = 0x10;
inline constexpr BYTE VK_CONTROL = 0x11;
inline constexpr BYTE VK_MENU = 0x12;
inline constexpr BYTE VK_PAUSE = 0x13;
inline constexpr BYTE VK_CAPITAL = 0x14;
inline constexpr BYTE VK_KANA = 0x15;
inline constexpr BYTE VK_KANJI = 0x19;
inline constexpr BYTE VK_ESCAPE = 0x1B;
inline constexpr BYTE VK_CONVERT = 0x1C;
inline constexpr BYTE VK_NONCONVERT = 0x1D;
inline constexpr BYTE VK_SPACE = 0x20;
inline constexpr BYTE VK_PRIOR = 0x21;
inline constexpr BYTE VK_NEXT = 0x22;
inline constexpr BYTE VK_END = 0x23;
inline constexpr BYTE VK_HOME = 0x24;
inline constexpr BYTE VK_LEFT = 0x25;
inline constexpr BYTE VK_UP = 0x26;
inline constexpr BYTE VK_RIGHT = 0x27;
inline constexpr BYTE VK_DOWN = 0x28;
inline constexpr BYTE VK_SNAPSHOT = 0x2C;
inline constexpr BYTE VK_INSERT = 0x2D;
inline constexpr BYTE VK_DELETE = 0x2E;
inline constexpr BYTE VK_LWIN = 0x5B;
inline constexpr BYTE VK_RWIN = 0x5C;
inline constexpr BYTE VK_APPS = 0x5D;
inline constexpr BYTE VK_NUMPAD0 = 0x60;
inline constexpr BYTE VK_MULTIPLY = 0x6A;
inline constexpr BYTE VK_ADD = 0x6B;
inline constexpr BYTE VK_SEPARATOR = 0x6C;
inline constexpr BYTE VK_SUBTRACT = 0x6D;
inline constexpr BYTE VK_DECIMAL = 0x6E;
inline constexpr BYTE VK_DIVIDE = 0x6F;
inline constexpr BYTE VK_F1 = 0x70;
inline constexpr BYTE VK_F10 = 0x79;
inline constexpr BYTE VK_F24 = 0x87;
inline constexpr BYTE VK_NUMLOCK = 0x90;
inline constexpr BYTE VK_SCROLL = 0x91;
inline constexpr BYTE VK_OEM_1 = 0xBA;
inline constexpr BYTE VK_OEM_PLUS = 0xBB;
inline constexpr BYTE VK_OEM_COMMA = 0xBC;
inline constexpr BYTE VK_OEM_MINUS = 0xBD;
inline constexpr BYTE VK_OEM_PERIOD = 0xBE;
inline constexpr BYTE VK_OEM_2 = 0xBF;
inline constexpr BYTE VK_OEM_3 = 0xC0;
inline constexpr BYTE VK_OEM_4 = 0xDB;
inline constexpr BYTE VK_OEM_5 = 0xDC;
inline constexpr BYTE VK_OEM_6 = 0xDD;
inline constexpr BYTE VK_OEM_7 = 0xDE;
inline constexpr BYTE VK_OEM_102 = 0xE2;
// A character handed in whole; its UTF-16 unit rides in the scan code.
inline constexpr BYTE VK_PACKET = 0xE7;

inline constexpr DWORD KEYEVENTF_EXTENDEDKEY = 0x0001;
inline constexpr DWORD KEYEVENTF_KEYUP = 0x0002;
inline constexpr DWORD KEYEVENTF_UNICODE = 0x0004;

inline constexpr DWORD MOUSEEVENTF_MOVE = 0x0001;
inline constexpr DWORD MOUSEEVENTF_LEFTDOWN = 0x0002;
inline constexpr DWORD MOUSEEVENTF_LEFTUP = 0x0004;
inline constexpr DWORD MOUSEEVENTF_RIGHTDOWN = 0x0008;
inline constexpr DWORD MOUSEEVENTF_RIGHTUP = 0x0010;
inline constexpr DWORD MOUSEEVENTF_WHEEL = 0x0800;
// With it, x and y are a screen position in pixels; without, a move by
// that much from the cursor.
inline constexpr DWORD MOUSEEVENTF_ABSOLUTE = 0x8000;

inline constexpr int WH_KEYBOARD = 2;
inline constexpr int HC_ACTION = 0;

// The bits of a key message's lParam.
inline constexpr LPARAM kKeyRepeatOne = 1;
inline constexpr int kKeyScanShift = 16;
inline constexpr LPARAM kKeyExtended = LPARAM{1} << 24;
inline constexpr LPARAM kKeyAltDown = LPARAM{1} << 29;
inline constexpr LPARAM kKeyWasDown = LPARAM{1} << 30;
inline constexpr LPARAM kKeyReleased = LPARAM{1} << 31;

// ---- Handing input in ---------------------------------------------------------

void keybd_event(BYTE vk, BYTE scan, DWORD flags, uintptr_t extraInfo);
// A UTF-16 unit typed as a VK_PACKET key (down and up).
void TypeCharacter(uint16_t unit);
void mouse_event(DWORD flags, int32_t x, int32_t y, int32_t wheelDelta, uintptr_t extraInfo);

// ---- Key state --------------------------------------------------------------------

// High bit: down when the message being handled was taken; low bit: toggled.
SHORT GetKeyState(int vk);
bool GetKeyboardState(KeyboardState* state);
bool SetKeyboardState(const KeyboardState& state);
// As the input handed in so far has left the key, not yet taken.
SHORT GetAsyncKeyState(int vk);

enum class KeyboardLayout { kUs, kJp106 };
// The layout TranslateMessage types through; jp106 unless set.
void SetKeyboardLayout(KeyboardLayout layout);

// ---- Hooks ----------------------------------------------------------------------------

// A hook of the calling thread; only WH_KEYBOARD is offered. It sees each
// key message as it is taken (wParam the key, lParam the message's) and
// eats it by answering non-zero. The newest hook runs first.
HHOOK SetWindowsHookEx(int kind, HOOKPROC proc, uintptr_t module, DWORD threadId);
bool UnhookWindowsHookEx(HHOOK hook);
LRESULT CallNextHookEx(HHOOK hook, int code, WPARAM wParam, LPARAM lParam);

// ---- Focus, activation, capture ------------------------------------------------------------

// Activates the window's top-level window first; answers the old focus.
HWND SetFocus(HWND window);
HWND GetFocus();
HWND SetActiveWindow(HWND window);
HWND GetActiveWindow();
bool SetForegroundWindow(HWND window);
HWND SetCapture(HWND window);
bool ReleaseCapture();
HWND GetCapture();

bool GetCursorPos(POINT* point);
bool SetCursorPos(int32_t x, int32_t y);
UINT GetDoubleClickTime();

// Forgets input, key state, hooks, focus, activation and capture; for tests.
void ResetInput();

}  // namespace platform
