#include "model/text_layout.h"

#include <algorithm>

#include "model/font_table.h"
#include "model/renderer.h"

namespace {

constexpr platform::COLORREF kWhite = 0xFFFFFF;
constexpr platform::COLORREF kShadowGrey = 0x808080;
constexpr int32_t kUnderlineThicknessDivisor = 20;
constexpr int32_t kEnclosureThicknessDivisor = 30;
constexpr int32_t kEnclosureStyle = 16;
constexpr uint8_t kFirstWideStyle = 112;
constexpr uint8_t kThinStyle = 17;
constexpr uint8_t kThickStyle = 18;

uint8_t MarkCodeOf(uint16_t code) {
  if (code == kCodeEndOfText) return kMarkEndOfText;
  if (code == kCodeCrLf) return kMarkParagraphEnd;
  return static_cast<uint8_t>(code);
}

// A decoration value's line kind and its thickness for a base thickness.
int32_t StyleOf(uint8_t value) {
  if (value > kFirstWideStyle) value = kThinStyle;
  return value & 0xF0;
}

int32_t ThicknessOf(uint8_t value, int32_t base) {
  if (value > kFirstWideStyle) value = kThinStyle;
  if (value == kThinStyle) return base * 2 / 3;
  if (value == kThickStyle) return base * 3 / 2;
  return base;
}

}  // namespace

int CTextLayout::Init(CDocRenderer* renderer, CTextNavigator* navigator, CTextFormats* formats) {
  renderer_ = renderer;
  navigator_ = navigator;
  formats_ = formats;
  return navigator_ != nullptr && formats_ != nullptr ? 1 : 0;
}

int32_t CTextLayout::RunBaseline(const LineInfo& line, int placement, int32_t metric1,
                                 int32_t metric2) {
  switch (placement) {
    case 1:
      return metric1 + metric2;
    case 2:
      return line.height / 2;
    case 3:
      return line.height - 3 * metric2;
    default:
      return line.baseline;
  }
}

const CTextLayout::RunFont& CTextLayout::FontOf(int32_t id) {
  if (id == lastFont_.id) return lastFont_;
  lastFont_ = RunFont{};
  lastFont_.id = id;
  FontInfo info;
  if (formats_->fontUse() != nullptr && id >= 0 &&
      formats_->fontUse()->GetFontInfo(id, &info) != nullptr) {
    lastFont_.metric1 = info.ascent;
    lastFont_.metric2 = info.descent;
    lastFont_.size = info.size;
    lastFont_.height = info.lineHeight;
  }
  return lastFont_;
}

std::vector<CTextLayout::PlacedCell> CTextLayout::PlaceCells(const LineInfo& line,
                                                             int32_t x) const {
  std::vector<PlacedCell> cells;
  int32_t at = x + line.xOffset;
  for (NodeHandle node = line.firstCell; node != kNoNode;
       node = Navigate(kLevelCell, kNavNext, node)) {
    PlacedCell placed;
    placed.node = node;
    if (GetInfo(node, placed.cell) == 0) break;
    placed.x = at;
    placed.width = placed.cell.glyphWidth + placed.cell.cellWidth;
    at += placed.width;
    cells.push_back(placed);
    if (node == line.lastCell) break;
  }
  return cells;
}

int CTextLayout::DrawRange(const TextNodes& from, const TextNodes& to, int32_t x, int32_t y,
                           DrawResult* out) {
  if (!IsReady()) return 0;
  TextNodes nodes = from;
  int32_t top = y;
  while (true) {
    ParagraphInfo paragraph;
    LineInfo line;
    if (GetInfo(nodes.paragraph, paragraph) == 0 || GetInfo(nodes.line, line) == 0) return 0;
    DrawBackgrounds(nodes, x, top);
    DrawTextRuns(nodes, x, top);
    DrawDecorations(nodes, x, top);
    top += line.height + navigator_->GapBelow(paragraph, nodes.line);
    if (nodes.line == to.line) break;
    const NodeHandle next = Navigate(kLevelLine, kNavNext, nodes.line);
    if (next == kNoNode) break;
    if (paragraph.lastLine == nodes.line)
      nodes.paragraph = Navigate(kLevelParagraph, kNavNext, nodes.paragraph);
    nodes.line = next;
  }
  *out = DrawResult{1, top - y};
  return 1;
}

