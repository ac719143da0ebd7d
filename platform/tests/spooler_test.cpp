#include "platform/spooler.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/message_box.h"
#include "platform/registry.h"

namespace platform {
namespace {

// A printer with a paper name that fills its whole field, no user sizes
// and no landscape.
PrinterModel NarrowPrinter() {
  PrinterModel printer;
  printer.name = "Narrow";
  printer.port = "LPT1:";
  printer.papers = {{DMPAPER_A4, std::string(kPaperNameBytes, 'N'), SIZE{2100, 2970}, RECT{}},
                    {DMPAPER_B5, "B5", SIZE{1820, 2570}, RECT{30, 40, 50, 60}}};
  printer.bins = {{1}, {2}};
  printer.defaultBin = 1;
  printer.dpi = 300;
  printer.turnsPaper = false;
  return printer;
}

std::vector<PrinterModel> TwoPrinters() {
  PrinterModel pdf = MakePdfPrinter();
  PrinterModel narrow = NarrowPrinter();
  narrow.attributes |= PRINTER_ATTRIBUTE_DEFAULT;
  return {pdf, narrow};
}

TEST(SpoolerTest, EnumPrintersListsEveryPrinterAtLevelsFourAndFive) {
  const ScopedPrinters printers(TwoPrinters());
  DWORD needed = 0;
  DWORD returned = 7;
  EXPECT_FALSE(EnumPrintersA(PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS, nullptr, 4, nullptr, 0,
                             &needed, &returned));
  EXPECT_EQ(returned, 0u);
  ASSERT_GT(needed, 2 * sizeof(PRINTER_INFO_4A));
  std::vector<BYTE> buffer(needed);
  ASSERT_TRUE(EnumPrintersA(PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS, nullptr, 4,
                            buffer.data(), needed, &needed, &returned));
  ASSERT_EQ(returned, 2u);
  const auto* four = reinterpret_cast<const PRINTER_INFO_4A*>(buffer.data());
  EXPECT_STREQ(four[0].pPrinterName, "PDF");
  EXPECT_STREQ(four[1].pPrinterName, "Narrow");
  EXPECT_EQ(four[1].Attributes & PRINTER_ATTRIBUTE_DEFAULT, PRINTER_ATTRIBUTE_DEFAULT);

  EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 5, nullptr, 0, &needed, &returned);
  buffer.assign(needed, 0);
  ASSERT_TRUE(
      EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 5, buffer.data(), needed, &needed, &returned));
  const auto* five = reinterpret_cast<const PRINTER_INFO_5A*>(buffer.data());
  EXPECT_STREQ(five[0].pPortName, "FILE:");
  EXPECT_STREQ(five[1].pPortName, "LPT1:");
  EXPECT_FALSE(
      EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 2, buffer.data(), needed, &needed, &returned));
}

TEST(SpoolerTest, WithoutOtherPrintersThePdfPrinterIsTheDefault) {
  MemoryRegistry registry;
  const ScopedRegistry scope(registry);
  DWORD needed = 0;
  DWORD returned = 0;
  EnumPrintersA(PRINTER_ENUM_DEFAULT, nullptr, 4, nullptr, 0, &needed, &returned);
  std::vector<BYTE> buffer(needed);
  ASSERT_TRUE(
      EnumPrintersA(PRINTER_ENUM_DEFAULT, nullptr, 4, buffer.data(), needed, &needed, &returned));
  ASSERT_GE(returned, 1u);
  char device[80];
  GetProfileStringA("windows", "device", ",,,", device, sizeof device);
  const std::string answer = device;
  EXPECT_EQ(answer.substr(0, answer.find(',')),
            reinterpret_cast<const PRINTER_INFO_4A*>(buffer.data())->pPrinterName);
}

