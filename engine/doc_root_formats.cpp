// The format commands of the document root: character attributes and
// paragraph layout over the selection or the caret's paragraphs with undo,
// the format queries, the colours and speech options, page drawing and the
// attached printer.
#include <algorithm>

#include "engine/doc_root.h"
#include "platform/gdi.h"

namespace {

// Edit types of undo recording, by character attribute kind (all, font,
// decoration, design), and of a paragraph change. Before either, the
// selection's content is saved as a deletion that undo puts back.
constexpr int kCharEditTypes[] = {10, 7, 8, 9};
constexpr int kEditParagraph = 11;
constexpr int kEditSavedContent = 3;
constexpr int kSaveSelection = 1;

// The indent fields of a paragraph record: both left indents, or all three.
constexpr int32_t kMaskLeftIndents = kMaskFirstIndent | kMaskLeftIndent;
constexpr int32_t kMaskIndents = kMaskLeftIndents | kMaskRightIndent;

// Flags of the after-edit update: the changed lines reflowed, or the
// paragraphs changed their height.
constexpr int kAfterEditPlain = 0;
constexpr int kAfterEditReflowed = 1;
constexpr int kAfterEditParagraphs = 3;

// What an indent step says afterwards: nothing, the new indent, or the
// deletion that stepped it back.
constexpr int kSayNothing = 0;
constexpr int kSayIndent = 1;
constexpr int kSayDeletion = 3;
constexpr int kDeleteForward = 1;

// Targets of DrawPage.
constexpr int kTargetScreen = 1;
constexpr int kTargetPrinter = 2;

// A move that leaves cursor and caret where they are.
constexpr MoveParams kProbe{0, 0, 1};
constexpr MoveParams kSetCursor{1, 0, 1};

bool IsCharKind(int kind) {
  return kind >= CDocBunsObj::kCharKindAll && kind <= CDocBunsObj::kCharKindDesign;
}

bool SetsIndent(const ParaFormat& record) {
  return ((record.mask & kMaskFirstIndent) != 0 && record.firstIndent != 0) ||
         ((record.mask & kMaskLeftIndent) != 0 && record.leftIndent != 0) ||
         ((record.mask & kMaskRightIndent) != 0 && record.rightIndent != 0);
}

// Rounds towards the higher (`up`) or lower multiple of `pitch`.
int32_t OnPitch(int32_t value, int32_t pitch, bool up) {
  if (pitch <= 0) return value;
  int32_t rounded = value / pitch * pitch;
  if (up && rounded < value) rounded += pitch;
  if (!up && rounded > value) rounded -= pitch;
  return rounded;
}

platform::RECT Within(const platform::RECT& rect, int32_t top, int32_t bottom) {
  return {rect.left, std::max(rect.top, top), rect.right, std::min(rect.bottom, bottom)};
}

}  // namespace

// ---- Character attributes

int CDocBunsObj::GetCharFontValue(int32_t value) {
  if (!HasSelection()) return 1;
  const CVedTextRange selected = SelectedContent();
  return ApplyFontValue(value, &selected.start, &selected.end);
}

int CDocBunsObj::SetCharFont(int undo, const CharFormat* record, ChangeRecord* result) {
  CharAttributes all;
  if (record != nullptr) all.font = *record;
  return SetCharFormat(kCharKindFont, undo, record != nullptr ? &all : nullptr, result);
}

int CDocBunsObj::SetCharDecoration(int undo, const CharDecoration* record, ChangeRecord* result) {
  CharAttributes all;
  if (record != nullptr) all.decoration = *record;
  return SetCharFormat(kCharKindDecoration, undo, record != nullptr ? &all : nullptr, result);
}

int CDocBunsObj::SetCharDesign(int undo, const CharDesign* record, ChangeRecord* result) {
  CharAttributes all;
  if (record != nullptr) all.design = *record;
  return SetCharFormat(kCharKindDesign, undo, record != nullptr ? &all : nullptr, result);
}