void CTextLayout::DrawBackgrounds(const TextNodes& nodes, int32_t x, int32_t y) {
  LineInfo line;
  if (GetInfo(nodes.line, line) == 0) return;
  struct Shade {
    bool open = false;
    int32_t left = 0, top = 0, right = 0, bottom = 0;
    uint8_t kind = 0;
    platform::COLORREF colour = 0;
  };
  std::vector<Shade> reverses;
  std::vector<Shade> shadings;
  Shade reverse;
  Shade shading;
  auto close = [](Shade& run, std::vector<Shade>& done) {
    if (run.open) done.push_back(run);
    run.open = false;
  };
  auto extend = [&](Shade& run, const PlacedCell& p, int32_t top, int32_t bottom) {
    if (!run.open) {
      run = Shade{true,
                  p.x,
                  top,
                  p.x + p.width,
                  bottom,
                  p.cell.decoration.shading,
                  p.cell.decoration.color};
      if (&run == &reverse) run.colour = p.cell.color;
      return;
    }
    run.right = p.x + p.width;
    run.top = std::min(run.top, top);
    run.bottom = std::max(run.bottom, bottom);
  };
  for (const PlacedCell& p : PlaceCells(line, x)) {
    if (IsControlCode(p.cell.code)) {
      close(reverse, reverses);
      close(shading, shadings);
      continue;
    }
    const RunFont& font = FontOf(p.cell.fontId);
    const int32_t base = RunBaseline(line, p.cell.placement, font.metric1, font.metric2);
    const int32_t top = y + base - font.metric1 - font.metric2 / 2;
    const int32_t bottom = y + base + font.metric2 * 5 / 2;
    if (p.cell.design.reverse != 0) {
      extend(reverse, p, top, bottom);
    } else {
      close(reverse, reverses);
    }
    const CellDecoration& d = p.cell.decoration;
    if (shading.open && (d.shading != shading.kind || d.color != shading.colour)) {
      close(shading, shadings);
    }
    if (d.shading != 0) extend(shading, p, top, bottom);
  }
  close(reverse, reverses);
  close(shading, shadings);
  for (const Shade& r : reverses) {
    renderer_->ShadeRect(r.left, r.top, r.right - r.left, r.bottom - r.top, kShadeSolid, r.colour);
  }
  for (const Shade& s : shadings) {
    renderer_->ShadeRect(s.left, s.top, s.right - s.left, s.bottom - s.top, s.kind, s.colour);
  }
}

void CTextLayout::DrawTextRuns(const TextNodes& nodes, int32_t x, int32_t y) {
  LineInfo line;
  if (GetInfo(nodes.line, line) == 0) return;
  const std::vector<PlacedCell> cells = PlaceCells(line, x);
  size_t i = 0;
  while (i < cells.size()) {
    const CharCell& first = cells[i].cell;
    if (IsControlCode(first.code)) {
      renderer_->DrawChar(cells[i].x, y + line.baseline, MarkCodeOf(first.code), first.color);
      ++i;
      continue;
    }
    const bool swap = first.design.reverse != 0 && first.decoration.shading == 0;
    const platform::COLORREF fore = swap ? kWhite : first.color;
    const platform::COLORREF back = swap ? first.color : kWhite;
    std::string text;
    std::vector<int32_t> widths;
    size_t j = i;
    for (; j < cells.size(); ++j) {
      const CharCell& c = cells[j].cell;
      const bool cSwap = c.design.reverse != 0 && c.decoration.shading == 0;
      if (IsControlCode(c.code) || c.fontId != first.fontId || c.placement != first.placement ||
          c.design.shadow != first.design.shadow || c.design.hollow != first.design.hollow ||
          (cSwap ? kWhite : c.color) != fore || (cSwap ? c.color : kWhite) != back) {
        break;
      }
      if (c.code > 0xFF) {
        text += static_cast<char>(c.code >> 8);
        widths.push_back(cells[j].width);
        text += static_cast<char>(c.code & 0xFF);
        widths.push_back(0);
      } else {
        text += static_cast<char>(c.code);
        widths.push_back(cells[j].width);
      }
    }
    const RunFont& font = FontOf(first.fontId);
    TextRun run;
    run.x = cells[i].x;
    run.y = y + RunBaseline(line, first.placement, font.metric1, font.metric2);
    run.clip = {cells[i].x, y, cells[j - 1].x + cells[j - 1].width, y + line.height};
    run.text = text.data();
    run.count = static_cast<int32_t>(text.size());
    run.widths = widths.data();
    run.fontId = first.fontId;
    if (first.design.shadow != 0) {
      run.effect = kEffectShadow;
      run.colour = kShadowGrey;
      renderer_->DrawTextRun(run);
    }
    run.effect = first.design.hollow != 0 ? kEffectOutline : kEffectPlain;
    run.colour = fore;
    run.secondColour = back;
    renderer_->DrawTextRun(run);
    i = j;
  }
  DrawIndentMarks(nodes, line, x, y);
}

