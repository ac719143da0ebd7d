// Building a table and changing its structure: rows and columns in and
// out, one column's width, the layout of the rules, and the measures of a
// ruled line for repainting.
//
// Joined cells: a structural edit never cuts through a joined cell. A new
// row or column that would land inside one is refused; a deleted span
// grows until no joined cell reaches out of it. Cell objects are tied to
// their records while the arrays change and are put back in record order
// afterwards, so an object shared by several records is kept while any of
// them remains and deleted exactly once when the last one goes.
#include <algorithm>
#include <cstring>
#include <unordered_map>
#include <utility>

#include "model/table_object.h"
#include "model/text_navigator.h"

namespace {

constexpr MoveParams kSetCursor{1, 0, 1};
constexpr int kCaretRectMode = 3;

template <typename T>
void InsertAt(std::vector<T>* items, int32_t index, T item) {
  items->insert(items->begin() + index, std::move(item));
}

template <typename T>
void EraseRange(std::vector<T>* items, int32_t first, int32_t count) {
  items->erase(items->begin() + first, items->begin() + first + count);
}

std::unique_ptr<CLineStyle> CopyOf(const CLineStyle* style, int32_t kind) {
  if (style == nullptr) return std::make_unique<CLineStyle>(kind, nullptr, 1);
  return std::make_unique<CLineStyle>(*style);
}

}  // namespace

// Which cell object each record stands for while the arrays are edited,
// and the cells built for the new records.
struct CTableObject::CellOwners {
  std::vector<CTableCellObj*> byRecord;
  std::vector<std::unique_ptr<CTableCellObj>> fresh;

  explicit CellOwners(const CTableObject& table) {
    for (const TableCellRecord& record : table.records_) {
      byRecord.push_back(table.CellAt(record.objectIndex));
    }
  }
  void Insert(int32_t index, std::unique_ptr<CTableCellObj> cell) {
    InsertAt(&byRecord, index, cell.get());
    fresh.push_back(std::move(cell));
  }
};

// ---- Helpers

bool CTableObject::IsLayoutValid(const TableLayout& layout) const {
  // A rule must be at least a twip, and no wider than the pitch it is
  // stored as a fraction of.
  return layout.placement >= kPlaceLeft && layout.placement <= kPlaceRight &&
         layout.verticalRuleWidth >= 1 && layout.verticalRuleWidth <= Pitch() &&
         layout.horizontalRuleHeight >= 1 && layout.horizontalRuleHeight <= LinePitch();
}

CVedTextPos CTableObject::PathOf(const TableCaret& pos) const {
  CVedTextPos path;
  TablePosToPath(pos, &path);
  return path;
}

CVedTextPos CTableObject::CaretPath() const {
  CVedTextPos path;
  if (caret_.mode == kCaretInCell) {
    if (CTableCellObj* cell = CellOf(caret_.column, caret_.row)) cell->GetCursor(&path);
  }
  TablePosToPath(caret_, &path);
  return path;
}

void CTableObject::PlaceCaretAtCellStart(int32_t column, int32_t row) {
  caret_ = TableCaret{kCaretInCell, row, column, 0, 0};
  if (CTableCellObj* cell = CellOf(column, row)) {
    cell->MoveCursor(kMoveDocumentStart, &kSetCursor, nullptr, nullptr);
  }
}

void CTableObject::RefreshCaretTop() {
  platform::RECT rect{};
  GetPositionRect(&rect, kCaretRectMode, nullptr, nullptr);
  caretTop_ = rect.top;
}

std::unique_ptr<CTableCellObj> CTableObject::NewCell(int32_t column, int32_t row) {
  auto cell = std::make_unique<CTableCellObj>();
  InitCell(column, row, cell.get());
  PageFormat format;
  cell->GetPageFormat(&format);
  format.textHeight = rowHeights_[static_cast<size_t>(row)];
  cell->ApplyPageFormat(&format);
  return cell;
}

