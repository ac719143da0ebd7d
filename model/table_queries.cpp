// How the table answers as a document object: kinds, rectangles, lines and
// columns on its grid, heights and line metrics for pagination, the caret,
// anchors, position order, and re-fitting to a new page format. A position
// in a cell is handed to the cell with the rest of its path; a position on
// the ruled-line grid is answered by the table itself.
#include <algorithm>
#include <cstdint>
#include <set>

#include "model/renderer.h"
#include "model/table_object.h"

namespace {

// The end kind a table gives its ruled lines and row bands.
constexpr int32_t kLineEndTableRule = 11;

// A caret on a rule at least this high (or wide) gets a band of this size
// centred on the rule, so that it stays visible but does not cover it.
constexpr int32_t kRuleBandHeight = 100;
constexpr int32_t kRuleBandWidth = 150;
constexpr int kLineBoxMode = 3;

// What a cell's CheckPageFormat answers, as the table reports it.
constexpr int kCellObjectsFirst = 1;
constexpr int kCellObjectsSecond = 2;

constexpr uint16_t kSpaceCode = 0x20;

bool BandsByRows(int mode) { return mode == 0 || mode == 1; }
bool BandsByColumns(int mode) { return mode == 0 || mode == 2; }

bool IsEmptyRect(const platform::RECT& r) { return r.left == r.right && r.top == r.bottom; }

void Offset(platform::RECT* r, int32_t dx, int32_t dy) {
  r->left += dx;
  r->right += dx;
  r->top += dy;
  r->bottom += dy;
}

int32_t CeilDiv(int32_t a, int32_t b) { return b > 0 && a > 0 ? (a + b - 1) / b : a / b; }

// A rule size carried over to a new pitch keeps its share of the pitch:
// new pitch x old size / old pitch, in one step so that a rule as wide as
// or wider than its pitch does not divide by zero. A rule never shrinks to
// nothing, which would leave the grid without its lines.
int32_t RescaledRule(int32_t size, int32_t oldPitch, int32_t newPitch) {
  if (oldPitch <= 0) return std::max(1, size);
  return std::max<int32_t>(1,
                           static_cast<int32_t>(static_cast<int64_t>(newPitch) * size / oldPitch));
}

}  // namespace

// ---- Reading positions

std::optional<CTableObject::TablePlace> CTableObject::Place(const CVedTextPos* pos) const {
  TablePlace place;
  if (pos == nullptr || pos->IsEmpty()) {
    place.pos = caret_;
    return place;
  }
  const std::optional<TableCaret> read = PathToTablePos(pos);
  if (!read) return std::nullopt;
  place.pos = *read;
  place.rest = StripTablePairs(*pos);
  place.inner = true;
  return place;
}

CTableCellObj* CTableObject::CellOfPlace(const TablePlace& place) const {
  if (place.pos.mode != kCaretInCell) return nullptr;
  return CellOf(place.pos.column, place.pos.row);
}

// A joined cell's text starts at its top-left grid position.
GridPoint CTableObject::CellStart(int32_t column, int32_t row) const {
  int32_t c = column;
  int32_t r = row;
  while (IsInGrid(c, r)) {
    const uint8_t flags = records_[static_cast<size_t>(r * columns_ + c)].flags;
    if ((flags & kJoinedAbove) != 0 && r > 0) {
      --r;
    } else if ((flags & kJoinedLeft) != 0 && c > 0) {
      --c;
    } else {
      break;
    }
  }
  return {r, c, 0, 0};
}

// ---- Rectangles

