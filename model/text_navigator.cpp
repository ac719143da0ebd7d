#include "model/text_navigator.h"

#include <algorithm>
#include <array>

int CTextNavigator::Init(CTextFormats* formats, CFontUseList* fontUse, DocObjOptions* options) {
  if (IsBound() && fontUse_ != nullptr) return 1;
  formats_ = formats;
  fontUse_ = fontUse;
  options_ = options;
  return 1;
}

int CTextNavigator::MapPosition(const CVedTextPos* pos, TextNodes* out) const {
  if (pos == nullptr || pos->depth < 3 || pos->pairs.size() < 3) return 0;
  const auto& p = pos->pairs;
  if (p[0].tag != kTagParagraph || p[1].tag != kTagLine || p[2].tag != kTagCell) return 0;
  *out = TextNodes{p[0].value, p[1].value, p[2].value};
  return 1;
}

void CTextNavigator::MakePosition(const TextNodes& nodes, CVedTextPos* out) {
  out->pairs = {{kTagParagraph, nodes.paragraph}, {kTagLine, nodes.line}, {kTagCell, nodes.cell}};
  out->depth = 3;
}

int CTextNavigator::GetStartPosition(CVedTextPos* out) const {
  const TextNodes nodes{Navigate(kLevelParagraph, kNavFirst, kNoNode),
                        Navigate(kLevelLine, kNavFirst, kNoNode),
                        Navigate(kLevelCell, kNavFirst, kNoNode)};
  if (nodes.paragraph == kNoNode || nodes.line == kNoNode || nodes.cell == kNoNode) return 0;
  MakePosition(nodes, out);
  return 1;
}

int CTextNavigator::GetEndPosition(CVedTextPos* out) const {
  const TextNodes nodes{Navigate(kLevelParagraph, kNavLast, kNoNode),
                        Navigate(kLevelLine, kNavLast, kNoNode),
                        Navigate(kLevelCell, kNavLast, kNoNode)};
  if (nodes.paragraph == kNoNode || nodes.line == kNoNode || nodes.cell == kNoNode) return 0;
  MakePosition(nodes, out);
  return 1;
}

NodeHandle CTextNavigator::ParagraphOfNeighbourLine(const TextNodes& nodes, NodeHandle neighbour,
                                                    bool forward) const {
  // A paragraph's lines follow one another, so the neighbour of a line is
  // in the line's own paragraph unless the line is that paragraph's edge,
  // and then it opens (or closes) the next (or previous) paragraph: asked
  // of the records, not by walking every line of a long paragraph.
  const int step = forward ? kNavNext : kNavPrevious;
  if (const ParagraphInfo* own = LinkedParagraph(nodes.paragraph)) {
    const NodeHandle edge = forward ? own->lastLine : own->firstLine;
    if (edge != nodes.line) return nodes.paragraph;
    const NodeHandle beside = Navigate(kLevelParagraph, step, nodes.paragraph);
    const ParagraphInfo* other = beside != kNoNode ? LinkedParagraph(beside) : nullptr;
    if (other != nullptr && (forward ? other->firstLine : other->lastLine) == neighbour) {
      return beside;
    }
  }
  return FindParent(kLevelParagraph, step, nodes.paragraph, neighbour);
}

bool CTextNavigator::NextLine(TextNodes* nodes) const {
  // Straight to the list: a walk steps here once per line.
  const NodeHandle next = lines_ != nullptr ? lines_->Next(nodes->line) : kNoNode;
  if (next == kNoNode) return false;
  const NodeHandle paragraph = ParagraphOfNeighbourLine(*nodes, next, true);
  if (paragraph == kNoNode) return false;
  nodes->line = next;
  nodes->paragraph = paragraph;
  return true;
}

bool CTextNavigator::PrevLine(TextNodes* nodes) const {
  const NodeHandle prev = Navigate(kLevelLine, kNavPrevious, nodes->line);
  if (prev == kNoNode) return false;
  const NodeHandle paragraph = ParagraphOfNeighbourLine(*nodes, prev, false);
  if (paragraph == kNoNode) return false;
  nodes->line = prev;
  nodes->paragraph = paragraph;
  return true;
}