// Each object goes back to the first slot its records name. Slots no
// record takes first (a continuation below a joined cell skips one) get
// an empty cell of their own; objects no record names any more go.
void CTableObject::RebuildCells(CellOwners& owners) {
  RenumberCells();
  std::unordered_map<CTableCellObj*, std::unique_ptr<CTableCellObj>> pool;
  for (auto& cell : cells_) pool.emplace(cell.get(), std::move(cell));
  for (auto& cell : owners.fresh) pool.emplace(cell.get(), std::move(cell));
  cells_.clear();
  for (size_t i = 0; i < records_.size(); ++i) {
    const auto slot = static_cast<size_t>(records_[i].objectIndex);
    if (cells_.size() <= slot) cells_.resize(slot + 1);
    if (cells_[slot] != nullptr) continue;
    const auto found = pool.find(owners.byRecord[i]);
    if (found == pool.end()) continue;
    cells_[slot] = std::move(found->second);
    pool.erase(found);
  }
  for (size_t slot = 0; slot < cells_.size(); ++slot) {
    if (cells_[slot] != nullptr) continue;
    const auto n = static_cast<int32_t>(slot);
    cells_[slot] = NewCell(n % columns_, std::min(n / columns_, rows_ - 1));
  }
  for (auto& [raw, cell] : pool) {
    cell->Reset();
    cell->Clear();
  }
}

bool CTableObject::InsertWouldSplitJoin(bool column, int32_t index) const {
  const int32_t count = column ? rows_ : columns_;
  const int32_t limit = column ? columns_ : rows_;
  if (index <= 0 || index >= limit) return false;
  for (int32_t k = 0; k < count; ++k) {
    const int32_t at = column ? k * columns_ + index : index * columns_ + k;
    const uint8_t joined = column ? kJoinedLeft : kJoinedAbove;
    if ((records_[static_cast<size_t>(at)].flags & joined) != 0) return true;
  }
  return false;
}

// Widens [first, last] until no record on its edges is joined across them.
void CTableObject::CloseSpan(bool columns, int32_t* first, int32_t* last) const {
  const int32_t across = columns ? rows_ : columns_;
  const int32_t limit = columns ? columns_ : rows_;
  const uint8_t joinedBefore = columns ? kJoinedLeft : kJoinedAbove;
  const uint8_t joinsAfter = columns ? kJoinsRight : kJoinsBelow;
  auto flagsAt = [&](int32_t line, int32_t k) {
    const int32_t at = columns ? k * columns_ + line : line * columns_ + k;
    return records_[static_cast<size_t>(at)].flags;
  };
  bool grown = true;
  while (grown) {
    grown = false;
    for (int32_t k = 0; k < across; ++k) {
      if (*first > 0 && (flagsAt(*first, k) & joinedBefore) != 0) {
        --*first;
        grown = true;
      }
      if (*last + 1 < limit && (flagsAt(*last, k) & joinsAfter) != 0) {
        ++*last;
        grown = true;
      }
    }
  }
}

int32_t CTableObject::RemeasureRows() {
  int32_t delta = 0;
  for (int32_t row = 0; row < rows_; ++row) {
    const int32_t before = rowHeights_[static_cast<size_t>(row)];
    delta += RecalcRowHeight(-1, row) - before;
  }
  return delta;
}

// ---- Building

bool CTableObject::Create(int32_t rows, int32_t columns, int32_t width, const TableLayout& layout,
                          EditResult* out) {
  if (out != nullptr) *out = EditResult();
  if (rows < 1 || columns < 1 || Pitch() <= 0 || LinePitch() <= 0 || !IsLayoutValid(layout)) {
    return false;
  }
  const int32_t rule = layout.verticalRuleWidth;
  const int32_t usable = width >= rule ? width - rule : width;
  const int32_t fit = usable < Pitch() + rule ? 0 : usable / (Pitch() + rule);
  if (fit == 0) return false;
  columns = std::min(columns, fit);

  FreeContent();
  ResetMembers();
  placement_ = layout.placement;
  ruleWidth_ = rule;
  ruleHeight_ = layout.horizontalRuleHeight;
  const int32_t rules = (columns + 1) * ruleWidth_;
  tableWidth_ = rules + (width - rules) / Pitch() * Pitch();
  ApplyPlacement();
  rows_ = rows;
  columns_ = columns;

  int32_t remaining = tableWidth_;
  for (int32_t column = 0; column < columns; ++column) {
    const int32_t share = (remaining - rules) / (columns - column);
    const int32_t w = (share + Pitch() - 1) / Pitch() * Pitch();
    columnWidths_.push_back(w);
    remaining -= w;
  }
  for (int32_t row = 0; row < rows; ++row) {
    rowHeights_.push_back(LinePitch());
    rowRecords_.push_back(TableRowRecord{LinePitch(), nullptr, 1, 0});
    for (int32_t column = 0; column < columns; ++column) {
      records_.push_back(TableCellRecord{0, row * columns + column, row});
      cells_.push_back(NewCell(column, row));
    }
  }
  const auto segment = [this](int32_t kind) {
    auto style = std::make_unique<CLineStyle>(kind, nullptr, 1);
    style->Bind(renderer_, ruleWidth_, ruleHeight_);
    return style;
  };
  for (int32_t i = 0; i < (rows + 1) * columns; ++i)
    horizontal_.push_back(segment(kRuleHorizontal));
  for (int32_t i = 0; i < rows * (columns + 1); ++i) vertical_.push_back(segment(kRuleVertical));

  PlaceCaretAtCellStart(0, 0);
  caretTop_ = ruleHeight_;
  if (out != nullptr) {
    out->changed = 1;
    out->rangeStart = PathOf(GridOrigin());
    out->startAux = out->rangeStart;
    out->rangeEnd = PathOf(GridEnd());
    out->endAux = out->rangeEnd;
    out->newCursor = CaretPath();
    out->heightDelta = TableHeight();
  }
  return true;
}