platform::RECT CTableObject::RectOf(const TablePlace& place, int mode) const {
  const TableCaret& p = place.pos;
  if (rows_ == 0 || columns_ == 0) return {};
  if (p.mode == kCaretInCell) {
    CTableCellObj* cell = CellOfPlace(place);
    if (cell == nullptr) return {};
    platform::RECT rect{};
    cell->GetPositionRect(&rect, mode, place.inner ? &place.rest : nullptr, nullptr);
    if (IsEmptyRect(rect)) return rect;
    const GridPoint start = CellStart(p.column, p.row);
    const platform::RECT origin = GetCellRect(start.column, start.row);
    Offset(&rect, origin.left, origin.top);
    return rect;
  }
  if (p.mode != kCaretOnGrid || p.row < 0 || p.row >= rows_ || p.column < 0) return {};
  const bool beside = p.x < 0 || p.column >= columns_;
  const bool onHorizontal = IsOnHorizontalLine(p.row, p.y);
  platform::RECT rect{};
  rect.top = RowTop(p.row);
  if (p.y > 0) {
    rect.top += p.row == rows_ - 1 && p.y == RowSpan(p.row)
                    ? ruleHeight_ + rowHeights_[static_cast<size_t>(p.row)]
                    : ruleHeight_ + (p.y - 1) * LinePitch();
  }
  rect.left = ColumnLeft(p.column);
  if (p.column >= columns_) {
    rect.left += ruleWidth_ + p.x * Pitch();
  } else if (p.x > 0) {
    rect.left += p.column == columns_ - 1 && p.x == ColumnSpan(p.column)
                     ? ruleWidth_ + columnWidths_[static_cast<size_t>(p.column)]
                     : ruleWidth_ + (p.x - 1) * Pitch();
  } else if (p.x < 0) {
    rect.left += p.x * Pitch();
  }
  if (!beside || onHorizontal) {
    if (BandsByRows(mode) && ruleHeight_ >= kRuleBandHeight) {
      rect.top += ruleHeight_ / 2 - kRuleBandHeight / 2;
      rect.bottom = rect.top + kRuleBandHeight;
    } else {
      rect.bottom = rect.top + ruleHeight_;
    }
  } else {
    rect.bottom = rect.top + LinePitch();
  }
  if (!beside) {
    if (BandsByColumns(mode) && ruleWidth_ >= kRuleBandWidth) {
      rect.left += ruleWidth_ / 2 - kRuleBandWidth / 2;
      rect.right = rect.left + kRuleBandWidth;
    } else {
      rect.right = rect.left + ruleWidth_;
    }
  } else if (BandsByColumns(mode)) {
    rect.right = rect.left + std::min(SpaceWidth(), ruleWidth_);
  } else {
    rect.right = rect.left + Pitch();
  }
  return rect;
}

int32_t CTableObject::SpaceWidth() const {
  if (renderer_ == nullptr) return Pitch();
  return renderer_->FontUseList().GetCharWidth(renderer_->GetDefaultFontId(), kSpaceCode);
}

platform::RECT* CTableObject::GetPositionRect(platform::RECT* out, int mode, const CVedTextPos* pos,
                                              const CVedTextPos* base) {
  if (out == nullptr) return out;
  *out = platform::RECT{};
  const std::optional<TablePlace> place = Place(pos);
  if (!place) return out;
  platform::RECT rect = RectOf(*place, mode);
  if (base != nullptr && !base->IsEmpty() && !IsEmptyRect(rect)) {
    const std::optional<TablePlace> from = Place(base);
    if (!from) return out;
    // A base on a rule below the top one counts from where a caret on
    // that rule is shown.
    const TableCaret& b = from->pos;
    int32_t baseTop = RectOf(*from, kLineBoxMode).top;
    if (b.mode == kCaretOnGrid && IsOnHorizontalLine(b.row, b.y) && (b.row > 0 || b.y > 0) &&
        BandsByRows(mode) && ruleHeight_ >= kRuleBandHeight) {
      baseTop += ruleHeight_ / 2 - kRuleBandHeight / 2;
    }
    Offset(&rect, 0, -baseTop);
  }
  *out = rect;
  return out;
}

platform::RECT* CTableObject::GetFrameRect(platform::RECT* out, const CVedTextPos* pos) {
  if (out == nullptr) return out;
  *out = platform::RECT{-1, -1, -1, -1};
  const std::optional<TablePlace> place = Place(pos);
  if (!place) return out;
  CTableCellObj* cell = CellOfPlace(*place);
  if (cell == nullptr) return out;
  platform::RECT frame{};
  cell->GetFrameRect(&frame, place->inner ? &place->rest : nullptr);
  const GridPoint start = CellStart(place->pos.column, place->pos.row);
  const platform::RECT origin = GetCellRect(start.column, start.row);
  Offset(&frame, origin.left, origin.top);
  *out = frame;
  return out;
}

// ---- Lines and columns of the grid

int32_t CTableObject::LineCount() const {
  if (rows_ == 0) return 0;
  return GridYOf(rows_ - 1, RowSpan(rows_ - 1)) + 1;
}

bool CTableObject::LineAndColumnOf(const TablePlace& place, int32_t* line, int32_t* column) const {
  const TableCaret& p = place.pos;
  if (rows_ == 0 || columns_ == 0 || p.row < 0 || p.row >= rows_) return false;
  if (p.mode == kCaretOnGrid) {
    *line = GridYOf(p.row, p.y) + 1;
    *column = GridXOf(p.column, p.x) + 1;
    return true;
  }
  CTableCellObj* cell = CellOfPlace(place);
  if (cell == nullptr) return false;
  int32_t inLine = 0;
  int32_t inColumn = 0;
  if (cell->GetLineColumn(&inLine, &inColumn, place.inner ? &place.rest : nullptr, nullptr) == 0) {
    return false;
  }
  const GridPoint start = CellStart(p.column, p.row);
  *line = GridYOf(start.row, 0) + inLine + 1;
  *column = GridXOf(start.column, 0) + inColumn + 1;
  return true;
}

