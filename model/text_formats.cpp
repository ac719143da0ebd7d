#include "model/text_formats.h"

#include <cstring>

#include "model/font_table.h"
#include "model/font_use_list.h"
#include "platform/font_service.h"
#include "platform/sjis.h"

namespace {

constexpr int32_t kMinSize = 70;
constexpr int32_t kMaxSize = 720;
constexpr unsigned kMaxScale = 200;
constexpr unsigned kPlacementCodes = 4;
constexpr uint8_t kUnderlineKinds[] = {0, 17, 18, 32, 48, 64};
constexpr uint8_t kStrikeOutKinds[] = {0, 17, 18, 32};
constexpr uint8_t kMaxEnclosure = 1;
constexpr uint8_t kMaxShading = 2;

bool Names(int32_t mask, int32_t bit) { return (mask & bit) != 0; }

template <size_t N>
bool OneOf(uint8_t value, const uint8_t (&allowed)[N]) {
  for (uint8_t a : allowed) {
    if (a == value) return true;
  }
  return false;
}

template <typename Field>
void CopyIf(int32_t mask, int32_t bit, Field& target, Field source) {
  if (Names(mask, bit)) target = source;
}

void CopyFace(char* target, const char* source) {
  std::memcpy(target, source, kFaceNameSize);
  target[kFaceNameSize - 1] = '\0';
}

CharFormat FontFields(const CharFontState& state) {
  CharFormat format;
  CopyFace(format.face, state.face);
  format.size = state.size;
  format.heightScale = state.heightScale;
  format.widthScale = state.widthScale;
  format.bold = state.bold;
  format.italic = state.italic;
  return format;
}

}  // namespace

CharFontState CTextFormatDefaults::DefaultFontState() {
  CharFontState state;
  state.size = kDefaultSize;
  return state;
}

void CTextFormatDefaults::BindTypingRecords(CharFontState* font, CellDecoration* decoration,
                                            CellDesign* design) {
  typingFont_ = font;
  typingDecoration_ = decoration;
  typingDesign_ = design;
}

int CTextFormats::Init(CharFontState* font, CellDecoration* decoration, CellDesign* design,
                       PageFormat* pageFormat, CFontUseList* fontUse) {
  if (typingFont_ != nullptr || pageFormat_ != nullptr || fontUse_ != nullptr) return 1;
  BindTypingRecords(font, decoration, design);
  pageFormat_ = pageFormat;
  fontUse_ = fontUse;
  if (pageFormat_ != nullptr) ClearPageFormat(*pageFormat_);
  return 1;
}

void CTextFormats::ClearPageFormat(PageFormat& format) {
  format.referenceDC = nullptr;
  format.textWidth = 0;
  format.textHeight = kUnboundedTextHeight;
  format.vertical = 0;
  format.lineStartRule = 0;
  format.lineStartChars[0] = '\0';
  format.lineEndRule = 0;
  format.lineEndChars[0] = '\0';
  format.tabInterval = format.firstIndent = format.leftIndent = format.rightIndent = 0;
  format.charGap = format.lineGap = format.charPitch = format.linePitch = 0;
}

int CTextFormats::CheckPageFormat(const PageFormat& format) const {
  return (format.vertical == 0 || format.vertical == 1) && format.referenceDC != nullptr ? 1 : 0;
}

int CTextFormats::ResetTypingFont(const PageFormat& format) {
  if (typingFont_ == nullptr) return 0;
  CopyFace(typingFont_->face, format.face);
  typingFont_->size = format.fontSize;
  typingFont_->heightScale = format.heightScale;
  typingFont_->widthScale = format.widthScale;
  typingFont_->bold = format.bold;
  typingFont_->italic = format.italic;
  return 1;
}

int CTextFormats::SetTypingFormat(const CharFormat& format) {
  if (typingFont_ == nullptr) return 0;
  const CharFontState saved = *typingFont_;
  if (ApplyCharFormat(*typingFont_, format) == 0) {
    *typingFont_ = saved;
    return 0;
  }
  const platform::HDC dc = pageFormat_ != nullptr ? pageFormat_->referenceDC : nullptr;
  if (ResolveFont(dc, *typingFont_) == nullptr) {
    // A format no font can realise must not look accepted.
    *typingFont_ = saved;
    return 0;
  }
  return 1;
}

