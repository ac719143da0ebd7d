#include "model/renderer.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "model/texts.h"
#include "platform/file.h"
#include "platform/texts.h"

using platform::COLORREF;
using platform::HDC;
using platform::POINT;

namespace {

constexpr COLORREF kWhite = 0xFFFFFF;
constexpr COLORREF kMarkOnBlack = 0xE0E0E0;
constexpr COLORREF kGrey = 0x808080;
constexpr COLORREF kDefaultShade = platform::RGB(192, 192, 192);
constexpr COLORREF kPointerOnColour = 0xD0D0D0;
constexpr COLORREF kPointerOnBlack = 0xA0A0A0;
constexpr COLORREF kCursorOnColour = 0x0000D0;
constexpr COLORREF kCursorOnBlack = 0x0000A0;
constexpr int32_t kSymbolSize = 105;
constexpr uint8_t kFullScale = 100;

// Symbol codes of a control code: one per mark kind, then the code used
// with a symbol face other than the mark face.
struct MarkRow {
  std::array<uint8_t, 3> kinds;
  uint8_t otherFace;
};
constexpr MarkRow kParagraphEndRow{{0xBF, 0xBE, 0x00}, 0xBF};
constexpr MarkRow kPageBreakRow{{0xC0, 0x00, 0x00}, 0xDF};
constexpr MarkRow kEndOfTextRow{{0xBF, 0xBD, 0x00}, 0x00};

std::string_view FaceName(const char* face) {
  return std::string_view(face, strnlen(face, kFaceNameSize));
}

void CopyFace(char* target, std::string_view face) {
  std::memset(target, 0, kFaceNameSize);
  std::memcpy(target, face.data(), std::min<size_t>(face.size(), kFaceNameSize - 1));
}

bool FaceInstalled(std::string_view face) {
  platform::LOGFONTA filter;
  filter.lfCharSet = platform::DEFAULT_CHARSET;
  CopyFace(filter.lfFaceName, face);
  bool found = false;
  platform::EnumFontFamiliesExA(
      platform::GetDesktopDC(), filter,
      [&](const platform::LOGFONTA&, const platform::TEXTMETRICA&, uint32_t) {
        found = true;
        return 0;
      });
  return found;
}

// The first upright TrueType Shift-JIS face, the last resort of a default.
std::optional<std::string> FirstJapaneseFace(HDC dc) {
  platform::LOGFONTA filter;
  filter.lfCharSet = platform::SHIFTJIS_CHARSET;
  std::optional<std::string> face;
  platform::EnumFontFamiliesExA(
      dc, filter, [&](const platform::LOGFONTA& font, const platform::TEXTMETRICA&, uint32_t type) {
        if ((type & platform::TRUETYPE_FONTTYPE) == 0 || IsVerticalFaceName(font.lfFaceName)) {
          return 1;
        }
        face = FaceName(font.lfFaceName);
        return 0;
      });
  return face;
}

uint8_t Scale(uint8_t scale) { return scale == 0 ? kFullScale : scale; }

uint8_t Channel(COLORREF colour, int shift) { return static_cast<uint8_t>(colour >> shift); }

// Moves a channel toward white (x > 0) or black (x < 0) by the fraction x.
uint8_t Shade(uint8_t channel, double x) {
  const int moved = x >= 0 ? channel + static_cast<int>(x * (255 - channel))
                           : channel + static_cast<int>(x * channel);
  return static_cast<uint8_t>(std::clamp(moved, 0, 255));
}

void WriteRecord(platform::CArchive& archive, const SavedFontRecord& record) {
  archive.Write(record.face, kFaceNameSize);
  archive << record.size << record.heightScale << record.widthScale << record.bold << record.italic
          << record.charSet << record.pitchAndFamily << uint8_t{0} << uint8_t{0} << record.fontId;
}

SavedFontRecord ReadRecord(platform::CArchive& archive) {
  SavedFontRecord record;
  archive.ReadExact(record.face, kFaceNameSize);
  archive >> record.size >> record.heightScale >> record.widthScale >> record.bold >>
      record.italic >> record.charSet >> record.pitchAndFamily >> record.reserved[0] >>
      record.reserved[1] >> record.fontId;
  return record;
}

}  // namespace

