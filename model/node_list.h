// One level of the text store: a doubly linked list of records whose
// nodes are addressed by 32-bit handles. Nodes live in fixed-size blocks
// that never move, so a long text costs no growth slack and no copying;
// freed nodes are reused, so typing does not allocate per character; when
// the list empties, its memory goes.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "model/text_records.h"

// Nodes per block: many character cells, fewer of everything else.
inline constexpr int32_t kCellBlockNodes = 20;
inline constexpr int32_t kRecordBlockNodes = 10;

template <typename Record, int32_t BlockNodes = kRecordBlockNodes>
class NodeList {
 public:
  NodeList() = default;
  NodeList(const NodeList&) = delete;
  NodeList& operator=(const NodeList&) = delete;

  NodeHandle head() const { return head_; }
  NodeHandle tail() const { return tail_; }
  int32_t count() const { return count_; }

  bool IsLive(NodeHandle node) const {
    return node > 0 && node <= allocated_ && Slot(node).next != kFreed;
  }
  NodeHandle Next(NodeHandle node) const { return IsLive(node) ? Slot(node).next : kNoNode; }
  NodeHandle Prev(NodeHandle node) const { return IsLive(node) ? Slot(node).prev : kNoNode; }

  // A live node whose neighbours link back to it; a lone node is its own
  // head and tail.
  bool LinksBack(NodeHandle node) const {
    if (!IsLive(node)) return false;
    const Node& n = Slot(node);
    const bool prevOk = n.prev == kNoNode ? head_ == node : Next(n.prev) == node;
    const bool nextOk = n.next == kNoNode ? tail_ == node : Prev(n.next) == node;
    return prevOk && nextOk;
  }

  Record& RecordOf(NodeHandle node) { return Slot(node).record; }
  const Record& RecordOf(NodeHandle node) const { return Slot(node).record; }

  // Links a new node holding `record` before `at` (at the end when `at` is
  // no node) and answers it.
  NodeHandle InsertBefore(NodeHandle at, const Record& record) {
    const NodeHandle node = Allocate(record);
    Node& n = Slot(node);
    if (at == kNoNode) {
      n.prev = tail_;
      if (tail_ != kNoNode) Slot(tail_).next = node;
      tail_ = node;
      if (head_ == kNoNode) head_ = node;
      return node;
    }
    Node& a = Slot(at);
    n.next = at;
    n.prev = a.prev;
    if (a.prev != kNoNode)
      Slot(a.prev).next = node;
    else
      head_ = node;
    a.prev = node;
    return node;
  }

  // Links a new node after `at` (at the front when `at` is no node).
  NodeHandle InsertAfter(NodeHandle at, const Record& record) {
    if (at == kNoNode) return InsertBefore(head_, record);
    const NodeHandle next = Slot(at).next;
    if (next != kNoNode) return InsertBefore(next, record);
    return InsertBefore(kNoNode, record);
  }

  // Unlinks and frees a node; answers its next node, or its previous one
  // when it was the last.
  NodeHandle Remove(NodeHandle node) {
    Node& n = Slot(node);
    const NodeHandle next = n.next;
    const NodeHandle prev = n.prev;
    if (prev != kNoNode)
      Slot(prev).next = next;
    else
      head_ = next;
    if (next != kNoNode)
      Slot(next).prev = prev;
    else
      tail_ = prev;
    // The freed node joins the free chain through its previous link; the
    // most recently freed node is reused first.
    n = Node{};
    n.next = kFreed;
    n.prev = freeHead_;
    freeHead_ = node;
    if (--count_ == 0) Clear();
    return next != kNoNode ? next : prev;
  }

  void Clear() {
    blocks_.clear();
    blocks_.shrink_to_fit();
    allocated_ = 0;
    freeHead_ = kNoNode;
    head_ = tail_ = kNoNode;
    count_ = 0;
  }

 private:
  // The next link of a freed node; live links are never negative.
  static constexpr NodeHandle kFreed = -1;

  struct Node {
    NodeHandle next = kNoNode;
    NodeHandle prev = kNoNode;
    Record record{};
  };
  using Block = std::unique_ptr<Node[]>;

  Node& Slot(NodeHandle node) {
    const auto index = static_cast<size_t>(node - 1);
    return blocks_[index / BlockNodes][index % BlockNodes];
  }
  const Node& Slot(NodeHandle node) const {
    const auto index = static_cast<size_t>(node - 1);
    return blocks_[index / BlockNodes][index % BlockNodes];
  }

  NodeHandle Allocate(const Record& record) {
    NodeHandle node = freeHead_;
    if (node != kNoNode) {
      freeHead_ = Slot(node).prev;
    } else {
      if (allocated_ % BlockNodes == 0) blocks_.push_back(std::make_unique<Node[]>(BlockNodes));
      node = ++allocated_;
    }
    Node& n = Slot(node);
    n = Node{};
    n.record = record;
    ++count_;
    return node;
  }

  std::vector<Block> blocks_;
  NodeHandle allocated_ = 0;  // nodes ever handed out since the last clear
  NodeHandle freeHead_ = kNoNode;
  NodeHandle head_ = kNoNode;
  NodeHandle tail_ = kNoNode;
  int32_t count_ = 0;
};
