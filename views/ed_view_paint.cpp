// The editing surface's painting: the visible pages are drawn into one
// off-screen bitmap (page bitmaps or the paper, the engine's page paint,
// the inverted selection) and copied to the window within the clip.
#include <algorithm>

#include "engine/wp_commands.h"
#include "engine/wp_ctrl.h"
#include "model/draw_device.h"
#include "platform/muldiv.h"
#include "views/ed_view.h"

namespace {

using platform::MulDiv;

constexpr int32_t kTwipsPerInch = 1440;
// The page-boundary line of the continuous view.
constexpr int32_t kBoundaryLineKind = 48;
constexpr int32_t kBoundaryLineWidth = 1;
// Dirty rectangles are widened by this much around them.
constexpr int32_t kDirtyMargin = 2;

// Sets the painting flag for one paint.
class PaintingFlag {
 public:
  explicit PaintingFlag(int& flag) : flag_(flag) { flag_ = 1; }
  ~PaintingFlag() { flag_ = 0; }
  PaintingFlag(const PaintingFlag&) = delete;
  PaintingFlag& operator=(const PaintingFlag&) = delete;

 private:
  int& flag_;
};

void Fill(platform::HDC dc, const platform::RECT& rect, platform::COLORREF colour) {
  platform::UniqueBrush brush = platform::CreateSolidBrush(colour);
  platform::FillRect(dc, rect, brush.get());
}

}  // namespace

int32_t CVedEdView::PixelsToTwips(int32_t pixels, int32_t dpi) const {
  // The zoom first, as the page painting rounds it.
  return MulDiv(pixels / std::max<int32_t>(geometry_.zoom, 1), kTwipsPerInch, dpi);
}

void CVedEdView::OnDraw(framework::CDC* dc) {
  if (geometry_.engine == nullptr || dc == nullptr) return;
  lines_.HideCaret();
  PaintOffscreen(dc->GetSafeHdc(), true);
  if (lines_.GetCaretVisibility() != 0) lines_.ShowCaret();
}

void CVedEdView::PaintOffscreen(platform::HDC target, bool useSavedRect) {
  if (geometry_.engine == nullptr || target == nullptr) return;
  const platform::RECT saved = pendingUpdate_;
  pendingUpdate_ = {};
  if (relayoutPending_ != 0) {
    relayoutPending_ = 0;
    RelayOut();
  }
  PaintingFlag painting(painting_);
  const platform::RECT client = ClientRect();
  if (client.IsEmpty()) return;
  // What is copied: the target's own clip when it has one, else the
  // saved update rectangle when asked, else the whole client area.
  platform::RECT area = client;
  platform::RECT clipBox{};
  const int clip = platform::GetClipBox(target, &clipBox);
  if (clip != platform::ERROR && clip != platform::NULLREGION && !(clipBox == client)) {
    area = platform::IntersectionOf(clipBox, client);
  } else if (useSavedRect && !saved.IsEmpty()) {
    area = platform::IntersectionOf(saved, client);
  }
  if (area.IsEmpty()) return;
  // The bitmap covers only what is copied; its window origin keeps the
  // drawing in client (and, per page, page) coordinates.
  platform::UniqueDC memory = platform::CreateCompatibleDC(target);
  platform::UniqueBitmap bitmap =
      platform::CreateCompatibleBitmap(target, area.Width(), area.Height());
  if (!memory || !bitmap) return;
  platform::SelectObject(memory.get(), bitmap.get());
  platform::SetWindowOrgEx(memory.get(), area.left, area.top, nullptr);

  const std::vector<DisplayLine>& lines = lines_.Lines();
  if (geometry_.pageView != 0 && pageBitmapDC_) {
    Fill(memory.get(), area, display_.deskColour);
    for (const DisplayLine& line : lines) {
      // Only the part that is painted is copied.
      const platform::RECT at = pageBitmapRect_.Offset(-line.xOrigin, -line.yOrigin);
      const platform::RECT part = platform::IntersectionOf(at, area);
      if (part.IsEmpty()) continue;
      platform::BitBlt(memory.get(), part.left, part.top, part.Width(), part.Height(),
                       pageBitmapDC_.get(), part.left - at.left, part.top - at.top,
                       platform::SRCCOPY);
    }
  } else {
    Fill(memory.get(), area, display_.paperColour);
  }

  const auto [dpiX, dpiY] = lines_.GetDpiPair(target);
  const bool hasSelection = !selection_.IsEmpty();
  for (const DisplayLine& line : lines) {
    // The page pixels that show and need painting.
    const platform::RECT wanted =
        platform::IntersectionOf(line.visible, area.Offset(line.xOrigin, line.yOrigin));
    platform::SetWindowOrgEx(memory.get(), line.xOrigin + area.left, line.yOrigin + area.top,
                             nullptr);
    if (!wanted.IsEmpty()) {
      CaretPoint request{{PixelsToTwips(wanted.left, dpiX), PixelsToTwips(wanted.top, dpiY),
                          PixelsToTwips(wanted.right, dpiX), PixelsToTwips(wanted.bottom, dpiY)},
                         line.page};
      if (request.rect.right <= request.rect.left) request.rect.right = request.rect.left + 1;
      if (request.rect.bottom <= request.rect.top) request.rect.bottom = request.rect.top + 1;
      geometry_.engine->DisplayCommand(WPC_PAINT_PAGE, reinterpret_cast<intptr_t>(memory.get()),
                                       &request);
      if (hasSelection) {
        if (const platform::Region* region = selection_.Find(line.page)) {
          platform::InvertRgn(memory.get(), const_cast<platform::Region*>(region));
        }
      }
    }
    if (geometry_.pageView == 0) {
      const int32_t y = geometry_.page.textArea.top - 1;
      CDrawDevice::DrawLineSegment(memory.get(), line.xOrigin, y,
                                   line.xOrigin + geometry_.clientWidth, y, kBoundaryLineKind,
                                   kBoundaryLineWidth, display_.markColour);
    }
  }
  geometry_.engine->DisplayCommand(WPC_RESET_REPAINT_STATE, 0, nullptr);
  platform::SetWindowOrgEx(memory.get(), area.left, area.top, nullptr);
  platform::BitBlt(target, area.left, area.top, area.Width(), area.Height(), memory.get(),
                   area.left, area.top, platform::SRCCOPY);
}