// ---- Layout

void CTableObject::GetTableLayout(TableLayout* out) const {
  if (out == nullptr) return;
  *out = TableLayout{placement_, ruleWidth_, ruleHeight_, {}};
  if (const CLineStyle* first = HorizontalRule(0)) {
    LineStyleAttributes attributes;
    first->GetAttributes(&attributes);
    std::memcpy(out->lineStyle, &attributes, sizeof attributes);
  }
}

// The table width follows the new vertical rules, so a layout whose table
// would no longer fit the text width is refused.
int CTableObject::SetTableLayout(const TableLayout& layout, EditResult* out) {
  if (out != nullptr) *out = EditResult();
  if (IsEmpty() != 0 || !IsLayoutValid(layout)) return 0;
  const int32_t width = tableWidth_ + (columns_ + 1) * (layout.verticalRuleWidth - ruleWidth_);
  if (width > pageFormat_.textWidth) return 0;
  const int32_t oldRuleHeight = ruleHeight_;
  placement_ = layout.placement;
  ruleWidth_ = layout.verticalRuleWidth;
  ruleHeight_ = layout.horizontalRuleHeight;
  tableWidth_ = width;
  LineStyleChange change;
  static_assert(sizeof change == sizeof layout.lineStyle);
  std::memcpy(&change, layout.lineStyle, sizeof change);
  for (auto* grid : {&horizontal_, &vertical_}) {
    for (auto& style : *grid) {
      style->ApplyChange(change);
      style->Bind(renderer_, ruleWidth_, ruleHeight_);
    }
  }
  ApplyPlacement();
  RefreshCaretTop();
  if (out != nullptr) {
    out->changed = 1;
    out->heightDelta = (ruleHeight_ - oldRuleHeight) * (rows_ + 1);
    out->newCursor = CaretPath();
    out->rangeStart = PathOf(GridOrigin());
    out->rangeEnd = PathOf(GridEnd());
  }
  return 1;
}

// ---- Column width

int32_t CTableObject::GetColumnWidthAt(const CVedTextPos* pos) const {
  const std::optional<TableCaret> at = PathToTablePos(pos);
  if (!at || at->column < 0 || at->column >= columns_ || Pitch() <= 0) return 0;
  return columnWidths_[static_cast<size_t>(at->column)] / Pitch();
}

