// The document's spoken account of itself for a blind user: after a caret
// move, where the caret went (a short phrase, boundary cues, the character
// or the unit it reached); after an edit, what was typed, deleted or
// changed. The phrases are built here; the feedback object speaks them and
// plays the cues. The first utterance of an announcement interrupts what
// the reader is saying, the ones after it follow on.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "engine/doc_root.h"
#include "engine/texts.h"
#include "engine/wp_ctrl.h"
#include "platform/clock.h"
#include "platform/message_loop.h"
#include "platform/system_info.h"
#include "speech/reader_bridge.h"

namespace {

// Voice-mask bits (word A of the speech options).
constexpr int32_t kVoiceCharAfterInput = 0x1;
constexpr int32_t kVoiceControlInput = 0x2;
constexpr int32_t kVoiceMoves = 0x4;
constexpr int32_t kVoicePageMoves = 0x8;
constexpr int32_t kVoiceLineText = 0x10;
// Beep-mask bits (word B) that decide what is read after a move.
constexpr int32_t kBeepReadUnit = 0x20;
constexpr int32_t kBeepReadCharMoves = 0x40;
constexpr int32_t kBeepReadLineMoves = 0x80;

// Caret flags (GetCaretFlags) and line flags noted before a move.
constexpr int32_t kCaretAtTop = 0x1;
constexpr int32_t kCaretAtLast = 0x2;
constexpr int32_t kCaretOnFirstLine = 0x4;
constexpr int32_t kCaretOnLastLine = 0x8;
constexpr int32_t kLineFirst = 0x1;
constexpr int32_t kLineLast = 0x2;
constexpr int kUnitWise = 1;

// IsAtBoundary kinds: where move 22 or 21 would leave the caret.
constexpr int kBoundaryRightEnd = 3;
constexpr int kBoundaryLeftEnd = 4;

// How a move is read: the character first and the phrase after it, or the
// phrase first.
constexpr int kReadPhraseFirst = 1;
constexpr int kReadCharFirst = 2;

constexpr int kInterrupt = 1;
constexpr int kFollowOn = 0;
constexpr int kNoWait = 0;
constexpr int kNoCue = 0;
constexpr int kReadCharMode = 1;
constexpr int kUnitSelection = 1;
constexpr int kUnitLine = 2;
constexpr int kShortUnitAfterCaret = 2;
constexpr int kTextFound = 0;

// Lets the cue or character before a phrase be heard before it.
constexpr uint32_t kPauseBeforePhraseMs = 80;
// The reader is handed a lone blank in its own mode before a character
// that a phrase follows.
constexpr char kBlank[] = " ";
constexpr int kReaderTextMode = 3;
constexpr int kReaderTextFlag = 1;

// Around the speaking of stored text during an undo replay.
constexpr int kStoredTextValue = 2;

// Selection-change announcements after an insertion from an archive.
constexpr uint32_t kAnnounceInsertedRange = 0x100000;

// The 9x platform waits for running speech before a typed input's cue.
constexpr uint32_t kPlatformWin9x = 1;
constexpr uint32_t kCueWaitLimitMs = 5000;
constexpr uint32_t kCueWaitPollMs = 100;

// A cell-edge cue is due when an edit inside one table's text made its
// cell grow or shrink.
constexpr int kCellGrew = 1;
constexpr int kCellShrank = 2;

// Deletion directions.
constexpr int kDeleteForward = 1;
constexpr int kDeleteBackward = 2;

// Table changes besides the layout operations.
constexpr int kTableChangeCreated = -1;
constexpr int kTableChangeDeleted = -2;

// Paragraph-change selectors.
constexpr int kLeftIndent = 1;
constexpr int kRightIndent = 2;

// Blank-place kinds remembered from the last description.
constexpr int32_t kBlankInTable = 1;
constexpr int32_t kMarginLeft = 2;
constexpr int32_t kMarginRight = 3;
constexpr int32_t kBlankBeforeText = 11;
constexpr int32_t kBlankAfterText = 12;

constexpr int kCellTextBytes = 64;
constexpr int kPhraseBytes = 128;

bool IsCharMove(int code) { return code == kMovePrevChar || code == kMoveNextChar; }
bool IsLineMove(int code) { return code == kMoveLineUp || code == kMoveLineDown; }
bool Has(int32_t word, int32_t bit) { return (word & bit) != 0; }

std::string FormatPhrase(const char* pattern, int32_t a, int32_t b = 0) {
  char text[kPhraseBytes];
  std::snprintf(text, sizeof text, pattern, a, b);
  return text;
}

// Whole character units, rounded away from zero.
int32_t CharUnits(int32_t twips, int32_t pitch) {
  if (pitch <= 0) return 0;
  const int32_t units = (std::abs(twips) + pitch - 1) / pitch;
  return twips < 0 ? -units : units;
}

// A line that says nothing but how it ends.
bool IsEmptyLine(std::string_view line) {
  return line.empty() || line == "\r\n" || line == "\r" || line == "\f";
}

}  // namespace

