// The document's page style as the user set it up (paper, margins, base
// font, pitches, page-number settings), the 704-byte record stored at the
// head of every saved document, and the page format built from it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "model/attribute_records.h"
#include "model/page_format.h"
#include "platform/archive.h"
#include "platform/windef.h"

inline constexpr size_t kDocStyleSize = 704;
inline constexpr size_t kPageNumberBlockSize = 64;
inline constexpr size_t kDocStyleMarkerSize = 16;

// Bytes 384-447 of the style, handed whole to the page-number renderer.
struct PageNumberBlock {
  char face[kFaceNameSize] = {};
  int32_t fontSize = 0;  // tenths of a point
  uint8_t heightScale = 0;
  uint8_t widthScale = 0;
  uint8_t bold = 0;
  uint8_t italic = 0;
  platform::RECT area;  // twips, page coordinates
  int16_t shown = 0;    // 0 = no page numbers
  int16_t firstNumber = 0;
  int16_t alignment = 0;  // 1 start, 3 end, else centred
  int16_t style = 0;      // 2 "- %d -", 3 "%d / %d", else "%d"
};

struct DocStyle {
  int32_t paperWidth = 0;  // tenths of a millimetre
  int32_t paperHeight = 0;
  platform::RECT textAreaTenthMm;  // margins as a rectangle on the paper
  platform::RECT textAreaTwips;
  int32_t textWidth = 0;  // twips
  int32_t textHeight = 0;
  int32_t resolutionX = 0;  // dots per inch
  int32_t resolutionY = 0;
  char face[kFaceNameSize] = {};  // stored without a leading at-sign
  int32_t fontSize = 0;
  uint8_t heightScale = 0;
  uint8_t widthScale = 0;
  uint8_t bold = 0;
  uint8_t italic = 0;
  int16_t vertical = 0;
  int16_t lineStartRule = 0;
  char lineStartChars[kKinsokuListSize] = {};
  int16_t lineEndRule = 0;
  char lineEndChars[kKinsokuListSize] = {};
  uint16_t tabInterval = 0;  // characters
  uint16_t firstIndent = 0;  // characters
  uint16_t leftIndent = 0;   // characters
  uint16_t rightIndent = 0;  // characters
  int32_t charGap = 0;       // twips
  int32_t lineGap = 0;
  int32_t charPitch = 0;
  int32_t linePitch = 0;
  PageNumberBlock pageNumbers;
  char marker[kDocStyleMarkerSize] = {};  // "0001" once written by the stream header
  int16_t orientation = 0;                // 1 portrait, 2 landscape, 0 other
};

using DocStyleBytes = std::array<uint8_t, kDocStyleSize>;

// The stored form, field by field, little-endian; reserved bytes are zero.
DocStyleBytes EncodeDocStyle(const DocStyle& style);
// Every text field comes back NUL-terminated, whatever the bytes held.
DocStyle DecodeDocStyle(const DocStyleBytes& bytes);

void WriteDocStyle(platform::CArchive& archive, const DocStyle& style);
// False when fewer than 704 bytes arrive; `style` is then unchanged.
bool ReadDocStyle(platform::CArchive& archive, DocStyle& style);

// A style can be laid out only with positive pitches and resolutions:
// columns, stops and indents all divide by them. Its lengths (text size,
// pitches, the tab interval and indents in twips) must also stay within
// kLargestStyleTwips and its gaps within as much either way, and its
// resolutions within kLargestResolution.
inline constexpr int32_t kLargestStyleTwips = 1 << 16;  // over a metre
inline constexpr int32_t kLargestResolution = 1 << 14;  // dots per inch
bool IsUsableDocStyle(const DocStyle& style);

// The page format every document object receives: a field-by-field copy,
// with the tab interval and indents turned from characters into twips.
void BuildPageFormat(const DocStyle& style, platform::HDC referenceDC, PageFormat& out);

// Turns characters per line and lines per page into pitches whose gaps are
// whole tenths of a millimetre, for a base font of line height `lineHeight`
// and descent `descent` (twips). When the pitches do not fit, the text width
// or height grows (and with it the twips text area), never the paper area.
// False, with nothing changed, when either count is not positive.
bool ApplyPitchRule(DocStyle& style, int32_t charsPerLine, int32_t linesPerPage, int32_t lineHeight,
                    int32_t descent);
