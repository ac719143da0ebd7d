// The text of a text object in four linked levels: paragraphs (1), lines
// (2), character cells (3) and a spare level (4) that stays empty. The
// three upper levels are one tree laid flat: a paragraph names its first
// and last line, a line its first and last cell, and each level's list
// holds every node of the document in document order.
//
// CTextStore is the set of operations on those lists. It owns nothing; the
// text engine owns the lists, and each of its parts is a store bound to
// them. An unbound store answers 0 or no node and changes nothing.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>

#include "model/node_list.h"
#include "model/text_records.h"

using ParagraphList = NodeList<ParagraphInfo>;
using LineList = NodeList<LineInfo>;
// The cell level: the stored records, and the anchors of the few cells
// that carry one, which go with their nodes.
class CellList : public NodeList<StoredCell> {
 public:
  // The anchor of a live cell whose record says it has one, else null.
  CVedAnchor* AnchorOf(NodeHandle node) const {
    if (!RecordOf(node).anchored) return nullptr;
    const auto found = anchors_.find(node);
    return found != anchors_.end() ? found->second : nullptr;
  }
  // Keeps `anchor` (null: none) for a live cell and marks its record.
  void SetAnchor(NodeHandle node, CVedAnchor* anchor) {
    RecordOf(node).anchored = anchor != nullptr;
    if (anchor != nullptr) {
      anchors_[node] = anchor;
    } else if (!anchors_.empty()) {
      anchors_.erase(node);
    }
  }
  NodeHandle Remove(NodeHandle node) {
    if (!anchors_.empty()) anchors_.erase(node);
    return NodeList::Remove(node);
  }
  void Clear() {
    anchors_.clear();
    NodeList::Clear();
  }

 private:
  std::unordered_map<NodeHandle, CVedAnchor*> anchors_;
};
using SpareList = NodeList<SpareRecord>;

// Levels of the store.
inline constexpr int kLevelParagraph = 1;
inline constexpr int kLevelLine = 2;
inline constexpr int kLevelCell = 3;
inline constexpr int kLevelSpare = 4;

// Kinds of Navigate and FindParent.
inline constexpr int kNavFirst = 0;
inline constexpr int kNavCurrent = 1;
inline constexpr int kNavPrevious = 2;
inline constexpr int kNavNext = 3;
inline constexpr int kNavSelf = 4;
inline constexpr int kNavLast = 9;

// Modes of ExtractText.
inline constexpr int kExtractPlain = 1;
inline constexpr int kExtractWithPageBreaks = 0;

class CTextStore {
 public:
  CTextStore() = default;
  virtual ~CTextStore() = default;

  void Bind(ParagraphList* paragraphs, LineList* lines, CellList* cells, SpareList* spare);
  void CopyFrom(const CTextStore& other);
  bool IsBound() const;

  // With a node: inserts before it and answers the given node. With none:
  // appends and answers the new node. No node on failure.
  NodeHandle InsertBefore(NodeHandle node, const ParagraphInfo& record);
  NodeHandle InsertBefore(NodeHandle node, const LineInfo& record);
  NodeHandle InsertBefore(NodeHandle node, const CharCell& record);
  // Answers the new node. With no node, paragraphs and lines are appended
  // while a cell goes to the front of the cell list.
  NodeHandle InsertAfter(NodeHandle node, const ParagraphInfo& record);
  NodeHandle InsertAfter(NodeHandle node, const LineInfo& record);
  NodeHandle InsertAfter(NodeHandle node, const CharCell& record);

  // 1, or 0 for a node whose neighbours do not link back to it.
  int GetInfo(NodeHandle node, ParagraphInfo& out) const;
  int GetInfo(NodeHandle node, LineInfo& out) const;
  int GetInfo(NodeHandle node, CharCell& out) const;
  int SetInfo(NodeHandle node, const ParagraphInfo& record);
  int SetInfo(NodeHandle node, const LineInfo& record);
  int SetInfo(NodeHandle node, const CharCell& record);
  // Attaches an anchor to a line leaving the rest of its record as it is,
  // so pagination, which does so on every page's first line, need not
  // read the line's last cell as SetInfo does.
  int SetLineAnchor(NodeHandle line, CVedAnchor* anchor);

