#include "views/surface_geometry.h"

#include "platform/muldiv.h"

namespace {

using platform::MulDiv;

constexpr int32_t kTenthMmPerInch = 254;
constexpr int32_t kTwipsPerInch = 1440;
constexpr int32_t kPageGapTenthMm = 50;

}  // namespace

SurfacePageMetrics ComputePageMetrics(const DocStyle& style, int32_t zoom, int32_t pageView,
                                      int32_t dpiX, int32_t dpiY) {
  auto fromTenthMm = [zoom](int32_t value, int32_t dpi) {
    return MulDiv(zoom * value, dpi, kTenthMmPerInch);
  };
  auto fromTwips = [zoom](int32_t value, int32_t dpi) {
    return MulDiv(zoom * value, dpi, kTwipsPerInch);
  };
  SurfacePageMetrics metrics;
  metrics.paperWidth = fromTenthMm(style.paperWidth, dpiX);
  metrics.paperHeight = fromTenthMm(style.paperHeight, dpiY);
  const platform::RECT& area = style.textAreaTwips;
  metrics.textArea = {fromTwips(area.left, dpiX), fromTwips(area.top, dpiY),
                      fromTwips(area.right, dpiX), fromTwips(area.bottom, dpiY)};
  metrics.textWidth = fromTwips(style.textWidth, dpiX);
  metrics.textHeight = fromTwips(style.textHeight, dpiY);
  if (pageView != 0) {
    metrics.gapX = fromTenthMm(kPageGapTenthMm, dpiX);
    metrics.gapY = fromTenthMm(kPageGapTenthMm, dpiY);
  } else {
    // The margin left of the text stays at its unzoomed size.
    metrics.offsetX = metrics.textArea.left - MulDiv(kPageGapTenthMm, dpiX, kTenthMmPerInch);
    metrics.offsetY = metrics.textArea.top;
  }
  metrics.charPitch = style.charPitch;
  metrics.linePitch = style.linePitch;
  return metrics;
}
