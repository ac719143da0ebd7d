#include "model/grid_area.h"

#include <algorithm>

#include "model/renderer.h"
#include "model/text_navigator.h"

namespace {

// The area treats these like the plain line start and line end moves.
constexpr int kMoveLineStartAlike = 21;
constexpr int kMoveLineEndAlike = 22;

// Rectangle modes that ask for the whole cell; the others ask for the caret.
constexpr int kRectCell = 1;
constexpr int kRectLineBox = 3;

constexpr uint16_t kBlank = 32;

// Without a parameter block a move sets the cursor and does not wrap.
constexpr MoveParams kDefaultMoveParams{1, 0, 0};

constexpr int kFailed = 0;
constexpr int kDone = 1;

// A null path and a path without steps both stand for "none given".
bool IsGiven(const CVedTextPos* pos) { return pos != nullptr && pos->depth > 0; }

// Moves that never start from the position the caller gives.
bool IgnoresFrom(int command) {
  switch (command) {
    case kMoveDocumentStart:
    case kMoveDocumentEnd:
    case kMoveFirstLineAtX:
    case kMoveLastLineAtX:
    case kMoveLastLineStart:
    case kMoveLastParagraphStart:
    case kMoveLastWordStart:
      return true;
    default:
      return false;
  }
}

}  // namespace

// --- Counts and positions -------------------------------------------------

int32_t CGridAreaObject::ColumnsPerLine() const {
  if (pageFormat_.charPitch <= 0 || pageFormat_.textWidth <= 0) return 0;
  return pageFormat_.textWidth / pageFormat_.charPitch;
}

// An area without a whole column has no cells, so it has no rows either:
// every cell the area names then lies inside its width and height.
int32_t CGridAreaObject::Lines() const {
  if (ColumnsPerLine() == 0 || pageFormat_.linePitch <= 0 || pageFormat_.textHeight <= 0) {
    return 0;
  }
  return pageFormat_.textHeight / pageFormat_.linePitch;
}

// An unbounded text height gives the area no height at all.
int32_t CGridAreaObject::AreaHeight() const { return std::max(pageFormat_.textHeight, 0); }

int32_t CGridAreaObject::ColumnAtX(int32_t x) const {
  if (pageFormat_.charPitch <= 0) return 0;
  const int32_t held = std::clamp(x, 0, std::max(pageFormat_.textWidth - pageFormat_.charPitch, 0));
  return held / pageFormat_.charPitch;
}

bool CGridAreaObject::Contains(Cell cell) const {
  return cell.row >= 0 && cell.row < Lines() && cell.column >= 0 && cell.column < ColumnsPerLine();
}

std::optional<CGridAreaObject::Cell> CGridAreaObject::Resolve(const CVedTextPos* pos,
                                                              Cell fallback) const {
  if (!IsGiven(pos)) return fallback;
  // A text object's free-cursor path starts with the same two tags but is
  // longer: only a path of exactly two steps is the area's.
  if (pos->depth != 2 || pos->pairs.size() < 2) return std::nullopt;
  const PosPair& column = pos->pairs[0];
  const PosPair& row = pos->pairs[1];
  if (column.tag != kTagFreeCursor || row.tag != kTagFreeCursor) return std::nullopt;
  const Cell cell{row.value, column.value};
  if (!Contains(cell)) return std::nullopt;
  return cell;
}

std::optional<CGridAreaObject::Cell> CGridAreaObject::ResolveOrCursor(
    const CVedTextPos* pos) const {
  return Resolve(pos, CursorCell());
}

void CGridAreaObject::WritePath(Cell cell, CVedTextPos* out) {
  if (out == nullptr) return;
  out->pairs = {{kTagFreeCursor, cell.column}, {kTagFreeCursor, cell.row}};
  out->depth = 2;
}

platform::RECT CGridAreaObject::LineBox(Cell cell, int32_t baseRow) const {
  const int32_t x = cell.column * pageFormat_.charPitch;
  const int32_t y = (cell.row - baseRow) * pageFormat_.linePitch;
  return {x, y, x + pageFormat_.charPitch, y + pageFormat_.linePitch};
}

int32_t CGridAreaObject::BlankWidth() const {
  if (renderer_ == nullptr) return 0;
  return renderer_->FontUseList().GetCharWidth(renderer_->GetDefaultFontId(), kBlank);
}

// --- Life and format ------------------------------------------------------

int CGridAreaObject::Initialize(CDocRenderer* renderer, CEditFeedback* feedback) {
  renderer_ = renderer;
  feedback_ = feedback;
  return kDone;
}

