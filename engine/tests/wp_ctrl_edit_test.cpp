#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "wp_ctrl_fixture.h"

namespace doc_root_test {
namespace {

using Messages = std::vector<platform::UINT>;

class WpCtrlEditTest : public WpCtrlFixture {};

TEST_F(WpCtrlEditTest, TypingChangesTheContentThenMovesTheCaretAndRecordsOneUndoStep) {
  Type("ABC");
  EXPECT_EQ(DocumentText(), "ABC");
  // The engine sends content before caret; the root's own are filtered.
  EXPECT_EQ(window.Notifications(), (Messages{WM_WPC_CONTENTCHANGED, WM_WPC_CARETMOVED}));
  EXPECT_EQ(engine.EditCommand(WPC_CAN_UNDO, 0, 0), 1);
  EXPECT_EQ(engine.EditCommand(WPC_CAN_REDO, 0, 0), 0);
  EXPECT_EQ(engine.IsEditRunning(), 0);
}

// A view's handlers run inside the edit (the spoken echo and the
// notifications are sent while the command runs) and ask the engine about
// the caret and the line; the edit goes on undisturbed.
TEST_F(WpCtrlEditTest, QueriesFromHandlersInsideAnEditSeeItRunningAndLeaveItWhole) {
  Type("AB");
  std::vector<int> runningSeen;
  window.onMessage = [&](platform::UINT message) {
    if (message != WM_FEEDBACK_SPEAK && message != WM_WPC_CONTENTCHANGED) return;
    runningSeen.push_back(engine.EditCommand(WPC_IS_EDIT_RUNNING, 0, 0));
    Location();
    char line[64];
    engine.EditCommand(WPC_GET_LINE_TEXT, sizeof line, Pointer(line));
  };
  Type("CD");
  window.onMessage = nullptr;

  ASSERT_FALSE(runningSeen.empty());
  EXPECT_TRUE(std::all_of(runningSeen.begin(), runningSeen.end(), [](int r) { return r == 1; }));
  EXPECT_EQ(engine.IsEditRunning(), 0);
  EXPECT_EQ(DocumentText(), "ABCD");
  EXPECT_EQ(Location().caret.column, 5);
  engine.EditCommand(WPC_UNDO, 0, 0);
  EXPECT_EQ(DocumentText(), "AB");
}

// The read-aloud thread asks about the caret and fetches text while the
// window thread edits: each command runs whole, and the edits all land.
TEST_F(WpCtrlEditTest, QueriesFromASecondThreadDoNotDisturbEditsOnTheFirst) {
  constexpr int kEdits = 200;
  std::atomic<bool> editing{true};
  std::thread reader([&] {
    char text[128];
    ObjectDescription context{};
    while (editing.load()) {
      engine.EditCommand(WPC_HAS_SELECTION, 0, 0);
      engine.EditCommand(WPC_GET_CARET_FLAGS, 0, 0);
      engine.EditCommand(WPC_GET_TOP_OFFSET, 0, 0);
      engine.EditCommand(WPC_GET_CARET_CONTEXT, 1, Pointer(&context));
      engine.EditCommand(WPC_GET_RANGE_TEXT, sizeof text, Pointer(text));
    }
  });
  for (int i = 0; i < kEdits; ++i) Type(i % 20 == 19 ? "\r" : "\x82\xA0");
  editing = false;
  reader.join();

  const std::string text = DocumentText();
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), kEdits / 20);
  EXPECT_EQ(text.size(), static_cast<size_t>(kEdits / 20 * 2 + (kEdits - kEdits / 20) * 2));
  EXPECT_EQ(engine.IsEditRunning(), 0);
}

TEST_F(WpCtrlEditTest, UndoAndRedoAlternate) {
  Type("ABC");
  engine.EditCommand(WPC_UNDO, 0, 0);
  EXPECT_EQ(DocumentText(), "");
  EXPECT_EQ(engine.EditCommand(WPC_CAN_REDO, 0, 0), 1);
  engine.EditCommand(WPC_REDO, 0, 0);
  EXPECT_EQ(DocumentText(), "ABC");
  EXPECT_EQ(engine.EditCommand(WPC_CAN_UNDO, 0, 0), 1);
}

