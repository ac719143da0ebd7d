#include "platform/font_service.h"

#include <cairo.h>

#include <algorithm>

#include "platform/host_fonts.h"
#include "platform/texts.h"

namespace platform {

namespace {

FontService* g_current = nullptr;

// The marks are drawn as vector shapes in a 2048-unit em, half an em wide.
constexpr int32_t kMarkEm = 2048;
constexpr int32_t kMarkAdvance = kMarkEm / 2;
constexpr double kMarkStroke = kMarkEm / 14.0;

enum MarkCode : uint16_t {
  kMarkEndOfText = 0xBD,
  kMarkDownArrow = 0xBE,
  kMarkReturn = 0xBF,
  kMarkPageBreak = 0xC0,
};

void ArrowHead(cairo_t* cr, double tipX, double tipY, double dx, double dy) {
  // A filled triangle pointing along (dx, dy), a unit direction.
  const double length = 300;
  const double half = 200;
  const double baseX = tipX - dx * length;
  const double baseY = tipY - dy * length;
  cairo_move_to(cr, tipX, tipY);
  cairo_line_to(cr, baseX - dy * half, baseY + dx * half);
  cairo_line_to(cr, baseX + dy * half, baseY - dx * half);
  cairo_close_path(cr);
  cairo_fill(cr);
}

void DrawMarkShape(cairo_t* cr, uint16_t code) {
  cairo_set_line_width(cr, kMarkStroke);
  switch (code) {
    case kMarkReturn:  // down, then left, to the arrow head
      cairo_move_to(cr, 820, -1400);
      cairo_line_to(cr, 820, -400);
      cairo_line_to(cr, 350, -400);
      cairo_stroke(cr);
      ArrowHead(cr, 120, -400, -1, 0);
      break;
    case kMarkDownArrow:
      cairo_move_to(cr, 512, -1400);
      cairo_line_to(cr, 512, -350);
      cairo_stroke(cr);
      ArrowHead(cr, 512, -100, 0, 1);
      break;
    case kMarkEndOfText:
      cairo_rectangle(cr, 200, -1000, 624, 624);
      cairo_fill(cr);
      break;
    case kMarkPageBreak:  // two bars with a down arrow between them
      cairo_rectangle(cr, 0, -1300, kMarkAdvance, kMarkStroke);
      cairo_rectangle(cr, 0, -300, kMarkAdvance, kMarkStroke);
      cairo_fill(cr);
      cairo_move_to(cr, 512, -1150);
      cairo_line_to(cr, 512, -700);
      cairo_stroke(cr);
      ArrowHead(cr, 512, -450, 0, 1);
      break;
    default:
      break;
  }
}

class MarkFace final : public FontFace {
 public:
  const DesignMetrics& Metrics() const override { return metrics_; }

  std::optional<GlyphBox> Glyph(uint16_t code) const override {
    switch (code) {
      case kMarkEndOfText:
      case kMarkDownArrow:
      case kMarkReturn:
      case kMarkPageBreak:
        return GlyphBox{kMarkAdvance, 0, kMarkAdvance};
      default:
        return std::nullopt;
    }
  }

  void Draw(cairo_t* cr, const GlyphStyle& style,
            std::span<const PlacedGlyph> glyphs) const override {
    const double scale = style.emPixels / kMarkEm;
    for (const PlacedGlyph& glyph : glyphs) {
      cairo_save(cr);
      cairo_translate(cr, glyph.x, glyph.y);
      cairo_rotate(cr, -style.angle);
      cairo_scale(cr, scale * style.scaleX, scale);
      DrawMarkShape(cr, glyph.code);
      cairo_restore(cr);
    }
  }

 private:
  DesignMetrics metrics_{kMarkEm, kMarkEm * 7 / 8, kMarkEm / 8, kMarkAdvance, kMarkAdvance};
};

}  // namespace

const FaceDescription* FindFace(const FontService& service, std::string_view name) {
  const auto& faces = service.Faces();
  const auto it = std::ranges::find_if(
      faces, [name](const FaceDescription& face) { return face.name == name; });
  return it == faces.end() ? nullptr : &*it;
}

FontService& CurrentFontService() { return g_current != nullptr ? *g_current : HostFontService(); }

ScopedFontService::ScopedFontService(FontService& service) : previous_(g_current) {
  g_current = &service;
}

ScopedFontService::~ScopedFontService() { g_current = previous_; }

std::shared_ptr<const FontFace> MakeMarkFace() { return std::make_shared<MarkFace>(); }

FaceDescription MarkFaceDescription() {
  return FaceDescription{kFaceZntSymbol, SYMBOL_CHARSET, VARIABLE_PITCH | FF_DONTCARE, true};
}

}  // namespace platform
