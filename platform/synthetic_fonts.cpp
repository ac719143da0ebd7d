#include "platform/synthetic_fonts.h"

#include <cairo.h>

#include "platform/sjis.h"

namespace platform {

namespace {

constexpr int32_t kFull = kSyntheticEm;
constexpr int32_t kHalf = kSyntheticEm / 2;

constexpr uint16_t kFullWidthSpace = 0x8140;
constexpr uint16_t kPunctuationFirst = 0x8141;
constexpr uint16_t kPunctuationCommaLast = 0x8144;
constexpr uint16_t kBracketFirst = 0x8165;
constexpr uint16_t kBracketLast = 0x817A;
constexpr uint16_t kHiraganaFirst = 0x829F;
constexpr uint16_t kHiraganaLast = 0x82F1;

enum class Layout { kFixed, kProportional, kLatin };

bool IsValidDoubleByte(uint16_t code) {
  const auto lead = static_cast<uint8_t>(code >> 8);
  const auto trail = static_cast<uint8_t>(code & 0xFF);
  return IsLeadByte(lead) && trail >= 0x40 && trail <= 0xFC && trail != 0x7F;
}

bool IsValidSingleByte(uint16_t code, Layout layout) {
  if (layout == Layout::kLatin) return code >= 0x20;
  return (code >= 0x20 && code <= 0x7E) || (code >= 0xA1 && code <= 0xDF);
}

// The blank of half an em sits right of the ink when C is negative and
// left of it when A is: that is how the layout reads these widths.
GlyphBox PunctuationBox(uint16_t code) {
  const bool opening = code >= kBracketFirst && (code - kBracketFirst) % 2 == 0;
  if (opening) return GlyphBox{kFull, -kHalf, kFull};
  return GlyphBox{kFull, 0, kFull + kHalf};
}

int32_t ProportionalSingle(uint16_t code) {
  if (code == ' ') return kSyntheticEm / 4;
  if (code >= 'A' && code <= 'Z') return kSyntheticEm * 3 / 4;
  return kHalf;
}

class SyntheticFace final : public FontFace {
 public:
  explicit SyntheticFace(Layout layout) : layout_(layout) {}

  const DesignMetrics& Metrics() const override { return metrics_; }

  std::optional<GlyphBox> Glyph(uint16_t code) const override {
    if (code > 0xFF) {
      if (layout_ == Layout::kLatin || !IsValidDoubleByte(code)) return std::nullopt;
      if (layout_ == Layout::kFixed && IsPunctuation(code)) return PunctuationBox(code);
      const int32_t advance =
          layout_ == Layout::kProportional && code >= kHiraganaFirst && code <= kHiraganaLast
              ? kSyntheticEm * 7 / 8
              : kFull;
      return Box(advance);
    }
    if (!IsValidSingleByte(code, layout_)) return std::nullopt;
    return Box(layout_ == Layout::kProportional ? ProportionalSingle(code) : kHalf);
  }

  void Draw(cairo_t* cr, const GlyphStyle& style,
            std::span<const PlacedGlyph> glyphs) const override {
    const double scale = style.emPixels / kSyntheticEm;
    for (const PlacedGlyph& glyph : glyphs) {
      const auto box = Glyph(glyph.code);
      if (!box || glyph.code == ' ' || glyph.code == kFullWidthSpace) continue;
      const double advance = box->advance;
      cairo_save(cr);
      cairo_translate(cr, glyph.x, glyph.y);
      cairo_rotate(cr, -style.angle);
      cairo_scale(cr, scale * style.scaleX, scale);
      cairo_rectangle(cr, advance / 8, -kSyntheticAscent * 3.0 / 4, advance * 3 / 4,
                      kSyntheticAscent * 3.0 / 4);
      cairo_fill(cr);
      cairo_restore(cr);
    }
  }

 private:
  static bool IsPunctuation(uint16_t code) {
    return (code >= kPunctuationFirst && code <= kPunctuationCommaLast) ||
           (code >= kBracketFirst && code <= kBracketLast);
  }

  static GlyphBox Box(int32_t advance) { return GlyphBox{advance, advance / 8, advance * 3 / 4}; }

  Layout layout_;
  DesignMetrics metrics_{kSyntheticEm, kSyntheticAscent, kSyntheticDescent, kHalf, kFull};
};

}  // namespace

SyntheticFontService::SyntheticFontService() {
  Add(FaceDescription{kSyntheticFixedFace, SHIFTJIS_CHARSET, FIXED_PITCH | FF_MODERN, true},
      std::make_shared<SyntheticFace>(Layout::kFixed));
  Add(FaceDescription{kSyntheticProportionalFace, SHIFTJIS_CHARSET, VARIABLE_PITCH | FF_ROMAN,
                      true},
      std::make_shared<SyntheticFace>(Layout::kProportional));
  Add(FaceDescription{kSyntheticLatinFace, ANSI_CHARSET, FIXED_PITCH | FF_MODERN, true},
      std::make_shared<SyntheticFace>(Layout::kLatin));
  faces_.push_back(MarkFaceDescription());
  opened_.emplace(MarkFaceDescription().name, MakeMarkFace());
}

std::shared_ptr<const FontFace> SyntheticFontService::Open(std::string_view name) const {
  const auto it = opened_.find(name);
  return it == opened_.end() ? nullptr : it->second;
}

void SyntheticFontService::Add(const FaceDescription& description,
                               std::shared_ptr<const FontFace> face) {
  faces_.push_back(description);
  opened_.emplace(description.name, face);
  if (description.charSet != SHIFTJIS_CHARSET) return;
  FaceDescription vertical = description;
  vertical.name.insert(vertical.name.begin(), kVerticalFacePrefix);
  faces_.push_back(vertical);
  opened_.emplace(vertical.name, std::move(face));
}

}  // namespace platform
