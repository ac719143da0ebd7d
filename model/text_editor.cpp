#include "model/text_editor.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include "model/renderer.h"
#include "platform/sjis.h"

namespace {

constexpr char kTagTab[2] = {' ', '\0'};
constexpr char kTagPage[2] = {'P', 'A'};
constexpr char kTagCr[2] = {'C', 'R'};
constexpr char kTagEnd[2] = {'E', 'T'};

constexpr char kTab = '\t';
constexpr char kFormFeed = '\f';
constexpr char kCr = '\r';
constexpr char kLf = '\n';

// CR LF, a lone LF and a lone CR each end a paragraph: texts come from
// files and programs with every one of these line ends.
bool IsParagraphEnd(char c) { return c == kCr || c == kLf; }

bool IsRunBreak(char c) { return c == kTab || c == kFormFeed || IsParagraphEnd(c); }

// What composing passes for any line but a paragraph's first.
constexpr int32_t kLaterLineNumber = 2;
// How many lines the new composition may run ahead of or behind the old
// lines and still be found meeting them: an edit that changes the line
// count past a long stretch of reflowed text meets its old lines again one
// or two lines off.
constexpr int32_t kLineShiftReach = 4;

bool IsLineEndCode(uint16_t code) {
  return code == kCodeParagraphEnd || code == kCodePageBreak || code == kCodeEndOfText;
}

const char* TagOf(uint16_t code) {
  switch (code) {
    case kCodePageBreak:
      return kTagPage;
    case kCodeParagraphEnd:
    case kCodeCrLf:
      return kTagCr;
    case kCodeEndOfText:
      return kTagEnd;
    default:
      return kTagTab;
  }
}

}  // namespace

int CTextEditor::Init(CDocRenderer* renderer, PageFormat* pageFormat, DocObjOptions* options,
                      CTextNavigator* navigator, CTextFormats* formats) {
  if (IsBound() && pageFormat_ != nullptr && navigator_ != nullptr && formats_ != nullptr) {
    return 1;
  }
  renderer_ = renderer;
  pageFormat_ = pageFormat;
  options_ = options;
  navigator_ = navigator;
  formats_ = formats;
  return pageFormat_ != nullptr && navigator_ != nullptr && formats_ != nullptr ? 1 : 0;
}

ParagraphInfo CTextEditor::MakeDefaultParagraph() const {
  ParagraphInfo p;
  p.textWidth = pageFormat_->textWidth;
  p.textHeight = pageFormat_->textHeight;
  p.lineGap = pageFormat_->lineGap;
  p.paragraphGap = pageFormat_->lineGap;
  p.firstIndent = pageFormat_->firstIndent;
  p.leftIndent = pageFormat_->leftIndent;
  p.rightIndent = pageFormat_->rightIndent;
  p.vertical = static_cast<uint8_t>(pageFormat_->vertical);
  p.alignment = kAlignJustify;
  return p;
}

LineInfo CTextEditor::MakeLineRecord(const ParagraphInfo& paragraph, bool firstLine) const {
  LineInfo line;
  line.xOffset = firstLine ? paragraph.firstIndent : paragraph.leftIndent;
  return line;
}

int CTextEditor::MakeSpecialCell(uint16_t code, CharCell* out) const {
  CharFontState base;
  std::memcpy(base.face, pageFormat_->face, kFaceNameSize);
  base.size = pageFormat_->fontSize;
  base.heightScale = pageFormat_->heightScale;
  base.widthScale = pageFormat_->widthScale;
  base.bold = pageFormat_->bold;
  base.italic = pageFormat_->italic;
  if (formats_->ResolveFont(pageFormat_->referenceDC, base) == nullptr) return 0;
  *out = CharCell{};
  out->code = code;
  SetDisplayTag(out);
  out->fontId = base.fontId;
  return 1;
}

void CTextEditor::SetDisplayTag(CharCell* cell) {
  std::memcpy(cell->tag, TagOf(cell->code), sizeof cell->tag);
}

int32_t CTextEditor::LineRightEdge(NodeHandle paragraph) const {
  ParagraphInfo info;
  if (GetInfo(paragraph, info) == 0) return 0;
  return info.textWidth - info.rightIndent;
}

void CTextEditor::NoChangeResult(const CVedTextPos& pos, EditResult* out) {
  out->changed = 0;
  out->heightDelta = 0;
  out->pageBreakChanged = 0;
  out->rangeStart = out->rangeEnd = out->newCursor = out->startAux = out->endAux = pos;
}

int CTextEditor::NewDocument(const CharCell& cellTemplate) {
  ClearAll();
  const ParagraphInfo defaults = MakeDefaultParagraph();
  const NodeHandle paragraph = InsertAfter(kNoNode, defaults);
  CharCell end = cellTemplate;
  end.code = kCodeEndOfText;
  std::memcpy(end.tag, kTagEnd, sizeof end.tag);
  // Like every special cell the end mark has no glyph, so that it adds
  // nothing to its line's used width.
  end.glyphWidth = 0;
  const NodeHandle cell = InsertBefore(kNoNode, end);
  LineInfo line = MakeLineRecord(defaults, true);
  line.firstCell = line.lastCell = cell;
  line.cellCount = 1;
  const NodeHandle lineNode = InsertAfter(kNoNode, line);
  ParagraphInfo info = defaults;
  info.firstLine = info.lastLine = lineNode;
  info.lineCount = 1;
  if (paragraph == kNoNode || cell == kNoNode || lineNode == kNoNode ||
      SetInfo(paragraph, info) == 0) {
    return 0;
  }
  int32_t delta = 0;
  if (ReflowParagraph(paragraph, lineNode, &delta) == 0) return 0;
  SetCurrentNode(kLevelParagraph, paragraph);
  SetCurrentNode(kLevelLine, lineNode);
  SetCurrentNode(kLevelCell, cell);
  return 1;
}

