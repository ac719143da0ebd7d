// The font service over the host's fonts: every scalable face that
// fontconfig lists, under its own family names, read through FreeType.
//
// Documents name the standard Japanese Windows faces, so those names are
// listed too, each mapped to its metric-compatible IPA face:
//   ＭＳ 明朝 -> IPAMincho      ＭＳ ゴシック -> IPAGothic
//   ＭＳ Ｐ明朝 -> IPAPMincho   ＭＳ Ｐゴシック -> IPAPGothic
// A name whose IPA face is missing is not listed. A face that covers
// Japanese is listed with the Shift-JIS character set (others with ANSI)
// and also under its vertical name (the at sign before it). Faces with
// fixed or dual spacing have fixed pitch. The control-mark face is listed
// last.
#pragma once

#include "platform/font_service.h"

namespace platform {

FontService& HostFontService();

}  // namespace platform
