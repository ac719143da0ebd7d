// Fitting page setups to printers described by tables: papers by id and
// by size, turned papers, sizes of their own, margins raised to the
// printable area, bins, the change bits; placing the page number; and
// fonts measured with the installed IPA faces.
#include "views/printer_info.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "model/font_table.h"
#include "platform/font_service.h"
#include "platform/host_fonts.h"
#include "platform/muldiv.h"
#include "platform/print_dc.h"
#include "platform/registry.h"
#include "platform/spooler.h"
#include "platform/texts.h"

namespace {

using platform::DMPAPER_A4;
using platform::DMPAPER_B5;
using platform::DMPAPER_LETTER;
using platform::DMPAPER_USER;
using platform::PaperForm;
using platform::PrinterModel;
using platform::RECT;
using platform::SIZE;

constexpr int16_t kBinAuto = 7;
constexpr int16_t kBinManual = 15;
constexpr int32_t kDpi = 600;

// Takes every paper either way round and sizes of its own.
PrinterModel OfficePrinter() {
  PrinterModel printer;
  printer.name = "Office";
  printer.port = "USB1:";
  const RECT border{50, 50, 50, 50};
  printer.papers = {{DMPAPER_A4, "A4", SIZE{2100, 2970}, border},
                    {DMPAPER_B5, "B5 (JIS)", SIZE{1820, 2570}, border},
                    {DMPAPER_LETTER, "Letter", SIZE{2159, 2794}, border},
                    {DMPAPER_USER, "User", SIZE{}, border}};
  printer.bins = {{kBinAuto}, {kBinManual}};
  printer.defaultBin = kBinAuto;
  printer.dpi = kDpi;
  printer.minExtent = SIZE{500, 500};
  printer.maxExtent = SIZE{3000, 4200};
  return printer;
}

// A driver without landscape, with or without sizes of its own.
PrinterModel UprightPrinter(const char* name, bool userSizes) {
  PrinterModel printer = OfficePrinter();
  printer.name = name;
  printer.turnsPaper = false;
  if (!userSizes) {
    printer.papers.pop_back();
    printer.minExtent = SIZE{};
    printer.maxExtent = SIZE{};
  }
  return printer;
}

// Unprintable borders of its own on A4 (left, top, right, bottom), the
// right one past the paper's edge.
PrinterModel BorderPrinter() {
  PrinterModel printer = OfficePrinter();
  printer.name = "Borders";
  printer.papers = {{DMPAPER_A4, "A4", SIZE{2100, 2970}, RECT{150, 200, -50, 40}}};
  return printer;
}

// A paper name that fills the driver's whole field with no NUL.
PrinterModel LongNamePrinter() {
  PrinterModel printer = OfficePrinter();
  printer.name = "LongName";
  printer.papers = {
      {DMPAPER_A4, std::string(platform::kPaperNameBytes, 'N'), SIZE{2100, 2970}, RECT{}}};
  return printer;
}

// An information context of an A4 printer at 600 dpi.
platform::UniqueDC PrinterIC() {
  platform::PrinterSetup setup;
  setup.dpiX = setup.dpiY = kDpi;
  setup.paper = SIZE{4961, 7016};
  return platform::CreatePrinterIC(setup);
}

class PrinterInfoTest : public ::testing::Test {
 protected:
  PrinterInfoTest()
      : printers_({OfficePrinter(), UprightPrinter("Upright", false),
                   UprightPrinter("UprightUser", true), BorderPrinter(), LongNamePrinter()}) {
    ResetFontTables();
  }
  ~PrinterInfoTest() override { ResetFontTables(); }

  PageSetupRecord Record(uint16_t id, int16_t orientation, int32_t w, int32_t h) {
    PageSetupRecord record;
    record.paperId = id;
    record.orientation = orientation;
    record.paperSource = kBinAuto;
    paper_ = PageSetupPaper{};
    paper_.PaperWidth = w;
    paper_.PaperHeight = h;
    record.paper = &paper_;
    return record;
  }

