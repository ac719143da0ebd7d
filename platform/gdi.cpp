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

// What a DC draws on: an image (a window's, or a bitmap's) or a PDF
// document. Shared by the DCs and bitmap handles that reach it, so either
// may go first.
class Canvas {
 public:
  Canvas(cairo_surface_t* surface, SIZE size) : surface(surface), size(size) {}
  ~Canvas() { cairo_surface_destroy(surface); }
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  cairo_surface_t* const surface;
  const SIZE size;
  // The memory DC the bitmap is selected into; a bitmap is in one at most.
  HDC selectedInto = nullptr;
};

class Bitmap {
 public:
  std::shared_ptr<Canvas> canvas;
  // A memory DC's first bitmap, which no other DC may take.
  HDC defaultOf = nullptr;
};

namespace {

// A white (or other colour) image of the size; nullptr when it cannot be made.
std::shared_ptr<Canvas> NewImageCanvas(int32_t width, int32_t height, COLORREF fill) {
  if (width <= 0 || height <= 0) return nullptr;
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
  if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(surface);
    return nullptr;
  }
  cairo_t* cr = cairo_create(surface);
  SetSource(cr, fill);
  cairo_paint(cr);
  cairo_destroy(cr);
  return std::make_shared<Canvas>(surface, SIZE{width, height});
}

}  // namespace

namespace {

// What a new DC has selected, as on Windows, so that the object a
// SelectObject hands back can always be selected again: putting back a
// "nothing" would leave the caller's own object, soon deleted, selected.
Pen& StockPen() {
  static Pen pen;
  return pen;
}
Brush& StockBrush() {
  static Brush brush{Brush::Kind::kSolid, RGB(255, 255, 255), {}, 0};
  return brush;
}
// Selecting it gives the DC back the system's face.
Font& StockFont() {
  static Font font{};
  return font;
}

}  // namespace

// Everything SaveDC keeps and RestoreDC brings back. Selected objects are
// kept as copies.
struct DcState {
  std::optional<Font> font;
  HFONT fontHandle = &StockFont();
  Pen pen = StockPen();
  HPEN penHandle = &StockPen();
  Brush brush = StockBrush();
  HBRUSH brushHandle = &StockBrush();
  std::shared_ptr<Canvas> canvas;
  HBITMAP bitmapHandle = nullptr;  // memory DCs only

  uint32_t textAlign = TA_TOP;
  int bkMode = OPAQUE;
  COLORREF bkColour = RGB(255, 255, 255);
  COLORREF textColour = RGB(0, 0, 0);
  int charExtra = 0;
  POINT brushOrigin;
  double currentX = 0;
  double currentY = 0;
  bool inPath = false;
  std::vector<PathStep> path;

  // Device = logical - window origin + viewport origin.
  POINT windowOrigin;
  POINT viewportOrigin;
  // The application's clip in device coordinates; none: the whole device.
  std::optional<Region> clip;
};

// Coordinates come in three kinds. Logical ones are what callers draw
// with. Device ones are the DC's own pixels: a window DC's start at the
// client area's corner, a printer's at the printable area's. Base ones are
// where Cairo is told to draw before the logical mapping: the surface's
// pixels for an image, device pixels for a printer.
class DeviceContext : public DcState {
 public:
  enum class Kind { kImage, kMemory, kPrinter };

  DeviceContext(std::shared_ptr<Canvas> drawOn, Kind kind, SIZE dpi, POINT offset,
                SIZE printable = SIZE{})
      : kind_(kind), dpi_(dpi), offset_(offset), printable_(printable) {
    canvas = std::move(drawOn);
    Sync();
  }