int CGridAreaObject::Clear() {
  cursorRow_ = 0;
  cursorColumn_ = 0;
  return kDone;
}

int CGridAreaObject::SetPageFormat(const PageFormat* format) { return ApplyPageFormat(format); }

int CGridAreaObject::Reset() { return kDone; }

int CGridAreaObject::CheckPageFormat(const PageFormat* /*format*/) { return kFormatFits; }

int CGridAreaObject::ApplyPageFormat(const PageFormat* format) {
  if (format == nullptr) return kFailed;
  cursorRow_ = 0;
  cursorColumn_ = 0;
  pageFormat_ = *format;
  previousRect_.bottom = pageFormat_.linePitch;
  return kDone;
}

int CGridAreaObject::GetPageFormat(PageFormat* out) {
  if (out == nullptr) return kFailed;
  *out = pageFormat_;
  return kDone;
}

// The area has no options of its own.
int CGridAreaObject::SetOptions(const DocObjOptions* /*options*/) { return kDone; }

DocObjOptions* CGridAreaObject::GetOptions(DocObjOptions* out) { return out; }

int CGridAreaObject::SetReferenceDC(platform::HDC dc) {
  pageFormat_.referenceDC = dc;
  return kDone;
}

void CGridAreaObject::SetPreviousRect(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  previousRect_ = {left, top, right, bottom};
}

// --- Queries --------------------------------------------------------------

int CGridAreaObject::GetKindAt(const CVedTextPos* pos, ObjectDescription* out) {
  if (out == nullptr || !ResolveOrCursor(pos)) return kFailed;
  (*out)[0] = kObjectGridArea;
  return kDone;
}

platform::RECT* CGridAreaObject::GetPositionRect(platform::RECT* out, int mode,
                                                 const CVedTextPos* pos, const CVedTextPos* base) {
  if (out == nullptr) return nullptr;
  *out = {};
  const std::optional<Cell> cell = ResolveOrCursor(pos);
  const std::optional<Cell> baseCell = Resolve(base, Cell{});
  if (!cell || !baseCell || cell->row < baseCell->row) return out;
  platform::RECT box = LineBox(*cell, baseCell->row);
  if (mode != kRectCell && mode != kRectLineBox) {
    // The caret: one blank wide, as high as the line above the area.
    box.right = box.left + BlankWidth();
    box.bottom = box.top + previousRect_.Height();
  }
  *out = box;
  return out;
}

platform::RECT* CGridAreaObject::GetFrameRect(platform::RECT* out, const CVedTextPos* /*pos*/) {
  if (out == nullptr) return nullptr;
  *out = {-1, -1, -1, -1};
  return out;
}

int CGridAreaObject::GetLineColumn(int32_t* line, int32_t* column, const CVedTextPos* pos,
                                   const CVedTextPos* base) {
  if (line == nullptr || column == nullptr) return kFailed;
  *line = 0;
  *column = 0;
  const std::optional<Cell> cell = ResolveOrCursor(pos);
  const std::optional<Cell> baseCell = Resolve(base, Cell{});
  if (!cell || !baseCell || cell->row < baseCell->row) return kFailed;
  *line = cell->row - baseCell->row + 1;
  *column = cell->column + 1;
  return kDone;
}

int CGridAreaObject::PositionFromLineColumn(int32_t line, int32_t column, const CVedTextPos* base,
                                            CVedTextPos* out) {
  const std::optional<Cell> baseCell = Resolve(base, Cell{});
  if (!baseCell || line < 1 || column < 1) return kNoPosition;
  const int64_t row = int64_t{baseCell->row} + line - 1;
  if (row >= Lines()) return Lines() - baseCell->row;
  // A column past the line's end stops on its last cell.
  const int64_t lastColumn = ColumnsPerLine() - 1;
  const int64_t wanted = int64_t{baseCell->column} + column - 1;
  WritePath({static_cast<int32_t>(row), static_cast<int32_t>(std::min(wanted, lastColumn))}, out);
  return line;
}

int32_t CGridAreaObject::CountLines(const CVedTextPos* from, const CVedTextPos* to) {
  std::optional<Cell> first = Resolve(from, Cell{});
  if (!first) return 0;
  if (!IsGiven(to)) return Lines() - first->row;
  std::optional<Cell> last = Resolve(to, Cell{});
  if (!last) return 0;
  if (*last < *first) std::swap(first, last);
  return last->row - first->row;
}

