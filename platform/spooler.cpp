#include "platform/spooler.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <mutex>
#include <utility>

#include "platform/cups_printers.h"
#include "platform/message_box.h"
#include "platform/muldiv.h"
#include "platform/paths.h"
#include "platform/registry.h"
#include "platform/sjis.h"

namespace platform {

namespace {

constexpr int32_t kTenthMmPerInch = 254;
// The PDF printer leaves a border of 4.2 mm on every side, as a laser
// printer does.
constexpr int32_t kPdfBorder = 42;
constexpr RECT kPdfMargins{kPdfBorder, kPdfBorder, kPdfBorder, kPdfBorder};
constexpr SIZE kPdfMinExtent{250, 250};
constexpr SIZE kPdfMaxExtent{4200, 5940};
constexpr DWORD kNotSelectedTimeout = 15000;
constexpr DWORD kRetryTimeout = 45000;
constexpr char kPdfPort[] = "FILE:";
constexpr char kUserPaperName[] = "User-Defined Size";
constexpr char kWinIniKey[] = "Software\\Microsoft\\Windows NT\\CurrentVersion\\";
constexpr char kPdfExtension[] = ".pdf";
constexpr char kUntitledName[] = "document";

std::mutex g_mutex;
std::shared_ptr<const std::vector<PrinterModel>> g_override;
std::map<HANDLE, PrinterModel> g_handles;
HANDLE g_nextHandle = 1;

class PdfFile final : public JobOutput {
 public:
  PdfFile(std::FILE* file, std::string path) : file_(file), path_(std::move(path)) {}
  ~PdfFile() override {
    if (file_ != nullptr) Abort();
  }
  PdfFile(const PdfFile&) = delete;
  PdfFile& operator=(const PdfFile&) = delete;

  bool Write(const unsigned char* data, unsigned int size) override {
    return file_ != nullptr && std::fwrite(data, 1, size, file_) == size;
  }
  bool Finish() override {
    if (file_ == nullptr) return false;
    const bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    return closed;
  }
  // A document given up leaves no half-written file behind.
  void Abort() override {
    if (file_ == nullptr) return;
    std::fclose(file_);
    file_ = nullptr;
    std::remove(path_.c_str());
  }
  std::string Where() const override { return path_; }

 private:
  std::FILE* file_;
  std::string path_;
};

// The file a document or output name stands for: a system path, drive and all.
std::string SpoolHostPath(const std::string& cp932) { return HostPath(cp932).value_or(cp932); }

// Copies `text` into `out` (at most size - 1 bytes and a NUL); answers
// the bytes copied without the NUL.
DWORD CopyBounded(const std::string& text, char* out, DWORD size) {
  if (out == nullptr || size == 0) return 0;
  const DWORD count = std::min<DWORD>(static_cast<DWORD>(text.size()), size - 1);
  std::memcpy(out, text.data(), count);
  out[count] = '\0';
  return count;
}

// Lays out records of type Info and their strings in one buffer, as the
// spooler hands them out.
template <class Info>
class InfoWriter {
 public:
  InfoWriter(BYTE* buffer, DWORD records) : buffer_(buffer), strings_(records * sizeof(Info)) {}

  static DWORD Needed(const std::vector<std::vector<std::string>>& strings) {
    DWORD needed = 0;
    for (const auto& record : strings) {
      needed += sizeof(Info);
      for (const std::string& s : record) needed += static_cast<DWORD>(s.size() + 1);
    }
    return needed;
  }

  Info* Record(DWORD index) { return reinterpret_cast<Info*>(buffer_) + index; }
  char* String(const std::string& s) {
    char* at = reinterpret_cast<char*>(buffer_) + strings_;
    std::memcpy(at, s.c_str(), s.size() + 1);
    strings_ += static_cast<DWORD>(s.size() + 1);
    return at;
  }

