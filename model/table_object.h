// A ruled table: rows and columns of cells, each cell a small document of
// its own, with the geometry that places them (column widths, row heights,
// the thickness of the ruled lines, the placement on the page) and two
// grids of line styles, one per ruled-line segment. The caret stands either
// in a cell's text (mode 1) or on the grid of ruled lines itself (mode 2).
//
// Grids, row-major: the horizontal segments are (rows + 1) x columns with
// stride columns (segment above cell (r, c) at r x columns + c, the last row
// of entries the bottom edge); the vertical segments are rows x (columns + 1)
// with stride columns + 1 (segment left of cell (r, c) at r x (columns + 1)
// + c, the right edge of row r at r x (columns + 1) + columns).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "model/doc_object.h"
#include "model/line_style.h"
#include "model/table_cell.h"
#include "model/table_operations.h"
#include "platform/archive.h"
#include "platform/windef.h"

// The table's pairs in a position path, outermost first: (mode), (grid x),
// (grid y), (row), (column); in mode 1 the cell's own path follows.
inline constexpr uint32_t kTagTableMode = 0x201;
inline constexpr uint32_t kTagTableAcross = 0x203;  // grid x, then the row
inline constexpr uint32_t kTagTableDown = 0x204;    // grid y, then the column
inline constexpr int kTablePairCount = 5;

inline constexpr int32_t kCaretInCell = 1;
inline constexpr int32_t kCaretOnGrid = 2;

inline constexpr int32_t kPlaceLeft = 1;
inline constexpr int32_t kPlaceCentre = 2;
inline constexpr int32_t kPlaceRight = 3;

// Flags of a cell record.
inline constexpr uint8_t kJoinedAbove = 0x01;  // shares the object of the cell above
inline constexpr uint8_t kJoinsBelow = 0x02;
inline constexpr uint8_t kJoinedLeft = 0x04;
inline constexpr uint8_t kJoinsRight = 0x08;  // the right neighbour shares this object

// Answers of HitTest, or-ed.
inline constexpr int kHitCell = 1;
inline constexpr int kHitHorizontalRule = 2;
inline constexpr int kHitVerticalRule = 4;
inline constexpr int kHitLeftOfTable = 8;
inline constexpr int kHitRightOfTable = 16;

// One per grid cell.
struct TableCellRecord {
  uint8_t flags = 0;
  int32_t objectIndex = 0;  // into the cell objects
  int32_t rowBand = 0;      // rows joined by a cell share one band
};

// One per row. The anchor belongs to whoever attached it (the page table).
struct TableRowRecord {
  int32_t height = 0;  // twips, kept equal to the row height
  CVedAnchor* anchor = nullptr;
  int32_t created = 1;
  int32_t fourth = 0;
};

// A table position. Mode 1: inside the text of cell (row, column). Mode 2:
// on the ruled-line grid, x characters right of the column's left rule
// (negative: in the left margin) and y lines below the row's top rule. A
// column equal to the column count is the space right of the table.
struct TableCaret {
  int32_t mode = kCaretInCell;
  int32_t row = 0;
  int32_t column = 0;
  int32_t x = 0;
  int32_t y = 0;
  bool operator==(const TableCaret&) const = default;
};

// A point placed on the line grid.
struct GridPoint {
  int32_t row = 0;
  int32_t column = 0;
  int32_t x = 0;  // characters from the column's left rule
  int32_t y = 0;  // lines from the row's top rule
  bool operator==(const GridPoint&) const = default;
};

// What HitTest found under a point.
struct TableHit {
  int32_t row = -1;
  int32_t column = -1;
  int32_t cell = -1;          // cell-object index
  int32_t verticalLine = -1;  // vertical segment index
  int32_t gridX = 0;
  int32_t gridY = 0;
};

class CTableObject : public CDocObject, public CTableOperations {
 public:
  CTableObject();
  // Whatever the table still owns (cells, records, line styles) goes with
  // it, so an owner that skipped Reset and Clear leaks nothing. Row anchors
  // belong to others, who may be gone already: they are not touched.
  ~CTableObject() override;
  CTableObject(const CTableObject&) = delete;
  CTableObject& operator=(const CTableObject&) = delete;

