#include "views/page_height_sums.h"

#include <algorithm>

#include "engine/wp_commands.h"
#include "engine/wp_ctrl.h"
#include "platform/muldiv.h"

namespace {

constexpr int32_t kTwipsPerInch = 1440;

}  // namespace

int32_t PageHeightSums::PageCount(CVedWpCtrl* engine) {
  if (engine == nullptr) return 0;
  return engine->EditCommand(WPC_GET_PAGE_COUNT, 0, 0);
}

int32_t PageHeightSums::UsedHeight(CVedWpCtrl* engine, int32_t page, int32_t zoom, int32_t dpiY) {
  int32_t twips = 0;
  if (engine == nullptr ||
      engine->EditCommand(WPC_GET_PAGE_HEIGHT, page, reinterpret_cast<intptr_t>(&twips)) == 0) {
    return 0;
  }
  return platform::MulDiv(zoom * twips, dpiY, kTwipsPerInch);
}

void PageHeightSums::Refresh(CVedWpCtrl* engine, int32_t dpiY) {
  const int32_t count = PageCount(engine);
  if (valid_ && engine == engine_ && dpiY == dpiY_ &&
      static_cast<size_t>(count) + 1 == sums_.size()) {
    return;
  }
  sums_.resize(1);
  for (int32_t page = 1; page <= count; ++page) {
    sums_.push_back(sums_.back() + UsedHeight(engine, page, 1, dpiY));
  }
  engine_ = engine;
  dpiY_ = dpiY;
  valid_ = true;
}

int32_t PageHeightSums::Above(CVedWpCtrl* engine, int32_t dpiY, int32_t page) {
  Refresh(engine, dpiY);
  const auto last = static_cast<int32_t>(sums_.size()) - 1;
  return sums_[std::clamp(page - 1, 0, last)];
}

int32_t PageHeightSums::Total(CVedWpCtrl* engine, int32_t dpiY) {
  Refresh(engine, dpiY);
  return sums_.back();
}

PageHeightSums::Position PageHeightSums::Find(CVedWpCtrl* engine, int32_t dpiY, int32_t position) {
  Refresh(engine, dpiY);
  const auto count = static_cast<int32_t>(sums_.size()) - 1;
  if (count < 1) return {};
  position = std::max(position, 0);
  // The first page that ends past the position; pages of no height end
  // where they begin and are passed over.
  const auto ends = sums_.begin() + 1;
  const auto past = std::upper_bound(ends, ends + (count - 1), position);
  const auto page = static_cast<int32_t>(past - ends) + 1;
  return {page, position - sums_[page - 1]};
}
