// Printing a document of about 500 pages of generated Japanese text (A4,
// 40 by 40 characters of 10.5-point ＭＳ 明朝) to the PDF printer, page by
// page as the print progress dialog does, against LibreOffice converting
// the same text, as a UTF-8 text file, to PDF in the same run. Both write
// their PDF into one temporary folder; LibreOffice's time includes its
// start, as it does for a user who prints with it.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "bench_document.h"
#include "bench_engine.h"
#include "engine/wp_commands.h"
#include "platform/sjis.h"
#include "platform/spooler.h"
#include "views/page_setup.h"
#include "views/wp_doc.h"

namespace bench {
namespace {

namespace fs = std::filesystem;

BenchEnvironment* environment = nullptr;

constexpr int32_t kPages = 500;
constexpr int32_t kTextPages = 512;
constexpr uint32_t kSeed = 20240501u;
constexpr int32_t kMargin = 200;  // 0.1 mm

// The document typed once, with its page setup fitted to the PDF printer,
// and the same text as a file for LibreOffice.
struct PrintedDocument {
  PrintedDocument() {
    char pattern[] = "/tmp/lexora-print-bench-XXXXXX";
    folder = mkdtemp(pattern);
    PageSetupPaper paper;
    paper.MarginTop = paper.MarginBottom = paper.MarginLeft = paper.MarginRight = kMargin;
    PageSetupFont font;
    std::strncpy(font.FontName, environment->FaceName(), sizeof font.FontName - 1);
    PageSetupLayout layout;
    // Half-width columns: two to a Japanese character.
    layout.Chars = 2 * kCharsPerLine;
    layout.Lines = kLinesPerPage;
    PageSetupRecord record;
    record.paperId = platform::DMPAPER_A4;
    record.paper = &paper;
    record.font = &font;
    record.layout = &layout;
    ready = document.QueryPrinterPageSetup(platform::kPdfPrinterName, record) >= 0 &&
            document.ApplyPageSetup(record, 1) == 0;
    // The generated text runs a little short of its target once laid out.
    const BenchDocument text = JapaneseTextMaker(kSeed + kPages).Make(kTextPages);
    std::ofstream plain(TextPath());
    for (size_t i = 0; i < text.paragraphs.size(); ++i) {
      std::string chunk = text.paragraphs[i];
      plain << platform::SjisToUtf8(chunk).value_or("") << '\n';
      if (i + 1 < text.paragraphs.size()) chunk += '\r';
      if (!chunk.empty()) {
        document.GetEngine()->EditCommand(WPC_INSERT_TEXT, 0,
                                          reinterpret_cast<intptr_t>(chunk.c_str()));
      }
    }
    pages = document.GetEngine()->EditCommand(WPC_GET_PAGE_COUNT, 0, 0);
    record.paper = &printPaper;
    record.font = &printFont;
    record.layout = &printLayout;
    printRecord = record;
    ready = ready && document.GetPageSetup(printRecord) == 0;
  }
  ~PrintedDocument() {
    std::error_code ignored;
    fs::remove_all(folder, ignored);
  }
  PrintedDocument(const PrintedDocument&) = delete;
  PrintedDocument& operator=(const PrintedDocument&) = delete;

  std::string TextPath() const { return (folder / "libreoffice.txt").string(); }
  std::string DocumentName() const { return (folder / "lexora.lxc").string(); }

  fs::path folder;
  CVedWpDoc document;
  PageSetupPaper printPaper;
  PageSetupFont printFont;
  PageSetupLayout printLayout;
  PageSetupRecord printRecord;
  int pages = 0;
  bool ready = false;
};

std::unique_ptr<PrintedDocument> printed;

PrintedDocument& Printed() {
  if (printed == nullptr) printed = std::make_unique<PrintedDocument>();
  return *printed;
}

int64_t FileSize(const fs::path& path) {
  std::error_code error;
  const auto size = fs::file_size(path, error);
  return error ? 0 : static_cast<int64_t>(size);
}

void BM_PrintToPdfPrinter(benchmark::State& state) {
  PrintedDocument& p = Printed();
  if (!p.ready) {
    state.SkipWithError("the page setup could not be applied");
    return;
  }
  for (auto _ : state) {
    const int pages = p.document.StartPrintJob(0, platform::kPdfPrinterName, p.printRecord,
                                               p.DocumentName().c_str());
    for (int page = 1; page <= pages; ++page) {
      if (p.document.PrintPage(page) != 0) state.SkipWithError("a page did not print");
    }
    if (pages != p.pages || p.document.EndPrintJob() != 0) {
      state.SkipWithError("the document did not print");
    }
  }
  state.counters["pages"] = p.pages;
  state.counters["pdf_bytes"] = static_cast<double>(FileSize(p.folder / "lexora.pdf"));
  state.SetLabel(environment->FontLabel());
}

void BM_LibreOfficeTextToPdf(benchmark::State& state) {
  PrintedDocument& p = Printed();
  const std::string command =
      "soffice --headless -env:UserInstallation=file://" + (p.folder / "lo-profile").string() +
      " --infilter='Text (encoded):UTF8,LF,,,' --convert-to pdf --outdir '" + p.folder.string() +
      "' '" + p.TextPath() + "' > /dev/null 2>&1";
  for (auto _ : state) {
    if (std::system(command.c_str()) != 0) {
      state.SkipWithError("soffice failed or is not installed");
      return;
    }
  }
  state.counters["pdf_bytes"] = static_cast<double>(FileSize(p.folder / "libreoffice.pdf"));
}

BENCHMARK(BM_PrintToPdfPrinter)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
BENCHMARK(BM_LibreOfficeTextToPdf)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

}  // namespace
}  // namespace bench

int main(int argc, char** argv) {
  return bench::RunBenchmarkProgram(argc, argv, bench::environment, [] { bench::printed.reset(); });
}
