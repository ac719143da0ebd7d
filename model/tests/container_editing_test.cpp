#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <deque>
#include <numeric>
#include <string>
#include <vector>

#include "container_fixture.h"
#include "model/table_operations.h"
#include "model/text_navigator.h"
#include "model/text_object.h"

namespace container_test {
namespace {

using ::testing::ElementsAre;

// A one-line text child: the line of 330 twips and its gap of 20.
constexpr int32_t kOneLine = kLinePitch;
// Ten wide characters a line: twenty single bytes fill one.
constexpr char kFullLine[] = "abcdefghijklmnopqrst";
constexpr int kBackspace = 2;
constexpr int kDelete = 1;

// The child a container path names, or -1 when it names none.
int32_t ChildOf(const CVedTextPos& path) {
  if (path.depth < 2 || path.pairs.front().tag != kTagChildIndex) return -1;
  return path.pairs.front().value;
}

int32_t Sum(const std::vector<int32_t>& v) { return std::accumulate(v.begin(), v.end(), 0); }

// Container paths to places reached by moves from a child's start, kept
// alive for the test.
class PathKeeper {
 protected:
  explicit PathKeeper(ContainerFixture& fixture) : fixture_(fixture) {}

  const CVedTextPos* P(int32_t index, int command, int steps = 1) {
    paths_.push_back(fixture_.PathIn(index, command, steps));
    return &paths_.back();
  }

 private:
  ContainerFixture& fixture_;
  std::deque<CVedTextPos> paths_;
};

// Three one-line text children, the cursor in the middle one at its end.
class ThreeTexts : public ::testing::Test, public PathKeeper {
 protected:
  ThreeTexts() : PathKeeper(f) {
    f.TypeIntoFirst("abc");
    f.InsertText("def");
    f.InsertText("ghi");
    f.PlaceCursor(1, kMoveDocumentEnd);
  }

