#include "model/units.h"

namespace {

constexpr float kTwipsPerInch = 1440.0f;
constexpr float kTenthMmPerInch = 254.0f;

// truncate(v * (1/from) * dpi * (to/dpi) + 0.5), each step in float. A zero
// resolution would divide by zero; the resolution cancels, so one is used.
int32_t Convert(int32_t value, float fromPerInch, float toPerInch, int32_t dpi) {
  const float d = dpi != 0 ? static_cast<float>(dpi) : 1.0f;
  const float scaled = static_cast<float>(value) * (1.0f / fromPerInch) * d * (toPerInch / d);
  return static_cast<int32_t>(scaled + 0.5f);
}

}  // namespace

int32_t TenthMmToTwipsX(const ResolutionPair& dpi, int32_t tenthMm) {
  return Convert(tenthMm, kTenthMmPerInch, kTwipsPerInch, dpi.x);
}

int32_t TenthMmToTwipsY(const ResolutionPair& dpi, int32_t tenthMm) {
  return Convert(tenthMm, kTenthMmPerInch, kTwipsPerInch, dpi.y);
}

int32_t TwipsToTenthMmX(const ResolutionPair& dpi, int32_t twips) {
  return Convert(twips, kTwipsPerInch, kTenthMmPerInch, dpi.x);
}

int32_t TwipsToTenthMmY(const ResolutionPair& dpi, int32_t twips) {
  return Convert(twips, kTwipsPerInch, kTenthMmPerInch, dpi.y);
}
