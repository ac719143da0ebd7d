// The text of a unit around the caret (the selection, the line, the short
// unit before or after the caret, the sentence, one character) for the
// engine's text commands and for reading aloud, and the steps one
// character back or on that skip the blank places of a line. Every text
// is fetched through one range routine that asks the container for the
// range in the requested form.
#include <cstring>
#include <exception>
#include <string>

#include "engine/doc_root.h"
#include "engine/texts.h"
#include "model/table_object.h"
#include "platform/archive.h"
#include "platform/file.h"

namespace {

constexpr int kTextFound = 0;
constexpr int kNothingFetched = 1;
constexpr int kStoreDone = 0;

// Caret flags (GetCaretFlags): at the document's first or last position.
constexpr int32_t kCaretAtTop = 0x1;
constexpr int32_t kCaretAtLast = 0x2;
constexpr int kDocumentWise = 0;

// Places of a line that hold no character: a blank before the line's text
// (class 1) or after it (class 2).
constexpr int kBlankBeforeText = 1;
constexpr int kBlankAfterText = 2;

// Units of SpeakUnitText and the variants of GetWordText.
constexpr int kUnitSelection = 1;
constexpr int kUnitLine = 2;
constexpr int kUnitSentence = 3;
constexpr int kUnitBeforeCaret = 4;
constexpr int kUnitAfterCaret = 5;
constexpr int kWordBeforeCaret = 1;
constexpr int kWordAfterCaret = 2;

// Reading modes of SpeakCaretChar and the speech kind of each.
constexpr int kReadCharacter = 1;
constexpr int kReadDetailed = 2;
constexpr int kReadCodes = 3;
constexpr int kCueReplacedSpeech = -1;

constexpr int kNoWait = 0;

// The end-of-text mark inside a table cell's text.
constexpr size_t kInnerType = 2;
constexpr size_t kInnerSubKind = 3;

CTableObject* CaretTableOf(CDocObjContainer& root) {
  if (root.Children().GetCurrentType() != kObjectTable) return nullptr;
  return dynamic_cast<CTableObject*>(root.Children().GetCurrent());
}

// The table's text of the caret's line in the given part.
int TableLineText(CTableObject& table, int part, std::string& text) {
  text.clear();
  try {
    platform::CMemFile file;
    platform::CArchive archive(&file, platform::CArchive::kStore);
    const int written = table.WriteCaretLineText(archive, part);
    archive.Close();
    text.assign(reinterpret_cast<const char*>(file.Data()), file.GetLength());
    return written != 0 ? kTextFound : kNothingFetched;
  } catch (const std::exception&) {
    text.clear();
    return kNothingFetched;
  }
}

bool IsAtEndOfText(const ObjectDescription& place) {
  if (place[kDescType] == kObjectText) return place[kDescSubKind] == kSubKindEndOfText;
  return InCellText(place) && place[kInnerType] == kObjectText &&
         place[kInnerSubKind] == kSubKindEndOfText;
}

}  // namespace

int CDocBunsObj::MoveFrom(int code, const CVedTextPos* from, CVedTextPos* out) {
  const MoveParams still{0, caretRect_.left, 1};
  CVedTextPos moved;
  if (MoveCursor(code, &still, from, &moved) != kMoveDone || moved.IsEmpty()) {
    *out = from != nullptr ? *from : caret_;
    return 0;
  }
  *out = moved;
  return 1;
}

CVedTextPos CDocBunsObj::MovingPosition() {
  if (!HasPlainSelection() || rangeMarking_ != 0 || selectionUnit_ != 1 || selectionOrder_ < 0) {
    return caret_;
  }
  CVedTextPos last;
  MoveFrom(kMovePrevChar, &caret_, &last);
  return last;
}

int CDocBunsObj::GetTextInRange(int format, const CVedTextPos* from, const CVedTextPos* to,
                                std::string& text) {
  text.clear();
  if (from == nullptr || to == nullptr) return kNothingFetched;
  CVedTextPos a = *from;
  CVedTextPos b = *to;
  OrderPositions(a, b);
  try {
    platform::CMemFile file;
    platform::CArchive archive(&file, platform::CArchive::kStore);
    const int answer = SerializeRange(archive, format, 0, &a, &b, nullptr);
    archive.Close();
    if (answer != kStoreDone) return kNothingFetched;
    text.assign(reinterpret_cast<const char*>(file.Data()), file.GetLength());
    return kTextFound;
  } catch (const std::exception&) {
    return kNothingFetched;
  }
}

