// The table's stream forms: its own block behind the "TABLE_OBJECT"
// signature (header, flag bytes, column widths, then per grid position the
// cell's block and two line-style records, then the trailing border
// records), the cells' plain text, and the box-drawing export of a grid
// position.
#include <algorithm>
#include <array>
#include <cstring>
#include <exception>
#include <limits>
#include <memory>

#include "model/table_object.h"
#include "model/text_navigator.h"
#include "model/texts.h"

namespace {

constexpr int kCellBlockMode = 2;
constexpr int kInsertIntoCell = 1;
constexpr int32_t kVersionInCharacters = 2;
constexpr int32_t kWholeRows = 1;
constexpr int32_t kPartialWidth = 2;

enum HeaderField : size_t {
  kVersion,
  kExtent,
  kRowCount,
  kColumnCount,
  kPlacement,
  kPositionCount,
  kRuleWidthRatio,
  kRuleHeightRatio,
  kHeaderFields
};
using Header = std::array<int32_t, kHeaderFields>;

// The least each stored grid position takes: its flag byte, a cell
// signature and two line-style records; each column adds its width and a
// border record, each row a border record.
constexpr uint64_t kLeastPerPosition = 1 + 16 + 2 * kLineStyleRecordSize;
constexpr uint64_t kLeastPerColumn = 4 + kLineStyleRecordSize;
constexpr uint64_t kLeastPerRow = kLineStyleRecordSize;
// Widths and heights are added up in int32 everywhere; a stored table
// stays far below that.
constexpr int64_t kLargestTableWidth = std::numeric_limits<int32_t>::max() / 4;

platform::Signature TableSignature() {
  platform::Signature signature{};
  std::memcpy(signature.data(), kTableSignature, sizeof(kTableSignature));
  return signature;
}

const MoveParams kSetCursor{1, 0, 1};

}  // namespace

// Reads a whole table into an empty one. Every count and ratio is checked
// against what the stream can hold before anything is divided or
// allocated; any part that fails to read fails the load.
class TableReader {
 public:
  TableReader(CTableObject& table, platform::CArchive& archive) : t_(table), archive_(archive) {}

  bool Run() {
    try {
      return ReadHead() && ReadGrid() && ReadBorders();
    } catch (const std::exception&) {
      return false;
    }
  }

 private:
  bool ReadHead() {
    if (!archive_.CheckSignature(TableSignature())) return false;
    for (int32_t& field : header_) archive_ >> field;
    if (!HeaderIsSound()) return false;
    const auto positions = static_cast<size_t>(header_[kPositionCount]);
    flags_.resize(positions);
    archive_.ReadExact(flags_.data(), positions);
    int64_t width = 0;
    for (int32_t c = 0; c < header_[kColumnCount]; ++c) {
      int32_t stored = 0;
      archive_ >> stored;
      const int64_t twips = header_[kVersion] >= kVersionInCharacters
                                ? static_cast<int64_t>(stored) * t_.Pitch()
                                : stored;
      width += twips;
      if (stored <= 0 || width > kLargestTableWidth) return false;
      widths_.push_back(static_cast<int32_t>(twips));
    }
    return true;
  }

  bool HeaderIsSound() const {
    const int64_t rows = header_[kRowCount];
    const int64_t columns = header_[kColumnCount];
    if (rows <= 0 || columns <= 0 || header_[kPositionCount] != rows * columns) return false;
    if (header_[kRuleWidthRatio] <= 0 || header_[kRuleHeightRatio] <= 0) return false;
    if (t_.Pitch() <= 0 || t_.LinePitch() <= 0) return false;
    if (t_.Pitch() / header_[kRuleWidthRatio] <= 0) return false;
    if (t_.LinePitch() / header_[kRuleHeightRatio] <= 0) return false;
    const int32_t placement = header_[kPlacement];
    if (placement < kPlaceLeft || placement > kPlaceRight) return false;
    const uint64_t least = static_cast<uint64_t>(rows * columns) * kLeastPerPosition +
                           static_cast<uint64_t>(columns) * kLeastPerColumn +
                           static_cast<uint64_t>(rows) * kLeastPerRow;
    return least <= archive_.RemainingBytes();
  }

