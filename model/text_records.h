// The records of the text store: paragraphs, lines and character cells.
// A default record is all zero, as a fresh node is before a record is
// copied into it.
// They live only in memory; the text block format stores text its own way.
#pragma once

#include <cstdint>

#include "platform/windef.h"

class CVedAnchor;

// A node of one level of the text store, valid while the node lives.
// Handles travel inside position paths, so they are 32-bit ids, never
// pointers; 0 is no node.
using NodeHandle = int32_t;
inline constexpr NodeHandle kNoNode = 0;

// Character codes of the control class (every code below 32 is one).
inline constexpr uint16_t kCodeTab = 9;
inline constexpr uint16_t kCodePageBreak = 12;
inline constexpr uint16_t kCodeParagraphEnd = 13;
inline constexpr uint16_t kCodeCrLf = 0x0D0A;
inline constexpr uint16_t kCodeEndOfText = 0xFFFF;
inline constexpr uint16_t kCodeBlank = 32;

constexpr bool IsControlCode(uint16_t code) {
  return code < 32 || code == kCodeCrLf || code == kCodeEndOfText;
}

// Paragraph alignments.
inline constexpr uint8_t kAlignJustify = 1;
inline constexpr uint8_t kAlignCenter = 2;
inline constexpr uint8_t kAlignRight = 3;

struct ParagraphInfo {
  int32_t reserved0 = 0;
  int32_t reserved1 = 0;
  int32_t textWidth = 0;  // twips
  int32_t textHeight = 0;
  int32_t lineGap = 0;       // below every line but the last
  int32_t paragraphGap = 0;  // below the last line
  int32_t reserved2 = 0;
  int32_t firstIndent = 0;
  int32_t leftIndent = 0;
  int32_t rightIndent = 0;
  uint8_t vertical = 0;
  uint8_t alignment = 0;
  int32_t lineCount = 0;
  NodeHandle firstLine = kNoNode;
  NodeHandle lastLine = kNoNode;
};

// How a line ends, as the code of its last cell says.
enum class LineEnd : uint8_t { kWrapped, kParagraph, kPageBreak, kText };

constexpr LineEnd LineEndOf(uint16_t lastCode) {
  switch (lastCode) {
    case kCodeParagraphEnd:
      return LineEnd::kParagraph;
    case kCodePageBreak:
      return LineEnd::kPageBreak;
    case kCodeEndOfText:
      return LineEnd::kText;
    default:
      return LineEnd::kWrapped;
  }
}

struct LineInfo {
  int32_t xOffset = 0;  // twips
  int32_t reserved = 0;
  int32_t usedWidth = 0;  // the end mark not counted
  int32_t height = 0;
  int32_t baseline = 0;
  int32_t composerFlag = 0;
  int32_t cellCount = 0;
  NodeHandle firstCell = kNoNode;
  NodeHandle lastCell = kNoNode;
  // The store keeps this from lastCell's code whenever the line record or
  // that cell is written, so a walk over lines need not visit their cells.
  LineEnd end = LineEnd::kWrapped;
  CVedAnchor* anchor = nullptr;  // attached with kind 1 (page records)
};

// Decoration as a cell keeps it.
struct CellDecoration {
  uint8_t underline = 0;
  uint8_t strikeOut = 0;
  uint8_t enclosure = 0;
  uint8_t shading = 0;
  platform::COLORREF color = 0;
  bool operator==(const CellDecoration&) const = default;
};

// Design as a cell keeps it.
struct CellDesign {
  uint8_t shadow = 0;
  uint8_t hollow = 0;
  uint8_t reverse = 0;
  uint8_t spare = 0;
  bool operator==(const CellDesign&) const = default;
};

// What the cell list keeps of a character cell: every field of CharCell
// but its anchor. Few cells carry one, so the list keeps the anchors beside
// the records, and a pointer in every record would make the largest
// record of a document a sixth larger.
struct StoredCell {
  uint16_t code = 0;
  // The folded form used for matching, or a special cell's display tag.
  char tag[2] = {};
  int32_t fontId = 0;  // entry of the renderer's font-use list; -1 none
  platform::COLORREF color = 0;
  uint8_t placement = 0;
  uint8_t breakClass = 0;
  uint8_t squeeze = 0;
  // Whether the list keeps an anchor for the cell; the store sets it.
  bool anchored = false;
  CellDecoration decoration;
  CellDesign design;
  int32_t glyphWidth = 0;  // twips
  int32_t cellWidth = 0;   // the space after the glyph; negative when squeezed
  int32_t adjustment = 0;
};

struct CharCell : StoredCell {
  CVedAnchor* anchor = nullptr;  // attached with any kind but 1
};

// The fourth level's record: nothing is ever stored there.
struct SpareRecord {};
