// How a container answers the operations that read or move positions: the
// first step of a position selects a child, the child answers for the
// rest, and a position that comes back gets the child index in front.
#include <algorithm>

#include "model/container.h"
#include "model/renderer.h"
#include "model/text_navigator.h"

namespace {

constexpr int kTableMoveFirst = 1025;
constexpr int kTableMoveLast = 1027;
constexpr int32_t kAnnounceText = 1;
constexpr int32_t kAnnounceTable = 2;
constexpr int32_t kAnnounceLast = 3;

bool IsTableMove(int command) { return command >= kTableMoveFirst && command <= kTableMoveLast; }

// A child's line as the container answers for it: the child's metrics and
// the child's position behind the child's index.
class ChildPageLine final : public CPageLine {
 public:
  ChildPageLine(const CPageLine& line, int32_t child) : line_(line), child_(child) {}
  void GetMetrics(LineMetrics* out) const override {
    *out = LineMetrics{};
    line_.GetMetrics(out);
  }
  void GetPosition(CVedTextPos* out) const override {
    line_.GetPosition(out);
    out->PrependPair(kTagChildIndex, child_);
  }

 private:
  const CPageLine& line_;
  int32_t child_;
};

// Hands a child's lines on as the container's.
class ChildLineVisitor final : public CPageLineVisitor {
 public:
  ChildLineVisitor(CPageLineVisitor& visitor, int32_t child) : visitor_(visitor), child_(child) {}
  bool VisitLine(const CPageLine& line) override {
    return visitor_.VisitLine(ChildPageLine(line, child_));
  }

 private:
  CPageLineVisitor& visitor_;
  int32_t child_;
};

}  // namespace

int CDocObjContainer::GetKindAt(const CVedTextPos* pos, ObjectDescription* out) {
  const StrippedPath p = PopChildIndex(pos, children_.GetCursorIndex());
  CDocObject* child = children_.GetAt(p.step.value);
  return child != nullptr ? child->GetKindAt(p.RestOrNull(), out) : 0;
}

platform::RECT* CDocObjContainer::GetPositionRect(platform::RECT* out, int mode,
                                                  const CVedTextPos* pos, const CVedTextPos* base) {
  *out = platform::RECT{};
  const StrippedPath b = PopChildIndex(base, 0);
  const StrippedPath p = PopChildIndex(pos, children_.GetCursorIndex());
  CDocObject* child = children_.GetAt(p.step.value);
  if (child == nullptr || !children_.IsValid(b.step.value)) return out;
  if (b.step.value == p.step.value) {
    return child->GetPositionRect(out, mode, p.RestOrNull(), b.RestOrNull());
  }
  child->GetPositionRect(out, mode, p.RestOrNull(), nullptr);
  if (out->IsEmpty() && out->left == 0 && out->top == 0 && out->right == 0 && out->bottom == 0) {
    return out;
  }
  // The distance from the base down to the top of the position's child;
  // negative when the base lies after the position.
  int32_t y = 0;
  const int32_t from = std::min(b.step.value, p.step.value);
  const int32_t to = std::max(b.step.value, p.step.value);
  CDocObject* baseChild = children_.GetAt(b.step.value);
  if (b.step.value < p.step.value) {
    y = b.rest ? baseChild->GetHeight(b.RestOrNull(), nullptr) : children_.GetHeightAt(from);
    for (int32_t i = from + 1; i < to; ++i) y += children_.GetHeightAt(i);
  } else {
    for (int32_t i = from; i < to; ++i) y -= children_.GetHeightAt(i);
    if (b.rest) {
      // How far down its own child the base's line starts.
      platform::RECT baseRect;
      baseChild->GetPositionRect(&baseRect, 0, b.RestOrNull(), nullptr);
      y -= baseRect.top;
    }
  }
  out->top += y;
  out->bottom += y;
  return out;
}

platform::RECT* CDocObjContainer::GetFrameRect(platform::RECT* out, const CVedTextPos* pos) {
  const StrippedPath p = PopChildIndex(pos, 0);
  CDocObject* child = children_.GetAt(p.step.value);
  *out = platform::RECT{-1, -1, -1, -1};
  if (child == nullptr) return out;
  int32_t y = 0;
  for (int32_t i = 0; i < p.step.value; ++i) y += children_.GetHeightAt(i);
  child->GetFrameRect(out, p.RestOrNull());
  if (out->top == -1) {
    *out = platform::RECT{0, y, pageFormat_.textWidth, y + children_.GetHeightAt(p.step.value)};
  } else {
    out->top += y;
    out->bottom += y;
  }
  return out;
}