int CTextFormats::GetTypingFormat(CharFormat* out) const {
  if (typingFont_ == nullptr || out == nullptr) return 0;
  *out = FontFields(*typingFont_);
  out->color = typingFont_->color;
  out->placement = typingFont_->placement;
  out->mask = kMaskEveryField;
  return 1;
}

int CTextFormats::IsSameCharFormat(const CharFormat& a, const CharFormat& b) {
  const int32_t m = a.mask;
  if (m == kMaskEveryField && b.mask != kMaskEveryField) return 0;
  if (Names(m, kMaskFace) && std::strncmp(a.face, b.face, kFaceNameSize) != 0) return 0;
  if (Names(m, kMaskSize) && a.size != b.size) return 0;
  if (Names(m, kMaskColor) && a.color != b.color) return 0;
  if (Names(m, kMaskBold) && a.bold != b.bold) return 0;
  if (Names(m, kMaskItalic) && a.italic != b.italic) return 0;
  if (Names(m, kMaskHeightScale) && a.heightScale != b.heightScale) return 0;
  if (Names(m, kMaskWidthScale) && a.widthScale != b.widthScale) return 0;
  if (Names(m, kMaskPlacement) && a.placement != b.placement) return 0;
  return 1;
}

int CTextFormats::ApplyCharFormat(CharFontState& target, const CharFormat& source) const {
  const int32_t m = source.mask;
  if (Names(m, kMaskFace)) CopyFace(target.face, source.face);
  CopyIf(m, kMaskSize, target.size, source.size);
  CopyIf(m, kMaskBold, target.bold, source.bold);
  CopyIf(m, kMaskItalic, target.italic, source.italic);
  CopyIf(m, kMaskHeightScale, target.heightScale, source.heightScale);
  CopyIf(m, kMaskWidthScale, target.widthScale, source.widthScale);
  CopyIf(m, kMaskColor, target.color, source.color);
  CopyIf(m, kMaskPlacement, target.placement, static_cast<int16_t>(source.placement));
  return ValidateFontState(target, m, false);
}

int CTextFormats::ApplyDecoration(CellDecoration& target, const CharDecoration& source) const {
  const int32_t m = source.mask;
  CopyIf(m, kMaskUnderline, target.underline, static_cast<uint8_t>(source.underline));
  CopyIf(m, kMaskShading, target.shading, static_cast<uint8_t>(source.shading));
  CopyIf(m, kMaskStrikeOut, target.strikeOut, static_cast<uint8_t>(source.strikeOut));
  CopyIf(m, kMaskEnclosure, target.enclosure, static_cast<uint8_t>(source.enclosure));
  CopyIf(m, kMaskDecorationColor, target.color, source.color);
  return ValidateDecoration(target, m);
}

int CTextFormats::ApplyDesign(CellDesign& target, const CharDesign& source) const {
  const int32_t m = source.mask;
  CopyIf(m, kMaskHollow, target.hollow, source.hollow);
  CopyIf(m, kMaskReverse, target.reverse, source.reverse);
  CopyIf(m, kMaskShadow, target.shadow, source.shadow);
  return ValidateDesign(target, m);
}

int CTextFormats::ApplyParaFormat(ParagraphInfo& target, const ParaFormat& source) const {
  const int32_t m = source.mask;
  CopyIf(m, kMaskAlignment, target.alignment, source.alignment);
  CopyIf(m, kMaskLineGap, target.lineGap, source.lineGap);
  CopyIf(m, kMaskParagraphGap, target.paragraphGap, source.paragraphGap);
  CopyIf(m, kMaskFirstIndent, target.firstIndent, source.firstIndent);
  CopyIf(m, kMaskLeftIndent, target.leftIndent, source.leftIndent);
  CopyIf(m, kMaskRightIndent, target.rightIndent, source.rightIndent);
  return ValidateParaFormat(target, m);
}

int CTextFormats::ValidateFontState(const CharFontState& s, int32_t mask, bool requireFont) {
  if (Names(mask, kMaskFace) && s.face[0] == '\0') return 0;
  if (Names(mask, kMaskSize) && (s.size < kMinSize || s.size > kMaxSize)) return 0;
  if (Names(mask, kMaskHeightScale) && s.heightScale > kMaxScale) return 0;
  if (Names(mask, kMaskWidthScale) && s.widthScale > kMaxScale) return 0;
  if (Names(mask, kMaskBold) && s.bold > 1) return 0;
  if (Names(mask, kMaskItalic) && s.italic > 1) return 0;
  if (Names(mask, kMaskPlacement) && static_cast<uint16_t>(s.placement) >= kPlacementCodes) {
    return 0;
  }
  if (requireFont && (s.font == nullptr || s.fontId < 0)) return 0;
  return 1;
}