int CTableObject::GetLineColumn(int32_t* line, int32_t* column, const CVedTextPos* pos,
                                const CVedTextPos* base) {
  if (line == nullptr || column == nullptr || IsEmpty() != 0) return 0;
  int32_t baseLine = 1;
  int32_t baseColumn = 1;
  if (base != nullptr) {
    const std::optional<TablePlace> from = Place(base);
    if (!from || !LineAndColumnOf(*from, &baseLine, &baseColumn)) return 0;
  }
  int32_t l = LineCount();
  int32_t c = GridXOf(0, 0) + 1;
  if (pos == nullptr || !pos->IsEmpty()) {
    const std::optional<TablePlace> place = Place(pos);
    if (!place || !LineAndColumnOf(*place, &l, &c)) return 0;
  }
  if (l < baseLine) l = LineCount();
  if (c < baseColumn) c = baseColumn;
  *line = l - baseLine + 1;
  *column = c - baseColumn + 1;
  return 1;
}

// The grid position of a global line (0-based) and grid x.
TableCaret CTableObject::GridPlaceOf(int32_t line, int32_t gridX) const {
  TableCaret p{kCaretOnGrid, rows_ - 1, 0, 0, 0};
  for (int32_t row = 0; row < rows_; ++row) {
    if (row == rows_ - 1 || line < GridYOf(row + 1, 0)) {
      p.row = row;
      p.y = std::min(line - GridYOf(row, 0), RowSpan(row));
      break;
    }
  }
  const int32_t margin = GridXOf(0, 0);
  if (gridX < margin) {
    p.column = 0;
    p.x = gridX - margin;
    return p;
  }
  for (int32_t column = 0; column < columns_; ++column) {
    if (column == columns_ - 1 || gridX < GridXOf(column + 1, 0)) {
      const int32_t x = gridX - GridXOf(column, 0);
      if (x <= ColumnSpan(column) || ColumnSpan(columns_) < 0) {
        p.column = column;
        p.x = std::min(x, ColumnSpan(column));
        return p;
      }
    }
  }
  p.column = columns_;
  p.x = std::clamp(gridX - GridXOf(columns_, 0), 0, std::max(0, ColumnSpan(columns_)));
  return p;
}

int CTableObject::PositionFromLineColumn(int32_t line, int32_t column, const CVedTextPos* base,
                                         CVedTextPos* out) {
  if (out == nullptr || IsEmpty() != 0) return 0;
  int32_t baseLine = 1;
  int32_t baseColumn = 1;
  if (base != nullptr) {
    const std::optional<TablePlace> from = Place(base);
    if (!from || !LineAndColumnOf(*from, &baseLine, &baseColumn)) return 0;
  }
  *out = CVedTextPos();
  const int32_t target = baseLine + line - 1;
  if (target > LineCount()) {
    TablePosToPath(LastRowEnd(), out);
    return LineCount() - baseLine + 1;
  }
  const TableCaret p = GridPlaceOf(std::max(0, target - 1), baseColumn + column - 2);
  const bool onRule = IsOnHorizontalLine(p.row, p.y) || IsOnVerticalLine(p.column, p.x);
  const bool outside = p.x < 0 || p.column >= columns_;
  CTableCellObj* cell = onRule || outside ? nullptr : CellOf(p.column, p.row);
  const uint8_t flags =
      cell != nullptr ? records_[static_cast<size_t>(p.row * columns_ + p.column)].flags : 0;
  if (cell != nullptr && (flags & (kJoinedAbove | kJoinedLeft)) == 0) {
    CDocObject* text = cell->GetFirstChild();
    const int32_t lines = text != nullptr ? text->CountLines(nullptr, nullptr) : 0;
    if (p.y <= lines) {
      CVedTextPos inner;
      if (cell->PositionFromLineColumn(p.y, p.x, nullptr, &inner) >= p.y) {
        TablePosToPath({kCaretInCell, p.row, p.column, 0, 0}, &inner);
        *out = inner;
        return line;
      }
    }
  }
  TablePosToPath(p, out);
  return line;
}

int32_t CTableObject::CountLines(const CVedTextPos* from, const CVedTextPos* to) {
  if (IsEmpty() != 0) return 0;
  int32_t first = 1;
  int32_t last = LineCount();
  int32_t unused = 0;
  if (from != nullptr) {
    const std::optional<TablePlace> place = Place(from);
    if (!place || !LineAndColumnOf(*place, &first, &unused)) return 0;
  }
  if (to != nullptr) {
    const std::optional<TablePlace> place = Place(to);
    if (!place || !LineAndColumnOf(*place, &last, &unused)) return 0;
  }
  return last - first + 1;
}

// ---- Heights and pagination

