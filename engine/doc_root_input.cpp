// Text input and deletion on the document root: typed text, input-method
// results, replacements, Delete and BackSpace, unit deletions and inserted
// lines. Each runs in the common frame of an edit: refused while the
// document is read-only, the before-edit snapshot, an edit-operation group,
// the state recorded before and after, the container's edit, after-edit
// processing, the spoken echo, the group closed; a failed edit rolls the
// group back and sounds the warning.
#include <string>
#include <string_view>

#include "engine/doc_root.h"
#include "engine/texts.h"
#include "platform/clock.h"
#include "platform/message_loop.h"
#include "platform/sjis.h"
#include "speech/reader_bridge.h"

namespace {

constexpr char kEscape = 0x1B;
constexpr char kCarriageReturn = 0x0D;
constexpr char kFormFeed = 0x0C;
constexpr char kTab = 0x09;
constexpr unsigned char kFirstPrintable = 0x20;
constexpr unsigned char kDelete = 0x7F;
constexpr std::string_view kBlank = " ";
constexpr std::string_view kFullWidthBlank = "\x81\x40";  // "　"

// What a lone CR does (the Enter rules).
constexpr int kEnterNotRun = -1;
constexpr int kEnterInsert = 0;
constexpr int kEnterNextLine = 1;
constexpr int kEnterAtLineStart = 2;
// At the line start below a paragraph without indents: the line goes in
// without carrying the paragraph's layout along.
constexpr int kEnterAtLineStartPlain = 3;

// Line classes of ClassifyLinePosition.
constexpr int kLineClassPlain = 1;
constexpr int kLineClassRight = 2;

// The boundary kind of IsAtBoundary: the left end of the line.
constexpr int kBoundaryLeftEnd = 4;

// The mode of RefusesRead for typed input (the left margin refuses it too).
constexpr int kTypedInputMode = 1;
constexpr int kOtherInputMode = 0;

// Delete directions and variants.
constexpr int kForward = 1;
constexpr int kBackward = 2;
constexpr int kVariantNormal = 0;
constexpr int kEditTypeOfVariant[] = {CDocBunsObj::kEditDelete, CDocBunsObj::kEditQuietDelete,
                                      CDocBunsObj::kEditMoveSource};

// The text about to be deleted, fetched for the spoken echo.
constexpr size_t kDeletedTextLimit = 512;

constexpr int kChangeWholeLine = kChangeEdited | kChangeHeightChanged | kChangeNoEnd;

// The wait for the reader before a refused input is sounded.
constexpr uint32_t kRefusalWaitLimitMs = 5000;
constexpr uint32_t kRefusalPollMs = 100;
constexpr int kReaderSpeaking = 1;

constexpr int32_t kIndentMask = kMaskFirstIndent | kMaskLeftIndent | kMaskRightIndent;

// Unit deletions: to the line end, the line, from the line start on.
constexpr int kFirstUnit = 1;
constexpr int kLastUnit = 3;
constexpr const char* kUnitPhrases[] = {kPhraseEraseToLineEnd, kPhraseDeleteLine,
                                        kPhraseDeleteToEnd};

bool IsOneByte(std::string_view text, char byte) { return text.size() == 1 && text[0] == byte; }

// The characters of a text; a lead byte left alone at its end is none.
int32_t CharsIn(std::string_view text) {
  int32_t count = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (platform::IsLeadByte(static_cast<uint8_t>(text[i]))) {
      if (i + 1 == text.size()) break;
      ++i;
    }
    ++count;
  }
  return count;
}

// Cuts a text to a byte limit without splitting a double-byte character.
void LimitText(std::string& text, size_t limit) {
  if (text.size() <= limit) return;
  size_t end = 0;
  while (end < text.size()) {
    const size_t next = end + platform::CharLengthAt(text, end);
    if (next > limit) break;
    end = next;
  }
  text.resize(end);
}

int FlagsOf(const EditResult& edit, bool heightChanged) {
  return ChangeFlagsOf(edit, edit.rangeEnd) | (heightChanged ? kChangeHeightChanged : 0);
}

}  // namespace