TEST(SpoolerTest, TheProfileNamesTheDefaultPrinterUnlessTheUserProfileSaysOtherwise) {
  const ScopedPrinters printers(TwoPrinters());
  MemoryRegistry registry;
  const ScopedRegistry scope(registry);
  char device[80];
  EXPECT_EQ(GetProfileStringA("windows", "device", ",,,", device, sizeof device), 21u);
  EXPECT_STREQ(device, "Narrow,winspool,LPT1:");
  char small[7];
  EXPECT_EQ(GetProfileStringA("Windows", "Device", ",,,", small, sizeof small), 6u);
  EXPECT_STREQ(small, "Narrow");
  EXPECT_EQ(GetProfileStringA("windows", "other", ",,,", device, sizeof device), 3u);
  EXPECT_STREQ(device, ",,,");
  registry.WriteString(RegistryHive::kCurrentUser,
                       "Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows", "Device",
                       "PDF,winspool,FILE:");
  GetProfileStringA("windows", "device", ",,,", device, sizeof device);
  EXPECT_STREQ(device, "PDF,winspool,FILE:");
}

TEST(SpoolerTest, OpenPrinterAndGetPrinterGiveThePort) {
  const ScopedPrinters printers(TwoPrinters());
  HANDLE handle = 0;
  EXPECT_FALSE(OpenPrinterA("narrow", &handle, nullptr));
  ASSERT_TRUE(OpenPrinterA("Narrow", &handle, nullptr));
  DWORD needed = 0;
  EXPECT_FALSE(GetPrinterA(handle, 5, nullptr, 0, &needed));
  std::vector<BYTE> buffer(needed);
  ASSERT_TRUE(GetPrinterA(handle, 5, buffer.data(), needed, &needed));
  const auto* info = reinterpret_cast<const PRINTER_INFO_5A*>(buffer.data());
  EXPECT_STREQ(info->pPrinterName, "Narrow");
  EXPECT_STREQ(info->pPortName, "LPT1:");
  EXPECT_FALSE(GetPrinterA(handle, 4, buffer.data(), needed, &needed));
  EXPECT_TRUE(ClosePrinter(handle));
  EXPECT_FALSE(ClosePrinter(handle));
  EXPECT_FALSE(GetPrinterA(handle, 5, buffer.data(), needed, &needed));
}

TEST(SpoolerTest, ThePdfPrinterOffersTheUsualPapersInTenthsOfAMillimetre) {
  struct Case {
    WORD id;
    const char* name;
    POINT size;
  };
  const Case cases[] = {
      {DMPAPER_A3, "A3", {2970, 4200}},
      {DMPAPER_A4, "A4", {2100, 2970}},
      {DMPAPER_A5, "A5", {1480, 2100}},
      {DMPAPER_B4, "B4 (JIS)", {2570, 3640}},
      {DMPAPER_B5, "B5 (JIS)", {1820, 2570}},
      {DMPAPER_LETTER, "Letter", {2159, 2794}},
      {DMPAPER_LEGAL, "Legal", {2159, 3556}},
      {DMPAPER_JAPANESE_POSTCARD, "Japanese Postcard", {1000, 1480}},
  };
  const int32_t count = DeviceCapabilitiesA("PDF", "FILE:", DC_PAPERS, nullptr, nullptr);
  ASSERT_GE(count, 8);
  std::vector<WORD> ids(count);
  std::vector<POINT> sizes(count);
  std::vector<char> names(count * kPaperNameBytes);
  EXPECT_EQ(DeviceCapabilitiesA("PDF", "", DC_PAPERS, reinterpret_cast<char*>(ids.data()), nullptr),
            count);
  EXPECT_EQ(
      DeviceCapabilitiesA("PDF", "", DC_PAPERSIZE, reinterpret_cast<char*>(sizes.data()), nullptr),
      count);
  EXPECT_EQ(DeviceCapabilitiesA("PDF", "", DC_PAPERNAMES, names.data(), nullptr), count);
  for (const Case& c : cases) {
    int32_t at = 0;
    while (at < count && ids[at] != c.id) ++at;
    ASSERT_LT(at, count) << c.name;
    EXPECT_EQ(sizes[at], c.size) << c.name;
    EXPECT_STREQ(&names[at * kPaperNameBytes], c.name);
  }
  EXPECT_EQ(DeviceCapabilitiesA("PDF", "", DC_BINS, nullptr, nullptr), 1);
  const int32_t minimum = DeviceCapabilitiesA("PDF", "", DC_MINEXTENT, nullptr, nullptr);
  const int32_t maximum = DeviceCapabilitiesA("PDF", "", DC_MAXEXTENT, nullptr, nullptr);
  EXPECT_EQ(minimum & 0xFFFF, 250);
  EXPECT_EQ(maximum & 0xFFFF, 4200);
  EXPECT_EQ(static_cast<uint32_t>(maximum) >> 16, 5940u);
}