int CDocObjContainer::GetLineColumn(int32_t* line, int32_t* column, const CVedTextPos* pos,
                                    const CVedTextPos* base) {
  *line = 0;
  *column = 0;
  const StrippedPath b = PopChildIndex(base, 0);
  StrippedPath p = PopChildIndex(pos, children_.GetCursorIndex());
  // A position with no steps goes down as an empty path, not as null.
  if (pos != nullptr && !p.rest) p.rest = CVedTextPos();
  CDocObject* child = children_.GetAt(p.step.value);
  if (child == nullptr) return 0;
  int32_t lines = 0;
  for (int32_t i = b.step.value; i < p.step.value; ++i) {
    CDocObject* before = children_.GetAt(i);
    if (before != nullptr)
      lines += before->CountLines(i == b.step.value ? b.RestOrNull() : nullptr, nullptr);
  }
  const CVedTextPos* childBase = b.step.value == p.step.value ? b.RestOrNull() : nullptr;
  const int result = child->GetLineColumn(line, column, p.RestOrNull(), childBase);
  *line += lines;
  return result;
}

int CDocObjContainer::PositionFromLineColumn(int32_t line, int32_t column, const CVedTextPos* base,
                                             CVedTextPos* out) {
  const StrippedPath b = PopChildIndex(base, 0);
  int32_t total = 0;
  int32_t toGo = line;
  for (int32_t i = b.step.value; i < children_.GetCount(); ++i) {
    CDocObject* child = children_.GetAt(i);
    const int32_t covered = child->PositionFromLineColumn(
        toGo, column, i == b.step.value ? b.RestOrNull() : nullptr, out);
    total += covered;
    if (static_cast<uint32_t>(covered) >= static_cast<uint32_t>(toGo)) {
      out->PrependPair(kTagChildIndex, i);
      return total;
    }
    toGo -= covered;
  }
  return total;
}

// Sums a measure over the children between two positions: the start child
// from its rest to its end, the end child from its start to its rest, the
// children between whole.
template <typename Measure>
static int32_t SumBetween(CDocObjContainer& container, const CVedTextPos* from,
                          const CVedTextPos* to, Measure measure) {
  const CDocChildList& children = container.Children();
  std::optional<CVedTextPos> a = from ? std::optional(*from) : std::nullopt;
  std::optional<CVedTextPos> z = to ? std::optional(*to) : std::nullopt;
  if (a && z) container.OrderPositions(*a, *z);
  const StrippedPath s = StripStep(a ? &*a : nullptr, 0);
  const StrippedPath e = StripStep(z ? &*z : nullptr, children.GetCount() - 1);
  if (e.step.value < s.step.value) return 0;
  int32_t sum = 0;
  for (int32_t i = s.step.value; i <= e.step.value; ++i) {
    CDocObject* child = children.GetAt(i);
    if (child == nullptr) continue;
    sum += measure(child, i == s.step.value ? s.RestOrNull() : nullptr,
                   i == e.step.value ? e.RestOrNull() : nullptr);
  }
  return sum;
}

int32_t CDocObjContainer::CountLines(const CVedTextPos* from, const CVedTextPos* to) {
  return SumBetween(*this, from, to,
                    [](CDocObject* child, const CVedTextPos* a, const CVedTextPos* b) {
                      return child->CountLines(a, b);
                    });
}

int32_t CDocObjContainer::GetHeight(const CVedTextPos* from, const CVedTextPos* to) {
  return SumBetween(*this, from, to,
                    [](CDocObject* child, const CVedTextPos* a, const CVedTextPos* b) {
                      return child->GetHeight(a, b);
                    });
}

LineMetrics* CDocObjContainer::GetLineMetrics(LineMetrics* out, const CVedTextPos* pos) {
  *out = LineMetrics{};
  const StrippedPath p = PopChildIndex(pos, 0);
  CDocObject* child = children_.GetAt(p.step.value);
  return child != nullptr ? child->GetLineMetrics(out, p.RestOrNull()) : out;
}

