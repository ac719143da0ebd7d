// The framework document of one word-processor document: it owns the
// editing engine from its construction to its destruction and is what
// the framework view binds to. The view registers itself here when its
// window is made and reaches the engine through GetEngine; the engine
// belongs to the document, never to the view.
//
// It turns a page setup into the engine's document style and back, lays
// the document out anew when the page setup changes, and runs the
// printer's side of a print job. A selection prints through a child
// document that holds only the selection, made for the job and gone with
// it.
#pragma once

#include <memory>

#include "engine/caret_point.h"
#include "engine/doc_style.h"
#include "engine/wp_ctrl.h"
#include "framework/document.h"
#include "platform/archive.h"
#include "platform/gdi.h"
#include "views/page_setup.h"

class CVedWpView;

// The results of the print path besides page counts (positive) and 0
// for nothing to print; CPrinterInfo's codes -1 to -4 pass through.
enum PrintResult : int {
  kPrintNothing = 0,
  kPrintFailed = -1,  // also a page that did not print
  kPrintNoMemory = -4,
  kPrintNoDC = -6,  // the printer DC cannot be made, or its document not started
  kPrintSetupChanged = -10,
  kPrintEngineFailed = -20,
};

// What the document keeps of a page setup's paper name.
inline constexpr int kDocPaperNameSize = 64;

class CVedWpDoc : public framework::CDocument {
  DECLARE_DYNCREATE(CVedWpDoc)
  DECLARE_MESSAGE_MAP()

 public:
  // Makes and starts the engine; an engine that does not start is
  // dropped, and every operation that needs one then does nothing.
  CVedWpDoc();
  // Ends a print job still running, then stops and deletes the engine.
  // Keys the user typed ahead stay queued: this runs for the child print
  // document too, and such input belongs to whatever window has the focus.
  ~CVedWpDoc() override;

  // The engine's document is made when a page setup is applied, so a new
  // framework document has nothing more to do.
  bool OnNewDocument() override;

  // Null when the engine could not be started.
  CVedWpCtrl* GetEngine() const { return engine_.get(); }
  // Null until the framework view registers itself.
  CVedWpView* GetView() const { return view_; }
  void SetView(CVedWpView* view) { view_ = view; }

  // ---- Page setup
  // Fits the record to the named printer, or to the screen without a
  // name: the change bits, 0 when nothing had to change, or the
  // printer's negative code.
  int QueryPrinterPageSetup(const char* device, PageSetupRecord& record);
  // Makes the record the document's page setup; with `reflow` an
  // existing document is laid out anew. 0, -1 (no engine, or a setup
  // that makes no style), or the engine's refusal.
  int ApplyPageSetup(const PageSetupRecord& record, int reflow);
  // 0, or -1 when the counts are 0 or the body font cannot be realised.
  int PageSetupToDocStyle(const PageSetupRecord& record, DocStyle& style);
  // Lays the document out in `style` by writing it to a temporary file
  // and reading it back. The check's refusal as is, 0, or -1; the text is
  // never lost, and the notification mask is as it was found.
  int ReflowThroughTempFile(DocStyle& style);
  // Fills the record (its blocks set by the caller) from the style in
  // force; -1 without an engine or before a style was applied.
  int GetPageSetup(PageSetupRecord& record);

  // ---- Printing
  // Pages to print (positive), kPrintNothing, or a negative code.
  int StartPrintJob(int selectionOnly, const char* device, const PageSetupRecord& record,
                    const char* documentName);
  // 0, or kPrintFailed when the page did not print.
  int PrintPage(int page);
  // 0, or kPrintFailed when the document did not get to the printer.
  int EndPrintJob();
  int OpenPrinterDC(const char* device, PageSetupRecord& record);
  // The child's page count, kPrintNothing without a selection, or a
  // negative code.
  int CopySelectionToPrintDoc(PageSetupRecord& record);

 protected:
  // Applies `style` reading the content from `archive` (null: an empty
  // document); the engine's answer.
  virtual int ApplyStyleWithContent(platform::CArchive* archive, DocStyle& style);

 private:
  // The document's own copy of a record and its blocks.
  struct RecordCopy {
    explicit RecordCopy(const PageSetupRecord& from);
    PageSetupRecord record;
    PageSetupPaper paper;
    PageSetupFont font;
    PageSetupLayout layout;
    PageSetupPageNumber pageNumber;
  };

  int ReflowContent(DocStyle& style);
  int ReadBack(const char* path, DocStyle& style);
  int PrintWholeDocument(const char* device, PageSetupRecord& record, const char* documentName);
  // Around the copy's job, the view's display is saved and given back.
  int PrintSelection(const char* device, PageSetupRecord& record, const char* documentName);
  int PrintSelectionCopy(const char* device, PageSetupRecord& record, const char* documentName);
  void KeepPageSetup(const PageSetupRecord& record);

  std::unique_ptr<CVedWpCtrl> engine_;
  CVedWpView* view_ = nullptr;
  uint16_t paperId_ = 0;
  int16_t paperSource_ = 0;
  int16_t orientation_ = 0;
  char paperName_[kDocPaperNameSize] = {};
  int16_t pageNumberPosition_ = 0;
  platform::HDC printerDC_ = nullptr;
  int documentStarted_ = 0;
  std::unique_ptr<CVedWpDoc> childPrintDoc_;
  // The engine's print record: the page in twips, then the page number.
  CaretPoint printRecord_;
};
