#include "model/container.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <utility>

#include "model/grid_area.h"
#include "model/table_object.h"
#include "model/text_object.h"
#include "platform/texts.h"

// ---- Child list ----

void CDocChildList::Bind(CDocObjContainer* owner) {
  owner_ = owner;
  Clear();
}

CDocObject* CDocChildList::GetAt(int32_t index) const {
  return IsValid(index) ? entries_[index].object : nullptr;
}

int32_t CDocChildList::GetTypeAt(int32_t index) const {
  return IsValid(index) ? entries_[index].type : 0;
}

int32_t CDocChildList::GetHeightAt(int32_t index) const {
  return IsValid(index) ? entries_[index].height : 0;
}

ChildEntry CDocChildList::GetEntryAt(int32_t index) const {
  return IsValid(index) ? entries_[index] : ChildEntry{};
}

ChildEntry CDocChildList::PrevEntry() {
  if (cursor_ > 0) --cursor_;
  return GetCurrentEntry();
}

ChildEntry CDocChildList::NextEntry() {
  if (cursor_ + 1 < GetCount()) ++cursor_;
  return GetCurrentEntry();
}

void CDocChildList::Append(const ChildEntry& entry) {
  entries_.push_back(entry);
  cursor_ = GetCount() - 1;
}

void CDocChildList::InsertAt(int32_t index, const ChildEntry& entry) {
  index = std::clamp(index, 0, GetCount());
  entries_.insert(entries_.begin() + index, entry);
}

void CDocChildList::Insert(const ChildEntry& entry, bool after) {
  if (!after) {
    const int32_t at = std::max(cursor_, 0);
    InsertAt(at, entry);
    cursor_ = at;
    return;
  }
  if (cursor_ + 1 >= GetCount()) {
    Append(entry);
    return;
  }
  InsertAt(cursor_ + 1, entry);
  ++cursor_;
}

void CDocChildList::RemoveAt(int32_t index) {
  if (!IsValid(index)) return;
  entries_.erase(entries_.begin() + index);
  if (index < cursor_) --cursor_;
  if (cursor_ >= GetCount()) cursor_ = GetCount() - 1;
}

void CDocChildList::SetAt(int32_t index, const ChildEntry& entry) {
  if (IsValid(index)) entries_[index] = entry;
}

void CDocChildList::AddHeightAt(int32_t index, int32_t amount) {
  if (!IsValid(index)) return;
  entries_[index].height = std::max(entries_[index].height + amount, 0);
}

void CDocChildList::AddHeightToCurrent(int32_t amount) {
  if (amount != 0) AddHeightAt(cursor_, amount);
}

void CDocChildList::Clear() {
  entries_.clear();
  cursor_ = kNoCursor;
}

void CDocChildList::Swap(CDocChildList& other) {
  entries_.swap(other.entries_);
  std::swap(cursor_, other.cursor_);
}

namespace {

// Every child reset first, then cleared and deleted from the front; 0
// when one refused to clear.
int DestroyChildren(CDocChildList& children) {
  for (int32_t i = 0; i < children.GetCount(); ++i) children.GetAt(i)->Reset();
  int result = 1;
  while (children.GetCount() > 0) {
    children.SetCursor(0);
    CDocObject* child = children.GetAt(0);
    if (child->Clear() == 0) result = 0;
    delete child;
    children.RemoveAt(0);
  }
  return result;
}

}  // namespace

CKeptChildren::~CKeptChildren() { DestroyChildren(list_); }

// ---- Container life ----

CDocObjContainer::CDocObjContainer() {
  pageFormat_.referenceDC = nullptr;
  pageFormat_.textWidth = 0;
  pageFormat_.textHeight = 0;
  pageFormat_.cellFlag = 0;
  std::strcpy(charFormat_.face, platform::kFaceMsMincho);
  charFormat_.size = CTextFormatDefaults::kDefaultSize;
  charFormat_.heightScale = 100;
  charFormat_.widthScale = 100;
  charFormat_.mask = kMaskEveryField;
}

CDocObjContainer::~CDocObjContainer() {
  // An owner clears the container first; what is left is freed here so
  // that nothing leaks when it did not.
  for (int32_t i = 0; i < children_.GetCount(); ++i) delete children_.GetAt(i);
}

int CDocObjContainer::Initialize(CDocRenderer* renderer, CEditFeedback* feedback) {
  renderer_ = renderer;
  feedback_ = feedback;
  children_.Bind(this);
  return 1;
}

bool CDocObjContainer::DestroyChild(CDocObject* child) {
  if (child->Reset() == 0 || child->Clear() == 0) return false;
  delete child;
  return true;
}

