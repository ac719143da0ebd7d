// The editing surface in a real window on an X server of the test's own:
// typed into with xdotool (Latin text from the keyboard, a double-byte
// character committed by the desktop's input method), its caret moved
// with the arrow keys, resized and closed from the server's side, with
// the engine's document and the window's pixels on the server checked.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "display_fixture.h"
#include "engine/tests/wp_ctrl_fixture.h"
#include "framed_surface.h"
#include "platform/archive.h"
#include "platform/caret.h"
#include "platform/file.h"
#include "platform/window.h"
#include "uim_server.h"

namespace views_display {
namespace {

using platform::RECT;

constexpr RECT kFrameRect{0, 0, 600, 400};
constexpr char kTitle[] = "Lexora";
constexpr unsigned long kPaperPixel = 0xFFFFFF;
constexpr unsigned long kInkPixel = 0x000000;
// "axbあ" as the engine stores it, あ as its CP932 bytes.
constexpr char kLatinTyped[] = "ab";
constexpr char kWithCommitted[] = "ab\x82\xA0";
constexpr char kFinalText[] = "axb\x82\xA0";
constexpr int kFinalCharacters = 4;
// Twips become whole pixels one place at a time.
constexpr int32_t kRounding = 1;

// The server's pixels of a window, read at once.
class Screenshot {
 public:
  Screenshot(std::vector<unsigned long> pixels, const RECT& area)
      : pixels_(std::move(pixels)), area_(area) {}

  bool valid() const { return !pixels_.empty(); }
  unsigned long Pixel(int32_t x, int32_t y) const {
    return pixels_[static_cast<size_t>(y - area_.top) * static_cast<size_t>(area_.Width()) +
                   static_cast<size_t>(x - area_.left)];
  }

 private:
  std::vector<unsigned long> pixels_;
  RECT area_;
};

class EditSurfaceDisplayTest : public platform::x11::DisplayFixture {
 protected:
  void SetUp() override {
    // Only the double-byte character needs the desktop's input method.
    uimMissing_ = platform::x11::UimMissing();
    if (uimMissing_.empty()) setenv("XMODIFIERS", platform::x11::kUimModifiers, 1);
    DisplayFixture::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    environment_ = std::make_unique<doc_root_test::TestEnvironment>();
    engine_ = std::make_unique<CVedWpCtrl>();
    ASSERT_EQ(engine_->Start(), 1);
    DocStyle style = doc_root_test::TestStyle();
    engine_->StyleCommand(WPC_SET_DOCSTYLE, nullptr, &style);
    ASSERT_EQ(engine_->DocumentCommand(WPC_NEW_DOCUMENT, 0, nullptr), kWpcOk);
    if (uimMissing_.empty()) {
      uim_ = std::make_unique<platform::x11::UimServer>(testing::TempDir() + "uim-home",
                                                        server_->name());
    }
  }
  void TearDown() override {
    surface_.reset();
    engine_.reset();
    environment_.reset();
    DisplayFixture::TearDown();
    uim_.reset();
    unsetenv("XMODIFIERS");
  }

  // Runs the program's loop until the condition holds.
  static bool RunUntil(const std::function<bool()>& done) {
    return PumpUntil([&] {
      FramedSurface::Run();
      return done();
    });
  }

  // The frame on the screen with the keyboard; there is no window manager
  // to give it.
  void ShowFocused() {
    surface_ = std::make_unique<FramedSurface>(*engine_, kFrameRect, kTitle);
    native_ = backend_->NativeWindowOf(surface_->frame());
    ASSERT_NE(native_, 0u);
    ASSERT_TRUE(WaitUntilViewable(native_));
    FocusOnServer(native_);
    ASSERT_TRUE(RunUntil([&] { return platform::GetFocus() == surface_->view()->m_hWnd; }));
  }

