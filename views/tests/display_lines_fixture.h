// A real engine document of three pages (two full pages of twenty lines,
// a third of five) over the synthetic fixed-pitch face, shown through a
// display-line list on a 96-dpi device.
//
// The numbers the tests expect, at zoom 1: the paper is 794 by 1123
// pixels, the page gap 19 (a slot of 1142), the text area's top-left
// corner (76, 113); continuous view starts at x 57 and y 113; a full page
// uses 467 pixels, the third 117; a line pitch is 23 pixels and ten
// character pitches 87.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "engine/tests/wp_ctrl_fixture.h"
#include "platform/gdi.h"
#include "views/display_lines.h"
#include "views/surface_geometry.h"

namespace views_test {

inline constexpr int32_t kDpi = 96;
// At 96 dpi one pixel is 15 twips.
inline constexpr int32_t kTwipsPerPixel = 15;
inline constexpr int32_t kFullPageLines = 20;
inline constexpr int32_t kLastPageLines = 5;
inline constexpr int32_t kPageCount = 3;

inline constexpr int32_t kPageView = 1;
inline constexpr int32_t kContinuous = 0;

// A caret record whose pixel rectangle at zoom 1 is `pixels`.
inline CaretPoint CaretAt(int32_t page, platform::RECT pixels) {
  return {{pixels.left * kTwipsPerPixel, pixels.top * kTwipsPerPixel, pixels.right * kTwipsPerPixel,
           pixels.bottom * kTwipsPerPixel},
          page};
}

class DisplayLinesTest : public doc_root_test::WpCtrlFixture {
 protected:
  DisplayLinesTest() : dc(platform::CreateImageDC(8, 8, kDpi, kDpi)) {
    const std::string wide = "\x82\xA0";  // あ
    std::string text;
    for (int i = 0; i < (2 * kFullPageLines + kLastPageLines) * doc_root_test::kStyleCharsPerLine;
         ++i) {
      text += wide;
    }
    Type(text.c_str());
    EXPECT_EQ(engine.EditCommand(WPC_GET_PAGE_COUNT, 0, 0), kPageCount);
    Show(kPageView, 1, 600, 400);
  }

  // Sets the surface's view mode, zoom and client size, with the page
  // metrics of the style in force.
  void Show(int32_t pageView, int32_t zoom, int32_t width, int32_t height) {
    DocStyle style;
    engine.StyleCommand(WPC_GET_APPLIED_DOCSTYLE, nullptr, &style);
    surface.window = window.handle();
    surface.engine = &engine;
    surface.pageView = pageView;
    surface.zoom = zoom;
    surface.clientWidth = width;
    surface.clientHeight = height;
    surface.page = ComputePageMetrics(style, zoom, pageView, kDpi, kDpi);
  }

  const DisplayLine& First() const { return lines.Lines().front(); }

  platform::UniqueDC dc;
  SurfaceGeometry surface;
  CDisplayLineList lines{&surface};
};

}  // namespace views_test
