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

CTextLayout::ShadeRuns CTextLayout::BuildShadeRuns(const LineInfo& line,
                                                   const std::vector<PlacedCell>& cells,
                                                   int32_t y) {
  ShadeRuns runs;
  ShadeRun reverse;
  ShadeRun shading;
  auto close = [](ShadeRun& run, std::vector<ShadeRun>& done) {
    if (run.open) done.push_back(run);
    run.open = false;
  };
  auto extend = [](ShadeRun& run, const PlacedCell& p, int32_t top, int32_t bottom,
                   platform::COLORREF colour) {
    if (!run.open) {
      run = ShadeRun{true, p.x, top, p.x + p.width, bottom, p.cell.decoration.shading, colour};
      return;
    }
    run.right = p.x + p.width;
    run.top = std::min(run.top, top);
    run.bottom = std::max(run.bottom, bottom);
  };
  for (const PlacedCell& p : cells) {
    if (IsControlCode(p.cell.code)) {
      close(reverse, runs.reverses);
      close(shading, runs.shadings);
      continue;
    }
    const RunFont& font = FontOf(p.cell.fontId);
    const int32_t base = RunBaseline(line, p.cell.placement, font.metric1, font.metric2);
    const int32_t top = y + base - font.metric1 - font.metric2 / 2;
    const int32_t bottom = y + base + font.metric2 * 5 / 2;
    if (p.cell.design.reverse != 0) {
      extend(reverse, p, top, bottom, p.cell.color);
    } else {
      close(reverse, runs.reverses);
    }
    const CellDecoration& d = p.cell.decoration;
    if (shading.open && (d.shading != shading.kind || d.color != shading.colour)) {
      close(shading, runs.shadings);
    }
    if (d.shading != 0) extend(shading, p, top, bottom, d.color);
  }
  close(reverse, runs.reverses);
  close(shading, runs.shadings);
  return runs;
}

void CTextLayout::DrawBackgrounds(const TextNodes& nodes, int32_t x, int32_t y) {
  LineInfo line;
  if (GetInfo(nodes.line, line) == 0) return;
  const ShadeRuns runs = BuildShadeRuns(line, PlaceCells(line, x), y);
  for (const ShadeRun& r : runs.reverses) {
    renderer_->ShadeRect(r.left, r.top, r.right - r.left, r.bottom - r.top, kShadeSolid, r.colour);
  }
  for (const ShadeRun& s : runs.shadings) {
    renderer_->ShadeRect(s.left, s.top, s.right - s.left, s.bottom - s.top, s.kind, s.colour);
  }
}

namespace {

bool SwapsColours(const CharCell& c) { return c.design.reverse != 0 && c.decoration.shading == 0; }
platform::COLORREF ForegroundOf(const CharCell& c) { return SwapsColours(c) ? kWhite : c.color; }
platform::COLORREF BackgroundOf(const CharCell& c) { return SwapsColours(c) ? c.color : kWhite; }

bool SameTextRun(const CharCell& first, const CharCell& c) {
  return !IsControlCode(c.code) && c.fontId == first.fontId && c.placement == first.placement &&
         c.design.shadow == first.design.shadow && c.design.hollow == first.design.hollow &&
         ForegroundOf(c) == ForegroundOf(first) && BackgroundOf(c) == BackgroundOf(first);
}

}  // namespace

size_t CTextLayout::BuildTextRun(const LineInfo& line, const std::vector<PlacedCell>& cells,
                                 size_t first, int32_t y, BuiltTextRun* out) {
  const CharCell& head = cells[first].cell;
  out->text.clear();
  out->widths.clear();
  size_t end = first;
  for (; end < cells.size() && SameTextRun(head, cells[end].cell); ++end) {
    const uint16_t code = cells[end].cell.code;
    if (code > 0xFF) {
      out->text += static_cast<char>(code >> 8);
      out->widths.push_back(cells[end].width);
      out->text += static_cast<char>(code & 0xFF);
      out->widths.push_back(0);
    } else {
      out->text += static_cast<char>(code);
      out->widths.push_back(cells[end].width);
    }
  }
  const RunFont& font = FontOf(head.fontId);
  TextRun& run = out->run;
  run = TextRun{};
  run.x = cells[first].x;
  run.y = y + RunBaseline(line, head.placement, font.metric1, font.metric2);
  run.clip = {cells[first].x, y, cells[end - 1].x + cells[end - 1].width, y + line.height};
  run.text = out->text.data();
  run.count = static_cast<int32_t>(out->text.size());
  run.widths = out->widths.data();
  run.fontId = head.fontId;
  run.effect = head.design.hollow != 0 ? kEffectOutline : kEffectPlain;
  run.colour = ForegroundOf(head);
  run.secondColour = BackgroundOf(head);
  out->shadowed = head.design.shadow != 0;
  return end;
}

