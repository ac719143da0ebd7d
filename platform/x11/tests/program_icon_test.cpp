#include "platform/x11/program_icon.h"

#include <gtest/gtest.h>

#include <cstddef>

namespace platform::x11 {
namespace {

constexpr uint32_t kAlpha = 0xFF000000;
constexpr uint32_t kPaper = 0xFFFFFFFF;
constexpr uint32_t kEdge = 0xFF404040;
constexpr uint32_t kInk = 0xFF2050A0;

struct IconPixel {
  int32_t side;
  int32_t x;
  int32_t y;
  uint32_t argb;
};

class ProgramIconTest : public testing::TestWithParam<IconPixel> {};

TEST_P(ProgramIconTest, ThePaperItsEdgeAndItsLines) {
  const IconPixel& c = GetParam();
  const std::vector<uint32_t> pixels = ProgramIconPixels(c.side);
  ASSERT_EQ(pixels.size(), static_cast<size_t>(c.side * c.side));
  EXPECT_EQ(pixels[static_cast<size_t>(c.y * c.side + c.x)], c.argb) << c.x << "," << c.y;
}

INSTANTIATE_TEST_SUITE_P(Samples, ProgramIconTest,
                         testing::Values(
                             // Clear beside the sheet, whose edge is at an eighth.
                             IconPixel{32, 0, 16, 0}, IconPixel{32, 31, 16, 0},
                             IconPixel{32, 4, 16, kEdge}, IconPixel{32, 27, 16, kEdge},
                             IconPixel{32, 16, 0, kEdge}, IconPixel{32, 6, 3, kPaper},
                             // The first line a quarter down, two pixels thick at 32.
                             IconPixel{32, 16, 8, kInk}, IconPixel{32, 16, 9, kInk},
                             IconPixel{32, 16, 10, kPaper}, IconPixel{32, 16, 13, kInk},
                             IconPixel{16, 2, 8, kEdge}, IconPixel{16, 8, 4, kInk},
                             IconPixel{16, 8, 5, kPaper}));

TEST(ProgramIconPropertyTest, TheSmallSizeThenTheLarge) {
  const std::vector<uint32_t> property = ProgramIconProperty();
  ASSERT_EQ(property.size(), 2 + 16 * 16 + 2 + 32 * 32u);
  EXPECT_EQ(property[0], 16u);
  EXPECT_EQ(property[1], 16u);
  EXPECT_EQ(property[2 + 16 * 16], 32u);
  EXPECT_EQ(property[2 + 16 * 16 + 1], 32u);
  EXPECT_EQ(property[2] & kAlpha, 0u) << "the corner is clear";
}

}  // namespace
}  // namespace platform::x11