ObjectDescription CDocBunsObj::DescribePlace(const CVedTextPos* pos) {
  ObjectDescription description{};
  GetKindAt(pos != nullptr ? pos : &caret_, &description);
  return description;
}

bool CDocBunsObj::IsCaretInTable() { return DescribePlace(nullptr)[kDescType] == kObjectTable; }

bool CDocBunsObj::IsOnLaterLine(const CVedTextPos* earlier, const CVedTextPos* later) {
  if (earlier == nullptr || later == nullptr) return false;
  platform::RECT box{};
  GetPositionRect(&box, 3, later, earlier);
  return box.top > 0;
}

bool CDocBunsObj::ShouldReadUnit(int code) const {
  const int32_t b = speechOptions_.beepMask;
  if (!Has(b, kBeepReadUnit)) return false;
  if (IsCharMove(code)) return Has(b, kBeepReadCharMoves);
  if (IsLineMove(code)) return Has(b, kBeepReadLineMoves);
  return true;
}

bool CDocBunsObj::CueBoundary(int code, const CVedTextPos* before) {
  if (!Has(speechOptions_.beepMask, kBeepLineChange) || !IsCharMove(code)) return false;
  if (IsCaretInTable()) {
    const bool caretText = IsTextPosition(&caret_);
    const bool beforeText = before != nullptr && IsTextPosition(before);
    const bool characterSelection = HasSelection() && selectionUnit_ == 1;
    const bool atLineEnd = IsAtBoundary(kBoundaryRightEnd, &caret_) != 0 ||
                           IsAtBoundary(kBoundaryLeftEnd, &caret_) != 0;
    if (!(caretText && beforeText && characterSelection) &&
        !(!caretText && !beforeText && atLineEnd)) {
      return false;
    }
  }
  const bool lineChanged =
      code == kMovePrevChar ? IsOnLaterLine(&caret_, before) : IsOnLaterLine(before, &caret_);
  if (!lineChanged) return false;
  feedback_.Cue(kCueLineChange, kInterrupt, kCueAsync);
  return true;
}

