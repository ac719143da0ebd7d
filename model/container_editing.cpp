// How a container changes content over its children and reports it in one
// EditResult: typing, deleting a unit or a range across children, widening
// a range, blank lines, typing into a grid area, attributes over ranges and
// the table commands. After every change the child's height change goes
// into its recorded height, the child index goes in front of the result's
// paths and a trailing grid area is re-fitted.
#include <algorithm>
#include <string>

#include "model/container.h"
#include "model/renderer.h"
#include "model/text_navigator.h"
#include "speech/edit_feedback.h"

namespace {

constexpr int kDeleteForward = 1;
constexpr char kCarriageReturn = '\r';
constexpr char kBlank = ' ';
// The voice-mask bits that speak typed input: the character typed, and
// line feeds, form feeds and tabs.
constexpr int32_t kVoiceTypedInput = 0x1 | 0x2;

constexpr MoveParams kSetCursor{1, 0, 1};
constexpr MoveParams kKeepCursor{0, 0, 1};

// The rest of a stripped path for the child; null when nothing is left.
const CVedTextPos* RestOf(const StrippedPath& path) {
  return path.rest && !path.rest->IsEmpty() ? &*path.rest : nullptr;
}

// A container step naming a child that exists.
bool NamesChild(const CDocChildList& list, const StrippedPath& path) {
  return path.step.tag == kTagChildIndex && list.IsValid(path.step.value);
}

CVedTextPos WithChild(int32_t index, CVedTextPos path) {
  path.PrependChild(index);
  return path;
}

int32_t RecordedTotal(const CDocChildList& list) {
  int32_t total = 0;
  for (int32_t i = 0; i < list.GetCount(); ++i) total += list.GetHeightAt(i);
  return total;
}

void DestroyObject(CDocObject* object) {
  if (object == nullptr) return;
  object->Reset();
  object->Clear();
  delete object;
}

CTableOperations* TableAt(const CDocChildList& list, int32_t index) {
  if (list.GetTypeAt(index) != kObjectTable) return nullptr;
  return dynamic_cast<CTableOperations*>(list.GetAt(index));
}

// The two ends of a range in order, each split into its child and rest:
// the start defaults to child 0, the end to the last child.
struct ChildRange {
  StrippedPath start;
  StrippedPath end;
  int32_t s = 0;
  int32_t e = 0;
  bool valid = false;
};

ChildRange SplitRange(CDocObjContainer& container, const CVedTextPos* from, const CVedTextPos* to) {
  const CDocChildList& list = container.Children();
  CVedTextPos a = from != nullptr ? *from : CVedTextPos();
  CVedTextPos b = to != nullptr ? *to : CVedTextPos();
  if (!a.IsEmpty() && !b.IsEmpty()) container.OrderPositions(a, b);
  ChildRange range;
  range.start = container.PopChildIndex(a.IsEmpty() ? nullptr : &a, 0);
  range.end = container.PopChildIndex(b.IsEmpty() ? nullptr : &b, list.GetCount() - 1);
  range.s = range.start.step.value;
  range.e = range.end.step.value;
  range.valid = NamesChild(list, range.start) && NamesChild(list, range.end) && range.s <= range.e;
  return range;
}

// The finish of an edit made in one child: its height change into its
// recorded height, its index in front of the paths, the grid re-fitted.
void FinishChildEdit(CDocObjContainer& container, int32_t index, EditResult* result) {
  if (result->changed == 0) return;
  container.Children().AddHeightAt(index, result->heightDelta);
  CDocObjContainer::PrefixEditResult(result, index, index);
  container.AdjustTrailingGrid(result);
}

// Removes a child and reports it as a change of the container: the height
// change is that of every recorded height, and the ends of the range stand
// where the cursor went when the removal named no range itself.
int RemoveAndReport(CDocObjContainer& container, int32_t index, EditResult* out) {
  const int32_t before = RecordedTotal(container.Children());
  EditResult removal;
  const int answer = container.RemoveChild(index, &removal);
  if (answer <= 0) return answer;
  removal.changed = 1;
  removal.heightDelta = RecordedTotal(container.Children()) - before;
  if (removal.rangeStart.IsEmpty()) removal.rangeStart = removal.newCursor;
  if (removal.rangeEnd.IsEmpty()) removal.rangeEnd = removal.newCursor;
  *out = removal;
  return answer;
}

// A filler's change taken into the result of the edit that followed it in
// the same child.
void MergeFiller(const EditResult& filler, EditResult* result) {
  if (filler.changed == 0) return;
  if (result->changed == 0) {
    *result = filler;
    return;
  }
  result->rangeStart = filler.rangeStart;
  result->startAux = filler.startAux;
  result->heightDelta += filler.heightDelta;
}

// Attribute setters over a range. One child finishes as any edit in one
// child; over several, the first changed child gives the start of the
// range and each changed child in turn its end and cursor.
template <typename Apply>
int ApplyOverRange(CDocObjContainer& container, const CVedTextPos* from, const CVedTextPos* to,
                   EditResult* out, Apply apply) {
  EditResult result;
  const ChildRange range = SplitRange(container, from, to);
  if (!range.valid) {
    if (out != nullptr) *out = result;
    return 0;
  }
  CDocChildList& list = container.Children();
  if (range.s == range.e) {
    apply(list.GetAt(range.s), RestOf(range.start), RestOf(range.end), &result);
    FinishChildEdit(container, range.s, &result);
  } else {
    for (int32_t i = range.s; i <= range.e; ++i) {
      EditResult step;
      apply(list.GetAt(i), i == range.s ? RestOf(range.start) : nullptr,
            i == range.e ? RestOf(range.end) : nullptr, &step);
      if (step.changed == 0) continue;
      list.AddHeightAt(i, step.heightDelta);
      result.heightDelta += step.heightDelta;
      if (result.changed == 0) {
        result.rangeStart = WithChild(i, step.rangeStart);
        result.startAux = WithChild(i, step.startAux);
      }
      result.rangeEnd = WithChild(i, step.rangeEnd);
      result.newCursor = WithChild(i, step.newCursor);
      result.endAux = WithChild(i, step.endAux);
      result.changed = 1;
    }
    if (result.changed != 0) container.AdjustTrailingGrid(&result);
  }
  if (out != nullptr) *out = result;
  return result.changed;
}

// Attribute readers over a range: the first child fills the record, and
// every later child's answer clears the mask bits of the fields in which
// it differs.
template <typename Record, typename Read>
int ReadOverRange(CDocObjContainer& container, Record* out, const CVedTextPos* from,
                  const CVedTextPos* to, Read read) {
  if (out == nullptr) return 0;
  const ChildRange range = SplitRange(container, from, to);
  if (!range.valid) return 0;
  const CDocChildList& list = container.Children();
  if (range.s == range.e) {
    return read(list.GetAt(range.s), out, RestOf(range.start), RestOf(range.end));
  }
  const int answer = read(list.GetAt(range.s), out, RestOf(range.start), nullptr);
  if (answer == 0) return 0;
  for (int32_t i = range.s + 1; i <= range.e; ++i) {
    Record other{};
    other.mask = out->mask;
    if (read(list.GetAt(i), &other, nullptr, i == range.e ? RestOf(range.end) : nullptr) != 0) {
      NarrowCommon(*out, other);
    }
  }
  return answer;
}

bool IsReplaying(const CDocObjContainer& c) {
  return c.Renderer() != nullptr && c.Renderer()->GetUndoReplay() != 0;
}

// An open end (null) is the table's own edge.
bool OnTableGridOrEdge(CDocObject& table, const CVedTextPos* pos) {
  ObjectDescription kind{};
  return pos == nullptr ||
         (table.GetKindAt(pos, &kind) != 0 && kind[kDescSubKind] != kSubKindCellText);
}

// A range of a child, deleted by the child. While an undo or redo is
// replayed, a table's range from rule to rule (or to the table's edge) is
// rows, columns or a whole table that an insertion put in: taking it back
// takes them away, not only what their cells hold.
void DeleteInChild(CDocObjContainer& c, int32_t index, const CVedTextPos* from,
                   const CVedTextPos* to, EditResult* result) {
  CDocObject* child = c.Children().GetAt(index);
  CTableOperations* table = TableAt(c.Children(), index);
  if (table != nullptr && IsReplaying(c) && OnTableGridOrEdge(*child, from) &&
      OnTableGridOrEdge(*child, to)) {
    table->DeleteRowsOrColumns(from, to, result);
    return;
  }
  child->DeleteRange(from, to, result);
}

// A range inside one child. An emptied child goes when the range reached
// its end (or it is no text), unless the start is to be kept.
void DeleteInOneChild(CDocObjContainer& c, int32_t index, const CVedTextPos* from,
                      const CVedTextPos* to, bool keepStart, EditResult* result) {
  CDocChildList& list = c.Children();
  CDocObject* child = list.GetAt(index);
  const bool text = list.GetTypeAt(index) == kObjectText;
  // Whether the range reaches the child's end, asked before the child
  // changes.
  const CVedTextPos end = to != nullptr ? WithChild(index, *to) : CVedTextPos();
  const bool throughEnd = to == nullptr || c.IsAtChildEnd(&end, 1) != 0;
  if (child->IsEmpty() != 0) {
    result->changed = 1;
  } else {
    DeleteInChild(c, index, from, to, result);
    if (result->changed == 0) return;
    if (text || child->IsEmpty() == 0) list.AddHeightAt(index, result->heightDelta);
  }
  if (child->IsEmpty() != 0 && (!text || throughEnd) && !keepStart) {
    EditResult removal;
    if (RemoveAndReport(c, index, &removal) > 0) {
      *result = removal;
      return;
    }
  }
  CDocObjContainer::PrefixEditResult(result, index, index);
}

// The empty child at which the walk over a deleted range stopped: merged
// into the text before it when it is the last text, else removed by the
// list's rules, which merge the texts around it.
void EndDeletionWalk(CDocObjContainer& c, int32_t g, bool replay, EditResult* result) {
  CDocChildList& list = c.Children();
  const bool text = list.GetTypeAt(g) == kObjectText;
  if (replay && text && list.GetTypeAt(g - 1) != kObjectText && list.IsValid(g - 1) &&
      list.IsValid(g + 1) && list.GetTypeAt(g + 1) != kObjectText) {
    return;
  }
  if (c.IsLastTextChild(g) && list.GetCount() > 1 && list.GetTypeAt(g - 1) == kObjectText) {
    CDocObject* before = list.GetAt(g - 1);
    EditResult merge;
    if (before->MergeFrom(list.GetAt(g), 1, &merge) != 0) {
      list.SetCursor(g - 1);
      list.AddHeightAt(g - 1, merge.heightDelta);
      c.RemoveChildAt(g, false);
      return;
    }
  }
  const int32_t count = list.GetCount();
  EditResult removal;
  const int answer = c.RemoveChild(g, &removal);
  if (answer <= 0) return;
  const bool merged = list.GetCount() < count - 1;
  const CVedTextPos& end = removal.rangeEnd.IsEmpty() ? removal.newCursor : removal.rangeEnd;
  result->rangeEnd = end;
  result->newCursor = removal.newCursor;
  if (result->rangeStart.IsEmpty() || answer == kChildEmptied || merged) {
    result->rangeStart = removal.rangeStart.IsEmpty() ? removal.newCursor : removal.rangeStart;
  }
}

// A range over several children: the two ends deleted, the children
// between emptied, then every emptied child walked and removed.
void DeleteAcrossChildren(CDocObjContainer& c, int32_t s, int32_t e, const CVedTextPos* from,
                          const CVedTextPos* to, bool keepStart, EditResult* result) {
  CDocChildList& list = c.Children();
  EditResult first;
  DeleteInChild(c, s, from, nullptr, &first);
  list.AddHeightAt(s, first.changed != 0 ? first.heightDelta : 0);
  EditResult last;
  DeleteInChild(c, e, nullptr, to, &last);
  list.AddHeightAt(e, last.changed != 0 ? last.heightDelta : 0);
  for (int32_t i = s + 1; i < e; ++i) {
    CDocObject* child = list.GetAt(i);
    child->Reset();
    ChildEntry entry = list.GetEntryAt(i);
    entry.height = child->GetHeight(nullptr, nullptr);
    list.SetAt(i, entry);
  }
  result->changed = first.changed != 0 || last.changed != 0 || e > s + 1 ? 1 : 0;
  if (list.GetAt(s)->IsEmpty() == 0) result->rangeStart = WithChild(s, first.rangeStart);
  if (result->changed == 0) return;

  const bool replay = IsReplaying(c);
  int32_t g = s;
  int32_t stopped = -1;
  bool startGone = false;
  while (g <= e) {
    list.SetCursor(g);
    CDocObject* child = list.GetAt(g);
    const bool atStart = g == s && !startGone;
    if (child->IsEmpty() == 0 || (atStart && keepStart)) {
      ++g;
      continue;
    }
    // The last text child and a grid area are never removed on the way:
    // the walk ends at them, where the list's own rules apply.
    if (g == e || list.GetAt(g + 1)->IsEmpty() == 0 || c.IsLastTextChild(g) ||
        list.GetTypeAt(g) == kObjectGridArea) {
      stopped = g;
      break;
    }
    if (atStart && replay && list.GetTypeAt(g) == kObjectText) {
      const bool endEmpty = list.GetAt(e)->IsEmpty() != 0;
      if (endEmpty && list.GetTypeAt(e + 1) == kObjectText) {
        if (c.RemoveChildAt(g, false) == kChildRemoved) {
          startGone = true;
          --e;
          continue;
        }
      } else if (result->rangeStart.IsEmpty()) {
        CVedTextPos start;
        if (c.MoveInCursorChild(kMoveDocumentStart, nullptr, &start) == kMoveDone) {
          result->rangeStart = WithChild(g, start);
        }
      }
      ++g;
      continue;
    }
    if (c.RemoveChildAt(g, false) == kChildRemoved) {
      startGone = startGone || atStart;
      --e;
    } else {
      ++g;
    }
  }
  if (stopped >= 0) EndDeletionWalk(c, stopped, replay, result);
}

// A blank line before a table whose cursor is on its first line: at the
// end of the text before it, or as a new text child.
int InsertLineBeforeTable(CDocObjContainer& c, EditResult* result) {
  CDocChildList& list = c.Children();
  const int32_t table = list.GetCursorIndex();
  if (list.GetTypeAt(table - 1) == kObjectText) {
    list.SetCursor(table - 1);
    list.GetCurrent()->MoveCursor(kMoveDocumentEnd, &kSetCursor, nullptr, nullptr);
    const std::string line(1, kCarriageReturn);
    return c.InsertSilently(line, result);
  }
  CDocObject* text = c.CreateChildObject(kObjectText);
  if (text == nullptr) return 0;
  // Recorded at 0: the finish adds the new child's height.
  list.InsertAt(table, ChildEntry{text, kObjectText, 0, {}});
  list.SetCursor(table);
  CVedTextPos cursor;
  text->GetCursor(&cursor);
  result->changed = 1;
  result->rangeStart = result->rangeEnd = result->newCursor = cursor;
  result->heightDelta = text->GetHeight(nullptr, nullptr);
  return 1;
}

// A blank line in text: above the cursor line when that is the first line
// or the line above has no indent, else before the cursor line's text.
int InsertBlankLineInText(CDocObjContainer& c, EditResult* result) {
  CDocChildList& list = c.Children();
  CDocObject* child = list.GetCurrent();
  std::string line(1, kCarriageReturn);
  bool above = c.IsCursorOnFirstLine() != 0;
  if (!above) {
    CVedTextPos up;
    child->MoveCursor(kMoveLineUp, &kKeepCursor, nullptr, &up);
    ParaFormat paragraph;
    paragraph.mask = kMaskEveryField;
    child->GetParaFormat(&paragraph, &up, &up);
    above = paragraph.firstIndent == 0 && paragraph.leftIndent == 0 && paragraph.rightIndent == 0;
    LineMetrics metrics;
    child->GetLineMetrics(&metrics, &up);
    if (metrics.endKind == kLineEndNone) line += kCarriageReturn;
  }
  child->MoveCursor(kMoveLineStart, &kSetCursor, nullptr, nullptr);
  DocObjOptions own;
  child->GetOptions(&own);
  if (above) {
    DocObjOptions placing = own;
    placing.flag = 0;
    child->SetOptions(&placing);
  }
  const int changed = c.InsertSilently(line, result);
  if (changed != 0 && above) {
    child->MoveCursor(kMoveLineUp, &kSetCursor, nullptr, nullptr);
    child->MoveCursor(kMoveLineStart, &kSetCursor, nullptr, &result->newCursor);
  }
  child->SetOptions(&own);
  return changed;
}

}  // namespace