 private:
  BYTE* buffer_;
  DWORD strings_;
};

std::vector<std::vector<std::string>> StringsOf(const std::vector<PrinterModel>& printers,
                                                DWORD level) {
  std::vector<std::vector<std::string>> strings;
  for (const PrinterModel& printer : printers) {
    if (level == 4) {
      strings.push_back({printer.name});
    } else {
      strings.push_back({printer.name, printer.port});
    }
  }
  return strings;
}

bool WriteInfos(const std::vector<PrinterModel>& printers, DWORD level, BYTE* buffer, DWORD size,
                DWORD* needed) {
  const auto strings = StringsOf(printers, level);
  const DWORD count = static_cast<DWORD>(printers.size());
  const DWORD required = level == 4 ? InfoWriter<PRINTER_INFO_4A>::Needed(strings)
                                    : InfoWriter<PRINTER_INFO_5A>::Needed(strings);
  if (needed != nullptr) *needed = required;
  if (buffer == nullptr || size < required) return false;
  if (level == 4) {
    InfoWriter<PRINTER_INFO_4A> writer(buffer, count);
    for (DWORD i = 0; i < count; ++i) {
      PRINTER_INFO_4A* info = new (writer.Record(i)) PRINTER_INFO_4A;
      info->pPrinterName = writer.String(printers[i].name);
      info->Attributes = printers[i].attributes;
    }
  } else {
    InfoWriter<PRINTER_INFO_5A> writer(buffer, count);
    for (DWORD i = 0; i < count; ++i) {
      PRINTER_INFO_5A* info = new (writer.Record(i)) PRINTER_INFO_5A;
      info->pPrinterName = writer.String(printers[i].name);
      info->pPortName = writer.String(printers[i].port);
      info->Attributes = printers[i].attributes;
      info->DeviceNotSelectedTimeout = kNotSelectedTimeout;
      info->TransmissionRetryTimeout = kRetryTimeout;
    }
  }
  return true;
}

// Profile sections and keys match ignoring ASCII case.
bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) ==
           std::tolower(static_cast<unsigned char>(y));
  });
}

bool KnownLevel(DWORD level) { return level == 4 || level == 5; }

DEVMODEA DefaultDevMode(const PrinterModel& printer) {
  DEVMODEA mode;
  std::memcpy(mode.dmDeviceName, printer.name.data(),
              std::min(printer.name.size(), sizeof mode.dmDeviceName - 1));
  mode.dmFields = DM_PAPERSIZE | DM_DEFAULTSOURCE | (printer.turnsPaper ? DM_ORIENTATION : 0);
  mode.dmOrientation = DMORIENT_PORTRAIT;
  mode.dmPaperSize = static_cast<int16_t>(printer.defaultPaper);
  mode.dmDefaultSource = static_cast<int16_t>(printer.defaultBin);
  return mode;
}

bool HasBin(const PrinterModel& printer, WORD id) {
  return std::any_of(printer.bins.begin(), printer.bins.end(),
                     [id](const PaperBin& bin) { return bin.id == id; });
}

// The default DEVMODE changed by what `in` asks for and the printer takes.
DEVMODEA MergedDevMode(const PrinterModel& printer, const DEVMODEA& in) {
  DEVMODEA mode = DefaultDevMode(printer);
  if ((in.dmFields & DM_ORIENTATION) != 0 && printer.turnsPaper &&
      (in.dmOrientation == DMORIENT_PORTRAIT || in.dmOrientation == DMORIENT_LANDSCAPE)) {
    mode.dmOrientation = in.dmOrientation;
  }
  if ((in.dmFields & DM_PAPERSIZE) != 0) {
    const WORD id = static_cast<WORD>(in.dmPaperSize);
    const DWORD userFields = DM_PAPERLENGTH | DM_PAPERWIDTH;
    if (id == DMPAPER_USER && printer.TakesUserSizes() &&
        (in.dmFields & userFields) == userFields) {
      mode.dmPaperSize = in.dmPaperSize;
      mode.dmFields |= userFields;
      mode.dmPaperWidth = static_cast<int16_t>(
          std::clamp<int32_t>(in.dmPaperWidth, printer.minExtent.cx, printer.maxExtent.cx));
      mode.dmPaperLength = static_cast<int16_t>(
          std::clamp<int32_t>(in.dmPaperLength, printer.minExtent.cy, printer.maxExtent.cy));
    } else if (id != DMPAPER_USER && printer.FindPaper(id) != nullptr) {
      mode.dmPaperSize = in.dmPaperSize;
    }
  }
  if (HasBin(printer, static_cast<WORD>(in.dmDefaultSource))) {
    mode.dmDefaultSource = in.dmDefaultSource;
  }
  return mode;
}

