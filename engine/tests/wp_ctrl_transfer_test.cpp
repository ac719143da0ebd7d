// Cut, copy and paste as the views send them: what a copy puts on the
// clipboard, what a paste takes from it in either form, and that a paste
// whose data cannot be read leaves the document exactly as it was. The
// commands answer 0 whatever happened: what they did is read from the
// document, the clipboard and the window.
#include <gtest/gtest.h>

#include <initializer_list>
#include <iterator>
#include <string>
#include <vector>

#include "engine/clipboard_file.h"
#include "engine/wp_commands.h"
#include "engine/wp_ctrl.h"
#include "platform/clipboard.h"
#include "wp_ctrl_fixture.h"

namespace doc_root_test {
namespace {

using Bytes = std::vector<uint8_t>;

constexpr int kCueNoInput = 1;
constexpr int kCueWarning = 81;
constexpr int kCueError = 83;

// 日本語 / あいう / ABC
constexpr char kThreeParagraphs[] = "\x93\xFA\x96\x7B\x8C\xEA\r\x82\xA0\x82\xA2\x82\xA4\rABC";

class TransferTest : public WpCtrlFixture {
 protected:
  TransferTest() { platform::ResetClipboard(); }
  ~TransferTest() override { platform::ResetClipboard(); }

  int Edit(int code, intptr_t arg = 0, intptr_t value = 0) {
    return engine.EditCommand(code, arg, value);
  }

  Bytes Stream(uint32_t flags) {
    platform::CMemFile file;
    platform::CArchive archive(&file, platform::CArchive::kStore);
    EXPECT_EQ(engine.DocumentCommand(WPC_WRITE_CONTENT, static_cast<int>(flags), &archive), kWpcOk);
    archive.Close();
    return Bytes(file.Data(), file.Data() + file.GetLength());
  }

  // Selects `count` characters from the `skip`th character of the first
  // line on (a step past a line's end goes into its margin, not on).
  void Select(int skip, int count) {
    Edit(WPC_MOVE, kMoveDocumentStart, 1);
    for (int i = 0; i < skip; ++i) Edit(WPC_MOVE, kMoveNextChar, 1);
    for (int i = 0; i < count; ++i) Edit(WPC_MOVE_EXTEND, kMoveNextChar, kCharacterWise);
  }
  // From after the first character down to the same place on the next
  // line: across the end of the first paragraph.
  void SelectAcrossAParagraphEnd() {
    Edit(WPC_MOVE, kMoveDocumentStart, 1);
    Edit(WPC_MOVE, kMoveNextChar, 1);
    Edit(WPC_MOVE_EXTEND, kMoveLineDown, kCharacterWise);
  }
  bool HasSelection() { return Edit(WPC_HAS_SELECTION) != 0; }