  platform::MemoryRegistry registry_;
  platform::ScopedRegistry scopedRegistry_{registry_};
  platform::ScopedPrinters printers_;
  platform::ScopedFontService fonts_{platform::HostFontService()};
  PageSetupPaper paper_;
  PageSetupFont font_;
  PageSetupLayout layout_;
  PageSetupPageNumber number_;
};

TEST_F(PrinterInfoTest, OpenFindsThePrinterByItsExactName) {
  CPrinterInfo info;
  EXPECT_EQ(info.Open("Office"), kPrinterOk);
  EXPECT_EQ(info.GetPaperCount(), 4);
  ASSERT_NE(info.GetDevMode(), nullptr);
  EXPECT_EQ(info.GetDevMode()->dmPaperSize, DMPAPER_A4);
  EXPECT_TRUE(info.IsBinSupported(kBinManual));
  EXPECT_FALSE(info.IsBinSupported(3));
  EXPECT_EQ(info.Open("office"), kPrinterNotInstalled);
  EXPECT_EQ(info.GetDevMode(), nullptr);
  EXPECT_EQ(info.Open(nullptr), kPrinterNotInstalled);
}

TEST_F(PrinterInfoTest, APrinterWithoutPapersOrBinsOpensAndFitsNothing) {
  PrinterModel bare = OfficePrinter();
  bare.name = "Bare";
  bare.papers.clear();
  bare.bins.clear();
  bare.minExtent = bare.maxExtent = SIZE{};
  const platform::ScopedPrinters printers({bare});
  CPrinterInfo info;
  ASSERT_EQ(info.Open("Bare"), kPrinterOk);
  EXPECT_EQ(info.GetPaperCount(), 0);
  EXPECT_FALSE(info.IsBinSupported(kBinAuto));
  PageSetupRecord record = Record(DMPAPER_A4, 1, 2100, 2970);
  EXPECT_EQ(info.FitPageSetup(record), kPaperDoesNotFit);
  EXPECT_EQ(record.paperId, DMPAPER_A4);
}

TEST_F(PrinterInfoTest, ComparesSizesExactlyAndWithinFourMillimetres) {
  struct Case {
    int32_t w1, h1, w2, h2;
    bool tolerant;
    int expected;
  };
  const Case cases[] = {
      {2100, 2970, 2100, 2970, false, kPaperAsIs},
      {2100, 2970, 2970, 2100, false, kPaperTurned},
      {2100, 2970, 2101, 2970, false, kPaperNoMatch},
      {2100, 2970, 2140, 2930, true, kPaperAsIs},
      {2100, 2970, 2930, 2140, true, kPaperTurned},
      {2100, 2970, 2141, 2970, true, kPaperNoMatch},
      // Square within the tolerance either way: the as-is test comes first.
      {2000, 2010, 2010, 2000, true, kPaperAsIs},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CPrinterInfo::ComparePaperSize(c.w1, c.h1, c.w2, c.h2, c.tolerant), c.expected)
        << c.w1 << "x" << c.h1 << " vs " << c.w2 << "x" << c.h2;
  }
}

TEST_F(PrinterInfoTest, FindsPapersByIdAndBySizeInFourPasses) {
  CPrinterInfo info;
  ASSERT_EQ(info.Open("Office"), kPrinterOk);
  int32_t index = -1;
  EXPECT_EQ(info.FindPaperById(DMPAPER_B5, &index), 1);
  EXPECT_EQ(index, 1);
  EXPECT_EQ(info.FindPaperById(3, &index), 0);
  // Letter turned exactly beats A4 as it is within tolerance... and the
  // exact passes come before the tolerant ones.
  EXPECT_EQ(info.FindPaperBySize(2794, 2159, &index), kPaperTurned);
  EXPECT_EQ(index, 2);
  EXPECT_EQ(info.FindPaperBySize(2130, 2950, &index), kPaperAsIs);
  EXPECT_EQ(index, 0);
  EXPECT_EQ(info.FindPaperBySize(2560, 1830, &index), kPaperTurned);
  EXPECT_EQ(index, 1);
  EXPECT_EQ(info.FindPaperBySize(1000, 1000, &index), kPaperNoMatch);
}

