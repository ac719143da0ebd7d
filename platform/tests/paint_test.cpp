#include "platform/paint.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <vector>

#include "platform/caller_assert.h"
#include "platform/display_backend.h"
#include "platform/window.h"
#include "window_test_support.h"

namespace {

using namespace platform;
using ::testing::ElementsAre;

struct Painted {
  HWND window;
  UINT message;
  RECT rcPaint;
  bool fErase;
  bool operator==(const Painted&) const = default;
};

std::vector<Painted> painted;
LRESULT eraseAnswer = 1;
COLORREF paintColour = RGB(255, 0, 0);
// What GetClipBox told the last painter.
RECT paintClipBox;
int paintClipShape = ERROR;

LRESULT PaintingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_ERASEBKGND) {
    painted.push_back({window, message, RECT{}, false});
    return eraseAnswer;
  }
  if (message != WM_PAINT) return DefWindowProc(window, message, wParam, lParam);
  PAINTSTRUCT paint;
  const HDC dc = BeginPaint(window, &paint);
  painted.push_back({window, message, paint.rcPaint, paint.fErase});
  paintClipShape = GetClipBox(dc, &paintClipBox);
  RECT client;
  GetClientRect(window, &client);
  UniqueBrush brush = CreateSolidBrush(paintColour);
  FillRect(dc, client, brush.get());
  EndPaint(window, &paint);
  return 0;
}

// Paints with the colour given by the window's id.
LRESULT ColourProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != WM_PAINT) return DefWindowProc(window, message, wParam, lParam);
  PAINTSTRUCT paint;
  const HDC dc = BeginPaint(window, &paint);
  RECT client;
  GetClientRect(window, &client);
  UniqueBrush brush = CreateSolidBrush(static_cast<COLORREF>(GetDlgCtrlID(window)));
  FillRect(dc, client, brush.get());
  EndPaint(window, &paint);
  return 0;
}

constexpr char kClass[] = "PaintWindow";
constexpr char kColourClass[] = "ColourWindow";
constexpr char kOwnDcClass[] = "OwnDcWindow";
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kWhite = RGB(255, 255, 255);

class PaintTest : public ::testing::Test {
 protected:
  PaintTest() {
    ResetWindowMessages();
    painted.clear();
    eraseAnswer = 1;
    RegisterTestClass(kClass, PaintingProc);
    RegisterTestClass(kColourClass, ColourProc);
    RegisterTestClass(kOwnDcClass, ColourProc, CS_OWNDC);
    top_ = CreateWindowEx(0, kClass, "", WS_VISIBLE, 0, 0, 100, 80, kNoWindow, 0, nullptr);
  }
  ~PaintTest() override { ResetWindowMessages(); }

  static void Pump() {
    MSG msg;
    while (PeekMessage(&msg, kNoWindow, 0, 0, PM_REMOVE)) DispatchMessage(&msg);
  }
  HWND ColourChild(HWND parent, COLORREF colour, const RECT& r, DWORD style = 0) const {
    return CreateWindowEx(0, kColourClass, "", WS_CHILD | WS_VISIBLE | style, r.left, r.top,
                          r.Width(), r.Height(), parent, static_cast<int32_t>(colour), nullptr);
  }
  COLORREF Pixel(int32_t x, int32_t y) const { return GetPixel(GetWindowSurface(top_), x, y); }

  HWND top_ = kNoWindow;
};

