#include "model/draw_device.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <span>
#include <string_view>
#include <vector>

#include "model/font_use_list.h"
#include "platform/muldiv.h"
#include "platform/sjis.h"

using platform::COLORREF;
using platform::HDC;
using platform::POINT;
using platform::RECT;

namespace {

constexpr int32_t kTwipsPerInch = 1440;
constexpr int32_t kTenthPointsPerInch = 720;
constexpr int kShadePatternCount = 6;
constexpr COLORREF kBlack = platform::RGB(0, 0, 0);
constexpr COLORREF kWhite = platform::RGB(255, 255, 255);

// Screen shading: 0 bits take the colour, 1 bits keep what is below.
constexpr std::array<platform::MonoPattern, kShadePatternCount> kShadePatterns{{
    {0x77, 0xbb, 0xdd, 0xee, 0x77, 0xbb, 0xdd, 0xee},
    {0xee, 0xdd, 0xbb, 0x77, 0xee, 0xdd, 0xbb, 0x77},
    {0x77, 0x77, 0x00, 0x77, 0x77, 0x77, 0x00, 0x77},
    {0xdd, 0xaa, 0x77, 0xaa, 0xdd, 0xaa, 0x77, 0xaa},
    {0x00, 0xff, 0xff, 0xff, 0x00, 0xff, 0xff, 0xff},
    {0xee, 0xee, 0xee, 0xee, 0xee, 0xee, 0xee, 0xee},
}};

// Printer shading uses hatch brushes in the same order.
constexpr std::array<int, kShadePatternCount> kShadeHatches{
    platform::HS_BDIAGONAL, platform::HS_FDIAGONAL,  platform::HS_CROSS,
    platform::HS_DIAGCROSS, platform::HS_HORIZONTAL, platform::HS_VERTICAL};

// Pen widths in twips that are not the caller's.
constexpr int32_t kWavyPenWidth = 30;
// The widest line drawn, in tenths of a point (an inch): a damaged stored
// line style may ask for any width, and twice it must stay in range.
constexpr int32_t kMaxLineWidth = 720;

// A line width in tenths of a point as a pen width in twips.
int32_t PenTwips(int32_t width) { return 2 * std::clamp(width, 0, kMaxLineWidth); }
constexpr int32_t kWavyStrokeTwips = 20;
constexpr int32_t kMinimumWaveAmplitude = 4;

// Drawn and skipped lengths, in pixels, of the broken line kinds.
constexpr uint32_t kDashes[] = {8, 4};
constexpr uint32_t kDashDots[] = {8, 2, 2, 2};
constexpr uint32_t kDashDotDots[] = {6, 2, 2, 2, 2, 2};
constexpr uint32_t kDots[] = {2, 2};

constexpr uint8_t kFullWidthSpaceLead = 0x81;
constexpr uint8_t kFullWidthSpaceTrail = 0x40;
constexpr int32_t kSpaceBoxInset = 2;

std::span<const uint32_t> DashesOf(int32_t kind) {
  switch (kind) {
    case kLineSingle:
    case kLineDouble:
    case kLineWavy:
      return {};
    case kLineDashed:
      return kDashes;
    case kLineDashDot:
      return kDashDots;
    case kLineDashDotDot:
      return kDashDotDots;
    default:
      return kDots;
  }
}

platform::UniquePen MakePen(int32_t kind, int32_t width, COLORREF colour) {
  const auto dashes = DashesOf(kind);
  const uint32_t style = platform::PS_GEOMETRIC | platform::PS_ENDCAP_FLAT |
                         platform::PS_JOIN_MITER |
                         (dashes.empty() ? platform::PS_SOLID : platform::PS_USERSTYLE);
  return platform::ExtCreatePen(style, static_cast<uint32_t>(width),
                                platform::LOGBRUSH{0, colour, 0},
                                static_cast<uint32_t>(dashes.size()), dashes.data());
}

// Strokes a polyline with the pen. The DC keeps a copy of what is
// selected, so the pen may go when the stroke is done.
void StrokePolyline(HDC dc, std::span<const POINT> points, const platform::UniquePen& pen) {
  platform::SelectObject(dc, pen.get());
  platform::BeginPath(dc);
  platform::MoveToEx(dc, points.front().x, points.front().y, nullptr);
  for (const POINT& point : points.subspan(1)) platform::LineTo(dc, point.x, point.y);
  platform::EndPath(dc);
  platform::StrokePath(dc);
}

int32_t Sign(int32_t value) { return value < 0 ? -1 : 1; }

// A wave of Bézier arcs along a horizontal or vertical line, each arc as
// long as the amplitude, bulging alternately below (right) and above (left).
void StrokeWave(HDC dc, POINT from, POINT to, int32_t amplitude, int32_t strokeWidth,
                COLORREF colour) {
  const bool horizontal = from.y == to.y;
  const int32_t length = horizontal ? to.x - from.x : to.y - from.y;
  const int32_t direction = Sign(length);
  const int32_t half = amplitude / 2;
  const auto at = [&](int32_t along, int32_t across) {
    return horizontal ? POINT{from.x + along, from.y + across}
                      : POINT{from.x + across, from.y + along};
  };
  std::vector<POINT> curves;
  int32_t side = 1;
  for (int32_t along = 0; along * direction < length * direction; along += amplitude * direction) {
    curves.push_back(at(along + direction * amplitude / 3, side * half));
    curves.push_back(at(along + direction * amplitude * 2 / 3, side * half));
    curves.push_back(at(along + direction * amplitude, 0));
    side = -side;
  }
  if (curves.empty()) return;
  const platform::UniquePen pen = MakePen(kLineSingle, strokeWidth, colour);
  platform::SelectObject(dc, pen.get());
  platform::BeginPath(dc);
  platform::MoveToEx(dc, from.x, from.y, nullptr);
  platform::PolyBezierTo(dc, curves.data(), static_cast<uint32_t>(curves.size()));
  platform::EndPath(dc);
  platform::StrokePath(dc);
}

// A line in device units: its end reaches one pixel further; the double
// kind repeats it two pen widths below (right of) it.
void StrokeDeviceLine(HDC dc, POINT from, POINT to, int32_t kind, int32_t penWidth,
                      int32_t waveStroke, COLORREF colour) {
  const bool horizontal = from.y == to.y;
  if (horizontal) {
    to.x += Sign(to.x - from.x);
  } else {
    to.y += Sign(to.y - from.y);
  }
  if (kind == kLineWavy) {
    StrokeWave(dc, from, to, std::max(penWidth, kMinimumWaveAmplitude), waveStroke, colour);
    return;
  }
  const platform::UniquePen pen = MakePen(kind, penWidth, colour);
  const std::array<POINT, 2> line{from, to};
  StrokePolyline(dc, line, pen);
  if (kind != kLineDouble) return;
  const int32_t gap = 2 * penWidth;
  const POINT shift = horizontal ? POINT{0, gap} : POINT{gap, 0};
  const std::array<POINT, 2> second{POINT{from.x + shift.x, from.y + shift.y},
                                    POINT{to.x + shift.x, to.y + shift.y}};
  StrokePolyline(dc, second, pen);
}

// A rectangle as one closed path from the middle of its left side.
std::array<POINT, 6> FramePath(const RECT& r) {
  const int32_t middle = (r.top + r.bottom) / 2;
  return {POINT{r.left, middle},    POINT{r.left, r.top},    POINT{r.right, r.top},
          POINT{r.right, r.bottom}, POINT{r.left, r.bottom}, POINT{r.left, middle}};
}

void FillDeviceRect(HDC dc, const RECT& rect, COLORREF colour) {
  const platform::UniqueBrush brush = platform::CreateSolidBrush(colour);
  platform::FillRect(dc, rect, brush.get());
}

}  // namespace

