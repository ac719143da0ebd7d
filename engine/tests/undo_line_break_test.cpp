// Edits of a selection at the start of a line whose next character may
// not start a line: the edit breaks the lines anew, and its undo must
// still give back exactly the text it started from, and its redo the edit.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "undo_series.h"

namespace doc_root_test {
namespace {

// "本文の一行目は四十文字の長さがあり、ここで折り返して次の行へと続いて
// いく文章でする。続き": on the default page the full stop may not start
// the second line, so "る" goes along with it, and the second line reads
// "る。続き".
constexpr char kWrappedText[] =
    "\x96\x7B\x95\xB6\x82\xCC\x88\xEA\x8D\x73\x96\xDA\x82\xCD\x8E\x6C\x8F\x5C\x95\xB6\x8E\x9A"
    "\x82\xCC\x92\xB7\x82\xB3\x82\xAA\x82\xA0\x82\xE8\x81\x41\x82\xB1\x82\xB1\x82\xC5\x90\xDC"
    "\x82\xE8\x95\xD4\x82\xB5\x82\xC4\x8E\x9F\x82\xCC\x8D\x73\x82\xD6\x82\xC6\x91\xB1\x82\xA2"
    "\x82\xC4\x82\xA2\x82\xAD\x95\xB6\x8F\xCD\x82\xC5\x82\xB7";
constexpr char kPulledAlong[] = "\x82\xE9";                 // る
constexpr char kRestOfText[] = "\x81\x42\x91\xB1\x82\xAB";  // 。続き
constexpr char kHiraganaA[] = "\x82\xA0";                   // あ

class UndoLineBreakTest : public WpCtrlFixture {
 protected:
  UndoLineBreakTest() {
    DocStyle style = DefaultPageStyle();
    engine.StyleCommand(WPC_SET_DOCSTYLE, nullptr, &style);
    engine.DocumentCommand(WPC_NEW_DOCUMENT, 0, nullptr);
  }

  void LoadPlainText(std::string text) {
    platform::CMemFile file(reinterpret_cast<uint8_t*>(text.data()), text.size());
    platform::CArchive archive(&file, platform::CArchive::kLoad);
    ASSERT_EQ(engine.DocumentCommand(WPC_LOAD_DOCUMENT, CDocBunsObj::kStreamPlainText, &archive),
              kWpcOk);
  }

  // Selects the first character of a line, as a user going to the line
  // and extending by one character does; false when the document has no
  // such line.
  bool SelectLineStart(int32_t page, int32_t line, int characters = 1) {
    PageLineColumn place{page, line, 1};
    engine.EditCommand(WPC_GOTO, 0, Pointer(&place));
    if (Location().caret != place) return false;
    for (int i = 0; i < characters; ++i) {
      engine.EditCommand(WPC_MOVE_EXTEND, kMoveNextChar, kCharacterWise);
    }
    return true;
  }

  std::string SelectedText() {
    char buffer[kTextBuffer] = {};
    engine.EditCommand(WPC_GET_RANGE_TEXT, sizeof buffer, Pointer(buffer));
    return buffer;
  }

  // The lines of the first pages whose second character may not start a
  // line: the line breaking kept it with the first one.
  std::vector<PageLineColumn> LinesBeforeAStartForbiddenCharacter(int32_t pages) {
    std::vector<PageLineColumn> found;
    for (int32_t page = 1; page <= pages; ++page) {
      for (int32_t line = 1; line <= kDefaultPageLines; ++line) {
        if (!SelectLineStart(page, line, 2)) continue;
        const std::string two = SelectedText();
        engine.EditCommand(WPC_CLEAR_SELECTION, 0, 0);
        if (two.find('\r') != std::string::npos || two.size() < 2) continue;
        const size_t first = platform::CharLengthAt(two, 0);
        if (MayNotStartALine(two.substr(first))) found.push_back({page, line, 1});
      }
    }
    return found;
  }

  static bool MayNotStartALine(const std::string& character) {
    const std::string_view list = text_test::kStartList;
    for (size_t at = 0; at < list.size(); at += platform::CharLengthAt(list, at)) {
      if (list.substr(at, platform::CharLengthAt(list, at)) == character) return true;
    }
    return false;
  }

