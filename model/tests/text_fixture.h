// A text store bound to the format, navigation and editing parts, laid out
// with the synthetic fixed-pitch face so that every width is exact:
// a 12-point em is 240 twips (half width 120), ascent 210, descent 30,
// so a line is 210 + 4 x 30 = 330 twips high with its baseline at 240.
// With a character gap of 10 a double-byte character advances 260 twips
// (two pitches of 130) and a single byte 130.
#pragma once

#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "model/font_table.h"
#include "model/renderer.h"
#include "model/text_editor.h"
#include "model/text_formats.h"
#include "model/text_navigator.h"
#include "platform/gdi.h"
#include "platform/synthetic_fonts.h"

namespace text_test {

inline constexpr int32_t kEm = 240;
inline constexpr int32_t kHalf = 120;
inline constexpr int32_t kAscent = 210;
inline constexpr int32_t kDescent = 30;
inline constexpr int32_t kLineHeight = kAscent + 4 * kDescent;
inline constexpr int32_t kBaseline = kAscent + kDescent;
inline constexpr int32_t kGap = 10;
inline constexpr int32_t kPitch = kHalf + kGap;
inline constexpr int32_t kWide = kEm + 2 * kGap;  // a double-byte cell's advance
inline constexpr int32_t kLineGap = 20;

// Line-start-forbidden: 、。，．）」ー ゃ; line-end-forbidden: （「.
inline constexpr char kStartList[] =
    "\x81\x41\x81\x42\x81\x43\x81\x44\x81\x6A\x81\x76\x81\x5B\x82\xE1";
inline constexpr char kEndList[] = "\x81\x69\x81\x75";

// Walks a store and lists every broken invariant: lines and cells must
// cover the whole text in order, counts must match, each line's kept end
// must be its last cell's, every paragraph but the last ends in a break and
// the text in its one end mark. Empty when whole.
inline std::string StoreProblems(const CTextStore& store) {
  std::string problems;
  auto fail = [&](const std::string& what) { problems += what + "; "; };
  NodeHandle expectedLine = store.Navigate(kLevelLine, kNavFirst, kNoNode);
  NodeHandle expectedCell = store.Navigate(kLevelCell, kNavFirst, kNoNode);
  int endMarks = 0;
  for (NodeHandle p = store.Navigate(kLevelParagraph, kNavFirst, kNoNode); p != kNoNode;
       p = store.Navigate(kLevelParagraph, kNavNext, p)) {
    ParagraphInfo paragraph;
    if (store.GetInfo(p, paragraph) == 0) return problems + "unreadable paragraph";
    if (paragraph.firstLine != expectedLine) fail("paragraph does not start at the next line");
    int32_t lines = 0;
    CharCell last;
    for (NodeHandle l = paragraph.firstLine; l != kNoNode;
         l = store.Navigate(kLevelLine, kNavNext, l)) {
      LineInfo line;
      if (store.GetInfo(l, line) == 0) return problems + "unreadable line";
      ++lines;
      if (line.firstCell != expectedCell) fail("line does not start at the next cell");
      int32_t cells = 0;
      for (NodeHandle c = line.firstCell; c != kNoNode;
           c = store.Navigate(kLevelCell, kNavNext, c)) {
        ++cells;
        store.GetInfo(c, last);
        if (last.code == kCodeEndOfText) ++endMarks;
        if (c == line.lastCell) break;
      }
      if (cells != line.cellCount) fail("line cell count is off");
      CharCell end;
      if (store.GetInfo(line.lastCell, end) == 0 || line.end != LineEndOf(end.code)) {
        fail("line end disagrees with its last cell");
      }
      expectedCell = store.Navigate(kLevelCell, kNavNext, line.lastCell);
      expectedLine = store.Navigate(kLevelLine, kNavNext, l);
      if (l == paragraph.lastLine) break;
    }
    if (lines != paragraph.lineCount) fail("paragraph line count is off");
    const bool lastParagraph = store.IsLast(kLevelParagraph, p) != 0;
    if (lastParagraph && last.code != kCodeEndOfText) fail("text does not end in its end mark");
    if (!lastParagraph && last.code != kCodeParagraphEnd && last.code != kCodePageBreak) {
      fail("paragraph does not end in a break");
    }
  }
  if (expectedLine != kNoNode) fail("lines left over after the last paragraph");
  if (expectedCell != kNoNode) fail("cells left over after the last line");
  if (endMarks != 1) fail("not exactly one end mark");
  return problems;
}

class TextFixture {
 public:
  explicit TextFixture(int32_t wideCharsPerLine = 10)
      : dc_(platform::CreateImageDC(64, 64, 96, 96)) {
    page_.referenceDC = dc_.get();
    page_.resolutionX = page_.resolutionY = 96;
    page_.textWidth = wideCharsPerLine * kWide;
    std::strcpy(page_.face, platform::kSyntheticFixedFace);
    page_.fontSize = 120;
    page_.heightScale = page_.widthScale = 100;
    page_.lineStartRule = page_.lineEndRule = -1;
    std::strcpy(page_.lineStartChars, kStartList);
    std::strcpy(page_.lineEndChars, kEndList);
    page_.tabInterval = 4 * kPitch;
    page_.charGap = kGap;
    page_.lineGap = kLineGap;
    page_.charPitch = kPitch;
    page_.linePitch = kLineHeight + kLineGap;

    renderer_.SetPageFormat(page_);
    for (CTextStore* store : std::initializer_list<CTextStore*>{&navigator, &editor}) {
      store->Bind(&paragraphs_, &lines_, &cells_, &spare_);
    }
    typing_ = CTextFormatDefaults::DefaultFontState();
    PageFormat copy = page_;
    formats.Init(&typing_, &decoration_, &design_, &page, &renderer_.FontUseList());
    page = copy;
    formats.ResetTypingFont(page);
    formats.ResolveFont(page.referenceDC, typing_);
    navigator.Init(&formats, &renderer_.FontUseList(), &options);
    editor.Init(&renderer_, &page, &options, &navigator, &formats);
    options = DocObjOptions::ContainerDefaults();
    CharCell end;
    formats.MakeCellTemplate(nullptr, nullptr, nullptr, &end);
    editor.NewDocument(end);
    SyncCaret();
  }