  // ---- Life and state (table_object.cpp)
  int Initialize(CDocRenderer* renderer, CEditFeedback* feedback) override;
  int Clear() override;
  int SetPageFormat(const PageFormat* format) override;
  int Reset() override;
  int GetPageFormat(PageFormat* out) override;
  // Stored with byte 0 forced to 1 and byte 3 to 0, and handed to every cell.
  int SetOptions(const DocObjOptions* options) override;
  DocObjOptions* GetOptions(DocObjOptions* out) override;
  int IsEmpty() override;
  int SetReferenceDC(platform::HDC dc) override;
  int32_t CountChars() override;
  int32_t CountAux() override;
  // The cell character format, handed to every cell.
  int SetCharFormat(const CharFormat* format) override;
  int GetCharFormat(CharFormat* out) override;

  // The low byte is the rule-grid flag, the high byte the second
  // line-setting byte.
  void SetTableFlags(uint16_t flags);
  void ResetMembers();
  // Resets, clears and deletes every cell, detaches row anchors (their
  // second value becomes -1), deletes records and line styles. 0 when a
  // cell refused to clear; the table is emptied all the same.
  int FreeContent();
  // Detaches the row anchors as FreeContent does, keeping the content: a
  // table set aside from its document must not call back into pages that
  // may be gone by the time it is destroyed.
  void ReleaseLineAnchors();

  // ---- Structure: building, rows, columns, widths and layout
  // (table_operations.cpp), the container's `CTableOperations`. Each
  // change reports through `out`; a refused change answers 0 and leaves
  // the table and `out` untouched but empty.
  bool Create(int32_t rows, int32_t columns, int32_t width, const TableLayout& layout,
              EditResult* out) override;
  void GetTableLayout(TableLayout* out) const;
  int SetTableLayout(const TableLayout& layout, EditResult* out) override;
  // Characters of the column under a position (null: the caret); 0 right
  // of the table.
  int32_t GetColumnWidthAt(const CVedTextPos* pos) const;
  int SetColumnWidth(const CVedTextPos* pos, int32_t width, EditResult* out) override;
  int InsertColumn(const CVedTextPos* pos, EditResult* out) override;
  int InsertRow(const CVedTextPos* pos, EditResult* out) override;
  int DeleteColumn(const CVedTextPos* pos, EditResult* out) override;
  int DeleteRow(const CVedTextPos* pos, EditResult* out) override;
  int32_t DeleteRowsOrColumns(const CVedTextPos* from, const CVedTextPos* to,
                              EditResult* out) override;
  int GetLineOffsetAt(const CVedTextPos* pos, int32_t out[2]) override;

