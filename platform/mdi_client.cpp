#include "platform/mdi_client.h"

#include "platform/input.h"
#include "platform/placement.h"

namespace platform {
namespace {

constexpr char kMdiClientClass[] = "MDIClient";
constexpr UINT kRaise = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;

// The client keeps its active child in its user data.
HWND ActiveChildOf(HWND client) {
  return static_cast<HWND>(GetWindowLongPtr(client, GWLP_USERDATA));
}

bool IsChildOf(HWND client, HWND child) {
  return child != kNoWindow && IsWindow(child) && GetParent(child) == client;
}

void Activate(HWND client, HWND child) {
  if (child != kNoWindow && !IsChildOf(client, child)) return;
  const HWND previous = ActiveChildOf(client);
  if (previous == child) return;
  SetWindowLongPtr(client, GWLP_USERDATA, static_cast<LONG_PTR>(child));
  if (child != kNoWindow) SetWindowPos(child, HWND_TOP, 0, 0, 0, 0, kRaise);
  const auto lost = static_cast<WPARAM>(previous);
  const auto gained = static_cast<LPARAM>(child);
  if (IsChildOf(client, previous)) SendMessage(previous, WM_MDIACTIVATE, lost, gained);
  if (child == kNoWindow) return;
  SendMessage(child, WM_MDIACTIVATE, lost, gained);
  // The keyboard follows only while the frame is the active window.
  if (GetActiveWindow() == GetAncestor(client, GA_ROOT)) SetFocus(child);
}

void ActivateNext(HWND client, HWND from, bool previous) {
  const HWND start = from != kNoWindow ? from : ActiveChildOf(client);
  if (!IsChildOf(client, start)) return;
  HWND target = GetWindow(start, previous ? GW_HWNDLAST : GW_HWNDNEXT);
  if (target == kNoWindow) target = GetWindow(start, GW_HWNDFIRST);
  if (target == start) return;
  Activate(client, target);
  if (!previous) SetWindowPos(start, HWND_BOTTOM, 0, 0, 0, 0, kRaise);
}

// The topmost child other than the one going.
HWND Successor(HWND client, HWND going) {
  for (HWND child = GetWindow(client, GW_CHILD); child != kNoWindow;
       child = GetWindow(child, GW_HWNDNEXT))
    if (child != going) return child;
  return kNoWindow;
}

// A maximised child fills the client.
void FillWithMaximized(HWND client) {
  RECT area;
  GetClientRect(client, &area);
  for (HWND child = GetWindow(client, GW_CHILD); child != kNoWindow;
       child = GetWindow(child, GW_HWNDNEXT))
    if (IsZoomed(child)) MoveWindow(child, 0, 0, area.Width(), area.Height(), true);
}

LRESULT MdiClientProc(HWND client, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_MDIACTIVATE:
      Activate(client, static_cast<HWND>(wParam));
      return 0;
    case WM_MDIGETACTIVE:
      return static_cast<LRESULT>(ActiveChildOf(client));
    case WM_MDINEXT:
      ActivateNext(client, static_cast<HWND>(wParam), lParam != 0);
      return 0;
    case WM_MDIDESTROY:
      if (IsChildOf(client, static_cast<HWND>(wParam))) DestroyWindow(static_cast<HWND>(wParam));
      return 0;
    case WM_SIZE:
      FillWithMaximized(client);
      return 0;
    case WM_SETFOCUS:
      if (const HWND active = ActiveChildOf(client); IsChildOf(client, active)) SetFocus(active);
      return 0;
    default:
      return DefWindowProc(client, message, wParam, lParam);
  }
}

}  // namespace

const char* MdiClientClass() {
  WNDCLASS windowClass;
  if (!GetClassInfo(kMdiClientClass, &windowClass)) {
    windowClass.lpfnWndProc = &MdiClientProc;
    windowClass.lpszClassName = kMdiClientClass;
    RegisterClass(windowClass);
  }
  return kMdiClientClass;
}

LRESULT DefMDIChildProc(HWND child, UINT message, WPARAM wParam, LPARAM lParam) {
  const HWND client = GetParent(child);
  switch (message) {
    case WM_CLOSE:
      SendMessage(client, WM_MDIDESTROY, static_cast<WPARAM>(child), 0);
      return 0;
    case WM_MOUSEACTIVATE:
      SendMessage(client, WM_MDIACTIVATE, static_cast<WPARAM>(child), 0);
      break;
    case WM_DESTROY:
      if (ActiveChildOf(client) == child) Activate(client, Successor(client, child));
      break;
    default:
      break;
  }
  return DefWindowProc(child, message, wParam, lParam);
}

}  // namespace platform