int CDocBunsObj::SetCharFormat(int kind, int undo, const CharAttributes* record,
                               ChangeRecord* result) {
  if (result != nullptr) *result = ChangeRecord{};
  if (record == nullptr || !IsCharKind(kind)) return 0;
  if (CheckReadOnly() != 0 || !HasSelection()) return 0;
  // A font change reflows the lines, which moves the selection's ends:
  // their characters carry anchors through it.
  const bool reflows = kind == kCharKindAll || kind == kCharKindFont;
  RememberCaretState();
  if (reflows) SaveSelectionAnchors();
  BeginUndoRecording(undo);
  SaveBeforeEdit(undo, kEditSavedContent, kSaveSelection);
  LogAfterEdit(undo, kEditSavedContent, nullptr);
  const int editType = kCharEditTypes[kind];
  SaveBeforeEdit(undo, editType, 0);
  const EditResult applied = ApplyCharAttributes(kind, *record);
  if (applied.changed == 0) {
    if (reflows) RestoreSelectionAnchors(0, 0);
    CancelUndoRecording(undo);
    feedback_.Cue(kCueWarning, kCueInterrupt, kCueAsync);
    EndUndoRecording(undo);
    return 0;
  }
  CVedTextPos cursor = applied.newCursor;
  if (cursor.IsEmpty()) {
    GetCursor(&cursor);
  } else {
    SetCursor(&cursor);
  }
  // Undo restores all three kinds from the font record alone.
  const EditOpValue data = kind == kCharKindDecoration ? EditOpValue::Of(record->decoration)
                           : kind == kCharKindDesign   ? EditOpValue::Of(record->design)
                                                       : EditOpValue::Of(record->font);
  if (reflows) {
    snapshot_.caret = CVedTextPos{};
    display_.shown = CVedTextRange{};
    display_.cachedHeight = -1;
    if (RestoreSelectionAnchors(1, 1) == 0) ResetSelection(0);
  }
  // Undo puts the saved characters back over exactly the ones formatted,
  // not over the whole lines the result names for repainting. An end on a
  // table's rules stands for the edge of the cells the table formatted:
  // replayed, a range from the text to a rule would be taken for rows an
  // insertion put in and take them away, where the saved cells only refill.
  EditResult logged = applied;
  if (HasSelection()) {
    const CVedTextRange formatted = SelectedContent();
    const bool startOnRules = OnTableRules(Describe(&formatted.start));
    const bool endOnRules = OnTableRules(Describe(&formatted.end));
    logged.rangeStart = startOnRules ? applied.rangeStart : formatted.start;
    logged.rangeEnd = endOnRules ? applied.rangeEnd : formatted.end;
  }
  LogAfterEdit(undo, editType, &logged, data);
  UpdateAfterChange({.edited = true,
                     .caret = &cursor,
                     .result = &applied,
                     .change = result,
                     .changeFlags = reflows ? kAfterEditReflowed : kAfterEditPlain});
  EndUndoRecording(undo);
  return 1;
}

EditResult CDocBunsObj::ApplyCharAttributes(int kind, const CharAttributes& record) {
  const CVedTextRange selected = SelectedContent();
  const CVedTextPos& from = selected.start;
  const CVedTextPos& to = selected.end;
  EditResult result;
  switch (kind) {
    case kCharKindFont:
      CDocObjContainer::SetCharFont(&record.font, &from, &to, &result);
      return result;
    case kCharKindDecoration:
      CDocObjContainer::SetCharDecoration(&record.decoration, &from, &to, &result);
      return result;
    case kCharKindDesign:
      CDocObjContainer::SetCharDesign(&record.design, &from, &to, &result);
      return result;
    default:
      break;
  }
  // All three: the font goes last, since its reflow is what the caller
  // repaints. A record that clears only decorations changes no font; its
  // change must still count, or it would stand without undo or repaint.
  EditResult decoration;
  EditResult design;
  CDocObjContainer::SetCharDecoration(&record.decoration, &from, &to, &decoration);
  CDocObjContainer::SetCharDesign(&record.design, &from, &to, &design);
  CDocObjContainer::SetCharFont(&record.font, &from, &to, &result);
  if (result.changed != 0) return result;
  return decoration.changed != 0 ? decoration : design;
}

