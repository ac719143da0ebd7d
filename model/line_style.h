// The style of one ruled line segment of a table: five attribute words, a
// drawn flag, the segment's direction and the renderer it draws through.
// A table keeps one per segment and stores each as a fixed 32-byte record
// between two markers.
#pragma once

#include <cstdint>

#include "platform/archive.h"
#include "platform/windef.h"

class CDocRenderer;

// Direction of a segment.
inline constexpr int32_t kRuleHorizontal = 1;
inline constexpr int32_t kRuleVertical = 2;

// The five attribute words, 20 bytes as stored.
struct LineStyleAttributes {
  int32_t a = -1;
  int32_t b = 1;
  int32_t thickness = 10;  // tenths of a point
  platform::COLORREF colour = 0;
  int32_t visible = 1;
  bool operator==(const LineStyleAttributes&) const = default;
};
static_assert(sizeof(LineStyleAttributes) == 20);

// A masked change of the attributes, 20 bytes, as the table's line
// commands give it.
struct LineStyleChange {
  uint32_t mask = 0;
  int32_t b = 0;
  int32_t thickness = 0;
  platform::COLORREF colour = 0;
  int32_t visible = 0;
};
static_assert(sizeof(LineStyleChange) == 20);
inline constexpr uint32_t kChangeB = 0x01;
inline constexpr uint32_t kChangeThickness = 0x02;
inline constexpr uint32_t kChangeColourAndVisible = 0x04;

// The stored record: the start marker with its NUL, a reserved byte, the
// int32 1, the attributes, the drawn flag, the end marker with its NUL.
inline constexpr size_t kLineStyleRecordSize = 32;

class CLineStyle {
 public:
  CLineStyle() = default;
  // Defaults, then the kind and drawn flag; the attributes are copied
  // when given.
  CLineStyle(int32_t kind, const LineStyleAttributes* attributes, uint8_t drawn);
  virtual ~CLineStyle() = default;

  // The owner's renderer (not owned) and its rule sizes in twips; 1.
  int Bind(CDocRenderer* renderer, int32_t lineWidth, int32_t lineHeight);
  uint8_t IsDrawn() const { return drawn_; }
  void GetAttributes(LineStyleAttributes* out) const { *out = attributes_; }
  void ApplyChange(const LineStyleChange& change);

  // A horizontal segment runs from (x1, y1) to (x2, y1), a vertical one
  // from (x1, y1) to (x1, y2). Nothing is drawn unless the drawn flag and
  // the visible word are both set.
  void DrawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2) const;
  void DrawFrame(int32_t left, int32_t top, int32_t right, int32_t bottom) const;

  // 1 or 0. Only the table's own block tag is served. A record that is
  // short or whose markers are wrong is refused and leaves the style as
  // it was.
  int Serialize(platform::CArchive& archive, int tag);

  int32_t GetKind() const { return kind_; }
  int32_t GetLineWidth() const { return lineWidth_; }
  int32_t GetLineHeight() const { return lineHeight_; }

 private:
  bool ShowsLine() const;
  void Store(platform::CArchive& archive) const;
  bool Load(platform::CArchive& archive);

  LineStyleAttributes attributes_;
  uint8_t drawn_ = 1;
  int32_t kind_ = kRuleHorizontal;
  int32_t lineWidth_ = 0;
  int32_t lineHeight_ = 0;
  CDocRenderer* renderer_ = nullptr;
};
