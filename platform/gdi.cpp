#include "platform/gdi.h"

#include <cairo-pdf.h>
#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>
#include <optional>
#include <utility>
#include <vector>

#include "platform/region.h"
#include "platform/sjis.h"

namespace platform {

class Font {
 public:
  LOGFONTA logFont;
  std::shared_ptr<const FontFace> face;
  uint8_t charSet = ANSI_CHARSET;
};

class Brush {
 public:
  enum class Kind { kSolid, kPattern, kHatch };
  Kind kind = Kind::kSolid;
  COLORREF colour = 0;
  MonoPattern pattern{};
  int hatch = 0;
};

class Pen {
 public:
  bool visible = true;
  double width = 1;
  COLORREF colour = 0;
  cairo_line_cap_t cap = CAIRO_LINE_CAP_ROUND;
  cairo_line_join_t join = CAIRO_LINE_JOIN_ROUND;
  std::vector<double> dashes;
};

namespace {

constexpr double kDefaultEmPixels = 16;
constexpr int kPatternSize = 8;
constexpr double kPointsPerInch = 72;

SIZE g_screenDpi{kDefaultScreenDpi, kDefaultScreenDpi};

struct PathStep {
  enum Kind { kMove, kLine, kCurve } kind;
  double x[3];
  double y[3];
};

double Red(COLORREF c) { return (c & 0xFF) / 255.0; }
double Green(COLORREF c) { return ((c >> 8) & 0xFF) / 255.0; }
double Blue(COLORREF c) { return ((c >> 16) & 0xFF) / 255.0; }

uint32_t ToPixel(COLORREF c) {
  return 0xFF000000u | ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}

COLORREF FromPixel(uint32_t pixel) {
  return RGB(static_cast<uint8_t>(pixel >> 16), static_cast<uint8_t>(pixel >> 8),
             static_cast<uint8_t>(pixel));
}

void SetSource(cairo_t* cr, COLORREF colour) {
  cairo_set_source_rgb(cr, Red(colour), Green(colour), Blue(colour));
}

bool HatchBit(int hatch, int x, int y) {
  switch (hatch) {
    case HS_HORIZONTAL:
      return y == kPatternSize - 1;
    case HS_VERTICAL:
      return x == kPatternSize - 1;
    case HS_FDIAGONAL:
      return x == y;
    case HS_BDIAGONAL:
      return x == kPatternSize - 1 - y;
    case HS_CROSS:
      return x == kPatternSize - 1 || y == kPatternSize - 1;
    case HS_DIAGCROSS:
      return x == y || x == kPatternSize - 1 - y;
    default:
      return false;
  }
}

// The pixel sizes a font is drawn and measured at.
struct FontScale {
  double em = 0;
  double scaleX = 1;
  double unit = 0;  // pixels per design unit, vertically
  const DesignMetrics* metrics = nullptr;

  int32_t Y(int32_t design) const { return static_cast<int32_t>(std::lround(design * unit)); }
  int32_t X(int32_t design) const {
    return static_cast<int32_t>(std::lround(design * unit * scaleX));
  }
};

FontScale ScaleOf(const Font& font) {
  FontScale scale;
  scale.metrics = &font.face->Metrics();
  const DesignMetrics& m = *scale.metrics;
  const int32_t height = font.logFont.lfHeight;
  if (height < 0) {
    scale.em = -height;
  } else if (height > 0 && m.ascent + m.descent > 0) {
    scale.em = static_cast<double>(height) * m.emSquare / (m.ascent + m.descent);
  } else {
    scale.em = kDefaultEmPixels;
  }
  scale.unit = m.emSquare > 0 ? scale.em / m.emSquare : 0;
  const double naturalAverage = m.avgCharWidth * scale.unit;
  if (font.logFont.lfWidth > 0 && naturalAverage > 0) {
    scale.scaleX = font.logFont.lfWidth / naturalAverage;
  }
  return scale;
}

TEXTMETRICA MetricsOf(const Font& font) {
  const FontScale scale = ScaleOf(font);
  const DesignMetrics& m = *scale.metrics;
  TEXTMETRICA tm;
  tm.tmAscent = scale.Y(m.ascent);
  tm.tmHeight = scale.Y(m.ascent + m.descent);
  tm.tmDescent = tm.tmHeight - tm.tmAscent;
  tm.tmAveCharWidth = scale.X(m.avgCharWidth);
  tm.tmMaxCharWidth = scale.X(m.maxCharWidth);
  tm.tmWeight = font.logFont.lfWeight != 0 ? font.logFont.lfWeight : FW_NORMAL;
  tm.tmItalic = font.logFont.lfItalic;
  tm.tmCharSet = font.charSet;
  return tm;
}

}  // namespace

class DeviceContext {
 public:
  DeviceContext(cairo_surface_t* surface, bool printer, SIZE dpi, SIZE size, POINT offset)
      : surface_(surface),
        cr_(cairo_create(surface)),
        printer_(printer),
        dpi_(dpi),
        size_(size),
        offset_(offset) {
    cairo_set_antialias(cr_, CAIRO_ANTIALIAS_NONE);
    if (printer_) {
      cairo_scale(cr_, kPointsPerInch / dpi.cx, kPointsPerInch / dpi.cy);
      cairo_translate(cr_, offset.x, offset.y);
    }
  }