int32_t CTableObject::GetHeight(const CVedTextPos* from, const CVedTextPos* to) {
  if (IsEmpty() != 0) return 0;
  int32_t top = 0;
  if (from != nullptr) {
    const std::optional<TablePlace> place = Place(from);
    if (!place) return 0;
    top = RectOf(*place, kLineBoxMode).top;
    const TableCaret& p = place->pos;
    if (p.mode == kCaretOnGrid && IsOnHorizontalLine(p.row, p.y) && (p.row > 0 || p.y > 0)) {
      top += ruleHeight_ / 2 - RuleThickness();
    }
  }
  int32_t bottom = TableHeight();
  if (to != nullptr) {
    const std::optional<TablePlace> place = Place(to);
    if (!place) return 0;
    bottom = RectOf(*place, kLineBoxMode).bottom;
  }
  return bottom - top;
}

int32_t CTableObject::RuleThickness() const {
  if (horizontal_.empty()) return 0;
  LineStyleAttributes attributes;
  horizontal_.front()->GetAttributes(&attributes);
  return attributes.thickness;
}

LineMetrics* CTableObject::GetLineMetrics(LineMetrics* out, const CVedTextPos* pos) {
  if (out == nullptr) return out;
  *out = LineMetrics{};
  const std::optional<TablePlace> place = Place(pos);
  if (!place || IsEmpty() != 0) return out;
  if (place->pos.mode == kCaretOnGrid) {
    *out = LineMetrics{ruleHeight_, 0, kLineEndTableRule, nullptr};
    return out;
  }
  if (CTableCellObj* cell = CellOfPlace(*place)) {
    cell->GetLineMetrics(out, place->inner ? &place->rest : nullptr);
  }
  return out;
}

int32_t CTableObject::BandFirstRow(int32_t row) const {
  if (row < 0 || row >= rows_ || columns_ == 0) return -1;
  const int32_t band = records_[static_cast<size_t>(row * columns_)].rowBand;
  while (row > 0 && records_[static_cast<size_t>((row - 1) * columns_)].rowBand == band) --row;
  return row;
}

int32_t CTableObject::BandLastRow(int32_t row) const {
  if (row < 0 || row >= rows_ || columns_ == 0) return -1;
  const int32_t band = records_[static_cast<size_t>(row * columns_)].rowBand;
  while (row + 1 < rows_ && records_[static_cast<size_t>((row + 1) * columns_)].rowBand == band) {
    ++row;
  }
  return row;
}

// A band of rows joined by cells is one line for pagination: its rows and
// the rules between them. The rules above and below the bands are shared
// out so that the bands add up to the table's height.
LineMetrics* CTableObject::GetPageLineMetrics(LineMetrics* out, const CVedTextPos* pos) {
  if (out == nullptr) return out;
  *out = LineMetrics{};
  const std::optional<TablePlace> place = Place(pos);
  if (!place || IsEmpty() != 0) return out;
  const int32_t first = BandFirstRow(std::clamp(place->pos.row, 0, rows_ - 1));
  const int32_t last = BandLastRow(first);
  int32_t height = 0;
  for (int32_t row = first; row <= last; ++row) {
    height += rowRecords_[static_cast<size_t>(row)].height;
    if (row > first) height += ruleHeight_;
  }
  const bool firstBand = first == 0;
  const bool lastBand = last == rows_ - 1;
  const int32_t thickness = RuleThickness();
  if (firstBand && lastBand) {
    height += 2 * ruleHeight_;
  } else if (firstBand) {
    height += ruleHeight_ + ruleHeight_ / 2 - thickness;
  } else if (lastBand) {
    height += 2 * ruleHeight_ + thickness - ruleHeight_ / 2;
  } else {
    height += ruleHeight_;
  }
  const TableRowRecord& record = rowRecords_[static_cast<size_t>(first)];
  *out = LineMetrics{height, record.fourth, kLineEndTableRule, record.anchor};
  return out;
}

int CTableObject::StepLine(const CVedTextPos*, int, CVedTextPos*) { return 0; }

int CTableObject::StepPageLine(const CVedTextPos* pos, int direction, CVedTextPos* out) {
  if (IsEmpty() != 0) return 0;
  int32_t row = -1;
  if (pos == nullptr) {
    switch (direction) {
      case kLineThis:
        row = BandFirstRow(std::clamp(caret_.row, 0, rows_ - 1));
        break;
      case kLineNext:
        row = BandFirstRow(rows_ - 1);
        break;
      case kLinePrevious:
        row = 0;
        break;
      default:
        return 0;
    }
  } else {
    const std::optional<TablePlace> place = Place(pos);
    if (!place) return 0;
    const int32_t at = place->pos.row;
    if (at < 0 || at >= rows_) return 0;
    switch (direction) {
      case kLineThis:
        row = BandFirstRow(at);
        break;
      case kLineNext:
        row = BandLastRow(at) + 1;
        break;
      case kLinePrevious:
        row = BandFirstRow(at) == 0 ? -1 : BandFirstRow(BandFirstRow(at) - 1);
        break;
      default:
        return 0;
    }
  }
  if (row < 0 || row >= rows_) return 0;
  if (out != nullptr) {
    *out = CVedTextPos();
    TablePosToPath({kCaretOnGrid, row, 0, 0, 0}, out);
  }
  return 1;
}