int32_t PackExtent(SIZE extent) {
  return static_cast<int32_t>((static_cast<uint32_t>(extent.cy) << 16) |
                              static_cast<uint16_t>(extent.cx));
}

int32_t DevicePixels(int32_t tenthMm, int32_t dpi) { return MulDiv(tenthMm, dpi, kTenthMmPerInch); }

}  // namespace

const PaperForm* PrinterModel::FindPaper(WORD id) const {
  const auto found = std::find_if(papers.begin(), papers.end(),
                                  [id](const PaperForm& paper) { return paper.id == id; });
  return found != papers.end() ? &*found : nullptr;
}

PrinterModel MakePdfPrinter() {
  PrinterModel printer;
  printer.name = kPdfPrinterName;
  printer.port = kPdfPort;
  printer.papers = {
      {DMPAPER_A3, "A3", SIZE{2970, 4200}, kPdfMargins},
      {DMPAPER_A4, "A4", SIZE{2100, 2970}, kPdfMargins},
      {DMPAPER_A5, "A5", SIZE{1480, 2100}, kPdfMargins},
      {DMPAPER_B4, "B4 (JIS)", SIZE{2570, 3640}, kPdfMargins},
      {DMPAPER_B5, "B5 (JIS)", SIZE{1820, 2570}, kPdfMargins},
      {DMPAPER_LETTER, "Letter", SIZE{2159, 2794}, kPdfMargins},
      {DMPAPER_LEGAL, "Legal", SIZE{2159, 3556}, kPdfMargins},
      {DMPAPER_JAPANESE_POSTCARD, "Japanese Postcard", SIZE{1000, 1480}, kPdfMargins},
      {DMPAPER_USER, kUserPaperName, SIZE{}, kPdfMargins},
  };
  printer.bins = {{DMBIN_AUTO}};
  printer.minExtent = kPdfMinExtent;
  printer.maxExtent = kPdfMaxExtent;
  return printer;
}

std::string DefaultPdfPath(const std::string& docName) {
  const std::filesystem::path doc(SpoolHostPath(docName));
  std::filesystem::path folder = doc.parent_path();
  if (folder.empty()) folder = std::filesystem::current_path();
  std::string stem = doc.stem().string();
  if (stem.empty()) stem = kUntitledName;
  return (folder / (stem + kPdfExtension)).string();
}

std::unique_ptr<JobOutput> PdfFileOutput(const std::string& docName,
                                         const std::string& outputPath) {
  const std::string path = outputPath.empty() ? DefaultPdfPath(docName) : SpoolHostPath(outputPath);
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return nullptr;
  return std::make_unique<PdfFile>(file, path);
}

std::vector<PrinterModel> CurrentPrinters() {
  {
    const std::lock_guard lock(g_mutex);
    if (g_override != nullptr) return *g_override;
  }
  std::vector<PrinterModel> printers = CupsPrinters();
  // A queue of the built-in printer's name could never be opened.
  std::erase_if(printers, [](const PrinterModel& p) { return p.name == kPdfPrinterName; });
  PrinterModel pdf = MakePdfPrinter();
  const bool cupsDefault = std::any_of(printers.begin(), printers.end(), [](const PrinterModel& p) {
    return (p.attributes & PRINTER_ATTRIBUTE_DEFAULT) != 0;
  });
  if (!cupsDefault) pdf.attributes |= PRINTER_ATTRIBUTE_DEFAULT;
  printers.push_back(std::move(pdf));
  return printers;
}

