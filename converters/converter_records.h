// The two records the document converter "VIZUro.dll" fills for the word
// processor: the 724-byte style record and the object-information record.
// Both sides are ours, so this header is their one definition. Sizes are in
// the page-setup units: tenths of a millimetre for paper and margins,
// tenths of a point for font sizes.
#pragma once

#include <cstdint>

namespace converters::vizuro {

inline constexpr const char* kModule = "VIZUro.dll";
inline constexpr const char* kInitConvert = "InitConvert";
inline constexpr const char* kGetDocStyle = "GetDocStyle";
inline constexpr const char* kGetObjectInf = "GetObjectInf";
inline constexpr const char* kLoadObject = "LoadObject";
inline constexpr const char* kExitConvert = "ExitConvert";

inline constexpr int kFaceBytes = 32;
inline constexpr int kProhibitedBytes = 128;
inline constexpr int kStyleRecordBytes = 724;

// The first flag word: the page group.
enum PageFlags : uint32_t {
  kPageOrientation = 0x4,
  kPagePaperWidth = 0x8,
  kPagePaperHeight = 0x10,
  kPageMargins = 0x20,
};
// The converter's orientation value for portrait; any other is landscape.
inline constexpr int32_t kConverterPortrait = 1;

// The second flag word: body font and layout.
enum LayoutFlags : uint32_t {
  kLayoutBodyFont = 0x1,
  kLayoutDirection = 0x2,
  kLayoutCharsPerLine = 0x4,
  kLayoutLinesPerPage = 0x8,
  kLayoutLineStartRule = 0x10,
  kLayoutLineStartChars = 0x20,
  kLayoutLineEndRule = 0x40,
  kLayoutLineEndChars = 0x80,
  kLayoutTabWidth = 0x100,
  kLayoutFirstIndent = 0x200,
  kLayoutSecondIndent = 0x400,
  kLayoutEndIndent = 0x800,
};

// The third flag word: page numbers.
enum PageNumberFlags : uint32_t {
  kNumberFont = 0x1,
  kNumberPosition = 0x2,
  kNumberPrint = 0x4,
  kNumberFirst = 0x8,
  kNumberAlignment = 0x10,
  kNumberForm = 0x20,
};

struct StyleFont {
  char face[kFaceBytes];
  int32_t size;
  int32_t verticalExpansion;
  int32_t horizontalExpansion;
  uint8_t bold;
  uint8_t italic;
  uint8_t unused[2];
};

struct StyleRecord {
  uint32_t pageFlags;
  uint32_t layoutFlags;
  uint32_t pageNumberFlags;
  int32_t orientation;
  int32_t paperWidth;
  int32_t paperHeight;
  int32_t marginTop;
  int32_t marginBottom;
  int32_t marginLeft;
  int32_t marginRight;
  StyleFont bodyFont;
  int32_t direction;
  int32_t charsPerLine;
  int32_t linesPerPage;
  int32_t lineStartRule;
  char lineStartChars[kProhibitedBytes];
  int32_t lineEndRule;
  char lineEndChars[kProhibitedBytes];
  int32_t tabWidth;
  int32_t firstIndent;
  int32_t secondIndent;
  int32_t endIndent;
  StyleFont numberFont;
  int32_t numberPosition;
  int32_t numberPrint;
  int32_t numberFirst;
  int32_t numberAlignment;
  int32_t numberForm;
  uint8_t reserved[276];
};
static_assert(sizeof(StyleRecord) == kStyleRecordBytes);

inline constexpr int32_t kTextObject = 1;

// The attribute flags of a text object.
enum AttributeFlags : uint32_t {
  kAttrFont = 0x1,
  kAttrTextColor = 0x4,
  kAttrSizeKind = 0x80,
  kAttrUnderline = 0x1000,
  kAttrShading = 0x2000,
  kAttrStrike = 0x4000,
  kAttrEnclosure = 0x8000,
  kAttrDecorationColor = 0x10000,
  kAttrHollow = 0x1000000,
  kAttrReverse = 0x2000000,
  kAttrShadow = 0x4000000,
};
// The sub-flags of the font group.
enum FontFlags : uint32_t {
  kFontFace = 0x1,
  kFontSize = 0x2,
  kFontVerticalExpansion = 0x4,
  kFontHorizontalExpansion = 0x8,
  kFontBold = 0x10,
  kFontItalic = 0x20,
};

struct ObjectAttributes {
  uint32_t flags;
  uint32_t fontFlags;
  char face[kFaceBytes];
  int32_t size;
  int32_t verticalExpansion;
  int32_t horizontalExpansion;
  uint8_t bold;
  uint8_t italic;
  uint8_t hollow;
  uint8_t reverse;
  uint8_t shadow;
  uint8_t unused[3];
  uint32_t textColor;  // COLORREF: red in the low byte
  int32_t sizeKind;
  int32_t underline;
  int32_t shading;
  int32_t strike;
  int32_t enclosure;
  uint32_t decorationColor;
};

// What the caller hands to LoadObject: its own zero-filled buffer of the
// byte count + 1, and the attributes the converter writes.
struct ObjectRequest {
  char* text;
  ObjectAttributes attributes;
};

struct ObjectInfo {
  int32_t kind;
  int32_t byteCount;
  ObjectRequest request;
};

using InitConvertFn = int (*)(const char* path);
using GetDocStyleFn = int (*)(void* styleRecord);
using GetObjectInfFn = int (*)(void* objectInfo);
using LoadObjectFn = void (*)(void* objectRequest);
using ExitConvertFn = void (*)();

}  // namespace converters::vizuro
