#include "engine/undo_history.h"

#include <bit>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <new>
#include <utility>

#include "engine/doc_root.h"
#include "engine/texts.h"
#include "engine/wp_commands.h"
#include "engine/wp_ctrl.h"
#include "platform/clock.h"
#include "platform/file.h"
#include "platform/message_loop.h"
#include "platform/window_message.h"
#include "speech/reader_bridge.h"

namespace {

// Replays speak as guides, not as editing echo.
constexpr int kGuideSpeechMode = 4;
constexpr int kSpeakFlag = 1;
constexpr int kReaderSpeaking = 1;
constexpr uint32_t kSpeechPollMs = 100;
constexpr uint32_t kSpeechWaitLimitMs = 3000;

constexpr intptr_t kMaskNoNotifications = 0;
constexpr intptr_t kMaskAllNotifications = -1;
constexpr intptr_t kWholeUnitSelection = 1;

// Typed text read back for a reconversion offer, at most this long.
constexpr size_t kTypedTextLimit = 256;

// Flags of the bare-content insert that puts a fragment back.
constexpr int kReinsertFlags = 0x110001;
constexpr int kReinsertTyped = 0x80000;
constexpr int kReinsertRecordUndo = 0x20000;
constexpr int kReinsertRecordRedo = 0x40000;
constexpr size_t kReinsertBufferBytes = 4096;

// The first word of each line-style change block in a table attribute
// record is its mask; -1 applies every field of the saved blocks.
constexpr size_t kLineStyleMaskFirstWord = 3;
constexpr size_t kLineStyleBlockWords = 5;
constexpr size_t kLineStyleBlocks = 6;
constexpr size_t kTablePlacementWord = 0;
constexpr size_t kCellMarginWord = 2;
constexpr size_t kTableLineWidthWord = 5;
constexpr int32_t kPlaceLeft = 1;
constexpr int32_t kPlaceCentre = 2;
constexpr int32_t kPlaceRight = 3;

// Font mask bits that the font phrase names.
constexpr int32_t kFontFaceOrSize = kMaskFace | kMaskSize;
constexpr int32_t kFontScaleOrPlacement = kMaskHeightScale | kMaskWidthScale | kMaskPlacement;
constexpr int32_t kParaHeadIndents = kMaskFirstIndent | kMaskLeftIndent;

// Line kinds of underline and strike-out.
constexpr int16_t kLineThin = 17;
constexpr int16_t kLineThick = 18;
constexpr int16_t kLineDouble = 32;
constexpr int16_t kLineDotted = 48;
constexpr int16_t kLineWavy = 64;

bool IsPresent(const CaretPoint& point) { return point.page != 0; }

CaretPoint PointOrNone(const CaretPoint* point) { return point != nullptr ? *point : CaretPoint{}; }

// "Set" when the replay leaves the attribute on, else "cleared": replaying
// forward sets what was saved, undoing takes it away again.
const char* OnOff(int value, int direction) {
  const bool on = (value != 0) != (direction == -1);
  return on ? kReplayWordSet : kReplayWordClear;
}

const char* LineName(int16_t kind) {
  switch (kind) {
    case kLineThin:
      return kReplayLineThin;
    case kLineThick:
      return kReplayLineThick;
    case kLineDouble:
      return kReplayLineDouble;
    case kLineDotted:
      return kReplayLineDotted;
    case kLineWavy:
      return kReplayLineWavy;
    default:
      return "";
  }
}

// A size in tenths of a point as spoken: 120 is "12", 105 is "10.5".
std::string PointSize(int32_t tenths) {
  char text[32];
  if (tenths % 10 == 0) {
    std::snprintf(text, sizeof text, "%d", tenths / 10);
  } else {
    std::snprintf(text, sizeof text, "%d.%d", tenths / 10, tenths % 10);
  }
  return text;
}

std::string FontWords(const CharFormat& font, int direction) {
  std::string words;
  if ((font.mask & kFontFaceOrSize) != 0) {
    words += kReplayFont;
    words += direction == -1 ? kReplayWordClear : kReplayWordChange;
    if ((font.mask & kMaskFace) != 0) {
      words += kReplaySeparator;
      words.append(font.face, strnlen(font.face, sizeof font.face));
    }
    if ((font.mask & kMaskSize) != 0) {
      words += kReplaySeparator;
      words += PointSize(font.size);
      words += kReplayPoints;
    }
  }
  if ((font.mask & kMaskColor) != 0) {
    words += kReplayColour;
    words += direction == -1 ? kReplayWordRevert : kReplayWordChange;
  }
  if ((font.mask & kMaskBold) != 0) {
    words += kReplayBold;
    words += OnOff(font.bold, direction);
  }
  if ((font.mask & kMaskItalic) != 0) {
    words += kReplayItalic;
    words += OnOff(font.italic, direction);
  }
  if ((font.mask & kFontScaleOrPlacement) != 0) words += kReplayCharSize;
  return words;
}

std::string DecorationWords(const CharDecoration& decoration, int direction) {
  std::string words;
  if ((decoration.mask & kMaskUnderline) != 0) {
    words += kReplayUnderline;
    words += LineName(decoration.underline);
    words += OnOff(decoration.underline, direction);
  }
  if ((decoration.mask & kMaskShading) != 0) {
    words += kReplayShading;
    words += OnOff(decoration.shading, direction);
  }
  if ((decoration.mask & kMaskStrikeOut) != 0) {
    words += kReplayStrikeOut;
    words += LineName(decoration.strikeOut);
    words += OnOff(decoration.strikeOut, direction);
  }
  if ((decoration.mask & kMaskEnclosure) != 0) {
    words += kReplayEnclosure;
    words += OnOff(decoration.enclosure, direction);
  }
  if (words.empty() && (decoration.mask & kMaskDecorationColor) != 0) {
    words += kReplayDecorationColour;
    words += direction == -1 ? kReplayWordRevert : kReplayWordChange;
  }
  return words;
}

std::string DesignWords(const CharDesign& design, int direction) {
  std::string words;
  if ((design.mask & kMaskHollow) != 0) {
    words += kReplayHollow;
    words += OnOff(design.hollow, direction);
  }
  if ((design.mask & kMaskReverse) != 0) {
    words += kReplayReverse;
    words += OnOff(design.reverse, direction);
  }
  if ((design.mask & kMaskShadow) != 0) {
    words += kReplayShadow;
    words += OnOff(design.shadow, direction);
  }
  return words;
}

const char* AlignmentName(int16_t alignment) {
  switch (alignment) {
    case kPlaceLeft:
      return kReplayAlignLeft;
    case kPlaceCentre:
      return kReplayAlignCentre;
    case kPlaceRight:
      return kReplayAlignRight;
    default:
      return "";
  }
}

const char* IndentName(int32_t mask) {
  const bool head = (mask & kParaHeadIndents) != 0;
  const bool end = (mask & kMaskRightIndent) != 0;
  if (head && end) return kReplayIndent;
  return head ? kReplayLineHeadIndent : kReplayLineEndIndent;
}

// One paragraph change is named: the alignment, else the line gap, else
// the indents, else only whether it is set or cleared.
std::string ParagraphWords(const ParagraphLayoutRecord& paragraph, int direction) {
  const char* setOrClear = direction == -1 ? kReplayWordClear : kReplayWordSet;
  if ((paragraph.mask & kMaskAlignment) != 0) {
    return std::string(AlignmentName(paragraph.alignment)) + setOrClear;
  }
  if ((paragraph.mask & kMaskLineGap) != 0) return std::string(kReplayLineGap) + setOrClear;
  if ((paragraph.mask & (kParaHeadIndents | kMaskRightIndent)) != 0) {
    return std::string(IndentName(paragraph.mask)) +
           (direction == -1 ? kReplayWordRevert : kReplayWordSet);
  }
  return setOrClear;
}

int32_t LowestFormatBit(int32_t mask) { return mask & -mask; }

int32_t FormatMaskOf(int32_t kind) {
  switch (kind) {
    case kUndoFont:
      return kUndoMaskFont;
    case kUndoDecoration:
      return kUndoMaskDecoration;
    case kUndoDesign:
      return kUndoMaskDesign;
    case kUndoAllAttributes:
      return kUndoMaskAllAttributes;
    default:
      return kUndoMaskParagraph;
  }
}

int32_t FormatKindOf(int32_t mask) {
  if (mask == kUndoMaskAllAttributes) return kUndoAllAttributes;
  switch (LowestFormatBit(mask)) {
    case kUndoMaskFont:
      return kUndoFont;
    case kUndoMaskDecoration:
      return kUndoDecoration;
    case kUndoMaskDesign:
      return kUndoDesign;
    default:
      return kUndoParagraph;
  }
}

template <typename T>
void CopyIfHeld(const EditOpValue& value, T& into) {
  if (const T* held = value.Get<T>()) into = *held;
}

// Only the part that the kind names is kept.
UndoFormatData FormatDataOf(int32_t kind, const EditOpValue& value) {
  UndoFormatData data;
  switch (kind) {
    case kUndoFont:
    case kUndoAllAttributes:
      CopyIfHeld(value, data.font);
      break;
    case kUndoDecoration:
      CopyIfHeld(value, data.decoration);
      break;
    case kUndoDesign:
      CopyIfHeld(value, data.design);
      break;
    default:
      CopyIfHeld(value, data.paragraph);
      break;
  }
  return data;
}

EditOpValue FormatValueOf(int32_t kind, const UndoFormatData& data) {
  switch (kind) {
    case kUndoFont:
    case kUndoAllAttributes:
      return EditOpValue::Of(data.font);
    case kUndoDecoration:
      return EditOpValue::Of(data.decoration);
    case kUndoDesign:
      return EditOpValue::Of(data.design);
    default:
      return EditOpValue::Of(data.paragraph);
  }
}

TableAttributeWords WordsOf(const TableAttributeRecord& record) {
  return std::bit_cast<TableAttributeWords>(record);
}

const char* PlacementName(int32_t placement) {
  switch (placement) {
    case kPlaceLeft:
      return kReplayPlaceLeft;
    case kPlaceCentre:
      return kReplayPlaceCentre;
    case kPlaceRight:
      return kReplayPlaceRight;
    default:
      return "";
  }
}

}  // namespace