int CDocBunsObj::GetRangeText(int format, std::string& text, int movingOnly) {
  if (!HasSelection()) return GetTextInRange(format, &caret_, &caret_, text);
  if (movingOnly != 0) {
    const CVedTextPos moving = MovingPosition();
    return GetTextInRange(format, &moving, &moving, text);
  }
  const CVedTextRange selected = SelectedContent();
  return GetTextInRange(format, &selected.start, &selected.end, text);
}

int CDocBunsObj::GetTextBeforeCaret(int format, std::string& text) {
  if (HasSelection()) return GetRangeText(format, text, 0);
  CVedTextPos previous;
  if (PreviousCharPosition(&caret_, &previous, 0) == 0) {
    text.clear();
    return kNothingFetched;
  }
  return GetTextInRange(format, &previous, &previous, text);
}

int CDocBunsObj::GetLineText(int format, std::string& text, int caretLine) {
  if (CTableObject* table = CaretTableOf(*this)) {
    return TableLineText(*table, CTableObject::kLineWhole, text);
  }
  const bool caretOnly = caretLine != 0 || !HasSelection();
  const bool caretFirst = selectionOrder_ < 0;
  const CVedTextPos& earlier =
      caretOnly ? caret_ : (caretFirst ? selectionCaretEnd_ : selectionAnchorEnd_);
  const CVedTextPos& later =
      caretOnly ? caret_ : (caretFirst ? selectionAnchorEnd_ : selectionCaretEnd_);
  CVedTextPos start;
  CVedTextPos end;
  MoveFrom(kMoveLineStart, &earlier, &start);
  MoveFrom(kMoveLineEnd, &later, &end);
  return GetTextInRange(format, &start, &end, text);
}

int CDocBunsObj::GetWordText(int format, std::string& text, int variant) {
  if (CTableObject* table = CaretTableOf(*this)) return TableLineText(*table, variant + 1, text);
  text.clear();
  if (variant == kWordAfterCaret) {
    CVedTextPos end;
    MoveFrom(kMoveRightEnd, &caret_, &end);
    return GetTextInRange(format, &caret_, &end, text);
  }
  if (variant != kWordBeforeCaret || !IsTextPosition(&caret_)) return kTextFound;
  CVedTextPos start;
  MoveFrom(kMoveLeftEnd, &caret_, &start);
  if (start == caret_) return kTextFound;
  CVedTextPos end;
  MoveFrom(kMovePrevChar, &caret_, &end);
  return GetTextInRange(format, &start, &end, text);
}

int CDocBunsObj::GetSentenceText(int format, std::string& text) {
  text.clear();
  if (!IsTextPosition(&caret_)) return kTextFound;
  const bool caretOnly = !HasSelection();
  const bool caretFirst = selectionOrder_ < 0;
  const CVedTextPos& earlier =
      caretOnly ? caret_ : (caretFirst ? selectionCaretEnd_ : selectionAnchorEnd_);
  const CVedTextPos& later =
      caretOnly ? caret_ : (caretFirst ? selectionAnchorEnd_ : selectionCaretEnd_);
  CVedTextPos start;
  CVedTextPos end;
  MoveFrom(kMoveParagraphStart, &earlier, &start);
  MoveFrom(kMoveParagraphEnd, &later, &end);
  return GetTextInRange(format, &start, &end, text);
}

int CDocBunsObj::PreviousCharPosition(const CVedTextPos* from, CVedTextPos* out, int clamp) {
  const CVedTextPos origin = from != nullptr ? *from : caret_;
  CVedTextPos result;
  if ((GetCaretFlags(&origin, kDocumentWise) & kCaretAtTop) != 0) {
    if (clamp == 0) return 0;
    MoveFrom(kMoveDocumentStart, &origin, &result);
  } else {
    MoveFrom(kMovePrevChar, &origin, &result);
    if (!IsTextPosition(&result)) {
      if (clamp != 0) MoveFrom(kMoveLineStart, &origin, &result);
    } else if (ClassifyLinePosition(&result) == kBlankBeforeText) {
      CVedTextPos above;
      if (IsFirstLine(&result) != 0) {
        if (clamp != 0) MoveFrom(kMoveLineStart, &origin, &result);
      } else if (MoveFrom(kMoveLineUp, &result, &above) != 0) {
        MoveFrom(kMoveLineEnd, &above, &result);
      }
    } else if (ClassifyLinePosition(&result) == kBlankAfterText) {
      const CVedTextPos blank = result;
      MoveFrom(kMoveLineEnd, &blank, &result);
    }
  }
  if (!IsTextPosition(&result)) return 0;
  if (out != nullptr) *out = result;
  return 1;
}

