// A font object that owns its platform font and deletes it when it goes.
#pragma once

#include <cstdint>

#include "platform/gdi.h"

namespace framework {

class CDC;

class CFont {
 public:
  CFont() = default;
  CFont(const CFont&) = delete;
  CFont& operator=(const CFont&) = delete;

  // False when a font is held already or no installed face has the name.
  bool CreateFontIndirect(const platform::LOGFONTA& font);
  // A font of `pointTenths` tenths of a point in the face, at the DC's
  // vertical resolution (none: the screen's).
  bool CreatePointFont(int32_t pointTenths, const char* faceName, CDC* dc = nullptr);
  bool DeleteObject();
  bool GetLogFont(platform::LOGFONTA* font) const;

  platform::HFONT GetSafeHandle() const { return font_.get(); }
  operator platform::HFONT() const { return font_.get(); }  // NOLINT: implicit by design

 private:
  platform::UniqueFont font_;
};

}  // namespace framework
