// A font service with exact, simple metrics, for tests that assert where
// layout puts things. Every face has a 2048-unit em square, an ascent of
// 7/8 and a descent of 1/8 of the em; a glyph is drawn as a solid block
// filling the middle three quarters of its advance, from 3/4 of the ascent
// down to the baseline (spaces draw nothing).
//
// - kSyntheticFixedFace: Shift-JIS, fixed pitch. Double-byte characters
//   advance a full em, single bytes half an em. The 26 full-width
//   punctuation codes (0x8141-0x8144, 0x8165-0x817A) carry ABC widths that
//   leave a blank of half an em: on the right for 0x8141-0x8144 and the
//   closing brackets (even codes from 0x8166), on the left for the opening
//   brackets (odd codes from 0x8165).
// - kSyntheticProportionalFace: Shift-JIS, variable pitch. Single bytes:
//   space 1/4 em, 'A'-'Z' 3/4 em, others 1/2 em; hiragana (0x829F-0x82F1)
//   7/8 em; other double-byte characters a full em.
// - kSyntheticLatinFace: ANSI, fixed pitch; every byte half an em.
// Each Shift-JIS face is also listed under its vertical name, and the
// control-mark face is listed last.
//
// At a resolution of 1440 dpi a pixel is a twip, so every metric the font
// table derives is exact: a size of s tenths of a point has an em of 2s
// twips, a half width of s, an ascent of 7s/4 and a descent of s/4 twips
// (s a multiple of 4 keeps the quarters whole).
#pragma once

#include <map>

#include "platform/font_service.h"

namespace platform {

inline constexpr char kSyntheticFixedFace[] = "Synthetic Fixed";
inline constexpr char kSyntheticProportionalFace[] = "Synthetic Proportional";
inline constexpr char kSyntheticLatinFace[] = "Synthetic Latin";

inline constexpr int32_t kSyntheticEm = 2048;
inline constexpr int32_t kSyntheticAscent = kSyntheticEm * 7 / 8;
inline constexpr int32_t kSyntheticDescent = kSyntheticEm / 8;

class SyntheticFontService final : public FontService {
 public:
  SyntheticFontService();
  const std::vector<FaceDescription>& Faces() const override { return faces_; }
  std::shared_ptr<const FontFace> Open(std::string_view name) const override;

 private:
  void Add(const FaceDescription& description, std::shared_ptr<const FontFace> face);

  std::vector<FaceDescription> faces_;
  std::map<std::string, std::shared_ptr<const FontFace>, std::less<>> opened_;
};

}  // namespace platform