void CTextLayout::DrawTextRuns(const TextNodes& nodes, int32_t x, int32_t y) {
  LineInfo line;
  if (GetInfo(nodes.line, line) == 0) return;
  const std::vector<PlacedCell> cells = PlaceCells(line, x);
  BuiltTextRun built;
  size_t i = 0;
  while (i < cells.size()) {
    const CharCell& first = cells[i].cell;
    if (IsControlCode(first.code)) {
      renderer_->DrawChar(cells[i].x, y + line.baseline, MarkCodeOf(first.code), first.color);
      ++i;
      continue;
    }
    i = BuildTextRun(line, cells, i, y, &built);
    if (built.shadowed) {
      TextRun shadow = built.run;
      shadow.effect = kEffectShadow;
      shadow.colour = kShadowGrey;
      shadow.secondColour = 0;
      renderer_->DrawTextRun(shadow);
    }
    renderer_->DrawTextRun(built.run);
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

std::vector<CTextLayout::DecorationRun> CTextLayout::BuildDecorationRuns(
    const LineInfo& line, const std::vector<PlacedCell>& cells, int32_t y) {
  std::vector<DecorationRun> done;
  DecorationRun underline{.kind = kMaskUnderline};
  DecorationRun strike{.kind = kMaskStrikeOut};
  DecorationRun enclosure{.kind = kMaskEnclosure};
  auto close = [&](DecorationRun& run) {
    if (run.open) done.push_back(run);
    run.open = false;
  };
  auto feed = [&](DecorationRun& run, uint8_t value, const PlacedCell& p, int32_t top,
                  int32_t bottom, int32_t thickness) {
    const platform::COLORREF colour = p.cell.decoration.color;
    if (run.open && (run.value != value || run.colour != colour)) close(run);
    if (value == 0) return;
    if (!run.open) {
      run =
          DecorationRun{run.kind, true, value, colour, p.x, p.x + p.width, top, bottom, thickness};
      return;
    }
    run.right = p.x + p.width;
    run.thickness = std::max(run.thickness, thickness);
    if (run.kind == kMaskEnclosure) {
      run.top = std::min(run.top, top);
      run.bottom = std::max(run.bottom, bottom);
    } else {
      run.top = std::max(run.top, top);
    }
  };
  for (const PlacedCell& p : cells) {
    if (IsControlCode(p.cell.code)) {
      close(underline);
      close(strike);
      close(enclosure);
      continue;
    }
    const RunFont& font = FontOf(p.cell.fontId);
    const int32_t base = y + RunBaseline(line, p.cell.placement, font.metric1, font.metric2);
    const CellDecoration& d = p.cell.decoration;
    const int32_t lineThickness = font.size / kUnderlineThicknessDivisor;
    feed(underline, d.underline, p, base + font.metric2, 0, lineThickness);
    feed(strike, d.strikeOut, p, font.height / 2 + base - font.metric1, 0, lineThickness);
    feed(enclosure, d.enclosure, p, base - font.metric2 / 2 - font.metric1,
         base + font.metric2 * 5 / 2, font.size / kEnclosureThicknessDivisor);
  }
  close(underline);
  close(strike);
  close(enclosure);
  return done;
}

void CTextLayout::DrawDecorations(const TextNodes& nodes, int32_t x, int32_t y) {
  LineInfo line;
  if (GetInfo(nodes.line, line) == 0) return;
  for (const DecorationRun& run : BuildDecorationRuns(line, PlaceCells(line, x), y)) {
    if (run.kind == kMaskEnclosure) {
      renderer_->DrawFrame(run.left, run.top, run.right, run.bottom, kEnclosureStyle, run.thickness,
                           run.colour);
    } else {
      renderer_->DrawLine(run.left, run.top, run.right, run.top, StyleOf(run.value),
                          ThicknessOf(run.value, run.thickness), run.colour);
    }
  }
}
