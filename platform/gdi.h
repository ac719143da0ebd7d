// Device contexts and the drawing operations the document objects use,
// in the shape of the Windows GDI calls, drawn with Cairo.
//
// A screen or memory DC draws into an image in memory (its pixels can be
// read back and written out as PNG); a printer DC draws into a PDF file
// at its own resolution, with its device origin at the printable area's
// corner, a physical offset away from the paper's. Shapes are drawn
// without antialiasing, text with it.
//
// Drawing calls take logical coordinates; a DC maps them to its device
// pixels by its window and viewport origins (device = logical - window
// origin + viewport origin). A window DC's device pixels start at its
// client area's corner. Drawing stays inside the DC's clip and, under it,
// inside what the device lets the DC reach (for a window DC its visible
// part, or the part being painted).
//
// Fonts come from the current font service (platform/font_service.h).
// Text arrives as CP932 bytes; widths and advance arrays are per byte, a
// double-byte character's advance being the sum of its two slots.
//
// A DC keeps a copy of what is selected into it, so an object may be
// deleted while selected. The handle SelectObject answers names what was
// selected before; as with GDI, selecting it again after it was deleted
// is an error. A bitmap's pixels stay with the memory DC it is selected
// into until another is selected. Handles are owned through the Unique*
// types.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/font_service.h"
#include "platform/windef.h"

namespace platform {

// ---- Device contexts --------------------------------------------------

struct DcDeleter {
  void operator()(DeviceContext* dc) const;
};
using UniqueDC = std::unique_ptr<DeviceContext, DcDeleter>;

inline constexpr int32_t kDefaultScreenDpi = 96;

// A screen or memory DC over a white image of the given size. A
// resolution of 0 takes the screen's.
UniqueDC CreateImageDC(int32_t width, int32_t height, int32_t dpiX = 0, int32_t dpiY = 0);

// Moves the pixels inside `area` of an image DC by dx, dy, all at once,
// writing only where they land inside the `into` rectangles (image
// coordinates); what moves out of the area is dropped, what it leaves
// keeps its old pixels.
bool ScrollImage(HDC image, const RECT& area, int32_t dx, int32_t dy,
                 const std::vector<RECT>& into);

// A DC drawing onto an image DC's pixels with its device origin at
// `origin` of the image, reaching only the rectangles (image coordinates;
// none clips all away) whatever its own clip says.
UniqueDC CreateViewDC(HDC image, POINT origin, const std::vector<RECT>& clip);
// Points a DC made by CreateViewDC at `image` again with a new origin and
// reach, keeping what is selected and set in it and in its saved states:
// a window's own DC follows its window.
bool RetargetViewDC(HDC view, HDC image, POINT origin, const std::vector<RECT>& clip);

struct PrinterSetup {
  int32_t dpiX = 600;
  int32_t dpiY = 600;
  SIZE paper;            // device pixels
  POINT physicalOffset;  // device pixels from the paper's corner to the printable area's
  SIZE printable;        // device pixels; none: the paper less the offset on every side
};
// A printer DC writing a PDF file; nullptr when the file cannot be made.
UniqueDC CreatePdfDC(const std::string& path, const PrinterSetup& setup);

// A printer DC with no document yet: it measures and answers its
// capabilities, and what it draws goes nowhere until a document starts.
UniqueDC CreatePrinterIC(const PrinterSetup& setup);
// Takes each piece of a PDF document as it is made; false refuses it and
// fails the document.
using PdfWriter = std::function<bool(const unsigned char* data, unsigned int size)>;
// From now on the printer DC draws the pages of a new PDF document handed
// to `writer`, keeping what is selected and set in it.
bool StartPdfDocument(HDC dc, PdfWriter writer);
// Ends the current page of a printer DC and starts the next.
bool NextPdfPage(HDC dc);
// Writes out the rest of the document; false when Cairo or the writer
// failed on the way. The DC then draws nowhere again.
bool FinishPdfDocument(HDC dc);

// The desktop DC: a small image DC at the screen resolution, for
// measuring. Owned by the process; never deleted by callers.
HDC GetDesktopDC();

// The screen resolution, 96 dpi unless a test sets another. Changing it
// does not affect DCs that exist already.
void SetScreenResolution(int32_t dpiX, int32_t dpiY);
class ScopedScreenResolution {
 public:
  ScopedScreenResolution(int32_t dpiX, int32_t dpiY);
  ~ScopedScreenResolution();
  ScopedScreenResolution(const ScopedScreenResolution&) = delete;
  ScopedScreenResolution& operator=(const ScopedScreenResolution&) = delete;

