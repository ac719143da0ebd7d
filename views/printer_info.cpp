#include "views/printer_info.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "model/attribute_records.h"
#include "model/font_table.h"
#include "model/units.h"
#include "platform/font_service.h"
#include "platform/message_box.h"
#include "platform/muldiv.h"
#include "platform/print_dc.h"

namespace {

using platform::DEVMODEA;
using platform::HDC;

constexpr int32_t kTenthMmPerInch = 254;
constexpr int32_t kTwipsPerInch = 1440;
// Every part of the capability block starts on this boundary.
constexpr size_t kBlockAlignment = alignof(std::max_align_t);
// The profile's answer when no default printer is named.
constexpr char kNoDevice[] = ",,,";
constexpr char kFieldSeparator = ',';
constexpr size_t kDeviceFieldSize = 256;
// The two 16-bit extent values are preset to this so that an answer in
// the buffer can be told from one in the result.
constexpr int16_t kExtentUnanswered = -1;
constexpr uint32_t kExtentWordBits = 16;
constexpr uint32_t kExtentWordMask = 0xFFFF;
constexpr int32_t kCapabilityFailed = -1;

size_t Aligned(size_t bytes) {
  return (bytes + kBlockAlignment - 1) / kBlockAlignment * kBlockAlignment;
}

// The part of `text` before its first separator.
framework::CString UpToSeparator(const char* text) {
  const char* end = std::strchr(text, kFieldSeparator);
  return framework::CString(
      std::string(text, end != nullptr ? end - text : std::strlen(text)).c_str());
}

int32_t DevicePixelsToTenthMm(int32_t pixels, int32_t dpi) {
  return dpi > 0 ? platform::MulDiv(pixels, kTenthMmPerInch, dpi) : 0;
}

// The level-5 record of an opened printer; false when it cannot be read.
bool ReadLevel5(platform::HANDLE printer, std::vector<platform::BYTE>& buffer,
                platform::PRINTER_INFO_5A*& info) {
  platform::DWORD needed = 0;
  platform::GetPrinterA(printer, 5, nullptr, 0, &needed);
  if (needed < sizeof(platform::PRINTER_INFO_5A)) return false;
  buffer.assign(needed, 0);
  if (!platform::GetPrinterA(printer, 5, buffer.data(), needed, &needed)) return false;
  info = reinterpret_cast<platform::PRINTER_INFO_5A*>(buffer.data());
  return true;
}

// A count DeviceCapabilities answers; its failure counts as none.
int32_t CapabilityCount(const char* device, const char* port, uint16_t capability) {
  const int32_t count = platform::DeviceCapabilitiesA(device, port, capability, nullptr, nullptr);
  return std::max(count, 0);
}

}  // namespace

CPrinterInfo::~CPrinterInfo() { Close(); }

int CPrinterInfo::GetDefaultPrinter(framework::CString& name, framework::CString& port) {
  char device[kDeviceFieldSize] = {};
  platform::GetProfileStringA("windows", "device", kNoDevice, device, sizeof device);
  const framework::CString found = UpToSeparator(device);
  if (found.IsEmpty()) return 0;
  platform::HANDLE printer = 0;
  if (!platform::OpenPrinterA(found, &printer, nullptr)) return 0;
  std::vector<platform::BYTE> buffer;
  platform::PRINTER_INFO_5A* info = nullptr;
  const bool read = ReadLevel5(printer, buffer, info);
  platform::ClosePrinter(printer);
  if (!read || (info->Attributes & platform::PRINTER_ATTRIBUTE_HIDDEN) != 0) return 0;
  name = found;
  port = UpToSeparator(info->pPortName != nullptr ? info->pPortName : "");
  return 1;
}

int CPrinterInfo::Open(const char* device) {
  Close();
  if (device == nullptr) return kPrinterNotInstalled;
  const int found = FindPrinter(device);
  if (found != kPrinterOk) return found;
  return ReadCapabilities();
}

