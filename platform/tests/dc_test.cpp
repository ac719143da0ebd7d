#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "platform/gdi.h"

namespace platform {
namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);

void Fill(HDC dc, const RECT& rect, COLORREF colour) {
  const UniqueBrush brush = CreateSolidBrush(colour);
  FillRect(dc, rect, brush.get());
}

struct ClipCase {
  const char* name;
  int mode;
  int shape;
  RECT box;
  std::vector<POINT> painted;
  std::vector<POINT> kept;
};

TEST(ClipTest, CombineModesDecideWhereAFillReaches) {
  // The clip starts as 0..20 x 0..20 and is combined with 10..30 x 10..30.
  const ClipCase cases[] = {
      {"and",
       RGN_AND,
       SIMPLEREGION,
       RECT{10, 10, 20, 20},
       {{10, 10}, {19, 19}},
       {{5, 5}, {25, 25}}},
      {"or", RGN_OR, COMPLEXREGION, RECT{0, 0, 30, 30}, {{5, 5}, {25, 25}}, {{25, 5}, {35, 35}}},
      {"diff",
       RGN_DIFF,
       COMPLEXREGION,
       RECT{0, 0, 20, 20},
       {{5, 5}, {15, 5}},
       {{15, 15}, {25, 25}}},
      {"copy",
       RGN_COPY,
       SIMPLEREGION,
       RECT{10, 10, 30, 30},
       {{15, 15}, {29, 29}},
       {{5, 5}, {30, 30}}},
  };
  for (const ClipCase& c : cases) {
    const UniqueDC dc = CreateImageDC(40, 40);
    const UniqueRegion first = CreateRectRgn(0, 0, 20, 20);
    const UniqueRegion second = CreateRectRgn(10, 10, 30, 30);
    EXPECT_EQ(SelectClipRgn(dc.get(), first.get()), SIMPLEREGION) << c.name;
    EXPECT_EQ(ExtSelectClipRgn(dc.get(), second.get(), c.mode), c.shape) << c.name;
    RECT box;
    EXPECT_EQ(GetClipBox(dc.get(), &box), c.shape) << c.name;
    EXPECT_EQ(box, c.box) << c.name;
    Fill(dc.get(), RECT{0, 0, 40, 40}, kRed);
    for (const POINT& p : c.painted) EXPECT_EQ(GetPixel(dc.get(), p.x, p.y), kRed) << c.name;
    for (const POINT& p : c.kept) {
      // Outside the clip the pixel cannot be read through the DC either.
      EXPECT_EQ(GetPixel(dc.get(), p.x, p.y), CLR_INVALID) << c.name;
    }
    SelectClipRgn(dc.get(), nullptr);
    for (const POINT& p : c.kept) {
      if (p.x < 40 && p.y < 40) {
        EXPECT_EQ(GetPixel(dc.get(), p.x, p.y), kWhite) << c.name;
      }
    }
  }
}

TEST(ClipTest, RectanglesIntersectAndExcludeAndAnEmptyClipReachesNothing) {
  const UniqueDC dc = CreateImageDC(40, 40);
  RECT box;
  EXPECT_EQ(GetClipBox(dc.get(), &box), SIMPLEREGION);
  EXPECT_EQ(box, (RECT{0, 0, 40, 40}));
  // Excluding without a clip takes away from the whole device.
  EXPECT_EQ(ExcludeClipRect(dc.get(), 10, 10, 20, 20), COMPLEXREGION);
  EXPECT_EQ(IntersectClipRect(dc.get(), 5, 5, 25, 25), COMPLEXREGION);
  EXPECT_EQ(GetClipBox(dc.get(), &box), COMPLEXREGION);
  EXPECT_EQ(box, (RECT{5, 5, 25, 25}));
  Fill(dc.get(), RECT{0, 0, 40, 40}, kBlue);
  SelectClipRgn(dc.get(), nullptr);
  EXPECT_EQ(GetPixel(dc.get(), 6, 6), kBlue);
  EXPECT_EQ(GetPixel(dc.get(), 15, 15), kWhite);
  EXPECT_EQ(GetPixel(dc.get(), 30, 30), kWhite);

  EXPECT_EQ(IntersectClipRect(dc.get(), 0, 0, 10, 10), SIMPLEREGION);
  EXPECT_EQ(IntersectClipRect(dc.get(), 20, 20, 30, 30), NULLREGION);
  EXPECT_EQ(GetClipBox(dc.get(), &box), NULLREGION);
  EXPECT_EQ(box, RECT{});
  Fill(dc.get(), RECT{0, 0, 40, 40}, kRed);
  EXPECT_EQ(ExtSelectClipRgn(dc.get(), nullptr, RGN_AND), ERROR);
  EXPECT_EQ(ExtSelectClipRgn(dc.get(), nullptr, RGN_COPY), SIMPLEREGION);
  EXPECT_EQ(GetPixel(dc.get(), 6, 6), kBlue);  // the red fill reached nothing
}

