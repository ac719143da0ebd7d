// One level of the text store: a doubly linked list of records whose
// nodes are addressed by 32-bit handles. Freed slots are reused, so typing
// does not allocate per character; when the list empties, its memory goes.
#pragma once

#include <cstdint>
#include <vector>

#include "model/text_records.h"

template <typename Record>
class NodeList {
 public:
  NodeHandle head() const { return head_; }
  NodeHandle tail() const { return tail_; }
  int32_t count() const { return count_; }

  bool IsLive(NodeHandle node) const {
    return node > 0 && static_cast<size_t>(node) <= slots_.size() && Slot(node).live;
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
    n = Node{};
    free_.push_back(node);
    if (--count_ == 0) Clear();
    return next != kNoNode ? next : prev;
  }

  void Clear() {
    slots_.clear();
    slots_.shrink_to_fit();
    free_.clear();
    free_.shrink_to_fit();
    head_ = tail_ = kNoNode;
    count_ = 0;
  }

 private:
  struct Node {
    NodeHandle next = kNoNode;
    NodeHandle prev = kNoNode;
    bool live = false;
    Record record{};
  };

  Node& Slot(NodeHandle node) { return slots_[static_cast<size_t>(node) - 1]; }
  const Node& Slot(NodeHandle node) const { return slots_[static_cast<size_t>(node) - 1]; }

  NodeHandle Allocate(const Record& record) {
    NodeHandle node = kNoNode;
    if (!free_.empty()) {
      node = free_.back();
      free_.pop_back();
    } else {
      slots_.emplace_back();
      node = static_cast<NodeHandle>(slots_.size());
    }
    Node& n = Slot(node);
    n = Node{};
    n.live = true;
    n.record = record;
    ++count_;
    return node;
  }

  std::vector<Node> slots_;
  std::vector<NodeHandle> free_;
  NodeHandle head_ = kNoNode;
  NodeHandle tail_ = kNoNode;
  int32_t count_ = 0;
};
