#include "model/font_use_list.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace {

void DropVerticalPrefix(char* face) {
  std::memmove(face, face + 1, kFaceNameSize - 1);
  face[kFaceNameSize - 1] = '\0';
}

CharFormat FormatOf(const SavedFontRecord& record) {
  CharFormat format;
  std::memcpy(format.face, record.face, kFaceNameSize);
  format.face[kFaceNameSize - 1] = '\0';
  format.size = record.size;
  format.heightScale = record.heightScale;
  format.widthScale = record.widthScale;
  format.bold = record.bold;
  format.italic = record.italic;
  format.mask = kMaskEveryField;
  return format;
}

}  // namespace

CFontUseList::CFontUseList(CFontTable& table) : table_(&table) { ids_.reserve(200); }

ResolutionPair CFontUseList::SwapResolution(int32_t dpiX, int32_t dpiY) {
  return std::exchange(resolution_, ResolutionPair{dpiX, dpiY});
}

platform::HFONT CFontUseList::SelectFormatFont(platform::HDC dc, const CharFormat& format,
                                               int32_t* id, int32_t escapement) {
  char face[kFaceNameSize] = {};
  std::memcpy(face, format.face, kFaceNameSize - 1);
  if (vertical_ != 0) CFontTable::FaceExists(dc, face, true);
  int32_t realized = -1;
  platform::HFONT font = table_->GetFontEntry(resolution_.x, resolution_.y, face, FontKeyOf(format),
                                              &realized, escapement);
  if (font == nullptr) return nullptr;
  if (std::ranges::find(ids_, realized) == ids_.end()) ids_.push_back(realized);
  if (id != nullptr) *id = realized;
  return font;
}

platform::HFONT CFontUseList::GetFontInfo(int32_t id, FontInfo* info) const {
  return table_->GetEntryMetrics(id, info, nullptr);
}

platform::HFONT CFontUseList::GetDeviceFontInfo(int32_t id, FontInfo* info) const {
  return table_->GetDeviceEntryMetrics(id, info, nullptr);
}

void CFontUseList::GetCharWidths(int32_t id, const char* bytes, int32_t length,
                                 int32_t* widths) const {
  table_->GetCharWidths(id, bytes, length, widths);
}

int32_t CFontUseList::GetCharWidth(int32_t id, uint16_t code) const {
  return table_->GetCharWidth(id, code);
}

int CFontUseList::GetPunctuationSpace(int32_t id, uint16_t code, int32_t* blank) const {
  return table_->GetPunctuationSpace(id, code, blank);
}

void CFontUseList::SaveFontList(SavedFontList& list) const {
  list.clear();
  for (const int32_t id : ids_) {
    if (id < 0 || id >= table_->RealizedCount()) continue;
    FontInfo info;
    platform::LOGFONTA logFont;
    table_->GetEntryMetrics(id, &info, &logFont);
    SavedFontRecord record;
    std::memcpy(record.face, info.face, kFaceNameSize);
    if (info.charSet == platform::SHIFTJIS_CHARSET && IsVerticalFaceName(record.face)) {
      DropVerticalPrefix(record.face);
    }
    record.size = info.size;
    record.heightScale = info.heightScale;
    record.widthScale = info.widthScale;
    record.bold = info.bold;
    record.italic = info.italic;
    record.charSet = static_cast<uint8_t>(info.charSet);
    record.pitchAndFamily = logFont.lfPitchAndFamily;
    record.fontId = id;
    list.push_back(record);
  }
}

platform::HFONT CFontUseList::RestoreFont(platform::HDC dc, const SavedFontList& list,
                                          int32_t* id) {
  const auto record = std::ranges::find_if(
      list, [id](const SavedFontRecord& saved) { return saved.fontId == *id; });
  if (record == list.end()) return nullptr;
  CharFormat format = FormatOf(*record);
  if (vertical_ != 0) {
    CFontTable::FaceExists(dc, format.face, true);
  } else if (record->charSet == platform::SHIFTJIS_CHARSET && IsVerticalFaceName(format.face)) {
    DropVerticalPrefix(format.face);
  }
  platform::HFONT font = SelectFormatFont(dc, format, id, 0);
  if (font != nullptr) return font;
  if (CFontTable::ResolveFontFace(dc, format.face, record->charSet, record->pitchAndFamily) == 0) {
    return nullptr;
  }
  return SelectFormatFont(dc, format, id, 0);
}
