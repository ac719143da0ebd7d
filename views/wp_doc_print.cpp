// The printer's side of a print job: the printer DC, its document and
// pages, and the engine's print commands; a selection prints through a
// child document that holds only the selection.
#include <cstring>

#include "engine/doc_root.h"
#include "model/units.h"
#include "platform/file.h"
#include "platform/print_dc.h"
#include "views/printer_info.h"
#include "views/wp_doc.h"
#include "views/wp_view.h"

namespace {

using platform::CArchive;
using platform::CMemFile;

// The selection with the document root's header, and read back at the
// child's caret in the same form.
constexpr int kWriteSelection = static_cast<int>(CDocBunsObj::kStreamSelection) |
                                static_cast<int>(CDocBunsObj::kStreamOwnFormat);
constexpr int kInsertAtCaret =
    static_cast<int>(CDocBunsObj::kStreamAtCaret) | static_cast<int>(CDocBunsObj::kStreamOwnFormat);

}  // namespace

int CVedWpDoc::StartPrintJob(int selectionOnly, const char* device, const PageSetupRecord& record,
                             const char* documentName) {
  EndPrintJob();
  RecordCopy local(record);
  if (selectionOnly != 0) return PrintSelection(device, local.record, documentName);
  return PrintWholeDocument(device, local.record, documentName);
}

int CVedWpDoc::PrintSelection(const char* device, PageSetupRecord& record,
                              const char* documentName) {
  // The view shows what it showed before, whatever the copy did meanwhile.
  ViewColourSet colours;
  RulerColourPair rulers;
  if (view_ != nullptr) view_->SaveDisplayState(&colours, &rulers);
  const int result = PrintSelectionCopy(device, record, documentName);
  if (view_ != nullptr) view_->ApplyColours(colours, rulers);
  return result;
}

int CVedWpDoc::PrintSelectionCopy(const char* device, PageSetupRecord& record,
                                  const char* documentName) {
  const int pages = CopySelectionToPrintDoc(record);
  if (pages <= 0) return pages;
  const int changes = childPrintDoc_->QueryPrinterPageSetup(device, record);
  if (changes < 0) return kPrintEngineFailed;
  if (changes > 0 && childPrintDoc_->ApplyPageSetup(record, 1) != 0) return kPrintEngineFailed;
  return childPrintDoc_->StartPrintJob(0, device, record, documentName);
}

int CVedWpDoc::PrintWholeDocument(const char* device, PageSetupRecord& record,
                                  const char* documentName) {
  if (engine_ == nullptr || record.paper == nullptr) return kPrintEngineFailed;
  const int opened = OpenPrinterDC(device, record);
  if (opened != 0) return opened;
  const ResolutionPair dpi{record.paper->dpiDC[0], record.paper->dpiDC[1]};
  printRecord_.rect = {0, 0, TenthMmToTwipsX(dpi, record.paper->PaperWidth),
                       TenthMmToTwipsY(dpi, record.paper->PaperHeight)};
  const int pages = engine_->EditCommand(WPC_GET_PAGE_COUNT, 0, 0);
  if (pages <= 0) return kPrintNothing;
  platform::DOCINFOA info;
  info.lpszDocName = documentName;
  // A document the printer refuses is no job: no page can print.
  if (platform::StartDocA(printerDC_, &info) <= 0) return kPrintNoDC;
  documentStarted_ = 1;
  if (engine_->DisplayCommand(WPC_BEGIN_PRINT, reinterpret_cast<intptr_t>(printerDC_), nullptr) ==
      0) {
    return kPrintEngineFailed;
  }
  return pages;
}

int CVedWpDoc::OpenPrinterDC(const char* device, PageSetupRecord& record) {
  CPrinterInfo info;
  const int opened = info.Open(device);
  if (opened != kPrinterOk) return opened;
  if (info.FitPageSetup(record) != 0) return kPrintSetupChanged;
  printerDC_ = platform::CreateDCA(platform::kSpoolerDriver, device, nullptr, info.GetDevMode());
  if (printerDC_ == nullptr) return kPrintNoDC;
  return 0;
}

int CVedWpDoc::CopySelectionToPrintDoc(PageSetupRecord& record) {
  if (engine_ == nullptr) return kPrintEngineFailed;
  if (engine_->EditCommand(WPC_HAS_SELECTION, 0, 0) == 0) return kPrintNothing;
  CMemFile selection;
  try {
    CArchive archive(&selection, CArchive::kStore);
    if (engine_->DocumentCommand(WPC_WRITE_CONTENT, kWriteSelection, &archive) != kWpcOk) {
      return kPrintEngineFailed;
    }
    archive.Close();
  } catch (const platform::CFileException&) {
    return kPrintNoMemory;
  } catch (const platform::CArchiveException&) {
    return kPrintNoMemory;
  }
  auto child = std::make_unique<CVedWpDoc>();
  if (child->GetEngine() == nullptr) return kPrintEngineFailed;
  if (child->ApplyPageSetup(record, 1) != 0) return kPrintEngineFailed;
  CMemFile stored(const_cast<uint8_t*>(selection.Data()), selection.GetLength());
  try {
    CArchive archive(&stored, CArchive::kLoad);
    if (child->GetEngine()->DocumentCommand(WPC_INSERT_CONTENT, kInsertAtCaret, &archive) !=
        kWpcOk) {
      return kPrintEngineFailed;
    }
  } catch (const platform::CFileException&) {
    return kPrintNoMemory;
  } catch (const platform::CArchiveException&) {
    return kPrintNoMemory;
  }
  childPrintDoc_ = std::move(child);
  return childPrintDoc_->GetEngine()->EditCommand(WPC_GET_PAGE_COUNT, 0, 0);
}

int CVedWpDoc::PrintPage(int page) {
  if (childPrintDoc_ != nullptr) return childPrintDoc_->PrintPage(page);
  if (printerDC_ == nullptr || documentStarted_ == 0) return kPrintFailed;
  printRecord_.page = page;
  if (platform::StartPage(printerDC_) <= 0) return kPrintFailed;
  engine_->DisplayCommand(WPC_PRINT_PAGE, reinterpret_cast<intptr_t>(printerDC_), &printRecord_);
  if (platform::EndPage(printerDC_) <= 0) return kPrintFailed;
  return 0;
}

int CVedWpDoc::EndPrintJob() {
  int result = 0;
  if (childPrintDoc_ != nullptr) {
    result = childPrintDoc_->EndPrintJob();
    childPrintDoc_.reset();
  }
  if (printerDC_ != nullptr) {
    if (documentStarted_ != 0) {
      if (engine_ != nullptr) {
        engine_->DisplayCommand(WPC_END_PRINT, reinterpret_cast<intptr_t>(printerDC_), nullptr);
      }
      if (platform::EndDoc(printerDC_) <= 0) result = kPrintFailed;
    }
    platform::DeleteDC(printerDC_);
    printerDC_ = nullptr;
  }
  documentStarted_ = 0;
  return result;
}
