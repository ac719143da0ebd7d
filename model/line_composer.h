// Breaks the characters of a paragraph into lines under the Japanese
// line-breaking rules: a line must not begin with a character of the
// line-start list nor end with one of the line-end list. A broken rule is
// first mended by squeezing the blank halves of punctuation so that one
// more character fits (push-in), and only then by moving characters to the
// next line (push-out). It also folds characters for matching.
//
// Each text engine has its own composer, so that two documents laying out
// never share a work array; between lines it keeps only that array's room.
#pragma once

#include <cstdint>
#include <vector>

#include "model/text_records.h"

class CTextFormats;
class CTextStore;
struct PageFormat;

// Kinsoku classes of a cell.
inline constexpr uint8_t kBreakAny = 0;
inline constexpr uint8_t kBreakNotAtLineStart = 1;
inline constexpr uint8_t kBreakNotAtLineEnd = 2;

// The outcome of fitting one line.
struct FitResult {
  int32_t cellCount = 0;
  int32_t usedWidth = 0;
  int32_t lineHeight = 0;
  int32_t baseline = 0;
  // Cells counted by width minus cells finally on the line: positive after
  // a push-out, negative after a push-in.
  int32_t kinsokuShift = 0;
  NodeHandle lastCell = kNoNode;
};

// The kinsoku classes under one pair of character lists, which are read
// once here rather than for every character classified.
class CKinsokuClassifier {
 public:
  CKinsokuClassifier(const char* startList, const char* endList);
  // As CLineComposer::KinsokuClass with the same lists.
  uint8_t ClassOf(uint16_t code) const;

 private:
  std::vector<uint16_t> startCodes_;
  std::vector<uint16_t> endCodes_;
};

class CLineComposer {
 public:
  // Whether the character code is one of the list's Shift-JIS characters.
  static int IsInCharList(uint16_t code, const char* list);
  static uint8_t KinsokuClass(uint16_t code, const char* startList, const char* endList);
  // The folded form (one or two bytes, NUL-padded); answers the folded
  // length when the character folds, else 0 with the character itself.
  static int FoldChar(uint16_t code, char out[2]);
  // Whether a code is one of the punctuation marks whose blank half can be
  // squeezed.
  static bool IsSqueezable(uint16_t code);

  // Fits one line from `first` within `available` twips, the paragraph
  // ending at `last`, and writes the cell widths and squeezes back into the
  // store. Answers the line's last cell, kNoNode on failure.
  NodeHandle FitLine(CTextStore& store, const CTextFormats& formats, NodeHandle first,
                     NodeHandle last, int32_t available, FitResult* out);

 private:
  struct WorkCell {
    int32_t advance = 0;
    int32_t squeeze = 0;
    int32_t trailing = 0;  // 0 or negative
    int32_t leading = 0;   // 0 or negative
    uint16_t code = 0;
    uint8_t breakClass = 0;
    NodeHandle node = kNoNode;
  };

  // The state of the line being fitted: cells [0, count) of the work array.
  struct LineState {
    int32_t available = 0;
    int32_t used = 0;
    int32_t count = 0;
    int32_t squeezeTotal = 0;
  };

  // Starts reading the paragraph's cells from `first` into the work
  // array; false when not even the first can be read.
  bool Fill(CTextStore& store, const CTextFormats& formats, NodeHandle first, NodeHandle last,
            int32_t available);
  // Reads cells until the work array holds `index`, as far as the reading
  // window reaches; answers whether it does.
  bool HasCell(int32_t index);
  bool ReadNextCell();
  void CountFit(LineState& line);
  int TryPushIn(LineState& line);
  bool ApplyLineEndRule(LineState& line, bool lineStartRuleOn);
  bool ApplyLineStartRule(LineState& line, bool lineEndRuleOn);
  void PushOutFrom(LineState& line, int32_t firstMoved);
  void WriteBack(CTextStore& store, const CTextFormats& formats, const LineState& line,
                 FitResult* out) const;
  bool IsEndMarkAt(int32_t index);

  // Where the reading of the cells into the work array stands.
  struct Reading {
    CTextStore* store = nullptr;
    const CTextFormats* formats = nullptr;
    const PageFormat* format = nullptr;
    bool anySwitch = false;
    NodeHandle next = kNoNode;  // none once the window is read or a read failed
    NodeHandle last = kNoNode;
    int64_t enough = 0;
    int64_t total = 0;
    int beyond = 0;
    bool failed = false;
  };

  std::vector<WorkCell> work_;
  Reading reading_;
};
