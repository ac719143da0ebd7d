// Which pages show where: building the records for an origin, the start
// origin, the conversions and the hit test of a window row.
#include "views/display_lines.h"

#include <algorithm>

#include "engine/wp_commands.h"
#include "engine/wp_ctrl.h"
#include "platform/muldiv.h"

namespace {

using platform::MulDiv;

constexpr int32_t kTwipsPerInch = 1440;
// Records are kept in blocks of this many, so that scrolling, which
// rebuilds the list on every step, allocates rarely.
constexpr size_t kLineBlock = 10;
// A record's stored form: the rectangle, page, origin and height.
constexpr uint64_t kStoredLineBytes = 32;

constexpr char kMsImeReconvertName[] = "MSIMEReconvert";
constexpr char kAtokReconvertName[] = "Atok Message for ReconvertString";

}  // namespace

CDisplayLineList::CDisplayLineList(const SurfaceGeometry* surface)
    : surface_(surface),
      msImeReconvert_(platform::RegisterWindowMessage(kMsImeReconvertName)),
      atokReconvert_(platform::RegisterWindowMessage(kAtokReconvertName)),
      imeControl_(kImeControlModule) {
  lines_.reserve(kLineBlock);
  if (imeControl_.IsLoaded()) {
    imeReconvert_ = imeControl_.Bind<ZNIMEReconvertFn>("ZNIMEReconvert");
    canImeReconvert_ = imeControl_.Bind<ZNCanIMEReconvertFn>("ZNCanIMEReconvert");
  }
}

CDisplayLineList::~CDisplayLineList() = default;

std::pair<int32_t, int32_t> CDisplayLineList::GetDpiPair(platform::HDC dc) const {
  return {platform::GetDeviceCaps(dc, platform::LOGPIXELSX),
          platform::GetDeviceCaps(dc, platform::LOGPIXELSY)};
}

platform::RECT CDisplayLineList::CaretPixels(platform::HDC dc, const platform::RECT& twips) const {
  const auto [dpiX, dpiY] = GetDpiPair(dc);
  const int32_t zoom = surface_->zoom;
  return {MulDiv(zoom * twips.left, dpiX, kTwipsPerInch),
          MulDiv(zoom * twips.top, dpiY, kTwipsPerInch),
          MulDiv(zoom * twips.right, dpiX, kTwipsPerInch),
          MulDiv(zoom * twips.bottom, dpiY, kTwipsPerInch)};
}

int32_t CDisplayLineList::PageCount() const { return PageHeightSums::PageCount(surface_->engine); }

int32_t CDisplayLineList::UsedHeight(platform::HDC dc, int32_t page) const {
  return PageHeightSums::UsedHeight(surface_->engine, page, surface_->zoom, GetDpiPair(dc).second);
}

int32_t CDisplayLineList::LinePitchPixels(platform::HDC dc, int32_t zoom) const {
  return MulDiv(zoom * surface_->page.linePitch, GetDpiPair(dc).second, kTwipsPerInch);
}

const DisplayLine* CDisplayLineList::FindLine(int32_t page) const {
  for (const DisplayLine& line : lines_) {
    if (line.page == page) return &line;
  }
  return nullptr;
}

platform::POINT CDisplayLineList::WindowPoint(const DisplayLine& line, int32_t x, int32_t y) const {
  return {x - line.xOrigin, y - line.yOrigin};
}

DisplayLine& CDisplayLineList::NextLine(size_t index) {
  if (index == lines_.size()) {
    if (lines_.size() == lines_.capacity()) lines_.reserve(lines_.capacity() + kLineBlock);
    lines_.emplace_back();
  }
  return lines_[index];
}

void CDisplayLineList::Rebuild(platform::HDC dc, int32_t xOrigin, int32_t yOrigin, int32_t page) {
  const int32_t count = PageCount();
  if (count < 1 || surface_->zoom < 1) {
    lines_.clear();
    return;
  }
  page = std::clamp(page, 1, count);
  if (surface_->pageView != 0) {
    RebuildPages(xOrigin, yOrigin, page, count);
  } else {
    RebuildContinuous(dc, xOrigin, yOrigin, page, count);
  }
}

void CDisplayLineList::RebuildPages(int32_t xOrigin, int32_t yOrigin, int32_t page, int32_t count) {
  const SurfacePageMetrics& metrics = surface_->page;
  const platform::RECT paper{0, 0, metrics.paperWidth, metrics.paperHeight};
  const int32_t slot = metrics.paperHeight + metrics.gapY;
  size_t used = 0;
  for (int32_t y = yOrigin; page <= count; ++page, y -= slot) {
    const platform::RECT view{xOrigin, y, xOrigin + surface_->clientWidth,
                              y + surface_->clientHeight};
    const platform::RECT visible = platform::IntersectionOf(view, paper);
    // The first page always has its record, even when only its gap shows.
    if (used > 0 && visible.IsEmpty()) break;
    NextLine(used++) = {visible, page, xOrigin, y, slot};
    if (view.bottom <= metrics.paperHeight) break;
  }
  lines_.resize(used);
}

