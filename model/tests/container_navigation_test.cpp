#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "container_fixture.h"
#include "model/text_object.h"

namespace container_test {
namespace {

// Three text children: "ab" (one line), "cd\rEF" (two lines), "gh" (one).
class ContainerNavigationTest : public ::testing::Test {
 protected:
  ContainerNavigationTest() {
    f.TypeIntoFirst("ab");
    f.InsertText("cd\rEF");
    f.InsertText("gh");
  }

  int32_t ChildOf(const CVedTextPos& pos) const { return pos.pairs.front().value; }

  ContainerFixture f;
};

TEST_F(ContainerNavigationTest, RecordedHeightsFollowTheChildren) {
  EXPECT_EQ(f.Heights(), (std::vector<int32_t>{kLinePitch, 2 * kLinePitch, kLinePitch}));
  EXPECT_EQ(f.container.GetHeight(nullptr, nullptr), 4 * kLinePitch);
  EXPECT_EQ(f.container.CountLines(nullptr, nullptr), 4);
}

TEST_F(ContainerNavigationTest, RectanglesAddTheHeightsOfTheChildrenAbove) {
  const CVedTextPos inThird = f.PathIn(2, kMoveNextChar, 1);
  platform::RECT own;
  const auto rest = StripStep(&inThird, 0);
  f.Child(2)->GetPositionRect(&own, 0, rest.RestOrNull(), nullptr);
  platform::RECT rect;
  f.container.GetPositionRect(&rect, 0, &inThird, nullptr);
  EXPECT_EQ(rect.left, own.left);
  EXPECT_EQ(rect.top, own.top + 3 * kLinePitch);
  EXPECT_EQ(rect.bottom, own.bottom + 3 * kLinePitch);

  // A base after the position measures each path in its own child.
  const CVedTextPos inFirst = f.PathIn(0, kMoveNextChar, 1);
  const CVedTextPos base = f.PathIn(2, kMoveNextChar, 0);
  f.container.GetPositionRect(&rect, 0, &inFirst, &base);
  EXPECT_EQ(rect.top, -3 * kLinePitch);
}

TEST_F(ContainerNavigationTest, AFrameQueryInATextAnswersItsBand) {
  const CVedTextPos inSecond = f.PathIn(1, kMoveNextChar, 0);
  platform::RECT frame;
  f.container.GetFrameRect(&frame, &inSecond);
  EXPECT_EQ(frame, (platform::RECT{0, kLinePitch, f.format.textWidth, 3 * kLinePitch}));
}

TEST_F(ContainerNavigationTest, MovesCrossIntoTheNeighbouringChild) {
  f.PlaceCursor(0, kMoveDocumentEnd);
  CVedTextPos out;
  const MoveParams set{1, 0, 1};
  ASSERT_EQ(f.container.MoveCursor(kMoveNextChar, &set, nullptr, &out), kMoveDone);
  EXPECT_EQ(f.CursorIndex(), 1);
  EXPECT_EQ(ChildOf(out), 1);

  ASSERT_EQ(f.container.MoveCursor(kMovePrevChar, &set, nullptr, &out), kMoveDone);
  EXPECT_EQ(f.CursorIndex(), 0);

  f.PlaceCursor(2, kMoveDocumentEnd);
  EXPECT_EQ(f.container.MoveCursor(kMoveLineDown, &set, nullptr, &out), kMoveAfterEnd);
  EXPECT_EQ(f.CursorIndex(), 2);
}

TEST_F(ContainerNavigationTest, AChildsFailureIsNotReportedAsAMove) {
  CVedTextPos out;
  EXPECT_EQ(f.container.MoveCursor(999, nullptr, nullptr, &out), kMoveFailed);
}

TEST_F(ContainerNavigationTest, CursorGetAndSetCarryTheChildIndex) {
  const CVedTextPos target = f.PathIn(1, kMoveNextChar, 1);
  ASSERT_EQ(f.container.SetCursor(&target), 1);
  EXPECT_EQ(f.CursorIndex(), 1);
  CVedTextPos cursor;
  f.container.GetCursor(&cursor);
  EXPECT_EQ(f.container.ComparePositions(&cursor, &target), kCompareEqual);

  CVedTextPos bad;
  bad.Append({kTagChildIndex, 7});
  bad.Append({kTagFreeCursor, 3});
  EXPECT_EQ(f.container.SetCursor(&bad), 0);
  EXPECT_EQ(f.CursorIndex(), 1);
}

TEST_F(ContainerNavigationTest, HitTestsWalkDownTheChildren) {
  CVedTextPos out;
  ASSERT_EQ(f.container.PositionFromPoint(1, nullptr, 10, kLinePitch + 10, &out), 0);
  EXPECT_EQ(ChildOf(out), 1);
  EXPECT_EQ(f.CursorIndex(), 1);
  ASSERT_EQ(f.container.PositionFromPoint(0, nullptr, 10, 3 * kLinePitch + 10, &out), 0);
  EXPECT_EQ(ChildOf(out), 2);
  EXPECT_EQ(f.CursorIndex(), 1);
  CVedTextPos untouched;
  EXPECT_EQ(f.container.PositionFromPoint(1, nullptr, 10, 9999, &untouched), 4 * kLinePitch);
  EXPECT_TRUE(untouched.IsEmpty());
}

TEST_F(ContainerNavigationTest, LineNumbersRunAcrossChildren) {
  const CVedTextPos inThird = f.PathIn(2, kMoveNextChar, 1);
  int32_t line = 0;
  int32_t column = 0;
  f.container.GetLineColumn(&line, &column, &inThird, nullptr);
  EXPECT_EQ(line, 4);
  EXPECT_EQ(column, 2);

  CVedTextPos out;
  EXPECT_EQ(f.container.PositionFromLineColumn(3, 1, nullptr, &out), 3);
  EXPECT_EQ(ChildOf(out), 1);
}

TEST_F(ContainerNavigationTest, SearchesContinueIntoTheNextChild) {
  f.PlaceCursor(0, kMoveDocumentStart);
  CVedTextRange found;
  ASSERT_NE(f.container.FindText(0, 1, "gh", &found), 0);
  EXPECT_EQ(ChildOf(found.start), 2);
  EXPECT_EQ(ChildOf(found.end), 2);
  EXPECT_EQ(f.container.FindText(0, 2, "zz", &found), 0);
}

TEST_F(ContainerNavigationTest, LinesStepAcrossChildren) {
  const CVedTextPos lastOfFirst = f.PathIn(0, kMoveNextChar, 0);
  CVedTextPos out;
  ASSERT_EQ(f.container.StepLine(&lastOfFirst, kLineNext, &out), 1);
  EXPECT_EQ(ChildOf(out), 1);
  const CVedTextPos inThird = f.PathIn(2, kMoveNextChar, 0);
  ASSERT_EQ(f.container.StepLine(&inThird, kLinePrevious, &out), 1);
  EXPECT_EQ(ChildOf(out), 1);
  EXPECT_EQ(f.container.IsFirstLine(&inThird), 0);
  EXPECT_EQ(f.container.IsLastLine(&inThird), 1);
}

TEST_F(ContainerNavigationTest, DrawingStopsWhenTheBandIsFull) {
  DrawResult out;
  EXPECT_EQ(f.container.Draw(nullptr, 0, 0, 0, kLinePitch, &out), 1);
  EXPECT_EQ(out.painted, 1);
  EXPECT_EQ(out.height, kLinePitch);
}

TEST_F(ContainerNavigationTest, PositionsCompareByChildThenWithin) {
  const CVedTextPos a = f.PathIn(0, kMoveNextChar, 1);
  const CVedTextPos b = f.PathIn(1, kMoveNextChar, 0);
  const CVedTextPos c = f.PathIn(1, kMoveNextChar, 1);
  EXPECT_EQ(f.container.ComparePositions(&a, &b), kCompareBefore);
  EXPECT_EQ(f.container.ComparePositions(&c, &b), kCompareAfter);
  EXPECT_EQ(f.container.ComparePositions(&b, &b), kCompareEqual);
}

TEST_F(ContainerNavigationTest, LineAnchorsAreFoundInEarlierChildren) {
  CVedAnchor anchor;
  const CVedTextPos inFirst = f.PathIn(0, kMoveNextChar, 0);
  ASSERT_EQ(f.container.SetAnchor(kAnchorLine, &anchor, &inFirst), 1);
  EXPECT_EQ(f.container.FindAnchor(kAnchorLine, nullptr, 0), &anchor);
}

// One line as a walk over the page lines or a step through them met it.
struct MetLine {
  CVedTextPos position;
  LineMetrics metrics;
  bool operator==(const MetLine& other) const {
    return position == other.position && metrics.height == other.metrics.height &&
           metrics.gap == other.metrics.gap && metrics.endKind == other.metrics.endKind &&
           metrics.anchor == other.metrics.anchor;
  }
};

// Takes every line, or the first `limit` lines.
class LineRecorder final : public CPageLineVisitor {
 public:
  explicit LineRecorder(size_t limit = SIZE_MAX) : limit_(limit) {}
  bool VisitLine(const CPageLine& line) override {
    MetLine met;
    line.GetPosition(&met.position);
    line.GetMetrics(&met.metrics);
    lines.push_back(met);
    return lines.size() < limit_;
  }
  std::vector<MetLine> lines;