CDrawDevice::CDrawDevice() = default;
CDrawDevice::~CDrawDevice() = default;

// twips * zoom * resolution / 1440, multiplied out in 64 bits so that a
// long distance at a high zoom cannot overflow before the division.
int32_t CDrawDevice::LengthX(int32_t twips) const {
  return platform::MulDiv(twips, zoom_ * resolutionX_, kTwipsPerInch);
}

int32_t CDrawDevice::LengthY(int32_t twips) const {
  return platform::MulDiv(twips, zoom_ * resolutionY_, kTwipsPerInch);
}

int32_t CDrawDevice::ToDeviceX(int32_t twips) const { return LengthX(twips) - offsetX_; }
int32_t CDrawDevice::ToDeviceY(int32_t twips) const { return LengthY(twips) - offsetY_; }

void CDrawDevice::SetSymbolFont(const FontRecord& font, int32_t marks) {
  if (!(font == symbol_)) {
    symbolFont_.reset();
    symbol_ = font;
  }
  marks_ = marks;
}

void CDrawDevice::BeginDraw(HDC dc, int32_t printer, CFontUseList* fonts) {
  dc_ = dc;
  printer_ = printer;
  fonts_ = fonts;
  resolutionX_ = platform::GetDeviceCaps(dc, platform::LOGPIXELSX);
  resolutionY_ = platform::GetDeviceCaps(dc, platform::LOGPIXELSY);
  if (printer == kDrawingPrinter) {
    zoom_ = 1;
    offsetX_ = platform::GetDeviceCaps(dc, platform::PHYSICALOFFSETX);
    offsetY_ = platform::GetDeviceCaps(dc, platform::PHYSICALOFFSETY);
  } else {
    zoom_ = fonts != nullptr ? fonts->Table().GetZoom() : 1;
    offsetX_ = 0;
    offsetY_ = 0;
  }
}