void CDisplayLineList::RebuildContinuous(platform::HDC dc, int32_t xOrigin, int32_t yOrigin,
                                         int32_t page, int32_t count) {
  const SurfacePageMetrics& metrics = surface_->page;
  const int32_t top = metrics.offsetY;
  xOrigin = std::max(xOrigin, metrics.offsetX);
  yOrigin = std::max(yOrigin, top);
  int32_t height = UsedHeight(dc, page);
  if (yOrigin >= top + height) {
    yOrigin = std::max(top, top + height - LinePitchPixels(dc, surface_->zoom));
  }
  size_t used = 0;
  for (int32_t y = yOrigin;;) {
    const platform::RECT view{xOrigin, y, xOrigin + surface_->clientWidth,
                              y + surface_->clientHeight};
    const platform::RECT content{0, top, metrics.paperWidth, top + height};
    NextLine(used++) = {platform::IntersectionOf(view, content), page, xOrigin, y, height};
    if (view.bottom <= content.bottom || page == count) break;
    y -= height;
    height = UsedHeight(dc, ++page);
  }
  lines_.resize(used);
}

void CDisplayLineList::ResetOrigin(platform::HDC dc) {
  lines_.clear();
  caretRect_ = {};
  caretPage_ = 0;
  previousPageCount_ = 0;
  // Attached to another engine, loaded or re-scaled: nothing read before
  // holds.
  heightSums_.Invalidate();
  if (caretShown_ != 0) {
    HideCaret();
    DestroyCaret();
  }
  const SurfacePageMetrics& metrics = surface_->page;
  const int32_t width = surface_->clientWidth;
  int32_t xOrigin = 0;
  int32_t yOrigin = 0;
  if (surface_->zoom == 1) {
    xOrigin = metrics.paperWidth < width
                  ? std::min(-(width - metrics.paperWidth) / 2, -metrics.gapX)
                  : -metrics.gapX;
    yOrigin = metrics.gapY < surface_->clientHeight ? -metrics.gapY : 0;
  }
  Rebuild(dc, xOrigin, yOrigin, 1);
}

int32_t CDisplayLineList::ContentBottom(const DisplayLine& line) const {
  return surface_->pageView != 0 ? surface_->page.paperHeight
                                 : surface_->page.offsetY + line.height;
}

int CDisplayLineList::HitTestY(int32_t x, int32_t y, CaretPoint* out) const {
  if (lines_.empty()) return 0;
  const int32_t pageX = x + lines_.front().xOrigin;
  for (const DisplayLine& line : lines_) {
    const int32_t pageY = y + line.yOrigin;
    // A row in the gap above a page (page y below 0) belongs to that page.
    if (pageY < ContentBottom(line)) {
      if (out != nullptr) *out = {{pageX, pageY, pageX, pageY}, line.page};
      return 1;
    }
  }
  const DisplayLine& last = lines_.back();
  const int32_t pageY = y + last.yOrigin;
  if (out != nullptr) *out = {{pageX, pageY, pageX, pageY}, last.page};
  return 0;
}

bool CDisplayLineList::Serialize(platform::CArchive& archive) {
  try {
    if (archive.IsStoring()) {
      archive.WriteCount(static_cast<uint32_t>(lines_.size()));
      for (const DisplayLine& line : lines_) {
        archive << line.visible.left << line.visible.top << line.visible.right
                << line.visible.bottom << line.page << line.xOrigin << line.yOrigin << line.height;
      }
      return true;
    }
    const uint32_t count = archive.ReadCount();
    // A damaged count must not make the list reserve what is not there.
    if (archive.RemainingBytes() < count * kStoredLineBytes) return false;
    std::vector<DisplayLine> loaded(count);
    for (DisplayLine& line : loaded) {
      archive >> line.visible.left >> line.visible.top >> line.visible.right >>
          line.visible.bottom >> line.page >> line.xOrigin >> line.yOrigin >> line.height;
    }
    lines_.clear();
    lines_.reserve((count + kLineBlock - 1) / kLineBlock * kLineBlock);
    lines_.insert(lines_.end(), loaded.begin(), loaded.end());
    return true;
  } catch (const platform::CArchiveException&) {
    return false;
  }
}
