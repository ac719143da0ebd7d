// The document root: the one top container of a document. Besides the
// children (text objects, tables, grid areas) it owns what belongs to the
// document as a whole: the renderer every child draws through, the
// feedback object every edit speaks through, the caret, the selection and
// keyboard range marking, the read-only and modified flags, colours,
// speech options, the notification window, and the undo recording of the
// command in progress.
//
// One editing command runs, in order: the before-edit snapshot, an
// edit-operation group opened, the state recorded, the container's edit,
// the step logged, caret/selection/highlight brought up to date with their
// notifications, the spoken echo, the group closed. The engine then reads
// the log and turns it into one undo step.
//
// The operations are spread over several sources by role:
//   doc_root.cpp            structure and life
//   doc_root_recording.cpp  undo recording and after-edit processing
//   doc_root_caret.cpp      caret, selection and range marking
//   doc_root_speech.cpp     spoken edit feedback
//   doc_root_input.cpp      text input and deletion
//   doc_root_stream.cpp     the document-root stream
//   doc_root_unit_text.cpp  the text of a unit around the caret
//   doc_root_transfer.cpp   cut, copy and paste
//   doc_root_formats.cpp    format commands and setters
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/change_record.h"
#include "engine/edit_op_log.h"
#include "engine/notifier.h"
#include "model/container.h"
#include "model/position.h"
#include "model/renderer.h"
#include "model/text_navigator.h"
#include "platform/archive.h"
#include "platform/windef.h"
#include "speech/edit_feedback.h"

// The stream magic of the document root.
inline constexpr size_t kDocRootMagicSize = 16;

// The move code of a whole-unit selection (select-all, a found match); the
// other move codes are the texts' own (model/text_navigator.h).
inline constexpr int kMoveWholeUnit = 2305;
// The move code of a caret put at a point (a click, a drag, a column stop).
inline constexpr int kMoveToPoint = 769;
// How GetLineColumn counts a column: in character pitches of the page
// format from the line's left edge (what the views show), or as the
// objects count it themselves (what a go-to reads back).
enum LineColumnCount : int {
  kColumnsByPitch = 0,
  kColumnsAsObjectsCount = 1,
};
// Table moves from a position in a table: the start and end of its row,
// the top and bottom of its column, and the start and end of its cell.
inline constexpr int kMoveTableRowStart = 1281;
inline constexpr int kMoveTableRowEnd = 1282;
inline constexpr int kMoveTableColumnTop = 1297;
inline constexpr int kMoveTableColumnBottom = 1298;
inline constexpr int kMoveTableCellStart = 1313;
inline constexpr int kMoveTableCellEnd = 1314;
// The left and right end of the line, margins included (in a table cell's
// text: of the cell's line).
inline constexpr int kMoveLeftEnd = 21;
inline constexpr int kMoveRightEnd = 22;
// The next and the previous table cell, or line outside a table.
inline constexpr int kMoveNextCellOrLine = 1026;
inline constexpr int kMovePrevCellOrLine = 1027;

// How the document root plays a cue: interrupting what sounds, and at
// once (the usual) or to its end.
inline constexpr int kCueInterrupt = 1;
inline constexpr int kCueAsync = 2;
inline constexpr int kCueSync = 1;

// AfterChange::changeFlags: the content was edited, the
// document's height changed, the edit names no end to repaint to.
inline constexpr int kChangeEdited = 0x1;
inline constexpr int kChangeHeightChanged = 0x2;
inline constexpr int kChangeNoEnd = 0x8;

// The flags for an edit whose result ends at `end`.
inline int ChangeFlagsOf(const EditResult& result, const CVedTextPos& end) {
  return kChangeEdited | (result.heightDelta != 0 ? kChangeHeightChanged : 0) |
         (end.IsEmpty() ? kChangeNoEnd : 0);
}

// What UpdateAfterChange is told of the edit or move just made.
struct AfterChange {
  // The content was edited (a result that says nothing changed outweighs it).
  bool edited = false;
  // The caret's rectangle is recomputed when the caret moved or the text changed.
  bool refreshCaret = true;
  // The move that was made, passed on with the caret-moved message.
  int moveCode = 0;
  // Where the caret now is; null for where the engine has it.
  const CVedTextPos* caret = nullptr;
  const EditResult* result = nullptr;
  // Filled for the caller when the content changed.
  ChangeRecord* change = nullptr;
  // kChange* flags for the change record.
  int changeFlags = 0;
  // The move extends the selection instead of collapsing it.
  bool extend = false;
};

// Called during selection-extending moves with the ordered selection ends,
// which it may move (the engine aligns them to pages); a nonzero answer
// means it did.
using SelectionMoveCallback = int (*)(void* context, CVedTextPos* earlier, CVedTextPos* later);

// What the root keeps of caret and selection at the start of every move
// and edit, so that after-edit processing can tell what changed.
struct CaretSnapshot {
  CVedTextPos caret;
  CVedTextPos anchor;
  CVedTextPos caretEnd;
  CVedTextPos anchorEnd;
  int32_t order = 0;
  int32_t unit = 0;
  int32_t tableUnit = 0;
};

// The selection as last shown: the ends it was computed from and the
// highlight rectangles (first partial line, middle block, last partial
// line, and their union).
struct SelectionDisplayState {
  CVedTextRange shown;
  int32_t verticalOffset = 0;
  std::array<platform::RECT, 3> rects{};
  platform::RECT whole{};
  int32_t cachedHeight = -1;  // -1: not yet computed
};

class CDocBunsObj : public CDocObjContainer {
 public:
  CDocBunsObj();
  ~CDocBunsObj() override;
  CDocBunsObj(const CDocBunsObj&) = delete;
  CDocBunsObj& operator=(const CDocBunsObj&) = delete;

