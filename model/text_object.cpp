#include "model/text_object.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>
#include <span>
#include <string>

namespace {

constexpr int32_t kMaskIndents = kMaskFirstIndent | kMaskLeftIndent | kMaskRightIndent;

// Finds a place without moving the caret.
constexpr MoveParams kNoMove{0, 0, 0};

bool IsDocumentWideMove(int command) {
  return command == kMoveDocumentStart || command == kMoveDocumentEnd ||
         (command >= kMoveFirstLineAtX && command <= kMoveLastWordStart);
}

// Holds a stripped copy of a position argument.
class Plain {
 public:
  explicit Plain(const CVedTextPos* pos) : pos_(CTextObject::StripFreeCursor(pos)) {}
  const CVedTextPos* get() const { return pos_ ? &*pos_ : nullptr; }

 private:
  std::optional<CVedTextPos> pos_;
};

bool HasPlace(const CVedTextPos* pos) {
  return pos != nullptr && pos->depth >= 2 && pos->pairs.size() >= 2 &&
         pos->pairs[0].tag == kTagFreeCursor && pos->pairs[1].tag == kTagFreeCursor;
}

// The position StepPageLine answers for the line of `nodes`.
void MakeLineStart(const TextNodes& nodes, CVedTextPos* out) {
  CTextNavigator::MakePosition(nodes, out);
  CTextObject::AddPlace(out, kZoneText, 0);
}

// A line of the store as a walk over the page lines reaches it, measured
// ahead. The first line of a walk is where the walk was asked to start, as
// it was given.
class TextPageLine final : public CPageLine {
 public:
  TextPageLine(const TextNodes& nodes, const LineMetrics& metrics, const CVedTextPos* given)
      : nodes_(nodes), metrics_(metrics), given_(given) {}
  void GetMetrics(LineMetrics* out) const override { *out = metrics_; }
  void GetPosition(CVedTextPos* out) const override {
    if (given_ != nullptr) {
      *out = *given_;
      return;
    }
    MakeLineStart(nodes_, out);
  }

 private:
  const TextNodes& nodes_;
  const LineMetrics& metrics_;
  const CVedTextPos* given_;
};

bool SameNodes(const TextNodes& a, const TextNodes& b) {
  return a.paragraph == b.paragraph && a.line == b.line && a.cell == b.cell;
}

// Whether the line start of `next` is the position a walk started at.
bool StaysOn(const CVedTextPos& start, const TextNodes& next) {
  CVedTextPos position;
  MakeLineStart(next, &position);
  return position == start;
}

// The line after `line` as StepPageLine steps to it, or none when the
// walk ends there (`end` says how). `given` is the position the line was
// given as, if it was.
std::optional<TextNodes> StepWalk(const CTextNavigator& navigator, const TextNodes& line,
                                  const CVedTextPos* given, PageLineWalk* end) {
  TextNodes next = line;
  if (!navigator.NextLineStart(&next)) {
    *end = PageLineWalk::kLinesEnded;
    return std::nullopt;
  }
  // A step that stays on its line ends the walk rather than never ending.
  if (given != nullptr ? StaysOn(*given, next) : SameNodes(line, next)) {
    *end = PageLineWalk::kStopped;
    return std::nullopt;
  }
  return next;
}

// The lines a walk measures together.
constexpr size_t kLinesAhead = 16;

}  // namespace

int CTextObject::Initialize(CDocRenderer* renderer, CEditFeedback* feedback) {
  zone_ = kZoneText;
  offset_ = 0;
  return CTextEngine::Initialize(renderer, feedback);
}

std::optional<CVedTextPos> CTextObject::StripFreeCursor(const CVedTextPos* pos) {
  if (pos == nullptr) return std::nullopt;
  CVedTextPos copy = *pos;
  copy.depth = pos->depth;
  if (HasPlace(pos)) {
    copy.PopFirstPair();
    copy.PopFirstPair();
  }
  return copy;
}

void CTextObject::GetFreeCursor(const CVedTextPos* pos, int32_t* zone, int32_t* offset) const {
  if (pos == nullptr) {
    *zone = zone_;
    *offset = offset_;
    return;
  }
  *zone = HasPlace(pos) ? pos->pairs[0].value : kZoneText;
  *offset = HasPlace(pos) ? pos->pairs[1].value : 0;
}

void CTextObject::AddPlace(CVedTextPos* pos, int32_t zone, int32_t offset) {
  if (pos->IsEmpty()) return;
  pos->PrependPair(kTagFreeCursor, zone == kZoneText ? 0 : offset);
  pos->PrependPair(kTagFreeCursor, zone);
}

void CTextObject::AddFreeCursorPairs(EditResult* result) {
  for (CVedTextPos* pos : {&result->rangeStart, &result->rangeEnd, &result->newCursor,
                           &result->startAux, &result->endAux}) {
    AddPlace(pos, kZoneText, 0);
  }
}

