// The one description of a page that the settings, the page-style file,
// the page-setup dialogs, the application document and printing hand to
// each other: paper, source bin and orientation in the record, and four
// blocks the record's owner holds (paper and margins, body font, layout,
// page numbers). Lengths are in tenths of a millimetre, font sizes in
// tenths of a point. Whoever copies a record copies each block too.
//
// The field names are the key names of the page-style file.
#pragma once

#include <cstdint>

#include "model/attribute_records.h"
#include "model/page_format.h"
#include "platform/texts.h"
#include "platform/windef.h"

inline constexpr int kPaperNameSize = 66;
// A paper name keeps at most this many characters, whatever the driver
// hands over.
inline constexpr int kPaperNameLength = 63;

inline constexpr uint16_t kOrientationPortrait = 1;
inline constexpr uint16_t kOrientationLandscape = 2;

// Where the page number goes relative to the text area.
enum PageNumberPosition : int16_t {
  kPageNumberBelow = 0,
  kPageNumberAbove = 1,
  kPageNumberBelowToo = 2,
  kPageNumberLeft = 3,
  kPageNumberRight = 4,
};

struct PageSetupPaper {
  int32_t PaperWidth = 2100;
  int32_t PaperHeight = 2970;
  int32_t MarginTop = 300;
  int32_t MarginBottom = 300;
  int32_t MarginLeft = 300;
  int32_t MarginRight = 300;
  int32_t dpiDC[2] = {};  // dots per inch, horizontal and vertical; 0 while not known
};

struct PageSetupFont {
  char FontName[kFaceNameSize] = {};
  int32_t FontSize = 105;
  uint8_t Vexpan = 100;
  uint8_t Hexpan = 100;
  uint8_t Bold = 0;
  uint8_t Italic = 0;
  int16_t Direction = 0;  // nonzero: vertical writing, the face used with a leading '@'
};

struct PageSetupLayout {
  uint16_t Chars = 80;
  uint16_t Lines = 40;
  int32_t charGap = 0;  // 0.1 mm, from the style in force
  int32_t lineGap = 0;
  int16_t KinsokuTop = -1;
  char KinsokuTopChars[kKinsokuListSize] = {};
  int16_t KinsokuEnd = -1;
  char KinsokuEndChars[kKinsokuListSize] = {};
  int16_t TabSpace = 4;
  int16_t Indent1 = 0;
  int16_t Indent2 = 0;
  int16_t IndentEnd = 0;
};

struct PageSetupPageNumber {
  char NFontName[kFaceNameSize] = {};
  int32_t NFontSize = 0;
  uint8_t NVexpan = 0;
  uint8_t NHexpan = 0;
  uint8_t NBold = 0;
  uint8_t NItalic = 0;
  int16_t Position = kPageNumberBelow;
  platform::RECT AreaRectStr;  // 0.1 mm from the paper's top-left corner
  int16_t PrintOut = 0;
  int16_t Start = 1;
  int16_t ParaArrange = 2;
  int16_t OutForm = 1;
};

struct PageSetupRecord {
  uint16_t paperId = 0;     // DMPAPER_*; DMPAPER_USER for a size of its own, 0 none chosen
  int16_t paperSource = 0;  // DMBIN_*; 0 the printer's default
  int16_t orientation = kOrientationPortrait;
  char paperName[kPaperNameSize] = {};
  PageSetupPaper* paper = nullptr;
  PageSetupFont* font = nullptr;
  PageSetupLayout* layout = nullptr;
  PageSetupPageNumber* pageNumber = nullptr;
};

// What fitting a record to a device changed; callers test the bits.
enum PageSetupChange : int {
  kChangedPaperId = 0x1,
  kChangedPaperSource = 0x2,
  kChangedOrientation = 0x4,
  kChangedResolution = 0x8,
  kChangedPaperSize = 0x10,
  kChangedMargins = 0x20,
  kChangedCharsOrLines = 0x40,
  kChangedFace = 0x80,
  kChangedPageNumber = 0x100,
};
