// The table's part of drawing: the ruled lines, then each cell at its own
// origin inside the band.
#include <algorithm>

#include "model/renderer.h"
#include "model/table_object.h"

int32_t CTableObject::DrawCells(int32_t left, int32_t top, int32_t right, int32_t bottom,
                                int32_t xOffset, int32_t yOffset, int32_t scroll) {
  int32_t lowest = top;
  if (renderer_ == nullptr) return lowest;
  for (int32_t row = 0; row < rows_; ++row) {
    for (int32_t column = 0; column < columns_; ++column) {
      const TableCellRecord& record = records_[static_cast<size_t>(row * columns_ + column)];
      if ((record.flags & (kJoinedAbove | kJoinedLeft)) != 0) continue;
      platform::RECT rect = GetCellRect(column, row);
      if ((record.flags & kJoinsBelow) != 0) rect.bottom += ruleHeight_;
      if ((record.flags & kJoinsRight) != 0) rect.right += ruleWidth_;
      if (rect.bottom <= top || rect.top >= bottom || rect.right <= left || rect.left >= right) {
        continue;
      }
      CTableCellObj* cell = CellAt(record.objectIndex);
      if (cell == nullptr) continue;
      const int32_t from = std::max(top, static_cast<int32_t>(rect.top));
      const int32_t to = std::min(bottom, static_cast<int32_t>(rect.bottom));
      const platform::POINT kept =
          renderer_->SetOffset(xOffset + rect.left, yOffset + rect.top - scroll);
      DrawResult drawn;
      cell->Draw(nullptr, 0, from - rect.top, 0, to - from, &drawn);
      renderer_->SetOffset(kept.x, kept.y);
      lowest = std::max(lowest, to);
    }
  }
  return lowest;
}

int32_t CTableObject::DrawRuledLines(int32_t top, int32_t bottom, int32_t yOffset) {
  const int32_t height = TableHeight();
  if (horizontal_.empty() || vertical_.empty()) return 0;
  const CLineStyle& across = *horizontal_.front();
  const CLineStyle& down = *vertical_.front();
  const int32_t drawnBottom = std::min(height, bottom);
  const int32_t right = leftOffset_ + tableWidth_;
  for (int32_t row = 0; row <= rows_; ++row) {
    const int32_t ruleTop = RowTop(row);
    if (ruleTop + ruleHeight_ <= top || ruleTop >= bottom) continue;
    const int32_t y = ruleTop + ruleHeight_ / 2 + yOffset;
    across.DrawLine(leftOffset_, y, right, y);
  }
  for (int32_t column = 0; column <= columns_; ++column) {
    const int32_t x = ColumnLeft(column) + ruleWidth_ / 2;
    down.DrawLine(x, yOffset, x, drawnBottom + yOffset);
  }
  across.DrawFrame(leftOffset_ + ruleWidth_ / 2, ruleHeight_ / 2 + yOffset, right - ruleWidth_ / 2,
                   height - ruleHeight_ / 2 + yOffset);
  return drawnBottom;
}