int32_t CTextObject::Pitch() const { return Format().charPitch; }

int32_t CTextObject::LeftMarginColumns(const CVedTextPos* pos) {
  PositionDescription line;
  if (Pitch() <= 0 || DescribePosition(Plain(pos).get(), &line) == 0) return 0;
  return line.leftMargin / Pitch();
}

int32_t CTextObject::RightMarginColumns(const CVedTextPos* pos) {
  PositionDescription line;
  if (Pitch() <= 0 || DescribePosition(Plain(pos).get(), &line) == 0) return 0;
  return line.rightMargin / Pitch();
}

int32_t CTextObject::ZoneToX(int32_t zone, int32_t offset, const CVedTextPos* pos) {
  if (zone != kZoneRightMargin) return offset * Pitch();
  PositionDescription line;
  DescribePosition(Plain(pos).get(), &line);
  return line.leftMargin + line.width + offset * Pitch();
}

void CTextObject::XToZone(int32_t x, const CVedTextPos* pos, int32_t* zone, int32_t* offset) {
  PositionDescription line;
  *zone = kZoneText;
  *offset = 0;
  if (Pitch() <= 0 || DescribePosition(Plain(pos).get(), &line) == 0) return;
  const int32_t left = line.leftMargin / Pitch();
  const int32_t right = line.rightMargin / Pitch();
  if (x < line.leftMargin && left >= 1) {
    *zone = kZoneLeftMargin;
    *offset = std::min(x / Pitch(), left - 1);
  } else if (x >= line.leftMargin + line.width && line.rightMargin >= Pitch() && right > 0) {
    *zone = kZoneRightMargin;
    *offset = std::min((x - line.leftMargin - line.width) / Pitch(), right - 1);
  }
}

int32_t CTextObject::ColumnToZone(int32_t column, const CVedTextPos* pos, int32_t* zone,
                                  int32_t* offset) {
  PositionDescription line;
  DescribePosition(Plain(pos).get(), &line);
  const int32_t left = Pitch() > 0 ? line.leftMargin / Pitch() : 0;
  const int32_t length = line.length;
  if (column - 1 < left) {
    *zone = kZoneLeftMargin;
    *offset = column - 1;
    return 1;
  }
  if (column > left + length) {
    *zone = kZoneRightMargin;
    *offset = column - length - left - 1;
    return length;
  }
  *zone = kZoneText;
  *offset = 0;
  return column - left;
}

void CTextObject::LimitToMargin(int32_t* zone, int32_t* offset) {
  if (*zone != kZoneLeftMargin && *zone != kZoneRightMargin) return;
  const int32_t columns = *zone == kZoneLeftMargin ? LeftMarginColumns() : RightMarginColumns();
  if (columns == 0) {
    *zone = kZoneText;
    *offset = 0;
  } else if (*offset >= columns) {
    *offset = columns - 1;
  }
}

int CTextObject::PlainMove(int command, const MoveParams& params, const CVedTextPos* from,
                           CVedTextPos* out) {
  if (command == 21) command = kMoveLineStart;
  if (command == 22) command = kMoveLineEnd;
  return CTextEngine::MoveCursor(command, &params, Plain(from).get(), out);
}

int CTextObject::GoToLineEdge(bool start) {
  CVedTextPos moved;
  return PlainMove(start ? kMoveLineStart : kMoveLineEnd, MoveParams{1, 0, 0}, nullptr, &moved);
}

int CTextObject::GetCursor(CVedTextPos* out) {
  if (CTextEngine::GetCursor(out) == 0) return 0;
  AddPlace(out, zone_, offset_);
  return 1;
}

int CTextObject::SetCursor(const CVedTextPos* pos) {
  int32_t zone = kZoneText;
  int32_t offset = 0;
  if (FreeCursorOn()) GetFreeCursor(pos, &zone, &offset);
  const Plain plain(pos);
  const int result = CTextEngine::SetCursor(plain.get());
  if (result == 0) return 0;
  if (zone == kZoneLeftMargin && offset >= LeftMarginColumns()) {
    zone = kZoneText;
    offset = 0;
  }
  LimitToMargin(&zone, &offset);
  zone_ = zone;
  offset_ = zone == kZoneText ? 0 : offset;
  return result;
}

