// The page setup of the framework document: the document style built
// from a page-setup record and back, and the layout anew through a
// temporary file.
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string>

#include "engine/doc_root.h"
#include "model/font_table.h"
#include "model/units.h"
#include "platform/file.h"
#include "platform/font_service.h"
#include "views/printer_info.h"
#include "views/wp_doc.h"

namespace {

using platform::CArchive;
using platform::CFile;

constexpr char kTempFilePattern[] = "lexora-reflow-XXXXXX";

// Copies a NUL-ended text field into another of `size` bytes, cut to fit.
void CopyField(char* out, size_t size, const char* in, size_t inSize) {
  std::memset(out, 0, size);
  std::memcpy(out, in, strnlen(in, std::min(size - 1, inSize)));
}

template <size_t N, size_t M>
void CopyField(char (&out)[N], const char (&in)[M]) {
  CopyField(out, N, in, M);
}

platform::RECT ToTwips(const ResolutionPair& dpi, const platform::RECT& tenthMm) {
  return {TenthMmToTwipsX(dpi, tenthMm.left), TenthMmToTwipsY(dpi, tenthMm.top),
          TenthMmToTwipsX(dpi, tenthMm.right), TenthMmToTwipsY(dpi, tenthMm.bottom)};
}

platform::RECT ToTenthMm(const ResolutionPair& dpi, const platform::RECT& twips) {
  return {TwipsToTenthMmX(dpi, twips.left), TwipsToTenthMmY(dpi, twips.top),
          TwipsToTenthMmX(dpi, twips.right), TwipsToTenthMmY(dpi, twips.bottom)};
}

// A file of our own in the host's temporary folder; empty when none can
// be made.
std::string MakeTempFile() {
  std::error_code error;
  const std::filesystem::path folder = std::filesystem::temp_directory_path(error);
  if (error) return {};
  std::string path = (folder / kTempFilePattern).string();
  const int fd = mkstemp(path.data());
  if (fd < 0) return {};
  close(fd);
  return path;
}

// Writes the whole document to `path`; false when the engine or the file
// failed.
bool WriteContent(CVedWpCtrl& engine, const std::string& path) {
  CFile file;
  if (!file.Open(path, CFile::kModeCreate | CFile::kModeWrite)) return false;
  try {
    CArchive archive(&file, CArchive::kStore);
    if (engine.DocumentCommand(WPC_WRITE_CONTENT, CDocBunsObj::kStreamOwnFormat, &archive) !=
        kWpcOk) {
      return false;
    }
    archive.Close();
    file.Close();
  } catch (const platform::CFileException&) {
    return false;
  } catch (const platform::CArchiveException&) {
    return false;
  }
  return true;
}

}  // namespace

int CVedWpDoc::QueryPrinterPageSetup(const char* device, PageSetupRecord& record) {
  CPrinterInfo info;
  if (device == nullptr || device[0] == '\0') return info.GetScreenPageSetup(nullptr, record);
  const int opened = info.Open(device);
  if (opened != kPrinterOk) return opened;
  const int fitted = info.FitPageSetup(record);
  info.Close();
  if (fitted < 0) return info.GetScreenPageSetup(device, record);
  return fitted;
}

int CVedWpDoc::ApplyPageSetup(const PageSetupRecord& record, int reflow) {
  if (engine_ == nullptr) return kPrintFailed;
  DocStyle style;
  if (PageSetupToDocStyle(record, style) != 0) return kPrintFailed;
  if (engine_->DocumentCommand(WPC_HAS_DOCUMENT, 0, nullptr) == 0) {
    engine_->StyleCommand(WPC_SET_DOCSTYLE, nullptr, &style);
    if (engine_->DocumentCommand(WPC_NEW_DOCUMENT, 0, nullptr) != kWpcOk) return kPrintFailed;
  } else if (reflow != 0) {
    const int reflowed = ReflowThroughTempFile(style);
    if (reflowed != 0) return reflowed;
  }
  KeepPageSetup(record);
  return 0;
}

void CVedWpDoc::KeepPageSetup(const PageSetupRecord& record) {
  paperId_ = record.paperId;
  paperSource_ = record.paperSource;
  orientation_ = record.orientation;
  CopyField(paperName_, record.paperName);
  if (record.pageNumber != nullptr) pageNumberPosition_ = record.pageNumber->Position;
}