  bool ReadGrid() {
    const int32_t rows = header_[kRowCount];
    const int32_t columns = header_[kColumnCount];
    t_.rows_ = rows;
    t_.columns_ = columns;
    t_.ruleWidth_ = t_.Pitch() / header_[kRuleWidthRatio];
    t_.ruleHeight_ = t_.LinePitch() / header_[kRuleHeightRatio];
    t_.tableWidth_ = (columns + 1) * t_.ruleWidth_;
    for (int32_t row = 0; row < rows; ++row) {
      t_.rowHeights_.push_back(t_.LinePitch());
      t_.rowRecords_.push_back(TableRowRecord{t_.LinePitch(), nullptr, 1, 0});
      int32_t tallest = t_.LinePitch();
      for (int32_t column = 0; column < columns; ++column) {
        const int32_t p = row * columns + column;
        if (row == 0) {
          t_.columnWidths_.push_back(widths_[static_cast<size_t>(column)]);
          t_.tableWidth_ += widths_[static_cast<size_t>(column)];
        }
        t_.records_.push_back(TableCellRecord{flags_[static_cast<size_t>(p)], p, row});
        if (!ReadCell(column, row)) return false;
        tallest = std::max(tallest, t_.cells_.back()->GetContentHeight());
        if (!ReadRule(kRuleHorizontal, t_.horizontal_) || !ReadRule(kRuleVertical, t_.vertical_)) {
          return false;
        }
      }
      if (tallest != t_.LinePitch()) t_.RecalcRowHeight(tallest - t_.LinePitch(), row);
    }
    return true;
  }

  bool ReadCell(int32_t column, int32_t row) {
    auto cell = std::make_unique<CTableCellObj>();
    if (t_.InitCell(column, row, cell.get()) == 0) return false;
    EditResult result;
    const int read =
        cell->SerializeRange(archive_, kFormatOwnBlock, kCellBlockMode, nullptr, nullptr, &result);
    if (read < 0) return false;
    t_.cells_.push_back(std::move(cell));
    return true;
  }

  bool ReadRule(int32_t kind, std::vector<std::unique_ptr<CLineStyle>>& grid) {
    auto rule = std::make_unique<CLineStyle>(kind, nullptr, 1);
    rule->Bind(t_.renderer_, t_.ruleWidth_, t_.ruleHeight_);
    if (rule->Serialize(archive_, kFormatOwnBlock) == 0) return false;
    grid.push_back(std::move(rule));
    return true;
  }

  bool ReadBorders() {
    for (int32_t c = 0; c < header_[kColumnCount]; ++c) {
      if (!ReadRule(kRuleHorizontal, t_.horizontal_)) return false;
    }
    for (int32_t r = 0; r < header_[kRowCount]; ++r) {
      if (!ReadRule(kRuleVertical, t_.vertical_)) return false;
    }
    t_.placement_ = header_[kPlacement];
    t_.leftOffset_ = 0;
    return true;
  }

  CTableObject& t_;
  platform::CArchive& archive_;
  Header header_{};
  std::vector<uint8_t> flags_;
  std::vector<int32_t> widths_;
};

// Writes the grid positions between two table positions.
class TableWriter {
 public:
  TableWriter(const CTableObject& table, platform::CArchive& archive)
      : t_(table), archive_(archive) {}

  bool Run(TableCaret start, TableCaret end) {
    if (t_.rows_ == 0 || t_.columns_ == 0 || t_.ruleWidth_ <= 0 || t_.ruleHeight_ <= 0 ||
        t_.Pitch() <= 0) {
      return false;
    }
    Normalize(start, end);
    try {
      WriteHead(start, end);
      return WriteGrid(start, end);
    } catch (const std::exception&) {
      return false;
    }
  }

 private:
  // An end on a rule leaves out the row below it or the column right of
  // it; an end in a cell's text takes that cell in, wherever in the text
  // it stands.
  void Normalize(TableCaret& start, TableCaret& end) const {
    const bool endOnRules = end.mode == kCaretOnGrid;
    if (start.row > end.row) {
      start = end;
    } else if (end.row > start.row && endOnRules && end.y == 0) {
      --end.row;
    }
    if (end.column < start.column) {
      std::swap(start.column, end.column);
    } else if (end.column > start.column && endOnRules && end.x == 0) {
      --end.column;
    }
    start.row = std::clamp(start.row, 0, t_.rows_ - 1);
    end.row = std::clamp(end.row, start.row, t_.rows_ - 1);
    start.column = std::clamp(start.column, 0, t_.columns_ - 1);
    end.column = std::clamp(end.column, start.column, t_.columns_ - 1);
  }

