// The scroll bars over an editing surface showing a real engine document
// of two pages: their ranges, pages and positions in both views, and that
// a bar is written only when what it shows changes.
#include "views/scroll_bars.h"

#include <gtest/gtest.h>

#include "ed_view_fixture.h"
#include "platform/muldiv.h"
#include "platform/scroll_bar.h"

namespace views_test {
namespace {

using platform::SCROLLINFO;

constexpr int32_t kClientWidth = 600;
constexpr int32_t kClientHeight = 400;
// The surface's own measure runs one pixel past its client rectangle.
constexpr int32_t kSurfaceWidth = kClientWidth + 1;
constexpr int32_t kSurfaceHeight = kClientHeight + 1;
// Page view at zoom 1: a slot of 1142 pixels, the gap 17 thousandths of it.
constexpr int32_t kSlot = kPaperHeight + kGap;
constexpr int32_t kGapThousandths = 17;
// Across: the paper and a gap on each side.
constexpr int32_t kPageWidth = kPaperWidth + 2 * kGap;
// Continuous view: the two pages' used heights, unzoomed.
constexpr int32_t kSecondPageUsed = 117;
constexpr int32_t kDocumentHeight = kFullPageUsed + kSecondPageUsed;

// Counts the writes that reach the control.
template <class Bar>
class CountingBar : public Bar {
 public:
  int writes = 0;

 protected:
  platform::LRESULT WindowProc(platform::UINT message, platform::WPARAM wParam,
                               platform::LPARAM lParam) override {
    if (message == platform::SBM_SETSCROLLINFO) ++writes;
    return Bar::WindowProc(message, wParam, lParam);
  }
};

class ScrollBarsTest : public EdViewTest {
 protected:
  ScrollBarsTest() {
    framework::CWnd* host = framework::CWnd::FromHandle(host_);
    EXPECT_EQ(vert_.CreateScrollBar(host), 1);
    EXPECT_EQ(horz_.CreateScrollBar(host), 1);
  }

  void Attach(int32_t pageView, int32_t zoom) {
    CVedEdView& surface = Surface(pageView, zoom, kClientWidth, kClientHeight);
    vert_.AttachSurface(&surface);
    horz_.AttachSurface(&surface);
  }

  template <class Bar>
  static SCROLLINFO Info(const Bar& bar) {
    SCROLLINFO info;
    EXPECT_TRUE(bar.GetScrollInfo(&info, platform::SIF_ALL));
    return info;
  }

