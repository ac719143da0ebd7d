#include "platform/list_box_items.h"

#include <algorithm>

namespace platform {

int32_t ListItems::Shifted(int32_t index, int32_t from, int32_t by) {
  return index >= from ? index + by : index;
}

std::optional<int32_t> ListItems::Insert(int32_t index, ListItem item) {
  if (index < 0) index = count();
  if (index > count()) return std::nullopt;
  item.selected = false;
  items_.insert(items_.begin() + index, std::move(item));
  if (current_ >= 0) current_ = Shifted(current_, index, 1);
  if (count() > 1) {
    caret_ = Shifted(caret_, index, 1);
    anchor_ = Shifted(anchor_, index, 1);
  }
  return index;
}

void ListItems::Erase(int32_t index) {
  items_.erase(items_.begin() + index);
  if (current_ == index) current_ = -1;
  if (current_ > index) --current_;
  const int32_t last = std::max(count() - 1, 0);
  caret_ = std::min(caret_ > index ? caret_ - 1 : caret_, last);
  anchor_ = std::min(anchor_ > index ? anchor_ - 1 : anchor_, last);
  top_ = std::min(top_ > index ? top_ - 1 : top_, last);
}

void ListItems::Clear() {
  items_.clear();
  current_ = -1;
  caret_ = 0;
  anchor_ = 0;
  top_ = 0;
}

void ListItems::SetCurrent(int32_t index) {
  SelectAll(false);
  current_ = Valid(index) ? index : -1;
  if (current_ >= 0) at(current_).selected = true;
}

void ListItems::SetSelected(int32_t index, bool selected) { at(index).selected = selected; }

void ListItems::SelectAll(bool selected) {
  for (ListItem& item : items_) item.selected = selected;
}

void ListItems::SelectRangeFromAnchor(int32_t index) {
  const int32_t first = std::min(anchor_, index);
  const int32_t last = std::max(anchor_, index);
  for (int32_t i = 0; i < count(); ++i) at(i).selected = i >= first && i <= last;
}

int32_t ListItems::SelectedCount() const {
  return static_cast<int32_t>(std::count_if(items_.begin(), items_.end(),
                                            [](const ListItem& item) { return item.selected; }));
}

std::vector<int32_t> ListItems::SelectedIndexes() const {
  std::vector<int32_t> indexes;
  for (int32_t i = 0; i < count(); ++i)
    if (at(i).selected) indexes.push_back(i);
  return indexes;
}

std::vector<bool> ListItems::Selection() const {
  std::vector<bool> selection;
  selection.reserve(items_.size());
  for (const ListItem& item : items_) selection.push_back(item.selected);
  return selection;
}

}  // namespace platform