 private:
  SIZE previous_;
};

inline constexpr int HORZRES = 8;
inline constexpr int VERTRES = 10;
inline constexpr int LOGPIXELSX = 88;
inline constexpr int LOGPIXELSY = 90;
inline constexpr int PHYSICALWIDTH = 110;
inline constexpr int PHYSICALHEIGHT = 111;
inline constexpr int PHYSICALOFFSETX = 112;
inline constexpr int PHYSICALOFFSETY = 113;
inline constexpr int TECHNOLOGY = 2;
inline constexpr int DT_RASDISPLAY = 1;
inline constexpr int DT_RASPRINTER = 2;
int32_t GetDeviceCaps(HDC dc, int index);

inline constexpr COLORREF CLR_INVALID = 0xFFFFFFFF;
// The pixel of an image DC at a logical point; CLR_INVALID outside the
// clip or the image, or on a printer.
COLORREF GetPixel(HDC dc, int32_t x, int32_t y);
bool WritePng(HDC dc, const std::string& path);
// The pixels of an image DC for showing them elsewhere: 0xAARRGGBB words in
// the host's byte order, rows `stride` words apart. Good until the image
// is next drawn on or resized.
struct ImagePixels {
  const uint32_t* words = nullptr;
  int32_t stride = 0;
  SIZE size;
};
std::optional<ImagePixels> ReadImagePixels(HDC image);

// ---- Fonts --------------------------------------------------------------

inline constexpr int32_t FW_NORMAL = 400;
inline constexpr int32_t FW_BOLD = 700;
inline constexpr uint32_t TRUETYPE_FONTTYPE = 4;

struct LOGFONTA {
  int32_t lfHeight = 0;      // < 0: em height; > 0: cell height (pixels)
  int32_t lfWidth = 0;       // average character width; 0 keeps the face's proportions
  int32_t lfEscapement = 0;  // baseline angle, tenths of a degree
  int32_t lfOrientation = 0;
  int32_t lfWeight = 0;
  uint8_t lfItalic = 0;
  uint8_t lfUnderline = 0;
  uint8_t lfStrikeOut = 0;
  uint8_t lfCharSet = 0;
  uint8_t lfOutPrecision = 0;
  uint8_t lfClipPrecision = 0;
  uint8_t lfQuality = 0;
  uint8_t lfPitchAndFamily = 0;
  char lfFaceName[32] = {};
};
static_assert(sizeof(LOGFONTA) == 60);

struct TEXTMETRICA {
  int32_t tmHeight = 0;
  int32_t tmAscent = 0;
  int32_t tmDescent = 0;
  int32_t tmAveCharWidth = 0;
  int32_t tmMaxCharWidth = 0;
  int32_t tmWeight = 0;
  uint8_t tmItalic = 0;
  uint8_t tmCharSet = 0;
};

// Outline metrics in the units of the selected font: a font made at an
// em height of the EM square measures in design units.
struct OUTLINETEXTMETRICA {
  TEXTMETRICA otmTextMetrics;
  uint32_t otmEMSquare = 0;
  int32_t otmAscent = 0;
  int32_t otmDescent = 0;  // below the baseline, positive
};

struct ABC {
  int32_t abcA = 0;
  uint32_t abcB = 0;
  int32_t abcC = 0;
};

class Font;
struct FontDeleter {
  void operator()(Font* font) const;
};
using HFONT = Font*;
using UniqueFont = std::unique_ptr<Font, FontDeleter>;

// Answers 0 to stop the enumeration.
using FONTENUMPROCA =
    std::function<int(const LOGFONTA& font, const TEXTMETRICA& metrics, uint32_t fontType)>;
// Lists the faces of `filter.lfCharSet` (DEFAULT_CHARSET: every set) and,
// when `filter.lfFaceName` is not empty, of that name only. Answers the
// last value the callback returned, 1 when it was never called.
int EnumFontFamiliesExA(HDC dc, const LOGFONTA& filter, const FONTENUMPROCA& callback);

// nullptr when no installed face has the name: there is no substitution.
UniqueFont CreateFontIndirectA(const LOGFONTA& font);
bool GetObjectA(HFONT font, LOGFONTA* out);

// Copies the selected font's face name (NUL-ended, at most `size` bytes)
// and answers the bytes copied with the NUL; 0 without a font.
int GetTextFaceA(HDC dc, int size, char* face);
bool GetTextMetricsA(HDC dc, TEXTMETRICA* out);
bool GetOutlineTextMetricsA(HDC dc, OUTLINETEXTMETRICA* out);
// Advance widths of codes first..last; false when a code has no glyph.
bool GetCharWidthA(HDC dc, uint32_t first, uint32_t last, int32_t* out);
bool GetCharABCWidthsA(HDC dc, uint32_t first, uint32_t last, ABC* out);

inline constexpr uint32_t TA_TOP = 0;
inline constexpr uint32_t TA_BASELINE = 24;
inline constexpr int TRANSPARENT = 1;
inline constexpr int OPAQUE = 2;
inline constexpr uint32_t ETO_CLIPPED = 4;

uint32_t SetTextAlign(HDC dc, uint32_t align);
int SetBkMode(HDC dc, int mode);
COLORREF SetBkColor(HDC dc, COLORREF colour);
COLORREF SetTextColor(HDC dc, COLORREF colour);
// Draws `count` bytes from (x, y); `dx` holds one advance per byte or is
// null for the font's own advances. With ETO_CLIPPED nothing falls
// outside `clip`.
bool ExtTextOutA(HDC dc, int32_t x, int32_t y, uint32_t options, const RECT* clip, const char* text,
                 int32_t count, const int32_t* dx);

// Pixels added after every character (a double-byte character counts
// once) by ExtTextOutA without an advance array, by DrawTextA and by
// GetTextExtentPoint32A; answers the previous value. 0 for a new DC.
int SetTextCharacterExtra(HDC dc, int extra);
int GetTextCharacterExtra(HDC dc);
// The width of `count` bytes of text in the selected font (the advances
// ExtTextOutA would take, with the character extra) and the font's
// height; false without a font.
bool GetTextExtentPoint32A(HDC dc, const char* text, int32_t count, SIZE* size);

// DrawTextA formats: how each line sits across the rectangle.
inline constexpr uint32_t DT_LEFT = 0x0000;
inline constexpr uint32_t DT_CENTER = 0x0001;
inline constexpr uint32_t DT_RIGHT = 0x0002;
// Draws `count` bytes (-1: up to the NUL) from the rectangle's top, one
// line of the font's height for each line feed (a carriage return before
// it is dropped), each line aligned as the format says, nothing outside
// the rectangle. Answers the height of the lines, 0 without a font.
int DrawTextA(HDC dc, const char* text, int32_t count, const RECT* rect, uint32_t format);

// ---- Brushes, pens, paths, regions --------------------------------------

class Brush;
class Pen;
class Region;
struct BrushDeleter {
  void operator()(Brush* brush) const;
};
struct PenDeleter {
  void operator()(Pen* pen) const;
};
struct RegionDeleter {
  void operator()(Region* region) const;
};
using HBRUSH = Brush*;
using HPEN = Pen*;
using HRGN = Region*;
using UniqueBrush = std::unique_ptr<Brush, BrushDeleter>;
using UniquePen = std::unique_ptr<Pen, PenDeleter>;
using UniqueRegion = std::unique_ptr<Region, RegionDeleter>;

inline constexpr int HS_HORIZONTAL = 0;
inline constexpr int HS_VERTICAL = 1;
inline constexpr int HS_FDIAGONAL = 2;
inline constexpr int HS_BDIAGONAL = 3;
inline constexpr int HS_CROSS = 4;
inline constexpr int HS_DIAGCROSS = 5;

// Eight rows of a monochrome 8 x 8 pattern, top first, leftmost pixel in
// the high bit. Where a bit is 0 the brush has the DC's text colour, where
// it is 1 the background colour, both taken when the brush is used.
using MonoPattern = std::array<uint8_t, 8>;

UniqueBrush CreateSolidBrush(COLORREF colour);
UniqueBrush CreatePatternBrush(const MonoPattern& pattern);
// Hatch lines in the colour; between them the background colour in OPAQUE
// mode, nothing in TRANSPARENT mode.
UniqueBrush CreateHatchBrush(int hatch, COLORREF colour);
bool SetBrushOrgEx(HDC dc, int32_t x, int32_t y, POINT* previous);

inline constexpr uint32_t PATCOPY = 0x00F00021;
inline constexpr uint32_t PATINVERT = 0x005A0049;
inline constexpr uint32_t DSTINVERT = 0x00550009;
// Destination AND pattern, destination OR pattern.
inline constexpr uint32_t PATAND = 0x00A000C9;
inline constexpr uint32_t PATOR = 0x00FA0089;
// Only PATCOPY reaches a printer; the others need an image.
bool PatBlt(HDC dc, int32_t x, int32_t y, int32_t width, int32_t height, uint32_t rop);
bool FillRect(HDC dc, const RECT& rect, HBRUSH brush);

inline constexpr uint32_t PS_SOLID = 0;
inline constexpr uint32_t PS_USERSTYLE = 7;
inline constexpr uint32_t PS_NULL = 5;
inline constexpr uint32_t PS_ENDCAP_ROUND = 0x000;
inline constexpr uint32_t PS_ENDCAP_SQUARE = 0x100;
inline constexpr uint32_t PS_ENDCAP_FLAT = 0x200;
inline constexpr uint32_t PS_JOIN_ROUND = 0x0000;
inline constexpr uint32_t PS_JOIN_BEVEL = 0x1000;
inline constexpr uint32_t PS_JOIN_MITER = 0x2000;
inline constexpr uint32_t PS_COSMETIC = 0x00000;
inline constexpr uint32_t PS_GEOMETRIC = 0x10000;

struct LOGBRUSH {
  uint32_t lbStyle = 0;  // solid
  COLORREF lbColor = 0;
  uintptr_t lbHatch = 0;
};

// A cosmetic pen of the style's line kind (PS_SOLID or PS_NULL).
UniquePen CreatePen(uint32_t style, int32_t width, COLORREF colour);
// A geometric pen; with PS_USERSTYLE, `styles` alternates drawn and
// skipped lengths in pixels.
UniquePen ExtCreatePen(uint32_t style, uint32_t width, const LOGBRUSH& brush, uint32_t styleCount,
                       const uint32_t* styles);

HFONT SelectObject(HDC dc, HFONT font);
HPEN SelectObject(HDC dc, HPEN pen);
HBRUSH SelectObject(HDC dc, HBRUSH brush);

// A one-pixel border along the inside of the rectangle.
bool FrameRect(HDC dc, const RECT& rect, HBRUSH brush);
bool InvertRect(HDC dc, const RECT& rect);

// Outside a path, LineTo draws with the pen at once; between BeginPath
// and EndPath the figures are gathered for StrokePath.
bool BeginPath(HDC dc);
bool EndPath(HDC dc);
bool StrokePath(HDC dc);
bool MoveToEx(HDC dc, int32_t x, int32_t y, POINT* previous);
bool LineTo(HDC dc, int32_t x, int32_t y);
// Cubic Béziers from the current point, three points each.
bool PolyBezierTo(HDC dc, const POINT* points, uint32_t count);
// Fills with the brush and outlines with the pen.
bool Polygon(HDC dc, const POINT* points, int32_t count);

// Regions are sets of pixels, right and bottom exclusive like rectangles.
inline constexpr int RGN_AND = 1;
inline constexpr int RGN_OR = 2;
inline constexpr int RGN_XOR = 3;
inline constexpr int RGN_DIFF = 4;
inline constexpr int RGN_COPY = 5;
// What the region calls answer: ERROR on failure, else the result's shape.
inline constexpr int ERROR = 0;
inline constexpr int NULLREGION = 1;
inline constexpr int SIMPLEREGION = 2;
inline constexpr int COMPLEXREGION = 3;
// Polygon fill modes: alternate crossings, or any nonzero winding.
inline constexpr int ALTERNATE = 1;
inline constexpr int WINDING = 2;

// The region calls answer nullptr or ERROR when memory runs out.
UniqueRegion CreateRectRgn(int32_t left, int32_t top, int32_t right, int32_t bottom);
UniqueRegion CreateRectRgnIndirect(const RECT& rect);
// A rectangle with corners rounded by an ellipse of the given size.
UniqueRegion CreateRoundRectRgn(int32_t left, int32_t top, int32_t right, int32_t bottom,
                                int32_t ellipseWidth, int32_t ellipseHeight);
// The pixels whose centres the closed outline encloses; nullptr for fewer
// than two points or an unknown fill mode.
UniqueRegion CreatePolygonRgn(const POINT* points, int32_t count, int fillMode);
// `destination` may be `a` or `b`; RGN_COPY ignores `b`. On ERROR the
// destination is left as it was.
int CombineRgn(HRGN destination, HRGN a, HRGN b, int mode);
int OffsetRgn(HRGN region, int32_t dx, int32_t dy);
bool PtInRegion(HRGN region, int32_t x, int32_t y);
// Whether any pixel of the rectangle lies in the region.
bool RectInRegion(HRGN region, const RECT& rect);
// The smallest rectangle around the region, empty for an empty one.
int GetRgnBox(HRGN region, RECT* box);
bool EqualRgn(HRGN a, HRGN b);

// Test hook: while the guard lives, making and combining region handles
// fails as it does when memory runs out.
class ScopedRegionFailure {
 public:
  ScopedRegionFailure();
  ~ScopedRegionFailure();
  ScopedRegionFailure(const ScopedRegionFailure&) = delete;
  ScopedRegionFailure& operator=(const ScopedRegionFailure&) = delete;
};

// Region drawing takes the region in logical coordinates.
bool FillRgn(HDC dc, HRGN region, HBRUSH brush);
// Fills with the DC's brush.
bool PaintRgn(HDC dc, HRGN region);
// Paints a border `width` pixels wide and `height` high along the inside
// of the region's edges, holes included.
bool FrameRgn(HDC dc, HRGN region, HBRUSH brush, int32_t width, int32_t height);
// Inverts every pixel of the region once.
bool InvertRgn(HDC dc, HRGN region);

// ---- Clipping, saved states, origins --------------------------------------

// A DC's clip is a region in device coordinates, copied from what it is
// given; without one the whole device is drawn on. Each call answers the
// shape of where drawing now reaches (as GetClipBox), ERROR on failure.
// SelectClipRgn with no region removes the clip.
int SelectClipRgn(HDC dc, HRGN region);
// Combines the clip with the region (RGN_COPY: replaces it; with no region
// it removes the clip). Without a clip the whole device stands for it.
int ExtSelectClipRgn(HDC dc, HRGN region, int mode);
// Rectangles in logical coordinates.
int IntersectClipRect(HDC dc, int32_t left, int32_t top, int32_t right, int32_t bottom);
int ExcludeClipRect(HDC dc, int32_t left, int32_t top, int32_t right, int32_t bottom);
// The smallest logical rectangle around where drawing reaches.
int GetClipBox(HDC dc, RECT* box);

// Keeps the selected objects, colours, modes, origins, current position
// and clip; answers how many states are kept now, 0 on failure.
int SaveDC(HDC dc);
// Brings back the state SaveDC numbered `saved` (negative: counted back,
// -1 the last kept) and drops it and those kept after it. False when
// there is no such state, or its bitmap is now selected into another DC.
bool RestoreDC(HDC dc, int saved);

bool SetWindowOrgEx(HDC dc, int32_t x, int32_t y, POINT* previous);
bool GetWindowOrgEx(HDC dc, POINT* origin);
bool SetViewportOrgEx(HDC dc, int32_t x, int32_t y, POINT* previous);
bool OffsetViewportOrgEx(HDC dc, int32_t dx, int32_t dy, POINT* previous);

// ---- Bitmaps and memory DCs -----------------------------------------------

class Bitmap;
struct BitmapDeleter {
  void operator()(Bitmap* bitmap) const;
};
using HBITMAP = Bitmap*;
using UniqueBitmap = std::unique_ptr<Bitmap, BitmapDeleter>;

// A memory DC at the resolution of `dc` (none: the screen's), drawing into
// the bitmap selected into it: first a white 1 x 1 one of its own.
UniqueDC CreateCompatibleDC(HDC dc);
// A black colour bitmap; nullptr for a size that is not positive.
UniqueBitmap CreateCompatibleBitmap(HDC dc, int32_t width, int32_t height);
// Only into a memory DC, and fails for a bitmap selected into another one.
HBITMAP SelectObject(HDC dc, HBITMAP bitmap);

// The bitmap's width and height as GetObject reads them into a BITMAP.
struct BITMAP {
  int32_t bmWidth = 0;
  int32_t bmHeight = 0;
};
// Answers the bytes written (sizeof(BITMAP)), 0 for no bitmap or too small a buffer.
int32_t GetObject(HBITMAP bitmap, int32_t size, BITMAP* out);

inline constexpr uint32_t SRCCOPY = 0x00CC0020;
// SRCCOPY copies from an image DC (the same one too, however the blocks
// overlap); what lies outside the source image is left alone. PATCOPY
// and DSTINVERT work as with PatBlt and take no source.
bool BitBlt(HDC destination, int32_t x, int32_t y, int32_t width, int32_t height, HDC source,
            int32_t sourceX, int32_t sourceY, uint32_t rop);

}  // namespace platform
