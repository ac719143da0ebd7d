// The one interface through which every node of the document tree is
// reached: running text, ruled tables and their cells, grid areas and
// containers. Containers answer most operations by handing them to a child
// with the rest of the position path.
//
// Conventions: positions are paths (null means the cursor, or the start or
// end of the content where an operation says so); lengths and coordinates
// are twips measured from the top of the object's content; sizes of type
// are tenths of a point. Operations answer 1 for success and 0 for failure
// unless they say otherwise; nothing is thrown across this interface.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "model/attribute_records.h"
#include "model/page_format.h"
#include "model/position.h"
#include "platform/archive.h"
#include "platform/object.h"
#include "platform/windef.h"

class CDocRenderer;
class CEditFeedback;

// Object type numbers, used wherever an object's kind is stored or reported.
inline constexpr int32_t kObjectText = 1;
inline constexpr int32_t kObjectTable = 2;
inline constexpr int32_t kObjectGridArea = 17;

// Answers of CDocObject::MoveCursor. A move that could not be made at all
// (a position that does not map, a command the object does not answer) is
// a failure, never "moved".
inline constexpr int kMoveFailed = -1;
inline constexpr int kMoveDone = 0;
inline constexpr int kMoveBeforeStart = 1;
inline constexpr int kMoveAfterEnd = 2;
inline constexpr int kMoveStoppedAtLineStart = 3;
inline constexpr int kMoveStoppedAtLineEnd = 4;

// Answers of CDocObject::ComparePositions.
inline constexpr int kCompareBefore = -1;
inline constexpr int kCompareEqual = 0;
inline constexpr int kCompareAfter = 1;
inline constexpr int kCompareIncomparable = -2;

// Answers of CDocObject::CheckPageFormat.
inline constexpr int kFormatFits = 0;
inline constexpr int kFormatTooWide = 256;
inline constexpr int kFormatCellObjects = 512;
inline constexpr int kFormatCellObjectsOther = 1024;

// Format tags of CDocObject::SerializeRange.
inline constexpr int kFormatPlainText = 1;
inline constexpr int kFormatOwnBlock = 0xC000;
inline constexpr int kFormatBareText = 0xC001;

struct DocObjOptions {
  uint8_t freeCursor = 0;        // the cursor may stand beyond a line's end
  uint8_t followNeighbours = 0;  // inserted text takes the format around the caret
  uint8_t insertMode = 0;        // 1 insert, 0 overwrite
  uint8_t formFeedAllowed = 0;   // a page break may be typed into the text
  uint8_t flag = 0;

  static DocObjOptions ContainerDefaults() { return {1, 0, 1, 1, 0}; }
  // Bytes 0 and 1 are kept as 0 or 1 and byte 2 at most 1.
  DocObjOptions Normalized() const;
  bool operator==(const DocObjOptions&) const = default;
};

// What an edit changed, filled by every operation that changes content.
struct EditResult {
  int32_t changed = 0;
  CVedTextPos rangeStart;
  CVedTextPos rangeEnd;
  CVedTextPos newCursor;  // passed to SetCursor by the caller
  // The range checked for a table line taller than a page; empty when the
  // edit sets none.
  CVedTextPos startAux;
  CVedTextPos endAux;
  int32_t heightDelta = 0;  // twips; negative when the object shrank
  // Non-zero when the edit put in or took out a page break: the pages
  // change even where the height stays.
  int32_t pageBreakChanged = 0;

  // Puts a container's child index in front of every non-empty path: the
  // start child's index before the start paths, the end child's before the
  // others.
  void PrefixChildren(int32_t startChild, int32_t endChild);
};

// Element kind at a position: the innermost object's type, its sub-kind,
// and what the answering object says of the place.
using ObjectDescription = std::array<int32_t, 7>;
inline constexpr size_t kDescType = 0;
inline constexpr size_t kDescSubKind = 1;
inline constexpr size_t kDescPlace = 2;
inline constexpr size_t kDescArea = 3;
// A table describing a place in a cell's text puts the cell's own
// description from this slot on.
inline constexpr size_t kDescInCell = 2;
constexpr size_t InCellSlot(size_t slot) { return kDescInCell + slot; }

// Sub-kinds.
inline constexpr int32_t kSubKindText = 257;
inline constexpr int32_t kSubKindMarginLine = 258;  // in a text's left or right margin
inline constexpr int32_t kSubKindEndOfText = 259;
inline constexpr int32_t kSubKindCellText = 513;
inline constexpr int32_t kSubKindOnRules = 514;      // on a table's grid
inline constexpr int32_t kSubKindBesideTable = 515;  // left or right of a table