TEST(ClipTest, AViewKeepsItsVisiblePartUnderTheClipInItsOwnCoordinates) {
  const UniqueDC image = CreateImageDC(60, 40);
  // The view's device origin is at (20, 10) of the image; it may reach
  // only image pixels 20..50 x 10..30.
  const UniqueDC view = CreateViewDC(image.get(), POINT{20, 10}, {RECT{20, 10, 50, 30}});
  RECT box;
  EXPECT_EQ(GetClipBox(view.get(), &box), SIMPLEREGION);
  EXPECT_EQ(box, (RECT{0, 0, 30, 20}));
  // A clip wider than the visible part cannot widen it.
  const UniqueRegion wide = CreateRectRgn(-20, -10, 10, 40);
  EXPECT_EQ(SelectClipRgn(view.get(), wide.get()), SIMPLEREGION);
  EXPECT_EQ(GetClipBox(view.get(), &box), SIMPLEREGION);
  EXPECT_EQ(box, (RECT{0, 0, 10, 20}));
  Fill(view.get(), RECT{-20, -10, 40, 30}, kRed);
  EXPECT_EQ(GetPixel(image.get(), 20, 10), kRed);
  EXPECT_EQ(GetPixel(image.get(), 29, 29), kRed);
  EXPECT_EQ(GetPixel(image.get(), 30, 20), kWhite);
  EXPECT_EQ(GetPixel(image.get(), 15, 20), kWhite);
  EXPECT_EQ(GetPixel(image.get(), 25, 5), kWhite);
  // Removing the clip leaves the visible part.
  SelectClipRgn(view.get(), nullptr);
  Fill(view.get(), RECT{-20, -10, 40, 30}, kBlue);
  EXPECT_EQ(GetPixel(image.get(), 49, 29), kBlue);
  EXPECT_EQ(GetPixel(image.get(), 50, 29), kWhite);
  EXPECT_EQ(GetPixel(image.get(), 20, 9), kWhite);
  // Pixel operations are translated and clipped as well.
  ASSERT_TRUE(PatBlt(view.get(), -10, -10, 15, 15, DSTINVERT));
  EXPECT_EQ(GetPixel(image.get(), 24, 14), RGB(255, 255, 0));
  EXPECT_EQ(GetPixel(image.get(), 15, 5), kWhite);
  EXPECT_EQ(GetPixel(view.get(), 4, 4), RGB(255, 255, 0));
}

