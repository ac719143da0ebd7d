// The document object that holds other document objects: an ordered list
// of children (text objects, tables, grid areas), one of them the cursor
// child. It creates its children by type, keeps the height each last
// reported, and answers nearly every operation by handing it to the child
// that the first step of a position path selects, with the rest of the
// path. The document root and the table cell derive from it.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "model/doc_object.h"
#include "model/table_operations.h"
#include "platform/object.h"

class CDocObjContainer;

// One child as the container keeps it. The reserved words are 0 in every
// entry the container makes and are carried through copies and streams.
struct ChildEntry {
  CDocObject* object = nullptr;
  int32_t type = 0;
  int32_t height = 0;  // twips, never below 0
  int32_t reserved[4] = {};
};

class CDocChildList : public platform::CObject {
 public:
  static constexpr int32_t kNoCursor = -1;

  void Bind(CDocObjContainer* owner);
  int32_t GetCount() const { return static_cast<int32_t>(entries_.size()); }
  int32_t GetCursorIndex() const { return cursor_; }
  void SetCursor(int32_t index) { cursor_ = index; }
  CDocObject* GetAt(int32_t index) const;
  int32_t GetTypeAt(int32_t index) const;
  int32_t GetHeightAt(int32_t index) const;
  CDocObject* GetCurrent() const { return GetAt(cursor_); }
  int32_t GetCurrentType() const { return GetTypeAt(cursor_); }
  ChildEntry GetEntryAt(int32_t index) const;
  ChildEntry GetCurrentEntry() const { return GetEntryAt(cursor_); }
  ChildEntry PrevEntry();
  ChildEntry NextEntry();
  void Append(const ChildEntry& entry);
  void InsertAt(int32_t index, const ChildEntry& entry);
  void Insert(const ChildEntry& entry, bool after);
  void RemoveAt(int32_t index);
  void RemoveCurrent() { RemoveAt(cursor_); }
  void SetAt(int32_t index, const ChildEntry& entry);
  void SetCurrent(const ChildEntry& entry) { SetAt(cursor_, entry); }
  void AddHeightAt(int32_t index, int32_t amount);
  void AddHeightToCurrent(int32_t amount);
  void Clear();
  bool IsValid(int32_t index) const { return index >= 0 && index < GetCount(); }
  // Trades entries and cursor with another list; each keeps its owner.
  void Swap(CDocChildList& other);

 private:
  CDocObjContainer* owner_ = nullptr;
  int32_t cursor_ = kNoCursor;
  std::vector<ChildEntry> entries_;
};

// Children a container gave up whole, with their heights and its cursor,
// so that it can take them back as they were; whatever is still held when
// this goes is destroyed.
class CKeptChildren {
 public:
  CKeptChildren() = default;
  ~CKeptChildren();
  CKeptChildren(const CKeptChildren&) = delete;
  CKeptChildren& operator=(const CKeptChildren&) = delete;

  bool IsEmpty() const { return list_.GetCount() == 0; }

 private:
  friend class CDocObjContainer;
  CDocChildList list_;
};

// What RemoveChildAt did.
inline constexpr int kChildRemoved = 1;
inline constexpr int kChildEmptied = 2;
inline constexpr int kChildRefused = -1;

class CDocObjContainer : public CDocObject {
 public:
  CDocObjContainer();
  ~CDocObjContainer() override;

  // Life, formats and options.
  int Initialize(CDocRenderer* renderer, CEditFeedback* feedback) override;
  int Clear() override;
  int SetPageFormat(const PageFormat* format) override;
  int Reset() override;
  int CheckPageFormat(const PageFormat* format) override;
  int ApplyPageFormat(const PageFormat* format) override;
  int GetPageFormat(PageFormat* out) override;
  int SetOptions(const DocObjOptions* options) override;
  DocObjOptions* GetOptions(DocObjOptions* out) override;
  int SetReferenceDC(platform::HDC dc) override;
  int SetCharFormat(const CharFormat* format) override;
  int GetCharFormat(CharFormat* out) override;
  int IsEmpty() override;
  int32_t CountChars() override;
  int32_t CountAux() override;
  int MergeFrom(CDocObject* other, int flag, EditResult* out) override;
  int SplitInto(const CVedTextPos* pos, CDocObject* other, EditResult* out) override;