CDocRenderer::CDocRenderer() : CDocRenderer(RendererFontTable()) {}

CDocRenderer::CDocRenderer(CFontTable& table) : fonts_(table) {
  CopyFace(symbol_.face,
           FaceInstalled(platform::kFaceZntSymbol) ? platform::kFaceZntSymbol : kFaceSymbol);
  symbol_.size = kSymbolSize;
  SetSymbolFont(symbol_, display_.marks);
}

CDocRenderer::~CDocRenderer() = default;

void CDocRenderer::SetDisplaySettings(const DisplaySettings& settings) {
  display_ = settings;
  // A zoom of 0 would fold every coordinate onto the origin.
  fonts_.SetZoom(std::max<int32_t>(settings.zoom, 1));
  fonts_.SetMinchoAsGothic(settings.minchoAsGothic);
  SetSymbolFont(symbol_, settings.marks);
}

void CDocRenderer::UpdateSymbolSize(const PageFormat& format) {
  symbol_.size = format.fontSize;
  SetSymbolFont(symbol_, display_.marks);
}

void CDocRenderer::SetPageFormat(const PageFormat& format) {
  fonts_.SwapResolution(format.resolutionX, format.resolutionY);
  defaultFontId_ = ChooseDefaultFont(format);
  UpdateSymbolSize(format);
}

void CDocRenderer::RefreshDefaultFont(const PageFormat& format) {
  fonts_.SwapResolution(format.resolutionX, format.resolutionY);
  if (format.vertical != fonts_.GetVertical()) {
    fonts_.SetVertical(format.vertical);
    fonts_.Clear();
  }
  bool same = false;
  if (defaultFontId_ >= 0 && defaultFontId_ < fonts_.Table().RealizedCount()) {
    FontInfo info;
    fonts_.GetFontInfo(defaultFontId_, &info);
    std::string_view face = FaceName(info.face);
    if (info.charSet == platform::SHIFTJIS_CHARSET && IsVerticalFaceName(face)) {
      face.remove_prefix(1);
    }
    same = face == FaceName(format.face) && info.size == format.fontSize &&
           Scale(info.heightScale) == Scale(format.heightScale) &&
           Scale(info.widthScale) == Scale(format.widthScale) && info.bold == format.bold &&
           info.italic == format.italic;
  }
  if (!same) {
    previousDefaultFontId_ = defaultFontId_;
    const int32_t chosen = ChooseDefaultFont(format);
    if (chosen != -1) defaultFontId_ = chosen;
  }
  UpdateSymbolSize(format);
}

int32_t CDocRenderer::ChooseDefaultFont(const PageFormat& format) {
  fonts_.SetVertical(format.vertical);
  HDC dc = format.referenceDC != nullptr ? format.referenceDC : platform::GetDesktopDC();
  CharFormat base;
  base.size = format.fontSize;
  base.heightScale = format.heightScale;
  base.widthScale = format.widthScale;
  base.bold = format.bold;
  base.italic = format.italic;
  base.mask = kMaskEveryField;
  const auto attempt = [&](std::string_view face) {
    CopyFace(base.face, face);
    int32_t id = -1;
    return fonts_.SelectFormatFont(dc, base, &id, 0) != nullptr ? id : -1;
  };
  for (const std::string_view face :
       {FaceName(format.face), std::string_view(platform::kFaceMsMincho),
        std::string_view(platform::kFaceMsGothic)}) {
    const int32_t id = attempt(face);
    if (id != -1) return id;
  }
  const auto fallback = FirstJapaneseFace(dc);
  return fallback ? attempt(*fallback) : -1;
}

void CDocRenderer::SetSelectionState(int32_t active, int32_t a, int32_t b) {
  selection_ = SelectionState{active, a, b};
}

