// What a list box holds: its items and which of them are selected, where
// the caret and the anchor of an extended selection stand, and which item
// is on top. No window: the control drives it. Internal to the window
// system.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace platform {

enum class SelectionMode { kSingle, kMultiple, kExtended };

struct ListItem {
  std::string text;
  uintptr_t data = 0;
  int32_t height = 0;
  bool selected = false;
};

class ListItems {
 public:
  explicit ListItems(SelectionMode mode) : mode_(mode) {}

  SelectionMode mode() const { return mode_; }
  int32_t count() const { return static_cast<int32_t>(items_.size()); }
  bool Valid(int32_t index) const { return index >= 0 && index < count(); }
  const ListItem& at(int32_t index) const { return items_[static_cast<size_t>(index)]; }
  ListItem& at(int32_t index) { return items_[static_cast<size_t>(index)]; }

  // Answers where the item went; nullopt for an index past the end (-1
  // appends).
  std::optional<int32_t> Insert(int32_t index, ListItem item);
  // The caller has already told the owner the item goes.
  void Erase(int32_t index);
  void Clear();

  // The single selection: the selected item, or -1.
  int32_t current() const { return current_; }
  // Selects only `index` (-1 selects nothing).
  void SetCurrent(int32_t index);
  void SetSelected(int32_t index, bool selected);
  void SelectAll(bool selected);
  // Selects from the anchor to `index` and nothing else.
  void SelectRangeFromAnchor(int32_t index);
  int32_t SelectedCount() const;
  std::vector<int32_t> SelectedIndexes() const;

  int32_t caret() const { return caret_; }
  void SetCaret(int32_t index) { caret_ = index; }
  int32_t anchor() const { return anchor_; }
  void SetAnchor(int32_t index) { anchor_ = index; }
  int32_t top() const { return top_; }
  void SetTop(int32_t index) { top_ = index; }

  // Which items are selected, by index, so that a change can be told.
  std::vector<bool> Selection() const;

 private:
  // An index at or after `from` moved by `by` (an insertion or removal).
  static int32_t Shifted(int32_t index, int32_t from, int32_t by);

  const SelectionMode mode_;
  std::vector<ListItem> items_;
  int32_t current_ = -1;
  int32_t caret_ = 0;
  int32_t anchor_ = 0;
  int32_t top_ = 0;
};

}  // namespace platform
