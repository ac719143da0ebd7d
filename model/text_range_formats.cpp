// Formats common to a range of cells or paragraphs, and the templates
// that inserted text takes.
#include <cstring>

#include "model/text_navigator.h"

namespace {

bool IsParagraphBreak(uint16_t code) {
  return code == kCodePageBreak || code == kCodeParagraphEnd || code == kCodeEndOfText;
}

template <typename Field>
void TakeShared(Field& target, Field a, Field b) {
  if (a == b) target = a;
}

}  // namespace

int CTextNavigator::GetRangeFont(const TextNodes& from, const TextNodes& to,
                                 CharFormat* out) const {
  if (formats_ == nullptr) return 0;
  NodeHandle node = from.cell;
  CharCell cell;
  if (GetInfo(node, cell) == 0) return 0;
  while (IsParagraphBreak(cell.code) && node != to.cell) {
    const NodeHandle next = Navigate(kLevelCell, kNavNext, node);
    if (next == kNoNode || GetInfo(next, cell) == 0) break;
    node = next;
  }
  CharFontState first;
  if (formats_->GetFontState(cell.fontId, &first) == 0) return 0;
  first.color = cell.color;
  first.placement = cell.placement;
  int32_t mask = kMaskCharFormatAll;
  int32_t lastFontId = cell.fontId;
  CharFontState other = first;
  while (node != to.cell && (mask & kMaskCharFormatAll) != 0) {
    node = Navigate(kLevelCell, kNavNext, node);
    if (node == kNoNode || GetInfo(node, cell) == 0) break;
    if (IsControlCode(cell.code)) continue;
    if (cell.fontId != lastFontId) {
      if (formats_->GetFontState(cell.fontId, &other) == 0) return 0;
      lastFontId = cell.fontId;
    }
    other.color = cell.color;
    other.placement = cell.placement;
    CTextFormats::ClearDifferingFontBits(first, other, mask);
  }
  formats_->FontStateToCharFormat(first, out);
  out->mask = mask;
  return 1;
}

int CTextNavigator::GetRangeDecoration(const TextNodes& from, const TextNodes& to,
                                       CharDecoration* out) const {
  bool found = false;
  CellDecoration first;
  int32_t mask = kMaskDecorationAll;
  for (NodeHandle node = from.cell; node != kNoNode && (!found || mask != 0);
       node = Navigate(kLevelCell, kNavNext, node)) {
    CharCell cell;
    if (GetInfo(node, cell) == 0) return 0;
    if (!IsControlCode(cell.code)) {
      if (!found) first = cell.decoration;
      CTextFormats::ClearDifferingDecorationBits(first, cell.decoration, mask);
      found = true;
    }
    if (node == to.cell) break;
  }
  if (!found) return 0;
  CTextFormats::DecorationToRecord(first, out);
  out->mask = mask;
  return 1;
}

int CTextNavigator::GetRangeDesign(const TextNodes& from, const TextNodes& to,
                                   CharDesign* out) const {
  bool found = false;
  CellDesign first;
  int32_t mask = kMaskDesignAll;
  for (NodeHandle node = from.cell; node != kNoNode && (!found || mask != 0);
       node = Navigate(kLevelCell, kNavNext, node)) {
    CharCell cell;
    if (GetInfo(node, cell) == 0) return 0;
    if (!IsControlCode(cell.code)) {
      if (!found) first = cell.design;
      CTextFormats::ClearDifferingDesignBits(first, cell.design, mask);
      found = true;
    }
    if (node == to.cell) break;
  }
  if (!found) return 0;
  CTextFormats::DesignToRecord(first, out);
  out->mask = mask;
  return 1;
}

int CTextNavigator::GetRangeParaFormat(const TextNodes& from, const TextNodes& to,
                                       ParaFormat* out) const {
  ParagraphInfo first;
  if (GetInfo(from.paragraph, first) == 0) return 0;
  int32_t mask = kMaskParaFormatAll;
  for (NodeHandle node = from.paragraph; node != to.paragraph && mask != 0;) {
    node = Navigate(kLevelParagraph, kNavNext, node);
    ParagraphInfo other;
    if (node == kNoNode || GetInfo(node, other) == 0) break;
    CTextFormats::ClearDifferingParaBits(first, other, mask);
  }
  *out = CTextFormats::ParagraphToRecord(first);
  out->mask = mask;
  return 1;
}

