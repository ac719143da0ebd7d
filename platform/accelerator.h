// Accelerator tables: keys that stand for commands. TranslateAccelerator
// turns a key message that matches an entry into WM_COMMAND for the
// window (HIWORD(wParam) kCommandFromAccelerator, LOWORD the command,
// lParam 0), sent at once; the caller then neither translates nor
// dispatches the key.
#pragma once

#include <cstdint>

#include "platform/input.h"
#include "platform/window_message.h"

namespace platform {

using HACCEL = uint32_t;
inline constexpr HACCEL kNoAccelerators = 0;

// With FVIRTKEY the key is a virtual key matched on WM_KEYDOWN and
// WM_SYSKEYDOWN with exactly the Shift, Ctrl and Alt state the flags name
// (as GetKeyState answers it for the message); without, it is a
// character matched on WM_CHAR, or on WM_SYSCHAR with FALT.
inline constexpr BYTE FVIRTKEY = 0x01;
inline constexpr BYTE FNOINVERT = 0x02;
inline constexpr BYTE FSHIFT = 0x04;
inline constexpr BYTE FCONTROL = 0x08;
inline constexpr BYTE FALT = 0x10;

struct ACCEL {
  BYTE fVirt = 0;
  uint16_t key = 0;
  uint16_t cmd = 0;
};

// 0 for no entries.
HACCEL CreateAcceleratorTable(const ACCEL* entries, int count);
bool DestroyAcceleratorTable(HACCEL table);
// The first matching entry wins. Answers whether the message was one.
int TranslateAccelerator(HWND window, HACCEL table, const MSG* msg);

// Forgets every table; for tests.
void ResetAccelerators();

}  // namespace platform
