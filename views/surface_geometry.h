// What the display lines read of their editing surface: its window and
// engine, the view mode and zoom, the client size and the page metrics in
// pixels at the zoom. The surface keeps one of these and updates it; the
// display lines only read it.
#pragma once

#include <cstdint>

#include "engine/doc_style.h"
#include "platform/windef.h"
#include "platform/window_message.h"

class CVedWpCtrl;

// A page's sizes in pixels at the surface's zoom, the pitches in twips.
struct SurfacePageMetrics {
  int32_t paperWidth = 0;
  int32_t paperHeight = 0;
  platform::RECT textArea{};
  int32_t textWidth = 0;
  int32_t textHeight = 0;
  // Page view: the 5 mm between pages and around them; 0 in continuous view.
  int32_t gapX = 0;
  int32_t gapY = 0;
  // Continuous view: the least x and y origin (the text area's top, and
  // 5 mm left of its left edge); 0 in page view.
  int32_t offsetX = 0;
  int32_t offsetY = 0;
  int32_t charPitch = 0;
  int32_t linePitch = 0;
};

struct SurfaceGeometry {
  platform::HWND window = platform::kNoWindow;
  CVedWpCtrl* engine = nullptr;
  int32_t pageView = 1;  // nonzero: sheets with a gap; 0: continuous
  int32_t zoom = 1;
  int32_t clientWidth = 0;
  int32_t clientHeight = 0;
  SurfacePageMetrics page;
  // Nonzero: the caret is drawn two pixels wide (except on a table's rules).
  int32_t caretShape = 0;
};

// The page metrics of the style in force at zoom `zoom` on a device of
// `dpiX` by `dpiY` dots per inch.
SurfacePageMetrics ComputePageMetrics(const DocStyle& style, int32_t zoom, int32_t pageView,
                                      int32_t dpiX, int32_t dpiY);