  // ---- The document object interface (table_queries.cpp for what it
  // answers, table_editing.cpp for moves, edits, search, drawing and
  // transfer).
  int CheckPageFormat(const PageFormat* format) override;
  int ApplyPageFormat(const PageFormat* format) override;
  int GetKindAt(const CVedTextPos* pos, ObjectDescription* out) override;
  platform::RECT* GetPositionRect(platform::RECT* out, int mode, const CVedTextPos* pos,
                                  const CVedTextPos* base) override;
  platform::RECT* GetFrameRect(platform::RECT* out, const CVedTextPos* pos) override;
  int GetLineColumn(int32_t* line, int32_t* column, const CVedTextPos* pos,
                    const CVedTextPos* base) override;
  int PositionFromLineColumn(int32_t line, int32_t column, const CVedTextPos* base,
                             CVedTextPos* out) override;
  int32_t CountLines(const CVedTextPos* from, const CVedTextPos* to) override;
  int32_t GetHeight(const CVedTextPos* from, const CVedTextPos* to) override;
  LineMetrics* GetLineMetrics(LineMetrics* out, const CVedTextPos* pos) override;
  LineMetrics* GetPageLineMetrics(LineMetrics* out, const CVedTextPos* pos) override;
  int StepLine(const CVedTextPos* pos, int direction, CVedTextPos* out) override;
  int StepPageLine(const CVedTextPos* pos, int direction, CVedTextPos* out) override;
  int IsFirstLine(const CVedTextPos* pos) override;
  int IsLastLine(const CVedTextPos* pos) override;
  int GetCursor(CVedTextPos* out) override;
  int SetCursor(const CVedTextPos* pos) override;
  int MoveCursor(int command, const MoveParams* params, const CVedTextPos* from,
                 CVedTextPos* out) override;
  int32_t PositionFromPoint(int setCursor, const CVedTextPos* base, int32_t x, int32_t y,
                            CVedTextPos* out) override;
  int InsertText(std::string_view text, EditResult* out) override;
  int DeleteChar(int kind, EditResult* out) override;
  int DeleteRange(const CVedTextPos* from, const CVedTextPos* to, EditResult* out) override;
  int AdjustRange(const CVedTextRange* in, CVedTextRange* out) override;
  int FindText(int options, int direction, std::string_view text, CVedTextRange* out) override;
  int Draw(const CVedTextPos* from, int flags, int32_t skipHeight, int flags2, int32_t bandHeight,
           DrawResult* out) override;
  int ApplyFontValue(int32_t value, const CVedTextPos* from, const CVedTextPos* to) override;
  int SetCharFont(const CharFormat* format, const CVedTextPos* from, const CVedTextPos* to,
                  EditResult* out) override;
  int GetCharFont(CharFormat* out, const CVedTextPos* from, const CVedTextPos* to) override;
  int SetCharDecoration(const CharDecoration* decoration, const CVedTextPos* from,
                        const CVedTextPos* to, EditResult* out) override;
  int GetCharDecoration(CharDecoration* out, const CVedTextPos* from,
                        const CVedTextPos* to) override;
  int SetCharDesign(const CharDesign* design, const CVedTextPos* from, const CVedTextPos* to,
                    EditResult* out) override;
  int GetCharDesign(CharDesign* out, const CVedTextPos* from, const CVedTextPos* to) override;
  int SetParaFormat(const ParaFormat* format, const CVedTextPos* from, const CVedTextPos* to,
                    EditResult* out) override;
  int GetParaFormat(ParaFormat* out, const CVedTextPos* from, const CVedTextPos* to) override;
  int GetCursorFormat(int flag, CharFormat* out) override;
  int SetAnchor(int kind, CVedAnchor* anchor, const CVedTextPos* pos) override;
  CVedAnchor* FindAnchor(int kind, const CVedTextPos* from, int next) override;
  int SerializeRange(platform::CArchive& archive, int tag, int mode, const CVedTextPos* from,
                     const CVedTextPos* to, EditResult* out) override;
  int MergeFrom(CDocObject* other, int flag, EditResult* out) override;
  int SplitInto(const CVedTextPos* pos, CDocObject* other, EditResult* out) override;
  int ComparePositions(const CVedTextPos* a, const CVedTextPos* b) override;

  // ---- Queries of the container and the document root
  // (table_queries.cpp).
  // 1 when the position lies inside a cell; row and column are given
  // either way.
  int GetCellAt(const CVedTextPos* pos, int32_t* row, int32_t* column) override;
  // The text of the cell under a position (null: the caret), the column
  // held to the last column.
  CDocObject* GetCellContentAt(const CVedTextPos* pos) override;
  // Whether the caret is in a cell, on that cell's last line.
  int IsCaretOnCellLastLine();
  int32_t GetTotalHeight() const;