// ---- Typing

int CDocBunsObj::InsertString(std::string_view text, int undo, ChangeRecord* result) {
  return InsertText(text, undo, result, 0, nullptr);
}

int CDocBunsObj::InsertText(std::string_view text, int undo, ChangeRecord* result, int ime,
                            EditResult* out) {
  if (result != nullptr) *result = ChangeRecord{};
  if (out != nullptr) out->changed = 0;
  if (text.empty()) return 0;
  if (IsOneByte(text, kEscape)) return CancelSelection();
  int enter = kEnterNotRun;
  if (IsOneByte(text, kCarriageReturn) && !HasSelection()) {
    enter = EnterOutcome();
    if (enter == kEnterNextLine) {
      Move(0, kMoveNextLineStart);
      return 1;
    }
  }
  // The Enter rules may have moved the cursor for an insertion that is
  // not coming: it goes back to the caret.
  auto keepCursorAtCaret = [&] {
    if (enter != kEnterNotRun) SetCursor(&caret_);
  };
  if (CheckReadOnly() != 0) {
    keepCursorAtCaret();
    return 0;
  }
  if (ime == 0 && (text == kBlank || text == kFullWidthBlank) && IsAtTableRightEdge()) {
    return EditTableLayout(undo, kTableColumnWidth, result, GetColumnWidth() + 1, 0);
  }
  if (IsRefusedByte(text)) {
    feedback_.Cue(kCueRefused, kCueInterrupt, kCueAsync);
    return 0;
  }
  if (!TakesInput(text, ime, enter)) {
    keepCursorAtCaret();
    return RefuseInput();
  }

  RememberForEdit(false);
  BeginUndoRecording(undo);
  const bool movingEndAtStart = MovingEndAtChildStart();
  const DocObjOptions options = Options();
  bool switched = false;
  EditResult cleared;
  std::optional<CVedTextPos> overwrittenUpTo;
  if (HasSelection()) {
    if (options.insertMode == 0) {
      DocObjOptions inserting = options;
      inserting.insertMode = 1;
      CDocObjContainer::SetOptions(&inserting);
      switched = true;
    }
    ApplyEditWithUndo(undo, &cleared, 0, kEditDelete);
  } else if (options.insertMode == 0) {
    overwrittenUpTo = RecordOverwritten(text, undo);
  }
  const int editType = ime != 0 ? kEditConverted : kEditTyped;
  SaveBeforeEdit(undo, editType, 0);
  const EditResult edit = InsertCleared(text, undo, editType, cleared, movingEndAtStart,
                                        enter == kEnterAtLineStartPlain, result,
                                        overwrittenUpTo.has_value() ? &*overwrittenUpTo : nullptr);
  if (edit.changed != 0) {
    SpeakTypedText(text, &edit);
  } else {
    keepCursorAtCaret();
  }
  if (switched) CDocObjContainer::SetOptions(&options);
  EndUndoRecording(undo);
  if (out != nullptr && edit.changed != 0) *out = edit;
  return edit.changed;
}

int CDocBunsObj::ReplaceSelectionText(std::string_view text, int undo, ChangeRecord* result) {
  if (result != nullptr) *result = ChangeRecord{};
  if (CheckReadOnly() != 0 || !HasSelection()) return 0;
  RememberForEdit(false);
  BeginUndoRecording(undo);
  const int speech = SetSpeechEnabled(0);
  const DocObjOptions options = Options();
  DocObjOptions inserting = options;
  inserting.insertMode = 1;
  CDocObjContainer::SetOptions(&inserting);
  const bool movingEndAtStart = MovingEndAtChildStart();
  EditResult cleared;
  ApplyEditWithUndo(undo, &cleared, 0, kEditDelete);
  SaveBeforeEdit(undo, kEditTyped, 0);
  const EditResult edit =
      InsertCleared(text, undo, kEditTyped, cleared, movingEndAtStart, false, result);
  CDocObjContainer::SetOptions(&options);
  SetSpeechEnabled(speech);
  EndUndoRecording(undo);
  return edit.changed;
}

