#include "platform/host_fonts.h"

#include <cairo-ft.h>
#include <cairo.h>
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

#include <algorithm>
#include <map>
#include <unordered_map>

#include "platform/sjis.h"
#include "platform/texts.h"

namespace platform {

namespace {

constexpr int kFaceNameLimit = 31;  // a face name fills at most 32 bytes with its NUL

// Probes for Japanese coverage: あ and 日.
constexpr FcChar32 kJapaneseProbes[] = {0x3042, 0x65E5};

FT_Library Library() {
  // Lives for the process: faces may still be released after static
  // destruction has begun, and FreeType must outlast them.
  static FT_Library library = [] {
    FT_Library created = nullptr;
    FT_Init_FreeType(&created);
    return created;
  }();
  return library;
}

// Owns an FT_Face; shared by every cairo face made from it.
struct FtFaceHolder {
  FT_Face face = nullptr;
  ~FtFaceHolder() {
    if (face != nullptr) FT_Done_Face(face);
  }
};

const cairo_user_data_key_t kHolderKey{};

void ReleaseHolder(void* data) { delete static_cast<std::shared_ptr<FtFaceHolder>*>(data); }

// Decodes the first code point of a UTF-8 string.
char32_t FirstCodePoint(const std::string& utf8) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(utf8.data());
  if (utf8.empty()) return 0;
  if (bytes[0] < 0x80) return bytes[0];
  const int length = bytes[0] >= 0xF0 ? 4 : bytes[0] >= 0xE0 ? 3 : 2;
  if (static_cast<int>(utf8.size()) < length) return 0;
  char32_t value = bytes[0] & (0x3F >> (length - 1));
  for (int i = 1; i < length; ++i) value = (value << 6) | (bytes[i] & 0x3F);
  return value;
}

char32_t UnicodeOf(uint16_t code) {
  std::string bytes;
  if (code > 0xFF) bytes.push_back(static_cast<char>(code >> 8));
  bytes.push_back(static_cast<char>(code & 0xFF));
  const auto utf8 = SjisToUtf8(bytes);
  return utf8 ? FirstCodePoint(*utf8) : 0;
}

class HostFace final : public FontFace {
 public:
  explicit HostFace(std::shared_ptr<FtFaceHolder> holder) : holder_(std::move(holder)) {
    const FT_Face face = holder_->face;
    const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    metrics_.emSquare = face->units_per_EM;
    metrics_.ascent = os2 != nullptr ? os2->sTypoAscender : face->ascender;
    metrics_.descent = os2 != nullptr ? -os2->sTypoDescender : -face->descender;
    metrics_.avgCharWidth = os2 != nullptr ? os2->xAvgCharWidth : face->units_per_EM / 2;
    metrics_.maxCharWidth = face->max_advance_width;
  }

  ~HostFace() override {
    if (cairoFace_ != nullptr) cairo_font_face_destroy(cairoFace_);
  }

  HostFace(const HostFace&) = delete;
  HostFace& operator=(const HostFace&) = delete;

  const DesignMetrics& Metrics() const override { return metrics_; }

  std::optional<GlyphBox> Glyph(uint16_t code) const override {
    const auto cached = boxes_.find(code);
    if (cached != boxes_.end()) return cached->second;
    std::optional<GlyphBox> box;
    const FT_UInt index = GlyphIndex(code);
    if (index != 0 && FT_Load_Glyph(holder_->face, index, FT_LOAD_NO_SCALE) == 0) {
      const FT_Glyph_Metrics& m = holder_->face->glyph->metrics;
      box = GlyphBox{static_cast<int32_t>(m.horiAdvance), static_cast<int32_t>(m.horiBearingX),
                     static_cast<int32_t>(m.width)};
    }
    boxes_.emplace(code, box);
    return box;
  }