// ---- The record base

CVedUndoRecord::CVedUndoRecord(CVedUndoTarget* engine, int32_t kind, int32_t flags,
                               const CaretPoint* first, const CaretPoint* second,
                               const CaretPoint* after)
    : engine_(engine),
      kind_(kind),
      flags_(flags),
      locations_{PointOrNone(first), PointOrNone(second), PointOrNone(after)} {}

void CVedUndoRecord::MergeFormat(const CVedUndoRecord& format) {
  formatData_ = format.formatData_;
  flags_ |= format.formatMask();
  locations_.after = format.locations_.after;
}

std::string CVedUndoRecord::Prefix(int direction) {
  return direction == -1 ? kReplayPrefixUndo : kReplayPrefixRedo;
}

CVedUndoRecord::WaitEnd CVedUndoRecord::SpeakAndWait(const std::string& phrase) {
  SetSpeech(1);
  SpeakText(phrase.c_str(), kGuideSpeechMode, kSpeakFlag);
  platform::LoopExit exit;
  exit.done = [] { return GetVoiceStatus() != kReaderSpeaking; };
  exit.onKeyDown = true;
  // Gives up at the first poll after the limit.
  exit.deadline = platform::GetTickCount() + kSpeechWaitLimitMs + kSpeechPollMs;
  exit.idlePollMs = kSpeechPollMs;
  switch (platform::RunNestedLoop(exit)) {
    case platform::LoopEnd::kCondition:
      return WaitEnd::kFinished;
    case platform::LoopEnd::kKeyDown:
      StopSpeech();
      SetSpeech(0);
      return WaitEnd::kKey;
    default:
      SetSpeech(0);
      return WaitEnd::kTime;
  }
}

