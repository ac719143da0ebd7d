// 32-bit multiply-then-divide through a 64-bit intermediate, rounded half
// away from zero. A zero divisor or a result outside 32 bits answers -1,
// which is what unit conversions written against this rule expect.
#pragma once

#include <cstdint>

namespace platform {

int32_t MulDiv(int32_t number, int32_t numerator, int32_t denominator);

}  // namespace platform
