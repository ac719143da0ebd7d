// What a frame is loaded with: its menu, its accelerator table and its
// title. The handles stay the caller's; the frame only uses them.
#pragma once

#include "framework/cstring.h"
#include "platform/accelerator.h"
#include "platform/menu.h"

namespace framework {

struct FrameResources {
  platform::HMENU menu = platform::kNoMenu;
  platform::HACCEL accelerators = platform::kNoAccelerators;
  CString title;
};

}  // namespace framework
