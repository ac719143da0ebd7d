// The container's range stream: a range of children stored with a small
// header per child, each child writing its own block; and the load of such
// blocks at the cursor, where the stored type, the block's place among its
// siblings and the kind of the cursor child decide which child receives
// each block.
#include <array>
#include <cstring>
#include <exception>
#include <memory>

#include "model/container.h"
#include "model/renderer.h"
#include "model/table_object.h"
#include "model/text_engine.h"
#include "model/text_navigator.h"
#include "model/texts.h"

namespace {

// The mode of tag 0xC000 that carries the count and the child headers.
constexpr int kHeadedMode = 2;

// The stored child header: the 28-byte entry, then 32 bytes.
constexpr size_t kEntryBytes = 28;
constexpr size_t kHeaderTailBytes = 32;
constexpr size_t kHeaderReservedBytes = 16;

// Where a table's rows begin and end, from a position in it.
constexpr int kMoveTableRowStart = 1281;
constexpr int kMoveTableRowEnd = 1282;
constexpr int kMoveTableColumnTop = 1297;
constexpr int kMoveTableColumnBottom = 1298;

const MoveParams kStill{0, 0, 0};
const MoveParams kSetCursor{1, 0, 0};

// What a table that goes in at a line's middle gets first.
constexpr char kParagraphBreak[] = "\r";

// Answers of a store.
constexpr int kStoreDone = 0;
constexpr int kStoreFailed = -1;

// A block's place among the blocks of one load.
enum Place { kPlaceSingle = 0, kPlaceFirst = 1, kPlaceLast = 2, kPlaceMiddle = 3 };

Place PlaceOf(uint32_t k, uint32_t n) {
  if (n == 1) return kPlaceSingle;
  if (k == 0) return kPlaceFirst;
  return k + 1 == n ? kPlaceLast : kPlaceMiddle;
}

// Row and column count of a table child; none for any other child.
struct TableShape {
  int32_t rows = 0;
  int32_t columns = 0;
};

TableShape TableShapeOf(const CDocObject* child) {
  const auto* table = dynamic_cast<const CTableObject*>(child);
  return table != nullptr ? TableShape{table->Rows(), table->Columns()} : TableShape{};
}

int32_t ReadInt32(const uint8_t* bytes) {
  return static_cast<int32_t>(
      static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
      static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24);
}

// ---- Storing ----

// A text child is stored whole when its part starts at its start and ends
// at its end; a missing rest counts as the edge.
bool TextCovered(CDocObject* text, const CVedTextPos* start, const CVedTextPos* end) {
  const auto atEdge = [text](const CVedTextPos* rest, int command) {
    if (rest == nullptr) return true;
    CVedTextPos edge;
    return text->MoveCursor(command, &kStill, nullptr, &edge) == kMoveDone && *rest == edge;
  };
  return atEdge(start, kMoveDocumentStart) && atEdge(end, kMoveDocumentEnd);
}

// A table child is stored whole when its part reaches over whole rows.
bool TableCovered(CDocObject* table, const CVedTextPos* start, const CVedTextPos* end) {
  const auto bound = [table](const CVedTextPos* rest, int rowCommand, int columnCommand,
                             CVedTextPos* out) {
    CVedTextPos row;
    return table->MoveCursor(rowCommand, &kStill, rest, &row) == kMoveDone &&
           table->MoveCursor(columnCommand, &kStill, &row, out) == kMoveDone;
  };
  if (start != nullptr) {
    CVedTextPos first;
    if (!bound(start, kMoveTableRowStart, kMoveTableColumnTop, &first)) return false;
    const int order = table->ComparePositions(start, &first);
    if (order == kCompareIncomparable || order > kCompareEqual) return false;
  }
  if (end != nullptr) {
    CVedTextPos last;
    if (!bound(end, kMoveTableRowEnd, kMoveTableColumnBottom, &last)) return false;
    const int order = table->ComparePositions(end, &last);
    if (order == kCompareIncomparable || order < kCompareEqual) return false;
  }
  return true;
}

int32_t WholeFlag(const ChildEntry& entry, const CVedTextPos* start, const CVedTextPos* end) {
  switch (entry.type) {
    case kObjectText:
      return TextCovered(entry.object, start, end) ? 1 : 0;
    case kObjectTable:
      return TableCovered(entry.object, start, end) ? 1 : 0;
    default:
      return 0;
  }
}

// The entry field by field: the object reference has no meaning outside
// this process and is written as 0.
void WriteChildHeader(platform::CArchive& archive, const ChildEntry& entry, int32_t whole,
                      int32_t index) {
  archive << uint32_t{0} << entry.type << entry.height;
  for (const int32_t word : entry.reserved) archive << word;
  const TableShape shape = TableShapeOf(entry.object);
  archive << whole << index << shape.rows << shape.columns;
  const std::array<uint8_t, kHeaderReservedBytes> reserved{};
  archive.Write(reserved.data(), reserved.size());
}

// ---- Loading ----

// What one block brings before it is placed. Blocks without a header are
// taken as text of no known place in the storing container.
struct StoredHeader {
  int32_t type = kObjectText;
  int32_t whole = 0;
  int32_t index = -1;
  int32_t rows = 0;
  int32_t columns = 0;
};

enum class Placement {
  kRefused,          // the combination is not loaded
  kCursorChild,      // into the cursor child at its cursor
  kCursorCell,       // into the cell that holds the cursor table's caret
  kPreviousChild,    // into the child before the cursor child, at its end
  kNextChild,        // into the child after it, at its start
  kNewBefore,        // a new child before the cursor child
  kNewAfter,         // a new child after it
  kNewAtCursor,      // a new child at the cursor, the text split there
  kBreakThenNew,     // one carriage return, then as kNewAtCursor
  kSplitThenBefore,  // the text split at its cursor, into its first part's end
};

// A position handed up by a child, kept with the child rather than its
// index, since blocks placed later may move children along the list.
struct ChildMark {
  CDocObject* child = nullptr;
  CVedTextPos path;
};

class RangeLoader {
 public:
  RangeLoader(CDocObjContainer& container, platform::CArchive& archive, int tag, int mode,
              bool withPosition)
      : container_(container),
        list_(container.Children()),
        archive_(archive),
        tag_(tag),
        headed_(tag == kFormatOwnBlock && mode == kHeadedMode),
        mode_(mode),
        withPosition_(withPosition) {}