void CVedUndoRecord::SetSpeech(int on) { engine_->FeedbackCommand(WPC_SET_SPEECH, on, nullptr); }

void CVedUndoRecord::SetNotifyMask(intptr_t mask) {
  engine_->NotifyCommand(WPC_SET_NOTIFY_MASK, mask);
}

void CVedUndoRecord::MoveTo(const CaretPoint& point) {
  engine_->EditCommand(WPC_MOVE, kMoveToPoint, reinterpret_cast<intptr_t>(&point));
}

void CVedUndoRecord::MoveQuietlyTo(const CaretPoint& point) {
  SetNotifyMask(kMaskNoNotifications);
  MoveTo(point);
  SetNotifyMask(kMaskAllNotifications);
}

void CVedUndoRecord::MoveToAfter() {
  if (IsPresent(locations_.after)) MoveTo(locations_.after);
}

void CVedUndoRecord::SelectFirstToSecond() {
  SetNotifyMask(kMaskNoNotifications);
  MoveTo(locations_.first);
  engine_->EditCommand(WPC_MOVE_EXTEND, kMoveWholeUnit, kWholeUnitSelection);
  engine_->EditCommand(WPC_MOVE_EXTEND, kMoveToPoint,
                       reinterpret_cast<intptr_t>(&locations_.second));
  SetNotifyMask(kMaskAllNotifications);
}

