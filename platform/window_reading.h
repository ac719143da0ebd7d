// What our own windows tell the screen reader, as the outside reader
// would have found out for itself: the platform reads a window when the
// focus lands on it and a focused control when its value changes, and
// hands the CP932 text to the loaded reader module (SetWindowReader),
// which speaks it while its own speech switch is on.
//
// A reading says, in this order: the dialog's caption and "ダイアログ"
// when the focus comes into a dialog it was not in; then the control's
// label (its own text, or for a control without one the static text or
// group box before it), its kind, its state and its value. A value change
// says the value alone. Windows of classes that are no control (the
// program's own surfaces, which speak for themselves) are not read.
//
// A new control kind joins by its class name in the kind table of
// window_reading.cpp, with its value in ValueOf there, and calls
// ReportValueChanged itself whenever its value changes while it has the
// focus.
#pragma once

#include <string>
#include <string_view>

#include "platform/reader_module.h"
#include "platform/window_message.h"

namespace platform {

// The reader module's entry point, or null while no module is loaded.
void SetWindowReader(reader::ReadWindowFn reader);

// Called by SetFocus once the focus has stayed on `window` (kNoWindow
// when no window has it).
void ReportFocusMoved(HWND window);
// Called by a control whose value (its check, its text, a list's choice)
// changed while it had the focus.
void ReportValueChanged(HWND control);
// Called by an edit whose caret moved, the text unchanged, while it had
// the focus, with the character after the caret (empty at the end).
void ReportCaretMoved(HWND edit, std::string_view atCaret);

// The texts the reports hand over, for the reports and their tests.
std::string FocusReadingOf(HWND window, bool withCaption);
std::string ValueReadingOf(HWND control);

}  // namespace platform