int CTableObject::SetColumnWidth(const CVedTextPos* pos, int32_t width, EditResult* out) {
  if (out != nullptr) *out = EditResult();
  const std::optional<TableCaret> at = PathToTablePos(pos);
  if (!at || IsEmpty() != 0 || Pitch() <= 0 || width < 1) return 0;
  const int32_t column = at->column;
  if (column < 0 || column >= columns_) return 0;
  if (at->mode == kCaretOnGrid) {
    const int32_t row = std::clamp(at->row, 0, rows_ - 1);
    // Grid x 0 is the column's left rule; the last column's span its right.
    const int32_t side = at->x == 0 ? column : column + 1;
    const CLineStyle* rule = VerticalRule(row * (columns_ + 1) + side);
    if (at->x < 0 || (IsOnVerticalLine(column, at->x) && rule != nullptr && rule->IsDrawn() == 1)) {
      return 0;
    }
  }
  // The column's cells, each once: a cell joined to the one above is
  // re-flowed with it. A cell joined across columns spans more than this
  // column's width, and re-flowing finds a cell's place from its object
  // index, so a cell whose index is not its grid index is refused too.
  std::vector<std::pair<int32_t, int32_t>> targets;  // row, object index
  for (int32_t row = 0; row < rows_; ++row) {
    const int32_t grid = row * columns_ + column;
    const TableCellRecord& record = records_[static_cast<size_t>(grid)];
    if ((record.flags & (kJoinedLeft | kJoinsRight)) != 0) return 0;
    if (row > 0 &&
        record.objectIndex == records_[static_cast<size_t>(grid - columns_)].objectIndex) {
      continue;
    }
    if (record.objectIndex != grid) return 0;
    targets.emplace_back(row, grid);
  }
  const int32_t oldWidth = columnWidths_[static_cast<size_t>(column)];
  int32_t delta = width - oldWidth / Pitch();
  // A width asked for may be anything up to the int32 range.
  if (int64_t{tableWidth_} + int64_t{delta} * Pitch() >= pageFormat_.textWidth) {
    delta = (pageFormat_.textWidth - tableWidth_) / Pitch();
  }
  const int32_t newWidth = (oldWidth / Pitch() + delta) * Pitch();
  if (delta == 0 || newWidth < Pitch()) return 0;
  for (const auto& [row, index] : targets) {
    CTableCellObj* cell = CellAt(index);
    PageFormat format;
    cell->GetPageFormat(&format);
    format.textWidth = newWidth;
    if (cell->CheckPageFormat(&format) != kFormatFits) return 0;
  }
  int32_t heightDelta = 0;
  tableWidth_ -= oldWidth;
  for (const auto& [row, index] : targets) {
    const int32_t before = CellAt(index)->GetContentHeight();
    ReflowCell(index, newWidth);
    const int32_t after = CellAt(index)->GetContentHeight();
    if (after != before) {
      const int32_t oldRow = rowHeights_[static_cast<size_t>(row)];
      heightDelta += RecalcRowHeight(after - before, row) - oldRow;
    }
  }
  columnWidths_[static_cast<size_t>(column)] = newWidth;
  tableWidth_ += newWidth;
  ApplyPlacement();
  if (caret_.mode == kCaretInCell) PlaceCaretAtCellStart(caret_.column, caret_.row);
  RefreshCaretTop();
  if (out != nullptr) {
    out->changed = 1;
    out->newCursor = CaretPath();
    out->rangeStart = PathOf(GridOrigin());
    out->rangeEnd = PathOf(GridEnd());
    out->heightDelta = heightDelta;
  }
  return 1;
}

// ---- Insertion

int CTableObject::InsertColumn(const CVedTextPos* pos, EditResult* out) {
  if (out != nullptr) *out = EditResult();
  const std::optional<TableCaret> at = PathToTablePos(pos);
  if (!at || IsEmpty() != 0 || Pitch() <= 0) return 0;
  if (at->mode == kCaretOnGrid && ((at->column == 0 && at->x < 0) || at->column >= columns_)) {
    return 0;
  }
  const int32_t row = std::clamp(at->row, 0, rows_ - 1);
  const int32_t column = std::clamp(at->column, 0, columns_ - 1);
  int32_t width = columnWidths_[static_cast<size_t>(column)];
  const int32_t room = pageFormat_.textWidth - tableWidth_ - ruleWidth_;
  if (tableWidth_ + ruleWidth_ + width >= pageFormat_.textWidth) width = room / Pitch() * Pitch();
  if (width < Pitch()) return 0;
  const bool append =
      at->mode == kCaretOnGrid && column == columns_ - 1 && at->x == ColumnSpan(columns_ - 1);
  const int32_t at_column = append ? columns_ : column;
  if (InsertWouldSplitJoin(true, at_column)) return 0;

  const CLineStyle* above = HorizontalRule(row * columns_ + column);
  const CLineStyle* left = VerticalRule(row * (columns_ + 1) + column);
  CellOwners owners(*this);
  InsertAt(&columnWidths_, at_column, width);
  const int32_t old = columns_;
  for (int32_t r = 0; r < rows_; ++r) {
    // Earlier rows already hold their new entry.
    const int32_t index = r * (old + 1) + at_column;
    records_.insert(records_.begin() + index, TableCellRecord{0, index, r});
    owners.Insert(index, NewCell(at_column, r));
    InsertAt(&horizontal_, index, CopyOf(above, kRuleHorizontal));
    InsertAt(&vertical_, r * (old + 2) + at_column, CopyOf(left, kRuleVertical));
  }
  InsertAt(&horizontal_, rows_ * (old + 1) + at_column, CopyOf(above, kRuleHorizontal));
  tableWidth_ += width + ruleWidth_;
  columns_ = old + 1;
  RebuildCells(owners);

  ApplyPlacement();
  PlaceCaretAtCellStart(at_column, 0);
  RefreshCaretTop();
  if (out != nullptr) {
    out->changed = 1;
    out->newCursor = CaretPath();
    out->rangeStart = PathOf(GridOrigin());
    out->rangeEnd = PathOf(GridEnd());
    out->startAux = PathOf({kCaretOnGrid, 0, at_column, 0, 0});
    out->endAux =
        PathOf({kCaretOnGrid, rows_ - 1, at_column, ColumnSpan(at_column), RowSpan(rows_ - 1)});
  }
  return 1;
}

