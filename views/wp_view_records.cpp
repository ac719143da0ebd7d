#include "views/wp_view_records.h"

#include "platform/system_info.h"

ColourRecord DefaultViewColours() {
  ColourRecord record;
  record.display.background = platform::GetSysColor(platform::COLOR_WINDOW);
  record.display.text = platform::GetSysColor(platform::COLOR_WINDOWTEXT);
  record.display.third = platform::GetSysColor(platform::COLOR_3DLIGHT);
  record.display.zoom = 1;
  record.display.further = 0;
  record.display.flag = 0;
  record.display.minchoAsGothic = 0;
  record.display.marks = 1;
  record.screenSuppression = 0;
  return record;
}

DisplayOptionsRecord DefaultViewDisplayOptions() {
  return DisplayOptionsRecord{{1, 0, 1, 0, 0}, 5};
}

int32_t LayoutFlagFor(int32_t pageView, int32_t zoom) { return zoom <= 1 && pageView != 0 ? 0 : 1; }