int CDocBunsObj::DescribeMove(int code, int32_t caretFlags, int32_t lineFlags, std::string& phrase,
                              int* readMode, bool* lineReading) {
  *readMode = IsCharMove(code) || IsLineMove(code) ? kReadCharFirst : kReadPhraseFirst;
  *lineReading = false;
  const bool cellText = InCellText(DescribePlace(nullptr));
  int32_t failedBit = 0;
  int32_t failedWord = caretFlags;
  switch (code) {
    case kMovePrevChar:
    case kMoveLineStart:
    case kMoveLeftEnd: {
      failedBit = kCaretAtTop;
      if (Has(GetCaretFlags(&caret_, kUnitWise), kCaretAtTop)) {
        phrase = kPhraseTop;
      } else if (code == kMoveLineStart) {
        phrase = cellText ? kPhraseCellLineStart : kPhraseLineStart;
      } else if (code == kMoveLeftEnd) {
        phrase = cellText ? kPhraseCellLeftEnd : kPhraseLeftEnd;
      } else if (!cellText && IsAtBoundary(kBoundaryLeftEnd, &caret_) != 0) {
        phrase = kPhraseLeftEnd;
      }
      break;
    }
    case kMoveNextChar:
    case kMoveLineEnd:
    case kMoveRightEnd: {
      failedBit = kCaretAtLast;
      if (Has(GetCaretFlags(&caret_, kUnitWise), kCaretAtLast)) {
        phrase = kPhraseLast;
      } else if (code == kMoveLineEnd) {
        phrase = cellText ? kPhraseCellLineEnd : kPhraseLineEnd;
      } else if (code == kMoveRightEnd) {
        phrase = cellText ? kPhraseCellRightEnd : kPhraseRightEnd;
      } else if (!cellText && IsAtBoundary(kBoundaryRightEnd, &caret_) != 0) {
        phrase = kPhraseRightEnd;
      }
      break;
    }
    case kMoveLineUp:
    case kMoveLineDown: {
      const bool up = code == kMoveLineUp;
      failedWord = lineFlags;
      failedBit = up ? kLineFirst : kLineLast;
      const auto [category, item] = kLineMoveStatus;
      if (GetReaderStatus(category, item, 0) != 0) {
        *lineReading = true;
        break;
      }
      const int32_t flags = GetCaretFlags(&caret_, kUnitWise);
      if (up && Has(flags, kCaretOnFirstLine)) phrase = kPhraseTop;
      if (!up && Has(flags, kCaretOnLastLine)) phrase = kPhraseLast;
      break;
    }
    case kMoveNextParagraph:
      failedBit = kCaretAtLast;
      phrase = kPhraseNextParagraph;
      break;
    case kMovePrevParagraph:
      failedBit = kCaretAtTop;
      phrase = kPhrasePrevParagraph;
      break;
    case kMoveNextWord:
      failedBit = kCaretAtLast;
      phrase = kPhraseNextPhrase;
      break;
    case kMovePrevWord:
      failedBit = kCaretAtTop;
      phrase = kPhrasePrevPhrase;
      break;
    case kMoveDocumentStart:
      failedBit = kCaretAtTop;
      phrase = kPhraseTopPosition;
      break;
    case kMoveDocumentEnd:
      failedBit = kCaretAtLast;
      phrase = kPhraseLastPosition;
      break;
    case kMovePrevCellOrLine:
      failedWord = lineFlags;
      failedBit = kLineFirst;
      break;
    case kMoveNextCellOrLine:
      failedWord = lineFlags;
      failedBit = kLineLast;
      break;
    default:
      break;
  }
  return Has(failedWord, failedBit) ? kCueTableBottom : kNoCue;
}

void CDocBunsObj::AppendCellStepWords(int code, int cue, std::string& phrase) {
  if (cue != kNoCue) return;
  const bool table = IsCaretInTable();
  if (code == kMovePrevCellOrLine) phrase += table ? kPhrasePrevCell : kPhrasePrevLine;
  if (code == kMoveNextCellOrLine) phrase += table ? kPhraseNextCell : kPhraseNextLine;
}

void CDocBunsObj::SpeakLineForReading(int interrupt) {
  std::string line;
  std::string unit;
  const bool haveLine = GetLineText(kFormatBareText, line, 1) == kTextFound;
  const bool haveUnit = GetWordText(kFormatBareText, unit, kShortUnitAfterCaret) == kTextFound;
  LineMetrics metrics;
  const bool pageBreak = GetLineMetrics(&metrics, &caret_)->endKind == kLineEndPageBreak;
  if (IsEmptyLine(line)) {
    const char* phrase =
        haveLine && haveUnit && pageBreak ? kPhraseEmptyLinePageBreak : kPhraseEmptyLine;
    feedback_.Speak(kSpeechOwnGuide, phrase, interrupt, kNoWait);
    return;
  }
  if (unit.empty()) {
    SpeakUnitText(kUnitLine, interrupt);
    return;
  }
  if (pageBreak) {
    // The break itself comes out as a line end; it is said as a word.
    const size_t mark = unit.find_last_not_of("\r\n\f");
    unit.erase(mark == std::string::npos ? 0 : mark + 1);
    unit += kPhraseTrailingPageBreak;
  }
  feedback_.Speak(kSpeechPlain, unit.c_str(), interrupt, kNoWait);
}