TEST(OriginTest, WindowAndViewportOriginsMoveDrawingAndClipRectangles) {
  const UniqueDC dc = CreateImageDC(60, 60);
  POINT previous{1, 1};
  ASSERT_TRUE(SetWindowOrgEx(dc.get(), 100, 100, &previous));
  EXPECT_EQ(previous, POINT{});
  ASSERT_TRUE(SetViewportOrgEx(dc.get(), 10, 0, nullptr));
  ASSERT_TRUE(OffsetViewportOrgEx(dc.get(), 0, 20, &previous));
  EXPECT_EQ(previous, (POINT{10, 0}));
  POINT origin;
  ASSERT_TRUE(GetWindowOrgEx(dc.get(), &origin));
  EXPECT_EQ(origin, (POINT{100, 100}));
  // Logical (100, 100) is device (10, 20).
  Fill(dc.get(), RECT{100, 100, 105, 105}, kRed);
  EXPECT_EQ(GetPixel(dc.get(), 100, 100), kRed);
  ASSERT_TRUE(SetViewportOrgEx(dc.get(), 0, 0, nullptr));
  ASSERT_TRUE(SetWindowOrgEx(dc.get(), 0, 0, nullptr));
  EXPECT_EQ(GetPixel(dc.get(), 10, 20), kRed);
  EXPECT_EQ(GetPixel(dc.get(), 14, 24), kRed);
  EXPECT_EQ(GetPixel(dc.get(), 15, 24), kWhite);
  EXPECT_EQ(GetPixel(dc.get(), 9, 20), kWhite);

  // A clip rectangle is given in logical coordinates and stays where it
  // was put on the device when the origins move again.
  SetWindowOrgEx(dc.get(), 10, 10, nullptr);
  EXPECT_EQ(IntersectClipRect(dc.get(), 40, 40, 50, 50), SIMPLEREGION);
  RECT box;
  GetClipBox(dc.get(), &box);
  EXPECT_EQ(box, (RECT{40, 40, 50, 50}));
  SetWindowOrgEx(dc.get(), 0, 0, nullptr);
  GetClipBox(dc.get(), &box);
  EXPECT_EQ(box, (RECT{30, 30, 40, 40}));
  Fill(dc.get(), RECT{0, 0, 60, 60}, kBlue);
  SelectClipRgn(dc.get(), nullptr);
  EXPECT_EQ(GetPixel(dc.get(), 30, 30), kBlue);
  EXPECT_EQ(GetPixel(dc.get(), 39, 39), kBlue);
  EXPECT_EQ(GetPixel(dc.get(), 40, 40), kWhite);

  // Lines follow the origins too.
  SetViewportOrgEx(dc.get(), 0, 50, nullptr);
  const UniquePen pen = CreatePen(PS_SOLID, 1, kBlack);
  SelectObject(dc.get(), pen.get());
  MoveToEx(dc.get(), 0, 0, nullptr);
  LineTo(dc.get(), 10, 0);
  SetViewportOrgEx(dc.get(), 0, 0, nullptr);
  EXPECT_EQ(GetPixel(dc.get(), 5, 50), kBlack);
  EXPECT_EQ(GetPixel(dc.get(), 5, 0), kWhite);
}

TEST(SaveDcTest, RestoreBringsBackObjectsColoursOriginsAndClip) {
  const UniqueDC dc = CreateImageDC(40, 40);
  const UniqueBrush red = CreateSolidBrush(kRed);
  const UniqueBrush blue = CreateSolidBrush(kBlue);
  SelectObject(dc.get(), red.get());
  SetBkColor(dc.get(), kBlue);
  EXPECT_EQ(SaveDC(dc.get()), 1);
  SelectObject(dc.get(), blue.get());
  SetBkColor(dc.get(), kBlack);
  SetViewportOrgEx(dc.get(), 5, 5, nullptr);
  IntersectClipRect(dc.get(), 0, 0, 2, 2);
  EXPECT_EQ(SaveDC(dc.get()), 2);
  SetViewportOrgEx(dc.get(), 30, 30, nullptr);
  EXPECT_EQ(SaveDC(dc.get()), 3);

  ASSERT_TRUE(RestoreDC(dc.get(), -2));  // the second state; the third goes with it
  EXPECT_FALSE(RestoreDC(dc.get(), 2));
  PatBlt(dc.get(), 0, 0, 40, 40, PATCOPY);
  EXPECT_EQ(GetPixel(dc.get(), 1, 1), kBlue);  // logical, through the viewport origin
  EXPECT_EQ(GetPixel(dc.get(), 2, 2), CLR_INVALID);
  EXPECT_EQ(SetBkColor(dc.get(), kWhite), kBlack);

  ASSERT_TRUE(RestoreDC(dc.get(), -1));
  EXPECT_FALSE(RestoreDC(dc.get(), -1));
  EXPECT_EQ(SetBkColor(dc.get(), kWhite), kBlue);
  POINT origin;
  SetViewportOrgEx(dc.get(), 0, 0, &origin);
  EXPECT_EQ(origin, POINT{});
  PatBlt(dc.get(), 20, 20, 5, 5, PATCOPY);
  EXPECT_EQ(GetPixel(dc.get(), 22, 22), kRed);
  EXPECT_EQ(GetPixel(dc.get(), 5, 5), kBlue);
  EXPECT_EQ(GetPixel(dc.get(), 7, 7), kWhite);
  EXPECT_FALSE(RestoreDC(dc.get(), 0));
}