  ~DeviceContext() {
    cairo_destroy(cr_);
    if (!sharesSurface_) cairo_surface_finish(surface_);
    cairo_surface_destroy(surface_);
  }

  DeviceContext(const DeviceContext&) = delete;
  DeviceContext& operator=(const DeviceContext&) = delete;

  static DeviceContext* Desktop() {
    static UniqueDC desktop = [] {
      UniqueDC dc = CreateImageDC(1, 1);
      dc->followsScreen_ = true;
      return dc;
    }();
    return desktop.get();
  }

  cairo_t* cr() const { return cr_; }
  bool printer() const { return printer_; }
  bool IsImage() const { return !printer_; }

  int32_t Caps(int index) const {
    const SIZE dpi = followsScreen_ ? g_screenDpi : dpi_;
    switch (index) {
      case HORZRES:
        return size_.cx - (printer_ ? 2 * offset_.x : 0);
      case VERTRES:
        return size_.cy - (printer_ ? 2 * offset_.y : 0);
      case LOGPIXELSX:
        return dpi.cx;
      case LOGPIXELSY:
        return dpi.cy;
      case PHYSICALOFFSETX:
        return printer_ ? offset_.x : 0;
      case PHYSICALOFFSETY:
        return printer_ ? offset_.y : 0;
      case TECHNOLOGY:
        return printer_ ? DT_RASPRINTER : DT_RASDISPLAY;
      default:
        return 0;
    }
  }

  // Pixels of an image DC: 0xAARRGGBB words, rows `stride` words apart.
  uint32_t* Pixels(int* stride) {
    cairo_surface_flush(surface_);
    *stride = cairo_image_surface_get_stride(surface_) / 4;
    return reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(surface_));
  }
  void PixelsChanged() { cairo_surface_mark_dirty(surface_); }
  SIZE size() const { return size_; }
  cairo_surface_t* surface() const { return surface_; }
  SIZE dpi() const { return dpi_; }
  // A view onto another DC's image leaves the image alive for it.
  void ShareSurface() { sharesSurface_ = true; }

  // Selected objects are kept as copies.
  std::optional<Font> font;
  HFONT fontHandle = nullptr;
  Pen pen;
  HPEN penHandle = nullptr;
  Brush brush{Brush::Kind::kSolid, RGB(255, 255, 255), {}, 0};
  HBRUSH brushHandle = nullptr;

  uint32_t textAlign = TA_TOP;
  int bkMode = OPAQUE;
  COLORREF bkColour = RGB(255, 255, 255);
  COLORREF textColour = RGB(0, 0, 0);
  POINT brushOrigin;
  double currentX = 0;
  double currentY = 0;
  bool inPath = false;
  std::vector<PathStep> path;

 private:
  cairo_surface_t* surface_;
  bool sharesSurface_ = false;
  cairo_t* cr_;
  bool printer_;
  SIZE dpi_;
  SIZE size_;
  POINT offset_;
  bool followsScreen_ = false;
};

// ---- Device contexts --------------------------------------------------

void DcDeleter::operator()(DeviceContext* dc) const { delete dc; }
void FontDeleter::operator()(Font* font) const { delete font; }
void BrushDeleter::operator()(Brush* brush) const { delete brush; }
void PenDeleter::operator()(Pen* pen) const { delete pen; }

UniqueDC CreateImageDC(int32_t width, int32_t height, int32_t dpiX, int32_t dpiY) {
  if (width <= 0 || height <= 0) return nullptr;
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
  if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(surface);
    return nullptr;
  }
  const SIZE dpi{dpiX != 0 ? dpiX : g_screenDpi.cx, dpiY != 0 ? dpiY : g_screenDpi.cy};
  UniqueDC dc(new DeviceContext(surface, false, dpi, SIZE{width, height}, POINT{}));
  cairo_set_source_rgb(dc->cr(), 1, 1, 1);
  cairo_paint(dc->cr());
  return dc;
}