  // ---- Structure and life (doc_root.cpp)
  // Binds the container to the embedded renderer and feedback object; the
  // engine's start gives up when this answers 0.
  virtual int StartUp();
  // The renderer first, then the container; on success the caret is the
  // container's cursor, the default character format is rebuilt and the
  // document is unmodified.
  int SetPageFormat(const PageFormat* format) override;
  // An empty document answers 1 at once; otherwise the content is reset
  // with the caret at the new cursor.
  int Reset() override;
  // Puts back the children a failed load set aside (see
  // KeepChildrenAtNextClear) in place of what it read, with the caret at
  // their cursor; 0 when none were set aside.
  int TakeBackContent(CKeptChildren& kept);
  // The default character format of the document (command 3501); null
  // builds it from the current page format.
  int SetCharFormat(const CharFormat* format) override;
  int SetDefaultCharFormat(const CharFormat* format) { return SetCharFormat(format); }
  // The document's page format as above, then the renderer's default font.
  int SetPageFormat(const PageFormat& format);
  // Applies the page format and, with an archive, loads the content; the
  // window learns of it by the content-loaded message (wParam 1 success).
  int OpenFromArchive(platform::CArchive* archive, const PageFormat* format);

  CDocRenderer& Renderer() { return renderer_; }
  CEditFeedback& Feedback() { return feedback_; }
  const uint8_t* Magic() const { return magic_; }

  // ---- Undo recording and after-edit processing (doc_root_recording.cpp)
  // Edit types: what an edit hands to SaveBeforeEdit and LogAfterEdit,
  // which turn them into the undo kinds of the log.
  static constexpr int kEditTyped = 1;
  static constexpr int kEditConverted = 2;  // IME text
  static constexpr int kEditDelete = 3;
  static constexpr int kEditQuietDelete = 4;
  static constexpr int kEditMoveSource = 5;
  static constexpr int kEditMovedIn = 6;
  static constexpr int kEditFirstFormat = 7;  // 7-11: the format commands
  static constexpr int kEditLastFormat = 11;
  static constexpr int kEditCreateTable = 51;
  static constexpr int kEditInsertRow = 52;
  static constexpr int kEditInsertColumn = 53;
  static constexpr int kEditDeleteRow = 54;
  static constexpr int kEditDeleteColumn = 55;
  static constexpr int kEditTableAttributes = 56;
  static constexpr int kEditColumnWidth = 57;
  static constexpr int kEditDeleteTable = 58;
  // The range a deletion saves without a selection (SaveBeforeEdit's mode):
  // the selection's ends (also when empty), the character before the caret,
  // or else the character at the caret.
  static constexpr int kSaveRangeSelection = 1;
  static constexpr int kSaveRangeCharBefore = 2;

  CEditOpLog& GetEditOpLog() { return editLog_; }
  void SetUndoReplay(int32_t flag);
  int32_t IsReplaying() const { return replaying_; }
  void BeginUndoRecording(int enable);
  int EndUndoRecording(int enable);
  void CancelUndoRecording(int enable);
  // The before-edit snapshot of caret and selection.
  void RememberCaretState();
  void SaveBeforeEdit(int enable, int editType, int mode);
  void LogAfterEdit(int enable, int editType, const EditResult* result,
                    EditOpValue formatData = {});
  int StoreRangeForUndo(const CVedTextPos* start, const CVedTextPos* end);
  int ApplyEditWithUndo(int enable, EditResult* out, int keepInObject, int editType);
  // Brings caret, selection, highlight and notifications up to date after
  // an edit or a move; answers the reply to the caret-moved message, or 0
  // when none was sent.
  platform::LRESULT UpdateAfterChange(const AfterChange& what);
  void SetSelectionMode(int32_t mode);
  void ResetSelection(int start);
  void SetSelectionRange(int keep, const CVedTextPos* start, const CVedTextPos* end);
  void SaveSelectionAnchors();
  int RestoreSelectionAnchors(int saved, int apply);
  static void BuildDefaultCharFormat(const PageFormat& format, CharFormat& out);
  platform::HWND SetNotifyWindow(platform::HWND window);
  uint32_t SetNotifyMask(uint32_t mask);
  SelectionMoveCallback SetMoveCallback(SelectionMoveCallback callback, void* context);
  // Sends one of the root's messages through its mask and redraw gate.
  platform::LRESULT Notify(platform::UINT message, platform::WPARAM wParam,
                           platform::LPARAM lParam);
  // `flags` are AfterChange::changeFlags: 0x1 edited (the last line is repainted
  // to its end), 0x2 the height changed whatever the result says.
  void FillChangeRecord(const EditResult& result, ChangeRecord& change, int flags = 0);
  int RunMoveCallback(CVedTextPos* earlier, CVedTextPos* later);

  // The same place with the free cursor's margin column dropped: a place
  // in a line's margin stands for the line's end.
  static CVedTextPos InTextZone(const CVedTextPos& pos);

  // Position predicates; a null position means the caret.
  bool IsTextPosition(const CVedTextPos* pos = nullptr);
  // At a text's cell of the given sub-kind (kSubKindText or kSubKindEndOfText),
  // in body text or in a table cell's text.
  bool IsAtLineMark(int32_t subKind, const CVedTextPos* pos = nullptr);
  bool IsLineStartKind(const CVedTextPos* pos = nullptr);
  int ClassifyLinePosition(const CVedTextPos* pos = nullptr);
  bool IsLineEndMark(const CVedTextPos* pos = nullptr);
  bool RefusesRead(int mode, const CVedTextPos* pos = nullptr);
  bool IsTallTableLine(const CVedTextPos* pos = nullptr);
  bool IsAtUnitStart(const CVedTextPos* pos = nullptr);
  bool IsAtEndOfCellText(const CVedTextPos* pos, int flag);
  bool CanInsertAtCaret();
  int CheckReadOnly();
  static bool IsKeyWaiting();