int CDocBunsObj::GetCharFont(int movingOnly, CharFormat* record) {
  CharAttributes all;
  const int answer = GetCharFormat(kCharKindFont, movingOnly, record != nullptr ? &all : nullptr);
  if (record != nullptr) *record = all.font;
  return answer;
}

int CDocBunsObj::GetCharDecoration(int movingOnly, CharDecoration* record) {
  CharAttributes all;
  const int answer =
      GetCharFormat(kCharKindDecoration, movingOnly, record != nullptr ? &all : nullptr);
  if (record != nullptr) *record = all.decoration;
  return answer;
}

int CDocBunsObj::GetCharDesign(int movingOnly, CharDesign* record) {
  CharAttributes all;
  const int answer = GetCharFormat(kCharKindDesign, movingOnly, record != nullptr ? &all : nullptr);
  if (record != nullptr) *record = all.design;
  return answer;
}

int CDocBunsObj::GetCharFormat(int kind, int movingOnly, CharAttributes* record) {
  if (record == nullptr || !IsCharKind(kind)) return 0;
  const CVedTextRange range = FormatQueryRange(movingOnly);
  int answer = 0;
  if (kind == kCharKindAll || kind == kCharKindFont) {
    answer |= CDocObjContainer::GetCharFont(&record->font, &range.start, &range.end);
  }
  if (kind == kCharKindAll || kind == kCharKindDecoration) {
    answer |= CDocObjContainer::GetCharDecoration(&record->decoration, &range.start, &range.end);
  }
  if (kind == kCharKindAll || kind == kCharKindDesign) {
    answer |= CDocObjContainer::GetCharDesign(&record->design, &range.start, &range.end);
  }
  return answer;
}

CVedTextRange CDocBunsObj::FormatQueryRange(int movingOnly) {
  CVedTextRange range;
  if (!HasSelection()) {
    range.start = range.end = caret_;
    return range;
  }
  if (movingOnly == 0) return SelectedContent();
  // The end the user moves: with a character-wise selection extended to
  // the right the caret stands after it, on the character one step left.
  range.start = caret_;
  const bool plain = selectionStartCode_ != kMoveWholeUnit && rangeMarking_ == 0;
  CVedTextPos cursor;
  CVedTextPos left;
  if (plain && selectionUnit_ == 1 && selectionOrder_ >= 0 && GetCursor(&cursor) != 0 &&
      MoveCursor(kMovePrevChar, &kProbe, &cursor, &left) == kMoveDone && !left.IsEmpty()) {
    range.start = left;
  }
  range.end = range.start;
  return range;
}

// ---- Paragraph layout

int CDocBunsObj::SetParagraphLayout(int undo, const ParaFormat* record, ChangeRecord* result) {
  if (result != nullptr) *result = ChangeRecord{};
  if (record == nullptr || CheckReadOnly() != 0) return 0;
  if (!ValidateParagraphChange(*record)) {
    if (replaying_ == 0) feedback_.Cue(kCueWarning, kCueInterrupt, kCueAsync);
    return 0;
  }
  return ApplyParagraphChange(0, undo, result, record, 0, kSayNothing);
}

