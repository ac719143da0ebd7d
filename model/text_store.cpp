#include "model/text_store.h"

// The lists are held by pointer, so a const store still reaches them
// mutably; only the mutating operations below use that.
template <typename Result, typename Visit>
Result CTextStore::WithLevel(int level, Result fallback, Visit visit) const {
  if (!IsBound()) return fallback;
  switch (level) {
    case kLevelParagraph:
      return paragraphs_ != nullptr ? visit(*paragraphs_) : fallback;
    case kLevelLine:
      return lines_ != nullptr ? visit(*lines_) : fallback;
    case kLevelCell:
      return cells_ != nullptr ? visit(*cells_) : fallback;
    case kLevelSpare:
      return spare_ != nullptr ? visit(*spare_) : fallback;
    default:
      return fallback;
  }
}

void CTextStore::Bind(ParagraphList* paragraphs, LineList* lines, CellList* cells,
                      SpareList* spare) {
  paragraphs_ = paragraphs;
  lines_ = lines;
  cells_ = cells;
  spare_ = spare;
}

void CTextStore::CopyFrom(const CTextStore& other) {
  Bind(other.paragraphs_, other.lines_, other.cells_, other.spare_);
  currentParagraph_ = other.currentParagraph_;
  currentLine_ = other.currentLine_;
  currentCell_ = other.currentCell_;
  currentSpare_ = other.currentSpare_;
}

bool CTextStore::IsBound() const {
  return paragraphs_ != nullptr || lines_ != nullptr || cells_ != nullptr || spare_ != nullptr;
}

template <typename Record>
NodeHandle CTextStore::Before(NodeList<Record>* list, NodeHandle node, const Record& record) {
  if (list == nullptr || (node != kNoNode && !list->IsLive(node))) return kNoNode;
  const NodeHandle added = list->InsertBefore(node, record);
  return node == kNoNode ? added : node;
}

NodeHandle CTextStore::InsertBefore(NodeHandle node, const ParagraphInfo& record) {
  return Before(paragraphs_, node, record);
}
NodeHandle CTextStore::InsertBefore(NodeHandle node, const LineInfo& record) {
  return Before(lines_, node, WithEnd(record));
}
NodeHandle CTextStore::InsertBefore(NodeHandle node, const CharCell& record) {
  if (cells_ == nullptr || (node != kNoNode && !cells_->IsLive(node))) return kNoNode;
  const NodeHandle added = cells_->InsertBefore(node, record);
  if (added != kNoNode) cells_->SetAnchor(added, record.anchor);
  return node == kNoNode ? added : node;
}

NodeHandle CTextStore::InsertAfter(NodeHandle node, const ParagraphInfo& record) {
  if (paragraphs_ == nullptr || (node != kNoNode && !paragraphs_->IsLive(node))) return kNoNode;
  return node == kNoNode ? paragraphs_->InsertBefore(kNoNode, record)
                         : paragraphs_->InsertAfter(node, record);
}
NodeHandle CTextStore::InsertAfter(NodeHandle node, const LineInfo& record) {
  if (lines_ == nullptr || (node != kNoNode && !lines_->IsLive(node))) return kNoNode;
  return node == kNoNode ? lines_->InsertBefore(kNoNode, WithEnd(record))
                         : lines_->InsertAfter(node, WithEnd(record));
}
NodeHandle CTextStore::InsertAfter(NodeHandle node, const CharCell& record) {
  if (cells_ == nullptr || (node != kNoNode && !cells_->IsLive(node))) return kNoNode;
  const NodeHandle added = cells_->InsertAfter(node, record);
  if (added != kNoNode) cells_->SetAnchor(added, record.anchor);
  return added;
}

int CTextStore::SetLineAnchor(NodeHandle line, CVedAnchor* anchor) {
  if (lines_ == nullptr || !lines_->LinksBack(line)) return 0;
  lines_->RecordOf(line).anchor = anchor;
  return 1;
}

LineInfo CTextStore::WithEnd(const LineInfo& record) const {
  LineInfo kept = record;
  const StoredCell* last = LinkedCell(record.lastCell);
  kept.end = last != nullptr ? LineEndOf(last->code) : LineEnd::kWrapped;
  return kept;
}

void CTextStore::RefreshEndOfLineEndingAt(NodeHandle cell) {
  // Rare (a cell rewritten into or out of a break), so a scan of the line
  // records is cheap enough.
  if (lines_ == nullptr) return;
  for (NodeHandle line = lines_->head(); line != kNoNode; line = lines_->Next(line)) {
    LineInfo& record = lines_->RecordOf(line);
    if (record.lastCell == cell) record.end = LineEndOf(cells_->RecordOf(cell).code);
  }
}