bool CTextNavigator::FirstCellOfLine(TextNodes* nodes) const {
  const LineInfo* line = LinkedLine(nodes->line);
  if (line == nullptr || line->firstCell == kNoNode) return false;
  nodes->cell = line->firstCell;
  return true;
}

bool CTextNavigator::LastCellOfLine(TextNodes* nodes) const {
  const NodeHandle cell = GetChild(kLevelCell, true, nodes->line);
  if (cell == kNoNode) return false;
  nodes->cell = cell;
  return true;
}

int CTextNavigator::StepBack(CVedTextPos* pos) const {
  TextNodes nodes;
  if (MapPosition(pos, &nodes) == 0 || !StepCell(&nodes, false)) return 0;
  MakePosition(nodes, pos);
  return 1;
}

bool CTextNavigator::StepCell(TextNodes* nodes, bool forward) const {
  if (IsChildEdge(kLevelCell, forward, nodes->line, nodes->cell) != 0) {
    TextNodes moved = *nodes;
    if (!(forward ? NextLine(&moved) : PrevLine(&moved))) return false;
    if (!(forward ? FirstCellOfLine(&moved) : LastCellOfLine(&moved))) return false;
    *nodes = moved;
    return true;
  }
  const NodeHandle cell = Navigate(kLevelCell, forward ? kNavNext : kNavPrevious, nodes->cell);
  if (cell == kNoNode) return false;
  nodes->cell = cell;
  return true;
}

int CTextNavigator::PositionOfCell(int kind, NodeHandle paragraph, NodeHandle line, NodeHandle cell,
                                   CVedTextPos* out) const {
  const NodeHandle start = line != kNoNode ? line : GetChild(kLevelLine, false, paragraph);
  if (kind == kNavNext && paragraph != kNoNode && start != kNoNode) {
    // Line by line from the start, keeping track of the paragraph on the
    // way, so that the paragraph is not looked for by walking its lines
    // from its first one again.
    TextNodes walk{paragraph, start, kNoNode};
    do {
      if (SearchLine(walk.line, cell) == LineSearch::kFound) {
        MakePosition({walk.paragraph, walk.line, cell}, out);
        return 1;
      }
    } while (NextLine(&walk));
    return 0;
  }
  const NodeHandle found = FindParent(kLevelLine, kind, start, cell);
  if (found == kNoNode) return 0;
  const NodeHandle owner = FindParent(kLevelParagraph, kind, paragraph, found);
  if (owner == kNoNode) return 0;
  MakePosition({owner, found, cell}, out);
  return 1;
}

bool CTextNavigator::FindCellInParagraph(NodeHandle paragraph, NodeHandle cell,
                                         TextNodes* out) const {
  ParagraphInfo info;
  if (paragraph == kNoNode || GetInfo(paragraph, info) == 0) return false;
  for (NodeHandle line = info.firstLine; line != kNoNode;
       line = Navigate(kLevelLine, kNavNext, line)) {
    LineInfo l;
    if (GetInfo(line, l) == 0) return false;
    for (NodeHandle c = l.firstCell; c != kNoNode; c = Navigate(kLevelCell, kNavNext, c)) {
      if (c == cell) {
        *out = TextNodes{paragraph, line, cell};
        return true;
      }
      if (c == l.lastCell) break;
    }
    if (line == info.lastLine) break;
  }
  return false;
}

CTextNavigator::LineSearch CTextNavigator::SearchLine(NodeHandle line, NodeHandle cell) const {
  LineInfo l;
  if (GetInfo(line, l) == 0) return LineSearch::kLeftParagraph;
  for (NodeHandle c = l.firstCell; c != kNoNode; c = Navigate(kLevelCell, kNavNext, c)) {
    if (c == cell) return LineSearch::kFound;
    if (c == l.lastCell) break;
  }
  CharCell last;
  if (GetInfo(l.lastCell, last) == 0) return LineSearch::kLeftParagraph;
  const bool endsParagraph =
      last.code == kCodeParagraphEnd || last.code == kCodePageBreak || last.code == kCodeEndOfText;
  return endsParagraph ? LineSearch::kParagraphEnd : LineSearch::kNotHere;
}

