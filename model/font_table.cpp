#include "model/font_table.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "model/texts.h"
#include "platform/muldiv.h"
#include "platform/sjis.h"
#include "platform/texts.h"

using platform::HDC;
using platform::HFONT;
using platform::LOGFONTA;
using platform::MulDiv;
using platform::UniqueFont;

namespace {

constexpr int32_t kTwipsPerInch = 1440;
constexpr int32_t kTenthPointsPerInch = 720;
constexpr int32_t kPointsPerInch = 72;
constexpr int32_t kProbeEmHeight = 2048;
constexpr uint8_t kFullScale = 100;
constexpr uint16_t kKanjiFirst = 0x889F;
constexpr uint16_t kPunctuationFirst = 0x8141;
constexpr uint16_t kPunctuationLast = 0x8144;
constexpr uint16_t kBracketFirst = 0x8165;
constexpr uint16_t kBracketLast = 0x817A;
constexpr int kCommaCount = kPunctuationLast - kPunctuationFirst + 1;

// The widths measure the lead bytes of the whole upper range.
constexpr platform::LeadByteRange kWidthLeadBytes{0xE0, 0xFE};

uint8_t ScaleOf(uint32_t key, int shift) { return static_cast<uint8_t>(key >> shift); }
uint8_t HeightScale(uint32_t key) { return ScaleOf(key, 0); }
uint8_t WidthScale(uint32_t key) { return ScaleOf(key, 8); }
uint16_t SizeWord(uint32_t key) { return static_cast<uint16_t>(key >> 16); }
int32_t SizeOf(uint32_t key) { return SizeWord(key) & kFontSizeLimit; }

std::string_view FaceName(const char* face) {
  return std::string_view(face, strnlen(face, kFaceNameSize));
}

void CopyFace(char* target, std::string_view face) {
  std::memset(target, 0, kFaceNameSize);
  std::memcpy(target, face.data(), std::min<size_t>(face.size(), kFaceNameSize - 1));
}

bool IsAcceptedCharSet(uint8_t charSet) {
  return charSet == platform::ANSI_CHARSET || charSet == platform::SYMBOL_CHARSET ||
         charSet == platform::SHIFTJIS_CHARSET;
}

// The first TrueType face of that name in an accepted character set.
std::optional<LOGFONTA> FindTrueTypeFace(HDC dc, std::string_view face) {
  LOGFONTA filter;
  filter.lfCharSet = platform::DEFAULT_CHARSET;
  CopyFace(filter.lfFaceName, face);
  std::optional<LOGFONTA> found;
  platform::EnumFontFamiliesExA(
      dc, filter, [&](const LOGFONTA& font, const platform::TEXTMETRICA&, uint32_t type) {
        if ((type & platform::TRUETYPE_FONTTYPE) == 0 || !IsAcceptedCharSet(font.lfCharSet)) {
          return 1;
        }
        found = font;
        return 0;
      });
  return found;
}

// Class of a face for replacement: 1 Mincho, 2 Gothic, 3 Pop, else 0.
int FaceClass(std::string_view face) {
  const auto contains = [face](const char* part) {
    return platform::FindDbcs(face, part) != std::string_view::npos;
  };
  if (contains(kFaceClassMincho)) return 1;
  if (contains(kFaceClassGothic) || contains(kFaceClassGothicHalfWidth)) return 2;
  if (contains(kFaceClassPop) || contains(kFaceClassPopHalfWidth)) return 3;
  return 0;
}

bool IsFixedPitch(const LOGFONTA& font) {
  return (font.lfPitchAndFamily & 0x03) == platform::FIXED_PITCH;
}

int32_t Truncate(double value) { return static_cast<int32_t>(value); }

}  // namespace

uint16_t MakeSizeWord(int32_t size, bool bold, bool italic) {
  const auto bits = static_cast<uint16_t>(std::clamp(size, 0, kFontSizeLimit));
  return static_cast<uint16_t>(bits | (italic ? kSizeWordItalic : 0) | (bold ? kSizeWordBold : 0));
}

