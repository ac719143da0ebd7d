#include "platform/x11/cursor_bitmaps.h"

#include <gtest/gtest.h>

namespace platform::x11 {
namespace {

struct BitmapCase {
  const char* name;
  CursorShape shape;
  CursorBitmaps expected;
};

class CursorBitmapsTest : public testing::TestWithParam<BitmapCase> {};

TEST_P(CursorBitmapsTest, MasksBecomeXBitmaps) {
  const BitmapCase& c = GetParam();
  EXPECT_EQ(CursorBitmapsOf(c.shape), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, CursorBitmapsTest,
    testing::Values(
        // Row 0: black, white, screen; row 1: inverted, screen, black. The
        // masks' rows are two bytes, the bitmaps' one.
        BitmapCase{
            "EachKindOfPixel",
            CursorShape{POINT{0, 0}, 3, 2, {0x20, 0x00, 0xC0, 0x00}, {0x40, 0x00, 0x80, 0x00}},
            CursorBitmaps{{0x02, 0x00}, {0x03, 0x05}}},
        // Pixels 8 and 16 white, the rest black: a mask row of four bytes
        // becomes a bitmap row of three.
        BitmapCase{
            "RowsWiderThanAWord",
            CursorShape{POINT{0, 0}, 17, 1, {0x00, 0x00, 0x00, 0x00}, {0x00, 0x80, 0x80, 0x00}},
            CursorBitmaps{{0x00, 0x01, 0x01}, {0xFF, 0xFF, 0x01}}}),
    [](const testing::TestParamInfo<BitmapCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace platform::x11