TEST_F(WpCtrlEditTest, ANewDocumentForgetsWhatThePreviousOneCouldUndoAndRedo) {
  Type("SECRET");
  engine.EditCommand(WPC_MOVE_EXTEND, kMoveDocumentStart, kCharacterWise);
  engine.EditCommand(WPC_DELETE, 1, 0);
  Type("X");
  engine.EditCommand(WPC_UNDO, 0, 0);
  ASSERT_EQ(engine.EditCommand(WPC_CAN_REDO, 0, 0), 1);

  ASSERT_EQ(engine.DocumentCommand(WPC_NEW_DOCUMENT, 0, nullptr), kWpcOk);
  EXPECT_EQ(engine.EditCommand(WPC_CAN_UNDO, 0, 0), 0);
  EXPECT_EQ(engine.EditCommand(WPC_CAN_REDO, 0, 0), 0);
  engine.EditCommand(WPC_UNDO, 0, 0);
  EXPECT_EQ(DocumentText(), "");
  engine.EditCommand(WPC_REDO, 0, 0);
  EXPECT_EQ(DocumentText(), "");
}

// Unix and old Macintosh line ends end a paragraph as CR LF does, in a
// plain-text file and in typed text alike; the document then saves and
// reads back as it is.
TEST_F(WpCtrlEditTest, EveryKindOfLineEndInPlainTextEndsAParagraph) {
  struct Case {
    std::string text;
    std::string document;
  };
  const Case cases[] = {
      {"one\ntwo", "one\r\ntwo"},     {"one\rtwo", "one\r\ntwo"}, {"one\r\ntwo", "one\r\ntwo"},
      {"a\n\nb\n", "a\r\n\r\nb\r\n"}, {"a\r\n\nb", "a\r\n\r\nb"},
  };
  for (const Case& c : cases) {
    std::string bytes = c.text;
    platform::CMemFile file(reinterpret_cast<uint8_t*>(bytes.data()), bytes.size());
    platform::CArchive archive(&file, platform::CArchive::kLoad);
    ASSERT_EQ(engine.DocumentCommand(WPC_LOAD_DOCUMENT, CDocBunsObj::kStreamPlainText, &archive),
              kWpcOk)
        << c.text;
    EXPECT_EQ(DocumentText(), c.document) << c.text;

    const std::vector<uint8_t> saved = Content();
    platform::CMemFile out;
    {
      platform::CArchive writing(&out, platform::CArchive::kStore);
      ASSERT_EQ(engine.DocumentCommand(WPC_SAVE_DOCUMENT, kLoadHeader, &writing), kWpcOk);
      writing.Close();
    }
    std::vector<uint8_t> copy(out.Data(), out.Data() + out.GetLength());
    platform::CMemFile in(copy.data(), copy.size());
    platform::CArchive reading(&in, platform::CArchive::kLoad);
    ASSERT_EQ(engine.DocumentCommand(WPC_LOAD_DOCUMENT, kLoadHeader, &reading), kWpcOk) << c.text;
    EXPECT_EQ(Content(), saved) << c.text;

    engine.DocumentCommand(WPC_NEW_DOCUMENT, 0, nullptr);
    Type(c.text.c_str());
    EXPECT_EQ(DocumentText(), c.document) << c.text;
    engine.DocumentCommand(WPC_NEW_DOCUMENT, 0, nullptr);
    Type("xxxxxxxxxx");
    engine.EditCommand(WPC_MOVE, kMoveDocumentStart, 1);
    TypeOver(c.text.c_str());
    EXPECT_EQ(DocumentText().substr(0, c.document.size()), c.document) << c.text;
    engine.DocumentCommand(WPC_NEW_DOCUMENT, 0, nullptr);
  }
}

TEST_F(WpCtrlEditTest, AnEditWithDirectionZeroRecordsNothing) {
  engine.EditCommand(WPC_INSERT_TEXT, 0, Text("AB"));
  EXPECT_EQ(DocumentText(), "AB");
  EXPECT_EQ(engine.EditCommand(WPC_CAN_UNDO, 0, 0), 0);
}

