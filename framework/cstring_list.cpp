#include "framework/cstring_list.h"

#include <cassert>

namespace framework {

struct ListNode {
  CString value;
  ListNode* prev = nullptr;
  ListNode* next = nullptr;
};

CStringList::CStringList(int /*blockSize*/) {}

CStringList::~CStringList() { RemoveAll(); }

POSITION CStringList::Link(POSITION before, POSITION after, const CString& value) {
  auto* node = new ListNode{value, before, after};
  (before != nullptr ? before->next : head_) = node;
  (after != nullptr ? after->prev : tail_) = node;
  ++count_;
  return node;
}

POSITION CStringList::AddHead(const CString& value) { return Link(nullptr, head_, value); }

POSITION CStringList::AddTail(const CString& value) { return Link(tail_, nullptr, value); }

POSITION CStringList::InsertBefore(POSITION place, const CString& value) {
  if (place == nullptr) return AddHead(value);
  return Link(place->prev, place, value);
}

POSITION CStringList::InsertAfter(POSITION place, const CString& value) {
  if (place == nullptr) return AddTail(value);
  return Link(place, place->next, value);
}

const CString& CStringList::GetHead() const {
  assert(head_ != nullptr);
  return head_->value;
}

const CString& CStringList::GetTail() const {
  assert(tail_ != nullptr);
  return tail_->value;
}

CString CStringList::RemoveHead() {
  CString value = GetHead();
  RemoveAt(head_);
  return value;
}

CString CStringList::RemoveTail() {
  CString value = GetTail();
  RemoveAt(tail_);
  return value;
}

void CStringList::RemoveAt(POSITION place) {
  assert(place != nullptr);
  (place->prev != nullptr ? place->prev->next : head_) = place->next;
  (place->next != nullptr ? place->next->prev : tail_) = place->prev;
  delete place;
  --count_;
}

void CStringList::RemoveAll() {
  while (head_ != nullptr) RemoveAt(head_);
}

CString& CStringList::GetNext(POSITION& place) const {
  assert(place != nullptr);
  CString& value = place->value;
  place = place->next;
  return value;
}

CString& CStringList::GetPrev(POSITION& place) const {
  assert(place != nullptr);
  CString& value = place->value;
  place = place->prev;
  return value;
}

CString& CStringList::GetAt(POSITION place) const {
  assert(place != nullptr);
  return place->value;
}

void CStringList::SetAt(POSITION place, const CString& value) { GetAt(place) = value; }

POSITION CStringList::Find(const CString& value, POSITION startAfter) const {
  for (POSITION at = startAfter != nullptr ? startAfter->next : head_; at != nullptr;
       at = at->next) {
    if (at->value == value) return at;
  }
  return nullptr;
}

POSITION CStringList::FindIndex(int index) const {
  if (index < 0 || index >= count_) return nullptr;
  POSITION at = head_;
  while (index-- > 0) at = at->next;
  return at;
}

}  // namespace framework