  // Navigation, geometry and drawing.
  int GetKindAt(const CVedTextPos* pos, ObjectDescription* out) override;
  platform::RECT* GetPositionRect(platform::RECT* out, int mode, const CVedTextPos* pos,
                                  const CVedTextPos* base) override;
  platform::RECT* GetFrameRect(platform::RECT* out, const CVedTextPos* pos) override;
  int GetLineColumn(int32_t* line, int32_t* column, const CVedTextPos* pos,
                    const CVedTextPos* base) override;
  int PositionFromLineColumn(int32_t line, int32_t column, const CVedTextPos* base,
                             CVedTextPos* out) override;
  int32_t CountLines(const CVedTextPos* from, const CVedTextPos* to) override;
  int32_t GetHeight(const CVedTextPos* from, const CVedTextPos* to) override;
  LineMetrics* GetLineMetrics(LineMetrics* out, const CVedTextPos* pos) override;
  LineMetrics* GetPageLineMetrics(LineMetrics* out, const CVedTextPos* pos) override;
  int StepLine(const CVedTextPos* pos, int direction, CVedTextPos* out) override;
  int StepPageLine(const CVedTextPos* pos, int direction, CVedTextPos* out) override;
  // Walks each child's lines in turn from the child `from` names.
  PageLineWalk WalkPageLines(const CVedTextPos* from, CPageLineVisitor& visitor) override;
  int IsFirstLine(const CVedTextPos* pos) override;
  int IsLastLine(const CVedTextPos* pos) override;
  int GetCursor(CVedTextPos* out) override;
  int SetCursor(const CVedTextPos* pos) override;
  int MoveCursor(int command, const MoveParams* params, const CVedTextPos* from,
                 CVedTextPos* out) override;
  int32_t PositionFromPoint(int setCursor, const CVedTextPos* base, int32_t x, int32_t y,
                            CVedTextPos* out) override;
  int FindText(int options, int direction, std::string_view text, CVedTextRange* out) override;
  int Draw(const CVedTextPos* from, int flags, int32_t skipHeight, int flags2, int32_t bandHeight,
           DrawResult* out) override;
  int SetAnchor(int kind, CVedAnchor* anchor, const CVedTextPos* pos) override;
  CVedAnchor* FindAnchor(int kind, const CVedTextPos* from, int next) override;
  int ComparePositions(const CVedTextPos* a, const CVedTextPos* b) override;
  // Where a position (null = the cursor) stands in its child. With the flag
  // the start answers 1 for any position not after it, the end for any
  // position not before it.
  int IsAtChildStart(const CVedTextPos* pos, int flag);
  int IsAtChildEnd(const CVedTextPos* pos, int flag);
  int IsAtLineStart(const CVedTextPos* pos);
  int IsCursorOnFirstLine();
  int IsCursorOnLastLine();
  // A move inside the cursor child; the out position has no child step.
  int MoveInCursorChild(int command, const CVedTextPos* from, CVedTextPos* out);

  // Editing and formats.
  int InsertText(std::string_view text, EditResult* out) override;
  int DeleteChar(int kind, EditResult* out) override;
  int DeleteRange(const CVedTextPos* from, const CVedTextPos* to, EditResult* out) override;
  int AdjustRange(const CVedTextRange* in, CVedTextRange* out) override;
  int ApplyFontValue(int32_t value, const CVedTextPos* from, const CVedTextPos* to) override;
  int SetCharFont(const CharFormat* format, const CVedTextPos* from, const CVedTextPos* to,
                  EditResult* out) override;
  int GetCharFont(CharFormat* out, const CVedTextPos* from, const CVedTextPos* to) override;
  int SetCharDecoration(const CharDecoration* decoration, const CVedTextPos* from,
                        const CVedTextPos* to, EditResult* out) override;
  int GetCharDecoration(CharDecoration* out, const CVedTextPos* from,
                        const CVedTextPos* to) override;
  int SetCharDesign(const CharDesign* design, const CVedTextPos* from, const CVedTextPos* to,
                    EditResult* out) override;
  int GetCharDesign(CharDesign* out, const CVedTextPos* from, const CVedTextPos* to) override;
  int SetParaFormat(const ParaFormat* format, const CVedTextPos* from, const CVedTextPos* to,
                    EditResult* out) override;
  int GetParaFormat(ParaFormat* out, const CVedTextPos* from, const CVedTextPos* to) override;
  int GetCursorFormat(int flag, CharFormat* out) override;