NodeHandle CTextEditor::ComposeLine(const ParagraphInfo& paragraph, NodeHandle first,
                                    NodeHandle last, int32_t lineNumber, LineInfo* out) {
  const int32_t indent = lineNumber == 1 ? paragraph.firstIndent : paragraph.leftIndent;
  const int32_t available = paragraph.textWidth - paragraph.rightIndent - indent;
  FitResult fit;
  const NodeHandle end = composer_.FitLine(*this, *formats_, first, last, available, &fit);
  if (end == kNoNode) return kNoNode;
  out->usedWidth = fit.usedWidth;
  out->height = fit.lineHeight;
  out->baseline = fit.baseline;
  out->composerFlag = fit.kinsokuShift != 0 ? 1 : 0;
  out->cellCount = fit.cellCount;
  out->firstCell = first;
  out->lastCell = end;
  out->xOffset = indent;

  CharCell lastCell;
  if (GetInfo(end, lastCell) == 0) return kNoNode;
  const bool endsWithMark = IsLineEndCode(lastCell.code);
  if (paragraph.alignment == kAlignCenter || paragraph.alignment == kAlignRight) {
    NodeHandle measured = end;
    if (endsWithMark && end != first) measured = Navigate(kLevelCell, kNavPrevious, end);
    CharCell m;
    if (GetInfo(measured, m) == 0) return kNoNode;
    const int32_t free = available - fit.usedWidth + m.cellWidth;
    out->xOffset = indent + (paragraph.alignment == kAlignCenter ? free / 2 : free);
    return end;
  }
  const int32_t gaps = fit.cellCount - 1;
  const int32_t free = available - fit.usedWidth;
  if (endsWithMark || gaps < 1 || free / gaps < 1) return end;
  const int32_t share = free / gaps;
  int32_t extra = free % gaps;
  NodeHandle node = first;
  for (int32_t i = 0; i < gaps; ++i, node = Navigate(kLevelCell, kNavNext, node)) {
    CharCell cell;
    if (GetInfo(node, cell) == 0) return kNoNode;
    const int32_t add = share + (extra > 0 ? 1 : 0);
    if (extra > 0) --extra;
    cell.cellWidth += add;
    out->usedWidth += add;
    SetInfo(node, cell);
  }
  return end;
}

int32_t CTextEditor::ParagraphHeight(NodeHandle paragraph) const {
  int32_t widest = 0;
  int32_t height = 0;
  navigator_->MeasureParagraph(true, paragraph, &widest, &height);
  return height;
}

bool CTextEditor::LineHoldsCell(NodeHandle first, NodeHandle last, NodeHandle cell) const {
  for (NodeHandle c = first; c != kNoNode; c = Navigate(kLevelCell, kNavNext, c)) {
    if (c == cell) return true;
    if (c == last) break;
  }
  return false;
}

int32_t CTextEditor::LineHeightWithGap(const ParagraphInfo& paragraph, const LineInfo& line,
                                       bool last) {
  return line.height + (last ? paragraph.paragraphGap : paragraph.lineGap);
}

int CTextEditor::ReflowParagraph(NodeHandle paragraph, NodeHandle line, int32_t* heightDelta,
                                 NodeHandle cleanFrom) {
  ParagraphInfo info;
  if (GetInfo(paragraph, info) == 0) return 0;
  LineInfo lastLine;
  if (GetInfo(info.lastLine, lastLine) == 0) return 0;
  const NodeHandle lastCell = lastLine.lastCell;
  const NodeHandle oldLastLine = info.lastLine;

  if (line == kNoNode) line = info.firstLine;
  if (line != info.firstLine) line = Navigate(kLevelLine, kNavPrevious, line);
  // A reflow that may end early does not count from the paragraph's start
  // (that walk alone would cost as much as the whole paragraph); its
  // caller keeps the line count right, and composing tells only the first
  // line apart from the others.
  const bool mayEndEarly = cleanFrom != kNoNode;
  int32_t number = line == info.firstLine ? 1 : kLaterLineNumber;
  if (!mayEndEarly) {
    number = navigator_->IndexInParent(kLevelLine, paragraph, line);
    if (number == 0) return 0;
  }
  LineInfo current;
  if (GetInfo(line, current) == 0) return 0;
  NodeHandle cell = current.firstCell;
  bool pastOldLines = false;
  bool reachedClean = false;
  ReflowTally tally;
  // The old records most recently written over, oldest first, so that a
  // composition running behind the old lines can still meet one of them.
  std::array<LineInfo, kLineShiftReach> overwritten{};
  int32_t overwrittenCount = 0;
  bool endedEarly = false;
  while (true) {
    LineInfo composed;
    if (GetInfo(line, composed) == 0) return 0;
    if (!pastOldLines) {
      ++tally.oldLines;
      tally.oldHeight += LineHeightWithGap(info, composed, line == oldLastLine);
      if (overwrittenCount == kLineShiftReach) {
        std::move(overwritten.begin() + 1, overwritten.end(), overwritten.begin());
        --overwrittenCount;
      }
      overwritten[overwrittenCount++] = composed;
    }
    const NodeHandle end = ComposeLine(info, cell, lastCell, number, &composed);
    if (end == kNoNode) return 0;
    SetInfo(line, composed);
    ++tally.composedLines;
    tally.newHeight += LineHeightWithGap(info, composed, end == lastCell);
    if (end == lastCell) break;
    if (mayEndEarly && !reachedClean) reachedClean = LineHoldsCell(cell, end, cleanFrom);
    cell = Navigate(kLevelCell, kNavNext, end);
    ++number;
    if (line == oldLastLine) pastOldLines = true;
    const NodeHandle next = pastOldLines ? kNoNode : Navigate(kLevelLine, kNavNext, line);
    // Past the edit, a line that begins where an old line began is that
    // old line again, and so is every line after it. A line that begins
    // at the first clean cell itself may be the line the edit changed.
    if (next != kNoNode && reachedClean &&
        (MeetLaterOldLine(info, next, cell, oldLastLine, &tally) ||
         MeetOverwrittenLine(info, line, cell, std::span(overwritten.data(), overwrittenCount),
                             &tally))) {
      endedEarly = true;
      break;
    }
    line = next != kNoNode ? next : InsertAfter(line, MakeLineRecord(info, false));
    if (line == kNoNode) return 0;
  }
  if (!endedEarly && !pastOldLines && line != oldLastLine) {
    const NodeHandle firstLeftOver = Navigate(kLevelLine, kNavNext, line);
    for (NodeHandle l = firstLeftOver; l != kNoNode; l = Navigate(kLevelLine, kNavNext, l)) {
      LineInfo leftOver;
      if (GetInfo(l, leftOver) == 0) return 0;
      ++tally.oldLines;
      tally.oldHeight += LineHeightWithGap(info, leftOver, l == oldLastLine);
      if (l == oldLastLine) break;
    }
    RemoveRange(kLevelLine, firstLeftOver, oldLastLine);
  }
  if (!endedEarly) info.lastLine = line;
  info.lineCount = mayEndEarly ? info.lineCount + tally.composedLines - tally.oldLines : number;
  SetInfo(paragraph, info);
  *heightDelta += tally.newHeight - tally.oldHeight;
  return 1;
}

