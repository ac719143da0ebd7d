// The page format every document object receives: the layout-relevant
// part of the document's page style, with the reference device context.
// It lives in memory only; nothing stores it as a block.
#pragma once

#include <cstdint>

#include "model/attribute_records.h"
#include "platform/windef.h"

inline constexpr int kKinsokuListSize = 128;
// A text height of -1 means the text may grow without bound (body text);
// table cells and grid areas get a real height.
inline constexpr int32_t kUnboundedTextHeight = -1;

struct PageFormat {
  platform::HDC referenceDC = nullptr;
  int32_t resolutionX = 0;  // dots per inch
  int32_t resolutionY = 0;
  int32_t textWidth = 0;  // twips
  int32_t textHeight = kUnboundedTextHeight;
  char face[kFaceNameSize] = {};  // base font, Shift-JIS, no leading at-sign
  int32_t fontSize = 0;           // tenths of a point
  uint8_t heightScale = 0;
  uint8_t widthScale = 0;
  uint8_t bold = 0;
  uint8_t italic = 0;
  int16_t vertical = 0;
  int16_t lineStartRule = 0;  // non-zero: a line must not start with a listed character
  char lineStartChars[kKinsokuListSize] = {};
  int16_t lineEndRule = 0;  // non-zero: a line must not end with a listed character
  char lineEndChars[kKinsokuListSize] = {};
  int32_t tabInterval = 0;  // twips (characters times the character pitch)
  int32_t firstIndent = 0;  // twips
  int32_t leftIndent = 0;   // twips
  int32_t rightIndent = 0;  // twips
  int32_t charGap = 0;      // twips
  int32_t lineGap = 0;      // twips
  int32_t charPitch = 0;    // twips
  int32_t linePitch = 0;    // twips
  // Set in a table cell's format: the container then keeps a grid area
  // after its text to pad the cell to the row height.
  int32_t cellFlag = 0;
};