bool CTextNavigator::FindCellNearLine(const TextNodes& hint, NodeHandle cell,
                                      TextNodes* out) const {
  ParagraphInfo info;
  if (GetInfo(hint.paragraph, info) == 0) return false;
  // Walks out from the hint's line both ways at once within its paragraph.
  // A paragraph end met on the way (other than the paragraph's own last
  // line) means the line is not the paragraph's: the search gives up.
  NodeHandle forward = hint.line;
  NodeHandle backward =
      hint.line == info.firstLine ? kNoNode : Navigate(kLevelLine, kNavPrevious, hint.line);
  while (forward != kNoNode || backward != kNoNode) {
    if (forward != kNoNode) {
      const LineSearch result = SearchLine(forward, cell);
      if (result == LineSearch::kFound) {
        *out = TextNodes{hint.paragraph, forward, cell};
        return true;
      }
      const bool last = forward == info.lastLine;
      if (result == LineSearch::kLeftParagraph || (result == LineSearch::kParagraphEnd && !last)) {
        return false;
      }
      forward = last ? kNoNode : Navigate(kLevelLine, kNavNext, forward);
    }
    if (backward != kNoNode) {
      const LineSearch result = SearchLine(backward, cell);
      if (result == LineSearch::kLeftParagraph || result == LineSearch::kParagraphEnd) {
        return false;
      }
      if (result == LineSearch::kFound) {
        *out = TextNodes{hint.paragraph, backward, cell};
        return true;
      }
      backward =
          backward == info.firstLine ? kNoNode : Navigate(kLevelLine, kNavPrevious, backward);
    }
  }
  return false;
}

int CTextNavigator::LocateCell(NodeHandle cell, const TextNodes& hint, CVedTextPos* out) const {
  // An edit moves a cell at most a few lines, or into a neighbouring
  // paragraph: look there before walking a long paragraph or the whole
  // text.
  TextNodes found;
  if (FindCellNearLine(hint, cell, &found)) {
    MakePosition(found, out);
    return 1;
  }
  const NodeHandle near[] = {hint.paragraph, Navigate(kLevelParagraph, kNavNext, hint.paragraph),
                             Navigate(kLevelParagraph, kNavPrevious, hint.paragraph)};
  for (NodeHandle paragraph : near) {
    if (FindCellInParagraph(paragraph, cell, &found)) {
      MakePosition(found, out);
      return 1;
    }
  }
  return PositionOfCell(kNavNext, kNoNode, kNoNode, cell, out);
}

int32_t CTextNavigator::IndexInParent(int level, NodeHandle parent, NodeHandle node) const {
  NodeHandle first = kNoNode;
  NodeHandle last = kNoNode;
  if (GetChildRange(level, parent, first, last) == 0) return 0;
  int32_t index = 1;
  for (NodeHandle n = first; n != kNoNode; n = Navigate(level, kNavNext, n), ++index) {
    if (n == node) return index;
    if (n == last) break;
  }
  return 0;
}

bool CTextNavigator::FollowsWithin(int level, NodeHandle from, NodeHandle first, NodeHandle last,
                                   NodeHandle to) const {
  // An edit's reach often ends at its paragraph's last cell: the ends of
  // the run are known without a walk.
  if (to == from || to == last) return true;
  if (to == first) return false;
  NodeHandle forward = from;
  NodeHandle backward = from;
  while (true) {
    if (forward == to) return true;
    if (forward == last || forward == kNoNode) return false;
    forward = Navigate(level, kNavNext, forward);
    if (backward == kNoNode) continue;
    backward = backward == first ? kNoNode : Navigate(level, kNavPrevious, backward);
    if (backward != kNoNode && backward == to) return false;
  }
}

int32_t CTextNavigator::CountSteps(int level, NodeHandle from, NodeHandle bound,
                                   NodeHandle to) const {
  int32_t steps = 1;
  for (NodeHandle n = from; n != kNoNode; n = Navigate(level, kNavNext, n), ++steps) {
    if (n == to) return steps;
    if (n == bound) return 0;
  }
  return 0;
}

int32_t CTextNavigator::CountLinesBetween(const TextNodes& a, const TextNodes& b) const {
  int32_t count = 0;
  for (NodeHandle line = a.line; line != kNoNode; line = Navigate(kLevelLine, kNavNext, line)) {
    ++count;
    if (line == b.line) break;
  }
  return count;
}