UniqueDC CreateViewDC(HDC image, POINT origin, const std::vector<RECT>& clip) {
  if (image == nullptr || !image->IsImage()) return nullptr;
  cairo_surface_t* surface = cairo_surface_reference(image->surface());
  UniqueDC dc(new DeviceContext(surface, false, image->dpi(), image->size(), POINT{}));
  dc->ShareSurface();
  for (const RECT& rect : clip) {
    cairo_rectangle(dc->cr(), rect.left, rect.top, rect.Width(), rect.Height());
  }
  cairo_clip(dc->cr());
  cairo_translate(dc->cr(), origin.x, origin.y);
  return dc;
}

UniqueDC CreatePdfDC(const std::string& path, const PrinterSetup& setup) {
  if (setup.dpiX <= 0 || setup.dpiY <= 0 || setup.paper.cx <= 0 || setup.paper.cy <= 0) {
    return nullptr;
  }
  cairo_surface_t* surface =
      cairo_pdf_surface_create(path.c_str(), setup.paper.cx * kPointsPerInch / setup.dpiX,
                               setup.paper.cy * kPointsPerInch / setup.dpiY);
  if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(surface);
    return nullptr;
  }
  return UniqueDC(new DeviceContext(surface, true, SIZE{setup.dpiX, setup.dpiY}, setup.paper,
                                    setup.physicalOffset));
}

bool EndPage(HDC dc) {
  if (dc == nullptr || !dc->printer()) return false;
  cairo_show_page(dc->cr());
  return true;
}

HDC GetDesktopDC() { return DeviceContext::Desktop(); }

void SetScreenResolution(int32_t dpiX, int32_t dpiY) { g_screenDpi = SIZE{dpiX, dpiY}; }

ScopedScreenResolution::ScopedScreenResolution(int32_t dpiX, int32_t dpiY)
    : previous_(g_screenDpi) {
  SetScreenResolution(dpiX, dpiY);
}

ScopedScreenResolution::~ScopedScreenResolution() {
  SetScreenResolution(previous_.cx, previous_.cy);
}

int32_t GetDeviceCaps(HDC dc, int index) { return dc != nullptr ? dc->Caps(index) : 0; }

COLORREF GetPixel(HDC dc, int32_t x, int32_t y) {
  if (dc == nullptr || !dc->IsImage() || x < 0 || y < 0 || x >= dc->size().cx ||
      y >= dc->size().cy) {
    return CLR_INVALID;
  }
  int stride = 0;
  const uint32_t* pixels = dc->Pixels(&stride);
  return FromPixel(pixels[y * stride + x]);
}

bool ScrollImage(HDC image, const RECT& area, int32_t dx, int32_t dy) {
  if (image == nullptr || !image->IsImage()) return false;
  const RECT bounds{std::max(area.left, 0), std::max(area.top, 0),
                    std::min(area.right, image->size().cx),
                    std::min(area.bottom, image->size().cy)};
  if (bounds.IsEmpty()) return true;
  int stride = 0;
  uint32_t* pixels = image->Pixels(&stride);
  std::vector<uint32_t> copy;
  for (int32_t y = bounds.top; y < bounds.bottom; ++y) {
    copy.insert(copy.end(), pixels + y * stride + bounds.left, pixels + y * stride + bounds.right);
  }
  const int32_t width = bounds.Width();
  for (int32_t y = bounds.top; y < bounds.bottom; ++y) {
    for (int32_t x = bounds.left; x < bounds.right; ++x) {
      const int32_t fromX = x - dx;
      const int32_t fromY = y - dy;
      if (fromX < bounds.left || fromX >= bounds.right || fromY < bounds.top ||
          fromY >= bounds.bottom) {
        continue;
      }
      pixels[y * stride + x] = copy[(fromY - bounds.top) * width + (fromX - bounds.left)];
    }
  }
  image->PixelsChanged();
  return true;
}

bool WritePng(HDC dc, const std::string& path) {
  if (dc == nullptr || !dc->IsImage()) return false;
  cairo_surface_flush(dc->surface());
  return cairo_surface_write_to_png(dc->surface(), path.c_str()) == CAIRO_STATUS_SUCCESS;
}

// ---- Fonts --------------------------------------------------------------

