// Printing a framework document to the PDF printer: the pages and their
// size, the text read back from the PDF, a selection through the child
// document, and every failure of the printer answered with its code.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "model/text_navigator.h"
#include "print_fixture.h"
#include "views/printer_info.h"

namespace print_test {
namespace {

// The PDF's text without its white space: characters set on the page's
// grid come back as separate words.
std::string PdfText(const fs::path& pdf) {
  std::string text = RunTool("pdftotext '" + pdf.string() + "' -");
  std::erase_if(text, [](char c) { return c == ' ' || c == '\n'; });
  return text;
}

// The text of each page, split at the form feeds.
std::vector<std::string> Pages(const std::string& text) {
  std::vector<std::string> pages;
  size_t start = 0;
  for (size_t at = text.find('\f'); at != std::string::npos; at = text.find('\f', start)) {
    pages.push_back(text.substr(start, at - start));
    start = at + 1;
  }
  return pages;
}

int PrintAll(CVedWpDoc& document, int pages) {
  for (int page = 1; page <= pages; ++page) {
    const int printed = document.PrintPage(page);
    if (printed != 0) return printed;
  }
  return 0;
}

TEST_F(PrintTest, ThreePagesOfA4WithTheirLines) {
  CVedWpDoc document;
  ASSERT_TRUE(Prepare(document, platform::kPdfPrinterName));
  PageSetupBlocks setup;
  ASSERT_EQ(document.GetPageSetup(setup.record), 0);
  ASSERT_EQ(document.StartPrintJob(0, platform::kPdfPrinterName, setup.record,
                                   DocumentName("three").c_str()),
            kPages);
  EXPECT_EQ(PrintAll(document, kPages), 0);
  EXPECT_EQ(document.EndPrintJob(), 0);

  const std::string details = RunTool("pdfinfo '" + PdfOf("three").string() + "'");
  EXPECT_NE(details.find("Pages:           3"), std::string::npos) << details;
  EXPECT_NE(details.find("595.32 x 841.92 pts (A4)"), std::string::npos) << details;
  const std::vector<std::string> pages = Pages(PdfText(PdfOf("three")));
  ASSERT_EQ(pages.size(), 3u);
  for (int n = 1; n <= kLines; ++n) {
    const std::string& page = pages[(n - 1) / kLinesPerPage];
    EXPECT_NE(page.find(LineText(n)), std::string::npos) << "line " << n << " in\n" << page;
  }
  EXPECT_EQ(pages[0].find(LineText(kLinesPerPage + 1)), std::string::npos)
      << pages[0] << "\n2: " << pages[1] << "\n3: " << pages[2];
}

TEST_F(PrintTest, ASelectionPrintsThroughAChildDocumentAlone) {
  CVedWpDoc document;
  ASSERT_TRUE(Prepare(document, platform::kPdfPrinterName));
  PageSetupBlocks setup;
  ASSERT_EQ(document.GetPageSetup(setup.record), 0);
  // Nothing selected: nothing to print.
  EXPECT_EQ(document.StartPrintJob(1, platform::kPdfPrinterName, setup.record,
                                   DocumentName("none").c_str()),
            kPrintNothing);
  EXPECT_EQ(document.EndPrintJob(), 0);

  constexpr int kSelected = 12;
  constexpr intptr_t kCharacterWise = 1;
  for (int line = 0; line < kSelected; ++line) {
    document.GetEngine()->EditCommand(WPC_MOVE_EXTEND, kMoveLineDown, kCharacterWise);
  }
  ASSERT_NE(document.GetEngine()->EditCommand(WPC_HAS_SELECTION, 0, 0), 0);
  const int pages = document.StartPrintJob(1, platform::kPdfPrinterName, setup.record,
                                           DocumentName("selection").c_str());
  ASSERT_EQ(pages, 2);
  EXPECT_EQ(PrintAll(document, pages), 0);
  EXPECT_EQ(document.EndPrintJob(), 0);

  const std::vector<std::string> printed = Pages(PdfText(PdfOf("selection")));
  ASSERT_EQ(printed.size(), 2u);
  for (int n = 1; n <= kSelected; ++n) {
    EXPECT_NE(printed[(n - 1) / kLinesPerPage].find(LineText(n)), std::string::npos) << n;
  }
  EXPECT_EQ(printed[1].find(LineText(kSelected + 1)), std::string::npos) << printed[1];
  // The document itself is as it was.
  EXPECT_EQ(document.GetEngine()->EditCommand(WPC_GET_PAGE_COUNT, 0, 0), kPages);
  EXPECT_NE(document.GetEngine()->EditCommand(WPC_HAS_SELECTION, 0, 0), 0);
}

// A printer that shows one fault.
platform::PrinterModel Faulty(const char* name, const platform::PrinterFaults& faults) {
  platform::PrinterModel printer = platform::MakePdfPrinter();
  printer.name = name;
  printer.faults = faults;
  return printer;
}

TEST_F(PrintTest, EveryFailureOfThePrinterIsAnsweredWithItsCode) {
  const platform::ScopedPrinters printers(
      {platform::MakePdfPrinter(), Faulty("NoDoc", {.refuseStartDoc = true}),
       Faulty("NoStartPage", {.failStartPage = 2}), Faulty("NoEndPage", {.failEndPage = 3}),
       Faulty("NoEndDoc", {.failEndDoc = true})});
  struct Case {
    const char* printer;
    int started;                   // StartPrintJob's answer
    std::vector<int> pageAnswers;  // PrintPage 1, 2, 3
    int ended;
  };
  const Case cases[] = {
      {platform::kPdfPrinterName, kPages, {0, 0, 0}, 0},
      // A document the printer refuses prints no page.
      {"NoDoc", kPrintNoDC, {kPrintFailed, kPrintFailed, kPrintFailed}, 0},
      {"NoStartPage", kPages, {0, kPrintFailed, kPrintFailed}, kPrintFailed},
      {"NoEndPage", kPages, {0, 0, kPrintFailed}, kPrintFailed},
      {"NoEndDoc", kPages, {0, 0, 0}, kPrintFailed},
      {"Missing", kPrinterNotInstalled, {kPrintFailed, kPrintFailed, kPrintFailed}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.printer);
    CVedWpDoc document;
    ASSERT_TRUE(Prepare(document, platform::kPdfPrinterName));
    PageSetupBlocks setup;
    ASSERT_EQ(document.GetPageSetup(setup.record), 0);
    EXPECT_EQ(document.StartPrintJob(0, c.printer, setup.record, DocumentName(c.printer).c_str()),
              c.started);
    for (int page = 1; page <= kPages; ++page) {
      EXPECT_EQ(document.PrintPage(page), c.pageAnswers[page - 1]) << "page " << page;
    }
    EXPECT_EQ(document.EndPrintJob(), c.ended);
  }
}

TEST_F(PrintTest, APageSetupThatDoesNotFitThePrinterUnchangedIsRefused) {
  CVedWpDoc document;
  ASSERT_TRUE(Prepare(document, platform::kPdfPrinterName));
  PageSetupBlocks setup;
  ASSERT_EQ(document.GetPageSetup(setup.record), 0);
  setup.paper.dpiDC[0] = setup.paper.dpiDC[1] = 300;
  EXPECT_EQ(document.StartPrintJob(0, platform::kPdfPrinterName, setup.record,
                                   DocumentName("refit").c_str()),
            kPrintSetupChanged);
  EXPECT_EQ(document.PrintPage(1), kPrintFailed);
  EXPECT_EQ(document.EndPrintJob(), 0);
  EXPECT_FALSE(fs::exists(PdfOf("refit")));
}

TEST_F(PrintTest, TheDocumentFitsItsPageSetupToThePrinterOrToTheScreen) {
  CVedWpDoc document;
  PageSetupBlocks setup;
  setup.paper.MarginLeft = 10;
  const int bits = document.QueryPrinterPageSetup(platform::kPdfPrinterName, setup.record);
  EXPECT_EQ(bits & (kChangedResolution | kChangedMargins), kChangedResolution | kChangedMargins);
  EXPECT_EQ(setup.paper.dpiDC[0], 600);
  EXPECT_STREQ(setup.record.paperName, "A4");
  EXPECT_EQ(document.QueryPrinterPageSetup("Missing", setup.record), kPrinterNotInstalled);

  PageSetupBlocks screen;
  EXPECT_EQ(document.QueryPrinterPageSetup(nullptr, screen.record), kChangedResolution);
  EXPECT_EQ(screen.paper.dpiDC[0], kScreenPageSetupDpi);
  // A size no paper takes falls back to the printer's resolution alone.
  PageSetupBlocks huge;
  huge.paper.PaperWidth = huge.paper.PaperHeight = 9000;
  EXPECT_EQ(document.QueryPrinterPageSetup(platform::kPdfPrinterName, huge.record),
            kChangedResolution);
  EXPECT_EQ(huge.paper.dpiDC[0], 600);
}

}  // namespace
}  // namespace print_test