int CVedWpDoc::PageSetupToDocStyle(const PageSetupRecord& record, DocStyle& style) {
  style = DocStyle{};
  if (record.paper == nullptr || record.font == nullptr || record.layout == nullptr) return -1;
  const PageSetupPaper& paper = *record.paper;
  const PageSetupFont& font = *record.font;
  const PageSetupLayout& layout = *record.layout;
  if (layout.Chars == 0 || layout.Lines == 0) return -1;

  ResolutionPair dpi{paper.dpiDC[0], paper.dpiDC[1]};
  if (dpi.x == 0 || dpi.y == 0) {
    const platform::HDC screen = platform::GetDesktopDC();
    dpi = {platform::GetDeviceCaps(screen, platform::LOGPIXELSX),
           platform::GetDeviceCaps(screen, platform::LOGPIXELSY)};
  }
  style.paperWidth = paper.PaperWidth;
  style.paperHeight = paper.PaperHeight;
  style.textAreaTenthMm = {paper.MarginLeft, paper.MarginTop, paper.PaperWidth - paper.MarginRight,
                           paper.PaperHeight - paper.MarginBottom};
  style.textAreaTwips = ToTwips(dpi, style.textAreaTenthMm);
  style.textWidth = style.textAreaTwips.right - style.textAreaTwips.left;
  style.textHeight = style.textAreaTwips.bottom - style.textAreaTwips.top;
  style.resolutionX = dpi.x;
  style.resolutionY = dpi.y;

  const char* face = font.FontName;
  if (IsVerticalFaceName(face)) ++face;
  CopyField(style.face, sizeof style.face, face, sizeof font.FontName - (face - font.FontName));
  style.fontSize = font.FontSize;
  style.heightScale = font.Vexpan;
  style.widthScale = font.Hexpan;
  style.bold = font.Bold;
  style.italic = font.Italic;
  style.vertical = font.Direction;
  style.lineStartRule = layout.KinsokuTop;
  CopyField(style.lineStartChars, layout.KinsokuTopChars);
  style.lineEndRule = layout.KinsokuEnd;
  CopyField(style.lineEndChars, layout.KinsokuEndChars);
  style.tabInterval = static_cast<uint16_t>(layout.TabSpace);
  style.firstIndent = static_cast<uint16_t>(layout.Indent1);
  style.leftIndent = static_cast<uint16_t>(layout.Indent2);
  style.rightIndent = static_cast<uint16_t>(layout.IndentEnd);

  // Measured in the vertical form for vertical writing; stored without it.
  char measured[kFaceNameSize] = {};
  if (style.vertical != 0) measured[0] = platform::kVerticalFacePrefix;
  CopyField(measured + std::strlen(measured), sizeof measured - std::strlen(measured), style.face,
            sizeof style.face);
  const uint32_t key =
      MakeFontKey(style.heightScale, style.widthScale,
                  MakeSizeWord(style.fontSize, style.bold != 0, style.italic != 0));
  int32_t realized = -1;
  FontInfo metrics;
  if (ViewFontTable().GetFontEntry(dpi.x, dpi.y, measured, key, &realized, 0) == nullptr ||
      ViewFontTable().GetEntryMetrics(realized, &metrics, nullptr) == nullptr) {
    return -1;
  }
  if (!ApplyPitchRule(style, layout.Chars, layout.Lines, metrics.lineHeight, metrics.descent)) {
    return -1;
  }

  if (record.pageNumber != nullptr) {
    const PageSetupPageNumber& number = *record.pageNumber;
    PageNumberBlock& block = style.pageNumbers;
    CopyField(block.face, number.NFontName);
    block.fontSize = number.NFontSize;
    block.heightScale = number.NVexpan;
    block.widthScale = number.NHexpan;
    block.bold = number.NBold;
    block.italic = number.NItalic;
    // The band the page number shares with the text area is the text's.
    block.area = platform::SubtractionOf(ToTwips(dpi, number.AreaRectStr), style.textAreaTwips);
    block.shown = number.PrintOut;
    block.firstNumber = number.Start;
    block.alignment = number.ParaArrange;
    block.style = number.OutForm;
  }
  if (record.orientation == kOrientationPortrait || record.orientation == kOrientationLandscape) {
    style.orientation = record.orientation;
  }
  return 0;
}

int CVedWpDoc::ApplyStyleWithContent(platform::CArchive* archive, DocStyle& style) {
  return static_cast<int>(engine_->StyleCommand(WPC_APPLY_DOCSTYLE, archive, &style));
}

int CVedWpDoc::ReflowThroughTempFile(DocStyle& style) {
  if (engine_ == nullptr) return kPrintFailed;
  const int refused = static_cast<int>(engine_->StyleCommand(WPC_CHECK_DOCSTYLE, nullptr, &style));
  if (refused != 0) return refused;
  const int mask = engine_->NotifyCommand(WPC_GET_NOTIFY_MASK, 0);
  int result = kPrintFailed;
  if (engine_->EditCommand(WPC_HAS_CONTENT, 0, 0) != 0) {
    result = ApplyStyleWithContent(nullptr, style) == kWpcOk ? 0 : kPrintFailed;
  } else {
    result = ReflowContent(style);
  }
  engine_->NotifyCommand(WPC_SET_NOTIFY_MASK, mask);
  return result;
}