TEST(MemoryDcTest, BitmapsAreDrawnIntoAndCopiedOut) {
  const UniqueDC screen = CreateImageDC(50, 30);
  const UniqueDC memory = CreateCompatibleDC(screen.get());
  ASSERT_NE(memory, nullptr);
  EXPECT_EQ(GetDeviceCaps(memory.get(), HORZRES), 1);
  const UniqueBitmap bitmap = CreateCompatibleBitmap(screen.get(), 20, 10);
  ASSERT_NE(bitmap, nullptr);
  EXPECT_EQ(CreateCompatibleBitmap(screen.get(), 0, 10), nullptr);
  const HBITMAP first = SelectObject(memory.get(), bitmap.get());
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(GetDeviceCaps(memory.get(), HORZRES), 20);
  EXPECT_EQ(GetPixel(memory.get(), 19, 9), kBlack);
  EXPECT_EQ(GetPixel(memory.get(), 20, 9), CLR_INVALID);
  Fill(memory.get(), RECT{0, 0, 10, 10}, kRed);

  // A bitmap is in one memory DC at a time, and only a memory DC takes one.
  const UniqueDC other = CreateCompatibleDC(nullptr);
  EXPECT_EQ(SelectObject(other.get(), bitmap.get()), nullptr);
  EXPECT_EQ(SelectObject(other.get(), first), nullptr);
  EXPECT_EQ(SelectObject(screen.get(), bitmap.get()), nullptr);

  ASSERT_TRUE(BitBlt(screen.get(), 25, 10, 20, 10, memory.get(), 0, 0, SRCCOPY));
  EXPECT_EQ(GetPixel(screen.get(), 25, 10), kRed);
  EXPECT_EQ(GetPixel(screen.get(), 34, 19), kRed);
  EXPECT_EQ(GetPixel(screen.get(), 35, 19), kBlack);
  EXPECT_EQ(GetPixel(screen.get(), 44, 10), kBlack);
  EXPECT_EQ(GetPixel(screen.get(), 45, 10), kWhite);
  EXPECT_EQ(GetPixel(screen.get(), 25, 9), kWhite);
  // What lies outside the source leaves the destination alone.
  ASSERT_TRUE(BitBlt(screen.get(), 0, 0, 10, 10, memory.get(), 15, 5, SRCCOPY));
  EXPECT_EQ(GetPixel(screen.get(), 0, 0), kBlack);
  EXPECT_EQ(GetPixel(screen.get(), 4, 4), kBlack);
  EXPECT_EQ(GetPixel(screen.get(), 5, 4), kWhite);
  EXPECT_EQ(GetPixel(screen.get(), 4, 5), kWhite);

  // Given back, the bitmap may go into another DC and keeps its pixels.
  EXPECT_EQ(SelectObject(memory.get(), first), bitmap.get());
  EXPECT_NE(SelectObject(other.get(), bitmap.get()), nullptr);
  EXPECT_EQ(GetPixel(other.get(), 5, 5), kRed);
}

TEST(MemoryDcTest, CopiesWithinOneImageHoweverTheBlocksOverlap) {
  struct Shift {
    int32_t dx, dy;
  };
  for (const Shift shift : {Shift{3, 0}, Shift{-3, 0}, Shift{0, 3}, Shift{0, -3}, Shift{2, 2}}) {
    const UniqueDC dc = CreateImageDC(30, 30);
    // Stripes of one pixel: colour by column for sideways moves, by row
    // for upward and downward ones.
    for (int32_t i = 0; i < 30; ++i) {
      const COLORREF colour = RGB(static_cast<uint8_t>(i * 8), 0, 0);
      Fill(dc.get(), shift.dx != 0 ? RECT{i, 0, i + 1, 30} : RECT{0, i, 30, i + 1}, colour);
    }
    ASSERT_TRUE(BitBlt(dc.get(), 10 + shift.dx, 10 + shift.dy, 10, 10, dc.get(), 10, 10, SRCCOPY));
    for (int32_t y = 10; y < 20; ++y) {
      for (int32_t x = 10; x < 20; ++x) {
        const int32_t stripe = shift.dx != 0 ? x : y;
        EXPECT_EQ(GetPixel(dc.get(), x + shift.dx, y + shift.dy),
                  RGB(static_cast<uint8_t>(stripe * 8), 0, 0))
            << shift.dx << "," << shift.dy << " at " << x << "," << y;
      }
    }
  }
}