void CDrawDevice::EndDraw() {
  dc_ = nullptr;
  printer_ = kNotDrawing;
  offsetX_ = 0;
  offsetY_ = 0;
}

void CDrawDevice::ShadeRect(int32_t x, int32_t y, int32_t width, int32_t height, int32_t pattern,
                            COLORREF colour) {
  if (dc_ == nullptr) return;
  const RECT rect{ToDeviceX(x), ToDeviceY(y), ToDeviceX(x + width), ToDeviceY(y + height)};
  if (pattern == kShadeSolid) {
    FillDeviceRect(dc_, rect, colour);
    return;
  }
  if (pattern < 1 || pattern > kShadePatternCount) return;
  if (printer_ == kDrawingPrinter) {
    const platform::UniqueBrush hatch =
        platform::CreateHatchBrush(kShadeHatches[pattern - 1], colour);
    const int previousMode = platform::SetBkMode(dc_, platform::TRANSPARENT);
    platform::SelectObject(dc_, hatch.get());
    platform::PatBlt(dc_, rect.left, rect.top, rect.Width(), rect.Height(), platform::PATCOPY);
    platform::SetBkMode(dc_, previousMode);
    return;
  }
  // Black where the pattern is 0, then the colour ORed in there.
  const platform::UniqueBrush brush = platform::CreatePatternBrush(kShadePatterns[pattern - 1]);
  platform::SelectObject(dc_, brush.get());
  platform::SetBrushOrgEx(dc_, rect.left % 8, rect.top % 8, nullptr);
  const COLORREF text = platform::SetTextColor(dc_, kBlack);
  const COLORREF back = platform::SetBkColor(dc_, kWhite);
  platform::PatBlt(dc_, rect.left, rect.top, rect.Width(), rect.Height(), platform::PATAND);
  platform::SetTextColor(dc_, colour);
  platform::SetBkColor(dc_, kBlack);
  platform::PatBlt(dc_, rect.left, rect.top, rect.Width(), rect.Height(), platform::PATOR);
  platform::SetTextColor(dc_, text);
  platform::SetBkColor(dc_, back);
}

void CDrawDevice::DrawRun(const TextRun& run, const int32_t* advances, RECT clip, POINT origin) {
  platform::ExtTextOutA(dc_, origin.x, origin.y, platform::ETO_CLIPPED, &clip, run.text, run.count,
                        advances);
}