LineMetrics* CDocObjContainer::GetPageLineMetrics(LineMetrics* out, const CVedTextPos* pos) {
  *out = LineMetrics{};
  const StrippedPath p = PopChildIndex(pos, 0);
  CDocObject* child = children_.GetAt(p.step.value);
  return child != nullptr ? child->GetPageLineMetrics(out, p.RestOrNull()) : out;
}

template <typename Step>
static int StepAcross(CDocChildList& children, const CVedTextPos* pos, int direction,
                      CVedTextPos* out, Step step) {
  int32_t n = children.GetCursorIndex();
  if (direction == kLineNext) n = children.GetCount() - 1;
  if (direction == kLinePrevious) n = 0;
  const StrippedPath p = StripStep(pos, n);
  n = p.step.value;
  const CVedTextPos* rest = p.RestOrNull();
  int childDirection = direction;
  while (children.IsValid(n)) {
    if (step(children.GetAt(n), rest, childDirection, out) != 0) {
      out->PrependPair(kTagChildIndex, n);
      return 1;
    }
    if (direction == kLineThis) return 0;
    rest = nullptr;
    if (direction == kLineNext) {
      ++n;
      childDirection = kLinePrevious;
    } else {
      --n;
      childDirection = kLineNext;
    }
  }
  return 0;
}

int CDocObjContainer::StepLine(const CVedTextPos* pos, int direction, CVedTextPos* out) {
  return StepAcross(children_, pos, direction, out,
                    [](CDocObject* child, const CVedTextPos* rest, int d, CVedTextPos* o) {
                      return child->StepLine(rest, d, o);
                    });
}

int CDocObjContainer::StepPageLine(const CVedTextPos* pos, int direction, CVedTextPos* out) {
  return StepAcross(children_, pos, direction, out,
                    [](CDocObject* child, const CVedTextPos* rest, int d, CVedTextPos* o) {
                      return child->StepPageLine(rest, d, o);
                    });
}

PageLineWalk CDocObjContainer::WalkPageLines(const CVedTextPos* from, CPageLineVisitor& visitor) {
  const StrippedPath p = StripStep(from, 0);
  // Only a line inside a child starts a walk over the children; any other
  // start is stepped from as it is.
  if (from == nullptr || !p.rest || p.step.tag != kTagChildIndex ||
      !children_.IsValid(p.step.value)) {
    return CDocObject::WalkPageLines(from, visitor);
  }
  const CVedTextPos* rest = p.RestOrNull();
  for (int32_t n = p.step.value; children_.IsValid(n); ++n) {
    ChildLineVisitor childVisitor(visitor, n);
    if (children_.GetAt(n)->WalkPageLines(rest, childVisitor) == PageLineWalk::kStopped) {
      return PageLineWalk::kStopped;
    }
    // Every later child is walked from its first line.
    rest = nullptr;
  }
  return PageLineWalk::kLinesEnded;
}

int CDocObjContainer::IsFirstLine(const CVedTextPos* pos) {
  const StrippedPath p = PopChildIndex(pos, children_.GetCursorIndex());
  if (p.step.value != 0 || children_.GetAt(0) == nullptr) return 0;
  return children_.GetAt(0)->IsFirstLine(p.RestOrNull());
}

int CDocObjContainer::IsLastLine(const CVedTextPos* pos) {
  const StrippedPath p = PopChildIndex(pos, children_.GetCursorIndex());
  const int32_t last = children_.GetCount() - 1;
  CDocObject* child = children_.GetAt(p.step.value);
  if (child == nullptr) return 0;
  if (p.step.value == last) return child->IsLastLine(p.RestOrNull());
  if (pageFormat_.cellFlag != 0 && p.step.value == last - 1 && children_.GetHeightAt(last) == 0) {
    return child->IsLastLine(p.RestOrNull());
  }
  return 0;
}

int CDocObjContainer::GetCursor(CVedTextPos* out) {
  CDocObject* child = children_.GetCurrent();
  if (child == nullptr || out == nullptr) return 0;
  const int result = child->GetCursor(out);
  out->PrependPair(kTagChildIndex, children_.GetCursorIndex());
  return result;
}