  // ---- Geometry and lookup (table_geometry.cpp); twips, relative to the
  // table's top and the text area's left edge.
  // The text area of an existing cell.
  platform::RECT GetCellRect(int32_t column, int32_t row) const;
  // Kind 1 a horizontal segment, kind 2 a vertical one.
  platform::RECT GetLineRect(int32_t kind, int32_t index) const;
  // The horizontal rule (0..rows) whose band holds y, or -1.
  int32_t RowAtY(int32_t y) const;
  int32_t LineAtPoint(int32_t kind, platform::POINT point) const;
  // The cell object whose text area (or joined rule) holds the point, or -1.
  int32_t CellAtPoint(platform::POINT point) const;
  int HitTest(platform::POINT point, TableHit* out) const;
  GridPoint PointToGrid(int32_t x, int32_t y) const;
  // The global grid column and line of a column or row and an offset in it.
  int32_t GridXOf(int32_t column, int32_t chars) const;
  int32_t GridYOf(int32_t row, int32_t lines) const;
  // How many columns of `width` (0 = one pitch) fit the table width.
  int32_t ColumnsThatFit(int32_t width) const;
  // The last grid x of a column (the column count: right of the table)
  // and the last grid y of a row.
  int32_t ColumnSpan(int32_t column) const;
  int32_t RowSpan(int32_t row) const;
  // Stepping between cells. Each answers a grid position index (row x
  // columns + column) and sets column and row to it, or -1 at the grid's
  // edge. Directions 1 up, 2 down, 3 left, 4 right, over positions that
  // share the starting cell's object.
  int32_t FindNeighbourCell(int direction, int32_t* column, int32_t* row) const;
  // 1 top and 2 bottom of the cell's object in the column, 3 leftmost and
  // 4 rightmost in the row, 5 the row's first and 6 its last position.
  int32_t FindCellEdge(int direction, int32_t* column, int32_t* row) const;
  // The cell after or before a grid position in reading order, line by
  // line: a rule line comes before the cells of the row below it.
  int32_t NextCellPosition(int32_t column, int32_t row, int32_t gridX, int32_t gridY) const;
  int32_t PreviousCellPosition(int32_t column, int32_t row, int32_t gridX, int32_t gridY) const;
  bool IsOnHorizontalLine(int32_t row, int32_t gridY) const;
  bool IsOnVerticalLine(int32_t column, int32_t gridX) const;
  // Axis 2 across (from the cell's left), 1 down (from its top).
  int32_t ClampIntoCell(int32_t column, int32_t row, int axis, int32_t v) const;
  int32_t GridXInColumn(int32_t x, int32_t column) const;
  int32_t GridYInRow(int32_t y, int32_t row) const;
  TableCaret GridStart() const;
  TableCaret GridOrigin() const;
  TableCaret GridEnd() const;
  TableCaret LastRowEnd() const;
  // A mode-2 position brought into the cell it stands next to, with the
  // cell's cursor set at its place; mode 1 and a set rule-grid flag leave
  // the position as it is.
  TableCaret ToCellPosition(const TableCaret& pos);

  // ---- Moves through the cells (table_cell_moves.cpp). Each takes the
  // remembered x (twips from the table's left) into the target cell, runs
  // one move command of that cell there and leaves a position of mode 1
  // in it; the answer is the cell's, or 1 (before the start) or 2 (after
  // the end) when there is no cell to go on in.
  struct CellMove {
    TableCaret pos;
    CVedTextPos cellPath;  // the cell's own path of the place reached
    int32_t x = 0;         // the remembered x, back in table twips
  };
  int MoveToColumnTop(int32_t column, const MoveParams& params, CellMove* out);
  int MoveToColumnBottom(int32_t column, const MoveParams& params, CellMove* out);
  int MoveToFirstCell(const MoveParams& params, CellMove* out);
  int MoveToLastCell(const MoveParams& params, CellMove* out);
  int MoveToLastRowStart(const MoveParams& params, CellMove* out);
  // 20, 36 or 52 inside the caret's cell; at its start the cell on the
  // left is entered at its last line, paragraph or word start.
  int MoveBackThroughCells(int command, const MoveParams& params, CellMove* out);
  // 35 or 51 inside the caret's cell; at its end the cell on the right is
  // entered at its start.
  int MoveOnThroughCells(int command, const MoveParams& params, CellMove* out);
  int MoveInCell(int32_t column, int32_t row, int command, const MoveParams& params, CellMove* out);

  // ---- Path conversion.
  void TablePosToPath(const TableCaret& pos, CVedTextPos* path) const;
  // Null or empty: the caret. Nothing when the path does not start with
  // the table's five pairs.
  std::optional<TableCaret> PathToTablePos(const CVedTextPos* path) const;
  // The cell's own path after the table's pairs.
  CVedTextPos StripTablePairs(const CVedTextPos& path) const;

  // ---- Maintenance.
  void RenumberCells();
  // Re-fits every cell of a row to its content; answers the new row height.
  int32_t RecalcRowHeight(int32_t delta, int32_t row);
  // Places the table by its placement; whether the left offset changed.
  bool ApplyPlacement();
  int InitCell(int32_t column, int32_t row, CTableCellObj* cell);
  // Re-flows a cell to a new text width keeping its content; 0 (cell and
  // width as they were) when the content cannot be carried over.
  int ReflowCell(int32_t index, int32_t width);