  ~DeviceContext() {
    cairo_destroy(cr_);
    if (canvas->selectedInto == this) canvas->selectedInto = nullptr;
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

  // A memory DC starts with a 1 x 1 bitmap of its own.
  static UniqueDC Memory(SIZE dpi) {
    auto first = std::make_unique<Bitmap>();
    first->canvas = NewImageCanvas(1, 1, RGB(255, 255, 255));
    if (first->canvas == nullptr) return nullptr;
    UniqueDC dc(new DeviceContext(first->canvas, Kind::kMemory, dpi, POINT{}));
    first->defaultOf = dc.get();
    first->canvas->selectedInto = dc.get();
    dc->bitmapHandle = first.get();
    dc->defaultBitmap_ = std::move(first);
    return dc;
  }

  // Puts the device origin at `origin` of the surface and keeps drawing
  // inside `visible` (surface coordinates), whatever the clip says.
  void SetView(POINT origin, Region visible) {
    deviceOrigin_ = origin;
    visible_ = std::move(visible);
    Sync();
  }

  cairo_t* cr() const { return cr_; }
  bool printer() const { return kind_ == Kind::kPrinter; }
  bool IsImage() const { return kind_ != Kind::kPrinter; }
  bool IsMemory() const { return kind_ == Kind::kMemory; }

  int32_t Caps(int index) const {
    const SIZE dpi = followsScreen_ ? g_screenDpi : dpi_;
    switch (index) {
      case HORZRES:
        return printer() ? Printable().cx : size().cx;
      case VERTRES:
        return printer() ? Printable().cy : size().cy;
      case PHYSICALWIDTH:
        return printer() ? size().cx : 0;
      case PHYSICALHEIGHT:
        return printer() ? size().cy : 0;
      case LOGPIXELSX:
        return dpi.cx;
      case LOGPIXELSY:
        return dpi.cy;
      case PHYSICALOFFSETX:
        return printer() ? offset_.x : 0;
      case PHYSICALOFFSETY:
        return printer() ? offset_.y : 0;
      case TECHNOLOGY:
        return printer() ? DT_RASPRINTER : DT_RASDISPLAY;
      default:
        return 0;
    }
  }

  // Pixels of an image DC: 0xAARRGGBB words, rows `stride` words apart.
  uint32_t* Pixels(int* stride) {
    cairo_surface_flush(surface());
    *stride = cairo_image_surface_get_stride(surface()) / 4;
    return reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(surface()));
  }
  void PixelsChanged() { cairo_surface_mark_dirty(surface()); }
  // Draws on `drawOn` from now on, in the saved states too.
  void Retarget(const std::shared_ptr<Canvas>& drawOn) {
    canvas = drawOn;
    for (DcState& state : saved) state.canvas = drawOn;
    Sync();
  }
  // A printer DC's document being written, and whether its writer failed.
  struct PdfOutput {
    PdfWriter writer;
    bool failed = false;
  };
  std::unique_ptr<PdfOutput> pdfOutput;
  SIZE size() const { return canvas->size; }
  cairo_surface_t* surface() const { return canvas->surface; }
  SIZE dpi() const { return dpi_; }

  // How far a logical point moves to become a device one.
  POINT LogicalToDevice() const {
    return POINT{viewportOrigin.x - windowOrigin.x, viewportOrigin.y - windowOrigin.y};
  }
  POINT DeviceToBase() const { return deviceOrigin_; }
  RECT LogicalToBase(const RECT& logical) const {
    const POINT d = LogicalToDevice();
    const POINT b = DeviceToBase();
    return Normalised(logical).Offset(d.x + b.x, d.y + b.y);
  }
  // The device's whole extent in device coordinates.
  RECT DeviceBounds() const {
    const RECT base = BaseBounds();
    return base.Offset(-deviceOrigin_.x, -deviceOrigin_.y);
  }
  // Where drawing may reach, in base coordinates.
  const Region& ClipInBase() const { return clipInBase_; }

  // Brings the Cairo context in line with the canvas, the origins and the
  // clips; called after each change of them.
  void Sync() {
    if (cr_ == nullptr || cairo_get_target(cr_) != surface()) {
      if (cr_ != nullptr) cairo_destroy(cr_);
      cr_ = cairo_create(surface());
      cairo_set_antialias(cr_, CAIRO_ANTIALIAS_NONE);
    }
    clipInBase_ = ReachedInBase();
    MapCairo();
  }

  std::vector<DcState> saved;

 private:
  // The device, within what the DC may reach, within the clip.
  Region ReachedInBase() const {
    Region reached(BaseBounds());
    if (visible_) reached.Combine(*visible_, Region::Operation::kAnd);
    if (clip) {
      Region inBase = *clip;
      inBase.Offset(deviceOrigin_.x, deviceOrigin_.y);
      reached.Combine(inBase, Region::Operation::kAnd);
    }
    return reached;
  }