int CDocObjContainer::ClearChildren() {
  if (keeper_ != nullptr) {
    children_.Swap(keeper_->list_);
    // The pages anchored in the kept children go with the next layout.
    for (int32_t i = 0; i < keeper_->list_.GetCount(); ++i) {
      if (auto* table = dynamic_cast<CTableObject*>(keeper_->list_.GetAt(i))) {
        table->ReleaseLineAnchors();
      }
    }
    keeper_ = nullptr;
    return 1;
  }
  return DestroyChildren(children_);
}

int CDocObjContainer::TakeBackChildren(CKeptChildren& kept) {
  if (keeper_ == &kept) keeper_ = nullptr;
  if (kept.IsEmpty()) return 0;
  const int result = DestroyChildren(children_);
  children_.Swap(kept.list_);
  return result;
}

int CDocObjContainer::Clear() {
  const int result = ClearChildren();
  children_.Clear();
  return result;
}

int CDocObjContainer::SetPageFormat(const PageFormat* format) {
  if (format == nullptr) return 0;
  const int result = ClearChildren();
  if (result != 0) {
    pageFormat_ = *format;
    AddEmptyText(false);
  }
  return result;
}

int CDocObjContainer::Reset() {
  const int result = ClearChildren();
  if (result != 0) AddEmptyText(false);
  return result;
}

int CDocObjContainer::CheckPageFormat(const PageFormat* format) {
  for (int32_t i = 0; i < children_.GetCount(); ++i) {
    const int answer = children_.GetAt(i)->CheckPageFormat(format);
    if (answer != kFormatFits) return answer;
  }
  return kFormatFits;
}

int32_t CDocObjContainer::WholeHeight(CDocObject* child) {
  return child->GetHeight(nullptr, nullptr);
}

void CDocObjContainer::PlaceGridUnder(int32_t gridIndex) {
  if (gridIndex < 1) return;
  auto* grid = dynamic_cast<CGridAreaObject*>(children_.GetAt(gridIndex));
  CDocObject* above = children_.GetAt(gridIndex - 1);
  if (grid == nullptr || above == nullptr) return;
  platform::RECT rect;
  above->GetPositionRect(&rect, 0, nullptr, nullptr);
  grid->SetPreviousRect(rect.left, rect.top, rect.right, rect.bottom);
}

int CDocObjContainer::ApplyPageFormat(const PageFormat* format) {
  if (format == nullptr) return 0;
  pageFormat_ = *format;
  int answer = 1;
  for (int32_t i = 0; i < children_.GetCount(); ++i) {
    CDocObject* child = children_.GetAt(i);
    const bool grid = children_.GetTypeAt(i) == kObjectGridArea;
    PageFormat copy = pageFormat_;
    if (grid) copy.textHeight = GetRemainingHeight();
    answer = child->ApplyPageFormat(&copy);
    if (answer == 0) return 0;
    if (grid) PlaceGridUnder(i);
    ChildEntry entry = children_.GetEntryAt(i);
    entry.height = grid ? copy.textHeight : WholeHeight(child);
    children_.SetAt(i, entry);
  }
  return answer;
}

int CDocObjContainer::GetPageFormat(PageFormat* out) {
  if (out == nullptr) return 0;
  *out = pageFormat_;
  return 1;
}

int CDocObjContainer::SetReferenceDC(platform::HDC dc) {
  pageFormat_.referenceDC = dc;
  int answer = 1;
  for (int32_t i = 0; i < children_.GetCount(); ++i) {
    answer = children_.GetAt(i)->SetReferenceDC(dc);
  }
  return answer;
}

int CDocObjContainer::SetOptions(const DocObjOptions* options) {
  if (options == nullptr) return 0;
  options_ = *options;
  int answer = 1;
  for (int32_t i = 0; i < children_.GetCount(); ++i) {
    DocObjOptions copy = options_;
    if (children_.GetTypeAt(i) == kObjectTable) copy.freeCursor = 1;
    answer = children_.GetAt(i)->SetOptions(&copy);
  }
  return answer;
}

DocObjOptions* CDocObjContainer::GetOptions(DocObjOptions* out) {
  if (out != nullptr) *out = options_;
  return out;
}

int CDocObjContainer::SetCharFormat(const CharFormat* format) {
  if (format == nullptr) return 0;
  const int32_t m = format->mask;
  if ((m & kMaskFace) != 0) std::memcpy(charFormat_.face, format->face, sizeof charFormat_.face);
  if ((m & kMaskSize) != 0) charFormat_.size = format->size;
  if ((m & kMaskColor) != 0) charFormat_.color = format->color;
  if ((m & kMaskBold) != 0) charFormat_.bold = format->bold;
  if ((m & kMaskItalic) != 0) charFormat_.italic = format->italic;
  if ((m & kMaskHeightScale) != 0) charFormat_.heightScale = format->heightScale;
  if ((m & kMaskWidthScale) != 0) charFormat_.widthScale = format->widthScale;
  if ((static_cast<uint32_t>(m) & ~0x7Fu) != 0) charFormat_.placement = format->placement;
  int answer = 1;
  for (int32_t i = 0; i < children_.GetCount(); ++i) {
    answer = children_.GetAt(i)->SetCharFormat(format);
  }
  return answer;
}