TEST_F(WpCtrlEditTest, AMoveRepeatsOnlyWhereACountMeansSomething) {
  Type("ABCDEFGH");
  engine.EditCommand(WPC_MOVE, kMoveLineStart, 1);
  struct Case {
    int code;
    intptr_t count;
    int32_t column;
  };
  const Case cases[] = {
      {kMoveNextChar, 0, 2},
      {kMoveNextChar, 3, 5},
      {kMovePrevChar, 2, 3},
      {kMoveLineEnd, 3, 9},
  };
  for (const Case& c : cases) {
    window.Clear();
    engine.EditCommand(WPC_MOVE, c.code, c.count);
    EXPECT_EQ(Location().caret.column, c.column) << c.code << " x" << c.count;
    EXPECT_EQ(window.Count(WM_WPC_CARETMOVED), 1u) << "one caret message, whatever the count";
    EXPECT_EQ(window.Count(WM_WPC_CONTENTCHANGED), 0u);
  }
}

TEST_F(WpCtrlEditTest, ACaretMoveRecordsNoUndoStep) {
  engine.EditCommand(WPC_INSERT_TEXT, 0, Text("ABC"));
  engine.EditCommand(WPC_MOVE, kMovePrevChar, 1);
  EXPECT_EQ(engine.EditCommand(WPC_CAN_UNDO, 0, 0), 0);
}

TEST_F(WpCtrlEditTest, TextGettersCopyIntoTheCallersBufferWithoutSplittingACharacter) {
  // Ａ (0x82 0x60) then B.
  Type(
      "\x82\x60"
      "B");
  engine.EditCommand(WPC_MOVE, kMoveLineStart, 1);
  engine.EditCommand(WPC_MOVE_EXTEND, kMoveLineEnd, 1);
  char buffer[8];
  std::memset(buffer, 'x', sizeof(buffer));
  engine.EditCommand(WPC_GET_RANGE_TEXT, sizeof(buffer), reinterpret_cast<intptr_t>(buffer));
  EXPECT_STREQ(buffer,
               "\x82\x60"
               "B");
  char tiny[3];
  std::memset(tiny, 'x', sizeof(tiny));
  engine.EditCommand(WPC_GET_RANGE_TEXT, sizeof(tiny), reinterpret_cast<intptr_t>(tiny));
  EXPECT_STREQ(tiny, "\x82\x60");
  char two[2];
  std::memset(two, 'x', sizeof(two));
  engine.EditCommand(WPC_GET_RANGE_TEXT, sizeof(two), reinterpret_cast<intptr_t>(two));
  EXPECT_STREQ(two, "") << "half a character is never handed out";
}

TEST_F(WpCtrlEditTest, FindSelectsTheMatchWhenAskedAndSearchesBackwardsWithBitFour) {
  Type("ABCABC");
  engine.EditCommand(WPC_MOVE, kMoveDocumentStart, 1);
  EXPECT_NE(engine.EditCommand(WPC_FIND, 0x2, Text("BC")), 0);
  EXPECT_EQ(engine.EditCommand(WPC_HAS_SELECTION, 0, 0), 1);
  EXPECT_EQ(Location().caret.column, 3) << "a match ends on its last character";
  engine.EditCommand(WPC_MOVE, kMoveDocumentEnd, 1);
  EXPECT_NE(engine.EditCommand(WPC_FIND, 0x4, Text("AB")), 0);
  EXPECT_EQ(engine.EditCommand(WPC_HAS_SELECTION, 0, 0), 0);
  EXPECT_EQ(engine.EditCommand(WPC_FIND, 0, Text("")), 0);
}

TEST_F(WpCtrlEditTest, FindTakesTheMatchAtTheCaretAndFindNextMovesOnFromIt) {
  Type("abab");
  engine.EditCommand(WPC_MOVE, kMoveDocumentStart, 1);
  EXPECT_NE(engine.EditCommand(WPC_FIND, 0, Text("a")), 0);
  EXPECT_EQ(Location().caret.column, 1) << "a new search includes the caret's character";
  EXPECT_NE(engine.EditCommand(WPC_FIND_NEXT, 0, Text("a")), 0);
  EXPECT_EQ(Location().caret.column, 3) << "searching on never finds the same match again";
  EXPECT_EQ(engine.EditCommand(WPC_FIND_NEXT, 0, Text("a")), 0);
  EXPECT_EQ(Location().caret.column, 3);
}

