// The engine's own header at the start of a saved document: magic,
// version, the page style and the caret's place.
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "engine/wp_ctrl.h"

namespace {

constexpr char kEngineMagic[] = "VEDWpCtrl";
constexpr char kProgramVersion[] = "01.00.00.02";
constexpr char kStyleTag[] = "DocStyleHead";
constexpr char kStyleMarker[] = "0001";
constexpr uint8_t kSignatureEnd = 0x1A;  // ends every 16-byte field

// The version form: two digits, a dot, two digits, a dot, two digits, a
// dot, two digits, then the end byte and the terminating zero.
constexpr size_t kVersionLength = 11;
constexpr size_t kVersionDots[] = {2, 5, 8};

// Where the stream header's own fields lie in the stored style.
constexpr size_t kStyleMarkerOffset = 448;
constexpr size_t kStyleMarkerFieldSize = 16;
constexpr size_t kStyleTailOffset = 466;

bool HasVersionForm(const platform::Signature& version) {
  if (version[kVersionLength] != kSignatureEnd || version[kVersionLength + 1] != 0) return false;
  for (size_t i = 0; i < kVersionLength; ++i) {
    const bool dot =
        std::find(std::begin(kVersionDots), std::end(kVersionDots), i) != std::end(kVersionDots);
    const char c = static_cast<char>(version[i]);
    if (dot ? c != '.' : (c < '0' || c > '9')) return false;
  }
  return true;
}

bool ReadField(platform::CArchive& archive, platform::Signature& field) {
  return archive.Read(field.data(), field.size()) == field.size();
}

}  // namespace

const platform::Signature& CVedWpCtrl::ProgramVersion() {
  static const platform::Signature version = platform::MakeSignature(kProgramVersion);
  return version;
}

int CVedWpCtrl::IsReadableVersion(const platform::Signature& version) {
  if (!HasVersionForm(version)) return 0;
  const platform::Signature& program = ProgramVersion();
  return std::memcmp(version.data(), program.data(), kVersionLength + 1) <= 0 ? 1 : 0;
}

int CVedWpCtrl::ParseVersion(const platform::Signature& version, int32_t out[4]) {
  if (!HasVersionForm(version)) return 0;
  char text[kVersionLength + 1] = {};
  std::memcpy(text, version.data(), kVersionLength);
  int numbers[4] = {};
  if (std::sscanf(text, "%d.%d.%d.%d", &numbers[0], &numbers[1], &numbers[2], &numbers[3]) != 4) {
    return 0;
  }
  // A caller that only asks whether the version is well-formed passes no
  // buffer.
  if (out != nullptr) std::copy(numbers, numbers + 4, out);
  return 1;
}

int CVedWpCtrl::WriteStreamHeader(platform::CArchive& archive) {
  const platform::Signature magic = platform::MakeSignature(kEngineMagic);
  archive.Write(magic.data(), magic.size());
  fileVersion_ = ProgramVersion();
  archive.Write(fileVersion_.data(), fileVersion_.size());
  const platform::Signature tag = platform::MakeSignature(kStyleTag);
  archive.Write(tag.data(), tag.size());

  DocStyleBytes bytes = EncodeDocStyle(appliedStyle_);
  std::fill(bytes.begin() + kStyleMarkerOffset,
            bytes.begin() + kStyleMarkerOffset + kStyleMarkerFieldSize, 0);
  std::memcpy(bytes.data() + kStyleMarkerOffset, kStyleMarker, std::strlen(kStyleMarker));
  std::fill(bytes.begin() + kStyleTailOffset, bytes.end(), 0);
  appliedStyle_ = DecodeDocStyle(bytes);
  archive.Write(bytes.data(), bytes.size());

  CVedTextPos caret;
  root_->GetCursor(&caret);
  // Stored in the unit a restoring load's go-to reads, so that the caret
  // does not drift with every save and reopen.
  const PageLineColumn location = LocationOf(caret, kColumnsAsObjectsCount);
  archive << location.page << location.line << location.column;
  return kWpcOk;
}

int CVedWpCtrl::ReadStreamHeader(int flags, platform::CArchive& archive, PageLineColumn& location,
                                 DocStyle& style) {
  platform::Signature field{};
  if (!ReadField(archive, field) || field != platform::MakeSignature(kEngineMagic))
    return kWpcBadSignature;
  if (!ReadField(archive, field) || IsReadableVersion(field) == 0) return kWpcBadVersion;
  fileVersion_ = field;
  platform::Signature tag{};
  if (!ReadField(archive, tag)) return kWpcBadSignature;
  DocStyleBytes bytes{};
  if (archive.Read(bytes.data(), bytes.size()) != bytes.size()) return kWpcStreamFailed;
  if ((flags & kLoadInsert) == 0) {
    if (tag != platform::MakeSignature(kStyleTag)) return kWpcBadSignature;
    style = DecodeDocStyle(bytes);
    const bool marked = std::memcmp(bytes.data() + kStyleMarkerOffset, kStyleMarker,
                                    std::strlen(kStyleMarker) + 1) == 0;
    if (!marked) style.orientation = 0;
  }
  int32_t values[3] = {};
  for (int32_t& value : values) {
    if (archive.Read(&value, sizeof(value)) != sizeof(value)) return kWpcStreamFailed;
  }
  location = {values[0], values[1], values[2]};
  return kWpcOk;
}