int CTextObject::MoveCharLeft(const MoveParams& params, int32_t* zone, int32_t* offset) {
  const MoveParams inner{1, params.value, 0};
  CVedTextPos moved;
  if (*zone == kZoneRightMargin) {
    GoToLineEdge(false);
    if (*offset > 0) {
      --*offset;
    } else {
      *zone = kZoneText;
    }
    return kMoveDone;
  }
  if (*zone == kZoneLeftMargin && *offset > 0) {
    --*offset;
    return kMoveDone;
  }
  if (*zone == kZoneText) {
    const int result = PlainMove(kMovePrevChar, inner, nullptr, &moved);
    if (result != kMoveStoppedAtLineStart) return result;
    const int32_t left = LeftMarginColumns();
    if (left > 0) {
      *zone = kZoneLeftMargin;
      *offset = left - 1;
      GoToLineEdge(true);
      return kMoveDone;
    }
  }
  // At the left edge of the line: wrap to the previous line's right edge.
  if (params.wrap == 0) return kMoveStoppedAtLineStart;
  if (PlainMove(kMoveLineUp, inner, nullptr, &moved) != kMoveDone) return kMoveBeforeStart;
  GoToLineEdge(false);
  const int32_t right = RightMarginColumns();
  *zone = right > 0 ? kZoneRightMargin : kZoneText;
  *offset = right > 0 ? right - 1 : 0;
  return kMoveDone;
}

int CTextObject::MoveCharRight(const MoveParams& params, int32_t* zone, int32_t* offset) {
  const MoveParams inner{1, params.value, 0};
  CVedTextPos moved;
  if (*zone == kZoneLeftMargin) {
    GoToLineEdge(true);
    if (*offset < LeftMarginColumns() - 1) {
      ++*offset;
    } else {
      *zone = kZoneText;
      *offset = 0;
    }
    return kMoveDone;
  }
  if (*zone == kZoneText) {
    const int result = PlainMove(kMoveNextChar, inner, nullptr, &moved);
    if (result != kMoveStoppedAtLineEnd) return result;
    if (RightMarginColumns() > 0) {
      *zone = kZoneRightMargin;
      *offset = 0;
      GoToLineEdge(false);
      return kMoveDone;
    }
  } else if (*offset < RightMarginColumns() - 1) {
    GoToLineEdge(false);
    ++*offset;
    return kMoveDone;
  }
  // At the right edge of the line: wrap to the next line's left edge.
  if (params.wrap == 0) return kMoveStoppedAtLineEnd;
  if (PlainMove(kMoveLineDown, inner, nullptr, &moved) != kMoveDone) return kMoveAfterEnd;
  GoToLineEdge(true);
  const int32_t left = LeftMarginColumns();
  *zone = left > 0 ? kZoneLeftMargin : kZoneText;
  *offset = 0;
  return kMoveDone;
}

int CTextObject::MoveFree(int command, const MoveParams& params, int32_t* zone, int32_t* offset) {
  const MoveParams inner{1, params.value, params.wrap};
  CVedTextPos moved;
  auto placeByX = [&]() {
    CVedTextPos caret;
    CTextEngine::GetCursor(&caret);
    XToZone(params.value, &caret, zone, offset);
    if (*zone == kZoneLeftMargin) GoToLineEdge(true);
    if (*zone == kZoneRightMargin) GoToLineEdge(false);
  };
  switch (command) {
    case kMovePrevChar:
      return MoveCharLeft(params, zone, offset);
    case kMoveNextChar:
      return MoveCharRight(params, zone, offset);
    case kMoveLineUp:
    case kMoveLineDown:
    case kMoveFirstLineAtX:
    case kMoveLastLineAtX: {
      const int result = PlainMove(command, inner, nullptr, &moved);
      if (result != kMoveDone) return result;
      placeByX();
      return kMoveDone;
    }
    case 21: {
      GoToLineEdge(true);
      const bool margin = LeftMarginColumns() > 0;
      *zone = margin ? kZoneLeftMargin : kZoneText;
      *offset = 0;
      return kMoveDone;
    }
    case 22: {
      GoToLineEdge(false);
      const int32_t right = RightMarginColumns();
      *zone = right > 0 ? kZoneRightMargin : kZoneText;
      *offset = right > 0 ? right - 1 : 0;
      return kMoveDone;
    }
    default:
      break;
  }
  if (*zone == kZoneLeftMargin && (command == kMoveNextParagraph || command == kMoveNextWord)) {
    CVedTextPos caret;
    CTextEngine::GetCursor(&caret);
    CVedTextPos previous;
    LineMetrics metrics;
    if (CTextEngine::IsFirstLine(&caret) != 0 ||
        (CTextEngine::StepLine(&caret, kLinePrevious, &previous) != 0 &&
         CTextEngine::GetLineMetrics(&metrics, &previous)->endKind != kLineEndNone)) {
      command = command == kMoveNextParagraph ? kMoveParagraphStart : kMoveWordStart;
    }
  }
  if (*zone == kZoneRightMargin && (command == kMovePrevParagraph || command == kMovePrevWord)) {
    command = command == kMovePrevParagraph ? kMoveParagraphStart : kMoveWordStart;
  }
  const int result = PlainMove(command, inner, nullptr, &moved);
  if (result == kMoveDone) {
    *zone = kZoneText;
    *offset = 0;
  }
  return result;
}

