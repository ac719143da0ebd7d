// What one edit changed, as the document root reports it to the engine after
// every command: the page table re-paginates and repaints from it, the
// engine checks the oversize range.
#pragma once

#include <array>
#include <cstdint>

#include "model/position.h"
#include "platform/windef.h"

// The changed area as first line, middle block and last line.
inline constexpr size_t kChangeAreaCount = 3;

struct ChangeRecord {
  int32_t changed = 0;  // non-zero when the content changed
  // Start of the line that holds the start of the change.
  CVedTextPos lineStart;
  int32_t heightChanged = 0;     // 1 when the document's height changed
  int32_t pageBreakChanged = 0;  // 1 when a page break went in or came out
  CVedTextPos changeEnd;
  // Twips; x from the text area's left edge, y from the top of the line at
  // `lineStart`.
  std::array<platform::RECT, kChangeAreaCount> area{};
  // The range checked for a table line taller than a page.
  CVedTextPos oversizeStart;
  CVedTextPos oversizeEnd;
};