bool CTextEditor::MeetLaterOldLine(const ParagraphInfo& paragraph, NodeHandle next,
                                   NodeHandle start, NodeHandle oldLastLine, ReflowTally* tally) {
  // The old lines before the one that begins at `start` are gone: the
  // new lines hold their cells.
  int32_t skippedLines = 0;
  int32_t skippedHeight = 0;
  NodeHandle old = next;
  for (int32_t reach = 0; reach < kLineShiftReach && old != kNoNode; ++reach) {
    LineInfo record;
    if (GetInfo(old, record) == 0) return false;
    if (record.firstCell == start) {
      if (skippedLines > 0) RemoveRange(kLevelLine, next, Navigate(kLevelLine, kNavPrevious, old));
      tally->oldLines += skippedLines;
      tally->oldHeight += skippedHeight;
      return true;
    }
    if (old == oldLastLine) return false;
    ++skippedLines;
    skippedHeight += LineHeightWithGap(paragraph, record, false);
    old = Navigate(kLevelLine, kNavNext, old);
  }
  return false;
}

bool CTextEditor::MeetOverwrittenLine(const ParagraphInfo& paragraph, NodeHandle line,
                                      NodeHandle start, std::span<const LineInfo> overwritten,
                                      ReflowTally* tally) {
  // The newest record written over holds the line just composed; the ones
  // before it are old lines the composition has not reached yet when it
  // runs behind them.
  for (size_t first = 0; first < overwritten.size(); ++first) {
    if (overwritten[first].firstCell != start) continue;
    NodeHandle after = line;
    for (size_t i = first; i < overwritten.size(); ++i) {
      LineInfo restored = overwritten[i];
      // A page record stays with the node it was attached to.
      restored.anchor = nullptr;
      after = InsertAfter(after, restored);
      if (after == kNoNode) return false;
      ++tally->composedLines;
      tally->newHeight += LineHeightWithGap(paragraph, restored, false);
    }
    return true;
  }
  return false;
}

int CTextEditor::ReflowRange(const TextNodes& from, const TextNodes& to, int32_t* heightDelta) {
  if (ReflowParagraph(from.paragraph, from.line, heightDelta) == 0) return 0;
  for (NodeHandle p = from.paragraph; p != to.paragraph;) {
    p = Navigate(kLevelParagraph, kNavNext, p);
    if (p == kNoNode || ReflowParagraph(p, kNoNode, heightDelta) == 0) return 0;
  }
  return 1;
}

int CTextEditor::RefreshNodes(TextNodes* nodes) const {
  CVedTextPos found;
  if (navigator_->LocateCell(nodes->cell, *nodes, &found) == 0) return 0;
  return navigator_->MapPosition(&found, nodes);
}

NodeHandle CTextEditor::LinkCellBefore(const TextNodes& at, const CharCell& cell) {
  NodeHandle added = kNoNode;
  NodeHandle same = kNoNode;
  return LinkCellsBefore(at, {&cell, 1}, &added, &same) != 0 ? added : kNoNode;
}

int CTextEditor::LinkCellsBefore(const TextNodes& at, std::span<const CharCell> cells,
                                 NodeHandle* first, NodeHandle* last) {
  *first = *last = kNoNode;
  LineInfo line;
  if (GetInfo(at.line, line) == 0) return 0;
  int32_t linked = 0;
  for (const CharCell& cell : cells) {
    if (InsertBefore(at.cell, cell) == kNoNode) break;
    if (linked++ == 0) *first = Navigate(kLevelCell, kNavPrevious, at.cell);
  }
  if (linked > 0) {
    *last = Navigate(kLevelCell, kNavPrevious, at.cell);
    if (line.firstCell == at.cell) line.firstCell = *first;
    line.cellCount += linked;
    SetInfo(at.line, line);
  }
  return linked == static_cast<int32_t>(cells.size()) ? 1 : 0;
}

NodeHandle CTextEditor::LinkCell(InsertPoint& at, const CharCell& cell) {
  const NodeHandle added = LinkCellBefore(at.nodes, cell);
  if (added != kNoNode) {
    if (at.firstInserted == kNoNode) at.firstInserted = added;
    at.lastInserted = added;
  }
  return added;
}

int CTextEditor::LinkCells(InsertPoint& at, std::span<const CharCell> cells) {
  NodeHandle first = kNoNode;
  NodeHandle last = kNoNode;
  const int linked = LinkCellsBefore(at.nodes, cells, &first, &last);
  if (first != kNoNode) {
    if (at.firstInserted == kNoNode) at.firstInserted = first;
    at.lastInserted = last;
  }
  if (linked != 0) at.inserted += static_cast<int32_t>(cells.size());
  return linked;
}

void CTextEditor::FillCharCell(uint16_t code, int32_t glyphWidth, const CharCell& cellTemplate,
                               const CKinsokuClassifier& kinsoku, CharCell* out) const {
  *out = cellTemplate;
  out->code = code;
  out->glyphWidth = glyphWidth;
  out->cellWidth = pageFormat_->charGap * (code > 0xFF ? 2 : 1);
  out->adjustment = 0;
  out->anchor = nullptr;
  CLineComposer::FoldChar(code, out->tag);
  out->breakClass = kinsoku.ClassOf(code);
  out->squeeze = CLineComposer::IsSqueezable(code) ? 1 : 0;
}