// ---- Deletion

CVedUndoDelete::CVedUndoDelete(CVedUndoTarget* engine, int32_t variant, const CaretPoint* first,
                               const CaretPoint* second, const CaretPoint* after)
    : CVedUndoRecord(engine, kUndoDelete, variant, first, second, after) {}

int CVedUndoDelete::Apply(int direction) {
  SelectRange();
  if ((variant() & kUndoVariantTyped) != 0) {
    DeleteTyped(direction);
    return 1;
  }
  if (direction != 0) SpeakAndWait(Prefix(direction) + kReplayWordDelete);
  engine_->EditCommand(WPC_DELETE, direction, 0);
  MoveToAfter();
  return 1;
}

void CVedUndoDelete::DeleteTyped(int direction) {
  char text[kTypedTextLimit + 1] = {};
  engine_->EditCommand(WPC_GET_RANGE_TEXT, kTypedTextLimit, reinterpret_cast<intptr_t>(text));
  engine_->EditCommand(WPC_DELETE_QUIET, direction, 0);
  MoveToAfter();
  // The window may take the text back for reconversion; then it speaks
  // for itself.
  const int taken =
      engine_->EditCommand(WPC_REQUEST_RECONVERT, 0, reinterpret_cast<intptr_t>(text));
  if (taken != 0 || direction == 0) return;
  if (SpeakAndWait(Prefix(direction) + kReplayWordDelete) == WaitEnd::kFinished) {
    SpeakText(text, kGuideSpeechMode, kSpeakFlag);
  }
}

// ---- Re-insertion

CVedUndoEdit::CVedUndoEdit(CVedUndoTarget* engine, int32_t variant, const CaretPoint* first,
                           const CaretPoint* second, const CaretPoint* after,
                           std::vector<uint8_t> fragment, const ParagraphLayoutRecord* paragraph)
    : CVedUndoRecord(engine, kUndoEdit, variant, first, second, after),
      fragment_(std::move(fragment)),
      hasFragment_(!fragment_.empty()) {
  if (paragraph != nullptr) {
    paragraph_ = *paragraph;
    paragraph_.mask = kMaskEveryField;
  }
}

int CVedUndoEdit::Apply(int direction) {
  if (!hasFragment_) return 1;
  if (formatMask() != 0) {
    ApplyFormat(direction);
  } else if ((variant() & kUndoVariantTransfer) != 0 && transfer_ != nullptr) {
    ApplyTransfer(direction);
  } else {
    SetSpeech(1);
    // Without a selected range to replace, the text goes back where it was
    // taken from: the caret may have been moved since by other replays.
    if (moveFirst_ != 0 && IsPresent(locations_.first)) {
      MoveQuietlyTo(locations_.first);
    } else if (moveFirst_ != 0 && IsPresent(locations_.after)) {
      MoveQuietlyTo(locations_.after);
    }
    const bool replacing = engine_->EditCommand(WPC_HAS_SELECTION, 0, 0) != 0;
    if (direction != 0) {
      SpeakAndWait(Prefix(direction) + (replacing ? kReplayWordReplace : kReplayWordInsert));
    }
    Reinsert(direction);
    RestoreParagraph(1);
  }
  return 1;
}