int EnumFontFamiliesExA(HDC, const LOGFONTA& filter, const FONTENUMPROCA& callback) {
  const std::string_view wanted(filter.lfFaceName,
                                strnlen(filter.lfFaceName, sizeof filter.lfFaceName));
  int result = 1;
  for (const FaceDescription& face : CurrentFontService().Faces()) {
    if (filter.lfCharSet != DEFAULT_CHARSET && filter.lfCharSet != face.charSet) continue;
    if (!wanted.empty() && wanted != face.name) continue;
    LOGFONTA font;
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = face.charSet;
    font.lfPitchAndFamily = face.pitchAndFamily;
    std::copy_n(face.name.data(), std::min(face.name.size(), sizeof font.lfFaceName - 1),
                font.lfFaceName);
    TEXTMETRICA metrics;
    metrics.tmWeight = FW_NORMAL;
    metrics.tmCharSet = face.charSet;
    result = callback(font, metrics, face.trueType ? TRUETYPE_FONTTYPE : 0);
    if (result == 0) break;
  }
  return result;
}

UniqueFont CreateFontIndirectA(const LOGFONTA& logFont) {
  const std::string_view name(logFont.lfFaceName,
                              strnlen(logFont.lfFaceName, sizeof logFont.lfFaceName));
  const FontService& service = CurrentFontService();
  const FaceDescription* description = FindFace(service, name);
  if (description == nullptr) return nullptr;
  auto face = service.Open(name);
  if (face == nullptr) return nullptr;
  return UniqueFont(new Font{logFont, std::move(face), description->charSet});
}

int GetTextFaceA(HDC dc, int size, char* face) {
  if (dc == nullptr || !dc->font || size <= 0 || face == nullptr) return 0;
  const char* name = dc->font->logFont.lfFaceName;
  const size_t length =
      std::min(strnlen(name, sizeof dc->font->logFont.lfFaceName), static_cast<size_t>(size - 1));
  std::memcpy(face, name, length);
  face[length] = '\0';
  return static_cast<int>(length + 1);
}

bool GetTextMetricsA(HDC dc, TEXTMETRICA* out) {
  if (dc == nullptr || !dc->font) return false;
  *out = MetricsOf(*dc->font);
  return true;
}

bool GetOutlineTextMetricsA(HDC dc, OUTLINETEXTMETRICA* out) {
  if (dc == nullptr || !dc->font) return false;
  const FontScale scale = ScaleOf(*dc->font);
  out->otmTextMetrics = MetricsOf(*dc->font);
  out->otmEMSquare = static_cast<uint32_t>(scale.metrics->emSquare);
  out->otmAscent = scale.Y(scale.metrics->ascent);
  out->otmDescent = scale.Y(scale.metrics->descent);
  return true;
}

bool GetCharWidthA(HDC dc, uint32_t first, uint32_t last, int32_t* out) {
  if (dc == nullptr || !dc->font || last < first || last > 0xFFFF) return false;
  const FontScale scale = ScaleOf(*dc->font);
  bool complete = true;
  for (uint32_t code = first; code <= last; ++code) {
    const auto box = dc->font->face->Glyph(static_cast<uint16_t>(code));
    complete = complete && box.has_value();
    *out++ = box ? scale.X(box->advance) : 0;
  }
  return complete;
}

bool GetCharABCWidthsA(HDC dc, uint32_t first, uint32_t last, ABC* out) {
  if (dc == nullptr || !dc->font || last < first || last > 0xFFFF) return false;
  const FontScale scale = ScaleOf(*dc->font);
  bool complete = true;
  for (uint32_t code = first; code <= last; ++code) {
    const auto box = dc->font->face->Glyph(static_cast<uint16_t>(code));
    complete = complete && box.has_value();
    ABC abc;
    if (box) {
      abc.abcA = scale.X(box->a);
      abc.abcB = static_cast<uint32_t>(scale.X(box->b));
      abc.abcC = scale.X(box->advance) - abc.abcA - static_cast<int32_t>(abc.abcB);
    }
    *out++ = abc;
  }
  return complete;
}

uint32_t SetTextAlign(HDC dc, uint32_t align) { return std::exchange(dc->textAlign, align); }

int SetBkMode(HDC dc, int mode) { return std::exchange(dc->bkMode, mode); }

COLORREF SetBkColor(HDC dc, COLORREF colour) { return std::exchange(dc->bkColour, colour); }

COLORREF SetTextColor(HDC dc, COLORREF colour) { return std::exchange(dc->textColour, colour); }

