// The status bar control: windows of the system class "msctls_statusbar32",
// a strip along the bottom of its parent with texts in parts, or in simple
// mode one text over its whole width. It places itself when made and on
// every WM_SIZE its parent hands on to it, whatever rectangle it is given.
#pragma once

#include <cstdint>

#include "platform/windef.h"
#include "platform/window_message.h"

namespace platform {

inline constexpr char kStatusBarClass[] = "msctls_statusbar32";

// wParam: the part's index in the low byte (SB_SIMPLEID for the simple
// mode's text); lParam the CP932 text. Answers TRUE, FALSE for an index
// past the parts.
inline constexpr UINT SB_SETTEXT = WM_USER + 1;
// wParam the part's index, lParam a buffer large enough for the text;
// answers the text's length in the low word.
inline constexpr UINT SB_GETTEXT = WM_USER + 2;
inline constexpr UINT SB_GETTEXTLENGTH = WM_USER + 3;
// wParam the number of parts (1 to kMaxStatusParts), lParam that many
// right edges in client coordinates, -1 for one that reaches the right
// end. The texts of parts that stay are kept.
inline constexpr UINT SB_SETPARTS = WM_USER + 4;
// wParam how many right edges the buffer in lParam takes (it may be
// null); answers the number of parts.
inline constexpr UINT SB_GETPARTS = WM_USER + 6;
// wParam TRUE shows the simple text, FALSE the parts again.
inline constexpr UINT SB_SIMPLE = WM_USER + 9;

inline constexpr WPARAM SB_SIMPLEID = 0xFF;
inline constexpr int kMaxStatusParts = 256;

}  // namespace platform
