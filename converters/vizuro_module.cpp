// The document converter "VIZUro.dll": it reads an RTF document and hands
// it over as text objects with their character formats, and the page style
// the document states. Files of any other kind are refused by InitConvert,
// the older own formats among them: their layout is not known here.
#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

#include "converters/converter_records.h"
#include "converters/rtf_reader.h"

namespace {

namespace vizuro = converters::vizuro;
namespace rtf = converters::rtf;

constexpr int kSucceeded = 0;
constexpr int kFailed = 1;
constexpr int kTwipsPerInch = 1440;
constexpr int kTenthMillimetresPerInch = 254;
constexpr int kTenthPointsPerHalfPoint = 5;
constexpr int32_t kSingleLine = 1;

struct Conversion {
  std::optional<rtf::Document> document;
  size_t next = 0;     // the object GetObjectInf describes next
  size_t current = 0;  // the object LoadObject fills
};

Conversion conversion;

int32_t TenthMillimetres(int twips) {
  return static_cast<int32_t>(
      (static_cast<long long>(twips) * kTenthMillimetresPerInch + kTwipsPerInch / 2) /
      kTwipsPerInch);
}

void CopyFace(char (&to)[vizuro::kFaceBytes], const std::string& face) {
  std::memset(to, 0, sizeof to);
  std::memcpy(to, face.data(), std::min(face.size(), sizeof to - 1));
}

void FillPage(const rtf::PageStyle& page, vizuro::StyleRecord& style) {
  style.pageFlags |= vizuro::kPageOrientation;
  style.orientation = page.landscape ? vizuro::kConverterPortrait + 1 : vizuro::kConverterPortrait;
  if (page.paperWidth) {
    style.pageFlags |= vizuro::kPagePaperWidth;
    style.paperWidth = TenthMillimetres(*page.paperWidth);
  }
  if (page.paperHeight) {
    style.pageFlags |= vizuro::kPagePaperHeight;
    style.paperHeight = TenthMillimetres(*page.paperHeight);
  }
  // The margins are one group: it is given only when all four are known.
  if (page.marginTop && page.marginBottom && page.marginLeft && page.marginRight) {
    style.pageFlags |= vizuro::kPageMargins;
    style.marginTop = TenthMillimetres(*page.marginTop);
    style.marginBottom = TenthMillimetres(*page.marginBottom);
    style.marginLeft = TenthMillimetres(*page.marginLeft);
    style.marginRight = TenthMillimetres(*page.marginRight);
  }
}

void FillAttributes(const rtf::CharFormat& format, vizuro::ObjectAttributes& attributes) {
  attributes = {};
  attributes.flags = vizuro::kAttrFont | vizuro::kAttrUnderline | vizuro::kAttrStrike;
  attributes.fontFlags = vizuro::kFontSize | vizuro::kFontBold | vizuro::kFontItalic;
  if (!format.face.empty()) {
    attributes.fontFlags |= vizuro::kFontFace;
    CopyFace(attributes.face, format.face);
  }
  attributes.size = format.halfPoints * kTenthPointsPerHalfPoint;
  attributes.bold = format.bold;
  attributes.italic = format.italic;
  attributes.underline = format.underline ? kSingleLine : 0;
  attributes.strike = format.strike ? kSingleLine : 0;
  if (format.color) {
    attributes.flags |= vizuro::kAttrTextColor;
    attributes.textColor = *format.color;
  }
}

}  // namespace

extern "C" {

int InitConvert(const char* path) {
  conversion = {};
  if (path == nullptr) return kFailed;
  std::ifstream in(path, std::ios::binary);
  if (!in) return kFailed;
  const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  conversion.document = rtf::Read(bytes);
  return conversion.document ? kSucceeded : kFailed;
}

int GetDocStyle(void* record) {
  if (record == nullptr || !conversion.document) return kFailed;
  auto& style = *static_cast<vizuro::StyleRecord*>(record);
  style = {};
  FillPage(conversion.document->page, style);
  return kSucceeded;
}

int GetObjectInf(void* record) {
  if (record == nullptr || !conversion.document) return 0;
  if (conversion.next >= conversion.document->runs.size()) return 0;
  auto& info = *static_cast<vizuro::ObjectInfo*>(record);
  conversion.current = conversion.next++;
  info.kind = vizuro::kTextObject;
  info.byteCount = static_cast<int32_t>(conversion.document->runs[conversion.current].text.size());
  return 1;
}

void LoadObject(void* record) {
  if (record == nullptr || !conversion.document) return;
  if (conversion.current >= conversion.document->runs.size()) return;
  auto& request = *static_cast<vizuro::ObjectRequest*>(record);
  const rtf::Run& run = conversion.document->runs[conversion.current];
  if (request.text != nullptr) std::memcpy(request.text, run.text.data(), run.text.size());
  FillAttributes(run.format, request.attributes);
}

void ExitConvert() { conversion = {}; }

}  // extern "C"