  // The whole document as plain CP932 text, written by the engine.
  std::string DocumentText() {
    platform::CMemFile file;
    {
      platform::CArchive archive(&file, platform::CArchive::kStore);
      engine_->DocumentCommand(WPC_WRITE_BARE_CONTENT, CDocBunsObj::kStreamPlainText, &archive);
      archive.Close();
    }
    return std::string(reinterpret_cast<const char*>(file.Data()), file.GetLength());
  }
  bool DocumentStartsWith(const std::string& text) { return DocumentText().starts_with(text); }

  // The surface's caret in frame pixels (the surface fills the frame).
  RECT CaretRect() const {
    RECT caret{};
    surface_->view()->GetCaretWindowRect(&caret);
    return caret;
  }

  // Presses a key and runs until the caret has moved.
  bool PressAndFollow(const std::string& key, RECT* caret) {
    const RECT before = CaretRect();
    if (!Run("xdotool key " + key)) return false;
    const bool moved = RunUntil([&] { return CaretRect() != before; });
    *caret = CaretRect();
    return moved;
  }

  // Waits until the server shows the pixel at the point.
  bool ServerShows(int32_t x, int32_t y, unsigned long pixel) {
    return RunUntil([&] { return PixelOnServer(native_, x, y) == pixel; });
  }

  void CloseFromTheServer() { SendDeleteWindow(native_); }