EditResult CDocBunsObj::InsertCleared(std::string_view text, int undo, int editType,
                                      const EditResult& cleared, bool movingEndAtStart,
                                      bool plainLine, ChangeRecord* result,
                                      const CVedTextPos* following) {
  CDocObject* child = Children().GetCurrent();
  DocObjOptions childOptions;
  if (plainLine && child != nullptr) {
    child->GetOptions(&childOptions);
    DocObjOptions placing = childOptions;
    placing.flag = 0;
    child->SetOptions(&placing);
  }
  InsertionMark mark;
  MarkInsertionPoint(mark, following);
  EditResult inserted;
  CDocObjContainer::InsertText(text, &inserted);
  if (plainLine && child != nullptr) child->SetOptions(&childOptions);

  if (inserted.changed == 0) ForgetInsertionMark(mark);
  if (inserted.changed == 0 && cleared.changed == 0) {
    CancelUndoRecording(undo);
    feedback_.Cue(kCueWarning, kCueInterrupt, kCueAsync);
    return inserted;
  }
  EditResult edit = inserted.changed != 0 ? inserted : cleared;
  if (inserted.changed != 0) {
    if (!inserted.newCursor.IsEmpty()) SetCursor(&inserted.newCursor);
    // Undo takes back exactly what went in; the deletion is logged apart.
    EditResult logged = inserted;
    NarrowToInserted(mark, logged);
    LogAfterEdit(undo, editType, &logged);
    if (cleared.changed != 0) {
      if (!movingEndAtStart &&
          ComparePositions(&inserted.rangeStart, &cleared.rangeStart) == kCompareAfter) {
        edit.rangeStart = cleared.rangeStart;
      }
      edit.heightDelta += cleared.heightDelta;
    }
  }
  FinishEdit(edit, cleared.heightDelta != 0, result);
  return edit;
}

void CDocBunsObj::FinishEdit(const EditResult& edit, bool heightChanged, ChangeRecord* result) {
  CVedTextPos cursor;
  GetCursor(&cursor);
  UpdateAfterChange({.edited = true,
                     .caret = &cursor,
                     .result = &edit,
                     .change = result,
                     .changeFlags = FlagsOf(edit, heightChanged)});
}

bool CDocBunsObj::MovingEndAtChildStart() {
  if (!HasSelection()) return false;
  const CVedTextPos& end = selectionOrder_ < 0 ? selectionCaretEnd_ : selectionAnchorEnd_;
  return IsAtChildStart(&end, 0) != 0;
}

void CDocBunsObj::RememberForEdit(bool continuesDeletes) {
  RememberCaretState();
  if (!continuesDeletes) lastDeleteDirection_ = 0;
}

// ---- What input is taken where

int CDocBunsObj::EnterOutcome() {
  if (!IsLineStartKind()) return kEnterNotRun;
  const bool insertMode = Options().insertMode != 0;
  const MoveParams move{1, caretRect_.left, 1};
  switch (ClassifyLinePosition()) {
    case kLineClassRight: {
      const ObjectDescription d = Describe(nullptr);
      const bool lastCellLine = InCellText(d) && IsCursorOnLastLine() != 0;
      if (!lastCellLine && IsLastLine(nullptr) == 0) return kEnterNextLine;
      MoveCursor(kMoveLineEnd, &move, nullptr, nullptr);
      return kEnterInsert;
    }
    case kLineClassPlain:
      if (IsAtBoundary(kBoundaryLeftEnd, nullptr) == 0) {
        return insertMode ? kEnterInsert : kEnterNextLine;
      }
      if (!insertMode) return kEnterNextLine;
      MoveCursor(kMoveLineStart, &move, nullptr, nullptr);
      return IsCursorOnFirstLine() != 0 || !LineAboveHasIndents() ? kEnterAtLineStartPlain
                                                                  : kEnterAtLineStart;
    default:
      return kEnterInsert;
  }
}