int CTextObject::MoveCursor(int command, const MoveParams* params, const CVedTextPos* from,
                            CVedTextPos* out) {
  const MoveParams p = params != nullptr ? *params : MoveParams{1, 0, 0};
  CVedTextPos remembered;
  if (CTextEngine::GetCursor(&remembered) == 0) return kMoveFailed;
  const int32_t rememberedZone = zone_;
  const int32_t rememberedOffset = offset_;
  auto restore = [&]() {
    CTextEngine::SetCursor(&remembered);
    zone_ = rememberedZone;
    offset_ = rememberedOffset;
  };
  if (from != nullptr && !IsDocumentWideMove(command) && SetCursor(from) == 0) {
    return kMoveFailed;
  }
  int32_t zone = zone_;
  int32_t offset = offset_;
  int result = kMoveDone;
  if (!FreeCursorOn()) {
    CVedTextPos moved;
    result = PlainMove(command, MoveParams{1, p.value, p.wrap}, nullptr, &moved);
    zone = kZoneText;
    offset = 0;
  } else {
    result = MoveFree(command, p, &zone, &offset);
  }
  if (result != kMoveDone) {
    restore();
    return result;
  }
  if (out != nullptr) {
    CTextEngine::GetCursor(out);
    AddPlace(out, zone, offset);
  }
  if (p.setCursor != 0) {
    zone_ = zone;
    offset_ = zone == kZoneText ? 0 : offset;
  } else {
    restore();
  }
  return kMoveDone;
}

int CTextObject::GetKindAt(const CVedTextPos* pos, ObjectDescription* out) {
  const int result = CTextEngine::GetKindAt(Plain(pos).get(), out);
  int32_t zone = kZoneText;
  int32_t offset = 0;
  GetFreeCursor(pos, &zone, &offset);
  if (out == nullptr || zone == kZoneText) return result;
  (*out)[kDescType] = kObjectText;
  (*out)[kDescSubKind] = kSubKindMarginLine;
  (*out)[kDescPlace] = zone == kZoneRightMargin ? kPlaceRightMargin : kPlaceLeftMargin;
  (*out)[kDescArea] = kAreaMargin;
  ParaFormat para;
  const Plain plain(pos);
  if (CTextEngine::GetParaFormat(&para, plain.get(), plain.get()) == 0) para = ParaFormat{};
  if (para.firstIndent <= 0 && para.leftIndent <= 0 &&
      !(zone == kZoneRightMargin && para.rightIndent > 0)) {
    return result;
  }
  const int32_t x = ZoneToX(zone, offset, pos);
  if (zone == kZoneRightMargin) {
    if (x >= Format().textWidth - para.rightIndent) (*out)[kDescArea] = kAreaIndent;
    return result;
  }
  // A continued line (the line before ends without a break) starts at the
  // left indent, every other line at the first-line indent.
  int32_t indent = para.firstIndent;
  CVedTextPos previous;
  LineMetrics metrics;
  if (CTextEngine::IsFirstLine(plain.get()) == 0 &&
      CTextEngine::StepLine(plain.get(), kLinePrevious, &previous) != 0 &&
      CTextEngine::GetLineMetrics(&metrics, &previous)->endKind == kLineEndNone) {
    indent = para.leftIndent;
  }
  if (x < indent) (*out)[kDescArea] = kAreaIndent;
  return result;
}

platform::RECT* CTextObject::GetPositionRect(platform::RECT* out, int mode, const CVedTextPos* pos,
                                             const CVedTextPos* base) {
  CTextEngine::GetPositionRect(out, mode, Plain(pos).get(), Plain(base).get());
  int32_t zone = kZoneText;
  int32_t offset = 0;
  GetFreeCursor(pos, &zone, &offset);
  if (zone == kZoneText || (out->left == 0 && out->right == 0 && out->bottom == 0)) return out;
  out->left = ZoneToX(zone, offset, pos);
  const int32_t blank = Format().charPitch - Format().charGap;
  out->right = out->left + (mode % 2 == 1 ? Pitch() : blank);
  return out;
}

platform::RECT* CTextObject::GetFrameRect(platform::RECT* out, const CVedTextPos* pos) {
  return CTextEngine::GetFrameRect(out, Plain(pos).get());
}

int CTextObject::GetLineColumn(int32_t* line, int32_t* column, const CVedTextPos* pos,
                               const CVedTextPos* base) {
  const int result = CTextEngine::GetLineColumn(line, column, Plain(pos).get(), Plain(base).get());
  if (*column == 0 || (pos != nullptr && !HasPlace(pos))) return result;
  int32_t zone = kZoneText;
  int32_t offset = 0;
  GetFreeCursor(pos, &zone, &offset);
  if (zone == kZoneText) {
    *column += LeftMarginColumns(pos);
  } else if (zone == kZoneLeftMargin) {
    *column = offset + 1;
  } else {
    PositionDescription described;
    DescribePosition(Plain(pos).get(), &described);
    *column = described.length + LeftMarginColumns(pos) + offset + 1;
  }
  return result;
}