  std::unique_ptr<doc_root_test::TestEnvironment> environment_;
  std::unique_ptr<CVedWpCtrl> engine_;
  std::string uimMissing_;
  std::unique_ptr<platform::x11::UimServer> uim_;
  std::unique_ptr<FramedSurface> surface_;
  unsigned long native_ = 0;
};

TEST_F(EditSurfaceDisplayTest, TypedTextAndCaretMovesAreInTheDocumentAndOnTheScreen) {
  if (!uimMissing_.empty()) GTEST_SKIP() << uimMissing_;
  ShowFocused();
  ASSERT_TRUE(Run(std::string("xdotool type --delay 0 ") + kLatinTyped));
  ASSERT_TRUE(RunUntil([&] { return DocumentStartsWith(kLatinTyped); })) << DocumentText();
  // On, the reading "a" (あ), Enter commits it, off again.
  ASSERT_TRUE(RunUntil([&] { return backend_->InputMethodOpen(); }));
  ASSERT_TRUE(Run("xdotool key shift+space type a && xdotool key Return shift+space"));
  ASSERT_TRUE(RunUntil([&] { return DocumentStartsWith(kWithCommitted); })) << DocumentText();
  // Back over あ and b, and x typed between a and b.
  ASSERT_TRUE(Run("xdotool key Left Left type x"));
  ASSERT_TRUE(RunUntil([&] { return DocumentStartsWith(kFinalText); })) << DocumentText();
  EXPECT_EQ(DocumentText().find("\x82\xA0", 0), std::string(kFinalText).size() - 2)
      << "nothing else was typed";

  // The caret walked from the line's start over each character: a single
  // byte is half as wide as a double byte, give or take the pixel that
  // twips round to.
  std::vector<RECT> stops(1);
  ASSERT_TRUE(PressAndFollow("Home", &stops[0]));
  for (int i = 0; i < kFinalCharacters; ++i) {
    stops.emplace_back();
    ASSERT_TRUE(PressAndFollow("Right", &stops.back())) << i;
  }
  const int32_t narrow = stops[1].left - stops[0].left;
  ASSERT_GT(narrow, 0);
  EXPECT_NEAR(stops[2].left - stops[1].left, narrow, kRounding);
  EXPECT_NEAR(stops[3].left - stops[2].left, narrow, kRounding);
  EXPECT_NEAR(stops[4].left - stops[3].left, 2 * narrow, kRounding);
  // The window system's caret is the surface's, shown where it says.
  const platform::CaretState caret = platform::GetCaretState();
  EXPECT_EQ(caret.owner, surface_->view()->m_hWnd);
  EXPECT_EQ(caret.hideCount, 0u);
  EXPECT_EQ(caret.rect, stops.back());

  // Each glyph is a block of ink in the middle of its cell, with paper at
  // the cell's edge and after the last one.
  const int32_t row = stops[0].top + (stops[0].bottom - stops[0].top) * 2 / 3;
  ASSERT_TRUE(ServerShows(stops[4].left - narrow, row, kInkPixel));
  const RECT area{0, 0, kFrameRect.Width(), kFrameRect.Height()};
  const Screenshot shot(PixelsOnServer(native_, 0, 0, area.Width(), area.Height()), area);
  ASSERT_TRUE(shot.valid());
  for (int i = 0; i < kFinalCharacters; ++i) {
    const int32_t middle = (stops[i].left + stops[i + 1].left) / 2;
    EXPECT_EQ(shot.Pixel(middle, row), kInkPixel) << "glyph " << i;
    EXPECT_EQ(shot.Pixel(stops[i].left, row), kPaperPixel) << "before glyph " << i;
  }
  EXPECT_EQ(shot.Pixel(stops[4].right + narrow, row), kPaperPixel) << "after the text";
  EXPECT_EQ(shot.Pixel(stops[0].left + narrow / 2, stops[0].top - 2 * narrow), kPaperPixel)
      << "above the line";

  // The caret inverts the paper where it stands while it shows, and
  // blinks; the line's top row is paper beneath it.
  const RECT at = stops.back();
  const auto caretOn = [] {
    const platform::CaretState state = platform::GetCaretState();
    return state.hideCount == 0 && state.blinkOn;
  };
  EXPECT_TRUE(RunUntil([&] {
    return caretOn() && PixelOnServer(native_, at.left, at.top) == kInkPixel;
  })) << "shown";
  EXPECT_TRUE(RunUntil([&] {
    return !caretOn() && PixelOnServer(native_, at.left, at.top) == kPaperPixel;
  })) << "blinked off";
}

TEST_F(EditSurfaceDisplayTest, ResizedFromTheServerTheSurfaceFollowsAndIsPainted) {
  ShowFocused();
  ASSERT_TRUE(Run(std::string("xdotool type --delay 0 ") + kLatinTyped));
  ASSERT_TRUE(RunUntil([&] { return DocumentStartsWith(kLatinTyped); }));
  // The cell of b, as wide as a's: from the caret before it to the caret
  // after it.
  const RECT after = CaretRect();
  RECT before{};
  ASSERT_TRUE(PressAndFollow("Left", &before));
  const int32_t row = before.top + (before.bottom - before.top) * 2 / 3;
  const int32_t half = (after.left - before.left) / 2;
  // The glyph of a, before the caret, which may cover b's.
  ASSERT_TRUE(ServerShows(before.left - half, row, kInkPixel));

  constexpr int32_t kWidth = 640;
  constexpr int32_t kHeight = 480;
  ASSERT_TRUE(Run("xdotool windowsize " + std::to_string(native_) + " " + std::to_string(kWidth) +
                  " " + std::to_string(kHeight)));
  ASSERT_TRUE(RunUntil([&] {
    RECT client{};
    platform::GetClientRect(surface_->view()->m_hWnd, &client);
    return client.Width() == kWidth && client.Height() == kHeight;
  }));
  // The page is placed anew for the wider client; the text goes with it.
  const RECT moved = CaretRect();
  EXPECT_EQ(moved.top, before.top);
  EXPECT_TRUE(ServerShows(moved.left - half, row, kInkPixel));
  // The part the window gained shows what was painted there.
  const platform::POINT gained{kWidth - 5, kHeight - 5};
  const unsigned long painted =
      platform::GetPixel(platform::GetWindowSurface(surface_->frame()), gained.x, gained.y);
  EXPECT_TRUE(ServerShows(gained.x, gained.y, painted));
}

TEST_F(EditSurfaceDisplayTest, ClosedFromTheServerTheFrameAndSurfaceGo) {
  ShowFocused();
  CloseFromTheServer();
  EXPECT_TRUE(RunUntil([&] { return !platform::IsWindow(surface_->frame()); }));
  EXPECT_EQ(surface_->view(), nullptr);
  EXPECT_TRUE(RunUntil([&] { return !ExistsOnServer(native_); }));
}

}  // namespace
}  // namespace views_display