// ---- Typing and deleting a unit ----

int CDocObjContainer::InsertSilently(std::string_view text, EditResult* out) {
  CDocObject* child = children_.GetCurrent();
  if (child == nullptr || out == nullptr) return 0;
  DocObjOptions saved;
  child->GetOptions(&saved);
  DocObjOptions inserting = saved;
  inserting.insertMode = 1;
  child->SetOptions(&inserting);
  SpeechOptions speech;
  if (feedback_ != nullptr) {
    feedback_->GetSpeechOptions(speech);
    SpeechOptions quiet = speech;
    quiet.voiceMask &= ~kVoiceTypedInput;
    feedback_->SetSpeechOptions(quiet);
  }
  const int changed = child->InsertText(text, out);
  child->SetOptions(&saved);
  if (feedback_ != nullptr) feedback_->SetSpeechOptions(speech);
  return changed;
}

int CDocObjContainer::FillGrid(bool fillColumns, EditResult* out) {
  const int32_t grid = children_.GetCursorIndex();
  CDocObject* area = children_.GetCurrent();
  if (out == nullptr || area == nullptr || children_.GetTypeAt(grid) != kObjectGridArea ||
      children_.GetTypeAt(grid - 1) != kObjectText) {
    return 0;
  }
  int32_t line = 0;
  int32_t column = 0;
  area->GetLineColumn(&line, &column, nullptr, nullptr);
  children_.PrevEntry();
  children_.GetCurrent()->MoveCursor(kMoveDocumentEnd, &kSetCursor, nullptr, nullptr);
  std::string filler(std::max(line, 0), kCarriageReturn);
  if (fillColumns && column > 1) filler.append(column - 1, kBlank);
  if (filler.empty()) return 0;
  return InsertSilently(filler, out);
}

