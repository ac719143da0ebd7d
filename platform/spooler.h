// The printers and the spooler calls that describe them, in the shape of
// the WINSPOOL calls: the printer list, printer handles, capabilities,
// the driver's DEVMODE and the default printer the profile names.
//
// The printers are the CUPS destinations when a CUPS server answers
// (platform/cups_printers.h) and always the built-in "PDF" printer, which
// writes a PDF file and is the default when CUPS names none. Tests put
// printers of their own in place with ScopedPrinters.
//
// Strings are CP932. Sizes are in tenths of a millimetre, resolutions in
// dots per inch.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/gdi.h"
#include "platform/windef.h"

namespace platform {

using BYTE = uint8_t;
using WORD = uint16_t;
using DWORD = uint32_t;
using HANDLE = uintptr_t;
using HWND = uint32_t;

// ---- The printer model ----------------------------------------------------

inline constexpr WORD DMPAPER_LETTER = 1;
inline constexpr WORD DMPAPER_LEGAL = 5;
inline constexpr WORD DMPAPER_A3 = 8;
inline constexpr WORD DMPAPER_A4 = 9;
inline constexpr WORD DMPAPER_A5 = 11;
inline constexpr WORD DMPAPER_B4 = 12;  // JIS
inline constexpr WORD DMPAPER_B5 = 13;  // JIS
inline constexpr WORD DMPAPER_JAPANESE_POSTCARD = 43;
inline constexpr WORD DMPAPER_USER = 256;

inline constexpr WORD DMBIN_AUTO = 7;

inline constexpr DWORD PRINTER_ATTRIBUTE_DEFAULT = 0x4;
inline constexpr DWORD PRINTER_ATTRIBUTE_HIDDEN = 0x20;
inline constexpr DWORD PRINTER_ATTRIBUTE_LOCAL = 0x40;

// A paper the printer takes, with the edges it cannot print on.
struct PaperForm {
  WORD id = 0;
  std::string name;
  SIZE size;     // portrait, 0.1 mm
  RECT margins;  // unprintable border on each side, 0.1 mm
};

struct PaperBin {
  WORD id = 0;
};

// Where a started document goes: the PDF pieces as they are made, then
// Finish, or Abort when the document is given up.
class JobOutput {
 public:
  virtual ~JobOutput() = default;
  virtual bool Write(const unsigned char* data, unsigned int size) = 0;
  // False when the document did not get where it was going.
  virtual bool Finish() = 0;
  virtual void Abort() = 0;
  // What the caller is told of where the document went: a file's path, a
  // queue's job.
  virtual std::string Where() const = 0;
};

// Opens the output of a document named `docName` (CP932); `outputPath`
// is the output the caller named, empty for none. nullptr refuses the
// document.
using JobOutputFactory = std::function<std::unique_ptr<JobOutput>(const std::string& docName,
                                                                  const std::string& outputPath)>;

// Faults a test printer shows: it refuses StartDoc, fails the StartPage or
// EndPage of the page numbered (from 1), or fails EndDoc.
struct PrinterFaults {
  bool refuseStartDoc = false;
  int32_t failStartPage = 0;
  int32_t failEndPage = 0;
  bool failEndDoc = false;
};

struct PrinterModel {
  std::string name;
  std::string driver = "winspool";
  std::string port;
  DWORD attributes = PRINTER_ATTRIBUTE_LOCAL;
  std::vector<PaperForm> papers;
  std::vector<PaperBin> bins;
  WORD defaultPaper = DMPAPER_A4;
  WORD defaultBin = DMBIN_AUTO;
  int32_t dpi = 600;
  bool turnsPaper = true;  // whether the driver offers landscape
  // The user-defined sizes it takes; none when both are empty.
  SIZE minExtent;
  SIZE maxExtent;
  // Null: the document goes to a PDF file (see PdfFileOutput).
  JobOutputFactory output;
  PrinterFaults faults;

  const PaperForm* FindPaper(WORD id) const;
  bool TakesUserSizes() const { return maxExtent.cx > 0 && maxExtent.cy > 0; }
};

inline constexpr char kPdfPrinterName[] = "PDF";

// The built-in printer that writes PDF files.
PrinterModel MakePdfPrinter();

// Writes the document to the file the caller named, or else beside the
// document its name names, or into the working folder: the name's last
// part with ".pdf" for its extension.
std::unique_ptr<JobOutput> PdfFileOutput(const std::string& docName, const std::string& outputPath);
// The file a document named `docName` goes to when the caller names none.
std::string DefaultPdfPath(const std::string& docName);

// The printers as the spooler lists them, the default one marked.
std::vector<PrinterModel> CurrentPrinters();
// The printer of that name (byte for byte), or nullopt.
std::optional<PrinterModel> FindPrinter(const std::string& name);

// Puts the given printers in place of the real ones for the scope.
class ScopedPrinters {
 public:
  explicit ScopedPrinters(std::vector<PrinterModel> printers);
  ~ScopedPrinters();
  ScopedPrinters(const ScopedPrinters&) = delete;
  ScopedPrinters& operator=(const ScopedPrinters&) = delete;