void CVedUndoEdit::Reinsert(int direction) {
  int flags = kReinsertFlags;
  if ((variant() & kUndoVariantTyped) != 0) flags |= kReinsertTyped;
  if (direction > 0) flags |= kReinsertRecordUndo;
  if (direction < 0) flags |= kReinsertRecordRedo;
  try {
    platform::CMemFile file(fragment_.data(), fragment_.size());
    platform::CArchive archive(&file, platform::CArchive::kLoad, kReinsertBufferBytes);
    engine_->DocumentCommand(WPC_INSERT_BARE_CONTENT, flags, &archive);
  } catch (const platform::CFileException&) {
    // A fragment that cannot be read back is simply not re-inserted.
  } catch (const platform::CArchiveException&) {
  }
}

void CVedUndoEdit::RestoreParagraph(int moveAfter) {
  if (paragraph_.mask == 0) return;
  // Putting the layout back is part of this replay, not a step of its own.
  engine_->EditCommand(WPC_SET_PARAGRAPH, 0, reinterpret_cast<intptr_t>(&paragraph_));
  if (moveAfter != 0) MoveToAfter();
}

std::string CVedUndoEdit::FormatPhrase(int direction) const {
  const int32_t mask = formatMask();
  if (mask == kUndoMaskAllAttributes) {
    return Prefix(direction) + (direction == -1 ? kReplayAttributesRevert : kReplayAttributesClear);
  }
  const UndoFormatData empty;
  const UndoFormatData& data = formatData_ != nullptr ? *formatData_ : empty;
  switch (LowestFormatBit(mask)) {
    case kUndoMaskFont:
      return Prefix(direction) + FontWords(data.font, direction);
    case kUndoMaskDecoration:
      return Prefix(direction) + DecorationWords(data.decoration, direction);
    case kUndoMaskDesign:
      return Prefix(direction) + DesignWords(data.design, direction);
    case kUndoMaskParagraph:
      return Prefix(direction) + ParagraphWords(data.paragraph, direction);
    default:
      return {};
  }
}

void CVedUndoEdit::ApplyFormat(int direction) {
  const std::string phrase = FormatPhrase(direction);
  if (!phrase.empty() && direction != 0) SpeakAndWait(phrase);
  Reinsert(direction);
  RestoreParagraph(1);
}

void CVedUndoEdit::ApplyTransfer(int direction) {
  if (direction != 0) SpeakAndWait(Prefix(direction) + kReplayWordMove);
  try {
    platform::CMemFile file(fragment_.data(), fragment_.size());
    platform::CArchive archive(&file, platform::CArchive::kLoad, kReinsertBufferBytes);
    transfer_->target = locations_;
    transfer_->archive = &archive;
    engine_->EditCommand(WPC_REPLAY_TRANSFER, direction, reinterpret_cast<intptr_t>(transfer_));
    transfer_->archive = nullptr;
  } catch (const platform::CFileException&) {
    transfer_->archive = nullptr;
  } catch (const platform::CArchiveException&) {
    transfer_->archive = nullptr;
  }
  RestoreParagraph(0);
}

// ---- Format

CVedUndoFormat::CVedUndoFormat(CVedUndoTarget* engine, int32_t mask, const CaretPoint* first,
                               const CaretPoint* second, const CaretPoint* after,
                               const UndoFormatData& data)
    : CVedUndoRecord(engine, kUndoFormat, mask, first, second, after), data_(data) {
  formatData_ = &data_;
}

int CVedUndoFormat::Apply(int) { return 1; }

// ---- Table layout

CVedUndoTableLayout::CVedUndoTableLayout(CVedUndoTarget* engine, const CaretPoint* first,
                                         const TableAttributeRecord& attributes,
                                         const CaretPoint* after)
    : CVedUndoRecord(engine, kUndoTableLayout, 0, first, nullptr, after), attributes_(attributes) {}

