// A table set up the way a container's factory sets one up, over the exact
// synthetic face (pitch 130 twips, line pitch 350), and the bytes of table
// streams assembled part by part: the signature, header, flag bytes and
// widths written out here, each cell's block taken from a cell of the same
// format (cells have their own byte tests), each line-style record written
// out here.
#pragma once

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "container_fixture.h"
#include "model/table_object.h"

namespace table_test {

using container_test::kLinePitch;
using container_test::kPitch;
using Bytes = std::vector<uint8_t>;

inline void Append(Bytes* bytes, const Bytes& more) {
  bytes->insert(bytes->end(), more.begin(), more.end());
}

inline void AppendInt32(Bytes* bytes, int32_t value) {
  const auto v = static_cast<uint32_t>(value);
  for (int i = 0; i < 4; ++i) bytes->push_back(static_cast<uint8_t>(v >> (8 * i)));
}

// "TABLE_OBJECT", 0x01, two blanks, NUL.
inline const Bytes kTableSignatureBytes = {'T', 'A', 'B', 'L', 'E',  '_', 'O', 'B',
                                           'J', 'E', 'C', 'T', 0x01, ' ', ' ', 0x00};

// A default line-style record: "LS" NUL, 0, int32 1, A -1, B 1, thickness
// 10, colour 0, visible 1, drawn 1, "LE" NUL.
inline Bytes RuleRecord(uint8_t drawn = 1, int32_t thickness = 10) {
  Bytes r = {'L',  'S',  0x00, 0x00, 0x01, 0x00, 0x00, 0x00,
             0xFF, 0xFF, 0xFF, 0xFF, 0x01, 0x00, 0x00, 0x00};
  AppendInt32(&r, thickness);
  Append(&r, {0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, drawn, 'L', 'E', 0x00});
  return r;
}

// What a table stream says, part by part.
struct TableSpec {
  int32_t rows = 2;
  int32_t columns = 3;
  std::vector<int32_t> widths = {4, 3, 5};  // characters (twips in version 1)
  std::vector<std::string> texts;           // per grid position; missing = empty
  std::vector<uint8_t> flags;               // per grid position; missing = 0
  int32_t version = 2;
  int32_t placement = kPlaceCentre;
  int32_t widthRatio = 1;   // pitch / W
  int32_t heightRatio = 2;  // line pitch / H
};

class TableFixture {
 public:
  explicit TableFixture(int32_t wideCharsPerLine = 20) : f(wideCharsPerLine) { Prepare(table); }

  void Prepare(CTableObject& t) {
    t.Initialize(&f.renderer(), &f.feedback);
    t.SetReferenceDC(f.format.referenceDC);
    DocObjOptions options = DocObjOptions::ContainerDefaults();
    t.SetOptions(&options);
    CharFormat typing;
    f.container.GetCharFormat(&typing);
    t.SetCharFormat(&typing);
    t.SetPageFormat(&f.format);
  }

  // The block a cell of this width holding `text` stores.
  Bytes CellBlock(const std::string& text, int32_t widthTwips) {
    CTableCellObj cell;
    cell.Initialize(&f.renderer(), &f.feedback);
    DocObjOptions options;
    table.GetOptions(&options);
    cell.SetOptions(&options);
    CharFormat typing;
    f.container.GetCharFormat(&typing);
    cell.SetCharFormat(&typing);
    PageFormat format = f.format;
    format.textWidth = widthTwips;
    format.textHeight = kLinePitch;
    cell.SetPageFormat(&format);
    EditResult typed;
    if (!text.empty()) cell.InsertText(text, &typed);
    return Store(cell);
  }

  static Bytes Store(CTableCellObj& cell) {
    platform::CMemFile file;
    {
      platform::CArchive archive(&file, platform::CArchive::kStore);
      cell.SerializeRange(archive, kFormatOwnBlock, 2, nullptr, nullptr, nullptr);
      archive.Close();
    }
    return Bytes(file.Data(), file.Data() + file.GetLength());
  }

  Bytes Head(const TableSpec& s) {
    Bytes bytes = kTableSignatureBytes;
    for (int32_t field : {s.version, 1, s.rows, s.columns, s.placement, s.rows * s.columns,
                          s.widthRatio, s.heightRatio}) {
      AppendInt32(&bytes, field);
    }
    for (int32_t p = 0; p < s.rows * s.columns; ++p) {
      bytes.push_back(p < static_cast<int32_t>(s.flags.size()) ? s.flags[p] : 0);
    }
    for (int32_t w : s.widths) AppendInt32(&bytes, w);
    return bytes;
  }

  Bytes Stream(const TableSpec& s) {
    Bytes bytes = Head(s);
    for (int32_t p = 0; p < s.rows * s.columns; ++p) {
      const int32_t w = s.widths[static_cast<size_t>(p % s.columns)];
      const int32_t twips = s.version >= 2 ? w * kPitch : w;
      Append(&bytes, CellBlock(p < static_cast<int32_t>(s.texts.size()) ? s.texts[p] : "", twips));
      Append(&bytes, RuleRecord());
      Append(&bytes, RuleRecord());
    }
    for (int32_t i = 0; i < s.rows + s.columns; ++i) Append(&bytes, RuleRecord());
    return bytes;
  }

  int Load(CTableObject& t, const Bytes& bytes, EditResult* out = nullptr) {
    Bytes copy = bytes;
    platform::CMemFile file(copy.data(), copy.size());
    platform::CArchive archive(&file, platform::CArchive::kLoad);
    return t.LoadTable(archive, 0, out);
  }
  int Load(const Bytes& bytes, EditResult* out = nullptr) { return Load(table, bytes, out); }

  Bytes StoreTable(const TableCaret& start, const TableCaret& end, int* answer = nullptr) {
    platform::CMemFile file;
    {
      platform::CArchive archive(&file, platform::CArchive::kStore);
      const int stored = table.StoreTable(archive, start, end);
      if (answer != nullptr) *answer = stored;
      archive.Close();
    }
    return Bytes(file.Data(), file.Data() + file.GetLength());
  }

  // The plain text of a cell's text.
  std::string CellText(int32_t column, int32_t row) {
    CTableCellObj* cell = table.CellOf(column, row);
    if (cell == nullptr) return "<none>";
    platform::CMemFile file;
    {
      platform::CArchive archive(&file, platform::CArchive::kStore);
      cell->GetFirstChild()->SerializeRange(archive, kFormatPlainText, 0, nullptr, nullptr,
                                            nullptr);
      archive.Close();
    }
    return std::string(reinterpret_cast<const char*>(file.Data()), file.GetLength());
  }

  container_test::ContainerFixture f;
  CTableObject table;
};

}  // namespace table_test
