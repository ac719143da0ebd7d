#include "platform/print_dc.h"

#include <cctype>
#include <map>
#include <memory>
#include <mutex>
#include <utility>

#include "platform/gdi.h"

namespace platform {

namespace {

// Where a printer DC stands in its document.
enum class JobState { kNoDocument, kDocument, kPage, kFailed };

struct PrinterDc {
  UniqueDC dc;
  PrinterModel printer;
  bool informationOnly = false;
  JobState state = JobState::kNoDocument;
  int32_t page = 0;
  std::unique_ptr<JobOutput> output;
  std::string where;
};

std::mutex g_mutex;
std::map<HDC, std::unique_ptr<PrinterDc>> g_printerDcs;
int g_nextJob = 1;

PrinterDc* Find(HDC dc) {
  const std::lock_guard lock(g_mutex);
  const auto found = g_printerDcs.find(dc);
  return found != g_printerDcs.end() ? found->second.get() : nullptr;
}

bool IsSpoolerDriver(const char* driver) {
  if (driver == nullptr) return false;
  const std::string_view name(driver);
  const std::string_view wanted(kSpoolerDriver);
  return name.size() == wanted.size() &&
         std::equal(name.begin(), name.end(), wanted.begin(), [](char a, char b) {
           return std::toupper(static_cast<unsigned char>(a)) == b;
         });
}

HDC Create(const char* driver, const char* device, const DEVMODEA* devmode, bool informationOnly) {
  if (!IsSpoolerDriver(driver) || device == nullptr) return nullptr;
  std::optional<PrinterModel> printer = FindPrinter(device);
  if (!printer) return nullptr;
  auto entry = std::make_unique<PrinterDc>();
  entry->dc = CreatePrinterIC(SetupFor(*printer, devmode));
  if (entry->dc == nullptr) return nullptr;
  entry->printer = std::move(*printer);
  entry->informationOnly = informationOnly;
  const HDC dc = entry->dc.get();
  const std::lock_guard lock(g_mutex);
  g_printerDcs.emplace(dc, std::move(entry));
  return dc;
}

// Gives the document up: nothing of it reaches its output.
void GiveUp(PrinterDc& job) {
  if (job.state == JobState::kNoDocument) return;
  FinishPdfDocument(job.dc.get());
  if (job.output != nullptr) job.output->Abort();
  job.output.reset();
  job.state = JobState::kNoDocument;
}

int Fail(PrinterDc& job) {
  job.state = JobState::kFailed;
  return SP_ERROR;
}

}  // namespace

HDC CreateDCA(const char* driver, const char* device, const char*, const DEVMODEA* devmode) {
  return Create(driver, device, devmode, false);
}

HDC CreateICA(const char* driver, const char* device, const char*, const DEVMODEA* devmode) {
  return Create(driver, device, devmode, true);
}

bool DeleteDC(HDC dc) {
  std::unique_ptr<PrinterDc> entry;
  {
    const std::lock_guard lock(g_mutex);
    const auto found = g_printerDcs.find(dc);
    if (found == g_printerDcs.end()) return false;
    entry = std::move(found->second);
    g_printerDcs.erase(found);
  }
  GiveUp(*entry);
  return true;
}

int StartDocA(HDC dc, const DOCINFOA* info) {
  PrinterDc* job = Find(dc);
  if (job == nullptr || info == nullptr || job->informationOnly ||
      job->state != JobState::kNoDocument || job->printer.faults.refuseStartDoc) {
    return SP_ERROR;
  }
  job->where.clear();
  const std::string docName = info->lpszDocName != nullptr ? info->lpszDocName : "";
  const std::string outputPath = info->lpszOutput != nullptr ? info->lpszOutput : "";
  job->output = job->printer.output ? job->printer.output(docName, outputPath)
                                    : PdfFileOutput(docName, outputPath);
  if (job->output == nullptr) return SP_ERROR;
  JobOutput* output = job->output.get();
  if (!StartPdfDocument(dc, [output](const unsigned char* data, unsigned int size) {
        return output->Write(data, size);
      })) {
    job->output->Abort();
    job->output.reset();
    return SP_ERROR;
  }
  job->state = JobState::kDocument;
  job->page = 0;
  const std::lock_guard lock(g_mutex);
  return g_nextJob++;
}

int StartPage(HDC dc) {
  PrinterDc* job = Find(dc);
  if (job == nullptr || job->state != JobState::kDocument) return SP_ERROR;
  ++job->page;
  if (job->page == job->printer.faults.failStartPage) return Fail(*job);
  job->state = JobState::kPage;
  return 1;
}

int EndPage(HDC dc) {
  PrinterDc* job = Find(dc);
  if (job == nullptr || job->state != JobState::kPage) return SP_ERROR;
  if (job->page == job->printer.faults.failEndPage || !NextPdfPage(dc)) return Fail(*job);
  job->state = JobState::kDocument;
  return 1;
}

int EndDoc(HDC dc) {
  PrinterDc* job = Find(dc);
  if (job == nullptr || job->state == JobState::kNoDocument) return SP_ERROR;
  if (job->state == JobState::kPage && EndPage(dc) == SP_ERROR) job->state = JobState::kFailed;
  if (job->state == JobState::kFailed || !FinishPdfDocument(dc) || job->printer.faults.failEndDoc) {
    job->state = JobState::kFailed;
    GiveUp(*job);
    return SP_ERROR;
  }
  job->state = JobState::kNoDocument;
  const bool delivered = job->output->Finish();
  job->where = delivered ? job->output->Where() : std::string();
  job->output.reset();
  return delivered ? 1 : SP_ERROR;
}

int AbortDoc(HDC dc) {
  PrinterDc* job = Find(dc);
  if (job == nullptr || job->state == JobState::kNoDocument) return SP_ERROR;
  GiveUp(*job);
  return 1;
}

std::string GetPrintOutput(HDC dc) {
  const PrinterDc* job = Find(dc);
  return job != nullptr ? job->where : std::string();
}

}  // namespace platform
