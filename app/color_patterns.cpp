// The colour patterns, the character sizes and the settings' small text
// operations.
#include <cstdio>
#include <cstring>

#include "app/settings.h"
#include "app/texts.h"
#include "platform/paths.h"
#include "platform/sjis.h"
#include "platform/system_info.h"

namespace {

constexpr int kColourComponentMax = 255;
constexpr int kPercentNormal = 100;
constexpr int kDoubled = 150;
constexpr int kQuadrupled = 200;
constexpr int kHalved = 50;

constexpr platform::COLORREF kWhite = 0xFFFFFF;
constexpr platform::COLORREF kBlack = 0x000000;
constexpr platform::COLORREF kYellow = 0x00FFFF;
constexpr platform::COLORREF kGreen = 0x00FF00;
constexpr platform::COLORREF kBlue = 0xFF0000;
constexpr platform::COLORREF kCyan = 0xFFFF00;

constexpr platform::COLORREF Rgb(int red, int green, int blue) {
  return static_cast<platform::COLORREF>(red | green << 8 | blue << 16);
}

ColorPattern Pattern(const char* name, platform::COLORREF first, platform::COLORREF second) {
  ColorPattern pattern;
  std::strncpy(pattern.name, name, sizeof pattern.name - 1);
  pattern.first = first;
  pattern.second = second;
  return pattern;
}

bool IsComponent(int value) { return value >= 0 && value <= kColourComponentMax; }

enum SplitPart : int {
  kPartDrive = 1,
  kPartFolder = 2,
  kPartDriveAndFolder = 3,
  kPartStem = 4,
  kPartName = 5,
  kPartExtension = 6,
};

}  // namespace

ViewColorPatterns BuiltInViewPatterns() {
  return {
      Pattern(kPatternWindows, platform::GetSysColor(platform::COLOR_WINDOW),
              platform::GetSysColor(platform::COLOR_WINDOWTEXT)),
      Pattern(kPatternWhiteBlack, kWhite, kBlack),
      Pattern(kPatternWhiteBlackReversed, kBlack, kWhite),
      Pattern(kPatternBlackYellow, kBlack, kYellow),
      Pattern(kPatternBlackYellowReversed, kYellow, kBlack),
      Pattern(kPatternBlackGreen, kBlack, kGreen),
      Pattern(kPatternBlackGreenReversed, kGreen, kBlack),
      Pattern(kPatternBlueYellow, kBlue, kYellow),
      Pattern(kPatternBlueYellowReversed, kYellow, kBlue),
  };
}

ImeColorPatterns BuiltInImePatterns() {
  return {
      Pattern(kPatternWhiteBlack, kWhite, kBlack),
      Pattern(kPatternWhiteBlue, kWhite, kBlue),
      Pattern(kPatternBlackCyan, kBlack, kCyan),
      Pattern(kPatternBlackYellow, kBlack, kYellow),
  };
}

bool ParseColorPattern(const char* value, ColorPattern& pattern) {
  if (value == nullptr) return false;
  int r1 = -1, g1 = -1, b1 = -1, r2 = -1, g2 = -1, b2 = -1, nameStart = -1;
  if (std::sscanf(value, kColorPatternForm, &r1, &g1, &b1, &r2, &g2, &b2, &nameStart) != 6 ||
      nameStart < 0)
    return false;
  for (int component : {r1, g1, b1, r2, g2, b2}) {
    if (!IsComponent(component)) return false;
  }
  const std::string_view name = value + nameStart;
  if (name.empty()) return false;
  size_t kept = 0;
  while (kept < name.size() &&
         kept + platform::CharLengthAt(name, kept) < static_cast<size_t>(kColorPatternNameSize))
    kept += platform::CharLengthAt(name, kept);
  std::memset(pattern.name, 0, sizeof pattern.name);
  std::memcpy(pattern.name, name.data(), kept);
  pattern.first = Rgb(r1, g1, b1);
  pattern.second = Rgb(r2, g2, b2);
  return true;
}

const std::array<CharSizeRow, kCharSizeRowCount> kCharSizeTable = {{
    {kSizeStandard, kSizeStandard, 0, kCharSizeNormal, kPercentNormal, kPercentNormal},
    {kSizeTall, kSpokenTall, 1, kCharSizeNormal, kDoubled, kPercentNormal},
    {kSizeWide, kSpokenWide, 2, kCharSizeNormal, kPercentNormal, kDoubled},
    {kSizeDouble, kSpokenDouble, 3, kCharSizeNormal, kDoubled, kDoubled},
    {kSizeQuadruple, kSpokenQuadruple, 4, kCharSizeNormal, kQuadrupled, kQuadrupled},
    {kSizeSuperscript, kSpokenSuperscript, 5, kCharSizeSuperscript, kHalved, kHalved},
    {kSizeSubscript, kSpokenSubscript, 6, kCharSizeSubscript, kHalved, kHalved},
}};

int FindCharSizeRow(int sizeKind, int vertical, int horizontal) {
  if (vertical == 0) vertical = kPercentNormal;
  if (horizontal == 0) horizontal = kPercentNormal;
  for (int row = 0; row < kCharSizeRowCount; ++row) {
    const CharSizeRow& size = kCharSizeTable[static_cast<size_t>(row)];
    if (size.sizeKind == sizeKind && size.vertical == vertical && size.horizontal == horizontal)
      return row;
  }
  return -1;
}

framework::CString SplitPathPart(const char* path, int part) {
  if (path == nullptr) return {};
  char drive[platform::_MAX_DRIVE];
  char dir[platform::_MAX_DIR];
  char stem[platform::_MAX_FNAME];
  char ext[platform::_MAX_EXT];
  platform::_splitpath(path, drive, dir, stem, ext);
  switch (part) {
    case kPartDrive:
      return drive;
    case kPartFolder:
      return dir;
    case kPartDriveAndFolder:
      return framework::CString(drive) + dir;
    case kPartStem:
      return stem;
    case kPartName:
      return framework::CString(stem) + ext;
    case kPartExtension:
      return ext;
    default:
      return {};
  }
}

bool ParseRectText(platform::RECT& rect, const char* text) {
  platform::RECT read{};
  if (text == nullptr ||
      std::sscanf(text, kRectTextForm, &read.left, &read.top, &read.right, &read.bottom) != 4)
    return false;
  rect = read;
  return true;
}

framework::CString FormatRectText(const platform::RECT& rect) {
  framework::CString text;
  text.Format(kRectTextForm, rect.left, rect.top, rect.right, rect.bottom);
  return text;
}