int CDocObjContainer::GetCharFormat(CharFormat* out) {
  if (out == nullptr) return 0;
  *out = charFormat_;
  return 1;
}

int CDocObjContainer::IsEmpty() {
  for (int32_t i = 0; i < children_.GetCount(); ++i) {
    if (children_.GetAt(i)->IsEmpty() == 0) return 0;
  }
  return 1;
}

int32_t CDocObjContainer::CountChars() {
  int32_t count = 0;
  for (int32_t i = 0; i < children_.GetCount(); ++i) count += children_.GetAt(i)->CountChars();
  return count;
}

int32_t CDocObjContainer::CountAux() {
  int32_t count = 0;
  for (int32_t i = 0; i < children_.GetCount(); ++i) count += children_.GetAt(i)->CountAux();
  return count;
}

int CDocObjContainer::MergeFrom(CDocObject*, int, EditResult* out) {
  if (out != nullptr) out->changed = 0;
  return 0;
}

int CDocObjContainer::SplitInto(const CVedTextPos*, CDocObject*, EditResult* out) {
  if (out != nullptr) out->changed = 0;
  return 0;
}

// ---- Factory and the list's rules ----

CDocObject* CDocObjContainer::CreateChildObject(int32_t type) {
  std::unique_ptr<CDocObject> object;
  switch (type) {
    case kObjectText:
      object = std::make_unique<CTextObject>();
      break;
    case kObjectTable:
      object = std::make_unique<CTableObject>();
      break;
    case kObjectGridArea:
      object = std::make_unique<CGridAreaObject>();
      break;
    default:
      return nullptr;
  }
  if (object->Initialize(renderer_, feedback_) == 0) return nullptr;
  object->SetReferenceDC(pageFormat_.referenceDC);
  object->SetOptions(&options_);
  object->SetCharFormat(&charFormat_);
  PageFormat copy = pageFormat_;
  if (type == kObjectGridArea) copy.textHeight = GetRemainingHeight();
  if (object->SetPageFormat(&copy) == 0) return nullptr;
  return object.release();
}

CDocObject* CDocObjContainer::AddEmptyText(bool atEnd) {
  const int32_t index = atEnd ? children_.GetCount() : 0;
  CDocObject* text = CreateChildObject(kObjectText);
  if (text == nullptr) return nullptr;
  children_.InsertAt(index, ChildEntry{text, kObjectText, WholeHeight(text), {}});
  if (pageFormat_.cellFlag != 0) {
    CDocObject* grid = CreateChildObject(kObjectGridArea);
    if (grid != nullptr) {
      children_.InsertAt(index + 1, ChildEntry{grid, kObjectGridArea, WholeHeight(grid), {}});
      PlaceGridUnder(index + 1);
    }
  }
  children_.SetCursor(index);
  return text;
}

bool CDocObjContainer::HasTrailingGrid() const {
  const int32_t n = children_.GetCount();
  return pageFormat_.cellFlag != 0 && n > 0 && children_.GetTypeAt(n - 1) == kObjectGridArea;
}

bool CDocObjContainer::IsLastTextChild(int32_t index) const {
  const int32_t last = children_.GetCount() - 1;
  return index == (HasTrailingGrid() ? last - 1 : last);
}

int CDocObjContainer::RemoveChildAt(int32_t index, bool keepLast) {
  CDocObject* child = children_.GetAt(index);
  if (child == nullptr) return kChildRefused;
  const bool trailingGrid = HasTrailingGrid() && index == children_.GetCount() - 1;
  if (keepLast && (IsLastTextChild(index) || trailingGrid)) {
    child->Reset();
    return kChildEmptied;
  }
  if (!DestroyChild(child)) return kChildRefused;
  children_.RemoveAt(index);
  if (children_.GetCount() == 0) AddEmptyText(false);
  return kChildRemoved;
}