template <typename Record>
int CTextStore::Get(const NodeList<Record>* list, NodeHandle node, Record& out) {
  if (list == nullptr || !list->LinksBack(node)) return 0;
  out = list->RecordOf(node);
  return 1;
}

template <typename Record>
int CTextStore::Set(NodeList<Record>* list, NodeHandle node, const Record& record) {
  if (list == nullptr || !list->LinksBack(node)) return 0;
  list->RecordOf(node) = record;
  return 1;
}

int CTextStore::GetInfo(NodeHandle node, ParagraphInfo& out) const {
  return Get(paragraphs_, node, out);
}
int CTextStore::GetInfo(NodeHandle node, LineInfo& out) const { return Get(lines_, node, out); }
int CTextStore::GetInfo(NodeHandle node, CharCell& out) const {
  if (cells_ == nullptr || !cells_->LinksBack(node)) return 0;
  static_cast<StoredCell&>(out) = cells_->RecordOf(node);
  out.anchor = cells_->AnchorOf(node);
  return 1;
}
int CTextStore::SetInfo(NodeHandle node, const ParagraphInfo& record) {
  return Set(paragraphs_, node, record);
}
int CTextStore::SetInfo(NodeHandle node, const LineInfo& record) {
  return Set(lines_, node, WithEnd(record));
}
int CTextStore::SetInfo(NodeHandle node, const CharCell& record) {
  const StoredCell* old = LinkedCell(node);
  if (old == nullptr) return 0;
  const bool endChanges = LineEndOf(old->code) != LineEndOf(record.code);
  cells_->RecordOf(node) = record;
  cells_->SetAnchor(node, record.anchor);
  if (endChanges) RefreshEndOfLineEndingAt(node);
  return 1;
}

NodeHandle CTextStore::Navigate(int level, int kind, NodeHandle node) const {
  return WithLevel(level, kNoNode, [&](const auto& list) {
    switch (kind) {
      case kNavFirst:
        return list.head();
      case kNavCurrent:
        return CurrentNode(level);
      case kNavPrevious:
        return list.Prev(node);
      case kNavNext:
        return list.Next(node);
      case kNavSelf:
        return node;
      case kNavLast:
        return list.tail();
      default:
        return kNoNode;
    }
  });
}

int CTextStore::IsFirst(int level, NodeHandle node) const {
  return WithLevel(
      level, 0, [&](const auto& list) { return node != kNoNode && list.head() == node ? 1 : 0; });
}

int CTextStore::IsLast(int level, NodeHandle node) const {
  return WithLevel(
      level, 0, [&](const auto& list) { return node != kNoNode && list.tail() == node ? 1 : 0; });
}

int CTextStore::GetChildRange(int level, NodeHandle parent, NodeHandle& first,
                              NodeHandle& last) const {
  if (level == kLevelLine) {
    ParagraphInfo info;
    if (GetInfo(parent, info) == 0) return 0;
    first = info.firstLine;
    last = info.lastLine;
    return 1;
  }
  if (level == kLevelCell) {
    LineInfo info;
    if (GetInfo(parent, info) == 0) return 0;
    first = info.firstCell;
    last = info.lastCell;
    return 1;
  }
  return 0;
}

NodeHandle CTextStore::GetChild(int level, bool last, NodeHandle parent) const {
  NodeHandle first = kNoNode;
  NodeHandle final = kNoNode;
  if (GetChildRange(level, parent, first, final) == 0) return kNoNode;
  return last ? final : first;
}

int CTextStore::IsChildEdge(int level, bool last, NodeHandle parent, NodeHandle node) const {
  const NodeHandle edge = GetChild(level, last, parent);
  return edge != kNoNode && edge == node ? 1 : 0;
}

NodeHandle CTextStore::FindParent(int level, int kind, NodeHandle start, NodeHandle child) const {
  if (level != kLevelParagraph && level != kLevelLine) return kNoNode;
  if (kind == kNavFirst || kind == kNavLast) return Navigate(level, kind, kNoNode);
  if (kind == kNavCurrent) return CurrentNode(level);
  if (kind == kNavSelf) kind = kNavNext;
  if (kind != kNavPrevious && kind != kNavNext) return kNoNode;

  const int childLevel = level + 1;
  NodeHandle candidate =
      start != kNoNode ? start : Navigate(level, kind == kNavNext ? kNavFirst : kNavLast, kNoNode);
  while (candidate != kNoNode) {
    NodeHandle first = kNoNode;
    NodeHandle last = kNoNode;
    if (GetChildRange(childLevel, candidate, first, last) != 0) {
      for (NodeHandle c = first; c != kNoNode; c = Navigate(childLevel, kNavNext, c)) {
        if (c == child) return candidate;
        if (c == last) break;
      }
    }
    candidate = Navigate(level, kind, candidate);
  }
  return kNoNode;
}