TEST(MemoryDcTest, SaveDcKeepsTheBitmapAndOtherRopsNeedNoSource) {
  const UniqueDC memory = CreateCompatibleDC(nullptr);
  const UniqueBitmap a = CreateCompatibleBitmap(memory.get(), 4, 4);
  const UniqueBitmap b = CreateCompatibleBitmap(memory.get(), 8, 8);
  SelectObject(memory.get(), a.get());
  SaveDC(memory.get());
  SelectObject(memory.get(), b.get());
  ASSERT_TRUE(BitBlt(memory.get(), 0, 0, 8, 8, nullptr, 0, 0, DSTINVERT));
  EXPECT_EQ(GetPixel(memory.get(), 7, 7), kWhite);
  EXPECT_FALSE(BitBlt(memory.get(), 0, 0, 8, 8, nullptr, 0, 0, SRCCOPY));
  ASSERT_TRUE(RestoreDC(memory.get(), 1));
  EXPECT_EQ(GetDeviceCaps(memory.get(), HORZRES), 4);
  EXPECT_EQ(GetPixel(memory.get(), 3, 3), kBlack);
  const UniqueBrush red = CreateSolidBrush(kRed);
  SelectObject(memory.get(), red.get());
  ASSERT_TRUE(BitBlt(memory.get(), 1, 1, 2, 2, nullptr, 0, 0, PATCOPY));
  EXPECT_EQ(GetPixel(memory.get(), 1, 1), kRed);
  EXPECT_EQ(GetPixel(memory.get(), 0, 0), kBlack);
}

TEST(MemoryDcTest, ABitmapIsCopiedOntoAPrinterPage) {
  const auto path = std::filesystem::path(::testing::TempDir()) / "dc_bitblt.pdf";
  const UniqueDC memory = CreateCompatibleDC(nullptr);
  const UniqueBitmap bitmap = CreateCompatibleBitmap(memory.get(), 8, 8);
  SelectObject(memory.get(), bitmap.get());
  {
    const UniqueDC printer =
        CreatePdfDC(path.string(), PrinterSetup{300, 300, SIZE{600, 600}, POINT{10, 10}, SIZE{}});
    ASSERT_NE(printer, nullptr);
    EXPECT_TRUE(BitBlt(printer.get(), 0, 0, 8, 8, memory.get(), 0, 0, SRCCOPY));
    EXPECT_FALSE(BitBlt(printer.get(), 0, 0, 8, 8, nullptr, 0, 0, DSTINVERT));
    EXPECT_FALSE(BitBlt(memory.get(), 0, 0, 8, 8, printer.get(), 0, 0, SRCCOPY));
  }
  EXPECT_GT(std::filesystem::file_size(path), 0u);
}

TEST(RectDrawingTest, FrameRectOutlinesAndInvertRectFlipsInsideTheClip) {
  const UniqueDC dc = CreateImageDC(30, 30);
  const UniqueBrush red = CreateSolidBrush(kRed);
  ASSERT_TRUE(FrameRect(dc.get(), RECT{5, 5, 15, 12}, red.get()));
  for (const POINT p : {POINT{5, 5}, POINT{14, 5}, POINT{5, 11}, POINT{14, 11}, POINT{9, 11}}) {
    EXPECT_EQ(GetPixel(dc.get(), p.x, p.y), kRed) << p.x << "," << p.y;
  }
  for (const POINT p : {POINT{6, 6}, POINT{13, 10}, POINT{15, 5}, POINT{5, 12}}) {
    EXPECT_EQ(GetPixel(dc.get(), p.x, p.y), kWhite) << p.x << "," << p.y;
  }
  IntersectClipRect(dc.get(), 0, 0, 20, 30);
  ASSERT_TRUE(InvertRect(dc.get(), RECT{10, 0, 25, 10}));
  EXPECT_EQ(GetPixel(dc.get(), 12, 8), kBlack);
  EXPECT_EQ(GetPixel(dc.get(), 12, 5), RGB(0, 255, 255));
  EXPECT_EQ(GetPixel(dc.get(), 9, 8), kWhite);
  SelectClipRgn(dc.get(), nullptr);
  EXPECT_EQ(GetPixel(dc.get(), 22, 5), kWhite);
}

}  // namespace
}  // namespace platform