int CVedUndoTableLayout::Apply(int direction) {
  // Every line-style block of the saved record applies all its fields.
  TableAttributeWords saved = WordsOf(attributes_);
  for (size_t block = 0; block < kLineStyleBlocks; ++block) {
    saved[kLineStyleMaskFirstWord + block * kLineStyleBlockWords] = -1;
  }
  attributes_ = std::bit_cast<TableAttributeRecord>(saved);
  if (moveFirst_ != 0 && IsPresent(locations_.first)) MoveQuietlyTo(locations_.first);
  TableAttributeRecord current{};
  engine_->TableCommand(WPC_GET_TABLE_ATTRIBUTES, 0, reinterpret_cast<intptr_t>(&current));
  engine_->TableCommand(WPC_SET_TABLE_ATTRIBUTES, direction,
                        reinterpret_cast<intptr_t>(&attributes_));
  MoveToAfter();
  SetSpeech(1);
  const std::string words = ChangeWords(saved, WordsOf(current));
  if (!words.empty() && direction != 0) {
    const std::string phrase = Prefix(direction) + kReplayTableChange + words;
    SpeakText(phrase.c_str(), kGuideSpeechMode, kSpeakFlag);
  }
  return 1;
}

std::string CVedUndoTableLayout::ChangeWords(const TableAttributeWords& saved,
                                             const TableAttributeWords& current) {
  if (saved[kTablePlacementWord] != current[kTablePlacementWord]) {
    return std::string(kReplayTablePlacement) + PlacementName(saved[kTablePlacementWord]);
  }
  if (saved[kCellMarginWord] != current[kCellMarginWord]) {
    return std::string(kReplayCellMargin) +
           (saved[kCellMarginWord] < current[kCellMarginWord] ? kReplayNarrower : kReplayWider);
  }
  if (saved[kTableLineWidthWord] != current[kTableLineWidthWord]) {
    return std::string(kReplayTableLine) +
           (saved[kTableLineWidthWord] < current[kTableLineWidthWord] ? kReplayThinner
                                                                      : kReplayThicker);
  }
  return {};
}

// ---- Column width

CVedUndoColumnWidth::CVedUndoColumnWidth(CVedUndoTarget* engine, const CaretPoint* first,
                                         int32_t width, const CaretPoint* after)
    : CVedUndoRecord(engine, kUndoColumnWidth, 0, first, nullptr, after), width_(width) {}

int CVedUndoColumnWidth::Apply(int direction) {
  if (moveFirst_ != 0 && IsPresent(locations_.first)) MoveQuietlyTo(locations_.first);
  if (direction != 0) {
    SetSpeech(1);
    char words[64];
    std::snprintf(words, sizeof words, kReplayColumnWidth, width_);
    const std::string phrase = Prefix(direction) + words;
    SpeakText(phrase.c_str(), kGuideSpeechMode, kSpeakFlag);
  }
  engine_->TableCommand(WPC_SET_COLUMN_WIDTH, direction, width_);
  MoveToAfter();
  return 1;
}

// ---- Group

CVedUndoGroup::CVedUndoGroup(CVedUndoTarget* engine)
    : CVedUndoRecord(engine, kUndoGroup, 0, nullptr, nullptr, nullptr) {}

CVedUndoRecord* CVedUndoGroup::GetCurrent() {
  return current_ != nullptr ? current_->GetCurrent() : nullptr;
}

void CVedUndoGroup::Add(std::unique_ptr<CVedUndoRecord> record) {
  records_.push_front(std::move(record));
}

int32_t CVedUndoGroup::EffectiveKind(const CVedUndoRecord& record) {
  const bool transfer = (record.variant() & kUndoVariantTransfer) != 0;
  if (record.kind() == kUndoDelete && transfer) return kUndoDeleteTransfer;
  if (record.kind() == kUndoEdit && transfer) return kUndoEditTransfer;
  return record.kind();
}

void CVedUndoGroup::ApplyOne(CVedUndoRecord& record, int direction) {
  current_ = &record;
  record.Apply(direction);
}