  // Cairo's clip to what drawing reaches, its matrix to the logical mapping.
  void MapCairo() {
    cairo_identity_matrix(cr_);
    cairo_reset_clip(cr_);
    if (printer()) {
      cairo_scale(cr_, kPointsPerInch / dpi_.cx, kPointsPerInch / dpi_.cy);
      cairo_translate(cr_, offset_.x, offset_.y);
    }
    cairo_new_path(cr_);
    for (const RECT& rect : clipInBase_.Rects()) {
      cairo_rectangle(cr_, rect.left, rect.top, rect.Width(), rect.Height());
    }
    cairo_clip(cr_);
    const POINT d = LogicalToDevice();
    cairo_translate(cr_, d.x + deviceOrigin_.x, d.y + deviceOrigin_.y);
  }

  static RECT Normalised(const RECT& r) {
    return RECT{std::min(r.left, r.right), std::min(r.top, r.bottom), std::max(r.left, r.right),
                std::max(r.top, r.bottom)};
  }
  RECT BaseBounds() const { return RECT{0, 0, Caps(HORZRES), Caps(VERTRES)}; }
  SIZE Printable() const {
    if (printable_.cx > 0 && printable_.cy > 0) return printable_;
    return SIZE{size().cx - 2 * offset_.x, size().cy - 2 * offset_.y};
  }

  Kind kind_;
  cairo_t* cr_ = nullptr;
  SIZE dpi_;
  POINT offset_;
  SIZE printable_;
  POINT deviceOrigin_;
  std::optional<Region> visible_;
  Region clipInBase_;
  std::unique_ptr<Bitmap> defaultBitmap_;
  bool followsScreen_ = false;
};

// ---- Device contexts --------------------------------------------------

void DcDeleter::operator()(DeviceContext* dc) const { delete dc; }
void FontDeleter::operator()(Font* font) const { delete font; }
void BrushDeleter::operator()(Brush* brush) const { delete brush; }
void PenDeleter::operator()(Pen* pen) const { delete pen; }

UniqueDC CreateImageDC(int32_t width, int32_t height, int32_t dpiX, int32_t dpiY) {
  auto canvas = NewImageCanvas(width, height, RGB(255, 255, 255));
  if (canvas == nullptr) return nullptr;
  const SIZE dpi{dpiX != 0 ? dpiX : g_screenDpi.cx, dpiY != 0 ? dpiY : g_screenDpi.cy};
  return UniqueDC(new DeviceContext(std::move(canvas), DeviceContext::Kind::kImage, dpi, POINT{}));
}

UniqueDC CreateViewDC(HDC image, POINT origin, const std::vector<RECT>& clip) {
  if (image == nullptr || !image->IsImage()) return nullptr;
  UniqueDC dc(new DeviceContext(image->canvas, DeviceContext::Kind::kImage, image->dpi(), POINT{}));
  dc->SetView(origin, Region(clip));
  return dc;
}

bool RetargetViewDC(HDC view, HDC image, POINT origin, const std::vector<RECT>& clip) {
  if (view == nullptr || !view->IsImage() || view->IsMemory() || image == nullptr ||
      !image->IsImage()) {
    return false;
  }
  view->canvas = image->canvas;
  for (DcState& state : view->saved) state.canvas = image->canvas;
  view->SetView(origin, Region(clip));
  return true;
}

namespace {

bool ValidSetup(const PrinterSetup& setup) {
  return setup.dpiX > 0 && setup.dpiY > 0 && setup.paper.cx > 0 && setup.paper.cy > 0;
}

// A PDF surface of the paper's size in points, writing to `write`.
std::shared_ptr<Canvas> NewPdfCanvas(SIZE paper, SIZE dpi, cairo_write_func_t write,
                                     void* closure) {
  cairo_surface_t* surface = cairo_pdf_surface_create_for_stream(
      write, closure, paper.cx * kPointsPerInch / dpi.cx, paper.cy * kPointsPerInch / dpi.cy);
  if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(surface);
    return nullptr;
  }
  return std::make_shared<Canvas>(surface, paper);
}

cairo_status_t WriteToOutput(void* closure, const unsigned char* data, unsigned int size) {
  auto* output = static_cast<DeviceContext::PdfOutput*>(closure);
  if (!output->failed && !output->writer(data, size)) output->failed = true;
  return output->failed ? CAIRO_STATUS_WRITE_ERROR : CAIRO_STATUS_SUCCESS;
}

}  // namespace