  void Draw(cairo_t* cr, const GlyphStyle& style,
            std::span<const PlacedGlyph> glyphs) const override {
    std::vector<cairo_glyph_t> run;
    run.reserve(glyphs.size());
    for (const PlacedGlyph& glyph : glyphs) {
      const FT_UInt index = GlyphIndex(glyph.code);
      if (index != 0) run.push_back(cairo_glyph_t{index, glyph.x, glyph.y});
    }
    if (run.empty()) return;
    cairo_matrix_t matrix;
    cairo_matrix_init(&matrix, style.emPixels * style.scaleX, 0,
                      style.italic ? -kObliqueSlant * style.emPixels : 0, style.emPixels, 0, 0);
    cairo_matrix_t rotation;
    cairo_matrix_init_rotate(&rotation, -style.angle);
    cairo_matrix_multiply(&matrix, &matrix, &rotation);

    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
    cairo_set_font_options(cr, options);
    cairo_font_options_destroy(options);
    cairo_set_font_face(cr, CairoFace());
    cairo_set_font_matrix(cr, &matrix);
    if (!style.bold) {
      cairo_show_glyphs(cr, run.data(), static_cast<int>(run.size()));
      return;
    }
    // Faces have no bold design of their own: the outlines are thickened.
    cairo_save(cr);
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_GRAY);
    cairo_new_path(cr);
    cairo_glyph_path(cr, run.data(), static_cast<int>(run.size()));
    cairo_set_line_width(cr, style.emPixels * kEmboldenWidth);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_fill_preserve(cr);
    cairo_stroke(cr);
    cairo_restore(cr);
  }

 private:
  static constexpr double kObliqueSlant = 0.2;
  static constexpr double kEmboldenWidth = 1.0 / 32;

  FT_UInt GlyphIndex(uint16_t code) const {
    const auto cached = indexes_.find(code);
    if (cached != indexes_.end()) return cached->second;
    const char32_t unicode = UnicodeOf(code);
    const FT_UInt index = unicode == 0 ? 0 : FT_Get_Char_Index(holder_->face, unicode);
    indexes_.emplace(code, index);
    return index;
  }

  cairo_font_face_t* CairoFace() const {
    if (cairoFace_ == nullptr) {
      cairoFace_ = cairo_ft_font_face_create_for_ft_face(holder_->face, FT_LOAD_NO_HINTING);
      cairo_font_face_set_user_data(cairoFace_, &kHolderKey,
                                    new std::shared_ptr<FtFaceHolder>(holder_), ReleaseHolder);
    }
    return cairoFace_;
  }

  std::shared_ptr<FtFaceHolder> holder_;
  DesignMetrics metrics_;
  mutable std::unordered_map<uint16_t, std::optional<GlyphBox>> boxes_;
  mutable std::unordered_map<uint16_t, FT_UInt> indexes_;
  mutable cairo_font_face_t* cairoFace_ = nullptr;
};

struct FontFile {
  std::string path;
  int index = 0;
  int score = 0;  // how close to an upright regular weight; lower is closer
};

struct HostFamily {
  FontFile file;
  FaceDescription description;
};

struct Mapping {
  const char* windowsName;
  const char* hostFamily;
  uint8_t family;
};

constexpr Mapping kMappings[] = {
    {kFaceMsMincho, "IPAMincho", FF_MODERN},
    {kFaceMsGothic, "IPAGothic", FF_MODERN},
    {kFaceMsPMincho, "IPAPMincho", FF_ROMAN},
    {kFaceMsPGothic, "IPAPGothic", FF_SWISS},
};

class FcPatternList {
 public:
  FcPatternList() {
    FcPattern* pattern = FcPatternCreate();
    FcObjectSet* objects =
        FcObjectSetBuild(FC_FAMILY, FC_FILE, FC_INDEX, FC_SPACING, FC_SCALABLE, FC_FONTFORMAT,
                         FC_WEIGHT, FC_SLANT, FC_CHARSET, nullptr);
    set_ = FcFontList(nullptr, pattern, objects);
    FcObjectSetDestroy(objects);
    FcPatternDestroy(pattern);
  }
  ~FcPatternList() {
    if (set_ != nullptr) FcFontSetDestroy(set_);
  }
  FcPatternList(const FcPatternList&) = delete;
  FcPatternList& operator=(const FcPatternList&) = delete;

  std::span<FcPattern*> Patterns() const {
    return set_ == nullptr ? std::span<FcPattern*>()
                           : std::span<FcPattern*>(set_->fonts, set_->nfont);
  }

 private:
  FcFontSet* set_ = nullptr;
};

int IntOf(FcPattern* pattern, const char* object, int fallback) {
  int value = fallback;
  FcPatternGetInteger(pattern, object, 0, &value);
  return value;
}

bool IsTrueType(FcPattern* pattern) {
  FcBool scalable = FcFalse;
  FcChar8* format = nullptr;
  FcPatternGetBool(pattern, FC_SCALABLE, 0, &scalable);
  FcPatternGetString(pattern, FC_FONTFORMAT, 0, &format);
  if (!scalable || format == nullptr) return false;
  const std::string_view name(reinterpret_cast<const char*>(format));
  return name == "TrueType" || name == "CFF";
}