int CTextNavigator::PositionFromLineColumn(const CVedTextPos* base, int32_t* line, int32_t* column,
                                           CVedTextPos* out) const {
  if (*line == 0 || *column == 0) return 0;
  TextNodes nodes;
  if (MapPosition(base, &nodes) == 0) return 0;
  int32_t reached = 1;
  while (reached < *line && NextLine(&nodes)) ++reached;
  if (!FirstCellOfLine(&nodes)) return 0;
  const NodeHandle last = GetChild(kLevelCell, true, nodes.line);
  int32_t placed = 1;
  while (placed < *column && nodes.cell != last) {
    nodes.cell = Navigate(kLevelCell, kNavNext, nodes.cell);
    ++placed;
  }
  *line = reached;
  *column = placed;
  MakePosition(nodes, out);
  return 1;
}

int CTextNavigator::IsControlCell(NodeHandle cell, uint16_t* code) const {
  CharCell record;
  if (GetInfo(cell, record) == 0 || !IsControlCode(record.code)) return 0;
  if (code != nullptr) *code = record.code;
  return 1;
}

int CTextNavigator::MoveCaret(int command, const MoveParams& params, const CVedTextPos* from,
                              CVedTextPos* out, int* result) const {
  *result = kMoveDone;
  TextNodes nodes;
  CharCell cell;
  if (MapPosition(from, &nodes) == 0 || GetInfo(nodes.cell, cell) == 0) return 0;
  bool edge = false;
  const int edgeResult = MoveCommandOn(command, params, &nodes, &edge);
  if (edgeResult < 0) return 0;
  if (edge) *result = edgeResult;
  MakePosition(nodes, out);
  return 1;
}

// Runs one command on the nodes. Answers the result an edge translates to,
// or -1 for a command a text does not answer.
int CTextNavigator::MoveCommandOn(int command, const MoveParams& params, TextNodes* nodes,
                                  bool* edge) const {
  const bool wrap = params.wrap == 1;
  TextNodes target = *nodes;
  auto land = [&](bool found) {
    if (found) *nodes = target;
    *edge = !found;
  };
  switch (command) {
    case kMovePrevChar:
      land(IsChildEdge(kLevelCell, false, nodes->line, nodes->cell) == 0 || wrap
               ? StepCell(&target, false)
               : false);
      return kMoveStoppedAtLineStart;
    case kMoveNextChar:
      land(IsChildEdge(kLevelCell, true, nodes->line, nodes->cell) == 0 || wrap
               ? StepCell(&target, true)
               : false);
      return kMoveStoppedAtLineEnd;
    case kMoveLineUp:
    case kMoveLineDown: {
      const bool up = command == kMoveLineUp;
      const bool found = up ? PrevLine(&target) : NextLine(&target);
      if (found) target.cell = CellAtX(target.paragraph, target.line, params.value);
      land(found && target.cell != kNoNode);
      return up ? kMoveBeforeStart : kMoveAfterEnd;
    }
    case kMoveLineStart:
      land(FirstCellOfLine(&target));
      return kMoveBeforeStart;
    case kMoveLineEnd:
      land(LastCellOfLine(&target));
      return kMoveAfterEnd;
    case kMoveNextLineStart:
      land(NextLine(&target) && FirstCellOfLine(&target));
      return kMoveAfterEnd;
    case kMovePrevLineStart:
      land(PrevLine(&target) && FirstCellOfLine(&target));
      return kMoveBeforeStart;
    case kMoveParagraphStart:
      target.line = GetChild(kLevelLine, false, target.paragraph);
      land(target.line != kNoNode && FirstCellOfLine(&target));
      return kMoveBeforeStart;
    case kMoveParagraphEnd:
      target.line = GetChild(kLevelLine, true, target.paragraph);
      land(target.line != kNoNode && LastCellOfLine(&target));
      return kMoveAfterEnd;
    case kMoveNextParagraph:
    case kMovePrevParagraph: {
      const int kind = command == kMoveNextParagraph ? kNavNext : kNavPrevious;
      target.paragraph = Navigate(kLevelParagraph, kind, target.paragraph);
      target.line = GetChild(kLevelLine, false, target.paragraph);
      land(target.paragraph != kNoNode && target.line != kNoNode && FirstCellOfLine(&target));
      return command == kMoveNextParagraph ? kMoveAfterEnd : kMoveBeforeStart;
    }
    case kMoveWordStart:
      return MoveByWord(kWordStart, nodes, edge) != 0 ? kMoveBeforeStart : -1;
    case kMoveNextWord:
      return MoveByWord(kWordNext, nodes, edge) != 0 ? kMoveAfterEnd : -1;
    case kMovePrevWord:
      return MoveByWord(kWordPrevious, nodes, edge) != 0 ? kMoveBeforeStart : -1;
    case kMoveLastWordStart:
      return MoveByWord(kWordLast, nodes, edge) != 0 ? kMoveBeforeStart : -1;
    case kMoveDocumentStart:
    case kMoveFirstLineAtX:
      target = {Navigate(kLevelParagraph, kNavFirst, kNoNode),
                Navigate(kLevelLine, kNavFirst, kNoNode), kNoNode};
      if (command == kMoveFirstLineAtX) {
        target.cell = CellAtX(target.paragraph, target.line, params.value);
        land(target.cell != kNoNode);
      } else {
        land(FirstCellOfLine(&target));
      }
      return kMoveBeforeStart;
    case kMoveDocumentEnd:
    case kMoveLastLineAtX:
    case kMoveLastLineStart:
      target = {Navigate(kLevelParagraph, kNavLast, kNoNode),
                Navigate(kLevelLine, kNavLast, kNoNode), kNoNode};
      if (command == kMoveLastLineAtX) {
        target.cell = CellAtX(target.paragraph, target.line, params.value);
        land(target.cell != kNoNode);
      } else if (command == kMoveDocumentEnd) {
        land(LastCellOfLine(&target));
      } else {
        land(FirstCellOfLine(&target));
      }
      return kMoveAfterEnd;
    case kMoveLastParagraphStart:
      target.paragraph = Navigate(kLevelParagraph, kNavLast, kNoNode);
      target.line = GetChild(kLevelLine, false, target.paragraph);
      land(target.line != kNoNode && FirstCellOfLine(&target));
      return kMoveAfterEnd;
    default:
      return -1;
  }
}