void CDrawDevice::DrawTextRun(const TextRun& run) {
  if (dc_ == nullptr || fonts_ == nullptr || run.text == nullptr || run.count <= 0) return;
  const POINT origin{ToDeviceX(run.x), ToDeviceY(run.y)};
  RECT clip{ToDeviceX(run.clip.left), ToDeviceY(run.clip.top), ToDeviceX(run.clip.right),
            ToDeviceY(run.clip.bottom)};
  // Each advance is the difference of two converted positions, so the
  // rounding never accumulates along the run.
  std::vector<int32_t> advances;
  if (run.widths != nullptr) {
    advances.resize(run.count);
    int32_t sum = 0;
    int32_t previous = origin.x;
    for (int32_t i = 0; i < run.count; ++i) {
      sum += run.widths[i];
      const int32_t position = ToDeviceX(run.x + sum);
      advances[i] = position - previous;
      previous = position;
    }
  }
  const int32_t* dx = advances.empty() ? nullptr : advances.data();

  FontInfo info;
  const platform::HFONT font = printer_ == kDrawingPrinter
                                   ? fonts_->GetDeviceFontInfo(run.fontId, &info)
                                   : fonts_->GetFontInfo(run.fontId, &info);
  if (font == nullptr) return;
  platform::SelectObject(dc_, font);
  platform::TEXTMETRICA tm;
  platform::GetTextMetricsA(dc_, &tm);
  if ((info.bold != 0 || info.italic != 0) && tm.tmMaxCharWidth > tm.tmHeight) {
    clip.right += tm.tmMaxCharWidth - tm.tmHeight;
  }
  platform::SetTextAlign(dc_, platform::TA_BASELINE);
  platform::SetBkMode(dc_, platform::TRANSPARENT);
  platform::SetTextColor(dc_, run.colour);

  switch (run.effect) {
    case kEffectShadow: {
      const int32_t offset = info.lineHeight / 16;
      int32_t down = LengthY(offset) + 1;
      if (printer_ == kDrawingPrinter && fonts_->GetVertical() != 0) down = -down;
      DrawRun(run, dx, clip, POINT{origin.x + LengthX(offset) + 1, origin.y + down});
      return;
    }
    case kEffectOutline: {
      const RECT wide{clip.left - 1, clip.top - 1, clip.right + 1, clip.bottom + 1};
      for (int32_t dy = -1; dy <= 1; ++dy) {
        for (int32_t dxPixel = -1; dxPixel <= 1; ++dxPixel) {
          if (dy == 0 && dxPixel == 0) continue;
          DrawRun(run, dx, wide, POINT{origin.x + dxPixel, origin.y + dy});
        }
      }
      platform::SetTextColor(dc_, run.secondColour);
      DrawRun(run, dx, wide, origin);
      break;
    }
    case kEffectPlain:
      DrawRun(run, dx, clip, origin);
      break;
    default:
      return;
  }
  if (printer_ == kDrawingScreen && marks_ != 0 && dx != nullptr) {
    DrawSpaceBoxes(run, dx, origin, tm.tmAscent);
  }
}

void CDrawDevice::DrawSpaceBoxes(const TextRun& run, const int32_t* advances, POINT origin,
                                 int32_t ascent) {
  const std::string_view text(run.text, static_cast<size_t>(run.count));
  int32_t position = origin.x;
  for (size_t i = 0; i < text.size();) {
    const size_t length = platform::CharLengthAt(text, i);
    int32_t advance = 0;
    for (size_t k = 0; k < length; ++k) advance += advances[i + k];
    if (length == 2 && static_cast<uint8_t>(text[i]) == kFullWidthSpaceLead &&
        static_cast<uint8_t>(text[i + 1]) == kFullWidthSpaceTrail) {
      const RECT box{position + kSpaceBoxInset, origin.y - ascent + 1,
                     position + advance - kSpaceBoxInset, origin.y};
      FillDeviceRect(dc_, RECT{box.left, box.top, box.right + 1, box.top + 1}, run.boxColour);
      FillDeviceRect(dc_, RECT{box.left, box.bottom, box.right + 1, box.bottom + 1}, run.boxColour);
      FillDeviceRect(dc_, RECT{box.left, box.top, box.left + 1, box.bottom + 1}, run.boxColour);
      FillDeviceRect(dc_, RECT{box.right, box.top, box.right + 1, box.bottom + 1}, run.boxColour);
    }
    position += advance;
    i += length;
  }
}

int32_t CDrawDevice::PenWidth(int32_t twips, bool horizontal) const {
  return std::max(1, horizontal ? LengthY(twips) : LengthX(twips));
}

void CDrawDevice::DrawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t kind,
                           int32_t width, COLORREF colour) {
  if (dc_ == nullptr) return;
  const bool horizontal = y1 == y2;
  const int32_t pen = PenWidth(PenTwips(kind == kLineWavy ? kWavyPenWidth : width), horizontal);
  StrokeDeviceLine(dc_, POINT{ToDeviceX(x1), ToDeviceY(y1)}, POINT{ToDeviceX(x2), ToDeviceY(y2)},
                   kind, pen, PenWidth(kWavyStrokeTwips, horizontal), colour);
}