void CDocBunsObj::SpeakMove(int code, int32_t caretFlags, int32_t lineFlags,
                            const CVedTextPos* before) {
  if (speechOptions_.speechOn == 0) return;
  if ((IsCharMove(code) || IsLineMove(code)) && IsKeyWaiting()) return;
  const bool boundaryCue = CueBoundary(code, before);
  int interrupt = boundaryCue ? kFollowOn : kInterrupt;
  const bool reads = ShouldReadUnit(code);
  if (!Has(speechOptions_.voiceMask, kVoiceMoves)) {
    if (reads) SpeakCaretChar(kReadCharMode, interrupt);
    return;
  }
  std::string phrase;
  int readMode = kReadPhraseFirst;
  bool lineReading = false;
  const int cue = DescribeMove(code, caretFlags, lineFlags, phrase, &readMode, &lineReading);
  const bool cellText = GetCellPositionText(phrase, code) != 0;
  AppendCellStepWords(code, cue, phrase);

  if (lineReading && Has(speechOptions_.voiceMask, kVoiceLineText)) {
    if (cue != kNoCue) {
      feedback_.Cue(cue, interrupt, kCueAsync);
      interrupt = kFollowOn;
    }
    if (reads) {
      SpeakLineForReading(interrupt);
      interrupt = kFollowOn;
    }
    if (IsKeyWaiting() || phrase.empty()) return;
    if (cue != kNoCue) feedback_.StopSound();
    feedback_.Speak(kSpeechOwnGuide, phrase.c_str(), interrupt, kNoWait);
    return;
  }

  if (cue == kNoCue && phrase.empty()) {
    if (code != kMoveWholeUnit && reads) SpeakCaretChar(kReadCharMode, interrupt);
    return;
  }
  if (cue != kNoCue) {
    feedback_.Cue(cue, interrupt, kCueAsync);
    interrupt = kFollowOn;
  }
  if (readMode == kReadPhraseFirst) {
    if (!phrase.empty()) {
      feedback_.Speak(kSpeechOwnGuide, phrase.c_str(), interrupt, kNoWait);
      interrupt = kFollowOn;
    }
    if (reads) SpeakCaretChar(kReadCharMode, interrupt);
    return;
  }
  bool heardBefore = boundaryCue || cue != kNoCue || cellText;
  if (reads) {
    if (!phrase.empty()) SpeakText(kBlank, kReaderTextMode, kReaderTextFlag);
    SpeakCaretChar(kReadCharMode, interrupt);
    interrupt = kFollowOn;
    heardBefore = true;
  }
  if (phrase.empty()) return;
  if (heardBefore) {
    if (IsKeyWaiting()) return;
    platform::Sleep(kPauseBeforePhraseMs);
  }
  feedback_.Speak(kSpeechOwnGuide, phrase.c_str(), interrupt, kNoWait);
}

void CDocBunsObj::SpeakPageMove(int code, int32_t page, int32_t pageCount) {
  if (speechOptions_.speechOn == 0) return;
  int interrupt = kInterrupt;
  if (Has(speechOptions_.voiceMask, kVoicePageMoves)) {
    std::string phrase;
    if (code == kMoveNextPage || code == kMoveJumpForward) phrase = kPhraseNext;
    if (code == kMovePrevPage || code == kMoveJumpBack) phrase = kPhraseBack;
    phrase += FormatPhrase(kPhrasePagePlace, page, pageCount);
    feedback_.Speak(kSpeechOwnGuide, phrase.c_str(), interrupt, kNoWait);
    interrupt = kFollowOn;
  }
  SpeakCaretChar(kReadCharMode, interrupt);
}

