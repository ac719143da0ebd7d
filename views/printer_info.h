// What one printer can do, asked of the spooler for one question and
// then let go: its papers (ids, sizes, names), bins and default DEVMODE,
// its resolution and printable area; and how a page setup is fitted to
// it (paper by id or by size, bin, orientation, margins raised to the
// printable area, characters per line and lines per page, the face, the
// page-number rectangle), answered as the PageSetupChange bits.
//
// It measures text on a DC given by SetDC, or on the information context
// it opens itself while fitting.
#pragma once

#include <cstdint>

#include "framework/cstring.h"
#include "platform/gdi.h"
#include "platform/global_memory.h"
#include "platform/spooler.h"
#include "views/page_setup.h"

// The results of opening and fitting; the print path hands them on.
enum PrinterInfoResult : int {
  kPrinterOk = 0,
  kPrinterListUnavailable = -1,
  kPrinterNotInstalled = -2,
  kPrinterOpenFailed = -3,
  kPrinterNoMemory = -4,
  kPaperDoesNotFit = -5,
};

// How a listed paper matches a size.
enum PaperMatch : int {
  kPaperNoMatch = 0,
  kPaperAsIs = 1,
  kPaperTurned = 2,
};

// Two sizes within this much of each other (0.1 mm) count as one paper.
inline constexpr int32_t kPaperSizeTolerance = 40;
// The resolution the screen's page setup measures with.
inline constexpr int32_t kScreenPageSetupDpi = 300;

class CPrinterInfo {
 public:
  CPrinterInfo() = default;
  // Deletes an information context it made, closes the printer and frees
  // the capability block.
  ~CPrinterInfo();
  CPrinterInfo(const CPrinterInfo&) = delete;
  CPrinterInfo& operator=(const CPrinterInfo&) = delete;

  // The default printer's name and port (cut at its first ','): 1, or 0
  // when none is named, it cannot be opened or it is hidden.
  static int GetDefaultPrinter(framework::CString& name, framework::CString& port);

  // Finds the printer (names compared byte for byte), opens it and reads
  // its papers, bins and default DEVMODE. A PrinterInfoResult.
  int Open(const char* device);
  void Close();

  // Fits the record to the opened printer: the change bits, or
  // kPaperDoesNotFit when neither a listed paper nor a size of its own
  // takes the record's size. Afterwards GetDevMode is the fitted mode.
  int FitPageSetup(PageSetupRecord& record);
  // Fits the record to the screen, or to the named device's resolution
  // and printable border without its papers: the change bits.
  int GetScreenPageSetup(const char* device, PageSetupRecord& record);

  // The DC text is measured on (not owned).
  void SetDC(platform::HDC dc);
  void SetPaper(const PageSetupPaper& paper);
  void SetFont(const PageSetupFont& font);
  // 0 while no pitch is known.
  int32_t GetCharsPerLine() const;
  int32_t GetLinesPerPage() const;

  // 1 when the block's face exists on the device (in its vertical form
  // for vertical writing); else 0, the face replaced by the device's
  // nearest one of the same class, written without '@'.
  int FontAvailable(PageSetupFont& font) const;
  // Lowers Chars and Lines to what fits the paper with the font.
  int FitFont(PageSetupRecord& record) const;
  // Places the page-number rectangle beside the text area inside the
  // printable area, whose borders (0.1 mm) are given.
  int PlacePageNumber(PageSetupRecord& record, int32_t leftBorder, int32_t topBorder,
                      int32_t rightBorder, int32_t bottomBorder) const;

  int FindPaperById(uint16_t id, int32_t* index) const;
  static int ComparePaperSize(int32_t w1, int32_t h1, int32_t w2, int32_t h2, bool tolerant);
  int FindPaperBySize(int32_t w, int32_t h, int32_t* index) const;
  bool IsBinSupported(int16_t bin) const;
  // Whether a paper of its own of w x h is possible: a PaperMatch.
  int CheckUserSize(int32_t w, int32_t h) const;

  const platform::DEVMODEA* GetDevMode() const { return devMode_; }
  int32_t GetPaperCount() const { return paperCount_; }
  // The paper's name, at most kPaperNameLength characters whatever the
  // driver's field holds.
  void CopyPaperName(int32_t index, char (&out)[kPaperNameSize]) const;

 private:
  enum SetFlags : int { kPaperSet = 1, kFontSet = 2 };

  int FindPrinter(const char* device);
  int ReadCapabilities();
  void Measure();
  platform::HDC MeasuringDC() const;
  bool ReadExtent(uint16_t capability, platform::SIZE& extent) const;
  bool DriverKeepsUserSize(int32_t w, int32_t h) const;
  int FitPaper(PageSetupRecord& record, uint16_t& id, int& kind, int32_t& w, int32_t& h) const;
  int FitUserSize(uint16_t& id, int& kind, int32_t w, int32_t h) const;
  void WriteDevMode(uint16_t id, int kind, int16_t bin, int32_t w, int32_t h);

  int32_t dpiX_ = 0;
  int32_t dpiY_ = 0;
  platform::HDC dc_ = nullptr;
  int setFlags_ = 0;
  PageSetupPaper paper_;
  PageSetupFont font_;
  int32_t textWidth_ = 0;  // twips
  int32_t textHeight_ = 0;
  int32_t charPitch_ = 0;
  int32_t linePitch_ = 0;
  framework::CString deviceName_;
  framework::CString portName_;
  platform::HDC ic_ = nullptr;  // made by this object
  platform::HANDLE printer_ = 0;
  int32_t paperCount_ = 0;
  int32_t binCount_ = 0;
  platform::UniqueGlobal block_;
  uint16_t* paperIds_ = nullptr;
  platform::POINT* paperSizes_ = nullptr;
  char* paperNames_ = nullptr;
  uint16_t* binIds_ = nullptr;
  platform::DEVMODEA* devMode_ = nullptr;
};
