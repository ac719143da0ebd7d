#include "platform/image_list.h"

namespace platform {

struct ImageList {
  int32_t width = 0;
  int32_t height = 0;
};

HIMAGELIST ImageList_Create(int32_t width, int32_t height, uint32_t, int32_t, int32_t) {
  if (width <= 0 || height <= 0) return nullptr;
  return new ImageList{width, height};
}

bool ImageList_Destroy(HIMAGELIST list) {
  if (list == nullptr) return false;
  delete list;
  return true;
}

bool ImageList_GetIconSize(HIMAGELIST list, int32_t* width, int32_t* height) {
  if (list == nullptr || width == nullptr || height == nullptr) return false;
  *width = list->width;
  *height = list->height;
  return true;
}

}  // namespace platform