int CDocObjContainer::InsertText(std::string_view text, EditResult* out) {
  EditResult result;
  CDocObject* child = children_.GetCurrent();
  if (child == nullptr) {
    if (out != nullptr) *out = result;
    return 0;
  }
  const bool lineBreak = text == std::string_view(&kCarriageReturn, 1);
  if (children_.GetCurrentType() == kObjectTable && lineBreak && child->IsFirstLine(nullptr) != 0) {
    InsertLineBeforeTable(*this, &result);
    FinishChildEdit(*this, children_.GetCursorIndex(), &result);
    if (out != nullptr) *out = result;
    return result.changed;
  }
  EditResult filler;
  if (children_.GetCurrentType() == kObjectGridArea) FillGrid(!lineBreak, &filler);
  children_.GetCurrent()->InsertText(text, &result);
  // Filler that went in stays reported even when the text itself did not.
  MergeFiller(filler, &result);
  FinishChildEdit(*this, children_.GetCursorIndex(), &result);
  if (out != nullptr) *out = result;
  return result.changed;
}

int CDocObjContainer::DeleteChar(int kind, EditResult* out) {
  EditResult result;
  CDocObject* child = children_.GetCurrent();
  if (child != nullptr) {
    if (kind == kDeleteForward && child->IsEmpty() != 0) {
      if (RemoveAndReport(*this, children_.GetCursorIndex(), &result) > 0) {
        AdjustTrailingGrid(&result);
      }
    } else {
      child->DeleteChar(kind, &result);
      FinishChildEdit(*this, children_.GetCursorIndex(), &result);
    }
  }
  if (out != nullptr) *out = result;
  return result.changed;
}