int CTableObject::InsertRow(const CVedTextPos* pos, EditResult* out) {
  if (out != nullptr) *out = EditResult();
  const std::optional<TableCaret> at = PathToTablePos(pos);
  if (!at || IsEmpty() != 0 || Pitch() <= 0) return 0;
  if (at->mode == kCaretOnGrid && ((at->column == 0 && at->x < 0) || at->column >= columns_)) {
    return 0;
  }
  const int32_t row = std::clamp(at->row, 0, rows_ - 1);
  const int32_t column = std::clamp(at->column, 0, columns_ - 1);
  const bool append = at->mode == kCaretOnGrid && row == rows_ - 1 && at->y == RowSpan(rows_ - 1);
  const int32_t at_row = append ? rows_ : row;
  if (InsertWouldSplitJoin(false, at_row)) return 0;

  const CLineStyle* above = HorizontalRule(row * columns_ + column);
  const CLineStyle* left = VerticalRule(row * (columns_ + 1) + column);
  CellOwners owners(*this);
  InsertAt(&rowHeights_, at_row, LinePitch());
  InsertAt(&rowRecords_, at_row, TableRowRecord{LinePitch(), nullptr, 1, 0});
  for (int32_t c = 0; c < columns_; ++c) {
    const int32_t index = at_row * columns_ + c;
    records_.insert(records_.begin() + index, TableCellRecord{0, index, at_row});
    owners.Insert(index, NewCell(c, at_row));
    InsertAt(&horizontal_, index, CopyOf(above, kRuleHorizontal));
    InsertAt(&vertical_, at_row * (columns_ + 1) + c, CopyOf(left, kRuleVertical));
  }
  InsertAt(&vertical_, at_row * (columns_ + 1) + columns_, CopyOf(left, kRuleVertical));
  ++rows_;
  RebuildCells(owners);

  PlaceCaretAtCellStart(0, at_row);
  RefreshCaretTop();
  if (out != nullptr) {
    const int32_t margin = leftOffset_ / Pitch();
    const int32_t last = columns_ - 1;
    out->changed = 1;
    out->newCursor = CaretPath();
    out->rangeStart = PathOf({kCaretOnGrid, at_row, 0, -margin, 0});
    out->rangeEnd = PathOf(GridEnd());
    out->startAux = PathOf({kCaretOnGrid, at_row, 0, 0, 0});
    out->endAux = PathOf({kCaretOnGrid, at_row, last, ColumnSpan(last), RowSpan(at_row)});
    out->heightDelta = ruleHeight_ + LinePitch();
  }
  return 1;
}

// ---- Deletion