  // ---- Streams (table_stream.cpp).
  // Answers 1 with the whole table read, or -1 with the table left empty.
  int LoadTable(platform::CArchive& archive, int mode, EditResult* out);
  // The cell under the caret reads its own block (or, for the text form,
  // plain text, only with the caret in a cell); 0 when nothing was read.
  int LoadIntoCursorCell(platform::CArchive& archive, int mode, EditResult* out);
  int LoadTextIntoCursorCell(platform::CArchive& archive, EditResult* out);
  // 1, or -1 when the archive or a cell failed.
  int StoreTable(platform::CArchive& archive, const TableCaret& start, const TableCaret& end);
  int StorePlainText(platform::CArchive& archive, int32_t firstRow, int32_t lastRow);
  // The box-drawing character at a grid position; 1 when one was written.
  int ExportBoundaryChar(platform::CArchive& archive, const TableCaret& start,
                         const TableCaret& end);

  // ---- Transfer (table_editing.cpp).
  // The load of table data into a table that already has cells.
  int PasteTableData(platform::CArchive& archive, int tag, EditResult* out);
  // Stored cells read back into the cells they were taken from, the
  // block's rows and columns lying at the table's top left (or, with
  // atEnd, its bottom right), each cell's content replaced; what an undo
  // needs after a deletion that ran from the text into the table emptied
  // those cells without removing them. 0 when the block does not fit.
  int RefillEdgeCells(platform::CArchive& archive, bool atEnd, EditResult* out);
  // The same with the block's top left cell at the caret's cell: what an
  // undo needs after a deletion inside the table emptied cells there.
  int RefillCaretCells(platform::CArchive& archive, EditResult* out);
  // The text of the table line that holds the caret, cells parted by a
  // marker byte and "│": part kLineUpToCaret up to the caret, kLineWhole
  // the whole line, any other part from the caret on. 1 when something
  // was written; 0 on a loading archive.
  static constexpr int kLineWhole = 1;
  static constexpr int kLineUpToCaret = 2;
  int WriteCaretLineText(platform::CArchive& archive, int part);

  // ---- Drawing (table_drawing.cpp), in twips of the band.
  // Has each cell inside the band draw itself at its origin (moved by the
  // offsets, less `scroll` downwards); a cell joined to others is drawn
  // once, over the rules it takes in. Answers the lowest bottom drawn.
  int32_t DrawCells(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t xOffset,
                    int32_t yOffset, int32_t scroll);
  // The ruled lines of the band with the first segment's style of each
  // grid, and the outer frame; the table height capped by the band.
  int32_t DrawRuledLines(int32_t top, int32_t bottom, int32_t yOffset);

  // ---- State.
  int32_t Rows() const { return rows_; }
  int32_t Columns() const { return columns_; }
  int32_t Placement() const { return placement_; }
  int32_t LeftOffset() const { return leftOffset_; }
  int32_t TableWidth() const { return tableWidth_; }
  int32_t TableHeight() const;
  int32_t RuleWidth() const { return ruleWidth_; }
  int32_t RuleHeight() const { return ruleHeight_; }
  int32_t CaretTop() const { return caretTop_; }
  const TableCaret& Caret() const { return caret_; }
  uint8_t RuleGridFlag() const { return ruleGrid_; }
  uint8_t SecondLineSetting() const { return secondLineSetting_; }
  const PageFormat& Format() const { return pageFormat_; }
  const DocObjOptions& Options() const { return options_; }
  int32_t CellCount() const { return static_cast<int32_t>(cells_.size()); }
  CTableCellObj* CellAt(int32_t index) const;
  // The cell object of a grid position, through its record.
  CTableCellObj* CellOf(int32_t column, int32_t row) const;
  const std::vector<TableCellRecord>& Records() const { return records_; }
  const std::vector<TableRowRecord>& RowRecords() const { return rowRecords_; }
  std::vector<TableRowRecord>& RowRecords() { return rowRecords_; }
  const std::vector<int32_t>& RowHeights() const { return rowHeights_; }
  const std::vector<int32_t>& ColumnWidths() const { return columnWidths_; }
  CLineStyle* HorizontalRule(int32_t index) const;
  CLineStyle* VerticalRule(int32_t index) const;
  int32_t HorizontalRuleCount() const { return static_cast<int32_t>(horizontal_.size()); }
  int32_t VerticalRuleCount() const { return static_cast<int32_t>(vertical_.size()); }

