#include "platform/jis_code.h"

#include <gtest/gtest.h>

namespace {

struct JisCase {
  uint16_t shiftJis;
  uint16_t jis;
};

class JisCodeTest : public ::testing::TestWithParam<JisCase> {};

TEST_P(JisCodeTest, ConvertsToRowCell) {
  EXPECT_EQ(platform::ShiftJisToJis(GetParam().shiftJis), GetParam().jis);
}

// 　 亜 あ ー ン 腕 弌 熙 ア, and single bytes unchanged.
INSTANTIATE_TEST_SUITE_P(Characters, JisCodeTest,
                         ::testing::Values(JisCase{0x8140, 0x2121}, JisCase{0x889F, 0x3021},
                                           JisCase{0x82A0, 0x2422}, JisCase{0x815B, 0x213C},
                                           JisCase{0x8393, 0x2573}, JisCase{0x9872, 0x4F53},
                                           JisCase{0x989F, 0x5021}, JisCase{0xEAA4, 0x7426},
                                           JisCase{0x8341, 0x2522}, JisCase{0x0041, 0x0041},
                                           JisCase{0x00B1, 0x00B1}));

}  // namespace
