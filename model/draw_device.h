// The drawing device: a device context with the twips-to-device transform
// and the drawing operations every document object uses. Lengths are
// twips unless said otherwise; a device coordinate is
// MulDiv(twips * zoom, resolution, 1440), less the physical offset on a
// printer.
#pragma once

#include <cstdint>

#include "model/attribute_records.h"
#include "platform/gdi.h"
#include "platform/windef.h"

class CFontUseList;

// A font as the first 40 bytes of a CharFormat.
struct FontRecord {
  char face[kFaceNameSize] = {};
  int32_t size = 0;  // tenths of a point
  uint8_t heightScale = 0;
  uint8_t widthScale = 0;
  uint8_t bold = 0;
  uint8_t italic = 0;
  bool operator==(const FontRecord&) const = default;
};
static_assert(sizeof(FontRecord) == 40);

// Printer flag values.
inline constexpr int32_t kNotDrawing = -1;
inline constexpr int32_t kDrawingScreen = 0;
inline constexpr int32_t kDrawingPrinter = 1;

// Text run effects.
inline constexpr int32_t kEffectPlain = 0;
inline constexpr int32_t kEffectShadow = 1;
inline constexpr int32_t kEffectOutline = 2;

// Line kinds; any other kind is dotted.
inline constexpr int32_t kLineSingle = 16;
inline constexpr int32_t kLineDouble = 32;
inline constexpr int32_t kLineWavy = 64;
inline constexpr int32_t kLineDashed = 80;
inline constexpr int32_t kLineDashDot = 96;
inline constexpr int32_t kLineDashDotDot = 112;

// ShadeRect patterns: -1 solid, 1-6 the hatchings.
inline constexpr int32_t kShadeSolid = -1;

struct TextRun {
  int32_t x = 0;  // start of the baseline
  int32_t y = 0;
  platform::RECT clip;
  const char* text = nullptr;
  int32_t count = 0;
  const int32_t* widths = nullptr;  // one advance per byte, or none
  int32_t fontId = -1;
  int32_t effect = kEffectPlain;
  platform::COLORREF colour = 0;
  platform::COLORREF secondColour = 0;  // the outline effect's inner colour
  platform::COLORREF boxColour = 0;     // boxes around full-width spaces
};

class CDrawDevice {
 public:
  CDrawDevice();
  virtual ~CDrawDevice();
  CDrawDevice(const CDrawDevice&) = delete;
  CDrawDevice& operator=(const CDrawDevice&) = delete;

  // The font of the control marks and whether marks and full-width-space
  // boxes are drawn.
  virtual void SetSymbolFont(const FontRecord& font, int32_t marks);
  // Starts drawing on `dc` (printer flag kDrawingScreen or kDrawingPrinter)
  // with the fonts of `fonts`.
  virtual void BeginDraw(platform::HDC dc, int32_t printer, CFontUseList* fonts);
  virtual void EndDraw();
  virtual void ShadeRect(int32_t x, int32_t y, int32_t width, int32_t height, int32_t pattern,
                         platform::COLORREF colour);
  virtual void DrawTextRun(const TextRun& run);
  // `width` in tenths of a point.
  virtual void DrawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t kind, int32_t width,
                        platform::COLORREF colour);
  virtual void DrawFrame(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t kind,
                         int32_t width, platform::COLORREF colour);
  // One byte of the symbol font at a baseline point; screen only.
  virtual void DrawChar(int32_t x, int32_t y, uint8_t code, platform::COLORREF colour);
  // A filled triangle pointing left (direction 0) or right; screen only.
  virtual void FillMark(int32_t x, int32_t y, int32_t direction, platform::COLORREF colour);
  virtual void InvertRegions(const platform::RECT* rects, int32_t count);

  // The editing surface's line: device units on its own DC; the wavy kind
  // is drawn one pixel wide.
  static void DrawLineSegment(platform::HDC dc, int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                              int32_t kind, int32_t width, platform::COLORREF colour);

  platform::HDC GetDC() const { return dc_; }
  int32_t GetPrinterFlag() const { return printer_; }
  int32_t GetZoom() const { return zoom_; }
  const FontRecord& GetSymbolFont() const { return symbol_; }
  int32_t GetMarks() const { return marks_; }

 protected:
  int32_t ToDeviceX(int32_t twips) const;
  int32_t ToDeviceY(int32_t twips) const;
  // A length across the axes, without the printer offset.
  int32_t LengthX(int32_t twips) const;
  int32_t LengthY(int32_t twips) const;
  CFontUseList* Fonts() const { return fonts_; }

 private:
  void DrawRun(const TextRun& run, const int32_t* advances, platform::RECT clip,
               platform::POINT origin);
  void DrawSpaceBoxes(const TextRun& run, const int32_t* advances, platform::POINT origin,
                      int32_t ascent);
  int32_t PenWidth(int32_t twips, bool horizontal) const;

  platform::HDC dc_ = nullptr;
  int32_t printer_ = kNotDrawing;
  int32_t resolutionX_ = 0;
  int32_t resolutionY_ = 0;
  int32_t zoom_ = 1;
  CFontUseList* fonts_ = nullptr;
  FontRecord symbol_;
  platform::UniqueFont symbolFont_;
  int32_t symbolMadeFor_ = 0;  // zoom times vertical resolution
  int32_t marks_ = 1;
  int32_t offsetX_ = 0;
  int32_t offsetY_ = 0;
};