  // ---- Caret, selection and range marking (doc_root_caret.cpp)
  using CDocObjContainer::GetLineColumn;
  using CDocObjContainer::PositionFromPoint;
  int Move(int mode, int code);
  int IsAtBoundary(int kind, const CVedTextPos* pos);
  int MoveToPoint(int mode, const CVedTextPos* base, int32_t x, int32_t y);
  int GoToLineColumn(int mode, const CVedTextPos* base, const int32_t lineColumn[2], int code);
  int ClearSelection(int start);
  void GetSelection(CVedTextRange& range);
  void SelectRange(const CVedTextPos* first, const CVedTextPos* second, int whole);
  void GetCaretAndAnchor(CVedTextRange& range) const;
  void GetSelectionEnds(CVedTextRange& range) const;
  int BeginRangeMarking();
  void EndRangeMarking(int keep);
  int IsRangeMarking() const { return rangeMarking_; }
  void SetDisplayOptions(const DocObjOptions& options);
  void SetReadOnly(uint8_t readOnly) { readOnly_ = readOnly; }
  uint8_t GetReadOnly() const { return readOnly_; }
  void SetModified(int32_t modified) { modified_ = modified; }
  int32_t IsModified() const { return modified_; }
  bool HasSelection() const;
  bool HasPlainSelection() const;
  int32_t GetSelectionOrder() const { return selectionOrder_; }
  bool SelectionSpansChildren() const;
  int32_t GetSelectionUnit(int caretSide, int live);
  int DescribeObjectAt(ObjectDescription* out, int which, const CVedTextPos* pos);
  int32_t EnableRedraw(int32_t on);
  platform::RECT* GetPointRect(platform::RECT* out, int mode, const CVedTextPos* base, int32_t x,
                               int32_t y);
  int32_t PositionFromPoint(const CVedTextPos* base, int32_t x, int32_t y, CVedTextPos* out);
  int GetLineColumn(int32_t out[2], int mode, const CVedTextPos* pos, const CVedTextPos* base);
  int32_t GetCaretFlags(const CVedTextPos* pos, int unitWise);
  int32_t GetTopOffset(int which);
  int CancelSelection();
  int Find(int flags, int forward, std::string_view text);
  const CVedTextPos& Caret() const { return caret_; }
  const CVedTextPos& Anchor() const { return anchor_; }
  const platform::RECT& CaretRect() const { return caretRect_; }

  // ---- Spoken edit feedback (doc_root_speech.cpp) and unit text
  // (doc_root_unit_text.cpp)
  // Announces a caret move by its code. `caretFlags` are the caret's flags
  // (GetCaretFlags, unit-wise) and `lineFlags` its line flags (0x1 first
  // line, 0x2 last line), both taken before the move: the flag a move
  // needed to be clear tells that it could not be made. `before` is the
  // moving position before the move.
  void SpeakMove(int code, int32_t caretFlags, int32_t lineFlags, const CVedTextPos* before);
  // A move to another page: the direction word, " page of count", then
  // the character at the caret. The caller knows the pagination.
  void SpeakPageMove(int code, int32_t page, int32_t pageCount);
  // The echo of typed input; `result` is the insertion's edit result.
  void SpeakTypedText(std::string_view text, const EditResult* result);
  // A command's phrase; with a result and the caret in a table, the
  // cell-edge cue follows.
  void SpeakPhrase(const char* text, const EditResult* result);
  // After an insertion from an archive (flag bit 0x100000): the inserted
  // range is read out.
  void SpeakSelectionChange(uint32_t flags, const EditResult* result);
  // After a deletion: direction 1 forward, 2 backward; `text` is what went.
  void SpeakDeletion(int direction, const char* text, const EditResult* result);
  void SpeakRangeCleared();
  // An indent changed: which 1 left indent, 2 right indent, others the
  // paragraph format as a whole; `amount` in twips.
  void SpeakParagraphChange(int which, int32_t amount);
  // A table command's phrase: 1 column width, 2/3 columns/rows inserted,
  // 4/5 columns/rows deleted, -2 table deleted, -1 table created.
  void SpeakTableChange(int operation, const EditResult* result);
  // Appends "cell row, column" when the caret entered another table cell;
  // answers whether it did.
  int GetCellPositionText(std::string& phrase, int code);
  // Appends the description of a blank place of a table line at `pos`
  // (null: the caret); answers whether it did.
  int GetBlankText(std::string& phrase, const CVedTextPos* pos);

  // The text between two positions (both included, in either order) in a
  // serialized format (kFormatBareText or kFormatPlainText); 0 on success.
  int GetTextInRange(int format, const CVedTextPos* from, const CVedTextPos* to, std::string& text);
  // The selection's text, or the character at the caret; with
  // `movingOnly` and a selection, the character at the moving position.
  int GetRangeText(int format, std::string& text, int movingOnly);
  // The selection's text, or the character before the caret; 1 when there
  // is none.
  int GetTextBeforeCaret(int format, std::string& text);
  // The caret's line (`caretLine`, or no selection), else the lines the
  // selection covers; in a table the caret's table line.
  int GetLineText(int format, std::string& text, int caretLine);
  // Variant 1: the short unit up to the caret; 2: from the caret on.
  int GetWordText(int format, std::string& text, int variant);
  int GetSentenceText(int format, std::string& text);
  // One character back or on from `from` (null: the caret) over blank
  // places; `clamp` keeps the result on the line. 1 when `out` is text.
  int PreviousCharPosition(const CVedTextPos* from, CVedTextPos* out, int clamp);
  int NextCharPosition(const CVedTextPos* from, CVedTextPos* out, int clamp);
  // Speaks a unit: 1 selection, 2 line, 3 sentence, 4/5 short unit before
  // or after the caret; answers the length spoken.
  int SpeakUnitText(int unit, int interrupt);
  // Speaks the character at the caret: mode 1 reading, 2 detailed
  // reading, 3 character codes.
  int SpeakCaretChar(int mode, int interrupt);
  // A phrase of the system's own, spoken as such.
  int SpeakString(const char* text, int interrupt);

