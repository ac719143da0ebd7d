// The part of a text engine that turns positions into store nodes and
// back, runs the caret moves, measures lines and cells for rectangles and
// the hit test, and reads formats over ranges. It only reads the store;
// making a position the caret is the engine's business.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "model/doc_object.h"
#include "model/position.h"
#include "model/text_formats.h"
#include "model/text_store.h"
#include "platform/windef.h"

// The three steps of a position inside a text.
inline constexpr uint32_t kTagParagraph = 0x101;
inline constexpr uint32_t kTagLine = 0x102;
inline constexpr uint32_t kTagCell = 0x103;

// Caret-move commands a text answers.
enum MoveCommand : int {
  kMovePrevChar = 1,
  kMoveNextChar = 2,
  kMoveLineUp = 3,
  kMoveLineDown = 4,
  kMoveLineStart = 17,
  kMoveLineEnd = 18,
  kMoveNextLineStart = 19,
  kMovePrevLineStart = 20,
  kMoveParagraphStart = 33,
  kMoveParagraphEnd = 34,
  kMoveNextParagraph = 35,
  kMovePrevParagraph = 36,
  kMoveWordStart = 49,
  kMoveNextWord = 51,
  kMovePrevWord = 52,
  kMoveDocumentStart = 65,
  kMoveDocumentEnd = 66,
  kMoveFirstLineAtX = 657,
  kMoveLastLineAtX = 658,
  kMoveLastLineStart = 659,
  kMoveLastParagraphStart = 660,
  kMoveLastWordStart = 661,
};

// Kinds of MoveByWord.
inline constexpr int kWordStart = 1;
inline constexpr int kWordPrevious = 2;
inline constexpr int kWordNext = 3;
inline constexpr int kWordLast = 9;

// Answers of the hit test within a line.
inline constexpr int kHitInLine = 1;
inline constexpr int kHitLeftOfLine = -3;
inline constexpr int kHitPastLine = -1;

// Where a search starts and which way it goes.
inline constexpr int kFindNext = 1;
inline constexpr int kFindPrevious = 2;
inline constexpr int kFindFromCaret = 3;
inline constexpr int kFindBackFromCaret = 4;
inline constexpr int kFindFromStart = 17;
inline constexpr int kFindFromEnd = 18;

// The nodes a text position names.
struct TextNodes {
  NodeHandle paragraph = kNoNode;
  NodeHandle line = kNoNode;
  NodeHandle cell = kNoNode;
};

// How far a cell moves the pen: its advance, the spacing after it, the two
// metrics of its font, and whether it is a control cell (which the caller
// then measures as an end mark).
struct CellAdvance {
  int32_t advance = 0;
  int32_t spacing = 0;
  int32_t metric1 = 0;
  int32_t metric2 = 0;
  bool control = false;
};

// What the free cursor needs of a line.
struct LineDescription {
  int32_t width = 0;
  int32_t height = 0;  // with its gap
  int32_t left = 0;    // margins
  int32_t right = 0;
  int32_t length = 0;  // bytes of its plain text
  int32_t endMarkColumns = 0;
};

class CTextNavigator : public CTextStore {
 public:
  // Binds once; a second call on a bound navigator changes nothing.
  int Init(CTextFormats* formats, CFontUseList* fontUse, DocObjOptions* options);

  // Positions and nodes.
  int MapPosition(const CVedTextPos* pos, TextNodes* out) const;
  static void MakePosition(const TextNodes& nodes, CVedTextPos* out);
  int GetStartPosition(CVedTextPos* out) const;
  int GetEndPosition(CVedTextPos* out) const;
  int StepBack(CVedTextPos* pos) const;
  int PositionOfCell(int kind, NodeHandle paragraph, NodeHandle line, NodeHandle cell,
                     CVedTextPos* out) const;
  // The position of a cell, looked for first in and next to the paragraph
  // of `hint`, then through the whole text.
  int LocateCell(NodeHandle cell, const TextNodes& hint, CVedTextPos* out) const;
  int32_t IndexInParent(int level, NodeHandle parent, NodeHandle node) const;
  int32_t CountSteps(int level, NodeHandle from, NodeHandle bound, NodeHandle to) const;
  // The paragraph of `neighbour`, the line after (before) the line of
  // `nodes`.
  NodeHandle ParagraphOfNeighbourLine(const TextNodes& nodes, NodeHandle neighbour,
                                      bool forward) const;
  // Whether `to` lies after `from` within the run of nodes from `first` to
  // `last`: walks out from `from` both ways at once, so the cost is the
  // distance between the two, not the run's length.
  bool FollowsWithin(int level, NodeHandle from, NodeHandle first, NodeHandle last,
                     NodeHandle to) const;
  int32_t CountLinesBetween(const TextNodes& a, const TextNodes& b) const;
  int PositionFromLineColumn(const CVedTextPos* base, int32_t* line, int32_t* column,
                             CVedTextPos* out) const;
  int IsControlCell(NodeHandle cell, uint16_t* code) const;

