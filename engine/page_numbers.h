// The page number of a page, drawn on screen and on paper in the
// page-number area of the document style, in a font of its own.
#pragma once

#include <cstdint>

#include "engine/doc_style.h"
#include "model/draw_device.h"
#include "model/font_table.h"
#include "model/font_use_list.h"
#include "platform/windef.h"

// Where Draw is going: the screen, the printer, or whatever the device
// context's technology says.
inline constexpr int32_t kPageNumberToScreen = 1;
inline constexpr int32_t kPageNumberToPrinter = 2;

// What the engine tells the page-number renderer about its device.
struct PageNumberDevice {
  platform::HDC referenceDC = nullptr;
  int32_t resolutionX = 0;
  int32_t resolutionY = 0;
  int16_t vertical = 0;
  platform::COLORREF textColour = 0;
  platform::COLORREF backgroundColour = 0;
  int16_t zoom = 1;
  int32_t screenSuppression = 0;  // non-zero hides page numbers on screen
};

class CVedPageNumber : public CDrawDevice {
 public:
  static constexpr int32_t kNoFont = -1;

  explicit CVedPageNumber(CFontTable& table = RendererFontTable());
  ~CVedPageNumber() override = default;

  void SetSettings(const PageNumberBlock& block) { settings_ = block; }
  // Keeps the device and realises the font for it.
  void SetDevice(const PageNumberDevice& device);
  // Page `page` of `pageCount`; `target` as kPageNumberTo*.
  void Draw(platform::HDC dc, int32_t page, int32_t pageCount, int32_t target);

  const PageNumberBlock& Settings() const { return settings_; }
  const PageNumberDevice& Device() const { return device_; }
  int32_t FontIndex() const { return fontIndex_; }
  CFontUseList& FontList() { return fonts_; }

 private:
  bool IsScreen(platform::HDC dc, int32_t target) const;
  int32_t TextWidth(const char* text, int32_t length) const;

  CFontUseList fonts_;
  PageNumberBlock settings_;
  PageNumberDevice device_{.textColour = 0xFFFFFF};
  int32_t fontIndex_ = kNoFont;
};
