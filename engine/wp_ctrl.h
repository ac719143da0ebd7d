// The editing engine: a plain object with no window of its own, created,
// started and stopped by the view layer's document and driven only by
// numbered commands (engine/wp_commands.h). Seven dispatchers split the
// commands by thousands. Behind them the engine owns, from Start to Stop,
// the document root, the page table and the page-number renderer; it
// keeps the page style in force and the caret's display and location
// records, and tells one window of its changes by notification messages.
//
// Every dispatcher holds the engine's recursive command lock for the whole
// command, so a worker thread's query never sees a command half done.
// Notifications are sent synchronously and the speech waits dispatch
// messages, so a window's handler can call back in while a command runs;
// the running flag and the painting guard let the view refuse such
// re-entry.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "engine/caret_point.h"
#include "engine/doc_root.h"
#include "engine/doc_style.h"
#include "engine/notifier.h"
#include "engine/page_numbers.h"
#include "engine/page_table.h"
#include "engine/paragraph_layout.h"
#include "engine/undo_history.h"
#include "engine/wp_commands.h"
#include "model/doc_object.h"
#include "model/position.h"
#include "platform/archive.h"
#include "platform/gdi.h"
#include "platform/object.h"
#include "platform/windef.h"

// The engine's own move codes, besides the texts' (model/text_navigator.h).
inline constexpr int kMoveNextPage = 257;
inline constexpr int kMovePrevPage = 258;
inline constexpr int kMoveJumpForward = 273;  // to the next multiple of the page-jump step
inline constexpr int kMoveJumpBack = 274;
inline constexpr int kMoveColumnStopLeft = 275;  // the previous 20-column stop
inline constexpr int kMoveColumnStopRight = 276;
// kMoveToPoint (document root): the value is a CaretPoint.

// Flags of the load command.
inline constexpr int kLoadHeader = 0x1;
inline constexpr int kLoadInsert = 0x10000;
inline constexpr int kLoadUndo = 0x20000;
inline constexpr int kLoadRedo = 0x40000;
inline constexpr int kLoadRestoreCaret = static_cast<int>(0x80000000u);

// The notification bits a load or transfer keeps quiet.
inline constexpr uint32_t kCaretAndContentBits = 0x1 | 0x2;

// Result codes of the whole-document commands.
enum WpCtrlResult : int {
  kWpcOk = 0,
  kWpcRefused = 1,
  kWpcStreamFailed = 2,  // the content could not be read or written
  kWpcWrongDirection = 3,
  kWpcNoFormat = 4,
  kWpcFormatRefused = 9,
  kWpcBadSignature = 11,
  kWpcBadVersion = 12,
  kWpcInsertNotAllowed = 13,
};

// A place as the user counts it: page, line and column, all 1-based.
struct PageLineColumn {
  int32_t page = 0;
  int32_t line = 0;
  int32_t column = 0;
  bool operator==(const PageLineColumn&) const = default;
};

struct LocationRecord {
  PageLineColumn caret;
  PageLineColumn anchor;
  bool operator==(const LocationRecord&) const = default;
};

// The colours command's record: the document root's display settings,
// then whether page numbers are hidden on screen.
struct ColourRecord {
  DisplaySettings display;
  int32_t screenSuppression = 0;
};

// The display options command's record: the document objects' option
// bytes (byte 3 is set to 1 whatever the record holds) and the step of
// the page-jump moves.
struct DisplayOptionsRecord {
  uint8_t options[5] = {};
  uint16_t pageJumpStep = 5;
};

class CVedWpCtrl : public platform::CObject, public CVedUndoTarget {
 public:
  // Nothing is created until Start.
  CVedWpCtrl();
  ~CVedWpCtrl() override;
  CVedWpCtrl(const CVedWpCtrl&) = delete;
  CVedWpCtrl& operator=(const CVedWpCtrl&) = delete;

  // 1 started (also when already started), 0 when the document root, the
  // page table or the page-number renderer could not be made or started.
  virtual int Start();
  // 0 when the document root refused to clear, else 1; always tells the
  // window the engine stopped.
  virtual int Stop();

