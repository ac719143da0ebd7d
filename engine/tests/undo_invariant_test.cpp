// Whatever a user does, undoing all of it gives back the document as it
// was, byte for byte, and redoing all of it gives back the edited one: a
// seeded random series of editing commands checks it, and that every
// document a series makes saves to a stream that loads back to the same
// stream. A few seeds run with the tests; LEXORA_UNDO_SEEDS=<count> runs
// that many more, LEXORA_UNDO_TABLE_SEEDS=<count> that many series that
// also insert and delete table rows and columns, and
// LEXORA_UNDO_LONG_SEEDS=<count> that many series on long generated
// Japanese text on the default page.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "undo_series.h"

namespace doc_root_test {
namespace {

using UndoInvariantTest = UndoSeriesFixture;

// Series that once went wrong, each for its own reason.
constexpr uint32_t kTellingSeeds[] = {388, 437, 342, 304, 584, 1348, 123, 3644};

TEST_F(UndoInvariantTest, UndoingEverythingRestoresTheStartAndRedoingRestoresTheEnd) {
  for (uint32_t seed = 1; seed <= 12; ++seed) CheckSeed(seed);
  for (uint32_t seed : kTellingSeeds) CheckSeed(seed);
}

// Table series that once went wrong: typing and deleting in a cell, line
// breaks in a cell, a column deleted after the table changed, selections
// that end on the table's rules or span cells.
constexpr uint32_t kTellingTableSeeds[] = {18, 21, 22, 26, 29, 33, 37, 38, 39};

TEST_F(UndoInvariantTest, TableSeriesUndoToTheStartAndRedoToTheEnd) {
  for (uint32_t seed = 1; seed <= 12; ++seed) CheckSeed(seed, SeriesKind::kTable);
  for (uint32_t seed : kTellingTableSeeds) CheckSeed(seed, SeriesKind::kTable);
}

// Long series that once went wrong: a paragraph end typed inside a line
// that left the pages one line off (131, 163), marks typed over a line
// start that hang beside squeezed punctuation (279), a paragraph end typed
// at a wrapped line's start that left the later pages naming the
// paragraph their lines had left (628, 1460, 1683).
constexpr uint32_t kTellingLongSeeds[] = {131, 163, 279, 628, 1460, 1683};

TEST_F(UndoInvariantTest, LongTextSeriesUndoToTheStartAndRedoToTheEnd) {
  for (uint32_t seed = 1; seed <= 3; ++seed) CheckSeed(seed, SeriesKind::kLongText);
  for (uint32_t seed : kTellingLongSeeds) CheckSeed(seed, SeriesKind::kLongText);
}

// A paragraph of 3,963 characters (99 full lines and three characters)
// and a short one after it: three pages of the default page.
constexpr int kLongParagraphLines = 99;
constexpr int kShortLastLine = 3;
constexpr int32_t kSplitColumn = 6;

std::vector<CVedTextPos> PageStarts(CVedPageTable& table) {
  std::vector<CVedTextPos> starts;
  for (int32_t n = 1; n <= table.GetCount(); ++n) starts.push_back(*table.GetPageStart(n));
  return starts;
}

class UndoParagraphEndTest : public UndoSeriesFixture {
 protected:
  // Types a paragraph end at `place` in the long paragraph: the pages stay
  // as a rebuild lays them out, and a character typed on page 3 and the
  // paragraph end are both undone to the document as it was.
  void CheckParagraphEndAt(PageLineColumn place) {
    DocStyle style = DefaultPageStyle();
    engine.StyleCommand(WPC_SET_DOCSTYLE, nullptr, &style);
    engine.DocumentCommand(WPC_NEW_DOCUMENT, 0, nullptr);
    std::string text;
    for (int i = 0; i < kLongParagraphLines * kDefaultPageChars + kShortLastLine; ++i) {
      text += "\x82\xA0";
    }
    text += "\r\x8C\xEA";
    engine.EditCommand(WPC_INSERT_TEXT, 0, Text(text.c_str()));
    engine.EditCommand(WPC_INSERT_FORMATTED, 0, 0);
    const Bytes original = Content();
    CVedPageTable& table = *engine.PageTable();
    ASSERT_EQ(table.GetCount(), 3);

    engine.EditCommand(WPC_GOTO, 0, Pointer(&place));
    Type("\r");
    const std::vector<CVedTextPos> starts = PageStarts(table);
    ChangeRecord whole;
    whole.changed = 1;
    table.Repaginate(&whole);
    EXPECT_EQ(PageStarts(table), starts);

    PageLineColumn later{3, 2, 1};
    engine.EditCommand(WPC_GOTO, 0, Pointer(&later));
    Type("b");
    EXPECT_EQ(ReplayAll(WPC_UNDO, WPC_CAN_UNDO), 2);
    EXPECT_EQ(Content(), original);
  }
};

// The break goes in on page 1, line 2, column 6: the paragraph after it
// has as many lines as the rest of the old one had, and as high.
TEST_F(UndoParagraphEndTest, AParagraphEndTypedInsideALineKeepsThePagesAndItsUndo) {
  CheckParagraphEndAt({1, 2, kSplitColumn});
}

// At the start of page 1, line 2 the break goes to the end of the full
// line before it: no line is added, but every line after it now belongs
// to the new paragraph, the pages' first lines too.
TEST_F(UndoParagraphEndTest, AParagraphEndTypedAtAWrappedLinesStartKeepsThePagesAndItsUndo) {
  CheckParagraphEndAt({1, 2, 1});
}

TEST_F(UndoInvariantTest, HoldsOverManyMoreSeedsWhenAsked) {
  const char* count = std::getenv("LEXORA_UNDO_SEEDS");
  if (count == nullptr) GTEST_SKIP() << "LEXORA_UNDO_SEEDS=<count> runs more seeds";
  const auto seeds = static_cast<uint32_t>(std::strtoul(count, nullptr, 10));
  for (uint32_t seed = 100; seed < 100 + seeds; ++seed) CheckSeed(seed);
}

TEST_F(UndoInvariantTest, TableSeriesHoldOverManySeedsWhenAsked) {
  const char* count = std::getenv("LEXORA_UNDO_TABLE_SEEDS");
  if (count == nullptr) GTEST_SKIP() << "LEXORA_UNDO_TABLE_SEEDS=<count> runs table series";
  const auto seeds = static_cast<uint32_t>(std::strtoul(count, nullptr, 10));
  for (uint32_t seed = 100; seed < 100 + seeds; ++seed) CheckSeed(seed, SeriesKind::kTable);
}

TEST_F(UndoInvariantTest, LongTextSeriesHoldOverManySeedsWhenAsked) {
  const char* count = std::getenv("LEXORA_UNDO_LONG_SEEDS");
  if (count == nullptr) GTEST_SKIP() << "LEXORA_UNDO_LONG_SEEDS=<count> runs long text series";
  const auto seeds = static_cast<uint32_t>(std::strtoul(count, nullptr, 10));
  for (uint32_t seed = 100; seed < 100 + seeds; ++seed) CheckSeed(seed, SeriesKind::kLongText);
}

}  // namespace
}  // namespace doc_root_test