std::optional<PrinterModel> FindPrinter(const std::string& name) {
  for (PrinterModel& printer : CurrentPrinters()) {
    if (printer.name == name) return std::move(printer);
  }
  return std::nullopt;
}

ScopedPrinters::ScopedPrinters(std::vector<PrinterModel> printers) {
  const std::lock_guard lock(g_mutex);
  previous_ = std::exchange(g_override,
                            std::make_shared<const std::vector<PrinterModel>>(std::move(printers)));
}

ScopedPrinters::~ScopedPrinters() {
  const std::lock_guard lock(g_mutex);
  g_override = std::move(previous_);
}

bool EnumPrintersA(DWORD flags, const char*, DWORD level, BYTE* buffer, DWORD size, DWORD* needed,
                   DWORD* returned) {
  if (returned != nullptr) *returned = 0;
  if (!KnownLevel(level)) return false;
  std::vector<PrinterModel> printers = CurrentPrinters();
  if ((flags & PRINTER_ENUM_DEFAULT) != 0) {
    std::erase_if(printers, [](const PrinterModel& printer) {
      return (printer.attributes & PRINTER_ATTRIBUTE_DEFAULT) == 0;
    });
  } else if ((flags & (PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS)) == 0) {
    printers.clear();
  }
  if (!WriteInfos(printers, level, buffer, size, needed)) return false;
  if (returned != nullptr) *returned = static_cast<DWORD>(printers.size());
  return true;
}

bool OpenPrinterA(const char* name, HANDLE* printer, const void*) {
  if (name == nullptr || printer == nullptr) return false;
  std::optional<PrinterModel> found = FindPrinter(name);
  if (!found) return false;
  const std::lock_guard lock(g_mutex);
  *printer = g_nextHandle++;
  g_handles.emplace(*printer, std::move(*found));
  return true;
}

bool GetPrinterA(HANDLE printer, DWORD level, BYTE* buffer, DWORD size, DWORD* needed) {
  std::vector<PrinterModel> one;
  {
    const std::lock_guard lock(g_mutex);
    const auto found = g_handles.find(printer);
    if (found == g_handles.end() || level != 5) return false;
    one.push_back(found->second);
  }
  return WriteInfos(one, level, buffer, size, needed);
}

bool ClosePrinter(HANDLE printer) {
  const std::lock_guard lock(g_mutex);
  return g_handles.erase(printer) == 1;
}

int32_t DeviceCapabilitiesA(const char* device, const char*, WORD capability, char* output,
                            const DEVMODEA*) {
  if (device == nullptr) return -1;
  const std::optional<PrinterModel> printer = FindPrinter(device);
  if (!printer) return -1;
  const auto& papers = printer->papers;
  const auto count = static_cast<int32_t>(papers.size());
  switch (capability) {
    case DC_PAPERS:
      for (int32_t i = 0; output != nullptr && i < count; ++i) {
        std::memcpy(output + i * sizeof(WORD), &papers[i].id, sizeof(WORD));
      }
      return count;
    case DC_PAPERSIZE:
      for (int32_t i = 0; output != nullptr && i < count; ++i) {
        const POINT size{papers[i].size.cx, papers[i].size.cy};
        std::memcpy(output + i * sizeof(POINT), &size, sizeof(POINT));
      }
      return count;
    case DC_PAPERNAMES:
      for (int32_t i = 0; output != nullptr && i < count; ++i) {
        char* field = output + i * kPaperNameBytes;
        std::memset(field, 0, kPaperNameBytes);
        std::memcpy(field, papers[i].name.data(),
                    std::min<size_t>(papers[i].name.size(), kPaperNameBytes));
      }
      return count;
    case DC_BINS:
      for (size_t i = 0; output != nullptr && i < printer->bins.size(); ++i) {
        std::memcpy(output + i * sizeof(WORD), &printer->bins[i].id, sizeof(WORD));
      }
      return static_cast<int32_t>(printer->bins.size());
    case DC_MINEXTENT:
      return printer->TakesUserSizes() ? PackExtent(printer->minExtent) : -1;
    case DC_MAXEXTENT:
      return printer->TakesUserSizes() ? PackExtent(printer->maxExtent) : -1;
    default:
      return -1;
  }
}