  static Bytes ClipboardBytes(uint32_t format) {
    CVedClipboardFile file(0);
    if (file.OpenFromClipboard(format) == 0) return {};
    const Bytes bytes(file.Data(), file.Data() + file.GetLength());
    file.CloseClipboardData();
    return bytes;
  }
  static void PutOnClipboard(uint32_t format, const std::string& bytes) {
    CVedClipboardFile file(1024);
    file.SetFormat(format);
    platform::CArchive archive(&file, platform::CArchive::kStore);
    archive.Write(bytes.data(), bytes.size());
    archive.Close();
    ASSERT_EQ(file.PutOnClipboard(true), 1);
  }
};

TEST_F(TransferTest, ACopyPutsTheSelectionsStreamAndItsTextEndedByOneZero) {
  Type(kThreeParagraphs);
  SelectAcrossAParagraphEnd();
  const Bytes selection = Stream(CDocBunsObj::kStreamOwnFormat | CDocBunsObj::kStreamSelection);
  window.Clear();

  Edit(WPC_COPY);
  EXPECT_EQ(ClipboardBytes(CVedClipboardFile::kOwnFormat), selection);
  const std::string text = "\x96\x7B\x8C\xEA\r\n\x82\xA0";
  Bytes expectedText(text.begin(), text.end());
  expectedText.push_back(0);
  EXPECT_EQ(ClipboardBytes(platform::CF_TEXT), expectedText);
  EXPECT_EQ(window.Spoken(), std::vector<std::string>{Sjis("コピー")});
  EXPECT_TRUE(HasSelection()) << "a copy keeps the selection";
  EXPECT_EQ(Edit(WPC_CAN_PASTE), 1);
}

TEST_F(TransferTest, WithoutASelectionCutAndCopyDoNothing) {
  Type(kThreeParagraphs);
  const Bytes before = Content();
  window.Clear();
  Edit(WPC_COPY);
  Edit(WPC_CUT, 1);
  EXPECT_EQ(Content(), before);
  EXPECT_TRUE(window.Cues().empty());
  EXPECT_EQ(Edit(WPC_CAN_PASTE), 0);
}

TEST_F(TransferTest, ACutPastedBackGivesTheDocumentBackAndBothAreUndone) {
  Type(kThreeParagraphs);
  const Bytes original = Content();
  SelectAcrossAParagraphEnd();
  window.Clear();

  Edit(WPC_CUT, 1);
  EXPECT_EQ(window.Spoken().front(), Sjis("切り取り"));
  EXPECT_FALSE(HasSelection());
  const Bytes cut = Content();
  EXPECT_NE(cut, original);

  Edit(WPC_PASTE, 1);
  EXPECT_EQ(Content(), original);
  Edit(WPC_UNDO);
  EXPECT_EQ(Content(), cut);
  Edit(WPC_UNDO);
  EXPECT_EQ(Content(), original);
}

TEST_F(TransferTest, APastedCopyRepeatsTheSelectionAtTheCaret) {
  Type("ab\rcd");
  Select(0, 2);
  Edit(WPC_COPY);
  Edit(WPC_MOVE, kMoveDocumentEnd, 1);
  Edit(WPC_PASTE, 1);
  EXPECT_EQ(DocumentText(), "ab\r\ncdab");
}

TEST_F(TransferTest, PlainTextAloneIsPastedWithItsLineBreaks) {
  Type("xy");
  PutOnClipboard(platform::CF_TEXT, std::string("AB\r\nCD\0", 7));
  Edit(WPC_MOVE, kMoveDocumentStart, 1);
  Edit(WPC_MOVE, kMoveNextChar, 1);
  window.Clear();

  Edit(WPC_PASTE, 1);
  EXPECT_EQ(DocumentText(), "xAB\r\nCDy");
  EXPECT_EQ(window.Spoken().front(), Sjis("貼り付け"));
}

TEST_F(TransferTest, PastedTextEndsAParagraphAtALoneLineFeedOrCarriageReturn) {
  PutOnClipboard(platform::CF_TEXT, std::string("A\nB\rC\r\nD\0", 10));
  Edit(WPC_PASTE, 1);
  EXPECT_EQ(DocumentText(), "A\r\nB\r\nC\r\nD");
}

TEST_F(TransferTest, AnEmptyClipboardWarnsOrStillDeletesTheSelection) {
  Type(kThreeParagraphs);
  const Bytes original = Content();
  window.Clear();
  Edit(WPC_PASTE, 1);
  EXPECT_EQ(Content(), original);
  EXPECT_EQ(window.Cues(), std::vector<int>{kCueWarning});

  // Over a selection the deletion stands, and is one undo step.
  Select(0, 3);
  Edit(WPC_PASTE, 1);
  EXPECT_EQ(DocumentText(), "\r\n\x82\xA0\x82\xA2\x82\xA4\r\nABC");
  Edit(WPC_UNDO);
  EXPECT_EQ(Content(), original);
  // The warned paste recorded nothing: the next undo takes the typing.
  Edit(WPC_UNDO);
  EXPECT_EQ(DocumentText(), "");
}

TEST_F(TransferTest, AReadOnlyDocumentRefusesAPasteWithTheNoInputCue) {
  Type("ab");
  PutOnClipboard(platform::CF_TEXT, std::string("CD\0", 3));
  const uint8_t readOnly = 1;
  Edit(WPC_SET_READONLY, 0, Pointer(&readOnly));
  window.Clear();
  Edit(WPC_PASTE, 1);
  EXPECT_EQ(DocumentText(), "ab");
  EXPECT_EQ(window.Cues(), std::vector<int>{kCueNoInput});
}

// ---- Rows and columns of a ruled table

// Two lines of text with a table between them whose cells hold one letter
// each, row by row from "a" on.
class TableTransferTest : public TransferTest {
 protected:
  static constexpr int kMaxCellSteps = 32;
  intptr_t Table(int code) { return engine.TableCommand(code, 0, 0); }
  int32_t Cell() {
    int32_t cell = 0;
    engine.TableCommand(WPC_GET_CELL_POSITION, 0, Pointer(&cell));
    return cell;
  }
  static int32_t CellAt(int row, int column) { return ((row + 1) << 16) | (column + 1); }