TEST(SpoolerTest, CapabilitiesOfAnUnknownPrinterOrOfMissingExtentsAreMinusOne) {
  const ScopedPrinters printers(TwoPrinters());
  for (const WORD capability :
       {DC_PAPERS, DC_PAPERSIZE, DC_PAPERNAMES, DC_BINS, DC_MINEXTENT, DC_MAXEXTENT}) {
    EXPECT_EQ(DeviceCapabilitiesA("Missing", "", capability, nullptr, nullptr), -1) << capability;
  }
  EXPECT_EQ(DeviceCapabilitiesA("Narrow", "", DC_MINEXTENT, nullptr, nullptr), -1);
  EXPECT_EQ(DeviceCapabilitiesA("Narrow", "", DC_MAXEXTENT, nullptr, nullptr), -1);
  EXPECT_EQ(DeviceCapabilitiesA(nullptr, "", DC_PAPERS, nullptr, nullptr), -1);
}

TEST(SpoolerTest, APaperNameFillingItsFieldHasNoNul) {
  const ScopedPrinters printers(TwoPrinters());
  std::vector<char> names(2 * kPaperNameBytes + 1, 'x');
  ASSERT_EQ(DeviceCapabilitiesA("Narrow", "", DC_PAPERNAMES, names.data(), nullptr), 2);
  EXPECT_EQ(std::string(names.data(), kPaperNameBytes), std::string(kPaperNameBytes, 'N'));
  EXPECT_STREQ(&names[kPaperNameBytes], "B5");
  EXPECT_EQ(names[2 * kPaperNameBytes], 'x');
  std::vector<WORD> bins(2);
  ASSERT_EQ(
      DeviceCapabilitiesA("Narrow", "", DC_BINS, reinterpret_cast<char*>(bins.data()), nullptr), 2);
  EXPECT_EQ(bins, (std::vector<WORD>{1, 2}));
}