TEST_F(PaintTest, PaintComesOnlyWhenNothingElseWaitsAndUntilValidated) {
  PostMessage(top_, WM_USER, 0, 0);
  MSG msg;
  ASSERT_TRUE(PeekMessage(&msg, kNoWindow, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, WM_USER);
  ASSERT_TRUE(PeekMessage(&msg, kNoWindow, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, WM_PAINT);
  ASSERT_TRUE(PeekMessage(&msg, kNoWindow, 0, 0, PM_REMOVE)) << "not validated yet";
  ValidateRect(top_, nullptr);
  EXPECT_FALSE(PeekMessage(&msg, kNoWindow, 0, 0, PM_REMOVE));
}

TEST_F(PaintTest, InvalidationsCoalesceIntoOnePaintEraseFirst) {
  Pump();
  painted.clear();
  const RECT a{10, 10, 20, 20};
  const RECT b{30, 5, 40, 15};
  InvalidateRect(top_, &a, false);
  InvalidateRect(top_, &b, true);
  RECT bounds;
  ASSERT_TRUE(GetUpdateRect(top_, &bounds, false));
  EXPECT_EQ(bounds, (RECT{10, 5, 40, 20}));
  Pump();
  EXPECT_THAT(painted, ElementsAre(Painted{top_, WM_ERASEBKGND, RECT{}, false},
                                   Painted{top_, WM_PAINT, RECT{10, 5, 40, 20}, false}));
}

TEST_F(PaintTest, AnEraseAnsweredWithZeroIsLeftToThePainter) {
  Pump();
  painted.clear();
  eraseAnswer = 0;
  InvalidateRect(top_, nullptr, true);
  Pump();
  ASSERT_EQ(painted.size(), 2u);
  EXPECT_TRUE(painted[1].fErase);
}

TEST_F(PaintTest, PaintingReachesOnlyTheUpdateRegion) {
  paintColour = kRed;
  Pump();
  EXPECT_EQ(Pixel(50, 50), kRed);
  paintColour = kBlue;
  const RECT part{0, 0, 10, 10};
  InvalidateRect(top_, &part, false);
  Pump();
  EXPECT_EQ(Pixel(5, 5), kBlue);
  EXPECT_EQ(Pixel(15, 5), kRed) << "outside the update region";
  paintColour = kRed;
}

TEST_F(PaintTest, ChildrenPaintIntoTheirPartOfTheImageClippedByStyle) {
  SetWindowLongPtr(top_, GWL_STYLE, WS_VISIBLE | WS_CLIPCHILDREN);
  const HWND lower = ColourChild(top_, kGreen, {10, 10, 50, 50}, WS_CLIPSIBLINGS);
  const HWND upper = ColourChild(top_, kBlue, {40, 40, 70, 70}, WS_CLIPSIBLINGS);
  Pump();
  EXPECT_EQ(Pixel(5, 5), kRed);
  EXPECT_EQ(Pixel(20, 20), kGreen) << "the parent clips its children";
  EXPECT_EQ(Pixel(45, 45), kBlue) << "the lower sibling is clipped by the upper";
  EXPECT_EQ(Pixel(60, 60), kBlue);
  InvalidateRect(lower, nullptr, true);
  Pump();
  EXPECT_EQ(Pixel(45, 45), kBlue) << "still, when only the lower one paints";
  EXPECT_NE(upper, kNoWindow);
}

TEST_F(PaintTest, WithoutClippingAParentInvalidatesItsChildrenToo) {
  const HWND child = ColourChild(top_, kGreen, {10, 10, 30, 30});
  Pump();
  EXPECT_EQ(Pixel(20, 20), kGreen) << "the child paints after its parent";
  const RECT part{0, 0, 15, 15};
  InvalidateRect(top_, &part, false);
  RECT childUpdate;
  ASSERT_TRUE(GetUpdateRect(child, &childUpdate, false));
  EXPECT_EQ(childUpdate, (RECT{0, 0, 5, 5}));
}

TEST_F(PaintTest, MovingAChildExposesWhereItWas) {
  SetWindowLongPtr(top_, GWL_STYLE, WS_VISIBLE | WS_CLIPCHILDREN);
  const HWND child = ColourChild(top_, kGreen, {10, 10, 30, 30});
  Pump();
  MoveWindow(child, 50, 10, 20, 20, true);
  Pump();
  EXPECT_EQ(Pixel(20, 20), kRed);
  EXPECT_EQ(Pixel(60, 20), kGreen);
}

TEST_F(PaintTest, UpdateWindowPaintsAtOnceAndGetDcDrawsOutsideAPaint) {
  Pump();
  painted.clear();
  InvalidateRect(top_, nullptr, false);
  EXPECT_TRUE(UpdateWindow(top_));
  ASSERT_EQ(painted.size(), 1u);
  const HDC dc = GetDC(top_);
  ASSERT_NE(dc, nullptr);
  UniqueBrush white = CreateSolidBrush(kWhite);
  const RECT spot{0, 0, 3, 3};
  FillRect(dc, spot, white.get());
  EXPECT_EQ(ReleaseDC(top_, dc), 1);
  EXPECT_EQ(ReleaseDC(top_, dc), 0) << "given back once";
  EXPECT_EQ(Pixel(1, 1), kWhite);
}

// Keeps what it was asked to show.
class PresentingBackend : public HeadlessBackend {
 public:
  void PresentNativeWindow(HWND window, const RECT& dirty) override {
    presented.push_back({window, dirty});
  }
  std::vector<std::pair<HWND, RECT>> presented;
};

TEST_F(PaintTest, EndPaintPresentsWhatThePaintReachedInTheTopLevelSurface) {
  const HWND child = ColourChild(top_, kGreen, {10, 20, 50, 60});
  Pump();
  PresentingBackend backend;
  ScopedDisplay scoped(backend);
  const RECT part{30, 30, 60, 60};
  InvalidateRect(child, &part, false);
  EXPECT_TRUE(UpdateWindow(child));
  EXPECT_THAT(backend.presented, ElementsAre(std::pair{top_, RECT{40, 50, 50, 60}}))
      << "the part of the update inside the child, offset by the child's place";
  backend.presented.clear();
  EXPECT_TRUE(UpdateWindow(child));
  EXPECT_TRUE(backend.presented.empty()) << "nothing painted, nothing shown";
}

TEST_F(PaintTest, ReleasingADCPresentsTheWindowsVisiblePart) {
  const HWND child = ColourChild(top_, kGreen, {10, 20, 50, 60});
  Pump();
  PresentingBackend backend;
  ScopedDisplay scoped(backend);
  const HDC dc = GetDC(child);
  ASSERT_NE(dc, nullptr);
  EXPECT_TRUE(backend.presented.empty()) << "nothing shown while the DC is out";
  EXPECT_EQ(ReleaseDC(child, dc), 1);
  EXPECT_THAT(backend.presented, ElementsAre(std::pair{top_, RECT{10, 20, 50, 60}}));
  backend.presented.clear();
  EXPECT_EQ(ReleaseDC(child, dc), 0);
  EXPECT_TRUE(backend.presented.empty()) << "a DC given back twice shows nothing";
}

TEST_F(PaintTest, ScrollingPresentsTheMovedPixels) {
  const HWND child = ColourChild(top_, kGreen, {10, 20, 50, 60});
  Pump();
  PresentingBackend backend;
  ScopedDisplay scoped(backend);
  const RECT part{0, 0, 40, 20};
  ScrollWindowEx(child, 0, 5, &part, nullptr, nullptr, nullptr, 0);
  EXPECT_THAT(backend.presented, ElementsAre(std::pair{top_, RECT{10, 20, 50, 40}}));
}

TEST_F(PaintTest, WindowDCStartsAtTheWindowsCornerAndIsClippedToIt) {
  Pump();
  const HWND child = ColourChild(top_, kGreen, {10, 10, 30, 30});
  Pump();
  const HDC dc = GetWindowDC(child);
  ASSERT_NE(dc, nullptr);
  UniqueBrush blue = CreateSolidBrush(kBlue);
  FillRect(dc, RECT{0, 0, 40, 40}, blue.get());
  EXPECT_EQ(ReleaseDC(child, dc), 1);
  EXPECT_EQ(Pixel(10, 10), kBlue);
  EXPECT_EQ(Pixel(29, 29), kBlue);
  EXPECT_EQ(Pixel(31, 31), kRed) << "nothing outside the window";
  DestroyWindow(child);
  const ScopedMisuseCounter misuses;
  EXPECT_EQ(GetWindowDC(child), nullptr) << "a window that is gone has no DC";
  EXPECT_EQ(misuses.Count(Misuse::kStaleWindow), 1);
}

TEST_F(PaintTest, ALockedWindowDrawsNothingAndPaintsWhatGatheredWhenLetGo) {
  Pump();
  const HWND child = ColourChild(top_, kGreen, {10, 10, 30, 30});
  Pump();
  ASSERT_TRUE(LockWindowUpdate(top_));
  EXPECT_FALSE(LockWindowUpdate(child)) << "one window at a time";

  const HDC dc = GetDC(child);
  UniqueBrush blue = CreateSolidBrush(kBlue);
  FillRect(dc, RECT{0, 0, 20, 20}, blue.get());
  ReleaseDC(child, dc);
  EXPECT_EQ(Pixel(15, 15), kGreen) << "a child of the locked window draws nothing";

  InvalidateRect(top_, nullptr, true);
  MSG msg;
  EXPECT_FALSE(PeekMessage(&msg, top_, WM_PAINT, WM_PAINT, PM_NOREMOVE));
  RECT update;
  EXPECT_TRUE(GetUpdateRect(top_, &update, false)) << "the invalidation gathers";

  EXPECT_TRUE(LockWindowUpdate(kNoWindow));
  EXPECT_FALSE(LockWindowUpdate(kNoWindow)) << "nothing left to let go";
  EXPECT_TRUE(PeekMessage(&msg, top_, WM_PAINT, WM_PAINT, PM_NOREMOVE));
}

TEST_F(PaintTest, APaintDcIsClippedToTheUpdateRegion) {
  Pump();
  const RECT a{10, 10, 20, 20};
  const RECT b{30, 5, 40, 15};
  InvalidateRect(top_, &a, false);
  InvalidateRect(top_, &b, false);
  Pump();
  EXPECT_EQ(paintClipShape, COMPLEXREGION);
  EXPECT_EQ(paintClipBox, (RECT{10, 5, 40, 20}));
}

TEST_F(PaintTest, AWindowDcsClipStaysInsideTheWindowsVisiblePart) {
  const HWND child = ColourChild(top_, kGreen, {10, 10, 30, 30});
  Pump();
  const HDC dc = GetDC(child);
  RECT box;
  EXPECT_EQ(GetClipBox(dc, &box), SIMPLEREGION);
  EXPECT_EQ(box, (RECT{0, 0, 20, 20}));
  // In client coordinates, reaching past the child's lower right edge.
  UniqueRegion clip = CreateRectRgn(5, 5, 40, 40);
  EXPECT_EQ(SelectClipRgn(dc, clip.get()), SIMPLEREGION);
  EXPECT_EQ(GetClipBox(dc, &box), SIMPLEREGION);
  EXPECT_EQ(box, (RECT{5, 5, 20, 20}));
  UniqueBrush blue = CreateSolidBrush(kBlue);
  FillRect(dc, RECT{-10, -10, 50, 50}, blue.get());
  EXPECT_EQ(Pixel(14, 14), kGreen) << "outside the clip";
  EXPECT_EQ(Pixel(15, 15), kBlue);
  EXPECT_EQ(Pixel(29, 29), kBlue);
  EXPECT_EQ(Pixel(30, 30), kRed) << "outside the window";
  SelectClipRgn(dc, nullptr);
  EXPECT_EQ(GetClipBox(dc, &box), SIMPLEREGION);
  EXPECT_EQ(box, (RECT{0, 0, 20, 20}));
  EXPECT_EQ(ReleaseDC(child, dc), 1);
}

TEST_F(PaintTest, ADestroyedLockedWindowHoldsNothingBack) {
  const HWND child = ColourChild(top_, kGreen, {10, 10, 30, 30});
  ASSERT_TRUE(LockWindowUpdate(child));
  DestroyWindow(child);
  EXPECT_TRUE(LockWindowUpdate(top_));
  EXPECT_TRUE(LockWindowUpdate(kNoWindow));
}

TEST_F(PaintTest, ScrollingMovesThePixelsAndInvalidatesExactlyTheStripLeft) {
  Pump();
  const HDC dc = GetDC(top_);
  UniqueBrush blue = CreateSolidBrush(kBlue);
  const RECT square{0, 0, 10, 10};
  FillRect(dc, square, blue.get());
  ReleaseDC(top_, dc);
  RECT strip;
  EXPECT_EQ(ScrollWindowEx(top_, 20, 0, nullptr, nullptr, nullptr, &strip, SW_INVALIDATE),
            SIMPLEREGION);
  EXPECT_EQ(strip, (RECT{0, 0, 20, 80}));
  EXPECT_EQ(Pixel(25, 5), kBlue) << "moved";
  EXPECT_EQ(Pixel(35, 5), kRed);
  RECT update;
  ASSERT_TRUE(GetUpdateRect(top_, &update, false));
  EXPECT_EQ(update, strip);
  painted.clear();
  Pump();
  EXPECT_THAT(painted, ElementsAre(Painted{top_, WM_PAINT, strip, false})) << "no erase asked";
  EXPECT_EQ(Pixel(5, 5), kRed);
  EXPECT_EQ(Pixel(25, 5), kBlue) << "outside the strip nothing is painted again";
}

TEST_F(PaintTest, ScrollingBothWaysLeavesTwoStripsAndMovesThePendingUpdate) {
  Pump();
  const RECT pending{40, 40, 50, 50};
  InvalidateRect(top_, &pending, false);
  RECT strip;
  EXPECT_EQ(ScrollWindowEx(top_, -10, -10, nullptr, nullptr, nullptr, &strip, 0), COMPLEXREGION);
  EXPECT_EQ(strip, (RECT{0, 0, 100, 80}));
  RECT update;
  ASSERT_TRUE(GetUpdateRect(top_, &update, false));
  EXPECT_EQ(update, (RECT{30, 30, 40, 40})) << "without SW_INVALIDATE only the old update moved";
}

// A sibling over the middle of the scrolled window cuts its visible part
// into bands; pixels cross from one band to another, none is drawn over
// the sibling, and what came from under the sibling is painted again.
TEST_F(PaintTest, ScrollingAcrossBandsMovesThePixelsWholeAndRepaintsWhatWasHidden) {
  SetWindowLongPtr(top_, GWL_STYLE, WS_VISIBLE | WS_CLIPCHILDREN);
  const HWND lower = ColourChild(top_, kGreen, {0, 0, 100, 80}, WS_CLIPSIBLINGS);
  ColourChild(top_, kBlue, {40, 30, 60, 50}, WS_CLIPSIBLINGS);
  Pump();
  constexpr COLORREF kBlack = RGB(0, 0, 0);
  const HDC dc = GetDC(lower);
  UniqueBrush black = CreateSolidBrush(kBlack);
  const RECT marker{10, 10, 20, 20};
  const RECT overSibling{45, 0, 55, 10};
  FillRect(dc, marker, black.get());
  FillRect(dc, overSibling, black.get());
  ReleaseDC(lower, dc);
  UniqueRegion exposed = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(ScrollWindowEx(lower, 0, 40, nullptr, nullptr, exposed.get(), nullptr, SW_INVALIDATE),
            COMPLEXREGION);
  struct Case {
    POINT at;
    bool exposed;
  };
  for (const Case& c : {Case{{15, 15}, true}, Case{{50, 35}, false}, Case{{50, 75}, true},
                        Case{{15, 55}, false}, Case{{50, 60}, false}, Case{{50, 45}, false}}) {
    EXPECT_EQ(PtInRegion(exposed.get(), c.at.x, c.at.y), c.exposed) << c.at.x << "," << c.at.y;
  }
  EXPECT_EQ(Pixel(15, 55), kBlack) << "moved from the top band into the bottom one";
  EXPECT_EQ(Pixel(50, 45), kBlue) << "the sibling keeps its pixels";
  SetWindowLongPtr(lower, GWL_ID, static_cast<LONG_PTR>(kRed));
  Pump();
  EXPECT_EQ(Pixel(15, 15), kRed) << "the strip left is painted again";
  EXPECT_EQ(Pixel(50, 75), kRed) << "its source was under the sibling";
  EXPECT_EQ(Pixel(15, 55), kBlack) << "moved pixels are not painted again";
  EXPECT_EQ(Pixel(15, 65), kGreen);
  EXPECT_EQ(Pixel(50, 45), kBlue);
}

// A window of a CS_OWNDC class keeps one DC for its life: every GetDC
// and paint hands out the same one, with what was selected and set in
// it, placed where the window is now.
TEST_F(PaintTest, AnOwnDcIsTheSameEveryTimeKeepsItsSettingsAndFollowsTheWindow) {
  const HWND own = CreateWindowEx(0, kOwnDcClass, "", WS_CHILD | WS_VISIBLE, 10, 10, 20, 20, top_,
                                  static_cast<int32_t>(kGreen), nullptr);
  Pump();
  const HDC dc = GetDC(own);
  ASSERT_NE(dc, nullptr);
  SetTextColor(dc, kBlue);
  UniqueBrush blue = CreateSolidBrush(kBlue);
  SelectObject(dc, blue.get());
  EXPECT_EQ(ReleaseDC(own, dc), 1);
  EXPECT_EQ(ReleaseDC(own, dc), 1) << "releasing it again is no breach either";

  MoveWindow(own, 50, 40, 20, 20, true);
  Pump();
  EXPECT_EQ(GetDC(own), dc);
  EXPECT_EQ(SetTextColor(dc, kRed), kBlue) << "what was set stays";
  PatBlt(dc, 0, 0, 1, 1, PATCOPY);
  EXPECT_EQ(Pixel(50, 40), kBlue) << "with the brush selected before, where the window is now";
  EXPECT_EQ(Pixel(10, 10), kRed);
  EXPECT_EQ(GetPixel(dc, 25, 5), CLR_INVALID) << "still cut to the window";

  const RECT part{0, 0, 5, 5};
  InvalidateRect(own, &part, false);
  PAINTSTRUCT paint;
  {
    ScopedMisuseCounter misuses;
    EXPECT_EQ(BeginPaint(own, &paint), dc);
    RECT box;
    EXPECT_EQ(GetClipBox(dc, &box), SIMPLEREGION);
    EXPECT_EQ(box, part) << "a paint cuts it to the update region";
    EXPECT_EQ(ReleaseDC(own, dc), 1);
    EXPECT_TRUE(EndPaint(own, &paint));
    EXPECT_EQ(misuses.Total(), 0);
  }
  EXPECT_EQ(ReleaseDC(top_, dc), 0) << "another window's own DC is not this one's";
}

TEST_F(PaintTest, AnOwnDcDrawsOnTheNewImageOfAWindowMadeLarger) {
  const HWND own = CreateWindowEx(0, kOwnDcClass, "", WS_VISIBLE, 0, 0, 20, 20, kNoWindow,
                                  static_cast<int32_t>(kGreen), nullptr);
  const HDC dc = GetDC(own);
  UniqueBrush blue = CreateSolidBrush(kBlue);
  SelectObject(dc, blue.get());
  SaveDC(dc);
  MoveWindow(own, 0, 0, 60, 40, true);
  EXPECT_EQ(GetDC(own), dc);
  RestoreDC(dc, -1);
  PatBlt(dc, 50, 30, 1, 1, PATCOPY);
  EXPECT_EQ(GetPixel(GetWindowSurface(own), 50, 30), kBlue)
      << "past the old size: on the new image, even through a saved state";
  DestroyWindow(own);
}

TEST_F(PaintTest, RedrawWindowReachesChildrenAsItsFlagsSay) {
  SetWindowLongPtr(top_, GWL_STYLE, WS_VISIBLE | WS_CLIPCHILDREN);
  const HWND child = ColourChild(top_, kGreen, {10, 10, 30, 30});
  Pump();
  RECT update;
  ASSERT_TRUE(RedrawWindow(top_, nullptr, nullptr, RDW_INVALIDATE));
  EXPECT_FALSE(GetUpdateRect(child, &update, false)) << "the parent clips its children";
  ASSERT_TRUE(RedrawWindow(top_, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN));
  EXPECT_TRUE(GetUpdateRect(child, &update, false));
  ASSERT_TRUE(RedrawWindow(top_, nullptr, nullptr, RDW_VALIDATE | RDW_ALLCHILDREN));
  EXPECT_FALSE(GetUpdateRect(top_, &update, false));
  EXPECT_FALSE(GetUpdateRect(child, &update, false));
}

TEST_F(PaintTest, RedrawWindowTakesTheRegionBeforeTheRectangle) {
  Pump();
  const RECT ignored{0, 0, 90, 70};
  UniqueRegion area = CreateRectRgn(10, 10, 20, 20);
  UniqueRegion other = CreateRectRgn(40, 40, 50, 50);
  CombineRgn(area.get(), area.get(), other.get(), RGN_OR);
  ASSERT_TRUE(RedrawWindow(top_, &ignored, area.get(), RDW_INVALIDATE));
  UniqueRegion update = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetUpdateRgn(top_, update.get(), false), COMPLEXREGION);
  EXPECT_TRUE(EqualRgn(update.get(), area.get()));
  UniqueRegion first = CreateRectRgn(10, 10, 20, 20);
  ASSERT_TRUE(RedrawWindow(top_, nullptr, first.get(), RDW_VALIDATE));
  EXPECT_EQ(GetUpdateRgn(top_, update.get(), false), SIMPLEREGION);
  EXPECT_TRUE(EqualRgn(update.get(), other.get()));
}

TEST_F(PaintTest, TheUpdateRegionIsAPixelSetAndPaintingKeepsToIt) {
  paintColour = kRed;
  Pump();
  // An L of two bars; the corner between them stays out of the update.
  UniqueRegion bars = CreateRectRgn(0, 0, 60, 10);
  UniqueRegion post = CreateRectRgn(0, 0, 10, 60);
  CombineRgn(bars.get(), bars.get(), post.get(), RGN_OR);
  ASSERT_TRUE(InvalidateRgn(top_, bars.get(), false));
  RECT bounds;
  ASSERT_TRUE(GetUpdateRect(top_, &bounds, false));
  EXPECT_EQ(bounds, (RECT{0, 0, 60, 60})) << "the rectangle is the region's bounds";
  UniqueRegion update = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetUpdateRgn(top_, update.get(), false), COMPLEXREGION);
  EXPECT_FALSE(PtInRegion(update.get(), 30, 30));
  EXPECT_TRUE(PtInRegion(update.get(), 5, 55));
  paintColour = kBlue;
  Pump();
  EXPECT_EQ(Pixel(55, 5), kBlue);
  EXPECT_EQ(Pixel(5, 55), kBlue);
  EXPECT_EQ(Pixel(30, 30), kRed) << "inside the bounds but outside the region";
  paintColour = kRed;
}