int CTextObject::PositionFromLineColumn(int32_t line, int32_t column, const CVedTextPos* base,
                                        CVedTextPos* out) {
  const Plain plain(base);
  int result = CTextEngine::PositionFromLineColumn(line, column, plain.get(), out);
  if (result < 1) return result;
  int32_t zone = kZoneText;
  int32_t offset = 0;
  ColumnToZone(column, out, &zone, &offset);
  if (zone == kZoneRightMargin) {
    offset = std::min(offset, std::max(RightMarginColumns(out) - 1, 0));
  } else if (zone == kZoneText) {
    result = CTextEngine::PositionFromLineColumn(line, column - LeftMarginColumns(out), plain.get(),
                                                 out);
  }
  AddPlace(out, zone, offset);
  return result;
}

int32_t CTextObject::CountLines(const CVedTextPos* from, const CVedTextPos* to) {
  return CTextEngine::CountLines(Plain(from).get(), Plain(to).get());
}

int32_t CTextObject::GetHeight(const CVedTextPos* from, const CVedTextPos* to) {
  return CTextEngine::GetHeight(Plain(from).get(), Plain(to).get());
}

LineMetrics* CTextObject::GetLineMetrics(LineMetrics* out, const CVedTextPos* pos) {
  return CTextEngine::GetLineMetrics(out, Plain(pos).get());
}

LineMetrics* CTextObject::GetPageLineMetrics(LineMetrics* out, const CVedTextPos* pos) {
  return CTextEngine::GetPageLineMetrics(out, Plain(pos).get());
}

int CTextObject::StepLine(const CVedTextPos* pos, int direction, CVedTextPos* out) {
  const int result = CTextEngine::StepLine(Plain(pos).get(), direction, out);
  if (result == 1) AddPlace(out, kZoneText, 0);
  return result == 1 ? 1 : 0;
}

int CTextObject::StepPageLine(const CVedTextPos* pos, int direction, CVedTextPos* out) {
  const int result = CTextEngine::StepPageLine(Plain(pos).get(), direction, out);
  if (result == 1) AddPlace(out, kZoneText, 0);
  return result == 1 ? 1 : 0;
}

bool CTextObject::WalkStart(const CVedTextPos* from, TextNodes* out) {
  if (!Built()) return false;
  if (from == nullptr) return Navigator().FirstLineStart(out);
  const std::optional<CVedTextPos> plain = StripFreeCursor(from);
  return Navigator().MapPosition(&*plain, out) != 0;
}

PageLineWalk CTextObject::WalkPageLines(const CVedTextPos* from, CPageLineVisitor& visitor) {
  TextNodes start;
  // A start that names no line of the store is stepped from as it is.
  if (!WalkStart(from, &start)) return CDocObject::WalkPageLines(from, visitor);
  const CTextNavigator& navigator = Navigator();
  std::array<TextNodes, kLinesAhead> lines;
  std::array<LineMetrics, kLinesAhead> metrics;
  std::optional<TextNodes> next = start;
  const CVedTextPos* given = from;
  PageLineWalk end = PageLineWalk::kLinesEnded;
  while (next) {
    size_t count = 0;
    while (next && count < kLinesAhead) {
      lines[count] = *next;
      next = StepWalk(navigator, lines[count], count == 0 ? given : nullptr, &end);
      ++count;
    }
    navigator.GetLineMetrics(std::span(lines).first(count), std::span(metrics).first(count));
    for (size_t i = 0; i < count; ++i) {
      if (!visitor.VisitLine(TextPageLine(lines[i], metrics[i], i == 0 ? given : nullptr))) {
        return PageLineWalk::kStopped;
      }
    }
    given = nullptr;
  }
  return end;
}

int CTextObject::IsFirstLine(const CVedTextPos* pos) {
  return CTextEngine::IsFirstLine(Plain(pos).get());
}

int CTextObject::IsLastLine(const CVedTextPos* pos) {
  return CTextEngine::IsLastLine(Plain(pos).get());
}

