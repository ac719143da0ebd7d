// Caret tracking, scrolling and hit testing of the editing surface: which
// of the four repaints a caret move takes, told by what the window system
// leaves in the update region and by the pixels matching a full repaint;
// scrolling by lines and pages; and client points mapped to page points.
#include <gtest/gtest.h>

#include <vector>

#include "ed_view_fixture.h"
#include "platform/caret.h"
#include "platform/cursor.h"
#include "platform/input.h"

namespace views_test {
namespace {

using platform::POINT;

class EdViewTrackingTest : public EdViewTest {
 protected:
  void Move(int code, int times = 1) {
    for (int i = 0; i < times; ++i) engine.EditCommand(WPC_MOVE, code, 0);
  }
  void Moved(int code) {
    const CaretPoint caret = Caret();
    view_->OnCaretMoved(code, &caret);
  }
  // The update region the window system holds for the surface.
  platform::Region Update() const {
    platform::Region update;
    platform::GetUpdateRgn(view_->m_hWnd, &update, false);
    return update;
  }
  // What shows now is what a full repaint shows.
  void ExpectAsAFullRepaint(const char* what) {
    const std::vector<COLORREF> shown = Samples();
    PaintAll();
    EXPECT_EQ(shown, Samples()) << what;
  }
  DisplayLine First() const { return view_->DisplayLines().Lines().front(); }
  // The black pixels of a row through the first line of a page at (19, 19).
  int FirstLineInk() const {
    int ink = 0;
    for (int32_t x = kGap + kTextLeft; x < kGap + kTextLeft + 170; ++x) {
      ink += Pixel(x, kGap + kTextTop + 10) == kText ? 1 : 0;
    }
    return ink;
  }
};

TEST_F(EdViewTrackingTest, AVerticalScrollRepaintsTheStripAtOnce) {
  CVedEdView& view = Surface(1, 1, 600, 400);
  const DisplayLine before = First();
  Move(kMoveLineDown, 17);
  Moved(kMoveLineDown);
  EXPECT_EQ(First().xOrigin, before.xOrigin);
  EXPECT_GT(First().yOrigin, before.yOrigin);
  EXPECT_TRUE(Update().IsEmpty()) << "the strip is painted directly";
  EXPECT_TRUE(view.DisplayLines().IsCaretShown());
  ExpectAsAFullRepaint("after a vertical strip");
}

TEST_F(EdViewTrackingTest, ADiagonalScrollIsLeftToTheUpdateRegion) {
  CVedEdView& view = Surface(1, 2, 400, 300);
  const DisplayLine before = First();
  Move(kMoveLineDown);
  Move(kMoveLineEnd);
  Moved(kMoveLineEnd);
  const int32_t dx = First().xOrigin - before.xOrigin;
  const int32_t dy = First().yOrigin - before.yOrigin;
  ASSERT_GT(dx, 0);
  ASSERT_GT(dy, 0);
  ASSERT_LT(dx, 400);
  ASSERT_LT(dy, 300);
  const platform::Region update = Update();
  EXPECT_TRUE(update.Contains({399 - dx + 1, 10})) << "the strip uncovered at the right";
  EXPECT_TRUE(update.Contains({10, 299 - dy + 1})) << "the strip uncovered at the bottom";
  EXPECT_FALSE(update.Contains({399 - dx - 1, 299 - dy - 1})) << "what moved is not painted again";
  EXPECT_FALSE(view.DisplayLines().IsCaretShown()) << "shown after the paint";
  Pump();
  EXPECT_TRUE(Update().IsEmpty());
  ExpectAsAFullRepaint("after a diagonal scroll");
}

TEST_F(EdViewTrackingTest, AJumpToPagesNotShownRedrawsTheWholeWindow) {
  CVedEdView& view = Surface(1, 1, 600, 400);
  Move(kMoveNextPage);
  Moved(kMoveNextPage);
  EXPECT_EQ(First().page, 2);
  EXPECT_TRUE(Update().IsEmpty()) << "redrawn at once";
  EXPECT_TRUE(view.DisplayLines().IsCaretShown());
  ExpectAsAFullRepaint("after a jump");
}

TEST_F(EdViewTrackingTest, WithoutAScrollTheOldAndNewSelectionAreRepainted) {
  CVedEdView& view = Surface(1, 1, 600, 400);
  const DisplayLine before = First();
  const int inkBefore = FirstLineInk();
  engine.EditCommand(WPC_MOVE_EXTEND, kMoveLineDown, kCharacterWise);
  Moved(kMoveLineDown);
  EXPECT_EQ(First(), before);
  EXPECT_FALSE(view.Selection().IsEmpty());
  EXPECT_TRUE(Update().IsEmpty());
  EXPECT_NE(FirstLineInk(), inkBefore) << "the selected line is inverted";
  ExpectAsAFullRepaint("with a selection");
  Move(kMoveLineStart);
  Moved(kMoveLineStart);
  EXPECT_TRUE(view.Selection().IsEmpty());
  EXPECT_TRUE(Update().IsEmpty());
  ExpectAsAFullRepaint("after the selection went");
  EXPECT_EQ(FirstLineInk(), inkBefore);
}

TEST_F(EdViewTrackingTest, AnEditRepaintsTheChangedLinesAndDropsTheSelection) {
  CVedEdView& view = Surface(1, 1, 600, 400);
  Type("\x82\xA2");  // い
  const CaretPoint caret = Caret();
  view.OnContentChanged(&caret);
  EXPECT_TRUE(Update().IsEmpty());
  EXPECT_TRUE(view.Selection().IsEmpty());
  ExpectAsAFullRepaint("after typing");
}

TEST_F(EdViewTrackingTest, AnEditBelowTheViewScrollsAndLeavesTheRestToTheUpdateRegion) {
  CVedEdView& view = Surface(1, 1, 600, 400);
  const DisplayLine before = First();
  Move(kMoveLineDown, 15);
  Type("\x82\xA2");
  const CaretPoint caret = Caret();
  view.OnContentChanged(&caret);
  EXPECT_GT(First().yOrigin, before.yOrigin);
  const platform::Region update = Update();
  EXPECT_TRUE(update.Contains({300, 399})) << "the strip uncovered at the bottom";
  EXPECT_FALSE(view.DisplayLines().IsCaretShown()) << "shown after the paint";
  Pump();
  EXPECT_TRUE(Update().IsEmpty());
  ExpectAsAFullRepaint("after an edit below the view");
}

TEST_F(EdViewTrackingTest, ScrollingByALineMovesTheContentAndPaintsTheStrip) {
  struct Case {
    const char* what;
    int32_t pageView, zoom;
  };
  for (const Case& c : {Case{"page view", 1, 1}, Case{"page view at zoom 2", 1, 2},
                        Case{"continuous view", 0, 1}}) {
    CVedEdView& view = Surface(c.pageView, c.zoom, 600, 400);
    const DisplayLine before = First();
    EXPECT_EQ(view.ScrollVert(kScrollLineForward, 0), 1) << c.what;
    EXPECT_EQ(First().page, before.page) << c.what;
    EXPECT_GT(First().yOrigin, before.yOrigin) << c.what;
    EXPECT_TRUE(Update().IsEmpty()) << c.what;
    ExpectAsAFullRepaint(c.what);
    EXPECT_EQ(view.ScrollVert(kScrollLineBack, 0), 1) << c.what;
    // Back by the same step, up to the rounding of page-view positions.
    EXPECT_NEAR(First().yOrigin, before.yOrigin, 1) << c.what;
    ExpectAsAFullRepaint(c.what);
    platform::DestroyWindow(view_->m_hWnd);
  }
}

TEST_F(EdViewTrackingTest, ScrollingToWhereTheViewIsMovesNothing) {
  CVedEdView& view = Surface(0, 1, 600, 400);
  ASSERT_EQ(view.ScrollVert(kScrollLineForward, 0), 1);
  const DisplayLine at = First();
  EXPECT_EQ(view.ScrollVert(kScrollThumbPosition, view.GetScrollTop()), 0);
  EXPECT_EQ(First(), at);
}

TEST_F(EdViewTrackingTest, AHorizontalScrollInvalidatesTheStrip) {
  CVedEdView& view = Surface(1, 2, 200, 300);
  ASSERT_EQ(view.ScrollHorz(kScrollLineForward, 0), 1);
  const platform::Region update = Update();
  EXPECT_TRUE(update.Contains({199, 100}));
  EXPECT_FALSE(update.Contains({5, 100}));
  Pump();
  ExpectAsAFullRepaint("after a horizontal scroll");
}

TEST_F(EdViewTrackingTest, TheScrollBarHeightsAreUnzoomedPixels) {
  CVedEdView& view = Surface(0, 2, 600, 400);
  EXPECT_EQ(view.GetDocumentHeight(), kFullPageUsed + 117);
  EXPECT_EQ(view.GetScrollTop(), 0);
  view.ScrollVert(kScrollThumbPosition, 100);
  EXPECT_EQ(view.GetScrollTop(), 100);
}

TEST_F(EdViewTrackingTest, TheCaretRectangleIsGivenInTheWindow) {
  CVedEdView& view = Surface(1, 1, 600, 400);
  view.ShowCaretIfAttached();
  RECT rect;
  ASSERT_EQ(view.GetCaretWindowRect(&rect), 1);
  EXPECT_EQ(rect.left, kTextLeft + kGap);
  EXPECT_EQ(rect, platform::GetCaretState().rect);
  view.HideCaretAll();
  EXPECT_FALSE(view.DisplayLines().IsCaretCreated());
  Move(kMoveDocumentEnd);
  Moved(kMoveDocumentEnd);
  ASSERT_EQ(view.GetCaretWindowRect(&rect), 1);
  view.ScrollVert(kScrollThumbPosition, 0);
  EXPECT_EQ(view.GetCaretWindowRect(&rect), 0) << "the caret's page is out of view";
}

TEST_F(EdViewTrackingTest, HitTestsNameThePageAndThePointInTwips) {
  struct Case {
    const char* what;
    int32_t pageView, zoom, width, height;
    POINT at;
    int result;
    CaretPoint point;
  };
  for (const Case& c : {
           Case{"on the page",
                1,
                1,
                600,
                400,
                {119, 219},
                kHitOnPage,
                {{1500, 3000, 1500, 3000}, 1}},
           Case{"left of the page",
                1,
                1,
                600,
                400,
                {10, 100},
                kHitLeftOfPage,
                {{-135, 1215, -135, 1215}, 1}},
           Case{"right of the paper",
                1,
                1,
                900,
                400,
                {853, 100},
                kHitRightOfPage,
                {{12000, 1215, 12000, 1215}, 1}},
           Case{"in the gap above the second page",
                1,
                1,
                600,
                1300,
                {119, 1150},
                kHitOnPage,
                {{1500, -165, 1500, -165}, 2}},
           Case{"below the last page",
                0,
                1,
                600,
                800,
                {0, 700},
                kHitBelowLastPage,
                {{855, 5190, 855, 5190}, 2}},
           Case{"zoom 2 divides by the zoom first",
                1,
                2,
                600,
                400,
                {301, 301},
                kHitOnPage,
                {{2250, 2250, 2250, 2250}, 1}},
       }) {
    CVedEdView& view = Surface(c.pageView, c.zoom, c.width, c.height);
    CaretPoint point;
    EXPECT_EQ(view.HitTestPoint(c.at.x, c.at.y, &point), c.result) << c.what;
    EXPECT_EQ(point, c.point) << c.what;
    platform::DestroyWindow(view_->m_hWnd);
  }
}

TEST_F(EdViewTrackingTest, AClickOnTheRightHalfOfACharacterPutsTheCaretAfterIt) {
  CVedEdView& view = Surface(1, 1, 600, 400);
  const CaretPoint start = Caret();
  const int32_t cellLeft = start.rect.left / kTwipsPerPixel + kGap;
  const int32_t y = start.rect.top / kTwipsPerPixel + kGap + 5;
  CaretPoint probe{{start.rect.left + 10, start.rect.top + 10, 0, 0}, 1};
  probe.rect.right = probe.rect.left;
  probe.rect.bottom = probe.rect.top;
  engine.EditCommand(WPC_GET_CARET_RECT, 1, reinterpret_cast<intptr_t>(&probe));
  const int32_t cellRight = probe.rect.right / kTwipsPerPixel + kGap;
  struct Case {
    const char* what;
    int32_t x;
    int32_t column;  // counted in half-width pitches
  };
  for (const Case& c :
       {Case{"left half of the first", cellLeft + 2, 1},
        Case{"right half of the first", cellRight - 2, 3},
        Case{"left half of the second", cellRight + 2, 3}, Case{"left of the page", 5, 1}}) {
    Move(kMoveDocumentEnd);
    EXPECT_NE(view.HitTestPoint(c.x, y, nullptr), kHitBelowLastPage) << c.what;
    EXPECT_EQ(Location().caret.column, c.column) << c.what;
    EXPECT_EQ(Location().caret.line, 1) << c.what;
  }
}

TEST_F(EdViewTrackingTest, HitInfoTellsInsideAndOutsideTheSelection) {
  CVedEdView& view = Surface(1, 1, 600, 400);
  ObjectDescription object{};
  const int32_t y = kTextTop + kGap + 5;
  EXPECT_EQ(view.GetHitInfo(kTextLeft + kGap + 5, y, &object), kHitInfoNoSelection);
  EXPECT_EQ(object[kDescType], kObjectText);
  engine.EditCommand(WPC_MOVE_EXTEND, kMoveLineEnd, kCharacterWise);
  Moved(kMoveLineEnd);
  EXPECT_EQ(view.GetHitInfo(kTextLeft + kGap + 5, y, &object), kHitInfoInSelection);
  EXPECT_EQ(view.GetHitInfo(kTextLeft + kGap + 5, y + 100, &object), kHitInfoOutsideSelection);
  object = {};
  EXPECT_EQ(view.GetHitInfo(700, y, &object), kHitInfoNoSelection) << "beyond the client";
  EXPECT_EQ(object[kDescType], 0) << "nothing filled";
}

TEST_F(EdViewTrackingTest, TheCursorFollowsWhatLiesUnderIt) {
  CVedEdView& view = Surface(1, 1, 600, 400);
  const int32_t y = kTextTop + kGap + 5;
  auto cursorAt = [&](int32_t x, int32_t atY) {
    platform::SetCursorPos(x, atY);
    platform::SendMessage(view.m_hWnd, platform::WM_SETCURSOR, view.m_hWnd,
                          platform::MakeLParam(platform::HTCLIENT, platform::WM_MOUSEMOVE));
    return platform::GetCursor();
  };
  const platform::HCURSOR ibeam = platform::LoadCursor(nullptr, platform::IDC_IBEAM);
  const platform::HCURSOR arrow = platform::LoadCursor(nullptr, platform::IDC_ARROW);
  EXPECT_EQ(cursorAt(kTextLeft + kGap + 5, y), ibeam) << "over the text";
  EXPECT_EQ(cursorAt(kGap + 30, y), view.MarginCursor()) << "in the margin left of the text";
  EXPECT_EQ(cursorAt(5, y), arrow) << "left of the page";
  view.DisableInput();
  EXPECT_EQ(cursorAt(kTextLeft + kGap + 5, y), platform::LoadCursor(nullptr, platform::IDC_NO));
  view.EnableInput();
  engine.EditCommand(WPC_MOVE_EXTEND, kMoveLineEnd, kCharacterWise);
  Moved(kMoveLineEnd);
  EXPECT_EQ(cursorAt(kTextLeft + kGap + 5, y), arrow) << "over the selection";
}

}  // namespace
}  // namespace views_test