UniqueDC CreatePdfDC(const std::string& path, const PrinterSetup& setup) {
  if (!ValidSetup(setup)) return nullptr;
  cairo_surface_t* surface =
      cairo_pdf_surface_create(path.c_str(), setup.paper.cx * kPointsPerInch / setup.dpiX,
                               setup.paper.cy * kPointsPerInch / setup.dpiY);
  if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(surface);
    return nullptr;
  }
  return UniqueDC(new DeviceContext(std::make_shared<Canvas>(surface, setup.paper),
                                    DeviceContext::Kind::kPrinter, SIZE{setup.dpiX, setup.dpiY},
                                    setup.physicalOffset, setup.printable));
}

UniqueDC CreatePrinterIC(const PrinterSetup& setup) {
  if (!ValidSetup(setup)) return nullptr;
  const SIZE dpi{setup.dpiX, setup.dpiY};
  auto canvas = NewPdfCanvas(setup.paper, dpi, nullptr, nullptr);
  if (canvas == nullptr) return nullptr;
  return UniqueDC(new DeviceContext(std::move(canvas), DeviceContext::Kind::kPrinter, dpi,
                                    setup.physicalOffset, setup.printable));
}

bool StartPdfDocument(HDC dc, PdfWriter writer) {
  if (dc == nullptr || !dc->printer() || dc->pdfOutput != nullptr || !writer) return false;
  auto output = std::make_unique<DeviceContext::PdfOutput>();
  output->writer = std::move(writer);
  auto canvas = NewPdfCanvas(dc->size(), dc->dpi(), WriteToOutput, output.get());
  if (canvas == nullptr) return false;
  dc->pdfOutput = std::move(output);
  dc->Retarget(canvas);
  return true;
}

bool NextPdfPage(HDC dc) {
  if (dc == nullptr || !dc->printer()) return false;
  cairo_show_page(dc->cr());
  return cairo_surface_status(dc->surface()) == CAIRO_STATUS_SUCCESS &&
         (dc->pdfOutput == nullptr || !dc->pdfOutput->failed);
}

bool FinishPdfDocument(HDC dc) {
  if (dc == nullptr || !dc->printer() || dc->pdfOutput == nullptr) return false;
  cairo_surface_finish(dc->surface());
  const bool written =
      cairo_surface_status(dc->surface()) == CAIRO_STATUS_SUCCESS && !dc->pdfOutput->failed;
  auto nowhere = NewPdfCanvas(dc->size(), dc->dpi(), nullptr, nullptr);
  if (nowhere != nullptr) dc->Retarget(nowhere);
  dc->pdfOutput.reset();
  return written;
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
  if (dc == nullptr || !dc->IsImage()) return CLR_INVALID;
  const RECT at = dc->LogicalToBase(RECT{x, y, x + 1, y + 1});
  if (!dc->ClipInBase().Contains(POINT{at.left, at.top})) return CLR_INVALID;
  int stride = 0;
  const uint32_t* pixels = dc->Pixels(&stride);
  return FromPixel(pixels[at.top * stride + at.left]);
}

bool ScrollImage(HDC image, const RECT& area, int32_t dx, int32_t dy,
                 const std::vector<RECT>& into) {
  if (image == nullptr || !image->IsImage()) return false;
  const RECT bounds{std::max(area.left, 0), std::max(area.top, 0),
                    std::min(area.right, image->size().cx),
                    std::min(area.bottom, image->size().cy)};
  if (bounds.IsEmpty()) return true;
  int stride = 0;
  uint32_t* pixels = image->Pixels(&stride);
  // Every pixel is read before any is written, so what moves from one
  // rectangle of `into` to another arrives whole.
  std::vector<uint32_t> copy;
  for (int32_t y = bounds.top; y < bounds.bottom; ++y) {
    copy.insert(copy.end(), pixels + y * stride + bounds.left, pixels + y * stride + bounds.right);
  }
  const RECT from{bounds.left + dx, bounds.top + dy, bounds.right + dx, bounds.bottom + dy};
  const int32_t width = bounds.Width();
  for (const RECT& part : into) {
    const RECT to = IntersectionOf(IntersectionOf(part, bounds), from);
    for (int32_t y = to.top; y < to.bottom; ++y) {
      for (int32_t x = to.left; x < to.right; ++x) {
        pixels[y * stride + x] = copy[(y - dy - bounds.top) * width + (x - dx - bounds.left)];
      }
    }
  }
  image->PixelsChanged();
  return true;
}