int CDocObjContainer::SetCursor(const CVedTextPos* pos) {
  if (pos == nullptr || pos->IsEmpty() || pos->pairs.empty() ||
      pos->pairs.front().tag != kTagChildIndex) {
    return 0;
  }
  const StrippedPath p = PopChildIndex(pos, 0);
  CDocObject* child = children_.GetAt(p.step.value);
  if (child == nullptr || !p.rest || p.rest->IsEmpty()) return 0;
  if (child->SetCursor(p.RestOrNull()) == 0) return 0;
  children_.SetCursor(p.step.value);
  return 1;
}

namespace {

int MapCommandBackwards(int command, bool gridChild) {
  switch (command) {
    case kMoveLineUp:
      return kMoveLastLineAtX;
    case kMovePrevLineStart:
    case kTableMoveLast:
      return kMoveLastLineStart;
    case kMovePrevParagraph:
      return kMoveLastParagraphStart;
    case kMovePrevWord:
      return kMoveLastWordStart;
    case kMovePrevChar:
      return kMoveDocumentEnd;
    default:
      return gridChild ? command : kMoveDocumentEnd;
  }
}

int MapCommandForwards(int command) {
  if (command == kMoveLineDown) return kMoveFirstLineAtX;
  if (command == kMoveNextParagraph || command == kMoveNextWord) return command;
  return kMoveDocumentStart;
}

}  // namespace

int CDocObjContainer::MoveCursor(int command, const MoveParams* params, const CVedTextPos* from,
                                 CVedTextPos* out) {
  const MoveParams p = params != nullptr ? *params : MoveParams{1, 0, 1};
  const int32_t last = children_.GetCount() - 1;
  int32_t start = children_.GetCursorIndex();
  if (command == kMoveDocumentStart || command == kMoveFirstLineAtX) start = 0;
  if (command == kMoveDocumentEnd ||
      (command >= kMoveLastLineAtX && command <= kMoveLastWordStart)) {
    start = last;
  }
  const StrippedPath s = PopChildIndex(from, start);
  int32_t index = (command == kMoveDocumentStart || command == kMoveFirstLineAtX ||
                   command == kMoveDocumentEnd ||
                   (command >= kMoveLastLineAtX && command <= kMoveLastWordStart))
                      ? start
                      : s.step.value;
  const CVedTextPos* rest = (command == kMoveDocumentStart || command == kMoveFirstLineAtX ||
                             command == kMoveDocumentEnd ||
                             (command >= kMoveLastLineAtX && command <= kMoveLastWordStart))
                                ? nullptr
                                : s.RestOrNull();
  CDocObject* child = children_.GetAt(index);
  if (child == nullptr) return kMoveFailed;

  // The table moves 1025-1027 reach only tables; other children get the
  // line moves they stand for.
  auto childCommand = [&](int32_t at, int c) -> int {
    if (!IsTableMove(c) || children_.GetTypeAt(at) == kObjectTable) return c;
    if (c == kTableMoveFirst) return kMoveLineStart;
    return c == kTableMoveFirst + 1 ? kMoveNextLineStart : kMovePrevLineStart;
  };

  CVedTextPos moved;
  int answer = child->MoveCursor(childCommand(index, command), &p, rest, &moved);
  if ((answer == kMoveBeforeStart || answer == kMoveStoppedAtLineStart) && index > 0 &&
      (answer == kMoveBeforeStart || p.wrap != 0)) {
    const bool grid = children_.GetTypeAt(index) == kObjectGridArea;
    const int mapped = MapCommandBackwards(command, grid);
    --index;
    answer = children_.GetAt(index)->MoveCursor(childCommand(index, mapped), &p, nullptr, &moved);
  } else if ((answer == kMoveAfterEnd || answer == kMoveStoppedAtLineEnd) && index < last &&
             (answer == kMoveAfterEnd || p.wrap != 0)) {
    int mapped = MapCommandForwards(command);
    ++index;
    CDocObject* next = children_.GetAt(index);
    const int32_t type = children_.GetTypeAt(index);
    const bool paragraphOrWord = mapped == kMoveNextParagraph || mapped == kMoveNextWord;
    if (paragraphOrWord && type == kObjectText) mapped = kMoveDocumentStart;
    if (paragraphOrWord && type == kObjectTable)
      next->MoveCursor(kMoveDocumentStart, &p, nullptr, &moved);
    const int nextAnswer = next->MoveCursor(childCommand(index, mapped), &p, nullptr, &moved);
    answer = type == kObjectGridArea || paragraphOrWord ? nextAnswer : kMoveDone;
  } else if (answer != kMoveDone && answer != kMoveBeforeStart && answer != kMoveAfterEnd &&
             answer != kMoveStoppedAtLineStart && answer != kMoveStoppedAtLineEnd) {
    // A child that could not move at all: that is a failure, never a move.
    return kMoveFailed;
  }
  if (answer != kMoveDone) return answer;
  if (p.setCursor != 0) children_.SetCursor(index);
  if (out != nullptr) {
    *out = moved;
    out->PrependPair(kTagChildIndex, index);
  }
  return kMoveDone;
}

