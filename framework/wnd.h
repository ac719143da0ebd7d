// The window object. A CWnd is attached to one window handle through the
// thread's permanent map; every message of an attached window goes through
// FrameworkWndProc to the object's WindowProc, which runs the handler its
// message map lists and otherwise DefWindowProc (for a subclassed window,
// the procedure it had before).
//
// Creation attaches the object before the window's first message, so its
// map sees WM_NCCREATE and WM_CREATE, whatever the window's class: a
// window of another class (a system control) has FrameworkWndProc put in
// front of its own procedure at that moment. A handler listed for
// WM_NCCREATE or WM_NCDESTROY runs before the procedure behind the object,
// which still keeps the window's text and a control's state; a handler
// answering false to WM_NCCREATE fails the creation.
//
// After WM_NCDESTROY the object is detached (the application's main
// window is no longer its main window, and the program's message loop is
// told to end) and PostNcDestroy runs; a
// class that lives on the heap for its window's lifetime deletes itself
// there.
//
// Notifications a control sends its parent (WM_COMMAND with a control,
// WM_NOTIFY, WM_DRAWITEM, WM_MEASUREITEM, WM_DELETEITEM, WM_CTLCOLOR*)
// are first offered to the control's own object through its reflected
// entries; only what it leaves is handled by the parent.
#pragma once

#include <string>

#include "framework/cmd_target.h"
#include "framework/cstring.h"
#include "framework/message_decoders.h"
#include "platform/window.h"

namespace framework {

using platform::DWORD;
using platform::MSG;
using platform::WNDPROC;

// The procedure of every window class whose windows have objects.
LRESULT FrameworkWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// The framework's default window class (registered on first use).
const char* FrameworkWindowClass();

class CFrameWnd;
class CMenu;

class CWnd : public CCmdTarget {
  DECLARE_DYNCREATE(CWnd)
  DECLARE_MESSAGE_MAP()

 public:
  CWnd() = default;
  // A window still attached is destroyed with its object.
  ~CWnd() override;
  CWnd(const CWnd&) = delete;
  CWnd& operator=(const CWnd&) = delete;

  HWND GetSafeHwnd() const { return m_hWnd; }

  // The window's permanent object, else a temporary one kept until
  // DeleteTempMap; null for no window.
  static CWnd* FromHandle(HWND window);
  // Only a permanent object, else null.
  static CWnd* FromHandlePermanent(HWND window);
  // Deletes the temporary objects FromHandle made.
  static void DeleteTempMap();

  // False when this object has a window already, the handle is no window,
  // or the window has an object already (it is never taken over).
  bool Attach(HWND window);
  // Leaves the window without an object; answers it.
  HWND Detach();

  // May change the class, styles, size and position before creation.
  virtual bool PreCreateWindow(CREATESTRUCT& cs);
  bool CreateEx(DWORD exStyle, const char* className, const char* windowName, DWORD style,
                const RECT& rect, CWnd* parent, UINT id, void* createParams = nullptr);
  // A child window.
  virtual bool Create(const char* className, const char* windowName, DWORD style, const RECT& rect,
                      CWnd* parent, UINT id);
  // Virtual so that a window with a shutdown of its own (the main frame)
  // runs it whoever destroys it through its object.
  virtual bool DestroyWindow();

  // Attaches to an existing window and puts FrameworkWndProc in front of
  // its procedure, which DefWindowProc then calls.
  bool SubclassWindow(HWND window);
  // Puts the previous procedure back and detaches; kNoWindow when another
  // procedure was put in front since (it would be lost).
  HWND UnsubclassWindow();

  virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  // True when the message was handled and goes no further. It may be
  // changed in place for whoever handles it next.
  virtual bool PreTranslateMessage(MSG* msg);

  // The map lookup WindowProc runs; false when nothing handled it.
  bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);

  LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
  bool PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

  CWnd* GetParent() const;
  // The nearest frame among the window's ancestors; null when none is.
  CFrameWnd* GetParentFrame() const;
  // The menu bar's object (temporary unless one is attached); null for none.
  CMenu* GetMenu() const;
  // Null takes the bar away. The menu stays its object's while the
  // window shows it, but a window destroyed with a menu destroys it: take
  // it back first, or detach the object.
  bool SetMenu(CMenu* menu);
  bool DrawMenuBar();
  CWnd* GetDlgItem(int id) const;
  int GetDlgCtrlID() const;
  DWORD GetStyle() const;
  bool ShowWindow(int command);
  void GetClientRect(RECT* rect) const;
  void Invalidate(bool erase = true);
  void UpdateWindow();
  void SetWindowText(const char* text);
  CString GetWindowText() const;

  HWND m_hWnd = platform::kNoWindow;

 protected:
  // WM_COMMAND: a control's notification is offered to the control first;
  // a command then goes through RouteCommand, whose update-handler gate
  // may drop it, a notification to OnCmdMsg. True when it was handled.
  virtual bool OnCommand(WPARAM wParam, LPARAM lParam);
  // WM_NOTIFY, offered to the sending control first.
  virtual bool OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result);
  // A notification this control sent, handed back by its parent.
  virtual bool OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
  // Runs the reflected entries of this object's map.
  bool ReflectChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
  // After the window is gone and the object detached.
  virtual void PostNcDestroy();
  // Run by a creation hook before the window's first message: attaches
  // this object and puts FrameworkWndProc in front of the window's class
  // procedure. For windows made by another creator than CreateEx (a
  // dialog's, made from its template).
  void AttachForCreation(HWND window);

 private:
  friend LRESULT FrameworkWndProc(HWND, UINT, WPARAM, LPARAM);

  // The control a notification is about, kNoWindow when none.
  HWND ReflectionSource(UINT message, WPARAM wParam, LPARAM lParam) const;
  bool ReflectToControl(HWND control, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
  void AttachNew(HWND window);
  void FinishNcDestroy();

  // The procedure a subclassed window had; null for a window of a
  // framework class.
  WNDPROC m_pfnSuper = nullptr;
};

// Runs PreTranslateMessage for the object of the message's window, then
// for each parent's up to and including `stop` (none: up to the top-level
// window). True when one of them handled it; each sees what the ones
// before left in `msg`.
bool WalkPreTranslateTree(HWND stop, MSG* msg);

}  // namespace framework