int CPrinterInfo::FindPrinter(const char* device) {
  constexpr platform::DWORD kFlags =
      platform::PRINTER_ENUM_LOCAL | platform::PRINTER_ENUM_CONNECTIONS;
  platform::DWORD needed = 0;
  platform::DWORD returned = 0;
  platform::EnumPrintersA(kFlags, nullptr, 4, nullptr, 0, &needed, &returned);
  if (needed == 0) return kPrinterListUnavailable;
  std::vector<platform::BYTE> list(needed, 0);
  if (!platform::EnumPrintersA(kFlags, nullptr, 4, list.data(), needed, &needed, &returned)) {
    return kPrinterListUnavailable;
  }
  const auto* printers = reinterpret_cast<const platform::PRINTER_INFO_4A*>(list.data());
  const auto* match = std::find_if(printers, printers + returned, [device](const auto& p) {
    return p.pPrinterName != nullptr && std::strcmp(p.pPrinterName, device) == 0;
  });
  if (match == printers + returned) return kPrinterNotInstalled;
  if (!platform::OpenPrinterA(device, &printer_, nullptr)) {
    printer_ = 0;
    return kPrinterOpenFailed;
  }
  std::vector<platform::BYTE> buffer;
  platform::PRINTER_INFO_5A* info = nullptr;
  if (!ReadLevel5(printer_, buffer, info)) return kPrinterOpenFailed;
  deviceName_ = device;
  portName_ = UpToSeparator(info->pPortName != nullptr ? info->pPortName : "");
  return kPrinterOk;
}

int CPrinterInfo::ReadCapabilities() {
  const char* device = deviceName_;
  const char* port = portName_;
  paperCount_ = CapabilityCount(device, port, platform::DC_PAPERS);
  binCount_ = CapabilityCount(device, port, platform::DC_BINS);
  const int32_t modeSize = platform::DocumentPropertiesA(0, printer_, device, nullptr, nullptr, 0);
  const size_t modeBytes = std::max<size_t>(modeSize > 0 ? modeSize : 0, sizeof(DEVMODEA));
  const size_t n = static_cast<size_t>(paperCount_);
  const size_t idsAt = 0;
  const size_t sizesAt = idsAt + Aligned(n * sizeof(uint16_t));
  const size_t namesAt = sizesAt + Aligned(n * sizeof(platform::POINT));
  const size_t binsAt = namesAt + Aligned(n * platform::kPaperNameBytes);
  const size_t modeAt = binsAt + Aligned(static_cast<size_t>(binCount_) * sizeof(uint16_t));
  block_.reset(platform::GlobalAlloc(platform::GMEM_ZEROINIT, modeAt + modeBytes));
  auto* base = static_cast<char*>(platform::GlobalLock(block_.get()));
  if (base == nullptr) {
    Close();
    return kPrinterNoMemory;
  }
  paperIds_ = reinterpret_cast<uint16_t*>(base + idsAt);
  paperSizes_ = reinterpret_cast<platform::POINT*>(base + sizesAt);
  paperNames_ = base + namesAt;
  binIds_ = reinterpret_cast<uint16_t*>(base + binsAt);
  devMode_ = reinterpret_cast<DEVMODEA*>(base + modeAt);
  if (paperCount_ > 0) {
    platform::DeviceCapabilitiesA(device, port, platform::DC_PAPERS,
                                  reinterpret_cast<char*>(paperIds_), nullptr);
    platform::DeviceCapabilitiesA(device, port, platform::DC_PAPERSIZE,
                                  reinterpret_cast<char*>(paperSizes_), nullptr);
    platform::DeviceCapabilitiesA(device, port, platform::DC_PAPERNAMES, paperNames_, nullptr);
  }
  if (binCount_ > 0) {
    platform::DeviceCapabilitiesA(device, port, platform::DC_BINS, reinterpret_cast<char*>(binIds_),
                                  nullptr);
  }
  new (devMode_) DEVMODEA;
  platform::DocumentPropertiesA(0, printer_, device, devMode_, nullptr, platform::DM_OUT_BUFFER);
  return kPrinterOk;
}

void CPrinterInfo::Close() {
  if (ic_ != nullptr) platform::DeleteDC(ic_);
  ic_ = nullptr;
  if (printer_ != 0) platform::ClosePrinter(printer_);
  printer_ = 0;
  block_.reset();
  paperIds_ = nullptr;
  paperSizes_ = nullptr;
  paperNames_ = nullptr;
  binIds_ = nullptr;
  devMode_ = nullptr;
  paperCount_ = 0;
  binCount_ = 0;
}

