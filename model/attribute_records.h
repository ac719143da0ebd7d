// The four records in which character and paragraph formats travel
// between the engine, the document objects and the text store. Every
// record carries a field mask: a setter copies only the masked fields, and
// a getter over a range clears the bit of every field whose value is not
// the same throughout the range. The mask bits of the three character
// kinds never overlap, so one mask word can describe all three at once.
#pragma once

#include <cstdint>

#include "platform/windef.h"

// Kind 1: font.
inline constexpr int32_t kMaskFace = 0x01;
inline constexpr int32_t kMaskSize = 0x02;
inline constexpr int32_t kMaskColor = 0x04;
inline constexpr int32_t kMaskBold = 0x08;
inline constexpr int32_t kMaskItalic = 0x10;
inline constexpr int32_t kMaskHeightScale = 0x20;
inline constexpr int32_t kMaskWidthScale = 0x40;
inline constexpr int32_t kMaskPlacement = 0x80;
inline constexpr int32_t kMaskCharFormatAll = 0xFF;

// Kind 2: decoration.
inline constexpr int32_t kMaskUnderline = 0x1000;
inline constexpr int32_t kMaskShading = 0x2000;
inline constexpr int32_t kMaskStrikeOut = 0x4000;
inline constexpr int32_t kMaskEnclosure = 0x8000;
inline constexpr int32_t kMaskDecorationColor = 0x10000;
inline constexpr int32_t kMaskDecorationAll = 0x1F000;

// Kind 3: design.
inline constexpr int32_t kMaskHollow = 0x1000000;
inline constexpr int32_t kMaskReverse = 0x2000000;
inline constexpr int32_t kMaskShadow = 0x4000000;
inline constexpr int32_t kMaskDesignAll = 0x7000000;

// Kind 4: paragraph.
inline constexpr int32_t kMaskAlignment = 0x1;
inline constexpr int32_t kMaskLineGap = 0x10;
inline constexpr int32_t kMaskParagraphGap = 0x20;
inline constexpr int32_t kMaskFirstIndent = 0x100;
inline constexpr int32_t kMaskLeftIndent = 0x200;
inline constexpr int32_t kMaskRightIndent = 0x400;
inline constexpr int32_t kMaskParaFormatAll = 0x731;

// A mask of -1 names every field of a record.
inline constexpr int32_t kMaskEveryField = -1;

inline constexpr int kFaceNameSize = 32;

struct CharFormat {
  char face[kFaceNameSize] = {};  // NUL-terminated Shift-JIS
  int32_t size = 0;               // tenths of a point
  uint8_t heightScale = 0;        // percent; 0 counts as 100
  uint8_t widthScale = 0;         // percent; 0 counts as 100
  uint8_t bold = 0;
  uint8_t italic = 0;
  int32_t mask = 0;
  platform::COLORREF color = 0;
  int32_t placement = 0;  // vertical placement in the line, 0-3
};
static_assert(sizeof(CharFormat) == 52);

struct CharDecoration {
  int32_t mask = 0;
  int16_t underline = 0;
  int16_t shading = 0;
  int16_t strikeOut = 0;
  int16_t enclosure = 0;
  platform::COLORREF color = 0;
};
static_assert(sizeof(CharDecoration) == 16);

struct CharDesign {
  int32_t mask = 0;
  uint8_t hollow = 0;
  uint8_t reverse = 0;
  uint8_t shadow = 0;
};

struct ParaFormat {
  int32_t mask = 0;
  uint8_t alignment = 0;
  int32_t lineGap = 0;       // twips
  int32_t paragraphGap = 0;  // twips
  int32_t firstIndent = 0;   // twips
  int32_t leftIndent = 0;    // twips
  int32_t rightIndent = 0;   // twips
};

// Copies the fields that `source.mask` names into `target`; the target's
// own mask is left as it is.
void ApplyMasked(CharFormat& target, const CharFormat& source);
void ApplyMasked(CharDecoration& target, const CharDecoration& source);
void ApplyMasked(CharDesign& target, const CharDesign& source);
void ApplyMasked(ParaFormat& target, const ParaFormat& source);

// Clears in `common.mask` the bit of every field whose value differs in
// `other`: folding every record of a range into the first leaves exactly
// the fields the range has in common.
void NarrowCommon(CharFormat& common, const CharFormat& other);
void NarrowCommon(CharDecoration& common, const CharDecoration& other);
void NarrowCommon(CharDesign& common, const CharDesign& other);
void NarrowCommon(ParaFormat& common, const ParaFormat& other);
