#include "model/table_object.h"

#include <gtest/gtest.h>

#include <memory>

#include "model/texts.h"
#include "platform/sjis.h"
#include "table_fixture.h"

namespace table_test {
namespace {

TEST(TableTextsTest, SignatureAndBoxCharactersAreTheirCp932Bytes) {
  EXPECT_EQ(std::string(kTableSignature, 16), std::string("TABLE_OBJECT\x01  \0", 16));
  EXPECT_EQ(platform::Utf8ToSjis("├┼┤┌┬┐└┴┘").value(), kBoxCrossings);
  EXPECT_EQ(platform::Utf8ToSjis("─").value(), kBoxHorizontal);
  EXPECT_EQ(platform::Utf8ToSjis("│").value(), kBoxVertical);
}

TEST(TableLifeTest, AFreshTableIsEmptyAndClears) {
  TableFixture t;
  EXPECT_EQ(t.table.Rows(), 0);
  EXPECT_EQ(t.table.Columns(), 0);
  EXPECT_EQ(t.table.CellCount(), 0);
  EXPECT_EQ(t.table.IsEmpty(), 1);
  EXPECT_EQ(t.table.Caret(), (TableCaret{kCaretInCell, 0, 0, 0, 0}));
  EXPECT_EQ(t.table.RuleGridFlag(), 1);
  EXPECT_EQ(t.table.SecondLineSetting(), 1);
  EXPECT_EQ(t.table.Clear(), 1);
}

TEST(TableLifeTest, OptionsAlwaysLetTheCursorStandFreeAndRefuseFormFeeds) {
  TableFixture t;
  const DocObjOptions given{0, 1, 1, 1, 7};
  t.table.SetOptions(&given);
  DocObjOptions kept;
  t.table.GetOptions(&kept);
  EXPECT_EQ(kept, (DocObjOptions{1, 1, 1, 0, 7}));
}

TEST(TableLifeTest, TableFlagsTakeTheLowByteAsTheRuleGridFlag) {
  TableFixture t;
  t.table.SetTableFlags(0x0100);
  EXPECT_EQ(t.table.RuleGridFlag(), 0);
  EXPECT_EQ(t.table.SecondLineSetting(), 1);
  t.table.SetTableFlags(0x0001);
  EXPECT_EQ(t.table.RuleGridFlag(), 1);
  EXPECT_EQ(t.table.SecondLineSetting(), 0);
}

TEST(TableLifeTest, EmptyingDetachesRowAnchorsWithoutDeletingThem) {
  TableFixture t;
  ASSERT_EQ(t.Load(t.Stream(TableSpec{})), 1);
  CVedAnchor anchor;
  anchor.SetValue2(5);
  t.table.RowRecords()[1].anchor = &anchor;
  EXPECT_EQ(t.table.Reset(), 1);
  EXPECT_EQ(anchor.GetValue2(), CVedTag::kUnset);
  EXPECT_EQ(t.table.IsEmpty(), 1);
  EXPECT_EQ(t.table.CellCount(), 0);
  EXPECT_EQ(t.table.HorizontalRuleCount(), 0);
  EXPECT_EQ(t.table.VerticalRuleCount(), 0);
  EXPECT_TRUE(t.table.RowRecords().empty());
}

TEST(TableLifeTest, SettingAPageFormatEmptiesTheTableAndKeepsTheFormat) {
  TableFixture t;
  ASSERT_EQ(t.Load(t.Stream(TableSpec{})), 1);
  PageFormat wider = t.f.format;
  wider.textWidth += 1000;
  EXPECT_EQ(t.table.SetPageFormat(&wider), 1);
  EXPECT_EQ(t.table.IsEmpty(), 1);
  EXPECT_EQ(t.table.Format().textWidth, wider.textWidth);
}

// Under the sanitizer a table deleted while it still holds cells, records
// and line styles leaks nothing, and touches no anchor it does not own.
TEST(TableLifeTest, DeletingAFullTableReleasesEverything) {
  TableFixture t;
  auto full = std::make_unique<CTableObject>();
  t.Prepare(*full);
  TableSpec spec;
  spec.texts = {"ab", "", "cd"};
  ASSERT_EQ(t.Load(*full, t.Stream(spec)), 1);
  ASSERT_EQ(full->CellCount(), 6);
  // The page table that attached a row anchor may be gone before the table.
  auto anchor = std::make_unique<CVedAnchor>();
  full->RowRecords()[0].anchor = anchor.get();
  anchor.reset();
  full.reset();
}

TEST(TableLifeTest, JoinedCellsShareOneObjectIndexAndTheNextCellFollows) {
  TableFixture t;
  TableSpec spec;
  spec.flags = {kJoinsRight, kJoinedLeft, 0, 0, 0, 0};
  ASSERT_EQ(t.Load(t.Stream(spec)), 1);
  t.table.RenumberCells();
  const auto& records = t.table.Records();
  EXPECT_EQ(records[0].objectIndex, 0);
  EXPECT_EQ(records[1].objectIndex, 0);
  EXPECT_EQ(records[2].objectIndex, 1);
  EXPECT_EQ(records[3].objectIndex, 2);
  EXPECT_EQ(records[0].rowBand, 0);
  EXPECT_EQ(records[3].rowBand, 1);
}

TEST(TableLifeTest, RowsJoinedByACellShareABand) {
  TableFixture t;
  TableSpec spec;
  spec.rows = 3;
  spec.flags = {kJoinsBelow, 0, 0, kJoinedAbove, 0, 0, 0, 0, 0};
  ASSERT_EQ(t.Load(t.Stream(spec)), 1);
  t.table.RenumberCells();
  const auto& records = t.table.Records();
  EXPECT_EQ(records[3].objectIndex, records[0].objectIndex);
  EXPECT_EQ(records[2].rowBand, 0);
  EXPECT_EQ(records[3].rowBand, 0);
  EXPECT_EQ(records[6].rowBand, 1);
}

TEST(TableLifeTest, PathsCarryTheFivePairsInFrontOfTheCellPath) {
  TableFixture t;
  CVedTextPos path;
  path.Append({257, 3});
  t.table.TablePosToPath({kCaretOnGrid, 4, 5, -2, 7}, &path);
  ASSERT_EQ(path.depth, 6);
  EXPECT_EQ(path.pairs[0], (PosPair{kTagTableMode, kCaretOnGrid}));
  EXPECT_EQ(path.pairs[1], (PosPair{kTagTableAcross, -2}));
  EXPECT_EQ(path.pairs[2], (PosPair{kTagTableDown, 7}));
  EXPECT_EQ(path.pairs[3], (PosPair{kTagTableAcross, 4}));
  EXPECT_EQ(path.pairs[4], (PosPair{kTagTableDown, 5}));
  EXPECT_EQ(t.table.PathToTablePos(&path), (TableCaret{kCaretOnGrid, 4, 5, -2, 7}));
  const CVedTextPos rest = t.table.StripTablePairs(path);
  ASSERT_EQ(rest.depth, 1);
  EXPECT_EQ(rest.pairs[0], (PosPair{257, 3}));
  EXPECT_EQ(t.table.PathToTablePos(nullptr), t.table.Caret());
  CVedTextPos foreign;
  foreign.Append({kTagChildIndex, 0});
  EXPECT_FALSE(t.table.PathToTablePos(&foreign).has_value());
}

}  // namespace
}  // namespace table_test

namespace table_test {
namespace {

TEST(TableLifeTest, TheContainersFactoryMakesAnEmptyTableOfType2) {
  TableFixture t;
  std::unique_ptr<CDocObject> made(t.f.container.CreateChildObject(kObjectTable));
  auto* table = dynamic_cast<CTableObject*>(made.get());
  ASSERT_NE(table, nullptr);
  EXPECT_EQ(table->IsEmpty(), 1);
  EXPECT_EQ(table->Format().textWidth, t.f.format.textWidth);
  EXPECT_EQ(table->Options().freeCursor, 1);
}

}  // namespace
}  // namespace table_test