int CVedUndoGroup::Apply(int direction) {
  // Filled for a transfer pair and read by its second half's replay.
  TransferReplayRecord transfer;
  CVedUndoRecord* pending = nullptr;
  int32_t pendingKind = 0;
  for (auto it = records_.begin(); it != records_.end(); ++it) {
    CVedUndoRecord& record = **it;
    const int32_t kind = EffectiveKind(record);
    const bool last = std::next(it) == records_.end();
    const bool holdBack = kind == kUndoDelete || kind == kUndoDeleteTransfer || kind == kUndoFormat;
    if (holdBack && !last) {
      if (pending != nullptr && pendingKind != kUndoFormat) ApplyOne(*pending, direction);
      pending = &record;
      pendingKind = kind;
      continue;
    }
    if (pending != nullptr) Join(*pending, pendingKind, record, kind, direction, transfer);
    pending = nullptr;
    ApplyOne(record, direction);
  }
  current_ = nullptr;
  return 1;
}

void CVedUndoGroup::Join(CVedUndoRecord& pending, int32_t pendingKind, CVedUndoRecord& record,
                         int32_t kind, int direction, TransferReplayRecord& transfer) {
  current_ = &pending;
  if (pendingKind == kUndoDelete && kind == kUndoEdit) {
    // A replacement: the deletion only marks what the re-insertion replaces.
    pending.SelectRange();
    record.ClearMoveFirst();
    if ((pending.variant() & kUndoVariantTyped) != 0) record.AddFlags(kUndoReplacement);
  } else if (pendingKind == kUndoDeleteTransfer && kind == kUndoEditTransfer) {
    transfer.source = pending.locations();
    record.AttachTransfer(&transfer);
  } else if (pendingKind == kUndoFormat && kind == kUndoEdit) {
    pending.SelectRange();
    record.ClearMoveFirst();
    record.MergeFormat(pending);
  } else {
    pending.Apply(direction);
  }
}

// ---- List

void CVedUndoList::Bind(CVedUndoTarget* engine, int32_t direction) {
  engine_ = engine;
  direction_ = direction;
}

std::unique_ptr<CVedUndoRecord> CVedUndoList::CreateRecord(
    int32_t kind, const CaretPoint* first, const CaretPoint* second, const CaretPoint* after,
    EditDataHolder* fragment, const EditOpValue& data,
    const ParagraphLayoutRecord* paragraph) const {
  switch (kind) {
    case kUndoDelete:
    case kUndoDeleteTyped:
    case kUndoDeleteTransfer:
      return std::make_unique<CVedUndoDelete>(engine_, (kind - kUndoDelete) / 2, first, second,
                                              after);
    case kUndoEdit:
    case kUndoEditMarked:
    case kUndoEditTransfer: {
      std::vector<uint8_t> bytes;
      if (fragment != nullptr) bytes = fragment->TakeBytes().value_or(std::vector<uint8_t>{});
      return std::make_unique<CVedUndoEdit>(engine_, (kind - kUndoEdit) / 2, first, second, after,
                                            std::move(bytes), paragraph);
    }
    case kUndoFont:
    case kUndoAllAttributes:
    case kUndoDecoration:
    case kUndoDesign:
    case kUndoParagraph:
      return std::make_unique<CVedUndoFormat>(engine_, FormatMaskOf(kind), first, second, after,
                                              FormatDataOf(kind, data));
    case kUndoTableLayout: {
      const TableAttributeRecord* attributes = data.Get<TableAttributeRecord>();
      if (attributes == nullptr) return nullptr;
      return std::make_unique<CVedUndoTableLayout>(engine_, first, *attributes, after);
    }
    case kUndoColumnWidth: {
      const int32_t* width = data.Get<int32_t>();
      if (width == nullptr) return nullptr;
      return std::make_unique<CVedUndoColumnWidth>(engine_, first, *width, after);
    }
    default:
      return nullptr;
  }
}

void CVedUndoList::Add(std::unique_ptr<CVedUndoRecord> record) {
  if (openGroup_ != nullptr) {
    openGroup_->Add(std::move(record));
  } else {
    records_.push_front(std::move(record));
  }
  TrimToLimit();
}