int CTextFormats::ValidateDecoration(const CellDecoration& d, int32_t mask) {
  if (Names(mask, kMaskUnderline) && !OneOf(d.underline, kUnderlineKinds)) return 0;
  if (Names(mask, kMaskStrikeOut) && !OneOf(d.strikeOut, kStrikeOutKinds)) return 0;
  if (Names(mask, kMaskEnclosure) && d.enclosure > kMaxEnclosure) return 0;
  if (Names(mask, kMaskShading) && d.shading > kMaxShading) return 0;
  return 1;
}

int CTextFormats::ValidateDesign(const CellDesign& d, int32_t mask) {
  if (Names(mask, kMaskHollow) && d.hollow > 1) return 0;
  if (Names(mask, kMaskReverse) && d.reverse > 1) return 0;
  if (Names(mask, kMaskShadow) && d.shadow > 1) return 0;
  return 1;
}

int CTextFormats::ValidateParaFormat(const ParagraphInfo& p, int32_t mask) {
  if (Names(mask, kMaskAlignment) && (p.alignment < kAlignJustify || p.alignment > kAlignRight)) {
    return 0;
  }
  if (Names(mask, kMaskFirstIndent) && p.firstIndent < 0) return 0;
  if (Names(mask, kMaskLeftIndent) && p.leftIndent < 0) return 0;
  if (Names(mask, kMaskRightIndent) && p.rightIndent < 0) return 0;
  return 1;
}

// Each comparison goes through the exchanged record, so that one rule
// (NarrowCommon) decides what "the same" means for every kind.
void CTextFormats::ClearDifferingFontBits(const CharFontState& a, const CharFontState& b,
                                          int32_t& mask) {
  CharFormat common = FontFields(a);
  common.color = a.color;
  common.placement = a.placement;
  CharFormat other = FontFields(b);
  other.color = b.color;
  other.placement = b.placement;
  common.mask = mask;
  NarrowCommon(common, other);
  mask = common.mask;
}

void CTextFormats::ClearDifferingDecorationBits(const CellDecoration& a, const CellDecoration& b,
                                                int32_t& mask) {
  CharDecoration common;
  CharDecoration other;
  DecorationToRecord(a, &common);
  DecorationToRecord(b, &other);
  common.mask = mask;
  NarrowCommon(common, other);
  mask = common.mask;
}

void CTextFormats::ClearDifferingDesignBits(const CellDesign& a, const CellDesign& b,
                                            int32_t& mask) {
  CharDesign common;
  CharDesign other;
  DesignToRecord(a, &common);
  DesignToRecord(b, &other);
  common.mask = mask;
  NarrowCommon(common, other);
  mask = common.mask;
}

void CTextFormats::ClearDifferingParaBits(const ParagraphInfo& a, const ParagraphInfo& b,
                                          int32_t& mask) {
  ParaFormat common = ParagraphToRecord(a);
  common.mask = mask;
  NarrowCommon(common, ParagraphToRecord(b));
  mask = common.mask;
}

void CTextFormats::FontStateToCharFormat(const CharFontState& state, CharFormat* out) const {
  *out = FontFields(state);
  out->color = state.color;
  out->placement = state.placement;
  out->mask = kMaskCharFormatAll;
}

void CTextFormats::DecorationToRecord(const CellDecoration& d, CharDecoration* out) {
  *out =
      CharDecoration{kMaskDecorationAll, d.underline, d.shading, d.strikeOut, d.enclosure, d.color};
}

void CTextFormats::DesignToRecord(const CellDesign& d, CharDesign* out) {
  *out = CharDesign{kMaskDesignAll, d.hollow, d.reverse, d.shadow};
}

ParaFormat CTextFormats::ParagraphToRecord(const ParagraphInfo& p) {
  return ParaFormat{kMaskParaFormatAll, p.alignment,  p.lineGap,    p.paragraphGap,
                    p.firstIndent,      p.leftIndent, p.rightIndent};
}