TEST_F(PrinterInfoTest, SizesOfTheirOwnAreCheckedAgainstTheDriversExtents) {
  // A paper list that offers sizes of their own, from a driver that
  // answers no extents and keeps no such size.
  PrinterModel silent = OfficePrinter();
  silent.name = "Silent";
  silent.minExtent = silent.maxExtent = SIZE{};
  const platform::ScopedPrinters printers(
      {OfficePrinter(), UprightPrinter("UprightUser", true), silent});
  struct Case {
    const char* printer;
    int32_t w, h;
    int expected;
  };
  const Case cases[] = {
      {"Office", 1000, 1200, kPaperAsIs},
      {"Office", 500, 4200, kPaperAsIs},
      {"Office", 499, 1000, kPaperNoMatch},
      // 4000 wide only fits turned, and the driver turns paper.
      {"Office", 4000, 2000, kPaperTurned},
      {"UprightUser", 4000, 2000, kPaperNoMatch},
      {"Silent", 1000, 1200, kPaperNoMatch},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.printer) + " " + std::to_string(c.w) + "x" + std::to_string(c.h));
    CPrinterInfo info;
    ASSERT_EQ(info.Open(c.printer), kPrinterOk);
    EXPECT_EQ(info.CheckUserSize(c.w, c.h), c.expected);
  }
}