// ---- Papers and bins

int CPrinterInfo::FindPaperById(uint16_t id, int32_t* index) const {
  for (int32_t i = 0; i < paperCount_; ++i) {
    if (paperIds_[i] == id) {
      if (index != nullptr) *index = i;
      return 1;
    }
  }
  return 0;
}

int CPrinterInfo::ComparePaperSize(int32_t w1, int32_t h1, int32_t w2, int32_t h2, bool tolerant) {
  const int32_t allowed = tolerant ? kPaperSizeTolerance : 0;
  const auto same = [allowed](int32_t a, int32_t b) { return std::abs(a - b) <= allowed; };
  if (same(w1, w2) && same(h1, h2)) return kPaperAsIs;
  if (same(w1, h2) && same(h1, w2)) return kPaperTurned;
  return kPaperNoMatch;
}

int CPrinterInfo::FindPaperBySize(int32_t w, int32_t h, int32_t* index) const {
  for (const bool tolerant : {false, true}) {
    for (const int wanted : {kPaperAsIs, kPaperTurned}) {
      for (int32_t i = 0; i < paperCount_; ++i) {
        const int match = ComparePaperSize(paperSizes_[i].x, paperSizes_[i].y, w, h, tolerant);
        if (match == wanted) {
          if (index != nullptr) *index = i;
          return match;
        }
      }
    }
  }
  return kPaperNoMatch;
}

bool CPrinterInfo::IsBinSupported(int16_t bin) const {
  return std::find(binIds_, binIds_ + binCount_, static_cast<uint16_t>(bin)) != binIds_ + binCount_;
}

void CPrinterInfo::CopyPaperName(int32_t index, char (&out)[kPaperNameSize]) const {
  std::memset(out, 0, sizeof out);
  if (index < 0 || index >= paperCount_) return;
  // A field the driver filled to its end has no NUL.
  const char* field = paperNames_ + static_cast<size_t>(index) * platform::kPaperNameBytes;
  std::memcpy(out, field, strnlen(field, kPaperNameLength));
}

bool CPrinterInfo::ReadExtent(uint16_t capability, platform::SIZE& extent) const {
  int16_t answer[2] = {kExtentUnanswered, kExtentUnanswered};
  const int32_t result = platform::DeviceCapabilitiesA(deviceName_, portName_, capability,
                                                       reinterpret_cast<char*>(answer), nullptr);
  if (answer[0] != kExtentUnanswered || answer[1] != kExtentUnanswered) {
    extent = platform::SIZE{answer[0], answer[1]};
    return true;
  }
  if (result == kCapabilityFailed) return false;
  const auto packed = static_cast<uint32_t>(result);
  extent = platform::SIZE{static_cast<int16_t>(packed & kExtentWordMask),
                          static_cast<int16_t>(packed >> kExtentWordBits)};
  return true;
}

bool CPrinterInfo::DriverKeepsUserSize(int32_t w, int32_t h) const {
  DEVMODEA asked = *devMode_;
  asked.dmFields |= platform::DM_PAPERSIZE | platform::DM_PAPERLENGTH | platform::DM_PAPERWIDTH;
  asked.dmPaperSize = static_cast<int16_t>(platform::DMPAPER_USER);
  asked.dmPaperWidth = static_cast<int16_t>(w);
  asked.dmPaperLength = static_cast<int16_t>(h);
  DEVMODEA answered = asked;
  return platform::DocumentPropertiesA(0, printer_, deviceName_, &answered, &asked,
                                       platform::DM_IN_BUFFER | platform::DM_OUT_BUFFER) ==
             platform::IDOK &&
         answered.dmPaperWidth == w && answered.dmPaperLength == h;
}

int CPrinterInfo::CheckUserSize(int32_t w, int32_t h) const {
  if (devMode_ == nullptr) return kPaperNoMatch;
  platform::SIZE least;
  platform::SIZE most;
  if (ReadExtent(platform::DC_MINEXTENT, least) && ReadExtent(platform::DC_MAXEXTENT, most)) {
    const auto within = [&](int32_t x, int32_t y) {
      return x >= least.cx && x <= most.cx && y >= least.cy && y <= most.cy;
    };
    if (within(w, h)) return kPaperAsIs;
    if (within(h, w) && (devMode_->dmFields & platform::DM_ORIENTATION) != 0) return kPaperTurned;
    return kPaperNoMatch;
  }
  if (DriverKeepsUserSize(w, h)) return kPaperAsIs;
  if (DriverKeepsUserSize(h, w)) return kPaperTurned;
  return kPaperNoMatch;
}