// ---- Deleting a range ----

int CDocObjContainer::DeleteRange(const CVedTextPos* from, const CVedTextPos* to, EditResult* out) {
  EditResult result;
  const ChildRange range = SplitRange(*this, from, to);
  if (!range.valid) {
    if (out != nullptr) *out = result;
    return 0;
  }
  const int32_t before = RecordedTotal(children_);
  children_.SetCursor(range.s);
  if (range.s == range.e) {
    DeleteInOneChild(*this, range.s, RestOf(range.start), RestOf(range.end), keepEmptiedStart_ != 0,
                     &result);
  } else {
    DeleteAcrossChildren(*this, range.s, range.e, RestOf(range.start), RestOf(range.end),
                         keepEmptiedStart_ != 0, &result);
    // Whole children go with such a range, unread: any of them may have
    // held a page break.
    result.pageBreakChanged = result.changed;
  }
  if (result.rangeStart.IsEmpty()) {
    CVedTextPos start;
    if (MoveInCursorChild(kMoveDocumentStart, nullptr, &start) == kMoveDone) {
      result.rangeStart = WithChild(children_.GetCursorIndex(), start);
    }
  }
  if (result.newCursor.IsEmpty()) GetCursor(&result.newCursor);
  // A range always ends somewhere: where the cursor came to rest.
  if (result.rangeEnd.IsEmpty()) result.rangeEnd = result.newCursor;
  if (result.changed != 0) {
    // Children emptied and removed count as well as what each child said.
    result.heightDelta = RecordedTotal(children_) - before;
    AdjustTrailingGrid(&result);
  }
  if (out != nullptr) *out = result;
  return result.changed;
}

