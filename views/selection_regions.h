// The selection as the editing surface inverts it: for each visible page
// that shows part of the selection, the page number and a region in that
// page's pixels, made from the engine's selection rectangles. Rebuilt
// after every caret move, scroll and re-layout.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/region.h"
#include "views/display_lines.h"

class CVedWpCtrl;

class SelectionRegionSet {
 public:
  struct PageRegion {
    int32_t page = 0;
    platform::Region region;  // page pixels at the zoom
  };

  // The engine's rectangles of each page in `lines`, cut to the part that
  // shows and one pixel wider and taller; nothing without a selection.
  void Build(CVedWpCtrl& engine, const std::vector<DisplayLine>& lines, int32_t zoom, int32_t dpiX,
             int32_t dpiY);
  void Clear() { pages_.clear(); }
  bool IsEmpty() const { return pages_.empty(); }
  const std::vector<PageRegion>& Pages() const { return pages_; }
  // The region of a page, null when the page holds none of the selection.
  const platform::Region* Find(int32_t page) const;
  // Adds, in window pixels, the parts whose pages show in `lines`.
  void AddInWindow(platform::Region& into, const std::vector<DisplayLine>& lines) const;

 private:
  std::vector<PageRegion> pages_;
};