  // ---- The seven dispatchers; an unknown code does nothing and answers 0.
  // The reference DC is answered by 1002, hence a pointer-sized result.
  intptr_t StyleCommand(int code, void* pointer, DocStyle* style);
  int DocumentCommand(int code, int flags, platform::CArchive* archive) override;
  // The second argument carries a pointer for some codes (a hit test's
  // point), hence pointer-sized.
  int EditCommand(int code, intptr_t arg, intptr_t value) override;
  int DisplayCommand(int code, intptr_t value, void* record);
  int FeedbackCommand(int code, int arg, void* record) override;
  int NotifyCommand(int code, intptr_t arg) override;
  intptr_t TableCommand(int code, int arg, intptr_t value) override;

  // Sets the running flag for the editing commands of `group` (1 text and
  // format edits, 2 table edits) and answers what it was, which
  // EndEditRunning gives back when the command ends.
  int MarkEditRunning(int group, int code);
  void EndEditRunning(int previous);
  // Mode 1 makes the engine's own DC; 2 uses `dc` (not owned), or makes
  // one when none is given; 0 deletes an owned DC and forgets it.
  void SetReferenceDC(int mode, platform::HDC dc);
  // Sends one of the engine's messages through its mask and redraw gate.
  platform::LRESULT Notify(platform::UINT message, platform::WPARAM wParam,
                           platform::LPARAM lParam);

  // ---- After every edit or caret move (wp_ctrl_after_edit.cpp)
  // Re-paginates from the change, refreshes the caret records, records the
  // undo step, undoes an edit that does not fit the page, keeps the
  // snapshot and notifies the window.
  void AfterEdit(ChangeRecord* change, int moveCode, int direction, int notifyContent,
                 int notifyCaret, int checkOversize);
  void UpdateCaretLocation(CVedTextRange* previous);
  // Non-zero when the edit made a table line taller than the text height.
  int RejectOversizedEdit(const ChangeRecord& change);
  void SaveEditSnapshot();

  // ---- Caret commands (wp_ctrl_moves.cpp)
  // 3001 (extend 0, value a repeat count) and 3002 (extend 1, value the
  // selection mode).
  void MoveCaret(int extend, int code, intptr_t value);
  // 3003 and 3004: to a page, line and column, clamped to the document.
  void GoTo(int mode, const PageLineColumn* location);
  void MoveByPage(int mode, int code);
  // Answers whether the caret moved.
  int GoToLocation(int mode, const PageLineColumn& location, int code);
  void MoveByColumnBlock(int mode, int code);
  void MoveToPoint(int extend, int code, const CaretPoint* point);
  // Page-aligned extension: the first end goes to its page's start, the
  // moving end to the end of its page.
  static int MoveProgressCallback(void* context, CVedTextPos* first, CVedTextPos* movingEnd);
  void AnnounceMove(int code);

  // ---- The stream header (wp_ctrl_stream.cpp)
  int WriteStreamHeader(platform::CArchive& archive);
  // Reads into `style` (left alone when inserting) and `location`; the
  // caller applies the style only once the whole load succeeded.
  int ReadStreamHeader(int flags, platform::CArchive& archive, PageLineColumn& location,
                       DocStyle& style);
  static int IsReadableVersion(const platform::Signature& version);
  static int ParseVersion(const platform::Signature& version, int32_t out[4]);
  static const platform::Signature& ProgramVersion();

  // ---- Undo (wp_ctrl_undo.cpp)
  // Turns what the document root logged during the command into one undo
  // step; direction 0 records nothing and leaves the log alone.
  // Answers whether a step went into a list.
  bool AddUndoStep(int direction);
  // 3212 and 3213; an undo with flag 0 records no redo step.
  void Undo(int flag);
  void Redo();
  void ClearUndoLists();
  const CVedUndoHistory& UndoHistory() const { return undo_; }