bool ExtTextOutA(HDC dc, int32_t x, int32_t y, uint32_t options, const RECT* clip, const char* text,
                 int32_t count, const int32_t* dx) {
  if (dc == nullptr || !dc->font || count < 0) return false;
  const Font& font = *dc->font;
  const FontScale scale = ScaleOf(font);
  const double angle = font.logFont.lfEscapement / 10.0 * std::numbers::pi / 180.0;
  const double dirX = std::cos(angle);
  const double dirY = -std::sin(angle);
  const TEXTMETRICA tm = MetricsOf(font);
  double penX = x;
  double penY = y;
  if ((dc->textAlign & TA_BASELINE) != TA_BASELINE) {
    // Top alignment: move down to the baseline, across the run's direction.
    penX += -dirY * tm.tmAscent;
    penY += dirX * tm.tmAscent;
  }
  const std::string_view bytes(text, static_cast<size_t>(count));
  const bool dbcs = font.charSet == SHIFTJIS_CHARSET;
  std::vector<PlacedGlyph> glyphs;
  const double startX = penX;
  const double startY = penY;
  for (size_t pos = 0; pos < bytes.size();) {
    const size_t length = dbcs ? CharLengthAt(bytes, pos) : 1;
    const uint16_t code = length == 2 ? CharCodeAt(bytes, pos) : static_cast<uint8_t>(bytes[pos]);
    glyphs.push_back(PlacedGlyph{code, penX, penY});
    double advance = 0;
    if (dx != nullptr) {
      for (size_t i = 0; i < length; ++i) advance += dx[pos + i];
    } else {
      const auto box = font.face->Glyph(code);
      advance = box ? scale.X(box->advance) : scale.em * scale.scaleX * (length == 2 ? 1 : 0.5);
    }
    penX += dirX * advance;
    penY += dirY * advance;
    pos += length;
  }
  cairo_t* cr = dc->cr();
  cairo_save(cr);
  if ((options & ETO_CLIPPED) != 0 && clip != nullptr) {
    cairo_rectangle(cr, clip->left, clip->top, clip->Width(), clip->Height());
    cairo_clip(cr);
  }
  if (dc->bkMode == OPAQUE) {
    // The cells behind the run take the background colour.
    cairo_save(cr);
    cairo_translate(cr, startX, startY);
    cairo_rotate(cr, -angle);
    const double length = std::hypot(penX - startX, penY - startY);
    cairo_rectangle(cr, 0, -tm.tmAscent, length, tm.tmHeight);
    SetSource(cr, dc->bkColour);
    cairo_fill(cr);
    cairo_restore(cr);
  }
  SetSource(cr, dc->textColour);
  const GlyphStyle style{scale.em, scale.scaleX, angle, font.logFont.lfWeight >= FW_BOLD,
                         font.logFont.lfItalic != 0};
  font.face->Draw(cr, style, glyphs);
  cairo_restore(cr);
  return true;
}

// ---- Brushes, pens, paths, regions --------------------------------------

UniqueBrush CreateSolidBrush(COLORREF colour) {
  return UniqueBrush(new Brush{Brush::Kind::kSolid, colour, {}, 0});
}

UniqueBrush CreatePatternBrush(const MonoPattern& pattern) {
  return UniqueBrush(new Brush{Brush::Kind::kPattern, 0, pattern, 0});
}

UniqueBrush CreateHatchBrush(int hatch, COLORREF colour) {
  if (hatch < HS_HORIZONTAL || hatch > HS_DIAGCROSS) return nullptr;
  return UniqueBrush(new Brush{Brush::Kind::kHatch, colour, {}, hatch});
}

bool SetBrushOrgEx(HDC dc, int32_t x, int32_t y, POINT* previous) {
  if (dc == nullptr) return false;
  if (previous != nullptr) *previous = dc->brushOrigin;
  dc->brushOrigin = POINT{x, y};
  return true;
}