int32_t CGridAreaObject::GetHeight(const CVedTextPos* from, const CVedTextPos* to) {
  std::optional<Cell> first = Resolve(from, Cell{});
  if (!first) return 0;
  const bool fromGiven = IsGiven(from);
  if (!IsGiven(to)) return AreaHeight() - (fromGiven ? LineBox(*first, 0).top : 0);
  std::optional<Cell> last = Resolve(to, Cell{});
  if (!last) return 0;
  if (fromGiven && *last < *first) std::swap(first, last);
  const int32_t top = fromGiven ? LineBox(*first, 0).top : 0;
  return LineBox(*last, 0).bottom - top;
}

LineMetrics* CGridAreaObject::GetLineMetrics(LineMetrics* out, const CVedTextPos* pos) {
  if (out == nullptr) return nullptr;
  *out = {};
  if (!ResolveOrCursor(pos)) return out;
  out->height = pageFormat_.linePitch;
  out->endKind = kLineEndParagraph;
  return out;
}

LineMetrics* CGridAreaObject::GetPageLineMetrics(LineMetrics* out, const CVedTextPos* pos) {
  return GetLineMetrics(out, pos);
}

int CGridAreaObject::StepLineFrom(const CVedTextPos* pos, int direction, CVedTextPos* out) const {
  const std::optional<Cell> cell = ResolveOrCursor(pos);
  if (!cell) return kFailed;
  const bool given = IsGiven(pos);
  int32_t row = 0;
  switch (direction) {
    case kLineThis:
      row = cell->row;
      break;
    case kLineNext:
      row = given ? cell->row + 1 : Lines() - 1;
      break;
    case kLinePrevious:
      row = given ? cell->row - 1 : 0;
      break;
    default:
      return kFailed;
  }
  const Cell start{row, 0};
  if (!Contains(start)) return kFailed;
  WritePath(start, out);
  return kDone;
}

int CGridAreaObject::StepLine(const CVedTextPos* pos, int direction, CVedTextPos* out) {
  return StepLineFrom(pos, direction, out);
}

int CGridAreaObject::StepPageLine(const CVedTextPos* pos, int direction, CVedTextPos* out) {
  return StepLineFrom(pos, direction, out);
}

int CGridAreaObject::IsFirstLine(const CVedTextPos* pos) {
  const std::optional<Cell> cell = ResolveOrCursor(pos);
  return cell && cell->row == 0 ? 1 : 0;
}

int CGridAreaObject::IsLastLine(const CVedTextPos* pos) {
  const std::optional<Cell> cell = ResolveOrCursor(pos);
  return cell && cell->row >= Lines() - 1 ? 1 : 0;
}

int CGridAreaObject::IsEmpty() { return 1; }

int32_t CGridAreaObject::CountChars() { return 0; }

int32_t CGridAreaObject::CountAux() { return 0; }

int CGridAreaObject::ComparePositions(const CVedTextPos* a, const CVedTextPos* b) {
  if (!IsGiven(a) || !IsGiven(b)) return kCompareIncomparable;
  const std::optional<Cell> first = Resolve(a, Cell{});
  const std::optional<Cell> second = Resolve(b, Cell{});
  if (!first || !second) return kCompareIncomparable;
  if (*first < *second) return kCompareBefore;
  return *first == *second ? kCompareEqual : kCompareAfter;
}

int CGridAreaObject::PositionFromCell(int32_t line, int32_t column, CVedTextPos* out) {
  if (line < 1 || column < 1 || line > Lines() || column > ColumnsPerLine()) return kFailed;
  WritePath({line - 1, column - 1}, out);
  return kDone;
}

// --- Cursor ---------------------------------------------------------------

int CGridAreaObject::GetCursor(CVedTextPos* out) {
  if (out == nullptr) return kFailed;
  WritePath(CursorCell(), out);
  return kDone;
}

int CGridAreaObject::SetCursor(const CVedTextPos* pos) {
  if (!IsGiven(pos)) return kFailed;
  const std::optional<Cell> cell = Resolve(pos, Cell{});
  if (!cell) return kFailed;
  cursorRow_ = cell->row;
  cursorColumn_ = cell->column;
  return kDone;
}

