#include "framework/font.h"

#include <cstring>

#include "framework/dc.h"
#include "platform/muldiv.h"

namespace framework {

bool CFont::CreateFontIndirect(const platform::LOGFONTA& font) {
  if (font_ != nullptr) return false;
  font_ = platform::CreateFontIndirectA(font);
  return font_ != nullptr;
}

bool CFont::CreatePointFont(int32_t pointTenths, const char* faceName, CDC* dc) {
  constexpr int32_t kTenthsPerInch = 720;
  const HDC measuring = dc != nullptr ? dc->GetSafeHdc() : platform::GetDesktopDC();
  platform::LOGFONTA font;
  font.lfHeight = -platform::MulDiv(
      pointTenths, platform::GetDeviceCaps(measuring, platform::LOGPIXELSY), kTenthsPerInch);
  font.lfWeight = platform::FW_NORMAL;
  font.lfCharSet = platform::DEFAULT_CHARSET;
  std::strncpy(font.lfFaceName, faceName, sizeof(font.lfFaceName) - 1);
  return CreateFontIndirect(font);
}

bool CFont::DeleteObject() {
  if (font_ == nullptr) return false;
  font_.reset();
  return true;
}

bool CFont::GetLogFont(platform::LOGFONTA* font) const {
  return font_ != nullptr && platform::GetObjectA(font_.get(), font);
}

}  // namespace framework
