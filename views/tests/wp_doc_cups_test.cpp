// A document fitted to a cups-pdf queue of a cupsd of the test's own and
// printed to it.
#include <gtest/gtest.h>

#include <string>

#include "platform/tests/private_cupsd.h"
#include "print_fixture.h"
#include "views/printer_info.h"

namespace print_test {
namespace {

namespace cups = platform::cups_test;

TEST(WpDocCupsTest, APageSetupFittedToAQueueOfItsOwnCupsdPrintsThere) {
  const std::string skip = cups::SkipReason();
  if (!skip.empty()) GTEST_SKIP() << skip;
  cups::PrivateCupsd cupsd;
  const std::string failure = cupsd.Start();
  if (!failure.empty()) GTEST_SKIP() << failure;
  const cups::ScopedCupsServer server(cupsd.socket());
  HostFontEnvironment environment;

  CVedWpDoc document;
  PageSetupBlocks setup;
  setup.paper.MarginLeft = 10;
  const int fitted = document.QueryPrinterPageSetup(cups::kQueue, setup.record);
  ASSERT_GE(fitted, 0);
  // cups-pdf prints to the paper's edges, at its own resolution.
  EXPECT_EQ(fitted & (kChangedResolution | kChangedMargins), kChangedResolution);
  EXPECT_EQ(setup.record.paperId, platform::DMPAPER_A4);
  EXPECT_EQ(setup.paper.MarginLeft, 10);
  ASSERT_EQ(document.ApplyPageSetup(setup.record, 1), 0);
  std::string text;
  for (int n = 1; n <= kLines; ++n) {
    text += platform::Utf8ToSjis(LineText(n)).value() + "\r";
  }
  document.GetEngine()->EditCommand(WPC_INSERT_TEXT, 1, reinterpret_cast<intptr_t>(text.c_str()));
  ASSERT_EQ(document.GetEngine()->EditCommand(WPC_GET_PAGE_COUNT, 0, 0), kPages);

  PageSetupBlocks printing;
  ASSERT_EQ(document.GetPageSetup(printing.record), 0);
  const std::string title = "lexora-wpdoc-cups-" + std::to_string(getpid());
  ASSERT_EQ(document.StartPrintJob(0, cups::kQueue, printing.record, title.c_str()), kPages);
  for (int page = 1; page <= kPages; ++page) EXPECT_EQ(document.PrintPage(page), 0);
  EXPECT_EQ(document.EndPrintJob(), 0);

  const fs::path written = cups::WaitForOutput(title);
  ASSERT_FALSE(written.empty()) << "no PDF from cups-pdf in " << cups::CupsPdfFolder();
  const std::string details = cups::RunTool("pdfinfo '" + written.string() + "'");
  EXPECT_NE(details.find("Pages:           3"), std::string::npos) << details;
  EXPECT_NE(details.find("595 x 842 pts (A4)"), std::string::npos) << details;
  // cups-pdf's filters turn the text into outlines: its ink is looked for.
  EXPECT_GT(
      cups::DarkPixels(cups::RunTool("pdftoppm -r 72 -gray -f 3 -l 3 '" + written.string() + "'")),
      50);
  fs::remove(written);
}

}  // namespace
}  // namespace print_test