uint32_t MakeFontKey(uint8_t heightScale, uint8_t widthScale, uint16_t sizeWord) {
  const uint32_t height = heightScale == 0 ? kFullScale : heightScale;
  const uint32_t width = widthScale == 0 ? kFullScale : widthScale;
  return height | (width << 8) | (static_cast<uint32_t>(sizeWord) << 16);
}

uint32_t FontKeyOf(const CharFormat& format) {
  return MakeFontKey(format.heightScale, format.widthScale,
                     MakeSizeWord(format.size, format.bold != 0, format.italic != 0));
}

struct CFontTable::Entry {
  LOGFONTA logFont;   // as enumerated, with the escapement it was made for
  UniqueFont emFont;  // proportional faces only
  int32_t emSquare = 0;
  int32_t ascentDescent = 0;
  int32_t widthA = 0;  // fixed-pitch faces only
  int32_t ascent = 0;
  std::unique_ptr<std::array<platform::ABC, kPunctuationCount>> punctuation;
};

struct CFontTable::Realized {
  UniqueFont screenFont;
  UniqueFont deviceFont;
  uint32_t key = 0;
  int32_t entry = 0;
  int32_t dpiX = 0;
  int32_t dpiY = 0;
  int32_t escapement = 0;
  int32_t emPixels = 0;
  int32_t linePixels = 0;
  int32_t emWidthPixels = 0;
  int32_t lineHeight = 0;  // twips from here on
  int32_t emWidth = 0;
  int32_t fixedWidth = 0;
  int32_t ascent = 0;
  int32_t descent = 0;
};

CFontTable::CFontTable() {
  entries_.reserve(50);
  realized_.reserve(200);
}

CFontTable::~CFontTable() = default;

int32_t CFontTable::FindOrAddEntry(const char* face, int32_t escapement) {
  const std::string_view name = FaceName(face);
  for (size_t i = 0; i < entries_.size(); ++i) {
    const LOGFONTA& known = entries_[i]->logFont;
    if (FaceName(known.lfFaceName) == name && known.lfEscapement == escapement) {
      return static_cast<int32_t>(i);
    }
  }
  HDC dc = platform::GetDesktopDC();
  const auto found = FindTrueTypeFace(dc, name);
  if (!found) return -1;
  auto entry = std::make_unique<Entry>();
  entry->logFont = *found;
  entry->logFont.lfEscapement = escapement;

  // Made once at a known height to learn the EM square, then at the EM
  // square itself so that every measurement is in design units.
  LOGFONTA probe = entry->logFont;
  probe.lfHeight = -kProbeEmHeight;
  UniqueFont font = platform::CreateFontIndirectA(probe);
  if (font == nullptr) return -1;
  platform::SelectObject(dc, font.get());
  platform::OUTLINETEXTMETRICA otm;
  if (!platform::GetOutlineTextMetricsA(dc, &otm)) return -1;
  probe.lfHeight = -static_cast<int32_t>(otm.otmEMSquare);
  font = platform::CreateFontIndirectA(probe);
  if (font == nullptr) return -1;
  platform::SelectObject(dc, font.get());
  platform::GetOutlineTextMetricsA(dc, &otm);
  entry->emSquare = static_cast<int32_t>(otm.otmEMSquare);
  entry->ascent = otm.otmAscent;
  entry->ascentDescent = otm.otmAscent + otm.otmDescent;
  if (entry->emSquare <= 0 || entry->ascentDescent <= 0) return -1;

  if (IsFixedPitch(entry->logFont)) {
    if (entry->logFont.lfCharSet == platform::SHIFTJIS_CHARSET) {
      entry->punctuation = std::make_unique<std::array<platform::ABC, kPunctuationCount>>();
      platform::GetCharABCWidthsA(dc, kPunctuationFirst, kPunctuationLast,
                                  entry->punctuation->data());
      platform::GetCharABCWidthsA(dc, kBracketFirst, kBracketLast,
                                  entry->punctuation->data() + kCommaCount);
    }
    platform::GetCharWidthA(dc, 'A', 'A', &entry->widthA);
  } else {
    entry->emFont = std::move(font);
  }
  entries_.push_back(std::move(entry));
  return static_cast<int32_t>(entries_.size() - 1);
}