int CTextNavigator::StepLine(const CVedTextPos* pos, int direction, CVedTextPos* out) const {
  TextNodes nodes;
  if (pos != nullptr) {
    if (MapPosition(pos, &nodes) == 0) return 0;
  } else if (direction == kLineNext || direction == kLinePrevious) {
    const int end = direction == kLineNext ? kNavLast : kNavFirst;
    nodes = {Navigate(kLevelParagraph, end, kNoNode), Navigate(kLevelLine, end, kNoNode), kNoNode};
    direction = kLineThis;
  } else {
    nodes = {CurrentNode(kLevelParagraph), CurrentNode(kLevelLine), kNoNode};
  }
  bool found = true;
  if (direction == kLineNext) found = NextLine(&nodes);
  if (direction == kLinePrevious) found = PrevLine(&nodes);
  if (!found || !FirstCellOfLine(&nodes)) return 0;
  MakePosition(nodes, out);
  return 1;
}

bool CTextNavigator::FirstLineStart(TextNodes* out) const {
  TextNodes nodes{Navigate(kLevelParagraph, kNavFirst, kNoNode),
                  Navigate(kLevelLine, kNavFirst, kNoNode), kNoNode};
  if (!FirstCellOfLine(&nodes)) return false;
  *out = nodes;
  return true;
}

bool CTextNavigator::NextLineStart(TextNodes* nodes) const {
  TextNodes next = *nodes;
  if (!NextLine(&next) || !FirstCellOfLine(&next)) return false;
  *nodes = next;
  return true;
}

namespace {

int32_t LineEndKind(LineEnd end) {
  switch (end) {
    case LineEnd::kParagraph:
      return kLineEndParagraph;
    case LineEnd::kPageBreak:
      return kLineEndPageBreak;
    case LineEnd::kText:
      return kLineEndText;
    case LineEnd::kWrapped:
      break;
  }
  return kLineEndNone;
}

}  // namespace

