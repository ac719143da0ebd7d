#include "model/doc_object.h"

#include <gtest/gtest.h>

namespace {

CVedTextPos Leaf(int32_t value) {
  CVedTextPos path;
  path.Append({257, value});
  return path;
}

TEST(EditResultTest, FreshResultIsEmpty) {
  const EditResult result;
  EXPECT_EQ(result.changed, 0);
  EXPECT_TRUE(result.rangeStart.IsEmpty());
  EXPECT_TRUE(result.endAux.IsEmpty());
  EXPECT_EQ(result.heightDelta, 0);
}

TEST(EditResultTest, ChildIndexGoesOnlyBeforeNonEmptyPathsPerSide) {
  EditResult result;
  result.rangeStart = Leaf(1);
  result.rangeEnd = Leaf(2);
  result.newCursor = Leaf(3);
  // startAux and endAux stay empty: the edit set no oversize range.
  result.PrefixChildren(4, 6);

  EXPECT_EQ(result.rangeStart.pairs.front(), (PosPair{kTagChildIndex, 4}));
  EXPECT_EQ(result.rangeEnd.pairs.front(), (PosPair{kTagChildIndex, 6}));
  EXPECT_EQ(result.newCursor.pairs.front(), (PosPair{kTagChildIndex, 6}));
  EXPECT_EQ(result.rangeStart.depth, 2);
  EXPECT_TRUE(result.startAux.pairs.empty());
  EXPECT_TRUE(result.endAux.pairs.empty());

  result.startAux = Leaf(0);
  result.endAux = Leaf(0);
  result.PrefixChildren(1, 2);
  EXPECT_EQ(result.startAux.pairs.front().value, 1);
  EXPECT_EQ(result.endAux.pairs.front().value, 2);
}

TEST(EditResultTest, CopiesSetEachDepthToItsPairCount) {
  EditResult result;
  result.changed = 1;
  result.rangeStart = Leaf(1);
  result.rangeStart.Append({258, 2});
  result.rangeStart.depth = 1;
  result.heightDelta = -30;

  const EditResult copy = result;
  EXPECT_EQ(copy.changed, 1);
  EXPECT_EQ(copy.rangeStart.depth, 2);
  EXPECT_EQ(copy.heightDelta, -30);
}

TEST(DocObjOptionsTest, NormalizedKeepsFlagsAsZeroOrOne) {
  const DocObjOptions raw{5, 2, 9, 1, 7};
  EXPECT_EQ(raw.Normalized(), (DocObjOptions{1, 1, 1, 1, 7}));
  EXPECT_EQ(DocObjOptions::ContainerDefaults(), (DocObjOptions{1, 0, 1, 1, 0}));
}

}  // namespace
