// The engine's undo and redo lists. After every editing command the engine
// turns what the document root logged into one undo step (one record, or a
// group of records for a command that did several things). An undo or redo
// replays the newest record of its list by sending ordinary engine
// commands back into the engine; those commands record their own inverse
// into the other list, so undo and redo alternate without special code.
// Every replay says what it undoes or redoes through the screen reader.
#pragma once

#include <array>
#include <cstdint>
#include <list>
#include <memory>
#include <string>
#include <vector>

#include "engine/caret_point.h"
#include "engine/doc_root.h"
#include "engine/edit_op_log.h"
#include "engine/paragraph_layout.h"
#include "model/attribute_records.h"
#include "platform/archive.h"

// Undo kinds: what the document root logs for an operation and what the
// history builds from it.
inline constexpr int32_t kUndoGroup = 0;
inline constexpr int32_t kUndoDelete = 1;           // delete what was inserted
inline constexpr int32_t kUndoEdit = 2;             // re-insert what was taken away
inline constexpr int32_t kUndoDeleteTyped = 3;      // typed text, offered for reconversion
inline constexpr int32_t kUndoEditMarked = 4;       // re-inserted as typed text
inline constexpr int32_t kUndoDeleteTransfer = 5;   // first half of a move or copy
inline constexpr int32_t kUndoEditTransfer = 6;     // second half of a move or copy
inline constexpr int32_t kUndoFormat = 100;         // the kind of every format record
inline constexpr int32_t kUndoFont = 101;           // character font
inline constexpr int32_t kUndoDecoration = 102;     // character decoration
inline constexpr int32_t kUndoDesign = 103;         // character design
inline constexpr int32_t kUndoAllAttributes = 104;  // all three character groups
inline constexpr int32_t kUndoParagraph = 105;      // paragraph layout
inline constexpr int32_t kUndoTableLayout = 200;
inline constexpr int32_t kUndoColumnWidth = 201;

// Bits of a record's flag word.
inline constexpr int32_t kUndoVariantMask = 0x3;
inline constexpr int32_t kUndoVariantTyped = 0x1;     // typed text / re-inserted as typed
inline constexpr int32_t kUndoVariantTransfer = 0x2;  // half of a move or copy
inline constexpr int32_t kUndoReplacement = 0x4;      // the deletion half of a replacement
inline constexpr int32_t kUndoFormatMaskBits = 0xF00;
inline constexpr int32_t kUndoMaskFont = 0x100;
inline constexpr int32_t kUndoMaskDecoration = 0x200;
inline constexpr int32_t kUndoMaskDesign = 0x400;
inline constexpr int32_t kUndoMaskAllAttributes = 0x700;
inline constexpr int32_t kUndoMaskParagraph = 0x800;

// Each list keeps at most this many steps; the oldest go first.
inline constexpr size_t kUndoStepLimit = 50;

// A table's attributes as commands 7104 and 7103 exchange them: its
// layout followed by five line-style change blocks, read here as words.
using TableAttributeRecord = CDocBunsObj::TableAttributes;
inline constexpr size_t kTableAttributeWords = sizeof(TableAttributeRecord) / sizeof(int32_t);
using TableAttributeWords = std::array<int32_t, kTableAttributeWords>;

// The places a record keeps: the start and end of the affected range and
// where the caret goes after the replay (page 0: none).
struct UndoLocations {
  CaretPoint first;
  CaretPoint second;
  CaretPoint after;
};

// What command 3219 receives to replay the second half of a move or copy:
// the places of the first half (the deletion), those of the second (the
// insertion) and a loading archive over the moved content.
struct TransferReplayRecord {
  UndoLocations source;
  UndoLocations target;
  platform::CArchive* archive = nullptr;
};

// The attributes a format step set, kept to name them when it is replayed.
// Only the part that the step's mask names is filled.
struct UndoFormatData {
  CharFormat font;
  CharDecoration decoration;
  CharDesign design;
  ParagraphLayoutRecord paragraph;
};

// The engine as the records see it: the dispatchers they send their
// commands to. The engine implements it with its own dispatchers.
class CVedUndoTarget {
 public:
  virtual ~CVedUndoTarget() = default;
  virtual int DocumentCommand(int code, int flags, platform::CArchive* archive) = 0;
  virtual int EditCommand(int code, intptr_t arg, intptr_t value) = 0;
  virtual int FeedbackCommand(int code, int arg, void* record) = 0;
  virtual int NotifyCommand(int code, intptr_t arg) = 0;
  virtual intptr_t TableCommand(int code, int arg, intptr_t value) = 0;
};

class CVedUndoRecord {
 public:
  CVedUndoRecord(CVedUndoTarget* engine, int32_t kind, int32_t flags, const CaretPoint* first,
                 const CaretPoint* second, const CaretPoint* after);
  virtual ~CVedUndoRecord() = default;
  CVedUndoRecord(const CVedUndoRecord&) = delete;
  CVedUndoRecord& operator=(const CVedUndoRecord&) = delete;