int CDocBunsObj::StepIndent(int selector, int undo, int32_t step, ChangeRecord* result, int speak) {
  if (result != nullptr) *result = ChangeRecord{};
  if (CheckReadOnly() != 0) return 0;
  ParaFormat indents;
  indents.mask = kMaskIndents;
  if (!ValidateParagraphChange(indents)) {
    feedback_.Cue(kCueWarning, kCueInterrupt, kCueAsync);
    return 0;
  }
  int mode = kSayNothing;
  if (selector == kIndentLeft) mode = speak != 0 ? kSayDeletion : kSayIndent;
  return ApplyParagraphChange(selector, undo, result, nullptr, step, mode);
}

bool CDocBunsObj::ValidateParagraphChange(const ParaFormat& record) {
  if (!HasSelection()) return IsTextPosition();
  if (!SetsIndent(record)) return true;
  return !SelectionSpansChildren() &&
         IsRangeInOneText(&selectionCaretEnd_, &selectionAnchorEnd_) != 0;
}

int CDocBunsObj::ApplyParagraphChange(int selector, int undo, ChangeRecord* result,
                                      const ParaFormat* record, int32_t step, int mode) {
  const CVedTextPos keptCaret = caret_;
  const CVedTextPos keptAnchor = anchor_;
  const CVedTextPos keptCaretEnd = selectionCaretEnd_;
  const CVedTextPos keptAnchorEnd = selectionAnchorEnd_;
  const int32_t keptOrder = selectionOrder_;
  const int32_t keptStartCode = selectionStartCode_;
  const bool hadSelection = HasSelection();
  CVedTextPos start = caret_;
  CVedTextPos end = caret_;
  if (hadSelection) {
    const CVedTextRange selected = SelectedContent();
    start = selected.start;
    end = selected.end;
  }

  SaveSelectionAnchors();
  // An alignment change redraws the lines from their starts; a lone caret
  // goes to the start of its line, where the new alignment puts it.
  const bool alignment = record != nullptr && (record->mask & kMaskAlignment) != 0;
  const bool toLineStart = alignment && !hadSelection && replaying_ == 0;
  CVedTextPos widened;
  if (IsTextPosition(&start) &&
      MoveCursor(kMoveParagraphStart, &kProbe, &start, &widened) == kMoveDone) {
    start = widened;
  }
  if (IsTextPosition(&end) && MoveCursor(kMoveParagraphEnd, &kProbe, &end, &widened) == kMoveDone) {
    end = widened;
  }
  SetSelectionRange(1, &start, &end);

  RememberCaretState();
  // A run of deletions that step back indents is one series for speech.
  if (mode != kSayDeletion) lastDeleteDirection_ = 0;
  BeginUndoRecording(undo);
  SaveBeforeEdit(undo, kEditSavedContent, kSaveSelection);
  LogAfterEdit(undo, kEditSavedContent, nullptr);
  SaveBeforeEdit(undo, kEditParagraph, 0);
  EditResult applied;
  if (record != nullptr) {
    CDocObjContainer::SetParaFormat(record, &start, &end, &applied);
  } else {
    StepIndents(selector, step, start, end, &applied);
  }
  caret_ = keptCaret;
  anchor_ = keptAnchor;
  selectionCaretEnd_ = keptCaretEnd;
  selectionAnchorEnd_ = keptAnchorEnd;
  selectionOrder_ = keptOrder;
  selectionStartCode_ = keptStartCode;

  if (applied.changed == 0) {
    RestoreSelectionAnchors(0, 0);
    CancelUndoRecording(undo);
    if (replaying_ == 0) feedback_.Cue(kCueWarning, kCueInterrupt, kCueAsync);
    EndUndoRecording(undo);
    return 0;
  }
  ParaFormat logged;
  if (record != nullptr) {
    logged = *record;
  } else {
    logged.mask = selector == kIndentLeft ? kMaskLeftIndents : kMaskRightIndent;
  }
  LogAfterEdit(undo, kEditParagraph, &applied, EditOpValue::Of(logged));
  if (toLineStart) MoveCursor(kMoveLeftEnd, &kSetCursor, nullptr, nullptr);
  if (RestoreSelectionAnchors(1, 1) == 0) {
    CVedTextPos lineStart;
    CVedTextPos lineEnd;
    CVedTextPos earlier = selectionCaretEnd_;
    CVedTextPos later = selectionAnchorEnd_;
    if (hadSelection) OrderPositions(earlier, later);
    if (alignment && hadSelection &&
        MoveCursor(kMoveLineStart, &kProbe, &earlier, &lineStart) == kMoveDone &&
        MoveCursor(kMoveLineEnd, &kProbe, &later, &lineEnd) == kMoveDone) {
      SetSelectionRange(1, &lineStart, &lineEnd);
    } else if (HasSelection()) {
      ResetSelection(0);
    }
  }
  display_.cachedHeight = -1;
  snapshot_.caret = CVedTextPos{};
  display_.shown = CVedTextRange{};
  CVedTextPos cursor;
  GetCursor(&cursor);
  UpdateAfterChange({.edited = true,
                     .caret = &cursor,
                     .result = &applied,
                     .change = result,
                     .changeFlags = kAfterEditParagraphs});
  if (selector == kIndentLeft && mode == kSayIndent) SpeakParagraphChange(mode, step);
  if (selector == kIndentLeft && mode == kSayDeletion) SpeakDeletion(kDeleteForward, "", &applied);
  EndUndoRecording(undo);
  return 1;
}

