#include "model/attribute_records.h"

#include <cstring>

namespace {

bool Names(int32_t mask, int32_t bit) { return (mask & bit) != 0; }

template <typename Field>
void CopyIf(int32_t mask, int32_t bit, Field& target, const Field& source) {
  if (Names(mask, bit)) target = source;
}

template <typename Field>
void ClearIfDifferent(int32_t& mask, int32_t bit, const Field& a, const Field& b) {
  if (!(a == b)) mask &= ~bit;
}

bool SameFace(const char* a, const char* b) { return std::strncmp(a, b, kFaceNameSize) == 0; }

}  // namespace

void ApplyMasked(CharFormat& target, const CharFormat& source) {
  const int32_t m = source.mask;
  if (Names(m, kMaskFace)) {
    std::memcpy(target.face, source.face, kFaceNameSize);
    target.face[kFaceNameSize - 1] = '\0';
  }
  CopyIf(m, kMaskSize, target.size, source.size);
  CopyIf(m, kMaskColor, target.color, source.color);
  CopyIf(m, kMaskBold, target.bold, source.bold);
  CopyIf(m, kMaskItalic, target.italic, source.italic);
  CopyIf(m, kMaskHeightScale, target.heightScale, source.heightScale);
  CopyIf(m, kMaskWidthScale, target.widthScale, source.widthScale);
  CopyIf(m, kMaskPlacement, target.placement, source.placement);
}

void ApplyMasked(CharDecoration& target, const CharDecoration& source) {
  const int32_t m = source.mask;
  CopyIf(m, kMaskUnderline, target.underline, source.underline);
  CopyIf(m, kMaskShading, target.shading, source.shading);
  CopyIf(m, kMaskStrikeOut, target.strikeOut, source.strikeOut);
  CopyIf(m, kMaskEnclosure, target.enclosure, source.enclosure);
  CopyIf(m, kMaskDecorationColor, target.color, source.color);
}

void ApplyMasked(CharDesign& target, const CharDesign& source) {
  const int32_t m = source.mask;
  CopyIf(m, kMaskHollow, target.hollow, source.hollow);
  CopyIf(m, kMaskReverse, target.reverse, source.reverse);
  CopyIf(m, kMaskShadow, target.shadow, source.shadow);
}

void ApplyMasked(ParaFormat& target, const ParaFormat& source) {
  const int32_t m = source.mask;
  CopyIf(m, kMaskAlignment, target.alignment, source.alignment);
  CopyIf(m, kMaskLineGap, target.lineGap, source.lineGap);
  CopyIf(m, kMaskParagraphGap, target.paragraphGap, source.paragraphGap);
  CopyIf(m, kMaskFirstIndent, target.firstIndent, source.firstIndent);
  CopyIf(m, kMaskLeftIndent, target.leftIndent, source.leftIndent);
  CopyIf(m, kMaskRightIndent, target.rightIndent, source.rightIndent);
}

void NarrowCommon(CharFormat& common, const CharFormat& other) {
  int32_t& m = common.mask;
  if (!SameFace(common.face, other.face)) m &= ~kMaskFace;
  ClearIfDifferent(m, kMaskSize, common.size, other.size);
  ClearIfDifferent(m, kMaskColor, common.color, other.color);
  ClearIfDifferent(m, kMaskBold, common.bold, other.bold);
  ClearIfDifferent(m, kMaskItalic, common.italic, other.italic);
  ClearIfDifferent(m, kMaskHeightScale, common.heightScale, other.heightScale);
  ClearIfDifferent(m, kMaskWidthScale, common.widthScale, other.widthScale);
  ClearIfDifferent(m, kMaskPlacement, common.placement, other.placement);
}

void NarrowCommon(CharDecoration& common, const CharDecoration& other) {
  int32_t& m = common.mask;
  ClearIfDifferent(m, kMaskUnderline, common.underline, other.underline);
  ClearIfDifferent(m, kMaskShading, common.shading, other.shading);
  ClearIfDifferent(m, kMaskStrikeOut, common.strikeOut, other.strikeOut);
  ClearIfDifferent(m, kMaskEnclosure, common.enclosure, other.enclosure);
  ClearIfDifferent(m, kMaskDecorationColor, common.color, other.color);
}

void NarrowCommon(CharDesign& common, const CharDesign& other) {
  int32_t& m = common.mask;
  ClearIfDifferent(m, kMaskHollow, common.hollow, other.hollow);
  ClearIfDifferent(m, kMaskReverse, common.reverse, other.reverse);
  ClearIfDifferent(m, kMaskShadow, common.shadow, other.shadow);
}

void NarrowCommon(ParaFormat& common, const ParaFormat& other) {
  int32_t& m = common.mask;
  ClearIfDifferent(m, kMaskAlignment, common.alignment, other.alignment);
  ClearIfDifferent(m, kMaskLineGap, common.lineGap, other.lineGap);
  ClearIfDifferent(m, kMaskParagraphGap, common.paragraphGap, other.paragraphGap);
  ClearIfDifferent(m, kMaskFirstIndent, common.firstIndent, other.firstIndent);
  ClearIfDifferent(m, kMaskLeftIndent, common.leftIndent, other.leftIndent);
  ClearIfDifferent(m, kMaskRightIndent, common.rightIndent, other.rightIndent);
}
