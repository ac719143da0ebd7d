#include "model/table_cell.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "container_fixture.h"
#include "model/grid_area.h"
#include "model/position.h"

namespace container_test {
namespace {

using Bytes = std::vector<uint8_t>;
using CellFixture = BasicContainerFixture<CTableCellObj>;

constexpr int kCellMode = 2;

// Three lines of text, then a grid area of three lines; 100 twips of the
// row are left below the grid.
constexpr int32_t kRowHeight = 6 * kLinePitch + 100;
constexpr char kThreeLines[] = "ab\rcd\ref";

// The signature in front of a stored cell, written out byte by byte.
const Bytes kSignature = {'T', 'a', 'b', 'l', 'e',  'C',  'e',  'l',
                          'l', 'O', 'b', 'j', 0x1A, 0x00, 0x00, 0x00};

Bytes Store(CDocObject& object, int tag, int mode, int* answer = nullptr) {
  platform::CMemFile file;
  {
    platform::CArchive archive(&file, platform::CArchive::kStore);
    const int stored = object.SerializeRange(archive, tag, mode, nullptr, nullptr, nullptr);
    if (answer != nullptr) *answer = stored;
    archive.Close();
  }
  return Bytes(file.Data(), file.Data() + file.GetLength());
}

// The cell's container part alone, as the container itself writes it.
Bytes StoreAsContainer(CTableCellObj& cell, int tag, int mode) {
  platform::CMemFile file;
  {
    platform::CArchive archive(&file, platform::CArchive::kStore);
    cell.CDocObjContainer::SerializeRange(archive, tag, mode, nullptr, nullptr, nullptr);
    archive.Close();
  }
  return Bytes(file.Data(), file.Data() + file.GetLength());
}

int32_t Int32At(const Bytes& bytes, size_t offset) {
  uint32_t value = 0;
  for (size_t i = 0; i < 4; ++i) value |= static_cast<uint32_t>(bytes.at(offset + i)) << (8 * i);
  return static_cast<int32_t>(value);
}

// A cell given a row of kRowHeight, its text holding three lines.
class TableCellTest : public ::testing::Test {
 protected:
  TableCellTest() { f.TypeIntoFirst(kThreeLines); }

  CTableCellObj& cell() { return f.container; }
  // A position at the start of the text's line `line` (0-based).
  CVedTextPos LineStart(int line) { return f.PathIn(0, kMoveLineDown, line); }