UniqueFont CFontTable::CreateRealizedFont(HDC dc, const Realized& font, int32_t zoom,
                                          FaceRules rules) const {
  return MakeFont(dc, entries_[font.entry]->logFont, font.key, font.escapement, zoom, rules);
}

UniqueFont CFontTable::MakeFont(HDC dc, LOGFONTA logFont, uint32_t key, int32_t escapement,
                                int32_t zoom, FaceRules rules) const {
  std::string_view face = FaceName(logFont.lfFaceName);
  // Vertical text turns the upright face by its escapement.
  if (rules != FaceRules::kAsEnumerated && logFont.lfCharSet == platform::SHIFTJIS_CHARSET &&
      IsVerticalFaceName(face)) {
    face.remove_prefix(1);
  }
  if (rules == FaceRules::kShown && minchoAsGothic_ != 0 && face == platform::kFaceMsMincho) {
    face = platform::kFaceMsGothic;
  }
  const std::string name(face);
  CopyFace(logFont.lfFaceName, name);

  const uint8_t heightScale = HeightScale(key);
  const uint8_t widthScale = WidthScale(key);
  const uint16_t sizeWord = SizeWord(key);
  const double size = SizeOf(key);
  const double sizeV = heightScale == kFullScale ? size : size * heightScale / 100;
  const double sizeH = widthScale == kFullScale ? size : size * widthScale / 100;
  // Tenths of a pixel, zoomed.
  const int32_t w =
      Truncate(platform::GetDeviceCaps(dc, platform::LOGPIXELSX) * sizeH / kPointsPerInch) * zoom;
  const int32_t h =
      Truncate(platform::GetDeviceCaps(dc, platform::LOGPIXELSY) * sizeV / kPointsPerInch) * zoom;
  logFont.lfHeight = -Truncate(std::abs(h) * 0.1 + 0.5);
  logFont.lfWidth = 0;
  logFont.lfWeight = (sizeWord & kSizeWordBold) != 0 ? platform::FW_BOLD : platform::FW_NORMAL;
  logFont.lfItalic = (sizeWord & kSizeWordItalic) != 0 ? 1 : 0;
  logFont.lfUnderline = 0;
  logFont.lfStrikeOut = 0;
  logFont.lfEscapement = escapement;
  UniqueFont created = platform::CreateFontIndirectA(logFont);
  if (created == nullptr || (heightScale == kFullScale && widthScale == kFullScale) || h == 0) {
    return created;
  }
  // Scaled fonts are measured once and made again at the width that
  // stretches their average character in proportion.
  platform::SelectObject(dc, created.get());
  platform::TEXTMETRICA tm;
  if (!platform::GetTextMetricsA(dc, &tm)) return created;
  logFont.lfWidth =
      Truncate(std::abs(w) * static_cast<double>(tm.tmAveCharWidth) / std::abs(h) + 0.5);
  return platform::CreateFontIndirectA(logFont);
}