int32_t CTextObject::PositionFromPoint(int setCursor, const CVedTextPos* base, int32_t x, int32_t y,
                                       CVedTextPos* out) {
  CVedTextPos remembered;
  CTextEngine::GetCursor(&remembered);
  CVedTextPos found;
  const int32_t result = CTextEngine::PositionFromPoint(1, Plain(base).get(), x, y, &found);
  if (result != 0) {
    CTextEngine::SetCursor(&remembered);
    return result;
  }
  int32_t zone = kZoneText;
  int32_t offset = 0;
  if (FreeCursorOn()) {
    XToZone(std::max(x, 0), &found, &zone, &offset);
    if (zone != kZoneText) {
      CVedTextPos moved;
      PlainMove(zone == kZoneRightMargin ? kMoveLineEnd : kMoveLineStart, MoveParams{1, 0, 1},
                nullptr, &moved);
      CTextEngine::GetCursor(&found);
    }
  }
  if (out != nullptr) {
    *out = found;
    AddPlace(out, zone, offset);
  }
  if (setCursor == 1) {
    zone_ = zone;
    offset_ = offset;
  } else {
    CTextEngine::SetCursor(&remembered);
  }
  return result;
}

void CTextObject::FinishEdit(EditResult* out, int changed) {
  AddFreeCursorPairs(out);
  if (changed != 0) {
    zone_ = kZoneText;
    offset_ = 0;
  }
}

int CTextObject::PadToCursor(EditResult* out) {
  PositionDescription line;
  DescribePosition(nullptr, &line);
  const int32_t blanks = offset_ + line.endMarkColumns;
  GoToLineEdge(false);
  if (line.endMarkColumns == 0) {
    // A wrapped line ends in a character, not a mark: what is typed beyond
    // it goes after that character.
    CVedTextPos moved;
    PlainMove(kMoveNextChar, MoveParams{1, 0, 1}, nullptr, &moved);
  }
  zone_ = kZoneText;
  offset_ = 0;
  CVedTextPos caret;
  CTextEngine::GetCursor(&caret);
  if (blanks <= 0) {
    CTextEditor::NoChangeResult(caret, out);
    return 0;
  }
  CharFormat typing;
  GetCharFormat(&typing);
  DocObjOptions options = Options();
  const DocObjOptions saved = options;
  options.followNeighbours = 0;
  SetOptions(&options);
  CharFormat base;
  std::memcpy(base.face, Format().face, sizeof base.face);
  base.size = Format().fontSize;
  base.heightScale = Format().heightScale;
  base.widthScale = Format().widthScale;
  base.bold = Format().bold;
  base.italic = Format().italic;
  base.mask = kMaskFace | kMaskSize | kMaskHeightScale | kMaskWidthScale | kMaskBold | kMaskItalic;
  SetCharFormat(&base);
  const int changed = CTextEngine::InsertText(std::string(blanks, ' '), out);
  SetCharFormat(&typing);
  SetOptions(&saved);
  return changed;
}

void CTextObject::TakePaddingStart(const EditResult& padding, EditResult* out) {
  if (padding.changed != 0 &&
      (out->rangeStart.IsEmpty() ||
       CTextEngine::ComparePositions(&padding.rangeStart, &out->rangeStart) == kCompareBefore)) {
    out->rangeStart = padding.rangeStart;
  }
  out->startAux = padding.startAux;
}

int CTextObject::InsertText(std::string_view text, EditResult* out) {
  if (zone_ == kZoneLeftMargin) return 0;
  int changed = 0;
  if (zone_ == kZoneRightMargin) {
    EditResult padding;
    const int padded = PadToCursor(&padding);
    changed = padded + CTextEngine::InsertText(text, out);
    out->changed = changed;
    TakePaddingStart(padding, out);
  } else {
    changed = CTextEngine::InsertText(text, out);
  }
  FinishEdit(out, changed);
  return changed;
}

int CTextObject::DeleteChar(int kind, EditResult* out) {
  if (zone_ != kZoneText) return 0;
  const int result = CTextEngine::DeleteChar(kind, out);
  FinishEdit(out, result == 1 ? out->changed : 0);
  return result;
}

int CTextObject::DeleteRange(const CVedTextPos* from, const CVedTextPos* to, EditResult* out) {
  const int result = CTextEngine::DeleteRange(Plain(from).get(), Plain(to).get(), out);
  if (result == 1) {
    zone_ = kZoneText;
    offset_ = 0;
    AddFreeCursorPairs(out);
  }
  return result;
}

int CTextObject::AdjustRange(const CVedTextRange* in, CVedTextRange* out) {
  if (in == nullptr || out == nullptr) return 0;
  CVedTextRange plain;
  plain.start = StripFreeCursor(&in->start).value_or(CVedTextPos());
  plain.end = StripFreeCursor(&in->end).value_or(CVedTextPos());
  const int result = CTextEngine::AdjustRange(&plain, out);
  AddPlace(&out->start, kZoneText, 0);
  AddPlace(&out->end, kZoneText, 0);
  return result;
}