  NodeHandle Navigate(int level, int kind, NodeHandle node) const;

  // The cell after `node`, and a linked cell's record in place (null as
  // GetInfo would fail), for the passes over every cell of a line, where
  // the level dispatch of Navigate and the record copies of GetInfo and
  // SetInfo would cost more than the work itself.
  NodeHandle NextCell(NodeHandle node) const {
    return cells_ != nullptr ? cells_->Next(node) : kNoNode;
  }
  StoredCell* LinkedCell(NodeHandle node) const {
    return cells_ != nullptr && cells_->LinksBack(node) ? &cells_->RecordOf(node) : nullptr;
  }
  // A linked paragraph's or line's record in place (null as GetInfo would
  // fail), for the walks over every line, where copying each record would
  // cost more than reading it.
  const ParagraphInfo* LinkedParagraph(NodeHandle node) const {
    return paragraphs_ != nullptr && paragraphs_->LinksBack(node) ? &paragraphs_->RecordOf(node)
                                                                  : nullptr;
  }
  const LineInfo* LinkedLine(NodeHandle node) const {
    return lines_ != nullptr && lines_->LinksBack(node) ? &lines_->RecordOf(node) : nullptr;
  }
  int IsFirst(int level, NodeHandle node) const;
  int IsLast(int level, NodeHandle node) const;

  // Children of a paragraph (level 2) or of a line (level 3).
  int GetChildRange(int level, NodeHandle parent, NodeHandle& first, NodeHandle& last) const;
  NodeHandle GetChild(int level, bool last, NodeHandle parent) const;
  int IsChildEdge(int level, bool last, NodeHandle parent, NodeHandle node) const;
  // The paragraph (level 1) of a line or the line (level 2) of a cell.
  NodeHandle FindParent(int level, int kind, NodeHandle start, NodeHandle child) const;

  NodeHandle Earlier(int level, NodeHandle a, NodeHandle b) const;
  NodeHandle Remove(int level, NodeHandle node);
  NodeHandle RemoveRange(int level, NodeHandle a, NodeHandle b);
  void ClearLevel(int level);
  void ClearAll();
  int32_t Count(int level) const;
  int32_t IndexOf(int level, NodeHandle node) const;
  int IsEmptyDocument() const;

  // The text of the cells from `first` to `last` inclusive (to the end of
  // the text when `last` is not met).
  std::string ExtractText(int mode, NodeHandle first, NodeHandle last) const;

  NodeHandle CurrentNode(int level) const;
  void SetCurrentNode(int level, NodeHandle node);

 protected:
  ParagraphList* paragraphs_ = nullptr;
  LineList* lines_ = nullptr;
  CellList* cells_ = nullptr;
  SpareList* spare_ = nullptr;
  NodeHandle currentParagraph_ = kNoNode;
  NodeHandle currentLine_ = kNoNode;
  NodeHandle currentCell_ = kNoNode;
  NodeHandle currentSpare_ = kNoNode;

 private:
  // Calls `visit` with the list of a level; answers `fallback` for an
  // unbound store or an unknown level.
  template <typename Result, typename Visit>
  Result WithLevel(int level, Result fallback, Visit visit) const;

  // `record` with its end taken from its last cell's code.
  LineInfo WithEnd(const LineInfo& record) const;
  // Keeps the end of the line whose last cell is `cell` after that cell's
  // code changed how a line would end there.
  void RefreshEndOfLineEndingAt(NodeHandle cell);

  template <typename Record>
  NodeHandle Before(NodeList<Record>* list, NodeHandle node, const Record& record);
  template <typename Record>
  static int Get(const NodeList<Record>* list, NodeHandle node, Record& out);
  template <typename Record>
  static int Set(NodeList<Record>* list, NodeHandle node, const Record& record);
};