  void WriteHead(const TableCaret& start, const TableCaret& end) {
    rows_ = end.row - start.row + 1;
    columns_ = end.column - start.column + 1;
    archive_.WriteSignature(TableSignature());
    const Header header{kVersionInCharacters,
                        columns_ < t_.columns_ ? kPartialWidth : kWholeRows,
                        rows_,
                        columns_,
                        t_.placement_,
                        rows_ * columns_,
                        t_.Pitch() / t_.ruleWidth_,
                        t_.LinePitch() / t_.ruleHeight_};
    for (int32_t field : header) archive_ << field;
    for (int32_t r = start.row; r <= end.row; ++r) {
      for (int32_t c = start.column; c <= end.column; ++c) archive_ << RecordOf(c, r).flags;
    }
    for (int32_t c = start.column; c <= end.column; ++c) {
      archive_ << t_.columnWidths_[static_cast<size_t>(c)] / t_.Pitch();
    }
  }

  // The vertical records follow one another from the first written cell;
  // a whole table thus comes out with both grids complete and in order.
  bool WriteGrid(const TableCaret& start, const TableCaret& end) {
    int32_t m = start.column + (t_.columns_ + 1) * start.row;
    for (int32_t r = start.row; r <= end.row; ++r) {
      for (int32_t c = start.column; c <= end.column; ++c) {
        CTableCellObj* cell = t_.CellAt(RecordOf(c, r).objectIndex);
        if (cell == nullptr || cell->SerializeRange(archive_, kFormatOwnBlock, kCellBlockMode,
                                                    nullptr, nullptr, nullptr) < 0) {
          return false;
        }
        if (!WriteRule(t_.HorizontalRule(c + t_.columns_ * r)) ||
            !WriteRule(t_.VerticalRule(m++))) {
          return false;
        }
      }
    }
    for (int32_t c = start.column; c <= end.column; ++c) {
      if (!WriteRule(t_.HorizontalRule(c + t_.columns_ * (end.row + 1)))) return false;
    }
    for (int32_t r = 0; r < rows_; ++r) {
      if (!WriteRule(t_.VerticalRule(m++))) return false;
    }
    return true;
  }

  bool WriteRule(CLineStyle* rule) {
    return rule != nullptr && rule->Serialize(archive_, kFormatOwnBlock) != 0;
  }

  const TableCellRecord& RecordOf(int32_t column, int32_t row) const {
    return t_.records_[static_cast<size_t>(row * t_.columns_ + column)];
  }

  const CTableObject& t_;
  platform::CArchive& archive_;
  int32_t rows_ = 0;
  int32_t columns_ = 0;
};

int CTableObject::LoadTable(platform::CArchive& archive, int mode, EditResult* out) {
  if (mode == kInsertIntoCell) {
    return caret_.mode == kCaretInCell && IsEmpty() == 0 ? LoadIntoCursorCell(archive, mode, out)
                                                         : 0;
  }
  EditResult result;
  result.changed = -1;
  FreeContent();
  ResetMembers();
  TableReader reader(*this, archive);
  bool loaded = reader.Run();
  if (loaded && tableWidth_ > pageFormat_.textWidth) {
    loaded = CheckPageFormat(&pageFormat_) == kFormatFits && ApplyPageFormat(&pageFormat_) != 0;
  }
  if (!loaded) {
    FreeContent();
    ResetMembers();
    if (out != nullptr) *out = result;
    return -1;
  }
  if (tableWidth_ <= pageFormat_.textWidth) ApplyPlacement();
  result.changed = 1;
  result.heightDelta = TableHeight();
  TablePosToPath(GridStart(), &result.rangeStart);
  result.startAux = result.rangeStart;
  const int32_t lastRow = rows_ - 1;
  const int32_t lastColumn = columns_ - 1;
  TablePosToPath({kCaretOnGrid, lastRow, lastColumn, ColumnSpan(lastColumn), RowSpan(lastRow)},
                 &result.rangeEnd);
  result.endAux = result.rangeEnd;
  caret_ = TableCaret{kCaretInCell, lastRow, 0, 0, 0};
  CVedTextPos inCell;
  if (CTableCellObj* cell = CellOf(0, lastRow)) {
    cell->MoveCursor(kMoveDocumentStart, &kSetCursor, nullptr, &inCell);
  }
  TablePosToPath(caret_, &inCell);
  result.newCursor = inCell;
  caretTop_ = ruleHeight_;
  if (out != nullptr) *out = result;
  return 1;
}

int CTableObject::LoadIntoCursorCell(platform::CArchive& archive, int mode, EditResult* out) {
  const int answer = ReadIntoCursorCell(archive, kFormatOwnBlock, mode, 0, out);
  return answer > 0 ? 1 : 0;
}

int CTableObject::LoadTextIntoCursorCell(platform::CArchive& archive, EditResult* out) {
  if (caret_.mode != kCaretInCell) return 0;
  const int32_t margin = Pitch() > 0 ? leftOffset_ / Pitch() : 0;
  return ReadIntoCursorCell(archive, kFormatPlainText, 0, -margin, out);
}