  // The record being replayed: itself, or a group's sub-record.
  virtual CVedUndoRecord* GetCurrent() { return this; }
  // Replays with a direction (-1 records the inverse as redo, 1 as undo,
  // 0 records nothing); replays ignore what their commands answer.
  virtual int Apply(int direction) = 0;
  // Selects the affected range when the kind has one.
  virtual void SelectRange() = 0;

  int32_t kind() const { return kind_; }
  int32_t flags() const { return flags_; }
  int32_t variant() const { return flags_ & kUndoVariantMask; }
  int32_t formatMask() const { return flags_ & kUndoFormatMaskBits; }
  int32_t moveFirst() const { return moveFirst_; }
  const UndoLocations& locations() const { return locations_; }
  const UndoFormatData* formatData() const { return formatData_; }

  // A group pairs neighbouring records into one replay with these.
  void AddFlags(int32_t flags) { flags_ |= flags; }
  void ClearMoveFirst() { moveFirst_ = 0; }
  void MergeFormat(const CVedUndoRecord& format);
  void AttachTransfer(TransferReplayRecord* transfer) { transfer_ = transfer; }

 protected:
  // "Undo" or "redo" for a direction.
  static std::string Prefix(int direction);
  // Speech on, the phrase, then a bounded wait while the reader speaks;
  // answers how the wait ended.
  enum class WaitEnd { kFinished, kKey, kTime };
  WaitEnd SpeakAndWait(const std::string& phrase);
  void SetSpeech(int on);
  void SetNotifyMask(intptr_t mask);
  void MoveTo(const CaretPoint& point);
  // The move above with the notifications held back.
  void MoveQuietlyTo(const CaretPoint& point);
  void MoveToAfter();
  // first..second as the selection, without notifications.
  void SelectFirstToSecond();

  CVedUndoTarget* engine_;
  int32_t kind_;
  int32_t flags_;
  int32_t moveFirst_ = 1;
  // Borrowed from the format record merged into this one, or the transfer
  // record a group fills for the replay; both outlive the replay.
  const UndoFormatData* formatData_ = nullptr;
  TransferReplayRecord* transfer_ = nullptr;
  UndoLocations locations_;
};

class CVedUndoGroup : public CVedUndoRecord {
 public:
  explicit CVedUndoGroup(CVedUndoTarget* engine);

  CVedUndoRecord* GetCurrent() override;
  int Apply(int direction) override;
  void SelectRange() override {}

  void Add(std::unique_ptr<CVedUndoRecord> record);
  size_t Count() const { return records_.size(); }
  // Newest first.
  const std::list<std::unique_ptr<CVedUndoRecord>>& records() const { return records_; }

 private:
  static int32_t EffectiveKind(const CVedUndoRecord& record);
  // Joins a held-back record with the one that follows it.
  void Join(CVedUndoRecord& pending, int32_t pendingKind, CVedUndoRecord& record, int32_t kind,
            int direction, TransferReplayRecord& transfer);
  void ApplyOne(CVedUndoRecord& record, int direction);

  std::list<std::unique_ptr<CVedUndoRecord>> records_;
  CVedUndoRecord* current_ = nullptr;
};

// Undoes an insertion by deleting first..second.
class CVedUndoDelete : public CVedUndoRecord {
 public:
  CVedUndoDelete(CVedUndoTarget* engine, int32_t variant, const CaretPoint* first,
                 const CaretPoint* second, const CaretPoint* after);
  int Apply(int direction) override;
  void SelectRange() override { SelectFirstToSecond(); }

 private:
  void DeleteTyped(int direction);
};

// Re-inserts content that an edit took away.
class CVedUndoEdit : public CVedUndoRecord {
 public:
  CVedUndoEdit(CVedUndoTarget* engine, int32_t variant, const CaretPoint* first,
               const CaretPoint* second, const CaretPoint* after, std::vector<uint8_t> fragment,
               const ParagraphLayoutRecord* paragraph);
  int Apply(int direction) override;
  void SelectRange() override {}

  const std::vector<uint8_t>& fragment() const { return fragment_; }
  bool hasFragment() const { return hasFragment_; }
  const ParagraphLayoutRecord& paragraph() const { return paragraph_; }

 private:
  void Reinsert(int direction);
  void RestoreParagraph(int moveAfter);
  void ApplyFormat(int direction);
  void ApplyTransfer(int direction);
  std::string FormatPhrase(int direction) const;

  std::vector<uint8_t> fragment_;
  bool hasFragment_;
  ParagraphLayoutRecord paragraph_;
};

