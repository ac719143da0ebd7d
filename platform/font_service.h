// Where the drawing layer gets its typefaces from. A font service lists
// the installed faces under their Shift-JIS names and opens one by name;
// a face answers its design metrics, the box of each glyph and draws
// glyphs. Character codes are CP932 codes (a single byte, or lead * 256 +
// trail); turning them into glyphs is the face's business.
//
// The process has one current service: the real one over the host's
// fonts unless a test installs another (for example the synthetic one,
// whose exact metrics let layout tests assert positions).
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

struct _cairo;

namespace platform {

inline constexpr uint8_t ANSI_CHARSET = 0;
inline constexpr uint8_t DEFAULT_CHARSET = 1;
inline constexpr uint8_t SYMBOL_CHARSET = 2;
inline constexpr uint8_t SHIFTJIS_CHARSET = 128;

inline constexpr uint8_t DEFAULT_PITCH = 0;
inline constexpr uint8_t FIXED_PITCH = 1;
inline constexpr uint8_t VARIABLE_PITCH = 2;
inline constexpr uint8_t FF_DONTCARE = 0x00;
inline constexpr uint8_t FF_ROMAN = 0x10;
inline constexpr uint8_t FF_SWISS = 0x20;
inline constexpr uint8_t FF_MODERN = 0x30;

// The prefix that names the vertical-writing form of a face.
inline constexpr char kVerticalFacePrefix = '@';

struct FaceDescription {
  std::string name;  // Shift-JIS
  uint8_t charSet = ANSI_CHARSET;
  uint8_t pitchAndFamily = DEFAULT_PITCH;
  bool trueType = true;
};

// All in font design units. Descent is the distance below the baseline.
struct DesignMetrics {
  int32_t emSquare = 0;
  int32_t ascent = 0;
  int32_t descent = 0;
  int32_t avgCharWidth = 0;
  int32_t maxCharWidth = 0;
};

// A glyph's advance and its ink box: A is the blank before the ink, B the
// ink's width; the blank after it is advance - A - B.
struct GlyphBox {
  int32_t advance = 0;
  int32_t a = 0;
  int32_t b = 0;
};

// How a run is drawn: the em height in device pixels, the horizontal
// stretch, the baseline's angle (radians, counter-clockwise) and the
// emboldening and slant a face has to make up for itself.
struct GlyphStyle {
  double emPixels = 0;
  double scaleX = 1;
  double angle = 0;
  bool bold = false;
  bool italic = false;
};

// A glyph's code and its origin on the baseline, in device pixels.
struct PlacedGlyph {
  uint16_t code = 0;
  double x = 0;
  double y = 0;
};

class FontFace {
 public:
  virtual ~FontFace() = default;
  virtual const DesignMetrics& Metrics() const = 0;
  // nullopt when the face has no glyph for the code.
  virtual std::optional<GlyphBox> Glyph(uint16_t code) const = 0;
  // Draws with the cairo context's current source; glyphs the face lacks
  // are skipped.
  virtual void Draw(_cairo* cr, const GlyphStyle& style,
                    std::span<const PlacedGlyph> glyphs) const = 0;
};

class FontService {
 public:
  virtual ~FontService() = default;
  virtual const std::vector<FaceDescription>& Faces() const = 0;
  // Opens an installed face by its exact name; nullptr when there is none.
  virtual std::shared_ptr<const FontFace> Open(std::string_view name) const = 0;
};

// The face list entry of `name`, or nullptr.
const FaceDescription* FindFace(const FontService& service, std::string_view name);

FontService& CurrentFontService();

// Installs a service for the life of the scope.
class ScopedFontService {
 public:
  explicit ScopedFontService(FontService& service);
  ~ScopedFontService();
  ScopedFontService(const ScopedFontService&) = delete;
  ScopedFontService& operator=(const ScopedFontService&) = delete;

 private:
  FontService* previous_;
};

// The face that draws the control marks (paragraph end, page break, end
// of text) at the codes the document renderer asks for: 0xBD, 0xBE, 0xBF
// and 0xC0. Every service lists it as a symbol face under this name.
std::shared_ptr<const FontFace> MakeMarkFace();
FaceDescription MarkFaceDescription();

}  // namespace platform