  // Moves and hit test. MoveCaret answers 1 when the command was carried
  // out (its outcome, 0 moved or an edge 1-4, in *result) and 0 when the
  // position does not map or a text does not answer the command.
  int MoveCaret(int command, const MoveParams& params, const CVedTextPos* from, CVedTextPos* out,
                int* result) const;
  int StepLine(const CVedTextPos* pos, int direction, CVedTextPos* out) const;
  // The nodes StepLine steps to without a position: the text's first line,
  // and the line after the one of `nodes`; each with its first cell.
  bool FirstLineStart(TextNodes* out) const;
  bool NextLineStart(TextNodes* nodes) const;
  // The metrics of the line of `nodes` (all 0 when its records are not
  // linked).
  void GetLineMetrics(const TextNodes& nodes, LineMetrics* out) const;
  // The same for several lines at once, as a walk measures them.
  void GetLineMetrics(std::span<const TextNodes> nodes, std::span<LineMetrics> out) const;
  int32_t PositionFromPoint(const CVedTextPos* base, int32_t x, int32_t y, CVedTextPos* out) const;
  int PositionAtHeight(const CVedTextPos* pos, int32_t height, int kind, CVedTextPos* out,
                       int32_t* consumed) const;
  NodeHandle CellAtX(NodeHandle paragraph, NodeHandle line, int32_t x) const;
  int CellAtXInLine(int32_t x, NodeHandle paragraph, NodeHandle line, NodeHandle* out) const;
  // Word moves over the folded forms; `edge` is set when no word was left.
  int MoveByWord(int kind, TextNodes* nodes, bool* edge) const;

  // Finds text exactly (same codes) or folded (case, width, kana and
  // bracket families alike); 1 with the first and last cell of the match.
  int SearchText(int exact, int direction, std::string_view text, CVedTextPos* rangeStart,
                 CVedTextPos* rangeEnd) const;
  static std::vector<uint16_t> ToCodes(std::string_view text);

  // Measuring, all in twips.
  int GetLineHeight(NodeHandle line, int32_t gap, int32_t* width, int32_t* height) const;
  int SumLines(const ParagraphInfo& paragraph, bool lastGap, NodeHandle first, NodeHandle last,
               int32_t* widest, int32_t* height) const;
  int MeasureParagraph(bool lastGap, NodeHandle paragraph, int32_t* widest, int32_t* height) const;
  int MeasureBetween(const TextNodes& from, const TextNodes& to, bool lastGap, int32_t* widest,
                     int32_t* height) const;
  // Answers the number of cells measured.
  int32_t MeasureRun(NodeHandle first, NodeHandle last, bool includeLastSpacing,
                     platform::SIZE* size, int32_t* baseline) const;
  // The width the cells from first to last take when drawn: each cell's
  // glyph width plus its cell width.
  int32_t DrawnWidth(NodeHandle first, NodeHandle last) const;
  int GetCellAdvance(NodeHandle cell, bool withMetrics, CellAdvance* out) const;
  int GetControlAdvance(NodeHandle line, NodeHandle cell, CellAdvance* out) const;
  // Advance of any cell, control cells as end marks.
  int GetAnyCellAdvance(NodeHandle line, NodeHandle cell, CellAdvance* out) const;
  int GetCellRect(NodeHandle paragraph, NodeHandle line, NodeHandle cell, int mode,
                  platform::RECT* out) const;
  int DescribeLine(NodeHandle paragraph, NodeHandle line, LineDescription* out) const;
  // The gap below a line: the paragraph gap under its paragraph's last line.
  int32_t GapBelow(const ParagraphInfo& paragraph, NodeHandle line) const;

  // Formats common to a range (both ends included).
  int GetRangeFont(const TextNodes& from, const TextNodes& to, CharFormat* out) const;
  int GetRangeDecoration(const TextNodes& from, const TextNodes& to, CharDecoration* out) const;
  int GetRangeDesign(const TextNodes& from, const TextNodes& to, CharDesign* out) const;
  int GetRangeParaFormat(const TextNodes& from, const TextNodes& to, ParaFormat* out) const;
  // The two insertion templates: the first for general text, the second
  // for plain ASCII text.
  int GetInsertFormat(CharCell* firstCell, CharFontState* firstFont, CharCell* secondCell,
                      CharFontState* secondFont) const;

 private:
  bool FindCellInParagraph(NodeHandle paragraph, NodeHandle cell, TextNodes* out) const;
  // What looking for a cell in one line found.
  enum class LineSearch { kFound, kNotHere, kParagraphEnd, kLeftParagraph };
  LineSearch SearchLine(NodeHandle line, NodeHandle cell) const;
  // The cell looked for in the hint's line and the lines around it, in the
  // hint's paragraph.
  bool FindCellNearLine(const TextNodes& hint, NodeHandle cell, TextNodes* out) const;
  // The next (or previous) line in the line list with its paragraph.
  bool NextLine(TextNodes* nodes) const;
  bool PrevLine(TextNodes* nodes) const;
  bool FirstCellOfLine(TextNodes* nodes) const;
  bool LastCellOfLine(TextNodes* nodes) const;
  bool IsSpace(NodeHandle cell) const;
  bool IsStopMark(NodeHandle cell) const;
  bool IsSpaceOrMark(NodeHandle cell) const;
  bool IsWordBreak(NodeHandle cell) const;
  bool StepCell(TextNodes* nodes, bool forward) const;
  void WordStart(TextNodes* nodes) const;
  bool NextWord(TextNodes* nodes) const;
  bool MatchExact(const std::vector<uint16_t>& codes, NodeHandle candidate, bool forward,
                  NodeHandle* first, NodeHandle* last) const;
  bool MatchFolded(std::string_view pattern, NodeHandle candidate, bool forward, NodeHandle* first,
                   NodeHandle* last) const;
  int MoveCommandOn(int command, const MoveParams& params, TextNodes* nodes, bool* edge) const;

  CTextFormats* formats_ = nullptr;
  CFontUseList* fontUse_ = nullptr;
  DocObjOptions* options_ = nullptr;
};
