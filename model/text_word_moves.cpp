// Word-unit caret moves over the folded forms of the cells.
#include "model/text_navigator.h"

namespace {

constexpr char kFoldedSpace = ' ';
constexpr char kHalfWidthFullStop = '\xA1';
constexpr char kHalfWidthComma = '\xA4';

bool IsLineBreakCode(uint16_t code) {
  return code == kCodeParagraphEnd || code == kCodePageBreak || code == kCodeCrLf;
}

}  // namespace

// A blank, a full-width space or the blanks of a tab.
bool CTextNavigator::IsSpace(NodeHandle node) const {
  CharCell cell;
  return GetInfo(node, cell) != 0 && !IsControlCode(cell.code) &&
         (cell.code == kCodeBlank || cell.tag[0] == kFoldedSpace);
}

// A full stop or a comma, full or half width.
bool CTextNavigator::IsStopMark(NodeHandle node) const {
  CharCell cell;
  return GetInfo(node, cell) != 0 && !IsControlCode(cell.code) &&
         (cell.tag[0] == kHalfWidthFullStop || cell.tag[0] == kHalfWidthComma);
}

bool CTextNavigator::IsSpaceOrMark(NodeHandle node) const {
  return IsSpace(node) || IsStopMark(node);
}

bool CTextNavigator::IsWordBreak(NodeHandle node) const {
  CharCell cell;
  return GetInfo(node, cell) != 0 && (IsLineBreakCode(cell.code) || cell.code == kCodeEndOfText);
}

void CTextNavigator::WordStart(TextNodes* nodes) const {
  if (IsWordBreak(nodes->cell)) StepCell(nodes, false);
  while (IsSpaceOrMark(nodes->cell) && StepCell(nodes, false)) {
  }
  while (true) {
    TextNodes prev = *nodes;
    if (!StepCell(&prev, false) || IsSpaceOrMark(prev.cell) || IsWordBreak(prev.cell)) return;
    *nodes = prev;
  }
}

bool CTextNavigator::NextWord(TextNodes* nodes) const {
  TextNodes walk = *nodes;
  while (!IsWordBreak(walk.cell) && !IsSpaceOrMark(walk.cell)) {
    if (!StepCell(&walk, true)) return false;
  }
  CharCell cell;
  GetInfo(walk.cell, cell);
  if (cell.code == kCodeEndOfText) return false;
  // The last space of a run of spaces ends the word.
  while (IsSpace(walk.cell)) {
    TextNodes next = walk;
    if (!StepCell(&next, true) || !IsSpace(next.cell)) break;
    walk = next;
  }
  if (!StepCell(&walk, true)) return false;
  *nodes = walk;
  return true;
}

int CTextNavigator::MoveByWord(int kind, TextNodes* nodes, bool* edge) const {
  *edge = false;
  TextNodes walk = *nodes;
  switch (kind) {
    case kWordStart:
      WordStart(&walk);
      break;
    case kWordNext:
      *edge = !NextWord(&walk);
      break;
    case kWordPrevious:
      WordStart(&walk);
      *edge = !StepCell(&walk, false);
      if (!*edge) WordStart(&walk);
      break;
    case kWordLast:
      walk.paragraph = Navigate(kLevelParagraph, kNavLast, kNoNode);
      walk.line = Navigate(kLevelLine, kNavLast, kNoNode);
      walk.cell = Navigate(kLevelCell, kNavLast, kNoNode);
      WordStart(&walk);
      break;
    default:
      return 0;
  }
  if (!*edge) *nodes = walk;
  return 1;
}