int CTableObject::IsFirstLine(const CVedTextPos* pos) {
  const std::optional<TablePlace> place = Place(pos);
  if (!place || IsEmpty() != 0) return 0;
  const TableCaret& p = place->pos;
  if (ruleGrid_ != 0 || p.mode == kCaretOnGrid) {
    return p.mode == kCaretOnGrid && p.row == 0 && p.y == 0 ? 1 : 0;
  }
  int32_t column = p.column;
  int32_t row = p.row;
  if (FindCellEdge(1, &column, &row) < 0 || row != 0) return 0;
  CTableCellObj* cell = CellOfPlace(*place);
  return cell != nullptr ? cell->IsFirstLine(place->inner ? &place->rest : nullptr) : 0;
}

int CTableObject::IsLastLine(const CVedTextPos* pos) {
  const std::optional<TablePlace> place = Place(pos);
  if (!place || IsEmpty() != 0) return 0;
  const TableCaret& p = place->pos;
  const int32_t lastRow = rows_ - 1;
  if (ruleGrid_ != 0 || p.mode == kCaretOnGrid) {
    return p.mode == kCaretOnGrid && p.row == lastRow && p.y == RowSpan(lastRow) ? 1 : 0;
  }
  int32_t column = p.column;
  int32_t row = p.row;
  if (FindCellEdge(2, &column, &row) < 0 || row != lastRow) return 0;
  CTableCellObj* cell = CellOfPlace(*place);
  return cell != nullptr ? cell->IsLastLine(place->inner ? &place->rest : nullptr) : 0;
}

// ---- The caret

int CTableObject::GetCursor(CVedTextPos* out) {
  if (out == nullptr || rows_ == 0) return 0;
  CVedTextPos path;
  if (caret_.mode == kCaretInCell) {
    if (CTableCellObj* cell = CellOf(caret_.column, caret_.row)) cell->GetCursor(&path);
  }
  TablePosToPath(caret_, &path);
  *out = path;
  return 1;
}

int CTableObject::SetCursor(const CVedTextPos* pos) {
  if (pos == nullptr || pos->IsEmpty() || IsEmpty() != 0) return 0;
  const std::optional<TablePlace> place = Place(pos);
  if (!place) return 0;
  TableCaret p = place->pos;
  if (p.mode == kCaretOnGrid) {
    if (p.row < 0 || p.row >= rows_ || p.column < 0 || p.column > columns_) return 0;
    p = ToCellPosition(p);
  } else if (p.mode == kCaretInCell) {
    CTableCellObj* cell = CellOf(p.column, p.row);
    if (cell == nullptr || cell->SetCursor(&place->rest) == 0) return 0;
  } else {
    return 0;
  }
  caret_ = p;
  caretTop_ = RectOf(TablePlace{caret_, {}, false}, kLineBoxMode).top;
  return 1;
}

int CTableObject::GetCursorFormat(int flag, CharFormat* out) {
  if (caret_.mode != kCaretInCell) return 0;
  CTableCellObj* cell = CellOf(caret_.column, caret_.row);
  return cell != nullptr ? cell->GetCursorFormat(flag, out) : 0;
}

// ---- Kinds, anchors, order

int CTableObject::GetKindAt(const CVedTextPos* pos, ObjectDescription* out) {
  if (out == nullptr) return 0;
  out->fill(0);
  (*out)[kDescType] = kObjectTable;
  const std::optional<TablePlace> place = Place(pos);
  if (!place || IsEmpty() != 0) return 0;
  const TableCaret& p = place->pos;
  if (p.mode == kCaretInCell) {
    (*out)[kDescSubKind] = kSubKindCellText;
    CTableCellObj* cell = CellOfPlace(*place);
    if (cell == nullptr) return 0;
    ObjectDescription inner{};
    const int answer = cell->GetKindAt(place->inner ? &place->rest : nullptr, &inner);
    std::copy(inner.begin(), inner.begin() + 5, out->begin() + 2);
    return answer;
  }
  if (p.x < 0 || p.column >= columns_) {
    (*out)[kDescSubKind] = kSubKindBesideTable;
    (*out)[kDescPlace] = p.x < 0 ? kPlaceLeftOfTable : kPlaceRightOfTable;
    return 1;
  }
  (*out)[kDescSubKind] = kSubKindOnRules;
  const bool across = IsOnHorizontalLine(p.row, p.y);
  const bool down = IsOnVerticalLine(p.column, p.x);
  (*out)[kDescPlace] = across && down ? kPlaceRuleCrossing
                       : across       ? kPlaceHorizontalRule
                                      : kPlaceVerticalRule;
  return 1;
}