// Places in a text's margin, and the area of the margin line they lie in.
inline constexpr int32_t kPlaceRightMargin = 4097;
inline constexpr int32_t kPlaceLeftMargin = 4098;
inline constexpr int32_t kAreaMargin = 4113;
inline constexpr int32_t kAreaIndent = 4114;

// Places on a table's grid and beside it.
inline constexpr int32_t kPlaceHorizontalRule = 0x2001;
inline constexpr int32_t kPlaceVerticalRule = 0x2002;
inline constexpr int32_t kPlaceRuleCrossing = 0x2003;
inline constexpr int32_t kPlaceLeftOfTable = 0x2004;
inline constexpr int32_t kPlaceRightOfTable = 0x2005;

// Whether a described place lies in the text of a table's cell, or
// elsewhere in a table: on its rules.
inline bool InCellText(const ObjectDescription& d) {
  return d[kDescType] == kObjectTable && d[kDescSubKind] == kSubKindCellText;
}
inline bool OnTableRules(const ObjectDescription& d) {
  return d[kDescType] == kObjectTable && d[kDescSubKind] != kSubKindCellText;
}

// The line at a position.
struct LineMetrics {
  int32_t height = 0;  // line height plus its gap
  int32_t gap = 0;
  int32_t endKind = 0;  // what ends the line: see kLineEnd*
  CVedAnchor* anchor = nullptr;
};
inline constexpr int32_t kLineEndNone = 0;
inline constexpr int32_t kLineEndParagraph = 1;
inline constexpr int32_t kLineEndPageBreak = 2;
inline constexpr int32_t kLineEndText = 10;

// Directions of StepLine and StepPageLine.
inline constexpr int kLineThis = 0;
inline constexpr int kLineNext = 1;
inline constexpr int kLinePrevious = 2;

// A line that a walk over the page lines has reached. Its metrics and its
// position are made only when they are asked for: pagination walks every
// line of a document but needs the position of few of them.
class CPageLine {
 public:
  // What GetPageLineMetrics answers for the line. A walk may have measured
  // it ahead, before its visitor met the lines before it.
  virtual void GetMetrics(LineMetrics* out) const = 0;
  // The line's position, as StepPageLine steps to it.
  virtual void GetPosition(CVedTextPos* out) const = 0;

 protected:
  ~CPageLine() = default;
};

// What a walk over the page lines hands each line to, in document order.
class CPageLineVisitor {
 public:
  // False ends the walk.
  virtual bool VisitLine(const CPageLine& line) = 0;

 protected:
  ~CPageLineVisitor() = default;
};

// How a walk over the page lines ended: past the object's last line, or
// because the visitor ended it or a step stayed on its line.
enum class PageLineWalk { kLinesEnded, kStopped };

// The parameter block of MoveCursor.
struct MoveParams {
  int32_t setCursor = 1;
  int32_t value = 0;
  int32_t wrap = 1;
};

// What Draw reports: whether something was painted and the height painted
// (or, when nothing was, the height passed over).
struct DrawResult {
  int32_t painted = 0;
  int32_t height = 0;
};

// Anchor kinds.
inline constexpr int kAnchorLine = 1;
inline constexpr int kAnchorChar = 2;

class CDocObject : public platform::CObject {
 public:
  ~CDocObject() override = default;

