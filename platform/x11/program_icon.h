// The program's icon as the window manager takes it (_NET_WM_ICON): there
// are no icon resources, so it is drawn here, a sheet of paper with lines
// of text, at the small and the large icon size.
#pragma once

#include <cstdint>
#include <vector>

namespace platform::x11 {

// Rows of ARGB pixels, top row first, straight (not premultiplied) alpha.
std::vector<uint32_t> ProgramIconPixels(int32_t side);

// Each size as its width, its height and its pixels, one after the other.
std::vector<uint32_t> ProgramIconProperty();

}  // namespace platform::x11