// ---- Fitting a page setup

int CPrinterInfo::FitUserSize(uint16_t& id, int& kind, int32_t w, int32_t h) const {
  int32_t ignored = 0;
  if (FindPaperById(platform::DMPAPER_USER, &ignored) == 0) return kPaperDoesNotFit;
  const int answer = CheckUserSize(w, h);
  if (answer == kPaperNoMatch) return kPaperDoesNotFit;
  id = platform::DMPAPER_USER;
  kind = answer;
  return kPrinterOk;
}

// Steps through paper by id, by size and of its own; on success id,
// kind and the size (w, h, as the page is to be) are the fitted ones.
int CPrinterInfo::FitPaper(PageSetupRecord& record, uint16_t& id, int& kind, int32_t& w,
                           int32_t& h) const {
  int32_t index = 0;
  kind = kPaperNoMatch;
  if (id != 0 && FindPaperById(id, &index) != 0) {
    kind = ComparePaperSize(paperSizes_[index].x, paperSizes_[index].y, w, h, false);
  }
  if (kind == kPaperNoMatch) {
    id = 0;
    if (record.orientation == kOrientationLandscape) {
      if (FindPaperBySize(h, w, &index) != kPaperNoMatch) kind = kPaperTurned;
    } else {
      kind = FindPaperBySize(w, h, &index);
    }
  }
  const bool turnsPaper = (devMode_->dmFields & platform::DM_ORIENTATION) != 0;
  if (kind == kPaperNoMatch || (kind == kPaperTurned && !turnsPaper)) {
    return FitUserSize(id, kind, w, h);
  }
  id = paperIds_[index];
  w = paperSizes_[index].x;
  h = paperSizes_[index].y;
  if (kind == kPaperTurned) std::swap(w, h);
  return kPrinterOk;
}

void CPrinterInfo::WriteDevMode(uint16_t id, int kind, int16_t bin, int32_t w, int32_t h) {
  constexpr platform::DWORD kUserFields = platform::DM_PAPERLENGTH | platform::DM_PAPERWIDTH;
  devMode_->dmOrientation = static_cast<int16_t>(kind);
  devMode_->dmPaperSize = static_cast<int16_t>(id);
  devMode_->dmDefaultSource = bin;
  if (id == platform::DMPAPER_USER) {
    devMode_->dmFields |= platform::DM_PAPERSIZE | kUserFields;
    const bool turned = kind == kPaperTurned;
    devMode_->dmPaperWidth = static_cast<int16_t>(turned ? h : w);
    devMode_->dmPaperLength = static_cast<int16_t>(turned ? w : h);
  } else {
    devMode_->dmFields = (devMode_->dmFields | platform::DM_PAPERSIZE) & ~kUserFields;
  }
  platform::DocumentPropertiesA(0, printer_, deviceName_, devMode_, devMode_,
                                platform::DM_IN_BUFFER | platform::DM_OUT_BUFFER);
}