uint8_t CharSetOf(FcPattern* pattern) {
  FcCharSet* chars = nullptr;
  if (FcPatternGetCharSet(pattern, FC_CHARSET, 0, &chars) != FcResultMatch) return ANSI_CHARSET;
  const bool japanese = std::ranges::all_of(
      kJapaneseProbes, [chars](FcChar32 probe) { return FcCharSetHasChar(chars, probe); });
  return japanese ? SHIFTJIS_CHARSET : ANSI_CHARSET;
}

// Fontconfig loses a few bytes while it parses its configuration files;
// that is not ours to report.
void LoadFontconfig() {
#if defined(__SANITIZE_ADDRESS__)
  __lsan_disable();
#endif
  FcInit();
#if defined(__SANITIZE_ADDRESS__)
  __lsan_enable();
#endif
}

// Every family name of every scalable font, each with its most regular file.
std::map<std::string, HostFamily> ListHostFamilies() {
  LoadFontconfig();
  std::map<std::string, HostFamily> families;
  const FcPatternList list;
  for (FcPattern* pattern : list.Patterns()) {
    FcChar8* file = nullptr;
    if (!IsTrueType(pattern) || FcPatternGetString(pattern, FC_FILE, 0, &file) != FcResultMatch) {
      continue;
    }
    const int spacing = IntOf(pattern, FC_SPACING, FC_PROPORTIONAL);
    const FontFile candidate{
        reinterpret_cast<const char*>(file), IntOf(pattern, FC_INDEX, 0),
        std::abs(IntOf(pattern, FC_WEIGHT, FC_WEIGHT_REGULAR) - FC_WEIGHT_REGULAR) +
            IntOf(pattern, FC_SLANT, FC_SLANT_ROMAN)};
    const uint8_t pitch = spacing >= FC_DUAL ? FIXED_PITCH : VARIABLE_PITCH;
    FcChar8* family = nullptr;
    for (int i = 0; FcPatternGetString(pattern, FC_FAMILY, i, &family) == FcResultMatch; ++i) {
      const auto name = Utf8ToSjis(reinterpret_cast<const char*>(family));
      if (!name || name->empty() || name->size() > kFaceNameLimit) continue;
      const auto [it, added] = families.try_emplace(
          *name, HostFamily{candidate, FaceDescription{*name, CharSetOf(pattern), pitch, true}});
      if (!added && candidate.score < it->second.file.score) it->second.file = candidate;
    }
  }
  return families;
}

class HostFontServiceImpl final : public FontService {
 public:
  HostFontServiceImpl() {
    const auto families = ListHostFamilies();
    for (const Mapping& mapping : kMappings) {
      const auto target = families.find(mapping.hostFamily);
      if (target == families.end()) continue;
      FaceDescription description = target->second.description;
      description.name = mapping.windowsName;
      description.pitchAndFamily = (description.pitchAndFamily & 0x0F) | mapping.family;
      Add(description, target->second.file);
    }
    for (const auto& [name, family] : families) Add(family.description, family.file);
    faces_.push_back(MarkFaceDescription());
  }

  const std::vector<FaceDescription>& Faces() const override { return faces_; }

  std::shared_ptr<const FontFace> Open(std::string_view name) const override {
    if (name == kFaceZntSymbol) return markFace_;
    const auto file = files_.find(std::string(name));
    if (file == files_.end()) return nullptr;
    const auto key = file->second.path + '#' + std::to_string(file->second.index);
    const auto open = opened_.find(key);
    if (open != opened_.end()) return open->second;
    auto holder = std::make_shared<FtFaceHolder>();
    if (FT_New_Face(Library(), file->second.path.c_str(), file->second.index, &holder->face) != 0) {
      holder->face = nullptr;
      return nullptr;
    }
    auto face = std::make_shared<const HostFace>(std::move(holder));
    opened_.emplace(key, face);
    return face;
  }

 private:
  void Add(const FaceDescription& description, const FontFile& file) {
    faces_.push_back(description);
    files_.emplace(description.name, file);
    if (description.charSet != SHIFTJIS_CHARSET || description.name.size() >= kFaceNameLimit) {
      return;
    }
    FaceDescription vertical = description;
    vertical.name.insert(vertical.name.begin(), kVerticalFacePrefix);
    faces_.push_back(vertical);
    files_.emplace(vertical.name, file);
  }

  std::vector<FaceDescription> faces_;
  std::map<std::string, FontFile> files_;
  std::shared_ptr<const FontFace> markFace_ = MakeMarkFace();
  mutable std::map<std::string, std::shared_ptr<const FontFace>> opened_;
};

}  // namespace

FontService& HostFontService() {
  static HostFontServiceImpl service;
  return service;
}

}  // namespace platform