CKinsokuClassifier CTextEditor::Kinsoku() const {
  if (pageFormat_ == nullptr) return CKinsokuClassifier(nullptr, nullptr);
  return CKinsokuClassifier(pageFormat_->lineStartChars, pageFormat_->lineEndChars);
}

int CTextEditor::InsertChars(InsertPoint& at, std::string_view run, const CharCell& cellTemplate) {
  std::vector<int32_t> widths;
  if (!formats_->GetCharWidths(cellTemplate.fontId, run, &widths)) return 0;
  // Linked as one run, so that the line's record is read and written once
  // rather than once a character.
  std::vector<CharCell> cells(widths.size());
  const CKinsokuClassifier kinsoku = Kinsoku();
  size_t character = 0;
  for (size_t i = 0; i < run.size(); i += platform::CharLengthAt(run, i), ++character) {
    FillCharCell(platform::CharCodeAt(run, i), widths[character], cellTemplate, kinsoku,
                 &cells[character]);
  }
  return LinkCells(at, cells);
}

int CTextEditor::InsertTab(InsertPoint& at) {
  const int32_t interval = pageFormat_->tabInterval;
  const int32_t pitch = pageFormat_->charPitch;
  if (interval <= 0 || pitch <= 0) return 1;
  LineInfo line;
  if (GetInfo(at.nodes.line, line) == 0) return 0;
  int32_t x = line.xOffset;
  if (at.nodes.cell != line.firstCell) {
    x += navigator_->DrawnWidth(line.firstCell, Navigate(kLevelCell, kNavPrevious, at.nodes.cell));
  }
  const int32_t gap = interval - x % interval;
  int32_t count = gap / pitch;
  if (count == 0) count = (gap + interval) / pitch;
  const int32_t rightEdge = LineRightEdge(at.nodes.paragraph);
  while (count > 0 && x + count * pitch > rightEdge) --count;
  CharCell blank;
  if (MakeSpecialCell(kCodeBlank, &blank) == 0) return 0;
  blank.glyphWidth = pitch - pageFormat_->charGap;
  blank.cellWidth = pageFormat_->charGap;
  for (int32_t i = 0; i < count; ++i) {
    if (LinkCell(at, blank) == kNoNode) return 0;
  }
  at.inserted += count;
  return 1;
}

int CTextEditor::InsertBreak(InsertPoint& at, uint16_t code, int32_t* heightDelta) {
  CharCell breakCell;
  if (MakeSpecialCell(code, &breakCell) == 0) return 0;
  ParagraphInfo old;
  LineInfo line;
  if (GetInfo(at.nodes.paragraph, old) == 0 || GetInfo(at.nodes.line, line) == 0) return 0;
  const bool atParagraphStart = line.firstCell == at.nodes.cell && old.firstLine == at.nodes.line;
  ParagraphInfo defaults = MakeDefaultParagraph();
  if (options_ != nullptr && options_->flag != 0) {
    defaults.firstIndent = old.firstIndent;
    defaults.leftIndent = old.leftIndent;
    defaults.rightIndent = old.rightIndent;
  }
  const ParagraphInfo& head = atParagraphStart ? defaults : old;
  const ParagraphInfo& tail = atParagraphStart ? old : defaults;
  NodeHandle breakNode = kNoNode;
  if (SplitParagraph(&at.nodes, breakCell, head, tail, heightDelta, &breakNode) == 0) return 0;
  if (at.firstInserted == kNoNode) at.firstInserted = breakNode;
  at.lastInserted = breakNode;
  ++at.inserted;
  return 1;
}

int CTextEditor::SplitParagraph(TextNodes* at, const CharCell& breakCell, const ParagraphInfo& head,
                                const ParagraphInfo& tail, int32_t* heightDelta,
                                NodeHandle* breakNode) {
  if (breakCell.code != kCodeParagraphEnd && breakCell.code != kCodePageBreak) return 0;
  const int32_t before = ParagraphHeight(at->paragraph);
  ParagraphInfo old;
  if (GetInfo(at->paragraph, old) == 0) return 0;
  const NodeHandle added = LinkCellBefore(*at, breakCell);
  LineInfo line;
  if (added == kNoNode || GetInfo(at->line, line) == 0) return 0;
  *breakNode = added;

  // The cells from the insertion cell on form a new paragraph with a new line.
  LineInfo tailLineRecord = MakeLineRecord(tail, true);
  tailLineRecord.firstCell = at->cell;
  tailLineRecord.lastCell = line.lastCell;
  line.lastCell = added;
  SetInfo(at->line, line);
  const NodeHandle tailLine = InsertAfter(at->line, tailLineRecord);

  ParagraphInfo first = head;
  ParagraphInfo rest = tail;
  first.firstLine = old.firstLine;
  first.lastLine = at->line;
  rest.firstLine = tailLine;
  rest.lastLine = old.lastLine == at->line ? tailLine : old.lastLine;
  const NodeHandle restParagraph = InsertAfter(at->paragraph, rest);
  if (tailLine == kNoNode || restParagraph == kNoNode) return 0;
  SetInfo(at->paragraph, first);

  int32_t ignored = 0;
  if (ReflowParagraph(at->paragraph, at->line, &ignored) == 0 ||
      ReflowParagraph(restParagraph, kNoNode, &ignored) == 0) {
    return 0;
  }
  if (old.lastLine != at->line) DetachLineAnchors(restParagraph);
  *heightDelta += ParagraphHeight(at->paragraph) + ParagraphHeight(restParagraph) - before;
  at->paragraph = restParagraph;
  return RefreshNodes(at);
}

void CTextEditor::DetachLineAnchors(NodeHandle paragraph) {
  ParagraphInfo info;
  if (GetInfo(paragraph, info) == 0) return;
  for (NodeHandle line = info.firstLine; line != kNoNode;
       line = Navigate(kLevelLine, kNavNext, line)) {
    LineInfo record;
    if (GetInfo(line, record) != 0 && record.anchor != nullptr) {
      record.anchor = nullptr;
      SetInfo(line, record);
    }
    if (line == info.lastLine) break;
  }
}