TEST(SpoolerTest, DocumentPropertiesKeepsWhatThePrinterTakes) {
  const ScopedPrinters printers(TwoPrinters());
  HANDLE pdf = 0;
  ASSERT_TRUE(OpenPrinterA("PDF", &pdf, nullptr));
  EXPECT_EQ(DocumentPropertiesA(0, pdf, "PDF", nullptr, nullptr, 0),
            static_cast<int32_t>(sizeof(DEVMODEA)));
  DEVMODEA mode;
  ASSERT_EQ(DocumentPropertiesA(0, pdf, "PDF", &mode, nullptr, DM_OUT_BUFFER), IDOK);
  EXPECT_STREQ(mode.dmDeviceName, "PDF");
  EXPECT_EQ(mode.dmPaperSize, DMPAPER_A4);
  EXPECT_EQ(mode.dmFields & DM_ORIENTATION, DM_ORIENTATION);
  EXPECT_EQ(mode.dmDefaultSource, DMBIN_AUTO);

  struct Case {
    const char* what;
    DWORD fields;
    int16_t orientation, paper, width, length;
    int16_t wantOrientation, wantPaper, wantWidth, wantLength;
  };
  const Case cases[] = {
      {"landscape B5", DM_ORIENTATION | DM_PAPERSIZE, 2, DMPAPER_B5, 0, 0, 2, DMPAPER_B5, 0, 0},
      {"unknown paper", DM_PAPERSIZE, 1, 99, 0, 0, 1, DMPAPER_A4, 0, 0},
      {"bad orientation", DM_ORIENTATION, 3, 0, 0, 0, 1, DMPAPER_A4, 0, 0},
      {"user size", DM_PAPERSIZE | DM_PAPERWIDTH | DM_PAPERLENGTH, 1, DMPAPER_USER, 1000, 2000, 1,
       DMPAPER_USER, 1000, 2000},
      {"user size too long", DM_PAPERSIZE | DM_PAPERWIDTH | DM_PAPERLENGTH, 1, DMPAPER_USER, 1000,
       7000, 1, DMPAPER_USER, 1000, 5940},
  };
  for (const Case& c : cases) {
    DEVMODEA in = mode;
    in.dmFields = c.fields;
    in.dmOrientation = c.orientation;
    in.dmPaperSize = c.paper;
    in.dmPaperWidth = c.width;
    in.dmPaperLength = c.length;
    DEVMODEA out;
    ASSERT_EQ(DocumentPropertiesA(0, pdf, "PDF", &out, &in, DM_IN_BUFFER | DM_OUT_BUFFER), IDOK)
        << c.what;
    EXPECT_EQ(out.dmOrientation, c.wantOrientation) << c.what;
    EXPECT_EQ(out.dmPaperSize, c.wantPaper) << c.what;
    EXPECT_EQ(out.dmPaperWidth, c.wantWidth) << c.what;
    EXPECT_EQ(out.dmPaperLength, c.wantLength) << c.what;
  }
  ClosePrinter(pdf);

  // The narrow printer turns no paper and takes no user size.
  DEVMODEA in;
  in.dmFields = DM_ORIENTATION | DM_PAPERSIZE | DM_PAPERWIDTH | DM_PAPERLENGTH;
  in.dmOrientation = DMORIENT_LANDSCAPE;
  in.dmPaperSize = static_cast<int16_t>(DMPAPER_USER);
  in.dmPaperWidth = 1000;
  in.dmPaperLength = 1000;
  in.dmDefaultSource = 2;
  DEVMODEA out;
  ASSERT_EQ(DocumentPropertiesA(0, 0, "Narrow", &out, &in, DM_IN_BUFFER | DM_OUT_BUFFER), IDOK);
  EXPECT_EQ(out.dmFields & DM_ORIENTATION, 0u);
  EXPECT_EQ(out.dmOrientation, DMORIENT_PORTRAIT);
  EXPECT_EQ(out.dmPaperSize, DMPAPER_A4);
  EXPECT_EQ(out.dmDefaultSource, 2);
  EXPECT_EQ(DocumentPropertiesA(0, 0, "Missing", &out, nullptr, DM_OUT_BUFFER), -1);
  EXPECT_EQ(DocumentPropertiesA(0, 0, "Narrow", &out, nullptr, DM_IN_BUFFER | DM_OUT_BUFFER), -1);
}

TEST(SpoolerTest, ThePrinterSetupFollowsPaperAndOrientation) {
  const ScopedPrinters printers(TwoPrinters());
  const PrinterModel narrow = *FindPrinter("Narrow");
  DEVMODEA mode;
  mode.dmFields = DM_PAPERSIZE;
  mode.dmPaperSize = DMPAPER_B5;
  const PrinterSetup b5 = SetupFor(narrow, &mode);
  // 182 x 257 mm at 300 dpi; borders 3, 4, 5, 6 mm.
  EXPECT_EQ(b5.paper, (SIZE{2150, 3035}));
  EXPECT_EQ(b5.physicalOffset, (POINT{35, 47}));
  EXPECT_EQ(b5.printable, (SIZE{2150 - 35 - 59, 3035 - 47 - 71}));

  const PrinterModel pdf = *FindPrinter("PDF");
  mode.dmFields = DM_PAPERSIZE | DM_ORIENTATION;
  mode.dmOrientation = DMORIENT_LANDSCAPE;
  mode.dmPaperSize = DMPAPER_A4;
  const PrinterSetup a4 = SetupFor(pdf, &mode);
  EXPECT_EQ(a4.dpiX, 600);
  EXPECT_EQ(a4.paper, (SIZE{7016, 4961}));
  EXPECT_EQ(a4.physicalOffset, (POINT{99, 99}));
}

}  // namespace
}  // namespace platform