int CTextObject::FindText(int options, int direction, std::string_view text, CVedTextRange* out) {
  const int found = CTextEngine::FindText(options, direction, text, out);
  if (found != 0) {
    zone_ = kZoneText;
    offset_ = 0;
    AddPlace(&out->start, kZoneText, 0);
    AddPlace(&out->end, kZoneText, 0);
  }
  return found;
}

int CTextObject::Draw(const CVedTextPos* from, int flags, int32_t skipHeight, int flags2,
                      int32_t bandHeight, DrawResult* out) {
  return CTextEngine::Draw(Plain(from).get(), flags, skipHeight, flags2, bandHeight, out);
}

int CTextObject::ApplyFontValue(int32_t value, const CVedTextPos* from, const CVedTextPos* to) {
  return CTextEngine::ApplyFontValue(value, Plain(from).get(), Plain(to).get());
}

int CTextObject::GetCharFont(CharFormat* out, const CVedTextPos* from, const CVedTextPos* to) {
  return CTextEngine::GetCharFont(out, Plain(from).get(), Plain(to).get());
}

int CTextObject::GetCharDecoration(CharDecoration* out, const CVedTextPos* from,
                                   const CVedTextPos* to) {
  return CTextEngine::GetCharDecoration(out, Plain(from).get(), Plain(to).get());
}

int CTextObject::GetCharDesign(CharDesign* out, const CVedTextPos* from, const CVedTextPos* to) {
  return CTextEngine::GetCharDesign(out, Plain(from).get(), Plain(to).get());
}

int CTextObject::GetParaFormat(ParaFormat* out, const CVedTextPos* from, const CVedTextPos* to) {
  return CTextEngine::GetParaFormat(out, Plain(from).get(), Plain(to).get());
}

void CTextObject::FinishFormat(EditResult* out) {
  LimitToMargin(&zone_, &offset_);
  const CVedTextPos cursor = out->newCursor;
  AddFreeCursorPairs(out);
  out->newCursor = cursor;
  AddPlace(&out->newCursor, zone_, offset_);
}

int CTextObject::SetCharFont(const CharFormat* format, const CVedTextPos* from,
                             const CVedTextPos* to, EditResult* out) {
  const int result = CTextEngine::SetCharFont(format, Plain(from).get(), Plain(to).get(), out);
  FinishFormat(out);
  return result;
}

int CTextObject::SetCharDecoration(const CharDecoration* decoration, const CVedTextPos* from,
                                   const CVedTextPos* to, EditResult* out) {
  const int result =
      CTextEngine::SetCharDecoration(decoration, Plain(from).get(), Plain(to).get(), out);
  FinishFormat(out);
  return result;
}

int CTextObject::SetCharDesign(const CharDesign* design, const CVedTextPos* from,
                               const CVedTextPos* to, EditResult* out) {
  const int result = CTextEngine::SetCharDesign(design, Plain(from).get(), Plain(to).get(), out);
  FinishFormat(out);
  return result;
}

int CTextObject::SetParaFormat(const ParaFormat* format, const CVedTextPos* from,
                               const CVedTextPos* to, EditResult* out) {
  int32_t line = 0;
  int32_t column = 0;
  CTextEngine::GetLineColumn(&line, &column, nullptr, nullptr);
  CVedTextPos remembered;
  CTextEngine::GetCursor(&remembered);
  CVedTextPos paragraphStart;
  CTextEngine::MoveCursor(kMoveParagraphStart, &kNoMove, nullptr, &paragraphStart);
  const int result = CTextEngine::SetParaFormat(format, Plain(from).get(), Plain(to).get(), out);
  if (result != 0 && zone_ != kZoneText && format != nullptr &&
      (format->mask & kMaskIndents) != 0) {
    int32_t newLine = 0;
    int32_t newColumn = 0;
    CTextEngine::GetLineColumn(&newLine, &newColumn, nullptr, nullptr);
    if (newLine != line) {
      CVedTextPos back;
      CTextEngine::PositionFromLineColumn(line, column, nullptr, &back);
      CTextEngine::SetCursor(&back);
      CVedTextPos start;
      CTextEngine::MoveCursor(kMoveParagraphStart, &kNoMove, nullptr, &start);
      if (!(start == paragraphStart)) {
        CTextEngine::SetCursor(&remembered);
      } else {
        GoToLineEdge(zone_ == kZoneLeftMargin);
        CTextEngine::GetCursor(&out->newCursor);
      }
    }
    if (zone_ == kZoneLeftMargin && offset_ >= LeftMarginColumns()) {
      GoToLineEdge(true);
      CTextEngine::GetCursor(&out->newCursor);
      zone_ = kZoneText;
      offset_ = 0;
    }
  }
  FinishFormat(out);
  return result;
}

