// The system message box: a modal top-level window of its own class
// showing a text, an optional icon mark and a row of push buttons drawn in
// the box itself. While it runs, through the one nested loop, its owner
// is disabled; afterwards the owner is enabled and activated again.
//
// The box is keyboard driven: Tab, Shift+Tab and the arrow keys move the
// current (default) button, Enter and Space choose it, the mnemonic keys
// Y and N choose Yes and No, and Esc answers where the buttons have a
// cancelling answer (Cancel, or OK when it stands alone). A click on a
// button chooses it too. WM_COMMAND with one of its buttons' ids (or
// IDCANCEL where Esc answers) ends the box with that answer, which is how
// a test script answers it (MessageDriver::AnswerDialog by its caption).
//
// In a batch run (platform/batch_run.h), and where there is neither a
// display nor an idle hook (a script) to answer, no box is shown: the
// default button answers at once and the caption and text go to standard
// error.
#pragma once

#include "platform/sound.h"
#include "platform/window_message.h"

namespace platform {

// The button sets, in the low four bits of the type.
inline constexpr UINT MB_OKCANCEL = 0x01;
inline constexpr UINT MB_YESNOCANCEL = 0x03;
inline constexpr UINT MB_YESNO = 0x04;
inline constexpr UINT MB_TYPEMASK = 0x0F;

// The icons, in the next four bits; MessageBeep takes the same values.
inline constexpr UINT MB_ICONSTOP = MB_ICONHAND;
inline constexpr UINT MB_ICONERROR = MB_ICONHAND;
inline constexpr UINT MB_ICONWARNING = MB_ICONEXCLAMATION;
inline constexpr UINT MB_ICONINFORMATION = MB_ICONASTERISK;
inline constexpr UINT MB_ICONMASK = 0xF0;

// Which button is the default at first; one the set does not have stands for the first.
inline constexpr UINT MB_DEFBUTTON1 = 0x000;
inline constexpr UINT MB_DEFBUTTON2 = 0x100;
inline constexpr UINT MB_DEFBUTTON3 = 0x200;
inline constexpr UINT MB_DEFMASK = 0xF00;

// The answers.
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;

inline constexpr char kMessageBoxClass[] = "MessageBoxWindow";

// Text and caption are CP932; no caption shows "エラー". The owner (a
// child stands for its top-level window) may be none. Answers the chosen
// button's id; 0 for a button set it does not know, or when the box ended
// without an answer (WM_QUIT, a script that gave up, the box destroyed).
int MessageBox(HWND owner, const char* text, const char* caption, UINT type);
inline int MessageBoxA(HWND owner, const char* text, const char* caption, UINT type) {
  return MessageBox(owner, text, caption, type);
}

}  // namespace platform