namespace {

// The brush's colour at a pattern cell; nullopt where it leaves the
// destination alone (between hatch lines on a transparent background).
std::optional<COLORREF> BrushColourAt(const DeviceContext& dc, const Brush& brush, int px, int py) {
  switch (brush.kind) {
    case Brush::Kind::kSolid:
      return brush.colour;
    case Brush::Kind::kPattern: {
      const bool set = (brush.pattern[py] >> (kPatternSize - 1 - px)) & 1;
      return set ? dc.bkColour : dc.textColour;
    }
    case Brush::Kind::kHatch:
      if (HatchBit(brush.hatch, px, py)) return brush.colour;
      if (dc.bkMode == OPAQUE) return dc.bkColour;
      return std::nullopt;
  }
  return std::nullopt;
}

// The brush as a cairo source, tiled from the brush origin.
cairo_pattern_t* BrushSource(const DeviceContext& dc, const Brush& brush) {
  if (brush.kind == Brush::Kind::kSolid) {
    return cairo_pattern_create_rgb(Red(brush.colour), Green(brush.colour), Blue(brush.colour));
  }
  cairo_surface_t* tile =
      cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kPatternSize, kPatternSize);
  cairo_surface_flush(tile);
  auto* data = reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(tile));
  const int stride = cairo_image_surface_get_stride(tile) / 4;
  for (int py = 0; py < kPatternSize; ++py) {
    for (int px = 0; px < kPatternSize; ++px) {
      const auto colour = BrushColourAt(dc, brush, px, py);
      data[py * stride + px] = colour ? ToPixel(*colour) : 0;
    }
  }
  cairo_surface_mark_dirty(tile);
  cairo_pattern_t* source = cairo_pattern_create_for_surface(tile);
  cairo_surface_destroy(tile);
  cairo_pattern_set_extend(source, CAIRO_EXTEND_REPEAT);
  cairo_pattern_set_filter(source, CAIRO_FILTER_NEAREST);
  cairo_matrix_t matrix;
  cairo_matrix_init_translate(&matrix, -dc.brushOrigin.x, -dc.brushOrigin.y);
  cairo_pattern_set_matrix(source, &matrix);
  return source;
}

void FillWithBrush(DeviceContext& dc, const Brush& brush) {
  cairo_pattern_t* source = BrushSource(dc, brush);
  cairo_set_source(dc.cr(), source);
  cairo_pattern_destroy(source);
  cairo_fill(dc.cr());
}

int Wrap(int value) { return ((value % kPatternSize) + kPatternSize) % kPatternSize; }

uint32_t ApplyRop(uint32_t rop, uint32_t destination, uint32_t pattern) {
  switch (rop) {
    case PATCOPY:
      return pattern;
    case PATINVERT:
      return destination ^ (pattern & 0xFFFFFF);
    case DSTINVERT:
      return destination ^ 0xFFFFFF;
    case PATAND:
      return destination & pattern;
    default:  // PATOR
      return destination | pattern;
  }
}

bool IsKnownRop(uint32_t rop) {
  return rop == PATCOPY || rop == PATINVERT || rop == DSTINVERT || rop == PATAND || rop == PATOR;
}

void StrokeWithPen(DeviceContext& dc) {
  cairo_t* cr = dc.cr();
  const Pen& pen = dc.pen;
  if (!pen.visible) {
    cairo_new_path(cr);
    return;
  }
  SetSource(cr, pen.colour);
  cairo_set_line_width(cr, std::max(pen.width, 1.0));
  cairo_set_line_cap(cr, pen.cap);
  cairo_set_line_join(cr, pen.join);
  cairo_set_dash(cr, pen.dashes.data(), static_cast<int>(pen.dashes.size()), 0);
  cairo_stroke(cr);
}

// Strokes run through pixel centres, so a one-pixel line covers one row.
constexpr double kPixelCentre = 0.5;

void AddStep(cairo_t* cr, const PathStep& step) {
  switch (step.kind) {
    case PathStep::kMove:
      cairo_move_to(cr, step.x[0] + kPixelCentre, step.y[0] + kPixelCentre);
      break;
    case PathStep::kLine:
      cairo_line_to(cr, step.x[0] + kPixelCentre, step.y[0] + kPixelCentre);
      break;
    case PathStep::kCurve:
      cairo_curve_to(cr, step.x[0] + kPixelCentre, step.y[0] + kPixelCentre,
                     step.x[1] + kPixelCentre, step.y[1] + kPixelCentre, step.x[2] + kPixelCentre,
                     step.y[2] + kPixelCentre);
      break;
  }
}

}  // namespace

