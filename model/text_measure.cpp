// Measuring lines and cells, and reading formats over ranges.
#include <algorithm>
#include <cstdlib>

#include "model/text_navigator.h"

int CTextNavigator::GetLineHeight(NodeHandle line, int32_t gap, int32_t* width,
                                  int32_t* height) const {
  LineInfo info;
  if (GetInfo(line, info) == 0) return 0;
  *width = info.usedWidth;
  *height = info.height + gap;
  return 1;
}

int CTextNavigator::SumLines(const ParagraphInfo& paragraph, bool lastGap, NodeHandle first,
                             NodeHandle last, int32_t* widest, int32_t* height) const {
  *widest = 0;
  *height = 0;
  // Read straight from the line list: the caret's place is measured from
  // the document's start after every keystroke, over every line above it.
  const bool bound = IsBound();
  for (NodeHandle line = first; line != kNoNode; line = bound ? lines_->Next(line) : kNoNode) {
    if (lines_ == nullptr || !lines_->LinksBack(line)) return 0;
    const LineInfo& info = lines_->RecordOf(line);
    const bool isLast = line == last;
    int32_t gap = paragraph.lineGap;
    if (isLast) gap = lastGap ? GapBelow(paragraph, line) : 0;
    *widest = std::max(*widest, info.usedWidth);
    *height += info.height + gap;
    if (isLast) break;
  }
  return 1;
}

int CTextNavigator::MeasureParagraph(bool lastGap, NodeHandle paragraph, int32_t* widest,
                                     int32_t* height) const {
  ParagraphInfo info;
  if (GetInfo(paragraph, info) == 0) return 0;
  return SumLines(info, lastGap, info.firstLine, info.lastLine, widest, height);
}

int CTextNavigator::MeasureBetween(const TextNodes& from, const TextNodes& to, bool lastGap,
                                   int32_t* widest, int32_t* height) const {
  *widest = 0;
  *height = 0;
  NodeHandle paragraph = from.paragraph;
  NodeHandle firstLine = from.line;
  while (paragraph != kNoNode) {
    ParagraphInfo info;
    if (GetInfo(paragraph, info) == 0) return 0;
    const bool final = paragraph == to.paragraph;
    int32_t w = 0;
    int32_t h = 0;
    if (SumLines(info, final ? lastGap : true, firstLine, final ? to.line : info.lastLine, &w,
                 &h) == 0) {
      return 0;
    }
    *widest = std::max(*widest, w);
    *height += h;
    if (final) return 1;
    paragraph = Navigate(kLevelParagraph, kNavNext, paragraph);
    firstLine = GetChild(kLevelLine, false, paragraph);
  }
  return 1;
}

int32_t CTextNavigator::MeasureRun(NodeHandle first, NodeHandle last, bool includeLastSpacing,
                                   platform::SIZE* size, int32_t* baseline) const {
  int32_t width = 0;
  int32_t maxMetric1 = 0;
  int32_t maxMetric2 = 0;
  int32_t count = 0;
  int32_t fontId = -1;
  bool fontKnown = false;
  for (NodeHandle node = first; node != kNoNode; node = Navigate(kLevelCell, kNavNext, node)) {
    CharCell cell;
    if (GetInfo(node, cell) == 0) break;
    ++count;
    if (!fontKnown || cell.fontId != fontId) {
      fontId = cell.fontId;
      fontKnown = true;
      int32_t m1 = 0;
      int32_t m2 = 0;
      if (formats_ != nullptr && formats_->GetFontMetrics(fontId, &m1, &m2) != 0) {
        maxMetric1 = std::max(maxMetric1, m1);
        maxMetric2 = std::max(maxMetric2, m2);
      }
    }
    if (node != last) {
      width += cell.glyphWidth + cell.cellWidth;
      continue;
    }
    if (cell.cellWidth >= 0) {
      width += cell.glyphWidth + cell.cellWidth;
    } else if (cell.adjustment < 0) {
      width += cell.glyphWidth + cell.adjustment;
    } else {
      width += cell.glyphWidth;
    }
    if (!includeLastSpacing) width -= cell.cellWidth;
    break;
  }
  size->cx = width;
  size->cy = maxMetric1 + 4 * maxMetric2;
  *baseline = maxMetric1 + maxMetric2;
  return count;
}

int32_t CTextNavigator::DrawnWidth(NodeHandle first, NodeHandle last) const {
  int32_t width = 0;
  for (NodeHandle node = first; node != kNoNode; node = Navigate(kLevelCell, kNavNext, node)) {
    CharCell cell;
    if (GetInfo(node, cell) == 0) break;
    width += cell.glyphWidth + cell.cellWidth;
    if (node == last) break;
  }
  return width;
}