int CDocBunsObj::GetCellEdgeKind(const EditResult* result) {
  if (replaying_ != 0 || result == nullptr) return 0;
  const ObjectDescription start = DescribePlace(&result->rangeStart);
  const ObjectDescription end = DescribePlace(&result->rangeEnd);
  if (!InCellText(start) || !InCellText(end) || result->rangeStart.pairs.empty() ||
      result->rangeEnd.pairs.empty() ||
      result->rangeStart.pairs.front() != result->rangeEnd.pairs.front()) {
    return 0;
  }
  const int32_t b = speechOptions_.beepMask;
  if (result->heightDelta > 0 && Has(b, kBeepCellGrew)) return kCellGrew;
  if (result->heightDelta < 0 && Has(b, kBeepCellShrank)) return kCellShrank;
  return 0;
}

void CDocBunsObj::PlayCellEdgeCue(int kind, int interrupt) {
  const int32_t b = speechOptions_.beepMask;
  if (kind == kCellGrew && Has(b, kBeepCellGrew)) feedback_.Cue(kCueCellGrew, interrupt, kCueAsync);
  if (kind == kCellShrank && Has(b, kBeepCellShrank)) {
    feedback_.Cue(kCueCellShrank, interrupt, kCueAsync);
  }
}

int CDocBunsObj::ChooseInputCue(const EditResult* result) {
  const int32_t b = speechOptions_.beepMask;
  if (IsCaretInTable()) {
    const int kind = GetCellEdgeKind(result);
    return kind == kCellGrew ? kCueCellGrew : kind == kCellShrank ? kCueCellShrank : kNoCue;
  }
  if (Has(b, kBeepLineChange) && result != nullptr &&
      IsOnLaterLine(&result->rangeStart, &result->rangeEnd)) {
    return kCueLineChange;
  }
  if (Has(b, kBeepRowEnd)) {
    platform::RECT frame{};
    GetFrameRect(&frame, &caret_);
    const int64_t offset = caretRect_.left - frame.left;
    const int64_t width = frame.right - frame.left;
    if (8 * offset > 7 * width) return kCueRowEnd;
  }
  return kNoCue;
}

bool CDocBunsObj::WaitBeforeInputCue() {
  platform::OSVERSIONINFOA version;
  version.dwOSVersionInfoSize = sizeof version;
  if (!platform::GetVersionExA(&version) || version.dwPlatformId != kPlatformWin9x) return true;
  if (IsKeyWaiting()) return true;
  platform::LoopExit exit;
  exit.done = [] { return GetVoiceStatus() == 0; };
  exit.onKeyDown = true;
  // Gives up at the first poll after the limit.
  exit.deadline = platform::GetTickCount() + kCueWaitLimitMs + kCueWaitPollMs;
  exit.idlePollMs = kCueWaitPollMs;
  const platform::LoopEnd end = platform::RunNestedLoop(exit);
  if (end == platform::LoopEnd::kKeyDown) StopSpeech();
  return end == platform::LoopEnd::kCondition;
}

void CDocBunsObj::SpeakTypedText(std::string_view text, const EditResult* result) {
  if (speechOptions_.speechOn == 0) return;
  const int32_t a = speechOptions_.voiceMask;
  const bool readerSpeaks = feedback_.IsReaderSpeechOn() != 0;
  const bool announceControl = readerSpeaks && Has(a, kVoiceControlInput);
  int interrupt = kInterrupt;
  auto say = [&](const char* phrase) {
    feedback_.Speak(kSpeechOwnGuide, phrase, interrupt, kNoWait);
    interrupt = kFollowOn;
  };
  if (text == "\r") {
    if (readerSpeaks && IsCaretInTable()) {
      PlayCellEdgeCue(GetCellEdgeKind(result), interrupt);
      interrupt = kFollowOn;
    }
    if (announceControl) {
      const MoveParams still{0, 0, 1};
      CVedTextPos end;
      MoveCursor(kMoveDocumentEnd, &still, &caret_, &end);
      say(end == caret_ ? kPhraseLineFeed : kPhraseSplitLineFeed);
    }
  } else if (text == "\f") {
    if (announceControl) say(kPhrasePageBreak);
  } else {
    const int cue = ChooseInputCue(result);
    if (text == "\t" && announceControl) say(kPhraseTab);
    if (cue != kNoCue && WaitBeforeInputCue()) {
      feedback_.Cue(cue, interrupt, kCueAsync);
      interrupt = kFollowOn;
    }
  }
  if (Has(a, kVoiceCharAfterInput)) SpeakCaretChar(kReadCharMode, interrupt);
}