std::optional<ImagePixels> ReadImagePixels(HDC image) {
  if (image == nullptr || !image->IsImage()) return std::nullopt;
  int stride = 0;
  const uint32_t* words = image->Pixels(&stride);
  return ImagePixels{words, stride, image->size()};
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

bool GetObjectA(HFONT font, LOGFONTA* out) {
  if (font == nullptr || out == nullptr) return false;
  *out = font->logFont;
  return true;
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

namespace {

// The advance of one character of `length` bytes without an advance
// array: its glyph's, or an em (half an em for a single byte) when the
// face lacks it.
double AdvanceOf(const Font& font, const FontScale& scale, uint16_t code, size_t length) {
  const auto box = font.face->Glyph(code);
  return box ? scale.X(box->advance) : scale.em * scale.scaleX * (length == 2 ? 1 : 0.5);
}

// Calls `each` (code, length in bytes) for every character of the run.
template <class Each>
void ForEachCharacter(const Font& font, std::string_view bytes, Each each) {
  const bool dbcs = font.charSet == SHIFTJIS_CHARSET;
  for (size_t pos = 0; pos < bytes.size();) {
    const size_t length = dbcs ? CharLengthAt(bytes, pos) : 1;
    const uint16_t code = length == 2 ? CharCodeAt(bytes, pos) : static_cast<uint8_t>(bytes[pos]);
    each(pos, code, length);
    pos += length;
  }
}

double RunWidth(const DeviceContext& dc, std::string_view bytes) {
  const Font& font = *dc.font;
  const FontScale scale = ScaleOf(font);
  double width = 0;
  ForEachCharacter(font, bytes, [&](size_t, uint16_t code, size_t length) {
    width += AdvanceOf(font, scale, code, length) + dc.charExtra;
  });
  return width;
}

}  // namespace

int SetTextCharacterExtra(HDC dc, int extra) {
  return dc != nullptr ? std::exchange(dc->charExtra, extra) : 0;
}

int GetTextCharacterExtra(HDC dc) { return dc != nullptr ? dc->charExtra : 0; }

bool GetTextExtentPoint32A(HDC dc, const char* text, int32_t count, SIZE* size) {
  if (dc == nullptr || !dc->font || count < 0 || size == nullptr) return false;
  const double width = RunWidth(*dc, std::string_view(text, static_cast<size_t>(count)));
  *size = SIZE{static_cast<int32_t>(std::lround(width)), MetricsOf(*dc->font).tmHeight};
  return true;
}

int DrawTextA(HDC dc, const char* text, int32_t count, const RECT* rect, uint32_t format) {
  if (dc == nullptr || !dc->font || text == nullptr || rect == nullptr) return 0;
  const std::string_view all(text, count < 0 ? std::strlen(text) : static_cast<size_t>(count));
  const int32_t lineHeight = MetricsOf(*dc->font).tmHeight;
  const uint32_t align = std::exchange(dc->textAlign, TA_TOP);
  int32_t top = rect->top;
  for (size_t start = 0; start <= all.size();) {
    const size_t feed = std::min(all.find('\n', start), all.size());
    std::string_view line = all.substr(start, feed - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const int32_t width = static_cast<int32_t>(std::lround(RunWidth(*dc, line)));
    int32_t x = rect->left;
    if ((format & DT_CENTER) != 0) x += (rect->Width() - width) / 2;
    if ((format & DT_RIGHT) != 0) x = rect->right - width;
    ExtTextOutA(dc, x, top, ETO_CLIPPED, rect, line.data(), static_cast<int32_t>(line.size()),
                nullptr);
    top += lineHeight;
    start = feed + 1;
  }
  dc->textAlign = align;
  return top - rect->top;
}

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
  std::vector<PlacedGlyph> glyphs;
  const double startX = penX;
  const double startY = penY;
  ForEachCharacter(font, bytes, [&](size_t pos, uint16_t code, size_t length) {
    glyphs.push_back(PlacedGlyph{code, penX, penY});
    double advance = 0;
    if (dx != nullptr) {
      for (size_t i = 0; i < length; ++i) advance += dx[pos + i];
    } else {
      advance = AdvanceOf(font, scale, code, length) + dc->charExtra;
    }
    penX += dirX * advance;
    penY += dirY * advance;
  });
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
  // The tiles line up with the device's pixels, whatever the origins.
  const POINT toDevice = dc.LogicalToDevice();
  cairo_matrix_t matrix;
  cairo_matrix_init_translate(&matrix, toDevice.x - dc.brushOrigin.x,
                              toDevice.y - dc.brushOrigin.y);
  cairo_pattern_set_matrix(source, &matrix);
  return source;
}

void FillWithBrush(DeviceContext& dc, const Brush& brush) {
  cairo_pattern_t* source = BrushSource(dc, brush);
  cairo_set_source(dc.cr(), source);
  cairo_pattern_destroy(source);
  cairo_fill(dc.cr());
}

// The parts of a logical rectangle that drawing may reach, in base
// coordinates.
std::vector<RECT> ClippedInBase(const DeviceContext& dc, const RECT& logical) {
  Region reached(dc.LogicalToBase(logical));
  reached.Combine(dc.ClipInBase(), Region::Operation::kAnd);
  return reached.Rects();
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
  // Pattern cells count from the brush origin in device pixels.
  const POINT cellOrigin{dc->DeviceToBase().x + dc->brushOrigin.x,
                         dc->DeviceToBase().y + dc->brushOrigin.y};
  int stride = 0;
  uint32_t* pixels = dc->Pixels(&stride);
  for (const RECT& part : ClippedInBase(*dc, RECT{x, y, x + width, y + height})) {
    for (int32_t py = part.top; py < part.bottom; ++py) {
      for (int32_t px = part.left; px < part.right; ++px) {
        const auto colour =
            BrushColourAt(*dc, dc->brush, Wrap(px - cellOrigin.x), Wrap(py - cellOrigin.y));
        if (!colour && rop != DSTINVERT) continue;
        uint32_t& pixel = pixels[py * stride + px];
        pixel = 0xFF000000u | ApplyRop(rop, pixel, colour ? ToPixel(*colour) : 0);
      }
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
  if (font == &StockFont()) {
    dc->font.reset();
  } else {
    dc->font = *font;
  }
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

bool InvertRect(HDC dc, const RECT& rect) {
  Region area(rect);
  return InvertRgn(dc, &area);
}

bool FrameRect(HDC dc, const RECT& rect, HBRUSH brush) {
  Region area(rect);
  return FrameRgn(dc, &area, brush, 1, 1);
}

// ---- Clipping -------------------------------------------------------------

namespace {

// The logical box around where drawing may reach, and its shape.
int ClipShape(HDC dc, RECT* box) {
  const Region& reached = dc->ClipInBase();
  if (box != nullptr) {
    const RECT base = reached.Box();
    const POINT d = dc->LogicalToDevice();
    const POINT b = dc->DeviceToBase();
    *box = reached.IsEmpty() ? RECT{}
                             : RECT{base.left - d.x - b.x, base.top - d.y - b.y,
                                    base.right - d.x - b.x, base.bottom - d.y - b.y};
  }
  return reached.Kind();
}

// A logical rectangle as a region in device coordinates.
Region DeviceRegionOf(const DeviceContext& dc, int32_t left, int32_t top, int32_t right,
                      int32_t bottom) {
  Region region(dc.LogicalToBase(RECT{left, top, right, bottom}));
  region.Offset(-dc.DeviceToBase().x, -dc.DeviceToBase().y);
  return region;
}

// Combines the DC's clip with `region` (device coordinates). No clip
// stands for the whole device.
int CombineClip(HDC dc, const Region& region, int mode) {
  if (mode == RGN_COPY) {
    dc->clip = region;
  } else if (mode == RGN_AND && !dc->clip) {
    dc->clip = region;
  } else if (mode == RGN_OR && !dc->clip) {
    // The whole device already.
  } else {
    Region combined = dc->clip ? *dc->clip : Region(dc->DeviceBounds());
    const Region::Operation operation = mode == RGN_AND   ? Region::Operation::kAnd
                                        : mode == RGN_OR  ? Region::Operation::kOr
                                        : mode == RGN_XOR ? Region::Operation::kXor
                                                          : Region::Operation::kDiff;
    if (!combined.Combine(region, operation)) return ERROR;
    dc->clip = std::move(combined);
  }
  dc->Sync();
  return ClipShape(dc, nullptr);
}

}  // namespace

int SelectClipRgn(HDC dc, HRGN region) { return ExtSelectClipRgn(dc, region, RGN_COPY); }

int ExtSelectClipRgn(HDC dc, HRGN region, int mode) {
  if (dc == nullptr || mode < RGN_AND || mode > RGN_COPY) return ERROR;
  if (region == nullptr) {
    if (mode != RGN_COPY) return ERROR;
    dc->clip.reset();
    dc->Sync();
    return ClipShape(dc, nullptr);
  }
  return CombineClip(dc, *region, mode);
}

int IntersectClipRect(HDC dc, int32_t left, int32_t top, int32_t right, int32_t bottom) {
  if (dc == nullptr) return ERROR;
  return CombineClip(dc, DeviceRegionOf(*dc, left, top, right, bottom), RGN_AND);
}

int ExcludeClipRect(HDC dc, int32_t left, int32_t top, int32_t right, int32_t bottom) {
  if (dc == nullptr) return ERROR;
  return CombineClip(dc, DeviceRegionOf(*dc, left, top, right, bottom), RGN_DIFF);
}

int GetClipBox(HDC dc, RECT* box) {
  if (dc == nullptr || box == nullptr) return ERROR;
  return ClipShape(dc, box);
}

// ---- Saved states ---------------------------------------------------------

int SaveDC(HDC dc) {
  if (dc == nullptr) return 0;
  dc->saved.push_back(static_cast<const DcState&>(*dc));
  return static_cast<int>(dc->saved.size());
}

bool RestoreDC(HDC dc, int savedState) {
  if (dc == nullptr) return false;
  const int count = static_cast<int>(dc->saved.size());
  const int number = savedState < 0 ? count + 1 + savedState : savedState;
  if (number < 1 || number > count) return false;
  DcState& state = dc->saved[static_cast<size_t>(number - 1)];
  Canvas& restored = *state.canvas;
  if (restored.selectedInto != nullptr && restored.selectedInto != dc) return false;
  if (dc->IsMemory()) {
    dc->canvas->selectedInto = nullptr;
    restored.selectedInto = dc;
  }
  static_cast<DcState&>(*dc) = std::move(state);
  dc->saved.resize(static_cast<size_t>(number - 1));
  dc->Sync();
  return true;
}

// ---- Coordinates ----------------------------------------------------------

namespace {

bool MoveOrigin(HDC dc, POINT DcState::*origin, POINT to, POINT* previous) {
  if (dc == nullptr) return false;
  if (previous != nullptr) *previous = dc->*origin;
  dc->*origin = to;
  dc->Sync();
  return true;
}

}  // namespace

bool SetWindowOrgEx(HDC dc, int32_t x, int32_t y, POINT* previous) {
  return MoveOrigin(dc, &DcState::windowOrigin, POINT{x, y}, previous);
}

bool GetWindowOrgEx(HDC dc, POINT* origin) {
  if (dc == nullptr || origin == nullptr) return false;
  *origin = dc->windowOrigin;
  return true;
}

bool SetViewportOrgEx(HDC dc, int32_t x, int32_t y, POINT* previous) {
  return MoveOrigin(dc, &DcState::viewportOrigin, POINT{x, y}, previous);
}

bool OffsetViewportOrgEx(HDC dc, int32_t dx, int32_t dy, POINT* previous) {
  if (dc == nullptr) return false;
  const POINT from = dc->viewportOrigin;
  return MoveOrigin(dc, &DcState::viewportOrigin, POINT{from.x + dx, from.y + dy}, previous);
}

// ---- Bitmaps --------------------------------------------------------------

void BitmapDeleter::operator()(Bitmap* bitmap) const { delete bitmap; }

UniqueDC CreateCompatibleDC(HDC dc) {
  const SIZE dpi = dc != nullptr
                       ? SIZE{GetDeviceCaps(dc, LOGPIXELSX), GetDeviceCaps(dc, LOGPIXELSY)}
                       : g_screenDpi;
  return DeviceContext::Memory(dpi);
}

UniqueBitmap CreateCompatibleBitmap(HDC dc, int32_t width, int32_t height) {
  if (dc == nullptr) return nullptr;
  auto canvas = NewImageCanvas(width, height, RGB(0, 0, 0));
  if (canvas == nullptr) return nullptr;
  UniqueBitmap bitmap(new Bitmap);
  bitmap->canvas = std::move(canvas);
  return bitmap;
}

int32_t GetObject(HBITMAP bitmap, int32_t size, BITMAP* out) {
  constexpr auto kSize = static_cast<int32_t>(sizeof(BITMAP));
  if (bitmap == nullptr || bitmap->canvas == nullptr || out == nullptr || size < kSize) return 0;
  *out = BITMAP{bitmap->canvas->size.cx, bitmap->canvas->size.cy};
  return kSize;
}

HBITMAP SelectObject(HDC dc, HBITMAP bitmap) {
  if (dc == nullptr || bitmap == nullptr || !dc->IsMemory()) return nullptr;
  if (bitmap->defaultOf != nullptr && bitmap->defaultOf != dc) return nullptr;
  Canvas& chosen = *bitmap->canvas;
  if (chosen.selectedInto != nullptr && chosen.selectedInto != dc) return nullptr;
  dc->canvas->selectedInto = nullptr;
  chosen.selectedInto = dc;
  dc->canvas = bitmap->canvas;
  dc->Sync();
  return std::exchange(dc->bitmapHandle, bitmap);
}

namespace {

// The source block of a copy, taken out first so that source and
// destination may overlap. Pixels outside the source image are absent.
class SourceBlock {
 public:
  // `base`: the block in the source's base coordinates.
  SourceBlock(DeviceContext& source, const RECT& base)
      : inside_(IntersectionOf(base, RECT{0, 0, source.size().cx, source.size().cy})) {
    int stride = 0;
    const uint32_t* pixels = source.Pixels(&stride);
    for (int32_t y = inside_.top; y < inside_.bottom; ++y) {
      copy_.insert(copy_.end(), pixels + y * stride + inside_.left,
                   pixels + y * stride + inside_.right);
    }
  }

  // The part of the block inside the source image.
  Region Present() const { return Region(inside_); }
  uint32_t At(int32_t x, int32_t y) const {
    return copy_[static_cast<size_t>((y - inside_.top) * inside_.Width() + (x - inside_.left))];
  }

 private:
  RECT inside_;
  std::vector<uint32_t> copy_;
};

bool CopyToImage(HDC destination, const RECT& to, HDC source, POINT from) {
  const RECT sourceBase =
      source->LogicalToBase(RECT{from.x, from.y, from.x + to.Width(), from.y + to.Height()});
  const SourceBlock block(*source, sourceBase);
  const RECT destinationBase = destination->LogicalToBase(to);
  // The destination pixels whose source pixel exists.
  Region reached = block.Present();
  reached.Offset(destinationBase.left - sourceBase.left, destinationBase.top - sourceBase.top);
  reached.Combine(destination->ClipInBase(), Region::Operation::kAnd);
  int stride = 0;
  uint32_t* pixels = destination->Pixels(&stride);
  for (const RECT& part : reached.Rects()) {
    for (int32_t y = part.top; y < part.bottom; ++y) {
      for (int32_t x = part.left; x < part.right; ++x) {
        pixels[y * stride + x] = block.At(x - destinationBase.left + sourceBase.left,
                                          y - destinationBase.top + sourceBase.top);
      }
    }
  }
  destination->PixelsChanged();
  return true;
}

bool CopyToPrinter(HDC destination, const RECT& to, HDC source, POINT from) {
  cairo_surface_flush(source->surface());
  const RECT sourceBase =
      source->LogicalToBase(RECT{from.x, from.y, from.x + to.Width(), from.y + to.Height()});
  cairo_t* cr = destination->cr();
  cairo_save(cr);
  cairo_set_source_surface(cr, source->surface(), to.left - sourceBase.left,
                           to.top - sourceBase.top);
  cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
  cairo_new_path(cr);
  cairo_rectangle(cr, to.left, to.top, to.Width(), to.Height());
  cairo_fill(cr);
  cairo_restore(cr);
  return true;
}

}  // namespace

bool BitBlt(HDC destination, int32_t x, int32_t y, int32_t width, int32_t height, HDC source,
            int32_t sourceX, int32_t sourceY, uint32_t rop) {
  if (destination == nullptr || width < 0 || height < 0) return false;
  if (rop == PATCOPY || rop == DSTINVERT) return PatBlt(destination, x, y, width, height, rop);
  if (rop != SRCCOPY || source == nullptr || !source->IsImage()) return false;
  const RECT to{x, y, x + width, y + height};
  const POINT from{sourceX, sourceY};
  return destination->printer() ? CopyToPrinter(destination, to, source, from)
                                : CopyToImage(destination, to, source, from);
}

}  // namespace platform