  virtual int Initialize(CDocRenderer* renderer, CEditFeedback* feedback) = 0;
  virtual int Clear() = 0;
  virtual int SetPageFormat(const PageFormat* format) = 0;
  virtual int Reset() = 0;
  virtual int CheckPageFormat(const PageFormat* format) = 0;
  virtual int ApplyPageFormat(const PageFormat* format) = 0;
  virtual int GetPageFormat(PageFormat* out) = 0;
  virtual int SetOptions(const DocObjOptions* options) = 0;
  virtual DocObjOptions* GetOptions(DocObjOptions* out) = 0;
  virtual int GetKindAt(const CVedTextPos* pos, ObjectDescription* out) = 0;
  virtual platform::RECT* GetPositionRect(platform::RECT* out, int mode, const CVedTextPos* pos,
                                          const CVedTextPos* base) = 0;
  virtual platform::RECT* GetFrameRect(platform::RECT* out, const CVedTextPos* pos) = 0;
  virtual int GetLineColumn(int32_t* line, int32_t* column, const CVedTextPos* pos,
                            const CVedTextPos* base) = 0;
  virtual int PositionFromLineColumn(int32_t line, int32_t column, const CVedTextPos* base,
                                     CVedTextPos* out) = 0;
  virtual int32_t CountLines(const CVedTextPos* from, const CVedTextPos* to) = 0;
  virtual int32_t GetHeight(const CVedTextPos* from, const CVedTextPos* to) = 0;
  virtual LineMetrics* GetLineMetrics(LineMetrics* out, const CVedTextPos* pos) = 0;
  virtual LineMetrics* GetPageLineMetrics(LineMetrics* out, const CVedTextPos* pos) = 0;
  virtual int StepLine(const CVedTextPos* pos, int direction, CVedTextPos* out) = 0;
  virtual int StepPageLine(const CVedTextPos* pos, int direction, CVedTextPos* out) = 0;
  // Visits the page lines from the line of `from` (null: the first line)
  // as StepPageLine steps through them. The visitor may attach and detach
  // the anchors of the lines it has met; it changes nothing else. This
  // answer steps by positions; an object that can walk its lines without
  // making a position for each overrides it.
  virtual PageLineWalk WalkPageLines(const CVedTextPos* from, CPageLineVisitor& visitor);
  virtual int IsFirstLine(const CVedTextPos* pos) = 0;
  virtual int IsLastLine(const CVedTextPos* pos) = 0;
  virtual int IsEmpty() = 0;
  virtual int SetReferenceDC(platform::HDC dc) = 0;
  virtual int32_t CountChars() = 0;
  virtual int32_t CountAux() = 0;
  virtual int GetCursor(CVedTextPos* out) = 0;
  virtual int SetCursor(const CVedTextPos* pos) = 0;
  virtual int MoveCursor(int command, const MoveParams* params, const CVedTextPos* from,
                         CVedTextPos* out) = 0;
  virtual int32_t PositionFromPoint(int setCursor, const CVedTextPos* base, int32_t x, int32_t y,
                                    CVedTextPos* out) = 0;
  virtual int InsertText(std::string_view text, EditResult* out) = 0;
  virtual int DeleteChar(int kind, EditResult* out) = 0;
  virtual int DeleteRange(const CVedTextPos* from, const CVedTextPos* to, EditResult* out) = 0;
  virtual int AdjustRange(const CVedTextRange* in, CVedTextRange* out) = 0;
  virtual int FindText(int options, int direction, std::string_view text, CVedTextRange* out) = 0;
  virtual int Draw(const CVedTextPos* from, int flags, int32_t skipHeight, int flags2,
                   int32_t bandHeight, DrawResult* out) = 0;
  virtual int SetCharFormat(const CharFormat* format) = 0;
  virtual int GetCharFormat(CharFormat* out) = 0;
  virtual int ApplyFontValue(int32_t value, const CVedTextPos* from, const CVedTextPos* to) = 0;
  virtual int SetCharFont(const CharFormat* format, const CVedTextPos* from, const CVedTextPos* to,
                          EditResult* out) = 0;
  virtual int GetCharFont(CharFormat* out, const CVedTextPos* from, const CVedTextPos* to) = 0;
  virtual int SetCharDecoration(const CharDecoration* decoration, const CVedTextPos* from,
                                const CVedTextPos* to, EditResult* out) = 0;
  virtual int GetCharDecoration(CharDecoration* out, const CVedTextPos* from,
                                const CVedTextPos* to) = 0;
  virtual int SetCharDesign(const CharDesign* design, const CVedTextPos* from,
                            const CVedTextPos* to, EditResult* out) = 0;
  virtual int GetCharDesign(CharDesign* out, const CVedTextPos* from, const CVedTextPos* to) = 0;
  virtual int SetParaFormat(const ParaFormat* format, const CVedTextPos* from,
                            const CVedTextPos* to, EditResult* out) = 0;
  virtual int GetParaFormat(ParaFormat* out, const CVedTextPos* from, const CVedTextPos* to) = 0;
  virtual int GetCursorFormat(int flag, CharFormat* out) = 0;
  virtual int SetAnchor(int kind, CVedAnchor* anchor, const CVedTextPos* pos) = 0;
  virtual CVedAnchor* FindAnchor(int kind, const CVedTextPos* from, int next) = 0;
  virtual int SerializeRange(platform::CArchive& archive, int tag, int mode,
                             const CVedTextPos* from, const CVedTextPos* to, EditResult* out) = 0;
  virtual int MergeFrom(CDocObject* other, int flag, EditResult* out) = 0;
  virtual int SplitInto(const CVedTextPos* pos, CDocObject* other, EditResult* out) = 0;
  virtual int ComparePositions(const CVedTextPos* a, const CVedTextPos* b) = 0;
};

// Exchanges the two paths when the object orders `a` after `b`, so that `a`
// is the earlier one afterwards.
void OrderPositions(CDocObject& object, CVedTextPos& a, CVedTextPos& b);
