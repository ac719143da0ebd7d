// A paragraph's layout as the engine's commands exchange it with the
// views: the gaps in tenths of a millimetre and the indents in characters
// (the document keeps the same fields in twips, model/attribute_records.h).
// Undo records keep one to put back the layout an edit took away.
#pragma once

#include <cstdint>

struct ParagraphLayoutRecord {
  int32_t mask = 0;  // the ParaFormat mask bits of the fields that count
  int16_t alignment = 0;
  int32_t lineGap = 0;       // tenths of a millimetre
  int32_t paragraphGap = 0;  // tenths of a millimetre
  uint16_t firstIndent = 0;  // characters
  uint16_t leftIndent = 0;   // characters
  uint16_t rightIndent = 0;  // characters
};
static_assert(sizeof(ParagraphLayoutRecord) == 24);