  // ---- Text input and deletion (doc_root_input.cpp)
  // Each takes the undo direction (1 into the undo list, -1 into the redo
  // list, 0 nothing recorded) and an optional change record for the
  // engine's after-edit step, cleared on entry. The container's own
  // InsertText and DeleteChar stay reachable beside them.
  using CDocObjContainer::DeleteChar;
  using CDocObjContainer::InsertText;
  // Typed text (a page break is a typed form feed); nonzero on success.
  int InsertString(std::string_view text, int undo, ChangeRecord* result);
  // Typed text (ime 0) or an input method's result (ime 1) at the caret,
  // replacing the selection; `out` receives the insertion's edit result.
  // A lone ESC cancels the selection, a lone CR follows the Enter rules.
  int InsertText(std::string_view text, int undo, ChangeRecord* result, int ime, EditResult* out);
  // The record of a formatted insertion: the text, then the character
  // format it takes (font, decoration and design, each applied by its own
  // mask; all masks 0: none), and a paragraph layout (null: none).
  struct FormattedText {
    const char* text = nullptr;
    CharFormat font;
    CharDecoration decoration;
    CharDesign design;
    const ParaFormat* layout = nullptr;
  };
  // Inserts the record's text without undo and gives it the record's
  // formats; nonzero on success.
  int InsertTextRecord(const FormattedText* record, ChangeRecord* result);
  // Replaces the selection by the text in insert mode, silently.
  int ReplaceSelectionText(std::string_view text, int undo, ChangeRecord* result);
  // Delete (direction 1) and BackSpace (2): the selection, or a character.
  int DeleteChar(int direction, int undo, ChangeRecord* result);
  // A forward delete at the caret recorded as its own undo kind.
  int DeleteCharQuiet(int direction, int undo, ChangeRecord* result);
  // Deletes the source of a moved range.
  int DeleteSelectionForMove(int direction, int undo, ChangeRecord* result);
  // Deletes the unit the engine selected: 1 to the line end, 2 the line, 3
  // from the line start to the document end; it is named aloud.
  int DeleteUnit(int unit, int undo, ChangeRecord* result);
  // Inserts a blank line at the caret.
  int InsertLine(int undo, ChangeRecord* result);

  // ---- The document-root stream (doc_root_stream.cpp)
  // Flags of InsertFromArchive and WriteToArchive.
  static constexpr uint32_t kStreamOwnFormat = 0x1;
  static constexpr uint32_t kStreamBareText = 0x2;  // written only
  static constexpr uint32_t kStreamPlainText = 0x100;
  static constexpr uint32_t kStreamAtCaret = 0x10000;  // else the whole document is replaced
  static constexpr uint32_t kStreamUndo = 0x20000;
  static constexpr uint32_t kStreamRedo = 0x40000;
  static constexpr uint32_t kStreamLogAsMove = 0x80000;  // logged as edit type 2
  static constexpr uint32_t kStreamAnnounce = 0x100000;  // the selection change is spoken
  static constexpr uint32_t kStreamSelection = 0x1000000;
  // The range kinds of the stream header: within one text, or across
  // objects.
  static constexpr int32_t kRangeInOneText = 1;
  static constexpr int32_t kRangeAcrossObjects = 2;

  // Reads content into the document, at the caret or replacing it; a
  // WpCtrlResult code. Archive exceptions reach the caller.
  int InsertFromArchive(uint32_t flags, platform::CArchive& archive, EditResult* out,
                        int withHeader);
  // The header (own format) and the content at the cursor; a WpCtrlResult
  // code, 9 when the content could not be read.
  int ReadContent(platform::CArchive& archive, int format, int withHeader, EditResult* out);
  // A whole document with its header, as a load reads it: 1, or 0 when it
  // could not be read (nothing is thrown).
  int ReadContent(platform::CArchive& archive);
  int ReadStreamHeader(platform::CArchive& archive, int32_t* kind, int withHeader);
  // Writes the whole document or the selection; a WpCtrlResult code.
  // Archive exceptions reach the caller.
  int WriteToArchive(uint32_t flags, platform::CArchive& archive, int withHeader);
  int WriteContent(platform::CArchive& archive, int format, const CVedTextPos* start,
                   const CVedTextPos* end, int withHeader);
  int WriteStreamHeader(platform::CArchive& archive, int32_t* kind, const CVedTextPos* start,
                        const CVedTextPos* end, int withHeader);
  // A range as text (format 1 or 0xC001) followed by one zero byte; 0, or
  // nonzero when writing failed (what was written is still handed back).
  int WriteRangeToMemory(const CVedTextPos* start, const CVedTextPos* end, int format,
                         std::vector<uint8_t>* block);