  int Run(EditResult* out);

 private:
  bool ReadCount(uint32_t* n);
  bool ReadHeader(StoredHeader* header);
  int LoadBlocks(uint32_t n);
  int LoadBlock(Place place, const StoredHeader& header);
  bool RefillsEmptiedCells(Place place, const StoredHeader& header, bool created) const;
  bool GoesIntoCursorCell(const StoredHeader& header) const;
  static bool AfterParagraphEnd(CDocObject& text);

  Placement Decide(Place place, const StoredHeader& header);
  Placement DecideAtCursor(Place place, const StoredHeader& header);
  Placement DecideWithPosition(Place place, const StoredHeader& header);
  Placement AfterTextCursor();
  bool IsNeighbour(int32_t at, int32_t type, const StoredHeader& header) const;

  // Gives the block its receiving child; null when none could be made.
  CDocObject* Receive(Placement placement, const StoredHeader& header, bool* created);
  CDocObject* NewChild(Placement placement, int32_t type);
  void EnterNeighbour(int32_t index, bool atEnd);
  void TakeSplit(CDocObject* before, const CVedTextPos& splitAt);
  void TakeChildResult(CDocObject* child, const EditResult& step);
  void TakeContainerResult(const EditResult& step);
  ChildMark MarkOf(const CVedTextPos& path) const;

  void RunGridFiller();
  void InsertBreak();
  void Finish(EditResult* out);
  void FollowCursorOut();
  int32_t IndexOf(const CDocObject* child) const;
  CVedTextPos Resolve(const ChildMark& mark) const;

  CDocObjContainer& container_;
  CDocChildList& list_;
  platform::CArchive& archive_;
  int tag_;
  bool headed_;
  int mode_;
  bool withPosition_;

