// A place on a page as the views and the undo records name it: the caret's
// line box in page twips (origin at the paper's top-left corner) and the
// 1-based page that holds it; page 0 means no place.
#pragma once

#include <cstdint>

#include "platform/windef.h"

struct CaretPoint {
  platform::RECT rect{};
  int32_t page = 0;
  bool operator==(const CaretPoint&) const = default;
};