void CTextLayout::DrawIndentMarks(const TextNodes& nodes, const LineInfo& line, int32_t x,
                                  int32_t y) {
  ParagraphInfo paragraph;
  if (GetInfo(nodes.paragraph, paragraph) == 0) return;
  const int32_t middle = y + line.height / 2;
  const int32_t indent =
      paragraph.firstLine == nodes.line ? paragraph.firstIndent : paragraph.leftIndent;
  if (indent != 0) renderer_->DrawPointer(x + indent, middle, kMarkFirstLineIndent);
  if (paragraph.rightIndent != 0) {
    renderer_->DrawPointer(x + paragraph.textWidth - paragraph.rightIndent, middle,
                           kMarkRightIndent);
  }
  if (paragraph.alignment == kAlignCenter || paragraph.alignment == kAlignRight) {
    renderer_->DrawPointer(x + line.xOffset, middle, kMarkAlignment);
  }
}

void CTextLayout::DrawDecorations(const TextNodes& nodes, int32_t x, int32_t y) {
  LineInfo line;
  if (GetInfo(nodes.line, line) == 0) return;
  struct Run {
    bool open = false;
    uint8_t value = 0;
    platform::COLORREF colour = 0;
    int32_t left = 0, right = 0, top = 0, bottom = 0, thickness = 0;
  };
  Run underline;
  Run strike;
  Run enclosure;
  auto flush = [&](Run& run, int kind) {
    if (!run.open) return;
    if (kind == kMaskEnclosure) {
      renderer_->DrawFrame(run.left, run.top, run.right, run.bottom, kEnclosureStyle, run.thickness,
                           run.colour);
    } else {
      renderer_->DrawLine(run.left, run.top, run.right, run.top, StyleOf(run.value),
                          ThicknessOf(run.value, run.thickness), run.colour);
    }
    run.open = false;
  };
  auto feed = [&](Run& run, int kind, uint8_t value, const PlacedCell& p, int32_t top,
                  int32_t bottom, int32_t thickness) {
    const platform::COLORREF colour = p.cell.decoration.color;
    if (run.open && (run.value != value || run.colour != colour)) flush(run, kind);
    if (value == 0) return;
    if (!run.open) {
      run = Run{true, value, colour, p.x, p.x + p.width, top, bottom, thickness};
      return;
    }
    run.right = p.x + p.width;
    run.thickness = std::max(run.thickness, thickness);
    if (kind == kMaskEnclosure) {
      run.top = std::min(run.top, top);
      run.bottom = std::max(run.bottom, bottom);
    } else {
      run.top = std::max(run.top, top);
    }
  };
  for (const PlacedCell& p : PlaceCells(line, x)) {
    if (IsControlCode(p.cell.code)) {
      flush(underline, kMaskUnderline);
      flush(strike, kMaskStrikeOut);
      flush(enclosure, kMaskEnclosure);
      continue;
    }
    const RunFont& font = FontOf(p.cell.fontId);
    const int32_t base = y + RunBaseline(line, p.cell.placement, font.metric1, font.metric2);
    const CellDecoration& d = p.cell.decoration;
    const int32_t lineThickness = font.size / kUnderlineThicknessDivisor;
    feed(underline, kMaskUnderline, d.underline, p, base + font.metric2, 0, lineThickness);
    feed(strike, kMaskStrikeOut, d.strikeOut, p, font.height / 2 + base - font.metric1, 0,
         lineThickness);
    feed(enclosure, kMaskEnclosure, d.enclosure, p, base - font.metric2 / 2 - font.metric1,
         base + font.metric2 * 5 / 2, font.size / kEnclosureThicknessDivisor);
  }
  flush(underline, kMaskUnderline);
  flush(strike, kMaskStrikeOut);
  flush(enclosure, kMaskEnclosure);
}
