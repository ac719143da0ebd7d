// A small, fixed generator for the seeded series and their texts, so that
// a seed means the same series anywhere.
#pragma once

#include <cstdint>

namespace doc_root_test {

class Series {
 public:
  explicit Series(uint32_t seed) : state_(seed * 2654435761u + 1u) {}
  uint32_t Next(uint32_t bound) {
    state_ = state_ * 1664525u + 1013904223u;
    return (state_ >> 8) % bound;
  }

 private:
  uint32_t state_;
};

}  // namespace doc_root_test