int CVedWpDoc::ReflowContent(DocStyle& style) {
  const std::string path = MakeTempFile();
  if (path.empty()) return kPrintFailed;
  DocStyle previous;
  engine_->StyleCommand(WPC_GET_APPLIED_DOCSTYLE, nullptr, &previous);
  int result = kPrintFailed;
  if (WriteContent(*engine_, path)) {
    result = ReadBack(path.c_str(), style);
    // Whatever the engine dropped before it failed is in the file: the
    // document goes back to what it was before the file goes.
    if (result != 0) ReadBack(path.c_str(), previous);
  }
  std::error_code ignored;
  std::filesystem::remove(path, ignored);
  return result;
}

int CVedWpDoc::ReadBack(const char* path, DocStyle& style) {
  CFile file;
  if (!file.Open(path, CFile::kModeRead)) return kPrintFailed;
  try {
    CArchive archive(&file, CArchive::kLoad);
    return ApplyStyleWithContent(&archive, style) == kWpcOk ? 0 : kPrintFailed;
  } catch (const platform::CFileException&) {
    return kPrintFailed;
  } catch (const platform::CArchiveException&) {
    return kPrintFailed;
  }
}

int CVedWpDoc::GetPageSetup(PageSetupRecord& record) {
  if (engine_ == nullptr) return kPrintFailed;
  DocStyle style;
  engine_->StyleCommand(WPC_GET_APPLIED_DOCSTYLE, nullptr, &style);
  if (style.charPitch <= 0 || style.linePitch <= 0) return kPrintFailed;
  const ResolutionPair dpi{style.resolutionX, style.resolutionY};
  record.paperId = paperId_;
  record.paperSource = paperSource_;
  record.orientation =
      style.orientation == kOrientationLandscape ? kOrientationLandscape : orientation_;
  CopyField(record.paperName, paperName_);
  if (PageSetupPaper* paper = record.paper) {
    paper->PaperWidth = style.paperWidth;
    paper->PaperHeight = style.paperHeight;
    paper->MarginTop = style.textAreaTenthMm.top;
    paper->MarginLeft = style.textAreaTenthMm.left;
    paper->MarginRight = style.paperWidth - style.textAreaTenthMm.right;
    paper->MarginBottom = style.paperHeight - style.textAreaTenthMm.bottom;
    paper->dpiDC[0] = style.resolutionX;
    paper->dpiDC[1] = style.resolutionY;
  }
  if (PageSetupFont* font = record.font) {
    CopyField(font->FontName, style.face);
    font->FontSize = style.fontSize;
    font->Vexpan = style.heightScale;
    font->Hexpan = style.widthScale;
    font->Bold = style.bold;
    font->Italic = style.italic;
    font->Direction = style.vertical;
  }
  if (PageSetupLayout* layout = record.layout) {
    layout->Chars = static_cast<uint16_t>(style.textWidth / style.charPitch);
    layout->Lines = static_cast<uint16_t>(style.textHeight / style.linePitch);
    layout->charGap = TwipsToTenthMmX(dpi, style.charGap);
    layout->lineGap = TwipsToTenthMmY(dpi, style.lineGap);
    layout->KinsokuTop = style.lineStartRule;
    CopyField(layout->KinsokuTopChars, style.lineStartChars);
    layout->KinsokuEnd = style.lineEndRule;
    CopyField(layout->KinsokuEndChars, style.lineEndChars);
    layout->TabSpace = static_cast<int16_t>(style.tabInterval);
    layout->Indent1 = static_cast<int16_t>(style.firstIndent);
    layout->Indent2 = static_cast<int16_t>(style.leftIndent);
    layout->IndentEnd = static_cast<int16_t>(style.rightIndent);
  }
  if (PageSetupPageNumber* number = record.pageNumber) {
    const PageNumberBlock& block = style.pageNumbers;
    CopyField(number->NFontName, block.face);
    number->NFontSize = block.fontSize;
    number->NVexpan = block.heightScale;
    number->NHexpan = block.widthScale;
    number->NBold = block.bold;
    number->NItalic = block.italic;
    number->Position = pageNumberPosition_;
    number->AreaRectStr = ToTenthMm(dpi, block.area);
    number->PrintOut = block.shown;
    number->Start = block.firstNumber;
    number->ParaArrange = block.alignment;
    number->OutForm = block.style;
  }
  return 0;
}
