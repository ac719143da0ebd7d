// A framework document over the installed IPA faces with the page setup
// of the PDF printer (A4, 30 mm margins, ＭＳ 明朝 10.5 points, 30
// characters by 10 lines) and 25 numbered lines of text, three pages; and
// the tools that read a printed PDF back.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <array>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "engine/tests/doc_root_fixture.h"
#include "engine/wp_commands.h"
#include "platform/clock.h"
#include "platform/font_service.h"
#include "platform/host_fonts.h"
#include "platform/sjis.h"
#include "platform/sound.h"
#include "platform/spooler.h"
#include "platform/texts.h"
#include "views/wp_doc.h"

namespace print_test {

namespace fs = std::filesystem;

inline constexpr int kLines = 25;
inline constexpr int kLinesPerPage = 10;
inline constexpr int kPages = 3;

inline std::string RunTool(const std::string& command) {
  std::string out;
  std::FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return out;
  std::array<char, 4096> chunk;
  size_t read = 0;
  while ((read = std::fread(chunk.data(), 1, chunk.size(), pipe)) > 0) {
    out.append(chunk.data(), read);
  }
  pclose(pipe);
  return out;
}

// The text of line n (UTF-8), as pdftotext gives it back.
inline std::string LineText(int n) {
  char digits[8];
  std::snprintf(digits, sizeof digits, "%02d", n);
  return std::string("これは第") + digits + "行の本文です";
}

// Everything a document needs of the process, with the host's fonts.
class HostFontEnvironment {
 private:
  platform::FakeClock clock_;
  platform::ScopedClock scopedClock_{clock_};
  platform::RecordingAudioBackend audio_;
  platform::ScopedAudioBackend scopedAudio_{audio_};
  platform::ScopedFontService useService_{platform::HostFontService()};
  doc_root_test::ProcessState state_;
};

struct PageSetupBlocks {
  PageSetupBlocks() {
    record.paperId = platform::DMPAPER_A4;
    std::strcpy(font.FontName, platform::kFaceMsMincho);
    layout.Chars = 30;
    layout.Lines = kLinesPerPage;
    record.paper = &paper;
    record.font = &font;
    record.layout = &layout;
  }
  PageSetupBlocks(const PageSetupBlocks&) = delete;
  PageSetupBlocks& operator=(const PageSetupBlocks&) = delete;

  PageSetupRecord record;
  PageSetupPaper paper;
  PageSetupFont font;
  PageSetupLayout layout;
};

class PrintTest : public ::testing::Test {
 protected:
  PrintTest() {
    char pattern[] = "/tmp/lexora-print-XXXXXX";
    folder_ = mkdtemp(pattern);
  }
  ~PrintTest() override {
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
  }

  // The document fitted to `device` and filled; false on any failure.
  bool Prepare(CVedWpDoc& document, const char* device) {
    PageSetupBlocks setup;
    if (document.QueryPrinterPageSetup(device, setup.record) < 0) return false;
    if (document.ApplyPageSetup(setup.record, 1) != 0) return false;
    std::string text;
    for (int n = 1; n <= kLines; ++n) {
      text += platform::Utf8ToSjis(LineText(n)).value();
      if (n < kLines) text += "\r";
    }
    document.GetEngine()->EditCommand(WPC_INSERT_TEXT, 1, reinterpret_cast<intptr_t>(text.c_str()));
    document.GetEngine()->EditCommand(WPC_MOVE, kMoveDocumentStart, 0);
    return document.GetEngine()->EditCommand(WPC_GET_PAGE_COUNT, 0, 0) == kPages;
  }

  // The document's name for a print: the PDF goes beside it.
  std::string DocumentName(const std::string& stem) const {
    return (folder_ / (stem + ".lxc")).string();
  }
  fs::path PdfOf(const std::string& stem) const { return folder_ / (stem + ".pdf"); }

  HostFontEnvironment environment_;
  platform::ScopedPrinters printers_{{platform::MakePdfPrinter()}};
  fs::path folder_;
};

}  // namespace print_test