int CTextNavigator::GetCellAdvance(NodeHandle node, bool withMetrics, CellAdvance* out) const {
  CharCell cell;
  if (GetInfo(node, cell) == 0) return 0;
  *out = CellAdvance{};
  if (IsControlCode(cell.code)) {
    out->control = true;
    return 1;
  }
  const int32_t g = cell.glyphWidth;
  const int32_t w = cell.cellWidth;
  const int32_t d = cell.adjustment;
  CharCell prev;
  const NodeHandle prevNode = Navigate(kLevelCell, kNavPrevious, node);
  if (cell.squeeze != 0 && w < 0 && d < 0) {
    // A pushed-in mark that gave up its leading blank.
    out->advance = g + d;
    out->spacing = w - d;
  } else if (d > 0 && prevNode != kNoNode && GetInfo(prevNode, prev) != 0) {
    if (prev.cellWidth >= 0) {
      out->advance = g;
    } else if (prev.adjustment >= 0) {
      out->advance = g + prev.cellWidth;
    } else {
      out->advance = g - std::abs(prev.cellWidth) + std::abs(prev.adjustment);
    }
    out->spacing = w;
  } else {
    out->advance = g;
    out->spacing = w;
  }
  if (withMetrics) {
    if (formats_ == nullptr ||
        formats_->GetFontMetrics(cell.fontId, &out->metric1, &out->metric2) == 0) {
      return 0;
    }
  }
  return 1;
}

int CTextNavigator::GetControlAdvance(NodeHandle /*line*/, NodeHandle node,
                                      CellAdvance* out) const {
  CharCell cell;
  if (GetInfo(node, cell) == 0 || formats_ == nullptr || formats_->pageFormat() == nullptr) {
    return 0;
  }
  const PageFormat& format = *formats_->pageFormat();
  *out = CellAdvance{};
  out->control = true;
  out->advance = 2 * (format.charPitch - format.charGap);
  out->spacing = 2 * format.charGap;
  formats_->GetFontMetrics(cell.fontId, &out->metric1, &out->metric2);
  return 1;
}

int CTextNavigator::GetAnyCellAdvance(NodeHandle line, NodeHandle cell, CellAdvance* out) const {
  if (GetCellAdvance(cell, false, out) == 0) return 0;
  return out->control ? GetControlAdvance(line, cell, out) : 1;
}

int CTextNavigator::GetCellRect(NodeHandle paragraph, NodeHandle line, NodeHandle cell, int mode,
                                platform::RECT* out) const {
  ParagraphInfo paragraphInfo;
  LineInfo lineInfo;
  if (GetInfo(paragraph, paragraphInfo) == 0 || GetInfo(line, lineInfo) == 0) return 0;
  const int32_t gap = mode >= 2 ? GapBelow(paragraphInfo, line) : 0;
  platform::SIZE before;
  int32_t baseline = 0;
  // A cell with nothing before it stands at its line's start; measuring
  // from the line's first cell up to a cell never reached would run on to
  // the document's end.
  const NodeHandle prev =
      cell != lineInfo.firstCell ? Navigate(kLevelCell, kNavPrevious, cell) : kNoNode;
  if (prev != kNoNode) {
    MeasureRun(lineInfo.firstCell, prev, true, &before, &baseline);
    // The caret stands where the cell is drawn: after the full widths of
    // the cells before it, squeezed blanks included.
    before.cx = DrawnWidth(lineInfo.firstCell, prev);
  }
  CellAdvance advance;
  if (GetAnyCellAdvance(line, cell, &advance) == 0) return 0;
  out->left = lineInfo.xOffset + before.cx;
  out->top = 0;
  out->right = out->left + advance.advance + (mode % 2 == 1 ? advance.spacing : 0);
  out->bottom = std::max(lineInfo.height + gap, before.cy);
  return 1;
}

int CTextNavigator::DescribeLine(NodeHandle paragraph, NodeHandle line,
                                 LineDescription* out) const {
  ParagraphInfo p;
  LineInfo l;
  if (GetInfo(paragraph, p) == 0 || GetInfo(line, l) == 0) return 0;
  *out = LineDescription{};
  out->width = l.usedWidth;
  out->height = l.height + GapBelow(p, line);
  out->length = static_cast<int32_t>(ExtractText(kExtractPlain, l.firstCell, l.lastCell).size());
  uint16_t lastCode = 0;
  const bool endMark = IsControlCell(l.lastCell, &lastCode) != 0;
  if (endMark) {
    CellAdvance mark;
    if (GetControlAdvance(line, l.lastCell, &mark) == 0) return 0;
    out->width += mark.advance + mark.spacing;
    out->endMarkColumns = 2;
    if (lastCode == kCodeEndOfText) out->length += 2;
  }
  if (endMark || p.alignment == kAlignCenter || p.alignment == kAlignRight) {
    out->left = l.xOffset;
    if (p.alignment == kAlignCenter && !endMark) {
      out->right = p.rightIndent;
      out->width = p.textWidth - p.rightIndent - l.xOffset;
    } else {
      out->right = p.textWidth - out->width - l.xOffset;
    }
  } else {
    const int32_t indent = p.firstLine == line ? p.firstIndent : p.leftIndent;
    out->left = indent != 0 ? l.xOffset : 0;
    out->right = p.rightIndent != 0 ? p.textWidth - out->width - out->left : 0;
  }
  out->right = std::max(out->right, 0);
  return 1;
}