bool CDocBunsObj::LineAboveHasIndents() {
  CVedTextPos cursor;
  GetCursor(&cursor);
  CVedTextPos above;
  if (!ProbeMove(kMoveLineUp, &cursor, &above)) return false;
  ParaFormat paragraph;
  paragraph.mask = kIndentMask;
  GetParaFormat(&paragraph, &above, &above);
  return paragraph.firstIndent != 0 || paragraph.leftIndent != 0 || paragraph.rightIndent != 0;
}

bool CDocBunsObj::IsRefusedByte(std::string_view text) {
  if (text.size() != 1) return false;
  const auto byte = static_cast<unsigned char>(text[0]);
  if (byte == static_cast<unsigned char>(kFormFeed)) return Options().formFeedAllowed == 0;
  if (byte < kFirstPrintable || byte == kDelete) {
    return text[0] != kTab && text[0] != kCarriageReturn && text[0] != kEscape;
  }
  // Only single-byte characters stand alone: a lead byte needs its trail,
  // and the bytes that are neither are no characters at all.
  return byte >= 0x80 && !(byte >= 0xA1 && byte <= 0xDF);
}

bool CDocBunsObj::TakesInput(std::string_view text, int ime, int enterOutcome) {
  if (HasSelection() && (SelectionSpansChildren() || !CanInsertAtCaret())) return false;
  const bool enterPlacesItself = enterOutcome != kEnterNotRun && enterOutcome != kEnterInsert;
  if (!enterPlacesItself && RefusesRead(ime == 0 ? kTypedInputMode : kOtherInputMode)) {
    return false;
  }
  if (Describe(nullptr)[kDescType] != kObjectTable) return true;
  const bool inText = IsTextPosition();
  if (IsOneByte(text, kCarriageReturn)) return inText || IsFirstLine(nullptr) != 0;
  return inText && !IsOneByte(text, kFormFeed);
}

int CDocBunsObj::RefuseInput() {
  if (IsKeyWaiting()) return 0;
  platform::LoopExit exit;
  exit.done = [] { return GetVoiceStatus() != kReaderSpeaking; };
  exit.onKeyDown = true;
  // Gives up, silently, at the first poll after the limit.
  exit.deadline = platform::GetTickCount() + kRefusalWaitLimitMs + kRefusalPollMs;
  exit.idlePollMs = kRefusalPollMs;
  const platform::LoopEnd end = platform::RunNestedLoop(exit);
  if (end == platform::LoopEnd::kKeyDown) StopSpeech();
  if (end != platform::LoopEnd::kCondition) return 0;
  feedback_.Cue(kCueRefused, kCueInterrupt, kCueSync);
  return 0;
}

bool CDocBunsObj::IsAtTableRightEdge() {
  if (HasSelection() || IsTextPosition()) return false;
  const ObjectDescription d = Describe(nullptr);
  // The grid answers its right edge as a place on a horizontal rule.
  return d[kDescType] == kObjectTable && d[kDescSubKind] == kSubKindOnRules &&
         d[kDescPlace] == kPlaceHorizontalRule;
}

// ---- Overwriting

std::optional<CVedTextPos> CDocBunsObj::RecordOverwritten(std::string_view text, int undo) {
  if (readOnly_ != 0) return std::nullopt;
  // Nothing stands under a cursor in a line's margin or below a cell's
  // text: typing there types over nothing.
  CVedTextPos cellTextEnd;
  if (!(InTextZone(caret_) == caret_) || CellTextEndBelowCaret(caret_, &cellTextEnd)) {
    return std::nullopt;
  }
  // A cell's text is walked inside the cell: a step off the end of a line
  // that wraps in a narrow cell goes out onto the table's rules, and the
  // paragraph's lines are the cell's, not the table's.
  const bool inCell = InCellText(Describe(&caret_));
  CVedTextPos end;
  if (inCell) {
    if (!MoveInCellText(kMoveParagraphEnd, caret_, &end)) end = caret_;
  } else if (!ParagraphEnd(&end)) {
    return std::nullopt;
  }
  CVedTextPos reached = caret_;
  for (int32_t count = CharsIn(text); count > 0 && !(reached == end); --count) {
    CVedTextPos next;
    const bool stepped = inCell ? StepInOwnText(kMoveNextChar, reached, &next)
                                : NextCharPosition(&reached, &next, 0) != 0;
    if (!stepped) break;
    reached = ComparePositions(&next, &end) == kCompareAfter ? end : next;
  }
  if (reached == caret_) return std::nullopt;
  CVedTextPos last;
  const bool before = inCell ? StepInOwnText(kMovePrevChar, reached, &last)
                             : PreviousCharPosition(&reached, &last, 0) != 0;
  if (!before) return std::nullopt;
  const CVedTextPos start = caret_;
  SetSelectionRange(0, &start, &last);
  SaveBeforeEdit(undo, kEditDelete, kSaveRangeSelection);
  LogAfterEdit(undo, kEditDelete, nullptr);
  ClearSelectionState();
  return reached;
}