  // ---- Edits over children and the table commands (container_editing.cpp)
  // Each answers the changed flag of the EditResult it fills.
  int InsertBlankLine(EditResult* out);
  // Typing into a grid area: fills the text before it with one carriage
  // return per grid line and, with `fillColumns`, blanks up to the column;
  // the cursor is then at the end of that text. The result is the text
  // child's own (no child step, nothing recorded in the list).
  int FillGrid(bool fillColumns, EditResult* out);
  // Inserts into the cursor child in insert mode without voicing the typed
  // text; the child's own result.
  int InsertSilently(std::string_view text, EditResult* out);
  // Splits the cursor text at its cursor into a new text child after it;
  // the list cursor stays on the first part. The result is the split's
  // own, with the new child's height added. 0 when nothing was split.
  int SplitCursorText(EditResult* out);
  int InsertTable(int32_t rows, int32_t columns, EditResult* out);
  // Kind 1 column width (`value` characters), 2 insert column, 3 insert
  // row, 4 delete column, 5 delete row, at the cursor of a table child.
  int EditTableRowsColumns(int kind, EditResult* out, int32_t value);
  int DeleteTable(EditResult* out);
  int SetColumnWidth(const TableLayout* layout, EditResult* out);
  int HasTallTableLine(const CVedTextPos* from, const CVedTextPos* to, int32_t height);
  int GetTableCellAt(const CVedTextPos* pos, int32_t* row, int32_t* column);
  int GetTableLineOffsetAt(const CVedTextPos* pos, int32_t out[2]);
  // 1 when both lie in one text child, one grid area or one table cell's
  // text.
  int IsRangeInOneText(const CVedTextPos* from, const CVedTextPos* to);
  // ---- end of the edits block

  // Range stream.
  int SerializeRange(platform::CArchive& archive, int tag, int mode, const CVedTextPos* from,
                     const CVedTextPos* to, EditResult* out) override;

  // The child list and the rules that keep it well formed.
  CDocObject* CreateChildObject(int32_t type);
  CDocObject* AddEmptyText(bool atEnd);
  int ClearChildren();
  // The next clearing of the children moves them untouched into `keeper`
  // instead of destroying them, so that content replacing them can be
  // given up again; null cancels that.
  void KeepChildrenAtNextClear(CKeptChildren* keeper) { keeper_ = keeper; }
  // Destroys the present children and takes the kept ones back; 0 when
  // none were kept.
  int TakeBackChildren(CKeptChildren& kept);
  int RemoveChildAt(int32_t index, bool keepLast);
  int RemoveChild(int32_t index, EditResult* out);
  int InsertChildAtCursor(const ChildEntry& entry, CVedTextPos* out);
  int32_t GetRemainingHeight() const;
  void AdjustTrailingGrid(EditResult* result);
  // This level's step of a position (the child index; `defaultIndex` when
  // the position is null or empty) and the rest for the child.
  StrippedPath PopChildIndex(const CVedTextPos* pos, int32_t defaultIndex) const;
  static void PrefixEditResult(EditResult* result, int32_t startChild, int32_t endChild);
  void OrderPositions(CVedTextPos& a, CVedTextPos& b);
  bool IsLastTextChild(int32_t index) const;
  bool HasTrailingGrid() const;

  CDocChildList& Children() { return children_; }
  const CDocChildList& Children() const { return children_; }
  CDocRenderer* Renderer() const { return renderer_; }
  CEditFeedback* Feedback() const { return feedback_; }
  const PageFormat& Format() const { return pageFormat_; }
  const DocObjOptions& Options() const { return options_; }
  void SetPrintMarking(int32_t flag) { printMarking_ = flag; }
  void SetKeepEmptiedStart(int32_t flag) { keepEmptiedStart_ = flag; }

 protected:
  int32_t printMarking_ = 0;
  int32_t keepEmptiedStart_ = 0;

 private:
  // Deletes a child after Reset and Clear; false (child kept) when either
  // refuses.
  bool DestroyChild(CDocObject* child);
  void PlaceGridUnder(int32_t gridIndex);
  int32_t WholeHeight(CDocObject* child);
  bool ChildEdge(const CVedTextPos* pos, int command, bool orBeyond, bool beforeIsBeyond);
  // The cursor child when the cursor stands in running text (of a text
  // child or of a table cell), else null.
  CDocObject* CursorChildWithLines();

  CDocRenderer* renderer_ = nullptr;
  CEditFeedback* feedback_ = nullptr;
  CDocChildList children_;
  CKeptChildren* keeper_ = nullptr;
  PageFormat pageFormat_;
  DocObjOptions options_ = DocObjOptions::ContainerDefaults();
  CharFormat charFormat_;
};