HFONT CFontTable::GetFontEntry(int32_t dpiX, int32_t dpiY, const char* face, uint32_t key,
                               int32_t* realized, int32_t escapement) {
  const int32_t entryIndex = FindOrAddEntry(face, escapement);
  if (entryIndex < 0) return nullptr;
  key = MakeFontKey(HeightScale(key), WidthScale(key), SizeWord(key));
  for (size_t i = 0; i < realized_.size(); ++i) {
    Realized& known = *realized_[i];
    if (known.key == key && known.entry == entryIndex && known.escapement == escapement &&
        known.dpiX == dpiX && known.dpiY == dpiY) {
      if (known.screenFont == nullptr) {
        known.screenFont =
            CreateRealizedFont(platform::GetDesktopDC(), known, zoom_, FaceRules::kShown);
      }
      if (realized != nullptr) *realized = static_cast<int32_t>(i);
      return known.screenFont.get();
    }
  }

  auto font = std::make_unique<Realized>();
  font->key = key;
  font->entry = entryIndex;
  font->dpiX = dpiX;
  font->dpiY = dpiY;
  font->escapement = escapement;
  font->screenFont = CreateRealizedFont(platform::GetDesktopDC(), *font, zoom_, FaceRules::kShown);
  if (font->screenFont == nullptr) return nullptr;

  const Entry& entry = *entries_[entryIndex];
  const int32_t size = SizeOf(key);
  const uint8_t heightScale = HeightScale(key);
  const uint8_t widthScale = WidthScale(key);
  font->emPixels = MulDiv(size, dpiY, kTenthPointsPerInch);
  font->linePixels = MulDiv(font->emPixels, entry.ascentDescent, entry.emSquare);
  const int32_t ascentBase =
      heightScale == kFullScale ? font->linePixels
                                : MulDiv(MulDiv(size, heightScale, 100), dpiY, kTenthPointsPerInch);
  const int32_t ascentPixels = MulDiv(ascentBase, entry.ascent, entry.ascentDescent);
  const int32_t descentPixels = ascentBase - ascentPixels;
  font->lineHeight = MulDiv(font->linePixels, kTwipsPerInch, dpiY);
  font->ascent = MulDiv(ascentPixels, kTwipsPerInch, dpiY);
  font->descent = MulDiv(descentPixels, kTwipsPerInch, dpiY);
  font->emWidthPixels = widthScale == kFullScale
                            ? font->emPixels
                            : MulDiv(MulDiv(size, widthScale, 100), dpiY, kTenthPointsPerInch);
  font->emWidth = MulDiv(font->emWidthPixels, kTwipsPerInch, dpiX);
  if (IsFixedPitch(entry.logFont)) {
    font->fixedWidth = MulDiv(font->emWidth, entry.widthA, entry.emSquare);
  }
  realized_.push_back(std::move(font));
  if (realized != nullptr) *realized = static_cast<int32_t>(realized_.size() - 1);
  return realized_.back()->screenFont.get();
}

const CFontTable::Realized* CFontTable::Find(int32_t index) const {
  if (index < 0 || index >= RealizedCount()) return nullptr;
  return realized_[index].get();
}

void CFontTable::Describe(const Realized& font, FontInfo* info, LOGFONTA* logFont) const {
  const Entry& entry = *entries_[font.entry];
  if (logFont != nullptr) *logFont = entry.logFont;
  if (info == nullptr) return;
  *info = FontInfo{};
  CopyFace(info->face, FaceName(entry.logFont.lfFaceName));
  const uint16_t sizeWord = SizeWord(font.key);
  info->size = SizeOf(font.key);
  info->heightScale = HeightScale(font.key);
  info->widthScale = WidthScale(font.key);
  info->bold = (sizeWord & kSizeWordBold) != 0 ? 1 : 0;
  info->italic = (sizeWord & kSizeWordItalic) != 0 ? 1 : 0;
  info->lineHeight = font.lineHeight;
  info->ascent = font.ascent;
  info->descent = font.descent;
  info->charSet = entry.logFont.lfCharSet;
}

HFONT CFontTable::GetEntryMetrics(int32_t index, FontInfo* info, LOGFONTA* logFont) const {
  const Realized* font = Find(index);
  if (font == nullptr) return nullptr;
  Describe(*font, info, logFont);
  return font->screenFont.get();
}

HFONT CFontTable::GetDeviceEntryMetrics(int32_t index, FontInfo* info, LOGFONTA* logFont) const {
  const Realized* font = Find(index);
  if (font == nullptr) return nullptr;
  Describe(*font, info, logFont);
  return font->deviceFont.get();
}

UniqueFont CFontTable::CreateFontForFace(HDC dc, const char* face, uint16_t sizeWord,
                                         int32_t escapement, bool useZoom) const {
  const auto found = FindTrueTypeFace(dc, FaceName(face));
  if (!found) return nullptr;
  const uint16_t sizeOnly = sizeWord & kFontSizeLimit;
  return MakeFont(dc, *found, MakeFontKey(kFullScale, kFullScale, sizeOnly), escapement,
                  useZoom ? zoom_ : 1, FaceRules::kAsEnumerated);
}

