// Scrolling by scroll-bar codes in both geometries with their clamps at the
// document's ends, keeping the caret in view, showing the caret's page,
// and the guards that keep an unattached surface from dividing by 0.
#include <gtest/gtest.h>

#include <vector>

#include "display_lines_fixture.h"

namespace views_test {
namespace {

// Where the view starts, what is asked, and where it ends.
struct ScrollCase {
  const char* name;
  int32_t x0, y0, page0;
  int code;
  int32_t position;
  int result;
  int32_t x, y, page;
  ScrollOffset offset;
};

class ScrollTest : public DisplayLinesTest {
 protected:
  void RunVertical(const std::vector<ScrollCase>& cases) {
    for (const ScrollCase& c : cases) {
      lines.Rebuild(dc.get(), c.x0, c.y0, c.page0);
      ScrollOffset offset{7, 7};
      EXPECT_EQ(lines.ScrollVertByCode(dc.get(), c.code, c.position, &offset), c.result) << c.name;
      Expect(c, offset);
    }
  }
  void RunHorizontal(const std::vector<ScrollCase>& cases) {
    for (const ScrollCase& c : cases) {
      lines.Rebuild(dc.get(), c.x0, c.y0, c.page0);
      ScrollOffset offset{7, 7};
      EXPECT_EQ(lines.ScrollHorzByCode(dc.get(), c.code, c.position, &offset), c.result) << c.name;
      Expect(c, offset);
    }
  }
  void Expect(const ScrollCase& c, const ScrollOffset& offset) {
    ASSERT_FALSE(lines.Lines().empty()) << c.name;
    EXPECT_EQ(First().page, c.page) << c.name;
    EXPECT_EQ(First().xOrigin, c.x) << c.name;
    EXPECT_EQ(First().yOrigin, c.y) << c.name;
    EXPECT_EQ(offset, c.offset) << c.name;
  }
};

// Page view at zoom 1 on a 600 by 400 client: a slot is 1000 positions of
// 1142 pixels; the gap is 17 positions, the end 3017, the view 350, a line
// 20.
TEST_F(ScrollTest, PageViewScrollsByThousandthsOfAPageSlot) {
  RunVertical({
      {"a line down from the top", -19, -19, 1, kScrollLineForward, 0, 1, -19, 4, 1, {0, -23}},
      {"a line up at the top does nothing", -19, -19, 1, kScrollLineBack, 0, 0, -19, -19, 1, {}},
      {"a page up at the top does nothing", -19, -19, 1, kScrollPageBack, 0, 0, -19, -19, 1, {}},
      {"a page down from the top", -19, -19, 1, kScrollPageForward, 0, 1, -19, 381, 1, {0, -400}},
      // Positions round: a view up from 351 is position 1, one pixel down.
      {"a page up back to the top", -19, 381, 1, kScrollPageBack, 0, 1, -19, -18, 1, {0, 399}},
      {"the thumb into page 2", -19, -19, 1, kScrollThumbPosition, 1500, 1, -19, 552, 2, {}},
      {"the thumb tracked into page 3", -19, -19, 1, kScrollThumbTrack, 2300, 1, -19, 324, 3, {}},
      {"the thumb past the last position",
       -19,
       -19,
       1,
       kScrollThumbTrack,
       2999,
       1,
       -19,
       744,
       3,
       {}},
      {"the thumb past the document", -19, -19, 1, kScrollThumbPosition, 9000, 1, -19, 744, 3, {}},
      {"a page down within page 2", -19, 500, 2, kScrollPageForward, 0, 1, -19, 900, 2, {0, -400}},
      {"another code does nothing", -19, -19, 1, 6, 0, 0, -19, -19, 1, {}},
      {"a negative thumb position is the top",
       -19,
       500,
       1,
       kScrollThumbPosition,
       -40,
       1,
       -19,
       -19,
       1,
       {0, 519}},
  });
}

TEST_F(ScrollTest, PageViewStopsAtTheDocumentsEnd) {
  // The last position is end - view + 1 = 2668: page 3 at y 744.
  RunVertical({
      {"a line down stops at the last position",
       -19,
       740,
       3,
       kScrollLineForward,
       0,
       1,
       -19,
       744,
       3,
       {0, -4}},
      {"a line down at the last position does nothing",
       -19,
       744,
       3,
       kScrollLineForward,
       0,
       0,
       -19,
       744,
       3,
       {}},
      {"a page down far from the end moves a view",
       -19,
       0,
       3,
       kScrollPageForward,
       0,
       1,
       -19,
       400,
       3,
       {0, -400}},
      {"a page down that would pass the end goes to the last position",
       -19,
       400,
       3,
       kScrollPageForward,
       0,
       1,
       -19,
       744,
       3,
       {0, -344}},
  });
}

TEST_F(ScrollTest, AStepDownNeverMovesBackWhenTheViewIsTallerThanTheRest) {
  // A 2500-pixel view: 2189 positions, so the last position is 829, above
  // the view's current 1000.
  Show(kPageView, 1, 600, 2500);
  RunVertical({
      {"a line down", -19, -19, 2, kScrollLineForward, 0, 0, -19, -19, 2, {}},
      {"a page down", -19, -19, 2, kScrollPageForward, 0, 0, -19, -19, 2, {}},
  });
}

TEST_F(ScrollTest, ZoomTwoDoublesTheLineStep) {
  Show(kPageView, 2, 600, 400);
  // A slot of 2283 pixels, the gap 38; a line of 47 pixels is 21 positions.
  RunVertical({{"a line down", -38, -38, 1, kScrollLineForward, 0, 1, -38, 10, 1, {0, -48}}});
  Show(kContinuous, 2, 600, 400);
  RunVertical(
      {{"continuous: a line down", 132, 227, 1, kScrollLineForward, 0, 1, 132, 273, 1, {0, -46}}});
}

// Continuous view at zoom 1: positions are unzoomed pixels of the stacked
// used heights (467, 467, 117: 1051 in all); the end is 1051 plus a
// quarter view, 1151; the view 400, a line 23; the last position 752.
TEST_F(ScrollTest, ContinuousViewScrollsByUnzoomedPixels) {
  Show(kContinuous, 1, 600, 400);
  RunVertical({
      {"a line down from the top", 57, 113, 1, kScrollLineForward, 0, 1, 57, 136, 1, {0, -23}},
      {"a line up at the top does nothing", 57, 113, 1, kScrollLineBack, 0, 0, 57, 113, 1, {}},
      {"a page down from the top", 57, 113, 1, kScrollPageForward, 0, 1, 57, 513, 1, {0, -400}},
      {"the thumb into page 2", 57, 113, 1, kScrollThumbPosition, 500, 1, 57, 146, 2, {}},
      {"the thumb into page 2's lower half", 57, 113, 1, kScrollThumbTrack, 700, 1, 57, 346, 2, {}},
      {"the thumb past the last position", 57, 113, 1, kScrollThumbTrack, 1000, 1, 57, 398, 2, {}},
      {"a line up into the page before", 57, 120, 2, kScrollLineBack, 0, 1, 57, 564, 1, {0, 23}},
      {"a line down stops at the last position",
       57,
       393,
       2,
       kScrollLineForward,
       0,
       1,
       57,
       398,
       2,
       {0, -5}},
      {"a page down that would pass the end",
       57,
       113,
       2,
       kScrollPageForward,
       0,
       1,
       57,
       398,
       2,
       {0, -285}},
      {"another code does nothing", 57, 113, 1, 8, 0, 0, 57, 113, 1, {}},
  });
}

// Horizontally, thousandths of the width: page view 794 + 2 * 19 = 832
// pixels, the view 721; continuous view 794 - 57 = 737, the view 814.
TEST_F(ScrollTest, HorizontalScrollingByThousandthsOfTheWidth) {
  RunHorizontal({
      {"a line right stops where the page's edge shows",
       -19,
       -19,
       1,
       kScrollLineForward,
       0,
       1,
       214,
       -19,
       1,
       {-233, 0}},
      {"a line right at the edge does nothing",
       214,
       -19,
       1,
       kScrollLineForward,
       0,
       0,
       214,
       -19,
       1,
       {}},
      {"a page right at the edge does nothing",
       214,
       -19,
       1,
       kScrollPageForward,
       0,
       0,
       214,
       -19,
       1,
       {}},
      {"a page right from the left", -19, -19, 1, kScrollPageForward, 0, 1, 214, -19, 1, {-233, 0}},
      {"a line left back to the gap", 214, -19, 1, kScrollLineBack, 0, 1, -19, -19, 1, {233, 0}},
      {"a page left back to the gap", 214, -19, 1, kScrollPageBack, 0, 1, -19, -19, 1, {233, 0}},
      {"a line left at the gap does nothing", -19, -19, 1, kScrollLineBack, 0, 0, -19, -19, 1, {}},
      {"the thumb", -19, -19, 1, kScrollThumbPosition, 100, 1, 64, -19, 1, {-83, 0}},
      {"another code does nothing", -19, -19, 1, 7, 0, 0, -19, -19, 1, {}},
  });
  Show(kContinuous, 1, 600, 400);
  RunHorizontal({
      {"continuous: a line right", 57, 113, 1, kScrollLineForward, 0, 1, 195, 113, 1, {-138, 0}},
      {"continuous: back to the margin", 195, 113, 1, kScrollPageBack, 0, 1, 57, 113, 1, {138, 0}},
  });
}

TEST_F(ScrollTest, ACentredPageDoesNotScrollSideways) {
  Show(kPageView, 1, 1000, 400);
  lines.ResetOrigin(dc.get());
  for (const int code : {kScrollLineBack, kScrollLineForward, kScrollPageBack, kScrollPageForward,
                         kScrollThumbPosition}) {
    ScrollOffset offset;
    EXPECT_EQ(lines.ScrollHorzByCode(dc.get(), code, 500, &offset), 0) << code;
    EXPECT_EQ(First().xOrigin, -103) << code;
  }
}

TEST_F(ScrollTest, WithoutPageMetricsOrZoomNothingDividesAndNothingScrolls) {
  struct GuardCase {
    const char* name;
    int32_t pageView, zoom;
    bool metrics;
  };
  for (const GuardCase& c : {GuardCase{"page view before a style", kPageView, 1, false},
                             GuardCase{"continuous before a style", kContinuous, 1, false},
                             GuardCase{"zoom 0", kPageView, 0, true},
                             GuardCase{"continuous at zoom 0", kContinuous, 0, true}}) {
    Show(c.pageView, c.zoom, 600, 400);
    if (!c.metrics) surface.page = {};
    lines.ResetOrigin(dc.get());
    // Continuous view divides only its width and the zoom; its heights
    // are the engine's.
    const bool verticalDivides = c.pageView != 0 || c.zoom == 0;
    for (int code = kScrollLineBack; code <= kScrollThumbTrack; ++code) {
      ScrollOffset offset{7, 7};
      if (verticalDivides) {
        EXPECT_EQ(lines.ScrollVertByCode(dc.get(), code, 300, &offset), 0) << c.name << code;
        EXPECT_EQ(offset, ScrollOffset{}) << c.name << code;
      }
      EXPECT_EQ(lines.ScrollHorzByCode(dc.get(), code, 300, &offset), 0) << c.name << code;
    }
    const CaretPoint caret = CaretAt(2, {100, 700, 102, 722});
    ScrollOffset offset;
    lines.UpdateForCaret(dc.get(), kCaretMoved, caret, &offset);
    lines.KeepCaretVisible(dc.get(), &offset);
    lines.ShowCaretPage(dc.get());
    EXPECT_GE(lines.GetHeightAbove(dc.get()), 0) << c.name;
  }
}

// The caret cases run on a page-view list from (x0, y0, page0) with the
// caret record given in zoom-1 pixels.
struct KeepCase {
  const char* name;
  int32_t x0, y0, page0;
  CaretPoint caret;
  int32_t x, y, page;
};

class KeepCaretTest : public ScrollTest {
 protected:
  void Run(const std::vector<KeepCase>& cases) {
    for (const KeepCase& c : cases) {
      lines.Rebuild(dc.get(), c.x0, c.y0, c.page0);
      lines.PlaceCaret(dc.get(), &c.caret);
      ScrollOffset offset;
      lines.KeepCaretVisible(dc.get(), &offset);
      ASSERT_FALSE(lines.Lines().empty()) << c.name;
      EXPECT_EQ(First().page, c.page) << c.name;
      EXPECT_EQ(First().xOrigin, c.x) << c.name;
      EXPECT_EQ(First().yOrigin, c.y) << c.name;
      EXPECT_EQ(lines.GetCaretVisibility(), kCaretFullyShown) << c.name;
    }
  }
};

TEST_F(KeepCaretTest, VerticallyInPageView) {
  Run({
      {"before the shown pages: the view starts at the caret's top", -19, 500, 2,
       CaretAt(1, {100, 300, 102, 322}), -19, 300, 1},
      {"below the view on a shown page: just enough", -19, -19, 1, CaretAt(1, {100, 600, 102, 622}),
       -19, 222, 1},
      {"above the view on a shown page: up to its top", -19, 500, 1,
       CaretAt(1, {100, 300, 102, 322}), -19, 300, 1},
      {"within one view below the shown pages", -19, 700, 1, CaretAt(2, {100, 60, 102, 82}), -19,
       824, 1},
      {"carried into the page whose slot holds the origin", -19, 1000, 1,
       CaretAt(2, {100, 600, 102, 622}), -19, 222, 2},
      {"further below: the view ends at the caret's bottom", -19, -19, 1,
       CaretAt(3, {100, 600, 102, 622}), -19, 222, 3},
      {"further below, stepping back a slot above the gap", -19, -19, 1,
       CaretAt(3, {100, 100, 102, 122}), -19, 864, 2},
  });
}

TEST_F(KeepCaretTest, VerticallyInContinuousView) {
  Show(kContinuous, 1, 600, 400);
  Run({
      {"within one view below", 57, 113, 1, CaretAt(2, {100, 200, 102, 222}), 57, 289, 1},
      {"further below: back into the page before", 57, 113, 1, CaretAt(3, {100, 150, 102, 172}), 57,
       239, 2},
      {"before the shown pages", 57, 300, 2, CaretAt(1, {100, 200, 102, 222}), 57, 200, 1},
  });
}

TEST_F(KeepCaretTest, SidewaysInStepsOfTenCharacterPitches) {
  Run({
      {"right: two steps of 87", -19, -19, 1, CaretAt(1, {700, 100, 702, 122}), 155, -19, 1},
      {"right: not past the page's width", -19, -19, 1, CaretAt(1, {788, 100, 790, 122}), 194, -19,
       1},
      {"left: two steps, not below 0", 155, -19, 1, CaretAt(1, {30, 100, 32, 122}), 0, -19, 1},
      {"left: whole steps", 300, -19, 1, CaretAt(1, {200, 100, 202, 122}), 126, -19, 1},
  });
  // A client narrower than a step follows the caret by its own width.
  Show(kPageView, 1, 50, 400);
  Run({{"narrow: the caret's width", 0, -19, 1, CaretAt(1, {60, 100, 62, 122}), 12, -19, 1}});
}

TEST_F(KeepCaretTest, ShowCaretPageStartsTheViewAtTheCaretsPage) {
  struct ShowCase {
    const char* name;
    CaretPoint caret;
    int result;
    int32_t y, page;
  };
  for (const ShowCase& c : {
           ShowCase{"the gap above the page shows", CaretAt(2, {100, 100, 102, 122}), 1, -19, 2},
           ShowCase{"down just enough for the caret's bottom", CaretAt(2, {100, 700, 102, 722}), 1,
                    322, 2},
           ShowCase{"a caret taller than the view shows its top", CaretAt(3, {100, 100, 102, 600}),
                    1, 100, 3},
       }) {
    lines.Rebuild(dc.get(), -19, -19, 1);
    lines.PlaceCaret(dc.get(), &c.caret);
    EXPECT_EQ(lines.ShowCaretPage(dc.get()), c.result) << c.name;
    EXPECT_EQ(First().page, c.page) << c.name;
    EXPECT_EQ(First().yOrigin, c.y) << c.name;
  }
}

TEST_F(KeepCaretTest, ASelectionEndingAtAPagesTopShowsThePageBefore) {
  struct SelectionCase {
    const char* name;
    PageLineColumn end;
    int result;
    int32_t page;
  };
  for (const SelectionCase& c : {
           SelectionCase{"no part on the caret's page", {2, 1, 1}, 0, 1},
           SelectionCase{"a line on the caret's page", {2, 2, 1}, 1, 2},
       }) {
    PageLineColumn start{1, 19, 1};
    engine.EditCommand(WPC_GOTO, 0, Pointer(&start));
    PageLineColumn end = c.end;
    engine.EditCommand(WPC_GOTO_EXTEND, kCharacterWise, Pointer(&end));
    ASSERT_NE(engine.EditCommand(WPC_HAS_SELECTION, 0, 0), 0) << c.name;
    CaretPoint caret;
    engine.EditCommand(WPC_GET_CARET_RECT, 0, Pointer(&caret));
    ASSERT_EQ(caret.page, 2) << c.name;
    lines.Rebuild(dc.get(), -19, -19, 3);
    lines.PlaceCaret(dc.get(), &caret);
    EXPECT_EQ(lines.ShowCaretPage(dc.get()), c.result) << c.name;
    EXPECT_EQ(First().page, c.page) << c.name;
    EXPECT_EQ(First().yOrigin, -19) << c.name;

    // A page move brings the caret into view from there: the selection's
    // last lines stay in view above it.
    lines.Rebuild(dc.get(), -19, -19, 3);
    ScrollOffset offset;
    lines.UpdateForCaret(dc.get(), kCaretPageMoved, caret, &offset);
    EXPECT_EQ(First().page, c.page) << c.name;
    EXPECT_EQ(lines.GetCaretVisibility(), kCaretFullyShown) << c.name;
  }
}

}  // namespace
}  // namespace views_test
