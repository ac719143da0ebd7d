// The list a combo box drops down or shows below its field: a list box of
// the class "ComboLBox" whose parent (or, dropped down, owner) is the
// combo box. It tells the combo box everything and takes no focus; its
// owner-drawn items are the combo box's, measured and drawn by the combo
// box's parent. Internal to the window system.
#pragma once

#include "platform/windef.h"
#include "platform/window_message.h"

namespace platform {

inline constexpr char kComboListClass[] = "ComboLBox";

// The pointer was released over an item of the list: the user picked it.
inline constexpr UINT kComboListPicked = 0x0100;

}  // namespace platform
