// Conversions between tenths of a millimetre and twips. They take the
// resolution they are used with, although it cancels out, and compute in
// single precision so that rounding matches stored documents.
#pragma once

#include <cstdint>

struct ResolutionPair {
  int32_t x = 0;  // dots per inch
  int32_t y = 0;
};

int32_t TenthMmToTwipsX(const ResolutionPair& dpi, int32_t tenthMm);
int32_t TenthMmToTwipsY(const ResolutionPair& dpi, int32_t tenthMm);
int32_t TwipsToTenthMmX(const ResolutionPair& dpi, int32_t twips);
int32_t TwipsToTenthMmY(const ResolutionPair& dpi, int32_t twips);