int CPrinterInfo::FitPageSetup(PageSetupRecord& record) {
  if (devMode_ == nullptr || record.paper == nullptr) return kPaperDoesNotFit;
  PageSetupPaper& paper = *record.paper;
  int32_t w = paper.PaperWidth;
  int32_t h = paper.PaperHeight;
  uint16_t id = record.paperId;
  int kind = kPaperNoMatch;
  if (FitPaper(record, id, kind, w, h) != kPrinterOk) return kPaperDoesNotFit;

  int32_t index = -1;
  char name[kPaperNameSize] = {};
  if (FindPaperById(id, &index) != 0) CopyPaperName(index, name);
  const int16_t bin = record.paperSource != 0 && IsBinSupported(record.paperSource)
                          ? record.paperSource
                          : devMode_->dmDefaultSource;
  WriteDevMode(id, kind, bin, w, h);

  if (ic_ != nullptr) platform::DeleteDC(ic_);
  ic_ = platform::CreateICA(platform::kSpoolerDriver, deviceName_, nullptr, devMode_);
  if (ic_ == nullptr) return kPrinterOpenFailed;
  const int32_t dpiX = platform::GetDeviceCaps(ic_, platform::LOGPIXELSX);
  const int32_t dpiY = platform::GetDeviceCaps(ic_, platform::LOGPIXELSY);
  const int32_t left =
      DevicePixelsToTenthMm(platform::GetDeviceCaps(ic_, platform::PHYSICALOFFSETX), dpiX);
  const int32_t top =
      DevicePixelsToTenthMm(platform::GetDeviceCaps(ic_, platform::PHYSICALOFFSETY), dpiY);
  int32_t right =
      w - DevicePixelsToTenthMm(platform::GetDeviceCaps(ic_, platform::HORZRES), dpiX) - left;
  int32_t bottom =
      h - DevicePixelsToTenthMm(platform::GetDeviceCaps(ic_, platform::VERTRES), dpiY) - top;
  if (right < 0) right = left;
  if (bottom < 0) bottom = top;

  int bits = 0;
  const auto update = [&bits](auto& field, auto value, int bit) {
    if (field != value) {
      field = value;
      bits |= bit;
    }
  };
  update(record.paperId, id, kChangedPaperId);
  update(record.paperSource, bin, kChangedPaperSource);
  update(record.orientation, static_cast<int16_t>(kind), kChangedOrientation);
  std::memcpy(record.paperName, name, sizeof name);
  if (paper.PaperWidth != w || paper.PaperHeight != h) bits |= kChangedPaperSize;
  paper.PaperWidth = w;
  paper.PaperHeight = h;
  update(paper.MarginLeft, std::max(paper.MarginLeft, left), kChangedMargins);
  update(paper.MarginTop, std::max(paper.MarginTop, top), kChangedMargins);
  update(paper.MarginRight, std::max(paper.MarginRight, right), kChangedMargins);
  update(paper.MarginBottom, std::max(paper.MarginBottom, bottom), kChangedMargins);
  update(paper.dpiDC[0], dpiX, kChangedResolution);
  update(paper.dpiDC[1], dpiY, kChangedResolution);
  if (record.font != nullptr && record.layout != nullptr) bits |= FitFont(record);
  if (record.pageNumber != nullptr) bits |= PlacePageNumber(record, left, top, right, bottom);
  platform::DeleteDC(ic_);
  ic_ = nullptr;
  return bits;
}

int CPrinterInfo::GetScreenPageSetup(const char* device, PageSetupRecord& record) {
  if (ic_ != nullptr) platform::DeleteDC(ic_);
  ic_ = device != nullptr && device[0] != '\0'
            ? platform::CreateICA(platform::kSpoolerDriver, device, nullptr, nullptr)
            : nullptr;
  const bool onDevice = ic_ != nullptr;
  const HDC dc = onDevice ? ic_ : platform::GetDesktopDC();
  // The screen is asked about fonts as a DC given by SetDC would be.
  const HDC given = dc_;
  if (!onDevice) dc_ = dc;
  const int32_t dpiX = platform::GetDeviceCaps(dc, platform::LOGPIXELSX);
  const int32_t dpiY = platform::GetDeviceCaps(dc, platform::LOGPIXELSY);
  int bits = 0;
  if (record.paper != nullptr && record.paper->dpiDC[0] == 0) {
    record.paper->dpiDC[0] = onDevice ? dpiX : kScreenPageSetupDpi;
    record.paper->dpiDC[1] = onDevice ? dpiY : kScreenPageSetupDpi;
    bits |= kChangedResolution;
  }
  if (record.font != nullptr && FontAvailable(*record.font) == 0) bits |= kChangedFace;
  if (record.pageNumber != nullptr && record.paper != nullptr) {
    const int32_t x = onDevice ? DevicePixelsToTenthMm(
                                     platform::GetDeviceCaps(dc, platform::PHYSICALOFFSETX), dpiX)
                               : 0;
    const int32_t y = onDevice ? DevicePixelsToTenthMm(
                                     platform::GetDeviceCaps(dc, platform::PHYSICALOFFSETY), dpiY)
                               : 0;
    bits |= PlacePageNumber(record, x, y, x, y);
  }
  dc_ = given;
  if (ic_ != nullptr) platform::DeleteDC(ic_);
  ic_ = nullptr;
  return bits;
}