 private:
  friend class TableReader;
  friend class TableWriter;

  int32_t Pitch() const { return pageFormat_.charPitch; }
  int32_t LinePitch() const { return pageFormat_.linePitch; }
  int32_t ColumnLeft(int32_t column) const;  // left of the column's left rule
  int32_t RowTop(int32_t row) const;         // top of the row's top rule
  bool IsInGrid(int32_t column, int32_t row) const;
  int32_t GridXRight(int32_t x) const;
  int ReadIntoCursorCell(platform::CArchive& archive, int tag, int mode, int32_t startX,
                         EditResult* out);

  // Structural edits (table_operations.cpp).
  struct CellOwners;
  bool IsLayoutValid(const TableLayout& layout) const;
  CVedTextPos PathOf(const TableCaret& pos) const;
  CVedTextPos CaretPath() const;
  void PlaceCaretAtCellStart(int32_t column, int32_t row);
  void RefreshCaretTop();
  std::unique_ptr<CTableCellObj> NewCell(int32_t column, int32_t row);
  void RebuildCells(CellOwners& owners);
  bool InsertWouldSplitJoin(bool column, int32_t index) const;
  void CloseSpan(bool columns, int32_t* first, int32_t* last) const;
  int32_t RemeasureRows();

  // ---- Caret moves and hit tests (table_editing.cpp).
  // The top of a position's line box, twips from the table's top.
  int32_t LineTopOf(const TableCaret& pos) const;
  // The three ways the table carries a move on by itself: with the
  // rule-grid flag clear (from cell to cell), from a cell whose own move
  // reached its edge (onto the rules around it), and on the grid.
  int MoveAcrossCells(int command, const MoveParams& params, CellMove* out);
  int MoveOutOfCell(int command, const MoveParams& params, CellMove* out);
  int MoveOnGrid(int command, const MoveParams& params, CellMove* out);
  // Commands that answer the same in every regime; -1 for the others.
  int MoveToFixedPlace(int command, const MoveParams& params, CellMove* out);
  // The start (or end) of the cell's text line at the caret top's height.
  int MoveToCellLine(int32_t column, int32_t row, bool atStart, const MoveParams& params,
                     CellMove* out);
  // The first grid position of the cell before (step -1) or after (+1) a
  // grid position in reading order, a joined cell counted once; -1 past
  // either end.
  int32_t CellInReadingOrder(int32_t index, int step) const;
  CellMove GridMove(int32_t row, int32_t column, int32_t x, int32_t y) const;
  // ---- Editing, search and drawing (table_editing.cpp).
  // The last grid position: the right end of the bottom rule's last column.
  TableCaret EditedTableEnd() const;
  using CellEdit = std::function<int(CTableCellObj*, EditResult*)>;
  // Runs an edit in the caret's cell and turns its report into the
  // table's; on the grid nothing is edited.
  int EditInCaretCell(const CellEdit& edit, EditResult* out);
  // The first grid position that holds a cell object, as a mode-1 place.
  TableCaret CellOfObject(int32_t object) const;
  int32_t DrawTopOf(const TableCaret& pos) const;
  // ---- Cell operations over ranges (table_editing.cpp).
  struct CellVisit {
    CTableCellObj* cell = nullptr;
    int32_t row = 0;
    int32_t column = 0;
    const CVedTextPos* from = nullptr;  // inside the cell; null: the whole cell
    const CVedTextPos* to = nullptr;
  };
  struct CellRange {
    TableCaret first;
    TableCaret last;
    bool oneCell = false;
  };
  using CellVisitor = std::function<int(const CellVisit&)>;
  // Visits the cells of a range: once between the two inner positions when
  // both ends lie in one cell object, else each cell whole (a joined cell
  // once). A visit that answers non-zero ends the walk with that answer;
  // -1 when the range holds no cell (one rule line, or one grid point).
  int VisitRangeCells(const CVedTextPos* from, const CVedTextPos* to, const CellVisitor& visit,
                      CellRange* range);
  using CellChange =
      std::function<int(CTableCellObj*, const CVedTextPos*, const CVedTextPos*, EditResult*)>;
  // Changes the cells of a range; `cells`, when given, receives the cells
  // it changed.
  int ChangeOverCells(const CVedTextPos* from, const CVedTextPos* to, const CellChange& change,
                      EditResult* out, CellRange* cells = nullptr);
  using CellRead =
      std::function<int(CTableCellObj*, const CVedTextPos*, const CVedTextPos*, bool first)>;
  int ReadOverCells(const CVedTextPos* from, const CVedTextPos* to, const CellRead& read);
  CVedTextPos CellEdgePath(const TableCaret& cell, int command);
  CVedTextPos LastCharacterOf(const TableCaret& cell);
  // The top left cell of a refill, from the stored rows and columns.
  using RefillCorner = std::function<TableCaret(int32_t rows, int32_t columns)>;
  int RefillCells(platform::CArchive& archive, const RefillCorner& corner, EditResult* out);
  // One pasted cell's content, then its two line styles, dropped.
  int ReadPastedCell(platform::CArchive& archive, int32_t row, int32_t column);
  enum class LinePart { kWhole, kToCaret, kFromCaret };
  bool WriteCellLine(platform::CArchive& archive, int32_t column, int32_t row, int32_t y,
                     LinePart part);