CVedTextPos CTextEditor::ChangedFrom(const TextNodes& nodes) const {
  TextNodes start = nodes;
  ParagraphInfo paragraph;
  if (GetInfo(nodes.paragraph, paragraph) != 0 && paragraph.firstLine != nodes.line) {
    start.line = Navigate(kLevelLine, kNavPrevious, nodes.line);
  }
  start.cell = GetChild(kLevelCell, false, start.line);
  CVedTextPos pos;
  CTextNavigator::MakePosition(start, &pos);
  return pos;
}

int CTextEditor::InsertText(const CVedTextPos* pos, std::string_view text,
                            const CharCell& cellTemplate, EditResult* out) {
  InsertPoint at;
  if (text.empty() || navigator_->MapPosition(pos, &at.nodes) == 0) return 0;
  const TextNodes start = at.nodes;
  CVedTextPos rangeStart = ChangedFrom(start);
  TextNodes changedStart;
  const bool startsAtInsertion =
      navigator_->MapPosition(&rangeStart, &changedStart) != 0 && changedStart.cell == start.cell;
  int32_t heightDelta = 0;
  bool pageBreak = false;
  size_t i = 0;
  while (i < text.size()) {
    const char c = text[i];
    int ok = 1;
    if (c == kTab) {
      ok = InsertTab(at);
      ++i;
    } else if (IsParagraphEnd(c) || c == kFormFeed) {
      pageBreak = pageBreak || c == kFormFeed;
      ok = InsertBreak(at, c == kFormFeed ? kCodePageBreak : kCodeParagraphEnd, &heightDelta);
      ++i;
      if (c == kCr && i < text.size() && text[i] == kLf) ++i;
    } else {
      size_t end = i;
      while (end < text.size() && !IsRunBreak(text[end])) end += platform::CharLengthAt(text, end);
      ok = InsertChars(at, text.substr(i, end - i), cellTemplate);
      i = end;
    }
    // Cells a failed step already linked are composed all the same, so
    // that the store stays whole when the insertion answers 0.
    const bool composed =
        RefreshNodes(&at.nodes) != 0 &&
        ReflowParagraph(at.nodes.paragraph, at.nodes.line, &heightDelta, at.nodes.cell) != 0;
    if (ok == 0 || !composed) return 0;
  }
  out->changed = at.inserted;
  // A range that started at the insertion cell itself would now start
  // after the inserted cells: it starts at the first of them instead.
  TextNodes first = at.nodes;
  first.cell = at.firstInserted;
  if (startsAtInsertion && first.cell != kNoNode && RefreshNodes(&first) != 0) {
    rangeStart = ChangedFrom(first);
  }
  out->rangeStart = rangeStart;
  TextNodes last = at.nodes;
  last.cell = at.lastInserted != kNoNode ? at.lastInserted : at.nodes.cell;
  if (RefreshNodes(&last) == 0) return 0;
  CTextNavigator::MakePosition(last, &out->rangeEnd);
  // The last reflow may have moved the following cell to another line.
  if (RefreshNodes(&at.nodes) == 0) return 0;
  CTextNavigator::MakePosition(at.nodes, &out->newCursor);
  out->startAux = CVedTextPos();
  out->endAux = CVedTextPos();
  out->heightDelta = heightDelta;
  out->pageBreakChanged = pageBreak ? 1 : 0;
  return 1;
}

int CTextEditor::OverwriteText(const CVedTextPos* pos, std::string_view text,
                               const CharCell& cellTemplate, EditResult* out) {
  if (!text.empty() && (IsParagraphEnd(text[0]) || text[0] == kFormFeed)) {
    return InsertText(pos, text, cellTemplate, out);
  }
  TextNodes nodes;
  if (text.empty() || navigator_->MapPosition(pos, &nodes) == 0) return 0;
  const TextNodes start = nodes;
  const CVedTextPos rangeStart = ChangedFrom(nodes);
  std::vector<int32_t> widths;
  formats_->GetCharWidths(cellTemplate.fontId, text, &widths);
  const CKinsokuClassifier kinsoku = Kinsoku();
  size_t i = 0;
  size_t character = 0;
  TextNodes lastWritten = nodes;
  for (; i < text.size() && !IsRunBreak(text[i]); ++character) {
    CharCell cell;
    if (GetInfo(nodes.cell, cell) == 0) return 0;
    if (IsLineEndCode(cell.code)) break;
    const uint16_t code = platform::CharCodeAt(text, i);
    CharCell rewritten;
    FillCharCell(code, character < widths.size() ? widths[character] : 0, cellTemplate, kinsoku,
                 &rewritten);
    rewritten.anchor = cell.anchor;
    SetInfo(nodes.cell, rewritten);
    lastWritten = nodes;
    i += platform::CharLengthAt(text, i);
    CVedTextPos here;
    CTextNavigator::MakePosition(nodes, &here);
    int result = 0;
    CVedTextPos next;
    if (navigator_->MoveCaret(kMoveNextChar, MoveParams{0, 0, 1}, &here, &next, &result) == 0 ||
        result != kMoveDone) {
      break;
    }
    navigator_->MapPosition(&next, &nodes);
  }
  int32_t heightDelta = 0;
  const NodeHandle firstKept = Navigate(kLevelCell, kNavNext, lastWritten.cell);
  if (ReflowParagraph(start.paragraph, start.line, &heightDelta, firstKept) == 0) return 0;
  EditResult inserted;
  out->pageBreakChanged = 0;
  if (i < text.size()) {
    if (RefreshNodes(&nodes) == 0) return 0;
    CVedTextPos at;
    CTextNavigator::MakePosition(nodes, &at);
    if (InsertText(&at, text.substr(i), cellTemplate, &inserted) == 0) return 0;
    heightDelta += inserted.heightDelta;
    out->pageBreakChanged = inserted.pageBreakChanged;
    out->rangeEnd = inserted.rangeEnd;
    out->newCursor = inserted.newCursor;
  } else {
    if (RefreshNodes(&nodes) == 0 || RefreshNodes(&lastWritten) == 0) return 0;
    CTextNavigator::MakePosition(lastWritten, &out->rangeEnd);
    CTextNavigator::MakePosition(nodes, &out->newCursor);
  }
  out->changed = static_cast<int32_t>(text.size());
  out->rangeStart = rangeStart;
  out->startAux = CVedTextPos();
  out->endAux = CVedTextPos();
  out->heightDelta = heightDelta;
  return 1;
}