TEST_F(WpCtrlEditTest, SavingAndLoadingKeepContentStyleAndCaret) {
  Type("ABC\rDEF");
  platform::CMemFile file;
  {
    platform::CArchive archive(&file, platform::CArchive::kStore);
    ASSERT_EQ(engine.DocumentCommand(WPC_SAVE_DOCUMENT, kLoadHeader, &archive), kWpcOk);
    archive.Close();
  }
  EXPECT_EQ(engine.EditCommand(WPC_IS_MODIFIED, 0, 0), 0);
  const std::vector<uint8_t> saved(file.Data(), file.Data() + file.GetLength());

  engine.DocumentCommand(WPC_CLEAR_DOCUMENT, 0, nullptr);
  EXPECT_EQ(DocumentText(), "");
  std::vector<uint8_t> copy = saved;
  platform::CMemFile in(copy.data(), copy.size());
  platform::CArchive archive(&in, platform::CArchive::kLoad);
  window.Clear();
  ASSERT_EQ(engine.DocumentCommand(WPC_LOAD_DOCUMENT, kLoadHeader | kLoadRestoreCaret, &archive),
            kWpcOk);
  EXPECT_EQ(DocumentText(), "ABC\r\nDEF");
  EXPECT_EQ(Location().caret, (PageLineColumn{1, 2, 4}));
  EXPECT_EQ(window.Notifications(), (Messages{WM_WPC_CONTENTCHANGED, WM_WPC_CARETMOVED}));
  EXPECT_EQ(engine.EditCommand(WPC_CAN_UNDO, 0, 0), 0);
  DocStyle style;
  engine.StyleCommand(WPC_GET_APPLIED_DOCSTYLE, nullptr, &style);
  EXPECT_EQ(style.charPitch, TestStyle().charPitch);
}

// Full-width text with the caret before its third character, saved and
// opened again: the caret comes back where it was every time.
TEST_F(WpCtrlEditTest, TheStoredCaretReopensWhereItWasAfterFullWidthText) {
  Type("\x82\xA0\x82\xA2\x82\xA4\x82\xA6\x82\xA8");  // あいうえお
  engine.EditCommand(WPC_MOVE, kMoveLineStart, 1);
  engine.EditCommand(WPC_MOVE, kMoveNextChar, 2);
  const PageLineColumn before = Location().caret;
  for (int round = 0; round < 3; ++round) {
    platform::CMemFile file;
    {
      platform::CArchive archive(&file, platform::CArchive::kStore);
      ASSERT_EQ(engine.DocumentCommand(WPC_SAVE_DOCUMENT, kLoadHeader, &archive), kWpcOk);
      archive.Close();
    }
    std::vector<uint8_t> saved(file.Data(), file.Data() + file.GetLength());
    // Page 1, line 1, the third character.
    const std::vector<uint8_t> caret = {1, 0, 0, 0, 1, 0, 0, 0, 3, 0, 0, 0};
    ASSERT_GE(saved.size(), 764u);
    EXPECT_EQ(std::vector<uint8_t>(saved.begin() + 752, saved.begin() + 764), caret) << round;
    platform::CMemFile in(saved.data(), saved.size());
    platform::CArchive archive(&in, platform::CArchive::kLoad);
    ASSERT_EQ(engine.DocumentCommand(WPC_LOAD_DOCUMENT, kLoadHeader | kLoadRestoreCaret, &archive),
              kWpcOk);
    EXPECT_EQ(Location().caret, before) << round;
  }
}

// A file that cannot take the whole document, as a full disk would: the
// save fails and the document is still unsaved, so that closing it asks.
TEST_F(WpCtrlEditTest, ASaveThatCannotBeWrittenLeavesTheDocumentModified) {
  Type("ABC\rDEF");
  ASSERT_EQ(engine.EditCommand(WPC_IS_MODIFIED, 0, 0), 1);
  std::vector<uint8_t> room(64);
  platform::CMemFile full(room.data(), room.size());
  platform::CArchive archive(&full, platform::CArchive::kStore);
  EXPECT_EQ(engine.DocumentCommand(WPC_SAVE_DOCUMENT, kLoadHeader, &archive), kWpcStreamFailed);
  EXPECT_EQ(engine.EditCommand(WPC_IS_MODIFIED, 0, 0), 1);
}

