// The running-text object of the document tree: a text engine with a free
// cursor. With the free-cursor option the caret may stand in the blank
// space of a line, in the left margin before its text or in the right
// margin after it, on the page's character grid. Every position that
// enters or leaves the object carries that place in two leading pairs;
// every operation strips them, lets the engine work and puts them back.
#pragma once

#include <cstdint>
#include <optional>

#include "model/text_engine.h"

// Where a free-cursor place lies on its line.
inline constexpr int32_t kZoneLeftMargin = 1;
inline constexpr int32_t kZoneRightMargin = 2;
inline constexpr int32_t kZoneText = 3;

class CTextObject : public CTextEngine {
 public:
  int Initialize(CDocRenderer* renderer, CEditFeedback* feedback) override;
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
  // Walks the lines of the store, making a line's position only when the
  // visitor asks for it.
  PageLineWalk WalkPageLines(const CVedTextPos* from, CPageLineVisitor& visitor) override;
  int IsFirstLine(const CVedTextPos* pos) override;
  int IsLastLine(const CVedTextPos* pos) override;
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
  int SetAnchor(int kind, CVedAnchor* anchor, const CVedTextPos* pos) override;
  CVedAnchor* FindAnchor(int kind, const CVedTextPos* from, int next) override;
  int SerializeRange(platform::CArchive& archive, int tag, int mode, const CVedTextPos* from,
                     const CVedTextPos* to, EditResult* out) override;
  int MergeFrom(CDocObject* other, int flag, EditResult* out) override;
  int SplitInto(const CVedTextPos* pos, CDocObject* other, EditResult* out) override;
  int ComparePositions(const CVedTextPos* a, const CVedTextPos* b) override;

  // The place a position carries; the object's own without a position.
  void GetFreeCursor(const CVedTextPos* pos, int32_t* zone, int32_t* offset) const;
  static std::optional<CVedTextPos> StripFreeCursor(const CVedTextPos* pos);
  int PlainMove(int command, const MoveParams& params, const CVedTextPos* from, CVedTextPos* out);
  int32_t ZoneToX(int32_t zone, int32_t offset, const CVedTextPos* pos);
  void XToZone(int32_t x, const CVedTextPos* pos, int32_t* zone, int32_t* offset);
  int32_t ColumnToZone(int32_t column, const CVedTextPos* pos, int32_t* zone, int32_t* offset);
  int32_t LeftMarginColumns(const CVedTextPos* pos = nullptr);
  int32_t RightMarginColumns(const CVedTextPos* pos = nullptr);
  // Puts the text-zone pairs before every non-empty position of a result.
  static void AddFreeCursorPairs(EditResult* result);
  static void AddPlace(CVedTextPos* pos, int32_t zone, int32_t offset);

  int32_t zone() const { return zone_; }
  int32_t offset() const { return offset_; }

 private:
  int32_t Pitch() const;
  // The nodes of the line a walk over the page lines starts at.
  bool WalkStart(const CVedTextPos* from, TextNodes* out);
  bool FreeCursorOn() const { return Options().freeCursor != 0; }
  // Limits a place to the margin of its zone on the caret's line.
  void LimitToMargin(int32_t* zone, int32_t* offset);
  int MoveFree(int command, const MoveParams& params, int32_t* zone, int32_t* offset);
  int MoveCharLeft(const MoveParams& params, int32_t* zone, int32_t* offset);
  int MoveCharRight(const MoveParams& params, int32_t* zone, int32_t* offset);
  int GoToLineEdge(bool start);
  // Fills the gap up to a right-margin place with blanks.
  int PadToCursor(EditResult* out);
  // What went in at a margin place starts with the blanks that carried it
  // out to the cursor.
  void TakePaddingStart(const EditResult& padding, EditResult* out);
  void FinishEdit(EditResult* out, int changed);
  // After a format change: the place is limited to its margin; the new
  // cursor carries it, the other positions the text zone.
  void FinishFormat(EditResult* out);

  int32_t zone_ = kZoneText;
  int32_t offset_ = 0;
  int32_t anchorZone_ = kZoneText;
  int32_t anchorOffset_ = 0;
};