int CTextEditor::RemoveCellFromLine(const TextNodes& nodes, int32_t* heightDelta) {
  LineInfo line;
  ParagraphInfo paragraph;
  if (GetInfo(nodes.line, line) == 0 || GetInfo(nodes.paragraph, paragraph) == 0) return 0;
  if (line.firstCell == nodes.cell && line.lastCell == nodes.cell) {
    // Only a line that is not its paragraph's last can empty: the last one
    // holds the paragraph's break.
    if (paragraph.firstLine == nodes.line) {
      paragraph.firstLine = Navigate(kLevelLine, kNavNext, nodes.line);
    }
    --paragraph.lineCount;
    *heightDelta -= LineHeightWithGap(paragraph, line, false);
    SetInfo(nodes.paragraph, paragraph);
    Remove(kLevelLine, nodes.line);
  } else {
    if (line.firstCell == nodes.cell) line.firstCell = Navigate(kLevelCell, kNavNext, nodes.cell);
    if (line.lastCell == nodes.cell) {
      line.lastCell = Navigate(kLevelCell, kNavPrevious, nodes.cell);
    }
    --line.cellCount;
    SetInfo(nodes.line, line);
  }
  Remove(kLevelCell, nodes.cell);
  return 1;
}

int CTextEditor::JoinAtBreak(NodeHandle paragraph, NodeHandle line, NodeHandle breakCell) {
  ParagraphInfo first;
  LineInfo breakLine;
  const NodeHandle nextParagraph = Navigate(kLevelParagraph, kNavNext, paragraph);
  ParagraphInfo second;
  if (GetInfo(paragraph, first) == 0 || GetInfo(line, breakLine) == 0 ||
      GetInfo(nextParagraph, second) == 0) {
    return 0;
  }
  LineInfo joined;
  if (GetInfo(second.firstLine, joined) == 0) return 0;
  if (breakLine.firstCell == breakCell) breakLine.firstCell = joined.firstCell;
  breakLine.lastCell = joined.lastCell;
  breakLine.cellCount += joined.cellCount - 1;
  SetInfo(line, breakLine);
  first.lastLine = second.lastLine == second.firstLine ? line : second.lastLine;
  first.lineCount += second.lineCount - 1;
  SetInfo(paragraph, first);
  Remove(kLevelCell, breakCell);
  Remove(kLevelLine, second.firstLine);
  Remove(kLevelParagraph, nextParagraph);
  return 1;
}

int CTextEditor::DeleteChar(const CVedTextPos* pos, EditResult* out) {
  TextNodes nodes;
  CharCell cell;
  if (navigator_->MapPosition(pos, &nodes) == 0 || GetInfo(nodes.cell, cell) == 0) return 0;
  if (cell.code == kCodeEndOfText) {
    NoChangeResult(*pos, out);
    return 1;
  }
  const CVedTextPos rangeStart = ChangedFrom(nodes);
  TextNodes following = nodes;
  following.cell = Navigate(kLevelCell, kNavNext, nodes.cell);
  const bool isBreak = cell.code == kCodeParagraphEnd || cell.code == kCodePageBreak;
  // Joining two paragraphs composes the second's lines anew under the
  // first's record, so both are measured whole; a character taken out of
  // a paragraph changes only the lines its reflow reaches.
  int32_t heightDelta = 0;
  if (isBreak) {
    heightDelta = -ParagraphHeight(nodes.paragraph) -
                  ParagraphHeight(Navigate(kLevelParagraph, kNavNext, nodes.paragraph));
  }
  const int done = isBreak ? JoinAtBreak(nodes.paragraph, nodes.line, nodes.cell)
                           : RemoveCellFromLine(nodes, &heightDelta);
  int32_t reflowed = 0;
  if (done == 0 || RefreshNodes(&following) == 0 ||
      ReflowParagraph(following.paragraph, following.line, &reflowed,
                      isBreak ? kNoNode : following.cell) == 0 ||
      RefreshNodes(&following) == 0) {
    return 0;
  }
  heightDelta += isBreak ? ParagraphHeight(following.paragraph) : reflowed;
  out->changed = 1;
  out->pageBreakChanged = cell.code == kCodePageBreak ? 1 : 0;
  out->rangeStart = rangeStart;
  CTextNavigator::MakePosition(following, &out->rangeEnd);
  out->newCursor = out->rangeEnd;
  out->startAux = CVedTextPos();
  out->endAux = CVedTextPos();
  out->heightDelta = heightDelta;
  return 1;
}

