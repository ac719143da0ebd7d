// CStringList: an ordered list of CString walked by POSITION, as the
// dialogs keep their path and comment lists.
#pragma once

#include <memory>

#include "framework/cstring.h"

namespace framework {

struct ListNode;
// An opaque place in a list; null is "no place" (before the head, after the tail).
using POSITION = ListNode*;

class CStringList {
 public:
  // The block size is how many nodes a list reserves at a time; nodes here
  // are allocated one by one, so it is accepted for the callers' sake only.
  explicit CStringList(int blockSize = 10);
  ~CStringList();
  CStringList(const CStringList&) = delete;
  CStringList& operator=(const CStringList&) = delete;

  int GetCount() const { return count_; }
  bool IsEmpty() const { return count_ == 0; }

  POSITION AddHead(const CString& value);
  POSITION AddTail(const CString& value);
  POSITION InsertBefore(POSITION place, const CString& value);
  POSITION InsertAfter(POSITION place, const CString& value);

  const CString& GetHead() const;
  const CString& GetTail() const;
  CString RemoveHead();
  CString RemoveTail();
  void RemoveAt(POSITION place);
  void RemoveAll();

  POSITION GetHeadPosition() const { return head_; }
  POSITION GetTailPosition() const { return tail_; }
  // Answers the value at `place` and moves `place` on (to null after the tail).
  CString& GetNext(POSITION& place) const;
  CString& GetPrev(POSITION& place) const;
  CString& GetAt(POSITION place) const;
  void SetAt(POSITION place, const CString& value);

  // The first place after `startAfter` (null: from the head) whose value equals; null when none.
  POSITION Find(const CString& value, POSITION startAfter = nullptr) const;
  // The place of the zero-based index; null when out of range.
  POSITION FindIndex(int index) const;

 private:
  POSITION Link(POSITION before, POSITION after, const CString& value);

  ListNode* head_ = nullptr;
  ListNode* tail_ = nullptr;
  int count_ = 0;
};

}  // namespace framework