int CTableObject::DeleteColumn(const CVedTextPos* pos, EditResult* out) {
  if (out != nullptr) *out = EditResult();
  const std::optional<TableCaret> at = PathToTablePos(pos);
  if (!at || IsEmpty() != 0 || Pitch() <= 0) return 0;
  if (at->mode == kCaretOnGrid && ((at->column == 0 && at->x < 0) || at->column >= columns_)) {
    return 0;
  }
  const int32_t row = std::clamp(at->row, 0, rows_ - 1);
  int32_t first = std::clamp(at->column, 0, columns_ - 1);
  int32_t last = first;
  while (first > 0 && (records_[static_cast<size_t>(row * columns_ + first)].flags & kJoinedLeft)) {
    --first;
  }
  while (last + 1 < columns_ &&
         (records_[static_cast<size_t>(row * columns_ + last)].flags & kJoinsRight)) {
    ++last;
  }
  CloseSpan(true, &first, &last);
  const int32_t count = last - first + 1;
  EditResult result;
  result.changed = 1;
  if (count == columns_) {
    result.heightDelta = -TableHeight();
    Reset();
    if (out != nullptr) *out = result;
    return 1;
  }

  CellOwners owners(*this);
  int32_t removedWidth = 0;
  for (int32_t c = first; c <= last; ++c) removedWidth += columnWidths_[static_cast<size_t>(c)];
  EraseRange(&columnWidths_, first, count);
  EraseRange(&horizontal_, rows_ * columns_ + first, count);
  for (int32_t r = rows_ - 1; r >= 0; --r) {
    EraseRange(&records_, r * columns_ + first, count);
    EraseRange(&owners.byRecord, r * columns_ + first, count);
    EraseRange(&horizontal_, r * columns_ + first, count);
    EraseRange(&vertical_, r * (columns_ + 1) + first, count);
  }
  columns_ -= count;
  RebuildCells(owners);
  tableWidth_ -= count * ruleWidth_ + removedWidth;
  result.heightDelta = RemeasureRows();
  if (caret_.column < columns_) {
    PlaceCaretAtCellStart(caret_.column, 0);
  } else {
    caret_ = TableCaret{kCaretOnGrid, 0, columns_ - 1, ColumnSpan(columns_ - 1), 0};
  }
  ApplyPlacement();
  RefreshCaretTop();
  result.newCursor = CaretPath();
  result.rangeStart = PathOf(GridStart());
  result.rangeEnd = PathOf(GridEnd());
  if (out != nullptr) *out = result;
  return 1;
}

int CTableObject::DeleteRow(const CVedTextPos* pos, EditResult* out) {
  if (out != nullptr) *out = EditResult();
  const std::optional<TableCaret> at = PathToTablePos(pos);
  if (!at || IsEmpty() != 0 || Pitch() <= 0) return 0;
  if (at->mode == kCaretOnGrid && ((at->column == 0 && at->x < 0) || at->column >= columns_)) {
    return 0;
  }
  const int32_t column = std::clamp(at->column, 0, columns_ - 1);
  int32_t first = std::clamp(at->row, 0, rows_ - 1);
  int32_t last = first;
  while (first > 0 &&
         (records_[static_cast<size_t>(first * columns_ + column)].flags & kJoinedAbove)) {
    --first;
  }
  while (last + 1 < rows_ &&
         (records_[static_cast<size_t>(last * columns_ + column)].flags & kJoinsBelow)) {
    ++last;
  }
  CloseSpan(false, &first, &last);
  const int32_t count = last - first + 1;
  EditResult result;
  result.changed = 1;
  for (int32_t r = first; r <= last; ++r) {
    result.heightDelta -= rowHeights_[static_cast<size_t>(r)] + ruleHeight_;
    if (CVedAnchor* anchor = rowRecords_[static_cast<size_t>(r)].anchor) anchor->ResetValue2();
  }
  if (count == rows_) {
    Reset();
    if (out != nullptr) *out = result;
    return 1;
  }

  CellOwners owners(*this);
  EraseRange(&rowHeights_, first, count);
  EraseRange(&rowRecords_, first, count);
  for (int32_t r = last; r >= first; --r) {
    EraseRange(&vertical_, r * (columns_ + 1), columns_ + 1);
    EraseRange(&horizontal_, r * columns_, columns_);
    EraseRange(&records_, r * columns_, columns_);
    EraseRange(&owners.byRecord, r * columns_, columns_);
  }
  rows_ -= count;
  RebuildCells(owners);
  if (caret_.row < rows_) {
    PlaceCaretAtCellStart(0, caret_.row);
  } else {
    caret_ = TableCaret{kCaretOnGrid, rows_ - 1, 0, 0, RowSpan(rows_ - 1)};
  }
  RefreshCaretTop();
  const int32_t margin = leftOffset_ / Pitch();
  result.newCursor = CaretPath();
  result.rangeStart = PathOf({kCaretOnGrid, std::max(0, caret_.row - 1), 0, -margin, 0});
  result.rangeEnd = PathOf(GridEnd());
  if (out != nullptr) *out = result;
  return 1;
}

