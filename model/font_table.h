// The cache of every font the documents use: one entry per installed face
// with its outline metrics, one realised font per face, size, scales,
// escapement and resolution, with the screen font (zoomed) and the font
// for an attached printer, and the character widths layout needs in
// twips. Realised-font indexes are the font ids the renderer hands out.
//
// The program keeps two tables, one for the views and one for the
// document renderer; ResetFontTables gives tests fresh ones (for example
// after installing another font service).
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "model/attribute_records.h"
#include "platform/gdi.h"

// What a realised font is: the first 40 bytes have the layout of a
// CharFormat's first 40.
struct FontInfo {
  char face[kFaceNameSize] = {};
  int32_t size = 0;  // tenths of a point
  uint8_t heightScale = 0;
  uint8_t widthScale = 0;
  uint8_t bold = 0;
  uint8_t italic = 0;
  int32_t lineHeight = 0;  // twips
  int32_t ascent = 0;      // twips
  int32_t descent = 0;     // twips
  int32_t charSet = 0;
};
static_assert(sizeof(FontInfo) == 56);

// The 16-bit size word: the size in bits 0-13, italic in bit 14, bold in
// bit 15. Sizes that do not fit 14 bits are clamped rather than spilling
// into the style bits.
inline constexpr int32_t kFontSizeLimit = 0x3FFF;
inline constexpr uint16_t kSizeWordItalic = 0x4000;
inline constexpr uint16_t kSizeWordBold = 0x8000;
uint16_t MakeSizeWord(int32_t size, bool bold, bool italic);

// The key of a realised font: byte 0 the height scale, byte 1 the width
// scale (a scale of 0 counts as 100), the size word above them.
uint32_t MakeFontKey(uint8_t heightScale, uint8_t widthScale, uint16_t sizeWord);
uint32_t FontKeyOf(const CharFormat& format);

inline constexpr int kPunctuationCount = 26;

// Whether a face name is the vertical-writing form of a face.
inline bool IsVerticalFaceName(std::string_view face) {
  return !face.empty() && face.front() == platform::kVerticalFacePrefix;
}

class CFontTable {
 public:
  CFontTable();
  ~CFontTable();
  CFontTable(const CFontTable&) = delete;
  CFontTable& operator=(const CFontTable&) = delete;

  // The screen font of `face` at `key` for the resolution pair, realised
  // on first request; its index goes to `realized`. Null when the face is
  // not an installed TrueType face (then nothing is added) or the font
  // cannot be made.
  platform::HFONT GetFontEntry(int32_t dpiX, int32_t dpiY, const char* face, uint32_t key,
                               int32_t* realized, int32_t escapement);

  // The screen (device) font of a realised index with its description;
  // null for an index outside the table.
  platform::HFONT GetEntryMetrics(int32_t index, FontInfo* info, platform::LOGFONTA* logFont) const;
  platform::HFONT GetDeviceEntryMetrics(int32_t index, FontInfo* info,
                                        platform::LOGFONTA* logFont) const;

  // A font the caller owns, of the size bits of `sizeWord` only; null when
  // no TrueType face of that name exists in the ANSI, symbol or Shift-JIS
  // set. With `useZoom` the table's zoom applies, else 1.
  platform::UniqueFont CreateFontForFace(platform::HDC dc, const char* face, uint16_t sizeWord,
                                         int32_t escapement, bool useZoom) const;
  platform::UniqueFont CreateFontFromFormat(platform::HDC dc, const CharFormat& format,
                                            bool useZoom) const;

  // A changed value rebuilds every screen font.
  void SetZoom(int32_t zoom);
  int32_t GetZoom() const { return zoom_; }
  void SetMinchoAsGothic(int32_t flag);

  void RealizeForDevice(platform::HDC dc);
  void ReleaseDeviceFonts();
  // Screen fonts released here are made again when next requested.
  void ReleaseFonts();

  // Widths in twips, one slot per byte; a double-byte character's trail
  // slot gets 0. Unknown indexes give 0 widths.
  void GetCharWidths(int32_t index, const char* bytes, int32_t length, int32_t* widths) const;
  int32_t GetCharWidth(int32_t index, uint16_t code) const;
  // 1 with the signed blank (twips; positive on the right, negative on
  // the left) of a full-width punctuation character, 0 when there is none.
  int GetPunctuationSpace(int32_t index, uint16_t code, int32_t* blank) const;
  // 1-4 for 0x8141-0x8144, 5-26 for 0x8165-0x817A, else 0.
  static int PunctuationIndex(uint16_t code);

  // 1 with `face` (32 bytes) holding an installed face: the face itself,
  // or one of the same class and writing direction; 0 when none is found.
  static int ResolveFontFace(platform::HDC dc, char* face, uint8_t charSet, uint8_t pitchAndFamily);
  // Whether the vertical form of `face` exists; with `writeBack` the
  // buffer (32 bytes) receives that form.
  static bool FaceExists(platform::HDC dc, char* face, bool writeBack);

  int32_t RealizedCount() const { return static_cast<int32_t>(realized_.size()); }

 private:
  struct Entry;
  struct Realized;

  int32_t FindOrAddEntry(const char* face, int32_t escapement);
  // Which face a font is made with: the enumerated one; for print, a
  // vertical Shift-JIS face's upright form; on screen also Gothic for
  // Mincho when the flag asks for it.
  enum class FaceRules { kAsEnumerated, kPrinted, kShown };
  platform::UniqueFont CreateRealizedFont(platform::HDC dc, const Realized& font, int32_t zoom,
                                          FaceRules rules) const;
  // A font of `key` from an enumerated face, on `dc`'s resolution.
  platform::UniqueFont MakeFont(platform::HDC dc, platform::LOGFONTA logFont, uint32_t key,
                                int32_t escapement, int32_t zoom, FaceRules rules) const;
  void RebuildScreenFonts();
  int32_t HalfWidth(const Realized& font) const;
  int32_t MeasureProportional(const Entry& entry, const Realized& font, uint16_t code,
                              int32_t fallback) const;
  const Realized* Find(int32_t index) const;
  void Describe(const Realized& font, FontInfo* info, platform::LOGFONTA* logFont) const;

  std::vector<std::unique_ptr<Entry>> entries_;
  std::vector<std::unique_ptr<Realized>> realized_;
  int32_t zoom_ = 1;
  int32_t minchoAsGothic_ = 0;
};

CFontTable& ViewFontTable();
CFontTable& RendererFontTable();
// Replaces both tables; nothing may still hold the old ones (a renderer
// or font-use list made over them, or their fonts).
void ResetFontTables();