int CDocObjContainer::AdjustRange(const CVedTextRange* in, CVedTextRange* out) {
  if (in == nullptr || out == nullptr) return 0;
  const int32_t last = children_.GetCount() - 1;
  const StrippedPath start = PopChildIndex(&in->start, last);
  const StrippedPath end = PopChildIndex(&in->end, 0);
  if (!NamesChild(children_, start) || !NamesChild(children_, end)) return 0;
  const int32_t s = start.step.value;
  const int32_t e = end.step.value;
  CVedTextRange adjusted;
  int answer = 1;
  if (s == e) {
    if (s == last) {
      adjusted.start = start.rest.value_or(CVedTextPos());
      adjusted.end = end.rest.value_or(CVedTextPos());
    } else {
      CVedTextRange inner{start.rest.value_or(CVedTextPos()), end.rest.value_or(CVedTextPos())};
      answer = children_.GetAt(s)->AdjustRange(&inner, &adjusted);
    }
  } else {
    CVedTextRange endOnly{CVedTextPos(), end.rest.value_or(CVedTextPos())};
    CVedTextRange endAnswer;
    answer = children_.GetAt(e)->AdjustRange(&endOnly, &endAnswer);
    adjusted.end = endAnswer.end;
    adjusted.start = start.rest.value_or(CVedTextPos());
    if (answer != 0 && s != last) {
      CVedTextRange startOnly{start.rest.value_or(CVedTextPos()), CVedTextPos()};
      CVedTextRange startAnswer;
      answer = children_.GetAt(s)->AdjustRange(&startOnly, &startAnswer);
      adjusted.start = startAnswer.start;
    }
  }
  if (answer == 0) return 0;
  out->start = WithChild(s, adjusted.start);
  out->end = WithChild(e, adjusted.end);
  return answer;
}