int CTextNavigator::GetInsertFormat(CharCell* firstCell, CharFontState* firstFont,
                                    CharCell* secondCell, CharFontState* secondFont) const {
  if (formats_ == nullptr ||
      formats_->MakeCellTemplate(nullptr, nullptr, nullptr, firstCell) == 0 ||
      formats_->TypingFont() == nullptr) {
    return 0;
  }
  *firstFont = *formats_->TypingFont();
  *secondCell = *firstCell;
  *secondFont = *firstFont;

  const NodeHandle caret = CurrentNode(kLevelCell);
  const NodeHandle before = Navigate(kLevelCell, kNavPrevious, caret);
  CharCell a;
  CharCell b;
  if (options_ == nullptr || options_->followNeighbours != 1 || GetInfo(caret, a) == 0 ||
      GetInfo(before, b) == 0 || IsControlCode(a.code) || IsControlCode(b.code)) {
    return 1;
  }

  // Values both neighbours share go into both templates.
  for (CharCell* t : {firstCell, secondCell}) {
    TakeShared(t->color, a.color, b.color);
    TakeShared(t->decoration.underline, a.decoration.underline, b.decoration.underline);
    TakeShared(t->decoration.strikeOut, a.decoration.strikeOut, b.decoration.strikeOut);
    TakeShared(t->decoration.enclosure, a.decoration.enclosure, b.decoration.enclosure);
    TakeShared(t->decoration.shading, a.decoration.shading, b.decoration.shading);
    TakeShared(t->decoration.color, a.decoration.color, b.decoration.color);
    TakeShared(t->design.shadow, a.design.shadow, b.design.shadow);
    TakeShared(t->design.hollow, a.design.hollow, b.design.hollow);
    TakeShared(t->design.reverse, a.design.reverse, b.design.reverse);
    TakeShared(t->design.spare, a.design.spare, b.design.spare);
  }

  CharFontState fontA;
  CharFontState fontB;
  if (formats_->GetFontState(a.fontId, &fontA) == 0 ||
      formats_->GetFontState(b.fontId, &fontB) == 0) {
    return 1;
  }
  const CharFontState& typing = *formats_->TypingFont();
  auto unscaled = [](uint8_t scale) { return scale == 0 || scale == 100; };
  if (unscaled(typing.heightScale) && unscaled(typing.widthScale)) {
    if (std::strncmp(fontA.face, fontB.face, kFaceNameSize) == 0) {
      std::memcpy(secondFont->face, fontA.face, kFaceNameSize);
      if (formats_->FaceCharSet(fontA.face) == platform::SHIFTJIS_CHARSET) {
        std::memcpy(firstFont->face, fontA.face, kFaceNameSize);
      }
    }
    if (fontA.size == fontB.size) firstFont->size = secondFont->size = fontA.size;
    if (fontA.heightScale == fontB.heightScale && fontA.widthScale == fontB.widthScale &&
        a.placement == b.placement) {
      for (CharFontState* f : {firstFont, secondFont}) {
        f->heightScale = fontA.heightScale;
        f->widthScale = fontA.widthScale;
        f->placement = a.placement;
      }
      firstCell->placement = secondCell->placement = a.placement;
    }
  }
  if (fontA.bold == fontB.bold) firstFont->bold = secondFont->bold = fontA.bold;
  if (fontA.italic == fontB.italic) firstFont->italic = secondFont->italic = fontA.italic;

  const platform::HDC dc =
      formats_->pageFormat() != nullptr ? formats_->pageFormat()->referenceDC : nullptr;
  formats_->ResolveFont(dc, *firstFont);
  formats_->ResolveFont(dc, *secondFont);
  firstCell->fontId = firstFont->fontId;
  secondCell->fontId = secondFont->fontId;
  return 1;
}