  // ---- Cut, copy and paste (doc_root_transfer.cpp)
  // With a selection: copies it, then deletes it saying so; the deletion's
  // changed flag, 0 without a selection.
  int Cut(int undo, ChangeRecord* change);
  // With a selection: copies it and says so.
  int Copy();
  // Puts the selection on the clipboard in the own format and as text.
  int CopyToClipboard();
  // Replaces the selection by the clipboard's content; the clipboard
  // read's answer. A read that fails leaves the document as it was.
  int Paste(int undo, ChangeRecord* change);
  // Loads the clipboard at the cursor: 1 inserted, 0 nothing usable, -1
  // the read failed.
  int ReadClipboard(EditResult* out);
  // 1 when the clipboard offers the own format or text.
  int CanPaste();

  // ---- Table commands (doc_root_tables.cpp)
  // The table attribute record of commands 7103/7104: the table's layout
  // (placement, rule sizes, one masked line-style change) and five further
  // line-style change blocks, thirty-three 32-bit words in all. The table
  // reads the first block only; the others belong to whoever fills the
  // record.
  static constexpr int kFurtherLineStyleBlocks = 5;
  struct TableAttributes {
    TableLayout layout;
    uint8_t lineStyles[kFurtherLineStyleBlocks][kLineStyleChangeSize] = {};
  };
  // The operations of EditTableLayout.
  static constexpr int kTableColumnWidth = 1;
  static constexpr int kTableInsertColumn = 2;
  static constexpr int kTableInsertRow = 3;
  static constexpr int kTableDeleteColumn = 4;
  static constexpr int kTableDeleteRow = 5;
  // Each editing command answers the container's changed flag (0 when
  // refused or failed) and, when it changed the document, fills `out`
  // (cleared first) for the engine's after-edit step; `direction` is the
  // undo direction and `speak` asks for the spoken confirmation.
  // A table of `rows` x `columns` at the caret of a text child.
  int CreateTable(int direction, int32_t rows, int32_t columns, ChangeRecord* out, int speak);
  // One operation on the caret's table; `value` is the new width in
  // characters for kTableColumnWidth.
  int EditTableLayout(int direction, int operation, ChangeRecord* out, int32_t value, int speak);
  int DeleteTable(int direction, ChangeRecord* out, int speak);
  // The document-wide table line setting: its low byte becomes every
  // table's rule-grid flag, its high byte the second line-setting byte
  // (nonzero: the caret's cell position is spoken).
  void SetTableLineKind(uint16_t value);
  uint16_t GetTableLineKind() const { return tableLineKind_; }
  // The caret's table takes the record's layout.
  int SetTableAttributes(int direction, const TableAttributes* record, ChangeRecord* out);
  // 0 outside a table, else 1 with the record filled.
  int GetTableAttributes(TableAttributes* out);
  // Characters of the caret's column; 0 outside a table.
  int32_t GetColumnWidth();
  int32_t GetTableColumnCount();
  int32_t GetTableRowCount();
  // The caret cell's row and column, 1-based; 0 outside a table.
  int GetCellPosition(uint16_t out[2]);

  // ---- Format commands and setters (doc_root_formats.cpp)
  // The character attribute kinds of the format commands: one of the three
  // records, or all three at once.
  static constexpr int kCharKindAll = 0;
  static constexpr int kCharKindFont = 1;
  static constexpr int kCharKindDecoration = 2;
  static constexpr int kCharKindDesign = 3;
  // The three character attribute records in one, in the order the
  // clear-attributes command hands them over; a kind reads only its part.
  struct CharAttributes {
    CharFormat font;
    CharDecoration decoration;
    CharDesign design;
  };
  // Indent steps: the two left indents together, or the right indent.
  static constexpr int kIndentLeft = 1;
  static constexpr int kIndentRight = 2;

  using CDocObjContainer::GetCharDecoration;
  using CDocObjContainer::GetCharDesign;
  using CDocObjContainer::GetCharFont;
  using CDocObjContainer::GetCharFormat;
  using CDocObjContainer::SetCharDecoration;
  using CDocObjContainer::SetCharDesign;
  using CDocObjContainer::SetCharFont;
  // Hands a font value to the tables of the selection; 1 without one.
  int GetCharFontValue(int32_t value);
  // Each sets one kind over the selection with undo (`undo` the direction)
  // and answers the changed flag; `result` receives what changed. Nothing
  // happens without a selection; a read-only document refuses.
  int SetCharFont(int undo, const CharFormat* record, ChangeRecord* result);
  int SetCharDecoration(int undo, const CharDecoration* record, ChangeRecord* result);
  int SetCharDesign(int undo, const CharDesign* record, ChangeRecord* result);
  int SetCharFormat(int kind, int undo, const CharAttributes* record, ChangeRecord* result);
  // The attributes common to the selection, at the caret without one, or
  // at the moving position with `movingOnly` and a selection.
  int GetCharFont(int movingOnly, CharFormat* record);
  int GetCharDecoration(int movingOnly, CharDecoration* record);
  int GetCharDesign(int movingOnly, CharDesign* record);
  int GetCharFormat(int kind, int movingOnly, CharAttributes* record);
  // The paragraph layout of the caret's or the selection's paragraphs,
  // with undo; an indent change must stay inside one text.
  int SetParagraphLayout(int undo, const ParaFormat* record, ChangeRecord* result);
  // Moves the left indents (kIndentLeft) or the right indent by `step`
  // twips, kept on the character pitch and inside the frame; `speak` tells
  // the deletion that stepped back an indent, which speaks as one.
  int StepIndent(int selector, int undo, int32_t step, ChangeRecord* result, int speak);
  int GetParagraphLayout(int movingOnly, ParaFormat* record);
  void SetColours(const DisplaySettings& record);
  void GetColours(DisplaySettings& out) const { out = colours_; }
  // Where page content is drawn from: the text area's origin on the page.
  void SetDrawOffset(int32_t x, int32_t y);
  // Draws the content from `from` (null: the document start), skipping
  // down to `bandTop` and ending at `bandBottom`; target 1 screen, 2
  // printer, else the device context's technology decides.
  int DrawPage(platform::HDC dc, const CVedTextPos* from, int32_t bandTop, int32_t bandBottom,
               int target);
  // The parts of the selection's highlight inside the band; answers how
  // many went into `out`.
  int GetCaretRects(int32_t bandTop, int32_t bandBottom, std::array<platform::RECT, 3>& out);
  int AttachPrinter(platform::HDC printer);
  void DetachPrinter();
  int32_t IsPrinterAttached() const { return printerAttached_; }
  void SetSpeechOptions(const SpeechOptions& record);
  void GetSpeechOptions(SpeechOptions& out) const { out = speechOptions_; }
  // Speech on (1) or off (0) for everything the document says; answers the
  // previous setting.
  int SetSpeechEnabled(int on);
  // The same for the sound cues.
  int SetSoundEnabled(int on);
  int PlayCue(int cue, int interrupt, int flags);