int32_t CDocObjContainer::PositionFromPoint(int setCursor, const CVedTextPos* base, int32_t x,
                                            int32_t y, CVedTextPos* out) {
  const StrippedPath b = PopChildIndex(base, 0);
  int32_t index = b.step.value;
  CDocObject* child = children_.GetAt(index);
  if (child == nullptr) return -1;
  CVedTextPos found;
  int32_t answer = child->PositionFromPoint(setCursor, b.RestOrNull(), x, y, &found);
  if (answer > 0) {
    int32_t passed = answer;
    answer = passed;
    for (++index; index < children_.GetCount(); ++index) {
      const int32_t height = children_.GetHeightAt(index);
      if (passed + height <= y) {
        passed += height;
        continue;
      }
      const int32_t inner =
          children_.GetAt(index)->PositionFromPoint(setCursor, nullptr, x, y - passed, &found);
      if (inner <= 0) {
        answer = inner;
      } else {
        passed += inner;
        answer = passed;
      }
      break;
    }
    if (answer > 0) return passed;
  }
  if (answer < 0) return answer;
  if (setCursor != 0) children_.SetCursor(index);
  if (out != nullptr) {
    *out = found;
    out->PrependPair(kTagChildIndex, index);
  }
  return 0;
}

int CDocObjContainer::FindText(int options, int direction, std::string_view text,
                               CVedTextRange* out) {
  if (out == nullptr) return 0;
  int32_t index = children_.GetCursorIndex();
  if (direction == 17) index = 0;
  if (direction == 18) index = children_.GetCount() - 1;
  const bool forward = direction == 1 || direction == 3 || direction == 17;
  int childDirection = direction;
  while (children_.IsValid(index)) {
    const int found = children_.GetAt(index)->FindText(options, childDirection, text, out);
    if (found != 0) {
      out->start.PrependPair(kTagChildIndex, index);
      out->end.PrependPair(kTagChildIndex, index);
      return found;
    }
    index += forward ? 1 : -1;
    childDirection = forward ? 17 : 18;
  }
  return 0;
}

int CDocObjContainer::Draw(const CVedTextPos* from, int flags, int32_t skipHeight, int flags2,
                           int32_t bandHeight, DrawResult* out) {
  const StrippedPath s = PopChildIndex(from, 0);
  int32_t painted = 0;
  int32_t passed = 0;
  bool anyPainted = false;
  const int32_t last = children_.GetCount() - 1;
  for (int32_t i = s.step.value; i <= last; ++i) {
    CDocObject* child = children_.GetAt(i);
    if (child == nullptr) break;
    if (printMarking_ != 0 && renderer_ != nullptr) {
      const int32_t kind = children_.GetTypeAt(i) == kObjectTable ? kAnnounceTable : kAnnounceText;
      renderer_->AnnounceChild(kind, i == last ? kAnnounceLast : kind);
    }
    DrawResult step;
    child->Draw(i == s.step.value ? s.RestOrNull() : nullptr, flags, skipHeight, flags2, bandHeight,
                &step);
    if (step.painted != 0) {
      anyPainted = true;
      skipHeight = 0;
      painted += step.height;
    } else {
      passed += step.height;
      skipHeight -= step.height;
    }
    bandHeight -= step.height;
    if (bandHeight <= 0) break;
    if (renderer_ != nullptr) renderer_->AdvanceOffset(0, step.height);
  }
  *out = anyPainted ? DrawResult{1, painted} : DrawResult{0, passed};
  return anyPainted ? 1 : 0;
}