int CDocBunsObj::StepIndents(int selector, int32_t step, const CVedTextPos& start,
                             const CVedTextPos& end, EditResult* result) {
  *result = EditResult{};
  // Paragraph starts survive the reflow of an indent change; the range's
  // end may not, so the walk stops by the start of the last paragraph.
  CVedTextPos last = end;
  CVedTextPos moved;
  if (MoveCursor(kMoveParagraphStart, &kProbe, &end, &moved) == kMoveDone) last = moved;
  CVedTextPos pos = start;
  while (true) {
    ParaFormat indents;
    indents.mask = kMaskIndents;
    if (CDocObjContainer::GetParaFormat(&indents, &pos, &pos) != 0) {
      ParaFormat changed = indents;
      changed.mask = kMaskIndents;
      bool change = false;
      if (selector == kIndentLeft) {
        changed.firstIndent = StepIndentValue(indents.firstIndent, step, indents.rightIndent);
        changed.leftIndent = StepIndentValue(indents.leftIndent, step, indents.rightIndent);
        change =
            changed.firstIndent != indents.firstIndent && changed.leftIndent != indents.leftIndent;
      } else {
        const int32_t limit = std::max(indents.firstIndent, indents.leftIndent);
        changed.rightIndent = StepIndentValue(indents.rightIndent, step, limit);
        change = changed.rightIndent != indents.rightIndent;
      }
      EditResult one;
      if (change && CDocObjContainer::SetParaFormat(&changed, &pos, &pos, &one) != 0) {
        if (result->changed == 0) {
          *result = one;
        } else {
          result->rangeEnd = one.rangeEnd;
          result->newCursor = one.newCursor;
          result->endAux = one.endAux;
          result->heightDelta += one.heightDelta;
        }
      }
    }
    if (ComparePositions(&pos, &last) != kCompareBefore ||
        MoveCursor(kMoveNextParagraph, &kProbe, &pos, &moved) != kMoveDone || moved == pos) {
      break;
    }
    pos = moved;
  }
  return result->changed != 0 ? 1 : 0;
}

int32_t CDocBunsObj::StepIndentValue(int32_t value, int32_t step, int32_t limit) {
  const int32_t pitch = Format().charPitch;
  if (step <= 0) {
    if (value > 0) value = OnPitch(value + step, pitch, true);
    return std::max(value, 0);
  }
  value = OnPitch(value + step, pitch, false);
  platform::RECT frame{};
  GetFrameRect(&frame, nullptr);
  const int32_t widest = frame.right - frame.left - pitch;
  if (limit + value > widest) value = widest - limit;
  return value;
}