// The cell under the caret reads a block at its cursor. When its content
// height changed, its row is re-fitted and the report runs from the rule
// above the row before to the table's end.
int CTableObject::ReadIntoCursorCell(platform::CArchive& archive, int tag, int mode, int32_t startX,
                                     EditResult* out) {
  CTableCellObj* cell = CellOf(caret_.column, caret_.row);
  if (cell == nullptr) return 0;
  const int32_t before = cell->GetContentHeight();
  const int32_t rowBefore = rowHeights_[static_cast<size_t>(caret_.row)];
  EditResult read;
  const int answer = cell->SerializeRange(archive, tag, mode, nullptr, nullptr, &read);
  if (answer <= 0) return answer;
  EditResult result = read;
  CVedTextPos cursor;
  cell->GetCursor(&cursor);
  TablePosToPath(caret_, &cursor);
  const int32_t after = cell->GetContentHeight();
  if (after == before) {
    result.rangeStart = cursor;
    result.rangeEnd = cursor;
  } else {
    const int32_t rowAfter = RecalcRowHeight(after - before, caret_.row);
    result.heightDelta = rowAfter - rowBefore;
    result.rangeStart = CVedTextPos();
    TablePosToPath({kCaretOnGrid, std::max(0, caret_.row - 1), 0, startX, 0}, &result.rangeStart);
    result.rangeEnd = CVedTextPos();
    TablePosToPath(GridEnd(), &result.rangeEnd);
  }
  result.newCursor = cursor;
  result.startAux = cursor;
  result.endAux = cursor;
  if (out != nullptr) *out = result;
  return answer;
}

int CTableObject::StoreTable(platform::CArchive& archive, const TableCaret& start,
                             const TableCaret& end) {
  TableWriter writer(*this, archive);
  return writer.Run(start, end) ? 1 : -1;
}

int CTableObject::StorePlainText(platform::CArchive& archive, int32_t firstRow, int32_t lastRow) {
  if (rows_ == 0 || columns_ == 0) return 0;
  const int32_t from = std::clamp(std::min(firstRow, lastRow), 0, rows_ - 1);
  const int32_t to = std::clamp(std::max(firstRow, lastRow), 0, rows_ - 1);
  int written = 0;
  int answer = 0;
  try {
    for (int32_t row = from; row <= to; ++row) {
      for (int32_t column = 0; column < columns_; ++column) {
        CTableCellObj* cell = CellOf(column, row);
        if (cell == nullptr) return -1;
        if (written > 0) archive.Write(kChildTextSeparator, sizeof(kChildTextSeparator) - 1);
        answer = cell->SerializeRange(archive, kFormatPlainText, 0, nullptr, nullptr, nullptr);
        ++written;
      }
    }
  } catch (const std::exception&) {
    return -1;
  }
  return written > 1 ? 1 : answer;
}

// A crossing is named by its row class (middle 0, top 3, bottom 6) plus
// its column class (left border 0, inside 1, right border 2).
int CTableObject::ExportBoundaryChar(platform::CArchive& archive, const TableCaret& start,
                                     const TableCaret& /*end*/) {
  if (start.mode == kCaretInCell) {
    CTableCellObj* cell = CellOf(start.column, start.row);
    if (cell == nullptr) return 0;
    CVedTextPos at;
    cell->GetCursor(&at);
    return cell->SerializeRange(archive, kFormatBareText, 0, &at, &at, nullptr);
  }
  if (start.x < 0 || start.column < 0 || start.column >= columns_ || start.row < 0 ||
      start.row >= rows_) {
    return 0;
  }
  const bool across = IsOnHorizontalLine(start.row, start.y);
  const bool down = IsOnVerticalLine(start.column, start.x);
  const char* glyph = nullptr;
  if (across && down) {
    const bool lastRow = start.row == rows_ - 1;
    const int rowClass = start.row == 0 && start.y == 0             ? 3
                         : lastRow && start.y >= RowSpan(start.row) ? 6
                                                                    : 0;
    const bool rightBorder = start.column == columns_ - 1 && start.x == ColumnSpan(start.column);
    const int columnClass = rightBorder ? 2 : (start.column > 0 || start.x > 0 ? 1 : 0);
    glyph = kBoxCrossings + 2 * (rowClass + columnClass);
  } else if (across) {
    glyph = kBoxHorizontal;
  } else if (down) {
    glyph = kBoxVertical;
  }
  if (glyph == nullptr) return 0;
  try {
    archive.Write(glyph, 2);
  } catch (const std::exception&) {
    return 0;
  }
  return 1;
}