int32_t DocumentPropertiesA(HWND, HANDLE printer, const char* device, DEVMODEA* out,
                            const DEVMODEA* in, DWORD mode) {
  std::optional<PrinterModel> model;
  {
    const std::lock_guard lock(g_mutex);
    const auto found = g_handles.find(printer);
    if (found != g_handles.end()) model = found->second;
  }
  if (!model && device != nullptr) model = FindPrinter(device);
  if (!model) return -1;
  if (mode == 0) return sizeof(DEVMODEA);
  if ((mode & ~(DM_IN_BUFFER | DM_OUT_BUFFER)) != 0) return -1;
  const bool merge = (mode & DM_IN_BUFFER) != 0;
  if (merge && in == nullptr) return -1;
  if ((mode & DM_OUT_BUFFER) != 0) {
    if (out == nullptr) return -1;
    *out = merge ? MergedDevMode(*model, *in) : DefaultDevMode(*model);
  }
  return IDOK;
}

PrinterSetup SetupFor(const PrinterModel& printer, const DEVMODEA* devmode) {
  const DEVMODEA mode =
      devmode != nullptr ? MergedDevMode(printer, *devmode) : DefaultDevMode(printer);
  const WORD id = static_cast<WORD>(mode.dmPaperSize);
  const PaperForm* paper = printer.FindPaper(id);
  if (paper == nullptr) paper = printer.FindPaper(printer.defaultPaper);
  SIZE size = paper != nullptr ? paper->size : SIZE{};
  if (id == DMPAPER_USER) size = SIZE{mode.dmPaperWidth, mode.dmPaperLength};
  RECT margins = paper != nullptr ? paper->margins : RECT{};
  if (mode.dmOrientation == DMORIENT_LANDSCAPE) {
    std::swap(size.cx, size.cy);
    margins = RECT{margins.top, margins.left, margins.bottom, margins.right};
  }
  PrinterSetup setup;
  setup.dpiX = printer.dpi;
  setup.dpiY = printer.dpi;
  setup.paper = SIZE{DevicePixels(size.cx, printer.dpi), DevicePixels(size.cy, printer.dpi)};
  setup.physicalOffset =
      POINT{DevicePixels(margins.left, printer.dpi), DevicePixels(margins.top, printer.dpi)};
  setup.printable =
      SIZE{setup.paper.cx - setup.physicalOffset.x - DevicePixels(margins.right, printer.dpi),
           setup.paper.cy - setup.physicalOffset.y - DevicePixels(margins.bottom, printer.dpi)};
  return setup;
}

DWORD GetProfileStringA(const char* section, const char* key, const char* fallback, char* out,
                        DWORD size) {
  const std::string sectionName = section != nullptr ? section : "";
  const std::string keyName = key != nullptr ? key : "";
  std::optional<std::string> value =
      CurrentRegistry().ReadString(RegistryHive::kCurrentUser, kWinIniKey + sectionName, keyName);
  if (!value && EqualsIgnoringCase(sectionName, "windows") &&
      EqualsIgnoringCase(keyName, "device")) {
    for (const PrinterModel& printer : CurrentPrinters()) {
      if ((printer.attributes & PRINTER_ATTRIBUTE_DEFAULT) != 0) {
        value = printer.name + "," + printer.driver + "," + printer.port;
        break;
      }
    }
  }
  return CopyBounded(value.value_or(fallback != nullptr ? fallback : ""), out, size);
}

}  // namespace platform