int CTableObject::SetAnchor(int kind, CVedAnchor* anchor, const CVedTextPos* pos) {
  const std::optional<TablePlace> place = Place(pos);
  if (!place || IsEmpty() != 0) return 0;
  if (kind != kAnchorChar) {
    const int32_t row = BandFirstRow(place->pos.row);
    if (row < 0) return 0;
    rowRecords_[static_cast<size_t>(row)].anchor = anchor;
    return 1;
  }
  CTableCellObj* cell = CellOfPlace(*place);
  if (cell == nullptr) return 0;
  return cell->SetAnchor(kAnchorChar, anchor, place->inner ? &place->rest : nullptr);
}

CVedAnchor* CTableObject::FindAnchor(int kind, const CVedTextPos* from, int next) {
  if (IsEmpty() != 0) return nullptr;
  return kind == kAnchorChar ? FindCharAnchor(from, next) : FindLineAnchor(from, next);
}

CVedAnchor* CTableObject::FindLineAnchor(const CVedTextPos* from, int next) {
  int32_t row = rows_ - 1;
  if (from != nullptr) {
    const std::optional<TablePlace> place = Place(from);
    if (!place) return nullptr;
    row = std::clamp(place->pos.row, 0, rows_ - 1);
  }
  const int32_t bandStart = BandFirstRow(row);
  if (next == 0) row = bandStart - 1;
  for (; row >= 0; --row) {
    if (CVedAnchor* anchor = rowRecords_[static_cast<size_t>(row)].anchor) return anchor;
  }
  return nullptr;
}

// The anchor's cell is named through the cell records, so that a joined
// cell (whose object index is not its grid index) is found where it is.
CVedAnchor* CTableObject::FindCharAnchor(const CVedTextPos* from, int next) {
  int32_t object = 0;
  const CVedTextPos* inner = nullptr;
  std::optional<TablePlace> place;
  if (from != nullptr) {
    place = Place(from);
    if (!place) return nullptr;
    const TableCaret& p = place->pos;
    if (p.row < 0 || p.row >= rows_) return nullptr;
    int32_t row = p.row;
    int32_t column = std::max(0, p.column);
    if (p.mode == kCaretInCell) {
      inner = place->inner ? &place->rest : nullptr;
    } else if (row == rows_ - 1 && p.y >= RowSpan(row)) {
      return nullptr;
    } else if (column >= columns_) {
      ++row;
      column = 0;
    }
    if (row >= rows_ || column >= columns_) return nullptr;
    object = records_[static_cast<size_t>(row * columns_ + column)].objectIndex;
  }
  for (int32_t index = object; index < CellCount(); ++index) {
    CTableCellObj* cell = CellAt(index);
    CVedAnchor* anchor = index == object ? cell->FindAnchor(kAnchorChar, inner, next)
                                         : cell->FindAnchor(kAnchorChar, nullptr, 0);
    if (anchor == nullptr) continue;
    for (int32_t grid = 0; grid < static_cast<int32_t>(records_.size()); ++grid) {
      if (records_[static_cast<size_t>(grid)].objectIndex != index) continue;
      TablePosToPath({kCaretInCell, grid / columns_, grid % columns_, 0, 0}, &anchor->position);
      break;
    }
    return anchor;
  }
  return nullptr;
}

int CTableObject::ComparePositions(const CVedTextPos* a, const CVedTextPos* b) {
  const std::optional<TablePlace> first = Place(a);
  const std::optional<TablePlace> second = Place(b);
  if (!first || !second || IsEmpty() != 0) return kCompareIncomparable;
  const platform::RECT ra = RectOf(*first, kLineBoxMode);
  const platform::RECT rb = RectOf(*second, kLineBoxMode);
  if (ra.top == rb.top && ra.left == rb.left) return kCompareEqual;
  if (ra.top < rb.top || (ra.top == rb.top && ra.left < rb.left)) return kCompareBefore;
  return kCompareAfter;
}

int CTableObject::AdjustRange(const CVedTextRange* in, CVedTextRange* out) {
  if (in == nullptr || out == nullptr) return 0;
  out->start = in->start;
  out->end = in->end;
  return 1;
}

int CTableObject::MergeFrom(CDocObject*, int, EditResult* out) {
  if (out != nullptr) out->changed = 0;
  return 0;
}

int CTableObject::SplitInto(const CVedTextPos*, CDocObject*, EditResult* out) {
  if (out != nullptr) out->changed = 0;
  return 0;
}