std::optional<CGridAreaObject::Cell> CGridAreaObject::MoveTarget(int command, Cell start, int32_t x,
                                                                 int* answer) const {
  const int32_t lastRow = Lines() - 1;
  const int32_t lastColumn = ColumnsPerLine() - 1;
  switch (command) {
    case kMovePrevChar:
      return Cell{start.row, start.column - 1};
    case kMoveNextChar:
      return Cell{start.row, start.column + 1};
    case kMoveLineUp:
      return Cell{start.row - 1, ColumnAtX(x)};
    case kMoveLineDown:
      return Cell{start.row + 1, ColumnAtX(x)};
    case kMoveLineStart:
    case kMoveLineStartAlike:
      return Cell{start.row, 0};
    case kMoveLineEnd:
    case kMoveLineEndAlike:
      return Cell{start.row, lastColumn};
    case kMoveNextLineStart:
      return Cell{start.row + 1, 0};
    case kMovePrevLineStart:
      return Cell{start.row - 1, 0};
    case kMoveNextParagraph:
    case kMoveNextWord:
      *answer = kMoveAfterEnd;
      return std::nullopt;
    case kMovePrevParagraph:
    case kMovePrevWord:
    case kMoveLastLineStart:
    case kMoveLastParagraphStart:
    case kMoveLastWordStart:
      *answer = kMoveBeforeStart;
      return std::nullopt;
    case kMoveDocumentStart:
      return Cell{0, 0};
    case kMoveDocumentEnd:
      return Cell{lastRow, lastColumn};
    case kMoveFirstLineAtX:
      return Cell{0, ColumnAtX(x)};
    case kMoveLastLineAtX:
      return Cell{lastRow, ColumnAtX(x)};
    default:
      // Paragraph and word moves, and anything else, stay where they start.
      return start;
  }
}

// The column is settled first (stopping at a line edge or wrapping to the
// neighbouring row), then the row against the area's top and bottom.
int CGridAreaObject::CheckEdges(Cell* cell, bool wrap) const {
  const int32_t columns = ColumnsPerLine();
  if (cell->column < 0) {
    if (!wrap) return kMoveStoppedAtLineStart;
    --cell->row;
    cell->column = columns - 1;
  } else if (cell->column >= columns) {
    if (!wrap) return kMoveStoppedAtLineEnd;
    ++cell->row;
    cell->column = 0;
  }
  if (cell->row < 0) return kMoveBeforeStart;
  if (cell->row >= Lines()) return kMoveAfterEnd;
  return kMoveDone;
}

int CGridAreaObject::MoveCursor(int command, const MoveParams* params, const CVedTextPos* from,
                                CVedTextPos* out) {
  const MoveParams& p = params != nullptr ? *params : kDefaultMoveParams;
  Cell start = CursorCell();
  if (!IgnoresFrom(command) && IsGiven(from)) {
    const std::optional<Cell> cell = Resolve(from, Cell{});
    if (!cell) return kMoveFailed;
    start = *cell;
  }
  int answer = kMoveDone;
  std::optional<Cell> target = MoveTarget(command, start, p.value, &answer);
  if (!target) return answer;
  answer = CheckEdges(&*target, p.wrap != 0);
  if (answer != kMoveDone) return answer;
  WritePath(*target, out);
  if (p.setCursor != 0) {
    cursorRow_ = target->row;
    cursorColumn_ = target->column;
  }
  return kMoveDone;
}

int32_t CGridAreaObject::PositionFromPoint(int setCursor, const CVedTextPos* base, int32_t x,
                                           int32_t y, CVedTextPos* out) {
  const std::optional<Cell> baseCell = Resolve(base, Cell{});
  if (!baseCell) return kNoPosition;
  const int32_t baseTop = IsGiven(base) ? LineBox(*baseCell, 0).top : 0;
  // Below the cells the answer is the height passed over from the base,
  // which is what a container adds up as it walks on to later children.
  const int32_t passed = AreaHeight() - baseTop;
  const int32_t lines = Lines();
  if (lines == 0) return passed > 0 ? passed : kNoPosition;
  const int64_t top = std::max<int64_t>(int64_t{y} + baseTop, 0);
  if (top >= int64_t{lines} * pageFormat_.linePitch) return passed;
  const bool xInside = x >= 0 && x <= pageFormat_.textWidth;
  const Cell cell{static_cast<int32_t>(top / pageFormat_.linePitch), ColumnAtX(xInside ? x : 0)};
  if (setCursor != 0) {
    cursorRow_ = cell.row;
    cursorColumn_ = cell.column;
  }
  WritePath(cell, out);
  return 0;
}

// --- Anchors --------------------------------------------------------------

int CGridAreaObject::SetAnchor(int kind, CVedAnchor* anchor, const CVedTextPos* pos) {
  if (kind == kAnchorLine) return kFailed;
  const std::optional<Cell> cell = ResolveOrCursor(pos);
  if (!cell) return kFailed;
  anchor_ = anchor;
  anchorRow_ = cell->row;
  anchorColumn_ = cell->column;
  return kDone;
}

