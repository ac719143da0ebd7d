// One level of the text store: a doubly linked list of records whose
// nodes are addressed by 32-bit handles. Nodes live in blocks of a fixed
// size, each contiguous so that walking the list stays in few memory
// pages; only the first block grows (doubling) until it is full, so a short
// text (a table cell's) takes little and a long one wastes at most one
// block. Freed nodes are reused, so typing does not allocate per character;
// when the list empties, its memory goes.
#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

#include "model/text_records.h"

template <typename Record>
class NodeList {
 public:
  // Nodes per full block (a power of two, so a handle splits by shift and
  // mask) and the first block's starting size.
  static constexpr int32_t kBlockShift = 9;
  static constexpr int32_t kBlockNodes = 1 << kBlockShift;
  static constexpr int32_t kFirstBlockNodes = 8;

  NodeList() = default;
  NodeList(const NodeList&) = delete;
  NodeList& operator=(const NodeList&) = delete;

  NodeHandle head() const { return head_; }
  NodeHandle tail() const { return tail_; }
  int32_t count() const { return count_; }

  bool IsLive(NodeHandle node) const { return InRange(node) && Slot(node).next != kFreed; }
  NodeHandle Next(NodeHandle node) const { return IsLive(node) ? Slot(node).next : kNoNode; }
  NodeHandle Prev(NodeHandle node) const { return IsLive(node) ? Slot(node).prev : kNoNode; }

  // A live node whose neighbours link back to it; a lone node is its own
  // head and tail.
  bool LinksBack(NodeHandle node) const {
    if (!IsLive(node)) return false;
    const Node& n = Slot(node);
    // A freed neighbour's next link is never a live handle.
    const bool prevOk =
        n.prev == kNoNode ? head_ == node : InRange(n.prev) && Slot(n.prev).next == node;
    const bool nextOk =
        n.next == kNoNode ? tail_ == node : IsLive(n.next) && Slot(n.next).prev == node;
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
    capacity_ = 0;
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

  bool InRange(NodeHandle node) const { return node > 0 && node <= allocated_; }

  Node& Slot(NodeHandle node) {
    const auto index = static_cast<uint32_t>(node - 1);
    return blocks_[index >> kBlockShift][index & (kBlockNodes - 1)];
  }
  const Node& Slot(NodeHandle node) const {
    const auto index = static_cast<uint32_t>(node - 1);
    return blocks_[index >> kBlockShift][index & (kBlockNodes - 1)];
  }

  // Room for one more node: the first block doubles until it is full,
  // later blocks come whole.
  void Grow() {
    if (blocks_.empty() || capacity_ >= kBlockNodes) {
      const int32_t size = blocks_.empty() ? kFirstBlockNodes : kBlockNodes;
      blocks_.push_back(std::make_unique<Node[]>(static_cast<size_t>(size)));
      capacity_ += size;
      return;
    }
    const int32_t size = std::min(2 * capacity_, kBlockNodes);
    Block larger = std::make_unique<Node[]>(static_cast<size_t>(size));
    std::copy(blocks_[0].get(), blocks_[0].get() + capacity_, larger.get());
    blocks_[0] = std::move(larger);
    capacity_ = size;
  }

  NodeHandle Allocate(const Record& record) {
    NodeHandle node = freeHead_;
    if (node != kNoNode) {
      freeHead_ = Slot(node).prev;
    } else {
      if (allocated_ == capacity_) Grow();
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
  int32_t capacity_ = 0;      // nodes the blocks hold
  NodeHandle freeHead_ = kNoNode;
  NodeHandle head_ = kNoNode;
  NodeHandle tail_ = kNoNode;
  int32_t count_ = 0;
};
