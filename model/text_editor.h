// The editing part of a text engine: inserts, overwrites and deletes
// cells, applies formats to ranges, keeps every touched paragraph composed
// into lines and reports each change in an EditResult.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "model/doc_object.h"
#include "model/line_composer.h"
#include "model/text_formats.h"
#include "model/text_navigator.h"
#include "model/text_store.h"

class CDocRenderer;

class CTextEditor : public CTextStore {
 public:
  // Binds once; a second call on a bound editor changes nothing.
  int Init(CDocRenderer* renderer, PageFormat* pageFormat, DocObjOptions* options,
           CTextNavigator* navigator, CTextFormats* formats);

  int InsertText(const CVedTextPos* pos, std::string_view text, const CharCell& cellTemplate,
                 EditResult* out);
  int OverwriteText(const CVedTextPos* pos, std::string_view text, const CharCell& cellTemplate,
                    EditResult* out);
  int DeleteChar(const CVedTextPos* pos, EditResult* out);
  int DeleteRange(const CVedTextPos* from, const CVedTextPos* to, EditResult* out);
  int ApplyCharFont(const CharFormat& format, const CVedTextPos* from, const CVedTextPos* to,
                    EditResult* out);
  int ApplyDecoration(const CharDecoration& decoration, const CVedTextPos* from,
                      const CVedTextPos* to, EditResult* out);
  int ApplyDesign(const CharDesign& design, const CVedTextPos* from, const CVedTextPos* to,
                  EditResult* out);
  int ApplyParaFormat(const CVedTextPos* from, const CVedTextPos* to, const ParaFormat& format,
                      EditResult* out);
  int NewDocument(const CharCell& cellTemplate);
  int32_t LineRightEdge(NodeHandle paragraph) const;
  static void NoChangeResult(const CVedTextPos& pos, EditResult* out);

  // Line composition.
  NodeHandle ComposeLine(const ParagraphInfo& paragraph, NodeHandle first, NodeHandle last,
                         int32_t lineNumber, LineInfo* out);
  // Recomposes a paragraph from a line on (its first line when none);
  // adds the change of the paragraph's height to `heightDelta`. With
  // `cleanFrom`, the first of the cells at the paragraph's end that are as
  // they were when their lines were composed (and the paragraph's record
  // and line count right), the reflow ends at the first line past the
  // edit that begins where an old line began.
  int ReflowParagraph(NodeHandle paragraph, NodeHandle line, int32_t* heightDelta,
                      NodeHandle cleanFrom = kNoNode);
  int ReflowRange(const TextNodes& from, const TextNodes& to, int32_t* heightDelta);

  ParagraphInfo MakeDefaultParagraph() const;
  LineInfo MakeLineRecord(const ParagraphInfo& paragraph, bool firstLine) const;
  int MakeSpecialCell(uint16_t code, CharCell* out) const;
  // Gives a control cell (break, end of text) its display tag.
  static void SetDisplayTag(CharCell* cell);

  // Prepared cells, as a stored block brings them in.
  // Links a cell before the cell of `at`, in its line, without reflowing;
  // answers the new cell.
  NodeHandle LinkCellBefore(const TextNodes& at, const CharCell& cell);
  // The same for a run of cells, in order, with the line's record updated
  // once; `first` and `last` are the new cells at its ends (no node for
  // an empty run). 0 when not every cell could be linked.
  int LinkCellsBefore(const TextNodes& at, std::span<const CharCell> cells, NodeHandle* first,
                      NodeHandle* last);
  // Links a break cell (12 or 13) before the cell of `at` and splits the
  // paragraph after it: the paragraph that ends with the break takes the
  // `head` record, the new one after it `tail` (their line fields are
  // ignored). Both are reflowed and the change of their height is added to
  // `heightDelta`; `at` follows its cell and `breakNode` gets the break.
  int SplitParagraph(TextNodes* at, const CharCell& breakCell, const ParagraphInfo& head,
                     const ParagraphInfo& tail, int32_t* heightDelta, NodeHandle* breakNode);
  // Takes the anchors off the lines of `paragraph`: a line that moved into
  // it from another paragraph keeps its node, but a path its anchor holds
  // still names the paragraph it left.
  void DetachLineAnchors(NodeHandle paragraph);