// ---- Blank lines ----

int CDocObjContainer::InsertBlankLine(EditResult* out) {
  EditResult result;
  EditResult filler;
  if (children_.GetCurrentType() == kObjectGridArea) FillGrid(false, &filler);
  CDocObject* child = children_.GetCurrent();
  if (child == nullptr) {
    if (out != nullptr) *out = result;
    return 0;
  }
  CVedTextPos saved;
  child->GetCursor(&saved);
  const int32_t savedIndex = children_.GetCursorIndex();
  ObjectDescription kind{};
  GetKindAt(nullptr, &kind);
  int changed = 0;
  if (kind[kDescType] == kObjectText || InCellText(kind)) {
    changed = InsertBlankLineInText(*this, &result);
  } else if (kind[0] == kObjectTable && child->IsFirstLine(nullptr) != 0) {
    changed = InsertLineBeforeTable(*this, &result);
  }
  if (changed == 0) {
    children_.SetCursor(savedIndex);
    child->SetCursor(&saved);
  }
  MergeFiller(filler, &result);
  FinishChildEdit(*this, children_.GetCursorIndex(), &result);
  if (out != nullptr) *out = result;
  return result.changed;
}

// ---- Attributes over a range ----

int CDocObjContainer::SetCharFont(const CharFormat* format, const CVedTextPos* from,
                                  const CVedTextPos* to, EditResult* out) {
  if (format == nullptr) return 0;
  return ApplyOverRange(*this, from, to, out,
                        [&](CDocObject* child, const CVedTextPos* a, const CVedTextPos* b,
                            EditResult* r) { return child->SetCharFont(format, a, b, r); });
}

int CDocObjContainer::SetCharDecoration(const CharDecoration* decoration, const CVedTextPos* from,
                                        const CVedTextPos* to, EditResult* out) {
  if (decoration == nullptr) return 0;
  return ApplyOverRange(
      *this, from, to, out,
      [&](CDocObject* child, const CVedTextPos* a, const CVedTextPos* b, EditResult* r) {
        return child->SetCharDecoration(decoration, a, b, r);
      });
}

int CDocObjContainer::SetCharDesign(const CharDesign* design, const CVedTextPos* from,
                                    const CVedTextPos* to, EditResult* out) {
  if (design == nullptr) return 0;
  return ApplyOverRange(*this, from, to, out,
                        [&](CDocObject* child, const CVedTextPos* a, const CVedTextPos* b,
                            EditResult* r) { return child->SetCharDesign(design, a, b, r); });
}

int CDocObjContainer::SetParaFormat(const ParaFormat* format, const CVedTextPos* from,
                                    const CVedTextPos* to, EditResult* out) {
  if (format == nullptr) return 0;
  return ApplyOverRange(*this, from, to, out,
                        [&](CDocObject* child, const CVedTextPos* a, const CVedTextPos* b,
                            EditResult* r) { return child->SetParaFormat(format, a, b, r); });
}

