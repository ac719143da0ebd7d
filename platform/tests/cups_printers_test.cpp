// Prints through a cupsd of the test's own, with a cups-pdf queue, on a
// private socket and configuration folder.
#include "platform/cups_printers.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/print_dc.h"
#include "platform/sjis.h"
#include "platform/tests/private_cupsd.h"
#include "platform/texts.h"

namespace platform {
namespace {

using namespace cups_test;  // NOLINT: the test's own helpers

TEST(CupsPrintersTest, AQueueOfItsOwnCupsdIsListedMeasuredAndPrintedTo) {
  if (!fs::exists(kCupsd) || !fs::exists(kCupsPdfBackend)) {
    GTEST_SKIP() << "cupsd or the cups-pdf backend is not installed";
  }
  if (geteuid() != 0) GTEST_SKIP() << "the cups-pdf backend runs only under a cupsd of root";
  PrivateCupsd cupsd;
  const std::string failure = cupsd.Start();
  if (!failure.empty()) GTEST_SKIP() << failure;
  setenv("CUPS_SERVER", cupsd.socket().c_str(), 1);
  cupsSetServer(cupsd.socket().c_str());

  const std::vector<PrinterModel> queues = CupsPrinters();
  ASSERT_EQ(queues.size(), 1u);
  const PrinterModel& queue = queues.front();
  EXPECT_EQ(queue.name, kQueue);
  EXPECT_NE(queue.attributes & PRINTER_ATTRIBUTE_DEFAULT, 0u);
  const PaperForm* a4 = queue.FindPaper(DMPAPER_A4);
  ASSERT_NE(a4, nullptr);
  EXPECT_EQ(a4->size, (SIZE{2100, 2970}));
  // cups-pdf prints to the paper's edges.
  EXPECT_EQ(a4->margins, RECT{});
  EXPECT_NE(queue.FindPaper(DMPAPER_LETTER), nullptr);

  // The spooler lists it beside the PDF printer and names it the default.
  char device[80];
  GetProfileStringA("windows", "device", ",,,", device, sizeof device);
  EXPECT_STREQ(device, "LexoraTest,winspool,CUPS:");
  EXPECT_GT(DeviceCapabilitiesA(kQueue, "CUPS:", DC_PAPERS, nullptr, nullptr), 1);

  DEVMODEA mode;
  mode.dmFields = DM_PAPERSIZE;
  mode.dmPaperSize = DMPAPER_A4;
  const HDC dc = CreateDCA("WINSPOOL", kQueue, nullptr, &mode);
  ASSERT_NE(dc, nullptr);
  EXPECT_EQ(GetDeviceCaps(dc, PHYSICALWIDTH), 4961);
  EXPECT_EQ(GetDeviceCaps(dc, PHYSICALOFFSETX), 0);
  EXPECT_EQ(GetDeviceCaps(dc, HORZRES), 4961);
  const std::string title = "lexora-cups-" + std::to_string(getpid());
  DOCINFOA info;
  info.lpszDocName = title.c_str();
  ASSERT_GT(StartDocA(dc, &info), 0);
  ASSERT_GT(StartPage(dc), 0);
  LOGFONTA lf;
  lf.lfHeight = -100;
  lf.lfCharSet = SHIFTJIS_CHARSET;
  std::strcpy(lf.lfFaceName, kFaceMsGothic);
  const UniqueFont font = CreateFontIndirectA(lf);
  ASSERT_NE(font, nullptr);
  SelectObject(dc, font.get());
  const std::string text = Utf8ToSjis("印刷の試験").value();
  ASSERT_TRUE(ExtTextOutA(dc, 100, 200, 0, nullptr, text.data(), static_cast<int32_t>(text.size()),
                          nullptr));
  ASSERT_GT(EndPage(dc), 0);
  ASSERT_GT(EndDoc(dc), 0);
  EXPECT_TRUE(GetPrintOutput(dc).starts_with("LexoraTest-")) << GetPrintOutput(dc);
  DeleteDC(dc);

  const fs::path written = WaitForOutput(title);
  ASSERT_FALSE(written.empty()) << "no PDF from cups-pdf in " << CupsPdfFolder();
  const std::string details = RunTool("pdfinfo '" + written.string() + "'");
  EXPECT_NE(details.find("Pages:           1"), std::string::npos) << details;
  EXPECT_NE(details.find("595 x 842 pts (A4)"), std::string::npos) << details;
  // cups-pdf's filters turn the text into outlines: its ink is looked for.
  EXPECT_GT(DarkPixels(RunTool("pdftoppm -r 72 -gray '" + written.string() + "'")), 50);
  fs::remove(written);

  // A job whose server goes away before it is sent is a failed EndDoc.
  const HDC lost = CreateDCA("WINSPOOL", kQueue, nullptr, nullptr);
  ASSERT_NE(lost, nullptr);
  info.lpszDocName = "lexora-cups-lost";
  ASSERT_GT(StartDocA(lost, &info), 0);
  ASSERT_GT(StartPage(lost), 0);
  ASSERT_GT(EndPage(lost), 0);
  cupsd.Stop();
  EXPECT_EQ(EndDoc(lost), SP_ERROR);
  EXPECT_EQ(GetPrintOutput(lost), "");
  DeleteDC(lost);
  cupsSetServer(nullptr);
  unsetenv("CUPS_SERVER");
}

}  // namespace
}  // namespace platform