void CDrawDevice::DrawFrame(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t kind,
                            int32_t width, COLORREF colour) {
  if (dc_ == nullptr) return;
  if (kind != kLineSingle && kind != kLineDouble) {
    DrawLine(left, top, right, top, kind, width, colour);
    DrawLine(right, top, right, bottom, kind, width, colour);
    DrawLine(left, bottom, right, bottom, kind, width, colour);
    DrawLine(left, top, left, bottom, kind, width, colour);
    return;
  }
  const int32_t penWidth = PenWidth(PenTwips(width), true);
  const platform::UniquePen pen = MakePen(kind, penWidth, colour);
  const RECT outer{ToDeviceX(left), ToDeviceY(top), ToDeviceX(right), ToDeviceY(bottom)};
  StrokePolyline(dc_, FramePath(outer), pen);
  if (kind == kLineDouble) {
    const int32_t inset = 2 * penWidth;
    const RECT inner{outer.left + inset, outer.top + inset, outer.right - inset,
                     outer.bottom - inset};
    StrokePolyline(dc_, FramePath(inner), pen);
  }
}

void CDrawDevice::DrawChar(int32_t x, int32_t y, uint8_t code, COLORREF colour) {
  if (dc_ == nullptr || printer_ != kDrawingScreen || symbol_.face[0] == '\0' ||
      fonts_ == nullptr) {
    return;
  }
  // The symbol font is made for one zoom and resolution.
  const int32_t madeFor = zoom_ * resolutionY_;
  if (symbolFont_ != nullptr && symbolMadeFor_ != madeFor) symbolFont_.reset();
  if (symbolFont_ == nullptr) {
    symbolMadeFor_ = madeFor;
    CharFormat format;
    std::memcpy(format.face, symbol_.face, kFaceNameSize);
    format.size = symbol_.size;
    format.heightScale = symbol_.heightScale;
    format.widthScale = symbol_.widthScale;
    format.bold = symbol_.bold;
    format.italic = symbol_.italic;
    symbolFont_ = fonts_->Table().CreateFontFromFormat(dc_, format, true);
    if (symbolFont_ == nullptr) return;
  }
  platform::SelectObject(dc_, symbolFont_.get());
  platform::SetTextAlign(dc_, platform::TA_BASELINE);
  platform::SetBkMode(dc_, platform::TRANSPARENT);
  platform::SetTextColor(dc_, colour);
  const char byte = static_cast<char>(code);
  platform::ExtTextOutA(dc_, ToDeviceX(x), ToDeviceY(y), 0, nullptr, &byte, 1, nullptr);
}

void CDrawDevice::FillMark(int32_t x, int32_t y, int32_t direction, COLORREF colour) {
  if (dc_ == nullptr || printer_ != kDrawingScreen || marks_ == 0) return;
  const int32_t height = platform::MulDiv(
      symbol_.size, platform::GetDeviceCaps(dc_, platform::LOGPIXELSY), kTenthPointsPerInch);
  if (height <= 5) return;
  const int32_t half = zoom_ * (height / 2 - 2);
  const POINT tip{ToDeviceX(x) + zoom_, ToDeviceY(y)};
  const int32_t base = direction != 0 ? tip.x + half : tip.x - half;
  const std::array<POINT, 3> triangle{tip, POINT{base, tip.y - half}, POINT{base, tip.y + half}};
  const platform::UniqueBrush brush = platform::CreateSolidBrush(colour);
  const platform::UniquePen pen = platform::CreatePen(platform::PS_SOLID, 1, colour);
  platform::SelectObject(dc_, brush.get());
  platform::SelectObject(dc_, pen.get());
  platform::Polygon(dc_, triangle.data(), static_cast<int32_t>(triangle.size()));
}

void CDrawDevice::InvertRegions(const RECT* rects, int32_t count) {
  if (dc_ == nullptr || rects == nullptr || count <= 0) return;
  const platform::UniqueRegion region = platform::CreateRectRgn(0, 0, 0, 0);
  for (int32_t i = 0; i < count; ++i) {
    const platform::UniqueRegion part =
        platform::CreateRectRgn(LengthX(rects[i].left), LengthY(rects[i].top),
                                LengthX(rects[i].right), LengthY(rects[i].bottom));
    platform::CombineRgn(region.get(), region.get(), part.get(), platform::RGN_OR);
  }
  platform::InvertRgn(dc_, region.get());
}

void CDrawDevice::DrawLineSegment(HDC dc, int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                                  int32_t kind, int32_t width, COLORREF colour) {
  if (dc == nullptr) return;
  const int32_t pen = std::max(1, kind == kLineWavy ? 1 : width);
  StrokeDeviceLine(dc, POINT{x1, y1}, POINT{x2, y2}, kind, pen, pen, colour);
}
