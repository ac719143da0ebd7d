// Moves a range of running text, with every character's attributes and
// every paragraph's format, in and out of the "TextObject Data" block that
// files, the clipboard and undo records share; writes a range as plain
// Shift-JIS text and checks plain text read from a file.
//
// Block: the 16-byte tag, an int32 length L, then L bytes of range data:
// int32 paragraph count P, P paragraph groups, u16 0xFFFF. A group is
// u16 0x1001, u16 paragraph flags and the flagged fields; u16 0x1002, u16
// 0, int32 cell count N; u16 0x1003; N cell records (u16 code, u16 flags,
// the flagged fields). Fields are delta-coded against the previous record
// of the same block.
//
// A transfer holds no state of its own between calls: the engine makes one
// over its parts whenever it stores or loads a range.
#pragma once

#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <vector>

#include "model/doc_object.h"
#include "model/line_composer.h"
#include "model/page_format.h"
#include "model/text_editor.h"
#include "model/text_formats.h"
#include "model/text_navigator.h"
#include "platform/archive.h"
#include "platform/file.h"

class CDocRenderer;

class CTextTransfer {
 public:
  // Over the parts of one text engine; `renderer` may be null (no font
  // mapping then).
  CTextTransfer(CTextEditor& editor, CTextNavigator& navigator, CTextFormats& formats,
                CDocRenderer* renderer, const PageFormat& pageFormat, const DocObjOptions& options);

  // Tag 0xC000: the block, written to the archive at once; 1, or 0 when
  // the range cannot be written (then nothing is written at all). Any other
  // tag: the range as plain text; 1 with nothing written when the range
  // starts at the end of the text, 0 when it gives no text.
  int WriteBlock(int tag, const CVedTextPos* from, const CVedTextPos* to,
                 platform::CArchive& archive);
  // The block in three writes (tag, length, data); nothing on failure.
  int StreamOutBlock(const CVedTextPos* from, const CVedTextPos* to, platform::CFile& stream);
  // The range data alone; 0 on any failure.
  int WriteRangeData(const CVedTextPos* from, const CVedTextPos* to, platform::CFile& stream);

  // Reads one block and inserts it at the position. 1 on success, with
  // `inserted` 0 for a block of length 0 (nothing to insert) and 1 for one
  // whose range went in; 0 for a wrong tag, a length that is negative or
  // larger than what the archive still holds, or damaged range data.
  int ReadBlock(platform::CArchive& archive, const CVedTextPos* pos, int* inserted,
                EditResult* out);
  // Inserts range data at the position. The whole data is checked before
  // the text changes, so a damaged block inserts nothing and answers 0.
  // Of several paragraphs, the inner ones (and the first, at a paragraph
  // start) become paragraphs of their own with their records; the others
  // go into the paragraph at the position, which takes the group's record
  // when the position is its start or the group ended the source text.
  // The block's end mark is the text's own at the end of the text and a
  // paragraph end elsewhere. The result: changed 1, the first and last
  // inserted cells, the caret on the cell that followed, the height change.
  int InsertRangeData(const CVedTextPos* pos, std::span<const uint8_t> data, EditResult* out);

  // Cleans plain text read from a file, up to its first NUL: control bytes
  // other than tab, LF, form feed and CR become 0xA5. 1 valid, 0 when a
  // lead byte lacks its trail byte.
  static int CheckPlainText(std::string* text);
  // Turns a font id read from a stream into one of this process.
  void MapFontId(int32_t* id) const;
  // Narrows the indents of a paragraph record taken from a block so that
  // every line keeps at least one character pitch of width.
  void ClampIndents(ParagraphInfo* paragraph) const;
  // Splits the paragraph at `at` after a break cell (13 or 12). The new
  // paragraph takes `record`; without one, a copy of the split paragraph's
  // record when inserted text follows its neighbours, else the default
  // paragraph.
  int InsertParagraphBreak(TextNodes* at, const CharCell& breakCell, const ParagraphInfo* record,
                           int32_t* heightDelta, NodeHandle* breakNode);

 private:
  // One paragraph group of a block, decoded and checked.
  struct Group {
    ParagraphInfo record;
    std::vector<CharCell> cells;
    bool endsText = false;  // its last cell was the source's end mark
  };
  class ByteReader;
  class GroupDecoder;
  // Font ids of a block already turned into this process's, and the
  // page's base font once it was asked for.
  struct FontMapping {
    std::map<int32_t, int32_t> mapped;
    int32_t baseFont = -1;
    bool baseResolved = false;
  };

  struct InsertedRange {
    NodeHandle first = kNoNode;
    NodeHandle last = kNoNode;
  };

  // A block is read twice: once to check all of it, so that a bad one
  // changes nothing, and once group by group to insert it, so that no more
  // than one decoded group is held at a time.
  int CheckRangeData(std::span<const uint8_t> data) const;
  // Each reads one record over the previous one of the block, which it
  // then replaces.
  int ReadParagraph(ByteReader& in, ParagraphInfo* previous) const;
  int ReadCell(ByteReader& in, const CKinsokuClassifier& kinsoku, CharCell* previous) const;
  // Breaks end groups and only the last group may end otherwise; the end
  // mark can only close the whole block.
  static int CheckGroup(const Group& group, bool last);
  void PrepareCells(Group* group, FontMapping* fonts) const;
  // Read at the end of the text, the block's end mark is the text's own;
  // read anywhere else it ends its paragraph, unless it is all the block
  // holds.
  static void PlaceEndMark(Group* last, bool onlyGroup, const CharCell& insertionCell);

  int ReadAsNewParagraph(const Group& group, TextNodes* at, InsertedRange* range);
  int ReadIntoParagraph(const Group& group, TextNodes* at, InsertedRange* range);
  // Links the group's cells before `at`; a final break splits the
  // paragraph there (the new paragraph takes `tail` when given), a final
  // end mark is left out.
  int FinishGroup(const Group& group, TextNodes* at, InsertedRange* range,
                  const ParagraphInfo* tail);
  int SetParagraphRecord(NodeHandle paragraph, ParagraphInfo record);
  bool IsParagraphStart(const TextNodes& at) const;
  // Finds the line and paragraph of `at`'s cell again after a reflow.
  int Refresh(TextNodes* at) const;
  int32_t ParagraphHeight(NodeHandle paragraph) const;

  void WriteParagraph(platform::CArchive& out, const ParagraphInfo& paragraph,
                      ParagraphInfo* previous) const;
  void WriteCell(platform::CArchive& out, const CharCell& cell, CharCell* previous) const;
  int WritePlainText(const CVedTextPos* from, const CVedTextPos* to, platform::CArchive& archive);

  CTextEditor& editor_;
  CTextNavigator& navigator_;
  CTextFormats& formats_;
  CDocRenderer* renderer_;
  const PageFormat& pageFormat_;
  const DocObjOptions& options_;
};