int CDocObjContainer::SetAnchor(int kind, CVedAnchor* anchor, const CVedTextPos* pos) {
  const StrippedPath p = PopChildIndex(pos, children_.GetCursorIndex());
  CDocObject* child = children_.GetAt(p.step.value);
  return child != nullptr ? child->SetAnchor(kind, anchor, p.RestOrNull()) : 0;
}

CVedAnchor* CDocObjContainer::FindAnchor(int kind, const CVedTextPos* from, int next) {
  const StrippedPath p = PopChildIndex(from, kind == kAnchorLine ? children_.GetCount() - 1 : 0);
  int32_t index = p.step.value;
  CDocObject* child = children_.GetAt(index);
  if (child == nullptr) return nullptr;
  CVedAnchor* found = child->FindAnchor(kind, p.RestOrNull(), next);
  while (found == nullptr) {
    index += kind == kAnchorLine ? -1 : 1;
    if (!children_.IsValid(index)) return nullptr;
    found = children_.GetAt(index)->FindAnchor(kind, nullptr, kind == kAnchorLine ? 1 : 0);
  }
  if (kind == kAnchorChar) found->position.PrependPair(kTagChildIndex, index);
  return found;
}

int CDocObjContainer::ComparePositions(const CVedTextPos* a, const CVedTextPos* b) {
  if (a == nullptr || b == nullptr || a->IsEmpty() || b->IsEmpty() || a->pairs.empty() ||
      b->pairs.empty()) {
    return kCompareIncomparable;
  }
  const StrippedPath pa = PopChildIndex(a, 0);
  const StrippedPath pb = PopChildIndex(b, 0);
  if (pa.step.value < pb.step.value) return kCompareBefore;
  if (pa.step.value > pb.step.value) return kCompareAfter;
  CDocObject* child = children_.GetAt(pa.step.value);
  return child != nullptr ? child->ComparePositions(pa.RestOrNull(), pb.RestOrNull())
                          : kCompareIncomparable;
}

// Members the engine uses to ask about the cursor's place in its child.

bool CDocObjContainer::ChildEdge(const CVedTextPos* pos, int command, bool orBeyond,
                                 bool beforeIsBeyond) {
  const StrippedPath p = PopChildIndex(pos, children_.GetCursorIndex());
  CDocObject* child = children_.GetAt(p.step.value);
  if (child == nullptr) return false;
  CVedTextPos here;
  if (p.rest) {
    here = *p.rest;
  } else {
    child->GetCursor(&here);
  }
  const MoveParams still{0, 0, 1};
  CVedTextPos edge;
  if (child->MoveCursor(command, &still, &here, &edge) != kMoveDone) return false;
  const int order = child->ComparePositions(&here, &edge);
  if (!orBeyond) return order == kCompareEqual;
  return beforeIsBeyond ? order < kCompareAfter : order > kCompareBefore;
}

int CDocObjContainer::IsAtChildStart(const CVedTextPos* pos, int flag) {
  return ChildEdge(pos, kMoveDocumentStart, flag != 0, true) ? 1 : 0;
}

int CDocObjContainer::IsAtChildEnd(const CVedTextPos* pos, int flag) {
  return ChildEdge(pos, kMoveDocumentEnd, flag != 0, false) ? 1 : 0;
}

int CDocObjContainer::IsAtLineStart(const CVedTextPos* pos) {
  return ChildEdge(pos, kMoveLineStart, false, false) ? 1 : 0;
}

CDocObject* CDocObjContainer::CursorChildWithLines() {
  ObjectDescription kind{};
  GetKindAt(nullptr, &kind);
  const bool inText =
      kind[0] == kObjectText || (kind[0] == kObjectTable && kind[1] == kSubKindCellText);
  return inText ? children_.GetCurrent() : nullptr;
}

int CDocObjContainer::IsCursorOnFirstLine() {
  CDocObject* child = CursorChildWithLines();
  return child != nullptr ? child->IsFirstLine(nullptr) : 0;
}

int CDocObjContainer::IsCursorOnLastLine() {
  CDocObject* child = CursorChildWithLines();
  return child != nullptr ? child->IsLastLine(nullptr) : 0;
}

int CDocObjContainer::MoveInCursorChild(int command, const CVedTextPos* from, CVedTextPos* out) {
  CDocObject* child = children_.GetCurrent();
  if (child == nullptr) return kMoveFailed;
  const MoveParams still{0, 0, 1};
  return child->MoveCursor(command, &still, from, out);
}