TEST_F(WpCtrlEditTest, ALoadWithTheWrongArchiveDirectionIsRefusedAndTheMaskIsKept) {
  platform::CMemFile file;
  platform::CArchive storing(&file, platform::CArchive::kStore);
  EXPECT_EQ(engine.DocumentCommand(WPC_LOAD_DOCUMENT, kLoadHeader, &storing), kWpcWrongDirection);
  std::vector<uint8_t> garbage(40, 0x55);
  platform::CMemFile bad(garbage.data(), garbage.size());
  platform::CArchive loading(&bad, platform::CArchive::kLoad);
  EXPECT_EQ(engine.DocumentCommand(WPC_LOAD_DOCUMENT, kLoadHeader, &loading), kWpcBadSignature);
  EXPECT_EQ(engine.NotifyCommand(WPC_GET_NOTIFY_MASK, 0), -1)
      << "a failed load gives the window its messages back";
}

// A one-column table two characters wide: forty double-byte characters in
// its cell make a line taller than the twenty-line page.
class OversizeTest : public WpCtrlEditTest {
 protected:
  OversizeTest() {
    EXPECT_NE(engine.TableCommand(WPC_CREATE_TABLE, 1, (1 << 16) | 1), 0);
    EXPECT_NE(engine.TableCommand(WPC_SET_COLUMN_WIDTH, 1, 2), 0);
    EXPECT_EQ(engine.TableCommand(WPC_GET_TABLE_ROWS, 0, 0), 1);
  }

  static std::string TallText() {
    std::string text;
    for (int i = 0; i < 2 * kStyleLinesPerPage; ++i) text += "\x82\xA0";
    return text;
  }
};

TEST_F(OversizeTest, AnEditThatMakesATableLineTallerThanAPageIsTakenBack) {
  const std::string before = DocumentText();
  const bool couldUndo = engine.EditCommand(WPC_CAN_UNDO, 0, 0) != 0;
  engine.EditCommand(WPC_INSERT_TEXT, 1, Text(TallText().c_str()));
  EXPECT_EQ(DocumentText(), before);
  EXPECT_EQ(engine.EditCommand(WPC_CAN_REDO, 0, 0), 0) << "taking it back records no redo";
  EXPECT_EQ(engine.EditCommand(WPC_CAN_UNDO, 0, 0) != 0, couldUndo);
}

TEST_F(OversizeTest, AnOversizedEditThatRecordedNothingUndoesNoEarlierStep) {
  const std::string typed = "\x82\xA2";
  Type(typed.c_str());
  engine.EditCommand(WPC_INSERT_TEXT, 0, Text(TallText().c_str()));
  EXPECT_NE(DocumentText().find(typed), std::string::npos)
      << "the earlier typing stays: only this edit's own step could be taken back";
  EXPECT_EQ(engine.EditCommand(WPC_CAN_UNDO, 0, 0), 1);
}

// A saved document to load over the one being edited.
class LoadOverTest : public WpCtrlEditTest {
 protected:
  LoadOverTest() {
    Type("ABC\rDEF");
    saved = Save();
    Type("X");
    window.Clear();
  }

  std::vector<uint8_t> Save() {
    platform::CMemFile file;
    platform::CArchive archive(&file, platform::CArchive::kStore);
    EXPECT_EQ(engine.DocumentCommand(WPC_SAVE_DOCUMENT, kLoadHeader, &archive), kWpcOk);
    archive.Close();
    return std::vector<uint8_t>(file.Data(), file.Data() + file.GetLength());
  }

  int Load(std::vector<uint8_t> bytes) {
    platform::CMemFile file(bytes.data(), bytes.size());
    platform::CArchive archive(&file, platform::CArchive::kLoad);
    return engine.DocumentCommand(WPC_LOAD_DOCUMENT, kLoadHeader, &archive);
  }