  CellFixture f{10, kRowHeight, 0};
};

TEST(TableCellFormatTest, AnyFormatGivesTheCellItsTrailingGrid) {
  CellFixture f(10, 4 * kLinePitch, 0);  // a format without the cell flag
  EXPECT_EQ(f.Types(), (std::vector<int32_t>{kObjectText, kObjectGridArea}));
  PageFormat kept;
  f.container.GetPageFormat(&kept);
  EXPECT_EQ(kept.cellFlag, 1);
  EXPECT_EQ(f.format.cellFlag, 0);  // the caller's copy is left alone

  f.Settle();  // ApplyPageFormat with the same flagless format
  EXPECT_EQ(f.Types(), (std::vector<int32_t>{kObjectText, kObjectGridArea}));
  EXPECT_EQ(f.container.Format().cellFlag, 1);
  EXPECT_EQ(f.Heights(), (std::vector<int32_t>{kLinePitch, 3 * kLinePitch}));

  EXPECT_EQ(f.container.SetPageFormat(nullptr), 0);
  EXPECT_EQ(f.container.ApplyPageFormat(nullptr), 0);
  EXPECT_EQ(f.Types(), (std::vector<int32_t>{kObjectText, kObjectGridArea}));
}

TEST_F(TableCellTest, TextAndContentHeightLeaveOutTheFiller) {
  EXPECT_EQ(f.Heights(), (std::vector<int32_t>{3 * kLinePitch, 3 * kLinePitch}));
  EXPECT_EQ(cell().GetContentHeight(), 3 * kLinePitch);
  EXPECT_EQ(cell().GetFirstChild(), f.Child(0));
}

TEST_F(TableCellTest, WholeHeightIsTheRowHeight) {
  EXPECT_EQ(cell().GetHeight(nullptr, nullptr), kRowHeight);
}

TEST_F(TableCellTest, HeightToTheEndReachesTheRowBottom) {
  const CVedTextPos second = LineStart(1);
  const CVedTextPos third = LineStart(2);
  EXPECT_EQ(cell().GetHeight(&second, nullptr), kRowHeight - kLinePitch);
  EXPECT_EQ(cell().GetHeight(&third, nullptr), kRowHeight - 2 * kLinePitch);
  // With an end, the container's measure between the two.
  EXPECT_EQ(cell().GetHeight(nullptr, &second), 2 * kLinePitch);
  EXPECT_EQ(cell().GetHeight(&second, &third), 2 * kLinePitch);
}

// A row that has not yet grown to new content is shorter than the text:
// the height down to its bottom shrinks, but never below 0.
TEST_F(TableCellTest, HeightToTheEndOfAnOverfullCellIsNeverNegative) {
  PageFormat shortRow = f.format;
  shortRow.textHeight = kLinePitch;
  cell().ApplyPageFormat(&shortRow);
  const CVedTextPos second = LineStart(1);
  const CVedTextPos third = LineStart(2);
  EXPECT_EQ(cell().GetHeight(&second, nullptr), 0);
  EXPECT_EQ(cell().GetHeight(&third, nullptr), 0);
  EXPECT_EQ(cell().GetHeight(nullptr, nullptr), kLinePitch);
}

TEST_F(TableCellTest, PointInTheTextIsTheContainersAnswer) {
  const int32_t x = kPitch + 10;
  const int32_t y = kLinePitch + 10;
  CVedTextPos expected;
  ASSERT_EQ(cell().CDocObjContainer::PositionFromPoint(0, nullptr, x, y, &expected), 0);
  CVedTextPos found;
  EXPECT_EQ(cell().PositionFromPoint(0, nullptr, x, y, &found), 0);
  EXPECT_EQ(found, expected);
  EXPECT_GT(found.depth, 1);  // a place inside the text, not an empty path
}

TEST_F(TableCellTest, PointBelowTheRowAnswersTheRowHeight) {
  CVedTextPos found;
  EXPECT_EQ(cell().PositionFromPoint(1, nullptr, 0, kRowHeight + 1, &found), kRowHeight);
  EXPECT_EQ(f.CursorIndex(), 0);
}

// Below the grid's last line but still inside the row: the last line at x.
TEST_F(TableCellTest, PointBelowTheContentInsideTheRowGoesToTheLastLine) {
  const int32_t x = 2 * kPitch + 5;
  const int32_t y = kRowHeight - 50;
  CVedTextPos found;
  EXPECT_EQ(cell().PositionFromPoint(0, nullptr, x, y, &found), 0);
  CVedTextPos inGrid;
  inGrid.Append(PosPair{kTagFreeCursor, 2});  // column x / pitch
  inGrid.Append(PosPair{kTagFreeCursor, 2});  // the grid's last row
  const CVedTextPos lastLine = InChild(1, inGrid);
  EXPECT_EQ(found, lastLine);
  EXPECT_EQ(f.CursorIndex(), 0);  // not set without the flag

  EXPECT_EQ(cell().PositionFromPoint(1, nullptr, x, y, &found), 0);
  EXPECT_EQ(found, lastLine);
  CVedTextPos cursor;
  cell().GetCursor(&cursor);
  EXPECT_EQ(cursor, lastLine);
}

TEST_F(TableCellTest, StoredCellIsTheSignatureThenTheContainersData) {
  int answer = 0;
  const Bytes bytes = Store(cell(), kFormatOwnBlock, kCellMode, &answer);
  EXPECT_EQ(answer, 1);  // success, not the failure code
  ASSERT_GT(bytes.size(), 80u);
  EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + 16), kSignature);
  // The container's part: one block (the grid area is not stored), the
  // text child's header (type, recorded height, whole, index 0), then
  // the text's own block.
  EXPECT_EQ(Int32At(bytes, 16), 1);
  EXPECT_EQ(Int32At(bytes, 24), kObjectText);
  EXPECT_EQ(Int32At(bytes, 28), 3 * kLinePitch);
  EXPECT_EQ(Int32At(bytes, 48), 1);
  EXPECT_EQ(Int32At(bytes, 52), 0);
  EXPECT_EQ(std::string(bytes.begin() + 80, bytes.begin() + 96),
            std::string("TextObject Data\0", 16));
  EXPECT_EQ(Bytes(bytes.begin() + 16, bytes.end()),
            StoreAsContainer(cell(), kFormatOwnBlock, kCellMode));
}

