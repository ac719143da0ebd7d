#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "container_fixture.h"
#include "model/grid_area.h"
#include "model/texts.h"
#include "platform/sjis.h"

namespace container_test {
namespace {

using Bytes = std::vector<uint8_t>;

constexpr int kHeadedMode = 2;

Bytes Store(CDocObject& object, int tag, int mode, const CVedTextPos* from = nullptr,
            const CVedTextPos* to = nullptr, int* answer = nullptr) {
  platform::CMemFile file;
  {
    platform::CArchive archive(&file, platform::CArchive::kStore);
    const int stored = object.SerializeRange(archive, tag, mode, from, to, nullptr);
    if (answer != nullptr) *answer = stored;
    archive.Close();
  }
  return Bytes(file.Data(), file.Data() + file.GetLength());
}

Bytes StoreOwn(CDocObject& object, const CVedTextPos* from = nullptr,
               const CVedTextPos* to = nullptr) {
  return Store(object, kFormatOwnBlock, kHeadedMode, from, to);
}

int Load(CDocObject& object, Bytes bytes, EditResult* out, int tag = kFormatOwnBlock,
         int mode = kHeadedMode, const CVedTextPos* from = nullptr) {
  platform::CMemFile file(bytes.data(), bytes.size());
  platform::CArchive archive(&file, platform::CArchive::kLoad);
  return object.SerializeRange(archive, tag, mode, from, nullptr, out);
}

void Append(Bytes* bytes, const Bytes& more) {
  bytes->insert(bytes->end(), more.begin(), more.end());
}

void AppendInt32(Bytes* bytes, int32_t value) {
  const auto u = static_cast<uint32_t>(value);
  Append(bytes, {static_cast<uint8_t>(u), static_cast<uint8_t>(u >> 8),
                 static_cast<uint8_t>(u >> 16), static_cast<uint8_t>(u >> 24)});
}

std::string AsText(const Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); }

// A one-line text child's height: the line of 330 twips and its gap of 20.
constexpr int32_t kOneLine = 350;

// The 60-byte child header of a text child, written out field by field.
Bytes TextHeader(int32_t height, int32_t whole, int32_t index) {
  Bytes header;
  AppendInt32(&header, 0);  // the object reference, never a live address
  AppendInt32(&header, kObjectText);
  AppendInt32(&header, height);
  for (int i = 0; i < 4; ++i) AppendInt32(&header, 0);  // reserved words
  AppendInt32(&header, whole);
  AppendInt32(&header, index);
  AppendInt32(&header, 0);  // rows
  AppendInt32(&header, 0);  // columns
  header.resize(header.size() + 16, 0);
  return header;
}

// The "TextObject Data" block of a whole text child holding two single-byte
// characters in one paragraph.
Bytes TextBlock(char first, char second) {
  Bytes block = {'T', 'e', 'x', 't', 'O', 'b', 'j', 'e', 'c', 't', ' ', 'D', 'a', 't', 'a', 0x00};
  AppendInt32(&block, 45);  // range data length
  AppendInt32(&block, 1);   // one paragraph
  // Paragraph record: only the alignment (justified) differs from the
  // zero base.
  Append(&block, {0x01, 0x10, 0x80, 0x00, 0x01});
  Append(&block, {0x02, 0x10, 0x00, 0x00, 0x03, 0x00, 0x00, 0x00});  // three cells
  Append(&block, {0x03, 0x10});
  Append(&block, {static_cast<uint8_t>(first), 0x00, 0x20, 0x00, 0x0A, 0x00, 0x00, 0x00});
  Append(&block, {static_cast<uint8_t>(second), 0x00, 0x20, 0x00, 0x0A, 0x00, 0x00, 0x00});
  Append(&block, {0xFF, 0xFF, 0x20, 0x00, 0x00, 0x00, 0x00, 0x00});  // end of text
  Append(&block, {0xFF, 0xFF});
  return block;
}

Bytes Count(uint32_t n) {
  Bytes bytes;
  AppendInt32(&bytes, static_cast<int32_t>(n));
  return bytes;
}

// Two text children "ab" and "cd", the cursor in the first.
class TwoTexts : public ::testing::Test {
 protected:
  TwoTexts() {
    f.TypeIntoFirst("ab");
    f.InsertText("cd");
  }
  ContainerFixture f;
};

TEST(ContainerStreamTextsTest, SeparatorIsTheStoredText) {
  EXPECT_EQ(std::string(kChildTextSeparator), platform::Utf8ToSjis("\r\n").value());
}

TEST_F(TwoTexts, StoresCountHeadersAndBlocksAsWrittenByHand) {
  Bytes expected = Count(2);
  Append(&expected, TextHeader(kOneLine, 1, 0));
  Append(&expected, TextBlock('a', 'b'));
  Append(&expected, TextHeader(kOneLine, 1, 1));
  Append(&expected, TextBlock('c', 'd'));
  EXPECT_EQ(StoreOwn(f.container), expected);
}

TEST_F(TwoTexts, OtherModesWriteTheBlocksAlone) {
  Bytes expected = TextBlock('a', 'b');
  Append(&expected, TextBlock('c', 'd'));
  EXPECT_EQ(Store(f.container, kFormatOwnBlock, 1), expected);
}

TEST_F(TwoTexts, PlainTextJoinsChildrenWithALineBreakOnlyForTagOne) {
  EXPECT_EQ(AsText(Store(f.container, kFormatPlainText, 0)), "ab\r\ncd");
  EXPECT_EQ(AsText(Store(f.container, kFormatBareText, 0)), "abcd");
}

TEST_F(TwoTexts, PartialEndsAreNotWhole) {
  const CVedTextPos from = f.PathIn(0, kMoveNextChar, 1);  // after "a"
  const CVedTextPos to = f.PathIn(1, kMoveNextChar, 1);    // after "c"
  const Bytes stored = StoreOwn(f.container, &from, &to);
  ASSERT_GE(stored.size(), 4u + 60);
  EXPECT_EQ(Bytes(stored.begin(), stored.begin() + 4), Count(2));
  EXPECT_EQ(Bytes(stored.begin() + 4, stored.begin() + 64), TextHeader(kOneLine, 0, 0));
}

TEST_F(TwoTexts, EndsGivenInEitherOrderStoreTheSameRange) {
  const CVedTextPos early = f.PathIn(0, kMoveNextChar, 1);
  const CVedTextPos late = f.PathIn(1, kMoveNextChar, 1);
  EXPECT_EQ(StoreOwn(f.container, &late, &early), StoreOwn(f.container, &early, &late));
}

TEST_F(TwoTexts, RangeFromAChildStartToItsEndIsWhole) {
  const CVedTextPos from = f.PathIn(1, kMoveDocumentStart);
  const CVedTextPos to = f.PathIn(1, kMoveDocumentEnd, 1);
  Bytes expected = Count(1);
  Append(&expected, TextHeader(kOneLine, 1, 1));
  Append(&expected, TextBlock('c', 'd'));
  EXPECT_EQ(StoreOwn(f.container, &from, &to), expected);
}

TEST_F(TwoTexts, StoreIntoAStreamThatIsFullReportsFailure) {
  std::array<uint8_t, 30> room{};
  platform::CMemFile full(room.data(), room.size());
  platform::CArchive archive(&full, platform::CArchive::kStore, 1);
  EXPECT_EQ(
      f.container.SerializeRange(archive, kFormatOwnBlock, kHeadedMode, nullptr, nullptr, nullptr),
      -1);
  EXPECT_EQ(f.container.SerializeRange(archive, kFormatPlainText, 0, nullptr, nullptr, nullptr),
            -1);
}

// A container with a trailing grid area, as a table cell has.
class WithGrid : public ::testing::Test {
 protected:
  WithGrid() : f(10, 10 * kLinePitch, 1) { f.TypeIntoFirst("ab"); }
  ContainerFixture f;
};

TEST_F(WithGrid, TheGridAreaIsNeverStored) {
  ASSERT_EQ(f.Types(), (std::vector<int32_t>{kObjectText, kObjectGridArea}));
  Bytes expected = Count(1);
  Append(&expected, TextHeader(kOneLine, 1, 0));
  Append(&expected, TextBlock('a', 'b'));
  EXPECT_EQ(StoreOwn(f.container), expected);
  const CVedTextPos inGrid = f.PathIn(1, kMoveDocumentStart);
  EXPECT_EQ(StoreOwn(f.container, nullptr, &inGrid), expected);
  EXPECT_EQ(StoreOwn(f.container, &inGrid, &inGrid), Count(0));
}

// ---- Loading ----

// Recorded heights follow what the children measure.
void ExpectHeightsKept(const ContainerFixture& f) { EXPECT_EQ(f.Heights(), f.MeasuredHeights()); }

TEST_F(TwoTexts, LoadsOneBlockIntoTheCursorText) {
  f.PlaceCursor(0, kMoveDocumentEnd);
  Bytes stream = Count(1);
  Append(&stream, TextHeader(kOneLine, 1, 5));
  Append(&stream, TextBlock('x', 'y'));
  EditResult result;
  ASSERT_EQ(Load(f.container, stream, &result), 1);
  EXPECT_EQ(f.Texts()[0].substr(0, 4), "abxy");
  EXPECT_EQ(f.Count(), 2);
  EXPECT_EQ(result.changed, 1);
  ASSERT_FALSE(result.rangeStart.IsEmpty());
  EXPECT_EQ(result.rangeStart.pairs[0], (PosPair{kTagChildIndex, 0}));
  EXPECT_EQ(result.newCursor.pairs[0], (PosPair{kTagChildIndex, 0}));
  ExpectHeightsKept(f);
}

TEST_F(TwoTexts, PlainTextLoadsIntoTheCursorText) {
  f.PlaceCursor(1, kMoveDocumentStart);
  const std::string text = "xy\r\nzw";
  EditResult result;
  ASSERT_EQ(Load(f.container, Bytes(text.begin(), text.end()), &result, kFormatPlainText, 0), 1);
  EXPECT_EQ(f.Count(), 2);
  EXPECT_EQ(AsText(Store(*f.Child(1), kFormatPlainText, 0)), "xy\r\nzwcd");
  EXPECT_EQ(result.heightDelta, kOneLine);
  EXPECT_EQ(result.rangeStart.pairs[0], (PosPair{kTagChildIndex, 1}));
  ExpectHeightsKept(f);
}

// What the load reports when it stops part-way: every change that stands.
struct PartialLoad {
  const char* name;
  Bytes tail;  // what follows a first, good text block
  int answer;
};

class PartialLoadTest : public TwoTexts, public ::testing::WithParamInterface<PartialLoad> {};

TEST_P(PartialLoadTest, StillReportsWhatWentIn) {
  f.PlaceCursor(0, kMoveDocumentEnd);
  const int32_t before = f.Heights()[0];
  Bytes stream = Count(2);
  Append(&stream, TextHeader(kOneLine, 1, 0));
  Append(&stream, TextBlock('x', 'y'));
  Append(&stream, GetParam().tail);
  EditResult result;
  EXPECT_EQ(Load(f.container, stream, &result), GetParam().answer);
  EXPECT_EQ(f.Count(), 2);
  EXPECT_EQ(result.changed, 1);
  ASSERT_FALSE(result.rangeStart.IsEmpty());
  EXPECT_EQ(result.rangeStart.pairs[0], (PosPair{kTagChildIndex, 0}));
  EXPECT_EQ(result.rangeEnd.pairs[0], (PosPair{kTagChildIndex, 0}));
  EXPECT_EQ(result.heightDelta, f.Heights()[0] - before);
  ExpectHeightsKept(f);
}

Bytes GridHeader() {
  Bytes header = TextHeader(0, 1, 1);
  header[4] = kObjectGridArea;
  return header;
}

Bytes CutHeader() {
  Bytes header = TextHeader(kOneLine, 1, 1);
  header.resize(40);
  return header;
}

Bytes DamagedBlock() {
  Bytes tail = TextHeader(kOneLine, 1, 1);
  Bytes block = TextBlock('c', 'd');
  block[0] = 'X';
  Append(&tail, block);
  return tail;
}

INSTANTIATE_TEST_SUITE_P(Stops, PartialLoadTest,
                         ::testing::Values(PartialLoad{"CutHeader", CutHeader(), -1},
                                           PartialLoad{"UnknownType", GridHeader(), 0},
                                           PartialLoad{"DamagedBlock", DamagedBlock(), -1}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(TwoTexts, CutCountLoadsNothing) {
  const std::vector<std::string> before = f.Texts();
  EditResult result;
  EXPECT_EQ(Load(f.container, Bytes{0x01, 0x00}, &result), -1);
  EXPECT_EQ(result.changed, 0);
  EXPECT_EQ(f.Texts(), before);
}

TEST_F(WithGrid, LoadIntoTheGridAreaFillsTheLinesBeforeIt) {
  f.PlaceCursor(1, kMoveDocumentStart);
  const MoveParams set{1, 0, 0};
  f.Child(1)->MoveCursor(kMoveLineDown, &set, nullptr, nullptr);
  f.Child(1)->MoveCursor(kMoveNextChar, &set, nullptr, nullptr);
  f.Child(1)->MoveCursor(kMoveNextChar, &set, nullptr, nullptr);
  Bytes stream = Count(1);
  Append(&stream, TextHeader(kOneLine, 1, 0));
  Append(&stream, TextBlock('x', 'y'));
  EditResult result;
  ASSERT_EQ(Load(f.container, stream, &result), 1);
  // Line 2, column 3 of the area: two line breaks and two blanks first.
  EXPECT_EQ(AsText(Store(*f.Child(0), kFormatPlainText, 0)), "ab\r\n\r\n  xy");
  EXPECT_EQ(f.CursorIndex(), 0);
  EXPECT_EQ(result.changed, 1);
  EXPECT_EQ(result.rangeStart.pairs[0], (PosPair{kTagChildIndex, 0}));
  EXPECT_EQ(result.newCursor.pairs[0], (PosPair{kTagChildIndex, 0}));
  // The text grew by two lines and the area shrank by as much.
  EXPECT_EQ(result.heightDelta, 0);
  EXPECT_EQ(f.Heights(), (std::vector<int32_t>{3 * kOneLine, 7 * kLinePitch}));
  ExpectHeightsKept(f);
}

// A replayed first text block that was part of its child goes in at the
// cursor, the text split after it; a whole one becomes a child before.
struct ReplayedText {
  const char* name;
  int32_t whole;
  std::vector<std::string> texts;
  int32_t rangeStartChild;
};

class ReplayedTextTest : public ::testing::TestWithParam<ReplayedText> {};

TEST_P(ReplayedTextTest, PlacesTheFirstBlockByItsWholeFlag) {
  ContainerFixture f;
  f.TypeIntoFirst("abcd");
  f.PlaceCursor(0, kMoveDocumentStart);
  const MoveParams set{1, 0, 0};
  f.Child(0)->MoveCursor(kMoveNextChar, &set, nullptr, nullptr);
  f.Child(0)->MoveCursor(kMoveNextChar, &set, nullptr, nullptr);
  Bytes stream = Count(2);
  Append(&stream, TextHeader(kOneLine, GetParam().whole, 0));
  Append(&stream, TextBlock('x', 'y'));
  Append(&stream, TextHeader(kOneLine, 0, 1));
  Append(&stream, TextBlock('z', 'w'));
  const CVedTextPos replay = f.PathIn(0, kMoveDocumentStart);
  EditResult result;
  ASSERT_EQ(Load(f.container, stream, &result, kFormatOwnBlock, kHeadedMode, &replay), 1);
  std::vector<std::string> texts;
  for (int32_t i = 0; i < f.Count(); ++i) texts.push_back(AsText(Store(*f.Child(i), 1, 0)));
  EXPECT_EQ(texts, GetParam().texts);
  EXPECT_EQ(result.changed, 1);
  EXPECT_EQ(result.rangeStart.pairs[0], (PosPair{kTagChildIndex, GetParam().rangeStartChild}));
  EXPECT_EQ(result.heightDelta, kOneLine);
  ExpectHeightsKept(f);
}

INSTANTIATE_TEST_SUITE_P(Replay, ReplayedTextTest,
                         ::testing::Values(ReplayedText{"Part", 0, {"abxyzw", "cd"}, 0},
                                           ReplayedText{"Whole", 1, {"xyzw", "abcd"}, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- Around tables ----

// Stands in for a ruled table: its block is one 32-bit word, and a load
// adds one line. Its places are one step; its rows run from place 0 to
// place kRowsEnd.
class StandInTable : public CGridAreaObject {
 public:
  static constexpr uint32_t kBlock = 0x7AB1E;
  static constexpr int32_t kRowsEnd = 100;

  static CVedTextPos Place(int32_t value) {
    CVedTextPos place;
    place.Append({kTagFreeCursor, value});
    return place;
  }

  int MoveCursor(int command, const MoveParams* params, const CVedTextPos* from,
                 CVedTextPos* out) override {
    switch (command) {
      case 1281:
      case 1297:
        *out = Place(0);
        return kMoveDone;
      case 1282:
      case 1298:
        *out = Place(kRowsEnd);
        return kMoveDone;
      default:
        return CGridAreaObject::MoveCursor(command, params, from, out);
    }
  }
  int ComparePositions(const CVedTextPos* a, const CVedTextPos* b) override {
    const int32_t x = a->pairs.at(0).value;
    const int32_t y = b->pairs.at(0).value;
    return x < y ? kCompareBefore : (x > y ? kCompareAfter : kCompareEqual);
  }
  int SerializeRange(platform::CArchive& archive, int, int, const CVedTextPos*, const CVedTextPos*,
                     EditResult* out) override {
    if (archive.IsStoring()) {
      archive << kBlock;
      return 0;
    }
    uint32_t block = 0;
    if (archive.Read(&block, sizeof block) != sizeof block || block != kBlock) return -1;
    ++loads;
    *out = EditResult();
    out->changed = 1;
    out->rangeStart.Append({kTagFreeCursor, 0});
    out->rangeEnd = out->newCursor = out->rangeStart;
    out->heightDelta = kLinePitch;
    return 1;
  }

  int loads = 0;
};

Bytes TableBlock() { return Count(StandInTable::kBlock); }

Bytes HeaderOf(int32_t type, int32_t whole, int32_t index) {
  Bytes header = TextHeader(0, whole, index);
  header[4] = static_cast<uint8_t>(type);
  return header;
}

// "ab", a table, "cd".
class AroundTable : public ::testing::Test {
 protected:
  AroundTable() {
    f.TypeIntoFirst("ab");
    f.InsertText("cd");
    table = new StandInTable;
    table->Initialize(&f.renderer(), nullptr);
    PageFormat format = f.format;
    format.textHeight = 2 * kLinePitch;
    table->SetPageFormat(&format);
    f.container.Children().InsertAt(1, ChildEntry{table, kObjectTable, 2 * kLinePitch, {}});
  }

  ContainerFixture f;
  StandInTable* table = nullptr;
};

// The path a child receives: the container's without its first step.
CVedTextPos Rest(CVedTextPos path) {
  path.PopFirstPair();
  return path;
}

TEST_F(AroundTable, StoresTheTableBetweenTheTextsWithPartialEnds) {
  const CVedTextPos from = f.PathIn(0, kMoveNextChar, 1);
  const CVedTextPos to = f.PathIn(2, kMoveNextChar, 1);
  const CVedTextPos fromRest = Rest(from);
  const CVedTextPos toRest = Rest(to);
  Bytes expected = Count(3);
  Append(&expected, TextHeader(kOneLine, 0, 0));
  Append(&expected, Store(*f.Child(0), kFormatOwnBlock, kHeadedMode, &fromRest, nullptr));
  Bytes tableHeader = HeaderOf(kObjectTable, 1, 1);
  tableHeader[8] = static_cast<uint8_t>(2 * kLinePitch);
  tableHeader[9] = static_cast<uint8_t>((2 * kLinePitch) >> 8);
  Append(&expected, tableHeader);
  Append(&expected, TableBlock());
  Append(&expected, TextHeader(kOneLine, 0, 2));
  Append(&expected, Store(*f.Child(2), kFormatOwnBlock, kHeadedMode, nullptr, &toRest));
  EXPECT_EQ(StoreOwn(f.container, &from, &to), expected);
}

// A table is stored whole when its part covers whole rows.
struct TableEnds {
  int32_t from;  // a place in the table, or -1 for a range from the text before
  int32_t to;    // a place in the table, or -1 for a range to the text after
  int32_t whole;
};

class TableWholeTest : public AroundTable, public ::testing::WithParamInterface<TableEnds> {};

TEST_P(TableWholeTest, WholeFlagFollowsTheRowBounds) {
  const TableEnds ends = GetParam();
  const CVedTextPos from =
      ends.from < 0 ? f.PathIn(0, kMoveDocumentStart) : InChild(1, StandInTable::Place(ends.from));
  const CVedTextPos to =
      ends.to < 0 ? f.PathIn(2, kMoveDocumentEnd, 1) : InChild(1, StandInTable::Place(ends.to));
  const Bytes stored = StoreOwn(f.container, &from, &to);
  // The table's header follows the count, or the first text's header and
  // block.
  const size_t header =
      ends.from < 0 ? 4 + 60 + Store(*f.Child(0), kFormatOwnBlock, kHeadedMode).size() : 4;
  ASSERT_GE(stored.size(), header + 60);
  EXPECT_EQ(stored[header + 4], kObjectTable);
  EXPECT_EQ(stored[header + 28], ends.whole);
}

INSTANTIATE_TEST_SUITE_P(Rows, TableWholeTest,
                         ::testing::Values(TableEnds{0, -1, 1}, TableEnds{3, -1, 0},
                                           TableEnds{-1, StandInTable::kRowsEnd, 1},
                                           TableEnds{-1, 50, 0}, TableEnds{0, 50, 0},
                                           TableEnds{0, StandInTable::kRowsEnd, 1}));

TEST_F(AroundTable, SeveralBlocksAreNotLoadedIntoATableWithoutAPosition) {
  f.container.Children().SetCursor(1);
  const std::vector<std::string> before = f.Texts();
  Bytes stream = Count(2);
  Append(&stream, TextHeader(kOneLine, 1, 0));
  Append(&stream, TextBlock('x', 'y'));
  EditResult result;
  EXPECT_EQ(Load(f.container, stream, &result), 0);
  EXPECT_EQ(result.changed, 0);
  EXPECT_EQ(f.Texts(), before);
  EXPECT_EQ(table->loads, 0);
}

TEST_F(AroundTable, ASingleBlockGoesIntoTheTableAtItsCursor) {
  f.container.Children().SetCursor(1);
  Bytes stream = Count(1);
  Append(&stream, HeaderOf(kObjectTable, 0, 1));
  Append(&stream, TableBlock());
  EditResult result;
  ASSERT_EQ(Load(f.container, stream, &result), 1);
  EXPECT_EQ(table->loads, 1);
  EXPECT_EQ(f.Count(), 3);
  EXPECT_EQ(f.Heights()[1], 3 * kLinePitch);
  EXPECT_EQ(result.heightDelta, kLinePitch);
  EXPECT_EQ(result.rangeStart.pairs[0], (PosPair{kTagChildIndex, 1}));
}

// A replayed load takes the neighbours that stand where the stored
// children stood.
TEST_F(AroundTable, ReplayFillsTheNeighboursAtTheStoredIndexes) {
  f.container.Children().SetCursor(1);
  Bytes stream = Count(2);
  Append(&stream, TextHeader(kOneLine, 0, 0));
  Append(&stream, TextBlock('x', 'y'));
  Append(&stream, HeaderOf(kObjectTable, 0, 1));
  Append(&stream, TableBlock());
  const CVedTextPos replay = f.PathIn(1, kMoveDocumentStart);
  EditResult result;
  ASSERT_EQ(Load(f.container, stream, &result, kFormatOwnBlock, kHeadedMode, &replay), 1);
  EXPECT_EQ(f.Count(), 3);
  EXPECT_EQ(AsText(Store(*f.Child(0), kFormatPlainText, 0)), "abxy");
  EXPECT_EQ(table->loads, 1);
  EXPECT_EQ(result.rangeStart.pairs[0], (PosPair{kTagChildIndex, 0}));
  EXPECT_EQ(result.rangeEnd.pairs[0], (PosPair{kTagChildIndex, 1}));
  EXPECT_EQ(result.heightDelta, kLinePitch);
}

// With no text at the stored index, the replayed text becomes a child of
// its own before the table.
TEST_F(AroundTable, ReplayWithoutTheNeighbourMakesANewText) {
  f.container.Children().SetCursor(1);
  Bytes stream = Count(1);
  Append(&stream, TextHeader(kOneLine, 1, 4));
  Append(&stream, TextBlock('x', 'y'));
  const CVedTextPos replay = f.PathIn(1, kMoveDocumentStart);
  EditResult result;
  ASSERT_EQ(Load(f.container, stream, &result, kFormatOwnBlock, kHeadedMode, &replay), 1);
  EXPECT_EQ(f.Types(), (std::vector<int32_t>{kObjectText, kObjectText, kObjectTable, kObjectText}));
  EXPECT_EQ(AsText(Store(*f.Child(1), kFormatPlainText, 0)), "xy");
  EXPECT_EQ(result.rangeStart.pairs[0], (PosPair{kTagChildIndex, 1}));
  EXPECT_EQ(result.heightDelta, kOneLine);
  ExpectHeightsKept(f);
}

TEST_F(AroundTable, ALastTableGetsATextAfterIt) {
  ASSERT_EQ(f.container.RemoveChildAt(2, false), kChildRemoved);
  f.container.Children().SetCursor(1);
  Bytes stream = Count(1);
  Append(&stream, HeaderOf(kObjectTable, 0, 1));
  Append(&stream, TableBlock());
  EditResult result;
  ASSERT_EQ(Load(f.container, stream, &result), 1);
  EXPECT_EQ(f.Types(), (std::vector<int32_t>{kObjectText, kObjectTable, kObjectText}));
  EXPECT_EQ(f.CursorIndex(), 1);
  EXPECT_EQ(result.heightDelta, kLinePitch + kOneLine);
}

// ---- Store, load, store ----

// The container's stream as a document stream carries it: behind the
// renderer's list of the fonts it uses.
Bytes StoreDocument(ContainerFixture& f) {
  platform::CMemFile file;
  {
    platform::CArchive archive(&file, platform::CArchive::kStore);
    f.renderer().NewFontList();
    EXPECT_EQ(f.renderer().SerializeFontList(archive), 1);
    f.container.SerializeRange(archive, kFormatOwnBlock, kHeadedMode, nullptr, nullptr, nullptr);
    f.renderer().DeleteFontList();
    archive.Close();
  }
  return Bytes(file.Data(), file.Data() + file.GetLength());
}

int LoadDocument(ContainerFixture& f, Bytes bytes, EditResult* out) {
  platform::CMemFile file(bytes.data(), bytes.size());
  platform::CArchive archive(&file, platform::CArchive::kLoad);
  f.renderer().NewFontList();
  EXPECT_EQ(f.renderer().SerializeFontList(archive), 1);
  const int answer =
      f.container.SerializeRange(archive, kFormatOwnBlock, kHeadedMode, nullptr, nullptr, out);
  f.renderer().DeleteFontList();
  return answer;
}

TEST(ContainerStreamRoundTrip, WholeTextComesBackByteForByte) {
  ContainerFixture source;
  source.TypeIntoFirst("ab\rcd\x82\xA0\rxyz");
  CharFormat bold;
  bold.bold = 1;
  bold.mask = kMaskBold;
  const CVedTextPos from = source.PathIn(0, kMoveNextChar, 4);
  const CVedTextPos to = source.PathIn(0, kMoveNextChar, 6);
  EditResult formatted;
  ASSERT_NE(source.container.SetCharFont(&bold, &from, &to, &formatted), 0);
  source.Settle();
  const Bytes stored = StoreDocument(source);

  ContainerFixture target;
  EditResult result;
  ASSERT_EQ(LoadDocument(target, stored, &result), 1);
  EXPECT_EQ(StoreDocument(target), stored);
  EXPECT_EQ(result.heightDelta, 2 * kOneLine);
  ExpectHeightsKept(target);
}

TEST(ContainerStreamRoundTrip, RangeWithPositionComesBackIntoAFreshContainer) {
  ContainerFixture source(10, 10 * kLinePitch, 1);
  source.TypeIntoFirst("abc\rdef");
  const CVedTextPos from = source.PathIn(0, kMoveNextChar, 1);
  const Bytes range = StoreOwn(source.container, &from, nullptr);

  ContainerFixture target(10, 10 * kLinePitch, 1);
  EditResult result;
  const CVedTextPos replay = target.PathIn(0, kMoveDocumentStart);
  ASSERT_EQ(Load(target.container, range, &result, kFormatOwnBlock, kHeadedMode, &replay), 1);
  // The blocks are equal; the header tells the range was part of a child.
  const Bytes whole = StoreOwn(target.container);
  ASSERT_EQ(whole.size(), range.size());
  EXPECT_EQ(Bytes(whole.begin() + 64, whole.end()), Bytes(range.begin() + 64, range.end()));
  ExpectHeightsKept(target);
}

}  // namespace
}  // namespace container_test
