#include "model/position.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/archive.h"
#include "platform/file.h"

namespace {

using platform::CArchive;
using platform::CMemFile;
using Bytes = std::vector<uint8_t>;

CVedTextPos Path(std::initializer_list<PosPair> pairs) {
  CVedTextPos path;
  for (const PosPair& pair : pairs) path.Append(pair);
  return path;
}

TEST(CVedTextPosTest, ComparesOnlyTheStepsInForce) {
  CVedTextPos a = Path({{0x901, 1}, {257, 4}});
  CVedTextPos b = Path({{0x901, 1}, {257, 9}});
  a.depth = b.depth = 1;
  EXPECT_TRUE(a == b);
  b.depth = 2;
  EXPECT_FALSE(a == b);

  CVedTextPos empty;
  CVedTextPos negative = Path({{1, 1}});
  negative.depth = -1;
  EXPECT_TRUE(empty == negative);
}

TEST(CVedTextPosTest, CopiesTakeEveryPairAndDepthFollowsThem) {
  CVedTextPos shallow = Path({{0x901, 0}, {257, 1}, {258, 2}});
  shallow.depth = 1;

  const CVedTextPos copied(shallow);
  EXPECT_EQ(copied.depth, 3);
  CVedTextPos assigned;
  assigned = shallow;
  EXPECT_EQ(assigned.depth, 3);
  EXPECT_EQ(assigned.pairs, shallow.pairs);

  CVedTextPos& self = shallow;
  shallow = self;
  EXPECT_EQ(shallow.depth, 1);  // assigning to itself changes nothing
}

TEST(CVedTextPosTest, StripHandsTheRestDown) {
  const CVedTextPos path = Path({{0x901, 3}, {257, 7}});
  const StrippedPath stripped = StripStep(&path, 0);
  EXPECT_EQ(stripped.step, (PosPair{0x901, 3}));
  ASSERT_NE(stripped.RestOrNull(), nullptr);
  EXPECT_EQ(stripped.rest->pairs, (std::vector<PosPair>{{257, 7}}));
  EXPECT_EQ(stripped.rest->depth, 1);

  const CVedTextPos single = Path({{0x901, 2}});
  const StrippedPath last = StripStep(&single, 0);
  ASSERT_TRUE(last.rest.has_value());
  EXPECT_TRUE(last.rest->pairs.empty());
  EXPECT_EQ(last.rest->depth, 0);
}

TEST(CVedTextPosTest, NullOrEmptyPathStripsToTheDefaultChildAndNoRest) {
  const CVedTextPos empty;
  for (const CVedTextPos* path : {static_cast<const CVedTextPos*>(nullptr), &empty}) {
    const StrippedPath stripped = StripStep(path, 5);
    EXPECT_EQ(stripped.step, (PosPair{kTagChildIndex, 5}));
    EXPECT_EQ(stripped.RestOrNull(), nullptr);
  }
}

TEST(CVedTextPosTest, PrependLeavesEmptyPathsEmpty) {
  CVedTextPos empty;
  empty.PrependChild(4);
  EXPECT_TRUE(empty.pairs.empty());
  EXPECT_EQ(empty.depth, 0);

  CVedTextPos path = Path({{257, 1}});
  path.PrependChild(4);
  EXPECT_EQ(path.pairs, (std::vector<PosPair>{{0x901, 4}, {257, 1}}));
  EXPECT_EQ(path.depth, 2);
}

Bytes StoreToBytes(const CVedTextPos& path) {
  CMemFile file;
  CArchive archive(&file, CArchive::kStore);
  WritePathPairs(archive, path);
  archive.Close();
  return Bytes(file.Data(), file.Data() + file.GetLength());
}

TEST(CVedTextPosTest, StoredFormIsCountThenTagValuePairs) {
  CVedTextPos path = Path({{0x901, 2}, {257, -1}});
  path.depth = 1;                   // the depth is not part of the stored form
  const Bytes expected{0x02, 0x00,  // count
                       0x01, 0x09, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00,   // (0x901, 2)
                       0x01, 0x01, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFF};  // (257, -1)
  Bytes bytes = StoreToBytes(path);
  EXPECT_EQ(bytes, expected);

  CMemFile file(bytes.data(), bytes.size());
  CArchive archive(&file, CArchive::kLoad);
  CVedTextPos loaded;
  ReadPathPairs(archive, loaded);
  EXPECT_EQ(loaded.pairs, path.pairs);
  EXPECT_EQ(loaded.depth, 2);  // loading sets depth = pairs read
}

TEST(CVedTextPosTest, LongPathsUseTheCountEscape) {
  CVedTextPos path;
  path.pairs.assign(0xFFFF, PosPair{1, 2});
  path.depth = 0xFFFF;
  Bytes bytes = StoreToBytes(path);
  ASSERT_EQ(bytes.size(), 6u + 0xFFFFu * 8);
  EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + 6), (Bytes{0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00}));

  CMemFile file(bytes.data(), bytes.size());
  CArchive archive(&file, CArchive::kLoad);
  CVedTextPos loaded;
  ReadPathPairs(archive, loaded);
  EXPECT_EQ(loaded.depth, 0xFFFF);
}

TEST(CVedTextPosTest, CountBeyondTheArchiveIsRefusedBeforeAllocating) {
  Bytes bytes{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F, 0x01, 0x09, 0x00, 0x00};
  CMemFile file(bytes.data(), bytes.size());
  CArchive archive(&file, CArchive::kLoad);
  CVedTextPos loaded = Path({{7, 7}});
  EXPECT_THROW(ReadPathPairs(archive, loaded), platform::CArchiveException);
  EXPECT_EQ(loaded.depth, 1);  // untouched
}

TEST(CVedAnchorTest, CopyValuesKeepsThePositionCopyFromTakesIt) {
  CVedAnchor source;
  source.SetValue(1);
  source.SetValue2(2);
  source.position = Path({{0x901, 8}});

  CVedAnchor values;
  values.position = Path({{0x901, 1}});
  values.CopyValues(source);
  EXPECT_EQ(values.GetValue(), 1);
  EXPECT_EQ(values.GetValue2(), 2);
  EXPECT_EQ(values.position.pairs.front().value, 1);

  CVedAnchor whole;
  whole.CopyFrom(source);
  EXPECT_EQ(whole.position.pairs.front().value, 8);
  EXPECT_EQ(whole.position.depth, 1);

  whole.CopyFrom(whole);
  EXPECT_EQ(whole.position.depth, 1);

  whole.ResetValue2();
  EXPECT_EQ(whole.GetValue2(), CVedTag::kUnset);
}

}  // namespace
