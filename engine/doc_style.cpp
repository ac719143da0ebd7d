#include "engine/doc_style.h"

#include <algorithm>
#include <cstring>

#include "model/units.h"

namespace {

// Offsets of the stored record.
constexpr size_t kOffPaper = 0;
constexpr size_t kOffAreaTenthMm = 8;
constexpr size_t kOffAreaTwips = 24;
constexpr size_t kOffTextWidth = 40;
constexpr size_t kOffResolution = 48;
constexpr size_t kOffFace = 56;
constexpr size_t kOffFontSize = 88;
constexpr size_t kOffFontBytes = 92;
constexpr size_t kOffVertical = 96;
constexpr size_t kOffLineStartRule = 98;
constexpr size_t kOffLineStartChars = 100;
constexpr size_t kOffLineEndRule = 228;
constexpr size_t kOffLineEndChars = 230;
constexpr size_t kOffTabAndIndents = 358;
constexpr size_t kOffGapsAndPitches = 368;
constexpr size_t kOffPageNumbers = 384;
constexpr size_t kOffMarker = 448;
constexpr size_t kOffOrientation = 464;

// Sequential little-endian writer over a fixed record.
class RecordWriter {
 public:
  RecordWriter(uint8_t* record, size_t offset) : at_(record + offset) {}
  RecordWriter& I32(int32_t v) { return Put(static_cast<uint32_t>(v), 4); }
  RecordWriter& I16(int16_t v) { return Put(static_cast<uint16_t>(v), 2); }
  RecordWriter& U16(uint16_t v) { return Put(v, 2); }
  RecordWriter& U8(uint8_t v) { return Put(v, 1); }
  RecordWriter& Rect(const platform::RECT& r) {
    return I32(r.left).I32(r.top).I32(r.right).I32(r.bottom);
  }
  RecordWriter& Text(const char* text, size_t size) {
    std::memcpy(at_, text, size);
    at_ += size;
    return *this;
  }

 private:
  RecordWriter& Put(uint32_t v, size_t n) {
    for (size_t i = 0; i < n; ++i) *at_++ = static_cast<uint8_t>(v >> (8 * i));
    return *this;
  }
  uint8_t* at_;
};

class RecordReader {
 public:
  RecordReader(const uint8_t* record, size_t offset) : at_(record + offset) {}
  RecordReader& I32(int32_t& v) {
    v = static_cast<int32_t>(Get(4));
    return *this;
  }
  RecordReader& I16(int16_t& v) {
    v = static_cast<int16_t>(Get(2));
    return *this;
  }
  RecordReader& U16(uint16_t& v) {
    v = static_cast<uint16_t>(Get(2));
    return *this;
  }
  RecordReader& U8(uint8_t& v) {
    v = static_cast<uint8_t>(Get(1));
    return *this;
  }
  RecordReader& Rect(platform::RECT& r) {
    return I32(r.left).I32(r.top).I32(r.right).I32(r.bottom);
  }
  // Copies a text field and forces its terminator: stored bytes are untrusted.
  RecordReader& Text(char* text, size_t size) {
    std::memcpy(text, at_, size);
    text[size - 1] = '\0';
    at_ += size;
    return *this;
  }

 private:
  uint32_t Get(size_t n) {
    uint32_t v = 0;
    for (size_t i = 0; i < n; ++i) v |= static_cast<uint32_t>(*at_++) << (8 * i);
    return v;
  }
  const uint8_t* at_;
};

void EncodePageNumbers(uint8_t* record, const PageNumberBlock& p) {
  RecordWriter(record, kOffPageNumbers)
      .Text(p.face, sizeof p.face)
      .I32(p.fontSize)
      .U8(p.heightScale)
      .U8(p.widthScale)
      .U8(p.bold)
      .U8(p.italic)
      .Rect(p.area)
      .I16(p.shown)
      .I16(p.firstNumber)
      .I16(p.alignment)
      .I16(p.style);
}

void DecodePageNumbers(const uint8_t* record, PageNumberBlock& p) {
  RecordReader(record, kOffPageNumbers)
      .Text(p.face, sizeof p.face)
      .I32(p.fontSize)
      .U8(p.heightScale)
      .U8(p.widthScale)
      .U8(p.bold)
      .U8(p.italic)
      .Rect(p.area)
      .I16(p.shown)
      .I16(p.firstNumber)
      .I16(p.alignment)
      .I16(p.style);
}

// A gap in twips rounded to whole tenths of a millimetre.
int32_t RoundGapX(const ResolutionPair& dpi, int32_t gap) {
  return TenthMmToTwipsX(dpi, TwipsToTenthMmX(dpi, gap));
}

int32_t RoundGapY(const ResolutionPair& dpi, int32_t gap) {
  return TenthMmToTwipsY(dpi, TwipsToTenthMmY(dpi, gap));
}

}  // namespace

