// Stream bytes written out by hand for the document root's stream and
// clipboard tests: the root's header with the renderer's font block, the
// container's child headers and the text block of a short text.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "platform/archive.h"
#include "platform/file.h"

namespace doc_root_test {

using Bytes = std::vector<uint8_t>;

inline void Append(Bytes* bytes, const Bytes& more) {
  bytes->insert(bytes->end(), more.begin(), more.end());
}

inline void AppendInt32(Bytes* bytes, int32_t value) {
  const auto u = static_cast<uint32_t>(value);
  Append(bytes, {static_cast<uint8_t>(u), static_cast<uint8_t>(u >> 8),
                 static_cast<uint8_t>(u >> 16), static_cast<uint8_t>(u >> 24)});
}

inline void AppendZeros(Bytes* bytes, size_t count) { bytes->resize(bytes->size() + count, 0); }

inline Bytes RootSignature() {
  return {'D', 'o', 'c', 'B', 'u', 'n', 's', 'O', 'b', 'j', 0x1A, 0, 0, 0, 0, 0};
}

// A saved font record of the synthetic fixed face.
inline Bytes FixedFaceRecord(int32_t size, int32_t id) {
  // The face name in a 32-byte field, NUL-padded.
  constexpr size_t kFaceField = 32;
  const std::string_view face = "Synthetic Fixed";
  Bytes record(kFaceField, 0);
  std::copy(face.begin(), face.end(), record.begin());
  AppendInt32(&record, size);           // tenths of a point
  Append(&record, {100, 100, 0, 0});    // height and width scale, not bold, not italic
  Append(&record, {0x80, 0x31, 0, 0});  // Shift-JIS, fixed pitch and modern family
  AppendInt32(&record, id);
  return record;
}

// The renderer's block of the stream tests' documents: the default font
// (12 points, id 0, the default when written) and the 13-point font that
// the tests' set-up realises (id 1).
inline Bytes FixedFaceFontBlock() {
  Bytes block = {0x02, 0x00};  // two saved font records
  Append(&block, FixedFaceRecord(120, 0));
  Append(&block, FixedFaceRecord(130, 1));
  AppendInt32(&block, 0);  // the default font id when written
  AppendZeros(&block, 128);
  return block;
}

// The range kind and the reserved bytes that every own-format stream has.
inline Bytes RangeKind(int32_t kind) {
  Bytes bytes;
  AppendInt32(&bytes, kind);
  AppendZeros(&bytes, 128);
  return bytes;
}

// The "TextObject Data" block of a whole text holding two single-byte
// characters in one paragraph, each cell 10 twips of gap wide.
inline Bytes TwoCharTextBlock(char first, char second) {
  Bytes block = {'T', 'e', 'x', 't', 'O', 'b', 'j', 'e', 'c', 't', ' ', 'D', 'a', 't', 'a', 0x00};
  AppendInt32(&block, 45);                         // range data length
  AppendInt32(&block, 1);                          // one paragraph
  Append(&block, {0x01, 0x10, 0x80, 0x00, 0x01});  // paragraph record: alignment 1 only
  Append(&block, {0x02, 0x10, 0x00, 0x00, 0x03, 0x00, 0x00, 0x00});  // three cells
  Append(&block, {0x03, 0x10});
  Append(&block, {static_cast<uint8_t>(first), 0x00, 0x20, 0x00, 0x0A, 0x00, 0x00, 0x00});
  Append(&block, {static_cast<uint8_t>(second), 0x00, 0x20, 0x00, 0x0A, 0x00, 0x00, 0x00});
  Append(&block, {0xFF, 0xFF, 0x20, 0x00, 0x00, 0x00, 0x00, 0x00});  // end of text
  Append(&block, {0xFF, 0xFF});
  return block;
}

// The 60-byte header the container writes in front of a text child.
inline Bytes TextChildHeader(int32_t height, int32_t whole, int32_t index) {
  Bytes header;
  AppendInt32(&header, 0);  // the object reference is never stored
  AppendInt32(&header, 1);  // a text
  AppendInt32(&header, height);
  AppendZeros(&header, 16);  // reserved words of the entry
  AppendInt32(&header, whole);
  AppendInt32(&header, index);
  AppendZeros(&header, 8);   // row and column count of a table
  AppendZeros(&header, 16);  // reserved
  return header;
}

inline std::string AsText(const Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); }

inline Bytes FileBytes(const platform::CMemFile& file) {
  return Bytes(file.Data(), file.Data() + file.GetLength());
}

}  // namespace doc_root_test