bool PatBlt(HDC dc, int32_t x, int32_t y, int32_t width, int32_t height, uint32_t rop) {
  if (dc == nullptr || !IsKnownRop(rop)) return false;
  if (width < 0) {
    x += width;
    width = -width;
  }
  if (height < 0) {
    y += height;
    height = -height;
  }
  if (dc->printer()) {
    if (rop != PATCOPY) return false;
    cairo_rectangle(dc->cr(), x, y, width, height);
    FillWithBrush(*dc, dc->brush);
    return true;
  }
  const int32_t left = std::max(x, 0);
  const int32_t top = std::max(y, 0);
  const int32_t right = std::min(x + width, dc->size().cx);
  const int32_t bottom = std::min(y + height, dc->size().cy);
  int stride = 0;
  uint32_t* pixels = dc->Pixels(&stride);
  for (int32_t py = top; py < bottom; ++py) {
    for (int32_t px = left; px < right; ++px) {
      const auto colour =
          BrushColourAt(*dc, dc->brush, Wrap(px - dc->brushOrigin.x), Wrap(py - dc->brushOrigin.y));
      if (!colour && rop != DSTINVERT) continue;
      uint32_t& pixel = pixels[py * stride + px];
      pixel = 0xFF000000u | ApplyRop(rop, pixel, colour ? ToPixel(*colour) : 0);
    }
  }
  dc->PixelsChanged();
  return true;
}

bool FillRect(HDC dc, const RECT& rect, HBRUSH brush) {
  if (dc == nullptr || brush == nullptr) return false;
  cairo_rectangle(dc->cr(), rect.left, rect.top, rect.Width(), rect.Height());
  FillWithBrush(*dc, *brush);
  return true;
}

UniquePen CreatePen(uint32_t style, int32_t width, COLORREF colour) {
  if (style != PS_SOLID && style != PS_NULL) return nullptr;
  auto pen = std::make_unique<Pen>();
  pen->visible = style == PS_SOLID;
  pen->width = std::max(width, 1);
  pen->colour = colour;
  return UniquePen(pen.release());
}

UniquePen ExtCreatePen(uint32_t style, uint32_t width, const LOGBRUSH& brush, uint32_t styleCount,
                       const uint32_t* styles) {
  auto pen = std::make_unique<Pen>();
  pen->width = std::max<uint32_t>(width, 1);
  pen->colour = brush.lbColor;
  const uint32_t cap = style & 0xF00;
  pen->cap = cap == PS_ENDCAP_FLAT     ? CAIRO_LINE_CAP_BUTT
             : cap == PS_ENDCAP_SQUARE ? CAIRO_LINE_CAP_SQUARE
                                       : CAIRO_LINE_CAP_ROUND;
  const uint32_t join = style & 0xF000;
  pen->join = join == PS_JOIN_MITER   ? CAIRO_LINE_JOIN_MITER
              : join == PS_JOIN_BEVEL ? CAIRO_LINE_JOIN_BEVEL
                                      : CAIRO_LINE_JOIN_ROUND;
  const uint32_t kind = style & 0xF;
  pen->visible = kind != PS_NULL;
  if (kind == PS_USERSTYLE) {
    if (styles == nullptr || styleCount == 0) return nullptr;
    pen->dashes.assign(styles, styles + styleCount);
  }
  return UniquePen(pen.release());
}

HFONT SelectObject(HDC dc, HFONT font) {
  if (dc == nullptr || font == nullptr) return nullptr;
  dc->font = *font;
  return std::exchange(dc->fontHandle, font);
}

HPEN SelectObject(HDC dc, HPEN pen) {
  if (dc == nullptr || pen == nullptr) return nullptr;
  dc->pen = *pen;
  return std::exchange(dc->penHandle, pen);
}

HBRUSH SelectObject(HDC dc, HBRUSH brush) {
  if (dc == nullptr || brush == nullptr) return nullptr;
  dc->brush = *brush;
  return std::exchange(dc->brushHandle, brush);
}

bool BeginPath(HDC dc) {
  if (dc == nullptr) return false;
  dc->inPath = true;
  dc->path.clear();
  return true;
}

bool EndPath(HDC dc) {
  if (dc == nullptr || !dc->inPath) return false;
  dc->inPath = false;
  return true;
}

bool StrokePath(HDC dc) {
  if (dc == nullptr || dc->inPath || dc->path.empty()) return false;
  cairo_new_path(dc->cr());
  for (const PathStep& step : dc->path) AddStep(dc->cr(), step);
  dc->path.clear();
  StrokeWithPen(*dc);
  return true;
}

bool MoveToEx(HDC dc, int32_t x, int32_t y, POINT* previous) {
  if (dc == nullptr) return false;
  if (previous != nullptr) {
    *previous = POINT{static_cast<int32_t>(dc->currentX), static_cast<int32_t>(dc->currentY)};
  }
  dc->currentX = x;
  dc->currentY = y;
  if (dc->inPath) dc->path.push_back(PathStep{PathStep::kMove, {1.0 * x}, {1.0 * y}});
  return true;
}