DocStyleBytes EncodeDocStyle(const DocStyle& s) {
  DocStyleBytes bytes{};
  uint8_t* r = bytes.data();
  RecordWriter(r, kOffPaper).I32(s.paperWidth).I32(s.paperHeight);
  RecordWriter(r, kOffAreaTenthMm).Rect(s.textAreaTenthMm);
  RecordWriter(r, kOffAreaTwips).Rect(s.textAreaTwips);
  RecordWriter(r, kOffTextWidth).I32(s.textWidth).I32(s.textHeight);
  RecordWriter(r, kOffResolution).I32(s.resolutionX).I32(s.resolutionY);
  RecordWriter(r, kOffFace).Text(s.face, sizeof s.face);
  RecordWriter(r, kOffFontSize).I32(s.fontSize);
  RecordWriter(r, kOffFontBytes).U8(s.heightScale).U8(s.widthScale).U8(s.bold).U8(s.italic);
  RecordWriter(r, kOffVertical).I16(s.vertical);
  RecordWriter(r, kOffLineStartRule).I16(s.lineStartRule);
  RecordWriter(r, kOffLineStartChars).Text(s.lineStartChars, sizeof s.lineStartChars);
  RecordWriter(r, kOffLineEndRule).I16(s.lineEndRule);
  RecordWriter(r, kOffLineEndChars).Text(s.lineEndChars, sizeof s.lineEndChars);
  RecordWriter(r, kOffTabAndIndents)
      .U16(s.tabInterval)
      .U16(s.firstIndent)
      .U16(s.leftIndent)
      .U16(s.rightIndent);
  RecordWriter(r, kOffGapsAndPitches)
      .I32(s.charGap)
      .I32(s.lineGap)
      .I32(s.charPitch)
      .I32(s.linePitch);
  EncodePageNumbers(r, s.pageNumbers);
  RecordWriter(r, kOffMarker).Text(s.marker, sizeof s.marker);
  RecordWriter(r, kOffOrientation).I16(s.orientation);
  return bytes;
}

DocStyle DecodeDocStyle(const DocStyleBytes& bytes) {
  DocStyle s;
  const uint8_t* r = bytes.data();
  RecordReader(r, kOffPaper).I32(s.paperWidth).I32(s.paperHeight);
  RecordReader(r, kOffAreaTenthMm).Rect(s.textAreaTenthMm);
  RecordReader(r, kOffAreaTwips).Rect(s.textAreaTwips);
  RecordReader(r, kOffTextWidth).I32(s.textWidth).I32(s.textHeight);
  RecordReader(r, kOffResolution).I32(s.resolutionX).I32(s.resolutionY);
  RecordReader(r, kOffFace).Text(s.face, sizeof s.face);
  RecordReader(r, kOffFontSize).I32(s.fontSize);
  RecordReader(r, kOffFontBytes).U8(s.heightScale).U8(s.widthScale).U8(s.bold).U8(s.italic);
  RecordReader(r, kOffVertical).I16(s.vertical);
  RecordReader(r, kOffLineStartRule).I16(s.lineStartRule);
  RecordReader(r, kOffLineStartChars).Text(s.lineStartChars, sizeof s.lineStartChars);
  RecordReader(r, kOffLineEndRule).I16(s.lineEndRule);
  RecordReader(r, kOffLineEndChars).Text(s.lineEndChars, sizeof s.lineEndChars);
  RecordReader(r, kOffTabAndIndents)
      .U16(s.tabInterval)
      .U16(s.firstIndent)
      .U16(s.leftIndent)
      .U16(s.rightIndent);
  RecordReader(r, kOffGapsAndPitches)
      .I32(s.charGap)
      .I32(s.lineGap)
      .I32(s.charPitch)
      .I32(s.linePitch);
  DecodePageNumbers(r, s.pageNumbers);
  RecordReader(r, kOffMarker).Text(s.marker, sizeof s.marker);
  RecordReader(r, kOffOrientation).I16(s.orientation);
  return s;
}

