#include "platform/print_dc.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "platform/gdi.h"
#include "platform/sjis.h"
#include "platform/texts.h"

namespace platform {
namespace {

std::string RunTool(const std::string& command) {
  std::string out;
  std::FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return out;
  std::array<char, 4096> chunk;
  size_t read = 0;
  while ((read = std::fread(chunk.data(), 1, chunk.size(), pipe)) > 0)
    out.append(chunk.data(), read);
  pclose(pipe);
  return out;
}

std::string TempPath(const std::string& name) {
  return (std::filesystem::path(::testing::TempDir()) / name).string();
}

// Draws `text` (UTF-8, drawn as CP932) in the Mincho face near the top of
// the printable area.
void DrawLine(HDC dc, const std::string& text, int32_t y) {
  LOGFONTA lf;
  lf.lfHeight = -100;
  lf.lfCharSet = SHIFTJIS_CHARSET;
  std::strcpy(lf.lfFaceName, kFaceMsMincho);
  const UniqueFont font = CreateFontIndirectA(lf);
  ASSERT_NE(font, nullptr);
  SelectObject(dc, font.get());
  SetBkMode(dc, TRANSPARENT);
  const std::string sjis = Utf8ToSjis(text).value();
  ASSERT_TRUE(
      ExtTextOutA(dc, 100, y, 0, nullptr, sjis.data(), static_cast<int32_t>(sjis.size()), nullptr));
}

TEST(PrintDcTest, AnInformationContextAnswersThePrintersGeometry) {
  DEVMODEA mode;
  mode.dmFields = DM_PAPERSIZE | DM_ORIENTATION;
  mode.dmPaperSize = DMPAPER_B5;
  mode.dmOrientation = DMORIENT_LANDSCAPE;
  const HDC ic = CreateICA("WINSPOOL", "PDF", nullptr, &mode);
  ASSERT_NE(ic, nullptr);
  struct Case {
    int index;
    int32_t value;
  };
  // B5 (JIS) turned at 600 dpi: 257 x 182 mm, 4.2 mm borders.
  const Case cases[] = {
      {LOGPIXELSX, 600},        {LOGPIXELSY, 600},        {PHYSICALWIDTH, 6071},
      {PHYSICALHEIGHT, 4299},   {PHYSICALOFFSETX, 99},    {PHYSICALOFFSETY, 99},
      {HORZRES, 6071 - 2 * 99}, {VERTRES, 4299 - 2 * 99}, {TECHNOLOGY, DT_RASPRINTER}};
  for (const Case& c : cases) EXPECT_EQ(GetDeviceCaps(ic, c.index), c.value) << c.index;
  DOCINFOA info;
  info.lpszDocName = "ic";
  info.lpszOutput = "/nonexistent/never.pdf";
  EXPECT_EQ(StartDocA(ic, &info), SP_ERROR);
  EXPECT_TRUE(DeleteDC(ic));
  EXPECT_FALSE(DeleteDC(ic));

  EXPECT_EQ(CreateDCA("WINSPOOL", "Missing", nullptr, nullptr), nullptr);
  EXPECT_EQ(CreateDCA("DISPLAY", "PDF", nullptr, nullptr), nullptr);
  const HDC lower = CreateDCA("winspool", "PDF", nullptr, nullptr);
  ASSERT_NE(lower, nullptr);
  EXPECT_EQ(GetDeviceCaps(lower, PHYSICALWIDTH), 4961);
  DeleteDC(lower);
}

TEST(PrintDcTest, AThreePageDocumentBecomesThreeA4PagesWithItsTextInThem) {
  const std::string path = TempPath("print_dc_three.pdf");
  std::filesystem::remove(path);
  const HDC dc = CreateDCA("WINSPOOL", "PDF", nullptr, nullptr);
  ASSERT_NE(dc, nullptr);
  DOCINFOA info;
  info.lpszDocName = "three";
  info.lpszOutput = path.c_str();
  ASSERT_GT(StartDocA(dc, &info), 0);
  const char* lines[] = {"一頁目の本文", "二頁目の本文", "三頁目の本文"};
  for (const char* line : lines) {
    ASSERT_GT(StartPage(dc), 0);
    DrawLine(dc, line, 200);
    ASSERT_GT(EndPage(dc), 0);
  }
  ASSERT_GT(EndDoc(dc), 0);
  EXPECT_EQ(GetPrintOutput(dc), path);
  DeleteDC(dc);

  const std::string details = RunTool("pdfinfo '" + path + "'");
  EXPECT_NE(details.find("Pages:           3"), std::string::npos) << details;
  // 4961 x 7016 dots at 600 dpi.
  EXPECT_NE(details.find("595.32 x 841.92 pts (A4)"), std::string::npos) << details;
  const std::string text = RunTool("pdftotext -layout '" + path + "' -");
  size_t at = 0;
  for (const char* line : lines) {
    at = text.find(line, at);
    EXPECT_NE(at, std::string::npos) << line << " in\n" << text;
  }
  EXPECT_EQ(std::count(text.begin(), text.end(), '\f'), 3) << text;
}

TEST(PrintDcTest, WithoutAnOutputTheFileGoesBesideTheDocument) {
  const auto folder = std::filesystem::path(::testing::TempDir()) / "print_dc_beside";
  std::filesystem::create_directories(folder);
  const std::string docName = (folder / "letter.lxr").string();
  std::filesystem::remove(folder / "letter.pdf");
  const HDC dc = CreateDCA("WINSPOOL", "PDF", nullptr, nullptr);
  DOCINFOA info;
  info.lpszDocName = docName.c_str();
  ASSERT_GT(StartDocA(dc, &info), 0);
  ASSERT_GT(StartPage(dc), 0);
  ASSERT_GT(EndPage(dc), 0);
  ASSERT_GT(EndDoc(dc), 0);
  EXPECT_EQ(GetPrintOutput(dc), (folder / "letter.pdf").string());
  EXPECT_TRUE(std::filesystem::exists(folder / "letter.pdf"));
  DeleteDC(dc);
  EXPECT_EQ(DefaultPdfPath("untitled"),
            (std::filesystem::current_path() / "untitled.pdf").string());
}

TEST(PrintDcTest, InjectedFailuresAreAnsweredAsFailuresAndLeaveNoFile) {
  struct Case {
    const char* what;
    PrinterFaults faults;
    bool startDoc;
    int failingPage;  // 0: every page goes
    bool endDoc;
  };
  const Case cases[] = {
      {"refused document", {true, 0, 0, false}, false, 0, false},
      {"second page does not start", {false, 2, 0, false}, true, 2, false},
      {"first page does not end", {false, 0, 1, false}, true, 1, false},
      {"document does not finish", {false, 0, 0, true}, true, 0, false},
      {"nothing fails", {}, true, 0, true},
  };
  for (const Case& c : cases) {
    PrinterModel printer = MakePdfPrinter();
    printer.name = "Faulty";
    printer.faults = c.faults;
    const ScopedPrinters printers({printer});
    const std::string path = TempPath("print_dc_faulty.pdf");
    std::filesystem::remove(path);
    const HDC dc = CreateDCA("WINSPOOL", "Faulty", nullptr, nullptr);
    ASSERT_NE(dc, nullptr) << c.what;
    DOCINFOA info;
    info.lpszDocName = "faulty";
    info.lpszOutput = path.c_str();
    EXPECT_EQ(StartDocA(dc, &info) > 0, c.startDoc) << c.what;
    if (c.startDoc) {
      for (int page = 1; page <= 3; ++page) {
        const bool fails = page >= c.failingPage && c.failingPage != 0;
        const bool startFails = fails && (c.faults.failStartPage != 0 || page > c.failingPage);
        EXPECT_EQ(StartPage(dc) > 0, !startFails) << c.what << " page " << page;
        if (!startFails) {
          EXPECT_EQ(EndPage(dc) > 0, !fails) << c.what << " page " << page;
        }
      }
      EXPECT_EQ(EndDoc(dc) > 0, c.endDoc) << c.what;
    }
    EXPECT_EQ(std::filesystem::exists(path), c.endDoc) << c.what;
    EXPECT_EQ(GetPrintOutput(dc).empty(), !c.endDoc) << c.what;
    DeleteDC(dc);
  }
}

TEST(PrintDcTest, AnOutputThatCannotBeMadeRefusesTheDocument) {
  const HDC dc = CreateDCA("WINSPOOL", "PDF", nullptr, nullptr);
  DOCINFOA info;
  info.lpszDocName = "nowhere";
  info.lpszOutput = "/nonexistent/folder/nowhere.pdf";
  EXPECT_EQ(StartDocA(dc, &info), SP_ERROR);
  EXPECT_EQ(StartPage(dc), SP_ERROR);
  EXPECT_EQ(EndDoc(dc), SP_ERROR);
  DeleteDC(dc);
}

TEST(PrintDcTest, AnAbortedDocumentLeavesNoFileAndTheDcPrintsAgain) {
  const std::string path = TempPath("print_dc_aborted.pdf");
  const HDC dc = CreateDCA("WINSPOOL", "PDF", nullptr, nullptr);
  DOCINFOA info;
  info.lpszDocName = "aborted";
  info.lpszOutput = path.c_str();
  ASSERT_GT(StartDocA(dc, &info), 0);
  ASSERT_GT(StartPage(dc), 0);
  EXPECT_GT(AbortDoc(dc), 0);
  EXPECT_FALSE(std::filesystem::exists(path));
  EXPECT_EQ(EndDoc(dc), SP_ERROR);
  ASSERT_GT(StartDocA(dc, &info), 0);
  ASSERT_GT(StartPage(dc), 0);
  ASSERT_GT(EndPage(dc), 0);
  EXPECT_GT(EndDoc(dc), 0);
  EXPECT_TRUE(std::filesystem::exists(path));
  DeleteDC(dc);
}

}  // namespace
}  // namespace platform