 private:
  // ---- Structure and life
  CDocRenderer renderer_;
  CEditFeedback feedback_;

  // ---- Caret and selection
  CVedTextPos caret_;
  CVedTextPos anchor_;  // empty: no selection
  CVedTextPos savedCaret_;
  CVedTextPos savedAnchor_;
  int32_t selectionOrder_ = 0;  // -1 caret first, 0 equal, 1 caret last
  CVedTextPos selectionCaretEnd_;
  CVedTextPos selectionAnchorEnd_;
  SelectionDisplayState display_;
  int32_t selectionUnit_ = 0;  // 1 character-wise, 2 line-wise, 4 page-wise
  int32_t tableSelectionUnit_ = 0;
  int32_t selectionStartCode_ = 0;  // kMoveWholeUnit: a whole-unit selection
  CaretSnapshot snapshot_;

  // ---- Document-wide state
  uint8_t readOnly_ = 0;
  DisplaySettings colours_;
  SpeechOptions speechOptions_;
  uint8_t announceTablePosition_ = 1;
  uint8_t produceCellPosition_ = 1;
  platform::RECT caretRect_{};
  int32_t redrawEnabled_ = 1;
  platform::POINT drawOffset_{};
  int32_t rangeMarking_ = 0;
  int32_t modified_ = 0;
  CVedNotifier notifier_ = MakeDocumentNotifier();
  uint8_t magic_[kDocRootMagicSize] = {};
  SelectionMoveCallback selectionCallback_ = nullptr;
  void* selectionCallbackContext_ = nullptr;

  // ---- Undo recording
  CEditOpLog editLog_;
  int32_t recording_ = 0;
  int32_t replaying_ = 0;
  int32_t printerAttached_ = 0;

  // ---- Spoken feedback
  int32_t lastAnnouncedRow_ = -1;
  int32_t lastDeleteDirection_ = 0;  // 0 none, 1 forward, 2 backward
  int32_t speechCounter_ = 0;