void CVedUndoList::TrimToLimit() {
  while (records_.size() > kUndoStepLimit) records_.pop_back();
}

void CVedUndoList::BeginGroup() { openGroup_ = std::make_unique<CVedUndoGroup>(engine_); }

void CVedUndoList::EndGroup() {
  std::unique_ptr<CVedUndoGroup> group = std::move(openGroup_);
  if (group == nullptr || group->Count() == 0) return;
  records_.push_front(std::move(group));
  // A group counts as one step towards the limit like any other record.
  TrimToLimit();
}

int CVedUndoList::Step(int flag) {
  if (records_.empty()) return 0;
  // The replay speaks its own phrases; afterwards speech is as the user
  // had it, not switched on behind their back.
  const int speaking = engine_->FeedbackCommand(WPC_SET_SPEECH, 0, nullptr);
  engine_->EditCommand(WPC_CLEAR_SELECTION, 0, 0);
  current_ = std::move(records_.front());
  records_.pop_front();
  current_->Apply(flag != 0 ? direction_ : 0);
  current_.reset();
  engine_->FeedbackCommand(WPC_SET_SPEECH, speaking, nullptr);
  return 1;
}

CVedUndoRecord* CVedUndoList::GetCurrent() const {
  return current_ != nullptr ? current_->GetCurrent() : nullptr;
}

void CVedUndoList::Clear() {
  records_.clear();
  openGroup_.reset();
}

// ---- History

void CVedUndoHistory::Bind(CVedUndoTarget* engine) {
  undo_.Bind(engine, -1);
  redo_.Bind(engine, 1);
}

void CVedUndoHistory::Clear() {
  undo_.Clear();
  redo_.Clear();
}

CVedUndoList* CVedUndoHistory::ListFor(int direction) {
  if (direction > 0) return &undo_;
  if (direction < 0) return &redo_;
  return nullptr;
}

void CVedUndoHistory::AddStep(int direction, int32_t kind, const CaretPoint* first,
                              const CaretPoint* second, const CaretPoint* after,
                              EditDataHolder* fragment, const EditOpValue& data,
                              const ParagraphLayoutRecord* paragraph) {
  EditOpValue stepData = data;
  if (replayState_ != kIdle && kind == kUndoDelete) kind = RedirectToFormat(kind, stepData);
  CVedUndoList* list = ListFor(direction);
  if (list == nullptr) return;
  if (direction > 0 && replayState_ == kIdle) redo_.Clear();
  try {
    std::unique_ptr<CVedUndoRecord> record =
        list->CreateRecord(kind, first, second, after, fragment, stepData, paragraph);
    if (record != nullptr) list->Add(std::move(record));
  } catch (const std::bad_alloc&) {
    // A step that cannot be kept is simply not recorded.
  }
}

int32_t CVedUndoHistory::RedirectToFormat(int32_t kind, EditOpValue& data) const {
  const CVedUndoList& replayed = replayState_ == kReplayingUndo ? undo_ : redo_;
  const CVedUndoRecord* current = replayed.GetCurrent();
  if (current == nullptr || current->kind() != kUndoEdit || current->formatMask() == 0) {
    return kind;
  }
  const int32_t formatKind = FormatKindOf(current->formatMask());
  const UndoFormatData empty;
  const UndoFormatData& format = current->formatData() != nullptr ? *current->formatData() : empty;
  data = FormatValueOf(formatKind, format);
  return formatKind;
}

void CVedUndoHistory::BeginGroup(int direction) {
  if (CVedUndoList* list = ListFor(direction)) list->BeginGroup();
}

void CVedUndoHistory::EndGroup(int direction) {
  if (CVedUndoList* list = ListFor(direction)) list->EndGroup();
}

int CVedUndoHistory::Undo(int flag) {
  replayState_ = kReplayingUndo;
  const int stepped = undo_.Step(flag);
  replayState_ = kIdle;
  return stepped;
}

int CVedUndoHistory::Redo() {
  replayState_ = kReplayingRedo;
  const int stepped = redo_.Step(1);
  replayState_ = kIdle;
  return stepped;
}
