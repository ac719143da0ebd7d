// Image lists as objects with an image size: what a list view is handed
// for its item pictures. They hold no pictures here.
#pragma once

#include <cstdint>

namespace platform {

struct ImageList;
using HIMAGELIST = ImageList*;

// nullptr for a size that is not positive.
HIMAGELIST ImageList_Create(int32_t width, int32_t height, uint32_t flags, int32_t initial,
                            int32_t grow);
bool ImageList_Destroy(HIMAGELIST list);
bool ImageList_GetIconSize(HIMAGELIST list, int32_t* width, int32_t* height);

}  // namespace platform