bool CDocBunsObj::ParagraphEnd(CVedTextPos* out) {
  CVedTextPos line = caret_;
  LineMetrics metrics;
  while (GetLineMetrics(&metrics, &line)->endKind == kLineEndNone) {
    CVedTextPos next;
    if (StepLine(&line, kLineNext, &next) == 0 || next == line) break;
    line = next;
  }
  return ProbeMove(kMoveLineEnd, &line, out);
}

// ---- Deleting

int CDocBunsObj::DeleteChar(int direction, int undo, ChangeRecord* result) {
  return DeleteVariant(kVariantNormal, direction, undo, result);
}

int CDocBunsObj::DeleteCharQuiet(int direction, int undo, ChangeRecord* result) {
  return DeleteVariant(1, direction, undo, result);
}

int CDocBunsObj::DeleteSelectionForMove(int direction, int undo, ChangeRecord* result) {
  return DeleteVariant(2, direction, undo, result);
}

int CDocBunsObj::DeleteVariant(int variant, int direction, int undo, ChangeRecord* result) {
  if (result != nullptr) *result = ChangeRecord{};
  if (HasSelection() || variant != kVariantNormal) {
    return DeleteNow(variant, direction, undo, result);
  }
  if (IsLineStartKind()) {
    if (direction == kBackward) {
      Move(0, kMovePrevChar);
      return 1;
    }
    if (ClassifyLinePosition() == kLineClassPlain && IsLineEndMark()) {
      return StepIndent(kIndentLeft, undo, -Format().charPitch, result, 1);
    }
  } else if (IsTextPosition()) {
    const bool deletable =
        direction == kForward ? IsEmpty() == 0 : PreviousCharPosition(nullptr, nullptr, 0) != 0;
    if (deletable) return DeleteNow(variant, direction, undo, result);
  } else if (direction == kForward && IsAtTableRightEdge()) {
    const int32_t width = GetColumnWidth() - 1;
    if (width > 0) return EditTableLayout(undo, kTableColumnWidth, result, width, 0);
  }
  feedback_.Cue(kCueNothingToDo, kCueInterrupt, kCueAsync);
  return 0;
}

int CDocBunsObj::DeleteNow(int variant, int direction, int undo, ChangeRecord* result) {
  if (CheckReadOnly() != 0) return 0;
  const bool selection = HasSelection();
  std::string gone;
  if (replaying_ != 0 || (direction == kBackward && speechOptions_.speechOn != 0)) {
    if (replaying_ != 0 || selection) {
      GetRangeText(kFormatBareText, gone, 0);
    } else {
      GetTextBeforeCaret(kFormatBareText, gone);
    }
    LimitText(gone, kDeletedTextLimit);
  }
  RememberForEdit(!selection);
  const bool widened = selection && WidenSelectionToUnits();
  if (widened) SetKeepEmptiedStart(1);
  BeginUndoRecording(undo);
  const int editType = kEditTypeOfVariant[variant];
  SaveBeforeEdit(undo, editType, direction == kBackward ? kSaveRangeCharBefore : 0);
  EditResult edit;
  if (selection) {
    ApplyEditWithUndo(0, &edit, 1, editType);
  } else {
    CDocObjContainer::DeleteChar(direction, &edit);
    if (edit.changed != 0 && !edit.newCursor.IsEmpty()) SetCursor(&edit.newCursor);
  }
  if (edit.changed != 0) {
    LogAfterEdit(undo, editType, &edit);
    FinishEdit(edit, false, result);
    SpeakDeletion(direction, gone.c_str(), &edit);
  } else {
    CancelUndoRecording(undo);
    feedback_.Cue(kCueWarning, kCueInterrupt, kCueAsync);
  }
  if (widened) SetKeepEmptiedStart(0);
  EndUndoRecording(undo);
  return edit.changed;
}