void CDocRenderer::BeginPage(HDC dc, int32_t printer) {
  drawingDC_ = dc;
  offset_ = POINT{};
  BeginDraw(dc, printer, &fonts_);
}

void CDocRenderer::EndDraw() {
  CDrawDevice::EndDraw();
  drawingDC_ = nullptr;
  offset_ = POINT{};
}

POINT CDocRenderer::SetOffset(int32_t x, int32_t y) { return std::exchange(offset_, POINT{x, y}); }

POINT CDocRenderer::AdvanceOffset(int32_t dx, int32_t dy) {
  return std::exchange(offset_, POINT{offset_.x + dx, offset_.y + dy});
}

void CDocRenderer::SetEndMarkKinds(int32_t paragraphEnd, int32_t endOfText) {
  paragraphEndKind_ = paragraphEnd;
  endOfTextKind_ = endOfText;
}

COLORREF CDocRenderer::Substitute(COLORREF colour, bool textRun) const {
  if (printing_ != 0) return colour;
  if (colour == 0) return display_.text;
  if (textRun && colour == kWhite) return display_.background;
  if (colour == display_.text) return 0;
  return colour;
}

void CDocRenderer::ShadeRect(int32_t x, int32_t y, int32_t width, int32_t height, int32_t pattern,
                             COLORREF colour) {
  CDrawDevice::ShadeRect(x + offset_.x, y + offset_.y, width, height, pattern,
                         Substitute(colour, false));
}

void CDocRenderer::ShadeLevel(int32_t x, int32_t y, int32_t width, int32_t height, int32_t level,
                              COLORREF colour) {
  if (level > 0) {
    ShadeRect(x, y, width, height, level, colour);
    return;
  }
  if (printing_ == 0 && display_.background == 0) level = -level - 110;
  const double fraction = (-level - 50) * 0.02;
  const COLORREF base = colour != 0 ? colour : kDefaultShade;
  const COLORREF shaded =
      platform::RGB(Shade(Channel(base, 0), fraction), Shade(Channel(base, 8), fraction),
                    Shade(Channel(base, 16), fraction));
  ShadeRect(x, y, width, height, kShadeSolid, shaded);
}

void CDocRenderer::DrawTextRun(const TextRun& run) {
  TextRun moved = run;
  moved.x += offset_.x;
  moved.y += offset_.y;
  moved.clip = platform::RECT{run.clip.left + offset_.x, run.clip.top + offset_.y,
                              run.clip.right + offset_.x, run.clip.bottom + offset_.y};
  moved.colour = Substitute(run.colour, true);
  moved.secondColour = Substitute(run.secondColour, true);
  CDrawDevice::DrawTextRun(moved);
}

void CDocRenderer::DrawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t kind,
                            int32_t width, COLORREF colour) {
  CDrawDevice::DrawLine(x1 + offset_.x, y1 + offset_.y, x2 + offset_.x, y2 + offset_.y, kind, width,
                        Substitute(colour, false));
}

void CDocRenderer::DrawFrame(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t kind,
                             int32_t width, COLORREF colour) {
  CDrawDevice::DrawFrame(left + offset_.x, top + offset_.y, right + offset_.x, bottom + offset_.y,
                         kind, width, Substitute(colour, false));
}

void CDocRenderer::DrawChar(int32_t x, int32_t y, uint8_t code, COLORREF colour) {
  DrawMark(x, y, code, colour);
}

void CDocRenderer::DrawMark(int32_t x, int32_t y, uint8_t code, COLORREF colour) {
  if (GetPrinterFlag() == kDrawingScreen && display_.background == 0) colour = kMarkOnBlack;
  DrawMarkIn(x, y, code, colour);
}

void CDocRenderer::DrawMarkGrey(int32_t x, int32_t y, uint8_t code) {
  DrawMarkIn(x, y, code, kGrey);
}

