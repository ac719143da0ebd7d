// The editing commands of the 3000s, and the text getters that copy a
// unit's text into the caller's buffer.
#include <algorithm>
#include <cstring>
#include <string>

#include "engine/command_param.h"
#include "engine/wp_ctrl.h"
#include "platform/sjis.h"

namespace {

constexpr char kFormFeed[] = "\x0C";

// Copies as much of `text` as fits, with its terminating zero, never
// cutting a double-byte character in two.
void CopyToBuffer(const std::string& text, char* buffer, intptr_t size) {
  if (buffer == nullptr || size <= 0) return;
  size_t length = std::min(text.size(), static_cast<size_t>(size - 1));
  size_t end = 0;
  while (end < length) {
    const size_t step = platform::IsLeadByte(static_cast<uint8_t>(text[end])) ? 2 : 1;
    if (end + step > length) break;
    end += step;
  }
  std::memcpy(buffer, text.data(), end);
  buffer[end] = '\0';
}

}  // namespace

int CVedWpCtrl::HandleTextEdit(int code, int direction, intptr_t value) {
  ChangeRecord change;
  int changed = 0;
  switch (code) {
    case WPC_INSERT_TEXT:
      if (value == 0) return 0;
      changed = root_->InsertString(As<const char>(value), direction, &change);
      break;
    case WPC_INSERT_IME_TEXT:
      if (value == 0) return 0;
      changed = root_->InsertText(As<const char>(value), direction, &change, 1, nullptr);
      break;
    case WPC_REPLACE_SELECTION:
      if (value == 0) return 0;
      changed = root_->ReplaceSelectionText(As<const char>(value), direction, &change);
      break;
    case WPC_INSERT_PAGE_BREAK:
      changed = root_->InsertString(kFormFeed, direction, &change);
      break;
    case WPC_DELETE:
      changed = root_->DeleteChar(1, direction, &change);
      break;
    case WPC_BACKSPACE:
      changed = root_->DeleteChar(2, direction, &change);
      break;
    case WPC_DELETE_QUIET:
      changed = root_->DeleteCharQuiet(1, direction, &change);
      break;
    case WPC_DELETE_UNIT:
      return DeleteUnit(direction, static_cast<int>(value));
    case WPC_CUT:
      changed = root_->Cut(direction, &change);
      break;
    case WPC_COPY:
      root_->Copy();
      return 0;
    case WPC_PASTE:
      // A paste answers what it read: a selection it replaced by nothing
      // changed the document all the same.
      root_->Paste(direction, &change);
      changed = change.changed;
      break;
    case WPC_INSERT_LINE:
      changed = root_->InsertLine(direction, &change);
      break;
    case WPC_INSERT_FORMATTED:
      InsertFormatted(As<const CDocBunsObj::FormattedText>(value));
      return 0;
    default:
      return 0;
  }
  FinishEdit(change, changed, direction);
  return 0;
}

void CVedWpCtrl::InsertFormatted(const CDocBunsObj::FormattedText* record) {
  if (record != nullptr) {
    ChangeRecord change;
    root_->InsertTextRecord(record, &change);
  } else {
    // The end of a series: the whole document is laid out once.
    RepaginateAll();
    UpdateCaretLocation(nullptr);
    Notify(WM_WPC_CARETMOVED, 0, reinterpret_cast<platform::LPARAM>(&caretDisplay_));
  }
  ClearUndoLists();
}

int CVedWpCtrl::DeleteUnit(int direction, int unit) {
  constexpr int kToLineEnd = 1;
  constexpr int kLine = 2;
  constexpr int kToDocumentEnd = 3;
  if (unit < kToLineEnd || unit > kToDocumentEnd) return 0;
  const ObjectDescription& at = descriptions_[0];
  const bool bodyText = at[kDescType] == kObjectText;
  const bool cellText = InCellText(at);
  const bool allowed = unit == kToLineEnd
                           ? (bodyText && at[kDescSubKind] == kSubKindText) ||
                                 (cellText && at[InCellSlot(kDescType)] == kObjectText &&
                                  at[InCellSlot(kDescSubKind)] == kSubKindText)
                           : (unit == kLine ? bodyText || cellText : true);
  if (!allowed) {
    root_->PlayCue(kCueNothingToDo, 1, 2);
    return 0;
  }
  const MoveParams still{0, 0, 1};
  CVedTextPos caret = root_->Caret();
  CVedTextPos start = caret;
  CVedTextPos end;
  if (unit != kToLineEnd) root_->MoveCursor(kMoveLineStart, &still, &caret, &start);
  root_->MoveCursor(unit == kToDocumentEnd ? kMoveDocumentEnd : kMoveLineEnd, &still, &caret, &end);
  if (unit == kToLineEnd) {
    // The line's end stands on its last cell. A line ended by a mark (a
    // paragraph, a page break, the end of the text) keeps the mark; a
    // line that only wraps loses its last character too, so the range
    // runs on to the next line's start.
    LineMetrics metrics;
    root_->GetLineMetrics(&metrics, &end);
    if (metrics.endKind == kLineEndNone) {
      CVedTextPos next;
      if (root_->MoveCursor(kMoveNextChar, &still, &end, &next) == kMoveDone) end = next;
    }
    if (end == caret) {
      root_->PlayCue(kCueNothingToDo, 1, 2);
      return 0;
    }
  }
  bool selected = false;
  {
    ScopedQuietNotifier quiet(notifier_, kCaretAndContentBits);
    const int wasOn = root_->SetSpeechEnabled(0);
    root_->ClearSelection(0);
    CVedTextRange range{start, end};
    root_->SelectRange(&range.end, &range.start, 0);
    selected = root_->HasSelection();
    root_->SetSpeechEnabled(wasOn);
  }
  if (!selected) {
    root_->PlayCue(kCueNothingToDo, 1, 2);
    return 0;
  }
  ChangeRecord change;
  const int changed = root_->DeleteUnit(unit, direction, &change);
  FinishEdit(change, changed, direction);
  return 0;
}

int CVedWpCtrl::FetchText(int code, intptr_t size, char* buffer) {
  std::string text;
  int answer = 0;
  switch (code) {
    case WPC_GET_RANGE_TEXT:
    case WPC_GET_RANGE_TEXT_1:
      answer = root_->GetRangeText(kFormatPlainText, text, code == WPC_GET_RANGE_TEXT_1);
      break;
    case WPC_GET_LINE_TEXT:
    case WPC_GET_LINE_TEXT_1:
      answer = root_->GetLineText(kFormatPlainText, text, code == WPC_GET_LINE_TEXT_1);
      break;
    case WPC_GET_UNIT_TEXT:
      answer = root_->GetWordText(kFormatPlainText, text, 1);
      break;
    case WPC_GET_UNIT_TEXT_2:
      answer = root_->GetWordText(kFormatPlainText, text, 2);
      break;
    case WPC_GET_SENTENCE_TEXT:
      answer = root_->GetSentenceText(kFormatPlainText, text);
      break;
    case WPC_GET_RANGE_FTEXT:
    case WPC_GET_RANGE_FTEXT_1:
      answer = root_->GetRangeText(kFormatBareText, text, code == WPC_GET_RANGE_FTEXT_1);
      break;
    case WPC_GET_LINE_FTEXT:
      answer = root_->GetLineText(kFormatBareText, text, 1);
      break;
    default:
      return 0;
  }
  CopyToBuffer(text, buffer, size);
  return answer;
}