TEST_F(TableCellTest, AStoreTheContainerRefusesFailsTheCell) {
  const CVedTextPos nowhere = InChild(5, CVedTextPos());
  platform::CMemFile file;
  platform::CArchive archive(&file, platform::CArchive::kStore);
  EXPECT_EQ(cell().SerializeRange(archive, kFormatOwnBlock, kCellMode, &nowhere, nullptr, nullptr),
            -1);
}

TEST_F(TableCellTest, RoundTripKeepsTheTextAndTheFiller) {
  const Bytes bytes = Store(cell(), kFormatOwnBlock, kCellMode);
  CellFixture target(10, kRowHeight, 0);
  Bytes copy = bytes;
  platform::CMemFile file(copy.data(), copy.size());
  platform::CArchive archive(&file, platform::CArchive::kLoad);
  EditResult result;
  EXPECT_EQ(target.container.SerializeRange(archive, kFormatOwnBlock, kCellMode, nullptr, nullptr,
                                            &result),
            1);
  EXPECT_EQ(result.changed, 1);
  EXPECT_EQ(target.Texts(), f.Texts());
  EXPECT_EQ(target.Types(), (std::vector<int32_t>{kObjectText, kObjectGridArea}));
  EXPECT_EQ(target.container.GetContentHeight(), 3 * kLinePitch);
}

TEST_F(TableCellTest, OtherTagsAndModesHaveNoSignature) {
  EXPECT_EQ(Store(cell(), kFormatOwnBlock, 0), StoreAsContainer(cell(), kFormatOwnBlock, 0));
  const Bytes plain = Store(cell(), kFormatPlainText, kCellMode);
  EXPECT_EQ(std::string(plain.begin(), plain.end()), "ab\r\ncd\r\nef");
}

struct DamageCase {
  const char* name;
  size_t length;  // bytes of the signature kept, then one more byte
  size_t offset;  // a signature byte changed, when below the length
  uint8_t value;
};

class TableCellSignatureTest : public ::testing::TestWithParam<DamageCase> {};

// A wrong or short signature fails the load, changes nothing and reads
// nothing past the 16 signature bytes.
TEST_P(TableCellSignatureTest, FailsTheLoad) {
  CellFixture f(10, kRowHeight, 0);
  f.TypeIntoFirst("xy");
  const std::vector<std::string> before = f.Texts();
  Bytes bytes(kSignature.begin(), kSignature.begin() + GetParam().length);
  if (GetParam().offset < bytes.size()) bytes[GetParam().offset] = GetParam().value;
  bytes.push_back(0x5A);
  platform::CMemFile file(bytes.data(), bytes.size());
  platform::CArchive archive(&file, platform::CArchive::kLoad);
  EditResult result;
  result.changed = 1;
  EXPECT_EQ(
      f.container.SerializeRange(archive, kFormatOwnBlock, kCellMode, nullptr, nullptr, &result),
      CTableCellObj::kBadSignature);
  EXPECT_EQ(CTableCellObj::kBadSignature, -1);
  EXPECT_EQ(result.changed, 0);
  EXPECT_EQ(f.Texts(), before);
  if (GetParam().length == kSignature.size()) {
    uint8_t next = 0;
    EXPECT_EQ(archive.Read(&next, 1), 1u);
    EXPECT_EQ(next, 0x5A);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Signatures, TableCellSignatureTest,
    ::testing::Values(DamageCase{"Nothing", 0, 16, 0}, DamageCase{"Short", 14, 16, 0},
                      DamageCase{"FirstLetter", 16, 0, 't'}, DamageCase{"LastLetter", 16, 11, 'J'},
                      DamageCase{"EndByte", 16, 12, 0x00}, DamageCase{"Padding", 16, 15, 0x01}),
    [](const auto& info) { return std::string(info.param.name); });

// Every cut of a stored cell fails cleanly: never success, never a crash.
TEST_F(TableCellTest, EveryTruncationFails) {
  const Bytes bytes = Store(cell(), kFormatOwnBlock, kCellMode);
  for (size_t length = 0; length < bytes.size(); ++length) {
    CellFixture target(10, kRowHeight, 0);
    Bytes cut(bytes.begin(), bytes.begin() + length);
    platform::CMemFile file(cut.data(), cut.size());
    platform::CArchive archive(&file, platform::CArchive::kLoad);
    EditResult result;
    EXPECT_LT(target.container.SerializeRange(archive, kFormatOwnBlock, kCellMode, nullptr, nullptr,
                                              &result),
              1)
        << length;
  }
}

}  // namespace
}  // namespace container_test