  CountingBar<CVertScrollBar> vert_;
  CountingBar<CHorzScrollBar> horz_;
};

TEST_F(ScrollBarsTest, PageViewRunsAThousandAPageAfterTheGap) {
  Attach(1, 1);
  vert_.UpdateVert();
  ASSERT_EQ(platform::MulDiv(kGap, 1000, kSlot), kGapThousandths);
  SCROLLINFO info = Info(vert_);
  EXPECT_EQ(info.nMin, 0);
  EXPECT_EQ(info.nMax, kGapThousandths + 1000 * kSurfacePages);
  EXPECT_EQ(info.nPage, static_cast<platform::UINT>(platform::MulDiv(kSurfaceHeight, 1000, kSlot)));
  // The view starts with the gap above page 1 showing.
  EXPECT_EQ(info.nPos, 0);
}

TEST_F(ScrollBarsTest, PageViewAtTheSecondPagesTopIsAThousandOnFromTheGap) {
  Attach(1, 1);
  ASSERT_EQ(view_->ScrollVert(kScrollThumbPosition, kGapThousandths + 1000), 1);
  ASSERT_EQ(view_->DisplayLines().Lines().front().page, 2);
  ASSERT_EQ(view_->DisplayLines().Lines().front().yOrigin, 0);
  vert_.UpdateVert();
  EXPECT_EQ(Info(vert_).nPos, kGapThousandths + 1000);
}

TEST_F(ScrollBarsTest, PageViewAcrossIsThePaperAndItsGaps) {
  Attach(1, 1);
  horz_.UpdateHorz();
  const SCROLLINFO info = Info(horz_);
  // The gap left of the paper shows: the bar stands at its start.
  const int32_t xOrigin = view_->DisplayLines().Lines().front().xOrigin;
  ASSERT_EQ(xOrigin, -kGap);
  EXPECT_EQ(info.nPos, 0);
  EXPECT_EQ(info.nMin, 0);
  EXPECT_EQ(info.nMax, 1000);
  EXPECT_EQ(info.nPage,
            static_cast<platform::UINT>(platform::MulDiv(kSurfaceWidth, 1000, kPageWidth)));
  EXPECT_EQ(info.nPos,
            platform::MulDiv(kGap, 1000, kPageWidth) + platform::MulDiv(xOrigin, 1000, kPageWidth));
}

TEST_F(ScrollBarsTest, PageViewAcrossFollowsAHorizontalScroll) {
  Attach(1, 1);
  horz_.UpdateHorz();
  ASSERT_EQ(view_->ScrollHorz(kScrollPageForward, 0), 1);
  horz_.UpdateHorz();
  const int32_t xOrigin = view_->DisplayLines().Lines().front().xOrigin;
  ASSERT_GT(xOrigin, 0);
  EXPECT_EQ(Info(horz_).nPos,
            platform::MulDiv(kGap, 1000, kPageWidth) + platform::MulDiv(xOrigin, 1000, kPageWidth));
  EXPECT_EQ(horz_.writes, 2);
}

TEST_F(ScrollBarsTest, AViewWiderThanThePaperShowsAWholePage) {
  SetEngineZoom(1);
  CVedEdView& surface = Surface(1, 1, 900, kClientHeight);
  horz_.AttachSurface(&surface);
  horz_.UpdateHorz();
  EXPECT_EQ(Info(horz_).nPage, 1000u);
}

TEST_F(ScrollBarsTest, ContinuousViewRunsOverTheDocumentHeightAndAQuarterView) {
  Attach(0, 1);
  vert_.UpdateVert();
  ASSERT_EQ(view_->GetDocumentHeight(), kDocumentHeight);
  ASSERT_EQ(view_->Geometry().clientHeight, kSurfaceHeight);
  SCROLLINFO info = Info(vert_);
  EXPECT_EQ(info.nMin, 0);
  EXPECT_EQ(info.nMax, kDocumentHeight + kSurfaceHeight / 4);
  EXPECT_EQ(info.nPage, static_cast<platform::UINT>(kSurfaceHeight));
  EXPECT_EQ(info.nPos, 0);
  ASSERT_EQ(view_->ScrollVert(kScrollThumbPosition, 200), 1);
  vert_.UpdateVert();
  EXPECT_EQ(Info(vert_).nPos, view_->GetScrollTop());
  EXPECT_EQ(Info(vert_).nPos, 200);
}

TEST_F(ScrollBarsTest, ContinuousViewAtZoomTwoCountsUnzoomedPixels) {
  Attach(0, 2);
  vert_.UpdateVert();
  SCROLLINFO info = Info(vert_);
  EXPECT_EQ(info.nMax, view_->GetDocumentHeight() + 2 * kSurfaceHeight / 4);
  EXPECT_EQ(info.nPage, static_cast<platform::UINT>(kSurfaceHeight / 2));
}

TEST_F(ScrollBarsTest, ContinuousViewAcrossStartsAtTheLeftOffset) {
  Attach(0, 1);
  horz_.UpdateHorz();
  const SurfacePageMetrics& page = view_->Geometry().page;
  const int32_t width = page.paperWidth - page.offsetX;
  const int32_t xOrigin = view_->DisplayLines().Lines().front().xOrigin;
  const SCROLLINFO info = Info(horz_);
  EXPECT_EQ(info.nPage, static_cast<platform::UINT>(
                            std::min(platform::MulDiv(kSurfaceWidth, 1000, width), 1000)));
  EXPECT_EQ(info.nPos, std::max(platform::MulDiv(xOrigin - page.offsetX, 1000, width), 0));
}

TEST_F(ScrollBarsTest, ABarIsWrittenOnlyWhenWhatItShowsChanges) {
  Attach(1, 1);
  vert_.UpdateVert();
  horz_.UpdateHorz();
  EXPECT_EQ(vert_.writes, 1);
  EXPECT_EQ(horz_.writes, 1);
  vert_.UpdateVert();
  vert_.UpdateVert();
  horz_.UpdateHorz();
  EXPECT_EQ(vert_.writes, 1);
  EXPECT_EQ(horz_.writes, 1);
  ASSERT_EQ(view_->ScrollVert(kScrollLineForward, 0), 1);
  vert_.UpdateVert();
  horz_.UpdateHorz();
  EXPECT_EQ(vert_.writes, 2);
  EXPECT_EQ(horz_.writes, 1);
}

// Taller than the document and its quarter view: the bar keeps its page
// cut to the range, and an update that changes nothing still writes nothing.
TEST_F(ScrollBarsTest, APageLongerThanTheRangeIsWrittenOnce) {
  CVedEdView& surface = Surface(0, 1, kClientWidth, 1000);
  vert_.AttachSurface(&surface);
  vert_.UpdateVert();
  const SCROLLINFO info = Info(vert_);
  ASSERT_LT(info.nMax + 1, 1001);
  EXPECT_EQ(info.nPage, static_cast<platform::UINT>(info.nMax + 1));
  vert_.UpdateVert();
  vert_.UpdateVert();
  EXPECT_EQ(vert_.writes, 1);
}

TEST_F(ScrollBarsTest, NothingIsWrittenBeforeASurfaceIsAttachedOrShowsLines) {
  vert_.UpdateVert();
  horz_.UpdateHorz();
  CVedEdView* unattached = new CVedEdView;
  ASSERT_EQ(unattached->CreateEditSurfaceWindow(framework::CWnd::FromHandle(host_)), 1);
  vert_.AttachSurface(unattached);
  horz_.AttachSurface(unattached);
  vert_.UpdateVert();
  horz_.UpdateHorz();
  EXPECT_EQ(vert_.writes, 0);
  EXPECT_EQ(horz_.writes, 0);
  EXPECT_EQ(Info(vert_).nMax, 0);
}

}  // namespace
}  // namespace views_test
