#include "model/line_style.h"

#include <array>
#include <cstring>
#include <exception>

#include "model/doc_object.h"
#include "model/draw_device.h"
#include "model/renderer.h"
#include "model/texts.h"

namespace {

// Where the parts of the stored record lie.
constexpr size_t kStartMarkOffset = 0;
constexpr size_t kVersionOffset = 4;
constexpr size_t kAttributesOffset = 8;
constexpr size_t kDrawnOffset = 28;
constexpr size_t kEndMarkOffset = 29;
constexpr size_t kMarkSize = sizeof(kLineStyleStartMark);  // the two letters and a NUL
static_assert(sizeof(kLineStyleEndMark) == kMarkSize);
static_assert(kEndMarkOffset + kMarkSize == kLineStyleRecordSize);
static_assert(kAttributesOffset + sizeof(LineStyleAttributes) == kDrawnOffset);

// The attribute words in their stored order.
enum AttributeWord : size_t { kWordA, kWordB, kWordThickness, kWordColour, kWordVisible };

constexpr size_t OffsetOf(AttributeWord word) { return kAttributesOffset + word * sizeof(int32_t); }

constexpr int32_t kRecordVersion = 1;

using Record = std::array<uint8_t, kLineStyleRecordSize>;

void PutInt32(Record& record, size_t offset, uint32_t value) {
  for (size_t i = 0; i < 4; ++i) record[offset + i] = static_cast<uint8_t>(value >> (8 * i));
}

uint32_t GetInt32(const Record& record, size_t offset) {
  uint32_t value = 0;
  for (size_t i = 0; i < 4; ++i) value |= static_cast<uint32_t>(record[offset + i]) << (8 * i);
  return value;
}

bool HasMark(const Record& record, size_t offset, const char* mark) {
  return std::memcmp(record.data() + offset, mark, kMarkSize) == 0;
}

}  // namespace

CLineStyle::CLineStyle(int32_t kind, const LineStyleAttributes* attributes, uint8_t drawn)
    : drawn_(drawn), kind_(kind) {
  if (attributes != nullptr) attributes_ = *attributes;
}

int CLineStyle::Bind(CDocRenderer* renderer, int32_t lineWidth, int32_t lineHeight) {
  renderer_ = renderer;
  lineWidth_ = lineWidth;
  lineHeight_ = lineHeight;
  return 1;
}

void CLineStyle::ApplyChange(const LineStyleChange& change) {
  if ((change.mask & kChangeB) != 0) attributes_.b = change.b;
  if ((change.mask & kChangeThickness) != 0) attributes_.thickness = change.thickness;
  if ((change.mask & kChangeColourAndVisible) != 0) {
    attributes_.colour = change.colour;
    attributes_.visible = change.visible;
  }
}

bool CLineStyle::ShowsLine() const {
  return renderer_ != nullptr && drawn_ != 0 && attributes_.visible != 0;
}

void CLineStyle::DrawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2) const {
  if (!ShowsLine()) return;
  if (kind_ == kRuleVertical) {
    x2 = x1;
  } else {
    y2 = y1;
  }
  renderer_->DrawLine(x1, y1, x2, y2, kLineSingle, attributes_.thickness, attributes_.colour);
}

void CLineStyle::DrawFrame(int32_t left, int32_t top, int32_t right, int32_t bottom) const {
  if (!ShowsLine()) return;
  renderer_->DrawFrame(left, top, right, bottom, kLineSingle, attributes_.thickness,
                       attributes_.colour);
}

int CLineStyle::Serialize(platform::CArchive& archive, int tag) {
  if (tag != kFormatOwnBlock) return 0;
  try {
    if (archive.IsStoring()) {
      Store(archive);
      return 1;
    }
    return Load(archive) ? 1 : 0;
  } catch (const std::exception&) {
    return 0;
  }
}

void CLineStyle::Store(platform::CArchive& archive) const {
  Record record{};
  std::memcpy(record.data() + kStartMarkOffset, kLineStyleStartMark, kMarkSize);
  PutInt32(record, kVersionOffset, kRecordVersion);
  PutInt32(record, OffsetOf(kWordA), static_cast<uint32_t>(attributes_.a));
  PutInt32(record, OffsetOf(kWordB), static_cast<uint32_t>(attributes_.b));
  PutInt32(record, OffsetOf(kWordThickness), static_cast<uint32_t>(attributes_.thickness));
  PutInt32(record, OffsetOf(kWordColour), attributes_.colour);
  PutInt32(record, OffsetOf(kWordVisible), static_cast<uint32_t>(attributes_.visible));
  record[kDrawnOffset] = drawn_;
  std::memcpy(record.data() + kEndMarkOffset, kLineStyleEndMark, kMarkSize);
  archive.Write(record.data(), record.size());
}

// The version word is not compared: nothing but 1 was ever written, and a
// record whose markers stand where they belong is whole.
bool CLineStyle::Load(platform::CArchive& archive) {
  Record record{};
  if (archive.Read(record.data(), record.size()) != record.size()) return false;
  if (!HasMark(record, kStartMarkOffset, kLineStyleStartMark) ||
      !HasMark(record, kEndMarkOffset, kLineStyleEndMark)) {
    return false;
  }
  attributes_.a = static_cast<int32_t>(GetInt32(record, OffsetOf(kWordA)));
  attributes_.b = static_cast<int32_t>(GetInt32(record, OffsetOf(kWordB)));
  attributes_.thickness = static_cast<int32_t>(GetInt32(record, OffsetOf(kWordThickness)));
  attributes_.colour = GetInt32(record, OffsetOf(kWordColour));
  attributes_.visible = static_cast<int32_t>(GetInt32(record, OffsetOf(kWordVisible)));
  drawn_ = record[kDrawnOffset];
  return true;
}