void WriteDocStyle(platform::CArchive& archive, const DocStyle& style) {
  const DocStyleBytes bytes = EncodeDocStyle(style);
  archive.Write(bytes.data(), bytes.size());
}

bool ReadDocStyle(platform::CArchive& archive, DocStyle& style) {
  DocStyleBytes bytes{};
  if (archive.Read(bytes.data(), bytes.size()) != bytes.size()) return false;
  style = DecodeDocStyle(bytes);
  return true;
}

bool IsUsableDocStyle(const DocStyle& style) {
  // Lines, pages and documents add these lengths up in twips; a style read
  // from a file may hold any values, and lengths beyond any paper would
  // overflow those sums. The tab interval and the indents are counted in
  // characters and become twips through the pitch.
  const auto length = [](int64_t twips) { return twips > 0 && twips <= kLargestStyleTwips; };
  const auto gap = [](int32_t twips) {
    return twips >= -kLargestStyleTwips && twips <= kLargestStyleTwips;
  };
  const uint16_t widest =
      std::max({style.tabInterval, style.firstIndent, style.leftIndent, style.rightIndent});
  return length(style.charPitch) && length(style.linePitch) && length(style.textWidth) &&
         length(style.textHeight) && gap(style.charGap) && gap(style.lineGap) &&
         int64_t{widest} * style.charPitch <= kLargestStyleTwips && style.resolutionX > 0 &&
         style.resolutionX <= kLargestResolution && style.resolutionY > 0 &&
         style.resolutionY <= kLargestResolution;
}

void BuildPageFormat(const DocStyle& s, platform::HDC referenceDC, PageFormat& out) {
  out = PageFormat{};
  out.referenceDC = referenceDC;
  out.resolutionX = s.resolutionX;
  out.resolutionY = s.resolutionY;
  out.textWidth = s.textWidth;
  out.textHeight = kUnboundedTextHeight;
  std::memcpy(out.face, s.face, sizeof out.face);
  out.fontSize = s.fontSize;
  out.heightScale = s.heightScale;
  out.widthScale = s.widthScale;
  out.bold = s.bold;
  out.italic = s.italic;
  out.vertical = s.vertical;
  out.lineStartRule = s.lineStartRule;
  std::memcpy(out.lineStartChars, s.lineStartChars, sizeof out.lineStartChars);
  out.lineEndRule = s.lineEndRule;
  std::memcpy(out.lineEndChars, s.lineEndChars, sizeof out.lineEndChars);
  out.tabInterval = s.tabInterval * s.charPitch;
  out.firstIndent = s.firstIndent * s.charPitch;
  out.leftIndent = s.leftIndent * s.charPitch;
  out.rightIndent = s.rightIndent * s.charPitch;
  out.charGap = s.charGap;
  out.lineGap = s.lineGap;
  out.charPitch = s.charPitch;
  out.linePitch = s.linePitch;
  out.cellFlag = 0;
}

bool ApplyPitchRule(DocStyle& s, int32_t charsPerLine, int32_t linesPerPage, int32_t lineHeight,
                    int32_t descent) {
  if (charsPerLine <= 0 || linesPerPage <= 0) return false;
  const ResolutionPair dpi{s.resolutionX, s.resolutionY};

  const int32_t halfHeight = (lineHeight + 1) / 2;
  s.charGap = RoundGapX(dpi, s.textWidth / charsPerLine - halfHeight);
  s.charPitch = s.charGap + halfHeight;
  if (s.charPitch * charsPerLine > s.textWidth) {
    s.textWidth = s.charPitch * charsPerLine;
    s.textAreaTwips.right = s.textAreaTwips.left + s.textWidth;
  }

  const int32_t lineBody = 3 * descent + lineHeight;
  s.lineGap = RoundGapY(dpi, s.textHeight / linesPerPage - lineBody);
  s.linePitch = s.lineGap + lineBody;
  if (s.linePitch * linesPerPage > s.textHeight) {
    s.textHeight = s.linePitch * linesPerPage;
    s.textAreaTwips.bottom = s.textAreaTwips.top + s.textHeight;
  }
  return true;
}