void CTextNavigator::GetLineMetrics(std::span<const TextNodes> nodes,
                                    std::span<LineMetrics> out) const {
  for (size_t i = 0; i < nodes.size(); ++i) GetLineMetrics(nodes[i], &out[i]);
}

void CTextNavigator::GetLineMetrics(const TextNodes& nodes, LineMetrics* out) const {
  *out = LineMetrics{};
  const ParagraphInfo* paragraph = LinkedParagraph(nodes.paragraph);
  const LineInfo* line = paragraph != nullptr ? LinkedLine(nodes.line) : nullptr;
  if (line == nullptr) return;
  out->gap = GapBelow(*paragraph, nodes.line);
  out->height = line->height + out->gap;
  out->endKind = LineEndKind(line->end);
  out->anchor = line->anchor;
}

int32_t CTextNavigator::GapBelow(const ParagraphInfo& paragraph, NodeHandle line) const {
  return paragraph.lastLine == line ? paragraph.paragraphGap : paragraph.lineGap;
}

int32_t CTextNavigator::PositionFromPoint(const CVedTextPos* base, int32_t x, int32_t y,
                                          CVedTextPos* out) const {
  x = std::max(x, 0);
  y = std::max(y, 0);
  TextNodes nodes;
  if (base != nullptr) {
    if (MapPosition(base, &nodes) == 0) return -1;
  } else {
    CVedTextPos start;
    if (GetStartPosition(&start) == 0) return -1;
    MapPosition(&start, &nodes);
  }
  int32_t sum = 0;
  while (true) {
    ParagraphInfo paragraph;
    LineInfo line;
    if (GetInfo(nodes.paragraph, paragraph) == 0 || GetInfo(nodes.line, line) == 0) return -1;
    sum += line.height + GapBelow(paragraph, nodes.line);
    if (y < sum) {
      const int hit = CellAtXInLine(x, nodes.paragraph, nodes.line, &nodes.cell);
      if (hit == 0) return -1;
      MakePosition(nodes, out);
      return hit;
    }
    if (!NextLine(&nodes)) return sum;
  }
}

int CTextNavigator::PositionAtHeight(const CVedTextPos* pos, int32_t height, int kind,
                                     CVedTextPos* out, int32_t* consumed) const {
  TextNodes nodes;
  if (MapPosition(pos, &nodes) == 0) return 0;
  int32_t before = 0;
  while (true) {
    ParagraphInfo paragraph;
    LineInfo line;
    if (GetInfo(nodes.paragraph, paragraph) == 0 || GetInfo(nodes.line, line) == 0) return 0;
    const int32_t through = before + line.height + GapBelow(paragraph, nodes.line);
    const bool exceeds = through > height;
    TextNodes next = nodes;
    if (exceeds || !NextLine(&next)) {
      nodes.cell = kind == kNavLast ? line.lastCell : line.firstCell;
      *consumed = exceeds && kind != kNavLast ? before : through;
      MakePosition(nodes, out);
      return 1;
    }
    before = through;
    nodes = next;
  }
}

NodeHandle CTextNavigator::CellAtX(NodeHandle paragraph, NodeHandle line, int32_t x) const {
  NodeHandle cell = kNoNode;
  return CellAtXInLine(x, paragraph, line, &cell) != 0 ? cell : kNoNode;
}

int CTextNavigator::CellAtXInLine(int32_t x, NodeHandle /*paragraph*/, NodeHandle line,
                                  NodeHandle* out) const {
  LineInfo info;
  if (GetInfo(line, info) == 0) return 0;
  if (x < info.xOffset) {
    *out = info.firstCell;
    return kHitLeftOfLine;
  }
  int32_t end = info.xOffset;
  for (NodeHandle cell = info.firstCell; cell != kNoNode;
       cell = Navigate(kLevelCell, kNavNext, cell)) {
    // A cell is hit where it is drawn, as its caret box stands: after
    // the full widths of the cells before it.
    CellAdvance advance;
    if (GetAnyCellAdvance(line, cell, &advance) == 0) return 0;
    end += advance.control ? advance.advance + advance.spacing : DrawnWidth(cell, cell);
    if (end > x) {
      *out = cell;
      return kHitInLine;
    }
    if (cell == info.lastCell) break;
  }
  *out = info.lastCell;
  return kHitPastLine;
}
