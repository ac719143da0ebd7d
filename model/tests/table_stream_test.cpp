#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "model/table_object.h"
#include "table_fixture.h"

namespace table_test {
namespace {

TableCaret WholeEnd(const CTableObject& table) {
  const int32_t row = table.Rows() - 1;
  const int32_t column = table.Columns() - 1;
  return {kCaretOnGrid, row, column, table.ColumnSpan(column), table.RowSpan(row)};
}

Bytes StoreWhole(TableFixture& t, int* answer = nullptr) {
  return t.StoreTable(t.table.GridStart(), WholeEnd(t.table), answer);
}

int32_t Thickness(const CLineStyle* rule) {
  LineStyleAttributes attributes;
  rule->GetAttributes(&attributes);
  return attributes.thickness;
}

// A 2 x 2 table, columns of 4 and 3 characters at the left, "ab" in the
// first cell and "cd" in the last.
TableSpec TwoByTwo() {
  TableSpec spec;
  spec.rows = 2;
  spec.columns = 2;
  spec.widths = {4, 3};
  spec.texts = {"ab", "", "", "cd"};
  spec.placement = kPlaceLeft;
  return spec;
}

TEST(TableStreamTest, TwoByTwoIsStoredByteForByte) {
  TableFixture t;
  ASSERT_EQ(t.Load(t.Stream(TwoByTwo())), 1);
  Bytes expected = {
      'T',  'A',  'B',  'L',  'E',  '_',  'O',  'B',  'J', 'E', 'C', 'T', 0x01, ' ', ' ',
      0x00,                                            // signature
      0x02, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00,  // version 2, whole rows
      0x02, 0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00,  // 2 rows, 2 columns
      0x01, 0x00, 0x00, 0x00, 0x04, 0x00, 0x00, 0x00,  // placement left, 4 positions
      0x01, 0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00,  // pitch / W, line pitch / H
      0x00, 0x00, 0x00, 0x00,                          // the four flag bytes
      0x04, 0x00, 0x00, 0x00, 0x03, 0x00, 0x00, 0x00,  // widths in characters
  };
  const Bytes rule = {'L',  'S',  0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF,
                      0xFF, 0x01, 0x00, 0x00, 0x00, 0x0A, 0x00, 0x00, 0x00, 0x00, 0x00,
                      0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x01, 'L',  'E',  0x00};
  const char* texts[] = {"ab", "", "", "cd"};
  for (int p = 0; p < 4; ++p) {
    Append(&expected, t.CellBlock(texts[p], (p % 2 == 0 ? 4 : 3) * kPitch));
    Append(&expected, rule);
    Append(&expected, rule);
  }
  for (int i = 0; i < 4; ++i) Append(&expected, rule);
  int answer = 0;
  EXPECT_EQ(StoreWhole(t, &answer), expected);
  EXPECT_EQ(answer, 1);
}

TEST(TableStreamTest, LoadReportsTheWholeTableAndPutsTheCaretInTheLastRow) {
  TableFixture t;
  EditResult result;
  ASSERT_EQ(t.Load(t.Stream(TwoByTwo()), &result), 1);
  EXPECT_EQ(t.table.Rows(), 2);
  EXPECT_EQ(t.table.Columns(), 2);
  EXPECT_EQ(t.CellText(0, 0), "ab");
  EXPECT_EQ(t.CellText(1, 1), "cd");
  EXPECT_EQ(result.changed, 1);
  EXPECT_EQ(result.heightDelta, t.table.TableHeight());
  EXPECT_EQ(t.table.PathToTablePos(&result.rangeStart), t.table.GridStart());
  EXPECT_EQ(t.table.PathToTablePos(&result.rangeEnd), WholeEnd(t.table));
  EXPECT_EQ(result.startAux, result.rangeStart);
  EXPECT_EQ(result.endAux, result.rangeEnd);
  EXPECT_EQ(t.table.PathToTablePos(&result.newCursor), (TableCaret{kCaretInCell, 1, 0, 0, 0}));
  EXPECT_GT(result.newCursor.depth, kTablePairCount);
  EXPECT_EQ(t.table.Caret(), (TableCaret{kCaretInCell, 1, 0, 0, 0}));
  EXPECT_EQ(t.table.CaretTop(), t.table.RuleHeight());
}

// Every segment gets its own thickness so that a misplaced one shows.
TEST(TableStreamTest, RoundTripKeepsEveryLineStyleInPlace) {
  TableFixture t;
  TableSpec spec;
  spec.texts = {"ab", "", "c", "", "", "de"};
  Bytes stream = t.Head(spec);
  int32_t thickness = 1;
  for (int32_t p = 0; p < 6; ++p) {
    Append(&stream, t.CellBlock(spec.texts[p], spec.widths[p % 3] * kPitch));
    Append(&stream, RuleRecord(1, thickness++));
    Append(&stream, RuleRecord(1, thickness++));
  }
  for (int i = 0; i < 5; ++i) Append(&stream, RuleRecord(1, thickness++));
  ASSERT_EQ(t.Load(stream), 1);
  EXPECT_EQ(StoreWhole(t), stream);

  TableFixture u;
  ASSERT_EQ(u.Load(StoreWhole(t)), 1);
  // Horizontal entry c + 3r came as record 2(3r + c) + 1; the bottom border
  // as records 13-15. Vertical entries in index order: 2, 4, 6, 16, 8, ...
  for (int32_t r = 0; r < 2; ++r) {
    for (int32_t c = 0; c < 3; ++c) {
      EXPECT_EQ(Thickness(u.table.HorizontalRule(c + 3 * r)), 2 * (3 * r + c) + 1);
    }
  }
  for (int32_t c = 0; c < 3; ++c) EXPECT_EQ(Thickness(u.table.HorizontalRule(6 + c)), 13 + c);
  const int32_t vertical[] = {2, 4, 6, 8, 10, 12, 16, 17};
  for (int32_t i = 0; i < 8; ++i) EXPECT_EQ(Thickness(u.table.VerticalRule(i)), vertical[i]);
  EXPECT_EQ(u.CellText(2, 1), "de");
}

TEST(TableStreamTest, ARangeEndingOnAColumnsLeftRuleLeavesThatColumnOut) {
  TableFixture t;
  ASSERT_EQ(t.Load(t.Stream(TableSpec{})), 1);
  const Bytes part = t.StoreTable(t.table.GridStart(), {kCaretOnGrid, 1, 2, 0, 2});
  ASSERT_GT(part.size(), 32u);
  EXPECT_EQ(part[20], 2);  // fewer columns than the table has
  EXPECT_EQ(part[24], 2);  // both rows
  EXPECT_EQ(part[28], 2);  // columns 0 and 1
  const Bytes rows = t.StoreTable(t.table.GridStart(), {kCaretOnGrid, 1, 2, 6, 0});
  EXPECT_EQ(rows[24], 1);  // the end on row 1's top rule leaves row 1 out
}

TEST(TableStreamTest, VersionOneKeepsWidthsInTwips) {
  TableFixture t;
  TableSpec spec;
  spec.version = 1;
  spec.widths = {4 * kPitch, 3 * kPitch, 5 * kPitch};
  ASSERT_EQ(t.Load(t.Stream(spec)), 1);
  EXPECT_EQ(t.table.ColumnWidths(), (std::vector<int32_t>{520, 390, 650}));
}

TEST(TableStreamTest, JoinedCellsAreWrittenThroughTheirRecordsObject) {
  TableFixture t;
  TableSpec spec = TwoByTwo();
  spec.flags = {kJoinsRight, kJoinedLeft, 0, 0};
  ASSERT_EQ(t.Load(t.Stream(spec)), 1);
  t.table.RenumberCells();
  const Bytes stored = StoreWhole(t);
  const Bytes first = t.CellBlock("ab", 4 * kPitch);
  const size_t cells = 16 + 32 + 4 + 8;
  const size_t second = cells + first.size() + 64;
  ASSERT_GT(stored.size(), second + first.size());
  EXPECT_EQ(Bytes(stored.begin() + cells, stored.begin() + cells + first.size()), first);
  EXPECT_EQ(Bytes(stored.begin() + second, stored.begin() + second + first.size()), first);
}

TEST(TableStreamTest, PlainTextJoinsTheCellsOfTheRows) {
  TableFixture t;
  ASSERT_EQ(t.Load(t.Stream(TwoByTwo())), 1);
  platform::CMemFile file;
  int answer = 0;
  {
    platform::CArchive archive(&file, platform::CArchive::kStore);
    answer = t.table.StorePlainText(archive, 1, 0);
    archive.Close();
  }
  EXPECT_EQ(answer, 1);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(file.Data()), file.GetLength()),
            t.CellText(0, 0) + "\r\n" + t.CellText(1, 0) + "\r\n" + t.CellText(0, 1) + "\r\n" +
                t.CellText(1, 1));
}