NodeHandle CTextStore::Earlier(int level, NodeHandle a, NodeHandle b) const {
  if (a == kNoNode || b == kNoNode) return kNoNode;
  if (a == b) return a;
  // Walks out from `a` both ways at once, so the cost is the distance
  // between the two (or to the nearer end), not the distance from the head.
  return WithLevel(level, kNoNode, [&](const auto& list) {
    // A node that is not in the list never comes first.
    if (!list.IsLive(a)) return list.IsLive(b) ? b : kNoNode;
    if (!list.IsLive(b)) return a;
    NodeHandle forward = a;
    NodeHandle backward = a;
    while (true) {
      forward = list.Next(forward);
      backward = list.Prev(backward);
      if (forward == b || backward == kNoNode) return a;
      if (backward == b || forward == kNoNode) return b;
    }
  });
}

NodeHandle CTextStore::Remove(int level, NodeHandle node) {
  return WithLevel(level, kNoNode,
                   [&](auto& list) { return list.IsLive(node) ? list.Remove(node) : kNoNode; });
}

NodeHandle CTextStore::RemoveRange(int level, NodeHandle a, NodeHandle b) {
  const NodeHandle first = Earlier(level, a, b);
  if (first == kNoNode) return kNoNode;
  const NodeHandle last = first == a ? b : a;
  NodeHandle node = first;
  while (true) {
    const bool atLast = node == last;
    const bool wasTail = IsLast(level, node) != 0;
    const NodeHandle after = Remove(level, node);
    if (atLast || wasTail) return after;
    node = after;
  }
}

void CTextStore::ClearLevel(int level) {
  WithLevel(level, 0, [](auto& list) {
    list.Clear();
    return 0;
  });
}

void CTextStore::ClearAll() {
  for (int level = kLevelParagraph; level <= kLevelSpare; ++level) ClearLevel(level);
}

int32_t CTextStore::Count(int level) const {
  if (level == kLevelSpare) return 0;
  return WithLevel(level, 0, [](const auto& list) { return list.count(); });
}

int32_t CTextStore::IndexOf(int level, NodeHandle node) const {
  if (node == kNoNode || level == kLevelSpare) return -1;
  return WithLevel(level, -1, [&](const auto& list) {
    int32_t index = 1;
    for (NodeHandle n = list.head(); n != kNoNode; n = list.Next(n), ++index) {
      if (n == node) return index;
    }
    return -1;
  });
}

int CTextStore::IsEmptyDocument() const {
  if (Count(kLevelParagraph) != 1 || Count(kLevelLine) != 1 || Count(kLevelCell) != 1) return 0;
  CharCell cell;
  return GetInfo(currentCell_, cell) != 0 && cell.code == kCodeEndOfText ? 1 : 0;
}

std::string CTextStore::ExtractText(int mode, NodeHandle first, NodeHandle last) const {
  std::string text;
  if (cells_ == nullptr) return text;
  for (NodeHandle node = first; cells_->IsLive(node); node = cells_->Next(node)) {
    const uint16_t code = cells_->RecordOf(node).code;
    if (code == kCodeParagraphEnd || (code == kCodePageBreak && mode == kExtractPlain)) {
      text += "\r\n";
    } else if (code == kCodePageBreak) {
      text += '\f';
    } else if (code == kCodeTab) {
      text += '\t';
    } else if (!IsControlCode(code)) {
      if (code > 0xFF) text += static_cast<char>(code >> 8);
      text += static_cast<char>(code & 0xFF);
    }
    if (node == last) break;
  }
  return text;
}

NodeHandle CTextStore::CurrentNode(int level) const {
  switch (level) {
    case kLevelParagraph:
      return currentParagraph_;
    case kLevelLine:
      return currentLine_;
    case kLevelCell:
      return currentCell_;
    case kLevelSpare:
      return currentSpare_;
    default:
      return kNoNode;
  }
}

void CTextStore::SetCurrentNode(int level, NodeHandle node) {
  switch (level) {
    case kLevelParagraph:
      currentParagraph_ = node;
      break;
    case kLevelLine:
      currentLine_ = node;
      break;
    case kLevelCell:
      currentCell_ = node;
      break;
    case kLevelSpare:
      currentSpare_ = node;
      break;
    default:
      break;
  }
}
