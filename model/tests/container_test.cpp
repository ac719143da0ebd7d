#include <gtest/gtest.h>

#include "container_fixture.h"

namespace container_test {
namespace {

TEST(ChildListTest, CursorFollowsRemovalsAndHeightsStayPositive) {
  CDocChildList list;
  list.Bind(nullptr);
  for (int32_t i = 0; i < 3; ++i) list.Append(ChildEntry{nullptr, kObjectText, 100 * (i + 1), {}});
  list.SetCursor(2);
  list.RemoveAt(0);
  EXPECT_EQ(list.GetCursorIndex(), 1);
  EXPECT_EQ(list.GetHeightAt(1), 300);
  list.RemoveAt(1);
  EXPECT_EQ(list.GetCursorIndex(), 0);
  list.AddHeightAt(0, -500);
  EXPECT_EQ(list.GetHeightAt(0), 0);
  list.Insert(ChildEntry{nullptr, kObjectGridArea, 7, {}}, true);
  EXPECT_EQ(list.GetCursorIndex(), 1);
  EXPECT_EQ(list.GetCurrentType(), kObjectGridArea);
}

TEST(ContainerListTest, RemainingHeightIsWholeLines) {
  // Line pitch 350: 1,000 twips left hold two lines.
  ContainerFixture f(10, kLinePitch + 1000, 1);
  EXPECT_EQ(f.Types(), (std::vector<int32_t>{kObjectText, kObjectGridArea}));
  EXPECT_EQ(f.container.GetRemainingHeight(), 2 * kLinePitch);
  // The factory gives the grid area that height, not the container's own.
  EXPECT_EQ(f.Heights(), (std::vector<int32_t>{kLinePitch, 2 * kLinePitch}));
}

TEST(ContainerListTest, RemovingTheOnlyTextEmptiesIt) {
  ContainerFixture f;
  f.TypeIntoFirst("abc");
  EditResult result;
  EXPECT_EQ(f.container.RemoveChild(0, &result), kChildEmptied);
  EXPECT_EQ(f.Count(), 1);
  EXPECT_EQ(f.Child(0)->IsEmpty(), 1);
}

TEST(ContainerListTest, TextsThatMeetAfterARemovalMergeIntoTheLonger) {
  ContainerFixture f;
  f.TypeIntoFirst("ab");
  f.InsertText("x");
  f.InsertText("cdef");
  f.PlaceCursor(1, kMoveDocumentStart);  // the caret stands in the removed child
  EditResult result;
  ASSERT_EQ(f.container.RemoveChild(1, &result), kChildRemoved);
  ASSERT_EQ(f.Count(), 1);
  EXPECT_EQ(f.PlainText(0), "ab\r\ncdef");
  EXPECT_EQ(f.Heights(), f.MeasuredHeights());
}

TEST(ContainerListTest, EqualTextsMergeIntoTheEarlierOne) {
  ContainerFixture f;
  f.TypeIntoFirst("ab");
  f.InsertText("x");
  f.InsertText("cd");
  CDocObject* earlier = f.Child(0);
  f.PlaceCursor(1, kMoveDocumentStart);
  EditResult result;
  ASSERT_EQ(f.container.RemoveChild(1, &result), kChildRemoved);
  EXPECT_EQ(f.Child(0), earlier);
  EXPECT_EQ(f.PlainText(0), "ab\r\ncd");
}

TEST(ContainerListTest, ASplitTextRecordsItsOwnHeight) {
  ContainerFixture f;
  f.TypeIntoFirst("ab\rcd\ref");
  f.PlaceCursor(0, kMoveDocumentEnd);
  CDocObject* grid = f.container.CreateChildObject(kObjectGridArea);
  ASSERT_NE(grid, nullptr);
  CVedTextPos split;
  ASSERT_EQ(f.container.InsertChildAtCursor(ChildEntry{grid, kObjectGridArea, 0, {}}, &split), 1);
  ASSERT_EQ(f.Types(), (std::vector<int32_t>{kObjectText, kObjectGridArea, kObjectText}));
  EXPECT_EQ(f.Heights()[0], f.MeasuredHeights()[0]);
  EXPECT_EQ(f.Heights()[2], f.MeasuredHeights()[2]);
}

}  // namespace
}  // namespace container_test