int CDocBunsObj::NextCharPosition(const CVedTextPos* from, CVedTextPos* out, int clamp) {
  const CVedTextPos origin = from != nullptr ? *from : caret_;
  CVedTextPos result;
  if ((GetCaretFlags(&origin, kDocumentWise) & kCaretAtLast) != 0) {
    if (clamp == 0) return 0;
    MoveFrom(kMoveDocumentEnd, &origin, &result);
  } else {
    MoveFrom(kMoveNextChar, &origin, &result);
    if (!IsTextPosition(&result)) {
      if (clamp != 0) MoveFrom(kMoveLineEnd, &origin, &result);
    } else if (ClassifyLinePosition(&result) == kBlankBeforeText) {
      const CVedTextPos blank = result;
      MoveFrom(kMoveLineStart, &blank, &result);
    } else if (ClassifyLinePosition(&result) == kBlankAfterText) {
      const CVedTextPos blank = result;
      const bool lastLine = IsLastLine(&blank) != 0;
      MoveFrom(lastLine && clamp != 0 ? kMoveLineEnd : kMoveNextLineStart, &blank, &result);
    }
  }
  if (!IsTextPosition(&result)) return 0;
  if (out != nullptr) *out = result;
  return 1;
}

int CDocBunsObj::SpeakUnitText(int unit, int interrupt) {
  std::string text;
  int fetched = kNothingFetched;
  switch (unit) {
    case kUnitSelection:
      if (HasSelection()) fetched = GetRangeText(kFormatBareText, text, 0);
      break;
    case kUnitLine:
      fetched = GetLineText(kFormatBareText, text, 1);
      break;
    case kUnitSentence:
      if (!IsTextPosition(&caret_)) {
        feedback_.Cue(kCueWarning, interrupt, kCueAsync);
        return 0;
      }
      fetched = GetSentenceText(kFormatBareText, text);
      break;
    case kUnitBeforeCaret:
      fetched = GetWordText(kFormatBareText, text, kWordBeforeCaret);
      break;
    case kUnitAfterCaret:
      fetched = GetWordText(kFormatBareText, text, kWordAfterCaret);
      break;
    default:
      fetched = kTextFound;
      break;
  }
  if (fetched != kTextFound) return 0;
  feedback_.Speak(kSpeechPlain, text.c_str(), interrupt, kNoWait);
  return static_cast<int>(text.size());
}

int CDocBunsObj::SpeakCaretChar(int mode, int interrupt) {
  const CVedTextPos pos = MovingPosition();
  const ObjectDescription place = DescribePlace(&pos);
  if (mode == kReadCharacter && IsAtEndOfText(place)) {
    if (place[kDescType] == kObjectTable || IsLastLine(&pos) != 0) {
      feedback_.Cue(kCueBlankAtTextEnd, interrupt, kCueAsync);
      return kCueReplacedSpeech;
    }
    feedback_.Speak(kSpeechOwnGuide, kPhraseLineFeed, interrupt, kNoWait);
    return static_cast<int>(std::strlen(kPhraseLineFeed));
  }
  if (mode == kReadCharacter && ClassifyLinePosition(&pos) != 0) {
    std::string phrase;
    if (GetBlankText(phrase, &pos) != 0 && !phrase.empty()) {
      feedback_.Speak(kSpeechOwnGuide, phrase.c_str(), interrupt, kNoWait);
      return static_cast<int>(phrase.size());
    }
    feedback_.Cue(kCueBlank, interrupt, kCueAsync);
    return kCueReplacedSpeech;
  }
  int kind = 0;
  switch (mode) {
    case kReadCharacter:
      kind = kSpeechCharacter;
      break;
    case kReadDetailed:
      kind = kSpeechCharacterDetail;
      break;
    case kReadCodes:
      kind = kSpeechCharacterCodes;
      break;
    default:
      return 0;
  }
  std::string text;
  if (GetTextInRange(kFormatBareText, &pos, &pos, text) != kTextFound) return 0;
  if (feedback_.Speak(kind, text.c_str(), interrupt, kNoWait) == kCueReplacedSpeech) {
    return kCueReplacedSpeech;
  }
  return static_cast<int>(text.size());
}

int CDocBunsObj::SpeakString(const char* text, int interrupt) {
  return feedback_.Speak(kSpeechOwnGuide, text, interrupt, kNoWait);
}