// ---- Queries of the container and the document root

int CTableObject::GetCellAt(const CVedTextPos* pos, int32_t* row, int32_t* column) {
  const std::optional<TablePlace> place = Place(pos);
  if (!place) return 0;
  if (row != nullptr) *row = place->pos.row;
  if (column != nullptr) *column = place->pos.column;
  return place->pos.mode == kCaretInCell ? 1 : 0;
}

CDocObject* CTableObject::GetCellContentAt(const CVedTextPos* pos) {
  const std::optional<TablePlace> place = Place(pos);
  if (!place || IsEmpty() != 0) return nullptr;
  const int32_t column = std::clamp(place->pos.column, 0, columns_ - 1);
  CTableCellObj* cell = CellOf(column, place->pos.row);
  return cell != nullptr ? cell->GetFirstChild() : nullptr;
}

int CTableObject::IsCaretOnCellLastLine() {
  if (caret_.mode != kCaretInCell) return 0;
  CTableCellObj* cell = CellOf(caret_.column, caret_.row);
  return cell != nullptr ? cell->IsLastLine(nullptr) : 0;
}

int32_t CTableObject::GetTotalHeight() const { return TableHeight(); }

// ---- Page formats

bool CTableObject::CellsAccept(int32_t column, int32_t narrower, int32_t pitch,
                               const PageFormat& f) const {
  for (int32_t row = 0; row < rows_; ++row) {
    CTableCellObj* cell = CellOf(column, row);
    if (cell == nullptr) continue;
    PageFormat format;
    cell->GetPageFormat(&format);
    if (format.textWidth - narrower < pitch) return false;
    PageFormat asked = f;
    asked.textWidth = format.textWidth - narrower;
    asked.textHeight = format.textHeight;
    if (cell->CheckPageFormat(&asked) != kFormatFits) return false;
  }
  return true;
}

// How many characters each column gives up so that the table fits f's
// text width, in proportion to the column widths, each column only as far
// as its cells allow. The shares grow one by one until they reach what is
// needed or no column can give more.
CTableObject::ShrinkPlan CTableObject::PlanColumnShrink(const PageFormat& f) const {
  ShrinkPlan plan;
  const int32_t pitch = f.charPitch;
  plan.shares.assign(static_cast<size_t>(columns_), 0);
  std::vector<bool> marked(static_cast<size_t>(columns_), false);
  const int32_t needed = CeilDiv(tableWidth_ - f.textWidth, pitch);
  const int32_t usable = tableWidth_ - (columns_ + 1) * ruleWidth_;
  for (int32_t column = columns_ - 1; column >= 0; --column) {
    const auto c = static_cast<size_t>(column);
    int32_t share = usable > 0 && needed > 0
                        ? static_cast<int32_t>(static_cast<int64_t>(columnWidths_[c]) * 100 /
                                               usable * needed / 100)
                        : 0;
    while (share > 0 && !CellsAccept(column, share * pitch, pitch, f)) --share;
    if (share == 0) marked[c] = true;
    plan.shares[c] = share;
  }
  auto sum = [&plan] {
    int32_t total = 0;
    for (int32_t share : plan.shares) total += share;
    return total;
  };
  bool open = true;
  while (sum() < needed && open) {
    open = false;
    for (int32_t column = columns_ - 1; column >= 0 && sum() < needed; --column) {
      const auto c = static_cast<size_t>(column);
      if (marked[c]) continue;
      if (CellsAccept(column, (plan.shares[c] + 1) * pitch, pitch, f)) {
        ++plan.shares[c];
        open = true;
      } else {
        marked[c] = true;
      }
    }
  }
  plan.reached = ruleWidth_;
  for (int32_t column = 0; column < columns_; ++column) {
    const auto c = static_cast<size_t>(column);
    plan.reached += ruleWidth_ + columnWidths_[c] - plan.shares[c] * pitch;
  }
  return plan;
}

int CTableObject::CheckPageFormat(const PageFormat* format) {
  if (format == nullptr) return kFormatTooWide;
  if (IsEmpty() != 0) return kFormatFits;
  const PageFormat& f = *format;
  if (f.charPitch <= 0 || f.linePitch <= 0) return kFormatTooWide;
  if (f.textWidth >= tableWidth_ && f.charPitch == Pitch()) return kFormatFits;
  if (f.textWidth < (2 * columns_ + 1) * f.charPitch) return kFormatTooWide;
  if (f.textWidth < pageFormat_.textWidth && f.textWidth < PlanColumnShrink(f).reached) {
    return kFormatTooWide;
  }
  for (auto& cell : cells_) {
    const int answer = cell->CheckPageFormat(format);
    if (answer == kCellObjectsFirst) return kFormatCellObjects;
    if (answer == kCellObjectsSecond) return kFormatCellObjectsOther;
    if (answer != kFormatFits) return answer;
  }
  return kFormatFits;
}