  int32_t changed_ = 0;
  int32_t heightDelta_ = 0;
  bool pageBreakChanged_ = false;
  ChildMark rangeStart_;
  ChildMark rangeEnd_;
  ChildMark newCursor_;
  ChildMark startAux_;
  ChildMark endAux_;
  bool onlySplit_ = false;  // nothing but a text split has been recorded
  // A text split at the cursor whose first part takes the block at its
  // end: the split reported that part's end, which names the end mark the
  // block goes in before, not where the block begins.
  CDocObject* splitForBlock_ = nullptr;
  // The text that took the first of several blocks at its cursor, unless
  // the cursor stood right after a paragraph end there: the block's own
  // paragraph end closes it, and a split right after it for the next
  // block leaves a paragraph that goes on in the split-off text.
  CDocObject* firstTextInside_ = nullptr;
};

int32_t RangeLoader::IndexOf(const CDocObject* child) const {
  for (int32_t i = 0; i < list_.GetCount(); ++i) {
    if (list_.GetAt(i) == child) return i;
  }
  return -1;
}

CVedTextPos RangeLoader::Resolve(const ChildMark& mark) const {
  CVedTextPos path = mark.path;
  const int32_t index = IndexOf(mark.child);
  if (index < 0) return CVedTextPos();
  path.PrependChild(index);
  return path;
}

bool RangeLoader::ReadCount(uint32_t* n) {
  std::array<uint8_t, 4> bytes{};
  if (archive_.Read(bytes.data(), bytes.size()) != bytes.size()) return false;
  *n = static_cast<uint32_t>(ReadInt32(bytes.data()));
  return true;
}

bool RangeLoader::ReadHeader(StoredHeader* header) {
  std::array<uint8_t, kEntryBytes> entry{};
  if (archive_.Read(entry.data(), entry.size()) != entry.size()) return false;
  std::array<uint8_t, kHeaderTailBytes> tail{};
  if (archive_.Read(tail.data(), tail.size()) != tail.size()) return false;
  header->type = ReadInt32(&entry[4]);
  header->whole = ReadInt32(&tail[0]);
  header->index = ReadInt32(&tail[4]);
  header->rows = ReadInt32(&tail[8]);
  header->columns = ReadInt32(&tail[12]);
  return true;
}

// Records the paths of a child's edit. The start side is taken only while
// nothing before it has set it; a text split for a new child puts nothing
// in, so the child's own start still names where what went in begins.
void RangeLoader::TakeChildResult(CDocObject* child, const EditResult& step) {
  if (rangeStart_.child == nullptr || onlySplit_) {
    if (!step.startAux.IsEmpty()) startAux_ = {child, step.startAux};
    onlySplit_ = false;
  }
  if (rangeStart_.child == nullptr || (splitForBlock_ == child && rangeStart_.child == child)) {
    rangeStart_ = {child, step.rangeStart};
  }
  splitForBlock_ = nullptr;
  rangeEnd_ = {child, step.rangeEnd};
  newCursor_ = {child, step.newCursor};
  endAux_ = {child, step.endAux};
  pageBreakChanged_ = pageBreakChanged_ || step.pageBreakChanged != 0;
  changed_ = 1;
}

ChildMark RangeLoader::MarkOf(const CVedTextPos& path) const {
  if (path.IsEmpty()) return {};
  const StrippedPath p = container_.PopChildIndex(&path, 0);
  return {list_.GetAt(p.step.value), p.rest.value_or(CVedTextPos())};
}

// Records an edit the container made itself, its paths already carrying
// the child steps and its heights already recorded.
void RangeLoader::TakeContainerResult(const EditResult& step) {
  if (rangeStart_.child == nullptr) {
    rangeStart_ = MarkOf(step.rangeStart);
    startAux_ = MarkOf(step.startAux);
  }
  rangeEnd_ = MarkOf(step.rangeEnd);
  newCursor_ = MarkOf(step.newCursor);
  endAux_ = MarkOf(step.endAux);
  heightDelta_ += step.heightDelta;
  pageBreakChanged_ = pageBreakChanged_ || step.pageBreakChanged != 0;
  changed_ = 1;
  onlySplit_ = false;
}

// Typing position in a grid area: the lines and blanks up to it are filled
// into the text before the grid area first; the cursor is then there.
void RangeLoader::RunGridFiller() {
  EditResult filler;
  if (container_.FillGrid(true, &filler) == 0 || filler.changed == 0) return;
  list_.AddHeightToCurrent(filler.heightDelta);
  heightDelta_ += filler.heightDelta;
  TakeChildResult(list_.GetCurrent(), filler);
}

// One carriage return into the cursor text, without speaking it.
void RangeLoader::InsertBreak() {
  EditResult typed;
  CDocObject* text = list_.GetCurrent();
  if (container_.InsertSilently(kParagraphBreak, &typed) == 0 || typed.changed == 0) return;
  list_.AddHeightToCurrent(typed.heightDelta);
  heightDelta_ += typed.heightDelta;
  TakeChildResult(text, typed);
}

bool RangeLoader::IsNeighbour(int32_t at, int32_t type, const StoredHeader& header) const {
  if (!list_.IsValid(at) || at != header.index || list_.GetTypeAt(at) != type) return false;
  return type != kObjectTable || TableShapeOf(list_.GetAt(at)).columns == header.columns;
}

Placement RangeLoader::AfterTextCursor() {
  return container_.IsAtChildEnd(nullptr, 0) != 0 ? Placement::kNewAfter : Placement::kBreakThenNew;
}

Placement RangeLoader::Decide(Place place, const StoredHeader& header) {
  if (header.type != kObjectText && header.type != kObjectTable) return Placement::kRefused;
  return withPosition_ ? DecideWithPosition(place, header) : DecideAtCursor(place, header);
}

Placement RangeLoader::DecideAtCursor(Place place, const StoredHeader& header) {
  const int32_t cursor = list_.GetCursorIndex();
  const bool storedText = header.type == kObjectText;
  switch (list_.GetCurrentType()) {
    case kObjectText:
      if (storedText || place == kPlaceSingle || place == kPlaceFirst) {
        return storedText ? Placement::kCursorChild : Placement::kNewAtCursor;
      }
      return container_.IsAtChildEnd(nullptr, 0) != 0 ? Placement::kNewAfter
                                                      : Placement::kNewAtCursor;
    case kObjectTable:
      if (place == kPlaceSingle) return Placement::kCursorChild;
      if (!storedText) {
        if (place != kPlaceFirst) return Placement::kNewAfter;
        return list_.GetCurrent()->IsFirstLine(nullptr) != 0 ? Placement::kNewBefore
                                                             : Placement::kNewAfter;
      }
      if (place == kPlaceFirst) {
        if (list_.GetCurrent()->IsFirstLine(nullptr) == 0) return Placement::kCursorChild;
        return list_.GetTypeAt(cursor - 1) == kObjectText ? Placement::kPreviousChild
                                                          : Placement::kNewBefore;
      }
      if (place == kPlaceLast && list_.GetTypeAt(cursor + 1) == kObjectText) {
        return Placement::kNextChild;
      }
      return Placement::kNewAfter;
    default:
      return Placement::kRefused;
  }
}

Placement RangeLoader::DecideWithPosition(Place place, const StoredHeader& header) {
  const int32_t cursor = list_.GetCursorIndex();
  const bool opening = place == kPlaceSingle || place == kPlaceFirst;
  const bool whole = header.whole != 0;
  const bool storedText = header.type == kObjectText;
  switch (list_.GetCurrentType()) {
    case kObjectText:
      if (storedText) {
        if (place != kPlaceFirst) return Placement::kCursorChild;
        return whole ? Placement::kNewBefore : Placement::kSplitThenBefore;
      }
      if (opening && !whole) {
        return IsNeighbour(cursor - 1, kObjectTable, header) ? Placement::kPreviousChild
                                                             : Placement::kNewBefore;
      }
      if (opening) {
        if (header.index == 0 || container_.IsAtChildStart(nullptr, 0) != 0) {
          return Placement::kNewBefore;
        }
        return container_.IsAtLineStart(nullptr) != 0 ? Placement::kNewAtCursor
                                                      : Placement::kBreakThenNew;
      }
      if (place == kPlaceLast && !whole && IsNeighbour(cursor + 1, kObjectTable, header)) {
        return Placement::kNextChild;
      }
      return AfterTextCursor();
    case kObjectTable:
      if (GoesIntoCursorCell(header)) return Placement::kCursorCell;
      if (storedText) {
        if (opening) {
          return IsNeighbour(cursor - 1, kObjectText, header) ? Placement::kPreviousChild
                                                              : Placement::kNewBefore;
        }
        if (place == kPlaceLast && IsNeighbour(cursor + 1, kObjectText, header)) {
          return Placement::kNextChild;
        }
        return Placement::kNewAfter;
      }
      if (opening) {
        if (whole) return Placement::kNewBefore;
        return IsNeighbour(cursor - 1, kObjectTable, header) ? Placement::kPreviousChild
                                                             : Placement::kCursorChild;
      }
      if (place == kPlaceLast && !whole && IsNeighbour(cursor + 1, kObjectTable, header)) {
        return Placement::kNextChild;
      }
      return Placement::kNewAfter;
    default:
      return Placement::kRefused;
  }
}

// Moves the list cursor onto a neighbour and the neighbour's cursor to the
// edge that faces the cursor child; a table's caret then goes to the end or
// start of that line.
void RangeLoader::EnterNeighbour(int32_t index, bool atEnd) {
  list_.SetCursor(index);
  CDocObject* child = list_.GetCurrent();
  child->MoveCursor(atEnd ? kMoveDocumentEnd : kMoveDocumentStart, &kSetCursor, nullptr, nullptr);
  if (list_.GetCurrentType() == kObjectTable) {
    child->MoveCursor(atEnd ? kMoveLineEnd : kMoveLineStart, &kSetCursor, nullptr, nullptr);
  }
}

// A text split for a new child is a change of its own, reported even when
// the block that follows fails. The moved part is recorded with the height
// the first part lost; it measures itself here instead.
void RangeLoader::TakeSplit(CDocObject* before, const CVedTextPos& splitAt) {
  const int32_t at = list_.GetCursorIndex() + 1;
  CDocObject* rest = list_.GetAt(at);
  if (rest == nullptr || rest == before || list_.GetTypeAt(at) != kObjectText) return;
  const int32_t difference = rest->GetHeight(nullptr, nullptr) - list_.GetHeightAt(at);
  list_.AddHeightAt(at, difference);
  heightDelta_ += difference;
  // A first part left empty holds nothing of what goes in: the range
  // begins with the new child. Named from inside it, the range would
  // take that part along as a whole empty text, and its redo would put
  // an empty text back instead of splitting the text again.
  if (rangeStart_.child == nullptr && before->IsEmpty() == 0) {
    rangeStart_ = {before, splitAt};
    onlySplit_ = true;
  }
  CVedTextPos restStart;
  rest->MoveCursor(kMoveDocumentStart, &kStill, nullptr, &restStart);
  rangeEnd_ = newCursor_ = {rest, restStart};
  changed_ = 1;
}

CDocObject* RangeLoader::NewChild(Placement placement, int32_t type) {
  std::unique_ptr<CDocObject> object(container_.CreateChildObject(type));
  if (object == nullptr) return nullptr;
  // The block's own height change makes up the recorded height.
  const ChildEntry entry{object.get(), type, 0, {}};
  CDocObject* before = list_.GetCurrent();
  switch (placement) {
    case Placement::kNewBefore:
      list_.Insert(entry, false);
      break;
    case Placement::kNewAfter:
      list_.Insert(entry, true);
      break;
    default: {
      CVedTextPos splitAt;
      if (container_.InsertChildAtCursor(entry, &splitAt) == 0) return nullptr;
      TakeSplit(before, splitAt);
      auto* text = dynamic_cast<CTextEngine*>(before);
      if (text != nullptr && before == firstTextInside_ && !splitAt.IsEmpty()) {
        text->ContinueEndInNext();
      }
      break;
    }
  }
  return object.release();
}

CDocObject* RangeLoader::Receive(Placement placement, const StoredHeader& header, bool* created) {
  *created = false;
  const int32_t cursor = list_.GetCursorIndex();
  switch (placement) {
    case Placement::kCursorChild:
    case Placement::kCursorCell:
      return list_.GetCurrent();
    case Placement::kPreviousChild:
      EnterNeighbour(cursor - 1, true);
      return list_.GetCurrent();
    case Placement::kNextChild:
      EnterNeighbour(cursor + 1, false);
      return list_.GetCurrent();
    case Placement::kSplitThenBefore: {
      EditResult split;
      CDocObject* text = list_.GetCurrent();
      if (container_.SplitCursorText(&split) == 0) return nullptr;
      TakeContainerResult(split);
      splitForBlock_ = text;
      text->MoveCursor(kMoveDocumentEnd, &kSetCursor, nullptr, nullptr);
      return text;
    }
    case Placement::kBreakThenNew:
      InsertBreak();
      [[fallthrough]];
    default:
      *created = true;
      return NewChild(placement, header.type);
  }
}

// A deletion that ran from the text into a table (or out of one) emptied
// the cells it reached without removing them. Its undo puts the stored
// cells back into those cells at the table's edge that faced the text,
// where a paste would insert them as new rows. A deletion inside a table
// that emptied cells left the table with the rows and columns it had when
// they were stored, where one that took rows or columns out did not: its
// undo refills the cells from the caret's, where the deletion left it.
bool RangeLoader::RefillsEmptiedCells(Place place, const StoredHeader& header, bool created) const {
  const CDocRenderer* renderer = container_.Renderer();
  if (renderer == nullptr || renderer->GetUndoReplay() == 0 || !withPosition_ || !headed_ ||
      created || header.type != kObjectTable || header.whole != 0) {
    return false;
  }
  if (place != kPlaceSingle) return place == kPlaceFirst || place == kPlaceLast;
  const TableShape shape = TableShapeOf(list_.GetCurrent());
  return shape.rows == header.rows && shape.columns == header.columns;
}

// A block without a header is the text of one object; taken during a
// replay from a cell's text, it goes back into the cell the replay put the
// caret in, not into a new text beside the table. Outside a replay a table
// takes no text of the running text in.
bool RangeLoader::GoesIntoCursorCell(const StoredHeader& header) const {
  if (!withPosition_ || headed_ || header.type != kObjectText) return false;
  const auto* table = dynamic_cast<const CTableObject*>(list_.GetCurrent());
  return table != nullptr && table->Caret().mode == kCaretInCell;
}

// Whether a text's cursor starts a paragraph that is not the text's first.
bool RangeLoader::AfterParagraphEnd(CDocObject& text) {
  CVedTextPos cursor;
  CVedTextPos paragraphStart;
  CVedTextPos textStart;
  return text.GetCursor(&cursor) != 0 &&
         text.MoveCursor(kMoveParagraphStart, &kStill, nullptr, &paragraphStart) == kMoveDone &&
         text.MoveCursor(kMoveDocumentStart, &kStill, nullptr, &textStart) == kMoveDone &&
         cursor == paragraphStart && !(cursor == textStart);
}

int RangeLoader::LoadBlock(Place place, const StoredHeader& header) {
  const Placement placement = Decide(place, header);
  if (placement == Placement::kRefused) return 0;
  bool created = false;
  CDocObject* child = Receive(placement, header, &created);
  if (child == nullptr) return -1;
  const bool newText = created && list_.GetTypeAt(IndexOf(child)) == kObjectText;
  const int32_t startHeight = newText ? child->GetHeight(nullptr, nullptr) : 0;
  const bool intoText = !created && list_.GetTypeAt(IndexOf(child)) == kObjectText;
  const int32_t charsBefore = intoText ? child->CountChars() : 0;
  const bool afterBreak = intoText && AfterParagraphEnd(*child);
  EditResult step;
  auto* refilled =
      RefillsEmptiedCells(place, header, created) ? dynamic_cast<CTableObject*>(child) : nullptr;
  auto* cellOwner =
      placement == Placement::kCursorCell ? dynamic_cast<CTableObject*>(child) : nullptr;
  if (refilled != nullptr && place == kPlaceSingle) {
    refilled->RefillCaretCells(archive_, &step);
  } else if (refilled != nullptr) {
    refilled->RefillEdgeCells(archive_, place == kPlaceFirst, &step);
  } else if (cellOwner != nullptr) {
    cellOwner->LoadIntoCursorCell(archive_, mode_, &step);
  } else if (child->SerializeRange(archive_, tag_, mode_, nullptr, nullptr, &step) < 0) {
    if (created) container_.RemoveChildAt(IndexOf(child), false);
    return -1;
  }
  // A child that was there and took nothing in (table rows or columns
  // that do not fit it, a table offered a text block) leaves the load
  // unchanged: reporting its cursor as an insertion would have the undo
  // take content that was there before.
  if (!created && step.changed == 0) return 1;
  // The first of several blocks, a piece of text of nothing but its end
  // mark (cut from a text's end), brings no character: its report names
  // the cursor, which the split for the next block moves into another
  // text.
  if (intoText && place == kPlaceFirst && child->CountChars() == charsBefore) return 1;
  if (intoText && place == kPlaceFirst && !withPosition_ && !afterBreak) firstTextInside_ = child;
  step.heightDelta += startHeight;
  list_.AddHeightAt(IndexOf(child), step.heightDelta);
  heightDelta_ += step.heightDelta;
  TakeChildResult(child, step);
  return 1;
}

int RangeLoader::LoadBlocks(uint32_t n) {
  for (uint32_t k = 0; k < n; ++k) {
    StoredHeader header;
    if (headed_ && !ReadHeader(&header)) return -1;
    const int answer = LoadBlock(PlaceOf(k, n), header);
    if (answer != 1) return answer;
  }
  return 1;
}

// A load that changed the number of children may leave the cursor on the
// edge of a child it should have passed: it goes on into the next child.
void RangeLoader::FollowCursorOut() {
  if (!list_.IsValid(list_.GetCursorIndex() + 1)) return;
  list_.NextEntry();
  list_.GetCurrent()->MoveCursor(kMoveDocumentStart, &kSetCursor, nullptr, nullptr);
  CDocObject* now = list_.GetCurrent();
  CVedTextPos cursor;
  now->GetCursor(&cursor);
  newCursor_ = {now, cursor};
}

void RangeLoader::Finish(EditResult* out) {
  EditResult result;
  result.changed = changed_;
  result.rangeStart = Resolve(rangeStart_);
  result.rangeEnd = Resolve(rangeEnd_);
  result.newCursor = Resolve(newCursor_);
  result.startAux = Resolve(startAux_);
  result.endAux = Resolve(endAux_);
  result.heightDelta = heightDelta_;
  result.pageBreakChanged = pageBreakChanged_ ? 1 : 0;
  if (out != nullptr) *out = result;
}

int RangeLoader::Run(EditResult* out) {
  const int32_t countBefore = list_.GetCount();
  const bool textBefore = list_.GetCurrentType() == kObjectText;
  uint32_t n = 1;
  if (headed_ && !ReadCount(&n)) {
    Finish(out);
    return -1;
  }
  if (!withPosition_ && list_.GetCurrentType() == kObjectTable && headed_ && n >= 2) {
    Finish(out);
    return 0;
  }
  if (list_.GetCurrentType() == kObjectGridArea) RunGridFiller();
  if (!withPosition_ && n > 1 && list_.GetCurrentType() == kObjectText) {
    list_.GetCurrent()->MoveCursor(kMoveLineStart, &kSetCursor, nullptr, nullptr);
  }
  int answer = -1;
  try {
    answer = LoadBlocks(n);
  } catch (const std::exception&) {
    answer = -1;
  }

  if (changed_ != 0) {
    EditResult grid;
    grid.heightDelta = heightDelta_;
    container_.AdjustTrailingGrid(&grid);
    heightDelta_ = grid.heightDelta;
  }
  const int32_t last = list_.GetCount() - 1;
  const int32_t lastType = list_.GetTypeAt(last);
  if (lastType != kObjectText && lastType != kObjectGridArea) {
    const int32_t cursor = list_.GetCursorIndex();
    if (container_.AddEmptyText(true) != nullptr) {
      heightDelta_ += list_.GetHeightAt(last + 1);
      list_.SetCursor(cursor);
    }
  }
  if (list_.GetCount() != countBefore) {
    const bool textNow = list_.GetCurrentType() == kObjectText;
    if ((textBefore && !textNow) ||
        (!textBefore && textNow && container_.IsAtChildEnd(nullptr, 0) != 0)) {
      FollowCursorOut();
    }
  }
  Finish(out);
  return answer;
}

// ---- Storing ----

class RangeWriter {
 public:
  RangeWriter(CDocObjContainer& container, platform::CArchive& archive, int tag, int mode)
      : list_(container.Children()),
        archive_(archive),
        tag_(tag),
        mode_(mode),
        headed_(tag == kFormatOwnBlock && mode == kHeadedMode) {}