int CDocObjContainer::GetCharFont(CharFormat* out, const CVedTextPos* from, const CVedTextPos* to) {
  return ReadOverRange(*this, out, from, to,
                       [](CDocObject* child, CharFormat* r, const CVedTextPos* a,
                          const CVedTextPos* b) { return child->GetCharFont(r, a, b); });
}

int CDocObjContainer::GetCharDecoration(CharDecoration* out, const CVedTextPos* from,
                                        const CVedTextPos* to) {
  return ReadOverRange(*this, out, from, to,
                       [](CDocObject* child, CharDecoration* r, const CVedTextPos* a,
                          const CVedTextPos* b) { return child->GetCharDecoration(r, a, b); });
}

int CDocObjContainer::GetCharDesign(CharDesign* out, const CVedTextPos* from,
                                    const CVedTextPos* to) {
  return ReadOverRange(*this, out, from, to,
                       [](CDocObject* child, CharDesign* r, const CVedTextPos* a,
                          const CVedTextPos* b) { return child->GetCharDesign(r, a, b); });
}

int CDocObjContainer::GetParaFormat(ParaFormat* out, const CVedTextPos* from,
                                    const CVedTextPos* to) {
  return ReadOverRange(*this, out, from, to,
                       [](CDocObject* child, ParaFormat* r, const CVedTextPos* a,
                          const CVedTextPos* b) { return child->GetParaFormat(r, a, b); });
}

int CDocObjContainer::ApplyFontValue(int32_t value, const CVedTextPos* from,
                                     const CVedTextPos* to) {
  const ChildRange range = SplitRange(*this, from, to);
  if (!range.valid) return 0;
  for (int32_t i = range.s; i <= range.e; ++i) {
    const int answer =
        children_.GetAt(i)->ApplyFontValue(value, i == range.s ? RestOf(range.start) : nullptr,
                                           i == range.e ? RestOf(range.end) : nullptr);
    if (answer != 0) return answer;
  }
  return 0;
}

int CDocObjContainer::GetCursorFormat(int flag, CharFormat* out) {
  const int32_t index = children_.GetCursorIndex();
  CDocObject* child = children_.GetCurrent();
  if (child == nullptr) return 0;
  if (children_.GetCurrentType() != kObjectGridArea || index < 1) {
    return child->GetCursorFormat(flag, out);
  }
  // A grid area has no format of its own: the text before it answers at
  // its end.
  CDocObject* before = children_.GetAt(index - 1);
  CVedTextPos saved;
  before->GetCursor(&saved);
  before->MoveCursor(kMoveDocumentEnd, &kSetCursor, nullptr, nullptr);
  const int answer = before->GetCursorFormat(flag, out);
  before->SetCursor(&saved);
  return answer;
}

// ---- Table commands ----

int CDocObjContainer::InsertTable(int32_t rows, int32_t columns, EditResult* out) {
  EditResult result;
  if (children_.GetCurrentType() != kObjectTable) {
    CDocObject* object = CreateChildObject(kObjectTable);
    auto* table = dynamic_cast<CTableOperations*>(object);
    TableLayout layout;
    layout.verticalRuleWidth = pageFormat_.charPitch;
    layout.horizontalRuleHeight = pageFormat_.linePitch / 2;
    EditResult built;
    CVedTextPos split;
    if (table != nullptr && table->Create(rows, columns, pageFormat_.textWidth, layout, &built) &&
        InsertChildAtCursor(ChildEntry{object, kObjectTable, built.heightDelta, {}}, &split) != 0) {
      const int32_t index = children_.GetCursorIndex();
      result = built;
      PrefixEditResult(&result, index, index);
      if (!split.IsEmpty()) result.rangeStart = WithChild(index - 1, split);
      AdjustTrailingGrid(&result);
    } else {
      DestroyObject(object);
      result = EditResult();
    }
  }
  if (out != nullptr) *out = result;
  return result.changed;
}

int CDocObjContainer::EditTableRowsColumns(int kind, EditResult* out, int32_t value) {
  EditResult result;
  const int32_t index = children_.GetCursorIndex();
  CTableOperations* table = TableAt(children_, index);
  if (table != nullptr) {
    switch (kind) {
      case 1:
        table->SetColumnWidth(nullptr, value, &result);
        break;
      case 2:
        table->InsertColumn(nullptr, &result);
        break;
      case 3:
        table->InsertRow(nullptr, &result);
        break;
      case 4:
        table->DeleteColumn(nullptr, &result);
        break;
      case 5:
        table->DeleteRow(nullptr, &result);
        break;
      default:
        break;
    }
  }
  if (result.changed != 0) {
    if (children_.GetAt(index)->IsEmpty() != 0 && RemoveAndReport(*this, index, &result) > 0) {
      AdjustTrailingGrid(&result);
    } else {
      FinishChildEdit(*this, index, &result);
    }
  }
  if (out != nullptr) *out = result;
  return result.changed;
}

