// Face names the drawing layer knows by heart, as CP932 byte strings.
#pragma once

namespace platform {

// The standard Japanese Windows faces, which the font service maps to the
// metric-compatible IPA faces.
inline constexpr char kFaceMsMincho[] = "\x82\x6C\x82\x72\x20\x96\xBE\x92\xA9";  // ＭＳ 明朝
inline constexpr char kFaceMsGothic[] =
    "\x82\x6C\x82\x72\x20\x83\x53\x83\x56\x83\x62\x83\x4E";  // ＭＳ ゴシック
inline constexpr char kFaceMsPMincho[] =
    "\x82\x6C\x82\x72\x20\x82\x6F\x96\xBE\x92\xA9";  // ＭＳ Ｐ明朝
inline constexpr char kFaceMsPGothic[] =
    "\x82\x6C\x82\x72\x20\x82\x6F\x83\x53\x83\x56\x83\x62\x83\x4E";  // ＭＳ Ｐゴシック

// The symbol face that draws the control marks.
inline constexpr char kFaceZntSymbol[] = "ZNT Symbol";  // ZNT Symbol

}  // namespace platform