  void Write(int32_t s, const CVedTextPos* startRest, int32_t e, const CVedTextPos* endRest);

 private:
  CDocChildList& list_;
  platform::CArchive& archive_;
  int tag_;
  int mode_;
  bool headed_;
};

void RangeWriter::Write(int32_t s, const CVedTextPos* startRest, int32_t e,
                        const CVedTextPos* endRest) {
  if (headed_) archive_ << static_cast<uint32_t>(e - s + 1);
  for (int32_t i = s; i <= e; ++i) {
    const CVedTextPos* from = i == s ? startRest : nullptr;
    const CVedTextPos* to = i == e ? endRest : nullptr;
    const ChildEntry entry = list_.GetEntryAt(i);
    if (headed_) WriteChildHeader(archive_, entry, WholeFlag(entry, from, to), i);
    if (entry.object->SerializeRange(archive_, tag_, mode_, from, to, nullptr) < 0) {
      // A child that could not store itself leaves a header without its
      // block: the range as a whole has failed.
      throw platform::CArchiveException(platform::CArchiveException::kGeneric,
                                        "a child could not store its range");
    }
    if (tag_ == kFormatPlainText && i != e) {
      archive_.Write(kChildTextSeparator, std::strlen(kChildTextSeparator));
    }
  }
}

// Stores the children between two positions; 0, or -1 when the archive
// failed.
int StoreRange(CDocObjContainer& container, platform::CArchive& archive, int tag, int mode,
               const CVedTextPos* from, const CVedTextPos* to) {
  const CDocChildList& list = container.Children();
  CVedTextPos a = from != nullptr ? *from : CVedTextPos();
  CVedTextPos b = to != nullptr ? *to : CVedTextPos();
  if (from != nullptr && to != nullptr) container.OrderPositions(a, b);
  const StrippedPath start = container.PopChildIndex(from != nullptr ? &a : nullptr, 0);
  StrippedPath end = container.PopChildIndex(to != nullptr ? &b : nullptr, list.GetCount() - 1);
  const int32_t s = start.step.value;
  int32_t e = end.step.value;
  if (!list.IsValid(s) || !list.IsValid(e) || s > e) return kStoreFailed;
  // Grid areas hold nothing to store: a range ending in one ends with the
  // child before it, and a range inside one stores no child at all.
  if (list.GetTypeAt(e) == kObjectGridArea) {
    end.rest.reset();
    e = s < e ? e - 1 : s - 1;
  }
  try {
    RangeWriter(container, archive, tag, mode).Write(s, start.RestOrNull(), e, end.RestOrNull());
  } catch (const std::exception&) {
    return kStoreFailed;
  }
  return kStoreDone;
}

}  // namespace

