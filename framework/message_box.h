// The program's message boxes: the system box owned by the main window,
// with the application's name as its caption. In a batch run, or headless
// with no script to answer, the box answers its default button.
#pragma once

#include "platform/message_box.h"

namespace framework {

using platform::UINT;

// Answers the chosen button (IDOK, IDYES …).
int AfxMessageBox(const char* text, UINT type = platform::MB_OK);
// The text is the string table's; a string that is not there shows an
// empty text.
int AfxMessageBox(UINT stringId, UINT type = platform::MB_OK);

}  // namespace framework