int CTextEditor::DeleteRange(const CVedTextPos* from, const CVedTextPos* to, EditResult* out) {
  TextNodes a;
  TextNodes b;
  CharCell cell;
  if (navigator_->MapPosition(from, &a) == 0 || navigator_->MapPosition(to, &b) == 0 ||
      GetInfo(b.cell, cell) == 0) {
    return 0;
  }
  if (cell.code == kCodeEndOfText) {
    if (a.cell == b.cell) {
      // Nothing to delete is no change: a change here would be recorded for
      // undo and announced.
      NoChangeResult(*from, out);
      return 1;
    }
    CVedTextPos back = *to;
    if (navigator_->StepBack(&back) == 0 || navigator_->MapPosition(&back, &b) == 0 ||
        GetInfo(b.cell, cell) == 0) {
      return 0;
    }
  }
  // A break inside the range joins its paragraph with the one after it.
  NodeHandle lastParagraph = b.paragraph;
  if (cell.code == kCodeParagraphEnd || cell.code == kCodePageBreak) {
    lastParagraph = Navigate(kLevelParagraph, kNavNext, b.paragraph);
  }
  int32_t before = 0;
  // The breaks of the paragraphs before the last one go with the range.
  bool pageBreak = false;
  for (NodeHandle p = a.paragraph; p != kNoNode; p = Navigate(kLevelParagraph, kNavNext, p)) {
    before += ParagraphHeight(p);
    if (p == lastParagraph) break;
    pageBreak = pageBreak || EndsWithPageBreak(p);
  }
  ParagraphInfo first;
  ParagraphInfo last;
  LineInfo line;
  LineInfo endLine;
  if (GetInfo(a.paragraph, first) == 0 || GetInfo(lastParagraph, last) == 0 ||
      GetInfo(a.line, line) == 0 || GetInfo(last.lastLine, endLine) == 0) {
    return 0;
  }
  const NodeHandle after = Navigate(kLevelCell, kNavNext, b.cell);
  const int32_t deleted = navigator_->CountSteps(kLevelCell, a.cell, kNoNode, b.cell);
  const CVedTextPos rangeStart = ChangedFrom(a);

  if (line.firstCell == a.cell) line.firstCell = after;
  line.lastCell = endLine.lastCell;
  RemoveRange(kLevelCell, a.cell, b.cell);
  if (last.lastLine != a.line) {
    RemoveRange(kLevelLine, Navigate(kLevelLine, kNavNext, a.line), last.lastLine);
  }
  if (lastParagraph != a.paragraph) {
    RemoveRange(kLevelParagraph, Navigate(kLevelParagraph, kNavNext, a.paragraph), lastParagraph);
  }
  SetInfo(a.line, line);
  first.lastLine = a.line;
  SetInfo(a.paragraph, first);

  int32_t ignored = 0;
  if (ReflowParagraph(a.paragraph, a.line, &ignored) == 0) return 0;
  if (GetInfo(a.paragraph, first) != 0 && first.lineCount == 1 && GetInfo(first.firstLine, line) &&
      line.cellCount == 1) {
    ParagraphInfo defaults = MakeDefaultParagraph();
    defaults.firstLine = defaults.lastLine = first.firstLine;
    defaults.lineCount = 1;
    SetInfo(a.paragraph, defaults);
    if (ReflowParagraph(a.paragraph, kNoNode, &ignored) == 0) return 0;
  }
  TextNodes cursor = a;
  cursor.cell = after;
  if (RefreshNodes(&cursor) == 0) return 0;
  out->changed = deleted;
  out->rangeStart = rangeStart;
  CTextNavigator::MakePosition(cursor, &out->rangeEnd);
  out->newCursor = out->rangeEnd;
  out->startAux = CVedTextPos();
  out->endAux = CVedTextPos();
  out->heightDelta = ParagraphHeight(cursor.paragraph) - before;
  out->pageBreakChanged = pageBreak ? 1 : 0;
  return 1;
}

bool CTextEditor::EndsWithPageBreak(NodeHandle paragraph) const {
  ParagraphInfo info;
  LineInfo line;
  CharCell end;
  return GetInfo(paragraph, info) != 0 && GetInfo(info.lastLine, line) != 0 &&
         GetInfo(line.lastCell, end) != 0 && end.code == kCodePageBreak;
}

template <typename Apply>
int CTextEditor::WalkCells(const CVedTextPos* from, const CVedTextPos* to, Apply apply,
                           int32_t* visited, TextNodes* first, TextNodes* last) {
  if (navigator_->MapPosition(from, first) == 0 || navigator_->MapPosition(to, last) == 0) {
    return 0;
  }
  *visited = 0;
  for (NodeHandle node = first->cell; node != kNoNode;
       node = Navigate(kLevelCell, kNavNext, node)) {
    CharCell cell;
    if (GetInfo(node, cell) == 0) return 0;
    ++*visited;
    if (!IsControlCode(cell.code) && apply(cell)) SetInfo(node, cell);
    if (node == last->cell) break;
  }
  return 1;
}

int CTextEditor::ApplyCharFont(const CharFormat& format, const CVedTextPos* from,
                               const CVedTextPos* to, EditResult* out) {
  constexpr int32_t kFontFields =
      kMaskFace | kMaskSize | kMaskBold | kMaskItalic | kMaskHeightScale | kMaskWidthScale;
  if ((format.mask & kMaskCharFormatAll) == 0 || formats_->TypingFont() == nullptr) return 0;
  CharFontState check = *formats_->TypingFont();
  if (formats_->ApplyCharFormat(check, format) == 0) return 0;

  int32_t oldId = -1;
  int32_t newId = -1;
  bool failed = false;
  auto apply = [&](CharCell& cell) {
    if ((format.mask & kFontFields) != 0) {
      if (cell.fontId != oldId) {
        CharFontState state;
        oldId = cell.fontId;
        newId = -1;
        if (formats_->GetFontState(cell.fontId, &state) != 0) {
          formats_->ApplyCharFormat(state, format);
          if (formats_->ResolveFont(pageFormat_->referenceDC, state) != nullptr)
            newId = state.fontId;
        }
      }
      if (newId < 0) {
        failed = true;
        return false;
      }
      cell.fontId = newId;
      cell.glyphWidth = formats_->GetCodeWidth(newId, cell.code);
    }
    if ((format.mask & kMaskColor) != 0) cell.color = format.color;
    if ((format.mask & kMaskPlacement) != 0)
      cell.placement = static_cast<uint8_t>(format.placement);
    return true;
  };
  int32_t visited = 0;
  TextNodes first;
  TextNodes last;
  if (WalkCells(from, to, apply, &visited, &first, &last) == 0 || failed) return 0;
  const CVedTextPos rangeStart = ChangedFrom(first);
  int32_t heightDelta = 0;
  if (ReflowRange(first, last, &heightDelta) == 0 || RefreshNodes(&last) == 0) return 0;
  out->changed = visited;
  out->rangeStart = rangeStart;
  CTextNavigator::MakePosition(last, &out->rangeEnd);
  out->heightDelta = heightDelta;
  return visited > 0 ? 1 : 0;
}