// Each cell takes the new format's type, line-breaking and spacing fields
// while keeping its own device, resolutions, size and cell flag.
void CTableObject::SpreadFormatToCells(const PageFormat& f) {
  std::set<int32_t> done;
  for (int32_t row = 0; row < rows_; ++row) {
    bool grew = false;
    for (int32_t column = 0; column < columns_; ++column) {
      const int32_t object = records_[static_cast<size_t>(row * columns_ + column)].objectIndex;
      CTableCellObj* cell = CellAt(object);
      if (cell == nullptr || !done.insert(object).second) continue;
      PageFormat own;
      cell->GetPageFormat(&own);
      PageFormat next = f;
      next.referenceDC = own.referenceDC;
      next.resolutionX = own.resolutionX;
      next.resolutionY = own.resolutionY;
      next.textWidth = own.textWidth;
      next.textHeight = own.textHeight;
      next.cellFlag = own.cellFlag;
      const int32_t before = cell->GetContentHeight();
      cell->ApplyPageFormat(&next);
      if (cell->GetContentHeight() != before) grew = true;
    }
    if (grew) RecalcRowHeight(0, row);
  }
}

void CTableObject::ReflowAllCells() {
  for (int32_t row = 0; row < rows_; ++row) {
    for (int32_t column = 0; column < columns_; ++column) {
      const TableCellRecord& record = records_[static_cast<size_t>(row * columns_ + column)];
      // A re-flow finds the cell's column from its object index; a cell
      // whose index is not its grid index (after joins) would give its
      // width to another column, so it keeps its own.
      if ((record.flags & (kJoinedAbove | kJoinedLeft)) != 0 ||
          record.objectIndex != row * columns_ + column) {
        continue;
      }
      ReflowCell(record.objectIndex, columnWidths_[static_cast<size_t>(column)]);
    }
  }
  for (int32_t row = 0; row < rows_; ++row) RecalcRowHeight(0, row);
}

void CTableObject::RecomputeTableWidth() {
  tableWidth_ = ruleWidth_;
  for (int32_t width : columnWidths_) tableWidth_ += ruleWidth_ + width;
}

int CTableObject::ApplyPageFormat(const PageFormat* format) {
  if (format == nullptr) return 0;
  const PageFormat& f = *format;
  if (IsEmpty() != 0) {
    pageFormat_ = f;
    return 1;
  }
  // Nothing can be measured in a pitch of zero: such a format is refused
  // and the table keeps the one it has.
  if (f.charPitch <= 0 || f.linePitch <= 0) return 0;
  const int32_t width = RescaledRule(ruleWidth_, Pitch(), f.charPitch);
  const int32_t height = RescaledRule(ruleHeight_, LinePitch(), f.linePitch);
  const bool samePitch = f.charPitch == Pitch();
  pageFormat_ = f;
  ruleWidth_ = width;
  ruleHeight_ = height;
  for (auto& rule : horizontal_) rule->Bind(renderer_, ruleWidth_, ruleHeight_);
  for (auto& rule : vertical_) rule->Bind(renderer_, ruleWidth_, ruleHeight_);
  if (samePitch) {
    RecomputeTableWidth();
    if (f.textWidth >= tableWidth_) SpreadFormatToCells(f);
  } else {
    for (int32_t& w : columnWidths_) w = CeilDiv(w, f.charPitch) * f.charPitch;
    RecomputeTableWidth();
    ReflowAllCells();
  }
  if (f.textWidth < tableWidth_) {
    const ShrinkPlan plan = PlanColumnShrink(f);
    for (int32_t column = 0; column < columns_; ++column) {
      columnWidths_[static_cast<size_t>(column)] -=
          plan.shares[static_cast<size_t>(column)] * f.charPitch;
    }
    RecomputeTableWidth();
    ReflowAllCells();
  }
  ApplyPlacement();
  ClampCaret();
  caretTop_ = RectOf(TablePlace{caret_, {}, false}, kLineBoxMode).top;
  return 1;
}

void CTableObject::ClampCaret() {
  caret_.row = std::clamp(caret_.row, 0, rows_ - 1);
  if (caret_.mode == kCaretInCell) {
    caret_.column = std::clamp(caret_.column, 0, columns_ - 1);
    return;
  }
  caret_.column = std::clamp(caret_.column, 0, GridEnd().column);
  const int32_t margin = Pitch() > 0 ? leftOffset_ / Pitch() : 0;
  caret_.x = std::clamp(caret_.x, -margin, std::max(-margin, ColumnSpan(caret_.column)));
  caret_.y = std::clamp(caret_.y, 0, RowSpan(caret_.row));
}