  static constexpr size_t kTextBuffer = 64;
};

struct SelectionEdit {
  const char* name;
  std::function<void(CVedWpCtrl&)> edit;
  std::string replacement;  // what stands where the selection stood
};

const SelectionEdit kSelectionEdits[] = {
    {"typing a letter",
     [](CVedWpCtrl& engine) {
       engine.EditCommand(WPC_INSERT_TEXT, 1, reinterpret_cast<intptr_t>("x"));
     },
     "x"},
    {"typing a double-byte letter",
     [](CVedWpCtrl& engine) {
       engine.EditCommand(WPC_INSERT_TEXT, 1, reinterpret_cast<intptr_t>(kHiraganaA));
     },
     kHiraganaA},
    {"replacing the selection",
     [](CVedWpCtrl& engine) {
       engine.EditCommand(WPC_REPLACE_SELECTION, 1, reinterpret_cast<intptr_t>("x"));
     },
     "x"},
    {"replacing the selection with a double-byte letter",
     [](CVedWpCtrl& engine) {
       engine.EditCommand(WPC_REPLACE_SELECTION, 1, reinterpret_cast<intptr_t>(kHiraganaA));
     },
     kHiraganaA},
    {"deleting", [](CVedWpCtrl& engine) { engine.EditCommand(WPC_DELETE, 1, 0); }, ""},
    {"deleting backwards", [](CVedWpCtrl& engine) { engine.EditCommand(WPC_BACKSPACE, 1, 0); }, ""},
    {"cutting", [](CVedWpCtrl& engine) { engine.EditCommand(WPC_CUT, 1, 0); }, ""},
};

TEST_F(UndoLineBreakTest, AnEditOfALinesFirstCharacterBeforeAFullStopIsTakenBackExactly) {
  const std::string start = std::string(kWrappedText) + kPulledAlong + kRestOfText;
  for (const SelectionEdit& c : kSelectionEdits) {
    SCOPED_TRACE(c.name);
    LoadPlainText(start);
    ASSERT_EQ(engine.EditCommand(WPC_CAN_UNDO, 0, 0), 0);
    const std::vector<uint8_t> original = Content();
    SelectLineStart(1, 2);
    c.edit(engine);
    const std::string edited = std::string(kWrappedText) + c.replacement + kRestOfText;
    ASSERT_EQ(DocumentText(), edited);
    const std::vector<uint8_t> editedContent = Content();

    engine.EditCommand(WPC_UNDO, 0, 0);
    EXPECT_EQ(DocumentText(), start);
    EXPECT_EQ(Content(), original);
    EXPECT_EQ(engine.EditCommand(WPC_CAN_UNDO, 0, 0), 0);
    engine.EditCommand(WPC_REDO, 0, 0);
    EXPECT_EQ(DocumentText(), edited);
    EXPECT_EQ(Content(), editedContent);
  }
}

// On long text the same holds wherever a line starts with a character
// that the next one may not be parted from.
TEST_F(UndoLineBreakTest, OnLongTextEveryEditOfSuchALinesFirstCharacterIsTakenBackExactly) {
  constexpr uint32_t kSeed = 7;
  constexpr uint32_t kCharacters = 6000;
  constexpr int32_t kPages = 3;
  LoadPlainText(LongJapaneseText(kSeed).Make(kCharacters));
  const std::vector<uint8_t> original = Content();
  const size_t originalLength = DocumentText().size();
  const std::vector<PageLineColumn> places = LinesBeforeAStartForbiddenCharacter(kPages);
  ASSERT_GE(places.size(), 10u);
  for (const PageLineColumn& place : places) {
    for (const SelectionEdit& c : kSelectionEdits) {
      SCOPED_TRACE(::testing::Message()
                   << c.name << " at page " << place.page << ", line " << place.line);
      ASSERT_TRUE(SelectLineStart(place.page, place.line));
      const std::string selected = SelectedText();
      c.edit(engine);
      ASSERT_EQ(DocumentText().size(), originalLength - selected.size() + c.replacement.size());
      const std::vector<uint8_t> edited = Content();
      engine.EditCommand(WPC_UNDO, 0, 0);
      ASSERT_EQ(Content(), original);
      engine.EditCommand(WPC_REDO, 0, 0);
      ASSERT_EQ(Content(), edited);
      engine.EditCommand(WPC_UNDO, 0, 0);
      ASSERT_EQ(Content(), original);
    }
  }
}

// Short series on the long text of their seed, each cut down from a longer
// one that went wrong: marks typed into a long paragraph squeeze beside
// the punctuation next to them, and undo and redo find their places again
// by the caret's point, which must hit the cell drawn there.
struct CutDownSeries {
  const char* name;
  uint32_t seed;
  std::vector<Action> actions;
};

Action GoTo(int32_t page, int32_t line) {
  Action action{Action::kGoTo};
  action.place = {page, line, 1};
  return action;
}

Action Typing(std::string text) { return {Action::kType, std::move(text)}; }

Action Moving(int code, uint32_t times) {
  Action action{Action::kMove};
  action.code = code;
  action.times = times;
  return action;
}

const CutDownSeries kCutDownSeries[] = {
    {"marks typed after a line end moved to",
     242,
     {GoTo(3, 37),
      Typing(kHiraganaA),
      {Action::kBackspace},
      Moving(kMoveLineEnd, 3),
      Typing(std::string(kOpenQuote) + "b" + kComma),
      Typing(kFullStop),
      Typing(std::string(kFullStop) + "\r\r")}},
    {"an opening quote typed where characters were deleted",
     341,
     {GoTo(10, 20),
      {Action::kDelete},
      {Action::kBackspace},
      {Action::kDelete},
      Typing(std::string(kOpenQuote) + kHiraganaA),
      Typing("b")}},
};

using UndoCutDownSeriesTest = UndoSeriesFixture;

TEST_F(UndoCutDownSeriesTest, LongTextSeriesUndoToTheStartAndRedoToTheEnd) {
  for (const CutDownSeries& c : kCutDownSeries) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Check(c.actions, SeriesKind::kLongText, c.seed), Verdict::kHolds);
  }
}

}  // namespace
}  // namespace doc_root_test
