#include <gtest/gtest.h>

#include "platform/clock.h"
#include "platform/global_memory.h"
#include "platform/muldiv.h"
#include "platform/windef.h"

namespace platform {
namespace {

struct MulDivCase {
  int32_t number, numerator, denominator, expected;
};

class MulDivTest : public ::testing::TestWithParam<MulDivCase> {};

TEST_P(MulDivTest, RoundsHalfAwayFromZero) {
  const MulDivCase& c = GetParam();
  EXPECT_EQ(MulDiv(c.number, c.numerator, c.denominator), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MulDivTest,
    ::testing::Values(MulDivCase{5, 1, 2, 3}, MulDivCase{-5, 1, 2, -3}, MulDivCase{5, -1, 2, -3},
                      MulDivCase{4, 1, 3, 1}, MulDivCase{100, 1440, 254, 567},
                      MulDivCase{7, 3, 0, -1}, MulDivCase{0x7FFFFFFF, 2, 1, -1},
                      MulDivCase{0x7FFFFFFF, 0x7FFFFFFF, 0x7FFFFFFF, 0x7FFFFFFF}));

struct PtInRectCase {
  POINT point;
  bool inside;
};

class PtInRectTest : public ::testing::TestWithParam<PtInRectCase> {};

TEST_P(PtInRectTest, HoldsTheLeftAndTopEdgesButNotTheRightAndBottom) {
  const RECT rect{10, 20, 30, 40};
  EXPECT_EQ(PtInRect(rect, GetParam().point), GetParam().inside);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PtInRectTest,
    ::testing::Values(PtInRectCase{{10, 20}, true}, PtInRectCase{{29, 39}, true},
                      PtInRectCase{{30, 25}, false}, PtInRectCase{{15, 40}, false},
                      PtInRectCase{{9, 25}, false}, PtInRectCase{{15, 19}, false}));

TEST(RectTest, SubtractionCutsOnlyWhatLeavesOneRectangle) {
  const RECT a{0, 0, 100, 50};
  struct Case {
    RECT b, expected;
  };
  const Case cases[] = {
      {RECT{-10, -10, 110, 20}, RECT{0, 20, 100, 50}},  // across the top
      {RECT{0, 30, 100, 60}, RECT{0, 0, 100, 30}},      // across the bottom
      {RECT{-5, 0, 40, 50}, RECT{40, 0, 100, 50}},      // down the left
      {RECT{60, -5, 120, 55}, RECT{0, 0, 60, 50}},      // down the right
      {RECT{10, 10, 90, 40}, a},                        // a hole: no rectangle left
      {RECT{0, 10, 100, 40}, a},                        // a band through the middle
      {RECT{50, 0, 150, 20}, a},                        // a corner
      {RECT{200, 200, 300, 300}, a},                    // apart
      {RECT{-1, -1, 101, 51}, RECT{}},                  // all of it
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SubtractionOf(a, c.b), c.expected)
        << c.b.left << "," << c.b.top << "," << c.b.right << "," << c.b.bottom;
  }
}

TEST(ClockTest, FakeClockAdvancesOnSleepAndIsRestored) {
  const uint32_t before = GetTickCount();
  FakeClock fake;
  {
    ScopedClock scope(fake);
    Sleep(200);
    EXPECT_EQ(GetTickCount(), 200u);
    EXPECT_EQ(fake.sleeps(), 1u);
  }
  EXPECT_GE(GetTickCount(), before);
}

TEST(GlobalMemoryTest, BlocksGrowZeroFilledAndFreeOnce) {
  UniqueGlobal block(GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 4));
  ASSERT_TRUE(block);
  auto* bytes = static_cast<uint8_t*>(GlobalLock(block.get()));
  bytes[0] = 9;
  GlobalUnlock(block.get());
  EXPECT_EQ(GlobalReAlloc(block.get(), 8, GMEM_ZEROINIT), block.get());
  EXPECT_EQ(GlobalSize(block.get()), 8u);
  bytes = static_cast<uint8_t*>(GlobalLock(block.get()));
  EXPECT_EQ(bytes[0], 9);
  EXPECT_EQ(bytes[7], 0);
  GlobalUnlock(block.get());

  const HGLOBAL handed = block.release();
  EXPECT_EQ(GlobalFree(handed), kNullGlobal);
  EXPECT_EQ(GlobalFree(handed), handed);
  EXPECT_EQ(GlobalLock(handed), nullptr);
}

}  // namespace
}  // namespace platform
