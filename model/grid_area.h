// The grid area: a rectangle of fixed-pitch character cells that holds no
// text. The cursor may stand on any of its cells, so that a user can move
// freely into the empty room below the text of a table cell. A container
// keeps one after its text child and sizes it to the height that is left.
//
// A position inside the area is two steps, outermost first:
// (kTagFreeCursor, column), (kTagFreeCursor, row). Text objects use the
// same tag for their free-cursor steps, so a path belongs to the area only
// when it has exactly these two steps and names one of its cells.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "model/doc_object.h"
#include "model/page_format.h"
#include "model/position.h"
#include "platform/windef.h"

class CGridAreaObject : public CDocObject {
 public:
  // PositionFromLineColumn's and PositionFromPoint's answer when the base
  // names no cell of the area (or there is no cell to hit at all).
  static constexpr int32_t kNoPosition = -1;

  CGridAreaObject() = default;
  ~CGridAreaObject() override = default;

  int Initialize(CDocRenderer* renderer, CEditFeedback* feedback) override;
  int Clear() override;
  int SetPageFormat(const PageFormat* format) override;
  int Reset() override;
  int CheckPageFormat(const PageFormat* format) override;
  int ApplyPageFormat(const PageFormat* format) override;
  int GetPageFormat(PageFormat* out) override;
  int SetOptions(const DocObjOptions* options) override;
  DocObjOptions* GetOptions(DocObjOptions* out) override;
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
  int IsFirstLine(const CVedTextPos* pos) override;
  int IsLastLine(const CVedTextPos* pos) override;
  int IsEmpty() override;
  int SetReferenceDC(platform::HDC dc) override;
  int32_t CountChars() override;
  int32_t CountAux() override;
  int GetCursor(CVedTextPos* out) override;
  int SetCursor(const CVedTextPos* pos) override;
  int MoveCursor(int command, const MoveParams* params, const CVedTextPos* from,
                 CVedTextPos* out) override;
  int32_t PositionFromPoint(int setCursor, const CVedTextPos* base, int32_t x, int32_t y,
                            CVedTextPos* out) override;
  int InsertText(std::string_view text, EditResult* out) override;
  int DeleteChar(int kind, EditResult* out) override;
  int DeleteRange(const CVedTextPos* from, const CVedTextPos* to, EditResult* out) override;
  int AdjustRange(const CVedTextRange* in, CVedTextRange* out) override;
  int FindText(int options, int direction, std::string_view text, CVedTextRange* out) override;
  int Draw(const CVedTextPos* from, int flags, int32_t skipHeight, int flags2, int32_t bandHeight,
           DrawResult* out) override;
  int SetCharFormat(const CharFormat* format) override;
  int GetCharFormat(CharFormat* out) override;
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
  int SetAnchor(int kind, CVedAnchor* anchor, const CVedTextPos* pos) override;
  CVedAnchor* FindAnchor(int kind, const CVedTextPos* from, int next) override;
  int SerializeRange(platform::CArchive& archive, int tag, int mode, const CVedTextPos* from,
                     const CVedTextPos* to, EditResult* out) override;
  int MergeFrom(CDocObject* other, int flag, EditResult* out) override;
  int SplitInto(const CVedTextPos* pos, CDocObject* other, EditResult* out) override;
  int ComparePositions(const CVedTextPos* a, const CVedTextPos* b) override;

  // The path of a 1-based (line, column); 0 when no such cell exists.
  virtual int PositionFromCell(int32_t line, int32_t column, CVedTextPos* out);
  // The rectangle of the child before the area: its height is the height
  // of the caret drawn in the area.
  void SetPreviousRect(int32_t left, int32_t top, int32_t right, int32_t bottom);

 private:
  // Signed on purpose: moves step to -1 before they are checked.
  struct Cell {
    int32_t row = 0;
    int32_t column = 0;
    auto operator<=>(const Cell&) const = default;
  };

  int32_t ColumnsPerLine() const;
  int32_t Lines() const;
  int32_t AreaHeight() const;
  int32_t ColumnAtX(int32_t x) const;
  bool Contains(Cell cell) const;
  Cell CursorCell() const { return {cursorRow_, cursorColumn_}; }
  // The cell a path names. A null or empty path stands for `fallback`;
  // nothing when the path is not one of this area's cells.
  std::optional<Cell> Resolve(const CVedTextPos* pos, Cell fallback) const;
  std::optional<Cell> ResolveOrCursor(const CVedTextPos* pos) const;
  static void WritePath(Cell cell, CVedTextPos* out);
  platform::RECT LineBox(Cell cell, int32_t baseRow) const;
  int32_t BlankWidth() const;
  int StepLineFrom(const CVedTextPos* pos, int direction, CVedTextPos* out) const;
  std::optional<Cell> MoveTarget(int command, Cell start, int32_t x, int* answer) const;
  int CheckEdges(Cell* cell, bool wrap) const;

  CDocRenderer* renderer_ = nullptr;
  CEditFeedback* feedback_ = nullptr;
  int32_t cursorRow_ = 0;
  int32_t cursorColumn_ = 0;
  PageFormat pageFormat_;
  int32_t anchorRow_ = 0;
  int32_t anchorColumn_ = 0;
  CVedAnchor* anchor_ = nullptr;
  platform::RECT previousRect_ = {};
};
