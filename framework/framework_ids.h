// The commands the framework's own classes answer.
#pragma once

#include "platform/window_message.h"

namespace framework {

// The document's file commands: close (asking to save first), save under
// its own name, save under a new one.
inline constexpr platform::UINT ID_FILE_CLOSE = 57602;
inline constexpr platform::UINT ID_FILE_SAVE = 57603;
inline constexpr platform::UINT ID_FILE_SAVE_AS = 57604;

// The standard editing commands a view answers.
inline constexpr platform::UINT ID_EDIT_COPY = 57634;
inline constexpr platform::UINT ID_EDIT_CUT = 57635;
inline constexpr platform::UINT ID_EDIT_PASTE = 57637;

// The id of the pane a frame fills what its bars leave with: the view,
// or an MDI frame's client.
inline constexpr platform::UINT AFX_IDW_PANE_FIRST = 0xE900;

}  // namespace framework
