// The face the system's own windows (message boxes, menus) write in, and
// the measure of CP932 text in a DC's font. Internal to the window system.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/gdi.h"

namespace platform {

// The Japanese proportional Gothic face of the desktop at the point size;
// where it is not installed, the first horizontal Shift-JIS face, else
// the first face; nullptr when there is none at all.
UniqueFont CreateUiFont(int32_t points);

// The width of CP932 text in the DC's font.
int32_t TextWidth(HDC dc, std::string_view text);

}  // namespace platform