  std::vector<uint8_t> saved;
};

TEST_F(LoadOverTest, ALoadThatFailsPartWayLeavesThePreviousDocumentAsItWas) {
  const std::string before = DocumentText();
  const LocationRecord caret = Location();
  std::vector<uint8_t> cut(saved.begin(), saved.end() - 6);
  EXPECT_NE(Load(cut), kWpcOk);
  EXPECT_EQ(DocumentText(), before);
  EXPECT_EQ(Location().caret, caret.caret);
  EXPECT_EQ(engine.EditCommand(WPC_IS_MODIFIED, 0, 0), 1);
  EXPECT_EQ(engine.EditCommand(WPC_CAN_UNDO, 0, 0), 1) << "the history still fits the document";
  EXPECT_EQ(engine.NotifyCommand(WPC_GET_NOTIFY_MASK, 0), -1);
  EXPECT_EQ(Load(saved), kWpcOk);
  EXPECT_EQ(DocumentText(), "ABC\r\nDEF");
}

// The previous document comes back whole, a table in it too, whether the
// load failed in its content or before it cleared anything.
TEST_F(LoadOverTest, ARefusedLoadLeavesTheCaretInFullWidthTextWhereItWas) {
  Type("\x82\xA0\x82\xA2\x82\xA4");  // あいう
  engine.EditCommand(WPC_MOVE, kMovePrevChar, 1);
  const PageLineColumn before = Location().caret;
  EXPECT_NE(Load(std::vector<uint8_t>(saved.begin(), saved.end() - 6)), kWpcOk);
  EXPECT_EQ(Location().caret, before);
}

TEST_F(LoadOverTest, AFailedLoadGivesBackThePreviousDocumentAsItWouldBeSaved) {
  ASSERT_NE(engine.TableCommand(WPC_CREATE_TABLE, 1, (2 << 16) | 2), 0);
  Type("\x82\xA0");
  const std::vector<uint8_t> before = Save();
  EXPECT_NE(Load(std::vector<uint8_t>(saved.begin(), saved.end() - 6)), kWpcOk);
  EXPECT_EQ(Save(), before);
  EXPECT_EQ(Load(std::vector<uint8_t>(40, 0x55)), kWpcBadSignature);
  EXPECT_EQ(Save(), before);
}

// The table's first row starts the first page, so a page is anchored in
// the content the load sets aside and then drops after the new pages.
TEST_F(LoadOverTest, ALoadOverATableThatStartsAPageDropsItWhole) {
  engine.EditCommand(WPC_MOVE, kMoveDocumentStart, 1);
  ASSERT_NE(engine.TableCommand(WPC_CREATE_TABLE, 1, (2 << 16) | 2), 0);
  EXPECT_EQ(Load(saved), kWpcOk);
  EXPECT_EQ(DocumentText(), "ABC\r\nDEF");
  EXPECT_EQ(engine.EditCommand(WPC_GET_PAGE_COUNT, 0, 0), 1);
}

TEST_F(LoadOverTest, AFileWhoseStyleIsRefusedLeavesTheAppliedStyle) {
  DocStyle good;
  engine.StyleCommand(WPC_GET_APPLIED_DOCSTYLE, nullptr, &good);
  DocStyle unusable = good;
  unusable.charPitch = 0;
  const DocStyleBytes goodBytes = EncodeDocStyle(good);
  const DocStyleBytes badBytes = EncodeDocStyle(unusable);
  std::vector<uint8_t> bytes = saved;
  auto at = std::search(bytes.begin(), bytes.end(), goodBytes.begin(), goodBytes.end());
  ASSERT_NE(at, bytes.end());
  std::copy(badBytes.begin(), badBytes.end(), at);
  const std::string before = DocumentText();
  EXPECT_EQ(Load(bytes), kWpcFormatRefused);
  EXPECT_EQ(DocumentText(), before);
  DocStyle applied;
  engine.StyleCommand(WPC_GET_APPLIED_DOCSTYLE, nullptr, &applied);
  EXPECT_EQ(applied.charPitch, good.charPitch);
}

}  // namespace
}  // namespace doc_root_test