int CDocObjContainer::RemoveChild(int32_t index, EditResult* out) {
  if (children_.GetTypeAt(index) == kObjectGridArea) return 0;
  const int32_t noted = children_.GetHeightAt(index);
  const int answer = RemoveChildAt(index, true);
  EditResult step;
  const MoveParams toEdge{1, 0, 1};
  if (answer == kChildRemoved) {
    const int32_t c = children_.GetCursorIndex();
    const bool texts =
        c > 0 && children_.GetTypeAt(c) == kObjectText && children_.GetTypeAt(c - 1) == kObjectText;
    if (!texts) {
      const bool stayed = children_.IsValid(index);
      const int32_t at = stayed ? index : index - 1;
      children_.SetCursor(at);
      CDocObject* child = children_.GetAt(at);
      if (child != nullptr) {
        child->MoveCursor(stayed ? kMoveDocumentStart : kMoveDocumentEnd, &toEdge, nullptr,
                          &step.newCursor);
        step.newCursor.PrependChild(at);
      }
    } else {
      CDocObject* before = children_.GetAt(c - 1);
      CDocObject* after = children_.GetAt(c);
      const bool laterTakes = before->CountChars() < after->CountChars();
      const int merged =
          laterTakes ? after->MergeFrom(before, 0, &step) : before->MergeFrom(after, 1, &step);
      if (merged == 0) return -1;
      const int32_t keeper = laterTakes ? c : c - 1;
      PrefixEditResult(&step, keeper, keeper);
      RemoveChildAt(laterTakes ? c - 1 : c, false);
      children_.SetCursor(c - 1);
      children_.AddHeightToCurrent(step.heightDelta);
      if (laterTakes) {
        // The keeper moved one place up; its paths name its new index.
        for (CVedTextPos* p :
             {&step.rangeStart, &step.rangeEnd, &step.newCursor, &step.startAux, &step.endAux}) {
          if (!p->IsEmpty()) p->pairs.front().value = c - 1;
        }
      }
    }
  } else if (answer == kChildEmptied) {
    children_.SetCursor(index);
    CDocObject* child = children_.GetAt(index);
    const MoveParams start{0, 0, 1};
    child->MoveCursor(kMoveDocumentStart, &start, nullptr, &step.newCursor);
    step.newCursor.PrependChild(index);
    const int32_t now = WholeHeight(child);
    children_.AddHeightAt(index, now - noted);
    step.heightDelta = now - noted;
    step.changed = 1;
  }
  if (out != nullptr) *out = step;
  return answer;
}

int CDocObjContainer::InsertChildAtCursor(const ChildEntry& entry, CVedTextPos* out) {
  if (out != nullptr) *out = CVedTextPos();
  CDocObject* current = children_.GetCurrent();
  if (current != nullptr && children_.GetCurrentType() == kObjectText &&
      current->IsFirstLine(nullptr) == 0) {
    CDocObject* rest = CreateChildObject(kObjectText);
    if (rest == nullptr) return 0;
    EditResult split;
    if (current->SplitInto(nullptr, rest, &split) == 0) {
      DestroyChild(rest);
      return 0;
    }
    if (out != nullptr) *out = split.rangeStart;
    children_.AddHeightToCurrent(split.heightDelta);
    // The moved text records its own height: the part left behind may
    // have changed by more or less than the moved lines (paragraph gaps).
    children_.Insert(ChildEntry{rest, kObjectText, WholeHeight(rest), {}}, true);
  }
  children_.Insert(entry, false);
  return 1;
}

int32_t CDocObjContainer::GetRemainingHeight() const {
  const int32_t n = children_.GetCount();
  int32_t used = 0;
  if (n == 1) {
    used = children_.GetHeightAt(0);
  } else {
    for (int32_t i = 0; i + 1 < n; ++i) used += children_.GetHeightAt(i);
  }
  const int32_t left = pageFormat_.textHeight - used;
  const int32_t pitch = pageFormat_.linePitch;
  if (pitch <= 0 || left < pitch) return 0;
  return pitch * (left / pitch);
}

void CDocObjContainer::AdjustTrailingGrid(EditResult* result) {
  if (pageFormat_.cellFlag == 0 || result->heightDelta == 0 || !HasTrailingGrid()) return;
  const int32_t last = children_.GetCount() - 1;
  const int32_t remaining = GetRemainingHeight();
  const int32_t recorded = children_.GetHeightAt(last);
  if (recorded == remaining) return;
  PageFormat copy = pageFormat_;
  copy.textHeight = remaining;
  children_.GetAt(last)->ApplyPageFormat(&copy);
  children_.AddHeightAt(last, remaining - recorded);
  result->heightDelta += remaining - recorded;
  PlaceGridUnder(last);
}

StrippedPath CDocObjContainer::PopChildIndex(const CVedTextPos* pos, int32_t defaultIndex) const {
  return StripStep(pos, defaultIndex);
}

void CDocObjContainer::PrefixEditResult(EditResult* result, int32_t startChild, int32_t endChild) {
  result->PrefixChildren(startChild, endChild);
}

void CDocObjContainer::OrderPositions(CVedTextPos& a, CVedTextPos& b) {
  ::OrderPositions(*this, a, b);
}