int CDocBunsObj::DeleteUnit(int unit, int undo, ChangeRecord* result) {
  if (result != nullptr) *result = ChangeRecord{};
  if (unit < kFirstUnit || unit > kLastUnit || CheckReadOnly() != 0) return 0;
  RememberForEdit(false);
  BeginUndoRecording(undo);
  SaveBeforeEdit(undo, kEditDelete, kSaveRangeSelection);
  EditResult edit;
  ApplyEditWithUndo(0, &edit, 0, kEditDelete);
  if (edit.changed != 0) {
    LogAfterEdit(undo, kEditDelete, &edit);
    FinishEdit(edit, false, result);
    SpeakPhrase(kUnitPhrases[unit - kFirstUnit], nullptr);
  } else {
    CancelUndoRecording(undo);
    feedback_.Cue(kCueWarning, kCueInterrupt, kCueAsync);
  }
  EndUndoRecording(undo);
  return edit.changed;
}

// ---- Blank lines

int CDocBunsObj::InsertLine(int undo, ChangeRecord* result) {
  if (result != nullptr) *result = ChangeRecord{};
  if (CheckReadOnly() != 0) return 0;
  RememberForEdit(false);
  BeginUndoRecording(undo);
  if (HasSelection()) ResetSelection(0);
  SaveBeforeEdit(undo, kEditTyped, 0);
  // In text the line goes in at the start of the caret's line, wherever
  // on the line the caret stands.
  CVedTextPos lineStart;
  const bool atLineStart = IsTextPosition() && ProbeMove(kMoveLineStart, nullptr, &lineStart);
  InsertionMark mark;
  MarkInsertionPoint(mark, nullptr, atLineStart ? &lineStart : nullptr);
  EditResult edit;
  InsertBlankLine(&edit);
  if (edit.changed == 0) ForgetInsertionMark(mark);
  if (edit.changed != 0) {
    if (!edit.newCursor.IsEmpty()) SetCursor(&edit.newCursor);
    EditResult logged = edit;
    NarrowToInserted(mark, logged);
    LogAfterEdit(undo, kEditTyped, &logged);
    CVedTextPos cursor;
    GetCursor(&cursor);
    UpdateAfterChange({.edited = true,
                       .caret = &cursor,
                       .result = &edit,
                       .change = result,
                       .changeFlags = kChangeWholeLine});
    SpeakPhrase(kPhraseInsertLine, nullptr);
  } else {
    CancelUndoRecording(undo);
    feedback_.Cue(kCueWarning, kCueInterrupt, kCueAsync);
  }
  EndUndoRecording(undo);
  return edit.changed;
}

// ---- Formatted insertion

int CDocBunsObj::InsertTextRecord(const FormattedText* record, ChangeRecord* result) {
  if (result != nullptr) *result = ChangeRecord{};
  if (record == nullptr || record->text == nullptr) return 0;
  EditResult inserted;
  const int changed = InsertText(record->text, 0, result, 1, &inserted);
  if (changed == 0) return 0;
  SetSelectionRange(0, &inserted.rangeStart, &inserted.rangeEnd);
  const CharAttributes format{record->font, record->decoration, record->design};
  if (format.font.mask != 0 || format.decoration.mask != 0 || format.design.mask != 0) {
    SetCharFormat(0, 0, &format, nullptr);
  }
  if (record->layout != nullptr) SetParagraphLayout(0, record->layout, nullptr);
  ResetSelection(0);
  return changed;
}
