// The running-text document object: the whole document object interface
// over a four-level text store. It owns the store's lists and four parts
// bound to them: formats, editor, navigator and layout. Most operations
// translate their positions (null = the caret, or the text's start or
// end), order them, call one part and make the new cursor the caret.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "model/doc_object.h"
#include "model/text_editor.h"
#include "model/text_formats.h"
#include "model/text_layout.h"
#include "model/text_navigator.h"
#include "model/text_store.h"
#include "model/text_transfer.h"
#include "platform/file.h"

// What the free cursor needs of the line of a position.
struct PositionDescription {
  int32_t height = 0;  // with its gap
  int32_t leftMargin = 0;
  int32_t rightMargin = 0;
  int32_t width = 0;
  int32_t length = 0;  // bytes
  int32_t endMarkColumns = 0;
};

class CTextEngine : public CDocObject {
 public:
  CTextEngine();
  ~CTextEngine() override;

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
  // The text's last paragraph goes on in the text after it: a split took
  // away a paragraph end that came in with the content it split.
  void ContinueEndInNext() { endContinuesInNext_ = true; }
  int ComparePositions(const CVedTextPos* a, const CVedTextPos* b) override;

  int WriteTextBlock(const CVedTextPos* from, const CVedTextPos* to, platform::CMemFile& file);
  int ReadTextBlock(platform::CMemFile& file, const CVedTextPos* pos, EditResult* out);
  int DescribePosition(const CVedTextPos* pos, PositionDescription* out);
  void SetCurrentNodes(NodeHandle paragraph, NodeHandle line, NodeHandle cell);
  int SetCaret(const CVedTextPos& pos);
  void OrderPositions(CVedTextPos& a, CVedTextPos& b);
  static int IsPlainAscii(std::string_view text);

 protected:
  bool Built() const { return built_ != 0; }
  CVedTextPos CaretPosition() const;
  // A position argument: null means the caret.
  CVedTextPos OrCaret(const CVedTextPos* pos) const;
  // Range arguments: null means the text's start or end.
  CVedTextPos OrStart(const CVedTextPos* pos) const;
  CVedTextPos OrEnd(const CVedTextPos* pos) const;
  bool MapNodes(const CVedTextPos& pos, TextNodes* out) const;
  // The insertion template for a text: the plain-ASCII one when it differs.
  bool InsertTemplate(std::string_view text, CharCell* out) const;
  // Moves the result's range end to the last cell of the new caret's
  // paragraph.
  void EndRangeAtParagraphEnd(EditResult* out);
  int32_t HeightBetween(const TextNodes& from, const TextNodes& to) const;
  // The anchors on the characters from `from` up to `to` (not included),
  // one entry a character, taken off them; empty when none carries one.
  // Characters that move to another text through a block leave their
  // anchors behind: the receiving text takes them on with GiveAnchors.
  std::vector<CVedAnchor*> TakeAnchors(const CVedTextPos& from, const CVedTextPos& to);
  // Puts each anchor on the character that many places from `first` on.
  void GiveAnchors(NodeHandle first, const std::vector<CVedAnchor*>& anchors);
  // The cell before the one at the position (kNoNode at the text's start
  // or for a position not in it), and the cell after a cell (the first
  // for kNoNode): where a block read at the position begins.
  NodeHandle CellBefore(const CVedTextPos& pos) const;
  NodeHandle CellAfter(NodeHandle cell) const;
  template <typename Read>
  int ReadRange(const CVedTextPos* from, const CVedTextPos* to, Read read);
  template <typename Change>
  int ChangeCells(const CVedTextPos* from, const CVedTextPos* to, EditResult* out, Change change);
  // The block reader and writer over this engine's parts.
  CTextTransfer Transfer();
  // Inserts the rest of a plain-text file at the caret; 1, 0 for an empty
  // file or -1 when the text is refused.
  int LoadPlainText(platform::CArchive& archive, EditResult* out);

  CTextNavigator& Navigator() { return navigator_; }
  CTextEditor& Editor() { return editor_; }
  const PageFormat& Format() const { return pageFormat_; }
  const DocObjOptions& Options() const { return options_; }
  CDocRenderer* Renderer() const { return renderer_; }

 private:
  int JoinBefore(const CVedTextPos& at, EditResult* result);

  std::unique_ptr<ParagraphList> paragraphs_;
  std::unique_ptr<LineList> lines_;
  std::unique_ptr<CellList> cells_;
  std::unique_ptr<SpareList> spare_;
  CTextStore store_;
  CharFontState typingFont_;
  CellDecoration typingDecoration_;
  CellDesign typingDesign_;
  PageFormat pageFormat_;
  DocObjOptions options_;
  CFontUseList* fontUse_ = nullptr;
  CTextFormats formats_;
  CTextEditor editor_;
  CTextNavigator navigator_;
  CTextLayout layout_;
  int32_t built_ = 0;
  CDocRenderer* renderer_ = nullptr;
  CEditFeedback* feedback_ = nullptr;
  // A split inside a paragraph left its first half at this text's end:
  // the text after it goes on with the same paragraph, and joining the two
  // again adds no paragraph end.
  bool endContinuesInNext_ = false;
};