  int IsStarted() const { return started_; }
  int IsEditRunning() const { return editRunning_; }
  CDocBunsObj* DocumentRoot() const { return root_.get(); }
  CVedPageTable* PageTable() const { return pageTable_.get(); }
  const CaretDisplayRecord& CaretDisplay() const { return caretDisplay_; }
  const LocationRecord& Location() const { return location_; }
  platform::HDC ReferenceDC() const;

 private:
  // ---- The 3000s (wp_ctrl_edit.cpp)
  int HandleEditCommand(int code, intptr_t arg, intptr_t value);
  int HandleCaretCommand(int code, intptr_t arg, intptr_t value);
  int HandleQueryCommand(int code, intptr_t arg, intptr_t value);
  int Find(int code, int options, const char* text);
  int GetCaretRect(int modes, CaretPoint* request);
  int HitTest(const CaretPoint* point, ObjectDescription* out);

  // ---- Editing and text getters (wp_ctrl_editing.cpp)
  int HandleTextEdit(int code, int direction, intptr_t value);
  void InsertFormatted(const CDocBunsObj::FormattedText* record);
  int DeleteUnit(int direction, int unit);
  // Copies a unit's text into the caller's buffer of `size` bytes.
  int FetchText(int code, intptr_t size, char* buffer);

  // ---- Moving and copying the marked range (wp_ctrl_transfer.cpp)
  // 0 done, 1 the content could not be written or inserted, -1 the
  // source could not be deleted; cue 2 when there is nothing to transfer.
  int Transfer(int direction, int copy);
  int TransferSelection(int direction, int copy, platform::CMemFile& content);
  int InsertTransferred(int direction, int copy, platform::CMemFile& content);
  void ReplayTransfer(int direction, TransferReplayRecord* record);
  // The undo steps of a transfer's halves: 1 the source was deleted, 2
  // moved text inserted, 4 copied text inserted, 3 the insertion failed.
  void AddTransferUndoStep(int direction, int kind, const ParaFormat* paragraph);
  CaretPoint HasPageOrEmpty(const CaretPoint& point, const ObjectDescription& description);

  // ---- Formats, display and feedback (wp_ctrl_formats.cpp,
  // wp_ctrl_display.cpp)
  int HandleFormatCommand(int code, intptr_t arg, intptr_t value);
  ParaFormat ToParaFormat(const ParagraphLayoutRecord& record) const;
  ParagraphLayoutRecord ToLayoutRecord(const ParaFormat& format) const;
  void SetColours(const ColourRecord& record);
  // Draws the request's region of its page, page number included.
  void PaintPage(platform::HDC dc, const CaretPoint* request, int target);
  int GetCaretRects(int32_t page, const platform::RECT** out);

  // ---- The 7000s (wp_ctrl_tables.cpp)
  intptr_t HandleTableCommand(int code, int direction, intptr_t value);
  // The editing pattern: a change runs the after-edit step with the
  // command's undo direction.
  void FinishEdit(ChangeRecord& change, int changed, int direction);

  // ---- Page style (wp_ctrl_style.cpp)
  // Hands the applied style to the drawing origin, the page table and the
  // page-number renderer.
  void DistributeStyle();
  int ApplyDocStyle(platform::CArchive* archive, const DocStyle& style);
  int CheckDocStyle(const DocStyle& style);
  PageFormat BuildFormat(const DocStyle& style) const;
  // Lays out every page afresh and marks them all for repaint.
  void RepaginateAll();

