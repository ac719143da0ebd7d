#include "platform/ui_font.h"

#include <algorithm>
#include <vector>

#include "platform/font_service.h"
#include "platform/sjis.h"
#include "platform/texts.h"

namespace platform {

namespace {

constexpr int32_t kPointsPerInch = 72;

LOGFONTA UiLogFont(std::string_view face, int32_t points) {
  LOGFONTA font;
  font.lfHeight = -(points * GetDeviceCaps(GetDesktopDC(), LOGPIXELSY) / kPointsPerInch);
  font.lfWeight = FW_NORMAL;
  font.lfCharSet = SHIFTJIS_CHARSET;
  face.copy(font.lfFaceName, std::min(face.size(), sizeof(font.lfFaceName) - 1));
  return font;
}

}  // namespace

UniqueFont CreateUiFont(int32_t points) {
  if (UniqueFont font = CreateFontIndirectA(UiLogFont(kFaceMsPGothic, points))) return font;
  const std::vector<FaceDescription>& faces = CurrentFontService().Faces();
  const auto japanese = std::find_if(faces.begin(), faces.end(), [](const FaceDescription& face) {
    return face.charSet == SHIFTJIS_CHARSET && !face.name.empty() &&
           face.name.front() != kVerticalFacePrefix;
  });
  if (japanese != faces.end()) return CreateFontIndirectA(UiLogFont(japanese->name, points));
  return faces.empty() ? nullptr : CreateFontIndirectA(UiLogFont(faces.front().name, points));
}

int32_t TextWidth(HDC dc, std::string_view text) {
  int32_t width = 0;
  for (size_t pos = 0; pos < text.size(); pos += CharLengthAt(text, pos)) {
    const uint16_t code = CharCodeAt(text, pos);
    int32_t advance = 0;
    if (GetCharWidthA(dc, code, code, &advance)) width += advance;
  }
  return width;
}

}  // namespace platform