  // Types text at the caret, as the engine does, and moves the caret on.
  bool Type(std::string_view text) {
    CharCell cellTemplate;
    formats.MakeCellTemplate(nullptr, nullptr, nullptr, &cellTemplate);
    EditResult result;
    const CVedTextPos caret = Caret();
    if (editor.InsertText(&caret, text, cellTemplate, &result) == 0) return false;
    SetCaret(result.newCursor);
    EXPECT_EQ(StoreProblems(editor), "");
    return true;
  }

  CVedTextPos Caret() const {
    CVedTextPos pos;
    CTextNavigator::MakePosition({editor.CurrentNode(kLevelParagraph),
                                  editor.CurrentNode(kLevelLine), editor.CurrentNode(kLevelCell)},
                                 &pos);
    return pos;
  }

  void SetCaret(const CVedTextPos& pos) {
    TextNodes nodes;
    if (navigator.MapPosition(&pos, &nodes) == 0) return;
    for (CTextStore* store : std::initializer_list<CTextStore*>{&navigator, &editor}) {
      store->SetCurrentNode(kLevelParagraph, nodes.paragraph);
      store->SetCurrentNode(kLevelLine, nodes.line);
      store->SetCurrentNode(kLevelCell, nodes.cell);
    }
  }

  // The text of each line, control cells as their display tags in braces.
  std::vector<std::string> Lines() const {
    std::vector<std::string> out;
    for (NodeHandle line = navigator.Navigate(kLevelLine, kNavFirst, kNoNode); line != kNoNode;
         line = navigator.Navigate(kLevelLine, kNavNext, line)) {
      LineInfo info;
      navigator.GetInfo(line, info);
      std::string text;
      for (NodeHandle c = info.firstCell; c != kNoNode;
           c = navigator.Navigate(kLevelCell, kNavNext, c)) {
        CharCell cell;
        navigator.GetInfo(c, cell);
        if (IsControlCode(cell.code)) {
          text += "{" + std::string(cell.tag, 2) + "}";
        } else {
          if (cell.code > 0xFF) text += static_cast<char>(cell.code >> 8);
          text += static_cast<char>(cell.code & 0xFF);
        }
        if (c == info.lastCell) break;
      }
      out.push_back(text);
    }
    return out;
  }

  // The position of the n-th cell (0-based) of the whole text.
  CVedTextPos CellAt(int n) const {
    NodeHandle cell = navigator.Navigate(kLevelCell, kNavFirst, kNoNode);
    for (int i = 0; i < n; ++i) cell = navigator.Navigate(kLevelCell, kNavNext, cell);
    CVedTextPos pos;
    navigator.PositionOfCell(kNavNext, kNoNode, kNoNode, cell, &pos);
    return pos;
  }

  CharCell CellRecord(const CVedTextPos& pos) const {
    TextNodes nodes;
    navigator.MapPosition(&pos, &nodes);
    CharCell cell;
    navigator.GetInfo(nodes.cell, cell);
    return cell;
  }

  LineInfo LineRecord(const CVedTextPos& pos) const {
    TextNodes nodes;
    navigator.MapPosition(&pos, &nodes);
    LineInfo line;
    navigator.GetInfo(nodes.line, line);
    return line;
  }

  CDocRenderer& renderer() { return renderer_; }

  PageFormat page;
  DocObjOptions options;
  CTextFormats formats;
  CTextNavigator navigator;
  CTextEditor editor;

 private:
  void SyncCaret() {
    CVedTextPos end;
    navigator.GetEndPosition(&end);
    SetCaret(end);
  }

  platform::SyntheticFontService service_;
  platform::ScopedFontService useService_{service_};
  CFontTable table_;
  CDocRenderer renderer_{table_};
  platform::UniqueDC dc_;
  PageFormat page_;
  ParagraphList paragraphs_;
  LineList lines_;
  CellList cells_;
  SpareList spare_;
  CharFontState typing_;
  CellDecoration decoration_;
  CellDesign design_;
};

}  // namespace text_test