TEST(TableStreamTest, LoadIntoACellNeedsACellUnderTheCaret) {
  TableFixture t;
  platform::CMemFile file;
  platform::CArchive archive(&file, platform::CArchive::kLoad);
  EditResult result;
  EXPECT_EQ(t.table.LoadTable(archive, 1, &result), 0);
  EXPECT_EQ(result.changed, 0);
}

// Header fields as written by TableFixture::Head: byte offset of field i
// is 16 + 4i.
struct HeaderFault {
  const char* name;
  size_t field;
  int32_t value;
  size_t field2 = 0;  // a second field to change; 0 leaves the version
  int32_t value2 = 2;
};

class HeaderFaults : public ::testing::TestWithParam<HeaderFault> {};

TEST_P(HeaderFaults, AreRejectedBeforeAnythingIsBuilt) {
  TableFixture t;
  Bytes stream = t.Stream(TableSpec{});
  const auto v = static_cast<uint32_t>(GetParam().value);
  for (size_t i = 0; i < 4; ++i) {
    stream[16 + 4 * GetParam().field + i] = static_cast<uint8_t>(v >> (8 * i));
    const auto v2 = static_cast<uint32_t>(GetParam().value2);
    stream[16 + 4 * GetParam().field2 + i] = static_cast<uint8_t>(v2 >> (8 * i));
  }
  EditResult result;
  EXPECT_EQ(t.Load(stream, &result), -1);
  EXPECT_EQ(result.changed, -1);
  EXPECT_EQ(t.table.IsEmpty(), 1);
  EXPECT_EQ(t.table.CellCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Table, HeaderFaults,
    ::testing::Values(HeaderFault{"WidthRatioZero", 6, 0}, HeaderFault{"HeightRatioZero", 7, 0},
                      HeaderFault{"RuleNarrowerThanATwip", 6, 1000},
                      HeaderFault{"RuleLowerThanATwip", 7, 1000},
                      HeaderFault{"NegativeRatio", 6, -1}, HeaderFault{"NoRows", 2, 0},
                      HeaderFault{"NegativeRows", 2, -2}, HeaderFault{"NegativeColumns", 3, -3},
                      HeaderFault{"AbsurdRows", 2, 0x7FFFFFFF, 5, 0x7FFFFFFD},
                      HeaderFault{"MoreRowsThanTheStreamHolds", 2, 40, 5, 120},
                      HeaderFault{"CountDisagrees", 5, 7}, HeaderFault{"UnknownPlacement", 4, 9}),
    [](const auto& info) { return std::string(info.param.name); });

struct PartFault {
  const char* name;
  size_t offset;  // the byte that is changed
  uint8_t value;
};

class PartFaults : public ::testing::TestWithParam<PartFault> {};

TEST_P(PartFaults, FailTheWholeLoad) {
  TableFixture t;
  Bytes stream = t.Stream(TwoByTwo());
  stream[GetParam().offset] = GetParam().value;
  EXPECT_EQ(t.Load(stream), -1);
  EXPECT_EQ(t.table.IsEmpty(), 1);
  EXPECT_EQ(t.table.CellCount(), 0);
  EXPECT_EQ(t.table.HorizontalRuleCount(), 0);
}

// Offsets in the 2 x 2 stream: signature 0, header 16, flags 48, widths
// 52 (4 and 3), the first cell's signature at 60.
INSTANTIATE_TEST_SUITE_P(Table, PartFaults,
                         ::testing::Values(PartFault{"TableSignature", 3, 'X'},
                                           PartFault{"ZeroWidth", 52, 0},
                                           PartFault{"NegativeWidth", 55, 0x80},
                                           PartFault{"CellSignature", 60, 't'}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(TableStreamTest, ABrokenLineStyleMarkerFailsTheLoad) {
  TableFixture t;
  Bytes stream = t.Stream(TwoByTwo());
  const size_t firstRule = 60 + t.CellBlock("ab", 4 * kPitch).size();
  ASSERT_EQ(stream[firstRule], 'L');
  stream[firstRule + 1] = 'X';
  EXPECT_EQ(t.Load(stream), -1);
  EXPECT_EQ(t.table.IsEmpty(), 1);
  Bytes endMark = t.Stream(TwoByTwo());
  endMark[endMark.size() - 2] = 'X';  // the last border record's "LE"
  EXPECT_EQ(t.Load(endMark), -1);
  EXPECT_EQ(t.table.IsEmpty(), 1);
}

TEST(TableStreamTest, ATableThatCannotShrinkToTheTextIsDiscarded) {
  TableFixture t(3);  // 780 twips of text width, less than 3 columns of 1 character and 4 rules
  EXPECT_EQ(t.Load(t.Stream(TableSpec{})), -1);
  EXPECT_EQ(t.table.IsEmpty(), 1);
}

// Every cut of a whole stream fails cleanly; a stream with bytes changed
// here and there either loads whole or fails with the table empty.
TEST(TableStreamFuzzTest, TruncatedAndMutatedStreamsFailCleanly) {
  TableFixture t;
  const Bytes stream = t.Stream(TwoByTwo());
  for (size_t length = 0; length < stream.size(); ++length) {
    const Bytes cut(stream.begin(), stream.begin() + length);
    ASSERT_EQ(t.Load(cut), -1) << "length " << length;
    ASSERT_EQ(t.table.CellCount(), 0);
  }
  uint32_t seed = 12345;
  auto next = [&seed] {
    seed = seed * 1103515245u + 12345u;
    return seed >> 8;
  };
  for (int round = 0; round < 300; ++round) {
    Bytes mutated = stream;
    const int changes = 1 + static_cast<int>(next() % 4);
    for (int k = 0; k < changes; ++k) {
      mutated[next() % mutated.size()] = static_cast<uint8_t>(next());
    }
    const int answer = t.Load(mutated);
    ASSERT_TRUE(answer == 1 || answer == -1);
    if (answer == -1) {
      ASSERT_EQ(t.table.CellCount(), 0);
      continue;
    }
    const auto cells = static_cast<size_t>(t.table.Rows() * t.table.Columns());
    ASSERT_EQ(t.table.Records().size(), cells);
    ASSERT_EQ(static_cast<size_t>(t.table.HorizontalRuleCount()),
              static_cast<size_t>((t.table.Rows() + 1) * t.table.Columns()));
    ASSERT_EQ(static_cast<size_t>(t.table.VerticalRuleCount()),
              static_cast<size_t>(t.table.Rows() * (t.table.Columns() + 1)));
  }
}

}  // namespace
}  // namespace table_test

namespace table_test {
namespace {

int LoadText(CTableObject& table, const std::string& text, EditResult* result) {
  Bytes bytes(text.begin(), text.end());
  platform::CMemFile file(bytes.data(), bytes.size());
  platform::CArchive archive(&file, platform::CArchive::kLoad);
  return table.LoadTextIntoCursorCell(archive, result);
}

TEST(TableCellLoadTest, PlainTextGoesIntoTheCaretCell) {
  TableFixture t;
  ASSERT_EQ(t.Load(t.Stream(TwoByTwo())), 1);  // the caret is in cell (row 1, column 0)
  EditResult result;
  EXPECT_GT(LoadText(t.table, "xy", &result), 0);
  EXPECT_EQ(t.CellText(0, 1), "xy");
  EXPECT_EQ(result.heightDelta, 0);
  EXPECT_EQ(t.table.PathToTablePos(&result.rangeStart), t.table.Caret());
  EXPECT_EQ(result.newCursor, result.rangeStart);
}

TEST(TableCellLoadTest, ATallerCellReportsItsRowAndTheTableEnd) {
  TableFixture t;
  ASSERT_EQ(t.Load(t.Stream(TwoByTwo())), 1);
  const int32_t before = t.table.TableHeight();
  EditResult result;
  EXPECT_GT(LoadText(t.table, "a\r\nb\r\nc", &result), 0);
  EXPECT_EQ(t.table.RowHeights()[1], 3 * kLinePitch);
  EXPECT_EQ(result.heightDelta, 2 * kLinePitch);
  EXPECT_EQ(t.table.TableHeight(), before + 2 * kLinePitch);
  EXPECT_EQ(t.table.PathToTablePos(&result.rangeStart), (TableCaret{kCaretOnGrid, 0, 0, 0, 0}));
  EXPECT_EQ(t.table.PathToTablePos(&result.rangeEnd), t.table.GridEnd());
}

}  // namespace
}  // namespace table_test

namespace table_test {
namespace {

// A cell that cannot store itself (here it holds a table child whose own
// stream is not offered) fails the whole store.
TEST(TableStoreTest, ACellThatCannotBeStoredFailsTheStore) {
  TableFixture t;
  ASSERT_EQ(t.Load(t.Stream(TwoByTwo())), 1);
  CTableCellObj* cell = t.table.CellAt(3);
  cell->Children().InsertAt(1,
                            ChildEntry{cell->CreateChildObject(kObjectTable), kObjectTable, 0, {}});
  int answer = 0;
  StoreWhole(t, &answer);
  EXPECT_EQ(answer, -1);
  // The rows before it still store on their own.
  t.StoreTable(t.table.GridStart(), {kCaretOnGrid, 0, 1, 3, 1}, &answer);
  EXPECT_EQ(answer, 1);
}

}  // namespace
}  // namespace table_test