void CDocRenderer::DrawMarkIn(int32_t x, int32_t y, uint8_t code, COLORREF colour) {
  if (GetMarks() == 0 && code == kMarkTab) return;
  const MarkRow* row = &kEndOfTextRow;
  int32_t kind = 1;
  if (code == kMarkParagraphEnd) {
    row = &kParagraphEndRow;
    kind = paragraphEndKind_;
  } else if (code == kMarkEndOfText) {
    kind = endOfTextKind_;
  } else if (code == kMarkPageBreak) {
    row = &kPageBreakRow;
  }
  uint8_t symbol = 0;
  if (FaceName(GetSymbolFont().face) != platform::kFaceZntSymbol) {
    symbol = row->otherFace;
  } else if (kind >= 1 && kind <= static_cast<int32_t>(row->kinds.size())) {
    symbol = row->kinds[kind - 1];
  }
  if (symbol == 0) return;
  CDrawDevice::DrawChar(x + offset_.x, y + offset_.y, symbol, colour);
}

void CDocRenderer::InvertRegions(const platform::RECT* rects, int32_t count) {
  if (rects == nullptr || count <= 0) return;
  std::vector<platform::RECT> moved(rects, rects + count);
  for (platform::RECT& rect : moved) {
    rect = platform::RECT{rect.left + offset_.x, rect.top + offset_.y, rect.right + offset_.x,
                          rect.bottom + offset_.y};
  }
  CDrawDevice::InvertRegions(moved.data(), count);
}

void CDocRenderer::DrawTextRunGrey(const TextRun& run) {
  TextRun grey = run;
  grey.colour = kGrey;
  DrawTextRun(grey);
}

void CDocRenderer::DrawPointer(int32_t x, int32_t y, int32_t type) {
  if (printing_ != 0 || GetMarks() == 0) return;
  const bool coloured = display_.background != 0;
  switch (type) {
    case kPointerLeft:
    case kPointerRight:
      FillMark(x + offset_.x, y + offset_.y, type == kPointerRight ? 1 : 0,
               coloured ? kPointerOnColour : kPointerOnBlack);
      break;
    case kPointerCursor:
      FillMark(x + offset_.x, y + offset_.y, 0, coloured ? kCursorOnColour : kCursorOnBlack);
      break;
    default:
      break;
  }
}

void CDocRenderer::NewFontList() { saved_ = std::make_unique<SavedFontList>(); }

void CDocRenderer::DeleteFontList() {
  saved_.reset();
  storedDefaultFontId_ = -1;
}

int CDocRenderer::SerializeFontList(platform::CArchive& archive) {
  if (saved_ == nullptr) return 0;
  try {
    if (archive.IsStoring()) {
      fonts_.SaveFontList(*saved_);
      archive.WriteCount(static_cast<uint32_t>(saved_->size()));
      for (const SavedFontRecord& record : *saved_) WriteRecord(archive, record);
      archive << defaultFontId_;
      const std::array<uint8_t, kRendererReservedBytes> reserved{};
      archive.Write(reserved.data(), reserved.size());
      return 1;
    }
    saved_->clear();
    const uint32_t count = archive.ReadCount();
    if (static_cast<uint64_t>(count) * sizeof(SavedFontRecord) > archive.RemainingBytes()) {
      return 0;
    }
    for (uint32_t i = 0; i < count; ++i) saved_->push_back(ReadRecord(archive));
    archive >> storedDefaultFontId_;
    std::array<uint8_t, kRendererReservedBytes> reserved{};
    archive.ReadExact(reserved.data(), reserved.size());
    return 1;
  } catch (const platform::CArchiveException&) {
    saved_->clear();
    return 0;
  } catch (const platform::CFileException&) {
    saved_->clear();
    return 0;
  }
}

void CDocRenderer::MapSavedFont(HDC dc, int32_t* id) {
  if (saved_ == nullptr || id == nullptr) return;
  if ((previousDefaultFontId_ != -1 && *id == previousDefaultFontId_) ||
      *id == storedDefaultFontId_) {
    *id = defaultFontId_;
    return;
  }
  fonts_.RestoreFont(dc != nullptr ? dc : platform::GetDesktopDC(), *saved_, id);
}
