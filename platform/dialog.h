// Dialog boxes from code-declared templates (platform/dialog_template.h)
// and their keyboard interface.
//
// A dialog is a top-level window of the dialog class whose controls are
// made from its template's rows, in order, each given the dialog's font
// (WM_SETFONT) before WM_INITDIALOG. The dialog procedure sees every
// message first; a nonzero answer is the message's result, zero leaves
// it to the dialog's own handling: WM_CLOSE becomes IDCANCEL while the
// system menu's SC_CLOSE is enabled, DM_GETDEFID and DM_SETDEFID keep the
// default push button (and its style), WM_NEXTDLGCTL moves the focus,
// WM_CTLCOLOR* answer the system colours.
//
// A modal dialog (DialogBoxParam) runs in the one nested loop with its
// owner disabled until EndDialog. In a batch run, and where neither a
// display nor an idle hook (a test script) could answer it, its default
// button is pressed at once and its caption goes to standard error.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "platform/menu.h"
#include "platform/message_box.h"
#include "platform/window.h"

namespace platform {

inline constexpr char kDialogClass[] = "#32770";

using DLGPROC = intptr_t (*)(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// lParam the caller's parameter; TRUE gives the focus to the first tab stop.
inline constexpr UINT WM_INITDIALOG = 0x0110;
// wParam a control (LOWORD(lParam) nonzero) or, with LOWORD(lParam) zero,
// 0 for the next tab stop and 1 for the previous one.
inline constexpr UINT WM_NEXTDLGCTL = 0x0028;
// Answers MAKELONG(id, DC_HASDEFID), 0 while there is no default button.
inline constexpr UINT DM_GETDEFID = WM_USER + 0;
// wParam the new default button's id.
inline constexpr UINT DM_SETDEFID = WM_USER + 1;
inline constexpr LRESULT DC_HASDEFID = 0x534B;

// The system menu's close item; only its enabled state is kept.
inline constexpr UINT SC_CLOSE = 0xF060;

// A modal dialog of the registered template: answers EndDialog's result,
// -1 when there is no such template or the dialog could not be made, 0
// when it ended without EndDialog (WM_QUIT, a script that gave up).
intptr_t DialogBoxParam(int32_t templateId, HWND owner, DLGPROC proc, LPARAM param);
inline intptr_t DialogBox(int32_t templateId, HWND owner, DLGPROC proc) {
  return DialogBoxParam(templateId, owner, proc, 0);
}
// A modeless dialog, shown when its template style has WS_VISIBLE or the
// caller shows it; kNoWindow when it could not be made.
HWND CreateDialogParam(int32_t templateId, HWND owner, DLGPROC proc, LPARAM param);
inline HWND CreateDialog(int32_t templateId, HWND owner, DLGPROC proc) {
  return CreateDialogParam(templateId, owner, proc, 0);
}
// Runs a dialog made by CreateDialogParam as a modal one: shows it,
// disables its owner and runs the nested loop until EndDialog, each
// message first offered to `filter` (IsDialogMessage when empty); then
// destroys it and answers its result as DialogBoxParam does.
intptr_t RunModalDialog(HWND dialog, const std::function<bool(MSG*)>& filter);
// Ends a modal dialog with `result` once its handler returns.
bool EndDialog(HWND dialog, intptr_t result);
// The template id and caption of the dialog, 0 for a window that is none.
int32_t DialogTemplateIdOf(HWND window);
bool IsDialog(HWND window);

// Keyboard navigation for the dialog's windows: true when the message was
// for one of them, and then it is handled (translated and dispatched
// where it is no navigation key).
bool IsDialogMessage(HWND dialog, MSG* msg);

// The next (or previous) visible, enabled WS_TABSTOP control after
// `control`, round the dialog; `control` kNoWindow starts at the ends.
HWND GetNextDlgTabItem(HWND dialog, HWND control, bool previous);
// The next (or previous) visible, enabled control of `control`'s WS_GROUP
// group, round the group.
HWND GetNextDlgGroupItem(HWND dialog, HWND control, bool previous);

// Dialog-unit rectangle to pixels, through the dialog's font.
bool MapDialogRect(HWND dialog, RECT* rect);

LRESULT SendDlgItemMessage(HWND dialog, int32_t id, UINT message, WPARAM wParam, LPARAM lParam);
bool SetDlgItemText(HWND dialog, int32_t id, const char* text);
// Copies at most `size` bytes with the NUL, never half a character;
// answers the bytes without the NUL.
uint32_t GetDlgItemText(HWND dialog, int32_t id, char* buffer, int32_t size);
bool SetDlgItemInt(HWND dialog, int32_t id, uint32_t value, bool isSigned);
// The control's text as a decimal number (blanks around it allowed, a
// minus only when signed); 0 with `*translated` false when it is none or
// out of range.
uint32_t GetDlgItemInt(HWND dialog, int32_t id, bool* translated, bool isSigned);
bool CheckDlgButton(HWND dialog, int32_t id, UINT check);
UINT IsDlgButtonChecked(HWND dialog, int32_t id);
// Checks `check` and unchecks the other buttons from `first` to `last`.
bool CheckRadioButton(HWND dialog, int32_t first, int32_t last, int32_t check);

// A dialog's system menu, whose SC_CLOSE item may be enabled and grayed
// (EnableMenuItem); kNoMenu for a window that is no dialog.
HMENU GetSystemMenu(HWND window, bool revert);

}  // namespace platform