  // ---- Private helpers and state of each role, in the order above.
  // (recording)
  struct HighlightRects {
    std::array<platform::RECT, 3> rects{};
    platform::RECT whole{};
  };
  void ClearSelectionState();
  // The caret's box, whose left is the goal column of vertical moves: the
  // middle of the caret's character.
  void RefreshCaretRect(const CVedTextPos& caret);
  // The selection's characters, earlier end first, both ends included: a
  // character-wise selection's later end stands after its last character.
  CVedTextRange SelectedContent();
  int32_t OrderOf(const CVedTextPos& a, const CVedTextPos& b);
  void OrderedSelection(CVedTextPos& earlier, CVedTextPos& later);
  // A move from a position (null: the caret) that moves neither caret nor
  // cursor; false when it could not be made.
  bool ProbeMove(int code, const CVedTextPos* from, CVedTextPos* out);
  void UpdateSelection(const CVedTextPos& caret);
  bool RunSelectionCallback();
  void SnapSelectionEnds();
  void SnapEnd(CVedTextPos& end, bool later, int caretSide);
  void UpdateHighlight();
  void ClearHighlight();
  HighlightRects ComputeHighlightRects(const CVedTextPos& start, const CVedTextPos& end, int flags,
                                       const CVedTextPos* base);
  void SaveRangeBeforeDelete(int mode);
  // Whether a position on a table's rules stands for the edge of the cell
  // another position's text lies in: the table's edits take a range from
  // that rule into the cell for part of that cell's text alone.
  bool RuleBoundsCellOf(const CVedTextPos& onRule, const CVedTextPos& inCell);
  // Whether a position on a table's rules ends a range from another
  // position's cell text inside that cell, as the table's edits take it.
  bool RuleClosesCellOf(const CVedTextPos& onRule, const CVedTextPos& inCell);
  // The last character of the text before a table, when a range from that
  // text ends at the start of the table's first cell and that cell is
  // empty: the range holds nothing of the table.
  bool TextLastBeforeFirstCell(const CVedTextPos& start, const CVedTextPos& end, CVedTextPos* out);
  void SaveColumnWidth();
  void StoreTableRange(int startCode, int endCode, int startCode2, int endCode2);
  void LogDeletion(int32_t kind, const CVedTextPos& at);
  bool KeepsCaretInObject();
  // The start or end of a child, as a path of the root.
  bool ChildEdgeOf(int32_t child, int code, CVedTextPos* out);
  void KeepCaretInOwnChild(EditResult& result);
  void ForgetSelectionAnchors();
  // Finds `anchor` at or after `from` (null: the document start), takes it
  // off its character and answers where it stood; nothing when it is gone.
  std::optional<CVedTextPos> DetachAnchor(CVedAnchor& anchor, const CVedTextPos* from);
  // Content inserted at the cursor stands between the character before
  // the cursor and the one at it; the mark finds both again afterwards,
  // however the insertion reflowed the text. The shape of the cursor's
  // table tells rows or columns that went in from text typed into a cell.
  struct InsertionMark {
    CVedAnchor anchor;  // on the character after the insertion point
    bool set = false;
    CVedTextPos before;
    bool hasBefore = false;
    // The character before the insertion point carries one too: an edit
    // that breaks its line anew (a mark that must not start a line takes
    // it along to the next) leaves the path of `before` stale.
    CVedAnchor beforeAnchor;
    bool beforeSet = false;
    // Found when narrowing: the characters around the mark are still
    // neighbours. Only content read in, which never overwrites, can tell
    // by it that it brought no character.
    bool broughtNothing = false;
    const CDocObject* table = nullptr;  // compared only, never followed
    int32_t rows = 0;
    int32_t columns = 0;
  };
  // `following` names the character after the insertion point where it
  // is not the one at the cursor: text typed over characters goes in
  // before the first character it leaves. `at` names the insertion point
  // where it is not the cursor: an inserted line goes in at the start of
  // the cursor's line.
  void MarkInsertionPoint(InsertionMark& mark, const CVedTextPos* following = nullptr,
                          const CVedTextPos* at = nullptr);
  // Takes the mark's anchors off their characters when nothing is to be
  // narrowed; NarrowToInserted does so itself.
  void ForgetInsertionMark(InsertionMark& mark);
  bool AttachCharAnchor(CVedAnchor& anchor, const CVedTextPos& at);
  static bool InSameText(const CVedTextPos& a, const CVedTextPos& b);
  // One character on (kMoveNextChar) or back, over any margin columns the
  // free cursor would stop at.
  bool StepCharacter(int code, const CVedTextPos& from, CVedTextPos* out);
  // Narrows a result to the inserted characters, both ends included, for
  // the undo record: the result itself names the rest of the paragraph as
  // well, for repainting, and an undo must not take that away. Rows,
  // columns or a table that went in are named from corner to corner.
  void NarrowToInserted(InsertionMark& mark, EditResult& result);
  // Whether an insertion put in rows, columns or a whole table: its two
  // corners lie on the rules of one table, and that table is new or has
  // changed its shape.
  bool InsertedTableStructure(const InsertionMark& mark, const EditResult& result);
  // Widens a recorded insertion that starts a paragraph of a text and runs
  // on past that text's end (a table went in after it) to the paragraph
  // end before it: the text's end closes what went in, and taking it back
  // joins the text with what follows as a paragraph of its own.
  void TakeInParagraphEndBefore(EditResult& result);
  // Ends a recorded insertion that ran from a text into the table after
  // it with the text, when the step back from the cell character that
  // followed it went out of the cell onto the table's rules: the table
  // took nothing in, and its rules hold no character to take back.
  void EndBeforeEmptyTableStart(const EditResult& result, const CVedTextPos& following,
                                CVedTextPos& last);
  // The start of the text of the table cell a position lies in.
  bool CellTextStart(const CVedTextPos& in, CVedTextPos* out);
  // A move inside the text of the table cell a position lies in, the
  // steps down to the cell kept; false outside a cell or where the move
  // goes nowhere.
  bool MoveInCellText(int code, const CVedTextPos& in, CVedTextPos* out);
  // The end of a cell's text, when the caret stands in the free space
  // below it in the cell: typing there fills lines up to the caret at
  // that end.
  bool CellTextEndBelowCaret(const CVedTextPos& caret, CVedTextPos* out);
  // One character on or back without leaving the text. In a cell a step
  // off a line's edge goes out onto the table's rules; the character
  // wanted is the one beside it on the line above or below in the cell.
  bool StepInOwnText(int code, const CVedTextPos& from, CVedTextPos* out);
  ObjectDescription Describe(const CVedTextPos* pos);

  EditDataHolder* undoData_ = nullptr;  // the fragment saved before the edit
  CVedTextPos savedEditCaret_;
  int32_t selectionMode_ = 0;
  int32_t highlightChanged_ = 0;  // -1 forces a new highlight
  int32_t highlightMode_ = 0;
  int32_t highlightUnit_ = 0;
  bool highlightShown_ = false;
  std::array<CVedAnchor, 2> selectionAnchors_;
  std::array<bool, 2> anchorsSet_{};
  CVedTextPos anchorSearch_;
  TableAttributes savedTableAttributes_;  // placement -1: none saved
  int32_t savedColumnWidth_ = 0;
  CVedTextPos savedColumnCaret_;

  // (caret)
  // A move by `code` from `from` (null: the cursor) whose edge outcomes are
  // resolved: a step past the document's edge stays where it was, a left
  // or right step stopped at a line edge goes on to the document's start or
  // end. `setCursor` 0 leaves caret and cursor alone. False: no move.
  bool MoveResolved(int code, int setCursor, const CVedTextPos* from, CVedTextPos* out);
  // The rules that may turn a move into another before it runs; false
  // refuses it.
  bool ApplyPreMoveRules(int& mode, int& code);
  // Whether the caret stands on the last line of its text: of a cell's
  // text when it is in a cell, whose last line ends at the cell's end.
  bool IsCaretOnLastTextLine();
  // The selection a move, a jump or a point move starts from: extending
  // moves start one, others clear it unless range marking keeps it.
  void SelectForMove(int mode);
  // A drag beyond the end of a line that is not the last: the selection
  // starts at, or the point moves to, the line below.
  void AdjustExtendingPoint(const CVedTextPos* base, int32_t& x, int32_t& y);
  // The hit test: a point below the content falls on the last line.
  int32_t HitTest(int setCursor, const CVedTextPos* base, int32_t x, int32_t y, CVedTextPos* out);
  // Caret-move after-edit processing; `keepGoal` keeps the goal column.
  void FinishMove(int code, const CVedTextPos& caret, bool keepGoal);
  const CVedTextPos& EarlierEnd() const;
  const CVedTextPos& LaterEnd() const;

