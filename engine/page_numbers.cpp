#include "engine/page_numbers.h"

#include <cstdio>
#include <cstring>
#include <numeric>
#include <vector>

#include "engine/texts.h"
#include "platform/gdi.h"

namespace {

constexpr int32_t kDefaultSize = 105;  // tenths of a point
constexpr int32_t kVerticalEscapement = 900;
constexpr platform::COLORREF kPrinterColour = 0;
constexpr platform::COLORREF kGrey = 0x808080;
constexpr int16_t kAlignStart = 1;
constexpr int16_t kAlignEnd = 3;
constexpr int16_t kStyleDashed = 2;
constexpr int16_t kStyleOfLast = 3;
// Room for two numbers of any int32 value and the separators.
constexpr size_t kTextSize = 32;

constexpr const char* kFallbackFaces[] = {kPageNumberFallbackMincho, kPageNumberFallbackGothic,
                                          kPageNumberFallbackSymbol};

CharFormat RequestOf(const PageNumberBlock& block) {
  CharFormat format;
  std::memcpy(format.face, block.face, kFaceNameSize - 1);
  format.size = block.fontSize;
  format.heightScale = block.heightScale;
  format.widthScale = block.widthScale;
  format.bold = block.bold;
  format.italic = block.italic;
  return format;
}

void SetFace(CharFormat& format, const char* face) {
  std::memset(format.face, 0, kFaceNameSize);
  std::strncpy(format.face, face, kFaceNameSize - 1);
}

}  // namespace

CVedPageNumber::CVedPageNumber(CFontTable& table) : fonts_(table) {
  std::strncpy(settings_.face, kPageNumberDefaultFace, kFaceNameSize - 1);
  settings_.fontSize = kDefaultSize;
}

void CVedPageNumber::SetDevice(const PageNumberDevice& device) {
  device_ = device;
  fonts_.SwapResolution(device.resolutionX, device.resolutionY);
  fonts_.Clear();
  CharFormat request = RequestOf(settings_);
  const int32_t escapement = device.vertical != 0 ? kVerticalEscapement : 0;
  fontIndex_ = kNoFont;
  int32_t id = kNoFont;
  bool found = fonts_.SelectFormatFont(device.referenceDC, request, &id, escapement) != nullptr;
  for (const char* face : kFallbackFaces) {
    if (found) break;
    SetFace(request, face);
    found = fonts_.SelectFormatFont(device.referenceDC, request, &id, escapement) != nullptr;
  }
  if (found) fontIndex_ = id;
  fonts_.SetZoom(device.zoom);
}

bool CVedPageNumber::IsScreen(platform::HDC dc, int32_t target) const {
  if (target == kPageNumberToScreen) return true;
  if (target == kPageNumberToPrinter) return false;
  return platform::GetDeviceCaps(dc, platform::TECHNOLOGY) == platform::DT_RASDISPLAY;
}

int32_t CVedPageNumber::TextWidth(const char* text, int32_t length) const {
  std::vector<int32_t> widths(static_cast<size_t>(length));
  fonts_.GetCharWidths(fontIndex_, text, length, widths.data());
  return std::accumulate(widths.begin(), widths.end(), 0);
}

void CVedPageNumber::Draw(platform::HDC dc, int32_t page, int32_t pageCount, int32_t target) {
  if (settings_.shown == 0 || fontIndex_ == kNoFont) return;
  const int32_t number = settings_.firstNumber + page - 1;
  if (number < 1) return;
  const int32_t last = settings_.firstNumber + pageCount - 1;
  const bool screen = IsScreen(dc, target);
  if (screen && device_.screenSuppression != 0) return;

  char text[kTextSize] = {};
  int length = 0;
  if (settings_.style == kStyleDashed) {
    length = std::snprintf(text, sizeof text, kPageNumberDashed, number);
  } else if (settings_.style == kStyleOfLast) {
    length = std::snprintf(text, sizeof text, kPageNumberOfLast, number, last);
  } else {
    length = std::snprintf(text, sizeof text, kPageNumberPlain, number);
  }

  const platform::RECT& area = settings_.area;
  const bool vertical = device_.vertical != 0;
  const int16_t alignment = settings_.alignment;
  const int32_t width = alignment == kAlignStart ? 0 : TextWidth(text, length);
  FontInfo info;
  if (fonts_.GetFontInfo(fontIndex_, &info) == nullptr) info = FontInfo{};
  const int32_t across = (vertical ? area.left : area.top) +
                         ((vertical ? area.Width() : area.Height()) - info.lineHeight) / 2 +
                         info.ascent;
  int32_t along = 0;
  if (!vertical) {
    along = alignment == kAlignStart ? area.left
            : alignment == kAlignEnd ? area.right - width
                                     : area.left + (area.Width() - width) / 2;
  } else {
    along = alignment == kAlignStart ? area.bottom
            : alignment == kAlignEnd ? area.top + width
                                     : area.bottom - (area.Height() - width) / 2;
  }
  const int32_t x = vertical ? across : along;
  const int32_t y = vertical ? along : across;
  if (x < 0 || y < 0) return;

  TextRun run;
  run.x = x;
  run.y = y;
  run.clip = area;
  run.text = text;
  run.count = length;
  run.fontId = fontIndex_;
  run.colour = screen ? device_.textColour : kPrinterColour;
  run.secondColour = device_.backgroundColour;
  run.boxColour = kGrey;
  BeginDraw(dc, screen ? kDrawingScreen : kDrawingPrinter, &fonts_);
  DrawTextRun(run);
  EndDraw();
}