  ContainerFixture f;
};

TEST_F(ThreeTexts, TypingReportsPathsInTheCursorChildAndRecordsItsGrowth) {
  EditResult result;
  ASSERT_GT(f.container.InsertText(kFullLine, &result), 0);
  EXPECT_EQ(ChildOf(result.rangeStart), 1);
  EXPECT_EQ(ChildOf(result.rangeEnd), 1);
  EXPECT_EQ(ChildOf(result.newCursor), 1);
  EXPECT_EQ(result.heightDelta, kOneLine);
  EXPECT_THAT(f.Texts(), ElementsAre("abc", std::string("def") + kFullLine, "ghi"));
  EXPECT_EQ(f.Heights(), f.MeasuredHeights());
  EXPECT_EQ(f.Heights()[1], 2 * kOneLine);
}

TEST_F(ThreeTexts, BackspaceDeletesInTheCursorChild) {
  EditResult result;
  ASSERT_GT(f.container.DeleteChar(kBackspace, &result), 0);
  EXPECT_THAT(f.Texts(), ElementsAre("abc", "de", "ghi"));
  EXPECT_EQ(ChildOf(result.newCursor), 1);
}

TEST_F(ThreeTexts, DeleteInAnEmptyChildRemovesItAndJoinsTheTextsAround) {
  ContainerFixture g;
  g.TypeIntoFirst("abc");
  g.InsertText("");
  g.InsertText("def");
  g.container.Children().SetCursor(1);
  const int32_t before = Sum(g.Heights());
  EditResult result;
  ASSERT_GT(g.container.DeleteChar(kDelete, &result), 0);
  // Joined texts keep the first one's end as a paragraph break.
  EXPECT_THAT(g.Texts(), ElementsAre("abc\r\ndef"));
  EXPECT_EQ(result.heightDelta, Sum(g.Heights()) - before);
  EXPECT_EQ(result.heightDelta, -kOneLine);
  EXPECT_EQ(ChildOf(result.newCursor), 0);
  EXPECT_EQ(ChildOf(result.rangeStart), 0);
  EXPECT_EQ(g.Heights(), g.MeasuredHeights());
}

TEST_F(ThreeTexts, DeletingARangeOverThreeChildrenLeavesOneJoinedText) {
  const int32_t before = Sum(f.Heights());
  EditResult result;
  // A text range takes in the character at its end.
  const CVedTextPos* from = P(0, kMoveNextChar, 1);  // at b
  const CVedTextPos* to = P(2, kMoveNextChar, 1);    // at h
  // The ends may come in either order.
  ASSERT_GT(f.container.DeleteRange(to, from, &result), 0);
  EXPECT_THAT(f.Texts(), ElementsAre("a\r\ni"));
  EXPECT_EQ(result.heightDelta, Sum(f.Heights()) - before);
  EXPECT_EQ(result.heightDelta, -kOneLine);
  EXPECT_EQ(ChildOf(result.rangeStart), 0);
  EXPECT_EQ(ChildOf(result.newCursor), 0);
  EXPECT_EQ(f.Heights(), f.MeasuredHeights());
}

TEST_F(ThreeTexts, DeletingAWholeMiddleChildRemovesItAndJoinsItsNeighbours) {
  EditResult result;
  ASSERT_GT(f.container.DeleteRange(P(1, kMoveDocumentStart), P(1, kMoveDocumentEnd), &result), 0);
  EXPECT_THAT(f.Texts(), ElementsAre("abc\r\nghi"));
  EXPECT_EQ(result.heightDelta, -kOneLine);
  EXPECT_EQ(ChildOf(result.newCursor), 0);
}

TEST_F(ThreeTexts, TheKeptStartStaysEmptiedInItsPlace) {
  f.container.SetKeepEmptiedStart(1);
  EditResult result;
  ASSERT_GT(f.container.DeleteRange(P(1, kMoveDocumentStart), P(1, kMoveDocumentEnd), &result), 0);
  EXPECT_THAT(f.Texts(), ElementsAre("abc", "", "ghi"));
  EXPECT_EQ(ChildOf(result.rangeStart), 1);
  EXPECT_EQ(ChildOf(result.newCursor), 1);
}

TEST_F(ThreeTexts, APathThatNamesNoChildChangesNothing) {
  CVedTextPos stray = f.PathIn(0, kMoveDocumentEnd);
  stray.pairs.front().value = 7;
  CVedTextPos wrongTag = f.PathIn(0, kMoveDocumentEnd);
  wrongTag.pairs.front().tag = kTagFreeCursor;
  for (const CVedTextPos* bad : {&stray, &wrongTag}) {
    EditResult result;
    EXPECT_EQ(f.container.DeleteRange(nullptr, bad, &result), 0);
    EXPECT_EQ(result.changed, 0);
    CharFormat font;
    EXPECT_EQ(f.container.GetCharFont(&font, bad, nullptr), 0);
  }
  EXPECT_THAT(f.Texts(), ElementsAre("abc", "def", "ghi"));
}

TEST_F(ThreeTexts, AttributesOverSeveralChildrenPrefixEachSideWithItsOwnChild) {
  CharFormat big;
  big.size = 240;
  big.mask = kMaskSize;
  EditResult result;
  ASSERT_GT(f.container.SetCharFont(&big, P(0, kMoveNextChar, 1), P(1, kMoveNextChar, 1), &result),
            0);
  EXPECT_EQ(ChildOf(result.rangeStart), 0);
  EXPECT_EQ(ChildOf(result.rangeEnd), 1);
  EXPECT_EQ(ChildOf(result.newCursor), 1);
  EXPECT_EQ(result.heightDelta, Sum(f.Heights()) - 3 * kOneLine);
  EXPECT_EQ(f.Heights(), f.MeasuredHeights());
}

TEST_F(ThreeTexts, AttributesInOneChildFinishInThatChild) {
  CharFormat bold;
  bold.bold = 1;
  bold.mask = kMaskBold;
  EditResult result;
  ASSERT_GT(
      f.container.SetCharFont(&bold, P(2, kMoveDocumentStart), P(2, kMoveDocumentEnd), &result), 0);
  EXPECT_EQ(ChildOf(result.rangeStart), 2);
  EXPECT_EQ(ChildOf(result.newCursor), 2);
}

// What the range query over two children keeps of a field that differs
// in the second one.
struct FontDifference {
  const char* name;
  void (*change)(CharFormat*);
  int32_t lost;  // the one mask bit the query must clear
};

class RangeFontQuery : public ThreeTexts, public ::testing::WithParamInterface<FontDifference> {};

TEST_P(RangeFontQuery, ClearsOnlyTheBitOfTheDifferingField) {
  CharFormat change;
  GetParam().change(&change);
  change.mask = GetParam().lost;
  EditResult result;
  f.container.SetCharFont(&change, P(1, kMoveDocumentStart), P(1, kMoveDocumentEnd), &result);
  CharFormat common;
  common.mask = kMaskEveryField;
  ASSERT_EQ(f.container.GetCharFont(&common, P(0, kMoveDocumentStart), P(1, kMoveNextChar, 2)), 1);
  EXPECT_EQ(common.mask & kMaskCharFormatAll, kMaskCharFormatAll & ~GetParam().lost);
}

INSTANTIATE_TEST_SUITE_P(
    Fields, RangeFontQuery,
    ::testing::Values(FontDifference{"Face",
                                     [](CharFormat* c) {
                                       std::strcpy(c->face, platform::kSyntheticProportionalFace);
                                     },
                                     kMaskFace},
                      FontDifference{"Size", [](CharFormat* c) { c->size = 240; }, kMaskSize},
                      FontDifference{"HeightScale", [](CharFormat* c) { c->heightScale = 200; },
                                     kMaskHeightScale},
                      FontDifference{"WidthScale", [](CharFormat* c) { c->widthScale = 50; },
                                     kMaskWidthScale},
                      FontDifference{"Bold", [](CharFormat* c) { c->bold = 1; }, kMaskBold}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ThreeTexts, ParagraphQueryOverChildrenKeepsCommonIndents) {
  ParaFormat indent;
  indent.leftIndent = 2 * kWide;
  indent.mask = kMaskLeftIndent;
  EditResult result;
  f.container.SetParaFormat(&indent, P(2, kMoveDocumentStart), nullptr, &result);
  ParaFormat common;
  common.mask = kMaskEveryField;
  ASSERT_EQ(f.container.GetParaFormat(&common, nullptr, P(1, kMoveDocumentEnd)), 1);
  EXPECT_NE(common.mask & kMaskLeftIndent, 0);
  ASSERT_EQ(f.container.GetParaFormat(&common, nullptr, nullptr), 1);
  EXPECT_EQ(common.mask & kMaskLeftIndent, 0);
  EXPECT_NE(common.mask & kMaskFirstIndent, 0);
}

TEST_F(ThreeTexts, AdjustRangeLeavesARangeInTheLastChildAsItIs) {
  CVedTextRange in{f.PathIn(2, kMoveNextChar, 1), f.PathIn(2, kMoveNextChar, 2)};
  CVedTextRange out;
  ASSERT_EQ(f.container.AdjustRange(&in, &out), 1);
  EXPECT_EQ(out.start, in.start);
  EXPECT_EQ(out.end, in.end);
}

TEST_F(ThreeTexts, AdjustRangeOverChildrenKeepsEachEndInItsChild) {
  CVedTextRange in{f.PathIn(0, kMoveNextChar, 1), f.PathIn(2, kMoveNextChar, 2)};
  CVedTextRange out;
  ASSERT_EQ(f.container.AdjustRange(&in, &out), 1);
  EXPECT_EQ(ChildOf(out.start), 0);
  EXPECT_EQ(ChildOf(out.end), 2);
  EXPECT_EQ(out.end, in.end);
}

TEST_F(ThreeTexts, OnlyRangesInsideOneTextAreInOneText) {
  EXPECT_EQ(f.container.IsRangeInOneText(P(1, kMoveDocumentStart), P(1, kMoveDocumentEnd)), 1);
  EXPECT_EQ(f.container.IsRangeInOneText(P(0, kMoveDocumentEnd), P(1, kMoveDocumentStart)), 0);
}

TEST_F(ThreeTexts, TableCommandsAnswerNothingOutsideTables) {
  EditResult result;
  EXPECT_EQ(f.container.DeleteTable(&result), 0);
  EXPECT_EQ(f.container.EditTableRowsColumns(3, &result, 0), 0);
  TableLayout layout;
  EXPECT_EQ(f.container.SetColumnWidth(&layout, &result), 0);
  int32_t row = -1;
  int32_t column = -1;
  EXPECT_EQ(f.container.GetTableCellAt(nullptr, &row, &column), 0);
  int32_t offsets[2] = {};
  EXPECT_EQ(f.container.GetTableLineOffsetAt(nullptr, offsets), 0);
  EXPECT_EQ(f.container.HasTallTableLine(nullptr, nullptr, 0), 0);
  EXPECT_EQ(result.changed, 0);
  EXPECT_THAT(f.Texts(), ElementsAre("abc", "def", "ghi"));
}

TEST_F(ThreeTexts, ATableThatCannotBeMadeLeavesTheTextWhole) {
  // Not one column fits between two rules of a two-character text.
  PageFormat narrow = f.format;
  narrow.textWidth = 2 * kPitch;
  f.container.ApplyPageFormat(&narrow);
  f.PlaceCursor(1, kMoveNextChar);
  EditResult result;
  EXPECT_EQ(f.container.InsertTable(2, 3, &result), 0);
  EXPECT_EQ(result.changed, 0);
  EXPECT_THAT(f.Texts(), ElementsAre("abc", "def", "ghi"));
  EXPECT_EQ(f.Count(), 3);
}

// ---- Blank lines ----

class BlankLine : public ::testing::Test, public PathKeeper {
 protected:
  BlankLine() : PathKeeper(f) {}

  // The caret's 1-based line in the only text child.
  int32_t CaretLine() {
    int32_t line = 0;
    int32_t column = 0;
    f.container.GetLineColumn(&line, &column, nullptr, nullptr);
    return line;
  }

  ContainerFixture f;
};

TEST_F(BlankLine, OnTheFirstLineGoesAboveAndTakesTheCaret) {
  f.TypeIntoFirst("abc");
  EditResult result;
  ASSERT_GT(f.container.InsertBlankLine(&result), 0);
  EXPECT_THAT(f.Texts(), ElementsAre("\r\nabc"));
  EXPECT_EQ(CaretLine(), 1);
  EXPECT_EQ(result.heightDelta, kOneLine);
  EXPECT_EQ(ChildOf(result.newCursor), 0);
}

TEST_F(BlankLine, AfterAWrappedLineBreaksItFirst) {
  f.TypeIntoFirst(std::string(kFullLine) + "uvw");
  f.PlaceCursor(0, kMoveDocumentEnd);
  EditResult result;
  ASSERT_GT(f.container.InsertBlankLine(&result), 0);
  EXPECT_THAT(f.Texts(), ElementsAre(std::string(kFullLine) + "\r\n\r\nuvw"));
  EXPECT_EQ(CaretLine(), 2);
}

TEST_F(BlankLine, UnderAnIndentedParagraphKeepsTheCaretOnItsText) {
  f.TypeIntoFirst("abc\rdef");
  ParaFormat indent;
  indent.leftIndent = 2 * kWide;
  indent.mask = kMaskLeftIndent;
  EditResult result;
  f.container.SetParaFormat(&indent, nullptr, P(0, kMoveNextChar, 1), &result);
  f.PlaceCursor(0, kMoveDocumentEnd);
  ASSERT_GT(f.container.InsertBlankLine(&result), 0);
  EXPECT_THAT(f.Texts(), ElementsAre("abc\r\n\r\ndef"));
  EXPECT_EQ(CaretLine(), 3);
  DocObjOptions options;
  f.Child(0)->GetOptions(&options);
  EXPECT_EQ(options, f.container.Options());
}

// ---- A container with a trailing grid area ----

constexpr int32_t kLines = 10;

class GridContainer : public ::testing::Test, public PathKeeper {
 protected:
  GridContainer() : PathKeeper(f), f(10, kLines * kLinePitch, 1) { f.TypeIntoFirst("ab"); }

  // Puts the cursor on a 1-based line and column of the grid area.
  void PlaceInGrid(int32_t line, int32_t column) {
    CVedTextPos cell;
    cell.Append({kTagFreeCursor, column - 1});
    cell.Append({kTagFreeCursor, line - 1});
    const CVedTextPos path = InChild(1, cell);
    ASSERT_EQ(f.container.SetCursor(&path), 1);
  }

  ContainerFixture f;
};

TEST_F(GridContainer, StartsWithTextAndAGridFillingTheRest) {
  EXPECT_EQ(f.Types(), (std::vector<int32_t>{kObjectText, kObjectGridArea}));
  EXPECT_EQ(f.Heights(), (std::vector<int32_t>{kOneLine, (kLines - 1) * kOneLine}));
}

// Typing at a place of the grid area first carries the text down to it.
struct GridTyping {
  const char* name;
  const char* typed;
  const char* text;  // the text child afterwards
};

class GridFiller : public GridContainer, public ::testing::WithParamInterface<GridTyping> {};

TEST_P(GridFiller, CarriesTheTextToTheCellTyped) {
  SpeechOptions speech{1, 1, 0x7, -1};
  f.feedback.SetSpeechOptions(speech);
  PlaceInGrid(3, 5);
  EditResult result;
  ASSERT_GT(f.container.InsertText(GetParam().typed, &result), 0);
  EXPECT_EQ(f.Texts()[0], GetParam().text);
  EXPECT_EQ(f.CursorIndex(), 0);
  EXPECT_EQ(ChildOf(result.rangeStart), 0);
  EXPECT_EQ(ChildOf(result.newCursor), 0);
  // The grid area gives up what the text took.
  EXPECT_EQ(Sum(f.Heights()), kLines * kLinePitch);
  EXPECT_EQ(f.Heights()[0], f.MeasuredHeights()[0]);
  SpeechOptions after;
  f.feedback.GetSpeechOptions(after);
  EXPECT_EQ(after, speech);
}

INSTANTIATE_TEST_SUITE_P(Typed, GridFiller,
                         ::testing::Values(GridTyping{"LineBreak", "\r", "ab\r\n\r\n\r\n\r\n"},
                                           GridTyping{"Letter", "x", "ab\r\n\r\n\r\n    x"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(GridContainer, FillerIsReportedEvenWhenTheTypedTextIsRefused) {
  PlaceInGrid(2, 3);
  const int32_t textBefore = f.Heights()[0];
  EditResult result;
  ASSERT_GT(f.container.InsertText("", &result), 0);
  EXPECT_EQ(f.Texts()[0], "ab\r\n\r\n  ");
  EXPECT_EQ(result.heightDelta, 0);  // the text grew as much as the grid shrank
  EXPECT_EQ(f.Heights()[0], textBefore + 2 * kOneLine);
  EXPECT_EQ(ChildOf(result.rangeStart), 0);
}

TEST_F(GridContainer, CursorFormatInTheGridIsTheFormatAtTheEndOfTheText) {
  f.PlaceCursor(0, kMoveDocumentStart);
  CVedTextPos textCursor;
  f.Child(0)->GetCursor(&textCursor);
  PlaceInGrid(2, 2);
  CharFormat format;
  EXPECT_EQ(f.container.GetCursorFormat(0, &format), 1);
  EXPECT_STREQ(format.face, platform::kSyntheticFixedFace);
  CVedTextPos after;
  f.Child(0)->GetCursor(&after);
  EXPECT_EQ(after, textCursor);
}

TEST_F(GridContainer, EmptyingEveryTextKeepsOneTextBeforeTheGrid) {
  f.InsertText("cd");
  const int32_t before = Sum(f.Heights());
  EditResult result;
  ASSERT_GT(f.container.DeleteRange(nullptr, P(1, kMoveDocumentEnd), &result), 0);
  EXPECT_EQ(f.Types(), (std::vector<int32_t>{kObjectText, kObjectGridArea}));
  EXPECT_THAT(f.Texts(), ElementsAre("", "#"));
  EXPECT_EQ(f.Heights(), (std::vector<int32_t>{kOneLine, (kLines - 1) * kOneLine}));
  EXPECT_EQ(result.heightDelta, Sum(f.Heights()) - before);
  EXPECT_EQ(ChildOf(result.newCursor), 0);
}

TEST_F(GridContainer, DeletingInTheGridRemovesNothing) {
  PlaceInGrid(2, 2);
  const std::vector<int32_t> heights = f.Heights();
  EditResult result;
  EXPECT_EQ(f.container.DeleteChar(kDelete, &result), 0);
  EXPECT_EQ(f.Types(), (std::vector<int32_t>{kObjectText, kObjectGridArea}));
  EXPECT_EQ(f.Heights(), heights);
}

TEST_F(GridContainer, ARangeInTheGridIsInOneText) {
  EXPECT_EQ(f.container.IsRangeInOneText(P(1, kMoveDocumentStart), P(1, kMoveDocumentEnd)), 1);
}

// ---- Table commands, against a stand-in table ----

// A table child as the container sees one: a type-2 child that offers the
// table operations. Its content is a text, which lets the container's own
// rules (emptiness, heights, moves) work on it; every table operation
// reports a change of `delta` twips.
class StandInTable : public CTextObject, public CTableOperations {
 public:
  bool Create(int32_t, int32_t, int32_t, const TableLayout&, EditResult*) override { return false; }
  int SetTableLayout(const TableLayout& layout, EditResult* out) override {
    placement = layout.placement;
    return Report(out);
  }
  int SetColumnWidth(const CVedTextPos*, int32_t width, EditResult* out) override {
    columnWidth = width;
    return Report(out);
  }
  int InsertColumn(const CVedTextPos*, EditResult* out) override { return Operation(2, out); }
  int InsertRow(const CVedTextPos*, EditResult* out) override { return Operation(3, out); }
  int DeleteColumn(const CVedTextPos*, EditResult* out) override { return Operation(4, out); }
  int DeleteRow(const CVedTextPos*, EditResult* out) override {
    if (emptiedByDeleteRow) Reset();
    return Operation(5, out);
  }
  int32_t DeleteRowsOrColumns(const CVedTextPos*, const CVedTextPos*, EditResult* out) override {
    Reset();
    Operation(kDeleteRowsOrColumns, out);
    return delta;
  }
  int GetCellAt(const CVedTextPos* pos, int32_t* row, int32_t* column) override {
    received = pos != nullptr ? pos->depth : -1;
    *row = 0;
    *column = pos != nullptr && pos->depth > 0 ? pos->pairs.back().value : 0;
    return inCell ? 1 : 0;
  }
  CDocObject* GetCellContentAt(const CVedTextPos*) override { return this; }
  int GetLineOffsetAt(const CVedTextPos* pos, int32_t out[2]) override {
    received = pos != nullptr ? pos->depth : -1;
    out[0] = out[1] = 5;
    return 1;
  }
  int GetKindAt(const CVedTextPos*, ObjectDescription* out) override {
    *out = {kObjectTable, inCell ? kSubKindCellText : 0x202, inCell ? kObjectText : 0x2003};
    return 1;
  }

  static constexpr int kDeleteRowsOrColumns = 6;

  int32_t delta = 0;
  bool inCell = true;
  bool emptiedByDeleteRow = false;
  int lastOperation = 0;
  int32_t columnWidth = 0;
  int32_t placement = 0;
  int32_t received = -2;

 private:
  int Operation(int kind, EditResult* out) {
    lastOperation = kind;
    return Report(out);
  }
  int Report(EditResult* out) {
    GetCursor(&out->newCursor);
    out->rangeStart = out->rangeEnd = out->startAux = out->endAux = out->newCursor;
    out->heightDelta = delta;
    out->changed = 1;
    return 1;
  }
};

// Text "abc", a stand-in table, text "def"; the cursor in the table.
class TableCommands : public ::testing::Test, public PathKeeper {
 protected:
  TableCommands() : PathKeeper(f) {
    f.TypeIntoFirst("abc");
    table = InsertTable(1);
    EditResult typed;
    table->InsertText("x", &typed);
    f.InsertText("def");
    f.container.Children().SetCursor(1);
  }

  // Made and set up the way the container's factory sets up a child.
  StandInTable* InsertTable(int32_t index) {
    auto* made = new StandInTable;
    made->Initialize(&f.renderer(), &f.feedback);
    made->SetReferenceDC(f.format.referenceDC);
    DocObjOptions options = f.container.Options();
    options.freeCursor = 1;
    made->SetOptions(&options);
    CharFormat typing;
    f.container.GetCharFormat(&typing);
    made->SetCharFormat(&typing);
    made->SetPageFormat(&f.format);
    f.container.Children().InsertAt(
        index, ChildEntry{made, kObjectTable, made->GetHeight(nullptr, nullptr), {}});
    f.Settle();
    return made;
  }

  ContainerFixture f;
  StandInTable* table = nullptr;
};

TEST_F(TableCommands, DeletingTheTableJoinsTheTextsAround) {
  const int32_t before = Sum(f.Heights());
  EditResult result;
  ASSERT_EQ(f.container.DeleteTable(&result), 1);
  EXPECT_THAT(f.Texts(), ElementsAre("abc\r\ndef"));
  EXPECT_EQ(result.heightDelta, Sum(f.Heights()) - before);
  EXPECT_EQ(ChildOf(result.rangeStart), 0);
  EXPECT_EQ(ChildOf(result.newCursor), 0);
  EXPECT_TRUE(result.startAux.IsEmpty());
  EXPECT_TRUE(result.endAux.IsEmpty());
}

// Each row and column command reaches its table operation, and the change
// is recorded once for the table.
struct RowColumnCase {
  const char* name;
  int kind;
};

class RowColumnCommand : public TableCommands,
                         public ::testing::WithParamInterface<RowColumnCase> {};

TEST_P(RowColumnCommand, ReachesTheTableAndRecordsItsGrowthOnce) {
  table->delta = kOneLine;
  const int32_t recorded = f.Heights()[1];
  EditResult result;
  ASSERT_EQ(f.container.EditTableRowsColumns(GetParam().kind, &result, 7), 1);
  if (GetParam().kind == 1) {
    EXPECT_EQ(table->columnWidth, 7);
  } else {
    EXPECT_EQ(table->lastOperation, GetParam().kind);
  }
  EXPECT_EQ(f.Heights()[1], recorded + kOneLine);
  EXPECT_EQ(result.heightDelta, kOneLine);
  for (const CVedTextPos* path : {&result.rangeStart, &result.rangeEnd, &result.newCursor,
                                  &result.startAux, &result.endAux}) {
    EXPECT_EQ(ChildOf(*path), 1);
  }
}

INSTANTIATE_TEST_SUITE_P(Kinds, RowColumnCommand,
                         ::testing::Values(RowColumnCase{"ColumnWidth", 1},
                                           RowColumnCase{"InsertColumn", 2},
                                           RowColumnCase{"InsertRow", 3},
                                           RowColumnCase{"DeleteColumn", 4},
                                           RowColumnCase{"DeleteRow", 5}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(TableCommands, ATableLeftEmptyByARowDeletionGoes) {
  table->emptiedByDeleteRow = true;
  EditResult result;
  ASSERT_EQ(f.container.EditTableRowsColumns(5, &result, 0), 1);
  EXPECT_EQ(f.Types(), (std::vector<int32_t>{kObjectText}));
  EXPECT_THAT(f.Texts(), ElementsAre("abc\r\ndef"));
}

// A range from rule to rule of a table is what an insertion of rows,
// columns or the table put in: an undo or redo takes them away whole, and
// with the last of them the table. Anywhere else the range only empties
// the cells it covers.
TEST_F(TableCommands, ARangeOnTheRulesDeletesRowsOrColumnsOnlyInAReplay) {
  table->inCell = false;
  CVedTextPos onRules;
  table->GetCursor(&onRules);
  const CVedTextPos from = InChild(1, onRules);
  const CVedTextPos to = InChild(1, onRules);
  EditResult result;
  f.container.DeleteRange(&from, &to, &result);
  EXPECT_NE(table->lastOperation, StandInTable::kDeleteRowsOrColumns);
  EXPECT_EQ(f.Types(), (std::vector<int32_t>{kObjectText, kObjectTable, kObjectText}));

  // The stand-in is emptied by the row and column deletion, and goes.
  f.renderer().SetUndoReplay(1);
  f.container.DeleteRange(&from, &to, &result);
  f.renderer().SetUndoReplay(0);
  EXPECT_EQ(f.Types(), (std::vector<int32_t>{kObjectText}));
  EXPECT_THAT(f.Texts(), ElementsAre("abc\r\ndef"));
}

TEST_F(TableCommands, LayoutChangesFinishInTheTable) {
  table->delta = -kOneLine;
  TableLayout layout;
  layout.placement = 3;
  EditResult result;
  ASSERT_EQ(f.container.SetColumnWidth(&layout, &result), 1);
  EXPECT_EQ(table->placement, 3);
  EXPECT_EQ(ChildOf(result.rangeStart), 1);
  EXPECT_EQ(f.Heights()[1], 0);  // never below 0
}

TEST_F(TableCommands, CellQueriesHandTheTableItsOwnPath) {
  CVedTextPos inTable;
  table->GetCursor(&inTable);
  const CVedTextPos path = InChild(1, inTable);
  int32_t row = -1;
  int32_t column = -1;
  EXPECT_EQ(f.container.GetTableCellAt(&path, &row, &column), 1);
  EXPECT_EQ(table->received, inTable.depth);
  int32_t offsets[2] = {};
  EXPECT_EQ(f.container.GetTableLineOffsetAt(nullptr, offsets), 1);
  EXPECT_EQ(table->received, -1);
  EXPECT_EQ(offsets[0], 5);
  const CVedTextPos inText = InChild(0, inTable);
  EXPECT_EQ(f.container.GetTableCellAt(&inText, &row, &column), 0);
}

TEST_F(TableCommands, ARangeInOneCellsTextIsInOneText) {
  const CVedTextPos* start = P(1, kMoveDocumentStart);
  const CVedTextPos* end = P(1, kMoveDocumentEnd);
  EXPECT_EQ(f.container.IsRangeInOneText(start, start), 1);
  table->inCell = false;
  EXPECT_EQ(f.container.IsRangeInOneText(start, end), 0);
}

TEST_F(TableCommands, TallLinesAreLookedForInTablesOnly) {
  EXPECT_EQ(f.container.HasTallTableLine(nullptr, nullptr, kOneLine - 1), 1);
  EXPECT_EQ(f.container.HasTallTableLine(nullptr, nullptr, kOneLine), 0);
  EXPECT_EQ(f.container.HasTallTableLine(nullptr, P(0, kMoveDocumentEnd), 0), 0);
}

TEST_F(TableCommands, ALineBreakOnTheTablesFirstLineEndsTheTextBefore) {
  EditResult result;
  ASSERT_GT(f.container.InsertText("\r", &result), 0);
  EXPECT_THAT(f.Texts(), ElementsAre("abc\r\n", "x", "def"));
  EXPECT_EQ(f.CursorIndex(), 0);
  EXPECT_EQ(ChildOf(result.newCursor), 0);
  EXPECT_EQ(f.Heights(), f.MeasuredHeights());
}

TEST_F(TableCommands, ABlankLineBeforeALeadingTableIsANewTextRecordedOnce) {
  f.container.Children().SetCursor(0);
  EditResult removed;
  f.container.DeleteRange(P(0, kMoveDocumentStart), P(0, kMoveDocumentEnd), &removed);
  ASSERT_EQ(f.Types(), (std::vector<int32_t>{kObjectTable, kObjectText}));
  f.container.Children().SetCursor(0);
  table->inCell = false;
  EditResult result;
  ASSERT_EQ(f.container.InsertBlankLine(&result), 1);
  EXPECT_EQ(f.Types(), (std::vector<int32_t>{kObjectText, kObjectTable, kObjectText}));
  EXPECT_EQ(f.Heights(), f.MeasuredHeights());
  EXPECT_EQ(result.heightDelta, kOneLine);
  EXPECT_EQ(ChildOf(result.newCursor), 0);
}

// A text emptied between two tables: an undo or redo being replayed puts
// back exactly what was there, so the emptied text stays for it; any other
// deletion removes it.
class EmptiedBetweenTables : public TableCommands, public ::testing::WithParamInterface<bool> {};

TEST_P(EmptiedBetweenTables, StaysOnlyDuringReplay) {
  InsertTable(0);
  EditResult typed;
  table->InsertText("y", &typed);  // the table holds "xy"
  f.Settle();
  f.renderer().SetUndoReplay(GetParam() ? 1 : 0);
  EditResult result;
  ASSERT_GT(f.container.DeleteRange(P(1, kMoveDocumentStart), P(2, kMoveDocumentStart), &result),
            0);
  f.renderer().SetUndoReplay(0);
  if (GetParam()) {
    EXPECT_EQ(f.Types(),
              (std::vector<int32_t>{kObjectTable, kObjectText, kObjectTable, kObjectText}));
    EXPECT_EQ(f.Texts()[1], "");
  } else {
    EXPECT_EQ(f.Types(), (std::vector<int32_t>{kObjectTable, kObjectTable, kObjectText}));
  }
  EXPECT_EQ(table->CountChars(), 2);  // "y" and the end
  EXPECT_EQ(f.Heights(), f.MeasuredHeights());
  EXPECT_FALSE(result.newCursor.IsEmpty());
}

INSTANTIATE_TEST_SUITE_P(Replay, EmptiedBetweenTables, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Replayed" : "Edited"; });

}  // namespace
}  // namespace container_test
