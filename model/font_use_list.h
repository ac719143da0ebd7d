// The fonts a document uses: ids (realised-font indexes of the renderer's
// font table) gathered while drawing and measuring, with the resolution
// they are realised for. It turns character formats into fonts and
// stores and restores them as saved font records.
#pragma once

#include <cstdint>
#include <vector>

#include "model/attribute_records.h"
#include "model/font_table.h"
#include "model/units.h"
#include "platform/gdi.h"

// One font in use as stored in a document (48 bytes, little-endian).
struct SavedFontRecord {
  char face[kFaceNameSize] = {};  // a Shift-JIS vertical face without its at sign
  int32_t size = 0;               // tenths of a point
  uint8_t heightScale = 100;
  uint8_t widthScale = 100;
  uint8_t bold = 0;
  uint8_t italic = 0;
  uint8_t charSet = 0;
  uint8_t pitchAndFamily = 0;
  uint8_t reserved[2] = {};
  int32_t fontId = 0;
};
static_assert(sizeof(SavedFontRecord) == 48);

using SavedFontList = std::vector<SavedFontRecord>;

class CFontUseList {
 public:
  explicit CFontUseList(CFontTable& table);

  CFontTable& Table() const { return *table_; }

  // Sets the resolution fonts are realised for; answers the previous one.
  ResolutionPair SwapResolution(int32_t dpiX, int32_t dpiY);
  ResolutionPair GetResolution() const { return resolution_; }
  void SetVertical(int16_t vertical) { vertical_ = vertical; }
  int16_t GetVertical() const { return vertical_; }
  void Clear() { ids_.clear(); }
  const std::vector<int32_t>& Ids() const { return ids_; }

  // The screen font of a format (its vertical face when the list is
  // vertical and that face exists); the id goes to `id` and joins the
  // list. Null when the face is not installed.
  platform::HFONT SelectFormatFont(platform::HDC dc, const CharFormat& format, int32_t* id,
                                   int32_t escapement);

  platform::HFONT GetFontInfo(int32_t id, FontInfo* info) const;
  platform::HFONT GetDeviceFontInfo(int32_t id, FontInfo* info) const;
  void GetCharWidths(int32_t id, const char* bytes, int32_t length, int32_t* widths) const;
  int32_t GetCharWidth(int32_t id, uint16_t code) const;
  int GetPunctuationSpace(int32_t id, uint16_t code, int32_t* blank) const;
  static int PunctuationIndex(uint16_t code) { return CFontTable::PunctuationIndex(code); }

  void SetZoom(int32_t zoom) { table_->SetZoom(zoom); }
  void SetMinchoAsGothic(int32_t flag) { table_->SetMinchoAsGothic(flag); }
  // Printer fonts: made for an attached printer, released when it goes.
  void RealizeFonts(platform::HDC printer) { table_->RealizeForDevice(printer); }
  void ReleaseFonts() { table_->ReleaseDeviceFonts(); }

  // Replaces `list` with one record per font in use.
  void SaveFontList(SavedFontList& list) const;
  // Selects the font stored under `*id` and answers it with its id in
  // this process; a missing face is replaced by a resolved one. Null (and
  // `*id` unchanged) when the list has no such record or nothing fits.
  platform::HFONT RestoreFont(platform::HDC dc, const SavedFontList& list, int32_t* id);

 private:
  CFontTable* table_;
  ResolutionPair resolution_;
  int16_t vertical_ = 0;
  std::vector<int32_t> ids_;
};