  // (speech and unit text)
  // The description of a place (null: the caret).
  ObjectDescription DescribePlace(const CVedTextPos* pos);
  bool IsCaretInTable();
  // Whether `later` lies on a line below the one of `earlier`.
  bool IsOnLaterLine(const CVedTextPos* earlier, const CVedTextPos* later);
  bool ShouldReadUnit(int code) const;
  bool CueBoundary(int code, const CVedTextPos* before);
  // Builds the move phrase; answers the cue of a move that could not be
  // made (or none).
  int DescribeMove(int code, int32_t caretFlags, int32_t lineFlags, std::string& phrase,
                   int* readMode, bool* lineReading);
  void AppendCellStepWords(int code, int cue, std::string& phrase);
  void SpeakLineForReading(int interrupt);
  int GetCellEdgeKind(const EditResult* result);
  void PlayCellEdgeCue(int kind, int interrupt);
  int ChooseInputCue(const EditResult* result);
  bool WaitBeforeInputCue();
  bool CaretLineBeginsParagraph();
  // Where a unit's text is read from: the caret, or with a character-wise
  // selection extended forward the last selected character.
  CVedTextPos MovingPosition();
  int MoveFrom(int code, const CVedTextPos* from, CVedTextPos* out);
  int32_t lastAnnouncedColumn_ = 0;
  int32_t lastAnnouncedTable_ = -1;  // the table's child index; -1 none
  int32_t lastBlankKind_ = 0;

  // (input)
  // The before-edit snapshot; the spoken-delete memo survives only a
  // delete that continues a series.
  void RememberForEdit(bool continuesDeletes);
  // What a lone CR does at the caret (the Enter rules): insert it, move to
  // the next line's start instead, or insert it at the line start (with
  // the paragraph layout carried along or not).
  int EnterOutcome();
  bool LineAboveHasIndents();
  // A one-byte text that is never input: a lead or invalid byte alone, a
  // form feed where page breaks are not allowed, a control byte.
  bool IsRefusedByte(std::string_view text);
  // Whether the caret or the selection takes the text; `enterOutcome` is
  // the Enter rules' answer, or -1 when they did not run.
  bool TakesInput(std::string_view text, int ime, int enterOutcome);
  // A refused input: waits (bounded) for the reader to finish, then
  // sounds the refusal; answers 0.
  int RefuseInput();
  // No selection, the cursor on a table's right edge.
  bool IsAtTableRightEdge();
  // Whether the selection's earlier end is the first position of its child.
  bool MovingEndAtChildStart();
  // Overwrite mode without a selection: records for undo the characters
  // the text will replace; answers the character after them, which the
  // text leaves, or nothing when none will be replaced.
  std::optional<CVedTextPos> RecordOverwritten(std::string_view text, int undo);
  // The end of the caret's paragraph.
  bool ParagraphEnd(CVedTextPos* out);
  // Inserts into the cursor child once room was made (`cleared` is what
  // making it changed), logs it and runs after-edit processing; answers
  // the result that stands (changed 0: nothing did, the group is rolled
  // back). `plainLine` inserts without the paragraph's layout.
  // `following` is the character after the insertion point when it is
  // not the one at the cursor.
  EditResult InsertCleared(std::string_view text, int undo, int editType, const EditResult& cleared,
                           bool movingEndAtStart, bool plainLine, ChangeRecord* result,
                           const CVedTextPos* following = nullptr);
  // After-edit processing of an edit, with the flags its result asks for.
  void FinishEdit(const EditResult& edit, bool heightChanged, ChangeRecord* result);
  // The delete of each variant (0 normal, 1 quiet, 2 a move's source),
  // and the deletion itself once chosen.
  int DeleteVariant(int variant, int direction, int undo, ChangeRecord* result);
  int DeleteNow(int variant, int direction, int undo, ChangeRecord* result);

  // (stream)
  // The row count of the caret's table; -1 when the caret is not in one.
  int32_t CaretTableRows();
  bool SelectionEndsAtTableEnd();

  // (transfer)
  // Widens the selection to whole units; true when that changed it.
  bool WidenSelectionToUnits();
  // Deletes the selection and speaks the phrase; the changed flag.
  int DeleteSelectionSaying(const char* phrase, int undo, ChangeRecord* change);

  // (tables)
  // Fresh tables start as the table object itself does: rule grid on.
  uint16_t tableLineKind_ = 0x0101;

  // (formats)
  // Applies a kind over the selection; all three count as changed when
  // any of them changed something.
  EditResult ApplyCharAttributes(int kind, const CharAttributes& record);
  bool ValidateParagraphChange(const ParaFormat& record);
  // A paragraph record (selector 0) or an indent step over whole
  // paragraphs; `mode` chooses what is said afterwards.
  int ApplyParagraphChange(int selector, int undo, ChangeRecord* result, const ParaFormat* record,
                           int32_t step, int mode);
  int StepIndents(int selector, int32_t step, const CVedTextPos& start, const CVedTextPos& end,
                  EditResult* result);
  int32_t StepIndentValue(int32_t value, int32_t step, int32_t limit);
  // Where the format queries look: the selection, the caret, or the
  // moving end of the selection.
  CVedTextRange FormatQueryRange(int movingOnly);
};