void CDocBunsObj::SpeakPhrase(const char* text, const EditResult* result) {
  if (speechOptions_.speechOn == 0) return;
  feedback_.Speak(kSpeechOwnGuide, text, kInterrupt, kNoWait);
  if (result != nullptr && IsCaretInTable()) PlayCellEdgeCue(GetCellEdgeKind(result), kFollowOn);
}

void CDocBunsObj::SpeakSelectionChange(uint32_t flags, const EditResult* result) {
  if (speechOptions_.speechOn == 0 || (flags & kAnnounceInsertedRange) == 0 || result == nullptr) {
    return;
  }
  SetSelectionRange(0, &result->rangeStart, &result->rangeEnd);
  const auto [category, item] = kStoredTextStatus;
  const int previous = replaying_ != 0 ? SetReaderStatus(category, item, kStoredTextValue) : 0;
  SpeakUnitText(kUnitSelection, kInterrupt);
  if (replaying_ != 0) SetReaderStatus(category, item, previous);
  ResetSelection(0);
}

void CDocBunsObj::SpeakDeletion(int direction, const char* text, const EditResult* result) {
  if (speechOptions_.speechOn == 0) return;
  if (replaying_ != 0) {
    const auto [category, item] = kStoredTextStatus;
    const int previous = SetReaderStatus(category, item, kStoredTextValue);
    feedback_.Speak(kSpeechPlain, text, kInterrupt, kNoWait);
    SetReaderStatus(category, item, previous);
    return;
  }
  int interrupt = kInterrupt;
  if (direction == kDeleteForward) {
    if (lastDeleteDirection_ != kDeleteForward) {
      feedback_.Speak(kSpeechOwnGuide, kPhraseDelete, interrupt, kNoWait);
      interrupt = kFollowOn;
    }
    lastDeleteDirection_ = kDeleteForward;
    SpeakCaretChar(kReadCharMode, interrupt);
  } else {
    if (lastDeleteDirection_ != kDeleteBackward) {
      feedback_.Speak(kSpeechOwnGuide, kPhraseBack, interrupt, kNoWait);
      interrupt = kFollowOn;
    }
    lastDeleteDirection_ = kDeleteBackward;
    feedback_.Speak(kSpeechDeletedCharacter, text, interrupt, kNoWait);
  }
  if (IsCaretInTable()) PlayCellEdgeCue(GetCellEdgeKind(result), kFollowOn);
}

void CDocBunsObj::SpeakRangeCleared() {
  if (speechOptions_.speechOn == 0) return;
  feedback_.Speak(kSpeechOwnGuide, kPhraseRangeCleared, kInterrupt, kNoWait);
}

bool CDocBunsObj::CaretLineBeginsParagraph() {
  CVedTextPos previous;
  if (StepLine(&caret_, kLinePrevious, &previous) == 0) return true;
  LineMetrics metrics;
  return GetLineMetrics(&metrics, &previous)->endKind != kLineEndNone;
}