void CVedEdView::AddDirtyRects(platform::Region& into) const {
  if (geometry_.engine == nullptr) return;
  const auto [dpiX, dpiY] = lines_.GetDpiPair(SurfaceDC());
  const int32_t zoom = geometry_.zoom;
  for (const DisplayLine& line : lines_.Lines()) {
    const platform::RECT* rects = nullptr;
    const int count = geometry_.engine->DisplayCommand(WPC_GET_REPAINT_STATE, line.page, &rects);
    if (count <= 0 || rects == nullptr) continue;
    for (int i = 0; i < count; ++i) {
      const platform::RECT& twips = rects[i];
      platform::RECT pixels{MulDiv(zoom * twips.left, dpiX, kTwipsPerInch) - line.xOrigin,
                            MulDiv(zoom * twips.top, dpiY, kTwipsPerInch) - line.yOrigin,
                            MulDiv(zoom * twips.right, dpiX, kTwipsPerInch) - line.xOrigin,
                            MulDiv(zoom * twips.bottom, dpiY, kTwipsPerInch) - line.yOrigin};
      pixels.top -= kDirtyMargin;
      pixels.bottom += kDirtyMargin;
      if (geometry_.pageView != 0) {
        pixels.left -= kDirtyMargin;
        pixels.right += kDirtyMargin;
      } else {
        pixels.left = 0;
        pixels.right = geometry_.clientWidth;
      }
      into.Combine(platform::Region(pixels), platform::Region::Operation::kOr);
    }
  }
}

void CVedEdView::RepaintRegion(const platform::Region& region) {
  if (geometry_.engine == nullptr || m_hWnd == platform::kNoWindow) return;
  const platform::HDC dc = SurfaceDC();
  platform::Region clip = region;
  AddDirtyRects(clip);
  if (clip.IsEmpty()) return;
  const int saved = platform::SaveDC(dc);
  platform::SelectClipRgn(dc, &clip);
  PaintOffscreen(dc, false);
  platform::RestoreDC(dc, saved);
  // Painted outside a paint, it reaches the screen when the DC is
  // released; the class's own DC stays the window's.
  platform::ReleaseDC(m_hWnd, dc);
}