TEST_F(PrinterInfoTest, FitsPapersAndReportsWhatChanged) {
  struct Case {
    const char* what;
    const char* printer;
    uint16_t id;
    int16_t orientation;
    int32_t w, h;
    int expected;  // bits, or a negative code
    uint16_t id2;
    int16_t orientation2;
    int32_t w2, h2;
    const char* name;
  };
  constexpr int kDpiBit = kChangedResolution;
  const Case cases[] = {
      {"by id", "Office", DMPAPER_A4, 1, 2100, 2970, kDpiBit, DMPAPER_A4, 1, 2100, 2970, "A4"},
      {"id of another size", "Office", DMPAPER_A4, 1, 1820, 2570, kDpiBit | kChangedPaperId,
       DMPAPER_B5, 1, 1820, 2570, "B5 (JIS)"},
      {"size within 4 mm", "Office", 0, 1, 2110, 2960,
       kDpiBit | kChangedPaperId | kChangedPaperSize, DMPAPER_A4, 1, 2100, 2970, "A4"},
      {"turned size", "Office", 0, 1, 2970, 2100, kDpiBit | kChangedPaperId | kChangedOrientation,
       DMPAPER_A4, 2, 2970, 2100, "A4"},
      {"turned within 4 mm", "Office", 0, 1, 2960, 2110,
       kDpiBit | kChangedPaperId | kChangedOrientation | kChangedPaperSize, DMPAPER_A4, 2, 2970,
       2100, "A4"},
      {"landscape record", "Office", 0, 2, 2970, 2100, kDpiBit | kChangedPaperId, DMPAPER_A4, 2,
       2970, 2100, "A4"},
      {"landscape by id", "Office", DMPAPER_A4, 2, 2970, 2100, kDpiBit, DMPAPER_A4, 2, 2970, 2100,
       "A4"},
      {"size of its own", "Office", 0, 1, 1000, 1200, kDpiBit | kChangedPaperId, DMPAPER_USER, 1,
       1000, 1200, "User"},
      {"landscape without landscape, own sizes", "UprightUser", DMPAPER_A4, 2, 2970, 2100,
       kDpiBit | kChangedPaperId | kChangedOrientation, DMPAPER_USER, 1, 2970, 2100, "User"},
      {"landscape without landscape", "Upright", DMPAPER_A4, 2, 2970, 2100, kPaperDoesNotFit,
       DMPAPER_A4, 2, 2970, 2100, ""},
      {"nothing that size", "Upright", 0, 1, 5000, 5000, kPaperDoesNotFit, 0, 1, 5000, 5000, ""},
      {"too large for its own sizes", "Office", 0, 1, 5000, 5000, kPaperDoesNotFit, 0, 1, 5000,
       5000, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    CPrinterInfo info;
    ASSERT_EQ(info.Open(c.printer), kPrinterOk);
    PageSetupRecord record = Record(c.id, c.orientation, c.w, c.h);
    record.paperSource = kBinAuto;
    EXPECT_EQ(info.FitPageSetup(record), c.expected);
    EXPECT_EQ(record.paperId, c.id2);
    EXPECT_EQ(record.orientation, c.orientation2);
    EXPECT_EQ(paper_.PaperWidth, c.w2);
    EXPECT_EQ(paper_.PaperHeight, c.h2);
    if (c.expected < 0) continue;
    EXPECT_STREQ(record.paperName, c.name);
    EXPECT_EQ(paper_.dpiDC[0], kDpi);
    EXPECT_EQ(paper_.dpiDC[1], kDpi);
    // The driver's mode is the fitted one.
    const platform::DEVMODEA& mode = *info.GetDevMode();
    EXPECT_EQ(mode.dmPaperSize, static_cast<int16_t>(c.id2));
    EXPECT_EQ(mode.dmOrientation, c.orientation2);
    if (c.id2 == DMPAPER_USER) {
      EXPECT_EQ(mode.dmPaperWidth, c.orientation2 == 2 ? c.h2 : c.w2);
      EXPECT_EQ(mode.dmPaperLength, c.orientation2 == 2 ? c.w2 : c.h2);
    }
  }
}

TEST_F(PrinterInfoTest, TheBinIsKeptWhenThePrinterHasItElseTheDriversDefault) {
  CPrinterInfo info;
  ASSERT_EQ(info.Open("Office"), kPrinterOk);
  PageSetupRecord record = Record(DMPAPER_A4, 1, 2100, 2970);
  record.paperSource = kBinManual;
  EXPECT_EQ(info.FitPageSetup(record) & kChangedPaperSource, 0);
  EXPECT_EQ(record.paperSource, kBinManual);
  EXPECT_EQ(info.GetDevMode()->dmDefaultSource, kBinManual);
  // A bin the printer lacks: the driver's default as it was opened.
  CPrinterInfo fresh;
  ASSERT_EQ(fresh.Open("Office"), kPrinterOk);
  record.paperSource = 3;
  EXPECT_NE(fresh.FitPageSetup(record) & kChangedPaperSource, 0);
  EXPECT_EQ(record.paperSource, kBinAuto);
}

TEST_F(PrinterInfoTest, MarginsRiseToThePrintableArea) {
  CPrinterInfo info;
  ASSERT_EQ(info.Open("Borders"), kPrinterOk);
  PageSetupRecord record = Record(DMPAPER_A4, 1, 2100, 2970);
  paper_.MarginLeft = paper_.MarginTop = paper_.MarginRight = paper_.MarginBottom = 100;
  EXPECT_EQ(info.FitPageSetup(record), kChangedResolution | kChangedMargins);
  EXPECT_EQ(paper_.MarginLeft, 150);
  EXPECT_EQ(paper_.MarginTop, 200);
  // The printable width reaches past the paper's right edge: the left
  // offset stands in for the right border.
  EXPECT_EQ(paper_.MarginRight, 150);
  EXPECT_EQ(paper_.MarginBottom, 100);

  // Margins already wide enough stay.
  paper_.MarginLeft = paper_.MarginTop = paper_.MarginRight = paper_.MarginBottom = 300;
  EXPECT_EQ(info.FitPageSetup(record), 0);
  EXPECT_EQ(paper_.MarginLeft, 300);
}

TEST_F(PrinterInfoTest, APaperNameFillingTheDriversFieldIsCutToSixtyThreeCharacters) {
  CPrinterInfo info;
  ASSERT_EQ(info.Open("LongName"), kPrinterOk);
  PageSetupRecord record = Record(DMPAPER_A4, 1, 2100, 2970);
  std::memset(record.paperName, 'x', sizeof record.paperName);
  ASSERT_GE(info.FitPageSetup(record), 0);
  EXPECT_EQ(std::string(record.paperName), std::string(kPaperNameLength, 'N'));
}

TEST_F(PrinterInfoTest, ThePageNumberGoesBesideTheTextAreaInsideThePrintableArea) {
  // Text area (300, 300)-(1800, 2670) of A4; printable area 50 in.
  struct Case {
    const char* what;
    int16_t position;
    int16_t direction;
    RECT area;
    int expected;
    int16_t position2;
    RECT area2;
  };
  const Case cases[] = {
      {"none yet, below", kPageNumberBelow, 0, RECT{}, kChangedPageNumber, kPageNumberBelow,
       RECT{300, 2670, 1800, 2920}},
      {"below already", kPageNumberBelow, 0, RECT{400, 2670, 1700, 2900}, 0, kPageNumberBelow,
       RECT{400, 2670, 1700, 2900}},
      {"below, loose inner edge", kPageNumberBelowToo, 0, RECT{400, 2700, 1700, 2950},
       kChangedPageNumber, kPageNumberBelowToo, RECT{400, 2670, 1700, 2920}},
      {"above", kPageNumberAbove, 0, RECT{400, 2700, 1700, 2900}, kChangedPageNumber,
       kPageNumberAbove, RECT{300, 50, 1800, 300}},
      {"left", kPageNumberLeft, 0, RECT{}, kChangedPageNumber, kPageNumberLeft,
       RECT{50, 300, 300, 2670}},
      {"right in horizontal writing goes below", kPageNumberRight, 0, RECT{1850, 300, 2000, 2670},
       kChangedPageNumber, kPageNumberBelow, RECT{300, 2670, 1800, 2920}},
      {"vertical writing goes right", kPageNumberBelow, 1, RECT{300, 2670, 1800, 2920},
       kChangedPageNumber, kPageNumberRight, RECT{1800, 300, 2050, 2670}},
      // Above is tested before left: a corner above the text counts as above.
      {"corner counts as above", kPageNumberAbove, 0, RECT{0, 0, 200, 200}, kChangedPageNumber,
       kPageNumberAbove, RECT{50, 50, 200, 300}},
      {"corner is not left", kPageNumberLeft, 0, RECT{0, 0, 200, 200}, kChangedPageNumber,
       kPageNumberLeft, RECT{50, 300, 300, 2670}},
      {"inside the text area", kPageNumberAbove, 0, RECT{500, 500, 600, 600}, kChangedPageNumber,
       kPageNumberAbove, RECT{300, 50, 1800, 300}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    CPrinterInfo info;
    PageSetupRecord record = Record(DMPAPER_A4, 1, 2100, 2970);
    font_.Direction = c.direction;
    record.font = &font_;
    number_.Position = c.position;
    number_.AreaRectStr = c.area;
    record.pageNumber = &number_;
    EXPECT_EQ(info.PlacePageNumber(record, 50, 50, 50, 50), c.expected);
    EXPECT_EQ(number_.Position, c.position2);
    EXPECT_EQ(number_.AreaRectStr, c.area2);
  }
}

// ---- Fonts, with the IPA faces behind the Windows names

TEST_F(PrinterInfoTest, AnInstalledFaceIsAvailableAMissingOneIsReplacedWithoutTheAtSign) {
  const platform::UniqueDC dc = PrinterIC();
  CPrinterInfo info;
  info.SetDC(dc.get());
  std::strcpy(font_.FontName, platform::kFaceMsMincho);
  EXPECT_EQ(info.FontAvailable(font_), 1);
  EXPECT_STREQ(font_.FontName, platform::kFaceMsMincho);
  font_.Direction = 1;
  EXPECT_EQ(info.FontAvailable(font_), 1);

  // "存在しない明朝": a Mincho-class face that is not installed.
  constexpr char kMissingMincho[] = "@\x91\xB6\x8D\xDD\x82\xB5\x82\xC8\x82\xA2\x96\xBE\x92\xA9";
  std::strcpy(font_.FontName, kMissingMincho);
  EXPECT_EQ(info.FontAvailable(font_), 0);
  EXPECT_NE(font_.FontName[0], '@');
  EXPECT_NE(std::string(font_.FontName), std::string(kMissingMincho + 1));
  // The substitute is there.
  EXPECT_EQ(info.FontAvailable(font_), 1) << font_.FontName;
}

// Characters per line and lines per page on A4 with 30 mm margins at the
// printer's resolution for the face and size, measured here on a font of
// the face made directly.
struct Fit {
  int32_t chars;
  int32_t lines;
};
Fit FitOf(platform::HDC dc, const char* face, int32_t tenthsOfPoint) {
  platform::LOGFONTA logFont;
  logFont.lfHeight = -platform::MulDiv(tenthsOfPoint, kDpi, 720);
  logFont.lfCharSet = platform::SHIFTJIS_CHARSET;
  std::strcpy(logFont.lfFaceName, face);
  const platform::UniqueFont font = platform::CreateFontIndirectA(logFont);
  const platform::HFONT old = platform::SelectObject(dc, font.get());
  platform::TEXTMETRICA metrics;
  platform::GetTextMetricsA(dc, &metrics);
  platform::SelectObject(dc, old);
  // 0.1 mm: A4 less 30 mm each side is 150 mm by 237 mm.
  const int32_t textWidth = 8504;    // twips
  const int32_t textHeight = 13436;  // twips
  const int32_t charPitch = platform::MulDiv((metrics.tmHeight + 1) / 2, 1440, kDpi);
  const int32_t linePitch = platform::MulDiv(metrics.tmHeight + 3 * metrics.tmDescent, 1440, kDpi);
  return {textWidth / charPitch, textHeight / linePitch};
}

TEST_F(PrinterInfoTest, FitFontLowersCountsThatDoNotFitAndKeepsThoseThatDo) {
  const platform::UniqueDC dc = PrinterIC();
  CPrinterInfo info;
  info.SetDC(dc.get());
  PageSetupRecord record = Record(DMPAPER_A4, 1, 2100, 2970);
  std::strcpy(font_.FontName, platform::kFaceMsMincho);
  font_.FontSize = 140;
  record.font = &font_;
  record.layout = &layout_;
  const Fit fit = FitOf(dc.get(), platform::kFaceMsMincho, 140);
  ASSERT_GT(fit.chars, 40);
  ASSERT_LT(fit.chars, 80);
  ASSERT_LT(fit.lines, 80);

  layout_.Chars = 80;
  layout_.Lines = 80;
  EXPECT_EQ(info.FitFont(record), kChangedCharsOrLines);
  EXPECT_EQ(layout_.Chars, fit.chars);
  EXPECT_EQ(layout_.Lines, fit.lines);

  layout_.Chars = 40;
  layout_.Lines = 20;
  EXPECT_EQ(info.FitFont(record), 0);
  EXPECT_EQ(layout_.Chars, 40);
  EXPECT_EQ(layout_.Lines, 20);

  // Counts that fit with a face that is not there: the face is replaced.
  std::strcpy(font_.FontName, "NoSuchFace");
  layout_.Chars = 10;
  layout_.Lines = 10;
  EXPECT_EQ(info.FitFont(record), kChangedFace);
  EXPECT_STRNE(font_.FontName, "NoSuchFace");
}

TEST_F(PrinterInfoTest, FitPageSetupFitsTheFontOnThePrintersResolution) {
  CPrinterInfo info;
  ASSERT_EQ(info.Open("Office"), kPrinterOk);
  PageSetupRecord record = Record(DMPAPER_A4, 1, 2100, 2970);
  std::strcpy(font_.FontName, platform::kFaceMsMincho);
  font_.FontSize = 140;
  layout_.Chars = 80;
  layout_.Lines = 20;
  record.font = &font_;
  record.layout = &layout_;
  const int bits = info.FitPageSetup(record);
  EXPECT_EQ(bits, kChangedResolution | kChangedCharsOrLines);
  EXPECT_LT(layout_.Chars, 80);
  EXPECT_EQ(layout_.Lines, 20);
}

TEST_F(PrinterInfoTest, TheScreensPageSetupMeasuresAtThreeHundredDots) {
  CPrinterInfo info;
  PageSetupRecord record = Record(DMPAPER_A4, 1, 2100, 2970);
  std::strcpy(font_.FontName, platform::kFaceMsMincho);
  record.font = &font_;
  number_.AreaRectStr = RECT{};
  record.pageNumber = &number_;
  EXPECT_EQ(info.GetScreenPageSetup(nullptr, record), kChangedResolution | kChangedPageNumber);
  EXPECT_EQ(paper_.dpiDC[0], kScreenPageSetupDpi);
  EXPECT_EQ(paper_.dpiDC[1], kScreenPageSetupDpi);
  // No printable border on the screen.
  EXPECT_EQ(number_.AreaRectStr, (RECT{300, 2670, 1800, 2970}));

  // On a printer: its resolution and its border.
  paper_.dpiDC[0] = paper_.dpiDC[1] = 0;
  number_.AreaRectStr = RECT{};
  EXPECT_EQ(info.GetScreenPageSetup("Office", record), kChangedResolution | kChangedPageNumber);
  EXPECT_EQ(paper_.dpiDC[0], kDpi);
  EXPECT_EQ(number_.AreaRectStr, (RECT{300, 2670, 1800, 2920}));
  // Known resolutions stay.
  EXPECT_EQ(info.GetScreenPageSetup("Office", record), 0);
}

TEST_F(PrinterInfoTest, TheDefaultPrinterIsTheOneTheProfileNamesUnlessHidden) {
  PrinterModel office = OfficePrinter();
  office.port = "USB1:,USB2:";
  office.attributes |= platform::PRINTER_ATTRIBUTE_DEFAULT;
  PrinterModel hidden = UprightPrinter("Hidden", false);
  hidden.attributes |= platform::PRINTER_ATTRIBUTE_HIDDEN;
  const platform::ScopedPrinters printers({office, UprightPrinter("Upright", false), hidden});
  framework::CString name;
  framework::CString port;
  EXPECT_EQ(CPrinterInfo::GetDefaultPrinter(name, port), 1);
  EXPECT_STREQ(name, "Office");
  EXPECT_STREQ(port, "USB1:");

  constexpr char kDevices[] = "Software\\Microsoft\\Windows NT\\CurrentVersion\\windows";
  struct Case {
    const char* device;
    int expected;
    const char* name;
  };
  const Case cases[] = {
      {"Upright,winspool,LPT1:", 1, "Upright"},
      {"Hidden,winspool,LPT1:", 0, ""},
      {"Missing,winspool,LPT1:", 0, ""},
      {",,,", 0, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.device);
    registry_.WriteString(platform::RegistryHive::kCurrentUser, kDevices, "device", c.device);
    name = "";
    EXPECT_EQ(CPrinterInfo::GetDefaultPrinter(name, port), c.expected);
    EXPECT_STREQ(name, c.name);
  }
}

}  // namespace