// A format change; replayed only through the edit record that follows it
// in a group, which takes over its range, mask and data.
class CVedUndoFormat : public CVedUndoRecord {
 public:
  CVedUndoFormat(CVedUndoTarget* engine, int32_t mask, const CaretPoint* first,
                 const CaretPoint* second, const CaretPoint* after, const UndoFormatData& data);
  int Apply(int direction) override;
  void SelectRange() override { SelectFirstToSecond(); }

 private:
  UndoFormatData data_;
};

class CVedUndoTableLayout : public CVedUndoRecord {
 public:
  CVedUndoTableLayout(CVedUndoTarget* engine, const CaretPoint* first,
                      const TableAttributeRecord& attributes, const CaretPoint* after);
  int Apply(int direction) override;
  void SelectRange() override {}

  const TableAttributeRecord& attributes() const { return attributes_; }

 private:
  static std::string ChangeWords(const TableAttributeWords& saved,
                                 const TableAttributeWords& current);

  TableAttributeRecord attributes_;
};

class CVedUndoColumnWidth : public CVedUndoRecord {
 public:
  CVedUndoColumnWidth(CVedUndoTarget* engine, const CaretPoint* first, int32_t width,
                      const CaretPoint* after);
  int Apply(int direction) override;
  void SelectRange() override {}

  int32_t width() const { return width_; }

 private:
  int32_t width_;
};

// One list of records, newest at the head.
class CVedUndoList {
 public:
  void Bind(CVedUndoTarget* engine, int32_t direction);

  // Builds the record of a kind (null for a kind without one). `data`
  // carries what the kind keeps besides its places: the format record
  // (101-105), the table attributes (200) or the column width (201).
  std::unique_ptr<CVedUndoRecord> CreateRecord(int32_t kind, const CaretPoint* first,
                                               const CaretPoint* second, const CaretPoint* after,
                                               EditDataHolder* fragment, const EditOpValue& data,
                                               const ParagraphLayoutRecord* paragraph) const;
  // Into the open group when there is one, else at the head; then the
  // oldest records beyond the limit are dropped.
  void Add(std::unique_ptr<CVedUndoRecord> record);
  void BeginGroup();
  void EndGroup();
  // One undo or redo: 0 when the list is empty, else 1.
  int Step(int flag);
  // The record being replayed (for a group, its sub-record), or null.
  CVedUndoRecord* GetCurrent() const;
  void Clear();

  bool IsEmpty() const { return records_.empty(); }
  size_t Count() const { return records_.size(); }
  int32_t direction() const { return direction_; }
  // Newest first.
  const std::list<std::unique_ptr<CVedUndoRecord>>& records() const { return records_; }
  const CVedUndoGroup* openGroup() const { return openGroup_.get(); }

 private:
  void TrimToLimit();

  std::list<std::unique_ptr<CVedUndoRecord>> records_;
  int32_t direction_ = 0;
  CVedUndoTarget* engine_ = nullptr;
  std::unique_ptr<CVedUndoGroup> openGroup_;
  // Taken off the list while it replays, so that nothing its commands do
  // to the list can destroy it under its own feet.
  std::unique_ptr<CVedUndoRecord> current_;
};

class CVedUndoHistory {
 public:
  static constexpr int32_t kIdle = 0;
  static constexpr int32_t kReplayingUndo = 1;
  static constexpr int32_t kReplayingRedo = 2;

  // The engine the records send their commands to.
  void Bind(CVedUndoTarget* engine);
  void Clear();

  // Records one operation: direction > 0 into the undo list (emptying the
  // redo list unless a replay runs), < 0 into the redo list, 0 nowhere.
  // `fragment` gives up its bytes to an edit record; `data` as for
  // CVedUndoList::CreateRecord; `paragraph` is an edit's paragraph layout.
  void AddStep(int direction, int32_t kind, const CaretPoint* first, const CaretPoint* second,
               const CaretPoint* after, EditDataHolder* fragment, const EditOpValue& data = {},
               const ParagraphLayoutRecord* paragraph = nullptr);
  // Groups the steps of one command: > 0 on the undo list, < 0 on the redo
  // list, 0 nowhere.
  void BeginGroup(int direction);
  void EndGroup(int direction);

  // With flag 0 the record is replayed without recording its inverse.
  int Undo(int flag);
  int Redo();

  bool CanUndo() const { return !undo_.IsEmpty(); }
  bool CanRedo() const { return !redo_.IsEmpty(); }
  int32_t ReplayState() const { return replayState_; }
  const CVedUndoList& undoList() const { return undo_; }
  const CVedUndoList& redoList() const { return redo_; }

 private:
  CVedUndoList* ListFor(int direction);
  // A deletion recorded while a format change is being replayed restores
  // that format instead: the kind and data it is recorded with.
  int32_t RedirectToFormat(int32_t kind, EditOpValue& data) const;

  CVedUndoList undo_;
  CVedUndoList redo_;
  int32_t replayState_ = kIdle;
};