  // Columns of `width` characters, or as wide as a new table makes them
  // for 0.
  void MakeTable(int rows, int columns, int width = 0) {
    Type("ab\r\ncd");
    Edit(WPC_MOVE, kMoveLineStart, 1);
    ASSERT_NE(engine.TableCommand(WPC_CREATE_TABLE, 1, (rows << 16) | columns), 0);
    for (int i = 0; i < rows * columns; ++i) {
      if (i != 0) Edit(WPC_MOVE, kMoveNextCellOrLine, 1);
      const char letter[] = {static_cast<char>('a' + i), '\0'};
      Type(letter);
      if (width != 0 && i < columns) {
        ASSERT_NE(engine.TableCommand(WPC_SET_COLUMN_WIDTH, 1, width), 0);
      }
    }
  }
  // Puts the caret into a cell by stepping there from the first one.
  void GoToCell(int row, int column, int columns) {
    for (int i = 0; i < kMaxCellSteps && Cell() != CellAt(0, 0); ++i) {
      Edit(WPC_MOVE, kMovePrevCellOrLine, 1);
    }
    for (int i = 0; i < row * columns + column; ++i) Edit(WPC_MOVE, kMoveNextCellOrLine, 1);
    ASSERT_EQ(Cell(), CellAt(row, column));
  }
  // The document's text with the table's cells as they stand row by row.
  static std::string TextWithCells(const std::string& cells) {
    std::string text = "ab\r\n";
    for (const char letter : cells) text += std::string(1, letter) + "\r\n";
    return text + "cd";
  }
};

// One caret command of a selection: a plain move or an extending one.
struct CaretStep {
  int command;
  int code;
};

struct TablePasteCase {
  const char* name;
  int rows;
  int columns;
  int columnWidth;
  // The cell the selection starts from, the steps that select the unit
  // from the start of that cell, and the cell the paste goes to.
  int copyRow;
  int copyColumn;
  std::vector<CaretStep> select;
  int pasteRow;
  int pasteColumn;
  int rowsAfter;
  int columnsAfter;
  const char* cellsAfter;
};

class TablePaste : public TableTransferTest,
                   public ::testing::WithParamInterface<TablePasteCase> {};

TEST_P(TablePaste, PutsTheCopiedUnitBeforeTheCaretsAndOneUndoTakesItBack) {
  const TablePasteCase& c = GetParam();
  MakeTable(c.rows, c.columns, c.columnWidth);
  GoToCell(c.copyRow, c.copyColumn, c.columns);
  for (const CaretStep& step : c.select) Edit(step.command, step.code, kCharacterWise);
  ASSERT_TRUE(HasSelection());
  Edit(WPC_COPY);
  ASSERT_FALSE(ClipboardBytes(CVedClipboardFile::kOwnFormat).empty());

  GoToCell(c.pasteRow, c.pasteColumn, c.columns);
  ASSERT_FALSE(HasSelection());
  const Bytes before = Content();
  const std::string textBefore = DocumentText();
  window.Clear();
  Edit(WPC_PASTE, 1);
  EXPECT_EQ(Table(WPC_GET_TABLE_ROWS), c.rowsAfter);
  EXPECT_EQ(Table(WPC_GET_TABLE_COLUMNS), c.columnsAfter);
  EXPECT_EQ(DocumentText(), TextWithCells(c.cellsAfter));
  ASSERT_FALSE(window.Spoken().empty());
  EXPECT_EQ(window.Spoken().front(), Sjis("貼り付け"));

  Edit(WPC_UNDO);
  EXPECT_EQ(DocumentText(), textBefore);
  EXPECT_EQ(Content(), before);
}

// From the start of a cell a step left stands on the cell's left rule and
// a step up on the row's top rule: the corner where a row or a column
// begins. Every row is one line high, the last one line more for the
// bottom rule.
constexpr CaretStep kToCellCorner[] = {{WPC_MOVE, kMovePrevChar}, {WPC_MOVE, kMoveLineUp}};
constexpr int kNarrowColumn = 2;
constexpr CaretStep kExtendDown = {WPC_MOVE_EXTEND, kMoveLineDown};
constexpr CaretStep kExtendToLineEnd = {WPC_MOVE_EXTEND, kMoveLineEnd};

std::vector<CaretStep> Selecting(std::initializer_list<CaretStep> extensions) {
  std::vector<CaretStep> steps(std::begin(kToCellCorner), std::end(kToCellCorner));
  steps.insert(steps.end(), extensions);
  return steps;
}

INSTANTIATE_TEST_SUITE_P(Units, TablePaste,
                         ::testing::Values(
                             // Rows a b / c d / e f: down to the next row's top rule and along
                             // it to the right end selects the middle row, which goes in
                             // before the last.
                             TablePasteCase{"Row", 3, 2, 0, 1, 0,
                                            Selecting({kExtendDown, kExtendDown, kExtendToLineEnd}),
                                            2, 1, 4, 2, "abcdcdef"},
                             // Columns a b c / d e f, narrow enough to leave room for one
                             // more: down the last column's left rule to the bottom rule and
                             // along it to the right end selects the last column, which goes
                             // in before the first.
                             TablePasteCase{"Column", 2, 3, kNarrowColumn, 0, 2,
                                            Selecting({kExtendDown, kExtendDown, kExtendDown,
                                                       kExtendDown, kExtendToLineEnd}),
                                            1, 0, 2, 4, "cabcfdef"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(TableTransferTest, AColumnTheTableHasNoRoomForIsNotPastedAndRecordsNothing) {
  // Columns as wide as a new table makes them fill the line.
  MakeTable(2, 3);
  GoToCell(0, 2, 3);
  for (const CaretStep& step :
       Selecting({kExtendDown, kExtendDown, kExtendDown, kExtendDown, kExtendToLineEnd})) {
    Edit(step.command, step.code, kCharacterWise);
  }
  Edit(WPC_COPY);
  ASSERT_FALSE(ClipboardBytes(CVedClipboardFile::kOwnFormat).empty());
  GoToCell(1, 0, 3);
  const Bytes before = Content();
  window.Clear();

  Edit(WPC_PASTE, 1);
  EXPECT_EQ(Table(WPC_GET_TABLE_COLUMNS), 3);
  EXPECT_EQ(Content(), before);
  EXPECT_EQ(window.Cues(), std::vector<int>{kCueWarning});
  // The next undo takes the last typing, not the caret cell's text.
  Edit(WPC_UNDO);
  EXPECT_EQ(DocumentText(), "ab\r\na\r\nb\r\nc\r\nd\r\ne\r\n\r\ncd");
}

// Clipboard data that cannot be read, put on the clipboard after a copy
// of "あい" has filled it with good data.
struct UnreadableCase {
  const char* name;
  uint32_t format;
  // Turns the good own-format bytes into the bad ones; for text, the
  // text itself.
  std::string (*make)(const std::string& good);
};

std::string Truncated(const std::string& good) { return good.substr(0, good.size() / 2); }
std::string WrongSignature(const std::string& good) {
  std::string bad = good;
  bad[0] = 'X';
  return bad;
}
std::string LeadByteAtTheEnd(const std::string&) { return std::string("AB\x82\0", 4); }
std::string BadTrailByte(const std::string&) {
  return std::string(
      "A\x82\x20"
      "B\0",
      5);
}

class UnreadableClipboard : public TransferTest,
                            public ::testing::WithParamInterface<UnreadableCase> {};

TEST_P(UnreadableClipboard, LeavesTheDocumentAndItsSelectionAsTheyWere) {
  Type(kThreeParagraphs);
  Select(1, 2);
  Edit(WPC_COPY);
  const Bytes own = ClipboardBytes(CVedClipboardFile::kOwnFormat);
  platform::ResetClipboard();
  PutOnClipboard(GetParam().format, GetParam().make(std::string(own.begin(), own.end())));

  Select(0, 3);
  const Bytes before = Content();
  const LocationRecord where = Location();
  window.Clear();

  Edit(WPC_PASTE, 1);
  EXPECT_EQ(Content(), before);
  EXPECT_TRUE(HasSelection());
  EXPECT_EQ(Location().caret, where.caret);
  EXPECT_EQ(window.Cues(), std::vector<int>{kCueError});
  EXPECT_EQ(root().Renderer().GetSavedFontList(), nullptr);
  // Nothing was recorded: the next undo takes the typing.
  Edit(WPC_UNDO);
  EXPECT_EQ(DocumentText(), "");
}

INSTANTIATE_TEST_SUITE_P(
    Data, UnreadableClipboard,
    ::testing::Values(
        UnreadableCase{"TruncatedOwnFormat", CVedClipboardFile::kOwnFormat, Truncated},
        UnreadableCase{"ForeignOwnFormat", CVedClipboardFile::kOwnFormat, WrongSignature},
        UnreadableCase{"LeadByteAtTheEnd", platform::CF_TEXT, LeadByteAtTheEnd},
        UnreadableCase{"BadTrailByte", platform::CF_TEXT, BadTrailByte}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace doc_root_test