 private:
  std::shared_ptr<const std::vector<PrinterModel>> previous_;
};

// ---- The spooler calls ----------------------------------------------------

struct DEVMODEA;

inline constexpr DWORD PRINTER_ENUM_DEFAULT = 0x1;
inline constexpr DWORD PRINTER_ENUM_LOCAL = 0x2;
inline constexpr DWORD PRINTER_ENUM_CONNECTIONS = 0x4;

struct PRINTER_INFO_4A {
  char* pPrinterName = nullptr;
  char* pServerName = nullptr;
  DWORD Attributes = 0;
};

struct PRINTER_INFO_5A {
  char* pPrinterName = nullptr;
  char* pPortName = nullptr;
  DWORD Attributes = 0;
  DWORD DeviceNotSelectedTimeout = 0;
  DWORD TransmissionRetryTimeout = 0;
};

// Levels 4 and 5: the records, then the strings they point at, in
// `buffer`. False with `needed` set when the buffer is too small (or
// null); `returned` counts the records.
bool EnumPrintersA(DWORD flags, const char* name, DWORD level, BYTE* buffer, DWORD size,
                   DWORD* needed, DWORD* returned);

bool OpenPrinterA(const char* name, HANDLE* printer, const void* defaults);
// Level 5, laid out as EnumPrintersA lays out one record.
bool GetPrinterA(HANDLE printer, DWORD level, BYTE* buffer, DWORD size, DWORD* needed);
bool ClosePrinter(HANDLE printer);

inline constexpr WORD DC_PAPERS = 2;
inline constexpr WORD DC_PAPERSIZE = 3;
inline constexpr WORD DC_MINEXTENT = 4;
inline constexpr WORD DC_MAXEXTENT = 5;
inline constexpr WORD DC_BINS = 6;
inline constexpr WORD DC_PAPERNAMES = 16;
// Each paper name fills a field of this many bytes, NUL-ended only when
// it is shorter.
inline constexpr int32_t kPaperNameBytes = 64;

// Answers the number of entries (and with `output`, writes them: WORDs,
// POINTs of 0.1 mm, or name fields), or for the extents the width in the
// low and the length in the high word; -1 for an unknown printer or
// capability, or extents the printer does not have.
int32_t DeviceCapabilitiesA(const char* device, const char* port, WORD capability, char* output,
                            const DEVMODEA* devmode);

inline constexpr DWORD DM_ORIENTATION = 0x1;
inline constexpr DWORD DM_PAPERSIZE = 0x2;
inline constexpr DWORD DM_PAPERLENGTH = 0x4;
inline constexpr DWORD DM_PAPERWIDTH = 0x8;
inline constexpr DWORD DM_DEFAULTSOURCE = 0x200;

inline constexpr int16_t DMORIENT_PORTRAIT = 1;
inline constexpr int16_t DMORIENT_LANDSCAPE = 2;

struct DEVMODEA {
  char dmDeviceName[32] = {};
  WORD dmSize = sizeof(DEVMODEA);
  WORD dmDriverExtra = 0;
  DWORD dmFields = 0;
  int16_t dmOrientation = DMORIENT_PORTRAIT;
  int16_t dmPaperSize = 0;
  int16_t dmPaperLength = 0;  // 0.1 mm
  int16_t dmPaperWidth = 0;   // 0.1 mm
  int16_t dmDefaultSource = 0;
};

inline constexpr DWORD DM_OUT_BUFFER = 2;
inline constexpr DWORD DM_IN_BUFFER = 8;

// Without a mode, the size of the DEVMODE. DM_OUT_BUFFER writes the
// printer's default, with DM_IN_BUFFER first changed by the fields `in`
// names, as far as the printer takes them (a paper or size it cannot take
// is answered with its default); answers IDOK, or -1 for an unknown
// printer or mode.
int32_t DocumentPropertiesA(HWND window, HANDLE printer, const char* device, DEVMODEA* out,
                            const DEVMODEA* in, DWORD mode);

// What a printer DC of the printer draws on for the paper and orientation
// the DEVMODE names (null: the printer's default).
PrinterSetup SetupFor(const PrinterModel& printer, const DEVMODEA* devmode);

// The profile: "windows", "device" answers the default printer as
// "name,driver,port" unless the user's profile names one (the registry's
// win.ini key). Copies at most size - 1 bytes and a NUL; answers the
// bytes copied.
DWORD GetProfileStringA(const char* section, const char* key, const char* fallback, char* out,
                        DWORD size);

}  // namespace platform