int CTextObject::SetAnchor(int kind, CVedAnchor* anchor, const CVedTextPos* pos) {
  anchorZone_ = kZoneText;
  anchorOffset_ = 0;
  if (kind != kAnchorChar) return CTextEngine::SetAnchor(kind, anchor, Plain(pos).get());
  int32_t zone = kZoneText;
  int32_t offset = 0;
  GetFreeCursor(pos, &zone, &offset);
  if (zone == kZoneLeftMargin) return 0;
  const Plain plain(pos);
  CVedTextPos at = plain.get() != nullptr ? *plain.get() : CVedTextPos();
  if (plain.get() == nullptr) CTextEngine::GetCursor(&at);
  if (zone == kZoneRightMargin) {
    CVedTextPos lineEnd;
    int result = kMoveDone;
    if (Navigator().MoveCaret(kMoveLineEnd, MoveParams{0, 0, 0}, &at, &lineEnd, &result) == 0) {
      return 0;
    }
    at = lineEnd;
  }
  const int result = CTextEngine::SetAnchor(kind, anchor, &at);
  if (result != 0) {
    anchorZone_ = zone;
    anchorOffset_ = offset;
  }
  return result;
}

CVedAnchor* CTextObject::FindAnchor(int kind, const CVedTextPos* from, int next) {
  CVedAnchor* found = CTextEngine::FindAnchor(kind, Plain(from).get(), next);
  if (found != nullptr && kind == kAnchorChar) {
    AddPlace(&found->position, anchorZone_, anchorOffset_);
  }
  return found;
}

int CTextObject::SerializeRange(platform::CArchive& archive, int tag, int mode,
                                const CVedTextPos* from, const CVedTextPos* to, EditResult* out) {
  if (archive.IsLoading()) {
    EditResult padding;
    const bool padded = zone_ == kZoneRightMargin;
    if (padded) PadToCursor(&padding);
    const int result = CTextEngine::SerializeRange(archive, tag, mode, nullptr, nullptr, out);
    if (padded) TakePaddingStart(padding, out);
    FinishEdit(out, out->changed);
    return result;
  }
  CVedTextPos start;
  CVedTextPos end;
  if (from != nullptr) {
    start = *from;
  } else {
    CTextEngine::MoveCursor(kMoveFirstLineAtX, &kNoMove, nullptr, &start);
    AddPlace(&start, kZoneText, 0);
  }
  if (to != nullptr) {
    end = *to;
  } else {
    CTextEngine::MoveCursor(kMoveDocumentEnd, &kNoMove, nullptr, &end);
    AddPlace(&end, kZoneText, 0);
  }
  int32_t startZone = kZoneText;
  int32_t endZone = kZoneText;
  int32_t ignored = 0;
  GetFreeCursor(&start, &startZone, &ignored);
  GetFreeCursor(&end, &endZone, &ignored);
  const auto plainStart = StripFreeCursor(&start);
  const auto plainEnd = StripFreeCursor(&end);
  if (startZone == endZone && startZone != kZoneText) {
    int32_t startLine = 0;
    int32_t endLine = 0;
    int32_t column = 0;
    CTextEngine::GetLineColumn(&startLine, &column, &*plainStart, nullptr);
    CTextEngine::GetLineColumn(&endLine, &column, &*plainEnd, nullptr);
    if (startLine == endLine) return 1;
  }
  return CTextEngine::SerializeRange(archive, tag, mode, &*plainStart, &*plainEnd, out);
}

int CTextObject::MergeFrom(CDocObject* other, int flag, EditResult* out) {
  const int result = CTextEngine::MergeFrom(other, flag, out);
  if (result != 0) {
    zone_ = kZoneText;
    offset_ = 0;
    if (out != nullptr) AddFreeCursorPairs(out);
  }
  return result;
}

int CTextObject::SplitInto(const CVedTextPos* pos, CDocObject* other, EditResult* out) {
  const int result = CTextEngine::SplitInto(Plain(pos).get(), other, out);
  if (result != 0) {
    zone_ = kZoneText;
    offset_ = 0;
    AddFreeCursorPairs(out);
  }
  return result;
}

int CTextObject::ComparePositions(const CVedTextPos* a, const CVedTextPos* b) {
  const int order = CTextEngine::ComparePositions(Plain(a).get(), Plain(b).get());
  if (order != kCompareEqual) return order;
  int32_t zoneA = kZoneText;
  int32_t zoneB = kZoneText;
  int32_t offset = 0;
  GetFreeCursor(a, &zoneA, &offset);
  GetFreeCursor(b, &zoneB, &offset);
  if (zoneA == kZoneText && zoneB == kZoneText) return kCompareEqual;
  int32_t line = 0;
  int32_t columnA = 0;
  int32_t columnB = 0;
  GetLineColumn(&line, &columnA, a, nullptr);
  GetLineColumn(&line, &columnB, b, nullptr);
  if (columnA == columnB) return kCompareEqual;
  return columnA < columnB ? kCompareBefore : kCompareAfter;
}
