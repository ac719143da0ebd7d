#include "views/selection_regions.h"

#include "engine/wp_commands.h"
#include "engine/wp_ctrl.h"
#include "platform/muldiv.h"

namespace {

constexpr int32_t kTwipsPerInch = 1440;

}  // namespace

void SelectionRegionSet::Build(CVedWpCtrl& engine, const std::vector<DisplayLine>& lines,
                               int32_t zoom, int32_t dpiX, int32_t dpiY) {
  pages_.clear();
  if (engine.EditCommand(WPC_HAS_SELECTION, 0, 0) == 0) return;
  for (const DisplayLine& line : lines) {
    const platform::RECT* rects = nullptr;
    const int count = engine.DisplayCommand(WPC_GET_CARET_RECTS, line.page, &rects);
    if (count <= 0 || rects == nullptr) continue;
    platform::Region region;
    for (int i = 0; i < count; ++i) {
      const platform::RECT& twips = rects[i];
      const platform::RECT pixels{platform::MulDiv(zoom * twips.left, dpiX, kTwipsPerInch),
                                  platform::MulDiv(zoom * twips.top, dpiY, kTwipsPerInch),
                                  platform::MulDiv(zoom * twips.right, dpiX, kTwipsPerInch),
                                  platform::MulDiv(zoom * twips.bottom, dpiY, kTwipsPerInch)};
      platform::RECT shown = platform::IntersectionOf(pixels, line.visible);
      if (shown.IsEmpty()) continue;
      ++shown.right;
      ++shown.bottom;
      region.Combine(platform::Region(shown), platform::Region::Operation::kOr);
    }
    if (!region.IsEmpty()) pages_.push_back({line.page, std::move(region)});
  }
}

const platform::Region* SelectionRegionSet::Find(int32_t page) const {
  for (const PageRegion& entry : pages_) {
    if (entry.page == page) return &entry.region;
  }
  return nullptr;
}

void SelectionRegionSet::AddInWindow(platform::Region& into,
                                     const std::vector<DisplayLine>& lines) const {
  for (const DisplayLine& line : lines) {
    const platform::Region* found = Find(line.page);
    if (found == nullptr) continue;
    platform::Region moved = *found;
    moved.Offset(-line.xOrigin, -line.yOrigin);
    into.Combine(moved, platform::Region::Operation::kOr);
  }
}