void CDocBunsObj::SpeakParagraphChange(int which, int32_t amount) {
  if (speechOptions_.speechOn == 0) return;
  const int32_t pitch = Format().charPitch;
  std::string phrase;
  if (which != kLeftIndent && which != kRightIndent) {
    phrase = kPhraseParagraphFormat;
  } else if (HasSelection()) {
    char text[kPhraseBytes];
    std::snprintf(text, sizeof text, amount < 0 ? kPhraseIndentMinus : kPhraseIndentPlus,
                  which == kLeftIndent ? kPhraseIndent : kPhraseRightIndent,
                  std::abs(CharUnits(amount, pitch)));
    phrase = text;
  } else {
    ParaFormat para;
    GetParaFormat(&para, &caret_, &caret_);
    const bool left = which == kLeftIndent;
    const int32_t indent =
        left ? (CaretLineBeginsParagraph() ? para.firstIndent : para.leftIndent) : para.rightIndent;
    const int32_t units = CharUnits(indent, pitch);
    if (units > 0) {
      phrase = FormatPhrase(left ? kPhraseIndentValue : kPhraseRightIndentValue, units);
    } else {
      phrase = left ? kPhraseIndentNone : kPhraseRightIndentNone;
    }
  }
  feedback_.Speak(kSpeechOwnGuide, phrase.c_str(), kInterrupt, kNoWait);
}

void CDocBunsObj::SpeakTableChange(int operation, const EditResult* result) {
  if (speechOptions_.speechOn == 0) return;
  const bool deletesLines = operation == kTableDeleteColumn || operation == kTableDeleteRow;
  std::string phrase;
  if (deletesLines && !IsCaretInTable()) {
    phrase = kPhraseTableDeleted;
  } else {
    switch (operation) {
      case kTableColumnWidth:
        phrase = FormatPhrase(kPhraseColumnWidth, GetColumnWidth());
        break;
      case kTableInsertColumn:
        phrase = FormatPhrase(kPhraseColumnsInserted, GetTableColumnCount());
        break;
      case kTableInsertRow:
        phrase = FormatPhrase(kPhraseRowsInserted, GetTableRowCount());
        break;
      case kTableDeleteColumn:
        phrase = FormatPhrase(kPhraseColumnsDeleted, GetTableColumnCount());
        break;
      case kTableDeleteRow:
        phrase = FormatPhrase(kPhraseRowsDeleted, GetTableRowCount());
        break;
      case kTableChangeDeleted:
        phrase = kPhraseDelete;
        break;
      case kTableChangeCreated:
        phrase = kPhraseCreated;
        break;
      default:
        return;
    }
  }
  SpeakPhrase(phrase.c_str(), result);
}

int CDocBunsObj::GetCellPositionText(std::string& phrase, int /*code*/) {
  uint16_t cell[2] = {};
  if ((GetTableLineKind() >> 8) == 0 || GetCellPosition(cell) == 0 || caret_.pairs.empty()) {
    lastAnnouncedTable_ = -1;
    return 0;
  }
  const int32_t table = caret_.pairs.front().value;
  if (table == lastAnnouncedTable_ && cell[0] == lastAnnouncedRow_ &&
      cell[1] == lastAnnouncedColumn_) {
    return 0;
  }
  phrase += FormatPhrase(kPhraseCellPosition, cell[0], cell[1]);
  lastAnnouncedTable_ = table;
  lastAnnouncedRow_ = cell[0];
  lastAnnouncedColumn_ = cell[1];
  return 1;
}

int CDocBunsObj::GetBlankText(std::string& phrase, const CVedTextPos* pos) {
  const ObjectDescription place = DescribePlace(pos);
  if (place[kDescType] != kObjectTable) return 0;
  if (InCellText(place) && place[InCellSlot(kDescType)] == kObjectText &&
      place[InCellSlot(kDescSubKind)] == kSubKindMarginLine) {
    phrase += kPhraseBlank;
    lastBlankKind_ =
        place[InCellSlot(kDescPlace)] == kPlaceLeftMargin ? kBlankBeforeText : kBlankAfterText;
  } else if (place[kDescSubKind] == kSubKindBesideTable) {
    phrase += kPhraseMargin;
    lastBlankKind_ = place[kDescPlace] == kPlaceLeftOfTable ? kMarginLeft : kMarginRight;
  } else if (InCellText(place) && place[InCellSlot(kDescType)] == kObjectGridArea) {
    phrase += kPhraseBlank;
    lastBlankKind_ = kBlankInTable;
  } else {
    return 0;
  }
  return 1;
}