  // ---- Whole document (wp_ctrl_document.cpp)
  int NewDocument();
  int ClearDocument();
  // Refreshes the caret records and tells the window that content and
  // caret changed.
  void NotifyWholeDocument();
  int RunStreamCommand(int code, int flags, platform::CArchive& archive);
  int LoadDocument(int flags, platform::CArchive& archive);
  // Reads the header and content of a load; the caller keeps what it
  // changes from being half done. `quiet` ends before the window hears of
  // the new content.
  int ReadDocument(int flags, platform::CArchive& archive, bool inserting,
                   ScopedQuietNotifier& quiet);
  // The document as it stood before a whole-document load, so that a load
  // failing part-way leaves it as it was instead of half replaced. Its
  // children are not copied: the load's first clearing sets them aside.
  struct DocumentBackup {
    CKeptChildren content;
    DocStyle style;
    PageLineColumn caret;
    int32_t modified = 0;
  };
  void BackUpDocument(DocumentBackup& backup);
  void RestoreDocument(DocumentBackup& backup);
  int SaveDocument(int flags, platform::CArchive& archive);
  int InsertContent(int flags, platform::CArchive& archive, int withHeader);
  int WriteContent(int flags, platform::CArchive& archive, int withHeader);
  // The undo direction the flags of an insertion ask for.
  static int ContentDirection(int flags);

  // ---- After every edit or caret move
  platform::POINT TextAreaOrigin() const;
  // A position's line box on its page, in page twips.
  CaretPoint PointOf(const CVedTextPos& position);
  PageLineColumn LocationOf(const CVedTextPos& position, LineColumnCount count = kColumnsByPitch);

  // ---- Life
  int started_ = 0;
  platform::UniqueDC ownReferenceDC_;
  platform::HDC givenReferenceDC_ = nullptr;
  int documentPresent_ = 0;
  int pendingStyleSet_ = 0;
  int painting_ = 0;
  int editRunning_ = 0;
  std::unique_ptr<CDocBunsObj> root_;
  std::unique_ptr<CVedPageTable> pageTable_;
  std::unique_ptr<CVedPageNumber> pageNumber_;
  DocStyle pendingStyle_;
  DocStyle appliedStyle_;
  // The version of the last stream read.
  platform::Signature fileVersion_ = ProgramVersion();

  // ---- Caret records
  LocationRecord location_;
  LocationRecord selectionLocation_;
  CVedTextRange selection_;
  CaretDisplayRecord caretDisplay_;
  std::array<ObjectDescription, 2> descriptions_{};
  int32_t caretLevelType_ = 0;
  std::array<platform::RECT, 3> caretRects_{};
  int32_t selectionMode_ = 1;
  PageNumberDevice pageNumberDevice_;
  uint16_t pageJumpStep_ = 5;

  // ---- Undo
  static constexpr int kReplayIdle = CVedUndoHistory::kIdle;
  static constexpr int kReplayingUndo = CVedUndoHistory::kReplayingUndo;
  static constexpr int kReplayingRedo = CVedUndoHistory::kReplayingRedo;
  // Marks in an undo place's bottom edge, which no real place has: a place
  // in a cell's text that the page shows as another part of the table, and
  // one whose character juts out of a narrow cell (the replay finds the
  // character before it and steps on by one).
  static constexpr int32_t kCellBlankMark = -9901;
  static constexpr int32_t kCellStepOnMark = -9902;
  // A place for an undo record, marked when it lies in a cell's text but
  // the page shows another part of the table there.
  CaretPoint MarkedPoint(const CaretPoint& point, const ObjectDescription& description);
  CaretPoint MarkedPointOf(const CVedTextPos& position);
  // Whether a place, moved to as a replay moves, finds the position.
  bool PointFinds(const CaretPoint& point, const CVedTextPos& position);
  CVedUndoHistory undo_;
  int replayState_ = kReplayIdle;
  // The state before the next edit, shown by the undo step it makes.
  struct EditSnapshot {
    CaretPoint caret;
    ObjectDescription caretDescription{};
    CaretPoint later;
    ObjectDescription laterDescription{};
    CaretPoint earlier;
    ObjectDescription earlierDescription{};
  };
  EditSnapshot snapshot_;

  // ---- Notifications
  CVedNotifier notifier_ = MakeEngineNotifier();

  // A worker thread's query may come while the window thread is inside a
  // command: every dispatcher holds this for its call. It is recursive because a notification
  // handler on the window thread may call back in.
  std::recursive_mutex commandLock_;
};