// ---- Measuring

HDC CPrinterInfo::MeasuringDC() const { return ic_ != nullptr ? ic_ : dc_; }

void CPrinterInfo::SetDC(HDC dc) {
  dc_ = dc;
  dpiX_ = dc != nullptr ? platform::GetDeviceCaps(dc, platform::LOGPIXELSX) : 0;
  dpiY_ = dc != nullptr ? platform::GetDeviceCaps(dc, platform::LOGPIXELSY) : 0;
  if ((setFlags_ & (kPaperSet | kFontSet)) == (kPaperSet | kFontSet)) Measure();
}

void CPrinterInfo::SetPaper(const PageSetupPaper& paper) {
  paper_ = paper;
  setFlags_ |= kPaperSet;
  const ResolutionPair dpi{dpiX_, dpiY_};
  textWidth_ = TenthMmToTwipsX(dpi, paper_.PaperWidth) - TenthMmToTwipsX(dpi, paper_.MarginRight) -
               TenthMmToTwipsX(dpi, paper_.MarginLeft);
  textHeight_ = TenthMmToTwipsY(dpi, paper_.PaperHeight) -
                TenthMmToTwipsY(dpi, paper_.MarginBottom) - TenthMmToTwipsY(dpi, paper_.MarginTop);
}

void CPrinterInfo::SetFont(const PageSetupFont& font) {
  font_ = font;
  setFlags_ |= kFontSet;
  FontAvailable(font_);
  Measure();
}

void CPrinterInfo::Measure() {
  SetPaper(paper_);
  charPitch_ = 0;
  linePitch_ = 0;
  const HDC dc = MeasuringDC();
  if (dc == nullptr || dpiX_ <= 0 || dpiY_ <= 0) return;
  CharFormat format;
  std::memcpy(format.face, font_.FontName, sizeof format.face);
  format.face[kFaceNameSize - 1] = '\0';
  if (font_.Direction != 0) CFontTable::FaceExists(dc, format.face, true);
  format.size = font_.FontSize;
  format.heightScale = font_.Vexpan;
  format.widthScale = font_.Hexpan;
  format.bold = font_.Bold;
  format.italic = font_.Italic;
  const platform::UniqueFont made = ViewFontTable().CreateFontFromFormat(dc, format, false);
  if (made == nullptr) return;
  // The DC's own state comes back whole: the font selected before may be
  // one its owner has deleted since, which must not be selected again.
  const int saved = platform::SaveDC(dc);
  platform::SelectObject(dc, made.get());
  platform::TEXTMETRICA metrics;
  const bool measured = platform::GetTextMetricsA(dc, &metrics);
  platform::RestoreDC(dc, saved);
  if (!measured) return;
  charPitch_ = platform::MulDiv((metrics.tmHeight + 1) / 2, kTwipsPerInch, dpiX_);
  linePitch_ = platform::MulDiv(metrics.tmHeight + 3 * metrics.tmDescent, kTwipsPerInch, dpiY_);
}

int32_t CPrinterInfo::GetCharsPerLine() const {
  return charPitch_ > 0 ? textWidth_ / charPitch_ : 0;
}

int32_t CPrinterInfo::GetLinesPerPage() const {
  return linePitch_ > 0 ? textHeight_ / linePitch_ : 0;
}

int CPrinterInfo::FontAvailable(PageSetupFont& font) const {
  const HDC dc = MeasuringDC();
  if (dc == nullptr) return 0;
  char face[kFaceNameSize] = {};
  const char* name = font.FontName;
  if (IsVerticalFaceName(name)) ++name;
  std::memcpy(face, name, strnlen(name, kFaceNameSize - 1));
  char resolved[kFaceNameSize];
  std::memcpy(resolved, face, sizeof face);
  const bool found = CFontTable::ResolveFontFace(dc, resolved, platform::SHIFTJIS_CHARSET, 0) != 0;
  bool exists = found && std::strcmp(resolved, face) == 0;
  if (exists && font.Direction != 0) exists = CFontTable::FaceExists(dc, face, false);
  if (exists) return 1;
  if (found) {
    std::memset(font.FontName, 0, sizeof font.FontName);
    std::memcpy(font.FontName, resolved, strnlen(resolved, kFaceNameSize - 1));
  }
  return 0;
}