TEST_F(PaintTest, ValidatingPartOfTheUpdateLeavesTheRest) {
  Pump();
  ASSERT_TRUE(InvalidateRgn(top_, nullptr, true)) << "no region: the whole client area";
  UniqueRegion hole = CreateRectRgn(10, 10, 20, 20);
  ASSERT_TRUE(ValidateRgn(top_, hole.get()));
  UniqueRegion update = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetUpdateRgn(top_, update.get(), false), COMPLEXREGION);
  EXPECT_FALSE(PtInRegion(update.get(), 15, 15));
  EXPECT_TRUE(PtInRegion(update.get(), 25, 15));
  ASSERT_TRUE(ValidateRgn(top_, nullptr));
  EXPECT_EQ(GetUpdateRgn(top_, update.get(), false), NULLREGION);
  EXPECT_EQ(GetUpdateRgn(top_, nullptr, false), ERROR);
}

TEST_F(PaintTest, GetUpdateRgnErasesAPendingEraseWhenAsked) {
  Pump();
  painted.clear();
  InvalidateRect(top_, nullptr, true);
  UniqueRegion update = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetUpdateRgn(top_, update.get(), true), SIMPLEREGION);
  EXPECT_THAT(painted, ElementsAre(Painted{top_, WM_ERASEBKGND, RECT{}, false}));
  Pump();
  ASSERT_EQ(painted.size(), 2u);
  EXPECT_EQ(painted[1].message, WM_PAINT) << "erased once only";
}

