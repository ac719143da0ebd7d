// The screen caret of the display lines: placing it where its page shows,
// showing and hiding it through the thread's hide count, its shape, and
// bringing it into view after a caret move, a page move or an edit; with
// the page-height sums of the continuous view's scroll positions.
#include <gtest/gtest.h>

#include <vector>

#include "display_lines_fixture.h"
#include "platform/caret.h"

namespace views_test {
namespace {

TEST_F(DisplayLinesTest, TheCaretIsPlacedOnlyWhereItsPageShows) {
  struct PlaceCase {
    const char* name;
    int32_t pageView, x0, y0;
    CaretPoint caret;
    int result;
    platform::RECT window;  // where the caret shows, when placed
  };
  for (const PlaceCase& c : {
           PlaceCase{"on the shown page",
                     kPageView,
                     -19,
                     -19,
                     CaretAt(1, {100, 200, 102, 222}),
                     1,
                     {119, 219, 121, 241}},
           PlaceCase{"on the next page, shown below the gap",
                     kPageView,
                     -19,
                     1000,
                     CaretAt(2, {100, 10, 102, 32}),
                     1,
                     {119, 152, 121, 174}},
           PlaceCase{"on a page that does not show",
                     kPageView,
                     -19,
                     -19,
                     CaretAt(3, {100, 200, 102, 222}),
                     0,
                     {}},
           PlaceCase{"its top above the view in page view",
                     kPageView,
                     -19,
                     210,
                     CaretAt(1, {100, 200, 102, 222}),
                     0,
                     {}},
           PlaceCase{"its bottom in view is enough in continuous view",
                     kContinuous,
                     57,
                     210,
                     CaretAt(1, {100, 200, 102, 222}),
                     1,
                     {43, -10, 45, 12}},
       }) {
    Show(c.pageView, 1, 600, 400);
    platform::DestroyCaret();
    lines.DestroyCaret();
    lines.Rebuild(dc.get(), c.x0, c.y0, 1);
    EXPECT_EQ(lines.PlaceCaret(dc.get(), &c.caret), c.result) << c.name;
    EXPECT_EQ(lines.IsCaretCreated(), c.result == 1) << c.name;
    EXPECT_EQ(platform::GetCaretState().rect, c.window) << c.name;
    EXPECT_EQ(lines.CaretPage(), c.caret.page) << c.name;
  }
}

TEST_F(DisplayLinesTest, AtZoomTwoTheCaretIsTwiceAsLarge) {
  Show(kPageView, 2, 600, 400);
  lines.Rebuild(dc.get(), 0, 0, 1);
  const CaretPoint caret = CaretAt(1, {100, 100, 102, 122});
  ASSERT_EQ(lines.PlaceCaret(dc.get(), &caret), 1);
  EXPECT_EQ(lines.CaretRect(), (platform::RECT{200, 200, 204, 244}));
  EXPECT_EQ(platform::GetCaretState().rect, (platform::RECT{200, 200, 204, 244}));
}

TEST_F(DisplayLinesTest, TheCaretShapeFlagMakesItThin) {
  lines.Rebuild(dc.get(), -19, -19, 1);
  const CaretPoint caret = CaretAt(1, {100, 100, 120, 122});
  struct ShapeCase {
    int surfaceFlag, ownFlag;
    int32_t width;
  };
  for (const ShapeCase& c : {ShapeCase{0, 0, 20}, ShapeCase{1, 0, 2}, ShapeCase{0, 1, 2}}) {
    surface.caretShape = c.surfaceFlag;
    lines.SetCaretShape(c.ownFlag);
    ASSERT_EQ(lines.PlaceCaret(dc.get(), &caret), 1);
    EXPECT_EQ(platform::GetCaretState().rect.Width(), c.width) << c.surfaceFlag << c.ownFlag;
  }
}

TEST_F(DisplayLinesTest, ShowingAndHidingFollowTheThreadsHideCount) {
  lines.Rebuild(dc.get(), -19, -19, 1);
  const CaretPoint caret = CaretAt(1, {100, 100, 102, 122});
  ASSERT_EQ(lines.PlaceCaret(dc.get(), &caret), 1);
  EXPECT_EQ(platform::GetCaretState().hideCount, 1u) << "a new caret starts hidden";
  EXPECT_EQ(lines.ShowCaret(), 1);
  EXPECT_EQ(platform::GetCaretState().hideCount, 0u);
  EXPECT_EQ(lines.ShowCaret(), 0) << "shown once, not twice";
  EXPECT_EQ(lines.HideCaret(), 1);
  EXPECT_EQ(lines.HideCaret(), 0) << "hidden once, not twice";
  EXPECT_EQ(platform::GetCaretState().hideCount, 1u);

  lines.SetCaretSuppressed(1);
  EXPECT_EQ(lines.ShowCaret(), 0);
  EXPECT_FALSE(lines.IsCaretShown());
  lines.SetCaretSuppressed(0);

  ASSERT_EQ(lines.ShowCaret(), 1);
  lines.SetHideRequest(1);
  lines.ShowCaret();
  EXPECT_FALSE(lines.IsCaretShown()) << "a hide request hides instead";
  EXPECT_EQ(platform::GetCaretState().hideCount, 1u);
  lines.SetHideRequest(0);

  // A caret taken away by another window cannot be hidden: it is dropped.
  ASSERT_EQ(lines.ShowCaret(), 1);
  platform::DestroyCaret();
  EXPECT_EQ(lines.HideCaret(), 1);
  EXPECT_FALSE(lines.IsCaretCreated());
  EXPECT_EQ(lines.DestroyCaret(), 0);
}

TEST_F(DisplayLinesTest, CaretLineAndVisibility) {
  lines.Rebuild(dc.get(), -19, 1000, 1);  // page 1 from 1000, page 2 to 258
  struct VisibilityCase {
    const char* name;
    CaretPoint caret;
    int visibility;
    int32_t linePage;
  };
  for (const VisibilityCase& c : {
           VisibilityCase{"wholly shown", CaretAt(1, {100, 1050, 102, 1072}), kCaretFullyShown, 1},
           VisibilityCase{"its top cut off", CaretAt(1, {100, 990, 102, 1012}),
                          kCaretBottomRightShown, 1},
           VisibilityCase{"its bottom cut off", CaretAt(2, {100, 250, 102, 272}),
                          kCaretTopLeftShown, 2},
           VisibilityCase{"on its page, out of view", CaretAt(2, {100, 500, 102, 522}), 0, 2},
           VisibilityCase{"on a page that does not show", CaretAt(3, {100, 50, 102, 72}), 0, 0},
       }) {
    lines.PlaceCaret(dc.get(), &c.caret);
    EXPECT_EQ(lines.GetCaretVisibility(), c.visibility) << c.name;
    DisplayLine line;
    EXPECT_EQ(lines.GetCaretLine(&line), c.linePage != 0 ? 1 : 0) << c.name;
    if (c.linePage != 0) {
      EXPECT_EQ(line.page, c.linePage) << c.name;
    }
  }
}

TEST_F(DisplayLinesTest, UpdateForCaretScrollsOnlyWhenItMust) {
  struct UpdateCase {
    const char* name;
    int kind;
    CaretPoint caret;
    int result;
    int32_t page, y;
    ScrollOffset offset;
  };
  const std::vector<UpdateCase> cases = {
      {"a move within the view", kCaretMoved, CaretAt(1, {100, 100, 102, 122}), 0, 1, -19, {}},
      {"a move below the view",
       kCaretMoved,
       CaretAt(1, {100, 600, 102, 622}),
       1,
       1,
       222,
       {0, -241}},
      {"a page move shows the caret's page",
       kCaretPageMoved,
       CaretAt(2, {100, 100, 102, 122}),
       1,
       2,
       -19,
       {}},
      {"a page move within the view still shows the page's top",
       kCaretPageMoved,
       CaretAt(1, {100, 200, 102, 222}),
       0,
       1,
       -19,
       {}},
      {"an edit within the view",
       kCaretContentChanged,
       CaretAt(1, {100, 100, 102, 122}),
       0,
       1,
       -19,
       {}},
  };
  for (const UpdateCase& c : cases) {
    lines.ResetOrigin(dc.get());
    ScrollOffset first;
    // The first update after a reset knows no page count yet.
    lines.UpdateForCaret(dc.get(), kCaretMoved, CaretAt(1, {100, 100, 102, 122}), &first);
    ScrollOffset offset{7, 7};
    EXPECT_EQ(lines.UpdateForCaret(dc.get(), c.kind, c.caret, &offset), c.result) << c.name;
    EXPECT_EQ(First().page, c.page) << c.name;
    EXPECT_EQ(First().yOrigin, c.y) << c.name;
    EXPECT_EQ(offset, c.offset) << c.name;
  }
}

TEST_F(DisplayLinesTest, AnEditThatRemovesPagesAsksForAFullRepaint) {
  lines.ResetOrigin(dc.get());
  ScrollOffset offset;
  const CaretPoint caret = CaretAt(1, {100, 100, 102, 122});
  lines.UpdateForCaret(dc.get(), kCaretMoved, caret, &offset);
  PageLineColumn from{2, 1, 1};
  engine.EditCommand(WPC_GOTO, 0, Pointer(&from));
  PageLineColumn to{3, 5, 11};
  engine.EditCommand(WPC_GOTO_EXTEND, kCharacterWise, Pointer(&to));
  engine.EditCommand(WPC_DELETE, 1, 0);
  ASSERT_LT(engine.EditCommand(WPC_GET_PAGE_COUNT, 0, 0), kPageCount);
  offset = {7, 7};
  EXPECT_EQ(lines.UpdateForCaret(dc.get(), kCaretContentChanged, caret, &offset), 1);
  EXPECT_EQ(offset, ScrollOffset{});
}

TEST_F(DisplayLinesTest, InContinuousViewAnEditReadsTheUsedHeightsAgainWithoutScrolling) {
  Show(kContinuous, 1, 600, 400);
  lines.Rebuild(dc.get(), 57, 113, 3);
  ASSERT_EQ(First().height, 117);
  CaretPoint caret;
  engine.EditCommand(WPC_GET_CARET_RECT, 0, Pointer(&caret));
  ScrollOffset offset;
  lines.UpdateForCaret(dc.get(), kCaretMoved, caret, &offset);

  // The last two lines go; the caret stays in view on page 3.
  PageLineColumn from{3, 4, 1};
  engine.EditCommand(WPC_GOTO, 0, Pointer(&from));
  PageLineColumn to{3, 5, 11};
  engine.EditCommand(WPC_GOTO_EXTEND, kCharacterWise, Pointer(&to));
  engine.EditCommand(WPC_DELETE, 1, 0);
  engine.EditCommand(WPC_GET_CARET_RECT, 0, Pointer(&caret));
  ASSERT_EQ(caret.page, 3);
  int32_t used = 0;
  ASSERT_EQ(engine.EditCommand(WPC_GET_PAGE_HEIGHT, 3, Pointer(&used)), 1);
  ASSERT_LT(used, kLastPageLines * doc_root_test::kLinePitch);

  EXPECT_EQ(lines.UpdateForCaret(dc.get(), kCaretContentChanged, caret, &offset), 0);
  EXPECT_EQ(First().page, 3);
  EXPECT_EQ(First().yOrigin, 113);
  EXPECT_EQ(First().height, used * kDpi / 1440);
}

TEST_F(DisplayLinesTest, PageHeightSumsOfTheContinuousView) {
  Show(kContinuous, 1, 600, 400);
  EXPECT_EQ(lines.GetDocumentHeight(dc.get()), 467 + 467 + 117);
  struct AboveCase {
    int32_t zoom, y0, page;
    int32_t above;
  };
  for (const AboveCase& c : {AboveCase{1, 113, 1, 0}, AboveCase{1, 200, 2, 467 + 87},
                             AboveCase{2, 227 + 174, 2, 467 + 87}}) {
    Show(kContinuous, c.zoom, 600, 400);
    lines.Rebuild(dc.get(), 0, c.y0, c.page);
    EXPECT_EQ(lines.GetHeightAbove(dc.get()), c.above) << c.zoom << " " << c.y0;
  }
  struct PositionCase {
    int32_t position;
    PagePosition expected;
  };
  for (const PositionCase& c :
       {PositionCase{0, {1, 0}}, PositionCase{466, {1, 466}}, PositionCase{467, {2, 0}},
        PositionCase{1050, {3, 116}}, PositionCase{5000, {3, 4066}}, PositionCase{-5, {1, 0}}}) {
    EXPECT_EQ(lines.PositionToPage(dc.get(), c.position), c.expected) << c.position;
  }
}

TEST_F(DisplayLinesTest, FindContinuousOriginCarriesAnOriginIntoItsPage) {
  Show(kContinuous, 1, 600, 400);
  struct OriginCase {
    int32_t page, y;
    std::pair<int32_t, int32_t> expected;
  };
  for (const OriginCase& c :
       {OriginCase{2, 200, {2, 200}}, OriginCase{2, 50, {1, 517}}, OriginCase{1, 700, {2, 233}},
        OriginCase{1, 1200, {3, 266}}, OriginCase{1, 0, {1, 113}}, OriginCase{3, 900, {3, 900}}}) {
    EXPECT_EQ(lines.FindContinuousOrigin(dc.get(), c.page, c.y), c.expected)
        << c.page << " " << c.y;
  }
}

TEST_F(DisplayLinesTest, TheScrollOffsetComesFromAPageShownBeforeAndAfter) {
  lines.Rebuild(dc.get(), -19, 1000, 1);
  const std::vector<DisplayLine> before = lines.Lines();
  ScrollOffset offset;
  lines.Rebuild(dc.get(), -19, 100, 2);
  EXPECT_EQ(lines.GetScrollOffset(dc.get(), before.data(), before.size(), &offset), 1);
  EXPECT_EQ(offset, (ScrollOffset{0, -242}));
  lines.Rebuild(dc.get(), -19, 100, 3);
  EXPECT_EQ(lines.GetScrollOffset(dc.get(), before.data(), before.size(), &offset), 0);
  EXPECT_EQ(offset, ScrollOffset{});
}

}  // namespace
}  // namespace views_test