CVedTextPos CTextEditor::WidenToLineStart(const TextNodes& start) const {
  CVedTextPos pos;
  TextNodes widened = start;
  const NodeHandle lineStart = GetChild(kLevelCell, false, start.line);
  ParagraphInfo paragraph;
  CharCell cell;
  CharCell prev;
  const NodeHandle prevNode = Navigate(kLevelCell, kNavPrevious, start.cell);
  bool keep = lineStart == start.cell;
  if (!keep && GetInfo(start.paragraph, paragraph) != 0 && paragraph.alignment == kAlignJustify &&
      GetInfo(start.cell, cell) != 0 && GetInfo(prevNode, prev) != 0) {
    const CellDecoration& d = prev.decoration;
    const bool plain = d.underline == 0 && d.strikeOut == 0 && d.enclosure == 0 && d.shading == 0 &&
                       prev.design.reverse == 0;
    const bool same = prev.fontId == cell.fontId && prev.placement == cell.placement &&
                      prev.decoration == cell.decoration;
    keep = plain || same;
  }
  if (!keep) widened.cell = lineStart;
  CTextNavigator::MakePosition(widened, &pos);
  return pos;
}

template <typename Apply>
int CTextEditor::ApplyCellAttributes(const CVedTextPos* from, const CVedTextPos* to, Apply apply,
                                     EditResult* out) {
  int32_t visited = 0;
  TextNodes first;
  TextNodes last;
  if (WalkCells(from, to, apply, &visited, &first, &last) == 0) return 0;
  out->changed = visited;
  out->rangeStart = WidenToLineStart(first);
  CTextNavigator::MakePosition(last, &out->rangeEnd);
  CTextNavigator::MakePosition(first, &out->startAux);
  out->endAux = out->rangeEnd;
  out->heightDelta = 0;
  return visited > 0 ? 1 : 0;
}

int CTextEditor::ApplyDecoration(const CharDecoration& decoration, const CVedTextPos* from,
                                 const CVedTextPos* to, EditResult* out) {
  CellDecoration scratch;
  if (formats_->ApplyDecoration(scratch, decoration) == 0) return 0;
  return ApplyCellAttributes(
      from, to,
      [&](CharCell& cell) { return formats_->ApplyDecoration(cell.decoration, decoration) != 0; },
      out);
}

int CTextEditor::ApplyDesign(const CharDesign& design, const CVedTextPos* from,
                             const CVedTextPos* to, EditResult* out) {
  CellDesign scratch;
  if (formats_->ApplyDesign(scratch, design) == 0) return 0;
  return ApplyCellAttributes(
      from, to, [&](CharCell& cell) { return formats_->ApplyDesign(cell.design, design) != 0; },
      out);
}

int CTextEditor::StripSpacesForAlignment(NodeHandle paragraph) {
  ParagraphInfo info;
  if (GetInfo(paragraph, info) == 0) return 0;
  LineInfo line;
  LineInfo lastLine;
  if (GetInfo(info.firstLine, line) == 0 || GetInfo(info.lastLine, lastLine) == 0) return 0;
  // Every line's cells go into the first line.
  if (info.firstLine != info.lastLine) {
    line.lastCell = lastLine.lastCell;
    line.cellCount = navigator_->CountSteps(kLevelCell, line.firstCell, kNoNode, line.lastCell);
    RemoveRange(kLevelLine, Navigate(kLevelLine, kNavNext, info.firstLine), info.lastLine);
    info.lastLine = info.firstLine;
    info.lineCount = 1;
  }
  auto isSpace = [&](NodeHandle node) {
    CharCell cell;
    return node != line.lastCell && GetInfo(node, cell) != 0 && !IsControlCode(cell.code) &&
           cell.tag[0] == ' ';
  };
  while (isSpace(line.firstCell)) {
    const NodeHandle next = Navigate(kLevelCell, kNavNext, line.firstCell);
    Remove(kLevelCell, line.firstCell);
    line.firstCell = next;
    --line.cellCount;
  }
  for (NodeHandle before = Navigate(kLevelCell, kNavPrevious, line.lastCell);
       before != kNoNode && before != Navigate(kLevelCell, kNavPrevious, line.firstCell) &&
       isSpace(before);
       before = Navigate(kLevelCell, kNavPrevious, line.lastCell)) {
    Remove(kLevelCell, before);
    --line.cellCount;
  }
  SetInfo(info.firstLine, line);
  SetInfo(paragraph, info);
  return 1;
}

int CTextEditor::ApplyParaFormat(const CVedTextPos* from, const CVedTextPos* to,
                                 const ParaFormat& format, EditResult* out) {
  if ((format.mask & kMaskParaFormatAll) == 0) return 0;
  TextNodes first;
  TextNodes last;
  if (navigator_->MapPosition(from, &first) == 0 || navigator_->MapPosition(to, &last) == 0) {
    return 0;
  }
  const bool centres = (format.mask & kMaskAlignment) != 0 &&
                       (format.alignment == kAlignCenter || format.alignment == kAlignRight) &&
                       (renderer_ == nullptr || renderer_->GetUndoReplay() == 0);
  int32_t heightDelta = 0;
  for (NodeHandle p = first.paragraph; p != kNoNode; p = Navigate(kLevelParagraph, kNavNext, p)) {
    ParagraphInfo info;
    if (GetInfo(p, info) == 0 || formats_->ApplyParaFormat(info, format) == 0) return 0;
    SetInfo(p, info);
    if (centres && StripSpacesForAlignment(p) == 0) return 0;
    if (ReflowParagraph(p, kNoNode, &heightDelta) == 0) return 0;
    if (p == last.paragraph) break;
  }
  ParagraphInfo firstInfo;
  ParagraphInfo lastInfo;
  LineInfo lastLine;
  if (GetInfo(first.paragraph, firstInfo) == 0 || GetInfo(last.paragraph, lastInfo) == 0 ||
      GetInfo(lastInfo.lastLine, lastLine) == 0) {
    return 0;
  }
  out->changed = 1;
  CTextNavigator::MakePosition(
      {first.paragraph, firstInfo.firstLine, GetChild(kLevelCell, false, firstInfo.firstLine)},
      &out->rangeStart);
  CTextNavigator::MakePosition({last.paragraph, lastInfo.lastLine, lastLine.lastCell},
                               &out->rangeEnd);
  out->heightDelta = heightDelta;
  return 1;
}
