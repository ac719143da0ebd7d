#include "platform/cups_printers.h"

#include <cups/cups.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <utility>

#include "platform/sjis.h"

namespace platform {

namespace {

// How long the server may take to answer the first connection.
constexpr int kConnectTimeoutMs = 1000;
// CUPS measures media in hundredths of a millimetre.
constexpr int kHundredthsPerTenth = 10;
// A media size counts as a known paper within half a millimetre.
constexpr int32_t kPaperTolerance = 5;
// Papers that are none of the known ones are numbered above the user size.
constexpr WORD kFirstCustomPaper = DMPAPER_USER + 1;
constexpr char kPort[] = "CUPS:";

struct DestList {
  int count = 0;
  cups_dest_t* dests = nullptr;
  ~DestList() { cupsFreeDests(count, dests); }
};

// The dest and its server-side description, for one question or one job.
class Destination {
 public:
  explicit Destination(const std::string& name)
      : dest_(cupsGetNamedDest(CUPS_HTTP_DEFAULT, name.c_str(), nullptr)),
        info_(dest_ != nullptr ? cupsCopyDestInfo(CUPS_HTTP_DEFAULT, dest_) : nullptr) {}
  ~Destination() {
    if (info_ != nullptr) cupsFreeDestInfo(info_);
    if (dest_ != nullptr) cupsFreeDests(1, dest_);
  }
  Destination(const Destination&) = delete;
  Destination& operator=(const Destination&) = delete;

  bool Valid() const { return info_ != nullptr; }
  cups_dest_t* dest() const { return dest_; }
  cups_dinfo_t* info() const { return info_; }

 private:
  cups_dest_t* dest_;
  cups_dinfo_t* info_;
};

std::string FromHost(const char* utf8) { return Utf8ToSjis(utf8).value_or(std::string(utf8)); }

std::string ToHost(const std::string& cp932) { return SjisToUtf8(cp932).value_or(cp932); }

// The known paper of about that size (portrait, 0.1 mm), or nullptr.
const PaperForm* KnownPaper(const std::vector<PaperForm>& known, SIZE size) {
  for (const PaperForm& paper : known) {
    if (paper.id != DMPAPER_USER && std::abs(paper.size.cx - size.cx) <= kPaperTolerance &&
        std::abs(paper.size.cy - size.cy) <= kPaperTolerance) {
      return &paper;
    }
  }
  return nullptr;
}

PaperForm PaperOf(const cups_size_t& media, const std::vector<PaperForm>& known, WORD* nextCustom) {
  PaperForm paper;
  paper.size = SIZE{media.width / kHundredthsPerTenth, media.length / kHundredthsPerTenth};
  paper.margins = RECT{media.left / kHundredthsPerTenth, media.top / kHundredthsPerTenth,
                       media.right / kHundredthsPerTenth, media.bottom / kHundredthsPerTenth};
  if (const PaperForm* match = KnownPaper(known, paper.size)) {
    // The server's points rounded to hundredths of a millimetre are the
    // known paper itself.
    paper.id = match->id;
    paper.name = match->name;
    paper.size = match->size;
  } else {
    paper.id = (*nextCustom)++;
    paper.name = FromHost(media.media);
  }
  return paper;
}

void ReadMedia(const Destination& destination, PrinterModel* printer) {
  const std::vector<PaperForm> known = MakePdfPrinter().papers;
  WORD nextCustom = kFirstCustomPaper;
  const int count = cupsGetDestMediaCount(CUPS_HTTP_DEFAULT, destination.dest(), destination.info(),
                                          CUPS_MEDIA_FLAGS_DEFAULT);
  for (int i = 0; i < count; ++i) {
    cups_size_t media;
    if (!cupsGetDestMediaByIndex(CUPS_HTTP_DEFAULT, destination.dest(), destination.info(), i,
                                 CUPS_MEDIA_FLAGS_DEFAULT, &media)) {
      continue;
    }
    PaperForm paper = PaperOf(media, known, &nextCustom);
    // The same paper may come again with other margins (borderless): the
    // first one stands.
    if (printer->FindPaper(paper.id) == nullptr) printer->papers.push_back(std::move(paper));
  }
  cups_size_t media;
  if (cupsGetDestMediaDefault(CUPS_HTTP_DEFAULT, destination.dest(), destination.info(),
                              CUPS_MEDIA_FLAGS_DEFAULT, &media)) {
    WORD unused = kFirstCustomPaper;
    const PaperForm paper = PaperOf(media, known, &unused);
    if (printer->FindPaper(paper.id) != nullptr) printer->defaultPaper = paper.id;
  }
  if (printer->FindPaper(printer->defaultPaper) == nullptr && !printer->papers.empty()) {
    printer->defaultPaper = printer->papers.front().id;
  }
}

// A job on a queue, its document written as it comes.
class CupsJob final : public JobOutput {
 public:
  static std::unique_ptr<JobOutput> Start(const std::string& queue, const std::string& docName) {
    auto job = std::unique_ptr<CupsJob>(new CupsJob(queue));
    if (!job->destination_.Valid()) return nullptr;
    const std::string title = ToHost(docName);
    if (cupsCreateDestJob(CUPS_HTTP_DEFAULT, job->destination_.dest(), job->destination_.info(),
                          &job->id_, title.c_str(), 0, nullptr) > IPP_STATUS_OK_CONFLICTING ||
        job->id_ <= 0) {
      return nullptr;
    }
    if (cupsStartDestDocument(CUPS_HTTP_DEFAULT, job->destination_.dest(), job->destination_.info(),
                              job->id_, title.c_str(), CUPS_FORMAT_PDF, 0, nullptr,
                              1) != HTTP_STATUS_CONTINUE) {
      job->Cancel();
      return nullptr;
    }
    job->open_ = true;
    return job;
  }