UniqueFont CFontTable::CreateFontFromFormat(HDC dc, const CharFormat& format, bool useZoom) const {
  const auto found = FindTrueTypeFace(dc, FaceName(format.face));
  if (!found) return nullptr;
  return MakeFont(dc, *found, FontKeyOf(format), 0, useZoom ? zoom_ : 1, FaceRules::kAsEnumerated);
}

void CFontTable::SetZoom(int32_t zoom) {
  if (zoom == zoom_) return;
  zoom_ = zoom;
  RebuildScreenFonts();
}

void CFontTable::SetMinchoAsGothic(int32_t flag) {
  if (flag == minchoAsGothic_) return;
  minchoAsGothic_ = flag;
  RebuildScreenFonts();
}

void CFontTable::RebuildScreenFonts() {
  HDC dc = platform::GetDesktopDC();
  for (auto& font : realized_) {
    font->screenFont.reset();
    font->screenFont = CreateRealizedFont(dc, *font, zoom_, FaceRules::kShown);
  }
}

void CFontTable::RealizeForDevice(HDC dc) {
  for (auto& font : realized_) {
    font->deviceFont = CreateRealizedFont(dc, *font, 1, FaceRules::kPrinted);
  }
}

void CFontTable::ReleaseDeviceFonts() {
  for (auto& font : realized_) font->deviceFont.reset();
}

void CFontTable::ReleaseFonts() {
  for (auto& font : realized_) font->screenFont.reset();
}

int32_t CFontTable::HalfWidth(const Realized& font) const {
  if (font.fixedWidth != 0) return font.fixedWidth;
  return MulDiv((font.emWidthPixels + 1) / 2, kTwipsPerInch, font.dpiX);
}

int32_t CFontTable::MeasureProportional(const Entry& entry, const Realized& font, uint16_t code,
                                        int32_t fallback) const {
  HDC dc = platform::GetDesktopDC();
  platform::SelectObject(dc, entry.emFont.get());
  int32_t design = 0;
  if (!platform::GetCharWidthA(dc, code, code, &design)) return fallback;
  // Scaled by the width the font is drawn at, so that a narrowed face
  // measures as narrow as it draws.
  return MulDiv(MulDiv(design, font.emWidthPixels, entry.emSquare), kTwipsPerInch, font.dpiX);
}

void CFontTable::GetCharWidths(int32_t index, const char* bytes, int32_t length,
                               int32_t* widths) const {
  if (length <= 0) return;
  const Realized* font = Find(index);
  if (font == nullptr) {
    std::fill_n(widths, length, 0);
    return;
  }
  const Entry& entry = *entries_[font->entry];
  const int32_t full = font->emWidth;
  const int32_t half = HalfWidth(*font);
  const bool sjis = entry.logFont.lfCharSet == platform::SHIFTJIS_CHARSET;
  const bool proportional = entry.emFont != nullptr;
  for (int32_t i = 0; i < length; ++i) {
    const auto byte = static_cast<uint8_t>(bytes[i]);
    // A lead byte at the very end has no trail to take: it counts as a
    // single byte rather than reaching past the buffer.
    if (sjis && platform::IsLeadByte(byte, kWidthLeadBytes) && i + 1 < length) {
      const uint16_t code = platform::CharCode(byte, static_cast<uint8_t>(bytes[i + 1]));
      widths[i] =
          proportional && code < kKanjiFirst ? MeasureProportional(entry, *font, code, full) : full;
      widths[++i] = 0;
      continue;
    }
    widths[i] = proportional ? MeasureProportional(entry, *font, byte, half) : half;
  }
}

int32_t CFontTable::GetCharWidth(int32_t index, uint16_t code) const {
  char bytes[2];
  int32_t widths[2] = {};
  int32_t length = 0;
  if (code > 0xFF) bytes[length++] = static_cast<char>(code >> 8);
  bytes[length++] = static_cast<char>(code & 0xFF);
  GetCharWidths(index, bytes, length, widths);
  return widths[0] + widths[1];
}