 private:
  // Where text goes in: the cell it goes before, with its line and paragraph.
  struct InsertPoint {
    TextNodes nodes;
    int32_t inserted = 0;
    NodeHandle firstInserted = kNoNode;
    NodeHandle lastInserted = kNoNode;
  };

  int InsertChars(InsertPoint& at, std::string_view run, const CharCell& cellTemplate);
  int InsertTab(InsertPoint& at);
  int InsertBreak(InsertPoint& at, uint16_t code, int32_t* heightDelta);
  // Links a new cell before the insertion cell, keeping the line's range.
  NodeHandle LinkCell(InsertPoint& at, const CharCell& cell);
  // The same for a run of cells; 0 when not every cell could be linked.
  int LinkCells(InsertPoint& at, std::span<const CharCell> cells);
  int JoinAtBreak(NodeHandle paragraph, NodeHandle line, NodeHandle breakCell);
  // Takes a cell out of its line; a line it empties goes too, and its
  // height is taken off `heightDelta`.
  int RemoveCellFromLine(const TextNodes& nodes, int32_t* heightDelta);
  // What a reflow composed and what it took away.
  struct ReflowTally {
    int32_t composedLines = 0;
    int32_t oldLines = 0;
    int32_t oldHeight = 0;
    int32_t newHeight = 0;
  };
  // Whether one of the old lines from `next` on, no further than the
  // composition can have run ahead, begins at `start`; the old lines
  // before it are removed and counted as taken away.
  bool MeetLaterOldLine(const ParagraphInfo& paragraph, NodeHandle next, NodeHandle start,
                        NodeHandle oldLastLine, ReflowTally* tally);
  // Whether one of the old records written over begins at `start`; that
  // line and the old ones after it go back in after `line`.
  bool MeetOverwrittenLine(const ParagraphInfo& paragraph, NodeHandle line, NodeHandle start,
                           std::span<const LineInfo> overwritten, ReflowTally* tally);
  int RefreshNodes(TextNodes* nodes) const;
  bool EndsWithPageBreak(NodeHandle paragraph) const;
  bool LineHoldsCell(NodeHandle first, NodeHandle last, NodeHandle cell) const;
  static int32_t LineHeightWithGap(const ParagraphInfo& paragraph, const LineInfo& line, bool last);
  int32_t ParagraphHeight(NodeHandle paragraph) const;
  // The line-breaking classes of the page format's lists, read once for a
  // run of characters rather than searched for each.
  CKinsokuClassifier Kinsoku() const;
  void FillCharCell(uint16_t code, int32_t glyphWidth, const CharCell& cellTemplate,
                    const CKinsokuClassifier& kinsoku, CharCell* out) const;
  CVedTextPos ChangedFrom(const TextNodes& nodes) const;
  CVedTextPos WidenToLineStart(const TextNodes& start) const;
  template <typename Apply>
  int ApplyCellAttributes(const CVedTextPos* from, const CVedTextPos* to, Apply apply,
                          EditResult* out);
  // Joins a paragraph's lines and drops the spaces at its start and end,
  // as centring or right-aligning it does.
  int StripSpacesForAlignment(NodeHandle paragraph);
  template <typename Apply>
  int WalkCells(const CVedTextPos* from, const CVedTextPos* to, Apply apply, int32_t* visited,
                TextNodes* first, TextNodes* last);

  CDocRenderer* renderer_ = nullptr;
  PageFormat* pageFormat_ = nullptr;
  DocObjOptions* options_ = nullptr;
  CTextNavigator* navigator_ = nullptr;
  CTextFormats* formats_ = nullptr;
  CLineComposer composer_;
};