 private:
  size_t limit_;
};

// The lines from `from` to the end, as StepPageLine steps through them.
std::vector<MetLine> SteppedLines(CDocObject& object, CVedTextPos from) {
  std::vector<MetLine> lines;
  CVedTextPos line = from;
  while (true) {
    MetLine met{line, {}};
    object.GetPageLineMetrics(&met.metrics, &line);
    lines.push_back(met);
    CVedTextPos next;
    if (object.StepPageLine(&line, kLineNext, &next) == 0 || next == line) return lines;
    line = next;
  }
}

TEST(ContainerPageLineWalkTest, AWalkMeetsTheLinesAStepThroughThemMeets) {
  ContainerFixture f;
  // Lines of ten wide characters: a paragraph of two lines ended by a page
  // break, a grid area between two texts, an empty paragraph.
  f.TypeIntoFirst(std::string(15 * 2, 'a') + "\x0c" + "bb\r\rcc");
  f.PlaceCursor(0, kMoveDocumentEnd);
  CDocObject* grid = f.container.CreateChildObject(kObjectGridArea);
  ASSERT_NE(grid, nullptr);
  CVedTextPos split;
  ASSERT_EQ(f.container.InsertChildAtCursor(ChildEntry{grid, kObjectGridArea, 0, {}}, &split), 1);
  f.InsertText("dd\ree");
  ASSERT_EQ(f.Types(),
            (std::vector<int32_t>{kObjectText, kObjectGridArea, kObjectText, kObjectText}));
  CVedAnchor anchor;
  const CVedTextPos anchored = f.PathIn(0, kMoveNextChar, 25);
  ASSERT_EQ(f.container.SetAnchor(kAnchorLine, &anchor, &anchored), 1);

  CVedTextPos first;
  ASSERT_EQ(f.container.StepPageLine(nullptr, kLinePrevious, &first), 1);
  const std::vector<MetLine> stepped = SteppedLines(f.container, first);
  ASSERT_GE(stepped.size(), 7u);
  EXPECT_EQ(stepped[1].metrics.endKind, kLineEndPageBreak);
  EXPECT_EQ(stepped[1].metrics.anchor, &anchor);
  // From the first line, from a line inside a text given as any place on
  // it, and from the first line of a later text.
  const CVedTextPos starts[] = {first, anchored, stepped[stepped.size() - 2].position};
  for (const CVedTextPos& start : starts) {
    LineRecorder walked;
    EXPECT_EQ(f.container.WalkPageLines(&start, walked), PageLineWalk::kLinesEnded);
    EXPECT_EQ(walked.lines, SteppedLines(f.container, start));
  }
}

// Long texts are measured some lines ahead at a time: walks over as many
// lines as that, one more and many more.
TEST(ContainerPageLineWalkTest, LongTextsAreWalkedAsTheyAreStepped) {
  for (const int lines : {16, 17, 50}) {
    ContainerFixture f;
    // One-character paragraphs; every seventh ends with a page break.
    std::string text;
    for (int i = 0; i < lines; ++i) {
      text += "a";
      if (i + 1 < lines) text += i % 7 == 6 ? "\x0c" : "\r";
    }
    f.TypeIntoFirst(text);
    CVedTextPos first;
    ASSERT_EQ(f.container.StepPageLine(nullptr, kLinePrevious, &first), 1);
    const std::vector<MetLine> stepped = SteppedLines(f.container, first);
    ASSERT_EQ(stepped.size(), static_cast<size_t>(lines));
    EXPECT_EQ(stepped[6].metrics.endKind, kLineEndPageBreak);
    LineRecorder walked;
    EXPECT_EQ(f.container.WalkPageLines(&first, walked), PageLineWalk::kLinesEnded);
    EXPECT_EQ(walked.lines, stepped) << lines << " lines";
  }
}

TEST(ContainerPageLineWalkTest, AVisitorEndsTheWalk) {
  ContainerFixture f;
  f.TypeIntoFirst("ab\rcd");
  f.InsertText("ef");
  CVedTextPos first;
  ASSERT_EQ(f.container.StepPageLine(nullptr, kLinePrevious, &first), 1);
  // Three lines: a visitor that ends the walk at the third or earlier
  // ends it there.
  for (size_t limit = 1; limit <= 4; ++limit) {
    LineRecorder walked(limit);
    EXPECT_EQ(f.container.WalkPageLines(&first, walked),
              limit <= 3 ? PageLineWalk::kStopped : PageLineWalk::kLinesEnded);
    EXPECT_EQ(walked.lines.size(), std::min<size_t>(limit, 3));
  }
}

TEST(ContainerCellTest, LastTextLineAboveAnEmptyGridIsTheLastLine) {
  ContainerFixture f(10, kLinePitch, 1);
  ASSERT_EQ(f.Types(), (std::vector<int32_t>{kObjectText, kObjectGridArea}));
  EXPECT_EQ(f.Heights().back(), 0);
  EXPECT_EQ(f.container.IsLastLine(nullptr), 1);
}

}  // namespace
}  // namespace container_test