// The area keeps one character anchor; it is found from any position at
// or before it, and a search for the next one from its own place goes on
// past it, or a walk over the anchors would find it again and again.
CVedAnchor* CGridAreaObject::FindAnchor(int kind, const CVedTextPos* from, int next) {
  if (kind == kAnchorLine || anchor_ == nullptr) return nullptr;
  const Cell anchored{anchorRow_, anchorColumn_};
  if (IsGiven(from)) {
    const std::optional<Cell> cell = Resolve(from, Cell{});
    if (!cell || anchored < *cell || (next != 0 && !(*cell < anchored))) return nullptr;
  }
  WritePath(anchored, &anchor_->position);
  return anchor_;
}

// --- Content: the area holds none -----------------------------------------

int CGridAreaObject::InsertText(std::string_view /*text*/, EditResult* /*out*/) { return kFailed; }

int CGridAreaObject::DeleteChar(int /*kind*/, EditResult* /*out*/) { return kFailed; }

int CGridAreaObject::DeleteRange(const CVedTextPos* /*from*/, const CVedTextPos* /*to*/,
                                 EditResult* /*out*/) {
  return kFailed;
}

int CGridAreaObject::AdjustRange(const CVedTextRange* in, CVedTextRange* out) {
  if (in == nullptr || out == nullptr) return kFailed;
  if (in != out) *out = *in;
  return kDone;
}

int CGridAreaObject::FindText(int /*options*/, int /*direction*/, std::string_view /*text*/,
                              CVedTextRange* /*out*/) {
  return kFailed;
}

int CGridAreaObject::Draw(const CVedTextPos* /*from*/, int /*flags*/, int32_t /*skipHeight*/,
                          int /*flags2*/, int32_t /*bandHeight*/, DrawResult* out) {
  if (out != nullptr) *out = {};
  return kFailed;
}

int CGridAreaObject::SetCharFormat(const CharFormat* /*format*/) { return kDone; }

int CGridAreaObject::GetCharFormat(CharFormat* /*out*/) { return kFailed; }

int CGridAreaObject::ApplyFontValue(int32_t /*value*/, const CVedTextPos* /*from*/,
                                    const CVedTextPos* /*to*/) {
  return kFailed;
}

int CGridAreaObject::SetCharFont(const CharFormat* /*format*/, const CVedTextPos* /*from*/,
                                 const CVedTextPos* /*to*/, EditResult* /*out*/) {
  return kFailed;
}

int CGridAreaObject::GetCharFont(CharFormat* /*out*/, const CVedTextPos* /*from*/,
                                 const CVedTextPos* /*to*/) {
  return kFailed;
}

int CGridAreaObject::SetCharDecoration(const CharDecoration* /*decoration*/,
                                       const CVedTextPos* /*from*/, const CVedTextPos* /*to*/,
                                       EditResult* /*out*/) {
  return kFailed;
}

int CGridAreaObject::GetCharDecoration(CharDecoration* /*out*/, const CVedTextPos* /*from*/,
                                       const CVedTextPos* /*to*/) {
  return kFailed;
}

int CGridAreaObject::SetCharDesign(const CharDesign* /*design*/, const CVedTextPos* /*from*/,
                                   const CVedTextPos* /*to*/, EditResult* /*out*/) {
  return kFailed;
}

int CGridAreaObject::GetCharDesign(CharDesign* /*out*/, const CVedTextPos* /*from*/,
                                   const CVedTextPos* /*to*/) {
  return kFailed;
}

int CGridAreaObject::SetParaFormat(const ParaFormat* /*format*/, const CVedTextPos* /*from*/,
                                   const CVedTextPos* /*to*/, EditResult* /*out*/) {
  return kFailed;
}

int CGridAreaObject::GetParaFormat(ParaFormat* /*out*/, const CVedTextPos* /*from*/,
                                   const CVedTextPos* /*to*/) {
  return kFailed;
}

int CGridAreaObject::GetCursorFormat(int /*flag*/, CharFormat* /*out*/) { return kFailed; }

// Nothing is stored; a load takes nothing from the archive and succeeds.
int CGridAreaObject::SerializeRange(platform::CArchive& archive, int /*tag*/, int /*mode*/,
                                    const CVedTextPos* /*from*/, const CVedTextPos* /*to*/,
                                    EditResult* out) {
  const int answer = archive.IsLoading() ? kDone : kFailed;
  if (out != nullptr) out->changed = answer;
  return answer;
}

int CGridAreaObject::MergeFrom(CDocObject* /*other*/, int /*flag*/, EditResult* /*out*/) {
  return kFailed;
}

int CGridAreaObject::SplitInto(const CVedTextPos* /*pos*/, CDocObject* /*other*/,
                               EditResult* /*out*/) {
  return kFailed;
}