platform::HFONT CTextFormats::ResolveFont(platform::HDC dc, CharFontState& state) const {
  if (fontUse_ == nullptr) return nullptr;
  int32_t id = -1;
  const platform::HFONT font = fontUse_->SelectFormatFont(dc, FontFields(state), &id, 0);
  if (font == nullptr) {
    state.fontId = -1;
    return nullptr;
  }
  if (font != state.font || id != state.fontId) {
    state.font = font;
    state.fontId = id;
    GetFontMetrics(id, &state.metric1, &state.metric2);
  }
  return font;
}

int CTextFormats::GetFontState(int32_t fontId, CharFontState* out) const {
  FontInfo info;
  if (fontUse_ == nullptr || fontId < 0) return 0;
  const platform::HFONT font = fontUse_->GetFontInfo(fontId, &info);
  if (font == nullptr) return 0;
  *out = CharFontState{};
  CopyFace(out->face, info.face);
  out->size = info.size;
  out->heightScale = info.heightScale;
  out->widthScale = info.widthScale;
  out->bold = info.bold;
  out->italic = info.italic;
  out->font = font;
  out->fontId = fontId;
  out->metric1 = info.ascent;
  out->metric2 = info.descent;
  return 1;
}

int CTextFormats::GetFontFormat(int32_t fontId, CharFormat* out) const {
  CharFontState state;
  if (GetFontState(fontId, &state) == 0) return 0;
  const int32_t mask = out->mask;
  const platform::COLORREF color = out->color;
  const int32_t placement = out->placement;
  *out = FontFields(state);
  out->mask = mask;
  out->color = color;
  out->placement = placement;
  return 1;
}

int CTextFormats::GetFontMetrics(int32_t fontId, int32_t* metric1, int32_t* metric2) const {
  FontInfo info;
  if (fontUse_ == nullptr || fontId < 0 || fontUse_->GetFontInfo(fontId, &info) == nullptr) {
    return 0;
  }
  *metric1 = info.ascent;
  *metric2 = info.descent;
  return 1;
}

int32_t CTextFormats::GetPunctuationSpace(int32_t fontId, uint16_t code) const {
  int32_t blank = 0;
  if (fontUse_ == nullptr || fontId < 0) return 0;
  return fontUse_->GetPunctuationSpace(fontId, code, &blank) != 0 ? blank : 0;
}

uint8_t CTextFormats::FaceCharSet(const char* face) const {
  const platform::FaceDescription* found = platform::FindFace(platform::CurrentFontService(), face);
  return found != nullptr ? found->charSet : platform::ANSI_CHARSET;
}

bool CTextFormats::GetCharWidths(int32_t fontId, std::string_view text,
                                 std::vector<int32_t>* out) const {
  out->clear();
  if (fontUse_ == nullptr || fontId < 0 || pageFormat_ == nullptr ||
      pageFormat_->referenceDC == nullptr) {
    return false;
  }
  std::vector<int32_t> perByte(text.size(), 0);
  fontUse_->GetCharWidths(fontId, text.data(), static_cast<int32_t>(text.size()), perByte.data());
  for (size_t i = 0; i < text.size(); i += platform::CharLengthAt(text, i)) {
    out->push_back(perByte[i]);
  }
  return true;
}

int32_t CTextFormats::GetCodeWidth(int32_t fontId, uint16_t code) const {
  if (fontUse_ == nullptr || fontId < 0) return 0;
  return fontUse_->GetCharWidth(fontId, code);
}

int CTextFormats::MakeCellTemplate(const CharFontState* font, const CellDecoration* decoration,
                                   const CellDesign* design, CharCell* out) const {
  if (font == nullptr) font = typingFont_;
  if (decoration == nullptr) decoration = typingDecoration_;
  if (design == nullptr) design = typingDesign_;
  if (font == nullptr || decoration == nullptr || design == nullptr || pageFormat_ == nullptr) {
    return 0;
  }
  CharFontState resolved = *font;
  if (resolved.fontId < 0 && ResolveFont(pageFormat_->referenceDC, resolved) == nullptr) return 0;
  *out = CharCell{};
  out->fontId = static_cast<int16_t>(resolved.fontId);
  out->color = resolved.color;
  out->placement = static_cast<uint8_t>(resolved.placement);
  out->decoration = *decoration;
  out->design = *design;
  out->glyphWidth = (resolved.metric1 + resolved.metric2) / 2;
  out->cellWidth = pageFormat_->charGap;
  return 1;
}
