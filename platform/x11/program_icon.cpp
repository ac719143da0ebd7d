#include "platform/x11/program_icon.h"

#include <algorithm>

#include "platform/system_info.h"

namespace platform::x11 {
namespace {

constexpr uint32_t kClear = 0x00000000;
constexpr uint32_t kPaper = 0xFFFFFFFF;
constexpr uint32_t kEdge = 0xFF404040;
constexpr uint32_t kInk = 0xFF2050A0;
// The sheet leaves an eighth of the width clear on either side.
constexpr int32_t kMarginParts = 8;
// Text lines start a quarter down and in, a sixth apart, four of them.
constexpr int32_t kTextInsetParts = 4;
constexpr int32_t kLineSpacingParts = 6;
constexpr int32_t kLines = 4;
constexpr int32_t kLineThicknessParts = 16;

bool OnSheet(int32_t side, int32_t x) {
  const int32_t margin = side / kMarginParts;
  return x >= margin && x < side - margin;
}

bool OnEdge(int32_t side, int32_t x, int32_t y) {
  const int32_t margin = side / kMarginParts;
  return x == margin || x == side - margin - 1 || y == 0 || y == side - 1;
}

bool OnText(int32_t side, int32_t x, int32_t y) {
  const int32_t inset = side / kTextInsetParts;
  if (x < inset || x >= side - inset) return false;
  const int32_t thickness = std::max(1, side / kLineThicknessParts);
  for (int32_t line = 0; line < kLines; ++line) {
    const int32_t top = inset + line * side / kLineSpacingParts;
    if (y >= top && y < top + thickness) return true;
  }
  return false;
}

uint32_t PixelAt(int32_t side, int32_t x, int32_t y) {
  if (!OnSheet(side, x)) return kClear;
  if (OnEdge(side, x, y)) return kEdge;
  return OnText(side, x, y) ? kInk : kPaper;
}

}  // namespace

std::vector<uint32_t> ProgramIconPixels(int32_t side) {
  std::vector<uint32_t> pixels;
  pixels.reserve(static_cast<size_t>(side) * static_cast<size_t>(side));
  for (int32_t y = 0; y < side; ++y) {
    for (int32_t x = 0; x < side; ++x) pixels.push_back(PixelAt(side, x, y));
  }
  return pixels;
}

std::vector<uint32_t> ProgramIconProperty() {
  std::vector<uint32_t> property;
  for (const int metric : {SM_CXSMICON, SM_CXICON}) {
    const int32_t side = GetSystemMetrics(metric);
    property.push_back(static_cast<uint32_t>(side));
    property.push_back(static_cast<uint32_t>(side));
    const std::vector<uint32_t> pixels = ProgramIconPixels(side);
    property.insert(property.end(), pixels.begin(), pixels.end());
  }
  return property;
}

}  // namespace platform::x11
