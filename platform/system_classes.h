// The window classes every process has from the start. They cannot be
// unregistered, and a reset of the window system keeps them. Internal to
// the window system.
#pragma once

#include <vector>

#include "platform/window.h"

namespace platform {

LRESULT EditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT ScrollBarProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT MessageBoxProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT PopupMenuProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT MenuBarProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// The dialog controls: each keeps its state in a ControlStates map
// (platform/control_state.h) and is listed in SystemClasses.
LRESULT ButtonProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT StaticProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT ListBoxProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT ComboBoxProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT ComboListProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT ListViewProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT UpDownProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT StatusBarProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

std::vector<WNDCLASS> SystemClasses();

}  // namespace platform