int CFontTable::PunctuationIndex(uint16_t code) {
  if (code >= kPunctuationFirst && code <= kPunctuationLast) return code - kPunctuationFirst + 1;
  if (code >= kBracketFirst && code <= kBracketLast) return code - kBracketFirst + kCommaCount + 1;
  return 0;
}

int CFontTable::GetPunctuationSpace(int32_t index, uint16_t code, int32_t* blank) const {
  const int slot = PunctuationIndex(code);
  const Realized* font = Find(index);
  if (slot == 0 || font == nullptr) return 0;
  const Entry& entry = *entries_[font->entry];
  if (entry.punctuation == nullptr) return 0;
  const platform::ABC& abc = (*entry.punctuation)[slot - 1];
  const auto scaled = [&](int32_t design) {
    return MulDiv(std::abs(design), font->emWidth, entry.emSquare);
  };
  if (abc.abcC < 0) {
    *blank = scaled(abc.abcC);
  } else if (abc.abcA < 0) {
    *blank = -scaled(abc.abcA);
  } else {
    *blank = 0;
  }
  return 1;
}

int CFontTable::ResolveFontFace(HDC dc, char* face, uint8_t charSet, uint8_t pitchAndFamily) {
  const std::string_view wanted = FaceName(face);
  if (FindTrueTypeFace(dc, wanted)) return 1;
  const int wantedClass = FaceClass(wanted);
  const bool vertical = IsVerticalFaceName(wanted);
  for (const uint8_t pitch : {pitchAndFamily, uint8_t{0}}) {
    std::string first;
    std::string sameClass;
    LOGFONTA filter;
    filter.lfCharSet = charSet;
    platform::EnumFontFamiliesExA(
        dc, filter, [&](const LOGFONTA& font, const platform::TEXTMETRICA&, uint32_t type) {
          const std::string_view name = FaceName(font.lfFaceName);
          if ((type & platform::TRUETYPE_FONTTYPE) == 0 ||
              (pitch != 0 && font.lfPitchAndFamily != pitch) ||
              IsVerticalFaceName(name) != vertical) {
            return 1;
          }
          if (first.empty()) first = name;
          if (wantedClass != 0 && FaceClass(name) == wantedClass) {
            sameClass = name;
            return 0;
          }
          return 1;
        });
    const std::string& chosen = sameClass.empty() ? first : sameClass;
    if (!chosen.empty()) {
      CopyFace(face, chosen);
      return 1;
    }
  }
  return 0;
}

bool CFontTable::FaceExists(HDC dc, char* face, bool writeBack) {
  std::string vertical(FaceName(face));
  if (!IsVerticalFaceName(vertical))
    vertical.insert(vertical.begin(), platform::kVerticalFacePrefix);
  LOGFONTA filter;
  filter.lfCharSet = platform::DEFAULT_CHARSET;
  CopyFace(filter.lfFaceName, vertical);
  bool exists = false;
  platform::EnumFontFamiliesExA(dc, filter,
                                [&](const LOGFONTA&, const platform::TEXTMETRICA&, uint32_t) {
                                  exists = true;
                                  return 0;
                                });
  if (exists && writeBack) CopyFace(face, vertical);
  return exists;
}

namespace {

std::unique_ptr<CFontTable>& ViewTableSlot() {
  static std::unique_ptr<CFontTable> table = std::make_unique<CFontTable>();
  return table;
}

std::unique_ptr<CFontTable>& RendererTableSlot() {
  static std::unique_ptr<CFontTable> table = std::make_unique<CFontTable>();
  return table;
}

}  // namespace

CFontTable& ViewFontTable() { return *ViewTableSlot(); }
CFontTable& RendererFontTable() { return *RendererTableSlot(); }

void ResetFontTables() {
  ViewTableSlot() = std::make_unique<CFontTable>();
  RendererTableSlot() = std::make_unique<CFontTable>();
}