TEST_F(PaintTest, RedrawWindowPaintsAtOnceWhenAsked) {
  Pump();
  painted.clear();
  const RECT part{0, 0, 5, 5};
  ASSERT_TRUE(RedrawWindow(top_, &part, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW));
  EXPECT_THAT(painted, ElementsAre(Painted{top_, WM_ERASEBKGND, RECT{}, false},
                                   Painted{top_, WM_PAINT, part, false}));
}

TEST_F(PaintTest, AWindowRegionClipsItsPaintingAndItsInvalidations) {
  paintColour = kRed;
  SetWindowLongPtr(top_, GWL_STYLE, WS_VISIBLE | WS_CLIPCHILDREN);
  const HWND child = ColourChild(top_, kGreen, {10, 10, 50, 50});
  // The child keeps its top-left quarter and its bottom-right one.
  UniqueRegion quarters = CreateRectRgn(0, 0, 20, 20);
  UniqueRegion other = CreateRectRgn(20, 20, 40, 40);
  CombineRgn(quarters.get(), quarters.get(), other.get(), RGN_OR);
  ASSERT_TRUE(SetWindowRgn(child, std::move(quarters), true));
  Pump();
  struct Sample {
    POINT at;
    COLORREF colour;
  };
  const Sample samples[] = {
      {{15, 15}, kGreen},  // the child's top-left quarter
      {{45, 45}, kGreen},  // its bottom-right quarter
      {{45, 15}, kRed},    // outside its region the parent paints and is not clipped away
      {{15, 45}, kRed},
  };
  for (const Sample& s : samples)
    EXPECT_EQ(Pixel(s.at.x, s.at.y), s.colour) << s.at.x << "," << s.at.y;

  const HDC dc = GetDC(child);
  UniqueBrush blue = CreateSolidBrush(kBlue);
  FillRect(dc, RECT{0, 0, 40, 40}, blue.get());
  ReleaseDC(child, dc);
  EXPECT_EQ(Pixel(15, 15), kBlue);
  EXPECT_EQ(Pixel(45, 15), kRed) << "its DC draws nothing outside its region";

  ASSERT_TRUE(InvalidateRect(child, nullptr, false));
  UniqueRegion update = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetUpdateRgn(child, update.get(), false), COMPLEXREGION);
  EXPECT_TRUE(PtInRegion(update.get(), 5, 5));
  EXPECT_FALSE(PtInRegion(update.get(), 30, 5)) << "nothing is invalidated outside the region";
}

TEST_F(PaintTest, SettingARegionWithRedrawExposesWhatTheWindowNoLongerCovers) {
  paintColour = kRed;
  SetWindowLongPtr(top_, GWL_STYLE, WS_VISIBLE | WS_CLIPCHILDREN);
  const HWND child = ColourChild(top_, kGreen, {10, 10, 50, 50});
  Pump();
  EXPECT_EQ(Pixel(45, 45), kGreen);
  ASSERT_TRUE(SetWindowRgn(child, CreateRectRgn(0, 0, 20, 20), true));
  Pump();
  EXPECT_EQ(Pixel(15, 15), kGreen);
  EXPECT_EQ(Pixel(45, 45), kRed) << "the parent paints where the child was cut away";
}

}  // namespace