int CPrinterInfo::FitFont(PageSetupRecord& record) const {
  if (record.paper == nullptr || record.font == nullptr || record.layout == nullptr) return 0;
  const bool available = FontAvailable(*record.font) != 0;
  CPrinterInfo measure;
  measure.SetDC(MeasuringDC());
  measure.SetPaper(*record.paper);
  measure.SetFont(*record.font);
  int bits = 0;
  // A font too large for even one character or line leaves the counts
  // alone: a count of 0 would be no page at all.
  const int32_t chars = measure.GetCharsPerLine();
  const int32_t lines = measure.GetLinesPerPage();
  if (chars > 0 && record.layout->Chars > chars) {
    record.layout->Chars = static_cast<uint16_t>(chars);
    bits |= kChangedCharsOrLines;
  }
  if (lines > 0 && record.layout->Lines > lines) {
    record.layout->Lines = static_cast<uint16_t>(lines);
    bits |= kChangedCharsOrLines;
  }
  if (bits == 0 && !available) bits |= kChangedFace;
  return bits;
}

int CPrinterInfo::PlacePageNumber(PageSetupRecord& record, int32_t leftBorder, int32_t topBorder,
                                  int32_t rightBorder, int32_t bottomBorder) const {
  if (record.paper == nullptr || record.pageNumber == nullptr) return 0;
  const PageSetupPaper& paper = *record.paper;
  PageSetupPageNumber& number = *record.pageNumber;
  const platform::RECT text{paper.MarginLeft, paper.MarginTop, paper.PaperWidth - paper.MarginRight,
                            paper.PaperHeight - paper.MarginBottom};
  const platform::RECT printable{leftBorder, topBorder, paper.PaperWidth - rightBorder,
                                 paper.PaperHeight - bottomBorder};
  platform::RECT r = number.AreaRectStr;

  int where = -1;
  if (r.left < r.right && r.top < r.bottom) {
    if (r.bottom <= text.top) {
      where = kPageNumberAbove;
    } else if (r.top >= text.bottom) {
      where = kPageNumberBelowToo;
    } else if (r.right <= text.left) {
      where = kPageNumberLeft;
    } else if (r.left >= text.right) {
      where = kPageNumberRight;
    }
  }
  int16_t kind = number.Position;
  if (record.font != nullptr && record.font->Direction != 0) {
    kind = kPageNumberRight;
  } else if (kind == kPageNumberRight) {
    kind = kPageNumberBelow;
  }
  const bool keeps = kind == where || (kind == kPageNumberBelow && where == kPageNumberBelowToo);
  if (!keeps) {
    switch (kind) {
      case kPageNumberAbove:
        r = {text.left, 0, text.right, text.top};
        break;
      case kPageNumberLeft:
        r = {0, text.top, text.left, text.bottom};
        break;
      case kPageNumberRight:
        r = {text.right, text.top, paper.PaperWidth, text.bottom};
        break;
      default:
        r = {text.left, text.bottom, text.right, paper.PaperHeight};
        break;
    }
  }
  r.left = std::clamp(r.left, printable.left, std::max(printable.left, printable.right));
  r.right = std::clamp(r.right, printable.left, std::max(printable.left, printable.right));
  r.top = std::clamp(r.top, printable.top, std::max(printable.top, printable.bottom));
  r.bottom = std::clamp(r.bottom, printable.top, std::max(printable.top, printable.bottom));
  switch (kind) {
    case kPageNumberAbove:
      r.bottom = text.top;
      break;
    case kPageNumberLeft:
      r.right = text.left;
      break;
    case kPageNumberRight:
      r.left = text.right;
      break;
    default:
      r.top = text.bottom;
      break;
  }
  if (kind == number.Position && r == number.AreaRectStr) return 0;
  number.Position = kind;
  number.AreaRectStr = r;
  return kChangedPageNumber;
}
