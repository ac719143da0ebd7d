// Shapes and made cursors on a real X server: a window's region becomes
// its shape, read back as the server's rectangles and the screen's pixels;
// a cursor made from masks is the one the server shows over our window.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "display_fixture.h"
#include "platform/cursor.h"
#include "platform/gdi.h"
#include "platform/paint.h"
#include "platform/window.h"
#include "platform/window_message.h"
#include "window_test_support.h"

// Xlib's macros would clash with our names, so its headers come last.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xfixes.h>
#include <X11/extensions/shape.h>

namespace platform::x11 {
namespace {

constexpr char kPaintedClass[] = "X11ShapeTestWindow";
constexpr COLORREF kColour = RGB(0, 0, 255);
constexpr unsigned long kPixel = 0x0000FF;
constexpr RECT kPopupRect{100, 100, 200, 180};
// The union of an upper and a lower bar, as the server keeps it: one band each.
constexpr RECT kUpper{0, 0, 60, 40};
constexpr RECT kLower{20, 40, 100, 80};
constexpr POINT kInUpper{5, 5};
constexpr POINT kRightOfUpper{90, 5};

constexpr int32_t kCursorSide = 16;
constexpr size_t kCursorRowBytes = 2;
constexpr POINT kCursorHotSpot{15, 0};
constexpr uint32_t kOpaqueWhite = 0xFFFFFFFF;
constexpr uint32_t kOpaqueBlack = 0xFF000000;
constexpr uint32_t kAlpha = 0xFF000000;

LRESULT PaintedProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != WM_PAINT) return DefWindowProc(window, message, wParam, lParam);
  PAINTSTRUCT paint;
  const HDC dc = BeginPaint(window, &paint);
  RECT client;
  GetClientRect(window, &client);
  const UniqueBrush brush = CreateSolidBrush(kColour);
  FillRect(dc, client, brush.get());
  EndPaint(window, &paint);
  return 0;
}

struct ShapeRect {
  int x, y, width, height;
  bool operator==(const ShapeRect&) const = default;
};

ShapeRect ShapeRectOf(const RECT& rect) {
  return ShapeRect{rect.left, rect.top, rect.Width(), rect.Height()};
}

class ShapeCursorDisplayTest : public DisplayFixture {
 protected:
  void SetUp() override {
    DisplayFixture::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    ResetCursors();
    RegisterTestClass(kPaintedClass, PaintedProc);
  }
  void TearDown() override {
    if (window_ != kNoWindow) DestroyWindow(window_);
    ResetCursors();
    DisplayFixture::TearDown();
  }

  void Show(DWORD style, const RECT& rect) {
    window_ = CreateWindowEx(0, kPaintedClass, "", style | WS_VISIBLE, rect.left, rect.top,
                             rect.Width(), rect.Height(), kNoWindow, 0, nullptr);
    ASSERT_NE(window_, kNoWindow);
    native_ = backend_->NativeWindowOf(window_);
    ASSERT_TRUE(WaitUntilViewable(native_));
  }

  std::vector<ShapeRect> ShapeOnServer() {
    int count = 0;
    int ordering = 0;
    XRectangle* rectangles =
        XShapeGetRectangles(observer_, native_, ShapeBounding, &count, &ordering);
    std::vector<ShapeRect> shape;
    for (int i = 0; i < count; ++i) {
      shape.push_back(
          ShapeRect{rectangles[i].x, rectangles[i].y, rectangles[i].width, rectangles[i].height});
    }
    XFree(rectangles);
    return shape;
  }

  // What the screen shows at a point of the window, whatever window is there.
  std::optional<unsigned long> ScreenAt(POINT inWindow) {
    return PixelOnServer(DefaultRootWindow(observer_), kPopupRect.left + inWindow.x,
                         kPopupRect.top + inWindow.y);
  }

  HWND window_ = kNoWindow;
  unsigned long native_ = 0;
};

TEST_F(ShapeCursorDisplayTest, AWindowWithARegionHasItsShapeOnTheServer) {
  Show(WS_POPUP, kPopupRect);
  UniqueRegion region = CreateRectRgnIndirect(kUpper);
  UniqueRegion lower = CreateRectRgnIndirect(kLower);
  ASSERT_NE(CombineRgn(region.get(), region.get(), lower.get(), RGN_OR), ERROR);
  ASSERT_TRUE(SetWindowRgn(window_, std::move(region), true));
  const std::vector<ShapeRect> shaped{ShapeRectOf(kUpper), ShapeRectOf(kLower)};
  EXPECT_TRUE(PumpUntil([&] { return ShapeOnServer() == shaped; }));
  EXPECT_TRUE(PumpUntil([&] { return ScreenAt(kInUpper) == kPixel; }));
  EXPECT_NE(ScreenAt(kRightOfUpper), kPixel) << "outside the shape the screen shows through";

  // Without a region the window is its whole rectangle again.
  ASSERT_TRUE(SetWindowRgn(window_, nullptr, true));
  const std::vector<ShapeRect> whole{ShapeRect{0, 0, kPopupRect.Width(), kPopupRect.Height()}};
  EXPECT_TRUE(PumpUntil([&] { return ShapeOnServer() == whole; }));
  EXPECT_TRUE(PumpUntil([&] { return ScreenAt(kRightOfUpper) == kPixel; }));
}

TEST_F(ShapeCursorDisplayTest, ACursorMadeFromMasksIsShownOverTheWindow) {
  Show(WS_POPUP, kPopupRect);
  // Row 0: pixel 0 white, pixel 15 (the hot spot) black; the rest shows
  // the screen.
  std::array<uint8_t, kCursorRowBytes * kCursorSide> andMask;
  andMask.fill(0xFF);
  std::array<uint8_t, kCursorRowBytes * kCursorSide> xorMask{};
  andMask[0] = 0x7F;
  andMask[1] = 0xFE;
  xorMask[0] = 0x80;
  const HCURSOR cursor = CreateCursor(nullptr, kCursorHotSpot.x, kCursorHotSpot.y, kCursorSide,
                                      kCursorSide, andMask.data(), xorMask.data());
  ASSERT_NE(cursor, 0u);
  SetCursor(cursor);
  ASSERT_TRUE(Run("xdotool mousemove " + std::to_string(kPopupRect.left + 10) + " " +
                  std::to_string(kPopupRect.top + 10)));
  std::vector<uint32_t> pixels;
  const auto shown = [&] {
    XFixesCursorImage* image = XFixesGetCursorImage(observer_);
    if (image == nullptr) return false;
    const bool ours = image->width == kCursorSide && image->height == kCursorSide &&
                      image->xhot == kCursorHotSpot.x && image->yhot == kCursorHotSpot.y;
    // Each pixel is 32-bit ARGB in a long.
    if (ours) {
      for (int i = 0; i < kCursorSide * kCursorSide; ++i)
        pixels.push_back(static_cast<uint32_t>(image->pixels[i]));
    }
    XFree(image);
    return ours;
  };
  ASSERT_TRUE(PumpUntil(shown));
  EXPECT_EQ(pixels[0], kOpaqueWhite);
  EXPECT_EQ(pixels[kCursorHotSpot.x], kOpaqueBlack);
  EXPECT_EQ(pixels[1] & kAlpha, 0u) << "the screen shows through";
  EXPECT_EQ(pixels[kCursorSide] & kAlpha, 0u);
}

}  // namespace
}  // namespace platform::x11