int CDocObjContainer::SerializeRange(platform::CArchive& archive, int tag, int mode,
                                     const CVedTextPos* from, const CVedTextPos* to,
                                     EditResult* out) {
  if (archive.IsLoading()) {
    RangeLoader loader(*this, archive, tag, mode, from != nullptr);
    return loader.Run(out);
  }
  return StoreRange(*this, archive, tag, mode, from, to);
}

int CDocObjContainer::SplitCursorText(EditResult* out) {
  const int32_t index = children_.GetCursorIndex();
  CDocObject* current = children_.GetCurrent();
  if (current == nullptr || children_.GetCurrentType() != kObjectText) return 0;
  std::unique_ptr<CDocObject> rest(CreateChildObject(kObjectText));
  if (rest == nullptr) return 0;
  EditResult split;
  if (current->SplitInto(nullptr, rest.get(), &split) == 0) return 0;
  children_.AddHeightAt(index, split.heightDelta);
  const int32_t restHeight = WholeHeight(rest.get());
  CVedTextPos restStart;
  rest->MoveCursor(kMoveDocumentStart, &kStill, nullptr, &restStart);
  children_.InsertAt(index + 1, ChildEntry{rest.release(), kObjectText, restHeight, {}});
  EditResult result;
  result.changed = 1;
  result.rangeStart = split.rangeStart;
  result.newCursor = split.newCursor;
  result.PrefixChildren(index, index);
  restStart.PrependChild(index + 1);
  result.rangeEnd = restStart;
  result.heightDelta = split.heightDelta + restHeight;
  AdjustTrailingGrid(&result);
  if (out != nullptr) *out = result;
  return 1;
}
