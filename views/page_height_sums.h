// The continuous view's running totals of the pages' used heights, in
// unzoomed pixels, so that a scroll step need not ask the engine for every
// page above the view. The totals are read again from the engine after
// `Invalidate` (the surface calls it whenever the engine reports a change
// of content, a caret move or a load), and whenever the engine's page
// count, the engine itself or the device's resolution is not the one they
// were read with.
#pragma once

#include <cstdint>
#include <vector>

class CVedWpCtrl;

class PageHeightSums {
 public:
  void Invalidate() { valid_ = false; }

  // The pages of the engine's document, 0 without an engine.
  static int32_t PageCount(CVedWpCtrl* engine);
  // The used height of `page` in pixels of a `dpiY` device at `zoom`;
  // 0 for a page the engine does not have. Asked of the engine each time.
  static int32_t UsedHeight(CVedWpCtrl* engine, int32_t page, int32_t zoom, int32_t dpiY);

  // The unzoomed heights of the pages before `page` (1-based; below 1 or
  // past the last page as at the nearest end).
  int32_t Above(CVedWpCtrl* engine, int32_t dpiY, int32_t page);
  // The whole document's unzoomed height.
  int32_t Total(CVedWpCtrl* engine, int32_t dpiY);
  // The page that holds an unzoomed position (not below 0) and the offset
  // into it; the last page takes every position past the end. Page 0 when
  // the document has no page.
  struct Position {
    int32_t page = 0;
    int32_t offset = 0;
  };
  Position Find(CVedWpCtrl* engine, int32_t dpiY, int32_t position);

 private:
  // Reads the totals again when they may be stale.
  void Refresh(CVedWpCtrl* engine, int32_t dpiY);

  // sums_[k]: the first k pages together; sums_[0] is 0.
  std::vector<int32_t> sums_{0};
  CVedWpCtrl* engine_ = nullptr;
  int32_t dpiY_ = 0;
  bool valid_ = false;
};
