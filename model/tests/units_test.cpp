#include "model/units.h"

#include <gtest/gtest.h>

namespace {

struct UnitCase {
  int32_t tenthMm;
  int32_t twips;
};

// Conversions round half up by adding 0.5 before truncating, so negative
// values round toward zero from below.
class TenthMmToTwipsTest : public ::testing::TestWithParam<UnitCase> {};

TEST_P(TenthMmToTwipsTest, ConvertsOnBothAxesWhateverTheResolution) {
  for (const ResolutionPair dpi : {ResolutionPair{96, 96}, ResolutionPair{600, 300}}) {
    EXPECT_EQ(TenthMmToTwipsX(dpi, GetParam().tenthMm), GetParam().twips);
    EXPECT_EQ(TenthMmToTwipsY(dpi, GetParam().tenthMm), GetParam().twips);
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, TenthMmToTwipsTest,
                         ::testing::Values(UnitCase{100, 567}, UnitCase{1, 6}, UnitCase{0, 0},
                                           UnitCase{2100, 11906}, UnitCase{-1, -5},
                                           UnitCase{-100, -566}));

class TwipsToTenthMmTest : public ::testing::TestWithParam<UnitCase> {};

TEST_P(TwipsToTenthMmTest, ConvertsOnBothAxes) {
  const ResolutionPair dpi{96, 120};
  EXPECT_EQ(TwipsToTenthMmX(dpi, GetParam().twips), GetParam().tenthMm);
  EXPECT_EQ(TwipsToTenthMmY(dpi, GetParam().twips), GetParam().tenthMm);
}

INSTANTIATE_TEST_SUITE_P(Cases, TwipsToTenthMmTest,
                         ::testing::Values(UnitCase{100, 567}, UnitCase{1, 3}, UnitCase{0, 2},
                                           UnitCase{2100, 11906}, UnitCase{-1, -14}));

}  // namespace