  // ---- The table as a document object (table_queries.cpp).
  // A position read: the table's five values and, when a path was given,
  // the rest of it, which belongs to the cell.
  struct TablePlace {
    TableCaret pos;
    CVedTextPos rest;
    bool inner = false;
  };
  struct ShrinkPlan {
    std::vector<int32_t> shares;  // characters each column gives up
    int32_t reached = 0;          // the table width then
  };
  std::optional<TablePlace> Place(const CVedTextPos* pos) const;
  CTableCellObj* CellOfPlace(const TablePlace& place) const;
  GridPoint CellStart(int32_t column, int32_t row) const;
  platform::RECT RectOf(const TablePlace& place, int mode) const;
  int32_t SpaceWidth() const;
  int32_t LineCount() const;
  bool LineAndColumnOf(const TablePlace& place, int32_t* line, int32_t* column) const;
  TableCaret GridPlaceOf(int32_t line, int32_t gridX) const;
  int32_t RuleThickness() const;
  int32_t BandFirstRow(int32_t row) const;
  int32_t BandLastRow(int32_t row) const;
  CVedAnchor* FindLineAnchor(const CVedTextPos* from, int next);
  CVedAnchor* FindCharAnchor(const CVedTextPos* from, int next);
  bool CellsAccept(int32_t column, int32_t narrower, int32_t pitch, const PageFormat& f) const;
  ShrinkPlan PlanColumnShrink(const PageFormat& f) const;
  void SpreadFormatToCells(const PageFormat& f);
  void ReflowAllCells();
  void RecomputeTableWidth();
  void ClampCaret();

  CDocRenderer* renderer_ = nullptr;
  CEditFeedback* feedback_ = nullptr;
  int32_t leftOffset_ = 0;
  int32_t caretTop_ = 0;
  int32_t rows_ = 0;
  int32_t columns_ = 0;
  int32_t placement_ = kPlaceLeft;
  int32_t tableWidth_ = 0;
  int32_t ruleWidth_ = 0;
  int32_t ruleHeight_ = 0;
  TableCaret caret_;
  PageFormat pageFormat_;
  DocObjOptions options_;
  CharFormat cellFormat_;
  uint8_t ruleGrid_ = 1;
  uint8_t secondLineSetting_ = 1;
  std::vector<std::unique_ptr<CLineStyle>> horizontal_;
  std::vector<std::unique_ptr<CLineStyle>> vertical_;
  std::vector<std::unique_ptr<CTableCellObj>> cells_;
  std::vector<TableCellRecord> records_;
  std::vector<int32_t> rowHeights_;
  std::vector<int32_t> columnWidths_;
  std::vector<TableRowRecord> rowRecords_;
};