int CDocBunsObj::GetParagraphLayout(int movingOnly, ParaFormat* record) {
  if (record == nullptr) return 0;
  const CVedTextRange range = FormatQueryRange(movingOnly);
  return CDocObjContainer::GetParaFormat(record, &range.start, &range.end);
}

// ---- Colours, drawing and the printer

void CDocBunsObj::SetColours(const DisplaySettings& record) {
  colours_ = record;
  renderer_.SetDisplaySettings(colours_);
}

void CDocBunsObj::SetDrawOffset(int32_t x, int32_t y) { drawOffset_ = platform::POINT{x, y}; }

int CDocBunsObj::DrawPage(platform::HDC dc, const CVedTextPos* from, int32_t bandTop,
                          int32_t bandBottom, int target) {
  bool printing = target == kTargetPrinter;
  if (dc != nullptr && target != kTargetScreen && target != kTargetPrinter) {
    printing = platform::GetDeviceCaps(dc, platform::TECHNOLOGY) != platform::DT_RASDISPLAY;
  }
  // The redraw gate holds back the screen only: a page sent to the printer
  // must come out whatever the screen is doing.
  if (dc == nullptr || (redrawEnabled_ == 0 && !printing)) return 0;
  if (Notify(WM_WPC_BEFOREDRAW, 0, 0) != 0) return 0;
  renderer_.BeginPage(dc, printing ? kDrawingPrinter : kDrawingScreen);
  renderer_.SetOffset(drawOffset_.x, drawOffset_.y);
  SetPrintMarking(printing ? 1 : 0);
  DrawResult drawn;
  Draw(from, 0, bandTop, 0, bandBottom, &drawn);
  renderer_.EndDraw();
  Notify(WM_WPC_AFTERDRAW, 0, 0);
  return drawn.painted;
}

int CDocBunsObj::GetCaretRects(int32_t bandTop, int32_t bandBottom,
                               std::array<platform::RECT, 3>& out) {
  if (redrawEnabled_ == 0 || !HasSelection()) return 0;
  int count = 0;
  for (const platform::RECT& rect : display_.rects) {
    if (rect.IsEmpty()) continue;
    platform::RECT shifted = rect;
    shifted.top += display_.verticalOffset;
    shifted.bottom += display_.verticalOffset;
    const platform::RECT inside = Within(shifted, bandTop, bandBottom);
    if (!inside.IsEmpty()) out[static_cast<size_t>(count++)] = inside;
  }
  return count;
}

int CDocBunsObj::AttachPrinter(platform::HDC printer) {
  printerAttached_ = 0;
  if (printer == nullptr) return 0;
  renderer_.FontUseList().RealizeFonts(printer);
  renderer_.SetPrinting();
  printerAttached_ = 1;
  return 1;
}

void CDocBunsObj::DetachPrinter() {
  renderer_.FontUseList().ReleaseFonts();
  renderer_.ClearPrinting();
  printerAttached_ = 0;
}

// ---- Speech options

void CDocBunsObj::SetSpeechOptions(const SpeechOptions& record) {
  speechOptions_ = record;
  feedback_.SetSpeechOptions(speechOptions_);
}

int CDocBunsObj::SetSpeechEnabled(int on) {
  const int previous = speechOptions_.speechOn;
  speechOptions_.speechOn = static_cast<uint8_t>(on);
  feedback_.SetSpeechOptions(speechOptions_);
  return previous;
}

int CDocBunsObj::SetSoundEnabled(int on) {
  const int previous = speechOptions_.soundOn;
  speechOptions_.soundOn = static_cast<uint8_t>(on);
  feedback_.SetSpeechOptions(speechOptions_);
  return previous;
}

int CDocBunsObj::PlayCue(int cue, int interrupt, int flags) {
  return feedback_.Cue(cue, interrupt, flags);
}