  ~CupsJob() override {
    if (open_) Abort();
  }
  CupsJob(const CupsJob&) = delete;
  CupsJob& operator=(const CupsJob&) = delete;

  bool Write(const unsigned char* data, unsigned int size) override {
    return open_ && cupsWriteRequestData(CUPS_HTTP_DEFAULT, reinterpret_cast<const char*>(data),
                                         size) == HTTP_STATUS_CONTINUE;
  }
  bool Finish() override {
    if (!open_) return false;
    open_ = false;
    return cupsFinishDestDocument(CUPS_HTTP_DEFAULT, destination_.dest(), destination_.info()) <=
           IPP_STATUS_OK_CONFLICTING;
  }
  void Abort() override {
    if (!open_) return;
    open_ = false;
    cupsFinishDestDocument(CUPS_HTTP_DEFAULT, destination_.dest(), destination_.info());
    Cancel();
  }
  std::string Where() const override { return queue_ + "-" + std::to_string(id_); }

 private:
  explicit CupsJob(std::string queue) : queue_(std::move(queue)), destination_(queue_) {}

  void Cancel() { cupsCancelDestJob(CUPS_HTTP_DEFAULT, destination_.dest(), id_); }

  std::string queue_;
  Destination destination_;
  int id_ = 0;
  bool open_ = false;
};

bool ServerAnswers() {
  http_t* http = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1,
                              kConnectTimeoutMs, nullptr);
  if (http == nullptr) return false;
  httpClose(http);
  return true;
}

PrinterModel PrinterOf(const cups_dest_t& dest) {
  PrinterModel printer;
  printer.name = FromHost(dest.name);
  printer.driver = "winspool";
  printer.port = kPort;
  if (dest.is_default) printer.attributes |= PRINTER_ATTRIBUTE_DEFAULT;
  printer.bins = {{DMBIN_AUTO}};
  const std::string queue = dest.name;
  printer.output = [queue](const std::string& docName, const std::string&) {
    return CupsJob::Start(queue, docName);
  };
  return printer;
}

}  // namespace

std::vector<PrinterModel> CupsPrinters() {
  std::vector<PrinterModel> printers;
  if (!ServerAnswers()) return printers;
  DestList list;
  list.count = cupsGetDests2(CUPS_HTTP_DEFAULT, &list.dests);
  for (int i = 0; i < list.count; ++i) {
    const cups_dest_t& dest = list.dests[i];
    if (dest.instance != nullptr) continue;
    PrinterModel printer = PrinterOf(dest);
    const Destination destination(dest.name);
    if (!destination.Valid()) continue;
    ReadMedia(destination, &printer);
    if (!printer.papers.empty()) printers.push_back(std::move(printer));
  }
  return printers;
}

}  // namespace platform