bool LineTo(HDC dc, int32_t x, int32_t y) {
  if (dc == nullptr) return false;
  const PathStep start{PathStep::kMove, {dc->currentX}, {dc->currentY}};
  const PathStep line{PathStep::kLine, {1.0 * x}, {1.0 * y}};
  dc->currentX = x;
  dc->currentY = y;
  if (dc->inPath) {
    dc->path.push_back(line);
    return true;
  }
  cairo_new_path(dc->cr());
  AddStep(dc->cr(), start);
  AddStep(dc->cr(), line);
  StrokeWithPen(*dc);
  return true;
}

bool PolyBezierTo(HDC dc, const POINT* points, uint32_t count) {
  if (dc == nullptr || points == nullptr || count % 3 != 0) return false;
  std::vector<PathStep> curves;
  for (uint32_t i = 0; i < count; i += 3) {
    curves.push_back(PathStep{PathStep::kCurve,
                              {1.0 * points[i].x, 1.0 * points[i + 1].x, 1.0 * points[i + 2].x},
                              {1.0 * points[i].y, 1.0 * points[i + 1].y, 1.0 * points[i + 2].y}});
  }
  if (count > 0) {
    dc->currentX = points[count - 1].x;
    dc->currentY = points[count - 1].y;
  }
  if (dc->inPath) {
    dc->path.insert(dc->path.end(), curves.begin(), curves.end());
    return true;
  }
  return false;
}

bool Polygon(HDC dc, const POINT* points, int32_t count) {
  if (dc == nullptr || points == nullptr || count < 2) return false;
  cairo_t* cr = dc->cr();
  cairo_new_path(cr);
  for (int32_t i = 0; i < count; ++i) {
    if (i == 0) {
      cairo_move_to(cr, points[i].x + kPixelCentre, points[i].y + kPixelCentre);
    } else {
      cairo_line_to(cr, points[i].x + kPixelCentre, points[i].y + kPixelCentre);
    }
  }
  cairo_close_path(cr);
  cairo_path_t* outline = cairo_copy_path(cr);
  FillWithBrush(*dc, dc->brush);
  cairo_append_path(cr, outline);
  cairo_path_destroy(outline);
  StrokeWithPen(*dc);
  return true;
}

namespace {

void AddRegionPath(cairo_t* cr, const Region& region) {
  cairo_new_path(cr);
  for (const RECT& rect : region.Rects()) {
    cairo_rectangle(cr, rect.left, rect.top, rect.Width(), rect.Height());
  }
}

// The pixels of the region within `width` sideways or `height` up or down
// of a pixel outside it.
Region BorderOf(const Region& region, int32_t width, int32_t height) {
  Region inner = region;
  for (int32_t step = 1; step <= width; ++step) {
    for (const int32_t dx : {step, -step}) {
      Region shifted = region;
      shifted.Offset(dx, 0);
      inner.Combine(shifted, Region::Operation::kAnd);
    }
  }
  for (int32_t step = 1; step <= height; ++step) {
    for (const int32_t dy : {step, -step}) {
      Region shifted = region;
      shifted.Offset(0, dy);
      inner.Combine(shifted, Region::Operation::kAnd);
    }
  }
  Region border = region;
  border.Combine(inner, Region::Operation::kDiff);
  return border;
}

}  // namespace

bool FillRgn(HDC dc, HRGN region, HBRUSH brush) {
  if (dc == nullptr || region == nullptr || brush == nullptr) return false;
  AddRegionPath(dc->cr(), *region);
  FillWithBrush(*dc, *brush);
  return true;
}

bool PaintRgn(HDC dc, HRGN region) {
  if (dc == nullptr || region == nullptr) return false;
  AddRegionPath(dc->cr(), *region);
  FillWithBrush(*dc, dc->brush);
  return true;
}

bool FrameRgn(HDC dc, HRGN region, HBRUSH brush, int32_t width, int32_t height) {
  if (dc == nullptr || region == nullptr || brush == nullptr || width <= 0 || height <= 0) {
    return false;
  }
  AddRegionPath(dc->cr(), BorderOf(*region, width, height));
  FillWithBrush(*dc, *brush);
  return true;
}

bool InvertRgn(HDC dc, HRGN region) {
  if (dc == nullptr || region == nullptr) return false;
  cairo_t* cr = dc->cr();
  cairo_save(cr);
  AddRegionPath(cr, *region);
  cairo_set_operator(cr, CAIRO_OPERATOR_DIFFERENCE);
  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_fill(cr);
  cairo_restore(cr);
  return true;
}

}  // namespace platform