// Both ends are brought into cells, then whole columns go when the range
// leaves some columns out, else whole rows, from the last one back.
int32_t CTableObject::DeleteRowsOrColumns(const CVedTextPos* from, const CVedTextPos* to,
                                          EditResult* out) {
  if (out != nullptr) *out = EditResult();
  if (IsEmpty() != 0 || Pitch() <= 0) return 0;
  std::optional<TableCaret> start =
      from != nullptr ? PathToTablePos(from) : TableCaret{kCaretInCell, 0, 0, 0, 0};
  std::optional<TableCaret> end =
      to != nullptr ? PathToTablePos(to) : TableCaret{kCaretInCell, rows_ - 1, columns_ - 1, 0, 0};
  if (!start || !end) return 0;
  if (from != nullptr && to != nullptr && ComparePositions(from, to) == kCompareAfter) {
    std::swap(start, end);
  }
  const bool samePoint = start->mode == kCaretOnGrid && *start == *end;
  const bool sameRule = start->mode == kCaretOnGrid && end->mode == kCaretOnGrid &&
                        start->row == end->row && start->y == end->y &&
                        IsOnHorizontalLine(start->row, start->y);
  if (!samePoint && !sameRule) {
    if (end->mode == kCaretOnGrid && end->y == 0 && end->row > start->row) --end->row;
    start->column = std::clamp(start->column, 0, columns_ - 1);
    end->column = std::clamp(end->column, 0, columns_ - 1);
  }
  const int32_t firstColumn = std::clamp(std::min(start->column, end->column), 0, columns_ - 1);
  const int32_t lastColumn = std::clamp(std::max(start->column, end->column), 0, columns_ - 1);
  const int32_t firstRow = std::clamp(std::min(start->row, end->row), 0, rows_ - 1);
  const int32_t lastRow = std::clamp(std::max(start->row, end->row), 0, rows_ - 1);
  const int32_t oldCaretRow = caret_.row;
  const bool byColumns = lastColumn - firstColumn + 1 < columns_;

  EditResult single;
  int32_t sum = 0;
  int32_t deleted = 0;
  for (int32_t k = byColumns ? lastColumn : lastRow;
       k >= (byColumns ? firstColumn : firstRow) && IsEmpty() == 0; --k) {
    const int32_t r = byColumns ? firstRow : std::min(k, rows_ - 1);
    const int32_t c = byColumns ? std::min(k, columns_ - 1) : firstColumn;
    const CVedTextPos at = PathOf({kCaretInCell, r, c, 0, 0});
    const int32_t before = byColumns ? columns_ : rows_;
    if (byColumns) {
      DeleteColumn(&at, &single);
    } else {
      DeleteRow(&at, &single);
    }
    deleted += before - (byColumns ? columns_ : rows_);
    sum += single.heightDelta;
  }
  EditResult result;
  result.changed = 1;
  result.heightDelta = sum;
  result.newCursor = single.newCursor;
  if (IsEmpty() == 0) {
    const int32_t margin = leftOffset_ / Pitch();
    const int32_t row = std::clamp(oldCaretRow - 1 - deleted, 0, rows_ - 1);
    result.rangeStart =
        byColumns ? PathOf(GridOrigin()) : PathOf({kCaretOnGrid, row, 0, -margin, 0});
    result.rangeEnd = PathOf(GridEnd());
  }
  if (out != nullptr) *out = result;
  return sum;
}

// ---- Ruled lines

int CTableObject::GetLineOffsetAt(const CVedTextPos* pos, int32_t out[2]) {
  const std::optional<TableCaret> at = PathToTablePos(pos);
  if (!at || at->mode != kCaretOnGrid || at->x < 0 || at->column >= columns_ || IsEmpty() != 0) {
    return 0;
  }
  const int32_t row = std::clamp(at->row, 0, rows_ - 1);
  const bool across = IsOnHorizontalLine(row, at->y);
  const int32_t size = across ? ruleHeight_ : ruleWidth_;
  const CLineStyle* first = across ? HorizontalRule(0) : VerticalRule(0);
  LineStyleAttributes attributes;
  if (first != nullptr) first->GetAttributes(&attributes);
  if (out != nullptr) {
    out[0] = size / 2 - attributes.thickness;
    out[1] = size - size / 2 - attributes.thickness;
  }
  return 1;
}
