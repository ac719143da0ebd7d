// What a container asks of a ruled-table child beyond the document object
// interface: building it, changing its rows, columns and layout, and the
// few queries about cells and ruled lines. The table object implements
// this next to `CDocObject`; a container finds it on a child of type 2.
#pragma once

#include <cstdint>

#include "model/doc_object.h"

inline constexpr int kLineStyleChangeSize = 20;

// Exchanged with the container and the document root.
struct TableLayout {
  int32_t placement = 1;             // 1 left, 2 centre, 3 right
  int32_t verticalRuleWidth = 0;     // twips
  int32_t horizontalRuleHeight = 0;  // twips
  // A masked line-style change (read: the first horizontal segment's).
  uint8_t lineStyle[kLineStyleChangeSize] = {};
};

class CTableOperations {
 public:
  virtual ~CTableOperations() = default;

  virtual bool Create(int32_t rows, int32_t columns, int32_t width, const TableLayout& layout,
                      EditResult* out) = 0;
  virtual int SetTableLayout(const TableLayout& layout, EditResult* out) = 0;
  // Width in characters of the column under a position (null = caret).
  virtual int SetColumnWidth(const CVedTextPos* pos, int32_t width, EditResult* out) = 0;
  virtual int InsertColumn(const CVedTextPos* pos, EditResult* out) = 0;
  virtual int InsertRow(const CVedTextPos* pos, EditResult* out) = 0;
  virtual int DeleteColumn(const CVedTextPos* pos, EditResult* out) = 0;
  virtual int DeleteRow(const CVedTextPos* pos, EditResult* out) = 0;
  // The whole rows or columns a range covers; answers the summed height
  // change.
  virtual int32_t DeleteRowsOrColumns(const CVedTextPos* from, const CVedTextPos* to,
                                      EditResult* out) = 0;
  // 1 when the position lies inside a cell; row and column are given
  // either way.
  virtual int GetCellAt(const CVedTextPos* pos, int32_t* row, int32_t* column) = 0;
  // The text of the cell under a position (null = caret).
  virtual CDocObject* GetCellContentAt(const CVedTextPos* pos) = 0;
  // The two offsets of a ruled line for repainting; 1 on the rule grid.
  virtual int GetLineOffsetAt(const CVedTextPos* pos, int32_t out[2]) = 0;
};