int CDocObjContainer::DeleteTable(EditResult* out) {
  EditResult result;
  const int32_t index = children_.GetCursorIndex();
  if (children_.GetTypeAt(index) == kObjectTable && RemoveAndReport(*this, index, &result) > 0) {
    result.startAux = CVedTextPos();
    result.endAux = CVedTextPos();
    AdjustTrailingGrid(&result);
  }
  if (out != nullptr) *out = result;
  return result.changed;
}

int CDocObjContainer::SetColumnWidth(const TableLayout* layout, EditResult* out) {
  EditResult result;
  const int32_t index = children_.GetCursorIndex();
  CTableOperations* table = TableAt(children_, index);
  if (table != nullptr && layout != nullptr) {
    table->SetTableLayout(*layout, &result);
    FinishChildEdit(*this, index, &result);
  }
  if (out != nullptr) *out = result;
  return result.changed;
}

int CDocObjContainer::HasTallTableLine(const CVedTextPos* from, const CVedTextPos* to,
                                       int32_t height) {
  const ChildRange range = SplitRange(*this, from, to);
  if (!range.valid) return 0;
  for (int32_t i = range.s; i <= range.e; ++i) {
    if (children_.GetTypeAt(i) != kObjectTable) continue;
    CDocObject* table = children_.GetAt(i);
    const CVedTextPos* start = i == range.s ? RestOf(range.start) : nullptr;
    const CVedTextPos* end = i == range.e ? RestOf(range.end) : nullptr;
    CVedTextPos line;
    if (start != nullptr) {
      line = *start;
    } else if (table->StepPageLine(nullptr, kLinePrevious, &line) == 0) {
      continue;
    }
    while (end == nullptr || table->ComparePositions(&line, end) <= kCompareEqual) {
      LineMetrics metrics;
      table->GetPageLineMetrics(&metrics, &line);
      if (metrics.height > height) return 1;
      CVedTextPos next;
      if (table->StepPageLine(&line, kLineNext, &next) == 0 || next == line) break;
      line = next;
    }
  }
  return 0;
}

int CDocObjContainer::GetTableCellAt(const CVedTextPos* pos, int32_t* row, int32_t* column) {
  const StrippedPath p = PopChildIndex(pos, children_.GetCursorIndex());
  CTableOperations* table = NamesChild(children_, p) ? TableAt(children_, p.step.value) : nullptr;
  return table != nullptr ? table->GetCellAt(RestOf(p), row, column) : 0;
}

int CDocObjContainer::GetTableLineOffsetAt(const CVedTextPos* pos, int32_t out[2]) {
  const StrippedPath p = PopChildIndex(pos, children_.GetCursorIndex());
  CTableOperations* table = NamesChild(children_, p) ? TableAt(children_, p.step.value) : nullptr;
  return table != nullptr ? table->GetLineOffsetAt(RestOf(p), out) : 0;
}

int CDocObjContainer::IsRangeInOneText(const CVedTextPos* from, const CVedTextPos* to) {
  const ChildRange range = SplitRange(*this, from, to);
  if (!range.valid || range.s != range.e) return 0;
  const int32_t type = children_.GetTypeAt(range.s);
  if (type == kObjectText || type == kObjectGridArea) return 1;
  CTableOperations* table = TableAt(children_, range.s);
  if (table == nullptr) return 0;
  CDocObject* child = children_.GetAt(range.s);
  const CVedTextPos* ends[] = {RestOf(range.start), RestOf(range.end)};
  int32_t cell[2][2] = {};
  for (int k = 0; k < 2; ++k) {
    if (table->GetCellAt(ends[k], &cell[k][0], &cell[k][1]) == 0) return 0;
    ObjectDescription kind{};
    child->GetKindAt(ends[k], &kind);
    // A table reports the cell's own kind after its own two entries.
    if (kind[kDescSubKind] != kSubKindCellText || kind[2] != kObjectText) return 0;
  }
  return cell[0][0] == cell[1][0] && cell[0][1] == cell[1][1] ? 1 : 0;
}
